// Memory surfaces and the blitter that copies between them.
//
// A surface is a block of RGB565 pixels. The blitter behaves as a display
// driver's: a copy whose source rectangle leaves its surface, or whose
// destination leaves the target, is refused and draws nothing; a surface
// marked lost refuses every operation until it is restored.
#pragma once

#include <cstdint>

namespace oxd {

struct Surface {
  uint16_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;       // pixels per row
  bool hasKey = false; // source colour key set
  uint16_t key = 0;    // native pixel value skipped by keyed copies
  bool lost = false;   // set by the loss test hook; cleared by RestoreSurface
};

enum class BlitResult { Ok, Refused, Lost };

// Allocates a zero-filled surface; nullptr when the size is not positive,
// larger than 65535 on a side, or memory is short.
Surface* CreateSurface(int width, int height);
void DestroySurface(Surface* surface);
// Brings a lost surface back; its picture is gone (all pixels 0).
void RestoreSurface(Surface& surface);

// Copies src (sl, st, sr, sb) to dst at (dx, dy), 1:1. With `keyed` and a
// key on src, pixels equal to the key are skipped. An empty rectangle copies
// nothing and succeeds.
BlitResult Blit(Surface& dst, int dx, int dy, const Surface& src, int sl, int st, int sr, int sb,
                bool keyed);
// Scales src (sl, st, sr, sb) onto dst (dl, dt, dr, db), nearest neighbour.
BlitResult BlitStretch(Surface& dst, int dl, int dt, int dr, int db, const Surface& src, int sl,
                       int st, int sr, int sb, bool keyed);
// Fills (l, t, r, b) of dst with a raw pixel value.
BlitResult Fill(Surface& dst, int l, int t, int r, int b, uint16_t value);

// Colour reference (0x00BBGGRR) to RGB565 by truncation.
inline uint16_t NativeColor(uint32_t colorRef) {
  uint32_t r = colorRef & 0xFF, g = (colorRef >> 8) & 0xFF, b = (colorRef >> 16) & 0xFF;
  return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

}  // namespace oxd
