// Practice runs (--stage N) and the game-speed assist (--assist PERCENT):
// where a practice game starts, what it inherits, the high score, the slowed
// world against the library's clock and the music, the options' bad values,
// and recordings that keep both choices.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "frame/ox_settings.h"
#include "frame/ox_system.h"
#include "game/game_definition.h"
#include "game/options.h"
#include "game/practice.h"
#include "game/world.h"
#include "platform/midi_synth.h"
#include "platform/replay_file.h"
#include "tests/test_support.h"

namespace {

constexpr int kSelectScene = 11;

std::string ExeDir() {
  std::string exe = SAMPLEGAME_EXE;
  return exe.substr(0, exe.rfind('/') + 1);
}

std::string Script(const std::string& name, const std::string& text) {
  const std::string path = oxtest::DataDir() + name + ".txt";
  oxtest::WriteFile(path, text);
  return path;
}

// The settings file the runs read (none when empty).
std::string g_config;

// Runs `game` in this process; its world stays readable afterwards.
int Play(std::vector<std::string> args, const GameDefinition& game = game::MakeGameDefinition()) {
  oxtest::StartHeadless();
  ox::OverrideDataDirectory(ExeDir().c_str());
  game::ClearWorld();
  args.insert(args.begin(), {"samplegame", "--headless"});
  if (!g_config.empty()) args.insert(args.end(), {"--config", g_config});
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  const int code = oxRun(int(argv.size()), argv.data(), game);
  ox::OverrideDataDirectory(nullptr);
  return code;
}

// The player's speed setting for the life of the object.
// The player's speed setting as a run reads it: from a settings file
// (headless runs read one only when --config names it), and in this
// process's settings for the calls made between runs.

void SetSpeedSetting(int percent) {
  oxSettings::Current().assistSpeed = percent;
  g_config = oxtest::DataDir() + "speed-" + std::to_string(percent) + ".ini";
  oxtest::WriteFile(g_config, "[assist]\nspeed = " + std::to_string(percent) + "\n");
}

struct SpeedSetting {
  explicit SpeedSetting(int percent) : old_(oxSettings::Current().assistSpeed) {
    SetSpeedSetting(percent);
  }
  ~SpeedSetting() {
    oxSettings::Current().assistSpeed = old_;
    g_config.clear();
  }
  int old_;
};

// Runs without music unless a test asks for it: the synthesiser is the
// slowest part of a run and most tests do not listen.
struct NoMusic {
  NoMusic() : env_("SAMPLEGAME_SOUNDFONT", oxtest::DataDir() + "no-soundfont.sf2") {
    plat::midi::Shutdown();
  }
  ~NoMusic() { plat::midi::Shutdown(); }
  oxtest::EnvOverride env_;
};

std::string StartWith(const char* key) {
  return std::string("5 ENTER down\n7 ENTER up\n10 ") + key + " down\n12 " + key + " up\n";
}

// A field of a --dump file as its text ("" when missing).
std::string DumpField(const std::string& dump, const std::string& name) {
  const std::string key = "\"" + name + "\": ";
  const size_t at = dump.find(key);
  if (at == std::string::npos) return "";
  const size_t end = dump.find_first_of(",\n", at);
  return dump.substr(at + key.size(), end - at - key.size());
}

// ---- the selection screen's pass that starts a game, seen from outside:
// before it, the world holds what a game that reached a stage would bring
// (a score, a spent energy, a moved ship); after it, what the game starts
// with.
struct Start {
  int scene = 0;
  int score = -1, highScore = -1, energy = -1, fast = -1, fastest = -1;
  float x = 0, y = 0, scroll = -1;
  int timeCounter = -1;
  int stageFirstPassScene = 0;  // the scene of the first pass after it
  bool stageSceneChanged = false;
};
Start g_start;
SceneFunction g_realScenes[kSceneTableSize];

void SelectWithCarriedState() {
  game::World& w = game::W();
  w.score = 4321;
  w.highScore = 9999;
  w.energy = 5;
  w.player.x = 400;
  w.player.y = 300;
  w.scroll = 77;
  w.timeCounter = 12;
  g_realScenes[kSelectScene]();
  if (ox::App().scene == kSelectScene) return;
  g_start.scene = ox::App().scene;
  g_start.score = w.score;
  g_start.highScore = w.highScore;
  g_start.energy = w.energy;
  g_start.fast = w.fastBullets;
  g_start.fastest = w.fastestBullets;
  g_start.x = w.player.x;
  g_start.y = w.player.y;
  g_start.scroll = w.scroll;
  g_start.timeCounter = w.timeCounter;
}

template <int kScene>
void StageWatched() {
  if (g_start.scene != 0 && g_start.stageFirstPassScene == 0) {
    g_start.stageFirstPassScene = kScene;
    g_start.stageSceneChanged = ox::SceneChanged() == 1;
  }
  g_realScenes[kScene]();
}

template <int... kStages>
GameDefinition Watched(std::integer_sequence<int, kStages...>) {
  GameDefinition game = game::MakeGameDefinition();
  for (int s = 0; s < kSceneTableSize; ++s) g_realScenes[s] = game.scenes[s];
  game.scenes[kSelectScene] = SelectWithCarriedState;
  ((game.scenes[kStages + 2] = StageWatched<kStages + 2>), ...);
  return game;
}

TEST(Practice, EachStageStartsOnTheSelectedPassAsAFreshGame) {
  NoMusic quiet;
  const struct {
    int stage;
    const char* key;
    int energy, fast, fastest;
  } cases[] = {
      {1, "F1", 999, 0, 0}, {2, "F2", 333, 0, 0}, {3, "F3", 1, 0, 0}, {4, "F4", 555, 1, 0},
      {5, "F5", 777, 0, 1}, {6, "F6", 1, 1, 0},   {7, "F7", 1, 0, 1}, {8, "F1", 999, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("--stage " + std::to_string(c.stage) + " with " + c.key);
    g_start = Start{};
    const std::string input = Script(std::string("start-") + c.key, StartWith(c.key));
    ASSERT_EQ(Play({"--frames", "20", "--input", input, "--stage", std::to_string(c.stage)},
                   Watched(std::make_integer_sequence<int, 8>{})),
              0);
    // The pass that took the key chose the stage's scene ...
    EXPECT_EQ(g_start.scene, c.stage + 1);
    // ... after both resets: nothing carried over but the high score.
    EXPECT_EQ(g_start.score, 0);
    EXPECT_EQ(g_start.highScore, 9999);
    EXPECT_EQ(g_start.energy, c.energy);
    EXPECT_EQ(g_start.fast, c.fast);
    EXPECT_EQ(g_start.fastest, c.fastest);
    EXPECT_EQ(g_start.x, 290);
    EXPECT_EQ(g_start.y, 210);
    EXPECT_EQ(g_start.scroll, 0);
    EXPECT_EQ(g_start.timeCounter, 800);
    // ... and the next pass ran that stage as a new scene.
    EXPECT_EQ(g_start.stageFirstPassScene, c.stage + 1);
    EXPECT_TRUE(g_start.stageSceneChanged);
    const game::World& w = game::W();
    const std::vector<int> visited(w.visited, w.visited + w.visitCount);
    EXPECT_EQ(visited, (std::vector<int>{1, kSelectScene, c.stage + 1}));
    EXPECT_EQ(game::GamePracticeStage(), c.stage);
  }
}

// The choice as the options overlay sets it: 0 to 8, others refused; 0
// turns practice off again.
TEST(Practice, TheStageChoiceTakesZeroToEight) {
  game::ClearWorld();
  EXPECT_TRUE(game::SetPracticeStage(5));
  EXPECT_FALSE(game::SetPracticeStage(9));
  EXPECT_FALSE(game::SetPracticeStage(-1));
  EXPECT_EQ(game::PracticeStage(), 5);
  EXPECT_EQ(game::BeginGame(), 6);
  EXPECT_TRUE(game::SetPracticeStage(0));
  EXPECT_EQ(game::BeginGame(), 2);
  EXPECT_EQ(game::GamePracticeStage(), 0);
}

// A practice or slowed game keeps its score from the high score; a whole
// game at full speed raises it, and the mark tells them apart.
TEST(Practice, OnlyAWholeGameAtFullSpeedRaisesTheHighScore) {
  NoMusic quiet;
  const struct {
    std::vector<std::string> options;
    bool raises;
    const char* mark;
  } cases[] = {
      {{}, true, ""},
      {{"--stage", "1"}, false, "PRACTICE 1"},
      {{"--assist", "90"}, false, "90%"},
      {{"--stage", "2", "--assist", "70"}, false, "PRACTICE 2 - 70%"},
      {{"--assist", "100"}, true, ""},
  };
  const std::string input =
      Script("fire", StartWith("F1") + "20 X down\n20 Z down\n300 LEFT down\n400 LEFT up\n");
  for (const auto& c : cases) {
    std::string name;
    for (const std::string& o : c.options) name += o + " ";
    SCOPED_TRACE(name);
    std::vector<std::string> args = {"--frames", "1500", "--seed", "3", "--input", input};
    args.insert(args.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(Play(args), 0);
    const game::World& w = game::W();
    ASSERT_GT(w.score, 5000);  // enough shot down to pass the starting high score
    EXPECT_EQ(w.highScore, c.raises ? w.score : 5000);
    char mark[32];
    game::GameMarkText(mark, sizeof mark);
    EXPECT_STREQ(mark, c.mark);
  }
}

// The mark is drawn left of the playfield's bottom-left corner, where no
// stage draws; a whole game at full speed leaves that corner black.
TEST(Practice, TheMarkShowsBesideThePlayfield) {
  NoMusic quiet;
  const std::string input = Script("mark", StartWith("F1"));
  const auto lit = [](const std::string& bmp) {
    // 24-bit bottom-up: the bottom 16 rows, columns 0..129.
    int count = 0;
    const size_t offset = size_t(uint8_t(bmp[10])) | size_t(uint8_t(bmp[11])) << 8;
    const size_t stride = 640 * 3;
    for (size_t row = 0; row < 16; ++row)
      for (size_t x = 0; x < 130 * 3; ++x) count += bmp[offset + row * stride + x] != 0;
    return count;
  };
  const struct {
    std::vector<std::string> options;
    bool marked;
  } cases[] = {{{}, false}, {{"--stage", "7", "--assist", "70"}, true}, {{"--assist", "60"}, true}};
  for (const auto& c : cases) {
    const std::string shot = oxtest::DataDir() + "mark.bmp";
    std::vector<std::string> args = {"--frames", "60", "--input", input, "--shot",
                                     "50:" + shot};
    args.insert(args.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(Play(args), 0);
    const std::string bmp = oxtest::ReadFile(shot);
    ASSERT_EQ(bmp.size(), 54u + 640 * 480 * 3);
    EXPECT_EQ(lit(bmp) > 0, c.marked) << c.options.size();
  }
}

// At 50% the world moves half as far in the same passes, while the frame's
// clock and frame seconds, the time counter's clock and the music go on at
// their pace; the time counter stands while the game is slowed.
TEST(Assist, HalfSpeedHalvesTheScrollAndStopsTheTimeCounter) {
  NoMusic quiet;
  const std::string input = Script("half", StartWith("F1"));
  struct Result {
    std::string dump;
    float scroll;
    int timeCounter;
  };
  const auto run = [&](const char* speed) {
    const std::string dump = oxtest::DataDir() + "half.json";
    EXPECT_EQ(Play({"--frames", "612", "--clock-start", "1000000000", "--input", input,
                    "--assist", speed, "--dump", dump}),
              0);
    return Result{oxtest::ReadFile(dump), game::W().scroll, game::W().timeCounter};
  };
  const Result full = run("100"), half = run("50");
  EXPECT_GT(full.scroll, 150);
  EXPECT_FLOAT_EQ(half.scroll, full.scroll / 2);
  EXPECT_NEAR(full.timeCounter, 790, 1);  // the clock is past wait slot 1's first deadline
  EXPECT_EQ(half.timeCounter, 800);
  for (const char* field : {"frame", "clock_ms", "frame_seconds", "scene"})
    EXPECT_EQ(DumpField(half.dump, field), DumpField(full.dump, field)) << field;
  EXPECT_EQ(DumpField(half.dump, "game_speed"), "50");
  EXPECT_EQ(DumpField(full.dump, "game_speed"), "");
}

TEST(Assist, TheSettingCountsFromTheNextGameAndTheOptionOverridesIt) {
  NoMusic quiet;
  const std::string input = Script("setting", StartWith("F1"));
  {
    SpeedSetting slow(60);
    ASSERT_EQ(Play({"--frames", "30", "--input", input}), 0);
    EXPECT_EQ(game::GameSpeed(), 60);
    ASSERT_EQ(Play({"--frames", "30", "--input", input, "--assist", "80"}), 0);
    EXPECT_EQ(game::GameSpeed(), 80);
    // A changed setting waits for the next game.
    oxSettings::Current().assistSpeed = 90;
    EXPECT_EQ(game::GameSpeed(), 80);
    EXPECT_EQ(game::NextGameSpeed(), 80);
  }
  {
    SpeedSetting outOfRange(20);  // a setting out of range is held to the nearest bound
    game::ClearWorld();
    EXPECT_EQ(game::NextGameSpeed(), 50);
  }
}

// The music is timed by the library's clock: at half speed the stage's
// music sounds exactly as at full speed (the ship does not fire, so no
// effect plays in these passes).
TEST(Assist, HalfSpeedLeavesTheMusicAlone) {
  const std::string input = Script("music", StartWith("F1"));
  const auto run = [&](const char* speed) {
    // Each run finds and loads the soundfont afresh, as a new program would.
    plat::midi::Shutdown();
    const std::string wav = oxtest::DataDir() + "music" + speed + ".wav";
    EXPECT_EQ(Play({"--frames", "240", "--seed", "4", "--input", input, "--assist", speed,
                    "--audio-out", wav}),
              0);
    return oxtest::ReadFile(wav);
  };
  const std::string full = run("100"), half = run("50");
  plat::midi::Shutdown();
  ASSERT_GT(full.size(), 44u);
  // Only with a soundfont is there music to compare.
  bool sounding = false;
  for (size_t i = 44; i < full.size() && !sounding; ++i) sounding = full[i] != 0;
  if (!sounding) GTEST_SKIP() << "no General MIDI soundfont installed";
  EXPECT_TRUE(full == half);
}

TEST(GameOptions, BadValuesAreRefusedWithAClearMessage) {
  const struct {
    const char* option;
    const char* value;
    bool ok;
    const char* message;
  } cases[] = {
      {"--stage", "0", false, "--stage takes a stage from 1 to 8, not \"0\""},
      {"--stage", "9", false, "--stage takes a stage from 1 to 8, not \"9\""},
      {"--stage", "x", false, "--stage takes a stage from 1 to 8, not \"x\""},
      {"--stage", "-1", false, "--stage takes a stage from 1 to 8, not \"-1\""},
      {"--stage", "", false, "--stage takes a stage from 1 to 8, not \"\""},
      {"--assist", "49", false, "--assist takes a game speed from 50 to 100 percent, not \"49\""},
      {"--assist", "101", false, "--assist takes a game speed from 50 to 100 percent, not \"101\""},
      {"--assist", "70%", false, "--assist takes a game speed from 50 to 100 percent, not \"70%\""},
      {"--stage", "8", true, ""},
      {"--assist", "50", true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.option) + " " + c.value);
    game::ClearWorld();
    const int index = std::string(c.option) == "--stage" ? 0 : 1;
    ASSERT_STREQ(game::kGameOptions[index].name, c.option + 2);
    char error[160] = "";
    EXPECT_EQ(game::TakeGameOption(index, c.value, error, sizeof error), c.ok);
    EXPECT_STREQ(error, c.message);
    // The whole program refuses the command line with exit code 2.
    EXPECT_EQ(Play({"--frames", "1", std::string(c.option) + "=" + c.value}), c.ok ? 0 : 2);
  }
}

// ---- recordings

// Records a run with `recordOptions` into NAME.sgr and replays it; gives
// the two dumps and returns the recording's bytes.
std::string RecordAndReplay(const std::vector<std::string>& recordOptions, std::string& recorded,
                            std::string& replayed, const std::string& name) {
  const std::string input = Script("rec", StartWith("F1") + "20 X down\n200 LEFT down\n260 LEFT up\n");
  const std::string file = oxtest::DataDir() + name + ".sgr";
  const std::string dumpA = oxtest::DataDir() + name + "-a.json";
  const std::string dumpB = oxtest::DataDir() + name + "-b.json";
  std::vector<std::string> a = {"--frames", "700", "--seed", "9", "--input", input, "--record",
                                file, "--dump", dumpA};
  a.insert(a.end(), recordOptions.begin(), recordOptions.end());
  EXPECT_EQ(Play(a), 0);
  EXPECT_EQ(Play({"--replay", file, "--dump", dumpB}), 0);
  recorded = oxtest::ReadFile(dumpA);
  replayed = oxtest::ReadFile(dumpB);
  return oxtest::ReadFile(file);
}

TEST(Assist, ARecordedAssistedPracticeGameReplaysToTheSameDump) {
  NoMusic quiet;
  SpeedSetting player(100);
  const struct {
    const char* name;
    std::vector<std::string> record;
    std::vector<std::string> replay;  // what the replaying run would choose itself
    int settingAtReplay;
    const char* choices;
  } cases[] = {
      {"assisted", {"--assist", "70"}, {}, 100, "assist=70"},
      {"practice", {"--stage", "3", "--assist", "60"}, {"--stage", "5", "--assist", "100"}, 80,
       "assist=60 stage=3"},
      {"setting", {}, {}, 100, "assist=75"},  // recorded from the player's setting below
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetSpeedSetting(std::string(c.name) == "setting" ? 75 : 100);
    std::string a, b;
    const std::string file = RecordAndReplay(c.record, a, b, c.name);
    SetSpeedSetting(c.settingAtReplay);
    std::vector<std::string> replay = {"--replay", oxtest::DataDir() + c.name + ".sgr", "--dump",
                                       oxtest::DataDir() + c.name + "-c.json"};
    replay.insert(replay.end(), c.replay.begin(), c.replay.end());
    ASSERT_EQ(Play(replay), 0);
    const std::string again = oxtest::ReadFile(oxtest::DataDir() + c.name + "-c.json");
    ASSERT_FALSE(a.empty());
    EXPECT_NE(DumpField(a, "game_speed"), "");
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, again);
    plat::replay::Summary summary;
    char error[160];
    ASSERT_TRUE(plat::replay::Check(reinterpret_cast<const uint8_t*>(file.data()), file.size(),
                                    summary, error, sizeof error))
        << error;
    EXPECT_STREQ(summary.header.gameChoices, c.choices);
  }
}

// A whole game at full speed keeps no choices: its recording has the
// header older programs wrote, and such a recording plays at full speed
// from stage 1 whatever the replaying player chose.
TEST(Assist, ARecordingWithoutChoicesReplaysAsAWholeGameAtFullSpeed) {
  NoMusic quiet;
  SpeedSetting player(100);
  std::string a, b;
  const std::string file = RecordAndReplay({}, a, b, "old");
  ASSERT_EQ(a, b);
  ASSERT_GT(file.size(), plat::replay::kHeaderSize);
  EXPECT_EQ(uint8_t(file[10]) & plat::replay::kFlagGameChoices, 0);
  plat::replay::Summary summary;
  char error[160];
  ASSERT_TRUE(plat::replay::Check(reinterpret_cast<const uint8_t*>(file.data()), file.size(),
                                  summary, error, sizeof error))
      << error;
  EXPECT_EQ(summary.headerSize, plat::replay::kHeaderSize);
  EXPECT_STREQ(summary.header.gameChoices, "");
  oxSettings::Current().assistSpeed = 50;
  const std::string dump = oxtest::DataDir() + "old-format.json";
  ASSERT_EQ(Play({"--replay", oxtest::DataDir() + "old.sgr", "--dump", dump, "--stage", "4"}), 0);
  EXPECT_EQ(oxtest::ReadFile(dump), a);
}

// The header's choices block: written only when there are choices, read
// back whole, and refused with the place of the damage.
TEST(ReplayChoices, TheHeaderBlockRoundTripsAndDamageIsReported) {
  namespace r = plat::replay;
  const auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  const std::string end = std::string("E") + '\0' + '\0' + '\0' + '\0';
  const auto header = [&](uint16_t flags) {
    return std::string("SGREPLAY") + u16(1) + u16(flags) + u16(7) + u16(0) + u16(1000) + u16(0);
  };
  const auto check = [](const std::string& bytes, r::Summary& s, std::string& error) {
    char text[160] = "";
    const bool ok =
        r::Check(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), s, text, sizeof text);
    error = text;
    return ok;
  };

  // What EncodeHeader writes, Check reads.
  for (const char* choices : {"", "assist=70 stage=3", "assist=50"}) {
    r::Header h{7, true, 1000};
    std::snprintf(h.gameChoices, sizeof h.gameChoices, "%s", choices);
    uint8_t buffer[r::kMaxHeaderSize];
    const size_t size = r::EncodeHeader(buffer, h);
    EXPECT_EQ(size, choices[0] ? r::kHeaderSize + 2 + std::strlen(choices) : r::kHeaderSize);
    const std::string bytes = std::string(reinterpret_cast<char*>(buffer), size) + end;
    r::Summary s;
    std::string error;
    ASSERT_TRUE(check(bytes, s, error)) << error;
    EXPECT_STREQ(s.header.gameChoices, choices);
    EXPECT_EQ(s.headerSize, size);
    EXPECT_TRUE(s.header.calendarSeed);
    EXPECT_EQ(s.header.seed, 7u);
    EXPECT_TRUE(s.complete);
  }

  const std::string longest(r::kMaxGameChoices, 'a');
  const struct {
    const char* name;
    std::string bytes;
    const char* error;  // "" when the file is fine
  } cases[] = {
      {"longest", header(2) + u16(240) + longest + end, ""},
      {"empty block", header(2) + u16(0) + end, "game choices of a bad length at byte 20"},
      {"overlong", header(2) + u16(241) + longest + "a" + end,
       "game choices of a bad length at byte 20"},
      {"control character", header(2) + u16(3) + "a\nb" + end,
       "game choices other than printable text at byte 23"},
      {"cut in the length", header(2) + std::string(1, '\x05'), "game choices cut short at byte 20"},
      {"cut in the text", header(2) + u16(9) + "assist", "game choices cut short at byte 22"},
      {"unknown flag", header(4) + end, "unknown header flags at byte 10"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    r::Summary s;
    std::string error;
    EXPECT_EQ(check(c.bytes, s, error), c.error[0] == '\0');
    EXPECT_EQ(error, c.error);
  }
}

// The game reads the recorded line back with the options' own rules.
TEST(ReplayChoices, TheGameTakesKnownChoicesAndRefusesOthers) {
  const struct {
    const char* text;
    bool ok;
    int stage, speed;  // in effect afterwards
    const char* error;
  } cases[] = {
      {"", true, 0, 100, ""},
      {"assist=70", true, 0, 70, ""},
      {"assist=60 stage=8", true, 8, 60, ""},
      {"stage=2  assist=100", true, 2, 100, ""},
      {"assist=49", false, 0, 0, "unknown recorded game choice \"assist=49\""},
      {"stage=9", false, 0, 0, "unknown recorded game choice \"stage=9\""},
      {"speed=70", false, 0, 0, "unknown recorded game choice \"speed=70\""},
      {"assist", false, 0, 0, "unknown recorded game choice \"assist\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    game::ClearWorld();
    game::SetPracticeStage(5);  // what the replaying player chose
    game::SetFixedGameSpeed(80);
    char error[160] = "";
    EXPECT_EQ(game::ReplayChoices(c.text, error, sizeof error), c.ok);
    EXPECT_STREQ(error, c.error);
    if (!c.ok) continue;
    EXPECT_EQ(game::PracticeStage(), c.stage);
    EXPECT_EQ(game::NextGameSpeed(), c.speed);
  }

  // A replay whose choices the game refuses ends before it starts, with 1.
  NoMusic quiet;
  plat::replay::Header h{7, false, 1000};
  std::snprintf(h.gameChoices, sizeof h.gameChoices, "assist=30");
  uint8_t buffer[plat::replay::kMaxHeaderSize];
  const size_t size = plat::replay::EncodeHeader(buffer, h);
  const std::string file = oxtest::DataDir() + "refused.sgr";
  ASSERT_TRUE(oxtest::WriteFile(
      file, std::string(reinterpret_cast<char*>(buffer), size) + std::string("E\0\0\0\0", 5)));
  EXPECT_EQ(Play({"--replay", file}), 1);
}

}  // namespace
