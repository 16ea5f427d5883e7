// Fonts for the text layer: the installed font families (fontconfig) and
// glyphs rasterised by FreeType as hard-edged masks, the way a 16-bit
// screen's text output draws them.
//
// A font is created from a description (face, height, angle, weight,
// italic, character set) and referenced by a small handle until deleted.
// Fonts and rendered glyphs are kept in fixed tables, so drawing the same
// text every frame touches neither FreeType nor the heap.
#pragma once

#include <cstdint>

namespace plat {

// Character sets of the font list.
constexpr uint8_t kAnsiCharset = 0;
constexpr uint8_t kSymbolCharset = 2;
constexpr uint8_t kJapaneseCharset = 128;

// The standard Japanese faces. They resolve to IPA Mincho and IPA Gothic;
// when those are not installed, to fontconfig's best Japanese serif or
// sans-serif face.
constexpr const char* kStandardMincho = "標準明朝";
constexpr const char* kStandardGothic = "標準ゴシック";

// Calls visit once for every installed font family, in name order, with
// its character set (Japanese when it covers Japanese, symbol for symbol
// fonts, else ANSI). Returns the number of families; 0 when fontconfig
// is not available.
int ListFontFamilies(void (*visit)(void* user, const char* family, uint8_t charset), void* user);

struct FontSpec {
  const char* face = "";  // family name; "" for the default face
  int height = 0;         // > 0 cell height, < 0 character (em) height, 0 default
  int escapement = 0;     // baseline angle, tenths of a degree counter-clockwise
  int weight = 0;         // 0 default, 100 to 900 (700 bold)
  bool italic = false;
  uint8_t charset = kJapaneseCharset;
};

struct FontMetrics {
  int height;  // cell height: ascent + descent
  int ascent;  // from the cell's top down to the baseline
  int descent;
  int underlinePosition;  // top of the underline, below the baseline
  int underlineThickness;
  double dirX, dirY;  // unit vector along the baseline (screen axes, y down)
};

struct Glyph {
  const uint8_t* mask;  // 0 or 255 per pixel, `pitch` bytes a row; nullptr when blank
  int width, height, pitch;
  int left, top;     // the mask's top-left from the pen on the baseline (y down)
  int32_t advanceX;  // pen movement along the baseline, 1/64 pixel (y down)
  int32_t advanceY;
  int advance;  // width of the character's cell in whole pixels, unrotated
};

constexpr int kMaxFontHeight = 1024;  // larger heights are cut to it

// A handle (0 or more), or -1 when no font file could be opened or every
// handle is in use. Creating a font equal to one that exists shares it.
int CreateFont(const FontSpec& request);
void DeleteFont(int font);
bool GetFontMetrics(int font, FontMetrics& out);
// The glyph of a Unicode code point (the face's missing-glyph box when it
// has none). The mask stays valid until the next call into this file.
bool GetGlyph(int font, uint32_t codepoint, Glyph& out);
// Closes every font and FreeType itself; the next CreateFont starts again.
void ShutdownFonts();

}  // namespace plat
