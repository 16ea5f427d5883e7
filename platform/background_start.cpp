#include "platform/background_start.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

namespace plat {

namespace {

struct Start {
  void (*call)();
};

void* AtLowPriority(void* data) {
  // The niceness is the thread's own on Linux, and the threads it creates
  // inherit it; a refusal leaves the caller's.
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kBackgroundNice);
  static_cast<Start*>(data)->call();
  return nullptr;
}

}  // namespace

void StartInBackground(void (*start)()) {
  if (!start) return;
  Start call{start};
  pthread_t thread;
  if (pthread_create(&thread, nullptr, AtLowPriority, &call) != 0) {
    start();
    return;
  }
  pthread_join(thread, nullptr);
}

}  // namespace plat
