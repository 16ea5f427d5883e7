// The music player: opens, rewinds, plays and closes pieces on the MIDI
// music device and keeps the playing and loop flags.
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/app_state.h"
#include "core/paths.h"
#include "core/text_copy.h"
#include "platform/midi_synth.h"
#include "sound/music_file.h"
#include "sound/music_trims.h"
#include "sound/ox_music.h"

namespace {

struct MusicState {
  int playing;  // 1 between opening a piece and closing it
  int loop;     // 1: a piece that ends starts again
};

constinit MusicState g_music{0, 1};

// Reads and checks the file; false when it is missing, too large, or not a
// MIDI file the sequencer plays.
bool ReadMidiFile(const char* path, std::vector<uint8_t>& out) {
  FILE* f = fopen(path, "rb");
  if (!f) return false;
  bool ok = fseek(f, 0, SEEK_END) == 0;
  long size = ok ? ftell(f) : -1;
  ok = ok && size > 0 && static_cast<unsigned long>(size) <= oxs::kMaxMidiFileSize &&
       fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    out.resize(static_cast<size_t>(size));
    ok = fread(out.data(), 1, out.size(), f) == out.size();
  }
  fclose(f);
  return ok && oxs::ValidMidiFile(out.data(), out.size());
}

}  // namespace

int oxMusic::Play(const char* name, int loop) {
  // 1. The file of the data directory; a name that does not fit is a file
  //    that cannot be opened.
  char path[4096];
  bool named = name && ox::DataPath(path, sizeof path, name);
  // 2. The piece that plays is closed first.
  if (g_music.playing == 1) Stop();
  // 3. Open, rewind, play with the end notification; at the piece's level
  //    trim for the soundfont in use.
  bool sounds = false;
  std::vector<uint8_t> bytes;
  if (named && plat::midi::Available() && ReadMidiFile(path, bytes) &&
      plat::midi::Open(bytes.data(), bytes.size(),
                       oxs::MusicTrimDb(plat::midi::Soundfont(), name))) {
    plat::midi::Rewind();
    plat::midi::Play();
    sounds = true;
  } else {
    // The device holds one piece: whatever was open does not go on playing
    // under a piece that failed to open.
    plat::midi::Close();
  }
  // 4. The flags, whether or not the piece could be opened.
  g_music.playing = 1;
  g_music.loop = loop;
  return sounds ? 1 : 0;
}

void oxMusic::Stop() {
  if (g_music.playing != 1) return;
  plat::midi::Stop();
  plat::midi::Close();
  g_music.playing = 0;
}

void oxMusic::NoLoop() { g_music.loop = 0; }

void oxMusic::Replay() {
  if (g_music.loop == 1) {
    plat::midi::Rewind();
    plat::midi::Play();
  } else {
    Stop();
  }
}

void oxMusic::Close() {
  plat::midi::Stop();
  plat::midi::Close();
}

int oxMusic::PlayingFlag() { return g_music.playing; }
int oxMusic::LoopFlag() { return g_music.loop; }

void oxMusic::Status(char* out, int size) {
  if (!out || size <= 0) return;
  const char* mode = "";
  switch (plat::midi::CurrentMode()) {
    case plat::midi::Mode::Playing: mode = "playing"; break;
    case plat::midi::Mode::Stopped: mode = "stopped"; break;
    case plat::midi::Mode::NotOpen: break;
  }
  ox::CopyText(out, static_cast<size_t>(size), mode);
}

void oxMusic::Reset() {
  // A piece still open from before is closed, so that it neither sounds on
  // out of reach of Stop nor keeps the device from opening the next one.
  plat::midi::Close();
  g_music.playing = 0;
  g_music.loop = 1;
}
