#include "tools/assets.h"

namespace assets {
bool WriteMusic(const char*) { return true; }
}  // namespace assets
