// Renders every MIDI piece of the game's data directory through the game's
// own music path (the synthesiser as the game sets it up, and the audio
// output's mix with its master stage) and reports per piece its length,
// integrated loudness, sample and true peak, the longest silence around
// the loop point, its spectral balance, and the General MIDI programs it
// uses that the soundfont lacks; then runs the game headless through a scripted stage-1 fight with
// fire held and reports how far its loud moments rise above the stage's
// music, and the share of samples at full scale.
//
//   sound_report [--data DIR] [--game EXE] [--work DIR] [--fight-frames N] [--untrimmed]
//
// DIR defaults to the directory above the tool (the build's game
// directory), EXE to DIR/samplegame, the work directory (fight script and
// recording) to the current one. SAMPLEGAME_SOUNDFONT picks the soundfont,
// as for the game. Each piece plays at its level trim for the soundfont
// (sound/music_trims.cpp), shown in the "trim" column, as in the game;
// --untrimmed measures the pieces without their trims.
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio_driver.h"
#include "platform/midi_synth.h"
#include "sound/music_trims.h"
#include "tools/sound_report/sound_measure.h"

namespace {

using soundmeasure::Db;
using soundmeasure::Stereo;

constexpr int kRate = 44100;
constexpr int kBlock = 512;
constexpr double kMaxPieceSeconds = 600;
constexpr double kAfterLoopSeconds = 3;

bool ReadAll(const std::string& path, std::vector<uint8_t>& out) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return false;
  out.clear();
  uint8_t buf[65536];
  for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) out.insert(out.end(), buf, buf + n);
  const bool ok = !ferror(f);
  fclose(f);
  return ok;
}

// Programs (bank 0) and whether channel 10 (drums) is used, from the
// program changes of a standard MIDI file.
struct Programs {
  std::set<int> melodic;
  bool drums = false;
};

uint32_t ReadVar(const std::vector<uint8_t>& d, size_t& at, size_t end) {
  uint32_t v = 0;
  for (int i = 0; i < 4 && at < end; ++i) {
    const uint8_t b = d[at++];
    v = (v << 7) | (b & 0x7F);
    if (!(b & 0x80)) break;
  }
  return v;
}

Programs ProgramsOf(const std::vector<uint8_t>& d) {
  Programs p;
  size_t at = 14;
  while (at + 8 <= d.size()) {
    const uint32_t len = uint32_t(d[at + 4]) << 24 | uint32_t(d[at + 5]) << 16 |
                         uint32_t(d[at + 6]) << 8 | d[at + 7];
    const bool track = memcmp(&d[at], "MTrk", 4) == 0;
    at += 8;
    const size_t end = std::min(d.size(), at + len);
    uint8_t status = 0;
    for (size_t i = at; track && i < end;) {
      ReadVar(d, i, end);
      if (i >= end) break;
      if (d[i] & 0x80) status = d[i++];
      if (status == 0xFF) {
        i++;
        const uint32_t n = ReadVar(d, i, end);
        i += n;
        status = 0;
      } else if (status == 0xF0 || status == 0xF7) {
        const uint32_t n = ReadVar(d, i, end);
        i += n;
        status = 0;
      } else {
        const int kind = status >> 4, channel = status & 15;
        if (kind == 0xC || kind == 0xD) {
          if (kind == 0xC && i < end && channel != 9) p.melodic.insert(d[i]);
          i += 1;
        } else if (kind >= 0x8) {
          if (kind == 0x9 && channel == 9) p.drums = true;
          if (kind == 0x9 && channel != 9 && p.melodic.empty()) p.melodic.insert(0);
          i += 2;
        } else {
          break;  // not a channel message: stop reading this track
        }
      }
    }
    at = end;
  }
  return p;
}

// Presets (bank << 8 | program) of a SoundFont (sf2 or sf3): its phdr records.
std::set<int> PresetsOf(const std::string& path) {
  std::set<int> presets;
  std::vector<uint8_t> d;
  if (!ReadAll(path, d)) return presets;
  // The preset headers open the "pdta" list.
  static const char kTag[] = "pdtaphdr";
  const auto it = std::search(d.begin(), d.end(), kTag, kTag + 8);
  if (it == d.end() || d.end() - it < 12) return presets;
  const size_t at = size_t(it - d.begin()) + 4;
  const uint32_t len = uint32_t(d[at + 4]) | uint32_t(d[at + 5]) << 8 | uint32_t(d[at + 6]) << 16 |
                       uint32_t(d[at + 7]) << 24;
  for (size_t r = at + 8; r + 38 <= at + 8 + len && r + 38 <= d.size(); r += 38) {
    const int program = d[r + 20] | d[r + 21] << 8, bank = d[r + 22] | d[r + 23] << 8;
    presets.insert(bank << 8 | program);
  }
  return presets;
}

void RenderFrames(Stereo& out, size_t frames) {
  int16_t block[2 * kBlock];
  while (frames > 0) {
    const int n = int(std::min<size_t>(frames, kBlock));
    plat::audio::RenderMix(block, n, kRate);
    out.samples.insert(out.samples.end(), block, block + 2 * n);
    frames -= size_t(n);
  }
}

struct Piece {
  std::string name;
  Stereo sound;
  size_t length = 0;  // frames up to the end notification
  bool ended = false;
};

// Plays the piece as the game does (open, rewind, play; on the end, rewind
// and play again) and records it up to a few seconds past the restart.
// The piece's level trim for the soundfont applies, as in the game, unless
// `trimmed` is false (to measure the pieces as written).
bool RenderPiece(const std::string& path, Piece& piece, bool trimmed) {
  std::vector<uint8_t> bytes;
  const double trim = trimmed ? oxs::MusicTrimDb(plat::midi::Soundfont(), piece.name.c_str()) : 0.0;
  if (!ReadAll(path, bytes) || !plat::midi::Open(bytes.data(), bytes.size(), trim)) return false;
  plat::midi::Rewind();
  plat::midi::Play();
  piece.sound.rate = kRate;
  while (piece.sound.Frames() < size_t(kMaxPieceSeconds * kRate)) {
    RenderFrames(piece.sound, kBlock);
    if (plat::midi::TakeEnd()) {
      piece.ended = true;
      break;
    }
  }
  piece.length = piece.sound.Frames();
  if (piece.ended) {
    plat::midi::Rewind();
    plat::midi::Play();
    RenderFrames(piece.sound, size_t(kAfterLoopSeconds * kRate));
  }
  plat::midi::Stop();
  plat::midi::Close();
  // Let the release tails die before the next piece.
  Stereo tail;
  RenderFrames(tail, 2 * kRate);
  return true;
}

bool ReadWave(const std::string& path, Stereo& out) {
  std::vector<uint8_t> d;
  if (!ReadAll(path, d) || d.size() < 44 || memcmp(d.data(), "RIFF", 4) != 0) return false;
  out.rate = int(d[24] | d[25] << 8 | d[26] << 16 | d[27] << 24);
  out.samples.resize((d.size() - 44) / 2);
  memcpy(out.samples.data(), d.data() + 44, out.samples.size() * 2);
  return out.rate > 0;
}

std::string ExeDir() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, size_t(n));
  return path.substr(0, path.rfind('/'));
}

}  // namespace

int main(int argc, char** argv) {
  std::string data = ExeDir() + "/..", game, work = ".";
  int fightFrames = 3600;
  bool trimmed = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 < argc && a == "--data") {
      data = argv[++i];
    } else if (i + 1 < argc && a == "--game") {
      game = argv[++i];
    } else if (i + 1 < argc && a == "--work") {
      work = argv[++i];
    } else if (i + 1 < argc && a == "--fight-frames") {
      fightFrames = atoi(argv[++i]);
    } else if (a == "--untrimmed") {
      trimmed = false;
    } else {
      fprintf(stderr, "usage: sound_report [--data DIR] [--game EXE] [--work DIR] [--fight-frames N] "
                      "[--untrimmed]\n");
      return 2;
    }
  }
  if (game.empty()) game = data + "/samplegame";
  if (fightFrames < 600) {
    fprintf(stderr, "sound_report: the fight needs at least 600 frames\n");
    return 2;
  }

  const char* env = getenv("SAMPLEGAME_SOUNDFONT");
  const std::string font = env && *env ? env : plat::midi::DefaultSoundfont();
  // Loaded for a listener (full synthesis), and waited for: the pieces
  // render much faster than real time.
  const auto t0 = std::chrono::steady_clock::now();
  plat::midi::Preload(true);
  while (plat::midi::Loading()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (!plat::midi::Available()) {
    fprintf(stderr, "sound_report: no music device (soundfont %s)\n", font.c_str());
    return 1;
  }
  const double loadMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  printf("soundfont %s: loaded in %.0f ms\n", font.c_str(), loadMs);
  const std::set<int> presets = PresetsOf(font);

  std::vector<std::string> names;
  if (DIR* dir = opendir(data.c_str())) {
    while (dirent* e = readdir(dir)) {
      const std::string n = e->d_name;
      if (n.size() > 4 && (n.substr(n.size() - 4) == ".MID" || n.substr(n.size() - 4) == ".mid"))
        names.push_back(n);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  if (names.empty()) {
    fprintf(stderr, "sound_report: no MIDI files in %s\n", data.c_str());
    return 1;
  }

  printf("%-10s %8s %6s %8s %8s %8s %9s %17s  %s\n", "piece", "length", "trim", "LUFS", "peak",
         "true pk", "loop gap", "low/mid/high %", "programs missing");
  double stageMusicRms = 0;
  bool failed = false;
  for (const std::string& name : names) {
    Piece piece;
    piece.name = name;
    std::vector<uint8_t> bytes;
    if (!RenderPiece(data + "/" + name, piece, trimmed) || !ReadAll(data + "/" + name, bytes)) {
      printf("%-10s cannot be played\n", name.c_str());
      failed = true;
      continue;
    }
    Stereo body;
    body.rate = kRate;
    body.samples.assign(piece.sound.samples.begin(),
                        piece.sound.samples.begin() + long(2 * piece.length));
    const size_t around = size_t(kAfterLoopSeconds * kRate);
    const size_t gap = piece.ended ? soundmeasure::LongestQuiet(
                                         piece.sound, piece.length > around ? piece.length - around : 0,
                                         piece.length + around, -40)
                                   : 0;
    std::string missing;
    const Programs programs = ProgramsOf(bytes);
    for (int p : programs.melodic)
      if (!presets.count(p)) missing += " " + std::to_string(p);
    if (programs.drums && !presets.count(128 << 8)) missing += " drums";
    if (!presets.empty() && missing.empty()) missing = " none";
    // Spectral balance: below 250 Hz, 250 Hz to 4 kHz, above 4 kHz.
    char balance[32];
    snprintf(balance, sizeof balance, "%.0f/%.0f/%.0f", 100 * soundmeasure::BandShare(body, 10, 250),
             100 * soundmeasure::BandShare(body, 250, 4000),
             100 * soundmeasure::BandShare(body, 4000, 20000));
    const double trim = trimmed ? oxs::MusicTrimDb(font.c_str(), name.c_str()) : 0.0;
    printf("%-10s %7.1fs %+6.1f %8.1f %7.1fdB %6.1fdB %8.2fs %17s  %s%s\n", name.c_str(),
           double(piece.length) / kRate, trim, soundmeasure::Loudness(body),
           Db(soundmeasure::SamplePeak(body)), Db(soundmeasure::TruePeak(body)),
           double(gap) / kRate, balance, missing.c_str() + 1,
           piece.ended ? "" : " (no end within 10 min)");
    if (name == "BGM1.MID") stageMusicRms = soundmeasure::Rms(body, 0, body.Frames());
  }
  plat::midi::Shutdown();

  // The fight, recorded by the game itself.
  const std::string script = work + "/sound_report_fight.txt", wav = work + "/sound_report_fight.wav";
  FILE* f = fopen(script.c_str(), "w");
  if (!f || fputs(soundmeasure::FightScript(fightFrames).c_str(), f) < 0 || fclose(f) != 0) {
    fprintf(stderr, "sound_report: cannot write %s\n", script.c_str());
    return 1;
  }
  const std::string cmd = "'" + game + "' --headless --seed 1 --frames " + std::to_string(fightFrames) +
                          " --input '" + script + "' --audio-out '" + wav + "' > /dev/null";
  const int status = system(cmd.c_str());
  Stereo fight;
  if (status != 0 || !ReadWave(wav, fight)) {
    fprintf(stderr, "sound_report: the fight did not run: %s\n", cmd.c_str());
    return 1;
  }
  // From the stage's start (the selection screen is left at frame 42).
  const size_t from = size_t(fight.rate) * 2;
  const double p95 = soundmeasure::Quantile(soundmeasure::HalfSecondRms(fight, from, fight.Frames()), 0.95);
  printf("fight (stage 1, fire held, %d frames): loudness %.1f LUFS, 95th percentile of half-second "
         "RMS %.1f dBFS",
         fightFrames, soundmeasure::Loudness(fight), Db(p95));
  if (stageMusicRms > 0) printf(", %+.1f dB over the stage's music alone (%.1f dBFS RMS)", Db(p95 / stageMusicRms), Db(stageMusicRms));
  printf("; %.3f%% of samples at full scale, peak %.1f dBFS\n",
         100 * soundmeasure::FullScaleShare(fight), Db(soundmeasure::SamplePeak(fight)));
  return failed ? 1 : 0;
}
