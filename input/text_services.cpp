// The font list that screen set-up creates and the quit sequence frees.
#include "core/services.h"
#include "input/ox_text.h"

void oxText::InstallServices() {
  ox::services::Hooks& h = ox::services::Installed();
  h.createFontList = oxText::InitFonts;
  h.freeFontList = oxText::ReleaseFonts;
}
