// Records of the sprite table: lookup by handle, clearing, and colour keys.
#include "draw/draw_state.h"

namespace oxd {

namespace {
constexpr uint32_t kUnreadable = 0xFFFFFFFFu;
}  // namespace

Surface* SpriteSurface(int handle) {
  if (handle < 0 || handle >= kSpriteCount) return nullptr;
  Surface* s = Sprites()[handle].surface;
  if (s) s->keyFree = false;
  return s;
}

const Surface* SpriteSource(int handle) {
  if (handle < 0 || handle >= kSpriteCount) return nullptr;
  return Sprites()[handle].surface;
}

void ClearSpriteTable() {
  SpriteRecord* table = Sprites();
  for (int h = 0; h < kSpriteCount; ++h) {
    DestroySurface(table[h].surface);
    table[h] = kFreeRecord;
  }
}

uint32_t MatchColor(const Surface& surface, int32_t colorRef) {
  if (surface.lost || !surface.pixels || surface.width <= 0 || surface.height <= 0) {
    return kUnreadable;
  }
  if (colorRef == -1) return surface.pixels[0];
  return NativeColor(static_cast<uint32_t>(colorRef));
}

void SetSurfaceKey(Surface& surface, int32_t colorRef) {
  uint32_t native = MatchColor(surface, colorRef);
  // An unreadable surface keeps its key: all bits set would make white
  // transparent. The reload after a loss sets the key again.
  if (native == kUnreadable) {
    surface.keyFree = false;
    return;
  }
  surface.key = static_cast<uint16_t>(native);
  surface.hasKey = true;
  CheckKeyFree(surface);
}

}  // namespace oxd
