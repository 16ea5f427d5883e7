// Look-up tables of the software pixel effects, built once by screen set-up.
#pragma once

#include <cstdint>

namespace oxd {

struct EffectTables {
  int32_t sine[450];             // sin(i degrees) * 360, truncated; sine[i + 90] = cos(i)
  uint8_t pixelToRgb[65536][3];  // 16-bit pixel -> 5-bit red, green, blue
  int16_t fadeThrough[3 * 32 * 32 * 32];
  int16_t additive[3 * 32 * 32 * 32];
  int16_t subtractive[3 * 32 * 32];
  int16_t third[94];
  uint8_t random[10000];         // pseudo-random values 0..2
  int built16;                   // 1 when the 16-bit tables are filled
};

EffectTables& Tables();
// Fills the sine table, and with a 16-bit display the other tables, from
// the pixel format description.
void BuildEffectTables(bool sixteenBit);

}  // namespace oxd
