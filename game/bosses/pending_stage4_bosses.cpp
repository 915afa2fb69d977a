// Stand-ins for the stage 4 boss scripts until they are built: the bosses
// only move by their velocity.
#include "bosses/bosses.h"

int UpdateMidBossType110(EnemyObject&) { return 0; }
int UpdateBossType230(EnemyObject&) { return 0; }
