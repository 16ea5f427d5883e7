// The score, high score and energy counters, the GAME OVER banner and the
// game-over check that ends every stage and ending frame.
#pragma once

namespace game {

// The three counters, and the mark of a practice or slowed game.
void HudDraw();
void BannerDraw(float& height);
void GameOverCheck();

}  // namespace game
