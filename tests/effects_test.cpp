// Software pixel effects, checked pixel by pixel against values worked out
// by hand on small surfaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "draw/draw_state.h"
#include "draw/effect_tables.h"
#include "draw/effects_clip.h"
#include "draw/ox_draw.h"
#include "draw/ox_draw_status.h"
#include "tests/test_support.h"

namespace {

// RGB565 from full-precision channels (red 0..31, green 0..63, blue 0..31).
constexpr uint16_t Rgb(int r, int g, int b) { return uint16_t((r << 11) | (g << 5) | b); }
// RGB565 from 5-bit channels, as the effect tables put them back (lowest green bit 0).
constexpr uint16_t P5(int r, int g, int b) { return uint16_t((r << 11) | (g << 6) | b); }
constexpr uint16_t kMagenta = 0xF81F, kBack = 0x7777;

// A background where every pixel differs from its neighbours.
uint16_t Ground(int x, int y) { return P5((x * 3 + y) & 31, (y * 5 + x) & 31, (x + 2 * y) & 31); }

const std::vector<uint16_t>& GroundImage() {
  static const std::vector<uint16_t> image = [] {
    std::vector<uint16_t> v(640 * 480);
    for (int i = 0; i < 640 * 480; ++i) v[size_t(i)] = Ground(i % 640, i / 640);
    return v;
  }();
  return image;
}

// The far corner of a destination rectangle, held to the int range.
int Far(int64_t v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v); }

class EffectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    ASSERT_EQ(oxd::Tables().built16, 1);
    oxDraw::SetClip(0, 0, 640, 480);
    Fill(kBack);
  }
  static uint16_t& At(int x, int y) { return oxd::Scr().back->pixels[y * 640 + x]; }
  static void Fill(uint16_t v) { oxDraw::FillRect(0, 0, 640, 480, v); }
  static void FillGround() { Put(0, 0, 640, GroundImage()); }
  static uint16_t& Px(int h, int x, int y) {
    oxd::Surface* s = oxd::SpriteSurface(h);
    return s->pixels[y * s->pitch + x];
  }
  // A sprite whose pixels are listed row by row, or given by f(x, y).
  static int Sprite(int w, int h, const std::vector<uint16_t>& pixels) {
    const int handle = oxDraw::CreateObject(w, h, 1);
    EXPECT_GE(handle, 4);
    for (int i = 0; i < w * h; ++i) Px(handle, i % w, i / w) = pixels[size_t(i)];
    return handle;
  }
  static int Sprite(int w, int h, const std::function<uint16_t(int, int)>& f) {
    std::vector<uint16_t> p(size_t(w * h));
    for (int i = 0; i < w * h; ++i) p[size_t(i)] = f(i % w, i / w);
    return Sprite(w, h, p);
  }
  static void Put(int x, int y, int w, const std::vector<uint16_t>& v) {
    for (size_t i = 0; i < v.size(); ++i) At(x + int(i) % w, y + int(i) / w) = v[i];
  }
  // Checks the back-buffer rectangle at (x, y), w wide, against want, row by row.
  static void ExpectArea(int x, int y, int w, const std::vector<uint16_t>& want) {
    for (size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ(At(x + int(i) % w, y + int(i) / w), want[i]) << "at " << i % w << ", " << i / w;
    }
  }
  static int ChangedFromGround() {
    int n = 0;
    for (int i = 0; i < 640 * 480; ++i) n += At(i % 640, i / 640) != GroundImage()[size_t(i)];
    return n;
  }
};

// ------------------------------------------------------------ every sprite effect

using SpriteDraw = std::function<int(int x, int y, int h, int sl, int st, int sr, int sb)>;

struct NamedEffect {
  std::string name;
  SpriteDraw draw;
  bool sameWhenCut;  // the visible result does not depend on where the area is cut
};

// Every sprite effect as a draw at (x, y) of handle h's (l, t, r, b); the
// rotations get the destination rectangle where the sprite lies.
#define EFFECT(name, same, call)                                                                  \
  NamedEffect {                                                                                   \
    name, [](int x, int y, int h, int l, int t, int r, int b) { return oxDraw::call; }, same \
  }
#define FAR Far(int64_t(x) + r - l), Far(int64_t(y) + b - t)

std::vector<NamedEffect> AllSpriteEffects() {
  return {
      EFFECT("Mirror0", true, DrawMirror(x, y, 0, h, l, t, r, b)),
      EFFECT("Mirror1", true, DrawMirror(x, y, 1, h, l, t, r, b)),
      EFFECT("Mirror2", true, DrawMirror(x, y, 2, h, l, t, r, b)),
      EFFECT("Mirror3", true, DrawMirror(x, y, 3, h, l, t, r, b)),
      EFFECT("Half", true, DrawHalf(x, y, h, l, t, r, b)),
      EFFECT("Alpha", true, DrawAlpha(x, y, 0.5f, h, l, t, r, b)),
      EFFECT("AlphaRGB", true, DrawAlphaRGB(x, y, 0.25f, 0.5f, 0.75f, h, l, t, r, b)),
      EFFECT("Fade", true, DrawFade(x, y, 16, h, l, t, r, b)),
      EFFECT("FadeRGB", true, DrawFadeRGB(x, y, 8, 16, 24, h, l, t, r, b)),
      EFFECT("AlphaRamp", false, DrawAlphaRamp(x, y, 0.2f, 0.4f, 0.6f, 0, 1, 2, h, l, t, r, b)),
      EFFECT("FadeRamp", false, DrawFadeRamp(x, y, 4, 8, 12, 1, 0, 1, h, l, t, r, b)),
      EFFECT("Add", true, DrawAdd(x, y, h, l, t, r, b)),
      EFFECT("AddAlpha", true, DrawAddAlpha(x, y, 0.5f, h, l, t, r, b)),
      EFFECT("Shadow", true, DrawShadow(x, y, h, l, t, r, b)),
      EFFECT("Dark", true, DrawDark(x, y, 20, h, l, t, r, b)),
      EFFECT("DarkRGB", true, DrawDarkRGB(x, y, 10, 20, 30, h, l, t, r, b)),
      EFFECT("Scaled", true, DrawScaled(x, y, 0.5f, h, l, t, r, b)),
      EFFECT("ScaledRGB", true, DrawScaledRGB(x, y, 0.5f, 1.5f, 2.0f, h, l, t, r, b)),
      EFFECT("Channels", true, DrawChannels(x, y, 1, 0, 1, h, l, t, r, b)),
      EFFECT("Grey", true, DrawGrey(x, y, h, l, t, r, b)),
      EFFECT("Soft", false, DrawSoft(x, y, 2, h, l, t, r, b)),
      EFFECT("Refract", false, DrawRefract(x, y, 0.7f, h, l, t, r, b)),
      EFFECT("Rotate", true, DrawRotate(x, y, FAR, 0, h, l, t, r, b)),
      EFFECT("RotateZoom", true, DrawRotateZoom(x, y, FAR, 180, 1.0f, h, l, t, r, b)),
      EFFECT("RotateTiled", true, DrawRotateTiled(x, y, FAR, 90, h, l, t, r, b)),
  };
}

#undef FAR
#undef EFFECT

// A pixel equal to 0 is never drawn, even when the key is another colour;
// the key colour is drawn like any other.
TEST_F(EffectsTest, ZeroIsTransparentWhateverTheKey) {
  // Zeros in the middle 2 x 2 (the same after any quarter turn), magenta around them.
  auto Zero = [](int x, int y) { return (x == 1 || x == 2) && (y == 1 || y == 2); };
  for (const NamedEffect& e : AllSpriteEffects()) {
    SCOPED_TRACE(e.name);
    Fill(P5(10, 10, 10));
    const int h = Sprite(4, 4, [&](int x, int y) { return Zero(x, y) ? uint16_t(0) : kMagenta; });
    oxDraw::SetObjectKey(h, 0xFF00FF);
    ASSERT_EQ(oxd::SpriteSurface(h)->key, kMagenta);
    ASSERT_EQ(e.draw(100, 100, h, 0, 0, 4, 4), 1);
    int drawn = 0;
    for (int i = 0; i < 16; ++i) {
      const bool changed = At(100 + i % 4, 100 + i / 4) != P5(10, 10, 10);
      if (Zero(i % 4, i / 4)) { EXPECT_FALSE(changed) << i; }
      drawn += changed;
    }
    // A refraction through red 31 reaches past this small area: no move.
    EXPECT_EQ(drawn, e.name == "Refract" ? 0 : 12);
    oxDraw::ReleaseObject(h);
  }
}

// A sprite hanging over each side and each corner of the clip rectangle
// changes nothing outside it; inside, effects that do not depend on where
// the drawn area starts show exactly what the uncut draw shows there.
TEST_F(EffectsTest, ClippingOnAllFourSides) {
  // Clip (100, 50, 200, 150); an 8 x 6 sprite cut by 3 pixels on a side.
  const int places[][2] = {{97, 80}, {195, 80},  {150, 47}, {150, 147},
                           {97, 47}, {195, 147}, {97, 147}, {195, 47}};
  for (const NamedEffect& e : AllSpriteEffects()) {
    SCOPED_TRACE(e.name);
    const int h = Sprite(8, 6, [](int x, int y) {
      return (x + y) % 5 == 0 ? uint16_t(0) : P5(8 + x * 2, 30 - y * 3, (x * y + 13) & 31);
    });
    for (const auto& [px, py] : places) {
      SCOPED_TRACE(::testing::Message() << "at " << px << ", " << py);
      FillGround();
      ASSERT_EQ(e.draw(px, py, h, 0, 0, 8, 6), 1);
      std::vector<uint16_t> whole;
      for (int i = 0; i < 48; ++i) whole.push_back(At(px + i % 8, py + i / 8));
      FillGround();
      oxDraw::SetClip(100, 50, 200, 150);
      ASSERT_EQ(e.draw(px, py, h, 0, 0, 8, 6), 1);
      oxDraw::SetClip(0, 0, 640, 480);
      int same = 0, changedInside = 0;
      for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
          const bool changed = At(x, y) != Ground(x, y);
          if (!(x >= 100 && x < 200 && y >= 50 && y < 150)) {
            if (changed) FAIL() << "changed outside at " << x << ", " << y;
            continue;
          }
          changedInside += changed;
          if (x >= px && x < px + 8 && y >= py && y < py + 6) {
            same += At(x, y) == whole[size_t((y - py) * 8 + x - px)];
          }
        }
      }
      // Refraction offsets of 1 to 13 rows find nothing to pick in the three rows at a corner.
      if (e.name != "Refract" || py == 80) { EXPECT_GT(changedInside, 0); }
      const int visible = (std::min(px + 8, 200) - std::max(px, 100)) *
                          (std::min(py + 6, 150) - std::max(py, 50));
      if (e.sameWhenCut) { EXPECT_EQ(same, visible); }
    }
    oxDraw::ReleaseObject(h);
  }
}

// A clip rectangle reaching past the back buffer never lets an effect
// write outside it; the part inside is drawn as without the overhang.
TEST_F(EffectsTest, ClipBeyondTheBackBuffer) {
  const int h = Sprite(8, 8, [](int x, int y) { return P5(x + 1, y + 1, 5); });
  for (const NamedEffect& e : AllSpriteEffects()) {
    SCOPED_TRACE(e.name);
    oxDraw::SetClip(-100, -100, 1000, 1000);
    FillGround();
    for (const int x : {-4, 636})
      for (const int y : {-4, 476}) EXPECT_EQ(e.draw(x, y, h, 0, 0, 8, 8), 1);
    EXPECT_EQ(e.draw(INT_MIN, INT_MAX, h, 0, 0, 8, 8), 1);
    EXPECT_EQ(e.draw(INT_MAX, INT_MIN, h, 0, 0, 8, 8), 1);
    EXPECT_TRUE(e.name != "Mirror0" || (At(0, 0) == P5(5, 5, 5) && At(639, 479) == P5(4, 4, 5)));
  }
}

// Missing or lost surfaces, bad handles and source rectangles that leave
// the sprite draw nothing and return 0; a reversed rectangle returns 1.
TEST_F(EffectsTest, BadArgumentsDrawNothing) {
  const int h = Sprite(4, 4, [](int x, int y) { return P5(x + 3, y + 3, 9); });
  for (const NamedEffect& e : AllSpriteEffects()) {
    SCOPED_TRACE(e.name);
    FillGround();
    for (const int bad : {-1, 1024, 700, INT_MIN}) EXPECT_EQ(e.draw(10, 10, bad, 0, 0, 4, 4), 0);
    EXPECT_EQ(e.draw(10, 10, h, 0, 0, 5, 4), 0);
    EXPECT_EQ(e.draw(10, 10, h, -1, 0, 3, 4), 0);
    EXPECT_EQ(e.draw(10, 10, h, 0, 1, 4, 5), 0);
    EXPECT_EQ(e.draw(10, 10, h, INT_MIN, INT_MIN, INT_MAX, INT_MAX), 0);
    EXPECT_EQ(e.draw(10, 10, h, 3, 3, 1, 1), 1);
    EXPECT_EQ(ChangedFromGround(), 0);
  }
  oxd::MarkAllSurfacesLost();
  for (const NamedEffect& e : AllSpriteEffects()) EXPECT_EQ(e.draw(10, 10, h, 0, 0, 4, 4), 0);
  oxtest::StartHeadless();  // no screen at all
  for (const NamedEffect& e : AllSpriteEffects()) EXPECT_EQ(e.draw(10, 10, h, 0, 0, 4, 4), 0);
  EXPECT_EQ(oxDraw::Blur(0, 0, 10, 10), 0);
  EXPECT_EQ(oxDraw::Noise(0, 0, 0, 10, 10), 0);
  EXPECT_EQ(oxDraw::MosaicCircle(5, 5, 5, 2), 0);
  EXPECT_EQ(oxDraw::Zoom2(0, 0, 4, 4, 0), 0);
}

// ------------------------------------------------------------ blends

// One sprite pixel over one back-buffer pixel, worked out by hand.
TEST_F(EffectsTest, OnePixelBlends) {
  using D = oxDraw;
  const int s = Sprite(1, 1, {P5(20, 12, 7)}), t = Sprite(1, 1, {P5(20, 10, 5)});
  const int f = Sprite(1, 1, {Rgb(21, 41, 7)}), a = Sprite(1, 1, {Rgb(20, 40, 7)});
  const int mask = Sprite(1, 1, {P5(8, 31, 31)}), top = Sprite(1, 1, {Rgb(31, 63, 31)});
  const uint16_t d = P5(9, 30, 3), e = P5(15, 30, 3), g = Rgb(9, 61, 3);
  struct Blend { uint16_t under; std::function<int()> draw; uint16_t expected; };
  const Blend blends[] = {
      // Fade: max(s - (31 - level), 0) + max(d - level, 0), levels held to 0..31; the
      // tables hold 5-bit values, so a 6-bit green comes back without its lowest bit.
      {d, [&] { return D::DrawFade(0, 0, 31, s, 0, 0, 1, 1); }, P5(20, 12, 7)},
      {d, [&] { return D::DrawFade(0, 0, 0, s, 0, 0, 1, 1); }, d},
      {d, [&] { return D::DrawFade(0, 0, 16, s, 0, 0, 1, 1); }, P5(5, 14, 0)},
      {d, [&] { return D::DrawFade(0, 0, 40, s, 0, 0, 1, 1); }, P5(20, 12, 7)},
      {d, [&] { return D::DrawFade(0, 0, -3, s, 0, 0, 1, 1); }, d},
      {d, [&] { return D::DrawFadeRGB(0, 0, 31, 0, 16, s, 0, 0, 1, 1); }, P5(20, 30, 0)},
      {g, [&] { return D::DrawFade(0, 0, 0, s, 0, 0, 1, 1); }, d},
      // Add: min(31, s + d); with alpha, k = trunc(31 - 31 x alpha), min(31, max(s - k, 0) + d).
      {e, [&] { return D::DrawAdd(0, 0, s, 0, 0, 1, 1); }, P5(31, 31, 10)},
      {e, [&] { return D::DrawAddAlpha(0, 0, 0.5f, s, 0, 0, 1, 1); }, P5(20, 30, 3)},
      {e, [&] { return D::DrawAddAlpha(0, 0, 1.0f, s, 0, 0, 1, 1); }, P5(31, 31, 10)},
      {e, [&] { return D::DrawAddAlpha(0, 0, 0.0f, s, 0, 0, 1, 1); }, e},
      {e, [&] { return D::DrawAddAlpha(0, 0, 7.0f, s, 0, 0, 1, 1); }, P5(31, 31, 10)},
      {e, [&] { return D::DrawAddAlpha(0, 0, -1.0f, s, 0, 0, 1, 1); }, e},
      {e, [&] { return D::DrawAddAlpha(0, 0, NAN, s, 0, 0, 1, 1); }, e},
      // Half: ((s >> 1) & half) + ((d >> 1) & half).
      {Rgb(0, 2, 4), [&] { return D::DrawHalf(0, 0, top, 0, 0, 1, 1); }, Rgb(15, 32, 17)},
      // Alpha: trunc(d x (1 - a) + s x a) per channel at full precision.
      {g, [&] { return D::DrawAlpha(0, 0, 0.5f, a, 0, 0, 1, 1); }, Rgb(14, 50, 5)},
      {g, [&] { return D::DrawAlpha(0, 0, 0.25f, a, 0, 0, 1, 1); }, Rgb(11, 55, 4)},
      {g, [&] { return D::DrawAlpha(0, 0, 0.0f, a, 0, 0, 1, 1); }, g},
      {g, [&] { return D::DrawAlpha(0, 0, 1.0f, a, 0, 0, 1, 1); }, Rgb(20, 40, 7)},
      {g, [&] { return D::DrawAlphaRGB(0, 0, 1.0f, 0.0f, 0.5f, a, 0, 0, 1, 1); }, Rgb(20, 61, 5)},
      {g, [&] { return D::DrawAlphaRGB(0, 0, 3.0f, -2.0f, NAN, a, 0, 0, 1, 1); }, Rgb(20, 61, 3)},
      // Shadow: the source's red darkens all three. Dark: max(s - (31 - level), 0).
      {P5(20, 10, 5), [&] { return D::DrawShadow(0, 0, mask, 0, 0, 1, 1); }, P5(12, 2, 0)},
      {kBack, [&] { return D::DrawDark(0, 0, 25, t, 0, 0, 1, 1); }, P5(14, 4, 0)},
      {kBack, [&] { return D::DrawDark(0, 0, 31, t, 0, 0, 1, 1); }, P5(20, 10, 5)},
      {kBack, [&] { return D::DrawDarkRGB(0, 0, 31, 20, 0, t, 0, 0, 1, 1); }, P5(20, 0, 0)},
      {kBack, [&] { return D::DrawDarkRGB(0, 0, 99, -7, 31, t, 0, 0, 1, 1); }, P5(20, 0, 5)},
      // Scaled: trunc(s x factor) at full precision, saturating at the channel's top.
      {kBack, [&] { return D::DrawScaled(0, 0, 0.5f, f, 0, 0, 1, 1); }, Rgb(10, 20, 3)},
      {kBack, [&] { return D::DrawScaled(0, 0, 2.0f, f, 0, 0, 1, 1); }, Rgb(31, 63, 14)},
      {kBack, [&] { return D::DrawScaledRGB(0, 0, 1, 0, 1.5f, f, 0, 0, 1, 1); }, Rgb(21, 0, 10)},
      {kBack, [&] { return D::DrawScaledRGB(0, 0, 1e30f, -1, NAN, f, 0, 0, 1, 1); }, Rgb(31, 0, 0)},
      // Grey: third[r + g + b] of the 5-bit channels, in all three.
      {kBack, [&] { return D::DrawGrey(0, 0, a, 0, 0, 1, 1); }, P5(15, 15, 15)},
      {kBack, [&] { return D::DrawGrey(0, 0, top, 0, 0, 1, 1); }, P5(31, 31, 31)},
  };
  for (size_t i = 0; i < std::size(blends); ++i) {
    At(0, 0) = blends[i].under;
    EXPECT_EQ(blends[i].draw(), 1) << "row " << i;
    EXPECT_EQ(At(0, 0), blends[i].expected) << "row " << i;
  }
}

// Whole rows and areas, through the paths that take eight pixels at a time.
TEST_F(EffectsTest, WideAreasFollowThePixelRule) {
  // Half of the same picture: the lowest bit of each channel goes.
  FillGround();
  const int h = Sprite(
      32, 16, [](int x, int y) { return uint16_t(Ground(x, y) | (x & 1) | ((y & 1) << 5)); });
  for (int i = 0; i < 32 * 16; ++i) At(200 + i % 32, 100 + i / 32) = Px(h, i % 32, i / 32);
  EXPECT_EQ(oxDraw::DrawHalf(200, 100, h, 0, 0, 32, 16), 1);
  for (int i = 0; i < 32 * 16; ++i) {
    ASSERT_EQ(At(200 + i % 32, 100 + i / 32), Px(h, i % 32, i / 32) & ~0x0821) << i;
  }
  // Alpha: exactly the single-precision trunc(d x (1 - a) + s x a) of every channel.
  auto Src = [](int x) {
    return x % 7 == 3 ? uint16_t(0) : Rgb((x * 5) & 31, (x * 11) & 63, (x * 3 + 1) & 31);
  };
  auto Dst = [](int x) { return Rgb((x * 7 + 2) & 31, (x * 13 + 5) & 63, (x * 17) & 31); };
  const int row = Sprite(29, 1, [&](int x, int) { return Src(x); });
  const float alpha[3] = {0.3f, 0.77f, 0.51f};
  const int shift[3] = {11, 5, 0}, max[3] = {31, 63, 31};
  for (int x = 0; x < 29; ++x) At(x, 0) = Dst(x);
  EXPECT_EQ(oxDraw::DrawAlphaRGB(0, 0, alpha[0], alpha[1], alpha[2], row, 0, 0, 29, 1), 1);
  for (int x = 0; x < 29; ++x) {
    int expected = 0;
    for (int c = 0; c < 3; ++c) {
      const int sc = (Src(x) >> shift[c]) & max[c], dc = (Dst(x) >> shift[c]) & max[c];
      expected |= int(float(dc) * (1.0f - alpha[c]) + float(sc) * alpha[c]) << shift[c];
    }
    EXPECT_EQ(At(x, 0), Src(x) == 0 ? Dst(x) : expected) << x;
  }
  // Channels keeps only the chosen ones.
  const int wide = Sprite(20, 1, [](int x, int) { return uint16_t(0x1357 * (x + 1)); });
  EXPECT_EQ(oxDraw::DrawChannels(0, 1, 1, 0, 1, wide, 0, 0, 20, 1), 1);
  EXPECT_EQ(oxDraw::DrawChannels(0, 2, 0, 7, 0, wide, 0, 0, 20, 1), 1);
  for (int x = 0; x < 20; ++x) {
    EXPECT_EQ(At(x, 1), uint16_t(0x1357 * (x + 1)) & 0xF81F) << x;
    EXPECT_EQ(At(x, 2), uint16_t(0x1357 * (x + 1)) & 0x07E0) << x;
  }
}

TEST_F(EffectsTest, AlphaRampGrowsAlongRowsOrDownRows) {
  // Over black, full white shows trunc(31 x a) in red and blue, trunc(63 x a)
  // in green. From 0.5, start 1, step 2: raised at 3, 5 and 7 by 1/32 each.
  const int row = Sprite(8, 2, [](int, int) { return Rgb(31, 63, 31); });
  const int column = Sprite(2, 8, [](int, int) { return Rgb(31, 63, 31); });
  const int red[8] = {15, 15, 15, 16, 16, 17, 17, 18};
  const int green[8] = {31, 31, 31, 33, 33, 35, 35, 37};
  Fill(0);
  EXPECT_EQ(oxDraw::DrawAlphaRamp(0, 0, 0.5f, 0.5f, 0.5f, 0, 1, 2, row, 0, 0, 8, 2), 1);
  oxDraw::DrawAlphaRamp(20, 0, 0.5f, 0.5f, 0.5f, 1, 1, 2, column, 0, 0, 2, 8);
  for (int i = 0; i < 8; ++i) {
    for (int j = 0; j < 2; ++j) {  // each row (column) restarts
      EXPECT_EQ(At(i, j), Rgb(red[i], green[i], red[i])) << i;
      EXPECT_EQ(At(20 + j, i), Rgb(red[i], green[i], red[i])) << i;
    }
  }
  // Positions count from the first drawn pixel: cut by the clip, the ramp starts at the edge.
  Fill(0);
  oxDraw::SetClip(2, 0, 640, 480);
  oxDraw::DrawAlphaRamp(0, 0, 0.5f, 0.5f, 0.5f, 0, 1, 2, row, 0, 0, 8, 1);
  for (int x = 2; x < 8; ++x) EXPECT_EQ(At(x, 0) >> 11, red[x - 2]);
  // Up to 1, whatever the start; a step below 1 counts as 1.
  oxDraw::SetClip(0, 0, 640, 480);
  Fill(0);
  oxDraw::DrawAlphaRamp(0, 0, 0.97f, 0.0f, 0.9f, 0, -1, 0, row, 0, 0, 8, 1);
  EXPECT_EQ(At(0, 0), Rgb(31, 1, 28));   // 1.0, 0.03125, 0.93125
  EXPECT_EQ(At(7, 0), Rgb(31, 15, 31));  // 1.0, 0.25, 1.0
}

TEST_F(EffectsTest, FadeRampRisesToLevel31) {
  // A full sprite over black shows its level L in every channel.
  const int h = Sprite(40, 2, [](int, int) { return P5(31, 31, 31); });
  Fill(0);
  EXPECT_EQ(oxDraw::DrawFadeRamp(0, 0, 0, 0, 0, 0, 0, 1, h, 0, 0, 40, 2), 1);
  for (int x = 0; x < 40; ++x) {
    const int level = std::min(x, 31);
    EXPECT_TRUE(At(x, 0) == P5(level, level, level) && At(x, 1) == At(x, 0)) << x;
  }
  // Down the rows, start 2, step 3: raised at rows 5, 8, ...
  const int tall = Sprite(1, 12, [](int, int) { return P5(31, 31, 31); });
  oxDraw::DrawFadeRamp(0, 0, 10, 20, 30, 1, 2, 3, tall, 0, 0, 1, 12);
  const int raised[12] = {0, 0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 3};
  for (int y = 0; y < 12; ++y) {
    const int r = raised[y];
    EXPECT_EQ(At(0, y), P5(10 + r, 20 + r, std::min(30 + r, 31))) << y;
  }
}

// ------------------------------------------------------------ soft, refract, mirror

TEST_F(EffectsTest, SoftAveragesAWindowThatStaysInTheArea) {
  // Blue and green (full precision) of a 3 x 2 sprite; (0, 1) transparent.
  const int h = Sprite(3, 2, {Rgb(0, 1, 4), Rgb(0, 2, 8), Rgb(0, 3, 12),  //
                              0, Rgb(0, 5, 16), Rgb(0, 7, 20)});
  EXPECT_EQ(oxDraw::DrawSoft(10, 10, 2, h, 0, 0, 3, 2), 1);
  // (0,0): (1 + 2 + 0 + 5) / 4, (4 + 8 + 0 + 16) / 4; every other window is
  // moved into columns 1-2: (2 + 3 + 5 + 7) / 4, (8 + 12 + 16 + 20) / 4.
  ExpectArea(10, 10, 3,
             {Rgb(0, 2, 7), Rgb(0, 4, 14), Rgb(0, 4, 14), kBack, Rgb(0, 4, 14), Rgb(0, 4, 14)});
  // 3 x 3 windows on a 3 x 3 sprite: red 1..9 sums to 45 -> 5; blue to 36 -> 4.
  const int nine = Sprite(3, 3, [](int x, int y) { return Rgb(x + 3 * y + 1, 0, 2 * (x + y)); });
  EXPECT_EQ(oxDraw::DrawSoft(0, 0, 3, nine, 0, 0, 3, 3), 1);
  ExpectArea(0, 0, 3, std::vector<uint16_t>(9, Rgb(5, 0, 4)));
  // A block larger than the area covers the area; a block below 1 copies.
  Fill(kBack);
  oxDraw::DrawSoft(0, 0, 50, nine, 0, 0, 3, 3);
  EXPECT_EQ(At(2, 2), Rgb(5, 0, 4));
  for (const int n : {1, 0, -5}) {
    Fill(kBack);
    oxDraw::DrawSoft(0, 0, n, nine, 0, 0, 3, 3);
    EXPECT_EQ(At(2, 1), Rgb(6, 0, 6));
  }
  // Windows of any size, through each way of summing: a checkerboard of
  // (31, 63, 31) and (1, 1, 1) averages to (16, 32, 16) over any even window.
  const int board =
      Sprite(640, 480, [](int x, int y) { return (x + y) % 2 ? Rgb(31, 63, 31) : Rgb(1, 1, 1); });
  for (const int n : {2, 64, 180, 184, 200, 600, 640, 5000}) {
    Fill(kBack);
    EXPECT_EQ(oxDraw::DrawSoft(0, 0, n, board, 0, 0, 640, 480), 1);
    const uint16_t* p = oxd::Scr().back->pixels;
    EXPECT_EQ(std::count(p, p + 640 * 480, Rgb(16, 32, 16)), 640 * 480) << n;
  }
}

TEST_F(EffectsTest, RefractReadsRowsBelowWithinTheArea) {
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) At(x, y) = Rgb(0, y & 63, 1);
  auto Row = [](int y) { return Rgb(0, y & 63, 1); };
  // Strength 1: offset = the source's red value. Rows read from the row below
  // (still unchanged), offset 0, and 3 + 3 reaching the area's bottom (no move).
  const int h = Sprite(1, 6, {P5(1, 0, 1), P5(1, 0, 1), P5(0, 0, 1), P5(3, 0, 1), P5(1, 0, 1), 0});
  EXPECT_EQ(oxDraw::DrawRefract(0, 100, 1.0f, h, 0, 0, 1, 6), 1);
  ExpectArea(0, 100, 1, {Row(101), Row(102), Row(102), Row(103), Row(105), Row(105)});
  // Strength 0.5: k = trunc(31 - 15.5) = 15, offset = red - 15; the last
  // pixel's row below is outside the area.
  const int k = Sprite(1, 4, {P5(17, 0, 1), P5(15, 0, 1), P5(3, 0, 1), P5(16, 0, 1)});
  EXPECT_EQ(oxDraw::DrawRefract(1, 200, 0.5f, k, 0, 0, 1, 4), 1);
  ExpectArea(1, 200, 1, {Row(202), Row(201), Row(202), Row(203)});
  // Strength NaN or negative: nothing moves.
  EXPECT_EQ(oxDraw::DrawRefract(1, 300, NAN, k, 0, 0, 1, 4), 1);
  EXPECT_EQ(oxDraw::DrawRefract(1, 300, -1e30f, k, 0, 0, 1, 4), 1);
  EXPECT_EQ(At(1, 300), Row(300));
}

TEST_F(EffectsTest, MirrorModesAndTheirCuts) {
  // Codes 1 + x + 10 y of a 3 x 2 sprite.
  const int h = Sprite(3, 2, [](int x, int y) { return uint16_t(1 + x + 10 * y); });
  struct Case { int mode; std::vector<uint16_t> area; };
  for (const Case& c : {Case{0, {1, 2, 3, 11, 12, 13}}, Case{1, {3, 2, 1, 13, 12, 11}},
                        Case{2, {11, 12, 13, 1, 2, 3}}, Case{3, {13, 12, 11, 3, 2, 1}},
                        Case{7, {1, 2, 3, 11, 12, 13}}}) {
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(oxDraw::DrawMirror(20, 20, c.mode, h, 0, 0, 3, 2), 1);
    ExpectArea(20, 20, 3, c.area);
  }
  // Cut on each side: what shows is that part of the mirrored whole.
  oxDraw::SetClip(21, 21, 100, 100);
  Fill(kBack);
  oxDraw::DrawMirror(20, 20, 3, h, 0, 0, 3, 2);  // left and top cut
  ExpectArea(20, 20, 3, {kBack, kBack, kBack, kBack, 2, 1});
  oxDraw::SetClip(0, 0, 22, 21);
  Fill(kBack);
  oxDraw::DrawMirror(20, 20, 3, h, 0, 0, 3, 2);  // right and bottom cut
  ExpectArea(20, 20, 3, {13, 12, kBack, kBack, kBack, kBack});
  // A mirrored part of a larger sprite: the part (1, 0, 3, 2) mirrored.
  oxDraw::SetClip(0, 0, 640, 480);
  Fill(kBack);
  oxDraw::DrawMirror(0, 0, 1, h, 1, 0, 3, 2);
  ExpectArea(0, 0, 3, {3, 2, kBack});
  // Wide rows take the vector path; zeros are kept transparent there too.
  const int wide = Sprite(37, 1, [](int x, int) { return uint16_t(x % 4 == 0 ? 0 : 100 + x); });
  EXPECT_EQ(oxDraw::DrawMirror(0, 5, 1, wide, 0, 0, 37, 1), 1);
  for (int x = 0, from = 36; x < 37; ++x, --from) {
    EXPECT_EQ(At(x, 5), from % 4 == 0 ? kBack : 100 + from) << x;
  }
}

// ------------------------------------------------------------ rotations

TEST_F(EffectsTest, RotationBy0And90And180Degrees) {
  // Codes 1 + x + 10 y of a 4 x 2 sprite, (3, 1) transparent.
  const int h =
      Sprite(4, 2, [](int x, int y) { return uint16_t(x == 3 && y == 1 ? 0 : 1 + x + 10 * y); });
  // Clockwise turns; 540 and -180 are 180.
  struct Case { int angle, w; std::vector<uint16_t> area; };
  for (const Case& c : {Case{0, 4, {1, 2, 3, 4, 11, 12, 13, kBack}},
                        Case{90, 2, {11, 1, 12, 2, 13, 3, kBack, 4}},
                        Case{180, 4, {kBack, 13, 12, 11, 4, 3, 2, 1}},
                        Case{540, 4, {kBack, 13, 12, 11, 4, 3, 2, 1}},
                        Case{-180, 4, {kBack, 13, 12, 11, 4, 3, 2, 1}},
                        Case{270, 2, {4, kBack, 3, 13, 2, 12, 1, 11}}}) {
    SCOPED_TRACE(c.angle);
    Fill(kBack);
    EXPECT_EQ(oxDraw::DrawRotate(20, 10, 20 + c.w, 10 + 8 / c.w, c.angle, h, 0, 0, 4, 2), 1);
    ExpectArea(20, 10, c.w, c.area);
  }
  // A larger destination shows the picture at its centre, the rest untouched.
  Fill(kBack);
  oxDraw::DrawRotate(0, 0, 8, 6, 0, h, 0, 0, 4, 2);
  EXPECT_TRUE(At(2, 2) == 1 && At(4, 3) == 13);
  for (auto [x, y] : {std::pair{5, 3}, {1, 2}, {2, 1}, {6, 3}}) EXPECT_EQ(At(x, y), kBack);
  // At 45 degrees the centre stays, the corners turn out, and (x + 3, y)
  // turns clockwise to about (x + 2, y + 2).
  const int nine = Sprite(9, 9, [](int x, int y) { return uint16_t(1 + x + 10 * y); });
  EXPECT_EQ(oxDraw::DrawRotate(100, 100, 109, 109, 45, nine, 0, 0, 9, 9), 1);
  EXPECT_EQ(At(104, 104), 1 + 4 + 40);
  EXPECT_TRUE(At(100, 100) == kBack && At(108, 108) == kBack);
  EXPECT_EQ(At(106, 106), 1 + 7 + 40);
}

TEST_F(EffectsTest, RotationTiledAndZoomed) {
  // Tiled: |offset from the source's left| mod width, mirrored about the source's corner.
  const int strip = Sprite(3, 1, {1, 2, 3});
  EXPECT_EQ(oxDraw::DrawRotateTiled(0, 0, 9, 1, 0, strip, 0, 0, 3, 1), 1);
  ExpectArea(0, 0, 9, {1, 3, 2, 1, 2, 3, 1, 2, 3});
  // The whole destination is covered, at any angle.
  oxDraw::DrawRotateTiled(0, 10, 50, 40, 33, strip, 0, 0, 3, 1);
  for (int y = 10; y < 40; ++y)
    for (int x = 0; x < 50; ++x) ASSERT_NE(At(x, y), kBack);
  // Zoom 2 at 0 degrees: each pixel becomes a 2 x 2 square.
  const int sq = Sprite(2, 2, {1, 2, 3, 4});
  EXPECT_EQ(oxDraw::DrawRotateZoom(100, 0, 104, 4, 0, 2.0f, sq, 0, 0, 2, 2), 1);
  ExpectArea(100, 0, 4, {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4});
  // Zoom 1 is DrawRotate; zoom 0, infinite or NaN draws nothing.
  oxDraw::DrawRotateZoom(200, 0, 202, 2, 90, 1.0f, sq, 0, 0, 2, 2);
  ExpectArea(200, 0, 2, {3, 1});
  for (const float z : {0.0f, INFINITY, NAN}) {
    Fill(kBack);
    EXPECT_EQ(oxDraw::DrawRotateZoom(0, 0, 4, 4, 0, z, sq, 0, 0, 2, 2), 1);
    EXPECT_EQ(At(1, 1), kBack);
  }
  // A tiny zoom leaves at most the centre pixel; huge rectangles are cut without trouble.
  EXPECT_EQ(oxDraw::DrawRotateZoom(0, 0, 640, 480, 10, 1e-30f, sq, 0, 0, 2, 2), 1);
  const uint16_t* p = oxd::Scr().back->pixels;
  EXPECT_GE(std::count(p, p + 640 * 480, kBack), 640 * 480 - 1);
  EXPECT_EQ(oxDraw::DrawRotate(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 30, sq, 0, 0, 2, 2), 1);
  EXPECT_EQ(oxDraw::DrawRotateTiled(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 30, sq, 0, 0, 2, 2), 1);
  EXPECT_EQ(oxDraw::DrawRotateZoom(INT_MIN, 0, INT_MAX, 10, 359, 1e30f, sq, 0, 0, 2, 2), 1);
}

// ------------------------------------------------------------ filters

TEST_F(EffectsTest, BlurWorksInPlaceFromTheTopLeft) {
  // Blue values of a 4 x 3 area at (10, 10); red 0, green 6-bit odd.
  const int blue[12] = {4, 8, 12, 16, 20, 24, 28, 0, 1, 2, 3, 4};
  std::vector<uint16_t> area;
  for (const int b : blue) area.push_back(Rgb(0, 9, b));
  Put(10, 10, 4, area);
  EXPECT_EQ(oxDraw::Blur(10, 10, 4, 3), 1);
  // (1,1): (20 + 28 + 8 + 2) >> 2 = 14; (2,1): (14 + 0 + 12 + 3) >> 2 = 7,
  // its left neighbour already blurred. Green 9 is 5-bit 4. The border stays.
  std::vector<uint16_t> want = area;
  want[5] = P5(0, 4, 14), want[6] = P5(0, 4, 7);
  ExpectArea(10, 10, 4, want);
  EXPECT_EQ(At(9, 11), kBack);
  // Faded in red and blue: 14 - 1 = 13, then (13 + 0 + 12 + 3) >> 2 - 1 = 6;
  // red stays at 0 and nothing borrows from green.
  Put(10, 10, 4, area);
  EXPECT_EQ(oxDraw::BlurFade(1, 0, 1, 10, 10, 4, 3), 1);
  EXPECT_TRUE(At(11, 11) == P5(0, 4, 13) && At(12, 11) == P5(0, 4, 6));
  // Repeated inside a black border, the picture fades to black.
  oxDraw::FillRect(20, 20, 25, 25, 0);
  oxDraw::FillRect(21, 21, 24, 24, 0xFFFF);
  for (int i = 0; i < 32; ++i) oxDraw::BlurFade(1, 1, 1, 20, 20, 5, 5);
  ExpectArea(21, 21, 3, std::vector<uint16_t>(9, 0));
  // Cut to the back buffer: the screen's edge is the border.
  FillGround();
  EXPECT_EQ(oxDraw::Blur(-10, -10, 700, 700), 1);
  EXPECT_TRUE(At(0, 5) == Ground(0, 5) && At(639, 479) == Ground(639, 479));
  EXPECT_NE(At(10, 1), Ground(10, 1));       // red 31 among 28, 2, 30 and 0
  EXPECT_EQ(oxDraw::Blur(0, 0, 2, 480), 1);  // no interior: nothing
  EXPECT_EQ(oxDraw::Blur(700, 0, 10, 10), 1);
}

TEST_F(EffectsTest, RiseFollowsTheRandomTable) {
  uint8_t* table = oxd::Tables().random;
  table[0] = 1, table[1] = 0, table[2] = 2;
  for (int i = 0; i < 16; ++i) At(i % 4, i / 4) = P5(0, 0, 1 + i);
  EXPECT_EQ(oxDraw::Rise(0, 0, 4, 4), 1);
  // (1,1): average (5 + 7 + 2 + 10) >> 2 = 6 written above; (2,1): the
  // counter reached entry 1, a copy (7); entry 0: (1,2) copied up (10);
  // entry 2: (2,2) averaged (10 + 12 + 7 + 15) >> 2 = 11.
  const int expected[16] = {1, 6, 7, 4, 5, 10, 11, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(At(i % 4, i / 4), P5(0, 0, expected[i])) << i;
  EXPECT_TRUE(oxd::Effects().rise.index == 2 && oxd::Effects().rise.counter == 1);
  EXPECT_EQ(oxd::Effects().riseFade.index, 0);  // its own walk
  // The fading smear: averaged values lose 1 in the chosen channels only; a copy is not faded.
  for (int i = 0; i < 16; ++i) At(i % 4, i / 4) = P5(0, 9, 1 + i);
  EXPECT_EQ(oxDraw::RiseFade(0, 1, 1, 0, 0, 4, 4), 1);
  EXPECT_TRUE(At(1, 0) == P5(0, 8, 5) && At(2, 1) == P5(0, 8, 10) && At(2, 0) == P5(0, 9, 7));
  // After entry 9999 the walk restarts at a pseudo-random entry below 1000.
  ox::SeedRandom(77);
  const int restart = ox::Random() % 1000;
  ox::SeedRandom(77);
  table[9999] = 0;
  oxd::Effects().rise = {9999, 0};
  oxDraw::Rise(0, 0, 3, 3);
  EXPECT_EQ(oxd::Effects().rise.index, restart);
  // Reset puts every walk back.
  oxd::Effects().noise = {42, 0};
  oxd::ResetDrawState();
  EXPECT_TRUE(oxd::Effects().rise.index == 0 && oxd::Effects().noise.index == 0);
}

TEST_F(EffectsTest, NoiseAddsSaturatedGrain) {
  uint8_t* table = oxd::Tables().random;
  const uint8_t entries[5] = {0, 1, 2, 1, 0};
  std::copy(entries, entries + 5, table);
  Put(0, 0, 5, std::vector<uint16_t>(5, P5(10, 30, 29)));
  EXPECT_EQ(oxDraw::Noise(2, 0, 0, 5, 1), 1);  // grain 0, 4, 8, 4, 0
  ExpectArea(0, 0, 5, {P5(10, 30, 29), P5(14, 31, 31), P5(18, 31, 31), P5(14, 31, 31),
                       P5(10, 30, 29)});
  EXPECT_EQ(oxd::Effects().noise.index, 5);
  // Only the chosen channels; the others keep every bit.
  Put(0, 1, 5, std::vector<uint16_t>(5, Rgb(3, 61, 30)));
  EXPECT_EQ(oxDraw::NoiseChannels(1, 0, 1, 0, 0, 1, 5, 1), 1);  // grain 0, 1, 2, 1, 0
  ExpectArea(0, 1, 5, {Rgb(3, 61, 30), Rgb(4, 61, 31), Rgb(5, 61, 31), Rgb(4, 61, 31),
                       Rgb(3, 61, 30)});
  EXPECT_EQ(oxd::Effects().noiseChannels.index, 5);
  // Shifts outside 0..5: negative counts as 0, large ones saturate.
  oxd::Effects().noise = {1, 0};
  At(0, 2) = At(1, 2) = 0;
  oxDraw::Noise(-4, 0, 2, 1, 1);  // entry 1 -> 1
  oxDraw::Noise(40, 1, 2, 1, 1);  // entry 2 -> saturates
  EXPECT_TRUE(At(0, 2) == P5(1, 1, 1) && At(1, 2) == P5(31, 31, 31));
  EXPECT_EQ(oxDraw::Noise(1, -100, -100, 2000, 2000), 1);  // cut to the screen
  EXPECT_EQ(oxDraw::NoiseChannels(1, 1, 1, 1, 630, 470, INT_MAX, INT_MAX), 1);
}

// Long rows go eight pixels at a time; the walk still takes one entry per
// pixel and restarts after entry 9999 exactly where it would.
TEST_F(EffectsTest, NoiseOnLongRowsAndAcrossTheRestart) {
  const uint8_t* table = oxd::Tables().random;
  Put(0, 0, 40, std::vector<uint16_t>(40, P5(10, 20, 29)));
  ox::SeedRandom(5);
  const int restart = ox::Random() % 1000;
  ox::SeedRandom(5);
  oxd::Effects().noise = {9990, 0};
  EXPECT_EQ(oxDraw::Noise(1, 0, 0, 40, 1), 1);
  for (int x = 0; x < 40; ++x) {
    const int n = table[x < 10 ? 9990 + x : restart + x - 10] << 1;
    EXPECT_EQ(At(x, 0), P5(std::min(31, 10 + n), std::min(31, 20 + n), std::min(31, 29 + n))) << x;
  }
  EXPECT_EQ(oxd::Effects().noise.index, restart + 30);
  // Green only, grain << 3: red and blue keep every bit.
  Put(0, 1, 24, std::vector<uint16_t>(24, Rgb(5, 41, 7)));
  EXPECT_EQ(oxDraw::NoiseChannels(0, 1, 0, 3, 0, 1, 24, 1), 1);
  for (int x = 0; x < 24; ++x) EXPECT_EQ(At(x, 1), Rgb(5, 2 * std::min(31, 20 + 8 * table[x]), 7));
}

TEST_F(EffectsTest, ZoomThroughTheBufferSprite) {
  const std::vector<uint16_t> full = {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4};
  Put(100, 100, 2, {1, 2, 3, 4});
  EXPECT_EQ(oxDraw::Zoom2(100, 100, 2, 2, 0), 1);
  ExpectArea(100, 100, 4, full);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(Px(oxd::kBufferSprite, i % 4, i / 4), full[size_t(i)]);
  // Any other mode: only the top-left pixel of each square; the rest shows
  // what the Buffer sprite held.
  oxDraw::FillRect(100, 100, 104, 104, kBack);
  Put(100, 100, 2, {5, 6, 7, 8});
  EXPECT_EQ(oxDraw::Zoom2(100, 100, 2, 2, 1), 1);
  ExpectArea(100, 100, 4, {5, 1, 6, 2, 1, 1, 2, 2, 7, 3, 8, 4, 3, 3, 4, 4});
  // Four times, clipped as every draw.
  oxDraw::SetClip(0, 0, 206, 640);
  Put(200, 200, 2, {9, 10});
  EXPECT_EQ(oxDraw::Zoom4(200, 200, 2, 1, 0), 1);
  for (int y = 0; y < 4; ++y) ExpectArea(200, 200 + y, 7, {9, 9, 9, 9, 10, 10, kBack});
  // Blocks reaching past the screen or too large for the Buffer sprite are
  // cut; nothing is read or written outside.
  oxDraw::SetClip(0, 0, 640, 480);
  EXPECT_EQ(oxDraw::Zoom2(-5, -5, 10, 10, 0), 1);
  EXPECT_EQ(oxDraw::Zoom4(0, 0, 640, 480, 0), 1);
  EXPECT_EQ(oxDraw::Zoom2(630, 470, INT_MAX, INT_MAX, 1), 1);
}

TEST_F(EffectsTest, MosaicCircleTakesTopLeftColours) {
  FillGround();
  EXPECT_EQ(oxDraw::MosaicCircle(20, 20, 3, 2), 1);
  // Square 17..22, blocks from (17, 17); only distances below 3 change.
  const int moved[][4] = {
      {20, 20, 19, 19}, {18, 20, 17, 19}, {22, 22, 21, 21}, {22, 18, 21, 17},
      {17, 20, 17, 20}, {20, 17, 20, 17}, {23, 20, 23, 20}};  // last three: distance 3
  for (const auto& m : moved) EXPECT_EQ(At(m[0], m[1]), Ground(m[2], m[3])) << m[0] << "," << m[1];
  // 25 pixels lie inside; 4 of them are the top-left pixels themselves.
  EXPECT_EQ(ChangedFromGround(), 21);
  // Cut to the screen; odd arguments are harmless.
  EXPECT_EQ(oxDraw::MosaicCircle(0, 0, 10, 4), 1);
  EXPECT_EQ(At(1, 1), Ground(0, 0));
  EXPECT_EQ(oxDraw::MosaicCircle(320, 240, INT_MAX, 0), 1);
  EXPECT_EQ(oxDraw::MosaicCircle(INT_MIN, INT_MAX, INT_MAX, INT_MIN), 1);
  FillGround();
  EXPECT_EQ(oxDraw::MosaicCircle(320, 240, 0, 4), 1);
  EXPECT_EQ(oxDraw::MosaicCircle(320, 240, -5, 4), 1);
  EXPECT_EQ(ChangedFromGround(), 0);
}

}  // namespace
