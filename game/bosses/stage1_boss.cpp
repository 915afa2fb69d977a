// The stage 1 boss (type 200): enters from the left, grows to full size,
// pulls its two side parts (201 left, 202 right) in beside it and fights two
// attack phases.
#include <initializer_list>

#include "bosses/boss_common.h"
#include "bosses/boss_guns.h"
#include "bosses/bosses.h"
#include "kesto/kesto.h"
#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "shell/game_math.h"
#include "shell/sound_bank.h"

namespace {

using namespace boss_guns;

constexpr double kPartsOut = 300.0;  // part offset when the parts appear
constexpr double kPartsIn = 124.0;   // and in play

// The horizontal distance from the boss centre to each part's centre.
double& PartOffset(EnemyObject& e) { return e.motion_x; }

EnemyObject* LeftPart(EnemyObject& e) { return FindBossPart(e, 0, 201); }
EnemyObject* RightPart(EnemyObject& e) { return FindBossPart(e, 1, 202); }

void RunMoveScript(EnemyObject& e) {
  switch (e.move_state) {
    case -1: HoldBossMoveTimer(e); break;
    case 0: RunBossMoveToPoint(e, 180.0, 120.0, 6.0, -1); break;
    case 1: RunBossSway(e, 0.2, 2, 0.1, 1); break;
    case 2: RunBossSway(e, 2.0, 1, 0.3, 3); break;
    case 3: RunBossVerticalBrake(e, -3.0, 0.04, -1); break;
    case 10: RunBossMoveToPoint(e, 180.0, 120.0, 2.0, -1); break;
    default: break;
  }
}

void LayOutPartsAndGuns(EnemyObject& e) {
  const double x = e.x, y = e.y, off = PartOffset(e);
  if (EnemyObject* p = LeftPart(e)) {
    p->x = x - off;
    p->y = y + 40.0;
  }
  if (EnemyObject* p = RightPart(e)) {
    p->x = x + off;
    p->y = y + 40.0;
  }
  const double gx[8] = {x - 48, x + 48, x, x, x - 48, x + 48, x - off - 16, x + off + 16};
  const double gy[8] = {y - 64, y - 64, y - 32, y + 12, y + 120, y + 120, y + 130, y + 130};
  for (int g = 0; g < 8; ++g) {
    e.gun_x[g] = gx[g];
    e.gun_y[g] = gy[g];
  }
}

// ---- Phase 1 pattern A: aimed fans from guns 0 and 1 --------------------
// Gun 0 counts the calls and numbers the beats of a cycle; gun 1's shot count
// is the cycle number k.
struct PatternARow {
  int volleys;
  double speed;
  int count_base;
  int step_base, step_per_cycle;
};
constexpr PatternARow kPatternA[3] = {{3, 2.5, 3, 28, 0}, {5, 3.0, 3, 24, 0}, {5, 4.0, 8, 24, -3}};

void PatternA(EnemyObject& e, const PatternARow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& beat = e.gun_shots[0];
  int32_t& k = e.gun_shots[1];
  if (counter % 5 == 0) {
    if (beat < r.volleys) {
      if (beat == 0)
        for (int g = 0; g < 2; ++g) TakeAim(e, g);
      const double speed = PatternRatio(beat, 2) + r.speed;
      const double count = r.count_base + k;
      const double step = r.step_base + r.step_per_cycle * k;
      for (int g = 0; g < 2; ++g) Fan(e, g, 5, e.gun_angle[g], speed, count, step);
      Volley();
    }
    if (++beat >= 8) {
      beat = 0;
      k = (k + 1) % 5;
    }
  }
  ++counter;
}

// ---- Phase 1 pattern B: mirrored spirals from guns 2 and 3 ---------------
struct PatternBRow {
  int interval;
  double speed7, speed0;
  bool extra;
};
constexpr PatternBRow kPatternB[3] = {{10, 2.5, 2.0, false}, {4, 3.5, 3.0, false},
                                      {4, 3.5, 3.0, true}};

void PatternB(EnemyObject& e, int side, const PatternBRow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (counter % r.interval == 0) {
    const int s = side == 0 ? -1 : 1;
    Fan(e, 2, 7, s * 10 * n, r.speed7, 2.4, 180);
    Fan(e, 3, 7, -s * 10 * n, r.speed7, 2.4, 180);
    Fan(e, 2, 0, -s * 14 * n, r.speed0, 2, 180);
    Fan(e, 3, 0, s * 14 * n, r.speed0, 2, 180);
    if (r.extra) {
      Fan(e, 2, 7, s * 13 * n, 3.7, 3, 120);
      Fan(e, 3, 7, -s * 13 * n, 3.7, 3, 120);
      Fan(e, 2, 0, -s * 15 * n, 3.3, 4, 90);
      Fan(e, 3, 0, s * 15 * n, 3.3, 4, 90);
    }
    Volley();
    ++n;
  }
  ++counter;
}

// ---- Phase 1 pattern C: columns from guns 4/5 and aimed bursts -----------
// Columns: gun 4 counts, its shot count is the beat, gun 5's the cycle.
// Bursts: gun 1 counts from the first call, its shot count numbers them.
struct PatternCRow {
  int column_cycle;
  double column_speed, column_count;
  int burst_interval;
  double fan_speed, fan_count, fan_step;
  int singles;
  double single_speed;
  int rings;
  double ring_speed, ring_count, ring_step;
};
constexpr PatternCRow kPatternC[3] = {
    {8, 2.5, 1, 60, 2.5, 8, 25, 3, 2.7, 2, 2.5, 7, 30},
    {4, 3.0, 1, 48, 3.0, 10, 20, 3, 3.2, 2, 3.5, 11, 24},
    {4, 3.0, 3, 48, 3.0, 15, 15, 5, 3.4, 4, 3.8, 17, 12},
};

void PatternC(EnemyObject& e, const PatternCRow& r) {
  int32_t& column_counter = e.gun_counter[4];
  int32_t& beat = e.gun_shots[4];
  int32_t& cycle = e.gun_shots[5];
  if (column_counter % 5 == 0) {
    if (beat < 2) {
      const int gun = cycle % 2 == 0 ? 4 : 5;
      // A fan of count 1 is the single bullet straight down.
      Fan(e, gun, 4, 90.0, r.column_speed, r.column_count, 30);
      Volley();
    }
    if (++beat >= r.column_cycle) {
      beat = 0;
      ++cycle;
    }
  }
  ++column_counter;

  int32_t& burst_counter = e.gun_counter[1];
  int32_t& m = e.gun_shots[1];
  if (burst_counter >= 180 && burst_counter % r.burst_interval == 0) {
    const int kind = m % 3;
    if (kind < 2) {
      const int gun = kind;
      const double aim = TakeAim(e, gun);
      Fan(e, gun, 3, aim, r.fan_speed, r.fan_count, r.fan_step);
      for (int i = 0; i < r.singles; ++i)
        Single(e, gun, 3, aim, r.single_speed + PatternRatio(i, 2));
    } else {
      for (int g = 2; g < 4; ++g) TakeAim(e, g);
      for (int i = 0; i < r.rings; ++i) {
        const double speed = r.ring_speed + PatternRatio(i, 4);
        Fan(e, 2, 10, e.gun_angle[2], speed, r.ring_count, r.ring_step);
        Fan(e, 3, 10, e.gun_angle[3], speed, r.ring_count, r.ring_step);
      }
    }
    Volley();
    ++m;
  }
  ++burst_counter;
}

// ---- Phase 2 pattern A: random-speed sprays from guns 4 and 5 ------------
void Phase2PatternA(EnemyObject& e, int spread_step) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[0];
  if (counter % 30 == 0) {
    const int gun = n % 2 == 0 ? 4 : 5;
    for (int a = -40; a <= 40; a += spread_step) {
      const double speed = PatternRatio(RandomInt(20), 10) + 1.0;
      SingleEx(e, gun, 21, 90.0 + a, speed);
    }
    Volley();
    ++n;
  }
  ++counter;
}

// ---- Phase 2 pattern B: turning rings from gun 2 or 3 --------------------
struct Phase2BRow {
  int interval, cycle, ring_step;
};
constexpr Phase2BRow kPhase2B[3] = {{8, 8, 36}, {8, 6, 30}, {6, 6, 20}};

void Phase2PatternB(EnemyObject& e, int side, const Phase2BRow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& beat = e.gun_shots[0];
  if (counter % r.interval == 0) {
    const int b = beat;
    if (b <= 3) {
      if (b == 0) e.gun_angle[0] = AngleToPlayer(e.x, e.y);
      const int gun = side == 1 ? 2 : 3;
      const double turn = side == 1 ? 7.0 * b : -7.0 * b;
      for (int a = 0; a < 360; a += r.ring_step)
        SingleEx(e, gun, 20, a + e.gun_angle[0] + turn, 3.5, 10.0 * b);
      Volley();
    }
    if (++beat >= r.cycle) beat = 0;
  }
  ++counter;
}

// ---- Part pattern: shots from under each living part ---------------------
// Gun 10 counts and numbers the volleys; an absent part's turn still counts.
template <typename Fire>
void PartPattern(EnemyObject& e, int interval, Fire fire) {
  int32_t& counter = e.gun_counter[10];
  int32_t& volley = e.gun_shots[10];
  if (counter >= 121 && counter % interval == 0) {
    const bool even = volley % 2 == 0;
    EnemyObject* part = even ? LeftPart(e) : RightPart(e);
    if (part != nullptr) {
      fire(even ? 6 : 7, e.life_state == 3);
      Volley();
    }
    ++volley;
  }
  ++counter;
}

void RunPartPattern(EnemyObject& e) {
  static constexpr BossPattern kSets[3] = {FireType200PartPatternHeaven,
                                           FireType200PartPatternOriginal,
                                           FireType200PartPatternHell};
  RunBossPattern(e, kSets);
}

void ThreeColumns(EnemyObject& e, int gun, double speed, double count, double step) {
  for (double dx : {-8.0, 0.0, 8.0})
    FireBulletFan(e.gun_x[gun] + dx, e.gun_y[gun], 1, 90.0, speed, count, step, Owner(e));
}

void PartPatternFor(EnemyObject& e, int set) {
  static constexpr int kInterval[3] = {40, 30, 20};
  PartPattern(e, kInterval[set], [&e, set](int gun, bool phase2) {
    if (!phase2) {
      if (set == kHeaven) Fan(e, gun, 1, 90.0, 1.5, 3, 20);
      if (set == kOriginal) Fan(e, gun, 1, 90.0, 2.5, 3, 20);
      if (set == kHell) {
        Fan(e, gun, 1, 90.0, 2.5, 5, 10);
        Fan(e, gun, 1, 90.0, 3.5, 5, 10);
      }
      return;
    }
    const double base = set == kHeaven ? 1.5 : 2.5;
    for (double speed : {base, base + 0.5, base + 1.0}) {
      if (set == kHell)
        ThreeColumns(e, gun, speed, 3, 30);
      else
        ThreeColumns(e, gun, speed, 1, 0);
    }
  });
}

}  // namespace

void FireType200PatternAHeaven(EnemyObject& e) { PatternA(e, kPatternA[kHeaven]); }
void FireType200PatternAOriginal(EnemyObject& e) { PatternA(e, kPatternA[kOriginal]); }
void FireType200PatternAHell(EnemyObject& e) { PatternA(e, kPatternA[kHell]); }
void FireType200PatternBHeaven(EnemyObject& e, int side) { PatternB(e, side, kPatternB[kHeaven]); }
void FireType200PatternBOriginal(EnemyObject& e, int side) {
  PatternB(e, side, kPatternB[kOriginal]);
}
void FireType200PatternBHell(EnemyObject& e, int side) { PatternB(e, side, kPatternB[kHell]); }
void FireType200PatternCHeaven(EnemyObject& e) { PatternC(e, kPatternC[kHeaven]); }
void FireType200PatternCOriginal(EnemyObject& e) { PatternC(e, kPatternC[kOriginal]); }
void FireType200PatternCHell(EnemyObject& e) { PatternC(e, kPatternC[kHell]); }
void FireType200Phase2PatternAHeaven(EnemyObject& e) { Phase2PatternA(e, 2); }
void FireType200Phase2PatternAOriginal(EnemyObject& e) { Phase2PatternA(e, 4); }
void FireType200Phase2PatternAHell(EnemyObject& e) { Phase2PatternA(e, 4); }
void FireType200Phase2PatternBHeaven(EnemyObject& e, int side) {
  Phase2PatternB(e, side, kPhase2B[kHeaven]);
}
void FireType200Phase2PatternBOriginal(EnemyObject& e, int side) {
  Phase2PatternB(e, side, kPhase2B[kOriginal]);
}
void FireType200Phase2PatternBHell(EnemyObject& e, int side) {
  Phase2PatternB(e, side, kPhase2B[kHell]);
}
void FireType200PartPatternHeaven(EnemyObject& e) { PartPatternFor(e, kHeaven); }
void FireType200PartPatternOriginal(EnemyObject& e) { PartPatternFor(e, kOriginal); }
void FireType200PartPatternHell(EnemyObject& e) { PartPatternFor(e, kHell); }

void EnterBossType200(EnemyObject& e) {
  if (BossEntryStep(e) == 0) {
    if (e.state_timer == 0) {
      e.collision_class = 1;
      e.draw_scale = 0.5;
    }
    ++e.state_timer;
    if (e.move_state != -1) return;
    if (e.draw_scale < 1.0) {
      e.draw_scale += 0.01;
      return;
    }
    const double fx = e.x - 140.0;
    SpawnEnemyAnySlot(fx - kPartsOut, e.y + 40.0, 201, 0, e.slot, 0, e.serial);
    SpawnEnemyAnySlot(fx + kPartsOut, e.y + 40.0, 202, 0, e.slot, 1, e.serial);
    PartOffset(e) = kPartsOut;
    e.draw_scale = 1.0;
    BossEntryStep(e) = 1;
    e.state_timer = 0;
    return;
  }
  double& offset = PartOffset(e);
  if (offset > kPartsIn) offset -= 8.0;
  if (offset <= kPartsIn) {
    PlaySoundEffect(83);
    offset = kPartsIn;
    e.collision_class = 0;
    SetBossLifeState(e, 1);
    e.move_state = 1;
  }
}

void RunBossType200Phase1(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType200PatternAHeaven, FireType200PatternAOriginal,
                                        FireType200PatternAHell};
  static constexpr BossSidePattern kB[3] = {
      FireType200PatternBHeaven, FireType200PatternBOriginal, FireType200PatternBHell};
  static constexpr BossPattern kC[3] = {FireType200PatternCHeaven, FireType200PatternCOriginal,
                                        FireType200PatternCHell};
  int32_t& step = BossPatternStep(e, 1);
  const int32_t t = e.state_timer;
  switch (step) {
    case 0:
      if (RunBossWindowStep(e, {&kA, 101, 499, 500})) step = 1;
      break;
    case 1:
      if (InBossWindow(e, 101, 199)) RunBossSidePattern(e, kB, 0);
      if (t == 200) ResetEnemyGuns(e);
      if (InBossWindow(e, 201, 299)) RunBossSidePattern(e, kB, 1);
      if (CountBossStep(e, 300)) step = 2;
      break;
    case 2:
    case 4:
      if (t == 0) e.move_state = 10;
      ++e.state_timer;
      if (e.move_state == -1) {
        e.state_timer = 0;
        if (step == 4) e.move_state = 1;
        step = step == 2 ? 3 : 0;
      }
      break;
    case 3:
      if (t == 0) e.move_state = 2;
      if (RunBossWindowStep(e, {&kC, 101, 999, 1000})) step = 4;
      break;
    default:
      step = 0;  // a corrupted step restarts the cycle
      break;
  }
  RunPartPattern(e);
}

void BreakBossType200Phase1(EnemyObject& e) {
  int32_t& step = BossBreakStep(e, 1);
  if (step == 0) {
    EndBossPhase(e);
    e.move_state = 10;
    step = 1;
  } else if (e.move_state == -1) {
    SetBossLifeState(e, 3);
  }
}

void RunBossType200Phase2(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType200Phase2PatternAHeaven,
                                        FireType200Phase2PatternAOriginal,
                                        FireType200Phase2PatternAHell};
  static constexpr BossSidePattern kB[3] = {FireType200Phase2PatternBHeaven,
                                            FireType200Phase2PatternBOriginal,
                                            FireType200Phase2PatternBHell};
  int32_t& step = BossPatternStep(e, 2);
  int32_t& sides = BossSideCounter(e, 2);
  const int32_t t = e.state_timer;
  switch (step) {
    case 0:
      if (t == 0) e.move_state = 3;
      ++e.state_timer;
      if (e.move_state == -1) {
        e.move_state = 1;
        e.state_timer = 0;
        step = 1;
      }
      break;
    case 1:
      if (RunBossWindowStep(e, {&kA, 0, 89, 120})) {
        step = 2;
        e.move_state = 0;
      }
      break;
    case 2:
      // The timer runs on through the move home: pattern B's window starts
      // that many frames late.
      ++e.state_timer;
      if (e.move_state == -1) {
        e.move_state = 1;
        step = 3;
      }
      break;
    case 3:
      if (InBossWindow(e, 0, 399)) RunBossSidePattern(e, kB, sides % 2);
      if (CountBossStep(e, 400)) {
        step = 0;
        sides = (sides + 1) % 2;
        e.move_state = -1;
      }
      break;
    default:
      step = 0;
      break;
  }
  RunPartPattern(e);
}

void RunBossType200Death(EnemyObject& e) {
  if (e.state_timer == 0) KillEnemiesOfParent(1, e.slot);
  RunBossDeathFrame(e, false);
}

int UpdateBossType200(EnemyObject& e) {
  RunMoveScript(e);
  LayOutPartsAndGuns(e);
  switch (e.life_state) {
    case 0: EnterBossType200(e); break;
    case 1: RunBossType200Phase1(e); break;
    case 2: BreakBossType200Phase1(e); break;
    case 3: RunBossType200Phase2(e); break;
    case 8: RunBossType200Death(e); break;
    default: break;
  }
  return 0;
}
