// The 400 player shots.
#pragma once

int UpdatePlayerShots();
int DrawAllPlayerShots();
int ResetAllPlayerShots();
