// Recording a run and playing it back (--record FILE, --replay FILE).
//
// Everything the frame can read from the platform that differs between runs
// passes through here while a recording or a replay is on:
//   - the clock: read once when a frame pass begins, and again only after
//     something that takes time (a wait, a message box, a blocking wait for
//     messages, the asset load); in between every reading gives that value;
//   - the messages the backend delivers (keys and system keys, characters,
//     mouse, window position, activation, close, the raise request), in the
//     groups one pump or the window's creation delivered them;
//   - the key-state answers, taken after each pump and each message box;
//   - the joystick and game-controller readings, taken when a pass begins
//     (and at the start);
//   - the answers of message boxes;
//   - the random seed (the file's header).
// The cursor position, window and desktop sizes only steer the cursor over
// the window showing the run; a replay uses its own. Music and sound are
// output and never reach the game's state.
//
// A replay takes the backend's input away: its own messages are dropped,
// except that Escape or closing the window ends the replay early.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/backend.h"
#include "platform/gamepad.h"
#include "platform/joystick.h"
#include "platform/replay_file.h"

namespace plat::replay {

// Reads and checks a recording, kept until EndSession. On failure writes a
// one-line reason into `error` and returns false.
bool Load(const char* path, char* error, size_t errorSize);
// The loaded recording's header and number of passes.
const Header& LoadedHeader();
uint32_t RecordedPasses();

// After plat::Init: plays the loaded recording back.
void StartReplay();
// After plat::Init, before the main window: records this run into `path`,
// with the game's choices in the header (see replay_file.h; nullptr or ""
// for none). On failure writes the reason into `error` and returns false;
// the run then goes on unrecorded.
bool StartRecording(const char* path, uint32_t seed, bool calendarSeed, char* error,
                    size_t errorSize, const char* gameChoices = nullptr);
// Writes the end record and closes the file; forgets a loaded recording.
void EndSession();

bool Recording();
bool Replaying();
// True once every recorded pass has run and every recorded message has
// been delivered: the replay has nothing more to give.
bool ReplayFinished(uint32_t passesDone);
// The clock may have moved a long way (the game loaded its assets): takes a
// fresh reading (recording) or the recorded one (replay).
void Resync();

// ---------------------------------------------------------------- hooks
// Called by platform.cpp in place of, or around, the backend while
// Recording() or Replaying().

uint32_t Clock();
void BeginFramePass(detail::Backend& b, uint32_t pass);
void Pump(detail::Backend& b);
bool CreateMainWindow(detail::Backend& b, const char* title, int w, int h, bool fullScreen);
void WaitUntil(detail::Backend& b, uint32_t deadline);
void WaitMessage(detail::Backend& b);
int MessageBox(detail::Backend& b, const char* caption, const char* text, BoxIcon icon,
               BoxButtons buttons);
bool KeyDown(int vk);
// The joystick's latched reading (every field); false when not attached.
bool ReadPad(int pad, joystick::Position& out);
// The game controller's latched reading; false when not attached.
bool ReadGamepad(int pad, gamepad::State& out);
// True while the backend delivers messages into the queue.
bool Capturing();
// A message the backend delivers while Capturing(): true to queue it.
bool TakeBackendMessage(uint32_t message, intptr_t wparam, intptr_t lparam);

}  // namespace plat::replay
