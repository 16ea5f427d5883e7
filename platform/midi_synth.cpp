// The MIDI music device on FluidSynth: a synthesiser with one soundfont, one
// file player driven by the synthesiser's own sample clock (so it follows
// the audio output in real time and the headless backend's virtual time
// alike), rendered into the mix by Render. FluidSynth's audio drivers are not
// used. The soundfont loads on a thread of its own (Preload); a run nobody
// hears loads none and only sequences.
#include "platform/midi_synth.h"

#include <fcntl.h>
#include <fluidsynth.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/platform.h"

namespace plat::midi {

namespace {

constexpr int kBlock = 512;                 // frames synthesised per FluidSynth call
constexpr int kIdleFrames = 2 * kSynthRate;  // rendering stops this long after the last voice
// Gains measured with tools/sound_report: the level of the game's pieces
// in each soundfont, brought to the same loudness.
struct FontGain {
  const char* file;  // the file's name, without its directory
  double gain;
};
constexpr FontGain kFontGains[] = {
    {"TimGM6mb.sf2", 0.85}, {"MuseScore_General_Lite.sf3", 0.9}, {"FluidR3_GM.sf2", 0.74}};
constexpr double kOtherGain = 0.85;

struct State {
  // Main thread only.
  bool tried = false;
  uint32_t endsTaken = 0;
  std::thread loader;  // loads the soundfont in the background
  std::string font;    // the soundfont it loads
  bool answered = false;  // Available has answered since the load started

  // Set by the loader (before `loading` turns false).
  std::atomic<bool> available{false};
  std::atomic<bool> loading{false};
  // Set by the main thread to make the loader give up at its next read.
  std::atomic<bool> cancel{false};

  // Shared with Render; guarded by `lock`.
  std::mutex lock;
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_player_t* player = nullptr;
  Mode mode = Mode::NotOpen;
  bool started = false;  // the player has played since the piece was opened
  bool rewind = false;   // go back to the start at the next Play
  bool ticked = false;   // the player reported a tick since the last Play
  int tick = 0;          // the player's position as last reported
  int totalTicks = 0;    // the piece's length once the player knows it (0 before)
  int idleFrames = 0;    // frames rendered with nothing to play and no voice sounding
  float gain = 1.0f;     // the open piece's trim as a factor (1: none)
  bool unheard = false;  // no soundfont: every sample is 0, only the clock runs
  // A piece opened while the soundfont was still loading: its bytes, and
  // whether it was to play. The loader opens it when it is done.
  std::vector<uint8_t> pending;
  bool pendingOpen = false, pendingPlay = false;
  float pendingGain = 1.0f;

  // Resampling to an output rate other than kSynthRate (Render only).
  float left[kBlock], right[kBlock];
  int blockPos = 0, blockLen = 0;
  bool primed = false;
  float curL = 0, curR = 0, nextL = 0, nextR = 0;
  double frac = 0;

  std::atomic<uint32_t> ends{0};  // pieces that played to their end

  // A run that ends while the soundfont still loads stops the loader here,
  // at the process's end: it gives up at its next read of the file, so the
  // wait is short, and nothing runs on after the state is gone.
  ~State() {
    cancel.store(true, std::memory_order_release);
    if (loader.joinable()) loader.join();
  }
};

State& S() {
  static State state;
  return state;
}

// The audio output's music source (below).
void RenderThunk(void*, int32_t* mix, int frames, int rate);


// Called by the player (inside fluid_synth_write_float, lock held) whenever
// its position advances or a seek has been carried out.
int OnTick(void* data, int tick) {
  State& s = *static_cast<State*>(data);
  s.tick = tick;
  s.ticked = true;
  return FLUID_OK;
}

// Lets sounding notes die away: note-offs on every channel, sustain pedal up.
void ReleaseNotes(State& s) {
  int channels = fluid_synth_count_midi_channels(s.synth);
  for (int ch = 0; ch < channels; ++ch) {
    fluid_synth_cc(s.synth, ch, 64, 0);
    fluid_synth_all_notes_off(s.synth, ch);
  }
}

void ClosePlayer(State& s) {
  if (s.player) {
    fluid_player_stop(s.player);
    delete_fluid_player(s.player);
    s.player = nullptr;
    ReleaseNotes(s);
  }
  s.mode = Mode::NotOpen;
  s.started = s.rewind = s.ticked = false;
  s.tick = 0;
  s.totalTicks = 0;
}

// Opens a piece on the loaded synthesiser (lock held).
// `gain` is the piece's trim; it applies from the next rendered block (to
// the release tails of the piece closed here too, which are short).
bool OpenLocked(State& s, const uint8_t* data, size_t size, float gain) {
  ClosePlayer(s);
  s.gain = gain;
  fluid_player_t* player = new_fluid_player(s.synth);
  if (!player) return false;
  fluid_player_set_tick_callback(player, OnTick, &s);
  if (fluid_player_add_mem(player, data, size) != FLUID_OK) {
    delete_fluid_player(player);
    return false;
  }
  s.player = player;
  s.mode = Mode::Stopped;
  return true;
}

// Plays the open piece from its position (lock held).
void PlayLocked(State& s) {
  if (!s.player || s.mode == Mode::Playing) return;
  if (s.rewind && s.started) fluid_player_seek(s.player, 0);
  s.rewind = false;
  // Until the player reports a tick, its position is the one before the
  // seek (which it carries out inside the next synthesised block).
  s.ticked = false;
  fluid_player_play(s.player);
  s.started = true;
  s.mode = Mode::Playing;
  s.idleFrames = 0;
}

const char* SoundfontPath();

// After each synthesised block: a playing piece has ended once the player
// has passed its last event (the sequencer's end, before the release tails
// of the last notes have died away), or once the player gave up (a file it
// could not load).
void CheckEnd(State& s) {
  if (s.mode != Mode::Playing || !s.player) return;
  bool done = fluid_player_get_status(s.player) == FLUID_PLAYER_DONE;
  // The length is asked for once: the player counts it over every event.
  if (s.totalTicks <= 0) s.totalTicks = fluid_player_get_total_ticks(s.player);
  const int total = s.totalTicks;
  if (done || (s.ticked && total > 0 && s.tick >= total)) {
    s.mode = Mode::Stopped;
    s.ends.fetch_add(1, std::memory_order_release);
  }
}

void Synthesise(State& s, int frames) {
  fluid_synth_write_float(s.synth, frames, s.left, 0, 1, s.right, 0, 1);
  CheckEnd(s);
}

inline void AddSample(int16_t& mix, float sample) {
  float v = static_cast<float>(mix) + sample * 32767.0f;
  mix = v > 32767.0f ? 32767 : v < -32768.0f ? -32768 : static_cast<int16_t>(lrintf(v));
}

// Into the 32-bit sums of the mix: no saturation (the master stage
// follows); values beyond any sane range are held.
inline void AddSample(int32_t& mix, float sample) {
  float v = sample * 32767.0f;
  v = v > 1.0e7f ? 1.0e7f : v < -1.0e7f ? -1.0e7f : v;
  mix += static_cast<int32_t>(lrintf(v));
}

// One source frame of the resampler's input stream.
void Pull(State& s, float& l, float& r) {
  if (s.blockPos == s.blockLen) {
    Synthesise(s, kBlock);
    s.blockPos = 0;
    s.blockLen = kBlock;
  }
  l = s.left[s.blockPos];
  r = s.right[s.blockPos];
  ++s.blockPos;
}

template <typename T>
void RenderDirect(State& s, T* out, int frames) {
  while (frames > 0) {
    int n = frames < kBlock ? frames : kBlock;
    Synthesise(s, n);
    // Silence adds nothing to the mix.
    if (!s.unheard) {
      for (int i = 0; i < n; ++i) {
        AddSample(out[2 * i], s.left[i] * s.gain);
        AddSample(out[2 * i + 1], s.right[i] * s.gain);
      }
    }
    out += 2 * n;
    frames -= n;
  }
}

// Linear interpolation between successive synthesiser frames.
template <typename T>
void RenderResampled(State& s, T* out, int frames, int rate) {
  const double step = static_cast<double>(kSynthRate) / rate;
  if (!s.primed) {
    Pull(s, s.curL, s.curR);
    Pull(s, s.nextL, s.nextR);
    s.frac = 0;
    s.primed = true;
  }
  for (int i = 0; i < frames; ++i) {
    while (s.frac >= 1.0) {
      s.frac -= 1.0;
      s.curL = s.nextL;
      s.curR = s.nextR;
      Pull(s, s.nextL, s.nextR);
    }
    if (!s.unheard) {
      float t = static_cast<float>(s.frac);
      AddSample(out[2 * i], (s.curL + (s.nextL - s.curL) * t) * s.gain);
      AddSample(out[2 * i + 1], (s.curR + (s.nextR - s.curR) * t) * s.gain);
    }
    s.frac += step;
  }
}

const char* SoundfontPath() {
  const char* env = getenv("SAMPLEGAME_SOUNDFONT");
  return env && *env ? env : DefaultSoundfont();
}

}  // namespace

const char* DefaultSoundfont() {
  for (const char* path : kSoundfonts) {
    if (FILE* f = fopen(path, "rb")) {
      fclose(f);
      return path;
    }
  }
  return kFallbackSoundfont;
}

double GainFor(const char* soundfont) {
  const char* slash = soundfont ? strrchr(soundfont, '/') : nullptr;
  const char* name = slash ? slash + 1 : soundfont ? soundfont : "";
  for (const FontGain& f : kFontGains)
    if (strcmp(f.file, name) == 0) return f.gain;
  return kOtherGain;
}

namespace {

// The soundfont's file, read by the loader itself (FluidSynth reads through
// these callbacks) so that a cancel is seen between reads, and a file that
// is slow to come (a pipe, a stalled mount) is waited for in short polls
// rather than in one read that nothing can interrupt. Reads are buffered:
// the soundfont's parser asks for a few bytes at a time.
constexpr int kPollMs = 20;
constexpr size_t kFileBuffer = 64 * 1024;
// Names the loader's own callbacks open: a name no other loader can open,
// so that a load given up is not tried again by FluidSynth's default loader.
constexpr char kFontPrefix[] = "samplegame-font:";

struct FontFile {
  int fd = -1;
  long long pos = 0;   // the reader's position in the file
  size_t at = 0, len = 0;  // the unread part of `buffer`
  char buffer[kFileBuffer];
};

bool Cancelled() { return S().cancel.load(std::memory_order_acquire); }

FontFile* OpenFontFile(const char* path) {
  // Non-blocking, so that opening a pipe does not wait for its writer; the
  // reads wait in polls.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  FontFile* f = new FontFile;
  f->fd = fd;
  return f;
}

void CloseFontFile(FontFile* f) {
  if (!f) return;
  close(f->fd);
  delete f;
}

// Fills the buffer; false at the end of the file, on an error, or once the
// load is cancelled.
bool Refill(FontFile& f) {
  while (!Cancelled()) {
    pollfd p{f.fd, POLLIN, 0};
    const int ready = poll(&p, 1, kPollMs);
    if (ready < 0 && errno != EINTR) return false;
    if (ready <= 0) continue;
    const ssize_t n = read(f.fd, f.buffer, sizeof f.buffer);
    if (n > 0) {
      f.at = 0;
      f.len = size_t(n);
      return true;
    }
    if (n == 0 || (errno != EAGAIN && errno != EINTR)) return false;
  }
  return false;
}

// Reads exactly `count` bytes.
bool ReadFontFile(FontFile& f, void* out, long long count) {
  char* to = static_cast<char*>(out);
  while (count > 0) {
    if (f.at == f.len && !Refill(f)) return false;
    const size_t n = size_t(count) < f.len - f.at ? size_t(count) : f.len - f.at;
    memcpy(to, f.buffer + f.at, n);
    f.at += n;
    f.pos += static_cast<long long>(n);
    to += n;
    count -= static_cast<long long>(n);
  }
  return true;
}

void* FontOpen(const char* name) {
  const size_t prefix = sizeof kFontPrefix - 1;
  if (!name || strncmp(name, kFontPrefix, prefix) != 0 || Cancelled()) return nullptr;
  return OpenFontFile(name + prefix);
}

int FontRead(void* buf, fluid_long_long_t count, void* handle) {
  return count >= 0 && ReadFontFile(*static_cast<FontFile*>(handle), buf, count) ? FLUID_OK
                                                                                 : FLUID_FAILED;
}

int FontSeek(void* handle, fluid_long_long_t offset, int origin) {
  FontFile& f = *static_cast<FontFile*>(handle);
  if (Cancelled()) return FLUID_FAILED;
  if (origin == SEEK_CUR) {
    offset += f.pos;
    origin = SEEK_SET;
  }
  const off_t to = lseek(f.fd, static_cast<off_t>(offset), origin);
  if (to < 0) return FLUID_FAILED;
  f.pos = to;
  f.at = f.len = 0;
  return FLUID_OK;
}

fluid_long_long_t FontTell(void* handle) { return static_cast<FontFile*>(handle)->pos; }

int FontClose(void* handle) {
  CloseFontFile(static_cast<FontFile*>(handle));
  return FLUID_OK;
}

// Loads the soundfont and creates the synthesiser (on the loader thread);
// installs them, and opens a piece that was opened meanwhile.
void Load(State& s, const std::string& font, bool unheard) {
  fluid_synth_t* synth = nullptr;
  fluid_settings_t* settings = nullptr;
  bool ok = false;
  // Only SoundFont files ("RIFF" .. "sfbk") go to the synthesiser: it
  // would try other formats' loaders on anything else.
  FontFile* probe = OpenFontFile(font.c_str());
  if (!probe) {
    fprintf(stderr, "samplegame: no music: cannot open the soundfont %s\n", font.c_str());
  } else {
    char head[12];
    const bool riff = ReadFontFile(*probe, head, sizeof head) && memcmp(head, "RIFF", 4) == 0 &&
                      memcmp(head + 8, "sfbk", 4) == 0;
    CloseFontFile(probe);
    if (Cancelled()) {
      // The run is ending: no message.
    } else if (!riff) {
      fprintf(stderr, "samplegame: no music: %s is not a SoundFont file\n", font.c_str());
    } else {
      settings = new_fluid_settings();
    }
  }
  if (settings) {
    fluid_settings_setnum(settings, "synth.sample-rate", kSynthRate);
    fluid_settings_setnum(settings, "synth.gain", GainFor(font.c_str()));
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_settings_setint(settings, "player.reset-synth", 1);
    // When nobody hears the output (a headless run that writes no sound)
    // the music still plays in virtual time: the sequencer runs on the
    // synthesiser's sample clock as always, so the end of a piece comes
    // when it would, but no soundfont is loaded (its file was checked
    // above), so no note makes a voice and no sample is synthesised;
    // neither reverb nor chorus runs.
    if (unheard) {
      fluid_settings_setint(settings, "synth.reverb.active", 0);
      fluid_settings_setint(settings, "synth.chorus.active", 0);
      fluid_settings_setint(settings, "synth.polyphony", 4);
    }
    synth = new_fluid_synth(settings);
    fluid_sfloader_t* loader = synth && !unheard ? new_fluid_defsfloader(settings) : nullptr;
    if (loader) {
      fluid_sfloader_set_callbacks(loader, FontOpen, FontRead, FontSeek, FontTell, FontClose);
      fluid_synth_add_sfloader(synth, loader);  // the synthesiser owns it
    }
    if (!synth || (!unheard && !loader)) {
      fprintf(stderr, "samplegame: no music: cannot create the synthesiser\n");
    } else if (!unheard && fluid_synth_sfload(synth, (kFontPrefix + font).c_str(), 1) == FLUID_FAILED) {
      if (!Cancelled())
        fprintf(stderr, "samplegame: no music: %s is not a usable soundfont\n", font.c_str());
    } else {
      ok = !Cancelled();
    }
    if (!ok) {
      if (synth) delete_fluid_synth(synth);
      delete_fluid_settings(settings);
      synth = nullptr;
      settings = nullptr;
    }
  }
  std::lock_guard<std::mutex> guard(s.lock);
  if (ok) {
    s.settings = settings;
    s.synth = synth;
    s.unheard = unheard;
    s.idleFrames = kIdleFrames;
    s.primed = false;
    s.blockPos = s.blockLen = 0;
  }
  s.available.store(ok, std::memory_order_release);
  if (s.pendingOpen) {
    const bool play = s.pendingPlay;
    if (ok && OpenLocked(s, s.pending.data(), s.pending.size(), s.pendingGain)) {
      if (play) PlayLocked(s);
    } else {
      s.mode = Mode::NotOpen;
    }
  }
  s.pendingOpen = s.pendingPlay = false;
  s.loading.store(false, std::memory_order_release);
}

// Does a run wait for the soundfont where it is first needed? Under the
// headless backend's virtual clock the output must not depend on how long
// the load took, so it waits; a real-time run goes on and the music starts
// once the soundfont is ready.
bool WaitsForLoad() { return IsHeadless(); }

}  // namespace

void Preload() { Preload(audio::Heard()); }

void Preload(bool heard) {
  State& s = S();
  if (s.tried) return;
  s.tried = true;
  // FluidSynth reports through its own log; missing music is not an error
  // the player should see, so only its fatal messages stay on.
  fluid_set_log_function(FLUID_ERR, nullptr, nullptr);
  fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
  fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
  fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
  // Decided here, on the main thread, as the run starts.
  const std::string font = SoundfontPath();
  const bool unheard = !heard;
  s.font = font;
  s.answered = false;
  s.cancel.store(false, std::memory_order_release);
  s.loading.store(true, std::memory_order_release);
  s.loader = std::thread([&s, font, unheard] { Load(s, font, unheard); });
}

bool Loading() { return S().loading.load(std::memory_order_acquire); }

bool Available() {
  State& s = S();
  // A soundfont named after the load began (before anything asked) is the
  // one the music uses: the early load starts again with it.
  if (s.tried && !s.answered && s.font != SoundfontPath()) Shutdown();
  Preload();
  s.answered = true;
  if (s.loading.load(std::memory_order_acquire)) {
    // Not ready yet: a real-time run takes the music as coming.
    if (!WaitsForLoad()) return true;
    s.loader.join();
  }
  if (s.loader.joinable() && !s.loading.load(std::memory_order_acquire)) s.loader.join();
  return s.available.load(std::memory_order_acquire);
}

const char* Soundfont() { return S().font.c_str(); }

bool Open(const uint8_t* data, size_t size, double trimDb) {
  if (!Available() || !data || size == 0) {
    Close();
    return false;
  }
  State& s = S();
  // A trim of 0 is a factor of exactly 1: the output is left bit for bit.
  const float gain = trimDb == 0.0 ? 1.0f : static_cast<float>(std::pow(10.0, trimDb / 20.0));
  // Registered at every open: the audio output may have been restarted since.
  audio::SetMusicRenderer(RenderThunk, nullptr);
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.loading.load(std::memory_order_acquire)) {
    // The loader opens it when the soundfont is ready.
    ClosePlayer(s);
    s.pending.assign(data, data + size);
    s.pendingOpen = true;
    s.pendingPlay = false;
    s.pendingGain = gain;
    s.mode = Mode::Stopped;
    return true;
  }
  return OpenLocked(s, data, size, gain);
}

void Rewind() {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.pendingOpen) {
    s.pendingPlay = false;
    s.mode = Mode::Stopped;
    return;
  }
  if (!s.player) return;
  if (s.mode == Mode::Playing) {
    fluid_player_stop(s.player);
    ReleaseNotes(s);
    s.mode = Mode::Stopped;
  }
  s.rewind = true;
}

void Play() {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.pendingOpen) {
    s.pendingPlay = true;
    s.mode = Mode::Playing;
    return;
  }
  PlayLocked(s);
}

void Stop() {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.pendingOpen) {
    s.pendingPlay = false;
    if (s.mode == Mode::Playing) s.mode = Mode::Stopped;
    return;
  }
  if (!s.player || s.mode != Mode::Playing) return;
  fluid_player_stop(s.player);
  ReleaseNotes(s);
  s.mode = Mode::Stopped;
}

void Close() {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.pendingOpen) {
    s.pendingOpen = s.pendingPlay = false;
    s.mode = Mode::NotOpen;
  }
  if (s.synth) ClosePlayer(s);
}

Mode CurrentMode() {
  State& s = S();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.mode;
}

bool TakeEnd() {
  State& s = S();
  uint32_t ends = s.ends.load(std::memory_order_acquire);
  if (ends == s.endsTaken) return false;
  s.endsTaken = ends;
  return true;
}

namespace {

template <typename T>
void RenderInto(T* stereo, int frames, int rate) {
  if (!stereo || frames <= 0 || rate <= 0) return;
  State& s = S();
  std::lock_guard<std::mutex> guard(s.lock);
  if (!s.synth) return;
  // With nothing playing, the synthesiser runs on until its last voice and
  // the reverb have died away, then rests.
  if (s.mode != Mode::Playing && fluid_synth_get_active_voice_count(s.synth) == 0) {
    if (s.idleFrames >= kIdleFrames) return;
    s.idleFrames += frames;
  } else {
    s.idleFrames = 0;
  }
  if (rate == kSynthRate) {
    s.primed = false;
    s.blockPos = s.blockLen = 0;
    RenderDirect(s, stereo, frames);
  } else {
    RenderResampled(s, stereo, frames, rate);
  }
}

void RenderThunk(void*, int32_t* mix, int frames, int rate) { RenderInto(mix, frames, rate); }

}  // namespace

void Render(int16_t* stereo, int frames, int rate) { RenderInto(stereo, frames, rate); }

void Shutdown() {
  State& s = S();
  s.cancel.store(true, std::memory_order_release);
  if (s.loader.joinable()) s.loader.join();
  audio::SetMusicRenderer(nullptr, nullptr);
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.synth) ClosePlayer(s);
  if (s.synth) delete_fluid_synth(s.synth);
  if (s.settings) delete_fluid_settings(s.settings);
  s.synth = nullptr;
  s.settings = nullptr;
  s.mode = Mode::NotOpen;
  s.primed = false;
  s.blockPos = s.blockLen = 0;
  s.pending.clear();
  s.pendingOpen = s.pendingPlay = false;
  s.pendingGain = s.gain = 1.0f;
  s.unheard = false;
  s.tried = false;
  s.answered = false;
  s.font.clear();
  s.available.store(false);
  s.ends.store(0);
  s.endsTaken = 0;
}

}  // namespace plat::midi
