#include "screens/config.h"

#include "text_file_fixture.h"

namespace {

using ConfigFileTest = SavedFileTest;

// In file order: shot, bomb, full auto, pause, AUTO GUARD, SE, BGM, spare,
// BULLET COLOR, ENEMY SHOT SE, BEAT SE.
std::vector<int32_t> InFileOrder(const GameConfig& c) {
  return {c.shot_mask, c.bomb_mask,  c.full_auto_mask, c.pause_mask,    c.auto_guard, c.se_volume,
          c.bgm,       c.spare,      c.bullet_color,   c.enemy_shot_se, c.beat_se};
}

TEST_F(ConfigFileTest, AMissingFileGivesTheDefaultsAndWritesThem) {
  EXPECT_EQ(LoadConfig(), 0);
  EXPECT_EQ(InFileOrder(g_config), InFileOrder(DefaultConfig()));
  EXPECT_EQ(Get("file/config.dat"), "16 32 64 128 1 100 1 0 0 1 1 ");
}

TEST_F(ConfigFileTest, SavedValuesComeBackInTheFileOrder) {
  g_config = GameConfig{2048, 16, 16, 512, 0, 35, 0, 0, 1, -77, 4};
  ASSERT_EQ(SaveConfig(), 0);
  EXPECT_EQ(Get("file/config.dat"), "2048 16 16 512 0 35 0 -77 4 0 1 ");
  const GameConfig saved = g_config;
  g_config = GameConfig{};
  LoadConfig();
  EXPECT_EQ(InFileOrder(g_config), InFileOrder(saved));
}

TEST_F(ConfigFileTest, DamagedFilesFallBackFieldByField) {
  const std::vector<int32_t> fallbacks = {16, 32, 64, 128, 1, 100, 1, 0, 0, 0, 0};
  struct Case {
    const char* text;
    std::vector<int32_t> expected;
  } cases[] = {
      // Empty or cut short: never a button left unassigned.
      {"", fallbacks},
      {"256 32", {256, 32, 64, 128, 1, 100, 1, 0, 0, 0, 0}},
      // A letter: it and everything after it take the fallbacks.
      {"256 512 x 128 0 50 0 0 3 1 1 ", {256, 512, 64, 128, 1, 100, 1, 0, 0, 0, 0}},
      {"16 32 64 128 1 100 1 0 0 1 x", {16, 32, 64, 128, 1, 100, 1, 0, 0, 1, 0}},
      // Out of range: not one button bit, a switch of 2, volume 101, colour 5.
      {"48 8 4096 -16 2 101 7 9 5 -1 2 ", {16, 32, 64, 128, 1, 100, 1, 9, 0, 0, 0}},
      {"16 32 64 128 0 0 0 0 4 0 0 ", {16, 32, 64, 128, 0, 0, 0, 0, 4, 0, 0}},
      {"1024\r\n2048\r\n64\r\n128\r\n1\r\n100\r\n1\r\n0\r\n2\r\n1\r\n1\r\n", {1024, 2048, 64, 128, 1, 100, 1, 0, 2, 1, 1}},
  };
  for (const Case& c : cases) {
    Put("file/config.dat", c.text);
    g_config = GameConfig{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    LoadConfig();
    EXPECT_EQ(InFileOrder(g_config), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(Get("file/config.dat"), c.text);  // a damaged file is read, not rewritten
  }
}

TEST_F(ConfigFileTest, AFailedSaveReportsFailureAndKeepsTheOldFile) {
  Put("file/config.dat", "32 16 64 128 1 100 1 0 0 1 1 ");
  g_config = DefaultConfig();
  for (AtomicWriteFault fault : {AtomicWriteFault::kFailWrite, AtomicWriteFault::kCrashBeforeRename}) {
    SetAtomicWriteFaultForTesting(fault);
    EXPECT_EQ(SaveConfig(), -1);
    EXPECT_EQ(ResetConfig(), -1);
    LoadConfig();
    EXPECT_EQ(g_config.shot_mask, 32);
  }
}

}  // namespace
