// Keyed row copies: one pixel row of a colour-keyed blit, with a version
// for each instruction set the processor may offer, and the opaque copies
// of each path. The widest the processor
// runs is chosen on first use; OX_BLIT_PATH=scalar|sse2|avx2|avx512 in the
// environment, or SetRowPath, asks for a narrower one (tests, benchmarks).
#pragma once

#include <cstddef>
#include <cstdint>

namespace oxd {

enum class RowPath { Scalar, Sse2, Avx2, Avx512 };
constexpr int kRowPathCount = 4;

// Copies the n pixels of src that differ from key into dst, lowest address
// first. Safe when dst lies at or below src in memory.
using KeyedRowFn = void (*)(uint16_t* dst, const uint16_t* src, int n, uint16_t key);
// The same for `height` rows of `width` pixels, each pitch apart. The two
// rectangles must not overlap.
using KeyedRectFn = void (*)(uint16_t* dst, size_t dstPitch, const uint16_t* src, size_t srcPitch,
                             int width, int height, uint16_t key);
// Copies `height` rows of `width` pixels, each pitch apart, without a key.
// The two rectangles must not overlap.
using OpaqueRectFn = void (*)(uint16_t* dst, size_t dstPitch, const uint16_t* src,
                              size_t srcPitch, int width, int height);

// Whether this build and this processor can run the path.
bool RowPathAvailable(RowPath path);
// The path keyed blits use now.
RowPath CurrentRowPath();
// Makes keyed blits use the path; false (nothing changed) when it is not
// available.
bool SetRowPath(RowPath path);
// The path's name as OX_BLIT_PATH spells it.
const char* RowPathName(RowPath path);
// A path's row copy, for tests that compare them; nullptr when unavailable.
KeyedRowFn KeyedRowFor(RowPath path);

// The forward keyed row and rectangle copies of the current path.
KeyedRowFn CurrentKeyedRow();
KeyedRectFn CurrentKeyedRect();
// The opaque rectangle copy of the current path.
OpaqueRectFn CurrentOpaqueRect();

}  // namespace oxd
