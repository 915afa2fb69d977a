// The stage 3 boss (type 220): a tall craft with a turning turret. Three
// attack phases; in the second it tours the four corners of the field twice.
#include "bosses/stage3_boss.h"

#include <initializer_list>

#include "bosses/boss_common.h"
#include "bosses/boss_guns.h"
#include "bosses/bosses.h"
#include "kesto/kesto.h"
#include "play/enemy_bullets.h"
#include "play/explosions.h"
#include "shell/game_math.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

using namespace boss_guns;

constexpr int kMuzzle = 6, kPivot = 7;

int Sigma(int side) { return side == 0 ? -1 : 1; }

void RunMoveScript(EnemyObject& e) {
  switch (e.move_state) {
    case -1:
      HoldBossMoveTimer(e);
      break;
    case 0:
      RunBossMoveToPoint(e, 180.0, 160.0, 3.0, -1);
      break;
    case 1:
      RunBossSwayHalfTime(e, 2.0, -1, 0.4);
      break;
    case 2:
      RunBossMoveToPoint(e, 180.0, 160.0, 5.0, -2);
      break;
    case 3:
      RunBossMoveToPoint(e, 20.0, 80.0, 6.0, -3);
      break;
    case 4:
      RunBossMoveToPoint(e, 20.0, 440.0, 4.0, -4);
      break;
    case 5:
      RunBossMoveToPoint(e, 340.0, 80.0, 6.0, -5);
      break;
    case 6:
      RunBossMoveToPoint(e, 340.0, 440.0, 4.0, -6);
      break;
    case 20:
      RunBossSwayHalfTime(e, 0.3, 1, 0.1);
      break;
    default:
      break;
  }
}

// The pivot, the turret's turn for this frame, then the guns: the muzzle
// follows the turned angle.
void LayOutTurretAndGuns(EnemyObject& e) {
  const double x = e.x, y = e.y;
  Type220PivotX(e) = x;
  Type220PivotY(e) = y - 64.0;
  int32_t& angle = Type220TurretAngle(e);
  switch (Type220TurretMode(e)) {
    case kTurretHold:
      angle = TruncToInt(WrapAngleInt(angle));
      break;
    case kTurretRest:
      angle = TruncToInt(TurnAngleToward(angle, 90.0, 3.0));
      break;
    case kTurretTrack: {
      const double toward = AngleToPlayer(Type220PivotX(e), Type220PivotY(e));
      angle = TruncToInt(TurnAngleToward(angle, toward, 3.0));
      break;
    }
    default:
      break;
  }
  const double gx[6] = {x - 32, x + 32, x - 64, x + 64, x - 112, x + 112};
  const double gy[6] = {y + 100, y + 100, y - 88, y - 88, y - 56, y - 56};
  for (int g = 0; g < 6; ++g) {
    e.gun_x[g] = gx[g];
    e.gun_y[g] = gy[g];
  }
  e.gun_x[kMuzzle] = Type220PivotX(e) + 48.0 * CosDeg(angle);
  e.gun_y[kMuzzle] = Type220PivotY(e) + 48.0 * SinDeg(angle);
  e.gun_x[kPivot] = Type220PivotX(e);
  e.gun_y[kPivot] = Type220PivotY(e);
}

struct FanShape {
  double speed, count, step;
};

// ---- Phase 1 pattern A: aimed fans, the spinning turret, turning crosses ---
// Fans: gun 0 counts, its shot count is the beat, gun word 0 the cycle.
// Turret: the muzzle's gun counts. Crosses: gun 2 counts, its shot count
// numbers the pairs.
struct PatternARow {
  int volleys;
  double speed;
  FanShape even;
  int odd_type;
  FanShape odd;
  int turret_interval;
  FanShape turret;
  int cross_interval;
  FanShape cross;
};
constexpr PatternARow kPatternA[3] = {
    {4, 3.0, {0, 3, 40}, 0, {0, 3, 5}, 9, {2.0, 1, 0}, 12, {3.5, 1, 0}},
    {8, 3.4, {0, 3, 40}, 0, {0, 3, 5}, 6, {2.0, 1, 0}, 6, {4.5, 1, 0}},
    {8, 3.4, {0, 7, 24}, 4, {0, 4, 6}, 6, {2.5, 3, 10}, 6, {4.5, 2, 3}},
};

void PatternA(EnemyObject& e, const PatternARow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& beat = e.gun_shots[0];
  int32_t& cycle = e.gun_words[0];
  if (counter % 6 == 0) {
    const bool odd = cycle % 2 == 1;
    if (beat == 0 || odd) {
      TakeAim(e, 0);
      TakeAim(e, 1);
    }
    if (beat < r.volleys) {
      const int type = odd ? r.odd_type : 0;
      const FanShape& f = odd ? r.odd : r.even;
      for (int g : {0, 1}) Fan(e, g, type, e.gun_angle[g], r.speed, f.count, f.step);
      Volley();
    }
    if (++beat >= 12) {
      beat = 0;
      ++cycle;
    }
  }
  ++counter;

  int32_t& turret_counter = e.gun_counter[kMuzzle];
  if (turret_counter % r.turret_interval == 0) {
    int32_t& angle = Type220TurretAngle(e);
    Fan(e, kMuzzle, 5, angle, r.turret.speed, r.turret.count, r.turret.step);
    angle += 13;
  }
  ++turret_counter;

  int32_t& cross_counter = e.gun_counter[2];
  int32_t& k = e.gun_shots[2];
  if (cross_counter >= 121 && cross_counter % r.cross_interval == 0) {
    // The first 15 pairs turn one way, the next 15 the other, and so on.
    const int turn = 10 * k * SignOf((k / 15) % 2);
    for (int a = 0; a < 360; a += 90)
      for (int g : {2, 3}) Fan(e, g, 10, a + turn, r.cross.speed, r.cross.count, r.cross.step);
    ++k;
  }
  ++cross_counter;
}

// ---- Phase 1 pattern B: turret salvos of a fan and a wedge -----------------
// Gun 0 counts, its shot count numbers the volleys.
struct PatternBRow {
  int fans;
  FanShape fan[2];  // speed: added to the volley number
  int wedges;
  FanShape wedge[7];
};
constexpr PatternBRow kPatternB[3] = {
    {1, {{3.0, 9, 20}}, 3, {{2.6, 3, 6}, {2.4, 2, 6}, {2.2, 1, 0}}},
    {1, {{3.4, 11, 15}}, 5, {{3.2, 5, 6}, {3.0, 4, 6}, {2.8, 3, 6}, {2.6, 2, 6}, {2.4, 1, 0}}},
    {2,
     {{3.0, 17, 11}, {3.4, 17, 11}},
     7,
     {{3.4, 7, 6}, {3.2, 6, 6}, {3.0, 5, 6}, {2.8, 4, 6}, {2.6, 3, 6}, {2.4, 2, 6}, {2.2, 1, 0}}},
};

void PatternB(EnemyObject& e, const PatternBRow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (counter % 30 == 0) {
    const double angle = Type220TurretAngle(e);
    for (int i = 0; i < r.fans; ++i)
      Fan(e, kMuzzle, 3, angle, n + r.fan[i].speed, r.fan[i].count, r.fan[i].step);
    for (int i = 0; i < r.wedges; ++i)
      Fan(e, kMuzzle, 7, angle, r.wedge[i].speed, r.wedge[i].count, r.wedge[i].step);
    Volley();
    ++n;
  }
  ++counter;
}

// ---- Phase 1 pattern C: side waves and quickening turret salvos ------------
// Waves: gun 2 counts and numbers them. Salvos: the muzzle's gun counts and
// numbers them.
struct PatternCRow {
  int wave_interval;
  bool hell_waves;
  int salvo_base, salvo_step_base;
  int fans;
  FanShape ring[2];      // type 10
  double wide_speed[2];  // type 5, its step set by the salvo
  double wide_count;
};
constexpr PatternCRow kPatternC[3] = {
    {13, false, 80, 27, 1, {{3.0, 7, 23}}, {2.6}, 4},
    {8, false, 60, 23, 1, {{3.2, 9, 19}}, {2.8}, 6},
    {6, true, 60, 23, 2, {{3.2, 11, 16}, {3.5, 11, 16}}, {2.8, 3.2}, 8},
};

void PatternC(EnemyObject& e, const PatternCRow& r) {
  int32_t& wave_counter = e.gun_counter[2];
  int32_t& n = e.gun_shots[2];
  if (wave_counter % r.wave_interval == 0) {
    const double sway = 20.0 * SinDeg(13 * n);
    Fan(e, 2, 4, 180 + sway, 5.0, 11, 15);
    Fan(e, 3, 4, sway, 5.0, 11, 15);
    if (r.hell_waves) {
      const double wide = 30.0 * SinDeg(13 * n);
      Fan(e, 2, 4, -wide, 5.5, 5, 9);
      Fan(e, 3, 4, 180 - wide, 5.5, 5, 9);
    }
    Volley();
    ++n;
  }
  ++wave_counter;

  int32_t& salvo_counter = e.gun_counter[kMuzzle];
  int32_t& v = e.gun_shots[kMuzzle];
  const int interval = r.salvo_base - (v < 5 ? 0 : v < 10 ? 15 : 30);
  if (salvo_counter > 120 && salvo_counter % interval == 0) {
    const double angle = e.gun_angle[kMuzzle] = Type220TurretAngle(e);
    const double wide_step = r.salvo_step_base - 7 * (v % 4);
    for (int i = 0; i < r.fans; ++i)
      Fan(e, kMuzzle, 10, angle, r.ring[i].speed, r.ring[i].count, r.ring[i].step);
    for (int i = 0; i < r.fans; ++i)
      Fan(e, kMuzzle, 5, angle, r.wide_speed[i], r.wide_count, wide_step);
    Volley();
    ++v;
  }
  ++salvo_counter;
}

// ---- Phase 2 pattern A: aimed rings from the pivot, stars from guns 2/3 ----
// Rings: the pivot's gun counts and numbers them. Stars: gun 2 counts and
// numbers them.
struct Phase2ARow {
  int interval[3];
  double speed[3];
  int ring_step;
  double offset;
  int star_interval, star_step;
  double star_offset, star_speed;
};
constexpr Phase2ARow kPhase2A[3] = {
    {{30, 20, 15}, {2.8, 3.2, 3.6}, 18, 9, 40, 40, 20, 2.6},
    {{30, 20, 12}, {3.4, 3.8, 4.2}, 15, 7.5, 20, 40, 20, 3.0},
    {{25, 16, 8}, {3.8, 4.2, 4.6}, 10, 5, 15, 20, 10, 3.0},
};

void Phase2PatternA(EnemyObject& e, const Phase2ARow& r) {
  int32_t& ring_counter = e.gun_counter[kPivot];
  int32_t& v = e.gun_shots[kPivot];
  const int tier = v <= 4 ? 0 : v <= 10 ? 1 : 2;
  if (ring_counter % r.interval[tier] == 0) {
    const double aim = TakeAim(e, kPivot);
    for (int a = 0; a < 360; a += r.ring_step)
      Single(e, kPivot, 8, a + aim + r.offset * (v % 2), r.speed[tier]);
    Volley();
    ++v;
  }
  ++ring_counter;

  int32_t& star_counter = e.gun_counter[2];
  int32_t& m = e.gun_shots[2];
  if (star_counter % r.star_interval == 0) {
    for (int a = 0; a < 360; a += r.star_step)
      for (int g : {2, 3}) Single(e, g, 0, a + r.star_offset * (m % 2), r.star_speed);
    ++m;
  }
  ++star_counter;
}

// ---- Phase 2 pattern B: aimed rings from the pivot, faster by the beat -----
// Gun 0 counts, its shot count is the beat; the pivot's angle holds the aim.
struct Phase2BRow {
  int volleys, ring_step;
  double speed;
};
constexpr Phase2BRow kPhase2B[3] = {{3, 45, 2.8}, {5, 30, 3.2}, {5, 24, 3.5}};

void Phase2PatternB(EnemyObject& e, const Phase2BRow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& beat = e.gun_shots[0];
  if (counter % 4 == 0) {
    if (beat == 0) TakeAim(e, kPivot);
    if (beat < r.volleys) {
      const double speed = PatternRatio(beat, 8) + r.speed;
      for (int a = 0; a < 360; a += r.ring_step)
        Single(e, kPivot, 3, a + e.gun_angle[kPivot], speed);
      Volley();
    }
    if (++beat >= 7) beat = 0;
  }
  ++counter;
}

// ---- Phase 2 pattern C: silent crosses through the corner tour -------------
// Gun 3 counts, its shot count is the beat.
struct Phase2CRow {
  int interval, cycle;
  int speeds;
  double speed[2];
};
constexpr Phase2CRow kPhase2C[3] = {{4, 4, 1, {2.1}}, {4, 3, 1, {2.4}}, {3, 3, 2, {2.4, 2.8}}};

void Phase2PatternC(EnemyObject& e, const Phase2CRow& r) {
  int32_t& counter = e.gun_counter[3];
  int32_t& beat = e.gun_shots[3];
  if (counter % r.interval == 0) {
    if (beat <= 1)
      for (int g : {2, 3})
        for (int a = 0; a < 360; a += 90)
          for (int i = 0; i < r.speeds; ++i) Single(e, g, 0, a, r.speed[i]);
    if (++beat >= r.cycle) beat = 0;
  }
  ++counter;
}

// ---- Phase 2 pattern D: turning rings from the pivot -----------------------
// Gun 0 counts, its shot count numbers the volleys.
struct Phase2DRow {
  int interval, ring_step;
  double speed;
};
constexpr Phase2DRow kPhase2D[3] = {{9, 24, 2.6}, {6, 20, 3.0}, {5, 15, 3.2}};

void Phase2PatternD(EnemyObject& e, int side, const Phase2DRow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (counter % r.interval == 0) {
    for (int a = 0; a < 360; a += r.ring_step)
      Single(e, kPivot, 7, a - 11 * n * Sigma(side), r.speed);
    Volley();
    ++n;
  }
  ++counter;
}

// ---- Phase 3: twin spirals and heavy shots from the pivot ------------------
// Spirals: gun 0 counts, its shot count numbers every beat. Heavy shots:
// gun 1 counts and numbers them.
struct Phase3Row {
  int spiral_interval;
  double spiral_speed;
  bool spiral_ex;
  int heavy_interval, heavy_ways;
};
constexpr Phase3Row kPhase3[3] = {
    {7, 3.4, false, 8, 2}, {4, 4.0, false, 5, 4}, {4, 4.0, true, 5, 4}};

void Phase3Pattern(EnemyObject& e, int side, const Phase3Row& r) {
  const int s = Sigma(side);
  int32_t& spiral_counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (spiral_counter % r.spiral_interval == 0) {
    if (n % 20 <= 9) {
      for (int half : {0, 180}) {
        const double angle = 7 * n * s + half;
        if (r.spiral_ex)
          FanEx(e, kPivot, 34, angle, r.spiral_speed, 1, 0, 2.0);
        else
          Single(e, kPivot, 34, angle, r.spiral_speed);
      }
    }
    ++n;
  }
  ++spiral_counter;

  int32_t& heavy_counter = e.gun_counter[1];
  int32_t& m = e.gun_shots[1];
  if (heavy_counter % r.heavy_interval == 0) {
    const int step = 360 / r.heavy_ways;
    for (int a = 0; a < 360; a += step) SingleEx(e, kPivot, 35, a - 7 * m * s, 4.0);
    Volley();
    ++m;
  }
  ++heavy_counter;
}

// ---- Phase 2 steps at the corners ------------------------------------------
struct CornerStep {
  int motion, arrived;
  bool rings;  // pattern D; else pattern B
  int side;
};
constexpr CornerStep kCorners[4] = {
    {4, -4, false, 0}, {5, -5, true, 0}, {6, -6, false, 1}, {3, -3, true, 1}};

void RunCornerPattern(EnemyObject& e, const CornerStep& c) {
  static constexpr BossSidePattern kB[3] = {FireType220Phase2PatternBHeaven,
                                            FireType220Phase2PatternBOriginal,
                                            FireType220Phase2PatternBHell};
  static constexpr BossSidePattern kD[3] = {FireType220Phase2PatternDHeaven,
                                            FireType220Phase2PatternDOriginal,
                                            FireType220Phase2PatternDHell};
  RunBossSidePattern(e, c.rings ? kD : kB, c.side);
}

}  // namespace

void FireType220Burst(EnemyObject& e) {
  int32_t& counter = e.gun_counter[0];
  if (counter % 90 == 0) {
    Volley();
    SingleEx(e, 4, 26, 180.0, 5.0);
    SingleEx(e, 5, 26, 0.0, 5.0);
  }
  ++counter;
}

void FireType220PatternAHeaven(EnemyObject& e) { PatternA(e, kPatternA[kHeaven]); }
void FireType220PatternAOriginal(EnemyObject& e) { PatternA(e, kPatternA[kOriginal]); }
void FireType220PatternAHell(EnemyObject& e) { PatternA(e, kPatternA[kHell]); }
void FireType220PatternBHeaven(EnemyObject& e) { PatternB(e, kPatternB[kHeaven]); }
void FireType220PatternBOriginal(EnemyObject& e) { PatternB(e, kPatternB[kOriginal]); }
void FireType220PatternBHell(EnemyObject& e) { PatternB(e, kPatternB[kHell]); }
void FireType220PatternCHeaven(EnemyObject& e) { PatternC(e, kPatternC[kHeaven]); }
void FireType220PatternCOriginal(EnemyObject& e) { PatternC(e, kPatternC[kOriginal]); }
void FireType220PatternCHell(EnemyObject& e) { PatternC(e, kPatternC[kHell]); }
void FireType220Phase2PatternAHeaven(EnemyObject& e) { Phase2PatternA(e, kPhase2A[kHeaven]); }
void FireType220Phase2PatternAOriginal(EnemyObject& e) { Phase2PatternA(e, kPhase2A[kOriginal]); }
void FireType220Phase2PatternAHell(EnemyObject& e) { Phase2PatternA(e, kPhase2A[kHell]); }
// Pattern B takes the side of its corner but fires alike on both.
void FireType220Phase2PatternBHeaven(EnemyObject& e, int) { Phase2PatternB(e, kPhase2B[kHeaven]); }
void FireType220Phase2PatternBOriginal(EnemyObject& e, int) {
  Phase2PatternB(e, kPhase2B[kOriginal]);
}
void FireType220Phase2PatternBHell(EnemyObject& e, int) { Phase2PatternB(e, kPhase2B[kHell]); }
void FireType220Phase2PatternCHeaven(EnemyObject& e) { Phase2PatternC(e, kPhase2C[kHeaven]); }
void FireType220Phase2PatternCOriginal(EnemyObject& e) { Phase2PatternC(e, kPhase2C[kOriginal]); }
void FireType220Phase2PatternCHell(EnemyObject& e) { Phase2PatternC(e, kPhase2C[kHell]); }
void FireType220Phase2PatternDHeaven(EnemyObject& e, int side) {
  Phase2PatternD(e, side, kPhase2D[kHeaven]);
}
void FireType220Phase2PatternDOriginal(EnemyObject& e, int side) {
  Phase2PatternD(e, side, kPhase2D[kOriginal]);
}
void FireType220Phase2PatternDHell(EnemyObject& e, int side) {
  Phase2PatternD(e, side, kPhase2D[kHell]);
}
void FireType220Phase3PatternAHeaven(EnemyObject& e, int side) {
  Phase3Pattern(e, side, kPhase3[kHeaven]);
}
void FireType220Phase3PatternAOriginal(EnemyObject& e, int side) {
  Phase3Pattern(e, side, kPhase3[kOriginal]);
}
void FireType220Phase3PatternAHell(EnemyObject& e, int side) {
  Phase3Pattern(e, side, kPhase3[kHell]);
}

void EnterBossType220(EnemyObject& e) {
  int32_t& step = BossEntryStep(e);
  if (step == 0) {
    Type220TurretAngle(e) = 90;
    e.collision_class = 1;
    if (e.move_state == -1) step = 1;
    return;
  }
  ++e.state_timer;
  if (e.state_timer >= 90) {
    e.collision_class = 2;
    SetBossLifeState(e, 1);
  }
}

void RunBossType220Phase1(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType220PatternAHeaven, FireType220PatternAOriginal,
                                        FireType220PatternAHell};
  static constexpr BossPattern kB[3] = {FireType220PatternBHeaven, FireType220PatternBOriginal,
                                        FireType220PatternBHell};
  static constexpr BossPattern kC[3] = {FireType220PatternCHeaven, FireType220PatternCOriginal,
                                        FireType220PatternCHell};
  int32_t& step = BossPatternStep(e, 1);
  const int32_t t = e.state_timer;
  switch (step) {
    case 0:
      if (InBossWindow(e, 0, 639)) RunBossPattern(e, kA);
      if (t == 640) {
        Type220TurretMode(e) = kTurretTrack;
        ResetEnemyGuns(e);
      }
      if (++e.state_timer >= 720) {
        FireType220Burst(e);
        ResetEnemyGuns(e);
        e.state_timer = 0;
        step = 1;
        e.move_state = 1;
      }
      break;
    case 1:
      if (RunBossWindowStep(e, {&kB, 121, 199, 260})) step = 2;
      break;
    case 2:
      if (RunBossWindowStep(e, {&kC, 0, 1599, 1600})) step = 3;
      break;
    case 3:
      if (t == 0) {
        e.move_state = 2;
        Type220TurretMode(e) = kTurretRest;
      }
      ++e.state_timer;
      if (e.move_state == -2) {
        ResetEnemyGuns(e);
        e.state_timer = 0;
        Type220TurretMode(e) = kTurretHold;
        step = 0;
      }
      break;
    default:
      step = 0;  // a corrupted step restarts the cycle
      break;
  }
}

void BreakBossType220Phase1(EnemyObject& e) {
  if (e.state_timer == 0) {
    PlaySoundEffect(20);
    const int angle = RandomInt(360);
    SpawnExplosion(Type220PivotX(e), Type220PivotY(e), 52, angle, 2.0);
    EndBossPhase(e);
    e.move_state = 2;
  }
  ++e.state_timer;
  if (e.move_state == -2 && e.state_timer > 90) SetBossLifeState(e, 3);
}

void RunBossType220Phase2(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType220Phase2PatternAHeaven,
                                        FireType220Phase2PatternAOriginal,
                                        FireType220Phase2PatternAHell};
  static constexpr BossPattern kC[3] = {FireType220Phase2PatternCHeaven,
                                        FireType220Phase2PatternCOriginal,
                                        FireType220Phase2PatternCHell};
  int32_t& step = BossPatternStep(e, 2);
  int32_t& lap = Type220CornerLap(e);
  const int32_t t = e.state_timer;
  if (step >= 2 && step <= 5) RunBossPattern(e, kC);
  switch (step) {
    case 0:
      if (RunBossWindowStep(e, {&kA, 0, 459, 500})) {
        step = 1;
        e.move_state = 3;
      }
      break;
    case 1:
      // The wait at the first corner starts once the boss is there.
      if (e.move_state == -3) ++e.state_timer;
      if (e.state_timer >= 60) {
        e.state_timer = 0;
        step = 2;
      }
      break;
    case 2:
    case 3:
    case 4:
    case 5: {
      const CornerStep& c = kCorners[step - 2];
      if (t == 0) e.move_state = c.motion;
      if (InBossWindow(e, 11, 89)) RunCornerPattern(e, c);
      ++e.state_timer;
      // Each corner takes whichever is later: the arrival or 121 frames.
      if (e.move_state != c.arrived || e.state_timer < 121) break;
      ResetEnemyGuns(e);
      e.state_timer = 0;
      if (step == 4) {
        if (lap == 1) {
          lap = 0;
          step = 10;
        } else {
          step = 5;
        }
      } else if (step == 5) {
        step = 2;
        ++lap;
      } else {
        ++step;
      }
      break;
    }
    case 10:
      // Home again; the timer runs on into the next round's pattern A.
      if (t == 0) e.move_state = 2;
      ++e.state_timer;
      if (e.move_state == -2) step = 0;
      break;
    default:
      step = 0;
      break;
  }
}

void BreakBossType220Phase2(EnemyObject& e) {
  int32_t& step = BossBreakStep(e, 2);
  if (step == 0) {
    e.move_state = 2;
    EndBossPhase(e);
    step = 1;
  } else if (e.move_state == -2) {
    SetBossLifeState(e, 5);
    e.move_state = 20;
  }
}

void RunBossType220Phase3(EnemyObject& e) {
  static constexpr BossSidePattern kA[3] = {FireType220Phase3PatternAHeaven,
                                            FireType220Phase3PatternAOriginal,
                                            FireType220Phase3PatternAHell};
  int32_t& sides = BossSideCounter(e, 3);
  if (InBossWindow(e, 31, 499)) RunBossSidePattern(e, kA, sides % 2);
  if (CountBossStep(e, 500)) ++sides;
}

void RunBossType220Death(EnemyObject& e) {
  if (e.state_timer == 0) e.move_state = 2;
  RunBossDeathFrame(e, true);
}

int UpdateBossType220(EnemyObject& e) {
  RunMoveScript(e);
  LayOutTurretAndGuns(e);
  switch (e.life_state) {
    case 0:
      EnterBossType220(e);
      break;
    case 1:
      RunBossType220Phase1(e);
      break;
    case 2:
      BreakBossType220Phase1(e);
      break;
    case 3:
      RunBossType220Phase2(e);
      break;
    case 4:
      BreakBossType220Phase2(e);
      break;
    case 5:
      RunBossType220Phase3(e);
      break;
    case 8:
      RunBossType220Death(e);
      break;
    default:
      break;
  }
  return 0;
}
