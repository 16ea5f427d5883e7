// The sound table and device state behind oxSound, shared by its source
// files and read by the tests.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>

#include "platform/audio.h"
#include "sound/mixer.h"
#include "sound/wave_file.h"

namespace oxs {

constexpr int kSoundObjects = 70;
constexpr int kMixBuffers = 10;
constexpr size_t kNameSize = 31;  // names of up to 30 characters
constexpr size_t kPathSize = PATH_MAX;

// The ring buffer of a streamed object (offsets in the pack file or in the
// buffer, in bytes).
struct StreamRecord {
  uint32_t start;         // first sample byte of the entry
  uint32_t loopPoint;     // where streaming continues after the end
  uint32_t readPosition;  // next bytes to read
  uint32_t dataSize;      // sample bytes; non-zero marks a streamed object
  uint32_t supplied;      // bytes consumed so far, counted from start
  uint32_t lastWrite;     // buffer offset where the previous refill began
  uint32_t nextWrite;     // buffer offset of the next refill
  uint32_t half;          // two seconds
  uint32_t bufferSize;    // four seconds
  int64_t wrapMark;       // play position at a refill that wrapped, or -1
  uint32_t lastPlay;      // play position at the previous refill
  uint8_t tail;           // 2, then 1 after the data of a once-played stream ran out
  char packPath[kPathSize];
};

struct SoundObject {
  int inUse;
  int mixCount;
  int buffers[kMixBuffers];  // mixer buffer ids, 0 = none
  int nextMix;
  uint32_t defaultFrequency;
  uint32_t frequency[kMixBuffers];
  int volume[kMixBuffers];
  int pan[kMixBuffers];
  uint32_t savedPosition[kMixBuffers];
  bool paused[kMixBuffers];  // stopped by TogglePause
  char name[kNameSize];
  int pack;
  StreamRecord stream;
  int loop;
  int echoState;  // -1 disabled, 0 idle, n > 0 the n-th echo is next
  float echoTimer;
  int echoLoop;
  float panDrift;
  int driftDirection;
  uint16_t blockAlign;
};

struct SoundState {
  int available;
  int restoring;
  int restoreHandle;
  // The primary buffer's format.
  PcmFormat primary;
  char packPath[kPathSize];
  SoundObject objects[kSoundObjects];
};

SoundState& Sound();
Mixer& TheMixer();

// The object behind a handle, or nullptr when the handle is out of range
// or not in use.
SoundObject* ObjectOf(int handle);
// An object's initial state (not in use, mix count 1, echo disabled).
void ClearObject(SoundObject& object);
// Stops and releases every mix buffer of the object.
void ReleaseBuffers(SoundObject& object);
// Stops and rewinds every mix buffer.
void StopAll(SoundObject& object);
// Creates the object's mix buffers from the samples and applies the
// settings (stored ones when restoring); without samples the buffers stay
// silent. Reports a failure under `operation`.
bool CreateMixBuffers(SoundObject& object, const PcmFormat& format, const uint8_t* samples,
                      uint32_t size, const char* operation);
// Makes `object` a loaded sound of `wave` (freed here) on `count` mix
// buffers, from a pack or a file; false after a report under `operation`.
bool FillObject(SoundObject& object, int count, int mixCount, WaveData& wave, bool fromPack,
                const char* operation);
// Takes a free handle (or the one being restored); -1 when the table is full.
int TakeHandle();
// |mixCount| within 1..10 (0 counts as 1); false when above 10.
bool MixCountOf(int mixCount, int& out);
// Stores the name after a successful load; false (and the error report)
// when it has 31 characters or more.
bool StoreName(SoundObject& object, const char* name, const char* operation, const char* text);
// Rebuilds every object in use (restoring flag set).
void RebuildObjects();
// Loaders, with the pack path to read from (the restore path).
int LoadPackFrom(const char* name, int mixCount, const char* packPath);
int LoadStreamFrom(const char* name, uint32_t loopOffset, const char* packPath);
// Resets a streamed object's ring buffer to the start of its data.
int ResetStreamOf(int handle, const char* operation);

// Default output format: 44100 Hz, 16-bit stereo.
PcmFormat DefaultPrimary();

}  // namespace oxs
