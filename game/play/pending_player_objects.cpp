// Stand-ins for the player's drawing until it is built.
#include "play/player.h"

int DrawPlayer() { return 0; }
int DrawPlayerHud() { return 0; }

