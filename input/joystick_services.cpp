// Joystick calibration at screen set-up.
#include "core/services.h"
#include "input/ox_input.h"

void oxInput::InstallServices() { ox::services::Installed().initJoystick = oxInput::InitJoystick; }
