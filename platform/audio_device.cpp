// The audio device above its driver: open or not, its format, and the two
// sources that render into it. The driver (audio_sdl.cpp or
// audio_dummy.cpp, chosen when the platform starts) does the output.
//
// Both drivers render the same way: the effects source (the sound mixer)
// and the music source (the synthesiser) render into 32-bit sums, which
// are scaled by their levels and the player's volumes, added, and brought
// to 16-bit stereo by the master stage; the block is then converted to the
// device's format.
#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/audio.h"
#include "platform/audio_driver.h"
#include "platform/backend.h"
#include "platform/master_stage.h"
#include "platform/platform.h"

namespace plat {

namespace {

struct Source {
  audio::RenderFn fn = nullptr;
  void* user = nullptr;
};

struct Device {
  bool open = false;
  audio::Format format;
  Source effects;
  Source music;
  bool noDevice = false;  // test hook
  // The device went away: the driver is closed, the layers above still see
  // it open, and it is opened again at `retryAt` (clock) or later.
  bool lost = false;
  uint32_t retryAt = 0;
};

Device& D() {
  static Device device;
  return device;
}

// The player's volumes as 16.16 gains of each source (master included).
// Written by the main thread, read once per block by the audio thread.
std::atomic<int32_t> g_effectsGain{65536};
std::atomic<int32_t> g_musicGain{65536};

int Percent(int v) { return v < 0 ? 0 : v > 100 ? 100 : v; }

// The master stage's state lives with the audio thread's blocks; it starts
// afresh whenever the device opens, so that a run's output depends on
// nothing before it.
audio::MasterStage& Master() {
  static audio::MasterStage stage;
  return stage;
}

void SetSource(Source& source, audio::RenderFn fn, void* user) {
  audio::Driver& driver = audio::CurrentDriver();
  driver.Lock();
  source = Source{fn, fn ? user : nullptr};
  driver.Unlock();
}

}  // namespace

namespace audio {

void RenderMix(int16_t* stereo, int frames, int rate) {
  Device& d = D();
  const float effectsGain =
      static_cast<float>(g_effectsGain.load(std::memory_order_relaxed)) / 65536.0f * kEffectsLevel;
  const float musicGain = static_cast<float>(g_musicGain.load(std::memory_order_relaxed)) / 65536.0f;
  const bool heard = CurrentDriver().Heard();
  constexpr int kChunk = 512;
  int32_t effects[2 * kChunk], music[2 * kChunk];
  float left[kChunk], right[kChunk];
  for (int done = 0; done < frames;) {
    const int n = frames - done < kChunk ? frames - done : kChunk;
    const size_t bytes = sizeof(int32_t) * 2 * static_cast<size_t>(n);
    memset(effects, 0, bytes);
    memset(music, 0, bytes);
    // Both sources run even at volume 0: their play positions and the
    // music's end move on with time.
    if (d.effects.fn) d.effects.fn(d.effects.user, effects, n, rate);
    if (d.music.fn) d.music.fn(d.music.user, music, n, rate);
    if (!heard) {
      // Nobody hears the block: the sources have moved on, the master
      // stage has nothing to shape.
      memset(stereo + 2 * static_cast<size_t>(done), 0, sizeof(int16_t) * 2 * static_cast<size_t>(n));
      done += n;
      continue;
    }
    for (int i = 0; i < n; ++i) {
      left[i] = static_cast<float>(effects[2 * i]) * effectsGain +
                static_cast<float>(music[2 * i]) * musicGain;
      right[i] = static_cast<float>(effects[2 * i + 1]) * effectsGain +
                 static_cast<float>(music[2 * i + 1]) * musicGain;
    }
    Master().Process(left, right, stereo + 2 * static_cast<size_t>(done), n, rate);
    done += n;
  }
}

void SetPlayerVolumes(int master, int music, int effects) {
  // Perceived loudness follows the square of the slider, roughly.
  auto gain = [](int percent) { return int64_t(percent) * percent; };
  const int64_t m = gain(Percent(master));
  g_effectsGain.store(static_cast<int32_t>(m * gain(Percent(effects)) * 65536 / 100000000),
                      std::memory_order_relaxed);
  g_musicGain.store(static_cast<int32_t>(m * gain(Percent(music)) * 65536 / 100000000),
                    std::memory_order_relaxed);
}

void ToDevice(const int16_t* stereo, int frames, const Format& f, uint8_t* out) {
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

void AsHeard(int16_t* stereo, int frames, const Format& f) {
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

bool ValidFormat(const Format& f) {
  return (f.channels == 1 || f.channels == 2) && (f.bits == 8 || f.bits == 16) &&
         f.rate >= 8000 && f.rate <= 100000;
}

void SetMusicRenderer(RenderFn fn, void* user) { SetSource(D().music, fn, user); }

void SetEffectsRenderer(RenderFn fn, void* user) { SetSource(D().effects, fn, user); }

bool Open(const Format& format) {
  Device& d = D();
  if (d.open) return true;
  if (!ValidFormat(format) || d.noDevice) return false;
  Master().Reset();  // before the driver's thread may run
  if (!CurrentDriver().Open(format)) return false;
  d.format = format;
  d.open = true;
  return true;
}

void Close() {
  Device& d = D();
  if (!d.open) return;
  if (!d.lost) CurrentDriver().Close();
  d.open = false;
  d.lost = false;
}

void DeviceRemoved(uint32_t deviceId) { CurrentDriver().Removed(deviceId); }

void SimulateDeviceRemoval() { CurrentDriver().Removed(0); }

namespace {

// Closes a device that went away and opens the default one in its place;
// tried once a second until it succeeds.
void Recover() {
  Device& d = D();
  if (!d.open) return;
  Driver& driver = CurrentDriver();
  const uint32_t now = plat::Clock();
  if (!d.lost) {
    if (!driver.Lost()) return;
    driver.Close();
    d.lost = true;
    d.retryAt = now;
    fprintf(stderr, "samplegame: the sound device went away; the sound goes on when one opens again\n");
  }
  if (static_cast<int32_t>(now - d.retryAt) < 0) return;
  if (!d.noDevice && driver.Open(d.format)) {
    d.lost = false;
    fprintf(stderr, "samplegame: the sound goes on through the default device\n");
  } else {
    d.retryAt = now + 1000;
  }
}

}  // namespace

bool IsOpen() { return D().open; }

Format CurrentFormat() { return D().format; }

int RenderRate() { return CurrentDriver().RenderRate(); }

int SetFormat(const Format& format) {
  Device& d = D();
  if (!ValidFormat(format)) return -1;
  if (!d.open) return -2;
  if (d.lost) {
    // Taken when the device opens again.
    d.format = format;
    return 0;
  }
  bool stillOpen = true;
  const int result = CurrentDriver().Reformat(d.format, format, stillOpen);
  if (!stillOpen) d.open = false;
  if (result != 0) return result;
  d.format = format;
  return 0;
}

void Sync() {
  if (D().open && !D().lost) CurrentDriver().Sync();
}

uint64_t RenderedFrames() { return CurrentDriver().RenderedFrames(); }

bool Heard() { return CurrentDriver().Heard(); }

bool OutputFailed() { return CurrentDriver().OutputFailed(); }

bool PlayWaveFile(const char* path) {
  if (!path) return false;
  SDL_AudioSpec wav{};
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV(path, &wav, &samples, &length)) return false;
  const uint32_t frameBytes = SDL_AUDIO_BITSIZE(wav.format) / 8u * wav.channels;
  if (frameBytes == 0 || wav.freq <= 0) {
    SDL_FreeWAV(samples);
    return false;
  }
  Clip clip{};
  clip.samples = samples;
  clip.length = length;
  clip.rate = wav.freq;
  clip.channels = wav.channels;
  clip.encoding = wav.format;
  clip.ms = static_cast<uint64_t>(length / frameBytes) * 1000 / static_cast<uint32_t>(wav.freq);
  const bool ok = CurrentDriver().PlayClip(clip);
  SDL_FreeWAV(samples);
  return ok;
}

void SimulateNoDevice(bool missing) { D().noDevice = missing; }

}  // namespace audio

namespace detail {

void AdvanceAudio() {
  audio::Recover();
  audio::Sync();
}

void CloseAudio() {
  audio::Close();
  audio::CurrentDriver().Finish();
  D().noDevice = false;
}

}  // namespace detail

}  // namespace plat
