// Building blocks of the sound-effect synthesiser: noise sources,
// oscillators, filters, envelopes and mixing helpers on float sample
// buffers (nominal range -1..1). Everything is deterministic.
#pragma once

#include <cstdint>
#include <vector>

#include "core/ox_app.h"
#include "tools/sound_random.h"

namespace assets::synth {

using Buffer = std::vector<float>;

// Zero-delay-feedback state-variable filter (stable for any cutoff below
// Nyquist, also while the cutoff moves every sample).
class Svf {
 public:
  struct Out {
    float low, band, high;
  };
  // cutoff in Hz, q the resonance (0.5 gentle .. 10 ringing).
  Out Run(float in, float cutoff, float q, int rate);

 private:
  float ic1_ = 0, ic2_ = 0;
};

// One-pole filters, for smoothing and DC removal.
class OnePole {
 public:
  float Low(float in, float cutoff, int rate);
  float High(float in, float cutoff, int rate);

 private:
  float z_ = 0;
};

// White noise in -1..1 and brown (integrated) noise of similar loudness.
class Noise {
 public:
  explicit Noise(uint64_t seed) : rng_(seed) {}
  float White() { return float(rng_.Signed()); }
  float Brown();
  Rng& Random() { return rng_; }

 private:
  Rng rng_;
  float brown_ = 0;
};

// Band-limited oscillators driven by a phase in cycles, advanced by the
// caller's frequency each sample.
class Osc {
 public:
  float Sine(float freq, int rate);
  // Pulse wave with the given duty (0..1), alias-reduced by PolyBLEP.
  float Pulse(float freq, float duty, int rate);
  // Sawtooth, alias-reduced by PolyBLEP.
  float Saw(float freq, int rate);

 private:
  double phase_ = 0;
};

// Exponential approach from `from` to `to` with time constant `tau` seconds.
float ExpSweep(float from, float to, float tau, float t);
// Attack (linear ramp of `attack` seconds) then exponential decay with time
// constant `decay` seconds.
float AttackDecay(float attack, float decay, float t);

// Smooth saturation that keeps small signals linear and never exceeds +-1.
float SoftClip(float x, float drive);
// Scales the buffer so that its largest magnitude is `peak`.
void Normalize(Buffer& samples, float peak);
// Raised-cosine fades at both ends, so playback starts and ends without a click.
void Fade(Buffer& samples, int rate, float fadeInSeconds, float fadeOutSeconds);

}  // namespace assets::synth
