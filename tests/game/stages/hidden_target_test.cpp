#include "game/play/play_fixture.h"

namespace {

class HiddenTargetTest : public PlayTest {};

TEST_F(HiddenTargetTest, ShootableAfterTenContainersAndOnlyWhileFocused) {
  ASSERT_EQ(SpawnEnemy(180.0, 100.0, 33, 0), 0);
  EnemyObject* t = nullptr;
  for (EnemyObject& e : g_enemies)
    if (e.in_use == 1 && e.type == 33) t = &e;
  ASSERT_NE(t, nullptr);
  g_stage.layer0_speed = 1.5;
  g_stage.layer1_speed = 0.5;
  struct Case {
    int containers;
    int focus;
    int collision_class;
  };
  // In order: the count only ever rises during a stage.
  const Case cases[] = {{0, 1, 1}, {9, 1, 1}, {10, 0, 1}, {10, 1, 2}, {11, 1, 2}, {11, 0, 1}};
  for (const Case& c : cases) {
    g_stage.event_count = c.containers;
    g_player.focus = c.focus;
    for (int f = 0; f < 2; ++f) {
      t->y = 100.0;  // pinned on the field
      UpdateEnemies();
    }
    EXPECT_EQ(t->collision_class, c.collision_class) << c.containers << " " << c.focus;
    EXPECT_EQ(t->vy, 1.5);  // rides the tiled layer, not the ground
    ASSERT_EQ(t->in_use, 1);
  }
}

}  // namespace
