// Stand-ins for the player's shots, bombs, collisions and drawing, bullet
// cancels and items until they are built: empty pools and steps that do
// nothing.
#include "play/bombs.h"
#include "play/bullet_cancel.h"
#include "play/items.h"
#include "play/player.h"
#include "play/player_collisions.h"

int DrawPlayer() { return 0; }
int DrawPlayerHud() { return 0; }
int UpdatePlayerBomb() { return 0; }
int PickUpItems() { return 0; }
int CollidePlayerWithBullets() { return 0; }
int CollidePlayerWithEnemies() { return 0; }
int PlayerMiss() { return 0; }
int TakePowerItem() { return 0; }
int TakeBombItem() { return 0; }
int TakeLifeItem() { return 0; }

int UpdateItems() { return 0; }
int DrawAllItems() { return 0; }
int ResetAllItems() { return 0; }
int StartBulletCancel(int, int) { return 0; }
int UpdateBulletCancel() { return 0; }
int ResetAllBulletCancelSlots() { return 0; }
