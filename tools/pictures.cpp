#include "tools/assets.h"

namespace assets {
bool WriteScenePictures(const char*) { return true; }
}  // namespace assets
