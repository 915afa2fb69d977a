#include "play/bullet_cancel.h"

#include "play/enemy_bullets.h"
#include "play/items.h"
#include "play/play_links.h"
#include "player_fixture.h"

namespace {

class CancelTest : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    ResetAllEnemyBullets();
    ResetAllItems();
    ResetAllBulletCancelSlots();
  }
  static int Bullets() {
    int n = 0;
    for (const EnemyBullet& b : g_enemy_bullets) n += b.in_use == 1;
    return n;
  }
  static std::vector<int> ItemKinds() {
    std::vector<int> k;
    for (const Item& it : g_items)
      if (it.in_use) k.push_back(it.kind);
    return k;
  }
  static void FireThree() {
    for (int i = 0; i < 3; ++i) FireEnemyBullet(200 + 40 * i, 200, 0, 90, 1.0, 0);
  }
};

TEST_F(CancelTest, OnlyTheFirstPassConvertsByKind) {
  struct Case {
    int kind;
    std::vector<int> items;
  } cases[] = {{0, {5, 5, 5}}, {1, {}}, {2, {0, 0, 0}}, {3, {5, 5, 5}}};
  for (const Case& c : cases) {
    SetUp();
    FireThree();
    ASSERT_EQ(StartBulletCancel(c.kind, 3), 0);
    UpdateBulletCancel();
    EXPECT_EQ(Bullets(), 0);
    EXPECT_EQ(ItemKinds(), c.items) << c.kind;
    if (c.kind == 2) {
      // Score items at rest where the bullets were.
      EXPECT_EQ(g_items[1].centre_x, 240.0);
      EXPECT_EQ(g_items[1].vy, 0.0);
    }
    FireThree();
    UpdateBulletCancel();
    EXPECT_EQ(Bullets(), 0);
    EXPECT_EQ(ItemKinds(), c.items) << c.kind;
    UpdateBulletCancel();
    EXPECT_EQ(g_bullet_cancels[0].active, 0u) << "three passes";
    FireThree();
    UpdateBulletCancel();
    EXPECT_EQ(Bullets(), 3);
  }
}

TEST_F(CancelTest, TheLowerSlotOfTwoDoesTheConverting) {
  FireThree();
  StartBulletCancel(1, 5);
  StartBulletCancel(2, 5);
  UpdateBulletCancel();
  EXPECT_TRUE(ItemKinds().empty());
  EXPECT_EQ(g_bullet_cancels[1].convert_now, 0u);
}

TEST_F(CancelTest, AnEleventhCancelIsDropped) {
  for (int i = 0; i < kBulletCancelSlots; ++i) ASSERT_EQ(StartBulletCancel(1, 100), 0);
  EXPECT_EQ(StartBulletCancel(2, 100), -1);
}

TEST_F(CancelTest, ACancelWithoutFramesMakesOnePassAndEnds) {
  for (int frames : {0, -5}) {
    ResetAllBulletCancelSlots();
    StartBulletCancel(1, frames);
    UpdateBulletCancel();
    EXPECT_EQ(g_bullet_cancels[0].active, 0u) << frames;
    FireThree();
    UpdateBulletCancel();
    EXPECT_EQ(Bullets(), 3) << frames;
    ResetAllEnemyBullets();
  }
}

}  // namespace
