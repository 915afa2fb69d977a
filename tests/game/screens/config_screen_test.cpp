#include "screens/config_screen.h"

#include <sstream>

#include "menu_scene_fixture.h"
#include "screens/scenes.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

class ConfigScreenTest : public MenuSceneTest {
 protected:
  void SetUp() override {
    MenuSceneTest::SetUp();
    g_flags.CurrentScene = kSceneConfig;
    EnterConfig(config_);
  }
  void StepOn(int item, int frames) {
    for (int i = 0; i < frames; ++i) {
      config_.cursor = item;
      StepConfig(config_);
    }
  }
  ConfigSceneState config_{};
};

// Values read from a hand-edited file may lie outside every label table.
TEST_F(ConfigScreenTest, ValuesWithoutALabelShowAQuestionMark) {
  EXPECT_STREQ(ButtonLabel(16), "BUTTON 0");
  EXPECT_STREQ(ButtonLabel(2048), "BUTTON 7");
  EXPECT_STREQ(SwitchLabel(0), "OFF");
  EXPECT_STREQ(SwitchLabel(1), "ON");
  EXPECT_STREQ(BulletColorLabel(0), "PINK");
  EXPECT_STREQ(BulletColorLabel(4), "GREEN");
  for (int32_t mask : {0, 8, 48, 4096, -1, INT32_MIN}) EXPECT_STREQ(ButtonLabel(mask), "?") << mask;
  for (int32_t v : {2, -1, INT32_MAX}) EXPECT_STREQ(SwitchLabel(v), "?") << v;
  for (int32_t v : {5, -1, INT32_MIN}) EXPECT_STREQ(BulletColorLabel(v), "?") << v;

  g_config = GameConfig{0, 3, 4096, -16, 7, 1000, -1, 2, 9, 0, 31};
  DrawConfigItems();
  int marks = 0;
  for (const auto& c : kesto_fake::CallsNamed("BlitGraphicAt"))
    if (c.iarg(2) == GlyphCell(0, '?')) ++marks;
  EXPECT_EQ(marks, 9);  // four buttons, four switches, the colour
}

TEST_F(ConfigScreenTest, AnyButtonDownAssignsTheLowestToTheItem) {
  struct Row {
    int item;
    uint32_t pad;
    int32_t GameConfig::*field;
    int32_t expected;
  };
  const Row rows[] = {
      {0, kPadBomb, &GameConfig::shot_mask, 32},  // shot and bomb may share a button
      {1, 0x240, &GameConfig::bomb_mask, 64},     // BUTTON 2 and 5: the lower
      {2, 2048, &GameConfig::full_auto_mask, 2048},
      {3, kPadUp | kPadLeft, &GameConfig::pause_mask, 128},  // directions assign nothing
      {3, 4096, &GameConfig::pause_mask, 128},               // beyond BUTTON 7
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.item);
    LoadConfig();
    HoldPad(row.pad);
    StepOn(row.item, 1);
    EXPECT_EQ(g_config.*row.field, row.expected);
  }
}

TEST_F(ConfigScreenTest, ResetRankingNeedsAHundredFramesOfHeldShot) {
  std::filesystem::remove_all("file");
  HoldPad(kPadShot);
  StepOn(kConfigItemResetRanking, 50);
  EXPECT_EQ(g_config_screen.hold_frames, 49);  // the press frame counts 0
  HoldPad(0);
  StepOn(kConfigItemResetRanking, 1);
  EXPECT_EQ(g_config_screen.hold_frames, 0);  // released: starts again

  HoldPad(kPadShot);
  StepOn(kConfigItemResetRanking, 100);
  EXPECT_EQ(g_config_screen.hold_frames, 99);
  EXPECT_FALSE(std::filesystem::exists("file/score.dat"));
  StepOn(kConfigItemResetRanking, 1);
  EXPECT_TRUE(std::filesystem::exists("file/score.dat"));
  EXPECT_EQ(SoundsPlayed(), (std::vector<int>{1}));
  EXPECT_EQ(g_config_screen.hold_frames, 0);
  EXPECT_EQ(g_config_screen.ranking_ok_frames, 59);
  // Locked for 60 frames: the count does not start again at once.
  StepOn(kConfigItemResetRanking, 5);
  EXPECT_EQ(g_config_screen.hold_frames, 0);

  StepOn(kConfigItemResetConfig, 1);
  EXPECT_EQ(g_config_screen.hold_frames, 0);  // kept only on its own item
}

TEST_F(ConfigScreenTest, ResetConfigRestoresDefaultsOncePerLock) {
  g_config.se_volume = 5;
  HoldPad(kPadShot);
  StepOn(kConfigItemResetConfig, 1);  // a press, not yet held
  EXPECT_EQ(g_config.se_volume, 5);
  StepOn(kConfigItemResetConfig, 1);
  EXPECT_EQ(g_config.se_volume, 100);
  EXPECT_EQ(ReadAll("file/config.dat"), "16 32 64 128 1 100 1 0 0 1 1 ");
  EXPECT_EQ(g_config_screen.config_ok_frames, 59);

  g_config.se_volume = 5;
  StepOn(kConfigItemResetConfig, 29);
  EXPECT_EQ(g_config.se_volume, 5);  // locked
  StepOn(kConfigItemResetConfig, 1);
  EXPECT_EQ(g_config.se_volume, 100);
}

// Space (back to the title) keeps the changes in memory but writes nothing.
TEST_F(ConfigScreenTest, LeavingBySpaceDoesNotWriteTheFile) {
  std::string before = ReadAll("file/config.dat");
  g_config.se_volume = 42;
  fake().keys_held = {57};
  fake().quit_after_pumps = 10;
  RunConfigScene();
  EXPECT_EQ(g_flags.CurrentScene, kSceneBoot);
  EXPECT_EQ(g_config.se_volume, 42);
  EXPECT_EQ(ReadAll("file/config.dat"), before);
  EXPECT_EQ(g_config_screen.lock_frames, 0);
}

TEST_F(ConfigScreenTest, OptionsStepWithLeftAndRight) {
  struct Row {
    int item;
    int32_t GameConfig::*field;
    int32_t from;
    uint32_t pad;
    int32_t to;
  };
  const Row rows[] = {
      {4, &GameConfig::auto_guard, 1, kPadRight, 0},       // wraps
      {5, &GameConfig::se_volume, 100, kPadRight, 100},    // stops
      {5, &GameConfig::se_volume, 0, kPadLeft, 0},
      {7, &GameConfig::bullet_color, 4, kPadRight, 0},
      {7, &GameConfig::bullet_color, 0, kPadLeft, 4},
      {9, &GameConfig::beat_se, 0, kPadLeft, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.item);
    g_menu_repeat = MenuRepeatDelay{};
    g_input = InputState{};
    g_config.*row.field = row.from;
    HoldPad(row.pad);
    StepOn(row.item, 2);  // the first frame of a press does not step
    EXPECT_EQ(g_config.*row.field, row.to);
  }
}

TEST_F(ConfigScreenTest, MusicSwitchedOffStopsAtOnce) {
  fake().music_running = true;
  g_config.bgm = 1;
  DrawConfigItems();
  EXPECT_TRUE(kesto_fake::CallsNamed("HaltMusic").empty());
  g_config.bgm = 0;
  DrawConfigItems();
  EXPECT_EQ(kesto_fake::CallsNamed("HaltMusic").size(), 1u);
  g_config.bgm = 1;
  DrawConfigItems();
  EXPECT_TRUE(kesto_fake::CallsNamed("StartMusicFile").empty());
}
