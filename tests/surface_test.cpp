// The blitter against pixel-by-pixel references: keyed copies at every
// width and alignment, copies and stretches inside one surface, refusals.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "draw/blit_rows.h"
#include "draw/ox_surface.h"
#include "tests/test_support.h"

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

namespace {

constexpr oxd::RowPath kAllPaths[] = {oxd::RowPath::Scalar, oxd::RowPath::Sse2,
                                      oxd::RowPath::Avx2, oxd::RowPath::Avx512};

// Puts the path chosen at start back after a test forced another.
struct PathRestorer {
  oxd::RowPath saved = oxd::CurrentRowPath();
  ~PathRestorer() { oxd::SetRowPath(saved); }
};

}  // namespace

// Every row copy the processor runs against the scalar one on the same
// random rows: widths 1..70 at every source and destination alignment
// within a 64-byte line, the key at every position of the row, and guard
// pixels around the row that no path may touch.
TEST(DrawBlitter, EveryKeyedRowPathMatchesTheScalarPath) {
  const oxd::KeyedRowFn scalar = oxd::KeyedRowFor(oxd::RowPath::Scalar);
  ASSERT_NE(scalar, nullptr);
  ASSERT_TRUE(oxd::RowPathAvailable(oxd::RowPath::Scalar));
  std::mt19937 rng(77);
  constexpr int kGuard = 40, kMaxWidth = 70, kAlign = 32;  // 32 pixels = 64 bytes
  std::vector<uint16_t> src(kGuard * 2 + kMaxWidth + kAlign), base(src.size());
  int tested = 0;
  for (oxd::RowPath path : kAllPaths) {
    const oxd::KeyedRowFn fn = oxd::KeyedRowFor(path);
    if (!oxd::RowPathAvailable(path)) {
      EXPECT_EQ(fn, nullptr) << oxd::RowPathName(path);
      continue;
    }
    ASSERT_NE(fn, nullptr) << oxd::RowPathName(path);
    ++tested;
    for (int width = 1; width <= kMaxWidth; ++width) {
      for (int sa = 0; sa < kAlign; sa += (width < 20 ? 1 : 5)) {
        const int da = (sa * 7 + width) % kAlign;
        // Round 0..width-1: a single key pixel at that position among
        // non-key pixels; round width: random rows, a quarter keys.
        for (int round = 0; round <= width; ++round) {
          const uint16_t key = uint16_t(round == width ? rng() & 3 : rng());
          for (size_t i = 0; i < src.size(); ++i) {
            const uint32_t r = rng();
            src[i] = round == width && (r & 3) == 0 ? key : uint16_t(key ^ (1 + (r >> 16) % 0xFFFF));
            base[i] = uint16_t(r);
          }
          if (round < width) src[kGuard + sa + round] = key;
          std::vector<uint16_t> want = base, got = base;
          scalar(want.data() + kGuard + da, src.data() + kGuard + sa, width, key);
          fn(got.data() + kGuard + da, src.data() + kGuard + sa, width, key);
          ASSERT_EQ(got, want) << oxd::RowPathName(path) << " width " << width << " src align "
                               << sa << " dst align " << da << " round " << round;
        }
      }
    }
  }
  EXPECT_GE(tested, 1);
}

// Forcing a path by call: keyed and opaque blits then go down that path and
// give the reference picture, at every destination alignment within a
// 64-byte line; a path the processor lacks is refused.
TEST(DrawBlitter, ForcedPathsDrawTheSamePicture) {
  PathRestorer restore;
  std::mt19937 rng(99);
  Owned src(70, 5), dst(110, 5);
  src.s->hasKey = true;
  for (oxd::RowPath path : kAllPaths) {
    if (!oxd::RowPathAvailable(path)) {
      const oxd::RowPath before = oxd::CurrentRowPath();
      EXPECT_FALSE(oxd::SetRowPath(path));
      EXPECT_EQ(oxd::CurrentRowPath(), before);
      continue;
    }
    ASSERT_TRUE(oxd::SetRowPath(path));
    EXPECT_EQ(oxd::CurrentRowPath(), path);
    for (int width : {1, 7, 8, 15, 16, 31, 32, 33, 63, 64, 65, 70}) {
      for (int dx = 0; dx < 32; ++dx) {
        for (bool keyed : {true, false}) {
          src.Scramble(rng);
          dst.Scramble(rng);
          const auto expected =
              Reference(dst.Copy(), 110, src.Copy(), 70, 0, 1, width, 4, dx, 0, keyed);
          ASSERT_EQ(oxd::Blit(*dst, dx, 0, *src, 0, 1, width, 5, keyed), BlitResult::Ok);
          ASSERT_EQ(dst.Copy(), expected)
              << oxd::RowPathName(path) << " " << width << " at " << dx << (keyed ? " keyed" : "");
        }
      }
    }
  }
}

// OX_BLIT_PATH picks the path of a whole run: the game draws the same
// pictures down every path the processor has.
TEST(DrawBlitter, EnvironmentChosenPathsDrawTheSameGame) {
  const std::string dir = oxtest::DataDir();
  ASSERT_TRUE(oxtest::WriteFile(dir + "play.txt",
                                "2 ENTER down\n4 ENTER up\n6 F1 down\n8 F1 up\n10 X down\n"));
  std::string first;
  for (oxd::RowPath path : kAllPaths) {
    if (!oxd::RowPathAvailable(path)) continue;
    const std::string shot = dir + oxd::RowPathName(path) + ".bmp";
    const std::string cmd = std::string("OX_BLIT_PATH=") + oxd::RowPathName(path) + " " +
                            SAMPLEGAME_EXE + " --headless --seed 3 --frames 400 --input " + dir +
                            "play.txt --shot 400:" + shot + " > /dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const std::string picture = oxtest::ReadFile(shot);
    ASSERT_GT(picture.size(), 54u) << shot;
    if (first.empty()) {
      first = picture;
    } else {
      EXPECT_EQ(picture, first) << oxd::RowPathName(path);
    }
  }
}
