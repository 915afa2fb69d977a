// Stand-ins for the player's bombs, collisions and drawing until they are
// built: steps that do nothing.
#include "play/bombs.h"
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

