// Polled input: key edge states and the input mask, joystick centres,
// directions, buttons and ramps, and the input script's joystick lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/input_control.h"
#include "draw/ox_draw.h"
#include "draw/transition.h"
#include "frame/ox_system.h"
#include "frame/window_proc.h"
#include "input/ox_input.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/input_script.h"
#include "platform/joystick.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

constexpr uint32_t kC = 32767;  // the centre a pad at rest reads


// The headless platform with a script, driven pass by pass as the main loop
// does: the script's events due before a pass are delivered (and the
// messages handled), then the pass runs `poll`.
class Frames {
 public:
  explicit Frames(const char* script) {
    oxtest::OpenScreen();
    char err[128] = "";
    EXPECT_TRUE(plat::detail::Script().Parse(script, strlen(script), err, sizeof err)) << err;
  }
  template <typename F>
  void Run(int passes, F&& poll) {
    for (int i = 0; i < passes; ++i) {
      plat::Message m;
      while (plat::PeekMessage(m)) ox::WindowProc(m);
      plat::BeginFramePass();
      poll(int(plat::FramePasses()) + 1);
      plat::EndFramePass();
    }
  }
};

// The states of `vk` over `passes`; `mask`, if given, is in force over passes 3 and 4.
std::vector<int> KeyStates(const char* script, int passes, int vk, void (*mask)(bool on) = nullptr) {
  Frames frames(script);
  std::vector<int> got;
  int state = 0;
  frames.Run(passes, [&](int pass) {
    if (mask) mask(pass >= 3 && pass <= 4);
    got.push_back(oxInput::GetKey(vk, &state));
  });
  return got;
}


// Held, released, pressed again right after a release (2 to 3), down for
// a single poll (1 then 2); other keys leave the state alone.
TEST(KeyEdges, HoldReleaseRepressOtherKeysAndBadArguments) {
  const struct {
    const char* script;
    int vk;
    std::vector<int> states;  // one a poll
  } cases[] = {
      {"2 X down\n5 X up\n", 'X', {0, 1, 3, 3, 2, 0, 0}},
      {"1 Z down\n3 Z up\n4 Z down\n6 Z up\n", 'Z', {1, 3, 2, 3, 3, 2, 0}},
      {"1 X down\n2 X up\n", 'X', {1, 2, 0}},
      {"1 X down\n2 Y down\n3 X up\n", 'Y', {0, 1, 3, 3}},
      {"1 LEFT down\n", plat::kVkRight, {0, 0}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(KeyStates(c.script, int(c.states.size()), c.vk), c.states) << c.script;
  // A null state and out-of-range codes are safe.
  Frames frames("1 ENTER down\n");
  frames.Run(1, [](int) {
    EXPECT_EQ(oxInput::GetKey(plat::kVkReturn, nullptr), 1);
    int s = 3;
    EXPECT_EQ(oxInput::GetKey(-5, &s), 2);
    EXPECT_EQ(oxInput::GetKey(100000, &s), 0);
  });
}

// Each mask source in turn: a held key reads 0 while it is in force and
// starts again with 1 once it lifts.
TEST(KeyEdges, EveryKeyReadsZeroWhileTheMaskIsInForce) {
  const struct {
    const char* name;
    void (*mask)(bool on);
  } sources[] = {
      {"transition step", [](bool on) { oxd::Transition().step = on ? 4 : 0; }},
      {"overlay flag", [](bool on) { oxd::Transition().overlay = on ? 1 : 0; }},
      {"input suspended", [](bool on) {
         if (on) ox::SuspendInput();
         else if (ox::Input().inputSuspended) ox::ResumeInput();
       }},
  };
  for (const auto& m : sources)
    EXPECT_EQ(KeyStates("1 SPACE down\n", 7, plat::kVkSpace, m.mask), (std::vector<int>{1, 3, 0, 0, 1, 3, 3}))
        << m.name;
}


class Joystick : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::OpenScreen();
    ox::App().frameSeconds = 0.1f;
  }
  // Pad 0 at rest, calibrated.
  void Calibrated(uint32_t buttons = 0) {
    plat::headless::SetJoystick(0, true, kC, kC, buttons);
    oxInput::InitJoystick();
  }
  void Move(uint32_t x, uint32_t y, uint32_t buttons = 0) {
    plat::headless::SetJoystick(0, true, x, y, buttons);
  }
  // The pair a query writes for `pad`.
  template <typename F>
  static std::pair<int, int> Xy(F query, int pad = 0) {
    int a = 99, b = 99;
    query(pad, &a, &b);
    return {a, b};
  }
  static std::pair<int, int> Dir() { return Xy(oxInput::JoyDirection); }
  static std::pair<int, int> Centre(int pad) { return Xy(oxInput::JoyCentre, pad); }
  static std::pair<int, int> Analog() { return Xy(oxInput::JoyAnalog); }
  // n polls of f(i) in a row.
  template <typename F>
  static std::vector<int> Series(int n, F&& f) {
    std::vector<int> got;
    for (int i = 0; i < n; ++i) got.push_back(f(i));
    return got;
  }
};

// Without a pad, and for pads and buttons out of range, everything reads
// neutral and nothing is reported; null outputs are skipped.
TEST_F(Joystick, WithoutAPadOrOutOfRangeEverythingIsNeutral) {
  oxInput::InitJoystick();
  int x = 7, y = 7, b[4] = {7, 7, 7, 7}, r[4] = {7, 7, 7, 7};
  EXPECT_EQ(oxInput::JoyButtons(1, &b[0], &b[1], &b[2], &b[3]), 0);
  EXPECT_EQ(oxInput::JoyButtonRamps(0, &r[0], &r[1], &r[2], &r[3]), 0);
  EXPECT_EQ(oxInput::JoyPosition(0, &x, &y), 0);
  EXPECT_EQ(b[0] + b[1] + b[2] + b[3] + r[0] + r[1] + r[2] + r[3] + x + y, 0);
  EXPECT_EQ(oxInput::JoyButton(0, 1) + oxInput::JoyButtonState(0, 1) + oxInput::JoyButtonRamp(0, 1), 0);
  EXPECT_EQ(Dir(), std::make_pair(0, 0));
  EXPECT_EQ(Analog(), std::make_pair(0, 0));
  EXPECT_EQ(Centre(0), std::make_pair(0, 0));
  EXPECT_EQ(oxInput::JoyDirection8(0), 5);
  Calibrated(0xFFFFFFFFu);
  for (int pad : {-1, 2, 1000}) {
    EXPECT_EQ(oxInput::JoyDirection8(pad), 5) << pad;
    EXPECT_EQ(oxInput::JoyButton(pad, 1), 0) << pad;
    oxInput::JoySetRamp(pad, 100, 100);
    EXPECT_EQ(Centre(pad), std::make_pair(0, 0)) << pad;
  }
  for (int button : {0, 5, -1, 33})
    EXPECT_EQ(oxInput::JoyButton(0, button) + oxInput::JoyButtonState(0, button) +
                  oxInput::JoyButtonRamp(0, button), 0) << button;
  EXPECT_EQ(oxInput::JoyDirection(0, nullptr, nullptr), 1);
  EXPECT_EQ(oxInput::JoyButtons(0, nullptr, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(plat::headless::BoxCount(), 0);
}

// Centres are read once at initialisation; a pad plugged in later is
// calibrated at its first reading.
TEST_F(Joystick, CentresAreReadAtInitialisationOrAtALatePadsFirstReading) {
  plat::headless::SetJoystick(0, true, 30000, 36000, 0);
  plat::headless::SetJoystick(1, false, kC, kC, 0);
  oxInput::InitJoystick();
  EXPECT_EQ(Centre(0), std::make_pair(30000, 36000));
  EXPECT_EQ(Centre(1), std::make_pair(0, 0));
  EXPECT_EQ(oxInput::JoyDirection8(1), 5);
  Move(0, 0);  // moving the stick later leaves the centre alone
  EXPECT_EQ(Centre(0), std::make_pair(30000, 36000));
  plat::headless::SetJoystick(1, true, kC, kC, 0);
  EXPECT_EQ(oxInput::JoyDirection8(1), 5);  // at rest, not pushing right and down
  EXPECT_EQ(Centre(1), std::make_pair(int(kC), int(kC)));
  plat::headless::SetJoystick(1, true, 65535, kC, 0);
  EXPECT_EQ(oxInput::JoyDirection8(1), 6);
}

// Directions switch at the thresholds around the centre, the eight-way
// digits follow the numeric keypad, and positions have the dead zone.
TEST_F(Joystick, DirectionsAndPositionsAroundTheCentre) {
  Calibrated();
  const struct {
    uint32_t p;
    int d;
  } cases[] = {{0, -1}, {16383, -1}, {16384, 0}, {kC, 0}, {49149, 0}, {49150, 1}, {65535, 1}};
  for (auto c : cases) {
    Move(c.p, kC);
    EXPECT_EQ(Dir(), std::make_pair(c.d, 0)) << "x " << c.p;
    Move(kC, c.p);
    EXPECT_EQ(Dir(), std::make_pair(0, c.d)) << "y " << c.p;
  }
  const uint32_t at[3] = {0, kC, 65535};
  const int digits[3][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}};  // [y][x]
  for (int yi = 0; yi < 3; ++yi)
    for (int xi = 0; xi < 3; ++xi) {
      Move(at[xi], at[yi]);
      EXPECT_EQ(oxInput::JoyDirection8(0), digits[yi][xi]) << xi << "," << yi;
    }
  const uint32_t dz = plat::joystick::kDeadZone;
  int x, y;
  Move(kC + dz, kC - dz);
  EXPECT_EQ(oxInput::JoyPosition(0, &x, &y), 1);
  EXPECT_TRUE(x == int(kC) && y == int(kC));
  Move(kC + dz + 1, 12);
  oxInput::JoyPosition(0, &x, &y);
  EXPECT_TRUE(x == int(kC + dz + 1) && y == 12);
}

// Buttons are bits of the mask from button 1, each with its own edge state;
// during a transition a held button reads 0, and 1 once it ends; an
// unreadable pad gives 0 and keeps the stored state.
TEST_F(Joystick, ButtonsAreMaskBitsWithEdgeStatesPerButton) {
  Calibrated();
  Move(kC, kC, 0b1010);
  int b[4];
  EXPECT_EQ(oxInput::JoyButtons(0, &b[0], &b[1], &b[2], &b[3]), 1);
  EXPECT_EQ(std::vector<int>(b, b + 4), (std::vector<int>{0, 1, 0, 1}));
  EXPECT_EQ(Series(4, [](int i) { return oxInput::JoyButton(0, i + 1); }), (std::vector<int>{0, 1, 0, 1}));
  const uint32_t masks[] = {0, 1, 1, 1, 0, 0, 1, 0};
  EXPECT_EQ(Series(8, [&](int i) { Move(kC, kC, masks[i]); return oxInput::JoyButtonState(0, 1); }),
            (std::vector<int>{0, 1, 3, 3, 2, 0, 1, 2}));
  EXPECT_EQ(oxInput::JoyButtonState(0, 2), 0);
  Move(kC, kC, 0);
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 0);
  Move(kC, kC, 1);
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 1);
  oxd::Transition().step = 7;
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 0);
  oxd::Transition().step = 0;
  EXPECT_EQ(Series(2, [](int) { return oxInput::JoyButtonState(0, 1); }), (std::vector<int>{1, 3}));
  plat::headless::SetJoystick(0, false, kC, kC, 1);
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 0);
  Move(kC, kC, 1);
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 3);
}

// A button's ramp grows by its rate a second to 100 and drops to 0 on release;
// all four ramps come from one reading and the single query shares them.
TEST_F(Joystick, ButtonRampsGrowToOneHundredAndDropOnRelease) {
  Calibrated();
  oxInput::JoySetRamp(0, 0, 200);
  Move(kC, kC, 1);
  ox::App().frameSeconds = 0.3f;
  EXPECT_EQ(Series(3, [](int) { return oxInput::JoyButtonRamp(0, 1); }), (std::vector<int>{60, 100, 100}));
  Move(kC, kC, 0);
  EXPECT_EQ(oxInput::JoyButtonRamp(0, 1), 0);
  ox::App().frameSeconds = 0.1f;
  oxInput::JoySetRamp(0, 0, 150);
  Move(kC, kC, 0b0101);
  int r[4];
  ASSERT_EQ(oxInput::JoyButtonRamps(0, &r[0], &r[1], &r[2], &r[3]), 1);
  EXPECT_EQ(std::vector<int>(r, r + 4), (std::vector<int>{15, 0, 15, 0}));
  Move(kC, kC, 0b0110);
  oxInput::JoyButtonRamps(0, &r[0], &r[1], &r[2], &r[3]);
  EXPECT_EQ(std::vector<int>(r, r + 4), (std::vector<int>{0, 15, 30, 0}));
  EXPECT_EQ(oxInput::JoyButtonRamp(0, 3), 45);
}

// The analogue ramp follows the stick at its rate, back to 0 on release,
// negative upward, through zero when reversed, truncated toward zero.
TEST_F(Joystick, AnalogueRampPushedReleasedReversedAndTruncated) {
  Calibrated();
  oxInput::JoySetRamp(0, 400, 0);
  const uint32_t xs[] = {65535, 65535, 65535, 65535, kC, kC, kC, kC, kC};
  EXPECT_EQ(Series(9, [&](int i) { Move(xs[i], kC); return Analog().first; }),
            (std::vector<int>{40, 80, 100, 100, 60, 20, 0, 0, 0}));
  const uint32_t ys[] = {0, 0, 0, 65535, 65535, 65535};
  EXPECT_EQ(Series(6, [&](int i) { Move(kC, ys[i]); return Analog().second; }),
            (std::vector<int>{-40, -80, -100, -60, -20, 20}));
  Calibrated();
  oxInput::JoySetRamp(0, 5, 0);  // 0.5 a poll at 0.1 s
  Move(0, 65535);
  EXPECT_EQ(Analog(), std::make_pair(0, 0));  // -0.5, +0.5
  EXPECT_EQ(Analog(), std::make_pair(-1, 1));
}

// ResetRamps restarts the ramps from 0 at the same rates and keeps the edge
// states; InitJoystick clears rates and edge states too.
TEST_F(Joystick, ResetRampsKeepsRatesAndEdgeStatesAndInitClearsEverything) {
  Calibrated();
  oxInput::JoySetRamp(0, 400, 200);
  Move(65535, kC, 1);
  auto read = [] {  // braced lists evaluate left to right
    return std::vector<int>{Analog().first, oxInput::JoyButtonRamp(0, 1), oxInput::JoyButtonState(0, 1)};
  };
  EXPECT_EQ(read(), (std::vector<int>{40, 20, 1}));
  oxInput::JoyResetRamps();
  EXPECT_EQ(read(), (std::vector<int>{40, 20, 3}));
  oxInput::InitJoystick();
  EXPECT_EQ(read(), (std::vector<int>{0, 0, 1}));
}


// Axis, button and plugging lines in any case, with comments; pads named in
// the script are there from the start, centred, unless their first line in
// frame order is an attach; joystick events are not key events.
TEST(JoystickScript, ParsesAxesButtonsAndPlugging) {
  const char text[] =
      "1 JOY0 X 0        # left\n"
      "2 joy0 y 65535\n"
      "2 JOY1 BUTTON 3 down\n"
      "3 JOY1 button 3 UP\n"
      "4 JOY0 detach\n"
      "5 JOY0 attach\n"
      "2 A down\n"
      "6 answer yes\n";
  plat::InputScript s;
  char err[160] = "";
  ASSERT_TRUE(s.Parse(text, sizeof text - 1, err, sizeof err)) << err;
  EXPECT_EQ(s.size(), 8u);
  ASSERT_NE(s.Pad(0), nullptr);
  EXPECT_TRUE(s.Pad(0)->scripted && s.Pad(0)->attached && s.Pad(0)->x == kC);
  EXPECT_EQ(s.Pad(2), nullptr);
  std::vector<int> keys;
  auto take = [&](uint32_t pass) {
    s.TakeKeyEvents(pass, [&](const plat::ScriptEvent& e) { keys.push_back(e.value); });
  };
  take(1);
  EXPECT_EQ(s.Pad(0)->x, 0u);
  take(2);
  EXPECT_TRUE(s.Pad(0)->y == 65535u && s.Pad(1)->buttons == 0b100u);
  take(3);
  EXPECT_EQ(s.Pad(1)->buttons, 0u);
  take(4);
  EXPECT_FALSE(s.Pad(0)->attached);
  take(5);
  EXPECT_TRUE(s.Pad(0)->attached);
  EXPECT_EQ(s.TakeAnswer(6), 1);
  EXPECT_EQ(keys, std::vector<int>{'A'});
  const char early[] = "9 JOY1 attach\n3 JOY1 X 100\n";
  ASSERT_TRUE(s.Parse(early, sizeof early - 1, err, sizeof err)) << err;
  EXPECT_TRUE(s.Pad(1)->attached);
  const char later[] = "5 JOY1 attach\n7 JOY1 X 100\n";
  ASSERT_TRUE(s.Parse(later, sizeof later - 1, err, sizeof err)) << err;
  EXPECT_TRUE(!s.Pad(1)->attached && !s.Pad(0)->scripted);
  s.TakeKeyEvents(5, [](const plat::ScriptEvent&) {});
  EXPECT_TRUE(s.Pad(1)->attached);
}

TEST(JoystickScript, RejectsBadJoystickLinesWithTheirNumber) {
  const char* bad[] = {"1 JOY2 X 5",          "1 JOY01 X 5",           "1 JOY X 5",
                       "1 JOY0 X 65536",      "1 JOY0 X -1",           "1 JOY0 X +5",
                       "1 JOY0 X five",       "1 JOY0 Z 5",            "1 JOY0 X",
                       "1 JOY0 BUTTON 0 down", "1 JOY0 BUTTON 33 down", "1 JOY0 BUTTON 1 sideways",
                       "1 JOY0 BUTTON 1",     "1 JOY0 attach now",     "1 JOY0 plug",
                       "0 JOY0 attach",       "1 JOY0 BUTTON 1 down x", "1 A down up extra"};
  for (const char* line : bad) {
    const std::string text = std::string("1 JOY0 X 5\n") + line + "\n";
    plat::InputScript s;
    char err[160] = "";
    EXPECT_FALSE(s.Parse(text.data(), text.size(), err, sizeof err)) << line;
    EXPECT_EQ(strncmp(err, "line 2:", 7), 0) << line << ": " << err;
    EXPECT_TRUE(s.size() == 0u && !s.Pad(0)->scripted) << line;
  }
}

// The whole road: a script file, the main loop, a scene polling pad 0.
std::vector<int> g_digits, g_states;

TEST(JoystickScript, DrivesThePadThroughTheMainLoop) {
  const std::string path = oxtest::DataDir() + "joystick-script.txt";
  ASSERT_TRUE(oxtest::WriteFile(
      path, "2 JOY0 X 0\n2 JOY0 BUTTON 1 down\n4 JOY0 Y 65535\n4 JOY0 BUTTON 1 up\n5 JOY0 X 32767\n"));
  GameDefinition game;
  game.load = [] {
    oxDraw::Screen(640, 480, 2);
    ox::App().scene = 1;
  };
  game.scenes[1] = [] {
    g_digits.push_back(oxInput::JoyDirection8(0));
    g_states.push_back(oxInput::JoyButtonState(0, 1));
  };
  g_digits.clear();
  g_states.clear();
  std::vector<std::string> args = {"samplegame", "--headless", "--frames", "6", "--input", path};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ASSERT_EQ(oxRun(int(argv.size()), argv.data(), game), 0);
  // Calibrated at rest during the load; left from pass 2, down-left from
  // pass 4, down from pass 5; button 1 held over passes 2 and 3.
  EXPECT_EQ(g_digits, (std::vector<int>{5, 4, 4, 1, 2, 2}));
  EXPECT_EQ(g_states, (std::vector<int>{0, 1, 3, 2, 0, 0}));
}

}  // namespace
