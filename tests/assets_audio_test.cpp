// The generated sounds and music beside the samplegame executable: 16-bit
// PCM WAVE effects (the explosion longer and louder than the shot) and nine
// format-1 MIDI pieces of two to three minutes, drums on channel 10, every
// instrument set up, played rather than quantised, and turning round from
// their last bar into their first without a gap.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string GameDir() {
  std::string exe = SAMPLEGAME_EXE;
  return exe.substr(0, exe.find_last_of('/') + 1);
}

Bytes ReadAll(const std::string& path) {
  const std::string s = oxtest::ReadFile(path);
  return Bytes(s.begin(), s.end());
}

// n bytes at `at`, little-endian unless big.
uint32_t Uint(const Bytes& b, size_t at, int n, bool big = false) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | b[at + size_t(big ? i : n - 1 - i)];
  return v;
}
bool Is(const Bytes& b, size_t at, const char* id) { return !memcmp(&b[at], id, 4); }


struct Wave {
  uint32_t format = 0, channels = 0, rate = 0, byteRate = 0, blockAlign = 0, bits = 0;
  std::vector<double> mono;  // samples (channels averaged), full scale 1.0
  double Seconds() const { return rate ? double(mono.size()) / rate : 0; }
};

// The canonical PCM WAVE the game's loader reads: RIFF form filling the file,
// a 16-byte fmt chunk, then a data chunk of whole frames to the end.
Wave LoadWave(const char* name) {
  Wave w;
  const Bytes f = ReadAll(GameDir() + name);
  const bool ok = f.size() >= 44 && Is(f, 0, "RIFF") && Uint(f, 4, 4) == f.size() - 8 &&
                  Is(f, 8, "WAVE") && Is(f, 12, "fmt ") && Uint(f, 16, 4) == 16 &&
                  Is(f, 36, "data") && Uint(f, 40, 4) == f.size() - 44;
  EXPECT_TRUE(ok) << name << " is missing or not a canonical WAVE file";
  if (!ok) return w;
  w = {Uint(f, 20, 2), Uint(f, 22, 2), Uint(f, 24, 4), Uint(f, 28, 4), Uint(f, 32, 2), Uint(f, 34, 2), {}};
  EXPECT_TRUE(w.bits == 16 && w.channels && w.blockAlign && (f.size() - 44) % w.blockAlign == 0) << name;
  if (w.bits != 16 || !w.channels || !w.blockAlign) return w;
  for (size_t i = 44; i + w.blockAlign <= f.size(); i += w.blockAlign) {
    double sum = 0;
    for (uint32_t c = 0; c < w.channels; ++c) sum += int16_t(Uint(f, i + 2 * c, 2)) / 32768.0;
    w.mono.push_back(sum / w.channels);
  }
  return w;
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
  const double a = 1.0 - std::exp(-2.0 * std::numbers::pi * 200.0 / w.rate);
  double z1 = 0, z2 = 0, low = 0, all = 0;
  for (double s : w.mono) {
    z1 += a * (s - z1);
    z2 += a * (z1 - z2);
    low += z2 * z2;
    all += s * s;
  }
  return all > 0 ? low / all : 0;
}

// Clean 16-bit PCM of their lengths: audible, unclipped, without DC offset,
// silent at both ends (no click); the explosion longer, louder, lower and
// decaying.
TEST(AssetsSoundEffects, AreCleanPcm16AndTheExplosionOutweighsTheShot) {
  const struct {
    const char* name;
    double minSeconds, maxSeconds;
  } effects[] = {{"SHOT.WAV", 0.05, 0.5}, {"BOM.WAV", 0.8, 3.0}};
  for (const auto& e : effects) {
    SCOPED_TRACE(e.name);
    const Wave w = LoadWave(e.name);
    EXPECT_EQ(w.format, 1u) << "PCM";
    EXPECT_TRUE(w.channels == 1 || w.channels == 2);
    EXPECT_TRUE(w.rate == 11025 || w.rate == 22050 || w.rate == 44100 || w.rate == 48000) << w.rate;
    EXPECT_EQ(w.blockAlign, w.channels * 2);
    EXPECT_EQ(w.byteRate, w.rate * w.blockAlign);
    EXPECT_LT(ReadAll(GameDir() + e.name).size(), 400u * 1024);
    EXPECT_GE(w.Seconds(), e.minSeconds);
    EXPECT_LE(w.Seconds(), e.maxSeconds);
    ASSERT_GT(w.mono.size(), 100u);
    double peak = 0, mean = 0;
    int run = 0, longestRun = 0;
    for (double s : w.mono) {
      peak = std::max(peak, std::fabs(s));
      mean += s / double(w.mono.size());
      run = std::fabs(s) >= 32766.0 / 32768.0 ? run + 1 : 0;
      longestRun = std::max(longestRun, run);
    }
    EXPECT_GT(peak, 0.08);  // audible, yet with headroom for overlapping plays
    EXPECT_LT(longestRun, 2) << "clipped";
    EXPECT_LT(std::fabs(mean), 0.01) << "DC offset";
    EXPECT_LT(std::fabs(w.mono.front()), 0.01);
    EXPECT_LT(Rms(w.mono, w.mono.size() - w.rate / 200, w.mono.size()), 0.01);  // last 5 ms
  }
  const Wave shot = LoadWave("SHOT.WAV"), bom = LoadWave("BOM.WAV");
  EXPECT_GT(bom.Seconds(), shot.Seconds() * 3);
  EXPECT_GT(PeakWindowRms(bom), PeakWindowRms(shot) * 1.25);
  const size_t q = bom.mono.size() / 4;
  EXPECT_LT(Rms(bom.mono, 3 * q, 4 * q), Rms(bom.mono, 0, q) / 4);
  EXPECT_GT(LowShare(bom), 0.15);
  EXPECT_GT(LowShare(bom), LowShare(shot));
  // Noise, not a tone: many sign changes a second in its loudest part.
  int crossings = 0;
  for (size_t i = 1; i < q; ++i) crossings += (bom.mono[i - 1] < 0) != (bom.mono[i] < 0);
  EXPECT_GT(double(crossings) / (double(q) / bom.rate), 400.0);
}


struct MidiEvent {
  uint32_t tick;
  uint8_t status;  // 0xFF for meta events, 0xF0/0xF7 for system exclusive
  uint8_t a = 0, b = 0, metaType = 0;
  Bytes data;
  bool Meta(uint8_t type) const { return status == 0xFF && metaType == type; }
};

struct Smf {
  int format = -1, division = 0;
  std::vector<std::vector<MidiEvent>> tracks;
  std::vector<uint32_t> endTicks;  // tick of each track's end-of-track
};

bool ReadVarLen(const Bytes& b, size_t end, size_t* at, uint32_t* value) {
  *value = 0;
  for (int i = 0; i < 4 && *at < end; ++i) {
    const uint8_t byte = b[(*at)++];
    *value = *value << 7 | (byte & 0x7F);
    if (!(byte & 0x80)) return true;
  }
  return false;
}

// A strict reader: the header, then exactly the announced track chunks
// filling the file; each track a list of events with running status ending
// with FF 2F 00 as its very last bytes. Returns what is wrong, or "".
std::string ParseSmf(const Bytes& b, Smf* smf) {
  if (b.size() < 14 || !Is(b, 0, "MThd") || Uint(b, 4, 4, true) != 6) return "bad header";
  smf->format = int(Uint(b, 8, 2, true));
  smf->division = int(Uint(b, 12, 2, true));
  size_t at = 14;
  for (uint32_t t = 0, count = Uint(b, 10, 2, true); t < count; ++t) {
    const std::string track = "track " + std::to_string(t) + ": ";
    if (at + 8 > b.size() || !Is(b, at, "MTrk")) return track + "missing MTrk";
    const size_t end = at + 8 + Uint(b, at + 4, 4, true);
    if (end > b.size()) return track + "chunk size past the file";
    at += 8;
    std::vector<MidiEvent> events;
    uint32_t tick = 0, delta, length;
    uint8_t running = 0;
    bool ended = false;
    while (at < end) {
      if (ended) return track + "events after the end of track";
      if (!ReadVarLen(b, end, &at, &delta) || at >= end) return track + "bad delta time";
      MidiEvent e{tick += delta, b[at], 0, 0, 0, {}};
      if (e.status & 0x80) {
        ++at;
      } else if (!(e.status = running)) {
        return track + "data byte without status";
      }
      if (e.status == 0xFF || e.status == 0xF0 || e.status == 0xF7) {
        running = 0;
        if (e.status == 0xFF && at < end) e.metaType = b[at++];
        if (!ReadVarLen(b, end, &at, &length) || at + length > end) return track + "past the chunk";
        if (e.status == 0xFF) e.data.assign(b.begin() + long(at), b.begin() + long(at + length));
        at += length;
        if (e.Meta(0x2F) && length) return track + "end of track with data";
        ended = e.Meta(0x2F);
      } else if (e.status >= 0xF0) {
        return track + "system message in a file";
      } else {
        running = e.status;
        const size_t n = (e.status & 0xE0) == 0xC0 ? 1 : 2;  // program, pressure: one byte
        if (at + n > end) return track + "truncated channel message";
        e.a = b[at];
        e.b = n == 2 ? b[at + 1] : 0;
        if ((e.a | e.b) & 0x80) return track + "data byte with the top bit set";
        at += n;
      }
      events.push_back(e);
    }
    if (!ended) return track + "no end-of-track event";
    smf->endTicks.push_back(tick);
    smf->tracks.push_back(std::move(events));
  }
  return at == b.size() ? "" : "bytes after the last track";
}

// Seconds up to `tick` through the tempo map (default 120 beats a minute).
double SecondsAt(const Smf& smf, uint32_t tick) {
  std::map<uint32_t, uint32_t> tempo;  // tick -> microseconds per quarter
  for (const auto& track : smf.tracks)
    for (const MidiEvent& e : track)
      if (e.Meta(0x51) && e.data.size() == 3) tempo[e.tick] = Uint(e.data, 0, 3, true);
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

struct Note { uint32_t start, end; int channel, key, velocity; };

// Pairs note-ons with note-offs (velocity 0 is a note-off). A note started
// again while sounding, ended without a start or left sounding is an error.
std::string Pair(const Smf& smf, std::vector<Note>* notes) {
  for (size_t t = 0; t < smf.tracks.size(); ++t) {
    std::map<std::pair<int, int>, std::pair<uint32_t, int>> on;  // start and velocity
    for (const MidiEvent& e : smf.tracks[t]) {
      const int kind = e.status & 0xF0, ch = e.status & 0x0F;
      if (e.status >= 0xF0 || (kind != 0x80 && kind != 0x90)) continue;
      const auto key = std::make_pair(ch, int(e.a));
      const auto it = on.find(key);
      if (kind == 0x90 && e.b > 0) {
        if (it != on.end()) return "note restarted while sounding";
        on[key] = {e.tick, e.b};
      } else {
        if (it == on.end()) return "note-off without note-on";
        notes->push_back({it->second.first, e.tick, ch, e.a, it->second.second});
        on.erase(it);
      }
    }
    if (!on.empty()) return "notes still sounding at the end of track " + std::to_string(t);
  }
  return "";
}

// The reader itself, on a hand-made file: a conductor track with two tempos
// and a track using running status with velocity-0 note-offs; broken copies
// are refused.
TEST(AssetsMidiReader, FollowsRunningStatusAndTheTempoMapAndRejectsBrokenFiles) {
  Bytes good = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0};  // 480 a quarter
  const Bytes conductor = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,        // 0.5 s at 0
                           0x87, 0x40, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // 0.25 s at 960
                           0x87, 0x40, 0xFF, 0x2F, 0x00};                   // end at 1920
  const Bytes notes = {0x00, 0xC0, 0x05, 0x00, 0x90, 0x3C, 0x64,  // program; C4 on
                       0x00, 0x40, 0x64, 0x83, 0x60, 0x3C, 0x00,  // E4 on; 480 later C4 off
                       0x00, 0x40, 0x00, 0x8B, 0x20, 0xFF, 0x2F, 0x00};  // E4 off; end at 1920
  for (const Bytes* body : {&conductor, &notes}) {
    const uint8_t n = uint8_t(body->size());
    good.insert(good.end(), {'M', 'T', 'r', 'k', 0, 0, 0, n});
    good.insert(good.end(), body->begin(), body->end());
  }
  Smf smf;
  std::vector<Note> paired;
  ASSERT_EQ(ParseSmf(good, &smf), "");
  ASSERT_EQ(Pair(smf, &paired), "");
  ASSERT_EQ(paired.size(), 2u);
  EXPECT_TRUE(paired[0].key == 0x3C && paired[1].key == 0x40 && paired[1].end == 480u);
  EXPECT_DOUBLE_EQ(SecondsAt(smf, smf.endTicks[0]), 1.5);  // 960 at 0.5 s a quarter, 960 at 0.25
  Bytes noEnd = good, lostStatus = good;
  noEnd[noEnd.size() - 2] = 0x01;          // FF 2F 00 becomes a text event
  lostStatus[14 + 8 + 20 + 8 + 1] = 0x05;  // the program change loses its status
  for (const Bytes& bad : {Bytes(good.begin(), good.end() - 2), noEnd, lostStatus}) {
    Smf broken;
    EXPECT_NE(ParseSmf(bad, &broken), "");
  }
}

// Each stage's piece, the title's (the seventh stage's) and the ending's.
const char* const kPieces[] = {"BGM1.MID", "BGM2.MID", "BGM3.MID", "BGM4.MID", "BGM5.MID",
                               "BGM6.MID", "BGM7.MID", "BGM8.MID", "BEND.MID"};

// A piece read and paired, with what its events set up; empty and failed if broken.
struct Piece {
  Smf smf;
  std::vector<Note> notes;
  uint32_t tempo = 0;                  // the first, in microseconds a quarter
  int sharps = 99, minor = -1;         // the key signature
  int beatsPerBar = 4;                 // the time signature's numerator
  std::vector<std::pair<uint32_t, int>> expression;  // controller 11: tick, value
  std::map<int, uint32_t> firstProgram;  // channel -> tick
  std::set<int> programs;              // of the melodic channels
  bool bankSelect = false;
  explicit Piece(const char* name) {
    EXPECT_EQ(ParseSmf(ReadAll(GameDir() + name), &smf), "") << name;
    EXPECT_EQ(Pair(smf, &notes), "") << name;
    for (const auto& track : smf.tracks)
      for (const MidiEvent& e : track) {
        const int kind = e.status & 0xF0, ch = e.status & 0x0F;
        if (e.Meta(0x51) && e.data.size() == 3 && !tempo) tempo = Uint(e.data, 0, 3, true);
        if (e.Meta(0x59) && e.data.size() == 2) sharps = int8_t(e.data[0]), minor = e.data[1];
        if (e.Meta(0x58) && e.data.size() == 4) beatsPerBar = e.data[0];
        if (e.status >= 0xF0) continue;
        if (kind == 0xC0 && !firstProgram.count(ch)) firstProgram[ch] = e.tick;
        if (kind == 0xC0 && ch != 9) programs.insert(e.a);
        bankSelect |= kind == 0xB0 && (e.a == 0 || e.a == 32);
        if (kind == 0xB0 && e.a == 11) expression.push_back({e.tick, e.b});
      }
  }
  uint32_t Step() const { return uint32_t(smf.division / 4); }
  uint32_t Bar() const { return uint32_t(smf.division * beatsPerBar); }
  double Ms(double ticks) const { return ticks * tempo / 1000.0 / smf.division; }
  int Tonic() const { return ((sharps * 7 + (minor ? 9 : 0)) % 12 + 12) % 12; }
};

// A note's start from the nearest sixteenth of the grid, in ticks, and
// whether that sixteenth is an off-beat one.
int GridOffset(const Piece& p, uint32_t tick, bool* offBeat) {
  const uint32_t step = p.Step(), nearest = (tick + step / 2) / step;
  *offBeat = nearest % 2 == 1;
  return int(tick) - int(nearest * step);
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
  return v[v.size() / 2];
}

// Format 1 of at least three tracks ending together (a clean restart) after
// two to three minutes, the tempo set at tick 0; drums on channel 10 with
// General MIDI percussion keys; at least three melodic channels, each given
// its program at tick 0 and never a bank select (which could make it a kit).
// Tempo, key and band differ from piece to piece.
TEST(AssetsMusic, EveryPieceIsItsOwnFullArrangementOfTwoToThreeMinutes) {
  std::set<std::tuple<uint32_t, int, int>> tempoAndKey;
  std::set<std::set<int>> bands;
  for (const char* name : kPieces) {
    SCOPED_TRACE(name);
    const Piece piece(name);
    const Smf& smf = piece.smf;
    EXPECT_EQ(smf.format, 1);
    EXPECT_TRUE(smf.division > 0 && !(smf.division & 0x8000)) << "ticks per quarter, not SMPTE";
    ASSERT_GE(smf.tracks.size(), 3u);
    for (uint32_t end : smf.endTicks) EXPECT_EQ(end, smf.endTicks[0]);
    EXPECT_GE(SecondsAt(smf, smf.endTicks[0]), 110.0);
    EXPECT_LE(SecondsAt(smf, smf.endTicks[0]), 180.0);
    EXPECT_TRUE(std::any_of(smf.tracks[0].begin(), smf.tracks[0].end(),
                            [](const MidiEvent& e) { return e.Meta(0x51) && e.tick == 0; }));
    int drumNotes = 0;
    std::set<int> melodic;
    for (const Note& n : piece.notes) {
      if (n.channel != 9) {
        melodic.insert(n.channel);
        continue;
      }
      ++drumNotes;
      EXPECT_TRUE(n.key >= 35 && n.key <= 81) << "percussion key " << n.key;
    }
    EXPECT_GT(drumNotes, 50);
    EXPECT_GE(melodic.size(), 3u) << "melody, harmony and bass";
    for (int ch : melodic)
      EXPECT_EQ(piece.firstProgram.count(ch) ? piece.firstProgram.at(ch) : 1u, 0u) << "channel " << ch;
    EXPECT_FALSE(piece.bankSelect);
    EXPECT_TRUE(tempoAndKey.insert({piece.tempo, piece.sharps, piece.minor}).second);
    EXPECT_TRUE(bands.insert(piece.programs).second);
  }
}

// The game plays a piece again from the top when it ends, so the end must
// lead straight into the opening: the file ends on a bar line, the band
// plays through the last bar (no gap of silence over 0.1 s in the last two
// bars or before the first note) with the dominant in the bass, the first
// bar has the tonic (or the sixth, deceptively) in the bass, and every
// channel in use gets All Notes Off at the end.
TEST(AssetsMusic, EveryPieceTurnsRoundIntoItsOpeningWithoutAGap) {
  for (const char* name : kPieces) {
    SCOPED_TRACE(name);
    const Piece piece(name);
    ASSERT_TRUE(piece.minor != -1 && !piece.smf.endTicks.empty() && piece.tempo)
        << "no key or tempo";
    const uint32_t end = piece.smf.endTicks[0], bar = piece.Bar();
    EXPECT_EQ(end % bar, 0u) << "the end is not a bar line";
    // Silence in the last two bars: the longest stretch no note covers.
    std::vector<std::pair<uint32_t, uint32_t>> spans;
    uint32_t first = end;
    for (const Note& n : piece.notes) {
      first = std::min(first, n.start);
      if (n.end > end - 2 * bar) spans.push_back({std::max(n.start, end - 2 * bar), n.end});
    }
    std::sort(spans.begin(), spans.end());
    uint32_t covered = end - 2 * bar, gap = 0;
    for (const auto& [from, to] : spans) {
      if (from > covered) gap = std::max(gap, from - covered);
      covered = std::max(covered, to);
    }
    gap = std::max(gap, end - std::min(covered, end));
    EXPECT_LE(piece.Ms(gap), 100.0) << "silence before the loop point";
    EXPECT_LE(piece.Ms(first), 100.0) << "silence after the loop point";
    // The pitch class of the lowest note struck at a tick, for the bass.
    auto bassAt = [&](uint32_t tick) {
      int lowest = 128;
      for (const Note& n : piece.notes)
        if (n.channel != 9 && n.start + piece.Step() / 2 >= tick &&
            n.start <= tick + piece.Step() / 2)
          lowest = std::min(lowest, n.key);
      return lowest % 12;
    };
    // The dominant resolves to the tonic, or deceptively to the sixth degree.
    const int opening = bassAt(0);
    EXPECT_TRUE(opening == piece.Tonic() || (!piece.minor && opening == (piece.Tonic() + 9) % 12))
        << "the opening is on " << opening;
    EXPECT_EQ(bassAt(end - bar), (piece.Tonic() + 7) % 12) << "the last bar is not on the dominant";
    std::set<int> used, released;
    for (const Note& n : piece.notes) used.insert(n.channel);
    for (const auto& track : piece.smf.tracks)
      for (const MidiEvent& e : track)
        if ((e.status & 0xF0) == 0xB0 && e.a == 123 && e.tick == end)
          released.insert(e.status & 15);
    EXPECT_EQ(released, used);
  }
}

// Played, not quantised: every note starts within a few milliseconds of
// its sixteenth (most of them off it), and the funk piece alone swings its
// off-beat sixteenths. Velocities rise towards the middle of the four-bar
// phrases.
TEST(AssetsMusic, EveryPieceIsHumanisedNearTheGridAndOnlyTheFunkSwings) {
  for (const char* name : kPieces) {
    SCOPED_TRACE(name);
    const Piece piece(name);
    ASSERT_TRUE(piece.tempo && !piece.notes.empty());
    std::vector<double> on, off;
    for (const Note& n : piece.notes) {
      bool offBeat = false;
      const int offset = GridOffset(piece, n.start, &offBeat);
      (offBeat ? off : on).push_back(offset);
    }
    const double swing = Median(off) - Median(on);
    if (std::string(name) == "BGM6.MID")
      EXPECT_GE(swing, piece.Step() * 0.2) << "the funk is straight";
    else
      EXPECT_LE(std::abs(piece.Ms(swing)), 3.0) << "a straight piece swings";
    int offGrid = 0, far = 0;
    for (double o : on) offGrid += o != 0, far += std::abs(piece.Ms(o)) > 6.0;
    for (double o : off) far += std::abs(piece.Ms(o - swing)) > 6.0;
    EXPECT_GE(offGrid, int(on.size()) / 2) << "quantised to the grid";
    EXPECT_EQ(far, 0) << "notes more than 6 ms off the (swung) grid";

    double middle = 0, edges = 0;
    int middleCount = 0, edgesCount = 0;
    for (const Note& n : piece.notes) {
      const uint32_t inPhrase = n.start % (4 * piece.Bar()) / piece.Bar();
      if (inPhrase == 1 || inPhrase == 2)
        middle += n.velocity, ++middleCount;
      else
        edges += n.velocity, ++edgesCount;
    }
    ASSERT_TRUE(middleCount && edgesCount);
    EXPECT_GT(middle / middleCount, edges / edgesCount * 1.02) << "flat phrases";
  }
}

// The shape of each piece: a breakdown (expression down, a four-bar block
// at most 60% as busy and loud as the busiest) and the busiest block after
// it, in the last part; drums varied by section and phrase (fills,
// ghost notes: many different bars); and no minor second or major seventh
// between notes struck together on a strong beat (the bar's first and, in
// four time, third beat) and the other pitched notes sounding then.
TEST(AssetsMusic, EveryPieceBuildsVariesItsDrumsAndAvoidsStrongBeatClashes) {
  for (const char* name : kPieces) {
    SCOPED_TRACE(name);
    const Piece piece(name);
    ASSERT_TRUE(piece.tempo && !piece.notes.empty());
    const uint32_t bar = piece.Bar(), end = piece.smf.endTicks[0];
    const size_t blocks = end / (4 * bar);
    std::vector<double> energy(blocks, 0);
    for (const Note& n : piece.notes)
      if (n.start / (4 * bar) < blocks) energy[n.start / (4 * bar)] += n.velocity;
    const auto loudest = std::max_element(energy.begin(), energy.end());
    const auto quietest = std::min_element(energy.begin(), energy.end());
    EXPECT_LE(*quietest, *loudest * 0.6) << "no breakdown";
    EXPECT_GT(loudest, quietest) << "the peak comes before the breakdown";
    EXPECT_GE(size_t(loudest - energy.begin()), blocks / 2) << "no lift in the second half";
    EXPECT_TRUE(std::any_of(piece.expression.begin(), piece.expression.end(),
                            [](const auto& e) { return e.first > 0 && e.second < 100; }))
        << "no swell in the expression";

    std::map<uint32_t, std::set<std::pair<uint32_t, int>>> drumBars;
    for (const Note& n : piece.notes)
      if (n.channel == 9) {
        const uint32_t step = (n.start + piece.Step() / 2) / piece.Step();
        drumBars[n.start / bar].insert({step % (bar / piece.Step()), n.key});
      }
    std::set<std::set<std::pair<uint32_t, int>>> distinct;
    for (const auto& [b, strokes] : drumBars) distinct.insert(strokes);
    EXPECT_GE(distinct.size(), 24u) << "the drums repeat too few bars";

    const uint32_t strongEvery = piece.beatsPerBar == 4 ? bar / 2 : bar;
    const uint32_t near = piece.Step() / 2;
    int strong = 0, clashes = 0;
    for (const Note& a : piece.notes) {
      if (a.channel == 9) continue;
      const uint32_t beat = (a.start + near) / strongEvery * strongEvery;
      if (a.start + near < beat || a.start > beat + near) continue;  // not struck on a strong beat
      ++strong;
      for (const Note& b : piece.notes) {
        if (b.channel == 9 || &a == &b || b.start > beat + near || b.end <= beat + near) continue;
        const int interval = std::abs(a.key - b.key) % 12;
        if (interval == 1 || interval == 11) {
          ++clashes;
          ADD_FAILURE() << "clash at tick " << beat << ": key " << a.key << " (channel "
                        << a.channel << ") against " << b.key << " (channel " << b.channel << ")";
        }
      }
      if (clashes > 5) break;
    }
    EXPECT_GT(strong, 100);
  }
}

// A second run writes the same sounds and music byte for byte: nothing
// depends on the time, the machine or unseeded randomness.
TEST(AssetsAudioGenerator, WritesTheSameBytesOnEveryRun) {
  const std::string& dir = oxtest::DataDir();
  ASSERT_EQ(std::system(("'" + std::string(ASSETGEN_EXE) + "' '" + dir + "' 2>/dev/null").c_str()), 0);
  std::vector<const char*> names = {"SHOT.WAV", "BOM.WAV"};
  names.insert(names.end(), std::begin(kPieces), std::end(kPieces));
  for (const char* name : names) {
    const Bytes again = ReadAll(dir + name);
    EXPECT_TRUE(!again.empty() && again == ReadAll(GameDir() + name)) << name;
  }
}

}  // namespace
