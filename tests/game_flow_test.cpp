// Whole runs of the game through the frame's entry point on the headless
// backend, driven by input scripts, with the generated pictures and sounds.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "frame/ox_system.h"
#include "frame/window_proc.h"
#include "game/game_definition.h"
#include "game/world.h"
#include "tests/invulnerable_game.h"
#include "tests/test_support.h"

namespace {

std::string ExeDir() {
  std::string exe = SAMPLEGAME_EXE;
  return exe.substr(0, exe.rfind('/') + 1);
}

std::string Script(const char* name, const std::string& text) {
  const std::string path = oxtest::DataDir() + name + ".txt";
  oxtest::WriteFile(path, text);
  return path;
}

// Runs the game in this process; its world stays readable afterwards.
int Play(std::vector<std::string> args) {
  oxtest::StartHeadless();
  ox::OverrideDataDirectory(ExeDir().c_str());
  game::ClearWorld();
  args.insert(args.begin(), {"samplegame", "--headless"});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  const int code = oxRun(int(argv.size()), argv.data(), game::MakeGameDefinition());
  ox::OverrideDataDirectory(nullptr);
  return code;
}

const char* kStartF1 = "5 ENTER down\n7 ENTER up\n10 F1 down\n12 F1 up\n";

TEST(GameFlow, FreshProgramShowsTheTitleWithTheHighScore) {
  ASSERT_EQ(Play({"--frames", "30"}), 0);
  EXPECT_EQ(ox::App().scene, 1);
  EXPECT_EQ(game::W().highScore, 5000);
  EXPECT_EQ(game::W().score, 0);
  EXPECT_GT(game::W().attractCounter, 25);
}

TEST(GameFlow, TitleSelectionAndStageOneWithFireHeld) {
  const std::string dump = oxtest::DataDir() + "stage1.json";
  const std::string input =
      Script("stage1", std::string(kStartF1) + "20 X down\n20 Z down\n300 LEFT down\n400 LEFT up\n");
  ASSERT_EQ(Play({"--frames", "1500", "--seed", "3", "--input", input, "--dump", dump}), 0);
  const game::World& w = game::W();
  EXPECT_EQ(ox::App().scene, 2);
  EXPECT_GT(w.score, 0);  // the first waves were shot down
  EXPECT_EQ(w.highScore, w.score > 5000 ? w.score : 5000);
  EXPECT_EQ(w.timeCounter, 800);  // the first game on a young clock never counts
  EXPECT_NEAR(w.scroll, 20 * (1500 - 12) / 60.0, 20);
  EXPECT_GE(w.player.x, 130);
  EXPECT_LT(w.player.x, 290);  // moved left for 100 frames at 140 px/s

  const std::string text = oxtest::ReadFile(dump);
  for (const char* field :
       {"\"score\"", "\"high_score\"", "\"energy\"", "\"time_counter\"", "\"scroll\"",
        "\"player_x\"", "\"player_y\"", "\"player_alive\"", "\"game_over\"", "\"pause\"",
        "\"stage_start\"", "\"fast_bullets\"", "\"fastest_bullets\"", "\"spark\"",
        "\"boss_energy\"", "\"enemies_alive\"", "\"enemy_bullets_alive\"", "\"shots_active\"",
        "\"specials_active\""}) {
    EXPECT_NE(text.find(field), std::string::npos) << field;
  }
  EXPECT_NE(text.find("\"boss_energy\": [\n    500,\n    800,"), std::string::npos) << text;
}

TEST(GameFlow, KeysTappedWithinOnePassStillReachTheScenes) {
  const struct {
    const char* name;
    const char* script;
    int scene;
  } cases[] = {
      {"tap-enter", "5 ENTER down\n5 ENTER up\n", 11},
      {"tap-enter-f1", "5 ENTER down\n5 ENTER up\n10 F1 down\n10 F1 up\n", 2},
      {"no-key", "", 1},
  };
  for (const auto& c : cases) {
    const std::string input = Script(c.name, c.script);
    ASSERT_EQ(Play({"--frames", "30", "--input", input}), 0) << c.name;
    EXPECT_EQ(ox::App().scene, c.scene) << c.name;
    EXPECT_EQ(ox::LastKey(), 0) << c.name;  // cleared after the pass that saw it
  }
}

TEST(GameFlow, AClockPastWaitSlotOneCountsTheTimeFromTheFirstFrame) {
  const std::string input = Script("clock", kStartF1);
  ASSERT_EQ(Play({"--frames", "612", "--clock-start", "1000000000", "--input", input}), 0);
  // Stage 1 began on pass 12: 600 passes are 10 seconds, the first counted at once.
  EXPECT_NEAR(game::W().timeCounter, 790, 1);
}

TEST(GameFlow, EnergyOneGameEndsAtTheFirstHitAndTheTitleFollows) {
  // F3 gives energy 1; the ship sits under the stage's bullets until hit.
  const std::string input = Script("f3", "5 ENTER down\n7 ENTER up\n10 F3 down\n12 F3 up\n");
  ASSERT_EQ(Play({"--frames", "20000", "--seed", "5", "--input", input}), 0);
  EXPECT_EQ(game::W().gameOver, 1);
  EXPECT_LT(game::W().energy, 1);
}

}  // namespace

TEST(GameFlow, AutopilotPlaysTheWholeGameThroughTheEndingBackToTheTitle) {
#if defined(__SANITIZE_ADDRESS__)
  // 70,000 frame passes take minutes under the sanitizers; every stage's
  // frame runs under them in the stage tests.
  GTEST_SKIP();
#endif
  const std::string script = oxtest::DataDir() + "autopilot.txt";
  const std::string cmd = std::string(AUTOPILOT_EXE) + " 70000 > " + script;
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  oxtest::StartHeadless();
  ox::OverrideDataDirectory(ExeDir().c_str());
  game::ClearWorld();
  std::vector<std::string> args = {"samplegame", "--headless", "--seed", "2", "--frames", "70000",
                                   "--input", script};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  const GameDefinition game = oxtest::InvulnerableGame();
  ASSERT_EQ(oxRun(int(argv.size()), argv.data(), game), 0);
  ox::OverrideDataDirectory(nullptr);
  const game::World& w = game::W();
  std::string visited;
  for (int i = 0; i < w.visitCount; ++i) visited += std::to_string(w.visited[i]) + " ";
  EXPECT_EQ(visited, "1 11 2 3 4 5 6 7 8 9 10 1 ");
  // Every stage was fought: its bullets hit the ship, its boss was shot.
  for (int scene = 2; scene <= 9; ++scene) EXPECT_GT(oxtest::Loss().byScene[scene], 0) << scene;
  EXPECT_GT(w.highScore, 1000000);  // the score itself went back to 0 with Space
}
