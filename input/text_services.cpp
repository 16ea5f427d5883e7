#include "frame/services.h"
#include "input/ox_text.h"

// The font list that screen set-up creates and the quit sequence frees.

namespace ox::services {

void CreateFontList() { oxText::InitFonts(); }
void FreeFontList() { oxText::ReleaseFonts(); }

}  // namespace ox::services
