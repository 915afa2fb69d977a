// The enemy pool: 500 records for every enemy, mid-boss and boss.
#pragma once

struct EnemyObject;

int UpdateEnemies();        // the per-frame enemy pass, slots 0-499
int DrawAllEnemies();       // draw pass, slots 0-499
int DrawAllEnemyGauges();   // draw pass, slots 0-499
int ResetAllEnemies();      // clears every slot

#include <cstdint>

// Serial number of the next enemy; restarts at 0 with the stage object.
extern int32_t EnemySerialCounter;
