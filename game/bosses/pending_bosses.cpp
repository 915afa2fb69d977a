// Stand-ins for the boss scripts until they are built: the bosses only move
// by their velocity.
#include "bosses/bosses.h"

int UpdateMidBossType100(EnemyObject&) { return 0; }
int UpdateMidBossType110(EnemyObject&) { return 0; }
int UpdateMidBossType120(EnemyObject&) { return 0; }
int UpdateBossType210(EnemyObject&) { return 0; }
int UpdateBossType220(EnemyObject&) { return 0; }
int UpdateBossType230(EnemyObject&) { return 0; }
int UpdateBossType240(EnemyObject&) { return 0; }
int UpdateBossType250(EnemyObject&) { return 0; }
