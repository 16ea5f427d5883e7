// libFuzzer target for the image pack reader: any byte string taken as a
// pack must be scanned to its end or to its first damaged entry, and a
// found entry decoded into a surface of its size, without a crash, an
// out-of-bounds access, a hang or an allocation larger than the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "draw/image_pack.h"
#include "draw/ox_surface.h"

namespace {

// Decodes the entry found under `name`, touching every pixel.
void FindAndDecode(FILE* pack, const char* name) {
  oxd::PackEntry entry;
  if (!oxd::FindPackEntry(pack, name, entry)) return;
  if (strcmp(entry.name, name) != 0) abort();
  // A found entry's pixels lie inside the file, so its size is bounded by
  // the input's.
  oxd::Surface* surface = oxd::CreateSurface(entry.width, entry.height);
  if (!surface) return;  // zero width or height
  if (!oxd::ReadPackPixels(pack, entry, *surface)) abort();
  // Each pixel is three 5-bit channels placed in RGB565, so bit 5 (the
  // low bit of green) stays 0; reading each one also shows a short buffer
  // to the sanitizer.
  for (int y = 0; y < surface->height; ++y)
    for (int x = 0; x < surface->width; ++x)
      if (surface->pixels[y * surface->pitch + x] & 0x20) abort();
  oxd::DestroySurface(surface);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FILE* pack = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!pack) return 0;
  // A name no entry has: the scan runs over the whole pack.
  FindAndDecode(pack, "\x01");
  // The first entry's own name (at most 127 bytes), and a fixed one.
  char first[oxd::kPackNameMax + 1] = {};
  for (size_t i = 4; i < size && i - 4 < sizeof first - 1 && data[i] != 0; ++i)
    first[i - 4] = static_cast<char>(data[i]);
  FindAndDecode(pack, first);
  FindAndDecode(pack, "A.BMP");
  fclose(pack);
  return 0;
}
