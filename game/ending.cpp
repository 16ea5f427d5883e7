// Sample Game: the ending. The ship flies on over the fast layer under the
// closing message and falling stars until Space or 410 seconds.
#include "core/ox_app.h"
#include "draw/ox_draw.h"
#include "game/hud.h"
#include "game/player.h"
#include "game/practice.h"
#include "game/resets.h"
#include "game/scenery.h"
#include "game/scenes.h"
#include "game/world.h"
#include "sound/ox_music.h"

namespace game {

namespace {

constexpr int kSpace = 32;
constexpr int kEndingBanner = 8;

void ToTitle() {
  ox::ChangeScene(1);
}

}  // namespace

void EndingScene() {
  World& w = W();
  const float dt = WorldSeconds();
  if (ox::SceneChanged()) {
    oxMusic::Play("BEND.MID", 1);
    w.bannerHeight[kEndingBanner] = 30;
  }
  oxDraw::Clear();
  w.scroll += 10 * dt;
  LayerDraw(0);

  for (Star& s : w.stars) {
    oxDraw::Draw(int(s.x), int(s.y), w.assets.mymy, 139 + 3 * s.cell, 77, 142 + 3 * s.cell, 80);
    s.y += s.speed * dt;
    if (s.x < 100 || s.x > 540 || s.y > 480) PlaceStar(s, true);
  }

  ShotDraw();
  oxDraw::Draw(170, 110, w.assets.mygoodn, 0, 0, 300, 100);

  Player& p = w.player;
  if (p.alive == 1) {
    const int f = w.endingFlame;
    oxDraw::Draw(int(p.x), int(p.y) + 120, w.assets.myendf, 120 * f, 0, 120 * f + 120, 120);
    w.endingFlame = (f + 1) % 3;
    oxDraw::Draw(int(p.x), int(p.y), w.assets.myend, 0, 0, 120, 120);
    p.x = 260;
    p.y = 240;
  } else {
    PlayerDraw(true);
  }

  HudDraw();
  if (w.gameOver) BannerDraw(w.bannerHeight[kEndingBanner]);
  oxDraw::Present();

  PlayerMove(true);
  GameOverCheck();

  if (w.scroll > 4100) {
    oxMusic::Stop();
    NewGameReset();
    ToTitle();
  }
  if (ox::LastKey() == kSpace) {
    NewGameReset();
    StartPositionReset();
    ToTitle();
  }
}

}  // namespace game
