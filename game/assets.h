// The asset load: opens the screen, sets the playfield clip and loads every
// picture and sound of the game in a fixed order.
#pragma once

namespace game {

void LoadAssets();

}  // namespace game
