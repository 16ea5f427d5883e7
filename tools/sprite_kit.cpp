#include "tools/sprite_kit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/bmp_out.h"

namespace assets::kit {

namespace {
double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
}  // namespace

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Shade(Rgb c, double k) { return {Clamp01(c.r * k), Clamp01(c.g * k), Clamp01(c.b * k)}; }

Rgb Tint(Rgb c, double t) { return Mix(c, {1, 1, 1}, t); }

uint32_t Prng::Next() {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return uint32_t((state_ * 0x2545F4914F6CDD1Dull) >> 32);
}

double Prng::Unit() { return double(Next()) / 4294967296.0; }

double Prng::Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }

Canvas::Canvas(int width, int height) : CanvasBase(width, height) {
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
}

bool Canvas::Save(const char* dir, const char* name, int alphaCut) const {
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
    fprintf(stderr, "assetgen: drawing %s failed: %s\n", name,
            cairo_status_to_string(cairo_status(cr_)));
    return false;
  }
  return WriteBmp(surface_, dir, name, alphaCut);
}

CellScope::CellScope(cairo_t* cr, int x, int y, int width, int height) : cr_(cr) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, width, height);
  cairo_clip(cr);
  cairo_translate(cr, x, y);
  cairo_new_path(cr);
}

CellScope::~CellScope() { cairo_restore(cr_); }

void SetColor(cairo_t* cr, Rgb c, double alpha) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void AddStop(cairo_pattern_t* p, double offset, Rgb c, double alpha) {
  cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, alpha);
}

void PolyPath(cairo_t* cr, const Pt* pts, int n, double dx, double dy, double sx) {
  cairo_new_sub_path(cr);
  for (int i = 0; i < n; ++i) cairo_line_to(cr, dx + pts[i].x * sx, dy + pts[i].y);
  cairo_close_path(cr);
}

void MirrorPath(cairo_t* cr, double cx, const Pt* half, int n) {
  cairo_new_sub_path(cr);
  for (int i = 0; i < n; ++i) cairo_line_to(cr, cx + half[i].x, half[i].y);
  for (int i = n - 1; i >= 0; --i) {
    if (half[i].x == 0 && (i == 0 || i == n - 1)) continue;
    cairo_line_to(cr, cx - half[i].x, half[i].y);
  }
  cairo_close_path(cr);
}

void SmoothPath(cairo_t* cr, const Pt* pts, int n, double dx, double dy, double sx) {
  if (n < 3) return PolyPath(cr, pts, n, dx, dy, sx);
  auto at = [&](int i) {
    const Pt& p = pts[(i % n + n) % n];
    return Pt{dx + p.x * sx, dy + p.y};
  };
  // Quadratic curves between the midpoints of the edges, each controlled
  // by the vertex between them.
  Pt a = at(n - 1), b = at(0);
  Pt m{(a.x + b.x) / 2, (a.y + b.y) / 2};
  cairo_new_sub_path(cr);
  cairo_move_to(cr, m.x, m.y);
  for (int i = 0; i < n; ++i) {
    Pt c = at(i), d = at(i + 1);
    Pt m2{(c.x + d.x) / 2, (c.y + d.y) / 2};
    double x0, y0;
    cairo_get_current_point(cr, &x0, &y0);
    cairo_curve_to(cr, x0 + 2.0 / 3.0 * (c.x - x0), y0 + 2.0 / 3.0 * (c.y - y0),
                   m2.x + 2.0 / 3.0 * (c.x - m2.x), m2.y + 2.0 / 3.0 * (c.y - m2.y), m2.x, m2.y);
  }
  cairo_close_path(cr);
}

void SmoothMirrorPath(cairo_t* cr, double cx, const Pt* half, int n) {
  Pt pts[128];
  int count = 0;
  for (int i = 0; i < n && count < 128; ++i) pts[count++] = {cx + half[i].x, half[i].y};
  for (int i = n - 1; i >= 0 && count < 128; --i) {
    if (half[i].x == 0 && (i == 0 || i == n - 1)) continue;
    pts[count++] = {cx - half[i].x, half[i].y};
  }
  SmoothPath(cr, pts, count);
}

cairo_pattern_t* MetalAcross(double x0, double x1, Rgb base, double peak, double shine) {
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
  AddStop(p, 0.0, Shade(base, 0.42));
  AddStop(p, std::max(0.0, peak - 0.22), Shade(base, 0.85));
  AddStop(p, peak, Tint(base, shine));
  AddStop(p, std::min(1.0, peak + 0.16), base);
  AddStop(p, 0.82, Shade(base, 0.7));
  AddStop(p, 1.0, Shade(base, 0.38));
  return p;
}

cairo_pattern_t* MetalDown(double y0, double y1, Rgb base, double shine) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  AddStop(p, 0.0, Tint(base, shine));
  AddStop(p, 0.3, base);
  AddStop(p, 0.75, Shade(base, 0.75));
  AddStop(p, 1.0, Shade(base, 0.45));
  return p;
}

void FillMetal(cairo_t* cr, double x0, double x1, Rgb base, double outline, double peak) {
  cairo_pattern_t* p = MetalAcross(x0, x1, base, peak);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  if (outline > 0) {
    Stroke(cr, Shade(base, 0.3), outline);
  } else {
    cairo_new_path(cr);
  }
}

void FillAuto(cairo_t* cr, Rgb base, double outline, double peak) {
  double x1, y1, x2, y2;
  cairo_path_extents(cr, &x1, &y1, &x2, &y2);
  FillMetal(cr, x1, x2, base, outline, peak);
}

void FillDome(cairo_t* cr, double cx, double cy, double r, Rgb base, double outline) {
  cairo_pattern_t* p =
      cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.05, cx, cy, r * 1.05);
  AddStop(p, 0.0, Tint(base, 0.75));
  AddStop(p, 0.35, base);
  AddStop(p, 1.0, Shade(base, 0.4));
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  if (outline > 0) {
    Stroke(cr, Shade(base, 0.3), outline);
  } else {
    cairo_new_path(cr);
  }
}

void Stroke(cairo_t* cr, Rgb c, double width, double alpha, bool keep) {
  SetColor(cr, c, alpha);
  cairo_set_line_width(cr, width);
  if (keep) {
    cairo_stroke_preserve(cr);
  } else {
    cairo_stroke(cr);
  }
}

void Glow(cairo_t* cr, double x, double y, double r, Rgb c, double strength) {
  if (r <= 0) return;
  cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
  double s = Clamp01(strength);
  AddStop(p, 0.0, {1, 1, 1}, s);
  AddStop(p, 0.25, Tint(c, 0.55), s);
  AddStop(p, 0.55, c, 0.85 * s);
  AddStop(p, 0.8, Shade(c, 0.8), 0.4 * s);
  AddStop(p, 1.0, c, 0.0);
  cairo_set_source(cr, p);
  cairo_arc(cr, x, y, r, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void GlowEllipse(cairo_t* cr, double x, double y, double rx, double ry, Rgb c,
                 double strength) {
  if (rx <= 0 || ry <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, rx, ry);
  Glow(cr, 0, 0, 1, c, strength);
  cairo_restore(cr);
}

void Canopy(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb tint) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_pattern_t* p = cairo_pattern_create_radial(cx - rx * 0.3, cy - ry * 0.45, 0, cx, cy,
                                                   std::max(rx, ry) * 1.1);
  AddStop(p, 0.0, Tint(tint, 0.85));
  AddStop(p, 0.3, Tint(tint, 0.25));
  AddStop(p, 0.75, tint);
  AddStop(p, 1.0, Shade(tint, 0.35));
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  Stroke(cr, Shade(tint, 0.25), std::max(0.8, std::min(rx, ry) * 0.22));
  // Highlight streak.
  cairo_save(cr);
  cairo_translate(cr, cx - rx * 0.3, cy - ry * 0.35);
  cairo_scale(cr, rx * 0.28, ry * 0.35);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  SetColor(cr, {1, 1, 1}, 0.85);
  cairo_fill(cr);
}

void Nozzle(cairo_t* cr, double cx, double cy, double w, double h, Rgb glow) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, w / 2, h / 2);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_pattern_t* p = cairo_pattern_create_linear(cx - w / 2, 0, cx + w / 2, 0);
  AddStop(p, 0.0, Hex(0x2a2f3a));
  AddStop(p, 0.4, Hex(0x8a94a6));
  AddStop(p, 1.0, Hex(0x222630));
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  GlowEllipse(cr, cx, cy, w * 0.36, h * 0.36, glow, 1.0);
}

void Flame(cairo_t* cr, double cx, double y0, double w, double len, int dir, Rgb hot, Rgb edge,
           double alpha) {
  if (len <= 0 || w <= 0) return;
  const double d = dir >= 0 ? 1 : -1;
  auto shape = [&](double ww, double ll) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx - ww / 2, y0);
    cairo_curve_to(cr, cx - ww / 2, y0 + d * ll * 0.45, cx - ww * 0.18, y0 + d * ll * 0.8, cx,
                   y0 + d * ll);
    cairo_curve_to(cr, cx + ww * 0.18, y0 + d * ll * 0.8, cx + ww / 2, y0 + d * ll * 0.45,
                   cx + ww / 2, y0);
    cairo_close_path(cr);
  };
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y0 + d * len);
  AddStop(p, 0.0, Tint(edge, 0.3), alpha);
  AddStop(p, 0.6, edge, alpha * 0.95);
  AddStop(p, 1.0, Shade(edge, 0.6), alpha * 0.5);
  shape(w, len);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);

  p = cairo_pattern_create_linear(0, y0, 0, y0 + d * len * 0.75);
  AddStop(p, 0.0, Tint(hot, 0.4), alpha);
  AddStop(p, 0.7, hot, alpha);
  AddStop(p, 1.0, hot, alpha * 0.6);
  shape(w * 0.62, len * 0.75);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);

  p = cairo_pattern_create_linear(0, y0, 0, y0 + d * len * 0.45);
  AddStop(p, 0.0, {1, 1, 1}, alpha);
  AddStop(p, 1.0, Tint(hot, 0.6), alpha * 0.8);
  shape(w * 0.3, len * 0.45);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void Lamp(cairo_t* cr, double x, double y, double r, Rgb c) {
  Glow(cr, x, y, r * 2.2, c, 0.9);
  cairo_arc(cr, x, y, r * 0.55, 0, 2 * kPi);
  SetColor(cr, Tint(c, 0.8));
  cairo_fill(cr);
}

void Seam(cairo_t* cr, Pt a, Pt b, Rgb base, double alpha) {
  cairo_set_line_width(cr, 0.9);
  SetColor(cr, Shade(base, 0.35), alpha);
  cairo_move_to(cr, a.x, a.y);
  cairo_line_to(cr, b.x, b.y);
  cairo_stroke(cr);
  SetColor(cr, Tint(base, 0.45), alpha * 0.6);
  cairo_set_line_width(cr, 0.6);
  cairo_move_to(cr, a.x + 0.8, a.y + 0.8);
  cairo_line_to(cr, b.x + 0.8, b.y + 0.8);
  cairo_stroke(cr);
}

void FitText(cairo_t* cr, const char* family, bool bold, const char* text, double x, double y,
             double w, double h, cairo_pattern_t* fill, const char* reference) {
  cairo_save(cr);
  cairo_select_font_face(cr, family, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 100);
  auto extents = [&](const char* t, double* x1, double* y1, double* x2, double* y2) {
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 0);
    cairo_text_path(cr, t);
    cairo_path_extents(cr, x1, y1, x2, y2);
    cairo_new_path(cr);
  };
  double x1, y1, x2, y2;
  extents(reference ? reference : text, &x1, &y1, &x2, &y2);
  if (x2 > x1 && y2 > y1) {
    const double sx = w / (x2 - x1), sy = h / (y2 - y1);
    double ox = x - x1 * sx, oy = y - y1 * sy;
    if (reference) {
      double tx1, ty1, tx2, ty2;
      extents(text, &tx1, &ty1, &tx2, &ty2);
      ox = x + (w - (tx2 - tx1) * sx) / 2 - tx1 * sx;
    }
    cairo_translate(cr, ox, oy);
    cairo_scale(cr, sx, sy);
    cairo_move_to(cr, 0, 0);
    cairo_text_path(cr, text);
    cairo_restore(cr);
    cairo_save(cr);
    if (fill) cairo_set_source(cr, fill);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

}  // namespace assets::kit
