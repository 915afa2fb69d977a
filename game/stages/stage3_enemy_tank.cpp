// Type 18: a ground tank that drives one of six routes on the scrolling
// ground and fires short aimed bursts, alternately from its front and its
// rear gun.
#include "play/enemy_bullets.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"
#include "stages/stage3_enemy_patterns.h"

namespace {

uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

int32_t& MoveCounter(EnemyObject& e) { return e.script_counters[0]; }
int32_t& Body(EnemyObject& e) { return e.turn_angles[0]; }

constexpr int32_t kAlways = -1;

// A route: the body angle and the speed, driven for `frames` frames and then
// standing (kAlways: for the whole life).
struct Route {
  int32_t body;
  double speed;
  int32_t frames;
};

// By variant; variant 5 is the one spawner 301 sends.
constexpr Route kRoutes[] = {
    {0, 1.0, kAlways}, {270, 0.0, kAlways}, {180, 1.0, 160},
    {325, 1.0, 160},   {0, 1.0, 240},       {140, 1.0, kAlways},
};
constexpr int kRouteCount = static_cast<int>(sizeof kRoutes / sizeof kRoutes[0]);

constexpr int32_t kInterval = 6;

struct Type18Pattern {
  int32_t cap;   // volleys per burst
  int32_t wrap;  // slots per burst
  double count;
  double step;
  double speed;
};

int FireType18(EnemyObject& e, const Type18Pattern& p) {
  if (PatternSlotDue(e, 0, kInterval)) {
    // Gun 1's shot count numbers the bursts; the firing gun alternates.
    const int g = e.gun_shots[1] % 2;
    const int32_t shots = e.gun_shots[0];
    if (shots < p.cap) {
      if (shots == 0) e.gun_angle[g] = AngleToPlayer(e.gun_x[g], e.gun_y[g]);
      const int32_t r = RandomIntSigned(5);  // after the aim
      FireBulletFan(e.gun_x[g], e.gun_y[g], 0, e.gun_angle[g] + r, p.speed, p.count, p.step,
                    Owner(e));
    }
    CountPatternShot(e, 0, p.wrap);
    if (e.gun_shots[0] == 0 && e.gun_shots[1] < INT32_MAX) e.gun_shots[1] += 1;
  }
  CountPatternFrame(e, 0);
  return 0;
}

}  // namespace

int UpdateEnemyType18(EnemyObject& e) {
  TestEnemyCloseRange(e, 64.0, true);
  // An unknown variant sets no velocity of its own.
  if (e.variant >= 0 && e.variant < kRouteCount) {
    const Route& r = kRoutes[e.variant];
    Body(e) = r.body;
    double speed = r.speed;
    if (r.frames != kAlways) {
      int32_t& mc = MoveCounter(e);
      if (mc >= r.frames) speed = 0.0;
      if (mc < INT32_MAX) mc += 1;
    }
    SetEnemyVelocityAt(e, Body(e), speed);
  }
  const double c = CosDeg(Body(e)), s = SinDeg(Body(e));
  e.pod_x[0] = e.x - c * 8.0;
  e.pod_y[0] = e.y - s * 8.0;
  e.gun_x[0] = e.pod_x[0] + c * 24.0;
  e.gun_y[0] = e.pod_y[0] + s * 24.0;
  e.gun_x[1] = e.pod_x[0] - c * 16.0;
  e.gun_y[1] = e.pod_y[0] - s * 16.0;
  if (e.screen_state == 1 && e.y < 400.0 && e.no_revenge == 0)
    FireByDifficulty(e, FireType18Heaven, FireType18Original, FireType18Hell);
  // The route is driven on the scrolling ground.
  e.vy += GetScrollSpeed(1);
  return 0;
}

int FireType18Heaven(EnemyObject& e) { return FireType18(e, {3, 10, 1, 0, 2.7}); }
int FireType18Original(EnemyObject& e) { return FireType18(e, {5, 6, 1, 0, 3.4}); }
int FireType18Hell(EnemyObject& e) { return FireType18(e, {5, 6, 3, 2, 3.7}); }
