// The samplegame executable driven through its command line, as tools and
// people use it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/test_support.h"

namespace {

int RunGame(const std::string& args) {
  std::string cmd = std::string(SAMPLEGAME_EXE) + " --headless " + args + " 2>/dev/null";
  int status = system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Temp(const char* name) { return oxtest::DataDir() + name; }

TEST(Driver, RunsTheEmptySceneTableForTheGivenFramesAndDumps) {
  std::string dump = Temp("dump.json");
  ASSERT_EQ(RunGame("--frames 120 --clock-start 5000 --seed 7 --dump " + dump), 0);
  std::string text = oxtest::ReadFile(dump);
  EXPECT_NE(text.find("\"frame\": 120"), std::string::npos) << text;
  EXPECT_NE(text.find("\"scene\": 1"), std::string::npos) << text;
  EXPECT_NE(text.find("\"clock_ms\": 7000"), std::string::npos) << text;
  EXPECT_NE(text.find("\"frame_seconds\": 0.01"), std::string::npos) << text;
  EXPECT_EQ(text.front(), '{');
  EXPECT_EQ(text[text.size() - 2], '}');
}

TEST(Driver, EscapeFromTheScriptQuits) {
  std::string script = Temp("esc.txt"), dump = Temp("esc.json");
  ASSERT_TRUE(oxtest::WriteFile(script, "# quit early\n30 ESCAPE down\n31 ESCAPE up\n"));
  ASSERT_EQ(RunGame("--frames 1000 --input " + script + " --dump " + dump), 0);
  EXPECT_NE(oxtest::ReadFile(dump).find("\"frame\": 29"), std::string::npos);
}

TEST(Driver, ScreenshotIsAScreenSizedBmpOfTheTitle) {
  std::string shot = Temp("shot.bmp");
  remove(shot.c_str());
  ASSERT_EQ(RunGame("--frames 10 --shot 5:" + shot), 0);
  std::string bmp = oxtest::ReadFile(shot);
  ASSERT_EQ(bmp.size(), 54u + 640u * 480u * 3u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(uint8_t(bmp[18]) | uint8_t(bmp[19]) << 8, 640);
  EXPECT_EQ(uint8_t(bmp[22]) | uint8_t(bmp[23]) << 8, 480);
  EXPECT_EQ(bmp[28], 24);
  // Black beside the playfield, the first attract picture inside it.
  int marginLit = 0, fieldLit = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const size_t at = 54 + (size_t(y) * 640 + x) * 3;
      const bool lit = bmp[at] || bmp[at + 1] || bmp[at + 2];
      (x < 130 || x >= 510 ? marginLit : fieldLit) += lit;
    }
  }
  EXPECT_EQ(marginLit, 0);
  EXPECT_GT(fieldLit, 380 * 480 / 2);
}

TEST(Driver, BadOptionsAndFilesGiveAClearErrorNotACrash) {
  EXPECT_EQ(RunGame("--frames"), 2);
  EXPECT_EQ(RunGame("--scale 9"), 2);
  EXPECT_EQ(RunGame("--shot 0:x.bmp"), 2);
  EXPECT_EQ(RunGame("--what"), 2);
  EXPECT_EQ(RunGame("--input /nonexistent --frames 1"), 1);
  // An unwritable screenshot or dump is reported, the run still ends.
  EXPECT_EQ(RunGame("--frames 3 --shot 2:/nonexistent/x.bmp"), 0);
  EXPECT_EQ(RunGame("--frames 3 --dump /nonexistent/x.json"), 1);
  EXPECT_EQ(RunGame("--help"), 0);
}

}  // namespace
