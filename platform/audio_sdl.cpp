// The sdl audio driver: an SDL audio device that pulls the mix on its own
// thread.
#include <SDL.h>

#include <cstdio>

#include "platform/audio_driver.h"
#include "platform/drivers.h"
#include "platform/quiet_stderr.h"
#include "platform/start_trace.h"

namespace plat::audio {

namespace {

constexpr int kBlockFrames = 1024;
constexpr int kBufferFrames = 512;  // about 12 ms at 44100 Hz

class SdlDriver final : public Driver {
 public:
  const char* Name() const override { return "sdl"; }

  bool Open(const Format& f) override {
    const bool opened = OpenDevice(f);
    start_trace::Mark(opened ? "audio device open" : "audio device looked for, none");
    return opened;
  }

  void Close() override {
    CloseDevice();
    ReleaseSubsystem();
  }

  int Reformat(const Format& previous, const Format& next, bool& stillOpen) override {
    // The subsystem stays: only the device changes.
    CloseDevice();
    if (OpenDevice(next)) return 0;
    stillOpen = OpenDevice(previous);
    return -3;
  }

  void Lock() override {
    if (device_) SDL_LockAudioDevice(device_);
  }
  void Unlock() override {
    if (device_) SDL_UnlockAudioDevice(device_);
  }

  int RenderRate() const override { return device_ ? format_.rate : 44100; }
  void Sync() override {}
  uint64_t RenderedFrames() const override { return 0; }

  bool PlayClip(const Clip& clip) override {
    bool ok = false;
    QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{};
    want.freq = clip.rate;
    want.format = clip.encoding;
    want.channels = static_cast<Uint8>(clip.channels);
    want.samples = kBufferFrames;
    SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (dev != 0) {
      ok = SDL_QueueAudio(dev, clip.samples, clip.length) == 0;
      SDL_PauseAudioDevice(dev, 0);
      // Wait for the queue to drain and the device's last block to play;
      // a device that stops pulling cannot hold the caller for ever.
      const uint64_t deadline = SDL_GetTicks64() + clip.ms + 2000;
      while (ok && SDL_GetQueuedAudioSize(dev) > 0 && SDL_GetTicks64() < deadline) SDL_Delay(5);
      SDL_Delay(static_cast<Uint32>(kBufferFrames * 1000 / clip.rate + 20));
      SDL_CloseAudioDevice(dev);
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return ok;
  }

  void Removed(uint32_t deviceId) override {
    if (device_ != 0 && deviceId == device_) removed_ = true;
  }
  // A device SDL found disconnected reads as stopped.
  bool Lost() override {
    return device_ != 0 && (removed_ || SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED);
  }

  void BeginRun() override {}
  void Finish() override {}
  bool Heard() const override { return true; }
  bool OutputFailed() const override { return false; }

 private:
  // Opens the device, taking the audio subsystem first if the driver does
  // not hold it yet. A failed open keeps the subsystem: quitting it waits
  // for SDL's device watch thread (ALSA's sleeps in steps of 100 ms), which
  // would hold up the start of a machine without sound, or each retry for
  // a lost device, by as much. Close (or SDL_Quit) gives it back.
  bool OpenDevice(const Format& f) {
    QuietStderr quiet;
    // The backend's SDL_Quit may have quit it since.
    if (!subsystem_ || SDL_WasInit(SDL_INIT_AUDIO) == 0) {
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return NoDevice(quiet);
      subsystem_ = true;
    }
    SDL_AudioSpec want{};
    want.freq = f.rate;
    want.format = f.bits == 8 ? AUDIO_U8 : AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(f.channels);
    want.samples = kBufferFrames;
    want.callback = Callback;
    want.userdata = this;
    format_ = f;
    removed_ = false;
    // No allowed changes: SDL converts to whatever the hardware takes.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (device_ == 0) return NoDevice(quiet);
    SDL_PauseAudioDevice(device_, 0);
    return true;
  }

  void CloseDevice() {
    if (device_ == 0) return;
    SDL_CloseAudioDevice(device_);  // waits for the callback to return
    device_ = 0;
  }

  void ReleaseSubsystem() {
    if (!subsystem_) return;
    subsystem_ = false;
    // SDL_Quit of the backend's end has quit it already.
    if (SDL_WasInit(SDL_INIT_AUDIO) != 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  // Says once, in one line, that the game runs without sound (the sound
  // library's own lines are held back while the device is looked for).
  static bool NoDevice(const QuietStderr& quiet) {
    static bool said = false;
    if (!said) {
      said = true;
      char line[320];
      snprintf(line, sizeof line,
               "samplegame: no sound device could be opened (%s); the game runs silently\n",
               SDL_GetError());
      quiet.Say(line);
    }
    return false;
  }

  static void Callback(void* user, Uint8* stream, int len) {
    const Format& f = static_cast<SdlDriver*>(user)->format_;
    const int frameBytes = BytesPerFrame(f);
    int frames = len / frameBytes;
    int16_t block[kBlockFrames * 2];
    while (frames > 0) {
      int n = frames < kBlockFrames ? frames : kBlockFrames;
      RenderMix(block, n, f.rate);
      ToDevice(block, n, f, stream);
      stream += n * frameBytes;
      frames -= n;
    }
  }

  SDL_AudioDeviceID device_ = 0;
  bool subsystem_ = false;  // the driver holds one reference of SDL's audio subsystem
  bool removed_ = false;
  Format format_;
};

}  // namespace

Driver& SdlDriverInstance() {
  static SdlDriver driver;
  return driver;
}

}  // namespace plat::audio
