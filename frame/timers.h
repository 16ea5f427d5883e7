// Wait slots: ten numbered millisecond deadlines and the blocking wait.
#pragma once

#include <cstdint>

namespace ox {

constexpr uint32_t kWaitUnarmed = 999999999;
// Sets all eleven deadlines to "not armed" (screen set-up).
void InitWaitSlots();
uint32_t WaitDeadline(int index);  // 1..11, for tests

}  // namespace ox
