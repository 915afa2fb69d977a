// Type 32, the hidden item container: invisible and untouchable until the
// player comes within 64 pixels, then shown and shootable; once destroyed it
// counts as a stage event and sprays large score items while the player is
// in play, until it scrolls off the field.
#include <cstdint>
#include <limits>

#include "play/enemies.h"
#include "play/explosions.h"
#include "play/items.h"
#include "play/player.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "shell/sound_bank.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"

namespace {

constexpr double kOpenDistance = 64.0;
constexpr int kScoreItemKind = 4;

int32_t& OpenedFlag(EnemyObject& e) { return e.script_states[0]; }
int32_t& DestroyedStep(EnemyObject& e) { return e.script_states[1]; }
// The drawing shows the body picture named by script word 1 (0 closed,
// 1 opened) at the drawing alpha.
int32_t& Look(EnemyObject& e) { return e.script_words[1]; }

void Count(int32_t& n) {
  if (n < std::numeric_limits<int32_t>::max()) n += 1;
}

int RunEnemyType32Alive(EnemyObject& e) {
  if (OpenedFlag(e) == 1) return 0;
  e.drawing_alpha = 0;
  if (DistanceToPlayerCore(e) > kOpenDistance) return 0;
  PlaySoundEffect(25);
  SpawnExplosion(e.x, e.y, 56, 90.0, GetScrollSpeed(1));
  e.drawing_alpha = 255;
  e.collision_class = 2;  // shots only
  OpenedFlag(e) = 1;
  return 0;
}

int SprayType32Items(EnemyObject& e) {
  int32_t& counter = e.gun_counter[0];
  int32_t& sprayed = e.gun_shots[0];
  if (counter % 5 == 0 && IsPlayerActive() == 1) {
    double angle = 270.0 + SinDeg(12.0 * sprayed) * 40.0 + RandomIntSigned(20);
    SpawnItem(e.x, e.y - 16.0, kScoreItemKind, angle, 5.0);
    Count(sprayed);
  }
  Count(counter);
  return 0;
}

int RunEnemyType32Destroyed(EnemyObject& e) {
  if (DestroyedStep(e) != 0) return SprayType32Items(e);
  AddStageEventCount(1);
  e.form = 1;
  Look(e) = 1;
  // Shown even if something destroyed it before it was opened.
  e.drawing_alpha = 255;
  e.collision_class = 1;
  DestroyedStep(e) = 1;
  PlaySoundEffect(20);
  SpawnExplosion(e.x, e.y, 50, 90.0, GetScrollSpeed(1));
  return 0;
}

}  // namespace

int UpdateEnemyType32(EnemyObject& e) {
  RunLifeSwitch(e, RunEnemyType32Alive, RunEnemyType32Destroyed);
  FollowGroundScroll(e);
  return 0;
}
