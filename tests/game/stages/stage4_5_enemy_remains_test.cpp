// Shot down on the field, each enemy type of stages 4 and 5 pays its score,
// drops its items and leaves its wreck and item container, also those that
// end in a dying sequence first.
#include "enemy_script_fixture.h"

namespace {

class Stage45RemainsTest : public EnemyScriptTest {};

TEST_F(Stage45RemainsTest, ShotDownOnTheFieldEachTypeLeavesWhatItShould) {
  struct Case {
    int type;
    int variant;
    int wrecks_300;
    int wrecks_302;
    int containers;
    int items;
    int score;
    double remains_dy;  // below the centre
  } const cases[] = {
      {21, 0, 0, 0, 0, 1, 90, 0},     {22, 0, 0, 0, 0, 6, 3600, 0},
      {23, 0, 0, 1, 0, 3, 1920, 0},   {24, 0, 1, 0, 0, 2, 1440, 0},
      {25, 0, 1, 0, 1, 4, 2160, 0},   {26, 0, 0, 0, 0, 15, 19200, 0},
      {27, 0, 0, 1, 1, 12, 16800, 0}, {28, 0, 0, 0, 0, 12, 9600, 0},
      {29, 0, 0, 0, 0, 4, 1440, 0},   {30, 0, 0, 1, 0, 9, 9600, 0},
      {31, 0, 1, 0, 0, 1, 360, 0},    {34, 0, 0, 1, 0, 6, 2880, 0},
      {34, 1, 0, 1, 1, 6, 2880, 0},   {35, 0, 0, 0, 0, 12, 7200, 0},
      {36, 0, 0, 0, 0, 20, 42000, 0}, {37, 0, 0, 1, 1, 9, 11400, 32},
  };
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(320.0, 440.0);
    EnemyObject& e = Spawn(c.type, c.variant, 180.0, 150.0, 1);
    e.screen_state = 1;
    Frame();
    const int32_t serial = e.serial;
    e.hp = 0;
    double x = 0.0, y = 0.0;
    for (int f = 0; f < 100 && e.in_use == 1 && e.serial == serial; ++f) {
      e.vx = 0.0;
      e.vy = 0.0;
      x = e.x;
      y = e.y;
      Frame();
    }
    ASSERT_FALSE(e.in_use == 1 && e.serial == serial) << c.type;
    int w300 = 0, w302 = 0, boxes = 0, items = 0;
    for (const EnemyObject& o : g_enemies) {
      if (o.in_use != 1) continue;
      w300 += o.type == 300;
      w302 += o.type == 302;
      boxes += o.type == 32;
      if (o.type == 300 || o.type == 302 || o.type == 32) {
        EXPECT_DOUBLE_EQ(o.x, x) << c.type;
        EXPECT_DOUBLE_EQ(o.y, y + c.remains_dy) << c.type;
      }
    }
    for (const Item& it : g_items) items += it.in_use == 1;
    EXPECT_EQ(w300, c.wrecks_300) << c.type << "/" << c.variant;
    EXPECT_EQ(w302, c.wrecks_302) << c.type << "/" << c.variant;
    EXPECT_EQ(boxes, c.containers) << c.type << "/" << c.variant;
    EXPECT_EQ(items, c.items) << c.type;
    EXPECT_EQ(g_player.score, c.score) << c.type;
  }
}

}  // namespace
