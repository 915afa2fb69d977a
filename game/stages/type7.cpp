// Type 7: a small craft that flies one of 24 paths (chosen by its variant)
// while a turret on a 16-pixel arm swings toward the player and fires single
// bullets. Body, turret and course are whole-degree words: the drawing picks
// its pictures from the first two.
#include "stages/type7.h"

#include <cstdint>
#include <limits>

#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"

namespace {

int32_t& BodyAngle(EnemyObject& e) { return e.turn_angles[0]; }
int32_t& TurretAngle(EnemyObject& e) { return e.turn_angles[1]; }
int32_t& Course(EnemyObject& e) { return e.turn_angles[2]; }

// Frame counters stop at the top of the range instead of overflowing; no
// craft lives anywhere near that long.
void Count(int32_t& n) {
  if (n < std::numeric_limits<int32_t>::max()) n += 1;
}

// One leg turns the course toward `target` by `step` degrees on the frames
// whose leg counter is above `after` (-1: from the first frame) and a
// multiple of `every`. A leg that does not count leaves the counter alone.
struct Leg {
  int after;
  int target;
  int every;
  int step;
  bool counts;
};

constexpr Leg After(int after, int target) { return {after, target, 1, 1, true}; }

enum class Flight {
  kSteered,      // course set on the first frame, then the legs; velocity every frame
  kHoldAfter,    // flies `frames` frames (counted in counter 1), then hangs for good
  kStopAfter,    // flight velocity while counter 0 is below `frames`, then zero
  kSecondFrame,  // the first frame only sets the course
  kFixedAngle,   // velocity from the fixed angle `start` every frame; course untouched
};

struct Path {
  int start;
  double speed;
  Flight flight;
  int frames;
  int hold_body;
  int leg_count;
  Leg legs[4];
};

constexpr Path Straight(int start, double speed = 1.2) {
  return {start, speed, Flight::kSteered, 0, 0, 0, {}};
}
constexpr Path Hold(int start, double speed, int frames, int body) {
  return {start, speed, Flight::kHoldAfter, frames, body, 0, {}};
}
constexpr Path Stop(int start, int frames) { return {start, 1.2, Flight::kStopAfter, frames, 0, 0, {}}; }
constexpr Path Late(int start) { return {start, 1.2, Flight::kSecondFrame, 0, 0, 0, {}}; }
constexpr Path Fixed(int angle) { return {angle, 1.0, Flight::kFixedAngle, 0, 0, 0, {}}; }
constexpr Path Curve(int start, double speed, Leg a, Leg b) {
  return {start, speed, Flight::kSteered, 0, 0, 2, {a, b, {}, {}}};
}
constexpr Path Curve(int start, double speed, Leg a, Leg b, Leg c) {
  return {start, speed, Flight::kSteered, 0, 0, 3, {a, b, c, {}}};
}
constexpr Path Curve(int start, double speed, Leg a, Leg b, Leg c, Leg d) {
  return {start, speed, Flight::kSteered, 0, 0, 4, {a, b, c, d}};
}

constexpr Path kPaths[] = {
    /* 0 */ Straight(340),
    /* 1 */ Hold(180, 1.2, 125, 180),
    /* 2 */ Hold(0, 1.2, 180, 0),
    /* 3 */ Straight(20),
    /* 4 */ Straight(160),
    /* 5 */ Stop(0, 130),
    /* 6 */ Late(200),
    /* 7 */ Late(160),
    /* 8 */ Curve(0, 1.2, {-1, 270, 3, 1, true}, After(80, 180)),
    /* 9 */ Late(90),
    /* 10 */ Hold(180, 1.6, 140, 180),
    /* 11 */ Curve(0, 1.2, {-1, 50, 2, 1, true}, {-1, 0, 1, 1, false}, After(80, 315),
                   After(20, 0)),
    /* 12 */ Curve(180, 1.2, {-1, 260, 2, 2, true}, After(80, 180), After(120, 115),
                   After(40, 180)),
    /* 13 */ Curve(180, 1.0, After(120, 250), After(180, 180)),
    /* 14 */ Curve(180, 1.0, After(160, 250), After(170, 180)),
    /* 15 */ Stop(180, 300),
    /* 16 */ Stop(0, 300),
    /* 17 */ Curve(0, 1.0, After(60, 340), After(100, 40)),
    /* 18 */ Curve(220, 1.0, After(150, 270), After(160, 330)),
    /* 19 */ Curve(0, 1.0, After(100, 315), After(120, 270), After(120, 0)),
    /* 20 */ Fixed(0),
    /* 21 */ Fixed(180),
    /* 22 */ Fixed(140),
    /* 23 */ Curve(180, 1.0, After(100, 135), After(50, 180)),
};
constexpr int kPathCount = static_cast<int>(sizeof kPaths / sizeof kPaths[0]);
static_assert(kPathCount == 24);

void RunLegs(EnemyObject& e, const Path& p) {
  int32_t& counter = e.script_counters[0];
  int32_t& course = Course(e);
  int leg_index = e.move_state - 1;
  if (leg_index < 0) leg_index = 0;
  if (leg_index >= p.leg_count) leg_index = p.leg_count - 1;
  const Leg& leg = p.legs[leg_index];
  if (counter > leg.after && counter % leg.every == 0)
    course = TurnWholeAngle(course, leg.target, leg.step);
  if (leg.counts) Count(counter);
  // The last leg has no successor: its course simply stays at the target.
  if (course == leg.target && leg_index + 1 < p.leg_count) {
    e.move_state += 1;
    counter = 0;
  }
}

// Sets the course, the velocity and the body angle for one frame.
void RunPath(EnemyObject& e, const Path& p) {
  int32_t& course = Course(e);
  switch (p.flight) {
    case Flight::kSteered:
      if (e.move_state == 0) {
        course = p.start;
        e.move_state = 1;
      }
      if (p.leg_count > 0) RunLegs(e, p);
      SetEnemyVelocityAt(e, course, p.speed);
      break;
    case Flight::kHoldAfter: {
      if (e.move_state != 0) {
        e.vx = 0.0;
        e.vy = 0.0;
        BodyAngle(e) = p.hold_body;
        return;
      }
      course = p.start;
      SetEnemyVelocityAt(e, course, p.speed);
      int32_t& frames = e.script_counters[1];
      Count(frames);
      if (frames == p.frames) e.move_state = 1;
      break;
    }
    case Flight::kStopAfter: {
      if (e.move_state == 0) {
        course = p.start;
        e.move_state = 1;
      }
      int32_t& counter = e.script_counters[0];
      if (counter < p.frames) {
        SetEnemyVelocityAt(e, course, p.speed);
      } else {
        e.vx = 0.0;
        e.vy = 0.0;
      }
      Count(counter);
      break;
    }
    case Flight::kSecondFrame:
      if (e.move_state == 0) {
        course = p.start;
        e.move_state = 1;
      } else {
        SetEnemyVelocityAt(e, course, p.speed);
      }
      break;
    case Flight::kFixedAngle:
      SetEnemyVelocityAt(e, p.start, p.speed);
      break;
  }
  BodyAngle(e) = TruncToInt(VectorAngle(e.vx, e.vy));
}

// Cycle: two shots one interval apart, then silent counts until the shot
// count wraps. The counter runs only on frames the fire gate is open.
int FirePattern(EnemyObject& e, int interval, int wrap, double speed) {
  return RunFirePattern(e, 0, interval, 2, wrap, [&e, speed](int32_t) {
    FireEnemyBullet(e.gun_x[0], e.gun_y[0], 9, static_cast<double>(TurretAngle(e)), speed,
                    static_cast<uint32_t>(e.serial));
  });
}

int ShotWrap(int s) {
  if (s == 1) return 8;
  if (s >= 2) return 3;
  return 12;  // stage 1, and any stage number below it
}

}  // namespace

// HEAVEN's interval reaches 0 on the extra stage: it then fires nothing.
int FireType7Heaven(EnemyObject& e) {
  int s = StageIndex();
  return FirePattern(e, 40 - 2 * s, ShotWrap(s), s / 5.0 + 1.5);
}

int FireType7Original(EnemyObject& e) {
  int s = StageIndex();
  return FirePattern(e, 20 - 2 * s, ShotWrap(s), s / 4.0 + 2.0);
}

int FireType7Hell(EnemyObject& e) {
  int s = StageIndex();
  return FirePattern(e, 8, 3, s / 2.0 + 3.0);
}

int UpdateEnemyType7(EnemyObject& e) {
  // Close to the player or low on the field: no revenge. The guns keep
  // their counts, so the cycle only pauses.
  e.no_revenge = (DistanceToPlayerCore(e) <= 64.0 || e.y > 300.0) ? 1 : 0;

  int32_t& turret = TurretAngle(e);
  turret = TurnWholeAngle(turret, AngleToPlayer(e.x, e.y), 2.0);
  PlaceEnemyGunOnCircle(e, 0, 16.0, 16.0, turret);

  // An unknown variant has no path: it keeps its velocity and only drifts.
  if (e.variant >= 0 && e.variant < kPathCount) RunPath(e, kPaths[e.variant]);

  if (e.screen_state == 1 && e.y < 300.0 && e.no_revenge == 0)
    FireByDifficulty(e, FireType7Heaven, FireType7Original, FireType7Hell);

  // Added to the path's vy: a stopped craft rides with the ground.
  e.vy += GetScrollSpeed(1);
  return 0;
}

int FireType7RevengeBurst(EnemyObject& e) {
  FireBulletFan(e.x, e.y, 1, AngleToPlayer(e.x, e.y), 4.0, 2.0, 5.0,
                static_cast<uint32_t>(e.serial));
  return 0;
}
