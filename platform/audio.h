// The audio output: one device into which the software mixer of the sound
// library and the music synthesiser write. The sdl backend opens an SDL
// audio device; the headless backend has a silent device whose time
// advances with the virtual clock (and can be written to a WAVE file).
#pragma once

#include <cstdint>

namespace plat::audio {

// A source that adds its samples into the mix: `stereo` holds `frames`
// interleaved 16-bit stereo frames at `rate` Hz, already holding what the
// sources before it wrote; the source adds its own (saturating). Runs on
// the audio thread in the sdl backend.
using RenderFn = void (*)(void* user, int16_t* stereo, int frames, int rate);

// The music synthesiser's source, mixed after the sound effects. Passing
// nullptr removes it; the call returns only when the audio thread no longer
// runs the previous source.
void SetMusicRenderer(RenderFn fn, void* user);

}  // namespace plat::audio
