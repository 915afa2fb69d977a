// Services of the stage, the stage clear, explosions, score pop-ups and the
// enemy pool that the player's objects call. Their owners define them; the
// fallback in pending_play_links.cpp stands in for the stage-clear step.
#pragma once

#include <cstdint>

// v 0 clears, 1 sets, anything else only reads; returns the flag.
int BossFightFlag(int v);
int GetStageClearStep();
// Speed of background layer 0 or 1; 0.0 for anything else.
double GetScrollSpeed(int layer);
int AddEnemyBulletCount(int n);
int GetEnemyBulletsOnScreen();
int AddItemCount(int n);
int GetItemsOnScreen();
int SpawnExplosion(double x, double y, int kind, double angle, double speed);
int SpawnScorePopup(double x, double y, int kind, int value, double angle, double speed);
// Whether enemy `slot` (0-499) may draw homing shots: in use, collision
// class not 1 and on the field (screen state 1 or more). Its centre goes to
// (x, y) when it may.
int GetHomingTarget(int slot, double* x, double* y);
// The first enemy of collision class 0 or 3 (slots 0-499 in order) one of
// whose hit boxes 0-6 overlaps the box strictly; its slot, with its type in
// *type, or -1 when none does.
int FirstEnemyTouching(double left, double top, double right, double bottom, int* type);
