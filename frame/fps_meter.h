// The frame-rate meter's state beside oxSystem::ShowFps.
#pragma once

namespace ox {

// The meter takes its next sample at its next call.
void RestartFrameRate();
// The line the meter printed last ("" before its first call).
const char* FpsText();
// The meter back to its state before start-up (tests).
void ResetFpsMeter();

}  // namespace ox
