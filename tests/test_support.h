// Shared set-up of the tests: every test runs on the headless backend.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

namespace oxtest {

// Starts the headless platform and puts the library's state back to its
// values before start-up, with DataDir() as the data directory.
void StartHeadless(uint32_t clockStart = 0);
// StartHeadless, then oxDraw::Screen(640, 480, 2) as the game opens it.
void OpenScreen();
// The private directory of the running test, with a trailing "/": made on
// first use by mkdtemp under $TMPDIR (else the system default), removed with all it
// holds when the test ends. Every file a test writes is named inside it, so
// parallel runs, other build trees and other users' files never collide.
const std::string& DataDir();
// Writes `bytes` to `path`, replacing the file. A failed open, write or
// close is a test failure naming the path and the reason; returns success.
bool WriteFile(const std::string& path, const std::string& bytes);
// Writes a 24-bit bottom-up BMP; pixels are 0x00RRGGBB, row by row from the top.
bool WriteBmp24(const std::string& path, int width, int height, const uint32_t* pixels);
// Reads a whole file ("" when it cannot be read).
std::string ReadFile(const std::string& path);
// A pipe named `name` in DataDir() that nobody writes yet: a file that
// stalls its reader (a soundfont that takes long to come). "" when it
// cannot be made.
std::string MakeFifo(const std::string& name);

// Sets an environment variable for the life of the object, then restores
// (or removes) it. The member's destructor restores it after the fixture's
// TearDown.
struct EnvOverride {
  EnvOverride(const char* name, const std::string& value) : EnvOverride(name) {
    setenv(name, value.c_str(), 1);
  }
  // Only restores: for a variable the test itself changes.
  explicit EnvOverride(const char* name) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
  }
  ~EnvOverride() {
    if (had_) setenv(name_, old_.c_str(), 1);
    else unsetenv(name_);
  }
  EnvOverride(const EnvOverride&) = delete;
  EnvOverride& operator=(const EnvOverride&) = delete;
  const char* name_;
  bool had_;
  std::string old_;
};

}  // namespace oxtest
