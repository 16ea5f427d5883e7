#include "platform/pacing.h"

namespace plat {

bool VsyncHelps(int refreshHz) {
  if (refreshHz <= 0) return false;
  // 59 Hz stands for 59.94 Hz, as 119 for 119.88.
  const int r = refreshHz % 60;
  return refreshHz >= 59 && (r == 0 || r == 59);
}

int64_t NextPassStart(int64_t previous, int64_t now) {
  if (previous == 0 || now - previous >= kPassPeriodNs) return now;
  return previous + kPassPeriodNs;
}

}  // namespace plat
