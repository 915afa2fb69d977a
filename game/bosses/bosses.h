// Behaviour scripts of the mid-bosses and bosses, run by the enemy pass after
// the velocity step like every other enemy type's script.
#pragma once

struct EnemyObject;

int UpdateMidBossType100(EnemyObject& enemy);
int UpdateMidBossType110(EnemyObject& enemy);
int UpdateMidBossType120(EnemyObject& enemy);
int UpdateBossType200(EnemyObject& enemy);
int UpdateBossType210(EnemyObject& enemy);
int UpdateBossType220(EnemyObject& enemy);
int UpdateBossType230(EnemyObject& enemy);
int UpdateBossType240(EnemyObject& enemy);
int UpdateBossType250(EnemyObject& enemy);

// Stage 1 boss: one handler per life state, and its fire patterns by
// difficulty set (those with a side take 0 or 1).
void EnterBossType200(EnemyObject& e);
void RunBossType200Phase1(EnemyObject& e);
void BreakBossType200Phase1(EnemyObject& e);
void RunBossType200Phase2(EnemyObject& e);
void RunBossType200Death(EnemyObject& e);
void FireType200PatternAHeaven(EnemyObject& e);
void FireType200PatternAOriginal(EnemyObject& e);
void FireType200PatternAHell(EnemyObject& e);
void FireType200PatternBHeaven(EnemyObject& e, int side);
void FireType200PatternBOriginal(EnemyObject& e, int side);
void FireType200PatternBHell(EnemyObject& e, int side);
void FireType200PatternCHeaven(EnemyObject& e);
void FireType200PatternCOriginal(EnemyObject& e);
void FireType200PatternCHell(EnemyObject& e);
void FireType200Phase2PatternAHeaven(EnemyObject& e);
void FireType200Phase2PatternAOriginal(EnemyObject& e);
void FireType200Phase2PatternAHell(EnemyObject& e);
void FireType200Phase2PatternBHeaven(EnemyObject& e, int side);
void FireType200Phase2PatternBOriginal(EnemyObject& e, int side);
void FireType200Phase2PatternBHell(EnemyObject& e, int side);
void FireType200PartPatternHeaven(EnemyObject& e);
void FireType200PartPatternOriginal(EnemyObject& e);
void FireType200PartPatternHell(EnemyObject& e);
