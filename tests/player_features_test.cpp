// The player's features of the samplegame executable, each run with a home
// of its own: --config, the volumes it sets, the full-screen toggles, F12
// pictures, and the getopt forms of the options.
#include <cairo.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/sound_test_support.h"
#include "tests/test_support.h"

namespace {

std::string Home() { return oxtest::DataDir() + "home"; }

// Runs the game headless with HOME and XDG_CONFIG_HOME inside the test's
// folder; keeps standard error.
int RunGame(const std::string& args, std::string* errors = nullptr) {
  const std::string log = oxtest::DataDir() + "stderr.txt";
  const std::string cmd = "env HOME='" + Home() + "' XDG_CONFIG_HOME='" + Home() +
                          "/.config' " + SAMPLEGAME_EXE + " --headless " + args + " >/dev/null 2>" + log;
  const int status = system(cmd.c_str());
  if (errors) *errors = oxtest::ReadFile(log);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Script(const std::string& name, const std::string& text) {
  const std::string path = oxtest::DataDir() + name;
  EXPECT_TRUE(oxtest::WriteFile(path, text));
  return path;
}

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    closedir(d);
  }
  return names;
}

TEST(PlayerFeatures, HeadlessRunsTouchNoSettingsWithoutConfig) {
  // The player's own file is neither read (it would mute the run) nor
  // written (F11 changes a setting).
  const std::string own = Home() + "/.config/samplegame/settings.ini";
  ASSERT_EQ(mkdir(Home().c_str(), 0700), 0);
  ASSERT_EQ(mkdir((Home() + "/.config").c_str(), 0700), 0);
  ASSERT_EQ(mkdir((Home() + "/.config/samplegame").c_str(), 0700), 0);
  ASSERT_TRUE(oxtest::WriteFile(own, "[audio]\nmaster = 0\n"));
  const std::string wav = oxtest::DataDir() + "own.wav";
  const std::string f11 = Script("f11.txt", "5 F11 down\n6 F11 up\n");
  std::string errors;
  ASSERT_EQ(RunGame("--frames 120 --input " + f11 + " --audio-out " + wav, &errors), 0) << errors;
  EXPECT_EQ(errors, "");
  EXPECT_EQ(oxtest::ReadFile(own), "[audio]\nmaster = 0\n");
  const sndtest::Output out = sndtest::ReadOutput(wav);
  ASSERT_TRUE(out.valid);
  size_t loud = 0;
  for (size_t i = 0; i < out.left.size(); ++i) loud += out.left[i] != 0 || out.right[i] != 0;
  EXPECT_GT(loud, 0u);
}

TEST(PlayerFeatures, VolumesFromTheConfigFileScaleTheOutput) {
  const struct {
    const char* settings;
    bool silent;
  } cases[] = {
      {"[audio]\nmaster = 0\n", true},
      {"[audio]\nmusic = 0\neffects = 0\n", true},
      {"[audio]\nmaster = 100\n", false},
  };
  for (const auto& c : cases) {
    const std::string config = Script("volume.ini", c.settings);
    const std::string wav = oxtest::DataDir() + "volume.wav";
    remove(wav.c_str());
    std::string errors;
    ASSERT_EQ(RunGame("--frames 120 --config " + config + " --audio-out " + wav, &errors), 0)
        << errors;
    EXPECT_EQ(errors, "") << c.settings;
    const sndtest::Output out = sndtest::ReadOutput(wav);
    ASSERT_TRUE(out.valid) << c.settings;
    size_t loud = 0;
    for (size_t i = 0; i < out.left.size(); ++i) loud += out.left[i] != 0 || out.right[i] != 0;
    if (c.silent)
      EXPECT_EQ(loud, 0u) << c.settings;
    else
      EXPECT_GT(loud, out.left.size() / 4) << c.settings;
  }
}

TEST(PlayerFeatures, DamagedOrUnwritableConfigFilesNeverStopTheGame) {
  const std::string junk = oxtest::DataDir() + "junk.ini";
  std::string bytes = "[audio]\nmaster = 70\n";
  for (int i = 0; i < 3000; ++i) bytes += char((i * 7919) % 256);
  ASSERT_TRUE(oxtest::WriteFile(junk, bytes));
  const std::string blocker = oxtest::DataDir() + "blocker";
  ASSERT_TRUE(oxtest::WriteFile(blocker, "x"));
  const std::string f11 = Script("f11c.txt", "5 F11 down\n6 F11 up\n");
  const struct {
    std::string args;
    std::string says;
  } cases[] = {
      {"--config " + junk, "junk.ini:3: not text, ignored"},
      {"--config " + blocker + "/settings.ini --input " + f11,
       "cannot save the settings to " + std::string(blocker) + "/settings.ini: Not a directory"},
      {"--config " + oxtest::DataDir(), "are not a regular file; defaults are used"},
  };
  for (const auto& c : cases) {
    const std::string dump = oxtest::DataDir() + "junk.json";
    std::string errors;
    EXPECT_EQ(RunGame("--frames 30 --dump " + dump + " " + c.args, &errors), 0) << c.args;
    EXPECT_NE(errors.find(c.says), std::string::npos) << c.args << ": " << errors;
    EXPECT_NE(oxtest::ReadFile(dump).find("\"frame\": 30"), std::string::npos) << c.args;
  }
  EXPECT_EQ(oxtest::ReadFile(blocker), "x");
}

TEST(PlayerFeatures, TogglesSwitchTheModeAreSavedAndNeverReachTheGame) {
  // Enter with Alt on the title toggles the mode and does not start a game
  // (scene 1 stays); F11 toggles too; each change is saved to --config.
  const struct {
    const char* script;
    const char* fullscreen;  // as saved
    bool saved;
  } cases[] = {
      {"10 ALT down\n11 ENTER down\n12 ENTER up\n13 ALT up\n", "false", true},
      {"10 F11 down\n11 F11 up\n", "false", true},
      {"10 F11 down\n11 F11 up\n20 ALT down\n21 ENTER down\n22 ENTER up\n23 ALT up\n", "true", true},
      {"10 ENTER down\n11 ENTER up\n", "", false},
  };
  for (const auto& c : cases) {
    const std::string config = oxtest::DataDir() + "toggle.ini";
    remove(config.c_str());
    const std::string script = Script("toggle.txt", c.script);
    const std::string dump = oxtest::DataDir() + "toggle.json";
    std::string errors;
    ASSERT_EQ(RunGame("--frames 60 --config=" + config + " --input=" + script + " --dump " + dump,
                  &errors),
              0)
        << errors;
    const std::string state = oxtest::ReadFile(dump);
    const std::string saved = oxtest::ReadFile(config);
    if (!c.saved) {
      // Plain Enter starts the game: the selection screen.
      EXPECT_NE(state.find("\"scene\": 11"), std::string::npos) << state;
      EXPECT_EQ(saved, "");
      continue;
    }
    EXPECT_NE(state.find("\"scene\": 1,"), std::string::npos) << c.script << state;
    EXPECT_NE(saved.find(std::string("fullscreen = ") + c.fullscreen + "\n"), std::string::npos)
        << c.script << saved;
  }
  // The saved mode is the next run's.
  const std::string config = Script("window.ini", "[display]\nfullscreen = false\nscale = 3\n");
  const std::string script = Script("f11b.txt", "5 F11 down\n6 F11 up\n");
  ASSERT_EQ(RunGame("--frames 10 --config " + config + " --input " + script), 0);
  EXPECT_NE(oxtest::ReadFile(config).find("fullscreen = true\nfill = false\nscale = 3\n"),
            std::string::npos)
      << oxtest::ReadFile(config);
}

TEST(PlayerFeatures, F12SavesThePresentedPictureAsAPngWithoutTheNotice) {
  const std::string script = Script("f12.txt", "20 F12 down\n21 F12 up\n22 F12 down\n23 F12 up\n");
  const std::string shot = oxtest::DataDir() + "shot.bmp";
  std::string errors;
  // --shot 19 is the picture presented before the frame pass that takes F12.
  ASSERT_EQ(RunGame("--frames 30 --seed 3 --input " + script + " --shot 19:" + shot, &errors), 0)
      << errors;
  const std::string folder = Home() + "/Pictures/Sample Game";
  std::vector<std::string> files = FilesIn(folder);
  ASSERT_EQ(files.size(), 2u) << errors;  // the second press did not overwrite the first
  // Within one second the second picture gets a number; the first press's
  // picture is the one without.
  std::sort(files.begin(), files.end());
  if (files[0].find(" (2).png") != std::string::npos) std::swap(files[0], files[1]);
  EXPECT_NE(files[0], files[1]);
  EXPECT_NE(errors.find("picture saved to " + folder + "/Sample Game "), std::string::npos)
      << errors;
  const std::string png = oxtest::ReadFile(folder + "/" + files[0]);
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  auto be32 = [&](size_t at) {
    return uint32_t(uint8_t(png[at])) << 24 | uint32_t(uint8_t(png[at + 1])) << 16 |
           uint32_t(uint8_t(png[at + 2])) << 8 | uint8_t(png[at + 3]);
  };
  EXPECT_EQ(be32(16), 640u);
  EXPECT_EQ(be32(20), 480u);
  // Pixel for pixel the presented picture (the BMP of the same pass): the
  // confirmation is drawn only over the display.
  const std::string bmp = oxtest::ReadFile(shot);
  ASSERT_EQ(bmp.size(), 54u + 640u * 480u * 3u);
  cairo_surface_t* image =
      cairo_image_surface_create_from_png((folder + "/" + files[0]).c_str());
  ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
  const unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  int differ = 0, lit = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
      const size_t at = 54 + (size_t(479 - y) * 640 + x) * 3;
      const uint32_t b = uint32_t(uint8_t(bmp[at + 2])) << 16 | uint32_t(uint8_t(bmp[at + 1])) << 8 |
                         uint8_t(bmp[at]);
      differ += p != b;
      lit += p != 0;
    }
  }
  cairo_surface_destroy(image);
  EXPECT_EQ(differ, 0);
  EXPECT_GT(lit, 380 * 480 / 2);
}

TEST(PlayerFeatures, F12WithoutAWritablePicturesFolderIsReportedAndTheRunGoesOn) {
  // HOME/Pictures is a file: the folder cannot be made.
  ASSERT_EQ(mkdir(Home().c_str(), 0700), 0);
  ASSERT_TRUE(oxtest::WriteFile(Home() + "/Pictures", "x"));
  const std::string script = Script("f12.txt", "5 F12 down\n6 F12 up\n");
  const std::string dump = oxtest::DataDir() + "f12.json";
  std::string errors;
  ASSERT_EQ(RunGame("--frames 20 --input " + script + " --dump " + dump, &errors), 0);
  EXPECT_NE(errors.find("samplegame: the picture was not saved: cannot make the folder"),
            std::string::npos)
      << errors;
  EXPECT_NE(oxtest::ReadFile(dump).find("\"frame\": 20"), std::string::npos);
}

TEST(PlayerFeatures, OptionsTakeTheirValueAfterAnEqualsSignToo) {
  const std::string a = oxtest::DataDir() + "a.json", b = oxtest::DataDir() + "b.json";
  ASSERT_EQ(RunGame("--frames 300 --seed 7 --clock-start 50 --dump " + a), 0);
  ASSERT_EQ(RunGame("--frames=300 --seed=7 --clock-start=50 --dump=" + b), 0);
  EXPECT_FALSE(oxtest::ReadFile(a).empty());
  EXPECT_EQ(oxtest::ReadFile(a), oxtest::ReadFile(b));
  const struct {
    const char* args;
    const char* says;
  } refused[] = {
      {"--seed=x", "samplegame: --seed needs a number 0 to 4294967295: x\n"},
      {"--seed=", "samplegame: --seed needs a number 0 to 4294967295: \n"},
      {"--scale=9", "samplegame: --scale needs 1 to 8: 9\n"},
      {"--headless=1", "samplegame: option takes no value: --headless=1\n"},
      {"--fram 3", "samplegame: unknown option: --fram\n"},
      {"--frames 3 extra", "samplegame: unknown option: extra\n"},
      {"--frames 3 --", "samplegame: unknown option: --\n"},
      {"-x", "samplegame: unknown option: -x\n"},
      {"--config", "samplegame: --config needs a file\n"},
      {"--config=", "samplegame: --config needs a file: \n"},
  };
  for (const auto& r : refused) {
    std::string errors;
    EXPECT_EQ(RunGame(r.args, &errors), 2) << r.args;
    EXPECT_EQ(errors.substr(0, errors.find('\n') + 1), r.says) << r.args;
  }
  std::string help;
  ASSERT_EQ(RunGame("--help", &help), 0);
}

}  // namespace
