#include "tools/picture_common.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace assets::pic {

// ------------------------------------------------------------------ random

uint32_t Rng::Next() {
  state_ += 0x9E3779B97F4A7C15ull;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return uint32_t((z ^ (z >> 31)) >> 32);
}

double Rng::Uniform() { return Next() / 4294967296.0; }
double Rng::Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
int Rng::Int(int n) { return n <= 0 ? 0 : int(Next() % uint32_t(n)); }

// ------------------------------------------------------------------ noise

namespace {

uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = seed * 0x27D4EB2Du ^ uint32_t(x) * 0x85EBCA6Bu ^ uint32_t(y) * 0xC2B2AE35u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

// Dot product of the lattice point's gradient with the offset to it. Twelve
// evenly spread directions keep the noise free of axis bias.
double Grad(int32_t ix, int32_t iy, uint32_t seed, double dx, double dy) {
  static constexpr double kDirs[12][2] = {
      {1.0, 0.0},  {0.866, 0.5},   {0.5, 0.866},   {0.0, 1.0},  {-0.5, 0.866}, {-0.866, 0.5},
      {-1.0, 0.0}, {-0.866, -0.5}, {-0.5, -0.866}, {0.0, -1.0}, {0.5, -0.866}, {0.866, -0.5}};
  const double* g = kDirs[Hash(ix, iy, seed) % 12];
  return g[0] * dx + g[1] * dy;
}

double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

int32_t Wrap(int32_t i, int32_t n) {
  i %= n;
  return i < 0 ? i + n : i;
}

}  // namespace

double Noise(double x, double y, int cells, int period, uint32_t seed) {
  const double cell = double(period) / cells;
  const double fx = x / cell, fy = y / cell;
  const double x0f = std::floor(fx), y0f = std::floor(fy);
  const int32_t x0 = int32_t(x0f), y0 = int32_t(y0f);
  const double dx = fx - x0f, dy = fy - y0f;
  const int32_t ya = Wrap(y0, cells), yb = Wrap(y0 + 1, cells);
  const double n00 = Grad(x0, ya, seed, dx, dy);
  const double n10 = Grad(x0 + 1, ya, seed, dx - 1, dy);
  const double n01 = Grad(x0, yb, seed, dx, dy - 1);
  const double n11 = Grad(x0 + 1, yb, seed, dx - 1, dy - 1);
  const double u = Fade(dx), v = Fade(dy);
  const double a = n00 + (n10 - n00) * u;
  const double b = n01 + (n11 - n01) * u;
  return std::fmax(-1.0, std::fmin(1.0, (a + (b - a) * v) * 1.4142));
}

double Fbm(double x, double y, int cells, int octaves, int period, uint32_t seed, double gain) {
  double sum = 0, amp = 1, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * Noise(x, y, cells << o, period, seed + 977u * uint32_t(o));
    norm += amp;
    amp *= gain;
  }
  return sum / norm;
}

double Ridged(double x, double y, int cells, int octaves, int period, uint32_t seed) {
  double sum = 0, amp = 1, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    const double n = 1.0 - std::fabs(Noise(x, y, cells << o, period, seed + 1553u * uint32_t(o)));
    sum += amp * n * n;
    norm += amp;
    amp *= 0.5;
  }
  return sum / norm;
}

// ------------------------------------------------------------------ colour

Rgb Hex(uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}
Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(Rgb c, double k) { return {c.r * k, c.g * k, c.b * k}; }
double Clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
double Smooth(double edge0, double edge1, double v) {
  const double t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}
void SetRgb(cairo_t* cr, Rgb c, double alpha) {
  cairo_set_source_rgba(cr, Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), alpha);
}
void AddStop(cairo_pattern_t* p, double offset, Rgb c, double alpha) {
  cairo_pattern_add_color_stop_rgba(p, offset, Clamp01(c.r), Clamp01(c.g), Clamp01(c.b), alpha);
}

// ------------------------------------------------------------------ field

double Field::At(int x, int y) const {
  x = x < 0 ? 0 : x >= w_ ? w_ - 1 : x;
  if (wrap_)
    y = ((y % h_) + h_) % h_;
  else
    y = y < 0 ? 0 : y >= h_ ? h_ - 1 : y;
  return v_[size_t(y) * w_ + x];
}

double Field::Light(int x, int y, double relief) const {
  const double dx = (At(x + 1, y) - At(x - 1, y)) * 0.5 * relief;
  const double dy = (At(x, y + 1) - At(x, y - 1)) * 0.5 * relief;
  const double inv = 1.0 / std::sqrt(dx * dx + dy * dy + 1.0);
  constexpr double lx = -0.55, ly = -0.55, lz = 0.63;
  return (-dx * lx - dy * ly + lz) * inv;
}

// ------------------------------------------------------------------ canvas

Canvas::Canvas(int width, int height) : CanvasBase(width, height) {
  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr_, fo);
  cairo_font_options_destroy(fo);
}

void Canvas::Store(int x, int y, Rgb c, double alpha) {
  unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  uint32_t* px = reinterpret_cast<uint32_t*>(data + size_t(y) * stride) + x;
  const double a = Clamp01(alpha);
  auto ch = [a](double v) { return uint32_t(std::lround(Clamp01(v) * a * 255.0)); };
  *px = uint32_t(std::lround(a * 255.0)) << 24 | ch(c.r) << 16 | ch(c.g) << 8 | ch(c.b);
}

void Canvas::Preview(const char* name, bool rolled) const {
  const char* dir = std::getenv("ASSETGEN_PREVIEW");
  if (!dir || !*dir) return;
  cairo_surface_flush(surface_);
  cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_);
  cairo_t* cr = cairo_create(out);
  const double shift = rolled ? height_ / 2 : 0;
  cairo_set_source_surface(cr, surface_, 0, shift);
  cairo_paint(cr);
  cairo_set_source_surface(cr, surface_, 0, shift - height_);
  cairo_paint(cr);
  cairo_destroy(cr);
  std::string path = std::string(dir) + "/" + name + ".png";
  if (cairo_surface_write_to_png(out, path.c_str()) != CAIRO_STATUS_SUCCESS)
    fprintf(stderr, "assetgen: cannot write preview %s\n", path.c_str());
  cairo_surface_destroy(out);
}

// ------------------------------------------------------------------ text

void SetFont(cairo_t* cr, Face face, double size, bool italic) {
  const char* family = "DejaVu Sans";
  cairo_font_weight_t weight = CAIRO_FONT_WEIGHT_NORMAL;
  switch (face) {
    case Face::kSans:
      break;
    case Face::kSansBold:
      weight = CAIRO_FONT_WEIGHT_BOLD;
      break;
    case Face::kGothic:
      family = "IPAPGothic";
      break;
    case Face::kMono:
      family = "DejaVu Sans Mono";
      weight = CAIRO_FONT_WEIGHT_BOLD;
      break;
  }
  cairo_select_font_face(cr, family, italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         weight);
  cairo_set_font_size(cr, size);
}

double TextWidth(cairo_t* cr, const char* text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text, &e);
  return e.x_advance;
}

void Text(cairo_t* cr, const char* text, double x, double y, Rgb colour, double align,
          double alpha) {
  cairo_move_to(cr, x - TextWidth(cr, text) * align, y);
  SetRgb(cr, colour, alpha);
  cairo_show_text(cr, text);
  cairo_new_path(cr);
}

void DisplayText(cairo_t* cr, const char* text, double x, double y, double align,
                 const Lettering& s) {
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_save(cr);
  cairo_new_path(cr);
  cairo_move_to(cr, x - TextWidth(cr, text) * align, y);
  cairo_text_path(cr, text);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  // Glow: wide, faint strokes narrowing towards the letters.
  for (int i = 6; i >= 1; --i) {
    cairo_set_line_width(cr, s.outlineWidth + s.glowWidth * i / 6.0);
    SetRgb(cr, s.glow, 0.10);
    cairo_stroke_preserve(cr);
  }
  cairo_set_line_width(cr, s.outlineWidth);
  SetRgb(cr, s.outline);
  cairo_stroke_preserve(cr);
  const double top = y - fe.ascent * 0.78, bottom = y + fe.descent * 0.15;
  cairo_pattern_t* g = cairo_pattern_create_linear(0, top, 0, bottom);
  AddStop(g, 0.0, s.top);
  AddStop(g, 0.52, s.middle);
  AddStop(g, 0.56, Scale(s.bottom, 0.75));
  AddStop(g, 1.0, s.bottom);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_stroke(cr);
  cairo_restore(cr);
}

// ------------------------------------------------------------------ pieces

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void Panel(cairo_t* cr, double x, double y, double w, double h, Rgb rim, double fillAlpha) {
  RoundRect(cr, x, y, w, h, 8);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
  AddStop(g, 0, Hex(0x16243C), fillAlpha);
  AddStop(g, 1, Hex(0x0A1020), fillAlpha);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_line_width(cr, 1.5);
  SetRgb(cr, rim, 0.85);
  cairo_stroke(cr);
}

void Keycap(cairo_t* cr, double x, double y, double w, double h, const char* legend,
            double fontSize) {
  // Shadow, body with a bevel, then the face and its legend.
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  RoundRect(cr, x + 1.5, y + 2.5, w, h, 5);
  cairo_fill(cr);
  RoundRect(cr, x, y, w, h, 5);
  cairo_pattern_t* body = cairo_pattern_create_linear(0, y, 0, y + h);
  AddStop(body, 0, Hex(0xC8D0DC));
  AddStop(body, 1, Hex(0x6A7486));
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);
  RoundRect(cr, x + 3, y + 2, w - 6, h - 6, 4);
  cairo_pattern_t* face = cairo_pattern_create_linear(0, y, 0, y + h);
  AddStop(face, 0, Hex(0xF2F5FA));
  AddStop(face, 1, Hex(0xB4BECC));
  cairo_set_source(cr, face);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  SetFont(cr, Face::kSansBold, fontSize);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  Text(cr, legend, x + w / 2, y + (h - 4) / 2 + fe.ascent * 0.36, Hex(0x1A2234), 0.5);
}

void SpacedText(cairo_t* cr, const char* text, double x, double y, double tracking, Rgb colour,
                double align, double alpha) {
  // Width first: the advance of every UTF-8 character plus the tracking.
  auto forEach = [&](auto&& visit) {
    const char* p = text;
    while (*p) {
      int len = 1;
      const unsigned char c = static_cast<unsigned char>(*p);
      if (c >= 0xF0)
        len = 4;
      else if (c >= 0xE0)
        len = 3;
      else if (c >= 0xC0)
        len = 2;
      char ch[5] = {0, 0, 0, 0, 0};
      int i = 0;
      for (; i < len && p[i]; ++i) ch[i] = p[i];  // a cut-off sequence stops at the NUL
      visit(ch);
      p += i;
    }
  };
  double width = 0;
  int count = 0;
  forEach([&](const char* ch) {
    width += TextWidth(cr, ch);
    ++count;
  });
  if (count > 1) width += tracking * (count - 1);
  double pen = x - width * align;
  SetRgb(cr, colour, alpha);
  forEach([&](const char* ch) {
    cairo_move_to(cr, pen, y);
    cairo_show_text(cr, ch);
    pen += TextWidth(cr, ch) + tracking;
  });
  cairo_new_path(cr);
}

void Starfield(cairo_t* cr, int width, int height, int count, uint64_t seed) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    const double x = rng.Range(0, width), y = rng.Range(0, height);
    const double b = 0.35 + 0.65 * rng.Uniform() * rng.Uniform();
    const double r = 0.45 + 0.9 * rng.Uniform() * rng.Uniform();
    const int tint = rng.Int(6);
    Rgb c = tint == 0 ? Hex(0xFFD8A8) : tint == 1 ? Hex(0xA8C8FF) : Hex(0xF0F4FF);
    SetRgb(cr, c, b);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    cairo_fill(cr);
    if (rng.Int(40) == 0) {
      // Sparkle: a soft halo and a thin cross.
      const double len = rng.Range(4, 9);
      cairo_pattern_t* halo = cairo_pattern_create_radial(x, y, 0, x, y, len * 0.8);
      AddStop(halo, 0, c, 0.5);
      AddStop(halo, 1, c, 0);
      cairo_set_source(cr, halo);
      cairo_arc(cr, x, y, len * 0.8, 0, 2 * kPi);
      cairo_fill(cr);
      cairo_pattern_destroy(halo);
      SetRgb(cr, c, 0.8);
      cairo_set_line_width(cr, 0.8);
      cairo_move_to(cr, x - len, y);
      cairo_line_to(cr, x + len, y);
      cairo_move_to(cr, x, y - len);
      cairo_line_to(cr, x, y + len);
      cairo_stroke(cr);
    }
  }
}

namespace {

// Mirrored polygon: points (x, y) in units of the craft's length, x >= 0 on
// the right half; the left half is drawn in reverse order.
void MirroredPath(cairo_t* cr, const double (*pts)[2], int n, double cx, double cy, double s) {
  cairo_move_to(cr, cx + pts[0][0] * s, cy + pts[0][1] * s);
  for (int i = 1; i < n; ++i) cairo_line_to(cr, cx + pts[i][0] * s, cy + pts[i][1] * s);
  for (int i = n - 1; i >= 0; --i) cairo_line_to(cr, cx - pts[i][0] * s, cy + pts[i][1] * s);
  cairo_close_path(cr);
}

// Metal lit from the upper left: dark rim, bright ridge left of centre.
cairo_pattern_t* MetalAcross(double cx, double half, Rgb base) {
  cairo_pattern_t* g = cairo_pattern_create_linear(cx - half, 0, cx + half, 0);
  AddStop(g, 0.0, Scale(base, 0.45));
  AddStop(g, 0.30, Mix(base, Hex(0xFFFFFF), 0.55));
  AddStop(g, 0.46, Mix(base, Hex(0xFFFFFF), 0.25));
  AddStop(g, 0.62, base);
  AddStop(g, 1.0, Scale(base, 0.35));
  return g;
}

void Glow(cairo_t* cr, double x, double y, double r, Rgb core, Rgb edge, double alpha = 1.0) {
  cairo_pattern_t* g = cairo_pattern_create_radial(x, y, 0, x, y, r);
  AddStop(g, 0, Hex(0xFFFFFF), alpha);
  AddStop(g, 0.25, core, alpha);
  AddStop(g, 1, edge, 0);
  cairo_set_source(cr, g);
  cairo_arc(cr, x, y, r, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

// A flame pointing down from (x, y): an elongated radial glow.
void Flame(cairo_t* cr, double x, double y, double width, double length, Rgb core, Rgb outer) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, width, length);
  cairo_pattern_t* g = cairo_pattern_create_radial(0, 0.1, 0, 0, 0.1, 1.0);
  AddStop(g, 0, Hex(0xFFFFFF), 1);
  AddStop(g, 0.2, core, 0.95);
  AddStop(g, 0.6, outer, 0.55);
  AddStop(g, 1, outer, 0);
  cairo_set_source(cr, g);
  cairo_move_to(cr, -0.5, 0);
  cairo_curve_to(cr, -0.5, 0.5, -0.12, 0.9, 0, 1.0);
  cairo_curve_to(cr, 0.12, 0.9, 0.5, 0.5, 0.5, 0);
  cairo_close_path(cr);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_restore(cr);
}

}  // namespace

void Fighter(cairo_t* cr, double cx, double cy, double size, double thrust) {
  const double s = size;
  const Rgb steel = Hex(0x9AA8BC), navy = Hex(0x0C1424);
  const Rgb accent = Hex(0x2FA8FF), stripe = Hex(0xFF5A3C);
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  // Engine flames below the tail.
  if (thrust > 0) {
    for (int side = -1; side <= 1; side += 2) {
      Flame(cr, cx + side * 0.12 * s, cy + 0.46 * s, 0.11 * s, 0.42 * s * thrust, Hex(0x9FE8FF),
            Hex(0x2F6BFF));
    }
  }
  // Swept wings.
  static constexpr double kWing[][2] = {{0.07, -0.10}, {0.30, 0.12}, {0.46, 0.24},
                                        {0.47, 0.33},  {0.30, 0.31}, {0.09, 0.30}};
  MirroredPath(cr, kWing, 6, cx, cy, s);
  cairo_pattern_t* wing = MetalAcross(cx, 0.47 * s, Hex(0x7F8DA3));
  cairo_set_source(cr, wing);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(wing);
  cairo_set_line_width(cr, std::fmax(1.0, s * 0.012));
  SetRgb(cr, navy);
  cairo_stroke(cr);
  // Wing stripes and tip lights.
  for (int side = -1; side <= 1; side += 2) {
    cairo_move_to(cr, cx + side * 0.20 * s, cy + 0.10 * s);
    cairo_line_to(cr, cx + side * 0.42 * s, cy + 0.245 * s);
    cairo_line_to(cr, cx + side * 0.43 * s, cy + 0.28 * s);
    cairo_line_to(cr, cx + side * 0.20 * s, cy + 0.15 * s);
    cairo_close_path(cr);
    SetRgb(cr, side < 0 ? stripe : accent);
    cairo_fill(cr);
    Glow(cr, cx + side * 0.455 * s, cy + 0.30 * s, 0.035 * s,
         side < 0 ? Hex(0xFF6040) : Hex(0x50FF90), side < 0 ? Hex(0xFF2000) : Hex(0x00FF60));
  }
  // Tail fins.
  static constexpr double kFin[][2] = {{0.09, 0.22}, {0.20, 0.42}, {0.20, 0.48}, {0.08, 0.44}};
  MirroredPath(cr, kFin, 4, cx, cy, s);
  SetRgb(cr, Hex(0x4A566C));
  cairo_fill_preserve(cr);
  SetRgb(cr, navy);
  cairo_stroke(cr);
  // Engine nacelles.
  for (int side = -1; side <= 1; side += 2) {
    const double nx = cx + side * 0.12 * s;
    RoundRect(cr, nx - 0.045 * s, cy + 0.05 * s, 0.09 * s, 0.42 * s, 0.03 * s);
    cairo_pattern_t* m = MetalAcross(nx, 0.05 * s, Hex(0x6C7A90));
    cairo_set_source(cr, m);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(m);
    SetRgb(cr, navy);
    cairo_stroke(cr);
    Glow(cr, nx, cy + 0.47 * s, 0.06 * s, Hex(0xA0F0FF), Hex(0x3080FF));
  }
  // Fuselage.
  static constexpr double kBody[][2] = {{0.0, -0.52}, {0.035, -0.42}, {0.07, -0.22},
                                        {0.09, 0.02}, {0.095, 0.34},  {0.06, 0.46}};
  MirroredPath(cr, kBody, 6, cx, cy, s);
  cairo_pattern_t* body = MetalAcross(cx, 0.1 * s, steel);
  cairo_set_source(cr, body);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(body);
  SetRgb(cr, navy);
  cairo_stroke(cr);
  // Panel lines.
  cairo_set_line_width(cr, std::fmax(0.6, s * 0.005));
  SetRgb(cr, Hex(0x2A3448), 0.8);
  cairo_move_to(cr, cx - 0.07 * s, cy + 0.08 * s);
  cairo_line_to(cr, cx + 0.07 * s, cy + 0.08 * s);
  cairo_move_to(cr, cx - 0.08 * s, cy + 0.22 * s);
  cairo_line_to(cr, cx + 0.08 * s, cy + 0.22 * s);
  cairo_move_to(cr, cx, cy + 0.08 * s);
  cairo_line_to(cr, cx, cy + 0.42 * s);
  cairo_stroke(cr);
  // Nose stripe.
  cairo_move_to(cr, cx - 0.045 * s, cy - 0.36 * s);
  cairo_line_to(cr, cx + 0.045 * s, cy - 0.36 * s);
  cairo_line_to(cr, cx + 0.05 * s, cy - 0.33 * s);
  cairo_line_to(cr, cx - 0.05 * s, cy - 0.33 * s);
  cairo_close_path(cr);
  SetRgb(cr, accent);
  cairo_fill(cr);
  // Cockpit canopy: glowing glass with a highlight.
  cairo_save(cr);
  cairo_translate(cr, cx, cy - 0.17 * s);
  cairo_scale(cr, 0.042 * s, 0.12 * s);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_pattern_t* glass =
      cairo_pattern_create_radial(cx - 0.012 * s, cy - 0.22 * s, 0, cx, cy - 0.17 * s, 0.12 * s);
  AddStop(glass, 0, Hex(0xE8FFFF));
  AddStop(glass, 0.3, Hex(0x5FE0FF));
  AddStop(glass, 1, Hex(0x0A4A8A));
  cairo_set_source(cr, glass);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(glass);
  SetRgb(cr, navy);
  cairo_set_line_width(cr, std::fmax(0.8, s * 0.008));
  cairo_stroke(cr);
  cairo_restore(cr);
}

void EnemyCraft(cairo_t* cr, Raider kind, double cx, double cy, double s, Rgb accent) {
  const Rgb navy = Hex(0x140C18);
  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, std::fmax(1.0, s * 0.02));
  switch (kind) {
    case Raider::kDart: {
      // Arrowhead diving down with forward-swept blades.
      Flame(cr, cx, cy - 0.42 * s, 0.16 * s, -0.30 * s, Hex(0xFFC070), Hex(0xFF5020));
      static constexpr double kBlade[][2] = {{0.0, 0.5},    {0.12, 0.20},  {0.48, 0.05},
                                             {0.42, -0.12}, {0.14, -0.22}, {0.08, -0.42}};
      MirroredPath(cr, kBlade, 6, cx, cy, s);
      cairo_pattern_t* m = MetalAcross(cx, 0.48 * s, Mix(accent, Hex(0x707888), 0.45));
      cairo_set_source(cr, m);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(m);
      SetRgb(cr, navy);
      cairo_stroke(cr);
      for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, cx + side * 0.14 * s, cy + 0.12 * s);
        cairo_line_to(cr, cx + side * 0.44 * s, cy + 0.02 * s);
        cairo_line_to(cr, cx + side * 0.40 * s, cy - 0.06 * s);
        cairo_line_to(cr, cx + side * 0.14 * s, cy + 0.02 * s);
        cairo_close_path(cr);
        SetRgb(cr, accent);
        cairo_fill(cr);
      }
      Glow(cr, cx, cy + 0.08 * s, 0.10 * s, Hex(0xFF6060), Hex(0xFF0020));
      break;
    }
    case Raider::kSaucer: {
      // Disc with a domed core and a ring of lights.
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_scale(cr, 0.5 * s, 0.36 * s);
      cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
      cairo_restore(cr);
      cairo_pattern_t* m =
          cairo_pattern_create_radial(cx - 0.15 * s, cy - 0.1 * s, 0, cx, cy, 0.5 * s);
      AddStop(m, 0, Hex(0xE0E6F0));
      AddStop(m, 0.6, Mix(accent, Hex(0x606878), 0.5));
      AddStop(m, 1, Scale(accent, 0.35));
      cairo_set_source(cr, m);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(m);
      SetRgb(cr, navy);
      cairo_stroke(cr);
      for (int i = 0; i < 10; ++i) {
        const double a = i * 2 * kPi / 10;
        Glow(cr, cx + std::cos(a) * 0.38 * s, cy + std::sin(a) * 0.26 * s, 0.05 * s, accent,
             accent);
      }
      Glow(cr, cx, cy, 0.18 * s, Hex(0xFFE070), Hex(0xFF8000));
      break;
    }
    case Raider::kHeavy: {
      // Twin-hulled gunship with a central bridge.
      for (int side = -1; side <= 1; side += 2) {
        const double hx = cx + side * 0.26 * s;
        Flame(cr, hx, cy - 0.45 * s, 0.12 * s, -0.25 * s, Hex(0xFFC070), Hex(0xFF5020));
        RoundRect(cr, hx - 0.11 * s, cy - 0.46 * s, 0.22 * s, 0.92 * s, 0.08 * s);
        cairo_pattern_t* m = MetalAcross(hx, 0.11 * s, Mix(accent, Hex(0x808898), 0.55));
        cairo_set_source(cr, m);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(m);
        SetRgb(cr, navy);
        cairo_stroke(cr);
        SetRgb(cr, accent);
        cairo_rectangle(cr, hx - 0.07 * s, cy + 0.18 * s, 0.14 * s, 0.05 * s);
        cairo_fill(cr);
      }
      static constexpr double kBridge[][2] = {
          {0.0, 0.36}, {0.16, 0.18}, {0.17, -0.30}, {0.08, -0.38}};
      MirroredPath(cr, kBridge, 4, cx, cy, s);
      cairo_pattern_t* m = MetalAcross(cx, 0.17 * s, Hex(0x8A94A6));
      cairo_set_source(cr, m);
      cairo_fill_preserve(cr);
      cairo_pattern_destroy(m);
      SetRgb(cr, navy);
      cairo_stroke(cr);
      Glow(cr, cx, cy + 0.12 * s, 0.09 * s, Hex(0xFF7070), Hex(0xFF1030));
      break;
    }
  }
  cairo_restore(cr);
}

void Planet(cairo_t* cr, double cx, double cy, double radius, Rgb land, Rgb sea, Rgb air,
            uint32_t seed, double lightX, double lightY) {
  cairo_save(cr);
  // Atmosphere halo.
  cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, radius * 0.95, cx, cy, radius * 1.18);
  AddStop(halo, 0, air, 0.55);
  AddStop(halo, 1, air, 0);
  cairo_set_source(cr, halo);
  cairo_arc(cr, cx, cy, radius * 1.18, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(halo);
  // Ocean, continents and cloud bands inside the disc.
  cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
  cairo_clip(cr);
  SetRgb(cr, sea);
  cairo_paint(cr);
  Rng rng(seed);
  for (int c = 0; c < 7; ++c) {
    const double px = cx + rng.Range(-1, 1) * radius, py = cy + rng.Range(-1, 1) * radius;
    const double spread = radius * rng.Range(0.15, 0.35);
    SetRgb(cr, Mix(land, Hex(0xC8B078), rng.Range(0, 0.3)), 0.9);
    for (int i = 0; i < 14; ++i) {
      cairo_arc(cr, px + rng.Range(-1, 1) * spread, py + rng.Range(-0.6, 0.6) * spread,
                spread * rng.Range(0.25, 0.6), 0, 2 * kPi);
      cairo_fill(cr);
    }
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < 18; ++i) {
    const double py = cy + rng.Range(-1, 1) * radius, px = cx + rng.Range(-1, 1) * radius;
    const double len = radius * rng.Range(0.2, 0.7);
    cairo_set_line_width(cr, radius * rng.Range(0.02, 0.07));
    cairo_set_source_rgba(cr, 1, 1, 1, rng.Range(0.25, 0.55));
    cairo_move_to(cr, px - len / 2, py);
    cairo_curve_to(cr, px - len / 6, py - len * 0.08, px + len / 6, py + len * 0.08, px + len / 2,
                   py);
    cairo_stroke(cr);
  }
  // Day side to night side.
  const double lx = lightX * radius, ly = lightY * radius;
  cairo_pattern_t* shade = cairo_pattern_create_radial(
      cx + lx * 0.64, cy + ly * 0.64, radius * 0.1, cx + lx * 0.28, cy + ly * 0.28, radius * 1.5);
  cairo_pattern_add_color_stop_rgba(shade, 0, 1, 1, 1, 0.12);
  cairo_pattern_add_color_stop_rgba(shade, 0.45, 0, 0, 0, 0);
  cairo_pattern_add_color_stop_rgba(shade, 0.85, 0.01, 0.02, 0.06, 0.88);
  cairo_pattern_add_color_stop_rgba(shade, 1, 0.01, 0.02, 0.06, 0.95);
  cairo_set_source(cr, shade);
  cairo_paint(cr);
  cairo_pattern_destroy(shade);
  cairo_restore(cr);
  // Lit rim, centred on the light.
  const double toward = std::atan2(lightY, lightX);
  cairo_arc(cr, cx, cy, radius - 1, toward - kPi * 0.4, toward + kPi * 0.4);
  cairo_set_line_width(cr, 2.0);
  SetRgb(cr, Mix(air, Hex(0xFFFFFF), 0.5), 0.8);
  cairo_stroke(cr);
}

}  // namespace assets::pic
