#include "frame/services.h"
#include "platform/midi_synth.h"
#include "platform/platform.h"
#include "sound/ox_music.h"

// The music state that screen set-up resets and the window procedure asks
// about when a piece ends.

namespace ox::services {

void ResetMusic() { oxMusic::Reset(); }

bool MusicPlaying() { return oxMusic::PlayingFlag() == 1; }

void MusicStatus(char* out, int size) { oxMusic::Status(out, size); }

void RestartMusic() { oxMusic::Replay(); }

// The synthesiser flags the end of a piece where it renders (the audio
// thread); the notification is posted here, on the main thread, which alone
// touches the message queue.
void PollServices() {
  if (plat::midi::TakeEnd()) plat::PostMessage(plat::kMsgMusicNotify, 1, 0);
}

}  // namespace ox::services
