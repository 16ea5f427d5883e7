#include "tools/assets.h"

namespace assets {
bool WriteImages(const char*) { return true; }
bool WriteContactSheet(const char*, const char*) { return true; }
}  // namespace assets
