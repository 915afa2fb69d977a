#include <cstring>
#include <string>
#include <vector>

#include "game/play/play_fixture.h"
#include "stages/enemy_scripts.h"

namespace {

struct Spawned {
  int frame;  // the spawner's own frame, from 0
  int type;
  int variant;
  double x;  // field coordinates
  double y;
  double delay;  // first spawn argument
};

// Only the spawners run; their children are noted and taken off the pool at
// once, so that nothing but the spawner is under test.
int RunSpawnersOnly(EnemyObject& e) {
  switch (e.type) {
    case 301: return UpdateSpawnerType301(e);
    case 303: return UpdateSpawnerType303(e);
    case 304: return UpdateSpawnerType304(e);
    default: return 0;
  }
}

double FirstArgument(const EnemyObject& e) {
  uint64_t bits = (uint64_t{e.args[1]} << 32) | e.args[0];
  double v = 0.0;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

void SplitDouble(double v, uint32_t* low, uint32_t* high) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  *low = static_cast<uint32_t>(bits);
  *high = static_cast<uint32_t>(bits >> 32);
}

class SpawnerTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    SetEnemyScriptHookForTesting(RunSpawnersOnly);
    g_stage.layer1_speed = 0.0;
  }
  // Places a spawner at field (x, y); returns its slot.
  int Place(int type, int variant, double x, double y, double pairs = 0.0) {
    uint32_t low = 0, high = 0;
    SplitDouble(pairs, &low, &high);
    EXPECT_EQ(SpawnEnemyWithArgs(x, y, type, variant, low, high, 0, 0), 0);
    for (const EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == type) return e.slot;
    return -1;
  }
  // Runs the pass until the spawner is gone or `frames` have passed;
  // returns the frame on which it went (-1: still there).
  int Run(int slot, int frames, bool free_children = true) {
    for (int f = 0; f < frames; ++f) {
      UpdateEnemies();
      for (EnemyObject& e : g_enemies) {
        if (e.in_use != 1 || e.slot == slot || e.serial < seen_) continue;
        children_.push_back({f, e.type, e.variant, e.x - 140.0, e.y, FirstArgument(e)});
        if (free_children) ClearEnemySlot(e);
      }
      seen_ = EnemySerialCounter;
      if (g_enemies[slot].in_use != 1) return f;
    }
    return -1;
  }
  std::vector<int> FramesOf(int variant) const {
    std::vector<int> out;
    for (const Spawned& s : children_)
      if (s.variant == variant) out.push_back(s.frame);
    return out;
  }
  static std::vector<int> Every(int step, int count, int from = 0) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) out.push_back(from + i * step);
    return out;
  }
  int seen_ = 0;
  std::vector<Spawned> children_;
};

struct Formation {
  int variant;
  int interval;
  int limit;
  bool removed;
  std::vector<Spawned> children;  // of one emission: type, variant, dy in y
};

class Spawner301Test : public SpawnerTest, public ::testing::WithParamInterface<Formation> {};

TEST_P(Spawner301Test, EmitsItsFormation) {
  const Formation& c = GetParam();
  int slot = Place(301, c.variant, -40.0, -300.0);
  seen_ = EnemySerialCounter;
  int gone = Run(slot, c.interval * (c.limit + 3));
  ASSERT_EQ(children_.size(), c.children.size() * c.limit);
  for (int k = 0; k < c.limit; ++k) {
    for (size_t i = 0; i < c.children.size(); ++i) {
      const Spawned& got = children_[k * c.children.size() + i];
      const Spawned& want = c.children[i];
      EXPECT_EQ(got.frame, k * c.interval) << "emission " << k;
      EXPECT_EQ(got.type, want.type);
      EXPECT_EQ(got.variant, want.variant);
      EXPECT_EQ(got.x, -40.0);
      EXPECT_EQ(got.y, -300.0 + want.y);
    }
  }
  // Removed at once after the last emission, or left to drift on.
  EXPECT_EQ(gone, c.removed ? (c.limit - 1) * c.interval : -1);
}

std::vector<Spawned> Sevens(int variant) { return {{0, 7, variant, 0, 0, 0}}; }

INSTANTIATE_TEST_SUITE_P(
    AllVariants, Spawner301Test,
    ::testing::Values(Formation{0, 70, 5, false, Sevens(0)}, Formation{1, 70, 6, false, Sevens(3)},
                      Formation{2, 70, 6, false, Sevens(4)}, Formation{3, 70, 8, false, Sevens(6)},
                      Formation{4, 70, 8, false, Sevens(7)}, Formation{5, 70, 8, false, Sevens(8)},
                      Formation{6, 70, 5, false, Sevens(11)},
                      Formation{7, 70, 5, false, Sevens(12)},
                      Formation{8, 75, 7, false, {{0, 7, 13, 0, 0, 0}, {0, 7, 14, 0, 60, 0}}},
                      Formation{9, 75, 7, false, Sevens(17)},
                      Formation{10, 75, 7, false, Sevens(18)},
                      Formation{11, 75, 7, false, Sevens(19)},
                      Formation{12, 75, 12, true,
                                {{0, 7, 22, 0, -140, 0}, {0, 7, 22, 0, -70, 0},
                                 {0, 7, 22, 0, 0, 0}}},
                      Formation{13, 120, 5, true, {{0, 18, 5, 0, 0, 0}}},
                      Formation{14, 70, 8, true, Sevens(23)}),
    [](const ::testing::TestParamInfo<Formation>& info) {
      return "Variant" + std::to_string(info.param.variant);
    });

TEST_F(SpawnerTest, DriftsWithTheGroundAndLeavesBelowTheScreen) {
  g_stage.layer1_speed = 2.0;
  const int score = GetPlayerScore();
  // Variant 0 sends its five craft, then rides on until its top passes 480;
  // an unknown variant sends nothing and goes the same way.
  for (int variant : {0, 15, -1}) {
    ResetAllEnemies();
    children_.clear();
    int slot = Place(301, variant, -40.0, -325.0);
    seen_ = EnemySerialCounter;
    int gone = Run(slot, 1000);
    // Top = y - 20 passes 480 once y > 500: 825 px at 2 a frame, the first
    // frame not moving yet.
    EXPECT_EQ(gone, 413) << variant;
    EXPECT_EQ(children_.size(), variant == 0 ? 5u : 0u) << variant;
  }
  EXPECT_EQ(GetPlayerScore(), score);
}

TEST_F(SpawnerTest, FullSlotRangeStillCountsTheEmission) {
  // Type 7 lives in slots 50-99: fill them.
  for (int i = 50; i <= 99; ++i)
    InitEnemySlot(0.0, -500.0, 9, 0, i, 0, 0, 0, 0, 0, 0, 0);
  int slot = Place(301, 12, -40.0, -300.0);
  seen_ = EnemySerialCounter;
  EXPECT_EQ(Run(slot, 2000), 11 * 75);
  EXPECT_TRUE(children_.empty());
}

TEST_F(SpawnerTest, DartPairsCountedByTheArgument) {
  struct Points {
    int variant;
    double x0, y0, x1, y1;
  };
  const Points points[] = {{0, -36, 40, -36, 100},
                           {1, 396, 20, 416, 80},
                           {2, 396, 100, 416, 160},
                           {3, -36, 100, -36, 160},
                           {4, 396, 30, 416, 90}};
  for (const Points& p : points) {
    ResetAllEnemies();
    children_.clear();
    int slot = Place(303, p.variant, 0.0, 200.0, 16.0);
    seen_ = EnemySerialCounter;
    // Removed on the frame of the 16th pair.
    EXPECT_EQ(Run(slot, 500), 90) << p.variant;
    ASSERT_EQ(children_.size(), 32u);
    for (int k = 0; k < 16; ++k) {
      const Spawned& a = children_[2 * k];
      const Spawned& b = children_[2 * k + 1];
      EXPECT_EQ(a.frame, 6 * k);
      EXPECT_EQ(b.frame, 6 * k);
      EXPECT_EQ(a.type, 21);
      EXPECT_EQ(a.variant, p.variant);
      EXPECT_EQ(b.variant, p.variant);
      EXPECT_EQ(a.x, p.x0);
      EXPECT_EQ(a.y, p.y0);
      EXPECT_EQ(b.x, p.x1);
      EXPECT_EQ(b.y, p.y1);
      EXPECT_EQ(a.delay, 20.0 - k);
      EXPECT_EQ(b.delay, 20.0 - k);
    }
  }
}

TEST_F(SpawnerTest, DartCountEdges) {
  // 32 pairs over 186 frames, the last with delay -11.
  int slot = Place(303, 0, 0.0, 200.0, 32.0);
  seen_ = EnemySerialCounter;
  EXPECT_EQ(Run(slot, 500), 186);
  ASSERT_EQ(children_.size(), 64u);
  EXPECT_EQ(children_.back().delay, -11.0);
  EXPECT_EQ(children_.back().frame, 186);

  // A count of 0 removes the spawner before it sends anything.
  ResetAllEnemies();
  children_.clear();
  slot = Place(303, 0, 0.0, 200.0, 0.0);
  seen_ = EnemySerialCounter;
  EXPECT_EQ(Run(slot, 10), 0);
  EXPECT_TRUE(children_.empty());

  // An unknown variant has no points of its own but still sends and ends.
  ResetAllEnemies();
  children_.clear();
  slot = Place(303, 9, 0.0, 200.0, 2.0);
  seen_ = EnemySerialCounter;
  EXPECT_EQ(Run(slot, 50), 6);
  EXPECT_EQ(children_.size(), 4u);
}

TEST_F(SpawnerTest, TwoColumnsOfType31) {
  const int score = GetPlayerScore();
  for (int variant : {0, 1}) {
    ResetAllEnemies();
    children_.clear();
    g_stage.layer1_speed = 0.25;
    int slot = Place(304, variant, 396.0, -530.0);
    seen_ = EnemySerialCounter;
    EXPECT_EQ(Run(slot, 1000), 750) << variant;
    const int first = variant == 0 ? 0 : 2;
    EXPECT_EQ(FramesOf(first), Every(50, 16));
    EXPECT_EQ(FramesOf(first + 1), Every(50, 11, 250));
    // The second column 48 px below the first, both riding the ground.
    for (size_t i = 0; i + 1 < children_.size(); ++i) {
      const Spawned& a = children_[i];
      const Spawned& b = children_[i + 1];
      if (a.variant != first || b.variant != first + 1) continue;
      EXPECT_EQ(b.frame, a.frame);
      EXPECT_EQ(b.y, a.y + 48.0);
      EXPECT_EQ(a.x, 396.0);
      EXPECT_EQ(a.y, -530.0 + 0.25 * a.frame);
    }
  }
  EXPECT_EQ(GetPlayerScore(), score);

  // Any other variant sends nothing; it goes once it has drifted below.
  ResetAllEnemies();
  children_.clear();
  g_stage.layer1_speed = 10.0;
  int slot = Place(304, 2, 396.0, 0.0);
  seen_ = EnemySerialCounter;
  EXPECT_GT(Run(slot, 200), 0);
  EXPECT_TRUE(children_.empty());
}

}  // namespace

namespace {

// The real pass end to end: a formation enters the field and its craft open
// fire once on it.
class SpawnerPassTest : public PlayTest {};

TEST_F(SpawnerPassTest, FormationOfType7EntersAndFires) {
  g_flags.StageNumber = 1;
  g_flags.DifficultyMode = 1;  // stored by each craft at its spawn
  g_player.core_x = 320.0;
  g_player.core_y = 460.0;
  ASSERT_EQ(SpawnEnemy(-40.0, 250.0, 301, 0), 0);
  int fired = 0;
  for (int f = 0; f < 400; ++f) {
    UpdateEnemies();
    for (const EnemyBullet& b : g_enemy_bullets) {
      if (b.in_use != 1) continue;
      EXPECT_EQ(b.type, 9);
      EXPECT_EQ(b.speed, 2.0);
      ++fired;
    }
    ResetAllEnemyBullets();
  }
  EXPECT_EQ(EnemySerialCounter, 1 + 5);  // the spawner and its five craft
  EXPECT_GE(fired, 5);
}

}  // namespace
