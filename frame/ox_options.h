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
};
