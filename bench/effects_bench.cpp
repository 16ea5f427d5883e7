// Software pixel effects over a 640 x 480 area of the back buffer on the
// headless backend; items are pixels of the area, one core.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "platform/platform.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int64_t kArea = int64_t(kWidth) * kHeight;

struct Pictures {
  int picture = 0;  // 640 x 480, colourful, about a tenth transparent
  int grey = 0;     // 640 x 480 grey mask / displacement map
};

void Paint(int handle, bool grey) {
  oxd::Surface* s = oxd::SpriteSurface(handle);
  if (!s) abort();
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int dx = x % 64 - 32, dy = y % 64 - 32;
      const bool hole = dx * dx + dy * dy < 10 * 10;
      const int r = (x * 31 / kWidth) & 31, g = (y * 63 / kHeight) & 63, b = ((x ^ y) >> 2) & 31;
      const uint16_t p =
          grey ? uint16_t((r << 11) | (r << 6) | r) : uint16_t((r << 11) | (g << 5) | b);
      s->pixels[y * s->pitch + x] = hole ? 0 : (p ? p : 1);
    }
  }
}

// Opens the headless library on first use (or uses the screen another
// benchmark file opened) and makes the pictures.
const Pictures& Lib() {
  static const Pictures pictures = [] {
    if (!oxd::Scr().opened) {
      plat::Options options;
      options.headless = true;
      char error[256];
      if (!plat::Init(options, error, sizeof error)) {
        fprintf(stderr, "headless start failed: %s\n", error);
        abort();
      }
      plat::CreateMainWindow("Sample Game", kWidth, kHeight, true);
      if (!oxDraw::Screen(kWidth, kHeight, 2)) abort();
    }
    Pictures p;
    p.picture = oxDraw::CreateObject(kWidth, kHeight, 1);
    p.grey = oxDraw::CreateObject(kWidth, kHeight, 1);
    if (p.picture <= 0 || p.grey <= 0) abort();
    Paint(p.picture, false);
    Paint(p.grey, true);
    return p;
  }();
  return pictures;
}

// Runs one effect call per iteration over the whole screen.
template <class Call>
void Run(benchmark::State& state, Call call) {
  Lib();
  oxDraw::SetClip(0, 0, kWidth, kHeight);
  Paint(Lib().picture, false);  // the back buffer starts as a picture too
  oxDraw::DrawOpaque(0, 0, Lib().picture, 0, 0, kWidth, kHeight);
  for (auto _ : state) {
    if (call() != 1) state.SkipWithError("effect failed");
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kArea);
}

#define SPRITE_EFFECT(Name, ...)                  \
  void BM_Effect##Name(benchmark::State& state) { \
    Run(state, [] {                               \
      const int h = Lib().picture;                \
      (void)h;                                    \
      const int g = Lib().grey;                   \
      (void)g;                                    \
      return __VA_ARGS__;                         \
    });                                           \
  }                                               \
  BENCHMARK(BM_Effect##Name)

constexpr int W = kWidth, H = kHeight;

// Blends and table-driven effects.
SPRITE_EFFECT(Mirror, oxDraw::DrawMirror(0, 0, 0, h, 0, 0, W, H));
SPRITE_EFFECT(MirrorBoth, oxDraw::DrawMirror(0, 0, 3, h, 0, 0, W, H));
SPRITE_EFFECT(Half, oxDraw::DrawHalf(0, 0, h, 0, 0, W, H));
SPRITE_EFFECT(Alpha, oxDraw::DrawAlpha(0, 0, 0.3f, h, 0, 0, W, H));
SPRITE_EFFECT(AlphaRGB, oxDraw::DrawAlphaRGB(0, 0, 0.2f, 0.5f, 0.8f, h, 0, 0, W, H));
SPRITE_EFFECT(AlphaRamp, oxDraw::DrawAlphaRamp(0, 0, 0.0f, 0.1f, 0.2f, 0, 100, 8, h, 0, 0, W, H));
SPRITE_EFFECT(Fade, oxDraw::DrawFade(0, 0, 12, h, 0, 0, W, H));
SPRITE_EFFECT(FadeRGB, oxDraw::DrawFadeRGB(0, 0, 4, 16, 28, h, 0, 0, W, H));
SPRITE_EFFECT(FadeRamp, oxDraw::DrawFadeRamp(0, 0, 0, 4, 8, 0, 100, 8, h, 0, 0, W, H));
SPRITE_EFFECT(Add, oxDraw::DrawAdd(0, 0, h, 0, 0, W, H));
SPRITE_EFFECT(AddAlpha, oxDraw::DrawAddAlpha(0, 0, 0.4f, h, 0, 0, W, H));
SPRITE_EFFECT(Shadow, oxDraw::DrawShadow(0, 0, g, 0, 0, W, H));
SPRITE_EFFECT(Dark, oxDraw::DrawDark(0, 0, 20, h, 0, 0, W, H));
SPRITE_EFFECT(DarkRGB, oxDraw::DrawDarkRGB(0, 0, 10, 20, 30, h, 0, 0, W, H));
SPRITE_EFFECT(Scaled, oxDraw::DrawScaled(0, 0, 0.7f, h, 0, 0, W, H));
SPRITE_EFFECT(ScaledRGB, oxDraw::DrawScaledRGB(0, 0, 0.5f, 1.2f, 2.0f, h, 0, 0, W, H));
SPRITE_EFFECT(Channels, oxDraw::DrawChannels(0, 0, 1, 0, 1, h, 0, 0, W, H));
SPRITE_EFFECT(Grey, oxDraw::DrawGrey(0, 0, h, 0, 0, W, H));
SPRITE_EFFECT(Soft2, oxDraw::DrawSoft(0, 0, 2, h, 0, 0, W, H));
SPRITE_EFFECT(Soft7, oxDraw::DrawSoft(0, 0, 7, h, 0, 0, W, H));
SPRITE_EFFECT(Refract, oxDraw::DrawRefract(0, 0, 0.8f, g, 0, 0, W, H));

// Rotations of the whole picture onto the whole screen.
SPRITE_EFFECT(Rotate, oxDraw::DrawRotate(0, 0, W, H, 30, h, 0, 0, W, H));
SPRITE_EFFECT(RotateTiled, oxDraw::DrawRotateTiled(0, 0, W, H, 30, h, 0, 0, W, H));
SPRITE_EFFECT(RotateZoom, oxDraw::DrawRotateZoom(0, 0, W, H, 30, 1.5f, h, 0, 0, W, H));

// Back-buffer filters. The zooms enlarge a quarter or a sixteenth of the
// screen to the whole screen; the mosaic's circle covers most of it.
SPRITE_EFFECT(Blur, oxDraw::Blur(0, 0, W, H));
SPRITE_EFFECT(BlurFade, oxDraw::BlurFade(1, 0, 1, 0, 0, W, H));
SPRITE_EFFECT(Rise, oxDraw::Rise(0, 0, W, H));
SPRITE_EFFECT(RiseFade, oxDraw::RiseFade(1, 1, 0, 0, 0, W, H));
SPRITE_EFFECT(Zoom2, oxDraw::Zoom2(0, 0, W / 2, H / 2, 0));
SPRITE_EFFECT(Zoom4, oxDraw::Zoom4(0, 0, W / 4, H / 4, 0));
SPRITE_EFFECT(MosaicCircle, oxDraw::MosaicCircle(W / 2, H / 2, 400, 8));
SPRITE_EFFECT(Noise, oxDraw::Noise(1, 0, 0, W, H));
SPRITE_EFFECT(NoiseChannels, oxDraw::NoiseChannels(1, 0, 1, 2, 0, 0, W, H));

}  // namespace
