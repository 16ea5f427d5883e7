// The single-instance lock: an advisory lock on a file in the runtime
// folder, and a local socket beside it on which the running copy listens
// for a second copy's request to raise its window.
//
// Neither is followed through a link nor taken from another user: a file
// or socket that is not our own is refused, reported on standard error, and
// the program runs without single-instance protection rather than not at all.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "platform/platform.h"

namespace plat {

namespace {

struct LockState {
  int lockFd = -1;
  int listenFd = -1;
  char socketPath[108] = {};
};

LockState& L() {
  static LockState state;
  return state;
}

// File-name-safe form of the lock name: letters and digits kept, the rest "_".
void SafeName(const char* name, char* out, size_t size) {
  size_t n = 0;
  for (const char* p = name; *p && n + 1 < size; ++p) {
    char c = *p;
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    out[n++] = keep ? c : '_';
  }
  out[n] = '\0';
}

bool MakeAddress(const char* path, sockaddr_un& addr) {
  memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (strlen(path) >= sizeof addr.sun_path) return false;
  strcpy(addr.sun_path, path);
  return true;
}

constexpr char kUnprotected[] = "running without single-instance protection";

void Report(const char* what, const char* path, const char* why,
            const char* consequence = kUnprotected) {
  fprintf(stderr, "samplegame: %s %s %s; %s\n", what, path, why, consequence);
}

// Is the socket at `path` one of ours (not a link, not another user's)?
// Missing counts as ours: there is nothing to refuse.
bool OurSocketOrNone(const char* path) {
  struct stat st;
  if (lstat(path, &st) != 0) return errno == ENOENT;
  return S_ISSOCK(st.st_mode) && st.st_uid == getuid();
}

void AskRunningCopyToRaise(const char* socketPath) {
  sockaddr_un addr;
  if (!MakeAddress(socketPath, addr)) return;
  // Only our own copy is asked.
  if (!OurSocketOrNone(socketPath)) return;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    const char msg[] = "raise\n";
    ssize_t ignored = write(fd, msg, sizeof msg - 1);
    (void)ignored;
  }
  close(fd);
}

}  // namespace

LockResult AcquireInstanceLock(const char* name) {
  LockState& s = L();
  if (s.lockFd >= 0) return LockResult::Acquired;
  char dir[200], safe[64], lockPath[300];
  if (!RuntimeDirectory(dir, sizeof dir)) {
    fprintf(stderr,
            "samplegame: no private runtime folder: XDG_RUNTIME_DIR is not set (or not "
            "writable) and samplegame-%u in $TMPDIR or /tmp is a link, not a folder, or "
            "another user's; %s\n",
            static_cast<unsigned>(getuid()), kUnprotected);
    return LockResult::Failed;
  }
  SafeName(name, safe, sizeof safe);
  snprintf(lockPath, sizeof lockPath, "%s/%s.lock", dir, safe);
  // A socket path must fit the address structure; without one the lock
  // still works, only the raise request is lost.
  if (snprintf(s.socketPath, sizeof s.socketPath, "%.60s/%s.sock", dir, safe) >=
          int(sizeof s.socketPath) ||
      strlen(dir) > 60)
    s.socketPath[0] = '\0';

  int fd = open(lockPath, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0) {
    const int err = errno;
    s.socketPath[0] = '\0';
    char why[160];
    if (err == ELOOP) snprintf(why, sizeof why, "is a link, which is not followed");
    else snprintf(why, sizeof why, "cannot be opened (%s)", strerror(err));
    Report("the lock file", lockPath, why);
    return LockResult::Failed;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != getuid()) {
    close(fd);
    s.socketPath[0] = '\0';
    Report("the lock file", lockPath, "is not a file of this user");
    return LockResult::Failed;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    close(fd);
    if (err == EWOULDBLOCK) {
      AskRunningCopyToRaise(s.socketPath);
      s.socketPath[0] = '\0';
      return LockResult::AlreadyRunning;
    }
    s.socketPath[0] = '\0';
    return LockResult::Failed;
  }
  s.lockFd = fd;

  // Listen for raise requests. The lock is what makes this copy the only
  // one, so a socket left behind by a crashed copy is simply replaced.
  sockaddr_un addr;
  if (s.socketPath[0] && !OurSocketOrNone(s.socketPath)) {
    // Someone else's socket or file: a raise request cannot be trusted to
    // reach us, but the lock holds.
    Report("the raise-request socket", s.socketPath, "is not a socket of this user",
           "a second copy cannot bring this one to the front");
    s.socketPath[0] = '\0';
  }
  if (s.socketPath[0] && MakeAddress(s.socketPath, addr)) {
    unlink(s.socketPath);
    int lfd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (lfd >= 0 && bind(lfd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        listen(lfd, 4) == 0) {
      s.listenFd = lfd;
    } else if (lfd >= 0) {
      close(lfd);
    }
  }
  return LockResult::Acquired;
}

void ReleaseInstanceLock() {
  LockState& s = L();
  if (s.listenFd >= 0) {
    close(s.listenFd);
    s.listenFd = -1;
    unlink(s.socketPath);
  }
  if (s.lockFd >= 0) {
    close(s.lockFd);  // closing the descriptor drops the lock
    s.lockFd = -1;
  }
  s.socketPath[0] = '\0';
}

bool InstanceLockHeld() { return L().lockFd >= 0; }

namespace detail {

bool PollRaiseRequest() {
  LockState& s = L();
  if (s.listenFd < 0) return false;
  bool raise = false;
  for (;;) {
    int fd = accept4(s.listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) break;
    // Any connection is a request; its text is informational only.
    char buf[16];
    ssize_t ignored = read(fd, buf, sizeof buf);
    (void)ignored;
    close(fd);
    raise = true;
  }
  return raise;
}

void ForgetInstanceLock() {
  LockState& s = L();
  if (s.listenFd >= 0) close(s.listenFd);
  if (s.lockFd >= 0) close(s.lockFd);
  s.listenFd = s.lockFd = -1;
  s.socketPath[0] = '\0';
}

}  // namespace detail

}  // namespace plat
