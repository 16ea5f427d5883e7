// The samplegame executable driven through its command line, as tools and
// people use it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "frame/driver.h"
#include "frame/ox_system.h"

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

TEST(Driver, AScreenshotThatCannotBeWrittenEndsTheWholeRunWithOne) {
  const std::string later = Temp("later.bmp"), dump = Temp("after-shot.json");
  remove(later.c_str());
  ASSERT_EQ(RunGame("--frames 6 --shot 2:/dev/full --shot 3:/nonexistent/x.bmp --shot 4:" + later +
                    " --dump " + dump),
            1);
  EXPECT_EQ(oxtest::ReadFile(later).size(), 54u + 640u * 480u * 3u);
  EXPECT_NE(oxtest::ReadFile(dump).find("\"frame\": 6"), std::string::npos);
  // The device that refused the picture is still there.
  struct stat st;
  ASSERT_EQ(stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  remove(later.c_str());
}

// Runs the game and keeps what it wrote on standard error.
int RunGameCapturing(const std::string& args, std::string& errors) {
  const std::string log = Temp("stderr.txt");
  std::string cmd = std::string(SAMPLEGAME_EXE) + " --headless " + args + " 2>" + log;
  int status = system(cmd.c_str());
  errors = oxtest::ReadFile(log);
  remove(log.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Driver, BadOptionsAndFilesGiveAClearErrorNotACrash) {
  std::string shots65;
  for (int i = 1; i <= 65; ++i) shots65 += " --shot " + std::to_string(i) + ":x.bmp";
  const struct {
    std::string args;
    int code;
    const char* says;  // a part of the one line on standard error
  } cases[] = {
      {"--frames", 2, "--frames needs a positive number"},
      {"--scale 9", 2, "--scale needs 1 to 8"},
      {"--shot 0:x.bmp", 2, "--shot frame must be a positive number"},
      {"--what", 2, "unknown option"},
      // An input script that cannot be read ends the run before it starts.
      {"--input /nonexistent --frames 1", 1, "cannot open input script '/nonexistent'"},
      {"--input /tmp --frames 1", 1, "cannot read input script '/tmp': Is a directory"},
      {"--input /proc/self/mem --frames 1", 1, "cannot read input script"},
      // Numbers are decimal digits and nothing else, in every option.
      {"--frames ' 10'", 2, "--frames needs a positive number:  10"},
      {"--frames +5", 2, "--frames needs a positive number: +5"},
      {"--frames '10 '", 2, "--frames needs a positive number: 10 "},
      {"--frames 1e3", 2, "--frames needs a positive number: 1e3"},
      {"--frames 0x10", 2, "--frames needs a positive number: 0x10"},
      {"--frames ''", 2, "--frames needs a positive number"},
      {"--frames -1", 2, "--frames needs a positive number: -1"},
      {"--frames 0", 2, "--frames needs a positive number: 0"},
      {"--seed ' 7'", 2, "--seed needs a number 0 to 4294967295"},
      {"--seed 4294967296", 2, "--seed needs a number 0 to 4294967295"},
      {"--seed 18446744073709551617", 2, "--seed needs a number 0 to 4294967295"},
      {"--clock-start 0x10", 2, "--clock-start needs milliseconds"},
      {"--clock-start '+0'", 2, "--clock-start needs milliseconds"},
      {"--scale ' 2'", 2, "--scale needs 1 to 8"},
      {"--scale '2\t'", 2, "--scale needs 1 to 8"},
      {"--shot ' 5:x.bmp'", 2, "--shot frame must be a positive number"},
      {"--shot 1e1:x.bmp", 2, "--shot frame must be a positive number"},
      {"--seed 4294967295 --clock-start 0 --scale 8 --frames 1", 0, ""},
      {shots65, 2, "too many --shot options: 65:x.bmp"},
      // An unwritable screenshot or dump is reported, the run still ends,
      // with 1.
      {"--frames 3 --shot 2:/nonexistent/x.bmp", 1, "cannot write screenshot /nonexistent/x.bmp"},
      {"--frames 3 --shot 2:/dev/full", 1, "cannot write screenshot /dev/full"},
      {"--frames 3 --dump /nonexistent/x.json", 1, "cannot write the dump /nonexistent/x.json"},
      {"--help", 0, ""},
  };
  for (const auto& c : cases) {
    std::string errors;
    EXPECT_EQ(RunGameCapturing(c.args, errors), c.code) << c.args;
    if (!*c.says) {
      EXPECT_EQ(errors, "") << c.args;
      continue;
    }
    EXPECT_EQ(errors.rfind(std::string("samplegame: ") + c.says, 0), 0u) << c.args << ": " << errors;
    // One line, except that a refused option is followed by the usage text.
    if (c.code != 2) {
      EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    }
  }
}


// The game's own options sit beside the frame's: --name VALUE, --name=VALUE
// and flags reach the game's call in order; its refusal and unknown names
// are errors; --help lists them.
const GameOption kTestOptions[] = {{"level", "N", "start at level N"}, {"easy", nullptr, "be kind"}};
std::string g_taken;
bool TakeTestOption(int index, const char* value, char* error, size_t size) {
  if (index == 0 && !strcmp(value, "9")) {
    snprintf(error, size, "--level needs 1 to 8");
    return false;
  }
  g_taken += std::string(kTestOptions[index].name) + "=" + (value ? value : "-") + ";";
  return true;
}

TEST(Driver, GameOptionsAreParsedBesideTheFramesOwn) {
  GameDefinition game;
  game.options = kTestOptions;
  game.optionCount = 2;
  game.takeOption = TakeTestOption;
  auto parse = [&](std::vector<const char*> args, const GameDefinition* g = nullptr) {
    args.insert(args.begin(), "samplegame");
    ox::DriverOptions o;
    char error[256] = "";
    g_taken.clear();
    const bool ok = ox::ParseOptions(int(args.size()), const_cast<char**>(args.data()), o, error,
                                     sizeof error, g);
    return std::make_pair(ok, std::string(error));
  };
  auto r = parse({"--level", "3", "--headless", "--easy", "--level=5"}, &game);
  EXPECT_TRUE(r.first) << r.second;
  EXPECT_EQ(g_taken, "level=3;easy=-;level=5;");
  r = parse({"--level=9"}, &game);
  EXPECT_FALSE(r.first);
  EXPECT_EQ(r.second, "--level needs 1 to 8");
  EXPECT_FALSE(parse({"--level"}, &game).first);
  EXPECT_FALSE(parse({"--easy=1"}, &game).first);
  EXPECT_FALSE(parse({"--lev", "3"}, &game).first);
  EXPECT_FALSE(parse({"--level", "3"}).first);  // not without the game's table
  char* text = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&text, &size);
  ox::PrintUsage(out, &game);
  fclose(out);
  const std::string usage(text, size);
  free(text);
  EXPECT_NE(usage.find("  --level N           start at level N\n"), std::string::npos) << usage;
  EXPECT_NE(usage.find("  --easy              be kind\n"), std::string::npos) << usage;
}

}  // namespace
