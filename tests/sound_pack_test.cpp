// Sound packs and streaming: building a pack, loading from it, damaged
// packs, the stream's refill sequence and what it plays, and restoring
// objects from the pack they came from.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "core/paths.h"
#include "core/services.h"
#include "platform/headless.h"
#include "sound/ox_sound.h"
#include "sound/sound_state.h"
#include "tests/sound_test_support.h"

namespace {

using namespace sndtest;

oxs::SoundObject& Obj(int h) { return oxs::Sound().objects[h]; }
oxs::Mixer& Mix() { return oxs::TheMixer(); }
int Boxes() { return plat::headless::BoxCount(); }
const char* BoxText() { return plat::headless::LastBox().text; }

std::string Fmt18(int channels, int rate, int bits, int tag = 1) {
  return FormatRecord(channels, rate, bits, tag) + std::string(2, '\0');
}

std::string Entry(const std::string& name, const std::string& format, const std::string& samples,
                  uint32_t declaredData = UINT32_MAX) {
  std::string e;
  Put32(e, declaredData == UINT32_MAX ? uint32_t(samples.size()) : declaredData);
  e += name;
  e += '\0';
  Put32(e, uint32_t(format.size()));
  return e + format + samples;
}

// Bytes whose values tell their position: 8-bit samples that are never
// silent for long.
std::string Pattern(size_t n, int seed = 0) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + size_t(seed)) % 251 + 2);
  return s;
}

int16_t As16(char byte8) { return static_cast<int16_t>((uint8_t(byte8) - 128) * 256); }

class PackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = oxtest::DataDir() + "out-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".wav";
    OpenScreenWithAudioOut(out_);
    oxs::Sound().packPath[0] = '\0';  // no pack selected yet
    boxes_ = Boxes();
  }
  // Exactly one report since the last check, reading `text`.
  void ExpectReport(const std::string& text) {
    EXPECT_EQ(Boxes(), boxes_ + 1) << text;
    EXPECT_EQ(BoxText(), text);
    boxes_ = Boxes();
  }
  Output Finish() {
    ox::services::ReleaseSound();
    return ReadOutput(out_);
  }
  std::string out_;
  int boxes_ = 0;
};

TEST_F(PackTest, MakePackWritesEveryWaveFileInNameOrderWithUpperCaseNames) {
  const std::string dir = oxtest::DataDir() + "packsrc/";
  mkdir(dir.c_str(), 0755);
  mkdir((dir + "d.wav").c_str(), 0755);  // a folder, not a file
  const std::string a = Pcm16({1, 2, 3}), b = "\x10\x20", c = Pcm16({-5, 5, -5, 5});
  WriteFile(dir + "A.WAV", Wave(1, 22050, 16, a));
  WriteFile(dir + "b.wav", Wave(1, 11025, 8, b));
  WriteFile(dir + "c.Wav", Wave(2, 44100, 16, c));
  WriteFile(dir + "bad.wav", "not a wave file");
  WriteFile(dir + "notes.txt", Wave(1, 22050, 16, a));
  const std::string expect = Entry("A.WAV", Fmt18(1, 22050, 16), a) +
                             Entry("B.WAV", Fmt18(1, 11025, 8), b) +
                             Entry("C.WAV", Fmt18(2, 44100, 16), c);

  EXPECT_EQ(oxSound::MakePack("TEST.PAK", "packsrc", 1), 1);
  EXPECT_EQ(oxtest::ReadFile(DataPath("TEST.PAK")), expect);
  EXPECT_EQ(oxSound::MakePack("TEST.PAK", "packsrc\\", 0), 1);  // appends
  EXPECT_EQ(oxtest::ReadFile(DataPath("TEST.PAK")), expect + expect);
  EXPECT_EQ(oxSound::MakePack("TEST.PAK", "packsrc", 1), 1);
  EXPECT_EQ(oxtest::ReadFile(DataPath("TEST.PAK")), expect);
  // Without a folder: the data directory itself.
  ox::OverrideDataDirectory(dir.c_str());
  EXPECT_EQ(oxSound::MakePack("ROOT.PAK", "", 1), 1);
  EXPECT_EQ(oxSound::MakePack("nofolder/X.PAK", "", 1), 0);  // cannot be written
  ox::OverrideDataDirectory(oxtest::DataDir().c_str());
  EXPECT_EQ(oxtest::ReadFile(dir + "ROOT.PAK"), expect);

  oxSound::SelectPack("TEST.PAK");
  int h = oxSound::LoadPack("c.wav", 2);
  ASSERT_EQ(h, 0);
  EXPECT_TRUE(Obj(h).pack == 1 && Obj(h).mixCount == 2 && Obj(h).defaultFrequency == 44100u);
  EXPECT_STREQ(Obj(h).name, "c.wav");
  EXPECT_EQ(Mix().Size(Obj(h).buffers[1]), 8u);
}

// Names are found in any case and the samples played as they stand; an entry
// of three seconds asked for as a stream loads whole.
TEST_F(PackTest, LoadPackFindsEntriesInAnyCaseAndShortStreamsLoadWhole) {
  const std::string shot = Pcm16({1000, 2000, 3000, 4000, 5000, 6000});
  WriteData("GAME.PAK", Entry("BOM.WAV", Fmt18(1, 22050, 8), "\x80\x80") +
                            Entry("SHOT.WAV", Fmt18(1, 44100, 16), shot) +
                            Entry("SHORT.WAV", Fmt18(1, 22050, 8), Pattern(22050 * 3)));
  oxSound::SelectPack("GAME.PAK");
  const int h = oxSound::LoadPack("shot.wav", 1);
  ASSERT_EQ(h, 0);
  const int s = oxSound::LoadStream("short.wav", 0);
  ASSERT_EQ(s, 1);
  EXPECT_TRUE(Obj(s).stream.dataSize == 0u && Obj(s).pack == 1 && Obj(s).mixCount == 1);
  EXPECT_EQ(Mix().Size(Obj(s).buffers[0]), 22050u * 3);
  oxSound::Play(h, -1);
  RunFrames(1);
  const Output out = Finish();
  ASSERT_TRUE(out.valid);
  EXPECT_EQ(std::vector<int16_t>(out.left.begin(), out.left.begin() + 7),
            (std::vector<int16_t>{Heard(1000), Heard(2000), Heard(3000), Heard(4000), Heard(5000),
                                  Heard(6000), 0}));
}

TEST_F(PackTest, LoadPackFailuresAreReportedUnderItsName) {
  WriteData("P.PAK", Entry("ONE.WAV", Fmt18(1, 22050, 8), "abcd") +
                         Entry("ABCDEFGHIJKLMNOPQRSTUVWXYZ1.WAV", Fmt18(1, 22050, 8), "abcd"));
  const std::string tooLong(300, 'X');
  const struct Case { const char* pack; const char* name; int mix; const char* text; } cases[] = {
      {nullptr, "ONE.WAV", 1, "oxSound::LoadPack : パックファイル名が指定されていません"},
      {"NOPE.PAK", "ONE.WAV", 1, "oxSound::LoadPack : パックファイル名が指定されていません"},
      {"P.PAK", "TWO.WAV", 1, "oxSound::LoadPack : WAVEファイルを読み込めません"},
      {"P.PAK", "ONE.WAV", 11, "oxSound::LoadPack : ミックス数が多過ぎます"},
      {"P.PAK", tooLong.c_str(), 1, "oxSound::LoadPack : WAVEファイルを読み込めません"},
  };
  for (const Case& c : cases) {
    if (c.pack) oxSound::SelectPack(c.pack);
    EXPECT_EQ(oxSound::LoadPack(c.name, c.mix), -1) << c.text;
    ExpectReport(c.text);
    EXPECT_EQ(Obj(0).inUse, 0);
  }
  // A long name is found, loaded, and then reported.
  EXPECT_EQ(oxSound::LoadPack("abcdefghijklmnopqrstuvwxyz1.wav", 1), -1);
  ExpectReport("oxSound::LoadPack : ファイル名が長すぎます");
  EXPECT_EQ(Obj(0).inUse, 1);
  for (int i = 1; i < oxs::kSoundObjects; ++i) ASSERT_EQ(oxSound::LoadPack("ONE.WAV", 1), i);
  EXPECT_EQ(oxSound::LoadPack("ONE.WAV", 1), -1);
  ExpectReport("oxSound::LoadPack : オブジェクト数が多過ぎます");
  EXPECT_EQ(oxSound::LoadStream("ONE.WAV", 0), -1);
  ExpectReport("oxSound::LoadStream : オブジェクト数が多過ぎます");
}

TEST_F(PackTest, DamagedPacksGiveTheReportNeverACrash) {
  const std::string good = Entry("GOOD.WAV", Fmt18(1, 22050, 8), "abcd");
  const std::string target = Entry("T.WAV", Fmt18(1, 22050, 8), Pattern(22050 * 6));
  std::string fmtHuge = Entry("T.WAV", "", "");
  fmtHuge.replace(fmtHuge.size() - 4, 4, std::string("\xff\xff\xff\xff", 4));
  std::string skipHuge = Entry("X.WAV", Fmt18(1, 22050, 8), "ab", 0xFFFFFF00u);
  const char* cannotRead = "WAVEファイルを読み込めません";
  const char* noBuffer = "サウンドバッファが生成できません";
  struct Case { const char* what; std::string pack; const char* text; } cases[] = {
      {"samples cut short", good + target.substr(0, target.size() - 1), cannotRead},
      {"data size beyond the file", good + Entry("T.WAV", Fmt18(1, 22050, 8), "ab", 1000000), cannotRead},
      {"name without a NUL", good + std::string("\x04\0\0\0", 4) + std::string(200, 'T') + target, cannotRead},
      {"cut in the name", good + std::string("\x04\0\0\0T.W", 7), cannotRead},
      {"cut in the format size", good + std::string("\x04\0\0\0T.WAV\0\x12\0", 12), cannotRead},
      {"cut in the data size", good + std::string("\x04\0", 2), cannotRead},
      {"format size beyond everything", good + fmtHuge, cannotRead},
      {"format under 16 bytes", good + Entry("T.WAV", FormatRecord(1, 22050, 8).substr(0, 8), "ab"),
       cannotRead},
      {"earlier entry skips past the end", skipHuge + target, cannotRead},
      {"non-PCM format", good + Entry("T.WAV", Fmt18(1, 22050, 4, 2), "abcd"), noBuffer},
      {"no channels", good + Entry("T.WAV", Fmt18(0, 22050, 8), Pattern(22050 * 6)), noBuffer},
      {"rate 0", good + Entry("T.WAV", Fmt18(1, 0, 8), Pattern(22050 * 6)), noBuffer},
      {"empty file", "", cannotRead},
  };
  oxSound::SelectPack("BAD.PAK");
  for (const Case& c : cases) {
    WriteData("BAD.PAK", c.pack);
    SCOPED_TRACE(c.what);
    EXPECT_EQ(oxSound::LoadPack("T.WAV", 1), -1);
    ExpectReport(std::string("oxSound::LoadPack : ") + c.text);
    EXPECT_EQ(oxSound::LoadStream("T.WAV", 0), -1);
    ExpectReport(std::string("oxSound::LoadStream : ") + c.text);
    EXPECT_EQ(Obj(0).inUse, 0);
  }
  WriteData("BAD.PAK", good + target);
  EXPECT_EQ(oxSound::LoadPack("GOOD.WAV", 1), 0);
  EXPECT_EQ(oxSound::LoadStream("T.WAV", 0), 1);
}

// 10 seconds at 44100 bytes per second (44100 Hz, 8-bit mono).
class StreamTest : public PackTest {
 protected:
  void SetUp() override {
    PackTest::SetUp();
    data_ = Pattern(441000);
    WriteData("MUSIC.PAK", Entry("INTRO.WAV", Fmt18(1, 22050, 8), "ab") +
                               Entry("MUSIC.WAV", Fmt18(1, 44100, 8), data_));
    oxSound::SelectPack("MUSIC.PAK");
  }
  // Runs frame passes with a Streaming call each, recording the chunk of
  // every refill, until the stream stops or `maxFrames` have passed.
  int Run(int h, int maxFrames) {
    const oxs::StreamRecord& st = Obj(h).stream;
    int frames = 0;
    while (frames < maxFrames && Mix().Playing(Obj(h).buffers[0])) {
      RunFrames(1);
      ++frames;
      const uint32_t before = st.nextWrite;
      oxSound::Streaming();
      if (st.nextWrite != before) {
        chunks_.push_back((st.nextWrite + st.bufferSize - before) % st.bufferSize);
        tails_.push_back(st.tail);
      }
    }
    return frames;
  }
  std::string data_;
  std::vector<uint32_t> chunks_;
  std::vector<int> tails_;
};

// Loading fills the first half of a ring of four seconds, stopped; loop
// offsets fall on whole frames, and one past the data loops from the start.
TEST_F(StreamTest, LoadFillsTheFirstHalfOfAFourSecondRing) {
  const int h = oxSound::LoadStream("music.wav", 0);
  ASSERT_EQ(h, 0);
  const oxs::SoundObject& o = Obj(h);
  const oxs::StreamRecord& st = o.stream;
  EXPECT_TRUE(st.dataSize == 441000u && st.half == 88200u && st.bufferSize == 176400u);
  EXPECT_TRUE(st.supplied == 88200u && st.lastWrite == 0u && st.nextWrite == 88200u);
  EXPECT_TRUE(st.wrapMark == -1 && st.readPosition == st.start + 88200 && st.loopPoint == st.start);
  EXPECT_TRUE(o.mixCount == 1 && o.echoState == -1 && o.pack == 1);
  EXPECT_EQ(Mix().Size(o.buffers[0]), 176400u);
  EXPECT_FALSE(Mix().Playing(o.buffers[0]));
  WriteData("ST.PAK", Entry("ST.WAV", Fmt18(2, 22050, 16), Pattern(88200 * 6)));
  oxSound::SelectPack("ST.PAK");
  const int a = oxSound::LoadStream("ST.WAV", 100003);
  EXPECT_EQ(Obj(a).stream.loopPoint - Obj(a).stream.start, 100000u);
  const int b = oxSound::LoadStream("ST.WAV", 88200 * 6);
  EXPECT_EQ(Obj(b).stream.loopPoint, Obj(b).stream.start);
  EXPECT_EQ(Obj(b).stream.half, 176400u);
}

TEST_F(StreamTest, OncePlayedStreamRefillsThenEndsWithOneChunkOfSilence) {
  int h = oxSound::LoadStream("MUSIC.WAV", 0);
  oxSound::Play(h, -1);
  EXPECT_TRUE(Mix().Looping(Obj(h).buffers[0]));  // the ring always loops
  const int frames = Run(h, 60 * 15);
  EXPECT_FALSE(Mix().Playing(Obj(h).buffers[0]));
  const std::vector<uint32_t> expect = {88200, 88200, 88200, 44100, 44100, 88200};
  EXPECT_EQ(chunks_, expect);
  EXPECT_EQ(tails_, (std::vector<int>{0, 0, 0, 0, 2, 1}));
  // It stops as the silence begins: 10 s and at most a frame more.
  EXPECT_TRUE(frames >= 600 && frames <= 602) << frames;
  RunFrames(10);

  Output out = Finish();
  ASSERT_TRUE(out.valid);
  ASSERT_GT(out.left.size(), 441000u + 1000u);
  for (size_t i = 0; i < 441000; ++i) ASSERT_EQ(out.left[i], Heard(As16(data_[i]))) << i;
  for (size_t i = 441000; i < out.left.size(); ++i) ASSERT_EQ(out.left[i], 0) << i;
}

TEST_F(StreamTest, LoopedStreamGoesOnFromTheLoopPoint) {
  int h = oxSound::LoadStream("MUSIC.WAV", 100000);
  EXPECT_EQ(Obj(h).stream.loopPoint - Obj(h).stream.start, 100000u);
  oxSound::PlayLoop(h, -1);
  Run(h, 60 * 16);  // 16 s
  EXPECT_TRUE(Mix().Playing(Obj(h).buffers[0]));
  // 88200 x 3, 44100 x 2, then from the loop point: 341000 bytes left.
  const std::vector<uint32_t> start = {88200, 88200, 88200, 44100, 44100, 88200, 88200};
  ASSERT_GE(chunks_.size(), start.size());
  EXPECT_EQ(std::vector<uint32_t>(chunks_.begin(), chunks_.begin() + 7), start);
  Output out = Finish();
  ASSERT_TRUE(out.valid);
  ASSERT_EQ(out.left.size(), 44100u * 16);
  for (size_t i = 0; i < out.left.size(); ++i) {
    const size_t at = i < 441000 ? i : 100000 + (i - 441000);
    ASSERT_EQ(out.left[i], Heard(As16(data_[at]))) << i;
  }
}

TEST_F(StreamTest, PlayAndResetStreamStartTheDataAgain) {
  int h = oxSound::LoadStream("MUSIC.WAV", 0);
  oxSound::PlayLoop(h, -1);
  Run(h, 60 * 3);
  const oxs::StreamRecord& st = Obj(h).stream;
  EXPECT_GT(st.supplied, 88200u);
  EXPECT_EQ(oxSound::ResetStream(h), 1);
  EXPECT_TRUE(st.supplied == 88200u && st.nextWrite == 88200u && st.lastWrite == 0u && st.tail == 0);
  EXPECT_EQ(oxSound::GetPosition(h), 0);
  EXPECT_TRUE(Mix().Playing(Obj(h).buffers[0]));
  Run(h, 60 * 3);
  oxSound::Play(h, 0);
  EXPECT_EQ(st.supplied, 88200u);
  EXPECT_EQ(oxSound::GetPosition(h), 0);
  EXPECT_EQ(Obj(h).loop, 0);

  // A plain object is no stream: 0, no report.
  EXPECT_EQ(oxSound::ResetStream(oxSound::LoadPack("INTRO.WAV", 1)), 0);
  EXPECT_EQ(Boxes(), boxes_);
  // Without its pack: reported, and played again silent instead of the old ring.
  remove(DataPath("MUSIC.PAK").c_str());
  EXPECT_EQ(oxSound::ResetStream(h), 0);
  ExpectReport("oxSound::ResetStream : パックファイル名が指定されていません");
  oxSound::PlayLoop(h, -1);
  ExpectReport("oxSound::ResetStream : パックファイル名が指定されていません");
  EXPECT_FALSE(Mix().Playing(Obj(h).buffers[0]));
}

TEST_F(StreamTest, VanishedOrShortenedPackIsReportedOnceAndTheStreamStops) {
  int h = oxSound::LoadStream("MUSIC.WAV", 0);
  oxSound::PlayLoop(h, -1);
  Run(h, 60);
  remove(DataPath("MUSIC.PAK").c_str());
  Run(h, 60 * 3);
  EXPECT_FALSE(Mix().Playing(Obj(h).buffers[0]));
  ExpectReport("oxSound::Streaming : パックファイル名が指定されていません");
  WriteData("MUSIC.PAK", Entry("MUSIC.WAV", Fmt18(1, 44100, 8), data_));
  oxSound::SelectPack("MUSIC.PAK");
  int g = oxSound::LoadStream("MUSIC.WAV", 0);
  oxSound::Play(g, -1);
  Run(g, 60);
  WriteData("MUSIC.PAK", "cut");
  Run(g, 60 * 3);
  EXPECT_FALSE(Mix().Playing(Obj(g).buffers[0]));
  ExpectReport("oxSound::Streaming : ストリーミング再生できません");
}

TEST_F(StreamTest, RestoreReadsEachObjectFromThePackItCameFrom) {
  int stream = oxSound::LoadStream("MUSIC.WAV", 4410);
  int intro = oxSound::LoadPack("INTRO.WAV", -3);
  oxSound::SetVolume(intro, -5, 2);
  WriteData("OTHER.PAK", Entry("INTRO.WAV", Fmt18(1, 22050, 8), "abcdefgh"));
  oxSound::SelectPack("OTHER.PAK");
  oxSound::Release();
  oxSound::Restore();
  ASSERT_EQ(oxSound::Available(), 1);
  EXPECT_EQ(Mix().Size(Obj(intro).buffers[0]), 2u);  // from MUSIC.PAK, not OTHER.PAK
  EXPECT_TRUE(Obj(intro).mixCount == 3 && Obj(intro).echoState == -1);
  EXPECT_EQ(Mix().Volume(Obj(intro).buffers[2]), -500);
  const oxs::StreamRecord& st = Obj(stream).stream;
  EXPECT_TRUE(st.dataSize == 441000u && st.loopPoint - st.start == 4410u);
  EXPECT_EQ(Mix().Size(Obj(stream).buffers[0]), 176400u);
  EXPECT_EQ(oxSound::LoadPack("INTRO.WAV", 1), 2);
  EXPECT_EQ(Mix().Size(Obj(2).buffers[0]), 8u);
}

}  // namespace
