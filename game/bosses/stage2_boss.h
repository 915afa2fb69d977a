// The stage 2 boss (type 210): one handler per life state and its fire
// patterns by difficulty set.
#pragma once

struct EnemyObject;

void EnterBossType210(EnemyObject& e);
void RunBossType210Phase1(EnemyObject& e);
void BreakBossType210Phase1(EnemyObject& e);
void RunBossType210Phase2(EnemyObject& e);
void RunBossType210Death(EnemyObject& e);

void FireType210PatternAHeaven(EnemyObject& e);
void FireType210PatternAOriginal(EnemyObject& e);
void FireType210PatternAHell(EnemyObject& e);
void FireType210PatternBHeaven(EnemyObject& e);
void FireType210PatternBOriginal(EnemyObject& e);
void FireType210PatternBHell(EnemyObject& e);
void FireType210PatternCHeaven(EnemyObject& e);
void FireType210PatternCOriginal(EnemyObject& e);
void FireType210PatternCHell(EnemyObject& e);
void FireType210PatternDHeaven(EnemyObject& e);
void FireType210PatternDOriginal(EnemyObject& e);
void FireType210PatternDHell(EnemyObject& e);
void FireType210Phase2PatternAHeaven(EnemyObject& e);
void FireType210Phase2PatternAOriginal(EnemyObject& e);
void FireType210Phase2PatternAHell(EnemyObject& e);
void FireType210Phase2PatternBHeaven(EnemyObject& e);
void FireType210Phase2PatternBOriginal(EnemyObject& e);
void FireType210Phase2PatternBHell(EnemyObject& e);
void FireType210Phase2PatternCHeaven(EnemyObject& e);
void FireType210Phase2PatternCOriginal(EnemyObject& e);
void FireType210Phase2PatternCHell(EnemyObject& e);
