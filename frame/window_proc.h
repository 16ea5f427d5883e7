// The window procedure: window messages become the library's input state.
#pragma once

#include <cstdint>

#include "core/input_control.h"
#include "platform/messages.h"

namespace ox {

intptr_t WindowProc(const plat::Message& m);

// Bracket a frame pass: a key pressed and released since the pass before
// reads as the last key from Begin to End, then clears.
void BeginKeyPass();
// A pad press or release that stands for key `vk` (already the game's own
// key): as a key message of it, without the autorepeat and binding checks.
void PadKey(int vk, bool down);
void EndKeyPass();
// Returns a listed code (0-terminated list; 1 and 2 are the mouse buttons)
// once it has been pressed and released after a moment with nothing pressed.
int KeyChoice(const int* codes);
// Releases every library resource once and starts closing the window.
int QuitSequence();

}  // namespace ox
