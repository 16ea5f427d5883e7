// The HUD counters and GAME OVER banner read back from the back buffer, the
// game-over check on wait slot 1, the scenery layers, clouds and the
// game-over burst.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/app_state.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "draw/ox_surface.h"
#include "frame/ox_system.h"
#include "game/hud.h"
#include "game/scenery.h"
#include "game/world.h"
#include "platform/headless.h"
#include "tests/test_support.h"

namespace {

using game::W;

constexpr uint16_t kMarker = 0x7777, kLettering = 0x2222, kBack2 = 0x3333;
uint16_t DigitColour(int d) { return static_cast<uint16_t>(0x1000 + d); }

struct GameHud : ::testing::Test {
  void SetUp() override {
    oxtest::OpenScreen();
    game::ClearWorld();
    oxDraw::SetClip(130, 0, 510, 480);
    ox::App().frameSeconds = 1.0f / 60;
    ox::App().scene = ox::App().previousScene = 2;
    // A MYMY sheet whose digit cells and lettering each have their own colour.
    W().assets.mymy = oxDraw::CreateObject(200, 100, 1);
    oxd::Surface* s = oxd::SpriteSurface(W().assets.mymy);
    ASSERT_NE(s, nullptr);
    for (int d = 0; d < 10; ++d) Fill(s, 8 + 7 * d, 15 + 7 * d, DigitColour(d));
    Fill(s, 81, 136, kLettering);
    Blank();
  }
  static void Fill(oxd::Surface* s, int left, int right, uint16_t colour) {
    for (int y = 70; y < 80; ++y)
      for (int x = left; x < right; ++x) s->pixels[y * s->pitch + x] = colour;
  }
  static void Blank() { oxDraw::FillRect(0, 0, 640, 480, kMarker); }
  static uint16_t At(int x, int y) { return oxd::Scr().back->pixels[y * 640 + x]; }

  // The digits drawn from x on the 10-pixel pitch ('.' where nothing is drawn).
  static std::string Digits(int x, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
      const int left = x + 10 * i;
      char c = '.';
      for (int d = 0; d < 10; ++d)
        if (At(left, 6) == DigitColour(d) && At(left + 6, 15) == DigitColour(d)) c = char('0' + d);
      // Cells are 7 x 10: nothing right of or below them.
      if (At(left + 7, 6) != kMarker || At(left, 16) != kMarker || At(left, 5) != kMarker) c = '!';
      text += c;
    }
    return text;
  }
};

TEST_F(GameHud, CountersAreDrawnAsDigitCells) {
  // Score at 140, high score at 300, energy at 440; a negative energy is not shown.
  struct Case {
    int score, energy;
    const char *scoreText, *energyText;
  };
  for (const Case& c :
       {Case{0, 999, "000000000", "999"}, Case{123456789, -16, "123456789", "..."}}) {
    Blank();
    W().score = c.score, W().highScore = 5000, W().energy = c.energy;
    game::HudDraw();
    EXPECT_EQ(Digits(140, 9), c.scoreText);
    EXPECT_EQ(Digits(300, 9), "000005000");
    EXPECT_EQ(Digits(440, 3), c.energyText);
  }
}

TEST_F(GameHud, BannerStartsThirtyHighAndGrows) {
  float height = 30;
  game::BannerDraw(height);
  EXPECT_TRUE(At(170, 225) == kLettering && At(469, 254) == kLettering && height == 30.5f);
  EXPECT_TRUE(At(169, 225) == kMarker && At(470, 254) == kMarker && At(170, 224) == kMarker &&
              At(170, 255) == kMarker);
}

TEST_F(GameHud, TimeCountsOnlyOnceTheWaitSlotRunsAndTimeOutReturnsAfterThreeSeconds) {
  W().timeCounter = 800, W().energy = 100;
  for (int i = 0; i < 100; ++i) plat::headless::AdvanceClock(1000), game::GameOverCheck();
  EXPECT_EQ(W().timeCounter, 800);  // the slot was never armed
  oxSystem::SetWait(1, 0);
  // Clock advance before each check, and the time, game over and scene after it.
  struct Step {
    uint32_t advance;
    int timeBefore, time, gameOver, scene;
  };
  const Step steps[] = {{0, 800, 799, 0, 2}, {999, 799, 799, 0, 2}, {1, 799, 798, 0, 2},
                        {1000, 1, 0, 1, 2},  {2999, 0, 0, 1, 2},    {1, 0, 0, 1, 1}};
  for (const Step& st : steps) {
    W().timeCounter = st.timeBefore;
    plat::headless::AdvanceClock(st.advance);
    game::GameOverCheck();
    EXPECT_TRUE(W().timeCounter == st.time && W().gameOver == st.gameOver &&
                ox::App().scene == st.scene)
        << st.advance << ": " << W().timeCounter << " " << W().gameOver << " " << ox::App().scene;
  }
  EXPECT_EQ(ox::App().previousScene, 0);
}

TEST_F(GameHud, EnergyOutEndsTheGameAndReturnsAfterNineSeconds) {
  W().timeCounter = 500, W().energy = 1;
  game::GameOverCheck();
  EXPECT_EQ(W().gameOver, 0);
  W().energy = 0;
  ox::App().frameSeconds = 0.25f;
  game::GameOverCheck();
  EXPECT_TRUE(W().gameOver == 1 && W().gameOverTimer == 0.25f);
  plat::headless::AdvanceClock(8999);
  game::GameOverCheck();  // no more ticks once the game is over
  EXPECT_TRUE(ox::App().scene == 2 && W().timeCounter == 500 && W().gameOverTimer == 0.25f);
  plat::headless::AdvanceClock(1);
  game::GameOverCheck();
  EXPECT_TRUE(ox::App().scene == 1 && ox::App().previousScene == 0);
  // The timer adds up over games; at 30 seconds it sends the game to the title at once and starts
  // again.
  ox::App().scene = 2, W().gameOver = 0, W().gameOverTimer = 29.9f;
  game::GameOverCheck();
  EXPECT_TRUE(ox::App().scene == 1 && W().gameOverTimer == 0);
}

// ------------------------------------------------------------ scenery

class GameScenery : public GameHud {};

TEST_F(GameScenery, LayerStripsSlideDownAndJumpBack) {
  W().assets.back[1] = oxDraw::CreateObject(380, 480, 1);
  oxd::Surface* s = oxd::SpriteSurface(W().assets.back[1]);
  for (int i = 0; i < 380 * 480; ++i) s->pixels[i] = kBack2;

  game::ResetLayers();
  game::Strip* strips = W().layers[1];
  EXPECT_EQ(strips[5].y, -2400);
  game::LayerDraw(1);  // parked at x = -500: nothing shows on the first frame
  EXPECT_TRUE(At(200, 10) == kMarker && strips[0].x == 130);
  game::LayerDraw(1);
  EXPECT_EQ(At(200, 10), kBack2);

  // At 220 px/s the seventh strip reaches the top after about 13.1 s.
  int frames = 2;
  for (; strips[0].y > 0 && frames < 2000; ++frames) game::LayerDraw(1);
  EXPECT_TRUE(frames >= 785 && frames <= 787) << frames;
  for (int j = 0; j < game::kStrips; ++j)
    EXPECT_TRUE(strips[j].y == -480.0f * j && strips[j].x == 130) << j;
}

TEST_F(GameScenery, CloudLeavingTheScreenIsRelaunchedInTheSameFrame) {
  game::ResetClouds();
  game::Cloud& c = W().clouds[0];
  game::CloudMove(1);  // a parked record stays parked
  EXPECT_TRUE(c.active == 0 && c.y == 500);
  game::CloudLaunch(1);
  EXPECT_TRUE(c.active == 1 && c.x == 100 && c.y == -200 && c.speed >= 350 && c.speed < 500)
      << c.speed;
  c.y = 479;
  game::CloudLaunch(1);  // still flying: not relaunched
  EXPECT_EQ(c.y, 479);
  game::CloudMove(1);
  EXPECT_TRUE(c.active == 0 && c.x == -500);
  game::CloudDraw(1);
  game::CloudLaunch(1);
  EXPECT_TRUE(c.active == 1 && c.y == -200);

  // Record 6 (BKM5, 80 high) starts just above the top and is parked only once wholly above it.
  game::CloudLaunch(6);
  game::Cloud& small = W().clouds[5];
  EXPECT_EQ(small.y, -80);
  ox::App().frameSeconds = 0;
  game::CloudMove(6);
  EXPECT_EQ(small.active, 1);
  small.y = -80.5f;
  game::CloudMove(6);
  EXPECT_EQ(small.active, 0);
}

TEST_F(GameScenery, BurstLaunchesFiveRingsAndVanishesOnTheNinetyFirstFrame) {
  W().player.x = 290, W().player.y = 210, W().energy = 100;
  game::ResetBurst();
  auto active = [](int first, int last) {
    return int(std::count_if(&W().burst[first], &W().burst[last] + 1,
                             [](const game::Flame& f) { return f.active == 1; }));
  };
  auto frame = [] { game::BurstAnimate(), game::BurstLaunch(), game::BurstMove(); };

  frame();
  EXPECT_TRUE(active(0, 15) == 16 && active(16, 79) == 0);
  // Record 0 heads for (20, 20).
  const game::Flame& f0 = W().burst[0];
  EXPECT_LT(f0.x, 290);
  EXPECT_NEAR((f0.y - 210) / (f0.x - 290), 190.0 / 270.0, 1e-3);
  EXPECT_NEAR(std::remainder(W().burst[4].angle - f0.angle, 2 * M_PI), M_PI / 2, 1e-4);

  for (int n = 2; n <= 9; ++n) frame();
  EXPECT_EQ(active(16, 31), 0);
  frame();  // 10
  EXPECT_EQ(active(16, 31), 16);
  for (int n = 11; n <= 39; ++n) frame();
  EXPECT_TRUE(W().energy == 100 && active(64, 79) == 0);
  frame();  // 40: the fifth ring costs 16 energy
  EXPECT_TRUE(active(64, 79) == 16 && W().energy == 84);

  for (int n = 41; n <= 90; ++n) frame();
  EXPECT_GT(active(0, 79), 0);
  frame();  // 91
  EXPECT_EQ(active(0, 79), 0);
  for (const game::Flame& f : W().burst) EXPECT_TRUE(f.x == -500 && f.life == 160);
  for (int n = 0; n < 300; ++n) frame();  // never again until the next reset
  EXPECT_TRUE(active(0, 79) == 0 && W().energy == 84);
}

}  // namespace
