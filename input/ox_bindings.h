// oxBindings: the game's actions and the keys and pad inputs bound to them.
//
// A game names its actions in a table: for each, the keys its code reads
// (its "own" keys, one per binding slot) and the pad inputs that stand for
// it by default. The player may bind each slot to another key; the library
// then translates: a bound key arrives as the slot's own key (key messages,
// LastKey, GetKey), and an own key bound elsewhere or cleared no longer
// acts. A pad input bound to an action arrives as the action's first own
// key, as if that key were pressed and released. With the default bindings
// and no pad the game sees exactly the keyboard it would see without them.
//
// Pad inputs act only in the scenes of their action's scope, so that one
// button may, say, be Enter on the title and pause in a stage. An action
// that comes into scope while its input is held waits for a fresh press.
#pragma once

#include <cstddef>
#include <cstdint>

struct oxBindings {
  static constexpr int kSlots = 2;
  static constexpr int kMaxActions = 16;

  // Pad inputs: the game-controller buttons (SDL's order: a, b, x, y, back,
  // guide, start, leftstick, rightstick, leftshoulder, rightshoulder, dpup,
  // dpdown, dpleft, dpright), then the left stick pushed up, down, left and
  // right ("-lefty", "+lefty", "-leftx", "+leftx").
  static constexpr int kNoPad = -1;
  static constexpr int kPadA = 0, kPadB = 1, kPadX = 2, kPadY = 3, kPadBack = 4, kPadGuide = 5,
                       kPadStart = 6, kPadLeftStick = 7, kPadRightStick = 8, kPadLeftShoulder = 9,
                       kPadRightShoulder = 10, kPadDpUp = 11, kPadDpDown = 12, kPadDpLeft = 13,
                       kPadDpRight = 14;
  static constexpr int kStickUp = 15, kStickDown = 16, kStickLeft = 17, kStickRight = 18;
  static constexpr int kPadInputs = 19;
  // How far (of 32767) the stick must be pushed to count as a direction.
  static constexpr int kStickThreshold = 16384;

  enum Scope : uint8_t { kEverywhere, kMenus, kPlay };

  struct Action {
    const char* name;   // in the settings file: "fire"
    Scope scope;        // where its pad inputs act
    int keys[kSlots];   // the game's own keys, slot by slot; 0: the slot has none
    int pads[kSlots];   // default pad inputs; kNoPad for none
  };

  // The game's actions (copied; at most kMaxActions), every binding at its
  // default. Zero actions: no translation at all.
  static void Define(const Action* actions, int count);
  static int ActionCount();
  static const Action& ActionAt(int action);
  // -1 when no action has this name.
  static int FindAction(const char* name);

  // The scope the game is in now (set by the scene; kEverywhere at start).
  static void SetScope(Scope scope);

  // The key or pad input bound to a slot; 0 / kNoPad for none.
  static int Key(int action, int slot);
  static int Pad(int action, int slot);
  // Binds a slot (0 / kNoPad clears it). Refused, with a word in `why`,
  // when the key or input is bound to another slot already (for pads: of an
  // action whose scope meets this one's), or the key cannot be bound.
  static bool BindKey(int action, int slot, int vk, char* why, size_t whySize);
  static bool BindPad(int action, int slot, int input, char* why, size_t whySize);
  // Every binding back to its default.
  static void ResetToDefaults();

  // Names: keys as the input script spells them ("X", "Control", "F1",
  // "Space"), pad inputs as SDL does ("a", "dpup", "-lefty"). 0 / kNoPad
  // when unknown.
  static int KeyFromName(const char* name);
  static const char* KeyName(int vk, char* buffer, size_t size);
  static int PadFromName(const char* name);
  static const char* PadName(int input);

  // ------------------------------------------------------------ frame side
  // The key a key message of physical key `vk` is for; 0 when it must be
  // ignored (an own key bound elsewhere).
  static int TranslateKey(int vk);
  // Is the own key `vk` down by its bound key or a pad input?
  static bool KeyDown(int vk);
  // Reads the pads for this frame pass and reports each action's pad press
  // and release as a down or up of its first own key.
  static void PollPads(void (*deliver)(int vk, bool down));
  // A game controller gave a reading at the last poll.
  static bool PadAttached();
  // The action's pad input was pressed at the last poll.
  static bool PadPressed(int action);
  // The pad input first pressed at the last poll (for "press a button");
  // kNoPad when none.
  static int PadInputPressed();
};
