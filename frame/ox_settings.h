// The player's settings: what the player chose in the options overlay or in
// the settings file, remembered for the next run. The frame owns the values
// the library applies (volumes, display); the game adds its own sections
// (key and pad bindings, assists) through AddSection, so that one file holds
// them all.
#pragma once

#include <cstddef>

struct oxSettings {
  struct Values {
    int master = 100;  // volumes, 0 to 100
    int music = 100;
    int effects = 100;
    bool fullscreen = true;  // the display mode a run starts in (--window overrides it)
    int scale = 2;           // window scale, 1 to 8
    bool fill = false;       // scale to the largest 4:3 size instead of whole numbers
    int assistSpeed = 100;   // game speed, 50 to 100 percent
    int windowWidth = 0;     // the window's size as the player left it;
    int windowHeight = 0;    // 0: the picture times the scale
  };

  // The current values. Edit them, then call Changed().
  static Values& Current();
  // Applies the current values (volumes, display) and saves the settings
  // file; bumps the revision.
  static void Changed();
  // Counts calls of Changed() and ResetToDefaults(), so that code holding a
  // copy of a value can tell when to read it again.
  static unsigned Revision();
  // Every value and every section back to its default, then Changed().
  static void ResetToDefaults();

  // A section of the settings file owned by the game. `read` takes one
  // key and value of the section and answers false for an unknown key or
  // a bad value (which is then reported and ignored); `write` calls `put`
  // for each key it keeps; `reset` restores its defaults. Up to 8 sections;
  // false when the table is full or the name is taken. Call at start, before
  // the file is read.
  using PutFn = void (*)(void* context, const char* key, const char* value);
  using ReadFn = bool (*)(const char* key, const char* value);
  using WriteFn = void (*)(PutFn put, void* context);
  using ResetFn = void (*)();
  static bool AddSection(const char* name, ReadFn read, WriteFn write, ResetFn reset);
};
