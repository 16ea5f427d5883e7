// Scrolling background layers, falling clouds and the game-over burst.
#include "game/scenery.h"

#include <cmath>

#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "game/practice.h"
#include "game/world.h"

namespace game {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kStripHeight = 480;
constexpr int kLoopStrip = 6;  // the column jumps back once this strip reaches the top

// Each layer: an index into Assets::back (BACK1..BACK8) and its speed.
struct LayerKind {
  int back;
  float speed;
};
constexpr LayerKind kLayers[kLayerCount] = {
    // image    px/s
    {1, 600},  // ending layer: BACK2
    {1, 220},  // stage 1: BACK2
    {2, 220},  // stage 2: BACK3
    {3, 220},  // stage 3: BACK4
    {4, 220},  // stage 4: BACK5
    {5, 220},  // stage 5: BACK6
    {6, 460},  // stage 6: BACK7
    {7, 500},  // stage 7: BACK8
};

// Each cloud record: an index into Assets::bkm, its cell size, and its
// launch point and speed as a base plus r mod range (range 0: fixed).
struct CloudKind {
  int bkm;
  int width, height;
  int x, xRange;
  float speed;
  int speedRange;
};
constexpr CloudKind kClouds[kCloudCount] = {
    // image   w    h    x  x mod  speed  speed mod
    {0, 200, 200, 100, 0, 350, 150},  // 1: BKM1h
    {1, 200, 200, 340, 0, 350, 150},  // 2: BKM1m
    {3, 200, 160, 100, 240, 270, 0},  // 3: BKM3
    {3, 200, 160, 100, 240, 290, 0},  // 4: BKM3
    {4, 130, 130, 100, 310, 320, 0},  // 5: BKM4
    {5, 90, 80, 100, 350, 336, 0},    // 6: BKM5
};

// Burst: five waves of 16 flames, launched on these life counts.
constexpr int kFlamesPerWave = 16;
constexpr int kWaveLife[kFlameCount / kFlamesPerWave] = {1, 10, 20, 30, 40};
constexpr int kCostlyWave = 4;  // each flame of the last wave costs 1 energy
constexpr int kBurstEnd = 91;   // every flame is gone on this life count
constexpr int kBurstIdleMax = 200;
constexpr int kBurstIdle = 160;  // parks the pool's life count here until the next reset
constexpr float kFlameSpeed = 280;
constexpr int kFlameCycle = 14;    // cell counter 0..14
constexpr int kFirstRowCells = 8;  // counter values below this use row 0

void ParkFlame(Flame& f) {
  f = Flame{};
  f.x = kParkX;
  f.y = kParkY;
}

void ParkCloud(Cloud& c) {
  c.active = 0;
  c.x = kParkX;
  c.y = kParkY;
}

}  // namespace

void LayerDraw(int layer) {
  if (layer < 0 || layer >= kLayerCount) return;
  World& w = W();
  const LayerKind& row = kLayers[layer];
  Strip* strips = w.layers[layer];
  const float step = row.speed * WorldSeconds();
  for (int i = 0; i < kStrips; ++i) {
    oxDraw::Draw(static_cast<int>(strips[i].x), static_cast<int>(strips[i].y),
                 w.assets.back[row.back], 0, 0, 380, kStripHeight);
    strips[i].x = 130;
    strips[i].y += step;
    if (strips[kLoopStrip].y >= 0) {
      // The column has run through: jump back, and leave the rest of the
      // strips undrawn this frame.
      for (int j = 0; j < kStrips; ++j) strips[j].y = static_cast<float>(-kStripHeight * j);
      return;
    }
  }
}

void CloudMove(int record) {
  if (record < 1 || record > kCloudCount) return;
  Cloud& c = W().clouds[record - 1];
  const CloudKind& row = kClouds[record - 1];
  if (c.active) c.y += c.speed * WorldSeconds();
  if (c.y > 480 || c.y + static_cast<float>(row.height) < 0) ParkCloud(c);
}

void CloudDraw(int record) {
  if (record < 1 || record > kCloudCount) return;
  World& w = W();
  const Cloud& c = w.clouds[record - 1];
  const CloudKind& row = kClouds[record - 1];
  if (c.active) {
    oxDraw::Draw(static_cast<int>(c.x), static_cast<int>(c.y), w.assets.bkm[row.bkm], 0, 0,
                 row.width, row.height);
  }
}

void CloudLaunch(int record) {
  if (record < 1 || record > kCloudCount) return;
  Cloud& c = W().clouds[record - 1];
  const CloudKind& row = kClouds[record - 1];
  if (c.active) return;
  c.active = 1;
  c.x = static_cast<float>(row.xRange ? row.x + Rand() % row.xRange : row.x);
  c.y = static_cast<float>(-row.height);
  c.speed = row.speedRange ? row.speed + static_cast<float>(Rand() % row.speedRange) : row.speed;
}

void BurstAnimate() {
  World& w = W();
  for (Flame& f : w.burst) {
    oxDraw::Draw(static_cast<int>(f.x), static_cast<int>(f.y), w.assets.gfbak1, 60 * f.column,
                 60 * f.row, 60 * f.column + 60, 60 * f.row + 60);
    ++f.counter;
    if (f.counter < kFirstRowCells) {
      ++f.column;
      f.row = 0;
    }
    if (f.counter == kFirstRowCells) f.column = 0;
    if (f.counter >= kFirstRowCells && f.counter <= kFlameCycle) {
      ++f.column;
      f.row = 1;
    }
    if (f.counter > kFlameCycle) {
      f.column = 0;
      f.row = 0;
      f.counter = 0;
    }
  }
}

void BurstLaunch() {
  World& w = W();
  for (Flame& f : w.burst) {
    ++f.life;
    if (f.life >= kBurstEnd && f.life <= kBurstIdleMax) {
      ParkFlame(f);
      f.life = kBurstIdle;
    }
  }
  for (int i = 0; i < kFlameCount; ++i) {
    Flame& f = w.burst[i];
    const int wave = i / kFlamesPerWave;
    if (f.life != kWaveLife[wave] || f.active) continue;
    f.active = 1;
    f.x = f.startX = w.player.x;
    f.y = f.startY = w.player.y;
    f.speed = kFlameSpeed;
    f.aimX = 20 - f.x;
    f.aimY = 20 - f.y;
    // Sixteen directions, turned so that record 0 heads for (20, 20).
    const float turn = static_cast<float>(i) * 2 * kPi / kFlamesPerWave;
    f.angle = f.aimX == 0 ? turn + kPi / 2 : turn + std::atan(f.aimY / f.aimX);
    if ((f.aimX <= 0 && f.aimY <= 0) || (f.aimX < 0 && f.aimY > 0)) f.angle += kPi;
    if (wave == kCostlyWave) --w.energy;
  }
}

void BurstMove() {
  const float dt = WorldSeconds();
  for (Flame& f : W().burst) {
    if (!f.active) continue;
    f.y += std::sin(f.angle) * f.speed * dt;
    f.x += std::cos(f.angle) * f.speed * dt;
    if (f.x > 510 || f.x < -60 || f.y > 480 || f.y < -60) {
      f.active = 0;
      f.x = kParkX;
      f.y = kParkY;
    }
  }
}

void ResetLayers() {
  for (auto& layer : W().layers) {
    for (int i = 0; i < kStrips; ++i) {
      layer[i].x = kParkX;
      layer[i].y = static_cast<float>(-kStripHeight * i);
    }
  }
}

void ResetClouds() {
  for (Cloud& c : W().clouds) {
    ParkCloud(c);
    c.speed = 0;
  }
}

void ResetBurst() {
  for (Flame& f : W().burst) {
    ParkFlame(f);
    f.angle = -3 * kPi / 180;
  }
}

}  // namespace game
