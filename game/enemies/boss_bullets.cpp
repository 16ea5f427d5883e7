// Sample Game: the bullet kinds of the bosses. Volley fans launch ten
// volleys of 3, 5 or 9 records on a volley timer; spread fans launch 2, 3 or
// 4 records whenever they are free. Both are driven by the boss tables.
#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "game/enemies/boss_table.h"
#include "game/enemies/bosses.h"
#include "game/practice.h"
#include "game/world.h"

namespace game {

namespace {

constexpr float kBottom = 480;  // a bullet below this is freed
constexpr int kVal20Cell = 20;
constexpr int kVal40Cell = 40;  // VAL401 / VAL402: a strip of five cells
constexpr int kVal40Cells = 5;
constexpr int kSpreadCell = 16;

BossBullet* Records(int boss, int kind) { return W().bossBullets[boss][kind]; }

void Free(BossBullet& r) {
  r.alive = 0;
  r.x = kParkX;
  r.y = kParkY;
}

// Falls at vy, is freed below the screen, and kills the player inside the
// box. A kill leaves the bullet flying.
void Fall(BossBullet& r, float vy, const BossHitBox& box, float dt) {
  r.vy = vy;
  r.y += r.vy * dt;
  if (r.y > kBottom) Free(r);
  Player& p = W().player;
  const float dx = r.x - p.x, dy = r.y - p.y;
  if (p.alive == 1 && box.x0 <= dx && dx <= box.x1 && box.y0 <= dy && dy <= box.y1) p.alive = 0;
}

// ---- volley fans

void VolleySpawn(BossBullet* rec, const BossVolleyRow& v, const BossRecord& boss) {
  for (int i = 0; i < v.records; ++i) {
    if (++rec[i].volleyTimer == v.wrap) rec[i].volleyTimer = 0;
  }
  const int size = v.records / kVolleys;
  const float* arc = BossArc(size);
  for (int volley = 0; volley < kVolleys; ++volley) {
    BossBullet* r = rec + volley * size;
    for (int j = 0; j < size; ++j) {
      if (r[j].volleyTimer != v.step * (volley + 1) || r[j].alive != 0) continue;
      r[j].alive = 1;
      r[j].x = boss.x + float(v.launchX);
      // The whole volley goes back onto the arc, records still in flight too.
      for (int k = 0; k < size; ++k) r[k].y = boss.y + float(v.launchY) + arc[k];
    }
  }
}

void VolleyMove(BossBullet* rec, const BossVolleyRow& v, float dt) {
  const int size = v.records / kVolleys;
  // The sideways spread runs for free records too; they lie out of reach.
  for (int i = 0; i < v.records; ++i) rec[i].x += v.lateral[i % size] * dt;
  const BossHitBox& box = BossVolleyHitBox(v.image);
  for (int i = 0; i < v.records; ++i) {
    if (rec[i].alive) Fall(rec[i], v.vy, box, dt);
  }
}

void VolleyDraw(const BossBullet* rec, const BossVolleyRow& v) {
  const int handle = W().assets.bossBullet[v.image];
  for (int i = 0; i < v.records; ++i) {
    const BossBullet& r = rec[i];
    if (v.image == kVal20) {
      oxDraw::Draw(int(r.x), int(r.y), handle, 0, 0, kVal20Cell, kVal20Cell);
    } else {
      const int left = kVal40Cell * (i % kVal40Cells);
      oxDraw::Draw(int(r.x), int(r.y), handle, left, 0, left + kVal40Cell, kVal40Cell);
    }
  }
}

// ---- spread fans

void SpreadSpawn(BossBullet* rec, const BossSpreadKind& k, const BossRecord& boss) {
  const int n = BossShapeData(k.shape).records;
  for (int i = 0; i < n; ++i) {
    if (rec[i].alive != 0) continue;
    rec[i].alive = 1;
    rec[i].x = boss.x + float(k.x);
    rec[i].y = boss.y + float(k.y);
  }
}

void SpreadMove(BossBullet* rec, const BossSpreadKind& k, float dt) {
  const BossShapeRow& shape = BossShapeData(k.shape);
  for (int i = 0; i < shape.records; ++i) rec[i].x += shape.lateral[i] * dt;
  for (int i = 0; i < shape.records; ++i) {
    if (rec[i].alive) Fall(rec[i], shape.vy, BossSpreadHitBox(), dt);
  }
}

void SpreadDraw(const BossBullet* rec, const BossSpreadKind& k, int image) {
  const int handle = W().assets.val[image];
  const int n = BossShapeData(k.shape).records;
  for (int i = 0; i < n; ++i) {
    oxDraw::Draw(int(rec[i].x), int(rec[i].y), handle, 0, 0, kSpreadCell, kSpreadCell);
  }
}

}  // namespace

int BossKindRecords(int boss, int kind) {
  const BossKindRef ref = BossKind(boss, kind);
  switch (ref.family) {
    case BossFamily::kVolley: return BossVolley(ref.row).records;
    case BossFamily::kSpread: return BossShapeData(BossSpread(ref.row).kind[ref.slot].shape).records;
    case BossFamily::kNone: break;
  }
  return 0;
}

void BossBulletSpawn(int boss, int kind) {
  const BossKindRef ref = BossKind(boss, kind);
  if (ref.family == BossFamily::kVolley) {
    VolleySpawn(Records(boss, kind), BossVolley(ref.row), W().bosses[boss]);
  } else if (ref.family == BossFamily::kSpread) {
    SpreadSpawn(Records(boss, kind), BossSpread(ref.row).kind[ref.slot], W().bosses[boss]);
  }
}

void BossBulletMove(int boss, int kind) {
  const BossKindRef ref = BossKind(boss, kind);
  const float dt = WorldSeconds();
  if (ref.family == BossFamily::kVolley) {
    VolleyMove(Records(boss, kind), BossVolley(ref.row), dt);
  } else if (ref.family == BossFamily::kSpread) {
    SpreadMove(Records(boss, kind), BossSpread(ref.row).kind[ref.slot], dt);
  }
}

void BossBulletDraw(int boss, int kind) {
  const BossKindRef ref = BossKind(boss, kind);
  if (ref.family == BossFamily::kVolley) {
    VolleyDraw(Records(boss, kind), BossVolley(ref.row));
  } else if (ref.family == BossFamily::kSpread) {
    const BossSpreadRow& row = BossSpread(ref.row);
    SpreadDraw(Records(boss, kind), row.kind[ref.slot], row.image);
  }
}

}  // namespace game
