#include "frame/player_display.h"

#include "core/app_state.h"
#include "core/input_control.h"
#include "platform/platform.h"

namespace ox {

namespace {

// The settings' display values last applied, and the mode in effect (which
// --window and --scale may have set apart from them for one run).
oxSettings::Values g_applied;
plat::DisplayMode g_mode;

}  // namespace

void StartPlayerDisplay(const oxSettings::Values& values, bool fullScreen, int scale,
                        bool scaleGiven) {
  plat::DisplayMode mode;
  mode.fullScreen = fullScreen;
  mode.scale = scale;
  mode.fill = values.fill;
  mode.width = scaleGiven ? 0 : values.windowWidth;
  mode.height = scaleGiven ? 0 : values.windowHeight;
  plat::ApplyDisplayMode(mode);
  g_applied = values;
  g_mode = mode;
}

void ApplyPlayerDisplay(const oxSettings::Values& values) {
  oxSettings::Values v = values;
  // A new scale sizes the window anew.
  if (v.scale != g_applied.scale && v.windowWidth == g_applied.windowWidth &&
      v.windowHeight == g_applied.windowHeight)
    v.windowWidth = v.windowHeight = 0;
  // Only what the settings changed: the rest of the mode stays as it is.
  plat::DisplayMode mode = g_mode;
  if (v.fullscreen != g_applied.fullscreen) mode.fullScreen = v.fullscreen;
  if (v.scale != g_applied.scale) mode.scale = v.scale;
  if (v.fill != g_applied.fill) mode.fill = v.fill;
  if (v.windowWidth != g_applied.windowWidth || v.windowHeight != g_applied.windowHeight) {
    mode.width = v.windowWidth;
    mode.height = v.windowHeight;
  }
  g_applied = v;
  oxSettings::Current().windowWidth = v.windowWidth;
  oxSettings::Current().windowHeight = v.windowHeight;
  if (mode.fullScreen == g_mode.fullScreen && mode.scale == g_mode.scale &&
      mode.fill == g_mode.fill && mode.width == g_mode.width && mode.height == g_mode.height)
    return;
  g_mode = mode;
  const bool full = plat::ApplyDisplayMode(mode);
  g_mode.fullScreen = full;
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
  // The toggle goes from the mode in effect (a --window run from its
  // window), whatever the settings held.
  oxSettings::Current().fullscreen = App().fullScreen == 0;
  g_applied.fullscreen = App().fullScreen != 0;
  g_mode.fullScreen = App().fullScreen != 0;
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
  g_mode.width = newW;
  g_mode.height = newH;
  oxSettings::Changed();
}

}  // namespace ox
