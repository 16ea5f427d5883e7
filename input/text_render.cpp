// Characters and their drawing: UTF-8 decoding, the hanging characters,
// and runs of glyphs put on a surface in one colour.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "input/text_internal.h"

namespace ox::text {

namespace {

// Characters that may stay at the end of a line past its right edge.
constexpr const char* kHanging[] = {"、", "。", "，", "．", "・", "…",  "‥", "”",
                                    "’",  "（", "」", ",",  ".",  "　", " "};

void FillRect(oxd::Surface& dst, const oxd::Rect& r, uint16_t colour) {
  for (int y = r.top; y < r.bottom; ++y) {
    uint16_t* row = dst.pixels + size_t(y) * size_t(dst.pitch);
    std::fill(row + r.left, row + r.right, colour);
  }
}

oxd::Rect Intersect(const oxd::Rect& a, const oxd::Rect& b) {
  return oxd::Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                   std::min(a.bottom, b.bottom)};
}

// Fills the part [u0, u1) x [v0, v1) of a text run in its own axes: u along
// the baseline from the cell's top-left (x, y), v down across it.
void FillTextRect(oxd::Surface& dst, const plat::FontMetrics& m, int x, int y, int u0, int u1,
                  int v0, int v1, uint16_t colour, const oxd::Rect& clip) {
  if (u0 >= u1 || v0 >= v1) return;
  const oxd::Rect c = Inside(dst, clip);
  if (m.dirX == 1.0 && m.dirY == 0.0) {
    const int64_t l = int64_t(x) + u0, r = int64_t(x) + u1;
    const int64_t t = int64_t(y) + v0, b = int64_t(y) + v1;
    const oxd::Rect area{
        int(std::clamp<int64_t>(l, c.left, c.right)), int(std::clamp<int64_t>(t, c.top, c.bottom)),
        int(std::clamp<int64_t>(r, c.left, c.right)), int(std::clamp<int64_t>(b, c.top, c.bottom))};
    FillRect(dst, area, colour);
    return;
  }
  // Turned: test every pixel centre of the bounding box in the run's axes.
  const double ax = m.dirX, ay = m.dirY, dx = -m.dirY, dy = m.dirX;
  double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
  for (int cu : {u0, u1}) {
    for (int cv : {v0, v1}) {
      const double px = x + cu * ax + cv * dx, py = y + cu * ay + cv * dy;
      minX = std::min(minX, px), maxX = std::max(maxX, px);
      minY = std::min(minY, py), maxY = std::max(maxY, py);
    }
  }
  const int l = int(std::clamp(std::floor(minX), double(c.left), double(c.right)));
  const int r = int(std::clamp(std::ceil(maxX), double(c.left), double(c.right)));
  const int t = int(std::clamp(std::floor(minY), double(c.top), double(c.bottom)));
  const int b = int(std::clamp(std::ceil(maxY), double(c.top), double(c.bottom)));
  for (int py = t; py < b; ++py) {
    uint16_t* row = dst.pixels + size_t(py) * size_t(dst.pitch);
    for (int px = l; px < r; ++px) {
      const double ox = px + 0.5 - x, oy = py + 0.5 - y;
      const double u = ox * ax + oy * ay, v = ox * dx + oy * dy;
      if (u >= u0 && u < u1 && v >= v0 && v < v1) row[px] = colour;
    }
  }
}

// Sets the pixels of a glyph mask whose top-left lands on (x, y).
void PutMask(oxd::Surface& dst, const plat::Glyph& g, int64_t x, int64_t y, uint16_t colour,
             const oxd::Rect& c) {
  const int64_t x0 = std::max<int64_t>(x, c.left), x1 = std::min<int64_t>(x + g.width, c.right);
  const int64_t y0 = std::max<int64_t>(y, c.top), y1 = std::min<int64_t>(y + g.height, c.bottom);
  for (int64_t py = y0; py < y1; ++py) {
    const uint8_t* src = g.mask + size_t(py - y) * size_t(g.pitch);
    uint16_t* row = dst.pixels + size_t(py) * size_t(dst.pitch);
    for (int64_t px = x0; px < x1; ++px) {
      if (src[px - x]) row[px] = colour;
    }
  }
}

// 1/64 pixel to the nearest pixel, rounding halves up.
int64_t PixelOf(int64_t v) { return (v + 32) >> 6; }

}  // namespace

int NextChar(const char* s, size_t available, uint32_t* codepoint) {
  uint32_t dummy;
  uint32_t& cp = codepoint ? *codepoint : dummy;
  if (!s || available == 0 || s[0] == 0) {
    cp = 0;
    return 0;
  }
  const auto* u = reinterpret_cast<const unsigned char*>(s);
  const unsigned char c = u[0];
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  int n;
  uint32_t v;
  if ((c & 0xE0) == 0xC0) {
    n = 2, v = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3, v = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4, v = c & 0x07;
  } else {
    cp = 0xFFFD;
    return 1;
  }
  if (size_t(n) > available) {
    cp = 0xFFFD;
    return 1;
  }
  // A NUL is not a continuation byte, so nothing past the end is read.
  for (int k = 1; k < n; ++k) {
    if ((u[k] & 0xC0) != 0x80) {
      cp = 0xFFFD;
      return 1;
    }
    v = v << 6 | (u[k] & 0x3F);
  }
  const bool overlong = (n == 2 && v < 0x80) || (n == 3 && v < 0x800) || (n == 4 && v < 0x10000);
  if (overlong || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
    cp = 0xFFFD;
    return 1;
  }
  cp = v;
  return n;
}

bool IsHanging(uint32_t c) {
  for (const char* h : kHanging) {
    uint32_t v;
    NextChar(h, &v);
    if (v == c) return true;
  }
  return false;
}

oxd::Rect Inside(const oxd::Surface& s, const oxd::Rect& r) {
  return Intersect(r, oxd::Rect{0, 0, s.width, s.height});
}

int CharAdvance(int font, uint32_t c) {
  plat::Glyph g;
  if (IsControl(c) || !plat::GetGlyph(font, c, g)) return 0;
  return g.advance;
}

int MeasureChars(int font, const char* text, size_t bytes) {
  int width = 0;
  size_t i = 0;
  uint32_t c;
  while (int n = NextChar(text + i, bytes - i, &c)) {
    i += size_t(n);
    width += CharAdvance(font, c);
  }
  return width;
}

int DrawChars(oxd::Surface& dst, int font, bool underline, const char* text, size_t bytes, int x,
              int y, uint16_t colour, const oxd::Rect& clip) {
  plat::FontMetrics m;
  if (!text || !plat::GetFontMetrics(font, m)) return 0;
  const oxd::Rect c = Inside(dst, clip);
  // The pen runs along the baseline, `ascent` below the cell's top.
  int64_t penX = int64_t(x) * 64 + std::llround(-m.dirY * m.ascent * 64);
  int64_t penY = int64_t(y) * 64 + std::llround(m.dirX * m.ascent * 64);
  int width = 0;
  size_t i = 0;
  uint32_t cp;
  while (int n = NextChar(text + i, bytes - i, &cp)) {
    i += size_t(n);
    plat::Glyph g;
    if (IsControl(cp) || !plat::GetGlyph(font, cp, g)) continue;
    if (g.mask) PutMask(dst, g, PixelOf(penX) + g.left, PixelOf(penY) + g.top, colour, c);
    penX += g.advanceX;
    penY += g.advanceY;
    width += g.advance;
  }
  if (underline && width > 0) {
    const int v0 = m.ascent + m.underlinePosition;
    FillTextRect(dst, m, x, y, 0, width, v0, v0 + m.underlineThickness, colour, c);
  }
  return width;
}

void FillCells(oxd::Surface& dst, int font, int x, int y, int width, uint16_t colour,
               const oxd::Rect& clip) {
  plat::FontMetrics m;
  if (!plat::GetFontMetrics(font, m)) return;
  FillTextRect(dst, m, x, y, 0, width, 0, m.height, colour, clip);
}

}  // namespace ox::text
