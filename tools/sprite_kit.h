// Cairo helpers shared by the sprite sheets: colours, a fixed-seed random
// source, canvases cut into cells, symmetric hull outlines, metallic shading,
// glows, canopies, flames and text. Every sheet is drawn on a transparent
// ARGB canvas and written through WriteBmp, which turns what stays
// transparent into the game's key colour (black).
#pragma once

#include <cairo.h>

#include <cstdint>

#include "tools/canvas_base.h"

namespace assets::kit {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
  double r, g, b;
};

// 0xRRGGBB to a colour.
constexpr Rgb Hex(uint32_t v) {
  return {double((v >> 16) & 0xFF) / 255.0, double((v >> 8) & 0xFF) / 255.0,
          double(v & 0xFF) / 255.0};
}
Rgb Mix(Rgb a, Rgb b, double t);
// Multiplies (k < 1 darkens) and clamps.
Rgb Shade(Rgb c, double k);
// Towards white by t.
Rgb Tint(Rgb c, double t);

// Deterministic generator (xorshift64*): the same seed gives the same
// pictures on every build.
class Prng {
 public:
  explicit Prng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x1234567ull) {}
  uint32_t Next();
  double Unit();                        // 0 <= u < 1
  double Range(double lo, double hi);  // lo <= v < hi

 private:
  uint64_t state_;
};

// A transparent ARGB32 picture drawn with round joins and caps.
class Canvas : public CanvasBase {
 public:
  Canvas(int width, int height);
  // Writes the picture as `name` in `dir` (24-bit BMP, transparency cut at
  // alphaCut, see WriteBmp).
  bool Save(const char* dir, const char* name, int alphaCut = 96) const;
};

// Draws into one cell of a sheet: clips to the cell, so nothing bleeds into
// its neighbours, and moves the origin to the cell's top-left corner.
class CellScope {
 public:
  CellScope(cairo_t* cr, int x, int y, int width, int height);
  ~CellScope();
  CellScope(const CellScope&) = delete;
  CellScope& operator=(const CellScope&) = delete;

 private:
  cairo_t* cr_;
};

struct Pt {
  double x, y;
};

void SetColor(cairo_t* cr, Rgb c, double alpha = 1.0);
void AddStop(cairo_pattern_t* p, double offset, Rgb c, double alpha = 1.0);

// Closed path through `pts` (offset by dx, dy; x multiplied by sx).
void PolyPath(cairo_t* cr, const Pt* pts, int n, double dx = 0, double dy = 0, double sx = 1);
// Closed symmetric path about the axis x = cx: `half` lists the right half
// from top to bottom as (offset from the axis, y); the left half is its
// mirror. Points on the axis (offset 0) at the ends are shared.
void MirrorPath(cairo_t* cr, double cx, const Pt* half, int n);
// The same, with corners rounded through quadratic curves (smooth hulls).
void SmoothMirrorPath(cairo_t* cr, double cx, const Pt* half, int n);
// Smooth closed path through `pts` (midpoint quadratic curves).
void SmoothPath(cairo_t* cr, const Pt* pts, int n, double dx = 0, double dy = 0, double sx = 1);

// Horizontal metallic gradient across [x0, x1]: dark edges, a bright
// highlight band at `peak` (0..1 across), the base colour between.
cairo_pattern_t* MetalAcross(double x0, double x1, Rgb base, double peak = 0.38,
                             double shine = 0.55);
// Vertical metallic gradient across [y0, y1] (lit from the top).
cairo_pattern_t* MetalDown(double y0, double y1, Rgb base, double shine = 0.45);
// Fills the current path with a horizontal metallic gradient and strokes a
// dark outline of the base colour; the path is consumed.
void FillMetal(cairo_t* cr, double x0, double x1, Rgb base, double outline = 1.2,
               double peak = 0.38);
// FillMetal across the horizontal extent of the current path.
void FillAuto(cairo_t* cr, Rgb base, double outline = 1.2, double peak = 0.38);
// Fills the current path with a radial metallic gradient lit from the top left;
// the path is consumed after a dark outline.
void FillDome(cairo_t* cr, double cx, double cy, double r, Rgb base, double outline = 1.2);
// Strokes the current path with `c` (path preserved when `keep`).
void Stroke(cairo_t* cr, Rgb c, double width, double alpha = 1.0, bool keep = false);

// Soft glow: opaque white core fading through `c` to transparent at r.
void Glow(cairo_t* cr, double x, double y, double r, Rgb c, double strength = 1.0);
// Elliptical glow (for engine exhaust and long lights).
void GlowEllipse(cairo_t* cr, double x, double y, double rx, double ry, Rgb c,
                 double strength = 1.0);
// Glass canopy: dark rim, tinted radial body, white highlight.
void Canopy(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb tint);
// Engine nozzle seen from above: dark bell with a glowing throat.
void Nozzle(cairo_t* cr, double cx, double cy, double w, double h, Rgb glow);
// Flame from (cx, y0) along dir (+1 down, -1 up), `len` long, `w` wide at the
// base: white core, `hot` body, `edge` rim.
void Flame(cairo_t* cr, double cx, double y0, double w, double len, int dir, Rgb hot, Rgb edge,
           double alpha = 1.0);
// Small round light with a halo.
void Lamp(cairo_t* cr, double x, double y, double r, Rgb c);
// Thin panel seam from a to b (dark line with a lighter edge beside it).
void Seam(cairo_t* cr, Pt a, Pt b, Rgb base, double alpha = 0.8);

// Text in a fontconfig family through Cairo's FreeType backend, fitted into
// the box (x, y, w, h): scaled to fill it exactly. Fill with the current
// source of `cr` unless a pattern is given. With a `reference` text, the
// scale is the one that fits the reference instead, and `text` is centred
// in the box at that scale (so a row of glyphs shares one size).
void FitText(cairo_t* cr, const char* family, bool bold, const char* text, double x, double y,
             double w, double h, cairo_pattern_t* fill = nullptr,
             const char* reference = nullptr);

}  // namespace assets::kit
