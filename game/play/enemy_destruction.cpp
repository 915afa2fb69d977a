#include "play/enemies.h"
#include "play/items.h"
#include "play/player.h"
#include "play/stage.h"
#include "play/stage_clear.h"
#include "screens/save_data.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "stages/enemy_scripts.h"

namespace {

constexpr int kHell = 2;

void FireRevengeBurst(EnemyObject& e) {
  switch (e.type) {
    case 0: FireType0RevengeBurst(e); break;
    case 7: FireType7RevengeBurst(e); break;
    case 9: FireType9RevengeBurst(e); break;
    case 10: FireType10RevengeBurst(e); break;
    case 13: FireType13RevengeBurst(e); break;
    case 21: FireType21RevengeBurst(e); break;
    case 31: FireType31RevengeBurst(e); break;
    default: break;
  }
}

// SpawnEnemy takes field x.
void Wreck(double cx, double cy, int type, int variant) { SpawnEnemy(cx - 140.0, cy, type, variant); }

void LeaveRemains(const EnemyObject& e) {
  double cx = e.x, cy = e.y;
  switch (e.type) {
    case 7: case 9: case 24: case 25: case 31:
      Wreck(cx, cy, 300, 0);
      break;
    case 5: case 19:
      Wreck(cx, cy, 302, 0);
      for (int a = 0; a <= 300; a += 60) {
        double b = a + RandomIntSigned(20);
        Wreck(cx + CosDeg(b) * 60.0, cy + SinDeg(b) * 60.0, 302, 0);
      }
      break;
    case 220:
      Wreck(cx, cy + 56.0, 302, 1);
      Wreck(cx, cy - 56.0, 302, 1);
      for (int a = 0; a <= 300; a += 60) {
        double b = a + RandomIntSigned(20);
        Wreck(cx + CosDeg(b) * 60.0, cy + 56.0 + SinDeg(b) * 60.0, 302, 1);
        Wreck(cx + CosDeg(b) * 60.0, cy - 56.0 + SinDeg(b) * 60.0, 302, 1);
      }
      break;
    case 13: case 18: case 23: case 27: case 30: case 34:
      Wreck(cx, cy, 302, 0);
      break;
    case 37:
      Wreck(cx, cy + 32.0, 302, 0);
      break;
    default:
      break;
  }
  bool container = e.type == 5 || e.type == 19 || e.type == 25 || e.type == 27 ||
                   e.type == 37 || ((e.type == 13 || e.type == 34) && e.variant == 1);
  if (container) Wreck(cx, e.type == 37 ? cy + 32.0 : cy, 32, 0);
}

void PayOut(EnemyObject& e) {
  if (g_flags.DifficultyMode == kHell && e.no_revenge == 0) FireRevengeBurst(e);
  DropEnemyItems(e, e.items, 0);
  if (e.type == 2 || e.type == 3) {
    double px = 0.0, py = 0.0;
    GetPlayerCentre(&px, &py);
    SpawnItem(e.x, e.y, e.type == 2 ? 1 : 2, py < 180.0 ? 45.0 : 135.0, 4.0);
  } else if (e.type == 33) {
    SpawnItem(e.x, e.y, 3, 0.0, 0.0);
  }
  LeaveRemains(e);
  if (e.type == 100 || e.type == 110 || e.type == 120) SetMidBossDownFlag(1);
  PlayEnemyDeathEffects(e);
  AddScore(e.kill_score);
}

void EndStageBossFight(const EnemyObject& e) {
  BossFightFlag(0);
  bool secret = e.type == 240 && g_flags.DifficultyMode == kHell && GetPlayerContinues() == 0 &&
                g_flags.StageNumber == 5;
  if (!secret) {
    StartStageClear();
    return;
  }
  SecretBossFlag(1);
  if (SetSecretStageFlag(2) != 1) SetSecretStageFlag(1);
  // With no room for the extra boss the stage would never end: clear it instead.
  if (SpawnEnemy(e.x - 140.0, e.y + 180.0, 250, 0) != 0) StartStageClear();
}

// Parts have no script of their own and never leave the field by
// themselves: whatever way their parent goes (a mid-boss climbing off after
// its time limit, say), they go with it, unpaid.
void RemoveOrphanedParts(const EnemyObject& parent) {
  for (EnemyObject& part : g_enemies) {
    if (part.in_use != 1 || part.linked != 1) continue;
    if (part.parent_slot != parent.slot || part.parent_serial != parent.serial) continue;
    part.screen_state = 2;
    DestroyEnemy(part);
  }
}

}  // namespace

int DestroyEnemy(EnemyObject& e) {
  if (e.in_use != 1) return -1;
  if (e.screen_state == 1) PayOut(e);
  if (e.boss_kind == 1 || e.boss_kind == 2) RemoveOrphanedParts(e);
  if (e.boss_kind == 1) {
    BossFightFlag(0);
    BossGaugeShown = 0;
  } else if (e.boss_kind == 2) {
    EndStageBossFight(e);
  }
  ClearEnemySlot(e);
  return 0;
}
