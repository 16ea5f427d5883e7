#include "core/wait_slots.h"

namespace ox {

namespace {
// Entries 1..10: wait slots; 11: the blocking wait.
uint32_t g_deadlines[12];
}  // namespace

void InitWaitSlots() {
  for (uint32_t& d : g_deadlines) d = kWaitUnarmed;
}

uint32_t WaitDeadline(int index) { return index >= 1 && index <= 11 ? g_deadlines[index] : 0; }

void SetWaitDeadline(int index, uint32_t deadline) {
  if (index >= 1 && index <= 11) g_deadlines[index] = deadline;
}

}  // namespace ox
