// Starting background work so that it does not compete with the start-up.
#pragma once

namespace plat {

// The niceness of background work: the lowest priority.
constexpr int kBackgroundNice = 19;

// Calls `start` on a short-lived thread of the lowest priority (nice
// kBackgroundNice) and waits for it to return. Threads that `start` creates
// inherit that priority: they take the cores that the rest of the process
// (and the display server) leave idle, so that work such as the soundfont's
// load does not slow down the first pictures; once the program idles
// between frame passes they have those cores to themselves. The caller's
// own priority does not change. Everything `start` does happens before this
// returns, as if it were called here; when no thread can be made, it is.
void StartInBackground(void (*start)());

}  // namespace plat
