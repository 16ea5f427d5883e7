#include "platform/notice_picture.h"

#include <cairo.h>

#include <cstring>

namespace plat {

bool DrawNoticePicture(const char* text, uint32_t* pixels) {
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, kNoticeWidth);
  if (stride != kNoticeWidth * 4) return false;
  memset(pixels, 0, sizeof(uint32_t) * kNoticeWidth * kNoticeHeight);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(pixels), CAIRO_FORMAT_ARGB32, kNoticeWidth, kNoticeHeight,
      stride);
  cairo_t* cr = cairo_create(surface);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 14);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text, &extents);
  const double width = extents.x_advance + 16 < kNoticeWidth ? extents.x_advance + 16 : kNoticeWidth;
  cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
  cairo_rectangle(cr, 0, 0, width, kNoticeHeight);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_move_to(cr, 8, 17);
  cairo_show_text(cr, text);
  const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  return ok;
}

}  // namespace plat
