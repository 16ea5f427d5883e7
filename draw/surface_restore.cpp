// The reload of every surface after a loss: sprites from BMP files through
// the sprite table, sprites from image packs through the pack reader.
#include <cstring>

#include "draw/draw_state.h"
#include "draw/image_pack.h"
#include "draw/ox_draw.h"

using namespace oxd;

void oxDraw::Restore() {
  ScreenState& s = Scr();
  if (s.screen && s.screen->lost) RestoreSurface(*s.screen);
  if (s.back && s.back->lost) RestoreSurface(*s.back);
  SpriteRecord* table = Sprites();
  for (int h = 0; h < kFirstLoaderHandle; ++h) {
    if (table[h].surface && table[h].surface->lost) RestoreSurface(*table[h].surface);
  }
  // Reloading goes through the key defaults: afterwards the default key is
  // the last reloaded sprite's and the top-left rule is off.
  for (int h = kFirstLoaderHandle; h < kSpriteCount; ++h) {
    SpriteRecord& r = table[h];
    if (r.name[0] == '\0' || !r.surface || !r.surface->lost) continue;
    RestoreSurface(*r.surface);
    if (strcmp(r.name, "*") == 0) continue;  // blank sprite: nothing to reload
    oxDraw::SetKeyColor(r.keyColor);
    if (r.fromPack == 0) {
      oxDraw::SwapObject(r.name, h, r.reloadKind);
    } else {
      ReloadFromPack(h);
    }
  }
}
