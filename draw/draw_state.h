// Process-wide state of the drawing library, shared by its source files:
// the screen, the sprite table, the clip rectangle and the pixel format.
// Everything here is plain data, zero-initialised, with no constructors.
#pragma once

#include <cstdint>

#include "draw/ox_draw_status.h"
#include "draw/ox_surface.h"

namespace oxd {

constexpr int kSpriteCount = 1024;
constexpr int kFirstLoaderHandle = 4;  // 0..3 are the internal sprites
constexpr int kMaxNameLength = 30;

struct SpriteRecord {
  Surface* surface;
  char name[32];        // empty: free; "*": blank sprite from CreateObject
  int32_t fromPack;     // 1: loaded from an image pack
  int32_t reloadKind;   // memory kind used by a reload after a loss
  int32_t keyColor;     // colour reference, or -1 for the top-left pixel
  uint16_t width;
  uint16_t height;
};

struct ScreenState {
  int opened;              // 1 between Screen and Release
  int width, height;
  Surface* screen;         // what the user sees
  Surface* back;           // where every frame is drawn
  int acceleratedDevice;
  int stretchCapable;
  int preferredDepth, firstFallbackDepth, secondFallbackDepth;
  int vsync;
  Rect presentSource;
  Rect screenRect;
  // 1: the last Present left its picture in the back buffer instead of
  // copying it onto the screen surface (nothing shows it headless); the
  // copy is made when the picture is asked for or the back buffer is about
  // to change.
  int presentPending;
};

struct KeyDefaults {
  int32_t defaultKeyColor;  // colour reference
  int32_t topLeftKey;       // 1: new sprites key on their top-left pixel
};

struct ClipState {
  Rect clip;
  Rect saved;
  int32_t counter;  // 1 opening, 2 closing, -1 closed, 0 idle
  int32_t direction, style, band;
  float speed;
  int32_t opened, closed;
};

// The state lives in draw/draw_state.cpp. Values before Screen: depth 16/0/0,
// vsync 1; Screen() sets the rest. Scr() first blanks whatever a Clear of
// the back buffer left to blank (see ClearBack), so that anyone reading the
// back buffer's pixels through it sees them as drawn.
ScreenState& Scr();
// The same state as it stands, for the blitter and the fills only: their
// BeforeWrite blanks what the write needs, and they blank the back buffer
// first when they read from it (SettleBack).
ScreenState& ScrUnsettled();
SpriteRecord* Sprites();  // kSpriteCount records
// The surface of a handle for reading only: unlike SpriteSurface it keeps
// the surface's keyFree flag. nullptr as SpriteSurface.
const Surface* SpriteSource(int handle);
PixelFormat& Format();
KeyDefaults& Keys();
ClipState& Clip();
// The record of a free handle.
constexpr SpriteRecord kFreeRecord = {nullptr, {}, 0, 2, 0, 0, 0};
// Puts the storage above back to its values before Screen (the surfaces
// must have been freed).
void ResetStateStorage();

// CreateSurface without clearing the pixels, for a caller that writes every
// one of them at once.
Surface* CreateSurfaceUncleared(int width, int height);

// Frees every record's surface and clears the records (0..1023).
void ClearSpriteTable();
// Native value of a colour reference on a surface: truncation, or the
// top-left pixel for -1 (all bits set when the surface is empty or lost).
uint32_t MatchColor(const Surface& surface, int32_t colorRef);
// Matches the colour and sets the surface's source colour key.
void SetSurfaceKey(Surface& surface, int32_t colorRef);
// Puts the animation state of the row-by-row distortions back to its
// start (phases and scrolls 0, alternating sign +1).
void ResetDistortionState();
// Puts the random-table positions and counters of the pixel-effect filters
// (rise, noise) back to their start (0).
void ResetEffectState();

// How a write covers its rectangle.
enum class Write {
  Mixed,   // may read what is there (keys, blends) or leave pixels as they are
  Opaque,  // sets every pixel of the rectangle without reading any
  Whole,   // Opaque, and the rectangle is the whole surface
};

// Called before anything writes into `target`: when it is the back buffer
// and it still holds the picture owed to the screen surface, hands that
// picture over; blanks what a Clear left to blank, except where an opaque
// write is about to cover it; then notes the rectangle (l, t, r, b), inside
// the surface, as written. For a whole write the two surfaces swap their
// pixels instead of copying.
void NoteBackWrite(Write kind, int l, int t, int r, int b);
inline void BeforeWrite(const Surface& target, Write kind, int l, int t, int r, int b) {
  if (&target == ScrUnsettled().back) NoteBackWrite(kind, l, t, r, b);
}
// Blanks everything a Clear left to blank in the back buffer.
void SettleBack();
// Before `source` is read: settles it when it is the back buffer.
inline void BeforeRead(const Surface& source) {
  if (&source == ScrUnsettled().back) SettleBack();
}
// Hands the picture owed to the screen surface over by copying.
void HandOverPresent();
// The back buffer, for code about to write anywhere into it.
Surface* WritableBack();
// Fills the whole back buffer with 0, skipping the parts of rows already
// known to be 0. The rest is blanked lazily: an opaque write covering part
// of it makes blanking that part unnecessary (a scrolling background over
// the playfield, every frame); anything else blanks it first.
void ClearBack();
// After the back buffer was copied onto the screen surface whole.
void NoteScreenCopied();
// Forgets which pixels are known to be 0 (new or freed surfaces).
void ForgetZeroBounds();

// Test hook: marks every surface lost, as a display change would.
void MarkAllSurfacesLost();

}  // namespace oxd
