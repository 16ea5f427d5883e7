// oxText: fonts and text on the back buffer.
//
// Strings are UTF-8; a multi-byte sequence is one character and is never
// split. Colours are colour references (0x00BBGGRR).
//
// Two ways to draw text:
// - Platform text output. SelectFont (or SelectFontByName) makes a font
//   from the shared font description and opens the back buffer's text
//   context; Out, DrawBox and MeasureBox work while it is open; EndText
//   closes it. Open and close it within one frame.
// - The typesetter. Typeset lays text out in a box with line wrapping that
//   keeps punctuation from starting a line, draws it with optional shadow
//   and thickening into the internal Font sprite and copies it to the back
//   buffer (clipped to the clip rectangle, like every sprite draw).
//   Prepare lays out without copying; Reveal then shows the prepared text
//   character by character, called once a frame. The smooth variants draw
//   at twice the size and reduce the glyphs with a blending filter; select
//   the font with SelectSmoothFont first.
// Fonts exist between screen set-up (InitFonts) and the quit sequence
// (ReleaseFonts); before and after, every operation does nothing. Nothing
// is reported: a face that does not exist is replaced by the closest one.
#pragma once

#include <cstdint>

struct oxText {
  // Face choices of SelectFont and SelectSmoothFont.
  static constexpr int kMincho = 0;  // "標準明朝": IPA Mincho
  static constexpr int kGothic = 1;  // "標準ゴシック": IPA Gothic
  // Typesetting flags beside the extra line spacing in the low byte.
  static constexpr int kShadow = 256;     // shadow in the background colour
  static constexpr int kThickenX = 512;   // one pixel wider
  static constexpr int kThickenY = 1024;  // one pixel taller
  // Kinds of the font list.
  static constexpr int kJapaneseFont = 1;
  static constexpr int kOtherFont = 2;
  static constexpr int kSymbolFont = 3;

  // ---- fonts
  // Creates the font description and lists the installed fonts (at most
  // 200); screen set-up calls it.
  static void InitFonts();
  static void ReleaseFonts();
  // Installs the font list as a service of screen set-up and the quit
  // sequence (the frame does this at start).
  static void InstallServices();
  // Face choice kMincho or kGothic (other values keep the face); height in
  // pixels (positive: character cell, negative: em); angle in degrees
  // counter-clockwise; bold 0 normal, 1 bold, other values the default.
  static void SelectFont(int face, int height, int angle, int bold, int italic, int underline);
  static void SelectFontByName(const char* face, int height, int angle, int bold, int italic,
                               int underline);
  static void EndText();
  // A non-zero transparent flag leaves the background under text
  // untouched until EndText, which makes it opaque again; a zero flag
  // keeps the mode as it is.
  static void SetColour(int32_t text, int32_t background, int transparent);
  // Makes the background under text opaque again, as EndText does, while
  // the context stays open.
  static void SetOpaqueBackground();
  // The font list: its length, and an entry's face name and kind (nullptr
  // for an index out of range).
  static int GetFontCount();
  static const char* GetFontName(int index, int* kind);

  // ---- platform text output (between SelectFont and EndText)
  // One line at (x, y), the top-left of its first character cell.
  static void Out(int x, int y, const char* text);
  // Word-wrapped lines inside the box, cut at its edges; alignment 0 left,
  // 1 centre, 2 right (other values draw nothing). Lines break at spaces,
  // between Japanese characters and at line feeds.
  static void DrawBox(int left, int top, int right, int bottom, const char* text, int alignment);
  // Computes the rectangle DrawBox would fill into the measure rectangle
  // (left and top kept; right at the widest line, bottom below the last)
  // and returns its height.
  static int MeasureBox(int left, int top, int right, int bottom, const char* text);
  static void GetMeasure(int* left, int* top, int* right, int* bottom);

  // ---- typesetter
  static void Typeset(int left, int top, int right, int bottom, const char* text, int flags);
  static void Prepare(int left, int top, int right, int bottom, const char* text, int flags);
  // Draws the prepared text revealed so far and reveals one more character
  // each interval (seconds of frame time); 1 once all of it shows. An
  // interval of 0 shows everything at once.
  static int Reveal(float interval);
  static void SelectSmoothFont(int face, int height);
  static void SelectSmoothFontByName(const char* face, int height);
  static void EndSmoothText();
  static void TypesetSmooth(int left, int top, int right, int bottom, const char* text, int flags);
  static void PrepareSmooth(int left, int top, int right, int bottom, const char* text, int flags);
};
