// The stage 5 boss (type 240): rides in on the scrolling background, starts
// its music once the scroll has stopped, and changes the background's scroll
// at each of its breaks. Three attack phases from five guns.
#include "bosses/stage5_boss.h"

#include "bosses/boss_common.h"
#include "bosses/boss_guns.h"
#include "bosses/bosses.h"
#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "play/stage.h"
#include "shell/game_math.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

namespace {

using namespace boss_guns;

constexpr int kMusicAt = 60;      // frames after the scroll stops
constexpr int kHittableAt = 120;  // likewise

struct FanRow {
  int type;
  double speed, count, step;
};

// The first `used` rows of `fans` from gun `gun` at `angle`, each `speed_add`
// faster than its row says.
template <size_t N>
void Fans(const EnemyObject& e, int gun, const FanRow (&fans)[N], int used, double angle,
          double speed_add = 0.0) {
  for (int i = 0; i < used && i < static_cast<int>(N); ++i)
    Fan(e, gun, fans[i].type, angle, fans[i].speed + speed_add, fans[i].count, fans[i].step);
}

void RunMoveScript(EnemyObject& e) {
  int32_t& t = BossMoveTimer(e);
  switch (e.move_state) {
    case -1:
      HoldBossMoveTimer(e);
      break;
    // Rides with background layer 1 until the scroll stops.
    case 0:
      e.vy = GetScrollSpeed(1);
      break;
    case 1:
      e.vx = CosDeg(static_cast<double>(t / 2)) * 0.2;
      e.vy = SinDeg(static_cast<double>(-t)) * 0.1;
      ++t;
      break;
    default:
      break;
  }
}

void LayOutGuns(EnemyObject& e) {
  const double x = e.x, y = e.y;
  const double gx[5] = {x, x - 96, x + 96, x - 56, x + 56};
  const double gy[5] = {y - 16, y - 28, y - 28, y + 32, y + 32};
  for (int g = 0; g < 5; ++g) {
    e.gun_x[g] = gx[g];
    e.gun_y[g] = gy[g];
  }
}

// ---- Phase 1 pattern A: aimed bursts from gun 0, side fans from 1 and 2 --
struct PatternARow {
  FanRow burst[2];
  int bursts;
  int side_interval;
  FanRow side[5];
  int sides;
};
constexpr PatternARow kPatternA[3] = {
    {{{4, 3.0, 13, 15}}, 1, 130, {{7, 3.0, 11, 12}, {5, 2.8, 10, 7}, {5, 2.6, 11, 11}}, 3},
    {{{4, 3.4, 17, 11}}, 1, 130, {{7, 3.4, 11, 12}, {5, 3.2, 10, 7}, {5, 3.0, 11, 11}}, 3},
    {{{4, 3.4, 16, 11}, {4, 3.6, 17, 11}},
     2,
     120,
     {{7, 3.8, 11, 13}, {7, 3.6, 12, 13}, {7, 3.4, 11, 12}, {5, 3.2, 10, 7}, {5, 3.0, 11, 11}},
     5},
};

void PatternA(EnemyObject& e, const PatternARow& r) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& s0 = e.gun_shots[0];
  int32_t& s1 = e.gun_shots[1];
  int32_t& s2 = e.gun_shots[2];
  if (c0 % 5 == 0) {
    if (s0 == 0) e.gun_angle[0] = AimFrom(e, 0);
    if (s0 < 2) {
      Volley();
      Fans(e, 0, r.burst, r.bursts, e.gun_angle[0]);
    }
    // A burst every 12 volleys, and from the sixth on every 6.
    if (++s0 >= 12 - s2) {
      s0 = 0;
      if (++s1 >= 5) s2 = 6;
    }
  }
  ++c0;

  int32_t& c10 = e.gun_counter[10];
  if (c10 >= 121 && c10 % r.side_interval == 0) {
    Volley();
    for (int g = 1; g <= 2; ++g) {
      e.gun_angle[g] = AimFrom(e, g);
      Fans(e, g, r.side, r.sides, e.gun_angle[g]);
    }
  }
  ++c10;
}

// ---- Phase 1 pattern B: one volley of slow heavy shots -------------------
void PatternB(EnemyObject& e, bool hell) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& s0 = e.gun_shots[0];
  if (c0 % 110 == 0) {
    if (s0 == 0) {
      Volley();
      for (int g = hell ? 1 : 3; g <= 4; ++g) Fan(e, g, 31, 90.0, 2.5, 1, 0);
    }
    ++s0;
  }
  ++c0;
}

// ---- Phase 1 pattern C: closing pairs, aimed shots, waving crosses -------
struct PatternCRow {
  int pair_interval, pair_closing;
  int aimed_volleys;
  double aimed_speed, aimed_count, aimed_step;
  int wave_interval;
  double wave_speed, drop_speed, wave_count, wave_step;
};
constexpr PatternCRow kPatternC[3] = {
    {6, 40, 3, 3.1, 1, 0, 9, 2.2, 3.0, 1, 0},
    {4, 45, 5, 3.5, 1, 0, 3, 2.7, 3.4, 1, 0},
    {4, 45, 5, 3.8, 3, 40, 4, 3.3, 3.4, 2, 20},
};

void PatternC(EnemyObject& e, const PatternCRow& r, bool hell) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& s1 = e.gun_shots[1];
  int32_t& s2 = e.gun_shots[2];
  if (c0 % r.pair_interval == 0) {
    Volley();
    const double w = SinDeg(2.0 * s2) * 30.0;
    for (int pass = 0; pass < (hell ? 2 : 1); ++pass) {
      const double d = (pass == 0 ? 180 : 170) - 3 * s1;
      Fan(e, 1, 0, 75 + w, 8.0, 2, d);
      Fan(e, 2, 0, 105 + w, 8.0, 2, d);
      Fan(e, 1, 0, -105 + w, 8.0, 2, d);
      Fan(e, 2, 0, -75 + w, 8.0, 2, d);
    }
    // The pairs close to their narrowest, then start to wave.
    if (s1 < r.pair_closing)
      ++s1;
    else
      ++s2;
  }
  ++c0;

  int32_t& c5 = e.gun_counter[5];
  int32_t& s5 = e.gun_shots[5];
  int32_t& s6 = e.gun_shots[6];
  if (c5 >= 181 && c5 % 6 == 0) {
    const int g = 3 + s6 % 2;
    if (s5 < r.aimed_volleys) {
      if (s5 == 0) e.gun_angle[0] = AimFrom(e, g);
      Fan(e, g, 0, e.gun_angle[0], r.aimed_speed, r.aimed_count, r.aimed_step);
    }
    if (++s5 >= 6) {
      s5 = 0;
      ++s6;
    }
  }
  ++c5;

  int32_t& c10 = e.gun_counter[10];
  int32_t& s10 = e.gun_shots[10];
  if (c10 >= 181 && c10 % r.wave_interval == 0) {
    const int k = 7 * s10;
    const double down[4] = {90 + SinDeg(k) * 60, 90 + SinDeg(-k) * 60, 90 + SinDeg(-k) * 60,
                            90 + SinDeg(k) * 60};
    const double up[4] = {270 + SinDeg(k + 180) * 60, 270 + SinDeg(180 - k) * 60,
                          270 + SinDeg(180 - k) * 60, 270 + SinDeg(k + 180) * 60};
    for (int i = 0; i < 4; ++i)
      Fan(e, 1 + i % 2, 5, down[i], r.wave_speed, r.wave_count, r.wave_step);
    for (int i = 0; i < 4; ++i)
      Fan(e, 1 + i % 2, 5, up[i], r.wave_speed, r.wave_count, r.wave_step);
    Fan(e, 0, 7, 90 + CosDeg(4 * s10) * 90, r.drop_speed, r.wave_count, r.wave_step);
    ++s10;
  }
  ++c10;
}

// ---- Phase 2 pattern A: three aimed bursts from all five guns ------------
struct Phase2ARow {
  FanRow fans[6];
  int used;
};
constexpr Phase2ARow kPhase2A[3] = {
    {{{3, 4.5, 2, 6}, {3, 4.0, 3, 6}, {3, 4.5, 2, 55}, {3, 4.0, 2, 55}}, 4},
    {{{3, 4.5, 3, 6}, {3, 4.0, 4, 6}, {3, 4.5, 2, 50}, {3, 4.0, 2, 50}}, 4},
    {{{3, 4.7, 3, 6},
      {3, 4.2, 4, 6},
      {3, 4.7, 2, 46},
      {3, 4.2, 2, 46},
      {3, 5.2, 2, 54},
      {3, 4.7, 2, 54}},
     6},
};

void Phase2PatternA(EnemyObject& e, const Phase2ARow& r) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& s0 = e.gun_shots[0];
  int32_t& s1 = e.gun_shots[1];
  // Bursts of 3, 6 and 9 volleys, each followed by 5 silent beats; then
  // nothing more.
  if (c0 % 8 == 0 && s1 < 3) {
    if (s0 < 3 * s1 + 3) {
      Volley();
      for (int g = 0; g < 5; ++g) {
        e.gun_angle[g] = AimFrom(e, g);
        Fans(e, g, r.fans, r.used, e.gun_angle[g], s1);
      }
    }
    if (++s0 >= 3 * s1 + 8) {
      s0 = 0;
      ++s1;
    }
  }
  ++c0;
}

// ---- Phase 2 pattern B: waving aimed pairs of fans -----------------------
struct Phase2BRow {
  int interval;
  double speed0, count0, speed9, count9, step;
};
constexpr Phase2BRow kPhase2B[3] = {
    {70, 2.4, 9, 2.0, 18, 21}, {50, 2.4, 11, 2.0, 10, 18}, {40, 2.8, 13, 2.4, 12, 15}};

void Phase2PatternB(EnemyObject& e, const Phase2BRow& r, bool hell) {
  if (hell) {
    int32_t& c0 = e.gun_counter[0];
    int32_t& s0 = e.gun_shots[0];
    if (c0 >= 141 && c0 % 4 == 0) {
      if (s0 < 10) {
        Volley();
        for (int g = 0; g < 5; ++g) {
          if (s0 == 0) e.gun_angle[10 + g] = AimFrom(e, g);
          Fan(e, g, 10, e.gun_angle[10 + g], s0 * 0.7 + 4.0, 5, 30);
        }
      }
      if (++s0 >= 30) s0 = 0;
    }
    ++c0;
  }

  int32_t& c10 = e.gun_counter[10];
  int32_t& s10 = e.gun_shots[10];
  if (c10 % r.interval == 0) {
    Volley();
    for (int g = 0; g < 5; ++g) {
      e.gun_angle[g] = AimFrom(e, g);
      const double w = SignOf(g % 2) * 30.0 * SinDeg(5 * s10 + 20 * g);
      Fan(e, g, 0, e.gun_angle[g] + w, r.speed0, r.count0, r.step);
      Fan(e, g, 9, e.gun_angle[g] + w, r.speed9, r.count9, r.step);
    }
    ++s10;
  }
  ++c10;
}

// ---- Phase 2 pattern C: turning triples and aimed rings ------------------
struct Phase2CRow {
  int triples;
  double triple_speed;
  int ring_interval;
  FanRow rings[2];
  int ring_count;
  int cross_interval;
  double cross_speed;
};
constexpr Phase2CRow kPhase2C[3] = {
    {3, 2.8, 100, {{10, 2.0, 13, 15}}, 1, 10, 2.5},
    {5, 3.0, 90, {{10, 2.0, 17, 12}}, 1, 4, 3.0},
    {5, 3.3, 80, {{10, 2.2, 19, 10}, {10, 2.4, 19, 10}}, 2, 4, 3.0},
};

void Phase2PatternC(EnemyObject& e, const Phase2CRow& r, bool hell) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& s0 = e.gun_shots[0];
  int32_t& s1 = e.gun_shots[1];
  if (c0 % 4 == 0) {
    if (s0 < r.triples) {
      Volley();
      Fan(e, 1, 7, 180 + 2 * s1, r.triple_speed, 3, 120);
      Fan(e, 2, 7, -2 * s1, r.triple_speed, 3, 120);
      if (hell) {
        Fan(e, 1, 7, 183 + 2 * s1, 3.3, 3, 120);
        Fan(e, 2, 7, -2 * s1 - 3, 3.3, 3, 120);
      }
    }
    if (++s0 >= 9) s0 = 0;
    ++s1;
  }
  ++c0;

  int32_t& c5 = e.gun_counter[5];
  if (c5 >= 201 && c5 % r.ring_interval == 0) Fans(e, 0, r.rings, r.ring_count, AimFrom(e, 0));
  ++c5;

  int32_t& c10 = e.gun_counter[10];
  int32_t& s10 = e.gun_shots[10];
  if (c10 >= 121 && c10 % r.cross_interval == 0) {
    Volley();
    Fan(e, 3, 9, 90 + 11 * s10, r.cross_speed, 3, 120);
    Fan(e, 4, 9, 90 - 11 * s10, r.cross_speed, 3, 120);
    if (hell) {
      Fan(e, 3, 9, 95 + 11 * s10, 3.3, 3, 120);
      Fan(e, 4, 9, 85 - 11 * s10, 3.3, 3, 120);
    }
    ++s10;
  }
  ++c10;
}

// ---- Phase 3: turning crosses of heavy shots and aimed streams -----------
struct Phase3Row {
  int cross_interval;
  int aimed_volleys, aimed_cycle;
  double speed, count, step;
};
constexpr Phase3Row kPhase3[3] = {
    {60, 3, 15, 3.0, 1, 0}, {30, 5, 15, 3.0, 1, 0}, {20, 5, 13, 4.0, 3, 2}};

void Phase3Pattern(EnemyObject& e, const Phase3Row& r) {
  int32_t& c0 = e.gun_counter[0];
  int32_t& s0 = e.gun_shots[0];
  int32_t& s1 = e.gun_shots[1];
  if (c0 % r.cross_interval == 0) {
    Volley();
    const int sigma = SignOf(s1 % 2);
    for (int a = 0; a < 360; a += 90) {
      SingleEx(e, 1, 32, a + sigma * s0 * 7 + 45, 3.0);
      SingleEx(e, 2, 32, a - sigma * s0 * 7, 3.0, 1.0);
    }
    // Every 30 volleys both crosses turn the other way.
    if (++s0 % 30 == 0) ++s1;
  }
  ++c0;

  int32_t& c10 = e.gun_counter[10];
  int32_t& s10 = e.gun_shots[10];
  int32_t& s11 = e.gun_shots[11];
  if (c10 >= 181 && c10 % 5 == 0) {
    const int g = 3 + s11 % 2;
    if (s10 == 0) e.gun_angle[g] = AimFrom(e, g);
    if (s10 < r.aimed_volleys) Fan(e, g, 10, e.gun_angle[g], r.speed, r.count, r.step);
    if (++s10 >= r.aimed_cycle) {
      s10 = 0;
      ++s11;
    }
  }
  ++c10;
}

}  // namespace

void FireType240PatternAHeaven(EnemyObject& e) { PatternA(e, kPatternA[kHeaven]); }
void FireType240PatternAOriginal(EnemyObject& e) { PatternA(e, kPatternA[kOriginal]); }
void FireType240PatternAHell(EnemyObject& e) { PatternA(e, kPatternA[kHell]); }
void FireType240PatternBHeaven(EnemyObject& e) { PatternB(e, false); }
void FireType240PatternBOriginal(EnemyObject& e) { PatternB(e, false); }
void FireType240PatternBHell(EnemyObject& e) { PatternB(e, true); }
void FireType240PatternCHeaven(EnemyObject& e) { PatternC(e, kPatternC[kHeaven], false); }
void FireType240PatternCOriginal(EnemyObject& e) { PatternC(e, kPatternC[kOriginal], false); }
void FireType240PatternCHell(EnemyObject& e) { PatternC(e, kPatternC[kHell], true); }
void FireType240Phase2PatternAHeaven(EnemyObject& e) { Phase2PatternA(e, kPhase2A[kHeaven]); }
void FireType240Phase2PatternAOriginal(EnemyObject& e) { Phase2PatternA(e, kPhase2A[kOriginal]); }
void FireType240Phase2PatternAHell(EnemyObject& e) { Phase2PatternA(e, kPhase2A[kHell]); }
void FireType240Phase2PatternBHeaven(EnemyObject& e) {
  Phase2PatternB(e, kPhase2B[kHeaven], false);
}
void FireType240Phase2PatternBOriginal(EnemyObject& e) {
  Phase2PatternB(e, kPhase2B[kOriginal], false);
}
void FireType240Phase2PatternBHell(EnemyObject& e) { Phase2PatternB(e, kPhase2B[kHell], true); }
void FireType240Phase2PatternCHeaven(EnemyObject& e) {
  Phase2PatternC(e, kPhase2C[kHeaven], false);
}
void FireType240Phase2PatternCOriginal(EnemyObject& e) {
  Phase2PatternC(e, kPhase2C[kOriginal], false);
}
void FireType240Phase2PatternCHell(EnemyObject& e) { Phase2PatternC(e, kPhase2C[kHell], true); }
void FireType240Phase3PatternAHeaven(EnemyObject& e) { Phase3Pattern(e, kPhase3[kHeaven]); }
void FireType240Phase3PatternAOriginal(EnemyObject& e) { Phase3Pattern(e, kPhase3[kOriginal]); }
void FireType240Phase3PatternAHell(EnemyObject& e) { Phase3Pattern(e, kPhase3[kHell]); }

void EnterBossType240(EnemyObject& e) {
  int32_t& step = BossEntryStep(e);
  if (step == 0) {
    // Counted from the frame after the scroll is first seen stopped, so the
    // music starts 60 frames and the fight 120 frames after that frame.
    if (GetScrollSpeed(1) == 0.0) {
      step = 1;
      e.state_timer = 0;
    }
    return;
  }
  ++e.state_timer;
  if (e.state_timer == kMusicAt) PlayBgm(8);
  if (e.state_timer >= kHittableAt) {
    e.collision_class = 0;
    SetBossLifeState(e, 1);
  }
}

void RunBossType240Phase1(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType240PatternAHeaven, FireType240PatternAOriginal,
                                        FireType240PatternAHell};
  static constexpr BossPattern kB[3] = {FireType240PatternBHeaven, FireType240PatternBOriginal,
                                        FireType240PatternBHell};
  static constexpr BossPattern kC[3] = {FireType240PatternCHeaven, FireType240PatternCOriginal,
                                        FireType240PatternCHell};
  static constexpr BossWindowStep kSteps[] = {
      {&kA, 61, 599, 660}, {&kB, 61, 179, 180}, {&kC, 61, 1999, 2060}};
  RunBossStepCycle(e, BossPatternStep(e, 1), kSteps);
}

void BreakBossType240Phase1(EnemyObject& e) {
  int32_t& step = BossBreakStep(e, 1);
  if (step == 0) {
    EndBossPhase(e);
    SetScrollMode(3);  // the background scrolls again
    e.move_state = 1;
    step = 1;
  }
  if (++e.state_timer >= 60) SetBossLifeState(e, 3);
}

void RunBossType240Phase2(EnemyObject& e) {
  static constexpr BossPattern kA[3] = {FireType240Phase2PatternAHeaven,
                                        FireType240Phase2PatternAOriginal,
                                        FireType240Phase2PatternAHell};
  static constexpr BossPattern kB[3] = {FireType240Phase2PatternBHeaven,
                                        FireType240Phase2PatternBOriginal,
                                        FireType240Phase2PatternBHell};
  static constexpr BossPattern kC[3] = {FireType240Phase2PatternCHeaven,
                                        FireType240Phase2PatternCOriginal,
                                        FireType240Phase2PatternCHell};
  static constexpr BossWindowStep kSteps[] = {
      {&kA, 61, 359, 360}, {&kB, 0, 799, 860}, {&kC, 0, 1599, 1600}};
  RunBossStepCycle(e, BossPatternStep(e, 2), kSteps);
}

void BreakBossType240Phase2(EnemyObject& e) {
  SetScrollMode(2);  // the background speeds up to 8 a frame
  EndBossPhase(e);
  SetBossLifeState(e, 5);
}

void RunBossType240Phase3(EnemyObject& e) {
  static constexpr BossPattern kSets[3] = {FireType240Phase3PatternAHeaven,
                                           FireType240Phase3PatternAOriginal,
                                           FireType240Phase3PatternAHell};
  if (e.state_timer > 120) RunBossPattern(e, kSets);
  ++e.state_timer;
}

// No final motion: it keeps swaying while it explodes.
void RunBossType240Death(EnemyObject& e) { RunBossDeathFrame(e, true); }

int UpdateBossType240(EnemyObject& e) {
  RunMoveScript(e);
  LayOutGuns(e);
  switch (e.life_state) {
    case 0:
      EnterBossType240(e);
      break;
    case 1:
      RunBossType240Phase1(e);
      break;
    case 2:
      BreakBossType240Phase1(e);
      break;
    case 3:
      RunBossType240Phase2(e);
      break;
    case 4:
      BreakBossType240Phase2(e);
      break;
    case 5:
      RunBossType240Phase3(e);
      break;
    case 8:
      RunBossType240Death(e);
      break;
    default:
      break;
  }
  return 0;
}
