// Operations on the input state that screen set-up, the frame and scenes
// share: suspending input, watched keys, system keys, cursor confinement,
// and the last key and pause flag.
#pragma once

#include "core/ox_app.h"

namespace ox {

void SuspendInput();
void ResumeInput();  // also clears the last key
void WatchKey(int vk);
int ReleaseCount();
void SetSystemKeyMode(int mode);
void SetCursorClipMode(int mode);
void ConfineCursor(int left, int top, int right, int bottom);
void ConfineCursorToScreen();
void ReleaseCursor();
int CursorClipped();
void SetCursorPosition(int x, int y);  // client coordinates

}  // namespace ox
