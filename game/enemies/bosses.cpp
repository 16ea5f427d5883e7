// Sample Game: the boss records: hit, draw with the hit flash and sparks,
// the path by entry timer, the death step, and the new-game reset.
#include "game/enemies/bosses.h"

#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "game/enemies/boss_table.h"
#include "game/practice.h"
#include "game/resets.h"
#include "game/world.h"
#include "sound/ox_music.h"

namespace game {

namespace {

constexpr float kTimerRate = 10;  // entry and death timers, per second
constexpr float kSwaySpeed = 40;

// Fly-by picture: 480 x 480, sweeping up from the bottom of the screen.
constexpr int kFlyBySize = 480;
constexpr float kFlyByX = 80;
constexpr float kFlyByY = 480;
constexpr float kFlyBySpeed = 400;

// Pool images: SUNDER1 seven 80 x 80 cells, BBAK1 four 160 x 160, ZBAK1 ten 60 x 60.
constexpr int kSparkCell = 80, kSparkLast = 6;
constexpr int kLargeCell = 160, kLargeLast = 3;
constexpr int kSmallCell = 60, kSmallLast = 9;
constexpr int kSparkOffsetX = 30, kSparkOffsetY = 80;
constexpr int kLargeOffsetX = 100, kSmallOffsetX = 40;

// Death step: the music stops inside (50, 60), the stage ends above 70.
constexpr float kMusicStopFrom = 50, kMusicStopTo = 60, kDeathEnd = 70;

bool Closed(const TimerRange& r, float t) { return r.lo <= t && t <= r.hi; }
bool OpenLow(const TimerRange& r, float t) { return r.lo < t && t <= r.hi; }

void Park(Blast& b) {
  b.frame = 0;
  b.x = kParkX;
  b.y = kParkY;
}

void DrawCell(const Blast& b, int handle, int size) {
  oxDraw::Draw(int(b.x), int(b.y), handle, size * b.frame, 0, size * b.frame + size, size);
}

// Draws a pool record at its place, steps its frame, then moves it to a
// random place around the boss.
void BlastStep(Blast& b, int handle, int size, int last, const BossRecord& boss, int spanX,
               int spanY, int offsetX) {
  DrawCell(b, handle, size);
  if (++b.frame > last) b.frame = 0;
  b.x = float(Rand() % spanX - offsetX) + boss.x;
  b.y = float(Rand() % spanY) + boss.y;
}

void SparkStep(Blast& s, const BossRecord& boss, const BossRow& row) {
  s.x = float(Rand() % row.sparkX - kSparkOffsetX) + boss.x;
  s.y = float(Rand() % row.sparkY - kSparkOffsetY) + boss.y;
  DrawCell(s, W().assets.sunder1, kSparkCell);
  if (++s.frame > kSparkLast) s.frame = 0;
}

void FlyByStep(FlyBy& f, const BossRow& row, float t, float dt) {
  const int handle = W().assets.bos[row.flyBy];
  if (Closed(row.flyByShow, t)) {
    oxDraw::Draw(int(f.x), int(f.y), handle, 0, 0, kFlyBySize, kFlyBySize);
    f.x = kFlyByX;
    f.y = kFlyByY;
    f.speed = kFlyBySpeed;
  }
  if (OpenLow(row.flyBySweep, t)) {
    oxDraw::Draw(int(f.x), int(f.y), handle, 0, 0, kFlyBySize, kFlyBySize);
    f.x = kFlyByX;
    f.y -= f.speed * dt;
    if (f.y < -kFlyBySize) {
      f.speed = 0;
      f.x = kParkX;
      f.y = kParkY;
    }
  }
}

bool Valid(int boss) { return boss >= 0 && boss < kBossCount; }

}  // namespace

float BossStartEnergy(int boss) { return Valid(boss) ? BossData(boss).startEnergy : 0; }

int BossKindCount(int boss) {
  int n = 0;
  while (n < kMaxBossKinds && BossKind(boss, n + 1).family != BossFamily::kNone) ++n;
  return n;
}

int BossNextScene(int boss) { return Valid(boss) ? BossData(boss).nextScene : 0; }

void BossHit(int boss) {
  if (!Valid(boss)) return;
  W().bosses[boss].hitFlash = 1;
  PlayBoom();
}

void BossDraw(int boss) {
  if (!Valid(boss)) return;
  BossRecord& b = W().bosses[boss];
  const BossRow& row = BossData(boss);
  oxDraw::Draw(int(b.x), int(b.y), W().assets.bos[boss], 0, 0, row.cellWidth, row.cellHeight);
  if (b.hitFlash == 1) {
    b.hitFlash = 0;
    if (W().spark == 1) {
      for (int k = 0; k < row.sparks; ++k) SparkStep(b.sparks[k], b, row);
    }
    PlayBoom();
  }
  BossDeathStep(boss);
}

void BossMove(int boss) {
  if (!Valid(boss)) return;
  BossRecord& b = W().bosses[boss];
  const BossRow& row = BossData(boss);
  const float dt = WorldSeconds();
  b.entryTimer += kTimerRate * dt;
  const float t = b.entryTimer;

  if (row.flyBy != kNoFlyBy) FlyByStep(b.flyBy, row, t, dt);
  if (OpenLow(row.entry, t)) {
    b.x = row.entryX;
    b.y = row.entryY;
  }
  if (Closed(row.descent, t)) b.y += row.descentSpeed * dt;
  if (Closed(row.hold, t)) {
    b.x = row.entryX;
    b.y = 0;
  }
  if (Closed(row.swayRight, t)) b.x += kSwaySpeed * dt;
  if (Closed(row.swayLeft, t)) b.x -= kSwaySpeed * dt;
  if (Closed(row.swayRightAgain, t)) b.x += kSwaySpeed * dt;
  // Back into the hold, so the sway repeats for as long as the boss lives.
  if (t >= row.jumpAt) b.entryTimer = row.jumpBack;
}

void BossDeathStep(int boss) {
  if (!Valid(boss)) return;
  BossRecord& b = W().bosses[boss];
  if (b.energy > 0) return;
  const BossRow& row = BossData(boss);
  const Assets& a = W().assets;
  for (Blast& e : b.large) {
    BlastStep(e, a.bbak1, kLargeCell, kLargeLast, b, row.blastX, row.blastY, kLargeOffsetX);
  }
  for (Blast& e : b.small) {
    BlastStep(e, a.zbak1, kSmallCell, kSmallLast, b, row.blastX, row.blastY, kSmallOffsetX);
  }
  PlayBoom();

  b.deathTimer += kTimerRate * WorldSeconds();
  if (b.deathTimer > kMusicStopFrom && b.deathTimer < kMusicStopTo) oxMusic::Stop();
  if (b.deathTimer > kDeathEnd) {
    W().stageStart = 1;
    // The reset parks this boss with its pools and bullets and restores its
    // energy, so the step ends here for good.
    NewGameReset();
    ox::ChangeScene(row.nextScene);
  }
}

void ResetBosses() {
  World& w = W();
  // Bullets first, then the boss records: the order the generator is drawn in.
  for (int boss = 0; boss < kBossCount; ++boss) {
    const int kinds = BossKindCount(boss);
    for (int kind = 0; kind <= kMaxBossKinds; ++kind) {
      for (BossBullet& r : w.bossBullets[boss][kind]) {
        r.x = kParkX;
        r.y = kParkY;
        r.vy = 0;
        r.volleyTimer = 0;
        r.alive = 0;
        r.phase = 0;
      }
      if (kind < 1 || kind > kinds) continue;
      const int records = BossKindRecords(boss, kind);
      for (int i = 0; i < records; ++i) w.bossBullets[boss][kind][i].phase = Rand() % 10;
    }
  }
  for (int boss = 0; boss < kBossCount; ++boss) {
    BossRecord& b = w.bosses[boss];
    b.phase = Rand() % 10;
    b.x = kParkX;
    b.y = kParkY;
    b.entryTimer = 0;
    b.energy = BossData(boss).startEnergy;
    b.deathTimer = 0;
    b.hitLock = 0;
    b.hitFlash = 0;
    b.countdown = 0;
    for (Blast& s : b.sparks) Park(s);
    for (Blast& e : b.large) Park(e);
    for (Blast& e : b.small) Park(e);
    b.flyBy = {kParkX, kParkY, 0};
  }
}

}  // namespace game
