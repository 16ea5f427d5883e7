// The platform layer's own pieces: input scripts, the instance lock, the
// headless clock and message queue.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/input_script.h"
#include "platform/displays.h"
#include "platform/keypad.h"
#include "platform/pacing.h"
#include "platform/quiet_stderr.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

TEST(InputScript, ParsesKeysAnswersAndComments) {
  const char text[] =
      "# a comment\n"
      "\n"
      "3 ENTER down   # trailing comment\n"
      "1 f7 down\n"
      "3 enter up\n"
      "2 x down\n"
      "2 27 down\n"
      "4 answer YES\n"
      "5 SPACE up\r\n";
  plat::InputScript s;
  char err[128] = "";
  ASSERT_TRUE(s.Parse(text, sizeof text - 1, err, sizeof err)) << err;
  EXPECT_EQ(s.size(), 7u);
  std::vector<plat::ScriptEvent> got;
  s.TakeKeyEvents(2, [&](const plat::ScriptEvent& e) { got.push_back(e); });
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].value, 118);  // F7
  EXPECT_EQ(got[1].value, 'X');
  EXPECT_EQ(got[2].value, 27);
  got.clear();
  s.TakeKeyEvents(3, [&](const plat::ScriptEvent& e) { got.push_back(e); });
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].kind, plat::ScriptEvent::KeyDown);  // file order within a frame
  EXPECT_EQ(got[1].kind, plat::ScriptEvent::KeyUp);
  EXPECT_EQ(s.TakeAnswer(3), -1);
  EXPECT_EQ(s.TakeAnswer(9), 1);
  EXPECT_EQ(s.TakeAnswer(9), -1);
}

TEST(InputScript, RejectsBadLinesWithTheirNumber) {
  const char* bad[] = {"0 ENTER down", "x ENTER down", "1 ENTER sideways", "1 NOKEY down",
                       "1 F13 down",   "1 256 down",   "1 ENTER",          "1 ENTER down extra",
                       "-1 A up",      "1 answer maybe", "99999999999 A down"};
  for (const char* line : bad) {
    std::string text = std::string("1 A down\n") + line + "\n";
    plat::InputScript s;
    char err[128] = "";
    EXPECT_FALSE(s.Parse(text.data(), text.size(), err, sizeof err)) << line;
    EXPECT_EQ(strncmp(err, "line 2:", 7), 0) << err;
    EXPECT_EQ(s.size(), 0u);
  }
  std::string huge(1000, 'A');
  plat::InputScript s;
  char err[128];
  EXPECT_FALSE(s.Parse(huge.data(), huge.size(), err, sizeof err));
}

TEST(InputScript, FilesThatCannotBeReadAreRefusedWithTheReason) {
  const std::string good = "/tmp/oxscript-" + std::to_string(getpid()) + ".txt";
  FILE* f = fopen(good.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fputs("1 ENTER down\n", f);
  fclose(f);
  const struct {
    std::string path;
    bool loads;
    const char* reason;
  } cases[] = {
      {good, true, ""},
      {"/nonexistent/script.txt", false, "No such file"},
      {"/tmp", false, "Is a directory"},          // opens, but every read fails
      {"/proc/self/mem", false, "Input/output"},  // opens, the first read fails
  };
  for (const auto& c : cases) {
    plat::InputScript s;
    char err[256] = "";
    EXPECT_EQ(s.Load(c.path.c_str(), err, sizeof err), c.loads) << c.path;
    EXPECT_NE(strstr(err, c.reason), nullptr) << c.path << ": " << err;
    if (!c.loads) {
      EXPECT_NE(strstr(err, c.path.c_str()), nullptr) << err;
      EXPECT_EQ(strchr(err, '\n'), nullptr) << err;
    }
    EXPECT_EQ(s.size(), c.loads ? 1u : 0u) << c.path;
  }
  remove(good.c_str());
}

TEST(VirtualKeys, NamesAndCodes) {
  EXPECT_EQ(plat::VirtualKeyFromName("ENTER"), 13);
  EXPECT_EQ(plat::VirtualKeyFromName("escape"), 27);
  EXPECT_EQ(plat::VirtualKeyFromName("LEFT"), 37);
  EXPECT_EQ(plat::VirtualKeyFromName("DOWN"), 40);
  EXPECT_EQ(plat::VirtualKeyFromName("SHIFT"), 16);
  EXPECT_EQ(plat::VirtualKeyFromName("CONTROL"), 17);
  EXPECT_EQ(plat::VirtualKeyFromName("F1"), 112);
  EXPECT_EQ(plat::VirtualKeyFromName("F12"), 123);
  EXPECT_EQ(plat::VirtualKeyFromName("z"), 'Z');
  EXPECT_EQ(plat::VirtualKeyFromName("7"), '7');
  EXPECT_EQ(plat::VirtualKeyFromName("83"), 83);
  EXPECT_EQ(plat::VirtualKeyFromName(""), 0);
  EXPECT_EQ(plat::VirtualKeyFromName("F0"), 0);
  EXPECT_EQ(plat::VirtualKeyFromName("!"), 0);
}

TEST(Keypad, NumLockOffSendsTheNavigationKeysNumLockOnTheDigits) {
  const struct {
    int key, off;
  } cases[] = {
      {plat::kVkNumpad0 + 8, plat::kVkUp},    {plat::kVkNumpad0 + 4, plat::kVkLeft},
      {plat::kVkNumpad0 + 6, plat::kVkRight}, {plat::kVkNumpad0 + 2, plat::kVkDown},
      {plat::kVkNumpad0 + 7, plat::kVkHome},  {plat::kVkNumpad0 + 9, plat::kVkPrior},
      {plat::kVkNumpad0 + 1, plat::kVkEnd},   {plat::kVkNumpad0 + 3, plat::kVkNext},
      {plat::kVkNumpad0 + 0, plat::kVkInsert}, {110, plat::kVkDelete},
      {plat::kVkNumpad0 + 5, 12},
      // Keys outside the pad's digits keep their code either way.
      {plat::kVkLeft, plat::kVkLeft},         {106, 106},
      {'X', 'X'},                             {plat::kVkReturn, plat::kVkReturn},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(plat::KeypadKey(c.key, false), c.off) << c.key;
    EXPECT_EQ(plat::KeypadKey(c.key, true), c.key) << c.key;
  }
}

// The sound library's own lines are held back while audio opens; the
// game's one line gets through, and standard error is back afterwards.
TEST(QuietStderr, HoldsBackOthersLinesButNotTheGamesOwn) {
  const std::string path = oxtest::DataDir() + "stderr.txt";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (!freopen(path.c_str(), "w", stderr)) _exit(2);
    setvbuf(stderr, nullptr, _IOFBF, 256);  // buffered: the guard must flush
    fputs("before\n", stderr);
    {
      plat::QuietStderr quiet;
      fputs("ALSA lib pcm.c: Unknown PCM default\n", stderr);
      if (write(2, "raw\n", 4) != 4) _exit(3);
      quiet.Say("said\n");
    }
    fputs("after\n", stderr);
    fflush(stderr);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(oxtest::ReadFile(path), "before\nsaid\nafter\n");
}

TEST(FramePacing, VsyncOnlyAtSixtyHertzAndItsMultiples) {
  const struct {
    int hz;
    bool helps;
  } cases[] = {{0, false},   {30, false},  {50, false},  {59, true},   {60, true},  {75, false},
               {100, false}, {119, true},  {120, true},  {144, false}, {165, false}, {240, true},
               {-60, false}};
  for (const auto& c : cases) EXPECT_EQ(plat::VsyncHelps(c.hz), c.helps) << c.hz;
}

TEST(FramePacing, PassesKeepTheSixtiethOfASecondGridUnlessOneOverruns) {
  const int64_t p = plat::kPassPeriodNs;
  const struct {
    int64_t previous, now, next;
  } cases[] = {
      {0, 5000, 5000},                       // the first pass: no wait
      {1000000, 1000000 + 4000000, 1000000 + p},  // early: wait for the grid
      {1000000, 1000000 + p - 1, 1000000 + p},
      {1000000, 1000000 + p, 1000000 + p},   // exactly on time
      {1000000, 1000000 + p + 7, 1000000 + p + 7},  // late: the grid starts again
      {1000000, 1000000 + 3 * p, 1000000 + 3 * p},
  };
  for (const auto& c : cases) EXPECT_EQ(plat::NextPassStart(c.previous, c.now), c.next) << c.now;
  // Sixty passes that each take 4 ms start a second apart, whatever the
  // display: the clock alone gives the rhythm.
  int64_t end = 0, t = 1000000000;
  for (int i = 0; i < 60; ++i) {
    t += 4000000;  // the pass's work
    const int64_t start = plat::NextPassStart(end, t);
    end = start;
    t = start;
  }
  EXPECT_NEAR(double(t - 1000000000), 1e9 - p + 4000000, 100.0);
}

TEST(Displays, AWindowOpensOnItsLastDisplayElseUnderThePointer) {
  // A 1920 x 1080 display, a 1280 x 1024 one to its right and a third one
  // above the first at negative coordinates.
  const plat::DisplayRect d[] = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}, {0, -900, 1600, 900}};
  const struct {
    int last, x, y, at, chosen;
  } cases[] = {
      {-1, 10, 10, 0, 0},        {-1, 1919, 1079, 0, 0},  {-1, 1920, 0, 1, 1},
      {-1, 3199, 1023, 1, 1},    {-1, 3000, 1050, -1, 0},  // the gap under the second
      {-1, 100, -1, 2, 2},       {-1, -1, 0, -1, 0},
      {1, 10, 10, 0, 1},         {2, 3000, 10, 1, 2},      // the last display wins
      {3, 3000, 10, 1, 1},       // a display that is gone: the pointer's
  };
  for (const auto& c : cases) {
    EXPECT_EQ(plat::DisplayAt(d, 3, c.x, c.y), c.at) << c.x << "," << c.y;
    EXPECT_EQ(plat::ChooseDisplay(c.last, d, 3, c.x, c.y), c.chosen) << c.last;
  }
  EXPECT_EQ(plat::ChooseDisplay(-1, nullptr, 0, 5, 5), 0);
}

TEST(HeadlessClock, AdvancesSixtyPassesASecondFromItsStart) {
  oxtest::StartHeadless(1000000000u);
  EXPECT_EQ(plat::Clock(), 1000000000u);
  for (int i = 0; i < 60; ++i) {
    plat::BeginFramePass();
    plat::EndFramePass();
  }
  EXPECT_EQ(plat::Clock(), 1000001000u);
  EXPECT_EQ(plat::FramePasses(), 60u);
  plat::WaitUntil(1000001500u);
  EXPECT_EQ(plat::Clock(), 1000001501u);
  // A deadline already passed returns at once.
  plat::WaitUntil(5);
  EXPECT_EQ(plat::Clock(), 1000001501u);
}

TEST(MessageQueue, KeepsOrderAndDropsWhenFull) {
  oxtest::StartHeadless();
  for (int i = 0; i < 2000; ++i) plat::PostMessage(plat::kMsgKeyDown, i, 0);
  plat::Message m;
  int n = 0;
  while (plat::PeekMessage(m)) {
    EXPECT_EQ(m.wparam, n);
    ++n;
  }
  EXPECT_GT(n, 100);
  EXPECT_LT(n, 2000);
}

TEST(InstanceLock, SecondHolderIsRefusedAndRaisesTheFirst) {
  oxtest::StartHeadless();
  std::string runtime = oxtest::DataDir() + "run";
  mkdir(runtime.c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  ASSERT_EQ(plat::AcquireInstanceLock("Test Lock:OxMutex"), plat::LockResult::Acquired);
  EXPECT_TRUE(plat::InstanceLockHeld());
  // Another process asks for the same lock: refused, and it asks us to raise.
  pid_t child = fork();
  if (child == 0) {
    plat::detail::ForgetInstanceLock();
    _exit(plat::AcquireInstanceLock("Test Lock:OxMutex") == plat::LockResult::AlreadyRunning ? 0
                                                                                          : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(plat::detail::PollRaiseRequest());
  EXPECT_FALSE(plat::detail::PollRaiseRequest());
  plat::ReleaseInstanceLock();
  EXPECT_FALSE(plat::InstanceLockHeld());
  // Released: the next copy gets it.
  EXPECT_EQ(plat::AcquireInstanceLock("Test Lock:OxMutex"), plat::LockResult::Acquired);
  plat::ReleaseInstanceLock();
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
