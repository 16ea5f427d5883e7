// Polled input: key edge states and the input mask, joystick centres,
// directions, buttons and ramps on the headless backend's scripted pads, and
// the input script's joystick lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "draw/ox_draw.h"
#include "draw/transition.h"
#include "frame/app_state.h"
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

// ------------------------------------------------------------ frame driving

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

std::vector<int> KeyStates(const char* script, int passes, int vk,
                           void (*before)(int pass) = nullptr) {
  Frames frames(script);
  std::vector<int> got;
  int state = 0;
  frames.Run(passes, [&](int pass) {
    if (before) before(pass);
    got.push_back(oxInput::GetKey(vk, &state));
  });
  return got;
}

// ------------------------------------------------------------ keys

// Held, released, pressed again right after a release (2 to 3); other
// keys leave the state alone.
TEST(KeyEdges, HoldReleaseRepressAndOtherKeys) {
  EXPECT_EQ(KeyStates("2 X down\n5 X up\n", 7, 'X'), (std::vector<int>{0, 1, 3, 3, 2, 0, 0}));
  EXPECT_EQ(KeyStates("1 Z down\n3 Z up\n4 Z down\n6 Z up\n", 7, 'Z'),
            (std::vector<int>{1, 3, 2, 3, 3, 2, 0}));
  EXPECT_EQ(KeyStates("1 X down\n2 Y down\n3 X up\n", 4, 'Y'), (std::vector<int>{0, 1, 3, 3}));
  EXPECT_EQ(KeyStates("1 LEFT down\n", 2, plat::kVkRight), (std::vector<int>{0, 0}));
}

TEST(KeyEdges, NullStateAndOutOfRangeCodesAreSafe) {
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
void MaskFrom(int pass, void (*set)(bool)) { set(pass >= 3 && pass <= 4); }

TEST(KeyEdges, EveryKeyReadsZeroWhileTheMaskIsInForce) {
  struct Source {
    const char* name;
    void (*before)(int);
  } sources[] = {
      {"transition step",
       [](int p) { MaskFrom(p, [](bool on) { oxd::Transition().step = on ? 4 : 0; }); }},
      {"overlay flag",
       [](int p) { MaskFrom(p, [](bool on) { oxd::Transition().overlay = on ? 1 : 0; }); }},
      {"input suspended", [](int p) {
         MaskFrom(p, [](bool on) {
           if (on) ox::SuspendInput();
           else if (ox::Input().inputSuspended) ox::ResumeInput();
         });
       }},
  };
  for (const Source& s : sources) {
    EXPECT_EQ(KeyStates("1 SPACE down\n", 7, plat::kVkSpace, s.before),
              (std::vector<int>{1, 3, 0, 0, 1, 3, 3}))
        << s.name;
  }
}

// ------------------------------------------------------------ joysticks

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
  std::pair<int, int> Dir(int pad = 0) {
    int dx = 99, dy = 99;
    oxInput::JoyDirection(pad, &dx, &dy);
    return {dx, dy};
  }
  std::pair<int, int> Analog() {
    int ax = 99, ay = 99;
    oxInput::JoyAnalog(0, &ax, &ay);
    return {ax, ay};
  }
};

TEST_F(Joystick, WithoutAPadEverythingIsNeutral) {
  oxInput::InitJoystick();
  int x = 7, y = 7, b[4] = {7, 7, 7, 7}, r[4] = {7, 7, 7, 7};
  oxInput::JoyCentre(0, &x, &y);
  EXPECT_EQ(x + y, 0);
  EXPECT_EQ(oxInput::JoyDirection8(0), 5);
  EXPECT_EQ(Dir(), std::make_pair(0, 0));
  EXPECT_EQ(oxInput::JoyButtons(1, &b[0], &b[1], &b[2], &b[3]), 0);
  EXPECT_EQ(b[0] + b[1] + b[2] + b[3], 0);
  EXPECT_EQ(oxInput::JoyButtonRamps(0, &r[0], &r[1], &r[2], &r[3]), 0);
  EXPECT_EQ(r[0] + r[1] + r[2] + r[3], 0);
  EXPECT_EQ(oxInput::JoyButton(0, 1) + oxInput::JoyButtonState(0, 1), 0);
  EXPECT_EQ(oxInput::JoyButtonRamp(0, 1), 0);
  EXPECT_EQ(oxInput::JoyPosition(0, &x, &y), 0);
  EXPECT_EQ(x + y, 0);
  EXPECT_EQ(Analog(), std::make_pair(0, 0));
  EXPECT_EQ(plat::headless::BoxCount(), 0);  // never an error
}

TEST_F(Joystick, PadsAndButtonsOutOfRangeAreNeutralAndSafe) {
  Calibrated(0xFFFFFFFFu);
  for (int pad : {-1, 2, 1000}) {
    EXPECT_EQ(oxInput::JoyDirection8(pad), 5) << pad;
    EXPECT_EQ(oxInput::JoyButton(pad, 1), 0) << pad;
    oxInput::JoySetRamp(pad, 100, 100);
    int x = 7, y = 7;
    oxInput::JoyCentre(pad, &x, &y);
    EXPECT_EQ(x + y, 0) << pad;
  }
  for (int button : {0, 5, -1, 33}) {
    EXPECT_EQ(oxInput::JoyButton(0, button), 0) << button;
    EXPECT_EQ(oxInput::JoyButtonState(0, button), 0) << button;
    EXPECT_EQ(oxInput::JoyButtonRamp(0, button), 0) << button;
  }
  // Null outputs are skipped.
  EXPECT_EQ(oxInput::JoyDirection(0, nullptr, nullptr), 1);
  EXPECT_EQ(oxInput::JoyButtons(0, nullptr, nullptr, nullptr, nullptr), 1);
}

// Centres are read once at initialisation; a pad plugged in later is
// calibrated at its first reading.
TEST_F(Joystick, CentresAreReadAtInitialisationOrAtALatePadsFirstReading) {
  plat::headless::SetJoystick(0, true, 30000, 36000, 0);
  plat::headless::SetJoystick(1, false, kC, kC, 0);
  oxInput::InitJoystick();
  auto Centre = [](int pad) {
    int x = 7, y = 7;
    oxInput::JoyCentre(pad, &x, &y);
    return std::make_pair(x, y);
  };
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

TEST_F(Joystick, DirectionThresholdsAroundTheCentre) {
  Calibrated();
  struct {
    uint32_t p;
    int d;
  } cases[] = {{0, -1}, {16383, -1}, {16384, 0}, {kC, 0}, {49149, 0}, {49150, 1}, {65535, 1}};
  for (auto c : cases) {
    Move(c.p, kC);
    EXPECT_EQ(Dir(), std::make_pair(c.d, 0)) << "x " << c.p;
    Move(kC, c.p);
    EXPECT_EQ(Dir(), std::make_pair(0, c.d)) << "y " << c.p;
  }
}

TEST_F(Joystick, EightWayDigitsFollowTheNumericKeypad) {
  Calibrated();
  const uint32_t at[3] = {0, kC, 65535};
  const int digits[3][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}};  // [y][x]
  for (int yi = 0; yi < 3; ++yi) {
    for (int xi = 0; xi < 3; ++xi) {
      Move(at[xi], at[yi]);
      EXPECT_EQ(oxInput::JoyDirection8(0), digits[yi][xi]) << xi << "," << yi;
    }
  }
}

TEST_F(Joystick, PositionsHaveTheDeadZone) {
  Calibrated();
  int x, y;
  Move(kC + plat::joystick::kDeadZone, kC - plat::joystick::kDeadZone);
  EXPECT_EQ(oxInput::JoyPosition(0, &x, &y), 1);
  EXPECT_TRUE(x == int(kC) && y == int(kC));
  Move(kC + plat::joystick::kDeadZone + 1, 12);
  oxInput::JoyPosition(0, &x, &y);
  EXPECT_TRUE(x == int(kC + plat::joystick::kDeadZone + 1) && y == 12);
}

TEST_F(Joystick, ButtonsAreBitsOfTheMaskFromButtonOne) {
  Calibrated();
  Move(kC, kC, 0b1010);  // buttons 2 and 4
  int b[4];
  EXPECT_EQ(oxInput::JoyButtons(0, &b[0], &b[1], &b[2], &b[3]), 1);
  EXPECT_EQ(std::vector<int>(b, b + 4), (std::vector<int>{0, 1, 0, 1}));
  EXPECT_TRUE(oxInput::JoyButton(0, 1) == 0 && oxInput::JoyButton(0, 2) == 1 &&
              oxInput::JoyButton(0, 4) == 1);
}

TEST_F(Joystick, ButtonEdgeStatesAreKeptPerButtonAndMasked) {
  Calibrated();
  std::vector<int> got;
  uint32_t masks[] = {1, 1, 1, 0, 0, 1, 0};
  for (uint32_t m : masks) {
    Move(kC, kC, m);
    got.push_back(oxInput::JoyButtonState(0, 1));
    EXPECT_EQ(oxInput::JoyButtonState(0, 2), 0);
  }
  EXPECT_EQ(got, (std::vector<int>{1, 3, 3, 2, 0, 1, 2}));

  // During a transition the button reads 0 even while held, and 1 again
  // once it ends.
  Move(kC, kC, 0);
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 0);
  Move(kC, kC, 1);
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 1);
  oxd::Transition().step = 7;
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 0);
  oxd::Transition().step = 0;
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 1);
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 3);

  // An unreadable pad gives 0 and keeps the stored state.
  plat::headless::SetJoystick(0, false, kC, kC, 1);
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 0);
  Move(kC, kC, 1);
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 3);
}

TEST_F(Joystick, ButtonRampGrowsToOneHundredAndDropsOnRelease) {
  Calibrated();
  oxInput::JoySetRamp(0, 0, 200);
  Move(kC, kC, 1);
  ox::App().frameSeconds = 0.3f;
  EXPECT_EQ(oxInput::JoyButtonRamp(0, 1), 60);
  EXPECT_EQ(oxInput::JoyButtonRamp(0, 1), 100);  // 0.6 s
  EXPECT_EQ(oxInput::JoyButtonRamp(0, 1), 100);
  Move(kC, kC, 0);
  EXPECT_EQ(oxInput::JoyButtonRamp(0, 1), 0);
  // Frame by frame at 0.1 s: 20, 40, 60.
  Move(kC, kC, 1);
  ox::App().frameSeconds = 0.1f;
  std::vector<int> got;
  for (int i = 0; i < 3; ++i) got.push_back(oxInput::JoyButtonRamp(0, 1));
  EXPECT_EQ(got, (std::vector<int>{20, 40, 60}));
}

TEST_F(Joystick, ButtonRampsOfAllFourFromOneReading) {
  Calibrated();
  oxInput::JoySetRamp(0, 0, 150);
  Move(kC, kC, 0b0101);
  int r[4];
  ASSERT_EQ(oxInput::JoyButtonRamps(0, &r[0], &r[1], &r[2], &r[3]), 1);
  EXPECT_EQ(std::vector<int>(r, r + 4), (std::vector<int>{15, 0, 15, 0}));
  Move(kC, kC, 0b0110);
  oxInput::JoyButtonRamps(0, &r[0], &r[1], &r[2], &r[3]);
  EXPECT_EQ(std::vector<int>(r, r + 4), (std::vector<int>{0, 15, 30, 0}));
  // The single-button query shares the ramps.
  EXPECT_EQ(oxInput::JoyButtonRamp(0, 3), 45);
}

TEST_F(Joystick, AnalogueRampPushedReleasedReversedAndTruncated) {
  Calibrated();
  oxInput::JoySetRamp(0, 400, 0);
  std::vector<int> xs;
  Move(65535, kC);
  for (int i = 0; i < 4; ++i) xs.push_back(Analog().first);
  Move(kC, kC);
  for (int i = 0; i < 5; ++i) xs.push_back(Analog().first);
  EXPECT_EQ(xs, (std::vector<int>{40, 80, 100, 100, 60, 20, 0, 0, 0}));
  // Up (y smaller) goes negative; pushing the other way crosses zero.
  std::vector<int> ys;
  Move(kC, 0);
  for (int i = 0; i < 3; ++i) ys.push_back(Analog().second);
  Move(kC, 65535);
  for (int i = 0; i < 3; ++i) ys.push_back(Analog().second);
  EXPECT_EQ(ys, (std::vector<int>{-40, -80, -100, -60, -20, 20}));
  // Values truncate toward zero.
  Calibrated();
  oxInput::JoySetRamp(0, 5, 0);  // 0.5 a poll at 0.1 s
  Move(0, 65535);
  EXPECT_EQ(Analog(), std::make_pair(0, 0));  // -0.5, +0.5
  EXPECT_EQ(Analog(), std::make_pair(-1, 1));
}

TEST_F(Joystick, ResetRampsKeepsRatesAndEdgeStatesAndInitClearsEverything) {
  Calibrated();
  oxInput::JoySetRamp(0, 400, 200);
  Move(65535, kC, 1);
  EXPECT_EQ(Analog().first, 40);
  EXPECT_EQ(oxInput::JoyButtonRamp(0, 1), 20);
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 1);
  oxInput::JoyResetRamps();
  EXPECT_EQ(Analog().first, 40);                 // from 0 again, same rate
  EXPECT_EQ(oxInput::JoyButtonRamp(0, 1), 20);   // same
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 3);   // the edge state stayed
  oxInput::InitJoystick();                        // rates back to 0
  EXPECT_EQ(Analog().first, 0);
  EXPECT_EQ(oxInput::JoyButtonRamp(0, 1), 0);
  EXPECT_EQ(oxInput::JoyButtonState(0, 1), 1);   // the edge state too
}

// ------------------------------------------------------------ the script

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
  // Named pads are there from the start, centred.
  ASSERT_NE(s.Pad(0), nullptr);
  EXPECT_TRUE(s.Pad(0)->scripted);
  EXPECT_TRUE(s.Pad(0)->attached);
  EXPECT_EQ(s.Pad(0)->x, kC);
  EXPECT_EQ(s.Pad(2), nullptr);

  std::vector<int> keys;
  auto take = [&](uint32_t pass) {
    s.TakeKeyEvents(pass, [&](const plat::ScriptEvent& e) { keys.push_back(e.value); });
  };
  take(1);
  EXPECT_EQ(s.Pad(0)->x, 0u);
  take(2);
  EXPECT_EQ(s.Pad(0)->y, 65535u);
  EXPECT_EQ(s.Pad(1)->buttons, 0b100u);
  EXPECT_EQ(keys, std::vector<int>{'A'});  // joystick events are not key events
  take(3);
  EXPECT_EQ(s.Pad(1)->buttons, 0u);
  take(4);
  EXPECT_FALSE(s.Pad(0)->attached);
  take(5);
  EXPECT_TRUE(s.Pad(0)->attached);
  EXPECT_EQ(s.TakeAnswer(6), 1);
  EXPECT_EQ(keys.size(), 1u);
}

TEST(JoystickScript, AFirstAttachLinePlugsThePadInLater) {
  plat::InputScript s;
  char err[160] = "";
  const char text[] = "9 JOY1 attach\n3 JOY1 X 100\n";
  ASSERT_TRUE(s.Parse(text, sizeof text - 1, err, sizeof err)) << err;
  // In frame order the X line comes first, so the pad is there from the start.
  EXPECT_TRUE(s.Pad(1)->attached);
  const char later[] = "5 JOY1 attach\n7 JOY1 X 100\n";
  ASSERT_TRUE(s.Parse(later, sizeof later - 1, err, sizeof err)) << err;
  EXPECT_FALSE(s.Pad(1)->attached);
  EXPECT_FALSE(s.Pad(0)->scripted);
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
    std::string text = std::string("1 JOY0 X 5\n") + line + "\n";
    plat::InputScript s;
    char err[160] = "";
    EXPECT_FALSE(s.Parse(text.data(), text.size(), err, sizeof err)) << line;
    EXPECT_EQ(strncmp(err, "line 2:", 7), 0) << line << ": " << err;
    EXPECT_EQ(s.size(), 0u) << line;
    EXPECT_FALSE(s.Pad(0)->scripted) << line;
  }
}

// The whole road: a script file, the main loop, a scene polling pad 0.
struct PadPoll {
  int digit, state;
};
std::vector<PadPoll> g_polls;

TEST(JoystickScript, DrivesThePadThroughTheMainLoop) {
  std::string path = oxtest::DataDir() + "joystick-script.txt";
  FILE* f = fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fputs("2 JOY0 X 0\n2 JOY0 BUTTON 1 down\n4 JOY0 Y 65535\n4 JOY0 BUTTON 1 up\n5 JOY0 X 32767\n",
        f);
  fclose(f);
  GameDefinition game;
  game.load = [] {
    oxDraw::Screen(640, 480, 2);
    ox::App().scene = 1;
  };
  game.scenes[1] = [] {
    g_polls.push_back({oxInput::JoyDirection8(0), oxInput::JoyButtonState(0, 1)});
  };
  g_polls.clear();
  std::vector<std::string> args = {"samplegame", "--headless", "--frames", "6", "--input", path};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ASSERT_EQ(oxRun(int(argv.size()), argv.data(), game), 0);
  ASSERT_EQ(g_polls.size(), 6u);
  std::vector<int> digits, states;
  for (const PadPoll& p : g_polls) {
    digits.push_back(p.digit);
    states.push_back(p.state);
  }
  // Calibrated at rest during the load; left from pass 2, down-left from
  // pass 4, down from pass 5; button 1 held over passes 2 and 3.
  EXPECT_EQ(digits, (std::vector<int>{5, 4, 4, 1, 2, 2}));
  EXPECT_EQ(states, (std::vector<int>{0, 1, 3, 2, 0, 0}));
}

}  // namespace
