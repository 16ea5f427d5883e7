// Whole-file writes that never leave a half-written file behind: the
// settings files of the library and the player's settings file.
#pragma once

#include <cstddef>

namespace ox {

// Writes `size` bytes to a temporary file beside `path`, flushes it to the
// disk and renames it over `path`, so that a crash leaves either the old
// file or the new one. Temporary files of writers killed before their
// rename are removed first. On failure answers false with errno set and
// leaves `path` as it was.
bool WriteFileAtomically(const char* path, const void* data, size_t size);

}  // namespace ox
