// The dummy joystick driver: no pad is ever attached.
#include "platform/drivers.h"
#include "platform/joystick_driver.h"

namespace plat::joystick {

namespace {

class DummyDriver final : public Driver {
 public:
  const char* Name() const override { return "dummy"; }
  bool Read(int, unsigned, Position&) override { return false; }
  void ConfigurationChanged() override {}
};

}  // namespace

Driver& DummyDriverInstance() {
  static DummyDriver driver;
  return driver;
}

}  // namespace plat::joystick
