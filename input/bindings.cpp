// Key and pad bindings of the game's actions; pad polling into key events.
#include <cstdio>
#include <cstring>

#include "input/ox_bindings.h"
#include "platform/gamepad.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace {

using B = oxBindings;

struct Table {
  B::Action actions[B::kMaxActions];
  int count;
  int keys[B::kMaxActions][B::kSlots];
  int pads[B::kMaxActions][B::kSlots];
  B::Scope scope;
  // Pad state of the last poll.
  bool inputDown[B::kPadInputs];
  bool actionDown[B::kMaxActions];
  bool actionPressed[B::kMaxActions];
  int inputPressed;
  bool attached;
};

constinit Table g{};

bool ValidSlot(int action, int slot) {
  return action >= 0 && action < g.count && slot >= 0 && slot < B::kSlots;
}

// The own key a slot stands for: its own, else the action's first.
int OwnKey(int action, int slot) {
  const int k = g.actions[action].keys[slot];
  return k ? k : g.actions[action].keys[0];
}

bool ScopesMeet(B::Scope a, B::Scope b) {
  return a == B::kEverywhere || b == B::kEverywhere || a == b;
}

bool InScope(int action) { return ScopesMeet(g.actions[action].scope, g.scope); }

bool SameNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    const char ca = *a >= 'a' && *a <= 'z' ? char(*a - 32) : *a;
    const char cb = *b >= 'a' && *b <= 'z' ? char(*b - 32) : *b;
    if (ca != cb) return false;
  }
  return *a == *b;
}

// The word on a refusal: `text`, or "taken by NAME".
void Say(char* why, size_t size, const char* text, const char* takenBy = nullptr) {
  if (!why || !size) return;
  if (takenBy) snprintf(why, size, "taken by %s", takenBy);
  else snprintf(why, size, "%s", text);
}

// Key names beyond letters, digits and F1..F12, in the case they are shown.
struct KeyWord {
  const char* name;
  int vk;
};
constexpr KeyWord kKeyWords[] = {
    {"Enter", plat::kVkReturn}, {"Space", plat::kVkSpace},     {"Escape", plat::kVkEscape},
    {"Left", plat::kVkLeft},    {"Up", plat::kVkUp},           {"Right", plat::kVkRight},
    {"Down", plat::kVkDown},    {"Shift", plat::kVkShift},     {"Control", plat::kVkControl},
    {"Alt", plat::kVkMenu},     {"Tab", plat::kVkTab},         {"Backspace", plat::kVkBack},
    {"Pause", plat::kVkPause},  {"Insert", plat::kVkInsert},   {"Delete", plat::kVkDelete},
    {"Home", plat::kVkHome},    {"End", plat::kVkEnd},         {"PageUp", plat::kVkPrior},
    {"PageDown", plat::kVkNext},
};

static_assert(B::kPadDpRight == plat::gamepad::kDpRight && B::kPadA == plat::gamepad::kA &&
              B::kStickUp == plat::gamepad::kButtons);

constexpr const char* kStickNames[4] = {"-lefty", "+lefty", "-leftx", "+leftx"};

bool InputDown(const plat::gamepad::State& s, int input) {
  using namespace plat::gamepad;
  if (input < kButtons) return s.Down(input);
  switch (input) {
    case B::kStickUp: return s.axes[kLeftY] <= -B::kStickThreshold;
    case B::kStickDown: return s.axes[kLeftY] >= B::kStickThreshold;
    case B::kStickLeft: return s.axes[kLeftX] <= -B::kStickThreshold;
    case B::kStickRight: return s.axes[kLeftX] >= B::kStickThreshold;
    default: return false;
  }
}

}  // namespace

void oxBindings::Define(const Action* actions, int count) {
  g = Table{};
  g.inputPressed = kNoPad;
  if (!actions || count < 0) count = 0;
  g.count = count > kMaxActions ? kMaxActions : count;
  for (int a = 0; a < g.count; ++a) g.actions[a] = actions[a];
  ResetToDefaults();
}

int oxBindings::ActionCount() { return g.count; }

const oxBindings::Action& oxBindings::ActionAt(int action) {
  static constexpr Action kNone = {"", kEverywhere, {0, 0}, {kNoPad, kNoPad}};
  return action >= 0 && action < g.count ? g.actions[action] : kNone;
}

int oxBindings::FindAction(const char* name) {
  for (int a = 0; name && a < g.count; ++a)
    if (SameNoCase(name, g.actions[a].name)) return a;
  return -1;
}

void oxBindings::SetScope(Scope scope) { g.scope = scope; }

int oxBindings::Key(int action, int slot) { return ValidSlot(action, slot) ? g.keys[action][slot] : 0; }

int oxBindings::Pad(int action, int slot) {
  return ValidSlot(action, slot) ? g.pads[action][slot] : kNoPad;
}

bool oxBindings::BindKey(int action, int slot, int vk, char* why, size_t whySize) {
  if (!ValidSlot(action, slot)) {
    Say(why, whySize, "no such action");
    return false;
  }
  if (vk < 0 || vk > 255) {
    Say(why, whySize, "no such key");
    return false;
  }
  if (vk == plat::kVkEscape) {
    Say(why, whySize, "kept for quitting");
    return false;
  }
  for (int a = 0; vk && a < g.count; ++a)
    for (int s = 0; s < kSlots; ++s)
      if ((a != action || s != slot) && g.keys[a][s] == vk) {
        Say(why, whySize, "", g.actions[a].name);
        return false;
      }
  g.keys[action][slot] = vk;
  return true;
}

bool oxBindings::BindPad(int action, int slot, int input, char* why, size_t whySize) {
  if (!ValidSlot(action, slot)) {
    Say(why, whySize, "no such action");
    return false;
  }
  if (input < kNoPad || input >= kPadInputs) {
    Say(why, whySize, "no such pad input");
    return false;
  }
  for (int a = 0; input != kNoPad && a < g.count; ++a)
    for (int s = 0; s < kSlots; ++s)
      if ((a != action || s != slot) && g.pads[a][s] == input &&
          (a == action || ScopesMeet(g.actions[a].scope, g.actions[action].scope))) {
        Say(why, whySize, "", g.actions[a].name);
        return false;
      }
  g.pads[action][slot] = input;
  return true;
}

void oxBindings::ResetToDefaults() {
  for (int a = 0; a < g.count; ++a)
    for (int s = 0; s < kSlots; ++s) {
      g.keys[a][s] = g.actions[a].keys[s];
      g.pads[a][s] = g.actions[a].pads[s];
    }
}

int oxBindings::KeyFromName(const char* name) {
  if (!name || !*name) return 0;
  for (const KeyWord& w : kKeyWords)
    if (SameNoCase(name, w.name)) return w.vk;
  return plat::VirtualKeyFromName(name);
}

const char* oxBindings::KeyName(int vk, char* buffer, size_t size) {
  if (!buffer || size == 0) return "";
  buffer[0] = '\0';
  for (const KeyWord& w : kKeyWords)
    if (w.vk == vk) {
      snprintf(buffer, size, "%s", w.name);
      return buffer;
    }
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) snprintf(buffer, size, "%c", vk);
  else if (vk >= plat::kVkF1 && vk <= plat::kVkF12) snprintf(buffer, size, "F%d", vk - plat::kVkF1 + 1);
  else if (vk > 0 && vk < 256) snprintf(buffer, size, "%d", vk);
  return buffer;
}

int oxBindings::PadFromName(const char* name) {
  if (!name) return kNoPad;
  const int button = plat::gamepad::ButtonFromName(name);
  if (button >= 0) return button;
  for (int i = 0; i < 4; ++i)
    if (SameNoCase(name, kStickNames[i])) return kStickUp + i;
  return kNoPad;
}

const char* oxBindings::PadName(int input) {
  if (input >= 0 && input < plat::gamepad::kButtons) return plat::gamepad::ButtonName(input);
  if (input >= kStickUp && input < kPadInputs) return kStickNames[input - kStickUp];
  return "";
}

int oxBindings::TranslateKey(int vk) {
  for (int a = 0; a < g.count; ++a)
    for (int s = 0; s < kSlots; ++s)
      if (g.keys[a][s] == vk && vk) return OwnKey(a, s);
  for (int a = 0; a < g.count; ++a)
    for (int s = 0; s < kSlots; ++s)
      if (g.actions[a].keys[s] == vk && vk) return 0;  // its key is bound elsewhere now
  return vk;
}

bool oxBindings::KeyDown(int vk) {
  bool own = false;
  bool down = false;
  for (int a = 0; a < g.count; ++a) {
    for (int s = 0; s < kSlots; ++s) {
      if (OwnKey(a, s) != vk) continue;
      own = true;
      if (g.keys[a][s] && plat::KeyDown(g.keys[a][s])) down = true;
    }
    if (g.actions[a].keys[0] == vk && g.actionDown[a]) down = true;
  }
  return own ? down : plat::KeyDown(vk);
}

void oxBindings::PollPads(void (*deliver)(int vk, bool down)) {
  bool now[kPadInputs] = {};
  bool attached = false;
  for (int pad = 0; pad < plat::gamepad::kPads; ++pad) {
    plat::gamepad::State s;
    if (!plat::gamepad::Read(pad, s)) continue;
    attached = true;
    for (int i = 0; i < kPadInputs; ++i) now[i] = now[i] || InputDown(s, i);
  }
  g.attached = attached;
  g.inputPressed = kNoPad;
  for (int i = 0; i < kPadInputs; ++i)
    if (now[i] && !g.inputDown[i] && g.inputPressed == kNoPad) g.inputPressed = i;
  for (int a = 0; a < g.count; ++a) {
    bool held = false, pressed = false;
    for (int s = 0; s < kSlots; ++s) {
      const int input = g.pads[a][s];
      if (input == kNoPad) continue;
      held = held || now[input];
      pressed = pressed || (now[input] && !g.inputDown[input]);
    }
    const bool down = InScope(a) && (g.actionDown[a] ? held : pressed);
    g.actionPressed[a] = down && !g.actionDown[a];
    if (down != g.actionDown[a]) {
      g.actionDown[a] = down;
      if (deliver && g.actions[a].keys[0]) deliver(g.actions[a].keys[0], down);
    }
  }
  memcpy(g.inputDown, now, sizeof now);
}

bool oxBindings::PadAttached() { return g.attached; }

bool oxBindings::PadPressed(int action) {
  return action >= 0 && action < g.count && g.actionPressed[action];
}

int oxBindings::PadInputPressed() { return g.inputPressed; }
