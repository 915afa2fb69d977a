// Calls into the enemy bullets, items and the player that the stage objects
// need and their own headers do not declare yet.
#pragma once

inline constexpr int kEnemyBulletSlots = 800;

int IsEnemyBulletAlive(int slot);
// Centre of a bullet in screen pixels; 0, or -1 for a bad slot.
int GetEnemyBulletCentre(int slot, double* x, double* y);
// flag 0: no vanish effect. Lowers the live bullet count.
int RemoveEnemyBullet(int slot, int flag);
int SpawnItem(double x, double y, int kind, double angle, double speed);

inline constexpr int kPlayerShotSlots = 400;

int IsPlayerShotAlive(int slot);
// Hit rectangle, type and damage of a live shot; -1 for a bad slot.
int GetPlayerShotHit(int slot, double* left, double* top, double* right, double* bottom,
                     int* type, int* damage);
// A shot that hit an enemy: its hit score, sound and effect, then the slot is freed.
int EndPlayerShotInSlot(int slot);

int AddScore(int n);
int GetPlayerContinues();
