// The start-up trace: the process start read from /proc, and the milestones
// a run writes with OX_START_TRACE=1 (and only then).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/start_trace.h"
#include "tests/test_support.h"

namespace {

// The fields of a /proc/PID/stat line after the name, up to starttime
// (field 22), with `start` in its place, then the rest.
std::string StatAfterName(const std::string& start) {
  return " S 1 2 3 0 -1 4194304 100 0 0 0 7 3 0 0 20 0 1 0 " + start +
         " 3133440 388 18446744073709551615 0 0\n";
}

TEST(StartTrace, ParsesTheStartTicksOfAStatLine) {
  struct Case {
    const char* what;
    std::string text;
    bool ok;
    uint64_t ticks;
  };
  const std::vector<Case> cases = {
      {"plain name", "29622 (samplegame)" + StatAfterName("2045578"), true, 2045578},
      {"name with spaces and parentheses", "7 (a) b (c)" + StatAfterName("42"), true, 42},
      {"name that looks like fields", "7 (1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21)" +
                                          StatAfterName("9"),
       true, 9},
      {"start is the last field", "7 (x) S 1 2 3 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 123", true, 123},
      {"largest value", "7 (x)" + StatAfterName("18446744073709551615"), true,
       18446744073709551615ull},
      {"value beyond 64 bits", "7 (x)" + StatAfterName("18446744073709551616"), false, 0},
      {"start is no number", "7 (x)" + StatAfterName("12a"), false, 0},
      {"start is negative", "7 (x)" + StatAfterName("-5"), false, 0},
      {"line cut before the start", "7 (x) S 1 2 3 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0", false, 0},
      {"line cut in the middle", "7 (x) S 1 2", false, 0},
      {"no name", "7 x S 1 2 3 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 123", false, 0},
      {"nothing after the name", "7 (x)", false, 0},
      {"empty", "", false, 0},
  };
  for (const Case& c : cases) {
    uint64_t ticks = 777;
    EXPECT_EQ(plat::start_trace::ParseStartTicks(c.text.c_str(), ticks), c.ok) << c.what;
    EXPECT_EQ(ticks, c.ok ? c.ticks : 777u) << c.what << ": a failed parse leaves the value";
  }
  uint64_t ticks = 0;
  EXPECT_FALSE(plat::start_trace::ParseStartTicks(nullptr, ticks));
}

TEST(StartTrace, TheProcessStartLiesBehindUsAndTheTimeSinceItGrows) {
  const double first = plat::start_trace::SinceStart();
  // This test program started less than a day ago, and not in the future.
  ASSERT_GE(first, 0.0);
  EXPECT_LT(first, 24.0 * 3600 * 1000);
  double later = first;
  for (int i = 0; i < 1000000 && later == first; ++i) later = plat::start_trace::SinceStart();
  EXPECT_GT(later, first);
}

struct GameRun {
  int status;
  std::string err;
  std::string dump;
};

GameRun RunGame(const std::string& env, const std::string& name) {
  const std::string dir = oxtest::DataDir();
  const std::string dump = dir + name + ".json", err = dir + name + ".err";
  const std::string cmd = env + " " + SAMPLEGAME_EXE + " --headless --seed 5 --frames 3 --dump " +
                          dump + " 2>" + err;
  const int status = system(cmd.c_str());
  return GameRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, oxtest::ReadFile(err),
             oxtest::ReadFile(dump)};
}

TEST(StartTrace, ARunWritesItsMilestonesInOrderOnlyWhenAskedAndPlaysTheSame) {
  const GameRun plain = RunGame("env -u OX_START_TRACE", "trace_off");
  const GameRun off = RunGame("OX_START_TRACE=0", "trace_zero");
  const GameRun traced = RunGame("OX_START_TRACE=1", "trace_on");
  ASSERT_EQ(plain.status, 0) << plain.err;
  ASSERT_EQ(off.status, 0) << off.err;
  ASSERT_EQ(traced.status, 0) << traced.err;
  EXPECT_EQ(plain.err.find("start trace"), std::string::npos) << plain.err;
  EXPECT_EQ(off.err.find("start trace"), std::string::npos) << off.err;
  // The trace changes nothing of the run.
  ASSERT_FALSE(plain.dump.empty());
  EXPECT_EQ(traced.dump, plain.dump);

  // "samplegame: start trace:   12.3 ms  milestone", times never falling.
  std::vector<std::string> milestones;
  std::istringstream lines(traced.err);
  std::string line;
  double previous = 0;
  const std::string prefix = "samplegame: start trace: ";
  while (std::getline(lines, line)) {
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    std::istringstream fields(line.substr(prefix.size()));
    double ms = -1;
    std::string unit, milestone;
    fields >> ms >> unit;
    std::getline(fields >> std::ws, milestone);
    EXPECT_EQ(unit, "ms") << line;
    EXPECT_GE(ms, previous) << line;
    previous = ms;
    milestones.push_back(milestone);
  }
  // (A headless run waits for the soundfont at the first piece, in the
  // first pass.)
  const std::vector<std::string> expected = {"main",       "font list ready",     "assets loaded",
                                             "first pass", "soundfont load over", "second pass"};
  EXPECT_EQ(milestones, expected) << traced.err;
}

}  // namespace
