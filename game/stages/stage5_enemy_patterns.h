// The per-difficulty fire patterns and life-switch halves of the enemy types
// that stage 5 brings in (types 28-31, 34, 36 and 37). The scripts call them;
// each takes the enemy and returns 0.
#pragma once

struct EnemyObject;

int FireType28Heaven(EnemyObject& e);
int FireType28Original(EnemyObject& e);
int FireType28Hell(EnemyObject& e);
int FireType29Heaven(EnemyObject& e);
int FireType29Original(EnemyObject& e);
int FireType29Hell(EnemyObject& e);
int FireType30Heaven(EnemyObject& e);
int FireType30Original(EnemyObject& e);
int FireType30Hell(EnemyObject& e);
int FireType31Heaven(EnemyObject& e);
int FireType31Original(EnemyObject& e);
int FireType31Hell(EnemyObject& e);
int FireType34Heaven(EnemyObject& e);
int FireType34Original(EnemyObject& e);
int FireType34Hell(EnemyObject& e);
int RunEnemyType36Alive(EnemyObject& e);
int RunEnemyType36Death(EnemyObject& e);
int FireType36PatternAHeaven(EnemyObject& e);
int FireType36PatternAOriginal(EnemyObject& e);
int FireType36PatternAHell(EnemyObject& e);
int FireType36PatternBHeaven(EnemyObject& e);
int FireType36PatternBOriginal(EnemyObject& e);
int FireType36PatternBHell(EnemyObject& e);
int FireType37Heaven(EnemyObject& e);
int FireType37Original(EnemyObject& e);
int FireType37Hell(EnemyObject& e);
