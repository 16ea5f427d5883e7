// Background work started at the lowest priority, the caller's unchanged.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/background_start.h"

namespace {

int OwnNice() {
  errno = 0;
  return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
}

struct Seen {
  bool called = false;
  bool onCaller = false;
  int nice = -100;       // the niceness the work ran at
  int workerNice = -100; // that of a thread the work started
};
Seen g_seen;
pid_t g_caller = 0;

void Work() {
  g_seen.called = true;
  g_seen.onCaller = gettid() == g_caller;
  g_seen.nice = OwnNice();
  std::thread worker([] { g_seen.workerNice = OwnNice(); });
  worker.join();
}

TEST(BackgroundStart, WorkRunsBeforeItReturnsAndWhatItStartsRunsAtTheLowestPriority) {
  const int before = OwnNice();
  if (before >= plat::kBackgroundNice) GTEST_SKIP() << "the test runs at the lowest priority";
  g_caller = gettid();
  g_seen = Seen{};
  plat::StartInBackground(Work);
  EXPECT_TRUE(g_seen.called);
  EXPECT_FALSE(g_seen.onCaller);
  EXPECT_EQ(g_seen.nice, plat::kBackgroundNice);
  EXPECT_EQ(g_seen.workerNice, plat::kBackgroundNice);
  // The caller keeps its priority (it could not get it back).
  EXPECT_EQ(OwnNice(), before);
  plat::StartInBackground(nullptr);  // nothing to start: nothing happens
}

}  // namespace
