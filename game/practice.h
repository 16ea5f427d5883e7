// Practice runs that start at any stage, and the assist that slows the game
// world. A game takes both when the selection screen starts it and keeps
// them to its end: changes made while a game runs count from the next one.
#pragma once

#include "game/stage_table.h"

namespace game {

constexpr int kMinGameSpeed = 50;   // percent
constexpr int kFullGameSpeed = 100;

// The stage (1..8) at which the games started from the selection screen
// begin, or 0 for whole games from stage 1. It stays until changed.
int PracticeStage();
// Takes 0..8; any other value is refused (false) and the stage is kept.
bool SetPracticeStage(int stage);

// A game speed fixed for the whole run (--assist, or a replay's recorded
// speed), 50..100; 0 lets the player's setting count again. Other values
// are refused (false) and the speed is kept.
bool SetFixedGameSpeed(int percent);
int FixedGameSpeed();
// The speed the next game takes: the fixed one, else the player's setting
// (oxSettings assistSpeed, held to 50..100).
int NextGameSpeed();

// Adds the practice stage to the options overlay (once; later calls do
// nothing).
void DefinePracticeOption();

// Called as the selection screen starts a game: takes the practice stage
// and the speed for it. Returns the scene number the game starts in.
int BeginGame();
// The speed of the game in progress (full speed before the first game).
int GameSpeed();
// The stage the game in progress started at in practice, 0 for a whole game.
int GamePracticeStage();
// Only a whole game at full speed raises the high score.
bool GameRaisesHighScore();

// The seconds of the last frame as the game world lives them: the frame
// seconds scaled by the game speed (exactly the frame seconds at 100).
float WorldSeconds();

// The mark of a practice or slowed game, "PRACTICE 7 - 70%", "PRACTICE 7"
// or "70%", written into `text` (empty for a whole game at full speed).
void GameMarkText(char* text, int size);
// Draws that mark left of the playfield's bottom-left corner, where no
// stage draws.
void GameMarkDraw();

}  // namespace game
