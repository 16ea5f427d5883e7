// The start-up and service registry. Screen set-up and the quit sequence
// start and stop services that live in subsystems beside or above the
// caller (sound device, music, fonts, joysticks); the window procedure and
// the main loop ask the music service about a finished piece. Each
// subsystem installs its hooks here once at start (see the Install...
// calls of the sound, music, text and joystick headers), so that no
// subsystem includes another to reach them. A hook not installed does
// nothing and answers "no".
#pragma once

namespace ox::services {

struct Hooks {
  void (*startSound)();      // open the sound device, clear the 70 sound objects
  void (*releaseSound)();    // release every sound object and the device
  void (*resetMusic)();      // music state back to "nothing playing"
  bool (*musicPlaying)();    // a piece is playing (or was, and ended)
  void (*musicStatus)(char* out, int size);  // the answer to "status midi mode"
  void (*restartMusic)();    // plays the current piece again
  void (*pollMusic)();       // posts the notifications of the music thread
  void (*createFontList)();  // enumerate the Mincho and Gothic faces
  void (*freeFontList)();
  void (*initJoystick)();    // read the joystick centres, clear the pad records
};

// The installed hooks; plain data, all empty before the first install.
Hooks& Installed();

void StartSound();
void ReleaseSound();
void ResetMusic();
bool MusicPlaying();
void MusicStatus(char* out, int size);
void RestartMusic();
// Called by the main loop before it takes messages: lets services that run
// beside the main thread (the music player) post their notifications.
void PollServices();
void CreateFontList();
void FreeFontList();
void InitJoystick();

}  // namespace ox::services
