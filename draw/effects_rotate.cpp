// Rotation of a sprite's source rectangle onto the back buffer by inverse
// mapping through the sine table: plain, tiled, and with a zoom factor.
//
// Geometry: the destination rectangle's centre shows the source
// rectangle's centre, and pixels are sampled at their centres, so a
// rotation by 0, 90, 180 or 270 degrees maps pixels one to one (an even
// side is not shifted by half a pixel). Positive angles turn the picture
// clockwise on the screen (y grows downward). For the destination pixel at
// offset (dx, dy) from the centre the source offset is
//   ((dx cos + dy sin) / 360, (-dx sin + dy cos) / 360) / zoom
// with sin and cos the sine table's entries (scaled by 360). Source
// positions are stepped along each row in fixed point with 24 fraction bits
// and floored to pixels; a row starts afresh from its exact position.
#include <cmath>
#include <cstdint>

#include "draw/effects_clip.h"
#include "draw/ox_draw.h"

namespace {

constexpr int kFraction = 24;
constexpr double kOne = double(int64_t(1) << kFraction);
// Zooms smaller than this (in magnitude) draw as this one: the picture is
// then already one pixel or less across, and positions stay inside 64 bits.
constexpr double kMinZoom = 1.0 / 65536.0;

// i mod d for i below 2^32 without a division (d below 2^32).
struct Modulus {
  uint64_t d;
  uint64_t m;  // 2^64 / d rounded up
  explicit Modulus(uint32_t divisor) : d(divisor), m(UINT64_MAX / divisor + 1) {}
  uint64_t operator()(uint64_t i) const {
    if (i >> 32) return i % d;  // far outside: rare, plain division
    const uint64_t low = m * i;
    return uint64_t((static_cast<unsigned __int128>(low) * d) >> 64);
  }
};

struct Rotation {
  int left, top, right, bottom;
  int angle;
  double zoom;
  bool tiled;
};

int Rotate(const Rotation& rot, int handle, int sl, int st, int sr, int sb) {
  const oxd::Surface* backSurface = oxd::Scr().back;
  if (!backSurface) return 0;
  // The destination cut to the clip rectangle inside the back buffer.
  const oxd::Rect& c = oxd::Clip().clip;
  int64_t x0 = rot.left, y0 = rot.top, x1 = rot.right, y1 = rot.bottom;
  if (x0 < c.left) x0 = c.left;
  if (y0 < c.top) y0 = c.top;
  if (x1 > c.right) x1 = c.right;
  if (y1 > c.bottom) y1 = c.bottom;
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > backSurface->width) x1 = backSurface->width;
  if (y1 > backSurface->height) y1 = backSurface->height;
  if (x0 >= x1 || y0 >= y1) return 1;

  const oxd::EffectSurfaces surfaces = oxd::LockSpriteAndBack(handle);
  if (!surfaces.ok) return 0;
  const int64_t w = int64_t(sr) - sl, h = int64_t(sb) - st;
  if (w <= 0 || h <= 0) return 1;
  if (!oxd::SourceInside(*surfaces.sprite, sl, st, w, h)) return 0;
  if (!std::isfinite(rot.zoom) || rot.zoom == 0.0) return 1;
  double zoom = rot.zoom;
  if (std::fabs(zoom) < kMinZoom) zoom = zoom < 0 ? -kMinZoom : kMinZoom;

  int angle = rot.angle % 360;
  if (angle < 0) angle += 360;
  const int32_t* sine = oxd::Tables().sine;
  const double sn = sine[angle], cs = sine[angle + 90];

  // Twice the centre, so that offsets from it stay whole numbers.
  const int64_t cx2 = int64_t(rot.left) + rot.right, cy2 = int64_t(rot.top) + rot.bottom;
  if (!rot.tiled) {
    // A picture whose whole source lies farther from the drawn area than
    // its half-diagonal shows nothing; skipping it also keeps far-away
    // centres from overflowing the fixed-point positions.
    const double reach = std::fabs(zoom) * std::hypot(double(w), double(h)) * 0.5 + 2.0;
    const double cx = double(cx2) * 0.5, cy = double(cy2) * 0.5;
    const double gapX = cx < x0 ? x0 - cx : cx > x1 ? cx - x1 : 0.0;
    const double gapY = cy < y0 ? y0 - cy : cy > y1 ? cy - y1 : 0.0;
    if (gapX > reach || gapY > reach) return 1;
  }

  const double perUnit = kOne / (720.0 * zoom);  // one doubled offset, scaled
  const double baseU = double(int64_t(sl) + sr) * 0.5 * kOne;
  const double baseV = double(int64_t(st) + sb) * 0.5 * kOne;
  const int64_t stepU = std::llround(2.0 * cs * perUnit);
  const int64_t stepV = std::llround(-2.0 * sn * perUnit);
  const uint64_t width = uint64_t(w), height = uint64_t(h);
  const Modulus modW{uint32_t(w)}, modH{uint32_t(h)};

  const oxd::Surface& sprite = *surfaces.sprite;
  const uint16_t* const src = sprite.pixels;
  const size_t srcPitch = size_t(sprite.pitch);
  const int64_t count = x1 - x0;
  for (int64_t y = y0; y < y1; ++y) {
    const double dx2 = double(2 * x0 + 1 - cx2), dy2 = double(2 * y + 1 - cy2);
    int64_t u = std::llround(baseU + (dx2 * cs + dy2 * sn) * perUnit);
    int64_t v = std::llround(baseV + (dy2 * cs - dx2 * sn) * perUnit);
    uint16_t* d = oxd::PixelPtr(*surfaces.back, int(x0), int(y));
    if (rot.tiled) {
      for (int64_t i = 0; i < count; ++i, u += stepU, v += stepV) {
        const int64_t rx = (u >> kFraction) - sl, ry = (v >> kFraction) - st;
        const uint64_t tx = modW(uint64_t(rx < 0 ? -rx : rx));
        const uint64_t ty = modH(uint64_t(ry < 0 ? -ry : ry));
        const uint16_t p = src[(size_t(st) + ty) * srcPitch + size_t(sl) + tx];
        if (p != 0) d[i] = p;
      }
    } else {
      for (int64_t i = 0; i < count; ++i, u += stepU, v += stepV) {
        const uint64_t rx = uint64_t((u >> kFraction) - sl);
        const uint64_t ry = uint64_t((v >> kFraction) - st);
        if (rx >= width || ry >= height) continue;
        const uint16_t p = src[(size_t(st) + ry) * srcPitch + size_t(sl) + rx];
        if (p != 0) d[i] = p;
      }
    }
  }
  return 1;
}

}  // namespace

int oxDraw::DrawRotate(int left, int top, int right, int bottom, int angle, int handle, int sl,
                       int st, int sr, int sb) {
  return Rotate({left, top, right, bottom, angle, 1.0, false}, handle, sl, st, sr, sb);
}

// The source coordinates wrap: absolute value, then modulo the source
// width and height, so the picture tiles the whole destination rectangle
// (mirrored about the source's top-left corner).
int oxDraw::DrawRotateTiled(int left, int top, int right, int bottom, int angle, int handle, int sl,
                            int st, int sr, int sb) {
  return Rotate({left, top, right, bottom, angle, 1.0, true}, handle, sl, st, sr, sb);
}

// The source offsets are divided by the zoom as well: 2 doubles the
// picture's size, 0.5 halves it; a zero or non-finite zoom draws nothing.
int oxDraw::DrawRotateZoom(int left, int top, int right, int bottom, int angle, float zoom,
                           int handle, int sl, int st, int sr, int sb) {
  return Rotate({left, top, right, bottom, angle, double(zoom), false}, handle, sl, st, sr, sb);
}
