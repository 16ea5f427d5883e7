// Free disk space and free memory, saturated to 32 bits.
#include <sys/statvfs.h>
#include <sys/sysinfo.h>

#include "platform/platform.h"

namespace plat {

namespace {
uint32_t Saturate(unsigned long long v) {
  return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
}
}  // namespace

uint32_t DiskFree(const char* path) {
  struct statvfs st;
  if (!path || statvfs(path, &st) != 0) return 0;
  return Saturate(static_cast<unsigned long long>(st.f_bavail) * st.f_frsize);
}

uint32_t FreeMemory() {
  struct sysinfo info;
  if (sysinfo(&info) != 0) return 0;
  return Saturate(static_cast<unsigned long long>(info.freeram) * info.mem_unit);
}

}  // namespace plat
