// Stand-ins for type 7, the spawners, the item container and the hidden
// target until they are written: they only move by their velocity.
#include "stages/enemy_scripts.h"

int UpdateEnemyType7(EnemyObject&) { return 0; }
int UpdateEnemyType32(EnemyObject&) { return 0; }
int UpdateEnemyType33(EnemyObject&) { return 0; }
int UpdateSpawnerType301(EnemyObject&) { return 0; }
int UpdateSpawnerType303(EnemyObject&) { return 0; }
int UpdateSpawnerType304(EnemyObject&) { return 0; }
int FireType7RevengeBurst(EnemyObject&) { return 0; }
