#include "platform/keypad.h"

#include "platform/messages.h"

namespace plat {

namespace {

constexpr int kVkClear = 12;
constexpr int kVkDecimal = 110;

// Number-pad digit 0 to 9 with NumLock off.
constexpr int kNavigation[10] = {kVkInsert, kVkEnd,   kVkDown, kVkNext, kVkLeft,
                                 kVkClear,  kVkRight, kVkHome, kVkUp,   kVkPrior};

}  // namespace

int KeypadKey(int vk, bool numLock) {
  if (numLock) return vk;
  if (vk >= kVkNumpad0 && vk <= kVkNumpad0 + 9) return kNavigation[vk - kVkNumpad0];
  if (vk == kVkDecimal) return kVkDelete;
  return vk;
}

}  // namespace plat
