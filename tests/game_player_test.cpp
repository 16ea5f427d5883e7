// The player's ship driven frame by frame through scripted keys and joystick: steering,
// banking, the playfield clamp, volleys, special shots, and the explosion that costs energy.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/app_state.h"
#include "frame/window_proc.h"
#include "game/hud.h"
#include "game/player.h"
#include "game/world.h"
#include "input/ox_input.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/input_script.h"
#include "platform/joystick.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

using game::W;

constexpr float kDt = 1.0f / 60;
constexpr uint32_t kCentre = 32767;

// Every enemy record and boss out of every shot's reach.
void ParkTargets() {
  for (auto& group : W().enemies)
    for (game::EnemyRecord& e : group) e.x = game::kParkX, e.y = game::kParkY;
  for (game::BossRecord& b : W().bosses) b.x = game::kParkX, b.y = game::kParkY;
}

struct GamePlayer : ::testing::Test {
  void SetUp() override {
    oxtest::OpenScreen();
    game::ClearWorld();
    ParkTargets();
    game::ResetShots();
    W().player.x = 290, W().player.y = 210, W().player.bankFrame = 3, W().player.alive = 1;
    W().energy = 999;
    ox::App().frameSeconds = kDt;
  }

  static void Script(const char* text) {
    char error[128] = "";
    ASSERT_TRUE(plat::detail::Script().Parse(text, strlen(text), error, sizeof error)) << error;
  }

  // One stage frame after presentation: controls, then the move with the collision pass.
  static void Frame() {
    plat::Message m;
    while (plat::PeekMessage(m)) ox::WindowProc(m);
    plat::BeginFramePass();
    game::KeyboardControl();
    game::JoystickControl();
    game::PlayerMove(false);
    ox::App().frameSeconds = kDt;
    plat::EndFramePass();
  }
  static void Frames(int n) {
    while (n-- > 0) Frame();
  }

  // Records of a stream that a volley has ever filled.
  static int Launched(int stream) {
    return int(std::count_if(std::begin(W().shots[stream]), std::end(W().shots[stream]),
                             [](const game::Shot& s) { return s.speed == 400; }));
  }
};

TEST_F(GamePlayer, KeysActFromTheirSecondFrameRightWinsAndTheShipBanksBack) {
  // Pressed for one frame only: no motion, no volley, no special step.
  Script(
      "1 LEFT down\n1 X down\n1 Z down\n2 LEFT up\n2 X up\n2 Z up\n"
      "4 LEFT down\n4 RIGHT down\n4 UP down\n4 DOWN down\n");
  Frames(3);
  EXPECT_TRUE(W().player.x == 290 && W().player.specialCounter == 0 && Launched(0) == 0);

  Frames(2);  // frame 4 pressed, frame 5 held: Right and Down win
  EXPECT_TRUE(W().player.x == 290 + 140 * kDt && W().player.y == 210 + 140 * kDt &&
              W().player.bankFrame == 2);

  // Right alone from frame 6 banks to the limit; released on frame 10 it swings back to level.
  Script("6 LEFT up\n6 UP up\n6 DOWN up\n10 RIGHT up\n");
  int frame = 6;
  for (int bank : {1, 0, 0, 0, 0, 1, 2, 3, 3, 3}) {
    Frame();
    EXPECT_EQ(W().player.bankFrame, bank) << "frame " << frame++;
  }
}

TEST_F(GamePlayer, ShipStaysInsideThePlayfield) {
  Script("1 LEFT down\n1 UP down\n400 LEFT up\n400 UP up\n401 RIGHT down\n401 DOWN down\n");
  Frames(399);
  EXPECT_TRUE(W().player.x == 130 && W().player.y == 100);
  Frames(400);
  EXPECT_TRUE(W().player.x == 450 && W().player.y == 420);
  W().player.vx = 100000;  // the ending's clamp is wider sideways
  game::PlayerMove(true);
  EXPECT_EQ(W().player.x, 480);
}

TEST_F(GamePlayer, HoldingFireForASecondLaunchesSixtyVolleys) {
  Frame();                               // nothing in flight: the slot index goes back to 0
  Script("1 X down\n1 CONTROL down\n");  // both fire keys: still one volley a frame
  Frames(61);                            // pressed on the first, held for 60
  for (int s = 0; s < game::kShotStreams; ++s) EXPECT_EQ(Launched(s), 60) << s;
  EXPECT_TRUE(W().shots[0][1].speed == 400 &&
              W().shots[0][61].speed == 0);  // the first volley went into slot 1
  // Retired shots left through the 10 pixels above the screen.
  int retired = 0;
  for (const game::Shot& s : W().shots[0]) {
    if (s.speed != 400 || s.active) continue;
    ++retired;
    EXPECT_TRUE(s.y < -10 && s.y >= -10 - 400 * kDt) << s.y;
  }
  EXPECT_GT(retired, 20);
  EXPECT_FLOAT_EQ(W().shots[3][60].x, 290 + 15 - 100 * kDt);  // stream 4 drifts left
}

TEST_F(GamePlayer, SpecialShotsLaunchEveryFourthStepAndSkipAFlyingRecord) {
  game::Special& busy = W().specials[game::kLeft][2];  // still flying
  busy = {140, 300, 4, 20, 1};
  Script("1 Z down\n");
  Frames(4);  // held on frames 2..4
  EXPECT_EQ(W().specials[game::kCentre][1].active, 0);
  Frame();  // the 4th held frame launches record 1 of each array
  for (int a = 0; a < game::kSpecialArrays; ++a) EXPECT_EQ(W().specials[a][1].active, 1) << a;
  EXPECT_TRUE(W().specials[game::kLeft][1].x == 290 - 4 &&
              W().specials[game::kLeft][1].y == 210 + 10 - 20);  // launched, moved once
  Frames(4);  // record 2: launched in the centre and right arrays only; record 0 never
  EXPECT_TRUE(W().specials[game::kRight][2].active == 1 && busy.y == 300 - 9 * 20 &&
              W().specials[game::kCentre][0].active == 0);
  Frames(40);
  EXPECT_EQ(W().player.specialCounter, 0);  // wrapped after record 12

  // Z and Shift together step twice a frame; the counter stays on release.
  Script("50 SHIFT down\n52 Z up\n52 SHIFT up\n");
  Frames(2);
  EXPECT_EQ(W().player.specialCounter, 3);
  Frames(3);
  EXPECT_EQ(W().player.specialCounter, 3);
}

TEST_F(GamePlayer, JoystickSteersAndFiresFromItsFirstFrame) {
  plat::headless::SetJoystick(0, true, kCentre, kCentre, 0);
  oxInput::InitJoystick();
  plat::headless::SetJoystick(0, true, 0, 0, 0x3);  // up-left, buttons 1 and 2
  Frame();
  EXPECT_TRUE(W().player.x == 290 - 140 * kDt && W().player.y == 210 - 140 * kDt &&
              W().player.bankFrame == 4);
  EXPECT_TRUE(W().shots[0][1].speed == 400 &&
              W().player.specialCounter == 1);  // slot 1: where the keyboard advanced to
}

TEST_F(GamePlayer, ExplosionCostsOneEnergyAFrameAndEndsTheGameAtZero) {
  W().energy = 20, W().player.alive = 0;
  for (int i = 0; i < 9; ++i) game::PlayerDraw(false);  // 8 explosion frames, then the ship
  EXPECT_TRUE(W().player.alive == 1 && W().energy == 12);
  W().player.alive = 0, W().gameOver = 1;  // the ending's runs ten frames, game over or not
  for (int i = 0; i < 10; ++i) game::PlayerDraw(true);
  EXPECT_TRUE(W().player.alive == 1 && W().energy == 2);

  // Energy 1 at a hit: the first explosion frame ends the game; the wreck is no longer charged.
  W().gameOver = 0, W().energy = 1, W().player.alive = 0;
  game::PlayerDraw(false);
  game::GameOverCheck();
  EXPECT_EQ(W().gameOver, 1);
  game::PlayerDraw(false);
  EXPECT_TRUE(W().energy == 0 && W().player.explosionFrame == 1);
}

}  // namespace
