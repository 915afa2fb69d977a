// The numbers each enemy type starts with, as data: tests and the spawn read
// the same rows.
#pragma once

#include <cstdint>
#include <span>

struct EnemyTypeRow {
  int type;
  int width, height;
  int max_hp;
  int items;
  int gauge, dying, cancel, collision_class;
};

struct BossTypeRow {
  int type;
  int width, height;
  int boss_kind;
  int phase_hp[4];
  int limits[4];  // mid-boss: limits[0] is its timer
  int items;
  int collision_class;
};

std::span<const EnemyTypeRow> RegularEnemyTypeRows();
std::span<const BossTypeRow> BossTypeRows();
