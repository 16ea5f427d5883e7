// Memory surfaces, the blitter that copies between them, and access to the
// surfaces of the screen and the sprite table for code that draws into them
// directly (the text renderer).
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
  // No pixel equals the key: keyed copies from the surface are plain copies.
  // Set only by CheckKeyFree; every write into the surface through the
  // library clears it, and SpriteSurface hands surfaces out with it cleared.
  // Code that keeps a surface and writes its pixels later clears it itself.
  bool keyFree = false;
};

struct Rect {
  int left, top, right, bottom;
};

// The screen's pixel format: masks, shifts and widths of the three channels.
struct PixelFormat {
  uint32_t redMask, greenMask, blueMask;
  int redShift, greenShift, blueShift;
  uint32_t redWidthMask, greenWidthMask, blueWidthMask;
  int redPosition, greenPosition, bluePosition;
  uint32_t halfMask;
  uint32_t pairHalfMask;
  uint32_t white;
};

enum class BlitResult { Ok, Refused, Lost };

// Allocates a zero-filled surface; nullptr when the size is not positive,
// larger than 65535 on a side, or memory is short.
Surface* CreateSurface(int width, int height);
void DestroySurface(Surface* surface);
// Brings a lost surface back; its picture is gone (all pixels 0).
void RestoreSurface(Surface& surface);
// Sets keyFree when the surface has a key and no pixel equals it, else
// clears it.
void CheckKeyFree(Surface& surface);

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

// Sprite handles 0..3 are the library's own.
enum InternalSprite { kBufferSprite = 0, kScreenSprite = 1, kFontSprite = 2, kFontBufferSprite = 3 };

// The surface of a handle, or nullptr for a handle out of range or a record
// without a surface. The caller may write into it, so its keyFree is cleared.
Surface* SpriteSurface(int handle);
// The back buffer every frame is drawn into; nullptr while no screen is open.
Surface* BackSurface();
// The clip rectangle of clipped draws.
Rect ClipRect();
// The screen's pixel format (valid while a screen is open).
const PixelFormat& ScreenFormat();

}  // namespace oxd
