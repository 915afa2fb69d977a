// The stage 5 boss (type 240): one handler per life state and its fire
// patterns by difficulty set.
#pragma once

struct EnemyObject;

void EnterBossType240(EnemyObject& e);
void RunBossType240Phase1(EnemyObject& e);
void BreakBossType240Phase1(EnemyObject& e);
void RunBossType240Phase2(EnemyObject& e);
void BreakBossType240Phase2(EnemyObject& e);
void RunBossType240Phase3(EnemyObject& e);
void RunBossType240Death(EnemyObject& e);

void FireType240PatternAHeaven(EnemyObject& e);
void FireType240PatternAOriginal(EnemyObject& e);
void FireType240PatternAHell(EnemyObject& e);
void FireType240PatternBHeaven(EnemyObject& e);
void FireType240PatternBOriginal(EnemyObject& e);
void FireType240PatternBHell(EnemyObject& e);
void FireType240PatternCHeaven(EnemyObject& e);
void FireType240PatternCOriginal(EnemyObject& e);
void FireType240PatternCHell(EnemyObject& e);
void FireType240Phase2PatternAHeaven(EnemyObject& e);
void FireType240Phase2PatternAOriginal(EnemyObject& e);
void FireType240Phase2PatternAHell(EnemyObject& e);
void FireType240Phase2PatternBHeaven(EnemyObject& e);
void FireType240Phase2PatternBOriginal(EnemyObject& e);
void FireType240Phase2PatternBHell(EnemyObject& e);
void FireType240Phase2PatternCHeaven(EnemyObject& e);
void FireType240Phase2PatternCOriginal(EnemyObject& e);
void FireType240Phase2PatternCHell(EnemyObject& e);
void FireType240Phase3PatternAHeaven(EnemyObject& e);
void FireType240Phase3PatternAOriginal(EnemyObject& e);
void FireType240Phase3PatternAHell(EnemyObject& e);
