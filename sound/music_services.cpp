// The music state that screen set-up resets and the window procedure asks
// about when a piece ends.
#include "core/services.h"
#include "platform/background_start.h"
#include "platform/midi_synth.h"
#include "platform/platform.h"
#include "sound/ox_music.h"

namespace {

// Screen set-up, at the start of a run: the soundfont starts loading in the
// background, so that the first piece does not hold up a frame pass. In real
// time the loader works at the lowest priority, on the cores the start-up
// leaves idle (a headless run waits for it, and does so at full speed);
// Preload runs on StartInBackground's thread while this one waits for it,
// as if it ran here.
void ResetMusic() {
  oxMusic::Reset();
  if (plat::IsHeadless()) {
    plat::midi::Preload();
  } else {
    plat::StartInBackground([] { plat::midi::Preload(); });
  }
}
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
