// The mid-sized craft: type 1 (twin guns under a turret the drawing turns),
// type 4 (down guns and a turret burst) and type 8 (the side-entering
// gunship whose gun 2 fire depends on the stage).
#include <cstddef>

#include "play/enemy_bullets.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage1_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

int32_t& MoveCounter(EnemyObject& e) { return e.script_counters[0]; }
int32_t& SecondCounter(EnemyObject& e) { return e.script_counters[1]; }
int32_t& ThirdCounter(EnemyObject& e) { return e.script_counters[2]; }
int32_t& Aim(EnemyObject& e) { return e.turn_angles[0]; }

// ---- type 1 ----

// Both guns fire along gun 2's angle, the turret heading of this frame.
int FireType1(EnemyObject& e, int32_t cap, int32_t wrap, double count, double step, double speed) {
  return RunFirePattern(e, 0, 8, cap, wrap, [&](int32_t) {
    for (int gun = 0; gun < 2; ++gun)
      FireBulletFan(e.gun_x[gun], e.gun_y[gun], 2, e.gun_angle[2], speed, count, step, Owner(e));
  });
}

// ---- type 4 ----

// Down shots (bullet type 1, angle 90) from guns 0 and 1; count 0 is a
// single bullet.
struct DownShot {
  int gun;
  double count;
  double step;
};

// One fan of the turret burst from gun 2, per k: at the turret angle plus
// `offset`, speed k / 5 + base.
struct BurstFan {
  double offset;
  double count;
  double step;
  double base;
};

struct Type4Pattern {
  int32_t cap;  // down shots leave while the shot count is below it
  double down_speed;
  const DownShot* down;
  int down_count;
  double k_bound;  // k = 0, 1, ... while below it
  const BurstFan* burst;
  int burst_count;
};

constexpr int32_t kType4Wrap = 12;
constexpr int32_t kType4BurstShot = 8;

int FireType4(EnemyObject& e, const Type4Pattern& p) {
  if (PatternSlotDue(e, 0, 8)) {
    const int32_t shots = e.gun_shots[0];
    if (shots < p.cap) {
      for (int i = 0; i < p.down_count; ++i) {
        const DownShot& d = p.down[i];
        if (d.count == 0.0)
          FireEnemyBullet(e.gun_x[d.gun], e.gun_y[d.gun], 1, 90.0, p.down_speed, Owner(e));
        else
          FireBulletFan(e.gun_x[d.gun], e.gun_y[d.gun], 1, 90.0, p.down_speed, d.count, d.step,
                        Owner(e));
      }
    }
    if (shots == kType4BurstShot) {
      e.gun_angle[0] = AngleToPlayer(e.gun_x[2], e.gun_y[2]);
      for (double k = 0.0; k < p.k_bound; k += 1.0) {
        for (int i = 0; i < p.burst_count; ++i) {
          const BurstFan& f = p.burst[i];
          FireBulletFan(e.gun_x[2], e.gun_y[2], 2, e.gun_angle[0] + f.offset, k / 5.0 + f.base,
                        f.count, f.step, Owner(e));
        }
      }
    }
    CountPatternShot(e, 0, kType4Wrap);
  }
  CountPatternFrame(e, 0);
  return 0;
}

constexpr DownShot kSingles[] = {{0, 0, 0}, {1, 0, 0}};
constexpr DownShot kFans3x16[] = {{0, 3, 16}, {1, 3, 16}};
constexpr DownShot kFans2x6[] = {{0, 2, 6}, {1, 2, 6}};
constexpr DownShot kFans2x6And2x32[] = {{0, 2, 6}, {1, 2, 6}, {0, 2, 32}, {1, 2, 32}};

constexpr BurstFan kBurstV0Heaven[] = {{0, 3, 40, 3.0}, {0, 2, 40, 2.6}};
constexpr BurstFan kBurstV0Original[] = {{0, 5, 36, 3.0}, {0, 4, 36, 2.6}};
constexpr BurstFan kBurstV0Hell[] = {{-3, 5, 36, 3.0}, {-3, 4, 36, 2.6}, {0, 5, 36, 3.4},
                                     {0, 4, 36, 3.0},  {3, 5, 36, 3.0},  {3, 4, 36, 2.6}};
constexpr BurstFan kBurstV1Heaven[] = {{0, 5, 35, 3.4}, {0, 4, 35, 3.0}};
constexpr BurstFan kBurstV1Original[] = {{0, 7, 30, 3.4}, {0, 6, 30, 3.0}};
constexpr BurstFan kBurstV1Hell[] = {{-3, 5, 30, 3.0}, {-3, 4, 30, 2.6}, {0, 5, 30, 3.4},
                                     {0, 4, 30, 3.0},  {3, 5, 30, 3.0},  {3, 4, 30, 2.6}};

template <std::size_t D, std::size_t B>
constexpr Type4Pattern Pattern(int32_t cap, double down_speed, const DownShot (&down)[D],
                               double k_bound, const BurstFan (&burst)[B]) {
  return {cap, down_speed, down, static_cast<int>(D), k_bound, burst, static_cast<int>(B)};
}

// ---- type 8 ----

struct Type8Fan {
  double count;
  double step;
  double speed;
};

// Guns 0 and 1 fire `side` (then `side_extra` on stage 4, when given) at the
// player; gun 2 fires `top` fans.
struct Type8Volley {
  const Type8Fan* side;
  int side_count;
  const Type8Fan* top;
  int top_count;
};

int FireType8(EnemyObject& e, int32_t interval, const Type8Volley& v) {
  return RunFirePattern(e, 0, interval, kNoCap, kNoWrap, [&](int32_t) {
    PlayEnemyShotSound();
    for (int gun = 0; gun < 2; ++gun) {
      e.gun_angle[gun] = AngleToPlayer(e.gun_x[gun], e.gun_y[gun]);
      for (int i = 0; i < v.side_count; ++i)
        FireBulletFan(e.gun_x[gun], e.gun_y[gun], 5, e.gun_angle[gun], v.side[i].speed,
                      v.side[i].count, v.side[i].step, Owner(e));
    }
    e.gun_angle[2] = AngleToPlayer(e.gun_x[2], e.gun_y[2]);
    for (int i = 0; i < v.top_count; ++i)
      FireBulletFan(e.gun_x[2], e.gun_y[2], 7, e.gun_angle[2], v.top[i].speed, v.top[i].count,
                    v.top[i].step, Owner(e));
  });
}

int FireType8ByStage(EnemyObject& e, int32_t interval, const Type8Fan& side,
                     const Type8Fan& side_extra, const Type8Fan& top1, const Type8Fan (&top4)[2]) {
  const int s = StageIndex();
  const Type8Fan sides[] = {side, side_extra};
  Type8Volley v{sides, s == 3 ? 2 : 1, nullptr, 0};
  if (s == 0) {
    v.top = &top1;
    v.top_count = 1;
  } else if (s == 3) {
    v.top = top4;
    v.top_count = 2;
  }
  return FireType8(e, interval, v);
}

}  // namespace

// ---- type 1 ----

int UpdateEnemyType1(EnemyObject& e) {
  // The aim is the drawing's; the guns use it rounded down to 14 degrees.
  const int32_t g = Aim(e) / 14 * 14;
  e.gun_angle[2] = g < 0 ? -g : g;
  const double a = e.gun_angle[2];
  PlaceEnemyGun(e, 0, CosDeg(a + 40.0) * 56.0, SinDeg(a + 40.0) * 52.0);
  PlaceEnemyGun(e, 1, CosDeg(a - 40.0) * 56.0, SinDeg(a - 40.0) * 52.0);
  int32_t& mc = MoveCounter(e);
  switch (e.move_state) {
    case 0:
      e.vy = 6.0;
      e.move_state = 1;
      break;
    case 1:
      e.vy -= 0.1;
      if (e.vy <= 0.0) {
        e.vy = 0.0;
        e.move_state = 2;
      }
      break;
    case 2:
      mc += 1;
      if (mc > 120) {
        e.move_state = 3;
        mc = 0;
      }
      break;
    case 3:
      e.vy = -1.0;
      break;
    default:
      break;
  }
  if (e.move_state == 2 || e.move_state == 3)
    FireByDifficulty(e, FireType1Heaven, FireType1Original, FireType1Hell);
  return 0;
}

int FireType1Heaven(EnemyObject& e) { return FireType1(e, 3, 10, 1.0, 0.0, 2.0); }
int FireType1Original(EnemyObject& e) { return FireType1(e, 5, 10, 1.0, 0.0, 3.0); }
int FireType1Hell(EnemyObject& e) { return FireType1(e, 5, 8, 3.0, 24.0, 4.3); }

// ---- type 4 ----

int UpdateEnemyType4(EnemyObject& e) {
  PlaceEnemyGun(e, 0, -54.0, 72.0);
  PlaceEnemyGun(e, 1, 54.0, 72.0);
  // The turret angle is the drawing's, toward the player's centre.
  PlaceEnemyGunOnCircle(e, 2, 56.0, 56.0, Aim(e));
  int32_t& mc = MoveCounter(e);
  if (e.move_state == 0) {
    if (mc == 0) e.vy = 4.0;
    e.vy -= 0.05;
    // Counted so that the speed set on the first frame is not set again:
    // the craft brakes to 0.5 and then fires.
    mc += 1;
    if (e.vy <= 0.5) {
      e.vy = 0.5;
      e.move_state = 1;
    }
  } else if (e.move_state == 1) {
    e.vy = 0.5;
  }
  if (e.screen_state == 1 && e.move_state == 1) {
    if (e.variant == 0)
      FireByDifficulty(e, FireType4Variant0Heaven, FireType4Variant0Original,
                       FireType4Variant0Hell);
    else if (e.variant == 1)
      FireByDifficulty(e, FireType4Variant1Heaven, FireType4Variant1Original,
                       FireType4Variant1Hell);
    // Other variants have no pattern and hold their fire.
  }
  return 0;
}

int FireType4Variant0Heaven(EnemyObject& e) {
  static constexpr Type4Pattern kP = Pattern(3, 2.6, kSingles, 3.0, kBurstV0Heaven);
  return FireType4(e, kP);
}
int FireType4Variant0Original(EnemyObject& e) {
  static constexpr Type4Pattern kP = Pattern(5, 3.0, kSingles, 3.0, kBurstV0Original);
  return FireType4(e, kP);
}
int FireType4Variant0Hell(EnemyObject& e) {
  static constexpr Type4Pattern kP = Pattern(5, 3.5, kFans3x16, 4.0, kBurstV0Hell);
  return FireType4(e, kP);
}
int FireType4Variant1Heaven(EnemyObject& e) {
  static constexpr Type4Pattern kP = Pattern(3, 3.0, kFans2x6, 3.0, kBurstV1Heaven);
  return FireType4(e, kP);
}
int FireType4Variant1Original(EnemyObject& e) {
  static constexpr Type4Pattern kP = Pattern(5, 3.5, kFans2x6, 3.0, kBurstV1Original);
  return FireType4(e, kP);
}
int FireType4Variant1Hell(EnemyObject& e) {
  static constexpr Type4Pattern kP = Pattern(5, 3.5, kFans2x6And2x32, 5.0, kBurstV1Hell);
  return FireType4(e, kP);
}

// ---- type 8 ----

int UpdateEnemyType8(EnemyObject& e) {
  // Variant 1 enters from the right; any other variant as variant 0.
  const double side = e.variant == 1 ? -1.0 : 1.0;
  Aim(e) = TurnWholeAngle(Aim(e), AngleToPlayer(e.x, e.y), 2.0);
  PlaceEnemyGun(e, 0, -48.0, 64.0);
  PlaceEnemyGun(e, 1, 48.0, 64.0);
  PlaceEnemyGunOnCircle(e, 2, 40.0, 40.0, Aim(e));
  switch (e.move_state) {
    case 0:
      Aim(e) = TruncToInt(AngleToPlayer(e.x, e.y));
      e.vx = 2.0 * side;
      e.move_state = 1;
      break;
    case 1:
      SecondCounter(e) += 1;
      if (SecondCounter(e) >= 120) {
        e.vx = 0.0;
        e.move_state = 2;
      }
      break;
    case 2: {
      int32_t& k = ThirdCounter(e);
      e.vx = CosDeg(side * k) * 0.3;
      e.vy = SinDeg(k / 2) * 0.2;
      k += 1;
      if (k >= 360) e.move_state = 3;
      break;
    }
    case 3:
      e.vx = -1.0 * side;
      break;
    default:
      break;
  }
  if (e.move_state == 2 && e.screen_state == 1)
    FireByDifficulty(e, FireType8Heaven, FireType8Original, FireType8Hell);
  return 0;
}

int FireType8Heaven(EnemyObject& e) {
  static constexpr Type8Fan kTop1 = {5, 32, 2.6};
  static constexpr Type8Fan kTop4[2] = {{11, 25, 2.0}, {11, 25, 2.2}};
  return FireType8ByStage(e, 70 - 5 * StageIndex(), {3, 3, 2.5}, {4, 3, 3.0}, kTop1, kTop4);
}

int FireType8Original(EnemyObject& e) {
  static constexpr Type8Fan kTop1 = {7, 24, 2.6};
  static constexpr Type8Fan kTop4[2] = {{13, 15, 2.6}, {13, 15, 2.8}};
  return FireType8ByStage(e, 60 - 5 * StageIndex(), {3, 4, 3.0}, {5, 4, 3.5}, kTop1, kTop4);
}

int FireType8Hell(EnemyObject& e) {
  // The same volley on every stage.
  static constexpr Type8Fan kSide[] = {{3, 4, 3.0}, {5, 4, 3.5}};
  static constexpr Type8Fan kTop[] = {{13, 15, 2.6}, {13, 15, 2.8}};
  return FireType8(e, 50, {kSide, 2, kTop, 2});
}
