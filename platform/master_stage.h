// The master stage of the mix: the sum of the sources (effects and music,
// already scaled by the player's volumes) is scaled by a fixed headroom
// and passed through a peak limiter before it becomes 16-bit samples, so
// that many loud sounds at once get quieter instead of clipping.
//
// The limiter is stereo-linked and has no look-ahead (the output is not
// delayed): its gain follows the peak of each frame at once (never letting
// a sample past the ceiling) and recovers with a release time. The gain
// curve has a soft knee: below `kKneeStart` the stage is linear (exactly
// the headroom gain); above it the output bends smoothly towards the
// ceiling and never reaches it. Plain arithmetic only (no transcendental
// functions per sample), no allocation: the same input always gives the
// same output.
#pragma once

#include <cstdint>

namespace plat::audio {

// Gain applied to the sum of the sources before the limiter (-3 dB).
constexpr float kHeadroom = 0.7071f;
// Full scale of the 16-bit output.
constexpr float kFullScale = 32767.0f;
// The limiter's knee begins here (-6 dBFS) and its output approaches the
// ceiling (-1 dBFS) asymptotically.
constexpr float kKneeStart = 0.5f * kFullScale;
constexpr float kCeiling = 0.891f * kFullScale;
// Time for the gain to recover about two thirds of the way after a peak.
constexpr float kReleaseSeconds = 0.12f;

// The sound effects' level in the mix relative to the music: the effects
// are single loud samples, the music a full arrangement; this keeps the
// loud moments of a fight within a few decibels of the music.
constexpr float kEffectsLevel = 0.35f;

class MasterStage {
 public:
  // Back to unity gain (a device that opens starts afresh).
  void Reset() { gain_ = 1.0f; }
  // Scales `left`/`right` (`frames` samples each, on the 16-bit scale, any
  // size) by the headroom, limits them and writes interleaved 16-bit
  // stereo frames to `out`.
  void Process(const float* left, const float* right, int16_t* out, int frames, int rate);
  // The limiter's gain after the last frame (1 = not limiting).
  float Gain() const { return gain_; }

  // The output of a sum of sources well below the knee: the sum scaled by
  // the headroom, rounded (what Process writes while it is not limiting).
  static int16_t Linear(float sum) {
    const float v = sum * kHeadroom;
    return static_cast<int16_t>(v < 0 ? v - 0.5f : v + 0.5f);
  }
  // The output of an effects sample `v` alone at full player volume.
  static int16_t FromEffects(int v) { return Linear(static_cast<float>(v) * kEffectsLevel); }

  // The limiter's target gain for a frame whose peak is `peak` (after the
  // headroom), on the 16-bit scale.
  static float TargetGain(float peak);

 private:
  float gain_ = 1.0f;
};

}  // namespace plat::audio
