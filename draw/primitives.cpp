// Drawing primitives on the back buffer: pixels, lines, rectangles, polygons
// with hatch brushes, Bézier curves and inverted rectangles.
//
// The shapes are those of a 16-bit screen's 2D drawing, hard-edged:
// - A pen of width 1 or less is a one-pixel line stepped along its longer
//   axis that leaves out its last point (so a closed outline sets each
//   vertex once). Wider pens are round-capped and round-joined strokes
//   centred on the line through the pixel centres.
// - Fills cover the pixels whose centres lie inside the shape (alternate
//   rule), so a polygon's fill stops short of its right and bottom edges
//   and the outline drawn afterwards closes them.
// - The diagonal cross-hatch is an 8 x 8 pattern anchored at the back
//   buffer's origin.
// Fills and wide pens are drawn by the platform's vector driver (Cairo)
// straight into the RGB565 pixels with antialiasing off; the one-pixel pen
// is stepped here, since Cairo has no one-pixel line of that shape.
// Coordinates anywhere in the int range are clipped to the buffer (plus a
// margin for wide pens) in double precision first, because Cairo's
// fixed-point coordinates stop at about 8 million. The clip rectangle of
// the sprite draws does not apply.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "draw/ox_surface.h"
#include "platform/vector.h"

namespace {

using oxd::Surface;

constexpr int kMaxPolygonPoints = 2048;
// Sutherland-Hodgman can at most double the vertices per clip edge.
constexpr int kClipBufferPoints = kMaxPolygonPoints * 16;
constexpr int kMaxBezierDepth = 10;  // at most 1024 segments a curve
constexpr double kFlatness = 0.25;   // pixels
// Widest pen drawn: Cairo's coordinates must stay well inside their range.
constexpr int kMaxPenWidth = 1 << 20;
constexpr int kHatchSize = 8;

using PointD = plat::vector::Point;

// ---------------------------------------------------------------- contexts

using plat::vector::Canvas;

// A drawing context on the back buffer: the surface and, created on first
// use, a vector canvas over its pixels.
struct Context {
  Surface* target;
  uint16_t* pixels;
  int width, height, pitch;
  Canvas* canvas;
};

// The back-buffer context between OpenDC and CloseDC.
constinit Context g_open{};

void DestroyCanvas(Context& c) {
  if (c.canvas) c.canvas->Destroy();
  c.canvas = nullptr;
}

// Does the context still describe this surface (the screen may have been
// reopened since it was created)?
bool Describes(const Context& c, const Surface* s) {
  return s && c.target == s && c.pixels == s->pixels && c.width == s->width &&
         c.height == s->height && c.pitch == s->pitch;
}

Context Describe(Surface* s) {
  Context c{};
  c.target = s;
  c.pixels = s->pixels;
  c.width = s->width;
  c.height = s->height;
  c.pitch = s->pitch;
  return c;
}

Canvas* CanvasOf(Context& c) {
  if (!c.canvas) c.canvas = plat::vector::Current().CreateCanvas(c.pixels, c.width, c.height, c.pitch);
  return c.canvas;
}

// The context one primitive draws through: the open back-buffer context
// when it still fits the back buffer, else one of its own, closed again at
// the end of the primitive. Not valid when the back buffer is missing or
// lost: the primitive then draws nothing.
class Dc {
 public:
  Dc() {
    Surface* back = oxd::WritableBack();
    if (!back || back->lost || !back->pixels) return;
    if (Describes(g_open, back)) {
      c_ = &g_open;
    } else {
      own_ = Describe(back);
      c_ = &own_;
    }
  }
  ~Dc() { DestroyCanvas(own_); }
  Dc(const Dc&) = delete;
  Dc& operator=(const Dc&) = delete;

  bool valid() const { return c_ != nullptr; }
  int width() const { return c_->width; }
  int height() const { return c_->height; }
  uint16_t* Row(int y) const { return c_->pixels + size_t(y) * size_t(c_->pitch); }
  void Put(int64_t x, int64_t y, uint16_t v) const {
    if (x >= 0 && y >= 0 && x < c_->width && y < c_->height) Row(int(y))[x] = v;
  }
  // The canvas, a shape begun on it; nullptr when the vector driver cannot
  // draw on this surface.
  Canvas* Begin() const {
    Canvas* canvas = CanvasOf(*c_);
    if (canvas) canvas->Begin();
    return canvas;
  }
  void End(Canvas* canvas) const { canvas->End(); }

 private:
  Context* c_ = nullptr;
  Context own_{};
};

// ---------------------------------------------------------------- colours

struct Colour {
  uint16_t native;
  uint8_t r, g, b;  // the colour reference's components
};

Colour ColourOf(int32_t ref) {
  const uint32_t v = uint32_t(ref);
  return Colour{oxd::NativeColor(v), uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)};
}

// 5 and 6-bit components widened to 8 bits by repeating their top bits, so
// that white reads 255 and a value read back sets the same pixel.
void Widen(uint16_t p, int* r, int* g, int* b) {
  const int r5 = p >> 11, g6 = (p >> 5) & 0x3F, b5 = p & 0x1F;
  if (r) *r = (r5 << 3) | (r5 >> 2);
  if (g) *g = (g6 << 2) | (g6 >> 4);
  if (b) *b = (b5 << 3) | (b5 >> 2);
}

bool Thin(int width) { return width <= 1; }
double PenWidth(int width) { return double(std::min(width, kMaxPenWidth)); }

// ---------------------------------------------------------------- one-pixel pen

// Steps from (x1, y1) towards (x2, y2) along the longer axis, one pixel per
// step, leaving out (x2, y2). Step i sits at the rounded exact position, so
// only the steps inside the buffer are visited, however far the ends lie.
void ThinSegment(const Dc& dc, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint16_t v) {
  const int64_t dx = x2 - x1, dy = y2 - y1;
  const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool xMajor = adx >= ady;
  const int64_t steps = xMajor ? adx : ady;
  if (steps == 0) return;
  const int64_t major1 = xMajor ? x1 : y1, majorSign = xMajor ? sx : sy;
  const int64_t limit = xMajor ? dc.width() : dc.height();
  // Steps whose major coordinate lies inside the buffer.
  int64_t lo, hi;
  if (majorSign > 0) {
    lo = -major1;
    hi = limit - 1 - major1;
  } else {
    lo = major1 - (limit - 1);
    hi = major1;
  }
  lo = std::max<int64_t>(lo, 0);
  hi = std::min<int64_t>(hi, steps - 1);
  const int64_t along = xMajor ? adx : ady, across = xMajor ? ady : adx;
  if (lo > hi) return;
  // Minor offset of step i: (2 i across + along) / (2 along), i * across /
  // along rounded half up. Exact in 128 bits at the first visible step,
  // then carried as quotient and remainder.
  const int64_t denominator = 2 * along;
  const __int128 start = __int128(2) * lo * across + along;
  int64_t minor = int64_t(start / denominator);
  int64_t remainder = int64_t(start % denominator);
  for (int64_t i = lo; i <= hi; ++i) {
    const int64_t x = xMajor ? x1 + sx * i : x1 + sx * minor;
    const int64_t y = xMajor ? y1 + sy * minor : y1 + sy * i;
    dc.Put(x, y, v);
    remainder += 2 * across;
    if (remainder >= denominator) {
      remainder -= denominator;
      ++minor;
    }
  }
}

// ---------------------------------------------------------------- clipping

// Clips the segment to [lo, hi] on both axes (Liang-Barsky); false when
// nothing is left.
bool ClipSegment(PointD& a, PointD& b, double loX, double loY, double hiX, double hiY) {
  double t0 = 0, t1 = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - loX, hiX - a.x, a.y - loY, hiY - a.y};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0) {
      if (q[k] < 0) return false;
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  const PointD from = a;
  if (t1 < 1) b = {from.x + t1 * dx, from.y + t1 * dy};
  if (t0 > 0) a = {from.x + t0 * dx, from.y + t0 * dy};
  return true;
}

// Ping-pong buffers of the polygon clipper (loading-free: fixed size).
PointD g_clipA[kClipBufferPoints];
PointD g_clipB[kClipBufferPoints];

// Clips a closed polygon against one edge: axis 0 is x, 1 is y; keeps the
// side where sign * (coordinate - bound) <= 0.
int ClipAgainst(const PointD* in, int n, PointD* out, int axis, double bound, double sign) {
  auto value = [&](const PointD& p) { return sign * ((axis == 0 ? p.x : p.y) - bound); };
  int m = 0;
  for (int i = 0; i < n; ++i) {
    const PointD& cur = in[i];
    const PointD& prev = in[(i + n - 1) % n];
    const double vc = value(cur), vp = value(prev);
    if ((vc <= 0) != (vp <= 0)) {
      const double t = vp / (vp - vc);
      out[m++] = {prev.x + t * (cur.x - prev.x), prev.y + t * (cur.y - prev.y)};
    }
    if (vc <= 0) out[m++] = cur;
  }
  return m;
}

// Clips the polygon to the rectangle. The result keeps the winding of every
// point inside, so the alternate fill is unchanged there; it lives in one of
// the clip buffers. Returns the vertex count.
int ClipPolygon(const int32_t* points, int count, double lo, double hiX, double hiY,
                const PointD** result) {
  for (int i = 0; i < count; ++i) g_clipA[i] = {double(points[2 * i]), double(points[2 * i + 1])};
  int n = count;
  n = ClipAgainst(g_clipA, n, g_clipB, 0, lo, -1);
  n = ClipAgainst(g_clipB, n, g_clipA, 0, hiX, 1);
  n = ClipAgainst(g_clipA, n, g_clipB, 1, lo, -1);
  n = ClipAgainst(g_clipB, n, g_clipA, 1, hiY, 1);
  *result = g_clipA;
  return n;
}

// ---------------------------------------------------------------- wide pens and fills

// The vector driver converts the 8-bit components to RGB565 by truncation,
// as NativeColor does.
plat::vector::Rgb RgbOf(const Colour& c) { return {c.r, c.g, c.b}; }

void PreparePen(Canvas* canvas, const Colour& c, int width) {
  canvas->SetPen(RgbOf(c), PenWidth(width));
}

// Adds a segment between pixel centres to the path, cut to the buffer plus
// the pen's reach.
void AddWideSegment(const Dc& dc, Canvas* canvas, PointD a, PointD b, int width) {
  const double margin = PenWidth(width) / 2 + 2;
  if (!ClipSegment(a, b, -margin, -margin, dc.width() + margin, dc.height() + margin)) return;
  canvas->AddSegment({a.x + 0.5, a.y + 0.5}, {b.x + 0.5, b.y + 0.5});
}

// A pen drawing connected segments: the one-pixel pen steps each segment
// at once, a wide pen gathers them into one stroke made when the pen
// goes out of scope. Every wide segment is its own round-capped piece,
// which on hard-edged pixels is the same as a round join.
class Pen {
 public:
  Pen(const Dc& dc, const Colour& c, int width) : dc_(dc), colour_(c), width_(width) {
    if (!Thin(width)) {
      canvas_ = dc.Begin();
      if (canvas_) PreparePen(canvas_, c, width);
    }
  }
  ~Pen() {
    if (canvas_) {
      canvas_->Stroke();
      dc_.End(canvas_);
    }
  }
  Pen(const Pen&) = delete;
  Pen& operator=(const Pen&) = delete;

  void Segment(const PointD& a, const PointD& b) {
    if (Thin(width_)) {
      ThinSegment(dc_, std::llround(a.x), std::llround(a.y), std::llround(b.x), std::llround(b.y),
                  colour_.native);
    } else if (canvas_) {
      AddWideSegment(dc_, canvas_, a, b, width_);
    }
  }

 private:
  const Dc& dc_;
  Colour colour_;
  int width_;
  Canvas* canvas_ = nullptr;
};

bool OnHatch(int x, int y) { return x == y || x + y == kHatchSize - 1; }

// The diagonal cross-hatch: lines where x = y and x + y = 7 in each 8 x 8
// cell; the gaps take the background, or are left as they are without one.
void HatchRows(uint8_t rows[kHatchSize]) {
  for (int y = 0; y < kHatchSize; ++y) {
    rows[y] = 0;
    for (int x = 0; x < kHatchSize; ++x)
      if (OnHatch(x, y)) rows[y] = uint8_t(rows[y] | 1u << x);
  }
}

static_assert(kHatchSize == plat::vector::kTile);

void HatchFill(const Dc& dc, const int32_t* points, int count, const Colour& ink,
               const Colour* background) {
  const PointD* p = nullptr;
  const int n = ClipPolygon(points, count, -2, dc.width() + 2, dc.height() + 2, &p);
  if (n < 3) return;
  Canvas* canvas = dc.Begin();
  if (!canvas) return;
  uint8_t rows[kHatchSize];
  HatchRows(rows);
  const plat::vector::Rgb back = background ? RgbOf(*background) : plat::vector::Rgb{};
  canvas->FillHatch(p, n, rows, RgbOf(ink),
                    background ? &back : nullptr);
  dc.End(canvas);
}

// ---------------------------------------------------------------- Bézier curves

constexpr int kMaxBezierPoints = 1 + 3 * 4096;

// Flattens cubic curves into pen segments: de Casteljau halving until both
// inner control points lie within the flatness of the chord.
struct Flattener {
  Pen& pen;
  PointD last;
  void Curve(const PointD& p0, const PointD& p1, const PointD& p2, const PointD& p3, int depth) {
    const double dx = p3.x - p0.x, dy = p3.y - p0.y;
    const double len = std::hypot(dx, dy);
    auto distance = [&](const PointD& q) {
      if (len == 0) return std::hypot(q.x - p0.x, q.y - p0.y);
      return std::fabs((q.x - p0.x) * dy - (q.y - p0.y) * dx) / len;
    };
    if (depth >= kMaxBezierDepth || (distance(p1) <= kFlatness && distance(p2) <= kFlatness)) {
      pen.Segment(last, p3);
      last = p3;
      return;
    }
    auto mid = [](const PointD& a, const PointD& b) {
      return PointD{(a.x + b.x) / 2, (a.y + b.y) / 2};
    };
    const PointD a = mid(p0, p1), b = mid(p1, p2), c = mid(p2, p3);
    const PointD d = mid(a, b), e = mid(b, c), m = mid(d, e);
    Curve(p0, a, d, m, depth + 1);
    Curve(m, e, c, p3, depth + 1);
  }
};

// Clamps a rectangle to the buffer; false when nothing is left.
bool ClampRect(const Dc& dc, int64_t l, int64_t t, int64_t r, int64_t b, int& L, int& T, int& R,
               int& B) {
  L = int(std::clamp<int64_t>(l, 0, dc.width()));
  R = int(std::clamp<int64_t>(r, 0, dc.width()));
  T = int(std::clamp<int64_t>(t, 0, dc.height()));
  B = int(std::clamp<int64_t>(b, 0, dc.height()));
  return L < R && T < B;
}

// Normalised, clamped rectangle: false when it is empty.
bool NormalRect(const Dc& dc, int64_t l, int64_t t, int64_t r, int64_t b, int& L, int& T, int& R,
                int& B) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  return ClampRect(dc, l, t, r, b, L, T, R, B);
}

void FillSpan(const Dc& dc, int l, int t, int r, int b, uint16_t v) {
  for (int y = t; y < b; ++y) std::fill(dc.Row(y) + l, dc.Row(y) + r, v);
}

}  // namespace

// ---------------------------------------------------------------- operations

int oxDraw::OpenDC() {
  Surface* back = oxd::WritableBack();
  if (!back || back->lost || !back->pixels) return 0;
  if (!Describes(g_open, back)) {
    DestroyCanvas(g_open);
    g_open = Describe(back);
  }
  return 1;
}

void oxDraw::CloseDC() {
  DestroyCanvas(g_open);
  g_open = Context{};
}

void oxDraw::SetPixel(int x, int y, int32_t colorRef) {
  Dc dc;
  if (dc.valid()) dc.Put(x, y, oxd::NativeColor(uint32_t(colorRef)));
}

int oxDraw::GetPixel(int x, int y, int* red, int* green, int* blue) {
  Dc dc;
  if (!dc.valid() || x < 0 || y < 0 || x >= dc.width() || y >= dc.height()) {
    Widen(0, red, green, blue);
    return 0;
  }
  Widen(dc.Row(y)[x], red, green, blue);
  return 1;
}

void oxDraw::Line(int x1, int y1, int x2, int y2, int32_t colorRef, int width) {
  Dc dc;
  if (!dc.valid()) return;
  Pen pen(dc, ColourOf(colorRef), width);
  pen.Segment({double(x1), double(y1)}, {double(x2), double(y2)});
}

void oxDraw::Rectangle(int left, int top, int right, int bottom, int32_t fillColor,
                       int32_t outlineColor, int outlineWidth) {
  Dc dc;
  if (!dc.valid()) return;
  int64_t l = left, t = top, r = right, b = bottom;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return;
  // The outline runs through the pixel centres of columns l and r - 1 and
  // rows t and b - 1; the brush fills what lies between.
  int L, T, R, B;
  if (ClampRect(dc, l + 1, t + 1, r - 1, b - 1, L, T, R, B)) {
    FillSpan(dc, L, T, R, B, oxd::NativeColor(uint32_t(fillColor)));
  }
  const Colour pen = ColourOf(outlineColor);
  if (Thin(outlineWidth)) {
    // One-pixel frame: the edge rows and columns, clamped to the buffer.
    if (ClampRect(dc, l, t, r, t + 1, L, T, R, B)) FillSpan(dc, L, T, R, B, pen.native);
    if (ClampRect(dc, l, b - 1, r, b, L, T, R, B)) FillSpan(dc, L, T, R, B, pen.native);
    if (ClampRect(dc, l, t, l + 1, b, L, T, R, B)) FillSpan(dc, L, T, R, B, pen.native);
    if (ClampRect(dc, r - 1, t, r, b, L, T, R, B)) FillSpan(dc, L, T, R, B, pen.native);
    return;
  }
  Canvas* canvas = dc.Begin();
  if (!canvas) return;
  PreparePen(canvas, pen, outlineWidth);
  // Corners cut to the buffer plus the pen's reach: the visible part of an
  // axis-aligned outline is unchanged by moving far edges closer.
  const double m = PenWidth(outlineWidth) / 2 + 2;
  auto cx = [&](int64_t v) { return std::clamp(double(v), -m, dc.width() + m) + 0.5; };
  auto cy = [&](int64_t v) { return std::clamp(double(v), -m, dc.height() + m) + 0.5; };
  canvas->AddRectangle(cx(l), cy(t), cx(r - 1) - cx(l), cy(b - 1) - cy(t));
  canvas->Stroke();
  dc.End(canvas);
}

void oxDraw::Polygon(const int32_t* points, int count, int32_t colorRef, int32_t background,
                     int width, int style) {
  if (!points || count < 2 || count > kMaxPolygonPoints) return;
  Dc dc;
  if (!dc.valid()) return;
  const Colour ink = ColourOf(colorRef);
  if (style == 1) {
    const Colour back = ColourOf(background);
    HatchFill(dc, points, count, ink, &back);
  } else if (style == 2) {
    HatchFill(dc, points, count, ink, nullptr);
  }
  // Any other style is hollow: the outline alone.
  auto at = [&](int i) { return PointD{double(points[2 * i]), double(points[2 * i + 1])}; };
  Pen pen(dc, ink, width);
  for (int i = 0; i < count; ++i) pen.Segment(at(i), at((i + 1) % count));
}

void oxDraw::Bezier(const int32_t* points, int count, int32_t colorRef, int width) {
  // One start point and three more per curve.
  if (!points || count < 4 || (count - 1) % 3 != 0 || count > kMaxBezierPoints) return;
  Dc dc;
  if (!dc.valid()) return;
  auto at = [&](int i) { return PointD{double(points[2 * i]), double(points[2 * i + 1])}; };
  Pen pen(dc, ColourOf(colorRef), width);
  Flattener f{pen, at(0)};
  for (int i = 1; i + 2 < count; i += 3) f.Curve(at(i - 1), at(i), at(i + 1), at(i + 2), 0);
}

void oxDraw::InvertRect(int left, int top, int right, int bottom) {
  Dc dc;
  int L, T, R, B;
  if (!dc.valid() || !NormalRect(dc, left, top, right, bottom, L, T, R, B)) return;
  for (int y = T; y < B; ++y) {
    uint16_t* row = dc.Row(y);
    for (int x = L; x < R; ++x) row[x] = uint16_t(~row[x]);
  }
}
