// Start and release of the sound device and the sound-object table, as
// services of screen set-up and the quit sequence.
#include "core/services.h"
#include "sound/ox_sound.h"
#include "sound/sound_state.h"

namespace {

// Screen set-up: the device in the default format (44100 Hz, 16-bit
// stereo) and every object in its initial state. Without a device the
// sound-available flag stays 0 and the game runs silently.
void StartSound() {
  oxs::SoundState& s = oxs::Sound();
  oxSound::Release();
  s.primary = oxs::DefaultPrimary();
  oxSound::Init();
  for (oxs::SoundObject& o : s.objects) oxs::ClearObject(o);
}

// The quit sequence: every object's buffers and the device; the entries
// stay, as after oxSound::Release.
void ReleaseSound() { oxSound::Release(); }

}  // namespace

void oxSound::InstallServices() {
  ox::services::Hooks& h = ox::services::Installed();
  h.startSound = StartSound;
  h.releaseSound = ReleaseSound;
}
