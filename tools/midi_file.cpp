#include "tools/midi_file.h"
#include "tools/file_out.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace midi {

namespace {

// Events of one tick go out in this order: meta events, note ends, then
// program and controller changes, then note starts, so a note repeated on
// the same key is ended before it starts again and every instrument is set
// up before its first note.
enum Order { kMeta = 0, kNoteOff = 1, kSetup = 2, kNoteOn = 3, kEnd = 4 };

uint8_t Clamp7(int v) { return uint8_t(std::clamp(v, 0, 127)); }

void PutVarLen(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t bytes[5];
  int n = 0;
  bytes[n++] = uint8_t(value & 0x7F);
  while (value >>= 7) bytes[n++] = uint8_t(0x80 | (value & 0x7F));
  while (n) out.push_back(bytes[--n]);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}

}  // namespace

void Track::Add(uint32_t tick, int order, std::vector<uint8_t> bytes) {
  events_.push_back({tick, order, uint32_t(events_.size()), std::move(bytes)});
}

void Track::Tempo(uint32_t tick, double beatsPerMinute) {
  const uint32_t usPerQuarter = uint32_t(std::lround(60000000.0 / beatsPerMinute));
  Add(tick, kMeta,
      {0xFF, 0x51, 0x03, uint8_t(usPerQuarter >> 16), uint8_t(usPerQuarter >> 8),
       uint8_t(usPerQuarter)});
}

void Track::TimeSignature(uint32_t tick, int numerator, int denominator) {
  int power = 0;
  while ((1 << power) < denominator) ++power;
  // 24 MIDI clocks per metronome click, 8 thirty-seconds per quarter.
  Add(tick, kMeta, {0xFF, 0x58, 0x04, uint8_t(numerator), uint8_t(power), 24, 8});
}

void Track::KeySignature(uint32_t tick, int sharps, bool minor) {
  Add(tick, kMeta, {0xFF, 0x59, 0x02, uint8_t(int8_t(sharps)), uint8_t(minor ? 1 : 0)});
}

void Track::Text(uint32_t tick, int type, const std::string& text) {
  std::vector<uint8_t> bytes{0xFF, uint8_t(type)};
  PutVarLen(bytes, uint32_t(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
  Add(tick, kMeta, std::move(bytes));
}

void Track::Program(uint32_t tick, int channel, int program) {
  Add(tick, kSetup, {uint8_t(0xC0 | (channel & 15)), Clamp7(program)});
}

void Track::Control(uint32_t tick, int channel, int controller, int value) {
  Add(tick, kSetup, {uint8_t(0xB0 | (channel & 15)), Clamp7(controller), Clamp7(value)});
}

void Track::Note(uint32_t tick, uint32_t duration, int channel, int key, int velocity) {
  if (duration == 0 || key < 0 || key > 127) return;
  notes_.push_back({tick, tick + duration, uint8_t(channel & 15), uint8_t(key),
                    uint8_t(std::clamp(velocity, 1, 127))});
}

std::vector<uint8_t> Track::Encode(uint32_t endTick) const {
  std::vector<Event> events;
  events.reserve(events_.size() + notes_.size() * 2 + 2);
  uint32_t sequence = 0;
  if (!name_.empty()) {
    std::vector<uint8_t> bytes{0xFF, 0x03};
    PutVarLen(bytes, uint32_t(name_.size()));
    bytes.insert(bytes.end(), name_.begin(), name_.end());
    events.push_back({0, kMeta, sequence++, std::move(bytes)});
  }
  for (const Event& e : events_) {
    if (e.tick <= endTick) events.push_back({e.tick, e.order, sequence++, e.bytes});
  }

  // A note that starts again on its key and channel before it has ended is
  // cut where the new one starts; otherwise the first note's end would
  // silence the second.
  std::vector<NoteEvent> notes = notes_;
  std::stable_sort(notes.begin(), notes.end(), [](const NoteEvent& a, const NoteEvent& b) {
    if (a.channel != b.channel) return a.channel < b.channel;
    if (a.key != b.key) return a.key < b.key;
    return a.start < b.start;
  });
  for (size_t i = 0; i < notes.size(); ++i) {
    NoteEvent n = notes[i];
    if (i + 1 < notes.size() && notes[i + 1].channel == n.channel && notes[i + 1].key == n.key)
      n.end = std::min(n.end, notes[i + 1].start);
    n.end = std::min(n.end, endTick);
    if (n.start >= n.end) continue;
    const uint8_t on = uint8_t(0x90 | n.channel);
    events.push_back({n.start, kNoteOn, sequence++, {on, n.key, n.velocity}});
    // Note-on with velocity 0 ends the note and keeps the running status.
    events.push_back({n.end, kNoteOff, sequence++, {on, n.key, 0}});
  }
  std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    if (a.order != b.order) return a.order < b.order;
    return a.sequence < b.sequence;
  });

  std::vector<uint8_t> out;
  uint32_t now = 0;
  uint8_t running = 0;
  for (const Event& e : events) {
    PutVarLen(out, e.tick - now);
    now = e.tick;
    const uint8_t status = e.bytes[0];
    if (status >= 0xF0) {
      running = 0;  // meta and system events cancel the running status
      out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    } else if (status == running) {
      out.insert(out.end(), e.bytes.begin() + 1, e.bytes.end());
    } else {
      running = status;
      out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    }
  }
  PutVarLen(out, endTick - now);
  out.insert(out.end(), {0xFF, 0x2F, 0x00});
  return out;
}

bool WriteFile(const std::string& path, int ticksPerQuarter, const std::vector<Track>& tracks,
               uint32_t endTick) {
  std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
  Put32(file, 6);
  Put16(file, 1);
  Put16(file, uint16_t(tracks.size()));
  Put16(file, uint16_t(ticksPerQuarter));
  for (const Track& track : tracks) {
    std::vector<uint8_t> body = track.Encode(endTick);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    Put32(file, uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
  }
  return assets::WriteWholeFile(path, file);
}

}  // namespace midi
