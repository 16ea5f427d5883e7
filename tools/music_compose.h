// The composer's toolkit: a song with its parts, key, tempo and chord
// timeline, and the layers that fill it: bass lines, comping, pads,
// arpeggios, drum grooves with fills, and melodies built from motifs with
// phrasing and variation. Patterns are strings of sixteenth-note steps; a
// pattern shorter than a section repeats. Everything is deterministic: the
// only randomness is the song's seeded generators.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ox_app.h"
#include "tools/midi_file.h"
#include "tools/music_theory.h"
#include "tools/sound_random.h"

namespace music {

constexpr int kTicksPerQuarter = 480;
constexpr int kStep = kTicksPerQuarter / 4;  // one sixteenth note

// Bars [bar, bar + bars) of a song.
struct Section {
  int bar = 0;
  int bars = 0;
};

struct PartSetup {
  const char* name;
  int channel;  // 0..15; midi::kDrumChannel for drums
  int program;  // General MIDI program, 0..127
  int volume;   // controller 7
  int pan;      // controller 10: 0 left, 64 centre, 127 right
  int reverb;   // controller 91
  int chorus;   // controller 93
};

// A note of a melody, kept for the lines that follow it (doubling,
// harmony).
struct MelodyNote {
  uint32_t tick;
  uint32_t length;
  int key;
  int index;  // scale index
  int velocity;
  bool strong;  // on a strong beat or long: a chord tone
};

class Song {
 public:
  Song(std::string title, double beatsPerMinute, int beatsPerBar, Scale scale, uint64_t seed);

  int AddPart(const PartSetup& setup);
  int Parts() const { return int(parts_.size()); }
  // Off-beat sixteenths are played late by `fraction` of a sixteenth (0
  // straight, 1/3 a triplet feel).
  void Swing(double fraction) { swing_ = fraction; }

  // Plays a note as a player would: swung where the song swings, a few
  // milliseconds off the grid (seeded, so every build is the same) and
  // louder towards the middle of each four-bar phrase and on the
  // downbeats. Every layer plays its notes through here.
  void Play(int part, uint32_t tick, uint32_t length, int key, int velocity);
  // Scales every part's volume (controller 7) by `factor`, to bring the
  // whole piece to the loudness of the others.
  void Level(double factor) { level_ = factor; }
  midi::Track& Track(int part) { return parts_[size_t(part)].track; }
  int Channel(int part) const { return parts_[size_t(part)].setup.channel; }

  const Scale& Key() const { return scale_; }
  // Moves the key by `semitones` for the chords and melodies written after
  // it: the lift of a last chorus a step up, and the way back home.
  void Transpose(int semitones) { scale_.tonic += semitones; }
  assets::Rng& Random() { return rng_; }
  int StepsPerBar() const { return beatsPerBar_ * 4; }
  int BeatsPerBar() const { return beatsPerBar_; }
  double BeatsPerMinute() const { return bpm_; }
  uint32_t BarTick(int bar) const { return uint32_t(bar) * uint32_t(StepsPerBar() * kStep); }
  int Bars() const { return bars_; }
  double Seconds() const { return bars_ * beatsPerBar_ * 60.0 / bpm_; }

  // Appends bars to the chord timeline: one Roman numeral per bar, "a/b"
  // for two chords in a bar (halves), "a/b/c/d" for four (beats). "|" may
  // separate groups for readability. Returns the new bars; a numeral the
  // parser cannot read is reported and makes Write fail.
  Section Chords(std::string_view progression);
  const Chord& ChordAt(uint32_t tick) const;
  // Tick at which the chord sounding at `tick` ends.
  uint32_t ChordEnd(uint32_t tick) const;

  // Writes the song: a conductor track (title, tempo, metre, key) and one
  // track per part with its set-up at tick 0 and all notes off at the end.
  bool Write(const std::string& path) const;

 private:
  struct Part {
    PartSetup setup;
    midi::Track track;
  };
  struct Span {
    uint32_t start, end;
    Chord chord;
  };
  std::string title_;
  double bpm_;
  int beatsPerBar_;
  Scale scale_;
  assets::Rng rng_;
  std::vector<Part> parts_;
  std::vector<Span> harmony_;
  int bars_ = 0;
  double level_ = 1.0;
  double swing_ = 0.0;
  assets::Rng timing_;  // humanised timing, apart from the composing stream
  bool broken_ = false;
};

// --- Accompaniment ---------------------------------------------------------

// Bass line. Pattern steps: 'R' root, 'O' root an octave up, 'F' fifth,
// 'f' fifth below the root, 'T' third, 'S' seventh (octave if the chord has
// none), 'A' chromatic approach to the next note's chord root, 'N' the next
// chord's root early; '-' holds, '.' rests. Roots lie in [low, low + 11].
// Upper-case letters are accented, and 'r' is a soft root (ghost).
void Bass(Song& song, int part, Section section, std::string_view pattern, int low, int velocity,
          double gate = 0.9);

// Block chords. Steps: 'x' chord, 'X' accented chord, 'o' soft chord,
// '-' hold, '.' rest. Each chord is voiced within [low, high] close to the
// previous one.
void Comp(Song& song, int part, Section section, std::string_view pattern, int voices, int low,
          int high, int velocity, double gate = 0.9);

// Power chords (root, fifth, octave) with the root in [low, low + 11], on
// the same steps as Comp.
void Power(Song& song, int part, Section section, std::string_view pattern, int low, int velocity,
           double gate = 0.85);

// One sustained chord for every chord of the section; given the melody,
// it leaves out tones that would rub a semitone against its long notes.
void Pad(Song& song, int part, Section section, int voices, int low, int high, int velocity,
         const std::vector<MelodyNote>* melody = nullptr);

enum class ArpOrder { Up, Down, UpDown, Broken };
// Arpeggio over `notes` chord tones voiced within [low, high]: each 'x'
// (or accented 'X') plays the next tone in `order`, '-' holds, '.' rests.
// The order starts again at each chord change.
void Arpeggio(Song& song, int part, Section section, std::string_view pattern, ArpOrder order,
              int notes, int low, int high, int velocity, double gate = 0.8);

// A slow line of chord tones (thirds and sevenths first) that moves as
// little as possible from chord to chord, one note per chord, kept within
// [low, high].
void GuideTones(Song& song, int part, Section section, int low, int high, int velocity);

// Expression (controller 11) moving by beats from `from` to `to` over the
// section, on one part or, with part -1, on all of them: the swell of a
// build, the hush of a breakdown. The piece starts at full expression.
void Swell(Song& song, int part, Section section, int from, int to);

// --- Drums ----------------------------------------------------------------

// One instrument of a groove: its General MIDI percussion key and its steps
// ('X' accent, 'x' normal, 'o' ghost, '.' nothing), one or more bars long.
struct DrumLine {
  int key;
  const char* steps;
};
using Groove = std::vector<DrumLine>;

// Plays `groove` over the section; every `fillEvery`-th bar (and the last
// bar of the section when `fillLast`) plays `fill` instead, unless fill is
// empty. A crash cymbal marks the first beat when `crash`. Like a drummer,
// it varies the groove: every other bar gains a ghost note or an extra
// kick, and the end of each four-bar phrase that is not a full fill gets a
// one-beat fill taken from `fill`.
void Drums(Song& song, int part, Section section, const Groove& groove, const Groove& fill,
           int fillEvery, bool fillLast, bool crash);
void Hit(Song& song, int part, uint32_t tick, int key, int velocity);

// --- Melody ---------------------------------------------------------------

enum class Shape { Lyrical, Heroic, Driving };

// A two-bar melodic idea: its rhythm (two bars of steps: 'x' a note, '-'
// hold, '.' rest) and its contour: the first note's scale index, then the
// move in scale steps to each following note.
struct Motif {
  std::string rhythm;
  std::vector<int> contour;
};

// A motif of the given rhythm with a generated contour: mostly steps with
// some thirds and leaps (a leap is followed by a step back), rising through
// the first bar and falling in the second; Heroic favours leaps of fourths
// and fifths, Driving repeated notes.
Motif MakeMotif(assets::Rng& rng, std::string_view rhythm, int start, Shape shape);

struct MelodyStyle {
  int low = 0, high = 11;     // scale-index range
  std::string openCadence;    // one bar of rhythm ending a phrase on the 2nd or 5th
  std::string closedCadence;  // one bar ending a phrase on the tonic
  int velocity = 96;
  double gate = 0.92;      // sounding fraction of each note's time
  int variation = 0;       // 0 plain; more adds ornaments and changes
  bool closeLast = true;   // the last phrase closes on the tonic (else it stays open)
};

// Writes a melody over the section in four-bar phrases: the motif, the
// motif continued, a sequence or inversion of its first bar, a cadence.
// The phrases alternate open and closed cadences and the last one closes on
// the tonic unless the style leaves it open; bars beyond the last whole
// phrase stay silent. Notes on strong beats and long notes are chord tones.
// Returns the notes.
std::vector<MelodyNote> Melody(Song& song, int part, Section section, const Motif& motif,
                               const MelodyStyle& style);

// Plays `line` again on another part, `semitones` higher (or lower) and at
// `velocityScale` of its loudness.
void Double(Song& song, int part, const std::vector<MelodyNote>& line, int semitones,
            double velocityScale);
// A second voice a third (or, where that clashes with the chord on a
// strong note, a fourth to a sixth) below each note of `line`.
void Harmonize(Song& song, int part, const std::vector<MelodyNote>& line, int velocity);


}  // namespace music
