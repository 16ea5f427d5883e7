// The library's error report.
#pragma once

#include <cstdint>

namespace ox {

// Beeps, then shows the box "エラー発生" with "operation : text". Returns 0,
// the failure value of the operation that reports.
int ErrorReport(const char* operation, const char* text, int32_t code = 0);

}  // namespace ox
