// Sample Game: the game's fields of the state dump (--dump).
#include "game/dump.h"

#include "core/ox_app.h"
#include "frame/ox_dump_writer.h"
#include "game/practice.h"
#include "game/world.h"

namespace game {

void DumpFields(DumpWriter& out) {
  const World& w = W();
  out.Field("score", w.score);
  out.Field("high_score", w.highScore);
  out.Field("energy", w.energy);
  out.Field("time_counter", w.timeCounter);
  out.Field("scroll", double(w.scroll));
  out.Field("player_x", double(w.player.x));
  out.Field("player_y", double(w.player.y));
  out.Field("player_alive", w.player.alive);
  out.Field("game_over", w.gameOver);
  out.Field("pause", ox::PauseFlag());
  out.Field("stage_start", w.stageStart);
  out.Field("fast_bullets", w.fastBullets);
  out.Field("fastest_bullets", w.fastestBullets);
  out.Field("spark", w.spark);
  // Only a practice or slowed game has these.
  if (GamePracticeStage() != 0) out.Field("practice_stage", GamePracticeStage());
  if (GameSpeed() != kFullGameSpeed) out.Field("game_speed", GameSpeed());

  out.BeginArray("boss_energy");
  for (const BossRecord& b : w.bosses) out.Value(double(b.energy));
  out.EndArray();

  int enemies = 0;
  int bullets = 0;
  for (int g = 0; g < kGroupCount; ++g) {
    for (const EnemyRecord& e : w.enemies[g]) enemies += e.alive == 1;
    for (const auto& kind : w.groupBullets[g]) {
      for (const EnemyBullet& b : kind) bullets += b.alive == 1;
    }
  }
  for (const auto& boss : w.bossBullets) {
    for (const auto& kind : boss) {
      for (const BossBullet& b : kind) bullets += b.alive == 1;
    }
  }
  out.Field("enemies_alive", enemies);
  out.Field("enemy_bullets_alive", bullets);

  int shots = 0;
  for (const auto& stream : w.shots) {
    for (const Shot& s : stream) shots += s.active == 1;
  }
  int specials = 0;
  for (const auto& array : w.specials) {
    for (const Special& s : array) specials += s.active == 1;
  }
  out.Field("shots_active", shots);
  out.Field("specials_active", specials);
  out.FieldArray("visited", w.visited, w.visitCount);
}

}  // namespace game
