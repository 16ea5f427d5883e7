// Joysticks 0 and 1: the first two SDL joysticks, or the pads of the input
// script (and of tests) on the headless backend.
//
// Positions are those of the platform's joystick query: each axis from 0
// (left, up) to 65535 (right, down), centre about 32767 (SDL's -32768..32767
// shifted up by 32768). A pressed hat switch moves the stick fully in its
// direction. Button n is bit n - 1 of the button mask.
#pragma once

#include <cstdint>

namespace plat::joystick {

constexpr int kPads = 2;
constexpr uint32_t kCentre = 32767;
// With the dead-zone option, an axis within this distance of the centre
// reads exactly kCentre.
constexpr uint32_t kDeadZone = 2048;

enum Read : unsigned {
  kButtons = 1,   // the button mask
  kAxes = 2,      // x and y
  kDeadZoned = 4, // x and y with the dead zone
};

struct Position {
  uint32_t x = 0, y = 0;  // 0..65535
  uint32_t buttons = 0;   // bit n - 1: button n down
};

// The joystick configuration may have changed: the pads are looked up again
// (sdl: SDL's joystick list is enumerated afresh).
void ConfigurationChanged();

// Reads pad 0 or 1 now; `what` selects the fields (kButtons | kAxes |
// kDeadZoned), the others read 0. False when the pad cannot be read: no such
// pad, none attached, or the joystick layer is unavailable.
bool ReadPad(int pad, unsigned what, Position& out);

// The pad's full reading (axes and buttons) from its source now, whatever
// a recording or replay holds; false when it cannot be read.
bool ReadPadLive(int pad, Position& out);

}  // namespace plat::joystick

namespace plat::headless {

// Sets a scripted pad (0 or 1) as a test or the input script moves it:
// attached or not, raw axes 0..65535, button mask. On the sdl backend a
// scripted pad takes the place of the SDL joystick with its number.
void SetJoystick(int pad, bool attached, uint32_t x, uint32_t y, uint32_t buttons);

}  // namespace plat::headless
