#include "core/error_report.h"

#include <cstring>

#include "core/text_copy.h"
#include "platform/platform.h"

namespace ox {

namespace {
// Box texts hold 256 bytes of a two-byte Japanese encoding; in UTF-8 the
// same text takes up to half as much again.
constexpr size_t kBoxText = 384;
}  // namespace

int ErrorReport(const char* operation, const char* text, int32_t) {
  char box[kBoxText];
  char joined[kBoxText * 2];
  size_t n = strnlen(operation, kBoxText);
  memcpy(joined, operation, n);
  joined[n] = '\0';
  strcat(joined, " : ");
  strncat(joined, text, sizeof joined - strlen(joined) - 1);
  CopyText(box, sizeof box, joined);
  plat::Beep();
  plat::MessageBox("エラー発生", box, plat::BoxIcon::Exclamation, plat::BoxButtons::Ok);
  return 0;
}

}  // namespace ox
