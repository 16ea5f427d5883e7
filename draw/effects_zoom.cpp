// Filters that enlarge pixels of the back buffer: the 2x and 4x zoom of a
// block through the Buffer sprite, and the circular mosaic.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "draw/effects_clip.h"
#include "draw/ox_draw.h"

namespace {

// Copies the block at (x, y) into the Buffer sprite at `factor` times the
// size, then draws the Buffer sprite's (0, 0, factor width, factor height)
// back at the block's corner with DrawOpaque (clipped as every draw). Mode
// 0 fills each factor x factor square with its pixel; any other mode sets
// only the square's top-left pixel and keeps what the Buffer sprite held in
// the rest. The block is cut to the back buffer, and to what fits the
// Buffer sprite once enlarged; a cut on the left or top moves the corner
// to the first pixel kept.
int Zoom(int x, int y, int width, int height, int mode, int factor) {
  const oxd::EffectSurfaces surfaces = oxd::LockBack();
  oxd::Surface* buffer = oxd::SpriteSurface(oxd::kBufferSprite);
  if (!surfaces.ok || !oxd::Lockable(buffer)) return 0;
  oxd::FilterArea a;
  if (!oxd::CutToBack(x, y, width, height, *surfaces.back, a)) return 1;
  if (a.width > buffer->width / factor) a.width = buffer->width / factor;
  if (a.height > buffer->height / factor) a.height = buffer->height / factor;
  if (a.width <= 0 || a.height <= 0) return 1;
  for (int r = 0; r < a.height; ++r) {
    const uint16_t* s = oxd::PixelPtr(*surfaces.back, a.x, a.y + r);
    uint16_t* d = oxd::PixelPtr(*buffer, 0, r * factor);
    if (mode == 0) {
      if (factor == 2) {
        for (int c = 0; c < a.width; ++c) d[2 * c] = d[2 * c + 1] = s[c];
      } else {
        for (int c = 0; c < a.width; ++c) {
          uint16_t* q = d + factor * c;
          for (int k = 0; k < factor; ++k) q[k] = s[c];
        }
      }
      const size_t bytes = size_t(a.width) * size_t(factor) * sizeof(uint16_t);
      for (int k = 1; k < factor; ++k) std::memcpy(d + size_t(k) * buffer->pitch, d, bytes);
    } else {
      for (int c = 0; c < a.width; ++c) d[factor * c] = s[c];
    }
  }
  oxDraw::DrawOpaque(a.x, a.y, oxd::kBufferSprite, 0, 0, a.width * factor, a.height * factor);
  return 1;
}

// Largest m with m * m < q (q > 0).
int64_t RootBelow(int64_t q) {
  int64_t m = int64_t(std::sqrt(double(q)));
  while (m > 0 && m * m >= q) --m;
  while ((m + 1) * (m + 1) < q) ++m;
  return m;
}

}  // namespace

int oxDraw::Zoom2(int x, int y, int width, int height, int mode) {
  return Zoom(x, y, width, height, mode, 2);
}

int oxDraw::Zoom4(int x, int y, int width, int height, int mode) {
  return Zoom(x, y, width, height, mode, 4);
}

// The square x - radius to x + radius (exclusive), cut to the screen, is
// tiled with block x block blocks from its top-left corner; each block
// takes the colour of its top-left pixel at the pixels whose distance from
// (x, y) is below the radius. A block below 1 counts as 1.
int oxDraw::MosaicCircle(int x, int y, int radius, int block) {
  const oxd::EffectSurfaces surfaces = oxd::LockBack();
  if (!surfaces.ok) return 0;
  if (radius <= 0) return 1;
  const int64_t b = block < 1 ? 1 : block;
  const int64_t r = radius;
  const oxd::Surface& back = *surfaces.back;
  const int64_t left = int64_t(x) - r, top = int64_t(y) - r;
  const int64_t l = left > 0 ? left : 0, t = top > 0 ? top : 0;
  const int64_t right = left + 2 * r < back.width ? left + 2 * r : back.width;
  const int64_t bottom = top + 2 * r < back.height ? top + 2 * r : back.height;
  if (l >= right || t >= bottom) return 1;
  const oxd::FilterArea a{int(l), int(t), int(right - l), int(bottom - t)};
  const int64_t r2 = r * r;
  for (int row = a.y; row < a.y + a.height; ++row) {
    const int64_t dy = int64_t(row) - y;
    const int64_t q = r2 - dy * dy;
    if (q <= 0) continue;
    const int64_t m = RootBelow(q);  // |dx| <= m is inside the circle
    int64_t s0 = int64_t(x) - m, s1 = int64_t(x) + m;
    if (s0 < a.x) s0 = a.x;
    if (s1 > a.x + a.width - 1) s1 = a.x + a.width - 1;
    if (s0 > s1) continue;
    const int blockTop = int(a.y + (row - a.y) / b * b);
    const uint16_t* colours = oxd::PixelPtr(back, 0, blockTop);
    uint16_t* d = oxd::PixelPtr(back, 0, row);
    int64_t bx = a.x + (s0 - a.x) / b * b;
    for (int64_t px = s0; px <= s1; bx += b) {
      const int64_t end = bx + b - 1 < s1 ? bx + b - 1 : s1;
      const uint16_t colour = colours[bx];
      for (; px <= end; ++px) d[px] = colour;
    }
  }
  return 1;
}
