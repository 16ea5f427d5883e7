// Sample Game: the title with its attract cycle, and the selection screen.
#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "game/controls.h"
#include "game/practice.h"
#include "game/resets.h"
#include "game/scenes.h"
#include "game/world.h"
#include "input/ox_bindings.h"
#include "sound/ox_music.h"

namespace game {

namespace {

constexpr int kEnter = 13;
constexpr int kSpace = 32;
constexpr int kF1 = 112;

// The attract cycle: which picture shows for which counter values.
struct AttractRow {
  int picture;  // 0..3 the attract pictures, 4 the title logo
  int x, y, width, height;
  int ranges[3][2];
  int rangeCount;
};

constexpr AttractRow kAttract[] = {
    {0, 150, 0, 340, 480, {{0, 200}, {1001, 1500}, {3501, 4500}}, 3},
    {1, 120, 0, 400, 480, {{201, 400}, {1501, 2000}, {4501, 5500}}, 3},
    {2, 100, 0, 440, 480, {{401, 600}, {2001, 2500}, {5501, 6500}}, 3},
    {3, 130, 0, 380, 480, {{601, 800}, {2501, 3000}, {6501, 7000}}, 3},
    {4, 70, 90, 500, 300, {{801, 1000}, {3001, 3500}, {7001, 8500}}, 3},
};

// The choices of the selection screen, F1 to F7.
struct Choice {
  int energy;
  int fast, fastest;
};
constexpr Choice kChoices[7] = {{999, 0, 0}, {333, 0, 0}, {1, 0, 0}, {555, 1, 0},
                                {777, 0, 1}, {1, 1, 0},   {1, 0, 1}};

// The rows of the selection picture the pad's highlight frames.
constexpr int kChoiceLeft = 139, kChoiceRight = 501, kChoiceTop = 89, kChoiceStep = 44,
              kChoiceHeight = 43;
constexpr int32_t kHighlight = 0xFE48;  // gold, RGB565
constexpr int kHighlightWidth = 3;

void DrawHighlight(int choice) {
  const int l = kChoiceLeft, r = kChoiceRight, t = kChoiceTop + kChoiceStep * choice;
  const int b = t + kChoiceHeight, e = kHighlightWidth;
  oxDraw::FillRect(l - e, t - e, r + e, t, kHighlight);
  oxDraw::FillRect(l - e, b, r + e, b + e, kHighlight);
  oxDraw::FillRect(l - e, t, l, b, kHighlight);
  oxDraw::FillRect(r, t, r + e, b, kHighlight);
}

void StartScene(int scene) {
  ox::ChangeScene(scene);
}

}  // namespace

void TitleScene() {
  World& w = W();
  if (ox::SceneChanged()) {
    oxMusic::Play("BGM7.MID", 1);
    w.attractCounter = 0;
  }
  oxDraw::Clear();
  w.attractCounter += 1;
  for (const AttractRow& row : kAttract) {
    for (int r = 0; r < row.rangeCount; ++r) {
      if (w.attractCounter >= row.ranges[r][0] && w.attractCounter <= row.ranges[r][1]) {
        const int handle = row.picture < 4 ? w.assets.attract[row.picture] : w.assets.title;
        oxDraw::Draw(row.x, row.y, handle, 0, 0, row.width, row.height);
      }
    }
  }
  if (w.attractCounter > 8500) w.attractCounter = 0;
  w.spark = 0;
  oxDraw::Present();

  if (ox::LastKey() == kEnter) {
    NewGameReset();
    StartPositionReset();
    StartScene(11);
  }
}

void SelectScene() {
  World& w = W();
  if (ox::SceneChanged()) {
    oxMusic::Play("BGM7.MID", 1);
    w.padChoice = 0;
  }
  // With a pad the d-pad (or stick) moves a highlight over the seven
  // choices and fire takes the highlighted one, as its F key would.
  const bool pad = oxBindings::PadAttached();
  bool padChose = false;
  if (pad) {
    if (oxBindings::PadPressed(kControlUp)) w.padChoice = (w.padChoice + 6) % 7;
    if (oxBindings::PadPressed(kControlDown)) w.padChoice = (w.padChoice + 1) % 7;
    padChose = oxBindings::PadPressed(kControlFire);
  }
  oxDraw::Clear();
  oxDraw::Draw(130, 0, w.assets.select, 0, 0, 380, 480);
  if (pad) DrawHighlight(w.padChoice);
  oxDraw::Present();

  const int key = padChose ? kF1 + w.padChoice : ox::LastKey();
  if (key >= kF1 && key < kF1 + 7) {
    NewGameReset();
    StartPositionReset();
    const Choice& c = kChoices[key - kF1];
    w.energy = c.energy;
    w.fastBullets = c.fast;
    w.fastestBullets = c.fastest;
    // Stage 1, or the practice stage.
    StartScene(BeginGame());
  }
  if (key == kSpace && w.spark == 0) w.spark = 1;
}

}  // namespace game
