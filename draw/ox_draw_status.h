// What the frame and the input layer need to know about the drawing
// library: whether a transition or the picture overlay holds the scene, the
// screen's rectangle on the desktop, and the picture last presented.
#pragma once

namespace oxd {

struct Surface;

// A closing transition runs: the main loop presents instead of calling the
// scene, and switches to the pending scene once it has covered the screen.
bool ClosingTransition();
// A transition (either way) draws its tiles this frame.
bool TransitionRunning();
// The picture overlay is shown: keys go to the overlay, not to the scene.
bool OverlayShown();

// The screen's rectangle in desktop coordinates (the window moved).
void SetScreenRect(int left, int top, int right, int bottom);
// The colour depth asked of the display at screen set-up.
int PreferredDepth();

// The screen surface: the picture last presented (screenshots of the
// driver); nullptr while no screen is open.
const Surface* PresentedSurface();

// At a scene change: puts back the saved clip rectangle and stops a clip
// effect that is still running (counter greater than 0).
void RestoreClipAtSceneChange();
// Restores the initial values of all drawing state (start of a run, tests,
// Release).
void ResetDrawState();

}  // namespace oxd
