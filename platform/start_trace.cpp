#include "platform/start_trace.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace plat::start_trace {

namespace {

// The process's start in ns of CLOCK_BOOTTIME (the kernel's clock for
// starttime); -1 when it cannot be read.
int64_t ReadStartNs() {
  char text[1024];
  const int fd = open("/proc/self/stat", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  const ssize_t n = read(fd, text, sizeof text - 1);
  close(fd);
  if (n <= 0) return -1;
  text[n] = '\0';
  uint64_t ticks = 0;
  const long hz = sysconf(_SC_CLK_TCK);
  if (!ParseStartTicks(text, ticks) || hz <= 0) return -1;
  return static_cast<int64_t>(ticks * (1000000000ull / static_cast<uint64_t>(hz)));
}

int64_t StartNs() {
  static const int64_t start = ReadStartNs();
  return start;
}

}  // namespace

bool Enabled() {
  static const bool on = [] {
    const char* v = getenv("OX_START_TRACE");
    return v && v[0] && strcmp(v, "0") != 0;
  }();
  return on;
}

double SinceStart() {
  const int64_t start = StartNs();
  timespec now{};
  if (start < 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1.0;
  const int64_t ns = int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
  return double(ns - start) / 1e6;
}

void Mark(const char* milestone) {
  if (!Enabled()) return;
  const double ms = SinceStart();
  if (ms < 0)
    fprintf(stderr, "samplegame: start trace:       ? ms  %s\n", milestone ? milestone : "");
  else
    fprintf(stderr, "samplegame: start trace: %7.1f ms  %s\n", ms, milestone ? milestone : "");
}

bool ParseStartTicks(const char* text, uint64_t& ticks) {
  if (!text) return false;
  // The command name (field 2) stands in parentheses and may hold spaces
  // and parentheses itself: the fields go on after the last ')'.
  const char* p = strrchr(text, ')');
  if (!p) return false;
  ++p;
  // starttime is field 22: the 20th after the name.
  for (int field = 3; field <= 22; ++field) {
    if (*p != ' ') return false;
    while (*p == ' ') ++p;
    if (field < 22) {
      if (!*p) return false;
      while (*p && *p != ' ') ++p;
      continue;
    }
    if (*p < '0' || *p > '9') return false;
    uint64_t v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
      const uint64_t digit = uint64_t(*p - '0');
      if (v > UINT64_MAX / 10 || (v == UINT64_MAX / 10 && digit > UINT64_MAX % 10)) return false;
      v = v * 10 + digit;
    }
    if (*p != ' ' && *p != '\n' && *p != '\0') return false;
    ticks = v;
    return true;
  }
  return false;
}

}  // namespace plat::start_trace
