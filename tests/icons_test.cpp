// The files of the install the asset generator makes: the icons in the
// sizes of their hicolor folders, and PNG copies of the game's screenshots.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/test_support.h"

namespace {

int Assetgen(const std::string& args) {
  const std::string cmd = std::string(ASSETGEN_EXE) + " " + args + " 2>" + oxtest::DataDir() + "err.txt";
  const int status = system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

uint32_t Big32(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) << 24 | uint32_t(uint8_t(s[at + 1])) << 16 |
         uint32_t(uint8_t(s[at + 2])) << 8 | uint8_t(s[at + 3]);
}

// Width and height from a PNG's header; 0 x 0 when it is not a PNG.
std::pair<uint32_t, uint32_t> PngSize(const std::string& png) {
  if (png.size() < 24 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || png.compare(12, 4, "IHDR") != 0) {
    return {0, 0};
  }
  return {Big32(png, 16), Big32(png, 20)};
}

TEST(InstallFiles, IconsComeInTheSizesOfTheirFoldersAndScreenshotsConvertToPng) {
  const std::string dir = oxtest::DataDir();
  ASSERT_EQ(Assetgen("--icons " + dir), 0) << oxtest::ReadFile(dir + "err.txt");
  for (uint32_t size : {48u, 64u, 128u, 256u}) {
    const std::string png = oxtest::ReadFile(dir + "samplegame-" + std::to_string(size) + ".png");
    EXPECT_EQ(PngSize(png), std::make_pair(size, size)) << size;
  }
  const std::string svg = oxtest::ReadFile(dir + "samplegame.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);

  // A screenshot of the game as a PNG of the same size.
  const std::string shot = dir + "shot.bmp";
  ASSERT_EQ(system((std::string(SAMPLEGAME_EXE) + " --headless --frames 5 --shot 5:" + shot +
                    " 2>/dev/null").c_str()),
            0);
  ASSERT_EQ(Assetgen("--png " + shot + " " + dir + "shot.png"), 0);
  EXPECT_EQ(PngSize(oxtest::ReadFile(dir + "shot.png")), std::make_pair(640u, 480u));

  // Files that are not 24-bit BMPs are refused with a reason, nothing written.
  std::string cut = oxtest::ReadFile(shot).substr(0, 54 + 640 * 3 * 10);
  std::string eight = oxtest::ReadFile(shot);
  eight[28] = 8;
  const struct {
    const char* name;
    std::string bytes;
    const char* says;
  } bad[] = {
      {"empty.bmp", "", "not a BMP file"},
      {"text.bmp", "hello, this is not a picture at all; it is long enough to have a header.....",
       "not a BMP file"},
      {"cut.bmp", cut, "cut short"},
      {"eight.bmp", eight, "not an uncompressed bottom-up 24-bit BMP"},
  };
  for (const auto& b : bad) {
    ASSERT_TRUE(oxtest::WriteFile(dir + b.name, b.bytes));
    const std::string out = dir + b.name + ".png";
    EXPECT_EQ(Assetgen("--png " + dir + b.name + " " + out), 1) << b.name;
    EXPECT_NE(oxtest::ReadFile(dir + "err.txt").find(b.says), std::string::npos) << b.name;
    EXPECT_EQ(oxtest::ReadFile(out), "") << b.name;
  }
  EXPECT_EQ(Assetgen("--png " + dir + "missing.bmp " + dir + "missing.png"), 1);
}

}  // namespace
