// The game's actions. Each slot's own key is the key the game's code reads
// (the arrows, X and Control fire, Z and Shift the special shot, S pauses,
// Enter starts, Space picks sparks, Tab opens the options overlay); the pad flies with the d-pad and the
// left stick, fires with A, launches the special shot with X or B, starts
// and pauses with Start, picks sparks with Y and opens the options with Back.
//
// With a game controller attached, the ship follows the bindings only: the
// raw joystick control of the stage is for joysticks that SDL knows no
// controller mapping for (a known pad is also raw joystick 0, and would
// otherwise steer the ship twice).
#include "game/controls.h"

#include <cstdio>
#include <cstring>

#include "frame/ox_options.h"
#include "frame/ox_settings.h"
#include "input/ox_bindings.h"

namespace game {

namespace {

using B = oxBindings;

constexpr int kTab = 9, kEnter = 13, kShift = 16, kControl = 17, kSpace = 32;
constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

constexpr B::Action kActions[kControlCount] = {
    {"up", B::kEverywhere, {kUp, 0}, {B::kPadDpUp, B::kStickUp}},
    {"down", B::kEverywhere, {kDown, 0}, {B::kPadDpDown, B::kStickDown}},
    {"left", B::kEverywhere, {kLeft, 0}, {B::kPadDpLeft, B::kStickLeft}},
    {"right", B::kEverywhere, {kRight, 0}, {B::kPadDpRight, B::kStickRight}},
    {"fire", B::kEverywhere, {'X', kControl}, {B::kPadA, B::kNoPad}},
    {"special", B::kEverywhere, {'Z', kShift}, {B::kPadX, B::kPadB}},
    {"pause", B::kPlay, {'S', 0}, {B::kPadStart, B::kNoPad}},
    {"start", B::kMenus, {kEnter, 0}, {B::kPadStart, B::kNoPad}},
    {"spark", B::kEverywhere, {kSpace, 0}, {B::kPadY, B::kNoPad}},
    {"options", B::kEverywhere, {kTab, 0}, {B::kPadBack, B::kNoPad}},
};

// "Z, Shift" / "x, b": up to two names separated by commas; an empty value
// clears both slots.
bool ReadSlots(const char* value, int (*fromName)(const char*), int none, int out[B::kSlots]) {
  out[0] = out[1] = none;
  char copy[64];
  if (strlen(value) >= sizeof copy) return false;
  strcpy(copy, value);
  int n = 0;
  for (char* part = copy; part;) {
    char* comma = strchr(part, ',');
    if (comma) *comma = '\0';
    while (*part == ' ' || *part == '\t') ++part;
    char* end = part + strlen(part);
    while (end > part && (end[-1] == ' ' || end[-1] == '\t')) *--end = '\0';
    if (*part) {
      if (n == B::kSlots) return false;
      const int code = fromName(part);
      if (code == none) return false;
      out[n++] = code;
    } else if (comma) {
      return false;  // an empty name between commas
    }
    part = comma ? comma + 1 : nullptr;
  }
  return true;
}

// The file's bindings of an action. A key still held by the default
// binding of another action moves here: a file written after two actions
// swapped their keys reads back in any order. A key another line of the
// file gave away is refused, and then the action keeps what it had.
template <typename Bind, typename Get, typename Default>
bool BindBoth(int action, const int codes[B::kSlots], int none, Bind bind, Get get,
              Default byDefault) {
  int old[B::kSlots];
  for (int s = 0; s < B::kSlots; ++s) {
    old[s] = get(action, s);
    bind(action, s, none, nullptr, 0);
  }
  struct Moved {
    int action, slot, code;
  } moved[B::kMaxActions * B::kSlots];
  int movedCount = 0;
  bool ok = true;
  for (int s = 0; ok && s < B::kSlots; ++s) {
    while (!bind(action, s, codes[s], nullptr, 0)) {
      bool found = false;
      for (int a = 0; !found && a < B::ActionCount(); ++a)
        for (int t = 0; !found && t < B::kSlots; ++t)
          if (a != action && get(a, t) == codes[s] && byDefault(a, t) == codes[s]) {
            bind(a, t, none, nullptr, 0);
            moved[movedCount++] = Moved{a, t, codes[s]};
            found = true;
          }
      if (!found) {
        ok = false;
        break;
      }
    }
  }
  if (ok) return true;
  for (int s = 0; s < B::kSlots; ++s) bind(action, s, none, nullptr, 0);
  for (int i = 0; i < movedCount; ++i) bind(moved[i].action, moved[i].slot, moved[i].code, nullptr, 0);
  for (int s = 0; s < B::kSlots; ++s) bind(action, s, old[s], nullptr, 0);
  return false;
}

int DefaultKey(int action, int slot) { return B::ActionAt(action).keys[slot]; }
int DefaultPad(int action, int slot) { return B::ActionAt(action).pads[slot]; }

bool ReadKeys(const char* key, const char* value) {
  const int action = B::FindAction(key);
  int codes[B::kSlots];
  if (action < 0 || !ReadSlots(value, B::KeyFromName, 0, codes)) return false;
  return BindBoth(action, codes, 0, B::BindKey, B::Key, DefaultKey);
}

bool ReadPad(const char* key, const char* value) {
  const int action = B::FindAction(key);
  int codes[B::kSlots];
  if (action < 0 || !ReadSlots(value, B::PadFromName, B::kNoPad, codes)) return false;
  return BindBoth(action, codes, B::kNoPad, B::BindPad, B::Pad, DefaultPad);
}

void WriteKeys(oxSettings::PutFn put, void* context) {
  for (int a = 0; a < B::ActionCount(); ++a) {
    char value[64] = "", name[16];
    for (int s = 0; s < B::kSlots; ++s) {
      if (!B::Key(a, s)) continue;
      if (value[0]) strcat(value, ", ");
      strcat(value, B::KeyName(B::Key(a, s), name, sizeof name));
    }
    put(context, B::ActionAt(a).name, value);
  }
}

void WritePad(oxSettings::PutFn put, void* context) {
  for (int a = 0; a < B::ActionCount(); ++a) {
    char value[64] = "";
    for (int s = 0; s < B::kSlots; ++s) {
      if (B::Pad(a, s) == B::kNoPad) continue;
      if (value[0]) strcat(value, ", ");
      strcat(value, B::PadName(B::Pad(a, s)));
    }
    put(context, B::ActionAt(a).name, value);
  }
}

}  // namespace

void DefineControls() {
  B::Define(kActions, kControlCount);
  // The sections stay registered once added; a second call finds the
  // names taken.
  oxSettings::AddSection("keys", ReadKeys, WriteKeys, B::ResetToDefaults);
  oxSettings::AddSection("pad", ReadPad, WritePad, B::ResetToDefaults);
  oxOptions::Enable(true);
}

}  // namespace game
