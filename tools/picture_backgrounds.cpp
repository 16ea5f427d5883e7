// Each background is a height or density field built from noise that
// repeats every 480 rows, shaded per pixel with light from the upper left,
// then dressed with Cairo shapes (buildings, trees, craters, ships) that are
// drawn again one period up or down wherever they cross the edge. Values
// stay mid to dark so that sprites and bullets read clearly on top.
#include "tools/picture_backgrounds.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/bmp_out.h"
#include "tools/picture_common.h"

namespace assets {

namespace {

using namespace pic;

constexpr int kW = 380;
constexpr int kH = 480;

// A field over a whole background, repeating vertically.
template <class F>
Field Wrap(F&& f) {
  return Field(kW, kH, true, f);
}

Rgb Add(Rgb a, Rgb b, double k) { return {a.r + b.r * k, a.g + b.g * k, a.b + b.b * k}; }

// ------------------------------------------------------------------ sea

// Open ocean with a few wooded islands, surf, wave glints and ships.
bool Sea(const char* dir, const char* name, uint32_t seed) {
  Canvas c(kW, kH);
  const Field land = Wrap([&](double x, double y) {
    const double wx = 18 * Fbm(x, y, 4, 2, kH, seed + 11);
    return Fbm(x + wx, y, 3, 6, kH, seed + 1) - 0.05 * std::fabs((x - 190) / 190.0);
  });
  const double shore = 0.26;
  c.Shade([&](int x, int y) {
    const double h = land.At(x, y);
    const double depth = Fbm(x, y, 4, 4, kH, seed + 3);
    Rgb water = Mix(Hex(0x0A2440), Hex(0x174E70), 0.5 + 0.5 * depth);
    // Shallow water brightens towards the shore.
    water = Mix(water, Hex(0x1F7A86), Smooth(shore - 0.16, shore, h) * 0.85);
    // Long wave crests: noise squeezed vertically, stretched across.
    const double crest = Ridged(x * 0.35, y, 48, 2, kH, seed + 5);
    const double glint = Smooth(0.86, 0.97, crest) * (0.5 + 0.5 * Fbm(x, y, 8, 2, kH, seed + 6));
    water = Add(water, Hex(0x7FB8D0), 0.22 * glint);
    if (h < shore) {
      // Surf ring right at the shore.
      const double foam = Smooth(shore - 0.025, shore - 0.004, h);
      return Mix(water, Hex(0xB8D4DC), foam * 0.75);
    }
    const double lit = 0.55 + 0.6 * land.Light(x, y, 260);
    if (h < shore + 0.03)
      return Scale(Mix(Hex(0x9A8458), Hex(0x7A6A48), Smooth(shore, shore + 0.03, h)), lit);
    const double leaf = Fbm(x, y, 32, 2, kH, seed + 9);
    Rgb green = Mix(Hex(0x2C5A2E), Hex(0x1B3E22), Smooth(shore + 0.03, shore + 0.3, h));
    green = Mix(green, Hex(0x3E6A32), 0.35 + 0.35 * leaf);
    if (h > shore + 0.26) green = Mix(green, Hex(0x5A5650), Smooth(shore + 0.26, shore + 0.34, h));
    return Scale(green, lit);
  });
  cairo_t* cr = c.cr();
  // Ships with their wakes, in open water only.
  Rng rng(seed + 21);
  int placed = 0;
  for (int tries = 0; tries < 60 && placed < 4; ++tries) {
    const double x = rng.Range(30, kW - 30), y = rng.Range(0, kH);
    bool clear = true;
    for (int dy = -40; dy <= 80 && clear; dy += 8)
      for (int dx = -16; dx <= 16 && clear; dx += 8)
        clear = land.At(int(x) + dx, int(y) + dy) < shore - 0.08;
    if (!clear) continue;
    ++placed;
    const double len = rng.Range(14, 24);
    Wrapped(cr, y, 90, kH, [&] {
      // Wake: a foaming trail and two spreading bow waves.
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      for (int side = -1; side <= 1; side += 2) {
        cairo_pattern_t* wave = cairo_pattern_create_linear(0, y, 0, y + len * 4.5);
        AddStop(wave, 0, Hex(0xC8DCE4), 0.6);
        AddStop(wave, 1, Hex(0xC8DCE4), 0);
        cairo_set_source(cr, wave);
        cairo_set_line_width(cr, 1.4);
        cairo_move_to(cr, x + side * len * 0.1, y - len * 0.3);
        cairo_curve_to(cr, x + side * len * 0.5, y + len, x + side * len * 0.9, y + len * 2.5,
                       x + side * len * 1.3, y + len * 4.5);
        cairo_stroke(cr);
        cairo_pattern_destroy(wave);
      }
      cairo_pattern_t* trail = cairo_pattern_create_linear(0, y, 0, y + len * 5);
      AddStop(trail, 0, Hex(0xD8E8F0), 0.7);
      AddStop(trail, 1, Hex(0xD8E8F0), 0);
      cairo_set_source(cr, trail);
      cairo_move_to(cr, x - len * 0.12, y + len * 0.4);
      cairo_line_to(cr, x - len * 0.3, y + len * 5);
      cairo_line_to(cr, x + len * 0.3, y + len * 5);
      cairo_line_to(cr, x + len * 0.12, y + len * 0.4);
      cairo_close_path(cr);
      cairo_fill(cr);
      cairo_pattern_destroy(trail);
      cairo_move_to(cr, x, y - len * 0.5);
      cairo_curve_to(cr, x + len * 0.2, y - len * 0.3, x + len * 0.18, y + len * 0.4,
                     x + len * 0.12, y + len * 0.5);
      cairo_line_to(cr, x - len * 0.12, y + len * 0.5);
      cairo_curve_to(cr, x - len * 0.18, y + len * 0.4, x - len * 0.2, y - len * 0.3, x,
                     y - len * 0.5);
      SetRgb(cr, Hex(0x6A7480));
      cairo_fill_preserve(cr);
      SetRgb(cr, Hex(0x1A2230));
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      SetRgb(cr, Hex(0xA8B0B8));
      cairo_rectangle(cr, x - len * 0.07, y - len * 0.05, len * 0.14, len * 0.25);
      cairo_fill(cr);
    });
  }
  c.Preview(name, true);
  return WriteBmp(c.surface(), dir, name, 0);
}

// ------------------------------------------------------------------ ice

// Pack ice: floes with bright rims drifting on dark water.
bool Ice(const char* dir, const char* name, uint32_t seed) {
  Canvas c(kW, kH);
  const Field ice = Wrap([&](double x, double y) {
    const double wx = 12 * Fbm(x, y, 8, 2, kH, seed + 7);
    return Fbm(x + wx, y, 5, 4, kH, seed + 1, 0.45);
  });
  c.Shade([&](int x, int y) {
    const double h = ice.At(x, y);
    Rgb water = Mix(Hex(0x081C2C), Hex(0x12324A), 0.5 + 0.5 * Fbm(x, y, 4, 3, kH, seed + 2));
    // Floes cast a shadow on the water towards the lower right.
    water = Scale(water, 1.0 - 0.45 * Smooth(0.04, 0.07, ice.At(x - 4, y - 4)));
    const double edge = Smooth(0.04, 0.06, h);
    if (edge <= 0) return water;
    Rgb floe = Mix(Hex(0x7088A0), Hex(0x5C7690), 0.5 + 0.5 * Fbm(x, y, 12, 3, kH, seed + 3));
    floe = Scale(floe, 0.8 + 0.35 * ice.Light(x, y, 40));
    const double crack = Smooth(0.96, 0.995, 1.0 - std::fabs(Noise(x, y, 10, kH, seed + 4)));
    floe = Mix(floe, Hex(0x2A4660), crack * 0.8);
    const double rim = 1.0 - Smooth(0.06, 0.09, h);
    floe = Mix(floe, Hex(0xAEC4D6), rim * 0.7);
    return Mix(water, floe, edge);
  });
  c.Preview(name, true);
  return WriteBmp(c.surface(), dir, name, 0);
}

// ------------------------------------------------------------------ desert

// Dune sea with rock mesas and a pipeline running the length of the map.
bool Desert(const char* dir, const char* name, uint32_t seed) {
  Canvas c(kW, kH);
  const Field dunes = Wrap([&](double x, double y) {
    const double warp = 40 * Fbm(x, y, 3, 2, kH, seed + 3);
    // Long transverse ridges: one broad ridged layer stretched across.
    const double ridge = 1.0 - std::fabs(Noise(x * 0.35, y + warp, 6, kH, seed + 1));
    return 0.6 * ridge * ridge + 0.4 * Fbm(x, y, 4, 3, kH, seed + 2);
  });
  const Field mesa = Wrap([&](double x, double y) { return Fbm(x, y, 3, 4, kH, seed + 5, 0.4); });
  const double rim = 0.24;
  c.Shade([&](int x, int y) {
    const double lit = dunes.Light(x, y, 70);
    Rgb sand = Mix(Hex(0x4A3020), Hex(0x8A6440), Smooth(0.2, 0.95, lit));
    const double ripple = 0.5 + 0.5 * Noise(x * 0.5, y, 96, kH, seed + 8);
    sand = Mix(sand, Hex(0x70523A), 0.12 * ripple);
    const double m = mesa.At(x, y);
    if (m > rim) {
      // Flat top above a band of layered cliff.
      const double cliff = 1.0 - Smooth(rim + 0.02, rim + 0.05, m);
      const double mlit = Clamp01(0.25 + 1.1 * mesa.Light(x, y, 1400));
      const double strata = 0.5 + 0.5 * std::sin(m * 160.0);
      const Rgb wall = Scale(Mix(Hex(0x6A3222), Hex(0xA05A38), strata), mlit);
      Rgb top = Mix(Hex(0x8A5A3A), Hex(0x9C6A44), 0.5 + 0.5 * Fbm(x, y, 16, 3, kH, seed + 9));
      top = Mix(top, Hex(0x5A3A28), 0.5 * Smooth(0.55, 0.9, Ridged(x, y, 24, 2, kH, seed + 10)));
      // A bright lip where the top meets the cliff.
      top = Mix(top, Hex(0xC08A5A), 0.6 * (1.0 - Smooth(rim + 0.05, rim + 0.07, m)));
      return Mix(top, wall, cliff);
    }
    // Shadow cast by the mesas towards the lower right.
    const double shade = Smooth(rim - 0.03, rim, mesa.At(x - 9, y - 9));
    return Scale(sand, 1.0 - 0.55 * shade);
  });
  cairo_t* cr = c.cr();
  // A pipeline straight down the map (vertical, so it tiles by itself).
  const double px = 300;
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_rectangle(cr, px + 4, 0, 12, kH);
  cairo_fill(cr);
  cairo_pattern_t* pipe = cairo_pattern_create_linear(px - 6, 0, px + 6, 0);
  AddStop(pipe, 0, Hex(0x34363C));
  AddStop(pipe, 0.35, Hex(0x86888E));
  AddStop(pipe, 1, Hex(0x26282C));
  cairo_set_source(cr, pipe);
  cairo_rectangle(cr, px - 6, 0, 12, kH);
  cairo_fill(cr);
  cairo_pattern_destroy(pipe);
  for (int y = 0; y < kH; y += 60) {
    SetRgb(cr, Hex(0x55504A));
    cairo_rectangle(cr, px - 10, y + 20, 20, 6);
    cairo_fill(cr);
    SetRgb(cr, Hex(0xE0A040), 0.9);
    cairo_arc(cr, px, y + 52, 1.6, 0, 2 * kPi);
    cairo_fill(cr);
  }
  // Half-buried wrecks: dark hulks with sand drifts.
  Rng rng(seed + 31);
  for (int i = 0; i < 3; ++i) {
    const double x = rng.Range(40, 250), y = rng.Range(0, kH), a = rng.Range(-1, 1);
    if (mesa.At(int(x), int(y)) > 0.15) continue;
    Wrapped(cr, y, 40, kH, [&] {
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_rotate(cr, a);
      cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
      RoundRect(cr, -6, -14, 20, 36, 5);
      cairo_fill(cr);
      cairo_pattern_t* hull = cairo_pattern_create_linear(-10, 0, 10, 0);
      AddStop(hull, 0, Hex(0x3A3632));
      AddStop(hull, 0.4, Hex(0x6E6860));
      AddStop(hull, 1, Hex(0x2E2A26));
      cairo_set_source(cr, hull);
      RoundRect(cr, -10, -18, 20, 36, 5);
      cairo_fill(cr);
      cairo_pattern_destroy(hull);
      SetRgb(cr, Hex(0x8A6A44));
      cairo_move_to(cr, -12, 8);
      cairo_curve_to(cr, -4, 2, 6, 10, 12, 4);
      cairo_line_to(cr, 12, 20);
      cairo_line_to(cr, -12, 20);
      cairo_close_path(cr);
      cairo_fill(cr);
      cairo_restore(cr);
    });
  }
  c.Preview(name, true);
  return WriteBmp(c.surface(), dir, name, 0);
}

// ------------------------------------------------------------------ forest

double RiverX(double y) {
  const double t = y * 2 * kPi / kH;
  return 175 + 70 * std::sin(t) + 28 * std::sin(2 * t + 1.3);
}
double RiverHalfWidth(double y) { return 15 + 5 * std::sin(3 * y * 2 * kPi / kH + 0.5); }

// Jungle canopy split by a winding river.
bool Forest(const char* dir, const char* name, uint32_t seed) {
  Canvas c(kW, kH);
  const Field ground = Wrap([&](double x, double y) { return Fbm(x, y, 8, 4, kH, seed + 1); });
  c.Shade([&](int x, int y) {
    const double g = ground.At(x, y);
    Rgb base = Mix(Hex(0x1A3018), Hex(0x34502A), 0.5 + 0.5 * g);
    const double d = std::fabs(x - RiverX(y)) - RiverHalfWidth(y);
    if (d < 6) {
      const double glint = Smooth(0.55, 0.9, Noise(x * 3, y, 24, kH, seed + 4));
      Rgb water = Mix(Hex(0x0E3038), Hex(0x1C5058), 0.5 + 0.5 * Fbm(x, y, 16, 2, kH, seed + 5));
      water = Add(water, Hex(0x6AA0A0), 0.25 * glint);
      const Rgb bank = Hex(0x4A3A24);
      return Mix(water, bank, Smooth(-3, 3, d));
    }
    return base;
  });
  cairo_t* cr = c.cr();
  // Tree crowns on a jittered grid, leaving the river and a few clearings.
  struct Crown {
    double x, y, r;
    Rgb tint;
  };
  std::vector<Crown> crowns;
  Rng rng(seed + 41);
  for (double gy = 0; gy < kH; gy += 9) {
    for (double gx = -6; gx < kW + 6; gx += 9) {
      const double x = gx + rng.Range(-4, 4), y = gy + rng.Range(-4, 4);
      const double r = rng.Range(4.5, 7.5) + 4.5 * (0.5 + 0.5 * Fbm(x, y, 16, 1, kH, seed + 8));
      const double d = std::fabs(x - RiverX(y)) - RiverHalfWidth(y);
      if (d < r * 0.6 + 4) continue;
      if (Fbm(x, y, 6, 3, kH, seed + 7) > 0.25) continue;  // clearing
      const double hue = rng.Uniform();
      Rgb tint = hue < 0.06   ? Hex(0x6A5A26)
                 : hue < 0.16 ? Hex(0x244C3C)
                              : Mix(Hex(0x24481E), Hex(0x345A24), rng.Uniform());
      crowns.push_back({x, std::fmod(y + kH, double(kH)), r, tint});
    }
  }
  for (const Crown& k : crowns) {
    Wrapped(cr, k.y, k.r + 4, kH, [&] {
      cairo_set_source_rgba(cr, 0.02, 0.05, 0.02, 0.6);
      cairo_arc(cr, k.x + 3, k.y + 3, k.r * 1.05, 0, 2 * kPi);
      cairo_fill(cr);
    });
  }
  for (const Crown& k : crowns) {
    Wrapped(cr, k.y, k.r + 2, kH, [&] {
      cairo_pattern_t* g =
          cairo_pattern_create_radial(k.x - k.r * 0.35, k.y - k.r * 0.35, 0, k.x, k.y, k.r);
      AddStop(g, 0, Mix(k.tint, Hex(0x98B860), 0.25));
      AddStop(g, 0.6, k.tint);
      AddStop(g, 1, Scale(k.tint, 0.55));
      cairo_set_source(cr, g);
      cairo_arc(cr, k.x, k.y, k.r, 0, 2 * kPi);
      cairo_fill(cr);
      cairo_pattern_destroy(g);
    });
  }
  // Ruined temple platforms in two clearings.
  for (int i = 0; i < 2; ++i) {
    const double y = 90 + i * 240, x = i == 0 ? 320 : 50;
    Wrapped(cr, y, 40, kH, [&] {
      for (int step = 0; step < 3; ++step) {
        const double s = 30 - step * 9;
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_rectangle(cr, x - s + 3, y - s + 3, 2 * s, 2 * s);
        cairo_fill(cr);
        SetRgb(cr, Mix(Hex(0x5A5A4A), Hex(0x8A8870), step / 2.0));
        cairo_rectangle(cr, x - s, y - s, 2 * s, 2 * s);
        cairo_fill_preserve(cr);
        SetRgb(cr, Hex(0x2A2A20));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
      }
      SetRgb(cr, Hex(0x40E0C0), 0.8);
      cairo_arc(cr, x, y, 3, 0, 2 * kPi);
      cairo_fill(cr);
    });
  }
  c.Preview(name, true);
  return WriteBmp(c.surface(), dir, name, 0);
}

// ------------------------------------------------------------------ city

// A city at night seen from above: avenues and streets with lamps and
// traffic, blocks of rooftops with shadows, parks and neon-rimmed towers.
bool City(const char* dir, const char* name, uint32_t seed) {
  Canvas c(kW, kH);
  c.Shade([&](int x, int y) {
    return Mix(Hex(0x161A24), Hex(0x20242E), 0.5 + 0.5 * Fbm(x, y, 16, 2, kH, seed + 1));
  });
  cairo_t* cr = c.cr();
  static constexpr double kAvenues[] = {14, 138, 262, 386};  // centres, 16 px wide
  static constexpr double kStreetStep = 120;                 // streets at 0, 120, 240, 360
  const double avenueHalf = 8, streetHalf = 6;
  // Roads.
  SetRgb(cr, Hex(0x2A2C34));
  for (double ax : kAvenues) cairo_rectangle(cr, ax - avenueHalf, 0, 2 * avenueHalf, kH);
  cairo_fill(cr);
  for (double sy = 0; sy < kH; sy += kStreetStep) {
    Wrapped(cr, sy, streetHalf, kH, [&] {
      SetRgb(cr, Hex(0x2A2C34));
      cairo_rectangle(cr, 0, sy - streetHalf, kW, 2 * streetHalf);
      cairo_fill(cr);
    });
  }
  // Lane markings.
  cairo_set_line_width(cr, 1);
  double dash[] = {6, 6};
  cairo_set_dash(cr, dash, 2, 0);
  SetRgb(cr, Hex(0xB0A060), 0.7);
  for (double ax : kAvenues) {
    cairo_move_to(cr, ax, 0);
    cairo_line_to(cr, ax, kH);
  }
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  Rng rng(seed + 51);
  // Blocks between the roads.
  for (int bx = 0; bx + 1 < 4; ++bx) {
    for (double sy = 0; sy < kH; sy += kStreetStep) {
      const double left = kAvenues[bx] + avenueHalf + 3, right = kAvenues[bx + 1] - avenueHalf - 3;
      const double top = sy + streetHalf + 3, bottom = sy + kStreetStep - streetHalf - 3;
      if (rng.Int(7) == 0) {
        // Park with a pond and trees.
        SetRgb(cr, Hex(0x1E3420));
        RoundRect(cr, left, top, right - left, bottom - top, 4);
        cairo_fill(cr);
        SetRgb(cr, Hex(0x0E2A3A));
        cairo_arc(cr, (left + right) / 2, (top + bottom) / 2, 14, 0, 2 * kPi);
        cairo_fill(cr);
        for (int t = 0; t < 30; ++t) {
          const double tx = rng.Range(left + 5, right - 5), ty = rng.Range(top + 5, bottom - 5);
          if (std::hypot(tx - (left + right) / 2, ty - (top + bottom) / 2) < 20) continue;
          SetRgb(cr, Mix(Hex(0x2A4A28), Hex(0x3A5E30), rng.Uniform()));
          cairo_arc(cr, tx, ty, rng.Range(3, 5), 0, 2 * kPi);
          cairo_fill(cr);
        }
        continue;
      }
      // Buildings: split the block into lots along x and y.
      double y0 = top;
      while (y0 < bottom - 8) {
        const double lotH = std::fmin(bottom - y0, rng.Range(22, 52));
        double x0 = left;
        while (x0 < right - 8) {
          const double lotW = std::fmin(right - x0, rng.Range(24, 56));
          const double inset = 2, h = rng.Range(0.3, 1.0);
          const double rx = x0 + inset, ry = y0 + inset, rw = lotW - 2 * inset,
                       rh = lotH - 2 * inset;
          // Shadow grows with the building's height.
          cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
          cairo_rectangle(cr, rx + 6 * h, ry + 6 * h, rw, rh);
          cairo_fill(cr);
          const int tone = rng.Int(4);
          const Rgb roof = tone == 0   ? Hex(0x343A48)
                           : tone == 1 ? Hex(0x40404A)
                           : tone == 2 ? Hex(0x2E3842)
                                       : Hex(0x463E36);
          cairo_pattern_t* g = cairo_pattern_create_linear(rx, ry, rx + rw, ry + rh);
          AddStop(g, 0, Mix(roof, Hex(0xFFFFFF), 0.12 + 0.1 * h));
          AddStop(g, 1, Scale(roof, 0.7));
          cairo_set_source(cr, g);
          cairo_rectangle(cr, rx, ry, rw, rh);
          cairo_fill(cr);
          cairo_pattern_destroy(g);
          // Parapet.
          cairo_set_line_width(cr, 1.2);
          SetRgb(cr, Mix(roof, Hex(0xFFFFFF), 0.3));
          cairo_rectangle(cr, rx + 0.6, ry + 0.6, rw - 1.2, rh - 1.2);
          cairo_stroke(cr);
          const int kind = rng.Int(12);
          if (kind == 0 && rw > 26 && rh > 26) {
            // Helipad.
            const double cx = rx + rw / 2, cy = ry + rh / 2, r = std::fmin(rw, rh) * 0.36;
            SetRgb(cr, Hex(0x2A2E36));
            cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
            cairo_fill_preserve(cr);
            SetRgb(cr, Hex(0xC8C070), 0.8);
            cairo_stroke(cr);
            SetRgb(cr, Hex(0xC8C8C8), 0.8);
            cairo_rectangle(cr, cx - r * 0.4, cy - r * 0.5, r * 0.18, r);
            cairo_rectangle(cr, cx + r * 0.22, cy - r * 0.5, r * 0.18, r);
            cairo_rectangle(cr, cx - r * 0.3, cy - r * 0.08, r * 0.6, r * 0.16);
            cairo_fill(cr);
          } else if (kind == 1) {
            // Neon rim on a tall tower.
            const Rgb neon = rng.Int(2) ? Hex(0x30E8FF) : Hex(0xFF40C0);
            cairo_set_line_width(cr, 3);
            SetRgb(cr, neon, 0.25);
            cairo_rectangle(cr, rx + 2, ry + 2, rw - 4, rh - 4);
            cairo_stroke(cr);
            cairo_set_line_width(cr, 1);
            SetRgb(cr, neon, 0.9);
            cairo_rectangle(cr, rx + 2, ry + 2, rw - 4, rh - 4);
            cairo_stroke(cr);
          } else if (kind < 6 && rw > 20 && rh > 16) {
            // Skylights: rows of warm lit panes.
            for (double wy = ry + 5; wy < ry + rh - 6; wy += 6)
              for (double wx = rx + 5; wx < rx + rw - 7; wx += 7) {
                SetRgb(cr, Hex(0xE8C070), rng.Int(3) ? 0.55 : 0.15);
                cairo_rectangle(cr, wx, wy, 4, 3);
                cairo_fill(cr);
              }
          } else {
            // Rooftop plant: vents and units.
            const int units = 1 + rng.Int(3);
            for (int u = 0; u < units; ++u) {
              const double uw = rng.Range(4, 9), uh = rng.Range(4, 9);
              const double ux = rng.Range(rx + 3, std::fmax(rx + 3, rx + rw - uw - 3));
              const double uy = rng.Range(ry + 3, std::fmax(ry + 3, ry + rh - uh - 3));
              SetRgb(cr, Hex(0x1A1C22), 0.6);
              cairo_rectangle(cr, ux + 1.5, uy + 1.5, uw, uh);
              cairo_fill(cr);
              SetRgb(cr, Mix(roof, Hex(0xFFFFFF), 0.2));
              cairo_rectangle(cr, ux, uy, uw, uh);
              cairo_fill(cr);
            }
          }
          if (rng.Int(3) == 0) {
            SetRgb(cr, Hex(0xFF3030));
            cairo_arc(cr, rx + rw - 4, ry + 4, 1.4, 0, 2 * kPi);
            cairo_fill(cr);
          }
          x0 += lotW;
        }
        y0 += lotH;
      }
    }
  }
  // Street lamps: warm pools of light along every road.
  auto lamp = [&](double x, double y) {
    Wrapped(cr, y, 8, kH, [&] {
      cairo_pattern_t* g = cairo_pattern_create_radial(x, y, 0, x, y, 7);
      AddStop(g, 0, Hex(0xFFE0A0), 0.55);
      AddStop(g, 1, Hex(0xFFB040), 0);
      cairo_set_source(cr, g);
      cairo_arc(cr, x, y, 7, 0, 2 * kPi);
      cairo_fill(cr);
      cairo_pattern_destroy(g);
    });
  };
  for (double ax : kAvenues)
    for (double y = 20; y < kH; y += 40) lamp(ax + (int(y) / 40 % 2 ? avenueHalf : -avenueHalf), y);
  for (double sy = 0; sy < kH; sy += kStreetStep)
    for (double x = 70; x < kW; x += 60) lamp(x, sy - streetHalf);
  // Traffic: headlights up one lane, tail lights down the other.
  for (double ax : kAvenues) {
    for (int car = 0; car < 5; ++car) {
      const double y = rng.Range(0, kH);
      const bool up = rng.Int(2) == 0;
      const double x = ax + (up ? 4 : -4);
      Wrapped(cr, y, 6, kH, [&] {
        SetRgb(cr, up ? Hex(0xFFF4D0) : Hex(0xFF3020), 0.95);
        cairo_arc(cr, x - 1.5, y, 0.9, 0, 2 * kPi);
        cairo_arc(cr, x + 1.5, y, 0.9, 0, 2 * kPi);
        cairo_fill(cr);
      });
    }
  }
  c.Preview(name, true);
  return WriteBmp(c.surface(), dir, name, 0);
}

// ------------------------------------------------------------------ volcano

// Black basalt split by glowing lava channels, with smoking craters.
bool Volcano(const char* dir, const char* name, uint32_t seed) {
  Canvas c(kW, kH);
  const Field rock = Wrap([&](double x, double y) {
    return 0.6 * Fbm(x, y, 6, 5, kH, seed + 1) + 0.4 * Ridged(x, y, 8, 3, kH, seed + 2);
  });
  // Lava runs along the zero lines of a warped noise layer: continuous
  // channels; a finer layer adds short glowing cracks.
  const Field lava = Wrap([&](double x, double y) {
    const double wx = 40 * Fbm(x, y, 4, 3, kH, seed + 4);
    const double wy = 40 * Fbm(x, y, 4, 3, kH, seed + 5);
    const double main = 1.0 - std::fabs(Noise(x + wx, y + wy, 3, kH, seed + 3));
    const double fine = 1.0 - std::fabs(Noise(x + wy, y + wx, 8, kH, seed + 6));
    // Lava only where the flow field lets it through, fine cracks rarer still.
    const double gate = Smooth(-0.25, 0.1, Fbm(x, y, 3, 2, kH, seed + 7));
    const double gateFine = Smooth(0.05, 0.35, Fbm(x, y, 4, 2, kH, seed + 8));
    return std::fmax(main * (0.86 + 0.14 * gate), fine * (0.85 + 0.14 * gateFine));
  });
  c.Shade([&](int x, int y) {
    const double lit = 0.45 + 0.7 * rock.Light(x, y, 160);
    Rgb basalt = Mix(Hex(0x1A1416), Hex(0x3E3438), 0.5 + 0.5 * rock.At(x, y));
    basalt = Scale(basalt, lit);
    const double l = lava.At(x, y);
    // Heat: a red glow around the channels, an orange-yellow core inside.
    const double heat = Smooth(0.90, 0.975, l);
    const double core = Smooth(0.972, 0.988, l);
    Rgb col = Add(basalt, Hex(0x901A06), 0.8 * heat);
    col = Mix(col, Hex(0xE05A10), core * 0.95);
    col = Mix(col, Hex(0xFFB030), Smooth(0.992, 1.0, l) * 0.7);
    return col;
  });
  cairo_t* cr = c.cr();
  Rng rng(seed + 61);
  struct Crater {
    double x, y, r;
  };
  const Crater craters[] = {{80, 130, 36}, {290, 340, 44}};
  for (const Crater& k : craters) {
    Wrapped(cr, k.y, k.r * 1.6, kH, [&] {
      // Cone: a broad dark ring, lit on the upper left.
      cairo_pattern_t* cone = cairo_pattern_create_radial(k.x - k.r * 0.4, k.y - k.r * 0.4,
                                                          k.r * 0.2, k.x, k.y, k.r * 1.6);
      AddStop(cone, 0, Hex(0x6A5A56), 0.9);
      AddStop(cone, 0.6, Hex(0x2A2224), 0.9);
      AddStop(cone, 1, Hex(0x1A1416), 0);
      cairo_set_source(cr, cone);
      cairo_arc(cr, k.x, k.y, k.r * 1.6, 0, 2 * kPi);
      cairo_fill(cr);
      cairo_pattern_destroy(cone);
      // Irregular vent: a dark throat with a glowing pool and crust floes.
      auto blob = [&](double r, double jag, uint64_t shape) {
        Rng jr(shape);
        for (int i = 0; i < 18; ++i) {
          const double a = i * 2 * kPi / 18, rr = r * (1 + jr.Range(-jag, jag));
          if (i == 0)
            cairo_move_to(cr, k.x + std::cos(a) * rr, k.y + std::sin(a) * rr);
          else
            cairo_line_to(cr, k.x + std::cos(a) * rr, k.y + std::sin(a) * rr);
        }
        cairo_close_path(cr);
      };
      const uint64_t shape = uint64_t(k.x * 131 + k.y);
      blob(k.r * 0.74, 0.12, shape);
      SetRgb(cr, Hex(0x140E10));
      cairo_fill(cr);
      blob(k.r * 0.6, 0.14, shape + 1);
      cairo_pattern_t* pool = cairo_pattern_create_radial(k.x, k.y, 0, k.x, k.y, k.r * 0.66);
      AddStop(pool, 0, Hex(0xFFA040));
      AddStop(pool, 0.6, Hex(0xE05810));
      AddStop(pool, 1, Hex(0x901C08));
      cairo_set_source(cr, pool);
      cairo_fill(cr);
      cairo_pattern_destroy(pool);
      // Crust floes on the lava lake, with the glow showing between them.
      Rng crust(shape + 2);
      cairo_save(cr);
      blob(k.r * 0.52, 0.12, shape + 1);
      cairo_clip(cr);
      for (int i = 0; i < 14; ++i) {
        const double a = crust.Range(0, 2 * kPi), d = crust.Range(0.0, 0.55) * k.r;
        const double px = k.x + std::cos(a) * d, py = k.y + std::sin(a) * d;
        const double sz = crust.Range(0.10, 0.2) * k.r;
        for (int j = 0; j < 6; ++j) {
          const double b2 = j * 2 * kPi / 6 + crust.Range(-0.3, 0.3);
          const double rr = sz * crust.Range(0.7, 1.2);
          if (j == 0)
            cairo_move_to(cr, px + std::cos(b2) * rr, py + std::sin(b2) * rr);
          else
            cairo_line_to(cr, px + std::cos(b2) * rr, py + std::sin(b2) * rr);
        }
        cairo_close_path(cr);
        SetRgb(cr, Mix(Hex(0x2A1A18), Hex(0x4A2A20), crust.Uniform()), 0.95);
        cairo_fill(cr);
      }
      cairo_restore(cr);
      // Smoke drifting to the lower right.
      for (int i = 0; i < 5; ++i) {
        const double sx = k.x + 8 + i * 7, sy = k.y + 6 + i * 9, sr = k.r * (0.3 + i * 0.12);
        cairo_pattern_t* smoke = cairo_pattern_create_radial(sx, sy, 0, sx, sy, sr);
        AddStop(smoke, 0, Hex(0x4A4446), 0.35 - i * 0.05);
        AddStop(smoke, 1, Hex(0x4A4446), 0);
        cairo_set_source(cr, smoke);
        cairo_arc(cr, sx, sy, sr, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_pattern_destroy(smoke);
      }
    });
  }
  c.Preview(name, true);
  return WriteBmp(c.surface(), dir, name, 0);
}

// ------------------------------------------------------------------ sky

// High above a sea of evening clouds, with glimpses of the ground far below.
// The cloud tops are "billow" noise (summed absolute values: round lumps with
// creases between them) on a broad coverage field, lit from the upper left.
bool CloudSea(const char* dir, const char* name, uint32_t seed) {
  Canvas c(kW, kH);
  auto coverage = [&](double x, double y) {
    const double wx = 24 * Fbm(x, y, 4, 2, kH, seed + 3);
    return Fbm(x + wx, y, 3, 4, kH, seed + 1, 0.5);
  };
  const Field cover = Wrap(coverage);
  const Field tops = Wrap([&](double x, double y) {
    double billow = 0, amp = 1, norm = 0;
    for (int o = 0; o < 3; ++o) {
      billow += amp * std::fabs(Noise(x, y, 6 << o, kH, seed + 20 + o));
      norm += amp;
      amp *= 0.5;
    }
    return 0.8 * coverage(x, y) + 0.35 * billow / norm;
  });
  c.Shade([&](int x, int y) {
    Rgb ground = Mix(Hex(0x0A1422), Hex(0x172A3C), 0.5 + 0.5 * Fbm(x, y, 8, 4, kH, seed + 2));
    // The cloud deck's shadow on the ground, towards the lower right.
    ground = Scale(ground, 1.0 - 0.5 * Smooth(-0.1, 0.05, cover.At(x - 14, y - 14)));
    const double d = cover.At(x, y);
    const double edge = Smooth(-0.08, 0.04, d);
    const double lit = Clamp01(0.5 + 1.5 * (tops.Light(x, y, 70) - 0.62));
    const double height = Smooth(-0.05, 0.45, d);
    Rgb cloud = Mix(Hex(0x2E3858), Hex(0x8A96C0), lit);
    cloud = Mix(cloud, Hex(0xB898A0), 0.35 * lit * height);  // evening light on the high tops
    cloud = Scale(cloud, 0.75 + 0.3 * height);
    // A thin haze layer over everything.
    const double haze = Smooth(0.45, 0.8, Fbm(x * 0.25, y, 24, 2, kH, seed + 5));
    return Mix(Mix(ground, cloud, edge), Hex(0x6A76A0), 0.15 * haze);
  });
  c.Preview(name, true);
  return WriteBmp(c.surface(), dir, name, 0);
}

// ------------------------------------------------------------------ fortress

// The armoured hull of the enemy fortress: plated decks on both sides of a
// glowing central trench, with hatches, vents, turret rings and lights.
bool Fortress(const char* dir, const char* name, uint32_t seed) {
  Canvas c(kW, kH);
  c.Shade([&](int x, int y) {
    return Mix(Hex(0x262C38), Hex(0x323A48), 0.5 + 0.5 * Fbm(x, y, 16, 3, kH, seed + 1));
  });
  cairo_t* cr = c.cr();
  Rng rng(seed + 71);
  const double trenchL = 150, trenchR = 230;
  const double plate = 40;  // 480 / 40 = 12 rows per period
  // Deck plates with bevels and rivets.
  for (double y = 0; y < kH; y += plate) {
    for (double x = 0; x < kW; x += plate) {
      if (x + plate > trenchL && x < trenchR) continue;
      const double tone = rng.Range(-0.06, 0.06);
      const Rgb base = Mix(Hex(0x3A4454), Hex(0x4A5466), 0.5 + tone * 5);
      cairo_pattern_t* g = cairo_pattern_create_linear(x, y, x + plate, y + plate);
      AddStop(g, 0, Mix(base, Hex(0xFFFFFF), 0.08));
      AddStop(g, 1, Scale(base, 0.8));
      cairo_set_source(cr, g);
      cairo_rectangle(cr, x + 1, y + 1, plate - 2, plate - 2);
      cairo_fill(cr);
      cairo_pattern_destroy(g);
      cairo_set_line_width(cr, 1);
      SetRgb(cr, Hex(0x6A7484), 0.7);
      cairo_move_to(cr, x + 1.5, y + plate - 1.5);
      cairo_line_to(cr, x + 1.5, y + 1.5);
      cairo_line_to(cr, x + plate - 1.5, y + 1.5);
      cairo_stroke(cr);
      SetRgb(cr, Hex(0x141820), 0.8);
      cairo_move_to(cr, x + plate - 1.5, y + 1.5);
      cairo_line_to(cr, x + plate - 1.5, y + plate - 1.5);
      cairo_line_to(cr, x + 1.5, y + plate - 1.5);
      cairo_stroke(cr);
      SetRgb(cr, Hex(0x8A94A4), 0.8);
      for (double rx : {x + 5, x + plate - 5})
        for (double ry : {y + 5, y + plate - 5}) {
          cairo_arc(cr, rx, ry, 1.1, 0, 2 * kPi);
          cairo_fill(cr);
        }
      const int feature = rng.Int(10);
      if (feature == 0) {
        // Vent slats.
        SetRgb(cr, Hex(0x12161C));
        cairo_rectangle(cr, x + 9, y + 9, plate - 18, plate - 18);
        cairo_fill(cr);
        SetRgb(cr, Hex(0x5A6474));
        for (double s = y + 11; s < y + plate - 10; s += 4) {
          cairo_rectangle(cr, x + 10, s, plate - 20, 1.5);
        }
        cairo_fill(cr);
      } else if (feature == 1) {
        // Round hatch.
        cairo_pattern_t* h = cairo_pattern_create_radial(x + 16, y + 16, 1, x + 20, y + 20, 13);
        AddStop(h, 0, Hex(0x6A7486));
        AddStop(h, 1, Hex(0x262C36));
        cairo_set_source(cr, h);
        cairo_arc(cr, x + 20, y + 20, 12, 0, 2 * kPi);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(h);
        SetRgb(cr, Hex(0x10141A));
        cairo_stroke(cr);
        SetRgb(cr, Hex(0xFFC030), 0.8);
        cairo_rectangle(cr, x + 18, y + 9, 4, 3);
        cairo_fill(cr);
      } else if (feature == 2) {
        // Hazard stripes.
        cairo_save(cr);
        cairo_rectangle(cr, x + 4, y + plate - 12, plate - 8, 7);
        cairo_clip(cr);
        SetRgb(cr, Hex(0x2A2A20));
        cairo_paint(cr);
        SetRgb(cr, Hex(0xC8A020));
        for (double s = x - 10; s < x + plate; s += 8) {
          cairo_move_to(cr, s, y + plate);
          cairo_line_to(cr, s + 4, y + plate);
          cairo_line_to(cr, s + 12, y + plate - 14);
          cairo_line_to(cr, s + 8, y + plate - 14);
          cairo_close_path(cr);
        }
        cairo_fill(cr);
        cairo_restore(cr);
      }
    }
  }
  // Trench walls and floor.
  cairo_pattern_t* floor = cairo_pattern_create_linear(trenchL, 0, trenchR, 0);
  AddStop(floor, 0, Hex(0x0C0F14));
  AddStop(floor, 0.2, Hex(0x161B24));
  AddStop(floor, 0.8, Hex(0x1A202A));
  AddStop(floor, 1, Hex(0x2A3240));
  cairo_set_source(cr, floor);
  cairo_rectangle(cr, trenchL, 0, trenchR - trenchL, kH);
  cairo_fill(cr);
  cairo_pattern_destroy(floor);
  for (double y = 0; y < kH; y += 20) {
    SetRgb(cr, Hex(0x222834));
    cairo_rectangle(cr, trenchL + 6, y + 2, trenchR - trenchL - 12, 16);
    cairo_fill(cr);
  }
  // Energy conduits along the trench floor.
  for (double cx : {trenchL + 22, trenchR - 22}) {
    for (int pass = 0; pass < 3; ++pass) {
      cairo_set_line_width(cr, 8 - pass * 3);
      SetRgb(cr, pass == 2 ? Hex(0xC8FFFF) : Hex(0x20C8FF), pass == 2 ? 0.9 : 0.25);
      cairo_move_to(cr, cx, 0);
      cairo_line_to(cr, cx, kH);
      cairo_stroke(cr);
    }
  }
  // Guide lights down the middle, every 48 rows.
  for (double y = 24; y < kH; y += 48) {
    cairo_pattern_t* g = cairo_pattern_create_radial(190, y, 0, 190, y, 9);
    AddStop(g, 0, Hex(0xFFE0E0));
    AddStop(g, 0.3, Hex(0xFF3040), 0.9);
    AddStop(g, 1, Hex(0xFF3040), 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, 190, y, 9, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  // Trench rims: bright edges with a shadow cast inwards.
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  cairo_rectangle(cr, trenchL, 0, 10, kH);
  cairo_fill(cr);
  SetRgb(cr, Hex(0x8A96A8));
  cairo_rectangle(cr, trenchL - 3, 0, 3, kH);
  cairo_rectangle(cr, trenchR, 0, 3, kH);
  cairo_fill(cr);
  // Turret rings on the decks (barrels removed: these are mounts).
  const double rings[][2] = {{60, 100}, {320, 210}, {80, 350}, {300, 450}};
  for (const auto& r : rings) {
    Wrapped(cr, r[1], 26, kH, [&] {
      cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
      cairo_arc(cr, r[0] + 4, r[1] + 4, 22, 0, 2 * kPi);
      cairo_fill(cr);
      cairo_pattern_t* g = cairo_pattern_create_radial(r[0] - 8, r[1] - 8, 2, r[0], r[1], 22);
      AddStop(g, 0, Hex(0x9AA4B4));
      AddStop(g, 0.7, Hex(0x4A5466));
      AddStop(g, 1, Hex(0x242A34));
      cairo_set_source(cr, g);
      cairo_arc(cr, r[0], r[1], 22, 0, 2 * kPi);
      cairo_fill(cr);
      cairo_pattern_destroy(g);
      SetRgb(cr, Hex(0x161A22));
      cairo_arc(cr, r[0], r[1], 11, 0, 2 * kPi);
      cairo_fill(cr);
      SetRgb(cr, Hex(0x30E0FF), 0.85);
      cairo_set_line_width(cr, 1.5);
      cairo_arc(cr, r[0], r[1], 15, 0, 2 * kPi);
      cairo_stroke(cr);
    });
  }
  c.Preview(name, true);
  return WriteBmp(c.surface(), dir, name, 0);
}

}  // namespace

bool WriteBackgrounds(const char* dir) {
  bool ok = Ice(dir, "BACK1.BMP", 101);
  ok = Sea(dir, "BACK2.BMP", 202) && ok;
  ok = Desert(dir, "BACK3.BMP", 303) && ok;
  ok = Forest(dir, "BACK4.BMP", 404) && ok;
  ok = City(dir, "BACK5.BMP", 505) && ok;
  ok = Volcano(dir, "BACK6.BMP", 606) && ok;
  ok = CloudSea(dir, "BACK7.BMP", 707) && ok;
  ok = Fortress(dir, "BACK8.BMP", 808) && ok;
  return ok;
}

}  // namespace assets
