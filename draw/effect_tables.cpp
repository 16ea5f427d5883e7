#include "draw/effect_tables.h"

#include <cmath>
#include <numbers>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "draw/draw_state.h"

namespace oxd {

namespace {

// About 600 KB; static storage so that screen set-up allocates nothing.
EffectTables g_tables;

int Max0(int v) { return v > 0 ? v : 0; }

// sin(degrees) * 360 truncated toward zero. Points where the exact value is
// an integer (30, 150, 210 degrees ...) come out of the floating-point sine
// a hair below it; they are snapped so that truncation sees the exact value.
int32_t ScaledSine(int degrees) {
  double v = std::sin(degrees * (std::numbers::pi / 180.0)) * 360.0;
  double nearest = std::round(v);
  if (std::fabs(v - nearest) < 1e-9) return static_cast<int32_t>(nearest);
  return static_cast<int32_t>(std::trunc(v));
}

}  // namespace

EffectTables& Tables() { return g_tables; }

void BuildEffectTables(bool sixteenBit) {
  EffectTables& t = g_tables;
  for (int i = 0; i < 450; ++i) t.sine[i] = ScaledSine(i);

  t.built16 = 0;
  if (!sixteenBit) return;

  const PixelFormat& f = Format();
  int redLevels = f.redWidthMask == 0x3F ? 64 : 32;
  int greenLevels = f.greenWidthMask == 0x3F ? 64 : 32;
  int blueLevels = f.blueWidthMask == 0x3F ? 64 : 32;
  for (int r = 0; r < redLevels; ++r) {
    for (int g = 0; g < greenLevels; ++g) {
      for (int b = 0; b < blueLevels; ++b) {
        uint32_t index = (uint32_t(g) << f.greenShift) + (uint32_t(r) << f.redShift) +
                         (uint32_t(b) << f.blueShift);
        if (index >= 65536) continue;
        t.pixelToRgb[index][0] = uint8_t(redLevels == 64 ? r >> 1 : r);
        t.pixelToRgb[index][1] = uint8_t(greenLevels == 64 ? g >> 1 : g);
        t.pixelToRgb[index][2] = uint8_t(blueLevels == 64 ? b >> 1 : b);
      }
    }
  }

  const int position[3] = {f.redPosition, f.greenPosition, f.bluePosition};
  for (int c = 0; c < 3; ++c) {
    for (int k = 0; k < 32; ++k) {
      for (int a = 0; a < 32; ++a) {
        for (int b = 0; b < 32; ++b) {
          int index = c * 32768 + k * 1024 + a * 32 + b;
          int through = Max0(a - k) + Max0(b - (31 - k));
          int sum = Max0(a - k) + b;
          if (sum > 31) sum = 31;
          // Stored as 16-bit pixels: the red channel's values wrap into the
          // sign bit, as the pixel bits they are.
          t.fadeThrough[index] = static_cast<int16_t>(through << position[c]);
          t.additive[index] = static_cast<int16_t>(sum << position[c]);
        }
      }
    }
    for (int a = 0; a < 32; ++a) {
      for (int b = 0; b < 32; ++b) {
        t.subtractive[c * 1024 + a * 32 + b] = static_cast<int16_t>(Max0(a - b) << position[c]);
      }
    }
  }

  for (int s = 0; s < 94; ++s) t.third[s] = static_cast<int16_t>(s / 3);
  for (int i = 0; i < 10000; ++i) t.random[i] = static_cast<uint8_t>(ox::Random() % 3);
  t.built16 = 1;
}

}  // namespace oxd
