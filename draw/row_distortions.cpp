// Row-by-row distortions: each draws its source rectangle as one-pixel rows,
// every row through the clipped, keyed Draw (DrawRoll: DrawOpaque), and then
// advances its own animation state by the frame seconds.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Animation state, shared by every call of the same operation.
struct DistortionState {
  float wavePhase;
  int32_t waveSign;
  float scrollPhase, scrollRows;
  float tilePhase, tileRows;
  float tiledX, tiledY;
  float rollPhase;
};

constinit DistortionState g_state = {0, 1, 0, 0, 0, 0, 0, 0, 0};

bool FitsInt(int64_t v) { return v >= INT_MIN && v <= INT_MAX; }

// Draws one row; a position beyond the int range is outside every clip
// rectangle, so such a row draws nothing.
void Row(int64_t x, int64_t y, int handle, int sl, int64_t row, int sr, bool opaque = false) {
  if (!FitsInt(x) || !FitsInt(y) || !FitsInt(row) || !FitsInt(row + 1)) return;
  if (opaque) {
    oxDraw::DrawOpaque(int(x), int(y), handle, sl, int(row), sr, int(row + 1));
  } else {
    oxDraw::Draw(int(x), int(y), handle, sl, int(row), sr, int(row + 1));
  }
}

float Seconds() { return ox::App().frameSeconds; }

// After the usual single correction (one period subtracted or added), a
// value still outside [low, low + period) is wrapped, so that a long frame
// or a reversed speed cannot push it out of range for good.
float Wrap(float v, float low, float period) {
  if (!std::isfinite(v)) return low;
  if (v >= low && v < low + period) return v;
  float w = std::fmod(v - low, period);
  if (w < 0) w += period;
  if (w >= period) w = 0;  // rounding of a tiny negative remainder
  return low + w;
}

// Degrees of phase advance, kept in [0, 360).
void AdvancePhase(float& phase, float speed) {
  phase += Seconds() * speed;
  if (phase >= 360) phase -= 360;
  phase = Wrap(phase, 0, 360);
}

// Upward scroll in rows, kept in [0, h).
void AdvanceScroll(float& scroll, float speed, int64_t h) {
  if (h <= 0) return;
  const float height = float(h);
  scroll -= Seconds() * speed;
  if (scroll < 0) {
    scroll += height;
  } else if (scroll >= height) {
    scroll -= height;
  }
  scroll = Wrap(scroll, 0, height);
}

// Tile offset, kept in [-size, 0].
void AdvanceTileOffset(float& offset, float speed, int64_t size) {
  const float s = float(size);
  offset += Seconds() * speed;
  if (offset < -s) {
    offset += s;
  } else if (offset > 0) {
    offset -= s;
  }
  if (offset < -s || offset > 0 || !std::isfinite(offset)) offset = Wrap(offset, -s, s);
}

int64_t WaveOffset(float phase, int64_t a, int amplitude) {
  const double angle = double(int64_t(phase) + a) * kTwoPi / 360.0;
  return int64_t(std::cos(angle) * amplitude);
}

int64_t Rows(int64_t r, int divisor) { return divisor == 0 ? r : r / divisor; }

}  // namespace

void oxDraw::DrawWave(int x, int y, int amplitude, int divisor, float speed, int handle, int sl,
                      int st, int sr, int sb, int alternate) {
  DistortionState& s = g_state;
  for (int64_t r = st; r < sb; ++r) {
    int64_t offset = WaveOffset(s.wavePhase, Rows(r, divisor), amplitude);
    if (alternate != 0) {
      offset *= s.waveSign;
      s.waveSign = -s.waveSign;
    }
    Row(x + offset, y + r - st, handle, sl, r, sr);
  }
  AdvancePhase(s.wavePhase, speed);
}

void oxDraw::DrawWaveScroll(int x, int y, int amplitude, int divisor, float waveSpeed,
                            float scrollSpeed, int handle, int sl, int st, int sr, int sb) {
  DistortionState& s = g_state;
  const int64_t h = int64_t(sb) - st;
  if (h > 0) {
    s.scrollRows = Wrap(s.scrollRows, 0, float(h));
    for (int64_t r = st; r < sb; ++r) {
      const int64_t offset = WaveOffset(s.scrollPhase, Rows(r, divisor), amplitude);
      int64_t source = r + int64_t(s.scrollRows);
      if (source >= sb) source -= h;
      Row(x + offset, int64_t(y) + r, handle, sl, source, sr);
    }
  }
  AdvancePhase(s.scrollPhase, waveSpeed);
  AdvanceScroll(s.scrollRows, scrollSpeed, h);
}

void oxDraw::DrawWaveTile(int top, int bottom, int amplitude, int divisor, float waveSpeed,
                          float scrollSpeed, int handle, int sl, int st, int sr, int sb) {
  DistortionState& s = g_state;
  const int64_t h = int64_t(sb) - st, w = int64_t(sr) - sl;
  // An empty source rectangle has no rows to tile (and would divide by 0).
  if (h > 0 && w > 0) {
    s.tileRows = Wrap(s.tileRows, 0, float(h));
    const int64_t columns = oxd::Scr().width / w + 2;
    // Rows outside the clip rectangle draw nothing; they are not visited.
    const oxd::Rect& c = oxd::Clip().clip;
    const int64_t first = int64_t(c.top) > top ? int64_t(c.top) - top : 0;
    const int64_t last = std::min(int64_t(bottom), int64_t(c.bottom)) - top;
    for (int64_t i = first; i < last; ++i) {
      int64_t row = i % h + int64_t(s.tileRows);
      if (row >= h) row -= h;
      const int64_t shift = WaveOffset(s.tilePhase, Rows(i, divisor), amplitude) - amplitude;
      for (int64_t j = 0; j < columns; ++j) {
        Row(w * j + shift, int64_t(top) + i, handle, sl, st + row, sr);
      }
    }
  }
  AdvancePhase(s.tilePhase, waveSpeed);
  AdvanceScroll(s.tileRows, scrollSpeed, h);
}

void oxDraw::DrawTiled(float xSpeed, float ySpeed, int handle, int sl, int st, int sr, int sb) {
  DistortionState& s = g_state;
  const int64_t w = int64_t(sr) - sl, h = int64_t(sb) - st;
  if (w <= 0 || h <= 0) return;  // no tile to repeat
  const int64_t columns = oxd::Scr().width / w + 2, rows = oxd::Scr().height / h + 2;
  const int64_t ox = int64_t(s.tiledX), oy = int64_t(s.tiledY);
  for (int64_t i = 0; i < rows; ++i) {
    const int64_t ty = h * i + oy;
    if (!FitsInt(ty)) continue;
    for (int64_t j = 0; j < columns; ++j) {
      const int64_t tx = w * j + ox;
      if (FitsInt(tx)) oxDraw::Draw(int(tx), int(ty), handle, sl, st, sr, sb);
    }
  }
  AdvanceTileOffset(s.tiledX, xSpeed, w);
  AdvanceTileOffset(s.tiledY, ySpeed, h);
}

void oxDraw::DrawBands(int x, int y, int bandHeight, int handle, int sl, int st, int sr, int sb) {
  if (bandHeight <= 0) return;  // a band must have at least one row
  for (int64_t b = st; b < sb; b += bandHeight) {
    for (int64_t line = b; line < b + bandHeight; ++line) {
      Row(x, int64_t(y) + line - st, handle, sl, b, sr);
    }
  }
}

void oxDraw::DrawScanlines(int x, int y, int step, int handle, int sl, int st, int sr, int sb) {
  if (step > 0) {
    for (int64_t r = int64_t(st) + step; r < sb; r += step) {
      Row(x, int64_t(y) + r - st, handle, sl, r, sr);
    }
  } else if (step < 0) {
    const int64_t span = -int64_t(step);
    for (int64_t r = int64_t(st) + ox::Random() % span + 1; r < sb;
         r += ox::Random() % span + 1) {
      Row(x, int64_t(y) + r - st, handle, sl, r, sr);
    }
  }
}

void oxDraw::DrawShake(int x, int y, int amplitude, int handle, int sl, int st, int sr, int sb) {
  if (amplitude < 1) {
    oxDraw::Draw(x, y, handle, sl, st, sr, sb);
    return;
  }
  const int64_t span = 2 * int64_t(amplitude);
  for (int64_t r = st; r < sb; ++r) {
    Row(x + ox::Random() % span - amplitude, int64_t(y) + r - st, handle, sl, r, sr);
  }
}

void oxDraw::DrawRoll(int x, int y, int direction, float speed, int handle, int sl, int st, int sr,
                      int sb) {
  DistortionState& s = g_state;
  const int64_t h = int64_t(sb) - st;
  // The drum's period is h - 1 rows: a picture of one row or none cannot roll.
  if (h <= 1) return;
  const double half = double(h / 2);
  int64_t start = 0;
  for (int64_t i = 0; i < h; ++i) {
    const double angle = (double(i) + s.rollPhase) * kTwoPi / double(h - 1);
    const int64_t yi = int64_t(std::cos(angle) * half + half);
    for (int64_t row = start; row <= yi; ++row) Row(x, int64_t(y) + row, handle, sl, i, sr, true);
    start = yi;
  }
  const float step = Seconds() * speed, height = float(h);
  if (direction == 0) {
    s.rollPhase -= step;
    if (s.rollPhase < 0) s.rollPhase += height;
  } else {
    s.rollPhase += step;
    if (s.rollPhase >= height) s.rollPhase -= height;
  }
  s.rollPhase = Wrap(s.rollPhase, 0, height);
}

namespace oxd {

void ResetDistortionState() { g_state = {0, 1, 0, 0, 0, 0, 0, 0, 0}; }

}  // namespace oxd
