// Enemy and boss bullets, "VAL*.BMP". Every bullet has a white-hot core, a
// saturated body and a dark rim, so it reads against dark space and bright
// sky alike.
#include <cmath>

#include "tools/sprite_kit.h"
#include "tools/sprite_parts.h"

namespace assets {

namespace {

using kit::Hex;
using kit::Rgb;

struct Palette {
  Rgb rim;   // dark outer edge
  Rgb body;  // saturated colour
  Rgb glow;  // light ring inside the body
};

constexpr Palette kFire{Hex(0x8a0c06), Hex(0xff4a14), Hex(0xffb030)};
constexpr Palette kRose{Hex(0x6a0848), Hex(0xff2ea0), Hex(0xff9ae0)};
constexpr Palette kLime{Hex(0x1e5a06), Hex(0x8cf21a), Hex(0xeaff70)};
constexpr Palette kGold{Hex(0x6a3a00), Hex(0xffb000), Hex(0xfff080)};
constexpr Palette kViolet{Hex(0x2a0c70), Hex(0x9a4cff), Hex(0xdcc0ff)};
constexpr Palette kCrimson{Hex(0x700018), Hex(0xff1e46), Hex(0xffa0b0)};

// Round bullet of radius r at (x, y): rim, body with a lit side, core.
void Orb(cairo_t* cr, double x, double y, double r, const Palette& p) {
  cairo_arc(cr, x, y, r, 0, 2 * kit::kPi);
  kit::SetColor(cr, p.rim);
  cairo_fill(cr);
  cairo_pattern_t* g = cairo_pattern_create_radial(x - r * 0.2, y - r * 0.25, 0, x, y, r * 0.82);
  kit::AddStop(g, 0.0, {1, 1, 1});
  kit::AddStop(g, 0.35, p.glow);
  kit::AddStop(g, 0.75, p.body);
  kit::AddStop(g, 1.0, kit::Shade(p.body, 0.7));
  cairo_arc(cr, x, y, r * 0.8, 0, 2 * kit::kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

// Four-pointed star of radius r turned by `turn`, over an orb: the spinning
// bullets of the large ships.
void Star(cairo_t* cr, double x, double y, double r, double turn, const Palette& p) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_rotate(cr, turn);
  cairo_new_path(cr);
  for (int i = 0; i < 8; ++i) {
    double a = i * kit::kPi / 4;
    double rr = i % 2 ? r * 0.42 : r;
    cairo_line_to(cr, rr * std::cos(a), rr * std::sin(a));
  }
  cairo_close_path(cr);
  kit::SetColor(cr, p.rim);
  cairo_set_line_width(cr, 1.6);
  cairo_stroke_preserve(cr);
  kit::SetColor(cr, p.glow);
  cairo_fill(cr);
  cairo_restore(cr);
}

bool WriteSmallBullets(const char* dir) {
  struct Small {
    const char* name;
    const Palette* palette;
  };
  static const Small kSmall[] = {{"VAL11.BMP", &kFire}, {"VAL12.BMP", &kRose}, {"VAL13.BMP", &kLime}};
  bool ok = true;
  for (const Small& s : kSmall) {
    kit::Canvas c(16, 16);
    Orb(c.cr(), 8, 8, 7.6, *s.palette);
    ok = c.Save(dir, s.name) && ok;
  }
  return ok;
}

// 16 frames of 16 x 16: the star turns a quarter turn while the core pulses,
// so the cycle repeats seamlessly.
bool WriteSpinningBullets(const char* dir) {
  struct Spinning {
    const char* name;
    const Palette* palette;
  };
  static const Spinning kSpin[] = {{"VAL1.BMP", &kRose}, {"VAL2.BMP", &kGold}, {"VAL3.BMP", &kLime}};
  bool ok = true;
  for (const Spinning& s : kSpin) {
    kit::Canvas c(16 * 16, 16);
    for (int n = 0; n < 16; ++n) {
      kit::CellScope cell(c.cr(), 16 * n, 0, 16, 16);
      double phase = n / 16.0;
      Star(c.cr(), 8, 8, 7.9, phase * kit::kPi / 2, *s.palette);
      double pulse = 0.5 + 0.5 * std::cos(phase * 2 * kit::kPi);
      Orb(c.cr(), 8, 8, 4.4 + 1.0 * pulse, *s.palette);
    }
    ok = c.Save(dir, s.name) && ok;
  }
  return ok;
}

bool WriteBossBullets(const char* dir) {
  bool ok = true;
  {
    // "VAL20.BMP": the boss volley bullet, 20 x 20, with a bright ring.
    kit::Canvas c(20, 20);
    cairo_t* cr = c.cr();
    Orb(cr, 10, 10, 9.6, kCrimson);
    cairo_arc(cr, 10, 10, 6.6, 0, 2 * kit::kPi);
    kit::Stroke(cr, Hex(0xffe0e8), 1.0, 0.9);
    ok = c.Save(dir, "VAL20.BMP") && ok;
  }
  // "VAL401.BMP", "VAL402.BMP": five 40 x 40 cells of a large energy ball;
  // each record keeps one cell, so the five differ in the turn of their
  // spikes and the shape of their halo.
  struct Large {
    const char* name;
    const Palette* palette;
    int spikes;
  };
  static const Large kLarge[] = {{"VAL401.BMP", &kFire, 8}, {"VAL402.BMP", &kViolet, 6}};
  for (const Large& l : kLarge) {
    kit::Canvas c(200, 40);
    cairo_t* cr = c.cr();
    for (int n = 0; n < 5; ++n) {
      kit::CellScope cell(cr, 40 * n, 0, 40, 40);
      double turn = n * 2 * kit::kPi / (5.0 * l.spikes);
      cairo_save(cr);
      cairo_translate(cr, 20, 20);
      cairo_rotate(cr, turn);
      cairo_new_path(cr);
      for (int i = 0; i < 2 * l.spikes; ++i) {
        double a = i * kit::kPi / l.spikes;
        double r = i % 2 ? 11.5 : 19.0 - (i / 2 + n) % 3;
        cairo_line_to(cr, r * std::cos(a), r * std::sin(a));
      }
      cairo_close_path(cr);
      cairo_pattern_t* g = cairo_pattern_create_radial(0, 0, 4, 0, 0, 19);
      kit::AddStop(g, 0.0, l.palette->glow);
      kit::AddStop(g, 1.0, l.palette->body);
      cairo_set_source(cr, g);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(g);
      kit::Stroke(cr, l.palette->rim, 1.5);
      cairo_restore(cr);
      Orb(cr, 20, 20, 12.5, *l.palette);
      cairo_arc(cr, 20, 20, 8.5, 0, 2 * kit::kPi);
      kit::Stroke(cr, {1, 1, 1}, 1.1, 0.8);
    }
    ok = c.Save(dir, l.name) && ok;
  }
  return ok;
}

}  // namespace

bool WriteBulletSprites(const char* dir) {
  bool ok = WriteSmallBullets(dir);
  ok = WriteSpinningBullets(dir) && ok;
  ok = WriteBossBullets(dir) && ok;
  return ok;
}

}  // namespace assets
