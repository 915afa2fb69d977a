// Type 13: a ground turret that turns toward the player between bursts and
// holds still while one leaves, with a 36-bullet revenge ring on HELL.
#include "play/enemy_bullets.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage2_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

int32_t& Aim(EnemyObject& e) { return e.turn_angles[0]; }
// 1 while the turret may turn, 0 while a burst is leaving (0 at spawn, so
// the first burst keeps the direction taken on the first frame).
int32_t& TurnSwitch(EnemyObject& e) { return e.script_states[10]; }

constexpr double kCloseRange = 72.0;
constexpr double kFireLine = 300.0;
constexpr int32_t kInterval = 8;

struct Fan {
  double count;
  double step;
  double speed;
};

// A burst of `cap` volleys out of every `wrap` slots, all along the aim taken
// at the burst's first slot; the stage 5 extra fan only where given.
struct Type13Pattern {
  int32_t cap;
  int32_t wrap;
  Fan fans[3];
  int count;
  int stage5_count;
};

int FireType13(EnemyObject& e, const Type13Pattern& p) {
  if (PatternSlotDue(e, 0, kInterval)) {
    const int32_t shots = e.gun_shots[0];
    if (shots == 0) e.gun_angle[0] = Aim(e);
    if (shots < p.cap) {
      PlayEnemyShotSound();
      TurnSwitch(e) = 0;
      const int n = GetStageNumber() == 5 ? p.stage5_count : p.count;
      for (int i = 0; i < n; ++i)
        FireBulletFan(e.gun_x[0], e.gun_y[0], 4, e.gun_angle[0], p.fans[i].speed, p.fans[i].count,
                      p.fans[i].step, Owner(e));
    } else {
      TurnSwitch(e) = 1;
    }
    CountPatternShot(e, 0, p.wrap);
  }
  CountPatternFrame(e, 0);
  return 0;
}

}  // namespace

int UpdateEnemyType13(EnemyObject& e) {
  TestEnemyCloseRange(e, kCloseRange, false);
  if (e.move_state == 0) {
    Aim(e) = TruncToInt(AngleToPlayer(e.x, e.y));
    e.move_state = 1;
  } else if (e.move_state == 1) {
    if (TurnSwitch(e) == 1) Aim(e) = TurnWholeAngle(Aim(e), AngleToPlayer(e.x, e.y), 3.0);
    e.gun_x[0] = e.x + CosDeg(Aim(e)) * 64.0;
    e.gun_y[0] = e.y + SinDeg(Aim(e)) * 56.0 + 8.0;
    if (e.y >= kFireLine)
      TurnSwitch(e) = 1;  // too low to fire: it only follows the player
    else
      FireByDifficulty(e, FireType13Heaven, FireType13Original, FireType13Hell);
  }
  FollowGroundScroll(e);
  return 0;
}

int FireType13Heaven(EnemyObject& e) {
  static constexpr Type13Pattern kP = {2, 9, {{1, 0, 2.5}, {2, 20, 2.0}, {2, 40, 2.7}}, 2, 3};
  return FireType13(e, kP);
}

int FireType13Original(EnemyObject& e) {
  static constexpr Type13Pattern kP = {3, 9, {{1, 0, 3.0}, {2, 20, 2.4}, {2, 40, 3.2}}, 2, 3};
  return FireType13(e, kP);
}

int FireType13Hell(EnemyObject& e) {
  // The same three fans on every stage.
  static constexpr Type13Pattern kP = {3, 8, {{1, 0, 4.0}, {2, 20, 3.5}, {2, 40, 3.0}}, 3, 3};
  return FireType13(e, kP);
}

int FireType13RevengeBurst(EnemyObject& e) {
  for (int a = 0; a < 360; a += 20) {
    FireEnemyBullet(e.x, e.y, 10, a, 2.0, Owner(e));
    FireEnemyBullet(e.x, e.y, 10, a + 10, 2.5, Owner(e));
  }
  return 0;
}
