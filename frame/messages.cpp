// Message boxes: the error report, information messages, yes/no questions
// and the display-mode check.
#include <cstdarg>
#include <cstring>

#include "core/app_state.h"
#include "core/error_report.h"
#include "core/text_copy.h"
#include "draw/ox_draw.h"
#include "draw/ox_draw_status.h"
#include "frame/ox_system.h"
#include "frame/window_proc.h"
#include "platform/platform.h"

namespace ox {

namespace {

// Box texts hold 256 bytes of a two-byte Japanese encoding; in UTF-8 the
// same text takes up to half as much again.
constexpr size_t kBoxText = 384;
// Line break appended to messages: the platform's own.
constexpr char kLineBreak[] = "\n";

void ForceCursor() {
  AppState& a = App();
  if (a.cursorVisible == 0) {
    plat::ShowCursor(true);
    a.cursorVisible = 1;
  }
  a.cursorForced = 1;
}

int ShowFormatted(const char* caption, plat::BoxIcon icon, plat::BoxButtons buttons,
                  const char* format, va_list args) {
  char text[kBoxText];
  FormatText(text, sizeof text - (sizeof kLineBreak - 1), format, args);
  strcat(text, kLineBreak);
  ForceCursor();
  int answer = plat::MessageBox(caption, text, icon, buttons);
  App().cursorForced = 0;
  ResetFrameTimer();
  return answer;
}

}  // namespace


}  // namespace ox

void oxSystem::Message(const char* format, ...) {
  va_list args;
  va_start(args, format);
  ox::ShowFormatted("メッセージ", plat::BoxIcon::Exclamation, plat::BoxButtons::Ok, format, args);
  va_end(args);
}

int oxSystem::Question(const char* format, ...) {
  va_list args;
  va_start(args, format);
  int answer = ox::ShowFormatted("メッセージ", plat::BoxIcon::Question, plat::BoxButtons::YesNo,
                                 format, args);
  va_end(args);
  return answer;
}

int oxSystem::CheckDisplay(const char* optionFile) {
  static const char* const kColourNames[4] = {"16", "256", "65536", "1670万"};
  if (!optionFile) optionFile = "";
  int depth = oxd::PreferredDepth();
  int colourClass = depth == 8 ? 1 : depth == 16 ? 2 : (depth == 24 || depth == 32) ? 3 : 0;
  if (colourClass == 0) return 1;
  if (ox::App().fullScreen == 1) return 1;
  if (oxDraw::GetDisplayDepth() >= depth) return 1;

  Message("　ウィンドウ状態で実行しようとしていますが、"
          "画面が%s色以下に設定されています。\n"
          "正しく動作させるには、%s色以上に設定するか、"
          "フルスクリーンで実行させて下さい。",
          kColourNames[colourClass - 1], kColourNames[colourClass]);

  const char* question = nullptr;
  if (optionFile[0] == '\0') question = nullptr;
  else if (strcmp(optionFile, "*") == 0) question = "フルスクリーンに切り換えますか？";
  else question = "フルスクリーンに設定し直しますか？";

  if (!question || Question("%s", question) == 0) {
    ox::QuitSequence();
    return 0;
  }
  if (strcmp(optionFile, "*") != 0) WriteNumber(optionFile, 1);
  ox::App().fullScreen = 1;
  return 1;
}
