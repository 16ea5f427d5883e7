// libFuzzer target for the BMP reader: any byte string must either decode
// into a picture within the size limits or be refused, without a crash,
// an out-of-bounds access or a huge allocation.
#include <cstdint>
#include <cstdlib>

#include "platform/platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::Image image;
  if (plat::DecodeBmp(data, size, image)) {
    if (image.width <= 0 || image.height <= 0 || image.width > plat::kMaxImageSide ||
        image.height > plat::kMaxImageSide ||
        int64_t(image.width) * image.height > plat::kMaxImagePixels || !image.pixels) {
      abort();
    }
    // Touch every pixel so that a short buffer shows up under the sanitizer.
    uint32_t sum = 0;
    for (int64_t i = 0; i < int64_t(image.width) * image.height; ++i) sum ^= image.pixels[i];
    if (sum & 0xFF000000u) abort();
  }
  plat::FreeImage(image);
  return 0;
}
