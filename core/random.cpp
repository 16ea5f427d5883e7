#include "core/ox_app.h"

namespace ox {

namespace {
uint32_t g_randomState = 1;
}  // namespace

// The C runtime's linear congruential generator, so that a seed gives the
// same sequence on every machine.
void SeedRandom(uint32_t seed) { g_randomState = seed; }

int Random() {
  g_randomState = g_randomState * 214013u + 2531011u;
  return static_cast<int>((g_randomState >> 16) & 0x7FFF);
}

}  // namespace ox
