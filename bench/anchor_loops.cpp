// The plain loops the drawing paths are measured against, compiled on their
// own with -O3 -march=native (bench/CMakeLists.txt): what the compiler makes
// of the obvious C code for this very processor.
#include "bench/anchor_loops.h"

namespace bench {

void AnchorKeyedCopy(uint16_t* dst, int dstPitch, const uint16_t* src, int srcPitch, int width,
                     int height, uint16_t key) {
  for (int y = 0; y < height; ++y) {
    uint16_t* d = dst + y * dstPitch;
    const uint16_t* s = src + y * srcPitch;
    for (int x = 0; x < width; ++x) {
      if (s[x] != key) d[x] = s[x];
    }
  }
}

}  // namespace bench
