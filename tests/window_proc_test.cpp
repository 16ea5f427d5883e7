// Window messages, key state and the quit sequence.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/app_state.h"
#include "core/input_control.h"
#include "core/ox_app.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "frame/window_proc.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

using plat::Message;

void Send(uint32_t msg, intptr_t w = 0, intptr_t l = 0) { ox::WindowProc(Message{msg, w, l}); }
void Down(int vk) { Send(plat::kMsgKeyDown, vk); }
void Up(int vk) { Send(plat::kMsgKeyUp, vk); }

// Takes every queued message through the window procedure; returns true
// when the quit message came.
bool Drain() {
  Message m;
  bool quit = false;
  while (plat::PeekMessage(m)) {
    if (m.message == plat::kMsgQuit) quit = true;
    else ox::WindowProc(m);
  }
  return quit;
}

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override { oxtest::OpenScreen(); }
};

TEST_F(WindowProcTest, LastKeyFollowsPressesAndOnlyItsOwnRelease) {
  Down(13);
  EXPECT_EQ(ox::LastKey(), 13);
  Down(13);  // auto-repeat
  EXPECT_EQ(ox::LastKey(), 13);
  Up(13);
  EXPECT_EQ(ox::LastKey(), 0);
  Down('A');
  Down('B');
  Up('A');
  EXPECT_EQ(ox::LastKey(), 'B');
  EXPECT_EQ(ox::Input().stickyKey, 'B');
  Up('B');
  EXPECT_EQ(ox::LastKey(), 0);
  EXPECT_EQ(ox::Input().stickyKey, 'B');  // sticky survives the release
}

// Runs key operations: "d13" key down, "u13" key up, "R" resume input,
// "P" a whole frame pass; keys are codes or single letters.
void Keys(const std::string& ops) {
  for (size_t i = 0; i < ops.size();) {
    size_t end = ops.find(' ', i);
    if (end == std::string::npos) end = ops.size();
    const std::string op = ops.substr(i, end - i);
    i = end + 1;
    const std::string arg = op.substr(1);
    const int vk = arg.size() == 1 && arg[0] >= 'A' ? arg[0] : atoi(arg.c_str());
    if (op[0] == 'd') Down(vk);
    else if (op[0] == 'u') Up(vk);
    else if (op == "R") ox::ResumeInput();
    else if (op == "P") {
      ox::BeginKeyPass();
      ox::EndKeyPass();
    }
  }
}

TEST_F(WindowProcTest, AKeyTappedBetweenPassesIsTheLastKeyForTheNextPassOnly) {
  const struct {
    const char* before;  // messages before the pass
    int begin;           // last key as the pass begins
    const char* during;  // messages during the pass
    int end;             // last key after the pass
  } cases[] = {
      {"d13 u13", 13, "", 0},             // a tap
      {"d13 u13 d13 u13", 13, "", 0},     // two taps
      {"d13 P u13", 0, "", 0},            // held across a pass: the release clears at once
      {"d13 P d13 u13", 0, "", 0},        // a repeat of a held key is no new press
      {"d13 u13 dA", 'A', "", 'A'},       // a later press wins
      {"d13 u13 d13", 13, "", 13},        // pressed again: held
      {"dA d13 u13", 13, "", 0},          // the release of the last key
      {"dA P d13 u13 uA", 13, "", 0},     // a held key's release does not clear the tap
      {"d13 u13 R", 0, "", 0},            // resuming input clears the tap too
      {"d13 u13", 13, "dB", 'B'},         // a press during the pass is kept
      {"d13 u13", 13, "d13", 13},         // so is the tapped key pressed again
      {"d13 u13", 13, "u13", 0},          // a release during the pass clears as ever
      {"d13 u13 P", 0, "", 0},            // shown for one pass only
  };
  for (const auto& c : cases) {
    ox::ResetAppState();
    Keys(c.before);
    ox::BeginKeyPass();
    EXPECT_EQ(ox::LastKey(), c.begin) << c.before;
    Keys(c.during);
    ox::EndKeyPass();
    EXPECT_EQ(ox::LastKey(), c.end) << c.before << " / " << c.during;
  }
  // The key choice sees a tap as released, as before: it returns the key
  // in the very pass that shows it.
  ox::ResetAppState();
  const int codes[] = {plat::kVkReturn, 0};
  EXPECT_EQ(ox::KeyChoice(codes), 0);
  Keys("d13 u13");
  ox::BeginKeyPass();
  EXPECT_EQ(ox::KeyChoice(codes), plat::kVkReturn);
  ox::EndKeyPass();
}

TEST_F(WindowProcTest, SuspendedInputIgnoresPressesAndResumeClearsTheLastKey) {
  Down('X');
  ox::SuspendInput();
  Down('Y');
  Send(plat::kMsgLButtonDown);
  EXPECT_EQ(ox::LastKey(), 'X');
  EXPECT_EQ(ox::App().clickLeft, 0);
  ox::ResumeInput();
  EXPECT_EQ(ox::LastKey(), 0);
}

TEST_F(WindowProcTest, PauseTogglesWithSAndWatchKeyCountsReleases) {
  Down('S');
  Up('S');
  EXPECT_EQ(ox::PauseFlag(), 1);
  Down('S');
  EXPECT_EQ(ox::PauseFlag(), 0);
  ox::WatchKey(plat::kVkSpace);
  for (int i = 0; i < 3; ++i) {
    Down(plat::kVkSpace);
    Up(plat::kVkSpace);
  }
  Up('Q');
  EXPECT_EQ(ox::ReleaseCount(), 3);
}

// The desktop's autorepeat of a held key: key-downs marked as repeats.
TEST_F(WindowProcTest, AutorepeatIsNoNewPressEdgeLastKeyOrPauseToggle) {
  const auto repeat = [](uint32_t msg, int vk, int times) {
    for (int i = 0; i < times; ++i) plat::PostMessage(msg, vk, plat::kKeyRepeat);
    Drain();
  };
  // Holding S through 22 repeats is one press: paused, and not unpaused.
  Down('S');
  repeat(plat::kMsgKeyDown, 'S', 22);
  Up('S');
  EXPECT_EQ(ox::PauseFlag(), 1);
  repeat(plat::kMsgKeyDown, 'S', 15);  // repeats without a press change nothing
  EXPECT_EQ(ox::PauseFlag(), 1);

  // A repeat in a later pass is no press edge of that pass.
  ox::BeginKeyPass();
  Down('X');
  EXPECT_EQ(ox::Input().keyPressedThisPass, 1);
  ox::EndKeyPass();
  ox::BeginKeyPass();
  repeat(plat::kMsgKeyDown, 'X', 3);
  EXPECT_EQ(ox::Input().keyPressedThisPass, 0);
  EXPECT_EQ(ox::LastKey(), 'X');
  ox::EndKeyPass();

  // A repeat of an older held key does not take the last key back, nor
  // set the sticky key; resumed input stays clear while X only repeats.
  Down('Y');
  repeat(plat::kMsgKeyDown, 'X', 2);
  EXPECT_EQ(ox::LastKey(), 'Y');
  EXPECT_EQ(ox::Input().stickyKey, 'Y');
  Up('Y');
  ox::SuspendInput();
  ox::ResumeInput();
  repeat(plat::kMsgKeyDown, 'X', 2);
  EXPECT_EQ(ox::LastKey(), 0);
  Up('X');

  // System keys alike: a held F10 (mode 1) is one press.
  ox::SetSystemKeyMode(1);
  Send(plat::kMsgSysKeyDown, plat::kVkF10);
  Up(plat::kVkF10);
  EXPECT_EQ(ox::LastKey(), 0);
  repeat(plat::kMsgSysKeyDown, plat::kVkF10, 4);
  EXPECT_EQ(ox::LastKey(), 0);
  // Escape's repeats are no quit; its press is.
  repeat(plat::kMsgKeyDown, plat::kVkEscape, 3);
  EXPECT_EQ(ox::Input().released, 0);
  Down(plat::kVkEscape);
  EXPECT_EQ(ox::Input().released, 1);
}

TEST_F(WindowProcTest, SystemKeysFollowTheSystemKeyMode) {
  // Mode 0 (set by screen set-up): Alt+F4 and F10 do nothing.
  Send(plat::kMsgSysKeyDown, plat::kVkMenu);
  Send(plat::kMsgSysKeyDown, plat::kVkF4);
  Send(plat::kMsgSysKeyDown, plat::kVkF10);
  EXPECT_EQ(ox::LastKey(), 0);
  EXPECT_FALSE(Drain());
  EXPECT_EQ(ox::Input().released, 0);
  // Mode 2: Alt alone is swallowed, F10 is a key press.
  ox::SetSystemKeyMode(2);
  Send(plat::kMsgSysKeyDown, plat::kVkMenu);
  EXPECT_EQ(ox::LastKey(), 0);
  Send(plat::kMsgSysKeyDown, plat::kVkF10);
  EXPECT_EQ(ox::LastKey(), plat::kVkF10);
  // Its release arrives as a system key too and clears it: no stuck key.
  Send(plat::kMsgSysKeyUp, plat::kVkF10);
  EXPECT_EQ(ox::LastKey(), 0);
  // A key pressed before Alt and released while Alt is held.
  ox::SetSystemKeyMode(0);
  Down(plat::kVkLeft);
  Send(plat::kMsgSysKeyUp, plat::kVkLeft);
  EXPECT_EQ(ox::LastKey(), 0);
}

TEST_F(WindowProcTest, MouseMessagesSetPositionAndButtons) {
  Send(plat::kMsgMouseMove, 0, plat::PackPoint(600, 470));
  EXPECT_EQ(ox::App().mouseX, 600);
  EXPECT_EQ(ox::App().mouseY, 470);
  Send(plat::kMsgRButtonDown);
  EXPECT_EQ(ox::Input().buttonHeld, 2);
  Send(plat::kMsgLButtonUp);  // not the held button
  EXPECT_EQ(ox::Input().buttonHeld, 2);
  Send(plat::kMsgRButtonUp);
  EXPECT_EQ(ox::Input().buttonHeld, 0);
  EXPECT_EQ(ox::Input().lastButton, 2);
  Send(plat::kMsgLButtonDblClk);
  EXPECT_EQ(ox::App().doubleLeft, 1);
  // A window move gives a signed client origin.
  Send(plat::kMsgMove, 0, plat::PackPoint(-20, 35));
  EXPECT_EQ(ox::App().clientX, -20);
  EXPECT_EQ(ox::App().clientY, 35);
  EXPECT_EQ(ox::Input().screenRight, 620);
  EXPECT_EQ(ox::Input().screenBottom, 515);
  // The program moves the pointer in picture coordinates; confinement holds.
  ox::SetCursorPosition(100, 200);
  int x, y;
  plat::CursorPos(x, y);
  EXPECT_EQ(x, 100);
  EXPECT_EQ(y, 200);
  ox::ConfineCursor(0, 0, 50, 50);
  ox::SetCursorPosition(100, 200);
  plat::CursorPos(x, y);
  EXPECT_EQ(x, 49);
  EXPECT_EQ(y, 49);
}

TEST_F(WindowProcTest, FullScreenHidesThePointerUntilTheApplicationIsLeft) {
  ox::App().fullScreen = 1;
  Send(plat::kMsgSetCursor);
  EXPECT_FALSE(plat::CursorVisible());
  Send(plat::kMsgActivateApp, 0);
  EXPECT_TRUE(plat::CursorVisible());
  EXPECT_EQ(ox::App().active, 0);
  // While a message box is up the pointer stays.
  ox::App().cursorForced = 1;
  Send(plat::kMsgSetCursor);
  EXPECT_TRUE(plat::CursorVisible());
}

TEST_F(WindowProcTest, CursorClipModeConfinesOnActivationAndRightDoubleClickToggles) {
  ox::SetCursorClipMode(1);
  Send(plat::kMsgActivateApp, 1);
  int l, t, r, b;
  EXPECT_TRUE(plat::headless::CursorConfined(&l, &t, &r, &b));
  EXPECT_EQ(r, 640);
  EXPECT_EQ(b, 480);
  Send(plat::kMsgRButtonDblClk);
  EXPECT_FALSE(plat::headless::CursorConfined());
  EXPECT_EQ(ox::CursorClipped(), 0);
  Send(plat::kMsgRButtonDblClk);
  EXPECT_TRUE(plat::headless::CursorConfined());
  Send(plat::kMsgActivateApp, 0);
  EXPECT_FALSE(plat::headless::CursorConfined());
}

TEST_F(WindowProcTest, EscapeReleasesOnceThenTheCloseMessageEndsTheLoop) {
  Down(plat::kVkEscape);
  EXPECT_EQ(ox::Input().released, 1);
  EXPECT_EQ(ox::Input().closeState, 2);
  EXPECT_EQ(oxd::Scr().opened, 0);
  // A second request does nothing.
  EXPECT_EQ(ox::QuitSequence(), 1);
  // The posted close message destroys the window and posts the quit.
  EXPECT_TRUE(Drain());
  EXPECT_FALSE(plat::headless::WindowExists());
}

TEST_F(WindowProcTest, CloseMessageRunsTheQuitSequenceItself) {
  Send(plat::kMsgClose);
  EXPECT_EQ(ox::Input().released, 1);
  EXPECT_EQ(ox::Input().closeState, 2);
  EXPECT_EQ(oxd::Scr().opened, 0);
  EXPECT_FALSE(plat::headless::WindowExists());
  // No second close message was posted; only the quit message follows.
  Message m;
  ASSERT_TRUE(plat::PeekMessage(m));
  EXPECT_EQ(m.message, plat::kMsgQuit);
  EXPECT_FALSE(plat::PeekMessage(m));
}

TEST_F(WindowProcTest, KeyChoiceReturnsACodeAfterPressAndRelease) {
  const int codes[] = {plat::kVkReturn, plat::kVkSpace, 1, 0};
  // A key already held when asking: nothing until everything is up.
  Down(plat::kVkSpace);
  EXPECT_EQ(ox::KeyChoice(codes), 0);
  Up(plat::kVkSpace);
  // Phase 1 now; the sticky key is still Space from before, so it is chosen.
  EXPECT_EQ(ox::KeyChoice(codes), plat::kVkSpace);
  // Unlisted keys are ignored.
  Down('Q');
  Up('Q');
  EXPECT_EQ(ox::KeyChoice(codes), 0);
  EXPECT_EQ(ox::KeyChoice(codes), 0);
  // Enter: pressed (not yet returned), then released (returned once).
  Down(plat::kVkReturn);
  EXPECT_EQ(ox::KeyChoice(codes), 0);
  EXPECT_EQ(ox::KeyChoice(codes), 0);
  Up(plat::kVkReturn);
  EXPECT_EQ(ox::KeyChoice(codes), plat::kVkReturn);
  EXPECT_EQ(ox::KeyChoice(codes), 0);
  // The left button.
  Send(plat::kMsgLButtonDown);
  EXPECT_EQ(ox::KeyChoice(codes), 0);
  Send(plat::kMsgLButtonUp);
  EXPECT_EQ(ox::KeyChoice(codes), 1);
  EXPECT_EQ(ox::Input().lastButton, 0);
}

TEST_F(WindowProcTest, RaiseRequestBringsTheWindowToTheFront) {
  int before = plat::headless::RaiseCount();
  Send(plat::kMsgRaise);
  EXPECT_EQ(plat::headless::RaiseCount(), before + 1);
}

}  // namespace
