// Wait slots: ten numbered millisecond deadlines (1..10) and the deadline
// of the blocking wait (11).
#pragma once

#include <cstdint>

namespace ox {

constexpr uint32_t kWaitUnarmed = 999999999;
constexpr int kBlockingWait = 11;

// Sets all eleven deadlines to "not armed" (screen set-up).
void InitWaitSlots();
// The deadline of entry 1..11 (0 for any other index).
uint32_t WaitDeadline(int index);
// Sets entry 1..11; other indexes are ignored.
void SetWaitDeadline(int index, uint32_t deadline);

}  // namespace ox
