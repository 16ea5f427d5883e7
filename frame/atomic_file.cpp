#include "frame/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "core/text_copy.h"

namespace ox {

namespace {

// The writer's pid of a temporary file "NAME.tmpPID"; 0 for any other name.
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

bool WriteFileAtomically(const char* path, const void* data, size_t size) {
  char dir[PATH_MAX], temp[PATH_MAX + 32];
  // The folder the file goes into.
  CopyText(dir, sizeof dir, path);
  if (char* slash = strrchr(dir, '/')) {
    if (slash == dir) slash[1] = '\0';
    else *slash = '\0';
  } else {
    strcpy(dir, ".");
  }
  RemoveStaleTemps(dir);
  const int n = snprintf(temp, sizeof temp, "%s.tmp%ld", path, static_cast<long>(getpid()));
  if (n < 0 || size_t(n) >= sizeof temp) {
    errno = ENAMETOOLONG;
    return false;
  }
  FILE* f = fopen(temp, "w");
  if (!f) return false;
  bool ok = size == 0 || fwrite(data, 1, size, f) == size;
  ok = fflush(f) == 0 && ok;
  ok = fsync(fileno(f)) == 0 && ok;
  ok = fclose(f) == 0 && ok;
  if (!ok || rename(temp, path) != 0) {
    const int saved = errno;
    unlink(temp);
    errno = saved ? saved : EIO;
    return false;
  }
  SyncDirectory(dir);
  return true;
}

}  // namespace ox
