// The pieces' level trims per soundfont, the levels of the nine pieces on
// the fallback soundfont, and a soundfont load cut short by the end of a run.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_driver.h"
#include "platform/master_stage.h"
#include "platform/midi_synth.h"
#include "sound/music_trims.h"
#include "sound/ox_music.h"
#include "tests/sound_test_support.h"
#include "tools/sound_report/sound_measure.h"

namespace {

constexpr const char* kLite = "/usr/share/sounds/sf3/MuseScore_General_Lite.sf3";
constexpr const char* kPieces[] = {"BEND.MID", "BGM1.MID", "BGM2.MID", "BGM3.MID", "BGM4.MID",
                                   "BGM5.MID", "BGM6.MID", "BGM7.MID", "BGM8.MID"};

std::string GameDir() {
  const std::string exe = SAMPLEGAME_EXE;
  return exe.substr(0, exe.rfind('/'));
}

bool Installed(const char* path) { return access(path, R_OK) == 0; }

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

class MusicTrims : public ::testing::Test {
 protected:
  void TearDown() override {
    oxMusic::Close();
    plat::midi::Shutdown();
    plat::audio::SetPlayerVolumes(100, 100, 100);
    if (font_.empty()) {
      unsetenv("SAMPLEGAME_SOUNDFONT");
    } else {
      setenv("SAMPLEGAME_SOUNDFONT", font_.c_str(), 1);
    }
  }
  const std::string font_ = getenv("SAMPLEGAME_SOUNDFONT") ? getenv("SAMPLEGAME_SOUNDFONT") : "";
};

// The table is found by the soundfont's file name wherever it lies, and by
// the piece's name in either case; the fallback, unknown soundfonts and
// unknown pieces have none; the pieces MuseScore General Lite plays softest
// are raised, and no trim is out of bounds.
TEST_F(MusicTrims, LookupBySoundfontAndPiece) {
  const double bgm3 = oxs::MusicTrimDb(kLite, "BGM3.MID");
  const struct {
    const char* font;
    const char* piece;
    double db;
  } cases[] = {
      {"/elsewhere/MuseScore_General_Lite.sf3", "BGM3.MID", bgm3},
      {"MuseScore_General_Lite.sf3", "bgm3.mid", bgm3},
      {kLite, "/some/dir/BGM3.MID", bgm3},
      {kLite, "BGM9.MID", 0.0},
      {kLite, "", 0.0},
      {kLite, nullptr, 0.0},
      {nullptr, "BGM3.MID", 0.0},
      {"/usr/share/sounds/sf2/Other.sf2", "BGM3.MID", 0.0},
      {"/usr/share/sounds/sf3/MuseScore_General_Lite.sf2", "BGM3.MID", 0.0},
      {"", "BGM3.MID", 0.0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(oxs::MusicTrimDb(c.font, c.piece), c.db)
        << (c.font ? c.font : "null") << " " << (c.piece ? c.piece : "null");
  EXPECT_GT(bgm3, 3.0);
  EXPECT_GT(oxs::MusicTrimDb(kLite, "BGM4.MID"), 3.0);
  for (const char* piece : kPieces) {
    EXPECT_EQ(oxs::MusicTrimDb(plat::midi::kFallbackSoundfont, piece), 0.0) << piece;
    EXPECT_LE(std::fabs(oxs::MusicTrimDb(kLite, piece)), oxs::kMaxMusicTrimDb) << piece;
  }
}

// The game's music path applies the trim: a piece played by oxMusic on
// TimGM6mb's samples under MuseScore General Lite's file name (a link)
// comes out louder or quieter by its trim there (plus the difference of
// the two soundfonts' synthesiser gains) than under its own name. The
// music volume is low so that the master stage stays linear.
TEST_F(MusicTrims, ThePieceTrimIsAppliedWhereTheMusicPlays) {
  if (!Installed(plat::midi::kFallbackSoundfont)) GTEST_SKIP() << "no TimGM6mb";
  const std::string link = oxtest::DataDir() + "MuseScore_General_Lite.sf3";
  unlink(link.c_str());
  ASSERT_EQ(symlink(plat::midi::kFallbackSoundfont, link.c_str()), 0);
  const double fonts = soundmeasure::Db(plat::midi::GainFor(link.c_str()) /
                                        plat::midi::GainFor(plat::midi::kFallbackSoundfont));
  for (const char* piece : {"BGM3.MID", "BGM5.MID"}) {
    SCOPED_TRACE(piece);
    ASSERT_TRUE(oxtest::WriteFile(oxtest::DataDir() + piece, oxtest::ReadFile(GameDir() + "/" + piece)));
    double rms[2] = {};
    const std::string fontPaths[2] = {plat::midi::kFallbackSoundfont, link};
    for (int i = 0; i < 2; ++i) {
      plat::midi::Shutdown();
      setenv("SAMPLEGAME_SOUNDFONT", fontPaths[i].c_str(), 1);
      sndtest::OpenScreenWithAudioOut(oxtest::DataDir() + "trim.wav");
      plat::audio::SetPlayerVolumes(100, 25, 100);
      ASSERT_EQ(oxMusic::Play(piece, 1), 1);
      soundmeasure::Stereo out{44100, {}};
      std::vector<int16_t> block(2 * 512);
      while (out.Frames() < 8 * 44100u) {
        plat::audio::RenderMix(block.data(), 512, 44100);
        out.samples.insert(out.samples.end(), block.begin(), block.end());
      }
      oxMusic::Stop();
      ASSERT_LT(soundmeasure::SamplePeak(out) * 32768, plat::audio::kKneeStart);
      rms[i] = soundmeasure::Rms(out, 0, out.Frames());
      ASSERT_GT(rms[i], 0);
    }
    EXPECT_NEAR(soundmeasure::Db(rms[1] / rms[0]), oxs::MusicTrimDb(link.c_str(), piece) + fonts, 0.05);
  }
  unlink(link.c_str());
}

// A piece played to its end on the soundfont in use through the game's mix
// at its trim: its integrated loudness and its sample peak, in dB.
struct Level {
  double lufs = -200, peak = 0;
  bool ended = false;
};

Level MeasurePiece(const char* piece) {
  Level level;
  const std::string bytes = oxtest::ReadFile(GameDir() + "/" + piece);
  if (bytes.empty() || !plat::midi::Open(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                         oxs::MusicTrimDb(plat::midi::Soundfont(), piece)))
    return level;
  plat::midi::Rewind();
  plat::midi::Play();
  soundmeasure::Stereo out{44100, {}};
  std::vector<int16_t> block(2 * 512);
  while (!level.ended && out.Frames() < 300 * 44100u) {
    plat::audio::RenderMix(block.data(), 512, 44100);
    out.samples.insert(out.samples.end(), block.begin(), block.end());
    level.ended = plat::midi::TakeEnd();
  }
  plat::midi::Close();
  // The release tails die away before the next piece.
  for (int i = 0; i < 2 * 44100 / 512; ++i) plat::audio::RenderMix(block.data(), 512, 44100);
  level.lufs = soundmeasure::Loudness(out);
  level.peak = soundmeasure::Db(soundmeasure::SamplePeak(out));
  return level;
}

class PieceLevel : public MusicTrims, public ::testing::WithParamInterface<const char*> {};

// The nine pieces, each played to its end on the fallback soundfont through
// the game's mix: integrated loudness within half a decibel of the first
// stage's piece (so all nine are within 1 dB of each other), peaks at least
// 1 dB under full scale. One piece a test, so that they run side by side.
TEST_P(PieceLevel, WithinHalfADecibelOfTheFirstStageOnTheFallback) {
  if (!Installed(plat::midi::kFallbackSoundfont)) GTEST_SKIP() << "no TimGM6mb";
  plat::midi::Shutdown();
  setenv("SAMPLEGAME_SOUNDFONT", plat::midi::kFallbackSoundfont, 1);
  sndtest::OpenScreenWithAudioOut(oxtest::DataDir() + "level.wav");
  const Level reference = MeasurePiece("BGM1.MID");
  const Level level = MeasurePiece(GetParam());
  ASSERT_TRUE(reference.ended && level.ended);
  EXPECT_NEAR(level.lufs, reference.lufs, 0.5) << GetParam() << " against BGM1.MID";
  EXPECT_LE(level.peak, -1.0);
  EXPECT_LE(reference.peak, -1.0);
}

INSTANTIATE_TEST_SUITE_P(EightPieces, PieceLevel,
                         ::testing::Values("BEND.MID", "BGM2.MID", "BGM3.MID", "BGM4.MID", "BGM5.MID",
                                           "BGM6.MID", "BGM7.MID", "BGM8.MID"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param).substr(0, std::string(info.param).find('.'));
                         });

// A process that ends while the soundfont still loads (the player quits
// during start-up) exits at once rather than after the load; the child is
// stopped by an alarm if it waits.
TEST_F(MusicTrims, TheProcessEndsPromptlyDuringALoad) {
  const std::string fifo = oxtest::MakeFifo("stalled.fifo");
  ASSERT_FALSE(fifo.empty());
  plat::midi::Shutdown();
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    alarm(10);
    setenv("SAMPLEGAME_SOUNDFONT", fifo.c_str(), 1);
    plat::midi::Preload(true);
    std::exit(plat::midi::Loading() ? 0 : 3);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
  EXPECT_LT(Seconds(start), 2.0);
  unlink(fifo.c_str());
}

}  // namespace
