#include "play/explosions.h"

#include <cstring>

#include "kesto/kesto.h"
#include "play/enemy_bullets.h"
#include "play/items.h"
#include "shell/draw.h"
#include "shell/game_flags.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"

Explosion g_explosions[kExplosionCount];

namespace {

struct KindSize {
  int kind;
  int size;
};
constexpr KindSize kKindSizes[] = {
    {0, 32},  {1, 40},  {2, 48},  {3, 56},   {4, 64},   {10, 24},  {11, 36},  {12, 48}, {50, 96},
    {56, 96}, {57, 192}, {58, 96}, {100, 32}, {120, 8}, {121, 8}, {122, 48}, {123, 16},
};

// How a plain animated kind is drawn: cell = base + (f / divisor) mod count.
struct KindLook {
  int kind;
  const SheetLayout* sheet;
  int base;
  int divisor;
  int count;
  double scale;
  bool rotating;
  int alpha;
  int end_frame;
};
const KindLook kLooks[] = {
    {0, &kSheetExplo3, 0, 1, 12, 1.0, true, 255, 11},
    {1, &kSheetExplo3, 12, 1, 12, 1.2, true, 255, 11},
    {2, &kSheetExplo3, 24, 1, 12, 1.2, true, 255, 11},
    {3, &kSheetExplo3, 36, 1, 12, 1.2, true, 255, 11},
    {4, &kSheetExplo3, 48, 1, 12, 1.2, true, 255, 11},
    {5, &kSheetEffect1, 0, 2, 8, 1.0, false, 255, 14},
    {6, &kSheetEffect1, 0, 2, 8, 1.5, false, 255, 14},
    {7, &kSheetEffect1, 0, 2, 8, 2.0, false, 255, 14},
    {8, &kSheetEffect5, 0, 2, 12, 2.0, false, 255, 22},
    {10, &kSheetEffect4, 2, 1, 14, 1.0, true, 255, 13},
    {11, &kSheetEffect4, 2, 1, 14, 1.5, true, 255, 13},
    {12, &kSheetEffect4, 2, 1, 14, 2.0, true, 255, 13},
    {13, &kSheetEffect6, 0, 2, 6, 1.0, false, 255, 10},
    {14, &kSheetEffect6, 0, 2, 6, 1.5, false, 255, 10},
    {15, &kSheetEffect6, 0, 2, 6, 2.0, false, 255, 10},
    {16, &kSheetEffect7, 0, 3, 4, 1.0, false, 255, 9},
    {17, &kSheetEffect7, 0, 3, 4, 1.5, false, 255, 9},
    {18, &kSheetEffect7, 0, 3, 4, 2.0, false, 255, 9},
    {19, &kSheetEffect10, 0, 3, 4, 2.0, false, 255, 9},
    {20, &kSheetEffect11, 0, 2, 6, 1.0, false, 255, 10},
    {21, &kSheetEffect11, 0, 2, 6, 1.5, false, 255, 10},
    {22, &kSheetEffect11, 0, 2, 6, 2.0, false, 255, 10},
    {23, &kSheetEffect17, 0, 2, 6, 1.2, false, 255, 10},
    {24, &kSheetEffect18, 0, 4, 6, 1.0, false, 255, 20},
    {50, &kSheetExplo0, 0, 3, 14, 1.0, true, 255, 39},
    {52, &kSheetExplo2, 0, 3, 16, 1.0, true, 255, 45},
    {54, &kSheetEffect2, 6, 3, 6, 1.0, true, 155, 15},
    {55, &kSheetEffect2, 0, 2, 6, 2.0, true, 155, 10},
    {57, &kSheetExplo2_2, 0, 3, 16, 1.0, true, 255, 45},
    {58, &kSheetExplo0_2, 0, 3, 14, 1.0, true, 255, 39},
    {60, &kSheetExplo4, 0, 3, 14, 2.0, false, 255, 39},
};

// Single cells: effect4's 32x32 at (64, 0), effect1's 12x12 at (256, 0) and (256, 12).
constexpr int kEffect4PlayerDeathCell = 16;
constexpr int kEffect1SparkCell = 8;
constexpr int kEffect1SparkCell2 = 9;
// The bullet-removal puff has 6 cells but animates over 8 steps: the last two
// show nothing rather than reaching past the table.
constexpr int kBulletPuffTable = 13;
constexpr int kBulletPuffCells = 6;

const KindLook* FindLook(int kind) {
  for (const KindLook& look : kLooks)
    if (look.kind == kind) return &look;
  return nullptr;
}

bool Paused() { return g_flags.GamePaused != 0; }

void Draw(const Explosion& e, double scale, double angle, int32_t graphic, int alpha) {
  // A spent spark shrinks to 0 or below on its last draws: nothing to show.
  if (scale <= 0.0) return;
  DrawSpriteScreen(e.x, e.y, scale, angle, graphic, alpha);
}

void TakeRotationOnce(Explosion& e) {
  if (e.states[0] == 0) {
    e.rotation = RandomInt(36) * 10;
    e.states[0] = 1;
  }
}

void CancelBulletsNear(const Explosion& e, int radius) {
  for (EnemyBullet& b : g_enemy_bullets) {
    if (IsEnemyBulletAlive(b) != 1) continue;
    if (Distance(e.x, e.y, b.centre_x, b.centre_y) <= radius) {
      SpawnItem(b.centre_x, b.centre_y, 0, 0.0, 0.0);
      RemoveEnemyBullet(b, 0);
    }
  }
}

// Returns true when the explosion ended in this draw.
bool DrawTableKind(Explosion& e, const KindLook& look) {
  if (look.rotating) TakeRotationOnce(e);
  double angle = 0.0;
  if (look.rotating) {
    angle = e.rotation;
  } else if (e.kind == 60) {
    if (e.frame == 0) e.angle = RandomInt(360);
    angle = e.angle;
  } else if (e.kind == 23) {
    angle = e.angle + 90.0;
  }
  int cell = look.base + (e.frame / look.divisor) % look.count;
  Draw(e, look.scale, angle, SheetCell(*look.sheet, cell), look.alpha);
  return e.frame == look.end_frame;
}

bool DrawKind56(Explosion& e) {
  int d = e.anims[0];
  int cell = (d / 6) % 12;
  if (e.states[0] == 0) {
    e.scale = 1.0;
    e.rotation = RandomInt(36) * 10;
    e.alpha = 255;
    e.states[0] = 1;
  } else if (e.states[0] == 1) {
    if (cell >= 6 && e.alpha > 0) e.alpha -= 3;
    e.rotation += 2;
    if (e.alpha <= 0) return true;
  }
  Draw(e, e.scale, e.rotation, SheetCell(kSheetEffect3, cell), e.alpha);
  return d == 66;
}

bool DrawKind61(Explosion& e) {
  if (e.states[0] == 2) return true;
  if (e.states[0] == 0) {
    e.angle = RandomInt(36) * 10;
    e.scale = 2.0;
    e.states[0] = 1;
  } else if (e.states[0] == 1 && !Paused()) {
    e.scale -= 0.02;
    if (e.scale <= 0.0) {
      e.scale = 0.0;
      e.states[0] = 2;
    }
  }
  Draw(e, e.scale, e.angle, SheetCell(kSheetEffect4, kEffect4PlayerDeathCell), 255);
  return false;
}

bool DrawShrinkingSpark(Explosion& e, double step, int cell) {
  if (!Paused() && e.scale > 0.0) e.scale -= step;
  Draw(e, e.scale, 0.0, SheetCell(kSheetEffect1, cell), 200);
  return e.scale <= 0.0;
}

bool DrawKind124(Explosion& e) {
  if (e.states[0] == 0) {
    e.scale = 2.0;
    e.states[0] = 1;
  } else if (e.states[0] == 1 && !Paused() && e.scale > 0.0) {
    e.scale -= 0.06;
  }
  Draw(e, e.scale, 0.0, SheetCell(kSheetEffect1, kEffect1SparkCell2), 200);
  return e.scale <= 0.0;
}

// Kinds 122 and 123; the animation counter moves on every draw, the ending one too.
bool DrawSpinningBits(Explosion& e) {
  bool ended = false;
  if (e.states[0] == 0) {
    e.rotation = RandomInt(360);
    e.anims[0] = RandomInt(48);
    e.states[0] = 1;
    e.scale = (e.kind == 122 && e.param1 == 1.0) ? 2.0 : 1.0;
  } else if (e.states[0] == 1 && !Paused()) {
    e.scale -= 0.02;
    if (e.scale <= 0.0) ended = true;
  }
  if (!ended) {
    const SheetLayout& sheet = e.kind == 122 ? kSheetEffect14 : kSheetEffect16;
    Draw(e, e.scale, e.rotation, SheetCell(sheet, (e.anims[0] / 4) % 12), 255);
  }
  return ended;
}

bool DrawWhiteBox(Explosion& e, int x1, int x2, int fade_step) {
  ChooseBlendMode(1, 255 - e.alpha);
  PaintRectangle(x1, 0, x2, 480, PackRgbColor(255, 255, 255), 1);
  ChooseBlendMode(1, 255);
  if (e.frame > 20) e.alpha += fade_step;
  return e.alpha >= 255;
}

}  // namespace

int ClearExplosion(Explosion& e) {
  std::memset(&e, 0, sizeof e);
  return 0;
}

int IsExplosionAlive(const Explosion& e) { return e.in_use; }

int InitExplosion(Explosion& e, double x, double y, int kind, double angle, double speed,
                  double param1, double param2) {
  if (e.in_use == 1) return -1;
  e.kind = kind;
  e.scale = 1.0;
  for (const KindSize& ks : kKindSizes) {
    if (ks.kind == kind) {
      e.width = ks.size;
      e.height = ks.size;
    }
  }
  e.left = x - static_cast<double>(e.width / 2);
  e.top = y - static_cast<double>(e.height / 2);
  e.x = x;
  e.y = y;
  e.vx = CosDeg(angle) * speed;
  e.vy = SinDeg(angle) * speed;
  e.angle = angle;
  e.param1 = param1;
  e.param2 = param2;
  e.in_use = 1;
  return 0;
}

int SpawnExplosionEx(double x, double y, int kind, double angle, double speed, double param1,
                     double param2) {
  for (Explosion& e : g_explosions)
    if (e.in_use != 1) return InitExplosion(e, x, y, kind, angle, speed, param1, param2);
  return -1;
}

int SpawnExplosion(double x, double y, int kind, double angle, double speed) {
  return SpawnExplosionEx(x, y, kind, angle, speed, 0.0, 0.0);
}

int UpdateExplosion(Explosion& e) {
  if (e.in_use != 1) return 0;
  if (e.kind == 56) e.vy -= 0.04;
  if (e.kind == 57 || e.kind == 58) {
    if (e.steps[0] < 20) CancelBulletsNear(e, e.kind == 57 ? 96 : 48);
    e.steps[0] += 1;
  }
  e.left += e.vx;
  e.top += e.vy;
  e.x = e.left + static_cast<double>(e.width / 2);
  e.y = e.top + static_cast<double>(e.height / 2);
  return 0;
}

int DrawExplosion(Explosion& e) {
  if (e.in_use != 1) return 0;
  bool ended = false;
  bool counts_anim = false;
  switch (e.kind) {
    case 56:
      ended = DrawKind56(e);
      counts_anim = !Paused();
      break;
    case 61:
      ended = DrawKind61(e);
      break;
    case 100: {
      int cell = (e.frame / 6) % 8;
      if (cell < kBulletPuffCells) Draw(e, 1.0, 0.0, EnemyBulletCell(kBulletPuffTable, cell), 255);
      ended = e.frame == 42;
      break;
    }
    case 110:
      ended = DrawWhiteBox(e, 320 - 20 * e.frame, 320 + 20 * e.frame, 10);
      break;
    case 111:
      ended = DrawWhiteBox(e, 140, 500, 3);
      break;
    case 120:
      ended = DrawShrinkingSpark(e, 0.03, kEffect1SparkCell);
      break;
    case 121:
      ended = DrawShrinkingSpark(e, 0.03, kEffect1SparkCell2);
      break;
    case 122:
    case 123:
      ended = DrawSpinningBits(e);
      counts_anim = true;
      break;
    case 124:
      ended = DrawKind124(e);
      break;
    default:
      if (const KindLook* look = FindLook(e.kind)) ended = DrawTableKind(e, *look);
      break;
  }
  if (ended) ClearExplosion(e);
  // The cleared record keeps these steps: the next explosion in this slot
  // starts one frame in. Replays depend on it.
  if (counts_anim) e.anims[0] += 1;
  if (!Paused()) e.frame += 1;
  return 0;
}

int UpdateExplosions() {
  for (Explosion& e : g_explosions) UpdateExplosion(e);
  return 0;
}

int DrawAllExplosions() {
  for (Explosion& e : g_explosions) DrawExplosion(e);
  return 0;
}

int ResetAllExplosions() {
  for (Explosion& e : g_explosions) ClearExplosion(e);
  return 0;
}
