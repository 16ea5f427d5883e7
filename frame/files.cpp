// Data-file paths, settings files and system queries.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "frame/app_state.h"
#include "frame/ox_system.h"
#include "platform/platform.h"

namespace ox {

namespace {

constexpr size_t kPath = PATH_MAX;

char g_settingsRoot[kPath];
char g_commandLine[4096];
char g_overrideDir[kPath];

bool Fits(size_t need, size_t size) { return need < size; }

}  // namespace

void OverrideDataDirectory(const char* dir) {
  if (!dir) {
    g_overrideDir[0] = '\0';
    return;
  }
  CopyText(g_overrideDir, sizeof g_overrideDir, dir);
}

void SetCommandLine(int argc, char** argv) {
  size_t n = 0;
  g_commandLine[0] = '\0';
  for (int i = 0; i < argc && argv[i]; ++i) {
    size_t len = strlen(argv[i]);
    if (n + len + 2 > sizeof g_commandLine) break;
    if (i > 0) g_commandLine[n++] = ' ';
    memcpy(g_commandLine + n, argv[i], len);
    n += len;
    g_commandLine[n] = '\0';
  }
}

bool DataDirectory(char* out, size_t size, bool settings) {
  if (size == 0) return false;
  out[0] = '\0';
  char exe[kPath];
  if (g_overrideDir[0]) {
    CopyText(exe, sizeof exe, g_overrideDir);
    size_t n = strlen(exe);
    if (n == 0 || exe[n - 1] != '/') {
      if (n + 1 >= sizeof exe) return false;
      exe[n] = '/';
      exe[n + 1] = '\0';
    }
  } else {
    if (!plat::ExecutablePath(exe, sizeof exe)) return false;
    char* slash = strrchr(exe, '/');
    if (!slash) return false;
    slash[1] = '\0';  // keep the trailing "/"
  }
  if (settings && g_settingsRoot[0]) {
    // settings root + "/" + the name of the executable's own folder + "/"
    size_t len = strlen(exe);
    exe[len - 1] = '\0';
    const char* last = strrchr(exe, '/');
    const char* name = last ? last + 1 : exe;
    // The whole path or none: a cut one would name another folder.
    const int n = snprintf(out, size, "%s/%s/", g_settingsRoot, name);
    if (n < 0 || !Fits(static_cast<size_t>(n), size)) {
      out[0] = '\0';
      return false;
    }
    return true;
  }
  if (!Fits(strlen(exe), size)) return false;
  strcpy(out, exe);
  return true;
}

bool DataPath(char* out, size_t size, const char* name, bool settings) {
  char dir[kPath];
  if (!name || !DataDirectory(dir, sizeof dir, settings)) return false;
  const int n = snprintf(out, size, "%s%s", dir, name);
  if (n < 0 || !Fits(static_cast<size_t>(n), size)) {
    if (size > 0) out[0] = '\0';
    return false;
  }
  return true;
}

const char* SettingsRoot() { return g_settingsRoot; }

}  // namespace ox

void oxSystem::SetSettingsRoot(const char* redirectFile) {
  ox::g_settingsRoot[0] = '\0';
  char dir[ox::kPath], path[ox::kPath];
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
    ox::CopyText(ox::g_settingsRoot, sizeof ox::g_settingsRoot, line);
  }
  fclose(f);
}

void oxSystem::WriteNumber(const char* fileName, int value) {
  char path[ox::kPath], temp[ox::kPath + 32];
  if (!ox::DataPath(path, sizeof path, fileName, true)) return;
  // Write a temporary file beside the target and rename it over the old
  // one, so a crash never leaves a half-written settings file.
  snprintf(temp, sizeof temp, "%s.tmp%ld", path, static_cast<long>(getpid()));
  FILE* f = fopen(temp, "w");
  if (!f) return;
  bool ok = fprintf(f, "%d", value) > 0;
  ok = fflush(f) == 0 && ok;
  ok = fsync(fileno(f)) == 0 && ok;
  ok = fclose(f) == 0 && ok;
  if (!ok || rename(temp, path) != 0) unlink(temp);
}

int oxSystem::ReadNumber(const char* fileName) {
  char path[ox::kPath];
  if (!ox::DataPath(path, sizeof path, fileName, true)) return 0;
  FILE* f = fopen(path, "r");
  if (!f) return 0;
  int value = 0;
  if (fscanf(f, "%d", &value) != 1) value = 0;
  fclose(f);
  return value;
}

const char* oxSystem::GetCommandLine() { return ox::g_commandLine; }

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
  char dir[ox::kPath];
  if (!ox::DataDirectory(dir, sizeof dir)) return plat::DiskFree("/");
  return plat::DiskFree(dir);
}

uint32_t oxSystem::FreeMemory() { return plat::FreeMemory(); }

int oxSystem::GetOSVersion() { return -1; }

int oxSystem::IsWindowed() { return ox::App().fullScreen == 0 ? 1 : 0; }
