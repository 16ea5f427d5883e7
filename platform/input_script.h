// Scripted input for automated runs.
//
// One event a line:
//   FRAME KEY down|up              key event delivered before frame pass FRAME
//                                  (from 1)
//   FRAME answer yes|no            answer for the first message box shown at or
//                                  after frame pass FRAME (boxes without an
//                                  answer get OK/No)
//   FRAME JOYn X|Y POSITION        joystick n (0 or 1) moves an axis to POSITION,
//                                  0 (left, up) .. 65535 (right, down); the
//                                  centre is 32767
//   FRAME JOYn BUTTON B down|up    button B (1..32) of joystick n
//   FRAME JOYn attach|detach       joystick n is plugged in or pulled out
//   FRAME PADn BUTTON NAME down|up game controller n (0 or 1): a button by its
//                                  SDL name (a, b, x, y, back, guide, start,
//                                  leftstick, rightstick, leftshoulder,
//                                  rightshoulder, dpup, dpdown, dpleft, dpright)
//   FRAME PADn AXIS NAME VALUE     an axis (leftx, lefty, rightx, righty,
//                                  lefttrigger, righttrigger) moves to VALUE,
//                                  -32768..32767
//   FRAME PADn attach|detach       game controller n is plugged in or pulled out
// KEY is a virtual-key name (ENTER, SPACE, ESCAPE, LEFT, UP, RIGHT, DOWN,
// SHIFT, CONTROL, ALT, F1..F12, a letter or a digit) or a decimal code.
// A joystick named in the script is attached from the start, centred with no
// button down, unless its first line is `attach` (it is plugged in then);
// joystick events take effect before frame pass FRAME, with the key events.
// Game controllers follow the same rule.
// `#` starts a comment; blank lines are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gamepad.h"

namespace plat {

struct ScriptEvent {
  enum Kind : uint8_t {
    KeyDown, KeyUp, Answer,
    JoyX, JoyY, JoyButtonDown, JoyButtonUp, JoyAttach, JoyDetach,
    PadButtonDown, PadButtonUp, PadAxis, PadAttach, PadDetach,
  };
  uint32_t frame = 0;
  Kind kind = KeyDown;
  uint8_t pad = 0;  // joystick and game-controller events: 0 or 1
  // Virtual-key code, 1 yes / 0 no for an answer, axis position, or button
  // number (1..32); a game controller's button or axis index (gamepad.h).
  int value = 0;
  int16_t axis = 0;  // PadAxis: the axis position

  bool IsJoystick() const { return kind >= JoyX; }
  bool IsGamepad() const { return kind >= PadButtonDown; }
};

// A joystick of the script (or of a test): while `scripted` it stands in
// for the device with its number.
struct ScriptPad {
  bool scripted = false;
  bool attached = false;
  uint32_t x = 32767, y = 32767;  // 0..65535
  uint32_t buttons = 0;           // bit n - 1: button n down
};

// A game controller of the script (or of a test): while `scripted` it
// stands in for the driver's pad with its number.
struct ScriptGamepad {
  bool scripted = false;
  gamepad::State state;
};

class InputScript {
 public:
  // Parses script text. On a bad line returns false and writes
  // "line N: reason" into `error`.
  bool Parse(const char* text, size_t size, char* error, size_t errorSize);
  // Reads and parses a file.
  bool Load(const char* path, char* error, size_t errorSize);
  void Clear();

  // Key events due at or before frame pass `pass`, in file order; advances
  // the cursor past them. Joystick events due by then move the script's
  // pads; answers are skipped here.
  template <typename F>
  void TakeKeyEvents(uint32_t pass, F&& deliver) {
    while (nextKey_ < events_.size() && events_[nextKey_].frame <= pass) {
      const ScriptEvent& e = events_[nextKey_++];
      if (e.IsJoystick()) ApplyPadEvent(e);
      else if (e.kind != ScriptEvent::Answer) deliver(e);
    }
  }
  // The answer for a box shown during frame pass `pass`: the first unused
  // answer whose frame is at or before `pass`; -1 when there is none.
  int TakeAnswer(uint32_t pass);

  size_t size() const { return events_.size(); }

  // Joystick 0 or 1 of the script; nullptr for another number.
  ScriptPad* Pad(int n) { return n >= 0 && n < kPads ? &pads_[n] : nullptr; }

  // Game controller 0 or 1 of the script; nullptr for another number.
  ScriptGamepad* Gamepad(int n) { return n >= 0 && n < kPads ? &gamepads_[n] : nullptr; }

  static constexpr int kPads = 2;

 private:
  void ApplyPadEvent(const ScriptEvent& e);
  bool ParseJoystick(char** words, int n, ScriptEvent& e, char* error, size_t errorSize,
                     int lineNo);
  bool ParseGamepad(char** words, int n, ScriptEvent& e, char* error, size_t errorSize,
                    int lineNo);

  std::vector<ScriptEvent> events_;
  ScriptPad pads_[kPads];
  ScriptGamepad gamepads_[kPads];
  size_t nextKey_ = 0;
  size_t nextAnswer_ = 0;
};

}  // namespace plat
