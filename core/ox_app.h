// What a game asks of the application frame while it runs: the scene it
// is in, the seconds the last frame took, the last key and the pause flag,
// random numbers, and where its data files are. Scenes change through
// ChangeScene, never by writing the frame's state.
#pragma once

#include <cstdint>

namespace ox {

// The scene number the main loop calls (0: none).
int Scene();
// 1 on the first frame pass of a scene, else 0.
int SceneChanged();
// From the next frame pass the main loop calls scene `scene`, and that
// pass starts with the scene-changed flag, even when `scene` is the scene
// that runs now.
void ChangeScene(int scene);
// Seconds between the last two frame passes (millisecond resolution).
float FrameSeconds();

// The key last pressed and not yet released (a virtual-key code, 0: none).
int LastKey();
// The pause flag, toggled by each press of S.
int PauseFlag();
void SetPauseFlag(int pause);

// The runtime's pseudo-random generator: 0..32767, as the platform's C
// runtime gives it, seeded by the entry point (or --seed).
void SeedRandom(uint32_t seed);
int Random();

// Makes the data directory `dir` instead of the executable's (tools,
// examples and tests); nullptr goes back to the executable's directory.
void OverrideDataDirectory(const char* dir);

}  // namespace ox
