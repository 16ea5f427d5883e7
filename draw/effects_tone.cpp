// Sprite effects that change the sprite's own tone before it replaces the
// destination pixel: shadow masks, darkening, scaling, channel filters and
// grey.
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "draw/effects_clip.h"
#include "draw/ox_draw.h"

namespace {

using oxd::ChannelLayout;

// A shadow mask: the source's red value darkens all three channels of the
// destination, d_c = subtractive[c][d_c][s_red].
void ShadowRow(uint16_t* d, const uint16_t* s, int n, const ChannelLayout& lay) {
  const int16_t* const sub = oxd::Tables().subtractive;
  const int16_t* const tr = sub;
  const int16_t* const tg = sub + 1024;
  const int16_t* const tb = sub + 2048;
  const int pr = lay.pos[0], pg = lay.pos[1], pb = lay.pos[2];
  for (int i = 0; i < n; ++i) {
    const uint32_t sp = s[i];
    if (sp == 0) continue;
    const uint32_t dp = d[i];
    const uint32_t red = (sp >> pr) & 31;
    d[i] = uint16_t(uint16_t(tr[((dp >> pr) & 31) << 5 | red]) |
                    uint16_t(tg[((dp >> pg) & 31) << 5 | red]) |
                    uint16_t(tb[((dp >> pb) & 31) << 5 | red]));
  }
}

// The sprite darkened by 31 - level per channel: d_c = subtractive[c][s_c][k_c].
void DarkRow(uint16_t* d, const uint16_t* s, int n, const int k[3], const ChannelLayout& lay) {
  const int16_t* const sub = oxd::Tables().subtractive;
  const int16_t* const tr = sub + k[0];
  const int16_t* const tg = sub + 1024 + k[1];
  const int16_t* const tb = sub + 2048 + k[2];
  const int pr = lay.pos[0], pg = lay.pos[1], pb = lay.pos[2];
  for (int i = 0; i < n; ++i) {
    const uint32_t sp = s[i];
    if (sp == 0) continue;
    d[i] = uint16_t(uint16_t(tr[((sp >> pr) & 31) << 5]) | uint16_t(tg[((sp >> pg) & 31) << 5]) |
                    uint16_t(tb[((sp >> pb) & 31) << 5]));
  }
}

int DrawDarkLevels(int x, int y, const int level[3], int handle, int sl, int st, int sr, int sb) {
  const ChannelLayout lay = oxd::Layout();
  const int k[3] = {31 - oxd::ClampLevel(level[0]), 31 - oxd::ClampLevel(level[1]),
                    31 - oxd::ClampLevel(level[2])};
  return oxd::RunSpriteEffect(
      x, y, handle, sl, st, sr, sb,
      [&](uint16_t* d, const uint16_t* s, int n, int) { DarkRow(d, s, n, k, lay); });
}

// d_c = trunc(s_c x factor_c) at full precision, held to the channel's
// range so that a factor above 1 saturates instead of spilling into the
// neighbouring channel. Built once per call: one entry per channel value.
struct ScaleTables {
  uint16_t t[3][64];
};

ScaleTables BuildScale(const float factor[3], const ChannelLayout& lay) {
  ScaleTables st{};
  for (int c = 0; c < 3; ++c) {
    // 64 already saturates every non-zero value of a 6-bit channel; NaN
    // and negative factors give 0.
    float f = factor[c] >= 0.0f ? factor[c] : 0.0f;
    if (f > 64.0f) f = 64.0f;
    const uint32_t max = lay.max[c] < 63 ? lay.max[c] : 63;
    for (uint32_t v = 0; v <= max; ++v) {
      uint32_t scaled = uint32_t(float(int(v)) * f);
      if (scaled > lay.max[c]) scaled = lay.max[c];
      st.t[c][v] = uint16_t(scaled << lay.shift[c]);
    }
  }
  return st;
}

void ScaleRow(uint16_t* d, const uint16_t* s, int n, const ScaleTables& st,
              const ChannelLayout& lay) {
  const uint16_t* const tr = st.t[0];
  const uint16_t* const tg = st.t[1];
  const uint16_t* const tb = st.t[2];
  const int hr = lay.shift[0], hg = lay.shift[1], hb = lay.shift[2];
  const uint32_t mr = lay.max[0] & 63, mg = lay.max[1] & 63, mb = lay.max[2] & 63;
  for (int i = 0; i < n; ++i) {
    const uint32_t sp = s[i];
    if (sp == 0) continue;
    d[i] = uint16_t(tr[(sp >> hr) & mr] | tg[(sp >> hg) & mg] | tb[(sp >> hb) & mb]);
  }
}

int DrawScaledFactors(int x, int y, const float factor[3], int handle, int sl, int st, int sr,
                      int sb) {
  const ChannelLayout lay = oxd::Layout();
  const ScaleTables tables = BuildScale(factor, lay);
  return oxd::RunSpriteEffect(
      x, y, handle, sl, st, sr, sb,
      [&](uint16_t* d, const uint16_t* s, int n, int) { ScaleRow(d, s, n, tables, lay); });
}

void ChannelsRow(uint16_t* d, const uint16_t* s, int n, uint16_t mask) {
  int i = 0;
#ifdef __SSE2__
  const __m128i m = _mm_set1_epi16(static_cast<short>(mask));
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= n; i += 8) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i clear = _mm_cmpeq_epi16(sv, zero);
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(d + i),
        _mm_or_si128(_mm_and_si128(clear, dv), _mm_andnot_si128(clear, _mm_and_si128(sv, m))));
  }
#endif
  for (; i < n; ++i) {
    if (s[i] != 0) d[i] = uint16_t(s[i] & mask);
  }
}

// g = third[s_red + s_green + s_blue], placed in all three channels.
void GreyRow(uint16_t* d, const uint16_t* s, int n, const ChannelLayout& lay) {
  const int16_t* const third = oxd::Tables().third;
  const int pr = lay.pos[0], pg = lay.pos[1], pb = lay.pos[2];
  for (int i = 0; i < n; ++i) {
    const uint32_t sp = s[i];
    if (sp == 0) continue;
    const uint32_t g = uint32_t(third[((sp >> pr) & 31) + ((sp >> pg) & 31) + ((sp >> pb) & 31)]);
    d[i] = uint16_t((g << pr) | (g << pg) | (g << pb));
  }
}

}  // namespace

int oxDraw::DrawShadow(int x, int y, int handle, int sl, int st, int sr, int sb) {
  const ChannelLayout lay = oxd::Layout();
  return oxd::RunSpriteEffect(
      x, y, handle, sl, st, sr, sb,
      [&](uint16_t* d, const uint16_t* s, int n, int) { ShadowRow(d, s, n, lay); });
}

int oxDraw::DrawDark(int x, int y, int level, int handle, int sl, int st, int sr, int sb) {
  const int levels[3] = {level, level, level};
  return DrawDarkLevels(x, y, levels, handle, sl, st, sr, sb);
}

int oxDraw::DrawDarkRGB(int x, int y, int levelRed, int levelGreen, int levelBlue, int handle,
                        int sl, int st, int sr, int sb) {
  const int levels[3] = {levelRed, levelGreen, levelBlue};
  return DrawDarkLevels(x, y, levels, handle, sl, st, sr, sb);
}

int oxDraw::DrawScaled(int x, int y, float factor, int handle, int sl, int st, int sr, int sb) {
  const float f[3] = {factor, factor, factor};
  return DrawScaledFactors(x, y, f, handle, sl, st, sr, sb);
}

int oxDraw::DrawScaledRGB(int x, int y, float factorRed, float factorGreen, float factorBlue,
                          int handle, int sl, int st, int sr, int sb) {
  const float f[3] = {factorRed, factorGreen, factorBlue};
  return DrawScaledFactors(x, y, f, handle, sl, st, sr, sb);
}

int oxDraw::DrawChannels(int x, int y, int red, int green, int blue, int handle, int sl, int st,
                         int sr, int sb) {
  const oxd::PixelFormat& f = oxd::Format();
  const uint16_t mask =
      uint16_t((red ? f.redMask : 0) | (green ? f.greenMask : 0) | (blue ? f.blueMask : 0));
  return oxd::RunSpriteEffect(
      x, y, handle, sl, st, sr, sb,
      [mask](uint16_t* d, const uint16_t* s, int n, int) { ChannelsRow(d, s, n, mask); });
}

int oxDraw::DrawGrey(int x, int y, int handle, int sl, int st, int sr, int sb) {
  const ChannelLayout lay = oxd::Layout();
  return oxd::RunSpriteEffect(
      x, y, handle, sl, st, sr, sb,
      [&](uint16_t* d, const uint16_t* s, int n, int) { GreyRow(d, s, n, lay); });
}
