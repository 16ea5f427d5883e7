// The headless audio device: its output in virtual time, written as a WAVE
// file by --audio-out, the music source mixed after the effects, and clock
// steps it does not follow.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "core/services.h"
#include "platform/audio.h"
#include "platform/headless.h"
#include "sound/ox_sound.h"
#include "sound/sound_state.h"
#include "tests/sound_test_support.h"

namespace {

using namespace sndtest;

int RunGame(const std::string& args) {
  std::string cmd = std::string(SAMPLEGAME_EXE) + " --headless " + args + " 2>/dev/null";
  int status = system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Stereo frames in `passes` frame passes of virtual time at 44100 Hz.
size_t FramesOf(uint32_t passes) {
  const uint64_t ms = uint64_t(passes) * 1000 / 60;
  return size_t(ms * 44100 / 1000);
}

TEST(AudioOut, GameRunWritesAValidWaveOfItsVirtualTime) {
  const std::string path = oxtest::DataDir() + "run.wav";
  for (uint32_t frames : {1u, 7u, 120u}) {
    remove(path.c_str());
    ASSERT_EQ(RunGame("--frames " + std::to_string(frames) + " --clock-start 123 --audio-out " +
                      path),
              0);
    Output out = ReadOutput(path);
    ASSERT_TRUE(out.valid) << frames;
    EXPECT_EQ(out.rate, 44100);
    EXPECT_EQ(out.left.size(), FramesOf(frames)) << frames;
    if (frames == 120) {
      // Two seconds into the title its music is playing.
      size_t loud = 0;
      for (size_t i = 0; i < out.left.size(); ++i) loud += out.left[i] != 0 || out.right[i] != 0;
      EXPECT_GT(loud, out.left.size() / 4);
    }
  }
}

TEST(AudioOut, RunEndedByEscapeAndAnUnwritableFile) {
  const std::string script = oxtest::DataDir() + "esc.txt", path = oxtest::DataDir() + "esc.wav";
  ASSERT_TRUE(WriteFile(script, "30 ESCAPE down\n31 ESCAPE up\n"));
  ASSERT_EQ(RunGame("--frames 1000 --input " + script + " --audio-out " + path), 0);
  Output out = ReadOutput(path);
  ASSERT_TRUE(out.valid);
  EXPECT_EQ(out.left.size(), FramesOf(29));
  // The run goes on when the file cannot be written, and ends failed.
  EXPECT_EQ(RunGame("--frames 5 --audio-out /nonexistent/x.wav"), 1);
}

class DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = oxtest::DataDir() + "dev-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".wav";
    OpenScreenWithAudioOut(path_);
  }
  void TearDown() override { plat::audio::SetMusicRenderer(nullptr, nullptr); }
  std::string path_;
};

TEST_F(DeviceTest, ReleasedDeviceLeavesSilenceSoTheFileKeepsVirtualTime) {
  WriteData("TONE.WAV", Wave(1, 44100, 16, Pcm16(std::vector<int16_t>(44100, 7000))));
  int h = oxSound::LoadObject("TONE.WAV", 1);
  oxSound::PlayLoop(h, 0);
  RunFrames(6);                       // 100 ms of tone
  oxSound::PlaySystemWave("TONE.WAV");  // 1 s with the device released
  oxSound::PlayLoop(h, 0);
  RunFrames(6);
  ox::services::ReleaseSound();
  Output out = ReadOutput(path_);
  ASSERT_TRUE(out.valid);
  ASSERT_EQ(out.left.size(), 4410u + 44100u + 4410u);
  EXPECT_EQ(out.left[0], Heard(7000));
  EXPECT_EQ(out.left[4409], Heard(7000));
  EXPECT_EQ(out.left[4410], 0);
  EXPECT_EQ(out.left[4410 + 44099], 0);
  EXPECT_EQ(out.left[4410 + 44100], Heard(7000));
  EXPECT_EQ(out.left.back(), Heard(7000));
}

// A stand-in for the synthesiser: notes the first sum it was handed and
// adds a constant.
int g_seenFirst = 0;
void AddMusic(void* user, int32_t* mix, int frames, int rate) {
  EXPECT_EQ(rate, 44100);
  if (frames > 0) g_seenFirst = mix[0];
  const int add = *static_cast<int*>(user);
  for (int i = 0; i < frames * 2; ++i) mix[i] += add;
}

TEST_F(DeviceTest, MusicIsMixedWithTheEffectsUntilItIsRemoved) {
  WriteData("TONE.WAV", Wave(1, 44100, 16, Pcm16(std::vector<int16_t>(44100, 30000))));
  int h = oxSound::LoadObject("TONE.WAV", 1);
  static int add = 5000;
  plat::audio::SetMusicRenderer(&AddMusic, &add);
  oxSound::Play(h, 0);
  RunFrames(3);  // 50 ms
  EXPECT_EQ(g_seenFirst, 0);  // each source renders into sums of its own
  plat::audio::SetMusicRenderer(nullptr, nullptr);
  RunFrames(3);
  ox::services::ReleaseSound();
  Output out = ReadOutput(path_);
  ASSERT_TRUE(out.valid);
  ASSERT_EQ(out.left.size(), 4410u);
  const int16_t both = plat::audio::MasterStage::Linear(30000 * plat::audio::kEffectsLevel + 5000);
  EXPECT_EQ(out.left[0], both);
  EXPECT_EQ(out.right[2204], both);
  EXPECT_EQ(out.left[2205], Heard(30000));
  EXPECT_EQ(out.left[4409], Heard(30000));
}

// The player's volumes scale each source before they are summed: music at
// 0 leaves the effects alone, master at 0 silences everything, and full
// volume again is the sources' planned sum.
TEST_F(DeviceTest, PlayerVolumesScaleEachSourceAndZeroSilences) {
  WriteData("TONE.WAV", Wave(1, 44100, 16, Pcm16(std::vector<int16_t>(44100, 10000))));
  const int h = oxSound::LoadObject("TONE.WAV", 1);
  static int add = 4000;
  plat::audio::SetMusicRenderer(&AddMusic, &add);
  oxSound::PlayLoop(h, 0);
  // Effects and music as fractions of full volume at each step.
  const struct { int master, music, effects; float effectsGain, musicGain; } kSteps[] = {
      {100, 100, 100, 1, 1},       {100, 0, 100, 1, 0}, {100, 100, 0, 0, 1},
      {100, 50, 50, 0.25f, 0.25f}, {0, 100, 100, 0, 0}, {100, 100, 100, 1, 1},
  };
  for (const auto& step : kSteps) {
    plat::audio::SetPlayerVolumes(step.master, step.music, step.effects);
    RunFrames(6);  // 4410 frames each
  }
  plat::audio::SetPlayerVolumes(100, 100, 100);
  plat::audio::SetMusicRenderer(nullptr, nullptr);
  ox::services::ReleaseSound();
  Output out = ReadOutput(path_);
  ASSERT_TRUE(out.valid);
  ASSERT_EQ(out.left.size(), 6u * 4410u);
  for (size_t i = 0; i < 6; ++i) {
    // The middle of each step (a block may straddle a change).
    const int expected = plat::audio::MasterStage::Linear(
        10000 * plat::audio::kEffectsLevel * kSteps[i].effectsGain + 4000 * kSteps[i].musicGain);
    EXPECT_NEAR(out.left[i * 4410 + 2205], expected, 1) << "step " << i;
    EXPECT_NEAR(out.right[i * 4410 + 2205], expected, 1) << "step " << i;
  }
}

// The device goes away: it is opened again, at once or (no device for a
// while) within a second of one being there; the looping sound and the music
// carry on from where they were, and the file keeps virtual time with
// silence for the gap.
TEST_F(DeviceTest, ADeviceThatGoesAwayIsOpenedAgainAndEverySourceCarriesOn) {
  std::vector<int16_t> ramp(44100);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i % 10000);
  WriteData("RAMP.WAV", Wave(1, 44100, 16, Pcm16(ramp)));
  const int h = oxSound::LoadObject("RAMP.WAV", 1);
  static int add = 5;
  plat::audio::SetMusicRenderer(&AddMusic, &add);
  oxSound::PlayLoop(h, 0);
  RunFrames(6);  // 4410 frames
  plat::audio::SimulateDeviceRemoval();
  RunFrames(6);  // gone and back within the first of these passes
  EXPECT_TRUE(plat::audio::IsOpen());
  plat::audio::SimulateDeviceRemoval();
  plat::audio::SimulateNoDevice(true);
  RunFrames(90);  // no device for 1.5 s
  EXPECT_TRUE(plat::audio::IsOpen());
  plat::audio::SimulateNoDevice(false);
  RunFrames(60);
  ox::services::ReleaseSound();
  plat::audio::SimulateNoDevice(false);
  Output out = ReadOutput(path_);
  ASSERT_TRUE(out.valid);
  // Virtual time, but for the part of a frame each reopening rounds away.
  ASSERT_NEAR(double(out.left.size()), double(FramesOf(6 + 6 + 90 + 60)), 2.0);
  // The ramp (plus the music's 5) runs on from where it was: every sample
  // is the next one of the loop, or silence while there was no device.
  std::vector<std::pair<size_t, size_t>> gaps;  // first frame, length
  size_t played = 0;
  for (size_t i = 0; i < out.left.size(); ++i) {
    if (out.left[i] == 0) {
      if (gaps.empty() || gaps.back().first + gaps.back().second != i) gaps.push_back({i, 0});
      ++gaps.back().second;
      continue;
    }
    ASSERT_EQ(out.left[i], plat::audio::MasterStage::Linear(
                               ramp[played % ramp.size()] * plat::audio::kEffectsLevel + 5))
        << "frame " << i;
    ++played;
  }
  // The first removal costs the pass it was found in; the second lasts
  // while there is no device and ends within a second of one being there.
  ASSERT_EQ(gaps.size(), 2u);
  EXPECT_EQ(gaps[0].first, FramesOf(6));
  EXPECT_LE(gaps[0].second, FramesOf(1) + 1);
  EXPECT_NEAR(double(gaps[1].first), double(FramesOf(12)), 2.0);
  EXPECT_GE(gaps[1].second, FramesOf(90) - 2);
  EXPECT_LE(gaps[1].second, FramesOf(90 + 61));
  EXPECT_GE(played, FramesOf(6 + 5 + 1));
}

TEST_F(DeviceTest, ClockJumpsBackwardsOrOverAMinuteMixNothing) {
  RunFrames(60);
  const uint64_t rendered = plat::audio::RenderedFrames();
  EXPECT_EQ(rendered, 44100u);
  plat::headless::AdvanceClock(61000);
  plat::audio::Sync();
  EXPECT_EQ(plat::audio::RenderedFrames(), rendered);
  plat::headless::AdvanceClock(1000);
  plat::audio::Sync();
  EXPECT_EQ(plat::audio::RenderedFrames(), rendered + 44100);
  plat::headless::SetClock(plat::Clock() - 5000);
  plat::audio::Sync();
  plat::headless::AdvanceClock(10);
  plat::audio::Sync();
  EXPECT_EQ(plat::audio::RenderedFrames(), rendered + 44100 + 441);
  ox::services::ReleaseSound();
  EXPECT_TRUE(ReadOutput(path_).valid);
}

TEST(AudioDevice, FormatsItAcceptsAndTheRenderRateWithoutAFile) {
  oxtest::OpenScreen();
  plat::audio::Format f;
  EXPECT_TRUE(plat::audio::ValidFormat(f));
  f.channels = 3;
  EXPECT_EQ(plat::audio::SetFormat(f), -1);
  f = plat::audio::Format{1, 22050, 8};
  EXPECT_EQ(plat::audio::SetFormat(f), 0);
  EXPECT_EQ(plat::audio::RenderRate(), 22050);
  f.rate = 7999;
  EXPECT_FALSE(plat::audio::ValidFormat(f));
  oxSound::Release();
  EXPECT_EQ(plat::audio::SetFormat(plat::audio::Format{}), -2);
  plat::Shutdown();  // closes nothing twice
  EXPECT_FALSE(plat::audio::IsOpen());
}

}  // namespace
