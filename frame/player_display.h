// The player's display choices: full screen or window, scale, fill and
// window size, from the settings, the toggle keys and the options overlay.
#pragma once

#include "frame/ox_settings.h"

namespace ox {

// The display values the settings held when the run started (before the
// command line overrode any): later changes are measured against them.
void StartPlayerDisplay(const oxSettings::Values& values);
// Applies the display values that differ from the ones last applied: the
// window's mode, size and picture fit, the full-screen flag and the cursor.
void ApplyPlayerDisplay(const oxSettings::Values& values);
// Full screen to window or back, remembered in the settings.
void ToggleFullScreen();
// Notes a window size the player gave by hand in the settings (at the end
// of a run).
void RememberWindowSize();

}  // namespace ox
