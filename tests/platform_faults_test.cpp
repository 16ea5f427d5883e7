// Faults of the platform's surroundings: no display.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/test_support.h"

extern char** environ;

namespace {

struct Outcome {
  int code = -1;
  std::string err;
};

// Runs a program with the environment changed: `set` holds NAME=VALUE
// entries, `unset` names to remove. Standard error is captured.
Outcome RunProgram(const std::vector<std::string>& args, const std::vector<std::string>& set,
            const std::vector<std::string>& unset) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    bool drop = false;
    for (const std::string& u : unset) drop |= name == u;
    for (const std::string& s : set) drop |= s.substr(0, s.find('=')) == name;
    if (!drop) env.push_back(entry);
  }
  for (const std::string& s : set) env.push_back(s);
  std::vector<char*> envp, argv;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> a = args;
  for (std::string& s : a) argv.push_back(s.data());
  argv.push_back(nullptr);
  const std::string errPath = oxtest::DataDir() + "stderr.txt";
  pid_t child = fork();
  if (child == 0) {
    int fd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) dup2(fd, 2);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 1);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  Outcome out;
  int status = 0;
  waitpid(child, &status, 0);
  out.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  out.err = oxtest::ReadFile(errPath);
  return out;
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// ---------------------------------------------------------------- no display

TEST(NoDisplay, RefusesToRunUnseenUnlessAnInvisibleDriverIsAskedFor) {
  oxtest::StartHeadless();
  const std::string runtime = oxtest::DataDir() + "rt";
  mkdir(runtime.c_str(), 0700);
  const std::string lock = runtime + "/Sample_Game_OxMutex.lock";
  struct Case {
    const char* videoDriver;  // nullptr: SDL_VIDEODRIVER unset
    int code;
    bool message;
  } cases[] = {{nullptr, 1, true}, {"offscreen", 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.videoDriver ? c.videoDriver : "(unset)");
    std::vector<std::string> set = {"XDG_RUNTIME_DIR=" + runtime, "SDL_AUDIODRIVER=dummy"};
    std::vector<std::string> unset = {"DISPLAY", "WAYLAND_DISPLAY"};
    if (c.videoDriver) set.push_back(std::string("SDL_VIDEODRIVER=") + c.videoDriver);
    else unset.push_back("SDL_VIDEODRIVER");
    const Outcome o = RunProgram({SAMPLEGAME_EXE, "--window", "--frames", "2"}, set, unset);
    EXPECT_EQ(o.code, c.code) << o.err;
    EXPECT_EQ(o.err.find("no display could be opened") != std::string::npos, c.message) << o.err;
    // Refused before the lock: the next real start is not taken for a second copy.
    if (c.message) {
      EXPECT_FALSE(Exists(lock));
    }
  }
  plat::Shutdown();
}

}  // namespace
