#include "sound/wave_file.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace oxs {

namespace {

constexpr uint16_t kFormatExtensible = 0xFFFE;
// KSDATAFORMAT_SUBTYPE_PCM as it is stored in a file.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool ReadAt(FILE* f, int64_t at, void* out, size_t n) {
  if (fseek(f, static_cast<long>(at), SEEK_SET) != 0) return false;
  return fread(out, 1, n, f) == n;
}

// Finds the chunk `id` among the chunks that follow each other from `from`
// to `end` (chunks start on even offsets). Gives the offset of its data and
// its declared size.
bool FindChunk(FILE* f, int64_t from, int64_t end, const char* id, int64_t& dataAt,
               uint32_t& size) {
  int64_t pos = from;
  while (pos + 8 <= end) {
    uint8_t header[8];
    if (!ReadAt(f, pos, header, sizeof header)) return false;
    uint32_t declared = Le32(header + 4);
    if (memcmp(header, id, 4) == 0) {
      dataAt = pos + 8;
      size = declared;
      return true;
    }
    pos += 8 + int64_t(declared) + (declared & 1);
  }
  return false;
}

}  // namespace

int64_t FileSize(FILE* file) {
  if (!file || fseek(file, 0, SEEK_END) != 0) return -1;
  long size = ftell(file);
  if (fseek(file, 0, SEEK_SET) != 0) return -1;
  return size;
}

void FreeWave(WaveData& wave) {
  delete[] wave.format;
  delete[] wave.samples;
  wave = WaveData{};
}

bool ReadWave(FILE* f, WaveData& out) {
  out = WaveData{};
  const int64_t fileSize = FileSize(f);
  if (fileSize < 12) return false;
  uint8_t riff[12];
  if (!ReadAt(f, 0, riff, sizeof riff)) return false;
  if (memcmp(riff, "RIFF", 4) != 0 || memcmp(riff + 8, "WAVE", 4) != 0) return false;
  const int64_t end = std::min<int64_t>(8 + int64_t(Le32(riff + 4)), fileSize);

  // The format record, and for formats other than PCM the extra bytes.
  int64_t fmtAt = 0;
  uint32_t fmtSize = 0;
  if (!FindChunk(f, 12, end, "fmt ", fmtAt, fmtSize)) return false;
  if (fmtSize < 16 || fmtAt + 16 > end) return false;
  uint8_t record[16];
  if (!ReadAt(f, fmtAt, record, sizeof record)) return false;
  uint16_t extra = 0;
  if (Le16(record) != kFormatPcm) {
    uint8_t cb[2];
    if (fmtSize < 18 || fmtAt + 18 > end || !ReadAt(f, fmtAt + 16, cb, 2)) return false;
    extra = Le16(cb);
    if (18 + uint32_t(extra) > fmtSize || fmtAt + 18 + extra > end) return false;
  }
  WaveData w;
  w.formatSize = 18 + uint32_t(extra);
  w.format = new (std::nothrow) uint8_t[w.formatSize];
  if (!w.format) return false;
  memcpy(w.format, record, sizeof record);
  w.format[16] = static_cast<uint8_t>(extra);
  w.format[17] = static_cast<uint8_t>(extra >> 8);
  if (extra > 0 && !ReadAt(f, fmtAt + 18, w.format + 18, extra)) {
    FreeWave(w);
    return false;
  }

  // The samples: exactly the declared size, which must lie inside the file.
  int64_t dataAt = 0;
  uint32_t dataSize = 0;
  if (!FindChunk(f, 12, end, "data", dataAt, dataSize) || dataAt + int64_t(dataSize) > fileSize ||
      dataSize > kMaxBufferBytes) {
    FreeWave(w);
    return false;
  }
  w.sampleSize = dataSize;
  w.samples = new (std::nothrow) uint8_t[dataSize > 0 ? dataSize : 1];
  if (!w.samples || (dataSize > 0 && !ReadAt(f, dataAt, w.samples, dataSize))) {
    FreeWave(w);
    return false;
  }
  out = w;
  return true;
}

bool ReadWave(const char* path, WaveData& out) {
  out = WaveData{};
  if (!path) return false;
  FILE* f = fopen(path, "rb");
  if (!f) return false;
  bool ok = ReadWave(f, out);
  fclose(f);
  return ok;
}

bool DescribeFormat(const uint8_t* block, uint32_t size, PcmFormat& out) {
  out = PcmFormat{};
  if (!block || size < 16) return false;
  out.tag = Le16(block);
  out.channels = Le16(block + 2);
  out.rate = Le32(block + 4);
  out.bytesPerSecond = Le32(block + 8);
  out.blockAlign = Le16(block + 12);
  out.bits = Le16(block + 14);
  if (out.tag == kFormatExtensible && size >= 40 && Le16(block + 16) >= 22 &&
      memcmp(block + 24, kPcmSubFormat, sizeof kPcmSubFormat) == 0) {
    out.tag = kFormatPcm;
  }
  return true;
}

}  // namespace oxs
