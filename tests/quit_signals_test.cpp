// SIGINT, SIGTERM and SIGHUP end a run as closing its window does, also while
// a message box holds the main thread.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/replay.h"
#include "tests/test_support.h"

namespace {

// Waits up to `seconds` for the child; its exit code, -1 for a death by a
// signal, -2 when it had to be killed.
int WaitChild(pid_t child, int seconds) {
  int status = 0;
  for (int i = 0; i < seconds * 20; ++i) {
    if (waitpid(child, &status, WNOHANG) == child)
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    usleep(50000);
  }
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
  return -2;
}

TEST(QuitSignals, EachSignalIsOneCloseMessageAndShutdownRestoresTheHandler) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(sig);
    plat::Shutdown();  // the handler as it was before the platform started
    struct sigaction before {};
    sigaction(sig, nullptr, &before);
    char error[256];
    plat::Options o;
    o.headless = true;
    ASSERT_TRUE(plat::Init(o, error, sizeof error)) << error;
    ASSERT_TRUE(plat::CreateMainWindow("t", 640, 480, false));
    plat::Message m;
    while (plat::PeekMessage(m)) {
    }
    raise(sig);
    raise(sig);  // two before a pump: still one close
    int closes = 0;
    while (plat::PeekMessage(m)) closes += m.message == plat::kMsgClose;
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(plat::PeekMessage(m));
    plat::Shutdown();
    struct sigaction after {};
    sigaction(sig, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
  }
  oxtest::StartHeadless();
}

// Hook of the child below: leaves a mark and answers 7.
std::string g_mark;
int MarkAndEnd() {
  FILE* f = fopen(g_mark.c_str(), "w");
  if (f) fclose(f);
  return 7;
}

TEST(QuitSignals, ASignalWhileABoxIsOpenEndsTheRunAtOnce) {
  const struct {
    int sig;
    bool beforeBox;  // the signal came just before the box opened
  } cases[] = {{SIGTERM, false}, {SIGINT, false}, {SIGHUP, false}, {SIGTERM, true}};
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(n);
    const std::string base = oxtest::DataDir() + "box" + std::to_string(n++);
    const std::string record = base + ".sgr";
    g_mark = base + ".mark";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(ready[0]);
      char error[256];
      plat::Options o;
      o.headless = true;
      if (!plat::Init(o, error, sizeof error)) _exit(90);
      if (!plat::replay::StartRecording(record.c_str(), 1, false, error, sizeof error)) _exit(91);
      plat::SetQuitHook(MarkAndEnd);
      // The box's own process, as SDL shows one: it must not outlive the run.
      const pid_t box = fork();
      if (box == 0) {
        for (;;) pause();
      }
      if (c.beforeBox) raise(c.sig);
      plat::detail::BeginBlockingBox();
      if (write(ready[1], &box, sizeof box) != sizeof box) _exit(92);
      // The box: the main thread waits for a player who never answers.
      for (int i = 0; i < 200; ++i) usleep(50000);
      _exit(93);
    }
    close(ready[1]);
    pid_t box = 0;
    const bool opened = read(ready[0], &box, sizeof box) == sizeof box;
    close(ready[0]);
    if (opened && !c.beforeBox) kill(child, c.sig);
    EXPECT_EQ(WaitChild(child, 10), 7);
    if (opened) {
      // Gone, or a zombie waiting for init to collect it.
      bool ended = false;
      for (int i = 0; i < 100 && !ended; ++i) {
        const std::string stat = oxtest::ReadFile("/proc/" + std::to_string(box) + "/stat");
        const size_t paren = stat.rfind(')');
        ended = stat.empty() || (paren != std::string::npos && stat.compare(paren, 3, ") Z") == 0);
        if (!ended) usleep(50000);
      }
      EXPECT_TRUE(ended) << "the box's process outlived the run";
      if (!ended) kill(box, SIGKILL);
    }
    EXPECT_EQ(access(g_mark.c_str(), F_OK), 0) << "the quit hook did not run";
    char error[256];
    EXPECT_TRUE(plat::replay::Load(record.c_str(), error, sizeof error)) << error;
    plat::replay::EndSession();
  }
}

// The game itself: a headless run that gets SIGHUP leaves its dump and a
// whole recording and exits with 0.
TEST(QuitSignals, HangupEndsAGameWithItsDumpAndRecording) {
  const std::string dump = oxtest::DataDir() + "hup.json", record = oxtest::DataDir() + "hup.sgr";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl(SAMPLEGAME_EXE, SAMPLEGAME_EXE, "--headless", "--seed", "1", "--frames", "100000000",
          "--dump", dump.c_str(), "--record", record.c_str(), static_cast<char*>(nullptr));
    _exit(95);
  }
  // The recording's temporary file appears with its header once the
  // platform (and its handlers) started, and grows by a record each frame
  // pass: the signal comes once a pass has been recorded, however slowly
  // the machine loads the game.
  const std::string temp = record + ".part" + std::to_string(static_cast<long>(child));
  auto size = [&]() -> off_t {
    struct stat st;
    return stat(temp.c_str(), &st) == 0 ? st.st_size : -1;
  };
  for (int i = 0; i < 600 && size() <= 0; ++i) usleep(50000);
  const off_t header = size();
  for (int i = 0; i < 600 && size() == header; ++i) usleep(50000);
  kill(child, SIGHUP);
  EXPECT_EQ(WaitChild(child, 30), 0);
  EXPECT_NE(oxtest::ReadFile(dump).find("\"frame\""), std::string::npos);
  char error[256];
  ASSERT_TRUE(plat::replay::Load(record.c_str(), error, sizeof error)) << error;
  EXPECT_GT(plat::replay::RecordedPasses(), 0u);
  plat::replay::EndSession();
}

}  // namespace
