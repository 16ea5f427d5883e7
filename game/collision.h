// The collision pass: moves the player's shots, tests them against every
// enemy group and boss, scores, and counts the active shots.
#pragma once

namespace game {

void CollisionPass();
// Adds points with the cap at 999,999,999; the high score follows.
void AddScore(int points);

}  // namespace game
