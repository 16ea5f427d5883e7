// Streamed sound: a long pack entry played through a four-second ring
// buffer that Streaming refills two seconds at a time.
//
// The pack is opened for every reset and refill; they use plain
// descriptors and positioned reads, so that play requests and refills
// allocate nothing.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "core/app_state.h"
#include "core/error_report.h"
#include "core/text_copy.h"
#include "platform/audio.h"
#include "sound/ox_sound.h"
#include "sound/pack_file.h"
#include "sound/sound_state.h"
#include "sound/wave_file.h"

using namespace oxs;

namespace {

constexpr char kLoadStream[] = "oxSound::LoadStream";
constexpr char kStreaming[] = "oxSound::Streaming";
constexpr char kNoPack[] = "パックファイル名が指定されていません";
constexpr char kCannotRead[] = "WAVEファイルを読み込めません";
constexpr char kCannotStream[] = "ストリーミング再生できません";

// Transfer block between the pack file and a ring buffer (main thread only;
// refills allocate nothing).
uint8_t g_transfer[64 * 1024];

// Reads `n` bytes at `at` in the file into the ring buffer from `offset`,
// wrapping at its end. False when the file holds fewer bytes there.
bool FileToRing(int fd, uint64_t at, int id, uint32_t offset, uint32_t n, uint32_t ringSize) {
  Mixer& m = TheMixer();
  while (n > 0) {
    const uint32_t piece = n < sizeof g_transfer ? n : static_cast<uint32_t>(sizeof g_transfer);
    uint32_t got = 0;
    while (got < piece) {
      ssize_t r = pread(fd, g_transfer + got, piece - got, static_cast<off_t>(at + got));
      if (r <= 0) return false;
      got += static_cast<uint32_t>(r);
    }
    if (!m.Write(id, offset, g_transfer, piece)) return false;
    at += piece;
    offset = (offset + piece) % ringSize;
    n -= piece;
  }
  return true;
}

int OpenPack(const char* path) { return path[0] ? open(path, O_RDONLY | O_CLOEXEC) : -1; }

// Length of the next refill: two seconds, the rest of the data when less is
// left, and the last two to four seconds in two equal chunks (whole frames)
// instead of a full one and a small one.
uint32_t ChunkLength(const StreamRecord& st, uint16_t blockAlign) {
  const uint32_t rest = st.dataSize - st.supplied;
  uint32_t n = st.half;
  if (n > rest) return rest;
  if (rest - n < n) {
    n = rest / 2;
    n -= n % blockAlign;
  }
  return n;
}

}  // namespace

namespace oxs {

int LoadStreamFrom(const char* name, uint32_t loopOffset, const char* packPath) {
  SoundState& s = Sound();
  if (!s.available) return -1;
  if (!name) name = "";
  const int h = TakeHandle();
  if (h < 0) return ox::ErrorReport(kLoadStream, "オブジェクト数が多過ぎます"), -1;
  char path[kPathSize];
  ox::CopyText(path, sizeof path, packPath);

  FILE* f = path[0] ? fopen(path, "rb") : nullptr;
  if (!f) return ox::ErrorReport(kLoadStream, kNoPack), -1;
  char upper[kPackNameSize];
  PackEntry entry;
  WaveData wave;
  if (!UpperName(name, upper, sizeof upper) || !ScanPack(f, upper, entry) ||
      !ReadPackEntry(f, entry, false, wave)) {
    fclose(f);
    return ox::ErrorReport(kLoadStream, kCannotRead), -1;
  }
  PcmFormat format;
  DescribeFormat(wave.format, wave.formatSize, format);
  FreeWave(wave);
  const int64_t start = entry.formatAt + entry.formatSize;
  if (!Playable(format)) {
    fclose(f);
    return ox::ErrorReport(kLoadStream, "サウンドバッファが生成できません"), -1;
  }
  if (start + int64_t(entry.dataSize) > int64_t(UINT32_MAX)) {
    fclose(f);
    return ox::ErrorReport(kLoadStream, kCannotRead), -1;
  }
  // Whole frames only, so that every refill lands on a frame boundary.
  const uint32_t dataSize = entry.dataSize - entry.dataSize % format.blockAlign;
  if (dataSize / format.bytesPerSecond < 5) {
    // Short sounds are loaded whole.
    fclose(f);
    return LoadPackFrom(name, 1, path);
  }

  SoundObject& o = s.objects[h];
  o.mixCount = 1;
  o.echoState = -1;
  if (!s.restoring) o.nextMix = 0;
  StreamRecord& st = o.stream;
  st.bufferSize = format.bytesPerSecond * 4;
  st.half = format.bytesPerSecond * 2;
  if (!CreateMixBuffers(o, format, nullptr, st.bufferSize, kLoadStream)) {
    fclose(f);
    return -1;
  }
  if (!FileToRing(fileno(f), uint64_t(start), o.buffers[0], 0, st.half, st.bufferSize)) {
    fclose(f);
    ReleaseBuffers(o);
    return ox::ErrorReport(kLoadStream, kCannotRead), -1;
  }
  fclose(f);
  // A loop offset falls on a frame; one at or past the end loops from the start.
  uint32_t loop = loopOffset - loopOffset % format.blockAlign;
  if (loop >= dataSize) loop = 0;
  st.start = static_cast<uint32_t>(start);
  st.loopPoint = st.start + loop;
  st.readPosition = st.start + st.half;
  st.dataSize = dataSize;
  st.supplied = st.half;
  st.lastWrite = 0;
  st.nextWrite = st.half;
  st.wrapMark = -1;
  st.lastPlay = 0;
  st.tail = 0;
  memcpy(st.packPath, path, sizeof path);
  o.inUse = 1;
  o.pack = 1;
  if (!StoreName(o, name, kLoadStream, "ファイル名が長すぎます")) return -1;
  return h;
}

int ResetStreamOf(int handle, const char* operation) {
  SoundObject* o = ObjectOf(handle);
  if (!o || o->stream.dataSize == 0 || o->buffers[0] == 0) return 0;
  StreamRecord& st = o->stream;
  const int fd = OpenPack(st.packPath);
  if (fd < 0) return ox::ErrorReport(operation, kNoPack);
  const bool ok = FileToRing(fd, st.start, o->buffers[0], 0, st.half, st.bufferSize);
  close(fd);
  if (!ok) return ox::ErrorReport(operation, kCannotStream);
  st.lastWrite = 0;
  st.nextWrite = st.half;
  st.readPosition = st.start + st.half;
  st.supplied = st.half;
  st.wrapMark = -1;
  st.lastPlay = 0;
  st.tail = 0;
  // The ring plays from its start again, where the data's start now is.
  TheMixer().SetPosition(o->buffers[0], 0);
  return 1;
}

}  // namespace oxs

int oxSound::LoadStream(const char* name, uint32_t loopOffset) {
  return LoadStreamFrom(name, loopOffset, Sound().packPath);
}

int oxSound::ResetStream(int handle) {
  if (!Sound().available) return 0;
  plat::audio::Sync();
  return ResetStreamOf(handle, "oxSound::ResetStream");
}

int oxSound::Streaming() {
  SoundState& s = Sound();
  if (!s.available) return 0;
  plat::audio::Sync();
  Mixer& m = TheMixer();
  for (SoundObject& o : s.objects) {
    StreamRecord& st = o.stream;
    const int id = o.buffers[0];
    if (!o.inUse || st.dataSize == 0 || id == 0 || !m.Playing(id)) continue;

    // 1-2. Refill once the play position has entered the chunk written last.
    const uint32_t c = m.Position(id);
    bool refill;
    if (st.wrapMark < 0) {
      refill = c >= st.lastWrite || c < st.lastPlay;
    } else if (st.lastWrite < st.wrapMark) {
      refill = st.lastWrite <= c && c < st.wrapMark;
    } else {
      refill = c >= st.lastWrite;
    }
    if (!refill) continue;
    st.lastPlay = c;

    // 3. After the data of a once-played stream: one chunk of silence, then stop.
    if (st.tail == 1) {
      st.tail = 0;
      StopAll(o);
      continue;
    }
    if (st.tail == 2) st.tail = 1;

    // 4-6. The next chunk from the pack. A stream that cannot go on stops,
    // so that its failure is reported once.
    const int fd = OpenPack(st.packPath);
    if (fd < 0) {
      StopAll(o);
      ox::ErrorReport(kStreaming, kNoPack);
      return 1;
    }
    const uint32_t n = ChunkLength(st, o.blockAlign);
    bool ok;
    if (st.tail == 1) {
      ok = m.WriteSilence(id, st.nextWrite, n);
    } else {
      ok = FileToRing(fd, st.readPosition, id, st.nextWrite, n, st.bufferSize);
    }
    close(fd);
    if (!ok) {
      StopAll(o);
      ox::ErrorReport(kStreaming, kCannotStream);
      return 1;
    }
    st.readPosition += n;
    st.supplied += n;

    // 7. At the end of the data streaming continues from the loop point. A
    // once-played stream's countdown, once running, is not started again by
    // its silent chunk (a short loop could otherwise keep it from stopping).
    if (st.supplied >= st.dataSize) {
      st.readPosition = st.loopPoint;
      st.supplied = st.loopPoint - st.start;
      if (o.loop == 0 && st.tail == 0) st.tail = 2;
    }

    // 9. Where the next refill goes.
    st.wrapMark = st.nextWrite < st.lastWrite ? static_cast<int64_t>(c) : -1;
    st.lastWrite = st.nextWrite;
    st.nextWrite += n;
    if (st.nextWrite >= st.bufferSize) st.nextWrite -= st.bufferSize;
  }
  return 1;
}
