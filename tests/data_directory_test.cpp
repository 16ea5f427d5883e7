// Where a program finds its data: $SAMPLEGAME_DATA, its own folder when that
// holds the data (the build folder), else PREFIX/share/NAME/ of an installed
// PREFIX/bin/NAME. And the version the game reports.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/paths.h"
#include "tests/test_support.h"

namespace {

void MakeDirs(const std::string& path) {
  for (size_t at = 1; at != std::string::npos; at = path.find('/', at + 1)) {
    mkdir(path.substr(0, at).c_str(), 0700);
  }
  mkdir(path.c_str(), 0700);
}

void Mark(const std::string& dir) {
  MakeDirs(dir);
  ASSERT_TRUE(oxtest::WriteFile(dir + "/" + ox::kDataMark, "data\n"));
}

TEST(DataDirectory, ComesFromTheEnvironmentTheExecutablesFolderOrTheInstalledShare) {
  const std::string t = oxtest::DataDir();
  Mark(t + "build");                             // a build folder with its data
  Mark(t + "usr/share/samplegame");              // an install
  Mark(t + "both/bin");                          // data beside and in share:
  Mark(t + "both/share/samplegame");             //   beside wins
  MakeDirs(t + "bare/bin");                      // no data anywhere
  MakeDirs(t + "bare/share/samplegame");         //   a share folder without the mark
  MakeDirs(t + "dirmark/share/samplegame/" + std::string(ox::kDataMark));  // not a file
  const struct {
    std::string exe;
    const char* env;
    std::string expected;
  } cases[] = {
      {t + "build/samplegame", nullptr, t + "build/"},
      {t + "usr/bin/samplegame", nullptr, t + "usr/share/samplegame/"},
      {t + "usr/games/samplegame", nullptr, t + "usr/share/samplegame/"},
      {t + "both/bin/samplegame", nullptr, t + "both/bin/"},
      {t + "bare/bin/samplegame", nullptr, t + "bare/bin/"},
      {t + "dirmark/bin/samplegame", nullptr, t + "dirmark/bin/"},
      // Another program's share folder is its own name's.
      {t + "usr/bin/oxdemo", nullptr, t + "usr/bin/"},
      // The environment wins, with a "/" added when it has none; empty is unset.
      {t + "usr/bin/samplegame", "/opt/data", "/opt/data/"},
      {t + "build/samplegame", "/opt/data/", "/opt/data/"},
      {t + "usr/bin/samplegame", "", t + "usr/share/samplegame/"},
      {"/samplegame", nullptr, "/"},
  };
  for (const auto& c : cases) {
    char out[4096] = "unchanged";
    ASSERT_TRUE(ox::FindDataDirectory(c.exe.c_str(), c.env, out, sizeof out)) << c.exe;
    EXPECT_EQ(std::string(out), c.expected) << c.exe << " " << (c.env ? c.env : "(unset)");
  }
  // A result that does not fit is refused, never cut.
  char small[8] = "x";
  EXPECT_FALSE(ox::FindDataDirectory((t + "build/samplegame").c_str(), nullptr, small, sizeof small));
  EXPECT_STREQ(small, "");
  EXPECT_FALSE(ox::FindDataDirectory("/opt/samplegame", "/a/long/data/folder", small, sizeof small));
  EXPECT_FALSE(ox::FindDataDirectory("no-folder", nullptr, small, sizeof small));
}

// Runs `command` and keeps its standard output and error.
int RunCommand(const std::string& command, std::string& out, std::string& err) {
  const std::string o = oxtest::DataDir() + "out.txt", e = oxtest::DataDir() + "err.txt";
  const int status = system((command + " >" + o + " 2>" + e).c_str());
  out = oxtest::ReadFile(o);
  err = oxtest::ReadFile(e);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Folder(const std::string& path) { return path.substr(0, path.rfind('/')); }

TEST(DataDirectory, AnInstalledCopyOfTheGameLoadsItsDataFromShareWhereverItRuns) {
  // PREFIX/bin/samplegame with PREFIX/share/samplegame a link to the build
  // folder's data; run from another folder.
  const std::string prefix = oxtest::DataDir() + "prefix";
  MakeDirs(prefix + "/bin");
  MakeDirs(prefix + "/share");
  MakeDirs(prefix + "/elsewhere");
  const std::string exe = prefix + "/bin/samplegame";
  std::string out, err;
  ASSERT_EQ(RunCommand("cp " + std::string(SAMPLEGAME_EXE) + " " + exe, out, err), 0) << err;
  auto run = [&](const std::string& env) {
    return "cd " + prefix + "/elsewhere && " + env + " " + exe + " --headless --frames 30 --dump d.json";
  };

  // Without its data the game says so for every picture.
  ASSERT_EQ(RunCommand(run(""), out, err), 0);
  EXPECT_NE(err.find("oxDraw::LoadObject"), std::string::npos) << err;

  // SAMPLEGAME_DATA names the data.
  ASSERT_EQ(RunCommand(run("SAMPLEGAME_DATA=" + Folder(SAMPLEGAME_EXE)), out, err), 0);
  EXPECT_EQ(err, "");

  ASSERT_EQ(symlink(Folder(SAMPLEGAME_EXE).c_str(), (prefix + "/share/samplegame").c_str()), 0);
  ASSERT_EQ(RunCommand(run(""), out, err), 0);
  EXPECT_EQ(err, "");
  EXPECT_NE(oxtest::ReadFile(prefix + "/elsewhere/d.json").find("\"frame\": 30"), std::string::npos);

  // A data directory named but empty is not replaced by another one.
  MakeDirs(prefix + "/empty");
  ASSERT_EQ(RunCommand(run("SAMPLEGAME_DATA=" + prefix + "/empty"), out, err), 0);
  EXPECT_NE(err.find("oxDraw::LoadObject"), std::string::npos) << err;
}

TEST(Version, TheGameReportsItsNameAndTheProjectVersion) {
  std::string out, err;
  ASSERT_EQ(RunCommand(std::string(SAMPLEGAME_EXE) + " --version", out, err), 0);
  EXPECT_EQ(out, std::string("Sample Game ") + SAMPLEGAME_VERSION + "\n");
  EXPECT_EQ(err, "");
  ASSERT_EQ(RunCommand(std::string(SAMPLEGAME_EXE) + " --help", out, err), 0);
  EXPECT_NE(out.find("--version"), std::string::npos) << out;
  // Nothing starts: no window, no lock, no dump.
  ASSERT_EQ(RunCommand(std::string(SAMPLEGAME_EXE) + " --version --dump " + oxtest::DataDir() + "v.json",
                out, err),
            0);
  EXPECT_EQ(oxtest::ReadFile(oxtest::DataDir() + "v.json"), "");
}

}  // namespace
