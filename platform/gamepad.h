// Game controllers: pads 0 and 1 with one layout for every known pad (SDL's
// game-controller layer and its mapping database), or the pads of the input
// script (and of tests) in their place.
//
// Buttons and axes carry SDL's game-controller names and order. Axes read
// -32768..32767 (sticks: left/up negative; triggers 0..32767). A pad is read
// once when a frame pass begins; a recording holds those readings.
#pragma once

#include <cstdint>

namespace plat::gamepad {

constexpr int kPads = 2;

enum Button : uint8_t {
  kA, kB, kX, kY, kBack, kGuide, kStart, kLeftStick, kRightStick, kLeftShoulder,
  kRightShoulder, kDpUp, kDpDown, kDpLeft, kDpRight,
  kButtons
};

enum Axis : uint8_t { kLeftX, kLeftY, kRightX, kRightY, kLeftTrigger, kRightTrigger, kAxes };

struct State {
  bool attached = false;
  uint32_t buttons = 0;  // bit b: Button b down
  int16_t axes[kAxes] = {};

  bool Down(int b) const { return b >= 0 && b < kButtons && ((buttons >> b) & 1); }
};

bool operator==(const State& a, const State& b);

// SDL's names ("a", "dpup", "leftx", ...); -1 / nullptr for an unknown one.
int ButtonFromName(const char* name);
const char* ButtonName(int button);
int AxisFromName(const char* name);
const char* AxisName(int axis);

// The reading of pad 0 or 1 for this frame pass: the script's pad where the
// script names it, a recording's reading while one records or replays,
// else the driver's. A pad that is not attached reads all zero.
bool Read(int pad, State& out);
// The pad from its source now, whatever a recording or replay holds.
bool ReadLive(int pad, State& out);

// Where the user's mapping file lives: CONFIG/samplegame/gamecontrollerdb.txt
// under ConfigDirectory(); false when there is no configuration folder.
bool UserMappingPath(char* out, unsigned size);

}  // namespace plat::gamepad

namespace plat::headless {

// Sets a scripted game controller (0 or 1) as a test or the input script
// moves it; it takes the place of the driver's pad with its number.
void SetGamepad(int pad, const gamepad::State& state);

}  // namespace plat::headless
