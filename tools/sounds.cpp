// The game's two sound effects, synthesised: "SHOT.WAV", a short blaster
// shot, and "BOM.WAV", the explosion every hit and kill plays. Mono,
// 22050 Hz, 16-bit PCM.
#include <cmath>

#include "core/ox_app.h"
#include "tools/assets.h"
#include "tools/sound_synth.h"
#include "tools/sound_wav.h"

namespace assets {

namespace {

using namespace synth;

constexpr int kRate = 22050;

// A blaster shot: a pulse wave whose pitch falls fast from 1900 Hz to
// 420 Hz through a resonant low-pass that follows it, a sine an octave
// below for body, and a bright noise tick at the attack.
Buffer Shot() {
  const float length = 0.20f;
  const int n = int(length * kRate);
  Buffer out(size_t(n), 0.0f);
  Noise noise(0x5407);
  Osc pulse, sub;
  Svf tone;
  OnePole tick, dc;
  for (int i = 0; i < n; ++i) {
    const float t = float(i) / kRate;
    const float freq = ExpSweep(1900.0f, 420.0f, 0.035f, t);
    // The duty cycle widens as the pitch falls: thin zap, rounder tail.
    const float duty = 0.18f + 0.25f * (1.0f - std::exp(-t / 0.05f));
    float v = pulse.Pulse(freq, duty, kRate);
    v = tone.Run(v, freq * 3.2f, 2.5f, kRate).low;
    v += 0.55f * sub.Sine(freq * 0.5f, kRate);
    v *= AttackDecay(0.0015f, 0.045f, t);
    const float click = tick.High(noise.White(), 2500.0f, kRate) * AttackDecay(0.0005f, 0.006f, t);
    out[size_t(i)] = dc.High(v + 0.6f * click, 30.0f, kRate);
  }
  // Mastered below the explosion, which the game plays on every hit.
  Normalize(out, 0.1f);
  Fade(out, kRate, 0.0008f, 0.02f);
  return out;
}

// An explosion: a broadband crack, a noise body whose low-pass falls from
// bright to dull, a sub-bass thump with falling pitch, a long brown-noise
// rumble and scattered debris crackles that thin out, then saturation for
// weight.
Buffer Bom() {
  const float length = 1.9f;
  const int n = int(length * kRate);
  Buffer out(size_t(n), 0.0f);
  Noise noise(0xB0B);
  Noise debris(0xDEB415);
  Svf body, rumbleLow, rumbleLow2, crackle;
  OnePole crackHigh, dc;
  Osc thump;
  float crackleEnv = 0.0f;
  float crackleCutoff = 2000.0f;
  for (int i = 0; i < n; ++i) {
    const float t = float(i) / kRate;
    // Initial crack: bright noise for the first few tens of milliseconds.
    const float crack =
        crackHigh.High(noise.White(), 900.0f, kRate) * AttackDecay(0.001f, 0.014f, t);
    // Body: white noise with a falling low-pass.
    const float cutoff = ExpSweep(5200.0f, 170.0f, 0.32f, t);
    const float bodyNoise = body.Run(noise.White(), cutoff, 0.9f, kRate).low;
    const float bodyEnv = AttackDecay(0.004f, 0.42f, t);
    // Sub-bass thump whose pitch drops like a pressure wave.
    const float thumpFreq = ExpSweep(78.0f, 34.0f, 0.18f, t);
    const float thumpTone = thump.Sine(thumpFreq, kRate) * AttackDecay(0.006f, 0.26f, t);
    // Rumble: brown noise through two low-passes, slow decay.
    float rumble = rumbleLow.Run(noise.Brown(), 140.0f, 0.8f, kRate).low;
    rumble = rumbleLow2.Run(rumble, 110.0f, 0.7f, kRate).low;
    rumble *= AttackDecay(0.03f, 0.75f, t);
    // Debris: sparse short bursts whose rate falls over the first second.
    const float density = 260.0f * std::exp(-t / 0.35f);
    if (debris.Random().Unit() < density / kRate) {
      crackleEnv = 0.35f + 0.65f * float(debris.Random().Unit());
      crackleCutoff = 900.0f + 2600.0f * float(debris.Random().Unit());
    }
    crackleEnv *= 0.9965f;
    const float crackles = crackle.Run(debris.White(), crackleCutoff, 1.6f, kRate).band *
                           crackleEnv * std::exp(-t / 0.6f);

    float v = 1.0f * crack + 2.0f * bodyNoise * bodyEnv + 0.75f * thumpTone + 0.9f * rumble +
              0.7f * crackles;
    v = dc.High(v, 22.0f, kRate);
    out[size_t(i)] = v;
  }
  Normalize(out, 1.0f);
  for (float& s : out) s = SoftClip(s, 1.8f);
  // Every hit plays it, on up to seven mix buffers at once, often started in
  // the same frame and so in phase: mastered low enough that such a barrage
  // stays mostly unclipped, and a single explosion still sits above the music.
  Normalize(out, 0.18f);
  Fade(out, kRate, 0.001f, 0.35f);
  return out;
}

}  // namespace

bool WriteSounds(const char* dir) {
  bool ok = WriteWav16(dir, "SHOT.WAV", Shot(), kRate, 1);
  return WriteWav16(dir, "BOM.WAV", Bom(), kRate, 1) && ok;
}

}  // namespace assets
