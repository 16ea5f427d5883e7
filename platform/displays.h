// Which display a window opens on.
#pragma once

namespace plat {

struct DisplayRect {
  int x = 0, y = 0, w = 0, h = 0;  // desktop coordinates
};

// The display of `count` that holds the desktop point (x, y); -1 when none
// does (a point in a gap between displays of different sizes).
int DisplayAt(const DisplayRect* displays, int count, int x, int y);

// The display a new main window opens on: `last`, the display the window
// was last on, while it still exists; else the one holding the pointer;
// else the first.
int ChooseDisplay(int last, const DisplayRect* displays, int count, int pointerX, int pointerY);

}  // namespace plat
