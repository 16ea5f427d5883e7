// The state storage every drawing source file shares: the screen, the
// sprite table, the pixel format, the key defaults and the clip state.
#include <array>
#include <cstring>
#include <utility>

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

void HandOverPresentSlow(bool whole) {
  ScreenState& s = g_screen;
  s.presentPending = 0;
  Surface* screen = s.screen;
  Surface* back = s.back;
  if (!screen || !back || !screen->pixels || !back->pixels) return;
  if (whole) {
    std::swap(screen->pixels, back->pixels);
  } else {
    std::memcpy(screen->pixels, back->pixels,
                size_t(back->pitch) * size_t(back->height) * sizeof(uint16_t));
  }
}

Surface* WritableBack() {
  if (g_screen.back) BeforeWrite(*g_screen.back);
  return g_screen.back;
}

const Surface* PresentedSurface() {
  if (g_screen.presentPending) HandOverPresentSlow(false);
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
  g_sprites = FreeTable();
  g_format = PixelFormat{};
  g_keys = KeyDefaults{};
  g_clip = ClipState{};
}

}  // namespace oxd
