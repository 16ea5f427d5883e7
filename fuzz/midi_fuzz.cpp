// Fuzzes the MIDI file check and, for files it accepts, the synthesiser's
// player: open, play and render a little of the piece. Neither may crash,
// hang or read out of bounds.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "platform/midi_synth.h"
#include "sound/music_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!oxs::ValidMidiFile(data, size)) return 0;
  // The synthesiser in full, loaded before the first input is played.
  plat::midi::Preload(true);
  while (plat::midi::Loading()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (!plat::midi::Available()) return 0;
  if (!plat::midi::Open(data, size)) return 0;
  plat::midi::Rewind();
  plat::midi::Play();
  static int16_t mix[2 * 1024];
  for (int i = 0; i < 8; ++i) plat::midi::Render(mix, 1024, plat::midi::kSynthRate);
  plat::midi::Close();
  plat::midi::TakeEnd();
  return 0;
}
