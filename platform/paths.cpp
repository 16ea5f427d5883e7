// Paths of the executable, the user's configuration and runtime folders.
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace plat {

namespace {

bool CopyOut(char* out, size_t size, const char* a, const char* b = "") {
  size_t la = strlen(a), lb = strlen(b);
  if (la + lb + 1 > size) return false;
  memcpy(out, a, la);
  memcpy(out + la, b, lb + 1);
  // No trailing "/" (unless the path is the root itself).
  size_t n = la + lb;
  while (n > 1 && out[n - 1] == '/') out[--n] = '\0';
  return true;
}

}  // namespace

bool ExecutablePath(char* out, size_t size) {
  if (size == 0) return false;
  ssize_t n = readlink("/proc/self/exe", out, size);
  if (n <= 0 || static_cast<size_t>(n) >= size) {
    out[0] = '\0';
    return false;
  }
  out[n] = '\0';
  return true;
}

bool ConfigDirectory(char* out, size_t size) {
  const char* xdg = getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return CopyOut(out, size, xdg);
  const char* home = getenv("HOME");
  if (home && home[0]) return CopyOut(out, size, home, "/.config");
  return CopyOut(out, size, "/tmp");
}

bool RuntimeDirectory(char* out, size_t size) {
  const char* xdg = getenv("XDG_RUNTIME_DIR");
  if (xdg && xdg[0] == '/' && access(xdg, W_OK) == 0) return CopyOut(out, size, xdg);
  return CopyOut(out, size, "/tmp");
}

}  // namespace plat
