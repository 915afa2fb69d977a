// What every boss and mid-boss script shares: where its state lives in the
// enemy record, the move script's motions, the pattern-step timing, the
// difficulty dispatch, the part lookup and the death sequences.
#pragma once

#include <cstdint>

#include "play/enemies.h"

// Script state kept in the record's free words (all 0 at spawn).
inline int32_t& BossMoveTimer(EnemyObject& e) { return e.script_counters[0]; }
inline int32_t& BossEntryStep(EnemyObject& e) { return e.script_states[0]; }
// Phases 1-4; never reset when the phase ends.
inline int32_t& BossPatternStep(EnemyObject& e, int phase) { return e.script_states[phase]; }
// Breaks 1-3 (after phases 1-3).
inline int32_t& BossBreakStep(EnemyObject& e, int brk) { return e.script_states[4 + brk]; }
// Phases 1-4, for the phases whose patterns alternate sides.
inline int32_t& BossSideCounter(EnemyObject& e, int phase) { return e.script_states[8 + phase]; }

// Fields the pool's drawing and hit boxes read from boss scripts. The look
// (boss 210's damaged form, boss 110's lost side turrets, boss 250's shield)
// is read by the drawing from script word 1 and by boss 210's hit boxes from
// the form: one setter keeps the two in step.
inline void SetBossLook(EnemyObject& e, int look) {
  e.form = look;
  e.script_words[1] = look;
}
// Boss 250's anchor, drawn at pod 0 while this reads 1.
inline int32_t& BossAnchorShown(EnemyObject& e) { return e.script_words[2]; }

// Every life-state change a script makes restarts the phase timer, as the
// pool's own changes do: a phase entered with a running timer would skip its
// step-entry actions.
void SetBossLifeState(EnemyObject& e, int state);

// Speed terms of the fire patterns (b/2, i/4, RandomInt(20)/10, ...) divide
// as reals; an integer division would flatten every ramp to whole steps.
inline double PatternRatio(int numerator, int denominator) {
  return static_cast<double>(numerator) / static_cast<double>(denominator);
}

// The part of `boss` at part index `index` and of type `type`, or nullptr.
// A message word only names a slot: that slot may be empty, or reused by
// another enemy once the part has died, so the part must also name this
// boss (slot and serial) and this index.
EnemyObject* FindBossPart(EnemyObject& boss, int index, int type);

// Motions of the move script. Each writes the enemy's velocity for this
// frame; a finished motion writes `code` to the move state and zeroes the
// move timer.
void FinishBossMotion(EnemyObject& e, int code);
// Go to a point (field coordinates) at a fixed speed.
void RunBossMoveToPoint(EnemyObject& e, double tx, double ty, double speed, int code);
// vx = a cos(p t), vy = b sin(q t), t the move timer, which then counts; never
// finishes.
void RunBossSway(EnemyObject& e, double a, int p, double b, int q);
// Vertical velocity v0 on the motion's first frame, then + dv each frame
// while it has the opposite sign of dv's growth; finishes when it reaches 0.
void RunBossVerticalBrake(EnemyObject& e, double v0, double dv, int code);
// The idle state: the move timer held at 0.
void HoldBossMoveTimer(EnemyObject& e);

// The phase timer T of an attack-phase step, counted after the step's work:
// true on the frame the step reaches `end` frames (the step is then over and
// T is 0 again, the guns cleared).
bool CountBossStep(EnemyObject& e, int end);
inline bool InBossWindow(const EnemyObject& e, int first, int last) {
  return e.state_timer >= first && e.state_timer <= last;
}

// The pattern of the enemy's stored difficulty: 0 Heaven, 1 Original, 2 Hell;
// other values fire nothing.
using BossPattern = void (*)(EnemyObject&);
using BossSidePattern = void (*)(EnemyObject&, int side);
void RunBossPattern(EnemyObject& e, const BossPattern (&sets)[3]);
void RunBossSidePattern(EnemyObject& e, const BossSidePattern (&sets)[3], int side);

// A step that runs one pattern in a window of T (first to last, both
// included) and ends when T reaches `end`.
struct BossWindowStep {
  const BossPattern (*sets)[3];
  int first, last, end;
};
// One frame of such a step; true on the frame it ends (guns cleared, T 0).
bool RunBossWindowStep(EnemyObject& e, const BossWindowStep& s);
// One frame of a phase made only of such steps, run in turn and round
// again; a step number out of range restarts the cycle.
template <int N>
void RunBossStepCycle(EnemyObject& e, int32_t& step, const BossWindowStep (&steps)[N]) {
  if (step < 0 || step >= N) {
    step = 0;
    return;
  }
  if (RunBossWindowStep(e, steps[step])) step = (step + 1) % N;
}

// One frame of a death sequence, t the phase timer. Returns 1 once the enemy
// is destroyed. The caller does its own first-frame work (final motion, its
// parts) before calling.
// Stage boss: music halted, class 1, EndBossPhase on t 0; explosions while
// t < 200; the large flash at 200; destroyed at 240. With `count_first` the
// timer is counted before the test, so the end comes a frame sooner.
int RunBossDeathFrame(EnemyObject& e, bool count_first);
// Mid-boss: no music change, no flash; explosions while t < 90; destroyed at 130.
int RunMidBossDeathFrame(EnemyObject& e, bool count_first);
// One explosion frame: sound 20 and three effects from 8 random draws.
void SpawnBossDeathExplosions(EnemyObject& e);

// A break that blows off what hangs 120 pixels to each side of the centre:
// a ring of nine blasts round each side, then one blast on each side that
// drifts away with the ground (background layer 1).
void SpawnBossSideBlasts(EnemyObject& e);
// A debris piece flung out at angle `a` (give or take 30) from 32 pixels off
// (x, y): two draws, speed first.
void SpawnBossDebrisPiece(double x, double y, int a);

// Modes of the mid-bosses' turrets: follow the player, swing to the rest
// angle, resting there, or held where the running pattern puts it.
inline constexpr int kMidBossTurretTrack = 1;
inline constexpr int kMidBossTurretToRest = 2;
inline constexpr int kMidBossTurretAtRest = -2;
inline constexpr int kMidBossTurretHeld = 3;
// One frame's turn of a turret pivoting at (x, y), at most 3 degrees and in
// whole degrees; one swinging to rest (straight down) rests once it is there.
void TurnMidBossTurret(int32_t& angle, int32_t& mode, double x, double y);

// A sway whose vertical term runs at half the move timer: vx = a cos(p t),
// vy = b sin(t / 2) with t / 2 in whole frames, so the climb and fall take
// twice as long as the side to side.
void RunBossSwayHalfTime(EnemyObject& e, double a, int p, double b);
