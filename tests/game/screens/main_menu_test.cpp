#include "screens/main_menu.h"

#include "menu_scene_fixture.h"
#include "screens/scenes.h"

// Whatever ends the menu, even the window closing, the choice is left behind.
TEST_F(MenuSceneTest, MainMenuLeavesItsChoiceOnEveryReturn) {
  g_flags.CurrentScene = kSceneMainMenu;
  g_flags.sel_flag = 1;
  g_flags.MainMenuChoice = 4;
  fake().pad_script = [](int pump) { return pump == 1 || pump == 2 ? kPadDown : 0u; };
  fake().quit_after_pumps = 5;
  RunMainMenuScene();
  EXPECT_EQ(g_flags.CurrentScene, kSceneMainMenu);
  EXPECT_EQ(g_flags.sel_flag, 0);
  EXPECT_EQ(g_flags.MainMenuChoice, 1);
  EXPECT_EQ(g_previous_scene, kSceneMainMenu);
  EXPECT_EQ(kesto_fake::CallsNamed("HaltMusic").size(), 1u);
}
