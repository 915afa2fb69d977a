#include "stages/enemy_script_common.h"

#include "play/explosions.h"
#include "play/player.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "shell/sound_bank.h"

namespace {

constexpr int kDyingEnd = 90;
constexpr int kDyingBlastEnd = 60;

}  // namespace

int StageIndex() { return GetStageNumber() - 1; }

double DistanceToPlayerCore(const EnemyObject& e) {
  double px = 0.0, py = 0.0;
  GetPlayerCore(&px, &py);
  return Distance(e.x, e.y, px, py);
}

int TestEnemyCloseRange(EnemyObject& e, double limit, bool reset_guns) {
  if (DistanceToPlayerCore(e) <= limit) {
    e.no_revenge = 1;
    if (reset_guns) ResetEnemyGuns(e);
  } else {
    e.no_revenge = 0;
  }
  return e.no_revenge;
}

void PlaceEnemyGun(EnemyObject& e, int gun, double dx, double dy) {
  e.gun_x[gun] = e.x + dx;
  e.gun_y[gun] = e.y + dy;
}

void PlaceEnemyGunOnCircle(EnemyObject& e, int gun, double rx, double ry, double angle) {
  e.gun_x[gun] = e.x + CosDeg(angle) * rx;
  e.gun_y[gun] = e.y + SinDeg(angle) * ry;
}

void SetEnemyVelocityAt(EnemyObject& e, double angle, double speed) {
  e.vx = CosDeg(angle) * speed;
  e.vy = SinDeg(angle) * speed;
}

void FollowGroundScroll(EnemyObject& e) { e.vy = GetScrollSpeed(1); }

int32_t TurnWholeAngle(int32_t angle, double target, double step) {
  return TruncToInt(TurnAngleToward(angle, target, step));
}

int32_t TurnWholeAngleSigned(int32_t angle, double target, double step) {
  int32_t a = TurnWholeAngle(angle, target, step);
  if (a > 180) a -= 360;
  return a;
}

bool PatternSlotDue(const EnemyObject& e, int gun, int32_t interval) {
  // A zero interval would divide by zero; no content gives one, but a table
  // change must not crash the game.
  if (interval == 0) return false;
  if (interval == -1) return true;  // INT32_MIN % -1 is undefined
  return e.gun_counter[gun] % interval == 0;
}

void CountPatternShot(EnemyObject& e, int gun, int32_t wrap) {
  int32_t& shots = e.gun_shots[gun];
  if (shots < INT32_MAX) shots += 1;
  if (wrap != kNoWrap && shots >= wrap) shots = 0;
}

void CountPatternFrame(EnemyObject& e, int gun) {
  if (e.gun_counter[gun] < INT32_MAX) e.gun_counter[gun] += 1;
}

double AimAtFirstVolley(EnemyObject& e, int gun, int32_t shots) {
  if (shots == 0) e.gun_angle[gun] = AngleToPlayer(e.gun_x[gun], e.gun_y[gun]);
  return e.gun_angle[gun];
}

void PlayEnemyShotSound() { PlaySoundEffect(81); }

int FireByDifficulty(EnemyObject& e, EnemyScriptFn heaven, EnemyScriptFn original,
                     EnemyScriptFn hell) {
  switch (e.difficulty) {
    case 0:
      return heaven(e);
    case 1:
      return original(e);
    case 2:
      return hell(e);
    default:
      return 0;
  }
}

int RunLifeSwitch(EnemyObject& e, EnemyScriptFn alive, EnemyScriptFn death) {
  switch (e.life_state) {
    case 0:
      e.life_state = 1;
      e.state_timer = 0;
      return 0;
    case 1:
      return alive(e);
    case 8:
      return death(e);
    default:
      return 0;
  }
}

int RunDyingSequence(EnemyObject& e, const DyingSequence& seq) {
  int32_t& t = e.state_timer;
  if (seq.test_before_increment && t >= kDyingEnd) {
    DestroyEnemy(e);
    return 1;
  }
  if (t == 0) e.collision_class = 1;
  if (t >= 0 && t < kDyingBlastEnd && t % 2 == 0) {
    PlaySoundEffect(20);
    const int32_t w = TruncToInt(e.width);
    const int32_t h = TruncToInt(e.height);
    // Drawn into locals in the stated order; never inside an argument list.
    const int32_t dx = RandomIntSigned(w / 2 - seq.margin_x);
    const int32_t dy = RandomIntSigned(h / 2 - seq.margin_y);
    const int32_t a1 = RandomInt(360);
    SpawnExplosion(e.x + dx, e.y + dy, seq.kind_near, a1, 2.0);
    const int32_t a2 = RandomInt(360);
    SpawnExplosion(e.x - dx, e.y - dy, seq.kind_far, a2, 2.0);
    if (seq.debris) {
      const double speed = RandomInt(20) / 10.0 + 2.0;
      const int32_t angle = RandomInt(360);
      const int32_t ry = RandomIntSigned(h / 4);
      const int32_t rx = RandomIntSigned(w / 4);
      SpawnExplosionEx(e.x + rx, e.y + ry, 122, angle, speed, seq.debris_param1, 0.0);
    }
  }
  if (seq.test_before_increment) {
    t += 1;
    return 0;
  }
  t += 1;
  if (t >= kDyingEnd) {
    DestroyEnemy(e);
    return 1;
  }
  return 0;
}
