// libFuzzer target for the settings reader: any byte string leaves every
// value in its range, and the settings it leaves are written as a file
// that reads back to the same values without a single complaint.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "frame/ox_settings.h"
#include "frame/settings_file.h"

namespace {

// A game-owned section that keeps one value a key, as [keys] does.
constexpr int kMaxKeys = 16;
char g_names[kMaxKeys][32];
char g_values[kMaxKeys][64];
int g_count = 0;

bool Read(const char* key, const char* value) {
  if (strlen(key) >= sizeof g_names[0] || strlen(value) >= sizeof g_values[0]) return false;
  for (const char* p = key; *p; ++p)
    if (!((*p >= 'a' && *p <= 'z') || *p == '_')) return false;
  for (const char* p = value; *p; ++p)
    if (!((*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9'))) return false;
  for (int i = 0; i < g_count; ++i) {
    if (!strcmp(g_names[i], key)) {
      strcpy(g_values[i], value);
      return true;
    }
  }
  if (g_count == kMaxKeys) return false;
  strcpy(g_names[g_count], key);
  strcpy(g_values[g_count++], value);
  return true;
}
void Write(oxSettings::PutFn put, void* context) {
  for (int i = 0; i < g_count; ++i) put(context, g_names[i], g_values[i]);
}
void Reset() { g_count = 0; }

// Standard error for the fuzzer, /dev/null for the reader's reports.
int g_stderr = -1, g_null = -1;

void Quiet(bool quiet) {
  fflush(stderr);
  if (g_stderr >= 0 && g_null >= 0) dup2(quiet ? g_null : g_stderr, 2);
}

void Fail() {
  Quiet(false);
  abort();
}

bool InRange(const oxSettings::Values& v) {
  auto in = [](int x, int lo, int hi) { return x >= lo && x <= hi; };
  auto side = [](int x) { return x == 0 || (x >= 64 && x <= 16384); };
  return in(v.master, 0, 100) && in(v.music, 0, 100) && in(v.effects, 0, 100) &&
         in(v.scale, 1, 8) && in(v.assistSpeed, 50, 100) && side(v.windowWidth) &&
         side(v.windowHeight);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The reader's reports would drown the fuzzer's own output.
  g_stderr = dup(2);
  g_null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  oxSettings::AddSection("keys", Read, Write, Reset);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > ox::kMaxSettingsFileSize) return 0;
  Quiet(true);
  ox::LoadSettingsFile(nullptr);  // defaults
  ox::ReadSettingsText(reinterpret_cast<const char*>(data), size, "fuzz");
  const oxSettings::Values first = oxSettings::Current();
  if (!InRange(first)) Fail();
  static char text[ox::kMaxSettingsFileSize];
  const size_t n = ox::FormatSettings(text, sizeof text);
  if (n == 0) Fail();
  const std::string written(text, n);
  const int keys = g_count;
  ox::LoadSettingsFile(nullptr);
  if (ox::ReadSettingsText(written.data(), written.size(), "fuzz") != 0) Fail();
  const oxSettings::Values& again = oxSettings::Current();
  const bool same = first.master == again.master && first.music == again.music &&
                    first.effects == again.effects && first.fullscreen == again.fullscreen &&
                    first.scale == again.scale && first.fill == again.fill &&
                    first.windowWidth == again.windowWidth &&
                    first.windowHeight == again.windowHeight &&
                    first.assistSpeed == again.assistSpeed;
  if (!same || g_count != keys) Fail();
  Quiet(false);
  return 0;
}
