// Plays stages 4 and 5 from their first frame to the boss's WARNING with the
// real timelines and enemy scripts, through the game-play scene, on every
// difficulty: the player holds fire, sweeps the field and is kept alive by
// the debug invincibility switch.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>

#include "play/enemies.h"
#include "stage_run_watch.h"

namespace {

using namespace stage_run;

struct StageCase {
  int stage;
  int warning;  // the timeline's WARNING frame
  std::set<int> types;  // the regular types of the stage, spawners' children included
};

const StageCase kStages[] = {
    {4, 8960, {21, 22, 23, 24, 25, 26, 27, 35}},
    {5, 11160, {21, 28, 29, 30, 31, 34, 36, 37}},
};

// The oldest any enemy record has grown, alive or gone, mid-bosses, bosses
// and their parts (100-299) aside: catches one that never leaves as well.
struct AgeWatch {
  std::map<int, std::pair<int, int>> first_seen;  // serial -> (frame, type)
  int oldest = 0;
  int oldest_type = -1;
};

void WatchAges(HarnessScript& s, AgeWatch& w) {
  auto previous = s.on_frame;
  s.on_frame = [previous, &w](int f) {
    if (previous) previous(f);
    for (const EnemyObject& e : g_enemies) {
      if (e.in_use != 1 || (e.type >= 100 && e.type < 300)) continue;
      auto [it, fresh] = w.first_seen.try_emplace(e.serial, f, e.type);
      if (it->second.second != e.type) it->second = {f, e.type};  // a reused serial
      if (f - it->second.first > w.oldest) {
        w.oldest = f - it->second.first;
        w.oldest_type = e.type;
      }
    }
  };
}

class Stage45EnemiesRunTest : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(Stage45EnemiesRunTest, PlaysFromTheFirstFrameToTheWarning) {
  const StageCase& c = kStages[std::get<0>(GetParam())];
  const int mode = std::get<1>(GetParam());
  HarnessScript s = SweepScript(mode, c.warning + 30, c.stage);
  Milestones m;
  Watch(s, m, -1, -1);  // no boss and no hand-over before the WARNING
  AgeWatch ages;
  WatchAges(s, ages);
  const HarnessResult r = RunHarness(s);

  ASSERT_GT(m.warning_frame, c.warning - 100) << "no WARNING";
  for (int type : c.types) EXPECT_EQ(m.types.count(type), 1u) << "type " << type << " never came";
  EXPECT_GT(m.destroyed, 40);
  EXPECT_GT(m.score_at_warning, 100000);
  EXPECT_EQ(r.misses, 0);
  EXPECT_LT(m.longest_life, 1500) << "type " << m.longest_life_type;
  EXPECT_LT(ages.oldest, 1500) << "type " << ages.oldest_type;
}

INSTANTIATE_TEST_SUITE_P(
    EachStageAndDifficulty, Stage45EnemiesRunTest,
    ::testing::Combine(::testing::Values(0, 1), ::testing::Values(0, 1, 2, 3)),
    [](const auto& info) {
      return "Stage" + std::to_string(kStages[std::get<0>(info.param)].stage) +
             ModeName(std::get<1>(info.param));
    });

}  // namespace
