// Enemy groups: spawn, move, draw and hit of every group, run from the
// group table by family.
#include "game/enemies/groups.h"

#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "game/enemies/group_table.h"
#include "game/practice.h"

namespace game {

namespace {

constexpr float kBottom = 480;

void Park(EnemyRecord& e) {
  e.alive = 0;
  e.x = kParkX;
  e.y = kParkY;
}

bool Exits(const Exit& exit, const EnemyRecord& e) {
  if (exit.bottom && e.y > kBottom) return true;
  if (exit.side == kRightward) return e.x > float(exit.bound);
  if (exit.side == kLeftward) return e.x < float(exit.bound);
  return false;
}

// One step of the explosion: draw, stop if the group stops, advance the
// cell and the pass count, free the record after its last pass.
void ExplosionStep(const GroupRow& row, EnemyRecord& e) {
  const Assets& a = W().assets;
  const int sheet = row.blast == BlastKind::kZbak2 ? a.zbak2 : a.zbak3;
  const int sl = e.explosionFrame * kBlastCell;
  const int x = int(e.x), y = int(e.y);
  if (row.blast == BlastKind::kCluster) {
    for (const Offset& o : kCluster)
      oxDraw::Draw(x + o.dx, y + o.dy, sheet, sl, 0, sl + kBlastCell, kBlastCell);
  } else {
    oxDraw::Draw(x, y, sheet, sl, 0, sl + kBlastCell, kBlastCell);
  }
  if (row.stops) e.vx = e.vy = 0;
  if (++e.explosionFrame > row.lastCell) {
    e.explosionFrame = 0;
    ++e.explosionPasses;
  }
  if (e.explosionPasses > row.passes - 1) {
    Park(e);
    e.dying = 0;
    e.explosionFrame = 0;
    e.explosionPasses = 0;
  }
}

void DrawShip(const GroupRow& row, EnemyRecord& e) {
  const Assets& a = W().assets;
  const int zak = ZakImage(row.image);
  const int x = int(e.x), y = int(e.y);
  oxDraw::Draw(x, y, zak < 0 ? 0 : a.zak[zak], 0, 0, row.cellWidth, row.cellHeight);
  if (!row.flame) return;
  const int sl = e.animFrame * kFlameWidth;
  oxDraw::Draw(x + 20, y - 60, a.zfire1, sl, 0, sl + kFlameWidth, kFlameHeight);
  if (++e.animFrame >= kFlameCells) e.animFrame = 0;
}

}  // namespace

int GroupRecordCount(Group g) { return ValidGroup(g) ? GroupInfo(g).records : 0; }

int GroupBulletKinds(Group g) { return ValidGroup(g) ? GroupInfo(g).bulletKinds : 0; }

void GroupSpawn(Group g) {
  if (!ValidGroup(g)) return;
  const GroupRow& row = GroupInfo(g);
  for (int i = 0; i < row.records; ++i) {
    EnemyRecord& e = W().enemies[g][i];
    if (e.alive != 0) continue;
    Choose(e.x, row.x);
    Choose(e.y, row.y);
    Choose(e.vx, row.vx);
    Choose(e.vy, row.vy);
    e.alive = 1;
    e.dying = 0;
    e.explosionFrame = 0;
    e.animFrame = 0;
  }
}

void GroupMove(Group g) {
  if (!ValidGroup(g)) return;
  const GroupRow& row = GroupInfo(g);
  const float dt = WorldSeconds();
  const float side = float(row.side);
  for (int i = 0; i < row.records; ++i) {
    EnemyRecord& e = W().enemies[g][i];
    if (e.alive == 1) {
      switch (row.family) {
        case Family::kFalling:
          e.y += e.vy * dt;
          break;
        case Family::kCrossing:
          e.x += side * e.vx * dt;
          break;
        case Family::kColumn:
        case Family::kDiagonal:
          e.y += e.vy * dt;
          e.x += side * e.vx * dt;
          break;
        case Family::kDiagonal45:
          e.x += side * e.vy * dt;
          e.y += e.vy * dt;
          break;
        case Family::kRising:
          e.y -= e.vy * dt;
          e.x += side * e.vx * dt;
          break;
      }
    }
    if (Exits(row.exit, e)) Park(e);
  }
}

void GroupDraw(Group g) {
  if (!ValidGroup(g)) return;
  const GroupRow& row = GroupInfo(g);
  for (int i = 0; i < row.records; ++i) {
    EnemyRecord& e = W().enemies[g][i];
    if (e.dying == 0) {
      DrawShip(row, e);
    } else {
      ExplosionStep(row, e);
    }
  }
}

void GroupHit(Group g, int index) {
  // The collision pass hands in indices it found; anything else is ignored
  // rather than written past the group's records.
  if (!ValidGroup(g) || index < 0 || index >= GroupInfo(g).records) return;
  W().enemies[g][index].dying = 1;
  PlayBoom();
}

void ResetGroups() {
  for (int g = 0; g < kGroupCount; ++g) {
    const GroupRow& row = GroupInfo(Group(g));
    const ResetRow* reset = GroupReset(Group(g));
    for (int i = 0; i < kMaxGroupRecords; ++i) {
      EnemyRecord& e = W().enemies[g][i];
      e = EnemyRecord{};
      e.x = reset ? reset->parkX : kParkX;
      e.y = reset ? reset->parkY : kParkY;
      if (reset == nullptr || i >= row.records) continue;
      e.explosionPasses = reset->passes;
      Choose(e.vx, reset->vx);
      Choose(e.vy, reset->vy);
    }
  }
  ResetGroupBullets();
}

}  // namespace game
