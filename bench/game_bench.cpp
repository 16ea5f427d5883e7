// Stage 1 played headless from its first frame to the boss's forced end:
// 30,000 frame passes at 60 a second with fire held, drawing included.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "frame/ox_system.h"
#include "game/game_definition.h"
#include "game/world.h"
#include "tests/invulnerable_game.h"

namespace {

// Enter on the title, F1 on the selection screen, then fire held through the
// 55 seconds of enemy waves and released when the boss comes, so that it
// lives to its forced end at scroll 10000 (500 seconds) and dies there.
std::string WriteScript() {
  const std::string path = "/tmp/oxbench-stage1.txt";
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return path;
  std::fputs("2 ENTER down\n4 ENTER up\n6 F1 down\n8 F1 up\n10 X down\n3300 X up\n", f);
  std::fclose(f);
  return path;
}

void BM_Stage1ToForcedEnd(benchmark::State& state) {
  const std::string script = WriteScript();
  ox::OverrideDataDirectory(SAMPLEGAME_DIR);
  const GameDefinition game = game::MakeGameDefinition();
  for (auto _ : state) {
    game::ClearWorld();
    std::vector<std::string> args = {"samplegame", "--headless", "--seed",  "1",
                                     "--frames",   "30030",      "--input", script};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    oxRun(int(argv.size()), argv.data(), game);
  }
  state.counters["scene_at_end"] = ox::App().scene;
  state.counters["scroll_at_end"] = game::W().scroll;
  state.counters["energy_at_end"] = game::W().energy;
  state.counters["score"] = game::W().score;
  ox::OverrideDataDirectory(nullptr);
}
BENCHMARK(BM_Stage1ToForcedEnd)->Unit(benchmark::kSecond)->Iterations(1);

// The autopilot's whole game with F1, title to title through the eight
// stages and the ending, its ship's energy topped up every frame.
void BM_AutopilotWholeGame(benchmark::State& state) {
  const std::string script = "/tmp/oxbench-autopilot.txt";
  const std::string cmd = std::string(AUTOPILOT_EXE) + " 70000 > " + script;
  if (std::system(cmd.c_str()) != 0) {
    state.SkipWithError("autopilot failed");
    return;
  }
  ox::OverrideDataDirectory(SAMPLEGAME_DIR);
  const GameDefinition game = oxtest::InvulnerableGame();
  for (auto _ : state) {
    game::ClearWorld();
    std::vector<std::string> args = {"samplegame", "--headless", "--seed",  "2",
                                     "--frames",   "70000",      "--input", script};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    oxRun(int(argv.size()), argv.data(), game);
  }
  state.counters["scenes_entered"] = game::W().visitCount;
  state.counters["high_score"] = game::W().highScore;
  ox::OverrideDataDirectory(nullptr);
}
BENCHMARK(BM_AutopilotWholeGame)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
