// Screen set-up, presentation and release, on the headless backend.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "core/wait_slots.h"
#include "draw/draw_state.h"
#include "draw/effect_tables.h"
#include "draw/ox_draw.h"
#include "draw/ox_draw_status.h"
#include "draw/transition.h"
#include "platform/headless.h"
#include "tests/test_support.h"

namespace {

using oxd::Scr;
using oxd::Sprites;

uint16_t& At(const oxd::Surface* s, int x, int y) {
  return s->pixels[size_t(y) * size_t(s->pitch) + size_t(x)];
}
uint16_t ShownPixel(int x, int y) { return At(oxd::PresentedSurface(), x, y); }

// Whether pred(x, y) holds for every pixel position of the back buffer.
template <typename Pred>
bool EveryPixel(Pred pred) {
  for (int y = 0; y < Scr().back->height; ++y) {
    for (int x = 0; x < Scr().back->width; ++x) {
      if (!pred(x, y)) return false;
    }
  }
  return true;
}
// Fills the back buffer with a pattern that differs from pixel to pixel.
void PaintBack(uint16_t seed) {
  oxd::BackSurface();  // taken for writing, as any code writing it directly does
  EveryPixel([&](int x, int y) {
    At(Scr().back, x, y) = uint16_t(seed + x * 7 + y * 131);
    return true;
  });
}
bool ShownEqualsBack() {
  return EveryPixel([](int x, int y) { return ShownPixel(x, y) == At(Scr().back, x, y); });
}
bool AllZero(const oxd::Surface* s) {
  return EveryPixel([&](int x, int y) { return At(s, x, y) == 0; });
}

std::vector<int> Corners(const oxd::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// A 50 x 40 sprite keyed on black, every seventh pixel black (a key pixel)
// and the rest different from each other; 0 when it cannot be made.
int KeyedPatternSprite() {
  const int sprite = oxDraw::CreateObject(50, 40, 1);
  oxd::Surface* s = oxd::SpriteSurface(sprite);
  if (!s) return 0;
  for (int i = 0; i < s->pitch * s->height; ++i) s->pixels[i] = uint16_t(i % 7 ? 0x1000 + i : 0);
  oxDraw::SetObjectKey(sprite, 0);
  return sprite;
}

TEST(ScreenOpen, CreatesInternalSpritesAndStartsServices) {
  oxtest::StartHeadless();
  ox::App().clientX = 100;
  ox::App().clientY = 50;
  ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
  EXPECT_EQ(plat::headless::BoxCount(), 0);

  const char* names[4] = {"内部用１", "内部用２", "内部用３", "内部用４"};
  for (int h = 0; h < 4; ++h) {
    const oxd::SpriteRecord& r = Sprites()[h];
    SCOPED_TRACE(h);
    ASSERT_NE(r.surface, nullptr);
    EXPECT_STREQ(r.name, names[h]);
    EXPECT_TRUE(r.width == 640 && r.height == 480 && r.surface->width == 640 &&
                r.surface->height == 480);
    EXPECT_TRUE(r.surface->hasKey && r.surface->key == 0 && r.keyColor == 0);
    EXPECT_TRUE(r.reloadKind == 2 && r.fromPack == 0);
  }
  for (int h = 4; h < oxd::kSpriteCount; ++h) {
    const oxd::SpriteRecord& r = Sprites()[h];
    ASSERT_TRUE(r.surface == nullptr && r.name[0] == '\0' && r.fromPack == 0 && r.reloadKind == 2 &&
                r.keyColor == 0 && r.width == 0 && r.height == 0)
        << "record " << h;
  }

  const oxd::ScreenState& s = Scr();
  EXPECT_EQ(s.opened, 1);
  EXPECT_EQ(s.stretchCapable, 1);
  EXPECT_EQ(s.acceleratedDevice, 0);
  EXPECT_EQ(Corners(s.presentSource), (std::vector<int>{0, 0, 640, 480}));
  EXPECT_EQ(Corners(oxd::Clip().clip), (std::vector<int>{0, 0, 640, 480}));
  // The screen rectangle follows the window's client origin.
  EXPECT_EQ(Corners(s.screenRect), (std::vector<int>{100, 50, 740, 530}));
  ASSERT_NE(oxd::PresentedSurface(), nullptr);
  EXPECT_TRUE(AllZero(oxd::PresentedSurface()));
  EXPECT_TRUE(AllZero(Scr().back));
  for (int slot = 1; slot <= 11; ++slot) EXPECT_EQ(ox::WaitDeadline(slot), ox::kWaitUnarmed);
  // Full screen (the default) confines the cursor; a window only when asked.
  EXPECT_TRUE(plat::headless::CursorConfined());
  for (int clipMode : {0, 1}) {
    oxtest::StartHeadless();
    ox::App().fullScreen = 0;
    ox::Input().cursorClipMode = clipMode;
    ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
    EXPECT_EQ(plat::headless::CursorConfined(), clipMode == 1);
  }
}

TEST(ScreenOpen, DepthFallsBackToSixteenBitsOrFails) {
  // The emulated display only offers 16 bits per pixel; a window takes the
  // desktop's depth, whatever was asked for.
  struct Case {
    int fullScreen, first, second, third, opened;
  };
  for (const Case& c : {Case{1, 32, 0, 0, 0}, Case{1, 32, 24, 0, 0}, Case{1, 32, 24, 16, 1},
                        Case{1, 32, 16, 0, 1}, Case{0, 32, 0, 0, 1}}) {
    SCOPED_TRACE(testing::Message()
                 << c.fullScreen << ": " << c.first << " " << c.second << " " << c.third);
    oxtest::StartHeadless();
    ox::App().fullScreen = c.fullScreen;
    oxDraw::SetDepth(c.first, c.second, c.third);
    int boxes = plat::headless::BoxCount();
    ASSERT_EQ(oxDraw::Screen(640, 480, 2), c.opened);
    if (c.opened) {
      EXPECT_EQ(Scr().preferredDepth, 16);
      EXPECT_EQ(plat::headless::BoxCount(), boxes);
    } else {
      EXPECT_EQ(plat::headless::BoxCount(), boxes + 1);
      EXPECT_STREQ(plat::headless::LastBox().text, "oxDraw::Screen : 解像度が変更できません");
      EXPECT_STREQ(plat::headless::LastBox().caption, "エラー発生");
    }
  }
  EXPECT_EQ(oxDraw::GetDisplayDepth(), 16);
}

TEST(ScreenOpen, PixelFormatDescribesRgb565) {
  oxtest::OpenScreen();
  const oxd::PixelFormat& f = oxd::Format();
  EXPECT_EQ(
      (std::vector<uint32_t>{f.redMask, f.greenMask, f.blueMask, f.redWidthMask, f.greenWidthMask,
                             f.blueWidthMask, f.halfMask, f.pairHalfMask, f.white}),
      (std::vector<uint32_t>{0xF800, 0x07E0, 0x001F, 0x1F, 0x3F, 0x1F, 0x7BEF, 0x7BEF7BEF,
                             0xFFFF}));
  EXPECT_EQ((std::vector<int>{f.redShift, f.greenShift, f.blueShift, f.redPosition, f.greenPosition,
                              f.bluePosition}),
            (std::vector<int>{11, 5, 0, 11, 6, 0}));
}

TEST(ScreenOpen, BuildsEffectTables) {
  oxtest::StartHeadless();
  ox::SeedRandom(12345);
  ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
  const oxd::EffectTables& t = oxd::Tables();
  ASSERT_EQ(t.built16, 1);

  // Sine times 360, truncated toward zero; it runs on past 360 degrees.
  const int degrees[] = {0, 30, 90, 150, 180, 210, 270, 330, 360, 390, 45, 225, 449};
  const int sines[] = {0, 180, 360, 180, 0, -180, -360, -180, 0, 180, 254, -254, 359};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(t.sine[degrees[i]], sines[i]) << degrees[i];

  // Pixel to 5-bit channels; green's sixth bit is dropped.
  auto rgb = [&](int p) {
    return std::vector<int>{t.pixelToRgb[p][0], t.pixelToRgb[p][1], t.pixelToRgb[p][2]};
  };
  EXPECT_EQ(rgb(0xFFFF), (std::vector<int>{31, 31, 31}));
  EXPECT_EQ(rgb(0xF800), (std::vector<int>{31, 0, 0}));
  EXPECT_EQ(rgb(0x07E0), (std::vector<int>{0, 31, 0}));
  EXPECT_EQ(rgb(0x0020), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(rgb(0x0040), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(rgb(0x001F), (std::vector<int>{0, 0, 31}));
  EXPECT_EQ(rgb((5 << 11) | (12 << 5) | 9), (std::vector<int>{5, 6, 9}));

  // Indexed by channel (red, green, blue), k, a, b; results sit at the
  // channel's bit position.
  auto idx = [](int c, int k, int a, int b) { return c * 32768 + k * 1024 + a * 32 + b; };
  EXPECT_EQ(t.fadeThrough[idx(1, 10, 20, 25)], 14 << 6);  // 10 + 4
  EXPECT_EQ(t.fadeThrough[idx(2, 31, 31, 31)], 31);       // 0 + 31
  EXPECT_EQ(uint16_t(t.fadeThrough[idx(0, 0, 31, 0)]), 0xF800);
  EXPECT_EQ(t.fadeThrough[idx(0, 16, 10, 10)], 0);
  EXPECT_EQ(t.additive[idx(2, 5, 3, 10)], 10);
  EXPECT_EQ(uint16_t(t.additive[idx(0, 0, 20, 20)]), 0xF800);  // saturates at 31
  EXPECT_EQ(t.additive[idx(1, 4, 10, 3)], 9 << 6);
  // Subtractive, by channel, a, b: a - b, never below 0.
  EXPECT_EQ(t.subtractive[1 * 1024 + 7 * 32 + 3], 4 << 6);
  EXPECT_EQ(t.subtractive[1 * 1024 + 3 * 32 + 7], 0);
  EXPECT_EQ(t.subtractive[0 * 1024 + 20 * 32 + 5], 15 << 11);
  EXPECT_EQ((std::vector<int>{t.third[0], t.third[2], t.third[3], t.third[93]}),
            (std::vector<int>{0, 0, 1, 31}));

  // The random table follows the generator seeded before the screen opened.
  ox::SeedRandom(12345);
  for (int i = 0; i < 10000; ++i) ASSERT_EQ(t.random[i], ox::Random() % 3) << i;
}

TEST(ScreenPresent, CopiesClearsAndSkipsAFrameAfterALoss) {
  oxtest::OpenScreen();
  for (int vsync : {1, 0}) {
    SCOPED_TRACE(vsync);
    oxDraw::SetVSync(vsync);
    int presents = plat::headless::PresentCount();
    PaintBack(uint16_t(vsync));
    oxDraw::Present();
    EXPECT_EQ(plat::headless::PresentCount(), presents + 1);
    EXPECT_TRUE(ShownEqualsBack());
    EXPECT_EQ(ShownPixel(639, 479), uint16_t(vsync + 639 * 7 + 479 * 131));

    oxd::MarkAllSurfacesLost();
    oxDraw::Present();
    // Nothing shown this frame; every surface is back, pictures gone.
    EXPECT_EQ(plat::headless::PresentCount(), presents + 1);
    EXPECT_FALSE(Scr().screen->lost);
    EXPECT_FALSE(Scr().back->lost);
    for (int h = 0; h < 4; ++h) EXPECT_FALSE(Sprites()[h].surface->lost);
    EXPECT_TRUE(AllZero(oxd::PresentedSurface()));
    EXPECT_TRUE(AllZero(Scr().back));

    // The next frame is shown again.
    PaintBack(9);
    oxDraw::Present();
    EXPECT_EQ(plat::headless::PresentCount(), presents + 2);
    EXPECT_TRUE(ShownEqualsBack());
  }
  // Clear blanks only the back buffer.
  oxDraw::Clear();
  EXPECT_TRUE(AllZero(Scr().back));
  EXPECT_EQ(ShownPixel(5, 5), uint16_t(9 + 5 * 7 + 5 * 131));
  oxDraw::Present();
  EXPECT_TRUE(AllZero(oxd::PresentedSurface()));
}

// Headless, Present leaves its picture in the back buffer until someone asks
// for it or the back buffer changes. Each way of writing into the back
// buffer after a Present must leave both the picture shown and the back
// buffer exactly as when the copy is made at once.
TEST(ScreenPresent, DeferredCopyShowsWhatWasPresented) {
  oxtest::OpenScreen();
  oxDraw::SetVSync(0);
  const int full = oxDraw::CreateObject(640, 480, 1);
  const int small = oxDraw::CreateObject(40, 30, 1);
  ASSERT_GT(full, 0);
  ASSERT_GT(small, 0);
  for (int h : {full, small}) {
    oxd::Surface* s = oxd::SpriteSurface(h);
    for (int i = 0; i < s->pitch * s->height; ++i) s->pixels[i] = uint16_t(i % 5 ? i * 3 : 0);
    oxDraw::SetObjectKey(h, 0);
  }
  struct Case {
    const char* what;
    void (*write)(int full, int small);
  };
  const Case cases[] = {
      {"nothing", [](int, int) {}},
      {"Clear", [](int, int) { oxDraw::Clear(); }},
      {"ClearRect", [](int, int) { oxDraw::ClearRect(10, 10, 300, 200); }},
      {"FillRect whole", [](int, int) { oxDraw::FillRect(0, 0, 640, 480, 0x1234); }},
      {"DrawOpaque whole", [](int f, int) { oxDraw::DrawOpaque(0, 0, f, 0, 0, 640, 480); }},
      {"Draw keyed whole", [](int f, int) { oxDraw::Draw(0, 0, f, 0, 0, 640, 480); }},
      {"Draw keyed", [](int, int s) { oxDraw::Draw(100, 50, s, 0, 0, 40, 30); }},
      {"DrawStretch", [](int, int s) { oxDraw::DrawStretch(5, 6, s, 0, 0, 40, 30, 90, 70); }},
      {"BlendRect", [](int, int) { oxDraw::BlendRect(0, 0, 320, 240, 0x0841); }},
      {"DrawHalf", [](int, int s) { oxDraw::DrawHalf(200, 100, s, 0, 0, 40, 30); }},
      {"BackSurface", [](int, int) { oxd::BackSurface()->pixels[640 * 3 + 4] = 0xBEEF; }},
      {"Capture", [](int, int s) { oxDraw::Capture(s, 0, 0, 40, 30); }},
      {"Present again", [](int, int s) {
         oxDraw::Draw(7, 8, s, 0, 0, 40, 30);
         oxDraw::Present();
       }},
  };
  auto backPixels = [] {
    return std::vector<uint16_t>(Scr().back->pixels, Scr().back->pixels + 640 * 480);
  };
  auto shownPixels = [] {
    const oxd::Surface* s = oxd::PresentedSurface();
    return std::vector<uint16_t>(s->pixels, s->pixels + 640 * 480);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint16_t> back[2], shown[2];
    for (int deferred : {0, 1}) {
      // The screen surface holds another picture before this one.
      oxd::PresentedSurface();
      PaintBack(9);
      oxDraw::Present();
      oxd::PresentedSurface();
      PaintBack(3);
      const int presents = plat::headless::PresentCount();
      oxDraw::Present();
      EXPECT_EQ(plat::headless::PresentCount(), presents + 1);
      EXPECT_EQ(Scr().presentPending, 1);
      if (!deferred) oxd::PresentedSurface();  // the copy made at once
      c.write(full, small);
      shown[deferred] = shownPixels();
      back[deferred] = backPixels();
    }
    EXPECT_TRUE(shown[0] == shown[1]);
    EXPECT_TRUE(back[0] == back[1]);
  }
  // The picture shown is the one presented, not what was drawn after it.
  oxd::PresentedSurface();
  PaintBack(1);
  oxDraw::Present();
  oxDraw::FillRect(0, 0, 640, 480, 0x5555);
  EXPECT_EQ(ShownPixel(639, 479), uint16_t(1 + 639 * 7 + 479 * 131));
  EXPECT_EQ(At(Scr().back, 639, 479), 0x5555);
  // A loss after a deferred Present: the screen surface still comes back blank.
  oxDraw::Present();
  oxd::MarkAllSurfacesLost();
  oxDraw::Restore();
  EXPECT_TRUE(AllZero(oxd::PresentedSurface()));
}

// Random runs of drawing, clearing and presenting, headless: every Clear
// leaves the whole back buffer black (whatever drew where since the last
// one, on either of the two buffers the screen and the back buffer trade),
// and the picture shown is always the back buffer as it was presented.
TEST(ScreenPresent, ClearBlanksEverythingDrawnAndShownPicturesHold) {
  oxtest::OpenScreen();
  oxDraw::SetVSync(0);
  const int sprite = KeyedPatternSprite();
  ASSERT_GT(sprite, 0);
  auto backPixels = [] {
    return std::vector<uint16_t>(Scr().back->pixels, Scr().back->pixels + 640 * 480);
  };
  std::mt19937 rng(2024);
  auto any = [&](int lo, int hi) { return lo + int(rng() % uint32_t(hi - lo + 1)); };
  std::vector<uint16_t> presented = backPixels();
  oxd::PresentedSurface();
  oxDraw::Present();
  int clears = 0;
  for (int step = 0; step < 3000; ++step) {
    SCOPED_TRACE(step);
    switch (rng() % 9) {
      case 0: oxDraw::Draw(any(-60, 650), any(-50, 490), sprite, 0, 0, 50, 40); break;
      case 1: oxDraw::DrawOpaque(any(0, 590), any(0, 440), sprite, 0, 0, 50, 40); break;
      case 2: {
        const int l = any(0, 639), t = any(0, 479);
        oxDraw::FillRect(l, t, any(l, 640), any(t, 480), int32_t(any(1, 0xFFFF)));
        break;
      }
      case 3: oxDraw::DrawStretch(any(0, 500), any(0, 400), sprite, 0, 0, 50, 40, 120, 70); break;
      case 4: oxd::BackSurface()->pixels[any(0, 640 * 480 - 1)] = 0x7777; break;
      case 5: oxDraw::BlendRect(any(0, 300), any(0, 200), any(300, 640), any(200, 480), 0xFFFF); break;
      case 6:
        oxDraw::Clear();
        ++clears;
        ASSERT_TRUE(AllZero(Scr().back));
        break;
      case 7:
        presented = backPixels();
        oxDraw::Present();
        break;
      case 8: {
        const oxd::Surface* shown = oxd::PresentedSurface();
        ASSERT_TRUE(std::vector<uint16_t>(shown->pixels, shown->pixels + 640 * 480) == presented);
        break;
      }
    }
  }
  EXPECT_GT(clears, 100);
}

// Clear leaves the drawn pixels to be blanked later, and an opaque copy
// over part of them (the scrolling background) blanks only what it does not
// cover. The same random runs with every Clear blanked at once must give
// the same pixels wherever anyone looks: the back buffer, a capture from
// it, and the picture presented.
TEST(ScreenPresent, ClearLeftToBlankMatchesAnEagerClear) {
  auto run = [](bool eager) {
    oxtest::OpenScreen();
    oxDraw::SetVSync(0);
    const int sprite = KeyedPatternSprite();
    const int strip = oxDraw::CreateObject(380, 160, 1);
    const int capture = oxDraw::CreateObject(90, 60, 1);
    EXPECT_GT(sprite, 0);
    EXPECT_GT(strip, 0);
    EXPECT_GT(capture, 0);
    // No key pixel: drawn keyed or not, the strip covers its rectangle.
    oxd::Surface* st = oxd::SpriteSurface(strip);
    for (int i = 0; i < st->pitch * st->height; ++i) st->pixels[i] = uint16_t(0x2000 + i % 4000);
    oxDraw::SetObjectKey(strip, 0);
    std::mt19937 rng(77);
    auto any = [&](int lo, int hi) { return lo + int(rng() % uint32_t(hi - lo + 1)); };
    std::vector<std::vector<uint16_t>> seen;
    auto look = [&](const oxd::Surface* from, int count) {
      seen.emplace_back(from->pixels, from->pixels + count);
    };
    for (int step = 0; step < 4000; ++step) {
      switch (rng() % 12) {
        case 0:
        case 1:
          oxDraw::Clear();
          if (eager) oxd::Scr();
          break;
        case 2:
        case 3: {
          // The playfield column, or anywhere; drawn keyed or opaque.
          const int x = rng() % 2 ? 130 : any(-100, 400), y = any(-170, 490);
          if (rng() % 2) {
            oxDraw::Draw(x, y, strip, 0, 0, 380, 160);
          } else {
            oxDraw::DrawOpaque(x, y, strip, 0, 0, 380, 160);
          }
          break;
        }
        case 4: oxDraw::Draw(any(-60, 650), any(-50, 490), sprite, 0, 0, 50, 40); break;
        case 5: {
          const int l = any(0, 639), t = any(0, 479);
          oxDraw::FillRect(l, t, any(l, 640), any(t, 480), int32_t(any(1, 0xFFFF)));
          break;
        }
        case 6: oxDraw::BlendRect(any(0, 300), any(0, 200), any(300, 640), any(200, 480), 0x0841); break;
        case 7: {
          const int l = any(0, 550), t = any(0, 420);
          oxDraw::Capture(capture, l, t, l + 90, t + 60);
          look(oxd::SpriteSurface(capture), 90 * 60);
          break;
        }
        case 8: oxDraw::Present(); break;
        case 9: look(oxd::PresentedSurface(), 640 * 480); break;
        case 10: oxDraw::DrawStretch(any(0, 500), any(0, 400), sprite, 0, 0, 50, 40, 120, 70); break;
        case 11:
          if (step % 5 == 0) look(Scr().back, 640 * 480);
          break;
      }
    }
    look(Scr().back, 640 * 480);
    return seen;
  };
  const auto eager = run(true);
  const auto lazy = run(false);
  ASSERT_EQ(eager.size(), lazy.size());
  EXPECT_GT(eager.size(), 600u);
  for (size_t i = 0; i < eager.size(); ++i) ASSERT_TRUE(eager[i] == lazy[i]) << "look " << i;
}

TEST(ScreenRelease, FailedOpenReopenAndReleaseLeaveNothingBehind) {
  // A screen that cannot be made is reported; without a screen, presenting
  // and clearing do nothing.
  oxtest::StartHeadless();
  EXPECT_EQ(oxDraw::Screen(0, 480, 2), 0);
  EXPECT_EQ(plat::headless::BoxCount(), 1);
  EXPECT_STREQ(plat::headless::LastBox().text, "oxDraw::Screen : 表画面が生成できません");
  EXPECT_EQ(oxd::PresentedSurface(), nullptr);
  oxDraw::Clear();
  oxDraw::Present();
  EXPECT_EQ(plat::headless::PresentCount(), 0);

  ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
  ASSERT_EQ(oxDraw::CreateObject(8, 8, 1), 4);
  // A second open replaces the screen and empties the sprite table.
  ASSERT_EQ(oxDraw::Screen(320, 240, 2), 1);
  EXPECT_EQ(Sprites()[4].surface, nullptr);
  EXPECT_EQ(Sprites()[4].name[0], '\0');
  EXPECT_EQ(Sprites()[0].width, 320);
  EXPECT_EQ(oxd::PresentedSurface()->width, 320);
  EXPECT_EQ(Scr().back->height, 240);
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
  // Drawing after release touches nothing; releasing twice (quit sequence
  // after an error) is harmless.
  oxDraw::Clear();
  oxDraw::Present();
  oxDraw::Draw(0, 0, 4, 0, 0, 16, 16);
  oxDraw::Restore();
  oxDraw::Release();
  EXPECT_EQ(plat::headless::PresentCount(), 0);
  // A fresh screen starts from handle 4 again.
  ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
  EXPECT_EQ(oxDraw::CreateObject(4, 4, 1), 4);
}

}  // namespace
