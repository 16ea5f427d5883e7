// Music theory for the composer: scales and modes, chords written as Roman
// numerals, and voicings that move smoothly from chord to chord.
#pragma once

#include <string_view>
#include <vector>

namespace music {

enum class Mode { Major, Minor, HarmonicMinor, Dorian, Phrygian, Lydian, Mixolydian };

// A key: a tonic and a seven-note mode. Melodies are written as scale
// indices: 0 is the tonic, 1 the second degree, 7 the tonic an octave up,
// -1 the seventh below.
struct Scale {
  int tonic;  // MIDI key of the tonic in the melody's home octave
  Mode mode;

  // Semitones of each degree above the tonic.
  const int* Steps() const;
  int Pitch(int index) const;
  // Whether a pitch class (0..11, C = 0) belongs to the scale.
  bool Contains(int pitchClass) const;
  // The scale index whose pitch is nearest to `key` (the lower on a tie).
  int NearestIndex(int key) const;
  // Key signature: sharps (> 0) or flats (< 0) of the tonic's major or
  // minor key, whichever the mode is closer to, and that choice.
  int Sharps() const;
  bool IsMinor() const;
};

// A chord: root pitch class and up to five chord tones in semitones above
// the root (the root itself, 0, included).
struct Chord {
  int root = 0;
  int tones[5] = {0, 4, 7, 0, 0};
  int count = 3;

  bool Has(int pitchClass) const;
  // The chord tone's pitch class (0 root, 1 third, 2 fifth, 3 seventh...).
  int Tone(int i) const { return (root + tones[i % count]) % 12; }
  // The nearest key to `key` whose pitch class is a chord tone.
  int NearestTone(int key) const;
};

// Parses a Roman numeral relative to the key's tonic: "I" .. "VII" (upper
// case major, lower case minor), an optional "b" or "#" before it, and an
// optional quality after it: "7" (dominant on a major numeral, minor seventh
// on a minor one), "maj7", "o" (diminished), "+" (augmented), "sus2",
// "sus4", "5" (power chord), "add9". Returns false for text it cannot read.
bool ParseChord(const Scale& scale, std::string_view numeral, Chord* chord);

// Voices `chord` with `voices` notes between `low` and `high` (MIDI keys),
// choosing among its inversions the one nearest to `previous` (each voice
// moves as little as possible); with no previous voicing, the one whose
// middle is nearest the middle of the range. Keys come back ascending.
std::vector<int> Voice(const Chord& chord, int voices, int low, int high,
                       const std::vector<int>& previous);

}  // namespace music
