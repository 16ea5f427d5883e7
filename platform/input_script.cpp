#include "platform/input_script.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/messages.h"

namespace plat {

namespace {

bool EqualsNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char ca = *a >= 'a' && *a <= 'z' ? char(*a - 32) : *a;
    char cb = *b >= 'a' && *b <= 'z' ? char(*b - 32) : *b;
    if (ca != cb) return false;
  }
  return *a == *b;
}

// Splits a line into at most `max` words; returns how many it found (more
// than `max` words give max + 1).
int SplitWords(char* line, char** words, int max) {
  int n = 0;
  char* p = line;
  while (*p) {
    while (*p == ' ' || *p == '\t' || *p == '\r') ++p;
    if (!*p) break;
    if (n == max) return max + 1;
    words[n++] = p;
    while (*p && *p != ' ' && *p != '\t' && *p != '\r') ++p;
    if (*p) *p++ = '\0';
  }
  return n;
}

// "JOY" followed by something: a joystick line (the number is checked later).
bool IsJoystickName(const char* word) {
  char prefix[4] = {};
  for (int i = 0; i < 3 && word[i]; ++i) prefix[i] = word[i];
  return EqualsNoCase(prefix, "JOY") && word[3] != '\0';
}

// "PAD" followed by something: a game-controller line.
bool IsGamepadName(const char* word) {
  char prefix[4] = {};
  for (int i = 0; i < 3 && word[i]; ++i) prefix[i] = word[i];
  return EqualsNoCase(prefix, "PAD") && word[3] != '\0';
}

bool ParseNumber(const char* word, unsigned long max, unsigned long& out) {
  if (!*word || *word == '-' || *word == '+') return false;
  errno = 0;
  char* end = nullptr;
  out = strtoul(word, &end, 10);
  return *end == '\0' && errno == 0 && out <= max;
}

}  // namespace

void InputScript::Clear() {
  events_.clear();
  nextKey_ = 0;
  nextAnswer_ = 0;
  for (ScriptPad& p : pads_) p = ScriptPad{};
  for (ScriptGamepad& p : gamepads_) p = ScriptGamepad{};
}

// A game-controller line of n (3 to 5) words; words[1] begins with "PAD".
bool InputScript::ParseGamepad(char** words, int n, ScriptEvent& e, char* error,
                               size_t errorSize, int lineNo) {
  const char* name = words[1];
  if ((name[3] != '0' && name[3] != '1') || name[4] != '\0') {
    snprintf(error, errorSize, "line %d: game controller must be PAD0 or PAD1", lineNo);
    return false;
  }
  e.pad = static_cast<uint8_t>(name[3] - '0');
  const char* what = words[2];
  if (n == 3 && (EqualsNoCase(what, "attach") || EqualsNoCase(what, "detach"))) {
    e.kind = EqualsNoCase(what, "attach") ? ScriptEvent::PadAttach : ScriptEvent::PadDetach;
    return true;
  }
  if (n == 5 && EqualsNoCase(what, "BUTTON")) {
    e.value = gamepad::ButtonFromName(words[3]);
    if (e.value < 0) {
      snprintf(error, errorSize,
               "line %d: unknown pad button '%.40s' (a, b, x, y, back, guide, start, leftstick, "
               "rightstick, leftshoulder, rightshoulder, dpup, dpdown, dpleft, dpright)",
               lineNo, words[3]);
      return false;
    }
    if (EqualsNoCase(words[4], "down")) e.kind = ScriptEvent::PadButtonDown;
    else if (EqualsNoCase(words[4], "up")) e.kind = ScriptEvent::PadButtonUp;
    else {
      snprintf(error, errorSize, "line %d: expected down or up", lineNo);
      return false;
    }
    return true;
  }
  if (n == 5 && EqualsNoCase(what, "AXIS")) {
    e.value = gamepad::AxisFromName(words[3]);
    if (e.value < 0) {
      snprintf(error, errorSize,
               "line %d: unknown pad axis '%.40s' (leftx, lefty, rightx, righty, lefttrigger, "
               "righttrigger)",
               lineNo, words[3]);
      return false;
    }
    const char* v = words[4];
    const bool negative = *v == '-';
    unsigned long magnitude;
    if (!ParseNumber(negative ? v + 1 : v, negative ? 32768 : 32767, magnitude)) {
      snprintf(error, errorSize, "line %d: axis value must be -32768 to 32767", lineNo);
      return false;
    }
    e.kind = ScriptEvent::PadAxis;
    e.axis = static_cast<int16_t>(negative ? -static_cast<long>(magnitude) : long(magnitude));
    return true;
  }
  snprintf(error, errorSize,
           "line %d: expected 'FRAME PADn BUTTON NAME down|up', 'FRAME PADn AXIS NAME VALUE' or "
           "'FRAME PADn attach|detach'",
           lineNo);
  return false;
}

// A joystick line of n (3 to 5) words; words[1] begins with "JOY".
bool InputScript::ParseJoystick(char** words, int n, ScriptEvent& e, char* error,
                                size_t errorSize, int lineNo) {
  const char* name = words[1];
  if ((name[3] != '0' && name[3] != '1') || name[4] != '\0') {
    snprintf(error, errorSize, "line %d: joystick must be JOY0 or JOY1", lineNo);
    return false;
  }
  e.pad = static_cast<uint8_t>(name[3] - '0');
  const char* what = words[2];
  unsigned long number;
  if (n == 3 && (EqualsNoCase(what, "attach") || EqualsNoCase(what, "detach"))) {
    e.kind = EqualsNoCase(what, "attach") ? ScriptEvent::JoyAttach : ScriptEvent::JoyDetach;
    return true;
  }
  if (n == 4 && (EqualsNoCase(what, "X") || EqualsNoCase(what, "Y"))) {
    if (!ParseNumber(words[3], 65535, number)) {
      snprintf(error, errorSize, "line %d: axis position must be 0 to 65535", lineNo);
      return false;
    }
    e.kind = EqualsNoCase(what, "X") ? ScriptEvent::JoyX : ScriptEvent::JoyY;
    e.value = static_cast<int>(number);
    return true;
  }
  if (n == 5 && EqualsNoCase(what, "BUTTON")) {
    if (!ParseNumber(words[3], 32, number) || number < 1) {
      snprintf(error, errorSize, "line %d: button must be 1 to 32", lineNo);
      return false;
    }
    e.value = static_cast<int>(number);
    if (EqualsNoCase(words[4], "down")) e.kind = ScriptEvent::JoyButtonDown;
    else if (EqualsNoCase(words[4], "up")) e.kind = ScriptEvent::JoyButtonUp;
    else {
      snprintf(error, errorSize, "line %d: expected down or up", lineNo);
      return false;
    }
    return true;
  }
  snprintf(error, errorSize,
           "line %d: expected 'FRAME JOYn X|Y POSITION', 'FRAME JOYn BUTTON B down|up' or "
           "'FRAME JOYn attach|detach'",
           lineNo);
  return false;
}

void InputScript::ApplyPadEvent(const ScriptEvent& e) {
  if (e.IsGamepad()) {
    ScriptGamepad* g = Gamepad(e.pad);
    if (!g) return;
    gamepad::State& st = g->state;
    switch (e.kind) {
      case ScriptEvent::PadButtonDown: st.buttons |= 1u << e.value; break;
      case ScriptEvent::PadButtonUp: st.buttons &= ~(1u << e.value); break;
      case ScriptEvent::PadAxis: st.axes[e.value] = e.axis; break;
      case ScriptEvent::PadAttach: st.attached = true; break;
      case ScriptEvent::PadDetach: st = gamepad::State{}; break;  // pulled out: nothing held
      default: break;
    }
    return;
  }
  ScriptPad* p = Pad(e.pad);
  if (!p) return;
  uint32_t bit = e.value >= 1 && e.value <= 32 ? 1u << (e.value - 1) : 0;
  switch (e.kind) {
    case ScriptEvent::JoyX: p->x = static_cast<uint32_t>(e.value); break;
    case ScriptEvent::JoyY: p->y = static_cast<uint32_t>(e.value); break;
    case ScriptEvent::JoyButtonDown: p->buttons |= bit; break;
    case ScriptEvent::JoyButtonUp: p->buttons &= ~bit; break;
    case ScriptEvent::JoyAttach: p->attached = true; break;
    case ScriptEvent::JoyDetach: p->attached = false; break;
    default: break;
  }
}

bool InputScript::Parse(const char* text, size_t size, char* error, size_t errorSize) {
  Clear();
  size_t pos = 0;
  int lineNo = 0;
  char line[256];
  while (pos < size) {
    ++lineNo;
    size_t end = pos;
    while (end < size && text[end] != '\n') ++end;
    size_t len = end - pos;
    if (len >= sizeof line) {
      snprintf(error, errorSize, "line %d: line too long", lineNo);
      Clear();
      return false;
    }
    memcpy(line, text + pos, len);
    line[len] = '\0';
    pos = end + 1;
    if (char* hash = strchr(line, '#')) *hash = '\0';
    char* words[5];
    int n = SplitWords(line, words, 5);
    if (n == 0) continue;
    bool joystick = n >= 3 && n <= 5 && IsJoystickName(words[1]);
    bool gamepadLine = n >= 3 && n <= 5 && IsGamepadName(words[1]);
    if (n != 3 && !joystick && !gamepadLine) {
      snprintf(error, errorSize, "line %d: expected 'FRAME KEY down|up' or 'FRAME answer yes|no'",
               lineNo);
      Clear();
      return false;
    }
    errno = 0;
    char* endp = nullptr;
    unsigned long frame = strtoul(words[0], &endp, 10);
    if (*endp || errno || words[0][0] == '-' || frame < 1 || frame > 0xFFFFFFFFul) {
      snprintf(error, errorSize, "line %d: bad frame number '%.40s'", lineNo, words[0]);
      Clear();
      return false;
    }
    ScriptEvent e;
    e.frame = static_cast<uint32_t>(frame);
    if (gamepadLine) {
      if (!ParseGamepad(words, n, e, error, errorSize, lineNo)) {
        Clear();
        return false;
      }
    } else if (joystick) {
      if (!ParseJoystick(words, n, e, error, errorSize, lineNo)) {
        Clear();
        return false;
      }
    } else if (EqualsNoCase(words[1], "answer")) {
      e.kind = ScriptEvent::Answer;
      if (EqualsNoCase(words[2], "yes")) e.value = 1;
      else if (EqualsNoCase(words[2], "no")) e.value = 0;
      else {
        snprintf(error, errorSize, "line %d: answer must be yes or no", lineNo);
        Clear();
        return false;
      }
    } else {
      e.value = VirtualKeyFromName(words[1]);
      if (e.value == 0) {
        snprintf(error, errorSize, "line %d: unknown key '%.40s'", lineNo, words[1]);
        Clear();
        return false;
      }
      if (EqualsNoCase(words[2], "down")) e.kind = ScriptEvent::KeyDown;
      else if (EqualsNoCase(words[2], "up")) e.kind = ScriptEvent::KeyUp;
      else {
        snprintf(error, errorSize, "line %d: expected down or up", lineNo);
        Clear();
        return false;
      }
    }
    events_.push_back(e);
  }
  // Events are delivered in frame order; lines of one frame keep file order.
  std::stable_sort(events_.begin(), events_.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
  // A joystick the script names is there from the start unless it is first
  // plugged in by an `attach` line.
  bool seen[kPads] = {};
  bool seenGamepad[kPads] = {};
  for (const ScriptEvent& e : events_) {
    if (e.IsGamepad()) {
      if (seenGamepad[e.pad]) continue;
      seenGamepad[e.pad] = true;
      gamepads_[e.pad].scripted = true;
      gamepads_[e.pad].state.attached = e.kind != ScriptEvent::PadAttach;
      continue;
    }
    if (!e.IsJoystick() || seen[e.pad]) continue;
    seen[e.pad] = true;
    pads_[e.pad].scripted = true;
    pads_[e.pad].attached = e.kind != ScriptEvent::JoyAttach;
  }
  return true;
}

bool InputScript::Load(const char* path, char* error, size_t errorSize) {
  FILE* f = fopen(path, "rb");
  if (!f) {
    snprintf(error, errorSize, "cannot open input script '%s': %s", path, strerror(errno));
    return false;
  }
  std::vector<char> text;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
    text.insert(text.end(), buf, buf + n);
    if (text.size() > (64u << 20)) {
      fclose(f);
      snprintf(error, errorSize, "input script '%s' is larger than 64 MiB", path);
      return false;
    }
  }
  // A read error (a directory, an I/O error part-way) is not the end of the
  // script: running on with what was read would silently drop input.
  if (ferror(f)) {
    const int err = errno;
    fclose(f);
    snprintf(error, errorSize, "cannot read input script '%s': %s", path, strerror(err));
    return false;
  }
  fclose(f);
  return Parse(text.data(), text.size(), error, errorSize);
}

int InputScript::TakeAnswer(uint32_t pass) {
  while (nextAnswer_ < events_.size()) {
    const ScriptEvent& e = events_[nextAnswer_];
    if (e.frame > pass) return -1;
    ++nextAnswer_;
    if (e.kind == ScriptEvent::Answer) return e.value;
  }
  return -1;
}

int VirtualKeyFromName(const char* name) {
  static const struct {
    const char* name;
    int code;
  } kNames[] = {
      {"ENTER", kVkReturn}, {"RETURN", kVkReturn}, {"SPACE", kVkSpace},   {"ESCAPE", kVkEscape},
      {"ESC", kVkEscape},   {"LEFT", kVkLeft},     {"UP", kVkUp},         {"RIGHT", kVkRight},
      {"DOWN", kVkDown},    {"SHIFT", kVkShift},   {"CONTROL", kVkControl}, {"CTRL", kVkControl},
      {"ALT", kVkMenu},     {"TAB", kVkTab},       {"BACKSPACE", kVkBack}, {"PAUSE", kVkPause},
      {"INSERT", kVkInsert}, {"DELETE", kVkDelete}, {"HOME", kVkHome},    {"END", kVkEnd},
      {"PAGEUP", kVkPrior}, {"PAGEDOWN", kVkNext},
  };
  if (!name || !*name) return 0;
  for (const auto& k : kNames)
    if (EqualsNoCase(name, k.name)) return k.code;
  if (!name[1]) {
    char c = name[0];
    if (c >= 'a' && c <= 'z') c = char(c - 32);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
    return 0;
  }
  if ((name[0] == 'F' || name[0] == 'f') && name[1] >= '1' && name[1] <= '9') {
    char* end = nullptr;
    long n = strtol(name + 1, &end, 10);
    if (*end == '\0' && n >= 1 && n <= 12) return kVkF1 + int(n) - 1;
    return 0;
  }
  bool digits = true;
  for (const char* p = name; *p; ++p) digits = digits && *p >= '0' && *p <= '9';
  if (digits && strlen(name) <= 3) {
    int n = atoi(name);
    if (n >= 1 && n <= 255) return n;
  }
  return 0;
}

}  // namespace plat
