// The music state that screen set-up resets and the window procedure asks
// about when a piece ends.
#include "core/services.h"
#include "platform/midi_synth.h"
#include "platform/platform.h"
#include "sound/ox_music.h"

namespace {

void ResetMusic() { oxMusic::Reset(); }
bool MusicPlaying() { return oxMusic::PlayingFlag() == 1; }
void MusicStatus(char* out, int size) { oxMusic::Status(out, size); }
void RestartMusic() { oxMusic::Replay(); }

// The synthesiser flags the end of a piece where it renders (the audio
// thread); the notification is posted here, on the main thread, which alone
// touches the message queue.
void PollMusic() {
  if (plat::midi::TakeEnd()) plat::PostMessage(plat::kMsgMusicNotify, 1, 0);
}

}  // namespace

void oxMusic::InstallServices() {
  ox::services::Hooks& h = ox::services::Installed();
  h.resetMusic = ResetMusic;
  h.musicPlaying = MusicPlaying;
  h.musicStatus = MusicStatus;
  h.restartMusic = RestartMusic;
  h.pollMusic = PollMusic;
}
