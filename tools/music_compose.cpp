#include "tools/music_compose.h"
#include "core/ox_app.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

namespace music {

namespace {

// One note-start of a pattern over a section: its step from the section's
// start, its length in steps (the onset and the holds after it) and its
// character.
struct Onset {
  int step;
  int length;
  char symbol;
};

std::string Clean(std::string_view pattern) {
  std::string out;
  for (char c : pattern)
    if (c != ' ' && c != '|') out.push_back(c);
  return out;
}

// The onsets of `pattern` repeated over `steps` steps.
std::vector<Onset> Hits(std::string_view patternText, int steps) {
  const std::string pattern = Clean(patternText);
  std::vector<Onset> hits;
  if (pattern.empty()) return hits;
  for (int s = 0; s < steps; ++s) {
    const char c = pattern[size_t(s) % pattern.size()];
    if (c == '.') continue;
    if (c == '-') {
      if (!hits.empty() && hits.back().step + hits.back().length == s) ++hits.back().length;
      continue;
    }
    hits.push_back({s, 1, c});
  }
  return hits;
}

int Mod12(int v) { return ((v % 12) + 12) % 12; }

// The key of pitch class `pc` in [low, low + 11].
int KeyAtOrAbove(int pc, int low) { return low + Mod12(pc - low); }

uint32_t Gated(int steps, double gate) { return uint32_t(std::max(30.0, steps * kStep * gate)); }

int Humanize(assets::Rng& rng, int velocity, int spread) {
  return std::clamp(velocity + rng.Range(-spread, spread), 1, 127);
}

int AccentVelocity(char symbol, int velocity) {
  switch (symbol) {
    case 'X':
      return velocity + 16;
    case 'o':
      return velocity * 55 / 100;
    case 'r':
      return velocity * 70 / 100;
    default:
      return velocity;
  }
}

// A scale index moved to the nearest index whose pitch is a chord tone,
// searching first in the direction of `preferUp`; a candidate that would
// leap a tritone from `previousKey` (awkward to sing) is passed over while
// another one is near.
int SnapToChord(const Scale& scale, const Chord& chord, int index, bool preferUp, int previousKey) {
  int fallback = index;
  bool found = false;
  for (int d = 0; d < 4; ++d) {
    for (int candidate : {preferUp ? index + d : index - d, preferUp ? index - d : index + d}) {
      const int key = scale.Pitch(candidate);
      if (!chord.Has(key)) continue;
      if (std::abs(key - previousKey) % 12 != 6) return candidate;
      if (!found) fallback = candidate;
      found = true;
    }
  }
  return fallback;
}

// The key of a scale index under a chord: where the chord holds a tone a
// semitone away that the scale lacks (the raised seventh of a major
// dominant in minor, the flat seventh of a borrowed chord), the melody
// takes the chord's tone.
int KeyUnderChord(const Scale& scale, const Chord& chord, int index) {
  const int key = scale.Pitch(index);
  if (chord.Has(key)) return key;
  for (int d : {1, -1}) {
    if (chord.Has(key + d) && !scale.Contains(key + d)) return key + d;
  }
  return key;
}

// Keeps `index` inside [low, high] by folding it back by octaves.
int Fold(int index, int low, int high) {
  while (index > high) index -= 7;
  while (index < low) index += 7;
  return std::min(index, high);
}

}  // namespace

// --- Song ------------------------------------------------------------------

Song::Song(std::string title, double beatsPerMinute, int beatsPerBar, Scale scale, uint64_t seed)
    : title_(std::move(title)),
      bpm_(beatsPerMinute),
      beatsPerBar_(beatsPerBar),
      scale_(scale),
      rng_(seed),
      timing_(seed ^ 0x7F4A7C15u) {}

int Song::AddPart(const PartSetup& setup) {
  parts_.push_back({setup, midi::Track(setup.name)});
  return int(parts_.size()) - 1;
}

void Song::Play(int part, uint32_t tick, uint32_t length, int key, int velocity) {
  const bool drums = Channel(part) == midi::kDrumChannel;
  // Phrase shape: a rise to the middle of each four-bar phrase and back.
  const uint32_t phrase = BarTick(4);
  const double position = double(tick % phrase) / double(phrase);
  double shape = 0.93 + 0.12 * std::sin(std::numbers::pi * position);
  // Metre: downbeats lean in, off-beat sixteenths lie back.
  if (!drums) {
    if (tick % BarTick(1) == 0)
      shape *= 1.05;
    else if (tick % kStep == 0 && (tick / kStep) % 2 == 1)
      shape *= 0.94;
  }
  const int v = std::clamp(int(std::lround(velocity * shape)), 1, 127);

  // Swing delays the off-beat sixteenths; the note keeps its end.
  if (swing_ > 0 && tick % (2 * kStep) == kStep) {
    const uint32_t late = uint32_t(std::lround(swing_ * kStep));
    tick += late;
    length = length > late + 30 ? length - late : std::min<uint32_t>(length, 30);
  }
  // A few milliseconds either way (drums tighter), never before the start.
  const double ticksPerMs = kTicksPerQuarter * bpm_ / 60000.0;
  const double spreadMs = drums ? 2.0 : 3.5;
  const int offset = int(std::lround(timing_.Signed() * spreadMs * ticksPerMs));
  tick = offset < 0 && uint32_t(-offset) > tick ? 0 : uint32_t(int64_t(tick) + offset);
  parts_[size_t(part)].track.Note(tick, length, Channel(part), key, v);
}

Section Song::Chords(std::string_view progression) {
  Section section{bars_, 0};
  size_t at = 0;
  while (at < progression.size()) {
    while (at < progression.size() && (progression[at] == ' ' || progression[at] == '|')) ++at;
    if (at >= progression.size()) break;
    size_t end = at;
    while (end < progression.size() && progression[end] != ' ' && progression[end] != '|') ++end;
    const std::string_view token = progression.substr(at, end - at);
    at = end;

    std::vector<Chord> chords;
    size_t from = 0;
    while (from <= token.size()) {
      size_t slash = token.find('/', from);
      if (slash == std::string_view::npos) slash = token.size();
      Chord chord;
      if (!ParseChord(scale_, token.substr(from, slash - from), &chord)) {
        // Kept as the tonic so the layers still have harmony; Write fails.
        fprintf(stderr, "assetgen: unreadable chord '%.*s' in %s\n", int(token.size()),
                token.data(), title_.c_str());
        ParseChord(scale_, scale_.IsMinor() ? "i" : "I", &chord);
        broken_ = true;
      }
      chords.push_back(chord);
      from = slash + 1;
    }
    const uint32_t barStart = BarTick(bars_);
    const uint32_t barLength = BarTick(1);
    for (size_t i = 0; i < chords.size(); ++i) {
      harmony_.push_back({barStart + uint32_t(barLength * i / chords.size()),
                          barStart + uint32_t(barLength * (i + 1) / chords.size()), chords[i]});
    }
    ++bars_;
    ++section.bars;
  }
  return section;
}

const Chord& Song::ChordAt(uint32_t tick) const {
  static const Chord kTonicTriad;  // before any harmony: a major triad on C
  if (harmony_.empty()) return kTonicTriad;
  for (const Span& span : harmony_)
    if (tick < span.end) return span.chord;
  return harmony_.back().chord;
}

uint32_t Song::ChordEnd(uint32_t tick) const {
  for (const Span& span : harmony_)
    if (tick < span.end) return span.end;
  return BarTick(bars_);
}

bool Song::Write(const std::string& path) const {
  if (broken_ || harmony_.empty()) {
    fprintf(stderr, "assetgen: %s has no usable harmony\n", title_.c_str());
    return false;
  }
  std::vector<midi::Track> tracks;
  midi::Track conductor(title_);
  conductor.TimeSignature(0, beatsPerBar_, 4);
  conductor.KeySignature(0, scale_.Sharps(), scale_.IsMinor());
  conductor.Tempo(0, bpm_);
  tracks.push_back(conductor);
  const uint32_t end = BarTick(bars_);
  for (const Part& part : parts_) {
    midi::Track track = part.track;
    const int ch = part.setup.channel;
    // Set-up at the start, so that every restart of the piece begins from
    // the same instrument state.
    track.Control(0, ch, 121, 0);  // reset controllers
    track.Program(0, ch, part.setup.program);
    track.Control(0, ch, 7, std::clamp(int(std::lround(part.setup.volume * level_)), 0, 127));
    track.Control(0, ch, 10, part.setup.pan);
    track.Control(0, ch, 11, 127);
    track.Control(0, ch, 91, part.setup.reverb);
    track.Control(0, ch, 93, part.setup.chorus);
    // Nothing may hang over into the restart.
    track.Control(end, ch, 64, 0);
    track.Control(end, ch, 123, 0);
    tracks.push_back(std::move(track));
  }
  return midi::WriteFile(path, kTicksPerQuarter, tracks, end);
}

// --- Accompaniment -----------------------------------------------------------

void Bass(Song& song, int part, Section section, std::string_view pattern, int low, int velocity,
          double gate) {
  const uint32_t start = song.BarTick(section.bar);
  const std::vector<Onset> hits = Hits(pattern, section.bars * song.StepsPerBar());
  for (size_t i = 0; i < hits.size(); ++i) {
    const Onset& h = hits[i];
    const uint32_t tick = start + uint32_t(h.step * kStep);
    const Chord& chord = song.ChordAt(tick);
    const int root = KeyAtOrAbove(chord.root, low);
    const uint32_t nextTick = start + uint32_t((h.step + h.length) * kStep);
    const Chord& next = song.ChordAt(std::min(nextTick, song.BarTick(song.Bars()) - 1));
    const int nextRoot = KeyAtOrAbove(next.root, low);
    int key = root;
    switch (h.symbol) {
      case 'O':
        key = root + 12;
        break;
      case 'F':
        key = root + 7;
        break;
      case 'f':
        key = root - 5;
        break;
      case 'T':
        key = root + (chord.Has(chord.root + 4) ? 4 : 3);
        break;
      case 'S':
        key = root + (chord.count > 3 ? chord.tones[3] % 12 : 12);
        break;
      case 'A':
        key = nextRoot >= root && nextRoot - 1 >= low ? nextRoot - 1 : nextRoot + 1;
        break;
      case 'N':
        key = nextRoot;
        break;
      default:
        break;
    }
    const int v = AccentVelocity(h.symbol == 'r' ? 'r' : 'x', velocity) +
                  (h.step % song.StepsPerBar() == 0 ? 8 : 0);
    song.Play(part, tick, Gated(h.length, gate), key,
                          Humanize(song.Random(), v, 4));
  }
}

void Comp(Song& song, int part, Section section, std::string_view pattern, int voices, int low,
          int high, int velocity, double gate) {
  const uint32_t start = song.BarTick(section.bar);
  std::vector<int> previous;
  for (const Onset& h : Hits(pattern, section.bars * song.StepsPerBar())) {
    const uint32_t tick = start + uint32_t(h.step * kStep);
    const std::vector<int> keys = Voice(song.ChordAt(tick), voices, low, high, previous);
    previous = keys;
    const int v = AccentVelocity(h.symbol, velocity);
    for (int key : keys)
      song.Play(part, tick, Gated(h.length, gate), key, Humanize(song.Random(), v, 3));
  }
}

void Power(Song& song, int part, Section section, std::string_view pattern, int low, int velocity,
           double gate) {
  const uint32_t start = song.BarTick(section.bar);
  for (const Onset& h : Hits(pattern, section.bars * song.StepsPerBar())) {
    const uint32_t tick = start + uint32_t(h.step * kStep);
    const int root = KeyAtOrAbove(song.ChordAt(tick).root, low);
    const int v = AccentVelocity(h.symbol, velocity);
    for (int key : {root, root + 7, root + 12})
      song.Play(part, tick, Gated(h.length, gate), key, Humanize(song.Random(), v, 3));
  }
}

void Pad(Song& song, int part, Section section, int voices, int low, int high, int velocity,
         const std::vector<MelodyNote>* melody) {
  const uint32_t end = song.BarTick(section.bar + section.bars);
  std::vector<int> previous;
  for (uint32_t tick = song.BarTick(section.bar); tick < end;) {
    const uint32_t chordEnd = std::min(song.ChordEnd(tick), end);
    const std::vector<int> keys = Voice(song.ChordAt(tick), voices, low, high, previous);
    previous = keys;
    // Tones a semitone (or a major seventh) from a melody note of an eighth
    // or more under this chord are left out, keeping at least two voices.
    std::vector<bool> drop(keys.size(), false);
    size_t kept = keys.size();
    if (melody)
      for (const MelodyNote& n : *melody) {
        if (n.tick < tick || n.tick >= chordEnd || n.length < uint32_t(kTicksPerQuarter) * 9 / 20)
          continue;
        for (size_t i = 0; i < keys.size() && kept > 2; ++i) {
          const int interval = Mod12(keys[i] - n.key);
          if (!drop[i] && (interval == 1 || interval == 11)) {
            drop[i] = true;
            --kept;
          }
        }
      }
    for (size_t i = 0; i < keys.size(); ++i)
      if (!drop[i])
        song.Play(part, tick, chordEnd - tick, keys[i], Humanize(song.Random(), velocity, 3));
    tick = chordEnd;
  }
}

void Arpeggio(Song& song, int part, Section section, std::string_view pattern, ArpOrder order,
              int notes, int low, int high, int velocity, double gate) {
  const uint32_t start = song.BarTick(section.bar);
  std::vector<int> keys;
  const Chord* current = nullptr;
  int position = 0;
  for (const Onset& h : Hits(pattern, section.bars * song.StepsPerBar())) {
    const uint32_t tick = start + uint32_t(h.step * kStep);
    const Chord& chord = song.ChordAt(tick);
    if (&chord != current) {
      keys = Voice(chord, notes, low, high, keys);
      current = &chord;
      position = 0;
    }
    const int n = int(keys.size());
    int index = 0;
    switch (order) {
      case ArpOrder::Up:
        index = position % n;
        break;
      case ArpOrder::Down:
        index = n - 1 - position % n;
        break;
      case ArpOrder::UpDown: {
        const int cycle = std::max(1, 2 * n - 2);
        const int p = position % cycle;
        index = p < n ? p : cycle - p;
        break;
      }
      case ArpOrder::Broken: {
        // 1 3 2 4 ...: low, high-ish, middle, top.
        static constexpr int kBroken[] = {0, 2, 1, 3, 2, 4, 3, 5};
        index = kBroken[position % 8] % n;
        break;
      }
    }
    ++position;
    const int v = AccentVelocity(h.symbol, velocity) + (h.step % 4 == 0 ? 6 : 0);
    song.Play(part, tick, Gated(h.length, gate), keys[size_t(index)],
                          Humanize(song.Random(), v, 4));
  }
}

void GuideTones(Song& song, int part, Section section, int low, int high, int velocity) {
  const uint32_t end = song.BarTick(section.bar + section.bars);
  int previous = (low + high) / 2;
  for (uint32_t tick = song.BarTick(section.bar); tick < end;) {
    const uint32_t chordEnd = std::min(song.ChordEnd(tick), end);
    const Chord& chord = song.ChordAt(tick);
    // Candidates: the third and the seventh, else the fifth; the nearest
    // one to the previous note wins.
    int best = previous, bestDistance = 1000;
    for (int tone = 1; tone < chord.count; ++tone) {
      const int pc = chord.Tone(tone);
      for (int key = low; key <= high; ++key) {
        if (Mod12(key) != pc) continue;
        const int distance = std::abs(key - previous) + (tone == 2 ? 2 : 0);
        if (distance < bestDistance) {
          bestDistance = distance;
          best = key;
        }
      }
    }
    previous = best;
    song.Play(part, tick, chordEnd - tick, best,
                          Humanize(song.Random(), velocity, 3));
    tick = chordEnd;
  }
}

// --- Drums ------------------------------------------------------------------

void Hit(Song& song, int part, uint32_t tick, int key, int velocity) {
  song.Play(part, tick, kStep, key, std::clamp(velocity, 1, 127));
}

namespace {

int DrumVelocity(char c) {
  switch (c) {
    case 'X':
      return 118;
    case 'x':
      return 94;
    case 'o':
      return 52;
    default:
      return 0;
  }
}

// One bar of a groove or fill as a grid: strokes[line][step].
struct DrumBar {
  std::vector<int> keys;
  std::vector<std::string> strokes;
};

DrumBar BarOf(const Groove& lines, int bar, int perBar, bool whole) {
  DrumBar out;
  for (const DrumLine& line : lines) {
    const std::string steps = Clean(line.steps);
    if (steps.empty()) continue;
    const size_t barsInLine = std::max<size_t>(1, steps.size() / size_t(perBar));
    const size_t offset = whole ? 0 : (size_t(bar) % barsInLine) * size_t(perBar);
    std::string row;
    for (int s = 0; s < perBar; ++s) row.push_back(steps[(offset + size_t(s)) % steps.size()]);
    out.keys.push_back(line.key);
    out.strokes.push_back(row);
  }
  return out;
}

bool IsKick(int key) { return key == 35 || key == 36; }
bool IsCymbal(int key) { return key == 49 || key == 51 || key == 55 || key == 57; }

// A drummer's touch on a plain bar: a ghost note on an empty off-beat of
// the snare (or the second line), or an extra kick late in the bar.
void Embellish(assets::Rng& rng, DrumBar& bar, int perBar) {
  if (bar.keys.empty()) return;
  const bool kick = IsKick(bar.keys[0]) && rng.Chance(0.5);
  const size_t line = kick ? 0 : std::min<size_t>(1, bar.keys.size() - 1);
  std::string& row = bar.strokes[line];
  for (int tries = 0; tries < 8; ++tries) {
    const int step = kick ? perBar / 2 + 2 * rng.Range(0, perBar / 4 - 1)
                          : 2 * rng.Range(0, perBar / 2 - 1) + 1;
    if (row[size_t(step)] != '.') continue;
    row[size_t(step)] = kick ? 'x' : 'o';
    return;
  }
}

// The last beat of a phrase: the fill's last beat, or its third beat moved
// there, over the groove's kicks and cymbals.
void PhraseEndFill(assets::Rng& rng, DrumBar& bar, const DrumBar& fill, int perBar) {
  const int beat = 4, from = perBar - beat;
  const int source = rng.Chance(0.5) ? from : std::max(0, from - beat);
  for (size_t i = 0; i < bar.keys.size(); ++i)
    if (!IsKick(bar.keys[i]) && !IsCymbal(bar.keys[i]))
      for (int s = from; s < perBar; ++s) bar.strokes[i][size_t(s)] = '.';
  for (size_t i = 0; i < fill.keys.size(); ++i) {
    if (IsKick(fill.keys[i])) continue;
    size_t line = 0;
    while (line < bar.keys.size() && bar.keys[line] != fill.keys[i]) ++line;
    if (line == bar.keys.size()) {
      bar.keys.push_back(fill.keys[i]);
      bar.strokes.push_back(std::string(size_t(perBar), '.'));
    }
    for (int s = 0; s < beat; ++s) {
      const char c = fill.strokes[i][size_t(source + s)];
      if (c != '.') bar.strokes[line][size_t(from + s)] = c;
    }
  }
}

}  // namespace

void Drums(Song& song, int part, Section section, const Groove& groove, const Groove& fill,
           int fillEvery, bool fillLast, bool crash) {
  const int perBar = song.StepsPerBar();
  const DrumBar fillBar = BarOf(fill, 0, perBar, true);
  for (int b = 0; b < section.bars; ++b) {
    const bool isFill = !fill.empty() && ((fillEvery > 0 && (b + 1) % fillEvery == 0) ||
                                          (fillLast && b == section.bars - 1));
    DrumBar bar = isFill ? fillBar : BarOf(groove, b, perBar, false);
    if (!isFill) {
      if (b % 4 == 3 && !fill.empty())
        PhraseEndFill(song.Random(), bar, fillBar, perBar);
      else if (b % 2 == 1)
        Embellish(song.Random(), bar, perBar);
    }
    const uint32_t barTick = song.BarTick(section.bar + b);
    for (size_t i = 0; i < bar.keys.size(); ++i)
      for (int s = 0; s < perBar; ++s) {
        const int v = DrumVelocity(bar.strokes[i][size_t(s)]);
        if (v == 0) continue;
        Hit(song, part, barTick + uint32_t(s * kStep), bar.keys[i], Humanize(song.Random(), v, 6));
      }
    if (crash && b == 0) Hit(song, part, barTick, 49, 112);
  }
}

void Swell(Song& song, int part, Section section, int from, int to) {
  const int beats = section.bars * song.BeatsPerBar();
  for (int p = part < 0 ? 0 : part; p < (part < 0 ? song.Parts() : part + 1); ++p)
    for (int beat = 0; beat < beats; ++beat) {
      const int value = from + (to - from) * beat / std::max(1, beats - 1);
      song.Track(p).Control(song.BarTick(section.bar) + uint32_t(beat * kTicksPerQuarter),
                            song.Channel(p), 11, std::clamp(value, 0, 127));
    }
}

// --- Melody -----------------------------------------------------------------

Motif MakeMotif(assets::Rng& rng, std::string_view rhythmText, int start, Shape shape) {
  Motif motif{Clean(rhythmText), {start}};
  int notes = 0;
  for (char c : motif.rhythm)
    if (c != '.' && c != '-') ++notes;
  int position = 0;
  int pendingReturn = 0;  // after a leap: the direction of the step back
  for (int i = 1; i < notes; ++i) {
    // Rise through the first part of the motif, fall towards its end.
    const int direction = i < notes * 3 / 5 ? 1 : -1;
    int move;
    if (pendingReturn) {
      move = pendingReturn;
      pendingReturn = 0;
    } else {
      const double r = rng.Unit();
      const double repeat = shape == Shape::Driving ? 0.28 : 0.1;
      const double leap = shape == Shape::Heroic ? 0.22 : 0.1;
      const double third = 0.25;
      int size;
      if (r < repeat) {
        size = 0;
      } else if (r < repeat + leap) {
        size = shape == Shape::Heroic ? rng.Range(3, 4) : 3;
      } else if (r < repeat + leap + third) {
        size = 2;
      } else {
        size = 1;
      }
      const int sign = rng.Chance(0.78) ? direction : -direction;
      move = size * sign;
      if (size >= 3) pendingReturn = -sign;
    }
    // Keep the motif within about an octave of its start.
    if (std::abs(position + move) > 6) move = -move;
    position += move;
    motif.contour.push_back(move);
  }
  return motif;
}

namespace {

// A note of a bar's plan: step in the bar, length in steps, move from the
// previous note.
struct Cell {
  int step;
  int length;
  int move;
};

std::vector<Cell> Cells(std::string_view rhythm, const std::vector<int>& moves, size_t& cursor) {
  std::vector<Cell> cells;
  for (const Onset& h : Hits(rhythm, int(rhythm.size()))) {
    const int move = cursor < moves.size() ? moves[cursor] : 0;
    ++cursor;
    cells.push_back({h.step, h.length, move});
  }
  return cells;
}

// Splits some long notes in two: the note, then a neighbour or passing step.
void Ornament(assets::Rng& rng, std::vector<Cell>& cells, double chance) {
  std::vector<Cell> out;
  for (size_t i = 0; i < cells.size(); ++i) {
    Cell c = cells[i];
    if (c.length >= 4 && c.length % 2 == 0 && rng.Chance(chance)) {
      const int half = c.length / 2;
      const int toward = i + 1 < cells.size() ? cells[i + 1].move : 0;
      const int step = toward > 0 ? 1 : toward < 0 ? -1 : (rng.Chance(0.5) ? 1 : -1);
      out.push_back({c.step, half, c.move});
      out.push_back({c.step + half, c.length - half, step});
      if (i + 1 < cells.size()) cells[i + 1].move -= step;
    } else {
      out.push_back(c);
    }
  }
  cells = out;
}

class MelodyWriter {
 public:
  MelodyWriter(Song& song, int part, const MelodyStyle& style)
      : song_(song), part_(part), style_(style), scale_(song.Key()) {}

  // Plays the cells of one bar; `absoluteStart` replaces the first note's
  // move with a fixed scale index.
  void Bar(int bar, const std::vector<Cell>& cells, const int* absoluteStart) {
    for (size_t i = 0; i < cells.size(); ++i) {
      const Cell& c = cells[i];
      int index = (i == 0 && absoluteStart) ? *absoluteStart : last_ + c.move;
      if (index > style_.high) index = last_ - std::abs(c.move);
      if (index < style_.low) index = last_ + std::abs(c.move);
      index = Fold(index, style_.low, style_.high);
      const uint32_t tick = song_.BarTick(bar) + uint32_t(c.step * kStep);
      const bool strong = IsStrong(c.step, c.length);
      const Chord& chord = song_.ChordAt(tick);
      if (strong) {
        index =
            Fold(SnapToChord(scale_, chord, index, c.move >= 0, lastKey_), style_.low, style_.high);
      } else if (lastKey_ >= 0 &&
                 std::abs(KeyUnderChord(scale_, chord, index) - lastKey_) % 12 == 6) {
        // A passing note that would leap a tritone steps back by one.
        index += index > last_ ? -1 : 1;
      }
      Emit(tick, c.length, index, strong, c.step == 0 ? 10 : 0);
    }
  }

  // A cadence bar: the notes of `rhythm` walk by step to the target degree
  // (tonic when closed, else the fifth or the second), landing on the
  // last note.
  void Cadence(int bar, std::string_view rhythm, bool closed) {
    std::vector<Onset> hits = Hits(rhythm, int(Clean(rhythm).size()));
    if (hits.empty()) return;
    const Chord& lastChord = song_.ChordAt(song_.BarTick(bar) + uint32_t(hits.back().step * kStep));
    int target;
    if (closed) {
      target = Nearest({0}, last_);
    } else {
      // The fifth or the second, whichever the chord holds; failing both,
      // another of its tones away from the tonic.
      std::vector<int> degrees;
      for (int d : {4, 1})
        if (lastChord.Has(scale_.Pitch(d))) degrees.push_back(d);
      for (int d : {2, 6})
        if (degrees.empty() && lastChord.Has(scale_.Pitch(d))) degrees.push_back(d);
      if (degrees.empty()) degrees = {4};
      target = Nearest(degrees, last_);
    }
    target = Fold(target, style_.low, style_.high);
    const int approach = int(hits.size()) - 1;
    const int from = last_ >= target ? 1 : -1;  // approach from above or below
    for (int i = 0; i < int(hits.size()); ++i) {
      const Onset& h = hits[size_t(i)];
      int index = i == approach ? target : target + from * (approach - i);
      const uint32_t tick = song_.BarTick(bar) + uint32_t(h.step * kStep);
      // A long approach note is heard against the chord: it becomes a chord
      // tone, staying on its side of the target.
      const Chord& chord = song_.ChordAt(tick);
      const bool heard = i == approach || IsStrong(h.step, h.length) || h.length >= 3;
      if (i != approach && heard) {
        for (int candidate : {index, index + from, index - from, index + 2 * from}) {
          if (chord.Has(scale_.Pitch(candidate))) {
            index = candidate;
            break;
          }
        }
      }
      index = Fold(index, style_.low, style_.high);
      Emit(tick, h.length, index, heard, i == approach ? 6 : 0);
    }
  }

  const std::vector<MelodyNote>& Notes() const { return notes_; }
  int Last() const { return last_; }
  void SetLast(int index) { last_ = index; }

 private:
  // Notes heard against the harmony: on the bar's main beats, long, on a
  // beat and longer than a sixteenth, or held across the next beat.
  bool IsStrong(int step, int length) const {
    const int perBar = song_.StepsPerBar();
    if (step % perBar == 0) return true;
    if (perBar == 16 && step % 8 == 0) return true;
    if (length >= 4) return true;
    if (step % 4 == 0 && length >= 2) return true;
    return step % 4 + length > 4;
  }

  int Nearest(std::initializer_list<int> degrees, int from) const {
    return Nearest(std::vector<int>(degrees), from);
  }
  int Nearest(const std::vector<int>& degrees, int from) const {
    int best = from, bestDistance = 1000;
    for (int d : degrees)
      for (int octave = -2; octave <= 3; ++octave) {
        const int index = d + 7 * octave;
        if (index < style_.low || index > style_.high) continue;
        const int distance = std::abs(index - from);
        if (distance < bestDistance) {
          bestDistance = distance;
          best = index;
        }
      }
    return best;
  }

  void Emit(uint32_t tick, int steps, int index, bool strong, int accent) {
    const Chord& chord = song_.ChordAt(tick);
    const int key = KeyUnderChord(scale_, chord, index);
    // Louder towards the top of the range, a touch of natural variation.
    const int height = (index - style_.low) * 12 / std::max(1, style_.high - style_.low);
    const int velocity = Humanize(song_.Random(), style_.velocity + accent + height - 6, 3);
    const uint32_t length = Gated(steps, style_.gate);
    song_.Play(part_, tick, length, key, velocity);
    notes_.push_back({tick, length, key, index, velocity, strong});
    last_ = index;
    lastKey_ = key;
  }

  Song& song_;
  int part_;
  const MelodyStyle& style_;
  const Scale& scale_;
  std::vector<MelodyNote> notes_;
  int last_ = 0;
  int lastKey_ = -1;  // key of the previous note, -1 before the first
};

}  // namespace

std::vector<MelodyNote> Melody(Song& song, int part, Section section, const Motif& motif,
                               const MelodyStyle& style) {
  MelodyWriter writer(song, part, style);
  assets::Rng& rng = song.Random();
  const int perBar = song.StepsPerBar();
  const std::string rhythm = Clean(motif.rhythm);
  const std::string first = rhythm.substr(0, size_t(perBar));
  const std::string second =
      rhythm.size() >= size_t(2 * perBar) ? rhythm.substr(size_t(perBar), size_t(perBar)) : first;
  std::vector<int> moves(motif.contour.begin(), motif.contour.end());
  const int start = moves.empty() ? 4 : moves[0];
  writer.SetLast(start);

  const int phrases = section.bars / 4;
  for (int p = 0; p < phrases; ++p) {
    const int bar = section.bar + p * 4;
    const bool last = p == phrases - 1;
    const bool closed = last ? style.closeLast : p % 2 == 1;
    size_t cursor = 0;
    std::vector<Cell> a = Cells(first, moves, cursor);
    std::vector<Cell> b = Cells(second, moves, cursor);
    // Consequent phrases and later statements vary the second bar.
    if (p % 2 == 1 || style.variation > 0) Ornament(rng, b, 0.35 + 0.15 * style.variation);
    if (style.variation > 1) Ornament(rng, a, 0.25);
    writer.Bar(bar, a, &start);
    writer.Bar(bar + 1, b, nullptr);

    // Third bar: the first bar again as a sequence a step or a third away,
    // or turned upside down.
    size_t again = 0;
    std::vector<Cell> c = Cells(first, moves, again);
    const int choice = rng.Range(0, 2);
    if (choice == 2 || (p % 2 == 1 && choice == 1)) {
      for (size_t i = 1; i < c.size(); ++i) c[i].move = -c[i].move;
    }
    Ornament(rng, c, 0.2 + 0.1 * style.variation);
    const int shift = (choice == 0 ? 1 : (p % 2 == 0 ? 2 : -1));
    int seqStart = Fold(start + shift, style.low, style.high);
    writer.Bar(bar + 2, c, &seqStart);

    const std::string& cadence = closed ? style.closedCadence : style.openCadence;
    writer.Cadence(bar + 3, cadence.empty() ? std::string("x---") : cadence, closed);
  }
  return writer.Notes();
}

void Double(Song& song, int part, const std::vector<MelodyNote>& line, int semitones,
            double velocityScale) {
  for (const MelodyNote& n : line)
    song.Play(part, n.tick, n.length, n.key + semitones, int(n.velocity * velocityScale));
}

void Harmonize(Song& song, int part, const std::vector<MelodyNote>& line, int velocity) {
  const Scale& scale = song.Key();
  for (const MelodyNote& n : line) {
    const Chord& chord = song.ChordAt(n.tick);
    int index = n.index - 2;
    const bool heard = n.strong || n.length >= uint32_t(2 * kStep);
    if (heard && !chord.Has(scale.Pitch(index))) {
      for (int below : {3, 4, 5}) {
        if (chord.Has(scale.Pitch(n.index - below))) {
          index = n.index - below;
          break;
        }
      }
    }
    const int key = KeyUnderChord(scale, chord, index);
    if (key >= n.key) continue;
    song.Play(part, n.tick, n.length, key, Humanize(song.Random(), velocity, 3));
  }
}


}  // namespace music
