// Start-up trace: with OX_START_TRACE=1 in the environment, the program
// writes to standard error, at a few milestones of its start (SDL video up,
// window shown, assets loaded, first and second frame pass, ...), the
// milliseconds since the process started, one line each:
//
//   samplegame: start trace:   123.4 ms  window shown
//
// The origin is the process's start as the kernel records it
// (/proc/self/stat), so the time to load and link the program counts too.
// The kernel keeps that start in clock ticks (10 ms), rounded down: the
// figures may read up to one tick high, never low. Without the variable
// nothing is written and nothing is measured.
#pragma once

#include <cstdint>

namespace plat::start_trace {

// Is the trace on (OX_START_TRACE=1)? Read once.
bool Enabled();
// Writes the milestone's line when the trace is on.
void Mark(const char* milestone);
// Milliseconds since the process started, or a negative value when the
// start cannot be read.
double SinceStart();

// The start time field (starttime, in clock ticks since boot) of a
// /proc/PID/stat text. False when the text does not hold one.
bool ParseStartTicks(const char* statText, uint64_t& ticks);

}  // namespace plat::start_trace
