// Behaviour scripts of the mid-bosses and bosses, run by the enemy pass after
// the velocity step like every other enemy type's script.
#pragma once

struct EnemyObject;

int UpdateMidBossType100(EnemyObject& enemy);
int UpdateMidBossType110(EnemyObject& enemy);
int UpdateMidBossType120(EnemyObject& enemy);
int UpdateBossType200(EnemyObject& enemy);
int UpdateBossType210(EnemyObject& enemy);
int UpdateBossType220(EnemyObject& enemy);
int UpdateBossType230(EnemyObject& enemy);
int UpdateBossType240(EnemyObject& enemy);
int UpdateBossType250(EnemyObject& enemy);
