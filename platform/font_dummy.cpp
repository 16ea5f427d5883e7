// The dummy font driver: no font files. Every font has fixed proportions of
// its height (the cell is the height asked for, the em as much; ascent 7/8
// of the cell), every visible character is a hollow box filling its cell
// above the baseline: half the cell wide below U+0080, as wide as the cell
// above. Spaces and control characters are blank. Fonts are shared and
// counted like the real driver's, so text layout and handle bookkeeping can
// be checked without fonts installed.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include "platform/drivers.h"
#include "platform/font_driver.h"

namespace plat::fonts {

namespace {

constexpr int kSlots = 16;
constexpr int kDefaultHeight = 16;

constexpr int kFaceNameSize = 128;

struct Slot {
  bool live;
  char face[kFaceNameSize];
  int refs;
  int height, escapement, weight;
  bool italic;
  uint8_t charset;
  FontMetrics metrics;
};

// One glyph's mask, valid until the next call.
uint8_t g_mask[kMaxFontHeight * kMaxFontHeight];

class DummyDriver final : public Driver {
 public:
  const char* Name() const override { return "dummy"; }

  // No installed families are known.
  int ListFamilies(void (*)(void*, const char*, uint8_t), void*) override { return 0; }

  int Create(const FontSpec& r) override {
    char face[kFaceNameSize];
    std::snprintf(face, sizeof face, "%s", r.face ? r.face : "");
    for (int i = 0; i < kSlots; ++i) {
      Slot& s = slots_[i];
      if (s.live && std::strcmp(s.face, face) == 0 && s.height == r.height && s.escapement == r.escapement &&
          s.weight == r.weight && s.italic == r.italic && s.charset == r.charset) {
        ++s.refs;
        return i;
      }
    }
    int chosen = -1;
    for (int i = 0; i < kSlots && chosen < 0; ++i)
      if (!slots_[i].live || slots_[i].refs == 0) chosen = i;
    if (chosen < 0) return -1;
    int cell = r.height == 0 ? kDefaultHeight : (r.height < 0 ? -r.height : r.height);
    if (cell > kMaxFontHeight) cell = kMaxFontHeight;
    FontMetrics m{};
    m.height = cell;
    m.descent = cell / 8;
    m.ascent = cell - m.descent;
    m.underlinePosition = m.descent / 2;
    m.underlineThickness = cell / 16 > 0 ? cell / 16 : 1;
    const double angle = r.escapement / 10.0 * std::numbers::pi / 180.0;
    m.dirX = std::cos(angle);
    m.dirY = -std::sin(angle);
    Slot& s = slots_[chosen];
    s = Slot{};
    s.live = true;
    std::memcpy(s.face, face, sizeof face);
    s.refs = 1;
    s.height = r.height;
    s.escapement = r.escapement;
    s.weight = r.weight;
    s.italic = r.italic;
    s.charset = r.charset;
    s.metrics = m;
    return chosen;
  }

  void Delete(int font) override {
    if (Slot* s = SlotOf(font); s && s->refs > 0) --s->refs;
  }

  bool Metrics(int font, FontMetrics& out) override {
    const Slot* s = SlotOf(font);
    if (!s) return false;
    out = s->metrics;
    return true;
  }

  bool GetGlyph(int font, uint32_t codepoint, Glyph& out) override {
    const Slot* s = SlotOf(font);
    if (!s) return false;
    const FontMetrics& m = s->metrics;
    const int advance = codepoint < 0x80 ? (m.height + 1) / 2 : m.height;
    out = Glyph{};
    out.advance = advance;
    out.advanceX = int32_t(std::lround(advance * 64 * m.dirX));
    out.advanceY = int32_t(std::lround(advance * 64 * m.dirY));
    if (codepoint <= 0x20 || codepoint == 0x7F || codepoint == 0x3000) return true;  // blank
    const int w = advance > 1 ? advance - 1 : 1, h = m.ascent > 0 ? m.ascent : 1;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
        g_mask[y * w + x] = edge ? 255 : 0;
      }
    }
    out.mask = g_mask;
    out.width = w;
    out.height = h;
    out.pitch = w;
    out.left = 0;
    out.top = -h;
    return true;
  }

  void Shutdown() override { std::memset(slots_, 0, sizeof slots_); }

 private:
  Slot* SlotOf(int font) {
    if (font < 0 || font >= kSlots || !slots_[font].live) return nullptr;
    return &slots_[font];
  }

  Slot slots_[kSlots] = {};
};

}  // namespace

Driver& DummyDriverInstance() {
  static DummyDriver driver;
  return driver;
}

}  // namespace plat::fonts
