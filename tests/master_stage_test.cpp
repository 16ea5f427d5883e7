// The audio output's master stage: headroom, the soft-knee limiter, and
// the levels of the sources in the mix.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/master_stage.h"

namespace {

using plat::audio::MasterStage;

// Runs `frames` frames of `left`/`right` through a fresh stage in blocks of
// `block` frames.
std::vector<int16_t> Process(const std::vector<float>& left, const std::vector<float>& right,
                             int block = 512) {
  MasterStage stage;
  std::vector<int16_t> out(left.size() * 2);
  for (size_t done = 0; done < left.size(); done += size_t(block)) {
    const int n = int(std::min(left.size() - done, size_t(block)));
    stage.Process(left.data() + done, right.data() + done, out.data() + 2 * done, n, 44100);
  }
  return out;
}

// Signals whose peaks stay below the knee come out as the input times the
// headroom, rounded, whatever their shape.
constexpr double kPi = 3.14159265358979323846;

TEST(MasterStage, QuietSignalsPassScaledOnlyByTheHeadroom) {
  const float knee = plat::audio::kKneeStart / plat::audio::kHeadroom;
  const struct { const char* name; float (*wave)(size_t, float); } cases[] = {
      {"sine", [](size_t i, float a) { return a * float(std::sin(2 * kPi * 440 * double(i) / 44100)); }},
      {"square", [](size_t i, float a) { return (i / 50) % 2 ? a : -a; }},
      {"ramp", [](size_t i, float a) { return a * (float(i % 1000) / 500.0f - 1.0f); }},
  };
  for (const auto& c : cases) {
    for (float amplitude : {1.0f, 1000.0f, knee * 0.999f}) {
      std::vector<float> l(20000), r(20000);
      for (size_t i = 0; i < l.size(); ++i) {
        l[i] = c.wave(i, amplitude);
        r[i] = -0.5f * l[i];
      }
      const std::vector<int16_t> out = Process(l, r);
      for (size_t i = 0; i < l.size(); ++i) {
        ASSERT_EQ(out[2 * i], MasterStage::Linear(l[i])) << c.name << " " << amplitude << " " << i;
        ASSERT_EQ(out[2 * i + 1], MasterStage::Linear(r[i])) << c.name << " " << amplitude << " " << i;
      }
    }
  }
}

// A full barrage: seven copies of a loud explosion-like burst started in
// the same frame add in phase (seven times full scale), over music and
// with shots on top. No sample reaches full scale (nothing clips), the
// loudest sits just under the ceiling, the stage gets quieter while the
// barrage lasts and recovers its unity gain once it is over.
TEST(MasterStage, AFullBarrageNeverReachesFullScale) {
  const double pi = 3.14159265358979323846;
  const struct { int copies; float level; } cases[] = {{1, 32767}, {7, 32767}, {14, 32767}, {7, 2e6f}};
  for (const auto& c : cases) {
    std::vector<float> l(3 * 44100), r(3 * 44100);
    uint32_t seed = 99;
    for (size_t i = 0; i < l.size(); ++i) {
      seed = seed * 1664525u + 1013904223u;
      const float noise = float(int32_t(seed) >> 16) / 32768.0f;
      const float decay = i < 44100 ? float(std::exp(-double(i) / 20000.0)) : 0.0f;
      const float burst = c.level * decay * (0.6f * noise + 0.4f * float(std::sin(2 * pi * 60 * double(i) / 44100)));
      const float music = 6000.0f * float(std::sin(2 * pi * 220 * double(i) / 44100));
      l[i] = float(c.copies) * burst + music;
      r[i] = float(c.copies) * burst * 0.8f - music;
    }
    MasterStage stage;
    std::vector<int16_t> out(l.size() * 2);
    int peak = 0;
    float lowest = 1;
    for (size_t done = 0; done < l.size(); done += 441) {
      stage.Process(l.data() + done, r.data() + done, out.data() + 2 * done, 441, 44100);
      lowest = std::min(lowest, stage.Gain());
    }
    for (int16_t s : out) peak = std::max(peak, std::abs(int(s)));
    EXPECT_LT(peak, 32767) << c.copies;
    EXPECT_LE(peak, int(plat::audio::kCeiling)) << c.copies;
    EXPECT_GT(peak, int(plat::audio::kKneeStart)) << c.copies;
    EXPECT_LT(lowest, 1.0f) << c.copies;
    EXPECT_EQ(stage.Gain(), 1.0f) << "recovered after two seconds of music alone, " << c.copies;
    // After the recovery the music passes linearly again.
    EXPECT_EQ(out[2 * (l.size() - 1)], MasterStage::Linear(l.back()));
  }
}

// The gain curve: unity up to the knee, then falling so smoothly that the
// output level keeps rising with the input but stays below the ceiling.
TEST(MasterStage, GainCurveIsContinuousMonotonicAndBounded) {
  float previousLevel = 0;
  for (float peak = 1; peak < 1e7f; peak *= 1.01f) {
    const float g = MasterStage::TargetGain(peak);
    ASSERT_LE(g, 1.0f) << peak;
    const float level = g * peak;
    ASSERT_GE(level, previousLevel * 0.99999f) << peak;
    ASSERT_LT(level, plat::audio::kCeiling) << peak;
    if (peak <= plat::audio::kKneeStart) {
      ASSERT_EQ(g, 1.0f) << peak;
    }
    previousLevel = level;
  }
  EXPECT_NEAR(MasterStage::TargetGain(plat::audio::kKneeStart * 1.001f), 1.0f, 1e-3);
}

// The same input gives the same output, whatever the block size.
TEST(MasterStage, OutputDependsOnTheInputOnly) {
  std::vector<float> l(30000), r(30000);
  for (size_t i = 0; i < l.size(); ++i) {
    l[i] = float((i * 7919) % 90001) - 45000.0f;
    r[i] = l[i] * 0.7f;
  }
  const std::vector<int16_t> a = Process(l, r, 512), b = Process(l, r, 77), c = Process(l, r, 1);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, c);
}

}  // namespace
