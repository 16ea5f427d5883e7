// Where the library's files live: the data directory (the executable's),
// the settings directory below a redirected settings root, and the command
// line kept for oxSystem::GetCommandLine.
#pragma once

#include <cstddef>

#include "core/ox_app.h"

namespace ox {

// Data directory with its trailing "/" (settings: the settings directory).
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
