// Page 6: software pixel effects.
//
// Each effect blends a sprite into the back buffer pixel by pixel (pixel
// value 0 is transparent), or filters a rectangle of the back buffer.
#include <cmath>

#include "draw/ox_draw.h"
#include "examples/demo.h"
#include "frame/ox_system.h"

namespace demo {

void EffectsPage() {
  BeginPage();
  const Sprites& s = Loaded();
  const float t = PageTime();
  const int land = s.landscape;
  constexpr int kX[3] = {40, 240, 440}, kY[2] = {84, 262};

  // Row 1: grey levels; an alpha that pulses over a checker; a fade.
  oxDraw::DrawGrey(kX[0], kY[0], land, 0, 0, 160, 120);
  for (int y = 0; y < 120; y += 20)
    for (int x = 0; x < 160; x += 20)
      if ((x + y) / 20 % 2)
        oxDraw::FillRect(kX[1] + x, kY[0] + y, kX[1] + x + 20, kY[0] + y + 20, 0xFFFF);
  const float alpha = 0.5f + 0.5f * std::sin(t * 2);
  oxDraw::DrawAlpha(kX[1], kY[0], alpha, land, 0, 0, 160, 120);
  oxDraw::DrawFade(kX[2], kY[0], int(15.5f + 15.5f * std::sin(t * 1.5f)), land, 0, 0, 160, 120);

  // Row 2: a rotation; a mirror with additive stars; a circular mosaic and
  // a blur on a plain copy.
  oxDraw::DrawRotate(kX[0], kY[1], kX[0] + 160, kY[1] + 120, int(t * 45) % 360, land, 0, 0, 160,
                     120);
  oxDraw::DrawMirror(kX[1], kY[1], 1, land, 0, 0, 160, 120);
  for (int i = 0; i < 3; ++i)
    oxDraw::DrawAdd(kX[1] + 20 + 45 * i, kY[1] + 40 + int(30 * std::sin(t * 2 + float(i))),
                    s.packStar, 0, 0, 24, 24);
  oxDraw::Draw(kX[2], kY[1], land, 0, 0, 160, 120);
  oxDraw::MosaicCircle(kX[2] + 50, kY[1] + 60, 45, 6);
  oxDraw::Blur(kX[2] + 100, kY[1], 60, 120);

  oxSystem::Print(kX[0], kY[0] + 122, "DrawGrey");
  oxSystem::PrintF(kX[1], kY[0] + 122, "DrawAlpha %.2f", alpha);
  oxSystem::Print(kX[2], kY[0] + 122, "DrawFade");
  oxSystem::Print(kX[0], kY[1] + 122, "DrawRotate");
  oxSystem::Print(kX[1], kY[1] + 122, "DrawMirror + DrawAdd");
  oxSystem::Print(kX[2], kY[1] + 122, "MosaicCircle + Blur");
  EndPage("Pixel effects", "sprite blends and back-buffer filters, pixel by pixel");
}

}  // namespace demo
