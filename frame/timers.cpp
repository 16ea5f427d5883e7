// oxSystem's wait slots over the deadline table of the core.
#include "core/app_state.h"
#include "core/error_report.h"
#include "core/wait_slots.h"
#include "frame/ox_system.h"
#include "platform/platform.h"

int oxSystem::SetWait(int slot, uint32_t milliseconds) {
  if (slot < 1 || slot > 10) return ox::ErrorReport("oxSystem::SetWait", "ウェイトNoが範囲外です");
  ox::SetWaitDeadline(slot, plat::Clock() + milliseconds);
  return 1;
}

int oxSystem::InitWait(int slot) {
  if (slot < 1 || slot > 10) return ox::ErrorReport("oxSystem::InitWait", "ウェイトNoが範囲外です");
  ox::SetWaitDeadline(slot, ox::kWaitUnarmed);
  return 1;
}

int oxSystem::CheckWait(int slot) {
  // Callers keep to 1..10; anything else reads as not elapsed rather than
  // reading outside the table.
  if (slot < 1 || slot > 10) return 0;
  return ox::WaitDeadline(slot) <= plat::Clock() ? 1 : 0;
}

void oxSystem::Wait(uint32_t milliseconds) {
  ox::SetWaitDeadline(ox::kBlockingWait, plat::Clock() + milliseconds);
  plat::WaitUntil(ox::WaitDeadline(ox::kBlockingWait));
  ox::ResetFrameTimer();
}
