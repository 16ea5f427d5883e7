// Joystick calibration at screen set-up.
#include "core/services.h"
#include "input/ox_input.h"

namespace {
void InitJoystick() { oxInput::InitJoystick(); }
}  // namespace

void oxInput::InstallServices() { ox::services::Installed().initJoystick = InitJoystick; }
