// The collision pass: shot motion and expiry, entry lines, hit boxes,
// points by shot kind, pass-through, bosses and the score cap.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <vector>

#include "core/app_state.h"
#include "game/collision.h"
#include "game/enemies/groups.h"
#include "game/world.h"
#include "tests/test_support.h"

namespace {

using game::W;

constexpr float kDt = 1.0f / 30;
enum Kind {
  kCentreSpecial,
  kLeftSpecial,
  kRightSpecial,
  kStream1,
  kStream2,
  kStream3,
  kStream4,
  kStream5
};

struct GameCollision : ::testing::Test {
  void SetUp() override {
    oxtest::OpenScreen();
    game::ClearWorld();
    ParkAll();
    W().highScore = 5000;
    ox::App().frameSeconds = kDt;
  }

  static void ParkAll() {
    for (auto& group : W().enemies)
      for (game::EnemyRecord& e : group) e = {0, 0, game::kParkX, game::kParkY, 0, 0, 0, 0, 0, 0};
    for (game::BossRecord& b : W().bosses)
      b = game::BossRecord{}, b.x = game::kParkX, b.y = game::kParkY;
    ClearShots();
  }
  static void ClearShots() {
    for (auto& stream : W().shots) std::fill(std::begin(stream), std::end(stream), game::Shot{});
    for (auto& array : W().specials) std::fill(std::begin(array), std::end(array), game::Special{});
  }
  static game::EnemyRecord& Enemy(game::Group g, int i, float x, float y) {
    game::EnemyRecord& e = W().enemies[g][i];
    e.x = x, e.y = y, e.alive = 1;
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
    s = {x + 0.5f - kSide[stream] * kDt, y + 0.5f + 400 * kDt, stream >= 3 ? 100.0f : 0.0f, 400, 1};
    return s.active;
  }
};

TEST_F(GameCollision, EnemiesAboveTheirEntryLineCannotBeHit) {
  // ZAK1 enters from -45; ZAK13 takes right special shots only from y -3, other shots from -30.
  struct Case {
    game::Group g;
    float y;
    Kind kind;
    int shotY, points;
  };
  const Case cases[] = {
      {game::kZak1, -70, kCentreSpecial, -40, 0},  {game::kZak1, -46, kCentreSpecial, -40, 0},
      {game::kZak1, -45, kCentreSpecial, -40, 20}, {game::kZak13, -10, kRightSpecial, 0, 0},
      {game::kZak13, -10, kLeftSpecial, 0, 20},    {game::kZak13, -3, kRightSpecial, 0, 20}};
  for (const Case& c : cases) {
    SetUp();
    game::EnemyRecord& e = Enemy(c.g, 0, 300, c.y);
    Fire(c.kind, 300, c.shotY);
    game::CollisionPass();
    EXPECT_TRUE(W().score == c.points && e.dying == (c.points > 0))
        << c.g << " at " << c.y << " by " << c.kind;
  }
}

TEST_F(GameCollision, PointsAndPassThroughDependOnTheShotKind) {
  // ZAK1 gives 1 point to right specials and shot records, 20 to centre and left specials;
  // any other group 20 to everything. Only centre specials and shot records are used up.
  struct Case {
    Kind kind;
    int zak1Points;
    bool usedUp;
  };
  const Case cases[] = {{kCentreSpecial, 20, true}, {kLeftSpecial, 20, false},
                        {kRightSpecial, 1, false},  {kStream1, 1, true},
                        {kStream2, 1, true},        {kStream5, 1, true}};
  for (const Case& c : cases) {
    for (game::Group g : {game::kZak1, game::kZak4a}) {
      SetUp();
      game::EnemyRecord& e = Enemy(g, 2, 300, 100);
      int& active = Fire(c.kind, 310, 110);
      game::CollisionPass();
      EXPECT_TRUE(W().score == (g == game::kZak1 ? c.zak1Points : 20) &&
                  active == (c.usedUp ? 0 : 1) && e.dying == 1)
          << c.kind << " group " << g;
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
  EXPECT_TRUE(W().score == 20 && free.dying == 1);
}

TEST_F(GameCollision, OneShotStrikesEveryEnemyItOverlaps) {
  // A left special through a row of three ZAK5 ships scores 60 and flies on.
  for (int i = 0; i < 3; ++i) Enemy(game::kZak5, i, 250.0f + 50 * i, 100);
  int& special = Fire(kLeftSpecial, 300, 110);
  game::CollisionPass();
  EXPECT_TRUE(W().score == 60 && special == 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(W().enemies[game::kZak5][i].dying, 1) << i;

  // A shot overlapping two ships (already exploding) scores 40 and is used up.
  SetUp();
  Enemy(game::kZak5, 0, 290, 100).dying = 1;
  Enemy(game::kZak6, 2, 295, 100);
  int& shot = Fire(kStream4, 300, 110, 7);
  game::CollisionPass();
  EXPECT_TRUE(W().score == 40 && shot == 0 && W().enemies[game::kZak6][2].dying == 1);
}

TEST_F(GameCollision, ShotsMoveRetireAndAreCounted) {
  ox::App().frameSeconds = 0.05f;
  game::Shot& up = W().shots[0][5] = {200, 5, 0, 400, 1};
  game::Shot& left = W().shots[3][5] = {200, 100, 100, 400, 1};
  game::Shot& right = W().shots[4][9] = {200, 100, 100, 400, 1};
  game::Special& sp = W().specials[game::kRight][4] = {400, -41, 4, 20, 1};
  // A ZAK50a ship whose shot box reaches 60 pixels above it.
  game::EnemyRecord& e = Enemy(game::kZak50a, 0, 140, -20);
  game::CollisionPass();
  EXPECT_TRUE(up.y == -15 && up.active == 0 && e.dying == 1 &&
              W().score == 20);  // retired above -10, still strikes
  EXPECT_TRUE(left.x == 195 && right.x == 205);
  EXPECT_TRUE(sp.active == 0 && sp.x == 404 && sp.y == -61);  // retired where it is, not parked
  EXPECT_TRUE(W().shotCount == 3 && W().specialCount == 1);
  W().shotCount = W().specialCount = 0;
  game::CollisionPass();  // retired records are skipped from now on
  EXPECT_TRUE(W().shotCount == 2 && W().specialCount == 0);
}

TEST_F(GameCollision, OnlyStreamOneAndSpecialsDamageBosses) {
  game::BossRecord& boss = W().bosses[2];
  boss.x = 150, boss.y = 20, boss.energy = 800;
  int* streams[5];
  for (int s = 0; s < 5; ++s) streams[s] = &Fire(static_cast<Kind>(kStream1 + s), 400, 120, s);
  game::CollisionPass();
  EXPECT_TRUE(W().score == 20 && *streams[0] == 0);
  EXPECT_FLOAT_EQ(boss.energy, 800 - 60 * kDt);
  for (int s = 1; s < 5; ++s) EXPECT_EQ(*streams[s], 1) << s;

  // Specials are used up by a boss, left and right ones too; the damage depends on the frame time.
  SetUp();
  boss.x = 150, boss.y = 20, boss.energy = 800;
  ox::App().frameSeconds = 1.0f / 60;
  int& centre = Fire(kCentreSpecial, 300, 100);
  int& right = Fire(kRightSpecial, 300, 150);
  game::CollisionPass();
  EXPECT_TRUE(centre == 0 && right == 0 && W().score == 40);
  EXPECT_FLOAT_EQ(boss.energy, 800 - 80.0f / 60 - 60.0f / 60);

  // A boss above the top of the screen, or with its hit lock, is not hit.
  boss.y = -1;
  Fire(kCentreSpecial, 300, 100);
  game::CollisionPass();
  boss.y = 20, boss.hitLock = 1;
  Fire(kCentreSpecial, 300, 100);
  game::CollisionPass();
  EXPECT_EQ(W().score, 40);
}

TEST_F(GameCollision, HitBoxEdgesHoldWhateverElseIsInFlight) {
  // Each edge of a box, one pixel in and one pixel out, with the shot alone
  // and with another shot far across the screen in the same pass: a ZAK5
  // ship at (300, 100) takes shot records at x 295..380, y 90..150; boss 0
  // at (100, 50) takes stream 1 at x 200..375, y 60..250.
  struct Case {
    bool boss;
    int x, y;
    bool hit;
  };
  const Case cases[] = {
      {false, 295, 120, true}, {false, 294, 120, false}, {false, 380, 120, true},
      {false, 381, 120, false}, {false, 330, 90, true},  {false, 330, 89, false},
      {false, 330, 150, true}, {false, 330, 151, false}, {true, 200, 60, true},
      {true, 199, 60, false},  {true, 375, 250, true},   {true, 376, 250, false},
      {true, 300, 59, false},  {true, 300, 251, false}};
  for (const Case& c : cases) {
    for (bool companion : {false, true}) {
      SetUp();
      game::EnemyRecord& e = Enemy(game::kZak5, 0, 300, 100);
      game::BossRecord& boss = W().bosses[0];
      if (c.boss) e.x = game::kParkX, e.y = game::kParkY, boss.x = 100, boss.y = 50;
      int& active = Fire(c.boss ? kStream1 : kStream2, c.x, c.y, 3);
      if (companion) Fire(kStream3, 20, 460, 90);
      game::CollisionPass();
      EXPECT_TRUE(W().score == (c.hit ? 20 : 0) && active == (c.hit ? 0 : 1) &&
                  (c.boss ? boss.hitFlash : e.dying) == (c.hit ? 1 : 0))
          << (c.boss ? "boss" : "ZAK5") << " shot at " << c.x << "," << c.y
          << (companion ? " with a companion" : "");
    }
  }
}

TEST_F(GameCollision, ScoreStopsAtTheCapAndTheHighScoreFollows) {
  W().score = 999999989;
  Enemy(game::kZak5, 0, 300, 100);
  Fire(kStream1, 310, 110);
  game::CollisionPass();
  EXPECT_TRUE(W().score == 999999999 && W().highScore == 999999999);
  W().score = 0;
  game::AddScore(20);
  EXPECT_TRUE(W().score == 20 && W().highScore == 999999999);
}

// Hits change no target's place and no shot but the one that hit, so a pass
// with many shots must come out as the shots one by one would: the same
// ships exploding, the same shots used up, the same score. Shots spread
// over the screen (and far beyond it, where the pass tests every target)
// against ships of every group.
TEST_F(GameCollision, ManyShotsHitWhatEachWouldAlone) {
  std::mt19937 rng(4242);
  auto any = [&](int lo, int hi) { return lo + int(rng() % uint32_t(hi - lo + 1)); };
  struct Outcome {
    int score = 0;
    std::vector<int> dying, active;
  };
  auto outcome = [] {
    Outcome o;
    o.score = W().score;
    for (auto& group : W().enemies)
      for (const game::EnemyRecord& e : group) o.dying.push_back(e.dying);
    for (auto& array : W().specials)
      for (const game::Special& sp : array) o.active.push_back(sp.active);
    for (auto& stream : W().shots)
      for (const game::Shot& sh : stream) o.active.push_back(sh.active);
    return o;
  };
  int hits = 0;
  for (int trial = 0; trial < 200; ++trial) {
    SCOPED_TRACE(trial);
    SetUp();
    const bool far = trial % 4 == 3;
    for (int g = 0; g < game::kGroupCount; ++g) {
      const int count = game::GroupRecordCount(game::Group(g));
      for (int i = 0; i < count; ++i)
        if (rng() % 3 == 0) Enemy(game::Group(g), i, float(any(-40, 620)), float(any(0, 440)));
    }
    // A shot at (0, 0) puts the edges of the pass's 32-pixel cells on
    // multiples of 32, and the other shots sit on both sides of them.
    Fire(kStream2, 0, 0, 0);
    auto edge = [&](int cells) { return 32 * any(1, cells) - any(0, 1); };
    for (int n = any(5, 60); n > 0; --n) {
      const Kind kind = Kind(any(0, 7));
      const int x = far ? any(-1500, 2000) : rng() % 2 ? edge(19) : any(0, 639);
      const int y = rng() % 2 ? edge(14) : any(0, 470);
      Fire(kind, x, y, kind <= kRightSpecial ? any(0, game::kSpecialSlots - 1)
                                             : any(0, game::kShotSlots - 1));
    }
    static game::World start;
    start = W();
    const auto& specials = start.specials;
    const auto& shots = start.shots;
    game::CollisionPass();
    const Outcome all = outcome();

    // Each shot alone, from the same start.
    Outcome alone = all;
    alone.score = 0;
    std::fill(alone.dying.begin(), alone.dying.end(), 0);
    size_t slot = 0;
    auto one = [&](auto&& place) {
      ClearShots();
      W().score = 0;
      std::copy(&start.enemies[0][0],
                &start.enemies[0][0] + game::kGroupCount * game::kMaxGroupRecords,
                &W().enemies[0][0]);
      place();
      game::CollisionPass();
      const Outcome o = outcome();
      alone.score += o.score;
      for (size_t k = 0; k < o.dying.size(); ++k) alone.dying[k] |= o.dying[k];
      alone.active[slot] = o.active[slot];
    };
    for (size_t a = 0; a < std::size(specials); ++a)
      for (size_t i = 0; i < std::size(specials[a]); ++i, ++slot)
        if (specials[a][i].active) one([&] { W().specials[a][i] = specials[a][i]; });
    for (size_t st = 0; st < std::size(shots); ++st)
      for (size_t i = 0; i < std::size(shots[st]); ++i, ++slot)
        if (shots[st][i].active) one([&] { W().shots[st][i] = shots[st][i]; });
    EXPECT_EQ(all.score, alone.score);
    EXPECT_TRUE(all.dying == alone.dying);
    EXPECT_TRUE(all.active == alone.active);
    hits += all.score > 0;
  }
  EXPECT_GT(hits, 120);
}

}  // namespace
