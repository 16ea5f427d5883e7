// Filters over a rectangle of the back buffer: the blur, the rising smear
// (both with a fading variant) and the brightening grain. They work on the
// 5-bit channel values (a 6-bit channel halved) and put them back in place.
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "core/app_state.h"
#include "core/ox_app.h"
#include "draw/effects_clip.h"
#include "draw/ox_draw.h"

namespace oxd {

namespace {
constinit EffectState g_effects{};
}  // namespace

EffectState& Effects() { return g_effects; }

void ResetEffectState() { g_effects = EffectState{}; }

int RestartRandomIndex() { return ox::Random() % 1000; }

int NextRandomIndex(int index) {
  ++index;
  if (index > 9999 || index < 0) index = RestartRandomIndex();
  return index;
}

}  // namespace oxd

namespace {

using oxd::ChannelLayout;
using oxd::FilterArea;
using oxd::RandomWalk;

// The three 5-bit channels of a pixel side by side in one word, ten bits
// apart, so that sums of up to 32 pixels and shifts work on all three at
// once without carrying into each other.
constexpr uint32_t kFieldLow = 1u | (1u << 10) | (1u << 20);
constexpr uint32_t kField31 = 31u * kFieldLow;

struct Spreader {
  int pr, pg, pb;
  uint32_t Spread(uint32_t p) const {
    return ((p >> pr) & 31) | (((p >> pg) & 31) << 10) | (((p >> pb) & 31) << 20);
  }
  uint16_t Pack(uint32_t v) const {
    return uint16_t(((v & 31) << pr) | (((v >> 10) & 31) << pg) | (((v >> 20) & 31) << pb));
  }
};

Spreader MakeSpreader() {
  const ChannelLayout lay = oxd::Layout();
  return {lay.pos[0], lay.pos[1], lay.pos[2]};
}

// The fields of a fade: 1 in each channel whose flag is non-zero.
uint32_t FadeFields(int red, int green, int blue) {
  return (red ? 1u : 0u) | (green ? 1u << 10 : 0u) | (blue ? 1u << 20 : 0u);
}

// Lowers by 1 every field of `fade` that is above 0.
inline uint32_t FadeDown(uint32_t v, uint32_t fade) { return v - (((v + kField31) >> 5) & fade); }

// (left + right + above + below) >> 2 on every channel at once.
inline uint32_t Average(uint32_t l, uint32_t r, uint32_t a, uint32_t b) {
  return ((l + r + a + b) >> 2) & kField31;
}

// Blur in place, row by row from the top and left to right: the left and
// upper neighbours are already blurred (and faded) when a pixel is worked.
int BlurArea(int x, int y, int width, int height, uint32_t fade) {
  const oxd::EffectSurfaces surfaces = oxd::LockBack();
  if (!surfaces.ok) return 0;
  FilterArea a;
  if (!oxd::CutToBack(x, y, width, height, *surfaces.back, a)) return 1;
  if (a.width < 3 || a.height < 3) return 1;  // no interior pixel
  const Spreader sp = MakeSpreader();
  const size_t pitch = size_t(surfaces.back->pitch);
  for (int r = 1; r < a.height - 1; ++r) {
    uint16_t* row = oxd::PixelPtr(*surfaces.back, a.x, a.y + r);
    const uint16_t* above = row - pitch;
    const uint16_t* below = row + pitch;
    uint32_t left = sp.Spread(row[0]);
    for (int c = 1; c < a.width - 1; ++c) {
      uint32_t v = Average(left, sp.Spread(row[c + 1]), sp.Spread(above[c]), sp.Spread(below[c]));
      v = FadeDown(v, fade);
      row[c] = sp.Pack(v);
      left = v;
    }
  }
  return 1;
}

// The rising smear: each interior pixel writes the pixel one row above it,
// the (faded) average of its four neighbours while the walk's counter is
// below the current random-table entry, else a copy of itself, after which
// the counter restarts and the walk takes the next entry. Every value read
// is still the original: a row is written only while the row below it is
// walked.
int RiseArea(int x, int y, int width, int height, uint32_t fade, RandomWalk& walk) {
  const oxd::EffectSurfaces surfaces = oxd::LockBack();
  if (!surfaces.ok) return 0;
  FilterArea a;
  if (!oxd::CutToBack(x, y, width, height, *surfaces.back, a)) return 1;
  if (a.width < 3 || a.height < 3) return 1;
  const Spreader sp = MakeSpreader();
  const uint8_t* const table = oxd::Tables().random;
  const size_t pitch = size_t(surfaces.back->pitch);
  int index = walk.index >= 0 && walk.index < 10000 ? walk.index : 0;
  int counter = walk.counter;
  int entry = table[index];
  for (int r = 1; r < a.height - 1; ++r) {
    uint16_t* row = oxd::PixelPtr(*surfaces.back, a.x, a.y + r);
    uint16_t* above = row - pitch;
    const uint16_t* below = row + pitch;
    uint32_t left = sp.Spread(row[0]), centre = sp.Spread(row[1]);
    for (int c = 1; c < a.width - 1; ++c) {
      // Both values are worked out and one is chosen without a branch: the
      // choice follows the random table and would defeat prediction.
      const uint32_t right = sp.Spread(row[c + 1]);
      const uint16_t smear =
          sp.Pack(FadeDown(Average(left, right, sp.Spread(above[c]), sp.Spread(below[c])), fade));
      const bool average = counter < entry;
      above[c] = average ? smear : row[c];
      counter = average ? counter + 1 : 0;
      index += average ? 0 : 1;
      if (index > 9999) index = oxd::RestartRandomIndex();
      entry = table[index];
      left = centre;
      centre = right;
    }
  }
  walk.index = index;
  walk.counter = counter;
  return 1;
}

// Brightening grain: n = next random-table entry << shift, added to every
// chosen 5-bit channel with saturation at 31. Channels not chosen keep
// their full value.
int NoiseArea(int red, int green, int blue, int shift, int x, int y, int width, int height,
              RandomWalk& walk) {
  const oxd::EffectSurfaces surfaces = oxd::LockBack();
  if (!surfaces.ok) return 0;
  FilterArea a;
  if (!oxd::CutToBack(x, y, width, height, *surfaces.back, a)) return 1;
  // A grain of 2 << 5 already saturates every channel; a negative shift
  // counts as none.
  const int s = shift < 0 ? 0 : shift > 5 ? 5 : shift;
  const ChannelLayout lay = oxd::Layout();
  const Spreader sp = MakeSpreader();
  const uint32_t fields = FadeFields(red, green, blue) * 31;
  const uint16_t keep =
      uint16_t(~((red ? lay.mask[0] : 0) | (green ? lay.mask[1] : 0) | (blue ? lay.mask[2] : 0)));
  // Every grain value, spread over the chosen fields (entries are 0 to 2;
  // the fourth slot keeps any byte of the table a valid index).
  uint32_t grain[4];
  for (int e = 0; e < 4; ++e) grain[e] = uint32_t(e << s) * kFieldLow;
  const uint8_t* const table = oxd::Tables().random;
  int index = walk.index >= 0 && walk.index < 10000 ? walk.index : 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  const __m128i three = _mm_set1_epi8(3);
  const __m128i top = _mm_set1_epi16(31);
  const __m128i count = _mm_cvtsi32_si128(s);
  const __m128i keepMask = _mm_set1_epi16(static_cast<short>(keep));
  const bool chosen[3] = {red != 0, green != 0, blue != 0};
#endif
  for (int r = 0; r < a.height; ++r) {
    uint16_t* row = oxd::PixelPtr(*surfaces.back, a.x, a.y + r);
    int c = 0;
#ifdef __SSE2__
    // Eight pixels take eight consecutive entries; a block never runs past
    // entry 9999, so the walk restarts exactly where it would pixel by pixel.
    for (; c + 8 <= a.width && index + 8 <= 10000; c += 8) {
      const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + c));
      const __m128i bytes =
          _mm_and_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(table + index)), three);
      const __m128i grainV = _mm_sll_epi16(_mm_unpacklo_epi8(bytes, zero), count);
      __m128i out = _mm_and_si128(p, keepMask);
      for (int k = 0; k < 3; ++k) {
        if (!chosen[k]) continue;
        const __m128i at = _mm_cvtsi32_si128(lay.pos[k]);
        const __m128i v = _mm_and_si128(_mm_srl_epi16(p, at), top);
        out = _mm_or_si128(out, _mm_sll_epi16(_mm_min_epi16(_mm_add_epi16(v, grainV), top), at));
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + c), out);
      index += 8;
      if (index > 9999) index = oxd::RestartRandomIndex();
    }
#endif
    for (; c < a.width; ++c) {
      const uint32_t p = row[c];
      uint32_t v = sp.Spread(p) + grain[table[index] & 3];
      index = oxd::NextRandomIndex(index);
      // Saturate each field at 31: a field above 31 has bit 5 or 6 set.
      const uint32_t over = (v >> 5) & (kFieldLow * 3);
      const uint32_t overMask = ((over | (over >> 1)) & kFieldLow) * 31;
      v = (v | overMask) & fields;
      row[c] = uint16_t((p & keep) | sp.Pack(v));
    }
  }
  walk.index = index;
  return 1;
}

}  // namespace

int oxDraw::Blur(int x, int y, int width, int height) { return BlurArea(x, y, width, height, 0); }

int oxDraw::BlurFade(int red, int green, int blue, int x, int y, int width, int height) {
  return BlurArea(x, y, width, height, FadeFields(red, green, blue));
}

int oxDraw::Rise(int x, int y, int width, int height) {
  return RiseArea(x, y, width, height, 0, oxd::Effects().rise);
}

int oxDraw::RiseFade(int red, int green, int blue, int x, int y, int width, int height) {
  return RiseArea(x, y, width, height, FadeFields(red, green, blue), oxd::Effects().riseFade);
}

int oxDraw::Noise(int shift, int x, int y, int width, int height) {
  return NoiseArea(1, 1, 1, shift, x, y, width, height, oxd::Effects().noise);
}

int oxDraw::NoiseChannels(int red, int green, int blue, int shift, int x, int y, int width,
                          int height) {
  return NoiseArea(red, green, blue, shift, x, y, width, height, oxd::Effects().noiseChannels);
}
