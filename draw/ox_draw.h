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
  // Present draws both over the finished frame. A closing transition covers
  // the screen with the pattern's ten tiles on ten presented frames while
  // the main loop holds the scene still; the eleventh frame runs
  // `nextScene` (negative: the scene that called it carries on). An opening
  // transition uncovers a running scene the same way. The overlay shows a
  // picture, scrolled with the arrow keys, over a drifting tiled background.
  // While either runs, polled keys read 0 and key presses go to OverlayKey.
  static int LoadTransition(const char* patternName);  // sprite handle; 0 after a report
  static void CloseTransition(int nextScene = -1);
  static void OpenTransition();
  // 1, or 0 when the picture could not be loaded (the overlay stays off).
  static int LoadOverlay(const char* pictureName, const char* backgroundName, int pictureHeight);
  static void ToggleOverlay();  // on only with a picture loaded
  static int OverlayKey();      // key held while the overlay is shown; 0 none

  // ---- image packs
  // A pack holds 15-bit images under their upper-case bare file names.
  // Convert appends every BMP file of the data directory (or of one of its
  // subdirectories) to the pack in name order, emptying it first when
  // `startNew` is set. SetPack chooses the pack in the data directory that
  // LoadPack and SwapPack read; they look names up in any case. Convert,
  // LoadPack and SwapPack return 0 after an error report.
  static int Convert(const char* packName, const char* subdirectory, int startNew);
  static void SetPack(const char* packName);
  static int LoadPack(const char* name, int memoryKind);              // sprite handle
  static int SwapPack(const char* name, int handle, int memoryKind);  // the handle

  // ---- software pixel effects
  // Sprite-onto-back-buffer effects: clipped as Draw; a source pixel equal
  // to 0 is transparent whatever the sprite's key. Levels are 0 to 31
  // (5-bit channel scale), alphas 0.0 to 1.0. Each returns 1, or 0 when a
  // surface cannot be locked or the source rectangle leaves the sprite.
  static int DrawMirror(int x, int y, int mode, int handle, int sl, int st, int sr, int sb);
  static int DrawHalf(int x, int y, int handle, int sl, int st, int sr, int sb);
  static int DrawAlpha(int x, int y, float alpha, int handle, int sl, int st, int sr, int sb);
  static int DrawAlphaRGB(int x, int y, float alphaRed, float alphaGreen, float alphaBlue,
                          int handle, int sl, int st, int sr, int sb);
  static int DrawFade(int x, int y, int level, int handle, int sl, int st, int sr, int sb);
  static int DrawFadeRGB(int x, int y, int levelRed, int levelGreen, int levelBlue, int handle,
                         int sl, int st, int sr, int sb);
  static int DrawAlphaRamp(int x, int y, float alphaRed, float alphaGreen, float alphaBlue,
                           int direction, int start, int step, int handle, int sl, int st, int sr,
                           int sb);
  static int DrawFadeRamp(int x, int y, int levelRed, int levelGreen, int levelBlue,
                          int direction, int start, int step, int handle, int sl, int st, int sr,
                          int sb);
  static int DrawAdd(int x, int y, int handle, int sl, int st, int sr, int sb);
  static int DrawAddAlpha(int x, int y, float alpha, int handle, int sl, int st, int sr, int sb);
  static int DrawShadow(int x, int y, int handle, int sl, int st, int sr, int sb);
  static int DrawDark(int x, int y, int level, int handle, int sl, int st, int sr, int sb);
  static int DrawDarkRGB(int x, int y, int levelRed, int levelGreen, int levelBlue, int handle,
                         int sl, int st, int sr, int sb);
  static int DrawScaled(int x, int y, float factor, int handle, int sl, int st, int sr, int sb);
  static int DrawScaledRGB(int x, int y, float factorRed, float factorGreen, float factorBlue,
                           int handle, int sl, int st, int sr, int sb);
  static int DrawChannels(int x, int y, int red, int green, int blue, int handle, int sl, int st,
                          int sr, int sb);
  static int DrawGrey(int x, int y, int handle, int sl, int st, int sr, int sb);
  static int DrawSoft(int x, int y, int block, int handle, int sl, int st, int sr, int sb);
  static int DrawRefract(int x, int y, float strength, int handle, int sl, int st, int sr,
                         int sb);
  // Back-buffer filters on (x, y, width, height), cut to the back buffer;
  // 1, or 0 when the back buffer cannot be locked.
  static int Blur(int x, int y, int width, int height);
  static int BlurFade(int red, int green, int blue, int x, int y, int width, int height);
  static int Rise(int x, int y, int width, int height);
  static int RiseFade(int red, int green, int blue, int x, int y, int width, int height);
  static int Zoom2(int x, int y, int width, int height, int mode);
  static int Zoom4(int x, int y, int width, int height, int mode);
  static int MosaicCircle(int x, int y, int radius, int block);
  static int Noise(int shift, int x, int y, int width, int height);
  static int NoiseChannels(int red, int green, int blue, int shift, int x, int y, int width,
                           int height);
  // Rotations of a source rectangle about the centre of the destination
  // rectangle (left, top, right, bottom), clipped as Draw; angle in degrees.
  static int DrawRotate(int left, int top, int right, int bottom, int angle, int handle, int sl,
                        int st, int sr, int sb);
  static int DrawRotateTiled(int left, int top, int right, int bottom, int angle, int handle,
                             int sl, int st, int sr, int sb);
  static int DrawRotateZoom(int left, int top, int right, int bottom, int angle, float zoom,
                            int handle, int sl, int st, int sr, int sb);

  // ---- drawing primitives
  // Pixels, lines, outlines, polygons and curves on the back buffer, hard-
  // edged. Colours are colour references (0x00BBGGRR); a pen of width 1 or
  // less is one pixel wide and leaves out a line's last point. The clip
  // rectangle does not apply; the back buffer's edges do. Points are x, y
  // pairs: points[2 * i], points[2 * i + 1]. Nothing draws while the back
  // buffer is missing or lost.
  // OpenDC keeps a drawing context on the back buffer for the primitives
  // and the text layer until CloseDC; 1, or 0 when the back buffer cannot
  // be drawn on. Primitives also work without it.
  static int OpenDC();
  static void CloseDC();
  static void SetPixel(int x, int y, int32_t colorRef);
  // The pixel's colour as 8-bit components (0 to 255); 1, or 0 (and black)
  // outside the back buffer.
  static int GetPixel(int x, int y, int* red, int* green, int* blue);
  static void Line(int x1, int y1, int x2, int y2, int32_t colorRef, int width);
  // Filled with the fill colour, outlined through the pixel centres of
  // columns left and right - 1 and rows top and bottom - 1.
  static void Rectangle(int left, int top, int right, int bottom, int32_t fillColor,
                        int32_t outlineColor, int outlineWidth);
  // Closed outline of 2 to 2048 points; style 0 hollow, 1 diagonal cross-
  // hatch in the colour on the background colour, 2 the hatch alone
  // (alternate fill rule).
  static void Polygon(const int32_t* points, int count, int32_t colorRef, int32_t background,
                      int width, int style);
  // Cubic curves through 1 + 3 n points (n from 1 to 4096).
  static void Bezier(const int32_t* points, int count, int32_t colorRef, int width);
  static void InvertRect(int left, int top, int right, int bottom);
};
