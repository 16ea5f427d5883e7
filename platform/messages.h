// Window messages and virtual-key codes shared by the platform layer and the
// window procedure.
#pragma once

#include <cstdint>

namespace plat {

// Messages of the main window's queue. Parameters as noted.
enum : uint32_t {
  kMsgNone = 0,
  kMsgKeyDown,        // wparam: virtual-key code; lparam: kKeyRepeat on autorepeat
  kMsgKeyUp,          // wparam: virtual-key code
  kMsgSysKeyDown,     // wparam: virtual-key code (Alt combinations, F10); lparam as key down
  kMsgSysKeyUp,       // wparam: virtual-key code
  kMsgChar,           // wparam: character code (from translation)
  kMsgMouseMove,      // lparam: x in the low 16 bits, y in the high 16 bits
  kMsgLButtonDown,
  kMsgLButtonUp,
  kMsgRButtonDown,
  kMsgRButtonUp,
  kMsgLButtonDblClk,
  kMsgRButtonDblClk,
  kMsgMove,           // lparam: client origin, signed 16-bit x low, y high
  kMsgSetCursor,      // the pointer is over the window
  kMsgActivateApp,    // wparam: 1 activated, 0 deactivated
  kMsgMusicNotify,    // wparam: 1 success (the piece ended)
  kMsgClose,
  kMsgDestroy,
  kMsgQuit,           // wparam: exit code
  kMsgRaise,          // a second copy asked this one to come to the front
};

// lparam bit of a key-down message: the key was already down, the message is
// the desktop's autorepeat and not a new press (the previous-state bit of the
// platform's key messages).
constexpr intptr_t kKeyRepeat = intptr_t(1) << 30;

struct Message {
  uint32_t message = kMsgNone;
  intptr_t wparam = 0;
  intptr_t lparam = 0;
};

inline intptr_t PackPoint(int x, int y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<uint32_t>(x & 0xFFFF));
}

// Virtual-key codes.
enum : int {
  kVkBack = 8,
  kVkTab = 9,
  kVkReturn = 13,
  kVkShift = 16,
  kVkControl = 17,
  kVkMenu = 18,  // Alt
  kVkPause = 19,
  kVkEscape = 27,
  kVkSpace = 32,
  kVkPrior = 33,
  kVkNext = 34,
  kVkEnd = 35,
  kVkHome = 36,
  kVkLeft = 37,
  kVkUp = 38,
  kVkRight = 39,
  kVkDown = 40,
  kVkInsert = 45,
  kVkDelete = 46,
  kVk0 = 48,
  kVkA = 65,
  kVkNumpad0 = 96,
  kVkF1 = 112,
  kVkF4 = 115,
  kVkF10 = 121,
  kVkF12 = 123,
};

// Looks up a key name as the input script writes it (ENTER, SPACE, ESCAPE,
// LEFT, UP, RIGHT, DOWN, SHIFT, CONTROL, ALT, F1..F12, a letter or digit) or
// a decimal code 1..255. Returns 0 for an unknown name.
int VirtualKeyFromName(const char* name);

}  // namespace plat
