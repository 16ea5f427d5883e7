// Standard MIDI File (format 1) writer. A track collects notes, controller
// and program changes and meta events at absolute ticks; encoding sorts
// them, resolves overlapping notes of the same key, writes delta times as
// variable-length quantities with running status and ends every track with
// its end-of-track event at the song's end tick.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace midi {

constexpr int kDrumChannel = 9;  // General MIDI percussion: channel 10

class Track {
 public:
  explicit Track(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }

  // Conductor events (first track of the file).
  void Tempo(uint32_t tick, double beatsPerMinute);
  void TimeSignature(uint32_t tick, int numerator, int denominator);
  // Key signature: sharps (> 0) or flats (< 0), and the mode.
  void KeySignature(uint32_t tick, int sharps, bool minor);
  void Text(uint32_t tick, int type, const std::string& text);

  void Program(uint32_t tick, int channel, int program);
  void Control(uint32_t tick, int channel, int controller, int value);
  // A note from `tick` for `duration` ticks; velocity 1..127.
  void Note(uint32_t tick, uint32_t duration, int channel, int key, int velocity);

  // Every note, as added: for checks and analysis by the generator.
  struct NoteEvent {
    uint32_t start, end;
    uint8_t channel, key, velocity;
  };
  const std::vector<NoteEvent>& Notes() const { return notes_; }

  // The track chunk's body: events sorted by tick, then the end of track at
  // `endTick` (notes still sounding there are cut at it).
  std::vector<uint8_t> Encode(uint32_t endTick) const;

 private:
  struct Event {
    uint32_t tick;
    int order;                   // position among events of the same tick
    uint32_t sequence;           // insertion order, for a stable result
    std::vector<uint8_t> bytes;  // status byte first (0xFF for meta events)
  };
  void Add(uint32_t tick, int order, std::vector<uint8_t> bytes);

  std::string name_;
  std::vector<Event> events_;
  std::vector<NoteEvent> notes_;
};

// Writes a format-1 file with `ticksPerQuarter` resolution. Returns false
// after a message on standard error when the file cannot be written.
bool WriteFile(const std::string& path, int ticksPerQuarter, const std::vector<Track>& tracks,
               uint32_t endTick);

}  // namespace midi
