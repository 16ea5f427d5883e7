// The player's display choices: full screen or window, scale, fill and
// window size, from the settings, the toggle keys and the options overlay.
#pragma once

#include "frame/ox_settings.h"
#include "platform/platform.h"

namespace ox {

// The display values the settings held when the run started, and the mode
// the run started in (--window and --scale may set it apart from them):
// later changes of the settings are measured against the former and
// change the latter.
void StartPlayerDisplay(const oxSettings::Values& values, const plat::DisplayMode& mode);
// Applies the display values that differ from the ones last applied: the
// window's mode, size and picture fit, the full-screen flag and the cursor.
void ApplyPlayerDisplay(const oxSettings::Values& values);
// Full screen to window or back, remembered in the settings.
void ToggleFullScreen();
// Notes a window size the player gave by hand in the settings (at the end
// of a run).
void RememberWindowSize();

}  // namespace ox
