#include "core/app_state.h"

#include "core/ox_app.h"
#include "platform/platform.h"

namespace ox {

namespace {
AppState g_app;
InputState g_input;
}  // namespace

AppState& App() { return g_app; }
InputState& Input() { return g_input; }

void ResetAppState() {
  g_app = AppState{};
  g_input = InputState{};
  SeedRandom(1);
}

void ResetFrameTimer() {
  g_app.frameSeconds = 0;
  g_app.lastFrameTime = plat::Clock();
}

void UpdateFrameTime() {
  uint32_t elapsed = plat::Clock() - g_app.lastFrameTime;  // unsigned: survives the wrap
  g_app.frameSeconds = static_cast<float>(elapsed) / 1000.0f;
  g_app.lastFrameTime = plat::Clock();
}

void RestartFrameClock() { g_app.lastFrameTime = plat::Clock(); }

void RestartBlink() { g_app.blinkDeadline = plat::Clock() + 1000; }

}  // namespace ox
