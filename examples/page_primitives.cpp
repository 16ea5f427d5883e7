// Page 4: drawing primitives.
//
// Lines, rectangles, polygons (hollow or cross-hatched), Bezier curves,
// single pixels and inverted rectangles, drawn on the back buffer with
// colour references (0x00BBGGRR). They ignore the clip rectangle.
// OpenDC and CloseDC around a batch keep one drawing context open for it.
#include <cmath>
#include <cstdint>

#include "draw/ox_draw.h"
#include "examples/demo.h"

namespace demo {

namespace {

// A five-pointed star of ten points around (cx, cy), turned by `angle`.
void StarPoints(int32_t* points, int cx, int cy, float radius, float angle) {
  for (int i = 0; i < 10; ++i) {
    const float r = i % 2 ? radius * 0.45f : radius;
    const float a = angle + float(i) * 3.14159265f / 5;
    points[2 * i] = cx + int32_t(r * std::sin(a));
    points[2 * i + 1] = cy - int32_t(r * std::cos(a));
  }
}

}  // namespace

void PrimitivesPage() {
  BeginPage();
  const float t = PageTime();
  oxDraw::OpenDC();

  // A filled rectangle with a 3-pixel outline, and a fan of lines of
  // widths 1 to 3.
  oxDraw::Rectangle(40, 90, 220, 210, Ref(30, 40, 90), Ref(255, 255, 255), 3);
  for (int i = 0; i < 12; ++i) {
    const float a = t * 0.5f + float(i) * 3.14159265f / 6;
    oxDraw::Line(400, 150, 400 + int(110 * std::cos(a)), 150 + int(55 * std::sin(a)),
                 Ref(255, 80 + 14 * i, 40 + 18 * i), 1 + i % 3);
  }

  // The three polygon styles: hollow, hatched on a background colour,
  // hatched alone.
  int32_t star[20];
  const char* const styles[] = {"style 0: hollow", "style 1: hatch on colour",
                                "style 2: hatch alone"};
  for (int style = 0; style < 3; ++style) {
    StarPoints(star, 120 + 200 * style, 300, 70, t * 0.6f);
    oxDraw::Polygon(star, 10, Ref(120, 230, 255), Ref(40, 60, 120), 2, style);
  }

  // A Bezier curve through 1 + 3 x 2 points, and a row of single pixels.
  int32_t curve[14];
  for (int i = 0; i < 7; ++i) {
    curve[2 * i] = 40 + 93 * i;
    curve[2 * i + 1] = 420 + int32_t(30 * std::sin(t * 2 + float(i)));
  }
  oxDraw::Bezier(curve, 7, Ref(255, 220, 60), 2);
  for (int x = 40; x < 600; x += 3)
    oxDraw::SetPixel(x, 450 + int(4 * std::sin(float(x) * 0.05f + t * 3)), Ref(255, 255, 255));

  oxDraw::CloseDC();

  // An inverted band sweeping across the rectangle and the fan.
  const int band = 40 + int(std::fmod(t * 120, 480.0f));
  oxDraw::InvertRect(band, 100, band + 24, 200);

  Explain(40, 372, {styles[0]});
  Explain(240, 372, {styles[1]});
  Explain(440, 372, {styles[2]});
  EndPage("Drawing primitives", "Line, Rectangle, Polygon, Bezier, SetPixel, InvertRect");
}

}  // namespace demo
