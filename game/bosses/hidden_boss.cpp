// The hidden boss (type 250): a small craft with four attack phases and one
// pattern set for every difficulty. It brings its own music and background,
// shields itself while the player is invulnerable, and in phase 3 leaves an
// anchor at its low point that goes on firing while it returns to its post.
#include "bosses/hidden_boss.h"

#include "bosses/boss_common.h"
#include "bosses/boss_guns.h"
#include "bosses/bosses.h"
#include "kesto/kesto.h"
#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/explosions.h"
#include "play/player.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

using namespace boss_guns;

// Every bullet of this boss is a fan of one; some leave from points round
// gun 0 rather than from a gun.
void FanOfOneAt(const EnemyObject& e, double x, double y, int type, double angle, double speed) {
  FireBulletFan(x, y, type, angle, speed, 1, 0, Owner(e));
}
void FanOfOneEx(const EnemyObject& e, int gun, int type, double angle, double speed, double p1,
                double p2) {
  FanEx(e, gun, type, angle, speed, 1, 0, p1, p2);
}

// The interval of a stream whose volleys come faster as it goes on: `first`
// for volleys below `n1`, `second` below `n2`, `last` after. The stream fires
// when its counter is a multiple of the interval for its current volley.
int Interval(int volley, int n1, int first, int n2, int second, int last) {
  if (volley < n1) return first;
  if (volley < n2) return second;
  return last;
}

// Sway offsets of motions 3 and 5, carried from frame to frame.
double& DriftX(EnemyObject& e) { return e.motion_x; }
double& DriftY(EnemyObject& e) { return e.motion_y; }

void RunMoveScript(EnemyObject& e) {
  int32_t& t = BossMoveTimer(e);
  switch (e.move_state) {
    case -1:
      HoldBossMoveTimer(e);
      break;
    case 1:
      RunBossMoveToPoint(e, 180.0, 100.0, 2.0, -1);
      break;
    case 2:
      RunBossSway(e, 0.2, 2, 0.1, 1);
      break;
    case 3:
      e.vx = 3.0 * CosDeg(2.0 * t) + DriftX(e);
      e.vy = 0.1 * SinDeg(t) + DriftY(e);
      DriftX(e) = 0.5 * CosDeg(-5.0 * t);
      DriftY(e) = SinDeg(5.0 * t);
      ++t;
      break;
    case 4:
      RunBossMoveToPoint(e, 180.0, 360.0, 3.0, -4);
      break;
    case 5:
      e.vx = 2.2 * CosDeg(t) + DriftX(e);
      e.vy = 0.1 * SinDeg(2.0 * t) + DriftY(e);
      DriftX(e) = 0.5 * CosDeg(-7.0 * t);
      DriftY(e) = 1.2 * SinDeg(4.0 * t);
      ++t;
      break;
    case 50:
      RunBossMoveToPoint(e, 180.0, 100.0, 2.0, -50);
      break;
    case 51:
      RunBossMoveToPoint(e, 180.0, 100.0, 1.0, -51);
      break;
    default:
      break;  // 0: waits where it was placed
  }
}

void LayOutGuns(EnemyObject& e) {
  if (Type250AnchorHeld(e) == 0) {
    e.pod_x[0] = e.x;
    e.pod_y[0] = e.y;
  }
  for (int g = 0; g < 2; ++g) {
    e.gun_x[g] = e.x;
    e.gun_y[g] = e.y - 40.0;
  }
  e.gun_x[2] = e.pod_x[0];
  e.gun_y[2] = e.pod_y[0] - 20.0;
}

// While the player cannot be hit, neither can the boss: shots are absorbed.
void Shield(EnemyObject& e) {
  const int s = e.life_state;
  if (s != 1 && s != 3 && s != 5 && s != 7) return;
  const bool guarded = GetPlayerGuardTimer() > 0;
  e.collision_class = guarded ? 3 : 0;
  SetBossLook(e, guarded ? 1 : 0);
}

// A break's last wait: 60 frames from its start, then the next phase.
void WaitThenEnter(EnemyObject& e, int next_state, int next_move) {
  if (++e.state_timer < 60) return;
  SetBossLifeState(e, next_state);
  if (next_move >= 0) e.move_state = next_move;
}

// Break steps shared by the three breaks: 0 ends the phase and heads for
// the post; 1 waits there; 2 waits 60 frames.
void RunBreak(EnemyObject& e, int brk, int arrived_move, int next_state, int next_move) {
  int32_t& step = BossBreakStep(e, brk);
  switch (step) {
    case 0:
      if (brk == 3) BossAnchorShown(e) = 0;
      EndBossPhase(e);
      e.move_state = 50;
      step = 1;
      break;
    case 1:
      if (e.move_state == -50) {
        if (arrived_move >= 0) e.move_state = arrived_move;
        e.state_timer = 0;
        step = 2;
      }
      break;
    default:
      WaitThenEnter(e, next_state, next_move);
      break;
  }
}

}  // namespace

int32_t& Type250AnchorHeld(EnemyObject& e) { return e.script_states[16]; }
int32_t& Type250Phase2Side(EnemyObject& e) { return e.script_states[17]; }

// ---- Phase 1 -------------------------------------------------------------
// Rings of 36 from an ellipse around gun 0, aimed, coming faster.
void FireType250PatternA(EnemyObject& e) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (c0 % Interval(n, 5, 20, 12, 12, 8) == 0) {
    Volley();
    e.gun_angle[0] = AimFrom(e, 0);
    const double gx = e.gun_x[0], gy = e.gun_y[0];
    for (int a = 0; a < 360; a += 10) {
      const int p = 10 * n + a;
      FanOfOneAt(e, gx + 24 * CosDeg(p), gy + 16 * SinDeg(p), 10, a + e.gun_angle[0] + 5 - 2 * n,
                 6.0);
    }
    ++n;
  }
  ++c0;
}

// Rings of 60 that turn one way and then the other, re-aimed every 10.
void FireType250PatternB(EnemyObject& e) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  int32_t& c = e.gun_shots[1];
  if (c0 % 6 == 0) {
    Volley();
    const double gx = e.gun_x[0], gy = e.gun_y[0];
    const int turn = n * SignOf(c % 2);
    for (int a = 0; a < 360; a += 6) {
      const int p = 7 * n + a;
      FanOfOneAt(e, gx + 24 * CosDeg(p), gy + 16 * SinDeg(p), 0, a + e.gun_angle[0] + turn, 6.5);
    }
    if (++n % 10 == 0) {
      e.gun_angle[0] = AimFrom(e, 0);
      ++c;
    }
  }
  ++c0;
}

// Random drops coming faster, over rings that speed up by halves.
void FireType250PatternC(EnemyObject& e) {
  int32_t& c1 = e.gun_counter[1];
  int32_t& n = e.gun_shots[1];
  if (c1 >= 181 && c1 % Interval(n, 10, 40, 20, 30, 20) == 0) {
    Volley();
    const int spread = RandomIntSigned(30);
    FanOfOneAt(e, e.gun_x[0], e.gun_y[0], 40, 90 + spread, 4.0);
    ++n;
  }
  ++c1;

  int32_t& c0 = e.gun_counter[0];
  int32_t& beat = e.gun_shots[0];
  if (c0 % 7 == 0) {
    Volley();
    if (beat < 6) {
      const double speed = PatternRatio(beat, 2) + 2.0;
      for (int a = 0; a < 360; a += 9) FanOfOneAt(e, e.gun_x[0], e.gun_y[0], 41, a, speed);
    }
    beat = (beat + 1) % 8;
  }
  ++c0;
}

// ---- Phase 2 -------------------------------------------------------------
// Four turning fans and two turning triples, turning by the side.
void FireType250Phase2PatternA(EnemyObject& e, int side) {
  const int sigma = side == 1 ? 1 : -1;
  int32_t& c0 = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (c0 == 0) e.gun_angle[0] = RandomIntSigned(90);
  const double theta = e.gun_angle[0];
  if (c0 % 10 == 0) {
    Volley();
    const int turn = 11 * n * sigma;
    for (int quarter : {0, 180, 90, 270}) Fan(e, 0, 7, turn + quarter + theta, 5.5, 11, 5);
    ++n;
  }
  ++c0;

  int32_t& c1 = e.gun_counter[1];
  int32_t& m = e.gun_shots[1];
  if (c1 % 4 == 0) {
    Volley();
    const int turn = 5 * m * sigma;
    Fan(e, 0, 5, turn + 220 + theta, 4.0, 3, 6);
    Fan(e, 0, 5, turn + 40 + theta, 4.0, 3, 6);
    ++m;
  }
  ++c1;
}

// Slowly turning rings of 15, over aimed ring bursts.
void FireType250Phase2PatternB(EnemyObject& e) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  int32_t& c = e.gun_shots[2];
  if (c0 % 9 == 0) {
    Volley();
    const int turn = n * SignOf(c % 2);
    for (int a = 0; a < 360; a += 24) FanOfOneAt(e, e.gun_x[0], e.gun_y[0], 42, a - turn, 3.6);
    if (++n % 60 == 0) ++c;
  }
  ++c0;

  int32_t& c1 = e.gun_counter[1];
  int32_t& p = e.gun_shots[1];
  int32_t& k = e.gun_shots[3];
  if (c1 > 180 && c1 % 8 == 0) {
    Volley();
    e.gun_angle[0] = AimFrom(e, 0);
    if (p < k % 3 + 3) {
      const double speed = k % 3 + 3.0;
      for (int a = 0; a < 360; a += 10)
        FanOfOneAt(e, e.gun_x[0], e.gun_y[0], 10, a + 5 * (p % 2) + e.gun_angle[0], speed);
    }
    if (++p >= 12) {
      p = 0;
      ++k;
    }
  }
  ++c1;
}

// ---- Phase 3 -------------------------------------------------------------
// Waving shots from the held anchor, and a double spiral from the boss.
void FireType250Phase3PatternA(EnemyObject& e) {
  int32_t& c2 = e.gun_counter[2];
  int32_t& n = e.gun_shots[2];
  if (c2 % Interval(n, 20, 15, 50, 9, 5) == 0) {
    Volley();
    for (int q = 0; q < 360; q += 90) {
      const int turn = RandomIntSigned(20);
      FanOfOneEx(e, 2, 43, 90 + 60 * SinDeg(q - 7 * n), 7.0, 270.0 + turn, 0.0);
    }
    ++n;
  }
  ++c2;

  int32_t& c0 = e.gun_counter[0];
  int32_t& m = e.gun_shots[0];
  int32_t& c = e.gun_shots[1];
  if (c0 % 3 == 0) {
    Volley();
    const int sigma = SignOf(c % 2);
    FanOfOneEx(e, 0, 1, -180 * (c % 2) + 3 * m * sigma, 7.0, 0.0, 0.0);
    FanOfOneEx(e, 0, 1, 270 - 3 * m * sigma, 7.0, 0.0, 0.0);
    if (++m > 64) {
      m = 0;
      ++c;
    }
  }
  ++c0;
}

// ---- Phase 4 -------------------------------------------------------------
// Rings of 15 whose bullets curve by an aim carried in their parameters.
void FireType250Phase4PatternA(EnemyObject& e) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  int32_t& c = e.gun_shots[1];
  int32_t& d = e.gun_shots[2];
  if (c0 % Interval(n, 10, 30, 25, 20, 12) == 0) {
    Volley();
    const double bend = e.gun_angle[0] + 7 * n * SignOf(c % 2);
    const double way = SignOf(d % 2);
    for (int a = 0; a < 360; a += 24) FanOfOneEx(e, 0, 44, a, 5.0, bend, way);
    ++n;
    if (n % 20 == 0) ++c;
    if (n % 20 == 10) {
      e.gun_angle[0] = AimFrom(e, 0);
      ++d;
    }
  }
  ++c0;
}

// ---- Life states ---------------------------------------------------------
void EnterBossType250(EnemyObject& e) {
  int32_t& step = BossEntryStep(e);
  switch (step) {
    case 0:
      SetScrollMode(4);
      SpawnExplosion(e.x, e.y, 111, 0.0, 0.0);
      e.state_timer = 0;
      step = 1;
      break;
    case 1:
      if (++e.state_timer >= 120) {
        e.state_timer = 0;
        e.move_state = 1;
        step = 2;
      }
      break;
    case 2:
      if (e.move_state == -1) {
        PlayBgm(9);
        e.state_timer = 0;  // the last wait counts from here
        step = 3;
      }
      break;
    default:
      if (++e.state_timer >= 120) {
        SetBossLifeState(e, 1);
        e.move_state = 2;
        e.collision_class = 0;
      }
      break;
  }
}

void RunBossType250Phase1(EnemyObject& e) {
  int32_t& step = BossPatternStep(e, 1);
  switch (step) {
    case 0:
      if (InBossWindow(e, 0, 499)) FireType250PatternA(e);
      if (CountBossStep(e, 520)) step = 1;
      break;
    case 1:
      if (InBossWindow(e, 0, 399)) FireType250PatternB(e);
      if (CountBossStep(e, 460)) {
        step = 3;
        e.move_state = 50;
      }
      break;
    case 3:
    case 5:
      // The timer runs on through the move to the post, so the next step
      // starts that many frames in.
      ++e.state_timer;
      if (e.move_state == -50) {
        e.move_state = step == 3 ? 3 : 2;
        step = step == 3 ? 4 : 0;
      }
      break;
    case 4:
      if (InBossWindow(e, 61, 1999)) FireType250PatternC(e);
      if (CountBossStep(e, 2060)) {
        step = 5;
        e.move_state = 50;
      }
      break;
    default:
      step = 0;
      break;
  }
}

void BreakBossType250Phase1(EnemyObject& e) { RunBreak(e, 1, 2, 3, -1); }

void RunBossType250Phase2(EnemyObject& e) {
  int32_t& step = BossPatternStep(e, 2);
  if (step == 0) {
    if (e.state_timer == 0) Type250Phase2Side(e) = RandomInt(2);
    if (InBossWindow(e, 61, 399)) FireType250Phase2PatternA(e, Type250Phase2Side(e));
    if (CountBossStep(e, 400)) step = 2;
    return;
  }
  step = 2;
  if (e.state_timer > 60) FireType250Phase2PatternB(e);
  ++e.state_timer;
}

void BreakBossType250Phase2(EnemyObject& e) { RunBreak(e, 2, -1, 5, -1); }

void RunBossType250Phase3(EnemyObject& e) {
  int32_t& step = BossPatternStep(e, 3);
  switch (step) {
    case 0:
      if (e.state_timer == 0) e.move_state = 4;
      ++e.state_timer;
      if (e.move_state == -4) {
        e.state_timer = 0;
        ResetEnemyGuns(e);
        step = 1;
        Type250AnchorHeld(e) = 1;  // the anchor stays at the low point
        BossAnchorShown(e) = 1;
      }
      break;
    case 1:
      if (e.move_state == -50) {
        e.state_timer = 0;
        ResetEnemyGuns(e);
        step = 2;
        e.move_state = 2;
        break;
      }
      if (e.state_timer == 30) e.move_state = 50;
      ++e.state_timer;
      break;
    default:
      step = 2;
      if (e.state_timer > 20) FireType250Phase3PatternA(e);
      ++e.state_timer;
      break;
  }
}

void BreakBossType250Phase3(EnemyObject& e) { RunBreak(e, 3, -1, 7, 5); }

void RunBossType250Phase4(EnemyObject& e) {
  if (e.state_timer > 120) FireType250Phase4PatternA(e);
  ++e.state_timer;
}

void RunBossType250Death(EnemyObject& e) {
  if (e.state_timer == 0) {
    e.move_state = 51;
    SetScrollMode(5);
    SpawnExplosion(e.x, e.y, 111, 0.0, 0.0);
  }
  RunBossDeathFrame(e, true);
}

int UpdateBossType250(EnemyObject& e) {
  RunMoveScript(e);
  LayOutGuns(e);
  switch (e.life_state) {
    case 0:
      EnterBossType250(e);
      break;
    case 1:
      RunBossType250Phase1(e);
      break;
    case 2:
      BreakBossType250Phase1(e);
      break;
    case 3:
      RunBossType250Phase2(e);
      break;
    case 4:
      BreakBossType250Phase2(e);
      break;
    case 5:
      RunBossType250Phase3(e);
      break;
    case 6:
      BreakBossType250Phase3(e);
      break;
    case 7:
      RunBossType250Phase4(e);
      break;
    case 8:
      RunBossType250Death(e);
      break;
    default:
      break;
  }
  // Destroyed by its own death sequence: nothing more to set.
  if (e.in_use == 1) Shield(e);
  return 0;
}
