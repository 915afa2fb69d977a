// The craft of stage 3: type 16 (dives in, brakes and fires short bursts
// from a turret that locks while it fires) and type 17 (a large craft with
// two turrets that take turns and a centre gun).
#include "play/enemy_bullets.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage3_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

int32_t& Aim(EnemyObject& e) { return e.turn_angles[0]; }

struct Fan {
  double count;
  double step;
};

// ---- type 16 ----

// 1: the turret turns toward the player; 0: it holds for the burst.
int32_t& Tracking(EnemyObject& e) { return e.script_states[10]; }

constexpr double kType16FireSpeed = 1.0;  // it fires only while braked to exactly this
constexpr int32_t kType16HoverFrames = 200;
constexpr int32_t kType16Interval = 8;
constexpr int32_t kType16LockedShots = 4;  // shot counts 0-3 fire, held

// Two volleys of `first` and two of `second`, then rest until `wrap`.
struct Type16Pattern {
  int32_t wrap;
  Fan first;
  Fan second;
  double speed;
};

int FireType16(EnemyObject& e, const Type16Pattern& p) {
  if (PatternSlotDue(e, 0, kType16Interval)) {
    const int32_t shots = e.gun_shots[0];
    if (shots >= 0 && shots < kType16LockedShots) {
      Tracking(e) = 0;
      const Fan& f = shots < 2 ? p.first : p.second;
      FireBulletFan(e.gun_x[0], e.gun_y[0], 0, Aim(e), p.speed, f.count, f.step, Owner(e));
    } else {
      Tracking(e) = 1;
    }
    CountPatternShot(e, 0, p.wrap);
  }
  CountPatternFrame(e, 0);
  return 0;
}

void TurnType16Turret(EnemyObject& e) {
  Aim(e) = TurnWholeAngle(Aim(e), AngleToPlayerCentre(e.x, e.y), 3.0);
}

// ---- type 17 ----

struct Type17Pattern {
  int32_t turret_interval;
  Fan turret;
  double turret_base;  // three fans at speeds i / 4 + base
  int32_t centre_interval;
  Fan centre[2];  // bullet type 7, then 5
  double centre_speed[2];
};

int FireType17(EnemyObject& e, const Type17Pattern& p) {
  // The turrets take turns: the left on even shot counts, the right on odd.
  if (PatternSlotDue(e, 0, p.turret_interval)) {
    const int gun = e.gun_shots[0] % 2 == 0 ? 0 : 1;
    const double a = e.turn_angles[gun];
    for (int i = 0; i < 3; ++i)
      FireBulletFan(e.gun_x[gun], e.gun_y[gun], 2, a, i / 4.0 + p.turret_base, p.turret.count,
                    p.turret.step, Owner(e));
    CountPatternShot(e, 0, kNoWrap);
  }
  CountPatternFrame(e, 0);
  // The centre gun counts on gun 10, aimed at each volley.
  if (PatternSlotDue(e, 10, p.centre_interval)) {
    e.gun_angle[2] = AngleToPlayer(e.gun_x[2], e.gun_y[2]);
    const int bullets[2] = {7, 5};
    for (int i = 0; i < 2; ++i)
      FireBulletFan(e.gun_x[2], e.gun_y[2], bullets[i], e.gun_angle[2], p.centre_speed[i],
                    p.centre[i].count, p.centre[i].step, Owner(e));
  }
  CountPatternFrame(e, 10);
  return 0;
}

}  // namespace

// ---- type 16 ----

int UpdateEnemyType16(EnemyObject& e) {
  TestEnemyCloseRange(e, 64.0, true);
  switch (e.move_state) {
    case 0:
      e.vy = 4.0;
      Aim(e) = TruncToInt(AngleToPlayerCentre(e.x, e.y));
      e.move_state = 1;
      break;
    case 1: {
      // Repeated -0.05 in doubles: exactly 1.0 on the 62nd frame here.
      if (e.vy <= kType16FireSpeed)
        e.vy = kType16FireSpeed;
      else
        e.vy -= 0.05;
      if (Tracking(e) == 1) TurnType16Turret(e);
      PlaceEnemyGunOnCircle(e, 0, 32.0, 32.0, Aim(e));
      if (e.screen_state == 1 && e.y < 300.0 && e.no_revenge == 0) {
        if (e.vy == kType16FireSpeed)
          FireByDifficulty(e, FireType16Heaven, FireType16Original, FireType16Hell);
      } else {
        Tracking(e) = 1;
      }
      int32_t& t = e.state_timer;
      t += 1;
      if (t >= kType16HoverFrames) {
        e.move_state = 2;
        t = 0;
      }
      break;
    }
    case 2:
      // Climbs away, the turret still following the player (no burst to hold
      // for any more).
      TurnType16Turret(e);
      if (e.vy > -5.0) e.vy -= 0.05;
      break;
    default:
      break;
  }
  return 0;
}

int FireType16Heaven(EnemyObject& e) { return FireType16(e, {12, {2, 15}, {1, 0}, 3.0}); }
int FireType16Original(EnemyObject& e) { return FireType16(e, {8, {2, 15}, {1, 0}, 3.5}); }
int FireType16Hell(EnemyObject& e) { return FireType16(e, {6, {3, 15}, {2, 8}, 4.2}); }

// ---- type 17 ----

int UpdateEnemyType17(EnemyObject& e) {
  e.pod_x[0] = e.x - 72.0;
  e.pod_y[0] = e.y + 44.0;
  e.pod_x[1] = e.x + 72.0;
  e.pod_y[1] = e.y + 44.0;
  if (e.move_state == 0) {
    e.vy = 5.0;
    for (int k = 0; k < 2; ++k)
      e.turn_angles[k] = TruncToInt(AngleToPlayerCentre(e.pod_x[k], e.pod_y[k]));
    e.move_state = 1;
  } else if (e.move_state == 1) {
    if (e.vy <= 0.5)
      e.vy = 0.5;
    else
      e.vy -= 0.1;
    for (int k = 0; k < 2; ++k) {
      int32_t& a = e.turn_angles[k];
      a = TurnWholeAngle(a, AngleToPlayerCentre(e.pod_x[k], e.pod_y[k]), 3.0);
      e.gun_x[k] = e.pod_x[k] + CosDeg(a) * 24.0;
      e.gun_y[k] = e.pod_y[k] - 16.0 + SinDeg(a) * 24.0;
    }
    PlaceEnemyGun(e, 2, 0.0, 0.0);
    if (e.screen_state == 1 && e.y < 300.0)
      FireByDifficulty(e, FireType17Heaven, FireType17Original, FireType17Hell);
  }
  return 0;
}

int FireType17Heaven(EnemyObject& e) {
  static constexpr Type17Pattern kP = {50, {1, 0}, 2.0, 90, {{5, 16}, {5, 12}}, {2.5, 2.0}};
  return FireType17(e, kP);
}

int FireType17Original(EnemyObject& e) {
  static constexpr Type17Pattern kP = {40, {3, 20}, 2.0, 70, {{7, 12}, {7, 8}}, {2.5, 2.0}};
  return FireType17(e, kP);
}

int FireType17Hell(EnemyObject& e) {
  static constexpr Type17Pattern kP = {30, {5, 16}, 3.4, 60, {{11, 10}, {11, 6}}, {3.5, 3.0}};
  return FireType17(e, kP);
}
