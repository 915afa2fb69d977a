// The 800 enemy bullets.
#pragma once

int UpdateEnemyBullets();
int DrawAllEnemyBullets();
int ResetAllEnemyBullets();
