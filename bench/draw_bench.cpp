// Sprite drawing, clearing and presentation on the headless backend, each
// next to the plain memory operation that bounds it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/anchor_loops.h"
#include "draw/blit_rows.h"
#include "draw/draw_state.h"
#include "draw/ox_draw_status.h"
#include "draw/ox_draw.h"
#include "platform/platform.h"

namespace {

constexpr int kSide = 64;
constexpr int kPixels = kSide * kSide;

constexpr int kStripWidth = 380, kStripHeight = 480;

struct Library {
  int keyed = 0;   // 64 x 64 sprite, about a third of it transparent
  int opaque = 0;  // 64 x 64 sprite without transparent pixels
  int strip = 0;   // 380 x 480 background strip without transparent pixels
  int title = 0;   // 640 x 480 picture without transparent pixels
};

int MakeSprite(bool withHoles, int width = kSide, int height = kSide) {
  const int h = oxDraw::CreateObject(width, height, 1);
  oxd::Surface* s = oxd::SpriteSurface(h);
  if (!s) return 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int dx = x - 32, dy = y - 32;
      const bool hole = withHoles && dx * dx + dy * dy > 30 * 30;
      s->pixels[y * s->pitch + x] = hole ? 0 : uint16_t(0x0841 + x * 37 + y * 11);
    }
  }
  return h;
}

// Opens the headless library once, on first use (not at static
// initialisation).
const Library& Lib() {
  static const Library lib = [] {
    Library l;
    plat::Options options;
    options.headless = true;
    char error[256];
    if (!plat::Init(options, error, sizeof error)) {
      fprintf(stderr, "headless start failed: %s\n", error);
      abort();
    }
    plat::CreateMainWindow("Sample Game", 640, 480, true);
    if (!oxDraw::Screen(640, 480, 2)) abort();
    oxDraw::SetClip(130, 0, 510, 480);
    oxDraw::SetVSync(0);
    l.keyed = MakeSprite(true);
    l.opaque = MakeSprite(false);
    l.strip = MakeSprite(false, kStripWidth, kStripHeight);
    l.title = MakeSprite(false, 640, 480);
    if (!l.keyed || !l.opaque || !l.strip || !l.title) abort();
    // Key both on black again now that their pictures are written, so the
    // sprite table knows which of them holds key pixels.
    oxDraw::SetObjectKey(l.keyed, 0);
    oxDraw::SetObjectKey(l.opaque, 0);
    oxDraw::SetObjectKey(l.strip, 0);
    oxDraw::SetObjectKey(l.title, 0);
    return l;
  }();
  return lib;
}

void SetPixelRate(benchmark::State& state, int64_t pixelsPerIteration) {
  state.SetItemsProcessed(state.iterations() * pixelsPerIteration);
  state.SetBytesProcessed(state.iterations() * pixelsPerIteration * 2);
}

using DrawFn = void (*)(int x, int y, int handle, int sl, int st, int sr, int sb);

// Draws a whole 64 x 64 sprite on row 200, sweeping x over 140..440 so that
// every alignment of the destination rows is taken.
void Sweep(benchmark::State& state, int handle, DrawFn draw) {
  int x = 140;
  for (auto _ : state) {
    draw(x, 200, handle, 0, 0, kSide, kSide);
    x = x == 440 ? 140 : x + 1;
  }
  benchmark::DoNotOptimize(oxd::Scr().back->pixels[200 * 640 + 200]);
  SetPixelRate(state, kPixels);
}

// The same sprite cut by the playfield's left edge at x 100: the clipped path.
void Clipped(benchmark::State& state, int handle) {
  for (auto _ : state) oxDraw::Draw(100, 200, handle, 0, 0, kSide, kSide);
  benchmark::DoNotOptimize(oxd::Scr().back->pixels[200 * 640 + 140]);
  SetPixelRate(state, (kSide - 30) * kSide);
}

void BM_DrawKeyed64(benchmark::State& state) { Sweep(state, Lib().keyed, oxDraw::Draw); }
BENCHMARK(BM_DrawKeyed64);

void BM_DrawOpaque64(benchmark::State& state) { Sweep(state, Lib().opaque, oxDraw::DrawOpaque); }
BENCHMARK(BM_DrawOpaque64);

void BM_DrawKeyed64Clipped(benchmark::State& state) { Clipped(state, Lib().keyed); }
BENCHMARK(BM_DrawKeyed64Clipped);

// Keyed draws of a sprite without key pixels (background strips, title
// pictures): whole and cut by the playfield's left edge.
void BM_DrawKeyedNoKeyPixels64(benchmark::State& state) { Sweep(state, Lib().opaque, oxDraw::Draw); }
BENCHMARK(BM_DrawKeyedNoKeyPixels64);

void BM_DrawKeyedNoKeyPixels64Clipped(benchmark::State& state) { Clipped(state, Lib().opaque); }
BENCHMARK(BM_DrawKeyedNoKeyPixels64Clipped);

// The same sweep through the plain keyed loop built -O3 -march=native.
void BM_AnchorKeyedLoop64(benchmark::State& state) {
  const oxd::Surface* src = oxd::SpriteSource(Lib().keyed);
  oxd::Surface* back = oxd::Scr().back;
  int x = 140;
  for (auto _ : state) {
    bench::AnchorKeyedCopy(back->pixels + 200 * back->pitch + x, back->pitch, src->pixels,
                           src->pitch, kSide, kSide, src->key);
    benchmark::ClobberMemory();
    x = x == 440 ? 140 : x + 1;
  }
  benchmark::DoNotOptimize(back->pixels[200 * 640 + 200]);
  SetPixelRate(state, kPixels);
}
BENCHMARK(BM_AnchorKeyedLoop64);

// The keyed sweep down one forced row path (skipped when the processor
// lacks it).
void KeyedOnPath(benchmark::State& state, oxd::RowPath path) {
  Lib();
  const oxd::RowPath saved = oxd::CurrentRowPath();
  if (!oxd::SetRowPath(path)) {
    state.SkipWithError("the processor lacks this path");
    return;
  }
  Sweep(state, Lib().keyed, oxDraw::Draw);
  oxd::SetRowPath(saved);
}
void BM_DrawKeyed64Scalar(benchmark::State& state) { KeyedOnPath(state, oxd::RowPath::Scalar); }
BENCHMARK(BM_DrawKeyed64Scalar);
void BM_DrawKeyed64Sse2(benchmark::State& state) { KeyedOnPath(state, oxd::RowPath::Sse2); }
BENCHMARK(BM_DrawKeyed64Sse2);
void BM_DrawKeyed64Avx2(benchmark::State& state) { KeyedOnPath(state, oxd::RowPath::Avx2); }
BENCHMARK(BM_DrawKeyed64Avx2);
void BM_DrawKeyed64Avx512(benchmark::State& state) { KeyedOnPath(state, oxd::RowPath::Avx512); }
BENCHMARK(BM_DrawKeyed64Avx512);

// A background strip as the stages draw it: keyed, without key pixels, at
// the playfield's left edge, cut by the bottom of the screen; and opaque.
void BM_DrawStrip380(benchmark::State& state) {
  for (auto _ : state) oxDraw::Draw(130, 0, Lib().strip, 0, 0, kStripWidth, kStripHeight);
  benchmark::DoNotOptimize(oxd::Scr().back->pixels[200 * 640 + 200]);
  SetPixelRate(state, kStripWidth * kStripHeight);
}
BENCHMARK(BM_DrawStrip380);

void BM_DrawOpaqueStrip380(benchmark::State& state) {
  for (auto _ : state) oxDraw::DrawOpaque(130, 0, Lib().strip, 0, 0, kStripWidth, kStripHeight);
  benchmark::DoNotOptimize(oxd::Scr().back->pixels[200 * 640 + 200]);
  SetPixelRate(state, kStripWidth * kStripHeight);
}
BENCHMARK(BM_DrawOpaqueStrip380);

// Anchor of the strips: memcpy of the strip's rows into the back buffer.
void BM_MemcpyStripRows(benchmark::State& state) {
  const oxd::Surface* src = oxd::SpriteSource(Lib().strip);
  oxd::Surface* back = oxd::Scr().back;
  // A size the compiler does not know, so that the library's memcpy copies
  // each row rather than an inline expansion.
  size_t rowBytes = kStripWidth * sizeof(uint16_t);
  benchmark::DoNotOptimize(rowBytes);
  for (auto _ : state) {
    for (int y = 0; y < kStripHeight; ++y) {
      std::memcpy(back->pixels + y * back->pitch + 130, src->pixels + y * src->pitch, rowBytes);
    }
    benchmark::ClobberMemory();
  }
  SetPixelRate(state, kStripWidth * kStripHeight);
}
BENCHMARK(BM_MemcpyStripRows);

// A full-screen picture without key pixels drawn keyed (the title).
void BM_DrawTitle640(benchmark::State& state) {
  oxDraw::SetClip(0, 0, 640, 480);
  for (auto _ : state) oxDraw::Draw(0, 0, Lib().title, 0, 0, 640, 480);
  oxDraw::SetClip(130, 0, 510, 480);
  benchmark::DoNotOptimize(oxd::Scr().back->pixels[200 * 640 + 200]);
  SetPixelRate(state, 640 * 480);
}
BENCHMARK(BM_DrawTitle640);

// Clear of a back buffer whose every pixel may have been drawn (taking it
// for writing forgets which rows are black already).
void BM_Clear(benchmark::State& state) {
  Lib();
  for (auto _ : state) {
    oxd::BackSurface();
    oxDraw::Clear();
    benchmark::ClobberMemory();
  }
  SetPixelRate(state, 640 * 480);
}
BENCHMARK(BM_Clear);

void BM_MemsetBackBuffer(benchmark::State& state) {
  Lib();
  uint16_t* pixels = oxd::Scr().back->pixels;
  for (auto _ : state) {
    std::memset(pixels, 0, 640 * 480 * 2);
    benchmark::ClobberMemory();
  }
  SetPixelRate(state, 640 * 480);
}
BENCHMARK(BM_MemsetBackBuffer);

// Present with the picture asked for afterwards, as a screenshot does: the
// copy onto the screen surface is made every time.
void BM_Present(benchmark::State& state) {
  Lib();
  for (auto _ : state) {
    oxDraw::Present();
    benchmark::DoNotOptimize(oxd::PresentedSurface());
    benchmark::ClobberMemory();
  }
  SetPixelRate(state, 640 * 480);
}
BENCHMARK(BM_Present);

void BM_MemcpyBackBuffer(benchmark::State& state) {
  Lib();
  std::vector<uint16_t> target(640 * 480);
  const uint16_t* pixels = oxd::Scr().back->pixels;
  for (auto _ : state) {
    std::memcpy(target.data(), pixels, 640 * 480 * 2);
    benchmark::ClobberMemory();
  }
  SetPixelRate(state, 640 * 480);
}
BENCHMARK(BM_MemcpyBackBuffer);

}  // namespace
