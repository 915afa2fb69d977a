// The 500 explosions and effects: hit sparks, blasts, flashes. They move in
// the update pass and animate, take their random rotations and end in the
// draw pass, which runs on paused frames too.
#pragma once

#include <cstdint>

inline constexpr int kExplosionCount = 500;

struct Explosion {
  int32_t in_use;
  int32_t kind;
  double left, top;  // centre minus the integer half size
  double x, y;       // centre, screen pixels
  double vx, vy;
  double angle;
  double scale;
  int32_t alpha;
  int32_t width, height;
  int32_t frame;           // advanced after every unpaused draw, even the ending one
  int32_t steps[10];       // [0]: bullet-clearing updates of kinds 57 and 58
  int32_t states[10];      // [0]: 0 not drawn yet, 1 running, 2 finishing
  int32_t anims[10];       // [0]: animation counter of kinds 56, 122 and 123
  int32_t rotation;
  double param1, param2;
};

extern Explosion g_explosions[kExplosionCount];

// First slot whose in-use flag is not 1; -1 when all are live.
int SpawnExplosion(double x, double y, int kind, double angle, double speed);
int SpawnExplosionEx(double x, double y, int kind, double angle, double speed, double param1,
                     double param2);
int InitExplosion(Explosion& e, double x, double y, int kind, double angle, double speed,
                  double param1, double param2);
int UpdateExplosion(Explosion& e);
int DrawExplosion(Explosion& e);
int ClearExplosion(Explosion& e);
int IsExplosionAlive(const Explosion& e);

int UpdateExplosions();
int DrawAllExplosions();  // draws the random rotation of a new explosion
int ResetAllExplosions();
