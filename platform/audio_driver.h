// The contract of an audio output driver, and the mixing both drivers share.
// audio_device.cpp keeps the device's state above the driver (open or not,
// format, sources) and calls the driver chosen at platform start: `sdl`
// (an SDL audio device fed from its own thread) or `dummy` (a silent device
// whose time advances with the platform clock, written to the --audio-out
// WAVE file when one is named).
#pragma once

#include <cstdint>

#include "platform/audio.h"

namespace plat::audio {

// One block of the mix in 16-bit stereo: the effects source and the music
// source render, scaled by their levels and the player's volumes, and the
// master stage limits their sum. Called by a driver (under its lock).
void RenderMix(int16_t* stereo, int frames, int rate);
// Converts 16-bit stereo into the device's format.
void ToDevice(const int16_t* stereo, int frames, const Format& f, uint8_t* out);
// The block as a device of this format plays it, back in 16-bit stereo.
void AsHeard(int16_t* stereo, int frames, const Format& f);
inline int BytesPerFrame(const Format& f) { return f.channels * f.bits / 8; }

// A WAVE file's samples as the platform's simple wave player plays them.
struct Clip {
  const uint8_t* samples;
  uint32_t length;    // bytes
  int rate;
  int channels;
  uint16_t encoding;  // SDL's audio format code of the samples
  uint64_t ms;        // playing time
};

class Driver {
 public:
  virtual ~Driver() = default;
  virtual const char* Name() const = 0;

  // Opens the device in a valid format; false when there is none.
  virtual bool Open(const Format& format) = 0;
  virtual void Close() = 0;
  // Changes the open device's format from `previous` to `next`: 0, or -3
  // when the device refused it; `stillOpen` turns false when the device is
  // lost on the way.
  virtual int Reformat(const Format& previous, const Format& next, bool& stillOpen) = 0;
  // Held while the sources change, so that no block renders half-changed.
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
  // The rate the sources render at.
  virtual int RenderRate() const = 0;
  // Renders what is due up to the clock (a device with its own thread
  // does nothing).
  virtual void Sync() = 0;
  virtual uint64_t RenderedFrames() const = 0;
  // Plays a clip through and returns when it has finished.
  virtual bool PlayClip(const Clip& clip) = 0;
  // The window system reported that the output device `deviceId` went
  // away (a headset pulled, the sound server restarted). The dummy driver
  // takes every id as its own device.
  virtual void Removed(uint32_t deviceId) = 0;
  // Has the open device gone away? It then pulls nothing until closed and
  // opened again.
  virtual bool Lost() = 0;
  // A platform run begins: the previous run's failures are forgotten.
  virtual void BeginRun() = 0;
  // The end of the platform run: anything written is finished.
  virtual void Finish() = 0;

  // Does anyone hear the output (a speaker, or a file the run writes)?
  virtual bool Heard() const = 0;
  // Has writing the output failed (the file could not be written whole)?
  virtual bool OutputFailed() const = 0;
};

// The driver chosen when the platform started (sdl before that).
Driver& CurrentDriver();

}  // namespace plat::audio
