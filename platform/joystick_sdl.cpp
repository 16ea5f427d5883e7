// The sdl joystick driver: SDL's first two joysticks are pads 0 and 1.
#include <SDL.h>

#include "platform/drivers.h"
#include "platform/start_trace.h"
#include "platform/joystick_driver.h"

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
  start_trace::Mark("joysticks ready");
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

class SdlDriver final : public Driver {
 public:
  const char* Name() const override { return "sdl"; }
  bool Read(int pad, unsigned what, Position& out) override { return ReadSdl(pad, what, out); }
  void ConfigurationChanged() override {
    if (g_sdl.ready && SDL_WasInit(SDL_INIT_JOYSTICK) != 0) {
      OpenPads();
    } else {
      g_sdl = SdlPads{};  // start (again) at the next read
    }
  }
};

}  // namespace

Driver& SdlDriverInstance() {
  static SdlDriver driver;
  return driver;
}

}  // namespace plat::joystick
