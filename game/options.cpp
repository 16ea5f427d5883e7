// Sample Game: the game's command-line options and recorded choices.
#include "game/options.h"

#include <cstdio>
#include <cstring>

#include "game/practice.h"

namespace game {

namespace {

enum Option : int { kStageOption, kAssistOption };

// A whole decimal number within lo..hi, written with digits only.
bool ParseNumber(const char* text, int lo, int hi, int& out) {
  if (!text || !*text || std::strlen(text) > 3) return false;
  int v = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    v = v * 10 + (*p - '0');
  }
  if (v < lo || v > hi) return false;
  out = v;
  return true;
}

bool TakeStage(const char* value, char* error, size_t errorSize) {
  int stage = 0;
  if (!ParseNumber(value, 1, kStageCount, stage)) {
    std::snprintf(error, errorSize, "--stage takes a stage from 1 to %d, not \"%s\"", kStageCount,
                  value ? value : "");
    return false;
  }
  return SetPracticeStage(stage);
}

bool TakeAssist(const char* value, char* error, size_t errorSize) {
  int speed = 0;
  if (!ParseNumber(value, kMinGameSpeed, kFullGameSpeed, speed)) {
    std::snprintf(error, errorSize, "--assist takes a game speed from %d to %d percent, not \"%s\"",
                  kMinGameSpeed, kFullGameSpeed, value ? value : "");
    return false;
  }
  return SetFixedGameSpeed(speed);
}

}  // namespace

const GameOption kGameOptions[] = {
    {"stage", "N", "practice: every game starts at stage N (1 to 8)"},
    {"assist", "PERCENT", "game speed, 50 to 100 (default: the settings' [assist] speed)"},
};
const int kGameOptionCount = int(sizeof kGameOptions / sizeof kGameOptions[0]);

bool TakeGameOption(int index, const char* value, char* error, size_t errorSize) {
  switch (index) {
    case kStageOption: return TakeStage(value, error, errorSize);
    case kAssistOption: return TakeAssist(value, error, errorSize);
    default:
      std::snprintf(error, errorSize, "unknown game option %d", index);
      return false;
  }
}

size_t RecordChoices(char* text, size_t size) {
  if (size == 0) return 0;
  text[0] = '\0';
  // A whole game at full speed keeps nothing: its recording is one an
  // older program would have made.
  if (PracticeStage() == 0 && NextGameSpeed() == kFullGameSpeed) return 0;
  int n = PracticeStage() > 0
              ? std::snprintf(text, size, "assist=%d stage=%d", NextGameSpeed(), PracticeStage())
              : std::snprintf(text, size, "assist=%d", NextGameSpeed());
  if (n < 0 || size_t(n) >= size) {
    text[0] = '\0';
    return 0;
  }
  return size_t(n);
}

bool ReplayChoices(const char* text, char* error, size_t errorSize) {
  // What the recorded run had: no practice and full speed unless it says.
  SetPracticeStage(0);
  SetFixedGameSpeed(kFullGameSpeed);
  const char* p = text ? text : "";
  while (*p) {
    if (*p == ' ') {
      ++p;
      continue;
    }
    const char* end = std::strchr(p, ' ');
    const size_t len = end ? size_t(end - p) : std::strlen(p);
    char word[32];
    if (len >= sizeof word) {
      std::snprintf(error, errorSize, "recorded game choice too long");
      return false;
    }
    std::memcpy(word, p, len);
    word[len] = '\0';
    p += len;
    char* value = std::strchr(word, '=');
    if (value) *value++ = '\0';
    int v = 0;
    if (value && !std::strcmp(word, "stage") && ParseNumber(value, 1, kStageCount, v)) {
      SetPracticeStage(v);
    } else if (value && !std::strcmp(word, "assist") &&
               ParseNumber(value, kMinGameSpeed, kFullGameSpeed, v)) {
      SetFixedGameSpeed(v);
    } else {
      std::snprintf(error, errorSize, "unknown recorded game choice \"%s%s%s\"", word,
                    value ? "=" : "", value ? value : "");
      return false;
    }
  }
  return true;
}

}  // namespace game
