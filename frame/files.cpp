// Data-file paths, settings files and system queries.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/app_state.h"
#include "core/paths.h"
#include "core/text_copy.h"
#include "frame/atomic_file.h"
#include "frame/ox_system.h"
#include "platform/platform.h"

namespace {
constexpr size_t kPath = PATH_MAX;
}  // namespace

void oxSystem::SetSettingsRoot(const char* redirectFile) {
  ox::SetSettingsRootPath("");
  char dir[kPath], path[kPath];
  if (!redirectFile || !plat::ConfigDirectory(dir, sizeof dir)) return;
  if (snprintf(path, sizeof path, "%s/%s", dir, redirectFile) >= int(sizeof path)) return;
  FILE* f = fopen(path, "r");
  if (!f) return;
  char line[257];
  if (fgets(line, sizeof line, f)) {
    size_t n = strlen(line);
    if (n > 0 && line[n - 1] == '\n') line[--n] = '\0';
    if (n > 0 && line[n - 1] == '\r') line[--n] = '\0';
    if (n > 0 && line[n - 1] == '/') line[--n] = '\0';
    ox::SetSettingsRootPath(line);
  }
  fclose(f);
}

void oxSystem::WriteNumber(const char* fileName, int value) {
  char path[kPath];
  if (!ox::DataPath(path, sizeof path, fileName, true)) return;
  // Written whole or not at all: a crash never leaves a half-written file.
  char text[16];
  const int n = snprintf(text, sizeof text, "%d", value);
  if (n > 0) ox::WriteFileAtomically(path, text, size_t(n));
}

int oxSystem::ReadNumber(const char* fileName) {
  char path[kPath];
  if (!ox::DataPath(path, sizeof path, fileName, true)) return 0;
  FILE* f = fopen(path, "r");
  if (!f) return 0;
  int value = 0;
  if (fscanf(f, "%d", &value) != 1) value = 0;
  fclose(f);
  return value;
}

const char* oxSystem::GetCommandLine() { return ox::CommandLine(); }

void oxSystem::GetDate(int* year, int* month, int* day, const char** weekday) {
  static const char* const kDays[7] = {"日", "月", "火", "水", "木", "金", "土"};
  time_t now = time(nullptr);
  struct tm t;
  localtime_r(&now, &t);
  if (year) *year = t.tm_year + 1900;
  if (month) *month = t.tm_mon + 1;
  if (day) *day = t.tm_mday;
  if (weekday) *weekday = kDays[t.tm_wday % 7];
}

void oxSystem::GetTime(int* hour, int* minute, int* second) {
  time_t now = time(nullptr);
  struct tm t;
  localtime_r(&now, &t);
  if (hour) *hour = t.tm_hour;
  if (minute) *minute = t.tm_min;
  if (second) *second = t.tm_sec;
}

uint32_t oxSystem::DiskFree(char) {
  // There are no drive letters: the free space is that of the file system
  // holding the data directory.
  char dir[kPath];
  if (!ox::DataDirectory(dir, sizeof dir)) return plat::DiskFree("/");
  return plat::DiskFree(dir);
}

uint32_t oxSystem::FreeMemory() { return plat::FreeMemory(); }

int oxSystem::GetOSVersion() { return -1; }

int oxSystem::IsWindowed() { return ox::App().fullScreen == 0 ? 1 : 0; }
