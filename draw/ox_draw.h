// oxDraw: the screen, the sprite table and sprite drawing.
//
// Every frame is drawn into the 640 x 480 RGB565 back buffer and shown by
// Present. Sprites are addressed by handles into a table of 1024 records;
// handles 0 to 3 are the library's internal sprites, loaders hand out 4 to
// 1023. Operations report failures through the error report and return 0.
#pragma once

#include <cstdint>

struct oxDraw {
  // ---- screen set-up and presentation
  static int Screen(int width, int height, int placement);
  static void SetDepth(int preferred, int firstFallback, int secondFallback);
  static void SetVSync(int flag);
  static void Present();
  static void Clear();
  static void Release();
  static int GetDisplayDepth();

  // ---- sprite table
  static int LoadObject(const char* name, int memoryKind);
  static int CreateObject(int width, int height, int memoryKind);
  static int SwapObject(const char* name, int handle, int memoryKind);
  static void ReleaseObject(int handle);
  static void Restore();
  static void SetKeyColor(int32_t colorRef);
  static void SetKeyTopLeft();
  static void SetObjectKey(int handle, int32_t colorRef);
  static void SetObjectKeyTopLeft(int handle);
  static void CopyKey(int destination, int source);

  // ---- clipping and clip effects
  static void SetClip(int left, int top, int right, int bottom);
  static void CloseClip();
  static int StartClipEffect(int direction, int style, float speed, int band);
  static int StepClipEffect();

  // ---- sprite drawing
  static void Draw(int x, int y, int handle, int sl, int st, int sr, int sb);
  static void DrawOn(int destination, int x, int y, int handle, int sl, int st, int sr, int sb);
  static void DrawOpaque(int x, int y, int handle, int sl, int st, int sr, int sb);
  static void DrawOpaqueOn(int destination, int x, int y, int handle, int sl, int st, int sr,
                           int sb);
  static void DrawStretch(int x, int y, int handle, int sl, int st, int sr, int sb, int width,
                          int height);
  static void DrawStretchOpaque(int x, int y, int handle, int sl, int st, int sr, int sb,
                                int width, int height);
  static void Capture(int handle, int left, int top, int right, int bottom);

  // ---- fills
  static void ClearObject(int handle);
  static void ClearRect(int left, int top, int right, int bottom);
  static void FrameRect(int left, int top, int right, int bottom);
  static void ClearWhite();
  static void ClearRectWhite(int left, int top, int right, int bottom);
  static void FillRect(int left, int top, int right, int bottom, int32_t pixel);
  static int BlendRect(int left, int top, int right, int bottom, int32_t pixel);

  // ---- row-by-row distortions
  static void DrawWave(int x, int y, int amplitude, int divisor, float speed, int handle, int sl,
                       int st, int sr, int sb, int alternate);
  static void DrawWaveScroll(int x, int y, int amplitude, int divisor, float waveSpeed,
                             float scrollSpeed, int handle, int sl, int st, int sr, int sb);
  static void DrawWaveTile(int top, int bottom, int amplitude, int divisor, float waveSpeed,
                           float scrollSpeed, int handle, int sl, int st, int sr, int sb);
  static void DrawTiled(float xSpeed, float ySpeed, int handle, int sl, int st, int sr, int sb);
  static void DrawBands(int x, int y, int bandHeight, int handle, int sl, int st, int sr, int sb);
  static void DrawScanlines(int x, int y, int step, int handle, int sl, int st, int sr, int sb);
  static void DrawShake(int x, int y, int amplitude, int handle, int sl, int st, int sr, int sb);
  static void DrawRoll(int x, int y, int direction, float speed, int handle, int sl, int st,
                       int sr, int sb);

  // ---- screen transitions and the picture overlay

  // ---- image packs

  // ---- software pixel effects

  // ---- drawing primitives
};
