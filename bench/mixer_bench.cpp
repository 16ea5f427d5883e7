// The software mixer: one second of 44100 Hz stereo output with 32 voices
// that all need resampling (the target is under 10 ms, 1% of a core), and
// the cost of a play request.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "sound/mixer.h"

namespace {

oxs::PcmFormat Fmt(int channels, uint32_t rate, int bits) {
  oxs::PcmFormat f;
  f.tag = oxs::kFormatPcm;
  f.channels = static_cast<uint16_t>(channels);
  f.rate = rate;
  f.bits = static_cast<uint16_t>(bits);
  f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.bytesPerSecond = rate * f.blockAlign;
  return f;
}

// 32 looping voices, mixed 8/16-bit mono/stereo data at rates that are
// never the output's, with assorted volumes and pans.
std::unique_ptr<oxs::Mixer> Voices(int count) {
  auto m = std::make_unique<oxs::Mixer>();
  const uint32_t rates[] = {11025, 22050, 32000, 48000, 16000, 24000, 8000, 37800};
  for (int i = 0; i < count; ++i) {
    const int channels = 1 + i % 2;
    const int bits = i % 4 < 2 ? 16 : 8;
    const uint32_t rate = rates[i % 8];
    const oxs::PcmFormat f = Fmt(channels, rate, bits);
    const uint32_t bytes = rate * f.blockAlign / 2;  // half a second
    std::vector<uint8_t> data(bytes);
    for (uint32_t b = 0; b < bytes; ++b) data[b] = static_cast<uint8_t>(b * 37 + i);
    int id = m->Create(f, bytes);
    m->Write(id, 0, data.data(), bytes);
    m->SetFrequency(id, rate + 7 * static_cast<uint32_t>(i));
    m->SetVolume(id, -50 * i);
    m->SetPan(id, (i % 5 - 2) * 2000);
    m->Play(id, true);
  }
  return m;
}

void BM_MixOneSecond(benchmark::State& state) {
  auto m = Voices(static_cast<int>(state.range(0)));
  constexpr int kRate = 44100, kBlock = 512;
  std::vector<int16_t> block(kBlock * 2);
  for (auto _ : state) {
    for (int done = 0; done < kRate; done += kBlock) {
      const int n = kRate - done < kBlock ? kRate - done : kBlock;
      std::fill(block.begin(), block.begin() + 2 * n, int16_t(0));
      m->Mix(block.data(), n, kRate);
      benchmark::DoNotOptimize(block.data());
    }
  }
  state.counters["voices"] = static_cast<double>(m->PlayingCount());
  state.SetItemsProcessed(state.iterations() * kRate);
}
BENCHMARK(BM_MixOneSecond)->Arg(32)->Arg(1)->Unit(benchmark::kMillisecond);

// Stop, rewind and play of an existing buffer: what a play request does.
void BM_PlayRequest(benchmark::State& state) {
  auto m = Voices(32);
  int id = 1;
  for (auto _ : state) {
    m->Stop(id);
    m->SetPosition(id, 0);
    m->Play(id, false);
    id = id % 32 + 1;
  }
}
BENCHMARK(BM_PlayRequest);

}  // namespace
