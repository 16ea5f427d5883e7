// Joystick queries: the pads of the joystick driver chosen at platform
// start, the pads of the input script in their place where the script (or a
// test) names them, a recording's readings while one records or replays.
#include "platform/joystick.h"

#include "platform/backend.h"
#include "platform/joystick_driver.h"
#include "platform/replay.h"

namespace plat::joystick {

namespace {

uint32_t DeadZoned(uint32_t p) {
  uint32_t off = p > kCentre ? p - kCentre : kCentre - p;
  return off <= kDeadZone ? kCentre : p;
}

}  // namespace

void ConfigurationChanged() { CurrentDriver().ConfigurationChanged(); }

namespace {

bool ReadSource(int pad, unsigned what, Position& out) {
  const ScriptPad* scripted = detail::Script().Pad(pad);
  if (scripted && scripted->scripted) {
    if (!scripted->attached) return false;
    out.x = scripted->x;
    out.y = scripted->y;
    out.buttons = scripted->buttons;
    return true;
  }
  return CurrentDriver().Read(pad, what, out);
}

}  // namespace

bool ReadPadLive(int pad, Position& out) {
  out = Position{};
  if (pad < 0 || pad >= kPads) return false;
  return ReadSource(pad, kAxes | kButtons, out);
}

bool ReadPad(int pad, unsigned what, Position& out) {
  out = Position{};
  if (pad < 0 || pad >= kPads) return false;
  // A recording or replay holds the reading taken when the pass began.
  const bool ok = replay::Recording() || replay::Replaying() ? replay::ReadPad(pad, out)
                                                             : ReadSource(pad, what, out);
  if (!ok) {
    out = Position{};
    return false;
  }
  if (!(what & (kAxes | kDeadZoned))) out.x = out.y = 0;
  if (!(what & kButtons)) out.buttons = 0;
  if (what & kDeadZoned) {
    out.x = DeadZoned(out.x);
    out.y = DeadZoned(out.y);
  }
  return true;
}

}  // namespace plat::joystick

namespace plat::headless {

void SetJoystick(int pad, bool attached, uint32_t x, uint32_t y, uint32_t buttons) {
  ScriptPad* p = detail::Script().Pad(pad);
  if (!p) return;
  p->scripted = true;
  p->attached = attached;
  p->x = x > 65535 ? 65535 : x;
  p->y = y > 65535 ? 65535 : y;
  p->buttons = buttons;
}

}  // namespace plat::headless
