// The command-line options through which people, tests and tools drive the
// game: backend choice, determinism (seed, clock), run length, scripted
// input, screenshots and the state dump.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdint>

struct GameDefinition;

namespace ox {

struct ShotRequest {
  uint32_t frame;
  char path[1024];
};

struct DriverOptions {
  bool headless = false;
  bool window = false;
  int scale = 2;
  bool scaleGiven = false;
  bool seedGiven = false;
  uint32_t seed = 0;
  uint32_t clockStart = 0;
  uint32_t frames = 0;  // 0: run until quit
  const char* input = nullptr;
  const char* dump = nullptr;
  const char* audioOut = nullptr;
  const char* record = nullptr;  // write the run's input into this file
  const char* replay = nullptr;  // play a recorded run back from this file
  const char* config = nullptr;  // the player's settings file instead of their own
  static constexpr int kMaxShots = 64;
  ShotRequest shots[kMaxShots] = {};
  int shotCount = 0;
  bool help = false;
  bool version = false;
};

// Parses argv: the frame's options, and the game's own when `game` has
// any (each is handed to game->takeOption). On an error writes a message
// into `error` and returns false.
bool ParseOptions(int argc, char** argv, DriverOptions& out, char* error, size_t errorSize,
                  const GameDefinition* game = nullptr);
// Prints the usage text, the game's options included.
void PrintUsage(FILE* out, const GameDefinition* game = nullptr);

// Writes the picture last presented on the screen as a 24-bit BMP.
bool WriteScreenshot(const char* path);

}  // namespace ox
