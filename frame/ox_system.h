// oxSystem: the application frame. Main loop and scenes, window messages,
// timers and wait slots, message boxes and error reports, files and system
// queries.
#pragma once

#include <cstddef>
#include <cstdint>

struct oxSystem {
  // ---- timers and wait slots (slots 1 to 10)
  static int SetWait(int slot, uint32_t milliseconds);
  static int InitWait(int slot);
  static int CheckWait(int slot);
  static void Wait(uint32_t milliseconds);

  // ---- messages
  static void Message(const char* format, ...) __attribute__((format(printf, 1, 2)));
  static int Question(const char* format, ...) __attribute__((format(printf, 1, 2)));
  static int CheckDisplay(const char* optionFile);

  // ---- files and system queries
  static void SetSettingsRoot(const char* redirectFile);
  static void WriteNumber(const char* fileName, int value);
  static int ReadNumber(const char* fileName);
  static const char* GetCommandLine();
  static void GetDate(int* year, int* month, int* day, const char** weekday);
  static void GetTime(int* hour, int* minute, int* second);
  static uint32_t DiskFree(char drive);
  static uint32_t FreeMemory();
  static int GetOSVersion();
  static int IsWindowed();

  // ---- frame-rate meter and debug text (white on navy, Gothic 12 pixels)
  // Counts a frame and prints the rate of the last two seconds with the best
  // and worst seen at (0, 0); call once a frame before presenting.
  static void ShowFps();
  static void Print(int x, int y, const char* text);
  // Formats into 256 bytes (cut on a character boundary), then prints.
  static void PrintF(int x, int y, const char* format, ...)
      __attribute__((format(printf, 3, 4)));
};

class DumpWriter;

// A command-line option of the game's own, beside the frame's: given as
// --name VALUE or --name=VALUE (or --name alone when it takes no value).
struct GameOption {
  const char* name;      // without the dashes: "stage"
  const char* argument;  // its value's name in --help ("N"), or nullptr for a flag
  const char* help;      // one line for --help
};

// The game the frame runs: its start-up loader and its scene table.
using SceneFunction = void (*)();
constexpr int kSceneTableSize = 12;  // scene numbers 0..11; 0 and null entries call nothing

struct GameDefinition {
  void (*load)() = nullptr;                         // asset load; opens the screen
  SceneFunction scenes[kSceneTableSize] = {};
  // Writes the game's own fields into the state dump (may be null).
  void (*dumpFields)(DumpWriter& out) = nullptr;
  // The program's name: its window's title (and the name the desktop shows
  // for it), and the name of its single-instance lock. Programs of other
  // names run beside it; a second copy of the same name raises the first.
  const char* title = "Sample Game";
  const char* instanceName = "Sample Game:OxMutex";
  // What --version prints after the title ("" prints the title alone).
  const char* version = "";
  // The game's own options, and the call that takes each one given (in
  // command-line order, before the window opens; `value` is nullptr for a
  // flag). It answers false with a message in `error` to reject the
  // command line (exit code 2).
  const GameOption* options = nullptr;
  int optionCount = 0;
  bool (*takeOption)(int index, const char* value, char* error, size_t errorSize) = nullptr;
  // The game's choices that steer play beside the input (a practice stage,
  // a game speed), kept in a recording: `recordChoices` writes them as one
  // line of printable text (shorter than `size`) and returns its length; a
  // replay hands the recorded line back to `replayChoices` before the game
  // loads ("" for a recording that kept none). It answers false with a
  // message in `error` to refuse the recording.
  size_t (*recordChoices)(char* text, size_t size) = nullptr;
  bool (*replayChoices)(const char* text, char* error, size_t errorSize) = nullptr;
};

// Entry point: parses the options (argv), checks for a second copy, creates
// the window, runs the game's loader and the main loop. Returns the process
// exit code (0 in every case the frame itself handles; 2 for bad options).
int oxRun(int argc, char** argv, const GameDefinition& game);
