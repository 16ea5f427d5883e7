// Sample Game: the scene table. Scene 1 is the title, 2..9 the eight stages,
// 10 the ending and 11 the selection screen.
#include "game/game_definition.h"

#include "core/ox_app.h"
#include "input/ox_bindings.h"
#include "game/assets.h"
#include "game/controls.h"
#include "game/dump.h"
#include "game/options.h"
#include "game/practice.h"
#include "game/scenes.h"
#include "game/stage.h"
#include "game/world.h"

namespace game {

namespace {

template <int kStage>
void StageScene() {
  StageFrame(kStage);
}

// Every scene notes its entry (its first frame after a scene change) before
// it runs, and tells the pad which scope its buttons act in.
template <void (*kScene)(), int kNumber>
void Entered() {
  oxBindings::SetScope(kNumber >= 2 && kNumber <= 9 ? oxBindings::kPlay : oxBindings::kMenus);
  World& w = W();
  if (ox::SceneChanged() && w.visitCount < kMaxVisits) w.visited[w.visitCount++] = kNumber;
  kScene();
}

}  // namespace

GameDefinition MakeGameDefinition() {
  DefineControls();
  DefinePracticeOption();
  GameDefinition game;
  game.load = LoadAssets;
  game.scenes[1] = Entered<TitleScene, 1>;
  game.scenes[2] = Entered<StageScene<1>, 2>;
  game.scenes[3] = Entered<StageScene<2>, 3>;
  game.scenes[4] = Entered<StageScene<3>, 4>;
  game.scenes[5] = Entered<StageScene<4>, 5>;
  game.scenes[6] = Entered<StageScene<5>, 6>;
  game.scenes[7] = Entered<StageScene<6>, 7>;
  game.scenes[8] = Entered<StageScene<7>, 8>;
  game.scenes[9] = Entered<StageScene<8>, 9>;
  game.scenes[10] = Entered<EndingScene, 10>;
  game.scenes[11] = Entered<SelectScene, 11>;
  game.dumpFields = DumpFields;
  game.version = SAMPLEGAME_VERSION;
  game.options = kGameOptions;
  game.optionCount = kGameOptionCount;
  game.takeOption = TakeGameOption;
  game.recordChoices = RecordChoices;
  game.replayChoices = ReplayChoices;
  return game;
}

}  // namespace game
