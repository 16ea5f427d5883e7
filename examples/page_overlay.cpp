// Page 2: the picture overlay.
//
// oxDraw::LoadOverlay loads a picture and a 64 x 48 background tile;
// oxDraw::ToggleOverlay shows or hides them. While shown, Present draws the
// picture over the clip rectangle on top of the background drifting up
// and left, and the arrow keys scroll it (up and down slowly, left and
// right fast). Polled keys read 0 then; the key held down is read with
// oxDraw::OverlayKey instead.
#include <cmath>

#include "draw/ox_draw.h"
#include "examples/demo.h"
#include "input/ox_input.h"

namespace demo {

void OverlayPage() {
  BeginPage();
  Starfield();
  const float t = PageTime();
  oxDraw::Draw(304 + int(200 * std::sin(t)), 300, Loaded().ship, 0, 0, 32, 32);

  Explain(40, 90,
          {
              "O shows the overlay: a 640 x 960 picture over a drifting tiled",
              "background, drawn by oxDraw::Present over the finished frame.",
              "Arrow keys scroll it; Enter hides it again.",
              "Its round windows are black, the transparent colour, and show",
              "the background through.",
          });

  if (Pressed('O')) oxDraw::ToggleOverlay();
  if (oxDraw::OverlayKey() == oxInput::kReturn) oxDraw::ToggleOverlay();
  EndPage("Picture overlay", "O: show the overlay   arrows: scroll   Enter: hide");
}

}  // namespace demo
