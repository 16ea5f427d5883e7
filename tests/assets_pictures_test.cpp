// The generated scene pictures against what the game cuts from them: title
// logo, attract and selection pictures, ending message, clouds and the stage
// backgrounds, read from the directory of the game executable.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
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

struct Rgb8 {
  int r, g, b;
};

struct Bmp {
  int width = 0, height = 0;
  std::vector<Rgb8> px;  // row by row from the top
  std::string error;     // empty when the file is a valid 24-bit BMP
  const Rgb8& At(int x, int y) const { return px[size_t(y) * width + x]; }
};

uint32_t Le32(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
         uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t Le16(const std::string& b, size_t at) {
  return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

// Reads an uncompressed bottom-up 24-bit BMP, checking every header field
// the game's loader and the format rely on.
Bmp Load(const char* name) {
  Bmp bmp;
  const std::string bytes = oxtest::ReadFile(AssetDir() + name);
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
    bmp.error = "missing or not a BMP";
    return bmp;
  }
  const uint32_t offset = Le32(bytes, 10);
  const int32_t w = int32_t(Le32(bytes, 18)), h = int32_t(Le32(bytes, 22));
  if (Le32(bytes, 14) < 40 || Le16(bytes, 26) != 1 || Le16(bytes, 28) != 24 ||
      Le32(bytes, 30) != 0) {
    bmp.error = "not an uncompressed 24-bit BMP";
    return bmp;
  }
  if (w <= 0 || h <= 0 || w > 4096 || h > 4096) {
    bmp.error = "bad size";
    return bmp;
  }
  const size_t row = (size_t(w) * 3 + 3) & ~size_t(3);
  if (offset < 54 || offset > bytes.size() || bytes.size() - offset < row * size_t(h) ||
      Le32(bytes, 2) != bytes.size()) {
    bmp.error = "truncated or wrong file size";
    return bmp;
  }
  bmp.width = w;
  bmp.height = h;
  bmp.px.resize(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y) {
    const size_t at = offset + size_t(h - 1 - y) * row;
    for (int x = 0; x < w; ++x) {
      const size_t p = at + size_t(x) * 3;
      bmp.px[size_t(y) * w + x] = {uint8_t(bytes[p + 2]), uint8_t(bytes[p + 1]), uint8_t(bytes[p])};
    }
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

enum class Ground { kOpaque, kTransparent };

struct Expected {
  const char* name;
  int width, height;  // 0: any size (loaded but never drawn)
  Ground ground;
};

// Sizes as the game cuts the pictures: the title's 500 x 300 cell, the
// attract pictures drawn at full size, the selection picture, the ending
// message, the cloud cells and the 380 x 480 backgrounds.
constexpr Expected kPictures[] = {
    {"TITLE.BMP", 500, 300, Ground::kTransparent},   {"BTHK00.BMP", 340, 480, Ground::kOpaque},
    {"BCG2.BMP", 400, 480, Ground::kOpaque},         {"BCG3.BMP", 440, 480, Ground::kOpaque},
    {"BCG4.BMP", 380, 480, Ground::kOpaque},         {"BCG5.BMP", 380, 480, Ground::kOpaque},
    {"MYGOODN.BMP", 300, 100, Ground::kTransparent}, {"BKM1h.BMP", 200, 200, Ground::kTransparent},
    {"BKM1m.BMP", 200, 200, Ground::kTransparent},   {"BKM2.BMP", 0, 0, Ground::kTransparent},
    {"BKM3.BMP", 200, 160, Ground::kTransparent},    {"BKM4.BMP", 130, 130, Ground::kTransparent},
    {"BKM5.BMP", 90, 80, Ground::kTransparent},      {"BACK1.BMP", 380, 480, Ground::kOpaque},
    {"BACK2.BMP", 380, 480, Ground::kOpaque},        {"BACK3.BMP", 380, 480, Ground::kOpaque},
    {"BACK4.BMP", 380, 480, Ground::kOpaque},        {"BACK5.BMP", 380, 480, Ground::kOpaque},
    {"BACK6.BMP", 380, 480, Ground::kOpaque},        {"BACK7.BMP", 380, 480, Ground::kOpaque},
    {"BACK8.BMP", 380, 480, Ground::kOpaque},
};

constexpr const char* kBackgrounds[] = {"BACK1.BMP", "BACK2.BMP", "BACK3.BMP", "BACK4.BMP",
                                        "BACK5.BMP", "BACK6.BMP", "BACK7.BMP", "BACK8.BMP"};

// ------------------------------------------------------------ files and sizes

TEST(ScenePictures, EveryFileIsA24BitBmpOfTheSizeTheGameCuts) {
  for (const Expected& e : kPictures) {
    SCOPED_TRACE(e.name);
    const Bmp bmp = Load(e.name);
    ASSERT_EQ(bmp.error, "");
    if (e.width) {
      EXPECT_EQ(bmp.width, e.width);
      EXPECT_EQ(bmp.height, e.height);
    }
  }
}

TEST(ScenePictures, EveryPixelIsTransparentBlackOrVisibleIn16Bit) {
  for (const Expected& e : kPictures) {
    SCOPED_TRACE(e.name);
    const Bmp bmp = Load(e.name);
    ASSERT_EQ(bmp.error, "");
    int lost = 0, black = 0;
    for (const Rgb8& c : bmp.px) {
      black += Black(c);
      lost += !Black(c) && !Visible565(c);
    }
    EXPECT_EQ(lost, 0) << "pixels that turn transparent after the 16-bit conversion";
    if (e.ground == Ground::kOpaque) {
      EXPECT_EQ(black, 0) << "holes in a picture that covers the playfield";
    } else {
      EXPECT_GT(black, 0) << "a cut-out picture needs a transparent ground";
      EXPECT_GT(int(bmp.px.size()) - black, int(bmp.px.size()) / 20) << "almost empty";
    }
  }
}

// The title is drawn at x = 70 and cut to the playfield (130 to 510): only
// its columns 60 to 439 can ever be seen.
TEST(ScenePictures, TitleLogoLiesInsideTheColumnsThePlayfieldShows) {
  const Bmp bmp = Load("TITLE.BMP");
  ASSERT_EQ(bmp.error, "");
  int inside = 0, outside = 0;
  for (int y = 0; y < bmp.height; ++y)
    for (int x = 0; x < bmp.width; ++x) {
      if (Black(bmp.At(x, y))) continue;
      (x >= 60 && x < 440 ? inside : outside)++;
    }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(inside, 380 * 300 / 10);
}

// A cloud falls through the playfield: a shape cut by the cell's top or
// bottom edge would show a straight line. The two banks that enter at the
// playfield's edge may run off the side that lies beyond it (BKM1h drawn at
// x = 100 shows columns 30 to 199, BKM1m drawn at x = 340 columns 0 to 169).
TEST(ScenePictures, CloudsAreWholeShapesWithTransparentBorders) {
  struct Cloud {
    const char* name;
    bool left, right;  // whether that border must be transparent
  };
  const Cloud clouds[] = {{"BKM1h.BMP", false, true}, {"BKM1m.BMP", true, false},
                          {"BKM2.BMP", true, true},   {"BKM3.BMP", true, true},
                          {"BKM4.BMP", true, true},   {"BKM5.BMP", true, true}};
  for (const Cloud& c : clouds) {
    SCOPED_TRACE(c.name);
    const Bmp bmp = Load(c.name);
    ASSERT_EQ(bmp.error, "");
    for (int x = 0; x < bmp.width; ++x) {
      EXPECT_TRUE(Black(bmp.At(x, 0))) << "top row, x " << x;
      EXPECT_TRUE(Black(bmp.At(x, bmp.height - 1))) << "bottom row, x " << x;
    }
    for (int y = 0; y < bmp.height; ++y) {
      if (c.left) {
        EXPECT_TRUE(Black(bmp.At(0, y))) << "left column, y " << y;
      }
      if (c.right) {
        EXPECT_TRUE(Black(bmp.At(bmp.width - 1, y))) << "right column, y " << y;
      }
    }
  }
  // The banks show most of their mass inside the playfield.
  auto coverage = [](const Bmp& bmp, int x0, int x1) {
    int n = 0;
    for (int y = 0; y < bmp.height; ++y)
      for (int x = x0; x < x1; ++x) n += !Black(bmp.At(x, y));
    return double(n) / ((x1 - x0) * bmp.height);
  };
  EXPECT_GT(coverage(Load("BKM1h.BMP"), 30, 200), 0.35);
  EXPECT_GT(coverage(Load("BKM1m.BMP"), 0, 170), 0.35);
}

// ------------------------------------------------------------ backgrounds

// The game stacks each background into a column and scrolls it, so row 479
// runs on into row 0: that join must be no harder than the picture's own
// row-to-row changes.
TEST(StageBackgrounds, RepeatVerticallyWithoutASeam) {
  for (const char* name : kBackgrounds) {
    SCOPED_TRACE(name);
    const Bmp bmp = Load(name);
    ASSERT_EQ(bmp.error, "");
    std::vector<double> steps;
    for (int y = 0; y + 1 < bmp.height; ++y) steps.push_back(RowDifference(bmp, y, bmp, y + 1));
    std::sort(steps.begin(), steps.end());
    const double p95 = steps[steps.size() * 95 / 100];
    const double seam = RowDifference(bmp, bmp.height - 1, bmp, 0);
    EXPECT_LE(seam, 1.5 * p95 + 1.0) << "seam " << seam << ", 95th percentile step " << p95;
  }
}

// Bullets and sprites must read over every background: mid to dark values
// with very few glaring pixels.
TEST(StageBackgrounds, AreMidToDark) {
  for (const char* name : kBackgrounds) {
    SCOPED_TRACE(name);
    const Bmp bmp = Load(name);
    ASSERT_EQ(bmp.error, "");
    double sum = 0;
    int glaring = 0;
    for (const Rgb8& c : bmp.px) {
      sum += Luma(c);
      glaring += Luma(c) > 200;
    }
    const double mean = sum / bmp.px.size();
    EXPECT_GT(mean, 20.0);
    EXPECT_LT(mean, 115.0);
    EXPECT_LT(glaring, int(bmp.px.size()) * 3 / 100);
  }
}

TEST(StageBackgrounds, EachStageIsADifferentPlace) {
  std::vector<Bmp> all;
  for (const char* name : kBackgrounds) all.push_back(Load(name));
  for (size_t a = 0; a < all.size(); ++a) {
    ASSERT_EQ(all[a].error, "") << kBackgrounds[a];
    for (size_t b = a + 1; b < all.size(); ++b) {
      double diff = 0;
      for (int y = 0; y < all[a].height; ++y) diff += RowDifference(all[a], y, all[b], y);
      EXPECT_GT(diff / all[a].height, 15.0) << kBackgrounds[a] << " and " << kBackgrounds[b];
    }
  }
}

// ------------------------------------------------------------ the generator

// Runs the generator once more into a fresh directory, with a contact
// sheet: every picture comes out byte for byte as the build made it, and the
// sheet is a PNG large enough to hold all 81 images.
TEST(ScenePictureGenerator, RepeatsItsBytesAndWritesAContactSheet) {
  char tmpl[] = "/tmp/oxassets-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = std::string(tmpl) + "/";
  const std::string command = std::string("'") + ASSETGEN_EXE + "' '" + dir +
                              "' --contact-sheet '" + dir + "sheet.png' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const Expected& e : kPictures) {
    SCOPED_TRACE(e.name);
    const std::string again = oxtest::ReadFile(dir + e.name);
    ASSERT_FALSE(again.empty());
    EXPECT_TRUE(again == oxtest::ReadFile(AssetDir() + e.name)) << "differs from the build's copy";
  }
  const std::string png = oxtest::ReadFile(dir + "sheet.png");
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  auto be32 = [&](size_t at) {
    return uint32_t(uint8_t(png[at])) << 24 | uint32_t(uint8_t(png[at + 1])) << 16 |
           uint32_t(uint8_t(png[at + 2])) << 8 | uint32_t(uint8_t(png[at + 3]));
  };
  // Wide enough for the largest picture, tall enough for all 81 images:
  // the eight backgrounds alone need two rows of 480.
  EXPECT_GE(be32(16), 500u);
  EXPECT_GE(be32(20), 2u * 480u);
  EXPECT_GT(png.size(), 200000u) << "a sheet of 81 pictures cannot compress this small";
}

// ------------------------------------------------------------ through the library

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
  // Pixels of the playfield still black (nothing drawn there).
  static int BlackInPlayfield() {
    int n = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 130; x < 510; ++x) n += At(x, y) == 0;
    return n;
  }
  std::string assetDir_;
  int boxes_ = 0;
};

TEST_F(PicturesInTheGame, LoadWithTheSizesTheGameCuts) {
  for (const Expected& e : kPictures) {
    SCOPED_TRACE(e.name);
    const int h = oxDraw::LoadObject(e.name, 1);
    ASSERT_GE(h, 4);
    if (e.width) {
      EXPECT_EQ(oxd::Sprites()[h].width, e.width);
      EXPECT_EQ(oxd::Sprites()[h].height, e.height);
    }
  }
}

// A layer draws its image at y and at y - 480 while it scrolls: at any
// offset the playfield is covered with no transparent holes, and the two
// strips meet without a visible step.
TEST_F(PicturesInTheGame, ScrollingBackgroundsCoverThePlayfield) {
  for (const char* name : kBackgrounds) {
    SCOPED_TRACE(name);
    const int h = oxDraw::LoadObject(name, 1);
    ASSERT_GE(h, 4);
    for (int offset : {0, 137, 479}) {
      oxDraw::Clear();
      oxDraw::Draw(130, offset, h, 0, 0, 380, 480);
      oxDraw::Draw(130, offset - 480, h, 0, 0, 380, 480);
      EXPECT_EQ(BlackInPlayfield(), 0) << "offset " << offset;
    }
  }
}

// The selection screen draws its picture over the whole playfield; the
// attract pictures cover the part of the playfield they are drawn over.
TEST_F(PicturesInTheGame, SelectionAndAttractPicturesFillTheirPlace) {
  struct Placed {
    const char* name;
    int x, w;
  };
  const Placed placed[] = {{"BCG5.BMP", 130, 380},
                           {"BTHK00.BMP", 150, 340},
                           {"BCG2.BMP", 120, 400},
                           {"BCG3.BMP", 100, 440},
                           {"BCG4.BMP", 130, 380}};
  for (const Placed& p : placed) {
    SCOPED_TRACE(p.name);
    const int h = oxDraw::LoadObject(p.name, 1);
    ASSERT_GE(h, 4);
    oxDraw::Clear();
    oxDraw::Draw(p.x, 0, h, 0, 0, p.w, 480);
    const int from = std::max(130, p.x), to = std::min(510, p.x + p.w);
    int holes = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = from; x < to; ++x) holes += At(x, y) == 0;
    EXPECT_EQ(holes, 0);
    EXPECT_EQ(BlackInPlayfield(), 380 * 480 - (to - from) * 480);
  }
}

// The ending message sits at (170, 110) over falling stars: it must show
// text, and leave most of its cell see-through.
TEST_F(PicturesInTheGame, EndingMessageShowsOverTheStars) {
  const int h = oxDraw::LoadObject("MYGOODN.BMP", 1);
  ASSERT_GE(h, 4);
  oxDraw::FillRect(130, 0, 510, 480, 0x001F);  // stand-in for the stars: blue
  oxDraw::Draw(170, 110, h, 0, 0, 300, 100);
  int message = 0, through = 0;
  for (int y = 110; y < 210; ++y)
    for (int x = 170; x < 470; ++x) (At(x, y) == 0x001F ? through : message)++;
  EXPECT_GT(message, 300 * 100 / 10);
  EXPECT_GT(through, 300 * 100 / 3);
}

}  // namespace
