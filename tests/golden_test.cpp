// Golden runs: each of the eight stages played headless from a fixed seed
// and the autopilot's input (Enter, F1, both fire keys held, a weave), with
// the energy topped up so that the ship lives to fight the stage's boss. At
// fixed passes the run's state dump, a hash of the presented picture, a hash
// of the dumps of every pass so far and a hash of the sound output so far
// (the effects; the runs play without music) are compared with
// tests/golden/stageN.txt.
// Refactors and optimisations must leave these runs byte-identical; a changed
// number in the stage or boss tables shows up here.
//
// The practice runs play the same stages started with --stage N instead
// (tests/golden/practiceN.txt): a fresh game at stage N whose score never
// raises the high score, its mark on the screen, its boss shot down and the
// game gone on to the next scene (the ending after stage 8).
//
// SAMPLEGAME_GOLDEN_UPDATE=1 rewrites the expectation files instead of
// comparing (from a normal build, which runs the whole stages). An
// expectation changes only in a commit that says why it changed.
//
// Sanitizer builds run about five times slower: there each stage runs only
// its first kSanitizerPasses passes and the checkpoints within them are
// compared.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/ox_app.h"
#include "draw/draw_state.h"
#include "core/app_state.h"
#include "frame/ox_dump_writer.h"
#include "frame/ox_system.h"
#include "game/dump.h"
#include "game/game_definition.h"
#include "game/world.h"
#include "platform/midi_synth.h"
#include "platform/platform.h"
#include "tests/invulnerable_game.h"
#include "tests/test_support.h"

namespace {

constexpr uint32_t kSeed = 2;
constexpr int kSelectScene = 11;
constexpr int kFirstStageScene = 2;
constexpr uint32_t kSanitizerPasses = 1500;

// Passes each stage runs: the stage starts on pass 42, its boss is shot
// down (after about 800 passes of fight) and the game moves on to the next
// scene about 150 passes before the run ends.
struct StageRun {
  int stage;
  uint32_t passes;
};
constexpr StageRun kRuns[] = {{1, 5300}, {2, 5600}, {3, 5700}, {4, 6600},
                              {5, 7900}, {6, 5800}, {7, 7900}, {8, 6200}};

// Checkpoints: pass 500, every 1000th pass and the last.
std::vector<uint32_t> Checkpoints(uint32_t passes) {
  std::vector<uint32_t> out = {500};
  for (uint32_t p = 1000; p < passes; p += 1000) out.push_back(p);
  out.push_back(passes);
  return out;
}

uint64_t Fnv1a(const void* data, size_t size, uint64_t h = 14695981039346656037ull) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

std::string Hex(uint64_t v) {
  char text[19];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(v));
  return text;
}

// What the run showed at one checkpoint.
struct Capture {
  std::string dump;     // the state dump, as --dump writes it
  std::string summary;  // a few of its fields, readable at a glance
  uint32_t takenAt = 0;  // the pass after whose scene call it was taken
  uint32_t clockMs = 0;
  uint64_t trace = 0;
};

// ---- the wrapped game: stage N straight from the selection screen, and a
// capture after the scene call of each checkpoint pass.
struct RunState {
  SceneFunction inner[kSceneTableSize] = {};
  int stageScene = 0;
  bool practice = false;  // --stage starts the stage; the selection is left alone
  std::vector<uint32_t> checkpoints;
  size_t next = 0;
  std::map<uint32_t, Capture> captures;
  // The hash of the state dump after every scene call so far: a change at
  // any pass, even one that leaves no trace at the checkpoints, shows.
  uint64_t trace = 0;
};
RunState g_run;

std::string DumpText(uint32_t pass) {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* f = open_memstream(&buffer, &size);
  if (!f) return "";
  // The frame's fields as the dump at the end of a run writes them, then the
  // game's own.
  DumpWriter out(f);
  out.Field("frame", pass);
  out.Field("scene", ox::App().scene);
  out.Field("clock_ms", plat::Clock());
  out.Field("frame_seconds", static_cast<double>(ox::App().frameSeconds));
  game::DumpFields(out);
  out.Finish();
  std::fclose(f);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

// Takes the capture for checkpoint `pass` now. `takenAt` is the checkpoint
// itself, right after its scene call; when a closing transition held the
// scene over the checkpoint, the state it held is read before the next
// scene call (or at the end of the run), as of the pass before.
void CaptureCheckpoint(uint32_t pass, uint32_t takenAt) {
  const game::World& w = game::W();
  Capture c;
  c.dump = DumpText(takenAt);
  c.takenAt = takenAt;
  c.clockMs = plat::Clock();
  c.trace = g_run.trace;
  const int stage = g_run.stageScene - 1;
  std::ostringstream s;
  s << "scene " << ox::App().scene << ", score " << w.score << ", energy lost "
    << oxtest::Loss().byScene[g_run.stageScene] << ", boss energy "
    << double(w.bosses[stage - 1].energy) << ", scroll " << double(w.scroll);
  if (takenAt != pass) s << ", held until pass " << takenAt;
  c.summary = s.str();
  g_run.captures[pass] = c;
}

template <int kScene>
void Scene() {
  const uint32_t pass = plat::FramePasses() + 1;  // the pass in progress
  auto& cps = g_run.checkpoints;
  while (g_run.next < cps.size() && cps[g_run.next] < pass) {
    CaptureCheckpoint(cps[g_run.next], pass - 1);
    ++g_run.next;
  }
  g_run.inner[kScene]();
  // The selection screen starts stage 1; start the stage under test instead.
  if (!g_run.practice && kScene == kSelectScene && ox::App().scene == kFirstStageScene)
    ox::App().scene = g_run.stageScene;
  const std::string state = DumpText(pass);
  g_run.trace = Fnv1a(state.data(), state.size(), g_run.trace);
  if (g_run.next < cps.size() && cps[g_run.next] == pass) {
    CaptureCheckpoint(pass, pass);
    ++g_run.next;
  }
}

template <int... kScenes>
GameDefinition Wrap(GameDefinition game, std::integer_sequence<int, kScenes...>) {
  ((g_run.inner[kScenes] = game.scenes[kScenes],
    game.scenes[kScenes] = g_run.inner[kScenes] ? Scene<kScenes> : nullptr),
   ...);
  return game;
}

std::string ExeDir() {
  std::string exe = SAMPLEGAME_EXE;
  return exe.substr(0, exe.rfind('/') + 1);
}

// The sound output's sample bytes (the WAVE file's data chunk) and the
// bytes of one stereo frame at its rate.
struct Samples {
  std::string data;
  uint32_t rate = 0;
  uint32_t frameBytes = 0;
};

Samples ReadSamples(const std::string& path) {
  Samples out;
  const std::string file = oxtest::ReadFile(path);
  auto u32 = [&](size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(file[at + i]);
    return v;
  };
  if (file.size() < 12 || file.compare(0, 4, "RIFF") || file.compare(8, 4, "WAVE")) return out;
  for (size_t at = 12; at + 8 <= file.size();) {
    const uint32_t size = u32(at + 4);
    const size_t body = at + 8;
    if (!file.compare(at, 4, "fmt ") && body + 16 <= file.size()) {
      out.rate = u32(body + 4);
      out.frameBytes = uint8_t(file[body + 12]) | uint32_t(uint8_t(file[body + 13])) << 8;
    } else if (!file.compare(at, 4, "data")) {
      out.data = file.substr(body, size);
      break;
    }
    at = body + size + (size & 1);
  }
  return out;
}

// An expectation file: the checkpoint records in order, each "pass N" and
// the lines under it.
using Records = std::map<uint32_t, std::vector<std::string>>;

Records ParseRecords(const std::string& text) {
  Records records;
  std::istringstream in(text);
  std::string line;
  std::vector<std::string>* current = nullptr;
  while (std::getline(in, line)) {
    if (line.rfind("pass ", 0) == 0) {
      current = &records[uint32_t(std::stoul(line.substr(5)))];
    } else if (current && !line.empty() && line[0] != '#') {
      current->push_back(line);
    }
  }
  return records;
}

std::string GoldenPath(int stage, bool practice) {
  return std::string(GOLDEN_DIR) + (practice ? "/practice" : "/stage") + std::to_string(stage) +
         ".txt";
}

// The lines that differ, position by position.
std::string Differences(const std::vector<std::string>& expected,
                        const std::vector<std::string>& actual) {
  std::string out;
  for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
    const std::string* e = i < expected.size() ? &expected[i] : nullptr;
    const std::string* a = i < actual.size() ? &actual[i] : nullptr;
    if (e && a && *e == *a) continue;
    if (e) out += "  expected: " + *e + "\n";
    if (a) out += "  actual:   " + *a + "\n";
  }
  return out;
}

void PlayGoldenRun(const StageRun& run, bool practice) {
  const bool update = std::getenv("SAMPLEGAME_GOLDEN_UPDATE") &&
                      std::string(std::getenv("SAMPLEGAME_GOLDEN_UPDATE")) == "1";
  uint32_t passes = run.passes;
#if defined(__SANITIZE_ADDRESS__)
  if (update) {
    GTEST_SKIP() << "expectations are written from a normal build, which runs whole stages";
    return;
  }
  passes = kSanitizerPasses;
#endif
  const std::vector<uint32_t> all = Checkpoints(run.passes);
  std::vector<uint32_t> checkpoints;
  for (uint32_t p : all)
    if (p <= passes) checkpoints.push_back(p);

  const std::string& dir = oxtest::DataDir();
  const std::string input = dir + "input.txt", audio = dir + "audio.wav",
                    dump = dir + "dump.json";
  const std::string cmd =
      std::string(AUTOPILOT_EXE) + " " + std::to_string(passes) + " > " + input;
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;

  std::vector<std::string> args = {"samplegame", "--headless",   "--seed",    std::to_string(kSeed),
                                   "--frames",   std::to_string(passes),
                                   "--input",    input,          "--audio-out", audio,
                                   "--dump",     dump};
  for (uint32_t p : checkpoints) {
    args.push_back("--shot");
    args.push_back(std::to_string(p) + ":" + dir + "shot" + std::to_string(p) + ".bmp");
  }
  if (practice) {
    args.push_back("--stage");
    args.push_back(std::to_string(run.stage));
  }
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());

  g_run = RunState{};
  g_run.stageScene = run.stage + 1;
  g_run.practice = practice;
  g_run.trace = Fnv1a(nullptr, 0);
  g_run.checkpoints = checkpoints;
  oxtest::StartHeadless();
  ox::OverrideDataDirectory(ExeDir().c_str());
  game::ClearWorld();
  // The runs are played without music: its samples are the synthesiser
  // library's and the soundfont package's work (and full synthesis would
  // take three quarters of the run's time). The synthesiser outlives a run
  // in this process, so it is shut down to look for the soundfont again.
  oxtest::EnvOverride noMusic("SAMPLEGAME_SOUNDFONT", dir + "no-soundfont.sf2");
  plat::midi::Shutdown();
  const GameDefinition game = Wrap(oxtest::InvulnerableGame(),
                                   std::make_integer_sequence<int, kSceneTableSize>{});
  const int code = oxRun(int(argv.size()), argv.data(), game);
  ox::OverrideDataDirectory(nullptr);
  plat::midi::Shutdown();  // the next user finds the soundfont of its own settings
  ASSERT_EQ(code, 0);
  // A scene held to the end of the run: its state is the one it left.
  while (g_run.next < checkpoints.size()) {
    CaptureCheckpoint(checkpoints[g_run.next], passes);
    ++g_run.next;
  }
  // A capture at the last pass and the dump the run wrote at its end are
  // the same text.
  if (checkpoints.back() == passes) {
    EXPECT_EQ(g_run.captures[passes].dump, oxtest::ReadFile(dump));
  }

  if (practice && passes == run.passes) {
    // Straight into the stage, and on after its boss: the next stage, or
    // the ending after stage 8 (which the autopilot's Space then leaves).
    const game::World& w = game::W();
    const std::vector<int> visited(w.visited, w.visited + std::min(w.visitCount, 4));
    EXPECT_EQ(visited, (std::vector<int>{1, kSelectScene, run.stage + 1, run.stage + 2}));
    EXPECT_EQ(w.highScore, 5000);
  }

  const Samples samples = ReadSamples(audio);
  ASSERT_GT(samples.rate, 0u);
  ASSERT_GT(samples.frameBytes, 0u);

  // Each checkpoint's record. The sound output of the first P passes is the
  // output up to the clock at which pass P began (the headless device renders
  // up to the clock as each pass begins): floor(P * 1000 / 60) ms.
  Records actual;
  uint64_t audioHash = Fnv1a(nullptr, 0);
  size_t hashedBytes = 0;
  for (uint32_t p : checkpoints) {
    const Capture& c = g_run.captures[p];
    const uint64_t ms = uint64_t(p) * 1000 / 60;
    if (c.takenAt == p) {
      ASSERT_EQ(c.clockMs, ms) << "the virtual clock left its grid at pass " << p;
    }
    const size_t bytes = size_t(ms * samples.rate / 1000) * samples.frameBytes;
    ASSERT_LE(bytes, samples.data.size()) << "pass " << p;
    audioHash = Fnv1a(samples.data.data() + hashedBytes, bytes - hashedBytes, audioHash);
    hashedBytes = bytes;
    const std::string shot = oxtest::ReadFile(dir + "shot" + std::to_string(p) + ".bmp");
    ASSERT_FALSE(shot.empty()) << "no picture of pass " << p;

    std::vector<std::string>& lines = actual[p];
    lines.push_back("  " + c.summary);
    lines.push_back("  picture " + Hex(Fnv1a(shot.data(), shot.size())));
    lines.push_back("  state trace " + Hex(c.trace));
    lines.push_back("  audio " + Hex(audioHash) + " (" + std::to_string(bytes / samples.frameBytes) +
                    " frames)");
    std::istringstream dumpLines(c.dump);
    for (std::string line; std::getline(dumpLines, line);) lines.push_back("  | " + line);
  }

  const std::string path = GoldenPath(run.stage, practice);
  if (update) {
    std::ofstream out(path);
    out << "# Golden " << (practice ? "practice " : "") << "run of stage " << run.stage
        << (practice ? " (--stage " + std::to_string(run.stage) + ")" : std::string())
        << ": seed " << kSeed << ", autopilot input, " << run.passes
        << " passes, energy topped up every pass.\n"
        << "# Per checkpoint: a summary, the FNV-1a hash of the picture (the --shot BMP),\n"
        << "# the hash of the state dumps after every scene call so far, the hash of the\n"
        << "# sound output so far (WAVE data) and the state dump.\n"
        << "# Rewritten by SAMPLEGAME_GOLDEN_UPDATE=1; change it only in a commit that says why.\n";
    for (const auto& [p, lines] : actual) {
      out << "pass " << p << "\n";
      for (const std::string& line : lines) out << line << "\n";
    }
    ASSERT_TRUE(out.good()) << path;
    return;
  }

  const std::string text = oxtest::ReadFile(path);
  ASSERT_FALSE(text.empty()) << "no expectation " << path
                             << "; SAMPLEGAME_GOLDEN_UPDATE=1 writes it";
  const Records expected = ParseRecords(text);
  for (const auto& [p, lines] : actual) {
    auto it = expected.find(p);
    if (it == expected.end()) {
      ADD_FAILURE() << "stage " << run.stage << ", pass " << p << ": no expectation in " << path;
      continue;
    }
    const std::string diff = Differences(it->second, lines);
    EXPECT_TRUE(diff.empty()) << "stage " << run.stage << ", pass " << p << " differs from "
                              << path << ":\n"
                              << diff;
  }
  for (const auto& [p, lines] : expected) {
    if (p <= passes && !actual.count(p)) {
      ADD_FAILURE() << "stage " << run.stage << ", pass " << p << ": expected but not a checkpoint";
    }
  }
}

class GoldenRun : public ::testing::TestWithParam<StageRun> {};

TEST_P(GoldenRun, MatchesItsExpectation) { PlayGoldenRun(GetParam(), false); }

class GoldenPracticeRun : public ::testing::TestWithParam<StageRun> {};

TEST_P(GoldenPracticeRun, MatchesItsExpectation) { PlayGoldenRun(GetParam(), true); }

std::string StageName(const ::testing::TestParamInfo<StageRun>& info) {
  return "Stage" + std::to_string(info.param.stage);
}

INSTANTIATE_TEST_SUITE_P(EightStages, GoldenRun, ::testing::ValuesIn(kRuns), StageName);
INSTANTIATE_TEST_SUITE_P(EightStages, GoldenPracticeRun, ::testing::ValuesIn(kRuns), StageName);

}  // namespace
