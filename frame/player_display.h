// The player's display choices: full screen or window, scale, fill and
// window size, from the settings, the toggle keys and the options overlay.
#pragma once

#include "frame/ox_settings.h"
#include "platform/platform.h"

namespace ox {

// At start, before the window opens: the mode the run starts in (full
// screen or not, the scale, and the settings' fill and window size unless
// --scale was given) goes to the platform. Later changes of the settings
// are measured against `values` and change that mode.
void StartPlayerDisplay(const oxSettings::Values& values, bool fullScreen, int scale,
                        bool scaleGiven);
// Applies the display values that differ from the ones last applied: the
// window's mode, size and picture fit, the full-screen flag and the cursor.
void ApplyPlayerDisplay(const oxSettings::Values& values);
// Full screen to window or back, remembered in the settings.
void ToggleFullScreen();
// Notes a window size the player gave by hand in the settings (at the end
// of a run).
void RememberWindowSize();

}  // namespace ox
