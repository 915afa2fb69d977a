// Stand-ins for the stage 2 and 3 boss scripts until they are built: the
// bosses only move by their velocity.
#include "bosses/bosses.h"

int UpdateMidBossType100(EnemyObject&) { return 0; }
int UpdateBossType210(EnemyObject&) { return 0; }
int UpdateBossType220(EnemyObject&) { return 0; }
