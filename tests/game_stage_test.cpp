// The stage frame and the scenes around it, driven frame by frame on the
// headless backend with the game's generated pictures.
#include <gtest/gtest.h>

#include <string>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "frame/ox_system.h"
#include "game/assets.h"
#include "game/enemies/bosses.h"
#include "game/enemies/groups.h"
#include "game/resets.h"
#include "game/scenes.h"
#include "game/stage.h"
#include "game/stage_table.h"
#include "game/world.h"
#include "platform/headless.h"
#include "tests/test_support.h"

namespace {

std::string ExeDir() {
  std::string exe = SAMPLEGAME_EXE;
  return exe.substr(0, exe.rfind('/') + 1);
}

class StageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::StartHeadless();
    ox::OverrideDataDirectory(ExeDir().c_str());
    game::ClearWorld();
    game::LoadAssets();
    // A new game with F1 as the selection screen starts it.
    game::NewGameReset();
    game::StartPositionReset();
    game::W().energy = 999;
  }
  void TearDown() override { ox::OverrideDataDirectory(nullptr); }

  // One stage frame of `seconds`, the clock moving with it.
  void Frame(int stage, float seconds = 0.05f, bool first = false) {
    ox::App().frameSeconds = seconds;
    ox::App().sceneChanged = first ? 1 : 0;
    game::StageFrame(stage);
    plat::headless::AdvanceClock(uint32_t(seconds * 1000));
  }
  static int Alive(game::Group g) {
    int n = 0;
    for (const game::EnemyRecord& e : game::W().enemies[g]) n += e.alive;
    return n;
  }
  static int BossBulletsAlive(int boss, int kind) {
    int n = 0;
    for (const game::BossBullet& b : game::W().bossBullets[boss][kind]) n += b.alive;
    return n;
  }
};

TEST_F(StageTest, AssetLoadFillsEveryHandleInOrderAndSetsTheHighScore) {
  const game::Assets& a = game::W().assets;
  EXPECT_EQ(a.title, 4);  // after the four internal sprites
  EXPECT_EQ(a.select, a.title + 5);
  EXPECT_EQ(a.zak[0], a.fbak1 + 1);
  EXPECT_EQ(a.back[7], a.back[0] + 7);
  EXPECT_NE(a.bossBullet[2], a.bossBullet[3]);  // the same file, two handles
  EXPECT_GT(a.bomWav, 0);
  EXPECT_EQ(game::W().highScore, 5000);
  EXPECT_EQ(ox::App().scene, 1);
  EXPECT_EQ(plat::headless::BoxCount(), 0) << plat::headless::LastBox().text;
}

TEST_F(StageTest, SpawnWindowsAreOpenIntervals) {
  game::World& w = game::W();
  EXPECT_FALSE(game::WindowOpen(300, 30, 300));
  EXPECT_FALSE(game::WindowOpen(30, 30, 300));
  EXPECT_TRUE(game::WindowOpen(299.9f, 30, 300));
  // Stage 1 at 20 units a second: 0.05 s frames add exactly one unit.
  w.scroll = 298;
  Frame(1);  // 299: the ZAK1 window is open
  EXPECT_EQ(Alive(game::kZak1), 7);
  game::ResetGroups();
  w.scroll = 299;
  Frame(1);  // 300: closed
  EXPECT_EQ(Alive(game::kZak1), 0);
  w.scroll = 29;
  Frame(1);  // 30: not yet
  EXPECT_EQ(Alive(game::kZak1), 0);
}

TEST_F(StageTest, PauseStopsEverythingAndShowsNothing) {
  game::World& w = game::W();
  Frame(1, 0.05f, true);
  const float scroll = w.scroll;
  const int presents = plat::headless::PresentCount();
  ox::Input().pause = 1;
  for (int i = 0; i < 10; ++i) Frame(1);
  EXPECT_EQ(w.scroll, scroll);
  EXPECT_EQ(plat::headless::PresentCount(), presents);
  ox::Input().pause = 0;
  Frame(1);
  EXPECT_FLOAT_EQ(w.scroll, scroll + 1);
}

TEST_F(StageTest, FirstFramePlaysTheMusicAndLaterStagesHoldTheControls) {
  game::World& w = game::W();
  Frame(3, 0.05f, true);  // stage 2 runs at 18 units a second
  EXPECT_EQ(w.stageStart, 1);
  EXPECT_FLOAT_EQ(w.bannerHeight[2], 30);
  // The controls wait: a ship moved by the keys would leave 290.
  w.player.keyLeft = 3;
  while (w.scroll < 16 - 0.9f) Frame(3);
  EXPECT_EQ(w.stageStart, 1);
  EXPECT_EQ(w.player.x, 290);
  Frame(3);
  EXPECT_EQ(w.stageStart, 0);
}

TEST_F(StageTest, BossCountsDownOnlyOnceHitAndFiresInItsWindows) {
  game::World& w = game::W();
  game::BossRecord& boss = w.bosses[0];
  w.scroll = 1200;
  boss.entryTimer = 140;  // holding at (130, 0)
  for (int i = 0; i < 20; ++i) Frame(1, 0.01f);
  EXPECT_EQ(boss.countdown, 0);  // never hit: no countdown, nothing fired
  for (int kind = 1; kind <= 8; ++kind) EXPECT_EQ(BossBulletsAlive(0, kind), 0) << kind;

  boss.energy = 499;  // the first hit
  Frame(1, 0.01f);
  EXPECT_EQ(boss.countdown, 500);  // wrapped from 0 to its length
  while (boss.countdown > 481) Frame(1, 0.01f);
  EXPECT_EQ(BossBulletsAlive(0, 8), 0);
  Frame(1, 0.01f);  // 480: the spread fans 6, 7 and 8 open
  EXPECT_EQ(boss.countdown, 480);
  EXPECT_EQ(BossBulletsAlive(0, 6), 2);
  EXPECT_EQ(BossBulletsAlive(0, 7), 3);
  EXPECT_EQ(BossBulletsAlive(0, 8), 4);
  EXPECT_EQ(BossBulletsAlive(0, 1), 0);
}

TEST_F(StageTest, ForcedEndKillsTheBossAndTheNextStageFollows) {
  game::World& w = game::W();
  w.score = 1234;
  w.scroll = 9999.5f;
  Frame(1, 0.05f);
  EXPECT_LE(w.bosses[0].energy, 0);
  for (int i = 0; i < 200 && ox::App().scene == 1; ++i) Frame(1, 0.05f);
  EXPECT_EQ(ox::App().scene, 3);
  EXPECT_EQ(ox::App().previousScene, 0);
  // The new-game reset ran: a fresh stage, score and ship carried over.
  EXPECT_EQ(w.scroll, 0);
  EXPECT_EQ(w.timeCounter, 800);
  EXPECT_EQ(w.bosses[0].energy, 500);
  EXPECT_EQ(w.score, 1234);
  EXPECT_EQ(w.energy, 999);
}

TEST_F(StageTest, EnergyGameOverReturnsToTheTitleAfterNineSeconds) {
  game::World& w = game::W();
  ox::App().scene = 2;
  w.energy = 1;
  w.player.alive = 0;  // hit: the explosion's first frame costs the last point
  Frame(1, 0.05f, true);
  EXPECT_EQ(w.energy, 0);
  EXPECT_EQ(w.gameOver, 1);
  int frames = 0;
  while (ox::App().scene == 2 && frames < 400) {
    Frame(1, 0.05f);
    ++frames;
  }
  EXPECT_EQ(ox::App().scene, 1);
  EXPECT_NEAR(frames, 180, 2);  // 9 s of 50 ms frames
  EXPECT_EQ(w.timeCounter, 800);
}

TEST_F(StageTest, TimeCounterWaitsForWaitSlotOneThenCountsEverySecond) {
  game::World& w = game::W();
  ox::App().scene = 2;
  for (int i = 0; i < 100; ++i) Frame(1, 0.05f);  // 5 s on a young clock
  EXPECT_EQ(w.timeCounter, 800);
  plat::headless::SetClock(1000000000);
  Frame(1, 0.05f);
  EXPECT_EQ(w.timeCounter, 799);  // the slot was already due
  for (int i = 0; i < 40; ++i) Frame(1, 0.05f);
  EXPECT_EQ(w.timeCounter, 797);
  // A time-out: the music stops and the title follows 3 s later.
  w.timeCounter = 1;
  for (int i = 0; i < 20; ++i) Frame(1, 0.05f);
  EXPECT_EQ(w.gameOver, 1);
  EXPECT_EQ(w.timeCounter, 0);
  EXPECT_EQ(ox::App().scene, 2);
  for (int i = 0; i < 61 && ox::App().scene == 2; ++i) Frame(1, 0.05f);
  EXPECT_EQ(ox::App().scene, 1);
}

TEST_F(StageTest, SelectionScreenChoicesAndTheTitleClearingTheSpark) {
  game::World& w = game::W();
  struct Row {
    int key, energy, fast, fastest;
  } rows[] = {{112, 999, 0, 0}, {113, 333, 0, 0}, {114, 1, 0, 0}, {115, 555, 1, 0},
              {116, 777, 0, 1}, {117, 1, 1, 0},   {118, 1, 0, 1}};
  for (const Row& r : rows) {
    w.score = 77;
    ox::App().scene = 11;
    ox::Input().lastKey = r.key;
    game::SelectScene();
    EXPECT_EQ(ox::App().scene, 2) << r.key;
    EXPECT_EQ(w.energy, r.energy) << r.key;
    EXPECT_EQ(w.fastBullets, r.fast) << r.key;
    EXPECT_EQ(w.fastestBullets, r.fastest) << r.key;
    EXPECT_EQ(w.score, 0);
    EXPECT_EQ(w.player.x, 290);
  }
  ox::App().scene = 11;
  ox::Input().lastKey = 13;  // Enter does nothing here
  game::SelectScene();
  EXPECT_EQ(ox::App().scene, 11);
  ox::Input().lastKey = 32;
  game::SelectScene();
  EXPECT_EQ(w.spark, 1);
  ox::App().scene = 1;
  ox::Input().lastKey = 112;  // F1 does nothing on the title
  game::TitleScene();
  EXPECT_EQ(ox::App().scene, 1);
  EXPECT_EQ(w.spark, 0);
}

TEST_F(StageTest, EndingPinsTheShipAndEndsBySpaceOrAfter410Seconds) {
  game::World& w = game::W();
  ox::App().scene = 10;
  ox::App().sceneChanged = 1;
  ox::App().frameSeconds = 0.05f;
  game::EndingScene();
  ox::App().sceneChanged = 0;
  EXPECT_EQ(w.player.x, 260);
  EXPECT_EQ(w.player.y, 240);
  ox::Input().lastKey = 13;
  game::EndingScene();
  EXPECT_EQ(ox::App().scene, 10);  // not by Enter
  ox::Input().lastKey = 0;
  w.score = 4242;
  w.scroll = 4099.9f;
  game::EndingScene();
  EXPECT_EQ(ox::App().scene, 1);
  EXPECT_EQ(w.score, 4242);  // kept until the title's Enter
  ox::App().scene = 10;
  ox::Input().lastKey = 32;
  game::EndingScene();
  EXPECT_EQ(ox::App().scene, 1);
  EXPECT_EQ(w.score, 0);
}

TEST_F(StageTest, EveryBossEntersAtItsPhaseAndDiesAtItsForcedEnd) {
  game::World& w = game::W();
  for (int stage = 1; stage <= game::kStageCount; ++stage) {
    SCOPED_TRACE(stage);
    const game::StageData& d = game::Stage(stage);
    const game::BossRecord& boss = w.bosses[d.boss];
    game::NewGameReset();
    ox::App().scene = stage + 1;
    Frame(stage, 0.01f, true);
    w.scroll = d.bossPhaseLo - 0.01f * d.scrollRate;
    Frame(stage, 0.01f);  // exactly at the phase's lower bound: still parked
    EXPECT_EQ(boss.entryTimer, 0);
    for (int i = 0; i < 400; ++i) Frame(stage, 0.05f);  // 20 s: in view and swaying
    EXPECT_GT(boss.entryTimer, 0);
    EXPECT_GE(boss.y, 0);
    EXPECT_GE(boss.x, -130);
    EXPECT_FLOAT_EQ(boss.energy, game::BossStartEnergy(d.boss));
    w.scroll = d.forcedEnd - 0.01f * d.scrollRate - 0.001f;
    Frame(stage, 0.01f);
    EXPECT_GT(boss.energy, 0);  // just below the limit
    Frame(stage, 0.01f);
    EXPECT_LE(boss.energy, 0);
    int frames = 0;
    while (ox::App().scene == stage + 1 && frames < 1000) {
      Frame(stage, 0.05f);
      ++frames;
    }
    EXPECT_EQ(ox::App().scene, game::BossNextScene(d.boss));
    // The forced end runs the death step a second time each frame, so the
    // 7 seconds of a death by shots pass in 3.5.
    EXPECT_NEAR(frames, 70, 2);
  }
}

TEST(StageTable, EveryStageNamesItsBossAndKeepsItsAttacksWithinItsKinds) {
  for (int s = 1; s <= game::kStageCount; ++s) {
    const game::StageData& d = game::Stage(s);
    EXPECT_EQ(d.boss, s - 1);
    EXPECT_EQ(d.startFlag, s > 1);
    EXPECT_EQ(d.attackBelow, game::BossStartEnergy(d.boss)) << s;
    const int kinds = game::BossKindCount(d.boss);
    bool seen[game::kMaxBossKinds + 1] = {};
    for (int i = 0; i < kinds; ++i) {
      const int k = d.bossKindOrder[i];
      ASSERT_GE(k, 1);
      ASSERT_LE(k, kinds);
      EXPECT_FALSE(seen[k]) << s;
      seen[k] = true;
    }
    for (int a = 0; a < d.attackCount; ++a) {
      EXPECT_GE(d.attacks[a].firstKind, 1) << s;
      EXPECT_LE(d.attacks[a].lastKind, kinds) << s;
    }
    EXPECT_EQ(game::BossNextScene(d.boss), s + 2);
  }
}

}  // namespace
