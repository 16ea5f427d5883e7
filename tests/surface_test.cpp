// The blitter: keyed and plain copies against a pixel-by-pixel reference,
// copies and stretches inside one surface, and the refusal rules.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "draw/surface.h"

namespace {

using oxd::BlitResult;
using oxd::Surface;

struct Owned {
  Surface* s;
  explicit Owned(int w, int h) : s(oxd::CreateSurface(w, h)) {}
  ~Owned() { oxd::DestroySurface(s); }
  Surface* operator->() const { return s; }
  Surface& operator*() const { return *s; }
  uint16_t& At(int x, int y) const { return s->pixels[y * s->pitch + x]; }
  std::vector<uint16_t> Copy() const {
    return std::vector<uint16_t>(s->pixels, s->pixels + s->pitch * s->height);
  }
};

// Random pixels with a fair share of the key value 0x0000 and its
// neighbours, so that every lane of a block meets both cases.
void Scramble(Owned& o, std::mt19937& rng) {
  for (int i = 0; i < o->pitch * o->height; ++i) {
    uint32_t r = rng();
    o->pixels[i] = (r & 3) == 0 ? 0 : (r & 3) == 1 ? uint16_t(r >> 31) : uint16_t(r >> 8);
  }
}

TEST(SurfaceCreate, SizesAndContent) {
  EXPECT_EQ(oxd::CreateSurface(0, 5), nullptr);
  EXPECT_EQ(oxd::CreateSurface(5, -1), nullptr);
  EXPECT_EQ(oxd::CreateSurface(65536, 1), nullptr);
  Owned o(65535, 1);
  ASSERT_NE(o.s, nullptr);
  EXPECT_EQ(o->pitch, 65535);
  EXPECT_EQ(o.At(65534, 0), 0);
  o.At(7, 0) = 9;
  o->lost = true;
  oxd::RestoreSurface(*o);
  EXPECT_FALSE(o->lost);
  EXPECT_EQ(o.At(7, 0), 0);
  oxd::DestroySurface(nullptr);
}

TEST(SurfaceBlit, KeyedCopyMatchesReferenceAtEveryWidthAndOffset) {
  std::mt19937 rng(1234);
  Owned src(96, 6), dst(120, 6);
  src->hasKey = true;
  src->key = 0;
  for (int width = 1; width <= 41; ++width) {
    for (int offset = 0; offset < 9; ++offset) {
      Scramble(src, rng);
      Scramble(dst, rng);
      const std::vector<uint16_t> before = dst.Copy();
      const int sl = offset * 3 % 7, dx = offset;
      ASSERT_EQ(oxd::Blit(*dst, dx, 1, *src, sl, 2, sl + width, 5, true), BlitResult::Ok);
      for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 120; ++x) {
          uint16_t expected = before[y * 120 + x];
          if (y >= 1 && y < 4 && x >= dx && x < dx + width) {
            uint16_t s = src.At(sl + x - dx, y + 1);
            if (s != 0) expected = s;
          }
          ASSERT_EQ(dst.At(x, y), expected) << width << " " << offset << " " << x << "," << y;
        }
      }
    }
  }
}

TEST(SurfaceBlit, KeyOnlyWithKeyedAndHasKey) {
  Owned src(9, 1), dst(9, 1);
  for (int x = 0; x < 9; ++x) dst.At(x, 0) = 5;
  src.At(3, 0) = 0x0F0F;
  src->key = 0x0F0F;
  src->hasKey = false;
  oxd::Blit(*dst, 0, 0, *src, 0, 0, 9, 1, true);
  EXPECT_EQ(dst.At(3, 0), 0x0F0F);  // no key on the surface: everything copied
  EXPECT_EQ(dst.At(4, 0), 0);
  for (int x = 0; x < 9; ++x) dst.At(x, 0) = 5;
  src->hasKey = true;
  oxd::Blit(*dst, 0, 0, *src, 0, 0, 9, 1, false);
  EXPECT_EQ(dst.At(3, 0), 0x0F0F);  // plain copy ignores the key
  for (int x = 0; x < 9; ++x) dst.At(x, 0) = 5;
  oxd::Blit(*dst, 0, 0, *src, 0, 0, 9, 1, true);
  EXPECT_EQ(dst.At(3, 0), 5);
  EXPECT_EQ(dst.At(8, 0), 0);
}

// Copies within one surface behave as if the source were read whole first.
TEST(SurfaceBlit, OverlappingCopiesInOneSurface) {
  std::mt19937 rng(99);
  struct Move {
    int dx, dy;
  };
  for (bool keyed : {false, true}) {
    for (Move m : {Move{3, 0}, Move{-5, 0}, Move{1, 0}, Move{-1, 0}, Move{0, 2}, Move{0, -2},
                   Move{7, 1}, Move{-9, -1}, Move{14, 0}}) {
      Owned s(64, 12);
      s->hasKey = true;
      s->key = 0;
      Scramble(s, rng);
      const std::vector<uint16_t> before = s.Copy();
      const int sl = 20, st = 3, w = 30, h = 6;
      ASSERT_EQ(oxd::Blit(*s, sl + m.dx, st + m.dy, *s, sl, st, sl + w, st + h, keyed),
                BlitResult::Ok);
      for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 64; ++x) {
          uint16_t expected = before[y * 64 + x];
          const int ux = x - m.dx - sl, uy = y - m.dy - st;
          if (ux >= 0 && ux < w && uy >= 0 && uy < h) {
            const uint16_t v = before[(st + uy) * 64 + sl + ux];
            if (!keyed || v != 0) expected = v;
          }
          ASSERT_EQ(s.At(x, y), expected) << keyed << " " << m.dx << "," << m.dy << " @" << x
                                          << "," << y;
        }
      }
    }
  }
}

TEST(SurfaceBlit, RefusalRules) {
  Owned src(10, 10), dst(20, 20);
  src.At(0, 0) = 1;
  EXPECT_EQ(oxd::Blit(*dst, 0, 0, *src, -1, 0, 5, 5, false), BlitResult::Refused);
  EXPECT_EQ(oxd::Blit(*dst, 0, 0, *src, 0, 0, 11, 5, false), BlitResult::Refused);
  EXPECT_EQ(oxd::Blit(*dst, 0, 0, *src, 0, 5, 5, 11, false), BlitResult::Refused);
  EXPECT_EQ(oxd::Blit(*dst, -1, 0, *src, 0, 0, 5, 5, false), BlitResult::Refused);
  EXPECT_EQ(oxd::Blit(*dst, 16, 0, *src, 0, 0, 5, 5, false), BlitResult::Refused);
  EXPECT_EQ(oxd::Blit(*dst, 0, 16, *src, 0, 0, 5, 5, false), BlitResult::Refused);
  EXPECT_EQ(oxd::Blit(*dst, 0, 0, *src, 5, 0, 4, 5, false), BlitResult::Refused);
  EXPECT_EQ(oxd::Blit(*dst, 2147483647, 0, *src, 0, 0, 5, 5, false), BlitResult::Refused);
  // Empty rectangles succeed and draw nothing, wherever they point.
  EXPECT_EQ(oxd::Blit(*dst, 15, 0, *src, 5, 0, 5, 5, false), BlitResult::Ok);
  EXPECT_EQ(oxd::Blit(*dst, 20, 20, *src, 0, 0, 0, 0, false), BlitResult::Ok);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(dst.At(x, y), 0);
  // Exactly filling the destination is fine.
  EXPECT_EQ(oxd::Blit(*dst, 10, 10, *src, 0, 0, 10, 10, false), BlitResult::Ok);
  EXPECT_EQ(dst.At(10, 10), 1);
  src->lost = true;
  EXPECT_EQ(oxd::Blit(*dst, 0, 0, *src, 0, 0, 5, 5, false), BlitResult::Lost);
  src->lost = false;
  dst->lost = true;
  EXPECT_EQ(oxd::Blit(*dst, 0, 0, *src, 0, 0, 5, 5, false), BlitResult::Lost);
  EXPECT_EQ(oxd::Fill(*dst, 0, 0, 1, 1, 3), BlitResult::Lost);
}

TEST(SurfaceFill, RowsAndBounds) {
  Owned s(8, 4);
  EXPECT_EQ(oxd::Fill(*s, 1, 1, 3, 3, 0xABCD), BlitResult::Ok);
  EXPECT_EQ(s.At(1, 1), 0xABCD);
  EXPECT_EQ(s.At(2, 2), 0xABCD);
  EXPECT_EQ(s.At(3, 2), 0);
  EXPECT_EQ(s.At(1, 3), 0);
  EXPECT_EQ(oxd::Fill(*s, 0, 0, 8, 4, 7), BlitResult::Ok);
  EXPECT_EQ(s.At(7, 3), 7);
  EXPECT_EQ(oxd::Fill(*s, 0, 0, 9, 1, 1), BlitResult::Refused);
  EXPECT_EQ(oxd::Fill(*s, 0, -1, 1, 1, 1), BlitResult::Refused);
  EXPECT_EQ(oxd::Fill(*s, 3, 0, 2, 1, 1), BlitResult::Refused);
  EXPECT_EQ(oxd::Fill(*s, 3, 0, 3, 1, 1), BlitResult::Ok);
  EXPECT_EQ(s.At(0, 0), 7);
}

// Nearest neighbour: destination i takes source floor(i * n / m).
TEST(SurfaceStretch, NearestNeighbourAndKey) {
  Owned src(3, 2), dst(10, 10);
  for (int x = 0; x < 3; ++x) {
    src.At(x, 0) = uint16_t(0x100 + x);
    src.At(x, 1) = uint16_t(0x200 + x);
  }
  src.At(1, 1) = 0x0F0F;
  src->hasKey = true;
  src->key = 0x0F0F;
  ASSERT_EQ(oxd::BlitStretch(*dst, 1, 1, 8, 5, *src, 0, 0, 3, 2, true), BlitResult::Ok);
  const int cols[7] = {0, 0, 0, 1, 1, 2, 2};
  for (int j = 0; j < 4; ++j) {
    for (int i = 0; i < 7; ++i) {
      const uint16_t v = src.At(cols[i], j / 2);
      ASSERT_EQ(dst.At(1 + i, 1 + j), v == 0x0F0F ? 0 : v) << i << "," << j;
    }
  }
  EXPECT_EQ(dst.At(8, 1), 0);
  // Shrinking picks every other column.
  Owned wide(8, 1), narrow(4, 1);
  for (int x = 0; x < 8; ++x) wide.At(x, 0) = uint16_t(x + 1);
  oxd::BlitStretch(*narrow, 0, 0, 4, 1, *wide, 0, 0, 8, 1, false);
  EXPECT_EQ(narrow.At(0, 0), 1);
  EXPECT_EQ(narrow.At(3, 0), 7);
  EXPECT_EQ(oxd::BlitStretch(*dst, 0, 0, 11, 2, *src, 0, 0, 3, 2, true), BlitResult::Refused);
  EXPECT_EQ(oxd::BlitStretch(*dst, 0, 0, 2, 2, *src, 0, 0, 4, 2, true), BlitResult::Refused);
  EXPECT_EQ(oxd::BlitStretch(*dst, 5, 0, 2, 2, *src, 0, 0, 3, 2, true), BlitResult::Refused);
  EXPECT_EQ(oxd::BlitStretch(*dst, 0, 0, 0, 2, *src, 0, 0, 3, 2, true), BlitResult::Ok);
}

// Stretching inside one surface (the Buffer sprite stretched onto itself)
// reads every source pixel before the copy overwrites it.
TEST(SurfaceStretch, InsideOneSurface) {
  std::mt19937 rng(5);
  struct Case {
    int sl, st, sr, sb, dl, dt, dr, db;
  };
  for (Case c : {Case{0, 0, 5, 4, 0, 0, 15, 11},      // grow from the corner
                 Case{3, 2, 13, 9, 0, 0, 30, 20},     // grow, source inside
                 Case{0, 0, 30, 20, 4, 3, 14, 10},    // shrink into the middle
                 Case{10, 5, 20, 15, 2, 2, 31, 17},   // grow around it
                 Case{5, 5, 25, 15, 5, 5, 15, 10}}) { // shrink to the corner
    Owned s(32, 24);
    Scramble(s, rng);
    const std::vector<uint16_t> before = s.Copy();
    ASSERT_EQ(oxd::BlitStretch(*s, c.dl, c.dt, c.dr, c.db, *s, c.sl, c.st, c.sr, c.sb, false),
              BlitResult::Ok);
    const int sw = c.sr - c.sl, sh = c.sb - c.st, dw = c.dr - c.dl, dh = c.db - c.dt;
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 32; ++x) {
        uint16_t expected = before[y * 32 + x];
        if (x >= c.dl && x < c.dr && y >= c.dt && y < c.db) {
          const int sx = c.sl + (x - c.dl) * sw / dw, sy = c.st + (y - c.dt) * sh / dh;
          expected = before[sy * 32 + sx];
        }
        ASSERT_EQ(s.At(x, y), expected) << c.sl << " " << c.dl << " @" << x << "," << y;
      }
    }
  }
}

}  // namespace
