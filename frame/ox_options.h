// oxOptions: the options overlay. Tab (or whatever key or pad input the
// game binds to Tab) opens it over any scene; while it is open the scene is
// held still (no scene pass runs, the wait slots and the blink do not count
// the time, the first scene pass after closing sees the frame time it would
// have seen) and every key goes to the overlay. Its rows are a table: the
// player's volumes, the display values, one row per bound action of the
// game (see oxBindings), reset to defaults, close.
#pragma once

struct oxOptions {
  // The game offers the overlay (off at start: Tab is then an ordinary key).
  static void Enable(bool on);
  static bool Open();
  // Opens or closes it as the open key does.
  static void Toggle();

  // A row of the game's own (up to 4, shown after the display rows in the
  // order added): a number from `min` to `max` that left and right step by
  // `step`. `get` reads it, `set` changes it (false: refused, kept);
  // `format` writes how it reads (null: the plain number). Call at start.
  // False when the table is full, the label is taken or an argument is
  // missing.
  using GetFn = int (*)();
  using SetFn = bool (*)(int value);
  using FormatFn = void (*)(int value, char* text, int size);
  static bool AddGameRow(const char* label, GetFn get, SetFn set, int min, int max, int step,
                         FormatFn format);
};
