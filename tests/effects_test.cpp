// Software pixel effects, checked pixel by pixel against values worked out
// by hand on small surfaces.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "draw/draw_state.h"
#include "draw/effect_tables.h"
#include "draw/effects_clip.h"
#include "draw/ox_draw.h"
#include "frame/app_state.h"
#include "tests/test_support.h"

namespace {

// RGB565 from full-precision channels (red 0..31, green 0..63, blue 0..31).
constexpr uint16_t Rgb(int r, int g, int b) { return uint16_t((r << 11) | (g << 5) | b); }
// RGB565 from 5-bit channels, as the effect tables put them back (the
// lowest green bit 0).
constexpr uint16_t P5(int r, int g, int b) { return uint16_t((r << 11) | (g << 6) | b); }

constexpr uint16_t kMagenta = 0xF81F;

// A background where every pixel differs from its neighbours.
uint16_t Ground(int x, int y) { return P5((x * 3 + y) & 31, (y * 5 + x) & 31, (x + 2 * y) & 31); }

const std::vector<uint16_t>& GroundImage() {
  static const std::vector<uint16_t> image = [] {
    std::vector<uint16_t> v(640 * 480);
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) v[size_t(y * 640 + x)] = Ground(x, y);
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
    Fill(0x7777);
  }
  static uint16_t& At(int x, int y) { return oxd::Scr().back->pixels[y * 640 + x]; }
  static void Fill(uint16_t v) { oxDraw::FillRect(0, 0, 640, 480, v); }
  static void FillGround() {
    std::memcpy(oxd::Scr().back->pixels, GroundImage().data(), 640 * 480 * sizeof(uint16_t));
  }
  static uint16_t& Px(int h, int x, int y) {
    oxd::Surface* s = oxd::SpriteSurface(h);
    return s->pixels[y * s->pitch + x];
  }
  // A sprite whose pixels are listed row by row.
  static int Sprite(int w, int h, const std::vector<uint16_t>& pixels) {
    const int handle = oxDraw::CreateObject(w, h, 1);
    EXPECT_GE(handle, 4);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Px(handle, x, y) = pixels[size_t(y * w + x)];
    return handle;
  }
  static int Sprite(int w, int h, const std::function<uint16_t(int, int)>& f) {
    std::vector<uint16_t> p(size_t(w * h));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) p[size_t(y * w + x)] = f(x, y);
    return Sprite(w, h, p);
  }
  // The back-buffer rectangle (x, y, w, h), row by row.
  static std::vector<uint16_t> Grab(int x, int y, int w, int h) {
    std::vector<uint16_t> v;
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) v.push_back(At(x + i, y + j));
    return v;
  }
  static void Put(int x, int y, int w, int h, const std::vector<uint16_t>& v) {
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) At(x + i, y + j) = v[size_t(j * w + i)];
  }
  // Pixels that differ from Ground.
  static int ChangedFromGround() {
    const uint16_t* p = oxd::Scr().back->pixels;
    const std::vector<uint16_t>& g = GroundImage();
    int n = 0;
    for (size_t i = 0; i < g.size(); ++i) n += p[i] != g[i];
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
#define EFFECT(name, sameWhenCut, call)                                                     \
  NamedEffect {                                                                             \
    name, [](int x, int y, int h, int l, int t, int r, int b) { return call; }, sameWhenCut \
  }

std::vector<NamedEffect> AllSpriteEffects() {
  return {
      EFFECT("Mirror0", true, oxDraw::DrawMirror(x, y, 0, h, l, t, r, b)),
      EFFECT("Mirror1", true, oxDraw::DrawMirror(x, y, 1, h, l, t, r, b)),
      EFFECT("Mirror2", true, oxDraw::DrawMirror(x, y, 2, h, l, t, r, b)),
      EFFECT("Mirror3", true, oxDraw::DrawMirror(x, y, 3, h, l, t, r, b)),
      EFFECT("Half", true, oxDraw::DrawHalf(x, y, h, l, t, r, b)),
      EFFECT("Alpha", true, oxDraw::DrawAlpha(x, y, 0.5f, h, l, t, r, b)),
      EFFECT("AlphaRGB", true, oxDraw::DrawAlphaRGB(x, y, 0.25f, 0.5f, 0.75f, h, l, t, r, b)),
      EFFECT("Fade", true, oxDraw::DrawFade(x, y, 16, h, l, t, r, b)),
      EFFECT("FadeRGB", true, oxDraw::DrawFadeRGB(x, y, 8, 16, 24, h, l, t, r, b)),
      EFFECT("AlphaRamp", false,
             oxDraw::DrawAlphaRamp(x, y, 0.2f, 0.4f, 0.6f, 0, 1, 2, h, l, t, r, b)),
      EFFECT("FadeRamp", false, oxDraw::DrawFadeRamp(x, y, 4, 8, 12, 1, 0, 1, h, l, t, r, b)),
      EFFECT("Add", true, oxDraw::DrawAdd(x, y, h, l, t, r, b)),
      EFFECT("AddAlpha", true, oxDraw::DrawAddAlpha(x, y, 0.5f, h, l, t, r, b)),
      EFFECT("Shadow", true, oxDraw::DrawShadow(x, y, h, l, t, r, b)),
      EFFECT("Dark", true, oxDraw::DrawDark(x, y, 20, h, l, t, r, b)),
      EFFECT("DarkRGB", true, oxDraw::DrawDarkRGB(x, y, 10, 20, 30, h, l, t, r, b)),
      EFFECT("Scaled", true, oxDraw::DrawScaled(x, y, 0.5f, h, l, t, r, b)),
      EFFECT("ScaledRGB", true, oxDraw::DrawScaledRGB(x, y, 0.5f, 1.5f, 2.0f, h, l, t, r, b)),
      EFFECT("Channels", true, oxDraw::DrawChannels(x, y, 1, 0, 1, h, l, t, r, b)),
      EFFECT("Grey", true, oxDraw::DrawGrey(x, y, h, l, t, r, b)),
      EFFECT("Soft", false, oxDraw::DrawSoft(x, y, 2, h, l, t, r, b)),
      EFFECT("Refract", false, oxDraw::DrawRefract(x, y, 0.7f, h, l, t, r, b)),
      EFFECT("Rotate", true,
             oxDraw::DrawRotate(x, y, Far(int64_t(x) + r - l), Far(int64_t(y) + b - t), 0, h, l, t,
                                r, b)),
      EFFECT("RotateZoom", true,
             oxDraw::DrawRotateZoom(x, y, Far(int64_t(x) + r - l), Far(int64_t(y) + b - t), 180,
                                    1.0f, h, l, t, r, b)),
      EFFECT("RotateTiled", true,
             oxDraw::DrawRotateTiled(x, y, Far(int64_t(x) + r - l), Far(int64_t(y) + b - t), 90, h,
                                     l, t, r, b)),
  };
}

#undef EFFECT

// A pixel equal to 0 is never drawn, even when the sprite's key is another
// colour; that colour is drawn like any other.
TEST_F(EffectsTest, ZeroIsTransparentWhateverTheKey) {
  for (const NamedEffect& e : AllSpriteEffects()) {
    SCOPED_TRACE(e.name);
    Fill(P5(10, 10, 10));
    // Zeros in the middle 2 x 2 (the same after any quarter turn), magenta
    // (the key) around them.
    auto Zero = [](int x, int y) { return (x == 1 || x == 2) && (y == 1 || y == 2); };
    const int h = Sprite(4, 4, [&](int x, int y) { return Zero(x, y) ? uint16_t(0) : kMagenta; });
    oxDraw::SetObjectKey(h, 0xFF00FF);
    ASSERT_EQ(oxd::SpriteSurface(h)->key, kMagenta);
    ASSERT_EQ(e.draw(100, 100, h, 0, 0, 4, 4), 1);
    int drawn = 0;
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) {
        if (Zero(x, y)) {
          EXPECT_EQ(At(100 + x, 100 + y), P5(10, 10, 10)) << x << ", " << y;
        } else {
          drawn += At(100 + x, 100 + y) != P5(10, 10, 10);
        }
      }
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
  struct Place {
    int x, y;
  };
  // Clip (100, 50, 200, 150); an 8 x 6 sprite cut by 3 pixels on a side.
  const Place places[] = {{97, 80}, {195, 80},  {150, 47}, {150, 147},
                          {97, 47}, {195, 147}, {97, 147}, {195, 47}};
  for (const NamedEffect& e : AllSpriteEffects()) {
    SCOPED_TRACE(e.name);
    const int h = Sprite(8, 6, [](int x, int y) {
      return (x + y) % 5 == 0 ? uint16_t(0) : P5(8 + x * 2, 30 - y * 3, (x * y + 13) & 31);
    });
    for (const Place& p : places) {
      SCOPED_TRACE(::testing::Message() << "at " << p.x << ", " << p.y);
      FillGround();
      oxDraw::SetClip(0, 0, 640, 480);
      ASSERT_EQ(e.draw(p.x, p.y, h, 0, 0, 8, 6), 1);
      const std::vector<uint16_t> whole = Grab(p.x, p.y, 8, 6);
      FillGround();
      oxDraw::SetClip(100, 50, 200, 150);
      ASSERT_EQ(e.draw(p.x, p.y, h, 0, 0, 8, 6), 1);
      const uint16_t* back = oxd::Scr().back->pixels;
      const uint16_t* ground = GroundImage().data();
      int inside = 0, changedInside = 0;
      for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
          const bool in = x >= 100 && x < 200 && y >= 50 && y < 150;
          const uint16_t now = back[y * 640 + x], was = ground[y * 640 + x];
          if (!in) {
            if (now != was) FAIL() << "changed outside at " << x << ", " << y;
            continue;
          }
          changedInside += now != was;
          if (e.sameWhenCut && x >= p.x && x < p.x + 8 && y >= p.y && y < p.y + 6) {
            ASSERT_EQ(At(x, y), whole[size_t((y - p.y) * 8 + x - p.x)]) << x << ", " << y;
            ++inside;
          }
        }
      }
      // Refraction offsets of 1 to 13 rows find nothing to pick in the three
      // rows left at a corner.
      if (e.name != "Refract" || p.y == 80) {
        EXPECT_GT(changedInside, 0);
      }
      const int visible = (std::min(p.x + 8, 200) - std::max(p.x, 100)) *
                          (std::min(p.y + 6, 150) - std::max(p.y, 50));
      if (e.sameWhenCut) {
        EXPECT_EQ(inside, visible);
      }
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
    for (const int x : {-4, 636}) {
      for (const int y : {-4, 476}) EXPECT_EQ(e.draw(x, y, h, 0, 0, 8, 8), 1);
    }
    EXPECT_EQ(e.draw(INT_MIN, INT_MAX, h, 0, 0, 8, 8), 1);
    EXPECT_EQ(e.draw(INT_MAX, INT_MIN, h, 0, 0, 8, 8), 1);
    if (e.name == "Mirror0") {
      EXPECT_EQ(At(0, 0), P5(5, 5, 5));
      EXPECT_EQ(At(639, 479), P5(4, 4, 5));
    }
  }
}

// Missing or lost surfaces, handles out of range and source rectangles
// that leave the sprite draw nothing and return 0; a reversed rectangle
// draws nothing and returns 1.
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
  for (const NamedEffect& e : AllSpriteEffects()) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(e.draw(10, 10, h, 0, 0, 4, 4), 0);
  }
  oxtest::StartHeadless();  // no screen at all
  for (const NamedEffect& e : AllSpriteEffects()) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(e.draw(10, 10, h, 0, 0, 4, 4), 0);
  }
  EXPECT_EQ(oxDraw::Blur(0, 0, 10, 10), 0);
  EXPECT_EQ(oxDraw::Noise(0, 0, 0, 10, 10), 0);
  EXPECT_EQ(oxDraw::MosaicCircle(5, 5, 5, 2), 0);
  EXPECT_EQ(oxDraw::Zoom2(0, 0, 4, 4, 0), 0);
}

// ------------------------------------------------------------ blends

TEST_F(EffectsTest, FadeAtLevels31And0And16) {
  const uint16_t s = P5(20, 12, 7), d = P5(9, 30, 3);
  const int h = Sprite(1, 1, {s});
  struct Case {
    int level;
    uint16_t expected;
  };
  // max(s - (31 - level), 0) + max(d - level, 0) per channel.
  for (const Case c : {Case{31, s}, Case{0, d}, Case{16, P5(5, 14, 0)}, Case{40, s}, Case{-3, d}}) {
    At(10, 10) = d;
    EXPECT_EQ(oxDraw::DrawFade(10, 10, c.level, h, 0, 0, 1, 1), 1);
    EXPECT_EQ(At(10, 10), c.expected) << "level " << c.level;
  }
  At(10, 10) = d;
  oxDraw::DrawFadeRGB(10, 10, 31, 0, 16, h, 0, 0, 1, 1);
  EXPECT_EQ(At(10, 10), P5(20, 30, 0));
  // The tables hold 5-bit values: a 6-bit green comes back without its
  // lowest bit.
  At(10, 10) = Rgb(9, 61, 3);
  oxDraw::DrawFade(10, 10, 0, h, 0, 0, 1, 1);
  EXPECT_EQ(At(10, 10), P5(9, 30, 3));
}

TEST_F(EffectsTest, AddOfWhiteAndOfBlack) {
  const int h = Sprite(3, 1, {0xFFFF, 0x0000, P5(20, 12, 7)});
  for (const uint16_t d : {uint16_t(0), P5(15, 30, 3), Rgb(1, 1, 1), uint16_t(0xFFFF)}) {
    At(10, 10) = At(11, 10) = At(12, 10) = d;
    EXPECT_EQ(oxDraw::DrawAdd(10, 10, h, 0, 0, 3, 1), 1);
    EXPECT_EQ(At(10, 10), P5(31, 31, 31)) << d;  // white: every 5-bit channel full
    EXPECT_EQ(At(11, 10), d);                    // black (0): nothing changes
  }
  At(12, 10) = P5(15, 30, 3);
  oxDraw::DrawAdd(12, 10, h, 2, 0, 3, 1);
  EXPECT_EQ(At(12, 10), P5(31, 31, 10));
  // With alpha: k = trunc(31 - 31 x alpha); min(31, max(s - k, 0) + d).
  struct Case {
    float alpha;
    uint16_t expected;
  };
  for (const Case c :
       {Case{0.5f, P5(20, 30, 3)}, Case{1.0f, P5(31, 31, 10)}, Case{0.0f, P5(15, 30, 3)},
        Case{7.0f, P5(31, 31, 10)}, Case{-1.0f, P5(15, 30, 3)}, Case{NAN, P5(15, 30, 3)}}) {
    At(12, 10) = P5(15, 30, 3);
    EXPECT_EQ(oxDraw::DrawAddAlpha(12, 10, c.alpha, h, 2, 0, 3, 1), 1);
    EXPECT_EQ(At(12, 10), c.expected) << c.alpha;
  }
}

TEST_F(EffectsTest, HalfOfIdenticalPictures) {
  FillGround();
  const int h = Sprite(
      32, 16, [](int x, int y) { return uint16_t(Ground(x, y) | (x & 1) | ((y & 1) << 5)); });
  // The same picture under the sprite.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) At(200 + x, 100 + y) = Px(h, x, y);
  EXPECT_EQ(oxDraw::DrawHalf(200, 100, h, 0, 0, 32, 16), 1);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) {
      const uint16_t p = Px(h, x, y), q = At(200 + x, 100 + y);
      ASSERT_EQ(q, p & ~0x0821) << x << ", " << y;  // the lowest bit of each channel goes
    }
  }
  // Two different colours: ((s >> 1) & half) + ((d >> 1) & half).
  const int one = Sprite(1, 1, {Rgb(31, 63, 31)});
  At(0, 0) = Rgb(0, 2, 4);
  oxDraw::DrawHalf(0, 0, one, 0, 0, 1, 1);
  EXPECT_EQ(At(0, 0), Rgb(15, 32, 17));
}

TEST_F(EffectsTest, AlphaAtFullPrecision) {
  const int h = Sprite(1, 1, {Rgb(20, 40, 7)});
  struct Case {
    float r, g, b;
    uint16_t expected;
  };
  // trunc(d x (1 - a) + s x a) per channel, over d = (9, 61, 3).
  for (const Case c :
       {Case{0.5f, 0.5f, 0.5f, Rgb(14, 50, 5)}, Case{0.25f, 0.25f, 0.25f, Rgb(11, 55, 4)},
        Case{0.0f, 0.0f, 0.0f, Rgb(9, 61, 3)}, Case{1.0f, 1.0f, 1.0f, Rgb(20, 40, 7)},
        Case{1.0f, 0.0f, 0.5f, Rgb(20, 61, 5)}, Case{3.0f, -2.0f, NAN, Rgb(20, 61, 3)}}) {
    At(5, 5) = Rgb(9, 61, 3);
    if (c.r == c.g && c.g == c.b) {
      EXPECT_EQ(oxDraw::DrawAlpha(5, 5, c.r, h, 0, 0, 1, 1), 1);
    } else {
      EXPECT_EQ(oxDraw::DrawAlphaRGB(5, 5, c.r, c.g, c.b, h, 0, 0, 1, 1), 1);
    }
    EXPECT_EQ(At(5, 5), c.expected) << c.r << " " << c.g << " " << c.b;
  }
}

// Long rows go eight pixels at a time and give exactly the single-precision
// trunc(d x (1 - a) + s x a) of every channel.
TEST_F(EffectsTest, AlphaOnLongRows) {
  auto Src = [](int x) {
    return x % 7 == 3 ? uint16_t(0) : Rgb((x * 5) & 31, (x * 11) & 63, (x * 3 + 1) & 31);
  };
  auto Dst = [](int x) { return Rgb((x * 7 + 2) & 31, (x * 13 + 5) & 63, (x * 17) & 31); };
  const int h = Sprite(29, 1, [&](int x, int) { return Src(x); });
  const float alpha[3] = {0.3f, 0.77f, 0.51f};
  for (int x = 0; x < 29; ++x) At(x, 0) = Dst(x);
  EXPECT_EQ(oxDraw::DrawAlphaRGB(0, 0, alpha[0], alpha[1], alpha[2], h, 0, 0, 29, 1), 1);
  for (int x = 0; x < 29; ++x) {
    if (Src(x) == 0) {
      EXPECT_EQ(At(x, 0), Dst(x));
      continue;
    }
    const int shift[3] = {11, 5, 0}, max[3] = {31, 63, 31};
    int expected = 0;
    for (int c = 0; c < 3; ++c) {
      const int sc = (Src(x) >> shift[c]) & max[c], dc = (Dst(x) >> shift[c]) & max[c];
      const float v = float(dc) * (1.0f - alpha[c]) + float(sc) * alpha[c];
      expected |= int(v) << shift[c];
    }
    EXPECT_EQ(At(x, 0), expected) << x;
  }
}

TEST_F(EffectsTest, AlphaRampGrowsAlongRowsOrDownRows) {
  // Over black, a full white sprite shows trunc(31 x a) in red and blue and
  // trunc(63 x a) in green. From 0.5, start 1, step 2: raised at positions
  // 3, 5 and 7 by 1/32 each.
  const int row = Sprite(8, 2, [](int, int) { return Rgb(31, 63, 31); });
  Fill(0);
  EXPECT_EQ(oxDraw::DrawAlphaRamp(0, 0, 0.5f, 0.5f, 0.5f, 0, 1, 2, row, 0, 0, 8, 2), 1);
  const int red[8] = {15, 15, 15, 16, 16, 17, 17, 18};
  const int green[8] = {31, 31, 31, 33, 33, 35, 35, 37};
  for (int y = 0; y < 2; ++y) {  // each row restarts
    for (int x = 0; x < 8; ++x) EXPECT_EQ(At(x, y), Rgb(red[x], green[x], red[x])) << x;
  }
  const int column = Sprite(2, 8, [](int, int) { return Rgb(31, 63, 31); });
  Fill(0);
  oxDraw::DrawAlphaRamp(0, 0, 0.5f, 0.5f, 0.5f, 1, 1, 2, column, 0, 0, 2, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 2; ++x) EXPECT_EQ(At(x, y), Rgb(red[y], green[y], red[y])) << y;
  }
  // Positions count from the first drawn pixel: cut by the clip rectangle,
  // the ramp starts over at the clip edge.
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
    const int level = x < 31 ? x : 31;
    EXPECT_EQ(At(x, 0), P5(level, level, level)) << x;
    EXPECT_EQ(At(x, 1), At(x, 0));
  }
  Fill(0);  // down the rows, start 2, step 3: raised at rows 5, 8, ...
  oxDraw::DrawFadeRamp(0, 0, 10, 20, 30, 1, 2, 3, h, 0, 0, 1, 1);
  EXPECT_EQ(At(0, 0), P5(10, 20, 30));
  const int tall = Sprite(1, 12, [](int, int) { return P5(31, 31, 31); });
  oxDraw::DrawFadeRamp(0, 0, 10, 20, 30, 1, 2, 3, tall, 0, 0, 1, 12);
  const int raised[12] = {0, 0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 3};
  for (int y = 0; y < 12; ++y) {
    const int r = raised[y];
    EXPECT_EQ(At(0, y), P5(10 + r, 20 + r, 30 + r < 31 ? 30 + r : 31)) << y;
  }
}

// ------------------------------------------------------------ tone effects

TEST_F(EffectsTest, ShadowDarkScaledChannelsGrey) {
  const int mask = Sprite(1, 1, {P5(8, 31, 31)});
  At(0, 0) = P5(20, 10, 5);
  EXPECT_EQ(oxDraw::DrawShadow(0, 0, mask, 0, 0, 1, 1), 1);
  EXPECT_EQ(At(0, 0), P5(12, 2, 0));  // the source's red darkens all three

  // Dark: max(s - (31 - level), 0); Scaled: trunc(s x factor) at full
  // precision, saturating at the channel's top.
  const int s = Sprite(1, 1, {P5(20, 10, 5)}), f = Sprite(1, 1, {Rgb(21, 41, 7)});
  struct Tone {
    std::function<int()> draw;
    uint16_t expected;
  };
  const Tone tones[] = {
      {[&] { return oxDraw::DrawDark(0, 0, 25, s, 0, 0, 1, 1); }, P5(14, 4, 0)},
      {[&] { return oxDraw::DrawDark(0, 0, 31, s, 0, 0, 1, 1); }, P5(20, 10, 5)},
      {[&] { return oxDraw::DrawDarkRGB(0, 0, 31, 20, 0, s, 0, 0, 1, 1); }, P5(20, 0, 0)},
      {[&] { return oxDraw::DrawDarkRGB(0, 0, 99, -7, 31, s, 0, 0, 1, 1); }, P5(20, 0, 5)},
      {[&] { return oxDraw::DrawScaled(0, 0, 0.5f, f, 0, 0, 1, 1); }, Rgb(10, 20, 3)},
      {[&] { return oxDraw::DrawScaled(0, 0, 2.0f, f, 0, 0, 1, 1); }, Rgb(31, 63, 14)},
      {[&] { return oxDraw::DrawScaledRGB(0, 0, 1.0f, 0.0f, 1.5f, f, 0, 0, 1, 1); },
       Rgb(21, 0, 10)},
      {[&] { return oxDraw::DrawScaledRGB(0, 0, 1e30f, -1.0f, NAN, f, 0, 0, 1, 1); },
       Rgb(31, 0, 0)},
  };
  for (size_t i = 0; i < std::size(tones); ++i) {
    At(0, 0) = 0x7777;
    EXPECT_EQ(tones[i].draw(), 1);
    EXPECT_EQ(At(0, 0), tones[i].expected) << i;
  }

  const int wide = Sprite(20, 1, [](int x, int) { return uint16_t(0x1357 * (x + 1)); });
  EXPECT_EQ(oxDraw::DrawChannels(0, 0, 1, 0, 1, wide, 0, 0, 20, 1), 1);
  EXPECT_EQ(oxDraw::DrawChannels(0, 1, 0, 7, 0, wide, 0, 0, 20, 1), 1);
  for (int x = 0; x < 20; ++x) {
    EXPECT_EQ(At(x, 0), uint16_t(0x1357 * (x + 1)) & 0xF81F) << x;
    EXPECT_EQ(At(x, 1), uint16_t(0x1357 * (x + 1)) & 0x07E0) << x;
  }

  // third[r + g + b] of the 5-bit channels, in all three.
  const int g = Sprite(2, 1, {Rgb(20, 41, 7), 0xFFFF});
  EXPECT_EQ(oxDraw::DrawGrey(0, 2, g, 0, 0, 2, 1), 1);
  EXPECT_EQ(At(0, 2), P5(15, 15, 15));  // (20 + 20 + 7) / 3
  EXPECT_EQ(At(1, 2), P5(31, 31, 31));
}

// ------------------------------------------------------------ soft, refract, mirror

TEST_F(EffectsTest, SoftAveragesAWindowThatStaysInTheArea) {
  // Blue and green (full precision) of a 3 x 2 sprite; (0, 1) transparent.
  const int h = Sprite(3, 2,
                       {Rgb(0, 1, 4), Rgb(0, 2, 8), Rgb(0, 3, 12),  //
                        0, Rgb(0, 5, 16), Rgb(0, 7, 20)});
  EXPECT_EQ(oxDraw::DrawSoft(10, 10, 2, h, 0, 0, 3, 2), 1);
  // (0,0): (1 + 2 + 0 + 5) / 4, (4 + 8 + 0 + 16) / 4; every other pixel's
  // window is moved into columns 1-2: (2 + 3 + 5 + 7) / 4, (8 + 12 + 16 + 20) / 4.
  const uint16_t soft[2][3] = {{Rgb(0, 2, 7), Rgb(0, 4, 14), Rgb(0, 4, 14)},
                               {0x7777, Rgb(0, 4, 14), Rgb(0, 4, 14)}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(10 + x, 10 + y), soft[y][x]) << x << y;

  // 3 x 3 windows on a 3 x 3 sprite: every pixel is the whole sum / 9.
  const int nine = Sprite(3, 3, [](int x, int y) { return Rgb(x + 3 * y + 1, 0, 2 * (x + y)); });
  Fill(0x7777);
  EXPECT_EQ(oxDraw::DrawSoft(0, 0, 3, nine, 0, 0, 3, 3), 1);
  // red 1..9 sums to 45 -> 5; blue 0,2,4,2,4,6,4,6,8 sums to 36 -> 4.
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(x, y), Rgb(5, 0, 4));
  // A block larger than the area covers the area; a block below 1 copies.
  Fill(0x7777);
  oxDraw::DrawSoft(0, 0, 50, nine, 0, 0, 3, 3);
  EXPECT_EQ(At(2, 2), Rgb(5, 0, 4));
  for (const int n : {1, 0, -5}) {
    Fill(0x7777);
    oxDraw::DrawSoft(0, 0, n, nine, 0, 0, 3, 3);
    EXPECT_EQ(At(2, 1), Rgb(6, 0, 6));
  }
}

// Windows of any size, through each way of summing: a checkerboard of
// (31, 63, 31) and (1, 1, 1) averages to (16, 32, 16) over any even window.
TEST_F(EffectsTest, SoftOverLargeWindows) {
  const int h =
      Sprite(640, 480, [](int x, int y) { return (x + y) % 2 ? Rgb(31, 63, 31) : Rgb(1, 1, 1); });
  for (const int n : {2, 64, 180, 184, 200, 600, 640, 5000}) {
    SCOPED_TRACE(n);
    Fill(0x7777);
    EXPECT_EQ(oxDraw::DrawSoft(0, 0, n, h, 0, 0, 640, 480), 1);
    const uint16_t* p = oxd::Scr().back->pixels;
    int wrong = 0;
    for (int i = 0; i < 640 * 480; ++i) wrong += p[i] != Rgb(16, 32, 16);
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(EffectsTest, RefractReadsRowsBelowWithinTheArea) {
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) At(x, y) = Rgb(0, y & 63, 1);
  // Strength 1: offset = the source's red value (5 bits).
  const int h = Sprite(1, 6, {P5(1, 0, 1), P5(1, 0, 1), P5(0, 0, 1), P5(3, 0, 1), P5(1, 0, 1), 0});
  EXPECT_EQ(oxDraw::DrawRefract(0, 100, 1.0f, h, 0, 0, 1, 6), 1);
  // Rows read from the row below (still unchanged), offset 0, and 3 + 3
  // reaching the area's bottom (no move).
  const int from[6] = {101, 102, 102, 103, 105, 105};
  for (int y = 0; y < 6; ++y) EXPECT_EQ(At(0, 100 + y), Rgb(0, from[y] & 63, 1)) << y;
  // Strength 0.5: k = trunc(31 - 15.5) = 15, offset = red - 15.
  const int k = Sprite(1, 4, {P5(17, 0, 1), P5(15, 0, 1), P5(3, 0, 1), P5(16, 0, 1)});
  EXPECT_EQ(oxDraw::DrawRefract(1, 200, 0.5f, k, 0, 0, 1, 4), 1);
  const int from2[4] = {202, 201, 202, 203};  // the last: 1 row below is outside the area
  for (int y = 0; y < 4; ++y) EXPECT_EQ(At(1, 200 + y), Rgb(0, from2[y] & 63, 1)) << y;
  // Strength 0 or NaN: nothing moves.
  EXPECT_EQ(oxDraw::DrawRefract(1, 300, NAN, k, 0, 0, 1, 4), 1);
  EXPECT_EQ(oxDraw::DrawRefract(1, 300, -1e30f, k, 0, 0, 1, 4), 1);
  EXPECT_EQ(At(1, 300), Rgb(0, 300 & 63, 1));
}

TEST_F(EffectsTest, MirrorModesAndTheirCuts) {
  // Codes 1 + x + 10 y of a 3 x 2 sprite.
  const int h = Sprite(3, 2, [](int x, int y) { return uint16_t(1 + x + 10 * y); });
  struct Case {
    int mode;
    uint16_t rows[2][3];
  };
  for (const Case& c : {Case{0, {{1, 2, 3}, {11, 12, 13}}}, Case{1, {{3, 2, 1}, {13, 12, 11}}},
                        Case{2, {{11, 12, 13}, {1, 2, 3}}}, Case{3, {{13, 12, 11}, {3, 2, 1}}},
                        Case{7, {{1, 2, 3}, {11, 12, 13}}}}) {
    Fill(0x7777);
    EXPECT_EQ(oxDraw::DrawMirror(20, 20, c.mode, h, 0, 0, 3, 2), 1);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(At(20 + x, 20 + y), c.rows[y][x]) << c.mode;
  }
  // Cut on each side: what shows is that part of the mirrored whole.
  oxDraw::SetClip(21, 21, 100, 100);
  Fill(0x7777);
  oxDraw::DrawMirror(20, 20, 3, h, 0, 0, 3, 2);  // left and top cut
  EXPECT_TRUE(At(21, 21) == 2 && At(22, 21) == 1 && At(20, 20) == 0x7777 && At(21, 20) == 0x7777);
  oxDraw::SetClip(0, 0, 22, 21);
  Fill(0x7777);
  oxDraw::DrawMirror(20, 20, 3, h, 0, 0, 3, 2);  // right and bottom cut
  EXPECT_TRUE(At(20, 20) == 13 && At(21, 20) == 12 && At(22, 20) == 0x7777 && At(20, 21) == 0x7777);
  // A mirrored part of a larger sprite: the part (1, 0, 3, 2) mirrored.
  oxDraw::SetClip(0, 0, 640, 480);
  Fill(0x7777);
  oxDraw::DrawMirror(0, 0, 1, h, 1, 0, 3, 2);
  EXPECT_TRUE(At(0, 0) == 3 && At(1, 0) == 2 && At(2, 0) == 0x7777);
  // Wide rows take the vector path; zeros are kept transparent there too.
  const int wide = Sprite(37, 1, [](int x, int) { return uint16_t(x % 4 == 0 ? 0 : 100 + x); });
  EXPECT_EQ(oxDraw::DrawMirror(0, 5, 1, wide, 0, 0, 37, 1), 1);
  for (int x = 0; x < 37; ++x) {
    const int from = 36 - x;
    EXPECT_EQ(At(x, 5), from % 4 == 0 ? 0x7777 : 100 + from) << x;
  }
}

// ------------------------------------------------------------ rotations

TEST_F(EffectsTest, RotationBy0And90And180Degrees) {
  // Codes 1 + x + 10 y of a 4 x 2 sprite, (3, 1) transparent.
  const int h =
      Sprite(4, 2, [](int x, int y) { return uint16_t(x == 3 && y == 1 ? 0 : 1 + x + 10 * y); });
  auto Source = [](int x, int y) { return x == 3 && y == 1 ? 0x7777 : 1 + x + 10 * y; };
  EXPECT_EQ(oxDraw::DrawRotate(10, 10, 14, 12, 0, h, 0, 0, 4, 2), 1);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(10 + x, 10 + y), Source(x, y));
  // 90 degrees, clockwise: a 2 x 4 destination; source (x, y) lands at
  // (1 - y, x).
  EXPECT_EQ(oxDraw::DrawRotate(20, 10, 22, 14, 90, h, 0, 0, 4, 2), 1);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(20 + 1 - y, 10 + x), Source(x, y)) << x << y;
  // 180 degrees: (x, y) lands at (3 - x, 1 - y); 540 and -180 are the same.
  for (const int angle : {180, 540, -180}) {
    Fill(0x7777);
    EXPECT_EQ(oxDraw::DrawRotate(30, 10, 34, 12, angle, h, 0, 0, 4, 2), 1);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(At(30 + 3 - x, 10 + 1 - y), Source(x, y)) << angle;
  }
  // 270: (x, y) lands at (y, 3 - x).
  Fill(0x7777);
  oxDraw::DrawRotate(20, 10, 22, 14, 270, h, 0, 0, 4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(20 + y, 10 + 3 - x), Source(x, y));
  // A larger destination shows the picture at its centre, the rest untouched.
  Fill(0x7777);
  oxDraw::DrawRotate(0, 0, 8, 6, 0, h, 0, 0, 4, 2);
  EXPECT_TRUE(At(2, 2) == 1 && At(4, 3) == 13);
  for (auto [x, y] : {std::pair{5, 3}, {1, 2}, {2, 1}, {6, 3}}) EXPECT_EQ(At(x, y), 0x7777);
}

TEST_F(EffectsTest, RotationAt45DegreesKeepsTheCentre) {
  const int h = Sprite(9, 9, [](int x, int y) { return uint16_t(1 + x + 10 * y); });
  EXPECT_EQ(oxDraw::DrawRotate(100, 100, 109, 109, 45, h, 0, 0, 9, 9), 1);
  EXPECT_EQ(At(104, 104), 1 + 4 + 40);  // the centre stays; the corners turn out
  EXPECT_TRUE(At(100, 100) == 0x7777 && At(108, 108) == 0x7777);
  // A point on the horizontal axis moves to the diagonal: (x + 3, y)
  // turns clockwise to about (x + 2, y + 2).
  EXPECT_EQ(At(106, 106), 1 + 7 + 40);
}

TEST_F(EffectsTest, RotationTiledAndZoomed) {
  // Tiled: |offset from the source's left| mod width, so the picture is
  // mirrored about the source's corner.
  const int strip = Sprite(3, 1, {1, 2, 3});
  EXPECT_EQ(oxDraw::DrawRotateTiled(0, 0, 9, 1, 0, strip, 0, 0, 3, 1), 1);
  const uint16_t tiled[9] = {1, 3, 2, 1, 2, 3, 1, 2, 3};
  for (int x = 0; x < 9; ++x) EXPECT_EQ(At(x, 0), tiled[x]) << x;
  // The whole destination is covered, at any angle.
  Fill(0x7777);
  oxDraw::DrawRotateTiled(0, 10, 50, 40, 33, strip, 0, 0, 3, 1);
  for (int y = 10; y < 40; ++y)
    for (int x = 0; x < 50; ++x) ASSERT_NE(At(x, y), 0x7777);

  // Zoom 2 at 0 degrees: each pixel becomes a 2 x 2 square.
  const int sq = Sprite(2, 2, {1, 2, 3, 4});
  Fill(0x7777);
  EXPECT_EQ(oxDraw::DrawRotateZoom(0, 0, 4, 4, 0, 2.0f, sq, 0, 0, 2, 2), 1);
  const uint16_t zoomed[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(x, y), zoomed[y][x]);
  // Zoom 1 is DrawRotate; zoom 0, infinite or NaN draws nothing.
  Fill(0x7777);
  oxDraw::DrawRotateZoom(0, 0, 2, 2, 90, 1.0f, sq, 0, 0, 2, 2);
  EXPECT_TRUE(At(0, 0) == 3 && At(1, 0) == 1);
  for (const float z : {0.0f, INFINITY, NAN}) {
    Fill(0x7777);
    EXPECT_EQ(oxDraw::DrawRotateZoom(0, 0, 4, 4, 0, z, sq, 0, 0, 2, 2), 1);
    EXPECT_EQ(At(1, 1), 0x7777);
  }
  // A tiny zoom leaves at most the centre pixel; far-away and huge
  // rectangles are cut without trouble.
  Fill(0x7777);
  EXPECT_EQ(oxDraw::DrawRotateZoom(0, 0, 640, 480, 10, 1e-30f, sq, 0, 0, 2, 2), 1);
  int changed = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) changed += At(x, y) != 0x7777;
  EXPECT_LE(changed, 1);
  EXPECT_EQ(oxDraw::DrawRotate(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 30, sq, 0, 0, 2, 2), 1);
  EXPECT_EQ(oxDraw::DrawRotateTiled(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 30, sq, 0, 0, 2, 2), 1);
  EXPECT_EQ(oxDraw::DrawRotateZoom(INT_MIN, 0, INT_MAX, 10, 359, 1e30f, sq, 0, 0, 2, 2), 1);
}

// ------------------------------------------------------------ filters

TEST_F(EffectsTest, BlurWorksInPlaceFromTheTopLeft) {
  // Blue values of a 4 x 3 area at (10, 10); red 0, green 6-bit odd.
  const int blue[3][4] = {{4, 8, 12, 16}, {20, 24, 28, 0}, {1, 2, 3, 4}};
  auto Load = [&] {
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) At(10 + x, 10 + y) = Rgb(0, 9, blue[y][x]);
  };
  Load();
  EXPECT_EQ(oxDraw::Blur(10, 10, 4, 3), 1);
  // (1,1): (20 + 28 + 8 + 2) >> 2 = 14; (2,1): (14 + 0 + 12 + 3) >> 2 = 7,
  // its left neighbour already blurred. Green 9 is 5-bit 4 everywhere.
  EXPECT_TRUE(At(11, 11) == P5(0, 4, 14) && At(12, 11) == P5(0, 4, 7));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      if (y != 1 || x == 0 || x == 3) {
        EXPECT_EQ(At(10 + x, 10 + y), Rgb(0, 9, blue[y][x]));
      }
    }
  }
  EXPECT_EQ(At(9, 11), 0x7777);
  // Faded in red and blue: 14 - 1 = 13, then (13 + 0 + 12 + 3) >> 2 - 1 = 6;
  // red stays at 0 and nothing borrows from green.
  Load();
  EXPECT_EQ(oxDraw::BlurFade(1, 0, 1, 10, 10, 4, 3), 1);
  EXPECT_TRUE(At(11, 11) == P5(0, 4, 13) && At(12, 11) == P5(0, 4, 6));
  // Repeated inside a black border, the picture fades to black.
  oxDraw::FillRect(20, 20, 25, 25, 0);
  oxDraw::FillRect(21, 21, 24, 24, 0xFFFF);
  for (int i = 0; i < 32; ++i) oxDraw::BlurFade(1, 1, 1, 20, 20, 5, 5);
  for (int y = 21; y < 24; ++y)
    for (int x = 21; x < 24; ++x) EXPECT_EQ(At(x, y), 0);
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
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) At(x, y) = P5(0, 0, 1 + x + 4 * y);
  EXPECT_EQ(oxDraw::Rise(0, 0, 4, 4), 1);
  // (1,1): average (5 + 7 + 2 + 10) >> 2 = 6 written above; (2,1): the
  // counter reached entry 1, a copy (7); entry 0: (1,2) copied up (10);
  // entry 2: (2,2) averaged (10 + 12 + 7 + 15) >> 2 = 11.
  const uint16_t expected[4][4] = {{1, 6, 7, 4}, {5, 10, 11, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(x, y), P5(0, 0, expected[y][x])) << x << y;
  EXPECT_TRUE(oxd::Effects().rise.index == 2 && oxd::Effects().rise.counter == 1);
  EXPECT_EQ(oxd::Effects().riseFade.index, 0);  // its own walk

  // The fading smear: averaged values lose 1 in the chosen channels only.
  oxd::Effects().riseFade = {0, 0};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) At(x, y) = P5(0, 9, 1 + x + 4 * y);
  EXPECT_EQ(oxDraw::RiseFade(0, 1, 1, 0, 0, 4, 4), 1);
  EXPECT_TRUE(At(1, 0) == P5(0, 8, 5) && At(2, 1) == P5(0, 8, 10));
  EXPECT_EQ(At(2, 0), P5(0, 9, 7));  // a copy is not faded

  // After entry 9999 the walk restarts at a pseudo-random entry below 1000.
  ox::SeedRandom(77);
  const int restart = ox::Random() % 1000;
  ox::SeedRandom(77);
  table[9999] = 0;
  oxd::Effects().rise = {9999, 0};
  oxDraw::Rise(0, 0, 3, 3);
  EXPECT_EQ(oxd::Effects().rise.index, restart);
}

TEST_F(EffectsTest, NoiseAddsSaturatedGrain) {
  uint8_t* table = oxd::Tables().random;
  const uint8_t entries[5] = {0, 1, 2, 1, 0};
  for (int i = 0; i < 5; ++i) table[i] = entries[i];
  for (int x = 0; x < 5; ++x) At(x, 0) = P5(10, 30, 29);
  EXPECT_EQ(oxDraw::Noise(2, 0, 0, 5, 1), 1);  // grain 0, 4, 8, 4, 0
  const uint16_t expected[5] = {P5(10, 30, 29), P5(14, 31, 31), P5(18, 31, 31), P5(14, 31, 31),
                                P5(10, 30, 29)};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(At(x, 0), expected[x]) << x;
  EXPECT_EQ(oxd::Effects().noise.index, 5);

  // Only the chosen channels; the others keep every bit.
  for (int x = 0; x < 5; ++x) At(x, 1) = Rgb(3, 61, 30);
  EXPECT_EQ(oxDraw::NoiseChannels(1, 0, 1, 0, 0, 1, 5, 1), 1);  // grain 0, 1, 2, 1, 0
  const uint16_t chosen[5] = {Rgb(3, 61, 30), Rgb(4, 61, 31), Rgb(5, 61, 31), Rgb(4, 61, 31),
                              Rgb(3, 61, 30)};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(At(x, 1), chosen[x]) << x;
  EXPECT_EQ(oxd::Effects().noiseChannels.index, 5);

  // Shifts outside 0..5: negative counts as 0, large ones saturate.
  oxd::Effects().noise = {1, 0};
  At(0, 2) = At(1, 2) = 0;
  oxDraw::Noise(-4, 0, 2, 1, 1);  // entry 1 -> 1
  oxDraw::Noise(40, 1, 2, 1, 1);  // entry 2 -> saturates
  EXPECT_TRUE(At(0, 2) == P5(1, 1, 1) && At(1, 2) == P5(31, 31, 31));
  // The rectangle is cut to the screen.
  EXPECT_EQ(oxDraw::Noise(1, -100, -100, 2000, 2000), 1);
  EXPECT_EQ(oxDraw::NoiseChannels(1, 1, 1, 1, 630, 470, INT_MAX, INT_MAX), 1);
}

// Long rows go eight pixels at a time; the walk still takes one entry per
// pixel and restarts after entry 9999 exactly where it would.
TEST_F(EffectsTest, NoiseOnLongRowsAndAcrossTheRestart) {
  const uint8_t* table = oxd::Tables().random;
  for (int x = 0; x < 40; ++x) At(x, 0) = P5(10, 20, 29);
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
  for (int x = 0; x < 24; ++x) At(x, 1) = Rgb(5, 41, 7);
  EXPECT_EQ(oxDraw::NoiseChannels(0, 1, 0, 3, 0, 1, 24, 1), 1);
  for (int x = 0; x < 24; ++x) {
    EXPECT_EQ(At(x, 1), Rgb(5, 2 * std::min(31, 20 + 8 * table[x]), 7)) << x;
  }
}

TEST_F(EffectsTest, ZoomThroughTheBufferSprite) {
  Put(100, 100, 2, 2, {1, 2, 3, 4});
  EXPECT_EQ(oxDraw::Zoom2(100, 100, 2, 2, 0), 1);
  const uint16_t full[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(At(100 + x, 100 + y), full[y][x]);
      EXPECT_EQ(Px(oxd::kBufferSprite, x, y), full[y][x]);
    }
  }
  // Any other mode: only the top-left pixel of each square; the rest shows
  // what the Buffer sprite held.
  oxDraw::FillRect(100, 100, 104, 104, 0x7777);
  Put(100, 100, 2, 2, {5, 6, 7, 8});
  EXPECT_EQ(oxDraw::Zoom2(100, 100, 2, 2, 1), 1);
  const uint16_t sparse[4][4] = {{5, 1, 6, 2}, {1, 1, 2, 2}, {7, 3, 8, 4}, {3, 3, 4, 4}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(100 + x, 100 + y), sparse[y][x]);

  // Four times, clipped as every draw.
  oxDraw::SetClip(0, 0, 206, 640);
  Put(200, 200, 2, 1, {9, 10});
  EXPECT_EQ(oxDraw::Zoom4(200, 200, 2, 1, 0), 1);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(200 + x, 200 + y), 9);
    EXPECT_TRUE(At(204, 200 + y) == 10 && At(205, 200 + y) == 10 && At(206, 200 + y) == 0x7777);
  }
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

TEST_F(EffectsTest, ResetPutsTheWalksBack) {
  oxd::Effects().rise = {17, 2};
  oxd::Effects().noise = {42, 0};
  oxd::ResetDrawState();
  EXPECT_TRUE(oxd::Effects().rise.index == 0 && oxd::Effects().rise.counter == 0 &&
              oxd::Effects().noise.index == 0);
}

}  // namespace
