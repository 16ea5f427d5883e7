// Bosses: paths with the fly-by, hit flash and sparks, the death step and
// the hand-over to the next stage, volley fans and spread fans, their hit
// boxes, and spot checks of the boss tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <tuple>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "game/enemies/bosses.h"
#include "game/world.h"
#include "sound/ox_music.h"
#include "sound/ox_sound.h"
#include "sound/sound_state.h"
#include "tests/sound_test_support.h"
#include "tests/test_support.h"

namespace {

using namespace game;

constexpr int kBos11 = 0, kBos21 = 1, kBos31 = 2, kBos41 = 3, kBos51 = 4, kBos61 = 5, kBos71 = 6,
              kBos81 = 7;

BossRecord& Boss(int b) { return W().bosses[b]; }
BossBullet& Bullet(int b, int kind, int i) { return W().bossBullets[b][kind][i]; }
void Spawn(int b, int kind, int calls) {
  while (calls-- > 0) BossBulletSpawn(b, kind);
}
int Alive(int b, int kind) {
  return int(std::count_if(std::begin(W().bossBullets[b][kind]), std::end(W().bossBullets[b][kind]),
                           [](const BossBullet& r) { return r.alive == 1; }));
}
void PutBoss(int b, float x, float y) { Boss(b).x = x, Boss(b).y = y; }
// Explosion sounds played so far, modulo the 7 mix buffers.
int Booms() { return oxs::Sound().objects[W().assets.bomWav].nextMix; }
bool In(float v, float lo, float hi) { return v >= lo && v <= hi; }
bool Near(float a, float b) { return std::fabs(a - b) < 0.01f; }

struct GameBosses : ::testing::Test {
  void SetUp() override {
    oxtest::OpenScreen();
    ClearWorld();
    ox::SeedRandom(7);
    ASSERT_TRUE(sndtest::WriteData(
        "BOM.WAV", sndtest::Wave(1, 22050, 16, sndtest::Pcm16(sndtest::Square(2205, 50, 9000)))));
    ASSERT_GE(W().assets.bomWav = oxSound::LoadObject("BOM.WAV", 7), 0);
    ResetBosses();
    ox::App().frameSeconds = 0.1f;  // both timers step by exactly 1
  }
};

TEST_F(GameBosses, PathsFlyByDescendHoldSwayAndJumpBack) {
  // State after the move that brings the boss's entry timer to t.
  struct Step {
    int boss;
    float t, x, y, flyByY, flyBySpeed;
  };
  const Step steps[] = {
      {kBos11, 1, kParkX, kParkY, 480, 400},    // the fly-by is placed below the screen
      {kBos11, 21, kParkX, kParkY, 480, 400},   // 20 < t <= 21: nothing moves
      {kBos11, 22, kParkX, kParkY, 440, 400},   // the sweep starts
      {kBos11, 46, kParkX, kParkY, kParkY, 0},  // y = 480 - 25 * 40 < -480: parked
      {kBos11, 60, kParkX, kParkY, kParkY, 0},  // swept once only; 60 < t: not yet entered
      {kBos11, 61, 130, -380, kParkY, 0},       // entry
      {kBos11, 134, 130, -380 + 44 * 8.2f, kParkY, 0},
      {kBos11, 135, 130, 0, kParkY, 0},           // descent and hold both apply, hold last
      {kBos11, 190, 130 + 30 * 4, 0, kParkY, 0},  // sway right
      {kBos11, 250, 10, 0, kParkY, 0},            // sway left
      {kBos11, 280, 130, 0, kParkY, 0},           // sway right again
      // BOS71: no fly-by, entry up to 90, descent 91..137, hold; BOS51 starts with its fly-by.
      {kBos71, 90, 70, -440, kParkY, 0},
      {kBos71, 137, 70, -440 + 47 * 9, kParkY, 0},
      {kBos71, 138, 70, 0, kParkY, 0},
      {kBos51, 1, kParkX, kParkY, 480, 400},
  };
  for (const Step& s : steps) {
    const BossRecord& b = Boss(s.boss);
    while (b.entryTimer < s.t) BossMove(s.boss);
    EXPECT_TRUE(b.entryTimer == s.t && Near(b.x, s.x) && Near(b.y, s.y) && b.flyBy.y == s.flyByY &&
                b.flyBy.speed == s.flyBySpeed)
        << s.boss << " at " << s.t << ": " << b.x << "," << b.y << " " << b.flyBy.y;
  }
  // At the jump the timer goes back and nothing moves that frame; the next move holds.
  for (auto [boss, back, x] : {std::tuple{kBos11, 151.f, 130.f}, {kBos71, 145.f, 70.f}}) {
    BossRecord& b = Boss(boss);
    while (b.entryTimer < 280) BossMove(boss);
    b.x = 137;
    BossMove(boss);
    EXPECT_TRUE(b.entryTimer == back && b.x == 137) << boss;
    BossMove(boss);
    EXPECT_TRUE(b.x == x && b.y == 0) << boss;
  }
}

TEST_F(GameBosses, TablesGiveKindsEnergyAndNextScene) {
  const int kinds[kBossCount] = {8, 10, 13, 16, 15, 14, 15, 15};
  const float energy[kBossCount] = {500, 800, 800, 800, 1000, 1000, 1400, 1000};
  for (int b = 0; b < kBossCount; ++b)
    EXPECT_TRUE(BossKindCount(b) == kinds[b] && Boss(b).energy == energy[b] &&
                BossNextScene(b) == b + 3)
        << b;
  EXPECT_TRUE(BossKindRecords(kBos81, 14) == 4 && BossKindRecords(kBos81, 15) == 90);
  Spawn(kBos11, 9, 400);  // a kind the boss does not have does nothing
  EXPECT_EQ(Alive(kBos11, 9), 0);
}

TEST_F(GameBosses, VolleyFansStepWrapFallAndRelaunchOnlyFreeRecords) {
  PutBoss(kBos11, 130, 0);
  Spawn(kBos11, 1, 29);
  EXPECT_EQ(Alive(kBos11, 1), 0);
  Spawn(kBos11, 1, 1);
  EXPECT_EQ(Alive(kBos11, 1), 5);
  BossBulletMove(kBos11, 1);  // free records drift sideways too, but do not fall
  EXPECT_TRUE(Bullet(kBos11, 1, 5).x == kParkX - 10 && Bullet(kBos11, 1, 5).y == kParkY);
  // Past y 480 a record is freed and parked; exactly 479 stays.
  Bullet(kBos11, 1, 2).y = 470, Bullet(kBos11, 1, 1).y = 461;
  BossBulletMove(kBos11, 1);
  EXPECT_TRUE(Bullet(kBos11, 1, 2).alive == 0 && Bullet(kBos11, 1, 2).y == kParkY &&
              Bullet(kBos11, 1, 1).alive == 1);
  PutBoss(kBos11, 150, 10);  // launch places follow the boss
  Spawn(kBos11, 1, 30);
  EXPECT_TRUE(Bullet(kBos11, 1, 5).x == 330 && Bullet(kBos11, 1, 7).y == 210);
  Spawn(kBos11, 1, 340 - 60);  // ten volleys by call 300; the timer wraps at 340
  EXPECT_TRUE(Alive(kBos11, 1) == 49 && Bullet(kBos11, 1, 0).volleyTimer == 0 &&
              Bullet(kBos11, 1, 49).volleyTimer == 0);
  Spawn(kBos11, 2, 1100);  // kind 2 wraps at 1100
  EXPECT_EQ(Bullet(kBos11, 2, 0).volleyTimer, 0);
  // A partly live volley is put back on the arc, but only its free records relaunch.
  PutBoss(kBos41, 110, 0);
  Spawn(kBos41, 4, 60);
  for (int j = 0; j < 5; ++j)
    Bullet(kBos41, 4, j).x += 17, Bullet(kBos41, 4, j).y += 300;  // in flight
  Bullet(kBos41, 4, 3) = {0, kParkX, kParkY, 0, 60, 0};
  PutBoss(kBos41, 120, 5);
  Spawn(kBos41, 4, 780);  // once round the cycle: volley 0 again
  const float arc[5] = {65, 88, 95, 88, 65};
  for (int j = 0; j < 5; ++j) {
    const BossBullet& r = Bullet(kBos41, 4, j);
    EXPECT_TRUE(r.alive == 1 && r.x == (j == 3 ? 260 : 250 + 17) && r.y == arc[j]) << j;
  }
  Bullet(kBos41, 4, 0).y = 300;  // a volley with every record alive is left alone
  Spawn(kBos41, 4, 780);
  EXPECT_EQ(Bullet(kBos41, 4, 0).y, 300);
}

TEST_F(GameBosses, VolleysOfThreeFiveAndNineLaunchOnTheArcAndSpread) {
  // From a boss at (100, 0), one move after `calls` spawns: record j of
  // volley `first` lies at x = x0 + j * dx, y = y0 + arc.
  const float arc3[3] = {0, 23, 30}, arc5[5] = {0, 23, 30, 23, 0},
              arc9[9] = {0, 13, 22, 27, 30, 27, 22, 13, 0};
  const float* arcs[10] = {nullptr, nullptr, nullptr, arc3,    nullptr,
                           arc5,    nullptr, nullptr, nullptr, arc9};
  struct Case {
    int boss, kind, calls, alive, first, size;
    float x0, dx, y0;
  };
  const Case cases[] = {
      {kBos11, 1, 30, 5, 0, 5, 270, 5, 188},       {kBos11, 4, 120, 6, 3, 3, 163, 3, 102},
      {kBos11, 5, 60, 3, 0, 3, 397, -3, 102},      {kBos31, 6, 60, 18, 9, 9, 302.8f, 1.8f, 99},
      {kBos51, 6, 60, 18, 9, 9, 266.4f, 0.9f, 97}, {kBos81, 15, 60, 18, 9, 9, 292.8f, 1.8f, 99}};
  for (const Case& c : cases) {
    PutBoss(c.boss, 100, 0);
    Spawn(c.boss, c.kind, c.calls);
    ASSERT_EQ(Alive(c.boss, c.kind), c.alive) << c.boss;
    BossBulletMove(c.boss, c.kind);
    for (int j = 0; j < c.size; ++j) {
      const BossBullet& r = Bullet(c.boss, c.kind, c.first + j);
      EXPECT_TRUE(Near(r.x, c.x0 + float(j) * c.dx) && Near(r.y, c.y0 + arcs[c.size][j]))
          << c.boss << "/" << c.kind << " " << j << ": " << r.x << "," << r.y;
    }
  }
}

TEST_F(GameBosses, SpreadFansLaunchTheirShapesAndRelaunchOnlyFreeRecords) {
  PutBoss(kBos11, 100, 0);
  struct Case {
    int kind, records;
    float dx[4];
    float dy;
  };
  for (const Case& c : {Case{6, 2, {-3, 3}, 14}, Case{7, 3, {-3.9f, 0, 3.9f}, 12},
                        Case{8, 4, {-2.8f, 2.8f, -8, 8}, 11}}) {
    BossBulletSpawn(kBos11, c.kind);
    EXPECT_EQ(Alive(kBos11, c.kind), c.records) << c.kind;
    BossBulletMove(kBos11, c.kind);
    for (int i = 0; i < c.records; ++i)
      EXPECT_TRUE(Near(Bullet(kBos11, c.kind, i).x, 282 + c.dx[i]) &&
                  Near(Bullet(kBos11, c.kind, i).y, 200 + c.dy))
          << c.kind << i;
  }
  Bullet(kBos11, 8, 1).alive = 0;
  BossBulletSpawn(kBos11, 8);
  EXPECT_TRUE(Bullet(kBos11, 8, 0).y == 211 &&
              Bullet(kBos11, 8, 1).y == 200);  // live: not relaunched
  PutBoss(kBos21, 10, 20);
  BossBulletSpawn(kBos21, 8);  // a triple from (122, 150)
  EXPECT_TRUE(Alive(kBos21, 8) == 3 && Bullet(kBos21, 8, 2).x == 132 &&
              Bullet(kBos21, 8, 2).y == 170);
}

TEST_F(GameBosses, HitBoxesAreInclusiveAndAKillLeavesTheBullet) {
  ox::App().frameSeconds = 0;  // nothing moves: the boxes are tested in place
  Player& p = W().player;
  p.x = 100, p.y = 100;
  struct Case {
    int boss, kind;
    float x0, x1, y0, y1;
  };
  for (const Case& c : {Case{kBos11, 1, 10, 30, 20, 30}, Case{kBos61, 2, 0, 20, 0, 20},
                        Case{kBos81, 3, 0, 20, 0, 20}, Case{kBos11, 8, 14, 30, 24, 30},
                        Case{kBos71, 15, 14, 30, 24, 30}}) {
    BossBullet& r = Bullet(c.boss, c.kind, 0);
    // Two opposite corners inside; just past each edge outside; a free record kills nobody.
    const float points[][4] = {{c.x0, c.y0, 1, 1},        {c.x1, c.y1, 1, 1},
                               {c.x0 - 0.5f, c.y0, 1, 0}, {c.x1 + 0.5f, c.y1, 1, 0},
                               {c.x0, c.y0 - 0.5f, 1, 0}, {c.x1, c.y1 + 0.5f, 1, 0},
                               {c.x0, c.y0, 0, 0}};
    for (const auto& d : points) {
      p.alive = 1;
      r.x = 100 + d[0], r.y = 100 + d[1], r.alive = int(d[2]);
      BossBulletMove(c.boss, c.kind);
      EXPECT_EQ(p.alive, d[3] == 1 ? 0 : 1)
          << c.boss << "/" << c.kind << " at " << d[0] << "," << d[1];
      EXPECT_TRUE(r.alive == int(d[2]) && r.x == 100 + d[0]);
    }
  }
}

TEST_F(GameBosses, HitFlashShowsSparksWhenEnabledAndSoundsTwice) {
  PutBoss(kBos11, 130, 0);
  BossHit(kBos11);
  EXPECT_EQ(Booms(), 1);
  BossDraw(kBos11);  // spark flag 0: no sparks, but the sound again
  EXPECT_TRUE(Boss(kBos11).hitFlash == 0 && Booms() == 2 && Boss(kBos11).sparks[0].x == kParkX);
  BossDraw(kBos11);  // no flash: silent
  EXPECT_EQ(Booms(), 2);
  // BOS81: 22 sparks around (x - 30 .. x - 30 + 419, y - 80 .. y - 80 + 439).
  W().spark = 1;
  PutBoss(kBos81, 100, 20);
  Boss(kBos81).sparks[0].frame = 6;
  BossHit(kBos81);
  BossDraw(kBos81);
  EXPECT_EQ(Booms(), 4);
  for (const Blast& s : Boss(kBos81).sparks) {
    EXPECT_TRUE(In(s.x, 70, 70 + 419) && In(s.y, -60, -60 + 439)) << s.x << "," << s.y;
    EXPECT_EQ(s.frame, &s == Boss(kBos81).sparks ? 0 : 1);  // 6 wraps to 0
  }
  BossHit(kBos11);  // BOS11 moves only its 12
  BossDraw(kBos11);
  EXPECT_TRUE(Boss(kBos11).sparks[11].x != kParkX && Boss(kBos11).sparks[12].x == kParkX);
}

TEST_F(GameBosses, DeathStepStopsTheMusicThenHandsOverToTheNextStage) {
  ox::App().scene = ox::App().previousScene = 2;
  BossRecord& b = Boss(kBos11);
  b.x = 130, b.y = 0, b.countdown = 123;
  BossDeathStep(kBos11);  // energy above 0: nothing
  EXPECT_TRUE(b.deathTimer == 0 && Booms() == 0);
  b.energy = -3, Bullet(kBos11, 1, 0).alive = 1;
  BossDeathStep(kBos11);  // first frame: the explosions are drawn at the park place
  EXPECT_TRUE(b.deathTimer == 1 && Booms() == 1);
  for (const Blast& e : b.large)
    EXPECT_TRUE(In(e.x, 30, 30 + 379) && In(e.y, 0, 379)) << e.x << "," << e.y;
  for (const Blast& e : b.small) EXPECT_TRUE(In(e.x, 90, 90 + 379)) << e.x;
  for (int i = 2; i <= 4; ++i) BossDeathStep(kBos11);
  EXPECT_TRUE(b.large[0].frame == 0 && b.small[0].frame == 4 &&
              Booms() == 4);  // large: 3 wraps to 0; a sound per frame
  // The music stops on every frame strictly inside (50, 60).
  for (int t = 5; t <= 70; ++t) {
    oxMusic::Play("BGM1.MID", 1);
    BossDeathStep(kBos11);
    ASSERT_EQ(oxMusic::PlayingFlag(), t > 50 && t < 60 ? 0 : 1) << t;
  }
  EXPECT_EQ(ox::App().scene, 2);  // 70 is not above 70
  BossDeathStep(kBos11);
  EXPECT_TRUE(ox::App().scene == 3 && ox::App().previousScene == 0);
  EXPECT_TRUE(b.energy == 500 && b.deathTimer == 0 && b.countdown == 0 && b.x == kParkX &&
              b.large[0].frame == 0);
  EXPECT_TRUE(Bullet(kBos11, 1, 0).alive == 0 &&
              W().timeCounter == 800);  // the whole new-game reset ran
  BossDeathStep(kBos11);                // the reset boss no longer dies
  EXPECT_EQ(b.deathTimer, 0);
  // The last boss hands over to the ending.
  Boss(kBos81).energy = 0, Boss(kBos81).deathTimer = 70.5f;
  BossDraw(kBos81);
  EXPECT_EQ(ox::App().scene, 10);
}

}  // namespace
