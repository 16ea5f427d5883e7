// Page 5: fonts and text.
//
// Platform text output: SelectFont opens the text context, Out writes a
// line, DrawBox wraps text in a box, EndText closes it. The typesetter
// lays text out with Japanese line breaking, shadow and thickening;
// Prepare then Reveal shows it one character at a time. All text is UTF-8.
#include "draw/ox_draw.h"
#include "examples/demo.h"
#include "input/ox_input.h"
#include "input/ox_text.h"

namespace demo {

namespace {

constexpr const char* kStory =
    "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。"
    "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。"
    "The typesetter wraps mixed text, and never starts a line with a full stop.";

void PrepareStory() {
  oxText::SelectFont(oxText::kMincho, 20, 0, 0, 0, 0);
  oxText::SetColour(Ref(255, 250, 230), Ref(20, 40, 110), 0);
  oxText::Prepare(40, 330, 600, 450, kStory, oxText::kShadow | 4);
  oxText::EndText();
}

}  // namespace

void TextPage() {
  if (BeginPage() || Pressed(oxInput::kReturn)) PrepareStory();

  oxText::SelectFont(oxText::kMincho, 26, 0, 0, 0, 0);
  oxText::SetColour(Ref(255, 255, 255), 0, 1);
  oxText::Out(40, 86, "明朝体 Mincho 26");
  oxText::SelectFont(oxText::kGothic, 26, 0, 1, 0, 0);
  oxText::SetColour(Ref(120, 230, 255), 0, 1);
  oxText::Out(330, 86, "ゴシック体 Gothic bold");
  oxText::EndText();

  // A centred, word-wrapped box on an opaque background.
  oxDraw::Rectangle(40, 140, 600, 250, Ref(40, 30, 70), Ref(200, 180, 255), 1);
  oxText::SelectFont(oxText::kGothic, 16, 0, 0, 0, 0);
  oxText::SetColour(Ref(255, 255, 255), Ref(40, 30, 70), 1);
  oxText::DrawBox(56, 150, 584, 240,
                  "DrawBox wraps lines at spaces and between Japanese characters: "
                  "日本語の文章はどの文字の間でも折り返せます。Alignment 1 centres each line.",
                  1);
  oxText::EndText();

  // The typesetter: the prepared story appears one character each 40 ms,
  // its shadow in the background colour one pixel down and right.
  oxDraw::FillRect(30, 324, 610, 456, 0x4A69);
  oxText::Reveal(0.04f);

  Explain(40, 300, {"Prepare + Reveal, shadow on (Enter starts it again):"});
  EndPage("Fonts and text", "Out, DrawBox, Typeset, Prepare and Reveal (UTF-8)");
}

}  // namespace demo
