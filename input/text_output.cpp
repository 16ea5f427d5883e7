// Platform text output on the back buffer: one line at a point, and
// word-wrapped lines in a box.
#include <algorithm>
#include <cstdint>

#include "draw/ox_surface.h"
#include "input/ox_text.h"
#include "input/text_internal.h"

namespace {

using ox::text::State;
using ox::text::TextState;

struct LineSpan {
  size_t begin, end;  // bytes of the line, trailing spaces left out
  int64_t width;      // pixels, trailing spaces left out
};

bool IsSpace(uint32_t c) { return c == ' ' || c == 0x3000; }

// May a line end before c? Closing punctuation stays with what precedes it.
bool KeepsWithPrevious(uint32_t c) { return ox::text::IsHanging(c) && c != 0xFF08; }

// Splits text into lines no wider than `width`: at line feeds, after
// spaces, and between Japanese characters; a word wider than the line is
// cut between characters. Spaces where a line wraps are dropped. Calls
// emit(line) for each line until it returns false; returns the number of
// lines emitted.
template <class Emit>
int Wrap(int font, const char* text, int64_t width, Emit&& emit) {
  int lines = 0;
  size_t p = 0;
  uint32_t c;
  while (text[p]) {
    LineSpan line{p, p, 0};
    LineSpan lastBreak{};
    bool canBreak = false, any = false, wrapped = false;
    int64_t pen = 0;
    uint32_t prev = 0;
    for (;;) {
      const int n = ox::text::NextChar(text + p, &c);
      if (n == 0 || c == '\n') break;
      if (ox::text::IsControl(c)) {
        p += size_t(n);
        continue;
      }
      const bool space = IsSpace(c);
      if (any && !space &&
          (IsSpace(prev) ||
           ((ox::text::IsWide(prev) || ox::text::IsWide(c)) && !KeepsWithPrevious(c)))) {
        canBreak = true;
        lastBreak = line;
        lastBreak.begin = p;  // where the next line would start
      }
      const int advance = ox::text::CharAdvance(font, c);
      if (any && !space && pen + advance > width) {
        wrapped = true;
        if (canBreak) {
          p = lastBreak.begin;
          line.end = lastBreak.end;
          line.width = lastBreak.width;
        }
        break;
      }
      pen += advance;
      p += size_t(n);
      if (!space) {
        line.end = p;
        line.width = pen;
      }
      prev = c;
      any = true;
    }
    ++lines;
    if (!emit(line)) break;
    if (text[p] == '\n') {
      ++p;
    } else if (wrapped) {
      for (int n; (n = ox::text::NextChar(text + p, &c)) != 0 && IsSpace(c);) p += size_t(n);
    }
  }
  return lines;
}

// The back buffer while the text context is open and it can be drawn on.
oxd::Surface* Target() {
  const TextState& s = State();
  oxd::Surface* back = oxd::BackSurface();
  if (!s.described || s.backFont < 0 || !back || back->lost || !back->pixels) return nullptr;
  return back;
}

}  // namespace

void oxText::Out(int x, int y, const char* text) {
  oxd::Surface* back = Target();
  if (!back || !text) return;
  const TextState& s = State();
  const oxd::Rect all{0, 0, back->width, back->height};
  if (!s.transparent) {
    const int width = ox::text::MeasureChars(s.backFont, text, SIZE_MAX);
    ox::text::FillCells(*back, s.backFont, x, y, width, oxd::NativeColor(uint32_t(s.backColour)),
                        all);
  }
  ox::text::DrawChars(*back, s.backFont, s.desc.underline, text, SIZE_MAX, x, y,
                      oxd::NativeColor(uint32_t(s.textColour)), all);
}

void oxText::DrawBox(int left, int top, int right, int bottom, const char* text, int alignment) {
  oxd::Surface* back = Target();
  if (!back || !text || alignment < 0 || alignment > 2) return;
  const TextState& s = State();
  plat::FontMetrics m;
  if (!plat::GetFontMetrics(s.backFont, m)) return;
  const oxd::Rect box{left, top, right, bottom};
  const int64_t width = int64_t(right) - left;
  const uint16_t ink = oxd::NativeColor(uint32_t(s.textColour));
  const uint16_t paper = oxd::NativeColor(uint32_t(s.backColour));
  int64_t y = top;
  Wrap(s.backFont, text, width, [&](const LineSpan& line) {
    if (y >= bottom) return false;
    int64_t x = left;
    if (alignment == 1) x = left + (width - line.width) / 2;
    if (alignment == 2) x = right - line.width;
    const int lx = int(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX));
    const int ly = int(y);
    const int lw = int(std::min<int64_t>(line.width, INT32_MAX));
    if (!s.transparent) ox::text::FillCells(*back, s.backFont, lx, ly, lw, paper, box);
    ox::text::DrawChars(*back, s.backFont, s.desc.underline, text + line.begin,
                        line.end - line.begin, lx, ly, ink, box);
    y += m.height;
    return true;
  });
}

int oxText::MeasureBox(int left, int top, int right, int bottom, const char* text) {
  (void)bottom;  // the measure grows downward as far as the text goes
  TextState& s = State();
  plat::FontMetrics m;
  if (!s.described || s.backFont < 0 || !text || !plat::GetFontMetrics(s.backFont, m)) return 0;
  int64_t widest = 0;
  const int lines = Wrap(s.backFont, text, int64_t(right) - left, [&](const LineSpan& line) {
    widest = std::max(widest, line.width);
    return true;
  });
  const int64_t height = int64_t(lines) * m.height;
  s.measure = oxd::Rect{left, top, int(std::min<int64_t>(left + widest, INT32_MAX)),
                        int(std::min<int64_t>(top + height, INT32_MAX))};
  return int(std::min<int64_t>(height, INT32_MAX));
}

void oxText::GetMeasure(int* left, int* top, int* right, int* bottom) {
  const oxd::Rect& r = State().measure;
  if (left) *left = r.left;
  if (top) *top = r.top;
  if (right) *right = r.right;
  if (bottom) *bottom = r.bottom;
}
