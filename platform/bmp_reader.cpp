// BMP decoding: the header is checked here before SDL's reader sees the
// bytes, so that a truncated or hostile file cannot make it allocate a huge
// picture or read past the data; SDL then decodes every bit depth it knows.
#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "platform/platform.h"

namespace plat {

namespace {

constexpr int64_t kMaxFileSize = int64_t(256) << 20;
constexpr size_t kFileHeaderSize = 14;

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Checks that the headers describe a picture within the limits and that the
// file holds everything the header promises.
bool HeaderValid(const uint8_t* data, size_t size) {
  if (size < kFileHeaderSize + 4) return false;
  if (data[0] != 'B' || data[1] != 'M') return false;
  uint64_t pixelOffset = Le32(data + 10);
  uint32_t infoSize = Le32(data + 14);
  if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 &&
      infoSize != 124) {
    return false;
  }
  uint64_t headerEnd = kFileHeaderSize + uint64_t(infoSize);
  if (headerEnd > size) return false;
  const uint8_t* info = data + kFileHeaderSize;

  int64_t width, height;
  uint32_t planes, bits, compression = kBiRgb, colorsUsed = 0;
  uint64_t paletteEntry = 4;
  if (infoSize == 12) {
    // OS/2 core header: 16-bit unsigned sizes, 3-byte palette entries.
    width = Le16(info + 4);
    height = Le16(info + 6);
    planes = Le16(info + 8);
    bits = Le16(info + 10);
    paletteEntry = 3;
  } else {
    width = int32_t(Le32(info + 4));
    height = int32_t(Le32(info + 8));
    planes = Le16(info + 12);
    bits = Le16(info + 14);
    compression = Le32(info + 16);
    colorsUsed = Le32(info + 32);
  }

  bool topDown = height < 0;
  int64_t rows = topDown ? -height : height;
  if (width <= 0 || rows <= 0 || width > kMaxImageSide || rows > kMaxImageSide) return false;
  if (width * rows > kMaxImagePixels) return false;
  if (planes != 1) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;

  switch (compression) {
    case kBiRgb:
      break;
    case kBiRle8:
      if (bits != 8 || topDown) return false;
      break;
    case kBiRle4:
      if (bits != 4 || topDown) return false;
      break;
    case kBiBitfields:
      if (bits != 16 && bits != 32) return false;
      // The plain info header is followed by the three channel masks.
      if (infoSize == 40) headerEnd += 12;
      if (headerEnd > size) return false;
      break;
    default:
      return false;
  }

  if (bits <= 8) {
    uint64_t maxColors = uint64_t(1) << bits;
    if (colorsUsed > maxColors) return false;
    uint64_t colors = colorsUsed ? colorsUsed : maxColors;
    if (headerEnd + colors * paletteEntry > size) return false;
  }

  if (pixelOffset < headerEnd || pixelOffset >= size) return false;
  if (compression == kBiRgb || compression == kBiBitfields) {
    uint64_t rowBytes = ((uint64_t(width) * bits + 31) / 32) * 4;
    if (pixelOffset + rowBytes * uint64_t(rows) > size) return false;
  }
  return true;
}

// Reads a regular file of at most kMaxFileSize bytes into new memory.
uint8_t* ReadWholeFile(const char* path, size_t& size) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
      st.st_size > kMaxFileSize) {
    close(fd);
    return nullptr;
  }
  size = size_t(st.st_size);
  uint8_t* data = new (std::nothrow) uint8_t[size];
  size_t done = 0;
  while (data && done < size) {
    ssize_t n = read(fd, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += size_t(n);
  }
  close(fd);
  if (data && done != size) {
    delete[] data;
    data = nullptr;
  }
  return data;
}

uint16_t Rgb565(uint32_t r, uint32_t g, uint32_t b) {
  return uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// An uncompressed 24-bit picture with a Windows info header (already
// validated): rows of blue, green, red bytes, each padded to 4 bytes.
bool Plain24(const uint8_t* data) {
  const uint32_t infoSize = Le32(data + 14);
  return infoSize != 12 && Le16(data + 28) == 24 && Le32(data + 30) == kBiRgb;
}

bool Decode24(const uint8_t* data, Rgb565Rows allocate, void* context) {
  const uint8_t* info = data + kFileHeaderSize;
  const int width = int32_t(Le32(info + 4));
  const int height = int32_t(Le32(info + 8));
  const bool topDown = height < 0;
  const int rows = topDown ? -height : height;
  const size_t rowBytes = ((size_t(width) * 24 + 31) / 32) * 4;
  int pitch = 0;
  uint16_t* out = allocate(context, width, rows, &pitch);
  if (!out) return false;
  const uint8_t* pixels = data + Le32(data + 10);
  for (int y = 0; y < rows; ++y) {
    const uint8_t* in = pixels + rowBytes * size_t(topDown ? y : rows - 1 - y);
    uint16_t* o = out + size_t(y) * size_t(pitch);
    // Four bytes at a time (blue, green, red and the next pixel's blue);
    // the row's last pixel byte by byte, as its fourth byte may lie past
    // the end of the file.
    for (int x = 0; x + 1 < width; ++x, in += 3) {
      uint32_t p;
      std::memcpy(&p, in, sizeof p);
      p = SDL_SwapLE32(p);
      o[x] = uint16_t(((p >> 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 3) & 0x001F));
    }
    o[width - 1] = Rgb565(in[2], in[1], in[0]);
  }
  return true;
}

}  // namespace

bool LoadBmpRgb565(const char* path, Rgb565Rows allocate, void* context) {
  if (!path || !allocate) return false;
  // Read, not mapped: a file cut short while it loads then fails to read
  // instead of faulting in the middle of the decoding.
  size_t size = 0;
  const std::unique_ptr<uint8_t[]> data(ReadWholeFile(path, size));
  if (!data || !HeaderValid(data.get(), size)) return false;
  if (Plain24(data.get())) return Decode24(data.get(), allocate, context);
  // Every other kind goes through SDL's reader.
  Image image;
  if (!DecodeBmp(data.get(), size, image)) return false;
  int pitch = 0;
  uint16_t* out = allocate(context, image.width, image.height, &pitch);
  if (out) {
    for (int y = 0; y < image.height; ++y) {
      const uint32_t* in = image.pixels + size_t(y) * size_t(image.width);
      uint16_t* o = out + size_t(y) * size_t(pitch);
      for (int x = 0; x < image.width; ++x) {
        o[x] = Rgb565((in[x] >> 16) & 0xFF, (in[x] >> 8) & 0xFF, in[x] & 0xFF);
      }
    }
  }
  FreeImage(image);
  return out != nullptr;
}

bool DecodeBmp(const uint8_t* data, size_t size, Image& out) {
  out = Image{};
  if (!data || !HeaderValid(data, size)) return false;
  if (size > size_t(INT32_MAX)) return false;

  SDL_RWops* rw = SDL_RWFromConstMem(data, int(size));
  if (!rw) return false;
  SDL_Surface* decoded = SDL_LoadBMP_RW(rw, 1);
  if (!decoded) return false;
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_RGB888, 0);
  SDL_FreeSurface(decoded);
  if (!rgb) return false;

  bool ok = false;
  int w = rgb->w, h = rgb->h;
  if (w > 0 && h > 0 && w <= kMaxImageSide && h <= kMaxImageSide &&
      int64_t(w) * h <= kMaxImagePixels && SDL_LockSurface(rgb) == 0) {
    uint32_t* pixels = new (std::nothrow) uint32_t[size_t(w) * size_t(h)];
    if (pixels) {
      const uint8_t* row = static_cast<const uint8_t*>(rgb->pixels);
      for (int y = 0; y < h; ++y, row += rgb->pitch) {
        const uint32_t* in = reinterpret_cast<const uint32_t*>(row);
        uint32_t* dst = pixels + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) dst[x] = in[x] & 0x00FFFFFF;
      }
      out.width = w;
      out.height = h;
      out.pixels = pixels;
      ok = true;
    }
    SDL_UnlockSurface(rgb);
  }
  SDL_FreeSurface(rgb);
  return ok;
}

bool LoadBmp(const char* path, Image& out) {
  out = Image{};
  if (!path) return false;
  size_t size = 0;
  uint8_t* data = ReadWholeFile(path, size);
  if (!data) return false;
  bool ok = DecodeBmp(data, size, out);
  delete[] data;
  return ok;
}

void FreeImage(Image& image) {
  delete[] image.pixels;
  image = Image{};
}

}  // namespace plat
