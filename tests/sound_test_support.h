// Helpers of the sound tests: WAVE files written by the tests themselves,
// the headless device's WAVE output read back, frame passes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/paths.h"
#include "draw/ox_draw.h"
#include "frame/main_loop.h"
#include "platform/master_stage.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace sndtest {

// What the output holds for an effects sample `v` playing alone at full
// volume: the effects' level in the mix and the master stage's headroom.
inline int16_t Heard(int v) { return plat::audio::MasterStage::FromEffects(v); }

inline void Put16(std::string& s, uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
inline void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline uint32_t Get32(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
         uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}
inline uint16_t Get16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8);
}

// The 16-byte format record (and, for formats other than PCM, nothing more).
inline std::string FormatRecord(int channels, int rate, int bits, int tag = 1) {
  std::string f;
  int align = channels * bits / 8;
  Put16(f, static_cast<uint16_t>(tag));
  Put16(f, static_cast<uint16_t>(channels));
  Put32(f, static_cast<uint32_t>(rate));
  Put32(f, static_cast<uint32_t>(rate * align));
  Put16(f, static_cast<uint16_t>(align));
  Put16(f, static_cast<uint16_t>(bits));
  return f;
}

inline std::string Chunk(const char* id, const std::string& body) {
  std::string c(id, 4);
  Put32(c, static_cast<uint32_t>(body.size()));
  c += body;
  if (body.size() & 1) c += '\0';
  return c;
}

inline std::string Riff(const std::string& chunks) {
  std::string r = "RIFF";
  Put32(r, static_cast<uint32_t>(4 + chunks.size()));
  return r + "WAVE" + chunks;
}

// A canonical PCM WAVE file.
inline std::string Wave(int channels, int rate, int bits, const std::string& samples) {
  return Riff(Chunk("fmt ", FormatRecord(channels, rate, bits)) + Chunk("data", samples));
}

inline std::string Pcm16(const std::vector<int16_t>& v) {
  std::string s;
  for (int16_t x : v) Put16(s, static_cast<uint16_t>(x));
  return s;
}

// A square wave: `period` frames, the first half at +amplitude.
inline std::vector<int16_t> Square(int frames, int period, int16_t amplitude) {
  std::vector<int16_t> v(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) v[size_t(i)] = (i % period) < period / 2 ? amplitude : int16_t(-amplitude);
  return v;
}

inline std::string DataPath(const std::string& name) { return oxtest::DataDir() + name; }

inline bool WriteFile(const std::string& path, const std::string& bytes) {
  return oxtest::WriteFile(path, bytes);
}

inline bool WriteData(const std::string& name, const std::string& bytes) {
  return WriteFile(DataPath(name), bytes);
}

// Frame passes of an empty scene table (the virtual clock moves 1/60 s each).
inline void RunFrames(int n, void (*perFrame)() = nullptr) {
  static const GameDefinition kEmpty{};
  for (int i = 0; i < n; ++i) {
    ox::FramePass(kEmpty);
    if (perFrame) perFrame();
  }
}

// Headless start with the device's output written to `wavePath`, and the
// screen opened as the game opens it.
inline void OpenScreenWithAudioOut(const std::string& wavePath) {
  oxtest::StartHeadless();
  static std::string path;
  path = wavePath;
  plat::Options options;
  options.headless = true;
  options.audioOut = path.c_str();
  char error[256];
  if (!plat::Init(options, error, sizeof error)) abort();
  plat::CreateMainWindow("Sample Game", 640, 480, true);
  oxDraw::Screen(640, 480, 2);
}

// A 16-bit stereo WAVE file as the headless device writes it.
struct Output {
  bool valid = false;
  int rate = 0;
  std::vector<int16_t> left, right;
};

inline Output ReadOutput(const std::string& path) {
  Output out;
  std::string s = oxtest::ReadFile(path);
  if (s.size() < 44 || s.compare(0, 4, "RIFF") != 0 || s.compare(8, 4, "WAVE") != 0) return out;
  if (Get32(s, 4) != s.size() - 8 || s.compare(36, 4, "data") != 0) return out;
  if (Get16(s, 20) != 1 || Get16(s, 22) != 2 || Get16(s, 34) != 16 || Get16(s, 32) != 4) return out;
  uint32_t bytes = Get32(s, 40);
  if (bytes != s.size() - 44 || bytes % 4 != 0) return out;
  out.rate = static_cast<int>(Get32(s, 24));
  for (size_t at = 44; at + 4 <= s.size(); at += 4) {
    out.left.push_back(static_cast<int16_t>(Get16(s, at)));
    out.right.push_back(static_cast<int16_t>(Get16(s, at + 2)));
  }
  out.valid = true;
  return out;
}

}  // namespace sndtest
