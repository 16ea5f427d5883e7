// Sound pack files: WAVE sounds one after the other, without header or
// directory. Each entry is the data size (4 bytes, little-endian), the
// upper-case name with its NUL (at most 127 characters), the format size
// (4 bytes), the format block and the samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "sound/wave_file.h"

namespace oxs {

// Entry names are read into a buffer of this size (name and NUL).
constexpr size_t kPackNameSize = 128;

struct PackEntry {
  uint32_t dataSize = 0;
  uint32_t formatSize = 0;
  int64_t formatAt = 0;  // file offset of the format block
};

// Copies `name` in ASCII upper case into `out`; false when it does not fit.
bool UpperName(const char* name, char* out, size_t size);

// Scans the pack from its start for the entry named `upperName`. On a match
// the file is positioned at the entry's format block. The scan ends without
// a match at the end of the file, at a short read, or at a name without a
// NUL within kPackNameSize bytes.
bool ScanPack(FILE* pack, const char* upperName, PackEntry& out);
// Checks that the entry's format block (16 bytes to kMaxFormatBlock) and
// samples lie inside the file and reads the format block; `samples` also
// reads the samples. On failure nothing is held.
bool ReadPackEntry(FILE* pack, const PackEntry& entry, bool samples, WaveData& out);
// Appends one entry; false on a write error.
bool WritePackEntry(FILE* pack, const char* upperName, const WaveData& wave);

}  // namespace oxs
