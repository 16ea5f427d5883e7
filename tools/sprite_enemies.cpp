// The enemy ships, "ZAK*.BMP". Every ship faces down the screen (nose at the
// bottom, engines at the top), is painted in gunmetal with the saturated
// accent colour of its group, and carries its gun where the game launches
// its bullets. Each picture is exactly the ship cell the game cuts; the
// groups that are loaded but never drawn get ships of the same family.
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

constexpr Rgb kSteel = Hex(0x8e98aa);
constexpr Rgb kGunmetal = Hex(0x5a6374);
constexpr Rgb kEye = Hex(0xff3458);
constexpr Rgb kExhaust = Hex(0xffa03a);
constexpr Rgb kExhaustEdge = Hex(0xff5a1a);

using Pts = std::initializer_list<Pt>;

// Symmetric hull about x = cx from its right half (offsets from the axis).
void Hull(cairo_t* cr, double cx, Pts half, Rgb base, bool smooth = false,
          double outline = 1.2) {
  if (smooth) {
    kit::SmoothMirrorPath(cr, cx, half.begin(), int(half.size()));
  } else {
    kit::MirrorPath(cr, cx, half.begin(), int(half.size()));
  }
  kit::FillAuto(cr, base, outline);
}

// A part on the right of the axis (offsets from cx) and its mirror on the
// left: wings, pods, fins.
void Pair(cairo_t* cr, double cx, Pts pts, Rgb base, bool smooth = false,
          double outline = 1.1) {
  for (double side : {1.0, -1.0}) {
    if (smooth) {
      kit::SmoothPath(cr, pts.begin(), int(pts.size()), cx, 0, side);
    } else {
      kit::PolyPath(cr, pts.begin(), int(pts.size()), cx, 0, side);
    }
    // Light from the upper left: the left copy is a little darker.
    kit::FillAuto(cr, side > 0 ? base : kit::Shade(base, 0.86), outline, side > 0 ? 0.38 : 0.6);
  }
}

// Flat coloured plate (no metal sheen), mirrored.
void Plate(cairo_t* cr, double cx, Pts pts, Rgb c, double alpha = 1.0) {
  for (double side : {1.0, -1.0}) {
    kit::PolyPath(cr, pts.begin(), int(pts.size()), cx, 0, side);
    kit::SetColor(cr, side > 0 ? c : kit::Shade(c, 0.88), alpha);
    cairo_fill(cr);
  }
}

void Eye(cairo_t* cr, double x, double y, double rx, double ry, Rgb c) {
  kit::GlowEllipse(cr, x, y, rx * 1.6, ry * 1.4, c, 0.5);
  kit::Canopy(cr, x, y, rx, ry, c);
}

// A gun barrel pointing down from y0 to y1 with a hot muzzle.
void Cannon(cairo_t* cr, double x, double y0, double y1, double w, Rgb muzzle = Hex(0xffe070)) {
  cairo_rectangle(cr, x - w / 2, y0, w, y1 - y0);
  kit::FillMetal(cr, x - w / 2, x + w / 2, kSteel, 0.9);
  cairo_rectangle(cr, x - w / 2 - 0.8, y1 - 2.5, w + 1.6, 2.5);
  kit::FillMetal(cr, x - w / 2 - 0.8, x + w / 2 + 0.8, kGunmetal, 0.7);
  kit::Glow(cr, x, y1, w * 0.75, muzzle, 0.85);
}

// Round turret with its barrel.
void Turret(cairo_t* cr, double x, double y, double r, double barrel, Rgb base) {
  Cannon(cr, x, y, y + r + barrel, std::max(2.5, r * 0.45));
  cairo_arc(cr, x, y, r, 0, 2 * kit::kPi);
  kit::FillDome(cr, x, y, r, base, 1.0);
  kit::Glow(cr, x, y, r * 0.35, Hex(0xffd0a0), 0.7);
}

// Engine at the top of a ship: nozzle and a short exhaust pointing up.
void Engine(cairo_t* cr, double x, double y, double w, double len) {
  kit::Flame(cr, x, y, w * 0.85, len, -1, kExhaust, kExhaustEdge, 0.95);
  kit::Nozzle(cr, x, y + w * 0.25, w, w * 0.6, Hex(0xffc060));
}

void Lights(cairo_t* cr, Pts at, double r, Rgb c) {
  for (const Pt& p : at) kit::Lamp(cr, p.x, p.y, r, c);
}

// ---- the painters, one per ship family

void Dart(cairo_t* cr, Rgb accent) {  // 60 x 70, its flame above it
  const double cx = 30;
  kit::Nozzle(cr, cx, 7, 11, 6, Hex(0xffc060));
  Pair(cr, cx, {{5, 28}, {23, 13}, {28, 15}, {27, 23}, {8, 46}}, kGunmetal);
  Plate(cr, cx, {{12, 25}, {23, 16}, {26, 18}, {14, 30}}, kit::Tint(accent, 0.2));
  Hull(cr, cx, {{0, 3}, {6, 4}, {8.5, 14}, {9, 30}, {7.5, 46}, {4, 60}, {0, 68}}, accent, true);
  kit::Seam(cr, {cx - 6, 22}, {cx + 6, 22}, accent);
  kit::Seam(cr, {cx - 6, 32}, {cx + 6, 32}, accent);
  Eye(cr, cx, 46, 3.6, 7, Hex(0xffb020));
  Lights(cr, {{cx - 26, 18}, {cx + 26, 18}}, 1.3, Hex(0xfff0c0));
}

void Saucer(cairo_t* cr, Rgb accent) {  // 60 x 60
  const double cx = 30, cy = 27;
  for (Pt p : {Pt{8, 22}, Pt{52, 22}, Pt{30, 6}}) {
    cairo_arc(cr, p.x, p.y, 6, 0, 2 * kit::kPi);
    kit::FillDome(cr, p.x, p.y, 6, kSteel, 1.0);
    kit::Lamp(cr, p.x, p.y, 1.8, kit::Tint(accent, 0.3));
  }
  Cannon(cr, cx, 38, 54, 5);
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, 22, 19);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kit::kPi);
  cairo_restore(cr);
  kit::FillDome(cr, cx, cy, 22, accent, 1.3);
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, 16, 13.5);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kit::kPi);
  cairo_restore(cr);
  kit::Stroke(cr, kit::Shade(accent, 0.35), 1.2);
  for (int i = 0; i < 8; ++i) {
    double a = i * kit::kPi / 4 + kit::kPi / 8;
    kit::Lamp(cr, cx + 19 * std::cos(a), cy + 16 * std::sin(a), 1.1, Hex(0xfff7a0));
  }
  Eye(cr, cx, cy - 1, 7, 6, kit::Tint(accent, 0.35));
}

void Fighter(cairo_t* cr, Rgb accent, Rgb eye) {  // 80 x 80
  const double cx = 40;
  Engine(cr, cx - 7, 8, 8, 8);
  Engine(cr, cx + 7, 8, 8, 8);
  Pair(cr, cx, {{12, 22}, {34, 10}, {38, 14}, {37, 32}, {14, 54}}, kGunmetal);
  Pair(cr, cx, {{32, 12}, {37.5, 12}, {38.5, 38}, {35, 44}, {31.5, 38}}, accent, true);
  Hull(cr, cx, {{0, 4}, {9, 5}, {13, 18}, {14, 44}, {11, 62}, {6, 72}, {0, 77}}, accent, true);
  Hull(cr, cx, {{0, 18}, {8, 20}, {9, 42}, {0, 46}}, kGunmetal, false, 0.9);
  Cannon(cr, cx, 58, 72, 4.5);
  Eye(cr, cx, 32, 4, 8, eye);
  Lights(cr, {{cx - 35, 16}, {cx + 35, 16}}, 1.3, Hex(0xfff0c0));
}

void FlyingWing(cairo_t* cr, Rgb accent) {  // 80 x 60
  const double cx = 40;
  Engine(cr, cx - 9, 9, 7, 7);
  Engine(cr, cx + 9, 9, 7, 7);
  Hull(cr, cx,
       {{0, 5}, {10, 7}, {24, 4}, {38, 9}, {39.5, 17}, {33, 26}, {22, 30}, {14, 42}, {6, 52},
        {0, 56}},
       accent, true);
  Hull(cr, cx, {{0, 9}, {6, 11}, {8, 30}, {5, 44}, {0, 49}}, kGunmetal, true, 0.9);
  Plate(cr, cx, {{14, 10}, {30, 8}, {36, 12}, {22, 14}}, kit::Tint(accent, 0.55), 0.9);
  Cannon(cr, cx, 42, 56, 4);
  Eye(cr, cx, 32, 5, 4, Hex(0xff40e0));
  Lights(cr, {{cx - 37, 14}, {cx + 37, 14}}, 1.2, Hex(0xffd0ff));
}

void Gunship(cairo_t* cr, Rgb accent) {  // 80 x 100
  const double cx = 40;
  Engine(cr, cx - 23.5, 14, 8, 9);
  Engine(cr, cx + 23.5, 14, 8, 9);
  Engine(cr, cx, 6, 8, 7);
  Pair(cr, cx, {{8, 36}, {19, 34}, {19, 44}, {8, 46}}, kGunmetal);
  Pair(cr, cx, {{8, 62}, {19, 60}, {19, 70}, {8, 72}}, kGunmetal);
  Pair(cr, cx, {{18, 14}, {29, 14}, {30, 80}, {23.5, 92}, {17, 80}}, accent, true);
  Hull(cr, cx, {{0, 4}, {7, 6}, {10, 20}, {10, 70}, {7, 88}, {0, 96}}, kSteel, true);
  Plate(cr, cx, {{0, 22}, {6, 24}, {6, 40}, {0, 42}}, accent);
  Turret(cr, cx, 52, 7, 7, accent);
  Eye(cr, cx, 80, 3.5, 6, Hex(0xff5a40));
  Lights(cr, {{cx - 23.5, 86}, {cx + 23.5, 86}}, 1.3, kit::Tint(accent, 0.5));
}

void TwinBoom(cairo_t* cr, Rgb accent) {  // 100 x 80
  const double cx = 50;
  Engine(cr, cx - 30, 6, 8, 8);
  Engine(cr, cx + 30, 6, 8, 8);
  Engine(cr, cx, 10, 8, 8);
  Hull(cr, cx, {{0, 26}, {46, 30}, {47, 44}, {0, 48}}, kit::Shade(accent, 0.8));
  Plate(cr, cx, {{12, 31}, {44, 33}, {44, 37}, {12, 35}}, kGunmetal, 0.9);
  Pair(cr, cx, {{26, 5}, {34, 5}, {35, 66}, {30, 75}, {25, 66}}, kSteel, true);
  Pair(cr, cx, {{26, 58}, {35, 58}, {30, 75}}, accent);
  Hull(cr, cx, {{0, 8}, {9, 10}, {13, 30}, {12, 58}, {7, 70}, {0, 74}}, accent, true);
  Cannon(cr, cx, 52, 68, 5);
  Eye(cr, cx, 30, 4, 7, kEye);
  Lights(cr, {{cx - 46, 37}, {cx + 46, 37}}, 1.3, Hex(0xfff4b0));
}

void Gunboat(cairo_t* cr, Rgb accent) {  // 100 x 120
  const double cx = 50;
  Engine(cr, cx - 11, 9, 8, 9);
  Engine(cr, cx + 11, 9, 8, 9);
  Engine(cr, cx, 6, 8, 7);
  Pair(cr, cx, {{28, 34}, {46, 40}, {47, 72}, {32, 82}}, kGunmetal);
  Hull(cr, cx,
       {{0, 4}, {16, 6}, {28, 20}, {34, 44}, {33, 76}, {24, 100}, {12, 112}, {0, 117}}, accent,
       true);
  Hull(cr, cx, {{0, 16}, {12, 18}, {19, 40}, {19, 78}, {12, 98}, {0, 104}}, kSteel, true, 1.0);
  Plate(cr, cx, {{14, 44}, {19, 44}, {19, 76}, {14, 80}}, kit::Shade(accent, 0.7));
  for (double side : {-1.0, 1.0}) Turret(cr, cx + side * 39, 56, 5.5, 5, accent);
  Turret(cr, cx, 50, 10, 6, accent);
  Eye(cr, cx, 88, 5, 7, Hex(0xffa0f0));
  Lights(cr, {{cx - 20, 30}, {cx + 20, 30}, {cx - 20, 96}, {cx + 20, 96}}, 1.2,
         Hex(0xfff0ff));
}

void Prong(cairo_t* cr, Rgb accent) {  // 80 x 100
  const double cx = 40;
  Engine(cr, cx - 8, 7, 8, 8);
  Engine(cr, cx + 8, 7, 8, 8);
  Pair(cr, cx, {{10, 44}, {21, 48}, {19, 90}, {13.5, 98}, {8, 88}}, accent, true);
  Pair(cr, cx, {{15, 16}, {32, 24}, {34, 36}, {17, 42}}, kGunmetal);
  Hull(cr, cx, {{0, 4}, {10, 6}, {16, 20}, {16, 52}, {12, 68}, {6, 78}, {0, 82}}, kSteel, true);
  Plate(cr, cx, {{4, 10}, {11, 12}, {13, 44}, {4, 48}}, accent);
  for (int k = -2; k <= 2; ++k) {
    cairo_save(cr);
    cairo_translate(cr, cx, 74);
    cairo_rotate(cr, -k * 0.22);
    Cannon(cr, 0, 0, 14, 3);
    cairo_restore(cr);
  }
  cairo_arc(cr, cx, 74, 6.5, 0, 2 * kit::kPi);
  kit::FillDome(cr, cx, 74, 6.5, kGunmetal, 1.0);
  Eye(cr, cx, 32, 5, 8, Hex(0xffe040));
  Lights(cr, {{cx - 13.5, 94}, {cx + 13.5, 94}}, 1.4, kit::Tint(accent, 0.6));
}

void Disc(cairo_t* cr, Rgb accent) {  // 80 x 80
  const double cx = 40, cy = 38;
  Cannon(cr, cx, 44, 58, 5);
  // Outer ring, filled even-odd.
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_arc(cr, cx, cy, 34, 0, 2 * kit::kPi);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, 25, 0, 2 * kit::kPi);
  kit::FillDome(cr, cx, cy, 34, accent, 1.2);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  for (int i = 0; i < 4; ++i) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, i * kit::kPi / 2 + kit::kPi / 4);
    cairo_rectangle(cr, -3, 10, 6, 17);
    kit::FillAuto(cr, kGunmetal, 0.9);
    cairo_restore(cr);
  }
  for (int i = 0; i < 12; ++i) {
    double a = i * kit::kPi / 6;
    kit::Lamp(cr, cx + 29.5 * std::cos(a), cy + 29.5 * std::sin(a), 1.1,
              i % 2 ? Hex(0xffffff) : kit::Tint(accent, 0.5));
  }
  cairo_arc(cr, cx, cy, 12, 0, 2 * kit::kPi);
  kit::FillDome(cr, cx, cy, 12, kSteel, 1.1);
  kit::Glow(cr, cx, cy, 8, accent, 1.0);
}

void Insect(cairo_t* cr, Rgb accent, Rgb trim) {  // 80 x 80
  const double cx = 40;
  Pair(cr, cx, {{10, 18}, {36, 5}, {38.5, 11}, {15, 34}}, kit::Shade(accent, 0.7));
  Pair(cr, cx, {{11, 36}, {37, 33}, {37, 41}, {12, 46}}, kit::Shade(accent, 0.7));
  Plate(cr, cx, {{20, 15}, {34, 8}, {35.5, 10}, {22, 19}}, trim, 0.9);
  Pair(cr, cx, {{5, 48}, {16, 52}, {20, 70}, {14, 78}, {10, 66}}, trim, true);
  Cannon(cr, cx, 52, 66, 4.5, Hex(0x80ff80));
  for (Pt p : {Pt{cx, 15}, Pt{cx, 33}, Pt{cx, 51}}) {
    double r = p.y == 33 ? 12 : (p.y == 15 ? 10 : 9);
    cairo_save(cr);
    cairo_translate(cr, p.x, p.y);
    cairo_scale(cr, 1.0, 0.85);
    cairo_arc(cr, 0, 0, r, 0, 2 * kit::kPi);
    cairo_restore(cr);
    kit::FillDome(cr, p.x, p.y, r, accent, 1.1);
  }
  Plate(cr, cx, {{0, 27}, {7, 28}, {6, 38}, {0, 39}}, trim, 0.9);
  kit::Lamp(cr, cx - 4.5, 54, 2.2, Hex(0x70ff60));
  kit::Lamp(cr, cx + 4.5, 54, 2.2, Hex(0x70ff60));
}

void HexPod(cairo_t* cr, Rgb accent) {  // 80 x 80
  const double cx = 40, cy = 36;
  Engine(cr, cx - 10, 8, 7, 7);
  Engine(cr, cx + 10, 8, 7, 7);
  for (int k = -2; k <= 2; ++k) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy + 16);
    cairo_rotate(cr, -k * 0.26);
    Cannon(cr, 0, 0, 22, 3.4);
    cairo_restore(cr);
  }
  auto hexagon = [&](double r) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < 6; ++i) {
      double a = kit::kPi / 6 + i * kit::kPi / 3;
      cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
  };
  hexagon(29);
  kit::FillDome(cr, cx, cy, 29, accent, 1.3);
  hexagon(19);
  kit::FillDome(cr, cx, cy, 19, kGunmetal, 1.1);
  for (int i = 0; i < 6; ++i) {
    double a = kit::kPi / 6 + i * kit::kPi / 3;
    kit::Lamp(cr, cx + 24 * std::cos(a), cy + 24 * std::sin(a), 1.2, Hex(0xfff2c0));
  }
  Eye(cr, cx, cy, 8, 8, Hex(0xff4020));
}

void Cross(cairo_t* cr, Rgb accent) {  // 80 x 80
  const double cx = 40, cy = 36;
  Cannon(cr, cx, 44, 56, 5);
  for (double a : {40.0, 140.0, 220.0, 320.0}) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, a * kit::kPi / 180);
    static const Pt blade[] = {{6, -6}, {34, -4}, {37, 0}, {34, 5}, {6, 7}};
    kit::SmoothPath(cr, blade, 5);
    kit::FillAuto(cr, accent, 1.1);
    kit::Lamp(cr, 32, 0, 1.4, {1, 1, 1});
    cairo_restore(cr);
  }
  cairo_arc(cr, cx, cy, 13, 0, 2 * kit::kPi);
  kit::FillDome(cr, cx, cy, 13, kSteel, 1.2);
  cairo_arc(cr, cx, cy, 8, 0, 2 * kit::kPi);
  kit::FillDome(cr, cx, cy, 8, kGunmetal, 0.9);
  kit::Glow(cr, cx, cy, 7, accent, 1.0);
}

// The 90 x 90 ships fly diagonally: drawn nose down about the cell's centre,
// then turned to face their course.
void Talon(cairo_t* cr, Rgb accent, double degrees) {
  cairo_save(cr);
  cairo_translate(cr, 45, 45);
  cairo_rotate(cr, degrees * kit::kPi / 180);
  Engine(cr, 0, -28, 8, 10);
  Pair(cr, 0, {{6, -14}, {30, -26}, {33, -20}, {9, 8}}, kGunmetal);
  Plate(cr, 0, {{18, -19}, {30, -26}, {32, -21}, {20, -14}}, kit::Tint(accent, 0.3));
  Pair(cr, 0, {{7, 2}, {19, 12}, {17, 22}, {6, 16}}, accent);
  Hull(cr, 0, {{0, -32}, {6, -28}, {8.5, -8}, {6, 18}, {0, 32}}, accent, true);
  Eye(cr, 0, 12, 3.3, 6, kEye);
  Cannon(cr, 0, 18, 34, 3.5);
  cairo_restore(cr);
}

void Manta(cairo_t* cr, Rgb accent, double degrees) {
  cairo_save(cr);
  cairo_translate(cr, 45, 45);
  cairo_rotate(cr, degrees * kit::kPi / 180);
  cairo_scale(cr, 1.15, 1.15);
  Engine(cr, -9, -24, 7, 9);
  Engine(cr, 9, -24, 7, 9);
  // Ray-shaped wing with pointed tips.
  Hull(cr, 0, {{0, -22}, {12, -22}, {24, -12}, {37, 4}, {33, 9}, {18, 6}, {9, 20}, {0, 30}},
       accent);
  Plate(cr, 0, {{13, -19}, {23, -11}, {35, 3}, {31, 5}, {20, -6}, {12, -13}},
        kit::Tint(accent, 0.6));
  Pair(cr, 0, {{6, -26}, {11, -26}, {11.5, -4}, {8.5, 2}, {5.5, -4}}, kGunmetal, true);
  Hull(cr, 0, {{0, -18}, {5, -16}, {6, 8}, {3, 20}, {0, 24}}, kSteel, true, 0.9);
  Eye(cr, 0, 8, 3.6, 6, Hex(0xffe060));
  Lights(cr, {{-35, 5}, {35, 5}}, 1.3, {1, 1, 1});
  cairo_restore(cr);
}

struct CruiserStyle {
  Rgb accent;
  int wings;    // 0 swept, 1 forward-swept with side pods, 2 twin hulls, 3 ring
  Rgb eye;
};

void Cruiser(cairo_t* cr, const CruiserStyle& s) {  // 200 x 160
  const double cx = 100;
  for (double dx : {-36.0, -14.0, 14.0, 36.0}) Engine(cr, cx + dx, 12, 11, 13);
  switch (s.wings) {
    case 0:
      Pair(cr, cx, {{20, 40}, {92, 24}, {97, 34}, {96, 84}, {72, 116}, {26, 100}}, kGunmetal);
      Plate(cr, cx, {{70, 30}, {92, 24}, {97, 34}, {74, 42}}, s.accent);
      break;
    case 1:
      Pair(cr, cx, {{20, 34}, {70, 46}, {96, 82}, {94, 100}, {64, 96}, {24, 90}}, kGunmetal);
      Pair(cr, cx, {{82, 52}, {96, 56}, {98, 110}, {89, 122}, {80, 108}}, s.accent, true);
      break;
    case 2:
      Pair(cr, cx, {{20, 50}, {84, 46}, {84, 78}, {20, 88}}, kGunmetal);
      Pair(cr, cx, {{66, 6}, {86, 6}, {90, 120}, {76, 146}, {62, 120}}, s.accent, true);
      break;
    default:
      cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
      cairo_arc(cr, cx, 76, 74, 0, 2 * kit::kPi);
      cairo_new_sub_path(cr);
      cairo_arc(cr, cx, 76, 60, 0, 2 * kit::kPi);
      kit::FillDome(cr, cx, 76, 74, s.accent, 1.3);
      cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
      Pair(cr, cx, {{20, 66}, {62, 62}, {62, 86}, {20, 90}}, kGunmetal);
      break;
  }
  // Wing gun pods: the two bullet streams leave from their turrets.
  Pair(cr, cx, {{43, 68}, {57, 68}, {58, 116}, {50, 128}, {42, 116}}, kSteel, true);
  for (double side : {-1.0, 1.0}) Turret(cr, cx + side * 50, 100, 9, 10, s.accent);
  Hull(cr, cx,
       {{0, 4}, {16, 8}, {28, 28}, {33, 70}, {30, 112}, {20, 138}, {10, 150}, {0, 155}},
       s.accent, true, 1.5);
  Hull(cr, cx, {{0, 20}, {12, 24}, {18, 46}, {19, 100}, {12, 124}, {0, 130}}, kSteel, true,
       1.1);
  for (double y : {40.0, 58.0, 76.0, 94.0}) kit::Seam(cr, {cx - 16, y}, {cx + 16, y}, kSteel);
  Plate(cr, cx, {{4, 28}, {10, 30}, {12, 100}, {4, 104}}, kit::Shade(s.accent, 0.75), 0.85);
  Turret(cr, cx, 66, 11, 6, s.accent);
  Eye(cr, cx, 116, 6, 11, s.eye);
  Lights(cr, {{cx - 60, 40}, {cx + 60, 40}, {cx - 24, 130}, {cx + 24, 130}}, 1.6,
         kit::Tint(s.accent, 0.6));
}

void Battleship(cairo_t* cr, Rgb accent, Rgb hull) {  // 240 x 180
  const double cx = 120;
  for (double dx : {-50.0, -20.0, 20.0, 50.0}) Engine(cr, cx + dx, 14, 12, 13);
  // Wide armoured wings joining the side hulls.
  Pair(cr, cx, {{30, 44}, {112, 56}, {116, 72}, {110, 120}, {70, 132}, {30, 118}}, kGunmetal);
  Plate(cr, cx, {{86, 64}, {112, 58}, {115, 72}, {90, 76}}, accent);
  Pair(cr, cx, {{40, 16}, {60, 14}, {64, 150}, {50, 172}, {38, 150}}, hull, true);
  Pair(cr, cx, {{42, 30}, {58, 30}, {58, 44}, {42, 44}}, accent);
  for (double side : {-1.0, 1.0}) Turret(cr, cx + side * 50, 102, 10, 10, accent);
  Hull(cr, cx,
       {{0, 2}, {22, 8}, {38, 34}, {42, 118}, {32, 154}, {16, 170}, {0, 177}}, hull, true, 1.6);
  Hull(cr, cx, {{0, 70}, {20, 74}, {22, 130}, {12, 150}, {0, 156}}, kSteel, true, 1.1);
  Plate(cr, cx, {{0, 84}, {16, 86}, {16, 96}, {0, 98}}, accent);
  Plate(cr, cx, {{0, 110}, {16, 112}, {15, 122}, {0, 124}}, accent);
  for (double y : {24.0, 36.0}) kit::Seam(cr, {cx - 26, y}, {cx + 26, y}, hull);
  Turret(cr, cx, 50, 13, 6, accent);
  Eye(cr, cx, 140, 7, 11, kEye);
  Lights(cr,
         {{cx - 112, 70}, {cx + 112, 70}, {cx - 50, 160}, {cx + 50, 160}, {cx - 30, 30},
          {cx + 30, 30}},
         1.8, kit::Tint(accent, 0.5));
}

struct Ship {
  const char* name;
  int width, height;
  void (*paint)(cairo_t*);
};

constexpr Ship kShips[] = {
    {"ZAK1.BMP", 60, 70, [](cairo_t* cr) { Dart(cr, Hex(0xf0303c)); }},
    {"ZAK4.BMP", 60, 60, [](cairo_t* cr) { Saucer(cr, Hex(0x56d648)); }},
    {"ZAK5.BMP", 80, 80, [](cairo_t* cr) { Fighter(cr, Hex(0xff8a1e), Hex(0xff3060)); }},
    {"ZAK6.BMP", 80, 60, [](cairo_t* cr) { FlyingWing(cr, Hex(0xa45cff)); }},
    {"ZAK7.BMP", 80, 100, [](cairo_t* cr) { Gunship(cr, Hex(0x1fd6b8)); }},
    {"ZAK8.BMP", 80, 80, [](cairo_t* cr) { Fighter(cr, Hex(0xb4b04a), Hex(0x40ffb0)); }},
    {"ZAK9.BMP", 100, 80, [](cairo_t* cr) { TwinBoom(cr, Hex(0xffcc1a)); }},
    {"ZAK10.BMP", 100, 120, [](cairo_t* cr) { Gunboat(cr, Hex(0xe83fb6)); }},
    {"ZAK11.BMP", 80, 100, [](cairo_t* cr) { Prong(cr, Hex(0x2f8cff)); }},
    {"ZAK12.BMP", 80, 80, [](cairo_t* cr) { Disc(cr, Hex(0x2fe6ff)); }},
    {"ZAK13.BMP", 80, 80, [](cairo_t* cr) { Insect(cr, Hex(0xd6283e), Hex(0xffc640)); }},
    {"ZAK14.BMP", 80, 80, [](cairo_t* cr) { HexPod(cr, Hex(0xffa020)); }},
    {"ZAK17.BMP", 80, 80, [](cairo_t* cr) { Disc(cr, Hex(0xff7a30)); }},
    {"ZAK18.BMP", 80, 80, [](cairo_t* cr) { HexPod(cr, Hex(0x9ee23a)); }},
    {"ZAK19.BMP", 80, 80, [](cairo_t* cr) { Cross(cr, Hex(0xff66a8)); }},
    {"ZAK20.BMP", 90, 90, [](cairo_t* cr) { Talon(cr, Hex(0xff4a4a), 0); }},
    // ZAK21 dives to the lower right, ZAK22 to the lower left; ZAK23 and
    // ZAK24 climb to the upper right and upper left.
    {"ZAK21.BMP", 90, 90, [](cairo_t* cr) { Talon(cr, Hex(0xffb21e), -42); }},
    {"ZAK22.BMP", 90, 90, [](cairo_t* cr) { Talon(cr, Hex(0xffb21e), 42); }},
    {"ZAK23.BMP", 90, 90, [](cairo_t* cr) { Manta(cr, Hex(0x3cb4ff), -132); }},
    {"ZAK24.BMP", 90, 90, [](cairo_t* cr) { Manta(cr, Hex(0x3cb4ff), 132); }},
    {"ZAK50.BMP", 200, 160,
     [](cairo_t* cr) { Cruiser(cr, {Hex(0xe8343c), 0, Hex(0xffc030)}); }},
    {"ZAK51.BMP", 200, 160,
     [](cairo_t* cr) { Cruiser(cr, {Hex(0x3477ff), 1, Hex(0x60ffe0)}); }},
    {"ZAK52.BMP", 200, 160,
     [](cairo_t* cr) { Cruiser(cr, {Hex(0x3cc85a), 2, Hex(0xffe040)}); }},
    {"ZAK53.BMP", 200, 160,
     [](cairo_t* cr) { Cruiser(cr, {Hex(0xa64cf0), 3, Hex(0xff60c0)}); }},
    {"ZAK54.BMP", 240, 180, [](cairo_t* cr) { Battleship(cr, Hex(0xff8a1e), Hex(0x7c8698)); }},
    {"ZAK55.BMP", 240, 180, [](cairo_t* cr) { Battleship(cr, Hex(0x2fd6c8), Hex(0x8a7c98)); }},
};

}  // namespace

bool WriteEnemySprites(const char* dir) {
  bool ok = true;
  for (const Ship& ship : kShips) {
    kit::Canvas c(ship.width, ship.height);
    ship.paint(c.cr());
    ok = c.Save(dir, ship.name) && ok;
  }
  return ok;
}

}  // namespace assets
