// The scenes around the stages: title, selection screen and ending.
#pragma once

namespace game {

void TitleScene();      // scene 1
void SelectScene();     // scene 11
void EndingScene();     // scene 10

}  // namespace game
