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

}  // namespace assets
