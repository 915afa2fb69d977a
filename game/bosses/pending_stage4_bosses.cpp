// Stand-in for the stage 4 boss script until it is built: the boss only
// moves by its velocity.
#include "bosses/bosses.h"

int UpdateBossType230(EnemyObject&) { return 0; }
