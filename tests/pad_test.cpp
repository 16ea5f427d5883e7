// Game controllers: the input script's PADn lines, key and pad bindings of
// the game's actions, the pad-played game from the title into a stage, the
// selection screen's highlight, and recorded pad runs played back.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "frame/ox_system.h"
#include "frame/settings_sections.h"
#include "game/controls.h"
#include "input/ox_bindings.h"
#include "input/ox_input.h"
#include "platform/input_script.h"
#include "tests/test_support.h"

namespace {

using B = oxBindings;

std::string Temp(const std::string& name) { return oxtest::DataDir() + name; }

// Runs the game headless; returns its exit code.
int RunGame(const std::string& args) {
  const std::string cmd = std::string(SAMPLEGAME_EXE) + " --headless " + args + " 2>" +
                          Temp("stderr.txt");
  const int status = system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A number field of a dump; -1 when it is missing.
double Field(const std::string& dump, const char* name) {
  const std::string key = std::string("\"") + name + "\":";
  const size_t at = dump.find(key);
  return at == std::string::npos ? -1 : atof(dump.c_str() + at + key.size());
}

// Runs `script` for `frames` passes with seed 5 and returns the dump.
std::string Play(const std::string& name, const std::string& script, int frames,
                 const std::string& extra = "") {
  const std::string in = Temp(name + ".txt"), dump = Temp(name + ".json");
  EXPECT_TRUE(oxtest::WriteFile(in, script));
  EXPECT_EQ(RunGame("--seed 5 --frames " + std::to_string(frames) + " --input " + in +
                    " --dump " + dump + " " + extra),
            0)
      << oxtest::ReadFile(Temp("stderr.txt"));
  return oxtest::ReadFile(dump);
}

std::string Press(int frame, const char* button) {
  return std::to_string(frame) + " PAD0 BUTTON " + button + " down\n" +
         std::to_string(frame + 2) + " PAD0 BUTTON " + button + " up\n";
}

// Start on the title, `downs` presses of the d-pad on the selection screen,
// A to choose.
std::string ToStage(int downs) {
  std::string s = Press(10, "start");
  for (int i = 0; i < downs; ++i) s += Press(30 + 4 * i, "dpdown");
  return s + Press(70, "a");
}

TEST(PadScript, ParsesButtonsAxesAndPlugging) {
  const char text[] =
      "1 PAD0 BUTTON a down\n"
      "1 pad0 axis LEFTX -32768\n"
      "2 PAD1 attach\n"
      "2 PAD1 BUTTON dpright down\n"
      "3 PAD0 BUTTON a up\n"
      "3 PAD0 AXIS righttrigger 32767\n"
      "4 PAD1 detach\n";
  plat::InputScript s;
  char err[200] = "";
  ASSERT_TRUE(s.Parse(text, sizeof text - 1, err, sizeof err)) << err;
  EXPECT_EQ(s.size(), 7u);
  // Pad 0 is there from the start, pad 1 only once plugged in.
  EXPECT_TRUE(s.Gamepad(0)->scripted && s.Gamepad(0)->state.attached);
  EXPECT_TRUE(s.Gamepad(1)->scripted && !s.Gamepad(1)->state.attached);
  EXPECT_EQ(s.Gamepad(2), nullptr);
  auto take = [&](uint32_t pass) { s.TakeKeyEvents(pass, [](const plat::ScriptEvent&) {}); };
  take(1);
  EXPECT_EQ(s.Gamepad(0)->state.buttons, 1u << plat::gamepad::kA);
  EXPECT_EQ(s.Gamepad(0)->state.axes[plat::gamepad::kLeftX], -32768);
  take(2);
  EXPECT_TRUE(s.Gamepad(1)->state.attached);
  EXPECT_EQ(s.Gamepad(1)->state.buttons, 1u << plat::gamepad::kDpRight);
  take(3);
  EXPECT_EQ(s.Gamepad(0)->state.buttons, 0u);
  EXPECT_EQ(s.Gamepad(0)->state.axes[plat::gamepad::kRightTrigger], 32767);
  take(4);
  // Pulled out: nothing stays held.
  EXPECT_TRUE(!s.Gamepad(1)->state.attached && s.Gamepad(1)->state.buttons == 0);
}

TEST(PadScript, RejectsBadPadLinesWithTheirNumber) {
  const char* bad[] = {"1 PAD2 attach",           "1 PAD01 attach",         "1 PAD attach",
                       "1 PAD0 BUTTON z down",    "1 PAD0 BUTTON 1 down",   "1 PAD0 BUTTON a sideways",
                       "1 PAD0 BUTTON a",         "1 PAD0 AXIS leftz 5",    "1 PAD0 AXIS leftx 32768",
                       "1 PAD0 AXIS leftx -32769", "1 PAD0 AXIS leftx 1.5",  "1 PAD0 AXIS leftx +5",
                       "1 PAD0 AXIS leftx --5",   "1 PAD0 AXIS leftx",      "1 PAD0 plug",
                       "1 PAD0 attach now",       "0 PAD0 attach",          "1 PAD0 BUTTON a down x"};
  for (const char* line : bad) {
    const std::string text = std::string("1 PAD0 BUTTON b down\n") + line + "\n";
    plat::InputScript s;
    char err[200] = "";
    EXPECT_FALSE(s.Parse(text.data(), text.size(), err, sizeof err)) << line;
    EXPECT_EQ(strncmp(err, "line 2:", 7), 0) << line << ": " << err;
    EXPECT_TRUE(s.size() == 0u && !s.Gamepad(0)->scripted) << line;
  }
}

// The binding table of the game: own keys translate to themselves, a
// rebound key to its slot's own key, an own key bound elsewhere to nothing;
// conflicts are refused with the action that holds the key.
TEST(PadBindings, TranslationConflictsAndSettingsSections) {
  game::DefineControls();
  EXPECT_EQ(B::TranslateKey('X'), 'X');
  EXPECT_EQ(B::TranslateKey(17), 17);  // Control fires too
  EXPECT_EQ(B::TranslateKey('Q'), 'Q');
  char why[64] = "";
  const struct {
    int action, slot, vk;
    bool ok;
    const char* why;
  } binds[] = {
      {game::kControlFire, 0, 'C', true, ""},
      {game::kControlUp, 1, 'W', true, ""},
      {game::kControlSpecial, 0, 'C', false, "taken by fire"},
      {game::kControlSpecial, 1, 'W', false, "taken by up"},
      {game::kControlPause, 0, 27, false, "kept for quitting"},
      {game::kControlFire, 1, 300, false, "no such key"},
      {game::kControlCount, 0, 'K', false, "no such action"},
  };
  for (const auto& b : binds) {
    why[0] = '\0';
    EXPECT_EQ(B::BindKey(b.action, b.slot, b.vk, why, sizeof why), b.ok) << b.vk;
    EXPECT_STREQ(why, b.why) << b.vk;
  }
  EXPECT_EQ(B::TranslateKey('C'), 'X');
  EXPECT_EQ(B::TranslateKey('X'), 0);   // fire's own key no longer fires
  EXPECT_EQ(B::TranslateKey('W'), 38);  // up
  EXPECT_EQ(B::TranslateKey(17), 17);
  // Start and pause share Start (menus and stages); fire and start may not.
  EXPECT_FALSE(B::BindPad(game::kControlFire, 1, plat::gamepad::kStart, why, sizeof why));
  EXPECT_STREQ(why, "taken by pause");
  EXPECT_TRUE(B::BindPad(game::kControlPause, 1, plat::gamepad::kLeftShoulder, why, sizeof why));
  EXPECT_FALSE(B::BindPad(game::kControlStart, 1, plat::gamepad::kY, why, sizeof why));
  EXPECT_STREQ(why, "taken by spark");

  // The sections write what is bound and read it back; bad values are
  // refused and leave the action as it was.
  int count = 0;
  const ox::SettingsSection* sections = ox::SettingsSections(&count);
  const ox::SettingsSection *keys = nullptr, *pad = nullptr;
  for (int i = 0; i < count; ++i) {
    if (strcmp(sections[i].name, "keys") == 0) keys = &sections[i];
    if (strcmp(sections[i].name, "pad") == 0) pad = &sections[i];
  }
  ASSERT_TRUE(keys && pad);
  std::string written;
  auto collect = [](void* ctx, const char* k, const char* v) {
    *static_cast<std::string*>(ctx) += std::string(k) + " = " + v + "\n";
  };
  keys->write(collect, &written);
  EXPECT_NE(written.find("fire = C, Control\n"), std::string::npos) << written;
  EXPECT_NE(written.find("up = Up, W\n"), std::string::npos) << written;
  written.clear();
  pad->write(collect, &written);
  EXPECT_NE(written.find("pause = start, leftshoulder\n"), std::string::npos) << written;
  EXPECT_NE(written.find("up = dpup, -lefty\n"), std::string::npos) << written;

  const struct {
    const ox::SettingsSection* section;
    const char *key, *value;
    bool ok;
  } reads[] = {
      {keys, "special", "V, Shift", true}, {keys, "special", "C", false},
      {keys, "special", "A, B, D", false}, {keys, "special", "Nokey", false},
      {keys, "jump", "J", false},          {keys, "special", "A,,B", false},
      {keys, "spark", "", true},           {pad, "fire", "a, rightshoulder", true},
      {pad, "spark", "rightshoulder", false}, {pad, "fire", "trigger", false},
      {pad, "start", "a, b, x", false},
  };
  for (const auto& r : reads)
    EXPECT_EQ(r.section->read(r.key, r.value), r.ok) << r.key << " = " << r.value;
  EXPECT_EQ(B::Key(game::kControlSpecial, 0), 'V');
  EXPECT_EQ(B::Key(game::kControlSpecial, 1), 16);
  EXPECT_EQ(B::Key(game::kControlSpark, 0), 0);
  EXPECT_EQ(B::Pad(game::kControlFire, 1), plat::gamepad::kRightShoulder);
  EXPECT_EQ(B::TranslateKey(' '), 0);

  keys->reset();
  EXPECT_EQ(B::TranslateKey('X'), 'X');
  EXPECT_EQ(B::TranslateKey('C'), 'C');
  EXPECT_EQ(B::Pad(game::kControlFire, 1), B::kNoPad);

  // Fire and special swapped, in the overlay; the file written then reads
  // back over the defaults, line by line in its order.
  ASSERT_TRUE(B::BindKey(game::kControlFire, 0, 'Q', nullptr, 0));
  ASSERT_TRUE(B::BindKey(game::kControlSpecial, 0, 'X', nullptr, 0));
  ASSERT_TRUE(B::BindKey(game::kControlFire, 0, 'Z', nullptr, 0));
  ASSERT_TRUE(B::BindPad(game::kControlSpecial, 0, B::kNoPad, nullptr, 0));
  ASSERT_TRUE(B::BindPad(game::kControlFire, 0, plat::gamepad::kX, nullptr, 0));
  ASSERT_TRUE(B::BindPad(game::kControlSpecial, 0, plat::gamepad::kA, nullptr, 0));
  std::string keysFile, padFile;
  keys->write(collect, &keysFile);
  pad->write(collect, &padFile);
  keys->reset();
  auto readBack = [](const ox::SettingsSection* section, const std::string& text) {
    size_t at = 0;
    while (at < text.size()) {
      const size_t eq = text.find(" = ", at), end = text.find('\n', at);
      EXPECT_TRUE(section->read(text.substr(at, eq - at).c_str(),
                                text.substr(eq + 3, end - eq - 3).c_str()))
          << text.substr(at, end - at);
      at = end + 1;
    }
  };
  readBack(keys, keysFile);
  readBack(pad, padFile);
  EXPECT_EQ(B::Key(game::kControlFire, 0), 'Z');
  EXPECT_EQ(B::Key(game::kControlSpecial, 0), 'X');
  EXPECT_EQ(B::Pad(game::kControlFire, 0), plat::gamepad::kX);
  EXPECT_EQ(B::Pad(game::kControlSpecial, 0), plat::gamepad::kA);
  // A key the file gave to one action is not taken by a later line.
  EXPECT_FALSE(keys->read("spark", "Z"));
  EXPECT_EQ(B::Key(game::kControlSpark, 0), ' ');
  // Start serves start and pause by default; fire may take it from both.
  EXPECT_TRUE(pad->read("fire", "start"));
  EXPECT_EQ(B::Pad(game::kControlPause, 0), B::kNoPad);
  EXPECT_EQ(B::Pad(game::kControlStart, 0), B::kNoPad);
  keys->reset();
  B::Define(nullptr, 0);
}

// A rebound key drives through the main loop (key state and last key), the
// old one no longer does; a pad button arrives as its action's own key.
std::vector<int> g_fire, g_last;

TEST(PadBindings, ReboundKeysAndPadButtonsReachTheScene) {
  const std::string path = Temp("rebound.txt");
  ASSERT_TRUE(oxtest::WriteFile(path,
                                "2 X down\n3 X up\n4 C down\n6 C up\n"
                                "7 PAD0 BUTTON a down\n9 PAD0 BUTTON a up\n"));
  static constexpr B::Action kActions[] = {{"fire", B::kEverywhere, {'X', 0}, {0, B::kNoPad}}};
  GameDefinition game;
  game.load = [] {
    oxDraw::Screen(640, 480, 2);
    ox::App().scene = 1;
    B::Define(kActions, 1);
    ASSERT_TRUE(B::BindKey(0, 0, 'C', nullptr, 0));
  };
  game.scenes[1] = [] {
    static int state = 0;
    if (ox::SceneChanged()) state = 0;
    g_fire.push_back(oxInput::GetKey('X', &state));
    g_last.push_back(ox::LastKey());
  };
  g_fire.clear();
  g_last.clear();
  std::vector<std::string> args = {"samplegame", "--headless", "--frames", "10", "--input", path};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  const int code = oxRun(int(argv.size()), argv.data(), game);
  B::Define(nullptr, 0);
  ASSERT_EQ(code, 0);
  // (A press right after a release reads 3 at once, as for any key.)
  EXPECT_EQ(g_fire, (std::vector<int>{0, 0, 0, 1, 3, 2, 3, 3, 2, 0}));
  EXPECT_EQ(g_last, (std::vector<int>{0, 0, 0, 'X', 'X', 0, 'X', 'X', 0, 0}));
}

// Title to stage one on the pad alone: Start, d-pad, A; then A fires and
// the stick flies. The score rises, the ship moves left, and the raw
// joystick does not steer it a second time.
TEST(PadGame, PlayedFromTheTitleIntoAStageWithThePadAlone) {
  const std::string go = ToStage(0);
  const std::string still = Play("still", go, 700);
  const std::string firing = Play("firing", go + "200 PAD0 BUTTON a down\n", 700);
  const std::string flying =
      Play("flying", go + "200 PAD0 BUTTON a down\n200 PAD0 AXIS leftx -30000\n", 700);
  EXPECT_EQ(Field(still, "scene"), 2);
  EXPECT_EQ(Field(still, "score"), 0);
  EXPECT_GT(Field(firing, "score"), 0);
  EXPECT_EQ(Field(firing, "player_x"), Field(still, "player_x"));
  EXPECT_LT(Field(flying, "player_x"), Field(firing, "player_x"));
  // A raw joystick pushed left moves the ship only while no controller is
  // attached.
  const std::string keys = "10 ENTER down\n12 ENTER up\n30 F1 down\n32 F1 up\n";
  const std::string raw = Play("raw", keys + "200 JOY0 X 0\n", 700);
  const std::string both = Play("both", keys + "200 JOY0 X 0\n1 PAD0 BUTTON a up\n", 700);
  EXPECT_LT(Field(raw, "player_x"), Field(still, "player_x"));
  EXPECT_EQ(Field(both, "player_x"), Field(still, "player_x"));
}

TEST(PadGame, SelectionHighlightChoosesAsTheFKeyWould) {
  const struct {
    int downs;
    int energy, fast, fastest;
  } rows[] = {{0, 999, 0, 0}, {1, 333, 0, 0}, {2, 1, 0, 0},  {3, 555, 1, 0},
              {4, 777, 0, 1}, {5, 1, 1, 0},   {6, 1, 0, 1}, {7, 999, 0, 0}};
  for (const auto& r : rows) {
    const std::string dump = Play("choice" + std::to_string(r.downs), ToStage(r.downs), 80);
    EXPECT_EQ(Field(dump, "scene"), 2) << r.downs;
    EXPECT_EQ(Field(dump, "energy"), r.energy) << r.downs;
    EXPECT_EQ(Field(dump, "fast_bullets"), r.fast) << r.downs;
    EXPECT_EQ(Field(dump, "fastest_bullets"), r.fastest) << r.downs;
  }
  // Up from F1 wraps to F7; Y picks sparks.
  const std::string up = Play("up", Press(10, "start") + Press(30, "dpup") + Press(40, "y") +
                                        Press(70, "a"), 80);
  EXPECT_EQ(Field(up, "energy"), 1);
  EXPECT_EQ(Field(up, "fastest_bullets"), 1);
  EXPECT_EQ(Field(up, "spark"), 1);
}

// Start pauses in a stage (and a Start held from the selection screen does
// not); a second press goes on.
TEST(PadGame, StartPausesInAStage) {
  const std::string go = ToStage(0);
  const std::string held = Play("held", Press(10, "start") + "68 PAD0 BUTTON start down\n" +
                                            Press(70, "a"), 120);
  EXPECT_EQ(Field(held, "pause"), 0);
  EXPECT_EQ(Field(Play("paused", go + Press(100, "start"), 120), "pause"), 1);
  EXPECT_EQ(Field(Play("resumed", go + Press(100, "start") + Press(110, "start"), 120), "pause"),
            0);
}

TEST(PadGame, ARecordedPadRunReplaysToTheSameDump) {
  const std::string script = ToStage(3) + "150 PAD0 BUTTON x down\n200 PAD0 AXIS lefty -20000\n" +
                             "260 PAD0 detach\n300 PAD0 attach\n300 PAD0 BUTTON a down\n";
  const std::string rec = Temp("pad.sgr");
  const std::string recorded = Play("recorded", script, 400, "--record " + rec);
  const std::string replayDump = Temp("replayed.json");
  ASSERT_EQ(RunGame("--replay " + rec + " --dump " + replayDump), 0)
      << oxtest::ReadFile(Temp("stderr.txt"));
  EXPECT_EQ(oxtest::ReadFile(replayDump), recorded);
  EXPECT_GT(Field(recorded, "score"), 0);
  EXPECT_EQ(Field(recorded, "fast_bullets"), 1);
}

}  // namespace

namespace {

// The dump without the fields that count every pass (the frame number and
// the clock): what the scenes made of the run.
std::string SceneState(std::string dump) {
  std::string out;
  size_t at = 0;
  while (at < dump.size()) {
    size_t end = dump.find('\n', at);
    if (end == std::string::npos) end = dump.size();
    const std::string line = dump.substr(at, end - at);
    if (line.find("\"frame\"") == std::string::npos && line.find("\"clock_ms\"") == std::string::npos)
      out += line + "\n";
    at = end + 1;
  }
  return out;
}

struct Timed {
  int frame;
  const char* line;
};

// A stage run with firing and steering; with `held` passes of the options
// overlay from pass 600 (`open` before it, `inside` during it, `close` at its
// end), every later event comes as many passes later.
std::string OverlayRun(const std::string& name, int held, const char* open,
                       const std::vector<Timed>& inside, const char* close) {
  const std::vector<Timed> game = {
      {10, "ENTER down"}, {12, "ENTER up"}, {30, "F4 down"},  {32, "F4 up"},
      {300, "X down"},    {320, "Z down"},  {560, "LEFT down"}, {640, "LEFT up"},
      {700, "X up"},      {720, "UP down"}, {800, "UP up"},   {820, "S down"},
      {822, "S up"},
  };
  std::string script;
  for (const Timed& t : game)
    script += std::to_string(t.frame >= 600 ? t.frame + held : t.frame) + " " + t.line + "\n";
  if (held) {
    script += std::string("599 ") + open + " down\n600 " + open + " up\n";
    for (const Timed& t : inside) script += std::to_string(600 + t.frame) + " " + t.line + "\n";
    script += std::to_string(600 + held - 1) + " " + close + " down\n" +
              std::to_string(600 + held) + " " + close + " up\n";
  }
  // A clock past the unarmed wait lets the stage's second tick run.
  return Play(name, script, 900 + held, "--clock-start 1000000000");
}

}  // namespace

// The overlay holds the scene: the same scene passes with the overlay open
// in between end in the same state, whatever was done in the overlay that
// is not a setting, and the stage's clock does not count the time held.
TEST(OptionsOverlay, HoldsTheSceneStillAndLeavesItAsItWas) {
  const std::string plain = OverlayRun("plain", 0, "", {}, "");
  EXPECT_LT(Field(plain, "time_counter"), 800);
  EXPECT_GT(Field(plain, "score"), 0);
  const std::vector<Timed> browse = {{3, "DOWN down"},  {4, "DOWN up"},  {6, "DOWN down"},
                                     {7, "DOWN up"},    {9, "SPACE down"}, {10, "SPACE up"},
                                     {12, "F1 down"},   {13, "F1 up"},   {15, "S down"},
                                     {16, "S up"},      {18, "C down"},  {19, "C up"}};
  const std::vector<Timed> padBrowse = {{3, "PAD0 BUTTON dpdown down"}, {4, "PAD0 BUTTON dpdown up"},
                                        {6, "PAD0 BUTTON a down"},      {7, "PAD0 BUTTON a up"},
                                        {9, "PAD0 BUTTON y down"},      {10, "PAD0 BUTTON y up"}};
  const struct {
    const char* name;
    int held;
    const char *open, *close;
    const std::vector<Timed>* inside;
  } rows[] = {
      {"tab", 60, "TAB", "TAB", &browse},
      {"escape", 300, "TAB", "ESCAPE", &browse},
      {"pad", 90, "PAD0 BUTTON back", "PAD0 BUTTON b", &padBrowse},
  };
  for (const auto& r : rows) {
    const std::string held = OverlayRun(r.name, r.held, r.open, *r.inside, r.close);
    EXPECT_EQ(Field(held, "frame"), 900 + r.held) << r.name;
    EXPECT_EQ(SceneState(held), SceneState(plain)) << r.name;
  }
}

namespace {

// Keys pressed one after another from `frame`, two passes each.
std::string Keys(int frame, const std::vector<const char*>& keys) {
  std::string s;
  for (const char* k : keys) {
    s += std::to_string(frame) + " " + k + " down\n" + std::to_string(frame + 1) + " " + k + " up\n";
    frame += 3;
  }
  return s;
}

}  // namespace

// Rebinding in the overlay: fire's first key becomes C, so C fires and X no
// longer does; C for the special shot is then refused and Z keeps it.
TEST(OptionsOverlay, RebindsKeysAndRefusesConflicts) {
  std::vector<const char*> toFire = {"TAB"};
  for (int i = 0; i < 12; ++i) toFire.push_back("DOWN");
  toFire.insert(toFire.end(), {"ENTER", "C", "DOWN", "ENTER", "C", "TAB"});
  const std::string setUp = "10 ENTER down\n12 ENTER up\n30 F1 down\n32 F1 up\n" + Keys(100, toFire);
  const struct {
    const char* held;
    bool scores;
    bool specials;
  } rows[] = {{"X", false, false}, {"C", true, false}, {"Z", true, true}};
  for (const auto& r : rows) {
    const std::string dump = Play(std::string("rebound-") + r.held,
                                  setUp + "300 " + r.held + " down\n", 600);
    EXPECT_EQ(Field(dump, "score") > 0, r.scores) << r.held;
    EXPECT_EQ(Field(dump, "specials_active") > 0, r.specials) << r.held;
    EXPECT_EQ(Field(dump, "scene"), 2) << r.held;
  }
}

// The game's rows: the practice stage steps from off to stage 3 and the
// game speed down to 80%; the next game starts at stage 3 at that speed.
TEST(OptionsOverlay, GameRowsChooseThePracticeStageAndTheSpeed) {
  std::vector<const char*> keys = {"TAB"};
  for (int i = 0; i < 6; ++i) keys.push_back("DOWN");
  keys.insert(keys.end(), {"LEFT", "LEFT", "DOWN", "RIGHT", "RIGHT", "RIGHT", "TAB"});
  const std::string script = Keys(20, keys) + "100 ENTER down\n102 ENTER up\n130 F1 down\n132 F1 up\n";
  const std::string dump = Play("game-rows", script, 200);
  EXPECT_EQ(Field(dump, "scene"), 4);  // stage 3
  EXPECT_EQ(Field(dump, "practice_stage"), 3);
  EXPECT_EQ(Field(dump, "game_speed"), 80);
}
