// The player's settings file: an INI file of the frame's sections
// ([audio], [display], [assist]) and the sections the game registers with
// oxSettings::AddSection. Reading never fails: a missing file leaves the
// defaults, and every line that cannot be used is reported on standard
// error (file, line, key) and skipped.
#pragma once

#include <cstddef>

#include "frame/ox_settings.h"

namespace ox {

// Largest settings file read; a longer one is read up to there.
constexpr size_t kMaxSettingsFileSize = 64 * 1024;
// Problems reported per file; the rest are counted in one last line.
constexpr int kMaxSettingsReports = 16;

// The player's own file: $XDG_CONFIG_HOME/samplegame/settings.ini, else
// ~/.config/samplegame/settings.ini. False when there is no home folder or
// the path does not fit.
bool DefaultSettingsPath(char* out, size_t size);

// The file the settings are read from and saved to; "" or nullptr for
// none (headless runs without --config): then nothing is read or written.
void SetSettingsFile(const char* path);
const char* SettingsFile();

// At start: the settings file is `config` when given, else none for a
// headless run (it depends only on its command line), else the player's
// own; reads it and applies the volumes.
void StartPlayerSettings(const char* config, bool headless);

// Puts every value and section back to its default, then reads `path` into
// oxSettings::Current() and the registered sections. Answers the number of
// problems reported (0 also for a missing file).
int LoadSettingsFile(const char* path);
// Reads settings text (`label` names it in reports) over the current
// values. Answers the number of problems reported.
int ReadSettingsText(const char* data, size_t size, const char* label);
// Writes the settings as text into `out`; answers its length, or 0 when
// it does not fit.
size_t FormatSettings(char* out, size_t size);
// Writes the settings to `path` atomically; the folder of the player's own
// file is made when missing. On failure says why on standard error.
bool SaveSettingsFile(const char* path);

}  // namespace ox
