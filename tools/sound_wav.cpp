#include "tools/sound_wav.h"
#include "tools/file_out.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace assets {

namespace {
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(tag[i]));
}
}  // namespace

bool WriteWav16(const char* dir, const char* name, const synth::Buffer& samples, int rate,
                int channels) {
  if ((channels != 1 && channels != 2) || rate <= 0 || samples.size() % size_t(channels)) {
    fprintf(stderr, "assetgen: bad sound format for %s\n", name);
    return false;
  }
  const uint32_t dataBytes = uint32_t(samples.size() * 2);
  const uint16_t blockAlign = uint16_t(channels * 2);
  std::vector<uint8_t> file;
  file.reserve(44 + dataBytes + 1);
  PutTag(file, "RIFF");
  // RIFF size: "WAVE", the fmt chunk (8 + 16) and the data chunk with its
  // pad byte (chunks are word-aligned; 16-bit data never needs one).
  Put32(file, 4 + 24 + 8 + dataBytes + (dataBytes & 1));
  PutTag(file, "WAVE");
  PutTag(file, "fmt ");
  Put32(file, 16);
  Put16(file, 1);  // PCM
  Put16(file, uint16_t(channels));
  Put32(file, uint32_t(rate));
  Put32(file, uint32_t(rate) * blockAlign);
  Put16(file, blockAlign);
  Put16(file, 16);
  PutTag(file, "data");
  Put32(file, dataBytes);
  for (float s : samples) {
    long v = std::lround(double(s) * 32767.0);
    if (v > 32767) v = 32767;
    if (v < -32768) v = -32768;
    Put16(file, uint16_t(int16_t(v)));
  }
  if (dataBytes & 1) file.push_back(0);

  const std::string path = std::string(dir) + "/" + name;
  return WriteWholeFile(path, file);
}

}  // namespace assets
