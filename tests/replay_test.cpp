// Recorded runs (--record) played back (--replay): the same dumps and
// pictures, damaged files refused, and the platform's input channels as a
// recording holds them.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/joystick.h"
#include "platform/platform.h"
#include "platform/replay.h"
#include "tests/test_support.h"

namespace {

std::string Temp(const std::string& name) { return oxtest::DataDir() + name; }

void WriteText(const std::string& path, const std::string& text) {
  ASSERT_TRUE(oxtest::WriteFile(path, text));
}

struct GameRun {
  int code;
  std::string err;
};

// Runs the executable (headless unless `prefix` starts another backend),
// with its standard error kept.
GameRun RunGame(const std::string& args, const std::string& prefix = "") {
  const std::string err = Temp("stderr.txt");
  std::string cmd = prefix + SAMPLEGAME_EXE + std::string(prefix.empty() ? " --headless " : " ") +
                    args + " 2>" + err;
  const int status = system(cmd.c_str());
  return GameRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, oxtest::ReadFile(err)};
}

// Through the title into stage one, firing, steering with the keys and the
// joystick; the answer line waits for a question.
const char* kScript =
    "5 ENTER down\n7 ENTER up\n10 F1 down\n12 F1 up\n20 X down\n20 Z down\n"
    "40 JOY0 X 0\n60 JOY0 BUTTON 2 down\n90 JOY0 BUTTON 2 up\n100 JOY0 X 32767\n"
    "300 LEFT down\n400 LEFT up\n450 answer yes\n";

TEST(Replay, RoundTripGivesTheSameDumpAndPicturesAsTheRecordedRun) {
  const std::string script = Temp("script.txt");
  WriteText(script, kScript);
  // With a seed: recording changes nothing about the run.
  const std::string plain = Temp("plain.json"), rec = Temp("rec.json"), rep = Temp("rep.json");
  const std::string file = Temp("seeded.sgr");
  const std::string common = "--frames 700 --input " + script;
  ASSERT_EQ(RunGame(common + " --seed 9 --shot 650:" + Temp("plain.bmp") + " --dump " + plain).code, 0);
  ASSERT_EQ(RunGame(common + " --seed 9 --record " + file + " --dump " + rec).code, 0);
  ASSERT_EQ(RunGame("--replay " + file + " --shot 650:" + Temp("rep.bmp") + " --dump " + rep).code, 0);
  const std::string dump = oxtest::ReadFile(plain);
  EXPECT_NE(dump.find("\"scene\": 2"), std::string::npos) << dump;  // a stage was reached
  EXPECT_NE(dump.find("\"frame\": 700"), std::string::npos) << dump;
  EXPECT_EQ(oxtest::ReadFile(rec), dump);
  EXPECT_EQ(oxtest::ReadFile(rep), dump);
  EXPECT_EQ(oxtest::ReadFile(Temp("rep.bmp")), oxtest::ReadFile(Temp("plain.bmp")));

  // Without a seed the calendar's is recorded and used again.
  const std::string calendar = Temp("calendar.sgr");
  ASSERT_EQ(RunGame(common + " --record " + calendar + " --dump " + rec).code, 0);
  ASSERT_EQ(RunGame("--replay " + calendar + " --dump " + rep).code, 0);
  EXPECT_EQ(oxtest::ReadFile(rep), oxtest::ReadFile(rec));
  const std::string bytes = oxtest::ReadFile(calendar);
  ASSERT_GT(bytes.size(), 20u);
  EXPECT_EQ(bytes.substr(0, 8), "SGREPLAY");
  EXPECT_EQ(uint8_t(bytes[10]), 1);  // the calendar flag
  EXPECT_EQ(bytes[bytes.size() - 5], 'E');
}

TEST(Replay, FewerFramesAndAClockStartNearTheWrap) {
  const std::string script = Temp("script.txt");
  WriteText(script, kScript);
  const std::string file = Temp("wrap.sgr");
  const std::string full = Temp("wrap-full.json"), rep = Temp("wrap-rep.json");
  ASSERT_EQ(RunGame("--frames 600 --seed 4 --clock-start 4294960000 --input " + script +
                    " --record " + file + " --dump " + full)
                .code,
            0);
  ASSERT_EQ(RunGame("--replay " + file + " --dump " + rep).code, 0);
  const std::string dump = oxtest::ReadFile(rep);
  EXPECT_EQ(dump, oxtest::ReadFile(full));
  EXPECT_NE(dump.find("\"clock_ms\": 2704"), std::string::npos) << dump;  // wrapped past 2^32

  // --frames ends the replay early, where the same run would have stood.
  const std::string shortRun = Temp("wrap-short.json"), shortRep = Temp("wrap-short-rep.json");
  ASSERT_EQ(RunGame("--frames 150 --seed 4 --clock-start 4294960000 --input " + script +
                    " --dump " + shortRun)
                .code,
            0);
  ASSERT_EQ(RunGame("--replay " + file + " --frames 150 --dump " + shortRep).code, 0);
  EXPECT_EQ(oxtest::ReadFile(shortRep), oxtest::ReadFile(shortRun));
  EXPECT_NE(oxtest::ReadFile(shortRep).find("\"frame\": 150"), std::string::npos);

  // A file a crash cut short after a whole record replays as far as it goes.
  const std::string whole = oxtest::ReadFile(file);
  const std::string prefix = Temp("prefix.sgr"), prefixDump = Temp("prefix.json");
  size_t cut = plat::replay::kHeaderSize;
  for (int passes = 0; cut < whole.size(); cut += plat::replay::RecordSize(uint8_t(whole[cut])))
    if (whole[cut] == plat::replay::kPass && ++passes == 6) break;
  WriteText(prefix, whole.substr(0, cut));  // the first five passes
  ASSERT_EQ(RunGame("--replay " + prefix + " --dump " + prefixDump).code, 0);
  EXPECT_NE(oxtest::ReadFile(prefixDump).find("\"frame\": 5"), std::string::npos);
}

// ------------------------------------------------------------ damage

std::string U16(uint16_t v) { return std::string{char(v), char(v >> 8)}; }
std::string U32(uint32_t v) { return U16(uint16_t(v)) + U16(uint16_t(v >> 16)); }
std::string Header(uint16_t version = 1, uint16_t flags = 0) {
  return "SGREPLAY" + U16(version) + U16(flags) + U32(7) + U32(1000);
}
std::string Pass(uint32_t n, uint32_t clock) { return "P" + U32(n) + U32(clock); }
std::string Group(uint8_t source) { return std::string{'G', char(source)}; }
std::string Message(uint8_t m, uint32_t w, uint32_t l) { return "M" + std::string(1, char(m)) + U32(w) + U32(l); }

TEST(Replay, DamagedOrForeignFilesAreRefusedWithOneLine) {
  const std::string good = Header() + Pass(1, 1016) + Pass(2, 1033);
  const struct {
    std::string bytes;
    const char* reason;
  } kCases[] = {
      {"", "not a Sample Game recording"},
      {"RIFF\x10\0\0\0WAVEfmt ", "not a Sample Game recording"},
      {Header().substr(0, 14), "header cut short"},
      {Header(2), "format version 2"},
      {Header(1, 6), "unknown header flags"},
      {good + "P" + U32(3), "truncated record"},
      {good + Pass(4, 1050), "pass numbers out of order"},
      {Header() + Pass(1, 999), "clock steps back"},
      {good + "Z", "unknown record type 0x5A"},
      {good + "E" + U32(2) + Pass(3, 1050), "data after the end record"},
      {good + "E" + U32(5), "end record disagrees"},
      {Header() + Message(1, 13, 0), "event outside its record"},
      {good + Group(0) + Message(19, 0, 0), "message a backend does not deliver"},
      {good + Group(0) + Message(1, 300, 0), "key code outside 1 to 255"},
      {good + Group(0) + Message(2, 83, 1u << 30), "key message with a position"},
      {good + Group(0) + Message(1, 83, 5), "key message with a position"},
      {good + Group(0) + std::string{'K', 0, 0}, "key code 0"},
      {good + "J\x02\x01" + std::string(8, '\0'), "joystick other than 0 or 1"},
      {good + std::string{'J', 0, 0} + U16(5) + std::string(6, '\0'), "not attached"},
      {good + "A\x07" + U32(1040), "answer other than 0 or 1"},
      {good + Group(5), "unknown message source"},
  };
  const std::string path = Temp("damaged.sgr"), dump = Temp("damaged.json");
  for (const auto& c : kCases) {
    WriteText(path, c.bytes);
    remove(dump.c_str());
    const GameRun r = RunGame("--replay " + path + " --dump " + dump);
    EXPECT_EQ(r.code, 1) << c.reason;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("samplegame: "), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // one line
    EXPECT_TRUE(oxtest::ReadFile(dump).empty()) << "the run must not start: " << c.reason;
  }
  // The same file undamaged plays its two passes.
  WriteText(path, good);
  EXPECT_EQ(RunGame("--replay " + path + " --dump " + dump).code, 0);
  EXPECT_NE(oxtest::ReadFile(dump).find("\"frame\": 2"), std::string::npos);
  EXPECT_NE(oxtest::ReadFile(dump).find("\"clock_ms\": 1033"), std::string::npos);
  // A key-down marked as autorepeat is a message the backend delivers.
  WriteText(path, Header() + Pass(1, 1016) + Group(0) + Message(1, 83, 1u << 30) + Pass(2, 1033));
  EXPECT_EQ(RunGame("--replay " + path + " --dump " + dump).code, 0);

  EXPECT_EQ(RunGame("--replay /nonexistent/x.sgr").code, 1);
  // Options a replay takes from its file, or that contradict it.
  EXPECT_EQ(RunGame("--replay " + path + " --seed 3").code, 2);
  EXPECT_EQ(RunGame("--replay " + path + " --clock-start 5").code, 2);
  EXPECT_EQ(RunGame("--replay " + path + " --input " + path).code, 2);
  EXPECT_EQ(RunGame("--replay " + path + " --record " + Temp("x.sgr")).code, 2);
  // An unwritable recording is reported; the run goes on.
  const GameRun unwritable = RunGame("--frames 5 --record /nonexistent/x.sgr --dump " + dump);
  EXPECT_EQ(unwritable.code, 0);
  EXPECT_NE(unwritable.err.find("cannot write the recording /nonexistent/x.sgr"), std::string::npos);
  EXPECT_NE(oxtest::ReadFile(dump).find("\"frame\": 5"), std::string::npos);
}

// ------------------------------------------------------------ channels

struct Trace {
  std::vector<uint32_t> clocks;  // at each pass, and after the box and the wait
  std::vector<uint32_t> messages;
  std::vector<int> keyA;
  std::vector<uint32_t> padX, padButtons;
  int answer = -1;
};

// A few passes through the platform layer as the main loop drives it, with
// a question box and a wait in the second.
Trace Drive() {
  Trace t;
  EXPECT_TRUE(plat::CreateMainWindow("t", 640, 480, false));
  for (int pass = 1; pass <= 4; ++pass) {
    plat::Message m;
    while (plat::PeekMessage(m)) t.messages.push_back(m.message << 16 | uint32_t(m.wparam));
    plat::BeginFramePass();
    t.clocks.push_back(plat::Clock());
    t.keyA.push_back(plat::KeyDown('A'));
    plat::joystick::Position p;
    plat::joystick::ReadPad(0, plat::joystick::kAxes | plat::joystick::kButtons, p);
    t.padX.push_back(p.x);
    t.padButtons.push_back(p.buttons);
    if (pass == 2) {
      t.answer = plat::MessageBox("Sample", "Again?", plat::BoxIcon::Question, plat::BoxButtons::YesNo);
      t.clocks.push_back(plat::Clock());
      plat::WaitUntil(plat::Clock() + 250);
      t.clocks.push_back(plat::Clock());
    }
    plat::EndFramePass();
  }
  plat::Shutdown();
  return t;
}

TEST(Replay, KeysJoystickAnswersAndWaitsComeBackFromTheFile) {
  const std::string script = Temp("channels.txt"), file = Temp("channels.sgr");
  WriteText(script, "1 A down\n2 JOY0 X 0\n2 JOY0 BUTTON 3 down\n2 answer yes\n3 A up\n4 ALT down\n");
  char error[256];
  plat::Options o;
  o.headless = true;
  o.clockStart = 5000;
  o.inputScript = script.c_str();
  ASSERT_TRUE(plat::Init(o, error, sizeof error)) << error;
  ASSERT_TRUE(plat::replay::StartRecording(file.c_str(), 11, false, error, sizeof error)) << error;
  const Trace recorded = Drive();

  EXPECT_EQ(recorded.answer, 1);
  EXPECT_EQ(recorded.clocks, (std::vector<uint32_t>{5016, 5033, 5033, 5284, 5301, 5317}));
  EXPECT_EQ(recorded.keyA, (std::vector<int>{1, 1, 0, 0}));
  EXPECT_EQ(recorded.padX, (std::vector<uint32_t>{32767, 0, 0, 0}));
  EXPECT_EQ(recorded.padButtons, (std::vector<uint32_t>{0, 4, 4, 4}));

  // Played back without the script: everything comes from the file.
  ASSERT_TRUE(plat::replay::Load(file.c_str(), error, sizeof error)) << error;
  EXPECT_EQ(plat::replay::LoadedHeader().seed, 11u);
  EXPECT_EQ(plat::replay::LoadedHeader().clockStart, 5000u);
  EXPECT_EQ(plat::replay::RecordedPasses(), 4u);
  o.inputScript = nullptr;
  o.clockStart = 0;  // the file's clock rules
  ASSERT_TRUE(plat::Init(o, error, sizeof error)) << error;
  plat::replay::StartReplay();
  const Trace replayed = Drive();
  EXPECT_EQ(replayed.answer, 1);  // the headless box alone would say No
  EXPECT_EQ(replayed.clocks, recorded.clocks);
  EXPECT_EQ(replayed.messages, recorded.messages);
  EXPECT_EQ(replayed.keyA, recorded.keyA);
  EXPECT_EQ(replayed.padX, recorded.padX);
  EXPECT_EQ(replayed.padButtons, recorded.padButtons);
  // Alt arrives as a system key, as the platform sends it.
  EXPECT_EQ(replayed.messages.back(), uint32_t(plat::kMsgSysKeyDown) << 16 | plat::kVkMenu);
  oxtest::StartHeadless();
}

// The recording is written under a temporary name beside the file and
// renamed at the end: an older file of that name stays whole until then, and
// a run that stops early leaves a prefix that replays.
TEST(Replay, RecordingGoesToATemporaryNameAndIsRenamedAtTheEnd) {
  const std::string file = Temp("renamed.sgr");
  const std::string temp = file + ".part" + std::to_string(static_cast<long>(getpid()));
  WriteText(file, "an older recording");
  char error[256];
  plat::Options o;
  o.headless = true;
  ASSERT_TRUE(plat::Init(o, error, sizeof error)) << error;
  ASSERT_TRUE(plat::replay::StartRecording(file.c_str(), 5, false, error, sizeof error)) << error;
  ASSERT_TRUE(plat::CreateMainWindow("t", 640, 480, false));
  for (int pass = 1; pass <= 3; ++pass) {
    plat::Message m;
    while (plat::PeekMessage(m)) {
    }
    plat::BeginFramePass();
    plat::WaitUntil(plat::Clock() + 20);  // a wait writes what was gathered
    plat::EndFramePass();
  }
  EXPECT_EQ(oxtest::ReadFile(file), "an older recording");
  // The prefix so far, as a crash would leave it, is a readable recording.
  const std::string prefix = oxtest::ReadFile(temp);
  ASSERT_GT(prefix.size(), 16u);
  const std::string copy = Temp("prefix.sgr");
  WriteText(copy, prefix);
  plat::Shutdown();
  EXPECT_NE(access(temp.c_str(), F_OK), 0) << "the temporary file is left behind";
  const std::string whole = oxtest::ReadFile(file);
  EXPECT_EQ(whole.substr(0, 8), "SGREPLAY");
  EXPECT_EQ(whole.compare(0, prefix.size(), prefix), 0);
  ASSERT_TRUE(plat::replay::Load(file.c_str(), error, sizeof error)) << error;
  EXPECT_EQ(plat::replay::RecordedPasses(), 3u);
  EXPECT_TRUE(plat::replay::Load(copy.c_str(), error, sizeof error)) << error;
  EXPECT_GE(plat::replay::RecordedPasses(), 2u);
  plat::replay::EndSession();

  // A folder that cannot be written: refused with the reason, nothing left.
  const std::string bad = Temp("no-such-folder/run.sgr");
  ASSERT_TRUE(plat::Init(o, error, sizeof error)) << error;
  EXPECT_FALSE(plat::replay::StartRecording(bad.c_str(), 5, false, error, sizeof error));
  EXPECT_NE(std::string(error).find("cannot write the recording"), std::string::npos) << error;
  plat::Shutdown();
  oxtest::StartHeadless();
}

}  // namespace
