// The numbers of the eight bosses and of their bullet kinds. Every boss is
// one row of the boss table; every bullet kind is one row of the volley-fan
// table or one entry of the spread-fan table. bosses.cpp and
// boss_bullets.cpp run them through a few generic routines.
#pragma once

#include "game/world.h"

namespace game {

// A range of the entry timer. Closed at both ends, except the entry range
// and the second fly-by range, which are open at their low end.
struct TimerRange {
  float lo, hi;
};

constexpr int kNoFlyBy = -1;

struct BossRow {
  int stage;
  int cellWidth, cellHeight;
  float startEnergy;
  int sparks, sparkX, sparkY;  // spark count and the spans of their placement
  int blastX, blastY;          // spans of the explosion placement
  int flyBy;                   // index into Assets::bos, or kNoFlyBy
  TimerRange flyByShow, flyBySweep;
  float entryX, entryY;
  TimerRange entry;
  TimerRange descent;
  float descentSpeed;
  TimerRange hold;
  TimerRange swayRight, swayLeft, swayRightAgain;
  float jumpAt, jumpBack;  // t >= jumpAt: t := jumpBack
  int nextScene;
};

// Boss bullet images, as indices into Assets::bossBullet; VAL402 is loaded
// once for the stage-7 boss and once for the stage-8 boss.
enum BossBulletImage : int { kVal20, kVal401, kVal402Stage7, kVal402Stage8 };

constexpr int kVolleys = 10;
constexpr int kMaxVolleySize = 9;

struct BossVolleyRow {
  int boss;
  int kind;
  BossBulletImage image;
  int records;  // 30, 50 or 90: ten volleys of 3, 5 or 9
  int step;     // spawn calls between volleys
  int wrap;     // the volley timer value that becomes 0
  int launchX;
  int launchY;  // first offset of the arc
  float lateral[kMaxVolleySize];  // sideways px/s of each record of a volley
  float vy;
};

// Spread-fan shapes.
enum BossShape : int { kPair, kTriple, kQuad };

struct BossShapeRow {
  int records;
  float lateral[4];  // sideways px/s of each record
  float vy;
};

constexpr int kMaxSpreadKinds = 9;

struct BossSpreadKind {
  int kind;
  BossShape shape;
  int x, y;  // launch offset from the boss position
};

struct BossSpreadRow {
  int boss;
  int image;  // index into Assets::val: VAL11, VAL12, VAL13
  int kinds;
  BossSpreadKind kind[kMaxSpreadKinds];
};

// Where the numbers of one bullet kind of one boss are found.
enum class BossFamily : int { kNone, kVolley, kSpread };

struct BossKindRef {
  BossFamily family;
  int row;   // row of the volley table, or row of the spread table
  int slot;  // entry of the spread row
};

// Player-hit boxes: inclusive ranges of bullet x - player x and y - player y.
struct BossHitBox {
  float x0, x1, y0, y1;
};

const BossRow& BossData(int boss);
const BossVolleyRow& BossVolley(int row);
const BossShapeRow& BossShapeData(BossShape shape);
const BossSpreadRow& BossSpread(int row);
// The kind's family and rows; family kNone for a kind the boss does not have.
BossKindRef BossKind(int boss, int kind);
// The player-hit box of a volley image and of the spread fans.
const BossHitBox& BossVolleyHitBox(BossBulletImage image);
const BossHitBox& BossSpreadHitBox();
// Launch y offsets of the arc of a volley of 3, 5 or 9 records, from a.
const float* BossArc(int volleySize);

}  // namespace game
