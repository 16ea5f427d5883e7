#include "platform/master_stage.h"

namespace plat::audio {

float MasterStage::TargetGain(float peak) {
  if (peak <= kKneeStart) return 1.0f;
  // Output level kKneeStart + over / (1 + over / range): slope 1 at the
  // knee, tending to the ceiling as the peak grows.
  constexpr float kRange = kCeiling - kKneeStart;
  const float over = peak - kKneeStart;
  const float level = kKneeStart + over / (1.0f + over / kRange);
  return level / peak;
}

void MasterStage::Process(const float* left, const float* right, int16_t* out, int frames,
                          int rate) {
  // One-pole release towards the target, by plain arithmetic: the step is
  // 1 / (rate * time) of the remaining distance per frame.
  const float release = 1.0f / (static_cast<float>(rate > 0 ? rate : 44100) * kReleaseSeconds);
  float g = gain_;
  for (int i = 0; i < frames; ++i) {
    const float l = left[i] * kHeadroom;
    const float r = right[i] * kHeadroom;
    const float al = l < 0 ? -l : l, ar = r < 0 ? -r : r;
    const float target = TargetGain(al > ar ? al : ar);
    if (target < g) {
      g = target;  // attack at once: no sample passes the curve
    } else if (g < 1.0f) {
      g += (target - g) * release;
      // The last thousandth (under 0.01 dB) is taken in one step: the
      // float steps would stall just short of unity.
      if (g > 0.999f && target == 1.0f) g = 1.0f;
    }
    // Final saturation: the curve stays below the ceiling, this only
    // guards against rounding.
    float ol = l * g, orr = r * g;
    ol = ol > kFullScale ? kFullScale : ol < -32768.0f ? -32768.0f : ol;
    orr = orr > kFullScale ? kFullScale : orr < -32768.0f ? -32768.0f : orr;
    // Round half away from zero, by plain arithmetic.
    out[2 * i] = static_cast<int16_t>(ol < 0 ? ol - 0.5f : ol + 0.5f);
    out[2 * i + 1] = static_cast<int16_t>(orr < 0 ? orr - 0.5f : orr + 0.5f);
  }
  gain_ = g;
}

}  // namespace plat::audio
