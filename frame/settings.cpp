#include <cstring>

#include "frame/ox_settings.h"
#include "frame/player_display.h"
#include "frame/settings_file.h"
#include "frame/settings_sections.h"
#include "platform/audio.h"

namespace ox {

namespace {

struct State {
  oxSettings::Values values;
  unsigned revision = 0;
  SettingsSection sections[kMaxSettingsSections];
  int sectionCount = 0;
};

State& S() {
  static State state;
  return state;
}

void ApplyVolumes(const oxSettings::Values& v) {
  plat::audio::SetPlayerVolumes(v.master, v.music, v.effects);
}

}  // namespace

const SettingsSection* SettingsSections(int* count) {
  *count = S().sectionCount;
  return S().sections;
}

void ClearSettingsSections() { S().sectionCount = 0; }

}  // namespace ox

using ox::S;

oxSettings::Values& oxSettings::Current() { return S().values; }

unsigned oxSettings::Revision() { return S().revision; }

void oxSettings::Changed() {
  ++S().revision;
  ox::ApplyVolumes(S().values);
  ox::ApplyPlayerDisplay(S().values);
  const char* file = ox::SettingsFile();
  if (file[0]) ox::SaveSettingsFile(file);
}

void oxSettings::ResetToDefaults() {
  S().values = Values{};
  for (int i = 0; i < S().sectionCount; ++i)
    if (S().sections[i].reset) S().sections[i].reset();
  Changed();
}

bool oxSettings::AddSection(const char* name, ReadFn read, WriteFn write, ResetFn reset) {
  ox::State& s = S();
  if (!name || !*name || !read || !write || s.sectionCount == ox::kMaxSettingsSections)
    return false;
  for (int i = 0; i < s.sectionCount; ++i)
    if (!strcmp(s.sections[i].name, name)) return false;
  s.sections[s.sectionCount++] = ox::SettingsSection{name, read, write, reset};
  return true;
}
