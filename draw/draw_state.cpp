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

SpriteRecord* Sprites() { return g_sprites.data(); }
PixelFormat& Format() { return g_format; }
KeyDefaults& Keys() { return g_keys; }
ClipState& Clip() { return g_clip; }

namespace {

// Which rows of a pixel buffer may hold something other than 0: columns
// [lo, hi) of a row may, the rest of it is 0 (lo >= hi: the whole row).
// Clear then only blanks what was drawn since the buffer was last blank. Kept for the two buffers of
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

// Parts of back buffer rows that are 0 to anyone reading them but still
// hold what was drawn before the last Clear: columns [lo, hi) of rows
// [top, bottom) (lo >= hi: nothing in that row).
struct Unblanked {
  int top, bottom;
  int16_t lo[kTrackedRows], hi[kTrackedRows];
};
constinit Unblanked g_unblanked = {};

bool AnyUnblanked() { return g_unblanked.top < g_unblanked.bottom; }

void BlankColumns(uint16_t* row, int from, int to) {
  if (to > from) std::memset(row + from, 0, size_t(to - from) * sizeof(uint16_t));
}

void ForgetUnblanked() {
  Unblanked& u = g_unblanked;
  for (int y = u.top; y < u.bottom; ++y) u.lo[y] = u.hi[y] = 0;
  u.top = u.bottom = 0;
}

// An opaque write is about to set columns [l, r) of rows [t, b): only the
// parts of those rows' unblanked columns outside [l, r) need blanking.
void SettleAround(int l, int t, int r, int b) {
  Unblanked& u = g_unblanked;
  Surface* back = g_screen.back;
  if (!back || !back->pixels) return ForgetUnblanked();
  const int from = std::max(t, u.top), to = std::min(b, u.bottom);
  for (int y = from; y < to; ++y) {
    if (u.hi[y] <= u.lo[y]) continue;
    uint16_t* row = back->pixels + size_t(y) * size_t(back->pitch);
    BlankColumns(row, u.lo[y], std::min<int>(u.hi[y], l));
    BlankColumns(row, std::max<int>(u.lo[y], r), u.hi[y]);
    u.lo[y] = u.hi[y] = 0;
  }
  if (t <= u.top && b >= u.bottom) u.top = u.bottom = 0;
}

// Adds columns [lo[y], hi[y]) of each row to what is left to blank.
void JoinUnblanked(const int16_t* lo, const int16_t* hi, int rows) {
  Unblanked& u = g_unblanked;
  for (int y = 0; y < rows; ++y) {
    if (hi[y] <= lo[y]) continue;
    if (u.hi[y] > u.lo[y]) {
      u.lo[y] = std::min(u.lo[y], lo[y]);
      u.hi[y] = std::max(u.hi[y], hi[y]);
    } else {
      u.lo[y] = lo[y];
      u.hi[y] = hi[y];
    }
    if (u.top >= u.bottom) {
      u.top = y;
      u.bottom = y + 1;
    } else {
      u.top = std::min(u.top, y);
      u.bottom = std::max(u.bottom, y + 1);
    }
  }
}

void HandOver(bool whole) {
  SettleBack();
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

ScreenState& Scr() {
  if (AnyUnblanked()) SettleBack();
  return g_screen;
}
ScreenState& ScrUnsettled() { return g_screen; }

void NoteScreenCopied() {
  const ZeroBounds& b = BackBounds();
  ZeroBounds& s = ScreenBounds();
  s.known = b.known;
  if (!b.known || !g_screen.back) return;
  const size_t rows = size_t(g_screen.back->height);
  std::memcpy(s.lo, b.lo, rows * sizeof(int16_t));
  std::memcpy(s.hi, b.hi, rows * sizeof(int16_t));
}

void ForgetZeroBounds() {
  g_bounds[0].known = g_bounds[1].known = false;
  ForgetUnblanked();
}

void SettleBack() {
  if (!AnyUnblanked()) return;
  Unblanked& u = g_unblanked;
  Surface* back = g_screen.back;
  if (back && back->pixels) {
    for (int y = u.top; y < u.bottom; ++y) {
      BlankColumns(back->pixels + size_t(y) * size_t(back->pitch), u.lo[y], u.hi[y]);
    }
  }
  ForgetUnblanked();
}

void HandOverPresent() {
  if (g_screen.presentPending) HandOver(false);
}

void NoteBackWrite(Write kind, int l, int t, int r, int b) {
  if (g_screen.presentPending) HandOver(kind == Write::Whole);
  if (AnyUnblanked()) {
    switch (kind) {
      case Write::Whole: ForgetUnblanked(); break;
      case Write::Opaque: SettleAround(l, t, r, b); break;
      case Write::Mixed: SettleBack(); break;
    }
  }
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
  SettleBack();
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
    // What was drawn is left to blank later, joined to what an earlier
    // Clear left. Usually nothing is left: the drawn spans are taken whole.
    Unblanked& u = g_unblanked;
    const int rows = back->height;
    if (!AnyUnblanked()) {
      int top = 0, bottom = rows;
      while (top < bottom && z.hi[top] <= z.lo[top]) ++top;
      while (bottom > top && z.hi[bottom - 1] <= z.lo[bottom - 1]) --bottom;
      const size_t n = size_t(bottom - top) * sizeof(int16_t);
      if (n) {
        std::memcpy(u.lo + top, z.lo + top, n);
        std::memcpy(u.hi + top, z.hi + top, n);
      }
      u.top = top;
      u.bottom = bottom;
    } else {
      JoinUnblanked(z.lo, z.hi, rows);
    }
  } else {
    ForgetUnblanked();
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
