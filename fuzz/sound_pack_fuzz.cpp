// libFuzzer target for the sound pack scan: any byte string, searched for a
// few names, either yields no entry or an entry whose format block and
// samples lie inside the pack, without a crash, a hang or a huge allocation.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "sound/pack_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!f) return 0;
  static const char* const kNames[] = {"SHOT.WAV", "BOM.WAV", "A", ""};
  for (const char* name : kNames) {
    oxs::PackEntry entry;
    if (!oxs::ScanPack(f, name, entry)) continue;
    if (entry.formatAt < 0 || static_cast<size_t>(entry.formatAt) > size) abort();
    oxs::WaveData w;
    if (oxs::ReadPackEntry(f, entry, true, w)) {
      if (uint64_t(entry.formatAt) + entry.formatSize + entry.dataSize > size) abort();
      uint32_t sum = 0;
      for (uint32_t i = 0; i < w.formatSize; ++i) sum += w.format[i];
      for (uint32_t i = 0; i < w.sampleSize; ++i) sum += w.samples[i];
      volatile uint32_t sink = sum;  // every byte read: a short block shows up under ASan
      (void)sink;
      oxs::PcmFormat format;
      oxs::DescribeFormat(w.format, w.formatSize, format);
      oxs::FreeWave(w);
    } else if (w.format || w.samples) {
      abort();
    }
  }
  fclose(f);
  return 0;
}
