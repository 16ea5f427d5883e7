// The typesetter: text laid out in a box with line wrapping and hanging
// punctuation, drawn with shadow and thickening into the Font sprite, then
// copied to the back buffer at once or revealed character by character.
// The smooth variant draws each run of glyphs at twice the size into the
// Font buffer sprite and reduces it into the Font sprite with a blending
// filter.
//
// The Font sprite has the screen's size and is keyed on black; text is
// drawn into it where it will appear on the screen, so every character's
// rectangle is the same in the sprite and on the back buffer.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "core/app_state.h"
#include "draw/ox_draw.h"
#include "draw/ox_surface.h"
#include "input/ox_text.h"
#include "input/text_internal.h"

namespace {

using ox::text::State;
using ox::text::TextState;
using oxd::Rect;
using oxd::Surface;

// Below this on all three components a colour would vanish on the black
// key of the Font sprite; it is drawn as (16, 16, 16).
constexpr int kDarkest = 16;
constexpr int32_t kLifted = 0x101010;
// Rows of the Font buffer cleared below a run: glyph ink may reach a
// little past the cell.
constexpr int kInkMargin = 8;

struct Effects {
  int spacing;
  int shadow, thickX, thickY;  // 0 or 1
};

Effects EffectsOf(int flags) {
  return Effects{flags & 0xFF, (flags & oxText::kShadow) ? 1 : 0,
                 (flags & oxText::kThickenX) ? 1 : 0, (flags & oxText::kThickenY) ? 1 : 0};
}

uint16_t Visible(int32_t ref) {
  const uint32_t v = uint32_t(ref);
  const bool dark = int(v & 0xFF) < kDarkest && int((v >> 8) & 0xFF) < kDarkest &&
                    int((v >> 16) & 0xFF) < kDarkest;
  return oxd::NativeColor(dark ? uint32_t(kLifted) : v);
}

int Saturate(int64_t v) { return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

Rect RectOf(int64_t l, int64_t t, int64_t r, int64_t b) {
  return Rect{Saturate(l), Saturate(t), Saturate(r), Saturate(b)};
}

// Copies a rectangle of the Font sprite to the same place on the back
// buffer with a keyed, clipped draw; the part outside the sprite is cut off
// first, so text running off the screen still shows its visible part.
void Show(const Rect& r) {
  const Surface* sprite = oxd::SpriteSurface(oxd::kFontSprite);
  if (!sprite) return;
  const Rect c = ox::text::Inside(*sprite, r);
  if (c.left >= c.right || c.top >= c.bottom) return;
  oxDraw::Draw(c.left, c.top, oxd::kFontSprite, c.left, c.top, c.right, c.bottom);
}

// What one typesetting draws with.
struct Ink {
  int font;
  bool underline;
  Effects effects;
  uint16_t text, shade;
};

// A character with its effects, its cell's top-left at (x, y). `unit` is
// the shadow's offset: 1, or 2 at double size.
void DrawCharacter(Surface& dst, const Ink& ink, const char* s, int bytes, int64_t x, int64_t y,
                   int unit) {
  const Rect all{0, 0, dst.width, dst.height};
  const Effects& e = ink.effects;
  auto draw = [&](int64_t dx, int64_t dy, uint16_t colour) {
    ox::text::DrawChars(dst, ink.font, ink.underline, s, size_t(bytes), Saturate(x + dx),
                        Saturate(y + dy), colour, all);
  };
  if (e.shadow) draw(unit + e.thickX, unit + e.thickY, ink.shade);
  draw(0, 0, ink.text);
  if (e.thickX) {
    draw(1, 0, ink.text);
    if (e.thickY) draw(1, 1, ink.text);
  }
  if (e.thickY) draw(0, 1, ink.text);
}

// Records a laid-out character; false once the table is full.
bool Record(TextState& s, const Rect& r) {
  if (s.laidOut >= ox::text::kMaxLaidOut) return false;
  s.rects[++s.laidOut] = r;
  Rect& all = s.rects[0];
  all.left = std::min(all.left, r.left);
  all.top = std::min(all.top, r.top);
  all.right = std::max(all.right, r.right);
  all.bottom = std::max(all.bottom, r.bottom);
  return true;
}

// The layout shared by both typesetters. Each character is measured,
// placed at the pen and drawn. A character that takes the pen past the
// right edge ends the line: a hanging character stays at its end, any
// other starts the next line (one that does not fit even on an empty line
// stays where it is, so it is not lost). A line feed ends the line too.
// `place` draws and records a character; `endLine` finishes the line and
// says whether another one fits.
struct Measure {
  int64_t width, height;
};

template <class MeasureFn, class OverflowFn, class PlaceFn, class EndLineFn>
void Layout(const char* text, MeasureFn&& measure, OverflowFn&& overflows, PlaceFn&& place,
            EndLineFn&& endLine) {
  size_t p = 0;
  uint32_t c;
  bool lineStart = true;
  while (const int n = ox::text::NextChar(text + p, &c)) {
    const bool lineFeed = c == '\n';
    if (ox::text::IsControl(c) && !lineFeed) {
      p += size_t(n);
      continue;
    }
    const Measure m = lineFeed ? Measure{0, 0} : measure(c);
    if (lineFeed || overflows(m)) {
      const bool keep = !lineFeed && (ox::text::IsHanging(c) || lineStart);
      if (keep && !place(text + p, n, m)) return;
      if (lineFeed || keep) p += size_t(n);
      lineStart = true;
      if (!endLine()) return;
      continue;
    }
    if (!place(text + p, n, m)) return;
    p += size_t(n);
    lineStart = false;
  }
}

// ---------------------------------------------------------------- the plain typesetter

void LayOut(TextState& s, Surface& sprite, const Ink& ink, const plat::FontMetrics& fm, int left,
            int top, int right, int bottom, const char* text) {
  const Effects& e = ink.effects;
  int64_t penX = left, penY = top;
  // The line height only grows, over the whole text.
  int64_t lineHeight = e.spacing + fm.height;
  Layout(
      text,
      [&](uint32_t c) {
        return Measure{ox::text::CharAdvance(ink.font, c) + e.shadow + e.thickX,
                       fm.height + e.shadow + e.thickY};
      },
      [&](const Measure& m) {
        lineHeight = std::max(lineHeight, m.height);
        return penX + m.width > right;
      },
      [&](const char* ch, int bytes, const Measure& m) {
        const Rect r = RectOf(penX, penY, penX + m.width, penY + m.height);
        if (!Record(s, r)) return false;
        DrawCharacter(sprite, ink, ch, bytes, penX, penY, 1);
        penX += m.width;
        return true;
      },
      [&] {
        penX = left;
        penY += lineHeight;
        return penY + lineHeight < bottom;
      });
}

// ---------------------------------------------------------------- the smooth typesetter

int Component(uint16_t p, int position) { return (p >> position) & 0x1F; }

// Reduces a run of `runWidth` x `runHeight` double-size pixels at the
// Font buffer's top-left into the Font sprite at (x, y), at most `height`
// rows. Each output pixel blends the non-black samples of the 3 x 3 source
// pixels around (2x, 2y) with the back buffer's pixel under it; pixels
// without any ink stay as they are. Only pixels inside the clip rectangle
// are written.
void Reduce(const Surface& buffer, int runWidth, int runHeight, int64_t x, int64_t y,
            int64_t height) {
  Surface* sprite = oxd::SpriteSurface(oxd::kFontSprite);
  const Surface* back = oxd::BackSurface();
  if (!sprite || !back || back->lost || sprite->lost) return;
  const oxd::PixelFormat& f = oxd::ScreenFormat();
  const int rp = f.redPosition, gp = f.greenPosition, bp = f.bluePosition;
  constexpr int kMax = 31;
  const Rect clip = ox::text::Inside(*sprite, ox::text::Inside(*back, oxd::ClipRect()));
  const int64_t outWidth = runWidth / 2;
  const int64_t outHeight = std::min<int64_t>(runHeight / 2, height);
  const int64_t y0 = std::max<int64_t>(y, clip.top),
                y1 = std::min<int64_t>(y + outHeight, clip.bottom);
  const int64_t x0 = std::max<int64_t>(x, clip.left),
                x1 = std::min<int64_t>(x + outWidth, clip.right);
  const int sampleWidth = std::min(runWidth, buffer.width);
  const int sampleHeight = std::min(runHeight, buffer.height);
  for (int64_t py = y0; py < y1; ++py) {
    const int oy = int(py - y);
    uint16_t* out = sprite->pixels + size_t(py) * size_t(sprite->pitch);
    const uint16_t* under = back->pixels + size_t(py) * size_t(back->pitch);
    for (int64_t px = x0; px < x1; ++px) {
      const int ox = int(px - x);
      int n = 0, red = 0, green = 0, blue = 0;
      for (int sy = std::max(2 * oy - 1, 0); sy <= std::min(2 * oy + 1, sampleHeight - 1); ++sy) {
        const uint16_t* row = buffer.pixels + size_t(sy) * size_t(buffer.pitch);
        for (int sx = std::max(2 * ox - 1, 0); sx <= std::min(2 * ox + 1, sampleWidth - 1); ++sx) {
          // Black adds nothing to the sums, so no branch is needed.
          const uint16_t v = row[sx];
          n += v != 0;
          red += Component(v, rp);
          green += Component(v, gp);
          blue += Component(v, bp);
        }
      }
      if (n == 0) continue;
      // The back buffer's share only while fewer than 8 samples are inked.
      const int share = n < 8 ? 8 - n : 0;
      const uint16_t u = under[px];
      auto blend = [&](int sum, int position) {
        const int value = std::min((sum + kMax + share * Component(u, position)) / 8, kMax);
        return uint16_t(value << position);
      };
      const uint16_t result = blend(red, rp) | blend(green, gp) | blend(blue, bp);
      out[px] = result;
    }
  }
}

void LayOutSmooth(TextState& s, Surface& buffer, const Ink& ink, const plat::FontMetrics& fm,
                  int left, int top, int right, int bottom, const char* text) {
  const Effects& e = ink.effects;
  const int64_t fontHeight = (fm.height + 1) / 2;  // at the final size
  int64_t penY = top;
  int64_t runLeft = left;           // where the current run goes, final size
  int runWidth = 0, runHeight = 0;  // double size
  int64_t lineHeight = e.spacing + fontHeight;
  auto roundUpEven = [](int64_t v) { return (v + 1) & ~int64_t(1); };
  auto finishRun = [&] {
    if (runWidth > 0) {
      Reduce(buffer, runWidth, runHeight, runLeft, penY, int64_t(bottom) - penY);
      const int rows = std::min(buffer.height, runHeight + kInkMargin);
      std::memset(buffer.pixels, 0, size_t(rows) * size_t(buffer.pitch) * sizeof(uint16_t));
    }
    runLeft += runWidth / 2;
    runWidth = 0;
    runHeight = 0;
    lineHeight = e.spacing + fontHeight;
  };
  Layout(
      text,
      [&](uint32_t c) {
        return Measure{roundUpEven(ox::text::CharAdvance(ink.font, c) + 2 * e.shadow + e.thickX),
                       roundUpEven(fm.height + 2 * e.shadow + e.thickY)};
      },
      [&](const Measure& m) {
        // A run that would no longer fit the buffer ends here; the line
        // goes on with a new run.
        if (runWidth > 0 && runWidth + m.width > buffer.width) finishRun();
        lineHeight = std::max(lineHeight, m.height / 2);
        return runLeft + (runWidth + m.width) / 2 >= right;
      },
      [&](const char* ch, int bytes, const Measure& m) {
        const int64_t x = runLeft + runWidth / 2;
        if (!Record(s, RectOf(x, penY, x + m.width / 2, penY + m.height / 2))) return false;
        DrawCharacter(buffer, ink, ch, bytes, runWidth, 0, 2);
        runWidth = Saturate(runWidth + m.width);
        runHeight = std::max(runHeight, Saturate(m.height));
        return true;
      },
      [&] {
        const int64_t advance = lineHeight;
        finishRun();
        runLeft = left;
        penY += advance;
        return penY < bottom;
      });
  finishRun();
}

// Lays the text out into the Font sprite and copies it when the
// draw-after flag is set; then the back buffer's text context is opened
// again and the reveal starts from the beginning.
void Typeset(int left, int top, int right, int bottom, const char* text, int flags, bool smooth) {
  TextState& s = State();
  s.laidOut = 0;
  s.rects[0] = Rect{left, top, left, top};
  if (s.described) {
    ox::text::CloseBackContext();
    oxDraw::ClearObject(oxd::kFontSprite);
    Surface* sprite = oxd::SpriteSurface(oxd::kFontSprite);
    Surface* buffer = oxd::SpriteSurface(oxd::kFontBufferSprite);
    const int font = plat::CreateFont(ox::text::SpecOf(s.desc));
    plat::FontMetrics fm;
    if (text && sprite && !sprite->lost && plat::GetFontMetrics(font, fm)) {
      const Ink ink{font, s.desc.underline != 0, EffectsOf(flags), Visible(s.textColour),
                    Visible(s.backColour)};
      if (!smooth) {
        LayOut(s, *sprite, ink, fm, left, top, right, bottom, text);
      } else if (buffer && !buffer->lost) {
        oxDraw::ClearObject(oxd::kFontBufferSprite);
        LayOutSmooth(s, *buffer, ink, fm, left, top, right, bottom, text);
      }
    }
    plat::DeleteFont(font);
    if (s.drawAfter == 1) Show(s.rects[0]);
    ox::text::OpenBackContext();
  }
  s.revealCount = 0;
  s.revealTimer = 0;
  s.drawAfter = 1;
}

}  // namespace

void oxText::Typeset(int left, int top, int right, int bottom, const char* text, int flags) {
  ::Typeset(left, top, right, bottom, text, flags, false);
}

void oxText::Prepare(int left, int top, int right, int bottom, const char* text, int flags) {
  State().drawAfter = 0;
  ::Typeset(left, top, right, bottom, text, flags, false);
}

void oxText::TypesetSmooth(int left, int top, int right, int bottom, const char* text, int flags) {
  ::Typeset(left, top, right, bottom, text, flags, true);
}

void oxText::PrepareSmooth(int left, int top, int right, int bottom, const char* text, int flags) {
  State().drawAfter = 0;
  ::Typeset(left, top, right, bottom, text, flags, true);
}

int oxText::Reveal(float interval) {
  TextState& s = State();
  const int count = s.laidOut;
  if (interval == 0 || s.revealCount > count) {
    Show(s.rects[0]);
    s.revealCount = count + 1;
  } else {
    for (int i = 1; i < s.revealCount; ++i) Show(s.rects[i]);
  }
  if (s.revealCount > count) return 1;
  s.revealTimer += ox::App().frameSeconds;
  if (s.revealTimer >= interval) {
    ++s.revealCount;
    s.revealTimer = 0;
  }
  return 0;
}
