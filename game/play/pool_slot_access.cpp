// The enemy-bullet and player-shot pools by slot number, for the enemy code
// (field_links.h), and the enemy queries of the player's objects
// (play_links.h).
#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/play_links.h"
#include "play/player_shots.h"

namespace {
bool BulletSlot(int slot) { return slot >= 0 && slot < kEnemyBulletSlots; }
bool ShotSlot(int slot) { return slot >= 0 && slot < kPlayerShotSlots; }
}  // namespace

int IsEnemyBulletAlive(int slot) {
  return BulletSlot(slot) ? IsEnemyBulletAlive(g_enemy_bullets[slot]) : 0;
}

int GetEnemyBulletCentre(int slot, double* x, double* y) {
  if (!BulletSlot(slot)) return -1;
  if (x) *x = g_enemy_bullets[slot].centre_x;
  if (y) *y = g_enemy_bullets[slot].centre_y;
  return 0;
}

int RemoveEnemyBullet(int slot, int flag) {
  if (!BulletSlot(slot)) return -1;
  return RemoveEnemyBullet(g_enemy_bullets[slot], flag);
}

int IsPlayerShotAlive(int slot) { return ShotSlot(slot) ? g_player_shots[slot].alive : 0; }

int GetPlayerShotHit(int slot, double* left, double* top, double* right, double* bottom, int* type,
                     int* damage) {
  if (!ShotSlot(slot)) return -1;
  const PlayerShot& s = g_player_shots[slot];
  *left = s.hit_left;
  *top = s.hit_top;
  *right = s.hit_right;
  *bottom = s.hit_bottom;
  *type = s.type;
  *damage = s.damage;
  return 0;
}

int EndPlayerShotInSlot(int slot) {
  if (!ShotSlot(slot)) return -1;
  return EndPlayerShot(g_player_shots[slot]);
}

int GetHomingTarget(int slot, double* x, double* y) {
  if (slot < 0 || slot >= kEnemyCount) return 0;
  const EnemyObject& e = g_enemies[slot];
  if (e.in_use != 1 || e.collision_class == 1 || e.screen_state < 1) return 0;
  *x = e.x;
  *y = e.y;
  return 1;
}

int FirstEnemyTouching(double left, double top, double right, double bottom, int* type) {
  for (int slot = 0; slot < kEnemyCount; ++slot) {
    const EnemyObject& e = g_enemies[slot];
    if (e.in_use != 1 || (e.collision_class != 0 && e.collision_class != 3)) continue;
    for (int k = 0; k < 7; ++k) {
      if (e.box_left[k] < right && left < e.box_right[k] && e.box_top[k] < bottom &&
          top < e.box_bottom[k]) {
        *type = e.type;
        return slot;
      }
    }
  }
  return -1;
}
