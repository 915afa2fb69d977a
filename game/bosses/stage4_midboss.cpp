// The stage 4 mid-boss (type 110): a body with a top turret and two side
// turrets that swing toward the player. Two attack phases; the side turrets
// are blown off in the one-frame break between them. When its time limit
// runs out it gives up and climbs off the top of the screen, where the pool
// removes it unpaid.
#include "bosses/stage4_midboss.h"

#include <initializer_list>

#include "bosses/boss_common.h"
#include "bosses/boss_guns.h"
#include "bosses/bosses.h"
#include "play/enemy_bullets.h"
#include "play/explosions.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

using namespace boss_guns;

void RunMoveScript(EnemyObject& e) {
  int32_t& t = BossMoveTimer(e);
  double& s = Type110ApproachSpeed(e);
  switch (e.move_state) {
    case -1: HoldBossMoveTimer(e); break;
    case 0:
      // Brakes from 4 px a frame to a floor of 0.5 on the way in.
      if (t == 0)
        s = 4.0;
      else
        s = s <= 0.5 ? 0.5 : s - 0.08;
      if (MoveEnemyToPoint(e, &e.x, &e.y, 180.0, 100.0, s) == 1) {
        e.move_state = -1;
        t = 0;
        s = 0.0;
      }
      ++t;
      break;
    case 1: RunBossSway(e, 0.3, -1, 0.1, 1); break;
    default: break;
  }
}

int32_t TurnToward(int32_t angle, double target) {
  return TruncToInt(TurnAngleToward(angle, target, 3.0));
}

void TurnTurrets(EnemyObject& e) {
  int32_t& a0 = Type110TurretAngle(e, 0);
  int32_t& a1 = Type110TurretAngle(e, 1);
  int32_t& a2 = Type110TurretAngle(e, 2);
  int32_t& top = Type110TopTurretMode(e);
  int32_t& side = Type110SideTurretMode(e);
  TurnMidBossTurret(a0, top, e.pod_x[0], e.pod_y[0]);
  switch (side) {
    case kType110TurretTrack:
      a1 = TurnToward(a1, AngleToPlayer(e.pod_x[1], e.pod_y[1]));
      a2 = TurnToward(a2, AngleToPlayer(e.pod_x[2], e.pod_y[2]));
      break;
    case kType110TurretToRest:
      a1 = TurnToward(a1, 90.0);
      a2 = TurnToward(a2, 0.0);
      if (a1 == 90 && a2 == 0) side = kType110TurretAtRest;
      break;
    case kType110TurretHeld:
      a1 = TruncToInt(WrapAngleInt(a1));
      a2 = TruncToInt(WrapAngleInt(a2));
      break;
    default: break;
  }
}

void LayOutTurretsAndGuns(EnemyObject& e) {
  const double x = e.x, y = e.y;
  e.pod_x[0] = x;
  e.pod_y[0] = y - 40.0;
  e.pod_x[1] = x - 104.0;
  e.pod_y[1] = y + 48.0;
  e.pod_x[2] = x + 104.0;
  e.pod_y[2] = y + 48.0;
  TurnTurrets(e);
  const double a0 = Type110TurretAngle(e, 0);
  const double a1 = Type110TurretAngle(e, 1);
  const double a2 = Type110TurretAngle(e, 2);
  e.gun_x[0] = e.pod_x[1] + CosDeg(a1) * 40.0;
  e.gun_y[0] = e.pod_y[1] + SinDeg(a1) * 40.0;
  e.gun_x[1] = e.pod_x[2] + CosDeg(a2) * 40.0;
  e.gun_y[1] = e.pod_y[2] + SinDeg(a2) * 40.0;
  e.gun_x[2] = e.pod_x[0] + CosDeg(a0) * 32.0;
  e.gun_y[2] = e.pod_y[0] + SinDeg(a0) * 32.0;
  e.gun_x[3] = x;
  e.gun_y[3] = y + 64.0;
}

// ---- Phase 1 pattern A: five-way fans from both side turrets ------------
struct PatternARow {
  double speeds[2];  // HELL fires every pair at both
  int speed_count;
  double count;
};
constexpr PatternARow kPatternA[3] = {{{1.8, 0}, 1, 3}, {{2.0, 0}, 1, 5}, {{2.3, 2.8}, 2, 5}};

void PatternA(EnemyObject& e, const PatternARow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (counter % 50 == 0) {
    Volley();
    e.gun_angle[0] = AimFrom(e, 0);
    e.gun_angle[1] = AimFrom(e, 1);
    for (int d = -60; d <= 60; d += 30) {
      for (int k = 0; k < r.speed_count; ++k) {
        const double speed = PatternRatio(n, 2) + r.speeds[k];
        Fan(e, 0, 7, e.gun_angle[0] + d, speed, r.count, 4);
        Fan(e, 1, 7, e.gun_angle[1] + d, speed, r.count, 4);
      }
    }
    if (++n >= 20) {
      n = 0;
      ++e.gun_shots[1];
    }
  }
  ++counter;
}

// ---- Phase 1 pattern B: aimed bursts from each turret in turn -----------
// A fan's speed is base + n / divisor and its step step0 + n * step_per_volley.
struct BurstFan {
  double base;
  int divisor;
  double count;
  int step0, step_per_volley;
};
struct PatternBRow {
  int volleys;
  BurstFan every[2];
  BurstFan top[2];  // added when the top turret's turn comes
  int top_count;
};
constexpr PatternBRow kPatternB[3] = {
    {15, {{2.0, 2, 1, 0, 0}, {3.0, 2, 4, 100, -4}}, {{1.0, 5, 2, 85, -4}, {}}, 1},
    {20, {{2.0, 2, 1, 0, 0}, {3.0, 2, 4, 100, -4}}, {{1.0, 5, 2, 85, -4}, {}}, 1},
    {20, {{2.4, 2, 3, 28, -1}, {3.4, 2, 4, 100, -4}}, {{1.3, 5, 2, 85, -4}, {1.0, 5, 2, 80, -4}}, 2},
};

void FireBurstFan(EnemyObject& e, int gun, const BurstFan& f, int n) {
  Fan(e, gun, 0, e.gun_angle[0], PatternRatio(n, f.divisor) + f.base, f.count,
      f.step0 + f.step_per_volley * n);
}

void PatternB(EnemyObject& e, const PatternBRow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  int32_t& turn = e.gun_shots[1];
  if (counter % 3 == 0) {
    const int gun = turn % 3;
    if (n == 0) e.gun_angle[0] = AimFrom(e, gun);
    if (n < r.volleys) {
      Volley();
      for (const BurstFan& f : r.every) FireBurstFan(e, gun, f, n);
      if (gun == 2)
        for (int k = 0; k < r.top_count; ++k) FireBurstFan(e, gun, r.top[k], n);
    }
    if (++n >= 20) {
      n = 0;
      ++turn;
    }
  }
  ++counter;
}

// ---- Phase 1 pattern C: side turrets sweeping out, top turret aiming ----
struct PatternCRow {
  int interval;
  double speed, count, step;
  int burst_volleys;
  int burst_gun;  // whose counter and shot count run the top turret's stream
  bool hell;
};
constexpr PatternCRow kPatternC[3] = {
    {8, 2.0, 2, 5, 6, 1, false}, {4, 2.5, 2, 10, 10, 1, false}, {4, 2.5, 3, 10, 10, 10, true}};

void PatternC(EnemyObject& e, const PatternCRow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (counter % r.interval == 0) {
    Volley();
    int32_t& a1 = Type110TurretAngle(e, 1);
    int32_t& a2 = Type110TurretAngle(e, 2);
    a1 = 90 - 14 * n;
    a2 = 14 * n;
    // From the muzzles laid out at the start of the frame.
    for (int k = 0; k < 2; ++k) {
      Fan(e, 0, 0, a1, k + r.speed, r.count, r.step);
      Fan(e, 1, 0, a2, k + r.speed, r.count, r.step);
    }
    ++n;
  }
  ++counter;

  int32_t& c = e.gun_counter[r.burst_gun];
  int32_t& shots = e.gun_shots[r.burst_gun];
  int32_t& bursts = e.gun_shots[11];
  if (c >= 101 && c % 5 == 0) {
    e.gun_angle[2] = AimFrom(e, 2);
    const double aim = e.gun_angle[2];
    if (shots < r.burst_volleys) {
      Volley();
      Fan(e, 2, 10, aim, 2.0, 2, 40);
      Fan(e, 2, 10, aim, 2.5, 3, 40);
      if (r.hell) {
        const int sigma = SignOf(bursts % 2);
        Fan(e, 2, 10, aim + 4 * sigma, 3.3, 2, 40);
        Fan(e, 2, 10, aim + 4 * sigma, 3.8, 3, 40);
      }
    }
    if (++shots >= 16) {
      shots = 0;
      ++bursts;
    }
  }
  ++c;
}

// ---- Phase 2: wobbling fans from the belly, the top turret sweeping -----
struct Phase2Row {
  int interval;
  double speed, count, step;
  bool hell;
  int sweep_interval;
  double sweep_speeds[3];
  int sweep_speed_count;
};
constexpr Phase2Row kPhase2[3] = {
    {20, 2.0, 9, 16, false, 6, {2.5}, 1},
    {15, 2.5, 13, 12, false, 3, {3.4, 3.0}, 2},
    {15, 2.5, 13, 14, true, 3, {3.6, 3.4, 3.2}, 3},
};

void Phase2Pattern(EnemyObject& e, const Phase2Row& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (counter % r.interval == 0) {
    Volley();
    e.gun_angle[0] = AimFrom(e, 3);
    const double aim = e.gun_angle[0];
    Fan(e, 3, 4, aim + CosDeg(7 * n) * 30.0, r.speed, r.count, r.step);
    if (r.hell) Fan(e, 3, 4, aim + CosDeg(-5 * n) * 35.0, 2.7, 13, 14);
    ++n;
  }
  ++counter;

  int32_t& sweep_counter = e.gun_counter[1];
  int32_t& m = e.gun_shots[1];
  if (sweep_counter % r.sweep_interval == 0) {
    int32_t& a0 = Type110TurretAngle(e, 0);
    a0 = TruncToInt(SinDeg(13 * m) * 60.0 + 90.0);
    for (int k = 0; k < r.sweep_speed_count; ++k) Fan(e, 2, 7, a0, r.sweep_speeds[k], 2, 3);
    ++m;
  }
  ++sweep_counter;
}

bool TimeIsUp(const EnemyObject& e) { return e.mid_boss_timer <= 0; }

}  // namespace

void FireType110PatternAHeaven(EnemyObject& e) { PatternA(e, kPatternA[kHeaven]); }
void FireType110PatternAOriginal(EnemyObject& e) { PatternA(e, kPatternA[kOriginal]); }
void FireType110PatternAHell(EnemyObject& e) { PatternA(e, kPatternA[kHell]); }
void FireType110PatternBHeaven(EnemyObject& e) { PatternB(e, kPatternB[kHeaven]); }
void FireType110PatternBOriginal(EnemyObject& e) { PatternB(e, kPatternB[kOriginal]); }
void FireType110PatternBHell(EnemyObject& e) { PatternB(e, kPatternB[kHell]); }
void FireType110PatternCHeaven(EnemyObject& e) { PatternC(e, kPatternC[kHeaven]); }
void FireType110PatternCOriginal(EnemyObject& e) { PatternC(e, kPatternC[kOriginal]); }
void FireType110PatternCHell(EnemyObject& e) { PatternC(e, kPatternC[kHell]); }
void FireType110Phase2PatternAHeaven(EnemyObject& e) { Phase2Pattern(e, kPhase2[kHeaven]); }
void FireType110Phase2PatternAOriginal(EnemyObject& e) { Phase2Pattern(e, kPhase2[kOriginal]); }
void FireType110Phase2PatternAHell(EnemyObject& e) { Phase2Pattern(e, kPhase2[kHell]); }

void EnterMidBossType110(EnemyObject& e) {
  int32_t& step = BossEntryStep(e);
  if (step == 0) {
    Type110TopTurretMode(e) = kType110TurretTrack;
    Type110SideTurretMode(e) = kType110TurretTrack;
    ++e.state_timer;
    if (e.move_state == -1) {
      e.state_timer = 0;
      e.move_state = 1;
      step = 1;
    }
    return;
  }
  ++e.state_timer;
  if (e.state_timer >= 60) SetBossLifeState(e, 1);
}

void RunMidBossType110Phase1(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType110PatternAHeaven, FireType110PatternAOriginal,
                                        FireType110PatternAHell};
  static constexpr BossPattern kB[3] = {FireType110PatternBHeaven, FireType110PatternBOriginal,
                                        FireType110PatternBHell};
  static constexpr BossPattern kC[3] = {FireType110PatternCHeaven, FireType110PatternCOriginal,
                                        FireType110PatternCHell};
  int32_t& step = BossPatternStep(e, 1);
  int32_t& side = Type110SideTurretMode(e);
  switch (step) {
    case 0:
      if (RunBossWindowStep(e, {&kA, 0, 149, 180})) step = 1;
      break;
    case 1:
      if (RunBossWindowStep(e, {&kB, 0, 179, 240})) {
        step = 2;
        side = kType110TurretToRest;
      }
      break;
    case 2:
      // Pattern C sweeps out from the rest angles, so it waits for them.
      if (side == kType110TurretAtRest) {
        step = 3;
        side = kType110TurretHeld;
      }
      break;
    case 3:
      if (InBossWindow(e, 61, 799)) RunBossPattern(e, kC);
      if (e.state_timer >= 800) side = kType110TurretTrack;
      if (CountBossStep(e, 900)) step = 0;
      break;
    default:
      step = 0;  // a corrupted step restarts the cycle
      break;
  }
}

void BreakMidBossType110Phase1(EnemyObject& e) {
  int32_t& done = Type110BreakDone(e);
  if (done == 0) {
    Type110TopTurretMode(e) = kType110TurretToRest;
    SetBossLook(e, 1);
    EndBossPhase(e);
    done = 1;
    PlaySoundEffect(21);
    SpawnBossSideBlasts(e);
    const double x = e.x, y = e.y;
    for (int a = 0; a <= 300; a += 60)
      for (double side_x : {x - 120.0, x + 120.0}) SpawnBossDebrisPiece(side_x, y, a);
  }
  SetBossLifeState(e, 3);
}

void RunMidBossType110Phase2(EnemyObject& e) {
  static constexpr BossPattern kSets[3] = {FireType110Phase2PatternAHeaven,
                                           FireType110Phase2PatternAOriginal,
                                           FireType110Phase2PatternAHell};
  if (e.state_timer >= 101 && !TimeIsUp(e)) RunBossPattern(e, kSets);
  ++e.state_timer;
}

void RunMidBossType110Death(EnemyObject& e) { RunMidBossDeathFrame(e, false); }

int UpdateMidBossType110(EnemyObject& e) {
  RunMoveScript(e);
  double& s = Type110ApproachSpeed(e);
  if (TimeIsUp(e)) s = -1.0;
  e.vy += s;
  LayOutTurretsAndGuns(e);
  switch (e.life_state) {
    case 0: EnterMidBossType110(e); break;
    case 1: RunMidBossType110Phase1(e); break;
    case 2: BreakMidBossType110Phase1(e); break;
    case 3: RunMidBossType110Phase2(e); break;
    case 8: RunMidBossType110Death(e); break;
    default: break;
  }
  return 0;
}
