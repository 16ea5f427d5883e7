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
// vsync 1; Screen() sets the rest.
ScreenState& Scr();
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

// Called before anything writes into `target`: when it is the back buffer
// and it still holds the picture owed to the screen surface, hands that
// picture over; then notes the rectangle (l, t, r, b), inside the surface,
// as written. `whole`: every pixel of the back buffer is about to be
// overwritten without being read, so the two surfaces swap their pixels
// instead of copying.
void NoteBackWrite(bool whole, int l, int t, int r, int b);
inline void BeforeWrite(const Surface& target, bool whole, int l, int t, int r, int b) {
  if (&target == Scr().back) NoteBackWrite(whole, l, t, r, b);
}
// Hands the picture owed to the screen surface over by copying.
void HandOverPresent();
// The back buffer, for code about to write anywhere into it.
Surface* WritableBack();
// Fills the whole back buffer with 0, skipping the parts of rows already
// known to be 0.
void ClearBack();
// After the back buffer was copied onto the screen surface whole.
void NoteScreenCopied();
// Forgets which pixels are known to be 0 (new or freed surfaces).
void ForgetZeroBounds();

// Test hook: marks every surface lost, as a display change would.
void MarkAllSurfacesLost();

}  // namespace oxd
