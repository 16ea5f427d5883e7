// Sprite effects that move pixels rather than recolour them: the mirrored
// draw, the soft (box-averaged) draw and the refraction through a
// displacement map.
#include <cmath>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "draw/effects_clip.h"
#include "draw/ox_draw.h"

namespace {

using oxd::ChannelLayout;

// ---------------------------------------------------------------- mirror

// Copies the non-zero pixels of a row as they are.
void CopyRow(uint16_t* d, const uint16_t* s, int n) {
  int i = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= n; i += 8) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i clear = _mm_cmpeq_epi16(sv, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                     _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, sv)));
  }
#endif
  for (; i < n; ++i) {
    if (s[i] != 0) d[i] = s[i];
  }
}

// Copies the non-zero pixels of a row mirrored: d[i] = s[n - 1 - i].
void MirrorRow(uint16_t* d, const uint16_t* s, int n) {
  int i = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= n; i += 8) {
    __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 8 - i));
    sv = _mm_shufflelo_epi16(sv, 0x1B);
    sv = _mm_shufflehi_epi16(sv, 0x1B);
    sv = _mm_shuffle_epi32(sv, 0x4E);
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i clear = _mm_cmpeq_epi16(sv, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                     _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, sv)));
  }
#endif
  for (; i < n; ++i) {
    const uint16_t v = s[n - 1 - i];
    if (v != 0) d[i] = v;
  }
}

// ---------------------------------------------------------------- soft

// Column sums of the soft draw for the rows of the current window: one
// entry per column of the drawn area, which lies inside the back buffer (at
// most 65535 pixels wide). Small windows keep the three channels of a
// column in one word (21 bits each), larger ones in one array per channel.
// Static so that drawing never allocates; each call writes before it reads.
union ColumnSums {
  uint64_t packed[65536];
  uint32_t split[3][65536];
};
ColumnSums g_columns;

constexpr int kField = 21;
constexpr uint64_t kFieldMask = (uint64_t(1) << kField) - 1;

// floor(sum / divisor) without a division per pixel. Sums below 2^24: a
// multiplication by ceil(2^(24 + l) / divisor) and a shift, exact for every
// such sum (l = bits of the divisor); larger sums: a reciprocal estimate
// corrected by one step either way, exact below 2^52.
struct Divider {
  uint64_t divisor;
  uint64_t magic;
  int shift;
  bool small;
  double inverse;

  Divider(uint64_t d, uint64_t maxSum)
      : divisor(d), magic(0), shift(0), small(maxSum < (1u << 24)) {
    int l = 0;
    while ((uint64_t(1) << l) < d) ++l;
    shift = 24 + l;
    magic = ((uint64_t(1) << shift) + d - 1) / d;
    inverse = 1.0 / double(d);
  }
  uint32_t operator()(uint64_t sum) const {
    if (small) return uint32_t((sum * magic) >> shift);
    uint64_t q = uint64_t(double(int64_t(sum)) * inverse);
    if ((q + 1) * divisor <= sum) {
      ++q;
    } else if (q * divisor > sum) {
      --q;
    }
    return uint32_t(q);
  }
};

// The three full-precision channels of a pixel in 21-bit fields.
inline uint64_t Packed(uint32_t p, const ChannelLayout& lay) {
  return uint64_t((p >> lay.shift[0]) & lay.max[0]) |
         (uint64_t((p >> lay.shift[1]) & lay.max[1]) << kField) |
         (uint64_t((p >> lay.shift[2]) & lay.max[2]) << (2 * kField));
}

void AddRowPacked(const uint16_t* s, int n, const ChannelLayout& lay, bool add) {
  uint64_t* sums = g_columns.packed;
  if (add) {
    for (int j = 0; j < n; ++j) sums[j] += Packed(s[j], lay);
  } else {
    for (int j = 0; j < n; ++j) sums[j] -= Packed(s[j], lay);
  }
}

void AddRowSplit(const uint16_t* s, int n, const ChannelLayout& lay, bool add) {
  for (int c = 0; c < 3; ++c) {
    uint32_t* sums = g_columns.split[c];
    const int shift = lay.shift[c];
    const uint32_t max = lay.max[c];
    if (add) {
      for (int j = 0; j < n; ++j) sums[j] += (s[j] >> shift) & max;
    } else {
      for (int j = 0; j < n; ++j) sums[j] -= (s[j] >> shift) & max;
    }
  }
}

// One row of the soft draw from the column sums of its window rows: the
// window of width nx starts at the pixel and moves left where it would
// leave the area; d_c = window sum / divisor for every non-zero source
// pixel. Packed: every field stays below 2^21, so sums never carry.
void SoftRowPacked(uint16_t* d, const uint16_t* s, int w, int nx, const Divider& div,
                   const ChannelLayout& lay) {
  const uint64_t* columns = g_columns.packed;
  uint64_t sum = 0;
  for (int j = 0; j < nx; ++j) sum += columns[j];
  const int lastStart = w - nx;
  const int s0 = lay.shift[0], s1 = lay.shift[1], s2 = lay.shift[2];
  for (int col = 0; col < w; ++col) {
    if (col > 0 && col <= lastStart) sum += columns[col + nx - 1] - columns[col - 1];
    if (s[col] == 0) continue;
    d[col] = uint16_t((div(sum & kFieldMask) << s0) | (div((sum >> kField) & kFieldMask) << s1) |
                      (div(sum >> (2 * kField)) << s2));
  }
}

void SoftRowSplit(uint16_t* d, const uint16_t* s, int w, int nx, const Divider& div,
                  const ChannelLayout& lay) {
  uint64_t sum[3] = {0, 0, 0};
  for (int c = 0; c < 3; ++c) {
    for (int j = 0; j < nx; ++j) sum[c] += g_columns.split[c][j];
  }
  const int lastStart = w - nx;
  for (int col = 0; col < w; ++col) {
    if (col > 0 && col <= lastStart) {
      for (int c = 0; c < 3; ++c) {
        sum[c] += g_columns.split[c][col + nx - 1];
        sum[c] -= g_columns.split[c][col - 1];
      }
    }
    if (s[col] == 0) continue;
    d[col] = uint16_t((div(sum[0]) << lay.shift[0]) | (div(sum[1]) << lay.shift[1]) |
                      (div(sum[2]) << lay.shift[2]));
  }
}

// ---------------------------------------------------------------- refract

// trunc(31 - 31 x strength), kept to a range where every larger magnitude
// gives the same offsets (none reaches past the drawn area). NaN: no shift.
int64_t RefractBase(float strength) {
  const float k = 31.0f - 31.0f * strength;
  if (std::isnan(k)) return 31;
  if (k > 1e9f) return 1000000000;
  if (k < -1e9f) return -1000000000;
  return int64_t(k);
}

}  // namespace

// The left and top cuts of a mirrored sprite show, like the right and bottom
// cuts, the part of the whole mirrored sprite that falls inside the clip
// rectangle: the picture is mirrored first and clipped afterwards, so moving
// a mirrored sprite across any clip edge slides it without changing it.
int oxDraw::DrawMirror(int x, int y, int mode, int handle, int sl, int st, int sr, int sb) {
  const oxd::Surface* back = oxd::Scr().back;
  if (!back) return 0;
  oxd::EffectArea a;
  if (!oxd::CutToClip(x, y, sl, st, sr, sb, back->width, back->height, a)) return 1;
  const oxd::EffectSurfaces surfaces = oxd::LockSpriteAndBack(handle);
  if (!surfaces.ok) return 0;
  const bool flipX = mode == 1 || mode == 3;
  const bool flipY = mode == 2 || mode == 3;
  // The leftmost and topmost source pixels the drawn area shows.
  const int64_t left = flipX ? sl + a.fullWidth - a.cutLeft - a.width : a.sl;
  const int64_t top = flipY ? st + a.fullHeight - a.cutTop - a.height : a.st;
  if (!oxd::SourceInside(*surfaces.sprite, left, top, a.width, a.height)) return 0;
  for (int r = 0; r < a.height; ++r) {
    const int sourceRow = int(flipY ? top + a.height - 1 - r : top + r);
    const uint16_t* s = oxd::PixelPtr(*surfaces.sprite, int(left), sourceRow);
    uint16_t* d = oxd::PixelPtr(*surfaces.back, a.x, a.y + r);
    if (flipX) {
      MirrorRow(d, s, a.width);
    } else {
      CopyRow(d, s, a.width);
    }
  }
  return 1;
}

// The window is block x block pixels. Where the drawn area is narrower or
// lower than a block, the window covers the area along that side and the
// sum is divided by the pixels it holds; a block below 1 counts as 1.
int oxDraw::DrawSoft(int x, int y, int block, int handle, int sl, int st, int sr, int sb) {
  oxd::SpriteSpan span;
  const oxd::Prep prep = oxd::PrepareSpriteEffect(x, y, handle, sl, st, sr, sb, span);
  if (prep != oxd::Prep::Draw) return oxd::Finish(prep);
  const int w = span.width, h = span.height;
  if (w == 0 || h == 0) return 1;
  const int n = block < 1 ? 1 : block;
  const int nx = n < w ? n : w;
  const int ny = n < h ? n : h;
  const uint64_t count = uint64_t(nx) * uint64_t(ny);
  const ChannelLayout lay = oxd::Layout();
  uint64_t top = lay.max[0];
  if (lay.max[1] > top) top = lay.max[1];
  if (lay.max[2] > top) top = lay.max[2];
  const uint64_t maxSum = count * top;
  const Divider div(count, maxSum);
  const bool packed = maxSum <= kFieldMask;
  auto AddRow = [&](int r, bool add) {
    const uint16_t* s = span.src + size_t(r) * span.srcPitch;
    if (packed) {
      AddRowPacked(s, w, lay, add);
    } else {
      AddRowSplit(s, w, lay, add);
    }
  };

  if (packed) {
    for (int j = 0; j < w; ++j) g_columns.packed[j] = 0;
  } else {
    for (int c = 0; c < 3; ++c)
      for (int j = 0; j < w; ++j) g_columns.split[c][j] = 0;
  }
  for (int r = 0; r < ny; ++r) AddRow(r, true);
  // The window of row r starts at min(r, h - ny): it moves down with the
  // row until it reaches the bottom of the area.
  for (int r = 0; r < h; ++r) {
    if (r > 0 && r <= h - ny) {
      AddRow(r + ny - 1, true);
      AddRow(r - 1, false);
    }
    uint16_t* d = span.dst + size_t(r) * span.dstPitch;
    const uint16_t* s = span.src + size_t(r) * span.srcPitch;
    if (packed) {
      SoftRowPacked(d, s, w, nx, div, lay);
    } else {
      SoftRowSplit(d, s, w, nx, div, lay);
    }
  }
  return 1;
}

int oxDraw::DrawRefract(int x, int y, float strength, int handle, int sl, int st, int sr, int sb) {
  oxd::SpriteSpan span;
  const oxd::Prep prep = oxd::PrepareSpriteEffect(x, y, handle, sl, st, sr, sb, span);
  if (prep != oxd::Prep::Draw) return oxd::Finish(prep);
  const int64_t k = RefractBase(strength);
  const int pr = oxd::Format().redPosition;
  // Rows are walked from the top and offsets point down, so the pixel read
  // has not been changed yet.
  for (int r = 0; r < span.height; ++r) {
    const uint16_t* s = span.src + size_t(r) * span.srcPitch;
    uint16_t* d = span.dst + size_t(r) * span.dstPitch;
    const int64_t rowsBelow = span.height - r;
    for (int col = 0; col < span.width; ++col) {
      const uint32_t sp = s[col];
      if (sp == 0) continue;
      int64_t offset = int64_t((sp >> pr) & 31) - k;
      if (offset <= 0 || offset >= rowsBelow) continue;  // offset 0: the pixel itself
      d[col] = d[size_t(offset) * span.dstPitch + size_t(col)];
    }
  }
  return 1;
}
