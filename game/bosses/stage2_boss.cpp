// The stage 2 boss (type 210): rises from below to its post, grows to full
// size, fights two attack phases and takes on its damaged form at the break.
#include "bosses/stage2_boss.h"

#include <initializer_list>

#include "bosses/boss_common.h"
#include "bosses/boss_guns.h"
#include "bosses/bosses.h"
#include "kesto/kesto.h"
#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/explosions.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

using namespace boss_guns;

void RunMoveScript(EnemyObject& e) {
  switch (e.move_state) {
    case -1:
      HoldBossMoveTimer(e);
      break;
    case 0:
      RunBossMoveToPoint(e, 180.0, 120.0, 4.0, -1);
      break;
    case 1:
      RunBossSway(e, 0.3, 2, 0.2, 1);
      break;
    case 2:
      RunBossSwayHalfTime(e, 0.6, 1, 0.3);
      break;
    case 3:
      e.vx = 0.0;
      e.vy = 0.2;
      break;
    default:
      break;
  }
}

void LayOutGuns(EnemyObject& e) {
  const double x = e.x, y = e.y;
  const double gx[5] = {x - 32, x + 32, x - 108, x + 108, x};
  const double gy[5] = {y + 24, y + 24, y - 48, y - 48, y};
  for (int g = 0; g < 5; ++g) {
    e.gun_x[g] = gx[g];
    e.gun_y[g] = gy[g];
  }
}

// ---- Phase 1 pattern A: aimed singles and rings ----------------------------
// Singles: gun 0 counts, its shot count is the beat, gun word 0 the cycle.
// Rings: gun 1 counts, its shot count numbers the volleys.
struct PatternARow {
  int volleys;
  double speed;
  bool pair;  // a fan of two beside each single
  int ring_interval, ring_step;
  double s7, s5;
  int offset;
};
constexpr PatternARow kPatternA[3] = {{5, 3.0, false, 24, 24, 3.0, 2.8, 12},
                                      {9, 4.0, false, 24, 18, 3.2, 3.0, 9},
                                      {9, 4.5, true, 15, 12, 3.5, 3.3, 6}};

void PatternA(EnemyObject& e, const PatternARow& r) {
  int32_t& counter = e.gun_counter[0];
  int32_t& beat = e.gun_shots[0];
  int32_t& cycle = e.gun_words[0];
  if (counter % 4 == 0) {
    if (beat == 0) {
      TakeAim(e, 0);
      TakeAim(e, 1);
    }
    if (beat < r.volleys) {
      const int gun = cycle % 2 == 1 ? 1 : 0;
      Single(e, gun, 0, e.gun_angle[gun], r.speed);
      if (r.pair) Fan(e, gun, 0, e.gun_angle[gun], 4.0, 2, 6);
      Volley();
    }
    if (++beat >= 9) {
      beat = 0;
      ++cycle;
    }
  }
  ++counter;

  int32_t& ring_counter = e.gun_counter[1];
  int32_t& ring = e.gun_shots[1];
  if (ring_counter >= 121 && ring_counter % r.ring_interval == 0) {
    TakeAim(e, 2);
    TakeAim(e, 3);
    const int gun = ring % 2 == 0 ? 2 : 3;
    const double aim = e.gun_angle[gun];
    for (int a = 0; a < 360; a += r.ring_step) {
      Single(e, gun, 7, a + aim, r.s7);
      Single(e, gun, 5, a + aim + r.offset, r.s5);
    }
    Volley();
    ++ring;
  }
  ++ring_counter;
}

// ---- Phase 1 pattern B: fans from guns 2 and 3, faster by the beat ---------
// Gun 2 counts, its shot count is the beat, gun word 2 the cycle.
struct FanRow {
  int type;
  double base, count, step;
};
struct PatternBRow {
  int volleys;
  FanRow even;
  FanRow odd[2];
};
constexpr PatternBRow kPatternB[3] = {
    {15, {10, 2.4, 2, 30}, {{10, 2.5, 2, 45}, {5, 2.0, 3, 45}}},
    {20, {10, 3.4, 2, 30}, {{10, 3.5, 3, 35}, {5, 3.0, 4, 35}}},
    {20, {10, 3.7, 4, 20}, {{10, 4.0, 9, 15}, {5, 3.5, 10, 15}}},
};

void PatternB(EnemyObject& e, const PatternBRow& r) {
  int32_t& counter = e.gun_counter[2];
  int32_t& beat = e.gun_shots[2];
  int32_t& cycle = e.gun_words[2];
  if (counter % 3 == 0) {
    if (beat == 0) {
      TakeAim(e, 2);
      TakeAim(e, 3);
    }
    if (beat < r.volleys) {
      const double lift = PatternRatio(beat, 2);
      const bool odd = cycle % 2 == 1;
      const FanRow* fans = odd ? r.odd : &r.even;
      for (int f = 0; f < (odd ? 2 : 1); ++f)
        for (int gun : {2, 3})
          Fan(e, gun, fans[f].type, e.gun_angle[gun], lift + fans[f].base, fans[f].count,
              fans[f].step);
      Volley();
    }
    if (++beat >= 20) {
      beat = 0;
      ++cycle;
    }
  }
  ++counter;
}

// ---- Phase 1 pattern C: silent drops from gun 4 and still rings ------------
// Drops: gun 4 counts, its shot count is the beat. Rings: gun 2 counts.
struct PatternCRow {
  int drop_interval;
  bool twin_drops;
  int ring_interval, ring_step;
  double s7, s5;
};
constexpr PatternCRow kPatternC[3] = {
    {20, false, 45, 20, 3.4, 3.2}, {12, false, 45, 12, 4.0, 3.8}, {12, true, 35, 10, 4.0, 3.8}};

void PatternC(EnemyObject& e, const PatternCRow& r) {
  int32_t& drop_counter = e.gun_counter[4];
  int32_t& beat = e.gun_shots[4];
  if (drop_counter % r.drop_interval == 0) {
    if (beat <= 6) {
      if (r.twin_drops) {
        SingleEx(e, 4, 22, 60.0, 2.5);
        SingleEx(e, 4, 22, 120.0, 2.5);
      } else {
        SingleEx(e, 4, 22, 90.0, 1.5);
      }
    }
    if (++beat >= 8) beat = 0;
  }
  ++drop_counter;

  int32_t& ring_counter = e.gun_counter[2];
  if (ring_counter % r.ring_interval == 0) {
    for (int gun : {2, 3})
      for (int a = 0; a < 360; a += r.ring_step) {
        Single(e, gun, 7, a, r.s7);
        Single(e, gun, 5, a, r.s5);
      }
    Volley();
  }
  ++ring_counter;
}

// ---- Phase 1 pattern D: homing drops, turning crosses and needles ----------
// Drops: gun 4 counts and numbers them. Crosses: gun 1. Needles: gun 2
// counts, its shot count is the beat, gun word 2 the cycle.
struct PatternDRow {
  int drop_interval;
  int cross_interval;
  double cross_speed;
  int needles;
  bool hell;
};
constexpr PatternDRow kPatternD[3] = {
    {22, 18, 2.0, 3, false}, {12, 12, 2.0, 5, false}, {12, 9, 2.4, 5, true}};

void PatternD(EnemyObject& e, const PatternDRow& r, double needle_speed) {
  int32_t& drop_counter = e.gun_counter[4];
  int32_t& drop = e.gun_shots[4];
  if (drop_counter % r.drop_interval == 0) {
    if (r.hell) {
      SingleEx(e, 4, 23, 70.0, 2.0, drop, 1.0);
      SingleEx(e, 4, 23, 110.0, 2.0, drop, -1.0);
    } else {
      SingleEx(e, 4, 23, 90.0, 2.0, drop, 1.0);
    }
    Volley();
    ++drop;
  }
  ++drop_counter;

  int32_t& cross_counter = e.gun_counter[1];
  int32_t& m = e.gun_shots[1];
  if (cross_counter >= 121 && cross_counter % r.cross_interval == 0) {
    for (int a = 0; a < 360; a += 90) {
      Single(e, 2, 7, a - 7 * m + 30, r.cross_speed);
      Single(e, 3, 7, a + 7 * m + 60, r.cross_speed);
      if (r.hell) {
        Single(e, 2, 7, a + 7 * m + 30, r.cross_speed);
        Single(e, 3, 7, a - 7 * m + 60, r.cross_speed);
      }
    }
    Volley();
    ++m;
  }
  ++cross_counter;

  int32_t& needle_counter = e.gun_counter[2];
  int32_t& beat = e.gun_shots[2];
  int32_t& cycle = e.gun_words[2];
  if (needle_counter >= 61 && needle_counter % 4 == 0) {
    if (beat == 0) {
      TakeAim(e, 0);
      TakeAim(e, 1);
    }
    if (beat < r.needles) {
      const int gun = cycle % 2 == 1 ? 1 : 0;
      const int spread = RandomIntSigned(4);
      const double angle = e.gun_angle[gun] + spread;
      if (r.hell)
        Fan(e, gun, 2, angle, 3.0, 3, 5);
      else
        Single(e, gun, 8, angle, needle_speed);
      Volley();
    }
    if (++beat >= 12) {
      beat = 0;
      ++cycle;
    }
  }
  ++needle_counter;
}

// ---- Phase 2 pattern A: aimed streams from guns 0 and 1 --------------------
// Gun 0 counts, its shot count is the beat, gun word 0 the cycle, gun word 1
// numbers Hell's extra fans.
void Phase2PatternA(EnemyObject& e, int set) {
  int32_t& counter = e.gun_counter[0];
  int32_t& beat = e.gun_shots[0];
  int32_t& cycle = e.gun_words[0];
  int32_t& extra = e.gun_words[1];
  const int volleys = set == kHeaven ? 7 : 9;
  if (counter % 2 == 0) {
    if (beat < volleys) {
      const int gun = cycle % 2 == 1 ? 1 : 0;
      const double aim = TakeAim(e, gun);
      const double lift = PatternRatio(beat, 3);
      if (set == kHeaven) {
        Single(e, gun, 1, aim, lift + 2.5);
      } else if (set == kOriginal) {
        Fan(e, gun, 1, aim, lift + 3.5, 3, 40);
        if (beat == 8) Fan(e, gun, 7, aim, 4.0, 4, 40);
      } else {
        Fan(e, gun, 1, aim, lift + 3.5, 5, 30);
        if (beat == 1) {
          FanEx(e, gun, 37, aim, 4.0, 4, 40, SignOf(extra % 2));
          ++extra;
        }
      }
      Volley();
    }
    if (++beat >= 9) {
      beat = 0;
      ++cycle;
    }
  }
  ++counter;
}

// ---- Phase 2 pattern B: heavy bullets on the step's first frame ------------
void Phase2PatternB(EnemyObject& e, bool twin) {
  int32_t& counter = e.gun_counter[4];
  if (counter == 0) {
    if (twin) {
      SingleEx(e, 4, 33, 130.0, 4.0);
      SingleEx(e, 4, 33, 50.0, 4.0);
    } else {
      SingleEx(e, 4, 33, 90.0, 4.0);
    }
    Volley();
  }
  ++counter;
}

// ---- Phase 2 pattern C: rings and heavy singles in turn, ever faster -------
// Gun 0 counts; gun 4's shot count numbers the volleys and its aux value
// holds the interval; gun word 0 numbers the heavy singles.
void Phase2PatternC(EnemyObject& e, const int (&intervals)[3], bool hex_ring) {
  int32_t& counter = e.gun_counter[0];
  int32_t& n = e.gun_shots[4];
  int32_t& heavy = e.gun_words[0];
  double& interval = e.gun_aux[4];
  // Worked out from the volley number before the test: the guns were just
  // cleared, and a cleared interval would divide by zero.
  interval = intervals[n < 5 ? 0 : n < 10 ? 1 : 2];
  int every = TruncToInt(interval);
  if (every < 1) every = 1;
  if (counter % every == 0) {
    if (n % 2 == 0) {
      const double clock = counter;
      if (hex_ring) {
        for (int a = 0; a < 360; a += 60) SingleEx(e, 4, 24, a, 4.0, clock);
      } else {
        for (int a = 0; a < 360; a += 90) SingleEx(e, 4, 24, a + 45, 4.0, clock);
      }
    } else {
      SingleEx(e, 4, 25, 90 + 30 * SignOf(heavy % 2), 4.0);
      ++heavy;
    }
    Volley();
    ++n;
  }
  ++counter;
}

constexpr int kPhase2CSlow[3] = {65, 55, 45};
constexpr int kPhase2CFast[3] = {50, 40, 30};

// The break's burst: the blasts round both engines, then debris over the
// whole body.
void BreakBurst(EnemyObject& e) {
  SpawnBossSideBlasts(e);
  const double x = e.x, y = e.y;
  const int half_w = TruncToInt(e.width) / 2;
  const int half_h = TruncToInt(e.height) / 2;
  for (int i = 0; i < 30; ++i) {
    // Each draw into its own local, in the order replays depend on.
    const double speed = PatternRatio(RandomInt(20), 10);
    const int angle = RandomInt(360);
    const int ry = RandomIntSigned(half_h);
    const int rx = RandomIntSigned(half_w);
    SpawnExplosionEx(x + rx, y + ry, 122, angle, speed, 1.0, 0.0);
  }
}

}  // namespace

void FireType210PatternAHeaven(EnemyObject& e) { PatternA(e, kPatternA[kHeaven]); }
void FireType210PatternAOriginal(EnemyObject& e) { PatternA(e, kPatternA[kOriginal]); }
void FireType210PatternAHell(EnemyObject& e) { PatternA(e, kPatternA[kHell]); }
void FireType210PatternBHeaven(EnemyObject& e) { PatternB(e, kPatternB[kHeaven]); }
void FireType210PatternBOriginal(EnemyObject& e) { PatternB(e, kPatternB[kOriginal]); }
void FireType210PatternBHell(EnemyObject& e) { PatternB(e, kPatternB[kHell]); }
void FireType210PatternCHeaven(EnemyObject& e) { PatternC(e, kPatternC[kHeaven]); }
void FireType210PatternCOriginal(EnemyObject& e) { PatternC(e, kPatternC[kOriginal]); }
void FireType210PatternCHell(EnemyObject& e) { PatternC(e, kPatternC[kHell]); }
void FireType210PatternDHeaven(EnemyObject& e) { PatternD(e, kPatternD[kHeaven], 2.4); }
void FireType210PatternDOriginal(EnemyObject& e) { PatternD(e, kPatternD[kOriginal], 2.8); }
void FireType210PatternDHell(EnemyObject& e) { PatternD(e, kPatternD[kHell], 0.0); }
void FireType210Phase2PatternAHeaven(EnemyObject& e) { Phase2PatternA(e, kHeaven); }
void FireType210Phase2PatternAOriginal(EnemyObject& e) { Phase2PatternA(e, kOriginal); }
void FireType210Phase2PatternAHell(EnemyObject& e) { Phase2PatternA(e, kHell); }
void FireType210Phase2PatternBHeaven(EnemyObject& e) { Phase2PatternB(e, false); }
void FireType210Phase2PatternBOriginal(EnemyObject& e) { Phase2PatternB(e, false); }
void FireType210Phase2PatternBHell(EnemyObject& e) { Phase2PatternB(e, true); }
void FireType210Phase2PatternCHeaven(EnemyObject& e) { Phase2PatternC(e, kPhase2CSlow, false); }
void FireType210Phase2PatternCOriginal(EnemyObject& e) { Phase2PatternC(e, kPhase2CFast, false); }
void FireType210Phase2PatternCHell(EnemyObject& e) { Phase2PatternC(e, kPhase2CFast, true); }

void EnterBossType210(EnemyObject& e) {
  int32_t& step = BossEntryStep(e);
  switch (step) {
    case 0:
      e.draw_scale = 0.5;
      step = 1;
      break;
    case 1:
      if (e.move_state == -1) {
        e.move_state = 1;
        step = 2;
      }
      break;
    default:
      ++e.state_timer;
      if (e.state_timer <= 60) return;
      if (e.draw_scale < 1.0) {
        e.draw_scale += 0.01;
        return;
      }
      e.draw_scale = 1.0;
      e.collision_class = 0;
      SetBossLifeState(e, 1);
      break;
  }
}

void RunBossType210Phase1(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType210PatternAHeaven, FireType210PatternAOriginal,
                                        FireType210PatternAHell};
  static constexpr BossPattern kB[3] = {FireType210PatternBHeaven, FireType210PatternBOriginal,
                                        FireType210PatternBHell};
  static constexpr BossPattern kC[3] = {FireType210PatternCHeaven, FireType210PatternCOriginal,
                                        FireType210PatternCHell};
  static constexpr BossPattern kD[3] = {FireType210PatternDHeaven, FireType210PatternDOriginal,
                                        FireType210PatternDHell};
  static constexpr BossWindowStep kSteps[] = {
      {&kA, 101, 419, 500}, {&kB, 0, 119, 120}, {&kC, 91, 469, 480}, {&kD, 91, 1399, 1400}};
  RunBossStepCycle(e, BossPatternStep(e, 1), kSteps);
}

void BreakBossType210Phase1(EnemyObject& e) {
  int32_t& step = BossBreakStep(e, 1);
  if (step == 0) {
    e.move_state = 0;
    SetBossLook(e, 1);
    EndBossPhase(e);
    PlaySoundEffect(21);
    BreakBurst(e);
    step = 1;
  } else if (e.move_state == -1) {
    e.move_state = 2;
    SetBossLifeState(e, 3);
  }
}

void RunBossType210Phase2(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType210Phase2PatternAHeaven,
                                        FireType210Phase2PatternAOriginal,
                                        FireType210Phase2PatternAHell};
  static constexpr BossPattern kB[3] = {FireType210Phase2PatternBHeaven,
                                        FireType210Phase2PatternBOriginal,
                                        FireType210Phase2PatternBHell};
  static constexpr BossPattern kC[3] = {FireType210Phase2PatternCHeaven,
                                        FireType210Phase2PatternCOriginal,
                                        FireType210Phase2PatternCHell};
  static constexpr BossWindowStep kSteps[] = {
      {&kA, 101, 279, 320}, {&kB, 0, 99, 240}, {&kC, 0, 1599, 1600}};
  RunBossStepCycle(e, BossPatternStep(e, 2), kSteps);
}

void RunBossType210Death(EnemyObject& e) {
  if (e.state_timer == 0) e.move_state = 3;
  RunBossDeathFrame(e, true);
}

int UpdateBossType210(EnemyObject& e) {
  RunMoveScript(e);
  LayOutGuns(e);
  switch (e.life_state) {
    case 0:
      EnterBossType210(e);
      break;
    case 1:
      RunBossType210Phase1(e);
      break;
    case 2:
      BreakBossType210Phase1(e);
      break;
    case 3:
      RunBossType210Phase2(e);
      break;
    case 8:
      RunBossType210Death(e);
      break;
    default:
      break;
  }
  return 0;
}
