#include "tools/assets.h"

namespace assets {

bool WriteImages(const char* dir) {
  bool ok = WriteSpriteImages(dir);
  return WriteScenePictures(dir) && ok;
}

}  // namespace assets
