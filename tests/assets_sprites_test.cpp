// The generated sprite sheets against the cells the game cuts from them, as
// files, through the library, and in the look the game needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "platform/headless.h"
#include "tests/test_support.h"

namespace {

std::string AssetDir() {
  std::string exe = SAMPLEGAME_EXE;
  return exe.substr(0, exe.find_last_of('/') + 1);
}

// A decoded 24-bit BMP, pixels 0x00RRGGBB from the top row down; black
// outside, so a missing file fails its tests without a crash.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const {
    return x >= 0 && x < width && y >= 0 && y < height ? pixels[size_t(y) * width + x] : 0;
  }
};

// n little-endian bytes at `at`.
uint32_t Le(const std::string& d, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | uint8_t(d[at + i]);
  return v;
}

Picture ReadPicture(const std::string& name) {
  Picture p;
  const std::string d = oxtest::ReadFile(AssetDir() + name);
  const bool bmp = d.size() >= 54 && d[0] == 'B' && d[1] == 'M';
  const int32_t w = bmp ? int32_t(Le(d, 18, 4)) : 0, h = bmp ? int32_t(Le(d, 22, 4)) : 0;
  const size_t offset = bmp ? Le(d, 10, 4) : 0, row = (size_t(w) * 3 + 3) & ~size_t(3);
  const bool ok = bmp && Le(d, 14, 4) >= 40 && Le(d, 26, 2) == 1 && Le(d, 28, 2) == 24 &&
                  Le(d, 30, 4) == 0 && w > 0 && w <= 4096 && h != 0 && std::abs(h) <= 4096 &&
                  offset >= 54 && d.size() >= offset + row * std::abs(h);
  EXPECT_TRUE(ok) << name << " is missing or not a whole uncompressed 24-bit BMP";
  if (!ok) return p;
  p.width = w;
  p.height = std::abs(h);
  p.pixels.resize(size_t(w) * p.height);
  for (int y = 0; y < p.height; ++y) {
    const size_t src = offset + row * size_t(h > 0 ? p.height - 1 - y : y);
    for (int x = 0; x < w; ++x) p.pixels[size_t(y) * w + x] = Le(d, src + size_t(x) * 3, 3);
  }
  return p;
}

int R(uint32_t c) { return int(c >> 16 & 0xFF); }
int G(uint32_t c) { return int(c >> 8 & 0xFF); }
int B(uint32_t c) { return int(c & 0xFF); }
double Luma(uint32_t c) { return 0.299 * R(c) + 0.587 * G(c) + 0.114 * B(c); }
// Seen by the game: not black after conversion to RGB565.
bool Visible(uint32_t c) { return R(c) >= 8 || G(c) >= 4 || B(c) >= 8; }

struct Rect {
  int l, t, r, b;
  int Area() const { return (r - l) * (b - t); }
};

struct CellStats {
  int visible = 0, minX = 1 << 30, maxX = -1;
  double luma = 0, sumX = 0;  // luma: mean over the visible pixels
  int Width() const { return maxX < minX ? 0 : maxX - minX + 1; }
  double CentreX() const { return visible ? sumX / visible : 0; }
};

CellStats Stats(const Picture& p, Rect c) {
  CellStats s;
  for (int y = c.t; y < c.b; ++y)
    for (int x = c.l; x < c.r; ++x) {
      const uint32_t v = p.At(x, y);
      if (!Visible(v)) continue;
      ++s.visible;
      s.luma += Luma(v);
      s.sumX += x - c.l;
      s.minX = std::min(s.minX, x - c.l);
      s.maxX = std::max(s.maxX, x - c.l);
    }
  if (s.visible) s.luma /= s.visible;
  return s;
}

// Fraction of the pixels of two equal-sized cells that differ clearly.
double Difference(const Picture& a, Rect ca, const Picture& b, Rect cb) {
  int differ = 0;
  for (int y = 0; y < ca.b - ca.t; ++y)
    for (int x = 0; x < ca.r - ca.l; ++x) {
      const uint32_t p = a.At(ca.l + x, ca.t + y), q = b.At(cb.l + x, cb.t + y);
      differ += std::abs(R(p) - R(q)) + std::abs(G(p) - G(q)) + std::abs(B(p) - B(q)) > 96;
    }
  return double(differ) / ca.Area();
}

// What the game cuts from each sheet: cols x rows cells of cellW x cellH from
// the top-left corner. Frames: consecutive cells animate; Fire: frames that
// stay inside their cells; Blast: fire that grows, then cools.
enum Anim { kStill, kFrames, kFire, kBlast };
struct Sheet { const char* name; int cellW, cellH, cols = 1, rows = 1; Anim anim = kStill; };

const Sheet kSheets[] = {
    {"MY.BMP", 60, 70, 7, 1, kFrames}, {"MYEND.BMP", 120, 120}, {"MYENDF.BMP", 120, 120, 3, 1, kFrames},
    {"FLH1.BMP", 60, 60},           {"FLH2.BMP", 60, 60},
    {"FBAK1.BMP", 80, 80, 10, 1, kBlast}, {"GFBAK1.BMP", 60, 60, 8, 2, kBlast},
    {"ZAK1.BMP", 60, 70},   {"ZAK4.BMP", 60, 60},   {"ZAK5.BMP", 80, 80},   {"ZAK6.BMP", 80, 60},
    {"ZAK7.BMP", 80, 100},  {"ZAK9.BMP", 100, 80},  {"ZAK10.BMP", 100, 120}, {"ZAK11.BMP", 80, 100},
    {"ZAK12.BMP", 80, 80},  {"ZAK13.BMP", 80, 80},  {"ZAK14.BMP", 80, 80},  {"ZAK19.BMP", 80, 80},
    {"ZAK21.BMP", 90, 90},  {"ZAK22.BMP", 90, 90},  {"ZAK23.BMP", 90, 90},  {"ZAK24.BMP", 90, 90},
    {"ZAK50.BMP", 200, 160}, {"ZAK51.BMP", 200, 160}, {"ZAK52.BMP", 200, 160},
    {"ZAK53.BMP", 200, 160}, {"ZAK54.BMP", 240, 180},
    {"VAL11.BMP", 16, 16},  {"VAL12.BMP", 16, 16},  {"VAL13.BMP", 16, 16},
    {"VAL1.BMP", 16, 16, 16, 1, kFrames}, {"VAL2.BMP", 16, 16, 16, 1, kFrames},
    {"VAL3.BMP", 16, 16, 16, 1, kFrames},
    {"BOS11.BMP", 380, 380}, {"BOS21.BMP", 360, 340}, {"BOS31.BMP", 440, 380},
    {"BOS41.BMP", 420, 360}, {"BOS51.BMP", 360, 400}, {"BOS61.BMP", 480, 390},
    {"BOS71.BMP", 500, 440}, {"BOS81.BMP", 420, 360}, {"BOS111.BMP", 480, 480},
    {"BOS511.BMP", 480, 480}, {"VAL20.BMP", 20, 20},
    {"VAL401.BMP", 40, 40, 5}, {"VAL402.BMP", 40, 40, 5},
    {"ZBAK1.BMP", 60, 60, 10, 1, kBlast}, {"ZBAK2.BMP", 80, 80, 8, 1, kBlast},
    {"ZBAK3.BMP", 80, 80, 10, 1, kBlast}, {"BBAK1.BMP", 160, 160, 4, 1, kFire},
    {"SUNDER1.BMP", 80, 80, 7, 1, kFire}, {"ZFIRE1.BMP", 20, 70, 20, 1, kFrames},
};

// Loaded by the game but never drawn: any size, but valid pictures.
const char* const kLoadedOnly[] = {"ZAK8.BMP",  "ZAK17.BMP", "ZAK18.BMP",
                                   "ZAK20.BMP", "ZAK55.BMP", "BOS711.BMP"};

// The cells of "MYMY.BMP" the game draws: digits, shot, GAME OVER, stars.
std::vector<Rect> SmallPartCells() {
  std::vector<Rect> cells;
  for (int d = 0; d < 10; ++d) cells.push_back({8 + 7 * d, 70, 15 + 7 * d, 80});
  cells.push_back({0, 70, 5, 80});
  cells.push_back({81, 70, 136, 80});
  for (int k = 0; k < 7; ++k) cells.push_back({139 + 3 * k, 77, 142 + 3 * k, 80});
  return cells;
}

Rect CellOf(const Sheet& s, int col, int row) {
  return {col * s.cellW, row * s.cellH, (col + 1) * s.cellW, (row + 1) * s.cellH};
}

// The cells in the order the game plays them; the burst flame skips (0,1).
std::vector<Rect> PlayOrder(const Sheet& s) {
  std::vector<Rect> cells;
  for (int row = 0; row < s.rows; ++row)
    for (int col = 0; col < s.cols; ++col)
      if (strcmp(s.name, "GFBAK1.BMP") || row != 1 || col != 0) cells.push_back(CellOf(s, col, row));
  return cells;
}

TEST(AssetsSprites, EverySheetHasItsTableSizeTransparentGroundAndFilledCells) {
  std::vector<const char*> names(std::begin(kLoadedOnly), std::end(kLoadedOnly));
  for (const Sheet& s : kSheets) names.push_back(s.name);
  names.push_back("MYMY.BMP");
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const Picture p = ReadPicture(name);
    int lost = 0, transparent = 0;
    for (uint32_t c : p.pixels) {
      transparent += c == 0;
      lost += c != 0 && !Visible(c);
    }
    EXPECT_EQ(lost, 0) << "pixels that vanish as the key colour after 16-bit conversion";
    EXPECT_GT(transparent, int(p.pixels.size() / 20));
    EXPECT_EQ(p.At(0, 0), 0u);
  }
  for (const Sheet& s : kSheets) {
    SCOPED_TRACE(s.name);
    const Picture p = ReadPicture(s.name);
    EXPECT_EQ(p.width, s.cellW * s.cols);
    EXPECT_EQ(p.height, s.cellH * s.rows);
    for (const Rect& c : PlayOrder(s)) {
      const int visible = Stats(p, c).visible;
      EXPECT_GE(visible, c.Area() / 25) << "cell at " << c.l << "," << c.t;
      EXPECT_LT(visible, c.Area()) << "cell at " << c.l << "," << c.t;
    }
  }
  const Picture parts = ReadPicture("MYMY.BMP");
  for (const Rect& c : SmallPartCells()) {
    EXPECT_GE(Stats(parts, c).visible, std::max(1, c.Area() / 5)) << "MYMY.BMP at " << c.l;
  }
}

// Through the library: every cell draws exactly its visible pixels.
TEST(AssetsSprites, TheLibraryLoadsEverySheetAndDrawsEachCellPixelForPixel) {
  oxtest::OpenScreen();
  ox::OverrideDataDirectory(AssetDir().c_str());
  oxDraw::SetClip(0, 0, 640, 480);
  const int boxes = plat::headless::BoxCount();
  auto check = [&](const char* name, const std::vector<Rect>& cells) {
    const int handle = oxDraw::LoadObject(name, 1);
    ASSERT_GE(handle, 4) << name;
    const Picture p = ReadPicture(name);
    const oxd::Surface* back = oxd::Scr().back;
    for (const Rect& c : cells) {
      oxDraw::Clear();
      oxDraw::Draw(0, 0, handle, c.l, c.t, c.r, c.b);
      int drawn = 0, outside = 0;
      for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
          if (back->pixels[y * back->pitch + x]) (x < c.r - c.l && y < c.b - c.t ? drawn : outside)++;
      EXPECT_EQ(drawn, Stats(p, c).visible) << name << " cell at " << c.l << "," << c.t;
      EXPECT_EQ(outside, 0) << name;
    }
  };
  for (const Sheet& s : kSheets) check(s.name, PlayOrder(s));
  check("MYMY.BMP", SmallPartCells());
  EXPECT_EQ(plat::headless::BoxCount(), boxes) << plat::headless::LastBox().text;
  oxDraw::Release();
}

TEST(AssetsSprites, AnimationFramesDifferAndExplosionsGrowCoolAndStayInTheirCells) {
  for (const Sheet& s : kSheets) {
    if (s.anim == kStill) continue;
    SCOPED_TRACE(s.name);
    const Picture p = ReadPicture(s.name);
    const std::vector<Rect> cells = PlayOrder(s);
    std::vector<CellStats> st = {Stats(p, cells[0])};
    for (size_t i = 1; i < cells.size(); ++i) {
      EXPECT_GT(Difference(p, cells[i - 1], p, cells[i]), 0.005) << "frame " << i;
      st.push_back(Stats(p, cells[i]));
    }
    // A fireball cut off by its cell's edge shows a straight seam on screen.
    for (const Rect& c : cells) {
      if (s.anim == kFrames) break;
      int border = 0;
      for (int x = c.l; x < c.r; ++x) border += Visible(p.At(x, c.t)) + Visible(p.At(x, c.b - 1));
      for (int y = c.t; y < c.b; ++y) border += Visible(p.At(c.l, y)) + Visible(p.At(c.r - 1, y));
      EXPECT_EQ(border, 0) << "cell at " << c.l << "," << c.t;
    }
    if (s.anim != kBlast) continue;
    // A small flash swells to twice its size without shrinking, and ends as
    // smoke darker than it burned.
    size_t peak = 0;
    double hottest = 0;
    for (size_t i = 0; i < st.size(); ++i) {
      if (st[i].visible > st[peak].visible) peak = i;
      hottest = std::max(hottest, st[i].luma);
    }
    EXPECT_GT(peak, 0u);
    EXPECT_GT(st[peak].visible, 2 * st[0].visible);
    for (size_t i = 1; i <= peak; ++i) EXPECT_GE(st[i].visible, st[i - 1].visible * 97 / 100) << i;
    EXPECT_LT(st.back().luma, 0.6 * hottest);
    EXPECT_LT(st.back().luma, st[peak].luma);
  }
}

TEST(AssetsSprites, PlayerShipBanksProgressivelyAndFlamesJoinTheirShips) {
  const Picture p = ReadPicture("MY.BMP");
  std::vector<CellStats> st;
  for (int b = 0; b < 7; ++b) st.push_back(Stats(p, CellOf(kSheets[0], b, 0)));  // MY.BMP
  EXPECT_NEAR(st[3].CentreX(), 30, 1.5);  // level: widest, centred
  EXPECT_GE(st[3].Width(), 54);
  for (int b = 0; b < 3; ++b) {
    EXPECT_LT(st[b].Width(), st[b + 1].Width()) << b;
    EXPECT_LT(st[6 - b].Width(), st[5 - b].Width()) << 6 - b;
  }
  // Frames 4 to 6 lean left, 0 to 2 lean right, more and more.
  EXPECT_TRUE(st[6].CentreX() < st[5].CentreX() && st[5].CentreX() < st[3].CentreX());
  EXPECT_TRUE(st[0].CentreX() > st[1].CentreX() && st[1].CentreX() > st[3].CentreX());
  // The ending flame is drawn 120 pixels below the ship, under its engines.
  const Picture ship = ReadPicture("MYEND.BMP"), flame = ReadPicture("MYENDF.BMP");
  for (int f = 0; f < 3; ++f) {
    int touching = 0, loose = 0;
    for (int x = 0; x < 120; ++x)
      if (Visible(flame.At(120 * f + x, 0)))
        (Visible(ship.At(x, 119)) || Visible(ship.At(x, 118)) ? touching : loose)++;
    EXPECT_GT(touching, 4) << "frame " << f;
    EXPECT_EQ(loose, 0) << "frame " << f;
  }
  // ZAK1's flame overlaps the ship's top 10 rows: it burns at the cell's bottom.
  const Picture fire = ReadPicture("ZFIRE1.BMP");
  for (int n = 0; n < 20; ++n) {
    const CellStats base = Stats(fire, {20 * n, 60, 20 * n + 20, 70});
    EXPECT_GT(base.visible, 40) << n;
    EXPECT_GT(base.luma, Stats(fire, {20 * n, 0, 20 * n + 20, 10}).luma) << n;
  }
}

TEST(AssetsSprites, BulletsHaveABrightCoreAndADarkerRim) {
  for (const Sheet& s : kSheets) {
    if (strncmp(s.name, "VAL", 3)) continue;
    const Picture p = ReadPicture(s.name);
    for (int n = 0; n < s.cols; ++n) {
      double core = 0, rim = 255;
      const int c = s.cellW / 2, l = n * s.cellW;
      for (int y = c - 2; y < c + 2; ++y)
        for (int x = l + c - 2; x < l + c + 2; ++x) core = std::max(core, Luma(p.At(x, y)));
      for (int y = 0; y < s.cellH; ++y)
        for (int x = l; x < l + s.cellW; ++x)
          if (Visible(p.At(x, y))) rim = std::min(rim, Luma(p.At(x, y)));
      EXPECT_GE(core, 200) << s.name << " cell " << n;
      EXPECT_LT(rim, 0.5 * core) << s.name << " cell " << n;
    }
  }
}

TEST(AssetsSprites, SmallPartsAreDistinctAndFillTheirCells) {
  const Picture p = ReadPicture("MYMY.BMP");
  const std::vector<Rect> cells = SmallPartCells();
  for (int a = 0; a < 10; ++a)
    for (int b = a + 1; b < 10; ++b)
      EXPECT_GT(Difference(p, cells[a], p, cells[b]), 0.05) << "digits " << a << " and " << b;
  for (int y = 71; y < 80; ++y) EXPECT_TRUE(Visible(p.At(2, y))) << "shot row " << y;
  // GAME OVER is stretched to 300: it spans its cell from edge to edge.
  EXPECT_GT(Stats(p, {81, 70, 85, 80}).visible, 4);
  EXPECT_GT(Stats(p, {132, 70, 136, 80}).visible, 4);
  for (int k = 0; k < 7; ++k) EXPECT_GT(Luma(p.At(140 + 3 * k, 78)), 200) << "star " << k;
}

TEST(AssetsSprites, EnemyShipsOfOneSizeLookDifferent) {
  for (const Sheet& a : kSheets)
    for (const Sheet& b : kSheets) {
      if (&b <= &a || strncmp(a.name, "ZAK", 3) || strncmp(b.name, "ZAK", 3) ||
          a.cellW != b.cellW || a.cellH != b.cellH)
        continue;
      const Rect all{0, 0, a.cellW, a.cellH};
      EXPECT_GT(Difference(ReadPicture(a.name), all, ReadPicture(b.name), all), 0.1)
          << a.name << " vs " << b.name;
    }
}

TEST(AssetsSprites, BossesAreSolidWhereTheShotsStrikeThem) {
  // Right edge of each boss's stream-1 hit box (100..x1 by 10..200): hull, not sky.
  const std::pair<const char*, int> boxes[] = {
      {"BOS11.BMP", 275}, {"BOS21.BMP", 255}, {"BOS31.BMP", 335}, {"BOS41.BMP", 315},
      {"BOS51.BMP", 255}, {"BOS61.BMP", 375}, {"BOS71.BMP", 395}, {"BOS81.BMP", 315}};
  for (const auto& [name, x1] : boxes) {
    const Picture p = ReadPicture(name);
    const Rect r{100, 10, std::min(x1 + 5, p.width), 200};
    EXPECT_GT(Stats(p, r).visible, r.Area() * 6 / 10) << name;
  }
  // Fly-bys drawn at x = 80 show columns 50 to 430 in the playfield.
  for (const char* name : {"BOS111.BMP", "BOS511.BMP"}) {
    const Rect shown{50, 0, 430, 480};
    EXPECT_GT(Stats(ReadPicture(name), shown).visible, shown.Area() / 3) << name;
  }
}

}  // namespace
