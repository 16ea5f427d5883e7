#include "frame/services.h"

// The font list that screen set-up creates and the quit sequence frees.

namespace ox::services {

void CreateFontList() {}
void FreeFontList() {}

}  // namespace ox::services
