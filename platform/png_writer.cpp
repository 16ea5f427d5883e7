// PNG pictures through Cairo: the 16-bit screen widened to 8 bits a channel.
#include <cairo.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/platform.h"

namespace plat {

namespace {

struct PngSink {
  int fd;
  int error;
};

cairo_status_t WriteChunk(void* closure, const unsigned char* data, unsigned int length) {
  PngSink& sink = *static_cast<PngSink*>(closure);
  while (length > 0) {
    const ssize_t n = write(sink.fd, data, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      sink.error = n < 0 ? errno : EIO;
      return CAIRO_STATUS_WRITE_ERROR;
    }
    data += n;
    length -= static_cast<unsigned int>(n);
  }
  return CAIRO_STATUS_SUCCESS;
}

// A channel of `bits` widened to 8 by repeating its top bits, so that white
// stays white.
uint32_t Widen(uint32_t v, int bits) { return (v << (8 - bits)) | (v >> (2 * bits - 8)); }

}  // namespace

bool WritePng(const char* path, const uint16_t* pixels, int width, int height, int pitch) {
  if (!path || !*path || !pixels || width <= 0 || height <= 0 || pitch < width ||
      width > kMaxImageSide || height > kMaxImageSide) {
    errno = EINVAL;
    return false;
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    errno = ENOMEM;
    return false;
  }
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < height; ++y) {
    const uint16_t* src = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch);
    uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < width; ++x) {
      const uint32_t p = src[x];
      row[x] = Widen((p >> 11) & 0x1F, 5) << 16 | Widen((p >> 5) & 0x3F, 6) << 8 |
               Widen(p & 0x1F, 5);
    }
  }
  cairo_surface_mark_dirty(surface);
  // A new file only: an existing picture is never replaced.
  PngSink sink{open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644), 0};
  if (sink.fd < 0) {
    const int saved = errno;
    cairo_surface_destroy(surface);
    errno = saved;
    return false;
  }
  const cairo_status_t status = cairo_surface_write_to_png_stream(surface, WriteChunk, &sink);
  cairo_surface_destroy(surface);
  bool ok = status == CAIRO_STATUS_SUCCESS;
  if (ok && fsync(sink.fd) != 0 && errno != EINVAL) {
    sink.error = errno;
    ok = false;
  }
  if (close(sink.fd) != 0 && ok) {
    sink.error = errno;
    ok = false;
  }
  if (!ok) {
    unlink(path);
    errno = sink.error ? sink.error : EIO;
  }
  return ok;
}

}  // namespace plat
