// Stand-ins for the enemy bullet, item and player calls until their pools
// provide them: no bullets, items dropped.
#include "play/field_links.h"

int IsEnemyBulletAlive(int) { return 0; }
int GetEnemyBulletCentre(int, double* x, double* y) {
  if (x) *x = 0.0;
  if (y) *y = 0.0;
  return -1;
}
int RemoveEnemyBullet(int, int) { return 0; }

int IsPlayerShotAlive(int) { return 0; }
int GetPlayerShotHit(int, double*, double*, double*, double*, int*, int*) { return -1; }
int EndPlayerShotInSlot(int) { return 0; }
