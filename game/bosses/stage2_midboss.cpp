// The stage 2 mid-boss (type 100): descends from above, opens four pods
// (type 101) on a growing ring below it and fights one attack phase. Once its
// time limit is out it climbs off the top, still firing.
#include "bosses/stage2_midboss.h"

#include <initializer_list>

#include "bosses/boss_common.h"
#include "bosses/boss_guns.h"
#include "bosses/bosses.h"
#include "kesto/kesto.h"
#include "play/enemy_bullets.h"
#include "shell/game_math.h"
#include "shell/sound_bank.h"

namespace {

using namespace boss_guns;

constexpr int kPodType = 101;
constexpr double kRingMax = 96.0;

// The descent: 4.0 on its first frame, then 0.07 slower a frame down to 0.5.
void Descend(EnemyObject& e) {
  double& accel = Type100Acceleration(e);
  int32_t& t = BossMoveTimer(e);
  if (t == 0) {
    accel = 4.0;
  } else {
    accel -= 0.07;
    if (accel <= 0.5) accel = 0.5;
  }
  ++t;
  if (MoveEnemyToPoint(e, &e.x, &e.y, 180.0, 100.0, accel) == 1) {
    accel = 0.0;
    FinishBossMotion(e, -1);
  }
}

void RunMoveScript(EnemyObject& e) {
  switch (e.move_state) {
    case -1:
      HoldBossMoveTimer(e);
      break;
    case 0:
      Descend(e);
      break;
    case 1:
      RunBossSway(e, 0.5, -1, 0.1, 1);
      break;
    case 2:
      e.vx = 0.0;
      e.vy = 0.4;
      break;
    default:
      break;
  }
}

// Pods count only once they are out, and only while their slot still holds
// this mid-boss's pod of that index.
void LayOutPods(EnemyObject& e) {
  for (int k = 0; k < kType100Pods; ++k) Type100PodInUse(e, k) = 0;
  if (Type100PodsOut(e) != 1) return;
  const double x = e.x, y = e.y, r = Type100RingRadius(e);
  const double px[kType100Pods] = {x - 1.2 * r, x + r * CosDeg(120.0), x + r * CosDeg(60.0),
                                   x + 1.2 * r};
  const double py[kType100Pods] = {y + 48.0, y + r * SinDeg(120.0), y + r * SinDeg(60.0), y + 48.0};
  for (int k = 0; k < kType100Pods; ++k) {
    EnemyObject* pod = FindBossPart(e, k, kPodType);
    if (pod == nullptr) continue;
    Type100PodInUse(e, k) = 1;
    pod->x = px[k];
    pod->y = py[k];
    const int toward = TruncToInt(AngleToPlayer(pod->x, pod->y));
    PodFacing(*pod) = TruncToInt(WrapAngleInt(toward - 90));
    // The pod's gun sits on its facing's far side, toward the player.
    const double a = PodFacing(*pod) + 90.0;
    e.gun_x[k] = pod->x + 24.0 * CosDeg(a);
    e.gun_y[k] = pod->y + 24.0 * SinDeg(a);
  }
  if (Type100RingRadius(e) < kRingMax) Type100RingRadius(e) += 2.0;
}

void LayOutBodyGuns(EnemyObject& e) {
  const double x = e.x, y = e.y;
  const double gx[5] = {x - 40, x + 40, x - 64, x + 64, x};
  for (int g = 0; g < 5; ++g) {
    e.gun_x[4 + g] = gx[g];
    e.gun_y[4 + g] = g == 4 ? y : y + 24;
  }
}

// ---- Pattern A: pod singles and growing body fans -------------------------
// Pods: gun 0 counts, its shot count is the beat, gun word 0 the cycle.
// Body: gun 1 counts, its shot count is the beat, gun word 1 the cycle.
struct PatternARow {
  int pod_volleys;
  double pod_speed, pod_count, pod_step;
  int body_extra;  // beats fired a body cycle beyond its number
  int fans;
  double fan_speed[2];
  int fan_count[2];
  double fan_step;
};
constexpr PatternARow kPatternA[3] = {
    {3, 3.0, 1, 0, 2, 1, {2.0, 0.0}, {5, 0}, 30},
    {5, 3.5, 1, 0, 3, 1, {3.0, 0.0}, {7, 0}, 20},
    {5, 3.8, 3, 5, 3, 2, {3.1, 3.0}, {8, 7}, 18},
};

void PatternA(EnemyObject& e, const PatternARow& r) {
  int32_t& pod_counter = e.gun_counter[0];
  int32_t& beat = e.gun_shots[0];
  int32_t& cycle = e.gun_words[0];
  if (pod_counter % 5 == 0) {
    const int pod = cycle % kType100Pods;
    // A pod shot down loses its turn; the cycle still passes.
    if (Type100PodInUse(e, pod) == 1) {
      if (beat == 0) TakeAim(e, pod);
      if (beat < r.pod_volleys)
        Fan(e, pod, 1, e.gun_angle[pod], r.pod_speed, r.pod_count, r.pod_step);
    }
    if (++beat >= 6) {
      beat = 0;
      ++cycle;
    }
  }
  ++pod_counter;

  int32_t& body_counter = e.gun_counter[1];
  int32_t& j = e.gun_shots[1];
  int32_t& c = e.gun_words[1];
  if (body_counter >= 61 && body_counter % 10 == 0) {
    if (j < c + r.body_extra) {
      const int gun = c % 2 == 0 ? 4 : 5;
      const double aim = TakeAim(e, gun);
      for (int f = 0; f < r.fans; ++f)
        Fan(e, gun, 7, aim, PatternRatio(c, 2) + r.fan_speed[f], j + r.fan_count[f], r.fan_step);
      Volley();
    }
    if (++j >= c + 5) {
      j = 0;
      ++c;
    }
  }
  ++body_counter;
}

// ---- Pattern B: spread shots from guns 6 and 7 -----------------------------
// Gun 6 counts, its shot count numbers the volleys.
struct PatternBRow {
  int shots;
  int spread;
  double base;
  double count;  // 1: a single; 2: a fan of two 6 apart
  bool ring_finish;
};
constexpr PatternBRow kPatternB[3] = {
    {1, 12, 1.0, 1, false}, {2, 15, 1.0, 1, false}, {2, 15, 1.5, 2, true}};

void PatternB(EnemyObject& e, const PatternBRow& r) {
  int32_t& counter = e.gun_counter[6];
  int32_t& n = e.gun_shots[6];
  if (counter % 2 == 0 && n < 20) {
    const double speed = PatternRatio(n, 4) + r.base;
    for (int gun : {6, 7}) {
      const double aim = TakeAim(e, gun);
      for (int i = 0; i < r.shots; ++i) {
        const int spread = RandomIntSigned(r.spread);
        Fan(e, gun, 0, aim + spread, speed, r.count, 6);
      }
    }
    Volley();
    ++n;
    if (n == 20 && r.ring_finish) {
      for (int gun : {6, 7}) {
        Fan(e, gun, 10, e.gun_angle[gun], 3.5, 17, 9);
        Fan(e, gun, 10, e.gun_angle[gun], 3.8, 17, 9);
      }
    }
  }
  ++counter;
}

// ---- Pattern C: turning rings from guns 6/7 and aimed shots ---------------
// Rings: gun 6 counts and numbers them. Aimed: gun 1 counts, its shot count
// is the beat.
struct PatternCRow {
  int ring_interval, ring_step, ring_type;
  double ring_speed;
  int aimed;
  double aimed_speed;
  bool pair;
};
constexpr PatternCRow kPatternC[3] = {{30, 36, 4, 2.0, 3, 2.5, false},
                                      {20, 30, 4, 2.4, 5, 3.0, false},
                                      {16, 30, 36, 2.4, 5, 3.4, true}};

void PatternC(EnemyObject& e, const PatternCRow& r) {
  int32_t& ring_counter = e.gun_counter[6];
  int32_t& n = e.gun_shots[6];
  if (ring_counter % r.ring_interval == 0) {
    for (int a = 0; a < 360; a += r.ring_step) {
      Single(e, 6, r.ring_type, a + 17 * n, r.ring_speed);
      Single(e, 7, r.ring_type, a + 17 * n, r.ring_speed);
    }
    Volley();
    ++n;
  }
  ++ring_counter;

  int32_t& aimed_counter = e.gun_counter[1];
  int32_t& j = e.gun_shots[1];
  if (aimed_counter >= 121 && aimed_counter % 4 == 0) {
    if (j < r.aimed) {
      const double aim = TakeAim(e, 8);
      const double lift = PatternRatio(j, 4);
      Single(e, 8, 3, aim, lift + r.aimed_speed);
      if (r.pair) Fan(e, 8, 3, aim, lift + 3.0, 2, 4);
      Volley();
    }
    if (++j >= 18) j = 0;
  }
  ++aimed_counter;
}

}  // namespace

void FireType100PatternAHeaven(EnemyObject& e) { PatternA(e, kPatternA[kHeaven]); }
void FireType100PatternAOriginal(EnemyObject& e) { PatternA(e, kPatternA[kOriginal]); }
void FireType100PatternAHell(EnemyObject& e) { PatternA(e, kPatternA[kHell]); }
void FireType100PatternBHeaven(EnemyObject& e) { PatternB(e, kPatternB[kHeaven]); }
void FireType100PatternBOriginal(EnemyObject& e) { PatternB(e, kPatternB[kOriginal]); }
void FireType100PatternBHell(EnemyObject& e) { PatternB(e, kPatternB[kHell]); }
void FireType100PatternCHeaven(EnemyObject& e) { PatternC(e, kPatternC[kHeaven]); }
void FireType100PatternCOriginal(EnemyObject& e) { PatternC(e, kPatternC[kOriginal]); }
void FireType100PatternCHell(EnemyObject& e) { PatternC(e, kPatternC[kHell]); }

void EnterMidBossType100(EnemyObject& e) {
  int32_t& step = BossEntryStep(e);
  if (step == 0) {
    if (e.move_state != -1) return;
    for (int k = 0; k < kType100Pods; ++k)
      SpawnEnemyAnySlot(e.x - 140.0, e.y, kPodType, 0, e.slot, k, e.serial);
    Type100PodsOut(e) = 1;
    e.move_state = 1;
    step = 1;
    return;
  }
  SetBossLifeState(e, 1);
}

void RunMidBossType100Phase1(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType100PatternAHeaven, FireType100PatternAOriginal,
                                        FireType100PatternAHell};
  static constexpr BossPattern kB[3] = {FireType100PatternBHeaven, FireType100PatternBOriginal,
                                        FireType100PatternBHell};
  static constexpr BossPattern kC[3] = {FireType100PatternCHeaven, FireType100PatternCOriginal,
                                        FireType100PatternCHell};
  static constexpr BossWindowStep kSteps[] = {
      {&kA, 0, 379, 380}, {&kB, 61, 119, 160}, {&kC, 61, 799, 800}, {&kB, 61, 119, 160}};
  RunBossStepCycle(e, BossPatternStep(e, 1), kSteps);
}

void RunMidBossType100Death(EnemyObject& e) {
  if (e.state_timer == 0) {
    e.move_state = 2;
    KillEnemiesOfParent(1, e.slot);
  }
  RunMidBossDeathFrame(e, false);
}

int UpdateMidBossType100(EnemyObject& e) {
  RunMoveScript(e);
  // Out of time: climb off the top, whatever the move script wants.
  if (e.mid_boss_timer == 0) Type100Acceleration(e) = -1.0;
  e.vy += Type100Acceleration(e);
  LayOutPods(e);
  LayOutBodyGuns(e);
  switch (e.life_state) {
    case 0:
      EnterMidBossType100(e);
      break;
    case 1:
      RunMidBossType100Phase1(e);
      break;
    case 8:
      RunMidBossType100Death(e);
      break;
    default:
      break;
  }
  return 0;
}
