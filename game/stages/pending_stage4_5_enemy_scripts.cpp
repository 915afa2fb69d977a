// Stand-ins for the enemy scripts of stages 4 and 5 until they are written:
// such enemies only move by their velocity and fire no revenge.
#include "stages/enemy_scripts.h"

int UpdateEnemyType21(EnemyObject&) { return 0; }
int UpdateEnemyType22(EnemyObject&) { return 0; }
int UpdateEnemyType23(EnemyObject&) { return 0; }
int UpdateEnemyType24(EnemyObject&) { return 0; }
int UpdateEnemyType25(EnemyObject&) { return 0; }
int UpdateEnemyType26(EnemyObject&) { return 0; }
int UpdateEnemyType27(EnemyObject&) { return 0; }
int UpdateEnemyType28(EnemyObject&) { return 0; }
int UpdateEnemyType29(EnemyObject&) { return 0; }
int UpdateEnemyType30(EnemyObject&) { return 0; }
int UpdateEnemyType31(EnemyObject&) { return 0; }
int UpdateEnemyType34(EnemyObject&) { return 0; }
int UpdateEnemyType35(EnemyObject&) { return 0; }
int UpdateEnemyType36(EnemyObject&) { return 0; }
int UpdateEnemyType37(EnemyObject&) { return 0; }
int FireType21RevengeBurst(EnemyObject&) { return 0; }
int FireType31RevengeBurst(EnemyObject&) { return 0; }
