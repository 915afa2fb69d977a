#include "play/explosions.h"

#include "play_fixture.h"

namespace {

// Draws an explosion until its slot frees; returns the number of draws.
int DrawsUntilFree(Explosion& e, int limit = 1000) {
  int n = 0;
  while (e.in_use == 1 && n < limit) {
    DrawExplosion(e);
    ++n;
  }
  return n;
}

}  // namespace

class ExplosionsTest : public PlayTest {};

TEST_F(ExplosionsTest, SpawnSetsSizeCentreAndVelocityAndUpdateMovesByIntegerHalves) {
  ASSERT_EQ(SpawnExplosion(200.0, 100.0, 11, 90.0, 2.0), 0);  // 36x36: half 18
  Explosion& e = g_explosions[0];
  EXPECT_EQ(e.width, 36);
  EXPECT_DOUBLE_EQ(e.left, 182.0);
  EXPECT_DOUBLE_EQ(e.top, 82.0);
  EXPECT_EQ(e.vx, CosDeg(90.0) * 2.0);
  EXPECT_EQ(e.vy, SinDeg(90.0) * 2.0);
  UpdateExplosion(e);
  EXPECT_EQ(e.y, 82.0 + SinDeg(90.0) * 2.0 + 18.0);

  ASSERT_EQ(SpawnExplosion(201.0, 101.0, 6, 0.0, 0.0), 0);  // no size: top-left is the centre
  EXPECT_EQ(g_explosions[1].left, 201.0);
  EXPECT_EQ(g_explosions[1].width, 0);

  // Kind 56 rises ever faster.
  SpawnExplosion(0.0, 0.0, 56, 0.0, 0.0);
  UpdateExplosion(g_explosions[2]);
  UpdateExplosion(g_explosions[2]);
  EXPECT_DOUBLE_EQ(g_explosions[2].vy, -0.08);
}

TEST_F(ExplosionsTest, PoolHoldsFiveHundredAndRefusesTheNext) {
  for (int i = 0; i < kExplosionCount; ++i) ASSERT_EQ(SpawnExplosion(0, 0, 0, 0, 0), 0);
  EXPECT_EQ(SpawnExplosion(0, 0, 0, 0, 0), -1);
  ClearExplosion(g_explosions[321]);
  EXPECT_EQ(SpawnExplosion(0, 0, 5, 0, 0), 0);
  EXPECT_EQ(g_explosions[321].kind, 5);
}

// Draws from spawn to end in a fresh slot, and one fewer in a slot freed on
// an unpaused frame (it starts one frame into its animation).
TEST_F(ExplosionsTest, LifetimeOfEveryKindFreshAndReused) {
  struct Case {
    int kind;
    double param1;
    int fresh_draws;
    int reused_draws;
  };
  const Case cases[] = {
      {0, 0, 12, 11},  {1, 0, 12, 11},  {5, 0, 15, 14},   {8, 0, 23, 22},   {10, 0, 14, 13},
      {13, 0, 11, 10}, {16, 0, 10, 9},  {19, 0, 10, 9},   {23, 0, 11, 10},  {24, 0, 21, 20},
      {50, 0, 40, 39}, {52, 0, 46, 45}, {54, 0, 16, 15},  {55, 0, 11, 10},  {57, 0, 46, 45},
      {58, 0, 40, 39}, {60, 0, 40, 39}, {100, 0, 43, 42}, {110, 0, 47, 46}, {111, 0, 106, 105},
      // Kind 56 runs on its own counter, which its end also advances; the
      // others below do not read either counter.
      {56, 0, 67, 66}, {61, 0, 102, 102}, {120, 0, 34, 34}, {121, 0, 34, 34},
      {124, 0, 35, 35}, {122, 0, 51, 51},  {122, 1, 101, 101}, {123, 1, 51, 51},
  };
  for (const Case& c : cases) {
    ResetAllExplosions();
    SpawnExplosionEx(300, 200, c.kind, 0, 0, c.param1, 0);
    EXPECT_EQ(DrawsUntilFree(g_explosions[0]), c.fresh_draws) << "kind " << c.kind;
    EXPECT_EQ(g_explosions[0].frame, 1) << "kind " << c.kind;
    SpawnExplosionEx(300, 200, c.kind, 0, 0, c.param1, 0);
    EXPECT_EQ(DrawsUntilFree(g_explosions[0]), c.reused_draws) << "kind " << c.kind;
  }
}

TEST_F(ExplosionsTest, ShotHitCellsFollowTheFrameCounter) {
  SpawnExplosion(300, 200, 1, 0, 0);  // explo3 40x40 row at y 32
  DrawsUntilFree(g_explosions[0]);
  auto s = Sprites();
  ASSERT_EQ(s.size(), 12u);
  for (int i = 0; i < 12; ++i) {
    const auto& g = G(s[i].iarg(4));
    EXPECT_EQ(g.x, 40 * i);
    EXPECT_EQ(g.y, 32);
    EXPECT_EQ(s[i].arg(2), 1.2);
  }
  // Reused slot: starts at cell 1.
  ClearLog();
  SpawnExplosion(300, 200, 1, 0, 0);
  DrawsUntilFree(g_explosions[0]);
  s = Sprites();
  ASSERT_EQ(s.size(), 11u);
  EXPECT_EQ(G(s[0].iarg(4)).x, 40);
}

// One RandomInt(36) on the first draw of the rotating kinds, RandomInt(360)
// on kind 60's frame-0 draws, two draws for kinds 122 and 123, none elsewhere.
TEST_F(ExplosionsTest, RandomDrawsPerKindOnFirstAndSecondDraw) {
  struct Case {
    int kind;
    int first;
    int second;
  };
  const Case cases[] = {{0, 1, 0},  {4, 1, 0},  {5, 0, 0},   {8, 0, 0},   {10, 1, 0},
                        {23, 0, 0}, {50, 1, 0}, {52, 1, 0},  {54, 1, 0},  {55, 1, 0},
                        {56, 1, 0}, {57, 1, 0}, {58, 1, 0},  {60, 1, 0},  {61, 1, 0},
                        {100, 0, 0}, {110, 0, 0}, {120, 0, 0}, {122, 2, 0}, {123, 2, 0},
                        {124, 0, 0}};
  for (const Case& c : cases) {
    ResetAllExplosions();
    SpawnExplosion(300, 200, c.kind, 0, 0);
    uint32_t before = RandomSeed;
    DrawExplosion(g_explosions[0]);
    uint32_t mid = RandomSeed;
    DrawExplosion(g_explosions[0]);
    EXPECT_EQ(DrawsBetween(before, mid), c.first) << "kind " << c.kind;
    EXPECT_EQ(DrawsBetween(mid, RandomSeed), c.second) << "kind " << c.kind;
  }
}

TEST_F(ExplosionsTest, RotationIsTakenOnceAndDrawnInRadians) {
  RandomSeed = 12345;
  uint32_t seed = RandomSeed;
  SpawnExplosion(300, 200, 50, 0, 0);
  DrawExplosion(g_explosions[0]);
  DrawExplosion(g_explosions[0]);
  RandomSeed = seed;
  int expected = RandomInt(36) * 10;
  EXPECT_EQ(g_explosions[0].rotation, expected);
  auto s = Sprites();
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].arg(3), expected * kPiSingle / 180.0);
  EXPECT_EQ(s[1].arg(3), s[0].arg(3));
}

TEST_F(ExplosionsTest, Kind60InReusedSlotKeepsSpawnAngleWithoutRandomDraw) {
  SpawnExplosion(300, 200, 60, 0, 0);
  DrawsUntilFree(g_explosions[0]);
  SpawnExplosion(300, 200, 60, 45.0, 0);
  uint32_t before = RandomSeed;
  ClearLog();
  DrawExplosion(g_explosions[0]);
  EXPECT_EQ(RandomSeed, before);
  EXPECT_EQ(Sprites().at(0).arg(3), 45.0 * kPiSingle / 180.0);
}

TEST_F(ExplosionsTest, PausedFramesAnimateButDoNotAdvanceOrMove) {
  g_flags.GamePaused = 1;
  SpawnExplosion(300, 200, 0, 0, 0);
  SpawnExplosion(300, 200, 60, 0, 0);
  SpawnExplosion(300, 200, 120, 0, 0);
  uint32_t before = RandomSeed;
  for (int i = 0; i < 5; ++i) DrawAllExplosions();
  // Kind 0 takes its rotation once, kind 60 a new angle on every paused frame.
  EXPECT_EQ(DrawsBetween(before, RandomSeed), 1 + 5);
  EXPECT_EQ(g_explosions[0].frame, 0);
  EXPECT_EQ(g_explosions[1].frame, 0);
  EXPECT_EQ(g_explosions[2].scale, 1.0);  // no shrinking while paused

  // Kind 111 keeps fading once past frame 20 while paused; kind 56 fades.
  ResetAllExplosions();
  g_flags.GamePaused = 0;
  SpawnExplosion(300, 200, 111, 0, 0);
  for (int i = 0; i < 22; ++i) DrawExplosion(g_explosions[0]);
  int alpha = g_explosions[0].alpha;
  g_flags.GamePaused = 1;
  DrawExplosion(g_explosions[0]);
  EXPECT_EQ(g_explosions[0].alpha, alpha + 3);
  EXPECT_EQ(g_explosions[0].frame, 22);
}

TEST_F(ExplosionsTest, BulletPuffShowsSixCellsThenNothing) {
  LoadEnemyBulletImages(0);
  SpawnExplosion(300, 200, 100, 0, 0);
  int shown = 0;
  for (int f = 0; f <= 42; ++f) {
    ClearLog();
    DrawExplosion(g_explosions[0]);
    size_t n = Sprites().size();
    EXPECT_EQ(n, f < 36 ? 1u : 0u) << "frame " << f;
    shown += static_cast<int>(n);
  }
  EXPECT_EQ(shown, 36);
  EXPECT_EQ(g_explosions[0].in_use, 0);
}

TEST_F(ExplosionsTest, WhiteBoxWidensThenFades) {
  SpawnExplosion(0, 0, 110, 0, 0);
  for (int i = 0; i < 3; ++i) DrawExplosion(g_explosions[0]);
  auto boxes = kesto_fake::CallsNamed("PaintRectangle");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2].args, (std::vector<double>{280, 0, 360, 480, boxes[2].arg(4), 1}));
  auto blends = kesto_fake::CallsNamed("ChooseBlendMode");
  EXPECT_EQ(blends[0].args, (std::vector<double>{1, 255}));  // opaque box
  EXPECT_EQ(blends.back().args, (std::vector<double>{1, 255}));
}

TEST_F(ExplosionsTest, Kind122ScaleFromParam) {
  SpawnExplosionEx(300, 200, 122, 0, 0, 1.0, 0);
  SpawnExplosionEx(300, 200, 122, 0, 0, 0.0, 0);
  SpawnExplosionEx(300, 200, 123, 0, 0, 1.0, 0);
  DrawAllExplosions();
  EXPECT_EQ(g_explosions[0].scale, 2.0);
  EXPECT_EQ(g_explosions[1].scale, 1.0);
  EXPECT_EQ(g_explosions[2].scale, 1.0);
}
