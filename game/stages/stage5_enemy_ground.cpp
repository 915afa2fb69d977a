// The ground guns of stage 5: type 30, a gun that creeps along the ground
// spinning a cross and laying rings; type 34, a twin-barrelled turret that
// holds still while it fires; and type 37, a battery that opens fire only
// after a minute on the field and then throws aimed rings.
#include <cstdint>
#include <limits>

#include "play/enemy_bullets.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "shell/menu.h"
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

int32_t& ScriptFlag(EnemyObject& e) { return e.script_states[10]; }
int32_t& Aim(EnemyObject& e) { return e.turn_angles[0]; }

// ---- type 30 ----

// Gun 0's place and the direction it creeps in, by variant.
struct Crawler {
  double gun_dx, gun_dy;
  double heading;
};
constexpr Crawler kCrawlers[] = {
    {0.0, -20.0, 0.0}, {0.0, -20.0, 180.0}, {16.0, -4.0, 140.0}, {0.0, -16.0, 320.0}};
constexpr int kCrawlerCount = static_cast<int>(sizeof kCrawlers / sizeof kCrawlers[0]);

int32_t& TurnSign(EnemyObject& e) { return e.script_words[3]; }

struct Type30Pattern {
  int32_t interval;  // both parts
  int cross_step;    // 120 or 90
  double cross_speed;
  bool cross_fans;  // a 2 x 6 fan at 4.0 after each single
  int ring_step;
  double ring_speeds[2];
  int32_t ring_turn[2];  // per cross volley, times the sign
  int rings;
};

// Cross, on gun 0's counter: singles turned 7 degrees by every cross volley
// so far (k, gun 1's shot count). Ring, on gun 10's counter, two volleys of
// every eight, turned by k the other way. Angles are summed as integers.
int FireType30(EnemyObject& e, const Type30Pattern& p) {
  const int64_t sign = TurnSign(e);
  if (PatternSlotDue(e, 0, p.interval)) {
    const int64_t k = e.gun_shots[1];
    PlayEnemyShotSound();
    for (int a = 0; a < 360; a += p.cross_step) {
      const double angle = static_cast<double>(a + 7 * k * sign);
      Fan(e, 0, 0, angle, p.cross_speed, 1.0, 0.0);
      if (p.cross_fans) Fan(e, 0, 0, angle, 4.0, 2.0, 6.0);
    }
    CountPatternShot(e, 0, 4);
    Count(e.gun_shots[1]);
  }
  CountPatternFrame(e, 0);
  if (PatternSlotDue(e, 10, p.interval)) {
    if (e.gun_shots[10] < 2) {
      const int64_t k = e.gun_shots[1];
      for (int a = 0; a < 360; a += p.ring_step)
        for (int r = 0; r < p.rings; ++r)
          Fan(e, 0, 7, static_cast<double>(a + p.ring_turn[r] * k * sign), p.ring_speeds[r], 1.0,
              0.0);
    }
    CountPatternShot(e, 10, 8);
    if (e.gun_shots[10] == 0) Count(e.gun_shots[11]);
  }
  CountPatternFrame(e, 10);
  return 0;
}

// ---- type 34 ----

struct Type34Pattern {
  int32_t cap;
  int32_t wrap;
  double count;
  double step;
  double speed;
};

// Both barrels 10 degrees off the aim, turned inward; the turret holds still
// (script flag 1) on the counts that fire and turns again on the silent ones.
int FireType34(EnemyObject& e, const Type34Pattern& p) {
  if (PatternSlotDue(e, 0, 5)) {
    if (e.gun_shots[0] < p.cap) {
      ScriptFlag(e) = 1;
      PlayEnemyShotSound();
      const double a = Aim(e);
      Fan(e, 0, 5, a + 10.0, p.speed, p.count, p.step);
      Fan(e, 1, 5, a - 10.0, p.speed, p.count, p.step);
    } else {
      ScriptFlag(e) = 0;
    }
    CountPatternShot(e, 0, p.wrap);
  }
  CountPatternFrame(e, 0);
  return 0;
}

// ---- type 37 ----

constexpr int32_t kBatteryDelay = 60;

// A ring around the player's direction from gun 0, faster with each volley
// of the burst.
int FireType37(EnemyObject& e, int32_t interval, int32_t cap, int step, double offset,
               double base) {
  return RunFirePattern(e, 0, interval, cap, 6, [&](int32_t s) {
    PlayEnemyShotSound();
    e.gun_angle[0] = AngleToPlayer(e.gun_x[0], e.gun_y[0]);
    for (int a = 0; a < 360; a += step)
      Fan(e, 0, 7, a + e.gun_angle[0] + offset, s + base, 1.0, 0.0);
  });
}

}  // namespace

// ---- type 30 ----

int UpdateEnemyType30(EnemyObject& e) {
  if (e.variant < 0 || e.variant >= kCrawlerCount) {
    // No gun and no look of its own (the drawing shows none): it only rides
    // the ground and never fires.
    e.vx = 0.0;
    FollowGroundScroll(e);
    return 0;
  }
  const Crawler& c = kCrawlers[e.variant];
  TurnSign(e) = SignOf(e.variant);
  PlaceEnemyGun(e, 0, c.gun_dx, c.gun_dy);
  SetEnemyVelocityAt(e, c.heading, 1.0);
  e.vy += GetScrollSpeed(1);
  if (e.screen_state == 1 && e.y < 300.0)
    FireByDifficulty(e, FireType30Heaven, FireType30Original, FireType30Hell);
  return 0;
}

int FireType30Heaven(EnemyObject& e) {
  static constexpr Type30Pattern kP = {9, 120, 3.0, false, 24, {2.7, 0.0}, {-4, 0}, 1};
  return FireType30(e, kP);
}
int FireType30Original(EnemyObject& e) {
  static constexpr Type30Pattern kP = {6, 90, 3.4, false, 18, {3.0, 0.0}, {-4, 0}, 1};
  return FireType30(e, kP);
}
int FireType30Hell(EnemyObject& e) {
  static constexpr Type30Pattern kP = {5, 90, 3.4, true, 15, {3.5, 3.8}, {-3, 3}, 2};
  return FireType30(e, kP);
}

// ---- type 34 ----

int UpdateEnemyType34(EnemyObject& e) {
  int32_t& a = Aim(e);
  // The barrels, from the aim the previous frame left.
  const double py = e.y - 8.0;
  for (int gun = 0; gun < 2; ++gun) {
    const double b = a + (gun == 0 ? -40.0 : 40.0);
    e.gun_x[gun] = e.x + 56.0 * CosDeg(b);
    e.gun_y[gun] = py + 56.0 * SinDeg(b);
  }
  if (e.move_state == 0) {
    a = 90;
    e.move_state = 1;
  }
  if (ScriptFlag(e) == 0) a = TurnWholeAngle(a, AngleToPlayer(e.x, e.y), 3.0);
  if (e.screen_state == 1 && e.y < 360.0)
    FireByDifficulty(e, FireType34Heaven, FireType34Original, FireType34Hell);
  FollowGroundScroll(e);
  return 0;
}

int FireType34Heaven(EnemyObject& e) { return FireType34(e, Type34Pattern{2, 15, 5.0, 27.0, 2.5}); }
int FireType34Original(EnemyObject& e) {
  return FireType34(e, Type34Pattern{3, 10, 5.0, 20.0, 3.4});
}
int FireType34Hell(EnemyObject& e) { return FireType34(e, Type34Pattern{3, 10, 7.0, 16.0, 3.8}); }

// ---- type 37 ----

int UpdateEnemyType37(EnemyObject& e) {
  PlaceEnemyGun(e, 0, 0.0, -72.0);
  // The delay counts the frames its gate has been open, tested before it
  // rises: the first volley leaves on the 62nd such frame.
  int32_t& delay = e.state_timer;
  if (e.screen_state == 1 && e.y < 300.0) {
    if (delay > kBatteryDelay)
      FireByDifficulty(e, FireType37Heaven, FireType37Original, FireType37Hell);
    Count(delay);
  }
  FollowGroundScroll(e);
  return 0;
}

int FireType37Heaven(EnemyObject& e) { return FireType37(e, 18, 4, 18, 6.0, 2.0); }
int FireType37Original(EnemyObject& e) { return FireType37(e, 18, 5, 12, 6.0, 3.0); }
int FireType37Hell(EnemyObject& e) { return FireType37(e, 8, 5, 10, 10.0, 3.2); }
