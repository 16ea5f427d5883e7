// Wait slots, message boxes and error reports, files and system queries.
#include <gtest/gtest.h>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/app_state.h"
#include "core/error_report.h"
#include "core/ox_app.h"
#include "core/paths.h"
#include "core/wait_slots.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "frame/ox_system.h"
#include "frame/window_proc.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

class SystemTest : public ::testing::Test {
 protected:
  void SetUp() override { oxtest::OpenScreen(); }
};

TEST_F(SystemTest, WaitSlotElapsesAtItsDeadlineAndStaysElapsed) {
  EXPECT_EQ(oxSystem::CheckWait(3), 0);  // unarmed after screen set-up
  ASSERT_EQ(oxSystem::SetWait(3, 500), 1);
  plat::headless::AdvanceClock(499);
  EXPECT_EQ(oxSystem::CheckWait(3), 0);
  plat::headless::AdvanceClock(1);
  EXPECT_EQ(oxSystem::CheckWait(3), 1);
  plat::headless::AdvanceClock(100000);
  EXPECT_EQ(oxSystem::CheckWait(3), 1);
  ASSERT_EQ(oxSystem::InitWait(3), 1);
  EXPECT_EQ(oxSystem::CheckWait(3), 0);
  ASSERT_EQ(oxSystem::SetWait(4, 0), 1);
  EXPECT_EQ(oxSystem::CheckWait(4), 1);
}

TEST_F(SystemTest, BadWaitSlotReportsAndLeavesTheTable) {
  int boxes = plat::headless::BoxCount();
  int beeps = plat::headless::BeepCount();
  EXPECT_EQ(oxSystem::SetWait(0, 100), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, "oxSystem::SetWait : ウェイトNoが範囲外です");
  EXPECT_STREQ(plat::headless::LastBox().caption, "エラー発生");
  EXPECT_EQ(oxSystem::SetWait(11, 100), 0);
  EXPECT_EQ(oxSystem::InitWait(-1), 0);
  EXPECT_STREQ(plat::headless::LastBox().text, "oxSystem::InitWait : ウェイトNoが範囲外です");
  EXPECT_EQ(plat::headless::BoxCount(), boxes + 3);
  EXPECT_EQ(plat::headless::BeepCount(), beeps + 3);
  for (int i = 1; i <= 11; ++i) EXPECT_EQ(ox::WaitDeadline(i), ox::kWaitUnarmed);
  // Out-of-range polls read as not elapsed instead of reading past the table.
  EXPECT_EQ(oxSystem::CheckWait(12), 0);
  EXPECT_EQ(oxSystem::CheckWait(-5), 0);
}

TEST_F(SystemTest, BlockingWaitPassesTheTimeAndResetsTheFrameTimer) {
  uint32_t start = plat::Clock();
  ox::App().frameSeconds = 0.5f;
  oxSystem::Wait(250);
  EXPECT_GT(plat::Clock(), start + 250);
  EXPECT_EQ(ox::App().frameSeconds, 0.0f);
  EXPECT_EQ(ox::App().lastFrameTime, plat::Clock());
}

TEST_F(SystemTest, ClockWrapMakesDeadlinesAcrossItElapseAtOnce) {
  plat::headless::SetClock(0xFFFFFF00u);
  ASSERT_EQ(oxSystem::SetWait(1, 0x200), 1);  // deadline wraps to 0x100
  EXPECT_EQ(oxSystem::CheckWait(1), 1);
  // After 999,999,999 ms of uptime an unarmed slot reads as elapsed.
  plat::headless::SetClock(999999999u);
  EXPECT_EQ(oxSystem::CheckWait(2), 1);
}

TEST_F(SystemTest, MessageAndQuestionForceTheCursorAndResetTheFrameTimer) {
  ox::App().cursorVisible = 0;
  ox::App().frameSeconds = 3.0f;
  oxSystem::Message("score %d", 1200);
  EXPECT_STREQ(plat::headless::LastBox().caption, "メッセージ");
  EXPECT_STREQ(plat::headless::LastBox().text, "score 1200\n");
  EXPECT_EQ(plat::headless::LastBox().icon, 0);
  EXPECT_EQ(ox::App().cursorVisible, 1);
  EXPECT_EQ(ox::App().cursorForced, 0);
  EXPECT_EQ(ox::App().frameSeconds, 0.0f);
  plat::headless::QueueAnswer(1);
  EXPECT_EQ(oxSystem::Question("again?"), 1);
  EXPECT_EQ(plat::headless::LastBox().buttons, 1);
  EXPECT_EQ(oxSystem::Question("again?"), 0);  // default answer No
}

TEST_F(SystemTest, LongTextsAreCutAtACharacterBoundary) {
  std::string longText;
  for (int i = 0; i < 300; ++i) longText += "あ";  // 900 bytes
  oxSystem::Message("%s", longText.c_str());
  const char* shown = plat::headless::LastBox().text;
  size_t n = strlen(shown);
  EXPECT_LT(n, 400u);
  EXPECT_EQ(shown[n - 1], '\n');
  EXPECT_EQ((n - 1) % 3, 0u);  // whole characters only
  ox::ErrorReport(longText.c_str(), "x");
  n = strlen(plat::headless::LastBox().text);
  EXPECT_EQ(n % 3, 0u);
}

TEST_F(SystemTest, CheckDisplayWarnsAndOffersFullScreenOnAShallowDesktop) {
  ox::App().fullScreen = 1;
  EXPECT_EQ(oxSystem::CheckDisplay(""), 1);  // full screen: nothing to check
  ox::App().fullScreen = 0;
  EXPECT_EQ(oxSystem::CheckDisplay(""), 1);  // 16-bit emulated display: deep enough
  // A preferred depth above the display's: warn, then ask.
  oxDraw::SetDepth(32, 0, 0);
  plat::headless::QueueAnswer(1);
  EXPECT_EQ(oxSystem::CheckDisplay("*"), 1);
  EXPECT_EQ(ox::App().fullScreen, 1);
  EXPECT_STREQ(plat::headless::LastBox().text, "フルスクリーンに切り換えますか？\n");
  // With an option file the choice is written there.
  ox::App().fullScreen = 0;
  plat::headless::QueueAnswer(1);
  EXPECT_EQ(oxSystem::CheckDisplay("full.cfg"), 1);
  EXPECT_EQ(oxSystem::ReadNumber("full.cfg"), 1);
  // No answer: the program quits.
  ox::App().fullScreen = 0;
  EXPECT_EQ(oxSystem::CheckDisplay("full.cfg"), 0);
  EXPECT_EQ(ox::Input().released, 1);
}

TEST_F(SystemTest, CheckDisplayWarningNamesTheColourCounts) {
  ox::App().fullScreen = 0;
  oxDraw::SetDepth(24, 0, 0);
  EXPECT_EQ(oxSystem::CheckDisplay(""), 0);  // warn only, then quit
  // The warning was the box before the quit; its text names both counts.
  // (The last box is that warning: no question was asked.)
  std::string text = plat::headless::LastBox().text;
  EXPECT_NE(text.find("画面が65536色以下に設定されています。\n"), std::string::npos) << text;
  EXPECT_NE(text.find("1670万色以上に設定するか、"), std::string::npos) << text;
  EXPECT_EQ(text.rfind("フルスクリーンで実行させて下さい。\n"), text.size() - strlen("フルスクリーンで実行させて下さい。\n"));
}

TEST_F(SystemTest, NumbersRoundTripAndReplaceTheFileWhole) {
  oxSystem::WriteNumber("level.dat", 1);
  std::string path = oxtest::DataDir() + "level.dat";
  EXPECT_EQ(oxtest::ReadFile(path), "1");
  EXPECT_EQ(oxSystem::ReadNumber("level.dat"), 1);
  oxSystem::WriteNumber("level.dat", -123456);
  EXPECT_EQ(oxtest::ReadFile(path), "-123456");
  EXPECT_EQ(oxSystem::ReadNumber("level.dat"), -123456);
  // No temporary file is left behind.
  DIR* dir = opendir(oxtest::DataDir().c_str());
  ASSERT_NE(dir, nullptr);
  while (dirent* e = readdir(dir)) EXPECT_NE(strncmp(e->d_name, "level.dat.", 10), 0) << e->d_name;
  closedir(dir);
  // Missing or non-numeric files read as 0.
  EXPECT_EQ(oxSystem::ReadNumber("missing.dat"), 0);
  ASSERT_TRUE(oxtest::WriteFile(oxtest::DataDir() + "junk.dat", "abc"));
  EXPECT_EQ(oxSystem::ReadNumber("junk.dat"), 0);
  // A file that cannot be created is skipped silently.
  oxSystem::WriteNumber("no/such/dir/x.dat", 5);
  EXPECT_EQ(oxSystem::ReadNumber("no/such/dir/x.dat"), 0);
}

TEST_F(SystemTest, RedirectFileMovesTheSettingsDirectory) {
  std::string config = oxtest::DataDir() + "config";
  std::string root = oxtest::DataDir() + "saves";
  ASSERT_EQ(mkdir(config.c_str(), 0700), 0) << config;
  ASSERT_EQ(mkdir(root.c_str(), 0700), 0) << root;
  ASSERT_TRUE(oxtest::WriteFile(config + "/redirect.txt", root + "/\nsecond line\n"));
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  oxSystem::SetSettingsRoot("redirect.txt");
  EXPECT_EQ(std::string(ox::SettingsRoot()), root);
  // Settings go to root + the name of the data directory's own folder.
  char dir[512];
  ASSERT_TRUE(ox::DataDirectory(dir, sizeof dir, true));
  std::string data = oxtest::DataDir();
  std::string folder = data.substr(0, data.size() - 1);
  folder = folder.substr(folder.rfind('/') + 1);
  EXPECT_EQ(std::string(dir), root + "/" + folder + "/");
  mkdir(dir, 0700);
  oxSystem::WriteNumber("opt.dat", 7);
  EXPECT_EQ(oxtest::ReadFile(std::string(dir) + "opt.dat"), "7");
  // Data files stay where they were.
  ASSERT_TRUE(ox::DataDirectory(dir, sizeof dir, false));
  EXPECT_EQ(std::string(dir), data);
  // Without a redirect file the root is empty again.
  oxSystem::SetSettingsRoot("missing.txt");
  EXPECT_STREQ(ox::SettingsRoot(), "");
  unsetenv("XDG_CONFIG_HOME");
}

TEST_F(SystemTest, AWriteRemovesTheTemporaryFilesOfDeadWritersOnly) {
  // A pid that no process has any more: a child that has been waited for.
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  const std::string dead = std::to_string(child), self = std::to_string(getpid());
  const std::string dir = oxtest::DataDir();
  const struct {
    std::string name;
    bool stays;
  } files[] = {
      {"score.dat.tmp" + dead, false},
      {"other.dat.tmp" + dead, false},  // any settings file of that writer
      {"other.dat.tmp" + self, true},   // a live writer: this process
      {"other.dat.tmp1", true},         // a live writer: the first process
      {"notes.txt", true},
      {"notes.tmp" + dead + "x", true},
      {"notes.tmp0" + dead, true},
      {".tmp" + dead, true},
  };
  for (const auto& f : files) {
    FILE* out = fopen((dir + f.name).c_str(), "w");
    ASSERT_NE(out, nullptr) << f.name;
    fputs("7", out);
    fclose(out);
  }
  const std::string folder = dir + "folder.tmp" + dead;  // not a file: stays
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);

  oxSystem::WriteNumber("score.dat", 3);
  EXPECT_EQ(oxtest::ReadFile(dir + "score.dat"), "3");
  for (const auto& f : files) {
    EXPECT_EQ(access((dir + f.name).c_str(), F_OK) == 0, f.stays) << f.name;
    remove((dir + f.name).c_str());
  }
  struct stat st;
  EXPECT_EQ(stat(folder.c_str(), &st), 0);
  rmdir(folder.c_str());
}

// Sets an environment variable, or removes it for nullptr.
void SetEnv(const char* name, const char* value) {
  if (value) setenv(name, value, 1);
  else unsetenv(name);
}

TEST_F(SystemTest, ConfigDirectoryComesFromTheEnvironmentOrTheAccountNeverTmp) {
  const char* savedHome = getenv("HOME");
  const std::string home = savedHome ? savedHome : "";
  struct passwd* pw = getpwuid(getuid());
  const std::string account = pw && pw->pw_dir[0] == '/' ? std::string(pw->pw_dir) + "/.config" : "";
  const struct {
    const char* xdg;
    const char* home;
    std::string expected;  // "" when there is none
  } cases[] = {
      {"/x/conf/", "/h", "/x/conf"},
      {nullptr, "/h", "/h/.config"},
      {"relative", "/h", "/h/.config"},
      {nullptr, nullptr, account},
      {"", "", account},
  };
  for (const auto& c : cases) {
    SetEnv("XDG_CONFIG_HOME", c.xdg);
    SetEnv("HOME", c.home);
    char dir[512] = "unchanged";
    EXPECT_EQ(plat::ConfigDirectory(dir, sizeof dir), !c.expected.empty()) << c.expected;
    EXPECT_EQ(std::string(dir), c.expected);
  }

  // Without either variable a redirect file in /tmp is not read.
  const std::string name = "oxredirect-" + std::to_string(getpid()) + ".txt";
  FILE* f = fopen(("/tmp/" + name).c_str(), "w");
  ASSERT_NE(f, nullptr);
  fputs("/tmp/planted\n", f);
  fclose(f);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("HOME");
  oxSystem::SetSettingsRoot(name.c_str());
  EXPECT_STREQ(ox::SettingsRoot(), "");
  // An account without a password entry has no configuration directory,
  // so no redirect: settings stay in the data directory.
  if (geteuid() == 0) {
    const pid_t child = fork();
    if (child == 0) {
      if (setuid(54321) != 0 || getpwuid(54321)) _exit(3);
      char dir[512];
      if (plat::ConfigDirectory(dir, sizeof dir)) _exit(1);
      oxSystem::SetSettingsRoot(name.c_str());
      char data[512];
      _exit(ox::SettingsRoot()[0] == '\0' && ox::DataDirectory(data, sizeof data, true) &&
                    oxtest::DataDir() == data
                ? 0
                : 2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  remove(("/tmp/" + name).c_str());
  SetEnv("HOME", savedHome ? home.c_str() : nullptr);
}

TEST_F(SystemTest, DataDirectoryIsTheExecutablesFolder) {
  ox::OverrideDataDirectory(nullptr);
  char dir[4096], exe[4096];
  ASSERT_TRUE(ox::DataDirectory(dir, sizeof dir));
  ASSERT_TRUE(plat::ExecutablePath(exe, sizeof exe));
  std::string e = exe;
  EXPECT_EQ(std::string(dir), e.substr(0, e.rfind('/') + 1));
  char path[4096];
  ASSERT_TRUE(ox::DataPath(path, sizeof path, "SHOT.WAV"));
  EXPECT_EQ(std::string(path), e.substr(0, e.rfind('/') + 1) + "SHOT.WAV");
  // A buffer too small is refused rather than overrun.
  char tiny[4];
  EXPECT_FALSE(ox::DataPath(tiny, sizeof tiny, "SHOT.WAV"));
}

TEST_F(SystemTest, SystemQueries) {
  int y, m, d;
  const char* weekday = nullptr;
  oxSystem::GetDate(&y, &m, &d, &weekday);
  EXPECT_GE(y, 2024);
  EXPECT_TRUE(m >= 1 && m <= 12);
  const char* const days[] = {"日", "月", "火", "水", "木", "金", "土"};
  time_t now = time(nullptr);
  struct tm t;
  localtime_r(&now, &t);
  EXPECT_STREQ(weekday, days[t.tm_wday]);
  int h, mi, s;
  oxSystem::GetTime(&h, &mi, &s);
  EXPECT_TRUE(h >= 0 && h < 24 && mi >= 0 && mi < 60 && s >= 0 && s <= 60);
  EXPECT_GT(oxSystem::DiskFree('C'), 0u);
  EXPECT_GT(oxSystem::FreeMemory(), 0u);
  EXPECT_EQ(oxSystem::GetOSVersion(), -1);
  ox::App().fullScreen = 0;
  EXPECT_EQ(oxSystem::IsWindowed(), 1);
}

}  // namespace
