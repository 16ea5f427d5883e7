// Faults of the platform's surroundings: no display, a lock folder others
// can write to, an audio output file that cannot be written whole.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/audio.h"
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
    if (c.videoDriver) {
      set.push_back(std::string("SDL_VIDEODRIVER=") + c.videoDriver);
      // SDL's video drivers keep allocations until exit, as under Xvfb.
      set.push_back("ASAN_OPTIONS=detect_leaks=0");
    } else {
      unset.push_back("SDL_VIDEODRIVER");
    }
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

// ---------------------------------------------------------------- instance lock

constexpr char kLockName[] = "Fault Lock";

void MakeFile(const std::string& path, const char* text) {
  FILE* f = fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr) << path;
  fputs(text, f);
  fclose(f);
}

TEST(InstanceLockSafety, LinksAndOtherUsersFilesAreRefusedNotFollowed) {
  oxtest::StartHeadless();
  const std::string dir = oxtest::DataDir();
  const std::string runtime = dir + "rt";
  const std::string lock = runtime + "/Fault_Lock.lock";
  const std::string victim = dir + "victim", made = dir + "made";
  struct Case {
    const char* name;
    void (*prepare)(const std::string& lock, const std::string& victim, const std::string& made);
    plat::LockResult expected;
    const char* message;  // on standard error, or nullptr for none
    bool needsRoot;
    const char* consequence = "without single-instance protection";
  } cases[] = {
      {"nothing there", [](const std::string&, const std::string&, const std::string&) {},
       plat::LockResult::Acquired, nullptr, false},
      {"our file from before",
       [](const std::string& l, const std::string&, const std::string&) { MakeFile(l, "old"); },
       plat::LockResult::Acquired, nullptr, false},
      {"a link to a file",
       [](const std::string& l, const std::string& v, const std::string&) {
         MakeFile(v, "precious");
         ASSERT_EQ(symlink(v.c_str(), l.c_str()), 0);
       },
       plat::LockResult::Failed, "is a link", false},
      {"a link to nothing",
       [](const std::string& l, const std::string&, const std::string& m) {
         ASSERT_EQ(symlink(m.c_str(), l.c_str()), 0);
       },
       plat::LockResult::Failed, "is a link", false},
      {"a folder",
       [](const std::string& l, const std::string&, const std::string&) {
         ASSERT_EQ(mkdir(l.c_str(), 0700), 0);
       },
       plat::LockResult::Failed, "cannot be opened", false},
      {"another user's file",
       [](const std::string& l, const std::string&, const std::string&) {
         MakeFile(l, "");
         ASSERT_EQ(chown(l.c_str(), 65534, 65534), 0);
       },
       plat::LockResult::Failed, "not a file of this user", true},
      {"a file where the socket goes",
       [](const std::string& l, const std::string&, const std::string&) {
         std::string sock = l.substr(0, l.size() - 5) + ".sock";
         MakeFile(sock, "not a socket");
       },
       plat::LockResult::Acquired, "raise-request socket", false,
       "cannot bring this one to the front"},
  };
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && geteuid() != 0) continue;
    std::string clear = "rm -rf '" + runtime + "' '" + victim + "' '" + made + "'";
    ASSERT_EQ(system(clear.c_str()), 0);
    mkdir(runtime.c_str(), 0700);
    c.prepare(lock, victim, made);
    testing::internal::CaptureStderr();
    const plat::LockResult got = plat::AcquireInstanceLock(kLockName);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(got, c.expected);
    EXPECT_EQ(plat::InstanceLockHeld(), c.expected == plat::LockResult::Acquired);
    if (c.message) {
      EXPECT_NE(err.find(c.message), std::string::npos) << err;
      EXPECT_NE(err.find(c.consequence), std::string::npos) << err;
    } else {
      EXPECT_EQ(err, "");
    }
    // Nothing was written through a link.
    if (Exists(victim)) {
      EXPECT_EQ(oxtest::ReadFile(victim), "precious");
    }
    EXPECT_FALSE(Exists(made));
    plat::ReleaseInstanceLock();
    // Nothing of someone else's was removed.
    const std::string sock = runtime + "/Fault_Lock.sock";
    if (std::strcmp(c.name, "a file where the socket goes") == 0) {
      EXPECT_EQ(oxtest::ReadFile(sock), "not a socket");
    }
  }
  unsetenv("XDG_RUNTIME_DIR");
  plat::Shutdown();
}

TEST(InstanceLockSafety, WithoutARuntimeFolderAPrivateFolderOfTheUserIsUsed) {
  oxtest::StartHeadless();
  const std::string tmp = oxtest::DataDir() + "tmp";
  const std::string own = tmp + "/samplegame-" + std::to_string(getuid());
  const std::string elsewhere = oxtest::DataDir() + "elsewhere";
  struct Case {
    const char* name;
    void (*prepare)(const std::string& own, const std::string& elsewhere);
    bool usable;
    bool needsRoot;
  } cases[] = {
      {"made afresh", [](const std::string&, const std::string&) {}, true, false},
      {"ours, too open",
       [](const std::string& o, const std::string&) {
         ASSERT_EQ(mkdir(o.c_str(), 0777), 0);
         ASSERT_EQ(chmod(o.c_str(), 0777), 0);
       },
       true, false},
      {"a link to a folder",
       [](const std::string& o, const std::string& e) {
         ASSERT_EQ(mkdir(e.c_str(), 0700), 0);
         ASSERT_EQ(symlink(e.c_str(), o.c_str()), 0);
       },
       false, false},
      {"a file", [](const std::string& o, const std::string&) { MakeFile(o, ""); }, false, false},
      {"another user's folder",
       [](const std::string& o, const std::string&) {
         ASSERT_EQ(mkdir(o.c_str(), 0700), 0);
         ASSERT_EQ(chown(o.c_str(), 65534, 65534), 0);
       },
       false, true},
  };
  unsetenv("XDG_RUNTIME_DIR");
  setenv("TMPDIR", tmp.c_str(), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && geteuid() != 0) continue;
    std::string clear = "rm -rf '" + tmp + "' '" + elsewhere + "'";
    ASSERT_EQ(system(clear.c_str()), 0);
    mkdir(tmp.c_str(), 0777);
    c.prepare(own, elsewhere);
    char dir[512] = "";
    ASSERT_EQ(plat::RuntimeDirectory(dir, sizeof dir), c.usable);
    testing::internal::CaptureStderr();
    const plat::LockResult got = plat::AcquireInstanceLock(kLockName);
    const std::string err = testing::internal::GetCapturedStderr();
    if (c.usable) {
      EXPECT_EQ(dir, own);
      struct stat st;
      ASSERT_EQ(lstat(own.c_str(), &st), 0);
      EXPECT_TRUE(S_ISDIR(st.st_mode));
      EXPECT_EQ(st.st_mode & 0777, 0700u);
      EXPECT_EQ(got, plat::LockResult::Acquired);
      EXPECT_TRUE(Exists(own + "/Fault_Lock.lock"));
    } else {
      EXPECT_EQ(got, plat::LockResult::Failed);
      EXPECT_NE(err.find("no private runtime folder"), std::string::npos) << err;
      EXPECT_FALSE(Exists(elsewhere + "/Fault_Lock.lock"));
    }
    plat::ReleaseInstanceLock();
  }
  unsetenv("TMPDIR");
  plat::Shutdown();
}

// ---------------------------------------------------------------- audio output

// A run whose sound cannot be written whole says so and ends with 1; the
// run itself goes on to its end.
TEST(AudioOutFailure, WriteFailuresAreReportedAndFailTheRun) {
  oxtest::StartHeadless();
  const std::string good = oxtest::DataDir() + "good.wav";
  const std::string dump = oxtest::DataDir() + "dump.json";
  struct Case {
    std::string path;
    int code;
    const char* message;
  } cases[] = {
      {good, 0, nullptr},
      {"/dev/full", 1, "No space left on device"},
      {"/nonexistent/x.wav", 1, "No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    remove(dump.c_str());
    const Outcome o = RunProgram(
        {SAMPLEGAME_EXE, "--headless", "--frames", "30", "--audio-out", c.path, "--dump", dump},
        {}, {});
    EXPECT_EQ(o.code, c.code) << o.err;
    if (c.message) {
      EXPECT_NE(o.err.find("cannot write the audio output " + c.path), std::string::npos) << o.err;
      EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
    } else {
      EXPECT_EQ(o.err.find("audio output"), std::string::npos) << o.err;
    }
    // The run went on to its end.
    EXPECT_NE(oxtest::ReadFile(dump).find("\"frame\": 30"), std::string::npos);
  }
  plat::Shutdown();
}

uint32_t Le32(const std::string& s, size_t at) {
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
         uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}

// The size fields of a WAVE file are 32-bit: at the limit the file ends,
// whole and valid, and the loss is reported. The test lowers the limit.
TEST(AudioOutFailure, OutputStopsAtTheLargestWaveFileWithAMessage) {
  struct Case {
    uint64_t limit;   // bytes of sound
    uint32_t passes;  // frame passes run: pass n begins at n / 60 s
    bool overflows;
    uint32_t dataBytes;
  } cases[] = {
      {4000, 60, true, 4000},     // a whole number of frames
      {4003, 60, true, 4000},     // cut down to whole frames
      {1u << 20, 60, false, 44100 * 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limit);
    oxtest::StartHeadless();
    static std::string path;
    path = oxtest::DataDir() + "limit.wav";
    plat::Options options;
    options.headless = true;
    options.audioOut = path.c_str();
    char error[256];
    ASSERT_TRUE(plat::Init(options, error, sizeof error)) << error;
    plat::audio::SetOutputLimit(c.limit);
    ASSERT_TRUE(plat::audio::Open(plat::audio::Format{}));
    testing::internal::CaptureStderr();
    for (uint32_t i = 0; i < c.passes; ++i) {
      plat::BeginFramePass();
      plat::EndFramePass();
    }
    EXPECT_EQ(plat::audio::OutputFailed(), c.overflows);
    plat::Shutdown();
    const std::string err = testing::internal::GetCapturedStderr();
    plat::audio::SetOutputLimit(0);
    EXPECT_EQ(plat::audio::OutputFailed(), c.overflows);
    EXPECT_EQ(err.find("largest size a WAVE file can hold") != std::string::npos, c.overflows)
        << err;
    const std::string file = oxtest::ReadFile(path);
    ASSERT_EQ(file.size(), 44u + c.dataBytes);
    EXPECT_EQ(Le32(file, 4), 36u + c.dataBytes);
    EXPECT_EQ(Le32(file, 40), c.dataBytes);
  }
  // The next run starts with a clean slate.
  oxtest::StartHeadless();
  EXPECT_FALSE(plat::audio::OutputFailed());
  plat::Shutdown();
}

}  // namespace
