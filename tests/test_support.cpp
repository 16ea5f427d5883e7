#include "tests/test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/app_state.h"
#include "core/ox_app.h"
#include "core/paths.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "draw/ox_draw_status.h"
#include "frame/main_loop.h"
#include "platform/platform.h"

namespace oxtest {

namespace {

std::string g_dataDir;

// Removes the running test's directory when the test ends (and at exit, for
// one used outside a test); the next test makes a fresh one.
class RemoveDataDir : public ::testing::EmptyTestEventListener {
 public:
  void OnTestEnd(const ::testing::TestInfo&) override { Remove(); }
  void OnTestProgramEnd(const ::testing::UnitTest&) override { Remove(); }

 private:
  static void Remove() {
    if (g_dataDir.empty()) return;
    std::error_code error;
    std::filesystem::remove_all(g_dataDir, error);
    if (error) fprintf(stderr, "cannot remove %s: %s\n", g_dataDir.c_str(), error.message().c_str());
    g_dataDir.clear();
  }
};

}  // namespace

void StartHeadless(uint32_t clockStart) {
  ox::InstallLibraryServices();
  oxDraw::Release();
  oxd::ResetDrawState();
  ox::ResetAppState();
  plat::Options options;
  options.headless = true;
  options.clockStart = clockStart;
  char error[256];
  if (!plat::Init(options, error, sizeof error)) {
    fprintf(stderr, "headless start failed: %s\n", error);
    abort();
  }
  ox::OverrideDataDirectory(DataDir().c_str());
  plat::CreateMainWindow("Sample Game", 640, 480, true);
}

void OpenScreen() {
  StartHeadless();
  oxDraw::Screen(640, 480, 2);
}

const std::string& DataDir() {
  if (!g_dataDir.empty()) return g_dataDir;
  const char* env = getenv("TMPDIR");
  std::string base = env && *env ? env : "/tmp";
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  std::string tmpl = base + "/oxtest-XXXXXX";
  if (!mkdtemp(tmpl.data())) {
    // Nothing the test writes could go anywhere safe.
    fprintf(stderr, "cannot make a private directory %s: %s\n", tmpl.c_str(), strerror(errno));
    abort();
  }
  g_dataDir = tmpl + "/";
  return g_dataDir;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) {
    ADD_FAILURE() << "cannot create " << path << ": " << strerror(errno);
    return false;
  }
  const bool written = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const int writeErrno = errno;
  if (fclose(f) != 0 || !written) {
    ADD_FAILURE() << "cannot write " << path << ": " << strerror(written ? errno : writeErrno);
    return false;
  }
  return true;
}

bool WriteBmp24(const std::string& path, int width, int height, const uint32_t* pixels) {
  int rowBytes = (width * 3 + 3) & ~3;
  uint32_t dataSize = uint32_t(rowBytes) * uint32_t(height);
  std::vector<uint8_t> file(54 + dataSize, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
  };
  auto put16 = [&](size_t at, uint16_t v) {
    file[at] = uint8_t(v);
    file[at + 1] = uint8_t(v >> 8);
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, uint32_t(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(width));
  put32(22, uint32_t(height));
  put16(26, 1);
  put16(28, 24);
  put32(34, dataSize);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = &file[54 + size_t(height - 1 - y) * rowBytes];
    for (int x = 0; x < width; ++x) {
      uint32_t p = pixels[size_t(y) * width + x];
      row[x * 3 + 0] = uint8_t(p);
      row[x * 3 + 1] = uint8_t(p >> 8);
      row[x * 3 + 2] = uint8_t(p >> 16);
    }
  }
  return WriteFile(path, std::string(file.begin(), file.end()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string MakeFifo(const std::string& name) {
  const std::string path = DataDir() + name;
  unlink(path.c_str());
  return mkfifo(path.c_str(), 0600) == 0 ? path : std::string();
}

}  // namespace oxtest

// The tests' main: GoogleTest's, with the listener that removes each
// test's directory.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new oxtest::RemoveDataDir);
  return RUN_ALL_TESTS();
}
