#include "screens/mode_select.h"

#include "menu_scene_fixture.h"
#include "screens/scenes.h"

TEST_F(MenuSceneTest, ModeSelectStartsOnOriginalAndWrapsFromAccelToHeaven) {
  LoadBgmTable();
  ModeSelectState m{};
  EnterModeSelect(m);
  EXPECT_EQ(m.cursor, 1);
  EXPECT_EQ(kesto_fake::CallsNamed("StartMusicFile").size(), 1u);
  for (int frame = 0; frame < 13; ++frame) StepModeSelect(m);
  ASSERT_EQ(m.phase, 2);
  EXPECT_EQ(m.slide, 0);

  m.cursor = 3;
  HoldPad(kPadDown);
  StepModeSelect(m);
  StepModeSelect(m);
  EXPECT_EQ(m.cursor, 0);
}

// ACCEL has no name picture: only its description shows the choice.
TEST_F(MenuSceneTest, ModeSelectBarsMarkEveryModeButAccel) {
  int32_t bar = SheetCell(kSheetCursor1, 0);
  for (int cursor = 0; cursor < 4; ++cursor) {
    SCOPED_TRACE(cursor);
    fake().calls.clear();
    ModeSelectState m{};
    m.phase = 2;
    m.cursor = cursor;
    StepModeSelect(m);
    auto bars = DrawsOf(bar);
    if (cursor == 3) {
      EXPECT_TRUE(bars.empty());
    } else {
      EXPECT_EQ(bars, (std::vector<std::pair<int, int>>{{320, 112 + 56 * cursor},
                                                        {320, 128 + 56 * cursor}}));
    }
    EXPECT_EQ(DrawsOf(SheetCell(kSheetEtc4, cursor)),
              (std::vector<std::pair<int, int>>{{320, 340}}));
  }
}
