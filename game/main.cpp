// Sample Game: entry point. The frame runs the asset load once, then calls
// the scene of the current scene number every frame.
#include "game/game_definition.h"

int main(int argc, char** argv) {
  const GameDefinition game = game::MakeGameDefinition();
  return oxRun(argc, argv, game);
}
