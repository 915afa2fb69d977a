// The stage 4 boss (type 230): its life-state handlers, its fire patterns by
// difficulty set, and where its script keeps the state of its four pods.
#pragma once

#include <cstdint>

#include "play/enemies.h"

// Pod modes: each pod flies by its own velocity, or the four ride a ring
// round the body turning clockwise (1) or counter-clockwise (2).
inline constexpr int kType230PodsFree = 0;
inline constexpr int kType230RingClockwise = 1;
inline constexpr int kType230RingCounterClockwise = 2;

// Pods 0-3 are pod points 0-3 (positions and velocities in screen pixels);
// the drawing and the hit boxes read them from there.
inline int32_t& Type230PodArrived(EnemyObject& e, int pod) { return e.script_states[16 + pod]; }
inline int32_t& Type230PodMode(EnemyObject& e) { return e.script_states[20]; }
inline int32_t& Type230RingAngle(EnemyObject& e) { return e.script_states[21]; }
inline int32_t& Type230RingRadius(EnemyObject& e) { return e.script_states[22]; }
inline int32_t& Type230RingTurns(EnemyObject& e) { return e.script_states[23]; }
inline int32_t& Type230VolleyInterval(EnemyObject& e) { return e.script_states[24]; }
// Where each pod rests beside the body and where it goes in phase 1,
// rewritten every frame (screen pixels).
inline double& Type230HomeX(EnemyObject& e, int pod) { return e.pod_x[4 + pod]; }
inline double& Type230HomeY(EnemyObject& e, int pod) { return e.pod_y[4 + pod]; }
inline double& Type230CornerX(EnemyObject& e, int pod) { return e.pod_x[8 + pod]; }
inline double& Type230CornerY(EnemyObject& e, int pod) { return e.pod_y[8 + pod]; }

void EnterBossType230(EnemyObject& e);
void RunBossType230Phase1(EnemyObject& e);
void BreakBossType230Phase1(EnemyObject& e);
void RunBossType230Phase2(EnemyObject& e);
void BreakBossType230Phase2(EnemyObject& e);
void RunBossType230Phase3(EnemyObject& e);
void RunBossType230Death(EnemyObject& e);

void FireType230PatternAHeaven(EnemyObject& e);
void FireType230PatternAOriginal(EnemyObject& e);
void FireType230PatternAHell(EnemyObject& e);
void FireType230PatternBHeaven(EnemyObject& e);
void FireType230PatternBOriginal(EnemyObject& e);
void FireType230PatternBHell(EnemyObject& e);
void FireType230PatternCHeaven(EnemyObject& e);
void FireType230PatternCOriginal(EnemyObject& e);
void FireType230PatternCHell(EnemyObject& e);
void FireType230Phase2PatternAHeaven(EnemyObject& e);
void FireType230Phase2PatternAOriginal(EnemyObject& e);
void FireType230Phase2PatternAHell(EnemyObject& e);
void FireType230Phase2PatternBHeaven(EnemyObject& e);
void FireType230Phase2PatternBOriginal(EnemyObject& e);
void FireType230Phase2PatternBHell(EnemyObject& e);
void FireType230Phase3PatternAHeaven(EnemyObject& e);
void FireType230Phase3PatternAOriginal(EnemyObject& e);
void FireType230Phase3PatternAHell(EnemyObject& e);
