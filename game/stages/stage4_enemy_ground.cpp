// The ground enemies of stage 4, riding background layer 1: type 23 (twin
// barrels firing parallel shots), type 24 (one barrel firing layered fans),
// type 25 (a turning cross) and type 27, the fortress whose two emitters
// throw rotating rings and which ends in the dying sequence.
#include <cstdint>

#include "play/enemy_bullets.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage4_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

void Fan(const EnemyObject& e, double x, double y, int bullet, double angle, double speed,
         double count, double step) {
  FireBulletFan(x, y, bullet, angle, speed, count, step, Owner(e));
}

int32_t& Aim(EnemyObject& e) { return e.turn_angles[0]; }

// Types 23 and 24: the barrel starts on the player's centre and then turns
// toward it by 3 degrees a frame.
void TurnBarrel(EnemyObject& e) {
  int32_t& aim = Aim(e);
  if (e.move_state == 0) {
    aim = TruncToInt(AngleToPlayerCentre(e.x, e.y));
    e.move_state = 1;
  }
  aim = TurnWholeAngle(aim, AngleToPlayerCentre(e.x, e.y), 3.0);
}

bool GroundGunMayFire(const EnemyObject& e) {
  return e.screen_state == 1 && e.y < 300.0 && e.no_revenge == 0;
}

// Type 23: one bullet from each barrel per speed, all along the aim itself.
int FireType23(EnemyObject& e, int32_t interval, int32_t cap, int32_t wrap, const double* speeds,
               int n) {
  return RunFirePattern(e, 0, interval, cap, wrap, [&](int32_t) {
    const double a = Aim(e);
    for (int i = 0; i < n; ++i) {
      Fan(e, e.gun_x[0], e.gun_y[0], 1, a, speeds[i], 1.0, 0.0);
      Fan(e, e.gun_x[1], e.gun_y[1], 1, a, speeds[i], 1.0, 0.0);
    }
  });
}

struct Layer {
  double count;
  double step;
  double speed;
};

// Type 24: layered fans from the barrel along the aim.
int FireType24(EnemyObject& e, int32_t interval, const Layer* layers, int n) {
  return RunFirePattern(e, 0, interval, kNoCap, kNoWrap, [&](int32_t) {
    for (int i = 0; i < n; ++i)
      Fan(e, e.gun_x[0], e.gun_y[0], 9, Aim(e), layers[i].speed, layers[i].count, layers[i].step);
  });
}

// Type 25: a cross from the centre turned 10 degrees a volley (the other
// way round for variant 0), its speed alternating between two values.
int FireType25(EnemyObject& e, int32_t interval, double base, bool with_fans) {
  return RunFirePattern(e, 0, interval, kNoCap, kNoWrap, [&](int32_t k) {
    const double sense = e.variant == 0 ? -1.0 : 1.0;
    const double extra = (k % 2) * 0.5;
    for (int a = 0; a < 360; a += 90) {
      const double angle = TruncToInt(a + sense * k * 10.0);
      Fan(e, e.x, e.y, 5, angle, extra + base, 1.0, 0.0);
      if (with_fans) Fan(e, e.x, e.y, 5, angle, extra + 3.8, 2.0, 8.0);
    }
  });
}

// Type 27: from each emitter a ring of directions turned 13 degrees a volley,
// the bullets starting on a flattened 30 x 20 ring whose shape shifts with k.
int FireType27(EnemyObject& e, int32_t interval, int step, const double* speeds, int n) {
  return RunFirePattern(e, 0, interval, kNoCap, kNoWrap, [&](int32_t k) {
    PlayEnemyShotSound();
    for (int a = 0; a < 360; a += step) {
      const double angle = TruncToInt(a - 13.0 * k);
      const double x0 = e.gun_x[0] + 30.0 * CosDeg(a + static_cast<double>(k));
      const double y0 = e.gun_y[0] + 20.0 * CosDeg(a - static_cast<double>(k));
      const double x1 = e.gun_x[1] + 30.0 * CosDeg(a - static_cast<double>(k));
      const double y1 = e.gun_y[1] + 20.0 * CosDeg(a + static_cast<double>(k));
      for (int i = 0; i < n; ++i) {
        Fan(e, x0, y0, 10, angle, speeds[i], 1.0, 0.0);
        Fan(e, x1, y1, 10, angle, speeds[i], 1.0, 0.0);
      }
    }
  });
}

}  // namespace

// ---- type 23 ----

int UpdateEnemyType23(EnemyObject& e) {
  TestEnemyCloseRange(e, 64.0, true);
  // Placed from the aim the previous frame left.
  PlaceEnemyGunOnCircle(e, 0, 56.0, 56.0, Aim(e) - 15.0);
  PlaceEnemyGunOnCircle(e, 1, 56.0, 56.0, Aim(e) + 15.0);
  TurnBarrel(e);
  if (GroundGunMayFire(e)) FireByDifficulty(e, FireType23Heaven, FireType23Original, FireType23Hell);
  FollowGroundScroll(e);
  return 0;
}

int FireType23Heaven(EnemyObject& e) {
  static constexpr double kSpeeds[] = {3.0};
  return FireType23(e, 15, 2, 8, kSpeeds, 1);
}
int FireType23Original(EnemyObject& e) {
  static constexpr double kSpeeds[] = {3.4};
  return FireType23(e, 15, 3, 5, kSpeeds, 1);
}
int FireType23Hell(EnemyObject& e) {
  static constexpr double kSpeeds[] = {4.0, 3.7};
  return FireType23(e, 13, 3, 5, kSpeeds, 2);
}

// ---- type 24 ----

int UpdateEnemyType24(EnemyObject& e) {
  TestEnemyCloseRange(e, 64.0, true);
  PlaceEnemyGunOnCircle(e, 0, 40.0, 40.0, Aim(e));
  TurnBarrel(e);
  if (GroundGunMayFire(e)) FireByDifficulty(e, FireType24Heaven, FireType24Original, FireType24Hell);
  FollowGroundScroll(e);
  return 0;
}

int FireType24Heaven(EnemyObject& e) {
  static constexpr Layer kLayers[] = {{2.0, 10.0, 2.0}, {1.0, 0.0, 2.4}};
  return FireType24(e, 60, kLayers, 2);
}
int FireType24Original(EnemyObject& e) {
  static constexpr Layer kLayers[] = {{2.0, 10.0, 3.0}, {1.0, 0.0, 3.4}};
  return FireType24(e, 30, kLayers, 2);
}
int FireType24Hell(EnemyObject& e) {
  static constexpr Layer kLayers[] = {{3.0, 20.0, 3.0}, {2.0, 10.0, 3.4}, {1.0, 0.0, 3.8}};
  return FireType24(e, 30, kLayers, 3);
}

// ---- type 25 ----

int UpdateEnemyType25(EnemyObject& e) {
  TestEnemyCloseRange(e, 64.0, true);
  if (GroundGunMayFire(e)) FireByDifficulty(e, FireType25Heaven, FireType25Original, FireType25Hell);
  FollowGroundScroll(e);
  return 0;
}

int FireType25Heaven(EnemyObject& e) { return FireType25(e, 20, 2.0, false); }
int FireType25Original(EnemyObject& e) { return FireType25(e, 10, 3.0, false); }
int FireType25Hell(EnemyObject& e) { return FireType25(e, 8, 3.5, true); }

// ---- type 27 ----

int UpdateEnemyType27(EnemyObject& e) {
  PlaceEnemyGun(e, 0, -60.0, 64.0);
  PlaceEnemyGun(e, 1, 60.0, 64.0);
  RunLifeSwitch(e, RunEnemyType27Alive, RunEnemyType27Death);
  // Rides the ground in every life state; the record is gone once the
  // dying sequence has removed it.
  if (e.in_use == 1) FollowGroundScroll(e);
  return 0;
}

int RunEnemyType27Alive(EnemyObject& e) {
  if (e.screen_state == 1 && e.y < 240.0)
    FireByDifficulty(e, FireType27Heaven, FireType27Original, FireType27Hell);
  return 0;
}

int RunEnemyType27Death(EnemyObject& e) {
  DyingSequence seq;
  seq.test_before_increment = true;
  return RunDyingSequence(e, seq);
}

int FireType27Heaven(EnemyObject& e) {
  static constexpr double kSpeeds[] = {2.0};
  return FireType27(e, 20, 30, kSpeeds, 1);
}
int FireType27Original(EnemyObject& e) {
  static constexpr double kSpeeds[] = {2.5};
  return FireType27(e, 15, 24, kSpeeds, 1);
}
int FireType27Hell(EnemyObject& e) {
  static constexpr double kSpeeds[] = {3.8, 4.0};
  return FireType27(e, 12, 24, kSpeeds, 2);
}
