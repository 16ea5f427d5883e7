// Sample Game: the tables of the eight bosses and of their bullet kinds.
#include "game/enemies/boss_table.h"

namespace game {

namespace {

constexpr TimerRange kNoRange = {0, -1};

// Index into Assets::bos.
constexpr int kBos111 = 8;
constexpr int kBos511 = 9;

// Row by row: stage, cell, starting energy, sparks (count; sx, sy),
// explosions (ex, ey), fly-by with its two timer ranges, entry point and its
// range, descent and its speed, hold, sway right / left / right, jump back,
// next scene.
constexpr BossRow kBosses[kBossCount] = {
    {1, 380, 380, 500, 12, 380, 380, 380, 380, kBos111, {0, 20}, {21, 59},
     130, -380, {60, 90}, {91, 135}, 82, {135, 160}, {161, 190}, {191, 250}, {251, 280}, 281, 151, 3},
    {2, 360, 340, 800, 12, 370, 340, 360, 300, kNoFlyBy, kNoRange, kNoRange,
     140, -340, {0, 30}, {31, 75}, 80, {75, 100}, {101, 130}, {131, 190}, {191, 220}, 221, 80, 4},
    {3, 440, 380, 800, 12, 440, 380, 440, 400, kNoFlyBy, kNoRange, kNoRange,
     100, -380, {0, 30}, {31, 75}, 80, {75, 100}, {101, 130}, {131, 190}, {191, 220}, 221, 80, 5},
    {4, 420, 360, 800, 12, 420, 360, 420, 340, kNoFlyBy, kNoRange, kNoRange,
     110, -360, {0, 30}, {31, 75}, 78, {75, 100}, {101, 130}, {131, 190}, {191, 220}, 221, 80, 6},
    {5, 360, 400, 1000, 12, 360, 360, 360, 360, kBos511, {0, 20}, {21, 59},
     140, -400, {60, 90}, {91, 138}, 82, {139, 160}, {161, 190}, {191, 250}, {251, 280}, 281, 151, 7},
    {6, 480, 390, 1000, 16, 480, 440, 480, 380, kNoFlyBy, kNoRange, kNoRange,
     80, -390, {0, 30}, {31, 77}, 83, {78, 100}, {101, 130}, {131, 190}, {191, 220}, 221, 80, 8},
    {7, 500, 440, 1400, 18, 500, 440, 500, 440, kNoFlyBy, kNoRange, kNoRange,
     70, -440, {0, 90}, {91, 137}, 90, {138, 160}, {161, 190}, {191, 250}, {251, 280}, 281, 145, 9},
    {8, 420, 360, 1000, 22, 420, 440, 420, 360, kNoFlyBy, kNoRange, kNoRange,
     110, -360, {0, 30}, {31, 75}, 73, {75, 100}, {101, 130}, {131, 190}, {191, 220}, 221, 80, 10},
};


// Row by row: boss, kind, image, records, step, wrap, launch x, launch y (a),
// lateral speeds of one volley, vy.
constexpr BossVolleyRow kVolleyRows[] = {
    {0, 1, kVal20, 50, 30, 340, 180, 170, {-100, -50, 0, 50, 100}, 180},
    {0, 2, kVal20, 50, 80, 1100, 120, 90, {-100, -50, 0, 50, 100}, 160},
    {0, 3, kVal20, 50, 80, 1100, 240, 90, {-100, -50, 0, 50, 100}, 160},
    {0, 4, kVal20, 30, 60, 800, 60, 90, {30, 60, 90}, 120},
    {0, 5, kVal20, 30, 60, 800, 300, 90, {-30, -60, -90}, 120},
    {1, 1, kVal20, 50, 30, 340, 170, 170, {-80, -40, 0, 40, 80}, 126},
    {1, 2, kVal20, 50, 30, 340, 110, 90, {-100, -50, 0, 50, 100}, 100},
    {1, 3, kVal20, 50, 30, 340, 230, 90, {-100, -50, 0, 50, 100}, 100},
    {1, 4, kVal20, 50, 40, 450, 110, 50, {-100, -50, 0, 50, 100}, 180},
    {1, 5, kVal20, 50, 40, 450, 230, 50, {-100, -50, 0, 50, 100}, 180},
    {2, 1, kVal20, 50, 30, 330, 210, 110, {-100, -50, 0, 50, 100}, 130},
    {2, 2, kVal20, 50, 30, 350, 160, 90, {-100, -50, 0, 50, 100}, 106},
    {2, 3, kVal20, 50, 30, 350, 260, 90, {-100, -50, 0, 50, 100}, 106},
    {2, 4, kVal20, 50, 80, 900, 130, 170, {-100, -50, 0, 50, 100}, 124},
    {2, 5, kVal20, 50, 80, 900, 290, 170, {-100, -50, 0, 50, 100}, 124},
    {2, 6, kVal20, 90, 30, 340, 210, 90, {-72, -54, -36, -18, 0, 18, 36, 54, 72}, 90},
    {3, 1, kVal20, 50, 30, 340, 200, 60, {-100, -50, 0, 50, 100}, 160},
    {3, 2, kVal20, 50, 30, 360, 170, 30, {-100, -50, 0, 50, 100}, 160},
    {3, 3, kVal20, 50, 30, 360, 230, 30, {-100, -50, 0, 50, 100}, 160},
    {3, 4, kVal20, 50, 60, 780, 140, 60, {-100, -50, 0, 50, 100}, 30},
    {3, 5, kVal20, 50, 60, 780, 260, 60, {-100, -50, 0, 50, 100}, 30},
    {3, 6, kVal20, 50, 60, 720, 80, 30, {-100, -50, 0, 50, 100}, 60},
    {3, 7, kVal20, 50, 60, 720, 320, 30, {-100, -50, 0, 50, 100}, 60},
    {4, 1, kVal20, 50, 30, 350, 170, 170, {-100, -50, 0, 50, 100}, 200},
    {4, 2, kVal20, 50, 30, 360, 150, 60, {-100, -50, 0, 50, 100}, 120},
    {4, 3, kVal20, 50, 30, 360, 190, 60, {-100, -50, 0, 50, 100}, 120},
    {4, 4, kVal20, 50, 50, 570, 120, 60, {-100, -50, 0, 50, 100}, 120},
    {4, 5, kVal20, 50, 50, 570, 220, 60, {-100, -50, 0, 50, 100}, 120},
    {4, 6, kVal20, 90, 30, 340, 170, 90, {-36, -27, -18, -9, 0, 9, 18, 27, 36}, 70},
    {5, 1, kVal20, 50, 20, 260, 230, 110, {-100, -50, 0, 50, 100}, 190},
    {5, 2, kVal401, 50, 80, 860, 180, 60, {-100, -50, 0, 50, 100}, 120},
    {5, 3, kVal401, 50, 80, 860, 260, 60, {-100, -50, 0, 50, 100}, 120},
    {5, 4, kVal401, 50, 80, 860, 100, 60, {-100, -50, 0, 50, 100}, 120},
    {5, 5, kVal401, 50, 80, 860, 340, 60, {-100, -50, 0, 50, 100}, 120},
    {6, 1, kVal20, 50, 20, 250, 240, 110, {-100, -50, 0, 50, 100}, 190},
    {6, 2, kVal402Stage7, 50, 80, 860, 200, 60, {-100, -50, 0, 50, 100}, 170},
    {6, 3, kVal402Stage7, 50, 80, 860, 260, 60, {-100, -50, 0, 50, 100}, 170},
    {6, 4, kVal402Stage7, 50, 80, 860, 110, 60, {-100, -50, 0, 50, 100}, 120},
    {6, 5, kVal402Stage7, 50, 80, 860, 350, 60, {-100, -50, 0, 50, 100}, 120},
    {6, 6, kVal20, 90, 30, 340, 240, 90, {-36, -27, -18, -9, 0, 9, 18, 27, 36}, 70},
    {7, 1, kVal20, 50, 30, 350, 200, 110, {-60, -30, 0, 30, 60}, 100},
    {7, 2, kVal402Stage8, 50, 60, 660, 150, 60, {-100, -50, 0, 50, 100}, 110},
    {7, 3, kVal402Stage8, 50, 60, 660, 230, 60, {-100, -50, 0, 50, 100}, 110},
    {7, 4, kVal402Stage8, 50, 60, 660, 70, 60, {-100, -50, 0, 50, 100}, 110},
    {7, 5, kVal402Stage8, 50, 60, 660, 310, 60, {-100, -50, 0, 50, 100}, 110},
    {7, 15, kVal20, 90, 30, 340, 200, 90, {-72, -54, -36, -18, 0, 18, 36, 54, 72}, 90},
};

constexpr int kVolleyRowCount = sizeof kVolleyRows / sizeof kVolleyRows[0];

// Lateral speeds and vy of the three spread-fan shapes.
constexpr BossShapeRow kShapes[] = {
    {2, {-30, 30}, 140},           // pair
    {3, {-39, 0, 39}, 120},        // triple
    {4, {-28, 28, -80, 80}, 110},  // quad
};

constexpr int kVal11 = 0;
constexpr int kVal12 = 1;
constexpr int kVal13 = 2;

// Row by row: boss, image, kinds: shape at launch offset.
constexpr BossSpreadRow kSpreadRows[kBossCount] = {
    {0, kVal12, 3, {{6, kPair, 182, 200}, {7, kTriple, 182, 200}, {8, kQuad, 182, 200}}},
    {1, kVal12, 5,
     {{6, kPair, 172, 200}, {7, kTriple, 172, 200}, {8, kTriple, 122, 150},
      {9, kTriple, 222, 150}, {10, kQuad, 172, 200}}},
    {2, kVal12, 7,
     {{7, kPair, 212, 200}, {8, kTriple, 212, 200}, {9, kTriple, 162, 150},
      {10, kTriple, 262, 150}, {11, kTriple, 132, 110}, {12, kTriple, 292, 110},
      {13, kQuad, 212, 200}}},
    {3, kVal13, 9,
     {{8, kPair, 202, 200}, {9, kPair, 172, 110}, {10, kPair, 232, 110},
      {11, kTriple, 202, 200}, {12, kTriple, 152, 150}, {13, kTriple, 252, 150},
      {14, kTriple, 122, 110}, {15, kTriple, 282, 110}, {16, kQuad, 202, 200}}},
    {4, kVal13, 9,
     {{7, kPair, 172, 200}, {8, kPair, 142, 110}, {9, kPair, 202, 110},
      {10, kTriple, 172, 200}, {11, kTriple, 122, 150}, {12, kTriple, 222, 150},
      {13, kTriple, 92, 110}, {14, kTriple, 252, 110}, {15, kQuad, 172, 200}}},
    {5, kVal13, 9,
     {{6, kPair, 232, 200}, {7, kPair, 202, 110}, {8, kPair, 262, 110},
      {9, kTriple, 232, 200}, {10, kTriple, 182, 150}, {11, kTriple, 282, 150},
      {12, kTriple, 152, 110}, {13, kTriple, 312, 110}, {14, kQuad, 232, 200}}},
    {6, kVal11, 9,
     {{7, kPair, 242, 200}, {8, kPair, 212, 110}, {9, kPair, 272, 110},
      {10, kTriple, 242, 200}, {11, kTriple, 192, 150}, {12, kTriple, 292, 150},
      {13, kTriple, 162, 110}, {14, kTriple, 322, 110}, {15, kQuad, 242, 200}}},
    {7, kVal11, 9,
     {{6, kPair, 202, 200}, {7, kPair, 172, 110}, {8, kPair, 232, 110},
      {9, kTriple, 202, 200}, {10, kTriple, 152, 150}, {11, kTriple, 252, 150},
      {12, kTriple, 122, 110}, {13, kTriple, 282, 110}, {14, kQuad, 202, 200}}},
};

// Hit boxes: VAL20 bullets, VAL401 and VAL402 bullets, spread fans.
constexpr BossHitBox kVal20Box = {10, 30, 20, 30};
constexpr BossHitBox kVal40Box = {0, 20, 0, 20};
constexpr BossHitBox kSpreadBox = {14, 30, 24, 30};

// Launch arcs of volleys of 3, 5 and 9 records, as offsets from a.
constexpr float kArc3[] = {0, 23, 30};
constexpr float kArc5[] = {0, 23, 30, 23, 0};
constexpr float kArc9[] = {0, 13, 22, 27, 30, 27, 22, 13, 0};

struct KindIndex {
  BossKindRef ref[kBossCount][kMaxBossKinds + 1];
};

constexpr KindIndex BuildIndex() {
  KindIndex index{};
  for (int r = 0; r < kVolleyRowCount; ++r) {
    index.ref[kVolleyRows[r].boss][kVolleyRows[r].kind] = {BossFamily::kVolley, r, 0};
  }
  for (int r = 0; r < kBossCount; ++r) {
    for (int s = 0; s < kSpreadRows[r].kinds; ++s) {
      index.ref[kSpreadRows[r].boss][kSpreadRows[r].kind[s].kind] = {BossFamily::kSpread, r, s};
    }
  }
  return index;
}

constexpr KindIndex kIndex = BuildIndex();

// Every boss numbers its kinds 1..n without a gap, and every row fits the
// record arrays.
constexpr bool KindsAreDense() {
  for (int b = 0; b < kBossCount; ++b) {
    bool ended = false;
    for (int k = 1; k <= kMaxBossKinds; ++k) {
      bool present = kIndex.ref[b][k].family != BossFamily::kNone;
      if (present && ended) return false;
      if (!present) ended = true;
    }
  }
  for (const BossVolleyRow& v : kVolleyRows) {
    if (v.records != 30 && v.records != 50 && v.records != 90) return false;
    if (v.step * kVolleys >= v.wrap) return false;
  }
  for (int b = 0; b < kBossCount; ++b) {
    if (kSpreadRows[b].boss != b || kBosses[b].stage != b + 1) return false;
    if (kBosses[b].sparks > kMaxSparks) return false;
  }
  return true;
}
static_assert(KindsAreDense());
static_assert(kMaxBossBullets >= 90);

}  // namespace

const BossRow& BossData(int boss) { return kBosses[boss]; }
const BossVolleyRow& BossVolley(int row) { return kVolleyRows[row]; }
const BossShapeRow& BossShapeData(BossShape shape) { return kShapes[shape]; }
const BossSpreadRow& BossSpread(int row) { return kSpreadRows[row]; }

BossKindRef BossKind(int boss, int kind) {
  if (boss < 0 || boss >= kBossCount || kind < 1 || kind > kMaxBossKinds) {
    return {BossFamily::kNone, 0, 0};
  }
  return kIndex.ref[boss][kind];
}

const BossHitBox& BossVolleyHitBox(BossBulletImage image) {
  return image == kVal20 ? kVal20Box : kVal40Box;
}

const BossHitBox& BossSpreadHitBox() { return kSpreadBox; }

const float* BossArc(int volleySize) {
  return volleySize == 3 ? kArc3 : volleySize == 9 ? kArc9 : kArc5;
}

}  // namespace game
