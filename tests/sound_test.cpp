// oxSound: the device, the table of 70 sound objects, mix-buffer rotation,
// settings and their limits, echo, pause, positions, release and restore,
// the system wave player, output formats, and what reaches the output.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "core/services.h"
#include "platform/audio.h"
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

// Half a second of a 22050 Hz 16-bit mono square wave.
std::string Bom() { return Wave(1, 22050, 16, Pcm16(Square(11025, 50, 12000))); }

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    ASSERT_TRUE(WriteData("BOM.WAV", Bom()));
    ASSERT_TRUE(WriteData("LONG.WAV", Wave(1, 22050, 16, Pcm16(Square(44100, 50, 12000)))));
  }
};

TEST_F(SoundTest, ScreenSetUpStartsTheDeviceAndClearsTheTable) {
  EXPECT_EQ(oxSound::Available(), 1);
  EXPECT_TRUE(plat::audio::IsOpen());
  plat::audio::Format f = plat::audio::CurrentFormat();
  EXPECT_TRUE(f.rate == 44100 && f.bits == 16 && f.channels == 2);
  int h = oxSound::LoadObject("BOM.WAV", 7);
  ASSERT_EQ(h, 0);
  const int firstBuffer = Obj(0).buffers[0];

  // Opening the screen again starts over: the old buffers are gone.
  oxDraw::Screen(640, 480, 2);
  EXPECT_EQ(oxSound::Available(), 1);
  EXPECT_FALSE(Mix().Exists(firstBuffer));
  for (int i = 0; i < oxs::kSoundObjects; ++i) {
    const oxs::SoundObject& o = Obj(i);
    ASSERT_TRUE(o.inUse == 0 && o.mixCount == 1 && o.nextMix == 0 && o.defaultFrequency == 0u &&
                o.name[0] == '\0' && o.echoState == -1 && o.pack == 0 && o.stream.dataSize == 0u)
        << i;
    for (int b = 0; b < oxs::kMixBuffers; ++b)
      ASSERT_TRUE(o.buffers[b] == 0 && o.frequency[b] == 0u && o.volume[b] == 0 && o.pan[b] == 0);
  }
}

TEST_F(SoundTest, LoadObjectFillsEveryMixBufferWithTheSound) {
  int h = oxSound::LoadObject("BOM.WAV", 7);
  ASSERT_EQ(h, 0);
  const oxs::SoundObject& o = Obj(h);
  EXPECT_TRUE(o.inUse == 1 && o.mixCount == 7 && o.nextMix == 0 && o.defaultFrequency == 22050u &&
              o.echoState == 0);
  EXPECT_STREQ(o.name, "BOM.WAV");
  for (int b = 0; b < 7; ++b) {
    ASSERT_NE(o.buffers[b], 0);
    EXPECT_EQ(Mix().Size(o.buffers[b]), 22050u);
    EXPECT_EQ(o.frequency[b], 22050u);
    for (int c = 0; c < b; ++c) EXPECT_NE(o.buffers[b], o.buffers[c]);
  }
  EXPECT_EQ(o.buffers[7], 0);

  // One buffer or a negative count: no echo; 0 still gives one buffer.
  EXPECT_EQ(Obj(oxSound::LoadObject("BOM.WAV", 1)).echoState, -1);
  int neg = oxSound::LoadObject("BOM.WAV", -3);
  EXPECT_EQ(Obj(neg).mixCount, 3);
  EXPECT_EQ(Obj(neg).echoState, -1);
  int zero = oxSound::LoadObject("BOM.WAV", 0);
  EXPECT_EQ(Obj(zero).mixCount, 1);
  EXPECT_NE(Obj(zero).buffers[0], 0);
}

TEST_F(SoundTest, EighthPlayOfASevenBufferObjectRestartsTheFirst) {
  int h = oxSound::LoadObject("BOM.WAV", 7);
  const oxs::SoundObject& o = Obj(h);
  for (int i = 0; i < 7; ++i) {
    oxSound::Play(h, -1);
    EXPECT_EQ(o.nextMix, (i + 1) % 7);
    RunFrames(1);
  }
  for (int b = 0; b < 7; ++b) EXPECT_TRUE(Mix().Playing(o.buffers[b])) << b;
  const uint32_t first = Mix().Position(o.buffers[0]);
  const uint32_t second = Mix().Position(o.buffers[1]);
  EXPECT_GT(first, second);  // started a frame earlier
  EXPECT_GT(second, 0u);

  oxSound::Play(h, -1);
  EXPECT_EQ(o.nextMix, 1);
  EXPECT_TRUE(Mix().Playing(o.buffers[0]));
  EXPECT_EQ(Mix().Position(o.buffers[0]), 0u);  // restarted
  EXPECT_EQ(Mix().Position(o.buffers[1]), second);
  EXPECT_EQ(o.loop, 0);
}

TEST_F(SoundTest, TableAndMixCountLimitsAreReported) {
  for (int i = 0; i < oxs::kSoundObjects; ++i) ASSERT_EQ(oxSound::LoadObject("BOM.WAV", 1), i);
  const int boxes = Boxes(), beeps = plat::headless::BeepCount();
  EXPECT_EQ(oxSound::LoadObject("BOM.WAV", 1), -1);
  EXPECT_STREQ(BoxText(), "oxSound::LoadObject : オブジェクト数が多過ぎます");
  EXPECT_STREQ(plat::headless::LastBox().caption, "エラー発生");
  EXPECT_EQ(Boxes(), boxes + 1);
  EXPECT_EQ(plat::headless::BeepCount(), beeps + 1);

  oxSound::ReleaseObject(12);
  EXPECT_EQ(oxSound::LoadObject("BOM.WAV", 11), -1);
  EXPECT_STREQ(BoxText(), "oxSound::LoadObject : ミックス数が多過ぎます");
  EXPECT_EQ(oxSound::LoadObject("BOM.WAV", -11), -1);
  EXPECT_EQ(oxSound::LoadObject("BOM.WAV", INT_MIN), -1);
  EXPECT_STREQ(BoxText(), "oxSound::LoadObject : ミックス数が多過ぎます");
  EXPECT_EQ(oxSound::LoadObject("BOM.WAV", -10), 12);
  EXPECT_EQ(Obj(12).mixCount, 10);
}

TEST_F(SoundTest, NameOf31CharactersIsReportedAlthoughTheSoundWasLoaded) {
  const std::string name31 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1.WAV";
  const std::string name30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ.WAV";
  ASSERT_EQ(name31.size(), 31u);
  ASSERT_TRUE(WriteData(name31, Bom()));
  ASSERT_TRUE(WriteData(name30, Bom()));
  EXPECT_EQ(oxSound::LoadObject(name31.c_str(), 2), -1);
  EXPECT_STREQ(BoxText(), "oxSound::LoadObject : ファイル名またはリソース名が長すぎます");
  EXPECT_EQ(Obj(0).inUse, 1);
  EXPECT_NE(Obj(0).buffers[1], 0);
  EXPECT_EQ(oxSound::LoadObject(name30.c_str(), 2), 1);
  EXPECT_STREQ(Obj(1).name, name30.c_str());
}

TEST_F(SoundTest, DamagedAndUnplayableFilesAreReportedAndTakeNoEntry) {
  const std::string good = Bom();
  std::string beyond = good;
  beyond[42] = '\x7f';  // data size far beyond the file
  std::string shortFmt = Riff(Chunk("fmt ", FormatRecord(1, 22050, 16).substr(0, 12)) +
                              Chunk("data", "abcd"));
  std::string adpcm = FormatRecord(1, 22050, 4, 2);
  Put16(adpcm, 0);
  WriteData("TRUNC.WAV", good.substr(0, 100));
  WriteData("BEYOND.WAV", beyond);
  WriteData("SHORTFMT.WAV", shortFmt);
  WriteData("ADPCM.WAV", Riff(Chunk("fmt ", adpcm) + Chunk("data", "abcd")));
  WriteData("NOCHAN.WAV", Wave(0, 22050, 16, "abcd"));
  WriteData("RATE0.WAV", Wave(1, 0, 16, "abcd"));
  WriteData("RATEHUGE.WAV", Wave(1, 4000000, 16, "abcd"));
  WriteData("BITS24.WAV", Wave(1, 22050, 24, "abcdef"));
  WriteData("EMPTY.WAV", Wave(1, 22050, 16, ""));
  struct Case {
    const char* name;
    const char* text;
  } cases[] = {
      {"MISSING.WAV", "oxSound::LoadObject : WAVEリソースが見つかりません"},
      {"TRUNC.WAV", "oxSound::LoadObject : WAVEリソースが見つかりません"},
      {"BEYOND.WAV", "oxSound::LoadObject : WAVEリソースが見つかりません"},
      {"SHORTFMT.WAV", "oxSound::LoadObject : WAVEリソースが見つかりません"},
      {"ADPCM.WAV", "oxSound::LoadObject : サウンドバッファが生成できません"},
      {"NOCHAN.WAV", "oxSound::LoadObject : サウンドバッファが生成できません"},
      {"RATE0.WAV", "oxSound::LoadObject : サウンドバッファが生成できません"},
      {"RATEHUGE.WAV", "oxSound::LoadObject : サウンドバッファが生成できません"},
      {"BITS24.WAV", "oxSound::LoadObject : サウンドバッファが生成できません"},
      {"EMPTY.WAV", "oxSound::LoadObject : サウンドバッファが生成できません"},
  };
  for (const Case& c : cases) {
    const int boxes = Boxes();
    EXPECT_EQ(oxSound::LoadObject(c.name, 3), -1) << c.name;
    EXPECT_EQ(Boxes(), boxes + 1) << c.name;
    EXPECT_STREQ(BoxText(), c.text) << c.name;
    EXPECT_EQ(Obj(0).inUse, 0) << c.name;
    EXPECT_EQ(Mix().PlayingCount(), 0);
  }
  EXPECT_EQ(oxSound::LoadObject(std::string(5000, 'A').c_str(), 1), -1);  // path cannot fit
  EXPECT_STREQ(BoxText(), "oxSound::LoadObject : WAVEリソースが見つかりません");
  EXPECT_EQ(oxSound::LoadObject(nullptr, 1), -1);
  EXPECT_EQ(oxSound::LoadObject("BOM.WAV", 3), 0);
}

// Volume (-10000..0), frequency (100..100000 Hz) and pan (-10000..10000)
// steps, each held to its range and passed on to the mixer.
TEST_F(SoundTest, SettingsStepWithinTheirRanges) {
  const int h = oxSound::LoadObject("BOM.WAV", 3);
  const oxs::SoundObject& o = Obj(h);
  enum { kVol, kFreq, kPan };
  struct Step { std::function<void()> call; int what, buffer, expected; };
  const Step steps[] = {
      {[&] { oxSound::AddVolume(h, 10, -1); }, kVol, 2, 0},
      {[&] { oxSound::AddVolume(h, -150, 0); }, kVol, 0, -10000},
      {[&] { oxSound::AddVolume(h, -150, 0); }, kVol, 0, -10000},
      {[&] { oxSound::AddVolume(h, 30, 0); }, kVol, 0, -7000},
      {[&] { oxSound::SetVolume(h, -3, -1); }, kVol, 2, -300},
      {[&] { oxSound::SetVolume(h, 5, 1); }, kVol, 1, 0},
      {[&] { oxSound::SetVolume(h, INT_MIN, 2); }, kVol, 2, -10000},
      {[&] { oxSound::ResetVolume(h, -1); }, kVol, 2, 0},
      {[&] { oxSound::SetFrequency(h, 10, -1); }, kFreq, 1, 23050},
      {[&] { oxSound::SetFrequency(h, -300, 0); }, kFreq, 0, 100},
      {[&] { oxSound::AddFrequency(h, 2000, 1); }, kFreq, 1, 100000},
      {[&] { oxSound::AddFrequency(h, INT_MAX, 1); }, kFreq, 1, 100000},
      {[&] { oxSound::AddFrequency(h, -5, 0); }, kFreq, 0, 100},
      {[&] { oxSound::ResetFrequency(h, -1); }, kFreq, 1, 22050},
      {[&] { oxSound::SetPan(h, 150, -1); }, kPan, 1, 10000},
      {[&] { oxSound::AddPan(h, -50, 0); }, kPan, 0, 5000},
      {[&] { oxSound::AddPan(h, -500, 0); }, kPan, 0, -10000},
      {[&] { oxSound::PanRight(h, 0); }, kPan, 0, 10000},
      {[&] { oxSound::PanLeft(h, -1); }, kPan, 1, -10000},
      {[&] { oxSound::ResetPan(h, -1); }, kPan, 0, 0},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    const Step& st = steps[i];
    st.call();
    const int b = st.buffer;
    EXPECT_EQ(st.what == kVol ? o.volume[b] : st.what == kPan ? o.pan[b] : int(o.frequency[b]),
              st.expected) << "step " << i;
    for (int m = 0; m < 3; ++m) {
      const int id = o.buffers[m];
      EXPECT_TRUE(Mix().Volume(id) == o.volume[m] && Mix().Pan(id) == o.pan[m] &&
                  Mix().Frequency(id) == o.frequency[m]) << "step " << i << " " << m;
    }
  }
}

TEST_F(SoundTest, MixSelectorNamesOneBufferTheNextOneOrAll) {
  int h = oxSound::LoadObject("BOM.WAV", 5);
  const oxs::SoundObject& o = Obj(h);
  oxSound::Play(h, -1);
  oxSound::Play(h, -1);
  ASSERT_EQ(o.nextMix, 2);
  oxSound::SetVolume(h, -10, 3);
  oxSound::SetVolume(h, -20, -2);
  oxSound::SetVolume(h, -30, 5);  // no such buffer
  const int expect[5] = {0, 0, -2000, -1000, 0};
  for (int b = 0; b < 5; ++b) EXPECT_EQ(o.volume[b], expect[b]) << b;

  oxSound::Play(h, 4);
  EXPECT_EQ(o.nextMix, 2);  // an explicit buffer leaves the rotation alone
  EXPECT_TRUE(Mix().Playing(o.buffers[4]));
  oxSound::Play(h, 9);
  oxSound::Stop(h, 7);
  oxSound::Stop(h, 4);
  EXPECT_FALSE(Mix().Playing(o.buffers[4]));
  EXPECT_TRUE(Mix().Playing(o.buffers[0]));
  oxSound::PlayLoop(h, -5);
  EXPECT_EQ(o.nextMix, 3);
  EXPECT_TRUE(Mix().Looping(o.buffers[2]));
  EXPECT_EQ(o.loop, 1);
  oxSound::Stop(h, -1);
  EXPECT_EQ(Mix().PlayingCount(), 0);
}

TEST_F(SoundTest, EchoRepeatsTheSoundStepByStepQuieter) {
  int h = oxSound::LoadObject("BOM.WAV", 4);
  const oxs::SoundObject& o = Obj(h);
  oxSound::SetVolume(h, -5, -1);
  oxSound::SetFrequency(h, 10, -1);
  oxSound::Play(h, -2);  // resets every buffer and starts the echo
  EXPECT_EQ(o.echoState, 1);
  EXPECT_EQ(o.echoLoop, 0);
  for (int b = 0; b < 4; ++b) {
    EXPECT_EQ(o.volume[b], 0);
    EXPECT_EQ(o.frequency[b], 22050u);
  }
  ox::App().frameSeconds = 0.1f;
  int echoes[3] = {};
  int fired = 0;
  for (int call = 1; call <= 12; ++call) {
    int before = o.nextMix;
    oxSound::Echo(h, 250, 3, 10);
    if (o.nextMix != before) {
      ASSERT_LT(fired, 3);
      echoes[fired++] = call;
      EXPECT_EQ(o.volume[before], -1000 * fired);
      EXPECT_TRUE(Mix().Playing(o.buffers[before]));
      EXPECT_FALSE(Mix().Looping(o.buffers[before]));
    }
  }
  EXPECT_EQ(fired, 3);
  // Every 250 ms at 100 ms a call: the interval is reached on calls 3, 6, 9.
  EXPECT_TRUE(echoes[0] == 3 && echoes[1] == 6 && echoes[2] == 9);
  EXPECT_TRUE(o.echoState == 0 && o.volume[0] == 0);

  // An object without echo ignores -2 as a start of one.
  int plain = oxSound::LoadObject("BOM.WAV", 1);
  oxSound::Play(plain, -2);
  EXPECT_EQ(Obj(plain).echoState, -1);
  EXPECT_TRUE(Mix().Playing(Obj(plain).buffers[0]));
}

TEST_F(SoundTest, EchoOfALoopedPlayLoopsAndStopEndsIt) {
  int h = oxSound::LoadObject("BOM.WAV", 3);
  const oxs::SoundObject& o = Obj(h);
  oxSound::PlayLoop(h, -2);
  EXPECT_EQ(o.echoLoop, 1);
  ox::App().frameSeconds = 0.05f;
  oxSound::Echo(h, 40, 2, 20);
  EXPECT_EQ(o.volume[1], -2000);
  EXPECT_TRUE(Mix().Looping(o.buffers[1]));
  EXPECT_EQ(o.echoState, 2);
  oxSound::Stop(h, 1);  // one buffer: the echo goes on
  EXPECT_EQ(o.echoState, 2);
  oxSound::Stop(h, -1);
  EXPECT_EQ(o.echoState, 0);
  for (int b = 0; b < 3; ++b) {
    EXPECT_FALSE(Mix().Playing(o.buffers[b]));
    EXPECT_EQ(Mix().Position(o.buffers[b]), 0u);
  }
  oxSound::Echo(h, 40, 2, 20);
  EXPECT_EQ(Mix().PlayingCount(), 0);
}

TEST_F(SoundTest, DriftingEchoWandersThePanAndTurnsAt3000) {
  int h = oxSound::LoadObject("BOM.WAV", 10);
  const oxs::SoundObject& o = Obj(h);
  oxSound::Play(h, -2);
  const int d = o.driftDirection;
  ASSERT_TRUE(d == 1 || d == -1);
  ox::App().frameSeconds = 0.125f;  // drift steps of 12.5 at pan speed 1
  const int pans[8] = {1200, 2500, 3000, 1700, 500, -700, -2000, -3000};
  for (int i = 0; i < 8; ++i) {
    int b = o.nextMix;
    oxSound::EchoDrift(h, 0, 8, 5, 1.0f);
    EXPECT_EQ(o.pan[b], d * pans[i]) << i;
    EXPECT_EQ(Mix().Pan(o.buffers[b]), d * pans[i]) << i;
    EXPECT_EQ(o.volume[b], -500 * (i + 1)) << i;
  }
  EXPECT_EQ(o.echoState, 0);
  EXPECT_EQ(o.driftDirection, d);  // turned twice
}

TEST_F(SoundTest, RandomDriftDirectionFollowsTheGamesGenerator) {
  int h = oxSound::LoadObject("BOM.WAV", 2);
  for (uint32_t seed = 1; seed < 6; ++seed) {
    ox::SeedRandom(seed);
    int r = ox::Random();
    ox::SeedRandom(seed);
    oxSound::Play(h, -2);
    EXPECT_EQ(Obj(h).driftDirection, r % 2 == 0 ? -1 : 1);
  }
}

TEST_F(SoundTest, TogglePausePausesAndResumesWhereItStopped) {
  int h = oxSound::LoadObject("LONG.WAV", 1);  // 2 s
  const int id = Obj(h).buffers[0];
  oxSound::Play(h, 0);
  RunFrames(30);  // 500 ms = 11025 frames of 2 bytes
  EXPECT_NEAR(oxSound::GetPosition(h), 22050, 4);
  oxSound::TogglePause(h, -1);
  EXPECT_FALSE(Mix().Playing(id));
  const int saved = oxSound::GetPosition(h);
  EXPECT_EQ(uint32_t(saved), Obj(h).savedPosition[0]);
  RunFrames(30);
  EXPECT_EQ(oxSound::GetPosition(h), saved);
  oxSound::TogglePause(h, -1);
  EXPECT_TRUE(Mix().Playing(id));
  EXPECT_FALSE(Mix().Looping(id));
  RunFrames(30);
  EXPECT_NEAR(oxSound::GetPosition(h), saved + 22050, 4);
  // Pausing all buffers leaves idle ones idle.
  oxSound::Stop(h, -1);
  const int l = oxSound::LoadObject("LONG.WAV", 3);
  const oxs::SoundObject& o = Obj(l);
  oxSound::PlayLoop(l, -1);  // buffer 0
  RunFrames(5);
  oxSound::TogglePause(l, -1);
  EXPECT_EQ(Mix().PlayingCount(), 0);
  oxSound::TogglePause(l, -1);
  EXPECT_TRUE(Mix().Looping(o.buffers[0]) && Mix().PlayingCount() == 1);
  // An explicit idle buffer starts from its saved position.
  oxSound::TogglePause(l, 2);
  EXPECT_TRUE(Mix().Playing(o.buffers[2]) && Mix().Position(o.buffers[2]) == 0u);
}

TEST_F(SoundTest, PositionFollowsTheVirtualClockBetweenFrames) {
  int h = oxSound::LoadObject("LONG.WAV", 1);
  oxSound::Play(h, -1);
  EXPECT_EQ(oxSound::GetPosition(h), 0);
  RunFrames(60);  // 1000 ms
  EXPECT_NEAR(oxSound::GetPosition(h), 44100, 4);
  plat::headless::AdvanceClock(250);  // a blocking wait: no frame pass
  EXPECT_NEAR(oxSound::GetPosition(h), 44100 + 11025, 4);
  RunFrames(60);  // the sound has ended: stopped and rewound
  EXPECT_EQ(oxSound::GetPosition(h), 0);
  EXPECT_FALSE(Mix().Playing(Obj(h).buffers[0]));
}

TEST_F(SoundTest, WithoutADeviceEverythingIsSilentAndUnreported) {
  oxtest::StartHeadless();
  plat::audio::SimulateNoDevice(true);
  oxDraw::Screen(640, 480, 2);
  EXPECT_EQ(oxSound::Available(), 0);
  EXPECT_FALSE(plat::audio::IsOpen());
  const int boxes = Boxes();
  EXPECT_EQ(oxSound::Init(), 0);
  EXPECT_EQ(oxSound::LoadObject("BOM.WAV", 3), -1);
  EXPECT_EQ(oxSound::LoadObject("MISSING.WAV", 30), -1);
  oxSound::SelectPack("NOPACK.PAK");
  EXPECT_EQ(oxSound::LoadPack("X.WAV", 1), -1);
  EXPECT_EQ(oxSound::LoadStream("X.WAV", 0), -1);
  oxSound::Play(0, -1);
  oxSound::PlayLoop(0, -2);
  oxSound::SetVolume(0, -10, -1);
  oxSound::Echo(0, 10, 3, 10);
  oxSound::TogglePause(0, -1);
  EXPECT_EQ(oxSound::GetPosition(0), 0);
  EXPECT_EQ(oxSound::Streaming(), 0);
  EXPECT_EQ(oxSound::ResetStream(0), 0);
  EXPECT_EQ(oxSound::SelectFormat(2, 22, 16), 0);
  EXPECT_EQ(Boxes(), boxes);
  EXPECT_EQ(Mix().PlayingCount(), 0);
  // A later attempt finds the device again.
  plat::audio::SimulateNoDevice(false);
  EXPECT_EQ(oxSound::Init(), 1);
  EXPECT_EQ(oxSound::LoadObject("BOM.WAV", 3), 0);
}

TEST_F(SoundTest, BadHandlesAndFreeEntriesAreIgnored) {
  oxSound::LoadObject("BOM.WAV", 2);
  const int boxes = Boxes();
  for (int h : {-1, 5, 70, 1000, INT_MIN}) {
    oxSound::Play(h, -1);
    oxSound::PlayLoop(h, 0);
    oxSound::Stop(h, -1);
    oxSound::TogglePause(h, -1);
    oxSound::SetFrequency(h, 1, -1);
    oxSound::AddPan(h, 1, -2);
    oxSound::ResetVolume(h, 0);
    oxSound::Echo(h, 0, 1, 1);
    oxSound::EchoDrift(h, 0, 1, 1, 1.0f);
    EXPECT_EQ(oxSound::GetPosition(h), 0);
    EXPECT_EQ(oxSound::ResetStream(h), 0);
    oxSound::ReleaseObject(h);
  }
  EXPECT_EQ(Boxes(), boxes);
  EXPECT_EQ(Mix().PlayingCount(), 0);
  EXPECT_EQ(Obj(0).inUse, 1);
}

TEST_F(SoundTest, ReleaseAndRestoreRebuildEveryObjectWithItsSettings) {
  int a = oxSound::LoadObject("BOM.WAV", 3);
  int b = oxSound::LoadObject("LONG.WAV", -2);
  oxSound::SetVolume(a, -12, 1);
  oxSound::SetFrequency(a, 30, 2);
  oxSound::SetPan(a, -40, 0);
  oxSound::Play(a, -1);
  oxSound::Play(a, -1);
  const int oldBuffer = Obj(a).buffers[1];

  oxSound::Release();
  EXPECT_EQ(oxSound::Available(), 0);
  EXPECT_FALSE(plat::audio::IsOpen());
  EXPECT_FALSE(Mix().Exists(oldBuffer));
  EXPECT_EQ(Obj(a).inUse, 1);
  EXPECT_EQ(Obj(a).buffers[0], 0);
  oxSound::Play(a, -1);  // nothing to play
  EXPECT_EQ(Obj(a).nextMix, 2);

  oxSound::Restore();
  EXPECT_EQ(oxSound::Available(), 1);
  const oxs::SoundObject& o = Obj(a);
  EXPECT_TRUE(o.mixCount == 3 && o.nextMix == 2 && o.defaultFrequency == 22050u);
  EXPECT_EQ(Mix().Volume(o.buffers[1]), -1200);
  EXPECT_EQ(Mix().Frequency(o.buffers[2]), 25050u);
  EXPECT_EQ(Mix().Pan(o.buffers[0]), -4000);
  EXPECT_EQ(Mix().Frequency(o.buffers[0]), 22050u);
  EXPECT_TRUE(Obj(b).mixCount == 2 && Obj(b).echoState == -1);
  EXPECT_EQ(Mix().Size(Obj(b).buffers[1]), 88200u);
  oxSound::Play(a, -1);
  EXPECT_TRUE(Mix().Playing(o.buffers[2]));
}

TEST_F(SoundTest, SystemWaveReleasesWaitsForItsLengthAndRestores) {
  int h = oxSound::LoadObject("BOM.WAV", 2);
  oxSound::SetVolume(h, -20, -1);
  const uint32_t before = plat::Clock();
  const int beeps = plat::headless::BeepCount();
  oxSound::PlaySystemWave("LONG.WAV");  // 2 s
  EXPECT_NEAR(double(plat::Clock() - before), 2000.5, 0.5);
  EXPECT_EQ(plat::headless::BeepCount(), beeps);
  EXPECT_EQ(oxSound::Available(), 1);
  EXPECT_EQ(Mix().Volume(Obj(h).buffers[1]), -2000);

  oxSound::PlaySystemWave("MISSING.WAV");  // the default sound instead
  EXPECT_EQ(plat::headless::BeepCount(), beeps + 1);
  EXPECT_EQ(oxSound::Available(), 1);
  EXPECT_NE(Obj(h).buffers[0], 0);
}

TEST_F(SoundTest, ReleaseObjectFreesTheHandleForTheNextLoad) {
  oxSound::LoadObject("BOM.WAV", 1);
  int h = oxSound::LoadObject("BOM.WAV", 4);
  oxSound::LoadObject("BOM.WAV", 1);
  int buffers[4];
  memcpy(buffers, Obj(h).buffers, sizeof buffers);
  oxSound::PlayLoop(h, -1);
  oxSound::SetVolume(h, -10, -1);
  oxSound::ReleaseObject(h);
  const oxs::SoundObject& o = Obj(h);
  EXPECT_TRUE(o.inUse == 0 && o.mixCount == 1 && o.defaultFrequency == 0u && o.name[0] == '\0');
  for (int b = 0; b < 4; ++b)
    EXPECT_TRUE(!Mix().Exists(buffers[b]) && o.volume[b] == 0 && o.buffers[b] == 0) << b;
  EXPECT_EQ(Mix().PlayingCount(), 0);
  EXPECT_EQ(oxSound::LoadObject("LONG.WAV", 1), h);
}

TEST_F(SoundTest, SelectFormatSetsThePrimaryFormatAndRebuildsTheObjects) {
  int h = oxSound::LoadObject("BOM.WAV", 2);
  oxSound::SetVolume(h, -7, 1);
  EXPECT_EQ(oxSound::SelectFormat(2, 22, 16), 1);
  const oxs::PcmFormat& p = oxs::Sound().primary;
  EXPECT_TRUE(p.rate == 22050u && p.bits == 16 && p.channels == 2 && p.blockAlign == 4 &&
              p.bytesPerSecond == 88200u);
  EXPECT_EQ(plat::audio::CurrentFormat().rate, 22050);
  EXPECT_EQ(Mix().Volume(Obj(h).buffers[1]), -700);

  struct Case {
    int channels, code, bits;
    uint32_t rate, align, perSecond;
  } cases[] = {{1, 8, 8, 8000, 1, 8000},     {1, 11, 16, 11025, 2, 22050},
               {2, 44, 8, 44100, 2, 88200},  {2, 48000, 16, 48000, 4, 192000},
               {2, 44100, 16, 44100, 4, 176400}};
  for (const Case& c : cases) {
    EXPECT_EQ(oxSound::SelectFormat(c.channels, c.code, c.bits), 1);
    EXPECT_EQ(p.rate, c.rate);
    EXPECT_EQ(p.blockAlign, c.align);
    EXPECT_EQ(p.bytesPerSecond, c.perSecond);
    EXPECT_EQ(plat::audio::CurrentFormat().channels, c.channels);
    EXPECT_EQ(plat::audio::CurrentFormat().bits, c.bits);
  }

  const int bad[4][3] = {{3, 22, 16}, {2, 22, 24}, {2, 5, 16}, {0, 44, 8}};
  for (const auto& b : bad) {
    const int boxes = Boxes();
    EXPECT_LT(oxSound::SelectFormat(b[0], b[1], b[2]), 0);
    EXPECT_EQ(Boxes(), boxes + 1);
    EXPECT_STREQ(BoxText(), "oxSound::SelectFormat : 再生フォーマットを変更できません");
    EXPECT_EQ(p.rate, 44100u);
    // The objects come back in the format that stays.
    ASSERT_NE(Obj(h).buffers[1], 0);
    EXPECT_EQ(Mix().Volume(Obj(h).buffers[1]), -700);
  }
}

// ---------------------------------------------------------------- output

class SoundOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = oxtest::DataDir() + "out-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".wav";
    OpenScreenWithAudioOut(path_);
  }
  Output Finish() {
    ox::services::ReleaseSound();
    return ReadOutput(path_);
  }
  std::string path_;
};

TEST_F(SoundOutputTest, PlayedSquareWaveReachesTheOutputAtHalfVolume) {
  const std::vector<int16_t> wave = Square(44100, 100, 16000);
  WriteData("SQUARE.WAV", Wave(1, 44100, 16, Pcm16(wave)));
  int h = oxSound::LoadObject("SQUARE.WAV", 1);
  oxSound::SetVolume(h, -6, 0);
  oxSound::Play(h, 0);
  RunFrames(30);
  Output out = Finish();
  ASSERT_TRUE(out.valid);
  EXPECT_EQ(out.rate, 44100);
  ASSERT_EQ(out.left.size(), 22050u);  // 500 ms
  const int half = int(std::lround(16000 * std::pow(10.0, -0.3)));
  for (size_t i = 0; i < out.left.size(); ++i) {
    const int expect = Heard(wave[i] > 0 ? half : -half);
    ASSERT_NEAR(out.left[i], expect, 1) << i;
    ASSERT_EQ(out.left[i], out.right[i]) << i;
  }
}

TEST_F(SoundOutputTest, PanRightSilencesTheLeftChannelAndFrequencyResamples) {
  WriteData("ONE.WAV", Wave(1, 22050, 16, Pcm16(std::vector<int16_t>(22050, 9000))));
  int h = oxSound::LoadObject("ONE.WAV", 1);
  oxSound::PanRight(h, -1);
  oxSound::SetFrequency(h, 220, -1);  // 22050 + 22000 Hz: twice as fast, about
  RunFrames(6);                       // 100 ms of silence first
  oxSound::Play(h, -1);
  RunFrames(60);
  Output out = Finish();
  ASSERT_TRUE(out.valid);
  ASSERT_EQ(out.left.size(), 44100u * 66 / 60);
  size_t first = 0;
  while (first < out.right.size() && out.right[first] == 0) ++first;
  EXPECT_EQ(first, 4410u);
  size_t end = out.right.size();
  while (end > first && out.right[end - 1] == 0) --end;
  // 22050 frames at 44050 Hz into 44100 Hz last 22075 output frames (the
  // resampler's kernel, eight source frames wide either side, may add a
  // few frames of its ringing after the last).
  EXPECT_NEAR(double(end - first), 22050.0 * 44100 / 44050, 10);
  // The constant comes through exactly between the ends.
  for (size_t i = first + 16; i + 16 < end; ++i) ASSERT_EQ(out.right[i], Heard(9000)) << i;
  for (size_t i = 0; i < out.left.size(); ++i) ASSERT_EQ(out.left[i], 0) << i;
}

TEST_F(SoundOutputTest, EightBitMonoFormatIsWhatTheFileHolds) {
  WriteData("ST.WAV", Wave(2, 44100, 16, Pcm16({1000, -3000, 1000, -3000, 1000, -3000})));
  EXPECT_EQ(oxSound::SelectFormat(1, 44, 8), 1);
  int h = oxSound::LoadObject("ST.WAV", 1);
  oxSound::PlayLoop(h, 0);
  RunFrames(1);
  Output out = Finish();
  ASSERT_TRUE(out.valid);
  ASSERT_GT(out.left.size(), 700u);
  // Mono mixes both channels, 8 bits keep the top byte: (1000 - 3000) / 2.
  for (size_t i = 0; i < out.left.size(); ++i) {
    ASSERT_EQ(out.left[i], ((Heard(1000) + Heard(-3000)) / 2 >> 8) * 256) << i;
    ASSERT_EQ(out.right[i], out.left[i]) << i;
  }
}

}  // namespace
