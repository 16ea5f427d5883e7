#include "tools/assets.h"

namespace assets {
bool WriteSpriteImages(const char*) { return true; }
}  // namespace assets
