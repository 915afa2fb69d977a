// Type 14: the large gunship of stage 2. It brakes in, sways for 640 frames
// while two spirals turn from its wing guns and its centre gun fires aimed
// bursts, then leaves upward; it ends in the dying sequence.
#include "play/enemy_bullets.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage2_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

int32_t& MoveCounter(EnemyObject& e) { return e.script_counters[0]; }

constexpr int32_t kSwayFrames = 640;
constexpr int32_t kAimedInterval = 5;
constexpr int32_t kAimedWrap = 12;
constexpr double kSpiralStep = 28.0;

struct Fan {
  double count;
  double step;
  double speed;
};

struct Type14Pattern {
  int32_t spiral_interval;
  Fan spiral[2];  // the fan set, then the second set
  int32_t aimed_cap;
  Fan aimed;
};

int FireType14(EnemyObject& e, const Type14Pattern& p) {
  // Spirals: four directions per set turning 28 degrees a volley, without
  // end: the shot count is never reset by the pattern.
  if (PatternSlotDue(e, 0, p.spiral_interval)) {
    const double k = e.gun_shots[0];
    PlayEnemyShotSound();
    const int guns[4] = {0, 1, 1, 0};
    const double angles[4] = {kSpiralStep * k, 180.0 - kSpiralStep * k, -kSpiralStep * k,
                              kSpiralStep * k + 180.0};
    for (const Fan& f : p.spiral)
      for (int i = 0; i < 4; ++i)
        FireBulletFan(e.gun_x[guns[i]], e.gun_y[guns[i]], 5, angles[i], f.speed, f.count, f.step,
                      Owner(e));
    CountPatternShot(e, 0, kNoWrap);
  }
  CountPatternFrame(e, 0);
  // Bursts from the centre aimed at their first volley, each volley
  // off by its own draw.
  if (PatternSlotDue(e, 1, kAimedInterval)) {
    const int32_t shots = e.gun_shots[1];
    if (shots == 0) e.gun_angle[2] = AngleToPlayer(e.gun_x[2], e.gun_y[2]);
    if (shots < p.aimed_cap) {
      const int32_t r = RandomIntSigned(5);
      FireBulletFan(e.gun_x[2], e.gun_y[2], 1, e.gun_angle[2] + r, p.aimed.speed, p.aimed.count,
                    p.aimed.step, Owner(e));
    }
    CountPatternShot(e, 1, kAimedWrap);
  }
  CountPatternFrame(e, 1);
  return 0;
}

}  // namespace

int UpdateEnemyType14(EnemyObject& e) {
  return RunLifeSwitch(e, RunEnemyType14Alive, RunEnemyType14Death);
}

int RunEnemyType14Alive(EnemyObject& e) {
  PlaceEnemyGun(e, 0, -108.0, 80.0);
  PlaceEnemyGun(e, 1, 108.0, 80.0);
  PlaceEnemyGun(e, 2, 0.0, 0.0);
  int32_t& c = MoveCounter(e);
  switch (e.move_state) {
    case 0:
      e.vy = 5.6;
      e.move_state = 1;
      break;
    case 1:
      if (e.vy <= 0.0) {
        e.vy = 0.0;
        e.move_state = 2;
      } else {
        e.vy -= 0.1;
      }
      break;
    case 2:
      e.vx = CosDeg(c / 2) * 0.2;
      e.vy = SinDeg(c) * 0.2;
      if (c < INT32_MAX) c += 1;
      if (c >= kSwayFrames) {
        c = 0;
        e.move_state = 3;
      }
      // The last sway frame still fires.
      FireByDifficulty(e, FireType14Heaven, FireType14Original, FireType14Hell);
      break;
    case 3:
      e.vx = 0.0;
      e.vy = -0.5;  // leaves upward
      break;
    default:
      break;
  }
  return 0;
}

int RunEnemyType14Death(EnemyObject& e) {
  if (e.state_timer == 0) {
    e.vx = 0.0;
    e.vy = 0.5;  // the wreck sinks
  }
  DyingSequence seq;
  seq.debris_param1 = 1.0;  // debris starts at double scale
  seq.test_before_increment = true;
  return RunDyingSequence(e, seq);
}

int FireType14Heaven(EnemyObject& e) {
  static constexpr Type14Pattern kP = {24, {{2, 12, 2.0}, {1, 0, 2.6}}, 5, {1, 0, 2.0}};
  return FireType14(e, kP);
}

int FireType14Original(EnemyObject& e) {
  static constexpr Type14Pattern kP = {15, {{2, 12, 2.4}, {1, 0, 3.0}}, 8, {3, 30, 2.5}};
  return FireType14(e, kP);
}

int FireType14Hell(EnemyObject& e) {
  static constexpr Type14Pattern kP = {12, {{3, 12, 2.6}, {2, 6, 3.2}}, 10, {5, 20, 3.5}};
  return FireType14(e, kP);
}
