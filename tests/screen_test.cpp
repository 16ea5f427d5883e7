// Screen set-up, presentation and release, on the headless backend.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "draw/draw_state.h"
#include "draw/effect_tables.h"
#include "draw/ox_draw.h"
#include "draw/transition.h"
#include "frame/app_state.h"
#include "frame/timers.h"
#include "platform/headless.h"
#include "tests/test_support.h"

namespace {

using oxd::Scr;
using oxd::Sprites;

uint16_t BackPixel(int x, int y) {
  const oxd::Surface* s = Scr().back;
  return s->pixels[size_t(y) * size_t(s->pitch) + size_t(x)];
}

uint16_t ShownPixel(int x, int y) {
  const oxd::Surface* s = oxd::PresentedSurface();
  return s->pixels[size_t(y) * size_t(s->pitch) + size_t(x)];
}

// Fills the back buffer with a pattern that differs from pixel to pixel.
void PaintBack(uint16_t seed) {
  oxd::Surface* s = Scr().back;
  for (int y = 0; y < s->height; ++y) {
    for (int x = 0; x < s->width; ++x) {
      s->pixels[size_t(y) * size_t(s->pitch) + size_t(x)] = uint16_t(seed + x * 7 + y * 131);
    }
  }
}

bool ShownEqualsBack() {
  const oxd::Surface* shown = oxd::PresentedSurface();
  const oxd::Surface* back = Scr().back;
  for (int y = 0; y < back->height; ++y) {
    if (memcmp(shown->pixels + size_t(y) * shown->pitch, back->pixels + size_t(y) * back->pitch,
               size_t(back->width) * 2) != 0) {
      return false;
    }
  }
  return true;
}

bool AllZero(const oxd::Surface* s) {
  for (int y = 0; y < s->height; ++y) {
    for (int x = 0; x < s->width; ++x) {
      if (s->pixels[size_t(y) * size_t(s->pitch) + size_t(x)] != 0) return false;
    }
  }
  return true;
}

TEST(ScreenOpen, CreatesInternalSpritesAndEmptyTable) {
  oxtest::StartHeadless();
  ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
  EXPECT_EQ(plat::headless::BoxCount(), 0);

  const char* names[4] = {"内部用１", "内部用２", "内部用３", "内部用４"};
  for (int h = 0; h < 4; ++h) {
    const oxd::SpriteRecord& r = Sprites()[h];
    SCOPED_TRACE(h);
    ASSERT_NE(r.surface, nullptr);
    EXPECT_STREQ(r.name, names[h]);
    EXPECT_EQ(r.width, 640);
    EXPECT_EQ(r.height, 480);
    EXPECT_EQ(r.surface->width, 640);
    EXPECT_EQ(r.surface->height, 480);
    EXPECT_TRUE(r.surface->hasKey);
    EXPECT_EQ(r.surface->key, 0);
    EXPECT_EQ(r.keyColor, 0);
    EXPECT_EQ(r.reloadKind, 2);
    EXPECT_EQ(r.fromPack, 0);
  }
  for (int h = 4; h < oxd::kSpriteCount; ++h) {
    const oxd::SpriteRecord& r = Sprites()[h];
    ASSERT_TRUE(r.surface == nullptr && r.name[0] == '\0' && r.fromPack == 0 &&
                r.reloadKind == 2 && r.keyColor == 0 && r.width == 0 && r.height == 0)
        << "record " << h;
  }

  const oxd::ScreenState& s = Scr();
  EXPECT_EQ(s.opened, 1);
  EXPECT_EQ(s.stretchCapable, 1);
  EXPECT_EQ(s.acceleratedDevice, 0);
  EXPECT_EQ(s.presentSource.right, 640);
  EXPECT_EQ(s.presentSource.bottom, 480);
  const oxd::Rect& clip = oxd::Clip().clip;
  EXPECT_EQ(clip.left, 0);
  EXPECT_EQ(clip.top, 0);
  EXPECT_EQ(clip.right, 640);
  EXPECT_EQ(clip.bottom, 480);
  ASSERT_NE(oxd::PresentedSurface(), nullptr);
  EXPECT_TRUE(AllZero(oxd::PresentedSurface()));
  EXPECT_TRUE(AllZero(Scr().back));
}

TEST(ScreenOpen, StartsServicesAndTracksClientOrigin) {
  oxtest::StartHeadless();
  ox::App().clientX = 100;
  ox::App().clientY = 50;
  ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
  EXPECT_EQ(Scr().screenRect.left, 100);
  EXPECT_EQ(Scr().screenRect.top, 50);
  EXPECT_EQ(Scr().screenRect.right, 740);
  EXPECT_EQ(Scr().screenRect.bottom, 530);
  for (int slot = 1; slot <= 11; ++slot) EXPECT_EQ(ox::WaitDeadline(slot), ox::kWaitUnarmed);
  // Full screen (the default) confines the cursor.
  EXPECT_TRUE(plat::headless::CursorConfined());

  oxtest::StartHeadless();
  ox::App().fullScreen = 0;
  ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
  EXPECT_FALSE(plat::headless::CursorConfined());

  oxtest::StartHeadless();
  ox::App().fullScreen = 0;
  ox::Input().cursorClipMode = 1;
  ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
  EXPECT_TRUE(plat::headless::CursorConfined());
}

TEST(ScreenOpen, DisplayModeFallsBackToSixteenBits) {
  // The emulated display only offers 16 bits per pixel.
  oxtest::StartHeadless();
  oxDraw::SetDepth(32, 0, 0);
  EXPECT_EQ(oxDraw::Screen(640, 480, 2), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, "oxDraw::Screen : 解像度が変更できません");
  EXPECT_STREQ(plat::headless::LastBox().caption, "エラー発生");

  oxtest::StartHeadless();
  oxDraw::SetDepth(32, 24, 0);
  EXPECT_EQ(oxDraw::Screen(640, 480, 2), 0);

  oxtest::StartHeadless();
  oxDraw::SetDepth(32, 24, 16);
  EXPECT_EQ(oxDraw::Screen(640, 480, 2), 1);
  EXPECT_EQ(Scr().preferredDepth, 16);

  oxtest::StartHeadless();
  oxDraw::SetDepth(32, 16, 0);
  EXPECT_EQ(oxDraw::Screen(640, 480, 2), 1);
  EXPECT_EQ(Scr().preferredDepth, 16);

  // Windowed mode takes the desktop's depth, whatever was asked for.
  oxtest::StartHeadless();
  ox::App().fullScreen = 0;
  oxDraw::SetDepth(32, 0, 0);
  EXPECT_EQ(oxDraw::Screen(640, 480, 2), 1);
  EXPECT_EQ(Scr().preferredDepth, 16);
  EXPECT_EQ(oxDraw::GetDisplayDepth(), 16);
}

TEST(ScreenOpen, RefusesImpossibleSize) {
  oxtest::StartHeadless();
  int boxes = plat::headless::BoxCount();
  EXPECT_EQ(oxDraw::Screen(0, 480, 2), 0);
  EXPECT_EQ(plat::headless::BoxCount(), boxes + 1);
  EXPECT_STREQ(plat::headless::LastBox().text, "oxDraw::Screen : 表画面が生成できません");
  EXPECT_EQ(oxd::PresentedSurface(), nullptr);
  // Presenting and clearing without a screen do nothing.
  oxDraw::Clear();
  oxDraw::Present();
  EXPECT_EQ(plat::headless::PresentCount(), 0);
}

TEST(ScreenOpen, SecondOpenReplacesScreenAndSprites) {
  oxtest::OpenScreen();
  int h = oxDraw::CreateObject(8, 8, 1);
  ASSERT_EQ(h, 4);
  ASSERT_EQ(oxDraw::Screen(320, 240, 2), 1);
  EXPECT_EQ(Sprites()[4].surface, nullptr);
  EXPECT_EQ(Sprites()[4].name[0], '\0');
  EXPECT_EQ(Sprites()[0].width, 320);
  EXPECT_EQ(oxd::PresentedSurface()->width, 320);
  EXPECT_EQ(Scr().back->height, 240);
  EXPECT_EQ(oxDraw::CreateObject(8, 8, 1), 4);
}

TEST(PixelFormat, DescribesRgb565) {
  oxtest::OpenScreen();
  const oxd::PixelFormat& f = oxd::Format();
  EXPECT_EQ(f.redMask, 0xF800u);
  EXPECT_EQ(f.greenMask, 0x07E0u);
  EXPECT_EQ(f.blueMask, 0x001Fu);
  EXPECT_EQ(f.redShift, 11);
  EXPECT_EQ(f.greenShift, 5);
  EXPECT_EQ(f.blueShift, 0);
  EXPECT_EQ(f.redWidthMask, 0x1Fu);
  EXPECT_EQ(f.greenWidthMask, 0x3Fu);
  EXPECT_EQ(f.blueWidthMask, 0x1Fu);
  EXPECT_EQ(f.redPosition, 11);
  EXPECT_EQ(f.greenPosition, 6);
  EXPECT_EQ(f.bluePosition, 0);
  EXPECT_EQ(f.halfMask, 0x7BEFu);
  EXPECT_EQ(f.pairHalfMask, 0x7BEF7BEFu);
  EXPECT_EQ(f.white, 0xFFFFu);
}

TEST(EffectTables, SineHitsExactValuesAndTruncates) {
  oxtest::OpenScreen();
  const int32_t* sine = oxd::Tables().sine;
  EXPECT_EQ(sine[0], 0);
  EXPECT_EQ(sine[30], 180);
  EXPECT_EQ(sine[90], 360);
  EXPECT_EQ(sine[150], 180);
  EXPECT_EQ(sine[180], 0);
  EXPECT_EQ(sine[210], -180);
  EXPECT_EQ(sine[270], -360);
  EXPECT_EQ(sine[330], -180);
  EXPECT_EQ(sine[360], 0);
  EXPECT_EQ(sine[390], 180);
  EXPECT_EQ(sine[45], 254);    // 254.56
  EXPECT_EQ(sine[225], -254);  // toward zero, not down
  EXPECT_EQ(sine[449], 359);   // 359.95
  // Entry i + 90 is the cosine.
  EXPECT_EQ(sine[0 + 90], 360);
  EXPECT_EQ(sine[60 + 90], 180);
}

TEST(EffectTables, SixteenBitTablesSpotValues) {
  oxtest::OpenScreen();
  const oxd::EffectTables& t = oxd::Tables();
  ASSERT_EQ(t.built16, 1);

  // Pixel to 5-bit channels; green's sixth bit is dropped.
  auto rgb = [&](uint16_t p) {
    return std::vector<int>{t.pixelToRgb[p][0], t.pixelToRgb[p][1], t.pixelToRgb[p][2]};
  };
  EXPECT_EQ(rgb(0xFFFF), (std::vector<int>{31, 31, 31}));
  EXPECT_EQ(rgb(0xF800), (std::vector<int>{31, 0, 0}));
  EXPECT_EQ(rgb(0x07E0), (std::vector<int>{0, 31, 0}));
  EXPECT_EQ(rgb(0x0020), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(rgb(0x0040), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(rgb(0x001F), (std::vector<int>{0, 0, 31}));
  EXPECT_EQ(rgb(uint16_t((5 << 11) | (12 << 5) | 9)), (std::vector<int>{5, 6, 9}));

  auto idx3 = [](int c, int k, int a, int b) { return c * 32768 + k * 1024 + a * 32 + b; };
  // Fade-through, green (position 6): k 10, a 20, b 25 -> 10 + 4.
  EXPECT_EQ(t.fadeThrough[idx3(1, 10, 20, 25)], 14 << 6);
  // Blue: k 31, a 31, b 31 -> 0 + 31.
  EXPECT_EQ(t.fadeThrough[idx3(2, 31, 31, 31)], 31);
  // Red at full value reaches the top bit of the pixel.
  EXPECT_EQ(uint16_t(t.fadeThrough[idx3(0, 0, 31, 0)]), 0xF800);
  EXPECT_EQ(t.fadeThrough[idx3(0, 16, 10, 10)], 0);

  // Additive: blue k 5, a 3, b 10 -> 0 + 10; red saturates at 31.
  EXPECT_EQ(t.additive[idx3(2, 5, 3, 10)], 10);
  EXPECT_EQ(uint16_t(t.additive[idx3(0, 0, 20, 20)]), 0xF800);
  EXPECT_EQ(t.additive[idx3(1, 4, 10, 3)], 9 << 6);

  // Subtractive: green a 7, b 3 -> 4; never below 0.
  EXPECT_EQ(t.subtractive[1 * 1024 + 7 * 32 + 3], 4 << 6);
  EXPECT_EQ(t.subtractive[1 * 1024 + 3 * 32 + 7], 0);
  EXPECT_EQ(t.subtractive[0 * 1024 + 20 * 32 + 5], 15 << 11);

  EXPECT_EQ(t.third[0], 0);
  EXPECT_EQ(t.third[2], 0);
  EXPECT_EQ(t.third[3], 1);
  EXPECT_EQ(t.third[93], 31);
}

TEST(EffectTables, RandomTableFollowsTheSeededGenerator) {
  oxtest::StartHeadless();
  ox::SeedRandom(12345);
  ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
  ox::SeedRandom(12345);
  int counts[3] = {};
  for (int i = 0; i < 10000; ++i) {
    int expected = ox::Random() % 3;
    ASSERT_EQ(oxd::Tables().random[i], expected) << i;
    ++counts[expected];
  }
  for (int c : counts) EXPECT_GT(c, 3000);
}

TEST(Present, CopiesBackBufferAndCountsFrames) {
  oxtest::OpenScreen();
  int presents = plat::headless::PresentCount();

  PaintBack(1);
  oxDraw::Present();  // vertical-blank wait on (the initial value)
  EXPECT_EQ(plat::headless::PresentCount(), presents + 1);
  EXPECT_TRUE(ShownEqualsBack());
  EXPECT_EQ(ShownPixel(639, 479), uint16_t(1 + 639 * 7 + 479 * 131));

  oxDraw::SetVSync(0);
  EXPECT_EQ(Scr().vsync, 0);
  PaintBack(500);
  EXPECT_NE(ShownPixel(10, 10), BackPixel(10, 10));
  oxDraw::Present();
  EXPECT_EQ(plat::headless::PresentCount(), presents + 2);
  EXPECT_TRUE(ShownEqualsBack());
}

TEST(Present, ClearBlanksOnlyTheBackBuffer) {
  oxtest::OpenScreen();
  oxDraw::SetVSync(0);
  PaintBack(3);
  oxDraw::Present();
  oxDraw::Clear();
  EXPECT_TRUE(AllZero(Scr().back));
  EXPECT_EQ(ShownPixel(5, 5), uint16_t(3 + 5 * 7 + 5 * 131));
  oxDraw::Present();
  EXPECT_TRUE(AllZero(oxd::PresentedSurface()));
}

TEST(Present, SurfaceLossRestoresAndSkipsOneFrame) {
  for (int vsync : {0, 1}) {
    SCOPED_TRACE(vsync);
    oxtest::OpenScreen();
    oxDraw::SetVSync(vsync);
    PaintBack(7);
    oxDraw::Present();
    int presents = plat::headless::PresentCount();

    oxd::MarkAllSurfacesLost();
    oxDraw::Present();
    // Nothing shown this frame; every surface is back, pictures gone.
    EXPECT_EQ(plat::headless::PresentCount(), presents);
    EXPECT_FALSE(Scr().screen->lost);
    EXPECT_FALSE(Scr().back->lost);
    for (int h = 0; h < 4; ++h) EXPECT_FALSE(Sprites()[h].surface->lost);
    EXPECT_TRUE(AllZero(oxd::PresentedSurface()));
    EXPECT_TRUE(AllZero(Scr().back));

    // The next frame is shown again.
    PaintBack(9);
    oxDraw::Present();
    EXPECT_EQ(plat::headless::PresentCount(), presents + 1);
    EXPECT_TRUE(ShownEqualsBack());
    EXPECT_EQ(ShownPixel(1, 0), uint16_t(9 + 7));
  }
}

TEST(Release, FreesEverything) {
  oxtest::OpenScreen();
  ASSERT_EQ(oxDraw::CreateObject(16, 16, 1), 4);
  ASSERT_EQ(oxDraw::CreateObject(16, 16, 1), 5);
  oxDraw::Release();
  EXPECT_EQ(Scr().opened, 0);
  EXPECT_EQ(Scr().screen, nullptr);
  EXPECT_EQ(Scr().back, nullptr);
  EXPECT_EQ(oxd::PresentedSurface(), nullptr);
  for (int h = 0; h < oxd::kSpriteCount; ++h) {
    ASSERT_TRUE(Sprites()[h].surface == nullptr && Sprites()[h].name[0] == '\0') << h;
  }
  // Drawing after release touches nothing.
  oxDraw::Clear();
  oxDraw::Present();
  oxDraw::Draw(0, 0, 4, 0, 0, 16, 16);
  oxDraw::Restore();
  // Released twice (quit sequence after an error) is harmless.
  oxDraw::Release();
  // A fresh screen starts from handle 4 again.
  ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
  EXPECT_EQ(oxDraw::CreateObject(4, 4, 1), 4);
}

}  // namespace
