// Stand-ins for the stage 5 and hidden boss scripts until they are built:
// the bosses only move by their velocity.
#include "bosses/bosses.h"

int UpdateMidBossType120(EnemyObject&) { return 0; }
int UpdateBossType240(EnemyObject&) { return 0; }
int UpdateBossType250(EnemyObject&) { return 0; }
