#include "platform/replay_file.h"

#include <cstdio>
#include <cstring>

#include "platform/messages.h"

namespace plat::replay {

namespace {

// What the items after a record describe.
enum class Context { Start, Pass, Group, Answer, None };

bool ItemFits(uint8_t tag, Context c) {
  switch (c) {
    case Context::Start: return tag == kPad || tag == kGamepad || tag == kKey;
    case Context::Pass: return tag == kPad || tag == kGamepad;
    case Context::Group: return tag == kMessage || tag == kKey;
    case Context::Answer: return tag == kKey;
    case Context::None: return false;
  }
  return false;
}

bool IsPointMessage(uint32_t m) {
  return m == kMsgMouseMove || (m >= kMsgLButtonDown && m <= kMsgRButtonDblClk) || m == kMsgMove;
}

// A message a backend delivers, with parameters it can give; nullptr when
// it is fine, else what is wrong.
const char* MessageFault(uint32_t m, uint32_t wparam, uint32_t lparam) {
  switch (m) {
    case kMsgKeyDown:
    case kMsgKeyUp:
    case kMsgSysKeyDown:
    case kMsgSysKeyUp:
      if (wparam < 1 || wparam > 255) return "key code outside 1 to 255";
      // A key-down may be marked as the desktop's autorepeat; nothing else.
      if ((m == kMsgKeyDown || m == kMsgSysKeyDown) && lparam == uint32_t(kKeyRepeat))
        return nullptr;
      return lparam == 0 ? nullptr : "key message with a position";
    case kMsgChar:
      if (wparam > 0x10FFFF) return "character beyond Unicode";
      return lparam == 0 ? nullptr : "character message with a position";
    case kMsgActivateApp:
      if (wparam > 1) return "activation other than 0 or 1";
      return lparam == 0 ? nullptr : "activation with a position";
    case kMsgSetCursor:
    case kMsgClose:
    case kMsgRaise:
      return wparam == 0 && lparam == 0 ? nullptr : "parameters on a message that takes none";
    default:
      if (IsPointMessage(m)) return wparam == 0 ? nullptr : "parameter on a pointer message";
      return "message a backend does not deliver";
  }
}

}  // namespace

size_t RecordSize(uint8_t tag) {
  switch (tag) {
    case kPass: return 9;
    case kGroup: return 2;
    case kMessage: return 10;
    case kKey: return 3;
    case kPad: return 11;
    case kGamepad: return 19;
    case kAnswer: return 6;
    case kWait: return 5;
    case kIdle: return 5;
    case kEnd: return 5;
    default: return 0;
  }
}

size_t EncodeHeader(uint8_t* out, const Header& h) {
  const size_t choices = strnlen(h.gameChoices, kMaxGameChoices);
  uint16_t flags = h.calendarSeed ? kFlagCalendarSeed : 0;
  if (choices > 0) flags |= kFlagGameChoices;
  memcpy(out, kMagic, sizeof kMagic);
  uint8_t* p = Put16(out + 8, kVersion);
  p = Put16(p, flags);
  p = Put32(p, h.seed);
  p = Put32(p, h.clockStart);
  if (choices == 0) return kHeaderSize;
  p = Put16(p, uint16_t(choices));
  for (size_t i = 0; i < choices; ++i) {
    const char ch = h.gameChoices[i];
    *p++ = uint8_t(ch >= 0x20 && ch <= 0x7E ? ch : '?');
  }
  return kHeaderSize + 2 + choices;
}

bool Check(const uint8_t* data, size_t size, Summary& out, char* error, size_t errorSize) {
  out = Summary{};
  auto fail = [&](size_t at, const char* what) {
    snprintf(error, errorSize, "%s at byte %zu", what, at);
    return false;
  };
  if (size > kMaxFileSize) {
    snprintf(error, errorSize, "larger than %zu MiB", kMaxFileSize >> 20);
    return false;
  }
  if (size < sizeof kMagic || memcmp(data, kMagic, sizeof kMagic) != 0) {
    snprintf(error, errorSize, "not a Sample Game recording");
    return false;
  }
  if (size < kHeaderSize) return fail(size, "header cut short");
  const uint16_t version = Get16(data + 8);
  if (version != kVersion) {
    snprintf(error, errorSize, "recording format version %u; this program reads version %u",
             unsigned(version), unsigned(kVersion));
    return false;
  }
  const uint16_t flags = Get16(data + 10);
  if (flags & ~(kFlagCalendarSeed | kFlagGameChoices)) return fail(10, "unknown header flags");
  out.header.calendarSeed = (flags & kFlagCalendarSeed) != 0;
  out.header.seed = Get32(data + 12);
  out.header.clockStart = Get32(data + 16);
  size_t at = kHeaderSize;
  if (flags & kFlagGameChoices) {
    if (size - at < 2) return fail(at, "game choices cut short");
    const size_t length = Get16(data + at);
    if (length == 0 || length > kMaxGameChoices) return fail(at, "game choices of a bad length");
    at += 2;
    if (size - at < length) return fail(at, "game choices cut short");
    for (size_t i = 0; i < length; ++i) {
      if (data[at + i] < 0x20 || data[at + i] > 0x7E)
        return fail(at + i, "game choices other than printable text");
      out.header.gameChoices[i] = char(data[at + i]);
    }
    out.header.gameChoices[length] = '\0';
    at += length;
  }
  out.headerSize = at;

  uint32_t clock = out.header.clockStart;
  Context context = Context::Start;
  while (at < size) {
    const uint8_t* r = data + at;
    const size_t n = RecordSize(r[0]);
    if (n == 0) {
      char what[48];
      snprintf(what, sizeof what, "unknown record type 0x%02X", unsigned(r[0]));
      return fail(at, what);
    }
    if (out.complete) return fail(at, "data after the end record");
    if (size - at < n) return fail(at, "truncated record");
    const bool item = r[0] == kMessage || r[0] == kKey || r[0] == kPad || r[0] == kGamepad;
    if (item && !ItemFits(r[0], context)) return fail(at, "event outside its record");
    // A clock reading may wrap past 2^32 but never steps back.
    auto clockAt = [&](const uint8_t* p) {
      const uint32_t next = Get32(p);
      if (next - clock >= 0x80000000u) return false;
      clock = next;
      return true;
    };
    switch (r[0]) {
      case kPass:
        if (Get32(r + 1) != out.passes + 1) return fail(at, "pass numbers out of order");
        if (!clockAt(r + 5)) return fail(at, "clock steps back");
        ++out.passes;
        context = Context::Pass;
        break;
      case kGroup:
        if (r[1] > kFromWindow) return fail(at, "unknown message source");
        context = Context::Group;
        break;
      case kMessage:
        if (const char* fault = MessageFault(r[1], Get32(r + 2), Get32(r + 6))) return fail(at, fault);
        break;
      case kKey:
        if (r[1] == 0) return fail(at, "key code 0");
        if (r[2] > 1) return fail(at, "key state other than up or down");
        break;
      case kPad:
        if (r[1] > 1) return fail(at, "joystick other than 0 or 1");
        if (r[2] > 1) return fail(at, "joystick attachment other than 0 or 1");
        if (r[2] == 0 && (Get16(r + 3) || Get16(r + 5) || Get32(r + 7)))
          return fail(at, "reading of a joystick that is not attached");
        break;
      case kGamepad: {
        if (r[1] > 1) return fail(at, "game controller other than 0 or 1");
        if (r[2] > 1) return fail(at, "game controller attachment other than 0 or 1");
        const uint32_t buttons = Get32(r + 3);
        if (buttons >> 15) return fail(at, "unknown game controller button");
        bool moved = buttons != 0;
        for (int a = 0; a < 6; ++a) moved = moved || Get16(r + 7 + 2 * a) != 0;
        if (r[2] == 0 && moved) return fail(at, "reading of a game controller that is not attached");
        break;
      }
      case kAnswer:
        if (r[1] > 1) return fail(at, "answer other than 0 or 1");
        if (!clockAt(r + 2)) return fail(at, "clock steps back");
        context = Context::Answer;
        break;
      case kWait:
      case kIdle:
        if (!clockAt(r + 1)) return fail(at, "clock steps back");
        context = Context::None;
        break;
      case kEnd:
        if (Get32(r + 1) != out.passes) return fail(at, "end record disagrees with the passes");
        out.complete = true;
        context = Context::None;
        break;
    }
    at += n;
  }
  return true;
}

}  // namespace plat::replay
