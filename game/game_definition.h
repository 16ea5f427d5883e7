// The game as the frame runs it: asset load, scene table and dump fields.
#pragma once

#include "frame/ox_system.h"

namespace game {

GameDefinition MakeGameDefinition();

}  // namespace game
