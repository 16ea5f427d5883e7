// The dummy audio driver: a silent device fed from the main thread as the
// platform clock advances, so that play positions move in virtual time.
// With --audio-out it writes what it renders to a 16-bit stereo WAVE file.
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/audio_driver.h"
#include "platform/drivers.h"
#include "platform/platform.h"

static_assert(std::endian::native == std::endian::little,
              "WAVE data and the mixer's samples are little-endian");

namespace plat::audio {

namespace {

constexpr int kBlockFrames = 1024;
constexpr uint32_t kMaxClockStepMs = 60000;
// The RIFF and data sizes of a WAVE file are 32-bit: the data ends where
// the RIFF size (36 + data) would pass 4 GiB - 1.
constexpr uint64_t kMaxWaveData = 0xFFFFFFFFull - 36;
constinit uint64_t g_waveLimit = kMaxWaveData;

// The --audio-out file: 16-bit stereo at the rate of the device when it
// was first opened. It lives for the platform run; the header is rewritten
// after every write, so the file is valid at any moment.
struct WaveOut {
  FILE* file = nullptr;
  const char* path = nullptr;
  int rate = 0;
  uint64_t dataBytes = 0;
  bool failed = false;      // could not be opened or written whole: stop trying
  uint32_t closedAt = 0;    // clock when the device closed (the gap is silence)
  bool deviceClosed = false;
};

// Marks the output failed and says why, once.
void Fail(WaveOut& w, const char* why) {
  if (w.failed) return;
  w.failed = true;
  fprintf(stderr, "samplegame: cannot write the audio output %s: %s\n", w.path ? w.path : "",
          why);
}

void FailWithErrno(WaveOut& w) { Fail(w, errno ? strerror(errno) : "write error"); }

bool Put32(FILE* f, long at, uint32_t v) {
  uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  return fseek(f, at, SEEK_SET) == 0 && fwrite(b, 1, 4, f) == 4;
}

void FinishHeader(WaveOut& w) {
  if (!w.file) return;
  errno = 0;
  const bool ok = Put32(w.file, 4, static_cast<uint32_t>(36 + w.dataBytes)) &&
                  Put32(w.file, 40, static_cast<uint32_t>(w.dataBytes)) &&
                  fseek(w.file, 0, SEEK_END) == 0 && fflush(w.file) == 0;
  if (!ok) FailWithErrno(w);
}

bool StartWave(WaveOut& w, const char* path, int rate) {
  w.path = path;
  errno = 0;
  w.file = fopen(path, "wb");
  if (!w.file) {
    FailWithErrno(w);
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
  errno = 0;
  if (fwrite(h, 1, sizeof h, w.file) != sizeof h) FailWithErrno(w);
  FinishHeader(w);
  return !w.failed;
}

void AppendWave(WaveOut& w, const int16_t* stereo, int frames) {
  if (!w.file || w.failed || frames <= 0) return;
  uint64_t bytes = static_cast<uint64_t>(frames) * 4;
  bool full = false;
  if (w.dataBytes + bytes > g_waveLimit) {
    // A WAVE file ends at 4 GiB: the frames that still fit, then no more.
    bytes = (g_waveLimit - w.dataBytes) / 4 * 4;
    full = true;
  }
  errno = 0;
  if (bytes > 0 && fwrite(stereo, 1, bytes, w.file) != bytes) {
    FailWithErrno(w);
    return;
  }
  w.dataBytes += bytes;
  if (full) {
    char why[160];
    snprintf(why, sizeof why,
             "it reached the largest size a WAVE file can hold (%llu bytes of sound); the rest "
             "of the run's sound is not written",
             static_cast<unsigned long long>(w.dataBytes));
    FinishHeader(w);
    Fail(w, why);
  }
}

void AppendSilence(WaveOut& w, uint64_t frames) {
  static const int16_t kZero[kBlockFrames * 2] = {};
  while (frames > 0) {
    int n = frames < kBlockFrames ? static_cast<int>(frames) : kBlockFrames;
    AppendWave(w, kZero, n);
    frames -= static_cast<uint64_t>(n);
  }
}

// Closes the file; true when it was written whole.
bool EndWave(WaveOut& w) {
  if (w.file) {
    FinishHeader(w);
    errno = 0;
    if (fclose(w.file) != 0) FailWithErrno(w);
  }
  const bool ok = !w.failed;
  w = WaveOut{};
  return ok;
}

class DummyDriver final : public Driver {
 public:
  const char* Name() const override { return "dummy"; }

  bool Open(const Format& f) override {
    const char* path = StartOptions().audioOut;
    WaveOut& w = out_;
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
    lost_ = false;
    format_ = f;
    renderRate_ = w.file ? w.rate : f.rate;
    framesRendered_ = 0;
    Rebase();
    open_ = true;
    return true;
  }

  void Close() override {
    Sync();
    if (out_.file) {
      FinishHeader(out_);
      out_.deviceClosed = true;
      // A device that went away stopped at its last mix.
      out_.closedAt = lost_ ? lastClock_ : Clock();
    }
    open_ = false;
  }

  int Reformat(const Format&, const Format& next, bool&) override {
    Sync();
    if (!out_.file && next.rate != renderRate_) {
      renderRate_ = next.rate;
      framesRendered_ = 0;
      Rebase();
    }
    format_ = next;
    return 0;
  }

  // The sources run on the main thread only.
  void Lock() override {}
  void Unlock() override {}

  int RenderRate() const override { return renderRate_; }

  // A clock step of more than a minute, or backwards, is a discontinuity:
  // nothing is mixed for it.
  void Sync() override {
    if (!open_ || lost_) return;  // a device that went away pulls nothing
    uint32_t now = Clock();
    int32_t step = static_cast<int32_t>(now - lastClock_);
    if (step == 0) return;
    if (step < 0 || static_cast<uint32_t>(step) > kMaxClockStepMs) {
      Rebase();
      return;
    }
    lastClock_ = now;
    msSinceBase_ += static_cast<uint64_t>(step);
    uint64_t due = framesAtBase_ + msSinceBase_ * static_cast<uint64_t>(renderRate_) / 1000;
    if (due > framesRendered_) Render(due - framesRendered_);
    if (out_.file) FinishHeader(out_);
  }

  uint64_t RenderedFrames() const override { return framesRendered_; }

  // Nothing sounds: the clock moves on by the clip's length.
  bool PlayClip(const Clip& clip) override {
    if (clip.ms > 0) WaitUntil(Clock() + static_cast<uint32_t>(clip.ms) - 1);
    return true;
  }

  void Removed(uint32_t) override { lost_ = open_; }
  bool Lost() override { return open_ && lost_; }

  void BeginRun() override {
    runFailed_ = false;
    lost_ = false;
  }

  void Finish() override {
    if (!EndWave(out_)) runFailed_ = true;
    open_ = false;
  }

  bool Heard() const override { return StartOptions().audioOut != nullptr; }
  bool OutputFailed() const override { return out_.failed || runFailed_; }

 private:
  void Rebase() {
    lastClock_ = Clock();
    msSinceBase_ = 0;
    framesAtBase_ = framesRendered_;
  }

  void Render(uint64_t frames) {
    while (frames > 0) {
      int n = frames < kBlockFrames ? static_cast<int>(frames) : kBlockFrames;
      RenderMix(block_, n, renderRate_);
      if (out_.file) {
        AsHeard(block_, n, format_);
        AppendWave(out_, block_, n);
      }
      framesRendered_ += static_cast<uint64_t>(n);
      frames -= static_cast<uint64_t>(n);
    }
  }

  bool open_ = false;
  bool lost_ = false;  // the device went away (test hook)
  bool runFailed_ = false;  // the last file of this run could not be written whole
  Format format_;
  uint32_t lastClock_ = 0;
  uint64_t msSinceBase_ = 0;
  uint64_t framesAtBase_ = 0;
  uint64_t framesRendered_ = 0;
  int renderRate_ = 44100;
  WaveOut out_;
  int16_t block_[kBlockFrames * 2] = {};
};

}  // namespace

void SetOutputLimit(uint64_t bytes) { g_waveLimit = bytes ? bytes : kMaxWaveData; }

Driver& DummyDriverInstance() {
  static DummyDriver driver;
  return driver;
}

}  // namespace plat::audio
