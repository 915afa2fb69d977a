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

// The title plate widens by tenths and flattens by halves; both land exactly
// on the plate's own size and stay there.
TEST_F(MenuSceneTest, TitlePlateZoomLandsOnItsSize) {
  ModeSelectState m{};
  EnterModeSelect(m);
  int32_t plate = SheetRunCell(kSheetStart, 8, 0);
  std::vector<std::vector<double>> corners;
  for (int frame = 1; frame <= 14; ++frame) {
    fake().calls.clear();
    StepModeSelect(m);
    for (const auto& c : kesto_fake::CallsNamed("BlitGraphicToQuad"))
      if (c.iarg(8) == plate) corners.push_back({c.args.begin(), c.args.begin() + 8});
  }
  ASSERT_EQ(corners.size(), 13u);  // nothing while it has no width
  // Second frame: 36 wide, 264 high (factors 0.1 and 5.5).
  EXPECT_EQ(corners.front(), (std::vector<double>{302, -72, 338, -72, 338, 192, 302, 192}));
  const std::vector<double> full{140, 36, 500, 36, 500, 84, 140, 84};
  for (size_t i = 9; i < corners.size(); ++i) EXPECT_EQ(corners[i], full) << i;
}
