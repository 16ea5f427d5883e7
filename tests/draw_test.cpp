// Sprite drawing, fills, the clip rectangle and its effects, and the row-by-row distortions,
// checked pixel by pixel in the back buffer.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "draw/ox_draw_status.h"
#include "tests/test_support.h"

namespace {

constexpr uint16_t kMarker = 0x7777;  // background no sprite uses
constexpr uint16_t kMagenta = 0xF81F;

uint16_t Code(int x, int y) { return uint16_t(0x1000 + y * 64 + x); }

class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    oxd::ResetDistortionState();
    oxDraw::SetClip(130, 0, 510, 480);
    Blank();
  }
  static void Blank() { oxDraw::FillRect(0, 0, 640, 480, kMarker); }
  static uint16_t At(int x, int y) { return oxd::Scr().back->pixels[y * 640 + x]; }
  static uint16_t& Px(int h, int x, int y) {
    oxd::Surface* s = oxd::SpriteSurface(h);
    return s->pixels[y * s->pitch + x];
  }
  // A sprite (keyed on black) whose pixel (x, y) is f(x, y), by default
  // Code(x, y), which is never black.
  static int Sprite(int w, int h, const std::function<uint16_t(int, int)>& f = Code) {
    const int handle = oxDraw::CreateObject(w, h, 1);
    EXPECT_GE(handle, 4);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Px(handle, x, y) = f(x, y);
    return handle;
  }
  static int Touched() {
    int n = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) n += At(x, y) != kMarker;
    return n;
  }
  struct Pt {
    int x, y;
    uint16_t c;
  };
  static void ExpectAt(std::initializer_list<Pt> pts) {
    for (const Pt& p : pts) EXPECT_EQ(At(p.x, p.y), p.c) << p.x << "," << p.y;
  }
  // First x of screen row y that is not background, or -1.
  static int FirstX(int y) {
    for (int x = 0; x < 640; ++x)
      if (At(x, y) != kMarker) return x;
    return -1;
  }
};

// ---------------------------------------------------------------- sprite draws

TEST_F(DrawTest, ClipCutsEveryEdge) {
  const int h = Sprite(32, 16);
  oxDraw::Draw(120, 0, h, 0, 0, 32, 4);  // left: columns 10..31 from x = 130
  EXPECT_EQ(At(129, 0), kMarker);
  for (int k = 0; k < 22; ++k) ASSERT_EQ(At(130 + k, 3), Code(10 + k, 3));
  oxDraw::Draw(479, 10, h, 0, 0, 32, 4);  // right, one past: columns 0..30
  ExpectAt({{509, 10, Code(30, 0)}, {510, 10, kMarker}});
  oxDraw::Draw(478, 20, h, 0, 0, 32, 4);  // ends exactly on 510: whole
  EXPECT_EQ(At(509, 20), Code(31, 0));
  oxDraw::Draw(200, -1, h, 0, 0, 8, 16);  // top: from row 1
  ExpectAt({{200, 0, Code(0, 1)}, {200, 15, kMarker}});
  oxDraw::Draw(300, 470, h, 0, 0, 8, 16);  // bottom: rows 0..9
  EXPECT_EQ(At(300, 479), Code(0, 9));
  EXPECT_EQ(Touched(), 22 * 4 + 31 * 4 + 32 * 4 + 8 * 15 + 8 * 10);
  for (int x : {510, 600, -32, INT_MAX, INT_MIN}) oxDraw::Draw(x, 100, h, 0, 0, 32, 4);
  oxDraw::Draw(200, -16, h, 0, 0, 8, 16);
  oxDraw::Draw(200, 480, h, 0, 0, 8, 16);
  EXPECT_EQ(Touched(), 22 * 4 + 31 * 4 + 32 * 4 + 8 * 15 + 8 * 10);

  Blank();  // wider than the clip rectangle: cut on both sides
  const int wide = Sprite(400, 1, [](int x, int) { return uint16_t(0x2000 + x); });
  oxDraw::Draw(120, 0, wide, 0, 0, 400, 1);
  ExpectAt({{130, 0, 0x2000 + 10}, {509, 0, 0x2000 + 389}});
  EXPECT_EQ(Touched(), 380);
}

TEST_F(DrawTest, KeyAndBadArguments) {
  // Black is the key; 0x0001, the darkest blue, is drawn.
  const int h = Sprite(4, 2, [](int x, int) { return uint16_t(x % 2); });
  oxDraw::Draw(200, 50, h, 0, 0, 4, 1);
  ExpectAt({{200, 50, kMarker}, {201, 50, 0x0001}});
  oxDraw::SetObjectKey(h, 0xFF00FF);  // now black is opaque, magenta not
  Px(h, 1, 0) = kMagenta;
  oxDraw::Draw(200, 60, h, 0, 0, 4, 1);
  ExpectAt({{200, 60, 0x0000}, {201, 60, kMarker}});
  EXPECT_EQ(Touched(), 2 + 3);

  for (int bad : {-1, 1024, 900}) oxDraw::Draw(200, 100, bad, 0, 0, 4, 2);
  oxDraw::Draw(200, 100, h, 0, 0, 5, 2);   // past the sprite's right
  oxDraw::Draw(200, 100, h, -1, 0, 4, 2);  // before its left
  oxDraw::Draw(200, 100, h, 0, 0, 4, 3);   // past its bottom
  oxDraw::Draw(200, 100, h, 3, 0, 1, 2);   // reversed
  oxDraw::Draw(INT_MIN, INT_MIN, h, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(Touched(), 2 + 3);
}

TEST_F(DrawTest, SpritesWrittenAfterTheKeyCheckStillDrawKeyed) {
  // A sprite without key pixels draws by plain copies; every later write
  // that may bring the key in sends it back to the keyed copy.
  int black = 0;  // an all-black sprite, made anew for each case
  struct Case {
    const char* what;
    std::function<void(int, oxd::Surface&)> write;
  };
  const Case cases[] = {
      {"nothing", [](int, oxd::Surface&) {}},
      {"ClearObject", [](int h, oxd::Surface&) { oxDraw::ClearObject(h); }},
      {"Fill", [](int, oxd::Surface& s) { oxd::Fill(s, 1, 1, 5, 3, 0); }},
      {"opaque draw onto it", [&black](int h, oxd::Surface&) {
         oxDraw::SetClip(0, 0, 640, 480);
         oxDraw::DrawOpaqueOn(h, 2, 0, black, 0, 0, 3, 2);
         oxDraw::SetClip(130, 0, 510, 480);
       }},
      {"stretch into it",
       [&black](int, oxd::Surface& s) {
         oxd::BlitStretch(s, 0, 0, 4, 4, *oxd::SpriteSource(black), 0, 0, 2, 2, false);
       }},
      {"capture", [](int h, oxd::Surface&) {
         oxDraw::ClearRect(0, 0, 3, 3);
         oxDraw::Capture(h, 0, 0, 8, 4);
       }},
      {"restore", [](int, oxd::Surface& s) { oxd::RestoreSurface(s); }},
      {"pixel write", [](int h, oxd::Surface&) { Px(h, 7, 3) = 0; }},
      {"key on the top-left pixel", [](int h, oxd::Surface&) { oxDraw::SetObjectKeyTopLeft(h); }},
  };
  for (const Case& c : cases) {
    SetUp();
    black = Sprite(8, 4, [](int, int) { return uint16_t(0); });
    const int h = Sprite(8, 4);
    oxd::Surface& surface = *oxd::SpriteSurface(h);  // kept across the key check
    oxDraw::SetObjectKey(h, 0);                      // black: the picture holds none
    EXPECT_TRUE(oxd::SpriteSource(h)->keyFree) << c.what;
    c.write(h, surface);
    Blank();
    oxDraw::Draw(200, 100, h, 0, 0, 8, 4);
    oxDraw::Draw(126, 200, h, 0, 0, 8, 4);  // clipped on the left
    const oxd::Surface& s = *oxd::SpriteSource(h);
    int keyed = 0;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) {
        const uint16_t v = s.pixels[y * s.pitch + x];
        const uint16_t expected = v == s.key ? kMarker : v;
        keyed += v == s.key;
        EXPECT_EQ(At(200 + x, 100 + y), expected) << c.what << " " << x << "," << y;
        if (126 + x >= 130) {
          EXPECT_EQ(At(126 + x, 200 + y), expected) << c.what << " clipped";
        }
      }
    EXPECT_EQ(keyed > 0, std::string(c.what) != "nothing") << c.what;
    oxDraw::ReleaseObject(h);
    oxDraw::ReleaseObject(black);
  }
}

TEST_F(DrawTest, VariantsAndSurfaceLoss) {
  const int src = Sprite(4, 4, [](int x, int y) { return uint16_t(x == y ? 0 : Code(x, y)); });
  const int dst = Sprite(16, 16, [](int, int) { return uint16_t(0x0F0F); });
  oxDraw::DrawOpaque(200, 0, src, 0, 0, 4, 4);
  EXPECT_EQ(At(200, 0), 0x0000);                // the key is copied too
  oxDraw::DrawOpaque(126, 0, src, 0, 0, 4, 4);  // and clipped
  EXPECT_EQ(Touched(), 16);
  oxDraw::DrawOn(dst, 2, 2, src, 0, 0, 4, 4);  // sprite targets use the clip too
  EXPECT_EQ(Px(dst, 3, 2), 0x0F0F);

  oxDraw::SetClip(0, 0, 640, 480);
  oxDraw::DrawOn(dst, 2, 2, src, 0, 0, 4, 4);
  EXPECT_EQ(Px(dst, 2, 2), 0x0F0F);
  EXPECT_EQ(Px(dst, 3, 2), Code(1, 0));
  oxDraw::DrawOpaqueOn(dst, 12, 12, src, 0, 0, 4, 4);
  EXPECT_EQ(Px(dst, 12, 12), 0x0000);
  oxDraw::DrawOpaqueOn(dst, 13, 0, src, 0, 0, 4, 4);  // leaves the sprite: refused
  EXPECT_EQ(Px(dst, 13, 1), 0x0F0F);
  oxDraw::DrawOpaqueOn(dst, 3, 0, dst, 0, 0, 13, 16);  // onto itself, shifted right
  EXPECT_EQ(Px(dst, 6, 2), Code(1, 0));
  EXPECT_EQ(Px(dst, 15, 12), 0x0000);
  EXPECT_EQ(Touched(), 16);

  // A lost surface restores everything; the failed copy is not repeated.
  oxd::MarkAllSurfacesLost();
  oxDraw::Draw(200, 100, src, 0, 0, 4, 4);
  EXPECT_FALSE(oxd::Scr().back->lost);
  EXPECT_FALSE(oxd::SpriteSurface(src)->lost);
  EXPECT_EQ(At(201, 100), 0);
}

TEST_F(DrawTest, StretchOnBothPaths) {
  // Magenta is this sprite's key; black is only the Buffer sprite's.
  // Top left a colour, bottom right black, the other two magenta.
  const int h = Sprite(
      2, 2, [](int x, int y) { return x + y == 1 ? kMagenta : uint16_t(Code(x, y) * (y == 0)); });
  oxDraw::SetObjectKey(h, 0xFF00FF);
  ASSERT_EQ(oxd::Scr().stretchCapable, 1);
  oxDraw::DrawStretch(10, 20, h, 0, 0, 2, 2, 4, 4);  // not clipped
  EXPECT_EQ(At(11, 21), Code(0, 0));
  EXPECT_EQ(At(12, 20), kMarker);  // magenta skipped
  EXPECT_EQ(At(13, 23), 0x0000);   // black drawn
  oxDraw::DrawStretchOpaque(10, 30, h, 0, 0, 2, 2, 4, 2);
  EXPECT_EQ(At(13, 30), kMagenta);
  oxDraw::DrawStretch(630, 0, h, 0, 0, 2, 2, 20, 2);  // leaves the buffer
  EXPECT_EQ(Touched(), 8 + 8);

  oxd::Scr().stretchCapable = 0;
  Blank();
  oxDraw::DrawStretch(128, 40, h, 0, 0, 2, 2, 6, 2);
  EXPECT_EQ(At(129, 40), kMarker);  // clipped
  EXPECT_EQ(At(130, 40), Code(0, 0));
  EXPECT_EQ(At(131, 40), kMagenta);  // the sprite's key is not used
  EXPECT_EQ(At(131, 41), kMarker);   // black is transparent
  oxDraw::DrawStretchOpaque(200, 50, h, 0, 0, 2, 2, 2, 2);
  EXPECT_EQ(At(201, 51), 0x0000);
  EXPECT_EQ(Touched(), 5 + 4);
  // Too large for the Buffer sprite, or a bad source: nothing, not the
  // buffer's stale picture.
  oxDraw::DrawStretch(130, 0, h, 0, 0, 2, 2, 700, 2);
  oxDraw::DrawStretch(130, 0, h, 0, 0, 3, 2, 4, 2);
  EXPECT_EQ(Touched(), 5 + 4);
}

TEST_F(DrawTest, FillsCaptureAndBlend) {
  oxDraw::FrameRect(10, 20, 15, 24);
  EXPECT_EQ(At(14, 23), 0);
  EXPECT_EQ(Touched(), 14);                    // the outline only
  oxDraw::FillRect(20, 0, 22, 1, 0x12345678);  // unclipped, low 16 bits
  EXPECT_EQ(At(21, 0), 0x5678);
  oxDraw::ClearRectWhite(30, 0, 31, 1);
  EXPECT_EQ(At(30, 0), 0xFFFF);
  oxDraw::ClearRect(-1, 0, 5, 5);  // leaves the buffer: refused
  oxDraw::FillRect(630, 470, 641, 480, 1);
  EXPECT_EQ(Touched(), 14 + 3);

  const int h = Sprite(8, 4, [](int, int) { return uint16_t(0x1111); });
  oxDraw::ClearRect(100, 50, 104, 52);
  oxDraw::Capture(h, 100, 50, 108, 52);  // black copied, no key
  EXPECT_EQ(Px(h, 0, 0), 0x0000);
  EXPECT_EQ(Px(h, 7, 1), kMarker);
  EXPECT_EQ(Px(h, 0, 2), 0x1111);

  oxDraw::ClearWhite();
  EXPECT_EQ(At(639, 479), 0xFFFF);
  EXPECT_EQ(oxDraw::BlendRect(0, 0, 640, 1, 0xF800), 1);
  // (0xFFFF >> 1) & 0x7BEF = 0x7BEF; (0xF800 >> 1) & 0x7BEF = 0x7800.
  ExpectAt({{509, 0, 0xF3EF}, {129, 0, 0xFFFF}, {510, 0, 0xFFFF}, {200, 1, 0xFFFF}});
  // A clip rectangle larger than the buffer never leads outside it.
  oxDraw::SetClip(-100, -100, 2000, 2000);
  EXPECT_EQ(oxDraw::BlendRect(INT_MIN, -5, INT_MAX, 5000, 0x7FFF0000), 1);
  EXPECT_EQ(At(0, 479), 0x7BEF);
  oxd::Scr().back->lost = true;
  EXPECT_EQ(oxDraw::BlendRect(0, 0, 10, 10, 0), 0);
}

// ---------------------------------------------------------------- clip effects

oxd::Rect C() { return oxd::Clip().clip; }
bool Is(const oxd::Rect& c, int l, int t, int r, int b) {
  return c.left == l && c.top == t && c.right == r && c.bottom == b;
}
int StepsUntilIdle() {
  int n = 0;
  while (oxDraw::StepClipEffect() && n < 1000) ++n;
  return n;
}

TEST_F(DrawTest, CloseClipBlocksEveryDraw) {
  const int h = Sprite(32, 8);
  oxDraw::CloseClip();
  for (int x : {120, 130, 300, 500}) {
    oxDraw::Draw(x, 0, h, 0, 0, 32, 8);
    oxDraw::DrawOpaque(x, 0, h, 0, 0, 32, 8);
  }
  EXPECT_EQ(Touched(), 0);
  // The scene change leaves a closed clip closed; a new effect reopens it.
  oxd::RestoreClipAtSceneChange();
  EXPECT_TRUE(Is(C(), 130, 0, 130, 0));
  ox::SeedRandom(7);
  ASSERT_EQ(oxDraw::StartClipEffect(0, 0, 40.0f, 10), 1);
  EXPECT_GE(oxd::Clip().style, 1);
  EXPECT_LE(oxd::Clip().style, 9);
  EXPECT_EQ(oxDraw::StartClipEffect(0, 1, 40.0f, 10), 0);  // one is running
  oxDraw::StepClipEffect();
  oxd::RestoreClipAtSceneChange();
  EXPECT_TRUE(Is(C(), 130, 0, 510, 480));
  EXPECT_EQ(oxd::Clip().counter, 0);
}

TEST_F(DrawTest, ClipEffectSteps) {
  ox::App().frameSeconds = 0.5f;  // with speed 40: 21 pixels a step
  ASSERT_EQ(oxDraw::StartClipEffect(0, 1, 40.0f, 0), 1);
  EXPECT_TRUE(Is(C(), 130, 480, 510, 480));
  EXPECT_EQ(StepsUntilIdle(), 23);  // 480 / 21 rounded up
  EXPECT_TRUE(Is(C(), 130, 0, 510, 480));
  EXPECT_EQ(oxd::Clip().opened, 1);

  ASSERT_EQ(oxDraw::StartClipEffect(1, 6, 40.0f, 0), 1);
  EXPECT_EQ(oxd::Clip().counter, 2);
  EXPECT_EQ(StepsUntilIdle(), 10);  // 380 at 42 a step, left inverted
  EXPECT_TRUE(Is(C(), 340, 0, 300, 480));
  EXPECT_EQ(oxd::Clip().counter, -1);
  EXPECT_EQ(oxd::Clip().closed, 1);

  ASSERT_EQ(oxDraw::StartClipEffect(1, 7, 40.0f, 0), 1);  // from the saved rectangle
  EXPECT_EQ(StepsUntilIdle(), 12);                        // crossed pairs snap to the centre
  EXPECT_TRUE(Is(C(), 320, 240, 320, 240));

  ASSERT_EQ(oxDraw::StartClipEffect(0, 8, 40.0f, 40), 1);
  EXPECT_TRUE(Is(C(), 300, 240, 340, 240));
  for (int i = 0; i < 12; ++i) oxDraw::StepClipEffect();  // full height first
  EXPECT_TRUE(Is(C(), 300, 0, 340, 480));
  EXPECT_EQ(StepsUntilIdle(), 9);
  EXPECT_TRUE(Is(C(), 130, 0, 510, 480));

  for (int style = 1; style <= 10; ++style) {
    ASSERT_EQ(oxDraw::StartClipEffect(0, style, 40.0f, 30), 1);
    EXPECT_LT(StepsUntilIdle(), 100);
    EXPECT_TRUE(Is(C(), 130, 0, 510, 480)) << style;
    ASSERT_EQ(oxDraw::StartClipEffect(1, style, 40.0f, 30), 1);
    EXPECT_LT(StepsUntilIdle(), 100);
    EXPECT_TRUE(C().right <= C().left || C().bottom <= C().top) << style;
  }
}

// ---------------------------------------------------------------- distortions

// Every pixel of row y is 0x0800 + y.
int Rows(int w, int h) {
  const int handle = oxDraw::CreateObject(w, h, 1);
  oxd::Surface* s = oxd::SpriteSurface(handle);
  for (int i = 0; i < w * h; ++i) s->pixels[i] = uint16_t(0x0800 + i / w);
  return handle;
}

class DrawDistortionTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    oxDraw::SetClip(0, 0, 640, 480);
  }
};

TEST_F(DrawDistortionTest, WavePhaseDivisorAndSign) {
  const int h = Rows(4, 181);
  ox::App().frameSeconds = 0.5f;
  oxDraw::DrawWave(300, 100, 100, 0, 180.0f, h, 0, 0, 4, 181, 0);
  const int cosines[][2] = {{0, 100}, {45, 70}, {90, 0}, {135, -70}, {180, -100}};
  for (auto [row, offset] : cosines) EXPECT_EQ(FirstX(100 + row), 300 + offset) << row;
  EXPECT_EQ(At(200, 280), 0x0800 + 180);
  Blank();  // the phase is now 90; 90 + 300 then wraps to 30
  oxDraw::DrawWave(300, 100, 100, 0, 600.0f, h, 0, 0, 4, 1, 0);
  oxDraw::DrawWave(300, 101, 100, 0, 0.0f, h, 0, 0, 4, 1, 0);
  EXPECT_EQ(FirstX(100), 300);
  EXPECT_EQ(FirstX(101), 386);

  oxd::ResetDistortionState();
  Blank();
  oxDraw::DrawWave(300, 0, 100, 45, 0.0f, h, 0, 44, 4, 46, 0);
  EXPECT_EQ(FirstX(0), 400);  // 44 / 45: 0 degrees
  EXPECT_EQ(FirstX(1), 399);  // 45 / 45: 1 degree
  Blank();                    // alternating sign, carried over to the next call
  oxDraw::DrawWave(300, 0, 10, 0, 0.0f, h, 0, 0, 4, 3, 1);
  oxDraw::DrawWave(300, 3, 10, 0, 0.0f, h, 0, 0, 4, 1, 1);
  EXPECT_EQ(FirstX(0), 310);
  EXPECT_EQ(FirstX(1), 291);
  EXPECT_EQ(FirstX(2), 309);
  EXPECT_EQ(FirstX(3), 290);
}

TEST_F(DrawDistortionTest, BandsScanlinesAndShake) {
  const int h = Rows(4, 10);
  oxDraw::DrawBands(200, 50, 4, h, 0, 0, 4, 10);
  // A vertical mosaic; the last band keeps its full height.
  const int bands[] = {0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8};
  for (int line = 0; line < 12; ++line) EXPECT_EQ(At(201, 50 + line), 0x0800 + bands[line]);
  EXPECT_EQ(At(201, 62), kMarker);

  oxDraw::DrawScanlines(300, 50, 3, h, 0, 0, 4, 10);
  for (int r = 0; r < 10; ++r) EXPECT_EQ(At(300, 50 + r), r % 3 || !r ? kMarker : 0x0800 + r);
  ox::SeedRandom(3);
  const int tall = Rows(1, 400);
  oxDraw::DrawScanlines(400, 0, -3, tall, 0, 0, 1, 400);
  std::set<int> gaps;
  for (int r = 1, previous = 0; r < 400; ++r) {
    if (At(400, r) == kMarker) continue;
    gaps.insert(r - previous);
    previous = r;
  }
  EXPECT_EQ(gaps, (std::set<int>{1, 2, 3}));

  Blank();
  oxDraw::DrawShake(300, 0, 5, tall, 0, 0, 1, 400);
  std::set<int> offsets;
  for (int r = 0; r < 400; ++r) {
    const int x = FirstX(r);
    ASSERT_GE(x, 0);
    EXPECT_EQ(At(x, r), 0x0800 + r);
    offsets.insert(x - 300);
  }
  EXPECT_EQ(offsets.size(), 10u);  // -5 to 4
  EXPECT_EQ(*offsets.begin(), -5);
}

TEST_F(DrawDistortionTest, TilesAndScrolls) {
  const int h = Sprite(16, 4, [](int x, int y) { return uint16_t(0x3000 + y * 16 + x); });
  ox::App().frameSeconds = 0.1f;
  oxDraw::DrawTiled(-31.0f, 0.0f, h, 0, 0, 16, 4);
  EXPECT_EQ(Touched(), 640 * 480);
  EXPECT_EQ(At(35, 37), 0x3000 + 1 * 16 + 3);
  oxDraw::DrawTiled(0.0f, 0.0f, h, 0, 0, 16, 4);  // offset -3.1
  EXPECT_EQ(At(35, 37), 0x3000 + 1 * 16 + 6);

  Blank();  // rows 100..190; row 190 sits at cos 90, moved left by 7
  oxDraw::DrawWaveTile(100, 191, 7, 0, 0.0f, 0.0f, h, 0, 0, 16, 4);
  EXPECT_EQ(Touched(), 640 * 91);
  ExpectAt({{35, 100, 0x3000 + 3}, {0, 190, 0x3000 + 2 * 16 + 7}});

  Blank();
  ox::App().frameSeconds = 0.5f;
  oxDraw::DrawWaveScroll(200, 10, 0, 0, 0.0f, 2.0f, h, 0, 0, 16, 4);
  oxDraw::DrawWaveScroll(200, 20, 0, 0, 0.0f, 0.0f, h, 0, 0, 16, 4);
  EXPECT_EQ(At(200, 10), 0x3000);
  EXPECT_EQ(At(200, 20), 0x3000 + 3 * 16);  // scroll -1 wrapped to 3
  EXPECT_EQ(At(200, 21), 0x3000);
}

TEST_F(DrawDistortionTest, RollAndDegenerateSources) {
  // Three rows: y(0) = 2, y(1) = 0, y(2) = 2, so rows 0..2 all show row 2.
  const int h = Sprite(2, 3, [](int, int y) { return uint16_t(y == 2 ? 0 : 0x0800 + y); });
  oxDraw::DrawRoll(200, 10, 0, 0.0f, h, 0, 0, 2, 3);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(At(200, 10 + r), 0x0000);  // opaque
  EXPECT_EQ(Touched(), 6);
  // Empty sources, one-row drums and bands without height draw nothing.
  ox::App().frameSeconds = 0.5f;
  oxDraw::DrawRoll(200, 10, 0, 10.0f, h, 0, 0, 2, 1);
  oxDraw::DrawRoll(200, 10, 1, 10.0f, h, 0, 2, 2, 2);
  oxDraw::DrawBands(200, 10, 0, h, 0, 0, 2, 3);
  oxDraw::DrawBands(200, 10, -2, h, 0, 0, 2, 3);
  oxDraw::DrawTiled(1.0f, 1.0f, h, 1, 0, 1, 3);
  oxDraw::DrawTiled(1.0f, 1.0f, h, 0, 2, 2, 2);
  oxDraw::DrawWaveTile(0, 480, 5, 0, 1.0f, 1.0f, h, 0, 0, 0, 3);
  oxDraw::DrawWaveTile(0, 480, 5, 0, 1.0f, 1.0f, h, 0, 1, 2, 1);
  oxDraw::DrawWaveScroll(200, 10, 5, 0, 1.0f, 1.0f, h, 0, 1, 2, 1);
  EXPECT_EQ(Touched(), 6);
}

}  // namespace
