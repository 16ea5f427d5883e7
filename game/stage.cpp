// Sample Game: the stage frame. Every stage runs the same steps in the same
// order; only the data of its table differs.
#include "game/stage.h"

#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "game/enemies/bosses.h"
#include "game/enemies/groups.h"
#include "game/hud.h"
#include "game/player.h"
#include "game/practice.h"
#include "game/scenery.h"
#include "game/stage_table.h"
#include "game/world.h"
#include "input/ox_bindings.h"
#include "sound/ox_music.h"

namespace game {

namespace {

void MoveDrawGroup(const GroupStep& step) {
  for (int i = 0; i < step.moves; ++i) GroupMove(step.group);
  GroupDraw(step.group);
  if (step.moveAfterDraw) GroupMove(step.group);
}

void Scenery(const StageData& s, float scroll) {
  LayerDraw(s.layer);
  for (int c = 0; c < s.cloudCount; ++c) {
    const CloudRow& row = s.clouds[c];
    CloudMove(row.record);
    CloudDraw(row.record);
    for (int w = 0; w < row.windowCount; ++w) {
      if (WindowOpen(scroll, row.windows[w].lo, row.windows[w].hi)) {
        CloudLaunch(row.record);
        break;
      }
    }
  }
}

// The boss phase: move, count down once hit, fire the kinds whose windows
// hold the countdown, and force the end at the stage's limit.
void BossPhase(const StageData& s) {
  World& w = W();
  BossRecord& boss = w.bosses[s.boss];
  BossMove(s.boss);
  if (boss.energy > 0 && boss.energy < s.attackBelow) {
    boss.countdown -= 1;
    if (boss.countdown < 1) boss.countdown = s.countdownLength;
    const int kinds = BossKindCount(s.boss);
    for (int kind = 1; kind <= kinds; ++kind) {
      bool fire = false;
      for (int a = 0; a < s.attackCount && !fire; ++a) {
        const AttackRow& row = s.attacks[a];
        if (kind < row.firstKind || kind > row.lastKind) continue;
        for (int k = 0; k < row.windowCount; ++k) {
          if (boss.countdown >= row.windows[k][0] && boss.countdown <= row.windows[k][1]) {
            fire = true;
            break;
          }
        }
      }
      if (fire) BossBulletSpawn(s.boss, kind);
    }
  }
  if (w.scroll >= s.forcedEnd) {
    boss.energy = 0;
    BossDeathStep(s.boss);
  }
}

void BossBullets(const StageData& s, bool eitherFlag) {
  const int kinds = BossKindCount(s.boss);
  for (int i = 0; i < kinds; ++i) {
    const int kind = s.bossKindOrder[i];
    BossBulletMove(s.boss, kind);
    BossBulletDraw(s.boss, kind);
  }
  if (eitherFlag) {
    for (int i = 0; i < kinds; ++i) BossBulletMove(s.boss, s.bossKindOrder[i]);
  }
}

void GroupBullets(const StageData& s, bool eitherFlag, bool fastestFlag) {
  for (int b = 0; b < s.bulletCount; ++b) {
    const BulletStep& step = s.bullets[b];
    for (int i = 0; i < step.moves; ++i) BulletMoveAll(step.group);
    BulletDrawAll(step.group);
    int extra = eitherFlag ? step.extraWithEither : 0;
    if (fastestFlag) extra += step.extraWithFastest;
    for (int i = 0; i < extra; ++i) BulletMoveAll(step.group);
  }
}

void Spawns(const StageData& s, float scroll) {
  for (int r = 0; r < s.spawnCount; ++r) {
    const SpawnRow& row = s.spawns[r];
    const Window* open = nullptr;
    for (int k = 0; k < row.windowCount && !open; ++k) {
      if (WindowOpen(scroll, row.windows[k].lo, row.windows[k].hi)) open = &row.windows[k];
    }
    if (!open) continue;
    for (int g = 0; g < row.groupCount; ++g) {
      const Group group = row.groups[g];
      GroupSpawn(group);
      if (row.bullets) BulletSpawnAll(group);
      for (int i = 0; i < open->extraGroupMoves; ++i) GroupMove(group);
      for (int i = 0; i < open->extraBulletMoves; ++i) BulletMoveAll(group);
    }
  }
}

}  // namespace

bool WindowOpen(float scroll, float lo, float hi) { return lo < scroll && scroll < hi; }

void StageFrame(int stage) {
  const StageData& s = Stage(stage);
  World& w = W();

  if (ox::SceneChanged()) {
    oxMusic::Play(s.music, 1);
    w.bannerHeight[stage - 1] = 30;
    if (s.startFlag) w.stageStart = 1;
  }
  if (ox::PauseFlag()) return;

  oxDraw::Clear();
  w.scroll += s.scrollRate * WorldSeconds();
  if (s.startFlag && w.stageStart && w.scroll >= 16) w.stageStart = 0;
  const float scroll = w.scroll;

  Scenery(s, scroll);
  ShotDraw();
  BossDraw(s.boss);
  PlayerDraw(false);
  if (WindowOpen(scroll, s.bossPhaseLo, s.bossPhaseHi)) BossPhase(s);

  const bool either = w.fastBullets || w.fastestBullets;
  BossBullets(s, either);
  for (int g = 0; g < s.groupCount; ++g) MoveDrawGroup(s.groups[g]);
  GroupBullets(s, either, w.fastestBullets != 0);
  for (int g = 0; g < s.lateGroupCount; ++g) MoveDrawGroup(s.lateGroups[g]);
  Spawns(s, scroll);

  HudDraw();
  if (w.gameOver) {
    BannerDraw(w.bannerHeight[stage - 1]);
    BurstAnimate();
    BurstLaunch();
    BurstMove();
  }
  oxDraw::SetVSync(0);
  oxDraw::Present();

  if (!w.gameOver && !w.stageStart) {
    KeyboardControl();
    // A game controller drives the ship through the keys it is bound to.
    if (!oxBindings::PadAttached()) JoystickControl();
  }
  PlayerMove(false);
  GameOverCheck();
}

}  // namespace game
