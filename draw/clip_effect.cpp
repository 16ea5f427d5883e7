// The clip rectangle and the clip effect that opens or closes it like a
// curtain over a number of frames.
#include <climits>
#include <cmath>
#include <cstdint>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "draw/ox_draw_status.h"

namespace {

using oxd::ClipState;
using oxd::Rect;

int Saturate(int64_t v) {
  return v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : int(v);
}

// Moves an edge by delta, saturating at the int range.
void Move(int& edge, int64_t delta) { edge = Saturate(int64_t(edge) + delta); }

// Pixels the edges move this frame: trunc(frame seconds x speed) + 1,
// bounded so that an absurd speed cannot overflow the conversion.
int64_t StepPixels(float speed) {
  double v = std::trunc(double(ox::App().frameSeconds) * double(speed));
  if (!(v == v)) v = 0;  // NaN
  if (v > 1e9) v = 1e9;
  if (v < -1e9) v = -1e9;
  return int64_t(v) + 1;
}

int CentreX(const Rect& s) { return Saturate(s.left + (int64_t(s.right) - s.left) / 2); }
int CentreY(const Rect& s) { return Saturate(s.top + (int64_t(s.bottom) - s.top) / 2); }

// The horizontal or vertical pair of edges of a rectangle.
struct Pair {
  int& low;
  int& high;
};

// Opening: both edges move out by d; when either reaches its saved value,
// both are set to their saved values. Returns true when the pair is open.
bool OpenPair(Pair p, int savedLow, int savedHigh, int64_t d) {
  if (p.low == savedLow && p.high == savedHigh) return true;
  Move(p.low, -d);
  Move(p.high, d);
  if (p.low <= savedLow || p.high >= savedHigh) {
    p.low = savedLow;
    p.high = savedHigh;
    return true;
  }
  return false;
}

void Opened(ClipState& s) {
  s.counter = 0;
  s.opened = 1;
}

void Closed(ClipState& s) {
  s.counter = -1;
  s.closed = 1;
}

void StepOpening(ClipState& s, int64_t d) {
  Rect& c = s.clip;
  const Rect& v = s.saved;
  Pair lr{c.left, c.right}, tb{c.top, c.bottom};
  switch (s.style) {
    case 1:
      Move(c.top, -d);
      if (c.top <= v.top) {
        c.top = v.top;
        Opened(s);
      }
      break;
    case 2:
      Move(c.bottom, d);
      if (c.bottom >= v.bottom) {
        c.bottom = v.bottom;
        Opened(s);
      }
      break;
    case 3:
      Move(c.left, -d);
      if (c.left <= v.left) {
        c.left = v.left;
        Opened(s);
      }
      break;
    case 4:
      Move(c.right, d);
      if (c.right >= v.right) {
        c.right = v.right;
        Opened(s);
      }
      break;
    case 5:
      if (OpenPair(tb, v.top, v.bottom, d)) Opened(s);
      break;
    case 6:
      if (OpenPair(lr, v.left, v.right, d)) Opened(s);
      break;
    case 7: {
      const bool vertical = OpenPair(tb, v.top, v.bottom, d);
      const bool horizontal = OpenPair(lr, v.left, v.right, d);
      if (vertical && horizontal) Opened(s);
      break;
    }
    case 8:
      // The band opens to full height first, then to full width.
      if (c.top != v.top || c.bottom != v.bottom) {
        OpenPair(tb, v.top, v.bottom, d);
      } else if (OpenPair(lr, v.left, v.right, d)) {
        Opened(s);
      }
      break;
    case 9:
      if (c.left != v.left || c.right != v.right) {
        OpenPair(lr, v.left, v.right, d);
      } else if (OpenPair(tb, v.top, v.bottom, d)) {
        Opened(s);
      }
      break;
    default:
      // A style outside 1..9 has no animation: it finishes at once.
      c = v;
      Opened(s);
      break;
  }
}

int BandLow(int centre, int band) { return Saturate(int64_t(centre) - band / 2); }
int BandHigh(int centre, int band) { return Saturate(int64_t(centre) + band / 2); }

bool AtBand(Pair p, int centre, int band) {
  return p.low == BandLow(centre, band) && p.high == BandHigh(centre, band);
}

// Closing a pair towards a band of width `band` around its centre; both
// edges are set exactly there when either reaches it.
void NarrowPair(Pair p, int centre, int band, int64_t d) {
  Move(p.low, d);
  Move(p.high, -d);
  if (p.low >= BandLow(centre, band) || p.high <= BandHigh(centre, band)) {
    p.low = BandLow(centre, band);
    p.high = BandHigh(centre, band);
  }
}

// Closing a pair until its edges meet; they are left where they end.
bool ShutPair(Pair p, int64_t d) {
  Move(p.low, d);
  Move(p.high, -d);
  return p.high <= p.low;
}

void StepClosing(ClipState& s, int64_t d) {
  Rect& c = s.clip;
  const Rect& v = s.saved;
  Pair lr{c.left, c.right}, tb{c.top, c.bottom};
  switch (s.style) {
    case 1:
      Move(c.top, d);
      if (c.top >= v.bottom) Closed(s);
      break;
    case 2:
      Move(c.bottom, -d);
      if (c.bottom <= v.top) Closed(s);
      break;
    case 3:
      Move(c.left, d);
      if (c.left >= v.right) Closed(s);
      break;
    case 4:
      Move(c.right, -d);
      if (c.right <= v.left) Closed(s);
      break;
    case 5:
      if (ShutPair(tb, d)) Closed(s);
      break;
    case 6:
      if (ShutPair(lr, d)) Closed(s);
      break;
    case 7:
      // A pair that crosses collapses onto the centre line.
      if (ShutPair(lr, d) && c.right < c.left) c.left = c.right = CentreX(v);
      if (ShutPair(tb, d) && c.bottom < c.top) c.top = c.bottom = CentreY(v);
      if (c.left == c.right && c.top == c.bottom) Closed(s);
      break;
    case 8:
      // The band narrows to its width first, then shuts top and bottom.
      if (!AtBand(lr, CentreX(v), s.band)) {
        NarrowPair(lr, CentreX(v), s.band, d);
      } else if (ShutPair(tb, d)) {
        Closed(s);
      }
      break;
    case 9:
      if (!AtBand(tb, CentreY(v), s.band)) {
        NarrowPair(tb, CentreY(v), s.band, d);
      } else if (ShutPair(lr, d)) {
        Closed(s);
      }
      break;
    default:
      c.right = c.left;
      c.bottom = c.top;
      Closed(s);
      break;
  }
}

}  // namespace

void oxDraw::SetClip(int left, int top, int right, int bottom) {
  oxd::Clip().clip = {left, top, right, bottom};
}

void oxDraw::CloseClip() {
  ClipState& s = oxd::Clip();
  s.saved = s.clip;
  s.clip.right = s.clip.left;
  s.clip.bottom = s.clip.top;
  s.counter = -1;
}

int oxDraw::StartClipEffect(int direction, int style, float speed, int band) {
  ClipState& s = oxd::Clip();
  if (s.counter > 0) return 0;
  if (s.counter == -1) s.clip = s.saved;
  s.saved = s.clip;
  if (style == 0) style = 1 + ox::Random() % 9;
  s.opened = 0;
  s.closed = 0;
  s.direction = direction;
  s.style = style;
  s.speed = speed;
  s.band = band;
  if (direction != 0) {
    s.counter = 2;
    return 1;
  }
  s.counter = 1;
  Rect& c = s.clip;
  const Rect v = s.saved;
  const int cx = CentreX(v), cy = CentreY(v);
  switch (style) {
    case 1: c.top = v.bottom; break;
    case 2: c.bottom = v.top; break;
    case 3: c.left = v.right; break;
    case 4: c.right = v.left; break;
    case 5: c.top = c.bottom = cy; break;
    case 6: c.left = c.right = cx; break;
    case 7:
      c.left = c.right = cx;
      c.top = c.bottom = cy;
      break;
    case 8:
      c.left = BandLow(cx, band);
      c.right = BandHigh(cx, band);
      c.top = c.bottom = cy;
      break;
    case 9:
      c.left = c.right = cx;
      c.top = BandLow(cy, band);
      c.bottom = BandHigh(cy, band);
      break;
    default: break;
  }
  return 1;
}

int oxDraw::StepClipEffect() {
  ClipState& s = oxd::Clip();
  if (s.counter <= 0) return 0;
  const int64_t d = StepPixels(s.speed);
  if (s.counter == 1) {
    StepOpening(s, d);
  } else {
    StepClosing(s, d);
  }
  return 1;
}

namespace oxd {

void RestoreClipAtSceneChange() {
  ClipState& s = Clip();
  if (s.counter > 0) {
    s.clip = s.saved;
    s.counter = 0;
  }
}

}  // namespace oxd
