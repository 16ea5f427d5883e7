// The window procedure and the input state it keeps.
#pragma once

#include <cstdint>

#include "platform/messages.h"

namespace ox {

intptr_t WindowProc(const plat::Message& m);

void SuspendInput();
void ResumeInput();   // also clears the last key
// Bracket a frame pass: a key pressed and released since the pass before
// reads as the last key from Begin to End, then clears.
void BeginKeyPass();
void EndKeyPass();
void WatchKey(int vk);
int ReleaseCount();
void SetSystemKeyMode(int mode);
void SetCursorClipMode(int mode);
void ConfineCursor(int left, int top, int right, int bottom);
void ConfineCursorToScreen();
void ReleaseCursor();
int CursorClipped();
void SetCursorPosition(int x, int y);  // client coordinates
// Returns a listed code (0-terminated list; 1 and 2 are the mouse buttons)
// once it has been pressed and released after a moment with nothing pressed.
int KeyChoice(const int* codes);
// Releases every library resource once and starts closing the window.
int QuitSequence();

// Last key, sticky key and pause flag, for scenes and tests.
int LastKey();
int PauseFlag();
void SetPauseFlag(int pause);

}  // namespace ox
