// Joystick queries: SDL joysticks 0 and 1 on the sdl backend, the pads of
// the input script in their place where the script (or a test) names them.
#include "platform/joystick.h"

#include <SDL.h>

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/replay.h"

namespace plat::joystick {

namespace {

struct SdlPads {
  bool tried;       // the joystick subsystem was asked to start
  bool ready;       // ... and started
  int deviceCount;  // SDL's joystick count when the pads were last opened
  SDL_Joystick* pads[kPads];
};

constinit SdlPads g_sdl{};

void ClosePads() {
  for (SDL_Joystick*& js : g_sdl.pads) {
    if (js) SDL_JoystickClose(js);
    js = nullptr;
  }
}

// Joysticks 0 and 1 are SDL's first two devices.
void OpenPads() {
  ClosePads();
  SDL_JoystickUpdate();
  int count = SDL_NumJoysticks();
  g_sdl.deviceCount = count;
  for (int i = 0; i < kPads && i < count; ++i) g_sdl.pads[i] = SDL_JoystickOpen(i);
}

bool StartSdl() {
  // The backend's shutdown quits SDL and closes the joysticks with it; the
  // handles kept from before are gone then.
  if (g_sdl.ready && SDL_WasInit(SDL_INIT_JOYSTICK) == 0) g_sdl = SdlPads{};
  if (g_sdl.ready) return true;
  if (g_sdl.tried) return false;
  g_sdl.tried = true;
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
  // Joysticks are polled (SDL_JoystickUpdate before each read); their
  // events would only crowd the event queue ahead of the keyboard's.
  SDL_JoystickEventState(SDL_IGNORE);
  g_sdl.ready = true;
  OpenPads();
  return true;
}

uint32_t AxisPosition(SDL_Joystick* js, int axis) {
  if (axis >= SDL_JoystickNumAxes(js)) return kCentre;
  return static_cast<uint32_t>(SDL_JoystickGetAxis(js, axis) + 32768);
}

bool ReadSdl(int pad, unsigned what, Position& out) {
  if (!StartSdl()) return false;
  SDL_JoystickUpdate();
  SDL_Joystick* js = g_sdl.pads[pad];
  if (!js || !SDL_JoystickGetAttached(js)) {
    // Plugged in or pulled out since: look the devices up again, but only
    // when their number changed (opening one is not free).
    if (SDL_NumJoysticks() != g_sdl.deviceCount) OpenPads();
    js = g_sdl.pads[pad];
    if (!js || !SDL_JoystickGetAttached(js)) return false;
  }
  if (what & (kAxes | kDeadZoned)) {
    out.x = AxisPosition(js, 0);
    out.y = AxisPosition(js, 1);
    // Many pads report their direction pad as a hat switch.
    if (SDL_JoystickNumHats(js) > 0) {
      Uint8 hat = SDL_JoystickGetHat(js, 0);
      if (hat & SDL_HAT_LEFT) out.x = 0;
      if (hat & SDL_HAT_RIGHT) out.x = 65535;
      if (hat & SDL_HAT_UP) out.y = 0;
      if (hat & SDL_HAT_DOWN) out.y = 65535;
    }
  }
  if (what & kButtons) {
    int buttons = SDL_JoystickNumButtons(js);
    for (int b = 0; b < buttons && b < 32; ++b)
      if (SDL_JoystickGetButton(js, b)) out.buttons |= 1u << b;
  }
  return true;
}

uint32_t DeadZoned(uint32_t p) {
  uint32_t off = p > kCentre ? p - kCentre : kCentre - p;
  return off <= kDeadZone ? kCentre : p;
}

}  // namespace

void ConfigurationChanged() {
  if (IsHeadless()) return;
  if (g_sdl.ready && SDL_WasInit(SDL_INIT_JOYSTICK) != 0) {
    OpenPads();
  } else {
    g_sdl = SdlPads{};  // start (again) at the next read
  }
}

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
  if (IsHeadless()) return false;  // the headless backend has no joystick of its own
  return ReadSdl(pad, what, out);
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
