// Sample Game: the start position reset and the new-game reset.
#include "game/resets.h"

#include "core/ox_app.h"
#include "game/enemies/bosses.h"
#include "game/enemies/groups.h"
#include "game/player.h"
#include "game/scenery.h"
#include "game/world.h"

namespace game {

void PlaceStar(Star& s, bool fromTop) {
  s.cell = Rand() % 7;
  s.x = float(Rand() % 540 + 100);
  s.y = fromTop ? float(-(Rand() % 50)) : float(Rand() % 480);
  s.speed = float(Rand() % 100 + 100);
}

void StartPositionReset() {
  ResetLayers();
  W().player.x = 290;
  W().player.y = 210;
  W().score = 0;
}

void NewGameReset() {
  World& w = W();
  w.stageStart = 0;
  ox::SetPauseFlag(0);
  w.player.bankFrame = 3;
  w.player.bankStep = 0;
  w.endingFlame = 0;
  w.player.shotSlot = 0;
  w.player.specialCounter = 0;
  w.timeCounter = 800;
  w.scroll = 0;
  w.player.alive = 1;
  w.gameOver = 0;
  w.player.explosionFrame = 0;

  // The tables, in this order, so that a seed gives the same game.
  ResetBurst();
  ResetShots();
  ResetGroups();
  ResetBosses();
  ResetClouds();
  for (Star& s : w.stars) PlaceStar(s, false);
}

}  // namespace game
