#include "tools/assets.h"
#include "tools/sprite_parts.h"

namespace assets {

bool WriteSpriteImages(const char* dir) {
  bool ok = WritePlayerSprites(dir);
  ok = WriteEnemySprites(dir) && ok;
  ok = WriteBossSprites(dir) && ok;
  ok = WriteBulletSprites(dir) && ok;
  ok = WriteEffectSprites(dir) && ok;
  return ok;
}

}  // namespace assets
