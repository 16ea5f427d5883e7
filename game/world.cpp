// Sample Game: the world record and the small helpers every module uses.
#include "game/world.h"

#include <cstring>

#include "core/ox_app.h"
#include "sound/ox_sound.h"

namespace game {

namespace {
World gWorld;
}  // namespace

World& W() { return gWorld; }

void ClearWorld() { std::memset(&gWorld, 0, sizeof gWorld); }

int Rand() { return ox::Random(); }

int RandRange(int lo, int hi) { return Rand() % (hi - lo + 1) + lo; }

void PlayBoom() { oxSound::Play(gWorld.assets.bomWav, -1); }

int ZakImage(int number) {
  static constexpr int kNumbers[kZakImages] = {1,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 17,
                                               18, 19, 20, 21, 22, 23, 24, 50, 51, 52, 53, 54, 55};
  for (int i = 0; i < kZakImages; ++i) {
    if (kNumbers[i] == number) return i;
  }
  return -1;
}

}  // namespace game
