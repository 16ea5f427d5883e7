// An ARGB32 Cairo surface with its drawing context, owned and released
// together; the picture and sprite canvases build on it.
#pragma once

#include <cairo.h>

namespace assets {

class CanvasBase {
 public:
  CanvasBase(int width, int height)
      : width_(width),
        height_(height),
        surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
        cr_(cairo_create(surface_)) {
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
  }
  ~CanvasBase() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  CanvasBase(const CanvasBase&) = delete;
  CanvasBase& operator=(const CanvasBase&) = delete;

  cairo_surface_t* surface() const { return surface_; }
  cairo_t* cr() const { return cr_; }
  int width() const { return width_; }
  int height() const { return height_; }

 protected:
  int width_, height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

}  // namespace assets
