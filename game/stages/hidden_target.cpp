// Type 33, the hidden scenery target: untouchable until the tenth container
// of the stage has been destroyed, then shootable only while the player is
// focused. It rides the tiled background layer; destroyed, it drops an
// extra life.
#include "play/enemies.h"
#include "play/player.h"
#include "play/stage.h"
#include "stages/enemy_scripts.h"

namespace {
constexpr int kContainersToUnlock = 10;
}  // namespace

int UpdateEnemyType33(EnemyObject& e) {
  switch (e.move_state) {
    case 0:
      if (GetStageEventCount() == kContainersToUnlock) e.move_state = 1;
      break;
    case 1:
      e.collision_class = GetPlayerFocus() == 1 ? 2 : 1;
      break;
    default:
      break;
  }
  e.vy = GetScrollSpeed(0);
  return 0;
}
