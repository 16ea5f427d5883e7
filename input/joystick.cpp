// Joystick polling: centres, directions, buttons, ramps.
#include "core/app_state.h"
#include "input/input_mask.h"
#include "input/ox_input.h"
#include "platform/joystick.h"

namespace {

constexpr int kPads = plat::joystick::kPads;
constexpr int kButtons = 4;

struct PadRecord {
  float analogX, analogY;    // -100..100
  float directionRate;       // ramp units per second of the analogue values
  float buttonRamp[kButtons];  // 0..100
  float buttonRate;          // ramp units per second of the button ramps
  int buttonState[kButtons];   // edge states
};

struct Centre {
  int x, y;
  bool read;  // the pad gave a reading when the centres were taken
};

constinit PadRecord g_pads[kPads]{};
constinit Centre g_centres[kPads]{};

bool ValidPad(int pad) { return pad >= 0 && pad < kPads; }
bool ValidButton(int button) { return button >= 1 && button <= kButtons; }

void Calibrate(int pad) {
  plat::joystick::Position p;
  using namespace plat::joystick;
  if (ReadPad(pad, kAxes | plat::joystick::kButtons | kDeadZoned, p)) {
    g_centres[pad] = Centre{static_cast<int>(p.x), static_cast<int>(p.y), true};
  } else {
    g_centres[pad] = Centre{0, 0, false};
  }
}

// One device query. A pad that was not there when the centres were taken
// is calibrated at its first reading: without that, a pad plugged in later
// would be judged against a centre of 0 and push right and down for good.
bool Read(int pad, unsigned what, plat::joystick::Position& p) {
  if (!ValidPad(pad)) return false;
  if (!plat::joystick::ReadPad(pad, what, p)) return false;
  if (!g_centres[pad].read) Calibrate(pad);
  return true;
}

// -1 at or below half the centre, +1 at or above one and a half times it.
int Direction(int position, int centre) {
  if (position <= centre / 2) return -1;
  if (position >= centre + centre / 2) return 1;
  return 0;
}

float RampButton(float ramp, bool down, float rate) {
  if (!down) return 0;
  ramp += rate * ox::App().frameSeconds;
  return ramp >= 100 ? 100 : ramp;
}

float RampAxis(float value, int direction, float rate) {
  float step = rate * ox::App().frameSeconds;
  if (direction != 0) {
    value += step * static_cast<float>(direction);
    if (value >= 100) return 100;
    if (value <= -100) return -100;
    return value;
  }
  if (value > 0) return value - step < 0 ? 0 : value - step;
  if (value < 0) return value + step > 0 ? 0 : value + step;
  return value;
}

void Put(int* out, int value) {
  if (out) *out = value;
}

}  // namespace

void oxInput::InitJoystick() {
  plat::joystick::ConfigurationChanged();
  for (int pad = 0; pad < kPads; ++pad) {
    Calibrate(pad);
    g_pads[pad] = PadRecord{};
  }
}

void oxInput::JoyCentre(int pad, int* x, int* y) {
  Put(x, ValidPad(pad) ? g_centres[pad].x : 0);
  Put(y, ValidPad(pad) ? g_centres[pad].y : 0);
}

void oxInput::JoySetRamp(int pad, float directionRate, float buttonRate) {
  if (!ValidPad(pad)) return;
  g_pads[pad].directionRate = directionRate;
  g_pads[pad].buttonRate = buttonRate;
}

void oxInput::JoyResetRamps() {
  for (PadRecord& r : g_pads) {
    r.analogX = r.analogY = 0;
    for (float& ramp : r.buttonRamp) ramp = 0;
  }
}

int oxInput::JoyButton(int pad, int button) {
  plat::joystick::Position p;
  if (!ValidButton(button) || !Read(pad, plat::joystick::kButtons, p)) return 0;
  return (p.buttons >> (button - 1)) & 1;
}

int oxInput::JoyButtonState(int pad, int button) {
  plat::joystick::Position p;
  if (!ValidButton(button) || !Read(pad, plat::joystick::kButtons, p)) return 0;
  int& state = g_pads[pad].buttonState[button - 1];
  state = oxi::NextEdgeState(state, (p.buttons >> (button - 1)) & 1);
  return state;
}

int oxInput::JoyButtons(int pad, int* b1, int* b2, int* b3, int* b4) {
  plat::joystick::Position p;
  bool ok = Read(pad, plat::joystick::kButtons, p);
  Put(b1, p.buttons & 1);
  Put(b2, (p.buttons >> 1) & 1);
  Put(b3, (p.buttons >> 2) & 1);
  Put(b4, (p.buttons >> 3) & 1);
  return ok ? 1 : 0;
}

int oxInput::JoyButtonRamp(int pad, int button) {
  plat::joystick::Position p;
  if (!ValidButton(button) || !Read(pad, plat::joystick::kButtons, p)) return 0;
  PadRecord& r = g_pads[pad];
  float& ramp = r.buttonRamp[button - 1];
  ramp = RampButton(ramp, (p.buttons >> (button - 1)) & 1, r.buttonRate);
  return static_cast<int>(ramp);
}

int oxInput::JoyButtonRamps(int pad, int* r1, int* r2, int* r3, int* r4) {
  plat::joystick::Position p;
  int* outs[kButtons] = {r1, r2, r3, r4};
  if (!Read(pad, plat::joystick::kButtons, p)) {
    for (int* o : outs) Put(o, 0);
    return 0;
  }
  PadRecord& r = g_pads[pad];
  for (int b = 0; b < kButtons; ++b) {
    r.buttonRamp[b] = RampButton(r.buttonRamp[b], (p.buttons >> b) & 1, r.buttonRate);
    Put(outs[b], static_cast<int>(r.buttonRamp[b]));
  }
  return 1;
}

int oxInput::JoyDirection(int pad, int* dx, int* dy) {
  plat::joystick::Position p;
  if (!Read(pad, plat::joystick::kDeadZoned, p)) {
    Put(dx, 0);
    Put(dy, 0);
    return 0;
  }
  Put(dx, Direction(static_cast<int>(p.x), g_centres[pad].x));
  Put(dy, Direction(static_cast<int>(p.y), g_centres[pad].y));
  return 1;
}

int oxInput::JoyDirection8(int pad) {
  int dx, dy;
  if (!JoyDirection(pad, &dx, &dy)) return 5;
  return 5 - 3 * dy + dx;
}

int oxInput::JoyPosition(int pad, int* x, int* y) {
  plat::joystick::Position p;
  bool ok = Read(pad, plat::joystick::kDeadZoned, p);
  Put(x, static_cast<int>(p.x));
  Put(y, static_cast<int>(p.y));
  return ok ? 1 : 0;
}

int oxInput::JoyAnalog(int pad, int* ax, int* ay) {
  plat::joystick::Position p;
  if (!Read(pad, plat::joystick::kDeadZoned, p)) {
    Put(ax, 0);
    Put(ay, 0);
    return 0;
  }
  PadRecord& r = g_pads[pad];
  const Centre& c = g_centres[pad];
  r.analogX = RampAxis(r.analogX, Direction(static_cast<int>(p.x), c.x), r.directionRate);
  r.analogY = RampAxis(r.analogY, Direction(static_cast<int>(p.y), c.y), r.directionRate);
  Put(ax, static_cast<int>(r.analogX));
  Put(ay, static_cast<int>(r.analogY));
  return 1;
}
