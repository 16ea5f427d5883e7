// Explosions, flames and sparks. An explosion sheet is one fireball seen at
// successive moments: a white flash that swells into yellow and orange
// billows, throws sparks and a shock ring, then cools to red embers and
// dark smoke. The blobs of a fireball keep their places from frame to frame
// (one seed per sheet), so the sequence animates as one cloud.
#include <algorithm>
#include <cmath>

#include "tools/sprite_kit.h"
#include "tools/sprite_parts.h"

namespace assets {

namespace {

using kit::Hex;
using kit::Rgb;

// Colour of fire at heat h: 1 white-hot, 0.8 yellow, 0.6 orange, 0.4 red,
// 0.2 ember, 0 smoke.
Rgb Heat(double h, Rgb smoke) {
  static const Rgb kRamp[] = {{0.30, 0.27, 0.27}, Hex(0x7a2410), Hex(0xe0400e),
                              Hex(0xff8a1a),      Hex(0xffe060), {1, 1, 0.92}};
  h = std::clamp(h, 0.0, 1.0) * 5;
  int i = std::min(4, int(h));
  Rgb a = i == 0 ? smoke : kRamp[i];
  return kit::Mix(a, kRamp[i + 1], h - i);
}

struct BlastStyle {
  uint64_t seed;
  double reach;      // final radius as a fraction of the half cell
  int blobs;
  int sparks;
  Rgb smoke;         // the colour the fire cools to
  Rgb spark;         // spark and ring colour
  bool ring;
};

// One moment t (0 = flash, 1 = last wisps) of a fireball centred in a
// square cell of side `size`.
void Fireball(cairo_t* cr, double size, double t, const BlastStyle& s) {
  const double c = size / 2;
  const double grow = 1 - (1 - t) * (1 - t) * (1 - t);
  // Swells fast, then the smoke keeps spreading slowly and rises a little.
  const double R = c * s.reach * (0.22 + 0.62 * grow + 0.16 * t);
  const double rise = R * 0.18 * t * t;
  const double heat = 1.0 - 0.9 * std::pow(t, 1.4);
  kit::Prng rng(s.seed);
  // Keeps a disc of radius r at (x, y) two pixels inside the cell, so no
  // billow is cut off by the cell's edge.
  auto fit = [&](double& x, double& y, double& r) {
    r = std::min(r, c - 2);
    double dx = x - c, dy = y - c, d = std::hypot(dx, dy), room = c - 2 - r;
    if (d > room && d > 0) {
      x = c + dx * room / d;
      y = c + dy * room / d;
    }
  };
  // Shock ring in the first third.
  if (s.ring && t < 0.45) {
    double rr = R * (1.05 + 0.5 * t);
    cairo_arc(cr, c, c, std::min(rr, c - 1.5), 0, 2 * kit::kPi);
    kit::Stroke(cr, kit::Tint(s.spark, 0.4), 2.4 * (1 - t * 1.6), 0.95);
  }
  // Billows, hotter towards the centre; late in the sequence they thin out
  // and break apart into separate puffs.
  for (int i = 0; i < s.blobs; ++i) {
    double a = rng.Range(0, 2 * kit::kPi);
    double d = rng.Range(0.15, 0.58) * (0.6 + 0.4 * grow + 0.35 * t * t);
    double r = rng.Range(0.38, 0.6) * (1 - 0.3 * t * t);
    double bh = heat - rng.Range(0.0, 0.25);
    double x = c + R * d * std::cos(a), y = c + R * d * std::sin(a) - rise;
    double br = R * r;
    fit(x, y, br);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - br * 0.2, y - br * 0.25, 0, x, y, br);
    double fade = t < 0.6 ? 1.0 : 1.0 - (t - 0.6) * 1.1;
    kit::AddStop(p, 0.0, Heat(bh + 0.2, s.smoke), fade);
    kit::AddStop(p, 0.6, Heat(bh, s.smoke), fade);
    kit::AddStop(p, 0.85, Heat(bh - 0.2, s.smoke), 0.8 * fade);
    kit::AddStop(p, 1.0, Heat(bh - 0.3, s.smoke), 0.0);
    cairo_arc(cr, x, y, br, 0, 2 * kit::kPi);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  // Hot core while the fire burns.
  if (t < 0.7) kit::Glow(cr, c, c, R * (0.55 - 0.5 * t), Heat(heat, s.smoke), 1.0 - t * 0.8);
  // Sparks fly out and burn down.
  kit::Prng srng(s.seed * 7 + 1);
  for (int i = 0; i < s.sparks && t <= 0.85; ++i) {
    double a = srng.Range(0, 2 * kit::kPi);
    double speed = srng.Range(0.6, 1.0);
    double d0 = c * 0.2 + (c * 0.85 - c * 0.2) * grow * speed;
    double len = c * 0.22 * (1 - t);
    double x0 = c + d0 * std::cos(a), y0 = c + d0 * std::sin(a);
    double x1 = c + (d0 - len) * std::cos(a), y1 = c + (d0 - len) * std::sin(a);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x0, y0);
    kit::Stroke(cr, s.spark, 1.8, 0.9);
    kit::Glow(cr, x0, y0, 1.8 + 1.2 * (1 - t), kit::Tint(s.spark, 0.3), 1.0);
  }
  // Embers glinting in the smoke, different in every frame.
  if (t > 0.55) {
    kit::Prng erng(s.seed * 13 + uint64_t(t * 1000));
    for (int i = 0; i < 7; ++i) {
      double x = c + erng.Range(-0.7, 0.7) * R, y = c + erng.Range(-0.7, 0.7) * R - rise;
      double r = 2.4;
      fit(x, y, r);
      kit::Glow(cr, x, y, r, Hex(0xffa040), 1.25 - t * 0.5);
    }
  }
}

// A row of `cells` square cells of side `size`: the fireball from moment t0
// in the first cell to t1 in the last.
bool BlastSheet(const char* dir, const char* name, int cells, int size, const BlastStyle& s,
                double t0 = 0, double t1 = 1) {
  kit::Canvas c(cells * size, size);
  for (int n = 0; n < cells; ++n) {
    kit::CellScope cell(c.cr(), n * size, 0, size, size);
    Fireball(c.cr(), size, t0 + (t1 - t0) * n / (cells - 1), s);
  }
  return c.Save(dir, name);
}

// "GFBAK1.BMP": the game-over burst flame, 2 rows of 8 cells of 60 x 60.
// The game plays (0,0) to (7,0) and then (1,1) to (7,1): one 15-frame cycle
// of a flame ball that flares up and dies down. Cell (0,1), never shown,
// holds the frame between the two rows.
bool BurstSheet(const char* dir) {
  kit::Canvas c(8 * 60, 2 * 60);
  const BlastStyle s{41, 0.95, 7, 0, Hex(0x5a2a1a), Hex(0xffd060), false};
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 8; ++col) {
      double frame = row == 0 ? col : (col == 0 ? 7.5 : 7 + col);
      double t = frame / 14.0;
      kit::CellScope cell(c.cr(), col * 60, row * 60, 60, 60);
      // Flares up, then cools and shrinks away over the last frames.
      double shrink = frame < 9 ? 1.0 : 1.0 - (frame - 9) * 0.07;
      cairo_translate(c.cr(), 30, 30);
      cairo_scale(c.cr(), shrink, shrink);
      cairo_translate(c.cr(), -30, -30);
      Fireball(c.cr(), 60, 0.16 + t * 0.84, s);
    }
  }
  return c.Save(dir, "GFBAK1.BMP");
}

// "SUNDER1.BMP": seven 80 x 80 cells of electric sparks thrown off a boss
// when it is hit: forked lightning around a white flash.
bool SparkSheet(const char* dir) {
  kit::Canvas c(7 * 80, 80);
  cairo_t* cr = c.cr();
  const Rgb bolt = Hex(0x7ad8ff);
  for (int n = 0; n < 7; ++n) {
    kit::CellScope cell(cr, n * 80, 0, 80, 80);
    kit::Prng rng(900 + n);
    double size = 0.55 + 0.45 * std::sin((n + 1) * kit::kPi / 8);
    kit::Glow(cr, 40, 40, 14 * size + 4, Hex(0x5ab0ff), 0.9);
    int arms = 5 + n % 3;
    for (int arm = 0; arm < arms; ++arm) {
      double a = arm * 2 * kit::kPi / arms + rng.Range(-0.4, 0.4);
      double x = 40, y = 40;
      cairo_move_to(cr, x, y);
      int steps = 5;
      for (int k = 0; k < steps; ++k) {
        double step = 36.0 * size / steps;
        a += rng.Range(-0.7, 0.7);
        x += step * std::cos(a);
        y += step * std::sin(a);
        cairo_line_to(cr, x, y);
      }
      cairo_path_t* path = cairo_copy_path(cr);
      kit::Stroke(cr, bolt, 3.2, 0.9);
      cairo_append_path(cr, path);
      kit::Stroke(cr, {1, 1, 1}, 1.3);
      cairo_path_destroy(path);
      kit::Glow(cr, x, y, 2.6, bolt, 1.0);
    }
    kit::Glow(cr, 40, 40, 8 * size + 2, {1, 1, 1}, 1.0);
  }
  return c.Save(dir, "SUNDER1.BMP");
}

// "ZFIRE1.BMP": twenty 20 x 70 cells of the exhaust flame above a ZAK1
// ship, nozzle at the bottom, flickering through one cycle.
bool ExhaustSheet(const char* dir) {
  kit::Canvas c(20 * 20, 70);
  cairo_t* cr = c.cr();
  for (int n = 0; n < 20; ++n) {
    kit::CellScope cell(cr, n * 20, 0, 20, 70);
    double ph = n * 2 * kit::kPi / 20;
    double len = 46 + 7 * std::sin(3 * ph) + 4 * std::sin(7 * ph + 1);
    double w = 12 + 1.5 * std::sin(5 * ph);
    kit::GlowEllipse(cr, 10, 64, 8, 8, Hex(0xff7020), 0.7);
    kit::Flame(cr, 10, 68, w, len, -1, Hex(0xffd040), Hex(0xff4a10));
    // A spark shed upwards at a different place each frame.
    double sy = 68 - len - 4 - 6 * ((n * 7) % 5);
    if (sy > 2) kit::Glow(cr, 10 + 3 * std::sin(2 * ph), sy, 1.8, Hex(0xffb040), 0.9);
  }
  return c.Save(dir, "ZFIRE1.BMP");
}

}  // namespace

bool WriteEffectSprites(const char* dir) {
  // The player's ship bursts with cyan sparks; enemies in plain fire; the
  // boss explosions are larger and slower to cool.
  const BlastStyle player{11, 0.95, 10, 12, Hex(0x4a4660), Hex(0x9ff0ff), true};
  const BlastStyle small{23, 0.9, 8, 8, Hex(0x5a4a40), Hex(0xffe070), true};
  const BlastStyle medium{29, 0.95, 9, 10, Hex(0x4a4038), Hex(0xffd050), true};
  const BlastStyle large{31, 0.95, 10, 12, Hex(0x5a4038), Hex(0xfff0a0), true};
  const BlastStyle boss{37, 0.98, 14, 14, Hex(0x5a3a30), Hex(0xffe080), true};
  bool ok = BlastSheet(dir, "FBAK1.BMP", 10, 80, player);
  ok = BlastSheet(dir, "ZBAK1.BMP", 10, 60, small) && ok;
  ok = BlastSheet(dir, "ZBAK2.BMP", 8, 80, medium) && ok;
  ok = BlastSheet(dir, "ZBAK3.BMP", 10, 80, large) && ok;
  // The boss's large explosions jump to a new place every frame and show
  // all four cells in turn: each is a full fireball.
  ok = BlastSheet(dir, "BBAK1.BMP", 4, 160, boss, 0.2, 0.8) && ok;
  ok = BurstSheet(dir) && ok;
  ok = SparkSheet(dir) && ok;
  ok = ExhaustSheet(dir) && ok;
  return ok;
}

}  // namespace assets
