// The score, high score and energy counters, the GAME OVER banner and the
// game-over check.
#include "game/hud.h"

#include <cstdio>

#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "frame/ox_system.h"
#include "game/practice.h"
#include "game/world.h"
#include "sound/ox_music.h"

namespace game {

namespace {

constexpr int kTickSlot = 1;             // the one-second tick and the delay before the title
constexpr uint32_t kTickMs = 1000;
constexpr uint32_t kTimeOutDelayMs = 3000;
constexpr uint32_t kEnergyOutDelayMs = 9000;
constexpr float kGameOverTimerLimit = 30;
constexpr int kTitleScene = 1;
constexpr float kBannerGrowth = 30;  // px per second

// Draws `value` with a printf format as digit cells of MYMY.BMP from x on a
// 10-pixel pitch. Only digits are drawn, and at most `maxDigits` of them.
void DrawNumber(const char* format, int value, int x, int maxDigits) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  const int sheet = W().assets.mymy;
  for (int i = 0; i < maxDigits && text[i] != '\0'; ++i) {
    const int d = text[i] - '0';
    if (d < 0 || d > 9) continue;
    oxDraw::Draw(x + 10 * i, 6, sheet, 8 + 7 * d, 70, 15 + 7 * d, 80);
  }
}

void GameOver(uint32_t delayMs) {
  W().gameOver = 1;
  oxMusic::Stop();
  oxSystem::SetWait(kTickSlot, delayMs);
}

void ToTitle() {
  ox::ChangeScene(kTitleScene);
}

}  // namespace

void HudDraw() {
  const World& w = W();
  DrawNumber("%09d", w.score, 140, 9);
  DrawNumber("%09d", w.highScore, 300, 9);
  if (w.energy >= 0) DrawNumber("%03d", w.energy, 440, 3);
  GameMarkDraw();
}

void BannerDraw(float& height) {
  const int h = static_cast<int>(height);
  oxDraw::DrawStretch(170, (480 - h) / 2, W().assets.mymy, 81, 70, 136, 80, 300, h);
  height += kBannerGrowth * ox::FrameSeconds();
}

void GameOverCheck() {
  World& w = W();
  if (oxSystem::CheckWait(kTickSlot) == 1) {
    if (w.gameOver == 0) {
      // A slowed game could not finish a stage in the time: its clock stands.
      if (GameSpeed() == kFullGameSpeed) --w.timeCounter;
      if (w.timeCounter <= 0) {
        GameOver(kTimeOutDelayMs);
      } else {
        oxSystem::SetWait(kTickSlot, kTickMs);
      }
    } else {
      ToTitle();
    }
  }
  if (w.gameOver == 0 && w.energy < 1) {
    w.gameOverTimer += ox::FrameSeconds();
    GameOver(kEnergyOutDelayMs);
  }
  if (w.gameOverTimer >= kGameOverTimerLimit) {
    w.gameOverTimer = 0;
    ToTitle();
  }
}

}  // namespace game
