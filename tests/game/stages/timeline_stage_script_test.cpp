// The timelines as the stage script runs them, into the real enemy pool.
#include "game/play/play_fixture.h"
#include "stages/timeline.h"

namespace {

class TimelineStageScriptTest : public PlayTest {
 protected:
  std::vector<int> TypesInPool() {
    std::vector<int> types;
    for (const EnemyObject& e : g_enemies) {
      if (e.in_use == 1) types.push_back(e.type);
    }
    std::sort(types.begin(), types.end());
    return types;
  }
};

// Boss practice of stage 2 enters at its start frame: the stage script then
// speeds the scroll up from 6600 (mode 3) and places the boss, and no regular enemy.
TEST_F(TimelineStageScriptTest, BossPracticeOfStageTwoPlacesOnlyTheBoss) {
  g_flags.StageNumber = 17;
  SetStageFrame(6340);
  while (GetStageFrame() <= 6600) RunStageScript();
  EXPECT_EQ(g_stage.scroll_mode, 3);
  while (GetStageFrame() <= 6800) RunStageScript();
  EXPECT_EQ(TypesInPool(), std::vector<int>{210});
}

// A paused stage script neither advances the frame nor repeats its events.
TEST_F(TimelineStageScriptTest, PausedFramesDoNotRepeatTheFramesSpawns) {
  g_flags.StageNumber = 1;
  SetStageFrame(300);
  g_flags.GamePaused = 1;
  for (int i = 0; i < 5; ++i) RunStageScript();
  EXPECT_TRUE(TypesInPool().empty());
  g_flags.GamePaused = 0;
  RunStageScript();
  RunStageScript();
  EXPECT_EQ(GetStageFrame(), 302);
  EXPECT_EQ(TypesInPool(), (std::vector<int>{0, 0, 1}));
}

}  // namespace
