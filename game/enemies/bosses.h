// Bosses: the eight boss records with their paths, hit flash, sparks, death
// step, and their volley-fan and spread-fan bullet kinds, driven by tables.
// Bosses are numbered 0..7 by stage; bullet kinds from 1.
#pragma once

#include "game/world.h"

namespace game {

float BossStartEnergy(int boss);
int BossKindCount(int boss);
int BossNextScene(int boss);

void BossHit(int boss);
void BossDraw(int boss);  // also runs the death step
void BossMove(int boss);
void BossDeathStep(int boss);

void BossBulletSpawn(int boss, int kind);
void BossBulletMove(int boss, int kind);
void BossBulletDraw(int boss, int kind);
// Records of a bullet kind (30, 50 or 90 for a volley fan, 2 to 4 for a
// spread fan); 0 for a kind the boss does not have.
int BossKindRecords(int boss, int kind);

// The new-game reset of the boss records, pools and bullets.
void ResetBosses();

}  // namespace game
