// The drivers behind each kind of device, chosen once when the platform
// starts: video and events (the backend), audio output, joysticks, game
// controllers, font rasterising and vector drawing. Each kind has a real
// driver and a dummy one; --headless picks the dummy video, audio, joystick
// and game-controller drivers, the environment variables
// SAMPLEGAME_FONT_DRIVER and SAMPLEGAME_VECTOR_DRIVER pick the font and
// vector drivers (default: the real ones, on either backend, since they
// only compute).
#pragma once

#include <cstddef>

#include "platform/platform.h"

namespace plat {

namespace audio {
class Driver;
Driver& SdlDriverInstance();
Driver& DummyDriverInstance();
}  // namespace audio

namespace joystick {
class Driver;
Driver& SdlDriverInstance();
Driver& DummyDriverInstance();
}  // namespace joystick

namespace gamepad {
class Driver;
Driver& SdlDriverInstance();
Driver& DummyDriverInstance();
}  // namespace gamepad

namespace fonts {
class Driver;
Driver& FreeTypeDriverInstance();
Driver& DummyDriverInstance();
}  // namespace fonts

namespace vector {
class Driver;
Driver& CairoDriverInstance();
Driver& DummyDriverInstance();
}  // namespace vector

namespace detail {

// Chooses every driver for these options. False, with a reason in `error`,
// when an environment variable names a driver that does not exist.
bool SelectDrivers(const Options& options, char* error, size_t errorSize);

}  // namespace detail

}  // namespace plat
