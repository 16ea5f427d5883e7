// Image pack files: entries of (width, height, NUL-terminated upper-case
// name, 15-bit pixels), one after another with no header or index. The
// reader below is shared by LoadPack, SwapPack and the sprite restore, and
// is what the pack fuzz target drives.
#pragma once

#include <cstdint>
#include <cstdio>

#include "draw/ox_surface.h"

namespace oxd {

// An entry name holds at most 127 bytes before its NUL; a longer one marks
// the pack as damaged, and a longer requested name is refused.
constexpr int kPackNameMax = 127;

struct PackEntry {
  uint16_t width;
  uint16_t height;
  int64_t pixelOffset;  // file offset of the first pixel
  char name[kPackNameMax + 1];
};

// Scans `pack` from its start for the first entry named exactly `name`.
// The scan stops at the end of the file, at an entry whose name runs past
// 127 bytes, and at an entry whose pixels the file cuts short (such an
// entry is never found, even by its name). Reads nothing beyond the file.
bool FindPackEntry(FILE* pack, const char* name, PackEntry& out);

// Reads the entry's pixels into `surface`, which must be the entry's size,
// converting each to the display's pixel format. False when the file ends
// early (the surface then holds what was read, the rest unchanged).
bool ReadPackPixels(FILE* pack, const PackEntry& entry, Surface& surface);

// Pack pixel of a colour read off a bitmap (0x00RRGGBB): black stays 0;
// any other colour keeps the top five bits of each channel, and one that
// would become black is stored as blue 1, so it never turns transparent.
uint16_t PackPixel(uint32_t rgb);

// Upper-cases the ASCII letters of `name` into `out` (at most size - 1
// bytes); false when the name does not fit.
bool UpperName(char* out, size_t size, const char* name);

// Reloads a pack sprite after a surface loss from the current pack, by
// the full name it was loaded under. Returns the handle, 0 on failure.
int ReloadFromPack(int handle);

}  // namespace oxd
