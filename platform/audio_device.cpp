#include "platform/audio.h"
#include "platform/backend.h"

namespace plat {

namespace audio {
void SetMusicRenderer(RenderFn, void*) {}
}  // namespace audio

namespace detail {
void AdvanceAudio() {}
}  // namespace detail

}  // namespace plat
