// The audio device: the sdl backend's SDL audio device, fed from its audio
// thread, or the headless backend's silent device, fed from the main thread
// as the virtual clock advances (optionally into a 16-bit stereo WAVE file,
// --audio-out).
//
// Both render the same way: a block of 16-bit stereo frames is cleared, the
// effects source adds the sound mixer's output, the music source adds the
// synthesiser's; the block is then converted to the device's format.
#include <SDL.h>

#include <bit>
#include <cstdio>
#include <cstring>

#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/platform.h"

static_assert(std::endian::native == std::endian::little,
              "WAVE data and the mixer's samples are little-endian");

namespace plat {

namespace {

constexpr int kBlockFrames = 1024;
constexpr int kSdlBufferFrames = 512;  // about 12 ms at 44100 Hz
constexpr uint32_t kMaxClockStepMs = 60000;
constexpr uint64_t kMaxWaveData = 0xFFFFFFFFull - 36;

struct Source {
  audio::RenderFn fn = nullptr;
  void* user = nullptr;
};

// The --audio-out file: 16-bit stereo at the rate of the device when it
// was first opened. It lives for the platform run; the header is rewritten
// after every write, so the file is valid at any moment.
struct WaveOut {
  FILE* file = nullptr;
  int rate = 0;
  uint64_t dataBytes = 0;
  bool failed = false;      // could not be opened or written: stop trying
  uint32_t closedAt = 0;    // clock when the device closed (the gap is silence)
  bool deviceClosed = false;
};

struct Device {
  bool open = false;
  audio::Format format;
  Source effects;
  Source music;
  bool noDevice = false;  // headless test hook
  // sdl
  SDL_AudioDeviceID sdl = 0;
  audio::Format sdlFormat;
  // headless
  uint32_t lastClock = 0;
  uint64_t msSinceBase = 0;
  uint64_t framesAtBase = 0;
  uint64_t framesRendered = 0;
  int renderRate = 44100;
  WaveOut out;
  int16_t block[kBlockFrames * 2];
};

Device& D() {
  static Device device;
  return device;
}

int BytesPerFrame(const audio::Format& f) { return f.channels * f.bits / 8; }

// One block of the mix in 16-bit stereo.
void RenderBlock(Device& d, int16_t* stereo, int frames, int rate) {
  memset(stereo, 0, sizeof(int16_t) * 2 * static_cast<size_t>(frames));
  if (d.effects.fn) d.effects.fn(d.effects.user, stereo, frames, rate);
  if (d.music.fn) d.music.fn(d.music.user, stereo, frames, rate);
}

// Converts 16-bit stereo into the device's format.
void ToDevice(const int16_t* stereo, int frames, const audio::Format& f, uint8_t* out) {
  for (int i = 0; i < frames; ++i) {
    int l = stereo[2 * i], r = stereo[2 * i + 1];
    if (f.channels == 1) l = r = (l + r) / 2;
    if (f.bits == 16) {
      int16_t s[2] = {static_cast<int16_t>(l), static_cast<int16_t>(r)};
      memcpy(out, s, sizeof(int16_t) * static_cast<size_t>(f.channels));
      out += 2 * f.channels;
    } else {
      out[0] = static_cast<uint8_t>((l >> 8) + 128);
      if (f.channels == 2) out[1] = static_cast<uint8_t>((r >> 8) + 128);
      out += f.channels;
    }
  }
}

// The block as a device of this format plays it, back in 16-bit stereo.
void AsHeard(int16_t* stereo, int frames, const audio::Format& f) {
  if (f.channels == 2 && f.bits == 16) return;
  for (int i = 0; i < frames; ++i) {
    int l = stereo[2 * i], r = stereo[2 * i + 1];
    if (f.channels == 1) l = r = (l + r) / 2;
    if (f.bits == 8) {
      l = (l >> 8) * 256;
      r = (r >> 8) * 256;
    }
    stereo[2 * i] = static_cast<int16_t>(l);
    stereo[2 * i + 1] = static_cast<int16_t>(r);
  }
}

// ---------------------------------------------------------------- sdl

void SdlCallback(void* user, Uint8* stream, int len) {
  Device& d = *static_cast<Device*>(user);
  const audio::Format& f = d.sdlFormat;
  const int frameBytes = BytesPerFrame(f);
  int frames = len / frameBytes;
  int16_t block[kBlockFrames * 2];
  while (frames > 0) {
    int n = frames < kBlockFrames ? frames : kBlockFrames;
    RenderBlock(d, block, n, f.rate);
    ToDevice(block, n, f, stream);
    stream += n * frameBytes;
    frames -= n;
  }
}

bool SdlOpen(Device& d, const audio::Format& f) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec want{};
  want.freq = f.rate;
  want.format = f.bits == 8 ? AUDIO_U8 : AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(f.channels);
  want.samples = kSdlBufferFrames;
  want.callback = SdlCallback;
  want.userdata = &d;
  d.sdlFormat = f;
  // No allowed changes: SDL converts to whatever the hardware takes.
  d.sdl = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (d.sdl == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  SDL_PauseAudioDevice(d.sdl, 0);
  return true;
}

void SdlClose(Device& d) {
  if (d.sdl == 0) return;
  SDL_CloseAudioDevice(d.sdl);  // waits for the callback to return
  d.sdl = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// ---------------------------------------------------------------- headless

void Put32(FILE* f, long at, uint32_t v) {
  uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  if (fseek(f, at, SEEK_SET) == 0) fwrite(b, 1, 4, f);
}

void FinishHeader(WaveOut& w) {
  if (!w.file) return;
  Put32(w.file, 4, static_cast<uint32_t>(36 + w.dataBytes));
  Put32(w.file, 40, static_cast<uint32_t>(w.dataBytes));
  fseek(w.file, 0, SEEK_END);
  if (fflush(w.file) != 0) w.failed = true;
}

bool StartWave(WaveOut& w, const char* path, int rate) {
  w.file = fopen(path, "wb");
  if (!w.file) {
    fprintf(stderr, "samplegame: cannot write the audio output %s\n", path);
    w.failed = true;
    return false;
  }
  w.rate = rate;
  w.dataBytes = 0;
  uint8_t h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                   16,  0,   0,   0,   1, 0, 2, 0};
  auto put = [&](int at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) h[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put(24, static_cast<uint32_t>(rate), 4);
  put(28, static_cast<uint32_t>(rate) * 4, 4);
  put(32, 4, 2);
  put(34, 16, 2);
  memcpy(h + 36, "data", 4);
  if (fwrite(h, 1, sizeof h, w.file) != sizeof h) w.failed = true;
  FinishHeader(w);
  return !w.failed;
}

void AppendWave(WaveOut& w, const int16_t* stereo, int frames) {
  if (!w.file || w.failed || frames <= 0) return;
  uint64_t bytes = static_cast<uint64_t>(frames) * 4;
  if (w.dataBytes + bytes > kMaxWaveData) return;  // a WAVE file ends at 4 GiB
  if (fwrite(stereo, 1, bytes, w.file) != bytes) {
    w.failed = true;
    return;
  }
  w.dataBytes += bytes;
}

void AppendSilence(WaveOut& w, uint64_t frames) {
  static const int16_t kZero[kBlockFrames * 2] = {};
  while (frames > 0) {
    int n = frames < kBlockFrames ? static_cast<int>(frames) : kBlockFrames;
    AppendWave(w, kZero, n);
    frames -= static_cast<uint64_t>(n);
  }
}

void EndWave(WaveOut& w) {
  if (w.file) {
    FinishHeader(w);
    fclose(w.file);
  }
  w = WaveOut{};
}

void Rebase(Device& d) {
  d.lastClock = Clock();
  d.msSinceBase = 0;
  d.framesAtBase = d.framesRendered;
}

void HeadlessRender(Device& d, uint64_t frames) {
  while (frames > 0) {
    int n = frames < kBlockFrames ? static_cast<int>(frames) : kBlockFrames;
    RenderBlock(d, d.block, n, d.renderRate);
    if (d.out.file) {
      AsHeard(d.block, n, d.format);
      AppendWave(d.out, d.block, n);
    }
    d.framesRendered += static_cast<uint64_t>(n);
    frames -= static_cast<uint64_t>(n);
  }
}

void HeadlessSync(Device& d) {
  uint32_t now = Clock();
  int32_t step = static_cast<int32_t>(now - d.lastClock);
  if (step == 0) return;
  if (step < 0 || static_cast<uint32_t>(step) > kMaxClockStepMs) {
    Rebase(d);
    return;
  }
  d.lastClock = now;
  d.msSinceBase += static_cast<uint64_t>(step);
  uint64_t due = d.framesAtBase + d.msSinceBase * static_cast<uint64_t>(d.renderRate) / 1000;
  if (due > d.framesRendered) HeadlessRender(d, due - d.framesRendered);
  if (d.out.file) FinishHeader(d.out);
}

bool HeadlessOpen(Device& d, const audio::Format& f) {
  if (d.noDevice) return false;
  const char* path = StartOptions().audioOut;
  WaveOut& w = d.out;
  if (path && !w.file && !w.failed) {
    StartWave(w, path, f.rate);
  } else if (w.file && w.deviceClosed) {
    // The device was closed for a while (released and restored): the file
    // keeps virtual time with silence.
    uint32_t gap = Clock() - w.closedAt;
    if (gap <= kMaxClockStepMs) AppendSilence(w, static_cast<uint64_t>(gap) * w.rate / 1000);
    FinishHeader(w);
  }
  w.deviceClosed = false;
  d.renderRate = w.file ? w.rate : f.rate;
  d.framesRendered = 0;
  Rebase(d);
  return true;
}

}  // namespace

namespace audio {

bool ValidFormat(const Format& f) {
  return (f.channels == 1 || f.channels == 2) && (f.bits == 8 || f.bits == 16) &&
         f.rate >= 8000 && f.rate <= 100000;
}

void SetMusicRenderer(RenderFn fn, void* user) {
  Device& d = D();
  if (d.sdl) SDL_LockAudioDevice(d.sdl);
  d.music = Source{fn, fn ? user : nullptr};
  if (d.sdl) SDL_UnlockAudioDevice(d.sdl);
}

void SetEffectsRenderer(RenderFn fn, void* user) {
  Device& d = D();
  if (d.sdl) SDL_LockAudioDevice(d.sdl);
  d.effects = Source{fn, fn ? user : nullptr};
  if (d.sdl) SDL_UnlockAudioDevice(d.sdl);
}

bool Open(const Format& format) {
  Device& d = D();
  if (d.open) return true;
  if (!ValidFormat(format)) return false;
  bool ok = IsHeadless() ? HeadlessOpen(d, format) : SdlOpen(d, format);
  if (!ok) return false;
  d.format = format;
  d.open = true;
  return true;
}

void Close() {
  Device& d = D();
  if (!d.open) return;
  if (d.sdl) {
    SdlClose(d);
  } else {
    HeadlessSync(d);
    if (d.out.file) {
      FinishHeader(d.out);
      d.out.deviceClosed = true;
      d.out.closedAt = Clock();
    }
  }
  d.open = false;
}

bool IsOpen() { return D().open; }

Format CurrentFormat() { return D().format; }

int RenderRate() {
  const Device& d = D();
  return d.sdl ? d.sdlFormat.rate : d.renderRate;
}

int SetFormat(const Format& format) {
  Device& d = D();
  if (!ValidFormat(format)) return -1;
  if (!d.open) return -2;
  if (d.sdl) {
    Format previous = d.format;
    SdlClose(d);
    if (!SdlOpen(d, format)) {
      if (!SdlOpen(d, previous)) d.open = false;
      return -3;
    }
  } else {
    HeadlessSync(d);
    if (!d.out.file && format.rate != d.renderRate) {
      d.renderRate = format.rate;
      d.framesRendered = 0;
      Rebase(d);
    }
  }
  d.format = format;
  return 0;
}

void Sync() {
  Device& d = D();
  if (d.open && !d.sdl) HeadlessSync(d);
}

uint64_t RenderedFrames() { return D().framesRendered; }

bool PlayWaveFile(const char* path) {
  if (!path) return false;
  SDL_AudioSpec wavFormat{};
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV(path, &wavFormat, &samples, &length)) return false;
  const uint32_t frameBytes = SDL_AUDIO_BITSIZE(wavFormat.format) / 8u * wavFormat.channels;
  if (frameBytes == 0 || wavFormat.freq <= 0) {
    SDL_FreeWAV(samples);
    return false;
  }
  const uint64_t ms = static_cast<uint64_t>(length / frameBytes) * 1000 / static_cast<uint32_t>(wavFormat.freq);
  bool ok = true;
  if (IsHeadless()) {
    if (ms > 0) WaitUntil(Clock() + static_cast<uint32_t>(ms) - 1);
  } else {
    ok = false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
      wavFormat.callback = nullptr;
      wavFormat.samples = kSdlBufferFrames;
      SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &wavFormat, nullptr, 0);
      if (dev != 0) {
        ok = SDL_QueueAudio(dev, samples, length) == 0;
        SDL_PauseAudioDevice(dev, 0);
        // Wait for the queue to drain and the device's last block to play;
        // a device that stops pulling cannot hold the caller for ever.
        const uint64_t deadline = SDL_GetTicks64() + ms + 2000;
        while (ok && SDL_GetQueuedAudioSize(dev) > 0 && SDL_GetTicks64() < deadline) SDL_Delay(5);
        SDL_Delay(static_cast<Uint32>(kSdlBufferFrames * 1000 / wavFormat.freq + 20));
        SDL_CloseAudioDevice(dev);
      }
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
  }
  SDL_FreeWAV(samples);
  return ok;
}

void SimulateNoDevice(bool missing) { D().noDevice = missing; }

}  // namespace audio

namespace detail {

void AdvanceAudio() { audio::Sync(); }

void CloseAudio() {
  Device& d = D();
  audio::Close();
  EndWave(d.out);
  d.noDevice = false;
}

}  // namespace detail

}  // namespace plat
