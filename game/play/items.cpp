#include "play/items.h"

#include <cstdio>
#include <cstring>

#include "play/play_links.h"
#include "play/player.h"
#include "shell/draw.h"
#include "shell/game_math.h"
#include "shell/image_tables.h"
#include "shell/sheet_layout.h"

Item g_items[kItemSlots]{};

namespace {

struct KindRow {
  int size, value, gauge;
};
constexpr KindRow kKinds[6] = {{56, 100, 0}, {64, 0, 0}, {64, 0, 0}, {64, 0, 0}, {40, 500, 2}, {32, 100, 1}};

int InitItem(Item& it, double x, double y, int kind, double angle, double speed) {
  if (it.in_use == 1) return -1;
  const KindRow& row = kKinds[(kind >= 0 && kind <= 5) ? kind : 0];
  it.kind = kind;
  it.width = it.height = row.size;
  it.value = row.value;
  it.gauge_amount = row.gauge;
  it.left = x - it.width / 2;
  it.top = y - it.height / 2;
  it.centre_x = x;
  it.centre_y = y;
  it.vx = CosDeg(angle) * speed;
  it.vy = SinDeg(angle) * speed;
  it.scale = 1.0;
  it.speed = speed;
  it.angle = angle;
  it.in_use = 1;
  AddItemCount(1);
  if (kind == 4) it.pickup_blocked = 1;
  return 0;
}

bool PlayerCanAttract() { return g_player.active == 1 && g_player.respawn_countdown == 0; }

int ChangeItemSpeed(Item& it, double delta) {
  if (it.speed != 0.0) {
    it.vx /= it.speed;
    it.vy /= it.speed;
  }
  it.speed += delta;
  it.vx *= it.speed;
  it.vy *= it.speed;
  return it.speed <= 0.0 ? -1 : 0;
}

void AgeScoreItem(Item& it) {
  static constexpr double kScale[7] = {0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3};
  const int a = it.age;
  if (a < 25) {
    it.gauge_amount = 8;
    it.scale = 1.0;
  } else if (a % 5 == 0 && a <= 55) {
    const int step = (a - 25) / 5;  // 0 at age 25 .. 6 at age 55
    it.gauge_amount = 7 - step;
    it.scale = kScale[step];
  }
  ++it.age;
  it.value = it.gauge_amount * 100;
}

void RunScoreItem(Item& it) {
  AgeScoreItem(it);
  if (it.attracted == 1) return;
  it.vy += 0.15;
  if (it.vy > 2.0 && PlayerCanAttract()) it.attracted = 1;
}

void RunBouncingItem(Item& it) {
  if (it.counter == 0) {
    if (it.left < 140.0) it.left = 148.0;
    if (it.left + it.width > 500.0) it.left = 492.0 - it.width;
    if (it.top < 0.0) it.top = 0.0;
    if (it.top + it.height > 480.0) it.top = 480.0 - it.height;
  }
  if (it.counter < 1600) {
    if (it.left < 140.0) it.vx = -it.vx;
    if (it.left + it.width > 500.0) it.vx = -it.vx;
    if (it.top < 0.0) it.vy = -it.vy;
    if (it.top + it.height > 480.0) it.vy = -it.vy;
  }
  ++it.counter;
}

void RunBigScoreItem(Item& it) {
  if (it.phase == 0) {
    it.vx = CosDeg(it.angle) * it.speed;
    it.vy = SinDeg(it.angle) * it.speed;
    if (ChangeItemSpeed(it, -0.2) == -1) it.phase = 1;
  } else {
    it.pickup_blocked = 0;
    it.attracted = 1;
  }
}

void RunSmallScoreItem(Item& it) {
  if (it.phase == 0) {
    ++it.counter;
    it.vy += 0.1;
    if (it.counter == 30) {
      it.phase = 1;
      it.counter = 0;
      it.vy = 0.0;
    }
  } else {
    it.attracted = 1;
  }
}

void AttractItemToPlayer(Item& it) {
  const double a = AngleToPlayer(it.centre_x, it.centre_y);
  it.vx = CosDeg(a) * 8.0;
  it.vy = SinDeg(a) * 8.0;
  if (!PlayerCanAttract()) {
    it.vx = 0.0;
    it.vy = 1.5;
    it.attracted = 0;
  }
}

void MoveItem(Item& it) {
  it.left += it.vx;
  it.top += it.vy;
  it.centre_x = it.left + it.width / 2;
  it.centre_y = it.top + it.height / 2;
  switch (it.kind) {
    case 0: RunScoreItem(it); break;
    case 1: case 2: RunBouncingItem(it); break;
    case 3: it.vy = GetScrollSpeed(0); break;
    case 4: RunBigScoreItem(it); break;
    case 5: RunSmallScoreItem(it); break;
    default: break;
  }
  if (it.attracted == 1) AttractItemToPlayer(it);
}

void CullItem(Item& it) {
  bool out;
  if (it.kind == 1 || it.kind == 2)
    out = it.left + it.width < 140.0 || it.left > 500.0 || it.top + it.height < 0.0 ||
          it.top > 480.0;
  else
    out = it.top > 480.0;
  if (out) {
    it.gone = 1;
    RemoveItem(it);
  }
}

}  // namespace

int SpawnItem(double x, double y, int kind, double angle, double speed) {
  for (Item& it : g_items)
    if (InitItem(it, x, y, kind, angle, speed) == 0) return 0;
  return -1;
}

int UpdateItems() {
  for (Item& it : g_items) {
    if (it.in_use != 1) continue;
    MoveItem(it);
    CullItem(it);
  }
  return 0;
}

int DrawItem(Item& it) {
  if (it.in_use != 1) return 0;
  const double cx = it.centre_x, cy = it.centre_y;
  switch (it.kind) {
    case 0: {
      DrawSpriteScreen(cx, cy, it.scale, 0.0, SheetCell(kSheetItemScore2, (it.anim_counter / 4) % 12),
                       255.0);
      char digits[16];
      std::snprintf(digits, sizeof digits, "%d", it.gauge_amount);
      const int x = TruncToInt(cx), y = TruncToInt(cy);
      DrawGlyphText("*", x - 10, y + 8, 255, 0, 1, 1.0 + it.scale);
      DrawGlyphText(digits, x + 10, y + 8, 255, 0, 1, 1.0 + it.scale);
      ++it.anim_counter;
      break;
    }
    case 1: case 2:
      DrawSpriteScreen(cx, cy, 1.0, 0.0,
                       SheetCell(kSheetItemEx, (it.kind == 1 ? 0 : 4) + (it.anim_counter / 2) % 4),
                       255.0);
      DrawSpriteScreen(cx, cy, 1.0, 0.0, SheetCell(it.kind == 1 ? kSheetItemPow : kSheetItemBomb, 0),
                       255.0);
      ++it.anim_counter;
      break;
    case 3:
      DrawSpriteScreen(cx + 4.0, cy + 4.0, 1.0, 0.0, SheetCell(kSheetItem1up, 1), 255.0);
      DrawSpriteScreen(cx, cy, 1.0, 0.0, SheetCell(kSheetItem1up, 0), 255.0);
      break;
    case 4:
      if (it.draw_phase == 0) {
        it.scale = 0.5;
        it.rotation = RandomInt(36) * 10;
        it.draw_phase = 1;
      } else {
        it.rotation += 4;
        if (it.scale < 1.0) it.scale += 0.02;
      }
      DrawSpriteScreen(cx, cy, it.scale, it.rotation,
                       SheetCell(kSheetItemScore3, (it.anim_counter / 2) % 18), 255.0);
      ++it.anim_counter;
      break;
    case 5:
      it.rotation += 2;
      DrawSpriteScreen(cx, cy, 1.0, it.rotation, SheetCell(kSheetItemScore, (it.anim_counter / 4) % 6),
                       255.0);
      ++it.anim_counter;
      break;
    default:
      break;
  }
  return 0;
}

int DrawAllItems() {
  for (Item& it : g_items) DrawItem(it);
  return 0;
}

int ResetAllItems() {
  for (Item& it : g_items) ClearItem(it);
  return 0;
}

int IsItemAlive(const Item& it) { return static_cast<int>(it.in_use); }
int IsItemPickupBlocked(const Item& it) { return static_cast<int>(it.pickup_blocked); }

int RemoveItem(Item& it) {
  AddItemCount(-1);
  ClearItem(it);
  return 0;
}

int ClearItem(Item& it) {
  std::memset(static_cast<void*>(&it), 0, sizeof it);
  return 0;
}
