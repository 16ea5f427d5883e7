// 2D vector drawing on 16-bit RGB565 pixels: the wide pens and hatched fills
// of the drawing primitives. Two drivers stand behind this contract: `cairo`
// (the real one) and `dummy` (draws nothing, but accepts and refuses exactly
// what the real one does). Both backends use Cairo unless the environment
// variable SAMPLEGAME_VECTOR_DRIVER names `dummy` when the platform starts.
//
// Shapes are hard-edged (no antialiasing): a fill covers the pixels whose
// centres lie inside; colours become RGB565 by truncation.
#pragma once

#include <cstdint>

namespace plat::vector {

struct Rgb {
  uint8_t r, g, b;
};

struct Point {
  double x, y;
};

// Side of the hatch tile: the pattern repeats every kTile pixels from the
// pixels' origin.
constexpr int kTile = 8;

// A drawing surface over pixels the caller owns. Between Begin and End the
// canvas owns the drawing state; outside it the caller may change the
// pixels freely.
class Canvas {
 public:
  // Starts a shape with an empty path (the pixels may have changed since).
  virtual void Begin() = 0;
  // Ends the shape: the drawing is in the pixels, the state is as before Begin.
  virtual void End() = 0;
  // The pen of Stroke: colour, width in pixels, round caps and joins.
  virtual void SetPen(Rgb colour, double width) = 0;
  // Adds an open segment to the path.
  virtual void AddSegment(Point a, Point b) = 0;
  // Adds a closed axis-aligned rectangle to the path.
  virtual void AddRectangle(double x, double y, double width, double height) = 0;
  // Strokes the path with the pen and clears it.
  virtual void Stroke() = 0;
  // Fills the closed polygon (alternate rule) with a repeating kTile x kTile
  // pattern: bit x of rows[y] set is ink, clear is the background, or left
  // as it is without one. False when the pattern could not be made.
  virtual bool FillHatch(const Point* points, int count, const uint8_t rows[kTile], Rgb ink,
                         const Rgb* background) = 0;
  // Gives the canvas back to its driver.
  virtual void Destroy() = 0;

 protected:
  ~Canvas() = default;
};

class Driver {
 public:
  virtual ~Driver() = default;
  virtual const char* Name() const = 0;
  // A canvas over width x height pixels, pitchPixels a row; nullptr when the
  // driver cannot draw on that layout (Cairo needs rows of a multiple of
  // 4 bytes) or has no canvas left.
  virtual Canvas* CreateCanvas(uint16_t* pixels, int width, int height, int pitchPixels) = 0;
};

// The driver chosen when the platform started (Cairo before that).
Driver& Current();

}  // namespace plat::vector
