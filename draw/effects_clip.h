// Common steps of the software pixel effects: clipping a sprite effect to
// the clip rectangle and the back buffer, "locking" the surfaces, and the
// channel layout every effect reads pixels through.
//
// Effects work on plain memory surfaces. Where a surface would be locked,
// they check that it exists and is not lost; where a lock would fail, they
// return 0. The 16-bit effect tables must be built (a 16-bit display).
#pragma once

#include <cstddef>
#include <cstdint>

#include "draw/draw_state.h"
#include "draw/effect_tables.h"
#include "draw/ox_surface.h"

namespace oxd {

// A sprite effect's drawn area after the common clipping steps.
struct EffectArea {
  int x, y;                       // destination top-left in the back buffer
  int64_t sl, st;                 // source top-left (the unmirrored reading)
  int width, height;              // size of the drawn area, 0 or more
  int64_t cutLeft, cutTop;        // columns and rows cut from the left and top
  int64_t fullWidth, fullHeight;  // sr - sl and sb - st before the cut
};

// Steps 1 to 3 of every sprite effect: w = sr - sl, h = sb - st; the right
// and bottom cuts use the position before the left and top cuts (as Draw
// does), so a sprite hanging over both sides is cut on both. The rectangle
// cut to is the clip rectangle inside the back buffer, so a clip rectangle
// reaching past the buffer never lets an effect write outside it. Returns
// false when the area is reversed (w < 0 or h < 0): nothing to draw.
inline bool CutToClip(int x, int y, int sl, int st, int sr, int sb, int backWidth, int backHeight,
                      EffectArea& a) {
  const Rect& c = Clip().clip;
  const int64_t left = c.left > 0 ? c.left : 0;
  const int64_t top = c.top > 0 ? c.top : 0;
  const int64_t right = c.right < backWidth ? c.right : backWidth;
  const int64_t bottom = c.bottom < backHeight ? c.bottom : backHeight;
  int64_t px = x, py = y, l = sl, t = st;
  int64_t w = int64_t(sr) - sl, h = int64_t(sb) - st;
  a.fullWidth = w;
  a.fullHeight = h;
  if (px + w > right) w = right - px;
  if (py + h > bottom) h = bottom - py;
  a.cutLeft = a.cutTop = 0;
  if (px < left) {
    a.cutLeft = left - px;
    l += left - px;
    w -= left - px;
    px = left;
  }
  if (py < top) {
    a.cutTop = top - py;
    t += top - py;
    h -= top - py;
    py = top;
  }
  if (w < 0 || h < 0) return false;
  // The area lies inside the back buffer now, so it fits an int; the
  // source corner is checked against the sprite by SourceInside.
  a.x = int(px);
  a.y = int(py);
  a.sl = l;
  a.st = t;
  a.width = int(w);
  a.height = int(h);
  return true;
}

// The surfaces an effect works on; ok is false when one cannot be locked
// (missing, lost, or no 16-bit tables).
struct EffectSurfaces {
  Surface* back;
  Surface* sprite;
  bool ok;
};

inline bool Lockable(const Surface* s) { return s && !s->lost && s->pixels; }

inline EffectSurfaces LockBack() {
  Surface* back = WritableBack();
  return {back, nullptr, Tables().built16 == 1 && Lockable(back)};
}

inline EffectSurfaces LockSpriteAndBack(int handle) {
  EffectSurfaces s = LockBack();
  s.sprite = SpriteSurface(handle);
  s.ok = s.ok && Lockable(s.sprite);
  return s;
}

// True when columns [l, l + w) and rows [t, t + h) lie inside the surface.
// The blitter refuses such a copy; the effects likewise draw nothing.
inline bool SourceInside(const Surface& s, int64_t l, int64_t t, int64_t w, int64_t h) {
  return l >= 0 && t >= 0 && w >= 0 && h >= 0 && l + w <= s.width && t + h <= s.height;
}

inline uint16_t* PixelPtr(const Surface& s, int x, int y) {
  return s.pixels + size_t(y) * size_t(s.pitch) + size_t(x);
}

// A sprite effect ready to draw: the first destination and source pixels
// of the drawn area and the pitches to step rows.
struct SpriteSpan {
  uint16_t* dst;
  const uint16_t* src;
  size_t dstPitch, srcPitch;
  int width, height;
};

enum class Prep { Draw, Done, Fail };

// Result of an effect that stops before drawing: 1 for nothing to draw,
// 0 when a surface cannot be locked or the source rectangle leaves the
// sprite (the blitter refuses such a copy; the effect draws nothing).
inline int Finish(Prep p) { return p == Prep::Fail ? 0 : 1; }

// The common steps 1 to 4 of the sprite effects (see CutToClip).
inline Prep PrepareSpriteEffect(int x, int y, int handle, int sl, int st, int sr, int sb,
                                SpriteSpan& span) {
  const Surface* back = Scr().back;
  if (!back) return Prep::Fail;
  EffectArea a;
  if (!CutToClip(x, y, sl, st, sr, sb, back->width, back->height, a)) return Prep::Done;
  const EffectSurfaces s = LockSpriteAndBack(handle);
  if (!s.ok) return Prep::Fail;
  if (!SourceInside(*s.sprite, a.sl, a.st, a.width, a.height)) return Prep::Fail;
  span.dst = PixelPtr(*s.back, a.x, a.y);
  span.src = PixelPtr(*s.sprite, int(a.sl), int(a.st));
  span.dstPitch = size_t(s.back->pitch);
  span.srcPitch = size_t(s.sprite->pitch);
  span.width = a.width;
  span.height = a.height;
  return Prep::Draw;
}

// Runs row(dst, src, width, rowIndex) over every row of a sprite effect's
// drawn area and returns the effect's result.
template <class RowFn>
int RunSpriteEffect(int x, int y, int handle, int sl, int st, int sr, int sb, RowFn row) {
  SpriteSpan s;
  const Prep p = PrepareSpriteEffect(x, y, handle, sl, st, sr, sb, s);
  if (p != Prep::Draw) return Finish(p);
  for (int r = 0; r < s.height; ++r) {
    row(s.dst + size_t(r) * s.dstPitch, s.src + size_t(r) * s.srcPitch, s.width, r);
  }
  return 1;
}

// A back-buffer filter's rectangle (x, y, width, height) cut to the back
// buffer. Returns false when nothing of it is left.
struct FilterArea {
  int x, y, width, height;
};

inline bool CutToBack(int x, int y, int width, int height, const Surface& back, FilterArea& a) {
  int64_t l = x, t = y, r = int64_t(x) + width, b = int64_t(y) + height;
  if (l < 0) l = 0;
  if (t < 0) t = 0;
  if (r > back.width) r = back.width;
  if (b > back.height) b = back.height;
  if (l >= r || t >= b) return false;
  a = {int(l), int(t), int(r - l), int(b - t)};
  return true;
}

// Where each channel sits in a 16-bit pixel. A 5-bit channel value v
// (a 6-bit channel halved) is (p >> pos) & 31 and goes back as v << pos;
// the full-precision value is (p >> shift) & max.
struct ChannelLayout {
  int pos[3];
  int shift[3];
  uint32_t max[3];
  uint32_t mask[3];
};

inline ChannelLayout Layout() {
  const PixelFormat& f = Format();
  return {{f.redPosition, f.greenPosition, f.bluePosition},
          {f.redShift, f.greenShift, f.blueShift},
          {f.redWidthMask, f.greenWidthMask, f.blueWidthMask},
          {f.redMask, f.greenMask, f.blueMask}};
}

// A level of the 5-bit channel scale, kept inside the tables (0 to 31).
inline int ClampLevel(int level) { return level < 0 ? 0 : level > 31 ? 31 : level; }

// An alpha or strength kept to 0..1; NaN counts as 0.
inline float ClampUnit(float v) { return v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : 0.0f; }

// trunc(31 - 31 x alpha) kept to a table level 0..31 (NaN: 31, nothing
// shows through).
inline int LevelFromAlpha(float alpha) {
  const float a = ClampUnit(alpha);
  return ClampLevel(int(31.0f - 31.0f * a));
}

// State of the filters driven by the random table: a position in it per
// operation, and the pixel counters of the rising smears. Zero at start.
struct RandomWalk {
  int index;
  int counter;
};

struct EffectState {
  RandomWalk rise, riseFade, noise, noiseChannels;
};

EffectState& Effects();

// The next entry of the random table for a walk; after entry 9999 the
// walk restarts at a pseudo-random position below 1000.
int NextRandomIndex(int index);
int RestartRandomIndex();

}  // namespace oxd
