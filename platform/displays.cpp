#include "platform/displays.h"

namespace plat {

int DisplayAt(const DisplayRect* displays, int count, int x, int y) {
  for (int i = 0; displays && i < count; ++i) {
    const DisplayRect& d = displays[i];
    if (x >= d.x && x - d.x < d.w && y >= d.y && y - d.y < d.h) return i;
  }
  return -1;
}

int ChooseDisplay(int last, const DisplayRect* displays, int count, int pointerX, int pointerY) {
  if (last >= 0 && last < count) return last;
  const int under = DisplayAt(displays, count, pointerX, pointerY);
  return under >= 0 ? under : 0;
}

}  // namespace plat
