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
#include "frame/ox_system.h"
#include "platform/platform.h"

namespace {
constexpr size_t kPath = PATH_MAX;

// The writer's pid of a settings temporary file "NAME.tmpPID"; 0 for any
// other name.
long TempWriter(const char* name) {
  const char* tmp = nullptr;
  for (const char* p = strstr(name, ".tmp"); p; p = strstr(p + 1, ".tmp")) tmp = p;
  if (!tmp || tmp == name) return 0;
  const char* digits = tmp + 4;
  if (*digits < '1' || *digits > '9') return 0;
  long pid = 0;
  for (const char* p = digits; *p; ++p) {
    if (*p < '0' || *p > '9' || p - digits >= 9) return 0;
    pid = pid * 10 + (*p - '0');
  }
  return pid;
}

// Removes the temporary files that writers killed before their rename left
// in `dir`. Only a regular file whose writer no longer exists goes; a live
// writer's file and every other file stay.
void RemoveStaleTemps(const char* dir) {
  DIR* d = opendir(dir);
  if (!d) return;
  const long self = static_cast<long>(getpid());
  while (const dirent* e = readdir(d)) {
    const long pid = TempWriter(e->d_name);
    if (pid == 0 || pid == self) continue;
    if (kill(static_cast<pid_t>(pid), 0) != -1 || errno != ESRCH) continue;
    struct stat st;
    if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
      unlinkat(dirfd(d), e->d_name, 0);
  }
  closedir(d);
}

// Makes a rename in `dir` durable.
void SyncDirectory(const char* dir) {
  int fd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

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
  char path[kPath], temp[kPath + 32];
  if (!ox::DataPath(path, sizeof path, fileName, true)) return;
  // The folder the file goes into (the name may hold folders of its own).
  char dir[kPath];
  ox::CopyText(dir, sizeof dir, path);
  if (char* slash = strrchr(dir, '/')) *slash = '\0';
  RemoveStaleTemps(dir);
  // Write a temporary file beside the target and rename it over the old
  // one, so a crash never leaves a half-written settings file.
  snprintf(temp, sizeof temp, "%s.tmp%ld", path, static_cast<long>(getpid()));
  FILE* f = fopen(temp, "w");
  if (!f) return;
  bool ok = fprintf(f, "%d", value) > 0;
  ok = fflush(f) == 0 && ok;
  ok = fsync(fileno(f)) == 0 && ok;
  ok = fclose(f) == 0 && ok;
  if (!ok || rename(temp, path) != 0) {
    unlink(temp);
    return;
  }
  SyncDirectory(dir);
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
