// The stage frame: one routine runs every stage from its table.
#pragma once

namespace game {

// One frame of stage 1..8 (scenes 2..9).
void StageFrame(int stage);

// True while lo < scroll < hi.
bool WindowOpen(float scroll, float lo, float hi);

}  // namespace game
