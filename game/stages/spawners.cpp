// Spawners: unseen placeholders outside the play field that turn one timeline
// event into a timed stream of enemies. 301 sends formations of type 7 (one
// variant type 18), 303 pairs of type 21 darts, 304 two columns of type 31.
// A child that finds its slot range full is simply missing; it still counts.
#include <cstdint>
#include <cstring>
#include <limits>

#include "play/enemies.h"
#include "play/stage.h"
#include "stages/enemy_script_common.h"
#include "stages/enemy_scripts.h"

namespace {

void Count(int32_t& n) {
  if (n < std::numeric_limits<int32_t>::max()) n += 1;
}

// Children are placed by field x: the spawner's own centre less 140.
void Spawn(const EnemyObject& e, double dy, int type, int variant) {
  SpawnEnemy(e.x - 140.0, e.y + dy, type, variant);
}

struct Child {
  int type;
  int variant;
  double dy;
};

struct Formation {
  int interval;
  int limit;
  bool removed_after_last;
  int child_count;
  Child children[3];
};

constexpr Formation Sevens(int interval, int limit, int variant, bool removed = false) {
  return {interval, limit, removed, 1, {{7, variant, 0.0}, {}, {}}};
}

constexpr Formation kFormations301[] = {
    /* 0 */ Sevens(70, 5, 0),
    /* 1 */ Sevens(70, 6, 3),
    /* 2 */ Sevens(70, 6, 4),
    /* 3 */ Sevens(70, 8, 6),
    /* 4 */ Sevens(70, 8, 7),
    /* 5 */ Sevens(70, 8, 8),
    /* 6 */ Sevens(70, 5, 11),
    /* 7 */ Sevens(70, 5, 12),
    /* 8 */ {75, 7, false, 2, {{7, 13, 0.0}, {7, 14, 60.0}, {}}},
    /* 9 */ Sevens(75, 7, 17),
    /* 10 */ Sevens(75, 7, 18),
    /* 11 */ Sevens(75, 7, 19),
    /* 12 */ {75, 12, true, 3, {{7, 22, -140.0}, {7, 22, -70.0}, {7, 22, 0.0}}},
    /* 13 */ {120, 5, true, 1, {{18, 5, 0.0}, {}, {}}},
    /* 14 */ Sevens(70, 8, 23, true),
};
constexpr int kFormationCount = static_cast<int>(sizeof kFormations301 / sizeof kFormations301[0]);
static_assert(kFormationCount == 15);

// Spawner 303's two emission points by variant, in field coordinates.
struct PointPair {
  double x0, y0, x1, y1;
};
constexpr PointPair kDartPoints[] = {
    {-36.0, 40.0, -36.0, 100.0},
    {396.0, 20.0, 416.0, 80.0},
    {396.0, 100.0, 416.0, 160.0},
    {-36.0, 100.0, -36.0, 160.0},
    {396.0, 30.0, 416.0, 90.0},
};
constexpr int kDartPointCount = static_cast<int>(sizeof kDartPoints / sizeof kDartPoints[0]);

// Spawn arguments carry doubles in two words, low word first.
double FirstArgument(const EnemyObject& e) {
  uint64_t bits = (uint64_t{e.args[1]} << 32) | e.args[0];
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void SplitDouble(double value, uint32_t* low, uint32_t* high) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  *low = static_cast<uint32_t>(bits);
  *high = static_cast<uint32_t>(bits >> 32);
}

}  // namespace

int UpdateSpawnerType301(EnemyObject& e) {
  FollowGroundScroll(e);
  if (e.variant >= 0 && e.variant < kFormationCount) {
    const Formation& f = kFormations301[e.variant];
    int32_t& frame = e.script_counters[1];
    int32_t& emitted = e.gun_shots[0];
    if (frame % f.interval == 0) {
      if (emitted < f.limit)
        for (int i = 0; i < f.child_count; ++i)
          Spawn(e, f.children[i].dy, f.children[i].type, f.children[i].variant);
      Count(emitted);
      if (f.removed_after_last && emitted == f.limit) {
        DestroyEnemy(e);
        return 0;
      }
    }
    Count(frame);
  }
  if (e.top > 480.0) DestroyEnemy(e);
  return 0;
}

int UpdateSpawnerType303(EnemyObject& e) {
  const double pairs = FirstArgument(e);
  if (pairs == 0.0) {
    DestroyEnemy(e);
    return 0;
  }
  // Another variant keeps its points where they are (0, 0 from the spawn).
  if (e.variant >= 0 && e.variant < kDartPointCount) {
    const PointPair& p = kDartPoints[e.variant];
    e.gun_x[0] = p.x0;
    e.gun_y[0] = p.y0;
    e.gun_x[1] = p.x1;
    e.gun_y[1] = p.y1;
  }
  int32_t& frame = e.gun_counter[0];
  int32_t& emitted = e.gun_shots[0];
  if (frame % 6 == 0) {
    // Start delay of the pair: later pairs open fire sooner.
    uint32_t low = 0, high = 0;
    SplitDouble(20.0 - emitted, &low, &high);
    SpawnEnemyWithArgs(e.gun_x[0], e.gun_y[0], 21, e.variant, low, high, 0, 0);
    SpawnEnemyWithArgs(e.gun_x[1], e.gun_y[1], 21, e.variant, low, high, 0, 0);
    Count(emitted);
    if (static_cast<double>(emitted) == pairs) {
      DestroyEnemy(e);
      return 0;
    }
  }
  Count(frame);
  return 0;
}

int UpdateSpawnerType304(EnemyObject& e) {
  FollowGroundScroll(e);
  if (e.variant != 0 && e.variant != 1) {
    // Emits nothing; removed once below the screen so that it frees its slot.
    if (e.top > 480.0) DestroyEnemy(e);
    return 0;
  }
  const int first = e.variant == 0 ? 0 : 2;
  int32_t& frame = e.script_counters[1];
  int32_t& emitted = e.gun_shots[0];
  if (frame % 50 == 0) {
    if (emitted < 16) {
      Spawn(e, 0.0, 31, first);
      if (emitted >= 5) Spawn(e, 48.0, 31, first + 1);
    }
    Count(emitted);
  }
  Count(frame);
  if (emitted >= 16) DestroyEnemy(e);
  return 0;
}
