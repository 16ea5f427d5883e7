// The player's settings file: what is written is read back, every damaged
// line is reported once and skipped, and a file that cannot be read or
// written never stops the game.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <cstring>
#include <map>
#include <string>

#include "frame/ox_settings.h"
#include "frame/settings_file.h"
#include "frame/settings_sections.h"
#include "tests/test_support.h"

namespace {

// A game-owned section: [keys] with any key of letters and a value.
std::map<std::string, std::string> g_keys;
bool ReadKeys(const char* key, const char* value) {
  if (!strcmp(value, "bad")) return false;
  g_keys[key] = value;
  return true;
}
void WriteKeys(oxSettings::PutFn put, void* context) {
  for (const auto& [k, v] : g_keys) put(context, k.c_str(), v.c_str());
}
void ResetKeys() { g_keys = {{"fire", "X"}}; }

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ox::ClearSettingsSections();
    ASSERT_TRUE(oxSettings::AddSection("keys", ReadKeys, WriteKeys, ResetKeys));
    ox::SetSettingsFile("");
    ox::LoadSettingsFile(nullptr);
  }
  void TearDown() override {
    ox::ClearSettingsSections();
    ox::SetSettingsFile("");
    oxSettings::Current() = oxSettings::Values{};
  }
  // Reads `text` as a file; answers what was said on standard error.
  std::string Load(const std::string& text, int* problems = nullptr) {
    const std::string path = oxtest::DataDir() + "settings.ini";
    EXPECT_TRUE(oxtest::WriteFile(path, text));
    testing::internal::CaptureStderr();
    const int n = ox::LoadSettingsFile(path.c_str());
    if (problems) *problems = n;
    return testing::internal::GetCapturedStderr();
  }
};

bool SameValues(const oxSettings::Values& a, const oxSettings::Values& b) {
  return a.master == b.master && a.music == b.music && a.effects == b.effects &&
         a.fullscreen == b.fullscreen && a.scale == b.scale && a.fill == b.fill &&
         a.assistSpeed == b.assistSpeed && a.windowWidth == b.windowWidth &&
         a.windowHeight == b.windowHeight;
}

TEST_F(SettingsFile, EveryKeyAndTheGamesSectionsComeBackAsWritten) {
  oxSettings::Values& v = oxSettings::Current();
  v.master = 0;
  v.music = 37;
  v.effects = 100;
  v.fullscreen = false;
  v.scale = 3;
  v.fill = true;
  v.windowWidth = 1000;
  v.windowHeight = 700;
  v.assistSpeed = 50;
  g_keys = {{"fire", "Z"}, {"special", "LSHIFT"}, {"pad.fire", "A"}};
  const oxSettings::Values written = v;
  const auto keys = g_keys;
  const std::string path = oxtest::DataDir() + "cfg/settings.ini";
  testing::internal::CaptureStderr();
  ASSERT_TRUE(ox::SaveSettingsFile(path.c_str()));  // the missing folder is made
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  const std::string text = oxtest::ReadFile(path);
  for (const char* line : {"[audio]\n", "master = 0\n", "music = 37\n", "effects = 100\n",
                           "[display]\n", "fullscreen = false\n", "scale = 3\n", "fill = true\n",
                           "width = 1000\n", "height = 700\n", "[assist]\n", "speed = 50\n",
                           "[keys]\n", "special = LSHIFT\n", "pad.fire = A\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << text;
  // Only the file itself is left: the temporary one was renamed.
  struct stat st;
  EXPECT_NE(stat((path + ".tmp" + std::to_string(getpid())).c_str(), &st), 0);

  ox::LoadSettingsFile(nullptr);  // defaults
  EXPECT_TRUE(SameValues(oxSettings::Current(), oxSettings::Values{}));
  EXPECT_EQ(g_keys.size(), 1u);
  testing::internal::CaptureStderr();
  EXPECT_EQ(ox::LoadSettingsFile(path.c_str()), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(SameValues(oxSettings::Current(), written));
  EXPECT_EQ(g_keys, keys);
}

TEST_F(SettingsFile, DamagedLinesAreReportedWithFileLineAndKeyAndSkipped) {
  const struct {
    const char* name;
    std::string text;
    const char* says;  // a part of the one line on standard error; "" none
  } cases[] = {
      {"unknown key", "[audio]\nmaster = 40\nloudness = 3\n", ":3: unknown key 'loudness' in [audio]"},
      {"value too high", "[audio]\nmaster = 40\nmusic = 101\n", ":3: bad value '101' for music"},
      {"negative", "[audio]\nmaster = 40\neffects = -1\n", ":3: bad value '-1' for effects"},
      {"not a number", "[audio]\nmaster = 40\n[display]\nscale = two\n", ":4: bad value 'two' for scale"},
      {"scale 0", "[audio]\nmaster = 40\n[display]\nscale = 0\n", "bad value '0' for scale"},
      {"bad boolean", "[audio]\nmaster = 40\n[display]\nfill = maybe\n", "bad value 'maybe' for fill"},
      {"tiny window", "[audio]\nmaster = 40\n[display]\nwidth = 5\n", "bad value '5' for width"},
      {"slow assist", "[audio]\nmaster = 40\n[assist]\nspeed = 49\n", "bad value '49' for speed"},
      {"unknown section", "[audio]\nmaster = 40\n[video]\nmode = 1\n", ":4: key 'mode' of an unknown section [video]"},
      {"before a section", "volume = 3\n[audio]\nmaster = 40\n", ":1: key 'volume' outside a [section]"},
      {"game section refuses", "[audio]\nmaster = 40\n[keys]\nfire = bad\n", ":4: unknown key 'fire' or bad value 'bad' in [keys]"},
      {"binary junk", "[audio]\nmaster = 40\n\x01\x02\xff=\x7f\n", ":3: not text"},
      {"NUL byte", std::string("[audio]\nmaster = 40\nmu\0sic = 1\n", 27), ":3: not text"},
      {"overlong line", "[audio]\nmaster = 40\nmusic = " + std::string(500, '7') + "\n", ":3: longer than"},
      {"no key", "[audio]\nmaster = 40\n[keys]\n= Z\n", ":4: a value without a key"},
      {"no equals sign", "[audio]\nmaster = 40\njust words\n", ":3: neither a [section] nor a key = value"},
      {"open section", "[audio]\nmaster = 40\n[display\n", ":3: neither a [section]"},
      {"truncated", "[audio]\nmaster = 40\nmusic =", ":3: bad value '' for music"},
      {"comments and blanks", "; note\n# note\n\n[audio]\r\nmaster = 40 ; quiet\r\n", ""},
      {"byte order mark", "\xEF\xBB\xBF[audio]\nmaster = 40\n", ""},
  };
  for (const auto& c : cases) {
    int problems = -1;
    const std::string errors = Load(c.text, &problems);
    // The good line before the damage still counts.
    EXPECT_EQ(oxSettings::Current().master, 40) << c.name;
    EXPECT_EQ(oxSettings::Current().music, 100) << c.name;
    EXPECT_EQ(oxSettings::Current().scale, 2) << c.name;
    EXPECT_EQ(g_keys.at("fire"), "X") << c.name;
    if (!*c.says) {
      EXPECT_EQ(errors, "") << c.name;
      EXPECT_EQ(problems, 0) << c.name;
      continue;
    }
    EXPECT_EQ(problems, 1) << c.name;
    EXPECT_EQ(errors.rfind("samplegame: " + oxtest::DataDir() + "settings.ini:", 0), 0u)
        << c.name << ": " << errors;
    EXPECT_NE(errors.find(c.says), std::string::npos) << c.name << ": " << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << c.name << ": " << errors;
  }
}

TEST_F(SettingsFile, FilesThatCannotBeReadLeaveTheDefaultsAndSaySoOnce) {
  oxSettings::Current().master = 5;
  testing::internal::CaptureStderr();
  EXPECT_EQ(ox::LoadSettingsFile((oxtest::DataDir() + "missing.ini").c_str()), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // a missing file is no problem
  EXPECT_EQ(oxSettings::Current().master, 100);

  for (const std::string& path : {oxtest::DataDir(), std::string("/dev/zero")}) {
    oxSettings::Current().master = 5;
    testing::internal::CaptureStderr();
    EXPECT_EQ(ox::LoadSettingsFile(path.c_str()), 1) << path;
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("not a regular file; defaults are used"), std::string::npos) << errors;
    EXPECT_EQ(oxSettings::Current().master, 100) << path;
  }

  // Many damaged lines: a bounded report, then a count of the rest.
  std::string junk = "[audio]\n";
  for (int i = 0; i < 200; ++i) junk += "nonsense\n";
  const std::string errors = Load(junk);
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), ox::kMaxSettingsReports + 1);
  EXPECT_NE(errors.find("184 more problems not listed"), std::string::npos) << errors;

  // A file longer than the limit is read up to there.
  std::string huge = "[audio]\nmaster = 40\n";
  while (huge.size() <= ox::kMaxSettingsFileSize) huge += "; padding padding padding padding\n";
  huge += "[audio]\nmaster = 1\n";
  const std::string long_errors = Load(huge);
  EXPECT_NE(long_errors.find("longer than 65536 bytes"), std::string::npos) << long_errors;
  EXPECT_EQ(oxSettings::Current().master, 40);
}

TEST_F(SettingsFile, AFolderThatCannotBeWrittenKeepsTheOldFileAndSaysWhy) {
  // A regular file where the folder should be: refused even to root.
  const std::string blocker = oxtest::DataDir() + "blocker";
  ASSERT_TRUE(oxtest::WriteFile(blocker, "x"));
  const std::string path = blocker + "/settings.ini";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(ox::SaveSettingsFile(path.c_str()));
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(errors, "samplegame: cannot save the settings to " + path + ": Not a directory\n");
  EXPECT_EQ(oxtest::ReadFile(blocker), "x");

  // Changed() saves to the settings file; a failure there is only said.
  ox::SetSettingsFile(path.c_str());
  testing::internal::CaptureStderr();
  oxSettings::Current().music = 10;
  oxSettings::Changed();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot save the settings"),
            std::string::npos);

  // And a good one is rewritten whole at every change.
  const std::string good = oxtest::DataDir() + "good.ini";
  ox::SetSettingsFile(good.c_str());
  oxSettings::Current().effects = 12;
  oxSettings::Changed();
  EXPECT_NE(oxtest::ReadFile(good).find("effects = 12\n"), std::string::npos);
  oxSettings::ResetToDefaults();
  EXPECT_NE(oxtest::ReadFile(good).find("effects = 100\n"), std::string::npos);
}

TEST_F(SettingsFile, KeysAndValuesThatWouldNotReadBackAreLeftOut) {
  g_keys = {{"fire", "X"}, {"bad key", "1"}, {"comment", "a ; b"}, {"blank", " x"}};
  char text[4096];
  testing::internal::CaptureStderr();
  ASSERT_GT(ox::FormatSettings(text, sizeof text), 0u);
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 3) << errors;
  const std::string s = text;
  EXPECT_NE(s.find("fire = X\n"), std::string::npos);
  EXPECT_EQ(s.find("bad key"), std::string::npos);
  EXPECT_EQ(s.find("comment"), std::string::npos);
  // Too small a buffer gives nothing rather than a cut file.
  testing::internal::CaptureStderr();
  EXPECT_EQ(ox::FormatSettings(text, 40), 0u);
  testing::internal::GetCapturedStderr();
}

}  // namespace
