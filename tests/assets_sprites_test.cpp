// Contract of the generated sprite sheets: ships, enemies, bosses, bullets,
// explosions and the small-parts sheet. The table below is what the game
// cuts from each file (cell size, cells in a row, rows); the test reads the
// files the build wrote beside the executable, checks their format, sizes
// and transparency rule, that every reachable cell holds a picture, that
// the library loads and draws them pixel for pixel, and that animations,
// banking frames, bullets and enemy groups look the way the game needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "frame/app_state.h"
#include "platform/headless.h"
#include "tests/test_support.h"

namespace {

std::string AssetDir() {
  std::string exe = SAMPLEGAME_EXE;
  return exe.substr(0, exe.find_last_of('/') + 1);
}

// A decoded 24-bit BMP, pixels 0x00RRGGBB from the top row down.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  std::string error;  // empty when the file is a valid 24-bit BMP

  uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

uint32_t Le32(const std::string& d, size_t at) {
  return uint32_t(uint8_t(d[at])) | uint32_t(uint8_t(d[at + 1])) << 8 |
         uint32_t(uint8_t(d[at + 2])) << 16 | uint32_t(uint8_t(d[at + 3])) << 24;
}
uint16_t Le16(const std::string& d, size_t at) {
  return uint16_t(uint8_t(d[at]) | uint8_t(d[at + 1]) << 8);
}

Picture ReadPicture(const std::string& name) {
  Picture p;
  std::ifstream in(AssetDir() + name, std::ios::binary);
  if (!in) {
    p.error = "missing";
    return p;
  }
  std::string d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') {
    p.error = "not a BMP";
    return p;
  }
  const uint32_t offset = Le32(d, 10);
  const int32_t w = int32_t(Le32(d, 18)), h = int32_t(Le32(d, 22));
  if (Le32(d, 14) < 40 || Le16(d, 26) != 1 || Le16(d, 28) != 24 || Le32(d, 30) != 0) {
    p.error = "not an uncompressed 24-bit BMP";
    return p;
  }
  if (w <= 0 || h == 0 || w > 4096 || std::abs(h) > 4096) {
    p.error = "bad dimensions";
    return p;
  }
  const int height = std::abs(h);
  const size_t row = (size_t(w) * 3 + 3) & ~size_t(3);
  if (offset < 54 || d.size() < offset + row * height) {
    p.error = "truncated";
    return p;
  }
  p.width = w;
  p.height = height;
  p.pixels.resize(size_t(w) * height);
  for (int y = 0; y < height; ++y) {
    const size_t src = offset + row * size_t(h > 0 ? height - 1 - y : y);
    for (int x = 0; x < w; ++x) {
      const uint8_t* q = reinterpret_cast<const uint8_t*>(&d[src + size_t(x) * 3]);
      p.pixels[size_t(y) * w + x] = uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
    }
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
  int visible = 0;
  double luma = 0;  // mean over the visible pixels
  int minX = 1 << 30, maxX = -1;
  double sumX = 0;
  int Width() const { return maxX < minX ? 0 : maxX - minX + 1; }
  double CentreX() const { return visible ? sumX / visible : 0; }
};

CellStats Stats(const Picture& p, Rect c) {
  CellStats s;
  for (int y = c.t; y < c.b; ++y) {
    for (int x = c.l; x < c.r; ++x) {
      uint32_t v = p.At(x, y);
      if (!Visible(v)) continue;
      ++s.visible;
      s.luma += Luma(v);
      s.sumX += x - c.l;
      s.minX = std::min(s.minX, x - c.l);
      s.maxX = std::max(s.maxX, x - c.l);
    }
  }
  if (s.visible) s.luma /= s.visible;
  return s;
}

// Fraction of the pixels of two equal-sized cells that differ clearly.
double Difference(const Picture& a, Rect ca, const Picture& b, Rect cb) {
  int differ = 0;
  for (int y = 0; y < ca.b - ca.t; ++y) {
    for (int x = 0; x < ca.r - ca.l; ++x) {
      uint32_t p = a.At(ca.l + x, ca.t + y), q = b.At(cb.l + x, cb.t + y);
      if (std::abs(R(p) - R(q)) + std::abs(G(p) - G(q)) + std::abs(B(p) - B(q)) > 96) ++differ;
    }
  }
  return double(differ) / ca.Area();
}

// What the game cuts from each sheet: a grid of cells of cellW x cellH from
// the top-left corner, cols across and rows down.
struct Sheet {
  const char* name;
  int cellW, cellH, cols, rows;
  bool animated;  // consecutive cells are the frames of one animation
};

const Sheet kSheets[] = {
    // Player, ending, special shots.
    {"MY.BMP", 60, 70, 7, 1, true},
    {"MYEND.BMP", 120, 120, 1, 1, false},
    {"MYENDF.BMP", 120, 120, 3, 1, true},
    {"FLH1.BMP", 60, 60, 1, 1, false},
    {"FLH2.BMP", 60, 60, 1, 1, false},
    // The player explosion: 8 cells in a stage, 10 in the ending.
    {"FBAK1.BMP", 80, 80, 10, 1, true},
    {"GFBAK1.BMP", 60, 60, 8, 2, true},
    // Enemy ships (single cells from the top-left corner).
    {"ZAK1.BMP", 60, 70, 1, 1, false},
    {"ZAK4.BMP", 60, 60, 1, 1, false},
    {"ZAK5.BMP", 80, 80, 1, 1, false},
    {"ZAK6.BMP", 80, 60, 1, 1, false},
    {"ZAK7.BMP", 80, 100, 1, 1, false},
    {"ZAK9.BMP", 100, 80, 1, 1, false},
    {"ZAK10.BMP", 100, 120, 1, 1, false},
    {"ZAK11.BMP", 80, 100, 1, 1, false},
    {"ZAK12.BMP", 80, 80, 1, 1, false},
    {"ZAK13.BMP", 80, 80, 1, 1, false},
    {"ZAK14.BMP", 80, 80, 1, 1, false},
    {"ZAK19.BMP", 80, 80, 1, 1, false},
    {"ZAK21.BMP", 90, 90, 1, 1, false},
    {"ZAK22.BMP", 90, 90, 1, 1, false},
    {"ZAK23.BMP", 90, 90, 1, 1, false},
    {"ZAK24.BMP", 90, 90, 1, 1, false},
    {"ZAK50.BMP", 200, 160, 1, 1, false},
    {"ZAK51.BMP", 200, 160, 1, 1, false},
    {"ZAK52.BMP", 200, 160, 1, 1, false},
    {"ZAK53.BMP", 200, 160, 1, 1, false},
    {"ZAK54.BMP", 240, 180, 1, 1, false},
    // Enemy bullets.
    {"VAL11.BMP", 16, 16, 1, 1, false},
    {"VAL12.BMP", 16, 16, 1, 1, false},
    {"VAL13.BMP", 16, 16, 1, 1, false},
    {"VAL1.BMP", 16, 16, 16, 1, true},
    {"VAL2.BMP", 16, 16, 16, 1, true},
    {"VAL3.BMP", 16, 16, 16, 1, true},
    // Bosses, fly-by pictures and boss bullets.
    {"BOS11.BMP", 380, 380, 1, 1, false},
    {"BOS21.BMP", 360, 340, 1, 1, false},
    {"BOS31.BMP", 440, 380, 1, 1, false},
    {"BOS41.BMP", 420, 360, 1, 1, false},
    {"BOS51.BMP", 360, 400, 1, 1, false},
    {"BOS61.BMP", 480, 390, 1, 1, false},
    {"BOS71.BMP", 500, 440, 1, 1, false},
    {"BOS81.BMP", 420, 360, 1, 1, false},
    {"BOS111.BMP", 480, 480, 1, 1, false},
    {"BOS511.BMP", 480, 480, 1, 1, false},
    {"VAL20.BMP", 20, 20, 1, 1, false},
    {"VAL401.BMP", 40, 40, 5, 1, false},
    {"VAL402.BMP", 40, 40, 5, 1, false},
    // Explosions, sparks, flames.
    {"ZBAK1.BMP", 60, 60, 10, 1, true},
    {"ZBAK2.BMP", 80, 80, 8, 1, true},
    {"ZBAK3.BMP", 80, 80, 10, 1, true},
    {"BBAK1.BMP", 160, 160, 4, 1, true},
    {"SUNDER1.BMP", 80, 80, 7, 1, true},
    {"ZFIRE1.BMP", 20, 70, 20, 1, true},
};

// Loaded by the game but never drawn: any size, but valid pictures.
const char* const kLoadedOnly[] = {"ZAK8.BMP",  "ZAK17.BMP", "ZAK18.BMP",
                                   "ZAK20.BMP", "ZAK55.BMP", "BOS711.BMP"};

// The cells of "MYMY.BMP" the game draws.
std::vector<Rect> SmallPartCells() {
  std::vector<Rect> cells;
  for (int d = 0; d < 10; ++d) cells.push_back({8 + 7 * d, 70, 15 + 7 * d, 80});
  cells.push_back({0, 70, 5, 80});    // player shot
  cells.push_back({81, 70, 136, 80});  // GAME OVER
  for (int k = 0; k < 7; ++k) cells.push_back({139 + 3 * k, 77, 142 + 3 * k, 80});
  return cells;
}

Rect CellOf(const Sheet& s, int col, int row) {
  return {col * s.cellW, row * s.cellH, (col + 1) * s.cellW, (row + 1) * s.cellH};
}

// The cells of a sheet in the order the game plays them. The burst flame
// plays (0,0) to (7,0), then (1,1) to (7,1).
std::vector<Rect> PlayOrder(const Sheet& s) {
  std::vector<Rect> cells;
  for (int row = 0; row < s.rows; ++row) {
    for (int col = 0; col < s.cols; ++col) {
      if (!strcmp(s.name, "GFBAK1.BMP") && row == 1 && col == 0) continue;
      cells.push_back(CellOf(s, col, row));
    }
  }
  return cells;
}

const Sheet& SheetNamed(const char* name) {
  for (const Sheet& s : kSheets) {
    if (!strcmp(s.name, name)) return s;
  }
  ADD_FAILURE() << name << " is not in the table";
  return kSheets[0];
}

// ---- format, size and transparency

TEST(AssetsSprites, EverySheetHasTheSizeOfTheCellsTheGameCuts) {
  for (const Sheet& s : kSheets) {
    Picture p = ReadPicture(s.name);
    ASSERT_EQ(p.error, "") << s.name;
    EXPECT_EQ(p.width, s.cellW * s.cols) << s.name;
    EXPECT_EQ(p.height, s.cellH * s.rows) << s.name;
  }
  Picture parts = ReadPicture("MYMY.BMP");
  ASSERT_EQ(parts.error, "");
  for (const Rect& c : SmallPartCells()) {
    EXPECT_LE(c.r, parts.width);
    EXPECT_LE(c.b, parts.height);
  }
  for (const char* name : kLoadedOnly) {
    Picture p = ReadPicture(name);
    EXPECT_EQ(p.error, "") << name;
    EXPECT_GT(p.width, 0) << name;
  }
}

TEST(AssetsSprites, TransparentPixelsArePureBlackAndNothingElseTurnsBlack) {
  std::vector<const char*> names;
  for (const Sheet& s : kSheets) names.push_back(s.name);
  names.push_back("MYMY.BMP");
  for (const char* n : kLoadedOnly) names.push_back(n);
  for (const char* name : names) {
    Picture p = ReadPicture(name);
    ASSERT_EQ(p.error, "") << name;
    int lost = 0, transparent = 0;
    for (uint32_t c : p.pixels) {
      if (c == 0) {
        ++transparent;
      } else if (!Visible(c)) {
        ++lost;  // would vanish as the key colour after 16-bit conversion
      }
    }
    EXPECT_EQ(lost, 0) << name;
    // Sprites stand on transparent ground: their corners are see-through.
    EXPECT_GT(transparent, int(p.pixels.size() / 20)) << name;
    EXPECT_EQ(p.At(0, 0), 0u) << name;
  }
}

TEST(AssetsSprites, EveryReachableCellHoldsAPicture) {
  for (const Sheet& s : kSheets) {
    Picture p = ReadPicture(s.name);
    ASSERT_EQ(p.error, "") << s.name;
    for (const Rect& c : PlayOrder(s)) {
      CellStats st = Stats(p, c);
      EXPECT_GE(st.visible, c.Area() / 25) << s.name << " cell at " << c.l << "," << c.t;
      EXPECT_LT(st.visible, c.Area()) << s.name << " cell at " << c.l << "," << c.t;
    }
  }
  Picture parts = ReadPicture("MYMY.BMP");
  for (const Rect& c : SmallPartCells()) {
    EXPECT_GE(Stats(parts, c).visible, std::max(1, c.Area() / 5)) << "MYMY.BMP at " << c.l;
  }
}

// ---- through the library: the pictures load and every cell draws exactly
// its visible pixels (black keyed out, nothing refused)

TEST(AssetsSprites, TheLibraryLoadsEverySheetAndDrawsEachCellPixelForPixel) {
  oxtest::OpenScreen();
  ox::OverrideDataDirectory(AssetDir().c_str());
  oxDraw::SetClip(0, 0, 640, 480);
  const int boxes = plat::headless::BoxCount();
  auto check = [&](const char* name, const std::vector<Rect>& cells) {
    int handle = oxDraw::LoadObject(name, 1);
    ASSERT_GE(handle, 4) << name;
    Picture p = ReadPicture(name);
    ASSERT_EQ(p.error, "") << name;
    const oxd::Surface* back = oxd::Scr().back;
    for (const Rect& c : cells) {
      oxDraw::Clear();
      oxDraw::Draw(0, 0, handle, c.l, c.t, c.r, c.b);
      int drawn = 0, outside = 0;
      for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
          if (!back->pixels[y * back->pitch + x]) continue;
          bool inside = x < c.r - c.l && y < c.b - c.t;
          (inside ? drawn : outside)++;
        }
      }
      EXPECT_EQ(drawn, Stats(p, c).visible) << name << " cell at " << c.l << "," << c.t;
      EXPECT_EQ(outside, 0) << name;
    }
  };
  for (const Sheet& s : kSheets) check(s.name, PlayOrder(s));
  check("MYMY.BMP", SmallPartCells());
  EXPECT_EQ(plat::headless::BoxCount(), boxes) << plat::headless::LastBox().text;
  oxDraw::Release();
}

// ---- animations

TEST(AssetsSprites, ConsecutiveFramesOfEveryAnimationDiffer) {
  for (const Sheet& s : kSheets) {
    if (!s.animated) continue;
    Picture p = ReadPicture(s.name);
    ASSERT_EQ(p.error, "") << s.name;
    std::vector<Rect> cells = PlayOrder(s);
    for (size_t i = 1; i < cells.size(); ++i) {
      EXPECT_GT(Difference(p, cells[i - 1], p, cells[i]), 0.005)
          << s.name << " frames " << i - 1 << " and " << i;
    }
  }
}

TEST(AssetsSprites, ExplosionsGrowThenCoolAndFade) {
  for (const char* name :
       {"FBAK1.BMP", "ZBAK1.BMP", "ZBAK2.BMP", "ZBAK3.BMP", "GFBAK1.BMP"}) {
    const Sheet& s = SheetNamed(name);
    Picture p = ReadPicture(name);
    ASSERT_EQ(p.error, "") << name;
    std::vector<CellStats> st;
    for (const Rect& c : PlayOrder(s)) st.push_back(Stats(p, c));
    size_t peak = 0;
    for (size_t i = 0; i < st.size(); ++i) {
      if (st[i].visible > st[peak].visible) peak = i;
    }
    // Starts as a small flash, swells to at least twice its first size...
    EXPECT_GT(peak, 0u) << name;
    EXPECT_GT(st[peak].visible, 2 * st[0].visible) << name;
    for (size_t i = 1; i <= peak; ++i) {  // no visible shrinking on the way up
      EXPECT_GE(st[i].visible, st[i - 1].visible * 97 / 100) << name << " frame " << i;
    }
    // ...and ends darker than it burned: the last frame is dim smoke.
    double hottest = 0;
    for (const CellStats& c : st) hottest = std::max(hottest, c.luma);
    EXPECT_LT(st.back().luma, 0.6 * hottest) << name;
    EXPECT_LT(st.back().luma, st[peak].luma) << name;
  }
}

TEST(AssetsSprites, ExplosionsAndSparksFitInsideTheirCells) {
  // A fireball cut off by its cell's edge shows a straight seam on screen:
  // the border of every cell stays transparent.
  for (const char* name : {"FBAK1.BMP", "ZBAK1.BMP", "ZBAK2.BMP", "ZBAK3.BMP", "BBAK1.BMP",
                           "GFBAK1.BMP", "SUNDER1.BMP"}) {
    const Sheet& s = SheetNamed(name);
    Picture p = ReadPicture(name);
    ASSERT_EQ(p.error, "") << name;
    for (const Rect& c : PlayOrder(s)) {
      int border = 0;
      for (int x = c.l; x < c.r; ++x) border += Visible(p.At(x, c.t)) + Visible(p.At(x, c.b - 1));
      for (int y = c.t; y < c.b; ++y) border += Visible(p.At(c.l, y)) + Visible(p.At(c.r - 1, y));
      EXPECT_EQ(border, 0) << name << " cell at " << c.l << "," << c.t;
    }
  }
}

TEST(AssetsSprites, PlayerShipBanksProgressivelyAroundTheLevelFrame) {
  Picture p = ReadPicture("MY.BMP");
  ASSERT_EQ(p.error, "");
  const Sheet& s = SheetNamed("MY.BMP");
  std::vector<CellStats> st;
  for (int b = 0; b < 7; ++b) st.push_back(Stats(p, CellOf(s, b, 0)));
  // Level in the middle: the widest frame, centred on the cell.
  EXPECT_NEAR(st[3].CentreX(), 30, 1.5);
  EXPECT_GE(st[3].Width(), 54);
  for (int b = 0; b < 3; ++b) {
    EXPECT_LT(st[b].Width(), st[b + 1].Width()) << "frame " << b;
    EXPECT_LT(st[6 - b].Width(), st[5 - b].Width()) << "frame " << 6 - b;
  }
  // Frames 4 to 6 (moving left) lean left, 0 to 2 lean right, more and more.
  EXPECT_LT(st[6].CentreX(), st[5].CentreX());
  EXPECT_LT(st[5].CentreX(), st[3].CentreX());
  EXPECT_GT(st[0].CentreX(), st[1].CentreX());
  EXPECT_GT(st[1].CentreX(), st[3].CentreX());
}

TEST(AssetsSprites, EndingFlameJoinsTheEndingShipsEngines) {
  Picture ship = ReadPicture("MYEND.BMP"), flame = ReadPicture("MYENDF.BMP");
  ASSERT_EQ(ship.error, "");
  ASSERT_EQ(flame.error, "");
  // The flame is drawn 120 pixels below the ship: its top row continues
  // the ship's bottom rows.
  for (int f = 0; f < 3; ++f) {
    int touching = 0, loose = 0;
    for (int x = 0; x < 120; ++x) {
      if (!Visible(flame.At(120 * f + x, 0))) continue;
      bool under = Visible(ship.At(x, 119)) || Visible(ship.At(x, 118));
      (under ? touching : loose)++;
    }
    EXPECT_GT(touching, 4) << "frame " << f;
    EXPECT_EQ(loose, 0) << "frame " << f;
  }
  // ZAK1's flame cell is drawn 60 pixels above the ship, overlapping its
  // top 10 rows: the burning end is the bottom of the cell.
  Picture fire = ReadPicture("ZFIRE1.BMP");
  ASSERT_EQ(fire.error, "");
  for (int n = 0; n < 20; ++n) {
    CellStats base = Stats(fire, {20 * n, 60, 20 * n + 20, 70});
    CellStats tip = Stats(fire, {20 * n, 0, 20 * n + 20, 10});
    EXPECT_GT(base.visible, 40) << "flame " << n;
    EXPECT_GT(base.luma, tip.luma) << "flame " << n;
  }
}

// ---- bullets, small parts, ships

TEST(AssetsSprites, BulletsHaveABrightCoreAndADarkerRim) {
  struct Bullet {
    const char* name;
    int size, cells;
  };
  const Bullet bullets[] = {{"VAL11.BMP", 16, 1}, {"VAL12.BMP", 16, 1}, {"VAL13.BMP", 16, 1},
                            {"VAL1.BMP", 16, 16}, {"VAL2.BMP", 16, 16}, {"VAL3.BMP", 16, 16},
                            {"VAL20.BMP", 20, 1}, {"VAL401.BMP", 40, 5}, {"VAL402.BMP", 40, 5}};
  for (const Bullet& b : bullets) {
    Picture p = ReadPicture(b.name);
    ASSERT_EQ(p.error, "") << b.name;
    for (int n = 0; n < b.cells; ++n) {
      double core = 0;
      int c = b.size / 2;
      for (int y = c - 2; y < c + 2; ++y) {
        for (int x = n * b.size + c - 2; x < n * b.size + c + 2; ++x) {
          core = std::max(core, Luma(p.At(x, y)));
        }
      }
      double rim = 255;
      for (int y = 0; y < b.size; ++y) {
        for (int x = n * b.size; x < (n + 1) * b.size; ++x) {
          if (Visible(p.At(x, y))) rim = std::min(rim, Luma(p.At(x, y)));
        }
      }
      EXPECT_GE(core, 200) << b.name << " cell " << n;
      EXPECT_LT(rim, 0.5 * core) << b.name << " cell " << n;
    }
  }
}

TEST(AssetsSprites, SmallPartsAreDistinctAndFillTheirCells) {
  Picture p = ReadPicture("MYMY.BMP");
  ASSERT_EQ(p.error, "");
  std::vector<Rect> cells = SmallPartCells();
  // Ten different digits.
  for (int a = 0; a < 10; ++a) {
    for (int b = a + 1; b < 10; ++b) {
      EXPECT_GT(Difference(p, cells[a], p, cells[b]), 0.05) << "digits " << a << " and " << b;
    }
  }
  // The shot is a solid bolt down its middle column.
  for (int y = 71; y < 80; ++y) EXPECT_TRUE(Visible(p.At(2, y))) << "shot row " << y;
  // GAME OVER spans its cell from edge to edge (it is stretched to 300).
  EXPECT_GT(Stats(p, {81, 70, 85, 80}).visible, 4);
  EXPECT_GT(Stats(p, {132, 70, 136, 80}).visible, 4);
  // Each star sparkles from its centre pixel.
  for (int k = 0; k < 7; ++k) EXPECT_GT(Luma(p.At(140 + 3 * k, 78)), 200) << "star " << k;
}

TEST(AssetsSprites, EnemyGroupsLookDifferent) {
  const char* const ships[] = {"ZAK1.BMP",  "ZAK4.BMP",  "ZAK5.BMP",  "ZAK6.BMP",  "ZAK7.BMP",
                               "ZAK9.BMP",  "ZAK10.BMP", "ZAK11.BMP", "ZAK12.BMP", "ZAK13.BMP",
                               "ZAK14.BMP", "ZAK19.BMP", "ZAK21.BMP", "ZAK22.BMP", "ZAK23.BMP",
                               "ZAK24.BMP", "ZAK50.BMP", "ZAK51.BMP", "ZAK52.BMP", "ZAK53.BMP"};
  std::vector<Picture> pics;
  for (const char* n : ships) {
    pics.push_back(ReadPicture(n));
    ASSERT_EQ(pics.back().error, "") << n;
  }
  for (size_t a = 0; a < pics.size(); ++a) {
    for (size_t b = a + 1; b < pics.size(); ++b) {
      if (pics[a].width != pics[b].width || pics[a].height != pics[b].height) continue;
      Rect all{0, 0, pics[a].width, pics[a].height};
      EXPECT_GT(Difference(pics[a], all, pics[b], all), 0.1) << ships[a] << " vs " << ships[b];
    }
  }
}

TEST(AssetsSprites, BossesAreSolidWhereTheShotsStrikeThem) {
  // Stream-1 hit box of each boss, relative to its position: x0..x1 by
  // 10..200. The part of the boss the player shoots at is hull, not sky.
  struct Box {
    const char* name;
    int x0, x1;
  };
  const Box boxes[] = {{"BOS11.BMP", 100, 275}, {"BOS21.BMP", 100, 255}, {"BOS31.BMP", 100, 335},
                       {"BOS41.BMP", 100, 315}, {"BOS51.BMP", 100, 255}, {"BOS61.BMP", 100, 375},
                       {"BOS71.BMP", 100, 395}, {"BOS81.BMP", 100, 315}};
  for (const Box& b : boxes) {
    Picture p = ReadPicture(b.name);
    ASSERT_EQ(p.error, "") << b.name;
    Rect r{b.x0, 10, std::min(b.x1 + 5, p.width), 200};
    EXPECT_GT(Stats(p, r).visible, r.Area() * 6 / 10) << b.name;
  }
  // The fly-by pictures are drawn at x = 80 in a playfield from 130 to 510:
  // their columns 50 to 430 cross the screen.
  for (const char* name : {"BOS111.BMP", "BOS511.BMP"}) {
    Picture p = ReadPicture(name);
    ASSERT_EQ(p.error, "") << name;
    Rect shown{50, 0, 430, 480};
    EXPECT_GT(Stats(p, shown).visible, shown.Area() / 3) << name;
  }
}

}  // namespace
