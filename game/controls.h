// The player's controls: the game's actions with their keys and pad inputs,
// and the [keys] and [pad] sections of the settings file.
#pragma once

namespace game {

enum Control {
  kControlUp, kControlDown, kControlLeft, kControlRight, kControlFire, kControlSpecial,
  kControlPause, kControlStart, kControlSpark, kControlOptions,
  kControlCount
};

// Names the actions to the library (every binding at its default), adds
// the settings sections (once) and offers the options overlay.
void DefineControls();

}  // namespace game
