// The stage 2 mid-boss (type 100) and its four pods (type 101): one handler
// per life state, its fire patterns by difficulty set, and where its own
// state lives in the record.
#pragma once

#include "play/enemies.h"

void EnterMidBossType100(EnemyObject& e);
void RunMidBossType100Phase1(EnemyObject& e);
void RunMidBossType100Death(EnemyObject& e);

void FireType100PatternAHeaven(EnemyObject& e);
void FireType100PatternAOriginal(EnemyObject& e);
void FireType100PatternAHell(EnemyObject& e);
void FireType100PatternBHeaven(EnemyObject& e);
void FireType100PatternBOriginal(EnemyObject& e);
void FireType100PatternBHell(EnemyObject& e);
void FireType100PatternCHeaven(EnemyObject& e);
void FireType100PatternCOriginal(EnemyObject& e);
void FireType100PatternCHell(EnemyObject& e);

inline constexpr int kType100Pods = 4;
// Added to vy after the move script; the descent's speed too.
inline double& Type100Acceleration(EnemyObject& e) { return e.motion_y; }
// The pods' ring: 0 when they come out, then +2 a frame up to 96.
inline double& Type100RingRadius(EnemyObject& e) { return e.motion_x; }
inline int32_t& Type100PodsOut(EnemyObject& e) { return e.script_states[16]; }
// Pod k as the mid-boss saw it this frame: 1 while it is in use.
inline int32_t& Type100PodInUse(EnemyObject& e, int k) { return e.part_words[k]; }
// A pod's facing, read by its drawing.
inline int32_t& PodFacing(EnemyObject& pod) { return pod.turn_angles[0]; }
