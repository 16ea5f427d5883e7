// The music in the mix: the soundfont's load in the background, and the
// levels of a fight against the stage's music on the fallback soundfont.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/audio_driver.h"
#include "platform/midi_synth.h"
#include "sound/music_file.h"
#include "tests/sound_test_support.h"
#include "tools/sound_report/sound_measure.h"

namespace {

using namespace sndtest;

std::string GameDir() {
  const std::string exe = SAMPLEGAME_EXE;
  return exe.substr(0, exe.rfind('/'));
}

bool Installed(const char* path) {
  FILE* f = fopen(path, "rb");
  if (f) fclose(f);
  return f != nullptr;
}

class MusicLevels : public ::testing::Test {
 protected:
  void TearDown() override {
    plat::midi::Shutdown();
  }
  // The soundfont the run was started with (the test suite's) comes back
  // after TearDown.
  oxtest::EnvOverride font_{"SAMPLEGAME_SOUNDFONT"};
};

// Screen set-up starts the load and returns while the soundfont is still
// being read (here a pipe nobody has written yet, so the loader is held
// until the test writes it); a headless run then waits for the answer
// where the music is first asked for.
TEST_F(MusicLevels, ScreenSetUpStartsTheLoadWithoutWaitingForIt) {
  plat::midi::Shutdown();
  const std::string fifo = oxtest::MakeFifo("font.fifo");
  ASSERT_FALSE(fifo.empty());
  setenv("SAMPLEGAME_SOUNDFONT", fifo.c_str(), 1);
  oxtest::OpenScreen();
  EXPECT_TRUE(plat::midi::Loading());  // held: nothing was written yet
  const int fd = open(fifo.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(write(fd, "not a soundfont", 15), 15);
  close(fd);
  EXPECT_FALSE(plat::midi::Available());  // waits, then has the loader's answer
  EXPECT_FALSE(plat::midi::Loading());
  unlink(fifo.c_str());
}

// A headless run's music is the same whether the soundfont was loaded in
// the background while frames went by or at the moment it was asked for.
TEST_F(MusicLevels, HeadlessMusicDoesNotDependOnWhenTheLoadFinished) {
  if (!Installed(plat::midi::kFallbackSoundfont)) GTEST_SKIP() << "no TimGM6mb";
  std::vector<uint8_t> piece;
  {
    const std::string bytes = oxtest::ReadFile(GameDir() + "/BGM1.MID");
    ASSERT_FALSE(bytes.empty());
    piece.assign(bytes.begin(), bytes.end());
  }
  std::vector<std::vector<int16_t>> outputs;
  for (int framesBeforeAsking : {0, 30}) {
    plat::midi::Shutdown();
    setenv("SAMPLEGAME_SOUNDFONT", plat::midi::kFallbackSoundfont, 1);
    OpenScreenWithAudioOut(oxtest::DataDir() + "load.wav");  // the load starts here
    std::vector<int16_t> out(735 * 2 * 120);
    for (int i = 0; i < framesBeforeAsking; ++i) plat::midi::Render(out.data(), 735, 44100);
    std::fill(out.begin(), out.end(), 0);
    ASSERT_TRUE(plat::midi::Available());
    ASSERT_TRUE(plat::midi::Open(piece.data(), piece.size()));
    plat::midi::Rewind();
    plat::midi::Play();
    for (int i = 0; i < 120; ++i) plat::midi::Render(out.data() + 735 * 2 * i, 735, 44100);
    outputs.push_back(out);
  }
  EXPECT_EQ(outputs[0], outputs[1]);
  size_t loud = 0;
  for (int16_t v : outputs[0]) loud += v != 0;
  EXPECT_GT(loud, outputs[0].size() / 4);
}

// A piece of 1.3 s whose tempo changes half way, with notes on three
// channels (drums among them).
std::vector<uint8_t> TempoPiece() {
  const std::vector<uint8_t> track = {
      0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // 500000 us a quarter note
      0x00, 0xC0, 0x30, 0x00, 0x90, 60, 100, 0x00, 0x99, 36, 100, 0x00, 0x91, 64, 90,
      0x60, 0x80, 60, 0, 0x00, 0x89, 36, 0,       // a quarter note later (96 ticks)
      0x00, 0xFF, 0x51, 0x03, 0x04, 0x93, 0xE0,   // 300000 us a quarter note
      0x00, 0x90, 67, 100, 0x81, 0x40, 0x80, 67, 0, 0x00, 0x81, 64, 0,  // 192 ticks
      0x30, 0xFF, 0x2F, 0x00};                    // 48 ticks more, then the end
  std::vector<uint8_t> smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                              'M', 'T', 'r', 'k', 0, 0, 0, uint8_t(track.size())};
  smf.insert(smf.end(), track.begin(), track.end());
  return smf;
}

// The passes (of 735 frames) at which a looping piece ended, over `passes`
// passes, restarting it at each end as the game does.
std::vector<int> EndPasses(const std::vector<uint8_t>& piece, int passes) {
  std::vector<int> ends;
  EXPECT_TRUE(plat::midi::Open(piece.data(), piece.size()));
  plat::midi::Rewind();
  plat::midi::Play();
  std::vector<int16_t> block(735 * 2);
  for (int i = 0; i < passes; ++i) {
    plat::audio::RenderMix(block.data(), 735, 44100);
    if (plat::midi::TakeEnd()) {
      ends.push_back(i);
      EXPECT_EQ(plat::midi::CurrentMode(), plat::midi::Mode::Stopped);
      plat::midi::Rewind();
      plat::midi::Play();
    }
  }
  return ends;
}

// A run nobody hears synthesises no music (no soundfont is loaded), yet
// the ends of a piece, which restart it, come at the same passes as in a
// run whose sound is written, through tempo changes and restarts.
TEST_F(MusicLevels, UnheardMusicEndsWhenHeardMusicDoes) {
  if (!Installed(plat::midi::kFallbackSoundfont)) GTEST_SKIP() << "no TimGM6mb";
  const std::vector<uint8_t> piece = TempoPiece();
  ASSERT_TRUE(oxs::ValidMidiFile(piece.data(), piece.size()));
  std::vector<std::vector<int>> ends;
  for (bool heard : {true, false}) {
    plat::midi::Shutdown();
    setenv("SAMPLEGAME_SOUNDFONT", plat::midi::kFallbackSoundfont, 1);
    if (heard) {
      OpenScreenWithAudioOut(oxtest::DataDir() + "heard.wav");
    } else {
      oxtest::OpenScreen();
    }
    ASSERT_EQ(plat::audio::Heard(), heard);
    ASSERT_TRUE(plat::midi::Available());
    ends.push_back(EndPasses(piece, 400));
  }
  ASSERT_GE(ends[0].size(), 4u);
  EXPECT_EQ(ends[0], ends[1]);
}

soundmeasure::Stereo ToStereo(const Output& out) {
  soundmeasure::Stereo s;
  s.rate = out.rate;
  for (size_t i = 0; i < out.left.size(); ++i) {
    s.samples.push_back(out.left[i]);
    s.samples.push_back(out.right[i]);
  }
  return s;
}

// The measurements the level checks rest on: a 1 kHz sine at -20 dBFS in
// both channels is -20 LUFS (BS.1770's reference: 0 dBFS in one channel is
// -3.01), and -23 in one; silence is gated away; quiet gaps, full-scale
// samples and the spectral balance are found where they are.
TEST(SoundMeasure, LoudnessPeaksGapsAndBalanceOfKnownSignals) {
  const double pi = 3.14159265358979323846;
  auto sine = [&](double hz, double dbfs, bool both, double seconds) {
    soundmeasure::Stereo s;
    const double a = 32768 * std::pow(10.0, dbfs / 20);
    for (size_t i = 0; i < size_t(seconds * 44100); ++i) {
      const auto v = int16_t(std::lround(std::min(32767.0, a * std::sin(2 * pi * hz * double(i) / 44100))));
      s.samples.push_back(v);
      s.samples.push_back(both ? v : int16_t(0));
    }
    return s;
  };
  const struct { double hz, dbfs; bool both; double lufs; } cases[] = {
      {1000, -20, true, -20.0}, {1000, -20, false, -23.01}, {1000, -6, true, -6.0}};
  for (const auto& c : cases) {
    const soundmeasure::Stereo s = sine(c.hz, c.dbfs, c.both, 5);
    EXPECT_NEAR(soundmeasure::Loudness(s), c.lufs, 0.1) << c.dbfs << " " << c.both;
    EXPECT_NEAR(soundmeasure::Db(soundmeasure::SamplePeak(s)), c.dbfs, 0.05);
    EXPECT_NEAR(soundmeasure::Db(soundmeasure::TruePeak(s)), c.dbfs, 0.05);
    EXPECT_EQ(soundmeasure::FullScaleShare(s), 0.0);
  }
  soundmeasure::Stereo gap = sine(1000, -10, true, 3);
  std::fill(gap.samples.begin() + 2 * 44100, gap.samples.begin() + 2 * 66150, int16_t(0));
  EXPECT_NEAR(double(soundmeasure::LongestQuiet(gap, 0, gap.Frames(), -40)), 22050, 882);
  EXPECT_LT(soundmeasure::Loudness(soundmeasure::Stereo{44100, std::vector<int16_t>(88200)}), -100);
  const soundmeasure::Stereo clipped = sine(1000, 6, true, 1);
  EXPECT_GT(soundmeasure::FullScaleShare(clipped), 0.2);
  const soundmeasure::Stereo high = sine(8000, -10, true, 1), low = sine(100, -10, true, 1);
  EXPECT_GT(soundmeasure::BandShare(high, 4000, 20000), 0.9);
  EXPECT_LT(soundmeasure::BandShare(low, 4000, 20000), 0.01);
  EXPECT_GT(soundmeasure::BandShare(low, 10, 250), 0.9);
}

// A stage-1 fight with both fire keys held, on the fallback soundfont: no
// sample reaches full scale, the loud moments (95th percentile of the
// half-second RMS) stay within 6 dB of the stage's music alone, and the
// music is not buried (the fight's quieter moments are no quieter than the
// music alone).
TEST_F(MusicLevels, AFightStaysWithinSixDecibelsOfTheStageMusic) {
  if (!Installed(plat::midi::kFallbackSoundfont)) GTEST_SKIP() << "no TimGM6mb";
  constexpr int kFrames = 1200;
  const std::string script = oxtest::DataDir() + "fight.txt", wav = oxtest::DataDir() + "fight.wav";
  ASSERT_TRUE(oxtest::WriteFile(script, soundmeasure::FightScript(kFrames)));
  const std::string cmd = std::string("SAMPLEGAME_SOUNDFONT=") + plat::midi::kFallbackSoundfont +
                          " " + SAMPLEGAME_EXE + " --headless --seed 1 --frames " +
                          std::to_string(kFrames) + " --input " + script + " --audio-out " + wav +
                          " > /dev/null 2>&1";
  ASSERT_EQ(system(cmd.c_str()), 0) << cmd;
  const Output out = ReadOutput(wav);
  ASSERT_TRUE(out.valid);
  const soundmeasure::Stereo fight = ToStereo(out);

  // The stage's music alone through the same mix.
  OpenScreenWithAudioOut(oxtest::DataDir() + "music.wav");
  plat::midi::Shutdown();
  setenv("SAMPLEGAME_SOUNDFONT", plat::midi::kFallbackSoundfont, 1);
  const std::string bytes = oxtest::ReadFile(GameDir() + "/BGM1.MID");
  ASSERT_FALSE(bytes.empty());
  ASSERT_TRUE(plat::midi::Open(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  plat::midi::Rewind();
  plat::midi::Play();
  soundmeasure::Stereo music;
  std::vector<int16_t> block(2 * 512);
  while (music.Frames() < fight.Frames()) {
    plat::audio::RenderMix(block.data(), 512, 44100);
    music.samples.insert(music.samples.end(), block.begin(), block.end());
  }

  const size_t from = 2 * 44100;  // the stage, after the title and selection
  const std::vector<double> windows = soundmeasure::HalfSecondRms(fight, from, fight.Frames());
  const double loud = soundmeasure::Quantile(windows, 0.95);
  const double quiet = soundmeasure::Quantile(windows, 0.10);
  const double musicRms = soundmeasure::Rms(music, from, music.Frames());
  EXPECT_EQ(soundmeasure::FullScaleShare(fight), 0.0);
  EXPECT_LE(soundmeasure::Db(loud / musicRms), 6.0)
      << "loud moments " << soundmeasure::Db(loud) << " dBFS, music " << soundmeasure::Db(musicRms);
  EXPECT_GE(soundmeasure::Db(quiet / musicRms), -3.0)
      << "quiet moments " << soundmeasure::Db(quiet) << " dBFS, music " << soundmeasure::Db(musicRms);
  EXPECT_GT(soundmeasure::Db(musicRms), -35.0);
}

}  // namespace
