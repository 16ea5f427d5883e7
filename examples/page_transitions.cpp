// Page 1: the tiled screen transition.
//
// oxDraw::LoadTransition loads a 640 x 48 strip of ten 64 x 48 tiles. A
// closing transition (oxDraw::CloseTransition) draws tile 0 to tile 9 over
// the whole screen on ten presented frames while the main loop holds the
// scene still, then runs the scene given to it; an opening transition
// (oxDraw::OpenTransition) draws tiles 9 down to 0 over the running scene.
// Polled keys read 0 while either runs.
#include <cmath>

#include "draw/ox_draw.h"
#include "examples/demo.h"

namespace demo {

void TransitionsPage() {
  BeginPage();
  // The page came back from a closing transition started below without a
  // next scene: uncover it again.
  static bool reopen = false;
  if (reopen) {
    oxDraw::OpenTransition();
    reopen = false;
  }

  Starfield();
  const float t = PageTime();
  const int x = 304 + int(220 * std::cos(t * 0.9f));
  const int y = 280 + int(90 * std::sin(t * 1.8f));
  oxDraw::Draw(x, y, Loaded().ship, 0, 0, 32, 32);

  Explain(40, 90,
          {
              "Every page change is a closing transition to the next page,",
              "then an opening one on its first frame:",
              "    oxDraw::CloseTransition(nextPage);   // 10 frames, scene held",
              "    if (sceneChanged) oxDraw::OpenTransition();",
              "Without an argument the closing transition returns to the",
              "scene that started it.",
          });

  if (Pressed('T')) oxDraw::OpenTransition();
  if (Pressed('C')) {
    oxDraw::CloseTransition();
    reopen = true;
  }
  EndPage("Screen transitions", "T: opening transition over this page   C: close and come back");
}

}  // namespace demo
