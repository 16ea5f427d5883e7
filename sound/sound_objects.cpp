// The sound table: loading WAVE files into objects, play, stop, pause,
// settings and echo.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/app_state.h"
#include "core/error_report.h"
#include "core/ox_app.h"
#include "core/paths.h"
#include "platform/audio.h"
#include "sound/ox_sound.h"
#include "sound/sound_state.h"
#include "sound/wave_file.h"

namespace oxs {

namespace {

constinit SoundState g_sound{};

constexpr char kLoadObject[] = "oxSound::LoadObject";
constexpr char kTooManyMixes[] = "ミックス数が多過ぎます";
constexpr char kTooManyObjects[] = "オブジェクト数が多過ぎます";
constexpr char kNoWave[] = "WAVEリソースが見つかりません";
constexpr char kNoBuffer[] = "サウンドバッファが生成できません";
constexpr char kNameTooLong[] = "ファイル名またはリソース名が長すぎます";

// Calls fn(index) for every mix buffer a settings or stop request selects.
template <typename Fn>
void ForSelected(SoundObject& o, int mix, Fn fn) {
  if (mix >= 0) {
    if (mix < o.mixCount) fn(mix);
  } else if (mix == -2) {
    fn(o.nextMix);
  } else {
    for (int i = 0; i < o.mixCount; ++i) fn(i);
  }
}

// The object of a request, with the headless device brought up to the
// current time first; nullptr without a device or for a bad handle.
SoundObject* Request(int handle) {
  if (!g_sound.available) return nullptr;
  SoundObject* o = ObjectOf(handle);
  if (o) plat::audio::Sync();
  return o;
}

uint32_t ClampFrequency(int64_t hz) {
  return static_cast<uint32_t>(std::clamp<int64_t>(hz, kMinFrequency, kMaxFrequency));
}
int ClampPan(int64_t pan) { return static_cast<int>(std::clamp<int64_t>(pan, kPanLeft, kPanRight)); }
int ClampVolume(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, kSilentVolume, 0)); }

void ApplyFrequency(SoundObject& o, int i, uint32_t hz) {
  o.frequency[i] = hz;
  TheMixer().SetFrequency(o.buffers[i], hz);
}
void ApplyPan(SoundObject& o, int i, int pan) {
  o.pan[i] = pan;
  TheMixer().SetPan(o.buffers[i], pan);
}
void ApplyVolume(SoundObject& o, int i, int volume) {
  o.volume[i] = volume;
  TheMixer().SetVolume(o.buffers[i], volume);
}

void PlayRequest(int handle, int mix, bool loop) {
  SoundObject* o = Request(handle);
  if (!o) return;
  int b;
  if (mix >= 0) {
    if (mix >= o->mixCount) return;
    b = mix;
  } else {
    if (mix == -2 && o->echoState != -1) {
      for (int i = 0; i < o->mixCount; ++i) {
        ApplyFrequency(*o, i, o->defaultFrequency);
        ApplyPan(*o, i, 0);
        ApplyVolume(*o, i, 0);
      }
      o->echoState = 1;
      o->echoTimer = 0;
      o->echoLoop = loop ? 1 : 0;
      o->panDrift = static_cast<float>(o->pan[o->nextMix]) / 100.0f;
      o->driftDirection = ox::Random() % 2 == 0 ? -1 : 1;
    }
    b = o->nextMix;
    o->nextMix = (o->nextMix + 1) % o->mixCount;
  }
  const int id = o->buffers[b];
  if (id == 0) return;
  Mixer& m = TheMixer();
  if (o->stream.dataSize != 0) {
    // A stream starts from the beginning of its data; its ring buffer
    // always loops, the loop flag decides whether the data repeats. A stream
    // that cannot be reset (its pack is gone) stays silent rather than
    // playing what its ring held before.
    m.Stop(id);
    if (!ResetStreamOf(handle, "oxSound::ResetStream")) return;
    m.SetPosition(id, 0);
    m.Play(id, true);
  } else {
    m.Stop(id);
    m.SetPosition(id, 0);
    m.Play(id, loop);
  }
  o->paused[b] = false;
  o->loop = loop ? 1 : 0;
}

void EchoStep(int handle, int interval, int count, int volumeStep, bool drift, float panSpeed) {
  SoundObject* o = Request(handle);
  if (!o || o->echoState <= 0 || count <= 0) return;
  const float frameSeconds = ox::App().frameSeconds;
  o->echoTimer += frameSeconds * 1000.0f;
  if (o->echoTimer < static_cast<float>(interval)) return;
  o->echoTimer = 0;
  if (drift) {
    o->panDrift += static_cast<float>(o->driftDirection) * panSpeed * frameSeconds * 100.0f;
    if (o->panDrift < -30.0f) {
      o->panDrift = -30.0f;
      o->driftDirection = -o->driftDirection;
    } else if (o->panDrift > 30.0f) {
      o->panDrift = 30.0f;
      o->driftDirection = -o->driftDirection;
    }
    oxSound::SetPan(handle, static_cast<int>(o->panDrift), -2);
  }
  ApplyVolume(*o, o->nextMix, ClampVolume(-int64_t(o->echoState) * volumeStep * 100));
  if (o->echoLoop) {
    oxSound::PlayLoop(handle, -3);
  } else {
    oxSound::Play(handle, -3);
  }
  if (++o->echoState > count) o->echoState = 0;
}

}  // namespace

SoundState& Sound() { return g_sound; }

Mixer& TheMixer() {
  static Mixer mixer;
  return mixer;
}

PcmFormat DefaultPrimary() {
  PcmFormat f;
  f.tag = kFormatPcm;
  f.channels = 2;
  f.rate = 44100;
  f.bits = 16;
  f.blockAlign = 4;
  f.bytesPerSecond = 44100 * 4;
  return f;
}

SoundObject* ObjectOf(int handle) {
  if (handle < 0 || handle >= kSoundObjects) return nullptr;
  SoundObject& o = g_sound.objects[handle];
  return o.inUse ? &o : nullptr;
}

void ClearObject(SoundObject& o) {
  ReleaseBuffers(o);
  memset(&o, 0, sizeof o);
  o.mixCount = 1;
  o.echoState = -1;
  o.driftDirection = 1;
  o.stream.wrapMark = -1;
}

void ReleaseBuffers(SoundObject& o) {
  for (int& id : o.buffers) {
    if (id != 0) TheMixer().Destroy(id);
    id = 0;
  }
}

void StopAll(SoundObject& o) {
  for (int i = 0; i < o.mixCount; ++i) {
    TheMixer().Stop(o.buffers[i]);
    TheMixer().SetPosition(o.buffers[i], 0);
    o.paused[i] = false;
  }
}

bool CreateMixBuffers(SoundObject& o, const PcmFormat& format, const uint8_t* samples,
                      uint32_t size, const char* operation) {
  Mixer& m = TheMixer();
  ReleaseBuffers(o);
  for (int i = 0; i < o.mixCount; ++i) {
    int id = m.Create(format, size);
    if (id == 0) {
      ReleaseBuffers(o);
      ox::ErrorReport(operation, kNoBuffer);
      return false;
    }
    if (samples) m.Write(id, 0, samples, size);
    o.buffers[i] = id;
    o.savedPosition[i] = 0;
    o.paused[i] = false;
    if (g_sound.restoring) {
      m.SetVolume(id, o.volume[i]);
      m.SetFrequency(id, o.frequency[i]);
      m.SetPan(id, o.pan[i]);
    } else {
      o.frequency[i] = m.Frequency(id);
      o.defaultFrequency = o.frequency[i];
      o.volume[i] = 0;
      o.pan[i] = 0;
    }
  }
  o.blockAlign = format.blockAlign;
  return true;
}

bool FillObject(SoundObject& o, int count, int mixCount, WaveData& wave, bool fromPack,
                const char* operation) {
  PcmFormat format;
  DescribeFormat(wave.format, wave.formatSize, format);
  o.mixCount = count;
  o.echoState = mixCount < 2 ? -1 : 0;
  if (!g_sound.restoring) o.nextMix = 0;
  const bool ok = CreateMixBuffers(o, format, wave.samples, wave.sampleSize, operation);
  FreeWave(wave);
  if (!ok) return false;
  o.inUse = 1;
  o.pack = fromPack ? 1 : 0;
  o.stream.dataSize = 0;
  return true;
}

int TakeHandle() {
  if (g_sound.restoring) return g_sound.restoreHandle;
  for (int h = 0; h < kSoundObjects; ++h) {
    if (!g_sound.objects[h].inUse) return h;
  }
  return -1;
}

bool MixCountOf(int mixCount, int& out) {
  int64_t m = std::llabs(static_cast<int64_t>(mixCount));
  if (m > kMixBuffers) return false;
  out = m == 0 ? 1 : static_cast<int>(m);  // an object always has a buffer to play
  return true;
}

bool StoreName(SoundObject& o, const char* name, const char* operation, const char* text) {
  if (g_sound.restoring) return true;
  size_t n = strlen(name);
  if (n >= kNameSize) {
    ox::ErrorReport(operation, text);
    return false;
  }
  memcpy(o.name, name, n + 1);
  return true;
}

}  // namespace oxs

using namespace oxs;

int oxSound::Available() { return g_sound.available; }

int oxSound::LoadObject(const char* name, int mixCount) {
  if (!g_sound.available) return -1;
  if (!name) name = "";
  int count;
  if (!MixCountOf(mixCount, count)) return ox::ErrorReport(kLoadObject, kTooManyMixes), -1;
  const int h = TakeHandle();
  if (h < 0) return ox::ErrorReport(kLoadObject, kTooManyObjects), -1;

  // Linux executables carry no WAVE resources: a name that is not a
  // readable WAVE file in the data directory is not found.
  char path[kPathSize];
  WaveData wave;
  if (!ox::DataPath(path, sizeof path, name) || !ReadWave(path, wave)) {
    return ox::ErrorReport(kLoadObject, kNoWave), -1;
  }
  SoundObject& o = g_sound.objects[h];
  if (!FillObject(o, count, mixCount, wave, false, kLoadObject)) return -1;
  if (!StoreName(o, name, kLoadObject, kNameTooLong)) return -1;
  return h;
}

void oxSound::Play(int handle, int mix) { PlayRequest(handle, mix, false); }

void oxSound::PlayLoop(int handle, int mix) { PlayRequest(handle, mix, true); }

void oxSound::Stop(int handle, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  if (mix >= 0) {
    if (mix >= o->mixCount) return;
    TheMixer().Stop(o->buffers[mix]);
    TheMixer().SetPosition(o->buffers[mix], 0);
    o->paused[mix] = false;
    return;
  }
  if (o->echoState != -1) o->echoState = 0;
  StopAll(*o);
}

void oxSound::TogglePause(int handle, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  Mixer& m = TheMixer();
  auto toggle = [&](int i) {
    const int id = o->buffers[i];
    if (id == 0) return;
    if (m.Playing(id)) {
      o->savedPosition[i] = m.Position(id);
      o->paused[i] = true;
      m.Stop(id);
    } else if (mix >= 0 || o->paused[i]) {
      // Asked for all buffers, only the paused ones resume: the others were
      // idle and stay so. A stream's ring buffer always loops.
      m.SetPosition(id, o->savedPosition[i]);
      m.Play(id, o->loop != 0 || o->stream.dataSize != 0);
      o->paused[i] = false;
    }
  };
  if (mix >= 0) {
    if (mix < o->mixCount) toggle(mix);
  } else {
    for (int i = 0; i < o->mixCount; ++i) toggle(i);
  }
}

int oxSound::GetPosition(int handle) {
  SoundObject* o = Request(handle);
  if (!o) return 0;
  return static_cast<int>(TheMixer().Position(o->buffers[0]));
}

void oxSound::SetFrequency(int handle, int step, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  const uint32_t hz = ClampFrequency(int64_t(o->defaultFrequency) + int64_t(step) * 100);
  ForSelected(*o, mix, [&](int i) { ApplyFrequency(*o, i, hz); });
}

void oxSound::AddFrequency(int handle, int step, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  ForSelected(*o, mix, [&](int i) {
    ApplyFrequency(*o, i, ClampFrequency(int64_t(o->frequency[i]) + int64_t(step) * 100));
  });
}

void oxSound::ResetFrequency(int handle, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  ForSelected(*o, mix, [&](int i) { ApplyFrequency(*o, i, o->defaultFrequency); });
}

void oxSound::SetPan(int handle, int step, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  const int pan = ClampPan(int64_t(step) * 100);
  ForSelected(*o, mix, [&](int i) { ApplyPan(*o, i, pan); });
}

void oxSound::AddPan(int handle, int step, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  ForSelected(*o, mix,
              [&](int i) { ApplyPan(*o, i, ClampPan(int64_t(o->pan[i]) + int64_t(step) * 100)); });
}

void oxSound::PanLeft(int handle, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  ForSelected(*o, mix, [&](int i) { ApplyPan(*o, i, kPanLeft); });
}

void oxSound::PanRight(int handle, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  ForSelected(*o, mix, [&](int i) { ApplyPan(*o, i, kPanRight); });
}

void oxSound::ResetPan(int handle, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  ForSelected(*o, mix, [&](int i) { ApplyPan(*o, i, 0); });
}

void oxSound::SetVolume(int handle, int step, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  const int volume = ClampVolume(int64_t(step) * 100);
  ForSelected(*o, mix, [&](int i) { ApplyVolume(*o, i, volume); });
}

void oxSound::AddVolume(int handle, int step, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  ForSelected(*o, mix, [&](int i) {
    ApplyVolume(*o, i, ClampVolume(int64_t(o->volume[i]) + int64_t(step) * 100));
  });
}

void oxSound::ResetVolume(int handle, int mix) {
  SoundObject* o = Request(handle);
  if (!o) return;
  ForSelected(*o, mix, [&](int i) { ApplyVolume(*o, i, 0); });
}

void oxSound::Echo(int handle, int interval, int count, int volumeStep) {
  EchoStep(handle, interval, count, volumeStep, false, 0.0f);
}

void oxSound::EchoDrift(int handle, int interval, int count, int volumeStep, float panSpeed) {
  EchoStep(handle, interval, count, volumeStep, true, panSpeed);
}

void oxSound::ReleaseObject(int handle) {
  SoundObject* o = ObjectOf(handle);
  if (!o) return;
  if (g_sound.available) plat::audio::Sync();
  ClearObject(*o);
}
