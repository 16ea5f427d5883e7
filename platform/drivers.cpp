// The choice of a driver for each kind of device, made once at platform
// start from the options and the environment.
#include "platform/drivers.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/audio_driver.h"
#include "platform/font_driver.h"
#include "platform/gamepad_driver.h"
#include "platform/joystick_driver.h"
#include "platform/vector.h"

namespace plat {

namespace {

struct Chosen {
  audio::Driver* audio;
  joystick::Driver* joystick;
  gamepad::Driver* gamepad;
  fonts::Driver* fonts;
  vector::Driver* vector;
};

constinit Chosen g_chosen{};

// The driver an environment variable names: unset or empty is the real
// one; otherwise it must be the name of one of the two.
template <typename D>
bool FromEnvironment(const char* variable, D& real, D& dummy, D*& out, char* error,
                     size_t errorSize) {
  const char* name = getenv(variable);
  if (!name || !name[0] || strcmp(name, real.Name()) == 0) {
    out = &real;
  } else if (strcmp(name, dummy.Name()) == 0) {
    out = &dummy;
  } else {
    if (error && errorSize)
      snprintf(error, errorSize, "%s: no driver \"%s\" (choose %s or %s)", variable, name,
               real.Name(), dummy.Name());
    return false;
  }
  return true;
}

}  // namespace

namespace detail {

bool SelectDrivers(const Options& options, char* error, size_t errorSize) {
  fonts::Driver* fontDriver = nullptr;
  vector::Driver* vectorDriver = nullptr;
  if (!FromEnvironment("SAMPLEGAME_FONT_DRIVER", fonts::FreeTypeDriverInstance(),
                       fonts::DummyDriverInstance(), fontDriver, error, errorSize) ||
      !FromEnvironment("SAMPLEGAME_VECTOR_DRIVER", vector::CairoDriverInstance(),
                       vector::DummyDriverInstance(), vectorDriver, error, errorSize))
    return false;
  // Fonts made by the driver given up belong to it.
  if (&fonts::CurrentDriver() != fontDriver) fonts::CurrentDriver().Shutdown();
  g_chosen.fonts = fontDriver;
  g_chosen.vector = vectorDriver;
  g_chosen.audio = options.headless ? &audio::DummyDriverInstance() : &audio::SdlDriverInstance();
  g_chosen.joystick =
      options.headless ? &joystick::DummyDriverInstance() : &joystick::SdlDriverInstance();
  g_chosen.gamepad =
      options.headless ? &gamepad::DummyDriverInstance() : &gamepad::SdlDriverInstance();
  g_chosen.audio->BeginRun();
  return true;
}

}  // namespace detail

audio::Driver& audio::CurrentDriver() {
  return g_chosen.audio ? *g_chosen.audio : SdlDriverInstance();
}

joystick::Driver& joystick::CurrentDriver() {
  return g_chosen.joystick ? *g_chosen.joystick : SdlDriverInstance();
}

gamepad::Driver& gamepad::CurrentDriver() {
  return g_chosen.gamepad ? *g_chosen.gamepad : DummyDriverInstance();
}

fonts::Driver& fonts::CurrentDriver() {
  return g_chosen.fonts ? *g_chosen.fonts : FreeTypeDriverInstance();
}

vector::Driver& vector::Current() {
  return g_chosen.vector ? *g_chosen.vector : CairoDriverInstance();
}

}  // namespace plat
