// Bounded copies of UTF-8 text that never end inside a multi-byte sequence.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace ox {

// Copies at most size - 1 bytes of `text` into `out` and never ends inside
// a UTF-8 multi-byte sequence.
void CopyText(char* out, size_t size, const char* text);
// vsnprintf into `out` cut at a character boundary.
void FormatText(char* out, size_t size, const char* format, va_list args);

}  // namespace ox
