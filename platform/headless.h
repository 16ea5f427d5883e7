// What the headless backend shows instead of a window, for tests: message
// boxes, beeps, the cursor. Only meaningful while the headless backend runs.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace plat::headless {

struct BoxRecord {
  char caption[64];
  char text[512];
  int icon;     // 0 exclamation, 1 question
  int buttons;  // 0 OK, 1 Yes/No
  int answer;
};

int BoxCount();
const BoxRecord& LastBox();
int BeepCount();
// Answers the next question boxes (1 yes, 0 no) before the script's answers.
void QueueAnswer(int answer);
// The cursor as a test sets it, in desktop coordinates.
void SetCursor(int x, int y);
bool CursorShown();
bool CursorConfined(int* l = nullptr, int* t = nullptr, int* r = nullptr, int* b = nullptr);
int PresentCount();
bool WindowExists();
// The title the last main window was created with.
const char* WindowTitle();
int RaiseCount();
// The display mode last applied (or the one the backend started in), and
// how many times one was applied.
const DisplayMode& CurrentDisplayMode();
int DisplayModeChanges();
// The notice shown now ("" when none or its time is over).
const char* Notice();
// Moves the virtual clock (tests of clock wrap and timers).
void SetClock(uint32_t ms);
void AdvanceClock(uint32_t ms);

}  // namespace plat::headless
