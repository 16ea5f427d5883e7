// The sdl game-controller driver: the first two joysticks SDL knows as game
// controllers are pads 0 and 1, with SDL's built-in mapping database,
// SDL_GAMECONTROLLERCONFIG (read by SDL itself) and the user's mapping file
// beside the settings file. Pads are polled; plugging one in or pulling it
// out is noticed at the next read.
#include <SDL.h>

#include <cstdio>

#include "platform/drivers.h"
#include "platform/start_trace.h"
#include "platform/gamepad_driver.h"

namespace plat::gamepad {

namespace {

struct SdlPads {
  bool tried;
  bool ready;
  int deviceCount;  // SDL's joystick count when the pads were last opened
  SDL_GameController* pads[kPads];
};

constinit SdlPads g_sdl{};

void ClosePads() {
  for (SDL_GameController*& c : g_sdl.pads) {
    if (c) SDL_GameControllerClose(c);
    c = nullptr;
  }
}

// Pads 0 and 1 are the first two devices with a controller mapping.
void OpenPads() {
  ClosePads();
  SDL_GameControllerUpdate();
  const int count = SDL_NumJoysticks();
  g_sdl.deviceCount = count;
  int next = 0;
  for (int i = 0; i < count && next < kPads; ++i) {
    if (!SDL_IsGameController(i)) continue;
    if (SDL_GameController* c = SDL_GameControllerOpen(i)) g_sdl.pads[next++] = c;
  }
}

void LoadUserMappings() {
  char path[1100];
  if (!UserMappingPath(path, sizeof path)) return;
  FILE* f = fopen(path, "rb");
  if (!f) return;  // no file of the user's: the built-in database serves
  fclose(f);
  if (SDL_GameControllerAddMappingsFromFile(path) < 0)
    fprintf(stderr, "samplegame: cannot read the pad mappings %s: %s\n", path, SDL_GetError());
}

bool StartSdl() {
  // The backend's shutdown quits SDL and closes the controllers with it.
  if (g_sdl.ready && SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) g_sdl = SdlPads{};
  if (g_sdl.ready) return true;
  if (g_sdl.tried) return false;
  g_sdl.tried = true;
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
  // Polled like the joysticks: their events would only crowd the queue.
  SDL_GameControllerEventState(SDL_IGNORE);
  LoadUserMappings();
  g_sdl.ready = true;
  OpenPads();
  start_trace::Mark("game controllers ready");
  return true;
}

bool ReadSdl(int pad, State& out) {
  if (!StartSdl()) return false;
  SDL_GameControllerUpdate();
  bool stale = SDL_NumJoysticks() != g_sdl.deviceCount;
  for (SDL_GameController* c : g_sdl.pads) stale = stale || (c && !SDL_GameControllerGetAttached(c));
  if (stale) OpenPads();
  SDL_GameController* c = g_sdl.pads[pad];
  if (!c) return false;
  for (int b = 0; b < kButtons; ++b)
    if (SDL_GameControllerGetButton(c, static_cast<SDL_GameControllerButton>(b)))
      out.buttons |= 1u << b;
  for (int a = 0; a < kAxes; ++a)
    out.axes[a] = SDL_GameControllerGetAxis(c, static_cast<SDL_GameControllerAxis>(a));
  return true;
}

class SdlDriver final : public Driver {
 public:
  const char* Name() const override { return "sdl"; }
  bool Read(int pad, State& out) override { return ReadSdl(pad, out); }
};

}  // namespace

Driver& SdlDriverInstance() {
  static SdlDriver driver;
  return driver;
}

}  // namespace plat::gamepad
