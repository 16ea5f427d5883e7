// Application and input state of the library: plain data that the frame
// keeps and the subsystems read, initialised as before start-up.
#pragma once

#include <cstdint>

namespace ox {

struct AppState {
  int fullScreen = 1;
  int popupWindow = 0;
  int windowOptions = 0;  // bit 0 not topmost, bit 1 run while inactive, bit 2 hidden
  int active = 0;
  float frameSeconds = 0;
  uint32_t lastFrameTime = 0;
  int scene = 0;
  int previousScene = 0;
  int sceneChanged = 0;
  int pendingScene = 0;
  int blink = 1;
  uint32_t blinkDeadline = 0;
  int mouseX = 0, mouseY = 0;
  int previousMouseX = 0, previousMouseY = 0;
  int mouseMoveX = 0, mouseMoveY = 0;
  int clickLeft = 0, clickRight = 0, doubleLeft = 0, doubleRight = 0;
  int cursorVisible = 1;
  int cursorForced = 0;
  int clientX = 0, clientY = 0;
  int clientWidth = 640, clientHeight = 480;  // client size in desktop pixels
  int mutexHeld = 0;
};

struct InputState {
  int lastKey = 0;
  // A key pressed and released before a frame pass began reads as the last
  // key during that pass: pressed since the pass began (not a repeat), the
  // key tapped so, the key being shown for the current pass.
  int keyPressedThisPass = 0;
  int tappedKey = 0;
  int tappedKeyShown = 0;
  int stickyKey = 0;
  int overlayKey = 0;
  int inputSuspended = 0;
  int pause = 0;
  int watchedKey = 0;
  int releaseCount = 0;
  int buttonHeld = 0;
  int lastButton = 0;
  int systemKeyMode = 0;
  int cursorClipMode = 0;
  int cursorClipped = 0;
  int closeState = 0;
  int released = 0;
  int screenLeft = 0, screenTop = 0, screenRight = 0, screenBottom = 0;
  int choicePhase = 0;
  int choiceCode = 0;
};

AppState& App();
InputState& Input();

// Restores the application and input state and the random generator to
// their values before start-up (start of a run, tests).
void ResetAppState();

// Frame timer: reset (frame seconds 0, last frame time = clock), update
// (frame seconds from the clock), restart (last frame time = clock).
void ResetFrameTimer();
void UpdateFrameTime();
void RestartFrameClock();
void RestartBlink();

}  // namespace ox
