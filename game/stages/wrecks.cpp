// Wrecks left on the ground by destroyed enemies: they only lie there at a
// rotation drawn on their first update and scroll away with the ground.
#include "play/enemies.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "stages/enemy_scripts.h"

namespace {

// The wreck's only random draw, on its first update: pool slot order decides
// the draw order of a ring of wrecks.
void DrawRotationOnce(EnemyObject& e) {
  if (e.move_state != 0) return;
  e.turn_angles[0] = RandomInt(36) * 10;
  e.move_state = 1;
}

}  // namespace

int UpdateWreckType300(EnemyObject& e) {
  DrawRotationOnce(e);
  e.vy = GetScrollSpeed(1);
  return 0;
}

int UpdateWreckType302(EnemyObject& e) {
  DrawRotationOnce(e);
  // Variant 1 (boss 220's) lies on the tiled layer 0.
  if (e.variant == 0) e.vy = GetScrollSpeed(1);
  if (e.variant == 1) e.vy = GetScrollSpeed(0);
  return 0;
}

int UpdateWreckType305(EnemyObject& e) {
  e.vy = GetScrollSpeed(0);
  if (e.top > 480.0) {
    // Off the field: no score, no revenge (the screen state is not 1).
    e.screen_state = 2;
    DestroyEnemy(e);
  }
  return 0;
}
