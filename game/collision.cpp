// The collision pass: moves the player's shots and special shots, tests
// them against every enemy group and boss, scores the hits, and counts the
// shots in flight.
#include "game/collision.h"

#include "core/ox_app.h"
#include "game/enemies/bosses.h"
#include "game/enemies/groups.h"
#include "game/world.h"

namespace game {

namespace {

constexpr int kScoreCap = 999999999;
constexpr int kHitPoints = 20;

// Inclusive offsets from a target's truncated position.
struct Box {
  int x0, x1, y0, y1;
};

// One enemy group as a target: the smallest y at which hits count (with its
// own value for right special shots), the box for special shots and the box
// for shot records, and the points a right special shot or a shot record
// earns (centre and left special shots always earn 20).
struct GroupTarget {
  float entry;
  float rightEntry;
  Box special;
  Box shot;
  int lowPoints;
};

// In Group order, which is the order the pass tests the groups.
constexpr GroupTarget kGroupTargets[kGroupCount] = {
    // entry rightEntry  special box           shot box             points
    {-45, -45, {-60, 60, -60, 50}, {-5, 60, -10, 50}, 1},       // ZAK1
    {-50, -50, {-60, 60, -60, 50}, {-5, 60, -10, 50}, 20},      // ZAK4a
    {-50, -50, {-60, 60, -60, 50}, {-5, 60, -10, 50}, 20},      // ZAK4b
    {-30, -30, {-60, 80, -60, 50}, {-5, 80, -10, 50}, 20},      // ZAK5
    {-30, -30, {-60, 80, -60, 50}, {-5, 80, -10, 50}, 20},      // ZAK6
    {-30, -30, {-60, 80, -60, 50}, {-5, 80, -10, 50}, 20},      // ZAK7
    {-30, -30, {-60, 100, -60, 50}, {-5, 100, -10, 50}, 20},    // ZAK9
    {-60, -60, {-60, 100, -60, 50}, {-5, 100, -10, 50}, 20},    // ZAK10a
    {-60, -60, {-60, 100, -60, 50}, {-5, 100, -10, 50}, 20},    // ZAK10b
    {-30, -30, {-60, 80, -60, 50}, {-5, 80, -10, 50}, 20},      // ZAK11
    {-30, -30, {-60, 80, -60, 50}, {-5, 80, -10, 50}, 20},      // ZAK12a
    {-30, -30, {-50, 80, -60, 50}, {-5, 80, -10, 50}, 20},      // ZAK12b
    {-30, -3, {-60, 80, -60, 50}, {-5, 80, -10, 50}, 20},       // ZAK13
    {-30, -30, {-60, 80, -60, 50}, {-5, 80, -10, 50}, 20},      // ZAK14
    {-30, -30, {80, 100, -60, 50}, {80, 155, -10, 50}, 20},     // ZAK54a
    {-30, -30, {80, 100, -60, 50}, {80, 155, -10, 50}, 20},     // ZAK54b
    {-30, -30, {-60, 80, -60, 50}, {0, 75, -10, 50}, 20},       // ZAK19
    {-30, -30, {0, 30, -60, 50}, {0, 85, -10, 50}, 20},         // ZAK21
    {-30, -30, {0, 30, -60, 50}, {0, 85, -10, 50}, 20},         // ZAK22
    {-30, -30, {0, 30, -60, 50}, {0, 85, -10, 50}, 20},         // ZAK23
    {-30, -30, {0, 30, -60, 50}, {0, 85, -10, 50}, 20},         // ZAK24
    {-30, -30, {60, 80, -60, 50}, {60, 135, -60, 50}, 20},      // ZAK50a
    {-30, -30, {60, 80, -60, 50}, {60, 135, -60, 50}, 20},      // ZAK50b
    {-30, -30, {60, 80, -60, 50}, {60, 135, -60, 50}, 20},      // ZAK51
    {-30, -30, {60, 80, -60, 50}, {60, 135, -60, 50}, 20},      // ZAK52
    {-30, -30, {60, 80, -60, 50}, {60, 135, -60, 50}, 20},      // ZAK53
    {-30, -30, {60, 120, -60, 50}, {60, 175, -60, 50}, 20},     // ZAK54c
    {-30, -30, {60, 120, -60, 50}, {60, 175, -60, 50}, 20},     // ZAK54d
};

// Bosses by stage: the x range of the special-shot box and of the stream-1
// box; both reach from 10 to 200 below the boss's y.
struct BossTarget {
  int specialX0, specialX1;
  int shotX0, shotX1;
};
constexpr BossTarget kBossTargets[kBossCount] = {
    // special   stream 1
    {100, 220, 100, 275},  // BOS11
    {100, 200, 100, 255},  // BOS21
    {100, 280, 100, 335},  // BOS31
    {100, 260, 100, 315},  // BOS41
    {50, 250, 100, 255},   // BOS51
    {50, 370, 100, 375},   // BOS61
    {50, 390, 100, 395},   // BOS71
    {50, 310, 100, 315},   // BOS81
};
constexpr int kBossY0 = 10;
constexpr int kBossY1 = 200;

// What each kind of shot does on a hit.
enum Family { kCentreSpecial, kLeftSpecial, kRightSpecial, kStreamOne, kOtherStream };
struct FamilyRule {
  bool special;          // tested with the special box, else the shot box
  bool usedUpByEnemies;  // left and right special shots fly on through enemies
  bool lowPoints;        // earns the group's low points (ZAK1: 1 instead of 20)
  bool testsBosses;
  float bossRate;        // boss energy per second of a hit
};
constexpr FamilyRule kFamilies[] = {
    // special  used up  low pts  bosses  rate
    {true, true, false, true, 80},     // centre special
    {true, false, false, true, 60},    // left special
    {true, false, true, true, 60},     // right special
    {false, true, true, true, 60},     // shot stream 1
    {false, true, true, false, 0},     // shot streams 2 to 5
};

constexpr Family kSpecialFamilies[kSpecialArrays] = {kCentreSpecial, kLeftSpecial, kRightSpecial};
constexpr int kSpecialSideSign[kSpecialArrays] = {0, -1, +1};
constexpr float kStreamSideSign[kShotStreams] = {0, 0, 0, -1, +1};
constexpr int kStreamFour = 3;  // its hits on ZAK5 sound twice

bool Inside(int sx, int sy, int tx, int ty, const Box& b) {
  return tx + b.x0 <= sx && sx <= tx + b.x1 && ty + b.y0 <= sy && sy <= ty + b.y1;
}

// Tests one shot at (sx, sy) against every record of every group and, where
// the family reaches bosses, against every boss. `active` is cleared when the
// shot is used up; the tests go on with the same point either way.
void Strike(int sx, int sy, Family family, int stream, int& active) {
  World& w = W();
  const FamilyRule& rule = kFamilies[family];
  for (int g = 0; g < kGroupCount; ++g) {
    const Group group = static_cast<Group>(g);
    const GroupTarget& t = kGroupTargets[g];
    const float entry = family == kRightSpecial ? t.rightEntry : t.entry;
    const Box& box = rule.special ? t.special : t.shot;
    const int count = GroupRecordCount(group);
    for (int i = 0; i < count && i < kMaxGroupRecords; ++i) {
      const EnemyRecord& e = w.enemies[g][i];
      const bool qualifies = group == kZak1 ? e.alive == 1 : e.hitLock == 0;
      if (!qualifies || e.y < entry) continue;
      if (!Inside(sx, sy, static_cast<int>(e.x), static_cast<int>(e.y), box)) continue;
      GroupHit(group, i);
      if (stream == kStreamFour && group == kZak5) PlayBoom();
      if (rule.usedUpByEnemies) active = 0;
      AddScore(rule.lowPoints ? t.lowPoints : kHitPoints);
    }
  }
  if (!rule.testsBosses) return;
  for (int b = 0; b < kBossCount; ++b) {
    BossRecord& boss = w.bosses[b];
    if (boss.hitLock != 0 || boss.y < 0) continue;
    const BossTarget& t = kBossTargets[b];
    const Box box = rule.special ? Box{t.specialX0, t.specialX1, kBossY0, kBossY1}
                                 : Box{t.shotX0, t.shotX1, kBossY0, kBossY1};
    if (!Inside(sx, sy, static_cast<int>(boss.x), static_cast<int>(boss.y), box)) continue;
    BossHit(b);
    active = 0;
    AddScore(kHitPoints);
    boss.energy -= rule.bossRate * ox::FrameSeconds();
  }
}

}  // namespace

void AddScore(int points) {
  World& w = W();
  // Stay below the cap without overflowing on the way.
  w.score = points > kScoreCap - w.score ? kScoreCap : w.score + points;
  if (w.score > w.highScore) w.highScore = w.score;
}

void CollisionPass() {
  World& w = W();
  const float dt = ox::FrameSeconds();

  // Special shots move a fixed step per frame.
  for (int a = 0; a < kSpecialArrays; ++a) {
    for (int i = 0; i < kSpecialSlots; ++i) {
      Special& sp = w.specials[a][i];
      if (sp.active != 1) continue;
      sp.y -= sp.speed;
      sp.x += kSpecialSideSign[a] * sp.side;
      if (sp.y < -60) sp.active = 0;  // retired where it is, not parked
      ++w.specialCount;
      Strike(sp.x, sp.y, kSpecialFamilies[a], -1, sp.active);
    }
  }

  for (int i = 0; i < kShotSlots; ++i) {
    for (int s = 0; s < kShotStreams; ++s) {
      Shot& shot = w.shots[s][i];
      if (shot.active != 1) continue;
      shot.y -= shot.speed * dt;
      shot.x += kStreamSideSign[s] * shot.side * dt;
      if (shot.y < -10) shot.active = 0;
      ++w.shotCount;
      Strike(static_cast<int>(shot.x), static_cast<int>(shot.y),
             s == 0 ? kStreamOne : kOtherStream, s, shot.active);
    }
  }
}

}  // namespace game
