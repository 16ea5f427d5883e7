// The main loop: window messages between frame passes, and the frame pass
// that calls the scene of the current scene number.
#pragma once

#include "frame/ox_system.h"

namespace ox {

// One frame pass: frame seconds, scene call (or the closing transition),
// scene-changed flag, blink, mouse bookkeeping and cursor auto-hide.
void FramePass(const GameDefinition& game);

// Handles messages until the queue is empty. Returns false once the quit
// message has been taken.
bool DispatchMessages();

// Installs the sound, music, text and joystick services (oxRun does it
// before anything starts; tests that start the library on their own too).
void InstallLibraryServices();

}  // namespace ox
