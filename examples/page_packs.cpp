// Page 3: image packs.
//
// At start-up oxDraw::Convert built demo.pak from the BMP files of the
// folder packsrc and appended those of packsrc/extra; oxDraw::SetPack chose
// it and oxDraw::LoadPack made sprites of its images, looked up by their
// bare file names in any case. Packs store 15-bit colour: a colour too dark
// for 15 bits is kept as the darkest blue instead of turning into black,
// the transparent colour.
#include "draw/ox_draw.h"
#include "examples/demo.h"
#include "input/ox_input.h"

namespace demo {

void PacksPage() {
  BeginPage();
  const Sprites& s = Loaded();
  // SwapPack puts another pack image into the same sprite handle.
  static bool star = false;
  if (Pressed(oxInput::kReturn)) {
    star = !star;
    oxDraw::SwapPack(star ? "star.bmp" : "gem.bmp", s.packGem, 1);
  }
  oxDraw::FillRect(0, 64, 640, 460, 0x6371);  // slate: transparent pixels show it

  // Images from the pack, three times their size.
  oxDraw::DrawStretch(60, 120, s.packShip, 0, 0, 32, 32, 96, 96);
  oxDraw::DrawStretch(200, 132, s.packGem, 0, 0, 24, 24, 72, 72);
  oxDraw::DrawStretch(320, 132, s.packStar, 0, 0, 24, 24, 72, 72);

  // The same eight darkest greys (0 to 7), from the BMP file and from the
  // pack: from the file the darkest turn black and transparent.
  oxDraw::DrawStretch(60, 300, s.fileRamp, 0, 0, 128, 24, 384, 40);
  oxDraw::DrawStretch(60, 370, s.packRamp, 0, 0, 128, 24, 384, 40);

  Explain(60, 222, {"ship.bmp"});
  Explain(200, 222, {star ? "star.bmp" : "Gem.BMP"});
  Explain(320, 222, {"extra/star.bmp"});
  Explain(60, 276, {"greys 0 to 7 loaded from ramp.bmp with LoadObject:"});
  Explain(60, 346, {"the same from demo.pak with LoadPack: only 0 is transparent"});
  EndPage("Image packs", "Enter: SwapPack the middle sprite between Gem.BMP and star.bmp");
}

}  // namespace demo
