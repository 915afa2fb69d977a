// The 500 explosions and effects.
#pragma once

int UpdateExplosions();
int DrawAllExplosions();  // draws the random rotation of a new explosion
int ResetAllExplosions();
