// A small deterministic pseudo-random generator for the sound and music
// generators: the same seed gives the same stream on every build and
// machine (no library generator, whose sequence may differ between
// implementations).
#pragma once

#include <cstdint>

namespace assets {

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed * 2 + 1) { Next(); }

  // 32 random bits (PCG-XSH-RR).
  uint32_t Next() {
    uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + 1442695040888963407ULL;
    uint32_t xorshifted = uint32_t(((old >> 18) ^ old) >> 27);
    uint32_t rot = uint32_t(old >> 59);
    return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
  }
  // An integer in lo..hi (inclusive).
  int Range(int lo, int hi) {
    if (hi <= lo) return lo;
    return lo + int(Next() % uint32_t(hi - lo + 1));
  }
  // A double in [0, 1).
  double Unit() { return (Next() >> 8) * (1.0 / 16777216.0); }
  // A double in [-1, 1).
  double Signed() { return Unit() * 2.0 - 1.0; }
  // True with probability p.
  bool Chance(double p) { return Unit() < p; }

 private:
  uint64_t state_;
};

}  // namespace assets
