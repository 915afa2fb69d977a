// The two large life-switch types of stage 1: type 5, a ground turret, and
// type 6, a gunship with a two-pattern burst cycle. Both end in the dying
// sequence before DestroyEnemy removes them.
#include "play/enemy_bullets.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage1_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

int32_t& MoveCounter(EnemyObject& e) { return e.script_counters[0]; }
int32_t& Aim(EnemyObject& e) { return e.turn_angles[0]; }

int32_t Abs(int32_t v) { return v < 0 ? -v : v; }

// A fan, or one bullet when count is 0.
struct Shot {
  int bullet;
  double count;
  double step;
  double speed;
};

void FireShot(const EnemyObject& e, double x, double y, const Shot& s, double angle, double speed) {
  if (s.count == 0.0)
    FireEnemyBullet(x, y, s.bullet, angle, speed, Owner(e));
  else
    FireBulletFan(x, y, s.bullet, angle, speed, s.count, s.step, Owner(e));
}

// ---- type 5 ----

constexpr int32_t kType5Wrap = 15;
constexpr int32_t kType5SideCap = 3;
constexpr int32_t kType5BurstShot = 6;

// Side volleys from guns 1 and 2 at A +- 20i, speed base - i/2, for i up to
// `side_last`; the gun 0 burst at shot count 6, speed i/4 + base.
struct Type5Pattern {
  Shot side;
  int side_last;
  Shot burst;
  int burst_last;
};

int FireType5(EnemyObject& e, const Type5Pattern& p) {
  if (PatternSlotDue(e, 0, 5)) {
    const int32_t shots = e.gun_shots[0];
    const double a = e.turn_angles[2];
    if (shots < kType5SideCap) {
      PlayEnemyShotSound();
      for (int i = 0; i <= p.side_last; ++i) {
        const double speed = p.side.speed - i / 2.0;
        FireShot(e, e.gun_x[1], e.gun_y[1], p.side, a + 20.0 * i, speed);
        FireShot(e, e.gun_x[2], e.gun_y[2], p.side, a - 20.0 * i, speed);
      }
    }
    if (shots == kType5BurstShot) {
      PlayEnemyShotSound();
      for (int i = 0; i <= p.burst_last; ++i) {
        const int32_t r = RandomInt(10) / 2;
        FireShot(e, e.gun_x[0], e.gun_y[0], p.burst, a + r, i / 4.0 + p.burst.speed);
      }
    }
    CountPatternShot(e, 0, kType5Wrap);
  }
  CountPatternFrame(e, 0);
  return 0;
}

// ---- type 6 ----

constexpr int32_t kType6AWrap = 8;
constexpr int32_t kType6AShots = 2;
constexpr int32_t kType6Stages = 3;

// Pattern A: pairs of volleys from guns 0-3; gun 1's shot count is the
// stage of the window, raised each time gun 0's count wraps.
int FireType6PatternA(EnemyObject& e, const Shot (&stages)[kType6Stages]) {
  if (PatternSlotDue(e, 0, 4)) {
    const int32_t shots = e.gun_shots[0];
    const int32_t stage = e.gun_shots[1];
    if (shots < kType6AShots) {
      const bool fires = stage >= 0 && stage < kType6Stages;
      if (fires) PlayEnemyShotSound();
      for (int gun = 0; gun < 4; ++gun) {
        // The pair shares the angle taken at its first volley.
        const double a = AimAtFirstVolley(e, gun, shots);
        if (fires) FireShot(e, e.gun_x[gun], e.gun_y[gun], stages[stage], a, stages[stage].speed);
      }
    }
    CountPatternShot(e, 0, kType6AWrap);
    if (e.gun_shots[0] == 0 && e.gun_shots[1] < INT32_MAX) e.gun_shots[1] += 1;
  }
  CountPatternFrame(e, 0);
  return 0;
}

// Pattern B: a ring from gun 4, turned 8 degrees further each volley.
struct RingShot {
  int bullet;
  double sign;  // of the 8-degree turn
  double divisor;
  double base;
};

int FireType6PatternB(EnemyObject& e, int32_t cap, int step, const RingShot* ring, int n) {
  return RunFirePattern(e, 0, 5, cap, kNoWrap, [&](int32_t shots) {
    PlayEnemyShotSound();
    for (int a = 0; a < 360; a += step) {
      for (int i = 0; i < n; ++i) {
        const RingShot& r = ring[i];
        FireEnemyBullet(e.gun_x[4], e.gun_y[4], r.bullet, a + r.sign * 8.0 * shots,
                        shots / r.divisor + r.base, Owner(e));
      }
    }
  });
}

void RunType6BurstCycle(EnemyObject& e) {
  int32_t& t = e.state_timer;
  if (t < 90)
    FireByDifficulty(e, FireType6PatternAHeaven, FireType6PatternAOriginal, FireType6PatternAHell);
  if (t == 90) ResetEnemyGuns(e);
  if (t >= 111 && t <= 149)
    FireByDifficulty(e, FireType6PatternBHeaven, FireType6PatternBOriginal, FireType6PatternBHell);
  t += 1;
  if (t >= 240) {
    ResetEnemyGuns(e);
    t = 0;
  }
}

}  // namespace

// ---- type 5 ----

int UpdateEnemyType5(EnemyObject& e) {
  return RunLifeSwitch(e, RunEnemyType5Alive, RunEnemyType5Death);
}

int RunEnemyType5Alive(EnemyObject& e) {
  int32_t& mc = MoveCounter(e);
  double& second = e.work_angles[0];
  if (mc == 0) {
    Aim(e) = 90;
    second = 90.0;
  }
  const double target = AngleToPlayer(e.x, e.y);
  Aim(e) = TurnWholeAngleSigned(Aim(e), target, 2.0);
  // The drawing picks the turret picture from |aim| / 14; |aim| is A.
  e.turn_angles[1] = Abs(Aim(e)) / 14;
  e.turn_angles[2] = Abs(Aim(e));
  // A second heading for the drawing, restarted on the plain animation frame.
  if (e.anim_frame == 0) second = 90.0;
  second = TurnWholeAngleSigned(TruncToInt(second), target, 2.0);
  e.work_angles[1] = second < 0.0 ? -second : second;
  if (mc < INT32_MAX) mc += 1;
  const double a = e.turn_angles[2];
  PlaceEnemyGunOnCircle(e, 0, 88.0, 88.0, a);
  PlaceEnemyGunOnCircle(e, 1, 64.0, 64.0, a + 60.0);
  PlaceEnemyGunOnCircle(e, 2, 64.0, 64.0, a - 60.0);
  if (e.screen_state == 1 && e.y < 360.0)
    FireByDifficulty(e, FireType5Heaven, FireType5Original, FireType5Hell);
  FollowGroundScroll(e);
  return 0;
}

int RunEnemyType5Death(EnemyObject& e) {
  // The wreck keeps its last velocity.
  return RunDyingSequence(e, DyingSequence{});
}

int FireType5Heaven(EnemyObject& e) {
  static constexpr Type5Pattern kP = {{2, 0, 0, 2.3}, 2, {7, 3, 45, 1.5}, 4};
  return FireType5(e, kP);
}
int FireType5Original(EnemyObject& e) {
  static constexpr Type5Pattern kP = {{2, 0, 0, 3.0}, 2, {7, 5, 40, 2.0}, 5};
  return FireType5(e, kP);
}
int FireType5Hell(EnemyObject& e) {
  static constexpr Type5Pattern kP = {{2, 3, 10, 3.5}, 4, {7, 7, 20, 2.0}, 8};
  return FireType5(e, kP);
}

// ---- type 6 ----

int UpdateEnemyType6(EnemyObject& e) {
  return RunLifeSwitch(e, RunEnemyType6Alive, RunEnemyType6Death);
}

int RunEnemyType6Alive(EnemyObject& e) {
  PlaceEnemyGun(e, 0, -96.0, -32.0);
  PlaceEnemyGun(e, 1, -56.0, -16.0);
  PlaceEnemyGun(e, 2, 56.0, -16.0);
  PlaceEnemyGun(e, 3, 96.0, -32.0);
  PlaceEnemyGun(e, 4, 0.0, -48.0);
  int32_t& mc = MoveCounter(e);
  if (e.move_state == 0) {
    if (mc == 0) e.vy = 6.0;
    e.vy -= 0.1;
    mc += 1;
    if (e.vy <= 0.0) {
      e.vy = 0.0;
      mc = 0;
      e.move_state = 1;
    }
  } else if (e.move_state == 1) {
    e.vx = CosDeg(mc / 2) * 0.4;
    RunType6BurstCycle(e);
    if (mc < INT32_MAX) mc += 1;
    if (mc > 500) e.vy = -1.0;  // climbs off the top
  }
  return 0;
}

int RunEnemyType6Death(EnemyObject& e) {
  if (e.state_timer == 0) {
    e.vx = 0.0;
    e.vy = 0.5;  // the wreck sinks slowly
  }
  DyingSequence seq;
  seq.test_before_increment = true;
  return RunDyingSequence(e, seq);
}

int FireType6PatternAHeaven(EnemyObject& e) {
  static constexpr Shot kStages[] = {{9, 0, 0, 2.0}, {4, 5, 40, 3.0}, {3, 9, 45, 3.5}};
  return FireType6PatternA(e, kStages);
}
int FireType6PatternAOriginal(EnemyObject& e) {
  static constexpr Shot kStages[] = {{9, 3, 20, 3.0}, {4, 7, 30, 4.0}, {3, 11, 35, 4.5}};
  return FireType6PatternA(e, kStages);
}
int FireType6PatternAHell(EnemyObject& e) {
  static constexpr Shot kStages[] = {{9, 5, 10, 3.5}, {4, 11, 20, 4.5}, {3, 19, 15, 5.0}};
  return FireType6PatternA(e, kStages);
}

int FireType6PatternBHeaven(EnemyObject& e) {
  static constexpr RingShot kRing[] = {{5, 1.0, 2.0, 1.5}};
  return FireType6PatternB(e, 4, 24, kRing, 1);
}
int FireType6PatternBOriginal(EnemyObject& e) {
  static constexpr RingShot kRing[] = {{5, 1.0, 2.0, 2.0}};
  return FireType6PatternB(e, 5, 20, kRing, 1);
}
int FireType6PatternBHell(EnemyObject& e) {
  static constexpr RingShot kRing[] = {{5, 1.0, 3.0, 3.5}, {10, -1.0, 2.0, 2.0}};
  return FireType6PatternB(e, 5, 15, kRing, 2);
}
