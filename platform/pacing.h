// Frame pacing of the real clock: at most 60 frame passes a second on any
// display, and the display's vertical blank waited for only where it falls
// in step with them.
#pragma once

#include <cstdint>

namespace plat {

constexpr int64_t kPassPeriodNs = 1000000000 / 60;  // 16,666,666 ns

// Does waiting for the vertical blank help at this refresh rate (Hz, as SDL
// rounds it; 0 unknown)? Only at 60 Hz and its multiples, where a blank
// comes with every pass: at 50 or 30 Hz it would hold passes back, at 144
// Hz give them an uneven rhythm.
bool VsyncHelps(int refreshHz);

// When the pass that ended at `now` may be followed by the next (all in
// nanoseconds of a monotonic clock): `previous` is the end the last pass was
// given (0 for none). A pass that ended early waits for the 1/60 s grid;
// one that overran starts the grid again from `now`. Returns `now` when no
// wait is due.
int64_t NextPassStart(int64_t previous, int64_t now);

}  // namespace plat
