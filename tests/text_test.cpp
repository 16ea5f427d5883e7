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

#include "draw/draw_state.h"
#include "draw/ox_draw.h"
#include "frame/app_state.h"
#include "frame/fps_meter.h"
#include "frame/ox_system.h"
#include "input/ox_text.h"
#include "input/text_internal.h"
#include "platform/font_rasterizer.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

constexpr uint16_t kMarker = 0x7777;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kNavy = 0x800000;
constexpr uint16_t kWhitePx = 0xFFFF;
constexpr uint16_t kRedPx = 0xF800;
constexpr uint16_t kNavyPx = 0x0010;

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
  static PixelSet Where(const std::function<bool(uint16_t)>& f, int l = 0, int t = 0, int r = 640,
                        int b = 480) {
    PixelSet s;
    for (int y = t; y < b; ++y)
      for (int x = l; x < r; ++x)
        if (f(At(x, y))) s.insert({x, y});
    return s;
  }
  static PixelSet Is(uint16_t v) {
    return Where([v](uint16_t p) { return p == v; });
  }
  static PixelSet Changed() {
    return Where([](uint16_t p) { return p != kMarker; });
  }
  static oxd::Rect Bounds(const PixelSet& s) {
    oxd::Rect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (auto [x, y] : s) {
      r.left = std::min(r.left, x);
      r.top = std::min(r.top, y);
      r.right = std::max(r.right, x + 1);
      r.bottom = std::max(r.bottom, y + 1);
    }
    return r;
  }
  static PixelSet Shifted(const PixelSet& s, int dx, int dy) {
    PixelSet out;
    for (auto [x, y] : s) out.insert({x + dx, y + dy});
    return out;
  }
  static PixelSet Union(const PixelSet& a, const PixelSet& b) {
    PixelSet out = a;
    out.insert(b.begin(), b.end());
    return out;
  }
  static PixelSet Minus(const PixelSet& a, const PixelSet& b) {
    PixelSet out;
    for (const Pixel& p : a)
      if (!b.count(p)) out.insert(p);
    return out;
  }
  static bool Inked(const oxd::Rect& r) {
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, 480); ++y)
      for (int x = std::max(r.left, 0); x < std::min(r.right, 640); ++x)
        if (At(x, y) != kMarker) return true;
    return false;
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
    EXPECT_TRUE(plat::GetFontMetrics(S().backFont, m));
    return m.height;
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

// ---------------------------------------------------------------- the font list

TEST_F(TextTest, FontListHasTheJapaneseFacesAndRespectsItsLimits) {
  const int n = oxText::GetFontCount();
  ASSERT_GT(n, 0);
  EXPECT_LE(n, 200);
  std::set<std::string> japanese;
  for (int i = 0; i < n; ++i) {
    int kind = 0;
    const char* name = oxText::GetFontName(i, &kind);
    ASSERT_NE(name, nullptr);
    EXPECT_LT(std::strlen(name), 36u);
    EXPECT_TRUE(kind >= 1 && kind <= 3);
    if (kind == oxText::kJapaneseFont) japanese.insert(name);
  }
  EXPECT_TRUE(japanese.count("IPAMincho"));
  EXPECT_TRUE(japanese.count("IPAGothic"));
  EXPECT_EQ(oxText::GetFontName(n, nullptr), nullptr);
  EXPECT_EQ(oxText::GetFontName(-1, nullptr), nullptr);
  // Selecting by name takes the character set from the list.
  oxText::SelectFontByName("IPAMincho", 16, 0, 0, 0, 0);
  EXPECT_EQ(S().desc.charset, plat::kJapaneseCharset);
  for (int i = 0; i < n; ++i) {
    int kind = 0;
    const char* name = oxText::GetFontName(i, &kind);
    if (kind != oxText::kOtherFont) continue;
    oxText::SelectFontByName(name, 16, 0, 0, 0, 0);
    EXPECT_EQ(S().desc.charset, plat::kAnsiCharset) << name;
    break;
  }
  oxText::SelectFontByName("Not Listed", 16, 0, 0, 0, 0);
  EXPECT_EQ(S().desc.charset, plat::kJapaneseCharset);
  // A name longer than the description holds is cut on a character boundary.
  const std::string longName(30, 'x');
  oxText::SelectFontByName((longName + "あいうえおかきくけこさしすせそ").c_str(), 16, 0, 0, 0, 0);
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
  oxText::SelectFontByName("IPAMincho", 24, 0, 0, 0, 0);
  EXPECT_EQ(OutInk(10, 10, "永あA"), mincho);
  EXPECT_NE(mincho, ipaGothic);
  // Another value keeps the face.
  oxText::SelectFont(7, 24, 0, 0, 0, 0);
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
  EXPECT_TRUE(Changed().empty());
  oxText::ReleaseFonts();  // as the quit sequence does
  oxText::SelectFont(oxText::kGothic, 16, 0, 0, 0, 0);
  oxText::Out(10, 10, "文字");
  oxText::Typeset(0, 0, 640, 480, "文字", 0);
  EXPECT_EQ(S().laidOut, 0);
  EXPECT_EQ(oxText::Reveal(0), 1);
  EXPECT_TRUE(Changed().empty());
}

// ---------------------------------------------------------------- Out

TEST_F(TextTest, OutFillsTheCellsOpaqueAndDrawsTheGlyphs) {
  oxText::SelectFont(oxText::kGothic, 12, 0, 0, 0, 0);
  oxText::SetColour(kWhite, kNavy, 0);
  oxText::Out(20, 30, "Ab漢");
  const int width = Advance("A") + Advance("b") + Advance("漢");
  EXPECT_EQ(CellHeight(), 12);
  const PixelSet changed = Changed();
  const oxd::Rect box = Bounds(changed);
  EXPECT_TRUE(box.left == 20 && box.top == 30 && box.right == 20 + width && box.bottom == 42);
  EXPECT_EQ(changed.size(), size_t(width) * 12);  // every pixel of the cells
  const size_t ink = Is(kWhitePx).size();
  EXPECT_GT(ink, 30u);
  EXPECT_EQ(ink + Is(kNavyPx).size(), changed.size());
}

TEST_F(TextTest, TransparentOutTouchesOnlyTheGlyphsUntilEndText) {
  Gothic(16);
  oxText::Out(10, 10, "あいう");
  const PixelSet changed = Changed();
  EXPECT_EQ(changed, Is(kWhitePx));
  EXPECT_GT(changed.size(), 40u);
  // SetColour without the flag keeps transparency; EndText restores opaque.
  oxText::SetColour(kWhite, kRed, 0);
  EXPECT_EQ(OutInk(10, 10, "あいう"), changed);
  oxText::EndText();
  oxText::SelectFont(oxText::kGothic, 16, 0, 0, 0, 0);
  oxText::Out(10, 10, "あいう");
  EXPECT_FALSE(Is(kRedPx).empty());
}

TEST_F(TextTest, BoldIsOnePixelWiderPerCharacterAndUnderlineRunsUnderAll) {
  Gothic(16);
  const int normal = Advance("A") + Advance("B");
  const PixelSet plain = OutInk(10, 10, "AB");
  Gothic(16, 1);
  EXPECT_EQ(Advance("A") + Advance("B"), normal + 2);
  const PixelSet bold = OutInk(10, 10, "AB");
  EXPECT_GT(bold.size(), plain.size());
  oxText::SelectFont(oxText::kGothic, 16, 0, 0, 0, 1);
  const PixelSet underlined = OutInk(10, 10, "AB");
  // One row below the baseline is inked across the whole run.
  bool fullRow = false;
  for (int y = 10; y < 26; ++y) {
    int n = 0;
    for (int x = 10; x < 10 + normal; ++x) n += underlined.count({x, y});
    fullRow = fullRow || n == normal;
  }
  EXPECT_TRUE(fullRow);
  EXPECT_EQ(Minus(plain, underlined).size(), 0u);
}

TEST_F(TextTest, HeightIsTheCellOrNegativeTheEm) {
  oxText::SelectFont(oxText::kGothic, 24, 0, 0, 0, 0);
  EXPECT_EQ(CellHeight(), 24);
  oxText::SetColour(kWhite, kNavy, 0);
  oxText::Out(0, 0, "永");
  EXPECT_EQ(Bounds(Changed()).bottom, 24);
  oxText::SelectFont(oxText::kGothic, -24, 0, 0, 0, 0);
  EXPECT_GT(CellHeight(), 24);  // the em plus the face's leading
  EXPECT_EQ(Advance("永"), 24);
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
    Blank();
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

TEST_F(TextTest, DrawBoxWrapsBetweenJapaneseCharactersNeverInsideOne) {
  Gothic(16);
  const int k = Advance("一"), h = CellHeight();
  const int left = 50, top = 40;
  const PixelSet expected =
      Union(Union(OutInk(left, top, "一二三"), OutInk(left, top + h, "四五六")),
            OutInk(left, top + 2 * h, "七"));
  oxText::DrawBox(left, top, left + 3 * k + k / 2, 400, "一二三四五六七", 0);
  EXPECT_EQ(Changed(), expected);
  EXPECT_EQ(oxText::MeasureBox(left, top, left + 3 * k + k / 2, 400, "一二三四五六七"), 3 * h);
  int l, t, r, b;
  oxText::GetMeasure(&l, &t, &r, &b);
  EXPECT_TRUE(l == left && t == top && r == left + 3 * k && b == top + 3 * h);
}

TEST_F(TextTest, DrawBoxBreaksAtSpacesAndKeepsPunctuationWithItsLine) {
  Gothic(16);
  const int h = CellHeight(), k = Advance("一");
  const int w = Advance("hello") + Advance(" ") + Advance("wo");
  PixelSet expected = Union(OutInk(10, 10, "hello"), OutInk(10, 10 + h, "world"));
  oxText::DrawBox(10, 10, 10 + w, 200, "hello world", 0);
  EXPECT_EQ(Changed(), expected);
  Blank();
  // "、" may not start a line: "三" goes down with it.
  expected = Union(OutInk(10, 10, "一二"), OutInk(10, 10 + h, "三、四"));
  oxText::DrawBox(10, 10, 10 + 3 * k, 200, "一二三、四", 0);
  EXPECT_EQ(Changed(), expected);
  Blank();
  // A line feed breaks; a word wider than the box is cut between letters.
  expected =
      Union(OutInk(10, 10, "ab"), Union(OutInk(10, 10 + h, "cdef"), OutInk(10, 10 + 2 * h, "g")));
  oxText::DrawBox(10, 10, 10 + Advance("cdef"), 200, "ab\ncdefg", 0);
  EXPECT_EQ(Changed(), expected);
}

TEST_F(TextTest, DrawBoxAlignsAndClipsToTheBox) {
  Gothic(16);
  const int k = Advance("一"), h = CellHeight();
  const PixelSet right = OutInk(100 + 3 * k, 100, "一二");
  oxText::DrawBox(100, 100, 100 + 5 * k, 100 + h, "一二", 2);
  EXPECT_EQ(Changed(), right);
  const PixelSet centre = OutInk(100 + 3 * k / 2, 100, "一二");
  oxText::DrawBox(100, 100, 100 + 5 * k, 100 + h, "一二", 1);
  EXPECT_EQ(Changed(), centre);
  Blank();
  oxText::DrawBox(100, 100, 100 + 5 * k, 100 + h, "一二", 3);  // no such alignment
  EXPECT_TRUE(Changed().empty());
  // Two lines in a box one and a half lines high: the second is cut.
  oxText::EndText();
  oxText::SelectFont(oxText::kGothic, 16, 0, 0, 0, 0);
  oxText::SetColour(kWhite, kNavy, 0);
  oxText::DrawBox(100, 100, 100 + k, 100 + h + h / 2, "一二", 0);
  const oxd::Rect drawn = Bounds(Changed());
  EXPECT_TRUE(drawn.top == 100 && drawn.right == 100 + k && drawn.bottom == 100 + h + h / 2);
}

// ---------------------------------------------------------------- typesetting: layout

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

TEST_F(TypesetTest, OverflowAtAFullStopHangsItAtTheLineEnd) {
  const int left = 40, top = 50;
  oxText::Typeset(left, top, left + 5 * k_, 400, "一二三四五。六七", 0);
  ASSERT_EQ(S().laidOut, 8);
  EXPECT_EQ(R(5).left, left + 4 * k_);
  EXPECT_TRUE(R(6).left == left + 5 * k_ && R(6).top == top);  // past the right edge, same line
  EXPECT_TRUE(R(7).left == left && R(7).top == top + h_);
  EXPECT_TRUE(Inked(R(6)));  // copied to the back buffer with the rest
  EXPECT_TRUE(R(0).left == left && R(0).right == left + 6 * k_ && R(0).bottom == top + 2 * h_);
}

TEST_F(TypesetTest, OverflowAtAKanjiMovesItToTheNextLine) {
  oxText::Typeset(40, 50, 40 + 5 * k_, 400, "一二三四五六七", 0);
  ASSERT_EQ(S().laidOut, 7);
  EXPECT_TRUE(R(6).left == 40 && R(6).top == 50 + h_);
  // Nothing is drawn past the right edge.
  EXPECT_TRUE(Where([](uint16_t p) { return p != kMarker; }, 40 + 5 * k_, 0, 640, 480).empty());
}

TEST_F(TypesetTest, MultiByteCharacterIsNeverSplitAcrossLines) {
  const int a = Advance("a");
  // "漢" would straddle the edge: it moves down whole.
  oxText::Typeset(10, 10, 10 + 4 * a + k_ / 2, 400, "aaaa漢字", 0);
  ASSERT_EQ(S().laidOut, 6);
  EXPECT_TRUE(R(5).left == 10 && R(5).top == 10 + h_ && R(5).right - R(5).left == k_);
  EXPECT_TRUE(Where([](uint16_t p) { return p != kMarker; }, 10 + 4 * a, 10, 640, 10 + h_).empty());
  // The glyph drawn on the second line is the whole character.
  const PixelSet line2 = Where([](uint16_t p) { return p != kMarker; }, 0, 10 + h_, 640, 480);
  oxText::Typeset(10, 10 + h_, 640, 400, "漢字", 0);
  EXPECT_EQ(Where([](uint16_t p) { return p != kMarker; }, 0, 10 + h_, 640, 480), line2);
}

TEST_F(TypesetTest, LineFeedsAndTheBottomOfTheBox) {
  // Extra spacing 4: lines are h + 4 apart.
  oxText::Typeset(10, 10, 600, 10 + 3 * (h_ + 4) + 2, "一\n二\n三\n四", 4);
  // A line starts only while pen y + line height stays above the bottom.
  ASSERT_EQ(S().laidOut, 3);
  EXPECT_TRUE(R(2).left == 10 && R(2).top == 10 + h_ + 4 && R(3).top == 10 + 2 * (h_ + 4));
  EXPECT_FALSE(Inked(oxd::Rect{0, 10 + 3 * (h_ + 4), 640, 480}));
}

TEST_F(TypesetTest, CharacterWiderThanTheBoxStaysOnItsOwnLine) {
  oxText::Typeset(10, 10, 15, 400, "一二三", 0);
  ASSERT_EQ(S().laidOut, 3);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_TRUE(R(i).left == 10 && R(i).top == 10 + (i - 1) * h_ && Inked(R(i))) << i;
  }
}

TEST_F(TypesetTest, LongTextStopsAtTheLayoutTable) {
  std::string text(5000, 'i');
  oxText::Typeset(0, 0, 640, INT_MAX, text.c_str(), 0);
  EXPECT_EQ(S().laidOut, ox::text::kMaxLaidOut);
  EXPECT_FALSE(Changed().empty());
}

TEST_F(TypesetTest, CopyIsClippedButTextOffTheScreenStillShowsItsVisiblePart) {
  oxDraw::SetClip(130, 0, 510, 480);
  oxText::Typeset(100, 100, 600, 400, "一二三四五六七八九十", 0);
  EXPECT_FALSE(Changed().empty());
  EXPECT_EQ(Bounds(Changed()).left >= 130, true);
  Blank();
  oxDraw::SetClip(0, 0, 640, 480);
  oxText::Typeset(-k_ / 2, 100, 600, 400, "一二三", 0);
  EXPECT_EQ(Bounds(Changed()).left, 0);
  EXPECT_GT(Bounds(Changed()).right, k_);
}

// ---------------------------------------------------------------- typesetting: effects

TEST_F(TypesetTest, BlackTextIsDrawnAsDarkGrey) {
  oxText::SetColour(0x000000, 0x0A0A0A, 0);
  oxText::Typeset(10, 10, 600, 400, "黒", oxText::kShadow);
  const uint16_t grey = oxd::NativeColor(0x101010);
  EXPECT_NE(grey, 0);
  EXPECT_FALSE(Is(grey).empty());
  EXPECT_EQ(Changed(), Is(grey));  // text and shadow alike
}

TEST_F(TypesetTest, ShadowAndThickeningAreTheGlyphShiftedByOnePixel) {
  oxText::SetColour(kWhite, kRed, 0);
  const char* text = "影";
  oxText::Typeset(20, 20, 600, 400, text, 0);
  const PixelSet plain = Is(kWhitePx);
  ASSERT_EQ(Changed(), plain);
  const int plainWidth = R(1).right - R(1).left;

  Blank();
  oxText::Typeset(20, 20, 600, 400, text, oxText::kShadow);
  EXPECT_EQ(Is(kWhitePx), plain);
  EXPECT_EQ(Is(kRedPx), Minus(Shifted(plain, 1, 1), plain));
  EXPECT_EQ(R(1).right - R(1).left, plainWidth + 1);
  EXPECT_EQ(R(1).bottom - R(1).top, h_ + 1);

  Blank();
  oxText::Typeset(20, 20, 600, 400, text, oxText::kThickenX);
  EXPECT_EQ(Is(kWhitePx), Union(plain, Shifted(plain, 1, 0)));
  Blank();
  oxText::Typeset(20, 20, 600, 400, text, oxText::kThickenY);
  EXPECT_EQ(Is(kWhitePx), Union(plain, Shifted(plain, 0, 1)));

  Blank();
  oxText::Typeset(20, 20, 600, 400, text, oxText::kShadow | oxText::kThickenX | oxText::kThickenY);
  const PixelSet thick =
      Union(Union(plain, Shifted(plain, 1, 0)), Union(Shifted(plain, 1, 1), Shifted(plain, 0, 1)));
  EXPECT_EQ(Is(kWhitePx), thick);
  EXPECT_EQ(Is(kRedPx), Minus(Shifted(plain, 2, 2), thick));
  EXPECT_EQ(R(1).right - R(1).left, plainWidth + 2);
}

// ---------------------------------------------------------------- Prepare and Reveal

TEST_F(TypesetTest, PrepareDrawsNothingAndRevealShowsOneCharacterEveryThreeFrames) {
  oxText::SetColour(kWhite, kRed, 0);
  oxText::Prepare(10, 10, 600, 400, "一二三四五六七八九十", 0);
  ASSERT_EQ(S().laidOut, 10);
  EXPECT_TRUE(Changed().empty());
  std::vector<int> shown;  // characters visible after each frame
  int doneAt = 0;
  for (int frame = 1; frame <= 60 && !doneAt; ++frame) {
    plat::BeginFramePass();
    ox::UpdateFrameTime();
    Blank();
    const int done = oxText::Reveal(0.05f);
    int n = 0;
    for (int i = 1; i <= 10; ++i) n += Inked(R(i));
    // Characters appear in order.
    for (int i = 1; i <= n; ++i) EXPECT_TRUE(Inked(R(i))) << frame;
    shown.push_back(n);
    if (done) doneAt = frame;
    plat::EndFramePass();
  }
  // 0.05 s at 60 frames a second (16, 17, 17 ms): the count grows every
  // three frames, and the frame draws the characters before the count, so
  // character k first shows on frame 3 k + 4. The last one shows with the
  // whole text once the count has passed it.
  ASSERT_EQ(doneAt, 34);
  for (int frame = 1; frame < 34; ++frame) {
    EXPECT_EQ(shown[frame - 1], frame < 7 ? 0 : (frame - 4) / 3) << frame;
  }
  EXPECT_EQ(shown[33], 10);
  // Once complete it keeps drawing all of it.
  Blank();
  EXPECT_EQ(oxText::Reveal(0.05f), 1);
  EXPECT_TRUE(Inked(R(10)));
}

TEST_F(TypesetTest, RevealWithoutIntervalShowsEverythingAtOnce) {
  oxText::Prepare(10, 10, 600, 400, "一二三", 0);
  EXPECT_EQ(oxText::Reveal(0), 1);
  for (int i = 1; i <= 3; ++i) EXPECT_TRUE(Inked(R(i)));
  // Typeset after Prepare copies again at once.
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
  const PixelSet changed = Where([](uint16_t p) { return p != 0x001F; });
  ASSERT_GT(changed.size(), 50u);
  // Per red and green: (31 n + 31) / 8 for n inked samples; blue stays 31.
  const std::set<int> levels = {7, 11, 15, 19, 23, 27, 31};
  std::set<int> seen;
  for (auto [x, y] : changed) {
    const uint16_t p = At(x, y);
    const int r = p >> 11, g = (p >> 6) & 0x1F, b = p & 0x1F;
    ASSERT_TRUE(levels.count(r)) << r;
    EXPECT_EQ(g, r);
    EXPECT_EQ(b, 31);
    EXPECT_EQ(p & 0x20, 0);  // the green channel's extra bit stays clear
    seen.insert(r);
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
  EXPECT_FALSE(Changed().empty());
  EXPECT_LE(Bounds(Changed()).right, 60);
  // The half-size pen reaching the right edge ends the line.
  ASSERT_EQ(S().laidOut, 7);
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
  static void Pass() {
    plat::BeginFramePass();
    oxSystem::ShowFps();
    plat::EndFramePass();
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
  for (int pass = 0; pass < 240; ++pass) Pass();
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
  for (int pass = 1; pass <= 241; ++pass) Pass();  // the third sample at 4016 ms
  plat::headless::AdvanceClock(5000);              // inactive: no frames
  Pass();
  EXPECT_EQ(Text(), "0.5 fps ( max 60.0 / min 0.5 )");
}

TEST_F(MeterTest, RestartTakesTheNextSampleAtOnce) {
  for (int pass = 1; pass <= 181; ++pass) Pass();  // 60 frames since the sample at 121
  ox::RestartFrameRate();
  Pass();
  EXPECT_EQ(Text(), "30.5 fps ( max 60.0 / min 30.5 )");
}

TEST_F(MeterTest, KeepsSamplingAcrossTheClockWrap) {
  plat::headless::SetClock(0xFFFFFFFFu - 3000);
  for (int pass = 0; pass < 400; ++pass) Pass();
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
