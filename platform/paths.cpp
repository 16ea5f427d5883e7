// Paths of the executable, the user's configuration and runtime folders.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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
  // HOME unset: the home directory of the account, as the login would set it.
  struct passwd entry, *found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found &&
      found->pw_dir && found->pw_dir[0] == '/')
    return CopyOut(out, size, found->pw_dir, "/.config");
  // No home at all. A shared folder such as /tmp is no stand-in: anyone
  // could plant a redirect file there.
  if (size > 0) out[0] = '\0';
  return false;
}

bool RuntimeDirectory(char* out, size_t size) {
  const char* xdg = getenv("XDG_RUNTIME_DIR");
  if (xdg && xdg[0] == '/' && access(xdg, W_OK) == 0) return CopyOut(out, size, xdg);
  // A shared temporary folder: a folder of this user's own in it, so that
  // nobody else can hold our lock or put a link in its place.
  const char* tmp = getenv("TMPDIR");
  if (!tmp || tmp[0] != '/') tmp = "/tmp";
  char suffix[40];
  snprintf(suffix, sizeof suffix, "/samplegame-%u", static_cast<unsigned>(getuid()));
  if (!CopyOut(out, size, tmp)) return false;
  const size_t n = strlen(out);
  if (n + strlen(suffix) + 1 > size) return false;
  memcpy(out + (n > 1 ? n : 0), suffix, strlen(suffix) + 1);
  if (mkdir(out, 0700) != 0 && errno != EEXIST) return false;
  // Not followed if it is a link; it must be our own folder, private.
  const int fd = open(out, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  const bool ok = fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
                  ((st.st_mode & 077) == 0 || fchmod(fd, 0700) == 0);
  close(fd);
  return ok;
}

bool PicturesDirectory(char* out, size_t size) {
  if (size == 0) return false;
  out[0] = '\0';
  const char* home = getenv("HOME");
  if (!home || home[0] != '/') return false;
  char config[4096], file[4200];
  if (ConfigDirectory(config, sizeof config) &&
      snprintf(file, sizeof file, "%s/user-dirs.dirs", config) < int(sizeof file)) {
    // Lines such as XDG_PICTURES_DIR="$HOME/Pictures": a path below
    // $HOME or an absolute one; the home folder itself means "not set".
    if (FILE* f = fopen(file, "r")) {
      char line[1024];
      bool found = false;
      while (!found && fgets(line, sizeof line, f)) {
        const char* p = line;
        while (*p == ' ' || *p == '\t') ++p;
        if (strncmp(p, "XDG_PICTURES_DIR=\"", 18) != 0) continue;
        p += 18;
        const char* end = strchr(p, '"');
        if (!end) continue;
        char value[1024];
        snprintf(value, sizeof value, "%.*s", int(end - p), p);
        char path[4096];
        if (strncmp(value, "$HOME", 5) == 0 && (value[5] == '/' || value[5] == '\0')) {
          if (!CopyOut(path, sizeof path, home, value + 5)) continue;
        } else if (value[0] == '/') {
          if (!CopyOut(path, sizeof path, value)) continue;
        } else {
          continue;
        }
        char homeTrimmed[4096];
        if (!CopyOut(homeTrimmed, sizeof homeTrimmed, home)) continue;
        if (strcmp(path, homeTrimmed) == 0) continue;
        found = CopyOut(out, size, path);
      }
      fclose(f);
      if (found) return true;
    }
  }
  return CopyOut(out, size, home, "/Pictures");
}

}  // namespace plat
