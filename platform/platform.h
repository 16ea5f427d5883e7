// The platform layer: the only code that talks to SDL and the operating system.
//
// Two backends stand behind these functions: `sdl` (a real window, the real
// clock, SDL events) and `headless` (no window, a virtual clock that advances
// 1/60 s per frame pass, scripted input, message boxes on standard error).
// Everything above this layer is identical for both.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/messages.h"

namespace plat {

// ---------------------------------------------------------------- backend

struct Options {
  bool headless = false;
  bool window = false;          // framed window instead of desktop full screen
  int scale = 2;                // window scale factor (1..8)
  uint32_t clockStart = 0;      // headless: first reading of the virtual clock
  const char* inputScript = nullptr;  // headless and sdl: scripted input file
  const char* audioOut = nullptr;     // headless: write the mixed output to this WAVE file
  const char* appName = "Sample Game";  // the program's name as the desktop shows it
};

// The options the backend was started with (the pointers stay the caller's).
const Options& StartOptions();

// Chooses and starts a backend. On failure writes a reason into `error`
// (a NUL-terminated text of at most errorSize bytes) and returns false.
bool Init(const Options& options, char* error, size_t errorSize);
// Stops the backend: closes the window, releases the lock and the socket.
void Shutdown();
bool IsHeadless();

// ---------------------------------------------------------------- clock

// Milliseconds since system start (or the virtual clock), wrapping at 2^32.
uint32_t Clock();
// Returns once the clock is past `deadline` (unsigned compare as the caller
// gives it). Headless: moves the virtual clock there at once.
void WaitUntil(uint32_t deadline);
// Frame-pass bookkeeping. Begin: headless advances the virtual clock so that
// pass n starts at clockStart + n * 1000 / 60. End: sdl sleeps so that passes
// come at most 60 times a second; both count the pass.
void BeginFramePass();
void EndFramePass();
// Number of completed frame passes.
uint32_t FramePasses();

// ---------------------------------------------------------------- messages

// Takes the next message off the queue without waiting; pumps the backend
// (SDL events, or script events due before the next frame pass).
bool PeekMessage(Message& out);
// Blocks until a message is waiting (headless: returns at once).
void WaitMessage();
// Appends a message to the queue.
void PostMessage(uint32_t message, intptr_t wparam, intptr_t lparam);
// Default handling of a message the window procedure passes on.
intptr_t DefaultHandling(const Message& m);

// Is the key with this virtual-key code down now?
bool KeyDown(int vk);

// ---------------------------------------------------------------- window

// Creates the main window titled `title`: desktop full screen, or framed.
bool CreateMainWindow(const char* title, int clientWidth, int clientHeight, bool fullScreen);
void DestroyMainWindow();
void MinimizeMainWindow();
void RaiseMainWindow();
// Size of the desktop in its own pixels.
void DesktopSize(int& width, int& height);
// Size of the window's client area in desktop pixels.
void ClientSize(int& width, int& height);
// Bits per pixel of the display the window shows: the emulated 16-bit screen.
int DisplayDepth();

// Uploads a 16-bit RGB565 picture and shows it, integer-scaled. With `vsync`
// the upload waits for the display's refresh. Returns false when the wait
// failed and nothing was shown.
bool PresentFrame(const uint16_t* pixels, int width, int height, int pitchPixels, bool vsync);

// The player's display choices, applied to the running window.
struct DisplayMode {
  bool fullScreen = true;
  int scale = 2;      // window: the picture times this (1..8) unless a size is given
  bool fill = false;  // the largest 4:3 size instead of whole-number scaling
  int width = 0;      // window size the player left it at; 0: from the scale
  int height = 0;
};
// Switches the main window between desktop full screen and a resizable
// window, sizes the window and sets how the picture fits (centred, black
// bars). Answers whether the window is now full screen; without a window
// it only keeps the mode for the next one.
bool ApplyDisplayMode(const DisplayMode& mode);
// The window's client size in the windowed mode when the player resized it
// by hand; 0 x 0 when it has the size the program gave it.
void WindowedSize(int& width, int& height);
// Shows a short line of text over the presented picture for `milliseconds`
// (headless: kept for inspection). It is drawn only on the display, never
// into the picture, so screenshots never hold it.
void ShowNotice(const char* text, uint32_t milliseconds);

// ---------------------------------------------------------------- cursor

// Show/hide counter as the platform keeps it (one step per call).
void ShowCursor(bool show);
// Cursor shape over the window: blank (nothing drawn) or the arrow.
void SetBlankCursor(bool blank);
// Cursor position in desktop coordinates.
void CursorPos(int& x, int& y);
void SetCursorPos(int x, int y);
// Desktop position of a point of the picture (client coordinates of the
// 640 x 480 screen), through the window's scale and position.
void PictureToDesktop(int& x, int& y);
void ConfineCursor(int left, int top, int right, int bottom);
void ReleaseCursor();
bool CursorVisible();  // the resulting visibility (counter and shape)

// ---------------------------------------------------------------- boxes

enum class BoxIcon { Exclamation, Question };
enum class BoxButtons { Ok, YesNo };
// Modal message box. Returns 1 for OK or Yes, 0 for No.
int MessageBox(const char* caption, const char* text, BoxIcon icon, BoxButtons buttons);
void Beep();

// ---------------------------------------------------------------- quit signals

// SIGINT, SIGTERM and SIGHUP close the main window, as the player does. When
// one comes while a message box holds the main thread, `hook` runs on
// another thread to write what the run leaves behind, and its result is the
// exit code of the process, which then ends after the recording and the
// single-instance lock are finished. The main thread is held meanwhile.
void SetQuitHook(int (*hook)());

// ---------------------------------------------------------------- instance

enum class LockResult { Acquired, AlreadyRunning, Failed };
// Takes the single-instance lock named `name` (a file in the runtime
// directory). When another process holds it, asks that process to raise its
// window and returns AlreadyRunning.
LockResult AcquireInstanceLock(const char* name);
void ReleaseInstanceLock();
bool InstanceLockHeld();

// ---------------------------------------------------------------- paths

// Full path of the running executable; false when it cannot be read or does
// not fit into `size` bytes.
bool ExecutablePath(char* out, size_t size);
// $XDG_CONFIG_HOME, else $HOME/.config, else the account's home directory
// + "/.config", without a trailing "/"; false when there is no home at all.
bool ConfigDirectory(char* out, size_t size);
// $XDG_RUNTIME_DIR, else a folder of this user's own in $TMPDIR (else /tmp),
// "samplegame-UID", made with mode 0700 when missing; without a trailing "/".
// False when that folder is a link, not a folder, or another user's.
bool RuntimeDirectory(char* out, size_t size);

// The user's pictures folder: XDG_PICTURES_DIR of user-dirs.dirs in the
// configuration directory (as `xdg-user-dir PICTURES` answers it) when it
// names a folder other than the home folder, else ~/Pictures; without a
// trailing "/". False when there is no home folder.
bool PicturesDirectory(char* out, size_t size);

// ---------------------------------------------------------------- system

// Free bytes on the file system holding `path`, saturated at 4 GiB - 1.
uint32_t DiskFree(const char* path);
// Free physical memory in bytes, saturated at 4 GiB - 1.
uint32_t FreeMemory();

// ---------------------------------------------------------------- images

// A decoded picture, 8 bits per channel, 0x00RRGGBB per pixel.
struct Image {
  int width = 0;
  int height = 0;
  uint32_t* pixels = nullptr;  // width * height, owned; free with FreeImage
};
// Largest picture a BMP file may describe; larger headers are refused before
// any pixel memory is allocated.
constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = 4096 * 4096;
// Reads a BMP file of any bit depth SDL decodes. Refuses files that are
// truncated, corrupt or larger than the limits above. Never throws.
bool LoadBmp(const char* path, Image& out);
bool DecodeBmp(const uint8_t* data, size_t size, Image& out);
void FreeImage(Image& image);
// Writes a 16-bit RGB565 picture as an 8-bit RGB PNG into a new file
// `path`; an existing file is never replaced (errno EEXIST). On failure
// answers false with errno set and leaves no file behind.
bool WritePng(const char* path, const uint16_t* pixels, int width, int height, int pitchPixels);

// Reads a BMP file as LoadBmp does, straight into RGB565 pixels (each
// channel truncated). `allocate` is called once the picture is known to
// decode, with its size; it returns the first pixel of the top row and sets
// the row pitch in pixels, or returns nullptr to give up. Uncompressed
// 24-bit files are decoded without an intermediate copy.
using Rgb565Rows = uint16_t* (*)(void* context, int width, int height, int* pitchPixels);
bool LoadBmpRgb565(const char* path, Rgb565Rows allocate, void* context);

}  // namespace plat
