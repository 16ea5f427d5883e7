#include "tools/music_theory.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace music {

namespace {

constexpr int kModeSteps[][7] = {
    {0, 2, 4, 5, 7, 9, 11},  // major
    {0, 2, 3, 5, 7, 8, 10},  // natural minor
    {0, 2, 3, 5, 7, 8, 11},  // harmonic minor
    {0, 2, 3, 5, 7, 9, 10},  // dorian
    {0, 1, 3, 5, 7, 8, 10},  // phrygian
    {0, 2, 4, 6, 7, 9, 11},  // lydian
    {0, 2, 4, 5, 7, 9, 10},  // mixolydian
};

int Mod12(int v) { return ((v % 12) + 12) % 12; }

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

const int* Scale::Steps() const { return kModeSteps[int(mode)]; }

int Scale::Pitch(int index) const {
  const int octave = FloorDiv(index, 7);
  const int degree = index - octave * 7;
  return tonic + 12 * octave + Steps()[degree];
}

bool Scale::Contains(int pitchClass) const {
  for (int i = 0; i < 7; ++i)
    if (Mod12(tonic + Steps()[i]) == Mod12(pitchClass)) return true;
  return false;
}

int Scale::NearestIndex(int key) const {
  int best = 0, bestDistance = INT_MAX;
  const int guess = FloorDiv(key - tonic, 12) * 7;
  for (int index = guess - 8; index <= guess + 15; ++index) {
    const int distance = std::abs(Pitch(index) - key);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = index;
    }
  }
  return best;
}

bool Scale::IsMinor() const {
  return mode == Mode::Minor || mode == Mode::HarmonicMinor || mode == Mode::Dorian ||
         mode == Mode::Phrygian;
}

int Scale::Sharps() const {
  // The major key that carries the signature: the tonic, or for a minor
  // key its relative major three semitones up.
  const int major = Mod12(tonic + (IsMinor() ? 3 : 0));
  for (int s = 0; s <= 6; ++s) {
    if (Mod12(7 * s) == major) return s;
    if (Mod12(-7 * s) == major) return -s;
  }
  return 0;
}

bool Chord::Has(int pitchClass) const {
  for (int i = 0; i < count; ++i)
    if (Mod12(root + tones[i]) == Mod12(pitchClass)) return true;
  return false;
}

int Chord::NearestTone(int key) const {
  for (int d = 0; d < 12; ++d) {
    if (Has(key - d)) return key - d;
    if (Has(key + d)) return key + d;
  }
  return key;
}

bool ParseChord(const Scale& scale, std::string_view text, Chord* chord) {
  static constexpr int kMajorSteps[7] = {0, 2, 4, 5, 7, 9, 11};
  size_t at = 0;
  int shift = 0;
  if (at < text.size() && (text[at] == 'b' || text[at] == '#')) {
    shift = text[at] == 'b' ? -1 : 1;
    ++at;
  }
  static constexpr std::string_view kNumerals[7] = {"VII", "III", "VI", "IV", "II", "V", "I"};
  static constexpr int kDegrees[7] = {6, 2, 5, 3, 1, 4, 0};
  int degree = -1;
  bool upper = false;
  for (int i = 0; i < 7 && degree < 0; ++i) {
    const std::string_view n = kNumerals[i];
    if (text.size() - at < n.size()) continue;
    bool matchUpper = true, matchLower = true;
    for (size_t k = 0; k < n.size(); ++k) {
      matchUpper = matchUpper && text[at + k] == n[k];
      matchLower = matchLower && text[at + k] == n[k] - 'A' + 'a';
    }
    if (matchUpper || matchLower) {
      degree = kDegrees[i];
      upper = matchUpper;
      at += n.size();
    }
  }
  if (degree < 0) return false;

  Chord c;
  c.root = Mod12(scale.tonic + kMajorSteps[degree] + shift);
  const int third = upper ? 4 : 3;
  const std::string_view quality = text.substr(at);
  auto set = [&](std::initializer_list<int> tones) {
    c.count = 0;
    for (int t : tones) c.tones[c.count++] = t;
  };
  if (quality.empty()) {
    set({0, third, 7});
  } else if (quality == "7") {
    set({0, third, 7, 10});
  } else if (quality == "maj7") {
    set({0, third, 7, 11});
  } else if (quality == "o") {
    set({0, 3, 6});
  } else if (quality == "o7") {
    set({0, 3, 6, 9});
  } else if (quality == "+") {
    set({0, 4, 8});
  } else if (quality == "sus2") {
    set({0, 2, 7});
  } else if (quality == "sus4") {
    set({0, 5, 7});
  } else if (quality == "5") {
    set({0, 7});
  } else if (quality == "add9") {
    set({0, third, 7, 14});
  } else {
    return false;
  }
  *chord = c;
  return true;
}

std::vector<int> Voice(const Chord& chord, int voices, int low, int high,
                       const std::vector<int>& previous) {
  // Candidate voicings: start on each chord tone at each octave in range,
  // stack the next chord tones upward.
  std::vector<int> best;
  long bestCost = LONG_MAX;
  const int middle = (low + high) / 2;
  for (int bottom = low; bottom <= high; ++bottom) {
    if (!chord.Has(bottom)) continue;
    std::vector<int> v{bottom};
    int toneIndex = 0;
    for (int i = 0; i < chord.count; ++i)
      if ((chord.root + chord.tones[i]) % 12 == bottom % 12) toneIndex = i;
    while (int(v.size()) < voices) {
      toneIndex = (toneIndex + 1) % chord.count;
      int key = v.back() + 1;
      while ((key - chord.root - chord.tones[toneIndex]) % 12 != 0) ++key;
      v.push_back(key);
    }
    if (v.back() > high) continue;
    long cost = 0;
    if (previous.size() == v.size()) {
      for (size_t i = 0; i < v.size(); ++i) cost += long(std::abs(v[i] - previous[i]));
    } else {
      cost = std::abs((v.front() + v.back()) / 2 - middle);
    }
    if (cost < bestCost) {
      bestCost = cost;
      best = v;
    }
  }
  if (best.empty()) {
    // The range is too narrow for the chord: root position from `low`.
    for (int i = 0; i < voices; ++i)
      best.push_back(low + (chord.root - low % 12 + 12) % 12 + chord.tones[i % chord.count] +
                     12 * (i / chord.count));
  }
  return best;
}

}  // namespace music
