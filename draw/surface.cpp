#include "draw/ox_surface.h"

#include "draw/blit_rows.h"
#include "draw/draw_state.h"

#include <cstddef>
#include <cstring>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace oxd {

namespace {

constexpr int kMaxSide = 65535;

// A rectangle after validation: origin and size, all inside their surface.
struct Span {
  int left, top, width, height;
};

enum class Check { Copy, Empty, Refused };

// Validates (l, t, r, b) against a surface of w x h: reversed is refused,
// empty draws nothing, anything leaving the surface is refused. 64-bit
// arithmetic keeps extreme arguments from overflowing.
Check CheckRect(int64_t l, int64_t t, int64_t r, int64_t b, int w, int h, Span& out) {
  if (l > r || t > b) return Check::Refused;
  if (l == r || t == b) return Check::Empty;
  if (l < 0 || t < 0 || r > w || b > h) return Check::Refused;
  out = {int(l), int(t), int(r - l), int(b - t)};
  return Check::Copy;
}

uint16_t* PixelAt(const Surface& s, int x, int y) {
  return s.pixels + size_t(y) * size_t(s.pitch) + size_t(x);
}

// Keyed copy of one row, highest address first: for a destination that
// overlaps its source further to the right on the same row.
void KeyedRowBackward(uint16_t* dst, const uint16_t* src, int n, uint16_t key) {
  int i = n;
#ifdef __SSE2__
  const __m128i k = _mm_set1_epi16(static_cast<short>(key));
  for (; i >= 8; i -= 8) {
    __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i - 8));
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i - 8));
    __m128i m = _mm_cmpeq_epi16(s, k);
    d = _mm_or_si128(_mm_and_si128(m, d), _mm_andnot_si128(m, s));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i - 8), d);
  }
#endif
  while (i > 0) {
    --i;
    if (src[i] != key) dst[i] = src[i];
  }
}

// Source index of destination index i (0-based) when n source pixels are
// spread over m destination pixels, nearest neighbour.
int64_t Scaled(int64_t i, int64_t n, int64_t m) { return i * n / m; }

// One axis of a stretch inside a single surface: destination positions whose
// source lies before them are done first, from the far end backwards; the
// rest after, forwards. The offset source - destination is monotone along
// the axis, so no source position is overwritten before it is read.
struct AxisOrder {
  int64_t dst0, src0, n, m;
  int64_t Offset(int64_t i) const { return src0 + Scaled(i, n, m) - (dst0 + i); }
};

void StretchRow(uint16_t* d, const uint16_t* s, int sw, int dw, bool keyed, uint16_t key) {
  // Integer stepping of floor(i * sw / dw) without a division per pixel.
  const int q = sw / dw, r = sw % dw;
  int sx = 0, err = 0;
  if (keyed) {
    for (int i = 0; i < dw; ++i) {
      if (s[sx] != key) d[i] = s[sx];
      sx += q;
      err += r;
      if (err >= dw) {
        err -= dw;
        ++sx;
      }
    }
  } else {
    for (int i = 0; i < dw; ++i) {
      d[i] = s[sx];
      sx += q;
      err += r;
      if (err >= dw) {
        err -= dw;
        ++sx;
      }
    }
  }
}

void StretchPixel(Surface& dst, const Span& dr, const Surface& src, const Span& sr, int64_t i,
                  int64_t j, bool keyed, uint16_t key) {
  int sx = sr.left + int(Scaled(i, sr.width, dr.width));
  int sy = sr.top + int(Scaled(j, sr.height, dr.height));
  uint16_t v = *PixelAt(src, sx, sy);
  if (!keyed || v != key) *PixelAt(dst, dr.left + int(i), dr.top + int(j)) = v;
}

void StretchRowInPlace(Surface& s, const Span& dr, const Span& sr, int64_t j, bool keyed,
                       uint16_t key) {
  AxisOrder x{dr.left, sr.left, sr.width, dr.width};
  for (int64_t i = dr.width - 1; i >= 0; --i) {
    if (x.Offset(i) < 0) StretchPixel(s, dr, s, sr, i, j, keyed, key);
  }
  for (int64_t i = 0; i < dr.width; ++i) {
    if (x.Offset(i) >= 0) StretchPixel(s, dr, s, sr, i, j, keyed, key);
  }
}

// Fills n pixels: memset when both bytes of the value agree (black, white),
// else 8 pixels per store.
void FillRow(uint16_t* p, size_t n, uint16_t value) {
  if ((value >> 8) == (value & 0xFF)) {
    std::memset(p, value & 0xFF, n * sizeof(uint16_t));
    return;
  }
  size_t i = 0;
#ifdef __SSE2__
  const __m128i v = _mm_set1_epi16(static_cast<short>(value));
  for (; i + 8 <= n; i += 8) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), v);
#endif
  for (; i < n; ++i) p[i] = value;
}

bool Overlaps(const Span& a, const Span& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

}  // namespace

namespace {

Surface* NewSurface(int width, int height, bool clear) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  Surface* s = new (std::nothrow) Surface;
  if (!s) return nullptr;
  const size_t n = size_t(width) * size_t(height);
  s->pixels = clear ? new (std::nothrow) uint16_t[n]() : new (std::nothrow) uint16_t[n];
  if (!s->pixels) {
    delete s;
    return nullptr;
  }
  s->width = width;
  s->height = height;
  s->pitch = width;
  return s;
}

}  // namespace

Surface* CreateSurface(int width, int height) { return NewSurface(width, height, true); }

Surface* CreateSurfaceUncleared(int width, int height) { return NewSurface(width, height, false); }

void DestroySurface(Surface* surface) {
  if (!surface) return;
  delete[] surface->pixels;
  delete surface;
}

void RestoreSurface(Surface& surface) {
  surface.lost = false;
  surface.keyFree = false;
  if (surface.pixels) {
    std::memset(surface.pixels, 0,
                size_t(surface.pitch) * size_t(surface.height) * sizeof(uint16_t));
  }
}

void CheckKeyFree(Surface& surface) {
  surface.keyFree = false;
  if (!surface.hasKey || surface.lost || !surface.pixels) return;
  const uint16_t key = surface.key;
  for (int y = 0; y < surface.height; ++y) {
    const uint16_t* row = PixelAt(surface, 0, y);
    for (int x = 0; x < surface.width; ++x) {
      if (row[x] == key) return;
    }
  }
  surface.keyFree = true;
}

BlitResult Blit(Surface& dst, int dx, int dy, const Surface& src, int sl, int st, int sr, int sb,
                bool keyed) {
  // A source without key pixels copies as it would unkeyed. Read before
  // the write into dst (which may be src) clears dst's flag.
  const bool useKey = keyed && src.hasKey && !src.keyFree;
  dst.keyFree = false;
  if (dst.lost || src.lost) return BlitResult::Lost;
  Span s, d;
  switch (CheckRect(sl, st, sr, sb, src.width, src.height, s)) {
    case Check::Refused: return BlitResult::Refused;
    case Check::Empty: return BlitResult::Ok;
    case Check::Copy: break;
  }
  if (CheckRect(dx, dy, int64_t(dx) + s.width, int64_t(dy) + s.height, dst.width, dst.height,
                d) != Check::Copy) {
    return BlitResult::Refused;
  }
  // An unkeyed copy from another surface sets every pixel it covers. The
  // whole back buffer so covered may swap with the screen surface, unless
  // that surface is what is copied.
  BeforeRead(src);
  Write kind = Write::Mixed;
  if (!useKey && &src != &dst) {
    const bool whole = &src != ScrUnsettled().screen && d.left == 0 && d.top == 0 &&
                       d.width == dst.width && d.height == dst.height;
    kind = whole ? Write::Whole : Write::Opaque;
  }
  BeforeWrite(dst, kind, d.left, d.top, d.left + d.width, d.top + d.height);
  if (!useKey && s.width == src.pitch && s.width == dst.pitch) {
    // Whole rows of both surfaces: one contiguous block (a full-screen copy).
    std::memmove(PixelAt(dst, 0, d.top), PixelAt(src, 0, s.top),
                 size_t(s.width) * size_t(s.height) * sizeof(uint16_t));
    return BlitResult::Ok;
  }
  const bool same = &dst == &src;
  if (!same) {
    // Two surfaces never share memory: rows in order, pointers stepped.
    const uint16_t* from = PixelAt(src, s.left, s.top);
    uint16_t* to = PixelAt(dst, d.left, d.top);
    const size_t srcPitch = size_t(src.pitch), dstPitch = size_t(dst.pitch);
    if (useKey) {
      CurrentKeyedRect()(to, dstPitch, from, srcPitch, s.width, s.height, src.key);
    } else {
      CurrentOpaqueRect()(to, dstPitch, from, srcPitch, s.width, s.height);
    }
    return BlitResult::Ok;
  }
  // Within one surface, rows are visited so that a source row is read before
  // the copy overwrites it, and a row shifted right is copied from its end.
  const KeyedRowFn forward = CurrentKeyedRow();
  const bool upward = same && d.top > s.top;
  const bool backward = same && d.top == s.top && d.left > s.left;
  for (int k = 0; k < s.height; ++k) {
    const int row = upward ? s.height - 1 - k : k;
    const uint16_t* from = PixelAt(src, s.left, s.top + row);
    uint16_t* to = PixelAt(dst, d.left, d.top + row);
    if (!useKey) {
      std::memmove(to, from, size_t(s.width) * sizeof(uint16_t));
    } else if (backward) {
      KeyedRowBackward(to, from, s.width, src.key);
    } else {
      forward(to, from, s.width, src.key);
    }
  }
  return BlitResult::Ok;
}

BlitResult BlitStretch(Surface& dst, int dl, int dt, int dr, int db, const Surface& src, int sl,
                       int st, int sr, int sb, bool keyed) {
  const bool useKey = keyed && src.hasKey && !src.keyFree;
  dst.keyFree = false;
  if (dst.lost || src.lost) return BlitResult::Lost;
  Span s, d;
  Check cs = CheckRect(sl, st, sr, sb, src.width, src.height, s);
  Check cd = CheckRect(dl, dt, dr, db, dst.width, dst.height, d);
  if (cs == Check::Refused || cd == Check::Refused) return BlitResult::Refused;
  if (cs == Check::Empty || cd == Check::Empty) return BlitResult::Ok;
  BeforeRead(src);
  BeforeWrite(dst, Write::Mixed, d.left, d.top, d.left + d.width, d.top + d.height);
  const uint16_t key = src.key;

  if (&dst == &src && Overlaps(s, d)) {
    AxisOrder y{d.top, s.top, s.height, d.height};
    for (int64_t j = d.height - 1; j >= 0; --j) {
      if (y.Offset(j) < 0) StretchRowInPlace(dst, d, s, j, useKey, key);
    }
    for (int64_t j = 0; j < d.height; ++j) {
      if (y.Offset(j) >= 0) StretchRowInPlace(dst, d, s, j, useKey, key);
    }
    return BlitResult::Ok;
  }

  for (int j = 0; j < d.height; ++j) {
    const int sy = s.top + int(Scaled(j, s.height, d.height));
    StretchRow(PixelAt(dst, d.left, d.top + j), PixelAt(src, s.left, sy), s.width, d.width, useKey,
               key);
  }
  return BlitResult::Ok;
}

BlitResult Fill(Surface& dst, int l, int t, int r, int b, uint16_t value) {
  dst.keyFree = false;
  if (dst.lost) return BlitResult::Lost;
  Span d;
  switch (CheckRect(l, t, r, b, dst.width, dst.height, d)) {
    case Check::Refused: return BlitResult::Refused;
    case Check::Empty: return BlitResult::Ok;
    case Check::Copy: break;
  }
  const bool whole = d.left == 0 && d.top == 0 && d.width == dst.width && d.height == dst.height;
  if (whole && value == 0 && &dst == ScrUnsettled().back) {
    // Clearing the back buffer: only what is not black already.
    ClearBack();
    return BlitResult::Ok;
  }
  BeforeWrite(dst, whole ? Write::Whole : Write::Opaque, d.left, d.top, d.left + d.width,
              d.top + d.height);
  if (d.width == dst.pitch) {
    // Whole rows: one contiguous run.
    FillRow(PixelAt(dst, 0, d.top), size_t(d.width) * size_t(d.height), value);
  } else {
    for (int y = 0; y < d.height; ++y) FillRow(PixelAt(dst, d.left, d.top + y), d.width, value);
  }
  return BlitResult::Ok;
}

}  // namespace oxd
