// SIGINT, SIGTERM and SIGHUP (Ctrl+C, kill, the terminal closed) end the run
// as closing the window does: the signal is noted, and the next pump of
// either backend delivers the close message, so the dump, the end of the
// recording and the lock's files are written and removed as on any close.
//
// A message box of the window system blocks the main thread until the
// player answers; no pump runs meanwhile. A quit signal then wakes a
// watcher thread that ends the run at once: the game's quit hook (the dump),
// the recording and the lock are finished from there while the main thread
// is held in the box, and the process exits, taking the box with it.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/backend.h"
#include "platform/replay.h"

namespace plat {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile sig_atomic_t g_pending = 0;   // a quit signal came and is not yet delivered
volatile sig_atomic_t g_boxOpen = 0;   // a blocking message box is open
int g_wake[2] = {-1, -1};              // the handler wakes the watcher through this pipe
std::atomic<int (*)()> g_hook{nullptr};
struct sigaction g_previous[3];
bool g_installed = false;

std::mutex& BoxMutex() {
  static std::mutex m;
  return m;
}

void Handler(int) {
  const int saved = errno;
  g_pending = 1;
  if (g_boxOpen && g_wake[1] >= 0) {
    const char c = 1;
    if (write(g_wake[1], &c, 1) < 0) {
    }
  }
  errno = saved;
}

// SDL shows a box from a child process of its own, which would stay on the
// screen after this process ends: every child of this process goes with it
// (the box is the only one the program starts).
void EndChildren() {
  DIR* d = opendir("/proc");
  if (!d) return;
  const long self = static_cast<long>(getpid());
  while (const dirent* e = readdir(d)) {
    char* end = nullptr;
    const long pid = strtol(e->d_name, &end, 10);
    if (pid <= 0 || *end != '\0' || pid == self) continue;
    char path[64], line[512];
    snprintf(path, sizeof path, "/proc/%ld/stat", pid);
    FILE* f = fopen(path, "r");
    if (!f) continue;
    const bool read = fgets(line, sizeof line, f) != nullptr;
    fclose(f);
    // "pid (name) state ppid ...": the name may hold anything but the last ')'.
    const char* close = read ? strrchr(line, ')') : nullptr;
    char state = 0;
    long parent = 0;
    if (close && sscanf(close + 1, " %c %ld", &state, &parent) == 2 && parent == self)
      kill(static_cast<pid_t>(pid), SIGKILL);
  }
  closedir(d);
}

void Watch() {
  for (;;) {
    char c;
    const ssize_t n = read(g_wake[0], &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    std::lock_guard<std::mutex> lock(BoxMutex());
    if (!g_boxOpen || !g_pending) continue;
    // The main thread stays in the box (its return waits for this lock).
    int (*hook)() = g_hook.load();
    const int code = hook ? hook() : 0;
    replay::EndSession();
    ReleaseInstanceLock();
    EndChildren();
    _exit(code);
  }
}

}  // namespace

void SetQuitHook(int (*hook)()) { g_hook.store(hook); }

namespace detail {

void InstallQuitSignals() {
  if (g_installed) return;
  g_pending = 0;
  struct sigaction sa {};
  sa.sa_handler = Handler;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &sa, &g_previous[i]);
  g_installed = true;
}

void RestoreQuitSignals() {
  if (!g_installed) return;
  for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &g_previous[i], nullptr);
  g_installed = false;
  g_pending = 0;
}

bool TakeQuitSignal() {
  if (!g_pending) return false;
  g_pending = 0;
  return true;
}

void BeginBlockingBox() {
  {
    std::lock_guard<std::mutex> lock(BoxMutex());
    if (g_wake[0] < 0) {
      // The watcher is made with the first box and lives as long as the
      // process.
      if (pipe2(g_wake, O_CLOEXEC) != 0) {
        g_wake[0] = g_wake[1] = -1;
        return;
      }
      std::thread(Watch).detach();
    }
    g_boxOpen = 1;
  }
  // A signal that came just before the box ends the run as well.
  if (g_pending) {
    const char c = 1;
    if (write(g_wake[1], &c, 1) < 0) {
    }
  }
}

void EndBlockingBox() {
  std::lock_guard<std::mutex> lock(BoxMutex());
  g_boxOpen = 0;
}

}  // namespace detail

}  // namespace plat
