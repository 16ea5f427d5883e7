// Sample Game: entry point.
#include "draw/ox_draw.h"
#include "frame/app_state.h"
#include "frame/ox_system.h"

namespace {

// Opens the 640 x 480 screen and sets the playfield clip; the scenes that
// load and draw the game's pictures come with the game itself.
void LoadAssets() {
  oxDraw::Screen(640, 480, 2);
  oxDraw::SetClip(130, 0, 510, 480);
  ox::App().scene = 1;
}

GameDefinition MakeGame() {
  GameDefinition game;
  game.load = LoadAssets;
  return game;
}

}  // namespace

int main(int argc, char** argv) {
  const GameDefinition game = MakeGame();
  return oxRun(argc, argv, game);
}
