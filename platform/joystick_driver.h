// The contract of a joystick driver: the pads of the system, numbered 0 and
// 1. joystick.cpp puts the input script's pads (and a recording's readings)
// in front of it. Chosen when the platform starts: `sdl` (SDL joysticks) or
// `dummy` (no pad at all).
#pragma once

#include "platform/joystick.h"

namespace plat::joystick {

class Driver {
 public:
  virtual ~Driver() = default;
  virtual const char* Name() const = 0;
  // Reads the fields `what` selects of pad 0 or 1 into `out` (cleared by the
  // caller); false when the pad cannot be read.
  virtual bool Read(int pad, unsigned what, Position& out) = 0;
  // The set of pads may have changed: look them up again.
  virtual void ConfigurationChanged() = 0;
};

// The driver chosen when the platform started (sdl before that).
Driver& CurrentDriver();

}  // namespace plat::joystick
