// Scripted input for automated runs.
//
// One event a line:
//   FRAME KEY down|up      key event delivered before frame pass FRAME (from 1)
//   FRAME answer yes|no    answer for the first message box shown at or after
//                          frame pass FRAME (boxes without an answer get OK/No)
// KEY is a virtual-key name (ENTER, SPACE, ESCAPE, LEFT, UP, RIGHT, DOWN,
// SHIFT, CONTROL, ALT, F1..F12, a letter or a digit) or a decimal code.
// `#` starts a comment; blank lines are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat {

struct ScriptEvent {
  enum Kind : uint8_t { KeyDown, KeyUp, Answer };
  uint32_t frame = 0;
  Kind kind = KeyDown;
  int value = 0;  // virtual-key code, or 1 yes / 0 no for an answer
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
  // the cursor past them. Answers are skipped here.
  template <typename F>
  void TakeKeyEvents(uint32_t pass, F&& deliver) {
    while (nextKey_ < events_.size() && events_[nextKey_].frame <= pass) {
      const ScriptEvent& e = events_[nextKey_++];
      if (e.kind != ScriptEvent::Answer) deliver(e);
    }
  }
  // The answer for a box shown during frame pass `pass`: the first unused
  // answer whose frame is at or before `pass`; -1 when there is none.
  int TakeAnswer(uint32_t pass);

  size_t size() const { return events_.size(); }

 private:
  std::vector<ScriptEvent> events_;
  size_t nextKey_ = 0;
  size_t nextAnswer_ = 0;
};

}  // namespace plat
