// The 400 player shots.
#pragma once

#include <cstdint>

inline constexpr int kPlayerShotSlots = 400;

struct PlayerShot {
  int32_t alive;
  int32_t type;
  int32_t param;
  int32_t hit_score;
  double width, height;
  int32_t anim_frame;
  int32_t draw_counter;
  int32_t anim_counter;
  int32_t age;
  int32_t silent_end;
  double angle;
  double speed;
  double scale;
  double x, y;  // top-left
  double centre_x, centre_y;
  double vx, vy;
  double hit_left, hit_top, hit_right, hit_bottom;
  int32_t damage;
};

extern PlayerShot g_player_shots[kPlayerShotSlots];

struct ShotType {
  double width, height;
  int damage, score;
};
// Size, damage and hit score of a type; nullptr for a type nobody fires.
const ShotType* ShotTypeInfo(int type);

int SpawnPlayerShot(double x, double y, int type, double angle, double speed, int param);
int UpdatePlayerShots();
int DrawAllPlayerShots();
int ResetAllPlayerShots();
int EndPlayerShot(PlayerShot& s);
int DrawPlayerShot(PlayerShot& s);
int IsPlayerShotAlive(const PlayerShot& s);
int GetPlayerShotType(const PlayerShot& s);
int ClearPlayerShot(PlayerShot& s);
int UpdateShotHitRect(PlayerShot& s);
