// The number pad's keys: with NumLock off they are the navigation keys
// printed beside their digits, as the platform's key codes have them.
#pragma once

namespace plat {

// The virtual-key code a number-pad key sends. With NumLock on, or for any
// other key, `vk` itself; with NumLock off, the digits 8, 4, 6, 2 are Up,
// Left, Right, Down, 7, 9, 1, 3 are Home, Page Up, End, Page Down, 0 is
// Insert, the decimal point Delete and 5 is Clear (12).
int KeypadKey(int vk, bool numLock);

}  // namespace plat
