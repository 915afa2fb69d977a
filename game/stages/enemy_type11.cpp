// Type 11: a large craft that brakes in, sways, and fires a 160-frame burst
// cycle of two patterns until it has sunk below y 240. It has no close-range
// hold and no screen-state gate.
#include "stages/enemy_type11.h"

#include "play/enemy_bullets.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

constexpr int kCycle = 160;

struct Fan {
  int gun;
  double count;
  double step;
  double base;  // speed base - shots / 2
};

// Pattern A: every 20 frames, two volleys; all fans share one angle toward
// the player from the centre, kept in gun 0's angle.
int FireType11PatternA(EnemyObject& e, const Fan* fans, int n) {
  return RunFirePattern(e, 0, 20, 2, kNoWrap, [&](int32_t shots) {
    PlayEnemyShotSound();
    e.gun_angle[0] = AngleToPlayer(e.x, e.y);
    for (int i = 0; i < n; ++i) {
      const Fan& f = fans[i];
      FireBulletFan(e.gun_x[f.gun], e.gun_y[f.gun], 4, e.gun_angle[0], f.base - shots / 2.0,
                    f.count, f.step, Owner(e));
    }
  });
}

// Pattern B: every 5 frames on gun 0's count; guns 2, 3 and 4 each fire at
// the angle they took at the first volley.
int FireType11PatternB(EnemyObject& e, int32_t cap, const Fan* fans, int n) {
  return RunFirePattern(e, 0, 5, cap, kNoWrap, [&](int32_t shots) {
    PlayEnemyShotSound();
    for (int i = 0; i < n; ++i) {
      const Fan& f = fans[i];
      const double a = AimAtFirstVolley(e, f.gun, shots);
      FireBulletFan(e.gun_x[f.gun], e.gun_y[f.gun], 0, a, f.base, f.count, f.step, Owner(e));
    }
  });
}

void RunType11BurstCycle(EnemyObject& e) {
  int32_t& t = e.state_timer;
  if (t < 60)
    FireByDifficulty(e, FireType11PatternAHeaven, FireType11PatternAOriginal,
                     FireType11PatternAHell);
  if (t == 60) ResetEnemyGuns(e);
  if (t >= 80 && t <= 129)
    FireByDifficulty(e, FireType11PatternBHeaven, FireType11PatternBOriginal,
                     FireType11PatternBHell);
  t += 1;
  if (t >= kCycle) {
    ResetEnemyGuns(e);
    t = 0;
  }
}

}  // namespace

int UpdateEnemyType11(EnemyObject& e) {
  PlaceEnemyGun(e, 0, -64.0, 16.0);
  PlaceEnemyGun(e, 1, 64.0, 16.0);
  PlaceEnemyGun(e, 2, 0.0, -12.0);
  PlaceEnemyGun(e, 3, -12.0, -32.0);
  PlaceEnemyGun(e, 4, 12.0, -32.0);
  if (e.move_state >= 2) {
    int32_t& c = e.script_counters[1];
    e.vx = CosDeg(-c) * 0.3;  // a slow sway of +-0.3
    if (c < INT32_MAX) c += 1;
  }
  switch (e.move_state) {
    case 0:
      e.vy = 3.5;
      e.move_state = 1;
      break;
    case 1:
      if (e.vy <= 0.4) {
        e.vy = 0.4;
        e.move_state = 2;
      } else {
        e.vy -= 0.05;
      }
      break;
    case 2:
      RunType11BurstCycle(e);
      if (e.y > 240.0) e.move_state = 3;
      break;
    default:
      break;  // sways on down and off the field
  }
  return 0;
}

int FireType11PatternAHeaven(EnemyObject& e) {
  static constexpr Fan kFans[] = {{0, 5, 14, 2.4}, {1, 5, 18, 2.4}};
  return FireType11PatternA(e, kFans, 2);
}
int FireType11PatternAOriginal(EnemyObject& e) {
  static constexpr Fan kFans[] = {{0, 7, 12, 2.8}, {1, 7, 16, 2.8}};
  return FireType11PatternA(e, kFans, 2);
}
int FireType11PatternAHell(EnemyObject& e) {
  static constexpr Fan kFans[] = {
      {0, 13, 12, 2.8}, {1, 13, 16, 2.8}, {0, 17, 16, 3.2}, {1, 17, 20, 3.2}};
  return FireType11PatternA(e, kFans, 4);
}

int FireType11PatternBHeaven(EnemyObject& e) {
  static constexpr Fan kFans[] = {{2, 4, 25, 3.2}, {3, 5, 25, 2.9}, {4, 5, 25, 2.9}};
  return FireType11PatternB(e, 3, kFans, 3);
}
int FireType11PatternBOriginal(EnemyObject& e) {
  static constexpr Fan kFans[] = {{2, 4, 20, 3.5}, {3, 5, 20, 3.2}, {4, 5, 20, 3.2}};
  return FireType11PatternB(e, 5, kFans, 3);
}
int FireType11PatternBHell(EnemyObject& e) {
  static constexpr Fan kFans[] = {{2, 8, 18, 4.5}, {3, 9, 18, 4.2}, {4, 9, 18, 4.2}};
  return FireType11PatternB(e, 5, kFans, 3);
}
