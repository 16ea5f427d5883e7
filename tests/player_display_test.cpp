// The player's display values reach the window through oxSettings::Changed()
// all at once, only when they changed, and oxSystem::IsWindowed() follows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/app_state.h"
#include "frame/ox_settings.h"
#include "frame/ox_system.h"
#include "draw/ox_draw.h"
#include "frame/player_display.h"
#include "frame/player_keys.h"
#include "frame/settings_file.h"
#include "platform/headless.h"
#include "tests/test_support.h"

namespace {

class PlayerDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    oxtest::StartHeadless();
    ox::SetSettingsFile("");
    oxSettings::Current() = oxSettings::Values{};
  }
  void TearDown() override { oxSettings::Current() = oxSettings::Values{}; }
  // The run starts as the settings say, or as --window and --scale say.
  void Start(bool fullScreen, int scale) {
    ox::App().fullScreen = fullScreen ? 1 : 0;  // as oxRun starts it
    ox::StartPlayerDisplay(oxSettings::Current(), fullScreen, scale, false);
    changes_ = plat::headless::DisplayModeChanges();
  }
  int Changes() const { return plat::headless::DisplayModeChanges() - changes_; }
  int changes_ = 0;
};

TEST_F(PlayerDisplay, ChangedAppliesModeScaleAndFillAtOnce) {
  Start(true, 2);
  EXPECT_EQ(oxSystem::IsWindowed(), 0);
  oxSettings::Values& v = oxSettings::Current();
  v.fullscreen = false;
  v.scale = 3;
  v.fill = true;
  oxSettings::Changed();
  EXPECT_EQ(Changes(), 1);
  const plat::DisplayMode& m = plat::headless::CurrentDisplayMode();
  EXPECT_FALSE(m.fullScreen);
  EXPECT_EQ(m.scale, 3);
  EXPECT_TRUE(m.fill);
  EXPECT_EQ(oxSystem::IsWindowed(), 1);
  // A change of the volumes leaves the display alone.
  v.music = 20;
  oxSettings::Changed();
  EXPECT_EQ(Changes(), 1);
  // A remembered window size gives way to a new scale.
  v.windowWidth = 900;
  v.windowHeight = 700;
  oxSettings::Changed();
  EXPECT_EQ(plat::headless::CurrentDisplayMode().width, 900);
  v.scale = 1;
  oxSettings::Changed();
  EXPECT_EQ(plat::headless::CurrentDisplayMode().width, 0);
  EXPECT_EQ(v.windowWidth, 0);
  EXPECT_EQ(v.windowHeight, 0);
  // Back to the defaults: full screen again.
  oxSettings::ResetToDefaults();
  EXPECT_TRUE(plat::headless::CurrentDisplayMode().fullScreen);
  EXPECT_EQ(oxSystem::IsWindowed(), 0);
}

TEST_F(PlayerDisplay, TheToggleGoesFromTheRunsOwnModeAndKeepsItsScale) {
  // --window --scale 1 over settings of full screen at scale 2.
  Start(false, 1);
  ox::ToggleFullScreen();
  EXPECT_TRUE(plat::headless::CurrentDisplayMode().fullScreen);
  EXPECT_EQ(oxSystem::IsWindowed(), 0);
  EXPECT_TRUE(oxSettings::Current().fullscreen);
  ox::ToggleFullScreen();
  EXPECT_FALSE(plat::headless::CurrentDisplayMode().fullScreen);
  EXPECT_EQ(plat::headless::CurrentDisplayMode().scale, 1);
  EXPECT_EQ(oxSystem::IsWindowed(), 1);
  EXPECT_FALSE(oxSettings::Current().fullscreen);
  EXPECT_EQ(Changes(), 2);
  // Other settings changes keep the --window run in its window.
  oxSettings::Current().effects = 5;
  oxSettings::Changed();
  EXPECT_EQ(Changes(), 2);
  EXPECT_EQ(oxSystem::IsWindowed(), 1);
}

}  // namespace

namespace {

plat::Message Key(uint32_t message, int vk, intptr_t lparam = 0) {
  return plat::Message{message, vk, lparam};
}

TEST(PlayerKeys, TheFramesKeysAreTakenWithTheirReleasesAndOthersPass) {
  oxtest::OpenScreen();
  ox::ResetPlayerKeys();
  ox::SetSettingsFile("");
  oxDraw::Present();
  const std::string home = oxtest::DataDir() + "keyhome";
  const char* oldHome = getenv("HOME");
  const std::string saved = oldHome ? oldHome : "";
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
  const int windowed = oxSystem::IsWindowed();
  const struct {
    plat::Message m;
    bool taken;
  } steps[] = {
      {Key(plat::kMsgKeyDown, plat::kVkReturn), false},  // plain Enter is the game's
      {Key(plat::kMsgKeyUp, plat::kVkReturn), false},
      {Key(plat::kMsgSysKeyDown, plat::kVkMenu), false},  // Alt alone too
      {Key(plat::kMsgSysKeyDown, plat::kVkReturn), true},  // Alt+Enter toggles
      {Key(plat::kMsgSysKeyDown, plat::kVkReturn, plat::kKeyRepeat), true},  // once
      {Key(plat::kMsgSysKeyUp, plat::kVkReturn), true},
      {Key(plat::kMsgSysKeyUp, plat::kVkMenu), false},
      {Key(plat::kMsgKeyDown, ox::kVkF11), true},
      {Key(plat::kMsgKeyUp, ox::kVkF11), true},
      {Key(plat::kMsgKeyUp, ox::kVkF11), false},  // a release without its press passes
      {Key(plat::kMsgKeyDown, plat::kVkF12), true},
      {Key(plat::kMsgKeyUp, plat::kVkF12), true},
      {Key(plat::kMsgKeyDown, 'X'), false},
  };
  int toggles = 0;
  for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
    const int before = oxSystem::IsWindowed();
    EXPECT_EQ(ox::TakePlayerKey(steps[i].m), steps[i].taken) << i;
    toggles += oxSystem::IsWindowed() != before;
  }
  EXPECT_EQ(toggles, 2);  // Alt+Enter and F11, the repeat not
  EXPECT_EQ(oxSystem::IsWindowed(), windowed);
  // F12 wrote one picture and says so for two seconds.
  const std::string notice = plat::headless::Notice();
  EXPECT_EQ(notice.rfind("Picture saved: Sample Game ", 0), 0u) << notice;
  const std::string name = notice.substr(strlen("Picture saved: "));
  const std::string png = oxtest::ReadFile(home + "/Pictures/Sample Game/" + name);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  plat::headless::AdvanceClock(ox::kNoticeMs - 20);
  EXPECT_STRNE(plat::headless::Notice(), "");
  plat::headless::AdvanceClock(40);
  EXPECT_STREQ(plat::headless::Notice(), "");
  if (oldHome) setenv("HOME", saved.c_str(), 1);
  else unsetenv("HOME");
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
