#include "tools/assets.h"

namespace assets {
bool WriteSounds(const char*) { return true; }
}  // namespace assets
