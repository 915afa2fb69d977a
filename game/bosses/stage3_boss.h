// The stage 3 boss (type 220): one handler per life state, its fire patterns
// by difficulty set (those with a side take 0 or 1), and where its turret
// and corner tour live in the record.
#pragma once

#include "play/enemies.h"

void EnterBossType220(EnemyObject& e);
void RunBossType220Phase1(EnemyObject& e);
void BreakBossType220Phase1(EnemyObject& e);
void RunBossType220Phase2(EnemyObject& e);
void BreakBossType220Phase2(EnemyObject& e);
void RunBossType220Phase3(EnemyObject& e);
void RunBossType220Death(EnemyObject& e);

void FireType220Burst(EnemyObject& e);
void FireType220PatternAHeaven(EnemyObject& e);
void FireType220PatternAOriginal(EnemyObject& e);
void FireType220PatternAHell(EnemyObject& e);
void FireType220PatternBHeaven(EnemyObject& e);
void FireType220PatternBOriginal(EnemyObject& e);
void FireType220PatternBHell(EnemyObject& e);
void FireType220PatternCHeaven(EnemyObject& e);
void FireType220PatternCOriginal(EnemyObject& e);
void FireType220PatternCHell(EnemyObject& e);
void FireType220Phase2PatternAHeaven(EnemyObject& e);
void FireType220Phase2PatternAOriginal(EnemyObject& e);
void FireType220Phase2PatternAHell(EnemyObject& e);
void FireType220Phase2PatternBHeaven(EnemyObject& e, int side);
void FireType220Phase2PatternBOriginal(EnemyObject& e, int side);
void FireType220Phase2PatternBHell(EnemyObject& e, int side);
void FireType220Phase2PatternCHeaven(EnemyObject& e);
void FireType220Phase2PatternCOriginal(EnemyObject& e);
void FireType220Phase2PatternCHell(EnemyObject& e);
void FireType220Phase2PatternDHeaven(EnemyObject& e, int side);
void FireType220Phase2PatternDOriginal(EnemyObject& e, int side);
void FireType220Phase2PatternDHell(EnemyObject& e, int side);
void FireType220Phase3PatternAHeaven(EnemyObject& e, int side);
void FireType220Phase3PatternAOriginal(EnemyObject& e, int side);
void FireType220Phase3PatternAHell(EnemyObject& e, int side);

// Turret modes: hold (only wrapped into 0-359), turn to 90, track the player.
enum Type220TurretMode { kTurretHold = 0, kTurretRest = 1, kTurretTrack = 2 };
// Whole degrees; the drawing picks the turret's picture from it.
inline int32_t& Type220TurretAngle(EnemyObject& e) { return e.turn_angles[0]; }
inline int32_t& Type220TurretMode(EnemyObject& e) { return e.script_states[16]; }
inline int32_t& Type220CornerLap(EnemyObject& e) { return e.script_states[17]; }
// The turret's pivot, 64 above the centre: gun 7.
inline double& Type220PivotX(EnemyObject& e) { return e.pod_x[0]; }
inline double& Type220PivotY(EnemyObject& e) { return e.pod_y[0]; }
