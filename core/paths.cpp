#include "core/paths.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/ox_app.h"
#include "core/text_copy.h"
#include "platform/platform.h"

namespace ox {

namespace {

constexpr size_t kPath = PATH_MAX;

char g_settingsRoot[kPath];
char g_commandLine[4096];
char g_overrideDir[kPath];

bool Fits(size_t need, size_t size) { return need < size; }

// True when `dir` (with its trailing "/") holds a regular file kDataMark.
bool HoldsData(const char* dir) {
  char mark[kPath];
  const int n = snprintf(mark, sizeof mark, "%s%s", dir, kDataMark);
  if (n < 0 || !Fits(static_cast<size_t>(n), sizeof mark)) return false;
  struct stat st;
  return stat(mark, &st) == 0 && S_ISREG(st.st_mode);
}

// Copies `dir` into `out` with a trailing "/"; false when it does not fit.
bool CopyDirectory(char* out, size_t size, const char* dir) {
  size_t n = strlen(dir);
  const bool slash = n > 0 && dir[n - 1] == '/';
  if (!Fits(n + (slash ? 0 : 1), size)) return false;
  memcpy(out, dir, n);
  if (!slash) out[n++] = '/';
  out[n] = '\0';
  return true;
}

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

const char* CommandLine() { return g_commandLine; }

bool FindDataDirectory(const char* exePath, const char* fromEnvironment, char* out,
                       size_t size) {
  if (size == 0) return false;
  out[0] = '\0';
  if (fromEnvironment && fromEnvironment[0]) return CopyDirectory(out, size, fromEnvironment);
  const char* slash = exePath ? strrchr(exePath, '/') : nullptr;
  if (!slash) return false;
  const size_t dirLength = static_cast<size_t>(slash - exePath) + 1;  // with the "/"
  if (!Fits(dirLength, size)) return false;
  char dir[kPath];
  if (!Fits(dirLength, sizeof dir)) return false;
  memcpy(dir, exePath, dirLength);
  dir[dirLength] = '\0';
  if (!HoldsData(dir)) {
    // An installed program: PREFIX/bin/NAME (or PREFIX/games/NAME) reads
    // PREFIX/share/NAME/. The executable's path has its links resolved, so
    // the parent folder is the path without its last component.
    char share[kPath];
    dir[dirLength - 1] = '\0';
    const char* parentEnd = strrchr(dir, '/');
    dir[dirLength - 1] = '/';
    if (parentEnd) {
      const int n = snprintf(share, sizeof share, "%.*sshare/%s/",
                             static_cast<int>(parentEnd - dir + 1), dir, slash + 1);
      if (n > 0 && Fits(static_cast<size_t>(n), sizeof share) && HoldsData(share)) {
        return CopyDirectory(out, size, share);
      }
    }
  }
  memcpy(out, dir, dirLength + 1);
  return true;
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
    char path[kPath];
    if (!plat::ExecutablePath(path, sizeof path)) return false;
    if (!FindDataDirectory(path, getenv(kDataEnvironment), exe, sizeof exe)) return false;
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

void SetSettingsRootPath(const char* root) {
  CopyText(g_settingsRoot, sizeof g_settingsRoot, root ? root : "");
}

}  // namespace ox
