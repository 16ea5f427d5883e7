// The frame sits above the sound, music, text and joystick services and
// installs them into the core's registry, where screen set-up, the window
// procedure and the quit sequence reach them.
#include "frame/main_loop.h"
#include "input/ox_input.h"
#include "input/ox_text.h"
#include "sound/ox_music.h"
#include "sound/ox_sound.h"

namespace ox {

void InstallLibraryServices() {
  oxSound::InstallServices();
  oxMusic::InstallServices();
  oxText::InstallServices();
  oxInput::InstallServices();
}

}  // namespace ox
