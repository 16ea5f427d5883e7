// The game's own command-line options (--stage N, --assist PERCENT) and the
// choices a recording keeps of them.
#pragma once

#include <cstddef>

#include "frame/ox_system.h"

namespace game {

extern const GameOption kGameOptions[];
extern const int kGameOptionCount;

// Takes option `index` of kGameOptions with its value; false with a
// message in `error` for a bad value.
bool TakeGameOption(int index, const char* value, char* error, size_t errorSize);

// The practice stage and the speed the next game takes, as one line:
// "assist=70 stage=7" (the stage only when practice is on); nothing for
// whole games at full speed.
size_t RecordChoices(char* text, size_t size);
// Puts a recorded line back into effect; a line without a speed means full
// speed (recordings from before the assist). False with a message in
// `error` for anything it does not know.
bool ReplayChoices(const char* text, char* error, size_t errorSize);

}  // namespace game
