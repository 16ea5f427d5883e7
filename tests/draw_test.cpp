// Sprite drawing, fills, the clip rectangle and its effects, and the
// row-by-row distortions, checked pixel by pixel in the back buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>

#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "frame/app_state.h"
#include "tests/test_support.h"

namespace {

constexpr uint16_t kMarker = 0x7777;  // background that no sprite uses
constexpr uint16_t kMagenta = 0xF81F;

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    oxd::ResetDistortionState();
    oxDraw::SetClip(130, 0, 510, 480);
    oxDraw::FillRect(0, 0, 640, 480, kMarker);
  }

  static oxd::Surface& Back() { return *oxd::Scr().back; }
  static uint16_t At(int x, int y) { return Back().pixels[y * Back().pitch + x]; }
  static uint16_t& SpritePixel(int h, int x, int y) {
    oxd::Surface* s = oxd::SpriteSurface(h);
    return s->pixels[y * s->pitch + x];
  }

  // A sprite whose pixel (x, y) is f(x, y); keyed on black.
  static int Sprite(int w, int h, const std::function<uint16_t(int, int)>& f) {
    int handle = oxDraw::CreateObject(w, h, 1);
    EXPECT_GE(handle, 4);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) SpritePixel(handle, x, y) = f(x, y);
    return handle;
  }
  // Column-coded sprite: pixel (x, y) = 0x1000 + y * 64 + x, never black.
  static int Coded(int w, int h) {
    return Sprite(w, h, [](int x, int y) { return uint16_t(0x1000 + y * 64 + x); });
  }
  static uint16_t Code(int x, int y) { return uint16_t(0x1000 + y * 64 + x); }

  // Counts back-buffer pixels that differ from the marker.
  static int Touched() {
    int n = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) n += At(x, y) != kMarker;
    return n;
  }
};

// ---------------------------------------------------------------- clipping

TEST_F(DrawTest, LeftEdgeCutShowsTheRightColumns) {
  int h = Coded(32, 4);
  oxDraw::Draw(120, 10, h, 0, 0, 32, 4);
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(At(129, 10 + y), kMarker);
    for (int k = 0; k < 22; ++k) ASSERT_EQ(At(130 + k, 10 + y), Code(10 + k, y)) << k;
    EXPECT_EQ(At(152, 10 + y), kMarker);
  }
  EXPECT_EQ(Touched(), 22 * 4);
}

TEST_F(DrawTest, RightEdgeCutAndExactFit) {
  int h = Coded(32, 4);
  oxDraw::Draw(490, 10, h, 0, 0, 32, 4);
  for (int k = 0; k < 20; ++k) ASSERT_EQ(At(490 + k, 10), Code(k, 0));
  EXPECT_EQ(At(510, 10), kMarker);
  EXPECT_EQ(Touched(), 20 * 4);

  oxDraw::Draw(478, 100, h, 0, 0, 32, 4);  // right edge exactly on 510
  for (int k = 0; k < 32; ++k) ASSERT_EQ(At(478 + k, 103), Code(k, 3));
  EXPECT_EQ(Touched(), 20 * 4 + 32 * 4);

  oxDraw::Draw(510, 200, h, 0, 0, 32, 4);
  oxDraw::Draw(600, 200, h, 0, 0, 32, 4);
  EXPECT_EQ(Touched(), 20 * 4 + 32 * 4);
}

TEST_F(DrawTest, TopAndBottomCuts) {
  int h = Coded(8, 16);
  oxDraw::Draw(200, -5, h, 0, 0, 8, 16);
  EXPECT_EQ(At(200, 0), Code(0, 5));
  EXPECT_EQ(At(207, 10), Code(7, 15));
  EXPECT_EQ(At(200, 11), kMarker);
  oxDraw::Draw(300, 470, h, 0, 0, 8, 16);
  EXPECT_EQ(At(300, 470), Code(0, 0));
  EXPECT_EQ(At(300, 479), Code(0, 9));
  EXPECT_EQ(Touched(), 8 * 11 + 8 * 10);
  oxDraw::Draw(200, -16, h, 0, 0, 8, 16);  // wholly above
  oxDraw::Draw(200, 480, h, 0, 0, 8, 16);  // wholly below
  EXPECT_EQ(Touched(), 8 * 11 + 8 * 10);
}

TEST_F(DrawTest, WideSpriteIsCutOnBothSides) {
  int h = Sprite(400, 2, [](int x, int) { return uint16_t(0x2000 + x); });
  oxDraw::Draw(120, 0, h, 0, 0, 400, 2);
  EXPECT_EQ(At(129, 0), kMarker);
  EXPECT_EQ(At(130, 0), 0x2000 + 10);
  EXPECT_EQ(At(509, 1), 0x2000 + 389);
  EXPECT_EQ(At(510, 1), kMarker);
  EXPECT_EQ(Touched(), 380 * 2);
}

TEST_F(DrawTest, KeyedPixelsSkippedNearBlackDrawn) {
  // Black is the key; 0x0001 (the darkest blue) is not.
  int h = Sprite(4, 1, [](int x, int) { return uint16_t(x % 2 ? 0x0001 : 0x0000); });
  oxDraw::Draw(200, 50, h, 0, 0, 4, 1);
  EXPECT_EQ(At(200, 50), kMarker);
  EXPECT_EQ(At(201, 50), 0x0001);
  EXPECT_EQ(At(202, 50), kMarker);
  EXPECT_EQ(At(203, 50), 0x0001);
  // A magenta key makes black opaque.
  oxDraw::SetObjectKey(h, 0xFF00FF);
  SpritePixel(h, 2, 0) = kMagenta;
  oxDraw::Draw(200, 60, h, 0, 0, 4, 1);
  EXPECT_EQ(At(200, 60), 0x0000);
  EXPECT_EQ(At(202, 60), kMarker);
}

TEST_F(DrawTest, BadHandlesAndSourceRectanglesDrawNothing) {
  int h = Coded(32, 8);
  for (int bad : {-1, 1024, 5000, 900}) oxDraw::Draw(200, 100, bad, 0, 0, 32, 8);
  oxDraw::Draw(200, 100, h, 0, 0, 33, 8);   // one column past the sprite
  oxDraw::Draw(200, 100, h, -1, 0, 32, 8);  // one column before it
  oxDraw::Draw(200, 100, h, 0, 0, 32, 9);
  oxDraw::Draw(200, 100, h, 20, 0, 10, 8);  // reversed
  oxDraw::Draw(200, 100, h, 5, 0, 5, 8);    // empty
  oxDraw::Draw(INT32_MIN, INT32_MIN, h, INT32_MIN, 0, INT32_MAX, 8);
  oxDraw::Draw(INT32_MAX, INT32_MAX, h, 0, 0, 32, 8);
  EXPECT_EQ(Touched(), 0);
  // A source sub-rectangle draws only that part.
  oxDraw::Draw(200, 100, h, 4, 2, 6, 3);
  EXPECT_EQ(At(200, 100), Code(4, 2));
  EXPECT_EQ(At(201, 100), Code(5, 2));
  EXPECT_EQ(Touched(), 2);
}

TEST_F(DrawTest, LostSurfaceRestoresAndSkipsTheDraw) {
  int h = Coded(8, 8);
  oxd::MarkAllSurfacesLost();
  oxDraw::Draw(200, 100, h, 0, 0, 8, 8);
  EXPECT_FALSE(Back().lost);
  EXPECT_FALSE(oxd::SpriteSurface(h)->lost);
  // The restored back buffer is blank; the sprite was not drawn into it.
  EXPECT_EQ(At(200, 100), 0);
}

TEST_F(DrawTest, CloseClipBlocksEveryDrawUntilSetAgain) {
  int h = Coded(32, 8);
  oxDraw::CloseClip();
  EXPECT_EQ(oxd::Clip().counter, -1);
  for (int x : {0, 120, 130, 300, 500}) {
    oxDraw::Draw(x, 0, h, 0, 0, 32, 8);
    oxDraw::DrawOpaque(x, 0, h, 0, 0, 32, 8);
  }
  EXPECT_EQ(Touched(), 0);
  oxDraw::SetClip(130, 0, 510, 480);
  oxDraw::Draw(300, 0, h, 0, 0, 32, 8);
  EXPECT_EQ(Touched(), 32 * 8);
}

// ---------------------------------------------------------------- variants

TEST_F(DrawTest, OpaqueCopiesTheKeyToo) {
  int h = Sprite(2, 1, [](int x, int) { return uint16_t(x ? 0x1234 : 0); });
  oxDraw::DrawOpaque(120, 5, h, 0, 0, 2, 1);  // cut like Draw
  EXPECT_EQ(At(130, 5), kMarker);
  oxDraw::DrawOpaque(200, 5, h, 0, 0, 2, 1);
  EXPECT_EQ(At(200, 5), 0x0000);
  EXPECT_EQ(At(201, 5), 0x1234);
}

TEST_F(DrawTest, DrawOnTargetsASpriteAndUsesTheClip) {
  int src = Sprite(4, 4, [](int x, int y) { return uint16_t(x == y ? 0 : 0x4000 + x + 4 * y); });
  int dst = Sprite(16, 16, [](int, int) { return uint16_t(0x0F0F); });
  oxDraw::DrawOn(dst, 2, 2, src, 0, 0, 4, 4);  // outside the playfield clip
  EXPECT_EQ(SpritePixel(dst, 3, 2), 0x0F0F);

  oxDraw::SetClip(0, 0, 640, 480);
  oxDraw::DrawOn(dst, 2, 2, src, 0, 0, 4, 4);
  EXPECT_EQ(SpritePixel(dst, 2, 2), 0x0F0F);  // key skipped
  EXPECT_EQ(SpritePixel(dst, 3, 2), 0x4001);
  oxDraw::DrawOpaqueOn(dst, 10, 10, src, 0, 0, 4, 4);
  EXPECT_EQ(SpritePixel(dst, 10, 10), 0x0000);
  EXPECT_EQ(SpritePixel(dst, 13, 12), 0x4000 + 3 + 8);
  // Past the destination sprite's edge: refused as a whole.
  oxDraw::DrawOpaqueOn(dst, 14, 0, src, 0, 0, 4, 4);
  EXPECT_EQ(SpritePixel(dst, 14, 0), 0x0F0F);
  oxDraw::DrawOn(-3, 0, 0, src, 0, 0, 4, 4);  // no destination: nothing
  EXPECT_EQ(Touched(), 0);
}

TEST_F(DrawTest, DrawOnItselfOverlapping) {
  oxDraw::SetClip(0, 0, 640, 480);
  int h = Coded(40, 3);
  oxDraw::DrawOpaqueOn(h, 3, 0, h, 0, 0, 37, 3);  // shift right by 3
  for (int x = 3; x < 40; ++x) ASSERT_EQ(SpritePixel(h, x, 1), Code(x - 3, 1)) << x;
  EXPECT_EQ(SpritePixel(h, 2, 1), Code(2, 1));
}

TEST_F(DrawTest, StretchOnTheBlitterPathIsKeyedAndUnclipped) {
  ASSERT_EQ(oxd::Scr().stretchCapable, 1);
  int h = Sprite(2, 2, [](int x, int y) {
    return uint16_t(x + y == 1 ? kMagenta : 0x1100 + x + 2 * y);
  });
  oxDraw::SetObjectKey(h, 0xFF00FF);
  oxDraw::DrawStretch(10, 20, h, 0, 0, 2, 2, 4, 4);  // left of the playfield
  EXPECT_EQ(At(10, 20), 0x1100);
  EXPECT_EQ(At(11, 21), 0x1100);
  EXPECT_EQ(At(12, 20), kMarker);  // magenta skipped
  EXPECT_EQ(At(13, 23), 0x1103);
  EXPECT_EQ(Touched(), 8);
  oxDraw::DrawStretchOpaque(10, 30, h, 0, 0, 2, 2, 4, 2);
  EXPECT_EQ(At(12, 30), kMagenta);
  EXPECT_EQ(At(13, 31), 0x1103);
  // Leaving the back buffer: refused, nothing drawn.
  oxDraw::DrawStretch(630, 0, h, 0, 0, 2, 2, 20, 20);
  oxDraw::DrawStretch(0, 470, h, 0, 0, 2, 2, 4, 20);
  EXPECT_EQ(Touched(), 16);
}

TEST_F(DrawTest, StretchSoftwarePathKeysOnBlackAndClips) {
  oxd::Scr().stretchCapable = 0;
  // Magenta is this sprite's key, but the Buffer sprite's key (black) rules.
  int h = Sprite(2, 1, [](int x, int) { return x ? kMagenta : 0; });
  oxDraw::SetObjectKey(h, 0xFF00FF);
  oxDraw::DrawStretch(200, 40, h, 0, 0, 2, 1, 4, 2);
  EXPECT_EQ(At(200, 40), kMarker);
  EXPECT_EQ(At(201, 41), kMarker);
  EXPECT_EQ(At(202, 40), kMagenta);
  EXPECT_EQ(At(203, 41), kMagenta);
  EXPECT_EQ(Touched(), 4);
  oxDraw::DrawStretchOpaque(200, 50, h, 0, 0, 2, 1, 4, 1);
  EXPECT_EQ(At(200, 50), 0x0000);
  // Clipped to the playfield like Draw: the black half left of it is cut.
  oxDraw::DrawStretchOpaque(126, 60, h, 0, 0, 2, 1, 8, 1);
  EXPECT_EQ(At(129, 60), kMarker);
  EXPECT_EQ(At(130, 60), kMagenta);
  EXPECT_EQ(At(133, 60), kMagenta);
  // Larger than the Buffer sprite: nothing, not the buffer's stale picture.
  const int before = Touched();
  oxDraw::DrawStretch(130, 0, h, 0, 0, 2, 1, 700, 2);
  oxDraw::DrawStretch(130, 0, h, 0, 0, 3, 1, 4, 2);  // bad source rectangle
  EXPECT_EQ(Touched(), before);
}

TEST_F(DrawTest, CaptureCopiesTheBackBufferWithoutKey) {
  int h = Sprite(8, 4, [](int, int) { return uint16_t(0x1111); });
  oxDraw::ClearRect(100, 50, 104, 52);
  oxDraw::FillRect(104, 50, 108, 52, 0x2222);
  oxDraw::Capture(h, 100, 50, 108, 52);
  EXPECT_EQ(SpritePixel(h, 0, 0), 0x0000);  // black copied, not skipped
  EXPECT_EQ(SpritePixel(h, 7, 1), 0x2222);
  EXPECT_EQ(SpritePixel(h, 0, 2), 0x1111);  // below the captured rows
  oxDraw::Capture(h, 630, 0, 640, 4);       // wider than the sprite
  EXPECT_EQ(SpritePixel(h, 0, 0), 0x0000);
}

// ---------------------------------------------------------------- fills

TEST_F(DrawTest, FillsAreUnclippedAndStayInsideTheBuffer) {
  oxDraw::ClearRect(0, 0, 10, 10);
  EXPECT_EQ(At(0, 0), 0);
  EXPECT_EQ(At(9, 9), 0);
  EXPECT_EQ(At(10, 9), kMarker);
  oxDraw::FillRect(20, 0, 22, 1, 0x12345678);
  EXPECT_EQ(At(21, 0), 0x5678);
  oxDraw::ClearRectWhite(30, 0, 31, 1);
  EXPECT_EQ(At(30, 0), 0xFFFF);
  const int before = Touched();
  oxDraw::ClearRect(-1, 0, 5, 5);
  oxDraw::FillRect(630, 470, 641, 480, 1);
  oxDraw::FillRect(5, 5, 1, 8, 1);  // reversed
  EXPECT_EQ(Touched(), before);
  oxDraw::ClearWhite();
  EXPECT_EQ(At(0, 0), 0xFFFF);
  EXPECT_EQ(At(639, 479), 0xFFFF);
}

TEST_F(DrawTest, FrameRectDrawsAOnePixelOutline) {
  oxDraw::FrameRect(10, 20, 15, 24);
  for (int x = 10; x < 15; ++x) {
    EXPECT_EQ(At(x, 20), 0);
    EXPECT_EQ(At(x, 23), 0);
  }
  for (int y = 20; y < 24; ++y) {
    EXPECT_EQ(At(10, y), 0);
    EXPECT_EQ(At(14, y), 0);
  }
  EXPECT_EQ(At(12, 21), kMarker);
  EXPECT_EQ(At(13, 22), kMarker);
  EXPECT_EQ(Touched(), 5 * 2 + 2 * 2);
}

TEST_F(DrawTest, ClearObjectBlanksTheSprite) {
  int h = Coded(6, 6);
  oxDraw::ClearObject(h);
  EXPECT_EQ(SpritePixel(h, 0, 0), 0);
  EXPECT_EQ(SpritePixel(h, 5, 5), 0);
  oxDraw::ClearObject(-1);
  oxDraw::ClearObject(777);
}

TEST_F(DrawTest, BlendRectHalvesTowardsTheColourInsideTheClip) {
  oxDraw::FillRect(0, 0, 640, 2, 0xFFFF);
  EXPECT_EQ(oxDraw::BlendRect(0, 0, 640, 1, 0xF800), 1);
  // (0xFFFF >> 1) & 0x7BEF = 0x7BEF; (0xF800 >> 1) & 0x7BEF = 0x7800.
  EXPECT_EQ(At(130, 0), 0xF3EF);
  EXPECT_EQ(At(509, 0), 0xF3EF);
  EXPECT_EQ(At(129, 0), 0xFFFF);
  EXPECT_EQ(At(510, 0), 0xFFFF);
  EXPECT_EQ(At(200, 1), 0xFFFF);
  // Only the low 16 bits of the value count; black halves the picture.
  oxDraw::FillRect(0, 10, 640, 11, 0x07E0);
  oxDraw::BlendRect(200, 10, 201, 11, 0x7FFF0000);
  EXPECT_EQ(At(200, 10), 0x03E0);
  EXPECT_EQ(oxDraw::BlendRect(300, 20, 200, 30, 0), 1);  // empty after clamping
  // A clip rectangle larger than the buffer never leads outside it.
  oxDraw::SetClip(-100, -100, 2000, 2000);
  EXPECT_EQ(oxDraw::BlendRect(-50, -50, 5000, 5000, 0), 1);
  EXPECT_EQ(At(0, 0), 0x7BEF);
  EXPECT_EQ(At(639, 479), (kMarker >> 1) & 0x7BEF);
  Back().lost = true;
  EXPECT_EQ(oxDraw::BlendRect(0, 0, 10, 10, 0), 0);
}

// ---------------------------------------------------------------- clip effects

class ClipEffectTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    ox::App().frameSeconds = 0.5f;  // with speed 40: 21 pixels a step
  }
  static oxd::Rect C() { return oxd::Clip().clip; }
  static int StepsUntilIdle(int limit = 1000) {
    int n = 0;
    while (oxDraw::StepClipEffect() && n < limit) ++n;
    return n;
  }
};

bool Same(const oxd::Rect& a, const oxd::Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(ClipEffectTest, OpeningFromTheBottomEdge) {
  ASSERT_EQ(oxDraw::StartClipEffect(0, 1, 40.0f, 0), 1);
  EXPECT_TRUE(Same(C(), {130, 480, 510, 480}));
  EXPECT_EQ(oxDraw::StartClipEffect(0, 2, 40.0f, 0), 0);  // one is running
  for (int i = 0; i < 22; ++i) oxDraw::StepClipEffect();
  EXPECT_EQ(C().top, 480 - 22 * 21);
  EXPECT_EQ(oxd::Clip().counter, 1);
  EXPECT_EQ(oxDraw::StepClipEffect(), 1);
  EXPECT_TRUE(Same(C(), {130, 0, 510, 480}));
  EXPECT_EQ(oxd::Clip().counter, 0);
  EXPECT_EQ(oxd::Clip().opened, 1);
  EXPECT_EQ(oxDraw::StepClipEffect(), 0);
}

TEST_F(ClipEffectTest, ClosingSidewaysEndsInverted) {
  ASSERT_EQ(oxDraw::StartClipEffect(1, 6, 40.0f, 0), 1);
  EXPECT_TRUE(Same(C(), {130, 0, 510, 480}));
  EXPECT_EQ(oxd::Clip().counter, 2);
  EXPECT_EQ(StepsUntilIdle(), 10);  // 380 pixels at 42 a step
  EXPECT_TRUE(Same(C(), {340, 0, 300, 480}));
  EXPECT_EQ(oxd::Clip().counter, -1);
  EXPECT_EQ(oxd::Clip().closed, 1);
  EXPECT_EQ(oxd::Clip().opened, 0);
  oxDraw::Draw(300, 0, Coded(40, 4), 0, 0, 40, 4);
  EXPECT_EQ(Touched(), 0);
  // A new effect starts from the saved rectangle.
  ASSERT_EQ(oxDraw::StartClipEffect(1, 6, 40.0f, 0), 1);
  EXPECT_TRUE(Same(C(), {130, 0, 510, 480}));
  EXPECT_EQ(oxd::Clip().closed, 0);
}

TEST_F(ClipEffectTest, ClosingToTheCentrePoint) {
  ASSERT_EQ(oxDraw::StartClipEffect(1, 7, 40.0f, 0), 1);
  for (int i = 0; i < 10; ++i) oxDraw::StepClipEffect();
  EXPECT_EQ(C().left, 320);  // crossed: set to the centre
  EXPECT_EQ(C().right, 320);
  EXPECT_EQ(oxd::Clip().counter, 2);
  EXPECT_EQ(StepsUntilIdle(), 2);
  EXPECT_TRUE(Same(C(), {320, 240, 320, 240}));
  EXPECT_EQ(oxd::Clip().closed, 1);
}

TEST_F(ClipEffectTest, BandOpensToFullHeightThenWidth) {
  ASSERT_EQ(oxDraw::StartClipEffect(0, 8, 40.0f, 40), 1);
  EXPECT_TRUE(Same(C(), {300, 240, 340, 240}));
  for (int i = 0; i < 12; ++i) oxDraw::StepClipEffect();
  EXPECT_TRUE(Same(C(), {300, 0, 340, 480}));
  EXPECT_EQ(StepsUntilIdle(), 9);
  EXPECT_TRUE(Same(C(), {130, 0, 510, 480}));
  EXPECT_EQ(oxd::Clip().opened, 1);
}

TEST_F(ClipEffectTest, BandClosesToItsWidthThenShuts) {
  ASSERT_EQ(oxDraw::StartClipEffect(1, 8, 40.0f, 40), 1);
  for (int i = 0; i < 9; ++i) oxDraw::StepClipEffect();
  EXPECT_TRUE(Same(C(), {300, 0, 340, 480}));
  EXPECT_EQ(StepsUntilIdle(), 12);
  EXPECT_EQ(C().left, 300);
  EXPECT_LE(C().bottom, C().top);
  EXPECT_EQ(oxd::Clip().counter, -1);
}

TEST_F(ClipEffectTest, RandomStyleAndSceneChangeRestore) {
  ox::SeedRandom(7);
  ASSERT_EQ(oxDraw::StartClipEffect(0, 0, 40.0f, 10), 1);
  EXPECT_GE(oxd::Clip().style, 1);
  EXPECT_LE(oxd::Clip().style, 9);
  oxDraw::StepClipEffect();
  oxd::RestoreClipAtSceneChange();
  EXPECT_TRUE(Same(C(), {130, 0, 510, 480}));
  EXPECT_EQ(oxd::Clip().counter, 0);
  // A closed clip is left closed by the scene change.
  oxDraw::CloseClip();
  oxd::RestoreClipAtSceneChange();
  EXPECT_EQ(C().right, 130);
  EXPECT_EQ(oxd::Clip().counter, -1);
}

TEST_F(ClipEffectTest, EveryStyleFinishesBothWays) {
  for (int style = 1; style <= 10; ++style) {
    oxDraw::SetClip(130, 0, 510, 480);
    ASSERT_EQ(oxDraw::StartClipEffect(0, style, 40.0f, 30), 1);
    StepsUntilIdle();
    EXPECT_EQ(oxd::Clip().opened, 1) << style;
    EXPECT_TRUE(Same(C(), {130, 0, 510, 480})) << style;
    ASSERT_EQ(oxDraw::StartClipEffect(1, style, 40.0f, 30), 1);
    EXPECT_LT(StepsUntilIdle(), 100) << style;
    EXPECT_EQ(oxd::Clip().closed, 1) << style;
    const oxd::Rect c = C();
    EXPECT_TRUE(c.right <= c.left || c.bottom <= c.top) << style;
  }
}

// ---------------------------------------------------------------- distortions

class DistortionTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    oxDraw::SetClip(0, 0, 640, 480);
  }
  // Row-coded sprite: every pixel of row y is 0x0800 + y.
  static int Rows(int w, int h) {
    return Sprite(w, h, [](int, int y) { return uint16_t(0x0800 + y); });
  }
  // The x of the first pixel of screen row y that is not the marker, or -1.
  static int FirstX(int y) {
    for (int x = 0; x < 640; ++x)
      if (At(x, y) != kMarker) return x;
    return -1;
  }
};

TEST_F(DistortionTest, WaveOffsetsFollowTheCosine) {
  int h = Rows(4, 181);
  ox::App().frameSeconds = 0.5f;
  oxDraw::DrawWave(300, 100, 100, 0, 180.0f, h, 0, 0, 4, 181, 0);
  EXPECT_EQ(FirstX(100), 400);        // cos 0
  EXPECT_EQ(FirstX(145), 370);        // cos 45 = 0.707
  EXPECT_EQ(FirstX(190), 300);        // cos 90
  EXPECT_EQ(FirstX(235), 230);        // cos 135
  EXPECT_EQ(FirstX(280), 200);        // cos 180
  EXPECT_EQ(At(200, 280), 0x0800 + 180);
  // The phase moved on by 90 degrees: row 0 now sits at cos 90.
  oxDraw::FillRect(0, 0, 640, 480, kMarker);
  oxDraw::DrawWave(300, 100, 100, 0, 600.0f, h, 0, 0, 4, 1, 0);
  EXPECT_EQ(FirstX(100), 300);
  // 90 + 300 wraps to 30: cos 30 = 0.866.
  oxDraw::FillRect(0, 0, 640, 480, kMarker);
  oxDraw::DrawWave(300, 100, 100, 0, 0.0f, h, 0, 0, 4, 1, 0);
  EXPECT_EQ(FirstX(100), 386);
}

TEST_F(DistortionTest, WaveDivisorAndAlternatingSign) {
  int h = Rows(4, 100);
  oxDraw::DrawWave(300, 0, 100, 45, 0.0f, h, 0, 0, 4, 90, 0);
  EXPECT_EQ(FirstX(44), 400);  // 44 / 45 = 0 degrees
  EXPECT_EQ(FirstX(45), 399);  // 1 degree
  oxDraw::FillRect(0, 0, 640, 480, kMarker);
  oxDraw::DrawWave(300, 0, 10, 0, 0.0f, h, 0, 0, 4, 3, 1);
  EXPECT_EQ(FirstX(0), 310);
  EXPECT_EQ(FirstX(1), 291);  // -trunc(cos 1 * 10)
  EXPECT_EQ(FirstX(2), 309);
  // The sign carries over to the next call.
  oxDraw::FillRect(0, 0, 640, 480, kMarker);
  oxDraw::DrawWave(300, 0, 10, 0, 0.0f, h, 0, 0, 4, 1, 1);
  EXPECT_EQ(FirstX(0), 290);
}

TEST_F(DistortionTest, BandsMakeAVerticalMosaic) {
  int h = Rows(4, 10);
  oxDraw::DrawBands(200, 50, 4, h, 0, 0, 4, 10);
  const int expected[] = {0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8};
  // The last band keeps its full height below the picture.
  for (int line = 0; line < 12; ++line) {
    EXPECT_EQ(At(201, 50 + line), 0x0800 + expected[line]) << line;
  }
  EXPECT_EQ(At(201, 62), kMarker);
}

TEST_F(DistortionTest, ScanlinesDrawEveryStepthRow) {
  int h = Rows(4, 10);
  oxDraw::DrawScanlines(200, 50, 3, h, 0, 0, 4, 10);
  for (int r = 0; r < 10; ++r) {
    EXPECT_EQ(At(200, 50 + r), r % 3 == 0 && r > 0 ? 0x0800 + r : kMarker) << r;
  }
  oxDraw::FillRect(0, 0, 640, 480, kMarker);
  oxDraw::DrawScanlines(200, 50, 0, h, 0, 0, 4, 10);
  EXPECT_EQ(Touched(), 0);
  // Random gaps of 1 to 3 rows, the first counted from the top row.
  ox::SeedRandom(3);
  int h2 = Rows(1, 400);
  oxDraw::DrawScanlines(300, 0, -3, h2, 0, 0, 1, 400);
  int previous = 0;
  std::set<int> gaps;
  for (int r = 1; r < 400; ++r) {
    if (At(300, r) == kMarker) continue;
    EXPECT_EQ(At(300, r), 0x0800 + r);
    gaps.insert(r - previous);
    previous = r;
  }
  EXPECT_GT(previous, 390);
  EXPECT_EQ(gaps, (std::set<int>{1, 2, 3}));
}

TEST_F(DistortionTest, ShakeJittersEachRowWithinTheAmplitude) {
  ox::SeedRandom(11);
  int h = Rows(1, 300);
  oxDraw::DrawShake(300, 0, 5, h, 0, 0, 1, 300);
  std::set<int> offsets;
  for (int r = 0; r < 300; ++r) {
    const int x = FirstX(r);
    ASSERT_NE(x, -1) << r;
    EXPECT_EQ(At(x, r), 0x0800 + r);
    offsets.insert(x - 300);
  }
  EXPECT_EQ(*offsets.begin(), -5);
  EXPECT_EQ(*offsets.rbegin(), 4);
  EXPECT_EQ(offsets.size(), 10u);
  // No amplitude: one plain draw.
  oxDraw::FillRect(0, 0, 640, 480, kMarker);
  oxDraw::DrawShake(300, 0, 0, h, 0, 0, 1, 300);
  for (int r = 0; r < 300; r += 50) EXPECT_EQ(FirstX(r), 300);
}

TEST_F(DistortionTest, TiledCoversTheScreenAndScrolls) {
  int h = Sprite(10, 10, [](int x, int y) { return uint16_t(0x2000 + y * 16 + x); });
  oxDraw::DrawTiled(-30.0f, 0.0f, h, 0, 0, 10, 10);
  EXPECT_EQ(Touched(), 640 * 480);
  EXPECT_EQ(At(25, 37), 0x2000 + 7 * 16 + 5);
  ox::App().frameSeconds = 0.1f;
  oxDraw::DrawTiled(0.0f, 0.0f, h, 0, 0, 10, 10);  // offset 0 still
  oxDraw::DrawTiled(0.0f, 0.0f, h, 0, 0, 10, 10);
  EXPECT_EQ(At(25, 37), 0x2000 + 7 * 16 + 5);
  ox::App().frameSeconds = 0.0f;
  oxd::ResetDistortionState();
  ox::App().frameSeconds = 0.1f;
  oxDraw::DrawTiled(-31.0f, 0.0f, h, 0, 0, 10, 10);  // offset becomes -3
  oxDraw::DrawTiled(0.0f, 0.0f, h, 0, 0, 10, 10);
  EXPECT_EQ(At(25, 37), 0x2000 + 7 * 16 + 8);
}

TEST_F(DistortionTest, WaveScrollShiftsTheSourceRows) {
  int h = Rows(4, 8);
  ox::App().frameSeconds = 0.5f;
  oxDraw::DrawWaveScroll(200, 10, 0, 0, 0.0f, 2.0f, h, 0, 0, 4, 8);
  for (int r = 0; r < 8; ++r) EXPECT_EQ(At(200, 10 + r), 0x0800 + r);
  // The scroll went from 0 to -1, wrapped to 7: row r shows row r + 7 - 8.
  oxDraw::DrawWaveScroll(200, 10, 0, 0, 0.0f, 0.0f, h, 0, 0, 4, 8);
  EXPECT_EQ(At(200, 10), 0x0800 + 7);
  EXPECT_EQ(At(200, 11), 0x0800 + 0);
  EXPECT_EQ(At(200, 17), 0x0800 + 6);
}

TEST_F(DistortionTest, RollDrawsOpaqueDrumRows) {
  // Three rows: y(0) = 2, y(1) = 0, y(2) = 2, so every row 0..2 shows row 2.
  int h = Sprite(2, 3, [](int, int y) { return uint16_t(y == 2 ? 0 : 0x0800 + y); });
  oxDraw::DrawRoll(200, 10, 0, 0.0f, h, 0, 0, 2, 3);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(At(200, 10 + r), 0x0000) << r;
  EXPECT_EQ(At(200, 13), kMarker);
}

TEST_F(DistortionTest, DegenerateSourcesDrawNothing) {
  int h = Rows(4, 4);
  ox::App().frameSeconds = 0.5f;
  oxDraw::DrawRoll(200, 10, 0, 10.0f, h, 0, 0, 4, 1);  // one row
  oxDraw::DrawRoll(200, 10, 1, 10.0f, h, 0, 2, 4, 2);  // none
  oxDraw::DrawBands(200, 10, 0, h, 0, 0, 4, 4);
  oxDraw::DrawBands(200, 10, -2, h, 0, 0, 4, 4);
  oxDraw::DrawTiled(1.0f, 1.0f, h, 2, 0, 2, 4);
  oxDraw::DrawTiled(1.0f, 1.0f, h, 0, 3, 4, 3);
  oxDraw::DrawWaveTile(0, 480, 5, 0, 1.0f, 1.0f, h, 0, 0, 0, 4);
  oxDraw::DrawWaveTile(0, 480, 5, 0, 1.0f, 1.0f, h, 0, 1, 4, 1);
  oxDraw::DrawWaveScroll(200, 10, 5, 0, 1.0f, 1.0f, h, 0, 1, 4, 1);
  EXPECT_EQ(Touched(), 0);
}

TEST_F(DistortionTest, WaveTileFillsTheRowsAcrossTheScreen) {
  int h = Sprite(16, 4, [](int x, int y) { return uint16_t(0x3000 + y * 16 + x); });
  oxDraw::DrawWaveTile(100, 110, 0, 0, 0.0f, 0.0f, h, 0, 0, 16, 4);
  EXPECT_EQ(Touched(), 640 * 10);
  EXPECT_EQ(At(35, 105), 0x3000 + 1 * 16 + 3);  // row 5 mod 4, column 35 mod 16
  // With an amplitude a row at cos 90 moves left by it; one at cos 0 does not.
  oxDraw::FillRect(0, 0, 640, 480, kMarker);
  oxDraw::DrawWaveTile(100, 191, 7, 0, 0.0f, 0.0f, h, 0, 0, 16, 4);
  EXPECT_EQ(At(0, 100), 0x3000 + 0);
  EXPECT_EQ(At(0, 190), 0x3000 + 2 * 16 + 7);
  EXPECT_EQ(At(639, 190), 0x3000 + 2 * 16 + (639 + 7) % 16);
}

}  // namespace
