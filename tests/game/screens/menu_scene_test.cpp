// The shot guard of every menu screen and the scene each choice leads to.
#include <functional>

#include "menu_scene_fixture.h"
#include "play/player.h"
#include "screens/config_screen.h"
#include "screens/fighter_select.h"
#include "screens/main_menu.h"
#include "screens/mode_select.h"
#include "screens/scenes.h"
#include "screens/stage_select.h"
#include "screens/title.h"

namespace {

// A press held for one frame: pump `frame` (1-based from the scene's entry).
std::function<uint32_t(int)> PressShotOn(int frame, uint32_t lead_bits) {
  return [frame, lead_bits](int pump) {
    uint32_t bits = pump <= 2 ? lead_bits : 0u;
    return pump == frame ? bits | kPadShot : bits;
  };
}

}  // namespace

// Each screen runs from its entry with one shot press; a press on the frame
// before the first accepted one does nothing.
TEST_F(MenuSceneTest, ShotPressesAreIgnoredUntilTheGuardHasPassed) {
  struct Row {
    const char* name;
    int scene;
    int (*run)();
    uint32_t lead_bits;  // held on the first two frames
    int first_frame;     // first frame whose press is accepted
    int leaves_on;       // frame on which the scene changes
    int next_scene;
  };
  const Row rows[] = {
      {"title", kSceneTitle, RunTitleScene, 0, 30, 30, kSceneMainMenu},
      {"main menu: acts the frame after", kSceneMainMenu, RunMainMenuScene, 0, 31, 32,
       kSceneModeSelect},
      {"mode select: after 13 intro frames", kSceneModeSelect, RunModeSelectScene, 0, 44, 44,
       kSceneFighterSelect},
      {"stage select: counter tested before it counts", kSceneStageSelect, RunStageSelectScene, 0,
       32, 32, kSceneFighterSelect},
      {"fighter select: after 20 intro frames", kSceneFighterSelect, RunFighterSelectScene, 0, 51,
       52, kSceneGamePlay},
      {"config RETURN (up wraps onto it)", kSceneConfig, RunConfigScene, kPadUp, 31, 31,
       kSceneMainMenu},
  };
  for (const Row& row : rows) {
    for (int press : {row.first_frame - 1, row.first_frame}) {
      SCOPED_TRACE(std::string(row.name) + ", press on frame " + std::to_string(press));
      SetUp();
      g_flags.CurrentScene = row.scene;
      g_flags.DifficultyMode = 1;
      g_save_data.StageReachedTable[1] = 1;
      fake().pad_script = PressShotOn(press, row.lead_bits);
      fake().quit_after_pumps = press + 5;
      row.run();
      if (press < row.first_frame) {
        EXPECT_EQ(g_flags.CurrentScene, row.scene);
        EXPECT_EQ(fake().pumps, press + 5);
      } else {
        EXPECT_EQ(g_flags.CurrentScene, row.next_scene);
        EXPECT_EQ(fake().pumps, row.leaves_on);
      }
      TearDown();
    }
  }
}

// A shot still held when a screen begins is no press, however long the
// screen waits.
TEST_F(MenuSceneTest, AShotHeldFromTheLastScreenIsNoPress) {
  const std::pair<int, int (*)()> scenes[] = {{kSceneTitle, RunTitleScene},
                                              {kSceneMainMenu, RunMainMenuScene},
                                              {kSceneModeSelect, RunModeSelectScene},
                                              {kSceneStageSelect, RunStageSelectScene},
                                              {kSceneFighterSelect, RunFighterSelectScene}};
  for (const auto& [scene, run] : scenes) {
    SCOPED_TRACE(scene);
    SetUp();
    g_flags.CurrentScene = scene;
    g_flags.DifficultyMode = 1;
    g_save_data.StageReachedTable[1] = 1;
    g_input.shot = 2;
    HoldPad(kPadShot);
    fake().quit_after_pumps = 100;
    run();
    EXPECT_EQ(g_flags.CurrentScene, scene);
    TearDown();
  }
}

// One frame of a screen from a given state and input: the scene and flags after.
TEST_F(MenuSceneTest, EachChoiceLeadsToItsScene) {
  struct Row {
    const char* name;
    std::function<void()> step;  // sets the state, holds the input, runs one frame
    int scene;
    std::vector<int> sounds;
    std::function<void()> check;
  };
  auto title = [](int blink) {
    return [blink] {
      g_flags.CurrentScene = kSceneTitle;
      TitleState t{10, blink};
      StepTitle(t);
    };
  };
  auto menu = [](int cursor, int chosen) {
    return [cursor, chosen] {
      g_flags.CurrentScene = kSceneMainMenu;
      g_flags.RankingAfterGame = 1;
      MainMenuState m{cursor, 30, chosen};
      StepMainMenu(m);
      if (g_flags.CurrentScene != kSceneMainMenu) LeaveMainMenu(m);
    };
  };
  auto mode = [](int cursor, int main_choice, int phase) {
    return [cursor, main_choice, phase] {
      g_flags.CurrentScene = kSceneModeSelect;
      g_flags.MainMenuChoice = main_choice;
      ModeSelectState m{};
      EnterModeSelect(m);
      m.phase = phase;
      m.cursor = cursor;
      m.frames = 30;
      StepModeSelect(m);
    };
  };
  auto stage = [](int mode_, int reached, int unlock, int cursor) {
    return [=] {
      g_flags.CurrentScene = kSceneStageSelect;
      g_flags.DifficultyMode = mode_;
      g_flags.sel_flag = 0;
      g_flags.StageNumber = 0;
      g_save_data.StageReachedTable[mode_] = reached;
      g_save_data.StageUnlockFlag = unlock;
      StageSelectState s{};
      EnterStageSelect(s);
      s.cursor = cursor;
      s.frames = 31;
      StepStageSelect(s);
    };
  };
  auto fighter = [](int cursor, int phase) {
    return [=] {
      g_flags.CurrentScene = kSceneFighterSelect;
      g_save_data.FighterUnlockFlag = 1;
      FighterSelectState f{};
      EnterFighterSelect(f);
      f.phase = phase;
      f.cursor = cursor;
      f.frames = 30;
      StepFighterSelect(f);
      if (f.phase == 3) StepFighterSelect(f);  // the leaving frame
    };
  };
  auto config = [](int cursor) {
    return [cursor] {
      g_flags.CurrentScene = kSceneConfig;
      ConfigSceneState c{};
      EnterConfig(c);
      c.cursor = cursor;
      c.frames = 30;
      StepConfig(c);
    };
  };
  auto flags_are = [](int sel_flag, int stage_number) {
    return [=] {
      EXPECT_EQ(g_flags.sel_flag, sel_flag);
      EXPECT_EQ(g_flags.StageNumber, stage_number);
    };
  };
  auto nothing = [] {};

  const Row rows[] = {
      {"title: shot on frame 30", title(29), kSceneMainMenu, {2}, nothing},
      {"title: shot on frame 29", title(28), kSceneTitle, {}, nothing},
      {"menu: shot chooses, acts next frame", menu(3, 0), kSceneMainMenu, {1}, nothing},
      {"menu: EXIT chosen without a sound", menu(5, 0), kSceneMainMenu, {}, nothing},
      {"menu: ARCADE", menu(0, 1), kSceneModeSelect, {},
       [] {
         EXPECT_EQ(g_flags.MainMenuChoice, 0);
         EXPECT_EQ(g_previous_scene, kSceneMainMenu);
       }},
      {"menu: STAGE SELECT", menu(1, 1), kSceneModeSelect, {},
       [] { EXPECT_EQ(g_flags.MainMenuChoice, 1); }},
      {"menu: RANKING from the menu", menu(2, 1), kSceneRanking, {},
       [] {
         EXPECT_EQ(g_flags.RankingAfterGame, 0);
         EXPECT_EQ(g_flags.MainMenuChoice, 2);
       }},
      {"menu: REPLAY", menu(3, 1), kSceneReplayList, {}, nothing},
      {"menu: CONFIG", menu(4, 1), kSceneConfig, {}, nothing},
      {"mode: arcade HELL", mode(2, 0, 2), kSceneFighterSelect, {1},
       [] { EXPECT_EQ(g_flags.DifficultyMode, 2); }},
      {"mode: stage-select ACCEL", mode(3, 1, 2), kSceneStageSelect, {1},
       [] {
         EXPECT_EQ(g_flags.DifficultyMode, 3);
         EXPECT_EQ(g_flags.MainMenuChoice, 0);
       }},
      {"mode: shot during the intro", mode(1, 0, 1), kSceneModeSelect, {}, nothing},
      {"stage: stage 1", stage(1, 1, 0, 0), kSceneFighterSelect, {1}, flags_are(1, 1)},
      {"stage: stage 2 not reached", stage(1, 1, 0, 1), kSceneStageSelect, {}, flags_are(0, 0)},
      {"stage: boss 3 reached", stage(0, 3, 0, 7), kSceneFighterSelect, {1}, flags_are(1, 18)},
      {"stage: boss 4 not reached", stage(0, 3, 0, 8), kSceneStageSelect, {}, flags_are(0, 0)},
      {"stage: RETURN", stage(1, 1, 0, 10), kSceneMainMenu, {1}, flags_are(0, 1)},
      {"stage: extra stage in HELL", stage(2, 1, 1, 10), kSceneFighterSelect, {1},
       flags_are(1, 21)},
      {"stage: RETURN after the extra stage", stage(2, 1, 1, 11), kSceneMainMenu, {1},
       flags_are(0, 1)},
      {"stage: unlocked stage 5 boss", stage(3, 1, 1, 9), kSceneFighterSelect, {1},
       flags_are(1, 20)},
      {"fighter: shot on fighter 2", fighter(1, 2), kSceneGamePlay, {1},
       [] {
         EXPECT_EQ(GetPlayerFighter(), 1);
         EXPECT_EQ(GetPlayerVariant(), 0);
       }},
      {"fighter: bomb on fighter 4 picks the hidden one", fighter(3, 2), kSceneGamePlay, {27},
       [] {
         EXPECT_EQ(GetPlayerFighter(), 4);
         EXPECT_EQ(GetPlayerVariant(), 0);
       }},
      {"fighter: intro ignores shot", fighter(0, 1), kSceneFighterSelect, {}, nothing},
      {"config: RETURN writes the file", config(12), kSceneMainMenu, {1},
       [] { EXPECT_TRUE(std::filesystem::exists("file/config.dat")); }},
      {"config: shot on an option stays", config(5), kSceneConfig, {}, nothing},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetUp();
    std::filesystem::remove_all("file");
    HoldPad(std::string(row.name).find("bomb") != std::string::npos ? kPadBomb : kPadShot);
    row.step();
    EXPECT_EQ(g_flags.CurrentScene, row.scene);
    EXPECT_EQ(SoundsPlayed(), row.sounds);
    row.check();
    TearDown();
  }
}

TEST_F(MenuSceneTest, ExitEndsTheProcessWithCodeOne) {
  MainMenuState m{kMainMenuExit, 0, 1};
  EXPECT_EXIT(StepMainMenu(m), ::testing::ExitedWithCode(1), "");
}
