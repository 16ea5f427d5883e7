// libFuzzer target for the recording reader: any byte string is either
// refused with a reason or is a recording whose records tile the file
// exactly after its header, with passes numbered 1, 2, 3, ... as the summary
// counts them.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/replay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::replay::Summary summary;
  char error[160];
  error[0] = '\0';
  if (!plat::replay::Check(data, size, summary, error, sizeof error)) {
    // A refusal always says why, on one line.
    if (error[0] == '\0' || strchr(error, '\n')) abort();
    return 0;
  }
  size_t at = summary.headerSize;  // the fixed header and any choices block
  uint32_t passes = 0;
  bool ended = false;
  while (at < size) {
    const size_t n = plat::replay::RecordSize(data[at]);
    if (n == 0 || n > size - at || ended) abort();
    if (data[at] == plat::replay::kPass && plat::replay::Get32(data + at + 1) != ++passes) abort();
    ended = data[at] == plat::replay::kEnd;
    at += n;
  }
  if (at != size || passes != summary.passes || ended != summary.complete) abort();
  return 0;
}
