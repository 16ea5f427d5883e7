#include "frame/services.h"

// Joystick calibration at screen set-up.

namespace ox::services {

void InitJoystick() {}

}  // namespace ox::services
