// oxMusic: background music from standard MIDI files.
//
// One piece plays at a time; a new piece closes the old one. When a piece
// ends, the window procedure receives the music notification and, while the
// loop flag is set, the piece starts again from its beginning. Files are
// read from the executable's directory. A missing or damaged file, or no
// synthesiser (no soundfont), leaves the game silent without a message; the
// playing flag is set all the same.
#pragma once

struct oxMusic {
  // Plays a MIDI file of the data directory from its beginning, closing the
  // piece that plays. `loop` 1: the piece starts again whenever it ends.
  // Returns 1 when the piece sounds, 0 when it stays silent.
  static int Play(const char* name, int loop);
  // Stops and closes the piece if one is playing.
  static void Stop();
  // The current piece stops at its end instead of starting again.
  static void NoLoop();
  // The end of a piece: starts it again from the beginning while the loop
  // flag is set, otherwise stops it. The window procedure calls it.
  static void Replay();
  // Stops and closes the music device without looking at the playing flag.
  static void Close();

  // Screen set-up: nothing plays (the open piece is closed) and the loop
  // flag is 1.
  static void Reset();

  // The playing flag (1 from Play until Stop) and the loop flag.
  static int PlayingFlag();
  static int LoopFlag();
  // The music device's mode: "playing", "stopped" (after Stop, or at the
  // end of a piece), or "" when no piece is open.
  static void Status(char* out, int size);
  // Installs the music state as a service of screen set-up and of the
  // window procedure (the frame does this at start).
  static void InstallServices();
};
