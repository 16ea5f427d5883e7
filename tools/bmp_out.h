// Writing Cairo pictures as the game's 24-bit BMP files.
#pragma once

#include <cairo.h>

namespace assets {

// Writes an ARGB32 Cairo surface as a 24-bit bottom-up BMP. Pixels whose
// alpha is below `alphaCut` (0..255) become pure black, the game's
// transparent colour; every other pixel is composited over black and, if it
// would turn black after the game's 16-bit conversion (red < 8, green < 4
// and blue < 8), is lifted to the darkest visible value (0, 4, 0) so that
// nothing meant to be seen turns transparent. Opaque pictures (backgrounds)
// pass alphaCut 0: only their near-black pixels are lifted.
bool WriteBmp(cairo_surface_t* surface, const char* dir, const char* name, int alphaCut = 96);

// Converts a 24-bit uncompressed BMP (as the game's --shot writes it) into
// a PNG file; false after a message on standard error when the BMP cannot
// be read or is of another kind, or the PNG cannot be written.
bool BmpToPng(const char* bmpPath, const char* pngPath);

}  // namespace assets
