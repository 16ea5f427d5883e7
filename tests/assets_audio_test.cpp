// The generated sounds and music beside the samplegame executable: 16-bit
// PCM WAVE effects (the explosion longer and louder than the shot) and nine
// format-1 MIDI pieces of one to two minutes, drums on channel 10, every
// instrument set up, ending on the tonic with every note released.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::string GameDir() {
  std::string exe = SAMPLEGAME_EXE;
  return exe.substr(0, exe.find_last_of('/') + 1);
}

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
         uint32_t(b[at + 3]) << 24;
}
uint16_t Le16(const Bytes& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }
uint32_t Be32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 |
         uint32_t(b[at + 3]);
}
uint16_t Be16(const Bytes& b, size_t at) { return uint16_t(b[at] << 8 | b[at + 1]); }
bool Fail(std::string* error, const std::string& what) { return *error = what, false; }

// --- WAVE --------------------------------------------------------------------

struct Wave {
  uint16_t format = 0, channels = 0, bits = 0, blockAlign = 0;
  uint32_t rate = 0, byteRate = 0;
  std::vector<double> mono;  // samples (channels averaged), full scale 1.0
  double Seconds() const { return rate ? double(mono.size()) / rate : 0; }
};

// Walks the RIFF form chunk by chunk; every size must stay inside the
// form and the form inside the file.
bool ParseWave(const Bytes& file, Wave* wave, std::string* error) {
  if (file.size() < 12 || std::string(file.begin(), file.begin() + 4) != "RIFF" ||
      std::string(file.begin() + 8, file.begin() + 12) != "WAVE")
    return Fail(error, "not a RIFF WAVE form");
  const uint64_t formEnd = 8 + uint64_t(Le32(file, 4));
  if (formEnd != file.size())
    return Fail(error, "RIFF size " + std::to_string(formEnd) + " != file size " +
                           std::to_string(file.size()));
  bool haveFormat = false, haveData = false;
  for (uint64_t at = 12; at < formEnd;) {
    if (at + 8 > formEnd) return Fail(error, "chunk header past the form");
    const std::string id(file.begin() + long(at), file.begin() + long(at) + 4);
    const uint32_t size = Le32(file, size_t(at) + 4);
    const uint64_t body = at + 8;
    if (body + size > formEnd) return Fail(error, "chunk " + id + " past the form");
    if (id == "fmt ") {
      if (size < 16) return Fail(error, "short fmt chunk");
      wave->format = Le16(file, size_t(body));
      wave->channels = Le16(file, size_t(body) + 2);
      wave->rate = Le32(file, size_t(body) + 4);
      wave->byteRate = Le32(file, size_t(body) + 8);
      wave->blockAlign = Le16(file, size_t(body) + 12);
      wave->bits = Le16(file, size_t(body) + 14);
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat || wave->bits != 16 || wave->channels == 0)
        return Fail(error, "data before a 16-bit fmt chunk");
      if (size % wave->blockAlign) return Fail(error, "data size not a whole number of frames");
      for (uint64_t i = body; i < body + size; i += wave->blockAlign) {
        double sum = 0;
        for (int c = 0; c < wave->channels; ++c)
          sum += int16_t(Le16(file, size_t(i) + 2 * size_t(c))) / 32768.0;
        wave->mono.push_back(sum / wave->channels);
      }
      haveData = true;
    }
    at = body + size + (size & 1);
  }
  if (!haveFormat || !haveData) return Fail(error, "missing fmt or data chunk");
  return true;
}

double Rms(const std::vector<double>& s, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += s[i] * s[i];
  return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

// The loudest 50 ms of the sound.
double PeakWindowRms(const Wave& w) {
  const size_t window = std::max<size_t>(1, w.rate / 20);
  double best = 0;
  for (size_t at = 0; at + window <= w.mono.size(); at += window / 4)
    best = std::max(best, Rms(w.mono, at, at + window));
  return best;
}

// Share of the signal's energy below about 200 Hz (two one-pole low-passes).
double LowShare(const Wave& w) {
  constexpr double kPi = 3.14159265358979323846;
  const double a = 1.0 - std::exp(-2.0 * kPi * 200.0 / w.rate);
  double z1 = 0, z2 = 0, low = 0, all = 0;
  for (double s : w.mono) {
    z1 += a * (s - z1);
    z2 += a * (z1 - z2);
    low += z2 * z2;
    all += s * s;
  }
  return all > 0 ? low / all : 0;
}

Wave LoadWave(const char* name) {
  Wave wave;
  std::string error;
  const Bytes file = ReadAll(GameDir() + name);
  EXPECT_FALSE(file.empty()) << name << " missing";
  EXPECT_TRUE(ParseWave(file, &wave, &error)) << name << ": " << error;
  return wave;
}

class AssetsSoundFile : public ::testing::TestWithParam<const char*> {};

TEST_P(AssetsSoundFile, IsSmallCleanUnclippedPcm16) {
  const Wave w = LoadWave(GetParam());
  EXPECT_EQ(w.format, 1) << "PCM";
  EXPECT_EQ(w.bits, 16);
  EXPECT_TRUE(w.channels == 1 || w.channels == 2);
  EXPECT_TRUE(w.rate == 11025 || w.rate == 22050 || w.rate == 44100 || w.rate == 48000) << w.rate;
  EXPECT_EQ(w.blockAlign, w.channels * 2);
  EXPECT_EQ(w.byteRate, w.rate * w.blockAlign);
  EXPECT_LT(ReadAll(GameDir() + GetParam()).size(), 400u * 1024) << "sound effects stay small";
  ASSERT_GT(w.mono.size(), 100u);
  double peak = 0, mean = 0;
  int fullScaleRun = 0, longestRun = 0;
  for (double s : w.mono) {
    peak = std::max(peak, std::fabs(s));
    mean += s;
    fullScaleRun = std::fabs(s) >= 32766.0 / 32768.0 ? fullScaleRun + 1 : 0;
    longestRun = std::max(longestRun, fullScaleRun);
  }
  mean /= double(w.mono.size());
  EXPECT_GT(peak, 0.25) << "audible";
  EXPECT_LT(longestRun, 2) << "no clipped runs";
  EXPECT_LT(std::fabs(mean), 0.01) << "no DC offset";
  // Starts and stops without a click: silence at both ends.
  EXPECT_LT(std::fabs(w.mono.front()), 0.01);
  const size_t tail = w.rate / 200;  // 5 ms
  EXPECT_LT(Rms(w.mono, w.mono.size() - tail, w.mono.size()), 0.01);
}

INSTANTIATE_TEST_SUITE_P(Effects, AssetsSoundFile, ::testing::Values("SHOT.WAV", "BOM.WAV"));

TEST(AssetsSoundEffects, ShotIsShortAndExplosionLongLoudAndDecaying) {
  const Wave shot = LoadWave("SHOT.WAV");
  const Wave bom = LoadWave("BOM.WAV");
  ASSERT_FALSE(shot.mono.empty());
  ASSERT_FALSE(bom.mono.empty());
  EXPECT_GE(shot.Seconds(), 0.05);
  EXPECT_LE(shot.Seconds(), 0.5);
  EXPECT_GE(bom.Seconds(), 0.8);
  EXPECT_LE(bom.Seconds(), 3.0);
  EXPECT_GT(bom.Seconds(), shot.Seconds() * 3);
  EXPECT_GT(PeakWindowRms(bom), PeakWindowRms(shot) * 1.25) << "the explosion is louder";

  // Noise with a decay: the last quarter is far quieter than the first.
  const size_t q = bom.mono.size() / 4;
  EXPECT_LT(Rms(bom.mono, 3 * q, 4 * q), Rms(bom.mono, 0, q) / 4);
  // The explosion carries a low rumble; the shot is mostly bright.
  EXPECT_GT(LowShare(bom), 0.15);
  EXPECT_GT(LowShare(bom), LowShare(shot));
  // Noise, not a tone: many sign changes in its loudest part.
  int crossings = 0;
  for (size_t i = 1; i < q; ++i) crossings += (bom.mono[i - 1] < 0) != (bom.mono[i] < 0);
  EXPECT_GT(double(crossings) / (double(q) / bom.rate), 400.0);
}

// --- MIDI --------------------------------------------------------------------

struct MidiEvent {
  uint32_t tick;
  uint8_t status;  // 0xFF for meta events, 0xF0/0xF7 for system exclusive
  uint8_t a = 0, b = 0;
  uint8_t metaType = 0;
  Bytes data;
};

struct Smf {
  int format = -1;
  int division = 0;
  std::vector<std::vector<MidiEvent>> tracks;
  std::vector<uint32_t> endTicks;  // tick of each track's end-of-track
};

bool ReadVarLen(const Bytes& b, size_t end, size_t* at, uint32_t* value) {
  *value = 0;
  for (int i = 0; i < 4; ++i) {
    if (*at >= end) return false;
    const uint8_t byte = b[(*at)++];
    *value = *value << 7 | (byte & 0x7F);
    if (!(byte & 0x80)) return true;
  }
  return false;  // more than four bytes
}

// A strict reader: the header, then exactly the announced number of track
// chunks filling the file; each track a list of events with running
// status that ends with FF 2F 00 as its very last bytes.
bool ParseSmf(const Bytes& b, Smf* smf, std::string* error) {
  if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || Be32(b, 4) != 6)
    return Fail(error, "bad header");
  smf->format = Be16(b, 8);
  const int count = Be16(b, 10);
  smf->division = Be16(b, 12);
  size_t at = 14;
  for (int t = 0; t < count; ++t) {
    auto Bad = [&](const char* what) {
      return Fail(error, "track " + std::to_string(t) + ": " + what);
    };
    if (at + 8 > b.size() || std::string(b.begin() + long(at), b.begin() + long(at) + 4) != "MTrk")
      return Bad("missing MTrk");
    const size_t end = at + 8 + Be32(b, at + 4);
    if (end > b.size()) return Bad("chunk size past the file");
    at += 8;
    std::vector<MidiEvent> events;
    uint32_t tick = 0;
    uint8_t running = 0;
    bool ended = false;
    while (at < end) {
      if (ended) return Bad("events after the end of track");
      uint32_t delta;
      if (!ReadVarLen(b, end, &at, &delta) || at >= end) return Bad("bad delta time");
      tick += delta;
      MidiEvent e;
      e.tick = tick;
      uint8_t status = b[at];
      if (status & 0x80) {
        ++at;
      } else if (running) {
        status = running;  // running status: the data byte is the first one
      } else {
        return Bad("data byte without status");
      }
      e.status = status;
      if (status == 0xFF) {
        running = 0;
        uint32_t length;
        if (at >= end) return Bad("truncated meta");
        e.metaType = b[at++];
        if (!ReadVarLen(b, end, &at, &length) || at + length > end)
          return Bad("meta event past the chunk");
        e.data.assign(b.begin() + long(at), b.begin() + long(at + length));
        at += length;
        if (e.metaType == 0x2F) {
          if (length != 0) return Bad("end of track with data");
          ended = true;
        }
      } else if (status == 0xF0 || status == 0xF7) {
        running = 0;
        uint32_t length;
        if (!ReadVarLen(b, end, &at, &length) || at + length > end)
          return Bad("sysex past the chunk");
        at += length;
      } else if (status >= 0xF0) {
        return Bad("system message in a file");
      } else {
        running = status;
        const int kind = status & 0xF0;
        const int length = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        if (at + size_t(length) > end) return Bad("truncated channel message");
        e.a = b[at];
        e.b = length == 2 ? b[at + 1] : 0;
        if ((e.a | e.b) & 0x80) return Bad("data byte with the top bit set");
        at += size_t(length);
      }
      events.push_back(e);
    }
    if (!ended) return Bad("no end-of-track event");
    smf->endTicks.push_back(tick);
    smf->tracks.push_back(std::move(events));
  }
  if (at != b.size()) return Fail(error, "bytes after the last track");
  return true;
}

// Seconds up to `tick` through the tempo map (default 120 beats a minute).
double SecondsAt(const Smf& smf, uint32_t tick) {
  std::map<uint32_t, uint32_t> tempo;  // tick -> microseconds per quarter
  for (const auto& track : smf.tracks)
    for (const MidiEvent& e : track)
      if (e.status == 0xFF && e.metaType == 0x51 && e.data.size() == 3)
        tempo[e.tick] = uint32_t(e.data[0]) << 16 | uint32_t(e.data[1]) << 8 | e.data[2];
  double seconds = 0;
  uint32_t at = 0, current = 500000;
  for (const auto& [t, us] : tempo) {
    if (t >= tick) break;
    seconds += double(t - at) * current / 1e6 / smf.division;
    at = t;
    current = us;
  }
  return seconds + double(tick - at) * current / 1e6 / smf.division;
}

double Length(const Smf& smf) {
  return SecondsAt(smf, *std::max_element(smf.endTicks.begin(), smf.endTicks.end()));
}

struct Note {
  uint32_t start, end;
  int channel, key;
};

// Pairs note-ons with note-offs (a note-on of velocity 0 is a note-off).
// Returns false if a note starts again while sounding, ends without having
// started, or is still sounding at the end of its track.
bool Pair(const Smf& smf, std::vector<Note>* notes, std::string* error) {
  for (size_t t = 0; t < smf.tracks.size(); ++t) {
    auto Bad = [&](const char* what) {
      return Fail(error, "track " + std::to_string(t) + ": " + what);
    };
    std::map<std::pair<int, int>, uint32_t> on;
    for (const MidiEvent& e : smf.tracks[t]) {
      const int kind = e.status & 0xF0, ch = e.status & 0x0F;
      if (e.status >= 0xF0 || (kind != 0x80 && kind != 0x90)) continue;
      const auto key = std::make_pair(ch, int(e.a));
      if (kind == 0x90 && e.b > 0) {
        if (on.count(key)) return Bad("note restarted while sounding");
        on[key] = e.tick;
      } else {
        auto it = on.find(key);
        if (it == on.end()) return Bad("note-off without note-on");
        notes->push_back({it->second, e.tick, ch, e.a});
        on.erase(it);
      }
    }
    if (!on.empty()) return Bad("notes still sounding at its end");
  }
  return true;
}

// A hand-made file: a conductor track with two tempos and a track that uses
// running status, including note-on velocity 0 as note-off.
Bytes SampleSmf() {
  Bytes f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0};       // 480 per quarter
  const Bytes conductor = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,        // 0.5 s at 0
                           0x87, 0x40, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // 0.25 s at 960
                           0x87, 0x40, 0xFF, 0x2F, 0x00};                   // end at 1920
  const Bytes notes = {0x00, 0xC0, 0x05,                                    // program change
                       0x00, 0x90, 0x3C, 0x64,                              // C4 on
                       0x00, 0x40, 0x64,                                    // running status: E4 on
                       0x83, 0x60, 0x3C, 0x00,         // 480 later: C4 off (velocity 0)
                       0x00, 0x40, 0x00,               // E4 off
                       0x8B, 0x20, 0xFF, 0x2F, 0x00};  // end at 1920
  for (const Bytes* body : {&conductor, &notes}) {
    f.insert(f.end(), {'M', 'T', 'r', 'k'});
    const uint32_t n = uint32_t(body->size());
    f.insert(f.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    f.insert(f.end(), body->begin(), body->end());
  }
  return f;
}

// The strict reader itself: running status and the tempo map on a
// hand-made file, and broken copies of it refused.
TEST(AssetsMidiReader, FollowsRunningStatusAndTheTempoMapAndRejectsBrokenFiles) {
  const Bytes good = SampleSmf();
  Smf smf;
  std::string error;
  ASSERT_TRUE(ParseSmf(good, &smf, &error)) << error;
  std::vector<Note> notes;
  ASSERT_TRUE(Pair(smf, &notes, &error)) << error;
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_TRUE(notes[0].key == 0x3C && notes[1].key == 0x40 && notes[1].end == 480u);
  EXPECT_DOUBLE_EQ(Length(smf), 1.5);  // 960 ticks at 0.5 s a quarter, 960 at 0.25 s
  Bytes noEnd = good, lostStatus = good;
  noEnd[noEnd.size() - 2] = 0x01;          // FF 2F 00 becomes a text event
  lostStatus[14 + 8 + 20 + 8 + 1] = 0x05;  // the second track's program change loses its status
  for (const Bytes& bad : {Bytes(good.begin(), good.end() - 2), noEnd, lostStatus}) {
    Smf broken;
    EXPECT_FALSE(ParseSmf(bad, &broken, &error));
  }
}

// The music of the game: each stage's piece, the title's (the seventh
// stage's) and the ending's.
const char* const kPieces[] = {"BGM1.MID", "BGM2.MID", "BGM3.MID", "BGM4.MID", "BGM5.MID",
                               "BGM6.MID", "BGM7.MID", "BGM8.MID", "BEND.MID"};

Smf LoadSmf(const char* name) {
  Smf smf;
  std::string error;
  const Bytes file = ReadAll(GameDir() + name);
  EXPECT_FALSE(file.empty()) << name << " missing";
  EXPECT_TRUE(ParseSmf(file, &smf, &error)) << name << ": " << error;
  return smf;
}

class AssetsPiece : public ::testing::TestWithParam<const char*> {};

TEST_P(AssetsPiece, IsAFormatOneFileOfOneToTwoMinutes) {
  const Smf smf = LoadSmf(GetParam());
  EXPECT_EQ(smf.format, 1);
  EXPECT_GT(smf.division, 0);
  EXPECT_EQ(smf.division & 0x8000, 0) << "ticks per quarter, not SMPTE";
  EXPECT_GE(smf.tracks.size(), 3u);
  // All tracks end together, so the piece restarts on one clean beat.
  ASSERT_FALSE(smf.endTicks.empty());
  for (uint32_t end : smf.endTicks) EXPECT_EQ(end, smf.endTicks[0]);
  const double seconds = Length(smf);
  EXPECT_GE(seconds, 60.0) << GetParam();
  EXPECT_LE(seconds, 120.0) << GetParam();
  // The tempo is set at the start, before the first note.
  bool tempoAtStart = false;
  for (const MidiEvent& e : smf.tracks[0])
    tempoAtStart |= e.status == 0xFF && e.metaType == 0x51 && e.tick == 0;
  EXPECT_TRUE(tempoAtStart);
}

TEST_P(AssetsPiece, DrumsOnChannelTenAndInstrumentsSetUp) {
  const Smf smf = LoadSmf(GetParam());
  std::vector<Note> notes;
  std::string error;
  ASSERT_TRUE(Pair(smf, &notes, &error)) << error;
  int drumNotes = 0;
  std::set<int> melodic;
  for (const Note& n : notes) {
    if (n.channel == 9) {
      ++drumNotes;
      EXPECT_GE(n.key, 35) << "General MIDI percussion key";
      EXPECT_LE(n.key, 81) << "General MIDI percussion key";
    } else {
      melodic.insert(n.channel);
    }
  }
  EXPECT_GT(drumNotes, 50) << "a real drum part";
  EXPECT_GE(melodic.size(), 3u) << "melody, harmony and bass";

  // Every melodic channel gets its program at the very start (so that a
  // restart sets it again), and no channel is switched to another bank,
  // which could make it a drum kit.
  std::map<int, uint32_t> firstProgram, firstNote;
  for (const auto& track : smf.tracks) {
    for (const MidiEvent& e : track) {
      const int kind = e.status & 0xF0, ch = e.status & 0x0F;
      if (e.status >= 0xF0) continue;
      if (kind == 0xC0 && !firstProgram.count(ch)) firstProgram[ch] = e.tick;
      if (kind == 0x90 && e.b > 0 && !firstNote.count(ch)) firstNote[ch] = e.tick;
      if (kind == 0xB0) {
        EXPECT_NE(e.a, 0) << "bank select on channel " << ch + 1;
        EXPECT_NE(e.a, 32) << "bank select on channel " << ch + 1;
      }
    }
  }
  for (int ch : melodic) {
    ASSERT_TRUE(firstProgram.count(ch)) << "channel " << ch + 1 << " has no program";
    EXPECT_EQ(firstProgram[ch], 0u) << "channel " << ch + 1;
    EXPECT_LE(firstProgram[ch], firstNote[ch]);
  }
}

TEST_P(AssetsPiece, EndsOnItsTonicWithEveryNoteReleased) {
  const Smf smf = LoadSmf(GetParam());
  std::vector<Note> notes;
  std::string error;
  ASSERT_TRUE(Pair(smf, &notes, &error)) << error;
  ASSERT_FALSE(smf.endTicks.empty());
  const uint32_t end = smf.endTicks[0];

  // The key signature names the tonic.
  int sharps = 0, minor = -1;
  for (const MidiEvent& e : smf.tracks[0]) {
    if (e.status == 0xFF && e.metaType == 0x59 && e.data.size() == 2) {
      sharps = int8_t(e.data[0]);
      minor = e.data[1];
    }
  }
  ASSERT_NE(minor, -1) << "no key signature";
  const int tonic = ((sharps * 7 + (minor ? 9 : 0)) % 12 + 12) % 12;

  // The last chord: the melodic notes sounding when the last melodic note
  // starts. Its bass is the tonic and every note belongs to the tonic triad.
  uint32_t lastStart = 0, last = 0;
  for (const Note& n : notes) {
    if (n.channel == 9) continue;
    lastStart = std::max(lastStart, n.start);
    last = std::max(last, n.end);
  }
  const int third = minor ? 3 : 4;
  int lowest = 128, count = 0;
  for (const Note& n : notes) {
    if (n.channel == 9 || n.start > lastStart || n.end <= lastStart) continue;
    ++count;
    lowest = std::min(lowest, n.key);
    const int interval = ((n.key - tonic) % 12 + 12) % 12;
    EXPECT_TRUE(interval == 0 || interval == third || interval == 7)
        << GetParam() << ": key " << n.key << " outside the tonic chord";
  }
  EXPECT_GE(count, 3) << GetParam() << ": a full final chord";
  EXPECT_EQ(lowest % 12, tonic) << GetParam() << " ends on the tonic in the bass";
  // The chord dies away before the restart: a short rest at the end.
  EXPECT_LT(last, end);
  EXPECT_GE(SecondsAt(smf, end) - SecondsAt(smf, last), 0.2);
  EXPECT_LE(SecondsAt(smf, end) - SecondsAt(smf, last), 2.5);

  // All notes off on every channel in use as the piece ends.
  std::set<int> used, released;
  for (const Note& n : notes) used.insert(n.channel);
  for (const auto& track : smf.tracks)
    for (const MidiEvent& e : track)
      if ((e.status & 0xF0) == 0xB0 && e.a == 123 && e.tick == end) released.insert(e.status & 15);
  EXPECT_EQ(released, used);
}

INSTANTIATE_TEST_SUITE_P(Music, AssetsPiece, ::testing::ValuesIn(kPieces));

TEST(AssetsMusic, EveryPieceHasItsOwnCharacter) {
  // Tempo, key and the set of instruments differ from piece to piece.
  std::set<std::tuple<uint32_t, int, int>> tempoAndKey;
  std::set<std::set<int>> bands;
  for (const char* name : kPieces) {
    const Smf smf = LoadSmf(name);
    uint32_t tempo = 0;
    int sharps = 99, minor = -1;
    std::set<int> programs;
    for (const auto& track : smf.tracks) {
      for (const MidiEvent& e : track) {
        if (e.status == 0xFF && e.metaType == 0x51 && e.data.size() == 3 && !tempo)
          tempo = uint32_t(e.data[0]) << 16 | uint32_t(e.data[1]) << 8 | e.data[2];
        if (e.status == 0xFF && e.metaType == 0x59 && e.data.size() == 2) {
          sharps = int8_t(e.data[0]);
          minor = e.data[1];
        }
        if ((e.status & 0xF0) == 0xC0 && (e.status & 15) != 9) programs.insert(e.a);
      }
    }
    EXPECT_TRUE(tempoAndKey.insert({tempo, sharps, minor}).second) << name;
    EXPECT_TRUE(bands.insert(programs).second) << name;
  }
}

// A second run of the generator writes the same sounds and music, byte for
// byte: nothing depends on the time, the machine or unseeded randomness.
TEST(AssetsAudioGenerator, WritesTheSameBytesOnEveryRun) {
  char tmpl[] = "/tmp/oxaudio-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = std::string(tmpl) + "/";
  const std::string command = std::string("'") + ASSETGEN_EXE + "' '" + dir + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::vector<const char*> names = {"SHOT.WAV", "BOM.WAV"};
  names.insert(names.end(), std::begin(kPieces), std::end(kPieces));
  for (const char* name : names) {
    const Bytes again = ReadAll(dir + name);
    EXPECT_FALSE(again.empty()) << name;
    EXPECT_TRUE(again == ReadAll(GameDir() + name)) << name << " differs from the build's copy";
  }
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
