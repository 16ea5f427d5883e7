#include "frame/services.h"

// The music state that screen set-up resets and the window procedure asks
// about when a piece ends.

namespace ox::services {

void ResetMusic() {}
bool MusicPlaying() { return false; }
void MusicStatus(char* out, int size) {
  if (size > 0) out[0] = '\0';
}
void RestartMusic() {}
void PollServices() {}

}  // namespace ox::services
