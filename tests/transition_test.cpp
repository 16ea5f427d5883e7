// The tiled screen transition and the picture overlay: what Present draws, scene freezing and
// switching, key masking, overlay scroll and drift.
#include "core/ox_app.h"
#include "draw/ox_draw_status.h"
#include "draw/transition.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "frame/main_loop.h"
#include "frame/ox_system.h"
#include "frame/window_proc.h"
#include "input/ox_input.h"
#include "platform/headless.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

constexpr uint16_t kSceneColor = 0x1234;  // what the scenes paint
constexpr uint16_t kMarker = 0x7777;

uint16_t To565(uint32_t rgb) {
  return uint16_t((((rgb >> 16) & 0xFF) >> 3) << 11 | (((rgb >> 8) & 0xFF) >> 2) << 5 |
                  ((rgb & 0xFF) >> 3));
}

// Tile k of the pattern is one colour except its first 8 columns, black holes.
uint32_t TileRgb(int k) { return uint32_t(40 + 20 * k) << 16 | uint32_t(200 - 15 * k) << 8 | 90; }
constexpr int kHoleWidth = 8;

// Overlay picture row y is PictureRgb(y), unique in RGB565; background tile pixel is BackRgb.
uint32_t PictureRgb(int y) {
  return uint32_t((y & 31) << 3) << 16 | uint32_t(((y >> 5) & 63) << 2) << 8 | 0x08;
}
uint32_t BackRgb(int x, int y) { return 0x000080 | uint32_t(x * 4) << 16 | uint32_t(y * 5) << 8; }

template <typename F>
void WriteImage(const std::string& name, int width, int height, F rgb) {
  std::vector<uint32_t> px(size_t(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) px[size_t(y) * width + x] = rgb(x, y);
  ASSERT_TRUE(oxtest::WriteBmp24(oxtest::DataDir() + name, width, height, px.data()));
}
void WritePattern(const std::string& name) {
  WriteImage(name, 640, 48, [](int x, int) { return x % 64 < kHoleWidth ? 0 : TileRgb(x / 64); });
}
void WritePicture(const std::string& name, int width, int height) {
  WriteImage(name, width, height, [](int, int y) { return PictureRgb(y); });
}
void WriteBackground(const std::string& name) { WriteImage(name, 64, 48, BackRgb); }

uint16_t Shown(int x, int y) { return oxd::PresentedSurface()->pixels[y * 640 + x]; }
uint16_t Back(int x, int y) { return oxd::Scr().back->pixels[y * 640 + x]; }

// ---------------------------------------------------------------- main loop

struct Call {
  int pass, scene, changed;
  bool operator==(const Call&) const = default;
};
std::vector<Call> g_calls;
int g_pass = 0;
int g_closeAtCall = 0, g_nextScene = -1;  // scene 1's call that closes, and towards what
int g_openAtCall = 0;                     // scene 1's call that opens

void Scene(int number) {
  g_calls.push_back({g_pass, number, ox::App().sceneChanged});
  oxDraw::FillRect(0, 0, 640, 480, kSceneColor + number);
  if (number == 1 && int(g_calls.size()) == g_closeAtCall) oxDraw::CloseTransition(g_nextScene);
  if (number == 1 && int(g_calls.size()) == g_openAtCall) oxDraw::OpenTransition();
  oxDraw::Present();
}

GameDefinition TwoScenes() {
  GameDefinition g;
  g.scenes[1] = [] { Scene(1); };
  g.scenes[2] = [] { Scene(2); };
  return g;
}

class Transition : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    g_calls.clear();
    g_pass = g_closeAtCall = g_openAtCall = 0;
    g_nextScene = -1;
    ox::App().scene = 1;
    WritePattern("pattern.bmp");
  }
  // One main-loop pass; `jumpMs` moves the clock first so the frame seconds vary.
  static void Pass(const GameDefinition& g, uint32_t jumpMs = 0) {
    ++g_pass;
    if (jumpMs) plat::headless::AdvanceClock(jumpMs);
    ox::FramePass(g);
  }
  // The colour shown inside tile (column, row) of the grid and in its hole.
  static uint16_t TileAt(int column, int row) { return Shown(64 * column + 30, 48 * row + 20); }
  static uint16_t HoleAt(int column, int row) { return Shown(64 * column + 3, 48 * row + 20); }
};

TEST_F(Transition, ClosingCoversTenFramesWhateverTheFrameSecondsThenRunsTheChosenScene) {
  ASSERT_GE(oxDraw::LoadTransition("pattern.bmp"), 4);
  const GameDefinition g = TwoScenes();
  g_closeAtCall = 3;
  g_nextScene = 2;
  const uint32_t jumps[] = {0, 16, 5000, 1, 250, 90000, 16, 17, 3, 700, 16, 16, 16, 16};
  std::vector<uint16_t> tiles, holes;
  for (uint32_t jump : jumps) {
    Pass(g, jump);
    tiles.push_back(TileAt(4, 7));
    holes.push_back(HoleAt(9, 9));
  }
  // Scene 1 on passes 1-3, passes 4-12 only present, scene 2 from pass 13 flagged as changed.
  ASSERT_EQ(g_calls.size(), 5u);
  EXPECT_TRUE(g_calls[2] == (Call{3, 1, 0}) && g_calls[3] == (Call{13, 2, 1}));
  EXPECT_EQ(g_calls[4].changed, 0);
  // Tile k shows on pass 3 + k; the frozen frame shows through the holes.
  for (int k = 0; k < 10; ++k)
    EXPECT_TRUE(tiles[2 + k] == To565(TileRgb(k)) && holes[2 + k] == kSceneColor + 1) << k;
  EXPECT_EQ(tiles[0], kSceneColor + 1);
  EXPECT_EQ(tiles[12], kSceneColor + 2);  // scene 2 draws without tiles
  EXPECT_EQ(tiles[13], kSceneColor + 2);
}

TEST_F(Transition, ClosingWithoutANextSceneGivesTheCallingSceneBack) {
  oxDraw::LoadTransition("pattern.bmp");
  const GameDefinition g = TwoScenes();
  g_closeAtCall = 1;
  for (int i = 0; i < 12; ++i) Pass(g);
  ASSERT_EQ(g_calls.size(), 3u);  // the scene never changed
  EXPECT_TRUE(g_calls[1] == (Call{11, 1, 0}));
}

TEST_F(Transition, OpeningUncoversARunningSceneFromTileNineDownToZero) {
  oxDraw::LoadTransition("pattern.bmp");
  const GameDefinition g = TwoScenes();
  g_openAtCall = 2;
  std::vector<uint16_t> tiles;
  for (int i = 0; i < 13; ++i) {
    Pass(g);
    tiles.push_back(TileAt(0, 0));
  }
  EXPECT_EQ(g_calls.size(), 13u);  // the scene is never frozen
  for (int k = 9; k >= 0; --k) EXPECT_EQ(tiles[1 + (9 - k)], To565(TileRgb(k))) << k;
  EXPECT_EQ(tiles[0], kSceneColor + 1);
  EXPECT_EQ(tiles[11], kSceneColor + 1);
}

TEST_F(Transition, TilesAreClippedAndOverwriteEachOtherOnTheFrozenFrame) {
  oxDraw::LoadTransition("pattern.bmp");
  oxDraw::SetClip(130, 0, 510, 480);
  oxDraw::FillRect(0, 0, 640, 480, kMarker);
  oxDraw::CloseTransition(2);
  oxDraw::Present();
  // Tile 0 inside the clip rectangle only (x = 130 is in column 2's hole).
  const uint16_t tile0 = To565(TileRgb(0));
  const std::vector<uint16_t> row = {Back(129, 100), Back(130, 100), Back(136, 100), Back(509, 479),
                                     Back(510, 479)};
  EXPECT_EQ(row, (std::vector<uint16_t>{kMarker, kMarker, tile0, tile0, kMarker}));
  oxDraw::Present();  // the next step draws over the same buffer
  EXPECT_EQ(Back(136, 100), To565(TileRgb(1)));
  EXPECT_EQ(Back(130, 100), kMarker);
}

TEST_F(Transition, WithoutAPatternItStillTakesTenFramesAndDrawsNothing) {
  EXPECT_EQ(oxDraw::LoadTransition("missing.bmp"), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, "oxDraw::LoadObject : BMPファイルを読み込めません");
  // The scratch sprite holds a picture that must not show as a pattern.
  oxDraw::FillRect(0, 0, 640, 480, 0x4321);
  oxDraw::Capture(oxd::kBufferSprite, 0, 0, 640, 480);
  const GameDefinition g = TwoScenes();
  g_closeAtCall = 1;
  g_nextScene = 2;
  for (int i = 0; i < 11; ++i) {
    Pass(g);
    EXPECT_EQ(TileAt(5, 5), kSceneColor + (i < 10 ? 1 : 2)) << i;
  }
  EXPECT_EQ(g_calls.back().pass, 11);
  EXPECT_EQ(g_calls.back().scene, 2);
}

// Key polling through a whole run: X is held from the first frame on.
std::vector<int> g_polls;
int g_xState = 0;

void PollingScene() {
  g_polls.push_back(oxInput::GetKey('X', &g_xState));
  oxDraw::FillRect(0, 0, 640, 480, kSceneColor);
  const size_t n = g_polls.size();
  if (n == 2) oxDraw::OpenTransition();
  if (n == 15) oxDraw::ToggleOverlay();
  if (n == 17) oxDraw::ToggleOverlay();
  oxDraw::Present();
}

TEST_F(Transition, HeldKeysReadZeroWhileATransitionRunsOrTheOverlayIsShown) {
  WritePicture("mask.bmp", 380, 480);
  WriteBackground("maskbg.bmp");
  const std::string script = oxtest::DataDir() + "hold-x.txt";
  ASSERT_TRUE(oxtest::WriteFile(script, "1 X down\n"));
  GameDefinition g;
  g.load = [] {
    oxDraw::Screen(640, 480, 2);
    oxDraw::LoadTransition("pattern.bmp");
    oxDraw::LoadOverlay("mask.bmp", "maskbg.bmp", 480);
    ox::App().scene = 1;
  };
  g.scenes[1] = PollingScene;
  g_polls.clear();
  g_xState = 0;
  std::vector<std::string> args = {"oxtest", "--headless", "--frames", "20", "--input", script};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  ASSERT_EQ(oxRun(int(argv.size()), argv.data(), g), 0);
  // Opening from frame 2 masks frames 3-11, then reads pressed again; overlay masks 16-17.
  const std::vector<int> expected = {1, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 3, 3, 3, 0, 0, 1, 3, 3};
  EXPECT_EQ(g_polls, expected);
}

// ---------------------------------------------------------------- overlay

class Overlay : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    oxDraw::SetClip(130, 0, 510, 480);
    WritePicture("picture.bmp", 380, 600);
    WriteBackground("background.bmp");
    ox::App().frameSeconds = 0;
  }
  static void PresentWith(float seconds, int key = 0) {
    ox::App().frameSeconds = seconds;
    ox::Input().overlayKey = key;
    oxDraw::FillRect(0, 0, 640, 480, kMarker);
    oxDraw::Present();
  }
  // The picture row shown at screen row y inside the clip rectangle.
  static int RowShownAt(int y) {
    uint16_t c = Shown(300, y);
    for (int row = 0; row < 600; ++row)
      if (To565(PictureRgb(row)) == c) return row;
    return -1;
  }
};

TEST_F(Overlay, PictureFillsTheClipRectangleOverTheTiledBackground) {
  ASSERT_EQ(oxDraw::LoadOverlay("picture.bmp", "background.bmp", 600), 1);
  oxDraw::ToggleOverlay();
  ASSERT_EQ(oxd::Transition().overlay, 1);
  PresentWith(0);
  for (int y : {0, 1, 239, 240, 479}) EXPECT_EQ(RowShownAt(y), y) << y;
  // Drawn through the clip rectangle: nothing lands outside it.
  const std::vector<uint16_t> edge = {Shown(129, 50), Shown(130, 50), Shown(509, 50),
                                      Shown(510, 50)};
  const uint16_t row50 = To565(PictureRgb(50));
  EXPECT_EQ(edge, (std::vector<uint16_t>{kMarker, row50, row50, kMarker}));
}

TEST_F(Overlay, BackgroundDriftsUpAndLeftTenPixelsASecondAndWraps) {
  oxDraw::SetClip(0, 0, 640, 480);  // a one-row picture leaves the background visible
  WritePicture("strip.bmp", 640, 1);
  oxDraw::LoadOverlay("strip.bmp", "background.bmp", 1);
  oxDraw::ToggleOverlay();
  PresentWith(1.0f);  // drawn at offset 0, then the drift moves to -10
  for (int y : {1, 47, 48, 479})
    for (int x : {0, 63, 64, 639}) EXPECT_EQ(Shown(x, y), To565(BackRgb(x % 64, y % 48)));
  EXPECT_EQ(Shown(639, 0), To565(PictureRgb(0)));
  PresentWith(0.25f);  // drawn at -10
  EXPECT_EQ(Shown(5, 100), To565(BackRgb(15, (100 + 10) % 48)));
  EXPECT_FLOAT_EQ(oxd::Transition().driftX, -12.5f);
  // A very long frame wraps the drift into one tile, so no screen edge is left uncovered.
  PresentWith(100.0f);
  EXPECT_GT(oxd::Transition().driftX, -64.0f);
  EXPECT_LE(oxd::Transition().driftX, 0.0f);
  EXPECT_GT(oxd::Transition().driftY, -48.0f);
  PresentWith(0);
  int dx = -int(oxd::Transition().driftX), dy = -int(oxd::Transition().driftY);
  for (int y : {1, 240, 479})
    for (int x : {0, 320, 639})
      EXPECT_EQ(Shown(x, y), To565(BackRgb((x + dx) % 64, (y + dy) % 48))) << x << "," << y;
}

TEST_F(Overlay, ArrowKeysScrollAndTheLastRowStopsAtTheClipBottom) {
  oxDraw::LoadOverlay("picture.bmp", "background.bmp", 600);
  oxDraw::ToggleOverlay();
  PresentWith(0.5f, plat::kVkDown);  // shows row 0, then scrolls 50
  EXPECT_EQ(RowShownAt(0), 0);
  PresentWith(0.125f, plat::kVkRight);  // shows 50, then +37.5
  EXPECT_EQ(RowShownAt(0), 50);
  PresentWith(0.25f, plat::kVkUp);  // shows 87, then -25
  EXPECT_EQ(RowShownAt(0), 87);
  PresentWith(0.0f, plat::kVkLeft);
  EXPECT_EQ(RowShownAt(0), 62);
  EXPECT_EQ(RowShownAt(100), 162);
  PresentWith(10.0f, plat::kVkRight);  // past the end: last row on the clip bottom
  EXPECT_FLOAT_EQ(oxd::Transition().overlayScroll, 120.0f);
  PresentWith(0);
  EXPECT_EQ(RowShownAt(479), 599);
  EXPECT_EQ(RowShownAt(0), 120);
  PresentWith(10.0f, plat::kVkLeft);  // before the start: row 0 at the top
  EXPECT_FLOAT_EQ(oxd::Transition().overlayScroll, 0.0f);
  PresentWith(1.0f, 'A');  // other keys do not scroll
  EXPECT_FLOAT_EQ(oxd::Transition().overlayScroll, 0.0f);
  // A picture shorter than the clip rectangle never scrolls.
  WritePicture("short.bmp", 380, 200);
  oxDraw::LoadOverlay("short.bmp", "background.bmp", 200);
  PresentWith(5.0f, plat::kVkDown);
  EXPECT_EQ(RowShownAt(199), 199);
  EXPECT_FLOAT_EQ(oxd::Transition().overlayScroll, 0.0f);
}

TEST_F(Overlay, ReloadKeepsItsHandlesAndResetsTheScroll) {
  oxDraw::LoadOverlay("picture.bmp", "background.bmp", 600);
  const int picture = oxd::Transition().overlayPicture,
            background = oxd::Transition().overlayBackground;
  oxDraw::ToggleOverlay();
  PresentWith(1.0f, plat::kVkDown);
  ASSERT_GT(oxd::Transition().overlayScroll, 0.0f);
  WritePicture("second.bmp", 380, 480);
  ASSERT_EQ(oxDraw::LoadOverlay("second.bmp", "background.bmp", 480), 1);
  EXPECT_EQ(oxd::Transition().overlayPicture, picture);
  EXPECT_EQ(oxd::Transition().overlayBackground, background);
  EXPECT_STREQ(oxd::Sprites()[picture].name, "second.bmp");
  PresentWith(0);
  EXPECT_EQ(RowShownAt(0), 0);  // the scroll was reset
}

TEST_F(Overlay, AMissingPictureKeepsTheOverlayOffAndNeverTouchesTheScratchSprite) {
  const oxd::Surface* scratch = oxd::SpriteSurface(oxd::kBufferSprite);
  oxDraw::ToggleOverlay();  // before any load
  PresentWith(0.5f);
  EXPECT_EQ(Shown(300, 200), kMarker);
  EXPECT_EQ(oxDraw::LoadOverlay("nothere.bmp", "background.bmp", 600), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, "oxDraw::LoadObject : BMPファイルを読み込めません");
  oxDraw::ToggleOverlay();
  EXPECT_EQ(oxd::Transition().overlay, 0);
  // Loading again takes a new record instead of swapping into handle 0.
  EXPECT_EQ(oxDraw::LoadOverlay("picture.bmp", "background.bmp", 600), 1);
  EXPECT_GE(oxd::Transition().overlayPicture, 4);
  EXPECT_EQ(oxd::SpriteSurface(oxd::kBufferSprite), scratch);
  EXPECT_STREQ(oxd::Sprites()[oxd::kBufferSprite].name, "内部用１");
  oxDraw::ToggleOverlay();  // a picture that vanishes on a later load turns the overlay off
  EXPECT_EQ(oxDraw::LoadOverlay("gone.bmp", "background.bmp", 600), 0);
  EXPECT_EQ(oxd::Transition().overlay, 0);
  EXPECT_EQ(oxd::Transition().overlayHeight, 0);
}

TEST_F(Overlay, KeyPressesGoToTheOverlayKeyWhileItIsShown) {
  oxDraw::LoadOverlay("picture.bmp", "background.bmp", 600);
  auto key = [](uint32_t message, int code) { ox::WindowProc(plat::Message{message, code, 0}); };
  key(plat::kMsgKeyDown, 'A');
  EXPECT_EQ(ox::LastKey(), 'A');
  EXPECT_EQ(oxDraw::OverlayKey(), 0);
  key(plat::kMsgKeyUp, 'A');
  oxDraw::ToggleOverlay();
  key(plat::kMsgKeyDown, plat::kVkDown);
  EXPECT_EQ(oxDraw::OverlayKey(), plat::kVkDown);
  EXPECT_EQ(ox::LastKey(), 0);
  PresentWith(1.0f, plat::kVkDown);  // one second held scrolls 100 rows
  EXPECT_FLOAT_EQ(oxd::Transition().overlayScroll, 100.0f);
  ox::WindowProc(plat::Message{plat::kMsgKeyUp, plat::kVkDown, 0});
  EXPECT_EQ(oxDraw::OverlayKey(), 0);
}

}  // namespace
