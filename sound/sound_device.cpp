// The sound device: start, release and restore, the output format, and the
// platform's own wave player.
#include <cstring>

#include "core/app_state.h"
#include "core/error_report.h"
#include "core/paths.h"
#include "platform/audio.h"
#include "platform/platform.h"
#include "sound/ox_sound.h"
#include "sound/sound_state.h"

using namespace oxs;

namespace {

plat::audio::Format DeviceFormat(const PcmFormat& f) {
  plat::audio::Format d;
  d.channels = f.channels;
  d.rate = static_cast<int>(f.rate);
  d.bits = f.bits;
  return d;
}

}  // namespace

namespace oxs {

void RebuildObjects() {
  SoundState& s = Sound();
  s.restoring = 1;
  for (int h = 0; h < kSoundObjects; ++h) {
    SoundObject& o = s.objects[h];
    if (!o.inUse) continue;
    ReleaseBuffers(o);
    // An object whose name was too long to keep cannot be found again (and
    // its handle was never handed out).
    if (o.name[0] == '\0') continue;
    s.restoreHandle = h;
    if (o.stream.dataSize != 0) {
      char path[kPathSize];
      memcpy(path, o.stream.packPath, sizeof path);
      LoadStreamFrom(o.name, o.stream.loopPoint - o.stream.start, path);
    } else {
      // The sign of the mix count keeps the echo as it was (a negative
      // count, or one below 2, disables it).
      const int count = o.echoState == -1 ? -o.mixCount : o.mixCount;
      if (o.pack) {
        char path[kPathSize];
        memcpy(path, o.stream.packPath, sizeof path);
        LoadPackFrom(o.name, count, path);
      } else {
        oxSound::LoadObject(o.name, count);
      }
    }
  }
  s.restoring = 0;
}

}  // namespace oxs

int oxSound::Init() {
  SoundState& s = Sound();
  if (s.available) Release();
  if (s.primary.tag == 0) s.primary = DefaultPrimary();
  if (!plat::audio::Open(DeviceFormat(s.primary))) {
    s.available = 0;
    return 0;
  }
  // Whether anyone hears it is fixed for the run: sounds nobody hears
  // only move on.
  TheMixer().SetUnheard(!plat::audio::Heard());
  plat::audio::SetEffectsRenderer(&Mixer::Render, &TheMixer());
  for (SoundObject& o : s.objects) ReleaseBuffers(o);
  s.restoring = 0;
  s.available = 1;
  return 1;
}

void oxSound::Release() {
  SoundState& s = Sound();
  if (!s.available) return;
  plat::audio::Sync();
  for (SoundObject& o : s.objects) ReleaseBuffers(o);
  plat::audio::SetEffectsRenderer(nullptr, nullptr);
  plat::audio::Close();
  s.available = 0;
}

void oxSound::Restore() {
  if (!Init()) return;
  RebuildObjects();
}

void oxSound::PlaySystemWave(const char* name) {
  if (!name) return;
  Release();
  // A relative name is a data file, as every file the library reads.
  char path[kPathSize];
  bool found;
  if (name[0] == '/') {
    found = strlen(name) < sizeof path;
    if (found) strcpy(path, name);
  } else {
    found = ox::DataPath(path, sizeof path, name);
  }
  // A file that cannot be played gives the system's default sound.
  if (!found || !plat::audio::PlayWaveFile(path)) plat::Beep();
  Restore();
}

int oxSound::SelectFormat(int channels, int rateCode, int bits) {
  SoundState& s = Sound();
  if (!s.available) return 0;
  plat::audio::Sync();
  for (SoundObject& o : s.objects) {
    if (o.inUse) ReleaseBuffers(o);
  }
  int rate;
  switch (rateCode) {
    case 8: rate = 8000; break;
    case 11: rate = 11025; break;
    case 22: rate = 22050; break;
    case 44: rate = 44100; break;
    default: rate = rateCode; break;
  }
  plat::audio::Format f;
  f.channels = channels;
  f.rate = rate;
  f.bits = bits;
  const int result = plat::audio::SetFormat(f);
  if (result != 0) {
    ox::ErrorReport("oxSound::SelectFormat", "再生フォーマットを変更できません");
    // The objects come back in the format that stays.
    if (plat::audio::IsOpen()) {
      RebuildObjects();
    } else {
      s.available = 0;
    }
    return result;
  }
  PcmFormat& p = s.primary;
  p.tag = kFormatPcm;
  p.channels = static_cast<uint16_t>(channels);
  p.rate = static_cast<uint32_t>(rate);
  p.bits = static_cast<uint16_t>(bits);
  p.blockAlign = static_cast<uint16_t>(bits / 8 * channels);
  p.bytesPerSecond = p.blockAlign * p.rate;
  RebuildObjects();
  return 1;
}
