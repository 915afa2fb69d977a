// The mid-sized craft of stage 2: type 12 (two sweeping side fans, then
// aimed shots from its nose guns; it fires only on stages 2 and 5) and
// type 15 (twin guns under a turret the drawing turns).
#include "play/enemy_bullets.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage2_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

int32_t& MoveCounter(EnemyObject& e) { return e.script_counters[0]; }
int32_t& Aim(EnemyObject& e) { return e.turn_angles[0]; }

void Count(int32_t& counter) {
  if (counter < INT32_MAX) counter += 1;
}

// One FireBulletFan of a table row; a single bullet is a fan of 1, step 0.
struct Fan {
  int bullet;
  double count;
  double step;
  double speed;
};

void FireFromGun(const EnemyObject& e, int gun, const Fan& f, double angle, double speed) {
  FireBulletFan(e.gun_x[gun], e.gun_y[gun], f.bullet, angle, speed, f.count, f.step, Owner(e));
}

// ---- type 12 ----

constexpr int32_t kType12SideInterval = 10;
constexpr int32_t kType12AimedAfter = 40;  // gun 0's counter must have passed it
constexpr int32_t kType12AimedInterval = 5;
constexpr int32_t kType12AimedWrap = 10;

// What type 12 fires on one stage: the side fans (each from gun 0 and then
// gun 1 before the next), and the aimed volley from guns 2 and 3 at speed
// shots / 2 + base.
struct Type12Stage {
  const Fan* side;
  int side_count;
  Fan aimed;  // speed holds the base
};

struct Type12Pattern {
  int32_t side_cap;
  int32_t aimed_cap;
  Type12Stage stage2;
  Type12Stage stage5;
};

int FireType12(EnemyObject& e, const Type12Pattern& p) {
  const int n = GetStageNumber();
  if (n != 2 && n != 5) return 0;  // boss practice and other stages: silent
  const Type12Stage& st = n == 2 ? p.stage2 : p.stage5;
  // The two sides sweep toward each other, 12 degrees a volley.
  if (PatternSlotDue(e, 0, kType12SideInterval)) {
    const int32_t shots = e.gun_shots[0];
    if (shots < p.side_cap) {
      for (int i = 0; i < st.side_count; ++i) {
        const Fan& f = st.side[i];
        FireFromGun(e, 0, f, 120.0 - 12.0 * shots, f.speed);
        FireFromGun(e, 1, f, 60.0 + 12.0 * shots, f.speed);
      }
    }
    CountPatternShot(e, 0, kNoWrap);
  }
  CountPatternFrame(e, 0);
  if (e.gun_counter[0] <= kType12AimedAfter) return 0;
  // Then bursts aimed at their first volley from each nose gun.
  if (PatternSlotDue(e, 1, kType12AimedInterval)) {
    const int32_t shots = e.gun_shots[1];
    if (shots == 0) {
      e.gun_angle[2] = AngleToPlayer(e.gun_x[2], e.gun_y[2]);
      e.gun_angle[3] = AngleToPlayer(e.gun_x[3], e.gun_y[3]);
    }
    if (shots < p.aimed_cap) {
      const double speed = shots / 2.0 + st.aimed.speed;
      FireFromGun(e, 2, st.aimed, e.gun_angle[2], speed);
      FireFromGun(e, 3, st.aimed, e.gun_angle[3], speed);
    }
    CountPatternShot(e, 1, kType12AimedWrap);
  }
  CountPatternFrame(e, 1);
  return 0;
}

// ---- type 15 ----

struct Type15Pattern {
  int32_t interval;
  const Fan* fans;  // each from gun 0, then gun 1
  int count;
};

int FireType15(EnemyObject& e, const Type15Pattern& p) {
  return RunFirePattern(e, 0, p.interval, kNoCap, kNoWrap, [&](int32_t) {
    for (int gun = 0; gun < 2; ++gun) e.gun_angle[gun] = AngleToPlayer(e.gun_x[gun], e.gun_y[gun]);
    for (int i = 0; i < p.count; ++i)
      for (int gun = 0; gun < 2; ++gun)
        FireFromGun(e, gun, p.fans[i], e.gun_angle[gun], p.fans[i].speed);
  });
}

}  // namespace

// ---- type 12 ----

int UpdateEnemyType12(EnemyObject& e) {
  PlaceEnemyGun(e, 0, -40.0, 32.0);
  PlaceEnemyGun(e, 1, 40.0, 32.0);
  PlaceEnemyGun(e, 2, -16.0, 32.0);
  PlaceEnemyGun(e, 3, 16.0, 32.0);
  int32_t& mc = MoveCounter(e);
  if (e.move_state == 0) {
    if (mc == 0) {
      e.vy = 4.0;
    } else if (e.vy <= 1.0) {
      // Braked: the frame that settles the speed does nothing more.
      e.vy = 1.0;
      e.move_state = 1;
      mc = 0;
      return 0;
    } else {
      e.vy -= 0.1;
    }
    Count(mc);
  } else if (e.move_state == 1) {
    e.vy = 1.0;
  }
  if (e.move_state == 1 && e.y < 240.0)
    FireByDifficulty(e, FireType12Heaven, FireType12Original, FireType12Hell);
  return 0;
}

int FireType12Heaven(EnemyObject& e) {
  static constexpr Fan kSide2[] = {{2, 3, 45, 1.5}};
  static constexpr Fan kSide5[] = {{2, 5, 45, 2.0}, {0, 5, 45, 1.5}};
  static constexpr Type12Pattern kP = {
      2, 2, {kSide2, 1, {9, 1, 0, 2.0}}, {kSide5, 2, {9, 2, 2, 2.2}}};
  return FireType12(e, kP);
}

int FireType12Original(EnemyObject& e) {
  static constexpr Fan kSide2[] = {{2, 4, 40, 2.0}};
  static constexpr Fan kSide5[] = {{2, 5, 40, 2.5}, {0, 5, 40, 2.0}};
  static constexpr Type12Pattern kP = {
      2, 3, {kSide2, 1, {9, 1, 0, 2.4}}, {kSide5, 2, {9, 3, 3, 2.6}}};
  return FireType12(e, kP);
}

int FireType12Hell(EnemyObject& e) {
  static constexpr Fan kSide2[] = {{2, 6, 24, 2.8}, {2, 6, 24, 3.0}};
  static constexpr Fan kSide5[] = {{2, 7, 24, 3.2}, {2, 7, 24, 3.4}, {2, 7, 24, 3.6}};
  static constexpr Type12Pattern kP = {
      3, 5, {kSide2, 2, {9, 3, 3, 2.8}}, {kSide5, 3, {9, 3, 3, 3.2}}};
  return FireType12(e, kP);
}

// ---- type 15 ----

int UpdateEnemyType15(EnemyObject& e) {
  // The aim is the drawing's; the guns use it rounded down to 14 degrees.
  int32_t g = Aim(e) / 14 * 14;
  if (g < 0) g = -g;
  PlaceEnemyGun(e, 0, CosDeg(g + 40.0) * 56.0, SinDeg(g + 40.0) * 52.0);
  PlaceEnemyGun(e, 1, CosDeg(g - 40.0) * 56.0, SinDeg(g - 40.0) * 52.0);
  // Sinks, drifting toward the player's side.
  e.vy = 2.0;
  e.vx = CosDeg(AngleToPlayerCentre(e.x, e.y));
  if (e.screen_state == 1 && e.y < 300.0)
    FireByDifficulty(e, FireType15Heaven, FireType15Original, FireType15Hell);
  return 0;
}

int FireType15Heaven(EnemyObject& e) {
  static constexpr Fan kFans[] = {{0, 3, 10, 2.7}};
  return FireType15(e, {60, kFans, 1});
}

int FireType15Original(EnemyObject& e) {
  static constexpr Fan kFans[] = {{0, 3, 10, 3.2}};
  return FireType15(e, {45, kFans, 1});
}

int FireType15Hell(EnemyObject& e) {
  static constexpr Fan kFans[] = {{0, 3, 10, 4.2}, {0, 2, 5, 3.8}};
  return FireType15(e, {35, kFans, 2});
}
