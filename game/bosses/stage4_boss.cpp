// The stage 4 boss (type 230): a body with four pods that it launches,
// recalls and spins round itself. In phase 1 the pods fly out to the corners
// of the field, in phase 2 they ride a ring round the body, and the second
// break blows them up, so that phase 3 is fought against the body alone.
#include "bosses/stage4_boss.h"

#include <initializer_list>

#include "bosses/boss_common.h"
#include "bosses/boss_guns.h"
#include "bosses/bosses.h"
#include "play/enemy_bullets.h"
#include "play/explosions.h"
#include "shell/game_math.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

using namespace boss_guns;

constexpr int kPods = 4;

void WriteHomesAndCorners(EnemyObject& e) {
  static constexpr double kHomeDx[kPods] = {-100, 100, -80, 80};
  static constexpr double kHomeDy[kPods] = {-40, -40, 80, 80};
  static constexpr double kCornerX[kPods] = {180, 460, 180, 460};
  static constexpr double kCornerY[kPods] = {40, 40, 440, 440};
  for (int i = 0; i < kPods; ++i) {
    Type230HomeX(e, i) = e.x + kHomeDx[i];
    Type230HomeY(e, i) = e.y + kHomeDy[i];
    Type230CornerX(e, i) = kCornerX[i];
    Type230CornerY(e, i) = kCornerY[i];
  }
}

void SetPodVelocities(EnemyObject& e, double vx, double vy) {
  for (int i = 0; i < kPods; ++i) {
    e.pod_vx[i] = vx;
    e.pod_vy[i] = vy;
  }
}

void RunMoveScript(EnemyObject& e) {
  int32_t& t = BossMoveTimer(e);
  switch (e.move_state) {
    case 0: RunBossMoveToPoint(e, 180.0, 100.0, 3.0, -1); break;
    case 1:
      // t / 2 is an integer division: the sway's x half steps a degree a frame.
      e.vx = CosDeg(t / 2) * 0.3;
      e.vy = SinDeg(t) * 0.2;
      SetPodVelocities(e, e.vx, e.vy);
      ++t;
      break;
    case 2:
      e.vx = CosDeg((-t) / 2) * 0.3;
      e.vy = SinDeg(-t) * 0.2;
      ++t;
      break;
    case 3: RunBossSway(e, 0.5, -1, 0.2, 1); break;
    case 20:
      RunBossMoveToPoint(e, 180.0, 100.0, 1.0, -20);
      SetPodVelocities(e, 0.0, 0.0);
      break;
    case 30:
      e.vx = 0.0;
      e.vy = 0.0;
      break;
    default: t = 0; break;
  }
}

void LayOutGuns(EnemyObject& e) {
  for (int i = 0; i < kPods; ++i) {
    e.gun_x[i] = e.pod_x[i];
    e.gun_y[i] = e.pod_y[i] - 16.0;
  }
  e.gun_x[4] = e.x;
  e.gun_y[4] = e.y - 16.0;
  e.gun_x[5] = e.x - 56.0;
  e.gun_y[5] = e.y;
  e.gun_x[6] = e.x + 56.0;
  e.gun_y[6] = e.y;
}

void ClearPodArrivals(EnemyObject& e) {
  for (int i = 0; i < kPods; ++i) Type230PodArrived(e, i) = 0;
}

// Sends every pod toward its target; true once each has arrived (an arrived
// pod is sent on, so it keeps to a target that moves with the body).
template <typename Target>
bool SendPods(EnemyObject& e, double speed, Target target) {
  bool all = true;
  for (int i = 0; i < kPods; ++i) {
    double tx = 0.0, ty = 0.0;
    target(i, tx, ty);
    if (MovePointToPoint(&e.pod_x[i], &e.pod_y[i], &e.pod_vx[i], &e.pod_vy[i], tx, ty, speed) ==
        1)
      Type230PodArrived(e, i) = 1;
    all = all && Type230PodArrived(e, i) == 1;
  }
  return all;
}

bool SendPodsHome(EnemyObject& e, double speed) {
  return SendPods(e, speed, [&e](int i, double& x, double& y) {
    x = Type230HomeX(e, i);
    y = Type230HomeY(e, i);
  });
}

bool SendPodsToCorners(EnemyObject& e, double speed) {
  return SendPods(e, speed, [&e](int i, double& x, double& y) {
    x = Type230CornerX(e, i);
    y = Type230CornerY(e, i);
  });
}

bool SendPodsToCentre(EnemyObject& e, double speed) {
  return SendPods(e, speed, [&e](int, double& x, double& y) {
    x = e.x;
    y = e.y;
  });
}

// After the life state's handler: the pods fly, or ride the ring, whose
// radius opens by 2 a frame to 120 and which turns a degree a frame.
void MovePods(EnemyObject& e) {
  const int mode = Type230PodMode(e);
  int32_t& ring = Type230RingAngle(e);
  int32_t& radius = Type230RingRadius(e);
  if (mode == kType230PodsFree) {
    for (int i = 0; i < kPods; ++i) {
      e.pod_x[i] += e.pod_vx[i];
      e.pod_y[i] += e.pod_vy[i];
    }
    ring = 0;
    radius = 0;
    return;
  }
  if (mode != kType230RingClockwise && mode != kType230RingCounterClockwise) return;
  for (int i = 0; i < kPods; ++i) {
    const int a = 90 * i + ring;
    const int at = mode == kType230RingClockwise ? a : 90 * i - ring;
    e.pod_x[i] = e.x + CosDeg(at) * radius;
    e.pod_y[i] = e.y + SinDeg(at) * radius;
    // The counter-clockwise ring keeps the clockwise ring's gun angles, so
    // its pods' shots are not radial: that is how this ring fires.
    e.gun_angle[i] = a;
  }
  if (radius < 120) radius += 2;
  ++ring;
}

// ---- Phase 1 pattern A: aimed fans from the body, bursts from each pod --
struct PatternARow {
  double fan_speed, fan_count, fan_step;
  double second_fan_speed;  // 0: none
  double ring_speed, ring_count;
  int pod_interval;
  double pod_speed, pod_step;
  double second_pod_speed;  // 0: none
};
constexpr PatternARow kPatternA[3] = {
    {2.5, 9, 16, 0.0, 1.7, 3, 20, 2.3, 30, 0.0},
    {3.0, 11, 10, 0.0, 2.0, 5, 15, 2.3, 4, 0.0},
    {3.0, 13, 9, 3.3, 2.0, 7, 12, 2.5, 4, 2.3},
};

void PatternA(EnemyObject& e, const PatternARow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (counter % 40 == 0) {
    Volley();
    e.gun_angle[0] = AimFrom(e, 4);
    const double aim = e.gun_angle[0];
    // A quarter faster each volley.
    const double ramp = PatternRatio(n, 4);
    Fan(e, 4, 7, aim, ramp + r.fan_speed, r.fan_count, r.fan_step);
    if (r.second_fan_speed > 0.0)
      Fan(e, 4, 7, aim, ramp + r.second_fan_speed, r.fan_count, r.fan_step);
    Fan(e, 4, 10, aim, r.ring_speed, r.ring_count, 3);
    ++n;
  }
  ++counter;

  int32_t& pod_counter = e.gun_counter[1];
  int32_t& m = e.gun_shots[1];
  if (pod_counter % r.pod_interval == 0) {
    Volley();
    const int g = m % kPods;
    e.gun_angle[g] = AimFrom(e, g);
    const double angle = e.gun_angle[g] + SinDeg(15 * m) * 30.0;
    Fan(e, g, 9, angle, r.pod_speed, 3, r.pod_step);
    if (r.second_pod_speed > 0.0) Fan(e, g, 9, angle, r.second_pod_speed, 3, r.pod_step);
    ++m;
  }
  ++pod_counter;
}

// ---- Phase 1 pattern B: rings from the upper pods while they fly out ----
struct PatternBRow {
  int ring_interval, ring_step, ring_offset;
  double ring_speed;
  double side_count, side_step;
  int column_interval, column_volleys;
  double column_speed, column_count, column_step;
  bool hell;
};
constexpr PatternBRow kPatternB[3] = {
    {20, 20, 10, 3.0, 3, 20, 5, 7, 3.0, 5, 30, false},
    {20, 12, 6, 3.0, 4, 20, 5, 10, 3.0, 7, 20, false},
    {10, 10, 5, 3.5, 7, 15, 4, 16, 3.2, 7, 20, true},
};

void PatternB(EnemyObject& e, const PatternBRow& r) {
  int32_t& counter = e.gun_counter[0];
  if (counter % r.ring_interval == 0) {
    Volley();
    const double aim0 = AimFrom(e, 0), aim1 = AimFrom(e, 1);
    for (int a = 0; a < 360; a += r.ring_step) {
      Fan(e, 0, 5, aim0 + a + r.ring_offset, r.ring_speed, 1, 0);
      Fan(e, 1, 5, aim1 + a + r.ring_offset, r.ring_speed, 1, 0);
    }
    Fan(e, 2, 1, 315, 3.0, r.side_count, r.side_step);
    Fan(e, 3, 1, 225, 3.0, r.side_count, r.side_step);
  }
  ++counter;

  int32_t& column_counter = e.gun_counter[10];
  int32_t& n = e.gun_shots[10];
  if (column_counter % r.column_interval == 0) {
    // The beat sounds on after the columns have run out.
    Volley();
    if (n < r.column_volleys) {
      Fan(e, 4, 4, 90, r.column_speed, r.column_count, r.column_step);
      if (r.hell) Fan(e, 4, 10, 90, 2.0 + n * 0.5, 6, 20);
    }
    ++n;
  }
  ++column_counter;
}

// ---- Phase 1 pattern C: the pods at the corners, the body spiralling ----
struct PatternCRow {
  int pod_interval, pod_volleys;
  int spiral_interval, spiral_step;
  double spiral_count;
  int aimed_volleys;
  double aimed_speed, aimed_count, aimed_step;
  bool hell;
};
constexpr PatternCRow kPatternC[3] = {
    {5, 2, 18, 180, 1.2, 4, 3.0, 1, 0, false},
    {3, 3, 12, 120, 1.2, 8, 3.4, 2, 4, false},
    {3, 3, 12, 90, 1.5, 8, 3.8, 2, 4, true},
};

void PatternC(EnemyObject& e, const PatternCRow& r) {
  // Each pod sweeps ±60 about the diagonal pointing into the field.
  static constexpr int kPodBase[kPods] = {45, 135, 315, 225};
  int32_t& pod_counter = e.gun_counter[1];
  int32_t& beat = e.gun_shots[0];
  int32_t& sweep = e.gun_shots[1];
  if (pod_counter % r.pod_interval == 0) {
    if (beat < r.pod_volleys) {
      const double sway = SinDeg(3 * sweep) * 60.0;
      for (double speed : {2.0, 2.25}) {
        for (int g = 0; g < kPods; ++g) Fan(e, g, 0, kPodBase[g] + sway, speed, 1, 0);
        if (!r.hell) break;
      }
    }
    ++sweep;
    if (++beat >= 6) beat = 0;
  }
  ++pod_counter;

  int32_t& spiral_counter = e.gun_counter[2];
  int32_t& volley = e.gun_shots[2];
  int32_t& turns = e.gun_shots[3];
  if (spiral_counter % r.spiral_interval == 0) {
    Volley();
    const int turn = SignOf(turns % 2) * volley * 9;
    for (int a = 0; a < 360; a += r.spiral_step) Fan(e, 4, 5, a + turn, 1.0, r.spiral_count, 0);
    ++volley;
    if (volley % 40 == 0) ++turns;
  }
  ++spiral_counter;

  int32_t& aimed_counter = e.gun_counter[10];
  int32_t& shot = e.gun_shots[10];
  int32_t& burst = e.gun_shots[11];
  if (aimed_counter >= 121 && aimed_counter % 4 == 0) {
    const int g = 5 + burst % 2;
    if (shot == 0) e.gun_angle[0] = AimFrom(e, g);
    if (shot < r.aimed_volleys) {
      Volley();
      Fan(e, g, 0, e.gun_angle[0], r.aimed_speed, r.aimed_count, r.aimed_step);
    }
    if (++shot >= 12) {
      shot = 0;
      ++burst;
    }
  }
  ++aimed_counter;
}

// ---- Phase 2 pattern A: widening pairs from each orbiting pod in turn ---
struct Phase2ARow {
  int pair_volleys;
  double pair_speed, pair_speed_far;
  int column_volleys;
  bool hell;
};
constexpr Phase2ARow kPhase2A[3] = {
    {5, 2.2, 3.0, 3, false}, {8, 3.0, 4.5, 5, false}, {8, 3.3, 4.5, 5, true}};

void Phase2PatternA(EnemyObject& e, const Phase2ARow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  int32_t& pod = e.gun_shots[1];
  if (counter % 3 == 0) {
    const int g = pod % kPods;
    if (n < r.pair_volleys) {
      Volley();
      Fan(e, g, 1, 90, r.pair_speed, 2, n * 15 + 10);
      if (r.hell) Fan(e, g, 1, 90, 3.0, 2, n * 15 + 8);
      Fan(e, g, 1, 90, r.pair_speed_far, 2, 180);
    }
    if (n < r.column_volleys) {
      Fan(e, g, 10, 90, PatternRatio(n, 4) + 2.0, 1, 0);
      if (r.hell) Fan(e, g, 10, 90, PatternRatio(n, 2) + 4.0, 2, 24);
    }
    if (++n >= 8) {
      n = 0;
      ++pod;
    }
  }
  ++counter;
}

// ---- Phase 2 pattern B: along the ring, and aimed from the body ---------
struct Phase2BRow {
  int ring_interval;
  double ring_speed, ring_count, ring_step;
  int aimed_volleys;
  double aimed_speed, aimed_count, aimed_step;
  int outer_interval;
  double outer_speed, outer_count, outer_step;
};
constexpr Phase2BRow kPhase2B[3] = {
    {15, 2.4, 3, 20, 3, 3.0, 3, 30, 14, 2.0, 1, 0},
    {8, 3.2, 3, 18, 5, 3.2, 3, 20, 7, 2.4, 1, 0},
    {7, 3.5, 5, 15, 5, 3.2, 5, 20, 7, 2.8, 3, 40},
};

void Phase2PatternB(EnemyObject& e, const Phase2BRow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  double& wobble = e.gun_angle[5];
  if (counter % r.ring_interval == 0) {
    Volley();
    for (int g = 0; g < kPods; ++g)
      Fan(e, g, 10, e.gun_angle[g] - 90.0 + wobble, r.ring_speed, r.ring_count, r.ring_step);
    wobble = SinDeg(n * 10) * 50.0;
    ++n;
  }
  ++counter;

  int32_t& aimed_counter = e.gun_counter[1];
  int32_t& shot = e.gun_shots[1];
  int32_t& burst = e.gun_shots[2];
  if (aimed_counter >= 121 && aimed_counter % 5 == 0) {
    const int g = 4 + burst % 3;
    if (shot == 0) e.gun_angle[7] = AimFrom(e, g);
    if (shot < r.aimed_volleys)
      Fan(e, g, 0, e.gun_angle[7], PatternRatio(shot, 2) + r.aimed_speed, r.aimed_count,
          r.aimed_step - 4 * (burst % 4));
    if (++shot >= 10) {
      shot = 0;
      ++burst;
    }
  }
  ++aimed_counter;

  int32_t& outer_counter = e.gun_counter[10];
  int32_t& m = e.gun_shots[10];
  double& swing = e.gun_angle[6];
  if (outer_counter % r.outer_interval == 0) {
    for (int g = 0; g < kPods; ++g)
      Fan(e, g, 5, e.gun_angle[g] + swing, r.outer_speed, r.outer_count, r.outer_step);
    swing = SinDeg(m * 10) * 60.0;
    ++m;
  }
  ++outer_counter;
}

// ---- Phase 3: the body alone, rings quickening, aimed bursts ------------
struct Phase3Row {
  int intervals[3];  // before volley 10, before volley 25, after
  int ring_step;
  double ring_speed;
  int aimed_volleys;
  double aimed_count, aimed_step;
  bool hell;
};
constexpr Phase3Row kPhase3[3] = {
    {{28, 18, 12}, 18, 2.4, 12, 5, 20, false},
    {{22, 12, 8}, 15, 2.4, 18, 7, 15, false},
    {{19, 11, 7}, 18, 2.7, 18, 7, 15, true},
};

void Phase3Pattern(EnemyObject& e, const Phase3Row& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  int32_t& burst = e.gun_shots[1];
  int32_t& volley = e.gun_shots[2];
  // The interval comes from the volley count before it divides anything: on
  // the pattern's first frame, just after the guns were cleared, it must
  // already hold a value.
  int32_t& interval = Type230VolleyInterval(e);
  interval = volley < 10 ? r.intervals[0] : volley < 25 ? r.intervals[1] : r.intervals[2];
  if (interval < 1) interval = 1;
  if (counter % interval == 0) {
    Volley();
    const int g = 5 + volley % 2;
    if (n == 0) e.gun_angle[g] = AimFrom(e, g);
    const int turn = n * (burst % 2);
    const double aim = e.gun_angle[g];
    for (int a = 0; a < 360; a += r.ring_step)
      Fan(e, g, 10, a + aim + (r.hell ? -turn : turn), r.ring_speed, 1, 0);
    if (r.hell)
      for (int a = 0; a < 360; a += 24) Fan(e, g, 5, a + aim + turn, 3.0, 1, 0);
    ++n;
    ++volley;
    if (n >= 12) {
      n = 0;
      ++burst;
    }
  }
  ++counter;

  int32_t& aimed_counter = e.gun_counter[10];
  int32_t& shot = e.gun_shots[10];
  if (aimed_counter >= 121 && aimed_counter % 6 == 0) {
    if (shot == 0) e.gun_angle[4] = AimFrom(e, 4);
    if (shot < r.aimed_volleys) {
      Volley();
      Fan(e, 4, 2, e.gun_angle[4], 3.2, r.aimed_count, r.aimed_step);
    }
    if (++shot >= 20) shot = 0;
  }
  ++aimed_counter;
}

}  // namespace

void FireType230PatternAHeaven(EnemyObject& e) { PatternA(e, kPatternA[kHeaven]); }
void FireType230PatternAOriginal(EnemyObject& e) { PatternA(e, kPatternA[kOriginal]); }
void FireType230PatternAHell(EnemyObject& e) { PatternA(e, kPatternA[kHell]); }
void FireType230PatternBHeaven(EnemyObject& e) { PatternB(e, kPatternB[kHeaven]); }
void FireType230PatternBOriginal(EnemyObject& e) { PatternB(e, kPatternB[kOriginal]); }
void FireType230PatternBHell(EnemyObject& e) { PatternB(e, kPatternB[kHell]); }
void FireType230PatternCHeaven(EnemyObject& e) { PatternC(e, kPatternC[kHeaven]); }
void FireType230PatternCOriginal(EnemyObject& e) { PatternC(e, kPatternC[kOriginal]); }
void FireType230PatternCHell(EnemyObject& e) { PatternC(e, kPatternC[kHell]); }
void FireType230Phase2PatternAHeaven(EnemyObject& e) { Phase2PatternA(e, kPhase2A[kHeaven]); }
void FireType230Phase2PatternAOriginal(EnemyObject& e) {
  Phase2PatternA(e, kPhase2A[kOriginal]);
}
void FireType230Phase2PatternAHell(EnemyObject& e) { Phase2PatternA(e, kPhase2A[kHell]); }
void FireType230Phase2PatternBHeaven(EnemyObject& e) { Phase2PatternB(e, kPhase2B[kHeaven]); }
void FireType230Phase2PatternBOriginal(EnemyObject& e) {
  Phase2PatternB(e, kPhase2B[kOriginal]);
}
void FireType230Phase2PatternBHell(EnemyObject& e) { Phase2PatternB(e, kPhase2B[kHell]); }
void FireType230Phase3PatternAHeaven(EnemyObject& e) { Phase3Pattern(e, kPhase3[kHeaven]); }
void FireType230Phase3PatternAOriginal(EnemyObject& e) { Phase3Pattern(e, kPhase3[kOriginal]); }
void FireType230Phase3PatternAHell(EnemyObject& e) { Phase3Pattern(e, kPhase3[kHell]); }

void EnterBossType230(EnemyObject& e) {
  int32_t& step = BossEntryStep(e);
  if (step == 0) {
    if (e.move_state != -1) return;
    // The pods fly in from off the sides of the field.
    static constexpr double kStartX[kPods] = {0, 640, 40, 600};
    static constexpr double kStartY[kPods] = {20, 20, 240, 240};
    for (int i = 0; i < kPods; ++i) {
      e.pod_x[i] = kStartX[i];
      e.pod_y[i] = kStartY[i];
      e.pod_vx[i] = 0.0;
      e.pod_vy[i] = 0.0;
    }
    Type230PodMode(e) = kType230PodsFree;
    ClearPodArrivals(e);
    step = 1;
    return;
  }
  if (SendPodsHome(e, 6.0)) {
    ClearPodArrivals(e);
    PlaySoundEffect(83);
    SetBossLifeState(e, 1);
    e.move_state = 1;
  }
}

void RunBossType230Phase1(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType230PatternAHeaven, FireType230PatternAOriginal,
                                        FireType230PatternAHell};
  static constexpr BossPattern kB[3] = {FireType230PatternBHeaven, FireType230PatternBOriginal,
                                        FireType230PatternBHell};
  static constexpr BossPattern kC[3] = {FireType230PatternCHeaven, FireType230PatternCOriginal,
                                        FireType230PatternCHell};
  int32_t& step = BossPatternStep(e, 1);
  switch (step) {
    case 0:
      if (InBossWindow(e, 121, 639)) RunBossPattern(e, kA);
      if (e.state_timer == 640) ResetEnemyGuns(e);
      if (CountBossStep(e, 720)) {
        step = 1;
        e.move_state = 20;
      }
      break;
    case 1:
      // The timer stands: pattern B lasts as long as the slowest pod's flight.
      RunBossPattern(e, kB);
      if (SendPodsToCorners(e, 2.0)) {
        ClearPodArrivals(e);
        ResetEnemyGuns(e);
        step = 2;
        e.move_state = 2;
      }
      break;
    case 2:
      if (RunBossWindowStep(e, {&kC, 101, 1079, 1160})) {
        step = 3;
        e.move_state = 20;
      }
      break;
    case 3:
      ++e.state_timer;
      if (SendPodsHome(e, 3.0)) {
        ClearPodArrivals(e);
        PlaySoundEffect(84);
        e.state_timer = 0;
        step = 0;
        e.move_state = 1;
      }
      break;
    default:
      step = 0;  // a corrupted step restarts the cycle
      break;
  }
}

void BreakBossType230Phase1(EnemyObject& e) {
  if (e.state_timer == 0) {
    EndBossPhase(e);
    e.move_state = 20;
    // Pods cut off mid-flight by the phase's end must arrive afresh.
    ClearPodArrivals(e);
  }
  ++e.state_timer;
  if (SendPodsToCentre(e, 6.0) && e.move_state == -20) {
    ClearPodArrivals(e);
    SetBossLifeState(e, 3);
    e.move_state = 1;
    Type230PodMode(e) = kType230RingClockwise;
  }
}

void RunBossType230Phase2(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType230Phase2PatternAHeaven,
                                        FireType230Phase2PatternAOriginal,
                                        FireType230Phase2PatternAHell};
  static constexpr BossPattern kB[3] = {FireType230Phase2PatternBHeaven,
                                        FireType230Phase2PatternBOriginal,
                                        FireType230Phase2PatternBHell};
  int32_t& step = BossPatternStep(e, 2);
  switch (step) {
    case 0:
      if (RunBossWindowStep(e, {&kA, 31, 389, 390})) step = 1;
      break;
    case 1:
      if (RunBossWindowStep(e, {&kB, 91, 639, 640})) step = 2;
      break;
    case 2:
      if (e.state_timer == 0) {
        Type230PodMode(e) = kType230PodsFree;
        ClearPodArrivals(e);
      }
      ++e.state_timer;
      if (SendPodsToCentre(e, 6.0)) {
        // Each return reverses the next ring.
        ClearPodArrivals(e);
        e.state_timer = 0;
        int32_t& turns = Type230RingTurns(e);
        ++turns;
        Type230PodMode(e) = 1 + turns % 2;
        PlaySoundEffect(84);
        step = 0;
      }
      break;
    default:
      step = 0;
      break;
  }
}

void BreakBossType230Phase2(EnemyObject& e) {
  if (e.state_timer == 0) {
    PlaySoundEffect(20);
    EndBossPhase(e);
    e.move_state = 20;
    for (int i = 0; i < kPods; ++i) {
      const double px = e.pod_x[i], py = e.pod_y[i];
      SpawnExplosion(px, py, 52, 0.0, 0.0);
      for (int a = 0; a <= 300; a += 60) SpawnBossDebrisPiece(px, py, a);
    }
  }
  ++e.state_timer;
  if (e.move_state == -20) {
    SetBossLifeState(e, 5);
    e.move_state = 3;
  }
}

void RunBossType230Phase3(EnemyObject& e) {
  static constexpr BossPattern kSets[3] = {FireType230Phase3PatternAHeaven,
                                           FireType230Phase3PatternAOriginal,
                                           FireType230Phase3PatternAHell};
  if (e.state_timer > 60) RunBossPattern(e, kSets);
  ++e.state_timer;
}

void RunBossType230Death(EnemyObject& e) {
  if (e.state_timer == 0) e.move_state = 30;
  RunBossDeathFrame(e, true);
}

int UpdateBossType230(EnemyObject& e) {
  WriteHomesAndCorners(e);
  RunMoveScript(e);
  LayOutGuns(e);
  switch (e.life_state) {
    case 0: EnterBossType230(e); break;
    case 1: RunBossType230Phase1(e); break;
    case 2: BreakBossType230Phase1(e); break;
    case 3: RunBossType230Phase2(e); break;
    case 4: BreakBossType230Phase2(e); break;
    case 5: RunBossType230Phase3(e); break;
    case 8: RunBossType230Death(e); break;
    default: break;
  }
  // A destroyed boss's slot is cleared: its pods went with it.
  if (e.in_use == 1) MovePods(e);
  return 0;
}
