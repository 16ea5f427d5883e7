// The state storage every drawing source file shares: the screen, the
// sprite table, the pixel format, the key defaults and the clip state.
#include <algorithm>
#include <array>
#include <cstring>
#include <climits>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "draw/draw_state.h"
#include "draw/ox_draw_status.h"

namespace oxd {

namespace {

constexpr int kInitialDepth = 16;


constexpr ScreenState InitialScreen() {
  ScreenState s{};
  s.preferredDepth = kInitialDepth;
  s.vsync = 1;
  return s;
}

constexpr std::array<SpriteRecord, kSpriteCount> FreeTable() {
  std::array<SpriteRecord, kSpriteCount> table{};
  for (SpriteRecord& r : table) r = kFreeRecord;
  return table;
}

// All constant-initialised: no code runs before main.
constinit ScreenState g_screen = InitialScreen();
constinit std::array<SpriteRecord, kSpriteCount> g_sprites = FreeTable();
constinit PixelFormat g_format{};
constinit KeyDefaults g_keys{};
constinit ClipState g_clip{};

}  // namespace

ScreenState& Scr() { return g_screen; }
SpriteRecord* Sprites() { return g_sprites.data(); }
PixelFormat& Format() { return g_format; }
KeyDefaults& Keys() { return g_keys; }
ClipState& Clip() { return g_clip; }

namespace {

// Which rows of a pixel buffer may hold something other than 0: columns
// [lo, hi) of a row may, the rest of it is 0 (lo >= hi: the whole row). Clear then only blanks what
// was drawn since the buffer was last blank. Kept for the two buffers of
// the screen and the back buffer, and swapped with their pixels.
constexpr int kTrackedRows = 4096;
constexpr int kTrackedWidth = INT16_MAX;
constexpr int16_t kEmptyLo = INT16_MAX;
struct ZeroBounds {
  bool known;  // false: any pixel may be non-zero
  int16_t lo[kTrackedRows], hi[kTrackedRows];
};
constinit ZeroBounds g_bounds[2] = {};
constinit int g_backBounds = 0;  // g_bounds[g_backBounds] is the back buffer's

ZeroBounds& BackBounds() { return g_bounds[g_backBounds]; }
ZeroBounds& ScreenBounds() { return g_bounds[1 - g_backBounds]; }

void HandOver(bool whole) {
  ScreenState& s = g_screen;
  s.presentPending = 0;
  Surface* screen = s.screen;
  Surface* back = s.back;
  if (!screen || !back || !screen->pixels || !back->pixels || screen->pitch != back->pitch ||
      screen->height != back->height) {
    return;
  }
  if (whole) {
    std::swap(screen->pixels, back->pixels);
    g_backBounds = 1 - g_backBounds;
  } else {
    std::memcpy(screen->pixels, back->pixels,
                size_t(back->pitch) * size_t(back->height) * sizeof(uint16_t));
    NoteScreenCopied();
  }
}

}  // namespace

void NoteScreenCopied() {
  const ZeroBounds& b = BackBounds();
  ZeroBounds& s = ScreenBounds();
  s.known = b.known;
  if (!b.known || !g_screen.back) return;
  const size_t rows = size_t(g_screen.back->height);
  std::memcpy(s.lo, b.lo, rows * sizeof(int16_t));
  std::memcpy(s.hi, b.hi, rows * sizeof(int16_t));
}

void ForgetZeroBounds() { g_bounds[0].known = g_bounds[1].known = false; }

void HandOverPresent() {
  if (g_screen.presentPending) HandOver(false);
}

void NoteBackWrite(bool whole, int l, int t, int r, int b) {
  if (g_screen.presentPending) HandOver(whole);
  ZeroBounds& z = BackBounds();
  if (!z.known) return;
  // An empty row has lo kEmptyLo and hi 0, so widening is a plain min and
  // max, eight rows at a time.
  const int16_t l16 = int16_t(l), r16 = int16_t(r);
  int y = t;
#ifdef __SSE2__
  const __m128i vl = _mm_set1_epi16(l16), vr = _mm_set1_epi16(r16);
  for (; y + 8 <= b; y += 8) {
    __m128i* lo = reinterpret_cast<__m128i*>(z.lo + y);
    __m128i* hi = reinterpret_cast<__m128i*>(z.hi + y);
    _mm_storeu_si128(lo, _mm_min_epi16(_mm_loadu_si128(lo), vl));
    _mm_storeu_si128(hi, _mm_max_epi16(_mm_loadu_si128(hi), vr));
  }
#endif
  for (; y < b; ++y) {
    z.lo[y] = std::min(z.lo[y], l16);
    z.hi[y] = std::max(z.hi[y], r16);
  }
}

Surface* WritableBack() {
  HandOverPresent();
  BackBounds().known = false;
  return g_screen.back;
}

void ClearBack() {
  Surface* back = g_screen.back;
  if (!back || !back->pixels) return;
  if (g_screen.presentPending) HandOver(true);
  ZeroBounds& z = BackBounds();
  const size_t pitch = size_t(back->pitch);
  // Rows are tracked only while their columns fit the bounds.
  const bool trackable = back->height <= kTrackedRows && back->width <= kTrackedWidth;
  if (z.known && trackable) {
    for (int y = 0; y < back->height; ++y) {
      if (z.hi[y] > z.lo[y]) {
        std::memset(back->pixels + size_t(y) * pitch + size_t(z.lo[y]), 0,
                    size_t(z.hi[y] - z.lo[y]) * sizeof(uint16_t));
      }
    }
  } else {
    std::memset(back->pixels, 0, pitch * size_t(back->height) * sizeof(uint16_t));
  }
  z.known = trackable;
  if (trackable) {
    std::fill_n(z.lo, back->height, kEmptyLo);
    std::fill_n(z.hi, back->height, int16_t(0));
  }
}

const Surface* PresentedSurface() {
  HandOverPresent();
  return g_screen.screen;
}
Surface* BackSurface() {
  // Handed out for writing, like SpriteSurface.
  Surface* back = WritableBack();
  if (back) back->keyFree = false;
  return back;
}
Rect ClipRect() { return g_clip.clip; }
const PixelFormat& ScreenFormat() { return g_format; }

void ResetStateStorage() {
  g_screen = InitialScreen();
  ForgetZeroBounds();
  g_sprites = FreeTable();
  g_format = PixelFormat{};
  g_keys = KeyDefaults{};
  g_clip = ClipState{};
}

}  // namespace oxd
