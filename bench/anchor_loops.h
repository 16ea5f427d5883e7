// Plain reference loops for the benchmarks' anchors.
#pragma once

#include <cstdint>

namespace bench {

// Copies the width x height pixels of src that differ from key into dst.
void AnchorKeyedCopy(uint16_t* dst, int dstPitch, const uint16_t* src, int srcPitch, int width,
                     int height, uint16_t key);

}  // namespace bench
