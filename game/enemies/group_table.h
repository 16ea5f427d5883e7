// The numbers of the 28 enemy groups and of their bullet kinds. Every group
// and every kind is one row of data; groups.cpp and group_bullets.cpp run
// them through a few generic routines.
#pragma once

#include <cstdint>

#include "game/world.h"

namespace game {

// How a spawn value is chosen: left as the record has it, a constant, or a
// random whole number lo..hi (RandRange, so one draw of the generator).
enum class Pick : uint8_t { kKeep, kFixed, kRandom };

struct Span {
  Pick pick;
  int lo, hi;
};

constexpr Span Keep() { return {Pick::kKeep, 0, 0}; }
constexpr Span At(int value) { return {Pick::kFixed, value, value}; }
constexpr Span In(int lo, int hi) { return {Pick::kRandom, lo, hi}; }

// Sets `field` from a span (a random span draws once); kKeep leaves it.
inline void Choose(float& field, const Span& s) {
  if (s.pick == Pick::kFixed) field = float(s.lo);
  if (s.pick == Pick::kRandom) field = float(RandRange(s.lo, s.hi));
}

// The five ways a group moves. `side` in the rows gives the x direction.
enum class Family : uint8_t {
  kFalling,     // y += vy
  kColumn,      // y += vy, x drifts by vx
  kCrossing,    // x moves by vx, y stays
  kDiagonal,    // y += vy, x moves by vx
  kDiagonal45,  // y += vy, x moves by vy as well: exactly 45 degrees
  kRising,      // y -= vy, x moves by vx
};

constexpr int kLeftward = -1;
constexpr int kStraight = 0;
constexpr int kRightward = 1;

// Exit tests, all strict: y > 480 and/or x beyond a bound on one side.
struct Exit {
  bool bottom;
  int side;  // kRightward: x > bound; kLeftward: x < bound; kStraight: no x test
  int bound;
};

constexpr Exit Bottom() { return {true, kStraight, 0}; }
constexpr Exit RightOf(int bound) { return {false, kRightward, bound}; }
constexpr Exit LeftOf(int bound) { return {false, kLeftward, bound}; }
constexpr Exit BottomOrRightOf(int bound) { return {true, kRightward, bound}; }
constexpr Exit BottomOrLeftOf(int bound) { return {true, kLeftward, bound}; }

// The explosion: one cell of ZBAK2 or ZBAK3, or the eight-cell cluster of
// the large ships.
enum class BlastKind : uint8_t { kZbak2, kZbak3, kCluster };

struct GroupRow {
  Group group;  // the row's own index, checked against the enum
  int image;    // n of ZAKn.BMP
  Family family;
  int records;
  int cellWidth, cellHeight;
  bool flame;  // the ZFIRE1 strip above the ship (ZAK1)
  Span x, y, vx, vy;
  int side;  // x direction of the move
  Exit exit;
  BlastKind blast;
  int lastCell;  // last explosion cell of a pass
  int passes;    // explosion passes; the record is freed after the last
  bool stops;    // the explosion zeroes vx and vy (otherwise it flies on)
  int bulletKinds;
};

// The new-game state of the groups that do not start parked at (-500, 500)
// with everything 0.
struct ResetRow {
  Group group;
  float parkX, parkY;
  int passes;
  Span vx, vy;
};

enum BulletSprite : int { kVal11, kVal12, kVal13, kVal1, kVal2, kVal3 };  // Assets::val

struct BulletRow {
  Group group;
  int kind;
  BulletSprite sprite;
  int records;
  int offsetX, offsetY;
  int side;  // kLeftward, kStraight or kRightward; straight kinds never use vx
  Span vx, vy;
  int lo;  // top of the player-hit box, 24 or 20
  bool animated;
};

// Cells of the bullet sprites and the explosion sheets, in pixels.
constexpr int kBulletCell = 16;
constexpr int kBulletFrames = 16;
constexpr int kBlastCell = 80;
constexpr int kFlameWidth = 20;
constexpr int kFlameHeight = 70;
constexpr int kFlameCells = 20;
constexpr int kClusterCells = 8;
struct Offset {
  int dx, dy;
};
extern const Offset kCluster[kClusterCells];

const GroupRow& GroupInfo(Group g);
// The reset row of a group, or nullptr when it starts like every other.
const ResetRow* GroupReset(Group g);
// Row of bullet kind `kind` of a group; the kind must be below its count.
const BulletRow& BulletInfo(Group g, int kind);

// True for one of the 28 groups.
inline bool ValidGroup(Group g) { return g >= 0 && g < kGroupCount; }

// The new-game reset of every bullet kind (ResetGroups ends with it).
void ResetGroupBullets();

}  // namespace game
