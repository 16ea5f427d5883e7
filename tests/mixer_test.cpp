// The software mixer on its own: formats, output samples (gain, pan,
// resampling, looping, 8-bit and stereo data, saturation), play positions,
// ring-buffer writes, and mixing on another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "sound/mixer.h"

namespace {

using oxs::Mixer;
using oxs::PcmFormat;

PcmFormat Fmt(int channels, uint32_t rate, int bits) {
  PcmFormat f;
  f.tag = oxs::kFormatPcm;
  f.channels = static_cast<uint16_t>(channels);
  f.rate = rate;
  f.bits = static_cast<uint16_t>(bits);
  f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.bytesPerSecond = rate * f.blockAlign;
  return f;
}

// A buffer of 16-bit mono samples.
int Mono16(Mixer& m, const std::vector<int16_t>& samples, uint32_t rate = 44100) {
  int id = m.Create(Fmt(1, rate, 16), uint32_t(samples.size() * 2));
  m.Write(id, 0, samples.data(), uint32_t(samples.size() * 2));
  return id;
}

std::vector<int16_t> Square(int frames, int period, int16_t amplitude) {
  std::vector<int16_t> v(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) v[size_t(i)] = (i % period) < period / 2 ? amplitude : int16_t(-amplitude);
  return v;
}

// `frames` stereo frames of the mix, starting from silence.
std::vector<int16_t> MixOut(Mixer& m, int frames, int rate = 44100) {
  std::vector<int16_t> out(size_t(frames) * 2, 0);
  m.Mix(out.data(), frames, rate);
  return out;
}

class MixerTest : public ::testing::Test {
 protected:
  std::unique_ptr<Mixer> mixer = std::make_unique<Mixer>();
  Mixer& m = *mixer;
};

TEST(MixerFormat, PlaysPcm8And16MonoAndStereoWithConsistentFields) {
  EXPECT_TRUE(oxs::Playable(Fmt(1, 22050, 8)));
  EXPECT_TRUE(oxs::Playable(Fmt(2, 44100, 16)));
  EXPECT_TRUE(oxs::Playable(Fmt(1, 100, 16)));
  EXPECT_TRUE(oxs::Playable(Fmt(2, 100000, 8)));

  PcmFormat f = Fmt(1, 22050, 16);
  f.tag = 2;  // ADPCM
  EXPECT_FALSE(oxs::Playable(f));
  EXPECT_FALSE(oxs::Playable(Fmt(0, 22050, 16)));
  EXPECT_FALSE(oxs::Playable(Fmt(3, 22050, 16)));
  EXPECT_FALSE(oxs::Playable(Fmt(1, 22050, 24)));
  EXPECT_FALSE(oxs::Playable(Fmt(1, 99, 16)));
  EXPECT_FALSE(oxs::Playable(Fmt(1, 100001, 16)));
  f = Fmt(2, 22050, 16);
  f.blockAlign = 2;
  EXPECT_FALSE(oxs::Playable(f));
  f = Fmt(2, 22050, 16);
  f.bytesPerSecond = 0;
  EXPECT_FALSE(oxs::Playable(f));
}

TEST(MixerFormat, GainFollowsHundredthsOfADecibel) {
  EXPECT_EQ(oxs::GainOf(0), 65536);
  EXPECT_EQ(oxs::GainOf(500), 65536);
  EXPECT_NEAR(oxs::GainOf(-600), 65536 / 2, 200);  // -6 dB is half amplitude
  EXPECT_NEAR(oxs::GainOf(-2000), 6554, 1);        // -20 dB is a tenth
  EXPECT_EQ(oxs::GainOf(-10000), 0);
  EXPECT_EQ(oxs::GainOf(-20000), 0);
}

TEST_F(MixerTest, CreateRefusesBadFormatsAndSizesAndRunsOutOfBuffers) {
  EXPECT_EQ(m.Create(Fmt(3, 22050, 16), 100), 0);
  EXPECT_EQ(m.Create(Fmt(2, 22050, 16), 3), 0);  // under one frame
  EXPECT_EQ(m.Create(Fmt(1, 22050, 8), oxs::kMaxBufferBytes + 1), 0);
  std::vector<int> ids;
  for (int i = 0; i < oxs::kMixerBuffers; ++i) {
    int id = m.Create(Fmt(1, 22050, 8), 4);
    ASSERT_NE(id, 0) << i;
    ids.push_back(id);
  }
  EXPECT_EQ(m.Create(Fmt(1, 22050, 8), 4), 0);
  m.Destroy(ids[17]);
  EXPECT_FALSE(m.Exists(ids[17]));
  EXPECT_EQ(m.Create(Fmt(1, 22050, 8), 4), ids[17]);
}

TEST_F(MixerTest, NewBufferIsSilentStoppedAtItsOwnRateCentredAndFull) {
  int id = m.Create(Fmt(1, 8000, 8), 100);
  EXPECT_FALSE(m.Playing(id));
  EXPECT_EQ(m.Position(id), 0u);
  EXPECT_EQ(m.Frequency(id), 8000u);
  EXPECT_EQ(m.Volume(id), 0);
  EXPECT_EQ(m.Pan(id), 0);
  ASSERT_TRUE(m.Play(id, true));
  std::vector<int16_t> out = MixOut(m, 300);
  for (int16_t s : out) ASSERT_EQ(s, 0);  // 8-bit silence is 0x80
}

TEST_F(MixerTest, SquareWaveAtFullVolumeComesOutSampleForSample) {
  std::vector<int16_t> wave = Square(400, 20, 16000);
  int id = Mono16(m, wave);
  m.Play(id, false);
  std::vector<int16_t> out = MixOut(m, 400);
  for (int i = 0; i < 400; ++i) {
    ASSERT_EQ(out[2 * i], wave[i]) << i;
    ASSERT_EQ(out[2 * i + 1], wave[i]) << i;
  }
}

TEST_F(MixerTest, VolumeMinus600HalvesTheAmplitude) {
  int id = Mono16(m, Square(400, 20, 16000));
  m.SetVolume(id, -600);
  m.Play(id, false);
  std::vector<int16_t> out = MixOut(m, 400);
  const int expect = int(std::lround(16000 * std::pow(10.0, -600 / 2000.0)));  // 8019
  for (int i = 0; i < 400; ++i) {
    int sign = (i % 20) < 10 ? 1 : -1;
    ASSERT_NEAR(out[2 * i], sign * expect, 1) << i;
    ASSERT_NEAR(out[2 * i + 1], sign * expect, 1) << i;
  }
  m.SetVolume(id, -10000);
  m.SetPosition(id, 0);
  m.Play(id, false);
  for (int16_t s : MixOut(m, 100)) ASSERT_EQ(s, 0);
}

TEST_F(MixerTest, PanExtremesSilenceTheOtherSideAndCentreKeepsBoth) {
  const std::vector<int16_t> wave(200, 12000);
  struct Case {
    int pan;
    int left, right;
  } cases[] = {{10000, 0, 12000}, {-10000, 12000, 0}, {0, 12000, 12000},
               {600, 6014, 12000}, {-600, 12000, 6014}};
  for (const Case& c : cases) {
    int id = Mono16(m, wave);
    m.SetPan(id, c.pan);
    m.Play(id, false);
    std::vector<int16_t> out = MixOut(m, 100);
    EXPECT_NEAR(out[100], c.left, 1) << c.pan;
    EXPECT_NEAR(out[101], c.right, 1) << c.pan;
    m.Destroy(id);
  }
}

TEST_F(MixerTest, SettingsAreClampedToTheirRanges) {
  int id = Mono16(m, std::vector<int16_t>(10, 0));
  m.SetVolume(id, 300);
  EXPECT_EQ(m.Volume(id), 0);
  m.SetVolume(id, -12000);
  EXPECT_EQ(m.Volume(id), -10000);
  m.SetPan(id, 20000);
  EXPECT_EQ(m.Pan(id), 10000);
  m.SetPan(id, -20000);
  EXPECT_EQ(m.Pan(id), -10000);
  m.SetFrequency(id, 50);
  EXPECT_EQ(m.Frequency(id), 100u);
  m.SetFrequency(id, 200000);
  EXPECT_EQ(m.Frequency(id), 100000u);
  m.SetFrequency(id, 0);  // the data's own rate
  EXPECT_EQ(m.Frequency(id), 44100u);
}

TEST_F(MixerTest, HalfRateBufferLastsTwiceAsLongAndInterpolatesBetweenSamples) {
  std::vector<int16_t> ramp(100);
  for (int i = 0; i < 100; ++i) ramp[size_t(i)] = int16_t(i * 200);
  int id = Mono16(m, ramp, 22050);
  m.Play(id, false);
  std::vector<int16_t> out = MixOut(m, 100);
  EXPECT_EQ(m.Position(id), 50u * 2);  // 100 output frames are 50 source frames
  for (int i = 0; i < 100; ++i) {
    int expect = i % 2 == 0 ? ramp[i / 2] : (ramp[i / 2] + ramp[i / 2 + 1]) / 2;
    ASSERT_NEAR(out[2 * i], expect, 1) << i;
  }
  out = MixOut(m, 120);
  EXPECT_FALSE(m.Playing(id));  // ended after 200 output frames
  EXPECT_NE(out[2 * 99], 0);
  EXPECT_EQ(out[2 * 100], 0);
}

TEST_F(MixerTest, FrequencyChangesThePlaybackRate) {
  // A 1000-frame buffer at 44100 Hz asked to play at 88200 Hz runs in half
  // the time at an output rate of 44100, and at 11025 Hz in four times.
  int id = Mono16(m, std::vector<int16_t>(1000, 1000));
  m.SetFrequency(id, 88200);
  m.Play(id, false);
  MixOut(m, 300);
  EXPECT_EQ(m.Position(id), 600u * 2);
  MixOut(m, 200);
  EXPECT_FALSE(m.Playing(id));

  m.SetFrequency(id, 11025);
  m.Play(id, false);
  MixOut(m, 3999);
  EXPECT_TRUE(m.Playing(id));
  EXPECT_EQ(m.Position(id), 999u * 2);
  MixOut(m, 1);
  EXPECT_FALSE(m.Playing(id));

  // The same buffer into a 22050 Hz output advances two frames a sample.
  m.SetFrequency(id, 44100);
  m.Play(id, false);
  MixOut(m, 100, 22050);
  EXPECT_EQ(m.Position(id), 200u * 2);
}

TEST_F(MixerTest, LoopingBufferWrapsToItsStartAndOnceStopsAndRewinds) {
  std::vector<int16_t> wave(100);
  for (int i = 0; i < 100; ++i) wave[size_t(i)] = int16_t(100 + i);
  int loop = Mono16(m, wave);
  m.Play(loop, true);
  std::vector<int16_t> out = MixOut(m, 250);
  for (int i = 0; i < 250; ++i) ASSERT_EQ(out[2 * i], wave[i % 100]) << i;
  EXPECT_TRUE(m.Playing(loop));
  EXPECT_TRUE(m.Looping(loop));
  EXPECT_EQ(m.Position(loop), 50u * 2);
  m.Destroy(loop);

  int once = Mono16(m, wave);
  m.Play(once, false);
  out = MixOut(m, 250);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(out[2 * i], wave[i]) << i;
  for (int i = 100; i < 250; ++i) ASSERT_EQ(out[2 * i], 0) << i;
  EXPECT_FALSE(m.Playing(once));
  EXPECT_EQ(m.Position(once), 0u);
}

TEST_F(MixerTest, ResampledLoopInterpolatesAcrossTheSeam) {
  // Two frames (0 and 1000) looping at half speed: 0, 500, 1000, 500, 0, ...
  int id = Mono16(m, {0, 1000}, 22050);
  m.Play(id, true);
  std::vector<int16_t> out = MixOut(m, 8);
  const int expect[8] = {0, 500, 1000, 500, 0, 500, 1000, 500};
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(out[2 * i], expect[i], 1) << i;
}

TEST_F(MixerTest, EightBitAndStereoDataKeepTheirValuesAndChannels) {
  const uint8_t bytes8[4] = {0x80, 0xFF, 0x00, 0xC0};
  int id8 = m.Create(Fmt(1, 44100, 8), 4);
  m.Write(id8, 0, bytes8, 4);
  m.Play(id8, false);
  std::vector<int16_t> out = MixOut(m, 4);
  const int expect8[4] = {0, 127 * 256, -128 * 256, 64 * 256};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(out[2 * i], expect8[i]);
    EXPECT_EQ(out[2 * i + 1], expect8[i]);
  }

  const int16_t stereo[6] = {1000, -2000, 3000, -4000, 5000, -6000};
  int id16 = m.Create(Fmt(2, 44100, 16), sizeof stereo);
  m.Write(id16, 0, stereo, sizeof stereo);
  m.SetPan(id16, 10000);  // left muted, right kept
  m.Play(id16, false);
  out = MixOut(m, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(out[2 * i], 0);
    EXPECT_EQ(out[2 * i + 1], stereo[2 * i + 1]);
  }
  EXPECT_EQ(m.Position(id16), 0u);  // ended and rewound
}

TEST_F(MixerTest, VoicesAddUpAndSaturateIntoWhatTheBlockHeld) {
  int a = Mono16(m, std::vector<int16_t>(10, 30000));
  int b = Mono16(m, std::vector<int16_t>(10, 30000));
  int c = Mono16(m, std::vector<int16_t>(10, -1000));
  m.Play(a, false);
  m.Play(b, false);
  std::vector<int16_t> out = MixOut(m, 10);
  EXPECT_EQ(out[0], 32767);
  m.Play(c, false);
  std::vector<int16_t> held(20, 500);  // a source before the mixer wrote 500
  m.Mix(held.data(), 10, 44100);
  EXPECT_EQ(held[0], -500);
  EXPECT_EQ(m.PlayingCount(), 0);
}

TEST_F(MixerTest, PositionsAreWholeFramesAndStayInsideTheBuffer) {
  int id = m.Create(Fmt(2, 22050, 16), 400);  // 100 frames of 4 bytes
  EXPECT_TRUE(m.SetPosition(id, 203));
  EXPECT_EQ(m.Position(id), 200u);
  EXPECT_FALSE(m.SetPosition(id, 400));
  EXPECT_EQ(m.Position(id), 200u);
  EXPECT_FALSE(m.SetPosition(9999, 0));
  EXPECT_EQ(m.Position(9999), 0u);
}

TEST_F(MixerTest, WritesWrapAroundTheRingAndSilenceFollowsTheFormat) {
  int id = m.Create(Fmt(1, 44100, 8), 8);
  const uint8_t data[5] = {1, 2, 3, 4, 5};
  ASSERT_TRUE(m.Write(id, 6, data, 5));  // 6, 7, then 0, 1, 2
  ASSERT_TRUE(m.WriteSilence(id, 3, 2));
  EXPECT_FALSE(m.Write(id, 8, data, 1));
  uint8_t big[9] = {};
  EXPECT_FALSE(m.Write(id, 0, big, 9));
  m.Play(id, false);
  std::vector<int16_t> out = MixOut(m, 8);
  const int bytes[8] = {3, 4, 5, 0x80, 0x80, 0x80, 1, 2};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(out[2 * i], (bytes[i] - 128) * 256) << i;
}

TEST_F(MixerTest, MixingOnAnotherThreadWhileBuffersComeAndGo) {
  // The audio thread mixes without pause while the main thread plays,
  // adjusts, writes into and destroys buffers; the sanitizers watch.
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::vector<int16_t> block(512 * 2);
    while (!stop.load()) {
      std::fill(block.begin(), block.end(), 0);
      m.Mix(block.data(), 512, 44100);
    }
  });
  std::vector<int16_t> wave = Square(2000, 40, 8000);
  for (int round = 0; round < 300; ++round) {
    int ids[8];
    for (int& id : ids) {
      id = Mono16(m, wave, 22050 + 1000 * (round % 7));
      m.Play(id, round % 2 == 0);
    }
    for (int id : ids) {
      m.SetVolume(id, -(round % 40) * 100);
      m.SetPan(id, (round % 21 - 10) * 1000);
      m.Write(id, uint32_t(round * 2) % 4000, wave.data(), 1000);
      (void)m.Position(id);
    }
    for (int id : ids) m.Destroy(id);
  }
  stop.store(true);
  audio.join();
  EXPECT_EQ(m.PlayingCount(), 0);
}

}  // namespace
