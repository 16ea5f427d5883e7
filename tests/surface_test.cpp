// The blitter against pixel-by-pixel references: keyed copies at every
// width and alignment, copies and stretches inside one surface, refusals.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "draw/ox_surface.h"

namespace {

using oxd::BlitResult;

struct Owned {
  oxd::Surface* s;
  Owned(int w, int h) : s(oxd::CreateSurface(w, h)) {}
  Owned(const Owned&) = delete;
  ~Owned() { oxd::DestroySurface(s); }
  oxd::Surface& operator*() const { return *s; }
  uint16_t& At(int x, int y) const { return s->pixels[y * s->pitch + x]; }
  std::vector<uint16_t> Copy() const {
    return {s->pixels, s->pixels + s->pitch * s->height};
  }
  // Random pixels, a quarter of them the key 0 and some 1, so that every
  // lane of a block meets both cases.
  void Scramble(std::mt19937& rng) {
    for (int i = 0; i < s->pitch * s->height; ++i) {
      const uint32_t r = rng();
      s->pixels[i] = (r & 3) == 0 ? 0 : (r & 3) == 1 ? uint16_t(r >> 31) : uint16_t(r >> 8);
    }
  }
};

// Expected content after copying `before`'s (sl, st, w x h) to (dx, dy),
// source read whole first; dst starts as `target`.
std::vector<uint16_t> Reference(std::vector<uint16_t> target, int pitch,
                                const std::vector<uint16_t>& src, int srcPitch, int sl, int st,
                                int w, int h, int dx, int dy, bool keyed) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint16_t v = src[(st + y) * srcPitch + sl + x];
      if (!keyed || v != 0) target[(dy + y) * pitch + dx + x] = v;
    }
  return target;
}

// Keyed copies at every width and alignment (the vector blocks and their
// tails), then keyed and plain copies within one surface in every direction.
TEST(DrawBlitter, CopiesMatchTheReference) {
  std::mt19937 rng(1234);
  Owned src(96, 6), dst(120, 6);
  src.s->hasKey = true;
  for (int width = 1; width <= 41; ++width) {
    for (int offset = 0; offset < 9; ++offset) {
      src.Scramble(rng);
      dst.Scramble(rng);
      const int sl = offset * 3 % 7;
      const auto expected =
          Reference(dst.Copy(), 120, src.Copy(), 96, sl, 2, width, 3, offset, 1, true);
      ASSERT_EQ(oxd::Blit(*dst, offset, 1, *src, sl, 2, sl + width, 5, true), BlitResult::Ok);
      ASSERT_EQ(dst.Copy(), expected) << width << " " << offset;
    }
  }
  src.s->hasKey = false;  // a keyed copy from a surface without a key copies all
  oxd::Blit(*dst, 0, 0, *src, 0, 0, 96, 6, true);
  ASSERT_EQ(dst.Copy(), Reference(dst.Copy(), 120, src.Copy(), 96, 0, 0, 96, 6, 0, 0, false));
  const int moves[][2] = {{3, 0}, {-5, 0}, {1, 0}, {-1, 0}, {0, 2}, {0, -2}, {7, 1}, {-9, -1},
                          {14, 0}};
  for (bool keyed : {false, true}) {
    for (auto [mx, my] : moves) {
      Owned s(64, 12);
      s.s->hasKey = true;
      s.Scramble(rng);
      const auto before = s.Copy();
      const auto expected = Reference(before, 64, before, 64, 20, 3, 30, 6, 20 + mx, 3 + my, keyed);
      ASSERT_EQ(oxd::Blit(*s, 20 + mx, 3 + my, *s, 20, 3, 50, 9, keyed), BlitResult::Ok);
      ASSERT_EQ(s.Copy(), expected) << keyed << " " << mx << "," << my;
    }
  }
}

// Nearest neighbour (destination i takes source floor(i * n / m)), also
// when a surface is stretched onto itself, as the Buffer sprite can be.
TEST(DrawBlitter, NearestNeighbourAlsoInsideOneSurface) {
  std::mt19937 rng(5);
  struct Case {
    int sl, st, sr, sb, dl, dt, dr, db;
  };
  for (Case c : {Case{0, 0, 5, 4, 0, 0, 15, 11}, Case{3, 2, 13, 9, 0, 0, 30, 20},
                 Case{0, 0, 30, 20, 4, 3, 14, 10}, Case{10, 5, 20, 15, 2, 2, 31, 17},
                 Case{5, 5, 25, 15, 5, 5, 15, 10}}) {
    for (bool inPlace : {false, true}) {
      Owned a(32, 24), b(32, 24);
      a.Scramble(rng);
      b.Scramble(rng);
      Owned& dst = inPlace ? a : b;
      const auto source = a.Copy();
      auto expected = dst.Copy();
      const int dw = c.dr - c.dl, dh = c.db - c.dt;
      for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x) {
          const int sx = c.sl + x * (c.sr - c.sl) / dw, sy = c.st + y * (c.sb - c.st) / dh;
          expected[(c.dt + y) * 32 + c.dl + x] = source[sy * 32 + sx];
        }
      ASSERT_EQ(oxd::BlitStretch(*dst, c.dl, c.dt, c.dr, c.db, *a, c.sl, c.st, c.sr, c.sb, false),
                BlitResult::Ok);
      ASSERT_EQ(dst.Copy(), expected) << c.sl << " " << c.dl << " " << inPlace;
    }
  }
}

}  // namespace
