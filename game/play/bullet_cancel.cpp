#include "play/bullet_cancel.h"

#include "play/enemy_bullets.h"
#include "play/items.h"

BulletCancelSlot g_bullet_cancels[kBulletCancelSlots]{};

namespace {

int InitBulletCancelSlot(BulletCancelSlot& c, int kind, int frames) {
  if (c.active == 1) return -1;
  c.active = 1;
  c.kind = kind;
  c.convert_now = (kind == 0 || kind == 2 || kind == 3) ? 1 : 0;
  c.frames_left = c.frames_total = frames;
  return 0;
}

void CancelAllEnemyBullets(const BulletCancelSlot& c, uint32_t convert) {
  for (EnemyBullet& b : g_enemy_bullets) {
    if (IsEnemyBulletAlive(b) != 1) continue;
    if (convert == 1) {
      if (c.kind == 2) SpawnItem(b.centre_x, b.centre_y, 0, 0.0, 0.0);
      else if (c.kind == 0 || c.kind == 3) SpawnItem(b.centre_x, b.centre_y, 5, 90.0, 1.0);
    }
    RemoveEnemyBullet(b, 1);
  }
}

void ResetBulletCancelSlot(BulletCancelSlot& c) { c = BulletCancelSlot{}; }

void RunBulletCancelSlot(BulletCancelSlot& c) {
  if (c.active != 1) return;
  CancelAllEnemyBullets(c, c.convert_now);
  c.convert_now = 0;
  --c.frames_left;
  // A cancel started with no frames would otherwise count down forever.
  if (c.frames_left <= 0) ResetBulletCancelSlot(c);
}

}  // namespace

int StartBulletCancel(int kind, int frames) {
  for (BulletCancelSlot& c : g_bullet_cancels)
    if (InitBulletCancelSlot(c, kind, frames) == 0) return 0;
  return -1;
}

int UpdateBulletCancel() {
  for (BulletCancelSlot& c : g_bullet_cancels) RunBulletCancelSlot(c);
  return 0;
}

int ResetAllBulletCancelSlots() {
  for (BulletCancelSlot& c : g_bullet_cancels) ResetBulletCancelSlot(c);
  return 0;
}
