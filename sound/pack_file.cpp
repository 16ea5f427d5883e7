#include "sound/pack_file.h"

#include <cstring>
#include <new>

namespace oxs {

namespace {

bool Read32(FILE* f, uint32_t& v) {
  uint8_t b[4];
  if (fread(b, 1, 4, f) != 4) return false;
  v = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
  return true;
}

bool Write32(FILE* f, uint32_t v) {
  uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  return fwrite(b, 1, 4, f) == 4;
}

}  // namespace

bool UpperName(const char* name, char* out, size_t size) {
  if (!name || size == 0) return false;
  size_t n = strlen(name);
  if (n >= size) return false;
  for (size_t i = 0; i <= n; ++i) {
    char c = name[i];
    out[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return true;
}

bool ScanPack(FILE* pack, const char* upperName, PackEntry& out) {
  out = PackEntry{};
  if (!pack || !upperName || fseek(pack, 0, SEEK_SET) != 0) return false;
  char name[kPackNameSize];
  for (;;) {
    uint32_t dataSize, formatSize;
    if (!Read32(pack, dataSize)) return false;
    size_t n = 0;
    for (;;) {
      int c = fgetc(pack);
      if (c == EOF) return false;
      if (n == sizeof name) return false;  // no NUL within the name buffer: damaged
      name[n++] = static_cast<char>(c);
      if (c == 0) break;
    }
    if (!Read32(pack, formatSize)) return false;
    if (strcmp(name, upperName) == 0) {
      out.dataSize = dataSize;
      out.formatSize = formatSize;
      out.formatAt = ftell(pack);
      return out.formatAt >= 0;
    }
    // Past the end of the file the next read comes up short and ends the scan.
    int64_t skip = int64_t(formatSize) + int64_t(dataSize);
    if (fseek(pack, static_cast<long>(skip), SEEK_CUR) != 0) return false;
  }
}

bool ReadPackEntry(FILE* pack, const PackEntry& entry, bool samples, WaveData& out) {
  out = WaveData{};
  if (!pack) return false;
  if (entry.formatSize < 16 || entry.formatSize > kMaxFormatBlock) return false;
  if (entry.dataSize > kMaxBufferBytes) return false;
  if (fseek(pack, 0, SEEK_END) != 0) return false;
  const int64_t fileSize = ftell(pack);
  if (entry.formatAt + int64_t(entry.formatSize) + int64_t(entry.dataSize) > fileSize) return false;
  if (fseek(pack, static_cast<long>(entry.formatAt), SEEK_SET) != 0) return false;
  WaveData w;
  // A short block (a 16-byte record) gets a zero extra size.
  w.formatSize = entry.formatSize < 18 ? 18 : entry.formatSize;
  w.format = new (std::nothrow) uint8_t[w.formatSize]();
  if (!w.format || fread(w.format, 1, entry.formatSize, pack) != entry.formatSize) {
    FreeWave(w);
    return false;
  }
  if (samples) {
    w.sampleSize = entry.dataSize;
    w.samples = new (std::nothrow) uint8_t[entry.dataSize > 0 ? entry.dataSize : 1];
    if (!w.samples || fread(w.samples, 1, entry.dataSize, pack) != entry.dataSize) {
      FreeWave(w);
      return false;
    }
  }
  out = w;
  return true;
}

bool WritePackEntry(FILE* pack, const char* upperName, const WaveData& wave) {
  size_t n = strlen(upperName) + 1;
  return Write32(pack, wave.sampleSize) && fwrite(upperName, 1, n, pack) == n &&
         Write32(pack, wave.formatSize) &&
         fwrite(wave.format, 1, wave.formatSize, pack) == wave.formatSize &&
         fwrite(wave.samples, 1, wave.sampleSize, pack) == wave.sampleSize;
}

}  // namespace oxs
