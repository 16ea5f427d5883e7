// Enemy groups and their bullet kinds: spawn ranges, moves and exits,
// explosion sequences, drawing, the player-hit test and the reset.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "frame/app_state.h"
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

// A fresh record (or bullet) at a place with speeds.
EnemyRecord& Put(Group g, int i, float x, float y, float vx = 0, float vy = 0, int alive = 1) {
  EnemyRecord& e = Rec(g, i);
  e = EnemyRecord{};
  e.x = x, e.y = y, e.vx = vx, e.vy = vy, e.alive = alive;
  return e;
}
EnemyBullet& PutBullet(Group g, int k, float x, float y, float vy = 0, int alive = 1) {
  EnemyBullet& b = Bul(g, k, 0);
  b = EnemyBullet{};
  b.x = x, b.y = y, b.vy = vy, b.alive = alive;
  return b;
}
bool Parked(const EnemyRecord& e) { return e.alive == 0 && e.x == kParkX && e.y == kParkY; }
bool In(float v, float lo, float hi) { return v >= lo && v <= hi; }

class Groups : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    ClearWorld();
    ox::SeedRandom(20240611);
    SetDt(0);
  }
};

TEST_F(Groups, SpawnFillsEveryFreeRecordWithinItsRanges) {
  // Inclusive ranges; a speed range of (-7, -7) means spawn leaves it alone.
  struct Case {
    Group g;
    int records;
    float xlo, xhi, ylo, yhi, vxlo, vxhi, vylo, vyhi;
  };
  const Case cases[] = {
      {kZak1, 7, 100, 479, -70, -70, -7, -7, 30, 69},
      {kZak4b, 3, 440, 440, -60, -60, 0, 9, 40, 79},
      {kZak10a, 3, 0, 0, 0, 199, 50, 99, 50, 109},
      {kZak12b, 4, 540, 540, 0, 199, 50, 99, -7, -7},
      {kZak54a, 3, -110, -110, -180, -180, 100, 179, 80, 159},
      {kZak23, 3, 10, 10, 360, 479, 60, 119, 70, 129},
      {kZak51, 1, 100, 339, -166, -166, -7, -7, 60, 109},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.g);
    EXPECT_EQ(GroupRecordCount(c.g), c.records);
    for (int round = 0; round < 100; ++round) {
      for (EnemyRecord& e : W().enemies[c.g]) e = {2, 9, 0, 0, -7, -7, 1, 0, 1, 5};
      GroupSpawn(c.g);
      for (int i = 0; i < kMaxGroupRecords; ++i) {
        const EnemyRecord& e = Rec(c.g, i);
        if (i >= c.records) {  // beyond the group: untouched
          ASSERT_EQ(e.dying, 1);
          continue;
        }
        // Passes and hit lock are kept; the rest starts over.
        ASSERT_TRUE(e.alive == 1 && e.dying == 0 && e.explosionFrame == 0 && e.animFrame == 0);
        ASSERT_TRUE(e.explosionPasses == 2 && e.hitLock == 1);
        ASSERT_TRUE(In(e.x, c.xlo, c.xhi) && In(e.y, c.ylo, c.yhi)) << e.x << "," << e.y;
        ASSERT_TRUE(In(e.vx, c.vxlo, c.vxhi) && In(e.vy, c.vylo, c.vyhi)) << e.vx << "," << e.vy;
      }
    }
  }
  // A record in play is left alone.
  Put(kZak5, 0, 1, 123);
  GroupSpawn(kZak5);
  EXPECT_EQ(Rec(kZak5, 0).y, 123);
}

TEST_F(Groups, MovesFollowTheirFamilies) {
  // A drifting column starts on one point and separates by its speeds.
  GroupSpawn(kZak4a);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Rec(kZak4a, i).x == 140 && Rec(kZak4a, i).y == -60);
    Rec(kZak4a, i).vx = float(i), Rec(kZak4a, i).vy = 50;
  }
  SetDt(0.5f);
  GroupMove(kZak4a);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(Rec(kZak4a, i).x, 140 + 0.5f * float(i));

  // vx 10, vy 20 for half a second, twice: the second move adds as much.
  struct Case {
    Group g;
    float dx, dy;
  };
  const Case cases[] = {{kZak1, 0, 10},    {kZak4b, -5, 10},  {kZak10a, 5, 0},  {kZak10b, -5, 0},
                        {kZak21, 5, 10},   {kZak22, -5, 10},  {kZak23, 5, -10}, {kZak24, -5, -10},
                        {kZak54a, 10, 10}, {kZak54b, -10, 10}, {kZak54d, -5, 0}};
  for (const Case& c : cases) {
    EnemyRecord& e = Put(c.g, 0, 200, 100, 10, 20);
    GroupMove(c.g);
    EXPECT_TRUE(e.x == 200 + c.dx && e.y == 100 + c.dy) << c.g;
    GroupMove(c.g);
    EXPECT_TRUE(e.x == 200 + 2 * c.dx && e.y == 100 + 2 * c.dy) << c.g;
  }

  // ZAK54a keeps to 45 degrees whatever its vx.
  ClearWorld();
  GroupSpawn(kZak54a);
  for (int i = 0; i < 3; ++i) Rec(kZak54a, i).vx = float(1000 * i);
  SetDt(0.37f);
  for (int step = 0; step < 4; ++step) GroupMove(kZak54a);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(Rec(kZak54a, i).x + 110, Rec(kZak54a, i).y + 180, 1e-3);

  // ZAK23 and ZAK24 rise through the top and are never freed by it.
  SetDt(10);
  for (Group g : {kZak23, kZak24}) {
    EnemyRecord& e = Put(g, 0, 300, 400, 1, 400);
    GroupMove(g);
    EXPECT_TRUE(e.alive == 1 && e.y == -3600);
  }
}

TEST_F(Groups, ExitBoundsAreStrictAndIgnoreTheAliveFlag) {
  // (x, y) on the bound stays; (x2, y2) just past it is freed.
  struct Case {
    Group g;
    float x, y, x2, y2;
  };
  const Case cases[] = {
      {kZak5, 300, 480, 300, 480.5f},    {kZak10a, 540, 100, 540.5f, 100},
      {kZak10b, 0, 100, -0.5f, 100},     {kZak12b, 20, 100, 19.5f, 100},
      {kZak21, 540, 480, 540.5f, 100},   {kZak21, 540, 480, 300, 480.5f},
      {kZak22, 10, 480, 9.5f, 100},      {kZak22, 10, 480, 300, 480.5f},
      {kZak23, 540, -900, 540.5f, 300},  {kZak24, 10, -900, 9.5f, 300},
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
      EXPECT_TRUE(Parked(e)) << c.g;
      EXPECT_TRUE(e.dying == 1 && e.vx == 77) << c.g;  // the explosion goes on
    }
  }
  // A free record does not move; a record freed by the first of two moves
  // in a frame stays parked through the second.
  SetDt(0.5f);
  EnemyRecord& e = Put(kZak5, 0, 300, 100, 0, 100, 0);
  GroupMove(kZak5);
  EXPECT_EQ(e.y, 100);
  e.alive = 1, e.y = 470, e.vy = 40;
  GroupMove(kZak5);
  GroupMove(kZak5);
  EXPECT_TRUE(Parked(e));
}

TEST_F(Groups, ExplosionLastsCellsTimesPassesDraws) {
  struct Case {
    Group g;
    int cells, passes;
    bool stops;
  };
  const Case cases[] = {{kZak1, 10, 5, true},   {kZak4a, 8, 5, true},   {kZak12b, 8, 4, true},
                        {kZak21, 8, 4, false},  {kZak54a, 8, 3, false}, {kZak50a, 8, 4, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.g);
    GroupSpawn(c.g);
    EnemyRecord& e = Put(c.g, 0, 200, 100, 30, 40);
    GroupHit(c.g, 0);
    for (int n = 1; n < c.cells * c.passes; ++n) {
      GroupDraw(c.g);
      ASSERT_TRUE(e.alive == 1 && e.dying == 1) << n;
      ASSERT_EQ(e.explosionFrame, n % c.cells) << n;
      ASSERT_EQ(e.explosionPasses, n / c.cells) << n;
    }
    EXPECT_EQ(e.vx + e.vy, c.stops ? 0 : 70);
    GroupDraw(c.g);
    EXPECT_TRUE(Parked(e) && e.dying == 0 && e.explosionFrame == 0 && e.explosionPasses == 0);
    if (GroupRecordCount(c.g) > 1) {
      EXPECT_TRUE(Rec(c.g, 1).alive == 1 && Rec(c.g, 1).dying == 0);
    }
  }
  // After the new-game reset a ZAK6 record carries 10 passes: its first
  // explosion ends on its first draw.
  ResetGroups();
  GroupSpawn(kZak6);
  GroupHit(kZak6, 2);
  GroupDraw(kZak6);
  EXPECT_TRUE(Parked(Rec(kZak6, 2)) && Rec(kZak6, 2).explosionPasses == 0);
}

TEST_F(Groups, RecordFreedWhileExplodingKeepsItsPassCount) {
  GroupSpawn(kZak21);
  EnemyRecord& e = Put(kZak21, 0, 500, 100, 100, 0);
  GroupHit(kZak21, 0);
  for (int n = 0; n < 10; ++n) GroupDraw(kZak21);  // pass 1, cell 2
  SetDt(1);
  GroupMove(kZak21);  // flies on over x = 540
  EXPECT_TRUE(Parked(e) && e.dying == 1);
  SetDt(0);
  for (int n = 0; n < 3; ++n) GroupDraw(kZak21);  // counting on out of sight
  EXPECT_TRUE(e.explosionFrame == 5 && e.explosionPasses == 1);
  GroupSpawn(kZak21);
  EXPECT_TRUE(e.alive == 1 && e.dying == 0 && e.explosionFrame == 0 && e.explosionPasses == 1);
  GroupHit(kZak21, 0);  // its next explosion runs three passes, not four
  int draws = 0;
  for (; e.alive == 1 && draws < 100; ++draws) GroupDraw(kZak21);
  EXPECT_EQ(draws, 24);
}

TEST_F(Groups, HitMarksDyingAndPlaysTheExplosionEveryTime) {
  const std::string wave = sndtest::Wave(1, 22050, 16, sndtest::Pcm16(sndtest::Square(2205, 50, 9000)));
  ASSERT_TRUE(sndtest::WriteData("BOM.WAV", wave));
  W().assets.bomWav = oxSound::LoadObject("BOM.WAV", 7);
  const oxs::SoundObject* boom = oxs::ObjectOf(W().assets.bomWav);
  ASSERT_NE(boom, nullptr);
  GroupSpawn(kZak9);
  GroupHit(kZak9, 1);
  EXPECT_TRUE(Rec(kZak9, 1).dying == 1 && Rec(kZak9, 0).dying == 0);
  EXPECT_EQ(boom->nextMix, 1);
  GroupDraw(kZak9);
  GroupHit(kZak9, 1);  // again while exploding: the sequence runs on
  EXPECT_TRUE(Rec(kZak9, 1).dying == 1 && Rec(kZak9, 1).explosionFrame == 1);
  EXPECT_EQ(boom->nextMix, 2);
  // Indices outside the group are ignored, without a sound.
  GroupHit(kZak9, 3);
  GroupHit(kZak9, -1);
  GroupHit(kZak50a, 1);
  EXPECT_TRUE(Rec(kZak9, 3).dying == 0 && Rec(kZak50a, 1).dying == 0);
  EXPECT_EQ(boom->nextMix, 2);
}

// ---------------------------------------------------------------- drawing

constexpr uint16_t kBackground = 0x0841;
uint16_t At(int x, int y) { return oxd::Scr().back->pixels[y * 640 + x]; }
// Cell n of a test sheet is 24-bit colour (8(n+1), 0x00, 0x40): RGB565 below.
uint32_t Cell(int n) { return uint32_t(8 * (n + 1)) << 16 | 0x40u; }
uint16_t Px(int n) { return uint16_t((n + 1) << 11 | 0x08); }

int LoadSheet(const char* name, int cells, int w, int h) {
  std::vector<uint32_t> px(size_t(cells * w * h));
  for (size_t i = 0; i < px.size(); ++i) px[i] = Cell(int(i) % (cells * w) / w);
  EXPECT_TRUE(oxtest::WriteBmp24(oxtest::DataDir() + name, cells * w, h, px.data()));
  return oxDraw::LoadObject(name, 1);
}

class GroupDrawing : public Groups {
 protected:
  void SetUp() override {
    Groups::SetUp();
    oxDraw::SetClip(130, 0, 510, 480);
    oxDraw::FillRect(0, 0, 640, 480, kBackground);
  }
};

TEST_F(GroupDrawing, ShipFlameExplosionAndBulletCellsLandWhereTheRecordIs) {
  Assets& a = W().assets;
  a.zak[ZakImage(1)] = LoadSheet("ZAK1.BMP", 1, 60, 70);
  a.zfire1 = LoadSheet("ZFIRE1.BMP", 20, 20, 70);
  a.zbak3 = LoadSheet("ZBAK3.BMP", 10, 80, 80);
  a.val[3] = LoadSheet("VAL1.BMP", 16, 16, 16);

  // ZAK1 at the truncated position, flame cell 19 above it, then cell 0.
  EnemyRecord& z = Put(kZak1, 0, 200.9f, 100.7f);
  z.animFrame = 19;
  GroupDraw(kZak1);
  EXPECT_TRUE(At(200, 100) == Px(0) && At(259, 169) == Px(0));
  EXPECT_TRUE(At(199, 100) == kBackground && At(260, 100) == kBackground &&
              At(200, 170) == kBackground);
  EXPECT_TRUE(At(220, 40) == Px(19) && At(239, 99) == Px(19));
  EXPECT_TRUE(At(240, 99) == kBackground && At(219, 99) == kBackground);
  EXPECT_EQ(z.animFrame, 0);

  // A dying ZAK1 draws ZBAK3 cell 9 and no ship.
  oxDraw::FillRect(0, 0, 640, 480, kBackground);
  z.dying = 1, z.explosionFrame = 9;
  GroupDraw(kZak1);
  EXPECT_TRUE(At(200, 100) == Px(9) && At(279, 179) == Px(9) && At(280, 100) == kBackground);

  // A large ship's explosion is a cluster of eight cells around it.
  oxDraw::FillRect(0, 0, 640, 480, kBackground);
  EnemyRecord& big = Put(kZak50a, 0, 250.5f, 200.5f);
  big.dying = 1, big.explosionFrame = 2;
  GroupDraw(kZak50a);
  const int offsets[8][2] = {{-25, 35}, {135, 35}, {55, -45}, {55, 115},
                             {-2, -22}, {112, -22}, {-2, 92}, {112, 92}};
  for (const auto& o : offsets)
    EXPECT_TRUE(At(250 + o[0], 200 + o[1]) == Px(2) && At(329 + o[0], 279 + o[1]) == Px(2));
  EXPECT_TRUE(At(224, 235) == kBackground && At(305, 154) == kBackground &&
              At(465, 235) == kBackground);

  // An animated bullet draws its cell and cycles 14, 15, 0; a free one is
  // not drawn.
  oxDraw::FillRect(0, 0, 640, 480, kBackground);
  EnemyBullet& b = PutBullet(kZak50a, 0, 400, 300);
  b.animFrame = 14;
  Bul(kZak50a, 0, 1) = {3, 300, 100, 0, 0, 0};
  for (int cell : {14, 15, 0}) {
    BulletDraw(kZak50a, 0);
    EXPECT_TRUE(At(400, 300) == Px(cell) && At(415, 315) == Px(cell));
  }
  EXPECT_TRUE(b.animFrame == 1 && At(300, 100) == kBackground);

  // Parked records draw nothing in the playfield.
  oxDraw::FillRect(0, 0, 640, 480, kBackground);
  ResetGroups();
  for (int g = 0; g < kGroupCount; ++g) GroupDraw(Group(g));
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) ASSERT_EQ(At(x, y), kBackground) << x << "," << y;
}

// ---------------------------------------------------------------- bullets

TEST_F(Groups, BulletsFireFromTheirOwnRecordWithTheKindsOffsetAndSpeed) {
  // ZAK19's five kinds: offset and signed sideways speed, vy 130.
  const int zak19[5][3] = {{32, 40, 0}, {32, 44, -20}, {32, 44, 20}, {32, 30, -40}, {32, 30, 40}};
  EXPECT_EQ(GroupBulletKinds(kZak19), 5);
  for (int i = 0; i < 3; ++i) Put(kZak19, i, float(150 + 100 * i), float(10 * i), 0, 0, i < 2);
  for (int k = 0; k < 5; ++k) Bul(kZak19, k, 0).vx = -3;
  BulletSpawnAll(kZak19);  // record 2 is free and fires all the same
  SetDt(0.5f);
  BulletMoveAll(kZak19);
  for (int k = 0; k < 5; ++k) {
    for (int i = 0; i < 3; ++i) {
      const EnemyBullet& b = Bul(kZak19, k, i);
      EXPECT_TRUE(b.alive == 1 && b.vy == 130) << k;
      EXPECT_FLOAT_EQ(b.x, float(150 + 100 * i + zak19[k][0]) + 0.5f * float(zak19[k][2]));
      EXPECT_FLOAT_EQ(b.y, float(10 * i + zak19[k][1]) + 65);
    }
    const int side = zak19[k][2];
    EXPECT_EQ(Bul(kZak19, k, 0).vx, side == 0 ? -3 : side < 0 ? -side : side);  // straight: unset
    EXPECT_EQ(Bul(kZak19, k, 3).alive, 0);  // one bullet per enemy record
  }
  // A bullet in flight is not fired again; a freed one is.
  Bul(kZak19, 0, 1).alive = 0;
  BulletSpawn(kZak19, 0);
  EXPECT_TRUE(Bul(kZak19, 0, 0).x == 182 && Bul(kZak19, 0, 1).x == 282);

  // Random speeds: ZAK4a right 30..69 at 100..199; ZAK9's shared 100..149.
  for (int round = 0; round < 100; ++round) {
    ClearWorld();
    BulletSpawn(kZak4a, 0);
    BulletSpawnAll(kZak9);
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(In(Bul(kZak4a, 0, i).vx, 30, 69) && In(Bul(kZak4a, 0, i).vy, 100, 199));
      for (int k = 0; k < 3; ++k) ASSERT_TRUE(In(Bul(kZak9, k, i).vy, 100, 149));
    }
  }
  BulletMove(kZak4a, 0);
  EXPECT_FLOAT_EQ(Bul(kZak4a, 0, 0).x, 22 + 0.5f * Bul(kZak4a, 0, 0).vx);
}

TEST_F(Groups, LargeGroupsFireTenRecordCrossingBursts) {
  Put(kZak54c, 0, 100, 50);
  BulletSpawnAll(kZak54c);
  SetDt(1);
  BulletMoveAll(kZak54c);
  for (int i = 0; i < kMaxBulletRecords; ++i) {
    const EnemyBullet& fromRight = Bul(kZak54c, 0, i);
    const EnemyBullet& fromLeft = Bul(kZak54c, 1, i);
    for (const EnemyBullet* b : {&fromRight, &fromLeft})
      EXPECT_TRUE(b->alive == 1 && In(b->vx, 20, 69) && In(b->vy, 60, 119));
    EXPECT_FLOAT_EQ(fromRight.x, 262 - fromRight.vx);
    EXPECT_FLOAT_EQ(fromLeft.x, 162 + fromLeft.vx);
    EXPECT_FLOAT_EQ(fromLeft.y, 150 + fromLeft.vy);
  }
}

TEST_F(Groups, BulletsLeaveOnlyThroughTopAndBottom) {
  struct Case {
    float x, y;
    bool stays;
  };
  const Case cases[] = {{300, -16, true}, {300, -16.5f, false}, {300, 480, true},
                        {300, 480.5f, false}, {-300, 200, true}, {900, 200, true}};
  for (const Case& c : cases) {
    for (int alive = 0; alive <= 1; ++alive) {
      EnemyBullet& b = PutBullet(kZak5, 0, c.x, c.y, 0, alive);
      BulletMove(kZak5, 0);
      EXPECT_TRUE(c.stays ? b.alive == alive && b.x == c.x && b.y == c.y
                          : b.alive == 0 && b.x == kParkX && b.y == kParkY) << c.x << "," << c.y;
    }
  }
  // A bullet fired from a parked record is freed by the next move.
  ResetGroups();
  BulletSpawn(kZak5, 0);
  EXPECT_EQ(Bul(kZak5, 0, 0).alive, 1);
  BulletMove(kZak5, 0);
  EXPECT_EQ(Bul(kZak5, 0, 0).alive, 0);
}

TEST_F(Groups, PlayerHitBoxIsInclusiveAndLeavesTheBullet) {
  Player& p = W().player;
  p.x = 250, p.y = 200;
  // ZAK5 kind 0 has its box top at 24, ZAK19 kind 4 at 20.
  for (auto [g, kind, lo] : {std::tuple{kZak5, 0, 24.f}, std::tuple{kZak19, 4, 20.f}}) {
    const float points[][3] = {{14, lo, 1},       {30, lo, 1},        {14, 30, 1},
                               {30, 30, 1},       {13.9f, lo, 0},     {30.1f, lo, 0},
                               {14, lo - .1f, 0}, {14, 30.1f, 0},     {30.1f, 30, 0}};
    for (const auto& pt : points) {
      EnemyBullet& b = PutBullet(g, kind, p.x + pt[0], p.y + pt[1]);
      p.alive = 1;
      BulletMove(g, kind);
      EXPECT_EQ(p.alive, pt[2] == 1 ? 0 : 1) << g << ": " << pt[0] << "," << pt[1];
      EXPECT_EQ(b.alive, 1);  // not removed by the hit
    }
  }
  p.alive = 1;
  // Three moves in a frame test the player after each step: this bullet is
  // inside the box after the second step only.
  PutBullet(kZak19, 0, p.x + 20, p.y + 5, 10);
  SetDt(1);
  BulletMove(kZak19, 0);
  EXPECT_EQ(p.alive, 1);
  BulletMove(kZak19, 0);
  EXPECT_EQ(p.alive, 0);
  p.alive = 1;
  BulletMove(kZak19, 0);
  EXPECT_EQ(p.alive, 1);

  // Parked bullets never kill a ship anywhere on the screen.
  SetDt(0);
  ResetGroups();
  for (float px = 100; px <= 500; px += 10) {
    for (float py = -70; py <= 480; py += 10) {
      p.x = px, p.y = py, p.alive = 1;
      for (int g = 0; g < kGroupCount; ++g) BulletMoveAll(Group(g));
      ASSERT_EQ(p.alive, 1) << px << "," << py;
    }
  }
}

TEST_F(Groups, ResetParksEverythingWithItsExceptions) {
  for (auto& group : W().enemies)
    for (EnemyRecord& e : group) e = {3, 4, 5, 6, 7, 8, 1, 1, 1, 6};
  for (auto& group : W().groupBullets)
    for (auto& kind : group)
      for (EnemyBullet& b : kind) b = {12, 5, 6, 7, 8, 1};
  ox::SeedRandom(77);
  ResetGroups();

  for (int g = 0; g < kGroupCount; ++g) {
    SCOPED_TRACE(g);
    const bool high = g == kZak9 || g == kZak11 || g == kZak19 || g == kZak21 || g == kZak22 ||
                      g == kZak23 || g == kZak24;
    const bool randomSpeeds = g == kZak6 || g == kZak10a || g == kZak10b;
    for (int i = 0; i < kMaxGroupRecords; ++i) {
      const EnemyRecord& e = W().enemies[g][i];
      const bool used = i < GroupRecordCount(Group(g));
      EXPECT_EQ(e.x, g == kZak7 ? -400 : -500);
      EXPECT_EQ(e.y, high ? -500 : 500);
      EXPECT_TRUE(e.alive == 0 && e.dying == 0 && e.hitLock == 0 && e.explosionFrame == 0 &&
                  e.animFrame == 0);
      EXPECT_EQ(e.explosionPasses, g == kZak6 && used ? 10 : 0);
      if (!randomSpeeds || !used) {
        EXPECT_TRUE(e.vx == 0 && e.vy == 0);
      }
    }
    for (auto& kind : W().groupBullets[g])
      for (const EnemyBullet& b : kind)
        ASSERT_TRUE(b.alive == 0 && b.x == -500 && b.y == 500 && b.vx == 0 && b.vy == 0 &&
                    In(float(b.animFrame), 0, 9));
  }

  // Random values come in group order (vx then vy per record), then one
  // phase per bullet record in group, kind and record order.
  ox::SeedRandom(77);
  const int ranges[3][3] = {{100, -50, 70}, {200, -50, 100}, {200, -50, 180}};
  const int vyBase[3] = {70, 100, 100};
  const Group randomGroups[3] = {kZak6, kZak10a, kZak10b};
  for (int r = 0; r < 3; ++r) {
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Rec(randomGroups[r], i).vx, float(Rand() % ranges[r][0] + ranges[r][1]));
      EXPECT_EQ(Rec(randomGroups[r], i).vy, float(Rand() % ranges[r][2] + vyBase[r]));
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
