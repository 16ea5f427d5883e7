// The example program driven through its command line: it tours every page
// headless, shows no error, and each page puts a different picture on the
// screen.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {

struct DemoRun {
  int exitCode;
  std::string errors;  // standard error: the headless backend's message boxes
};

DemoRun RunDemo(const std::string& args) {
  const std::string errors = oxtest::DataDir() + "demo-stderr.txt";
  const std::string cmd = std::string(OXDEMO_EXE) + " --headless --seed 5 " + args + " 2>" + errors;
  const int status = system(cmd.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, oxtest::ReadFile(errors)};
}

// The pixels of a 640 x 480 24-bit screenshot, or nothing.
std::string ShotPixels(const std::string& path) {
  const std::string bmp = oxtest::ReadFile(path);
  if (bmp.size() != 54u + 640u * 480u * 3u || bmp.compare(0, 2, "BM") != 0) return {};
  return bmp.substr(54);
}

double DifferentPixels(const std::string& a, const std::string& b) {
  size_t n = 0;
  for (size_t i = 0; i + 2 < a.size(); i += 3) n += a.compare(i, 3, b, i, 3) != 0;
  return double(n) / (640.0 * 480.0);
}

class Demo : public ::testing::Test {
 protected:
  void SetUp() override { oxtest::StartHeadless(); }
  static std::string Path(const std::string& name) { return oxtest::DataDir() + "demo-" + name; }
  static void WriteScript(const std::string& name, const char* text) {
    ASSERT_TRUE(oxtest::WriteFile(Path(name), text));
  }
};

TEST_F(Demo, EveryPageShowsItsOwnPictureWithoutAnError) {
  // Each Space press closes the page (10 frames) and opens the next one
  // (10 frames, keys masked); O shows the overlay on page 2, Enter hides it.
  WriteScript("tour.txt",
              "20 SPACE down\n21 SPACE up\n"
              "50 O down\n51 O up\n"
              "70 RETURN down\n71 RETURN up\n"
              "80 SPACE down\n81 SPACE up\n"
              "110 SPACE down\n111 SPACE up\n"
              "140 SPACE down\n141 SPACE up\n"
              "170 SPACE down\n171 SPACE up\n"
              "200 SPACE down\n201 SPACE up\n");
  // Page 1 at 15, the closing transition at 25, page 2 with its overlay at
  // 60 and without at 75, pages 3 to 6 at 105, 135, 165 and 195, page 1
  // again at 225.
  const std::vector<int> frames = {15, 25, 60, 75, 105, 135, 165, 195, 225};
  std::string args = "--frames 230 --input " + Path("tour.txt") + " --dump " + Path("tour.json");
  for (int f : frames)
    args += " --shot " + std::to_string(f) + ":" + Path(std::to_string(f) + ".bmp");
  const DemoRun run = RunDemo(args);
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.errors, "");
  EXPECT_NE(oxtest::ReadFile(Path("tour.json")).find("\"scene\": 1"), std::string::npos);

  std::vector<std::string> shots;
  for (int f : frames) {
    shots.push_back(ShotPixels(Path(std::to_string(f) + ".bmp")));
    ASSERT_FALSE(shots.back().empty()) << f;
  }
  // Every picture differs from every other in at least 1 % of the screen
  // (two starfield pages share most of their black), except page 1
  // against itself after the round trip.
  for (size_t i = 0; i < shots.size(); ++i)
    for (size_t j = i + 1; j < shots.size(); ++j) {
      if (frames[i] == 15 && frames[j] == 225) continue;
      EXPECT_GT(DifferentPixels(shots[i], shots[j]), 0.01) << frames[i] << " vs " << frames[j];
    }
  // The overlay covers the whole screen: no black pixel is left of the
  // page under it.
  size_t black = 0;
  for (size_t i = 0; i + 2 < shots[2].size(); i += 3)
    black += shots[2].compare(i, 3, "\0\0\0", 3) == 0;
  EXPECT_EQ(black, 0u);
}

TEST_F(Demo, TheSameSeedAndScriptGiveTheSamePictures) {
  WriteScript("repeat.txt", "20 SPACE down\n21 SPACE up\n");
  for (const char* name : {"a.bmp", "b.bmp"})
    ASSERT_EQ(
        RunDemo("--frames 45 --input " + Path("repeat.txt") + " --shot 45:" + Path(name)).exitCode,
        0);
  const std::string a = ShotPixels(Path("a.bmp"));
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(a, ShotPixels(Path("b.bmp")));
}

}  // namespace
