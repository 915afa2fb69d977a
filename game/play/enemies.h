// The enemy pool: 500 records for every enemy, mid-boss and boss.
#pragma once

struct EnemyObject;

int UpdateEnemies();        // the per-frame enemy pass, slots 0-499
int DrawAllEnemies();       // draw pass, slots 0-499
int DrawAllEnemyGauges();   // draw pass, slots 0-499
int ResetAllEnemies();      // clears every slot
