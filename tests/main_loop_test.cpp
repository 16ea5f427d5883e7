// The main loop driven in-process through oxRun on the headless backend.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "frame/main_loop.h"
#include "frame/ox_system.h"
#include "frame/window_proc.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

struct Call {
  int scene;
  int changed;
  int blink;
  uint32_t clock;
  float seconds;
  int click;
};
std::vector<Call> g_calls;
int g_switchAt = 0;  // call index at which scene 1 assigns scene 2

void Record(int scene) {
  ox::AppState& a = ox::App();
  g_calls.push_back({scene, a.sceneChanged, a.blink, plat::Clock(), a.frameSeconds, a.clickLeft});
}

void SceneOne() {
  Record(1);
  if (g_switchAt && int(g_calls.size()) == g_switchAt) {
    ox::App().scene = 2;
  }
}
void SceneTwo() { Record(2); }

void Load() {
  oxDraw::Screen(640, 480, 2);
  ox::App().scene = 1;
}

GameDefinition Game() {
  GameDefinition g;
  g.load = Load;
  g.scenes[1] = SceneOne;
  g.scenes[2] = SceneTwo;
  return g;
}

int RunLoop(std::vector<std::string> args, const GameDefinition& game = Game()) {
  g_calls.clear();
  args.insert(args.begin(), "samplegame");
  args.insert(args.begin() + 1, "--headless");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  return oxRun(int(argv.size()), argv.data(), game);
}

std::string WriteScript(const char* name, const char* text) {
  std::string path = oxtest::DataDir() + name + ".txt";
  oxtest::WriteFile(path, text);
  return path;
}

TEST(MainLoop, SceneChangedFlagAndFrameSeconds) {
  g_switchAt = 3;
  ASSERT_EQ(RunLoop({"--frames", "6"}), 0);
  ASSERT_EQ(g_calls.size(), 6u);
  // The first scene starts with the flag; a change made during call 3 is
  // seen by the first call of the new scene, and only by it.
  EXPECT_EQ(g_calls[0].changed, 1);
  EXPECT_EQ(g_calls[1].changed, 0);
  EXPECT_EQ(g_calls[2].changed, 0);
  EXPECT_EQ(g_calls[3].scene, 2);
  EXPECT_EQ(g_calls[3].changed, 1);
  EXPECT_EQ(g_calls[4].changed, 0);
  // The virtual clock gives 16 or 17 ms a pass, 1/60 s on average.
  for (const Call& c : g_calls) {
    EXPECT_TRUE(c.seconds == 0.016f || c.seconds == 0.017f) << c.seconds;
  }
  EXPECT_EQ(g_calls[5].clock, 100u);  // pass 6 starts at 6000/60 ms
  g_switchAt = 0;
}

TEST(MainLoop, BlinkIsOffFor200AndOnFor1000Milliseconds) {
  ASSERT_EQ(RunLoop({"--frames", "200"}), 0);
  // The first pass toggles to 0.
  EXPECT_EQ(g_calls[0].blink, 1);  // the scene runs before the toggle
  std::vector<std::pair<int, uint32_t>> changes;  // (value, clock at change)
  for (size_t i = 1; i < g_calls.size(); ++i)
    if (g_calls[i].blink != g_calls[i - 1].blink) changes.push_back({g_calls[i].blink, g_calls[i].clock});
  ASSERT_GE(changes.size(), 3u);
  EXPECT_EQ(changes[0].first, 0);
  for (size_t i = 1; i < changes.size(); ++i) {
    uint32_t span = changes[i].second - changes[i - 1].second;
    if (changes[i - 1].first == 0) EXPECT_NEAR(span, 200, 17) << i;
    else EXPECT_NEAR(span, 1000, 17) << i;
  }
}

TEST(MainLoop, EscapeRunsTheQuitSequenceOnceAndEndsTheLoop) {
  std::string script = WriteScript("escape", "5 ESCAPE down\n6 ESCAPE up\n");
  ASSERT_EQ(RunLoop({"--input", script, "--frames", "100"}), 0);
  // Frames 1..4 ran; Escape before pass 5 released everything and closed.
  EXPECT_EQ(g_calls.size(), 4u);
  EXPECT_EQ(ox::Input().released, 1);
  EXPECT_EQ(ox::Input().closeState, 2);
  EXPECT_FALSE(plat::headless::WindowExists());
  EXPECT_EQ(oxd::Scr().opened, 0);
}

TEST(MainLoop, ClickFlagsAreSeenByExactlyOneSceneCall) {
  static int pass = 0;
  GameDefinition g = Game();
  g.scenes[1] = [] {
    Record(1);
    if (++pass == 2) {
      plat::PostMessage(plat::kMsgLButtonDown, 0, plat::PackPoint(10, 20));
      plat::PostMessage(plat::kMsgLButtonUp, 0, plat::PackPoint(10, 20));
    }
  };
  pass = 0;
  ASSERT_EQ(RunLoop({"--frames", "5"}, g), 0);
  ASSERT_EQ(g_calls.size(), 5u);
  EXPECT_EQ(g_calls[1].click, 0);
  EXPECT_EQ(g_calls[2].click, 1);
  EXPECT_EQ(g_calls[3].click, 0);
}

TEST(MainLoop, InactiveApplicationRunsNoPassesAndComesBackWithoutAJump) {
  static int pass = 0;
  GameDefinition g = Game();
  g.scenes[1] = [] {
    Record(1);
    if (++pass == 3) {
      // Switch away; a long time passes; switch back.
      ox::WindowProc(plat::Message{plat::kMsgActivateApp, 0, 0});
      EXPECT_EQ(ox::App().active, 0);
      plat::headless::AdvanceClock(60000);
      plat::PostMessage(plat::kMsgActivateApp, 1, 0);
    }
  };
  pass = 0;
  ASSERT_EQ(RunLoop({"--frames", "5"}, g), 0);
  ASSERT_EQ(g_calls.size(), 5u);
  // The pass after re-activation sees at most one frame's time, not a minute.
  EXPECT_LT(g_calls[3].seconds, 0.02f);
}

TEST(MainLoop, ScenesOutsideTheTableCallNothingButPassesRun) {
  GameDefinition g = Game();
  g.load = [] {
    oxDraw::Screen(640, 480, 2);
    ox::App().scene = 42;
  };
  std::string dump = oxtest::DataDir() + "scene42.json";
  ASSERT_EQ(RunLoop({"--frames", "10", "--dump", dump}, g), 0);
  EXPECT_TRUE(g_calls.empty());
  std::string text = oxtest::ReadFile(dump);
  EXPECT_NE(text.find("\"frame\": 10"), std::string::npos) << text;
  EXPECT_NE(text.find("\"scene\": 42"), std::string::npos) << text;
  EXPECT_NE(text.find("\"clock_ms\": 166"), std::string::npos) << text;
}

TEST(MainLoop, BadOptionsAreRefusedWithExitCode2) {
  EXPECT_EQ(RunLoop({"--frames", "-3"}), 2);
  EXPECT_EQ(RunLoop({"--scale", "0"}), 2);
  EXPECT_EQ(RunLoop({"--shot", "nofile"}), 2);
  EXPECT_EQ(RunLoop({"--bogus"}), 2);
  EXPECT_EQ(RunLoop({"--seed", "99999999999"}), 2);
  std::string bad = WriteScript("badscript", "1 NOSUCHKEY down\n");
  EXPECT_EQ(RunLoop({"--input", bad}), 1);
  EXPECT_EQ(RunLoop({"--input", "/nonexistent/script"}), 1);
}

}  // namespace
