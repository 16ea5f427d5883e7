#include "core/services.h"

namespace ox::services {

namespace {
Hooks g_hooks;

void Call(void (*hook)()) {
  if (hook) hook();
}
}  // namespace

Hooks& Installed() { return g_hooks; }

void StartSound() { Call(g_hooks.startSound); }
void ReleaseSound() { Call(g_hooks.releaseSound); }
void ResetMusic() { Call(g_hooks.resetMusic); }
bool MusicPlaying() { return g_hooks.musicPlaying && g_hooks.musicPlaying(); }

void MusicStatus(char* out, int size) {
  if (g_hooks.musicStatus) {
    g_hooks.musicStatus(out, size);
  } else if (out && size > 0) {
    out[0] = '\0';
  }
}

void RestartMusic() { Call(g_hooks.restartMusic); }
void PollServices() { Call(g_hooks.pollMusic); }
void CreateFontList() { Call(g_hooks.createFontList); }
void FreeFontList() { Call(g_hooks.freeFontList); }
void InitJoystick() { Call(g_hooks.initJoystick); }

}  // namespace ox::services
