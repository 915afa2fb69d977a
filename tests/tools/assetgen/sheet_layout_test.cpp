#include "shell/sheet_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

TEST(SheetLayout, EveryCellLiesInsideItsSheetAndTheSheetIsTheirBoundingBox) {
  for (const SheetLayout* sheet : AllSheets()) {
    SCOPED_TRACE(sheet->path);
    int right = 0, bottom = 0;
    for (int i = 0; i < CellCount(*sheet); ++i) {
      CellRect c = CellOfSheet(*sheet, i);
      ASSERT_GT(c.width, 0);
      ASSERT_GT(c.height, 0);
      // The last piece of the stage 1 map starts above its picture on purpose.
      if (sheet == &kSheetStage11 && i == 9) {
        EXPECT_EQ(c.y, -480);
        continue;
      }
      EXPECT_GE(c.x, 0) << "cell " << i;
      EXPECT_GE(c.y, 0) << "cell " << i;
      EXPECT_LE(c.x + c.width, sheet->width) << "cell " << i;
      EXPECT_LE(c.y + c.height, sheet->height) << "cell " << i;
      right = std::max(right, c.x + c.width);
      bottom = std::max(bottom, c.y + c.height);
    }
    EXPECT_EQ(right, sheet->width);
    EXPECT_EQ(bottom, sheet->height);
  }
}

TEST(SheetLayout, PathsAreUniqueAndEveryFileIsListed) {
  std::set<std::string> paths;
  for (const SheetLayout* sheet : AllSheets()) {
    EXPECT_TRUE(paths.insert(sheet->path).second) << sheet->path;
    EXPECT_EQ(std::string(sheet->path).rfind("bmp/", 0), 0u) << sheet->path;
    EXPECT_EQ(FindSheet(sheet->path), sheet);
  }
  EXPECT_EQ(paths.size(), 175u);
  EXPECT_EQ(FindSheet("bmp/nothing.dat"), nullptr);
}

TEST(SheetLayout, CellCountsAndSpotPositionsOfTheIrregularSheets) {
  struct Case {
    const SheetLayout* sheet;
    int cells;
    int probe;  // a cell index to check
    CellRect at;
  };
  const Case cases[] = {
      {&kSheetEtc1, 46, 24, {152, 24, 1, 16}},       // first boss-gauge column
      {&kSheetStart, 296, 130, {0, 0, 1, 48}},       // first stage-title column
      {&kSheetStart, 296, 286, {0, 256, 160, 32}},   // fourth mode name
      {&kSheetFont, 74, 36, {120, 16, 12, 16}},      // '!'
      {&kSheetFont, 74, 53, {144, 32, 12, 16}},      // style 1 '*'
      {&kSheetEb1, 92, 90, {128, 244, 32, 32}},      // table 13, cell 4
      {&kSheetMyBullet4, 20, 14, {96, 80, 32, 32}},  // last of the row of 4
      {&kSheetChar5, 58, 57, {288, 0, 48, 56}},      // HUD icon
      {&kSheetChar5, 58, 52, {0, 224, 48, 56}},      // level form
      {&kSheetEmy8, 120, 96, {0, 640, 80, 80}},      // first shadow
      {&kSheetEmy10, 72, 71, {280, 616, 56, 56}},    // last shadow heading
      {&kSheetWarning, 256, 130, {0, 130, 272, 1}},  // block 2, line 2
      {&kSheetExplo3, 60, 59, {704, 176, 64, 64}},
      {&kSheetEffect4, 17, 2, {0, 52, 24, 24}},      // sparks sit below the 32x32 cells
      {&kSheetEffect4, 17, 16, {64, 0, 32, 32}},
      {&kSheetStage11, 10, 1, {0, 3360, 360, 480}},  // the repeated bottom piece
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.sheet->path) + " cell " + std::to_string(c.probe));
    EXPECT_EQ(CellCount(*c.sheet), c.cells);
    CellRect r = CellOfSheet(*c.sheet, c.probe);
    EXPECT_EQ(r.x, c.at.x);
    EXPECT_EQ(r.y, c.at.y);
    EXPECT_EQ(r.width, c.at.width);
    EXPECT_EQ(r.height, c.at.height);
  }
  CellRect none = CellOfSheet(kSheetEtc1, 46);
  EXPECT_EQ(none.width, 0);
  EXPECT_EQ(CellOfSheet(kSheetEtc1, -1).width, 0);
}

TEST(SheetLayout, FontGlyphRunsNameOneCharacterPerCell) {
  int per_style[kFontStyleCount] = {};
  for (const FontGlyphRun& g : FontGlyphRuns()) {
    ASSERT_LT(g.run, static_cast<int>(kSheetFont.runs.size()));
    EXPECT_EQ(static_cast<int>(std::strlen(g.chars)), kSheetFont.runs[g.run].count) << g.chars;
    per_style[g.style] += kSheetFont.runs[g.run].count;
  }
  EXPECT_EQ(per_style[0], 26 + 10 + 7);
  EXPECT_EQ(per_style[1], 11);
  EXPECT_EQ(per_style[2], 10);
  EXPECT_EQ(per_style[3], 10);
}

}  // namespace
