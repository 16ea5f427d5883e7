#include "frame/timers.h"

#include "frame/app_state.h"
#include "frame/ox_system.h"
#include "platform/platform.h"

namespace ox {

namespace {
// Entries 1..10: wait slots; 11: the blocking wait.
uint32_t g_deadlines[12];
}  // namespace

void InitWaitSlots() {
  for (uint32_t& d : g_deadlines) d = kWaitUnarmed;
}

uint32_t WaitDeadline(int index) { return index >= 0 && index < 12 ? g_deadlines[index] : 0; }

}  // namespace ox

int oxSystem::SetWait(int slot, uint32_t milliseconds) {
  if (slot < 1 || slot > 10) return ox::ErrorReport("oxSystem::SetWait", "ウェイトNoが範囲外です");
  ox::g_deadlines[slot] = plat::Clock() + milliseconds;
  return 1;
}

int oxSystem::InitWait(int slot) {
  if (slot < 1 || slot > 10) return ox::ErrorReport("oxSystem::InitWait", "ウェイトNoが範囲外です");
  ox::g_deadlines[slot] = ox::kWaitUnarmed;
  return 1;
}

int oxSystem::CheckWait(int slot) {
  // Callers keep to 1..10; anything else reads as not elapsed rather than
  // reading outside the table.
  if (slot < 1 || slot > 10) return 0;
  return ox::g_deadlines[slot] <= plat::Clock() ? 1 : 0;
}

void oxSystem::Wait(uint32_t milliseconds) {
  ox::g_deadlines[11] = plat::Clock() + milliseconds;
  plat::WaitUntil(ox::g_deadlines[11]);
  ox::ResetFrameTimer();
}
