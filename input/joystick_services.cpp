#include "frame/services.h"
#include "input/ox_input.h"

// Joystick calibration at screen set-up.

namespace ox::services {

void InitJoystick() { oxInput::InitJoystick(); }

}  // namespace ox::services
