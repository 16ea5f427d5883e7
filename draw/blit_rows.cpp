// Keyed row copies for each instruction set, and the choice among them.
// The AVX2 and AVX-512 versions are compiled for their instruction sets
// through function attributes and only called when the processor has them.
#include "draw/blit_rows.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define OX_ROWS_X86 1
#else
#define OX_ROWS_X86 0
#endif

namespace oxd {

namespace {

#define OX_INLINE inline __attribute__((always_inline))

OX_INLINE void RowScalar(uint16_t* dst, const uint16_t* src, int n, uint16_t key) {
  for (int i = 0; i < n; ++i) {
    if (src[i] != key) dst[i] = src[i];
  }
}

#if OX_ROWS_X86

// Eight pixels: key pixels keep the destination's value.
inline __m128i Select8(__m128i s, __m128i d, __m128i k) {
  const __m128i m = _mm_cmpeq_epi16(s, k);
  return _mm_or_si128(_mm_and_si128(m, d), _mm_andnot_si128(m, s));
}

OX_INLINE void RowSse2(uint16_t* dst, const uint16_t* src, int n, uint16_t key) {
  const __m128i k = _mm_set1_epi16(static_cast<short>(key));
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 8));
    const __m128i d0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i d1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i + 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Select8(s0, d0, k));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 8), Select8(s1, d1, k));
  }
  for (; i + 8 <= n; i += 8) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), Select8(s, d, k));
  }
  for (; i < n; ++i) {
    if (src[i] != key) dst[i] = src[i];
  }
}

__attribute__((target("avx2"))) OX_INLINE void RowAvx2(uint16_t* dst, const uint16_t* src, int n,
                                             uint16_t key) {
  const __m256i k = _mm256_set1_epi16(static_cast<short>(key));
  int i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i s0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i s1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 16));
    const __m256i d0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i d1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i + 16));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                        _mm256_blendv_epi8(s0, d0, _mm256_cmpeq_epi16(s0, k)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i + 16),
                        _mm256_blendv_epi8(s1, d1, _mm256_cmpeq_epi16(s1, k)));
  }
  for (; i + 16 <= n; i += 16) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                        _mm256_blendv_epi8(s, d, _mm256_cmpeq_epi16(s, k)));
  }
  const __m128i k8 = _mm256_castsi256_si128(k);
  for (; i + 8 <= n; i += 8) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                     _mm_blendv_epi8(s, d, _mm_cmpeq_epi16(s, k8)));
  }
  for (; i < n; ++i) {
    if (src[i] != key) dst[i] = src[i];
  }
}

// Masked stores write only the pixels that differ from the key, and a
// masked load and store finish the row without touching memory past it.
__attribute__((target("avx512f,avx512bw"))) OX_INLINE void RowAvx512(uint16_t* dst,
                                                                    const uint16_t* src, int n,
                                                                    uint16_t key) {
  const __m512i k = _mm512_set1_epi16(static_cast<short>(key));
  int i = 0;
  for (; i + 64 <= n; i += 64) {
    const __m512i s0 = _mm512_loadu_si512(src + i);
    const __m512i s1 = _mm512_loadu_si512(src + i + 32);
    _mm512_mask_storeu_epi16(dst + i, _mm512_cmpneq_epi16_mask(s0, k), s0);
    _mm512_mask_storeu_epi16(dst + i + 32, _mm512_cmpneq_epi16_mask(s1, k), s1);
  }
  for (; i + 32 <= n; i += 32) {
    const __m512i s = _mm512_loadu_si512(src + i);
    _mm512_mask_storeu_epi16(dst + i, _mm512_cmpneq_epi16_mask(s, k), s);
  }
  if (i < n) {
    const __mmask32 tail = (1u << (n - i)) - 1u;  // n - i < 32
    const __m512i s = _mm512_maskz_loadu_epi16(tail, src + i);
    _mm512_mask_storeu_epi16(dst + i, _mm512_mask_cmpneq_epi16_mask(tail, s, k), s);
  }
}

// Opaque rows: the stores are aligned to 64 bytes (a masked head and tail),
// which beats the C library's copy on rows a few hundred pixels long (a
// background strip), where most unaligned stores would cross a cache line.
__attribute__((target("avx512f,avx512bw"))) void OpaqueAvx512(uint16_t* dst, size_t dstPitch,
                                                             const uint16_t* src,
                                                             size_t srcPitch, int width,
                                                             int height) {
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) {
    int i = 0;
    const int misaligned = int((reinterpret_cast<uintptr_t>(dst) & 63) / sizeof(uint16_t));
    if (misaligned) {
      const int head = 32 - misaligned < width ? 32 - misaligned : width;
      const __mmask32 m = (1u << head) - 1u;  // head < 32
      _mm512_mask_storeu_epi16(dst, m, _mm512_maskz_loadu_epi16(m, src));
      i = head;
    }
    for (; i + 32 <= width; i += 32) _mm512_store_si512(dst + i, _mm512_loadu_si512(src + i));
    if (i < width) {
      const __mmask32 m = (1u << (width - i)) - 1u;  // width - i < 32
      _mm512_mask_storeu_epi16(dst + i, m, _mm512_maskz_loadu_epi16(m, src + i));
    }
  }
}

#endif  // OX_ROWS_X86

// The other paths copy opaque rows with the C library, as fast as anything
// they could do instead.
void OpaqueRows(uint16_t* dst, size_t dstPitch, const uint16_t* src, size_t srcPitch, int width,
                int height) {
  const size_t bytes = size_t(width) * sizeof(uint16_t);
  for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) std::memcpy(dst, src, bytes);
}

// Each path as a row copy and as a rectangle copy: the rectangle's loop
// over rows calls the row copy inlined, so a sprite of small rows costs
// one call, not one per row.
#define OX_KEYED_PATH(Name, Target)                                                          \
  Target void Name##Row(uint16_t* dst, const uint16_t* src, int n, uint16_t key) {            \
    Name(dst, src, n, key);                                                                   \
  }                                                                                           \
  Target void Name##Rect(uint16_t* dst, size_t dstPitch, const uint16_t* src, size_t srcPitch, \
                         int width, int height, uint16_t key) {                               \
    for (int y = 0; y < height; ++y, dst += dstPitch, src += srcPitch) Name(dst, src, width, key); \
  }

OX_KEYED_PATH(RowScalar, )
#if OX_ROWS_X86
OX_KEYED_PATH(RowSse2, )
OX_KEYED_PATH(RowAvx2, __attribute__((target("avx2"))))
OX_KEYED_PATH(RowAvx512, __attribute__((target("avx512f,avx512bw"))))
#endif

struct PathEntry {
  const char* name;
  KeyedRowFn row;
  KeyedRectFn rect;
  OpaqueRectFn opaque;
};

#if OX_ROWS_X86
constexpr PathEntry kPaths[kRowPathCount] = {
    {"scalar", RowScalarRow, RowScalarRect, OpaqueRows},
    {"sse2", RowSse2Row, RowSse2Rect, OpaqueRows},
    {"avx2", RowAvx2Row, RowAvx2Rect, OpaqueRows},
    {"avx512", RowAvx512Row, RowAvx512Rect, OpaqueAvx512}};
#else
constexpr PathEntry kPaths[kRowPathCount] = {{"scalar", RowScalarRow, RowScalarRect, OpaqueRows},
                                             {"sse2", nullptr, nullptr, nullptr},
                                             {"avx2", nullptr, nullptr, nullptr},
                                             {"avx512", nullptr, nullptr, nullptr}};
#endif

bool Supported(RowPath path) {
  const int i = int(path);
  if (i < 0 || i >= kRowPathCount || !kPaths[i].row) return false;
#if OX_ROWS_X86
  switch (path) {
    case RowPath::Scalar: return true;
    case RowPath::Sse2: return __builtin_cpu_supports("sse2");
    case RowPath::Avx2: return __builtin_cpu_supports("avx2");
    case RowPath::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
  }
  return false;
#else
  return path == RowPath::Scalar;
#endif
}

// The widest available path, narrowed to OX_BLIT_PATH when that names an
// available one.
RowPath Choose() {
#if OX_ROWS_X86
  __builtin_cpu_init();
#endif
  RowPath best = RowPath::Scalar;
  for (int i = kRowPathCount - 1; i > 0; --i) {
    if (Supported(RowPath(i))) {
      best = RowPath(i);
      break;
    }
  }
  if (const char* want = std::getenv("OX_BLIT_PATH")) {
    for (int i = 0; i < kRowPathCount; ++i) {
      if (std::strcmp(want, kPaths[i].name) == 0 && Supported(RowPath(i))) return RowPath(i);
    }
  }
  return best;
}

void RectFirstUse(uint16_t* dst, size_t dstPitch, const uint16_t* src, size_t srcPitch, int width,
                  int height, uint16_t key);

constinit KeyedRectFn g_rect = RectFirstUse;
constinit OpaqueRectFn g_opaque = OpaqueRows;
constinit RowPath g_path = RowPath::Scalar;

void Install(RowPath path) {
  g_path = path;
  g_rect = kPaths[int(path)].rect;
  g_opaque = kPaths[int(path)].opaque;
}

void RectFirstUse(uint16_t* dst, size_t dstPitch, const uint16_t* src, size_t srcPitch, int width,
                  int height, uint16_t key) {
  Install(Choose());
  g_rect(dst, dstPitch, src, srcPitch, width, height, key);
}

}  // namespace

bool RowPathAvailable(RowPath path) { return Supported(path); }

RowPath CurrentRowPath() {
  if (g_rect == RectFirstUse) Install(Choose());
  return g_path;
}

bool SetRowPath(RowPath path) {
  if (!Supported(path)) return false;
  Install(path);
  return true;
}

const char* RowPathName(RowPath path) {
  const int i = int(path);
  return i >= 0 && i < kRowPathCount ? kPaths[i].name : "?";
}

KeyedRowFn KeyedRowFor(RowPath path) { return Supported(path) ? kPaths[int(path)].row : nullptr; }

KeyedRowFn CurrentKeyedRow() { return kPaths[int(CurrentRowPath())].row; }

KeyedRectFn CurrentKeyedRect() {
  if (g_rect == RectFirstUse) Install(Choose());
  return g_rect;
}

OpaqueRectFn CurrentOpaqueRect() {
  if (g_rect == RectFirstUse) Install(Choose());
  return g_opaque;
}

}  // namespace oxd
