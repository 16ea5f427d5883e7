#include "core/text_copy.h"

#include <cstdio>
#include <cstring>

namespace ox {

namespace {
// Length of the longest prefix of text[0..n) that does not end inside a
// UTF-8 multi-byte sequence.
size_t CharBoundary(const char* text, size_t n) {
  size_t i = n;
  // Step back over continuation bytes to the lead byte of the last character.
  size_t back = 0;
  while (i > 0 && back < 4 && (static_cast<unsigned char>(text[i - 1]) & 0xC0) == 0x80) {
    --i;
    ++back;
  }
  if (i == 0) return n;
  unsigned char lead = static_cast<unsigned char>(text[i - 1]);
  size_t need = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (lead < 0x80) return n;
  return back >= need ? n : i - 1;
}
}  // namespace

void CopyText(char* out, size_t size, const char* text) {
  if (size == 0) return;
  size_t n = strnlen(text, size);
  if (n >= size) n = CharBoundary(text, size - 1);
  memcpy(out, text, n);
  out[n] = '\0';
}

void FormatText(char* out, size_t size, const char* format, va_list args) {
  if (size == 0) return;
  int n = vsnprintf(out, size, format, args);
  if (n < 0) {
    out[0] = '\0';
    return;
  }
  if (static_cast<size_t>(n) >= size) out[CharBoundary(out, size - 1)] = '\0';
}

}  // namespace ox
