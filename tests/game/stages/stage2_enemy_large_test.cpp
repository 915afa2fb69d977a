#include "enemy_script_fixture.h"

namespace {

using Stage2LargeTest = EnemyScriptTest;

// Spawned at y -80: life state 0 on frame 0, vy 5.6 set on frame 1, then
// -0.1 a frame; 56 steps leave it just above 0, so it stops on frame 59 and
// sways and fires from frame 60 for 640 frames.
constexpr int kType14FirstSwayFrame = 60;

// Slots 0, 5, ... below `cap` of every 12, over `frames`.
std::vector<int> Bursts(int cap, int frames) {
  std::vector<int> out;
  for (int f = 0; f < frames; f += 5)
    if (f / 5 % 12 < cap) out.push_back(f);
  return out;
}

struct Type14Case {
  int mode;
  int spiral_every;
  int spiral_bullets;
  int fan_set_bullets;  // the first four fans; the second set follows
  double fan_set_speed;
  double second_set_speed;
  int aimed_cap;
  int aimed_bullets;
  double aimed_speed;
};

TEST_F(Stage2LargeTest, Type14SpiralsAndAimedBurstsByMode) {
  const Type14Case cases[] = {
      {0, 24, 12, 8, 2.0, 2.6, 5, 1, 2.0},
      {1, 15, 12, 8, 2.4, 3.0, 8, 3, 2.5},
      {2, 12, 20, 12, 2.6, 3.2, 10, 5, 3.5},
      {3, 15, 12, 8, 2.4, 3.0, 8, 3, 2.5},
  };
  constexpr int kFrames = 130;
  for (const Type14Case& c : cases) {
    SetUp();
    Spawn(14, 0, 180.0, -80.0, c.mode);
    Run(kType14FirstSwayFrame + kFrames);
    std::vector<int> spiral, aimed;
    for (int f : VolleyFrames()) {
      int n5 = 0, n1 = 0;
      for (const FiredBullet& b : BulletsOn(f)) {
        if (b.type == 5) {
          EXPECT_DOUBLE_EQ(b.speed, n5 < c.fan_set_bullets ? c.fan_set_speed : c.second_set_speed)
              << c.mode;
          ++n5;
        }
        if (b.type == 1) {
          EXPECT_DOUBLE_EQ(b.speed, c.aimed_speed) << c.mode;
          ++n1;
        }
      }
      EXPECT_EQ(n5 + n1, CountOn(f));
      if (n5 > 0) {
        spiral.push_back(f - kType14FirstSwayFrame);
        EXPECT_EQ(n5, c.spiral_bullets) << c.mode;
      }
      if (n1 > 0) {
        aimed.push_back(f - kType14FirstSwayFrame);
        EXPECT_EQ(n1, c.aimed_bullets) << c.mode;
      }
    }
    EXPECT_EQ(spiral, Steps(c.spiral_every, kFrames)) << c.mode;
    EXPECT_EQ(aimed, Bursts(c.aimed_cap, kFrames)) << c.mode;
    // One sound per spiral volley; the aimed bursts are silent.
    std::vector<int> sounds;
    for (int f : shot_sounds) sounds.push_back(f - kType14FirstSwayFrame);
    EXPECT_EQ(sounds, spiral);
  }
}

TEST_F(Stage2LargeTest, Type14SpiralsTurn28DegreesAVolleyWithoutEnd) {
  EnemyObject& e = Spawn(14, 0, 180.0, -80.0, 1);
  Run(kType14FirstSwayFrame + 15 * 12);
  for (int k = 0; k < 12; ++k) {
    const std::vector<FiredBullet> all = BulletsOn(kType14FirstSwayFrame + 15 * k);
    std::vector<FiredBullet> v;
    for (const FiredBullet& b : all)
      if (b.type == 5) v.push_back(b);
    ASSERT_EQ(v.size(), 12u) << k;
    // Gun 0, gun 1, gun 1, gun 0: the fan set of 2 x 12 at 2.4, then the
    // same four directions as singles at 3.
    const double dirs[] = {28.0 * k, 180.0 - 28.0 * k, -28.0 * k, 28.0 * k + 180.0};
    const double side[] = {-108.0, 108.0, 108.0, -108.0};
    for (int i = 0; i < 4; ++i) {
      EXPECT_DOUBLE_EQ(v[2 * i].angle, dirs[i] - 6.0) << k << " " << i;
      EXPECT_DOUBLE_EQ(v[2 * i + 1].angle, dirs[i] + 6.0) << k << " " << i;
      EXPECT_DOUBLE_EQ(v[2 * i].speed, 2.4);
      EXPECT_DOUBLE_EQ(v[8 + i].angle, dirs[i]) << k << " " << i;
      EXPECT_DOUBLE_EQ(v[8 + i].speed, 3.0);
      EXPECT_NEAR(v[2 * i].x - v[8 + i].x, 0.0, 1e-9);
      EXPECT_NEAR(v[8 + i].x - side[i], v[0].x - side[0], 1e-9);
    }
  }
  (void)e;
}

TEST_F(Stage2LargeTest, Type14AimedBurstHoldsItsAimAndDrawsOncePerVolley) {
  PlacePlayer(250.0, 440.0);
  EnemyObject& e = Spawn(14, 0, 180.0, -80.0, 1);
  Run(kType14FirstSwayFrame);
  double aim = 0.0;
  for (int n = 0; n < 12; ++n) {
    const int f = frame;
    const uint32_t before = RandomSeed;
    const double cx = e.x + e.vx, cy = e.y + e.vy;
    if (n == 0) aim = AngleToPlayer(cx, cy);
    if (n == 1) PlacePlayer(420.0, 300.0);  // the burst keeps its first aim
    Run(5);
    std::vector<FiredBullet> v;
    for (const FiredBullet& b : BulletsOn(f))
      if (b.type == 1) v.push_back(b);
    if (n >= 8) {  // slots 8-11 of the 12 rest, and draw nothing
      EXPECT_TRUE(v.empty()) << n;
      EXPECT_EQ(RandomSeed, before) << n;
      continue;
    }
    ASSERT_EQ(v.size(), 3u) << n;
    const uint32_t after = RandomSeed;
    EXPECT_EQ(DrawsBetween(before, after), 1) << n;
    RandomSeed = before;
    const int32_t r = RandomIntSigned(5);
    RandomSeed = after;
    EXPECT_DOUBLE_EQ(v[1].angle, aim + r) << n;  // middle of the 3 x 30
    EXPECT_DOUBLE_EQ(v[0].angle, aim + r - 30.0) << n;
    EXPECT_DOUBLE_EQ(v[1].speed, 2.5);
    EXPECT_NEAR(v[1].x, cx, 1e-9);
    EXPECT_NEAR(v[1].y, cy, 1e-9);
  }
}

TEST_F(Stage2LargeTest, Type14BrakesSwaysSixHundredFortyFramesThenLeaves) {
  EnemyObject& e = Spawn(14, 0, 180.0, -80.0, 2);
  Run(2);
  EXPECT_NEAR(e.vy, 5.6, 1e-12);
  Run(kType14FirstSwayFrame - 2);
  EXPECT_DOUBLE_EQ(e.vy, 0.0);
  EXPECT_EQ(e.move_state, 2);
  Run(11);  // sway counter 0-10
  EXPECT_DOUBLE_EQ(e.vx, CosDeg(10 / 2) * 0.2);
  EXPECT_DOUBLE_EQ(e.vy, SinDeg(10) * 0.2);
  Run(640 - 11 + 20);
  EXPECT_DOUBLE_EQ(e.vx, 0.0);
  EXPECT_DOUBLE_EQ(e.vy, -0.5);
  const std::vector<int> frames = VolleyFrames();
  ASSERT_FALSE(frames.empty());
  EXPECT_LT(frames.back(), kType14FirstSwayFrame + 640);
  EXPECT_GE(frames.back(), kType14FirstSwayFrame + 640 - 12);
}

}  // namespace
