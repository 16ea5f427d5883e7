// The collision pass: moves the player's shots and special shots, tests
// them against every enemy group and boss, scores the hits, and counts the
// shots in flight.
#include "game/collision.h"

#include <algorithm>
#include <cstdint>

#include "core/ox_app.h"
#include "game/enemies/bosses.h"
#include "game/enemies/groups.h"
#include "game/practice.h"
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

// The smallest box holding every point the pass tests this frame.
struct Bounds {
  int x0, x1, y0, y1;
  bool empty;
};

void Extend(Bounds& b, int x, int y) {
  if (b.empty) {
    b = {x, x, y, y, false};
    return;
  }
  if (x < b.x0) b.x0 = x;
  if (x > b.x1) b.x1 = x;
  if (y < b.y0) b.y0 = y;
  if (y > b.y1) b.y1 = y;
}

// Whether the box at (tx, ty) can hold any point of the bounds.
bool Reaches(int tx, int ty, const Box& b, const Bounds& bounds) {
  return tx + b.x0 <= bounds.x1 && bounds.x0 <= tx + b.x1 && ty + b.y0 <= bounds.y1 &&
         bounds.y0 <= ty + b.y1;
}

Box Union(const Box& a, const Box& b) {
  return {a.x0 < b.x0 ? a.x0 : b.x0, a.x1 > b.x1 ? a.x1 : b.x1, a.y0 < b.y0 ? a.y0 : b.y0,
          a.y1 > b.y1 ? a.y1 : b.y1};
}

// The targets whose boxes can reach this frame's shots, in the order the
// pass tests them. Hits neither move a target nor change whether it can be
// hit, so the list holds for the whole pass; a target left out could not
// have been hit by any shot of the frame.
struct Candidates {
  struct Record {
    int group, index;
  };
  Record records[kGroupCount * kMaxGroupRecords];
  int recordCount = 0;
  int bosses[kBossCount];
  int bossCount = 0;
};

void Gather(const Bounds& bounds, Candidates& out) {
  const World& w = W();
  out.recordCount = 0;
  out.bossCount = 0;
  if (bounds.empty) return;
  for (int g = 0; g < kGroupCount; ++g) {
    const GroupTarget& t = kGroupTargets[g];
    const Box reach = Union(t.special, t.shot);
    const int count = GroupRecordCount(static_cast<Group>(g));
    for (int i = 0; i < count && i < kMaxGroupRecords; ++i) {
      const EnemyRecord& e = w.enemies[g][i];
      if (!Reaches(static_cast<int>(e.x), static_cast<int>(e.y), reach, bounds)) continue;
      out.records[out.recordCount++] = {g, i};
    }
  }
  for (int b = 0; b < kBossCount; ++b) {
    const BossRecord& boss = w.bosses[b];
    const BossTarget& t = kBossTargets[b];
    const Box reach = Union({t.specialX0, t.specialX1, kBossY0, kBossY1},
                            {t.shotX0, t.shotX1, kBossY0, kBossY1});
    if (!Reaches(static_cast<int>(boss.x), static_cast<int>(boss.y), reach, bounds)) continue;
    out.bosses[out.bossCount++] = b;
  }
}

// The candidate records by cell of the bounds (32 x 32 pixels): bit k of a
// cell's mask is candidate k, set when the candidate's reach covers any
// point of the cell. A shot tests only its own cell's candidates, in
// candidate order, so its hits come in the same order as when it tests
// them all.
constexpr int kCellShift = 5;
constexpr int kMaxCells = 512;
constexpr int kCandidateWords = (kGroupCount * kMaxGroupRecords + 63) / 64;
struct Cells {
  int x0, y0;
  int columns;  // 0: the bounds are too large, every shot tests every candidate
  uint64_t mask[kMaxCells][kCandidateWords];
  const uint64_t* At(int x, int y) const {
    return mask[((y - y0) >> kCellShift) * columns + ((x - x0) >> kCellShift)];
  }
};

void Sort(const Bounds& bounds, const Candidates& c, Cells& out) {
  const World& w = W();
  out.x0 = bounds.x0;
  out.y0 = bounds.y0;
  out.columns = 0;
  if (bounds.empty) return;
  const int64_t columns = ((int64_t(bounds.x1) - bounds.x0) >> kCellShift) + 1;
  const int64_t rows = ((int64_t(bounds.y1) - bounds.y0) >> kCellShift) + 1;
  if (columns * rows > kMaxCells) return;
  out.columns = int(columns);
  for (int cell = 0; cell < columns * rows; ++cell)
    for (uint64_t& word : out.mask[cell]) word = 0;
  const int width = bounds.x1 - bounds.x0, height = bounds.y1 - bounds.y0;
  for (int k = 0; k < c.recordCount; ++k) {
    const int g = c.records[k].group;
    const GroupTarget& t = kGroupTargets[g];
    const Box reach = Union(t.special, t.shot);
    const EnemyRecord& e = w.enemies[g][c.records[k].index];
    const int x = static_cast<int>(e.x) - bounds.x0, y = static_cast<int>(e.y) - bounds.y0;
    // Gather kept only candidates that reach the bounds.
    const int left = std::max(x + reach.x0, 0) >> kCellShift;
    const int right = std::min(x + reach.x1, width) >> kCellShift;
    const int top = std::max(y + reach.y0, 0) >> kCellShift;
    const int bottom = std::min(y + reach.y1, height) >> kCellShift;
    const uint64_t bit = uint64_t(1) << (k & 63);
    for (int row = top; row <= bottom; ++row)
      for (int col = left; col <= right; ++col) out.mask[row * out.columns + col][k >> 6] |= bit;
  }
}

// Tests one shot at (sx, sy) against the candidate records of the groups
// and, where the family reaches bosses, against the candidate bosses.
// `active` is cleared when the shot is used up; the tests go on with the
// same point either way.
void Strike(int sx, int sy, Family family, int stream, int& active, const Candidates& c,
            const Cells& cells) {
  World& w = W();
  const FamilyRule& rule = kFamilies[family];
  auto test = [&](int k) {
    const int g = c.records[k].group;
    const int i = c.records[k].index;
    const Group group = static_cast<Group>(g);
    const GroupTarget& t = kGroupTargets[g];
    const float entry = family == kRightSpecial ? t.rightEntry : t.entry;
    const Box& box = rule.special ? t.special : t.shot;
    const EnemyRecord& e = w.enemies[g][i];
    const bool qualifies = group == kZak1 ? e.alive == 1 : e.hitLock == 0;
    if (!qualifies || e.y < entry) return;
    if (!Inside(sx, sy, static_cast<int>(e.x), static_cast<int>(e.y), box)) return;
    GroupHit(group, i);
    if (stream == kStreamFour && group == kZak5) PlayBoom();
    if (rule.usedUpByEnemies) active = 0;
    AddScore(rule.lowPoints ? t.lowPoints : kHitPoints);
  };
  if (cells.columns > 0) {
    const uint64_t* mask = cells.At(sx, sy);
    for (int word = 0; word < kCandidateWords; ++word) {
      for (uint64_t bits = mask[word]; bits != 0; bits &= bits - 1) {
        test(word * 64 + __builtin_ctzll(bits));
      }
    }
  } else {
    for (int k = 0; k < c.recordCount; ++k) test(k);
  }
  if (!rule.testsBosses) return;
  for (int k = 0; k < c.bossCount; ++k) {
    const int b = c.bosses[k];
    BossRecord& boss = w.bosses[b];
    if (boss.hitLock != 0 || boss.y < 0) continue;
    const BossTarget& t = kBossTargets[b];
    const Box box = rule.special ? Box{t.specialX0, t.specialX1, kBossY0, kBossY1}
                                 : Box{t.shotX0, t.shotX1, kBossY0, kBossY1};
    if (!Inside(sx, sy, static_cast<int>(boss.x), static_cast<int>(boss.y), box)) continue;
    BossHit(b);
    active = 0;
    AddScore(kHitPoints);
    boss.energy -= rule.bossRate * WorldSeconds();
  }
}

}  // namespace

void AddScore(int points) {
  World& w = W();
  // Stay below the cap without overflowing on the way.
  w.score = points > kScoreCap - w.score ? kScoreCap : w.score + points;
  // A practice or slowed game keeps its score to itself.
  if (w.score > w.highScore && GameRaisesHighScore()) w.highScore = w.score;
}

void CollisionPass() {
  World& w = W();
  const float dt = WorldSeconds();
  Bounds bounds{0, 0, 0, 0, true};

  // First every shot moves (a shot's move reads only its own record, and
  // hits change no shot but the one that hit), then the shots are tested in
  // the same order against the targets their bounds can reach.

  // Special shots move a fixed step per frame.
  bool specialMoved[kSpecialArrays][kSpecialSlots];
  for (int a = 0; a < kSpecialArrays; ++a) {
    for (int i = 0; i < kSpecialSlots; ++i) {
      Special& sp = w.specials[a][i];
      specialMoved[a][i] = sp.active == 1;
      if (!specialMoved[a][i]) continue;
      sp.y -= sp.speed;
      sp.x += kSpecialSideSign[a] * sp.side;
      if (sp.y < -60) sp.active = 0;  // retired where it is, not parked
      ++w.specialCount;
      Extend(bounds, sp.x, sp.y);
    }
  }

  // The points of the stream shots, kept so the tests use exactly the
  // truncation of this move.
  struct Point {
    int x, y;
  };
  Point shotAt[kShotSlots][kShotStreams];
  bool moved[kShotSlots][kShotStreams];
  for (int i = 0; i < kShotSlots; ++i) {
    for (int s = 0; s < kShotStreams; ++s) {
      Shot& shot = w.shots[s][i];
      moved[i][s] = shot.active == 1;
      if (!moved[i][s]) continue;
      shot.y -= shot.speed * dt;
      shot.x += kStreamSideSign[s] * shot.side * dt;
      if (shot.y < -10) shot.active = 0;
      ++w.shotCount;
      shotAt[i][s] = {static_cast<int>(shot.x), static_cast<int>(shot.y)};
      Extend(bounds, shotAt[i][s].x, shotAt[i][s].y);
    }
  }

  Candidates candidates;
  Gather(bounds, candidates);
  if (candidates.recordCount == 0 && candidates.bossCount == 0) return;
  Cells cells;
  Sort(bounds, candidates, cells);

  for (int a = 0; a < kSpecialArrays; ++a) {
    for (int i = 0; i < kSpecialSlots; ++i) {
      if (!specialMoved[a][i]) continue;
      Special& sp = w.specials[a][i];
      Strike(sp.x, sp.y, kSpecialFamilies[a], -1, sp.active, candidates, cells);
    }
  }
  for (int i = 0; i < kShotSlots; ++i) {
    for (int s = 0; s < kShotStreams; ++s) {
      if (!moved[i][s]) continue;
      Strike(shotAt[i][s].x, shotAt[i][s].y, s == 0 ? kStreamOne : kOtherStream, s,
             w.shots[s][i].active, candidates, cells);
    }
  }
}

}  // namespace game
