// The generated scene pictures against what the game cuts from them: title
// logo, attract and selection pictures, ending message, clouds and the stage
// backgrounds, read from the directory of the game executable.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <system_error>
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

struct Rgb8 { int r, g, b; };

// A decoded picture, row by row from the top; empty when the file is not a
// whole uncompressed bottom-up 24-bit BMP.
struct Bmp {
  int width = 0, height = 0;
  std::vector<Rgb8> px;
  const Rgb8& At(int x, int y) const { return px[size_t(y) * width + x]; }
};

// n bytes at `at`, little-endian unless big.
uint32_t Uint(const std::string& d, size_t at, int n, bool big = false) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | uint8_t(d[at + (big ? i : n - 1 - i)]);
  return v;
}

Bmp Load(const char* name) {
  Bmp bmp;
  const std::string d = oxtest::ReadFile(AssetDir() + name);
  const bool header = d.size() >= 54 && d[0] == 'B' && d[1] == 'M';
  const int32_t w = header ? int32_t(Uint(d, 18, 4)) : 0, h = header ? int32_t(Uint(d, 22, 4)) : 0;
  const size_t offset = header ? Uint(d, 10, 4) : 0, row = (size_t(w) * 3 + 3) & ~size_t(3);
  const bool ok = header && Uint(d, 14, 4) >= 40 && Uint(d, 26, 2) == 1 && Uint(d, 28, 2) == 24 &&
                  Uint(d, 30, 4) == 0 && w > 0 && h > 0 && w <= 4096 && h <= 4096 &&
                  offset >= 54 && offset <= d.size() && d.size() - offset >= row * size_t(h) &&
                  Uint(d, 2, 4) == d.size();
  EXPECT_TRUE(ok) << name << " is missing or not a whole uncompressed 24-bit BMP";
  if (!ok) return bmp;
  bmp.width = w;
  bmp.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t p = offset + size_t(h - 1 - y) * row + size_t(x) * 3;
      bmp.px.push_back({uint8_t(d[p + 2]), uint8_t(d[p + 1]), uint8_t(d[p])});
    }
  return bmp;
}

bool Black(const Rgb8& c) { return c.r == 0 && c.g == 0 && c.b == 0; }
// Non-zero after the 16-bit conversion, so the black colour key keeps it.
bool Visible565(const Rgb8& c) { return c.r >= 8 || c.g >= 4 || c.b >= 8; }
double Luma(const Rgb8& c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

// Mean absolute difference per channel between two rows.
double RowDifference(const Bmp& a, int ya, const Bmp& b, int yb) {
  double sum = 0;
  for (int x = 0; x < a.width; ++x) {
    const Rgb8 &p = a.At(x, ya), &q = b.At(x, yb);
    sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
  }
  return sum / (a.width * 3.0);
}

// Sizes as the game cuts the pictures (0: loaded, never drawn); opaque
// pictures cover what lies under them, the others stand on black.
struct Expected { const char* name; int width, height; bool opaque; };

constexpr Expected kPictures[] = {
    {"TITLE.BMP", 500, 300, false},  {"BTHK00.BMP", 340, 480, true}, {"BCG2.BMP", 400, 480, true},
    {"BCG3.BMP", 440, 480, true},    {"BCG4.BMP", 380, 480, true},   {"BCG5.BMP", 380, 480, true},
    {"MYGOODN.BMP", 300, 100, false}, {"BKM1h.BMP", 200, 200, false}, {"BKM1m.BMP", 200, 200, false},
    {"BKM2.BMP", 0, 0, false},       {"BKM3.BMP", 200, 160, false},  {"BKM4.BMP", 130, 130, false},
    {"BKM5.BMP", 90, 80, false},     {"BACK1.BMP", 380, 480, true},  {"BACK2.BMP", 380, 480, true},
    {"BACK3.BMP", 380, 480, true},   {"BACK4.BMP", 380, 480, true},  {"BACK5.BMP", 380, 480, true},
    {"BACK6.BMP", 380, 480, true},   {"BACK7.BMP", 380, 480, true},  {"BACK8.BMP", 380, 480, true},
};

constexpr const char* kBackgrounds[] = {"BACK1.BMP", "BACK2.BMP", "BACK3.BMP", "BACK4.BMP",
                                        "BACK5.BMP", "BACK6.BMP", "BACK7.BMP", "BACK8.BMP"};

TEST(ScenePictures, EveryFileHasItsTableSizeAndTheTransparencyRule) {
  for (const Expected& e : kPictures) {
    SCOPED_TRACE(e.name);
    const Bmp bmp = Load(e.name);
    if (e.width) {
      EXPECT_EQ(bmp.width, e.width);
      EXPECT_EQ(bmp.height, e.height);
    }
    int lost = 0, black = 0;
    for (const Rgb8& c : bmp.px) {
      black += Black(c);
      lost += !Black(c) && !Visible565(c);
    }
    EXPECT_EQ(lost, 0) << "pixels that turn transparent after the 16-bit conversion";
    if (e.opaque) {
      EXPECT_EQ(black, 0) << "holes in a picture that covers the playfield";
    } else {
      EXPECT_GT(black, 0) << "a cut-out picture needs a transparent ground";
      EXPECT_GT(int(bmp.px.size()) - black, int(bmp.px.size()) / 20) << "almost empty";
    }
  }
}

// The title is drawn at x = 70 and cut to the playfield (130 to 510): only its
// columns 60 to 439 show. A cloud cut by its cell's border would show a straight
// line; the banks may run off the side beyond the playfield (BKM1h drawn at
// x = 100 shows columns 30 to 199, BKM1m at x = 340 columns 0 to 169).
TEST(ScenePictures, CutOutsLieWhereThePlayfieldShowsThem) {
  const Bmp title = Load("TITLE.BMP");
  int inside = 0, outside = 0;
  for (int y = 0; y < title.height; ++y)
    for (int x = 0; x < title.width; ++x)
      if (!Black(title.At(x, y))) (x >= 60 && x < 440 ? inside : outside)++;
  EXPECT_EQ(outside, 0);
  EXPECT_GT(inside, 380 * 300 / 10);
  const struct {
    const char* name;
    bool left, right;  // whether that border must be transparent
    int shownFrom, shownTo;
  } clouds[] = {{"BKM1h.BMP", false, true, 30, 200}, {"BKM1m.BMP", true, false, 0, 170},
                {"BKM2.BMP", true, true, 0, 0},     {"BKM3.BMP", true, true, 0, 0},
                {"BKM4.BMP", true, true, 0, 0},     {"BKM5.BMP", true, true, 0, 0}};
  for (const auto& c : clouds) {
    const Bmp bmp = Load(c.name);
    int border = 0, shown = 0;
    for (int x = 0; x < bmp.width; ++x) border += !Black(bmp.At(x, 0)) + !Black(bmp.At(x, bmp.height - 1));
    for (int y = 0; y < bmp.height; ++y) {
      border += (c.left && !Black(bmp.At(0, y))) + (c.right && !Black(bmp.At(bmp.width - 1, y)));
      for (int x = c.shownFrom; x < c.shownTo; ++x) shown += !Black(bmp.At(x, y));
    }
    EXPECT_EQ(border, 0) << c.name;
    EXPECT_TRUE(!c.shownTo || shown > 0.35 * (c.shownTo - c.shownFrom) * bmp.height) << c.name;
  }
}

// Each background scrolls stacked on itself, so row 479 runs on into row 0:
// that join is no harder than its own row-to-row changes. Backgrounds are mid
// to dark with few glaring pixels, and each stage is a different place.
TEST(StageBackgrounds, RepeatWithoutASeamAreMidToDarkAndDiffer) {
  std::vector<Bmp> all;
  for (const char* name : kBackgrounds) {
    SCOPED_TRACE(name);
    all.push_back(Load(name));
    const Bmp& bmp = all.back();
    ASSERT_EQ(bmp.height, 480);
    std::vector<double> steps;
    for (int y = 0; y + 1 < bmp.height; ++y) steps.push_back(RowDifference(bmp, y, bmp, y + 1));
    std::sort(steps.begin(), steps.end());
    const double p95 = steps[steps.size() * 95 / 100];
    EXPECT_LE(RowDifference(bmp, bmp.height - 1, bmp, 0), 1.5 * p95 + 1.0) << "seam";
    double sum = 0;
    int glaring = 0;
    for (const Rgb8& c : bmp.px) {
      sum += Luma(c);
      glaring += Luma(c) > 200;
    }
    EXPECT_GT(sum / bmp.px.size(), 20.0);
    EXPECT_LT(sum / bmp.px.size(), 115.0);
    EXPECT_LT(glaring, int(bmp.px.size()) * 3 / 100);
  }
  for (size_t a = 0; a < all.size(); ++a)
    for (size_t b = a + 1; b < all.size(); ++b) {
      double diff = 0;
      for (int y = 0; y < 480; ++y) diff += RowDifference(all[a], y, all[b], y);
      EXPECT_GT(diff / 480, 15.0) << kBackgrounds[a] << " and " << kBackgrounds[b];
    }
}

// A second run into a fresh directory repeats every picture byte for byte,
// and its contact sheet is a PNG large enough to hold all 81 images.
TEST(ScenePictureGenerator, RepeatsItsBytesAndWritesAContactSheet) {
  const std::string& dir = oxtest::DataDir();
  const std::string command = std::string("'") + ASSETGEN_EXE + "' '" + dir +
                              "' --contact-sheet '" + dir + "sheet.png' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const Expected& e : kPictures) {
    const std::string again = oxtest::ReadFile(dir + e.name);
    EXPECT_TRUE(!again.empty() && again == oxtest::ReadFile(AssetDir() + e.name)) << e.name;
  }
  const std::string png = oxtest::ReadFile(dir + "sheet.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  // As wide as the largest picture; the eight backgrounds alone need two rows of 480.
  EXPECT_GE(Uint(png, 16, 4, true), 500u);
  EXPECT_GE(Uint(png, 20, 4, true), 2u * 480u);
  EXPECT_GT(png.size(), 200000u) << "a sheet of 81 pictures cannot compress this small";
}

// Through the library, drawn where the game draws them, clipped to the playfield.
class PicturesInTheGame : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    assetDir_ = AssetDir();
    ox::OverrideDataDirectory(assetDir_.c_str());
    oxDraw::SetClip(130, 0, 510, 480);
    boxes_ = plat::headless::BoxCount();
  }
  void TearDown() override {
    EXPECT_EQ(plat::headless::BoxCount(), boxes_) << "an error report was shown";
    ox::OverrideDataDirectory(oxtest::DataDir().c_str());
  }
  static uint16_t At(int x, int y) {
    const oxd::Surface* s = oxd::Scr().back;
    return s->pixels[y * s->pitch + x];
  }
  // Pixels of columns from..to (all rows) still black.
  static int BlackIn(int from = 130, int to = 510) {
    int n = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = from; x < to; ++x) n += At(x, y) == 0;
    return n;
  }
  std::string assetDir_;
  int boxes_ = 0;
};

// Every picture loads at its table size; each background, drawn at y and
// y - 480 while it scrolls, covers the playfield at any offset; the selection
// and attract pictures cover exactly the part of the playfield they span.
TEST_F(PicturesInTheGame, PicturesLoadAtTheirSizesAndShowWhereTheyAreDrawn) {
  for (const Expected& e : kPictures) {
    const int h = oxDraw::LoadObject(e.name, 1);
    ASSERT_GE(h, 4) << e.name;
    const oxd::SpriteRecord& sprite = oxd::Sprites()[h];
    EXPECT_TRUE(!e.width || (sprite.width == e.width && sprite.height == e.height)) << e.name;
  }
  for (const char* name : kBackgrounds) {
    const int h = oxDraw::LoadObject(name, 1);
    for (int offset : {0, 137, 479}) {
      oxDraw::Clear();
      oxDraw::Draw(130, offset, h, 0, 0, 380, 480);
      oxDraw::Draw(130, offset - 480, h, 0, 0, 380, 480);
      EXPECT_EQ(BlackIn(), 0) << name << " offset " << offset;
    }
  }
  const struct {
    const char* name;
    int x, w;
  } placed[] = {{"BCG5.BMP", 130, 380}, {"BTHK00.BMP", 150, 340}, {"BCG2.BMP", 120, 400},
                {"BCG3.BMP", 100, 440}, {"BCG4.BMP", 130, 380}};
  for (const auto& p : placed) {
    oxDraw::Clear();
    oxDraw::Draw(p.x, 0, oxDraw::LoadObject(p.name, 1), 0, 0, p.w, 480);
    const int from = std::max(130, p.x), to = std::min(510, p.x + p.w);
    EXPECT_EQ(BlackIn(from, to), 0) << p.name;
    EXPECT_EQ(BlackIn(), 380 * 480 - (to - from) * 480) << p.name;
  }
  // The ending message at (170, 110) shows text over the stars (blue here) and
  // leaves most of its cell see-through.
  oxDraw::FillRect(130, 0, 510, 480, 0x001F);
  oxDraw::Draw(170, 110, oxDraw::LoadObject("MYGOODN.BMP", 1), 0, 0, 300, 100);
  int message = 0, through = 0;
  for (int y = 110; y < 210; ++y)
    for (int x = 170; x < 470; ++x) (At(x, y) == 0x001F ? through : message)++;
  EXPECT_GT(message, 300 * 100 / 10);
  EXPECT_GT(through, 300 * 100 / 3);
}

}  // namespace
