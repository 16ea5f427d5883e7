// Measurements of 16-bit stereo sound: integrated loudness (ITU-R BS.1770:
// K-weighting, 400 ms blocks, absolute and relative gates), sample and
// true peak, the RMS of half-second windows, the longest quiet gap and the
// share of samples at full scale. Shared by tools/sound_report and the
// tests of the mix's levels.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace soundmeasure {

struct Stereo {
  int rate = 44100;
  std::vector<int16_t> samples;  // interleaved left, right
  size_t Frames() const { return samples.size() / 2; }
};

inline double Db(double ratio) { return ratio > 0 ? 20 * std::log10(ratio) : -200.0; }

// A biquad of the K-weighting, designed for `rate` (the constants are the
// analogue prototypes behind the 48 kHz coefficients of BS.1770).
struct Biquad {
  double b0, b1, b2, a1, a2, z1 = 0, z2 = 0;
  double Run(double x) {
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
  }
};

inline Biquad HighShelf(double rate) {
  const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
  const double k = std::tan(3.14159265358979323846 * f0 / rate);
  const double vh = std::pow(10.0, gainDb / 20), vb = std::pow(vh, 0.4996667741545416);
  const double a0 = 1 + k / q + k * k;
  return {(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
          2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
}

inline Biquad HighPass(double rate) {
  const double f0 = 38.13547087602444, q = 0.5003270373238773;
  const double k = std::tan(3.14159265358979323846 * f0 / rate);
  const double a0 = 1 + k / q + k * k;
  return {1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
}

// Integrated loudness in LUFS (-200 for silence).
inline double Loudness(const Stereo& s) {
  const size_t frames = s.Frames();
  std::vector<double> power(frames);  // K-weighted, both channels summed
  Biquad shelf[2] = {HighShelf(s.rate), HighShelf(s.rate)};
  Biquad pass[2] = {HighPass(s.rate), HighPass(s.rate)};
  for (size_t i = 0; i < frames; ++i) {
    double p = 0;
    for (int c = 0; c < 2; ++c) {
      const double y = pass[c].Run(shelf[c].Run(s.samples[2 * i + size_t(c)] / 32768.0));
      p += y * y;
    }
    power[i] = p;
  }
  const size_t block = size_t(s.rate) * 4 / 10, hop = block / 4;
  std::vector<double> blocks;
  std::vector<double> prefix(frames + 1, 0);
  for (size_t i = 0; i < frames; ++i) prefix[i + 1] = prefix[i] + power[i];
  for (size_t at = 0; at + block <= frames; at += hop)
    blocks.push_back((prefix[at + block] - prefix[at]) / double(block));
  auto lufs = [](double z) { return z > 0 ? -0.691 + 10 * std::log10(z) : -200.0; };
  auto gatedMean = [&](double gate) {
    double sum = 0;
    size_t n = 0;
    for (double z : blocks)
      if (lufs(z) > gate) sum += z, ++n;
    return n ? sum / double(n) : 0.0;
  };
  const double absolute = gatedMean(-70);
  if (absolute <= 0) return -200;
  return lufs(gatedMean(lufs(absolute) - 10));
}

// Highest sample, as a fraction of full scale.
inline double SamplePeak(const Stereo& s) {
  int peak = 0;
  for (int16_t v : s.samples) peak = std::max(peak, std::abs(int(v)));
  return peak / 32768.0;
}

// Highest value of the signal between the samples too: 4x oversampling by
// a 32-tap windowed sinc.
inline double TruePeak(const Stereo& s) {
  const double pi = 3.14159265358979323846;
  constexpr int kHalf = 16;
  double kernel[4][2 * kHalf];
  for (int p = 0; p < 4; ++p)
    for (int k = 0; k < 2 * kHalf; ++k) {
      const double x = (k - kHalf + 1) - p / 4.0;
      const double w = 0.5 + 0.5 * std::cos(pi * x / kHalf);
      kernel[p][k] = (x == 0 ? 1 : std::sin(pi * x) / (pi * x)) * w;
    }
  double peak = SamplePeak(s);
  const size_t frames = s.Frames();
  for (int c = 0; c < 2; ++c)
    for (size_t i = kHalf; i + kHalf < frames; ++i)
      for (int p = 1; p < 4; ++p) {
        double v = 0;
        for (int k = 0; k < 2 * kHalf; ++k)
          v += kernel[p][k] * s.samples[2 * (i - kHalf + 1 + size_t(k)) + size_t(c)];
        peak = std::max(peak, std::abs(v) / 32768.0);
      }
  return peak;
}

// RMS (fraction of full scale, both channels) of consecutive half-second
// windows from `from` to `to` (frames).
inline std::vector<double> HalfSecondRms(const Stereo& s, size_t from, size_t to) {
  std::vector<double> out;
  const size_t window = size_t(s.rate) / 2;
  to = std::min(to, s.Frames());
  for (size_t at = from; at + window <= to; at += window) {
    double sum = 0;
    for (size_t i = 2 * at; i < 2 * (at + window); ++i) sum += double(s.samples[i]) * s.samples[i];
    out.push_back(std::sqrt(sum / double(2 * window)) / 32768.0);
  }
  return out;
}

// The `q` quantile (0 to 1) of `values`.
inline double Quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[size_t(q * double(values.size() - 1) + 0.5)];
}

// RMS of the whole span from `from` to `to` (frames).
inline double Rms(const Stereo& s, size_t from, size_t to) {
  to = std::min(to, s.Frames());
  double sum = 0;
  for (size_t i = 2 * from; i < 2 * to; ++i) sum += double(s.samples[i]) * s.samples[i];
  return to > from ? std::sqrt(sum / double(2 * (to - from))) / 32768.0 : 0;
}

// Spectral balance: the share (0 to 1) of the signal's energy in the band
// from `lowHz` to `highHz`, by second-order (RBJ) high- and low-pass filters.
inline double BandShare(const Stereo& s, double lowHz, double highHz) {
  const double pi = 3.14159265358979323846, q = 0.7071067811865476;
  auto design = [&](double hz, bool high) {
    const double w = 2 * pi * hz / s.rate, alpha = std::sin(w) / (2 * q), c = std::cos(w);
    const double a0 = 1 + alpha;
    const double b1 = high ? -(1 + c) : 1 - c, b0 = high ? (1 + c) / 2 : (1 - c) / 2;
    return Biquad{b0 / a0, b1 / a0, b0 / a0, -2 * c / a0, (1 - alpha) / a0};
  };
  double band = 0, total = 0;
  for (int c = 0; c < 2; ++c) {
    Biquad hp = design(lowHz, true), lp = design(highHz, false);
    for (size_t i = 0; i < s.Frames(); ++i) {
      const double x = s.samples[2 * i + size_t(c)];
      const double y = lp.Run(hp.Run(x));
      band += y * y;
      total += x * x;
    }
  }
  return total > 0 ? band / total : 0;
}

// Share of samples at full scale (either limit), 0 to 1.
inline double FullScaleShare(const Stereo& s) {
  size_t n = 0;
  for (int16_t v : s.samples) n += v == 32767 || v == -32768;
  return s.samples.empty() ? 0 : double(n) / double(s.samples.size());
}

// The longest run of frames from `from` to `to` whose level (10 ms RMS
// windows) stays below `thresholdDb` dBFS, in frames.
inline size_t LongestQuiet(const Stereo& s, size_t from, size_t to, double thresholdDb) {
  const size_t window = size_t(s.rate) / 100;
  to = std::min(to, s.Frames());
  size_t longest = 0, run = 0;
  for (size_t at = from; at + window <= to; at += window) {
    if (Db(Rms(s, at, at + window)) < thresholdDb) {
      run += window;
      longest = std::max(longest, run);
    } else {
      run = 0;
    }
  }
  return longest;
}

// The input script of the measured fight: Enter on the title, F1 on the
// selection screen, both fire keys held from then on while the ship weaves,
// for `frames` frame passes.
inline std::string FightScript(int frames) {
  std::string s = "30 ENTER down\n32 ENTER up\n40 F1 down\n42 F1 up\n50 X down\n50 Z down\n";
  for (int f = 60; f + 120 < frames; f += 120) {
    s += std::to_string(f) + " RIGHT down\n" + std::to_string(f + 30) + " RIGHT up\n";
    s += std::to_string(f + 60) + " LEFT down\n" + std::to_string(f + 90) + " LEFT up\n";
  }
  return s;
}

}  // namespace soundmeasure
