// The small craft: type 0 (every stage's dart and hovering craft), types 2
// and 3 (the item carriers), type 9 (the ground gun) and type 10 (the homing
// craft), with the HELL revenge bursts of 0, 9 and 10.
#include "play/enemy_bullets.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage1_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

int32_t& MoveCounter(EnemyObject& e) { return e.script_counters[0]; }
int32_t& Aim(EnemyObject& e) { return e.turn_angles[0]; }

void Count(int32_t& counter) {
  if (counter < INT32_MAX) counter += 1;
}

// Type 0: one bullet of type 0 from the centre toward the player in steps of
// 10 degrees, no cap.
int FireType0(EnemyObject& e, int32_t interval, double speed) {
  return RunFirePattern(e, 0, interval, kNoCap, kNoWrap, [&](int32_t) {
    FireEnemyBullet(e.x, e.y, 0, AngleToPlayerInSteps(e.x, e.y, 10), speed, Owner(e));
  });
}

// Types 2 and 3 sway down slowly: vy 1, vx 0.2 cos(2c).
void SwayDown(EnemyObject& e) {
  int32_t& c = MoveCounter(e);
  e.vy = 1.0;
  e.vx = CosDeg(2.0 * c) * 0.2;
  Count(c);
}

// Types 2 and 3 aim from the centre at each volley, through gun 0's angle.
double AimFromCentre(EnemyObject& e) {
  e.gun_angle[0] = AngleToPlayer(e.x, e.y);
  return e.gun_angle[0];
}

struct Fan {
  double count;
  double step;
  double speed;
};

int FireType2(EnemyObject& e, int32_t interval, const Fan* fans, int n) {
  return RunFirePattern(e, 0, interval, kNoCap, kNoWrap, [&](int32_t) {
    const double a = AimFromCentre(e);
    for (int i = 0; i < n; ++i)
      FireBulletFan(e.x, e.y, 2, a, fans[i].speed, fans[i].count, fans[i].step, Owner(e));
  });
}

int FireType9(EnemyObject& e, int32_t interval, int32_t cap, int32_t wrap, double speed) {
  // The aim is taken on every slot, also when the cap holds the shot back.
  if (PatternSlotDue(e, 0, interval)) {
    e.gun_angle[0] = AngleToPlayerInSteps(e.gun_x[0], e.gun_y[0], 15);
    if (e.gun_shots[0] < cap)
      FireEnemyBullet(e.gun_x[0], e.gun_y[0], 8, e.gun_angle[0], speed, Owner(e));
    CountPatternShot(e, 0, wrap);
  }
  CountPatternFrame(e, 0);
  return 0;
}

}  // namespace

// ---- type 0 ----

int UpdateEnemyType0(EnemyObject& e) {
  TestEnemyCloseRange(e, 64.0, true);
  int32_t& mc = MoveCounter(e);
  if (e.variant == 0) {
    // Homing dart: turns toward the player for 60 frames, then flies on.
    Aim(e) = TruncToInt(AngleToPlayerCentre(e.x, e.y));
    if (mc == 0) e.heading = 90.0;
    if (mc < 60) e.heading = TurnAngleToward(e.heading, AngleToPlayer(e.x, e.y), 3.0);
    e.vx = CosDeg(e.heading) * 3.0;
    e.vy = SinDeg(e.heading) * 3.0 + 1.0;
    Count(mc);
  } else if (e.variant == 1) {
    // Brakes in, hovers, then turns up and leaves.
    const int32_t state = e.move_state;
    switch (state) {
      case 0:
        if (mc == 0) e.vy = 6.0;
        if (e.vy > 0.0) e.vy -= 0.1;
        Count(mc);
        if (e.vy <= 0.0) {
          e.vy = 0.0;
          mc = 0;
          e.move_state = 1;
        }
        break;
      case 1:
        e.vy = 0.4;
        Count(mc);
        if (mc > 100) {
          mc = 0;
          e.move_state = 2;
        }
        break;
      case 2:
        Aim(e) = TurnWholeAngle(Aim(e), 270.0, 5.0);
        SetEnemyVelocityAt(e, Aim(e), 4.0);
        break;
      default:
        break;
    }
    // State 2 starts turning from the last angle toward the player.
    if (state == 0 || state == 1) Aim(e) = TruncToInt(AngleToPlayerCentre(e.x, e.y));
  }
  if (e.screen_state == 1 && e.y < 300.0 && e.no_revenge == 0)
    FireByDifficulty(e, FireType0Heaven, FireType0Original, FireType0Hell);
  return 0;
}

int FireType0Heaven(EnemyObject& e) {
  const int s = StageIndex();
  return FireType0(e, 80 - 10 * s, s / 2.0 + 2.0);
}

int FireType0Original(EnemyObject& e) {
  const int s = StageIndex();
  return FireType0(e, 60 - 12 * s, s / 2.0 + 3.0);
}

int FireType0Hell(EnemyObject& e) {
  const int s = StageIndex();
  return FireType0(e, 16 - 2 * s, s / 2.0 + 3.8);
}

int FireType0RevengeBurst(EnemyObject& e) {
  // The angle first, then the draw.
  const double a = AngleToPlayer(e.x, e.y);
  const int32_t r = RandomIntSigned(5);
  FireEnemyBullet(e.x, e.y, 1, a + r, 3.0, Owner(e));
  return 0;
}

// ---- types 2 and 3 ----

int UpdateEnemyType2(EnemyObject& e) {
  SwayDown(e);
  if (e.screen_state == 1 && e.y < 360.0)
    FireByDifficulty(e, FireType2Heaven, FireType2Original, FireType2Hell);
  return 0;
}

int FireType2Heaven(EnemyObject& e) {
  static constexpr Fan kFans[] = {{2, 30, 2.5}};
  return FireType2(e, 90, kFans, 1);
}

int FireType2Original(EnemyObject& e) {
  static constexpr Fan kFans[] = {{3, 30, 2.5}, {2, 30, 2.0}};
  return FireType2(e, 90, kFans, 2);
}

int FireType2Hell(EnemyObject& e) {
  static constexpr Fan kFans[] = {{7, 20, 3.0}, {6, 20, 2.5}};
  return FireType2(e, 60, kFans, 2);
}

int UpdateEnemyType3(EnemyObject& e) {
  SwayDown(e);
  if (e.screen_state == 1 && e.y < 360.0)
    FireByDifficulty(e, FireType3Heaven, FireType3Original, FireType3Hell);
  return 0;
}

int FireType3Heaven(EnemyObject& e) {
  return RunFirePattern(e, 0, 8, 3, 8, [&](int32_t) {
    FireEnemyBullet(e.x, e.y, 2, AimFromCentre(e), 2.5, Owner(e));
  });
}

int FireType3Original(EnemyObject& e) {
  return RunFirePattern(e, 0, 8, 3, 5, [&](int32_t) {
    FireEnemyBullet(e.x, e.y, 2, AimFromCentre(e), 3.0, Owner(e));
  });
}

int FireType3Hell(EnemyObject& e) {
  return RunFirePattern(e, 0, 8, 3, 4, [&](int32_t) {
    FireBulletFan(e.x, e.y, 2, AimFromCentre(e), 4.0, 3.0, 24.0, Owner(e));
  });
}

// ---- type 9 ----

int UpdateEnemyType9(EnemyObject& e) {
  TestEnemyCloseRange(e, 48.0, true);
  if (e.move_state == 0) {
    Aim(e) = TruncToInt(AngleToPlayer(e.x, e.y));
    e.move_state = 1;
  } else if (e.move_state == 1) {
    Aim(e) = TurnWholeAngle(Aim(e), AngleToPlayer(e.x, e.y), 2.0);
    FollowGroundScroll(e);
    PlaceEnemyGunOnCircle(e, 0, 28.0, 28.0, Aim(e));
    if (e.screen_state == 1 && e.y < 400.0 && e.no_revenge == 0)
      FireByDifficulty(e, FireType9Heaven, FireType9Original, FireType9Hell);
  }
  return 0;
}

int FireType9Heaven(EnemyObject& e) {
  const int s = StageIndex();
  return FireType9(e, 20, 2, 12 - 2 * s, s / 3 + 1.5);
}

int FireType9Original(EnemyObject& e) {
  const int s = StageIndex();
  return FireType9(e, 16, 2, 12 - 2 * s, s / 3 + 2.0);
}

int FireType9Hell(EnemyObject& e) {
  const int s = StageIndex();
  return FireType9(e, 8, 3, 4, s / 3 + 3.0);
}

int FireType9RevengeBurst(EnemyObject& e) {
  FireBulletFan(e.x, e.y, 1, AngleToPlayer(e.x, e.y), 4.0, 2.0, 3.0, Owner(e));
  return 0;
}

// ---- type 10 ----

int UpdateEnemyType10(EnemyObject& e) {
  TestEnemyCloseRange(e, 64.0, true);
  Aim(e) = TruncToInt(AngleToPlayerCentre(e.x, e.y));
  int32_t& mc = MoveCounter(e);
  if (mc == 0) e.heading = 90.0;
  if (mc < 90) e.heading = TurnAngleToward(e.heading, AngleToPlayer(e.x, e.y), 2.0);
  const double v = StageIndex() / 5.0 + 3.0;
  e.vx = CosDeg(e.heading) * v;
  e.vy = SinDeg(e.heading) * v + 1.0;
  Count(mc);
  if (e.screen_state == 1 && e.y < 300.0 && e.no_revenge == 0)
    FireByDifficulty(e, FireType10Heaven, FireType10Original, FireType10Hell);
  return 0;
}

int FireType10Heaven(EnemyObject& e) {
  const int s = StageIndex();
  return RunFirePattern(e, 0, 95 - 15 * s, kNoCap, kNoWrap, [&](int32_t) {
    FireBulletFan(e.x, e.y, 9, Aim(e), s / 5.0 + 2.3, 2.0, 3.0, Owner(e));
  });
}

int FireType10Original(EnemyObject& e) {
  const int s = StageIndex();
  return RunFirePattern(e, 0, 80 - 15 * s, kNoCap, kNoWrap, [&](int32_t) {
    FireBulletFan(e.x, e.y, 9, Aim(e), s / 4.0 + 3.5, 2.0, 4.0, Owner(e));
  });
}

int FireType10Hell(EnemyObject& e) {
  const int s = StageIndex();
  return RunFirePattern(e, 0, 30 - 4 * s, kNoCap, kNoWrap, [&](int32_t) {
    FireBulletFan(e.x, e.y, 9, Aim(e), s / 4.0 + 4.0, 2.0, 2.0, Owner(e));
    FireEnemyBullet(e.x, e.y, 9, Aim(e), s / 4.0 + 3.0, Owner(e));
  });
}

int FireType10RevengeBurst(EnemyObject& e) {
  FireBulletFan(e.x, e.y, 1, AngleToPlayer(e.x, e.y), 3.5, 2.0, 15.0, Owner(e));
  return 0;
}
