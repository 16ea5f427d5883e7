// The window procedure: window messages become the library's input state;
// activation, cursor hiding and confinement, music restarts, and the quit
// sequence that releases every resource once.
#include "frame/window_proc.h"

#include <cstring>

#include "core/app_state.h"
#include "core/input_control.h"
#include "core/services.h"
#include "draw/ox_draw.h"
#include "draw/ox_draw_status.h"
#include "frame/options_overlay.h"
#include "frame/ox_options.h"
#include "input/ox_bindings.h"
#include "platform/platform.h"

namespace ox {

namespace {

// A key-down message that is a new press: the desktop's autorepeat of a
// held key is no new press edge, last key or pause toggle.
bool IsPress(const plat::Message& m) { return (m.lparam & plat::kKeyRepeat) == 0; }

void KeyDownHandler(int k) {
  InputState& in = Input();
  if (!oxd::OverlayShown()) {
    if (in.lastKey != k) in.keyPressedThisPass = 1;
    in.lastKey = k;
    in.stickyKey = k;
    in.tappedKey = in.tappedKeyShown = 0;
  } else {
    in.overlayKey = k;
  }
  if (k == plat::kVkEscape) QuitSequence();
  if (k == 'S') in.pause = !in.pause;
}

void KeyUpHandler(int k) {
  InputState& in = Input();
  if (in.lastKey == k) {
    // Released before any scene saw it: the next pass still does.
    if (in.keyPressedThisPass) in.tappedKey = k;
    in.lastKey = 0;
  }
  if (in.overlayKey == k) in.overlayKey = 0;
  if (k == in.watchedKey) ++in.releaseCount;
}

// The key a key message stands for under the player's bindings; 0 for none.
int BoundKey(const plat::Message& m) {
  return oxBindings::TranslateKey(static_cast<int>(m.wparam));
}

// A new press of a physical key: to the options overlay when it takes it,
// else to the game as the key it is bound to.
void KeyPress(const plat::Message& m) {
  const int bound = BoundKey(m);
  if (OptionsTakeKey(static_cast<int>(m.wparam), bound)) return;
  if (bound) KeyDownHandler(bound);
}

int SignedHalf(intptr_t v, int shift) { return static_cast<int16_t>((v >> shift) & 0xFFFF); }


}  // namespace

intptr_t WindowProc(const plat::Message& m) {
  AppState& app = App();
  InputState& in = Input();
  switch (m.message) {
    case plat::kMsgKeyDown:
      if (!in.inputSuspended && IsPress(m)) KeyPress(m);
      return plat::DefaultHandling(m);

    case plat::kMsgSysKeyDown:
      if (in.systemKeyMode == 0) return 0;
      if (in.systemKeyMode == 2 && m.wparam == plat::kVkMenu) return 0;
      if (!in.inputSuspended && IsPress(m)) KeyPress(m);
      return plat::DefaultHandling(m);

    case plat::kMsgKeyUp:
    case plat::kMsgSysKeyUp:
      if (BoundKey(m)) KeyUpHandler(BoundKey(m));
      return plat::DefaultHandling(m);

    case plat::kMsgMouseMove:
      app.mouseX = static_cast<int>(m.lparam & 0xFFFF);
      app.mouseY = static_cast<int>((m.lparam >> 16) & 0xFFFF);
      return plat::DefaultHandling(m);

    case plat::kMsgLButtonDown:
      // Clicks, like keys, are the options overlay's while it is open.
      if (!in.inputSuspended && !oxOptions::Open()) {
        app.clickLeft = 1;
        in.buttonHeld = 1;
        in.lastButton = 1;
      }
      return plat::DefaultHandling(m);

    case plat::kMsgRButtonDown:
      if (!in.inputSuspended && !oxOptions::Open()) {
        app.clickRight = 1;
        in.buttonHeld = 2;
        in.lastButton = 2;
      }
      return plat::DefaultHandling(m);

    case plat::kMsgLButtonUp:
      if (in.buttonHeld == 1) in.buttonHeld = 0;
      return plat::DefaultHandling(m);

    case plat::kMsgRButtonUp:
      if (in.buttonHeld == 2) in.buttonHeld = 0;
      return plat::DefaultHandling(m);

    case plat::kMsgLButtonDblClk:
      if (!in.inputSuspended && !oxOptions::Open()) app.doubleLeft = 1;
      return 0;

    case plat::kMsgRButtonDblClk:
      if (!in.inputSuspended && !oxOptions::Open()) {
        app.doubleRight = 1;
        if (in.cursorClipMode) {
          if (in.cursorClipped) ReleaseCursor();
          else ConfineCursorToScreen();
        }
      }
      return 0;

    case plat::kMsgMove:
      app.clientX = SignedHalf(m.lparam, 0);
      app.clientY = SignedHalf(m.lparam, 16);
      {
        // The client area in desktop pixels: the picture times the window's
        // scale factor (the whole desktop in full screen).
        int w, h;
        plat::ClientSize(w, h);
        in.screenLeft = app.clientX;
        in.screenTop = app.clientY;
        in.screenRight = app.clientX + w;
        in.screenBottom = app.clientY + h;
        oxd::SetScreenRect(in.screenLeft, in.screenTop, in.screenRight, in.screenBottom);
      }
      if (in.cursorClipMode) ConfineCursorToScreen();
      return plat::DefaultHandling(m);

    case plat::kMsgSetCursor:
      if (app.fullScreen && app.cursorForced == 0) {
        plat::SetBlankCursor(true);
        return 1;
      }
      return plat::DefaultHandling(m);

    case plat::kMsgActivateApp:
      if (m.wparam == 0) {
        app.active = 0;
        if (app.cursorVisible == 0) {
          plat::ShowCursor(true);
          app.cursorVisible = 1;
        }
        // Leaving the window shows the arrow again whatever the shape was.
        plat::SetBlankCursor(false);
        if (in.cursorClipMode) ReleaseCursor();
      } else {
        app.active = 1;
        ResetFrameTimer();
        if (in.cursorClipMode) ConfineCursorToScreen();
      }
      return 0;

    case plat::kMsgMusicNotify:
      if (m.wparam == 1 && services::MusicPlaying()) {
        char status[32];
        services::MusicStatus(status, sizeof status);
        if (strncmp(status, "st", 2) == 0) services::RestartMusic();
      }
      return plat::DefaultHandling(m);

    case plat::kMsgClose:
      if (in.closeState == 0) in.closeState = 1;
      if (in.closeState < 2) QuitSequence();
      plat::DestroyMainWindow();
      WindowProc(plat::Message{plat::kMsgDestroy, 0, 0});
      return 0;

    case plat::kMsgDestroy:
      plat::PostMessage(plat::kMsgQuit, 0, 0);
      return 0;

    case plat::kMsgRaise:
      // A second copy was started: bring this one to the front instead.
      plat::RaiseMainWindow();
      return 0;

    default:
      return plat::DefaultHandling(m);
  }
}

void PadKey(int vk, bool down) {
  if (!down) KeyUpHandler(vk);
  else if (!Input().inputSuspended && !OptionsTakeKey(0, vk)) KeyDownHandler(vk);
}

void BeginKeyPass() {
  InputState& in = Input();
  in.keyPressedThisPass = 0;
  in.tappedKeyShown = 0;
  if (in.tappedKey && in.lastKey == 0) in.lastKey = in.tappedKeyShown = in.tappedKey;
  in.tappedKey = 0;
}

void EndKeyPass() {
  InputState& in = Input();
  if (in.tappedKeyShown && in.lastKey == in.tappedKeyShown) in.lastKey = 0;
  in.tappedKeyShown = 0;
}

int KeyChoice(const int* codes) {
  InputState& in = Input();
  // A tapped key shown for this pass has already been released.
  const int heldKey = in.tappedKeyShown && in.lastKey == in.tappedKeyShown ? 0 : in.lastKey;
  if (in.choicePhase == 0 && heldKey == 0 && in.buttonHeld == 0) in.choicePhase = 1;
  if (in.choicePhase == 1 && codes) {
    for (const int* c = codes; *c; ++c) {
      if (*c == in.stickyKey || *c == in.lastButton) {
        in.choiceCode = *c;
        in.choicePhase = 2;
        break;
      }
    }
  }
  if (in.choicePhase == 2) {
    bool button = in.choiceCode == 1 || in.choiceCode == 2;
    if ((!button && in.stickyKey != in.choiceCode) || (button && in.lastButton != in.choiceCode)) {
      in.choicePhase = 0;
    }
    bool released = button ? in.buttonHeld == 0 : heldKey == 0;
    if (in.choicePhase == 2 && released) {
      in.lastButton = 0;
      in.stickyKey = 0;
      in.choicePhase = 0;
      return in.choiceCode;
    }
  }
  return 0;
}

int QuitSequence() {
  InputState& in = Input();
  if (in.released == 1) return 1;
  in.released = 1;
  ReleaseCursor();
  services::FreeFontList();
  services::ReleaseSound();
  oxDraw::Release();
  if (App().mutexHeld) {
    plat::ReleaseInstanceLock();
    App().mutexHeld = 0;
  }
  if (in.closeState == 0) plat::PostMessage(plat::kMsgClose, 0, 0);
  in.closeState = 2;
  return 1;
}

}  // namespace ox
