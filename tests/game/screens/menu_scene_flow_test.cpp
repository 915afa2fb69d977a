// Whole menu flows through the scene loop, one pad word per frame, from the
// title into game play.
#include <map>

#include "menu_scene_fixture.h"
#include "play/player.h"
#include "screens/scenes.h"
#include "shell/program.h"

namespace {

// Pad bits held on given frames (1-based pumps).
std::function<uint32_t(int)> Script(std::map<int, uint32_t> frames) {
  return [frames](int pump) {
    auto it = frames.find(pump);
    return it == frames.end() ? 0u : it->second;
  };
}

}  // namespace

TEST_F(MenuSceneTest, MenusLeadFromTheTitleIntoPlay) {
  struct Row {
    const char* name;
    std::map<int, uint32_t> pad;
    int quit_after;
    std::vector<int> scenes;
    int mode;
    int stage_number;  // as game play finds it
    int sel_flag;
    int fighter;
  };
  const Row rows[] = {
      {"arcade on ORIGINAL",
       {{40, kPadShot}, {100, kPadShot}, {180, kPadShot}, {260, kPadShot}},
       300,
       {kSceneMainMenu, kSceneModeSelect, kSceneFighterSelect, kSceneGamePlay},
       1, 0, 0, 0},  // arcade play sets its stage itself
      {"stage 3 of HELL, second fighter",
       {{40, kPadShot}, {50, kPadDown}, {51, kPadDown}, {100, kPadShot}, {120, kPadDown},
        {121, kPadDown}, {180, kPadShot}, {190, kPadDown}, {191, kPadDown}, {200, kPadDown},
        {201, kPadDown}, {240, kPadShot}, {300, kPadDown}, {301, kPadDown}, {320, kPadShot}},
       360,
       {kSceneMainMenu, kSceneModeSelect, kSceneStageSelect, kSceneFighterSelect, kSceneGamePlay},
       2, 3, 1, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetUp();
    g_save_data.StageReachedTable[2] = 3;
    g_flags.CurrentScene = kSceneBoot;
    fake().pad_script = Script(row.pad);
    fake().quit_after_pumps = row.quit_after;
    std::vector<int> visited;
    // Stops where game play would begin: the scene loop's next pass runs it.
    while (fake().pumps < row.quit_after && g_flags.CurrentScene != kSceneGamePlay) {
      RunCurrentScene();
      visited.push_back(g_flags.CurrentScene);
    }
    EXPECT_EQ(visited, row.scenes);
    EXPECT_EQ(g_flags.DifficultyMode, row.mode);
    EXPECT_EQ(g_flags.StageNumber, row.stage_number);
    EXPECT_EQ(g_flags.sel_flag, row.sel_flag);
    EXPECT_EQ(GetPlayerFighter(), row.fighter);
    TearDown();
  }
}
