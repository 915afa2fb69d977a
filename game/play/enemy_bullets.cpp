#include "play/enemy_bullets.h"

#include <cstring>

#include "play/play_links.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "shell/menu.h"
#include "shell/sound_bank.h"

EnemyBullet g_enemy_bullets[kEnemyBulletSlots]{};

namespace {

constexpr int kAccel = 3;

bool IsSmallType(int type) {
  switch (type) {
    case 5: case 6: case 8: case 9: case 11: case 21: case 25: case 35: return true;
    default: return false;
  }
}

void UpdateHitBox(EnemyBullet& b) {
  if (b.in_use != 1) return;
  b.hit_width = b.hit_height = 4.0;
  b.box_left = b.centre_x - 2.0;
  b.box_top = b.centre_y - 2.0;
  b.box_right = b.centre_x + 2.0;
  b.box_bottom = b.centre_y + 2.0;
}

int InitEnemyBullet(EnemyBullet& b, double x, double y, int type, double angle, double speed,
                    uint32_t owner, double p1, double p2) {
  if (b.in_use == 1) return -1;
  b.width = b.height = IsSmallType(type) ? 20.0 : 24.0;
  b.owner = owner;
  b.type = type;
  b.left = x - b.width / 2.0;
  b.top = y - b.height / 2.0;
  b.centre_x = x;
  b.centre_y = y;
  b.vx = CosDeg(angle) * speed;
  b.vy = SinDeg(angle) * speed;
  b.angle = angle;
  b.speed = speed;
  b.mode = g_flags.DifficultyMode == kAccel ? 1 : g_flags.DifficultyMode;
  b.param1 = p1;
  b.param2 = p2;
  b.in_use = 1;
  UpdateHitBox(b);
  AddEnemyBulletCount(1);
  return 0;
}

// ---- behaviours ----

double Aimed(const EnemyBullet& b) { return AngleToPlayer(b.centre_x, b.centre_y); }
double AimedSteps(const EnemyBullet& b, int n) {
  return AngleToPlayerInSteps(b.centre_x, b.centre_y, n);
}
double Motion(const EnemyBullet& b) { return VectorAngleSigned(b.vx, b.vy); }
void Fan(const EnemyBullet& b, int type, double angle, double speed, double count, double step) {
  FireBulletFan(b.centre_x, b.centre_y, type, angle, speed, count, step, b.owner);
}
// Ends the bullet; true so that callers can `return Burst(b)`.
bool Burst(EnemyBullet& b) {
  RemoveEnemyBullet(b, 1);
  return true;
}
bool Vanish(EnemyBullet& b) {
  RemoveEnemyBullet(b, 0);
  return true;
}
// Phase 0: slows until the speed is spent, then phase 1.
void SlowDown(EnemyBullet& b) {
  if (ChangeEnemyBulletSpeed(b, -0.08) == -1) b.phase = 1;
}
bool LeftOrRightEdge(const EnemyBullet& b) {
  return b.centre_x < 140.0 + b.width / 2.0 || b.centre_x > 500.0 - b.width / 2.0;
}

struct Ring {
  int type;
  int step;
  double speed;
};

void Type33Rings(EnemyBullet& b) {
  static constexpr Ring kH[] = {{7, 24, 3.0}, {5, 18, 2.0}, {0, 9, 1.2}};
  static constexpr Ring kO[] = {{7, 24, 3.4}, {5, 20, 2.4}, {5, 18, 2.0}, {5, 15, 1.4}, {0, 9, 1.2}};
  static constexpr Ring kL[] = {{7, 20, 3.6}, {5, 16, 2.6}, {5, 15, 2.2}, {5, 12, 1.6}};
  auto fire = [&](const Ring* rings, int n) {
    for (int r = 0; r < n; ++r)
      for (int a = 0; a < 360; a += rings[r].step) Fan(b, rings[r].type, a, rings[r].speed, 1, 0);
  };
  if (b.mode == 0) {
    fire(kH, 3);
  } else if (b.mode == 2) {
    fire(kL, 4);
    for (int a = 0; a < 360; a += 10) {
      Fan(b, 0, a, 1.4, 1, 0);
      Fan(b, 0, a + 5, 1.2, 1, 0);
    }
  } else {
    fire(kO, 5);
  }
}

// Runs the type's behaviour; true when the bullet ended (its record is clear).
bool RunBehaviour(EnemyBullet& b) {
  const int m = b.mode;  // 0 HEAVEN, 1 ORIGINAL, 2 HELL
  const int f = b.frame;
  switch (b.type) {
    case 20:
      if (f == 30) FireEnemyBullet(b.centre_x, b.centre_y, 9, b.angle + b.param1, 2.5, b.owner);
      break;
    case 21:
      if (f == 30) {
        if (m == 0) {
          Fan(b, 3, Aimed(b), 2.5, 1, 0);
        } else {
          const double base = m == 2 ? 3.0 : 2.5;
          for (int i = 0; i < 3; ++i) {
            double aim = AimedSteps(b, 5);
            if (m == 2) Fan(b, 3, aim, base + i, 3, 30);
            else Fan(b, 3, aim, base + i, 1, 0);
          }
        }
        return Burst(b);
      }
      break;
    case 22:
      if (f == 60) {
        Fan(b, 1, AimedSteps(b, 3), 2.0, 7, 40);
        return Vanish(b);
      }
      break;
    case 23:
      if (f == 30) {
        for (int k = 0; k < 360; k += 90) {
          double turn = b.param2 * b.param1 * 7.0;
          Fan(b, 5, k + turn - 5.0, 2.0, 1, 0);
          Fan(b, 5, k + turn + 5.0, 2.0, 1, 0);
        }
        return Vanish(b);
      }
      break;
    case 24: {
      const int n = m == 2 ? 9 : 12;
      const int every = m == 0 ? 18 : m == 1 ? 12 : 9;
      const double speed = m == 0 ? 1.0 : 1.5;
      if (f == 0) b.param1 = static_cast<double>(TruncToInt(b.param1) % n);
      if (static_cast<double>(f % every) == b.param1) Fan(b, 0, Motion(b), speed, 2, 180);
      break;
    }
    case 25: {
      b.vy -= 0.2;
      const int n = m == 0 ? 6 : 12;
      const double base = m == 0 ? 1.5 : m == 1 ? 2.0 : 2.5;
      const double count = m == 2 ? 2 : 1;
      if (f % 2 == 0) {
        b.aux_angle = Aimed(b);
        if (b.volley < n) Fan(b, 10, b.aux_angle, b.volley / 4 + base, count, 3);
        ++b.volley;
      }
      break;
    }
    case 26:
      if (LeftOrRightEdge(b)) {
        double dir = Motion(b);
        FireEnemyBulletEx(b.centre_x, b.centre_y, 27, dir + 90.0, 5.0, b.owner, 0.0, 0.0);
        FireEnemyBulletEx(b.centre_x, b.centre_y, 27, dir - 90.0, 5.0, b.owner, 0.0, 0.0);
        return Vanish(b);
      }
      break;
    case 27: {
      const int every = m == 0 ? 13 : m == 1 ? 8 : 5;
      if (f % every == 0) {
        if (m == 0) {
          for (double s : {1.5, 2.0}) Fan(b, 0, Motion(b), s, 2, 180);
        } else if (m == 1) {
          for (double s : {1.5, 2.0, 2.5}) Fan(b, 0, Motion(b), s, 2, 180);
        } else {
          const double k = b.volley % 2;
          for (double s : {1.5, 2.0, 2.5}) Fan(b, 0, Motion(b), k + s, 2, 180);
          ++b.volley;
        }
      }
      break;
    }
    case 28:
      if (f == 40) {
        if (m == 0) {
          Fan(b, 9, AimedSteps(b, 3), 3.0, 3, 3);
        } else if (m == 1) {
          Fan(b, 9, AimedSteps(b, 3), 3.5, 3, 6);
        } else {
          Fan(b, 9, AimedSteps(b, 3), 4.0, 3, 6);
          Fan(b, 3, Aimed(b), 4.5, 7, 20);
        }
        return Burst(b);
      }
      break;
    case 29: {
      const int n = m == 0 ? 5 : 10;
      const double base = m == 0 ? 1.5 : m == 1 ? 2.0 : 2.4;
      if (f % 2 == 0 && b.volley < n) {
        if (m == 2) Fan(b, 7, AimedSteps(b, 2), b.volley / 4 + base, 3, 60);
        else Fan(b, 7, AimedSteps(b, 2), b.volley / 4 + base, 1, 0);
        ++b.volley;
        if (b.volley >= n) return Vanish(b);
      }
      break;
    }
    case 30:
      if (f % 12 == 0) {
        const int s = SignOf(TruncToInt(b.param1));
        for (int a = 0; a < 360; a += 24)
          Fan(b, 0, static_cast<double>(a - s * b.volley * 9) + b.param2, 2.0, 1, 0);
        ++b.volley;
        if (b.volley >= 10) return Vanish(b);
      }
      break;
    case 31: {
      const int spray = m == 0 ? 6 : 3;
      if (f % spray == 0 && b.centre_y < 400.0) {
        PlaySoundEffect(81);
        for (int i = 0; i < 3; ++i) {
          const int r = RandomIntSigned(90);
          Fan(b, 0, 270 + r, 2.4, 1, 0);
        }
      }
      const int n = m == 0 ? 10 : 12;
      const int g = m == 0 ? 36 : 24;
      if (f % 5 == 0 && b.volley < n) {
        if (b.volley == 0) b.aux_angle = Aimed(b);
        for (int a = 0; a < 360; a += g) Fan(b, 10, a + b.aux_angle + 9.0, b.volley / 3.0 + 3.0, 1, 0);
        ++b.volley;
      }
      break;
    }
    case 32: {
      const int every = m == 0 ? 20 : 18;
      const double s = m == 0 ? 1.2 : m == 1 ? 1.5 : 2.4;
      if (f == 0) b.aux_angle = Motion(b);
      if (f % every == 0 && f >= 11 && f < 120) Fan(b, 4, b.aux_angle, s, 2, 180);
      break;
    }
    case 33:
      if (b.phase == 0) {
        SlowDown(b);
      } else if (++b.phase_timer == 30) {
        PlaySoundEffect(81);
        Type33Rings(b);
        return Vanish(b);
      }
      return false;  // no frame counter
    case 34:
      if (b.phase == 0) {
        SlowDown(b);
      } else if (++b.frame == 20) {
        if (m == 0) Fan(b, 10, Aimed(b), 3.0, 1, 0);
        else if (m == 1) Fan(b, 10, Aimed(b), 4.0, 1, 0);
        else Fan(b, 10, Aimed(b), 4.3, 3, b.param1);
        return Vanish(b);
      }
      return false;
    case 35:
      if (b.phase == 0) {
        if (b.frame == 0) b.aux_angle = -Motion(b);
        ++b.frame;
        SlowDown(b);
        if (b.phase == 1) b.frame = 0;
      } else if (++b.frame == 15) {
        const double s1 = m == 0 ? 2.5 : m == 1 ? 3.5 : 4.0;
        const double c1 = m == 2 ? 2 : 1, g1 = m == 2 ? 10 : 0;
        const double s2 = m == 0 ? 1.0 : m == 1 ? 2.0 : 3.0;
        const double c2 = m == 2 ? 4 : 2;
        Fan(b, 1, -b.aux_angle, s1, c1, g1);
        Fan(b, 0, b.aux_angle, s2, c2, 30);
        return Vanish(b);
      }
      return false;
    case 36:
      if (f == 60) {
        b.aux_angle = Motion(b);
        Fan(b, 1, b.aux_angle, 1.5, 1, 0);
      }
      break;
    case 37:
      if (f % 5 == 0) {
        if (b.volley == 0) b.aux_angle = Motion(b);
        if (b.volley < 5) {
          Fan(b, 1, b.aux_angle + (b.volley * 9) * b.param1, 2.0, 1, 0);
          ++b.volley;
        }
      }
      break;
    case 40:
      if (b.phase == 0) {
        SlowDown(b);
        return false;
      }
      if (b.frame % 3 == 0) {
        if (b.volley == 0) b.aux_angle = Aimed(b);
        if (b.volley < 12) {
          Fan(b, 7, b.aux_angle, b.volley / 3.0 + 4.0, 1, 0);
          ++b.volley;
        }
        if (b.volley == 12) return Vanish(b);
      }
      ++b.frame;
      return false;
    case 41:
      if (b.phase == 0) SlowDown(b);
      else ChangeEnemyBulletSpeed(b, 0.1);
      return false;
    case 42:
      if (LeftOrRightEdge(b)) {
        Fan(b, 2, VectorAngleSigned(-b.vx, b.vy), b.speed, 1, 0);
        return Burst(b);
      }
      if (b.centre_y < b.height / 2.0) {
        Fan(b, 2, VectorAngleSigned(b.vx, -b.vy), b.speed, 1, 0);
        return Burst(b);
      }
      break;
    case 43:
      if (b.centre_y > 480.0 - b.height / 2.0) {
        const int r = RandomInt(10);
        Fan(b, 46, b.param1, r / 5 + 0.2, 1, 0);
        return Burst(b);
      }
      break;
    case 44:
      if (f % 10 == 0 && f >= 11 && b.volley < 5) {
        Fan(b, 45, Motion(b) + b.param1 + (b.volley * 9) * b.param2, 4.0, 1, 0);
        ++b.volley;
      }
      break;
    case 46:
      if (b.phase == 0) {
        ChangeEnemyBulletSpeed(b, 0.04);
        if (b.speed >= 6.0) {
          b.speed = 6.0;
          b.phase = 1;
        }
      }
      break;
    default:
      return false;  // no behaviour: flies straight on
  }
  ++b.frame;
  return false;
}

void MoveEnemyBullet(EnemyBullet& b) {
  if (b.in_use != 1) return;
  if (b.type != 25) {
    b.vx = CosDeg(b.angle) * b.speed;
    b.vy = SinDeg(b.angle) * b.speed;
  }
  if (g_flags.DifficultyMode == kAccel && b.type <= 20) ChangeEnemyBulletSpeed(b, 0.09);
  b.left += b.vx;
  b.top += b.vy;
  b.centre_x = b.width / 2.0 + b.left;
  b.centre_y = b.height / 2.0 + b.top;
  if (b.type >= 20 && b.type <= 46) RunBehaviour(b);
}

void CullEnemyBullet(EnemyBullet& b) {
  if (b.in_use != 1) return;
  if (b.left + b.width < 140.0 || b.left > 500.0 || b.top + b.height < 0.0 || b.top > 480.0) {
    b.off_screen = 1;
    RemoveEnemyBullet(b, 0);
  }
}

struct Picture {
  int table, div, count;
  bool rotated;
};

// The sheet row, frame rule and rotation of a type; table -1: no picture.
Picture PictureOf(int type) {
  switch (type) {
    case 0: return {0, 4, 4, true};
    case 1: case 45: case 46: return {1, 4, 4, true};
    case 2: case 41: return {2, 4, 4, true};
    case 3: case 44: return {3, 4, 4, true};
    case 4: case 20: case 22: case 23: case 24: case 26: case 29: case 31: case 36: case 43:
      return {4, 4, 4, true};
    case 5: case 35: case 42: return {5, 2, 16, false};
    case 6: case 21: case 25: return {6, 2, 8, false};
    case 7: case 27: case 28: case 30: case 32: case 34: case 37: case 40:
      return {7, 2, 16, false};
    case 8: return {8, 2, 8, false};
    case 9: return {9, 4, 4, true};
    case 10: return {10, 4, 4, false};
    case 33: return {10, 4, 4, true};
    case 11: return {11, 4, 4, false};
    case 12: return {12, 2, 6, false};
    default: return {-1, 1, 1, false};
  }
}

}  // namespace

int FireEnemyBullet(double x, double y, int type, double angle, double speed, uint32_t owner) {
  return FireEnemyBulletEx(x, y, type, angle, speed, owner, 0.0, 0.0);
}

int FireEnemyBulletEx(double x, double y, int type, double angle, double speed, uint32_t owner,
                      double param1, double param2) {
  for (EnemyBullet& b : g_enemy_bullets)
    if (InitEnemyBullet(b, x, y, type, angle, speed, owner, param1, param2) == 0) return 0;
  return -1;
}

int FireBulletFan(double x, double y, int type, double angle, double speed, double count,
                  double step, uint32_t owner) {
  return FireBulletFanEx(x, y, type, angle, speed, count, step, owner, 0.0, 0.0);
}

int FireBulletFanEx(double x, double y, int type, double angle, double speed, double count,
                    double step, uint32_t owner, double param1, double param2) {
  const double offset = (count - 1.0) * step / 2.0;
  for (double i = 0.0; i < count; i += 1.0)
    FireEnemyBulletEx(x, y, type, i * step + angle - offset, speed, owner, param1, param2);
  return 0;
}

int UpdateEnemyBullets() {
  for (EnemyBullet& b : g_enemy_bullets) {
    MoveEnemyBullet(b);
    CullEnemyBullet(b);
    UpdateHitBox(b);
  }
  return 0;
}

int DrawEnemyBullet(EnemyBullet& b) {
  if (b.in_use != 1) return 0;
  Picture pic = PictureOf(b.type);
  if (pic.table >= 0) {
    int cell = (b.anim_counter / pic.div) % pic.count;
    DrawSpriteScreen(b.centre_x, b.centre_y, 1.0, pic.rotated ? b.angle : 0.0,
                     EnemyBulletCell(pic.table, cell), 255.0);
  }
  ++b.anim_counter;
  return 0;
}

int DrawAllEnemyBullets() {
  for (EnemyBullet& b : g_enemy_bullets) DrawEnemyBullet(b);
  return 0;
}

int ResetAllEnemyBullets() {
  for (EnemyBullet& b : g_enemy_bullets) ClearEnemyBullet(b);
  return 0;
}

int RemoveEnemyBullet(EnemyBullet& b, int with_effect) {
  b.in_use = 0;
  AddEnemyBulletCount(-1);
  if (with_effect == 1 && b.off_screen == 0)
    SpawnExplosion(b.centre_x, b.centre_y, 100, b.angle, b.speed);
  ClearEnemyBullet(b);
  return 0;
}

int IsEnemyBulletAlive(const EnemyBullet& b) { return static_cast<int>(b.in_use); }

int ClearEnemyBullet(EnemyBullet& b) {
  std::memset(static_cast<void*>(&b), 0, sizeof b);
  return 0;
}

int ChangeEnemyBulletSpeed(EnemyBullet& b, double delta) {
  if (b.speed != 0.0) {
    b.vx /= b.speed;
    b.vy /= b.speed;
  }
  b.speed += delta;
  b.vx *= b.speed;
  b.vy *= b.speed;
  return b.speed <= 0.0 ? -1 : 0;
}
