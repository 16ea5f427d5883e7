// Bosses: paths with the fly-by, hit flash and sparks, the death step and
// the hand-over to the next stage, volley fans and spread fans, their hit
// boxes, and spot checks of the boss tables.
#include <gtest/gtest.h>

#include "frame/app_state.h"
#include "game/enemies/bosses.h"
#include "game/world.h"
#include "sound/ox_music.h"
#include "sound/ox_sound.h"
#include "sound/sound_state.h"
#include "tests/sound_test_support.h"
#include "tests/test_support.h"

namespace {

using namespace game;

constexpr int kBos11 = 0, kBos21 = 1, kBos31 = 2, kBos41 = 3, kBos51 = 4, kBos61 = 5,
              kBos71 = 6, kBos81 = 7;

class GameBosses : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    ClearWorld();
    ox::SeedRandom(7);
    ASSERT_TRUE(sndtest::WriteData(
        "BOM.WAV", sndtest::Wave(1, 22050, 16, sndtest::Pcm16(sndtest::Square(2205, 50, 9000)))));
    W().assets.bomWav = oxSound::LoadObject("BOM.WAV", 7);
    ASSERT_GE(W().assets.bomWav, 0);
    ResetBosses();
    ox::App().frameSeconds = 0.1f;  // both timers step by exactly 1
  }
  // Explosion sounds played so far, modulo the 7 mix buffers.
  static int Booms() { return oxs::Sound().objects[W().assets.bomWav].nextMix; }
  static BossRecord& Boss(int b) { return W().bosses[b]; }
  static BossBullet& Bullet(int b, int kind, int i) { return W().bossBullets[b][kind][i]; }
  static void Spawn(int b, int kind, int calls) {
    for (int i = 0; i < calls; ++i) BossBulletSpawn(b, kind);
  }
  static int Alive(int b, int kind) {
    int n = 0;
    for (const BossBullet& r : W().bossBullets[b][kind]) n += r.alive;
    return n;
  }
  static void PutBoss(int b, float x, float y) {
    Boss(b).x = x;
    Boss(b).y = y;
  }
};

TEST_F(GameBosses, Bos11FliesByDescendsHoldsSwaysAndJumpsBack) {
  BossRecord& b = Boss(kBos11);
  BossMove(kBos11);  // t = 1: the fly-by is placed below the screen
  EXPECT_FLOAT_EQ(b.entryTimer, 1);
  EXPECT_EQ(b.flyBy.x, 80);
  EXPECT_EQ(b.flyBy.y, 480);
  EXPECT_EQ(b.flyBy.speed, 400);
  EXPECT_EQ(b.x, kParkX);
  for (int t = 2; t <= 21; ++t) BossMove(kBos11);  // 20 < t <= 21: nothing moves
  EXPECT_EQ(b.flyBy.y, 480);
  BossMove(kBos11);  // t = 22: the sweep starts
  EXPECT_FLOAT_EQ(b.flyBy.y, 440);
  while (b.entryTimer < 46) BossMove(kBos11);  // y = 480 - 25 * 40 < -480: parked
  EXPECT_EQ(b.flyBy.speed, 0);
  EXPECT_EQ(b.flyBy.y, kParkY);
  while (b.entryTimer < 60) BossMove(kBos11);
  EXPECT_EQ(b.flyBy.y, kParkY);  // swept once only
  EXPECT_EQ(b.x, kParkX);        // 60 < t: not yet
  BossMove(kBos11);
  EXPECT_EQ(b.x, 130);
  EXPECT_EQ(b.y, -380);
  while (b.entryTimer < 134) BossMove(kBos11);
  EXPECT_NEAR(b.y, -380 + 44 * 8.2, 0.01);
  BossMove(kBos11);  // t = 135: descent and hold both apply, hold last
  EXPECT_EQ(b.y, 0);
  while (b.entryTimer < 190) BossMove(kBos11);
  EXPECT_FLOAT_EQ(b.x, 130 + 30 * 4);
  while (b.entryTimer < 250) BossMove(kBos11);
  EXPECT_FLOAT_EQ(b.x, 130 + 30 * 4 - 60 * 4);
  while (b.entryTimer < 280) BossMove(kBos11);
  EXPECT_FLOAT_EQ(b.x, 130);
  b.x = 137;  // to see the hold put it back
  BossMove(kBos11);  // t = 281: back to 151, nothing moves this frame
  EXPECT_FLOAT_EQ(b.entryTimer, 151);
  EXPECT_EQ(b.x, 137);
  BossMove(kBos11);
  EXPECT_EQ(b.x, 130);
  EXPECT_EQ(b.y, 0);
}

TEST_F(GameBosses, OtherBossesFollowTheirOwnRows) {
  const int kinds[kBossCount] = {8, 10, 13, 16, 15, 14, 15, 15};
  const float energy[kBossCount] = {500, 800, 800, 800, 1000, 1000, 1400, 1000};
  for (int b = 0; b < kBossCount; ++b) {
    EXPECT_EQ(BossKindCount(b), kinds[b]) << b;
    EXPECT_EQ(Boss(b).energy, energy[b]) << b;
    EXPECT_EQ(BossNextScene(b), b + 3) << b;
  }
  EXPECT_EQ(BossKindRecords(kBos81, 14), 4);
  EXPECT_EQ(BossKindRecords(kBos81, 15), 90);
  Spawn(kBos11, 9, 400);  // a kind the boss does not have does nothing
  EXPECT_EQ(Alive(kBos11, 9), 0);

  // BOS71: no fly-by, entry range up to 90, descent at 90, hold from 138,
  // back to 145.
  BossRecord& b = Boss(kBos71);
  b.entryTimer = 89;
  BossMove(kBos71);
  EXPECT_EQ(b.x, 70);
  EXPECT_EQ(b.y, -440);
  EXPECT_EQ(b.flyBy.x, kParkX);
  b.entryTimer = 136;
  b.y = -20;
  BossMove(kBos71);
  EXPECT_FLOAT_EQ(b.y, -11);
  BossMove(kBos71);
  EXPECT_EQ(b.y, 0);
  b.entryTimer = 280;
  BossMove(kBos71);
  EXPECT_FLOAT_EQ(b.entryTimer, 145);
  // BOS51 starts with its fly-by.
  BossMove(kBos51);
  EXPECT_EQ(Boss(kBos51).flyBy.speed, 400);
}

TEST_F(GameBosses, VolleyFanStepsWrapsLaunchesOnTheArcSpreadsAndFalls) {
  PutBoss(kBos11, 130, 0);
  Spawn(kBos11, 1, 29);
  EXPECT_EQ(Alive(kBos11, 1), 0);
  Spawn(kBos11, 1, 1);
  EXPECT_EQ(Alive(kBos11, 1), 5);
  const float arc[5] = {170, 193, 200, 193, 170};
  BossBulletMove(kBos11, 1);
  for (int j = 0; j < 5; ++j) {
    EXPECT_FLOAT_EQ(Bullet(kBos11, 1, j).x, 310 + 5.0f * float(j - 2)) << j;  // -100 .. +100 px/s
    EXPECT_FLOAT_EQ(Bullet(kBos11, 1, j).y, arc[j] + 18) << j;
    EXPECT_EQ(Bullet(kBos11, 1, j).vy, 180);
  }
  // Free records drift sideways too, but do not fall.
  EXPECT_FLOAT_EQ(Bullet(kBos11, 1, 5).x, kParkX - 10);
  EXPECT_EQ(Bullet(kBos11, 1, 5).y, kParkY);
  // Past y 480 a record is freed and parked.
  Bullet(kBos11, 1, 2).y = 470;
  Bullet(kBos11, 1, 1).y = 461;
  BossBulletMove(kBos11, 1);
  EXPECT_EQ(Bullet(kBos11, 1, 2).alive, 0);
  EXPECT_EQ(Bullet(kBos11, 1, 2).y, kParkY);
  EXPECT_EQ(Bullet(kBos11, 1, 1).alive, 1);  // exactly 479

  PutBoss(kBos11, 150, 10);  // launch places follow the boss
  Spawn(kBos11, 1, 30);
  EXPECT_EQ(Bullet(kBos11, 1, 5).x, 330);
  EXPECT_EQ(Bullet(kBos11, 1, 7).y, 210);
  Spawn(kBos11, 1, 339 - 60);
  EXPECT_EQ(Alive(kBos11, 1), 49);  // ten volleys by call 300
  EXPECT_EQ(Bullet(kBos11, 1, 0).volleyTimer, 339);
  Spawn(kBos11, 1, 1);
  EXPECT_EQ(Bullet(kBos11, 1, 49).volleyTimer, 0);
  // Kind 2 wraps at 1100.
  Spawn(kBos11, 2, 1099);
  EXPECT_EQ(Bullet(kBos11, 2, 0).volleyTimer, 1099);
  Spawn(kBos11, 2, 1);
  EXPECT_EQ(Bullet(kBos11, 2, 0).volleyTimer, 0);
}

TEST_F(GameBosses, APartlyLiveVolleyIsPutBackOnTheArcButOnlyTheFreeRecordsRelaunch) {
  PutBoss(kBos41, 110, 0);
  Spawn(kBos41, 4, 60);
  ASSERT_EQ(Alive(kBos41, 4), 5);
  for (int j = 0; j < 5; ++j) {
    Bullet(kBos41, 4, j).x += 17;  // in flight, off their launch x
    Bullet(kBos41, 4, j).y += 300;
  }
  Bullet(kBos41, 4, 3).alive = 0;
  Bullet(kBos41, 4, 3).x = kParkX;
  Bullet(kBos41, 4, 3).y = kParkY;
  PutBoss(kBos41, 120, 5);
  Spawn(kBos41, 4, 780);  // once round the cycle: volley 0 again
  const float arc[5] = {65, 88, 95, 88, 65};
  for (int j = 0; j < 5; ++j) {
    EXPECT_EQ(Bullet(kBos41, 4, j).alive, 1) << j;
    EXPECT_EQ(Bullet(kBos41, 4, j).x, j == 3 ? 260 : 250 + 17) << j;
    EXPECT_EQ(Bullet(kBos41, 4, j).y, arc[j]) << j;
  }
  // A volley with every record alive is left alone.
  Bullet(kBos41, 4, 0).y = 300;
  Spawn(kBos41, 4, 780);
  EXPECT_EQ(Bullet(kBos41, 4, 0).y, 300);
}

TEST_F(GameBosses, VolleysOfThreeAndNine) {
  PutBoss(kBos11, 100, 0);
  Spawn(kBos11, 4, 120);
  Spawn(kBos11, 5, 60);
  EXPECT_EQ(Alive(kBos11, 4), 6);  // volleys 0 and 1: records 0..5
  BossBulletMove(kBos11, 4);
  BossBulletMove(kBos11, 5);
  const float arc3[3] = {90, 113, 120};
  for (int j = 0; j < 3; ++j) {
    EXPECT_FLOAT_EQ(Bullet(kBos11, 4, j).x, 160 + 3.0f * float(j + 1)) << j;
    EXPECT_FLOAT_EQ(Bullet(kBos11, 5, j).x, 400 - 3.0f * float(j + 1)) << j;
    EXPECT_FLOAT_EQ(Bullet(kBos11, 4, j).y, arc3[j] + 12) << j;
  }

  const float arc9[9] = {90, 103, 112, 117, 120, 117, 112, 103, 90};
  struct Case {
    int boss, kind;
    float launchX, step, dy;
  };
  for (const Case& c : {Case{kBos31, 6, 210, 1.8f, 9}, Case{kBos51, 6, 170, 0.9f, 7},
                        Case{kBos81, 15, 200, 1.8f, 9}}) {
    PutBoss(c.boss, 100, 0);
    Spawn(c.boss, c.kind, 60);
    ASSERT_EQ(Alive(c.boss, c.kind), 18) << c.boss;
    BossBulletMove(c.boss, c.kind);
    for (int j = 0; j < 9; ++j) {
      const BossBullet& r = Bullet(c.boss, c.kind, 9 + j);
      EXPECT_NEAR(r.x, 100 + c.launchX + float(j - 4) * c.step, 1e-3) << c.boss << " " << j;
      EXPECT_NEAR(r.y, arc9[j] + c.dy, 1e-3) << c.boss << " " << j;
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
    for (int i = 0; i < c.records; ++i) {
      EXPECT_NEAR(Bullet(kBos11, c.kind, i).x, 282 + c.dx[i], 1e-4) << c.kind << i;
      EXPECT_NEAR(Bullet(kBos11, c.kind, i).y, 200 + c.dy, 1e-4) << c.kind << i;
    }
  }
  Bullet(kBos11, 8, 1).alive = 0;
  BossBulletSpawn(kBos11, 8);
  EXPECT_FLOAT_EQ(Bullet(kBos11, 8, 0).y, 211);  // live: not relaunched
  EXPECT_EQ(Bullet(kBos11, 8, 1).y, 200);
  PutBoss(kBos21, 10, 20);
  BossBulletSpawn(kBos21, 8);  // a triple from (122, 150)
  EXPECT_EQ(Alive(kBos21, 8), 3);
  EXPECT_EQ(Bullet(kBos21, 8, 2).x, 132);
  EXPECT_EQ(Bullet(kBos21, 8, 2).y, 170);
}

TEST_F(GameBosses, HitBoxesAreInclusiveAndAKillLeavesTheBullet) {
  ox::App().frameSeconds = 0;  // nothing moves: the boxes are tested in place
  Player& p = W().player;
  p.x = 100;
  p.y = 100;
  struct Case {
    int boss, kind;
    float x0, x1, y0, y1;
  };
  for (const Case& c : {Case{kBos11, 1, 10, 30, 20, 30}, Case{kBos61, 2, 0, 20, 0, 20},
                        Case{kBos81, 3, 0, 20, 0, 20}, Case{kBos11, 8, 14, 30, 24, 30},
                        Case{kBos71, 15, 14, 30, 24, 30}}) {
    BossBullet& r = Bullet(c.boss, c.kind, 0);
    r.alive = 1;
    const float in[4][2] = {{c.x0, c.y0}, {c.x1, c.y1}, {c.x0, c.y1}, {c.x1, c.y0}};
    const float out[4][2] = {
        {c.x0 - 0.5f, c.y0}, {c.x1 + 0.5f, c.y1}, {c.x0, c.y0 - 0.5f}, {c.x1, c.y1 + 0.5f}};
    for (const auto& d : out) {
      p.alive = 1;
      r.x = 100 + d[0];
      r.y = 100 + d[1];
      BossBulletMove(c.boss, c.kind);
      EXPECT_EQ(p.alive, 1) << c.boss << "/" << c.kind << " at " << d[0] << "," << d[1];
    }
    for (const auto& d : in) {
      p.alive = 1;
      r.x = 100 + d[0];
      r.y = 100 + d[1];
      BossBulletMove(c.boss, c.kind);
      EXPECT_EQ(p.alive, 0) << c.boss << "/" << c.kind << " at " << d[0] << "," << d[1];
      EXPECT_EQ(r.alive, 1);
      EXPECT_EQ(r.x, 100 + d[0]);
    }
    r.alive = 0;  // a free record at the same place kills nobody
    p.alive = 1;
    BossBulletMove(c.boss, c.kind);
    EXPECT_EQ(p.alive, 1);
  }
}

TEST_F(GameBosses, HitFlashShowsSparksWhenEnabledAndSoundsTwice) {
  PutBoss(kBos11, 130, 0);
  BossHit(kBos11);
  EXPECT_EQ(Booms(), 1);
  BossDraw(kBos11);  // spark flag 0: no sparks, but the sound again
  EXPECT_EQ(Boss(kBos11).hitFlash, 0);
  EXPECT_EQ(Booms(), 2);
  EXPECT_EQ(Boss(kBos11).sparks[0].x, kParkX);
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
    EXPECT_GE(s.x, 70);
    EXPECT_LE(s.x, 70 + 419);
    EXPECT_GE(s.y, -60);
    EXPECT_LE(s.y, -60 + 439);
    EXPECT_EQ(s.frame, &s == Boss(kBos81).sparks ? 0 : 1);  // 6 wraps to 0
  }
  // BOS11 moves only its 12.
  BossHit(kBos11);
  BossDraw(kBos11);
  EXPECT_NE(Boss(kBos11).sparks[11].x, kParkX);
  EXPECT_EQ(Boss(kBos11).sparks[12].x, kParkX);
}

TEST_F(GameBosses, DeathStepStopsTheMusicThenHandsOverToTheNextStage) {
  ox::App().scene = 2;
  ox::App().previousScene = 2;
  PutBoss(kBos11, 130, 0);
  Boss(kBos11).countdown = 123;
  BossDeathStep(kBos11);  // energy above 0: nothing
  EXPECT_EQ(Boss(kBos11).deathTimer, 0);
  EXPECT_EQ(Booms(), 0);

  Boss(kBos11).energy = -3;
  Bullet(kBos11, 1, 0).alive = 1;
  oxMusic::Play("BGM1.MID", 1);
  ASSERT_EQ(oxMusic::PlayingFlag(), 1);
  BossDeathStep(kBos11);  // first frame: the explosions are drawn at the park place
  EXPECT_EQ(Boss(kBos11).deathTimer, 1);
  EXPECT_EQ(Booms(), 1);
  for (const Blast& e : Boss(kBos11).large) {
    EXPECT_GE(e.x, 30);
    EXPECT_LE(e.x, 30 + 379);
    EXPECT_LE(e.y, 379);
  }
  for (const Blast& e : Boss(kBos11).small) EXPECT_GE(e.x, 90);
  for (int i = 2; i <= 4; ++i) BossDeathStep(kBos11);
  EXPECT_EQ(Boss(kBos11).large[0].frame, 0);  // 3 wraps to 0
  EXPECT_EQ(Boss(kBos11).small[0].frame, 4);
  EXPECT_EQ(Booms(), 4);  // one explosion sound per frame
  while (Boss(kBos11).deathTimer < 50) BossDeathStep(kBos11);
  EXPECT_EQ(oxMusic::PlayingFlag(), 1);  // 50 is not inside
  BossDeathStep(kBos11);
  EXPECT_EQ(oxMusic::PlayingFlag(), 0);
  oxMusic::Play("BGM1.MID", 1);
  while (Boss(kBos11).deathTimer < 59) BossDeathStep(kBos11);
  EXPECT_EQ(oxMusic::PlayingFlag(), 0);  // stopped on every frame of the span
  oxMusic::Play("BGM1.MID", 1);
  BossDeathStep(kBos11);  // 60: no longer
  EXPECT_EQ(oxMusic::PlayingFlag(), 1);
  while (Boss(kBos11).deathTimer < 70) BossDeathStep(kBos11);
  EXPECT_EQ(ox::App().scene, 2);  // 70 is not above 70

  BossDeathStep(kBos11);
  EXPECT_EQ(ox::App().scene, 3);
  EXPECT_EQ(ox::App().previousScene, 0);
  const BossRecord& b = Boss(kBos11);
  EXPECT_EQ(b.energy, 500);
  EXPECT_EQ(b.deathTimer, 0);
  EXPECT_EQ(b.countdown, 0);
  EXPECT_EQ(b.x, kParkX);
  EXPECT_EQ(b.large[0].frame, 0);
  EXPECT_EQ(Bullet(kBos11, 1, 0).alive, 0);
  EXPECT_EQ(W().timeCounter, 800);  // the whole new-game reset ran
  // The reset boss no longer dies.
  BossDeathStep(kBos11);
  EXPECT_EQ(Boss(kBos11).deathTimer, 0);

  // The last boss hands over to the ending.
  Boss(kBos81).energy = 0;
  Boss(kBos81).deathTimer = 70.5f;
  BossDraw(kBos81);
  EXPECT_EQ(ox::App().scene, 10);
}

}  // namespace
