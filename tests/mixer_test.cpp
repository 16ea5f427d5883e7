// The software mixer on its own: formats, output samples (gain, pan,
// resampling, looping, 8-bit and stereo data, saturation), play positions,
// ring-buffer writes, and mixing on another thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iterator>
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

std::vector<int16_t> Square(int frames, int period, int16_t amplitude) {
  std::vector<int16_t> v(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) v[size_t(i)] = (i % period) < period / 2 ? amplitude : int16_t(-amplitude);
  return v;
}

class MixerTest : public ::testing::Test {
 protected:
  // A buffer of 16-bit mono samples.
  int Mono16(const std::vector<int16_t>& samples, uint32_t rate = 44100) {
    const int id = m.Create(Fmt(1, rate, 16), uint32_t(samples.size() * 2));
    m.Write(id, 0, samples.data(), uint32_t(samples.size() * 2));
    return id;
  }
  // `frames` stereo frames of the mix, starting from silence.
  std::vector<int16_t> MixOut(int frames, int rate = 44100) {
    std::vector<int16_t> out(size_t(frames) * 2, 0);
    m.Mix(out.data(), frames, rate);
    return out;
  }
  std::unique_ptr<Mixer> mixer = std::make_unique<Mixer>();
  Mixer& m = *mixer;
};

// PCM of 8 or 16 bits, mono or stereo, 100 to 100000 Hz, with consistent
// block and byte-rate fields; gain in hundredths of a decibel, 0 at -100 dB.
TEST(MixerFormat, PlayablePcmAndGainInHundredthsOfADecibel) {
  auto with = [](PcmFormat f, void (*change)(PcmFormat&)) { return change(f), f; };
  const struct { PcmFormat f; bool playable; } cases[] = {
      {Fmt(1, 22050, 8), true},   {Fmt(2, 44100, 16), true},  {Fmt(1, 100, 16), true},
      {Fmt(2, 100000, 8), true},  {Fmt(0, 22050, 16), false}, {Fmt(3, 22050, 16), false},
      {Fmt(1, 22050, 24), false}, {Fmt(1, 99, 16), false},    {Fmt(1, 100001, 16), false},
      {with(Fmt(1, 22050, 16), [](PcmFormat& f) { f.tag = 2; }), false},  // ADPCM
      {with(Fmt(2, 22050, 16), [](PcmFormat& f) { f.blockAlign = 2; }), false},
      {with(Fmt(2, 22050, 16), [](PcmFormat& f) { f.bytesPerSecond = 0; }), false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(oxs::Playable(c.f), c.playable) << c.f.tag << " " << c.f.channels << " " << c.f.rate
                                              << " " << c.f.bits << " " << c.f.blockAlign;
  EXPECT_EQ(oxs::GainOf(0), 65536);
  EXPECT_EQ(oxs::GainOf(500), 65536);
  EXPECT_NEAR(oxs::GainOf(-600), 65536 / 2, 200);  // -6 dB is half amplitude
  EXPECT_NEAR(oxs::GainOf(-2000), 6554, 1);        // -20 dB is a tenth
  EXPECT_EQ(oxs::GainOf(-10000), 0);
  EXPECT_EQ(oxs::GainOf(-20000), 0);
}

// Bad formats and sizes are refused; a freed slot is reused once all are
// taken; a new buffer is stopped at its own rate, centred and full, and
// 8-bit silence (0x80) mixes to 0.
TEST_F(MixerTest, CreateRefusesBadFormatsReusesSlotsAndStartsSilentAndCentred) {
  EXPECT_EQ(m.Create(Fmt(3, 22050, 16), 100), 0);
  EXPECT_EQ(m.Create(Fmt(2, 22050, 16), 3), 0);  // under one frame
  EXPECT_EQ(m.Create(Fmt(1, 22050, 8), oxs::kMaxBufferBytes + 1), 0);
  std::vector<int> ids;
  for (int i = 0; i < oxs::kMixerBuffers; ++i) ids.push_back(m.Create(Fmt(1, 22050, 8), 4));
  EXPECT_EQ(std::count(ids.begin(), ids.end(), 0), 0);
  EXPECT_EQ(m.Create(Fmt(1, 22050, 8), 4), 0);
  m.Destroy(ids[17]);
  EXPECT_FALSE(m.Exists(ids[17]));
  EXPECT_EQ(m.Create(Fmt(1, 22050, 8), 4), ids[17]);
  for (int id : ids) m.Destroy(id);

  const int id = m.Create(Fmt(1, 8000, 8), 100);
  EXPECT_TRUE(!m.Playing(id) && m.Position(id) == 0u && m.Frequency(id) == 8000u);
  EXPECT_TRUE(m.Volume(id) == 0 && m.Pan(id) == 0);
  ASSERT_TRUE(m.Play(id, true));
  const std::vector<int16_t> out = MixOut(300);
  EXPECT_EQ(std::count(out.begin(), out.end(), 0), 600);
}

// Full volume passes samples unchanged; -600 halves them and -10000 mutes;
// pan attenuates the other side by the same rule. Settings clamp to their
// ranges, and frequency 0 is the data's own rate.
TEST_F(MixerTest, VolumeAndPanFollowTheDecibelRuleAndSettingsClamp) {
  const std::vector<int16_t> wave = Square(400, 20, 16000);
  const struct {
    int volume, pan, left, right;
  } cases[] = {{0, 0, 16000, 16000},      {-600, 0, 8019, 8019},     {-10000, 0, 0, 0},
               {0, 10000, 0, 16000},      {0, -10000, 16000, 0},     {0, 600, 8019, 16000},
               {0, -600, 16000, 8019}};
  for (const auto& c : cases) {
    const int id = Mono16(wave);
    m.SetVolume(id, c.volume);
    m.SetPan(id, c.pan);
    m.Play(id, false);
    const std::vector<int16_t> out = MixOut(400);
    for (int i = 0; i < 400; ++i) {
      const int sign = (i % 20) < 10 ? 1 : -1;
      ASSERT_NEAR(out[2 * i], sign * c.left, 1) << c.volume << " " << c.pan << " at " << i;
      ASSERT_NEAR(out[2 * i + 1], sign * c.right, 1) << c.volume << " " << c.pan << " at " << i;
    }
    m.Destroy(id);
  }
  const int id = Mono16(std::vector<int16_t>(10, 0));
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
  m.SetFrequency(id, 0);
  EXPECT_EQ(m.Frequency(id), 44100u);
}

// A half-rate buffer lasts twice as long: every second output frame is a
// source frame exactly and the others lie half way between (a straight
// line away from the ends, where the kernel sees the silence around the
// buffer), across the seam too when it loops; the frequency sets the
// playback rate, against the output rate.
TEST_F(MixerTest, ResamplingFollowsTheFrequencyAndInterpolates) {
  std::vector<int16_t> ramp(100);
  for (int i = 0; i < 100; ++i) ramp[size_t(i)] = int16_t(i * 200);
  const int half = Mono16(ramp, 22050);
  m.Play(half, false);
  std::vector<int16_t> out = MixOut(100);
  EXPECT_EQ(m.Position(half), 50u * 2);
  for (int i = 0; i < 100; ++i) {
    if (i % 2 == 0) {
      ASSERT_EQ(out[2 * i], ramp[size_t(i / 2)]) << i;
    } else if (i > 16 && i < 84) {
      ASSERT_NEAR(out[2 * i], (ramp[size_t(i / 2)] + ramp[size_t(i / 2 + 1)]) / 2, 2) << i;
    }
  }
  out = MixOut(120);
  EXPECT_FALSE(m.Playing(half));  // ended after 200 output frames
  EXPECT_TRUE(out[2 * 99] != 0 && out[2 * 100] == 0);
  m.Destroy(half);

  const int seam = Mono16({0, 1000}, 22050);  // 0, 500, 1000, 500, 0, ... at half speed
  m.Play(seam, true);
  out = MixOut(8);
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(out[2 * i], (i % 4 == 0 ? 0 : i % 4 == 2 ? 1000 : 500), 1) << i;
  m.Destroy(seam);

  const int id = Mono16(std::vector<int16_t>(1000, 1000));
  m.SetFrequency(id, 88200);  // twice the rate: half the time
  m.Play(id, false);
  MixOut(300);
  EXPECT_EQ(m.Position(id), 600u * 2);
  MixOut(200);
  EXPECT_FALSE(m.Playing(id));
  m.SetFrequency(id, 11025);  // a quarter: four times as long, to the frame
  m.Play(id, false);
  MixOut(3999);
  EXPECT_TRUE(m.Playing(id));
  EXPECT_EQ(m.Position(id), 999u * 2);
  MixOut(1);
  EXPECT_FALSE(m.Playing(id));
  m.SetFrequency(id, 44100);  // into a 22050 Hz output: two frames a sample
  m.Play(id, false);
  MixOut(100, 22050);
  EXPECT_EQ(m.Position(id), 200u * 2);
}

// Power of `x` at `hz` (sampled at `rate`), by a Hann-windowed DFT bin.
double PowerAt(const std::vector<double>& x, double hz, double rate) {
  const double pi = 3.14159265358979323846;
  double re = 0, im = 0;
  const size_t n = x.size();
  for (size_t i = 0; i < n; ++i) {
    const double w = 0.5 - 0.5 * std::cos(2 * pi * double(i) / double(n));
    re += x[i] * w * std::cos(2 * pi * hz * double(i) / rate);
    im -= x[i] * w * std::sin(2 * pi * hz * double(i) / rate);
  }
  return re * re + im * im;
}

// A tone in a 22050 Hz buffer played into a 44100 Hz mix (the effects'
// case) keeps its frequency, and its image mirrored at the source's
// Nyquist frequency (22050 - f, which linear interpolation leaves about
// 20 dB down) is at least 50 dB below it; so is every other frequency
// between the source's Nyquist frequency and the output's. At a rate
// that is no simple ratio the tone keeps its frequency too.
TEST_F(MixerTest, ResamplingKeepsTheToneAndSuppressesItsImages) {
  const struct { uint32_t bufferRate, playAt; double hz; } cases[] = {
      {22050, 22050, 1000}, {22050, 22050, 3000}, {22050, 22050, 6500}, {11025, 11025, 2000},
      {22050, 21000, 2500},
  };
  const double pi = 3.14159265358979323846;
  for (const auto& c : cases) {
    std::vector<int16_t> tone(c.bufferRate);  // one second, looping
    for (size_t i = 0; i < tone.size(); ++i)
      tone[i] = int16_t(std::lround(12000 * std::sin(2 * pi * c.hz * double(i) / c.bufferRate)));
    const int id = Mono16(tone, c.bufferRate);
    m.SetFrequency(id, c.playAt);
    m.Play(id, true);
    MixOut(1000);  // away from the start
    const std::vector<int16_t> out = MixOut(8192);
    m.Destroy(id);
    std::vector<double> left(8192);
    for (size_t i = 0; i < left.size(); ++i) left[i] = out[2 * i];
    const double heard = c.hz * c.playAt / c.bufferRate;
    const double tonePower = PowerAt(left, heard, 44100);
    // The tone is where it should be: stronger there than a few bins off.
    EXPECT_GT(tonePower, 1000 * PowerAt(left, heard + 40, 44100)) << c.hz;
    EXPECT_GT(tonePower, 1000 * PowerAt(left, heard - 40, 44100)) << c.hz;
    const double nyquist = c.playAt / 2.0;
    for (double f = nyquist + 1000; f < 22050; f += 250) {
      const double db = 10 * std::log10(PowerAt(left, f, 44100) / tonePower + 1e-30);
      EXPECT_LT(db, -50) << "tone " << c.hz << " Hz at " << c.playAt << " Hz, " << f << " Hz";
    }
    const double image = c.playAt - heard;
    const double imageDb = 10 * std::log10(PowerAt(left, image, 44100) / tonePower + 1e-30);
    EXPECT_LT(imageDb, -50) << "image of " << c.hz << " Hz at " << image << " Hz";
  }
}

// A buffer at the output rate plays bit for bit: the kernel at whole
// source frames is the frame itself.
TEST_F(MixerTest, BufferAtTheOutputRatePlaysExactly) {
  std::vector<int16_t> noise(3000);
  uint32_t seed = 12345;
  for (int16_t& v : noise) {
    seed = seed * 1664525u + 1013904223u;
    v = int16_t(seed >> 16);
  }
  const int id = Mono16(noise, 44100);
  m.Play(id, false);
  const std::vector<int16_t> out = MixOut(3000);
  for (size_t i = 0; i < noise.size(); ++i) ASSERT_EQ(out[2 * i], noise[i]) << i;
}

TEST_F(MixerTest, LoopingBufferWrapsToItsStartAndOnceStopsAndRewinds) {
  std::vector<int16_t> wave(100);
  for (int i = 0; i < 100; ++i) wave[size_t(i)] = int16_t(100 + i);
  for (bool loop : {true, false}) {
    const int id = Mono16(wave);
    m.Play(id, loop);
    const std::vector<int16_t> out = MixOut(250);
    for (int i = 0; i < 250; ++i) ASSERT_EQ(out[2 * i], loop || i < 100 ? wave[i % 100] : 0) << i;
    EXPECT_EQ(m.Playing(id), loop);
    EXPECT_EQ(m.Looping(id), loop);
    EXPECT_EQ(m.Position(id), loop ? 50u * 2 : 0u);
    m.Destroy(id);
  }
}

// 8-bit samples are centred on 0x80 and scaled by 256; stereo data keeps its
// channels (here the left one panned out), and the buffer rewinds at its end.
TEST_F(MixerTest, EightBitAndStereoDataKeepTheirValuesAndChannels) {
  const uint8_t bytes8[4] = {0x80, 0xFF, 0x00, 0xC0};
  const int id8 = m.Create(Fmt(1, 44100, 8), 4);
  m.Write(id8, 0, bytes8, 4);
  m.Play(id8, false);
  EXPECT_EQ(MixOut(4), (std::vector<int16_t>{0, 0, 127 * 256, 127 * 256, -128 * 256, -128 * 256,
                                            64 * 256, 64 * 256}));
  const int16_t stereo[6] = {1000, -2000, 3000, -4000, 5000, -6000};
  const int id16 = m.Create(Fmt(2, 44100, 16), sizeof stereo);
  m.Write(id16, 0, stereo, sizeof stereo);
  m.SetPan(id16, 10000);
  m.Play(id16, false);
  EXPECT_EQ(MixOut(3), (std::vector<int16_t>{0, -2000, 0, -4000, 0, -6000}));
  EXPECT_EQ(m.Position(id16), 0u);
}

// Voices add up into what the block held; the sum saturates at either end
// instead of wrapping round the 16 bits.
TEST_F(MixerTest, VoicesAddUpAndSaturateIntoWhatTheBlockHeld) {
  const struct {
    std::vector<int16_t> voices;  // each voice plays 10 frames of one value
    int16_t held;                 // what the block held before the mix
    int16_t out;
  } cases[] = {
      {{30000, 30000}, 0, 32767},
      {{30000, 2767}, 0, 32767},  // the top exactly
      {{30000, 2768}, 0, 32767},
      {{-1000}, 500, -500},
      {{-30000, -2768}, 0, -32768},  // the bottom exactly
      {{-30000, -2769}, 0, -32768},
      {{-30000, -30000, -30000, -30000}, 0, -32768},  // -120000 would wrap to 11072
      {{-32768, -32768, -32768}, -32768, -32768},
      {{-20000, -20000}, 30000, -10000},
  };
  for (const auto& c : cases) {
    std::vector<int> ids;
    for (int16_t v : c.voices) {
      ids.push_back(Mono16(std::vector<int16_t>(10, v)));
      m.Play(ids.back(), false);
    }
    std::vector<int16_t> block(20, c.held);
    m.Mix(block.data(), 10, 44100);
    EXPECT_EQ(block, std::vector<int16_t>(20, c.out)) << c.voices.size() << " voices of "
                                                      << c.voices[0] << ", held " << c.held;
    EXPECT_EQ(m.PlayingCount(), 0);
    for (int id : ids) m.Destroy(id);
  }
}

// Positions fall on whole frames inside the buffer; writes wrap round the
// ring, refuse offsets or sizes past it, and silence follows the format.
TEST_F(MixerTest, PositionsAndWritesStayInsideTheRing) {
  const int id = m.Create(Fmt(2, 22050, 16), 400);  // 100 frames of 4 bytes
  EXPECT_TRUE(m.SetPosition(id, 203));
  EXPECT_EQ(m.Position(id), 200u);
  EXPECT_FALSE(m.SetPosition(id, 400));
  EXPECT_EQ(m.Position(id), 200u);
  EXPECT_FALSE(m.SetPosition(9999, 0));
  EXPECT_EQ(m.Position(9999), 0u);

  const int ring = m.Create(Fmt(1, 44100, 8), 8);
  const uint8_t data[9] = {1, 2, 3, 4, 5};
  ASSERT_TRUE(m.Write(ring, 6, data, 5));  // 6, 7, then 0, 1, 2
  ASSERT_TRUE(m.WriteSilence(ring, 3, 2));
  EXPECT_FALSE(m.Write(ring, 8, data, 1));
  EXPECT_FALSE(m.Write(ring, 0, data, 9));
  m.Play(ring, false);
  const std::vector<int16_t> out = MixOut(8);
  const int bytes[8] = {3, 4, 5, 0x80, 0x80, 0x80, 1, 2};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(out[2 * i], (bytes[i] - 128) * 256) << i;
}

// The audio thread renders without pause, through the function the device
// calls back, while the main thread creates, plays, stops, adjusts, moves,
// writes into, reads and destroys buffers. Each round ends with blocks mixed
// after the requests and before any further request on those buffers, and
// the kinds of request take turns at being last, so that ThreadSanitizer
// sees every request's accesses against the audio thread's. Every buffer
// holds the constant 1000 or silence, so no mixed sample may leave 0 to
// 1000 per buffer at any gain, pan, rate or position, give or take the
// resampler's ringing at the steps (under 15%): a torn buffer state shows
// up as a sample out of range.
TEST_F(MixerTest, RenderingOnAnotherThreadWhileBuffersComeAndGo) {
  constexpr int kVoices = 8;
  constexpr int16_t kLevel = 1000;
  const std::vector<int16_t> level(2000, kLevel);
  using Request = void (*)(Mixer&, int id, int round, const std::vector<int16_t>& level);
  const Request requests[] = {
      [](Mixer& m, int id, int r, const std::vector<int16_t>&) { m.SetVolume(id, -(r % 40) * 100); },
      [](Mixer& m, int id, int r, const std::vector<int16_t>&) { m.SetPan(id, (r % 21 - 10) * 1000); },
      [](Mixer& m, int id, int r, const std::vector<int16_t>&) {
        m.SetFrequency(id, 11025 + 997 * uint32_t(r % 50));
      },
      [](Mixer& m, int id, int r, const std::vector<int16_t>& level) {
        m.Write(id, uint32_t(r * 2) % 4000, level.data(), 1000);
      },
      [](Mixer& m, int id, int r, const std::vector<int16_t>&) { m.WriteSilence(id, uint32_t(r * 4) % 4000, 600); },
      [](Mixer& m, int id, int r, const std::vector<int16_t>&) { m.SetPosition(id, uint32_t(r * 6) % 4000); },
      [](Mixer& m, int id, int r, const std::vector<int16_t>&) {
        m.Stop(id);
        m.Play(id, r % 3 != 0);
      },
      [](Mixer& m, int id, int, const std::vector<int16_t>&) {
        (void)m.Position(id);
        (void)m.Playing(id);
        (void)m.Looping(id);
        (void)m.Frequency(id);
        (void)m.Volume(id);
        (void)m.Pan(id);
      },
  };
  constexpr int kKinds = int(std::size(requests));
  // Relaxed counters: the test adds no ordering between the threads beyond
  // what the mixer itself provides.
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0}, outOfRange{0}, heard{0};
  std::thread audio([&] {
    std::vector<int32_t> block(256 * 2);
    while (!stop.load(std::memory_order_relaxed)) {
      std::fill(block.begin(), block.end(), 0);
      Mixer::Render(&m, block.data(), 256, 44100);
      int bad = 0, loud = 0;
      for (int32_t s : block) {
        bad += s < -kVoices * kLevel * 15 / 100 || s > kVoices * kLevel * 115 / 100;
        loud += s != 0;
      }
      outOfRange.fetch_add(bad, std::memory_order_relaxed);
      heard.fetch_add(loud, std::memory_order_relaxed);
      blocks.fetch_add(1, std::memory_order_relaxed);
    }
  });
  // Waits until the audio thread has finished a block begun after the call.
  auto mixABlock = [&] {
    const int until = blocks.load(std::memory_order_relaxed) + 2;
    while (blocks.load(std::memory_order_relaxed) < until) std::this_thread::yield();
  };
  mixABlock();
  for (int round = 0; round < 200; ++round) {
    int ids[kVoices];
    for (int& id : ids) {
      id = Mono16(level, 22050 + 1000 * (round % 7));
      ASSERT_NE(id, 0);
      m.Play(id, round % 2 == 0);
    }
    for (int k = 0; k < kKinds; ++k)
      for (int id : ids) requests[(k + round) % kKinds](m, id, round, level);
    mixABlock();
    for (int id : ids) m.Destroy(id);
  }
  stop.store(true, std::memory_order_relaxed);
  audio.join();
  EXPECT_EQ(outOfRange.load(), 0);
  EXPECT_GT(heard.load(), 0) << "the audio thread never mixed a playing buffer";
  EXPECT_EQ(m.PlayingCount(), 0);
}

}  // namespace

// A mixer nobody hears adds nothing, yet every play position, loop and stop
// comes out exactly as on a mixer that mixes the same sounds: at several
// rates and block sizes, looping and once, resampled up and down.
TEST(MixerUnheard, MovesThePositionsExactlyAsMixingDoes) {
  auto heard = std::make_unique<Mixer>(), unheard = std::make_unique<Mixer>();
  unheard->SetUnheard(true);
  const std::vector<int16_t> tone = Square(5003, 37, 9000);
  const struct { uint32_t rate, frequency; bool loop; } sounds[] = {
      {44100, 0, true}, {22050, 0, false}, {11025, 31000, true}, {8000, 97, false}, {48000, 0, true},
  };
  std::vector<int> ids;
  for (Mixer* m : {heard.get(), unheard.get()}) {
    for (const auto& s : sounds) {
      const int id = m->Create(Fmt(1, s.rate, 16), uint32_t(tone.size() * 2));
      ASSERT_NE(id, 0);
      m->Write(id, 0, tone.data(), uint32_t(tone.size() * 2));
      if (s.frequency) m->SetFrequency(id, s.frequency);
      m->Play(id, s.loop);
      if (m == heard.get()) ids.push_back(id);
    }
  }
  const int blocks[] = {1, 63, 512, 735, 4096, 17};
  std::vector<int16_t> a, b;
  for (int round = 0; round < 24; ++round) {
    const int n = blocks[round % 6];
    a.assign(size_t(n) * 2, 0);
    b.assign(size_t(n) * 2, 0);
    heard->Mix(a.data(), n, 44100);
    unheard->Mix(b.data(), n, 44100);
    EXPECT_EQ(b, std::vector<int16_t>(size_t(n) * 2, 0)) << "round " << round;
    for (int id : ids) {
      EXPECT_EQ(unheard->Position(id), heard->Position(id)) << "round " << round << " id " << id;
      EXPECT_EQ(unheard->Playing(id), heard->Playing(id)) << "round " << round << " id " << id;
    }
  }
  // The one-shot sounds ended on both.
  EXPECT_FALSE(heard->Playing(ids[1]));
  EXPECT_FALSE(unheard->Playing(ids[1]));
}
