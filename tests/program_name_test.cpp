// The program's name: its window title and its single-instance lock, so
// that programs of different names run side by side.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "draw/ox_draw.h"
#include "core/app_state.h"
#include "frame/ox_system.h"
#include "game/game_definition.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

void Load() {
  oxDraw::Screen(640, 480, 2);
  ox::App().scene = 1;
}
void Scene() {}

TEST(ProgramName, TheWindowIsTitledWithTheProgramsName) {
  GameDefinition demo;
  demo.load = Load;
  demo.scenes[1] = Scene;
  demo.title = "ox demo";
  demo.instanceName = "ox demo:OxMutex";
  GameDefinition plain = demo;
  plain.title = GameDefinition{}.title;
  plain.instanceName = GameDefinition{}.instanceName;
  struct Case {
    const GameDefinition* game;
    const char* title;
  } cases[] = {{&demo, "ox demo"}, {&plain, "Sample Game"}};
  for (const Case& c : cases) {
    std::vector<std::string> args = {"prog", "--headless", "--frames", "2"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    ASSERT_EQ(oxRun(int(argv.size()), argv.data(), *c.game), 0);
    EXPECT_STREQ(plat::headless::WindowTitle(), c.title);
  }
  // The game keeps its name and its lock.
  const GameDefinition game = game::MakeGameDefinition();
  EXPECT_STREQ(game.title, "Sample Game");
  EXPECT_STREQ(game.instanceName, "Sample Game:OxMutex");
}

// Which lock another process gets while this one holds "Sample Game".
TEST(ProgramName, DifferentNamesAreHeldAtOnceTheSameNameOnlyOnce) {
  oxtest::StartHeadless();
  const std::string runtime = oxtest::DataDir() + "run";
  mkdir(runtime.c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  ASSERT_EQ(plat::AcquireInstanceLock("Sample Game:OxMutex"), plat::LockResult::Acquired);
  struct Case {
    const char* name;
    plat::LockResult expected;
  } cases[] = {
      {"ox demo:OxMutex", plat::LockResult::Acquired},
      {"Sample Game:OxMutex", plat::LockResult::AlreadyRunning},
      {"Sample Game 2:OxMutex", plat::LockResult::Acquired},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pid_t child = fork();
    if (child == 0) {
      plat::detail::ForgetInstanceLock();
      _exit(static_cast<int>(plat::AcquireInstanceLock(c.name)));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(c.expected));
  }
  plat::detail::PollRaiseRequest();
  plat::ReleaseInstanceLock();
  unsetenv("XDG_RUNTIME_DIR");
  plat::Shutdown();
}

}  // namespace
