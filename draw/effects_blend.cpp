// Blends of a sprite onto the back buffer: half and half, alpha, fading
// through, additive, and the two ramps whose weights grow across the area.
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "draw/effects_clip.h"
#include "draw/ox_draw.h"

namespace {

using oxd::ChannelLayout;

// ---------------------------------------------------------------- half

void HalfRow(uint16_t* d, const uint16_t* s, int n, uint16_t half) {
  int i = 0;
#ifdef __SSE2__
  const __m128i h = _mm_set1_epi16(static_cast<short>(half));
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= n; i += 8) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i mix = _mm_add_epi16(_mm_and_si128(_mm_srli_epi16(sv, 1), h),
                                      _mm_and_si128(_mm_srli_epi16(dv, 1), h));
    const __m128i clear = _mm_cmpeq_epi16(sv, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                     _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, mix)));
  }
#endif
  for (; i < n; ++i) {
    if (s[i] != 0) d[i] = uint16_t(((s[i] >> 1) & half) + ((d[i] >> 1) & half));
  }
}

// ---------------------------------------------------------------- table slices

// The fade-through and additive tables at one level per channel: for
// channel c, slice[c][a * 32 + b] is the new 5-bit value of the channel,
// already in its position, for source value a and destination value b.
struct Slices {
  const int16_t* t[3];
};

Slices FadeSlices(const int level[3]) {
  const int16_t* table = oxd::Tables().fadeThrough;
  Slices s;
  for (int c = 0; c < 3; ++c) s.t[c] = table + c * 32768 + (31 - oxd::ClampLevel(level[c])) * 1024;
  return s;
}

Slices AddSlices(int k) {
  const int16_t* table = oxd::Tables().additive;
  Slices s;
  for (int c = 0; c < 3; ++c) s.t[c] = table + c * 32768 + oxd::ClampLevel(k) * 1024;
  return s;
}

void SliceRow(uint16_t* d, const uint16_t* s, int n, const Slices& slices,
              const ChannelLayout& lay) {
  const int16_t* const tr = slices.t[0];
  const int16_t* const tg = slices.t[1];
  const int16_t* const tb = slices.t[2];
  const int pr = lay.pos[0], pg = lay.pos[1], pb = lay.pos[2];
  int i = 0;
#ifdef __SSE2__
  // Eight pixels at a time: the table indices (a << 5 | b) of each channel
  // are worked out side by side, then looked up one by one.
  const __m128i zero = _mm_setzero_si128();
  const __m128i five = _mm_set1_epi16(31);
  const __m128i cr = _mm_cvtsi32_si128(pr), cg = _mm_cvtsi32_si128(pg), cb = _mm_cvtsi32_si128(pb);
  alignas(16) uint16_t index[3][8];
  alignas(16) uint16_t mixed[8];
  for (; i + 8 <= n; i += 8) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i clear = _mm_cmpeq_epi16(sv, zero);
    if (_mm_movemask_epi8(clear) == 0xFFFF) continue;
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    auto Index = [&](__m128i count) {
      const __m128i a = _mm_and_si128(_mm_srl_epi16(sv, count), five);
      const __m128i b = _mm_and_si128(_mm_srl_epi16(dv, count), five);
      return _mm_or_si128(_mm_slli_epi16(a, 5), b);
    };
    _mm_store_si128(reinterpret_cast<__m128i*>(index[0]), Index(cr));
    _mm_store_si128(reinterpret_cast<__m128i*>(index[1]), Index(cg));
    _mm_store_si128(reinterpret_cast<__m128i*>(index[2]), Index(cb));
    for (int k = 0; k < 8; ++k) {
      mixed[k] = uint16_t(uint16_t(tr[index[0][k]]) | uint16_t(tg[index[1][k]]) |
                          uint16_t(tb[index[2][k]]));
    }
    const __m128i mv = _mm_load_si128(reinterpret_cast<const __m128i*>(mixed));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                     _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, mv)));
  }
#endif
  for (; i < n; ++i) {
    const uint32_t sp = s[i];
    if (sp == 0) continue;
    const uint32_t dp = d[i];
    const uint32_t r = uint16_t(tr[((sp >> pr) & 31) << 5 | ((dp >> pr) & 31)]);
    const uint32_t g = uint16_t(tg[((sp >> pg) & 31) << 5 | ((dp >> pg) & 31)]);
    const uint32_t b = uint16_t(tb[((sp >> pb) & 31) << 5 | ((dp >> pb) & 31)]);
    d[i] = uint16_t(r | g | b);
  }
}

int DrawSlices(int x, int y, int handle, int sl, int st, int sr, int sb, const Slices& slices) {
  const ChannelLayout lay = oxd::Layout();
  return oxd::RunSpriteEffect(
      x, y, handle, sl, st, sr, sb,
      [&](uint16_t* d, const uint16_t* s, int n, int) { SliceRow(d, s, n, slices, lay); });
}

// ---------------------------------------------------------------- alpha

// d_c = trunc(d_c x (1 - alpha_c) + s_c x alpha_c) at full precision. With
// alphas in 0..1 the result stays inside the channel.
void AlphaRow(uint16_t* d, const uint16_t* s, int n, const float alpha[3],
              const ChannelLayout& lay) {
  float a[3], keep[3];
  for (int c = 0; c < 3; ++c) {
    a[c] = alpha[c];
    keep[c] = 1.0f - alpha[c];
  }
  int i = 0;
#ifdef __SSE2__
  // Eight pixels at a time, the same single-precision operations as below.
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= n; i += 8) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i clear = _mm_cmpeq_epi16(sv, zero);
    if (_mm_movemask_epi8(clear) == 0xFFFF) continue;
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    __m128i out = zero;
    for (int c = 0; c < 3; ++c) {
      const __m128i at = _mm_cvtsi32_si128(lay.shift[c]);
      const __m128i max = _mm_set1_epi16(static_cast<short>(lay.max[c]));
      const __m128i sc = _mm_and_si128(_mm_srl_epi16(sv, at), max);
      const __m128i dc = _mm_and_si128(_mm_srl_epi16(dv, at), max);
      const __m128 ka = _mm_set1_ps(a[c]), kk = _mm_set1_ps(keep[c]);
      auto Mix = [&](__m128i s32, __m128i d32) {
        return _mm_cvttps_epi32(
            _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(d32), kk), _mm_mul_ps(_mm_cvtepi32_ps(s32), ka)));
      };
      const __m128i low = Mix(_mm_unpacklo_epi16(sc, zero), _mm_unpacklo_epi16(dc, zero));
      const __m128i high = Mix(_mm_unpackhi_epi16(sc, zero), _mm_unpackhi_epi16(dc, zero));
      const __m128i v = _mm_min_epi16(_mm_packs_epi32(low, high), max);
      out = _mm_or_si128(out, _mm_sll_epi16(v, at));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                     _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, out)));
  }
#endif
  for (; i < n; ++i) {
    const uint32_t sp = s[i];
    if (sp == 0) continue;
    const uint32_t dp = d[i];
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
      const uint32_t sc = (sp >> lay.shift[c]) & lay.max[c];
      const uint32_t dc = (dp >> lay.shift[c]) & lay.max[c];
      uint32_t v = uint32_t(float(int(dc)) * keep[c] + float(int(sc)) * a[c]);
      if (v > lay.max[c]) v = lay.max[c];
      out |= v << lay.shift[c];
    }
    d[i] = uint16_t(out);
  }
}

int DrawAlphas(int x, int y, const float alpha[3], int handle, int sl, int st, int sr, int sb) {
  const ChannelLayout lay = oxd::Layout();
  const float a[3] = {oxd::ClampUnit(alpha[0]), oxd::ClampUnit(alpha[1]), oxd::ClampUnit(alpha[2])};
  return oxd::RunSpriteEffect(
      x, y, handle, sl, st, sr, sb,
      [&](uint16_t* d, const uint16_t* s, int n, int) { AlphaRow(d, s, n, a, lay); });
}

// ---------------------------------------------------------------- ramps

// Positions (counted from 0, the first drawn pixel or row) at which a ramp
// raises its weights: start + k x step for k = 1, 2, ..., those at or after
// position 0. A step below 1 counts as 1.
struct RampPoints {
  int64_t first;
  int64_t step;
};

RampPoints Points(int start, int step) {
  RampPoints p;
  p.step = step < 1 ? 1 : step;
  p.first = int64_t(start) + p.step;
  if (p.first < 0) p.first += (-p.first + p.step - 1) / p.step * p.step;
  return p;
}

// Alphas of the alpha ramp: each raise adds 1/32, up to 1.
struct AlphaWeights {
  float a[3];
  bool Raise() {
    bool changed = false;
    for (float& v : a) {
      if (v < 1.0f) {
        v += 0.03125f;
        if (v > 1.0f) v = 1.0f;
        changed = true;
      }
    }
    return changed;
  }
  bool Full() const { return a[0] >= 1.0f && a[1] >= 1.0f && a[2] >= 1.0f; }
};

// Levels of the fade ramp: each raise adds 1, up to 31.
struct LevelWeights {
  int level[3];
  bool Raise() {
    bool changed = false;
    for (int& v : level) {
      if (v < 31) {
        ++v;
        changed = true;
      }
    }
    return changed;
  }
  bool Full() const { return level[0] >= 31 && level[1] >= 31 && level[2] >= 31; }
};

// Walks a ramp over the drawn area. Direction 0: the weights grow along each
// row and restart at every row; any other direction: they grow down the
// rows. draw(d, s, n, weights) draws a run of pixels at constant weights.
template <class Weights, class DrawRun>
int RunRamp(int x, int y, int direction, int start, int step, int handle, int sl, int st, int sr,
            int sb, const Weights& initial, DrawRun draw) {
  oxd::SpriteSpan span;
  const oxd::Prep prep = oxd::PrepareSpriteEffect(x, y, handle, sl, st, sr, sb, span);
  if (prep != oxd::Prep::Draw) return oxd::Finish(prep);
  const RampPoints points = Points(start, step);
  Weights rowWeights = initial;
  int64_t nextRow = points.first;
  for (int r = 0; r < span.height; ++r) {
    uint16_t* d = span.dst + size_t(r) * span.dstPitch;
    const uint16_t* s = span.src + size_t(r) * span.srcPitch;
    if (direction != 0) {
      if (r == nextRow) {
        rowWeights.Raise();
        nextRow += points.step;
      }
      draw(d, s, span.width, rowWeights);
      continue;
    }
    Weights w = initial;
    int64_t next = points.first;
    int64_t p = 0;
    while (p < span.width) {
      const int64_t end = w.Full() || next > span.width ? span.width : next;
      draw(d + p, s + p, int(end - p), w);
      p = end;
      if (p == next) {
        w.Raise();
        next += points.step;
      }
    }
  }
  return 1;
}

}  // namespace

int oxDraw::DrawHalf(int x, int y, int handle, int sl, int st, int sr, int sb) {
  const uint16_t half = uint16_t(oxd::Format().halfMask);
  return oxd::RunSpriteEffect(
      x, y, handle, sl, st, sr, sb,
      [half](uint16_t* d, const uint16_t* s, int n, int) { HalfRow(d, s, n, half); });
}

int oxDraw::DrawAlpha(int x, int y, float alpha, int handle, int sl, int st, int sr, int sb) {
  const float a[3] = {alpha, alpha, alpha};
  return DrawAlphas(x, y, a, handle, sl, st, sr, sb);
}

int oxDraw::DrawAlphaRGB(int x, int y, float alphaRed, float alphaGreen, float alphaBlue,
                         int handle, int sl, int st, int sr, int sb) {
  const float a[3] = {alphaRed, alphaGreen, alphaBlue};
  return DrawAlphas(x, y, a, handle, sl, st, sr, sb);
}

int oxDraw::DrawFade(int x, int y, int level, int handle, int sl, int st, int sr, int sb) {
  const int levels[3] = {level, level, level};
  return DrawSlices(x, y, handle, sl, st, sr, sb, FadeSlices(levels));
}

int oxDraw::DrawFadeRGB(int x, int y, int levelRed, int levelGreen, int levelBlue, int handle,
                        int sl, int st, int sr, int sb) {
  const int levels[3] = {levelRed, levelGreen, levelBlue};
  return DrawSlices(x, y, handle, sl, st, sr, sb, FadeSlices(levels));
}

int oxDraw::DrawAlphaRamp(int x, int y, float alphaRed, float alphaGreen, float alphaBlue,
                          int direction, int start, int step, int handle, int sl, int st, int sr,
                          int sb) {
  const ChannelLayout lay = oxd::Layout();
  const AlphaWeights initial{
      {oxd::ClampUnit(alphaRed), oxd::ClampUnit(alphaGreen), oxd::ClampUnit(alphaBlue)}};
  return RunRamp(x, y, direction, start, step, handle, sl, st, sr, sb, initial,
                 [&](uint16_t* d, const uint16_t* s, int n, const AlphaWeights& w) {
                   AlphaRow(d, s, n, w.a, lay);
                 });
}

int oxDraw::DrawFadeRamp(int x, int y, int levelRed, int levelGreen, int levelBlue, int direction,
                         int start, int step, int handle, int sl, int st, int sr, int sb) {
  const ChannelLayout lay = oxd::Layout();
  const LevelWeights initial{
      {oxd::ClampLevel(levelRed), oxd::ClampLevel(levelGreen), oxd::ClampLevel(levelBlue)}};
  return RunRamp(x, y, direction, start, step, handle, sl, st, sr, sb, initial,
                 [&](uint16_t* d, const uint16_t* s, int n, const LevelWeights& w) {
                   SliceRow(d, s, n, FadeSlices(w.level), lay);
                 });
}

int oxDraw::DrawAdd(int x, int y, int handle, int sl, int st, int sr, int sb) {
  return DrawSlices(x, y, handle, sl, st, sr, sb, AddSlices(0));
}

int oxDraw::DrawAddAlpha(int x, int y, float alpha, int handle, int sl, int st, int sr, int sb) {
  return DrawSlices(x, y, handle, sl, st, sr, sb, AddSlices(oxd::LevelFromAlpha(alpha)));
}
