// Scrolling background layers, falling clouds and the game-over burst.
#pragma once

namespace game {

void LayerDraw(int layer);  // 0 the ending's layer, 1..7 the stage layers
void CloudMove(int record);  // records 1..6
void CloudDraw(int record);
void CloudLaunch(int record);
void BurstAnimate();
void BurstLaunch();
void BurstMove();

// Start position reset of the layer strips; new-game reset of the clouds
// and the burst pool.
void ResetLayers();
void ResetClouds();
void ResetBurst();

}  // namespace game
