// The selection picture "BCG5.BMP" (380 x 480, drawn whole at the left
// edge of the playfield). It is the only guide the selection screen has, so
// it lists what each key does there: F1 to F7 start a game with the energy
// and enemy-bullet speed shown, Space turns on the bosses' hit sparks.
#include "tools/picture_select.h"

#include <cstdio>

#include "tools/bmp_out.h"
#include "tools/picture_common.h"

namespace assets {

namespace {

using namespace pic;

enum class Speed { kNormal, kFast, kFastest };

struct Choice {
  const char* key;
  int energy;
  Speed speed;
};

// What the selection screen does on each key.
constexpr Choice kChoices[] = {{"F1", 999, Speed::kNormal},  {"F2", 333, Speed::kNormal},
                               {"F3", 1, Speed::kNormal},    {"F4", 555, Speed::kFast},
                               {"F5", 777, Speed::kFastest}, {"F6", 1, Speed::kFast},
                               {"F7", 1, Speed::kFastest}};

Rgb EnergyColour(int energy) {
  if (energy >= 700) return Hex(0x50F0A0);
  if (energy >= 400) return Hex(0xC8F060);
  if (energy >= 200) return Hex(0xFFC040);
  return Hex(0xFF4A4A);
}

void Chevrons(cairo_t* cr, double x, double y, int count, Rgb colour) {
  for (int i = 0; i < 3; ++i) {
    const double cx = x + i * 9;
    cairo_move_to(cr, cx, y - 6);
    cairo_line_to(cr, cx + 5, y);
    cairo_line_to(cr, cx, y + 6);
    cairo_line_to(cr, cx + 3, y + 6);
    cairo_line_to(cr, cx + 8, y);
    cairo_line_to(cr, cx + 3, y - 6);
    cairo_close_path(cr);
    SetRgb(cr, i < count ? colour : Hex(0x2A3448), i < count ? 1.0 : 0.9);
    cairo_fill(cr);
  }
}

bool Selection(const char* dir) {
  Canvas c(380, 480);
  cairo_t* cr = c.cr();
  // Backdrop: deep blue with a soft glow behind the header and a grid.
  cairo_pattern_t* bg = cairo_pattern_create_linear(0, 0, 0, 480);
  AddStop(bg, 0, Hex(0x0A1630));
  AddStop(bg, 1, Hex(0x050A18));
  cairo_set_source(cr, bg);
  cairo_paint(cr);
  cairo_pattern_destroy(bg);
  cairo_pattern_t* glow = cairo_pattern_create_radial(190, 30, 0, 190, 30, 220);
  AddStop(glow, 0, Hex(0x2A6ACC), 0.45);
  AddStop(glow, 1, Hex(0x2A6ACC), 0);
  cairo_set_source(cr, glow);
  cairo_paint(cr);
  cairo_pattern_destroy(glow);
  Starfield(cr, 380, 480, 140, 701);
  cairo_set_line_width(cr, 1);
  SetRgb(cr, Hex(0x3A6AAA), 0.1);
  for (double x = 10; x < 380; x += 24) {
    cairo_move_to(cr, x + 0.5, 0);
    cairo_line_to(cr, x + 0.5, 480);
  }
  cairo_stroke(cr);

  // Header.
  SetFont(cr, Face::kSansBold, 25);
  const Lettering head = {
      Hex(0xFFF6D8), Hex(0xFFC850), Hex(0xFFE8B0), Hex(0x2A1406), Hex(0xFF9A30), 4.0, 8.0};
  DisplayText(cr, "SELECT YOUR START", 190, 38, 0.5, head);
  SetFont(cr, Face::kGothic, 13);
  Text(cr, "F1〜F7 キーでエネルギーと敵弾の速さを選択", 190, 58, Hex(0xFFE0B0), 0.5);

  // Column headings.
  const double colKey = 18, colEnergy = 74, colBar = 130, colSpeed = 262;
  SetFont(cr, Face::kSansBold, 10);
  SpacedText(cr, "KEY", colKey + 4, 82, 1.5, Hex(0x8AB8E8));
  SpacedText(cr, "ENERGY", colEnergy, 82, 1.5, Hex(0x8AB8E8));
  SpacedText(cr, "BULLETS", colSpeed, 82, 1.5, Hex(0x8AB8E8));
  SetFont(cr, Face::kGothic, 10);
  Text(cr, "エネルギー", colEnergy + 64, 82, Hex(0x6A98C8));
  Text(cr, "敵弾の速さ", colSpeed + 58, 82, Hex(0x6A98C8));

  // The seven choices.
  double y = 90;
  for (const Choice& ch : kChoices) {
    const double h = 40;
    Panel(cr, 10, y, 360, h, Hex(0x3A78C8), 0.75);
    Keycap(cr, colKey, y + 6, 42, 28, ch.key, 13);
    char number[8];
    snprintf(number, sizeof number, "%d", ch.energy);
    const Rgb ec = EnergyColour(ch.energy);
    SetFont(cr, Face::kMono, 19);
    Text(cr, number, colEnergy + 44, y + 27, ec, 1.0);
    // Energy gauge, full at 999.
    const double bw = 110, bx = colBar, by = y + 15;
    RoundRect(cr, bx, by, bw, 10, 3);
    SetRgb(cr, Hex(0x141C2C));
    cairo_fill_preserve(cr);
    SetRgb(cr, Hex(0x4A5A78));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const double fill = ch.energy >= 999 ? 1.0 : ch.energy / 999.0;
    const double fw = fill * (bw - 4) < 3 ? 3 : fill * (bw - 4);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, by, 0, by + 10);
    AddStop(g, 0, Mix(ec, Hex(0xFFFFFF), 0.45));
    AddStop(g, 1, Scale(ec, 0.7));
    cairo_set_source(cr, g);
    RoundRect(cr, bx + 2, by + 2, fw, 6, 2);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    if (ch.energy == 1) {
      SetFont(cr, Face::kSansBold, 9);
      Text(cr, "ONE HIT ENDS IT", bx + 12, by - 3, Hex(0xFF7A6A));
      SetFont(cr, Face::kGothic, 9);
      Text(cr, "一撃で終了", bx + 12, by + 20, Hex(0xFF9A8A));
    }
    // Enemy bullet speed.
    const int level = ch.speed == Speed::kNormal ? 1 : ch.speed == Speed::kFast ? 2 : 3;
    const Rgb sc = level == 1 ? Hex(0x9AD8FF) : level == 2 ? Hex(0xFFB040) : Hex(0xFF4A5A);
    Chevrons(cr, colSpeed, y + 20, level, sc);
    SetFont(cr, Face::kSansBold, 12);
    const char* speedName = level == 1 ? "NORMAL" : level == 2 ? "FAST" : "FASTEST";
    Text(cr, speedName, colSpeed + 32, y + 19, sc);
    SetFont(cr, Face::kGothic, 10);
    const char* speedJa = level == 1 ? "通常" : level == 2 ? "高速" : "最高速";
    Text(cr, speedJa, colSpeed + 32, y + 33, Mix(sc, Hex(0xFFFFFF), 0.3));
    y += h + 4;
  }

  // Space: the sparks option.
  const double fy = y + 6;
  Panel(cr, 10, fy, 360, 480 - fy - 8, Hex(0xFFB040), 0.8);
  Keycap(cr, 18, fy + 10, 86, 28, "SPACE", 12);
  SetFont(cr, Face::kSansBold, 13);
  Text(cr, "SPARKS ON BOSS HITS", 116, fy + 22, Hex(0xFFE8C0));
  SetFont(cr, Face::kGothic, 11);
  Text(cr, "ボス命中時に火花を表示", 116, fy + 38, Hex(0xFFC890));
  SetFont(cr, Face::kSans, 10);
  Text(cr, "Press SPACE before F1-F7. The title screen turns it off again.", 190, fy + 58,
       Hex(0xC8D4E8), 0.5);
  c.Preview("BCG5.BMP");
  return WriteBmp(c.surface(), dir, "BCG5.BMP", 0);
}

}  // namespace

bool WriteSelectionPicture(const char* dir) { return Selection(dir); }

}  // namespace assets
