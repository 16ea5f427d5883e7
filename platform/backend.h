// The video and events driver: the part of the platform layer that differs
// between the `sdl` backend and the `headless` one (the dummy driver). platform.cpp forwards the public functions to the
// backend chosen at Init and keeps what both share (the message queue, the
// input script).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/input_script.h"
#include "platform/platform.h"

namespace plat::detail {

class Backend {
 public:
  virtual ~Backend() = default;

  virtual const char* Name() const = 0;
  // Does the clock run in real time, with a person watching (a window)?
  // False for the headless backend's virtual clock, which only the frame
  // passes advance.
  virtual bool RealTime() const = 0;

  virtual bool Start(const Options& options, char* error, size_t errorSize) = 0;
  virtual void Stop() = 0;

  virtual uint32_t Clock() = 0;
  virtual void WaitUntil(uint32_t deadline) = 0;
  virtual void BeginFramePass(uint32_t passIndex) = 0;
  virtual void EndFramePass() = 0;

  // Moves the backend's pending events into the message queue.
  virtual void Pump() = 0;
  // Blocks until an event may be waiting.
  virtual void WaitForEvent() = 0;
  virtual bool KeyDown(int vk) = 0;
  // Default handling of a message (system keys, cursor shape).
  virtual intptr_t DefaultHandling(const Message& m) = 0;

  virtual bool CreateMainWindow(const char* title, int w, int h, bool fullScreen) = 0;
  virtual void DestroyMainWindow() = 0;
  virtual void MinimizeMainWindow() = 0;
  virtual void RaiseMainWindow() = 0;
  virtual void DesktopSize(int& w, int& h) = 0;
  virtual void ClientSize(int& w, int& h) = 0;
  virtual bool PresentFrame(const uint16_t* pixels, int w, int h, int pitch, bool vsync) = 0;
  virtual bool ApplyDisplayMode(const DisplayMode& mode) = 0;
  virtual void WindowedSize(int& w, int& h) = 0;
  // Shows `text` over the picture until the clock reaches `until`.
  virtual void ShowNotice(const char* text, uint32_t until) = 0;

  virtual void ApplyCursor(bool visible) = 0;
  virtual void CursorPos(int& x, int& y) = 0;
  virtual void SetCursorPos(int x, int y) = 0;
  // A point of the 640 x 480 picture in desktop coordinates.
  virtual void PictureToDesktop(int& x, int& y) = 0;
  virtual void ConfineCursor(int l, int t, int r, int b) = 0;
  virtual void ReleaseCursor() = 0;

  virtual int MessageBox(const char* caption, const char* text, BoxIcon icon,
                         BoxButtons buttons) = 0;
  virtual void Beep() = 0;
};

Backend& HeadlessBackend();
Backend& SdlBackend();

// Shared state both backends use.
InputScript& Script();
// Appends a message to the queue (drops it when the queue is full).
void Enqueue(uint32_t message, intptr_t wparam, intptr_t lparam);
// Delivers the script's key events due before frame pass `pass` (from 1)
// into the queue and its key-state table; a backend calls it from Pump.
void DeliverScriptEvents(uint32_t pass);
// Key state held by the script (for KeyDown of either backend).
bool ScriptKeyDown(int vk);
// The backend chosen at Init (nullptr before).
Backend* CurrentBackend();
// Is the key down now, by the script or the backend (not the recording)?
bool LiveKeyDown(int vk);
// Checks the raise-request socket of the single-instance lock; true when a
// second copy asked to raise the window.
bool PollRaiseRequest();
// Called at the start of every frame pass: the headless audio device mixes
// the samples due up to the virtual clock.
void AdvanceAudio();
// Called by Shutdown before the backend stops: closes the audio device and
// finishes the headless backend's WAVE file.
void CloseAudio();
// Quit signals (SIGINT, SIGTERM, SIGHUP): installed by Init, restored by
// Shutdown. TakeQuitSignal is true once for signals that came since the
// last call; a backend's pump then delivers the close message.
void InstallQuitSignals();
void RestoreQuitSignals();
bool TakeQuitSignal();
// Bracket a message box that blocks the main thread: a quit signal while it
// is open ends the run at once (the quit hook, the recording, the lock,
// then the process exits with the hook's result).
void BeginBlockingBox();
void EndBlockingBox();
// In a forked child: closes the inherited lock and socket descriptors
// without removing the socket the parent still listens on.
void ForgetInstanceLock();

}  // namespace plat::detail
