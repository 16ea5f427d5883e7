// The dummy audio driver: a silent device fed from the main thread as the
// platform clock advances, so that play positions move in virtual time.
// With --audio-out it writes what it renders to a 16-bit stereo WAVE file.
#include <bit>
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
constexpr uint64_t kMaxWaveData = 0xFFFFFFFFull - 36;

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
      out_.closedAt = Clock();
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
    if (!open_) return;
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

  void Finish() override {
    EndWave(out_);
    open_ = false;
  }

  bool Heard() const override { return StartOptions().audioOut != nullptr; }
  bool OutputFailed() const override { return out_.failed; }

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

Driver& DummyDriverInstance() {
  static DummyDriver driver;
  return driver;
}

}  // namespace plat::audio
