// The stage 4 mid-boss (type 110): its life-state handlers, its fire
// patterns by difficulty set, and where its script keeps its state.
#pragma once

#include <cstdint>

#include "bosses/boss_common.h"
#include "play/enemies.h"

// Turret modes, those of every mid-boss turret.
inline constexpr int kType110TurretTrack = kMidBossTurretTrack;
inline constexpr int kType110TurretToRest = kMidBossTurretToRest;
inline constexpr int kType110TurretAtRest = kMidBossTurretAtRest;
inline constexpr int kType110TurretHeld = kMidBossTurretHeld;

inline int32_t& Type110TopTurretMode(EnemyObject& e) { return e.script_states[16]; }
inline int32_t& Type110SideTurretMode(EnemyObject& e) { return e.script_states[17]; }
inline int32_t& Type110BreakDone(EnemyObject& e) { return e.script_states[18]; }
// The speed of the approach, which is also added to vy every frame; -1.0
// once the time limit is out, so the mid-boss climbs away.
inline double& Type110ApproachSpeed(EnemyObject& e) { return e.motion_x; }
// Turret angles in whole degrees, read by the drawing: 0 top, 1 left, 2 right.
// The turrets' pivots are pod points 0-2.
inline int32_t& Type110TurretAngle(EnemyObject& e, int turret) { return e.turn_angles[turret]; }

void EnterMidBossType110(EnemyObject& e);
void RunMidBossType110Phase1(EnemyObject& e);
void BreakMidBossType110Phase1(EnemyObject& e);
void RunMidBossType110Phase2(EnemyObject& e);
void RunMidBossType110Death(EnemyObject& e);

void FireType110PatternAHeaven(EnemyObject& e);
void FireType110PatternAOriginal(EnemyObject& e);
void FireType110PatternAHell(EnemyObject& e);
void FireType110PatternBHeaven(EnemyObject& e);
void FireType110PatternBOriginal(EnemyObject& e);
void FireType110PatternBHell(EnemyObject& e);
void FireType110PatternCHeaven(EnemyObject& e);
void FireType110PatternCOriginal(EnemyObject& e);
void FireType110PatternCHell(EnemyObject& e);
void FireType110Phase2PatternAHeaven(EnemyObject& e);
void FireType110Phase2PatternAOriginal(EnemyObject& e);
void FireType110Phase2PatternAHell(EnemyObject& e);
