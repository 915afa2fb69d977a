// The flying enemies of stage 4: type 21, the dart that spawner 303 sends in
// pairs; type 22, a craft that brakes in and sways under three aimed guns;
// type 26, the large craft with closing scissor pairs and a dropping centre
// gun; and type 35, which crosses in from one side, loops and leaves the
// other way.
#include <cstdint>
#include <cstring>
#include <limits>

#include "play/enemy_bullets.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage4_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

// Every shot of these types is a fan; a single bullet is a fan of 1.
void Fan(const EnemyObject& e, int gun, int bullet, double angle, double speed, double count,
         double step) {
  FireBulletFan(e.gun_x[gun], e.gun_y[gun], bullet, angle, speed, count, step, Owner(e));
}

// Frame counters stop at the top of the range instead of overflowing.
void Count(int32_t& n) {
  if (n < std::numeric_limits<int32_t>::max()) n += 1;
}

int32_t Mod2(int32_t n) { return n % 2 == 0 ? 0 : 1; }

// ---- type 21 ----

int32_t& Course(EnemyObject& e) { return e.turn_angles[0]; }
int32_t& Age(EnemyObject& e) { return e.script_counters[11]; }

// The start delay: the double in the first two spawn argument words, low
// word first.
double StartDelay(const EnemyObject& e) {
  const uint64_t bits = (uint64_t{e.args[1]} << 32) | e.args[0];
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// The hook: the start course for 40 frames, then `step` a frame until the
// course is past `limit` (above it when turning up, below when down).
struct DartCourse {
  int32_t start;
  int32_t step;
  int32_t limit;
};
constexpr DartCourse kDartCourses[] = {
    {0, 7, 200}, {150, 7, 380}, {200, -7, -20}, {-20, 7, 200}, {180, -7, -20},
};
constexpr int kDartCourseCount = static_cast<int>(sizeof kDartCourses / sizeof kDartCourses[0]);
constexpr int32_t kDartFirstLeg = 40;

void SteerDart(EnemyObject& e) {
  // Another variant keeps its course (0 from the spawn) and flies right.
  if (e.variant < 0 || e.variant >= kDartCourseCount) return;
  const DartCourse& c = kDartCourses[e.variant];
  int32_t& course = Course(e);
  int32_t& leg = e.script_counters[0];
  switch (e.move_state) {
    case 0:
      course = c.start;
      Count(leg);
      if (leg >= kDartFirstLeg) {
        e.move_state = 1;
        leg = 0;
      }
      break;
    case 1:
      course += c.step;
      if (c.step > 0 ? course > c.limit : course < c.limit) e.move_state = 2;
      break;
    default:
      break;
  }
}

double DartAim(const EnemyObject& e) { return AngleToPlayerInSteps(e.gun_x[0], e.gun_y[0], 5); }

// Bullets on one line from gun 0, one per speed.
int FireType21(EnemyObject& e, int32_t cap, int32_t wrap, const double* speeds, int n) {
  return RunFirePattern(e, 0, 8, cap, wrap, [&](int32_t) {
    e.gun_angle[0] = DartAim(e);
    for (int i = 0; i < n; ++i) Fan(e, 0, 0, e.gun_angle[0], speeds[i], 1.0, 0.0);
  });
}

// ---- type 22 ----

// Gun 0's speed rises with the shot count (before its increment); guns 1
// and 2 keep one speed.
struct Type22Pattern {
  int32_t interval;
  int32_t cap;
  double count;
  double steps[3];
  double centre_base;
  double centre_per_shot;
  double side_speed;
};
constexpr int32_t kType22Wrap = 12;

int FireType22(EnemyObject& e, const Type22Pattern& p) {
  return RunFirePattern(e, 0, p.interval, p.cap, kType22Wrap, [&](int32_t shots) {
    PlayEnemyShotSound();
    for (int gun = 0; gun < 3; ++gun) {
      const double a = AimAtFirstVolley(e, gun, shots);
      const double speed = gun == 0 ? shots * p.centre_per_shot + p.centre_base : p.side_speed;
      Fan(e, gun, 3, a, speed, p.count, p.steps[gun]);
    }
  });
}

// ---- type 26 ----

constexpr int32_t kScissorVolleys = 9;
constexpr double kScissorSingleSpeed = 3.0;

struct DropFan {
  double angle;
  double step;
};

struct Type26Pattern {
  int32_t scissor_interval;
  double scissor_count;
  double scissor_speed;
  int32_t drop_cap;
  int32_t drop_wrap;
  double drop_speed;
  int drop_fans;
  DropFan drops[2];
};

// Scissors on gun 0's counter: pairs from guns 1 and 2 closing in by 20
// degrees a volley along the angles taken at k = 0, then after the ninth a
// single bullet from each straight at the aimed point. Drop on gun 1's
// counter: short fans from gun 0 downward.
int FireType26(EnemyObject& e, const Type26Pattern& p) {
  if (PatternSlotDue(e, 0, p.scissor_interval)) {
    PlayEnemyShotSound();
    int32_t& k = e.gun_shots[0];
    if (k == 0) {
      e.gun_angle[1] = AngleToPlayer(e.gun_x[1], e.gun_y[1]);
      e.gun_angle[2] = AngleToPlayer(e.gun_x[2], e.gun_y[2]);
    }
    const double inner = 180.0 - 20.0 * k;
    const double outer = 220.0 - 20.0 * k;
    Fan(e, 1, 8, e.gun_angle[1], p.scissor_speed, p.scissor_count, inner);
    Fan(e, 2, 8, e.gun_angle[2], p.scissor_speed, p.scissor_count, inner);
    Fan(e, 1, 8, e.gun_angle[1], p.scissor_speed, p.scissor_count, outer);
    Fan(e, 2, 8, e.gun_angle[2], p.scissor_speed, p.scissor_count, outer);
    Count(k);
    if (k >= kScissorVolleys) {
      Fan(e, 1, 8, e.gun_angle[1], kScissorSingleSpeed, 1.0, 0.0);
      Fan(e, 2, 8, e.gun_angle[2], kScissorSingleSpeed, 1.0, 0.0);
      k = 0;
    }
  }
  CountPatternFrame(e, 0);
  return RunFirePattern(e, 1, 10, p.drop_cap, p.drop_wrap, [&](int32_t) {
    for (int i = 0; i < p.drop_fans; ++i)
      Fan(e, 0, 1, p.drops[i].angle, p.drop_speed, 3.0, p.drops[i].step);
  });
}

// ---- type 35 ----

struct Shot {
  double count;
  double step;
  double speed;
};

constexpr int32_t kAimedWrap = 7;

struct Type35Pattern {
  int32_t aimed_cap;
  Shot aimed;
  int fan_count;
  Shot fans[3];
};

// Aimed: bursts on gun 0's counter from gun 0 or 1 (gun 1's shot count
// picks it, and rises after each burst), along the angle taken at the
// burst's first volley. Fans: on gun 10's counter from gun 2 or 3 in turn,
// aimed afresh each volley.
int FireType35(EnemyObject& e, const Type35Pattern& p) {
  if (PatternSlotDue(e, 0, 5)) {
    const int32_t k = e.gun_shots[0];
    const int g = Mod2(e.gun_shots[1]);
    if (k == 0) e.gun_angle[0] = AngleToPlayer(e.gun_x[g], e.gun_y[g]);
    if (k < p.aimed_cap) Fan(e, g, 1, e.gun_angle[0], p.aimed.speed, p.aimed.count, p.aimed.step);
    CountPatternShot(e, 0, kAimedWrap);
    if (e.gun_shots[0] == 0) Count(e.gun_shots[1]);
  }
  CountPatternFrame(e, 0);
  if (PatternSlotDue(e, 10, 30)) {
    PlayEnemyShotSound();
    const int gun = 2 + Mod2(e.gun_shots[10]);
    e.gun_angle[10] = AngleToPlayer(e.gun_x[gun], e.gun_y[gun]);
    for (int i = 0; i < p.fan_count; ++i)
      Fan(e, gun, 5, e.gun_angle[10], p.fans[i].speed, p.fans[i].count, p.fans[i].step);
    CountPatternShot(e, 10, kNoWrap);
  }
  CountPatternFrame(e, 10);
  return 0;
}

}  // namespace

// ---- type 21 ----

int UpdateEnemyType21(EnemyObject& e) {
  TestEnemyCloseRange(e, 56.0, true);
  SteerDart(e);
  PlaceEnemyGun(e, 0, 0.0, 0.0);
  // The age counts from the spawn, so a dart whose delay ran out before it
  // reached the field fires on its first frame there.
  if (e.screen_state == 1 && static_cast<double>(Age(e)) >= StartDelay(e) && e.no_revenge == 0)
    FireByDifficulty(e, FireType21Heaven, FireType21Original, FireType21Hell);
  const int32_t course = Course(e);
  e.turn_angles[1] = TruncToInt(WrapAngleInt(course));  // the drawing's picture
  SetEnemyVelocityAt(e, course, 8.0);
  Count(Age(e));
  return 0;
}

int FireType21Heaven(EnemyObject& e) {
  static constexpr double kSpeeds[] = {3.0};
  return FireType21(e, 1, 20, kSpeeds, 1);
}
int FireType21Original(EnemyObject& e) {
  static constexpr double kSpeeds[] = {4.0};
  return FireType21(e, 2, 20, kSpeeds, 1);
}
int FireType21Hell(EnemyObject& e) {
  static constexpr double kSpeeds[] = {4.0, 5.2};
  return FireType21(e, 2, 12, kSpeeds, 2);
}

int FireType21RevengeBurst(EnemyObject& e) {
  Fan(e, 0, 1, DartAim(e), 4.0, 1.0, 0.0);
  return 0;
}

// ---- type 22 ----

int UpdateEnemyType22(EnemyObject& e) {
  PlaceEnemyGun(e, 0, 0.0, 0.0);
  PlaceEnemyGun(e, 1, -32.0, -24.0);
  PlaceEnemyGun(e, 2, 32.0, -24.0);
  switch (e.move_state) {
    case 0:
      e.vy = 5.0;
      e.move_state = 1;
      break;
    case 1:
      if (e.vy <= 0.6) {
        e.vy = 0.6;
        e.move_state = 2;
      } else {
        e.vy -= 0.1;
      }
      break;
    case 2: {
      int32_t& c = e.script_counters[0];
      e.vx = 0.4 * CosDeg(c);
      Count(c);
      if (e.screen_state == 1 && e.y < 300.0)
        FireByDifficulty(e, FireType22Heaven, FireType22Original, FireType22Hell);
      break;
    }
    default:
      break;
  }
  return 0;
}

int FireType22Heaven(EnemyObject& e) {
  static constexpr Type22Pattern kP = {5, 2, 3.0, {30.0, 46.0, 46.0}, 3.4, 0.5, 3.4};
  return FireType22(e, kP);
}
int FireType22Original(EnemyObject& e) {
  static constexpr Type22Pattern kP = {5, 3, 3.0, {24.0, 43.0, 43.0}, 3.4, 0.5, 3.4};
  return FireType22(e, kP);
}
int FireType22Hell(EnemyObject& e) {
  static constexpr Type22Pattern kP = {4, 4, 7.0, {15.0, 24.0, 25.0}, 4.0, 0.8, 5.3};
  return FireType22(e, kP);
}

// ---- type 26 ----

int UpdateEnemyType26(EnemyObject& e) {
  PlaceEnemyGun(e, 0, 0.0, 0.0);
  PlaceEnemyGun(e, 1, -48.0, -72.0);
  PlaceEnemyGun(e, 2, 48.0, -72.0);
  switch (e.move_state) {
    case 0:
      e.vy = 4.5;
      e.move_state = 1;
      break;
    case 1:
      if (e.vy <= 0.4) {
        e.vy = 0.4;
        e.move_state = 2;
      } else {
        e.vy -= 0.03;
      }
      break;
    case 2: {
      // No screen-state gate: it fires while still entering.
      if (e.y < 300.0) FireByDifficulty(e, FireType26Heaven, FireType26Original, FireType26Hell);
      int32_t& c = e.script_counters[0];
      e.vx = 0.2 * CosDeg(c);
      Count(c);
      break;
    }
    default:
      break;
  }
  return 0;
}

int FireType26Heaven(EnemyObject& e) {
  static constexpr Type26Pattern kP = {9, 2.0, 2.5, 3, 10, 3.0, 1, {{90.0, 10.0}, {}}};
  return FireType26(e, kP);
}
int FireType26Original(EnemyObject& e) {
  static constexpr Type26Pattern kP = {6, 2.0, 3.0, 5, 8, 3.4, 1, {{90.0, 10.0}, {}}};
  return FireType26(e, kP);
}
int FireType26Hell(EnemyObject& e) {
  static constexpr Type26Pattern kP = {5, 4.0, 3.4, 5, 8, 3.4, 2, {{88.0, 15.0}, {92.0, 15.0}}};
  return FireType26(e, kP);
}

// ---- type 35 ----

int UpdateEnemyType35(EnemyObject& e) {
  PlaceEnemyGun(e, 0, -24.0, 12.0);
  PlaceEnemyGun(e, 1, 24.0, 12.0);
  PlaceEnemyGun(e, 2, -64.0, -24.0);
  PlaceEnemyGun(e, 3, 64.0, -24.0);
  // Variant 0 comes in from the left, 1 from the right; another variant
  // sets no sideways speed of its own (the loop's sway still runs).
  const double side = e.variant == 0 ? 1.0 : e.variant == 1 ? -1.0 : 0.0;
  switch (e.move_state) {
    case 0:
      if (side != 0.0) e.vx = 2.0 * side;
      e.vy = -0.3;
      e.move_state = 1;
      break;
    case 1: {
      int32_t& n = e.script_counters[1];
      Count(n);
      if (n >= 110) {
        e.vx = 0.0;
        e.move_state = 2;
      }
      break;
    }
    case 2: {
      int32_t& c = e.script_counters[2];
      e.vx = 0.3 * CosDeg(e.variant == 1 ? -c : c);
      e.vy = 0.2 * SinDeg(c / 2);
      Count(c);
      if (c >= 360) e.move_state = 3;
      break;
    }
    case 3:
      if (side != 0.0) e.vx = -side;
      break;
    default:
      break;
  }
  if (e.screen_state == 1) FireByDifficulty(e, FireType35Heaven, FireType35Original, FireType35Hell);
  return 0;
}

int FireType35Heaven(EnemyObject& e) {
  static constexpr Type35Pattern kP = {3, {1.0, 0.0, 3.0}, 2, {{5.0, 13.0, 3.0}, {3.0, 9.0, 2.7}}};
  return FireType35(e, kP);
}
int FireType35Original(EnemyObject& e) {
  static constexpr Type35Pattern kP = {5, {1.0, 0.0, 3.4}, 2, {{7.0, 11.0, 3.5}, {5.0, 7.0, 3.2}}};
  return FireType35(e, kP);
}
int FireType35Hell(EnemyObject& e) {
  static constexpr Type35Pattern kP = {
      5, {3.0, 2.0, 4.5}, 3, {{9.0, 11.0, 3.8}, {7.0, 9.0, 3.5}, {5.0, 2.0, 3.2}}};
  return FireType35(e, kP);
}
