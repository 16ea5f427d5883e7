// The dummy game-controller driver: no pad is ever attached.
#include "platform/drivers.h"
#include "platform/gamepad_driver.h"

namespace plat::gamepad {

namespace {

class DummyDriver final : public Driver {
 public:
  const char* Name() const override { return "dummy"; }
  bool Read(int, State&) override { return false; }
};

}  // namespace

Driver& DummyDriverInstance() {
  static DummyDriver driver;
  return driver;
}

}  // namespace plat::gamepad
