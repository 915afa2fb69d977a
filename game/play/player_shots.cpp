#include "play/player_shots.h"

#include <cstring>

#include "play/play_links.h"
#include "play/player.h"
#include "play/player_movement.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "shell/sheet_layout.h"
#include "shell/sound_bank.h"

PlayerShot g_player_shots[kPlayerShotSlots]{};

namespace {

constexpr int kEnemySlots = 500;

struct TypeRow {
  int type;
  ShotType info;
};
constexpr TypeRow kTypes[] = {
    {0, {16, 28, 10, 10}},  {1, {28, 32, 12, 20}},  {2, {28, 40, 14, 30}},
    {3, {40, 44, 16, 40}},  {4, {48, 44, 18, 50}},  {5, {16, 40, 16, 20}},
    {6, {20, 44, 18, 30}},  {7, {24, 48, 20, 40}},  {8, {28, 52, 22, 50}},
    {9, {36, 56, 24, 60}},  {10, {96, 96, 20, 0}},  {11, {64, 64, 56, 70}},
    {20, {32, 16, 13, 10}}, {21, {40, 18, 16, 20}}, {22, {48, 24, 19, 30}},
    {23, {56, 26, 22, 40}}, {24, {64, 28, 25, 50}}, {25, {12, 52, 20, 20}},
    {26, {14, 52, 22, 30}}, {27, {18, 52, 23, 40}}, {28, {22, 52, 24, 50}},
    {29, {26, 52, 26, 60}}, {30, {56, 52, 140, 70}}, {40, {12, 40, 10, 10}},
    {41, {16, 44, 12, 20}}, {42, {18, 48, 14, 30}}, {43, {20, 52, 16, 40}},
    {44, {24, 56, 18, 50}}, {45, {16, 16, 6, 20}},  {46, {24, 24, 7, 30}},
    {47, {28, 28, 8, 40}},  {48, {32, 32, 9, 50}},  {49, {40, 40, 10, 60}},
    {50, {56, 48, 32, 70}}, {60, {20, 20, 8, 10}},  {61, {28, 28, 10, 20}},
    {62, {32, 32, 12, 30}}, {63, {40, 40, 14, 40}}, {64, {48, 48, 16, 50}},
    {65, {24, 12, 5, 10}},  {66, {32, 16, 6, 20}},  {67, {40, 24, 7, 30}},
    {68, {40, 32, 8, 40}},  {69, {48, 32, 9, 50}},  {70, {40, 24, 8, 60}},
    {71, {32, 32, 32, 70}}, {80, {32, 16, 8, 20}},  {81, {40, 20, 10, 30}},
    {82, {48, 24, 12, 40}}, {83, {64, 24, 14, 50}}, {84, {68, 24, 16, 60}},
};

struct Effect {
  int kind;
  double divisor;
  int spark;  // -1: none
};
// The hit effect of a type; kind -1: none.
Effect EffectOf(int type) {
  switch (type) {
    case 0: case 20: case 40: return {0, 4, 1};
    case 1: case 41: return {1, 4, 1};
    case 2: case 42: return {2, 4, 1};
    case 3: case 43: return {3, 4, 1};
    case 4: case 44: return {4, 4, 1};
    case 5: case 6: return {5, 4, 0};
    case 7: case 8: return {6, 4, 0};
    case 9: return {7, 4, 0};
    case 11: case 50: return {8, 5, 3};
    case 21: case 22: return {21, 4, 1};
    case 23: case 24: return {22, 4, 1};
    case 25: return {16, 4, 0};
    case 26: case 27: return {17, 4, 0};
    case 28: case 29: return {18, 4, 0};
    case 30: return {19, 4, 3};
    case 45: return {13, 4, 0};
    case 46: case 47: return {14, 4, 0};
    case 48: case 49: return {15, 4, 0};
    case 60: return {10, 5, 2};
    case 61: case 62: return {11, 5, 2};
    case 63: case 64: return {12, 5, 2};
    case 65: return {10, 5, -1};
    case 66: case 67: return {11, 5, -1};
    case 68: case 69: return {12, 5, -1};
    case 70: return {23, 4, 1};
    case 71: return {24, 2, -1};
    default: return {-1, 1, -1};
  }
}

// The chance is drawn first; the two angles only when the sparks appear.
void SpawnHitSparks(const PlayerShot& s, int mode) {
  static constexpr int kChance[4] = {2, 3, 2, 2};
  static constexpr int kKind[4] = {120, 123, 121, 124};
  static constexpr double kSpeed[4] = {6.0, 2.0, 6.0, 6.0};
  if (mode < 0 || mode > 3) return;
  if (RandomInt(kChance[mode]) != 0) return;
  for (int i = 0; i < 2; ++i) {
    const int angle = mode == 0 ? RandomIntSigned(360) : RandomInt(360);
    SpawnExplosion(s.centre_x, s.centre_y, kKind[mode], angle, kSpeed[mode]);
  }
}

void FollowOption(PlayerShot& s) {
  double x0, y0, x1, y1;
  GetOptionPositions(&x0, &y0, &x1, &y1);
  if (s.param == 0) s.x = x0 - s.width / 2.0;
  else if (s.param == 1) s.x = x1 - s.width / 2.0;
}

void TurnShotTowardNearestEnemy(PlayerShot& s, int step) {
  double target = s.angle;
  double best = 10000.0;
  for (int slot = 0; slot < kEnemySlots; ++slot) {
    double ex, ey;
    if (GetHomingTarget(slot, &ex, &ey) != 1) continue;
    double d = Distance(ex, ey, s.centre_x, s.centre_y);
    if (d < best) {
      best = d;
      target = AngleBetweenPoints(ex, ey, s.centre_x, s.centre_y);
    }
  }
  s.angle = static_cast<double>(TruncToInt(TurnAngleToward(s.angle, target, step)));
}

bool IsLaser(int type) { return type >= 25 && type <= 30; }

void MovePlayerShot(PlayerShot& s) {
  if (s.type >= 45 && s.type <= 50 && s.age < 30) {
    TurnShotTowardNearestEnemy(s, s.age);
    ++s.age;
  }
  s.vx = CosDeg(s.angle) * s.speed;
  s.vy = SinDeg(s.angle) * s.speed;
  if (IsLaser(s.type)) {
    FollowOption(s);
    if (IsPlayerActive() == 0) {
      s.silent_end = 1;
      EndPlayerShot(s);
      return;
    }
    s.y += s.vy;
  } else {
    s.x += s.vx;
    s.y += s.vy;
  }
  s.centre_x = s.x + s.width / 2.0;
  s.centre_y = s.y + s.height / 2.0;
}

void CullPlayerShot(PlayerShot& s) {
  if (s.alive != 1 || s.type == 10) return;
  if (s.y + s.height >= 0.0 && s.y <= 480.0 && s.x + s.width >= 140.0 && s.x <= 500.0) return;
  s.silent_end = 1;
  EndPlayerShot(s);
}

// The picture of a type, from the shot sheets; -1 (nothing drawn) for none.
int32_t ShotCell(const PlayerShot& s) {
  const int t = s.type;
  if (t >= 0 && t <= 9) return SheetCell(kSheetMyBullet1, t);
  if (t == 11) return SheetCell(kSheetMyBullet1, 10);
  if (t >= 20 && t <= 30) return SheetCell(kSheetMyBullet2, t - 20);
  if (t >= 40 && t <= 50) return SheetCell(kSheetMyBullet3, t - 40);
  if (t >= 60 && t <= 70) return SheetCell(kSheetMyBullet4, t - 60);
  if (t == 71) return SheetCell(kSheetMyBullet4, 11 + (s.anim_counter / 4) % 4);
  if (t >= 80 && t <= 84) return SheetCell(kSheetMyBullet4, 15 + (t - 80));
  return -1;
}

double ShotRotation(const PlayerShot& s) {
  const int t = s.type;
  if ((t >= 0 && t <= 9) || t == 11) return s.angle + 90.0;
  if ((t >= 20 && t <= 24) || (t >= 45 && t <= 50) || (t >= 60 && t <= 71) || (t >= 80 && t <= 84))
    return s.angle;
  return 0.0;
}

// The ring's frame for draw n: 0-4 on the even draws to 8, then turning.
int RingFrame(int n, int current) {
  if (n < 9) return (n % 2 == 0) ? n / 2 : current;
  if (n < 96) return 5 + (n / 2) % 4;
  return 9 + (n / 3) % 8;
}

}  // namespace

const ShotType* ShotTypeInfo(int type) {
  for (const TypeRow& r : kTypes)
    if (r.type == type) return &r.info;
  return nullptr;
}

int SpawnPlayerShot(double x, double y, int type, double angle, double speed, int param) {
  for (PlayerShot& s : g_player_shots) {
    if (s.alive == 1) continue;
    const ShotType* info = ShotTypeInfo(type);
    static constexpr ShotType kNone{0, 0, 0, 0};
    if (info == nullptr) info = &kNone;
    s.width = info->width;
    s.height = info->height;
    s.damage = info->damage;
    s.hit_score = info->score;
    s.x = x - s.width / 2.0;
    s.y = y - s.height / 2.0;
    s.centre_x = x;
    s.centre_y = y;
    s.type = type;
    s.param = param;
    UpdateShotHitRect(s);
    if (IsLaser(type)) FollowOption(s);
    s.vx = CosDeg(angle) * speed;
    s.vy = SinDeg(angle) * speed;
    s.angle = angle;
    s.speed = speed;
    s.scale = 1.0;
    s.alive = 1;
    return 0;
  }
  return -1;
}

int UpdatePlayerShots() {
  for (PlayerShot& s : g_player_shots) {
    if (s.alive != 1) continue;
    MovePlayerShot(s);
    if (s.alive != 1) continue;
    UpdateShotHitRect(s);
    CullPlayerShot(s);
  }
  return 0;
}

int UpdateShotHitRect(PlayerShot& s) {
  const int t = s.type;
  if (t == 10) {
    s.hit_left = s.centre_x - 120.0;
    s.hit_right = s.centre_x + 120.0;
    s.hit_top = s.centre_y - 120.0;
    s.hit_bottom = s.centre_y + 120.0;
  } else if (t == 20 || t == 21 || t == 22 || (t >= 80 && t <= 84)) {
    s.hit_left = s.centre_x - s.height / 2.0;
    s.hit_right = s.centre_x + s.height / 2.0;
    s.hit_top = s.centre_y - s.width / 2.0;
    s.hit_bottom = s.centre_y + s.width / 2.0;
  } else if (t == 50 || (t >= 65 && t <= 70)) {
    s.hit_left = s.centre_x - s.height / 2.0;
    s.hit_right = s.centre_x + s.height / 2.0;
    s.hit_top = s.centre_y - s.height / 2.0;
    s.hit_bottom = s.centre_y + s.height / 2.0;
  } else {
    s.hit_left = s.x;
    s.hit_top = s.y;
    s.hit_right = s.x + s.width;
    s.hit_bottom = s.y + s.height;
  }
  return 0;
}

int EndPlayerShot(PlayerShot& s) {
  if (s.silent_end != 1) {
    AddScore(s.hit_score);
    Effect e = EffectOf(s.type);
    if (e.kind >= 0) {
      PlaySoundEffect(51);
      if (IsLaser(s.type)) {
        const double dy = (s.type == 26 || s.type == 27) ? 40.0 : 32.0;
        SpawnExplosion(s.centre_x, s.centre_y - dy, e.kind, 270.0, s.speed / e.divisor);
      } else {
        SpawnExplosion(s.centre_x, s.centre_y, e.kind, s.angle, s.speed / e.divisor);
      }
      SpawnHitSparks(s, e.spark);
    }
  }
  ClearPlayerShot(s);
  return 0;
}

int DrawPlayerShot(PlayerShot& s) {
  if (s.alive != 1) return 0;
  if (s.type == 10) {
    s.anim_frame = RingFrame(s.draw_counter, s.anim_frame);
    // The ring's sheet has 14 cells; the last turns ask for 14-16, which
    // draw nothing.
    DrawSpriteScreen(s.centre_x, s.centre_y, 5.0, 0.0, SheetCell(kSheetMbBomb, s.anim_frame), 200.0);
  } else {
    DrawSpriteScreen(s.centre_x, s.centre_y, 1.0, ShotRotation(s), ShotCell(s), 255.0);
    if (s.type == 71) ++s.anim_counter;
  }
  if (g_flags.GamePaused == 0) ++s.draw_counter;
  if (s.type == 10 && s.draw_counter >= 120) EndPlayerShot(s);
  return 0;
}

int DrawAllPlayerShots() {
  for (PlayerShot& s : g_player_shots) DrawPlayerShot(s);
  return 0;
}

int ResetAllPlayerShots() {
  for (PlayerShot& s : g_player_shots) ClearPlayerShot(s);
  return 0;
}

int IsPlayerShotAlive(const PlayerShot& s) { return s.alive; }
int GetPlayerShotType(const PlayerShot& s) { return s.type; }

int ClearPlayerShot(PlayerShot& s) {
  std::memset(static_cast<void*>(&s), 0, sizeof s);
  return 0;
}
