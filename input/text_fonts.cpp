// The font table, the shared font description, the text contexts and the
// text colours.
#include <algorithm>
#include <cstring>

#include "core/app_state.h"
#include "core/text_copy.h"
#include "draw/ox_draw.h"
#include "input/ox_text.h"
#include "input/text_internal.h"

namespace ox::text {

namespace {

// A fresh context draws black on white, opaque.
constexpr int32_t kDefaultText = 0x000000;
constexpr int32_t kDefaultBackground = 0xFFFFFF;
constexpr int kNormalWeight = 400;
constexpr int kBoldWeight = 700;

constexpr TextState Initial() {
  TextState s{};
  s.textColour = kDefaultText;
  s.backColour = kDefaultBackground;
  s.backFont = -1;
  s.smoothFont = -1;
  s.drawAfter = 1;
  return s;
}

constinit TextState g_text = Initial();

void AddFamily(void* user, const char* family, uint8_t charset) {
  auto& s = *static_cast<TextState*>(user);
  if (s.fontCount >= kFontTableSize) return;
  FontEntry& e = s.fonts[s.fontCount++];
  CopyText(e.name, sizeof e.name, family);
  e.charset = charset;
  e.kind = charset == plat::kJapaneseCharset ? oxText::kJapaneseFont
           : charset == plat::kSymbolCharset ? oxText::kSymbolFont
                                             : oxText::kOtherFont;
}

// The character set the font table lists for a face; Japanese when the
// face is not listed.
uint8_t CharsetOf(const char* face) {
  for (int i = 0; i < g_text.fontCount; ++i) {
    if (std::strcmp(g_text.fonts[i].name, face) == 0) return g_text.fonts[i].charset;
  }
  return plat::kJapaneseCharset;
}

void ChooseFace(int face) {
  if (face == oxText::kMincho) CopyText(g_text.desc.face, kFaceSize, plat::kStandardMincho);
  if (face == oxText::kGothic) CopyText(g_text.desc.face, kFaceSize, plat::kStandardGothic);
}

int Weight(int bold) {
  if (bold == 0) return kNormalWeight;
  if (bold == 1) return kBoldWeight;
  return 0;  // the face's own
}

int Height(int height) { return std::clamp(height, -plat::kMaxFontHeight, plat::kMaxFontHeight); }

void Describe(int height, int angle, int bold, int italic, int underline) {
  Description& d = g_text.desc;
  d.height = Height(height);
  d.width = 0;
  d.escapement = (angle % 360) * 10;
  d.weight = Weight(bold);
  d.italic = italic != 0;
  d.underline = underline != 0;
}

// Smooth fonts: twice the height, normal weight, upright, no underline.
void DescribeSmooth(int height) {
  Description& d = g_text.desc;
  d.height = Height(Height(height) * 2);
  d.width = 0;
  d.escapement = 0;
  d.weight = kNormalWeight;
  d.italic = 0;
  d.underline = 0;
}

void OpenSmoothContext() {
  const int font = plat::CreateFont(SpecOf(g_text.desc));
  plat::DeleteFont(g_text.smoothFont);
  g_text.smoothFont = font;
}

void CloseSmoothContext() {
  plat::DeleteFont(g_text.smoothFont);
  g_text.smoothFont = -1;
}

}  // namespace

TextState& State() { return g_text; }

void ResetTextState() {
  CloseBackContext();
  CloseSmoothContext();
  g_text = Initial();
}

void SetOpaque() { g_text.transparent = 0; }

plat::FontSpec SpecOf(const Description& d) {
  plat::FontSpec request;
  request.face = d.face;
  request.height = d.height;
  request.escapement = d.escapement;
  request.weight = d.weight;
  request.italic = d.italic != 0;
  request.charset = d.charset;
  return request;
}

void CloseBackContext() {
  if (g_text.backFont < 0) return;
  plat::DeleteFont(g_text.backFont);
  g_text.backFont = -1;
  oxDraw::CloseDC();
}

bool OpenBackContext() {
  // The new font before the old one goes, so that an equal font is shared
  // rather than loaded again.
  const int font = g_text.described ? plat::CreateFont(SpecOf(g_text.desc)) : -1;
  plat::DeleteFont(g_text.backFont);
  g_text.backFont = font;
  if (font < 0) return false;
  oxDraw::OpenDC();
  return true;
}

}  // namespace ox::text

using ox::text::g_text;

void oxText::InitFonts() {
  ox::text::CloseBackContext();
  ox::text::CloseSmoothContext();
  g_text.desc = ox::text::Description{};
  g_text.desc.charset = plat::kJapaneseCharset;
  g_text.described = 1;
  g_text.fontCount = 0;
  plat::ListFontFamilies(ox::text::AddFamily, &g_text);
  g_text.textColour = ox::text::kDefaultText;
  g_text.backColour = ox::text::kDefaultBackground;
  g_text.transparent = 0;
  g_text.laidOut = 0;
  g_text.rects[0] = oxd::Rect{};
  g_text.revealCount = 0;
  g_text.revealTimer = 0;
  g_text.drawAfter = 1;
}

void oxText::ReleaseFonts() {
  ox::text::CloseBackContext();
  ox::text::CloseSmoothContext();
  g_text.described = 0;
  plat::ShutdownFonts();
}

void oxText::SelectFont(int face, int height, int angle, int bold, int italic, int underline) {
  if (!g_text.described) return;
  ox::text::ChooseFace(face);
  ox::text::Describe(height, angle, bold, italic, underline);
  g_text.desc.charset = plat::kJapaneseCharset;
  ox::text::OpenBackContext();
}

void oxText::SelectFontByName(const char* face, int height, int angle, int bold, int italic,
                              int underline) {
  if (!g_text.described) return;
  if (face) ox::CopyText(g_text.desc.face, ox::text::kFaceSize, face);
  ox::text::Describe(height, angle, bold, italic, underline);
  g_text.desc.charset = ox::text::CharsetOf(g_text.desc.face);
  ox::text::OpenBackContext();
}

void oxText::EndText() {
  ox::text::CloseBackContext();
  g_text.transparent = 0;
}

void oxText::SetColour(int32_t text, int32_t background, int transparent) {
  g_text.textColour = text;
  g_text.backColour = background;
  if (transparent) g_text.transparent = 1;
}

int oxText::GetFontCount() { return g_text.fontCount; }

const char* oxText::GetFontName(int index, int* kind) {
  if (index < 0 || index >= g_text.fontCount) return nullptr;
  if (kind) *kind = g_text.fonts[index].kind;
  return g_text.fonts[index].name;
}

void oxText::SelectSmoothFont(int face, int height) {
  if (!g_text.described) return;
  ox::text::ChooseFace(face);
  ox::text::DescribeSmooth(height);
  g_text.desc.charset = plat::kJapaneseCharset;
  ox::text::OpenSmoothContext();
}

void oxText::SelectSmoothFontByName(const char* face, int height) {
  if (!g_text.described) return;
  if (face) ox::CopyText(g_text.desc.face, ox::text::kFaceSize, face);
  ox::text::DescribeSmooth(height);
  g_text.desc.charset = ox::text::CharsetOf(g_text.desc.face);
  ox::text::OpenSmoothContext();
}

void oxText::EndSmoothText() { ox::text::CloseSmoothContext(); }

void oxText::SetOpaqueBackground() { ox::text::SetOpaque(); }
