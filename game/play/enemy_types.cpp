#include "play/enemy_types.h"

#include "play/enemies.h"
#include "play/stage.h"

namespace {

// type, w, h, max HP, items, gauge, dying, cancel on death, collision class.
constexpr EnemyTypeRow kRegular[] = {
    {0, 80, 80, 30, 1, 0, 0, 0, 0},          {1, 160, 160, 240, 4, 0, 0, 0, 0},
    {2, 120, 84, 320, 4, 0, 0, 0, 0},        {3, 120, 84, 320, 4, 0, 0, 0, 0},
    {4, 200, 200, 1200, 6, 1, 0, 0, 0},      {5, 240, 240, 2440, 12, 1, 1, 1, 2},
    {6, 264, 144, 6400, 20, 1, 1, 1, 0},     {7, 80, 80, 100, 1, 0, 0, 0, 2},
    {8, 280, 136, 2400, 20, 1, 0, 0, 0},     {9, 56, 56, 80, 1, 0, 0, 0, 2},
    {10, 80, 80, 70, 1, 0, 0, 0, 0},         {11, 240, 144, 2560, 15, 1, 0, 0, 0},
    {12, 120, 80, 560, 4, 0, 0, 0, 0},       {13, 150, 150, 800, 5, 0, 0, 0, 2},
    {14, 280, 160, 7200, 24, 1, 1, 1, 0},    {15, 160, 160, 240, 4, 0, 0, 0, 0},
    {16, 120, 120, 200, 3, 0, 0, 0, 0},      {17, 200, 136, 2400, 9, 1, 0, 0, 0},
    {18, 120, 120, 640, 4, 0, 0, 0, 2},      {19, 300, 240, 7200, 20, 1, 1, 1, 2},
    {20, 300, 176, 10000, 20, 1, 1, 1, 0},   {21, 72, 72, 30, 1, 0, 0, 0, 0},
    {22, 200, 144, 1200, 6, 0, 0, 0, 0},     {23, 100, 100, 640, 3, 0, 0, 0, 2},
    {24, 80, 80, 480, 2, 0, 0, 0, 2},        {25, 104, 104, 720, 4, 0, 0, 0, 2},
    {26, 240, 224, 6400, 15, 1, 0, 0, 0},    {27, 240, 240, 5600, 12, 1, 1, 1, 2},
    {28, 240, 160, 3200, 12, 1, 0, 0, 0},    {29, 160, 80, 480, 4, 0, 0, 0, 0},
    {30, 240, 240, 3200, 9, 1, 0, 0, 0},     {31, 72, 72, 120, 1, 0, 0, 0, 2},
    {32, 64, 64, 120, 0, 0, 1, 0, 1},        {33, 64, 64, 1600, 0, 0, 0, 0, 1},
    {34, 160, 160, 960, 6, 0, 0, 0, 2},      {35, 200, 160, 2400, 12, 1, 0, 0, 0},
    {36, 300, 240, 14000, 20, 1, 1, 1, 0},   {37, 200, 200, 3800, 9, 1, 0, 1, 0},
    {101, 96, 96, 1800, 6, 0, 0, 0, 0},      {201, 80, 168, 4000, 16, 1, 0, 1, 0},
    {202, 80, 168, 4000, 16, 1, 0, 1, 0},    {300, 40, 40, 9999, 0, 0, 0, 0, 1},
    {301, 40, 40, 9999, 0, 0, 0, 0, 1},      {302, 80, 80, 9999, 0, 0, 0, 0, 1},
    {303, 72, 72, 9999, 0, 0, 0, 0, 1},      {304, 72, 72, 9999, 0, 0, 0, 0, 1},
};

constexpr BossTypeRow kBosses[] = {
    {100, 400, 240, 1, {22000, 0, 0, 0}, {1600, 0, 0, 0}, 36, 0},
    {110, 320, 176, 1, {28000, 20000, 0, 0}, {1900, 0, 0, 0}, 36, 0},
    {120, 360, 240, 1, {50000, 24000, 0, 0}, {3200, 0, 0, 0}, 36, 0},
    {200, 264, 228, 2, {36000, 24000, 0, 0}, {4000, 3000, 0, 0}, 40, 0},
    {210, 400, 192, 2, {64000, 40000, 0, 0}, {5000, 4000, 0, 0}, 40, 1},
    {220, 300, 360, 2, {56000, 36000, 34000, 0}, {5000, 4000, 3600, 0}, 40, 2},
    {230, 240, 240, 2, {56000, 40000, 36000, 0}, {4000, 4000, 3600, 0}, 40, 0},
    {240, 440, 240, 2, {56000, 76000, 56000, 0}, {5000, 5400, 5000, 0}, 40, 1},
    // The fourth limit is kept but never counted: phase 4 has no time limit.
    {250, 96, 96, 2, {48000, 48000, 48000, 48000}, {6000, 6000, 6000, 6000}, 40, 1},
};

}  // namespace

std::span<const EnemyTypeRow> RegularEnemyTypeRows() { return kRegular; }
std::span<const BossTypeRow> BossTypeRows() { return kBosses; }

int ApplyEnemyTypeStats(EnemyObject& e) {
  for (const EnemyTypeRow& row : kRegular) {
    if (row.type != e.type) continue;
    e.width = row.width;
    e.height = row.height;
    e.max_hp = row.max_hp;
    if (e.type == 4 && e.variant != 0) e.max_hp = 1600;
    e.items = row.items;
    e.gauge_flag = row.gauge;
    e.dying_flag = row.dying;
    e.cancel_on_death = row.cancel;
    e.collision_class = row.collision_class;
  }
  for (const BossTypeRow& row : kBosses) {
    if (row.type != e.type) continue;
    e.width = row.width;
    e.height = row.height;
    e.boss_kind = row.boss_kind;
    for (int k = 0; k < 4; ++k) e.max_phase_hp[k] = row.phase_hp[k];
    if (row.boss_kind == 1) {
      e.mid_boss_timer = row.limits[0];
    } else {
      for (int k = 0; k < 4; ++k) e.phase_limits[k] = row.limits[k];
    }
    e.items = row.items;
    e.collision_class = row.collision_class;
  }
  if (e.type == 305) e.collision_class = 1;
  e.kill_score = e.max_hp * 3;
  for (int k = 0; k < 4; ++k) e.phase_bonus[k] = e.max_phase_hp[k] * 3;
  e.hp = e.max_hp;
  for (int k = 0; k < 4; ++k) e.phase_hp[k] = e.max_phase_hp[k];
  if (e.type == 101 || e.type == 201 || e.type == 202) {
    e.linked = 1;
    SendEnemyMessage(e, e.slot, e.parent_slot, e.part_index);
  }
  if (e.boss_kind == 1 || e.boss_kind == 2) {
    BossGaugeShown = 1;
    BossFightFlag(1);
  }
  return 0;
}
