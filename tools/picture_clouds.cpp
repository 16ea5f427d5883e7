// The cloud pictures that fall through the playfield over the backgrounds:
// "BKM1h.BMP" and "BKM1m.BMP" (200 x 200 banks that enter at the left and
// the right edge of the playfield), "BKM3.BMP" (200 x 160), "BKM4.BMP"
// (130 x 130), "BKM5.BMP" (90 x 80) and "BKM2.BMP" (a storm cloud the game
// loads but never shows). Each is a union of elliptical lobes roughened by
// billow noise and lit from the upper left, on a transparent ground.
#include "tools/picture_clouds.h"

#include <cmath>
#include <iterator>

#include "tools/bmp_out.h"
#include "tools/picture_common.h"

namespace assets {

namespace {

using namespace pic;

struct Lobe {
  double x, y, rx, ry;
};

struct CloudTone {
  Rgb light, mid, shade;
};

// Above 0 inside the lobes, 1 at a lobe's centre: a smooth union of domes,
// so neighbouring lobes merge without a crease.
double LobeMask(const Lobe* lobes, int count, double x, double y) {
  constexpr double k = 12.0;
  double sum = 0;
  for (int i = 0; i < count; ++i) {
    const double dx = (x - lobes[i].x) / lobes[i].rx, dy = (y - lobes[i].y) / lobes[i].ry;
    sum += std::exp(k * (1.0 - (dx * dx + dy * dy)));
  }
  return std::log(sum) / k;
}

// Puffy detail: summed absolute noise gives round lumps with creases.
double Billow(double x, double y, uint32_t seed) {
  double sum = 0, amp = 1, norm = 0;
  for (int o = 0; o < 3; ++o) {
    sum += amp * std::fabs(Noise(x, y, 10 << o, 480, seed + uint32_t(o)));
    norm += amp;
    amp *= 0.5;
  }
  return sum / norm;
}

// Cumulus from above: each main lobe becomes a heap of smaller puffs, so
// the cloud shows rounded heads with creases between them.
bool Cloud(const char* dir, const char* name, int width, int height, const Lobe* lobes, int count,
           const CloudTone& tone, uint32_t seed) {
  Canvas c(width, height);
  Lobe puffs[128];
  int n = 0;
  Rng rng(seed);
  for (int i = 0; i < count && n < 128; ++i) {
    const Lobe& l = lobes[i];
    puffs[n++] = {l.x, l.y, l.rx * 0.62, l.ry * 0.62};
    const int extra = 3 + int(l.rx * l.ry / 900);
    for (int j = 0; j < extra && n < 128; ++j) {
      const double a = j * 2 * kPi / extra + rng.Range(-0.4, 0.4);
      const double d = rng.Range(0.45, 0.62);
      const double r = std::fmax(9.0, rng.Range(0.38, 0.55) * std::fmin(l.rx, l.ry * 1.4));
      puffs[n++] = {l.x + std::cos(a) * d * l.rx, l.y + std::sin(a) * d * l.ry, r, r * 0.9};
    }
  }
  const Field density(width, height, false, [&](double x, double y) {
    return LobeMask(puffs, n, x, y) + 0.12 * (Billow(x, y, seed) - 0.4);
  });
  // The relief rises steeply at the rim and rounds off on top.
  const Field relief(width, height, false, [&](double x, double y) {
    return std::sqrt(std::fmax(0.0, density.At(int(x), int(y))));
  });
  c.ShadeRgba([&](int x, int y) {
    const double d = density.At(x, y);
    if (d <= 0) return Rgba{{0, 0, 0}, 0};
    const double lit = Clamp01(0.5 + 1.4 * (relief.Light(x, y, 45) - 0.62));
    const double thick = Smooth(0.0, 0.45, d);
    Rgb col =
        lit > 0.5 ? Mix(tone.mid, tone.light, (lit - 0.5) * 2) : Mix(tone.shade, tone.mid, lit * 2);
    col = Scale(col, 0.82 + 0.18 * thick);
    // The thin outer fringe is a little darker, which outlines the cloud.
    col = Mix(Scale(tone.shade, 0.8), col, Smooth(0.0, 0.05, d));
    return Rgba{col, Smooth(0.0, 0.03, d)};
  });
  c.Preview(name);
  return WriteBmp(c.surface(), dir, name);
}

const CloudTone kWhite = {Hex(0xDCE4F2), Hex(0xA4B0CA), Hex(0x5E6A8C)};
const CloudTone kStorm = {Hex(0x9AA2B8), Hex(0x6A7290), Hex(0x363C56)};

}  // namespace

bool WriteClouds(const char* dir) {
  // Left bank: the mass spills in from the left edge (columns left of 30 lie
  // outside the playfield when the game draws it at x = 100).
  static constexpr Lobe kLeft[] = {{-10, 100, 110, 86}, {60, 60, 62, 42},  {80, 130, 70, 48},
                                   {120, 95, 48, 34},   {30, 160, 70, 30}, {20, 36, 60, 26}};
  // Right bank: the mirror image, entering from the right edge (columns
  // right of 170 lie outside the playfield when drawn at x = 340).
  static constexpr Lobe kRight[] = {{210, 100, 110, 86}, {140, 60, 62, 42},  {120, 130, 70, 48},
                                    {80, 95, 48, 34},    {170, 160, 70, 30}, {180, 36, 60, 26}};
  static constexpr Lobe kMedium[] = {{100, 84, 70, 48}, {58, 92, 44, 34}, {146, 90, 42, 32},
                                     {110, 52, 40, 28}, {74, 60, 34, 24}, {132, 118, 40, 22}};
  static constexpr Lobe kRound[] = {
      {65, 68, 46, 42}, {40, 78, 26, 22}, {92, 76, 26, 22}, {66, 40, 28, 20}};
  static constexpr Lobe kSmall[] = {{45, 42, 30, 24}, {26, 48, 16, 13}, {64, 46, 16, 13}};
  static constexpr Lobe kStormLobes[] = {{100, 104, 84, 72}, {60, 80, 46, 40},  {142, 82, 46, 40},
                                         {100, 52, 54, 36},  {62, 140, 40, 30}, {138, 142, 40, 30}};
  bool ok = Cloud(dir, "BKM1h.BMP", 200, 200, kLeft, int(std::size(kLeft)), kWhite, 11);
  ok = Cloud(dir, "BKM1m.BMP", 200, 200, kRight, int(std::size(kRight)), kWhite, 12) && ok;
  ok = Cloud(dir, "BKM2.BMP", 200, 200, kStormLobes, int(std::size(kStormLobes)), kStorm, 13) && ok;
  ok = Cloud(dir, "BKM3.BMP", 200, 160, kMedium, int(std::size(kMedium)), kWhite, 14) && ok;
  ok = Cloud(dir, "BKM4.BMP", 130, 130, kRound, int(std::size(kRound)), kWhite, 15) && ok;
  ok = Cloud(dir, "BKM5.BMP", 90, 80, kSmall, int(std::size(kSmall)), kWhite, 16) && ok;
  return ok;
}

}  // namespace assets
