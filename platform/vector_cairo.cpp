// The Cairo vector driver: draws straight into the RGB565 pixels through an
// image surface over them, antialiasing off.
#include <cairo.h>

#include "platform/drivers.h"
#include "platform/vector.h"

namespace plat::vector {

namespace {

// Primitives hold at most two canvases at a time (the open one and one of
// their own); a few more leave room.
constexpr int kCanvases = 4;

class CairoCanvas final : public Canvas {
 public:
  bool Open(uint16_t* pixels, int width, int height, int pitchPixels) {
    const int stride = pitchPixels * int(sizeof(uint16_t));
    if (!pixels || cairo_format_stride_for_width(CAIRO_FORMAT_RGB16_565, width) != stride)
      return false;
    surface_ = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels),
                                                   CAIRO_FORMAT_RGB16_565, width, height, stride);
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
      Destroy();
      return false;
    }
    cr_ = cairo_create(surface_);
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
      Destroy();
      return false;
    }
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
    return true;
  }
  bool InUse() const { return surface_ != nullptr; }

  void Begin() override {
    cairo_surface_mark_dirty(surface_);
    cairo_save(cr_);
    cairo_new_path(cr_);
  }
  void End() override {
    cairo_new_path(cr_);
    cairo_restore(cr_);
    cairo_surface_flush(surface_);
  }
  void SetPen(Rgb c, double width) override {
    // Cairo keeps the 8-bit components exactly and converts them to RGB565
    // by truncation.
    cairo_set_source_rgb(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0);
    cairo_set_line_width(cr_, width);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
  }
  void AddSegment(Point a, Point b) override {
    cairo_move_to(cr_, a.x, a.y);
    cairo_line_to(cr_, b.x, b.y);
  }
  void AddRectangle(double x, double y, double w, double h) override {
    cairo_rectangle(cr_, x, y, w, h);
  }
  void Stroke() override { cairo_stroke(cr_); }

  bool FillHatch(const Point* p, int n, const uint8_t rows[kTile], Rgb ink,
                 const Rgb* background) override {
    cairo_pattern_t* pattern = Pattern(rows, ink, background);
    if (!pattern) return false;
    cairo_move_to(cr_, p[0].x, p[0].y);
    for (int i = 1; i < n; ++i) cairo_line_to(cr_, p[i].x, p[i].y);
    cairo_close_path(cr_);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_set_operator(cr_, background ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER);
    cairo_set_source(cr_, pattern);
    cairo_fill(cr_);
    cairo_pattern_destroy(pattern);
    return true;
  }

  void Destroy() override {
    if (cr_) cairo_destroy(cr_);
    if (surface_) cairo_surface_destroy(surface_);
    cr_ = nullptr;
    surface_ = nullptr;
  }

 private:
  static uint16_t Native(Rgb c) {
    return uint16_t((c.r >> 3) << 11 | (c.g >> 2) << 5 | (c.b >> 3));
  }

  // With a background the tile is opaque RGB565, copied as it is; without
  // one the gaps are transparent ARGB.
  static cairo_pattern_t* Pattern(const uint8_t rows[kTile], Rgb ink, const Rgb* background) {
    const cairo_format_t format = background ? CAIRO_FORMAT_RGB16_565 : CAIRO_FORMAT_ARGB32;
    cairo_surface_t* tile = cairo_image_surface_create(format, kTile, kTile);
    if (cairo_surface_status(tile) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(tile);
      return nullptr;
    }
    cairo_surface_flush(tile);
    unsigned char* data = cairo_image_surface_get_data(tile);
    const int stride = cairo_image_surface_get_stride(tile);
    for (int y = 0; y < kTile; ++y) {
      for (int x = 0; x < kTile; ++x) {
        const bool on = (rows[y] >> x) & 1;
        if (background) {
          reinterpret_cast<uint16_t*>(data + y * stride)[x] = on ? Native(ink) : Native(*background);
        } else {
          reinterpret_cast<uint32_t*>(data + y * stride)[x] =
              on ? 0xFF000000u | uint32_t(ink.r) << 16 | uint32_t(ink.g) << 8 | ink.b : 0;
        }
      }
    }
    cairo_surface_mark_dirty(tile);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
    cairo_surface_destroy(tile);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    return pattern;
  }

  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
};

class CairoDriver final : public Driver {
 public:
  const char* Name() const override { return "cairo"; }
  Canvas* CreateCanvas(uint16_t* pixels, int width, int height, int pitchPixels) override {
    for (CairoCanvas& c : canvases_) {
      if (c.InUse()) continue;
      return c.Open(pixels, width, height, pitchPixels) ? &c : nullptr;
    }
    return nullptr;
  }

 private:
  CairoCanvas canvases_[kCanvases];
};

}  // namespace

Driver& CairoDriverInstance() {
  static CairoDriver driver;
  return driver;
}

}  // namespace plat::vector
