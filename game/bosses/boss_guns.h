// How every boss and mid-boss script fires: bullets leave from one of its
// gun points with its serial as their owner, and a volley's sound is the
// enemy-shot effect. The scripts say `using namespace boss_guns;` so that
// their pattern code reads like the pattern tables.
#pragma once

#include <cstdint>

#include "play/enemies.h"
#include "play/enemy_bullets.h"
#include "shell/game_math.h"
#include "shell/sound_bank.h"

namespace boss_guns {

// The members of a pattern by the enemy's stored difficulty.
inline constexpr int kHeaven = 0, kOriginal = 1, kHell = 2;

inline uint32_t Owner(const EnemyObject& e) { return static_cast<uint32_t>(e.serial); }

// Sound effect 81, silent with ENEMY SHOT SE off.
inline void Volley() { PlaySoundEffect(81); }

inline void Single(const EnemyObject& e, int gun, int type, double angle, double speed) {
  FireEnemyBullet(e.gun_x[gun], e.gun_y[gun], type, angle, speed, Owner(e));
}

inline void SingleEx(const EnemyObject& e, int gun, int type, double angle, double speed,
                     double param1 = 0.0, double param2 = 0.0) {
  FireEnemyBulletEx(e.gun_x[gun], e.gun_y[gun], type, angle, speed, Owner(e), param1, param2);
}

inline void Fan(const EnemyObject& e, int gun, int type, double angle, double speed, double count,
                double step) {
  FireBulletFan(e.gun_x[gun], e.gun_y[gun], type, angle, speed, count, step, Owner(e));
}

inline void FanEx(const EnemyObject& e, int gun, int type, double angle, double speed, double count,
                  double step, double param1, double param2 = 0.0) {
  FireBulletFanEx(e.gun_x[gun], e.gun_y[gun], type, angle, speed, count, step, Owner(e), param1,
                  param2);
}

// The direction from the gun to the player.
inline double AimFrom(const EnemyObject& e, int gun) {
  return AngleToPlayer(e.gun_x[gun], e.gun_y[gun]);
}

// The same, kept in the gun's angle for the volleys that follow.
inline double TakeAim(EnemyObject& e, int gun) {
  e.gun_angle[gun] = AimFrom(e, gun);
  return e.gun_angle[gun];
}

}  // namespace boss_guns
