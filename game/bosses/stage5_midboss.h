// The stage 5 mid-boss (type 120): one handler per life state and its fire
// patterns by difficulty set.
#pragma once

#include <cstdint>

struct EnemyObject;

void EnterMidBossType120(EnemyObject& e);
void RunMidBossType120Phase1(EnemyObject& e);
void BreakMidBossType120Phase1(EnemyObject& e);
void RunMidBossType120Phase2(EnemyObject& e);
void RunMidBossType120Death(EnemyObject& e);

void FireType120PatternAHeaven(EnemyObject& e);
void FireType120PatternAOriginal(EnemyObject& e);
void FireType120PatternAHell(EnemyObject& e);
void FireType120PatternBHeaven(EnemyObject& e);
void FireType120PatternBOriginal(EnemyObject& e);
void FireType120PatternBHell(EnemyObject& e);
void FireType120PatternCHeaven(EnemyObject& e);
void FireType120PatternCOriginal(EnemyObject& e);
void FireType120PatternCHell(EnemyObject& e);
void FireType120Phase2PatternAHeaven(EnemyObject& e);
void FireType120Phase2PatternAOriginal(EnemyObject& e);
void FireType120Phase2PatternAHell(EnemyObject& e);

// Turret modes: 1 tracks the player, 2 turns to rest at 90, -2 at rest,
// 3 held where the patterns put it.
int32_t& Type120TurretMode(EnemyObject& e);
// The speed of the move to the post, set before that move starts.
int32_t& Type120ApproachSpeed(EnemyObject& e);
// Added to vy every frame: -1 once the time limit has run out.
double& Type120ClimbSpeed(EnemyObject& e);
