#include "sound/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace oxs {

bool Playable(const PcmFormat& f) {
  if (f.tag != kFormatPcm) return false;
  if (f.channels != 1 && f.channels != 2) return false;
  if (f.bits != 8 && f.bits != 16) return false;
  if (f.rate < kMinFrequency || f.rate > kMaxFrequency) return false;
  if (f.blockAlign != f.channels * f.bits / 8) return false;
  return f.bytesPerSecond == f.rate * f.blockAlign;
}

int32_t GainOf(int hundredthsDb) {
  if (hundredthsDb >= 0) return 65536;
  if (hundredthsDb <= kSilentVolume) return 0;
  return static_cast<int32_t>(std::lround(65536.0 * std::pow(10.0, hundredthsDb / 2000.0)));
}

namespace {

constexpr int kBlockFrames = 512;

int16_t Saturate(int32_t v) {
  return static_cast<int16_t>(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
}

template <int Bits, int Channels>
inline int32_t Sample(const uint8_t* data, uint32_t frame, int channel) {
  size_t at = static_cast<size_t>(frame) * Channels + static_cast<size_t>(channel);
  if constexpr (Bits == 8) {
    return (static_cast<int32_t>(data[at]) - 128) * 256;
  } else {
    int16_t s;
    memcpy(&s, data + at * 2, sizeof s);  // WAVE data is little-endian, as the host
    return s;
  }
}

// The resampler: a windowed-sinc interpolator in polyphase form. An output
// frame at source position p (frame f plus fraction t) is the sum of the
// source frames f-7 .. f+8 weighted by the kernel sinc(x) * kaiser(x) at
// x = k - t. The cutoff is the source's Nyquist frequency, so the kernel
// interpolates: at fraction 0 it is exactly the source frame (a buffer at
// the output rate plays bit for bit, and every second output frame of a
// 2:1 upsampling is a source frame), while the images above the source's
// Nyquist frequency that linear interpolation leaves are suppressed.
constexpr int kTaps = 16;
constexpr int kTapsBefore = kTaps / 2 - 1;  // source frames before f
constexpr int kPhaseBits = 9;
constexpr int kPhases = 1 << kPhaseBits;
constexpr int kCoefBits = 14;
constexpr double kKaiserBeta = 6.0;

struct Kernel {
  alignas(32) int16_t c[kPhases][kTaps];
};

double BesselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 30; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
  }
  return sum;
}

Kernel BuildKernel() {
  Kernel kernel{};
  const double half = kTaps / 2.0;
  const double norm = BesselI0(kKaiserBeta);
  const double pi = 3.14159265358979323846;
  for (int phase = 0; phase < kPhases; ++phase) {
    const double t = static_cast<double>(phase) / kPhases;
    double w[kTaps];
    double sum = 0;
    for (int k = 0; k < kTaps; ++k) {
      const double x = (k - kTapsBefore) - t;
      const double sinc = x == 0 ? 1.0 : std::sin(pi * x) / (pi * x);
      const double r = x / half;
      const double window = r * r < 1 ? BesselI0(kKaiserBeta * std::sqrt(1 - r * r)) / norm : 0;
      w[k] = sinc * window;
      sum += w[k];
    }
    // Each phase sums to exactly one, so that a constant stays constant;
    // the rounding remainder goes to the largest tap.
    int total = 0, largest = 0;
    for (int k = 0; k < kTaps; ++k) {
      kernel.c[phase][k] = static_cast<int16_t>(std::lround(w[k] / sum * (1 << kCoefBits)));
      total += kernel.c[phase][k];
      if (kernel.c[phase][k] > kernel.c[phase][largest]) largest = k;
    }
    kernel.c[phase][largest] = static_cast<int16_t>(kernel.c[phase][largest] + (1 << kCoefBits) - total);
  }
  return kernel;
}

const Kernel& TheKernel() {
  static const Kernel kernel = BuildKernel();
  return kernel;
}

inline const int16_t* PhaseOf(const Kernel& k, uint64_t pos) {
  return k.c[static_cast<uint32_t>(pos) >> (32 - kPhaseBits)];
}

inline int32_t Round(int32_t sum) { return (sum + (1 << (kCoefBits - 1))) >> kCoefBits; }

// The kTaps source frames starting at `first` (all inside the buffer) as
// 16-bit samples of one channel each, in a form the compiler can vectorise.
template <int Bits, int Channels>
inline void Gather(const uint8_t* data, uint32_t first, int16_t (&l)[kTaps], int16_t (&r)[kTaps]) {
  if constexpr (Bits == 16 && Channels == 1) {
    memcpy(l, data + static_cast<size_t>(first) * 2, sizeof l);
  } else if constexpr (Bits == 16) {
    int16_t both[2 * kTaps];
    memcpy(both, data + static_cast<size_t>(first) * 4, sizeof both);
    for (int k = 0; k < kTaps; ++k) {
      l[k] = both[2 * k];
      r[k] = both[2 * k + 1];
    }
  } else {
    const uint8_t* p = data + static_cast<size_t>(first) * Channels;
    for (int k = 0; k < kTaps; ++k) {
      l[k] = static_cast<int16_t>((p[k * Channels] - 128) * 256);
      if constexpr (Channels == 2) r[k] = static_cast<int16_t>((p[k * 2 + 1] - 128) * 256);
    }
  }
}

inline int32_t Dot(const int16_t (&s)[kTaps], const int16_t* c) {
  int32_t sum = 0;
  for (int k = 0; k < kTaps; ++k) sum += static_cast<int32_t>(s[k]) * c[k];
  return Round(sum);
}

// One output frame from the kTaps source frames starting at `first`, all
// inside the buffer.
template <int Bits, int Channels>
inline void Accumulate(const uint8_t* data, uint32_t first, const int16_t* c, int32_t gl,
                       int32_t gr, int32_t* out) {
  int16_t l[kTaps], r[kTaps];
  Gather<Bits, Channels>(data, first, l, r);
  const int32_t left = Dot(l, c);
  const int32_t right = Channels == 2 ? Dot(r, c) : left;
  out[0] += static_cast<int32_t>((static_cast<int64_t>(left) * gl) >> 16);
  out[1] += static_cast<int32_t>((static_cast<int64_t>(right) * gr) >> 16);
}

// The same near the buffer's ends: frames past the end continue at the
// start when the buffer loops, and are silence (as are frames before the
// start) when it plays once.
template <int Bits, int Channels>
inline void AccumulateEdge(const uint8_t* data, uint32_t total, bool loop, uint32_t f,
                           const int16_t* c, int32_t gl, int32_t gr, int32_t* out) {
  int32_t l = 0, r = 0;
  for (int k = 0; k < kTaps; ++k) {
    int64_t at = static_cast<int64_t>(f) - kTapsBefore + k;
    if (at < 0 || at >= total) {
      if (!loop) continue;
      at = ((at % total) + total) % total;
    }
    const uint32_t frame = static_cast<uint32_t>(at);
    l += Sample<Bits, Channels>(data, frame, 0) * c[k];
    if constexpr (Channels == 2) r += Sample<Bits, 2>(data, frame, 1) * c[k];
  }
  if constexpr (Channels == 1) r = l;
  out[0] += static_cast<int32_t>((static_cast<int64_t>(Round(l)) * gl) >> 16);
  out[1] += static_cast<int32_t>((static_cast<int64_t>(Round(r)) * gr) >> 16);
}

struct RunState {
  const uint8_t* data;
  uint32_t frames;
  uint64_t position;
  bool loop;
  bool stopped;
  int32_t gainLeft, gainRight;
};

// Mixes `count` output frames. The inner loop runs without end checks for
// as long as every tap of the kernel lies inside the buffer; near the ends
// the taps wrap (looping) or see silence (once).
template <int Bits, int Channels>
void MixRun(RunState& st, int32_t* acc, int count, uint64_t step) {
  const Kernel& kernel = TheKernel();
  const uint8_t* data = st.data;
  const uint32_t total = st.frames;
  const uint64_t end = static_cast<uint64_t>(total) << 32;
  // The fast path needs frames f - kTapsBefore .. f + kTaps - kTapsBefore - 1.
  const uint64_t low = static_cast<uint64_t>(kTapsBefore) << 32;
  const uint64_t limit =
      total > kTaps ? static_cast<uint64_t>(total - (kTaps - kTapsBefore - 1)) << 32 : 0;
  const int32_t gl = st.gainLeft, gr = st.gainRight;
  uint64_t pos = st.position;
  int i = 0;
  while (i < count) {
    if (pos >= low && pos < limit) {
      uint64_t k = (limit - pos - 1) / step + 1;
      int n = static_cast<int>(std::min<uint64_t>(k, static_cast<uint64_t>(count - i)));
      int32_t* out = acc + 2 * i;
      for (int j = 0; j < n; ++j, out += 2) {
        const uint32_t f = static_cast<uint32_t>(pos >> 32);
        Accumulate<Bits, Channels>(data, f - kTapsBefore, PhaseOf(kernel, pos), gl, gr, out);
        pos += step;
      }
      i += n;
    } else {
      AccumulateEdge<Bits, Channels>(data, total, st.loop, static_cast<uint32_t>(pos >> 32),
                                     PhaseOf(kernel, pos), gl, gr, acc + 2 * i);
      pos += step;
      ++i;
    }
    if (pos >= end) {
      if (st.loop) {
        pos %= end;
      } else {
        pos = 0;
        st.stopped = true;
        break;
      }
    }
  }
  st.position = pos;
}

}  // namespace

// The resampler's kernel is built here, on the main thread, rather than at
// the first mix on the audio thread.
Mixer::Mixer() { TheKernel(); }

Mixer::~Mixer() { DestroyAll(); }

Mixer::Voice* Mixer::Find(int id) {
  if (id < 1 || id > kMixerBuffers) return nullptr;
  Voice& v = voices_[id - 1];
  return v.used ? &v : nullptr;
}

const Mixer::Voice* Mixer::Find(int id) const {
  if (id < 1 || id > kMixerBuffers) return nullptr;
  const Voice& v = voices_[id - 1];
  return v.used ? &v : nullptr;
}

void Mixer::UpdateGains(Voice& v) {
  int64_t g = GainOf(v.volume);
  int64_t left = v.pan > 0 ? GainOf(-v.pan) : 65536;
  int64_t right = v.pan < 0 ? GainOf(v.pan) : 65536;
  v.gainLeft = static_cast<int32_t>((g * left) >> 16);
  v.gainRight = static_cast<int32_t>((g * right) >> 16);
}

int Mixer::Create(const PcmFormat& format, uint32_t bytes) {
  if (!Playable(format)) return 0;
  if (bytes < format.blockAlign || bytes > kMaxBufferBytes) return 0;
  int slot = -1;
  for (int i = 0; i < kMixerBuffers; ++i) {
    if (!voices_[i].used) {
      slot = i;
      break;
    }
  }
  if (slot < 0) return 0;
  auto* data = new (std::nothrow) uint8_t[bytes];
  if (!data) return 0;
  memset(data, SilenceByte(format), bytes);
  Voice& v = voices_[slot];
  std::lock_guard<std::mutex> guard(v.lock);
  v.playing.store(false, std::memory_order_relaxed);
  v.used = true;
  v.data = data;
  v.bytes = bytes;
  v.frames = bytes / format.blockAlign;
  v.format = format;
  v.position = 0;
  v.loop = false;
  v.frequency = format.rate;
  v.volume = 0;
  v.pan = 0;
  UpdateGains(v);
  int limit = voiceLimit_.load(std::memory_order_relaxed);
  while (limit < slot + 1 &&
         !voiceLimit_.compare_exchange_weak(limit, slot + 1, std::memory_order_release,
                                            std::memory_order_relaxed)) {
  }
  return slot + 1;
}

void Mixer::Destroy(int id) {
  Voice* v = Find(id);
  if (!v) return;
  uint8_t* data;
  {
    std::lock_guard<std::mutex> guard(v->lock);
    v->playing.store(false, std::memory_order_release);
    data = v->data;
    v->data = nullptr;
    v->bytes = v->frames = 0;
    v->used = false;
  }
  delete[] data;
}

void Mixer::DestroyAll() {
  for (int id = 1; id <= kMixerBuffers; ++id) Destroy(id);
}

bool Mixer::Exists(int id) const { return Find(id) != nullptr; }

bool Mixer::Write(int id, uint32_t offset, const void* data, uint32_t bytes) {
  Voice* v = Find(id);
  if (!v || offset >= v->bytes || bytes > v->bytes) return false;
  std::lock_guard<std::mutex> guard(v->lock);
  uint32_t first = std::min(bytes, v->bytes - offset);
  memcpy(v->data + offset, data, first);
  if (bytes > first) memcpy(v->data, static_cast<const uint8_t*>(data) + first, bytes - first);
  return true;
}

bool Mixer::WriteSilence(int id, uint32_t offset, uint32_t bytes) {
  Voice* v = Find(id);
  if (!v || offset >= v->bytes || bytes > v->bytes) return false;
  std::lock_guard<std::mutex> guard(v->lock);
  uint8_t silence = SilenceByte(v->format);
  uint32_t first = std::min(bytes, v->bytes - offset);
  memset(v->data + offset, silence, first);
  if (bytes > first) memset(v->data, silence, bytes - first);
  return true;
}

bool Mixer::Play(int id, bool loop) {
  Voice* v = Find(id);
  if (!v) return false;
  std::lock_guard<std::mutex> guard(v->lock);
  v->loop = loop;
  v->playing.store(true, std::memory_order_release);
  return true;
}

void Mixer::Stop(int id) {
  Voice* v = Find(id);
  if (!v) return;
  std::lock_guard<std::mutex> guard(v->lock);
  v->playing.store(false, std::memory_order_release);
}

bool Mixer::Playing(int id) const {
  const Voice* v = Find(id);
  return v && v->playing.load(std::memory_order_acquire);
}

bool Mixer::Looping(int id) const {
  const Voice* v = Find(id);
  if (!v) return false;
  std::lock_guard<std::mutex> guard(v->lock);
  return v->loop;
}

uint32_t Mixer::Position(int id) const {
  const Voice* v = Find(id);
  if (!v) return 0;
  std::lock_guard<std::mutex> guard(v->lock);
  return static_cast<uint32_t>(v->position >> 32) * v->format.blockAlign;
}

bool Mixer::SetPosition(int id, uint32_t bytes) {
  Voice* v = Find(id);
  if (!v || bytes >= v->bytes) return false;
  std::lock_guard<std::mutex> guard(v->lock);
  uint32_t frame = std::min(bytes / v->format.blockAlign, v->frames - 1);
  v->position = static_cast<uint64_t>(frame) << 32;
  return true;
}

void Mixer::SetFrequency(int id, uint32_t hz) {
  Voice* v = Find(id);
  if (!v) return;
  std::lock_guard<std::mutex> guard(v->lock);
  // 0 asks for the data's own rate.
  if (hz == 0) hz = v->format.rate;
  v->frequency = std::clamp(hz, kMinFrequency, kMaxFrequency);
}

uint32_t Mixer::Frequency(int id) const {
  const Voice* v = Find(id);
  if (!v) return 0;
  std::lock_guard<std::mutex> guard(v->lock);
  return v->frequency;
}

void Mixer::SetVolume(int id, int hundredthsDb) {
  Voice* v = Find(id);
  if (!v) return;
  std::lock_guard<std::mutex> guard(v->lock);
  v->volume = std::clamp(hundredthsDb, kSilentVolume, 0);
  UpdateGains(*v);
}

int Mixer::Volume(int id) const {
  const Voice* v = Find(id);
  if (!v) return 0;
  std::lock_guard<std::mutex> guard(v->lock);
  return v->volume;
}

void Mixer::SetPan(int id, int hundredthsDb) {
  Voice* v = Find(id);
  if (!v) return;
  std::lock_guard<std::mutex> guard(v->lock);
  v->pan = std::clamp(hundredthsDb, kPanLeft, kPanRight);
  UpdateGains(*v);
}

int Mixer::Pan(int id) const {
  const Voice* v = Find(id);
  if (!v) return 0;
  std::lock_guard<std::mutex> guard(v->lock);
  return v->pan;
}

uint32_t Mixer::Size(int id) const {
  const Voice* v = Find(id);
  return v ? v->bytes : 0;
}

PcmFormat Mixer::Format(int id) const {
  const Voice* v = Find(id);
  return v ? v->format : PcmFormat{};
}

int Mixer::PlayingCount() const {
  int n = 0;
  for (const Voice& v : voices_) n += v.playing.load(std::memory_order_relaxed) ? 1 : 0;
  return n;
}

void Mixer::MixVoice(Voice& v, int32_t* acc, int frames, int rate, bool unheard) {
  const uint64_t step = (static_cast<uint64_t>(v.frequency) << 32) / static_cast<uint64_t>(rate);
  RunState st{v.data, v.frames, v.position, v.loop, false, v.gainLeft, v.gainRight};
  if ((st.gainLeft == 0 && st.gainRight == 0) || unheard) {
    // Silent or unheard: only the position moves.
    const uint64_t end = static_cast<uint64_t>(v.frames) << 32;
    uint64_t pos = v.position + step * static_cast<uint64_t>(frames);
    if (pos >= end) {
      if (v.loop) {
        pos %= end;
      } else {
        pos = 0;
        st.stopped = true;
      }
    }
    st.position = pos;
  } else if (v.format.bits == 8) {
    if (v.format.channels == 1) {
      MixRun<8, 1>(st, acc, frames, step);
    } else {
      MixRun<8, 2>(st, acc, frames, step);
    }
  } else if (v.format.channels == 1) {
    MixRun<16, 1>(st, acc, frames, step);
  } else {
    MixRun<16, 2>(st, acc, frames, step);
  }
  v.position = st.position;
  if (st.stopped) v.playing.store(false, std::memory_order_release);
}

void Mixer::Add(int32_t* mix, int frames, int rate) {
  if (!mix || frames <= 0 || rate <= 0) return;
  const bool unheard = unheard_.load(std::memory_order_relaxed);
  const int limit = voiceLimit_.load(std::memory_order_acquire);
  // Each voice's lock is held for one block at most.
  for (int done = 0; done < frames;) {
    const int n = std::min(kBlockFrames, frames - done);
    for (int i = 0; i < limit; ++i) {
      Voice& v = voices_[i];
      if (!v.playing.load(std::memory_order_acquire)) continue;
      std::lock_guard<std::mutex> guard(v.lock);
      if (!v.playing.load(std::memory_order_relaxed) || !v.data) continue;
      MixVoice(v, mix + 2 * done, n, rate, unheard);
    }
    done += n;
  }
}

void Mixer::Mix(int16_t* stereo, int frames, int rate) {
  if (!stereo || frames <= 0 || rate <= 0) return;
  int32_t acc[kBlockFrames * 2];
  for (int done = 0; done < frames;) {
    const int n = std::min(kBlockFrames, frames - done);
    memset(acc, 0, sizeof(int32_t) * 2 * static_cast<size_t>(n));
    Add(acc, n, rate);
    int16_t* out = stereo + 2 * done;
    for (int i = 0; i < 2 * n; ++i) out[i] = Saturate(out[i] + acc[i]);
    done += n;
  }
}

void Mixer::Render(void* user, int32_t* mix, int frames, int rate) {
  static_cast<Mixer*>(user)->Add(mix, frames, rate);
}

}  // namespace oxs
