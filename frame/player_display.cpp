#include "frame/player_display.h"

#include "core/app_state.h"
#include "core/input_control.h"
#include "platform/platform.h"

namespace ox {

namespace {

oxSettings::Values g_applied;

bool SameDisplay(const oxSettings::Values& a, const oxSettings::Values& b) {
  return a.fullscreen == b.fullscreen && a.scale == b.scale && a.fill == b.fill &&
         a.windowWidth == b.windowWidth && a.windowHeight == b.windowHeight;
}

}  // namespace

void StartPlayerDisplay(const oxSettings::Values& values) { g_applied = values; }

void ApplyPlayerDisplay(const oxSettings::Values& values) {
  if (SameDisplay(values, g_applied)) return;
  oxSettings::Values v = values;
  // A new scale sizes the window anew.
  if (v.scale != g_applied.scale && v.windowWidth == g_applied.windowWidth &&
      v.windowHeight == g_applied.windowHeight)
    v.windowWidth = v.windowHeight = 0;
  g_applied = v;
  oxSettings::Current().windowWidth = v.windowWidth;
  oxSettings::Current().windowHeight = v.windowHeight;
  plat::DisplayMode mode;
  mode.fullScreen = v.fullscreen;
  mode.scale = v.scale;
  mode.fill = v.fill;
  mode.width = v.windowWidth;
  mode.height = v.windowHeight;
  const bool full = plat::ApplyDisplayMode(mode);
  AppState& app = App();
  const bool was = app.fullScreen != 0;
  app.fullScreen = full ? 1 : 0;
  if (full == was) return;
  // Full screen holds the cursor on the screen and hides it over the
  // picture; a window lets it go (unless the program confines it).
  if (full) {
    ConfineCursorToScreen();
  } else {
    if (Input().cursorClipMode == 0 && Input().cursorClipped) ReleaseCursor();
    plat::SetBlankCursor(false);
    if (app.cursorVisible == 0) {
      plat::ShowCursor(true);
      app.cursorVisible = 1;
    }
  }
}

void ToggleFullScreen() {
  oxSettings::Current().fullscreen = App().fullScreen == 0;
  // The applied values follow the window as it is, so that only the mode
  // changes (a --window run toggles from its window).
  g_applied.fullscreen = App().fullScreen != 0;
  oxSettings::Changed();
}

void RememberWindowSize() {
  int w = 0, h = 0;
  plat::WindowedSize(w, h);
  oxSettings::Values& v = oxSettings::Current();
  if (w <= 0 || h <= 0) return;
  const bool fromScale = w == 640 * v.scale && h == 480 * v.scale;
  const int newW = fromScale ? 0 : w, newH = fromScale ? 0 : h;
  if (newW == v.windowWidth && newH == v.windowHeight) return;
  v.windowWidth = newW;
  v.windowHeight = newH;
  g_applied.windowWidth = newW;
  g_applied.windowHeight = newH;
  oxSettings::Changed();
}

}  // namespace ox
