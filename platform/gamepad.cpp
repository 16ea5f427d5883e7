// Game-controller queries: the script's pads where the script (or a test)
// names them, a recording's readings while one records or replays, else the
// driver chosen at platform start.
#include "platform/gamepad.h"

#include <cstdio>
#include <cstring>

#include "platform/backend.h"
#include "platform/gamepad_driver.h"
#include "platform/platform.h"
#include "platform/replay.h"

namespace plat::gamepad {

namespace {

constexpr const char* kButtonNames[kButtons] = {
    "a",          "b",           "x",            "y",    "back",   "guide",  "start", "leftstick",
    "rightstick", "leftshoulder", "rightshoulder", "dpup", "dpdown", "dpleft", "dpright"};
constexpr const char* kAxisNames[kAxes] = {"leftx", "lefty",        "rightx",
                                           "righty", "lefttrigger", "righttrigger"};

bool SameNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char ca = *a >= 'A' && *a <= 'Z' ? char(*a + 32) : *a;
    if (ca != *b) return false;
  }
  return *a == *b;
}

bool ReadSource(int pad, State& out) {
  const ScriptGamepad* scripted = detail::Script().Gamepad(pad);
  if (scripted && scripted->scripted) {
    out = scripted->state;
    return out.attached;
  }
  if (!CurrentDriver().Read(pad, out)) return false;
  out.attached = true;
  return true;
}

}  // namespace

bool operator==(const State& a, const State& b) {
  return a.attached == b.attached && a.buttons == b.buttons &&
         memcmp(a.axes, b.axes, sizeof a.axes) == 0;
}

int ButtonFromName(const char* name) {
  for (int b = 0; name && b < kButtons; ++b)
    if (SameNoCase(name, kButtonNames[b])) return b;
  return -1;
}

const char* ButtonName(int button) {
  return button >= 0 && button < kButtons ? kButtonNames[button] : nullptr;
}

int AxisFromName(const char* name) {
  for (int a = 0; name && a < kAxes; ++a)
    if (SameNoCase(name, kAxisNames[a])) return a;
  return -1;
}

const char* AxisName(int axis) { return axis >= 0 && axis < kAxes ? kAxisNames[axis] : nullptr; }

bool ReadLive(int pad, State& out) {
  out = State{};
  if (pad < 0 || pad >= kPads) return false;
  if (!ReadSource(pad, out)) {
    out = State{};
    return false;
  }
  return true;
}

bool Read(int pad, State& out) {
  out = State{};
  if (pad < 0 || pad >= kPads) return false;
  if (replay::Recording() || replay::Replaying()) return replay::ReadGamepad(pad, out);
  return ReadLive(pad, out);
}

bool UserMappingPath(char* out, unsigned size) {
  char dir[1024];
  if (!ConfigDirectory(dir, sizeof dir)) return false;
  const int n = snprintf(out, size, "%s/samplegame/gamecontrollerdb.txt", dir);
  return n > 0 && static_cast<unsigned>(n) < size;
}

}  // namespace plat::gamepad

namespace plat::headless {

void SetGamepad(int pad, const gamepad::State& state) {
  ScriptGamepad* p = detail::Script().Gamepad(pad);
  if (!p) return;
  p->scripted = true;
  p->state = state;
  if (!state.attached) p->state = gamepad::State{};
}

}  // namespace plat::headless
