// The music synthesiser's cost: one second of a dense General MIDI piece
// (eight melodic channels of four-note chords and a drum track, every voice
// restruck each beat) rendered at 44100 Hz stereo, and at 48000 Hz through
// the resampler. The sound effects' mixer has its own benchmark beside it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/midi_synth.h"

namespace {

void VarLen(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t tmp[5];
  int n = 0;
  tmp[n++] = v & 0x7F;
  while (v >>= 7) tmp[n++] = uint8_t(0x80 | (v & 0x7F));
  while (n) out.push_back(tmp[--n]);
}

// A minute of chords: 480 ticks a beat at 120 beats a minute.
std::vector<uint8_t> DensePiece() {
  std::vector<uint8_t> t;
  const int programs[8] = {0, 48, 33, 73, 61, 24, 88, 19};
  for (int ch = 0; ch < 8; ++ch) {
    t.insert(t.end(), {0x00, uint8_t(0xC0 | ch), uint8_t(programs[ch])});
  }
  for (int beat = 0; beat < 120; ++beat) {
    for (int ch = 0; ch < 8; ++ch) {
      for (int k = 0; k < 4; ++k) {
        t.insert(t.end(), {0x00, uint8_t(0x90 | ch), uint8_t(48 + ch * 3 + k * 4), 90});
      }
    }
    t.insert(t.end(), {0x00, 0x99, uint8_t(beat % 2 ? 38 : 36), 110});
    VarLen(t, 470);
    for (int ch = 0; ch < 8; ++ch) {
      for (int k = 0; k < 4; ++k) {
        t.insert(t.end(), {0x00, uint8_t(0x80 | ch), uint8_t(48 + ch * 3 + k * 4), 0});
      }
    }
    t.insert(t.end(), {0x0A, 0x89, uint8_t(beat % 2 ? 38 : 36), 0});
  }
  t.insert(t.end(), {0x00, 0xFF, 0x2F, 0x00});
  std::vector<uint8_t> f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,
                            'M', 'T', 'r', 'k'};
  uint32_t len = uint32_t(t.size());
  f.insert(f.end(), {uint8_t(len >> 24), uint8_t(len >> 16), uint8_t(len >> 8), uint8_t(len)});
  f.insert(f.end(), t.begin(), t.end());
  return f;
}

void RenderOneSecond(benchmark::State& state, int rate) {
  // The full synthesiser, as a listener hears it, whatever ran before (a
  // benchmark that started the headless platform, nobody listening, would
  // otherwise leave the sequencer alone).
  plat::midi::Shutdown();
  plat::midi::Preload(true);
  while (plat::midi::Loading()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (!plat::midi::Available()) {
    state.SkipWithError("no soundfont");
    return;
  }
  std::vector<uint8_t> piece = DensePiece();
  plat::midi::Open(piece.data(), piece.size());
  plat::midi::Rewind();
  plat::midi::Play();
  // Blocks of the size the audio device asks for.
  const int block = 512;
  std::vector<int16_t> mix(2 * block);
  for (auto _ : state) {
    for (int done = 0; done < rate; done += block) {
      plat::midi::Render(mix.data(), block, rate);
      benchmark::DoNotOptimize(mix.data());
    }
    if (plat::midi::TakeEnd()) {  // the minute ran out: from the start again
      plat::midi::Rewind();
      plat::midi::Play();
    }
  }
  plat::midi::Close();
  state.SetLabel("one second of audio per iteration");
}

void BM_MusicRender44100(benchmark::State& state) { RenderOneSecond(state, 44100); }
void BM_MusicRender48000Resampled(benchmark::State& state) { RenderOneSecond(state, 48000); }

BENCHMARK(BM_MusicRender44100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MusicRender48000Resampled)->Unit(benchmark::kMillisecond);

}  // namespace
