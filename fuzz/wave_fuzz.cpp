// libFuzzer target for the WAVE reader: any byte string is either refused
// or gives a format block and samples that lie inside what was read, and a
// playable format plays through the mixer without an out-of-bounds read.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "sound/mixer.h"
#include "sound/wave_file.h"

namespace {

oxs::Mixer& FuzzMixer() {
  static oxs::Mixer mixer;
  return mixer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!f) return 0;
  oxs::WaveData w;
  const bool ok = oxs::ReadWave(f, w);
  fclose(f);
  if (!ok) {
    if (w.format || w.samples) abort();
    return 0;
  }
  if (w.formatSize < 18 || w.formatSize > oxs::kMaxFormatBlock || w.sampleSize > size) abort();
  uint32_t sum = 0;
  for (uint32_t i = 0; i < w.formatSize; ++i) sum += w.format[i];
  for (uint32_t i = 0; i < w.sampleSize; ++i) sum += w.samples[i];
  oxs::PcmFormat format;
  if (oxs::DescribeFormat(w.format, w.formatSize, format) && oxs::Playable(format)) {
    oxs::Mixer& m = FuzzMixer();
    const int id = m.Create(format, w.sampleSize);
    if (id != 0) {
      m.Write(id, 0, w.samples, w.sampleSize);
      m.SetFrequency(id, sum % 100000);
      m.Play(id, (sum & 1) != 0);
      int16_t out[256 * 2] = {};
      m.Mix(out, 256, 44100);
      m.Destroy(id);
    }
  }
  oxs::FreeWave(w);
  return 0;
}
