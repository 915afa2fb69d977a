// The two large life-switch types of stage 3: type 19, a ground fortress
// with a turning ring gun and a hatch of six aimed guns that the drawing
// opens and closes, and type 20, a craft that hovers in a slow figure of
// eight while four guns turn spirals. Both end in a dying sequence without
// debris.
#include "play/enemy_bullets.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage3_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

void Count(int32_t& counter) {
  if (counter < INT32_MAX) counter += 1;
}

struct Fan {
  double count;
  double step;
};

DyingSequence PlainDyingSequence() {
  DyingSequence seq;
  seq.debris = false;
  seq.test_before_increment = true;  // removal on the 91st dying frame
  return seq;
}

// ---- type 19 ----

int32_t& FireState(EnemyObject& e) { return e.script_states[0]; }
int32_t& LowFlag(EnemyObject& e) { return e.script_states[1]; }
int32_t& FireCounter(EnemyObject& e) { return e.script_counters[0]; }
// 0 shut at spawn; the script asks with 1 (open) and 2 (close), the drawing
// answers -1 (open) and -2 (closed).
int32_t& Hatch(EnemyObject& e) { return e.script_words[0]; }

constexpr int32_t kHatchOpen = 1, kHatchClose = 2, kHatchIsOpen = -1;
constexpr double kType19LowLine = 360.0;
constexpr int32_t kSettleFrames = 30;  // on the field before the first ring
constexpr int32_t kRingFrames = 90;    // pattern A runs below this count
constexpr int32_t kRingCycle = 120;
constexpr int32_t kHatchFrames = 60;
constexpr int32_t kHatchInterval = 5;
constexpr int kHatchGuns[] = {1, 2, 3, 4, 5, 6};

struct RingPattern {
  int32_t interval;
  int step;
  double speed5;  // bullet type 5
  double speed7;  // bullet type 7
};

int FireType19Ring(EnemyObject& e, const RingPattern& p) {
  if (LowFlag(e) == 1) return 0;
  return RunFirePattern(e, 0, p.interval, kNoCap, kNoWrap, [&](int32_t shots) {
    PlayEnemyShotSound();
    // Counter-clockwise left of the screen's middle, clockwise right of it.
    const int64_t side = e.x < 320.0 ? 1 : -1;
    for (int a = 0; a < 360; a += p.step) {
      const double angle = static_cast<double>(a - side * shots * 7);
      FireBulletFan(e.gun_x[0], e.gun_y[0], 5, angle, p.speed5, 1.0, 0.0, Owner(e));
      FireBulletFan(e.gun_x[0], e.gun_y[0], 7, angle, p.speed7, 1.0, 0.0, Owner(e));
    }
  });
}

// Each hatch gun aims at every volley: `base` + shots / 2 (HEAVEN and
// ORIGINAL), or on HELL a single at shots + 4 and a pair narrowing by 8
// degrees a volley.
int FireType19Hatch(EnemyObject& e, int32_t cap, double base, bool hell) {
  if (LowFlag(e) == 1) return 0;
  return RunFirePattern(e, 0, kHatchInterval, cap, kNoWrap, [&](int32_t shots) {
    PlayEnemyShotSound();
    for (int gun : kHatchGuns) {
      e.gun_angle[gun] = AngleToPlayer(e.gun_x[gun], e.gun_y[gun]);
      const double x = e.gun_x[gun], y = e.gun_y[gun], a = e.gun_angle[gun];
      if (hell) {
        const double speed = shots + 4.0;
        FireBulletFan(x, y, 3, a, speed, 1.0, 0.0, Owner(e));
        FireBulletFan(x, y, 3, a, speed, 2.0, 100.0 - 8.0 * shots, Owner(e));
      } else {
        FireBulletFan(x, y, 3, a, shots / 2.0 + base, 1.0, 0.0, Owner(e));
      }
    }
  });
}

// ---- type 20 ----

int32_t& Phase(EnemyObject& e) { return e.script_states[0]; }
int32_t& AliveFrames(EnemyObject& e) { return e.script_states[1]; }
int32_t& HoverCounter(EnemyObject& e) { return e.script_counters[0]; }

constexpr int32_t kType20FireFrames = 560;
constexpr int32_t kType20RiseAfter = 600;

struct Type20Pattern {
  int32_t wing_interval;
  Fan wing;
  double wing_speed;
  double mirror;  // gun 1's spiral starts here and turns the other way
  int32_t inner_interval;
  Fan inner;
  double inner_speed;
  int32_t inner_steps;  // k wraps here
};

int FireType20(EnemyObject& e, const Type20Pattern& p) {
  // Wings: two spirals turning 7 degrees a volley in opposite senses.
  if (PatternSlotDue(e, 0, p.wing_interval)) {
    const double shots = e.gun_shots[0];
    PlayEnemyShotSound();
    FireBulletFan(e.gun_x[0], e.gun_y[0], 10, 7.0 * shots, p.wing_speed, p.wing.count, p.wing.step,
                  Owner(e));
    FireBulletFan(e.gun_x[1], e.gun_y[1], 10, p.mirror - 7.0 * shots, p.wing_speed, p.wing.count,
                  p.wing.step, Owner(e));
    CountPatternShot(e, 0, kNoWrap);
  }
  CountPatternFrame(e, 0);
  // Inner guns: each step fired twice, then both fans move 18 degrees,
  // crossing below the craft.
  if (PatternSlotDue(e, 10, p.inner_interval)) {
    int32_t& repeat = e.gun_shots[10];
    int32_t& k = e.gun_shots[11];
    e.gun_angle[3] = 18.0 * k;
    e.gun_angle[2] = 180.0 - 18.0 * k;
    for (int gun = 2; gun <= 3; ++gun)
      FireBulletFan(e.gun_x[gun], e.gun_y[gun], 1, e.gun_angle[gun], p.inner_speed, p.inner.count,
                    p.inner.step, Owner(e));
    repeat += 1;
    if (repeat >= 2) {
      repeat = 0;
      k += 1;
      if (k >= p.inner_steps) k = 0;
    }
  }
  CountPatternFrame(e, 10);
  return 0;
}

}  // namespace

// ---- type 19 ----

int UpdateEnemyType19(EnemyObject& e) {
  PlaceEnemyGun(e, 0, 0.0, -16.0);
  PlaceEnemyGun(e, 1, -88.0, -32.0);
  PlaceEnemyGun(e, 2, -88.0, 0.0);
  PlaceEnemyGun(e, 3, -88.0, 32.0);
  PlaceEnemyGun(e, 4, 88.0, -32.0);
  PlaceEnemyGun(e, 5, 88.0, 0.0);
  PlaceEnemyGun(e, 6, 88.0, 32.0);
  return RunLifeSwitch(e, RunEnemyType19Alive, RunEnemyType19Death);
}

int RunEnemyType19Alive(EnemyObject& e) {
  if (e.y >= kType19LowLine) LowFlag(e) = 1;  // never cleared
  int32_t& c = FireCounter(e);
  switch (FireState(e)) {
    case 0:  // settling on the field
      if (e.screen_state == 1) {
        c += 1;
        if (c >= kSettleFrames) {
          c = 0;
          FireState(e) = 1;
        }
      }
      break;
    case 1:  // the ring, then ask for the hatch
      Count(c);
      if (c < kRingFrames)
        FireByDifficulty(e, FireType19PatternAHeaven, FireType19PatternAOriginal,
                         FireType19PatternAHell);
      if (c >= kRingCycle) {
        ResetEnemyGuns(e);
        c = 0;
        Hatch(e) = kHatchOpen;
        FireState(e) = 2;
      }
      break;
    case 2:  // the drawing opens the hatch
      if (Hatch(e) == kHatchIsOpen) FireState(e) = 3;
      break;
    case 3:  // the hatch guns, then close it
      if (c < kHatchFrames)
        FireByDifficulty(e, FireType19PatternBHeaven, FireType19PatternBOriginal,
                         FireType19PatternBHell);
      Count(c);
      if (c >= kHatchFrames) {
        Hatch(e) = kHatchClose;
        c = 0;
        ResetEnemyGuns(e);
        FireState(e) = 1;
      }
      break;
    default:
      break;
  }
  FollowGroundScroll(e);
  return 0;
}

int RunEnemyType19Death(EnemyObject& e) {
  e.vx = 0.0;
  FollowGroundScroll(e);  // the wreck rides the ground
  return RunDyingSequence(e, PlainDyingSequence());
}

int FireType19PatternAHeaven(EnemyObject& e) { return FireType19Ring(e, {20, 24, 2.0, 2.4}); }
int FireType19PatternAOriginal(EnemyObject& e) { return FireType19Ring(e, {20, 20, 3.0, 3.4}); }
int FireType19PatternAHell(EnemyObject& e) { return FireType19Ring(e, {15, 15, 3.6, 4.0}); }

int FireType19PatternBHeaven(EnemyObject& e) { return FireType19Hatch(e, 4, 3.0, false); }
int FireType19PatternBOriginal(EnemyObject& e) { return FireType19Hatch(e, 8, 4.0, false); }
int FireType19PatternBHell(EnemyObject& e) { return FireType19Hatch(e, 8, 4.0, true); }

// ---- type 20 ----

int UpdateEnemyType20(EnemyObject& e) {
  PlaceEnemyGun(e, 0, -120.0, -32.0);
  PlaceEnemyGun(e, 1, 120.0, -32.0);
  PlaceEnemyGun(e, 2, -24.0, -8.0);
  PlaceEnemyGun(e, 3, 24.0, -8.0);
  return RunLifeSwitch(e, RunEnemyType20Alive, RunEnemyType20Death);
}

int RunEnemyType20Alive(EnemyObject& e) {
  int32_t& c = HoverCounter(e);
  if (Phase(e) == 0) {
    // Brakes from 6: at or below 0 on the 62nd frame.
    if (c == 0) e.vy = 6.0;
    Count(c);
    if (e.vy <= 0.0) {
      e.vy = 0.0;
      Phase(e) = 1;
      c = 0;
    } else {
      e.vy -= 0.1;
    }
  } else if (Phase(e) == 1) {
    // Fires wherever it is, before it is on the field and while it rises.
    if (c < kType20FireFrames)
      FireByDifficulty(e, FireType20Heaven, FireType20Original, FireType20Hell);
    e.vx = CosDeg(c) * 0.5;
    e.vy = SinDeg(2.0 * c) * 0.3 + e.motion_y;
    Count(c);
  }
  // From the 602nd alive frame it drifts up; the hover adds it from the next.
  if (AliveFrames(e) > kType20RiseAfter) e.motion_y = -1.0;
  Count(AliveFrames(e));
  return 0;
}

int RunEnemyType20Death(EnemyObject& e) {
  e.vx = 0.0;
  e.vy = 0.5;  // the wreck sinks slowly
  return RunDyingSequence(e, PlainDyingSequence());
}

int FireType20Heaven(EnemyObject& e) {
  static constexpr Type20Pattern kP = {10, {3, 120}, 2.0, 90.0, 9, {3, 40}, 2.4, 9};
  return FireType20(e, kP);
}

int FireType20Original(EnemyObject& e) {
  static constexpr Type20Pattern kP = {4, {3, 120}, 2.5, 90.0, 6, {3, 30}, 3.0, 9};
  return FireType20(e, kP);
}

int FireType20Hell(EnemyObject& e) {
  static constexpr Type20Pattern kP = {4, {4, 90}, 3.0, 60.0, 4, {4, 27}, 3.3, 8};
  return FireType20(e, kP);
}
