#include "play/enemies.h"
#include "play_fixture.h"

class EnemyDrawingTest : public PlayTest {
 protected:
  EnemyObject& Place(int type, double cx, double cy, int variant = 0) {
    SpawnEnemy(cx - 140.0, cy, type, variant);
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == type) return e;
    return g_enemies[0];
  }
  struct Shown {
    std::string path;
    int cell_x, cell_y;
    int x, y;
    int alpha;
  };
  // Every sprite of one draw, with the blend parameter set before it.
  std::vector<Shown> DrawOnce(EnemyObject& e) {
    ClearLog();
    DrawEnemy(e);
    std::vector<Shown> out;
    int alpha = 255;
    for (const auto& c : fake().calls) {
      if (c.name == "ChooseBlendMode") alpha = c.iarg(1);
      if (c.name != "BlitGraphicScaledRotated") continue;
      const auto& g = G(c.iarg(4));
      out.push_back({G(g.parent).path, g.x, g.y, c.iarg(0), c.iarg(1), alpha});
    }
    return out;
  }
};

TEST_F(EnemyDrawingTest, CellFormulasShadowsAndFlames) {
  {
    EnemyObject& e = Place(0, 300, 200);
    e.turn_angles[0] = 100;  // cell 6 of 12 a row
    auto s = DrawOnce(e);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].path, "bmp/emy0.dat");
    EXPECT_EQ(s[0].cell_x, 6 * 80);
    EXPECT_EQ(s[0].cell_y, 0);
  }
  {
    EnemyObject& e = Place(9, 300, 200);
    e.turn_angles[0] = 300;  // heading cell 20: shadow cell 68
    auto s = DrawOnce(e);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].cell_x, (68 % 6) * 56);
    EXPECT_EQ(s[0].cell_y, (68 / 6) * 56);
    EXPECT_EQ(s[0].x, 304);
    EXPECT_EQ(s[0].alpha, 155);
    EXPECT_EQ(s[1].cell_y, (20 / 6) * 56);
  }
  {
    EnemyObject& e = Place(6, 300, 200);
    e.anim_counter = 6;  // F4 cell 2
    auto s = DrawOnce(e);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].path, "bmp/effect12.dat");
    EXPECT_EQ(s[0].cell_x, 64);
    EXPECT_EQ(s[0].x, 260);
    EXPECT_EQ(s[1].x, 340);
    EXPECT_EQ(s[0].y, 140);
    EXPECT_EQ(s[0].alpha, 155);
    EXPECT_EQ(s[2].path, "bmp/emy7.dat");
  }
}

// Headings a script left out of range draw nothing rather than a wrong cell.
TEST_F(EnemyDrawingTest, OutOfRangeIndexesDrawNothing) {
  struct Case {
    int type;
    int t0;
    int t1;
    size_t sprites;
  };
  const Case cases[] = {{0, 400, 0, 0}, {0, -20, 0, 0}, {10, 360, 0, 0}, {9, -30, 0, 0},
                        {7, -30, 0, 1},  {5, 0, 13, 0},  {21, 0, 390, 0}, {30, 0, 0, 1}};
  for (const Case& c : cases) {
    ResetAllEnemies();
    EnemyObject& e = Place(c.type, 300, 200);
    e.turn_angles[0] = c.t0;
    e.turn_angles[1] = c.t1;
    EXPECT_EQ(DrawOnce(e).size(), c.sprites) << c.type;
  }
  ResetAllEnemies();
  EXPECT_EQ(DrawOnce(Place(30, 300, 200, 4)).size(), 0u);
}

TEST_F(EnemyDrawingTest, FlashShowsOnTheFiveDrawsAfterTheHit) {
  EnemyObject& e = Place(27, 300, 200);  // body cell f: y 0 normal, 240 flash
  e.hit_flash = 5;
  std::vector<int> rows;
  for (int i = 0; i < 7; ++i) rows.push_back(DrawOnce(e).at(0).cell_y);
  EXPECT_EQ(rows, (std::vector<int>{0, 240, 240, 240, 240, 240, 0}));
  // A second hit during the flash restarts the count.
  e.hit_flash = 5;
  DrawOnce(e);
  e.hit_flash = 5;
  rows.clear();
  for (int i = 0; i < 7; ++i) rows.push_back(DrawOnce(e).at(0).cell_y);
  EXPECT_EQ(rows, (std::vector<int>{240, 240, 240, 240, 240, 240, 0}));
}

TEST_F(EnemyDrawingTest, DrawingStepsAimAndHatchEvenWhilePausedWithoutRandomDraws) {
  g_flags.GamePaused = 1;
  uint32_t seed = RandomSeed;
  EnemyObject& e = Place(1, 300, 100);
  DrawOnce(e);
  EXPECT_GE(e.turn_angles[0], 88);
  EXPECT_LE(e.turn_angles[0], 92);
  for (int i = 0; i < 400; ++i) {
    int before = e.turn_angles[0];
    auto s = DrawOnce(e);
    ASSERT_EQ(s.size(), 1u);
    int step = ((e.turn_angles[0] - before) % 360 + 540) % 360 - 180;  // across +-180
    EXPECT_LE(std::abs(step), 2);
    EXPECT_GE(e.turn_angles[0], -180);
    EXPECT_LE(e.turn_angles[0], 180);
  }

  EnemyObject& hatch = Place(19, 300, 200);
  hatch.script_words[0] = 1;
  std::vector<int> forms;
  for (int i = 0; i < 7; ++i) {
    DrawOnce(hatch);
    forms.push_back(hatch.form);
  }
  EXPECT_EQ(forms, (std::vector<int>{0, 0, 0, 1, 1, 1, 2}));
  EXPECT_EQ(hatch.script_words[0], -1);
  hatch.script_words[0] = 2;
  forms.clear();
  for (int i = 0; i < 7; ++i) {
    DrawOnce(hatch);
    forms.push_back(hatch.form);
  }
  EXPECT_EQ(forms, (std::vector<int>{2, 2, 2, 1, 1, 1, 0}));
  EXPECT_EQ(hatch.script_words[0], -2);
  EXPECT_EQ(RandomSeed, seed);
}

TEST_F(EnemyDrawingTest, WaveStripsOfTheExtraBoss) {
  EnemyObject& e = Place(250, 300, 200);
  auto s = DrawOnce(e);
  ASSERT_EQ(s.size(), 81u);  // 80 strips and the body
  EXPECT_EQ(s[0].x, 220);
  EXPECT_EQ(s[0].y, 192);  // sin 0 x 16
  EXPECT_EQ(s[1].x, 300);
  EXPECT_EQ(s[80].path, "bmp/emy250.dat");
  EXPECT_EQ(e.drawing_counter, 1);
}
