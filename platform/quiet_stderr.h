// Standard error sent to /dev/null for the lifetime of the object.
//
// The sound library (ALSA) prints its failures to standard error itself,
// eight lines when there is no sound card, while SDL looks for an audio
// device. Opening audio happens under this guard, and the caller reports
// the outcome in one line of its own.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace plat {

class QuietStderr {
 public:
  QuietStderr() {
    fflush(stderr);
    saved_ = fcntl(2, F_DUPFD_CLOEXEC, 3);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) dup2(null, 2);
    if (null >= 0) close(null);
  }
  ~QuietStderr() {
    if (saved_ < 0) return;
    fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
  }
  // Writes a line to the real standard error meanwhile.
  void Say(const char* text) const {
    if (saved_ < 0) {
      fputs(text, stderr);
      return;
    }
    for (size_t n = strlen(text); n > 0;) {
      const ssize_t w = write(saved_, text, n);
      if (w <= 0) return;
      text += w;
      n -= static_cast<size_t>(w);
    }
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace plat
