// The software mixer that stands in for a sound card's buffers.
//
// A buffer holds PCM samples (8 or 16 bit, mono or stereo) and plays once or
// looping at its own frequency (resampled to the output rate by a
// band-limited windowed-sinc interpolator, exact at whole source frames), with a volume and a pan in hundredths of a decibel:
// volume 0 is full, -600 about half amplitude, -10000 silent; pan -10000 is
// left only, 0 centre, +10000 right only (the other side is attenuated).
// Play positions are in bytes. A playing buffer may be written into, which
// makes it a ring buffer for streamed sound.
//
// The mixer knows nothing of the output device: Mix adds the playing buffers
// into a block of 16-bit stereo frames. It runs on the audio thread while the
// main thread creates, plays and adjusts buffers; every buffer has its own
// short lock, held by the audio thread only while it mixes that buffer's
// part of one block, so requests never wait for a whole mix.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace oxs {

// A wave format as the format block of a WAVE file describes it.
struct PcmFormat {
  uint16_t tag = 0;  // 1 = PCM
  uint16_t channels = 0;
  uint32_t rate = 0;            // frames per second
  uint32_t bytesPerSecond = 0;  // rate * blockAlign
  uint16_t blockAlign = 0;      // bytes per frame
  uint16_t bits = 0;            // bits per sample
};

constexpr uint16_t kFormatPcm = 1;
constexpr uint32_t kMinFrequency = 100;
constexpr uint32_t kMaxFrequency = 100000;
constexpr int kSilentVolume = -10000;
constexpr int kPanLeft = -10000;
constexpr int kPanRight = 10000;
// Largest buffer the mixer creates (as a sound card's driver limits it).
constexpr uint32_t kMaxBufferBytes = 0x0FFFFFFF;
constexpr int kMixerBuffers = 1024;

// A PCM format the mixer plays: 8 or 16 bits, one or two channels, a rate
// of 100 to 100000 Hz, and block alignment and bytes per second that agree
// with them.
bool Playable(const PcmFormat& format);
// The byte value of silence in this format (128 for 8-bit, else 0).
inline uint8_t SilenceByte(const PcmFormat& format) { return format.bits == 8 ? 0x80 : 0x00; }

// Linear gain (65536 = unity) of an attenuation in hundredths of a decibel.
int32_t GainOf(int hundredthsDb);

class Mixer {
 public:
  Mixer();
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // A new silent buffer of `bytes` bytes (at least one frame, at most
  // kMaxBufferBytes) in a playable format, stopped at position 0, at the
  // format's rate, volume 0 and pan 0. Returns its id (1 and up), or 0 when
  // the format is not playable, the size is out of range, every buffer is
  // taken or memory is short. Allocates; never call during play.
  int Create(const PcmFormat& format, uint32_t bytes);
  void Destroy(int id);
  void DestroyAll();
  bool Exists(int id) const;

  // Copies `bytes` bytes (at most the buffer size) into the buffer from
  // `offset`, continuing at its start past its end. Safe while it plays.
  bool Write(int id, uint32_t offset, const void* data, uint32_t bytes);
  // The same with the format's silence.
  bool WriteSilence(int id, uint32_t offset, uint32_t bytes);

  // Starts the buffer from its current position, once or looping. A buffer
  // that plays once stops at its end and rewinds to 0.
  bool Play(int id, bool loop);
  void Stop(int id);
  bool Playing(int id) const;
  bool Looping(int id) const;
  // Play position in bytes (a whole frame's first byte).
  uint32_t Position(int id) const;
  // Moves the play position (rounded down to a frame); false beyond the end.
  bool SetPosition(int id, uint32_t bytes);

  // Settings, clamped to 100..100000 Hz, -10000..0 and -10000..10000.
  void SetFrequency(int id, uint32_t hz);
  uint32_t Frequency(int id) const;
  void SetVolume(int id, int hundredthsDb);
  int Volume(int id) const;
  void SetPan(int id, int hundredthsDb);
  int Pan(int id) const;

  uint32_t Size(int id) const;
  PcmFormat Format(int id) const;
  int PlayingCount() const;

  // Adds every playing buffer into `mix` (`frames` interleaved stereo
  // frames at `rate` Hz, 32-bit sums on the 16-bit scale) without
  // saturating, and advances the play positions.
  void Add(int32_t* mix, int frames, int rate);
  // The same into 16-bit frames, saturating.
  void Mix(int16_t* stereo, int frames, int rate);
  // Add as a plat::audio::RenderFn; `user` is the Mixer.
  static void Render(void* user, int32_t* mix, int frames, int rate);

  // Nobody hears the output (a headless run that writes no sound): Add
  // then only advances the play positions, exactly as mixing would, and
  // adds nothing.
  void SetUnheard(bool unheard) { unheard_.store(unheard, std::memory_order_relaxed); }

 private:
  struct Voice {
    mutable std::mutex lock;
    std::atomic<bool> playing{false};
    bool used = false;  // changed by the main thread only
    uint8_t* data = nullptr;
    uint32_t bytes = 0;
    uint32_t frames = 0;
    PcmFormat format;
    uint64_t position = 0;  // frames, 32.32 fixed point
    bool loop = false;
    uint32_t frequency = 0;
    int volume = 0;
    int pan = 0;
    int32_t gainLeft = 65536;
    int32_t gainRight = 65536;
  };

  Voice* Find(int id);
  const Voice* Find(int id) const;
  static void UpdateGains(Voice& v);
  // Mixes `frames` frames of one voice (locked) into the accumulator.
  static void MixVoice(Voice& v, int32_t* acc, int frames, int rate, bool unheard);

  Voice voices_[kMixerBuffers];
  // Slots at or past this were never used: the mixing loop stops there
  // rather than visiting all of them every block.
  std::atomic<int> voiceLimit_{0};
  std::atomic<bool> unheard_{false};
};

}  // namespace oxs
