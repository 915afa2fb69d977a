#include "play/items.h"

#include <vector>

#include "play/play_links.h"
#include "play/player.h"
#include "player_fixture.h"

namespace {

class ItemTest : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    ResetAllItems();
    AddItemCount(-GetItemsOnScreen());
    g_player.active = 1;
    g_player.core_x = 320.0;
    g_player.core_y = 440.0;
  }
};

TEST_F(ItemTest, ScoreItemsLoseValueWithAge) {
  SpawnItem(320, 100, 0, 0, 0);
  Item& it = g_items[0];
  EXPECT_EQ(it.gauge_amount, 0);  // set on the first update
  struct Step {
    int updates, value, gauge;
    double scale;
  } steps[] = {{1, 800, 8, 1.0},  {25, 800, 8, 1.0}, {26, 700, 7, 0.9}, {31, 600, 6, 0.8},
               {51, 200, 2, 0.4}, {56, 100, 1, 0.3}, {90, 100, 1, 0.3}};
  int done = 0;
  for (const Step& s : steps) {
    while (done < s.updates) {
      UpdateItems();
      ++done;
    }
    ASSERT_EQ(it.in_use, 1u);
    EXPECT_EQ(it.value, s.value) << s.updates;
    EXPECT_EQ(it.gauge_amount, s.gauge) << s.updates;
    EXPECT_EQ(it.scale, s.scale) << s.updates;
  }
}

TEST_F(ItemTest, AScoreItemAtRestIsAttractedOnItsFourteenthFrame) {
  SpawnItem(320, 100, 0, 0, 0);
  Item& it = g_items[0];
  int frame = 0;
  while (it.attracted == 0 && frame < 50) {
    UpdateItems();
    ++frame;
  }
  EXPECT_EQ(frame, 14);
  EXPECT_NEAR(it.vy, 8.0, 1e-6);  // straight down toward the core
  const double top = it.top;
  UpdateItems();
  EXPECT_NEAR(it.top, top + 8.0, 1e-6);

  // With the player lost the item falls at 1.5 and lets go.
  g_player.active = 0;
  UpdateItems();
  EXPECT_EQ(it.attracted, 0u);
  EXPECT_EQ(it.vx, 0.0);
  EXPECT_EQ(it.vy, 1.5);
}

TEST_F(ItemTest, PowerItemsArePushedInsideAndBounceFor1600Frames) {
  SpawnItem(130 + 32, 200, 1, 180, 3.0);
  Item& it = g_items[0];
  UpdateItems();
  EXPECT_EQ(it.left, 148.0);
  double min_left = 1000, max_right = 0;
  for (int i = 1; i < 1600; ++i) {
    UpdateItems();
    min_left = std::min(min_left, it.left);
    max_right = std::max(max_right, it.left + it.width);
  }
  EXPECT_GE(min_left, 140.0 - 3.0);
  EXPECT_LE(max_right, 500.0 + 3.0);
  int frames = 0;
  while (it.in_use == 1 && frames < 1000) {
    UpdateItems();
    ++frames;
  }
  EXPECT_EQ(it.in_use, 0u);
  EXPECT_LT(frames, 300);
  EXPECT_EQ(GetItemsOnScreen(), 0);
}

TEST_F(ItemTest, BigScoreItemsSlowDownBeforeTheyCanBeTaken) {
  SpawnItem(320, 100, 4, 270, 1.0);
  Item& it = g_items[0];
  EXPECT_EQ(IsItemPickupBlocked(it), 1);
  int frames = 0;
  while (it.phase == 0 && frames < 50) {
    UpdateItems();
    ++frames;
  }
  // 1.0 less five steps of 0.2 leaves a tiny positive speed: six steps.
  EXPECT_EQ(frames, 6);
  EXPECT_EQ(IsItemPickupBlocked(it), 1);
  UpdateItems();
  EXPECT_EQ(IsItemPickupBlocked(it), 0);
  EXPECT_EQ(it.attracted, 1u);

  // The first draw takes one random number; the scale grows to just past 1.
  RandomSeed = 10;
  DrawItem(it);
  EXPECT_EQ(RandomSeed, 10u * 48828125u + 1u);
  EXPECT_EQ(it.scale, 0.5);
  EXPECT_EQ(it.rotation % 10, 0);
  for (int i = 0; i < 30; ++i) DrawItem(it);
  EXPECT_EQ(it.scale, 1.0000000000000004);
  EXPECT_EQ(RandomSeed, 10u * 48828125u + 1u);
}

TEST_F(ItemTest, SmallScoreItemsFallFor30FramesThenComeToThePlayer) {
  SpawnItem(320, 100, 5, 90, 1.0);
  Item& it = g_items[0];
  for (int i = 0; i < 29; ++i) UpdateItems();
  EXPECT_EQ(it.phase, 0);
  UpdateItems();
  EXPECT_EQ(it.phase, 1);
  EXPECT_EQ(it.vy, 0.0);
  EXPECT_EQ(it.attracted, 0u);
  UpdateItems();
  EXPECT_EQ(it.attracted, 1u);
  // Drawing counts draws only, never the movement counter.
  const int counter = it.counter;
  for (int i = 0; i < 10; ++i) DrawItem(it);
  EXPECT_EQ(it.counter, counter);
  EXPECT_EQ(it.anim_counter, 10);
}

TEST_F(ItemTest, OnlyBelowTheFieldEndsMostKinds) {
  SpawnItem(320, -100, 3, 270, 2.0);  // above the field: stays
  SpawnItem(320, 500, 3, 90, 20.0);   // falls below: culled
  UpdateItems();
  EXPECT_EQ(g_items[0].in_use, 1u);
  EXPECT_EQ(g_items[1].in_use, 0u);
  EXPECT_EQ(g_items[1].gone, 0u);  // a removed record is all zero
  EXPECT_EQ(GetItemsOnScreen(), 1);
}

}  // namespace
