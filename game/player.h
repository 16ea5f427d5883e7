// The player's ship: controls, banking, movement, volleys and special shots,
// the explosion that costs energy, and the drawing of ship and shots.
#pragma once

namespace game {

void KeyboardControl();
void JoystickControl();
// Banking, movement with clamping (the ending's clamp when `ending`), the
// velocity reset, then the collision pass with the shot bookkeeping.
void PlayerMove(bool ending);
// The ship or its explosion (8 frames in a stage, 10 in the ending).
void PlayerDraw(bool ending);
void ShotDraw();

// The new-game reset of the shot and special-shot arrays.
void ResetShots();

}  // namespace game
