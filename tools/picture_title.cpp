// The title logo "TITLE.BMP" (500 x 300) and the ending message
// "MYGOODN.BMP" (300 x 100), both on a transparent ground.
#include "tools/picture_title.h"

#include <cmath>

#include "tools/bmp_out.h"
#include "tools/picture_common.h"

namespace assets {

namespace {

using namespace pic;

// The title is drawn at x = 70 and cut to the playfield (x 130 to 510), so
// only its columns 60 to 439 are ever seen: everything stays inside them.
constexpr double kTitleLeft = 60, kTitleRight = 440;
constexpr double kTitleMid = (kTitleLeft + kTitleRight) / 2;

// Both pictures are shown over black, so the glows are kept down to a faint
// alpha: what survives the cut is composited over black like the screen.
constexpr int kGlowCut = 40;

const Lettering kChrome = {Hex(0xE6F4FF), Hex(0x7CC8FF), Hex(0xFFD890), Hex(0x0A1430),
                           Hex(0x40B0FF), 5.0,           14.0};
const Lettering kGold = {Hex(0xFFF6D0), Hex(0xFFC040), Hex(0xFFE8A0), Hex(0x2A1406),
                         Hex(0xFF9A30), 4.0,           10.0};

// Chooses the largest size up to `maxSize` at which `text` fits `width`.
void FitFont(cairo_t* cr, Face face, const char* text, double width, double maxSize, bool italic) {
  SetFont(cr, face, maxSize, italic);
  const double w = TextWidth(cr, text);
  if (w > width) SetFont(cr, face, maxSize * width / w, italic);
}

bool Title(const char* dir) {
  Canvas c(500, 300);
  cairo_t* cr = c.cr();
  // An orbit ring around the ship: the far half behind it, the near half
  // in front.
  auto ring = [&](double from, double to) {
    cairo_save(cr);
    cairo_translate(cr, kTitleMid, 96);
    cairo_scale(cr, 1.0, 0.32);
    for (int i = 4; i >= 1; --i) {
      cairo_set_line_width(cr, 2.0 + i * 3.0);
      SetRgb(cr, Hex(0x3AA8FF), 0.08);
      cairo_arc(cr, 0, 0, 165, from, to);
      cairo_stroke(cr);
    }
    cairo_set_line_width(cr, 2.0);
    SetRgb(cr, Hex(0x9AE0FF), 0.9);
    cairo_arc(cr, 0, 0, 165, from, to);
    cairo_stroke(cr);
    cairo_restore(cr);
  };
  ring(kPi, 2 * kPi);
  // Speed streaks trailing the ship.
  Rng rng(7);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < 9; ++i) {
    const double x = kTitleMid + rng.Range(-120, 120), y0 = rng.Range(40, 120);
    const double len = rng.Range(20, 60);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y0 + len);
    AddStop(g, 0, Hex(0xA8E4FF), 0.7);
    AddStop(g, 1, Hex(0xA8E4FF), 0);
    cairo_set_source(cr, g);
    cairo_set_line_width(cr, rng.Range(1.0, 2.2));
    cairo_move_to(cr, x, y0);
    cairo_line_to(cr, x, y0 + len);
    cairo_stroke(cr);
    cairo_pattern_destroy(g);
  }
  Fighter(cr, kTitleMid, 78, 118, 0.9);
  ring(0, kPi);
  // The name.
  const char* name = "Sample Game";
  FitFont(cr, Face::kSansBold, name, kTitleRight - kTitleLeft - 36, 64, true);
  DisplayText(cr, name, kTitleMid, 208, 0.5, kChrome);
  // Subtitle rule and text.
  cairo_pattern_t* rule = cairo_pattern_create_linear(kTitleLeft + 20, 0, kTitleRight - 20, 0);
  AddStop(rule, 0, Hex(0xFF7A3C), 0);
  AddStop(rule, 0.5, Hex(0xFF9A50), 1);
  AddStop(rule, 1, Hex(0xFF7A3C), 0);
  cairo_set_source(cr, rule);
  cairo_rectangle(cr, kTitleLeft + 20, 222, kTitleRight - kTitleLeft - 40, 2);
  cairo_fill(cr);
  cairo_pattern_destroy(rule);
  SetFont(cr, Face::kSansBold, 12);
  SpacedText(cr, "VERTICAL SHOOTING  8 STAGES", kTitleMid, 242, 2.5, Hex(0xFFC890), 0.5);
  // The prompt.
  SetFont(cr, Face::kSansBold, 17);
  for (int i = 3; i >= 1; --i) {
    cairo_save(cr);
    cairo_new_path(cr);
    const double w = TextWidth(cr, "PRESS ENTER");
    cairo_move_to(cr, kTitleMid - w / 2, 282);
    cairo_text_path(cr, "PRESS ENTER");
    cairo_set_line_width(cr, i * 3.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetRgb(cr, Hex(0x30C0FF), 0.18);
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  Text(cr, "PRESS ENTER", kTitleMid, 282, Hex(0xE8FAFF), 0.5);
  c.Preview("TITLE.BMP");
  return WriteBmp(c.surface(), dir, "TITLE.BMP", kGlowCut);
}

bool EndingMessage(const char* dir) {
  Canvas c(300, 100);
  cairo_t* cr = c.cr();
  FitFont(cr, Face::kSansBold, "CONGRATULATIONS!", 272, 34, true);
  DisplayText(cr, "CONGRATULATIONS!", 150, 44, 0.5, kGold);
  SetFont(cr, Face::kSansBold, 13);
  SpacedText(cr, "MISSION COMPLETE", 150, 68, 3.0, Hex(0x9AE4FF), 0.5);
  SetFont(cr, Face::kGothic, 13);
  Text(cr, "全ステージクリア  Thank you for playing!", 150, 90, Hex(0xF0F4FF), 0.5);
  c.Preview("MYGOODN.BMP");
  return WriteBmp(c.surface(), dir, "MYGOODN.BMP", kGlowCut);
}

}  // namespace

bool WriteTitlePictures(const char* dir) {
  bool ok = Title(dir);
  ok = EndingMessage(dir) && ok;
  return ok;
}

}  // namespace assets
