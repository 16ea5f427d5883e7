// Sound packs: building a pack from the WAVE files of a folder, choosing
// the pack to read, and loading sound objects from it.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/error_report.h"
#include "core/paths.h"
#include "core/text_copy.h"
#include "sound/ox_sound.h"
#include "sound/pack_file.h"
#include "sound/sound_state.h"
#include "sound/wave_file.h"

using namespace oxs;

namespace {

constexpr char kLoadPack[] = "oxSound::LoadPack";
constexpr char kNoPack[] = "パックファイル名が指定されていません";
constexpr char kCannotRead[] = "WAVEファイルを読み込めません";

bool EndsWithWav(const char* name) {
  size_t n = strlen(name);
  if (n < 4) return false;
  const char* e = name + n - 4;
  return e[0] == '.' && (e[1] == 'w' || e[1] == 'W') && (e[2] == 'a' || e[2] == 'A') &&
         (e[3] == 'v' || e[3] == 'V');
}

}  // namespace

namespace oxs {

int LoadPackFrom(const char* name, int mixCount, const char* packPath) {
  SoundState& s = Sound();
  if (!s.available) return -1;
  if (!name) name = "";
  int count;
  if (!MixCountOf(mixCount, count)) return ox::ErrorReport(kLoadPack, "ミックス数が多過ぎます"), -1;
  const int h = TakeHandle();
  if (h < 0) return ox::ErrorReport(kLoadPack, "オブジェクト数が多過ぎます"), -1;

  FILE* f = packPath[0] ? fopen(packPath, "rb") : nullptr;
  if (!f) return ox::ErrorReport(kLoadPack, kNoPack), -1;
  char upper[kPackNameSize];
  PackEntry entry;
  WaveData wave;
  bool found = UpperName(name, upper, sizeof upper) && ScanPack(f, upper, entry) &&
               ReadPackEntry(f, entry, true, wave);
  fclose(f);
  if (!found) return ox::ErrorReport(kLoadPack, kCannotRead), -1;

  SoundObject& o = s.objects[h];
  if (!FillObject(o, count, mixCount, wave, true, kLoadPack)) return -1;
  // The pack is remembered with the object, so that a restore reads the
  // same pack even after another one was selected.
  if (o.stream.packPath != packPath) ox::CopyText(o.stream.packPath, kPathSize, packPath);
  if (!StoreName(o, name, kLoadPack, "ファイル名が長すぎます")) return -1;
  return h;
}

}  // namespace oxs

void oxSound::SelectPack(const char* name) {
  char* path = Sound().packPath;
  if (!name || !ox::DataPath(path, kPathSize, name)) path[0] = '\0';
}

int oxSound::LoadPack(const char* name, int mixCount) {
  return LoadPackFrom(name, mixCount, Sound().packPath);
}

int oxSound::MakePack(const char* pack, const char* folder, int deleteFirst) {
  char packPath[kPathSize];
  if (!pack || !ox::DataPath(packPath, sizeof packPath, pack)) return 0;
  if (deleteFirst) remove(packPath);

  // The folder to list: the data directory, or the folder below it ("\" as
  // well as "/" separates its parts).
  std::string prefix = folder ? folder : "";
  std::replace(prefix.begin(), prefix.end(), '\\', '/');
  while (!prefix.empty() && prefix.back() == '/') prefix.pop_back();
  char dirPath[kPathSize];
  if (!ox::DataPath(dirPath, sizeof dirPath, prefix.c_str())) return 0;
  if (!prefix.empty()) prefix += '/';

  // Every ".WAV" file in any letter case, in name order.
  std::vector<std::string> names;
  if (DIR* dir = opendir(dirPath)) {
    while (dirent* e = readdir(dir)) {
      if (!EndsWithWav(e->d_name)) continue;
      std::string full = std::string(dirPath) + (prefix.empty() ? "" : "/") + e->d_name;
      struct stat st;
      if (stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(e->d_name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());

  FILE* out = fopen(packPath, "ab");
  if (!out) return 0;
  bool ok = true;
  for (const std::string& n : names) {
    // The entry keeps the file's name in upper case; a name the pack scan
    // could not read back is left out, as is a file that is not WAVE.
    char upper[kPackNameSize];
    if (!UpperName(n.c_str(), upper, sizeof upper)) continue;
    char path[kPathSize];
    WaveData wave;
    if (!ox::DataPath(path, sizeof path, (prefix + n).c_str()) || !ReadWave(path, wave)) continue;
    ok = WritePackEntry(out, upper, wave) && ok;
    FreeWave(wave);
  }
  ok = fclose(out) == 0 && ok;
  return ok ? 1 : 0;
}
