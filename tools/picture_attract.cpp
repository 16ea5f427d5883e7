// The four attract pictures the title cycles through: "BTHK00.BMP" (340 x
// 480, the fighter over its home world), "BCG2.BMP" (400 x 480, the enemy
// armada), "BCG3.BMP" (440 x 480, a fortress ship) and "BCG4.BMP" (380 x 480,
// how to play). The game cuts them to the playfield: BCG2 shows only its
// columns 10 to 389 and BCG3 its columns 30 to 409, so captions stay inside.
#include "tools/picture_attract.h"

#include <cmath>

#include "tools/bmp_out.h"
#include "tools/picture_common.h"

namespace assets {

namespace {

using namespace pic;

// Deep-space backdrop: a vertical gradient, nebula glows and stars.
void SpaceBackdrop(cairo_t* cr, int w, int h, Rgb top, Rgb bottom, Rgb nebula1, Rgb nebula2,
                   uint64_t seed) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
  AddStop(g, 0, top);
  AddStop(g, 1, bottom);
  cairo_set_source(cr, g);
  cairo_paint(cr);
  cairo_pattern_destroy(g);
  Rng rng(seed);
  for (int i = 0; i < 9; ++i) {
    const double x = rng.Range(0, w), y = rng.Range(0, h * 0.8), r = rng.Range(60, 150);
    cairo_pattern_t* n = cairo_pattern_create_radial(x, y, 0, x, y, r);
    AddStop(n, 0, i % 2 ? nebula1 : nebula2, 0.22);
    AddStop(n, 1, i % 2 ? nebula1 : nebula2, 0);
    cairo_set_source(cr, n);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(n);
  }
  Starfield(cr, w, h, w * h / 700, seed + 1);
}

// A caption block: a translucent panel with an English headline and a
// Japanese line under it, centred on cx.
void Caption(cairo_t* cr, double cx, double y, double width, const char* english,
             const char* japanese, Rgb accent) {
  Panel(cr, cx - width / 2, y, width, 52, accent, 0.72);
  SetFont(cr, Face::kSansBold, 15);
  SpacedText(cr, english, cx, y + 22, 1.5, Hex(0xF2F6FF), 0.5);
  SetFont(cr, Face::kGothic, 14);
  Text(cr, japanese, cx, y + 42, Mix(accent, Hex(0xFFFFFF), 0.45), 0.5);
}

void SpeedLines(cairo_t* cr, double x0, double x1, double y0, double y1, int count, Rgb colour,
                uint64_t seed) {
  Rng rng(seed);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < count; ++i) {
    const double x = rng.Range(x0, x1), y = rng.Range(y0, y1), len = rng.Range(30, 90);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + len);
    AddStop(g, 0, colour, 0.55);
    AddStop(g, 1, colour, 0);
    cairo_set_source(cr, g);
    cairo_set_line_width(cr, rng.Range(0.8, 1.8));
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x, y + len);
    cairo_stroke(cr);
    cairo_pattern_destroy(g);
  }
}

// ------------------------------------------------------------------ BTHK00

bool Prologue(const char* dir) {
  Canvas c(340, 480);
  cairo_t* cr = c.cr();
  SpaceBackdrop(cr, 340, 480, Hex(0x040818), Hex(0x0C1A3A), Hex(0x3A2A8A), Hex(0x14607A), 301);
  Planet(cr, 170, 820, 470, Hex(0x3A7A44), Hex(0x1A4A8A), Hex(0x5AC8FF), 302, -0.2, -0.98);
  // Sunrise on the planet's rim.
  cairo_pattern_t* sun = cairo_pattern_create_radial(60, 352, 0, 60, 352, 140);
  AddStop(sun, 0, Hex(0xFFF4D8), 0.95);
  AddStop(sun, 0.12, Hex(0xFFD890), 0.6);
  AddStop(sun, 1, Hex(0xFF9A50), 0);
  cairo_set_source(cr, sun);
  cairo_paint(cr);
  cairo_pattern_destroy(sun);
  SpeedLines(cr, 20, 320, 60, 380, 26, Hex(0xA8DCFF), 303);
  Fighter(cr, 170, 200, 200, 1.0);
  SetFont(cr, Face::kSansBold, 12);
  SpacedText(cr, "PROLOGUE", 170, 26, 4, Hex(0x8AD8FF), 0.5);
  Caption(cr, 170, 404, 310, "THE LAST FIGHTER LAUNCHES", "最後の一機、発進", Hex(0x4AB8FF));
  c.Preview("BTHK00.BMP");
  return WriteBmp(c.surface(), dir, "BTHK00.BMP", 0);
}

// ------------------------------------------------------------------ BCG2

bool Armada(const char* dir) {
  Canvas c(400, 480);
  cairo_t* cr = c.cr();
  SpaceBackdrop(cr, 400, 480, Hex(0x12061A), Hex(0x2A0A1C), Hex(0x8A1A3A), Hex(0x5A1A8A), 401);
  // A ringed giant behind the fleet.
  cairo_save(cr);
  cairo_translate(cr, 300, 120);
  cairo_rotate(cr, -0.35);
  cairo_scale(cr, 1, 0.28);
  cairo_set_line_width(cr, 14);
  SetRgb(cr, Hex(0xC89A78), 0.5);
  cairo_arc(cr, 0, 0, 150, kPi, 2 * kPi);
  cairo_stroke(cr);
  cairo_restore(cr);
  Planet(cr, 300, 120, 95, Hex(0xB07A50), Hex(0x8A5A40), Hex(0xFFB080), 402);
  cairo_save(cr);
  cairo_translate(cr, 300, 120);
  cairo_rotate(cr, -0.35);
  cairo_scale(cr, 1, 0.28);
  cairo_set_line_width(cr, 14);
  SetRgb(cr, Hex(0xE8C09A), 0.75);
  cairo_arc(cr, 0, 0, 150, 0, kPi);
  cairo_stroke(cr);
  cairo_restore(cr);
  // The fleet in depth: small and dim far away (top), large close up.
  struct Ship {
    Raider kind;
    double x, y, size;
    uint32_t accent;
  };
  static constexpr Ship kFleet[] = {
      {Raider::kDart, 70, 40, 24, 0xFF4A4A},     {Raider::kDart, 110, 60, 24, 0xFF4A4A},
      {Raider::kDart, 150, 40, 24, 0xFF4A4A},    {Raider::kSaucer, 220, 70, 28, 0x40FF90},
      {Raider::kSaucer, 60, 130, 34, 0x40FF90},  {Raider::kHeavy, 170, 150, 56, 0xB060FF},
      {Raider::kDart, 300, 230, 40, 0xFF4A4A},   {Raider::kDart, 250, 260, 40, 0xFF4A4A},
      {Raider::kDart, 350, 260, 40, 0xFF4A4A},   {Raider::kSaucer, 80, 270, 52, 0x40FF90},
      {Raider::kHeavy, 200, 340, 100, 0xB060FF}, {Raider::kDart, 70, 400, 64, 0xFF4A4A},
      {Raider::kDart, 340, 380, 70, 0xFF4A4A},
  };
  for (const Ship& s : kFleet) {
    // Far ships fade into the haze.
    cairo_push_group(cr);
    EnemyCraft(cr, s.kind, s.x, s.y, s.size, Hex(s.accent));
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, 0.55 + 0.45 * std::fmin(1.0, s.size / 64.0));
  }
  // Their shots raining down.
  Rng rng(403);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < 16; ++i) {
    const double x = rng.Range(40, 360), y = rng.Range(60, 380);
    cairo_set_line_width(cr, 5);
    SetRgb(cr, Hex(0xFF6A30), 0.3);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x, y + 12);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2);
    SetRgb(cr, Hex(0xFFE0A0), 0.95);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x, y + 12);
    cairo_stroke(cr);
  }
  Caption(cr, 200, 410, 320, "THE ARMADA DESCENDS", "敵大艦隊、襲来", Hex(0xFF5A7A));
  c.Preview("BCG2.BMP");
  return WriteBmp(c.surface(), dir, "BCG2.BMP", 0);
}

// ------------------------------------------------------------------ BCG3

// A fortress ship filling the upper picture, prow down towards the viewer.
void FortressShip(cairo_t* cr, double cx, double top, double w, double h) {
  auto P = [&](double u, double v) { return std::pair<double, double>{cx + u * w, top + v * h}; };
  static constexpr double kHull[][2] = {{0.0, 1.0},   {0.10, 0.90}, {0.16, 0.70}, {0.34, 0.60},
                                        {0.50, 0.46}, {0.50, 0.30}, {0.36, 0.22}, {0.30, 0.0}};
  auto hullPath = [&](double inset) {
    const int n = 8;
    for (int i = 0; i < n; ++i) {
      auto [x, y] = P(kHull[i][0] * (1 - inset), kHull[i][1] * (1 - inset * 0.5));
      i ? cairo_line_to(cr, x, y) : cairo_move_to(cr, x, y);
    }
    for (int i = n - 1; i >= 0; --i) {
      auto [x, y] = P(-kHull[i][0] * (1 - inset), kHull[i][1] * (1 - inset * 0.5));
      cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
  };
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  // Engine glare above the hull.
  for (int i = -1; i <= 1; ++i) {
    auto [ex, ey] = P(i * 0.2, 0.02);
    cairo_pattern_t* g = cairo_pattern_create_radial(ex, ey, 0, ex, ey, w * 0.12);
    AddStop(g, 0, Hex(0xFFFFFF));
    AddStop(g, 0.3, Hex(0xFF9A40), 0.8);
    AddStop(g, 1, Hex(0xFF3A10), 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, ex, ey, w * 0.12, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  hullPath(0);
  cairo_pattern_t* metal = cairo_pattern_create_linear(cx - w * 0.5, 0, cx + w * 0.5, 0);
  AddStop(metal, 0, Hex(0x2A2230));
  AddStop(metal, 0.32, Hex(0x9A8A96));
  AddStop(metal, 0.5, Hex(0x6A5A68));
  AddStop(metal, 0.7, Hex(0x54465A));
  AddStop(metal, 1, Hex(0x1E1824));
  cairo_set_source(cr, metal);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(metal);
  cairo_set_line_width(cr, 2.5);
  SetRgb(cr, Hex(0x120C16));
  cairo_stroke(cr);
  // Inner armour deck.
  hullPath(0.22);
  cairo_pattern_t* deck = cairo_pattern_create_linear(0, top, 0, top + h);
  AddStop(deck, 0, Hex(0x4A3E4E));
  AddStop(deck, 1, Hex(0x2E2634));
  cairo_set_source(cr, deck);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(deck);
  SetRgb(cr, Hex(0xB8A8B8), 0.6);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  // Plate seams.
  SetRgb(cr, Hex(0x140E18), 0.7);
  cairo_set_line_width(cr, 1);
  for (double v = 0.1; v < 0.9; v += 0.08) {
    const double half = v < 0.46 ? 0.36 : 0.36 - (v - 0.46) * 0.55;
    auto [x0, y0] = P(-half, v);
    auto [x1, y1] = P(half, v);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
  }
  cairo_stroke(cr);
  // Spine.
  {
    auto [x0, y0] = P(0, 0.04);
    RoundRect(cr, x0 - w * 0.035, y0, w * 0.07, h * 0.86, w * 0.02);
    cairo_pattern_t* sp = cairo_pattern_create_linear(x0 - w * 0.035, 0, x0 + w * 0.035, 0);
    AddStop(sp, 0, Hex(0x3A3040));
    AddStop(sp, 0.4, Hex(0xC0B0C0));
    AddStop(sp, 1, Hex(0x3A3040));
    cairo_set_source(cr, sp);
    cairo_fill(cr);
    cairo_pattern_destroy(sp);
  }
  // The reactor core.
  {
    auto [x, y] = P(0, 0.56);
    const double r = w * 0.085;
    SetRgb(cr, Hex(0x1A0E14));
    cairo_arc(cr, x, y, r * 1.35, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_t* g = cairo_pattern_create_radial(x, y, 0, x, y, r * 2.2);
    AddStop(g, 0, Hex(0xFFFFFF));
    AddStop(g, 0.2, Hex(0xFF8A60));
    AddStop(g, 0.45, Hex(0xE0203A), 0.9);
    AddStop(g, 1, Hex(0xE0203A), 0);
    cairo_set_source(cr, g);
    cairo_arc(cr, x, y, r * 2.2, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, 2);
    SetRgb(cr, Hex(0xFFC0A0), 0.9);
    cairo_arc(cr, x, y, r * 1.35, 0, 2 * kPi);
    cairo_stroke(cr);
  }
  // Turrets with barrels pointing down.
  static constexpr double kTurrets[][2] = {{0.2, 0.36}, {0.32, 0.44}, {0.12, 0.74}, {0.42, 0.36}};
  for (const auto& t : kTurrets) {
    for (int side = -1; side <= 1; side += 2) {
      auto [x, y] = P(side * t[0], t[1]);
      const double r = w * 0.03;
      SetRgb(cr, Hex(0x100A12));
      cairo_rectangle(cr, x - r * 0.25, y, r * 0.5, r * 2.2);
      cairo_fill(cr);
      cairo_pattern_t* g = cairo_pattern_create_radial(x - r * 0.3, y - r * 0.3, 0, x, y, r);
      AddStop(g, 0, Hex(0xE0D0DC));
      AddStop(g, 1, Hex(0x4A3A4E));
      cairo_set_source(cr, g);
      cairo_arc(cr, x, y, r, 0, 2 * kPi);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(g);
      SetRgb(cr, Hex(0x100A12));
      cairo_stroke(cr);
      SetRgb(cr, Hex(0xFF3A3A));
      cairo_arc(cr, x, y, r * 0.3, 0, 2 * kPi);
      cairo_fill(cr);
    }
  }
  // Running lights along the wing edges.
  for (double v = 0.3; v <= 0.46; v += 0.04) {
    for (int side = -1; side <= 1; side += 2) {
      auto [x, y] = P(side * 0.485, v);
      SetRgb(cr, Hex(0xFFC040), 0.95);
      cairo_arc(cr, x, y, 1.8, 0, 2 * kPi);
      cairo_fill(cr);
    }
  }
  // Hangar slits glowing cyan.
  for (int i = 0; i < 3; ++i) {
    for (int side = -1; side <= 1; side += 2) {
      auto [x, y] = P(side * (0.1 + i * 0.07), 0.18 + i * 0.03);
      SetRgb(cr, Hex(0x40E0FF), 0.85);
      cairo_rectangle(cr, x - 6, y, 12, 3);
      cairo_fill(cr);
    }
  }
  cairo_restore(cr);
}

bool Fortress(const char* dir) {
  Canvas c(440, 480);
  cairo_t* cr = c.cr();
  SpaceBackdrop(cr, 440, 480, Hex(0x08060E), Hex(0x141026), Hex(0x7A1A2A), Hex(0x2A3A8A), 501);
  FortressShip(cr, 220, -10, 420, 330);
  // The fighter's volley climbing towards the core.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = -2; i <= 2; ++i) {
    for (int k = 0; k < 4; ++k) {
      const double x = 220 + i * 9 + i * k * 2, y = 330 - k * 34;
      cairo_set_line_width(cr, 6);
      SetRgb(cr, Hex(0x40C8FF), 0.3);
      cairo_move_to(cr, x, y);
      cairo_line_to(cr, x, y + 14);
      cairo_stroke(cr);
      cairo_set_line_width(cr, 2.5);
      SetRgb(cr, Hex(0xE8FCFF));
      cairo_move_to(cr, x, y);
      cairo_line_to(cr, x, y + 14);
      cairo_stroke(cr);
    }
  }
  Fighter(cr, 220, 372, 70, 0.9);
  Caption(cr, 220, 414, 340, "EIGHT FORTRESSES BAR THE WAY", "立ちはだかる八つの巨大要塞",
          Hex(0xFF8A40));
  c.Preview("BCG3.BMP");
  return WriteBmp(c.surface(), dir, "BCG3.BMP", 0);
}

// ------------------------------------------------------------------ BCG4

void Arrow(cairo_t* cr, double cx, double cy, double angle) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, angle);
  cairo_move_to(cr, 0, -6);
  cairo_line_to(cr, 6, 3);
  cairo_line_to(cr, -6, 3);
  cairo_close_path(cr);
  SetRgb(cr, Hex(0x1A2234));
  cairo_fill(cr);
  cairo_restore(cr);
}

bool HowToPlay(const char* dir) {
  Canvas c(380, 480);
  cairo_t* cr = c.cr();
  SpaceBackdrop(cr, 380, 480, Hex(0x050C1C), Hex(0x0A1830), Hex(0x1A4A8A), Hex(0x1A6A6A), 601);
  // A faint grid.
  cairo_set_line_width(cr, 1);
  SetRgb(cr, Hex(0x3A6AAA), 0.12);
  for (double x = 10; x < 380; x += 24) {
    cairo_move_to(cr, x + 0.5, 0);
    cairo_line_to(cr, x + 0.5, 480);
  }
  for (double y = 10; y < 480; y += 24) {
    cairo_move_to(cr, 0, y + 0.5);
    cairo_line_to(cr, 380, y + 0.5);
  }
  cairo_stroke(cr);
  SetFont(cr, Face::kSansBold, 26);
  const Lettering head = {
      Hex(0xE6F4FF), Hex(0x7CC8FF), Hex(0xA8E0FF), Hex(0x0A1430), Hex(0x40B0FF), 4.0, 8.0};
  DisplayText(cr, "HOW TO PLAY", 190, 46, 0.5, head);
  SetFont(cr, Face::kGothic, 14);
  Text(cr, "操作方法", 190, 68, Hex(0x9AD8FF), 0.5);

  Panel(cr, 14, 84, 352, 304, Hex(0x4AB8FF), 0.7);
  // Arrow keys.
  const double ax = 30, ay = 100;
  Keycap(cr, ax + 30, ay, 28, 26, "");
  Keycap(cr, ax, ay + 28, 28, 26, "");
  Keycap(cr, ax + 30, ay + 28, 28, 26, "");
  Keycap(cr, ax + 60, ay + 28, 28, 26, "");
  Arrow(cr, ax + 44, ay + 11, 0);
  Arrow(cr, ax + 14, ay + 39, -kPi / 2);
  Arrow(cr, ax + 44, ay + 39, kPi);
  Arrow(cr, ax + 74, ay + 39, kPi / 2);
  auto label = [&](double y, const char* english, const char* japanese) {
    SetFont(cr, Face::kSansBold, 15);
    Text(cr, english, 200, y, Hex(0xF2F6FF));
    SetFont(cr, Face::kGothic, 12);
    Text(cr, japanese, 200, y + 16, Hex(0x8ACFFF));
  };
  label(122, "MOVE", "自機の移動");
  // Shot.
  Keycap(cr, 30, 166, 34, 28, "X");
  SetFont(cr, Face::kSans, 12);
  Text(cr, "or", 78, 185, Hex(0xB8C4D8), 0.5);
  Keycap(cr, 92, 166, 52, 28, "CTRL", 11);
  label(180, "SHOT", "ショット (押し続けて連射)");
  // Special.
  Keycap(cr, 30, 214, 34, 28, "Z");
  SetFont(cr, Face::kSans, 12);
  Text(cr, "or", 78, 233, Hex(0xB8C4D8), 0.5);
  Keycap(cr, 92, 214, 60, 28, "SHIFT", 11);
  label(228, "SPECIAL", "3方向の特殊弾");
  // Pause and quit.
  Keycap(cr, 30, 262, 34, 28, "S");
  label(276, "PAUSE", "一時停止 / 再開");
  Keycap(cr, 30, 306, 44, 28, "ESC", 11);
  label(320, "QUIT", "ゲーム終了");
  // Joystick.
  SetFont(cr, Face::kSansBold, 12);
  Text(cr, "JOYSTICK", 190, 356, Hex(0xF2F6FF), 0.5);
  SetFont(cr, Face::kSans, 12);
  Text(cr, "stick: move   button 2: shot   button 1: special", 190, 374, Hex(0xB8C8E0), 0.5);
  // Rules.
  Panel(cr, 14, 400, 352, 66, Hex(0xFF9A50), 0.7);
  SetFont(cr, Face::kSansBold, 12);
  Text(cr, "No lives: every hit costs energy.", 190, 420, Hex(0xFFE0C0), 0.5);
  Text(cr, "Destroy the fortress at the end of each stage.", 190, 438, Hex(0xFFE0C0), 0.5);
  SetFont(cr, Face::kGothic, 12);
  Text(cr, "被弾でエネルギー減少 — 0 でゲームオーバー", 190, 456, Hex(0xFFC890), 0.5);
  c.Preview("BCG4.BMP");
  return WriteBmp(c.surface(), dir, "BCG4.BMP", 0);
}

}  // namespace

bool WriteAttractPictures(const char* dir) {
  bool ok = Prologue(dir);
  ok = Armada(dir) && ok;
  ok = Fortress(dir) && ok;
  ok = HowToPlay(dir) && ok;
  return ok;
}

}  // namespace assets
