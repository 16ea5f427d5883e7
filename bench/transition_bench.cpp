// What the screen transition and the picture overlay add to Present, and
// how long LoadPack takes to find an image behind many others, on the
// headless backend.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "draw/transition.h"
#include "platform/platform.h"

namespace {

constexpr int kPackEntries = 200;
char g_dir[] = "/tmp/oxbench-XXXXXX";

// The data directory goes away with the process.
void RemoveData() {
  remove((std::string(g_dir) + "/bench.pak").c_str());
  remove(g_dir);
}

// A 32 x 32 entry named IMAGEn.BMP.
std::vector<uint8_t> Entry(int n) {
  std::vector<uint8_t> v = {32, 0, 32, 0};
  for (char c : "IMAGE" + std::to_string(n) + ".BMP") v.push_back(uint8_t(c));
  v.push_back(0);
  for (int i = 0; i < 32 * 32; ++i) {
    v.push_back(uint8_t(i + n));
    v.push_back(uint8_t((i >> 8) & 0x7F));
  }
  return v;
}

// Opens the headless library once, on first use, with a data directory
// holding a pattern strip, overlay pictures and a pack.
void Open() {
  static const bool opened = [] {
    plat::Options options;
    options.headless = true;
    char error[256];
    if (!plat::Init(options, error, sizeof error)) {
      fprintf(stderr, "headless start failed: %s\n", error);
      abort();
    }
    plat::CreateMainWindow("Sample Game", 640, 480, true);
    oxDraw::Screen(640, 480, 2);
    if (!mkdtemp(g_dir)) abort();
    atexit(RemoveData);
    ox::OverrideDataDirectory(g_dir);
    std::vector<uint8_t> pack;
    for (int n = 0; n < kPackEntries; ++n) {
      std::vector<uint8_t> e = Entry(n);
      pack.insert(pack.end(), e.begin(), e.end());
    }
    FILE* f = fopen((std::string(g_dir) + "/bench.pak").c_str(), "wb");
    if (!f || fwrite(pack.data(), 1, pack.size(), f) != pack.size() || fclose(f) != 0) abort();
    oxDraw::SetPack("bench.pak");
    return true;
  }();
  (void)opened;
}

// Sprites standing in for a pattern strip and overlay pictures: every
// pixel set, so every draw copies all of it.
int FilledSprite(int width, int height) {
  const int h = oxDraw::CreateObject(width, height, 1);
  oxd::Surface* s = oxd::SpriteSurface(h);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) s->pixels[y * s->pitch + x] = uint16_t(0x0841 + x + y);
  return h;
}

void BM_PresentWithNothingRunning(benchmark::State& state) {
  Open();
  oxd::Transition() = oxd::TransitionState{};
  for (auto _ : state) oxDraw::Present();
}
BENCHMARK(BM_PresentWithNothingRunning);

// One transition step: 100 tiles of 64 x 48 drawn over the screen.
void BM_PresentWithTransitionStep(benchmark::State& state) {
  Open();
  static const int pattern = FilledSprite(640, 48);
  oxd::TransitionState& t = oxd::Transition();
  t = oxd::TransitionState{};
  t.pattern = pattern;
  for (auto _ : state) {
    t.step = 5;
    t.direction = 1;
    oxDraw::Present();
  }
  t = oxd::TransitionState{};
}
BENCHMARK(BM_PresentWithTransitionStep);

// The overlay: 121 background tiles and a full-screen picture.
void BM_PresentWithOverlay(benchmark::State& state) {
  Open();
  static const int picture = FilledSprite(640, 960);
  static const int background = FilledSprite(64, 48);
  oxd::TransitionState& t = oxd::Transition();
  t = oxd::TransitionState{};
  t.overlayPicture = picture;
  t.overlayBackground = background;
  t.overlayHeight = 960;
  t.overlay = 1;
  ox::App().frameSeconds = 1.0f / 60;
  for (auto _ : state) oxDraw::Present();
  t = oxd::TransitionState{};
}
BENCHMARK(BM_PresentWithOverlay);

// The linear scan: the last of 200 entries, each skipped by a seek.
void BM_LoadPackLastOf200(benchmark::State& state) {
  Open();
  const std::string name = "image" + std::to_string(kPackEntries - 1) + ".bmp";
  for (auto _ : state) {
    const int h = oxDraw::LoadPack(name.c_str(), 1);
    if (h == 0) {
      state.SkipWithError("LoadPack failed");
      break;
    }
    oxDraw::ReleaseObject(h);
  }
}
BENCHMARK(BM_LoadPackLastOf200);

}  // namespace
