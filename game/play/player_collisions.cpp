#include "play/player_collisions.h"

#include <cmath>

#include "play/bullet_cancel.h"
#include "play/enemy_bullets.h"
#include "play/items.h"
#include "play/play_links.h"
#include "play/player.h"
#include "screens/overlays.h"
#include "shell/game_math.h"
#include "shell/sound_bank.h"

namespace {

PlayerObject& P() { return g_player; }

bool Overlap(double al, double at, double ar, double ab, double bl, double bt, double br,
             double bb) {
  return al < br && bl < ar && at < bb && bt < ab;
}

// Pop-ups of this file start above the fighter; the side follows its x.
void Popup(int kind, int value, double angle, double speed) {
  SpawnScorePopup(P().centre_x, P().centre_y - 32.0, kind, value, angle, speed);
}
double SideAngle() { return P().centre_x >= 320.0 ? 225.0 : 315.0; }

void TakeScoreItem(const Item& it) {
  PlayerObject& p = P();
  PlaySoundEffect(p.fighter == 4 ? 60 : p.variant == 1 ? 59 : 55);
  AddScore(it.value);
  p.item_gauge += it.gauge_amount;
  Popup(5, it.value, p.score_item_count % 2 == 0 ? 225.0 : 315.0, 2.0);
  ++p.score_item_count;
}

void DropPowerItems(int power) {
  PlayerObject& p = P();
  if (power == 1) return;
  const double base = AngleBetweenPoints(320.0, 240.0, p.centre_x, p.centre_y);
  const int offset = ((power - 2) * 15) / 2;
  for (int i = 0; i <= power - 2; ++i) SpawnItem(p.centre_x, p.centre_y, 1, base + 15 * i - offset, 4.0);
  if (p.lives < 0) SpawnItem(p.centre_x, p.centre_y, 2, base, 2.0);
}

void ExplosionRing() {
  PlayerObject& p = P();
  const double cx = p.centre_x, cy = p.centre_y;
  if (p.fighter == 3 || p.fighter == 4) {
    PlaySoundEffect(27);
    for (int a = 0; a < 360; a += 10) {
      const int r1 = RandomInt(20);
      const int r2 = RandomInt(20);
      SpawnExplosion(cx, cy, 61, a + r2, r1 / 10 + 3.0);
      const int r3 = RandomInt(20);
      const int r4 = RandomInt(20);
      SpawnExplosion(cx, cy, 61, a + r4, r3 / 10 + 2.0);
    }
  } else {
    PlaySoundEffect(26);
    for (int a = 0; a < 360; a += 30)
      SpawnExplosion(cx + CosDeg(a) * 60.0, cy + SinDeg(a) * 60.0, 60, a, 3.0);
    SpawnExplosion(cx, cy, 60, 270.0, 0.0);
  }
}

}  // namespace

int TakePowerItem() {
  PlayerObject& p = P();
  PlaySoundEffect(56);
  if (p.power >= 5) {
    AddScore(5000);
    Popup(4, 0, SideAngle(), 1.5);
  } else {
    ++p.power;
    Popup(0, 0, SideAngle(), 1.5);
  }
  return 0;
}

int TakeBombItem() {
  PlayerObject& p = P();
  PlaySoundEffect(57);
  if (p.bombs >= 9) {
    AddScore(5000);
    Popup(4, 0, SideAngle(), 1.5);
  } else {
    ++p.bombs;
    Popup(1, 0, SideAngle(), 1.5);
  }
  return 0;
}

int TakeLifeItem() {
  PlayerObject& p = P();
  PlaySoundEffect(58);
  if (p.lives < 9) ++p.lives;
  Popup(3, 0, SideAngle(), 1.5);
  return 0;
}

int PickUpItems() {
  PlayerObject& p = P();
  if (p.active != 1 || p.respawn_countdown >= 1) return 0;
  for (Item& it : g_items) {
    if (IsItemAlive(it) != 1 || IsItemPickupBlocked(it) == 1) continue;
    if (!Overlap(it.left, it.top, it.left + it.width, it.top + it.height, p.body_left, p.body_top,
                 p.body_right, p.body_bottom))
      continue;
    switch (it.kind) {
      case 1: TakePowerItem(); break;
      case 2: TakeBombItem(); break;
      case 0: case 4: case 5:
        TakeScoreItem(it);
        p.drain_delay = 0;
        break;
      case 3: TakeLifeItem(); break;
      default: break;
    }
    RemoveItem(it);
  }
  return 0;
}

int CollidePlayerWithBullets() {
  PlayerObject& p = P();
  if (InvincibleMode == 1 || p.active == 0 || p.respawn_countdown > 0) return 0;
  for (EnemyBullet& b : g_enemy_bullets) {
    if (IsEnemyBulletAlive(b) != 1) continue;
    if (p.guard > 0) {
      if (Distance(p.centre_x, p.centre_y, b.centre_x, b.centre_y) <= 72.0) RemoveEnemyBullet(b, 1);
    } else if (Overlap(p.hit_left, p.hit_top, p.hit_right, p.hit_bottom, b.box_left, b.box_top,
                       b.box_right, b.box_bottom)) {
      RemoveEnemyBullet(b, 1);
      PlayerMiss();
      return 0;
    }
  }
  return 0;
}

int CollidePlayerWithEnemies() {
  PlayerObject& p = P();
  if (InvincibleMode == 1 || p.guard > 0 || p.active == 0 || p.respawn_countdown > 0) return 0;
  int type = 0;
  if (FirstEnemyTouching(p.hit_left, p.hit_top, p.hit_right, p.hit_bottom, &type) < 0) return 0;
  if (type != 18) PlayerMiss();
  return 0;
}

int PlayerMiss() {
  PlayerObject& p = P();
  p.item_gauge = p.item_gauge * 2 / 3;
  if (TryAutoGuard() == 0) return 0;
  --p.lives;
  ++p.stage_misses;
  ++p.total_misses;
  DropPowerItems(p.power);
  p.power = 1;
  ExplosionRing();
  p.active = 0;
  if (p.lives >= 0) {
    p.respawn_countdown = 60;
    StartBulletCancel(1, 320);
  } else {
    g_continue_screen.active = 1;  // the continue screen takes over
  }
  return 0;
}
