// Plays stages 2 and 3 from the stage select through the game-play scene,
// with the real timelines and enemy scripts, up to the boss's WARNING: the
// player holds fire and sweeps the field and is kept alive by the debug
// invincibility switch. The bosses' own runs are elsewhere.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>

#include "play/enemies.h"
#include "shell/game_flags.h"
#include "stage_run_watch.h"

namespace {

using namespace stage_run;

struct StageCase {
  int stage;
  int boss_type;
  int warning_frame;    // of the stage's timeline
  std::set<int> types;  // the regular types the stage brings in
};

const StageCase kStages[] = {
    {2, 210, 6400, {11, 12, 13, 14, 15}},
    {3, 220, 6300, {16, 17, 18, 19, 20}},
};

// The regular types of stages 1 to 3, whose scripts these runs exercise.
constexpr int kLastStage3Type = 20;

// What the watch does not keep: per type, how many were shot down (removed
// while on the field) and the oldest regular enemy still alive at the end.
struct TypeWatch {
  std::map<int, int> shot_down;
  int oldest_alive = 0;
  int oldest_alive_type = -1;
};

void WatchTypes(HarnessScript& s, TypeWatch& w) {
  struct Seen {
    int type, first, on_field;
  };
  auto seen = std::make_shared<std::map<int, Seen>>();
  auto inner = s.on_frame;
  s.on_frame = [inner, seen, &w](int f) {
    if (inner) inner(f);
    std::set<int> alive;
    for (const EnemyObject& e : g_enemies) {
      if (e.in_use != 1) continue;
      alive.insert(e.serial);
      auto [it, fresh] = seen->try_emplace(e.serial, Seen{e.type, f, 0});
      it->second.on_field = e.screen_state == 1;
    }
    w.oldest_alive = 0;
    for (auto it = seen->begin(); it != seen->end();) {
      const Seen& g = it->second;
      if (alive.count(it->first) != 0) {
        if (g.type <= kLastStage3Type && f - g.first > w.oldest_alive) {
          w.oldest_alive = f - g.first;
          w.oldest_alive_type = g.type;
        }
        ++it;
        continue;
      }
      // Leaving the field goes through the gone state; a removal from the
      // field is a kill (or the end of a dying sequence).
      if (g.on_field == 1) ++w.shot_down[g.type];
      it = seen->erase(it);
    }
  };
}

class Stage23EnemyRunTest : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(Stage23EnemyRunTest, TheStagesEnemiesComeFireAndFallUpToTheWarning) {
  const StageCase& st = kStages[std::get<0>(GetParam())];
  const int mode = std::get<1>(GetParam());
  // The stage-select start takes a few frames before the stage's frame 0.
  HarnessScript s = SweepScript(mode, st.warning_frame + 60, st.stage);
  Milestones m;
  Watch(s, m, st.boss_type, st.stage + 1);
  TypeWatch w;
  WatchTypes(s, w);
  const HarnessResult r = RunHarness(s);

  ASSERT_GT(m.warning_frame, st.warning_frame - 10);
  EXPECT_LT(m.warning_frame, st.warning_frame + 60);
  EXPECT_EQ(g_flags.StageNumber, st.stage);
  for (int type : st.types) EXPECT_EQ(m.types.count(type), 1u) << "type " << type;
  EXPECT_GT(m.serials.size(), 250u);
  EXPECT_GT(m.destroyed, 20);
  EXPECT_GT(m.score_at_warning, 0);
  // The sweep meets every one of them, the large ones through their dying
  // sequences.
  for (int type : st.types) EXPECT_GT(w.shot_down[type], 0) << "type " << type;
  EXPECT_EQ(r.misses, 0);
  // Every regular enemy leaves or dies in good time, also the ones alive now.
  EXPECT_LT(m.longest_life, 1500) << "type " << m.longest_life_type;
  EXPECT_LT(w.oldest_alive, 1500) << "type " << w.oldest_alive_type;
}

INSTANTIATE_TEST_SUITE_P(EachStageAndDifficulty, Stage23EnemyRunTest,
                         ::testing::Combine(::testing::Values(0, 1), ::testing::Values(0, 1, 2, 3)),
                         [](const auto& info) {
                           return "Stage" + std::to_string(kStages[std::get<0>(info.param)].stage) +
                                  ModeName(std::get<1>(info.param));
                         });

}  // namespace
