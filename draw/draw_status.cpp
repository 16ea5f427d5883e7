// Answers of the drawing library to the frame and the input layer.
#include "draw/draw_state.h"
#include "draw/ox_draw_status.h"
#include "draw/transition.h"

namespace oxd {

bool ClosingTransition() { return Transition().direction == 1; }
bool TransitionRunning() { return Transition().step != 0; }
bool OverlayShown() { return Transition().overlay != 0; }

void SetScreenRect(int left, int top, int right, int bottom) {
  Scr().screenRect = Rect{left, top, right, bottom};
}

int PreferredDepth() { return Scr().preferredDepth; }


}  // namespace oxd
