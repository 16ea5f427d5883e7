// Enemy groups: spawn, move, draw and hit of the 28 groups, driven by one
// table of numbers per group, and the bullet kinds they own.
#pragma once

#include "game/world.h"

namespace game {

int GroupRecordCount(Group g);
int GroupBulletKinds(Group g);  // 0 to 5

void GroupSpawn(Group g);
void GroupMove(Group g);
void GroupDraw(Group g);
void GroupHit(Group g, int index);

// Bullet kinds of a group, numbered from 0 in declaration order.
void BulletSpawn(Group g, int kind);
void BulletMove(Group g, int kind);
void BulletDraw(Group g, int kind);

// Every bullet kind of the group, in kind order.
void BulletSpawnAll(Group g);
void BulletMoveAll(Group g);
void BulletDrawAll(Group g);

// The new-game reset of the group tables and their bullets (random values
// are drawn in group order, then bullet order).
void ResetGroups();

}  // namespace game
