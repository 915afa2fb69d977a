#include <string>
#include <vector>

#include "game/play/play_fixture.h"
#include "stages/enemy_scripts.h"

namespace {

struct Shot {
  int frame;
  int type;
  double x, y;
  double angle;
  double speed;
};

class Type7Test : public PlayTest {
 protected:
  void SetUp() override {
    PlayTest::SetUp();
    g_flags.StageNumber = 1;
    g_stage.layer1_speed = 0.0;
    SetCore(320.0, 460.0);
  }
  static void SetCore(double x, double y) {
    g_player.core_x = x;
    g_player.core_y = y;
  }
  // A craft already on the field, at screen (cx, cy).
  EnemyObject& Place(double cx, double cy, int variant, int difficulty = 1) {
    SpawnEnemy(cx - 140.0, cy, 7, variant);
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == 7) {
        e.screen_state = 1;
        e.difficulty = difficulty;
        return e;
      }
    ADD_FAILURE() << "no room for type 7";
    return g_enemies[0];
  }
  // One enemy pass; the bullets it fired are collected and cleared.
  void Step(int frame) {
    UpdateEnemies();
    for (EnemyBullet& b : g_enemy_bullets)
      if (b.in_use == 1) shots_.push_back({frame, b.type, b.centre_x, b.centre_y, b.angle, b.speed});
    ResetAllEnemyBullets();
  }
  std::vector<int> ShotFrames() const {
    std::vector<int> out;
    for (const Shot& s : shots_) out.push_back(s.frame);
    return out;
  }
  std::vector<Shot> shots_;
};

// Each checkpoint: after the craft's n-th frame its velocity points along
// `course` at the path's speed, or is zero (kStopped).
constexpr int kStopped = 9999;
struct Checkpoint {
  int frame;
  int course;
};
struct PathCase {
  int variant;
  double speed;
  std::vector<Checkpoint> points;
  int stopped_body;  // body angle once stopped, where the path stops
};

class Type7PathTest : public Type7Test, public ::testing::WithParamInterface<PathCase> {};

TEST_P(Type7PathTest, CourseAtCheckpoints) {
  const PathCase& c = GetParam();
  EnemyObject& e = Place(320.0, 150.0, c.variant);
  size_t next = 0;
  for (int frame = 1; next < c.points.size(); ++frame) {
    Step(frame);
    ASSERT_EQ(e.in_use, 1);
    const Checkpoint& p = c.points[next];
    if (p.frame == frame) {
      ++next;
      if (p.course == kStopped) {
        EXPECT_EQ(e.vx, 0.0) << "frame " << frame;
        EXPECT_EQ(e.vy, 0.0) << "frame " << frame;
        EXPECT_EQ(e.turn_angles[0], c.stopped_body) << "frame " << frame;
      } else {
        EXPECT_DOUBLE_EQ(e.vx, CosDeg(p.course) * c.speed) << "frame " << frame;
        EXPECT_DOUBLE_EQ(e.vy, SinDeg(p.course) * c.speed) << "frame " << frame;
      }
    }
    // Pinned in place: the path is all that is under test.
    e.x = 320.0;
    e.y = 150.0;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllVariants, Type7PathTest,
    ::testing::Values(
        PathCase{0, 1.2, {{1, 340}, {400, 340}}, 0},
        PathCase{1, 1.2, {{1, 180}, {125, 180}, {126, kStopped}, {300, kStopped}}, 180},
        PathCase{2, 1.2, {{1, 0}, {180, 0}, {181, kStopped}}, 0},
        PathCase{3, 1.2, {{1, 20}, {300, 20}}, 0},
        PathCase{4, 1.2, {{1, 160}, {300, 160}}, 0},
        PathCase{5, 1.2, {{1, 0}, {130, 0}, {131, kStopped}}, 0},
        // The first frame only sets the course.
        PathCase{6, 1.2, {{1, kStopped}, {2, 200}, {300, 200}}, 0},
        PathCase{7, 1.2, {{1, kStopped}, {2, 160}}, 0},
        PathCase{8, 1.2, {{1, -1}, {3, -1}, {4, 358}, {268, 270}, {349, 270}, {350, 269},
                          {439, 180}, {500, 180}}, 0},
        PathCase{9, 1.2, {{1, kStopped}, {2, 90}}, 0},
        PathCase{10, 1.6, {{1, 180}, {140, 180}, {141, kStopped}}, 180},
        PathCase{11, 1.2, {{1, 1}, {2, 1}, {3, 2}, {99, 50}, {100, 49}, {149, 0}, {230, 0},
                           {231, -1}, {232, 358}, {275, 315}, {296, 315}, {297, 316},
                           {341, 0}, {400, 0}}, 0},
        PathCase{12, 1.2, {{1, 182}, {79, 260}, {160, 260}, {161, 259}, {240, 180},
                           {361, 180}, {362, 179}, {426, 115}, {467, 115}, {468, 116},
                           {532, 180}, {600, 180}}, 0},
        PathCase{13, 1.0, {{121, 180}, {122, 181}, {191, 250}, {372, 250}, {373, 249},
                           {442, 180}}, 0},
        PathCase{14, 1.0, {{161, 180}, {162, 181}, {231, 250}, {403, 249}, {472, 180}}, 0},
        PathCase{15, 1.2, {{1, 180}, {300, 180}, {301, kStopped}}, 0},
        PathCase{16, 1.2, {{300, 0}, {301, kStopped}}, 0},
        PathCase{17, 1.0, {{61, 0}, {62, -1}, {81, 340}, {182, 340}, {183, 341}, {242, 40}},
                 0},
        PathCase{18, 1.0, {{151, 220}, {152, 221}, {201, 270}, {363, 271}, {422, 330}}, 0},
        PathCase{19, 1.0, {{102, -1}, {146, 315}, {268, 314}, {312, 270}, {434, 271},
                           {522, 359}, {523, 0}, {600, 0}}, 0},
        PathCase{20, 1.0, {{1, 0}, {200, 0}}, 0},
        PathCase{21, 1.0, {{1, 180}, {200, 180}}, 0},
        PathCase{22, 1.0, {{1, 140}, {200, 140}}, 0},
        PathCase{23, 1.0, {{101, 180}, {102, 179}, {146, 135}, {197, 135}, {198, 136},
                           {242, 180}}, 0}),
    [](const ::testing::TestParamInfo<PathCase>& info) {
      return "Variant" + std::to_string(info.param.variant);
    });

TEST_F(Type7Test, BodyFollowsTheVelocityAndTheGroundCarriesIt) {
  g_stage.layer1_speed = 0.5;
  EnemyObject& e = Place(320.0, 150.0, 21);
  Step(1);
  // Taken from the path's velocity before the drift; the drawing picks the
  // picture by it.
  EXPECT_EQ(e.turn_angles[0], 180);
  EXPECT_DOUBLE_EQ(e.vy, SinDeg(180) + 0.5);
  // Variant 1, stopped, hangs facing left and rides down with the ground.
  ResetAllEnemies();
  EnemyObject& s = Place(320.0, 150.0, 1);
  for (int f = 1; f <= 130; ++f) Step(f);
  EXPECT_EQ(s.vx, 0.0);
  EXPECT_EQ(s.vy, 0.5);
  EXPECT_EQ(s.turn_angles[0], 180);
  // An unknown variant has no path: the scroll speed builds up in vy, and
  // the turret still turns and fires.
  ResetAllEnemies();
  shots_.clear();
  EnemyObject& u = Place(320.0, 150.0, 24);
  for (int f = 1; f <= 3; ++f) Step(f);
  EXPECT_EQ(u.vx, 0.0);
  EXPECT_EQ(u.vy, 1.5);
  EXPECT_EQ(ShotFrames(), std::vector<int>{1});
}

TEST_F(Type7Test, FireCyclesByStageAndDifficulty) {
  struct Case {
    int stage;
    int difficulty;
    std::vector<int> frames;  // first four shots, by frame of the craft
    double speed;
  };
  const Case cases[] = {
      {1, 1, {1, 21, 241, 261}, 2.0},   {2, 1, {1, 19, 145, 163}, 2.25},
      {3, 1, {1, 17, 49, 65}, 2.5},     {5, 1, {1, 13, 37, 49}, 3.0},
      {1, 2, {1, 9, 25, 33}, 3.0},      {5, 2, {1, 9, 25, 33}, 5.0},
      {1, 0, {1, 41, 481, 521}, 1.5},   {3, 0, {1, 37, 109, 145}, 2 / 5.0 + 1.5},
      {20, 0, {1, 3, 7, 9}, 19 / 5.0 + 1.5},
  };
  for (const Case& c : cases) {
    ResetAllEnemies();
    shots_.clear();
    g_flags.StageNumber = c.stage;
    EnemyObject& e = Place(320.0, 150.0, 24, c.difficulty);
    for (int f = 1; f <= c.frames.back(); ++f) Step(f);
    std::vector<int> got = ShotFrames();
    EXPECT_EQ(got, c.frames) << "stage " << c.stage << " difficulty " << c.difficulty;
    for (const Shot& s : shots_) {
      EXPECT_EQ(s.type, 9);
      EXPECT_EQ(s.speed, c.speed) << "stage " << c.stage;
    }
    EXPECT_EQ(e.in_use, 1);
  }
}

TEST_F(Type7Test, NoFireWhereThePatternHasNoInterval) {
  // HEAVEN on the extra stage: the interval formula gives 0.
  g_flags.StageNumber = 21;
  Place(320.0, 150.0, 24, 0);
  for (int f = 1; f <= 100; ++f) Step(f);
  EXPECT_TRUE(shots_.empty());
  // A difficulty outside 0-2 fires nothing either.
  ResetAllEnemies();
  g_flags.StageNumber = 1;
  Place(320.0, 150.0, 24, 3);
  for (int f = 1; f <= 100; ++f) Step(f);
  EXPECT_TRUE(shots_.empty());
}

TEST_F(Type7Test, FirstShotsLeaveAlongTheHalfTurnedTurret) {
  SetCore(320.0, 400.0);  // straight below: bearing 90
  Place(320.0, 150.0, 24);
  for (int f = 1; f <= 60; ++f) Step(f);
  ASSERT_EQ(shots_.size(), 2u);
  // Two degrees a frame from 0: 2 on the first frame, 42 on the 21st.
  const double expected[] = {2.0, 42.0};
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(shots_[i].angle, expected[i]);
    EXPECT_DOUBLE_EQ(shots_[i].x, 320.0 + 16.0 * CosDeg(expected[i]));
    EXPECT_DOUBLE_EQ(shots_[i].y, 150.0 + 16.0 * SinDeg(expected[i]));
  }
}

TEST_F(Type7Test, CloseOrLowCraftPausesItsCycle) {
  EnemyObject& e = Place(320.0, 150.0, 24);
  Step(1);  // first shot
  SetCore(350.0, 180.0);  // within 64
  for (int f = 2; f <= 50; ++f) Step(f);
  EXPECT_EQ(e.no_revenge, 1);
  SetCore(320.0, 460.0);
  for (int f = 51; f <= 80; ++f) Step(f);
  EXPECT_EQ(e.no_revenge, 0);
  // The cycle resumed where it stopped: 19 more counts to the second shot.
  EXPECT_EQ(ShotFrames(), (std::vector<int>{1, 70}));

  // At y 300 the flag is clear but the gate holds; below it the flag is set.
  ResetAllEnemies();
  shots_.clear();
  EnemyObject& low = Place(320.0, 300.0, 24);
  Step(1);
  EXPECT_EQ(low.no_revenge, 0);
  EXPECT_TRUE(shots_.empty());
  low.y = 300.5;
  Step(2);
  EXPECT_EQ(low.no_revenge, 1);
  low.y = 200.0;
  Step(3);
  EXPECT_EQ(ShotFrames(), std::vector<int>{3});  // still its first shot
}

TEST_F(Type7Test, HellRevengeBurst) {
  struct Case {
    double cy;
    double core_x, core_y;
    int difficulty_mode;
    bool bursts;
  };
  const Case cases[] = {
      {150.0, 320.0, 460.0, 2, true},
      {150.0, 340.0, 200.0, 2, false},  // within 64 of the player
      {310.0, 320.0, 460.0, 2, false},  // low on the field
      {150.0, 320.0, 460.0, 3, false},  // ACCEL
      {150.0, 320.0, 460.0, 1, false},
  };
  for (const Case& c : cases) {
    ResetAllEnemies();
    ResetAllEnemyBullets();
    g_flags.DifficultyMode = c.difficulty_mode;
    SetCore(c.core_x, c.core_y);
    EnemyObject& e = Place(320.0, c.cy, 24);
    e.x = 320.0;
    e.y = c.cy;
    UpdateEnemyType7(e);
    ResetAllEnemyBullets();
    const double aim = AngleToPlayer(e.x, e.y);
    const uint32_t serial = static_cast<uint32_t>(e.serial);
    DestroyEnemy(e);
    std::vector<EnemyBullet> fired;
    for (const EnemyBullet& b : g_enemy_bullets)
      if (b.in_use == 1) fired.push_back(b);
    if (!c.bursts) {
      EXPECT_TRUE(fired.empty()) << c.cy << " " << c.difficulty_mode;
      continue;
    }
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_DOUBLE_EQ(fired[0].angle, aim - 2.5);
    EXPECT_DOUBLE_EQ(fired[1].angle, aim + 2.5);
    for (const EnemyBullet& b : fired) {
      EXPECT_EQ(b.type, 1);
      EXPECT_EQ(b.speed, 4.0);
      EXPECT_EQ(b.owner, serial);
      EXPECT_EQ(b.centre_x, 320.0);
      EXPECT_EQ(b.centre_y, c.cy);
    }
  }
}

}  // namespace
