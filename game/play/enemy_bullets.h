// The 800 enemy bullets.
#pragma once

#include <cstdint>

inline constexpr int kEnemyBulletSlots = 800;

struct EnemyBullet {
  uint32_t in_use;
  int32_t type;
  uint32_t owner;
  double width, height;
  double hit_width, hit_height;
  int32_t mode;
  int32_t phase;
  int32_t phase_timer;
  int32_t frame;
  int32_t volley;
  double aux_angle;
  uint32_t off_screen;
  double angle;
  double speed;
  double param1, param2;
  int32_t anim_counter;
  double left, top;
  double centre_x, centre_y;
  double vx, vy;
  double box_left, box_top, box_right, box_bottom;
};

extern EnemyBullet g_enemy_bullets[kEnemyBulletSlots];

// Take the first free slot; -1 when all 800 are in use.
int FireEnemyBullet(double x, double y, int type, double angle, double speed, uint32_t owner);
int FireEnemyBulletEx(double x, double y, int type, double angle, double speed, uint32_t owner,
                      double param1, double param2);
// `count` bullets, `step` degrees apart, centred on `angle`; always 0.
int FireBulletFan(double x, double y, int type, double angle, double speed, double count,
                  double step, uint32_t owner);
int FireBulletFanEx(double x, double y, int type, double angle, double speed, double count,
                    double step, uint32_t owner, double param1, double param2);

int UpdateEnemyBullets();
int DrawAllEnemyBullets();
int ResetAllEnemyBullets();

int DrawEnemyBullet(EnemyBullet& b);
int RemoveEnemyBullet(EnemyBullet& b, int with_effect);
int IsEnemyBulletAlive(const EnemyBullet& b);
int ClearEnemyBullet(EnemyBullet& b);
int ChangeEnemyBulletSpeed(EnemyBullet& b, double delta);  // -1 once the speed is <= 0
