// The player's keys of the frame itself, taken before the game sees them:
// Alt+Enter and F11 switch between full screen and a window, F12 saves the
// picture.
#pragma once

#include "platform/messages.h"

namespace ox {

constexpr int kVkF11 = 122;
// How long the confirmation of a saved picture stays on the screen.
constexpr uint32_t kNoticeMs = 2000;

// Handles `m` when it is one of these keys (or the release of one taken):
// answers true when the message is used up and must not reach the game.
bool TakePlayerKey(const plat::Message& m);
// Forgets the keys held down (a new run).
void ResetPlayerKeys();

}  // namespace ox
