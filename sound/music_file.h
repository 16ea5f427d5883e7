// Checks a standard MIDI file before it reaches the synthesiser, so that a
// truncated or corrupt file gives silence instead of whatever the
// sequencer's parser would make of it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace oxs {

// Largest MIDI file the music player reads.
constexpr size_t kMaxMidiFileSize = 16u << 20;

// True when `data` is a complete standard MIDI file the sequencer plays as
// written: an "MThd" header of format 0, 1 or 2 with at least one track and
// a division in ticks per quarter note, followed by as many "MTrk" chunks
// (other chunks are skipped), each a well-formed event list that lies wholly
// inside its chunk: delta times of at most four bytes, channel messages with
// running status, system-exclusive and meta events with lengths inside the
// chunk, tempo, time and key signatures of their proper sizes, no tempo of
// 0, and no track longer than 2^30 ticks.
bool ValidMidiFile(const uint8_t* data, size_t size);

}  // namespace oxs
