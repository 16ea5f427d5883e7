// Enemy bullets: spawn, move (with the test against the player ship) and
// draw of every bullet kind, run from the bullet-kind table.
#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "game/enemies/group_table.h"
#include "game/enemies/groups.h"
#include "game/practice.h"

namespace game {

namespace {

constexpr float kBottom = 480;
// The player-hit box, relative to the ship's top-left corner; its top is
// the kind's `lo`. Every bound counts as inside.
constexpr float kHitLeft = 14;
constexpr float kHitRight = 30;
constexpr float kHitBottom = 30;

bool ValidKind(Group g, int kind) {
  return ValidGroup(g) && kind >= 0 && kind < GroupInfo(g).bulletKinds;
}

EnemyBullet* Records(Group g, int kind) { return W().groupBullets[g][kind]; }

}  // namespace

void BulletSpawn(Group g, int kind) {
  if (!ValidKind(g, kind)) return;
  const BulletRow& row = BulletInfo(g, kind);
  const bool oneShip = GroupInfo(g).records == 1;
  EnemyBullet* bullets = Records(g, kind);
  for (int i = 0; i < row.records; ++i) {
    EnemyBullet& b = bullets[i];
    if (b.alive != 0) continue;
    // Fired from the enemy record of the same index whatever its state; a
    // free record fires from the park position and the next move frees it.
    const EnemyRecord& e = W().enemies[g][oneShip ? 0 : i];
    b.alive = 1;
    b.x = e.x + float(row.offsetX);
    b.y = e.y + float(row.offsetY);
    Choose(b.vy, row.vy);
    if (row.side != kStraight) Choose(b.vx, row.vx);
  }
}

void BulletMove(Group g, int kind) {
  if (!ValidKind(g, kind)) return;
  const BulletRow& row = BulletInfo(g, kind);
  const float dt = WorldSeconds();
  Player& p = W().player;
  EnemyBullet* bullets = Records(g, kind);
  for (int i = 0; i < row.records; ++i) {
    EnemyBullet& b = bullets[i];
    if (b.alive == 1) {
      b.y += b.vy * dt;
      b.x += float(row.side) * b.vx * dt;
    }
    if (b.y + kBulletCell < 0 || b.y > kBottom) {
      b.alive = 0;
      b.x = kParkX;
      b.y = kParkY;
    }
    // The bullet flies on after a hit; a parked one lies far left of any
    // ship position.
    if (p.alive == 1) {
      const float dx = b.x - p.x, dy = b.y - p.y;
      if (dx >= kHitLeft && dx <= kHitRight && dy >= float(row.lo) && dy <= kHitBottom) p.alive = 0;
    }
  }
}

void BulletDraw(Group g, int kind) {
  if (!ValidKind(g, kind)) return;
  const BulletRow& row = BulletInfo(g, kind);
  const int sprite = W().assets.val[row.sprite];
  EnemyBullet* bullets = Records(g, kind);
  for (int i = 0; i < row.records; ++i) {
    EnemyBullet& b = bullets[i];
    if (b.alive != 1) continue;
    if (!row.animated) {
      oxDraw::Draw(int(b.x), int(b.y), sprite, 0, 0, kBulletCell, kBulletCell);
      continue;
    }
    const int sl = b.animFrame * kBulletCell;
    oxDraw::Draw(int(b.x), int(b.y), sprite, sl, 0, sl + kBulletCell, kBulletCell);
    if (++b.animFrame >= kBulletFrames) b.animFrame = 0;
  }
}

void BulletSpawnAll(Group g) {
  for (int k = 0; k < GroupBulletKinds(g); ++k) BulletSpawn(g, k);
}

void BulletMoveAll(Group g) {
  for (int k = 0; k < GroupBulletKinds(g); ++k) BulletMove(g, k);
}

void BulletDrawAll(Group g) {
  for (int k = 0; k < GroupBulletKinds(g); ++k) BulletDraw(g, k);
}

void ResetGroupBullets() {
  for (int g = 0; g < kGroupCount; ++g) {
    const int kinds = GroupInfo(Group(g)).bulletKinds;
    for (int k = 0; k < kMaxBulletKinds; ++k) {
      const int records = k < kinds ? BulletInfo(Group(g), k).records : 0;
      for (int i = 0; i < kMaxBulletRecords; ++i) {
        EnemyBullet& b = W().groupBullets[g][k][i];
        b = EnemyBullet{};
        b.x = kParkX;
        b.y = kParkY;
        if (i < records) b.animFrame = Rand() % 10;
      }
    }
  }
}

}  // namespace game
