// Stand-ins for the stage 1 enemy and wreck scripts until they are written:
// such enemies only move by their velocity and fire no revenge.
#include "stages/enemy_scripts.h"

int UpdateEnemyType0(EnemyObject&) { return 0; }
int UpdateEnemyType1(EnemyObject&) { return 0; }
int UpdateEnemyType2(EnemyObject&) { return 0; }
int UpdateEnemyType3(EnemyObject&) { return 0; }
int UpdateEnemyType4(EnemyObject&) { return 0; }
int UpdateEnemyType5(EnemyObject&) { return 0; }
int UpdateEnemyType6(EnemyObject&) { return 0; }
int UpdateEnemyType8(EnemyObject&) { return 0; }
int UpdateEnemyType9(EnemyObject&) { return 0; }
int UpdateEnemyType10(EnemyObject&) { return 0; }
int UpdateWreckType300(EnemyObject&) { return 0; }
int UpdateWreckType302(EnemyObject&) { return 0; }
int UpdateWreckType305(EnemyObject&) { return 0; }
int FireType0RevengeBurst(EnemyObject&) { return 0; }
int FireType9RevengeBurst(EnemyObject&) { return 0; }
int FireType10RevengeBurst(EnemyObject&) { return 0; }
