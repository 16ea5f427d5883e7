// The data of the eight stages: scroll rate, scenery, which groups run and
// how often they move, the spawn windows, the bullet-flag extras, the boss
// phase and the boss's attack windows. One routine (stage.cpp) runs them.
#pragma once

#include "game/world.h"

namespace game {

// An open interval of the scroll counter: lo < scroll < hi.
struct Window {
  float lo, hi;
  int extraGroupMoves = 0;   // more move calls of the group per frame while open
  int extraBulletMoves = 0;  // more move calls of its bullet kinds per frame while open
};

struct CloudRow {
  int record;  // 1..6
  Window windows[2];
  int windowCount;
};

// One entry of the per-frame move-and-draw order of the groups.
struct GroupStep {
  Group group;
  int moves;         // move calls per frame
  bool moveAfterDraw = false;  // one more move right after the draw
};

// The bullet kinds of a group, moved (as often as their group) and drawn
// every frame, then moved again with the bullet flags.
struct BulletStep {
  Group group;
  int moves;
  int extraWithEither = 0;   // more moves with the fast or the fastest flag
  int extraWithFastest = 0;  // more moves with the fastest flag
};

// Spawn windows of one group, or of a pair spawned together.
struct SpawnRow {
  Group groups[2];
  int groupCount;
  bool bullets;  // the spawns of the bullet kinds run too
  Window windows[4];
  int windowCount;
};

// Countdown values lo..hi (closed) during which boss kinds first..last fire.
struct AttackRow {
  int firstKind, lastKind;
  int windows[4][2];
  int windowCount;
};

struct StageData {
  const char* music;
  float scrollRate;
  int layer;  // scenery layer, 0 the ending's
  bool startFlag;  // the controls wait for the first 16 scroll units
  CloudRow clouds[6];
  int cloudCount;
  GroupStep groups[16];
  int groupCount;
  GroupStep lateGroups[2] = {};  // moved and drawn after every bullet kind
  int lateGroupCount = 0;
  BulletStep bullets[16];
  int bulletCount;
  SpawnRow spawns[10];
  int spawnCount;
  int boss;  // 0..7
  int bossKindOrder[16];  // order of the boss's kinds in the move-and-draw step
  float bossPhaseLo, bossPhaseHi;  // open interval of the scroll counter
  float attackBelow;  // the boss attacks while 0 < energy < this
  int countdownLength;
  float forcedEnd;  // scroll counter at which the boss's energy is set to 0
  AttackRow attacks[6];
  int attackCount;
};

constexpr int kStageCount = 8;
const StageData& Stage(int stage);  // 1..8

}  // namespace game
