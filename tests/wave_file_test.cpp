// The WAVE reader: the chunks it accepts and the damaged files it refuses.
#include <gtest/gtest.h>

#include <string>

#include "sound/wave_file.h"
#include "tests/sound_test_support.h"

namespace {

using namespace sndtest;

struct Read {
  bool ok = false;
  std::string format, samples;
};

Read ReadBytes(const std::string& bytes) {
  Read r;
  FILE* f = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  if (!f) return r;
  oxs::WaveData w;
  r.ok = oxs::ReadWave(f, w);
  fclose(f);
  if (r.ok) {
    r.format.assign(reinterpret_cast<const char*>(w.format), w.formatSize);
    r.samples.assign(reinterpret_cast<const char*>(w.samples), w.sampleSize);
  }
  oxs::FreeWave(w);
  return r;
}

TEST(WaveFile, CanonicalPcmGivesAn18ByteFormatBlockAndTheSamples) {
  const std::string samples = Pcm16({1, -2, 300, -400});
  Read r = ReadBytes(Wave(1, 22050, 16, samples));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.format, FormatRecord(1, 22050, 16) + std::string(2, '\0'));
  EXPECT_EQ(r.samples, samples);

  oxs::PcmFormat f;
  ASSERT_TRUE(oxs::DescribeFormat(reinterpret_cast<const uint8_t*>(r.format.data()),
                                  uint32_t(r.format.size()), f));
  EXPECT_EQ(f.tag, 1);
  EXPECT_EQ(f.channels, 1);
  EXPECT_EQ(f.rate, 22050u);
  EXPECT_EQ(f.bytesPerSecond, 44100u);
  EXPECT_EQ(f.blockAlign, 2);
  EXPECT_EQ(f.bits, 16);
  EXPECT_TRUE(oxs::Playable(f));
}

TEST(WaveFile, ChunksAreFoundInAnyOrderPastOddSizedOthers) {
  const std::string samples = "\x10\x20\x30";
  std::string chunks = Chunk("LIST", "abc") + Chunk("data", samples) +
                       Chunk("fmt ", FormatRecord(1, 8000, 8) + std::string(2, '\0'));
  Read r = ReadBytes(Riff(chunks));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.samples, samples);
  EXPECT_EQ(r.format.size(), 18u);
}

TEST(WaveFile, OtherFormatsKeepTheirExtraBytesAndExtensiblePcmCountsAsPcm) {
  std::string fmt = FormatRecord(1, 22050, 4, 2);  // ADPCM with 4 extra bytes
  Put16(fmt, 4);
  fmt += "wxyz";
  Read r = ReadBytes(Riff(Chunk("fmt ", fmt) + Chunk("data", "1234")));
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.format, fmt);

  std::string ext = FormatRecord(2, 44100, 16, 0xFFFE);
  Put16(ext, 22);
  Put16(ext, 16);  // valid bits
  Put32(ext, 3);   // channel mask
  ext += std::string("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16);
  r = ReadBytes(Riff(Chunk("fmt ", ext) + Chunk("data", "1234")));
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.format.size(), 40u);
  oxs::PcmFormat f;
  ASSERT_TRUE(oxs::DescribeFormat(reinterpret_cast<const uint8_t*>(r.format.data()), 40, f));
  EXPECT_EQ(f.tag, 1);
  EXPECT_TRUE(oxs::Playable(f));
}

TEST(WaveFile, DamagedFilesAreRefused) {
  const std::string fmt = Chunk("fmt ", FormatRecord(1, 22050, 16));
  const std::string good = Riff(fmt + Chunk("data", Pcm16({1, 2, 3})));
  std::string dataBeyondFile = good;
  dataBeyondFile[good.size() - 10] = 100;  // the data chunk's size byte: 100 > 6 bytes left
  std::string shortFmt = Riff(Chunk("fmt ", FormatRecord(1, 22050, 16).substr(0, 14)) +
                              Chunk("data", "ab"));
  std::string adpcmWithoutExtraSize = Riff(Chunk("fmt ", FormatRecord(1, 22050, 4, 2)) +
                                           Chunk("data", "ab"));
  std::string extraPastChunk = FormatRecord(1, 22050, 4, 2);
  Put16(extraPastChunk, 40);
  extraPastChunk += "only a few";
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"header only", good.substr(0, 12)},
      {"not RIFF", "RIFX" + good.substr(4)},
      {"not WAVE", good.substr(0, 8) + "AVI " + good.substr(12)},
      {"no fmt chunk", Riff(Chunk("data", "abcd"))},
      {"no data chunk", Riff(fmt)},
      {"fmt under 16 bytes", shortFmt},
      {"non-PCM without extra size", adpcmWithoutExtraSize},
      {"extra bytes past the chunk", Riff(Chunk("fmt ", extraPastChunk) + Chunk("data", "ab"))},
      {"data size beyond the file", dataBeyondFile},
      {"truncated samples", good.substr(0, good.size() - 1)},
      {"truncated in fmt", good.substr(0, 30)},
      {"chunk size beyond the form", Riff(std::string("fmt \xff\xff\xff\x7f", 8))},
  };
  for (const Case& c : cases) EXPECT_FALSE(ReadBytes(c.bytes).ok) << c.what;
  EXPECT_TRUE(ReadBytes(good).ok);
}

TEST(WaveFile, MissingFileAndShortFormatBlock) {
  oxs::WaveData w;
  EXPECT_FALSE(oxs::ReadWave("/nonexistent/x.wav", w));
  EXPECT_FALSE(oxs::ReadWave(static_cast<const char*>(nullptr), w));
  EXPECT_EQ(w.format, nullptr);
  oxs::PcmFormat f;
  uint8_t block[15] = {1};
  EXPECT_FALSE(oxs::DescribeFormat(block, sizeof block, f));
}

}  // namespace
