// Sample Game: the scene table. Scene 1 is the title, 2..9 the eight stages,
// 10 the ending and 11 the selection screen.
#include "game/game_definition.h"

#include "game/assets.h"
#include "game/dump.h"
#include "game/scenes.h"
#include "game/stage.h"

namespace game {

namespace {

template <int kStage>
void StageScene() {
  StageFrame(kStage);
}

}  // namespace

GameDefinition MakeGameDefinition() {
  GameDefinition game;
  game.load = LoadAssets;
  game.scenes[1] = TitleScene;
  game.scenes[2] = StageScene<1>;
  game.scenes[3] = StageScene<2>;
  game.scenes[4] = StageScene<3>;
  game.scenes[5] = StageScene<4>;
  game.scenes[6] = StageScene<5>;
  game.scenes[7] = StageScene<6>;
  game.scenes[8] = StageScene<7>;
  game.scenes[9] = StageScene<8>;
  game.scenes[10] = EndingScene;
  game.scenes[11] = SelectScene;
  game.dumpFields = DumpFields;
  return game;
}

}  // namespace game
