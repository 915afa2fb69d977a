// The 800 items.
#pragma once

#include <cstdint>

inline constexpr int kItemSlots = 800;

struct Item {
  uint32_t in_use;
  double angle;
  double scale;
  double speed;
  int32_t age;
  int32_t phase;
  int32_t anim_counter;  // counts draws
  int32_t draw_phase;
  int32_t rotation;
  int32_t counter;  // movement frames of kinds 1, 2 and 5
  uint32_t attracted;
  uint32_t gone;
  uint32_t pickup_blocked;
  int32_t kind;
  double left, top;
  double vx, vy;
  double centre_x, centre_y;
  int32_t width, height;
  int32_t value;
  int32_t gauge_amount;
};

extern Item g_items[kItemSlots];

int SpawnItem(double x, double y, int kind, double angle, double speed);
int UpdateItems();
int DrawAllItems();  // draws the random rotation of a new item of kind 4
int ResetAllItems();
int DrawItem(Item& item);
int IsItemAlive(const Item& item);
int IsItemPickupBlocked(const Item& item);
int RemoveItem(Item& item);
int ClearItem(Item& item);
