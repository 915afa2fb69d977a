#include <string>
#include <vector>

#include "game/play/play_fixture.h"
#include "shell/sound_bank.h"
#include "stages/enemy_scripts.h"

namespace {

constexpr int kOpenSound = 925;
constexpr int kBurstSound = 920;

uint32_t DrawAfter(uint32_t seed) { return seed * 48828125u + 1u; }

class ItemContainerTest : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    g_sound_bank[25] = kOpenSound;
    g_sound_bank[20] = kBurstSound;
    g_stage.layer1_speed = 0.5;
    g_player.active = 1;
    SetCore(320.0, 460.0);
  }
  void TearDown() override {
    g_sound_bank[25] = 0;
    g_sound_bank[20] = 0;
    PlayTest::TearDown();
  }
  static void SetCore(double x, double y) {
    g_player.core_x = x;
    g_player.core_y = y;
  }
  EnemyObject& Place(double cx, double cy) {
    SpawnEnemy(cx - 140.0, cy, 32, 0);
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == 32) return e;
    ADD_FAILURE() << "no room for type 32";
    return g_enemies[0];
  }
  // One enemy pass, held in place so that only the script's work shows.
  void Step(EnemyObject& e) {
    e.vx = 0.0;
    e.vy = 0.0;
    UpdateEnemies();
  }
  static int Sounds(int handle) {
    int n = 0;
    for (const auto& c : kesto_fake::CallsNamed("StartSoundHandle")) n += c.iarg(0) == handle;
    return n;
  }
  static std::vector<Explosion> Explosions() {
    std::vector<Explosion> out;
    for (const Explosion& x : g_explosions)
      if (x.in_use == 1) out.push_back(x);
    return out;
  }
  static std::vector<Item> Items() {
    std::vector<Item> out;
    for (const Item& i : g_items)
      if (i.in_use == 1) out.push_back(i);
    return out;
  }
  // The body picture drawn and its alpha.
  struct Look {
    int cell;
    int alpha;
  };
  Look Drawn(EnemyObject& e) {
    ClearLog();
    DrawEnemy(e);
    Look out{-1, -1};
    int alpha = 255;
    for (const auto& c : fake().calls) {
      if (c.name == "ChooseBlendMode") alpha = c.iarg(1);
      if (c.name != "BlitGraphicScaledRotated") continue;
      const auto& g = G(c.iarg(4));
      // Cells stand in one column; cell 2 is the shadow.
      if (G(g.parent).path == "bmp/box.dat" && g.y != 2 * g.height)
        out = {g.y / g.height, alpha};
    }
    return out;
  }
};

TEST_F(ItemContainerTest, HiddenUntilThePlayerComesClose) {
  EnemyObject& e = Place(320.0, 150.0);
  for (int f = 0; f < 30; ++f) Step(e);
  EXPECT_EQ(e.collision_class, 1);
  EXPECT_EQ(Drawn(e).alpha, 0);
  EXPECT_EQ(e.vy, 0.5);  // rides the ground
  EXPECT_EQ(Sounds(kOpenSound), 0);
  EXPECT_TRUE(Explosions().empty());

  SetCore(320.0 + 64.0, 150.0);  // exactly at the limit
  ClearLog();
  Step(e);
  EXPECT_EQ(Sounds(kOpenSound), 1);
  auto x = Explosions();
  ASSERT_EQ(x.size(), 1u);
  EXPECT_EQ(x[0].kind, 56);
  EXPECT_EQ(x[0].x, 320.0);
  EXPECT_EQ(x[0].y, 150.0);
  EXPECT_EQ(x[0].angle, 90.0);
  EXPECT_EQ(e.collision_class, 2);  // shots only
  Look shown = Drawn(e);
  EXPECT_EQ(shown.cell, 0);  // closed lid
  EXPECT_EQ(shown.alpha, 255);

  // Opened once: moving away changes nothing, and nothing plays again.
  SetCore(320.0, 460.0);
  ClearLog();
  for (int f = 0; f < 10; ++f) Step(e);
  EXPECT_EQ(Sounds(kOpenSound), 0);
  EXPECT_EQ(e.collision_class, 2);
  EXPECT_EQ(Drawn(e).alpha, 255);
}

TEST_F(ItemContainerTest, DestroyedItCountsAndSpraysScoreItems) {
  EnemyObject& e = Place(320.0, 150.0);
  SetCore(320.0, 180.0);
  Step(e);
  Step(e);  // opened
  SetCore(320.0, 460.0);
  ResetAllExplosions();
  const int events = GetStageEventCount();
  e.hp = 0;  // shot down: the pass puts it in its dying state
  Step(e);
  ASSERT_EQ(e.life_state, 8);
  ASSERT_EQ(e.in_use, 1);

  ClearLog();
  uint32_t seed = RandomSeed;
  Step(e);  // first destroyed frame
  EXPECT_EQ(GetStageEventCount(), events + 1);
  EXPECT_EQ(e.collision_class, 1);
  EXPECT_EQ(Sounds(kBurstSound), 1);
  auto x = Explosions();
  ASSERT_EQ(x.size(), 1u);
  EXPECT_EQ(x[0].kind, 50);
  EXPECT_EQ(x[0].angle, 90.0);
  EXPECT_TRUE(Items().empty());
  EXPECT_EQ(RandomSeed, seed);
  EXPECT_EQ(Drawn(e).cell, 1);  // the opened picture
  EXPECT_EQ(Drawn(e).alpha, 255);

  // Then one item every 5 frames, its angle drawn once per item.
  std::vector<int> frames;
  for (int f = 0; f < 25; ++f) {
    ResetAllItems();
    seed = RandomSeed;
    Step(e);
    auto items = Items();
    if (items.empty()) continue;
    ASSERT_EQ(items.size(), 1u);
    const int n = static_cast<int>(frames.size());
    frames.push_back(f);
    const uint32_t after = RandomSeed;
    EXPECT_EQ(after, DrawAfter(seed));
    RandomSeed = seed;
    const double angle = 270.0 + SinDeg(12.0 * n) * 40.0 + RandomIntSigned(20);
    RandomSeed = after;
    EXPECT_EQ(items[0].kind, 4);
    EXPECT_EQ(items[0].centre_x, 320.0);
    EXPECT_EQ(items[0].centre_y, 134.0);
    EXPECT_EQ(items[0].angle, angle);
    EXPECT_EQ(items[0].speed, 5.0);
  }
  EXPECT_EQ(frames, (std::vector<int>{0, 5, 10, 15, 20}));
  EXPECT_EQ(GetStageEventCount(), events + 1);  // counted once

  // None while the player is out, and the count of sprayed items holds.
  g_player.active = 0;
  ResetAllItems();
  seed = RandomSeed;
  for (int f = 0; f < 20; ++f) Step(e);
  EXPECT_TRUE(Items().empty());
  EXPECT_EQ(RandomSeed, seed);
  g_player.active = 1;
  Step(e);
  auto items = Items();
  ASSERT_EQ(items.size(), 1u);
  RandomSeed = seed;
  // The sixth item follows five sprayed ones: n = 5.
  EXPECT_EQ(items[0].angle, 270.0 + SinDeg(12.0 * 5) * 40.0 + RandomIntSigned(20));
}

}  // namespace
