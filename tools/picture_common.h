// Shared drawing kit of the scene pictures: a fixed-seed random generator,
// gradient noise that repeats vertically, colours, fonts and text effects,
// vertical wrap-around for the tiling backgrounds, and the illustrated ships
// and skies the title and attract pictures share.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/canvas_base.h"

namespace assets::pic {

constexpr double kPi = 3.14159265358979323846;

// Deterministic generator (SplitMix64): the same seed gives the same pictures
// on every build.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint32_t Next();
  double Uniform();                    // [0, 1)
  double Range(double lo, double hi);  // [lo, hi)
  int Int(int n);                      // 0 .. n-1

 private:
  uint64_t state_;
};

// Gradient noise in [-1, 1] that repeats every `period` pixels in y: the
// lattice has `cells` cells along one period (cell size period / cells), and
// x uses the same cell size without repeating.
double Noise(double x, double y, int cells, int period, uint32_t seed);
// Fractal sum of `octaves` noise layers starting at `cells` cells per period,
// doubling the frequency and scaling the amplitude by `gain` each time;
// normalised to about [-1, 1].
double Fbm(double x, double y, int cells, int octaves, int period, uint32_t seed,
           double gain = 0.5);
// Ridged variant (sharp crests at 1, valleys at 0).
double Ridged(double x, double y, int cells, int octaves, int period, uint32_t seed);

struct Rgb {
  double r, g, b;  // 0..1
};
Rgb Hex(uint32_t rgb);
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Scale(Rgb c, double k);
double Clamp01(double v);
double Smooth(double edge0, double edge1, double v);
void SetRgb(cairo_t* cr, Rgb c, double alpha = 1.0);
void AddStop(cairo_pattern_t* p, double offset, Rgb c, double alpha = 1.0);

struct Rgba {
  Rgb c;
  double a;  // 0..1
};

// A scalar field sampled once per pixel, read with clamping in x and either
// clamping or wrap-around in y.
class Field {
 public:
  template <class F>
  Field(int width, int height, bool wrapY, F&& f) : w_(width), h_(height), wrap_(wrapY) {
    v_.resize(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        v_[std::size_t(y) * width + x] = float(f(double(x), double(y)));
  }
  double At(int x, int y) const;
  // Diffuse light (about 0..1) from the upper left on the field seen as a
  // relief `relief` pixels high per unit.
  double Light(int x, int y, double relief) const;

 private:
  int w_, h_;
  bool wrap_;
  std::vector<float> v_;
};

// An ARGB32 surface with its context, set up for text; released on
// destruction.
class Canvas : public CanvasBase {
 public:
  Canvas(int width, int height);
  // Sets every pixel to an opaque colour computed per pixel.
  template <class F>
  void Shade(F&& colourAt);
  // Sets every pixel to a colour with coverage (an Rgba) computed per pixel.
  template <class F>
  void ShadeRgba(F&& colourAt);
  // Writes a PNG for review into the directory ASSETGEN_PREVIEW names, if
  // set. `rolled` shifts the picture by half its height, which brings the
  // wrap-around seam of a tiling picture into the middle.
  void Preview(const char* name, bool rolled = false) const;

 private:
  void Store(int x, int y, Rgb c, double alpha = 1.0);
};

template <class F>
void Canvas::Shade(F&& colourAt) {
  cairo_surface_flush(surface_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) Store(x, y, colourAt(x, y));
  cairo_surface_mark_dirty(surface_);
}

template <class F>
void Canvas::ShadeRgba(F&& colourAt) {
  cairo_surface_flush(surface_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const Rgba p = colourAt(x, y);
      Store(x, y, p.c, p.a);
    }
  cairo_surface_mark_dirty(surface_);
}

// Calls draw(offset) for offset -period, 0 and +period whenever the band
// [y - reach, y + reach] shifted by the offset meets [0, period): a shape
// that crosses the bottom edge reappears at the top, so the picture repeats.
template <class F>
void Wrapped(cairo_t* cr, double y, double reach, double period, F&& draw) {
  for (int k = -1; k <= 1; ++k) {
    const double off = k * period;
    if (y + off + reach < 0 || y + off - reach > period) continue;
    cairo_save(cr);
    cairo_translate(cr, 0, off);
    draw();
    cairo_restore(cr);
  }
}

// ---- text
enum class Face { kSans, kSansBold, kGothic, kMono };
void SetFont(cairo_t* cr, Face face, double size, bool italic = false);
double TextWidth(cairo_t* cr, const char* text);
// Plain text with its left edge at x (align 0), centred on x (0.5) or with
// its right edge at x (1); y is the baseline.
void Text(cairo_t* cr, const char* text, double x, double y, Rgb colour, double align = 0,
          double alpha = 1.0);
// Display lettering: a soft glow, a dark outline and a vertical chrome
// gradient between `top` and `bottom`, with a bright rim line.
struct Lettering {
  Rgb top, middle, bottom;
  Rgb outline;
  Rgb glow;
  double outlineWidth;
  double glowWidth;
};
void DisplayText(cairo_t* cr, const char* text, double x, double y, double align,
                 const Lettering& style);

// ---- shared illustration pieces
// A field of stars over the current clip: small dots of varied brightness
// with a few four-pointed sparkles.
void Starfield(cairo_t* cr, int width, int height, int count, uint64_t seed);
// The player's fighter seen from above, nose up, centred on (cx, cy); `size`
// is its length in pixels. `thrust` 0..1 scales the engine flames.
void Fighter(cairo_t* cr, double cx, double cy, double size, double thrust);
// Enemy craft of the three families the pictures show, nose down.
enum class Raider { kDart, kSaucer, kHeavy };
void EnemyCraft(cairo_t* cr, Raider kind, double cx, double cy, double size, Rgb accent);
// A planet disc with atmosphere rim, lit from the direction (lightX, lightY)
// (a unit vector in picture coordinates; the default is the upper left).
void Planet(cairo_t* cr, double cx, double cy, double radius, Rgb land, Rgb sea, Rgb air,
            uint32_t seed, double lightX = -0.7, double lightY = -0.7);
// A rounded rectangle path.
void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A translucent panel with a thin bright rim, for captions and menus.
void Panel(cairo_t* cr, double x, double y, double w, double h, Rgb rim, double fillAlpha);
// A keyboard key seen from the front, with its legend centred.
void Keycap(cairo_t* cr, double x, double y, double w, double h, const char* legend,
            double fontSize = 13);
// Letter-spaced text (tracking in pixels between characters), aligned as Text.
void SpacedText(cairo_t* cr, const char* text, double x, double y, double tracking, Rgb colour,
                double align = 0, double alpha = 1.0);

}  // namespace assets::pic
