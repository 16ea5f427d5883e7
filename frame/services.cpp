#include "frame/services.h"

// The library does not contain a sound mixer, music player, font layer or
// joystick reader yet. These are the points where they start and stop; until
// they exist the game runs silent, with keyboard input and without text.

namespace ox::services {

void StartSound() {}
void ResetMusic() {}
void CreateFontList() {}
void InitJoystick() {}
void FreeFontList() {}
void ReleaseSound() {}

}  // namespace ox::services

namespace ox::services {

bool MusicPlaying() { return false; }
void MusicStatus(char* out, int size) {
  if (size > 0) out[0] = '\0';
}
void RestartMusic() {}

}  // namespace ox::services
