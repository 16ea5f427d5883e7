// The contact sheet: every image the game loads, read back from the asset
// directory and laid out on one PNG for review. Transparent pixels (pure
// black) show a checkerboard; each image is labelled with its file name and
// size. Files that are missing or unreadable get a red placeholder.
#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/assets.h"
#include "tools/picture_common.h"

namespace assets {

namespace {

// Every image in the order the game loads it ("VAL402.BMP" is loaded twice
// but listed once).
constexpr const char* kImages[] = {
    "TITLE.BMP",  "BTHK00.BMP", "BCG2.BMP",   "BCG3.BMP",   "BCG4.BMP",   "BCG5.BMP",
    "MY.BMP",     "GFBAK1.BMP", "MYMY.BMP",   "MYEND.BMP",  "MYENDF.BMP", "MYGOODN.BMP",
    "FLH1.BMP",   "FLH2.BMP",   "FBAK1.BMP",  "ZAK1.BMP",   "ZAK4.BMP",   "ZAK5.BMP",
    "ZAK6.BMP",   "ZAK7.BMP",   "ZAK8.BMP",   "ZAK9.BMP",   "ZAK10.BMP",  "ZAK11.BMP",
    "ZAK12.BMP",  "ZAK13.BMP",  "ZAK14.BMP",  "ZAK17.BMP",  "ZAK18.BMP",  "ZAK19.BMP",
    "ZAK20.BMP",  "ZAK21.BMP",  "ZAK22.BMP",  "ZAK23.BMP",  "ZAK24.BMP",  "ZAK50.BMP",
    "ZAK51.BMP",  "ZAK52.BMP",  "ZAK53.BMP",  "ZAK54.BMP",  "ZAK55.BMP",  "VAL11.BMP",
    "VAL12.BMP",  "VAL13.BMP",  "VAL1.BMP",   "VAL2.BMP",   "VAL3.BMP",   "BOS11.BMP",
    "BOS21.BMP",  "BOS31.BMP",  "BOS41.BMP",  "BOS51.BMP",  "BOS61.BMP",  "BOS71.BMP",
    "BOS81.BMP",  "BOS111.BMP", "BOS511.BMP", "BOS711.BMP", "VAL20.BMP",  "VAL401.BMP",
    "VAL402.BMP", "ZBAK1.BMP",  "ZBAK2.BMP",  "ZBAK3.BMP",  "BBAK1.BMP",  "SUNDER1.BMP",
    "BKM1h.BMP",  "BKM1m.BMP",  "BKM2.BMP",   "BKM3.BMP",   "BKM4.BMP",   "BKM5.BMP",
    "ZFIRE1.BMP", "BACK1.BMP",  "BACK2.BMP",  "BACK3.BMP",  "BACK4.BMP",  "BACK5.BMP",
    "BACK6.BMP",  "BACK7.BMP",  "BACK8.BMP"};

constexpr int kSheetWidth = 2048;
constexpr int kMargin = 12;
constexpr int kLabelHeight = 18;
constexpr int kMaxSide = 16384;
constexpr int kMaxShownHeight = 1024;

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}
uint16_t Get16(const std::vector<uint8_t>& b, size_t at) {
  return uint16_t(b[at] | b[at + 1] << 8);
}

struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;  // pure black becomes fully transparent
  std::string problem;         // empty when the file was read
};

// Reads an uncompressed 24- or 32-bit BMP (bottom-up or top-down); anything
// else, or a file too short for what its header claims, is a problem.
Picture ReadBmp(const std::string& path) {
  Picture pic;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) {
    pic.problem = "missing";
    return pic;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  fclose(f);
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || Get32(bytes, 14) < 40) {
    pic.problem = "not a BMP";
    return pic;
  }
  const uint32_t offset = Get32(bytes, 10);
  const int32_t w = int32_t(Get32(bytes, 18)), h = int32_t(Get32(bytes, 22));
  const int bpp = Get16(bytes, 28);
  const uint32_t compression = Get32(bytes, 30);
  const bool topDown = h < 0;
  const int64_t height = topDown ? -int64_t(h) : h;
  if (w <= 0 || height <= 0 || w > kMaxSide || height > kMaxSide) {
    pic.problem = "bad size";
    return pic;
  }
  if ((bpp != 24 && bpp != 32) || compression != 0) {
    pic.problem = "unsupported format";
    return pic;
  }
  const size_t rowBytes = (size_t(w) * (bpp / 8) + 3) & ~size_t(3);
  if (offset > bytes.size() || bytes.size() - offset < rowBytes * size_t(height)) {
    pic.problem = "truncated";
    return pic;
  }
  pic.width = w;
  pic.height = int(height);
  pic.argb.resize(size_t(w) * size_t(height));
  for (int y = 0; y < pic.height; ++y) {
    const size_t row = topDown ? size_t(y) : size_t(pic.height - 1 - y);
    const uint8_t* src = &bytes[offset + row * rowBytes];
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = src + size_t(x) * (bpp / 8);
      const uint32_t rgb = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      pic.argb[size_t(y) * w + x] = rgb ? 0xFF000000u | rgb : 0;
    }
  }
  return pic;
}

struct Tile {
  const char* name;
  Picture picture;
  double scale;  // below 1 when the image is too large for the sheet
  int x, y, w, h;
};

void Checkerboard(cairo_t* cr, int x, int y, int w, int h) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  cairo_set_source_rgb(cr, 0.42, 0.42, 0.46);
  cairo_paint(cr);
  cairo_set_source_rgb(cr, 0.56, 0.56, 0.60);
  for (int ty = 0; ty < h; ty += 8)
    for (int tx = ((ty / 8) % 2) * 8; tx < w; tx += 16) cairo_rectangle(cr, x + tx, y + ty, 8, 8);
  cairo_fill(cr);
  cairo_restore(cr);
}

}  // namespace

bool WriteContactSheet(const char* dir, const char* pngPath) {
  std::vector<Tile> tiles;
  int missing = 0;
  for (const char* name : kImages) {
    Tile t{name, ReadBmp(std::string(dir) + "/" + name), 1.0, 0, 0, 60, 60};
    if (!t.picture.problem.empty()) {
      fprintf(stderr, "assetgen: contact sheet: %s: %s\n", name, t.picture.problem.c_str());
      ++missing;
    } else {
      // Oversized images are shown scaled down to the sheet's width and to
      // a bounded height.
      const int room = kSheetWidth - 2 * kMargin;
      t.scale = t.picture.width > room ? double(room) / t.picture.width : 1.0;
      if (t.picture.height * t.scale > kMaxShownHeight)
        t.scale = double(kMaxShownHeight) / t.picture.height;
      t.w = int(t.picture.width * t.scale + 0.5);
      t.h = int(t.picture.height * t.scale + 0.5);
    }
    tiles.push_back(std::move(t));
  }
  // Shelf layout: left to right, a new row when the next image does not fit.
  {
    cairo_surface_t* probe = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(probe);
    pic::SetFont(cr, pic::Face::kSansBold, 11);
    int x = kMargin, y = kMargin, rowH = 0;
    for (Tile& t : tiles) {
      const int labelW = int(pic::TextWidth(cr, t.name)) + 70;
      const int cellW = t.w > labelW ? t.w : labelW;
      if (x + cellW > kSheetWidth - kMargin && x > kMargin) {
        x = kMargin;
        y += rowH + kLabelHeight + kMargin;
        rowH = 0;
      }
      t.x = x;
      t.y = y;
      x += cellW + kMargin;
      if (t.h > rowH) rowH = t.h;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(probe);
    const int height = y + rowH + kLabelHeight + kMargin;
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSheetWidth, height);
    cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.13, 0.14, 0.16);
    cairo_paint(cr);
    for (Tile& t : tiles) {
      char label[96];
      if (!t.picture.problem.empty()) {
        cairo_set_source_rgb(cr, 0.9, 0.2, 0.2);
        cairo_set_line_width(cr, 2);
        cairo_rectangle(cr, t.x + 1, t.y + 1, t.w - 2, t.h - 2);
        cairo_move_to(cr, t.x, t.y);
        cairo_line_to(cr, t.x + t.w, t.y + t.h);
        cairo_stroke(cr);
        snprintf(label, sizeof label, "%s (%s)", t.name, t.picture.problem.c_str());
      } else {
        Checkerboard(cr, t.x, t.y, t.w, t.h);
        cairo_surface_t* img = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(t.picture.argb.data()), CAIRO_FORMAT_ARGB32,
            t.picture.width, t.picture.height, t.picture.width * 4);
        cairo_save(cr);
        cairo_translate(cr, t.x, t.y);
        cairo_scale(cr, t.scale, t.scale);
        cairo_set_source_surface(cr, img, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(img);
        if (t.scale < 1)
          snprintf(label, sizeof label, "%s %dx%d (shown at %d%%)", t.name, t.picture.width,
                   t.picture.height, int(t.scale * 100));
        else
          snprintf(label, sizeof label, "%s %dx%d", t.name, t.picture.width, t.picture.height);
      }
      pic::SetFont(cr, pic::Face::kSansBold, 11);
      pic::Text(cr, label, t.x, t.y + t.h + 13,
                t.picture.problem.empty() ? pic::Hex(0xD8DCE4) : pic::Hex(0xFF6060));
    }
    cairo_destroy(cr);
    const cairo_status_t st = cairo_surface_write_to_png(sheet, pngPath);
    cairo_surface_destroy(sheet);
    if (st != CAIRO_STATUS_SUCCESS) {
      fprintf(stderr, "assetgen: cannot write %s\n", pngPath);
      return false;
    }
  }
  if (missing)
    fprintf(stderr, "assetgen: contact sheet: %d of %zu images not shown\n", missing,
            sizeof kImages / sizeof kImages[0]);
  return true;
}

}  // namespace assets
