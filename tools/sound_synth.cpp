#include "tools/sound_synth.h"

#include <algorithm>
#include <cmath>

namespace assets::synth {

namespace {
constexpr double kPi = 3.14159265358979323846;

// Correction of a naive step discontinuity at phase 0 (PolyBLEP).
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}
}  // namespace

Svf::Out Svf::Run(float in, float cutoff, float q, int rate) {
  const float nyquistSafe = 0.45f * float(rate);
  cutoff = std::clamp(cutoff, 10.0f, nyquistSafe);
  const float g = float(std::tan(kPi * cutoff / rate));
  const float k = 1.0f / std::max(q, 0.1f);
  const float a1 = 1.0f / (1.0f + g * (g + k));
  const float a2 = g * a1;
  const float a3 = g * a2;
  const float v3 = in - ic2_;
  const float v1 = a1 * ic1_ + a2 * v3;
  const float v2 = ic2_ + a2 * ic1_ + a3 * v3;
  ic1_ = 2.0f * v1 - ic1_;
  ic2_ = 2.0f * v2 - ic2_;
  return {v2, v1, in - k * v1 - v2};
}

float OnePole::Low(float in, float cutoff, int rate) {
  const float a = 1.0f - float(std::exp(-2.0 * kPi * cutoff / rate));
  z_ += a * (in - z_);
  return z_;
}

float OnePole::High(float in, float cutoff, int rate) { return in - Low(in, cutoff, rate); }

float Noise::Brown() {
  // Leaky integration keeps the walk bounded and free of DC drift.
  brown_ = brown_ * 0.995f + White() * 0.1f;
  return brown_ * 3.0f;
}

float Osc::Sine(float freq, int rate) {
  const float v = float(std::sin(2.0 * kPi * phase_));
  phase_ += double(freq) / rate;
  phase_ -= std::floor(phase_);
  return v;
}

float Osc::Pulse(float freq, float duty, int rate) {
  const double dt = std::min(double(freq) / rate, 0.5);
  double v = phase_ < duty ? 1.0 : -1.0;
  v += PolyBlep(phase_, dt);
  double shifted = phase_ - duty;
  if (shifted < 0) shifted += 1.0;
  v -= PolyBlep(shifted, dt);
  phase_ += dt;
  phase_ -= std::floor(phase_);
  return float(v);
}

float Osc::Saw(float freq, int rate) {
  const double dt = std::min(double(freq) / rate, 0.5);
  double v = 2.0 * phase_ - 1.0 - PolyBlep(phase_, dt);
  phase_ += dt;
  phase_ -= std::floor(phase_);
  return float(v);
}

float ExpSweep(float from, float to, float tau, float t) {
  return to + (from - to) * float(std::exp(-t / tau));
}

float AttackDecay(float attack, float decay, float t) {
  if (t < 0) return 0;
  if (t < attack) return t / attack;
  return float(std::exp(-(t - attack) / decay));
}

float SoftClip(float x, float drive) {
  return float(std::tanh(double(x) * drive) / std::tanh(double(drive)));
}

void Normalize(Buffer& samples, float peak) {
  float most = 0;
  for (float s : samples) most = std::max(most, std::fabs(s));
  if (most <= 0) return;
  const float scale = peak / most;
  for (float& s : samples) s *= scale;
}

void Fade(Buffer& samples, int rate, float fadeInSeconds, float fadeOutSeconds) {
  const size_t n = samples.size();
  const size_t in = std::min(n, size_t(fadeInSeconds * rate));
  const size_t out = std::min(n, size_t(fadeOutSeconds * rate));
  for (size_t i = 0; i < in; ++i) {
    samples[i] *= float(0.5 - 0.5 * std::cos(kPi * double(i) / double(in)));
  }
  for (size_t i = 0; i < out; ++i) {
    // The last sample reaches exactly zero.
    samples[n - 1 - i] *= float(0.5 - 0.5 * std::cos(kPi * double(i) / double(out)));
  }
}

}  // namespace assets::synth
