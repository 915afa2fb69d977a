// The flying enemies of stage 5: type 28, a large craft with two locking
// turrets and a centre gun; type 29, which sweeps in from a side, stops and
// climbs away; type 31, the small craft of spawner 304 flying a table of
// courses; and type 36, the hovering gunship that ends in the dying
// sequence.
#include <cstdint>
#include <limits>

#include "play/enemy_bullets.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage5_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

void Fan(const EnemyObject& e, int gun, int bullet, double angle, double speed, double count,
         double step) {
  FireBulletFan(e.gun_x[gun], e.gun_y[gun], bullet, angle, speed, count, step, Owner(e));
}

void Count(int32_t& n) {
  if (n < std::numeric_limits<int32_t>::max()) n += 1;
}

int32_t Mod2(int32_t n) { return n % 2 == 0 ? 0 : 1; }

int32_t& ScriptFlag(EnemyObject& e) { return e.script_states[10]; }

// ---- type 28 ----

constexpr int32_t kTurretWrap = 10;
constexpr int32_t kTurretUnlock = 8;

struct Fan2 {
  double count;
  double step;
  double base;  // speed = s / 2 + base
};

// The centre gun's fans: 2 x (16s + add) at s / 5 + base.
struct CentreFan {
  double add;
  double base;
};

struct Type28Pattern {
  int32_t turret_cap;
  int turret_fans;
  Fan2 turret[2];
  int32_t centre_cap;
  int centre_fans;
  CentreFan centre[4];
};

// Turrets, on gun 0's counter: gun 1's shot count picks the turret. At a
// burst's first volley its angle is copied into the gun and both turrets
// stop turning until the count reaches 8; at 10 the other turret's burst
// begins. Centre, on gun 10's counter once it has reached 41: fans from gun
// 2 closing and slowing by the shot count, aimed at the burst's first volley.
int FireType28(EnemyObject& e, const Type28Pattern& p) {
  if (PatternSlotDue(e, 0, 6)) {
    const int32_t s = e.gun_shots[0];
    const int k = Mod2(e.gun_shots[1]);
    if (s < p.turret_cap) {
      if (s == 0) {
        e.gun_angle[k] = e.turn_angles[k];
        ScriptFlag(e) = 1;
      }
      PlayEnemyShotSound();
      for (int i = 0; i < p.turret_fans; ++i)
        Fan(e, k, 0, e.gun_angle[k], s / 2.0 + p.turret[i].base, p.turret[i].count,
            p.turret[i].step);
    }
    CountPatternShot(e, 0, kTurretWrap);
    if (e.gun_shots[0] == kTurretUnlock) ScriptFlag(e) = 0;
    if (e.gun_shots[0] == 0) Count(e.gun_shots[1]);
  }
  CountPatternFrame(e, 0);

  if (e.gun_counter[10] >= 41 && PatternSlotDue(e, 10, 4)) {
    const int32_t s = e.gun_shots[10];
    if (s < p.centre_cap) {
      if (s == 0) e.gun_angle[10] = AngleToPlayer(e.gun_x[2], e.gun_y[2]);
      PlayEnemyShotSound();
      for (int i = 0; i < p.centre_fans; ++i)
        Fan(e, 2, 7, e.gun_angle[10], s / 5.0 + p.centre[i].base, 2.0,
            16.0 * s + p.centre[i].add);
    }
    CountPatternShot(e, 10, 20);
  }
  CountPatternFrame(e, 10);
  return 0;
}

// ---- type 29 ----

int FireType29(EnemyObject& e, int32_t interval, int32_t cap, int32_t wrap, double count,
               double add, double speed) {
  return RunFirePattern(e, 0, interval, cap, wrap, [&](int32_t s) {
    for (int gun = 0; gun < 2; ++gun)
      Fan(e, gun, 1, AngleToPlayer(e.gun_x[gun], e.gun_y[gun]), speed, count, 10.0 * s + add);
  });
}

// ---- type 31 ----

struct Leg {
  int32_t course;
  int32_t frames;  // 0: kept for good
};
constexpr int kLegCount = 5;
constexpr Leg kCourses31[][kLegCount] = {
    {{180, 130}, {125, 120}, {90, 90}, {50, 90}, {0, 0}},
    {{180, 100}, {125, 100}, {90, 50}, {50, 50}, {0, 0}},
    {{0, 130}, {55, 120}, {90, 90}, {130, 90}, {180, 0}},
    {{0, 100}, {55, 100}, {90, 50}, {130, 50}, {180, 0}},
};
constexpr int kCourse31Count = static_cast<int>(sizeof kCourses31 / sizeof kCourses31[0]);

int32_t& Course(EnemyObject& e) { return e.turn_angles[2]; }

void SteerType31(EnemyObject& e) {
  // A variant without a row keeps its course (0 from the spawn).
  if (e.variant < 0 || e.variant >= kCourse31Count) return;
  const Leg* legs = kCourses31[e.variant];
  int state = e.move_state;
  if (state < 0) state = 0;
  if (state > kLegCount - 1) state = kLegCount - 1;
  const Leg& leg = legs[state];
  Course(e) = leg.course;
  if (leg.frames == 0) return;
  int32_t& n = e.script_counters[0];
  Count(n);
  if (n >= leg.frames) {
    e.move_state = state + 1;
    n = 0;
  }
}

// Gun 0 is the centre, placed only by the pattern.
int FireType31(EnemyObject& e, int32_t cap, int32_t wrap, double speed) {
  PlaceEnemyGun(e, 0, 0.0, 0.0);
  return RunFirePattern(e, 0, 5, cap, wrap, [&](int32_t shots) {
    Fan(e, 0, 0, AimAtFirstVolley(e, 0, shots), speed, 1.0, 0.0);
  });
}

// ---- type 36 ----

int32_t& AliveStep(EnemyObject& e) { return e.script_states[0]; }

struct Type36A {
  int32_t interval;
  double count;
  double step;
  double speed;
};

// Pattern A, on gun 0's counter: type-5 fans swinging about straight down
// by gun 1's shot count j (raised each time gun 0's wraps), and type-2 fans
// straight up, from guns 0 and 1.
int FireType36PatternA(EnemyObject& e, const Type36A& p) {
  if (PatternSlotDue(e, 0, p.interval)) {
    if (e.gun_shots[0] < 2) {
      PlayEnemyShotSound();
      const double a = 90.0 + 30.0 * SinDeg(37.0 * e.gun_shots[1]);
      Fan(e, 0, 5, a, p.speed, p.count, p.step);
      Fan(e, 1, 5, a, p.speed, p.count, p.step);
      Fan(e, 0, 2, 270.0, 5.5, 5.0, 40.0);
      Fan(e, 1, 2, 270.0, 5.5, 5.0, 40.0);
    }
    CountPatternShot(e, 0, 4);
    if (e.gun_shots[0] == 0) Count(e.gun_shots[1]);
  }
  CountPatternFrame(e, 0);
  return 0;
}

struct Type36B {
  int32_t wrap;
  double step_base;  // fan step = step_base - 2s
  double speed_base;  // speed = s / 2 + speed_base
  bool three_fans;
};

// Pattern B, on gun 10's counter once it has reached 61: fans from guns 2,
// 3, 4 in turn (in reverse while gun 11's shot count is odd), aimed afresh
// each volley, closing and speeding up by the shot count.
int FireType36PatternB(EnemyObject& e, const Type36B& p) {
  if (e.gun_counter[10] >= 61 && PatternSlotDue(e, 10, 4)) {
    const int32_t s = e.gun_shots[10];
    if (s < 4) {
      PlayEnemyShotSound();
      const int gun = Mod2(e.gun_shots[11]) == 0 ? s % 3 + 2 : 4 - s % 3;
      e.gun_angle[10] = AngleToPlayer(e.gun_x[gun], e.gun_y[gun]);
      const double step = p.step_base - 2.0 * s;
      const double speed = s / 2.0 + p.speed_base;
      if (p.three_fans) {
        for (int d = -1; d <= 1; ++d) Fan(e, gun, 10, e.gun_angle[10] + d, speed, 7.0, step);
      } else {
        Fan(e, gun, 10, e.gun_angle[10], speed, 7.0, step);
      }
    }
    CountPatternShot(e, 10, p.wrap);
    if (e.gun_shots[10] == 0) Count(e.gun_shots[11]);
  }
  CountPatternFrame(e, 10);
  return 0;
}

}  // namespace

// ---- type 28 ----

int UpdateEnemyType28(EnemyObject& e) {
  // The turret pivots, where the drawing puts the turrets.
  e.pod_x[0] = e.x - 48.0;
  e.pod_y[0] = e.y - 12.0;
  e.pod_x[1] = e.x + 48.0;
  e.pod_y[1] = e.y - 12.0;
  for (int t = 0; t < 2; ++t) {
    e.gun_x[t] = e.pod_x[t] + 32.0 * CosDeg(e.turn_angles[t]);
    e.gun_y[t] = e.pod_y[t] + 32.0 * SinDeg(e.turn_angles[t]);
  }
  PlaceEnemyGun(e, 2, 0.0, -12.0);
  e.vx = 0.0;
  e.vy = 1.0;
  if (ScriptFlag(e) == 0) {
    for (int t = 0; t < 2; ++t)
      e.turn_angles[t] =
          TurnWholeAngle(e.turn_angles[t], AngleToPlayer(e.pod_x[t], e.pod_y[t]), 3.0);
  }
  if (e.screen_state == 1 && e.y < 300.0)
    FireByDifficulty(e, FireType28Heaven, FireType28Original, FireType28Hell);
  return 0;
}

int FireType28Heaven(EnemyObject& e) {
  static constexpr Type28Pattern kP = {
      5, 1, {{5.0, 25.0, 2.5}, {}}, 5, 3, {{4.0, 2.6}, {6.0, 2.4}, {8.0, 2.2}, {}}};
  return FireType28(e, kP);
}
int FireType28Original(EnemyObject& e) {
  static constexpr Type28Pattern kP = {
      8, 1, {{5.0, 20.0, 3.0}, {}}, 8, 3, {{4.0, 3.0}, {6.0, 2.8}, {8.0, 2.6}, {}}};
  return FireType28(e, kP);
}
int FireType28Hell(EnemyObject& e) {
  static constexpr Type28Pattern kP = {8, 2, {{4.0, 30.0, 3.5}, {5.0, 30.0, 4.0}},
                                       8, 4, {{2.0, 3.8}, {4.0, 3.4}, {6.0, 3.0}, {8.0, 2.6}}};
  return FireType28(e, kP);
}

// ---- type 29 ----

int UpdateEnemyType29(EnemyObject& e) {
  TestEnemyCloseRange(e, 64.0, true);
  PlaceEnemyGun(e, 0, -40.0, 40.0);
  PlaceEnemyGun(e, 1, 40.0, 40.0);
  // Variant 0 comes in from the left, 1 from the right; another variant has
  // no sideways entry and goes straight to the stop and climb.
  const double side = e.variant == 0 ? 1.0 : e.variant == 1 ? -1.0 : 0.0;
  switch (e.move_state) {
    case 0:
      e.vx = 6.0 * side;
      e.move_state = 1;
      break;
    case 1:
      if (side * e.vx > 0.0) e.vx -= 0.05 * side;
      if (side * e.vx <= 0.0) {
        e.vx = 0.0;
        e.vy = 1.0;
        e.move_state = 2;
      }
      break;
    case 2:
      if (e.vy > -3.0) e.vy -= 0.05;
      break;
    default:
      break;
  }
  if (e.screen_state == 1 && e.y < 360.0 && e.no_revenge == 0)
    FireByDifficulty(e, FireType29Heaven, FireType29Original, FireType29Hell);
  return 0;
}

int FireType29Heaven(EnemyObject& e) { return FireType29(e, 30, 2, 5, 3.0, 30.0, 2.4); }
int FireType29Original(EnemyObject& e) { return FireType29(e, 24, 3, 5, 3.0, 10.0, 3.0); }
int FireType29Hell(EnemyObject& e) { return FireType29(e, 20, 3, 4, 5.0, 10.0, 3.5); }

// ---- type 31 ----

int UpdateEnemyType31(EnemyObject& e) {
  TestEnemyCloseRange(e, 48.0, true);
  SteerType31(e);
  SetEnemyVelocityAt(e, Course(e), 1.2);
  e.vy += GetScrollSpeed(1);
  if (e.screen_state == 1 && e.y < 300.0 && e.no_revenge == 0)
    FireByDifficulty(e, FireType31Heaven, FireType31Original, FireType31Hell);
  return 0;
}

int FireType31Heaven(EnemyObject& e) { return FireType31(e, 2, 6, 2.6); }
int FireType31Original(EnemyObject& e) { return FireType31(e, 3, 6, 3.0); }
int FireType31Hell(EnemyObject& e) { return FireType31(e, 3, 5, 4.4); }

// Aimed from gun 0 as the pattern last placed it, fired from the centre.
int FireType31RevengeBurst(EnemyObject& e) {
  e.gun_angle[0] = AngleToPlayer(e.gun_x[0], e.gun_y[0]);
  FireBulletFan(e.x, e.y, 0, e.gun_angle[0], 3.0, 1.0, 0.0, Owner(e));
  return 0;
}

// ---- type 36 ----

int UpdateEnemyType36(EnemyObject& e) {
  return RunLifeSwitch(e, RunEnemyType36Alive, RunEnemyType36Death);
}

int RunEnemyType36Alive(EnemyObject& e) {
  PlaceEnemyGun(e, 0, -104.0, -32.0);
  PlaceEnemyGun(e, 1, 104.0, -32.0);
  PlaceEnemyGun(e, 2, -24.0, -64.0);
  PlaceEnemyGun(e, 3, 0.0, -64.0);
  PlaceEnemyGun(e, 4, 24.0, -64.0);
  int32_t& c = e.script_counters[0];
  switch (AliveStep(e)) {
    case 0:
      // Dives in at 6 on its first frame, then brakes to a stop.
      if (c == 0)
        e.vy = 6.0;
      else
        e.vy -= 0.08;
      Count(c);
      if (e.vy <= 0.0) {
        e.vy = 0.0;
        AliveStep(e) = 1;
        c = 0;
      }
      break;
    case 1:
      // Fires wherever it is, then sways; after 500 frames it drifts up.
      FireByDifficulty(e, FireType36PatternAHeaven, FireType36PatternAOriginal,
                       FireType36PatternAHell);
      FireByDifficulty(e, FireType36PatternBHeaven, FireType36PatternBOriginal,
                       FireType36PatternBHell);
      e.vx = CosDeg(c) * 0.5;
      e.vy = SinDeg(2.0 * c) * 0.3 + e.motion_y;
      Count(c);
      if (c > 500) e.motion_y = -1.0;
      break;
    default:
      break;
  }
  return 0;
}

int RunEnemyType36Death(EnemyObject& e) {
  // The wreck keeps its last velocity.
  DyingSequence seq;
  seq.kind_near = 52;
  return RunDyingSequence(e, seq);
}

int FireType36PatternAHeaven(EnemyObject& e) {
  return FireType36PatternA(e, Type36A{12, 3.0, 20.0, 2.2});
}
int FireType36PatternAOriginal(EnemyObject& e) {
  return FireType36PatternA(e, Type36A{5, 5.0, 15.0, 3.0});
}
int FireType36PatternAHell(EnemyObject& e) {
  return FireType36PatternA(e, Type36A{5, 7.0, 15.0, 3.0});
}
int FireType36PatternBHeaven(EnemyObject& e) {
  return FireType36PatternB(e, Type36B{15, 18.0, 2.0, false});
}
int FireType36PatternBOriginal(EnemyObject& e) {
  return FireType36PatternB(e, Type36B{12, 13.0, 3.0, false});
}
int FireType36PatternBHell(EnemyObject& e) {
  return FireType36PatternB(e, Type36B{12, 17.0, 3.0, true});
}
