// The collision pass: shot motion and expiry, entry lines, hit boxes,
// points by shot kind, pass-through, bosses and the score cap.
#include <gtest/gtest.h>

#include "frame/app_state.h"
#include "game/collision.h"
#include "game/enemies/groups.h"
#include "game/world.h"
#include "tests/test_support.h"

namespace {

using game::W;

constexpr float kDt = 1.0f / 30;
enum Kind { kCentreSpecial, kLeftSpecial, kRightSpecial, kStream1, kStream2, kStream3, kStream4,
            kStream5 };

class GameCollision : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    game::ClearWorld();
    ParkAll();
    W().highScore = 5000;
    ox::App().frameSeconds = kDt;
  }

  static void ParkAll() {
    for (auto& group : W().enemies) {
      for (game::EnemyRecord& e : group) e = {0, 0, game::kParkX, game::kParkY, 0, 0, 0, 0, 0, 0};
    }
    for (game::BossRecord& b : W().bosses) {
      b = game::BossRecord{};
      b.x = game::kParkX;
      b.y = game::kParkY;
    }
    ClearShots();
  }

  static void ClearShots() {
    for (auto& stream : W().shots) {
      for (game::Shot& s : stream) s = game::Shot{};
    }
    for (auto& array : W().specials) {
      for (game::Special& s : array) s = game::Special{};
    }
  }

  static game::EnemyRecord& Enemy(game::Group g, int i, float x, float y) {
    game::EnemyRecord& e = W().enemies[g][i];
    e.x = x;
    e.y = y;
    e.alive = 1;
    return e;
  }

  // A shot of `kind` that the pass's move brings to (x, y) (within a pixel
  // for the shot records, whose move is scaled by the frame seconds).
  static int& Fire(Kind kind, int x, int y, int index = 0) {
    if (kind <= kRightSpecial) {
      static constexpr int kSide[3] = {0, -4, 4};
      game::Special& s = W().specials[kind][index];
      s = {x - kSide[kind], y + 20, kind == kCentreSpecial ? 0 : 4, 20, 1};
      return s.active;
    }
    const int stream = kind - kStream1;
    static constexpr float kSide[5] = {0, 0, 0, -100, 100};
    game::Shot& s = W().shots[stream][index];
    const float side = stream >= 3 ? 100.0f : 0.0f;
    s = {x + 0.5f - kSide[stream] * kDt, y + 0.5f + 400 * kDt, side, 400, 1};
    return s.active;
  }
};

TEST_F(GameCollision, EnemiesAboveTheirEntryLineCannotBeHit) {
  // ZAK1 entering from above: out of reach at y -70 and -46, hit at -45.
  game::EnemyRecord& z = Enemy(game::kZak1, 0, 300, -70);
  Fire(kCentreSpecial, 300, -40);
  game::CollisionPass();
  EXPECT_EQ(W().score, 0);
  z.y = -46;
  Fire(kCentreSpecial, 300, -40);
  game::CollisionPass();
  EXPECT_EQ(W().score, 0);
  z.y = -45;
  Fire(kCentreSpecial, 300, -40);
  game::CollisionPass();
  EXPECT_EQ(W().score, 20);
  EXPECT_EQ(z.dying, 1);

  // ZAK13 takes right special shots only from y -3; other shots from -30.
  z.alive = 0;
  game::EnemyRecord& t = Enemy(game::kZak13, 0, 300, -10);
  Fire(kRightSpecial, 300, 0);
  game::CollisionPass();
  EXPECT_EQ(W().score, 20);
  EXPECT_EQ(t.dying, 0);
  Fire(kLeftSpecial, 300, 0);
  game::CollisionPass();
  EXPECT_EQ(W().score, 40);
  ClearShots();
  t.y = -3;
  Fire(kRightSpecial, 300, 0);
  game::CollisionPass();
  EXPECT_EQ(W().score, 60);
}

TEST_F(GameCollision, PointsAndPassThroughDependOnTheShotKind) {
  // ZAK1 gives 1 point to right specials and shot records, 20 to centre and
  // left specials; any other group gives 20 to everything. Only centre
  // specials and shot records are used up by an enemy.
  struct Case {
    Kind kind;
    int zak1Points;
    bool usedUp;
  };
  const Case cases[] = {
      {kCentreSpecial, 20, true}, {kLeftSpecial, 20, false}, {kRightSpecial, 1, false},
      {kStream1, 1, true},        {kStream2, 1, true},       {kStream5, 1, true},
  };
  for (const Case& c : cases) {
    for (game::Group g : {game::kZak1, game::kZak4a}) {
      SetUp();
      game::EnemyRecord& e = Enemy(g, 2, 300, 100);
      int& active = Fire(c.kind, 310, 110);
      game::CollisionPass();
      EXPECT_EQ(W().score, g == game::kZak1 ? c.zak1Points : 20) << c.kind << " group " << g;
      EXPECT_EQ(active, c.usedUp ? 0 : 1) << c.kind;
      EXPECT_EQ(e.dying, 1) << c.kind;
    }
  }
  // A dead ZAK1 ship does not qualify; other groups qualify by the hit lock.
  SetUp();
  Enemy(game::kZak1, 0, 300, 100).alive = 0;
  Enemy(game::kZak5, 0, 300, 100).hitLock = 1;
  game::EnemyRecord& free = Enemy(game::kZak6, 0, 300, 100);
  free.alive = 0;
  Fire(kCentreSpecial, 310, 110);
  game::CollisionPass();
  EXPECT_EQ(W().score, 20);
  EXPECT_EQ(free.dying, 1);
}

TEST_F(GameCollision, OneShotStrikesEveryEnemyItOverlaps) {
  // A left special through a row of three ZAK5 ships scores 60 and flies on.
  for (int i = 0; i < 3; ++i) Enemy(game::kZak5, i, 250.0f + 50 * i, 100);
  int& special = Fire(kLeftSpecial, 300, 110);
  game::CollisionPass();
  EXPECT_EQ(W().score, 60);
  EXPECT_EQ(special, 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(W().enemies[game::kZak5][i].dying, 1) << i;

  // A shot overlapping two ships (already exploding) scores 40 and is used up.
  SetUp();
  Enemy(game::kZak5, 0, 290, 100).dying = 1;
  Enemy(game::kZak6, 2, 295, 100);
  int& shot = Fire(kStream4, 300, 110, 7);
  game::CollisionPass();
  EXPECT_EQ(W().score, 40);
  EXPECT_EQ(shot, 0);
  EXPECT_EQ(W().enemies[game::kZak6][2].dying, 1);
}

TEST_F(GameCollision, ShotsMoveRetireAndAreCounted) {
  ox::App().frameSeconds = 0.05f;
  game::Shot& up = W().shots[0][5];
  up = {200, 5, 0, 400, 1};
  game::Shot& left = W().shots[3][5];
  left = {200, 100, 100, 400, 1};
  game::Shot& right = W().shots[4][9];
  right = {200, 100, 100, 400, 1};
  game::Special& sp = W().specials[game::kRight][4];
  sp = {400, -41, 4, 20, 1};
  // A ZAK50a ship whose shot box reaches 60 pixels above it.
  game::EnemyRecord& e = Enemy(game::kZak50a, 0, 140, -20);
  game::CollisionPass();
  EXPECT_FLOAT_EQ(up.y, -15);
  EXPECT_EQ(up.active, 0);  // retired above -10 and still strikes this pass
  EXPECT_EQ(e.dying, 1);
  EXPECT_EQ(W().score, 20);
  EXPECT_FLOAT_EQ(left.x, 195);
  EXPECT_FLOAT_EQ(right.x, 205);
  EXPECT_EQ(sp.active, 0);  // retired where it is, not parked
  EXPECT_EQ(sp.x, 404);
  EXPECT_EQ(sp.y, -61);
  EXPECT_EQ(W().shotCount, 3);
  EXPECT_EQ(W().specialCount, 1);
  W().shotCount = 0;
  W().specialCount = 0;
  game::CollisionPass();  // retired records are skipped from now on
  EXPECT_EQ(W().shotCount, 2);
  EXPECT_EQ(W().specialCount, 0);
}

TEST_F(GameCollision, OnlyStreamOneAndSpecialsDamageBosses) {
  game::BossRecord& boss = W().bosses[2];
  boss.x = 150;
  boss.y = 20;
  boss.energy = 800;
  int* streams[5];
  for (int s = 0; s < 5; ++s) streams[s] = &Fire(static_cast<Kind>(kStream1 + s), 400, 120, s);
  game::CollisionPass();
  EXPECT_EQ(W().score, 20);
  EXPECT_FLOAT_EQ(boss.energy, 800 - 60 * kDt);
  EXPECT_EQ(*streams[0], 0);
  for (int s = 1; s < 5; ++s) EXPECT_EQ(*streams[s], 1) << s;

  // Specials are used up by a boss, left and right ones too; the damage
  // depends on the frame time.
  SetUp();
  boss.x = 150;
  boss.y = 20;
  boss.energy = 800;
  ox::App().frameSeconds = 1.0f / 60;
  int& centre = Fire(kCentreSpecial, 300, 100);
  int& right = Fire(kRightSpecial, 300, 150);
  game::CollisionPass();
  EXPECT_EQ(centre, 0);
  EXPECT_EQ(right, 0);
  EXPECT_FLOAT_EQ(boss.energy, 800 - 80.0f / 60 - 60.0f / 60);
  EXPECT_EQ(W().score, 40);

  // A boss above the top of the screen, or with its hit lock, is not hit.
  boss.y = -1;
  Fire(kCentreSpecial, 300, 100);
  game::CollisionPass();
  boss.y = 20;
  boss.hitLock = 1;
  Fire(kCentreSpecial, 300, 100);
  game::CollisionPass();
  EXPECT_EQ(W().score, 40);
}

TEST_F(GameCollision, ScoreStopsAtTheCapAndTheHighScoreFollows) {
  W().score = 999999989;
  Enemy(game::kZak5, 0, 300, 100);
  Fire(kStream1, 310, 110);
  game::CollisionPass();
  EXPECT_EQ(W().score, 999999999);
  EXPECT_EQ(W().highScore, 999999999);
  W().score = 0;
  game::AddScore(20);
  EXPECT_EQ(W().score, 20);
  EXPECT_EQ(W().highScore, 999999999);
}

}  // namespace
