// The game with a ship that never runs out of energy, for whole-game runs of
// the autopilot (which cannot dodge): each scene call first tops the energy
// up to 999 and adds what the last frame cost to its scene's loss.
#pragma once

#include <utility>

#include "frame/ox_system.h"
#include "game/game_definition.h"
#include "game/world.h"

namespace oxtest {

struct EnergyLoss {
  int byScene[kSceneTableSize];
};

namespace detail {
inline SceneFunction g_realScenes[kSceneTableSize];
inline EnergyLoss g_loss;

template <int kScene>
void Refilled() {
  game::World& w = game::W();
  if (kScene >= 2 && kScene <= 10) g_loss.byScene[kScene] += 999 - w.energy;
  w.energy = 999;
  g_realScenes[kScene]();
}

template <int... kScenes>
GameDefinition Wrap(std::integer_sequence<int, kScenes...>) {
  GameDefinition game = game::MakeGameDefinition();
  ((g_realScenes[kScenes] = game.scenes[kScenes], game.scenes[kScenes] = Refilled<kScenes>), ...);
  return game;
}
}  // namespace detail

// The game definition; the losses start again from zero.
inline GameDefinition InvulnerableGame() {
  detail::g_loss = {};
  return detail::Wrap(std::make_integer_sequence<int, kSceneTableSize>{});
}

inline const EnergyLoss& Loss() { return detail::g_loss; }

}  // namespace oxtest
