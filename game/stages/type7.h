// Type 7, the small turret craft: its fire pattern for each stored difficulty.
// UpdateEnemyType7 and FireType7RevengeBurst are in stages/enemy_scripts.h.
#pragma once

struct EnemyObject;

int FireType7Heaven(EnemyObject& e);
int FireType7Original(EnemyObject& e);
int FireType7Hell(EnemyObject& e);
