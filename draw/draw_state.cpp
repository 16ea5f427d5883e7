// The state storage every drawing source file shares: the screen, the
// sprite table, the pixel format, the key defaults and the clip state.
#include <array>

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

const Surface* PresentedSurface() { return g_screen.screen; }
Surface* BackSurface() {
  // Handed out for writing, like SpriteSurface.
  if (g_screen.back) g_screen.back->keyFree = false;
  return g_screen.back;
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
