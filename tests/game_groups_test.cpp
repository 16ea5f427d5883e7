// Enemy groups and their bullet kinds: spawn ranges, moves and exits,
// explosion sequences, drawing, the player-hit test and the reset.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <utility>
#include <vector>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "game/enemies/groups.h"
#include "game/world.h"
#include "sound/ox_sound.h"
#include "sound/sound_state.h"
#include "tests/sound_test_support.h"
#include "tests/test_support.h"

namespace {

using namespace game;

EnemyRecord& Rec(Group g, int i) { return W().enemies[g][i]; }
EnemyBullet& Bul(Group g, int kind, int i) { return W().groupBullets[g][kind][i]; }
void SetDt(float seconds) { ox::App().frameSeconds = seconds; }

EnemyRecord& Put(Group g, int i, float x, float y, float vx = 0, float vy = 0, int alive = 1) {
  return Rec(g, i) = EnemyRecord{0, 0, x, y, vx, vy, 0, alive, 0, 0};
}
EnemyBullet& PutBullet(Group g, int k, float x, float y, float vy = 0, int alive = 1) {
  return Bul(g, k, 0) = EnemyBullet{0, x, y, 0, vy, alive};
}
bool Parked(const EnemyRecord& e) { return e.alive == 0 && e.x == kParkX && e.y == kParkY; }
bool In(float v, float lo, float hi) { return v >= lo && v <= hi; }

struct Groups : ::testing::Test {
  void SetUp() override { oxtest::OpenScreen(), ClearWorld(), ox::SeedRandom(20240611), SetDt(0); }
};

TEST_F(Groups, SpawnFillsEveryFreeRecordWithinItsRanges) {
  // Inclusive ranges; a speed range of (-7, -7) means spawn leaves it alone.
  struct Case {
    Group g;
    int records;
    float xlo, xhi, ylo, yhi, vxlo, vxhi, vylo, vyhi;
  };
  const Case cases[] = {{kZak1, 7, 100, 479, -70, -70, -7, -7, 30, 69},
                        {kZak4b, 3, 440, 440, -60, -60, 0, 9, 40, 79},
                        {kZak10a, 3, 0, 0, 0, 199, 50, 99, 50, 109},
                        {kZak12b, 4, 540, 540, 0, 199, 50, 99, -7, -7},
                        {kZak23, 3, 10, 10, 360, 479, 60, 119, 70, 129},
                        {kZak51, 1, 100, 339, -166, -166, -7, -7, 60, 109},
                        {kZak54a, 3, -110, -110, -180, -180, 100, 179, 80, 159}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.g);
    EXPECT_EQ(GroupRecordCount(c.g), c.records);
    for (int round = 0; round < 100; ++round) {
      for (EnemyRecord& e : W().enemies[c.g]) e = {2, 9, 0, 0, -7, -7, 1, 0, 1, 5};
      GroupSpawn(c.g);
      for (int i = 0; i < kMaxGroupRecords; ++i) {
        const EnemyRecord& e = Rec(c.g, i);
        ASSERT_EQ(e.dying, i < c.records ? 0 : 1);  // records beyond the group are untouched
        if (i >= c.records) continue;  // passes and hit lock are kept, the rest starts over
        ASSERT_TRUE(e.alive == 1 && e.explosionFrame == 0 && e.animFrame == 0 &&
                    e.explosionPasses == 2 && e.hitLock == 1);
        ASSERT_TRUE(In(e.x, c.xlo, c.xhi) && In(e.y, c.ylo, c.yhi)) << e.x << "," << e.y;
        ASSERT_TRUE(In(e.vx, c.vxlo, c.vxhi) && In(e.vy, c.vylo, c.vyhi)) << e.vx << "," << e.vy;
      }
    }
  }
  Put(kZak5, 0, 1, 123);  // a record in play is left alone
  GroupSpawn(kZak5);
  EXPECT_EQ(Rec(kZak5, 0).y, 123);
}

TEST_F(Groups, MovesFollowTheirFamilies) {
  // vx 10, vy 20 for half a second, twice: the second move adds as much.
  struct Case {
    Group g;
    float dx, dy;
  };
  const Case cases[] = {{kZak1, 0, 10},    {kZak4b, -5, 10},   {kZak10a, 5, 0},  {kZak10b, -5, 0},
                        {kZak21, 5, 10},   {kZak22, -5, 10},   {kZak23, 5, -10}, {kZak24, -5, -10},
                        {kZak54a, 10, 10}, {kZak54b, -10, 10}, {kZak54d, -5, 0}};
  SetDt(0.5f);
  for (const Case& c : cases) {
    EnemyRecord& e = Put(c.g, 0, 200, 100, 10, 20);
    for (int n = 0; n < 2; ++n) GroupMove(c.g);
    EXPECT_TRUE(e.x == 200 + 2 * c.dx && e.y == 100 + 2 * c.dy) << c.g;
  }
}

TEST_F(Groups, ExitBoundsAreStrictAndIgnoreTheAliveFlag) {
  // (x, y) on the bound stays; (x2, y2) just past it is freed.
  struct Case {
    Group g;
    float x, y, x2, y2;
  };
  const Case cases[] = {
      {kZak5, 300, 480, 300, 480.5f},     {kZak10a, 540, 100, 540.5f, 100},
      {kZak10b, 0, 100, -0.5f, 100},      {kZak12b, 20, 100, 19.5f, 100},
      {kZak21, 540, 480, 540.5f, 100},    {kZak21, 540, 480, 300, 480.5f},
      {kZak22, 10, 480, 9.5f, 100},       {kZak22, 10, 480, 300, 480.5f},
      {kZak23, 540, -900, 540.5f, 300},   {kZak24, 10, -900, 9.5f, 300},
      {kZak54d, -130, 479, -130.5f, 100}, {kZak54b, 300, 480, 300, 480.5f},
  };
  for (const Case& c : cases) {
    for (int alive = 0; alive <= 1; ++alive) {
      EnemyRecord& e = Put(c.g, 0, c.x, c.y, 77, 77, alive);
      e.dying = 1;
      GroupMove(c.g);  // frame seconds 0: only the exit tests run
      EXPECT_TRUE(e.alive == alive && e.x == c.x) << c.g;
      e.x = c.x2, e.y = c.y2;
      GroupMove(c.g);
      EXPECT_TRUE(Parked(e) && e.dying == 1 && e.vx == 77) << c.g;  // the explosion goes on
    }
  }
  // A free record does not move; one freed by the first of two moves stays parked.
  SetDt(0.5f);
  EnemyRecord &e = Put(kZak5, 0, 300, 100, 0, 100, 0), &f = Put(kZak5, 1, 300, 470, 0, 40);
  GroupMove(kZak5);
  GroupMove(kZak5);
  EXPECT_TRUE(e.y == 100 && Parked(f));
}

TEST_F(Groups, ExplosionLastsCellsTimesPassesDraws) {
  struct Case {
    Group g;
    int cells, passes;
    bool stops;
  };
  const Case cases[] = {{kZak1, 10, 5, true},  {kZak4a, 8, 5, true},   {kZak12b, 8, 4, true},
                        {kZak21, 8, 4, false}, {kZak54a, 8, 3, false}, {kZak50a, 8, 4, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.g);
    EnemyRecord& e = Put(c.g, 0, 200, 100, 30, 40);
    GroupHit(c.g, 0);
    for (int n = 1; n < c.cells * c.passes; ++n) {
      GroupDraw(c.g);
      ASSERT_TRUE(e.alive == 1 && e.dying == 1 && e.explosionFrame == n % c.cells &&
                  e.explosionPasses == n / c.cells)
          << n;
    }
    EXPECT_EQ(e.vx + e.vy, c.stops ? 0 : 70);
    GroupDraw(c.g);
    EXPECT_TRUE(Parked(e) && e.dying == 0 && e.explosionFrame == 0 && e.explosionPasses == 0);
  }
  // Freed mid-explosion, a record counts on out of sight.
  EnemyRecord& e = Put(kZak21, 0, kParkX, kParkY, 0, 0, 0);
  e.dying = 1, e.explosionPasses = 1, e.explosionFrame = 2;
  for (int n = 0; n < 6; ++n) GroupDraw(kZak21);
  EXPECT_TRUE(e.explosionFrame == 0 && e.explosionPasses == 2);
}

TEST_F(Groups, HitMarksDyingAndPlaysTheExplosionEveryTime) {
  ASSERT_TRUE(sndtest::WriteData(
      "BOM.WAV", sndtest::Wave(1, 22050, 16, sndtest::Pcm16(sndtest::Square(2205, 50, 9000)))));
  const oxs::SoundObject* boom =
      oxs::ObjectOf(W().assets.bomWav = oxSound::LoadObject("BOM.WAV", 7));
  ASSERT_NE(boom, nullptr);
  GroupSpawn(kZak9);
  GroupHit(kZak9, 1);
  EXPECT_TRUE(Rec(kZak9, 1).dying == 1 && Rec(kZak9, 0).dying == 0 && boom->nextMix == 1);
  GroupDraw(kZak9);
  GroupHit(kZak9, 1);  // again while exploding: the sequence runs on
  EXPECT_TRUE(Rec(kZak9, 1).explosionFrame == 1 && boom->nextMix == 2);
  for (int i : {3, -1}) GroupHit(kZak9, i);  // outside the group: ignored, without a sound
  GroupHit(kZak50a, 1);
  EXPECT_TRUE(Rec(kZak9, 3).dying == 0 && Rec(kZak50a, 1).dying == 0 && boom->nextMix == 2);
}

// Cell n of a test sheet is 24-bit colour (8(n+1), 0x00, 0x40): Px(n) in RGB565.
constexpr uint16_t kBackground = 0x0841;
uint16_t At(int x, int y) { return oxd::Scr().back->pixels[y * 640 + x]; }
uint16_t Px(int n) { return uint16_t((n + 1) << 11 | 0x08); }
void Clear() { oxDraw::FillRect(0, 0, 640, 480, kBackground); }

int LoadSheet(const char* name, int cells, int w, int h) {
  std::vector<uint32_t> px(size_t(cells * w * h));
  for (size_t i = 0; i < px.size(); ++i)
    px[i] = uint32_t(8 * (int(i) % (cells * w) / w + 1)) << 16 | 0x40u;
  EXPECT_TRUE(oxtest::WriteBmp24(oxtest::DataDir() + name, cells * w, h, px.data()));
  return oxDraw::LoadObject(name, 1);
}

TEST_F(Groups, ShipFlameExplosionAndBulletCellsLandWhereTheRecordIs) {
  Clear();
  Assets& a = W().assets;
  a.zak[ZakImage(1)] = LoadSheet("ZAK1.BMP", 1, 60, 70);
  a.zfire1 = LoadSheet("ZFIRE1.BMP", 20, 20, 70);
  a.zbak3 = LoadSheet("ZBAK3.BMP", 10, 80, 80);
  a.val[3] = LoadSheet("VAL1.BMP", 16, 16, 16);
  // ZAK1 at the truncated position, flame cell 19 above it, then cell 0.
  EnemyRecord& z = Put(kZak1, 0, 200.9f, 100.7f);
  z.animFrame = 19;
  GroupDraw(kZak1);
  EXPECT_TRUE(At(200, 100) == Px(0) && At(259, 169) == Px(0) && At(220, 40) == Px(19) &&
              At(239, 99) == Px(19));
  EXPECT_EQ(z.animFrame, 0);
  for (auto [x, y] : {std::pair{199, 100}, {260, 100}, {200, 170}, {240, 99}, {219, 99}})
    EXPECT_EQ(At(x, y), kBackground);
  // A dying ZAK1 draws ZBAK3 cell 9 and no ship.
  z.dying = 1, z.explosionFrame = 9;
  GroupDraw(kZak1);
  EXPECT_TRUE(At(200, 100) == Px(9) && At(279, 179) == Px(9) && At(280, 100) == kBackground);
  // A large ship's explosion is a cluster of eight cells around it.
  Clear();
  Put(kZak50a, 0, 250.5f, 200.5f).dying = 1;
  Rec(kZak50a, 0).explosionFrame = 2;
  GroupDraw(kZak50a);
  const int offsets[8][2] = {{-25, 35}, {135, 35},  {55, -45}, {55, 115},
                             {-2, -22}, {112, -22}, {-2, 92},  {112, 92}};
  for (const auto& o : offsets)
    EXPECT_TRUE(At(250 + o[0], 200 + o[1]) == Px(2) && At(329 + o[0], 279 + o[1]) == Px(2));
  EXPECT_TRUE(At(224, 235) == kBackground && At(305, 154) == kBackground &&
              At(465, 235) == kBackground);
  // An animated bullet cycles 14, 15, 0; a free one is not drawn.
  Clear();
  EnemyBullet& b = Bul(kZak50a, 0, 0) = {14, 400, 300, 0, 0, 1};
  Bul(kZak50a, 0, 1) = {3, 300, 100, 0, 0, 0};
  for (int cell : {14, 15, 0}) {
    BulletDraw(kZak50a, 0);
    EXPECT_TRUE(At(400, 300) == Px(cell) && At(415, 315) == Px(cell));
  }
  EXPECT_TRUE(b.animFrame == 1 && At(300, 100) == kBackground);
}

TEST_F(Groups, BulletsFireFromTheirOwnRecordWithTheKindsOffsetAndSpeed) {
  // ZAK19's five kinds: offset and signed sideways speed, vy 130.
  const int zak19[5][3] = {{32, 40, 0}, {32, 44, -20}, {32, 44, 20}, {32, 30, -40}, {32, 30, 40}};
  for (int i = 0; i < 3; ++i) Put(kZak19, i, float(150 + 100 * i), float(10 * i), 0, 0, i < 2);
  for (int k = 0; k < 5; ++k) Bul(kZak19, k, 0).vx = -3;
  BulletSpawnAll(kZak19);  // record 2 is free and fires all the same
  SetDt(0.5f);
  BulletMoveAll(kZak19);
  for (int k = 0; k < 5; ++k) {
    for (int i = 0; i < 3; ++i) {
      const EnemyBullet& b = Bul(kZak19, k, i);
      EXPECT_TRUE(b.alive == 1 && b.vy == 130 &&
                  b.x == float(150 + 100 * i + zak19[k][0]) + 0.5f * float(zak19[k][2]) &&
                  b.y == float(10 * i + zak19[k][1]) + 65)
          << k << "/" << i;
    }
    EXPECT_EQ(Bul(kZak19, k, 0).vx,
              zak19[k][2] == 0 ? -3 : std::abs(zak19[k][2]));  // straight: unset
    EXPECT_EQ(Bul(kZak19, k, 3).alive, 0);                     // one bullet per enemy record
  }
  // A bullet in flight is not fired again; a freed one is.
  Bul(kZak19, 0, 1).alive = 0;
  BulletSpawn(kZak19, 0);
  EXPECT_TRUE(Bul(kZak19, 0, 0).x == 182 && Bul(kZak19, 0, 1).x == 282);
  // Random speeds: ZAK4a right 30..69 at 100..199; ZAK9's shared 100..149.
  for (int round = 0; round < 300; ++round) {
    ClearWorld();
    BulletSpawn(kZak4a, 0);
    BulletSpawnAll(kZak9);
    const EnemyBullet &z4 = Bul(kZak4a, 0, 0), &z9 = Bul(kZak9, round % 3, 0);
    ASSERT_TRUE(In(z4.vx, 30, 69) && In(z4.vy, 100, 199) && In(z9.vy, 100, 149))
        << z4.vx << "," << z4.vy << "," << z9.vy;
  }
  // One-record ships fire ten-record crossing bursts.
  Put(kZak54c, 0, 100, 50);
  BulletSpawnAll(kZak54c);
  SetDt(1);
  BulletMoveAll(kZak54c);
  for (int i = 0; i < kMaxBulletRecords; ++i) {
    const EnemyBullet &fromRight = Bul(kZak54c, 0, i), &fromLeft = Bul(kZak54c, 1, i);
    for (const EnemyBullet* b : {&fromRight, &fromLeft})
      EXPECT_TRUE(b->alive == 1 && In(b->vx, 20, 69) && In(b->vy, 60, 119));
    EXPECT_TRUE(fromRight.x == 262 - fromRight.vx && fromLeft.x == 162 + fromLeft.vx &&
                fromLeft.y == 150 + fromLeft.vy);
  }
}

TEST_F(Groups, BulletsLeaveOnlyThroughTopAndBottom) {
  struct Case {
    float x, y;
    bool stays;
  };
  const Case cases[] = {{300, -16, true},     {300, -16.5f, false}, {300, 480, true},
                        {300, 480.5f, false}, {-300, 200, true},    {900, 200, true}};
  for (const Case& c : cases) {
    for (int alive = 0; alive <= 1; ++alive) {
      EnemyBullet& b = PutBullet(kZak5, 0, c.x, c.y, 0, alive);
      BulletMove(kZak5, 0);
      EXPECT_TRUE(c.stays ? b.alive == alive && b.x == c.x && b.y == c.y
                          : b.alive == 0 && b.x == kParkX && b.y == kParkY)
          << c.x << "," << c.y;
    }
  }
}

TEST_F(Groups, PlayerHitBoxIsInclusiveAndLeavesTheBullet) {
  Player& p = W().player;
  p.x = 250, p.y = 200;
  // ZAK5 kind 0 has its box top at 24, ZAK19 kind 4 at 20.
  struct Kind {
    Group g;
    int kind;
    float lo;
  };
  for (const Kind& k : {Kind{kZak5, 0, 24}, Kind{kZak19, 4, 20}}) {
    const float points[][3] = {{14, k.lo, 1},    {30, 30, 1},         {13.9f, k.lo, 0},
                               {30.1f, k.lo, 0}, {14, k.lo - .1f, 0}, {14, 30.1f, 0}};
    for (const auto& pt : points) {
      EnemyBullet& b = PutBullet(k.g, k.kind, p.x + pt[0], p.y + pt[1]);
      p.alive = 1;
      BulletMove(k.g, k.kind);
      EXPECT_EQ(p.alive, pt[2] == 1 ? 0 : 1) << k.g << ": " << pt[0] << "," << pt[1];
      EXPECT_EQ(b.alive, 1);  // not removed by the hit
    }
  }
  // Each move tests the player after its step: inside after the second only.
  PutBullet(kZak19, 0, p.x + 20, p.y + 5, 10);
  SetDt(1);
  for (int alive : {1, 0, 1}) {
    BulletMove(kZak19, 0);
    EXPECT_EQ(std::exchange(p.alive, 1), alive);
  }
}

TEST_F(Groups, ResetParksEverythingWithItsExceptions) {
  std::fill_n(&W().enemies[0][0], kGroupCount * kMaxGroupRecords,
              EnemyRecord{3, 4, 5, 6, 7, 8, 1, 1, 1, 6});
  std::fill_n(&W().groupBullets[0][0][0], kGroupCount * kMaxBulletKinds * kMaxBulletRecords,
              EnemyBullet{12, 5, 6, 7, 8, 1});
  ox::SeedRandom(77);
  ResetGroups();
  for (int g = 0; g < kGroupCount; ++g) {
    SCOPED_TRACE(g);
    const bool high = g == kZak9 || g == kZak11 || g == kZak19 || (g >= kZak21 && g <= kZak24);
    const bool randomSpeeds = g == kZak6 || g == kZak10a || g == kZak10b;
    for (int i = 0; i < kMaxGroupRecords; ++i) {
      const EnemyRecord& e = W().enemies[g][i];
      const bool used = i < GroupRecordCount(Group(g));
      EXPECT_TRUE(e.x == (g == kZak7 ? -400 : -500) && e.y == (high ? -500 : 500) && e.alive == 0);
      EXPECT_TRUE(e.dying == 0 && e.hitLock == 0 && e.explosionFrame == 0 && e.animFrame == 0);
      EXPECT_EQ(e.explosionPasses, g == kZak6 && used ? 10 : 0);
      EXPECT_TRUE((randomSpeeds && used) || (e.vx == 0 && e.vy == 0));
    }
  }
  const EnemyBullet* all = &W().groupBullets[0][0][0];
  for (const EnemyBullet& b : std::span(all, kGroupCount * kMaxBulletKinds * kMaxBulletRecords))
    ASSERT_TRUE(b.alive == 0 && b.x == -500 && b.y == 500 && b.vx == 0 && b.vy == 0 &&
                In(float(b.animFrame), 0, 9));
  // Random values come in group order (vx then vy per record), then one
  // phase per bullet record in group, kind and record order.
  ox::SeedRandom(77);
  struct Speeds {
    Group g;
    int vxMod, vxBase, vyMod, vyBase;
  };
  for (const Speeds& s : {Speeds{kZak6, 100, -50, 70, 70},
                          {kZak10a, 200, -50, 100, 100},
                          {kZak10b, 200, -50, 180, 100}}) {
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Rec(s.g, i).vx, float(Rand() % s.vxMod + s.vxBase));
      EXPECT_EQ(Rec(s.g, i).vy, float(Rand() % s.vyMod + s.vyBase));
    }
  }
  int bulletRecords = 0;
  for (int g = 0; g < kGroupCount; ++g)
    for (int k = 0; k < GroupBulletKinds(Group(g)); ++k) {
      const int n = GroupRecordCount(Group(g)) == 1 ? 10 : GroupRecordCount(Group(g));
      for (int i = 0; i < n; ++i, ++bulletRecords)
        ASSERT_EQ(Bul(Group(g), k, i).animFrame, Rand() % 10) << g << "/" << k << "/" << i;
    }
  EXPECT_EQ(bulletRecords, 362);
}

}  // namespace
