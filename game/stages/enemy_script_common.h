// Pieces shared by the regular enemy scripts: the close-range hold, gun
// placement, the per-gun fire-pattern counting, the fire switch on the stored
// difficulty, the ground scroll step, the life switch and the dying sequence.
// Every script keeps its state in its own EnemyObject; nothing here is static.
#pragma once

#include <cstdint>

#include "play/enemies.h"

// A pattern without a volley cap, or a shot count that never wraps.
inline constexpr int32_t kNoCap = INT32_MAX;
inline constexpr int32_t kNoWrap = INT32_MAX;

// StageNumber - 1, the s of the stage-dependent patterns (15 to 20 in boss
// practice and the extra stage).
int StageIndex();

double DistanceToPlayerCore(const EnemyObject& e);

// Sets the no-revenge flag from the distance to the player's core: 1 at or
// within `limit`, else 0. Within it, `reset_guns` restarts every gun so the
// first volley leaves at once when the player moves away. Returns the flag.
int TestEnemyCloseRange(EnemyObject& e, double limit, bool reset_guns);

// Gun i at the centre plus (dx, dy).
void PlaceEnemyGun(EnemyObject& e, int gun, double dx, double dy);
// Gun i at (cx + rx cos a, cy + ry sin a).
void PlaceEnemyGunOnCircle(EnemyObject& e, int gun, double rx, double ry, double angle);

// (vx, vy) = (cos a, sin a) x speed.
void SetEnemyVelocityAt(EnemyObject& e, double angle, double speed);

// Ground objects move with background layer 1; replaces any vy set before.
void FollowGroundScroll(EnemyObject& e);

// One step of TurnAngleToward on a whole-degree angle, truncated again.
int32_t TurnWholeAngle(int32_t angle, double target, double step);
// The same, less 360 when the result is above 180.
int32_t TurnWholeAngleSigned(int32_t angle, double target, double step);

// The fire-pattern count on one gun. A frame of a pattern:
//   if (PatternSlotDue(e, gun, n)) { if (shots < cap) volley; CountPatternShot(...); }
//   CountPatternFrame(e, gun);
// A zero interval never fires (the counter still runs); a negative one counts
// like its absolute value.
bool PatternSlotDue(const EnemyObject& e, int gun, int32_t interval);
// Shot count +1 (also past the cap), back to 0 once it is at or above `wrap`.
void CountPatternShot(EnemyObject& e, int gun, int32_t wrap);
void CountPatternFrame(EnemyObject& e, int gun);

// The common shape in one call: `volley(shots)` runs on due frames while the
// shot count (passed as it was before the increment) is below `cap`.
template <typename Volley>
int RunFirePattern(EnemyObject& e, int gun, int32_t interval, int32_t cap, int32_t wrap,
                   Volley&& volley) {
  if (PatternSlotDue(e, gun, interval)) {
    const int32_t shots = e.gun_shots[gun];
    if (shots < cap) volley(shots);
    CountPatternShot(e, gun, wrap);
  }
  CountPatternFrame(e, gun);
  return 0;
}

// "Player at the first volley": the gun's angle is taken toward the player's
// core from the gun when the shot count is 0, kept in the gun's angle and
// reused by the later volleys of the burst. Returns the angle to fire at.
double AimAtFirstVolley(EnemyObject& e, int gun, int32_t shots);

// The sound of a volley (silent when the player switched enemy-shot sound off).
void PlayEnemyShotSound();

using EnemyScriptFn = int (*)(EnemyObject&);

// Calls the pattern of the stored difficulty; any value other than 0-2 fires
// nothing.
int FireByDifficulty(EnemyObject& e, EnemyScriptFn heaven, EnemyScriptFn original,
                     EnemyScriptFn hell);

// Life state 0 becomes 1 at once (no other work that frame), 1 runs `alive`,
// 8 runs `death`; any other state does nothing.
int RunLifeSwitch(EnemyObject& e, EnemyScriptFn alive, EnemyScriptFn death);

// What a type's dying sequence differs in. On the life timer t: class 1 at
// t = 0; on even t below 60 sound 20, explosions `kind_near` at (c + d) and
// `kind_far` at (c - d) with d drawn from the size less the margins, then,
// with `debris`, kind 122 at a random offset up to a quarter of the size.
struct DyingSequence {
  int32_t kind_near = 50;
  int32_t kind_far = 55;
  int32_t margin_x = 40;  // dx bound (int)width / 2 - margin_x
  int32_t margin_y = 30;  // dy bound (int)height / 2 - margin_y
  bool debris = true;
  double debris_param1 = 0.0;  // 1.0 starts the debris at double scale
  // false: t +1, removal once it reaches 90 (the 90th dying frame).
  // true: t tested first, removal on the frame that begins at 90 (the 91st).
  bool test_before_increment = false;
};

// One frame of the dying sequence. Returns 1 on the frame it removed the
// enemy through DestroyEnemy.
int RunDyingSequence(EnemyObject& e, const DyingSequence& seq);
