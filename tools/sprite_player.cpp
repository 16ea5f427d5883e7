// The player's ship in its seven banking frames, the larger ending ship and
// its flame, the special shots and the small-parts sheet (HUD digits, shot,
// GAME OVER lettering, ending stars).
#include <cairo-svg.h>

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "tools/sprite_kit.h"
#include "tools/sprite_parts.h"

namespace assets {

namespace {

using kit::Hex;
using kit::Pt;
using kit::Rgb;

constexpr Rgb kHull = Hex(0xdfe6ee);    // silver-white
constexpr Rgb kAccent = Hex(0x2f6bff);  // cobalt
constexpr Rgb kGlass = Hex(0x35d8ff);
constexpr Rgb kEngine = Hex(0x59b8ff);

// The ship drawn in model units (a 60 x 70 cell, axis at x = 0) rolled by
// `roll` radians about its long axis: positive rolls to the left, so parts
// that stand above the wing plane (height z) slide left and every span is
// foreshortened.
struct ShipPainter {
  cairo_t* cr;
  double cx, oy, scale, roll;

  double X(double x, double z) const {
    return cx + scale * (x * std::cos(roll) - z * std::sin(roll));
  }
  double Y(double y) const { return oy + scale * y; }

  void Path(const Pt* pts, int n, double z, double side) const {
    cairo_new_sub_path(cr);
    for (int i = 0; i < n; ++i) cairo_line_to(cr, X(pts[i].x * side, z), Y(pts[i].y));
    cairo_close_path(cr);
  }
  void MirrorPath(const Pt* half, int n, double z) const {
    cairo_new_sub_path(cr);
    for (int i = 0; i < n; ++i) cairo_line_to(cr, X(half[i].x, z), Y(half[i].y));
    for (int i = n - 1; i >= 0; --i) cairo_line_to(cr, X(-half[i].x, z), Y(half[i].y));
    cairo_close_path(cr);
  }

  // Brightness of the wing on `side` (-1 left, +1 right): the wing that
  // dips away turns darker, the rising one catches the light.
  double WingLight(double side) const {
    double s = std::sin(roll) * side;  // > 0: this wing rises
    return s > 0 ? 1.0 + 0.18 * s : 1.0 + 0.7 * s;
  }

  void Draw(bool exhaust) const {
    const double lw = 1.1 * scale;
    // Wings: swept delta with a blue leading-edge band.
    static const Pt wing[] = {{5, 28}, {11, 31}, {24, 45}, {27, 51}, {27, 56},
                              {20, 57}, {6, 55}};
    static const Pt band[] = {{6, 30}, {11, 32}, {24.5, 46}, {26, 50}, {22, 48.5},
                              {10, 36}, {6, 35}};
    for (double side : {-1.0, 1.0}) {
      Rgb base = kit::Shade(kHull, 0.92 * WingLight(side));
      Path(wing, 7, 0, side);
      cairo_pattern_t* p = kit::MetalDown(Y(28), Y(57), base, 0.35);
      cairo_set_source(cr, p);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(p);
      kit::Stroke(cr, kit::Shade(kHull, 0.28), lw);
      Path(band, 7, 0.3, side);
      kit::SetColor(cr, kit::Shade(kAccent, WingLight(side)));
      cairo_fill(cr);
      kit::Seam(cr, {X(side * 12, 0), Y(42)}, {X(side * 24, 0), Y(54)}, base, 0.7);
    }
    // Wing gun pods with bright muzzles (the wing streams leave here).
    for (double side : {-1.0, 1.0}) {
      double gx = side * 12;
      static const Pt pod[] = {{-1.4, 19}, {1.4, 19}, {1.8, 27}, {3, 33}, {2.6, 37},
                               {-2.6, 37}, {-3, 33}, {-1.8, 27}};
      cairo_new_sub_path(cr);
      for (const Pt& q : pod) cairo_line_to(cr, X(gx + q.x, 1.5), Y(q.y));
      cairo_close_path(cr);
      kit::FillMetal(cr, X(gx - 3, 1.5), X(gx + 3, 1.5), Hex(0x9aa6b8), 0.8 * scale);
      kit::Glow(cr, X(gx, 1.5), Y(19.5), 2.2 * scale, Hex(0xffd060), 0.9);
    }
    // Tail fins, standing above the hull.
    for (double side : {-1.0, 1.0}) {
      static const Pt fin[] = {{5, 50}, {11, 58}, {11.5, 64}, {6, 62}};
      Path(fin, 4, 4, side);
      kit::FillMetal(cr, X(-12, 4), X(12, 4), kit::Shade(kAccent, 1.05 * WingLight(side)),
                     0.9 * scale);
    }
    // Fuselage.
    static const Pt body[] = {{0, 1},   {2.4, 6},  {4.3, 14}, {5.8, 24}, {6.8, 36},
                              {7.2, 48}, {6.8, 58}, {5.8, 64}, {0, 64.5}};
    MirrorPath(body, 9, 2.5);
    kit::FillMetal(cr, X(-7.2, 2.5), X(7.2, 2.5), kHull, lw, 0.36 + 0.22 * std::sin(roll));
    // Nose stripe and spine seams.
    static const Pt stripe[] = {{0, 4}, {1.6, 8}, {2.6, 12}, {0, 11}};
    MirrorPath(stripe, 4, 3);
    kit::SetColor(cr, kAccent);
    cairo_fill(cr);
    kit::Seam(cr, {X(-5, 3), Y(40)}, {X(5, 3), Y(40)}, kHull, 0.6);
    kit::Seam(cr, {X(-5.5, 3), Y(50)}, {X(5.5, 3), Y(50)}, kHull, 0.6);
    // Cockpit.
    kit::Canopy(cr, X(0, 5.5), Y(23), 3.3 * scale * (0.55 + 0.45 * std::cos(roll)),
                7.5 * scale, kGlass);
    // Engines and their exhaust.
    for (double side : {-1.0, 1.0}) {
      kit::Nozzle(cr, X(side * 3.6, 1.5), Y(63.5), 4.6 * scale * std::cos(roll) + 1,
                  3.4 * scale, kEngine);
      if (exhaust) {
        kit::Flame(cr, X(side * 3.6, 1.5), Y(65), 4.2 * scale, 5.5 * scale, 1,
                   Hex(0x8fe4ff), kEngine);
      }
    }
    // Navigation lights on the wing tips.
    kit::Lamp(cr, X(-26, 0), Y(53.5), 1.1 * scale, Hex(0xff4040));
    kit::Lamp(cr, X(26, 0), Y(53.5), 1.1 * scale, Hex(0x40ff70));
  }
};

bool WritePlayerShip(const char* dir) {
  kit::Canvas c(7 * 60, 70);
  for (int b = 0; b < 7; ++b) {
    kit::CellScope cell(c.cr(), 60 * b, 0, 60, 70);
    // Frame 3 is level; frames 4 to 6 roll further left, 2 to 0 right.
    ShipPainter ship{c.cr(), 30, 0, 1.0, (b - 3) * 15.0 * kit::kPi / 180.0};
    ship.Draw(true);
  }
  return c.Save(dir, "MY.BMP");
}

bool WriteEndingShip(const char* dir) {
  // The same ship, larger, its nozzles on the bottom edge where the flame
  // picture below it continues.
  kit::Canvas c(120, 120);
  const double scale = 1.72;
  ShipPainter ship{c.cr(), 60, 120 - 65.5 * scale, scale, 0};
  ship.Draw(false);
  return c.Save(dir, "MYEND.BMP");
}

bool WriteEndingFlame(const char* dir) {
  kit::Canvas c(360, 120);
  const double scale = 1.72;
  static const double kLength[3] = {96, 112, 84};
  static const double kGlow[3] = {9, 10.5, 8};
  for (int f = 0; f < 3; ++f) {
    kit::CellScope cell(c.cr(), 120 * f, 0, 120, 120);
    cairo_t* cr = c.cr();
    for (double side : {-1.0, 1.0}) {
      // As wide as the nozzle where it leaves it, flaring below.
      double x = 60 + side * 3.6 * scale;
      double len = kLength[f] - (side > 0 ? 6 * (f % 2) : 0);
      kit::GlowEllipse(cr, x, 10 + len * 0.3, kGlow[f], len * 0.3, Hex(0x2a6cff), 0.8);
      kit::Flame(cr, x, 0, 7.5, len, 1, Hex(0x9be8ff), Hex(0x3a7dff));
    }
    // Sparkles shed by the exhaust.
    kit::Prng rng(700 + f);
    for (int i = 0; i < 6; ++i) {
      double y = rng.Range(30, 110);
      double x = 60 + rng.Range(-10, 10) * (0.5 + y / 120);
      kit::Glow(cr, x, y, rng.Range(1.8, 3.2), Hex(0x9be8ff), 0.9);
    }
  }
  return c.Save(dir, "MYENDF.BMP");
}

// A chevron of energy pointing up, with a glowing core: the special shot.
void DrawEnergyChevron(cairo_t* cr, Rgb core, Rgb rim, double spread) {
  kit::GlowEllipse(cr, 30, 26, 26, 20, rim, 0.55);
  cairo_new_path(cr);
  cairo_move_to(cr, 30, 6);
  cairo_curve_to(cr, 42, 14, 50 + spread, 26, 54 + spread, 46);
  cairo_curve_to(cr, 46, 36, 38, 30, 30, 30);
  cairo_curve_to(cr, 22, 30, 14, 36, 6 - spread, 46);
  cairo_curve_to(cr, 10 - spread, 26, 18, 14, 30, 6);
  cairo_close_path(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 6, 0, 46);
  kit::AddStop(p, 0.0, {1, 1, 1});
  kit::AddStop(p, 0.35, kit::Tint(core, 0.5));
  kit::AddStop(p, 1.0, rim, 0.85);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  kit::Stroke(cr, kit::Shade(rim, 0.8), 1.4);
  kit::Glow(cr, 30, 17, 9, core, 1.0);
  // Trailing sparks.
  kit::Glow(cr, 30, 40, 4, rim, 0.9);
  kit::Glow(cr, 30, 50, 2.6, rim, 0.8);
}

bool WriteSpecialShots(const char* dir) {
  bool ok = true;
  {
    kit::Canvas c(60, 60);
    DrawEnergyChevron(c.cr(), Hex(0x9ff4ff), Hex(0x2a9bff), 0);
    ok = c.Save(dir, "FLH2.BMP") && ok;
  }
  {
    // The second weapon: a magenta plasma orb with a ring.
    kit::Canvas c(60, 60);
    cairo_t* cr = c.cr();
    kit::Glow(cr, 30, 30, 24, Hex(0xff3fd0), 0.8);
    cairo_arc(cr, 30, 30, 17, 0, 2 * kit::kPi);
    kit::Stroke(cr, Hex(0xffb0f0), 2.2);
    kit::Glow(cr, 30, 30, 12, Hex(0xff80e8), 1.0);
    ok = c.Save(dir, "FLH1.BMP") && ok;
  }
  return ok;
}

// "MYMY.BMP": the sheet of small parts. Everything the game cuts lies in
// the strip y 70..80; the area above is left transparent.
bool WriteSmallParts(const char* dir) {
  kit::Canvas c(160, 80);
  cairo_t* cr = c.cr();
  // Player shot (0, 70)-(5, 80): a white-hot bolt with a cyan rim.
  {
    kit::CellScope cell(cr, 0, 70, 5, 10);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 5, 0);
    kit::AddStop(p, 0.0, Hex(0x1d8cff));
    kit::AddStop(p, 0.5, {1, 1, 1});
    kit::AddStop(p, 1.0, Hex(0x1d8cff));
    cairo_move_to(cr, 2.5, 0);
    cairo_curve_to(cr, 5, 2, 5, 4, 5, 10);
    cairo_line_to(cr, 0, 10);
    cairo_curve_to(cr, 0, 4, 0, 2, 2.5, 0);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  // Digits 0..9, 7 x 10 each from x = 8: white over a cool blue bottom.
  for (int d = 0; d < 10; ++d) {
    kit::CellScope cell(cr, 8 + 7 * d, 70, 7, 10);
    char text[2] = {char('0' + d), 0};
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 10);
    kit::AddStop(p, 0.0, {1, 1, 1});
    kit::AddStop(p, 0.55, Hex(0xe8f4ff));
    kit::AddStop(p, 1.0, Hex(0x7cc4ff));
    kit::FitText(cr, "DejaVu Sans Mono", true, text, 0.6, 0.5, 5.8, 9, p, "0");
    cairo_pattern_destroy(p);
  }
  // GAME OVER (81, 70)-(136, 80): stretched to 300 pixels wide and up to
  // 300 tall, so it is coloured by rows, yellow to red.
  {
    kit::CellScope cell(cr, 81, 70, 55, 10);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 10);
    kit::AddStop(p, 0.0, Hex(0xfff3a0));
    kit::AddStop(p, 0.4, Hex(0xffc21a));
    kit::AddStop(p, 0.75, Hex(0xff6a10));
    kit::AddStop(p, 1.0, Hex(0xe02010));
    kit::FitText(cr, "DejaVu Sans Condensed", true, "GAME OVER", 0.3, 0.4, 54.4, 9.2, p);
    cairo_pattern_destroy(p);
  }
  // Ending stars: seven 3 x 3 sparkles from x = 139.
  static const uint32_t kStar[7] = {0xffffff, 0xfff2a0, 0xa8e8ff, 0xffb0e0,
                                    0xb0ffb8, 0xffd080, 0xc8b8ff};
  for (int k = 0; k < 7; ++k) {
    kit::CellScope cell(cr, 139 + 3 * k, 77, 3, 3);
    Rgb col = Hex(kStar[k]);
    kit::SetColor(cr, kit::Shade(col, 0.8));
    cairo_rectangle(cr, 1, 0, 1, 3);
    cairo_rectangle(cr, 0, 1, 3, 1);
    cairo_fill(cr);
    if (k % 3 == 2) {  // some stars are full dots
      kit::SetColor(cr, kit::Shade(col, 0.5));
      cairo_rectangle(cr, 0, 0, 3, 3);
      cairo_fill(cr);
    }
    kit::SetColor(cr, {1, 1, 1});
    cairo_rectangle(cr, 1, 1, 1, 1);
    cairo_fill(cr);
  }
  return c.Save(dir, "MYMY.BMP");
}

// The program's icon, `size` units square: the level ship climbing out of a
// night-blue rounded square with a few stars.
void DrawIcon(cairo_t* cr, double size) {
  const double r = size * 0.18, m = size * 0.03, e = size - m;
  cairo_new_path(cr);
  cairo_arc(cr, e - r, m + r, r, -kit::kPi / 2, 0);
  cairo_arc(cr, e - r, e - r, r, 0, kit::kPi / 2);
  cairo_arc(cr, m + r, e - r, r, kit::kPi / 2, kit::kPi);
  cairo_arc(cr, m + r, m + r, r, kit::kPi, 1.5 * kit::kPi);
  cairo_close_path(cr);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, m, 0, e);
  kit::AddStop(sky, 0.0, Hex(0x0b1640));
  kit::AddStop(sky, 1.0, Hex(0x1f4fa8));
  cairo_set_source(cr, sky);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(sky);
  kit::Stroke(cr, Hex(0x7cc4ff), size / 64);
  static const double kStars[][3] = {{0.2, 0.22, 1.0}, {0.8, 0.3, 0.8}, {0.16, 0.7, 0.7},
                                     {0.84, 0.76, 1.0}, {0.7, 0.12, 0.6}};
  for (const auto& st : kStars) {
    kit::Glow(cr, st[0] * size, st[1] * size, st[2] * size / 40, Hex(0xe8f4ff), 0.9);
  }
  // The model spans x -27..27 and y 1..70 with its exhaust.
  const double scale = size * 0.78 / 69.0;
  ShipPainter ship{cr, size / 2, size * 0.5 - scale * 36.0, scale, 0};
  ship.Draw(true);
}

bool SayFailed(const std::string& path, cairo_status_t status) {
  fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), cairo_status_to_string(status));
  return false;
}

}  // namespace

bool WriteIcons(const char* dir) {
  bool ok = true;
  for (int size : {48, 64, 128, 256}) {
    kit::Canvas c(size, size);
    DrawIcon(c.cr(), size);
    const std::string path = std::string(dir) + "/samplegame-" + std::to_string(size) + ".png";
    const cairo_status_t status = cairo_surface_write_to_png(c.surface(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) ok = SayFailed(path, status);
  }
  const std::string path = std::string(dir) + "/samplegame.svg";
  cairo_surface_t* svg = cairo_svg_surface_create(path.c_str(), 256, 256);
  cairo_t* cr = cairo_create(svg);
  DrawIcon(cr, 256);
  cairo_destroy(cr);
  cairo_surface_finish(svg);
  const cairo_status_t status = cairo_surface_status(svg);
  cairo_surface_destroy(svg);
  if (status != CAIRO_STATUS_SUCCESS) ok = SayFailed(path, status);
  return ok;
}

bool WritePlayerSprites(const char* dir) {
  bool ok = WritePlayerShip(dir);
  ok = WriteEndingShip(dir) && ok;
  ok = WriteEndingFlame(dir) && ok;
  ok = WriteSpecialShots(dir) && ok;
  ok = WriteSmallParts(dir) && ok;
  return ok;
}

}  // namespace assets
