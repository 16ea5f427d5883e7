// The WAVE file reader: a RIFF "WAVE" form with a "fmt " chunk and a "data"
// chunk, in either order, among any other chunks.
//
// The result is the format block (the 16-byte format record, the 16-bit
// extra size and the extra bytes: 18 bytes for PCM) and the samples of the
// "data" chunk. A file that is truncated or inconsistent (a chunk reaching
// past the RIFF form or the file, a format record under 16 bytes, extra
// bytes past the chunk, a data chunk larger than the file) is refused
// before anything large is allocated.
#pragma once

#include <cstdint>
#include <cstdio>

#include "sound/mixer.h"

namespace oxs {

// Largest format block: the 18-byte record and up to 65535 extra bytes.
constexpr uint32_t kMaxFormatBlock = 18 + 0xFFFF;

struct WaveData {
  uint8_t* format = nullptr;  // the format block
  uint32_t formatSize = 0;
  uint8_t* samples = nullptr;
  uint32_t sampleSize = 0;
};

void FreeWave(WaveData& wave);
// Reads the WAVE file at `path`. On failure returns false with nothing held.
bool ReadWave(const char* path, WaveData& out);
// The same from an open file, starting at its beginning.
bool ReadWave(FILE* file, WaveData& out);

// The wave format a format block describes. A WAVE_FORMAT_EXTENSIBLE block
// whose sub-format is PCM counts as PCM. False when the block is shorter
// than the 16-byte record.
bool DescribeFormat(const uint8_t* block, uint32_t size, PcmFormat& out);

// Size of an open file, or -1.
int64_t FileSize(FILE* file);

}  // namespace oxs
