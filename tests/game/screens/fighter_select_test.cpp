#include "screens/fighter_select.h"

#include "menu_scene_fixture.h"
#include "screens/scenes.h"

TEST_F(MenuSceneTest, FighterSelectOffersFightersByClearMarksAndUnlock) {
  struct Row {
    const char* name;
    std::vector<std::pair<int, int>> marks;  // (mode, fighter) marked
    int unlock;
    int count;
  };
  const Row rows[] = {
      {"no marks", {}, 0, 2},
      {"fighter 0 in HELL", {{2, 0}}, 0, 3},
      {"fighter 1 only", {{0, 1}}, 0, 3},
      {"fighter 2 only", {{1, 2}}, 0, 2},
      {"fighter 3 only", {{1, 3}}, 0, 2},
      {"fighters 0 and 2", {{0, 0}, {3, 2}}, 0, 3},
      {"fighters 0, 1, 2 in different modes", {{0, 0}, {1, 1}, {3, 2}}, 0, 4},
      {"unlock code alone", {}, 1, 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    g_save_data = SaveData{};
    for (auto [mode, fighter] : row.marks) g_save_data.ClearMarkTable[mode][fighter] = 2;
    g_save_data.FighterUnlockFlag = row.unlock;
    EXPECT_EQ(CountOfferedFighters(), row.count);
  }
}

TEST_F(MenuSceneTest, FighterSelectCursorWrapsOverTheFightersOffered) {
  g_save_data.ClearMarkTable[0][0] = 1;  // three fighters
  FighterSelectState f{};
  EnterFighterSelect(f);
  f.phase = 2;
  f.cursor = 2;
  HoldPad(kPadDown);
  StepFighterSelect(f);
  StepFighterSelect(f);
  EXPECT_EQ(f.cursor, 0);
}

// The hidden fighter has no name plate, portrait sheet or marks of its own:
// it borrows fighter 3's plate and marks, and shows its own portrait.
TEST_F(MenuSceneTest, HiddenFighterShowsFighterThreesPlateAndMarks) {
  g_save_data.FighterUnlockFlag = 1;
  g_save_data.ClearMarkTable[1][3] = 2;
  g_save_data.ClearMarkTable[3][3] = 1;
  g_flags.CurrentScene = kSceneFighterSelect;
  FighterSelectState f{};
  EnterFighterSelect(f);
  f.phase = 2;
  f.cursor = 3;
  f.frames = 40;
  HoldPad(kPadBomb);
  StepFighterSelect(f);
  ASSERT_EQ(f.cursor, kHiddenFighter);
  EXPECT_EQ(SoundsPlayed(), (std::vector<int>{27}));

  fake().calls.clear();
  StepFighterSelect(f);  // the leaving frame, drawn with the hidden fighter
  EXPECT_EQ(g_flags.CurrentScene, kSceneGamePlay);
  using At = std::vector<std::pair<int, int>>;
  EXPECT_EQ(DrawsOf(SheetCell(kSheetCharF4, 0)), (At{{380, 420}}));
  EXPECT_EQ(DrawsOf(SheetRunCell(kSheetStart, 15, 1)), (At{{380, 336}}));  // mark 2, ORIGINAL
  EXPECT_EQ(DrawsOf(SheetRunCell(kSheetStart, 14, 3)), (At{{380, 376}}));  // mark 1, ACCEL
  EXPECT_TRUE(DrawsOf(SheetCell(kSheetCursor2, 0)).empty());  // no ring beside any icon
  int portraits = 0;
  for (const auto& c : kesto_fake::CallsNamed("BlitGraphicToQuad"))
    if (c.iarg(8) == SheetCell(kSheetCharB4_2, 0)) ++portraits;
  EXPECT_EQ(portraits, 1);
}

TEST_F(MenuSceneTest, FighterSelectRingFollowsTheCursor) {
  struct Row {
    int count;
    int cursor;
    std::pair<int, int> at;
  };
  const Row rows[] = {{2, 1, {204, 300}}, {3, 1, {236, 240}}, {3, 2, {196, 340}},
                      {4, 3, {236, 360}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.count * 10 + row.cursor);
    fake().calls.clear();
    FighterSelectState f{};
    f.phase = 1;
    f.count = row.count;
    f.cursor = row.cursor;
    StepFighterSelect(f);
    EXPECT_EQ(DrawsOf(SheetCell(kSheetCursor2, 0)), (std::vector<std::pair<int, int>>{row.at}));
  }
}
