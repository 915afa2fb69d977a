// Stand-ins for the enemy scripts of stages 2 and 3 until they are written:
// such enemies only move by their velocity and fire no revenge.
#include "stages/enemy_scripts.h"

int UpdateEnemyType12(EnemyObject&) { return 0; }
int UpdateEnemyType13(EnemyObject&) { return 0; }
int UpdateEnemyType14(EnemyObject&) { return 0; }
int UpdateEnemyType15(EnemyObject&) { return 0; }
int UpdateEnemyType16(EnemyObject&) { return 0; }
int UpdateEnemyType17(EnemyObject&) { return 0; }
int UpdateEnemyType18(EnemyObject&) { return 0; }
int UpdateEnemyType19(EnemyObject&) { return 0; }
int UpdateEnemyType20(EnemyObject&) { return 0; }
int FireType13RevengeBurst(EnemyObject&) { return 0; }
