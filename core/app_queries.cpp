// The game's view of the application state.
#include "core/app_state.h"
#include "core/ox_app.h"

namespace ox {

int Scene() { return App().scene; }
int SceneChanged() { return App().sceneChanged; }

void ChangeScene(int scene) {
  // With no previous scene the main loop raises the scene-changed flag on
  // the next pass, whatever scene ran before.
  App().scene = scene;
  App().previousScene = 0;
}

float FrameSeconds() { return App().frameSeconds; }

int LastKey() { return Input().lastKey; }
int PauseFlag() { return Input().pause; }
void SetPauseFlag(int pause) { Input().pause = pause; }

}  // namespace ox
