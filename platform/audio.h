// The audio output: one device into which the software mixer of the sound
// library and the music synthesiser write. Its driver is chosen when the
// platform starts: the sdl backend opens an SDL audio device; the headless
// backend has a silent dummy device whose time advances with the virtual
// clock (and can be written to a WAVE file).
#pragma once

#include <cstdint>

namespace plat::audio {

// A source that adds its samples into the mix: `mix` holds `frames`
// interleaved stereo frames at `rate` Hz as 32-bit sums on the 16-bit scale
// (full scale 32767), cleared before the source runs; the source adds its
// own without saturating (the master stage after the sources brings the
// sum into range, see platform/master_stage.h). Runs on the audio thread
// in the sdl backend.
using RenderFn = void (*)(void* user, int32_t* mix, int frames, int rate);

// The music synthesiser's source, mixed after the sound effects. Passing
// nullptr removes it; the call returns only when the audio thread no longer
// runs the previous source.
void SetMusicRenderer(RenderFn fn, void* user);

// The sound effects' source (the software mixer), mixed first. Same
// contract as SetMusicRenderer.
void SetEffectsRenderer(RenderFn fn, void* user);

// The player's volumes, 0 to 100 each (clamped): `master` scales the whole
// output, `music` and `effects` the two sources before they are summed and
// enter the master stage (100, 100, 100 at the start: the sources at their
// planned levels). Takes effect from the next block rendered; any thread.
void SetPlayerVolumes(int master, int music, int effects);

// The device's output format (the primary buffer's format).
struct Format {
  int channels = 2;   // 1 or 2
  int rate = 44100;   // 8000 to 100000 Hz
  int bits = 16;      // 8 or 16
};
bool ValidFormat(const Format& format);

// Opens the device in `format` (nothing happens when it is open already).
// False when there is no audio device: the sdl backend could not open one,
// or a test asked the headless backend to have none.
bool Open(const Format& format);
// Closes the device. The headless backend finishes its WAVE file's header.
void Close();
bool IsOpen();
// The format the device was opened with or last set to.
Format CurrentFormat();
// The rate the sources are asked to render at (the headless backend keeps
// the rate of its WAVE file once one is written).
int RenderRate();
// Changes the open device's format. Returns 0, or a negative code: -1 the
// format is not valid, -2 no device is open, -3 the device refused it (it
// then keeps the previous format).
int SetFormat(const Format& format);

// Headless: mixes the samples due up to the virtual clock (sdl: nothing;
// its device pulls samples on its own thread). Call before reading play
// positions or changing what plays, so that they apply at the current
// time. A clock step of more than a minute, or backwards, is taken as a
// discontinuity and mixes nothing.
void Sync();
// Number of stereo frames the headless device has rendered since it opened.
uint64_t RenderedFrames();

// Does anyone hear the output: a sound device, or the --audio-out file of
// the dummy device? Work nobody hears may be done more cheaply.
bool Heard();
// Did writing the output fail in this platform run (the --audio-out file
// could not be opened, written, finished or closed, or grew past the size a
// WAVE file can hold)? The failure is reported on standard error when it
// happens; the run goes on, and ends with a failure code. Still answers
// after Shutdown, until the next Init.
bool OutputFailed();

// The platform's simple wave player: plays a WAVE file on its own and
// returns when it has finished (headless: advances the virtual clock by
// the sound's length). False when the file cannot be read or played.
bool PlayWaveFile(const char* path);

// The window system reported that the output device `deviceId` went away.
// The next frame pass closes it and opens the default device in the same
// format, and again every second until one opens; the sources (every
// playing sound, the music) carry on from where they were. Meanwhile the
// device counts as open.
void DeviceRemoved(uint32_t deviceId);
// Test hook: the open device goes away, as DeviceRemoved says.
void SimulateDeviceRemoval();

// Headless test hook: while set, Open fails as if there were no device.
void SimulateNoDevice(bool missing);
// Test hook: the --audio-out file holds at most `bytes` of sound instead of
// the 4 GiB a WAVE file can describe (0 restores that).
void SetOutputLimit(uint64_t bytes);

}  // namespace plat::audio
