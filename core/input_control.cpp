#include "core/input_control.h"

#include "core/app_state.h"
#include "platform/platform.h"

namespace ox {

void SuspendInput() { Input().inputSuspended = 1; }

void ResumeInput() {
  Input().inputSuspended = 0;
  Input().lastKey = 0;
  Input().tappedKey = 0;
}

void WatchKey(int vk) {
  Input().watchedKey = vk;
  Input().releaseCount = 0;
}

int ReleaseCount() { return Input().releaseCount; }

void SetSystemKeyMode(int mode) { Input().systemKeyMode = mode; }

void SetCursorClipMode(int mode) { Input().cursorClipMode = mode; }

void ConfineCursor(int left, int top, int right, int bottom) {
  plat::ConfineCursor(left, top, right, bottom);
  Input().cursorClipped = 1;
}

void ConfineCursorToScreen() {
  AppState& app = App();
  if (app.fullScreen) {
    int w, h;
    plat::DesktopSize(w, h);
    ConfineCursor(0, 0, w, h);
  } else {
    // The window's client area in desktop pixels: the picture times the
    // window's scale factor.
    int w, h;
    plat::ClientSize(w, h);
    ConfineCursor(app.clientX, app.clientY, app.clientX + w, app.clientY + h);
  }
}

void ReleaseCursor() {
  plat::ReleaseCursor();
  Input().cursorClipped = 0;
}

int CursorClipped() { return Input().cursorClipped; }

void SetCursorPosition(int x, int y) {
  // Client coordinates are pixels of the picture; the window may scale it.
  plat::PictureToDesktop(x, y);
  plat::SetCursorPos(x, y);
}

}  // namespace ox
