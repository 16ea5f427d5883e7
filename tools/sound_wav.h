// Writing float sample buffers as 16-bit PCM WAVE files.
#pragma once

#include "tools/sound_synth.h"

namespace assets {

// Writes `dir`/`name` as a canonical RIFF/WAVE file: a 16-byte PCM "fmt "
// chunk and one "data" chunk of 16-bit little-endian samples. `samples` is
// mono (channels 1) or interleaved stereo (channels 2); values are rounded
// and clamped to the 16-bit range. Returns false after a message on
// standard error when the file cannot be written.
bool WriteWav16(const char* dir, const char* name, const synth::Buffer& samples, int rate,
                int channels);

}  // namespace assets
