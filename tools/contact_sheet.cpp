#include "tools/assets.h"

namespace assets {
bool WriteContactSheet(const char*, const char*) { return true; }
}  // namespace assets
