// The player's ship: keyboard and joystick control, banking, movement,
// volleys and special shots, the explosion after a hit, and the drawing of
// ship and shots.
#include "game/player.h"

#include <algorithm>

#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "game/collision.h"
#include "game/practice.h"
#include "game/world.h"
#include "input/ox_input.h"

namespace game {

namespace {

constexpr int kVkShift = 0x10;
constexpr int kVkControl = 0x11;
constexpr int kVkLeft = 0x25;
constexpr int kVkUp = 0x26;
constexpr int kVkRight = 0x27;
constexpr int kVkDown = 0x28;
constexpr int kHeld = 3;

constexpr float kShipSpeed = 140;
constexpr float kShotSpeed = 400;
constexpr int kLastShotSlot = 118;  // the index wraps on reaching 119
constexpr int kSpecialEvery = 4;    // frames of the held special key per launch
constexpr int kSpecialCycle = 48;   // 12 launches, records 1..12
constexpr int kSpecialSpeed = 20;
constexpr int kSpecialSide = 4;
constexpr int kLevelBank = 3;
constexpr int kMaxBank = 6;

// Where each stream's shot leaves the ship and how it drifts sideways.
struct StreamLaunch {
  float dx, dy;
  float side;
};
constexpr StreamLaunch kStreams[kShotStreams] = {
    // launch x, launch y, side px/s
    {27, 0, 0},    // 1: straight up from the nose
    {15, 20, 0},   // 2
    {39, 20, 0},   // 3
    {15, 20, 100}, // 4: drifts left
    {39, 20, 100}, // 5: drifts right
};

// Sideways step of each special array (the sign is applied by the move).
constexpr int kSpecialSides[kSpecialArrays] = {0, kSpecialSide, kSpecialSide};

// The playfield rectangle the ship's top-left corner stays in.
struct Clamp {
  float left, right, top, bottom;
};
constexpr Clamp kStageClamp = {130, 450, 100, 420};
constexpr Clamp kEndingClamp = {100, 480, 100, 420};

constexpr int kStageExplosionFrames = 8;
constexpr int kEndingExplosionFrames = 10;

// Five shots into the current slot of each stream; overwrites whatever the
// slot held.
void LaunchVolley() {
  World& w = W();
  const int slot = w.player.shotSlot;
  for (int s = 0; s < kShotStreams; ++s) {
    Shot& shot = w.shots[s][slot];
    shot.active = 1;
    shot.x = w.player.x + kStreams[s].dx;
    shot.y = w.player.y + kStreams[s].dy;
    shot.speed = kShotSpeed;
    shot.side = kStreams[s].side;
  }
}

// One step of the held special control: every fourth step launches the
// next record (1..12) of each array unless that record is still flying.
void AdvanceSpecial() {
  World& w = W();
  Player& p = w.player;
  ++p.specialCounter;
  if (p.specialCounter % kSpecialEvery != 0) return;
  const int k = p.specialCounter / kSpecialEvery;
  for (int a = 0; a < kSpecialArrays; ++a) {
    Special& sp = w.specials[a][k];
    if (sp.active) continue;
    sp.active = 1;
    sp.x = static_cast<int>(p.x);
    sp.y = static_cast<int>(p.y) + 10;
    sp.speed = kSpecialSpeed;
    sp.side = kSpecialSides[a];
  }
  if (p.specialCounter == kSpecialCycle) p.specialCounter = 0;
}

void SteerLeft(Player& p) {
  p.bankStep = +1;
  p.vx = -kShipSpeed;
}
void SteerRight(Player& p) {
  p.bankStep = -1;
  p.vx = +kShipSpeed;
}

}  // namespace

void KeyboardControl() {
  Player& p = W().player;
  oxInput::GetKey(kVkLeft, &p.keyLeft);
  oxInput::GetKey(kVkRight, &p.keyRight);
  oxInput::GetKey(kVkUp, &p.keyUp);
  oxInput::GetKey(kVkDown, &p.keyDown);
  oxInput::GetKey('Z', &p.keyZ);
  oxInput::GetKey('X', &p.keyX);
  oxInput::GetKey(kVkShift, &p.keyShift);
  oxInput::GetKey(kVkControl, &p.keyControl);

  // Keys act from their second frame; Right wins over Left, Down over Up.
  if (p.keyLeft == kHeld) SteerLeft(p);
  if (p.keyRight == kHeld) SteerRight(p);
  if (p.keyUp == kHeld) p.vy = -kShipSpeed;
  if (p.keyDown == kHeld) p.vy = +kShipSpeed;

  // With the arrows released, a ship banked to the limit swings back.
  if (p.keyLeft == 0 && p.keyRight == 0 && p.keyUp == 0 && p.keyDown == 0 &&
      (p.bankFrame == 0 || p.bankFrame == kMaxBank)) {
    p.bankStep = -p.bankStep;
  }

  if (++p.shotSlot > kLastShotSlot) p.shotSlot = 0;

  if (p.keyX == kHeld) LaunchVolley();
  if (p.keyControl == kHeld) LaunchVolley();
  if (p.keyZ == kHeld) AdvanceSpecial();
  if (p.keyShift == kHeld) AdvanceSpecial();
}

void JoystickControl() {
  Player& p = W().player;
  int dx = 0, dy = 0;
  oxInput::JoyDirection(0, &dx, &dy);
  if (dx < 0) SteerLeft(p);
  if (dx > 0) SteerRight(p);
  if (dy < 0) p.vy = -kShipSpeed;
  if (dy > 0) p.vy = +kShipSpeed;
  // The joystick fires into the slot the keyboard chose this frame.
  if (oxInput::JoyButton(0, 2)) LaunchVolley();
  if (oxInput::JoyButton(0, 1)) AdvanceSpecial();
}

void PlayerMove(bool ending) {
  World& w = W();
  Player& p = w.player;
  p.bankFrame = std::clamp(p.bankFrame + p.bankStep, 0, kMaxBank);
  if (p.bankFrame == kLevelBank) p.bankStep = 0;

  const Clamp& c = ending ? kEndingClamp : kStageClamp;
  const float dt = WorldSeconds();
  p.x = std::clamp(p.x + p.vx * dt, c.left, c.right);
  p.y = std::clamp(p.y + p.vy * dt, c.top, c.bottom);
  p.vx = 0;
  p.vy = 0;

  w.shotCount = 0;
  w.specialCount = 0;
  CollisionPass();
  // With nothing in flight the rotation starts again from the first slot.
  if (w.shotCount == 0) p.shotSlot = 0;
}

void PlayerDraw(bool ending) {
  World& w = W();
  Player& p = w.player;
  const int x = static_cast<int>(p.x);
  const int y = static_cast<int>(p.y);
  if (p.alive == 1) {
    // The ending scene draws its own ship.
    if (!ending) oxDraw::Draw(x, y, w.assets.my, 60 * p.bankFrame, 0, 60 * p.bankFrame + 60, 70);
    return;
  }
  // After game over the burst takes the wrecked ship's place in a stage; the
  // ending finishes the explosion regardless.
  if (w.gameOver != 0 && !ending) return;

  const int e = p.explosionFrame;
  oxDraw::Draw(x, y, w.assets.fbak1, 80 * e, 0, 80 * e + 80, 80);
  p.explosionFrame = e + 1;
  const int frames = ending ? kEndingExplosionFrames : kStageExplosionFrames;
  if (p.explosionFrame >= frames) {
    p.alive = 1;
    p.explosionFrame = 0;
  }
  PlayBoom();
  --w.energy;
}

void ShotDraw() {
  World& w = W();
  for (int i = 0; i < kShotSlots; ++i) {
    for (int s = 0; s < kShotStreams; ++s) {
      const Shot& shot = w.shots[s][i];
      if (shot.active) {
        oxDraw::Draw(static_cast<int>(shot.x), static_cast<int>(shot.y), w.assets.mymy, 0, 70, 5,
                     80);
      }
    }
  }
  for (const auto& array : w.specials) {
    for (const Special& sp : array) {
      if (sp.active) oxDraw::Draw(sp.x, sp.y, w.assets.flh2, 0, 0, 60, 60);
    }
  }
}

void ResetShots() {
  World& w = W();
  for (auto& stream : w.shots) {
    for (Shot& shot : stream) shot = Shot{};
  }
  const Special parked = {static_cast<int>(kParkX), static_cast<int>(kParkY), 0, 0, 0};
  for (auto& array : w.specials) {
    for (Special& sp : array) sp = parked;
  }
  for (Special& sp : w.flh1) sp = parked;
}

}  // namespace game
