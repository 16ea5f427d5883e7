#include "tools/bmp_out.h"
#include "tools/file_out.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace assets {

namespace {
void Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
}  // namespace

bool WriteBmp(cairo_surface_t* surface, const char* dir, const char* name, int alphaCut) {
  cairo_surface_flush(surface);
  const int w = cairo_image_surface_get_width(surface);
  const int h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  if (!data || w <= 0 || h <= 0) {
    fprintf(stderr, "assetgen: empty picture for %s\n", name);
    return false;
  }
  const uint32_t rowBytes = (uint32_t(w) * 3 + 3) & ~3u;
  std::vector<uint8_t> file(54 + size_t(rowBytes) * h, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(&file[2], uint32_t(file.size()));
  Put32(&file[10], 54);
  Put32(&file[14], 40);
  Put32(&file[18], uint32_t(w));
  Put32(&file[22], uint32_t(h));
  Put16(&file[26], 1);
  Put16(&file[28], 24);
  Put32(&file[34], rowBytes * uint32_t(h));
  Put32(&file[38], 2835);
  Put32(&file[42], 2835);
  for (int y = 0; y < h; ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
    uint8_t* dst = &file[54 + size_t(h - 1 - y) * rowBytes];
    for (int x = 0; x < w; ++x) {
      uint32_t p = src[x];  // premultiplied ARGB: the colour over black
      int a = int(p >> 24), r = int((p >> 16) & 0xFF), g = int((p >> 8) & 0xFF),
          b = int(p & 0xFF);
      if (a < alphaCut && alphaCut > 0) {
        r = g = b = 0;
      } else if (r < 8 && g < 4 && b < 8) {
        g = 4;
      }
      dst[x * 3 + 0] = uint8_t(b);
      dst[x * 3 + 1] = uint8_t(g);
      dst[x * 3 + 2] = uint8_t(r);
    }
  }
  std::string path = std::string(dir) + "/" + name;
  return WriteWholeFile(path, file);
}

namespace {

uint32_t Get32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

}  // namespace

bool BmpToPng(const char* bmpPath, const char* pngPath) {
  std::vector<uint8_t> file;
  if (FILE* in = fopen(bmpPath, "rb")) {
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) file.insert(file.end(), buffer, buffer + n);
    fclose(in);
  }
  const auto refuse = [&](const char* why) {
    fprintf(stderr, "assetgen: %s: %s\n", bmpPath, why);
    return false;
  };
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return refuse("not a BMP file");
  const uint32_t offset = Get32(&file[10]);
  const int32_t w = int32_t(Get32(&file[18])), h = int32_t(Get32(&file[22]));
  const uint16_t bits = uint16_t(file[28] | file[29] << 8);
  if (bits != 24 || Get32(&file[30]) != 0 || w <= 0 || h <= 0 || w > 16384 || h > 16384) {
    return refuse("not an uncompressed bottom-up 24-bit BMP");
  }
  const size_t rowBytes = (size_t(w) * 3 + 3) & ~size_t(3);
  if (offset > file.size() || (file.size() - offset) / rowBytes < size_t(h)) return refuse("cut short");
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  unsigned char* data = cairo_image_surface_get_data(s);
  if (!data) {
    cairo_surface_destroy(s);
    return refuse("picture too large");
  }
  const int stride = cairo_image_surface_get_stride(s);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* row = &file[offset + size_t(h - 1 - y) * rowBytes];
    uint32_t* out = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
    for (int32_t x = 0; x < w; ++x) {
      out[x] = uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
    }
  }
  cairo_surface_mark_dirty(s);
  const cairo_status_t status = cairo_surface_write_to_png(s, pngPath);
  cairo_surface_destroy(s);
  if (status != CAIRO_STATUS_SUCCESS) {
    fprintf(stderr, "assetgen: cannot write %s: %s\n", pngPath, cairo_status_to_string(status));
    return false;
  }
  return true;
}

}  // namespace assets
