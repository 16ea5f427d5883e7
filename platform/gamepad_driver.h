// The contract of a game-controller driver: pads 0 and 1 of the system.
// gamepad.cpp puts the input script's pads (and a recording's readings) in
// front of it. Chosen when the platform starts: `sdl` (SDL game
// controllers, hot-plugged) or `dummy` (no pad at all).
#pragma once

#include "platform/gamepad.h"

namespace plat::gamepad {

class Driver {
 public:
  virtual ~Driver() = default;
  virtual const char* Name() const = 0;
  // Reads pad 0 or 1 into `out` (cleared by the caller); false when no pad
  // with that number is attached.
  virtual bool Read(int pad, State& out) = 0;
};

// The driver chosen when the platform started (dummy before that).
Driver& CurrentDriver();

}  // namespace plat::gamepad
