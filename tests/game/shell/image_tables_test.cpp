#include <map>

#include "shell/draw.h"
#include "shell_fixture.h"

class ImageTablesTest : public ShellTest {
 protected:
  const kesto_fake::Graphic& G(int handle) { return fake().graphics.at(static_cast<size_t>(handle)); }
  // Paths in the order they were loaded.
  std::vector<std::string> LoadedPaths() {
    std::vector<std::string> out;
    for (const auto& c : kesto_fake::CallsNamed("LoadImageFileToGraphic")) out.push_back(c.text);
    return out;
  }
};

// Each file is loaded once and cut exactly as the shared layout table says,
// in cell order; cells above their picture are not cut at all.
TEST_F(ImageTablesTest, BootCutsEverySheetFromTheLayoutTable) {
  LoadAllImages();
  std::map<int, std::vector<CellRect>> cuts;  // parent -> requested rectangles
  std::map<std::string, int> parents;
  for (const auto& c : fake().calls) {
    if (c.name == "LoadImageFileToGraphic") {
      EXPECT_EQ(parents.count(c.text), 0u) << c.text << " loaded twice";
      parents[c.text] = c.result;
    } else if (c.name == "MakeSubGraphic") {
      cuts[c.iarg(4)].push_back({c.iarg(0), c.iarg(1), c.iarg(2), c.iarg(3)});
    }
  }
  EXPECT_EQ(parents.size(), AllSheets().size());
  for (const SheetLayout* sheet : AllSheets()) {
    ASSERT_EQ(parents.count(sheet->path), 1u) << sheet->path;
    std::vector<CellRect> expected;
    for (int i = 0; i < CellCount(*sheet); ++i) {
      CellRect r = CellOfSheet(*sheet, i);
      if (r.x >= 0 && r.y >= 0) expected.push_back(r);
    }
    const auto& got = cuts[parents[sheet->path]];
    ASSERT_EQ(got.size(), expected.size()) << sheet->path;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].x, expected[i].x) << sheet->path << " cell " << i;
      EXPECT_EQ(got[i].y, expected[i].y) << sheet->path << " cell " << i;
      EXPECT_EQ(got[i].width, expected[i].width) << sheet->path << " cell " << i;
      EXPECT_EQ(got[i].height, expected[i].height) << sheet->path << " cell " << i;
    }
  }
  EXPECT_EQ(LoadedGraphicCount(), kesto_fake::LiveGraphicCount());
}

TEST_F(ImageTablesTest, LoadersRunInBootOrder) {
  LoadAllImages();
  auto paths = LoadedPaths();
  auto at = [&](const char* p) {
    return std::find(paths.begin(), paths.end(), p) - paths.begin();
  };
  const char* firsts[] = {"bmp/title_back.dat", "bmp/char1.dat",   "bmp/emy0.dat",
                          "bmp/mybullet1.dat",  "bmp/item_score2.dat", "bmp/explo0.dat",
                          "bmp/eb1.dat",        "bmp/life.dat",    "bmp/font.dat"};
  EXPECT_EQ(at(firsts[0]), 0);
  for (size_t i = 1; i < std::size(firsts); ++i) EXPECT_LT(at(firsts[i - 1]), at(firsts[i])) << firsts[i];
  EXPECT_EQ(paths.back(), "bmp/font.dat");
}

TEST_F(ImageTablesTest, CellsLandWhereTheGameLooksForThem) {
  g_config.bullet_color = 2;
  LoadAllImages();
  struct Case {
    int32_t handle;
    const char* path;
    int x, y, w, h;
  };
  const Case cases[] = {
      {EnemyBulletCell(7, 0), "bmp/eb3.dat", 0, 140, 24, 24},
      {EnemyBulletCell(12, 5), "bmp/eb3.dat", 260, 164, 20, 20},
      {EnemyBulletCell(13, 0), "bmp/eb3.dat", 0, 244, 32, 32},
      {GlyphCell(0, '?'), "bmp/font.dat", 192, 16, 12, 16},
      {GlyphCell(1, '*'), "bmp/font.dat", 144, 32, 12, 16},
      {GlyphCell(3, '9'), "bmp/font.dat", 108, 64, 12, 16},
      {FighterIconCell(7), "bmp/char5.dat", 288, 0, 48, 56},
      {FighterIconCell(5), "bmp/char4.dat", 192, 0, 64, 56},
      {FighterCell(5, 56), "bmp/char5.dat", 192, 224, 48, 56},
      {FighterCell(1, 13), "bmp/char1.dat", 336, 56, 56, 56},
      {SheetCell(kSheetStage11, 8), "bmp/stage11.dat", 0, 0, 360, 480},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(kesto_fake::IsValidGraphic(c.handle)) << c.path << " " << c.x << "," << c.y;
    const auto& g = G(c.handle);
    EXPECT_EQ(g.path, c.path);
    EXPECT_EQ(std::vector<int>({g.x, g.y, g.width, g.height}),
              std::vector<int>({c.x, c.y, c.w, c.h}))
        << c.path;
  }
  // Outside the tables: no picture, never another table's cell.
  EXPECT_EQ(GlyphCell(0, ':'), 0);
  EXPECT_EQ(GlyphCell(0, 'a'), 0);
  EXPECT_EQ(GlyphCell(4, '1'), 0);
  EXPECT_EQ(GlyphCell(0, -56), 0);
  EXPECT_EQ(EnemyBulletCell(0, 4), -1);
  EXPECT_EQ(EnemyBulletCell(14, 0), -1);
  EXPECT_EQ(FighterCell(1, 14), -1);  // the icon is not an animation cell
  EXPECT_EQ(FighterCell(6, 0), -1);
  EXPECT_EQ(SheetCell(kSheetStage11, 9), -1);  // starts above its picture
  EXPECT_EQ(SheetCell(kSheetStage11, 10), -1);
}

TEST_F(ImageTablesTest, ColourAndVariantRepointTheTables) {
  LoadAllImages();
  LoadEnemyBulletImages(5);
  for (int t = 0; t < kEnemyBulletTableCount; ++t)
    for (int i = 0; i < kSheetEb1.runs[static_cast<size_t>(t)].count; ++i)
      EXPECT_EQ(EnemyBulletCell(t, i), -1);
  LoadEnemyBulletImages(4);
  EXPECT_EQ(G(EnemyBulletCell(0, 0)).path, "bmp/eb5.dat");

  LoadCharacterImages(2);
  for (int f = 1; f <= 3; ++f) {
    EXPECT_EQ(FighterCell(f, 0), -1);
    EXPECT_EQ(FighterOptionCell(f, 0), -1);
  }
  EXPECT_EQ(G(FighterCell(4, 0)).path, "bmp/char4.dat");
  EXPECT_EQ(G(FighterOptionCell(5, 3)).path, "bmp/char_o5.dat");
  LoadCharacterImages(1);
  EXPECT_EQ(G(FighterCell(3, 0)).path, "bmp/char3_2.dat");
  EXPECT_EQ(G(FighterOptionCell(2, 11)).path, "bmp/char_o2_2.dat");
}

TEST_F(ImageTablesTest, AFileThatFailsLeavesEveryCellWithoutPicture) {
  fake().failing_images = {"bmp/emy8.dat", "bmp/font.dat"};
  LoadAllImages();
  for (int i = 0; i < CellCount(kSheetEmy8); ++i) EXPECT_EQ(SheetCell(kSheetEmy8, i), -1);
  EXPECT_EQ(GlyphCell(0, 'A'), -1);
  for (const auto& c : kesto_fake::CallsNamed("MakeSubGraphic")) EXPECT_GE(c.iarg(4), 1);
  // Drawing text then draws nothing valid and harms nothing.
  fake().calls.clear();
  DrawText("A", 0, 0, 255, 1, 0);
  for (const auto& c : kesto_fake::CallsNamed("BlitGraphicAt")) EXPECT_EQ(c.result, -1);
}

// Games start and end hundreds of times in one run (the attract demo alone
// does so forever): reloading fighters and bullet colours must not use up
// the library's graphic table.
TEST_F(ImageTablesTest, ManyGameCyclesCreateNoNewGraphics) {
  LoadAllImages();
  int after_boot = kesto_fake::LiveGraphicCount();
  EXPECT_EQ(LoadedGraphicCount(), after_boot);
  for (int cycle = 0; cycle < 500; ++cycle) {
    LoadCharacterImages(cycle % 2);
    LoadEnemyBulletImages(cycle % 6);
  }
  EXPECT_EQ(kesto_fake::LiveGraphicCount(), after_boot);
  EXPECT_LT(after_boot, 30000 / 4);
}
