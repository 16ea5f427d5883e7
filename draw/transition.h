// State of the screen transition and the picture overlay that Present draws
// over a finished frame. The main loop, the window procedure and key polling
// read it to freeze scenes and mask keys while either runs.
#pragma once

#include <cstdint>

namespace oxd {

// The pattern strip holds ten 64 x 48 tiles side by side; the transition
// covers a fixed 640 x 480 grid of them.
constexpr int kTransitionSteps = 10;
constexpr int kTileWidth = 64;
constexpr int kTileHeight = 48;

struct TransitionState {
  int32_t step;       // 0 none, 1..10 the pattern tile drawn this time
  int32_t direction;  // +1 closing, -1 opening, 0 none
  int32_t style;
  int32_t pattern;  // sprite handle of the pattern strip; 0 none loaded
  int32_t overlay;  // 1 while the picture overlay is shown
  int32_t overlayPicture, overlayBackground;
  int32_t overlayHeight;
  float overlayScroll;
  float driftX, driftY;
};

TransitionState& Transition();
// Present's first step: draws the running transition's tiles and the
// overlay into the back buffer and advances them.
void DrawTransitionAndOverlay();

}  // namespace oxd
