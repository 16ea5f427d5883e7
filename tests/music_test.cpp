// MIDI music: the file check, silence for bad files or soundfonts, the
// synthesiser's output, ends, loops and stops reaching the window procedure.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/services.h"
#include "draw/ox_draw.h"
#include "frame/ox_system.h"
#include "frame/window_proc.h"
#include "platform/audio.h"
#include "platform/headless.h"
#include "platform/midi_synth.h"
#include "platform/platform.h"
#include "sound/music_file.h"
#include "sound/ox_music.h"
#include "tests/sound_test_support.h"
#include "tests/test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kRate = 44100;
constexpr int kFrameSamples = kRate / 60;  // one frame pass of audio


// One note of `ticks` (480 ticks a quarter at 120 beats a minute: 960 a
// second), preceded by a program change, ended by End of Track.
Bytes NoteTrack(uint32_t ticks, int note = 60, int program = 0) {
  Bytes t = {0x00, 0xC0, uint8_t(program), 0x00, 0x90, uint8_t(note), 110};
  for (int shift = 21; shift > 0; shift -= 7)  // the delta as a variable-length number
    if (ticks >> shift) t.push_back(uint8_t(0x80 | (ticks >> shift & 0x7F)));
  t.push_back(ticks & 0x7F);
  t.insert(t.end(), {0x80, uint8_t(note), 0x00, 0x00, 0xFF, 0x2F, 0x00});
  return t;
}

Bytes Smf(int format, int division, const std::vector<Bytes>& tracks, int declared = -1) {
  int n = declared >= 0 ? declared : int(tracks.size());
  Bytes f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, uint8_t(format), uint8_t(n >> 8), uint8_t(n),
             uint8_t(division >> 8), uint8_t(division)};
  for (const Bytes& t : tracks) {
    uint32_t len = uint32_t(t.size());
    f.insert(f.end(), {'M', 'T', 'r', 'k', uint8_t(len >> 24), uint8_t(len >> 16),
                       uint8_t(len >> 8), uint8_t(len)});
    f.insert(f.end(), t.begin(), t.end());
  }
  return f;
}

Bytes Piece(double seconds, int note = 60) {
  return Smf(0, 480, {NoteTrack(uint32_t(seconds * 960), note)});
}

void WriteData(const std::string& name, const Bytes& bytes) {
  ASSERT_TRUE(oxtest::WriteFile(oxtest::DataDir() + name, std::string(bytes.begin(), bytes.end())));
}

bool SoundfontInstalled() {
  const char* env = getenv("SAMPLEGAME_SOUNDFONT");
  FILE* f = fopen(env && *env ? env : plat::midi::DefaultSoundfont(), "rb");
  if (f) fclose(f);
  return f != nullptr;
}

std::string Status() {
  char s[32];
  oxMusic::Status(s, sizeof s);
  return s;
}


struct Rendered {
  std::vector<int> endFrames;  // frame (1/60 s) of each notification
  int peak = 0;
};

// Renders `frames` frame passes of music as the audio output would, each
// followed by the main loop's part: flagged notifications are posted, then
// every waiting message goes to the window procedure.
Rendered Render(int frames, int rate = kRate) {
  Rendered run;
  std::vector<int16_t> buf(size_t(rate / 60) * 2);
  for (int i = 0; i < frames; ++i) {
    std::fill(buf.begin(), buf.end(), 0);
    plat::midi::Render(buf.data(), rate / 60, rate);
    for (int16_t v : buf) run.peak = std::max(run.peak, std::abs(int(v)));
    ox::services::PollServices();
    for (plat::Message m; plat::PeekMessage(m); ox::WindowProc(m))
      if (m.message == plat::kMsgMusicNotify && m.wparam == 1) run.endFrames.push_back(i);
  }
  return run;
}

class MidiMusic : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::midi::Shutdown();
    oxtest::OpenScreen();
  }
  void TearDown() override {
    oxMusic::Close();
    plat::midi::Shutdown();
  }
  // The soundfont the run was started with (the test suite's) comes back
  // after TearDown.
  oxtest::EnvOverride font_{"SAMPLEGAME_SOUNDFONT"};
};

// The tests that need the synthesiser to sound: the run writes its sound,
// so the music is synthesised in full (a run nobody hears only sequences).
class MidiPlaying : public MidiMusic {
 protected:
  void SetUp() override {
    plat::midi::Shutdown();
    sndtest::OpenScreenWithAudioOut(oxtest::DataDir() + "music.wav");
    if (!SoundfontInstalled()) GTEST_SKIP() << "no General MIDI soundfont installed";
  }
};


TEST(MidiFileCheck, AcceptsWellFormedFilesAndRefusesTheirTruncations) {
  Bytes two = Smf(1, 96, {NoteTrack(96), NoteTrack(200, 64, 40)});
  EXPECT_TRUE(oxs::ValidMidiFile(two.data(), two.size()));
  // Running status, a system-exclusive message, a tempo, a text event, an
  // unknown chunk between the tracks and a header longer than six bytes.
  Bytes t = {0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7, 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
             0x00, 0xFF, 0x01, 0x02, 'h', 'i', 0x00, 0x90, 60, 100, 0x10, 64, 100,
             0x60, 60, 0, 0x00, 64, 0, 0x00, 0xFF, 0x2F, 0x00};
  Bytes f = Smf(0, 480, {t});
  f[7] = 8;  // header length 8: two extra bytes after the division
  f.insert(f.begin() + 14, {0xAB, 0xCD});
  Bytes junk = {'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 1, 2};
  f.insert(f.begin() + 16, junk.begin(), junk.end());
  EXPECT_TRUE(oxs::ValidMidiFile(f.data(), f.size()));
  // A track without End of Track is played as far as it goes.
  Bytes open = {0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0};
  Bytes g = Smf(0, 480, {open});
  EXPECT_TRUE(oxs::ValidMidiFile(g.data(), g.size()));
  // Every truncation of a whole file is refused.
  for (size_t n = 0; n < two.size(); ++n) EXPECT_FALSE(oxs::ValidMidiFile(two.data(), n)) << n;
  EXPECT_FALSE(oxs::ValidMidiFile(nullptr, 100));
}

TEST(MidiFileCheck, RefusesDamagedHeadersChunksAndEvents) {
  auto track = [](Bytes events) { return Smf(0, 480, {events}); };
  struct Case { const char* what; Bytes file; } cases[] = {
      {"not MThd", [] { Bytes f = Piece(0.1); f[0] = 'X'; return f; }()},
      {"header length 5", [] { Bytes f = Piece(0.1); f[7] = 5; return f; }()},
      {"header length past the end", [] { Bytes f = Piece(0.1); f[6] = 0x7F; return f; }()},
      {"track length past the end", [] { Bytes f = Piece(0.1); f[19] += 1; return f; }()},
      {"format 3", Smf(3, 480, {NoteTrack(10)})},          {"no tracks", Smf(1, 480, {})},
      {"format 0 with two tracks", Smf(0, 480, {NoteTrack(10), NoteTrack(10)})},
      {"division 0", Smf(0, 0, {NoteTrack(10)})},         {"SMPTE", Smf(0, 0xE728, {NoteTrack(10)})},
      {"fewer tracks than declared", Smf(1, 480, {NoteTrack(10)}, 2)},
      {"five-byte delta", track({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 100})},
      {"data before any status", track({0x00, 60, 100})},
      {"status byte as data", track({0x00, 0x90, 0x90, 100})},
      {"system common", track({0x00, 0xF4, 0x00})},       {"real-time", track({0x00, 0xF8})},
      {"running status after meta", track({0x00, 0xFF, 0x01, 0x00, 0x00, 60, 100})},
      {"tempo of 0", track({0x00, 0xFF, 0x51, 0x03, 0, 0, 0, 0x00, 0xFF, 0x2F, 0x00})},
      {"tempo of two bytes", track({0x00, 0xFF, 0x51, 0x02, 1, 0, 0x00, 0xFF, 0x2F, 0x00})},
      {"time signature of 3 bytes", track({0x00, 0xFF, 0x58, 0x03, 4, 2, 24})},
      {"end of track with data", track({0x00, 0xFF, 0x2F, 0x01, 0x00})},
      {"meta past its chunk", track({0x00, 0xFF, 0x01, 0x10, 'a'})},
      {"sysex past its chunk", track({0x00, 0xF0, 0x7F, 0x01})},
      {"track longer than 2^30 ticks",
       track({0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 1, 0xFF, 0xFF, 0xFF, 0x7F, 0x80, 60, 0,
              0xFF, 0xFF, 0xFF, 0x7F, 0x80, 60, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0x80, 60, 0,
              0x7F, 0x80, 60, 0})},
  };
  for (const Case& c : cases) EXPECT_FALSE(oxs::ValidMidiFile(c.file.data(), c.file.size())) << c.what;
}


// Missing, damaged or overlong files, or a missing or corrupt soundfont: the
// game plays on in silence, the playing flag set, with no message.
TEST_F(MidiMusic, BadFilesOrSoundfontsPlaySilentlyWithoutAMessage) {
  WriteData("CUT.MID", [] { Bytes f = Piece(0.5); f.resize(f.size() - 3); return f; }());
  WriteData("EMPTY.MID", {});
  WriteData("TEXT.MID", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '!', '!'});
  WriteData("BGM1.MID", Piece(0.2));
  WriteData("BAD.SF2", Bytes(4096, 0x5A));
  const std::string longName(5000, 'A');
  const std::string font = oxtest::DataDir() + "BAD.SF2";
  const struct {
    const char* file;
    const char* soundfont;  // null: the installed one
  } cases[] = {{"NONE.MID", nullptr},      {"CUT.MID", nullptr},
               {"EMPTY.MID", nullptr},     {"TEXT.MID", nullptr},
               {longName.c_str(), nullptr}, {"BGM1.MID", "/nonexistent/none.sf2"},
               {"BGM1.MID", font.c_str()}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file).substr(0, 12) + (c.soundfont ? c.soundfont : ""));
    if (c.soundfont) {
      plat::midi::Shutdown();
      setenv("SAMPLEGAME_SOUNDFONT", c.soundfont, 1);
      EXPECT_FALSE(plat::midi::Available());
    }
    EXPECT_EQ(oxMusic::Play(c.file, 1), 0);
    EXPECT_EQ(oxMusic::PlayingFlag(), 1);  // set whatever happened
    EXPECT_EQ(Status(), "");
    const Rendered run = Render(30);
    EXPECT_TRUE(run.peak == 0 && run.endFrames.empty());
    oxMusic::Stop();
    EXPECT_EQ(oxMusic::PlayingFlag(), 0);
  }
  EXPECT_EQ(oxMusic::Play(nullptr, 1), 0);
  EXPECT_EQ(plat::headless::BoxCount() + plat::headless::BeepCount(), 0);
}

bool Readable(const char* path) { return access(path, R_OK) == 0; }

// Shutting the music down while the soundfont loads does not wait for the
// load: not for a file that does not come (the pipe), nor for the rest of a
// large soundfont whose samples are being decompressed.
TEST_F(MidiMusic, ShutdownDuringALoadDoesNotWaitForIt) {
  const std::string fifo = oxtest::MakeFifo("stalled.fifo");
  ASSERT_FALSE(fifo.empty());
  std::vector<std::string> fonts = {fifo};
  const char* lite = "/usr/share/sounds/sf3/MuseScore_General_Lite.sf3";
  if (Readable(lite)) fonts.push_back(lite);
  for (const std::string& font : fonts) {
    SCOPED_TRACE(font);
    plat::midi::Shutdown();
    setenv("SAMPLEGAME_SOUNDFONT", font.c_str(), 1);
    plat::midi::Preload(true);
    ASSERT_TRUE(plat::midi::Loading());
    const auto start = std::chrono::steady_clock::now();
    plat::midi::Shutdown();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.5);
    EXPECT_FALSE(plat::midi::Loading());
  }
  // The next load after a cancelled one is whole (a headless run waits for
  // it in Available).
  if (Readable(plat::midi::kFallbackSoundfont)) {
    setenv("SAMPLEGAME_SOUNDFONT", plat::midi::kFallbackSoundfont, 1);
    plat::midi::Preload(true);
    EXPECT_TRUE(plat::midi::Available());
  }
  unlink(fifo.c_str());
}

TEST_F(MidiPlaying, DamagedFilesNeverCrashAndRefusedOnesOpenNothing) {
  const Bytes good = Smf(1, 480, {NoteTrack(96), NoteTrack(150, 67, 48)});
  srand(12345);
  int refused = 0;
  for (int i = 0; i < 150; ++i) {
    Bytes f = good;
    for (int k = rand() % 4; k >= 0; --k) f[size_t(rand()) % f.size()] ^= uint8_t(1 << (rand() % 8));
    if (i % 5 == 0) f.resize(size_t(rand()) % f.size());
    WriteData("FUZZ.MID", f);
    const int sounds = oxMusic::Play("FUZZ.MID", 1);
    const std::string status = Status();
    const Rendered run = Render(6);
    refused += !sounds;
    EXPECT_TRUE(sounds || (status.empty() && run.endFrames.empty())) << i;
    oxMusic::Stop();
  }
  EXPECT_GT(refused, 0);
}


// A note sounds in both channels at any output rate, well under full scale;
// the music is added to the mix (nothing when nothing is open) and clips at
// full scale instead of wrapping round.
TEST_F(MidiPlaying, MusicIsAddedToTheMixInBothChannelsAndSaturates) {
  WriteData("LONG.MID", Piece(5));
  std::vector<int16_t> mix(2 * 4410, 1000);
  plat::midi::Render(mix.data(), 4410, kRate);
  EXPECT_EQ(std::count(mix.begin(), mix.end(), 1000), 2 * 4410);
  for (int rate : {44100, 48000, 22050}) {
    ASSERT_EQ(oxMusic::Play("LONG.MID", 1), 1) << rate;
    EXPECT_EQ(Status(), "playing");
    std::vector<int16_t> out(size_t(rate / 10) * 2, 0);
    plat::midi::Render(out.data(), rate / 10, rate);
    int peak[2] = {0, 0};
    for (size_t i = 0; i < out.size(); ++i) peak[i % 2] = std::max(peak[i % 2], std::abs(int(out[i])));
    EXPECT_TRUE(peak[0] > 300 && peak[1] > 300 && peak[0] < 32767) << rate << " " << peak[0];
  }
  plat::midi::Render(mix.data(), 4410, kRate);
  EXPECT_GT(2 * 4410 - std::count(mix.begin(), mix.end(), 1000), 4000);
  std::vector<int16_t> high(2 * 4410, 32767), low(2 * 4410, -32768);
  plat::midi::Render(high.data(), 4410, kRate);
  plat::midi::Render(low.data(), 4410, kRate);
  EXPECT_GT(*std::min_element(high.begin(), high.end()), 20000);
  EXPECT_LT(*std::max_element(low.begin(), low.end()), -20000);
}


// Without looping, the end (seen at the frame pass that crosses it) notifies
// once and closes the piece; NoLoop lets a looping piece play to its end once
// more, 0.2 s after its restart, then close.
TEST_F(MidiPlaying, WithoutLoopingAPieceNotifiesOnceAtItsEndAndCloses) {
  WriteData("SHORT.MID", Piece(0.25));
  WriteData("LOOP.MID", Piece(0.2));
  ASSERT_EQ(oxMusic::Play("SHORT.MID", 0), 1);
  Rendered run = Render(30);
  ASSERT_EQ(run.endFrames.size(), 1u);
  EXPECT_TRUE(run.endFrames[0] >= 14 && run.endFrames[0] <= 16) << run.endFrames[0];  // 15 passes
  EXPECT_TRUE(oxMusic::PlayingFlag() == 0 && Status() == "");
  ASSERT_EQ(oxMusic::Play("LOOP.MID", 1), 1);
  const Rendered first = Render(20);
  ASSERT_EQ(first.endFrames.size(), 1u);
  EXPECT_EQ(Status(), "playing");  // restarted
  oxMusic::NoLoop();
  EXPECT_EQ(oxMusic::LoopFlag(), 0);
  run = Render(20);
  ASSERT_EQ(run.endFrames.size(), 1u);
  const int played = (20 - first.endFrames[0]) + run.endFrames[0];
  EXPECT_TRUE(played >= 11 && played <= 14) << played;
  EXPECT_TRUE(oxMusic::PlayingFlag() == 0 && Status() == "");
}

TEST_F(MidiPlaying, ALoopingPieceRestartsAfterEachNotificationUntilStopped) {
  WriteData("LOOP.MID", Piece(0.2));
  ASSERT_EQ(oxMusic::Play("LOOP.MID", 1), 1);
  const Rendered run = Render(60);
  ASSERT_GE(run.endFrames.size(), 4u);
  for (size_t i = 1; i < run.endFrames.size(); ++i) {
    const int gap = run.endFrames[i] - run.endFrames[i - 1];
    EXPECT_TRUE(gap >= 11 && gap <= 14) << i;  // 0.2 s from the restart, a pass later at most
  }
  EXPECT_TRUE(Status() == "playing" && oxMusic::PlayingFlag() == 1);
  EXPECT_GT(run.peak, 300);
  oxMusic::Stop();
  EXPECT_TRUE(oxMusic::PlayingFlag() == 0 && Status() == "");
  EXPECT_TRUE(Render(60).endFrames.empty());
  // The released notes and the reverb die away, then the synthesiser rests.
  Render(120);
  EXPECT_EQ(Render(120).peak, 0);
}

// A new piece replaces the old one, and the piece that plays starts again:
// both from the beginning.
TEST_F(MidiPlaying, PlayStartsThePieceFromItsBeginning) {
  WriteData("BGM1.MID", Piece(10));
  WriteData("BGM2.MID", Piece(0.3, 72));
  WriteData("BGM7.MID", Piece(0.5));
  ASSERT_EQ(oxMusic::Play("BGM1.MID", 1), 1);
  EXPECT_TRUE(Render(30).endFrames.empty());
  ASSERT_EQ(oxMusic::Play("BGM2.MID", 1), 1);
  Rendered run = Render(24);
  ASSERT_EQ(run.endFrames.size(), 1u);
  EXPECT_TRUE(run.endFrames[0] >= 17 && run.endFrames[0] <= 19) << run.endFrames[0];
  ASSERT_EQ(oxMusic::Play("BGM7.MID", 1), 1);
  EXPECT_TRUE(Render(24).endFrames.empty());  // 0.4 s in
  ASSERT_EQ(oxMusic::Play("BGM7.MID", 1), 1);
  run = Render(40);
  ASSERT_FALSE(run.endFrames.empty());
  EXPECT_GE(run.endFrames[0], 29);  // a whole 0.5 s again, not the 0.1 s left
}

// Stop sends nothing unless the playing flag is set; Close sends its commands
// regardless and leaves the flag alone. A success notification restarts only
// a piece that has ended (not one playing, nor one stopped); failure codes
// restart nothing. Setting up the screen closes the piece and resets the flags.
TEST_F(MidiPlaying, StopCloseNotificationsAndScreenSetUpFollowTheFlags) {
  WriteData("BGM1.MID", Piece(2));
  const Bytes f = Piece(2);
  ASSERT_TRUE(plat::midi::Open(f.data(), f.size()));
  plat::midi::Play();
  oxMusic::Stop();
  EXPECT_EQ(Status(), "playing");
  ASSERT_EQ(oxMusic::Play("BGM1.MID", 1), 1);
  oxMusic::Close();
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(oxMusic::PlayingFlag(), 1);
  oxMusic::Stop();
  EXPECT_EQ(oxMusic::PlayingFlag(), 0);

  ASSERT_EQ(oxMusic::Play("BGM1.MID", 1), 1);
  Render(10);
  ox::WindowProc(plat::Message{plat::kMsgMusicNotify, 1, 0});
  EXPECT_EQ(Status(), "playing");
  const Rendered run = Render(115);
  ASSERT_EQ(run.endFrames.size(), 1u);
  EXPECT_NEAR(run.endFrames[0], 120 - 10, 1);  // still 2 s after it began
  oxMusic::Stop();
  ox::WindowProc(plat::Message{plat::kMsgMusicNotify, 1, 0});
  EXPECT_EQ(Status(), "");
  ASSERT_EQ(oxMusic::Play("BGM1.MID", 0), 1);
  plat::midi::Stop();
  ox::WindowProc(plat::Message{plat::kMsgMusicNotify, 4, 0});
  EXPECT_EQ(Status(), "stopped");
  EXPECT_EQ(oxMusic::PlayingFlag(), 1);

  ASSERT_EQ(oxMusic::Play("BGM1.MID", 1), 1);
  oxMusic::NoLoop();
  oxDraw::Release();
  ASSERT_EQ(oxDraw::Screen(640, 480, 2), 1);
  EXPECT_TRUE(oxMusic::PlayingFlag() == 0 && oxMusic::LoopFlag() == 1 && Status() == "");
  EXPECT_EQ(oxMusic::Play("BGM1.MID", 1), 1);
  EXPECT_EQ(Status(), "playing");
}


// The scene renders the music when no audio output is open and records the
// device's mode; the main loop carries each end to the window procedure,
// which restarts the piece until NoLoop.
std::vector<std::string> g_modes;
constexpr int kNoLoopAt = 50;

void MusicScene() {
  static int16_t buf[2 * kFrameSamples];
  if (ox::App().sceneChanged) oxMusic::Play("LOOP.MID", 1);
  if (!plat::audio::IsOpen()) {
    memset(buf, 0, sizeof buf);
    plat::midi::Render(buf, kFrameSamples, kRate);
  }
  g_modes.push_back(Status());
  if (int(g_modes.size()) == kNoLoopAt) oxMusic::NoLoop();
}

TEST_F(MidiPlaying, TheMainLoopRestartsALoopingPieceAtItsEnd) {
  WriteData("LOOP.MID", Piece(0.15));
  GameDefinition game;
  game.load = [] {
    oxDraw::Screen(640, 480, 2);
    ox::App().scene = 1;
  };
  game.scenes[1] = MusicScene;
  g_modes.clear();
  std::vector<std::string> args = {"samplegame", "--headless", "--frames", "80"};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ASSERT_EQ(oxRun(int(argv.size()), argv.data(), game), 0);
  ASSERT_EQ(g_modes.size(), 80u);
  // Each "stopped" is followed by "playing" until NoLoop; the end after that closes.
  int ends = 0;
  size_t closedAt = 0;
  for (size_t i = 0; i + 1 < g_modes.size(); ++i) {
    ends += g_modes[i] == "stopped";
    EXPECT_TRUE(g_modes[i] != "stopped" || int(i) >= kNoLoopAt || g_modes[i + 1] == "playing") << i;
    if (g_modes[i].empty() && closedAt == 0) closedAt = i;
  }
  EXPECT_GE(ends, 5);
  ASSERT_GT(closedAt, size_t(kNoLoopAt));
  EXPECT_LE(closedAt, size_t(kNoLoopAt + 11));
  EXPECT_EQ(std::count(g_modes.begin() + long(closedAt), g_modes.end(), ""), long(80 - closedAt));
  EXPECT_EQ(oxMusic::PlayingFlag(), 0);
}

}  // namespace
