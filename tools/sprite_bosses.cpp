// The eight bosses, "BOS11.BMP" to "BOS81.BMP", and the fly-by pictures
// "BOS111.BMP", "BOS511.BMP", "BOS711.BMP". A boss faces down the screen;
// its turrets stand where the game launches its bullet kinds, and its
// glowing reactor core sits inside the area the player's shots strike.
// Each boss has its own silhouette and accent colour over the common
// gunmetal.
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "tools/sprite_kit.h"
#include "tools/sprite_parts.h"

namespace assets {

namespace {

using kit::Hex;
using kit::Pt;
using kit::Rgb;

using Pts = std::initializer_list<Pt>;

constexpr Rgb kSteel = Hex(0x939db0);
constexpr Rgb kGunmetal = Hex(0x596273);
constexpr Rgb kDark = Hex(0x3a404c);

void Hull(cairo_t* cr, double cx, Pts half, Rgb base, double outline = 1.8) {
  kit::SmoothMirrorPath(cr, cx, half.begin(), int(half.size()));
  kit::FillAuto(cr, base, outline);
}

void SharpHull(cairo_t* cr, double cx, Pts half, Rgb base, double outline = 1.8) {
  kit::MirrorPath(cr, cx, half.begin(), int(half.size()));
  kit::FillAuto(cr, base, outline);
}

// A part right of the axis and its mirror image.
void Pair(cairo_t* cr, double cx, Pts pts, Rgb base, bool smooth = true, double outline = 1.6) {
  for (double side : {1.0, -1.0}) {
    if (smooth) {
      kit::SmoothPath(cr, pts.begin(), int(pts.size()), cx, 0, side);
    } else {
      kit::PolyPath(cr, pts.begin(), int(pts.size()), cx, 0, side);
    }
    kit::FillAuto(cr, side > 0 ? base : kit::Shade(base, 0.88), outline, side > 0 ? 0.35 : 0.6);
  }
}

void Plate(cairo_t* cr, double cx, Pts pts, Rgb c, double alpha = 1.0) {
  for (double side : {1.0, -1.0}) {
    kit::PolyPath(cr, pts.begin(), int(pts.size()), cx, 0, side);
    kit::SetColor(cr, side > 0 ? c : kit::Shade(c, 0.88), alpha);
    cairo_fill(cr);
  }
}

// Panel seams across a hull at the given heights, `half` wide.
void Seams(cairo_t* cr, double cx, double half, Pts rows, Rgb base) {
  for (const Pt& r : rows) kit::Seam(cr, {cx - half * r.x, r.y}, {cx + half * r.x, r.y}, base);
}

// Mirrored machinery inside (x0..x1, y0..y1) right of the axis: rows of
// armour blocks, vent grilles and lit hatches, so a large hull reads as
// detailed up close.
void Greebles(cairo_t* cr, double cx, double x0, double x1, double y0, double y1, int rows,
              uint64_t seed, Rgb base) {
  kit::Prng rng(seed);
  const double rowHeight = (y1 - y0) / std::max(1, rows);
  for (int row = 0; row < rows; ++row) {
    double y = y0 + row * rowHeight, h = rowHeight - 2;
    if (h < 3) break;
    double x = x0;
    while (x < x1 - 5) {
      double w = std::min(x1 - x, rng.Range(7, 18));
      int kind = int(rng.Next() % 3);
      for (double side : {1.0, -1.0}) {
        double left = side > 0 ? cx + x : cx - x - w;
        cairo_rectangle(cr, left + 0.5, y + 0.5, w - 1, h - 1);
        if (kind == 0) {  // armour block
          kit::FillMetal(cr, left, left + w, kit::Shade(base, 0.95), 0.8);
        } else if (kind == 1) {  // vent grille
          kit::FillMetal(cr, left, left + w, kit::Shade(base, 0.55), 0.8);
          for (double sy = y + 2.5; sy < y + h - 1.5; sy += 2.5) {
            cairo_move_to(cr, left + 2, sy);
            cairo_line_to(cr, left + w - 2, sy);
          }
          kit::Stroke(cr, kit::Shade(base, 0.3), 0.9);
        } else {  // hatch with a small light
          kit::FillMetal(cr, left, left + w, kit::Shade(base, 0.75), 0.8);
          kit::Lamp(cr, left + w / 2, y + h / 2, 1.1, Hex(0xffe8a0));
        }
      }
      x += w + 1;
    }
  }
}

void Cannon(cairo_t* cr, double x, double y0, double y1, double w, Rgb muzzle) {
  cairo_rectangle(cr, x - w / 2, y0, w, y1 - y0);
  kit::FillMetal(cr, x - w / 2, x + w / 2, kSteel, 1.0);
  cairo_rectangle(cr, x - w / 2 - 1.2, y1 - 4, w + 2.4, 4);
  kit::FillMetal(cr, x - w / 2 - 1.2, x + w / 2 + 1.2, kGunmetal, 0.9);
  kit::Glow(cr, x, y1, w * 0.8, muzzle, 0.9);
}

// Turret of radius r at (x, y) with one or two barrels pointing down.
void Turret(cairo_t* cr, double x, double y, double r, Rgb accent, int barrels = 2) {
  double bw = std::max(3.0, r * 0.32);
  if (barrels == 1) {
    Cannon(cr, x, y, y + r * 1.9, bw * 1.3, Hex(0xffe070));
  } else {
    for (double side : {-1.0, 1.0}) Cannon(cr, x + side * r * 0.38, y, y + r * 1.8, bw, Hex(0xffe070));
  }
  cairo_arc(cr, x, y, r + 2, 0, 2 * kit::kPi);
  kit::SetColor(cr, kDark);
  cairo_fill(cr);
  cairo_arc(cr, x, y, r, 0, 2 * kit::kPi);
  kit::FillDome(cr, x, y, r, accent, 1.2);
  cairo_arc(cr, x, y, r * 0.45, 0, 2 * kit::kPi);
  kit::FillDome(cr, x, y, r * 0.45, kGunmetal, 0.9);
  kit::Glow(cr, x, y, r * 0.3, Hex(0xffe0a0), 0.8);
}

// The reactor core: a glowing sphere in an armoured ring.
void Core(cairo_t* cr, double x, double y, double r, Rgb glow) {
  cairo_arc(cr, x, y, r * 1.35, 0, 2 * kit::kPi);
  kit::FillDome(cr, x, y, r * 1.35, kGunmetal, 1.6);
  for (int i = 0; i < 8; ++i) {
    double a = i * kit::kPi / 4;
    kit::Lamp(cr, x + r * 1.17 * std::cos(a), y + r * 1.17 * std::sin(a), std::max(1.2, r * 0.08),
              kit::Tint(glow, 0.5));
  }
  kit::Glow(cr, x, y, r * 1.1, glow, 1.0);
  cairo_arc(cr, x, y, r * 0.82, 0, 2 * kit::kPi);
  cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.25, y - r * 0.3, 0, x, y, r * 0.82);
  kit::AddStop(p, 0.0, {1, 1, 1});
  kit::AddStop(p, 0.35, kit::Tint(glow, 0.5));
  kit::AddStop(p, 1.0, glow);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

// Big engines on the top edge, exhaust pointing up and out of the picture.
void Engines(cairo_t* cr, double cx, Pts at, double w) {
  for (const Pt& e : at) {
    for (double side : {1.0, -1.0}) {
      if (e.x == 0 && side < 0) continue;
      double x = cx + side * e.x;
      kit::Flame(cr, x, e.y, w * 0.85, e.y + 2, -1, Hex(0xffb040), Hex(0xff5a1a));
      kit::Nozzle(cr, x, e.y + w * 0.3, w, w * 0.7, Hex(0xffc060));
    }
  }
}

void Lights(cairo_t* cr, double cx, Pts at, double r, Rgb c) {
  for (const Pt& p : at) {
    kit::Lamp(cr, cx + p.x, p.y, r, c);
    if (p.x != 0) kit::Lamp(cr, cx - p.x, p.y, r, c);
  }
}

void Bridge(cairo_t* cr, double x, double y, double rx, double ry, Rgb tint) {
  kit::GlowEllipse(cr, x, y, rx * 1.6, ry * 1.4, tint, 0.5);
  kit::Canopy(cr, x, y, rx, ry, tint);
}

// ---- the bosses

void Boss11(cairo_t* cr) {  // 380 x 380, crimson fortress
  const double cx = 190;
  const Rgb red = Hex(0xe02a36);
  Engines(cr, cx, {{34, 14}, {92, 22}}, 20);
  Pair(cr, cx, {{70, 220}, {126, 246}, {116, 336}, {92, 312}, {76, 264}}, kGunmetal);
  Pair(cr, cx, {{40, 44}, {180, 26}, {188, 62}, {182, 150}, {148, 196}, {58, 160}}, kGunmetal,
       false);
  Plate(cr, cx, {{140, 34}, {180, 28}, {186, 60}, {150, 66}}, red);
  Plate(cr, cx, {{100, 150}, {180, 140}, {150, 186}, {110, 176}}, kit::Shade(red, 0.75));
  Greebles(cr, cx, 86, 168, 74, 134, 4, 111, kGunmetal);
  Hull(cr, cx, {{0, 2}, {30, 6}, {58, 30}, {72, 120}, {66, 240}, {44, 320}, {20, 364}, {0, 376}},
       red, 2.0);
  Hull(cr, cx, {{0, 40}, {26, 46}, {40, 100}, {42, 214}, {30, 270}, {0, 290}}, kSteel, 1.4);
  Seams(cr, cx, 36, {{1, 70}, {1, 226}, {0.8, 250}}, kSteel);
  Plate(cr, cx, {{20, 236}, {44, 244}, {38, 300}, {20, 330}}, kit::Shade(red, 0.7));
  Cannon(cr, cx, 150, 214, 18, Hex(0xffe070));
  Core(cr, cx, 144, 24, Hex(0xff4a6a));
  for (double dx : {60.0, 120.0}) {
    Turret(cr, cx - dx, 98, 17, red);
    Turret(cr, cx + dx, 98, 17, red);
  }
  Bridge(cr, cx, 300, 10, 18, Hex(0xffb030));
  Lights(cr, cx, {{184, 60}, {122, 330}, {60, 40}, {30, 340}}, 2.4, Hex(0xfff0c0));
}

void Boss21(cairo_t* cr) {  // 360 x 340, emerald crab
  const double cx = 180;
  const Rgb green = Hex(0x2fcf6a);
  Engines(cr, cx, {{40, 12}, {100, 20}}, 18);
  // Legs behind the shell.
  for (double y : {90.0, 130.0, 170.0}) {
    Pair(cr, cx, {{100, y}, {172, y - 30}, {178, y - 20}, {110, y + 14}}, kGunmetal, false, 1.3);
  }
  // Claws.
  Pair(cr, cx,
       {{70, 150}, {140, 170}, {168, 240}, {156, 334}, {132, 290}, {118, 246}, {100, 300},
        {84, 230}},
       green);
  Plate(cr, cx, {{136, 200}, {156, 236}, {152, 300}, {140, 270}}, kit::Tint(green, 0.4), 0.9);
  // Shell.
  cairo_save(cr);
  cairo_translate(cr, cx, 120);
  cairo_scale(cr, 124, 104);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kit::kPi);
  cairo_restore(cr);
  kit::FillDome(cr, cx, 110, 124, green, 2.0);
  for (double k : {0.55, 0.8}) {
    cairo_save(cr);
    cairo_translate(cr, cx, 120);
    cairo_scale(cr, 124 * k, 104 * k);
    cairo_arc(cr, 0, 0, 1, kit::kPi * 1.05, kit::kPi * 1.95);
    cairo_restore(cr);
    kit::Stroke(cr, kit::Shade(green, 0.4), 1.6);
  }
  Greebles(cr, cx, 84, 120, 120, 168, 3, 21, kit::Shade(green, 0.9));
  Hull(cr, cx, {{0, 150}, {40, 156}, {52, 200}, {36, 236}, {0, 246}}, kSteel, 1.5);
  Cannon(cr, cx, 180, 212, 16, Hex(0xffe070));
  Core(cr, cx, 170, 22, Hex(0xff3a3a));
  for (double dx : {60.0}) {
    Turret(cr, cx - dx, 56, 15, green);
    Turret(cr, cx + dx, 56, 15, green);
    Turret(cr, cx - dx, 96, 13, green, 1);
    Turret(cr, cx + dx, 96, 13, green, 1);
  }
  Lights(cr, cx, {{0, 30}, {110, 110}, {96, 160}, {156, 326}}, 2.2, Hex(0xe8ffb0));
}

void Boss31(cairo_t* cr) {  // 440 x 380, golden twin-hull carrier
  const double cx = 220;
  const Rgb gold = Hex(0xf0aa1e);
  Engines(cr, cx, {{95, 14}, {30, 22}}, 22);
  // Deck joining the hulls.
  SharpHull(cr, cx, {{0, 30}, {120, 40}, {130, 250}, {80, 280}, {0, 286}}, kGunmetal, 1.6);
  Greebles(cr, cx, 60, 118, 190, 270, 5, 31, kGunmetal);
  // Twin hulls.
  Pair(cr, cx, {{62, 12}, {128, 12}, {140, 290}, {112, 372}, {82, 372}, {58, 290}}, gold);
  Plate(cr, cx, {{74, 40}, {116, 40}, {118, 70}, {72, 70}}, kit::Shade(gold, 0.7));
  Plate(cr, cx, {{80, 230}, {120, 230}, {112, 300}, {86, 300}}, kit::Shade(gold, 0.75));
  for (double y : {110.0, 140.0, 260.0, 320.0}) {
    kit::Seam(cr, {cx + 66, y}, {cx + 134, y}, gold);
    kit::Seam(cr, {cx - 134, y}, {cx - 66, y}, gold);
  }
  // Central command tower.
  Hull(cr, cx, {{0, 36}, {40, 44}, {58, 90}, {52, 200}, {30, 250}, {0, 262}}, kSteel, 1.5);
  Cannon(cr, cx, 150, 214, 16, Hex(0xffe070));
  Core(cr, cx, 138, 22, Hex(0x40e0ff));
  Turret(cr, cx, 70, 14, gold, 1);
  for (double dx : {50.0}) {
    Turret(cr, cx - dx, 104, 15, gold);
    Turret(cr, cx + dx, 104, 15, gold);
  }
  Turret(cr, cx - 80, 176, 15, gold);
  Turret(cr, cx + 80, 176, 15, gold);
  // Hangar bays: rows of landing lights down the hulls.
  for (double y = 196; y <= 356; y += 22) {
    kit::Lamp(cr, cx + 99, y, 1.8, Hex(0x80e8ff));
    kit::Lamp(cr, cx - 99, y, 1.8, Hex(0x80e8ff));
  }
  Bridge(cr, cx, 234, 9, 13, Hex(0x80e8ff));
}

void Boss41(cairo_t* cr) {  // 420 x 360, violet manta
  const double cx = 210;
  const Rgb violet = Hex(0x8e4cf0);
  Engines(cr, cx, {{40, 14}, {90, 24}}, 18);
  Hull(cr, cx,
       {{0, 8}, {60, 12}, {150, 34}, {206, 96}, {206, 150}, {150, 168}, {100, 220}, {60, 300},
        {20, 350}, {0, 356}},
       violet, 2.0);
  Plate(cr, cx, {{120, 40}, {160, 46}, {200, 100}, {180, 104}}, kit::Tint(violet, 0.45), 0.9);
  Plate(cr, cx, {{150, 150}, {200, 142}, {160, 160}}, kDark, 0.9);
  Greebles(cr, cx, 70, 150, 102, 142, 3, 41, kit::Shade(violet, 0.9));
  Hull(cr, cx, {{0, 24}, {34, 30}, {56, 90}, {54, 210}, {30, 290}, {0, 320}}, kGunmetal, 1.5);
  Seams(cr, cx, 44, {{1, 60}, {1, 230}, {0.6, 270}}, kGunmetal);
  Cannon(cr, cx, 150, 214, 16, Hex(0xffe070));
  Core(cr, cx, 140, 23, Hex(0xff4ad8));
  Turret(cr, cx - 30, 44, 13, violet, 1);
  Turret(cr, cx + 30, 44, 13, violet, 1);
  Turret(cr, cx - 60, 76, 15, violet);
  Turret(cr, cx + 60, 76, 15, violet);
  Turret(cr, cx - 120, 46, 15, violet);
  Turret(cr, cx + 120, 46, 15, violet);
  Bridge(cr, cx, 262, 9, 16, Hex(0xff80e0));
  Lights(cr, cx, {{204, 120}, {150, 164}, {100, 216}, {20, 346}}, 2.2, Hex(0xf0d0ff));
}

void Boss51(cairo_t* cr) {  // 360 x 400, azure cruiser
  const double cx = 180;
  const Rgb blue = Hex(0x2f86ff);
  Engines(cr, cx, {{0, 12}, {125, 40}}, 20);
  Pair(cr, cx, {{60, 60}, {170, 90}, {172, 140}, {60, 170}}, kGunmetal, false);
  Plate(cr, cx, {{140, 90}, {170, 94}, {170, 136}, {140, 140}}, blue);
  Pair(cr, cx, {{104, 32}, {146, 42}, {152, 230}, {134, 272}, {108, 230}}, blue);
  Pair(cr, cx, {{70, 220}, {110, 260}, {100, 340}, {80, 320}}, kGunmetal);
  Hull(cr, cx, {{0, 2}, {40, 10}, {70, 60}, {80, 200}, {60, 330}, {30, 390}, {0, 398}}, blue,
       2.0);
  Hull(cr, cx, {{0, 30}, {30, 40}, {46, 90}, {46, 220}, {30, 280}, {0, 300}}, kSteel, 1.4);
  Seams(cr, cx, 40, {{1, 110}, {1, 230}, {0.6, 260}}, kSteel);
  Greebles(cr, cx, 14, 40, 232, 292, 4, 51, kSteel);
  Cannon(cr, cx, 150, 214, 16, Hex(0xffe070));
  Core(cr, cx, 140, 22, Hex(0x40f0ff));
  Turret(cr, cx - 20, 70, 12, blue, 1);
  Turret(cr, cx + 20, 70, 12, blue, 1);
  Turret(cr, cx - 50, 76, 14, blue);
  Turret(cr, cx + 50, 76, 14, blue);
  Turret(cr, cx - 125, 120, 13, blue);
  Turret(cr, cx + 125, 120, 13, blue);
  Bridge(cr, cx, 330, 10, 18, Hex(0x80ffe8));
  Lights(cr, cx, {{170, 116}, {128, 266}, {90, 336}, {0, 392}}, 2.2, Hex(0xd0f0ff));
}

void Boss61(cairo_t* cr) {  // 480 x 390, bronze fortress with four heavy guns
  const double cx = 240;
  const Rgb bronze = Hex(0xe07a28);
  Engines(cr, cx, {{40, 12}, {110, 16}, {180, 28}}, 22);
  SharpHull(cr, cx,
            {{0, 4}, {120, 8}, {200, 40}, {236, 110}, {232, 220}, {170, 300}, {90, 356},
             {0, 386}},
            kGunmetal, 2.0);
  Plate(cr, cx, {{150, 40}, {200, 44}, {230, 110}, {180, 104}}, bronze);
  Plate(cr, cx, {{160, 230}, {228, 222}, {170, 296}, {140, 280}}, kit::Shade(bronze, 0.8));
  Greebles(cr, cx, 112, 222, 118, 218, 7, 61, kGunmetal);
  Hull(cr, cx, {{0, 24}, {70, 34}, {104, 110}, {96, 250}, {60, 320}, {0, 350}}, bronze, 1.8);
  Hull(cr, cx, {{0, 60}, {40, 66}, {56, 120}, {50, 230}, {0, 260}}, kSteel, 1.4);
  Seams(cr, cx, 90, {{1, 270}, {0.7, 300}}, bronze);
  Cannon(cr, cx, 150, 214, 18, Hex(0xffe070));
  Core(cr, cx, 140, 26, Hex(0xffd040));
  for (double dx : {40.0, 120.0}) {
    Turret(cr, cx - dx, 78, 22, bronze);
    Turret(cr, cx + dx, 78, 22, bronze);
  }
  Bridge(cr, cx, 300, 12, 18, Hex(0x60f0ff));
  Lights(cr, cx, {{230, 160}, {170, 300}, {90, 352}, {60, 20}}, 2.4, Hex(0xfff0c0));
}

void Boss71(cairo_t* cr) {  // 500 x 440, magenta mothership
  const double cx = 250;
  const Rgb magenta = Hex(0xd8309a);
  Engines(cr, cx, {{60, 26}, {150, 40}}, 22);
  // Lower spire.
  SharpHull(cr, cx, {{0, 200}, {70, 250}, {44, 400}, {0, 436}}, kGunmetal, 1.8);
  Pair(cr, cx, {{60, 260}, {130, 300}, {110, 380}, {70, 350}}, magenta);
  // The saucer.
  cairo_save(cr);
  cairo_translate(cr, cx, 170);
  cairo_scale(cr, 244, 146);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kit::kPi);
  cairo_restore(cr);
  kit::FillDome(cr, cx, 150, 244, kGunmetal, 2.2);
  cairo_save(cr);
  cairo_translate(cr, cx, 170);
  cairo_scale(cr, 200, 118);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kit::kPi);
  cairo_restore(cr);
  kit::FillDome(cr, cx, 150, 200, magenta, 1.8);
  Greebles(cr, cx, 90, 180, 200, 246, 3, 71, kit::Shade(magenta, 0.9));
  for (int i = 0; i < 16; ++i) {
    double a = i * kit::kPi / 8;
    kit::Lamp(cr, cx + 224 * std::cos(a), 170 + 133 * std::sin(a), 2.4, Hex(0xffd0f0));
  }
  Hull(cr, cx, {{0, 40}, {60, 50}, {84, 110}, {76, 210}, {40, 262}, {0, 272}}, kSteel, 1.5);
  Cannon(cr, cx, 160, 214, 18, Hex(0xffe070));
  Core(cr, cx, 146, 30, Hex(0xff40c0));
  Turret(cr, cx - 30, 82, 16, magenta);
  Turret(cr, cx + 30, 82, 16, magenta);
  Turret(cr, cx - 120, 82, 18, magenta);
  Turret(cr, cx + 120, 82, 18, magenta);
  Turret(cr, cx - 180, 150, 14, magenta, 1);
  Turret(cr, cx + 180, 150, 14, magenta, 1);
  Bridge(cr, cx, 240, 11, 16, Hex(0xffe070));
}

void Boss81(cairo_t* cr) {  // 420 x 360, the last boss: white and gold
  const double cx = 210;
  const Rgb pearl = Hex(0xe4e8f2);
  const Rgb gold = Hex(0xf2c040);
  Engines(cr, cx, {{36, 14}, {110, 30}}, 20);
  // Three tiers of blade wings, spread like feathers.
  Pair(cr, cx, {{60, 150}, {196, 210}, {200, 240}, {70, 200}}, gold);
  Pair(cr, cx, {{60, 100}, {206, 130}, {208, 160}, {66, 150}}, pearl);
  Pair(cr, cx, {{50, 40}, {190, 40}, {204, 70}, {60, 100}}, pearl);
  Plate(cr, cx, {{150, 44}, {190, 42}, {202, 68}, {160, 70}}, Hex(0x30d8ff));
  Plate(cr, cx, {{160, 128}, {206, 134}, {207, 156}, {170, 150}}, Hex(0x30d8ff));
  Hull(cr, cx, {{0, 6}, {40, 12}, {74, 60}, {80, 200}, {60, 290}, {30, 340}, {0, 356}}, pearl,
       2.0);
  Hull(cr, cx, {{0, 30}, {28, 36}, {50, 80}, {50, 210}, {30, 270}, {0, 290}}, gold, 1.5);
  Hull(cr, cx, {{0, 50}, {20, 56}, {34, 100}, {34, 200}, {20, 240}, {0, 250}}, kSteel, 1.2);
  Pair(cr, cx, {{40, 250}, {90, 300}, {70, 350}, {50, 310}}, gold);
  Cannon(cr, cx, 150, 214, 16, Hex(0xa0f0ff));
  Core(cr, cx, 140, 24, Hex(0x30d8ff));
  Turret(cr, cx - 40, 80, 16, gold);
  Turret(cr, cx + 40, 80, 16, gold);
  Turret(cr, cx - 120, 80, 16, gold);
  Turret(cr, cx + 120, 80, 16, gold);
  Bridge(cr, cx, 270, 9, 15, Hex(0x30d8ff));
  Lights(cr, cx, {{204, 60}, {206, 150}, {198, 230}, {70, 346}}, 2.4, Hex(0xa0f0ff));
}

// Fly-by picture: a huge carrier climbing past underneath the player before
// the boss arrives, nose up, exhaust at the bottom. 480 x 480.
void FlyBy(cairo_t* cr, Rgb accent, uint64_t seed) {
  const double cx = 240;
  cairo_save(cr);
  // Drawn nose down like every ship, then turned to climb.
  cairo_translate(cr, 480, 480);
  cairo_rotate(cr, kit::kPi);
  Pair(cr, cx, {{70, 120}, {200, 170}, {206, 260}, {180, 300}, {80, 280}}, kGunmetal, false);
  Plate(cr, cx, {{150, 160}, {200, 172}, {204, 250}, {156, 240}}, accent);
  Greebles(cr, cx, 90, 186, 184, 268, 6, seed, kGunmetal);
  Pair(cr, cx, {{96, 20}, {150, 30}, {160, 380}, {130, 440}, {100, 380}}, kSteel);
  Plate(cr, cx, {{108, 60}, {148, 66}, {150, 100}, {106, 98}}, accent);
  Hull(cr, cx, {{0, 0}, {60, 10}, {92, 80}, {96, 360}, {70, 440}, {0, 478}}, accent, 2.2);
  Hull(cr, cx, {{0, 40}, {44, 50}, {62, 110}, {62, 360}, {40, 420}, {0, 440}}, kGunmetal, 1.6);
  Greebles(cr, cx, 8, 56, 140, 340, 8, seed + 1, kSteel);
  for (double y = 130; y <= 350; y += 40) kit::Seam(cr, {cx - 60, y}, {cx + 60, y}, kGunmetal);
  for (double y = 80; y <= 370; y += 26) {
    kit::Lamp(cr, cx + 128, y, 2.2, Hex(0xfff0c0));
    kit::Lamp(cr, cx - 128, y, 2.2, Hex(0xfff0c0));
  }
  Bridge(cr, cx, 400, 14, 26, Hex(0x60f0ff));
  cairo_restore(cr);
  // Exhaust at the bottom edge.
  for (double dx : {-125.0, -40.0, 40.0, 125.0}) {
    kit::Flame(cr, cx + dx, 440, 26, 40, 1, Hex(0xffc050), Hex(0xff6a1a));
    kit::Nozzle(cr, cx + dx, 444, 28, 16, Hex(0xffc060));
  }
}

struct Boss {
  const char* name;
  int width, height;
  void (*paint)(cairo_t*);
};

constexpr Boss kBosses[] = {
    {"BOS11.BMP", 380, 380, Boss11},
    {"BOS21.BMP", 360, 340, Boss21},
    {"BOS31.BMP", 440, 380, Boss31},
    {"BOS41.BMP", 420, 360, Boss41},
    {"BOS51.BMP", 360, 400, Boss51},
    {"BOS61.BMP", 480, 390, Boss61},
    {"BOS71.BMP", 500, 440, Boss71},
    {"BOS81.BMP", 420, 360, Boss81},
    {"BOS111.BMP", 480, 480, [](cairo_t* cr) { FlyBy(cr, Hex(0xe02a36), 111); }},
    {"BOS511.BMP", 480, 480, [](cairo_t* cr) { FlyBy(cr, Hex(0x2f86ff), 511); }},
    {"BOS711.BMP", 480, 480, [](cairo_t* cr) { FlyBy(cr, Hex(0xd8309a), 711); }},
};

}  // namespace

bool WriteBossSprites(const char* dir) {
  bool ok = true;
  for (const Boss& boss : kBosses) {
    kit::Canvas c(boss.width, boss.height);
    boss.paint(c.cr());
    ok = c.Save(dir, boss.name) && ok;
  }
  return ok;
}

}  // namespace assets
