// State and helpers shared by the text layer's source files (input/text*).
// Everything here is plain data, zero-initialised or constant-initialised.
#pragma once

#include <cstddef>
#include <cstdint>

#include "draw/ox_surface.h"
#include "platform/font_rasterizer.h"

namespace ox::text {

constexpr int kFontTableSize = 200;
constexpr int kFontNameSize = 36;
constexpr int kFaceSize = 64;
// Characters one typesetting lays out; a longer text stops there.
constexpr int kMaxLaidOut = 4096;

struct FontEntry {
  char name[kFontNameSize];
  int kind;  // oxText::kJapaneseFont, kOtherFont or kSymbolFont
  uint8_t charset;
};

// The font description every text operation shares.
struct Description {
  int height;
  int width;       // always 0: the face's own proportions
  int escapement;  // tenths of a degree
  int weight;
  uint8_t italic, underline, charset;
  char face[kFaceSize];
};

struct TextState {
  int described;  // 1 between InitFonts and ReleaseFonts
  Description desc;
  FontEntry fonts[kFontTableSize];
  int fontCount;
  int32_t textColour;
  int32_t backColour;
  int transparent;  // background of the open context left untouched
  int backFont;     // font of the back buffer's text context; -1: closed
  int smoothFont;   // font of the smooth context; -1: closed
  oxd::Rect measure;
  // Typesetting: rects[0] bounds the whole text, rects[1..laidOut] are the
  // characters in layout order.
  oxd::Rect rects[kMaxLaidOut + 1];
  int laidOut;
  int revealCount;
  float revealTimer;
  int drawAfter;  // 1: typesetting copies to the back buffer
};

TextState& State();
// Back to the state before start-up (tests): no description, contexts
// closed, default colours.
void ResetTextState();
// The meter's text is always drawn opaque.
void SetOpaque();

plat::FontSpec SpecOf(const Description& d);
// Closes the back buffer's text context (font deleted), keeping the
// background mode.
void CloseBackContext();
// Opens it with a font made from the description; false when no font can
// be made.
bool OpenBackContext();

// ---- characters

// The character at s: its length in bytes (0 at the end: a NUL or no
// bytes left) and code point. A malformed or cut-off sequence is a single
// byte read as U+FFFD; nothing past a NUL or `available` is read.
int NextChar(const char* s, size_t available, uint32_t* codepoint);
inline int NextChar(const char* s, uint32_t* codepoint) { return NextChar(s, SIZE_MAX, codepoint); }
// Control characters take no room and draw nothing.
inline bool IsControl(uint32_t c) { return c < 0x20 || c == 0x7F; }
// Characters that may end a line past its right edge instead of starting
// the next one ("、", "。", closing quotes and brackets, spaces, ...).
bool IsHanging(uint32_t c);
// Japanese (and other wide) characters: a line may break before and after
// each of them.
inline bool IsWide(uint32_t c) { return c >= 0x2E80; }

// ---- drawing

// Width in pixels of a character's cell (0 for control characters).
int CharAdvance(int font, uint32_t c);
// Width of the characters of text[0..bytes).
int MeasureChars(int font, const char* text, size_t bytes);
// Draws the characters of text[0..bytes) in one colour from the cell's
// top-left (x, y), turned by the font's angle, only inside `clip` (which
// must lie inside dst); underlined when asked. Returns their width.
int DrawChars(oxd::Surface& dst, int font, bool underline, const char* text, size_t bytes, int x,
              int y, uint16_t colour, const oxd::Rect& clip);
// Fills the cells of a run `width` pixels wide from (x, y), turned by the
// font's angle, inside `clip`.
void FillCells(oxd::Surface& dst, int font, int x, int y, int width, uint16_t colour,
               const oxd::Rect& clip);
// The part of `r` inside the surface.
oxd::Rect Inside(const oxd::Surface& s, const oxd::Rect& r);

}  // namespace ox::text
