// The per-difficulty fire patterns and life-switch halves of the enemy types
// that stage 2 brings in (types 12-15; type 11 is in enemy_type11.h). The
// scripts call them; each takes the enemy and returns 0.
#pragma once

struct EnemyObject;

int FireType12Heaven(EnemyObject& e);
int FireType12Original(EnemyObject& e);
int FireType12Hell(EnemyObject& e);
int FireType13Heaven(EnemyObject& e);
int FireType13Original(EnemyObject& e);
int FireType13Hell(EnemyObject& e);
int RunEnemyType14Alive(EnemyObject& e);
int RunEnemyType14Death(EnemyObject& e);
int FireType14Heaven(EnemyObject& e);
int FireType14Original(EnemyObject& e);
int FireType14Hell(EnemyObject& e);
int FireType15Heaven(EnemyObject& e);
int FireType15Original(EnemyObject& e);
int FireType15Hell(EnemyObject& e);
