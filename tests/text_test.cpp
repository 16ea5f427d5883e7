// Fonts and text: the font list, platform text output, the typesetter with
// its line breaking, effects and reveal, the smooth variant's filter, and
// the frame-rate meter, checked on the pixels of the back buffer.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/app_state.h"
#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "frame/fps_meter.h"
#include "frame/ox_system.h"
#include "input/ox_text.h"
#include "input/text_internal.h"
#include "platform/font_rasterizer.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

constexpr uint16_t kMarker = 0x7777, kWhitePx = 0xFFFF, kRedPx = 0xF800, kNavyPx = 0x0010;
constexpr int32_t kWhite = 0xFFFFFF, kRed = 0x0000FF, kNavy = 0x800000;

using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ox::text::ResetTextState();
    ox::ResetFpsMeter();
    oxtest::OpenScreen();
    Blank();
  }
  void TearDown() override {
    oxText::EndText();
    oxText::EndSmoothText();
  }
  static void Blank(uint16_t v = kMarker) { oxDraw::FillRect(0, 0, 640, 480, v); }
  static uint16_t At(int x, int y) { return oxd::Scr().back->pixels[y * 640 + x]; }
  // Pixels of the rectangle (l, t, r, b) equal to v, or (changed) different from it.
  static PixelSet Where(uint16_t v, bool changed, int l = 0, int t = 0, int r = 640, int b = 480) {
    PixelSet s;
    for (int y = std::max(t, 0); y < std::min(b, 480); ++y)
      for (int x = std::max(l, 0); x < std::min(r, 640); ++x)
        if ((At(x, y) != v) == changed) s.insert({x, y});
    return s;
  }
  static PixelSet Is(uint16_t v) { return Where(v, false); }
  static PixelSet Changed() { return Where(kMarker, true); }
  static bool Inked(const oxd::Rect& r) {
    return !Where(kMarker, true, r.left, r.top, r.right, r.bottom).empty();
  }
  static oxd::Rect Bounds(const PixelSet& s) {
    oxd::Rect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (auto [x, y] : s) {
      r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
           std::max(r.bottom, y + 1)};
    }
    return r;
  }
  static PixelSet Shifted(const PixelSet& s, int dx, int dy) {
    PixelSet out;
    for (auto [x, y] : s) out.insert({x + dx, y + dy});
    return out;
  }
  static PixelSet Union(PixelSet a, const PixelSet& b, const PixelSet& c = {}) {
    a.insert(b.begin(), b.end());
    a.insert(c.begin(), c.end());
    return a;
  }
  static PixelSet Minus(PixelSet a, const PixelSet& b) {
    for (const Pixel& p : b) a.erase(p);
    return a;
  }
  static const ox::text::TextState& S() { return ox::text::State(); }
  // White Gothic text, transparent, at a height.
  static void Gothic(int height, int bold = 0) {
    oxText::SelectFont(oxText::kGothic, height, 0, bold, 0, 0);
    oxText::SetColour(kWhite, kRed, 1);
  }
  // Width of one character's cell in the selected font.
  static int Advance(const char* ch) {
    return ox::text::MeasureChars(S().backFont, ch, std::strlen(ch));
  }
  static int CellHeight() {
    plat::FontMetrics m{};
    return plat::GetFontMetrics(S().backFont, m) ? m.height : -1;
  }
  // What Out draws of `text` at (x, y) on a blank buffer.
  static PixelSet OutInk(int x, int y, const char* text) {
    Blank();
    oxText::Out(x, y, text);
    PixelSet ink = Changed();
    Blank();
    return ink;
  }
};

// ---------------------------------------------------------------- fonts

TEST_F(TextTest, FontListHasTheJapaneseFacesAndRespectsItsLimits) {
  const int n = oxText::GetFontCount();
  ASSERT_TRUE(n > 0 && n <= 200);
  std::set<std::string> japanese;
  const char* other = nullptr;
  for (int i = 0; i < n; ++i) {
    int kind = 0;
    const char* name = oxText::GetFontName(i, &kind);
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(std::strlen(name) < 36u && kind >= 1 && kind <= 3) << name;
    if (kind == oxText::kJapaneseFont) japanese.insert(name);
    if (kind == oxText::kOtherFont && !other) other = name;
  }
  EXPECT_TRUE(japanese.count("IPAMincho") && japanese.count("IPAGothic"));
  EXPECT_TRUE(oxText::GetFontName(n, nullptr) == nullptr && !oxText::GetFontName(-1, nullptr));
  // Selecting by name takes the character set from the list; an unlisted name keeps it.
  oxText::SelectFontByName("IPAMincho", 16, 0, 0, 0, 0);
  EXPECT_EQ(S().desc.charset, plat::kJapaneseCharset);
  if (other) {
    oxText::SelectFontByName(other, 16, 0, 0, 0, 0);
    EXPECT_EQ(S().desc.charset, plat::kAnsiCharset) << other;
    oxText::SelectFontByName("IPAMincho", 16, 0, 0, 0, 0);
  }
  oxText::SelectFontByName("Not Listed", 16, 0, 0, 0, 0);
  EXPECT_EQ(S().desc.charset, plat::kJapaneseCharset);
  // A name longer than the description holds is cut on a character boundary.
  const std::string longName = std::string(30, 'x') + "あいうえおかきくけこさしすせそ";
  oxText::SelectFontByName(longName.c_str(), 16, 0, 0, 0, 0);
  EXPECT_EQ(std::strlen(S().desc.face), 30u + 33u);
}

TEST_F(TextTest, StandardFacesAreTheIpaFaces) {
  oxText::SelectFontByName("IPAGothic", 24, 0, 0, 0, 0);
  oxText::SetColour(kWhite, kRed, 1);
  const PixelSet ipaGothic = OutInk(10, 10, "永あA");
  oxText::SelectFont(oxText::kGothic, 24, 0, 0, 0, 0);
  EXPECT_EQ(OutInk(10, 10, "永あA"), ipaGothic);
  oxText::SelectFont(oxText::kMincho, 24, 0, 0, 0, 0);
  const PixelSet mincho = OutInk(10, 10, "永あA");
  EXPECT_NE(mincho, ipaGothic);
  oxText::SelectFontByName("IPAMincho", 24, 0, 0, 0, 0);
  EXPECT_EQ(OutInk(10, 10, "永あA"), mincho);
  oxText::SelectFont(7, 24, 0, 0, 0, 0);  // another value keeps the face
  EXPECT_EQ(OutInk(10, 10, "永あA"), mincho);
  // A face that does not exist is replaced, and still draws.
  oxText::SelectFontByName("No Such Face 123", 24, 0, 0, 0, 0);
  EXPECT_GT(OutInk(10, 10, "永あA").size(), 50u);
}

TEST_F(TextTest, NothingIsDrawnWithoutFontsOrContext) {
  oxText::SetColour(kWhite, kRed, 0);
  oxText::Out(10, 10, "文字");  // no font selected
  oxText::DrawBox(0, 0, 640, 480, "文字", 0);
  EXPECT_EQ(oxText::MeasureBox(0, 0, 640, 480, "文字"), 0);
  Gothic(16);
  oxText::EndText();
  oxText::Out(10, 10, "文字");  // closed again
  oxText::ReleaseFonts();       // as the quit sequence does
  oxText::SelectFont(oxText::kGothic, 16, 0, 0, 0, 0);
  oxText::Out(10, 10, "文字");
  oxText::Typeset(0, 0, 640, 480, "文字", 0);
  EXPECT_EQ(S().laidOut, 0);
  EXPECT_EQ(oxText::Reveal(0), 1);
  EXPECT_TRUE(Changed().empty());
}

// ---------------------------------------------------------------- Out

TEST_F(TextTest, OutOpaqueOrTransparent) {
  // Opaque: every pixel of the cells, glyphs in the text colour; a height is the cell's.
  oxText::SelectFont(oxText::kGothic, 12, 0, 0, 0, 0);
  oxText::SetColour(kWhite, kNavy, 0);
  oxText::Out(20, 30, "Ab漢");
  const int width = Advance("A") + Advance("b") + Advance("漢");
  EXPECT_EQ(CellHeight(), 12);
  const PixelSet changed = Changed();
  const oxd::Rect box = Bounds(changed);
  EXPECT_TRUE(box.left == 20 && box.top == 30 && box.right == 20 + width && box.bottom == 42);
  EXPECT_EQ(changed.size(), size_t(width) * 12);
  EXPECT_GT(Is(kWhitePx).size(), 30u);
  EXPECT_EQ(Is(kWhitePx).size() + Is(kNavyPx).size(), changed.size());
  // Transparent: only the glyphs; SetColour without the flag keeps it, EndText ends it.
  Gothic(16);
  const PixelSet glyphs = OutInk(10, 10, "あいう");
  oxText::Out(10, 10, "あいう");
  EXPECT_EQ(Is(kWhitePx), glyphs);
  EXPECT_GT(glyphs.size(), 40u);
  oxText::SetColour(kWhite, kRed, 0);
  EXPECT_EQ(OutInk(10, 10, "あいう"), glyphs);
  oxText::EndText();
  oxText::SelectFont(oxText::kGothic, 16, 0, 0, 0, 0);
  oxText::Out(10, 10, "あいう");
  EXPECT_FALSE(Is(kRedPx).empty());
  // A negative height is the em: the cell adds the face's leading.
  oxText::SelectFont(oxText::kGothic, -24, 0, 0, 0, 0);
  EXPECT_GT(CellHeight(), 24);
  EXPECT_EQ(Advance("永"), 24);
}

TEST_F(TextTest, BoldIsOnePixelWiderPerCharacterAndUnderlineRunsUnderAll) {
  Gothic(16);
  const int normal = Advance("A") + Advance("B");
  const PixelSet plain = OutInk(10, 10, "AB");
  Gothic(16, 1);
  EXPECT_EQ(Advance("A") + Advance("B"), normal + 2);
  EXPECT_GT(OutInk(10, 10, "AB").size(), plain.size());
  oxText::SelectFont(oxText::kGothic, 16, 0, 0, 0, 1);
  const PixelSet underlined = OutInk(10, 10, "AB");
  bool fullRow = false;  // one row below the baseline is inked across the whole run
  for (int y = 10; y < 26; ++y) {
    int n = 0;
    for (int x = 10; x < 10 + normal; ++x) n += underlined.count({x, y});
    fullRow = fullRow || n == normal;
  }
  EXPECT_TRUE(fullRow);
  EXPECT_TRUE(Minus(plain, underlined).empty());
}

TEST_F(TextTest, AngleTurnsTheTextCounterClockwise) {
  Gothic(16);
  const oxd::Rect flat = Bounds(OutInk(300, 300, "一二三四五"));
  oxText::SelectFont(oxText::kGothic, 16, 90, 0, 0, 0);
  const oxd::Rect up = Bounds(OutInk(300, 300, "一二三四五"));
  EXPECT_GT(flat.right - flat.left, 3 * (flat.bottom - flat.top));
  EXPECT_GT(up.bottom - up.top, 3 * (up.right - up.left));
  EXPECT_LE(up.bottom, 301);  // runs upward from the reference point
  EXPECT_GE(up.left, 300);    // the cell's top edge turns to the left side
}

TEST_F(TextTest, MalformedUtf8DrawsWithoutReadingPastTheEnd) {
  Gothic(16);
  for (const char* bad : {"\xE3", "\xE3\x81", "a\xE3\x81", "\x80\x80", "\xF4\x90\x80\x80",
                          "\xED\xA0\x80", "\xC0\xAF"}) {
    oxText::Out(0, 0, bad);
    oxText::Typeset(0, 100, 640, 480, bad, 0);
  }
  // Each bad byte is one replacement character.
  uint32_t c = 0;
  EXPECT_EQ(ox::text::NextChar("\xE3\x81", &c), 1);
  EXPECT_EQ(c, 0xFFFDu);
  EXPECT_EQ(ox::text::NextChar("\xE3\x81\x82", 2, &c), 1);
  EXPECT_EQ(ox::text::NextChar("\xE3\x81\x82", &c), 3);
  EXPECT_EQ(c, 0x3042u);
  EXPECT_EQ(ox::text::NextChar("", &c), 0);
}

// ---------------------------------------------------------------- DrawBox and MeasureBox

TEST_F(TextTest, DrawBoxWrapsAtCharactersSpacesAndLineFeeds) {
  Gothic(16);
  const int k = Advance("一"), h = CellHeight();
  struct Case { const char* text; int width; const char* lines[3]; };
  const Case cases[] = {
      {"一二三四五六七", 3 * k + k / 2, {"一二三", "四五六", "七"}},  // never inside a character
      {"hello world", Advance("hello") + Advance(" ") + Advance("wo"), {"hello", "world", ""}},
      {"一二三、四", 3 * k, {"一二", "三、四", ""}},  // "、" may not start a line
      {"ab\ncdefg", Advance("cdef"), {"ab", "cdef", "g"}},  // a too-wide word is cut
  };
  for (const Case& c : cases) {
    const PixelSet expected = Union(OutInk(50, 40, c.lines[0]), OutInk(50, 40 + h, c.lines[1]),
                                    OutInk(50, 40 + 2 * h, c.lines[2]));
    oxText::DrawBox(50, 40, 50 + c.width, 400, c.text, 0);
    EXPECT_EQ(Changed(), expected) << c.text;
    Blank();
  }
  EXPECT_EQ(oxText::MeasureBox(50, 40, 50 + 3 * k + k / 2, 400, "一二三四五六七"), 3 * h);
  int l, t, r, b;
  oxText::GetMeasure(&l, &t, &r, &b);
  EXPECT_TRUE(l == 50 && t == 40 && r == 50 + 3 * k && b == 40 + 3 * h);
}

TEST_F(TextTest, DrawBoxAlignsAndClipsToTheBox) {
  Gothic(16);
  const int k = Advance("一"), h = CellHeight();
  for (const auto& [align, x] : {std::pair{2, 3 * k}, {1, 3 * k / 2}, {3, -1}}) {
    const PixelSet want = x < 0 ? PixelSet{} : OutInk(100 + x, 100, "一二");  // 3: no such one
    oxText::DrawBox(100, 100, 100 + 5 * k, 100 + h, "一二", align);
    EXPECT_EQ(Changed(), want) << align;
    Blank();
  }
  // Two lines in a box one and a half lines high: the second is cut.
  oxText::EndText();
  oxText::SelectFont(oxText::kGothic, 16, 0, 0, 0, 0);
  oxText::SetColour(kWhite, kNavy, 0);
  oxText::DrawBox(100, 100, 100 + k, 100 + h + h / 2, "一二", 0);
  const oxd::Rect drawn = Bounds(Changed());
  EXPECT_TRUE(drawn.top == 100 && drawn.right == 100 + k && drawn.bottom == 100 + h + h / 2);
}

// ---------------------------------------------------------------- typesetting

class TypesetTest : public TextTest {
 protected:
  void SetUp() override {
    TextTest::SetUp();
    Gothic(16);
    k_ = Advance("一");
    h_ = CellHeight();
  }
  static oxd::Rect R(int i) { return S().rects[i]; }
  int k_ = 0, h_ = 0;
};

// Line breaking: a full stop hangs past the right edge, a kanji moves down,
// a multi-byte character is never split, a too-wide one keeps its own line.
TEST_F(TypesetTest, LineBreaking) {
  oxText::Typeset(40, 50, 40 + 5 * k_, 400, "一二三四五。六七", 0);
  ASSERT_EQ(S().laidOut, 8);
  EXPECT_EQ(R(5).left, 40 + 4 * k_);
  EXPECT_TRUE(R(6).left == 40 + 5 * k_ && R(6).top == 50 && Inked(R(6)));
  EXPECT_TRUE(R(7).left == 40 && R(7).top == 50 + h_);
  EXPECT_TRUE(R(0).left == 40 && R(0).right == 40 + 6 * k_ && R(0).bottom == 50 + 2 * h_);
  Blank();
  oxText::Typeset(40, 50, 40 + 5 * k_, 400, "一二三四五六七", 0);
  ASSERT_EQ(S().laidOut, 7);
  EXPECT_TRUE(R(6).left == 40 && R(6).top == 50 + h_);
  EXPECT_FALSE(Inked({40 + 5 * k_, 0, 640, 480}));  // nothing past the edge
  // "漢" would straddle the edge: it moves down whole, and draws whole.
  Blank();
  const int a = Advance("a");
  oxText::Typeset(10, 10, 10 + 4 * a + k_ / 2, 400, "aaaa漢字", 0);
  ASSERT_EQ(S().laidOut, 6);
  EXPECT_TRUE(R(5).left == 10 && R(5).top == 10 + h_ && R(5).right - R(5).left == k_);
  EXPECT_FALSE(Inked({10 + 4 * a, 10, 640, 10 + h_}));
  const PixelSet line2 = Where(kMarker, true, 0, 10 + h_, 640, 480);
  oxText::Typeset(10, 10 + h_, 640, 400, "漢字", 0);
  EXPECT_EQ(Where(kMarker, true, 0, 10 + h_, 640, 480), line2);
  Blank();
  oxText::Typeset(10, 10, 15, 400, "一二三", 0);
  ASSERT_EQ(S().laidOut, 3);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_TRUE(R(i).left == 10 && R(i).top == 10 + (i - 1) * h_ && Inked(R(i))) << i;
  }
}

// Line feeds, extra spacing, the bottom of the box, the layout table's size and the clip.
TEST_F(TypesetTest, LineFeedsAndLimits) {
  // Lines are h + 4 apart; a line starts only while pen y + line height stays above the bottom.
  oxText::Typeset(10, 10, 600, 10 + 3 * (h_ + 4) + 2, "一\n二\n三\n四", 4);
  ASSERT_EQ(S().laidOut, 3);
  EXPECT_TRUE(R(2).left == 10 && R(2).top == 10 + h_ + 4 && R(3).top == 10 + 2 * (h_ + 4));
  EXPECT_FALSE(Inked(oxd::Rect{0, 10 + 3 * (h_ + 4), 640, 480}));
  Blank();
  oxText::Typeset(0, 0, 640, INT_MAX, std::string(5000, 'i').c_str(), 0);
  EXPECT_EQ(S().laidOut, ox::text::kMaxLaidOut);
  EXPECT_FALSE(Changed().empty());
  // The copy is clipped; text off the screen still shows its visible part.
  Blank();
  oxDraw::SetClip(130, 0, 510, 480);
  oxText::Typeset(100, 100, 600, 400, "一二三四五六七八九十", 0);
  EXPECT_TRUE(!Changed().empty() && Bounds(Changed()).left >= 130);
  Blank();
  oxDraw::SetClip(0, 0, 640, 480);
  oxText::Typeset(-k_ / 2, 100, 600, 400, "一二三", 0);
  EXPECT_TRUE(Bounds(Changed()).left == 0 && Bounds(Changed()).right > k_);
}

TEST_F(TypesetTest, ShadowAndThickeningAreTheGlyphShiftedByOnePixel) {
  oxText::SetColour(kWhite, kRed, 0);
  oxText::Typeset(20, 20, 600, 400, "影", 0);
  const PixelSet p = Is(kWhitePx);
  ASSERT_EQ(Changed(), p);
  const int width = R(1).right - R(1).left;
  const PixelSet x = Union(p, Shifted(p, 1, 0)), xy = Union(x, Shifted(p, 1, 1), Shifted(p, 0, 1));
  struct Case { int flags; PixelSet white, red; int extraWidth, extraHeight; };
  const Case cases[] = {
      {oxText::kShadow, p, Minus(Shifted(p, 1, 1), p), 1, 1},
      {oxText::kThickenX, x, {}, -1, -1},
      {oxText::kThickenY, Union(p, Shifted(p, 0, 1)), {}, -1, -1},
      {oxText::kShadow | oxText::kThickenX | oxText::kThickenY, xy, Minus(Shifted(p, 2, 2), xy), 2,
       -1},
  };
  for (const Case& c : cases) {
    Blank();
    oxText::Typeset(20, 20, 600, 400, "影", c.flags);
    EXPECT_TRUE(Is(kWhitePx) == c.white && Is(kRedPx) == c.red) << c.flags;
    if (c.extraWidth >= 0) { EXPECT_EQ(R(1).right - R(1).left, width + c.extraWidth) << c.flags; }
    if (c.extraHeight >= 0) { EXPECT_EQ(R(1).bottom - R(1).top, h_ + c.extraHeight) << c.flags; }
  }
  // Black text is drawn as dark grey, text and shadow alike.
  Blank();
  oxText::SetColour(0x000000, 0x0A0A0A, 0);
  oxText::Typeset(10, 10, 600, 400, "黒", oxText::kShadow);
  const uint16_t grey = oxd::NativeColor(0x101010);
  EXPECT_TRUE(grey != 0 && !Is(grey).empty() && Changed() == Is(grey));
}

TEST_F(TypesetTest, PrepareDrawsNothingAndRevealShowsOneCharacterEveryThreeFrames) {
  oxText::SetColour(kWhite, kRed, 0);
  oxText::Prepare(10, 10, 600, 400, "一二三四五六七八九十", 0);
  ASSERT_EQ(S().laidOut, 10);
  EXPECT_TRUE(Changed().empty());
  // 0.05 s at 60 frames a second (16, 17, 17 ms): the count grows every three
  // frames and the frame draws before the count, so character k first shows on
  // frame 3 k + 4; the last shows with the whole text once the count passes it.
  int frame = 1;
  for (int done = 0; frame <= 60 && !done; ++frame) {
    plat::BeginFramePass();
    ox::UpdateFrameTime();
    Blank();
    done = oxText::Reveal(0.05f);
    int n = 0, inOrder = 0;
    for (int i = 1; i <= 10; ++i) n += Inked(R(i));
    while (inOrder < 10 && Inked(R(inOrder + 1))) ++inOrder;  // characters appear in order
    EXPECT_TRUE(n == inOrder && n == (done ? 10 : frame < 7 ? 0 : (frame - 4) / 3)) << frame;
    plat::EndFramePass();
  }
  EXPECT_EQ(frame - 1, 34);
  Blank();  // once complete it keeps drawing all of it
  EXPECT_EQ(oxText::Reveal(0.05f), 1);
  EXPECT_TRUE(Inked(R(10)));
  // Without an interval everything shows at once; Typeset after Prepare copies at once.
  Blank();
  oxText::Prepare(10, 10, 600, 400, "一二三", 0);
  EXPECT_EQ(oxText::Reveal(0), 1);
  EXPECT_TRUE(Inked(R(1)) && Inked(R(3)));
  Blank();
  oxText::Typeset(10, 10, 600, 400, "一二三", 0);
  EXPECT_TRUE(Inked(R(3)));
}

// ---------------------------------------------------------------- the smooth variant

TEST_F(TypesetTest, SmoothTextBlendsWithTheFilterFormula) {
  Blank(0x001F);  // blue back buffer: 5-bit components (0, 0, 31)
  oxText::SelectSmoothFont(oxText::kGothic, 16);
  oxText::SetColour(kWhite, kRed, 0);
  oxText::TypesetSmooth(20, 20, 600, 400, "滑らか", 0);
  ASSERT_EQ(S().laidOut, 3);
  const PixelSet changed = Where(0x001F, true);
  ASSERT_GT(changed.size(), 50u);
  // Red and green are (31 n + 31) / 8 for n inked samples; blue stays 31;
  // the green channel's extra bit stays clear.
  std::set<int> seen;
  for (auto [x, y] : changed) {
    const uint16_t p = At(x, y);
    ASSERT_EQ((p >> 11) % 4, 3) << p;
    ASSERT_TRUE((p >> 11) >= 7 && ((p >> 6) & 0x1F) == (p >> 11) && (p & 0x3F) == 31) << p;
    seen.insert(p >> 11);
  }
  EXPECT_GE(seen.size(), 4u);  // edges are blended, not hard
  // Half the size of the double-size glyphs: about the plain text's size.
  EXPECT_NEAR(R(1).bottom - R(1).top, h_, 1);
  EXPECT_NEAR(R(1).right - R(1).left, k_, 1);
}

TEST_F(TypesetTest, SmoothTextWritesOnlyInsideTheClipRectangleAndWraps) {
  oxText::SelectSmoothFont(oxText::kGothic, 16);
  oxText::SetColour(kWhite, kRed, 0);
  oxDraw::SetClip(0, 0, 60, 480);
  oxText::TypesetSmooth(20, 20, 20 + 5 * k_, 400, "一二三四五六七", 0);
  EXPECT_TRUE(!Changed().empty() && Bounds(Changed()).right <= 60);
  ASSERT_EQ(S().laidOut, 7);  // the half-size pen reaching the right edge ends the line
  EXPECT_TRUE(R(5).top == 20 + h_ && R(5).left == 20);
  // Prepare and reveal work on smooth text too.
  Blank();
  oxDraw::SetClip(0, 0, 640, 480);
  oxText::PrepareSmooth(20, 20, 600, 400, "一二", 0);
  EXPECT_TRUE(Changed().empty());
  EXPECT_EQ(oxText::Reveal(0), 1);
  EXPECT_TRUE(Inked(R(2)));
}

// ---------------------------------------------------------------- the frame-rate meter

class MeterTest : public TextTest {
 protected:
  static void Pass(int n = 1) {
    for (int i = 0; i < n; ++i) {
      plat::BeginFramePass();
      oxSystem::ShowFps();
      plat::EndFramePass();
    }
  }
  static std::string Text() { return ox::FpsText(); }
};

TEST_F(MeterTest, ReadsZeroUntilTheSecondSampleThenSixty) {
  for (int pass = 1; pass <= 120; ++pass) {
    Pass();
    ASSERT_EQ(Text(), "0.0 fps ( max 0.0 / min 999.9 )") << pass;
  }
  Pass();  // 2016 ms after the first sample
  EXPECT_EQ(Text(), "60.0 fps ( max 60.0 / min 60.0 )");
  Pass(240);
  EXPECT_EQ(Text(), "60.0 fps ( max 60.0 / min 60.0 )");
}

TEST_F(MeterTest, FrameCountStopsAt999) {
  Pass();
  for (int i = 0; i < 5000; ++i) oxSystem::ShowFps();  // a very fast machine
  plat::headless::AdvanceClock(2000);
  oxSystem::ShowFps();
  EXPECT_EQ(Text(), "499.5 fps ( max 499.5 / min 499.5 )");
}

TEST_F(MeterTest, ALongPauseGivesOneLowSampleThatBecomesTheWorst) {
  Pass(241);                           // the third sample at 4016 ms
  plat::headless::AdvanceClock(5000);  // inactive: no frames
  Pass();
  EXPECT_EQ(Text(), "0.5 fps ( max 60.0 / min 0.5 )");
}

TEST_F(MeterTest, RestartTakesTheNextSampleAtOnce) {
  Pass(181);  // 60 frames since the sample at 121
  ox::RestartFrameRate();
  Pass();
  EXPECT_EQ(Text(), "30.5 fps ( max 60.0 / min 30.5 )");
}

TEST_F(MeterTest, KeepsSamplingAcrossTheClockWrap) {
  plat::headless::SetClock(0xFFFFFFFFu - 3000);
  Pass(400);
  EXPECT_EQ(Text().rfind("60.0 fps", 0), 0u) << Text();
}

TEST_F(MeterTest, PrintsWhiteOnNavyAtTheTopLeft) {
  Pass();
  const PixelSet meter = Changed();
  const oxd::Rect box = Bounds(meter);
  EXPECT_TRUE(box.left == 0 && box.top == 0 && box.bottom == 12);
  EXPECT_EQ(meter.size(), size_t(box.right) * 12);  // opaque cells
  EXPECT_EQ(meter.size(), Is(kWhitePx).size() + Is(kNavyPx).size());
  EXPECT_GT(Is(kWhitePx).size(), 100u);
  // The same as printing the text, even after a transparent caller.
  const std::string text = Text();
  Blank();
  Gothic(30);
  oxText::SetColour(kRed, kRed, 1);
  oxSystem::Print(0, 0, text.c_str());
  EXPECT_EQ(Changed(), meter);
  EXPECT_EQ(Is(kWhitePx).size() + Is(kNavyPx).size(), meter.size());
}

TEST_F(MeterTest, PrintFFormatsAndCutsOnACharacterBoundary) {
  oxSystem::Print(10, 100, "42点");
  const PixelSet printed = Changed();
  Blank();
  oxSystem::PrintF(10, 100, "%d%s", 42, "点");
  EXPECT_EQ(Changed(), printed);
  // 254 letters then a three-byte character: 257 bytes, so the character
  // is dropped whole rather than cut.
  const std::string letters(254, 'i');
  oxText::SelectFont(oxText::kGothic, 12, 0, 0, 0, 0);
  const int width = Advance(letters.c_str());
  oxText::EndText();
  Blank();
  oxSystem::PrintF(300 - width, 200, "%s%s", letters.c_str(), "あ");
  const oxd::Rect drawn = Bounds(Changed());
  EXPECT_TRUE(drawn.right == 300 && drawn.top == 200);
}

}  // namespace
