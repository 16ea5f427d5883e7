#include "draw/transition.h"

namespace oxd {

namespace {
TransitionState g_transition;
}

TransitionState& Transition() { return g_transition; }

void DrawTransitionAndOverlay() {
  // The library has no operation yet that loads a pattern or an overlay
  // picture, so neither can be running: step and overlay flag stay 0.
}

}  // namespace oxd
