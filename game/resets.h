// The two resets that put the game into a known state: the start position
// reset of a new game and the new-game reset of every stage start.
#pragma once

#include "game/world.h"

namespace game {

// Scenery strips parked above the screen, the ship at (290, 210), score 0.
void StartPositionReset();
// Every scalar and every table back to its starting state; the score,
// energy, player position and layer strips are kept.
void NewGameReset();
// A new ending star: cell, x in 100..639, y in 0..479 or, above the
// screen, -49..0, and a fall speed of 100..199 px/s.
void PlaceStar(Star& s, bool fromTop);

}  // namespace game
