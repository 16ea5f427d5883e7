// The library services that screen set-up starts and the quit sequence
// stops, beside the screen itself: sound device and sound objects, music
// state, fonts, joysticks. Each service defines its calls in its own folder
// (sound/, input/).
#pragma once

namespace ox::services {

void StartSound();      // open the sound device, clear the 70 sound objects
void ResetMusic();      // music state back to "nothing playing"
void CreateFontList();  // enumerate the Mincho and Gothic faces
void InitJoystick();    // read the joystick centres, clear the pad records
void FreeFontList();
void ReleaseSound();    // release every sound object and the device

}  // namespace ox::services

namespace ox::services {
// Music state the window procedure needs to restart a finished piece.
bool MusicPlaying();
// Writes the music device's answer to "status midi mode" into `out`.
void MusicStatus(char* out, int size);
void RestartMusic();
// Called by the main loop before it takes messages: lets services that run
// beside the main thread (the music player) post their notifications.
void PollServices();
}  // namespace ox::services
