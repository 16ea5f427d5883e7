// Sprite copies into the back buffer or into other sprites, and the
// rectangle fills.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "draw/ox_surface.h"

namespace {

using oxd::BlitResult;
using oxd::Surface;

bool FitsInt(int64_t v) { return v >= INT_MIN && v <= INT_MAX; }

// The clipped copy behind Draw, DrawOn, DrawOpaque and DrawOpaqueOn. The
// right and bottom cuts use the position before the left and top cuts, so a
// sprite hanging over both sides of the clip rectangle is cut on both.
void ClippedCopy(Surface* dst, int x, int y, int handle, int sl, int st, int sr, int sb,
                 bool keyed) {
  const oxd::Rect& c = oxd::Clip().clip;
  int64_t px = x, py = y, l = sl, t = st, r = sr, b = sb;
  if (px + (r - l) > c.right) r = l + (c.right - px);
  if (py + (b - t) > c.bottom) b = t + (c.bottom - py);
  if (px < c.left) {
    l += c.left - px;
    px = c.left;
  }
  if (py < c.top) {
    t += c.top - py;
    py = c.top;
  }
  if (l > r || t > b) return;
  const Surface* src = oxd::SpriteSource(handle);
  if (!dst || !src) return;
  // A rectangle beyond the int range lies outside every surface.
  if (!FitsInt(l) || !FitsInt(t) || !FitsInt(r) || !FitsInt(b)) return;
  if (oxd::Blit(*dst, int(px), int(py), *src, int(l), int(t), int(r), int(b), keyed) ==
      BlitResult::Lost) {
    oxDraw::Restore();
  }
}

// Stretches onto (x, y, x + w, y + h) of the back buffer, or through the
// Buffer sprite when the blitter cannot stretch.
void Stretch(int x, int y, int handle, int sl, int st, int sr, int sb, int w, int h, bool keyed) {
  const Surface* src = oxd::SpriteSource(handle);
  if (!src) return;
  if (oxd::Scr().stretchCapable == 1) {
    Surface* back = oxd::Scr().back;
    const int64_t r = int64_t(x) + w, b = int64_t(y) + h;
    if (!back || !FitsInt(r) || !FitsInt(b)) return;
    if (oxd::BlitStretch(*back, x, y, int(r), int(b), *src, sl, st, sr, sb, keyed) ==
        BlitResult::Lost) {
      oxDraw::Restore();
    }
    return;
  }
  // Software path: a plain stretch into the Buffer sprite, then a clipped
  // draw from it, keyed on the Buffer sprite's own key (black). A stretch
  // that did not happen (too large for the buffer, bad source rectangle)
  // draws nothing rather than the buffer's stale picture.
  Surface* buffer = oxd::SpriteSurface(oxd::kBufferSprite);
  if (!buffer) return;
  switch (oxd::BlitStretch(*buffer, 0, 0, w, h, *src, sl, st, sr, sb, false)) {
    case BlitResult::Lost: oxDraw::Restore(); return;
    case BlitResult::Refused: return;
    case BlitResult::Ok: break;
  }
  if (keyed) {
    oxDraw::Draw(x, y, oxd::kBufferSprite, 0, 0, w, h);
  } else {
    oxDraw::DrawOpaque(x, y, oxd::kBufferSprite, 0, 0, w, h);
  }
}

// Colour-fill blit into the back buffer. Fills are not clipped and ignore a
// lost surface; the blitter refuses a rectangle that leaves the buffer.
void FillBack(int l, int t, int r, int b, uint16_t value) {
  if (Surface* back = oxd::ScrUnsettled().back) oxd::Fill(*back, l, t, r, b, value);
}

}  // namespace

// The copies and fills reach the back buffer through the blitter, which
// blanks what a Clear left to blank as far as each write needs.
void oxDraw::Draw(int x, int y, int handle, int sl, int st, int sr, int sb) {
  ClippedCopy(oxd::ScrUnsettled().back, x, y, handle, sl, st, sr, sb, true);
}

void oxDraw::DrawOn(int destination, int x, int y, int handle, int sl, int st, int sr, int sb) {
  ClippedCopy(oxd::SpriteSurface(destination), x, y, handle, sl, st, sr, sb, true);
}

void oxDraw::DrawOpaque(int x, int y, int handle, int sl, int st, int sr, int sb) {
  ClippedCopy(oxd::ScrUnsettled().back, x, y, handle, sl, st, sr, sb, false);
}

void oxDraw::DrawOpaqueOn(int destination, int x, int y, int handle, int sl, int st, int sr,
                          int sb) {
  ClippedCopy(oxd::SpriteSurface(destination), x, y, handle, sl, st, sr, sb, false);
}

void oxDraw::DrawStretch(int x, int y, int handle, int sl, int st, int sr, int sb, int width,
                         int height) {
  Stretch(x, y, handle, sl, st, sr, sb, width, height, true);
}

void oxDraw::DrawStretchOpaque(int x, int y, int handle, int sl, int st, int sr, int sb,
                               int width, int height) {
  Stretch(x, y, handle, sl, st, sr, sb, width, height, false);
}

void oxDraw::Capture(int handle, int left, int top, int right, int bottom) {
  Surface* sprite = oxd::SpriteSurface(handle);
  Surface* back = oxd::Scr().back;
  if (!sprite || !back) return;
  if (oxd::Blit(*sprite, 0, 0, *back, left, top, right, bottom, false) == BlitResult::Lost) {
    oxDraw::Restore();
  }
}

void oxDraw::ClearObject(int handle) {
  if (Surface* s = oxd::SpriteSurface(handle)) oxd::Fill(*s, 0, 0, s->width, s->height, 0);
}

void oxDraw::ClearRect(int left, int top, int right, int bottom) {
  FillBack(left, top, right, bottom, 0);
}

void oxDraw::FrameRect(int left, int top, int right, int bottom) {
  // Edges one pixel in from an extreme coordinate are refused by the
  // blitter anyway; saturating keeps the arithmetic defined.
  const int top1 = top == INT_MAX ? top : top + 1;
  const int left1 = left == INT_MAX ? left : left + 1;
  const int bottom1 = bottom == INT_MIN ? bottom : bottom - 1;
  const int right1 = right == INT_MIN ? right : right - 1;
  FillBack(left, top, right, top1, 0);
  FillBack(left, bottom1, right, bottom, 0);
  FillBack(left, top, left1, bottom, 0);
  FillBack(right1, top, right, bottom, 0);
}

void oxDraw::ClearWhite() {
  if (Surface* back = oxd::ScrUnsettled().back) {
    oxd::Fill(*back, 0, 0, back->width, back->height, uint16_t(oxd::Format().white));
  }
}

void oxDraw::ClearRectWhite(int left, int top, int right, int bottom) {
  FillBack(left, top, right, bottom, uint16_t(oxd::Format().white));
}

void oxDraw::FillRect(int left, int top, int right, int bottom, int32_t pixel) {
  FillBack(left, top, right, bottom, uint16_t(pixel & 0xFFFF));
}

int oxDraw::BlendRect(int left, int top, int right, int bottom, int32_t pixel) {
  const oxd::Rect& c = oxd::Clip().clip;
  int l = std::max(left, c.left), t = std::max(top, c.top);
  int r = std::min(right, c.right), b = std::min(bottom, c.bottom);
  if (l > r || t > b) return 1;
  Surface* back = oxd::WritableBack();
  if (!back || back->lost || !back->pixels) return 0;
  // The clip rectangle may reach past the back buffer; the blend never
  // writes outside it.
  l = std::max(l, 0);
  t = std::max(t, 0);
  r = std::min(r, back->width);
  b = std::min(b, back->height);
  const uint16_t half = uint16_t(oxd::Format().halfMask);
  const uint16_t add = uint16_t(((uint32_t(pixel) & 0xFFFF) >> 1) & half);
  for (int y = t; y < b; ++y) {
    uint16_t* p = back->pixels + size_t(y) * size_t(back->pitch);
    for (int x = l; x < r; ++x) p[x] = uint16_t(((p[x] >> 1) & half) + add);
  }
  return 1;
}
