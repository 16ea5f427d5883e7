#include "platform/replay.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/headless.h"
#include "platform/messages.h"
#include "platform/platform.h"

namespace plat::replay {

namespace {

enum class Mode { Off, Record, Replay };

struct PadLatch {
  bool attached = false;
  joystick::Position position;
};

struct Session {
  Mode mode = Mode::Off;
  uint32_t clock = 0;  // the reading every Clock() gives until the next one is taken
  bool keys[256] = {};
  PadLatch pads[joystick::kPads];
  gamepad::State gamepads[gamepad::kPads];
  bool capturing = false;

  // Recording. Whole records are gathered in `buffer` and written with one
  // call at every point the run may stop for a while, so a crash leaves a
  // file that ends at a record boundary.
  FILE* file = nullptr;
  bool writing = false;
  char path[1024] = {};
  // The file is written under this name in the same folder and renamed to
  // `path` when the recording ends; empty when there is nothing to rename.
  char tempPath[1040] = {};
  uint8_t buffer[8192];
  size_t used = 0;
  bool groupOpen = false;
  uint8_t groupSource = kFromPump;
  uint32_t lastPass = 0;

  // Replay. The recording is read whole at the start; `next` walks the
  // records the message loop consumes (groups, idle readings, passes),
  // `answers` and `waits` the records of message boxes and waits, each
  // matched to the pass it was made in.
  std::vector<uint8_t> data;
  Summary summary;
  bool loaded = false;
  size_t next = 0;
  size_t answers = 0, waits = 0;
  uint32_t answersPass = 0, waitsPass = 0;
  uint32_t begun = 0;  // number of the pass last begun
  bool closeWanted = false, closeSent = false;
};

Session& G() {
  static Session session;
  return session;
}

// ------------------------------------------------------------ recording

void Flush() {
  Session& s = G();
  if (!s.writing || s.used == 0) return;
  const bool ok = fwrite(s.buffer, 1, s.used, s.file) == s.used;
  s.used = 0;
  if (!ok) {
    fprintf(stderr, "samplegame: cannot write the recording %s: %s; recording stopped\n", s.path,
            strerror(errno));
    fclose(s.file);
    s.file = nullptr;
    s.writing = false;
  }
}

void Append(const uint8_t* record, size_t n) {
  Session& s = G();
  if (!s.writing) return;
  if (s.used + n > sizeof s.buffer) Flush();
  memcpy(s.buffer + s.used, record, n);
  s.used += n;
}

void AppendClock(uint8_t tag, uint32_t clock) {
  uint8_t r[5] = {tag};
  Put32(r + 1, clock);
  Append(r, sizeof r);
}

void OpenGroup() {
  Session& s = G();
  if (s.groupOpen) return;
  const uint8_t r[2] = {kGroup, s.groupSource};
  Append(r, sizeof r);
  s.groupOpen = true;
}

// Records every key whose answer changed since the last look. Inside a
// pump the changes belong to its group.
void RecordKeys(bool inGroup) {
  Session& s = G();
  for (int vk = 1; vk < 256; ++vk) {
    const bool down = detail::LiveKeyDown(vk);
    if (down == s.keys[vk]) continue;
    s.keys[vk] = down;
    if (inGroup) OpenGroup();
    const uint8_t r[3] = {kKey, uint8_t(vk), uint8_t(down)};
    Append(r, sizeof r);
  }
}

// Reads both joysticks and both game controllers and records the ones whose
// reading changed.
void RecordPads() {
  Session& s = G();
  for (int pad = 0; pad < joystick::kPads; ++pad) {
    PadLatch now;
    now.attached = joystick::ReadPadLive(pad, now.position);
    if (!now.attached) now.position = joystick::Position{};
    PadLatch& was = s.pads[pad];
    if (now.attached == was.attached && now.position.x == was.position.x &&
        now.position.y == was.position.y && now.position.buttons == was.position.buttons)
      continue;
    was = now;
    uint8_t r[11] = {kPad, uint8_t(pad), uint8_t(now.attached)};
    uint8_t* p = Put16(r + 3, uint16_t(now.position.x));
    p = Put16(p, uint16_t(now.position.y));
    Put32(p, now.position.buttons);
    Append(r, sizeof r);
  }
  for (int pad = 0; pad < gamepad::kPads; ++pad) {
    gamepad::State now;
    gamepad::ReadLive(pad, now);
    gamepad::State& was = s.gamepads[pad];
    if (now == was) continue;
    was = now;
    uint8_t r[19] = {kGamepad, uint8_t(pad), uint8_t(now.attached)};
    uint8_t* p = Put32(r + 3, now.buttons);
    for (int16_t axis : now.axes) p = Put16(p, static_cast<uint16_t>(axis));
    Append(r, sizeof r);
  }
}

// ------------------------------------------------------------ replay

const uint8_t* At(size_t offset) { return G().data.data() + offset; }
size_t End() { return G().data.size(); }

bool IsItem(uint8_t tag) {
  return tag == kMessage || tag == kKey || tag == kPad || tag == kGamepad;
}

size_t SkipItems(size_t o) {
  while (o < End() && IsItem(*At(o))) o += RecordSize(*At(o));
  return o;
}

// Puts the items from `o` into effect: messages into the queue, key states
// and joystick readings into the latches. Returns the offset after them.
size_t ApplyItems(size_t o) {
  Session& s = G();
  for (; o < End() && IsItem(*At(o)); o += RecordSize(*At(o))) {
    const uint8_t* r = At(o);
    if (r[0] == kMessage) {
      detail::Enqueue(r[1], static_cast<intptr_t>(Get32(r + 2)), static_cast<intptr_t>(Get32(r + 6)));
    } else if (r[0] == kKey) {
      s.keys[r[1]] = r[2] != 0;
    } else if (r[0] == kGamepad) {
      gamepad::State& g = s.gamepads[r[1]];
      g.attached = r[2] != 0;
      g.buttons = Get32(r + 3);
      for (int a = 0; a < gamepad::kAxes; ++a) g.axes[a] = static_cast<int16_t>(Get16(r + 7 + 2 * a));
    } else {
      PadLatch& p = s.pads[r[1]];
      p.attached = r[2] != 0;
      p.position = joystick::Position{Get16(r + 3), Get16(r + 5), Get32(r + 7)};
    }
  }
  return o;
}

// Moves the message loop's cursor past the records other cursors consume.
void SkipOthers() {
  Session& s = G();
  while (s.next < End() && (*At(s.next) == kAnswer || *At(s.next) == kWait))
    s.next = SkipItems(s.next + RecordSize(*At(s.next)));
}

bool NextIs(uint8_t tag) {
  SkipOthers();
  return G().next < End() && *At(G().next) == tag;
}

void DeliverGroup() {
  Session& s = G();
  s.next = ApplyItems(s.next + RecordSize(kGroup));
}

void TakeIdle() {
  Session& s = G();
  s.clock = Get32(At(s.next) + 1);
  s.next += RecordSize(kIdle);
}

// Finds the next record with `tag` made during the pass now running;
// records of earlier passes that this run did not ask for are passed over.
// Returns its offset, or End().
size_t FindInPass(uint8_t tag, size_t& cursor, uint32_t& cursorPass) {
  Session& s = G();
  while (cursor < End()) {
    const uint8_t* r = At(cursor);
    if (r[0] == kPass) {
      if (Get32(r + 1) > s.begun) return End();
      cursorPass = Get32(r + 1);
    } else if (r[0] == tag && cursorPass == s.begun) {
      const size_t found = cursor;
      cursor = SkipItems(cursor + RecordSize(tag));
      return found;
    }
    cursor = SkipItems(cursor + RecordSize(r[0]));
  }
  return End();
}

void PostCloseOnce() {
  Session& s = G();
  if (s.closeSent) return;
  s.closeSent = true;
  detail::Enqueue(kMsgClose, 0, 0);
}

}  // namespace

// ------------------------------------------------------------ sessions

bool Load(const char* path, char* error, size_t errorSize) {
  Session& s = G();
  EndSession();
  FILE* f = fopen(path, "rb");
  if (!f) {
    snprintf(error, errorSize, "cannot open the recording %s: %s", path, strerror(errno));
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t n;
  bool tooLarge = false;
  while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) {
    if (bytes.size() + n > kMaxFileSize + 1) {
      tooLarge = true;
      break;
    }
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  const bool readError = ferror(f) != 0;
  fclose(f);
  if (readError) {
    snprintf(error, errorSize, "cannot read the recording %s", path);
    return false;
  }
  char reason[160];
  if (tooLarge) {
    snprintf(reason, sizeof reason, "larger than %zu MiB", kMaxFileSize >> 20);
  } else if (Check(bytes.data(), bytes.size(), s.summary, reason, sizeof reason)) {
    s.data.swap(bytes);
    s.loaded = true;
    return true;
  }
  snprintf(error, errorSize, "the recording %s is damaged or foreign: %s", path, reason);
  return false;
}

const Header& LoadedHeader() { return G().summary.header; }
uint32_t RecordedPasses() { return G().summary.passes; }

void StartReplay() {
  Session& s = G();
  if (!s.loaded) return;
  s.mode = Mode::Replay;
  s.clock = s.summary.header.clockStart;
  for (bool& k : s.keys) k = false;
  for (PadLatch& p : s.pads) p = PadLatch{};
  for (gamepad::State& g : s.gamepads) g = gamepad::State{};
  s.next = ApplyItems(s.summary.headerSize);  // the state at the start
  s.answers = s.waits = s.next;
  s.answersPass = s.waitsPass = 0;
  s.begun = 0;
  s.closeWanted = s.closeSent = false;
}

bool StartRecording(const char* path, uint32_t seed, bool calendarSeed, char* error,
                    size_t errorSize, const char* gameChoices) {
  Session& s = G();
  detail::Backend* b = detail::CurrentBackend();
  if (!b || s.mode != Mode::Off) {
    snprintf(error, errorSize, "cannot record %s: the platform is not ready", path);
    return false;
  }
  if (strlen(path) >= sizeof s.path) {
    snprintf(error, errorSize, "cannot record: the file name is too long");
    return false;
  }
  // A temporary name beside the file: an older recording under `path`
  // stays whole until this one is complete, and a crash leaves this one's
  // prefix under the temporary name. (Not the settings files' ".tmpPID",
  // whose leftovers a settings writer removes.)
  snprintf(s.tempPath, sizeof s.tempPath, "%s.part%ld", path, static_cast<long>(getpid()));
  s.file = fopen(s.tempPath, "wb");
  if (!s.file) {
    snprintf(error, errorSize, "cannot write the recording %s: %s", s.tempPath, strerror(errno));
    s.tempPath[0] = '\0';
    return false;
  }
  // Unbuffered: every Flush is one write of whole records.
  setvbuf(s.file, nullptr, _IONBF, 0);
  strcpy(s.path, path);
  s.mode = Mode::Record;
  s.writing = true;
  s.used = 0;
  s.groupOpen = false;
  s.lastPass = 0;
  s.clock = b->Clock();
  for (bool& k : s.keys) k = false;
  for (PadLatch& p : s.pads) p = PadLatch{};
  for (gamepad::State& g : s.gamepads) g = gamepad::State{};
  Header h{seed, calendarSeed, s.clock};
  if (gameChoices) snprintf(h.gameChoices, sizeof h.gameChoices, "%s", gameChoices);
  uint8_t header[kMaxHeaderSize];
  Append(header, EncodeHeader(header, h));
  RecordPads();
  RecordKeys(false);
  Flush();
  if (!s.writing) {
    s.mode = Mode::Off;
    snprintf(error, errorSize, "cannot write the recording %s", path);
    return false;
  }
  return true;
}

void EndSession() {
  Session& s = G();
  if (s.mode == Mode::Record && s.writing) {
    uint8_t r[5] = {kEnd};
    Put32(r + 1, s.lastPass);
    Append(r, sizeof r);
    Flush();
    if (s.writing && fclose(s.file) != 0)
      fprintf(stderr, "samplegame: cannot finish the recording %s: %s\n", s.path, strerror(errno));
  } else if (s.file) {
    fclose(s.file);
  }
  // What was written, whole or a prefix after a failed write, takes the
  // recording's name.
  if (s.tempPath[0] && rename(s.tempPath, s.path) != 0)
    fprintf(stderr, "samplegame: cannot rename the recording %s to %s: %s\n", s.tempPath, s.path,
            strerror(errno));
  s.tempPath[0] = '\0';
  s.file = nullptr;
  s.writing = false;
  s.mode = Mode::Off;
  s.capturing = false;
  std::vector<uint8_t>().swap(s.data);
  s.loaded = false;
  s.summary = Summary{};
}

bool Recording() { return G().mode == Mode::Record; }
bool Replaying() { return G().mode == Mode::Replay; }

bool ReplayFinished(uint32_t passesDone) {
  Session& s = G();
  if (s.mode != Mode::Replay || passesDone < s.summary.passes) return false;
  for (size_t o = s.next; o < End(); o += RecordSize(*At(o)))
    if (*At(o) == kGroup) return false;
  return true;
}

void Resync() {
  Session& s = G();
  detail::Backend* b = detail::CurrentBackend();
  if (s.mode == Mode::Record && b) {
    const uint32_t now = b->Clock();
    if (now == s.clock) return;
    s.clock = now;
    AppendClock(kIdle, now);
    Flush();
  } else if (s.mode == Mode::Replay && NextIs(kIdle)) {
    TakeIdle();
  }
}

// ------------------------------------------------------------ hooks

uint32_t Clock() { return G().clock; }

void BeginFramePass(detail::Backend& b, uint32_t pass) {
  Session& s = G();
  if (s.mode == Mode::Record) {
    s.clock = b.Clock();
    uint8_t r[9] = {kPass};
    Put32(Put32(r + 1, pass), s.clock);
    Append(r, sizeof r);
    RecordPads();
    s.lastPass = pass;
    Flush();
    return;
  }
  s.begun = pass;
  // Whatever the loop left of the previous pass is put into effect now
  // rather than lost.
  for (;;) {
    SkipOthers();
    if (s.next >= End()) break;
    const uint8_t* r = At(s.next);
    if (r[0] == kGroup) {
      DeliverGroup();
    } else if (r[0] == kIdle) {
      TakeIdle();
    } else if (r[0] == kPass && Get32(r + 1) == pass) {
      s.clock = Get32(r + 5);
      s.next = ApplyItems(s.next + RecordSize(kPass));
      return;
    } else {
      break;
    }
  }
  // Past the recording: the clock goes on at 60 passes a second.
  s.clock += static_cast<uint32_t>(uint64_t(pass) * 1000 / 60 - uint64_t(pass - 1) * 1000 / 60);
}

void Pump(detail::Backend& b) {
  Session& s = G();
  s.capturing = true;
  s.groupSource = kFromPump;
  b.Pump();
  s.capturing = false;
  if (s.mode == Mode::Record) {
    RecordKeys(true);
    s.groupOpen = false;
    Flush();
    return;
  }
  if (s.closeWanted) {
    PostCloseOnce();
    return;
  }
  if (NextIs(kGroup)) DeliverGroup();
}

bool CreateMainWindow(detail::Backend& b, const char* title, int w, int h, bool fullScreen) {
  Session& s = G();
  s.capturing = true;
  s.groupSource = kFromWindow;
  const bool ok = b.CreateMainWindow(title, w, h, fullScreen);
  s.capturing = false;
  if (s.mode == Mode::Record) {
    s.groupOpen = false;
    Flush();
  } else if (NextIs(kGroup) && At(s.next)[1] == kFromWindow) {
    DeliverGroup();
  }
  return ok;
}

void WaitUntil(detail::Backend& b, uint32_t deadline) {
  Session& s = G();
  if (s.mode == Mode::Record) {
    b.WaitUntil(deadline);
    s.clock = b.Clock();
    AppendClock(kWait, s.clock);
    Flush();
    return;
  }
  const size_t at = FindInPass(kWait, s.waits, s.waitsPass);
  if (at == End()) {
    // Not in the recording: the wait ends as the virtual clock's would.
    if (s.clock <= deadline) s.clock = deadline + 1;
    return;
  }
  const uint32_t recorded = Get32(At(at) + 1);
  const uint32_t waited = recorded - s.clock;
  s.clock = recorded;
  // A window shows the wait as it was; a bounded one, so a strange file
  // cannot stall the replay.
  if (b.RealTime() && waited > 0 && waited <= 10000) b.WaitUntil(b.Clock() + waited - 1);
}

void WaitMessage(detail::Backend& b) {
  Session& s = G();
  if (s.mode == Mode::Record) {
    b.WaitForEvent();
    const uint32_t now = b.Clock();
    if (now == s.clock) return;
    s.clock = now;
    AppendClock(kIdle, now);
    Flush();
    return;
  }
  if (NextIs(kIdle)) {
    TakeIdle();
    b.WaitForEvent();  // a window stays responsive; headless returns at once
  } else if (!NextIs(kGroup)) {
    // The recorded run never waited here: nothing can move this run on.
    PostCloseOnce();
  }
}

int MessageBox(detail::Backend& b, const char* caption, const char* text, BoxIcon icon,
               BoxButtons buttons) {
  Session& s = G();
  if (s.mode == Mode::Record) {
    const int answer = b.MessageBox(caption, text, icon, buttons);
    s.clock = b.Clock();
    uint8_t r[6] = {kAnswer, uint8_t(answer ? 1 : 0)};
    Put32(r + 2, s.clock);
    Append(r, sizeof r);
    RecordKeys(false);
    Flush();
    return answer;
  }
  const size_t at = FindInPass(kAnswer, s.answers, s.answersPass);
  const bool yesNo = buttons == BoxButtons::YesNo;
  int answer = yesNo ? 0 : 1;
  if (at != End()) {
    answer = At(at)[1];
    s.clock = Get32(At(at) + 2);
    ApplyItems(at + RecordSize(kAnswer));
  }
  if (!b.RealTime()) {
    // The headless box reports itself as usual, with the recorded answer.
    if (yesNo) headless::QueueAnswer(answer);
    return b.MessageBox(caption, text, icon, buttons);
  }
  fprintf(stderr, "[%s] %s%s\n", caption, text, yesNo ? (answer ? " -> Yes" : " -> No") : "");
  return answer;
}

bool KeyDown(int vk) { return vk > 0 && vk < 256 && G().keys[vk]; }

bool ReadPad(int pad, joystick::Position& out) {
  if (pad < 0 || pad >= joystick::kPads || !G().pads[pad].attached) return false;
  out = G().pads[pad].position;
  return true;
}

bool ReadGamepad(int pad, gamepad::State& out) {
  if (pad < 0 || pad >= gamepad::kPads || !G().gamepads[pad].attached) return false;
  out = G().gamepads[pad];
  return true;
}

bool Capturing() { return G().capturing; }

bool TakeBackendMessage(uint32_t message, intptr_t wparam, intptr_t lparam) {
  Session& s = G();
  if (s.mode == Mode::Record) {
    OpenGroup();
    uint8_t r[10] = {kMessage, uint8_t(message)};
    Put32(Put32(r + 2, static_cast<uint32_t>(wparam)), static_cast<uint32_t>(lparam));
    Append(r, sizeof r);
    return true;
  }
  // A replay takes no live input; Escape or closing the window ends it.
  const bool key = message == kMsgKeyDown || message == kMsgSysKeyDown;
  if (message == kMsgClose || (key && wparam == kVkEscape)) s.closeWanted = true;
  return false;
}

}  // namespace plat::replay
