// Where the library's files live: the data directory (the executable's
// folder, or the share folder of an installed program), the settings
// directory below a redirected settings root, and the command line kept for
// oxSystem::GetCommandLine.
#pragma once

#include <cstddef>

#include "core/ox_app.h"

namespace ox {

// The file that marks a folder as holding a program's data (the asset
// generator writes it last, and it installs with the data).
constexpr const char* kDataMark = "OXDATA.TXT";
// The environment variable that names the data directory.
constexpr const char* kDataEnvironment = "SAMPLEGAME_DATA";

// The data directory of the executable at `exePath`, with its trailing "/":
// `fromEnvironment` when it is set and not empty; else the executable's
// folder when it holds kDataMark; else PARENT/share/NAME/ of an executable
// PARENT/FOLDER/NAME when that holds kDataMark; else the executable's
// folder. False when the result does not fit into `size` bytes.
bool FindDataDirectory(const char* exePath, const char* fromEnvironment, char* out, size_t size);

// Data directory with its trailing "/" (settings: the settings directory):
// the override, else FindDataDirectory for the running executable and
// $SAMPLEGAME_DATA.
// Writes at most `size` bytes; returns false when the path does not fit.
bool DataDirectory(char* out, size_t size, bool settings = false);
// Joins the data directory and a file name; false when it does not fit.
bool DataPath(char* out, size_t size, const char* name, bool settings = false);

// The settings root read from the redirect file ("" when there is none),
// without a trailing "/".
const char* SettingsRoot();
void SetSettingsRootPath(const char* root);

// Keeps a copy of the command line (program name and arguments joined by spaces).
void SetCommandLine(int argc, char** argv);
const char* CommandLine();

}  // namespace ox
