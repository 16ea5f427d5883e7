#include "sound/music_file.h"

namespace oxs {

namespace {

constexpr uint32_t kMaxTrackTicks = 1u << 30;

uint32_t Be32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
uint16_t Be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

bool Is(const uint8_t* p, const char* id) {
  return p[0] == id[0] && p[1] == id[1] && p[2] == id[2] && p[3] == id[3];
}

// A variable-length quantity of one to four bytes at `pos` (< end).
bool ReadVarLen(const uint8_t* data, size_t end, size_t& pos, uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4; ++i) {
    if (pos >= end) return false;
    uint8_t b = data[pos++];
    value = value << 7 | (b & 0x7F);
    if (!(b & 0x80)) return true;
  }
  return false;
}

// Meta events whose size the sequencer relies on; -1: any size.
int MetaSize(uint8_t type) {
  switch (type) {
    case 0x2F: return 0;  // end of track
    case 0x51: return 3;  // tempo
    case 0x54: return 5;  // SMPTE offset
    case 0x58: return 4;  // time signature
    case 0x59: return 2;  // key signature
    default: return -1;
  }
}

bool ValidTrack(const uint8_t* data, size_t begin, size_t end) {
  size_t pos = begin;
  uint8_t running = 0;
  uint32_t ticks = 0;
  while (pos < end) {
    uint32_t delta;
    if (!ReadVarLen(data, end, pos, delta)) return false;
    if (delta > kMaxTrackTicks - ticks) return false;
    ticks += delta;
    if (pos >= end) return false;
    uint8_t status = data[pos];
    if (status & 0x80) {
      ++pos;
    } else {
      if (running == 0) return false;  // data bytes before any status
      status = running;
    }
    if (status < 0xF0) {
      running = status;
      int dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2;  // program change, channel pressure: 1
      for (int i = 0; i < dataBytes; ++i) {
        if (pos >= end || (data[pos] & 0x80)) return false;
        ++pos;
      }
    } else if (status == 0xF0 || status == 0xF7) {
      running = 0;
      uint32_t len;
      if (!ReadVarLen(data, end, pos, len) || len > end - pos) return false;
      pos += len;
    } else if (status == 0xFF) {
      running = 0;
      if (pos >= end) return false;
      uint8_t type = data[pos++];
      uint32_t len;
      if (!ReadVarLen(data, end, pos, len) || len > end - pos) return false;
      int want = MetaSize(type);
      if (want >= 0 && len != uint32_t(want)) return false;
      if (type == 0x51 && (data[pos] | data[pos + 1] | data[pos + 2]) == 0) return false;
      pos += len;
      if (type == 0x2F) return true;  // whatever follows the end of the track is ignored
    } else {
      return false;  // system common and real-time messages do not belong in a file
    }
  }
  return true;
}

}  // namespace

bool ValidMidiFile(const uint8_t* data, size_t size) {
  if (!data || size < 14 || size > kMaxMidiFileSize) return false;
  if (!Is(data, "MThd")) return false;
  uint32_t headerLen = Be32(data + 4);
  if (headerLen < 6 || headerLen > size - 8) return false;
  uint16_t format = Be16(data + 8);
  uint16_t tracks = Be16(data + 10);
  uint16_t division = Be16(data + 12);
  if (format > 2 || tracks == 0 || (format == 0 && tracks != 1)) return false;
  if (division == 0 || (division & 0x8000)) return false;  // SMPTE time is not played

  size_t pos = 8 + size_t(headerLen);
  int found = 0;
  while (found < tracks) {
    if (size - pos < 8) return false;
    uint32_t len = Be32(data + pos + 4);
    bool track = Is(data + pos, "MTrk");
    pos += 8;
    if (len > size - pos) return false;
    if (track) {
      if (!ValidTrack(data, pos, pos + len)) return false;
      ++found;
    }
    pos += len;
  }
  return true;
}

}  // namespace oxs
