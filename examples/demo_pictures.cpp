// The demo's pictures, drawn in code and written as 24-bit BMP files, so
// that the demo ships no binary files. Black (0, 0, 0) is the transparent
// key colour of every sprite.
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "examples/demo.h"

namespace demo {

namespace {

constexpr double kPi = 3.14159265358979323846;

uint32_t Rgb(int r, int g, int b) {
  auto c = [](int v) { return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v); };
  return c(r) << 16 | c(g) << 8 | c(b);
}

struct Picture {
  int width, height;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows from the top
  Picture(int w, int h) : width(w), height(h), pixels(size_t(w) * h, 0) {}
  uint32_t& At(int x, int y) { return pixels[size_t(y) * width + x]; }
};

// A bottom-up 24-bit BMP with a 40-byte info header.
bool WriteBmp(const std::string& path, const Picture& p) {
  const int rowBytes = (p.width * 3 + 3) & ~3;
  const uint32_t dataSize = uint32_t(rowBytes) * uint32_t(p.height);
  std::vector<uint8_t> file(54 + dataSize, 0);
  auto put = [&](size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + i] = uint8_t(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put(2, uint32_t(file.size()), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, uint32_t(p.width), 4);
  put(22, uint32_t(p.height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, dataSize, 4);
  for (int y = 0; y < p.height; ++y) {
    const size_t row = 54 + size_t(p.height - 1 - y) * rowBytes;  // rows are stored bottom-up
    for (int x = 0; x < p.width; ++x)
      put(row + 3 * size_t(x), p.pixels[size_t(y) * p.width + x], 3);
  }
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = fwrite(file.data(), 1, file.size(), f) == file.size();
  return fclose(f) == 0 && ok;
}

// Ten 64 x 48 tiles: a disc that grows from a dot (tile 0) until it covers
// the whole tile (tile 9). Outside the disc the tile is black: transparent.
Picture Pattern() {
  Picture p(640, 48);
  for (int k = 0; k < 10; ++k) {
    const double radius = 4.5 * (k + 1) - 3;  // tile 9: 42, past the corners at 40
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) {
        const double d = std::hypot(x - 31.5, y - 23.5);
        if (d < radius) p.At(64 * k + x, y) = d > radius - 2 ? Rgb(90, 120, 220) : Rgb(20, 28, 70);
      }
  }
  return p;
}

// The overlay picture: a tall panel of coloured bands with a ruler down its
// side, and round windows (black) through which the background shows.
Picture Scroll() {
  Picture p(kScrollWidth, kScrollHeight);
  for (int y = 0; y < p.height; ++y) {
    const double t = double(y) / p.height;
    for (int x = 0; x < p.width; ++x) {
      int r = int(200 - 150 * t), g = int(80 + 120 * std::sin(t * kPi)), b = int(60 + 180 * t);
      if ((y / 40) % 2) r -= 30, g -= 30, b -= 30;
      if (x < 24 && y % 40 < 3) r = g = b = 255;  // ruler marks every 40 rows
      p.At(x, y) = Rgb(r, g, b);
    }
    for (int c = 0; c < 6; ++c) {  // windows of radius 40
      const int cx = 100 + 88 * c, cy = 120 + (c * 170) % 720;
      if (std::abs(y - cy) >= 40) continue;
      for (int x = cx - 40; x < cx + 40; ++x)
        if (std::hypot(x - cx, y - cy) < 40) p.At(x, y) = 0;
    }
  }
  return p;
}

// The overlay's background tile: a diamond on a checker.
Picture Tile() {
  Picture p(64, 48);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const bool diamond = std::abs(x - 32) * 3 + std::abs(y - 24) * 4 < 96;
      const bool checker = ((x / 8) + (y / 8)) % 2;
      p.At(x, y) = diamond ? Rgb(240, 200, 60) : checker ? Rgb(40, 50, 90) : Rgb(30, 36, 64);
    }
  return p;
}

// A 32 x 32 ship: a hull, wings and a cockpit on black.
Picture Ship(int hue) {
  Picture p(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const int dx = std::abs(x * 2 - 31);
      if (dx < y * 2 / 3 && y < 28) p.At(x, y) = Rgb(150 + hue, 170, 200 - hue);        // hull
      if (y > 16 && y < 26 && dx < (y - 10) * 3) p.At(x, y) = Rgb(90, 110 + hue, 160);  // wings
      if (std::hypot(x - 15.5, y - 14) < 3.5) p.At(x, y) = Rgb(250, 230, 90);           // cockpit
      if (y >= 28 && dx < 6) p.At(x, y) = Rgb(255, 120 + 30 * (x % 3), 40);             // flame
    }
  return p;
}

Picture Gem() {
  Picture p(24, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const int d = std::abs(x - 12) + std::abs(y - 12);
      if (d < 11) p.At(x, y) = Rgb(60 + 18 * (11 - d), 20, 120 + 12 * d);
    }
  return p;
}

Picture Star() {
  Picture p(24, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const double a = std::atan2(y - 11.5, x - 11.5), d = std::hypot(x - 11.5, y - 11.5);
      if (d < 6 + 5 * std::cos(5 * a)) p.At(x, y) = Rgb(255, 220, 60 + int(d) * 10);
    }
  return p;
}

// Eight steps of grey from 0 to 7 in each channel, 16 pixels wide each:
// the darkest colours a bitmap can hold.
Picture Ramp() {
  Picture p(128, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 128; ++x) p.At(x, y) = Rgb(x / 16, x / 16, x / 16);
  return p;
}

// A small landscape for the pixel effects: sky, sun, hills, water.
Picture Landscape() {
  Picture p(160, 120);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) {
      uint32_t c = Rgb(70 + y, 120 + y, 230);
      if (std::hypot(x - 110, y - 35) < 16) c = Rgb(255, 220, 90);
      const double hill = 70 + 12 * std::sin(x * 0.06) + 6 * std::sin(x * 0.17 + 1);
      if (y > hill) c = Rgb(40 + (x * 7 + y * 3) % 30, 120 + int(hill) - y / 2, 50);
      if (y > 95) c = Rgb(30, 70 + (x + y) % 20, 150 + 10 * ((x / 6 + y) % 3));
      p.At(x, y) = c;
    }
  return p;
}

}  // namespace

bool WritePictures(const char* dir) {
  const std::string d = dir;
  mkdir((d + kPackSource).c_str(), 0755);
  mkdir((d + kPackSubfolder).c_str(), 0755);
  const std::string source = d + kPackSource + "/";
  return WriteBmp(d + kPatternFile, Pattern()) && WriteBmp(d + kScrollFile, Scroll()) &&
         WriteBmp(d + kTileFile, Tile()) && WriteBmp(d + kShipFile, Ship(0)) &&
         WriteBmp(d + kLandscapeFile, Landscape()) && WriteBmp(source + "ship.bmp", Ship(60)) &&
         WriteBmp(source + "Gem.BMP", Gem()) && WriteBmp(d + kRampFile, Ramp()) &&
         WriteBmp(d + kPackSubfolder + "/star.bmp", Star());
}

}  // namespace demo
