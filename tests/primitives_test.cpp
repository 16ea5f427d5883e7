// Drawing primitives: pens, brushes and hatches, checked pixel by pixel in the back buffer.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>

#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "draw/ox_surface.h"
#include "tests/test_support.h"

namespace {

constexpr uint16_t kMarker = 0x7777;  // background no colour below converts to
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kGreen = 0x00FF00;
constexpr int32_t kOdd = 0x00A5C3E7;  // components that truncate differently
constexpr uint16_t kRedPx = 0xF800;
constexpr uint16_t kGreenPx = 0x07E0;

class PrimitivesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    oxDraw::SetClip(130, 0, 510, 480);  // the primitives must ignore it
    oxDraw::FillRect(0, 0, 640, 480, kMarker);
  }
  void TearDown() override { oxDraw::CloseDC(); }
  static uint16_t At(int x, int y) { return oxd::Scr().back->pixels[y * 640 + x]; }
  static int Count(const std::function<bool(int, int, uint16_t)>& f) {
    int n = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) n += f(x, y, At(x, y));
    return n;
  }
  static int Touched() {
    return Count([](int, int, uint16_t p) { return p != kMarker; });
  }
  static bool Hatch(int x, int y) { return (x & 7) == (y & 7) || (x & 7) + (y & 7) == 7; }
  struct Pt {
    int x, y;
    uint16_t c;
  };
  static void ExpectAt(std::initializer_list<Pt> pts) {
    for (const Pt& p : pts) EXPECT_EQ(At(p.x, p.y), p.c) << p.x << "," << p.y;
  }
};

// ---------------------------------------------------------------- pixels

TEST_F(PrimitivesTest, SetPixelTruncatesGetPixelWidensAndBothIgnoreOutsidePoints) {
  for (int x : {-1, 640, INT_MIN, INT_MAX}) oxDraw::SetPixel(x, 10, kRed);
  for (int y : {-1, 480, INT_MIN, INT_MAX}) oxDraw::SetPixel(10, y, kRed);
  oxDraw::SetPixel(5, 6, kOdd);
  EXPECT_EQ(At(5, 6), oxd::NativeColor(kOdd));
  EXPECT_EQ(Touched(), 1);
  int r = -1, g = -1, b = -1;
  ASSERT_EQ(oxDraw::GetPixel(5, 6, &r, &g, &b), 1);
  // 0xE7 -> 28 -> 231, 0xC3 -> 48 -> 195, 0xA5 -> 20 -> 165
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{231, 195, 165}));
  oxDraw::SetPixel(7, 6, r | g << 8 | b << 16);  // what is read back sets the same pixel
  EXPECT_EQ(At(7, 6), At(5, 6));
  oxDraw::SetPixel(0, 0, 0xFFFFFF);
  ASSERT_EQ(oxDraw::GetPixel(0, 0, &r, &g, &b), 1);
  EXPECT_EQ(r + g + b, 3 * 255);
  EXPECT_EQ(oxDraw::GetPixel(640, 0, &r, &g, &b), 0);
  EXPECT_EQ(r + g + b, 0);
  EXPECT_EQ(oxDraw::GetPixel(0, 0, nullptr, nullptr, nullptr), 1);
}

// ---------------------------------------------------------------- lines

TEST_F(PrimitivesTest, ThinLineSetsOnePixelPerStepOfItsLongerAxisAndLeavesOutItsLastPoint) {
  oxDraw::Line(10, 10, 20, 10, kRed, 1);
  oxDraw::Line(30, 40, 30, 30, kRed, 0);  // upward, width 0 is one pixel too
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(At(10 + i, 10) == kRedPx && At(30, 31 + i) == kRedPx);
  ExpectAt({{20, 10, kMarker}, {30, 30, kMarker}});
  EXPECT_EQ(Touched(), 20);
  oxDraw::FillRect(0, 0, 640, 480, kMarker);
  oxDraw::Line(100, 100, 120, 106, kGreen, 1);
  for (int x = 100; x < 120; ++x) {
    int inColumn = 0, row = -1;
    for (int y = 95; y < 110; ++y) {
      if (At(x, y) == kGreenPx) {
        ++inColumn;
        row = y;
      }
    }
    EXPECT_EQ(inColumn, 1) << x;
    EXPECT_LE(std::abs((row - 100) * 20 - (x - 100) * 6), 10) << x;  // within half a pixel
  }
  EXPECT_EQ(Touched(), 20);
  oxDraw::Line(300, 300, 305, 305, kGreen, 1);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(At(300 + i, 300 + i), kGreenPx);
  EXPECT_EQ(Touched(), 25);
}

TEST_F(PrimitivesTest, LinesIgnoreTheClipRectangleButStopAtTheBufferEdge) {
  oxDraw::Line(0, 240, 640, 240, kRed, 1);
  for (int x = 0; x < 640; ++x) ASSERT_EQ(At(x, 240), kRedPx) << x;
  // Ends far outside: only the visible steps are visited.
  oxDraw::Line(INT_MIN, 100, INT_MAX, 100, kRed, 1);
  for (int x = 0; x < 640; ++x) ASSERT_EQ(At(x, 100), kRedPx) << x;
  oxDraw::Line(-1000000000, -1000000000, 1000000000, 1000000000, kGreen, 1);
  for (int i = 0; i < 480; ++i) ASSERT_EQ(At(i, i), kGreenPx) << i;
  EXPECT_EQ(Touched(), 640 + 640 + 480 - 2);
  oxDraw::FillRect(0, 0, 640, 480, kMarker);  // wide lines too
  oxDraw::Line(-2000000000, 50, 2000000000, 50, kRed, 3);
  for (int x = 0; x < 640; ++x) ASSERT_TRUE(At(x, 49) == kRedPx && At(x, 51) == kRedPx) << x;
  EXPECT_EQ(Touched(), 3 * 640);
  oxDraw::Line(0, 0, 10, 10, kRed, INT_MAX);  // a pen wider than the screen
  EXPECT_EQ(Touched(), 640 * 480);
}

TEST_F(PrimitivesTest, WideLineIsRoundCappedAndCentred) {
  oxDraw::Line(100, 100, 200, 100, kOdd, 5);
  const uint16_t ink = oxd::NativeColor(kOdd);
  for (int y = 98; y <= 102; ++y) EXPECT_EQ(At(150, y), ink) << y;
  ExpectAt({{150, 97, kMarker}, {150, 103, kMarker}});
  // Caps reach half the width past both ends, and are rounded.
  ExpectAt({{98, 100, ink},
            {202, 100, ink},
            {96, 100, kMarker},
            {204, 100, kMarker},
            {98, 98, kMarker}});
  // Only the ink colour, exactly: no antialiased edge pixels.
  EXPECT_EQ(Count([&](int, int, uint16_t p) { return p != kMarker && p != ink; }), 0);
}

// ---------------------------------------------------------------- rectangles

TEST_F(PrimitivesTest, RectangleOutlinesItsEdgePixelsAndFillsBetween) {
  oxDraw::Rectangle(10, 10, 20, 16, kGreen, kRed, 1);
  for (int y = 10; y < 16; ++y) {
    for (int x = 10; x < 20; ++x) {
      const bool edge = x == 10 || x == 19 || y == 10 || y == 15;
      ASSERT_EQ(At(x, y), edge ? kRedPx : kGreenPx) << x << "," << y;
    }
  }
  EXPECT_EQ(Touched(), 60);
  oxDraw::FillRect(0, 0, 640, 480, kMarker);  // reversed corners draw the same rectangle
  oxDraw::Rectangle(20, 16, 10, 10, kGreen, kRed, 1);
  ExpectAt({{10, 10, kRedPx}, {11, 11, kGreenPx}});
  EXPECT_EQ(Touched(), 60);
  oxDraw::FillRect(0, 0, 640, 480, kMarker);  // empty rectangles draw nothing
  oxDraw::Rectangle(50, 50, 50, 80, kGreen, kRed, 1);
  oxDraw::Rectangle(50, 50, 80, 50, kGreen, kRed, 3);
  EXPECT_EQ(Touched(), 0);
}

TEST_F(PrimitivesTest, WideRectangleOutlineIsCentredOnTheEdgeAndCutAtTheBuffer) {
  oxDraw::Rectangle(100, 100, 200, 150, kGreen, kRed, 4);
  // The left wall straddles column 100, the top wall row 100.
  for (int k = 0; k < 3; ++k)
    ExpectAt({{99 + k, 125, kRedPx}, {150, 99 + k, kRedPx}, {198 + k, 125, kRedPx}});
  ExpectAt({{96, 125, kMarker}, {203, 125, kMarker}, {150, 125, kGreenPx}, {104, 104, kGreenPx}});
  // Larger than the buffer: cut.
  oxDraw::Rectangle(INT_MIN, -5, INT_MAX, 485, kGreen, kRed, 1);
  EXPECT_EQ(Count([](int, int, uint16_t p) { return p == kGreenPx; }), 640 * 480);
  // Walls 30 wide on edges 10 pixels outside reach 5 pixels in.
  oxDraw::Rectangle(-10, -10, 650, 490, kGreen, kRed, 30);
  ExpectAt({{320, 4, kRedPx}, {320, 6, kGreenPx}, {4, 240, kRedPx}, {6, 240, kGreenPx}});
}

// ---------------------------------------------------------------- polygons

TEST_F(PrimitivesTest, HollowPolygonDrawsOnlyItsClosedOutline) {
  const int32_t tri[] = {100, 100, 200, 100, 150, 180};
  oxDraw::Polygon(tri, 3, kRed, kGreen, 1, 0);
  // Inside untouched; every vertex and the closing edge drawn.
  ExpectAt({{150, 130, kMarker}, {150, 180, kRedPx}});
  for (int x = 100; x <= 200; ++x) EXPECT_EQ(At(x, 100), kRedPx) << x;
  // Each of the slanted edges has one pixel in every row it spans.
  for (int y = 101; y < 180; ++y) {
    int n = 0;
    for (int x = 90; x < 210; ++x) n += At(x, y) == kRedPx;
    EXPECT_EQ(n, 2) << y;
  }
  EXPECT_EQ(Count([](int, int, uint16_t p) { return p != kMarker && p != kRedPx; }), 0);
}

TEST_F(PrimitivesTest, HatchIsOpaqueOrTransparentAndAnchoredToTheBuffer) {
  const int32_t opaque[] = {16, 16, 80, 16, 80, 80, 16, 80};
  const int32_t clear[] = {200, 200, 264, 200, 264, 264, 200, 264};  // 184 = 23 * 8 further
  oxDraw::Polygon(opaque, 4, kRed, kGreen, 1, 1);
  oxDraw::Polygon(clear, 4, kGreen, kRed, 1, 2);
  for (int y = 17; y < 80; ++y) {
    for (int x = 17; x < 80; ++x) {
      ASSERT_EQ(At(x, y), Hatch(x, y) ? kRedPx : kGreenPx) << x << "," << y;
      ASSERT_EQ(At(x + 184, y + 184), Hatch(x, y) ? kGreenPx : kMarker) << x << "," << y;
    }
  }
  for (int i = 16; i <= 80; ++i)
    ExpectAt({{i, 16, kRedPx}, {i, 80, kRedPx}, {16, i, kRedPx}, {80, i, kRedPx}});
  EXPECT_EQ(Count([](int x, int, uint16_t p) { return x < 100 && p != kMarker; }), 65 * 65);
  EXPECT_EQ(Count([](int x, int, uint16_t p) { return x > 100 && p == kRedPx; }), 0);
  // Vertices a billion pixels away: the whole buffer is inside, hatched from its origin.
  const int32_t huge[] = {-1000000000, -1000000000, 1000000000,  -1000000000,
                          1000000000,  1000000000,  -1000000000, 1000000000};
  oxDraw::Polygon(huge, 4, kRed, kGreen, 1, 1);
  EXPECT_EQ(Count([](int x, int y, uint16_t p) { return p != (Hatch(x, y) ? kRedPx : kGreenPx); }),
            0);
}

TEST_F(PrimitivesTest, SelfCrossingPolygonUsesTheAlternateRule) {
  // One outline around two overlapping squares: the overlap is crossed twice, so stays unfilled.
  const int32_t shape[] = {20, 20, 60, 20, 60, 60, 40, 60, 40, 40, 80, 40, 80, 80, 20, 80};
  oxDraw::Polygon(shape, 8, kRed, kGreen, 1, 1);
  EXPECT_TRUE(At(30, 30) != kMarker && At(70, 70) != kMarker);
  for (int y = 41; y < 60; ++y)
    for (int x = 41; x < 60; ++x) ASSERT_EQ(At(x, y), kMarker) << x << "," << y;
}

TEST_F(PrimitivesTest, WidePolygonOutlineCoversTheCorners) {
  const int32_t square[] = {300, 300, 400, 300, 400, 400, 300, 400};
  oxDraw::Polygon(square, 4, kRed, kGreen, 6, 0);
  for (int k = -2; k <= 2; ++k)  // the walls and the join
    ExpectAt({{350, 300 + k, kRedPx}, {400 + k, 350, kRedPx}, {300 + k, 300 + k, kRedPx}});
  EXPECT_EQ(At(350, 350), kMarker);
}

TEST_F(PrimitivesTest, PolygonRefusesTooFewOrTooManyPoints) {
  const int32_t one[] = {10, 10};
  oxDraw::Polygon(one, 1, kRed, kGreen, 1, 1);
  oxDraw::Polygon(nullptr, 4, kRed, kGreen, 1, 1);
  static int32_t many[2 * 2049];
  for (int i = 0; i < 2049; ++i) many[2 * i] = i % 600, many[2 * i + 1] = (i * 7) % 400;
  oxDraw::Polygon(many, 2049, kRed, kGreen, 1, 1);
  EXPECT_EQ(Touched(), 0);
  const int32_t two[] = {10, 10, 20, 10};  // a line there and back
  oxDraw::Polygon(two, 2, kRed, kGreen, 1, 0);
  EXPECT_EQ(Touched(), 11);
  oxDraw::Polygon(many, 2048, kRed, kGreen, 1, 1);
  EXPECT_GT(Touched(), 11);
}

// ---------------------------------------------------------------- curves

TEST_F(PrimitivesTest, BezierNeedsOnePlusThreeNPointsAndAStraightOneMatchesTheLine) {
  const int32_t five[] = {0, 0, 10, 10, 20, 20, 30, 30, 40, 40};
  oxDraw::Bezier(five, 5, kRed, 1);
  oxDraw::Bezier(five, 1, kRed, 1);
  oxDraw::Bezier(nullptr, 4, kRed, 1);
  EXPECT_EQ(Touched(), 0);
  const int32_t pts[] = {50, 60, 80, 69, 110, 78, 150, 90};
  oxDraw::Bezier(pts, 4, kRed, 1);
  const int drawn = Touched();
  oxDraw::Line(50, 60, 150, 90, kGreen, 1);
  EXPECT_EQ(Touched(), drawn);  // the same pixels, now green
  EXPECT_EQ(Count([](int, int, uint16_t p) { return p == kRedPx; }), 0);
}

TEST_F(PrimitivesTest, BezierCurveReachesItsApexAndStaysConnected) {
  const int32_t arch[] = {100, 300, 100, 200, 300, 200, 300, 300};
  oxDraw::Bezier(arch, 4, kRed, 1);
  ExpectAt({{100, 300, kRedPx}, {200, 225, kRedPx}});  // an end and the midpoint
  EXPECT_EQ(Count([](int, int y, uint16_t p) { return p != kMarker && y < 225; }), 0);
  int lonely = 0;  // every set pixel touches another
  for (int y = 220; y <= 300; ++y) {
    for (int x = 95; x <= 305; ++x) {
      if (At(x, y) != kRedPx) continue;
      int n = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) n += (dx || dy) && At(x + dx, y + dy) == kRedPx;
      lonely += n < 1;
    }
  }
  EXPECT_EQ(lonely, 0);
  // Two curves chained through a shared point.
  oxDraw::FillRect(0, 0, 640, 480, kMarker);
  const int32_t wave[] = {10, 50, 30, 10, 50, 10, 70, 50, 90, 90, 110, 90, 130, 50};
  oxDraw::Bezier(wave, 7, kGreen, 3);
  ExpectAt({{70, 50, kGreenPx}, {40, 20, kGreenPx}, {100, 80, kGreenPx}, {40, 80, kMarker}});
}

// ---------------------------------------------------------------- inversion and contexts

TEST_F(PrimitivesTest, InvertRectFlipsEveryBitAndTwiceRestores) {
  oxDraw::SetPixel(12, 12, kOdd);
  oxDraw::InvertRect(10, 10, 20, 15);
  ExpectAt({{10, 10, uint16_t(~kMarker)},
            {12, 12, uint16_t(~oxd::NativeColor(kOdd))},
            {20, 10, kMarker},
            {10, 15, kMarker}});
  EXPECT_EQ(Touched(), 50);
  oxDraw::InvertRect(20, 15, 10, 10);  // reversed corners
  EXPECT_EQ(Touched(), 1);
  oxDraw::InvertRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(Touched(), 640 * 480);
}

TEST_F(PrimitivesTest, NothingIsDrawnOnALostOrMissingBackBuffer) {
  oxd::MarkAllSurfacesLost();
  EXPECT_EQ(oxDraw::OpenDC(), 0);
  oxDraw::Line(0, 0, 100, 0, kRed, 1);
  oxDraw::Rectangle(0, 0, 50, 50, kRed, kRed, 3);
  const int32_t tri[] = {0, 0, 50, 0, 0, 50};
  oxDraw::Polygon(tri, 3, kRed, kGreen, 1, 1);
  oxDraw::SetPixel(1, 1, kRed);
  oxDraw::InvertRect(0, 0, 10, 10);
  EXPECT_EQ(Touched(), 0);
  int r = 1;
  EXPECT_EQ(oxDraw::GetPixel(1, 1, &r, nullptr, nullptr), 0);
  oxDraw::Release();
  EXPECT_EQ(oxDraw::OpenDC(), 0);
  oxDraw::Line(0, 0, 100, 0, kRed, 3);
  oxDraw::InvertRect(0, 0, 10, 10);
}

TEST_F(PrimitivesTest, OpenContextFollowsAReopenedScreen) {
  ASSERT_EQ(oxDraw::OpenDC(), 1);
  oxDraw::Line(0, 5, 50, 5, kRed, 3);
  EXPECT_EQ(At(25, 5), kRedPx);
  // The screen is opened anew while the context is open: drawing goes to
  // the new back buffer.
  oxDraw::Screen(640, 480, 2);
  oxDraw::FillRect(0, 0, 640, 480, kMarker);
  oxDraw::Line(0, 5, 50, 5, kGreen, 3);
  const int32_t tri[] = {0, 100, 50, 100, 0, 150};
  oxDraw::Polygon(tri, 3, kGreen, kRed, 1, 1);
  EXPECT_EQ(At(25, 5), kGreenPx);
  EXPECT_NE(At(10, 110), kMarker);
  oxDraw::CloseDC();
  oxDraw::Line(0, 7, 50, 7, kRed, 3);
  EXPECT_EQ(At(25, 7), kRedPx);
}

}  // namespace
