// The stage 5 mid-boss (type 120): slides in from beyond the right edge,
// braking hard, settles at its post and fights two attack phases with one
// turret on top and six fixed guns; in phase 1 it lunges forward and back.
// One time limit covers the whole fight, after which it climbs away.
#include "bosses/stage5_midboss.h"

#include "bosses/boss_common.h"
#include "bosses/boss_guns.h"
#include "bosses/bosses.h"
#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "shell/game_math.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

using namespace boss_guns;

// The turret angle A0, whole degrees; the drawing turns the turret by it.
int32_t& TurretAngle(EnemyObject& e) { return e.turn_angles[0]; }

void RunMoveScript(EnemyObject& e) {
  int32_t& t = BossMoveTimer(e);
  switch (e.move_state) {
    case 0:  // slide in, braking from 12 px a frame
      if (t == 0) e.vx = -12.0;
      ++t;
      if (e.vx < 0.0) {
        e.vx += 0.15;
      } else {
        e.vx = 0.0;
        FinishBossMotion(e, -1);
      }
      break;
    case 1:
      RunBossSwayHalfTime(e, 0.2, -1, 0.2);
      break;
    case 2:
      RunBossVerticalBrake(e, 3.0, -0.04, -2);
      break;
    case 20:
      RunBossMoveToPoint(e, 180.0, 100.0, Type120ApproachSpeed(e), -20);
      break;
    case 30:
      e.vx = 0.0;
      e.vy = 0.0;
      break;
    default:
      t = 0;
      break;
  }
}

// After the time limit it climbs away, except while it moves to its post or
// lunges. In the waits between motions (negative move states) nothing
// resets vy, so the climb adds up frame by frame there.
void Climb(EnemyObject& e) {
  double& climb = Type120ClimbSpeed(e);
  if (e.mid_boss_timer < 1) climb = (e.move_state == 20 || e.move_state == 2) ? 0.0 : -1.0;
  e.vy += climb;
}

void LayOutTurretAndGuns(EnemyObject& e) {
  const double x = e.x, y = e.y;
  e.pod_x[0] = x;
  e.pod_y[0] = y - 16.0;
  TurnMidBossTurret(TurretAngle(e), Type120TurretMode(e), e.pod_x[0], e.pod_y[0]);
  const int a0 = TurretAngle(e);
  e.gun_x[0] = e.pod_x[0] + 40.0 * CosDeg(a0);
  e.gun_y[0] = e.pod_y[0] + 40.0 * SinDeg(a0);
  const double gx[6] = {x - 112, x - 48, x + 48, x + 112, x - 100, x + 100};
  const double gy[6] = {y + 120, y + 72, y + 72, y + 120, y - 64, y - 64};
  for (int g = 0; g < 6; ++g) {
    e.gun_x[1 + g] = gx[g];
    e.gun_y[1 + g] = gy[g];
  }
}

void StartMoveToPost(EnemyObject& e, int speed) {
  Type120ApproachSpeed(e) = speed;
  e.move_state = 20;
}

// ---- Phase 1 pattern A: two turret sweeps, 0 to 180 and back ------------
void PatternA(EnemyObject& e, int set) {
  int32_t& counter = e.gun_counter[0];
  int32_t& s0 = e.gun_shots[0];
  int32_t& s1 = e.gun_shots[1];
  if (counter % 5 == 0 && s1 < 2) {
    Volley();
    const int h = s1 % 2;
    const int a0 = 180 * h - SignOf(h) * 12 * s0;
    TurretAngle(e) = a0;
    const double speed = PatternRatio(s0, 5);
    const int count = set == kHeaven ? 4 : 6;
    const int step = set == kHeaven ? 21 : 19;
    Fan(e, 0, 10, a0, speed + 1.0, count, step);
    if (set == kHell) Fan(e, 0, 0, a0, speed + 2.0, 6, 19);
    if (++s0 >= 16) {
      s0 = 0;
      ++s1;
    }
  }
  ++counter;
}

// ---- Phase 1 pattern B: columns down, and sprays up from guns 5/6 --------
struct PatternBRow {
  int interval;
  double count, step;
  int sprays;
};
constexpr PatternBRow kPatternB[3] = {{25, 1, 0, 4}, {15, 1, 0, 8}, {15, 3, 40, 8}};

void PatternB(EnemyObject& e, const PatternBRow& r) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& s0 = e.gun_shots[0];
  if (c0 % r.interval == 0) {
    if (s0 < 2) {
      Volley();
      Fan(e, 1, 4, 90.0, 1.2, 1, 0);
      Fan(e, 4, 4, 90.0, 1.2, 1, 0);
      Fan(e, 2, 0, 90.0, 1.5, r.count, r.step);
      Fan(e, 3, 0, 90.0, 1.5, r.count, r.step);
    }
    if (++s0 >= 4) s0 = 0;
  }
  ++c0;

  int32_t& c10 = e.gun_counter[10];
  int32_t& s10 = e.gun_shots[10];
  int32_t& s11 = e.gun_shots[11];
  if (c10 % 4 == 0) {
    if (s10 < r.sprays) {
      Volley();
      const int spread = RandomIntSigned(30);
      Fan(e, s11 % 2 == 1 ? 6 : 5, 28, 270.0 + spread, 1.5, 1, 0);
    }
    if (++s10 >= 15) {
      s10 = 0;
      ++s11;
    }
  }
  ++c10;
}

// ---- Phase 1 pattern C: slow heavy shots and turret bursts ---------------
struct PatternCRow {
  int heavy_interval;
  int burst_interval;
  double count, step;
};
constexpr PatternCRow kPatternC[3] = {{140, 30, 1, 0}, {120, 25, 3, 30}, {90, 20, 7, 20}};

void PatternC(EnemyObject& e, const PatternCRow& r) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (c0 % r.heavy_interval == 0) {
    Volley();
    const double turn = 3.0 * n;
    if (n % 2 == 1)
      SingleEx(e, 4, 30, 90.0, 2.5, 0.0, turn);
    else
      SingleEx(e, 1, 30, 90.0, 2.5, 1.0, turn);
    ++n;
  }
  ++c0;

  int32_t& c10 = e.gun_counter[10];
  if (c10 % r.burst_interval == 0) {
    Volley();
    const int a0 = TurretAngle(e);
    e.gun_angle[0] = a0;
    const int spread = RandomIntSigned(5);
    Fan(e, 0, 7, a0 + spread, 2.0, r.count, r.step);
  }
  ++c10;
}

// ---- Phase 2: alternate drops, and rings that turn with the turret -------
struct Phase2Row {
  int drop_interval;
  int ring_interval, ring_step;
  double speed5;
  double speed4, count4, step4;
};
constexpr Phase2Row kPhase2[3] = {
    {60, 9, 120, 2.0, 2.5, 1, 0}, {50, 5, 90, 3.0, 3.5, 1, 0}, {40, 5, 60, 3.5, 4.0, 2, 4}};

void Phase2Pattern(EnemyObject& e, const Phase2Row& r) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& s0 = e.gun_shots[0];
  if (c0 % r.drop_interval == 0) {
    Volley();
    Fan(e, s0 % 2 == 1 ? 4 : 1, 29, 90.0, 4.0, 1, 0);
    ++s0;
  }
  ++c0;

  int32_t& c10 = e.gun_counter[10];
  int32_t& s10 = e.gun_shots[10];
  int32_t& s11 = e.gun_shots[11];
  if (c10 >= 91 && c10 % r.ring_interval == 0) {
    Volley();
    for (int a = 0; a < 360; a += r.ring_step) {
      Fan(e, 0, 5, a - 11 * s10 + 45, r.speed5, 1, 0);
      Fan(e, 0, 4, a + 11 * s11, r.speed4, r.count4, r.step4);
    }
    ++s10;
    if (s10 % 4 == 0) ++s11;
    TurretAngle(e) += 11;
  }
  ++c10;
}

}  // namespace

int32_t& Type120TurretMode(EnemyObject& e) { return e.script_states[16]; }
int32_t& Type120ApproachSpeed(EnemyObject& e) { return e.script_states[17]; }
double& Type120ClimbSpeed(EnemyObject& e) { return e.motion_y; }

void FireType120PatternAHeaven(EnemyObject& e) { PatternA(e, kHeaven); }
void FireType120PatternAOriginal(EnemyObject& e) { PatternA(e, kOriginal); }
void FireType120PatternAHell(EnemyObject& e) { PatternA(e, kHell); }
void FireType120PatternBHeaven(EnemyObject& e) { PatternB(e, kPatternB[kHeaven]); }
void FireType120PatternBOriginal(EnemyObject& e) { PatternB(e, kPatternB[kOriginal]); }
void FireType120PatternBHell(EnemyObject& e) { PatternB(e, kPatternB[kHell]); }
void FireType120PatternCHeaven(EnemyObject& e) { PatternC(e, kPatternC[kHeaven]); }
void FireType120PatternCOriginal(EnemyObject& e) { PatternC(e, kPatternC[kOriginal]); }
void FireType120PatternCHell(EnemyObject& e) { PatternC(e, kPatternC[kHell]); }
void FireType120Phase2PatternAHeaven(EnemyObject& e) { Phase2Pattern(e, kPhase2[kHeaven]); }
void FireType120Phase2PatternAOriginal(EnemyObject& e) { Phase2Pattern(e, kPhase2[kOriginal]); }
void FireType120Phase2PatternAHell(EnemyObject& e) { Phase2Pattern(e, kPhase2[kHell]); }

void EnterMidBossType120(EnemyObject& e) {
  if (e.move_state == -1) {
    StartMoveToPost(e, 3);
  } else if (e.move_state == -20) {
    SetBossLifeState(e, 1);
    e.move_state = 1;
    Type120TurretMode(e) = kMidBossTurretHeld;
  }
}

void RunMidBossType120Phase1(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType120PatternAHeaven, FireType120PatternAOriginal,
                                        FireType120PatternAHell};
  static constexpr BossPattern kB[3] = {FireType120PatternBHeaven, FireType120PatternBOriginal,
                                        FireType120PatternBHell};
  static constexpr BossPattern kC[3] = {FireType120PatternCHeaven, FireType120PatternCOriginal,
                                        FireType120PatternCHell};
  int32_t& step = BossPatternStep(e, 1);
  switch (step) {
    case 0:
      if (InBossWindow(e, 61, 239)) RunBossPattern(e, kA);
      if (e.move_state == -20) {
        ResetEnemyGuns(e);
        e.state_timer = 0;
        step = 1;
        e.move_state = 2;
        Type120TurretMode(e) = kMidBossTurretToRest;
        break;
      }
      // From frame 279 back to the post, slowly; once started the move is
      // left to run (a later frame must not restart it).
      if (e.state_timer >= 279 && e.move_state != 20) StartMoveToPost(e, 1);
      ++e.state_timer;
      break;
    case 1:  // the lunge, the timer standing still
      if (e.move_state == -2) {
        step = 2;
        e.move_state = 1;
      }
      break;
    case 2:
      if (RunBossWindowStep(e, {&kB, 0, 569, 570})) {
        StartMoveToPost(e, 2);
        step = 3;
      }
      break;
    case 3:  // back to the post, the timer standing still
      if (e.move_state == -20) {
        step = 4;
        e.move_state = 1;
        Type120TurretMode(e) = kMidBossTurretTrack;
      }
      break;
    case 4:
      if (RunBossWindowStep(e, {&kC, 61, 799, 860})) step = 0;
      break;
    default:
      step = 0;  // a corrupted step restarts the cycle
      break;
  }
}

void BreakMidBossType120Phase1(EnemyObject& e) {
  int32_t& step = BossBreakStep(e, 1);
  if (step == 0) {
    EndBossPhase(e);
    step = 1;
    StartMoveToPost(e, 2);
    Type120TurretMode(e) = kMidBossTurretToRest;
  } else if (e.move_state == -20 && Type120TurretMode(e) == kMidBossTurretAtRest) {
    e.move_state = 1;
    Type120TurretMode(e) = kMidBossTurretHeld;
    SetBossLifeState(e, 3);
  }
}

void RunMidBossType120Phase2(EnemyObject& e) {
  static constexpr BossPattern kSets[3] = {FireType120Phase2PatternAHeaven,
                                           FireType120Phase2PatternAOriginal,
                                           FireType120Phase2PatternAHell};
  if (e.state_timer > 100) RunBossPattern(e, kSets);
  ++e.state_timer;
}

void RunMidBossType120Death(EnemyObject& e) { RunMidBossDeathFrame(e, false); }

int UpdateMidBossType120(EnemyObject& e) {
  RunMoveScript(e);
  Climb(e);
  LayOutTurretAndGuns(e);
  switch (e.life_state) {
    case 0:
      EnterMidBossType120(e);
      break;
    case 1:
      RunMidBossType120Phase1(e);
      break;
    case 2:
      BreakMidBossType120Phase1(e);
      break;
    case 3:
      RunMidBossType120Phase2(e);
      break;
    case 8:
      RunMidBossType120Death(e);
      break;
    default:
      break;
  }
  return 0;
}
