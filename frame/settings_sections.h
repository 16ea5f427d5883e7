// The game's sections of the settings file, as registered with
// oxSettings::AddSection: read by the settings file's reader and writer.
#pragma once

#include "frame/ox_settings.h"

namespace ox {

constexpr int kMaxSettingsSections = 8;

struct SettingsSection {
  const char* name;
  oxSettings::ReadFn read;
  oxSettings::WriteFn write;
  oxSettings::ResetFn reset;
};

// The registered sections in the order they were added.
const SettingsSection* SettingsSections(int* count);
// Forgets every section (tests).
void ClearSettingsSections();

}  // namespace ox
