// Sample Game: practice runs from any stage and the game-speed assist.
#include "game/practice.h"

#include <algorithm>
#include <cstdio>

#include "core/ox_app.h"
#include "frame/ox_options.h"
#include "frame/ox_settings.h"
#include "game/world.h"
#include "input/ox_text.h"

namespace game {

namespace {

constexpr int kFirstStageScene = 2;  // stage n is scene n + 1
constexpr int kMarkHeight = 12;      // pixels, the debug text's Gothic
constexpr int32_t kMarkInk = 0x00FFFFFF;
constexpr int32_t kMarkPaper = 0x00000000;

}  // namespace

int PracticeStage() { return W().practiceStage; }

bool SetPracticeStage(int stage) {
  if (stage < 0 || stage > kStageCount) return false;
  W().practiceStage = stage;
  return true;
}

bool SetFixedGameSpeed(int percent) {
  if (percent != 0 && (percent < kMinGameSpeed || percent > kFullGameSpeed)) return false;
  W().fixedSpeed = percent;
  return true;
}

int FixedGameSpeed() { return W().fixedSpeed; }

int NextGameSpeed() {
  if (W().fixedSpeed != 0) return W().fixedSpeed;
  return std::clamp(oxSettings::Current().assistSpeed, kMinGameSpeed, kFullGameSpeed);
}

namespace {

void FormatPracticeStage(int stage, char* text, int size) {
  if (stage == 0) {
    snprintf(text, size_t(size), "off");
  } else {
    snprintf(text, size_t(size), "stage %d", stage);
  }
}

}  // namespace

void DefinePracticeOption() {
  oxOptions::AddGameRow("Practice stage", PracticeStage, SetPracticeStage, 0, kStageCount,
                        1, FormatPracticeStage);
}

int BeginGame() {
  World& w = W();
  w.practiceStart = w.practiceStage;
  w.gameSpeed = NextGameSpeed();
  return kFirstStageScene + (w.practiceStage > 0 ? w.practiceStage - 1 : 0);
}

int GameSpeed() {
  const int speed = W().gameSpeed;
  return speed == 0 ? kFullGameSpeed : speed;
}

int GamePracticeStage() { return W().practiceStart; }

bool GameRaisesHighScore() { return GamePracticeStage() == 0 && GameSpeed() == kFullGameSpeed; }

float WorldSeconds() {
  const int speed = GameSpeed();
  if (speed == kFullGameSpeed) return ox::FrameSeconds();
  return ox::FrameSeconds() * (static_cast<float>(speed) / 100.0f);
}

void GameMarkText(char* text, int size) {
  if (size <= 0) return;
  const int stage = GamePracticeStage();
  const int speed = GameSpeed();
  if (stage > 0 && speed < kFullGameSpeed) {
    std::snprintf(text, size_t(size), "PRACTICE %d - %d%%", stage, speed);
  } else if (stage > 0) {
    std::snprintf(text, size_t(size), "PRACTICE %d", stage);
  } else if (speed < kFullGameSpeed) {
    std::snprintf(text, size_t(size), "%d%%", speed);
  } else {
    text[0] = '\0';
  }
}

void GameMarkDraw() {
  char text[48];  // room for any two numbers
  GameMarkText(text, sizeof text);
  if (text[0] == '\0') return;
  // Right-aligned against the playfield's left edge, on its bottom row.
  oxText::SelectFont(oxText::kGothic, kMarkHeight, 0, 0, 0, 0);
  oxText::SetColour(kMarkInk, kMarkPaper, 0);
  oxText::DrawBox(0, 480 - kMarkHeight - 2, 126, 480, text, 2);
  oxText::EndText();
}

}  // namespace game
