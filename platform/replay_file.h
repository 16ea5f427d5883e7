// The file format of a recorded run (--record, --replay), version 1.
//
// A 20-byte header, then records; every number is little-endian.
//
//   header  "SGREPLAY", u16 version (1), u16 flags (bit 0: the seed came from
//           the calendar; bit 1: the game's choices follow; the other bits
//           are 0), u32 seed, u32 first clock reading
//   choices (with flag bit 1) u16 length (1 to 240), then that many bytes of
//           printable ASCII: the game's choices that steer play, as the game
//           wrote them ("assist=70 stage=7"). A recording without them is
//           one of a game that made no such choices, or an older one.
//   'P' u32 pass, u32 clock   frame pass `pass` (1, 2, 3, ... in order) began
//                             with the clock at `clock`; J and C items follow
//   'G' u8 source             the messages the backend delivered at one pump
//                             (0) or when the main window was created (1);
//                             M and K items follow
//   'M' u8 message, u32 wparam, u32 lparam     one window message
//   'K' u8 key, u8 down       the key-state answer for a virtual key changed
//   'J' u8 pad, u8 attached, u16 x, u16 y, u32 buttons
//                             the reading of joystick `pad` changed
//   'C' u8 pad, u8 attached, u32 buttons, 6 x s16 axes
//                             the reading of game controller `pad` changed
//                             (buttons and axes in gamepad.h's order)
//   'A' u8 answer, u32 clock  a message box was answered (1 OK or Yes, 0 No)
//                             and left the clock at `clock`; K items follow
//   'W' u32 clock             a wait ended with the clock at `clock`
//   'I' u32 clock             a wait for messages ended with the clock moved
//   'E' u32 passes            the run ended after `passes` passes; last record
//
// J, C and K items may also stand between the header and the first record: the
// state at the start. A file without 'E' is the prefix a crash leaves; it
// replays as far as it goes. Clock readings wrap at 2^32 and never step back.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat::replay {

constexpr char kMagic[8] = {'S', 'G', 'R', 'E', 'P', 'L', 'A', 'Y'};
constexpr uint16_t kVersion = 1;
constexpr uint16_t kFlagCalendarSeed = 1;
constexpr uint16_t kFlagGameChoices = 2;
constexpr size_t kHeaderSize = 20;  // without the choices
constexpr size_t kMaxGameChoices = 240;
constexpr size_t kMaxHeaderSize = kHeaderSize + 2 + kMaxGameChoices;
// A recording of more than a day of play is refused rather than loaded.
constexpr size_t kMaxFileSize = 64u << 20;

enum Tag : uint8_t {
  kPass = 'P',
  kGroup = 'G',
  kMessage = 'M',
  kKey = 'K',
  kPad = 'J',
  kGamepad = 'C',
  kAnswer = 'A',
  kWait = 'W',
  kIdle = 'I',
  kEnd = 'E',
};

enum Source : uint8_t { kFromPump = 0, kFromWindow = 1 };

// Longest record, tag included.
constexpr size_t kMaxRecordSize = 19;
// Size of a record with this tag, tag included; 0 for an unknown tag.
size_t RecordSize(uint8_t tag);

struct Header {
  uint32_t seed = 0;
  bool calendarSeed = false;
  uint32_t clockStart = 0;
  char gameChoices[kMaxGameChoices + 1] = {};  // "" when none were kept
};

struct Summary {
  Header header;
  size_t headerSize = kHeaderSize;  // where the records begin
  uint32_t passes = 0;    // number of the last pass recorded
  bool complete = false;  // ends with its end record
};

// Checks a whole recording. On damage writes a one-line reason (naming the
// byte offset where it applies) and returns false.
bool Check(const uint8_t* data, size_t size, Summary& out, char* error, size_t errorSize);

// Little-endian fields.
inline uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t Get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint8_t* Put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  return p + 2;
}
inline uint8_t* Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
  return p + 4;
}

// Writes the header into `out` (kMaxHeaderSize bytes at most) and returns
// its size; choices longer than kMaxGameChoices are cut, and characters
// other than printable ASCII become '?'.
size_t EncodeHeader(uint8_t* out, const Header& header);

}  // namespace plat::replay
