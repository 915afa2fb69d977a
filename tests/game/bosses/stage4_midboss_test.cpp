#include "bosses/stage4_midboss.h"

#include <cmath>
#include <string>

#include "boss_fixture.h"
#include "play/items.h"
#include "play/stage.h"

class Stage4MidBossTest : public BossTest {
 protected:
  void SetUp() override {
    BossTest::SetUp();
    ParkPlayer(320, 400);
  }
  void SpawnToPhase1(int difficulty) {
    SpawnAt(110, 180, -88, difficulty);
    RunUntilState(1);
    ASSERT_EQ(Boss().life_state, 1);
    TakeShots();
  }
  // Into phase 2 by emptying phase 1; the break is the frame after.
  void ToPhase2() {
    Boss().phase_hp[0] = 0;
    ASSERT_LT(RunUntilState(3, 5), 5);
  }
  int& A(int turret) { return Type110TurretAngle(Boss(), turret); }
};

TEST_F(Stage4MidBossTest, TheApproachBrakesToAFloorAndPhaseOneComesSixtyFramesAfterArrival) {
  // Spawned high enough that the brake reaches its floor before the post.
  g_flags.DifficultyMode = 1;
  ASSERT_EQ(SpawnEnemy(180, -400, 110, 0), 0);
  EnemyObject& e = Boss();
  std::vector<double> speeds;
  int arrival = -1, phase1 = -1;
  for (int frame = 1; frame <= 600 && phase1 < 0; ++frame) {
    ShotAt(e.x, e.y - 16, 500);
    Frame();
    if (arrival < 0) speeds.push_back(Type110ApproachSpeed(e));
    if (arrival < 0 && BossEntryStep(e) == 0) {
      // The move's speed toward the post, plus the same again downward.
      EXPECT_EQ(e.vy, 2 * speeds.back()) << frame;
      EXPECT_EQ(Type110TopTurretMode(e), kType110TurretTrack);
      EXPECT_EQ(Type110SideTurretMode(e), kType110TurretTrack);
    }
    if (arrival < 0 && BossEntryStep(e) == 1) {
      arrival = frame;
      EXPECT_EQ(e.x, 320.0);
      EXPECT_EQ(e.y, 100.0);
      EXPECT_EQ(e.vy, 0.0);
      EXPECT_EQ(Type110ApproachSpeed(e), 0.0);
      EXPECT_EQ(e.move_state, 1);
    }
    if (e.life_state == 1) {
      phase1 = frame;
      EXPECT_EQ(e.state_timer, 0);
    } else {
      EXPECT_EQ(e.phase_hp[0], 28000) << frame;
    }
    EXPECT_EQ(e.collision_class, 0);
  }
  ASSERT_GT(arrival, 0);
  EXPECT_EQ(phase1, arrival + 60);
  EXPECT_EQ(speeds[0], 4.0);
  EXPECT_NEAR(speeds[1], 3.92, 1e-12);
  // Down by 0.08 a frame; once at most 0.5 it holds 0.5.
  for (size_t i = 1; i + 1 < speeds.size(); ++i) {
    if (speeds[i - 1] <= 0.5)
      EXPECT_EQ(speeds[i], 0.5) << i;
    else
      EXPECT_NEAR(speeds[i - 1] - speeds[i], 0.08, 1e-12) << i;
  }
  EXPECT_EQ(speeds[speeds.size() - 2], 0.5);
  NoShot();
  // Shots land from the first frame of phase 1.
  ShotAt(e.x, e.y - 16, 500);
  Frame();
  EXPECT_LT(e.phase_hp[0], 28000);
}

TEST_F(Stage4MidBossTest, PhaseOnePatternAFiresFiveFansFromEachSideTurretAndSpeedsUpByHalves) {
  struct Case {
    int difficulty;
    size_t bullets;
    std::vector<double> speeds;  // of volley 0, in firing order of a pair
    double count;
  };
  const Case cases[] = {{0, 30, {1.8}, 3}, {1, 50, {2.0}, 5}, {2, 100, {2.3, 2.8}, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    auto volleys = Record(180, {7});
    ASSERT_EQ(Times(volleys), (std::vector<int>{0, 50, 100}));
    EXPECT_EQ(BossPatternStep(Boss(), 1), 1);
    for (int n = 0; n < 3; ++n) {
      const Volley& v = volleys[n];
      ASSERT_EQ(v.shots.size(), c.bullets);
      const size_t fan = static_cast<size_t>(c.count);
      const double aim0 = AngleToPlayer(v.gun_x[0], v.gun_y[0]);
      const double aim1 = AngleToPlayer(v.gun_x[1], v.gun_y[1]);
      // The first pair points 60 degrees anticlockwise of each turret's aim.
      EXPECT_EQ(v.shots[0].x, v.gun_x[0]);
      EXPECT_NEAR(v.shots[0].angle, aim0 - 60 - (c.count - 1) * 2, 1e-9);
      EXPECT_EQ(v.shots[fan].x, v.gun_x[1]);
      EXPECT_NEAR(v.shots[fan].angle, aim1 - 60 - (c.count - 1) * 2, 1e-9);
      EXPECT_NEAR(v.shots[1].angle - v.shots[0].angle, 4.0, 1e-9);
      for (size_t k = 0; k < c.speeds.size(); ++k)
        EXPECT_EQ(v.shots[2 * fan * k].speed, c.speeds[k] + n / 2.0) << n;
      // The last fan is the +60 one.
      EXPECT_NEAR(v.shots.back().angle, aim1 + 60 + (c.count - 1) * 2, 1e-9);
    }
  }
}

TEST_F(Stage4MidBossTest, PhaseOnePatternBBurstsFromEachTurretInTurnWithTheTopAddingFans) {
  struct Case {
    int difficulty;
    int volleys;         // per turret
    size_t side, top;    // bullets of a side turret's volley and of the top's
    double first_speed;  // first fan's speed at volley 0
  };
  const Case cases[] = {{0, 15, 5, 7, 2.0}, {1, 20, 5, 7, 2.0}, {2, 20, 7, 11, 2.4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    Record(180);
    ASSERT_EQ(BossPatternStep(Boss(), 1), 1);
    auto volleys = Record(240, {0});
    ASSERT_EQ(volleys.size(), static_cast<size_t>(3 * c.volleys));
    EXPECT_EQ(BossPatternStep(Boss(), 1), 2);
    EXPECT_EQ(Type110SideTurretMode(Boss()), kType110TurretToRest);
    for (int turn = 0; turn < 3; ++turn) {
      const Volley& first = volleys[turn * c.volleys];
      EXPECT_EQ(first.t, 60 * turn);
      EXPECT_EQ(volleys[turn * c.volleys + c.volleys - 1].t, 60 * turn + 3 * (c.volleys - 1));
      const double aim = AngleToPlayer(first.gun_x[turn], first.gun_y[turn]);
      for (int n = 0; n < c.volleys; ++n) {
        const Volley& v = volleys[turn * c.volleys + n];
        ASSERT_EQ(v.shots.size(), turn == 2 ? c.top : c.side) << n;
        EXPECT_EQ(v.shots[0].x, v.gun_x[turn]);
        EXPECT_EQ(v.shots[0].y, v.gun_y[turn]);
        EXPECT_EQ(v.shots[0].speed, c.first_speed + n / 2.0);
      }
      // The aim is taken on the turn's first volley and kept through it.
      const Volley& last = volleys[turn * c.volleys + c.volleys - 1];
      const size_t wide = c.difficulty == 2 ? 3 : 1;  // the second fan's first bullet
      EXPECT_NEAR(first.shots[wide].angle, aim - 150.0, 1e-9);
      const int n = c.volleys - 1;
      EXPECT_NEAR(last.shots[wide].angle, aim - 1.5 * (100 - 4 * n), 1e-9);
    }
  }
}

TEST_F(Stage4MidBossTest, PatternCWaitsForBothSideTurretsAtRestThenSweepsThemOut) {
  struct Case {
    int difficulty;
    int interval;
    double step;
    size_t per_volley;  // stream 1
    size_t burst;       // stream 2, per volley
    int burst_volleys;
  };
  const Case cases[] = {{0, 8, 5, 8, 5, 6}, {1, 4, 10, 8, 5, 10}, {2, 4, 10, 12, 10, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    Record(420);
    ASSERT_EQ(BossPatternStep(Boss(), 1), 2);
    // The right turret is sent the long way round to 0.
    A(1) = 90;
    A(2) = 181;
    int wait = 0;
    while (BossPatternStep(Boss(), 1) == 2 && wait < 200) {
      Frame();
      EXPECT_TRUE(TakeShots().empty());
      ++wait;
    }
    EXPECT_GE(wait, 59);
    EXPECT_EQ(Boss().state_timer, 0);
    EXPECT_EQ(A(1), 90);
    EXPECT_EQ(A(2), 0);
    EXPECT_EQ(Type110SideTurretMode(Boss()), kType110TurretHeld);

    std::vector<Volley> sweeps, bursts;
    for (Volley& v : Record(460)) {
      if (CountOf(v.shots, 0) > 0) sweeps.push_back(v);
      if (CountOf(v.shots, 10) > 0) bursts.push_back(v);
    }
    for (Volley& v : bursts) {
      std::vector<Shot> kept;
      for (const Shot& x : v.shots)
        if (x.type == 10) kept.push_back(x);
      v.shots = kept;
    }
    ASSERT_GE(sweeps.size(), 2u);
    EXPECT_EQ(sweeps[0].t, 61);
    EXPECT_EQ(sweeps[1].t, 61 + c.interval);
    const auto& s0 = sweeps[0].shots;
    ASSERT_EQ(s0.size(), c.per_volley);
    EXPECT_EQ(CountOf(sweeps[1].shots, 0), static_cast<int>(c.per_volley));
    const size_t fan = c.per_volley / 4;
    // From exactly 90 (left) and 0 (right), then 14 further out a volley.
    const double half = (fan - 1) * c.step / 2;
    EXPECT_NEAR(s0[0].angle, 90 - half, 1e-9);
    EXPECT_NEAR(s0[fan].angle, 0 - half, 1e-9);
    EXPECT_EQ(s0[0].speed + 1.0, s0[2 * fan].speed);
    EXPECT_NEAR(sweeps[1].shots[0].angle, 76 - half, 1e-9);
    EXPECT_NEAR(sweeps[1].shots[fan].angle, 14 - half, 1e-9);

    ASSERT_GE(static_cast<int>(bursts.size()), 2 * c.burst_volleys);
    // On the counter's multiples of 5 from 101 on, in bursts of 16 beats.
    EXPECT_EQ(bursts[0].t, 61 + 105);
    EXPECT_EQ(bursts[1].t, 61 + 110);
    EXPECT_EQ(bursts[c.burst_volleys - 1].t, 61 + 105 + 5 * (c.burst_volleys - 1));
    EXPECT_EQ(bursts[c.burst_volleys].t, 61 + 105 + 80);
    ASSERT_EQ(bursts[0].shots.size(), c.burst);
    EXPECT_EQ(bursts[0].shots[0].x, bursts[0].gun_x[2]);
    if (c.difficulty == 2) {
      // The extra fans lean -4, then +4 on the next burst.
      const double aim = bursts[0].shots[0].angle + 20;
      EXPECT_NEAR(bursts[0].shots[5].angle, aim - 4 - 20, 1e-9);
      const double aim1 = bursts[c.burst_volleys].shots[0].angle + 20;
      EXPECT_NEAR(bursts[c.burst_volleys].shots[5].angle, aim1 + 4 - 20, 1e-9);
    }
    // Tracking again from frame 800; the step ends after 900.
    RunWhile([&] { return Boss().state_timer < 801; });
    EXPECT_EQ(Type110SideTurretMode(Boss()), kType110TurretTrack);
    RunWhile([&] { return BossPatternStep(Boss(), 1) == 3; });
    EXPECT_EQ(Boss().state_timer, 0);
    EXPECT_EQ(BossPatternStep(Boss(), 1), 0);
  }
}

TEST_F(Stage4MidBossTest, TheBreakBlowsOffTheSideTurretsInOneFrameAndPays) {
  SpawnToPhase1(1);
  EnemyObject& e = Boss();
  // Both side turrets take shots in phase 1.
  ShotAt(e.x - 100, e.y + 48, 100);
  Frame();
  EXPECT_EQ(e.phase_hp[0], 28000 - 100);
  NoShot();
  e.phase_hp[0] = 0;
  Frame();
  ASSERT_EQ(e.life_state, 2);
  ResetAllExplosions();
  const uint32_t seed = RandomSeed;
  const double x = e.x + e.vx, y = e.y + e.vy;
  Frame();
  EXPECT_EQ(e.life_state, 3);
  EXPECT_EQ(e.state_timer, 0);
  EXPECT_EQ(Type110BreakDone(e), 1);
  EXPECT_EQ(e.script_words[1], 1);  // the look without side turrets
  EXPECT_EQ(Type110TopTurretMode(e), kType110TurretToRest);
  EXPECT_EQ(CountSound(21), 1);
  EXPECT_EQ(GetPlayerScore(), 84000);
  EXPECT_EQ(g_bullet_cancels[0].frames_total, 10);
  EXPECT_EQ(CountExplosions(52), 18 + 2);
  EXPECT_EQ(CountExplosions(122), 12);
  // Each bit of debris draws its speed and then its angle.
  EXPECT_EQ(DrawsBetween(seed, RandomSeed), 24);
  int drifting = 0, tenths = 0;
  for (const Explosion& x52 : g_explosions) {
    if (x52.in_use != 1) continue;
    if (x52.kind == 122) {
      EXPECT_EQ(x52.param1, 0.0);  // plain debris, drawn at scale 1
      EXPECT_NEAR(std::abs(x52.x - x), 120.0, 32.0 + 1e-9);
      // RandomInt(40) / 10 + 1 divides as reals: 1.0 to 4.9.
      const double speed = std::hypot(x52.vx, x52.vy);
      EXPECT_GE(speed, 1.0 - 1e-9);
      EXPECT_LE(speed, 4.9 + 1e-9);
      tenths += std::abs(speed - std::round(speed)) > 0.05 ? 1 : 0;
    }
    if (x52.kind == 52 && x52.y == y && std::abs(x52.x - x) == 120.0) ++drifting;
  }
  EXPECT_EQ(drifting, 2);
  EXPECT_GT(tenths, 6);
  // The side turrets' boxes are gone.
  ShotAt(e.x - 100, e.y + 48, 100);
  Frame();
  EXPECT_EQ(e.phase_hp[1], 20000);
  ShotAt(e.x, e.y - 16, 100);
  Frame();
  EXPECT_EQ(e.phase_hp[1], 20000 - 100);
}

TEST_F(Stage4MidBossTest, PhaseTwoFiresFromFrame101WithTheTopTurretSweepingTheBottom) {
  struct Case {
    int difficulty;
    int interval;
    size_t fans;  // type-4 bullets a volley
    int sweep;
    size_t sweep_bullets;
  };
  const Case cases[] = {{0, 20, 9, 6, 2}, {1, 15, 13, 3, 4}, {2, 15, 26, 3, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    ToPhase2();
    auto volleys = Record(102 + 2 * c.interval);
    ASSERT_FALSE(volleys.empty());
    EXPECT_EQ(volleys[0].t, 101);
    // The top turret has swung to rest, straight down, by then.
    EXPECT_EQ(Type110TopTurretMode(Boss()), kType110TurretAtRest);
    std::vector<int> fan_times;
    for (const Volley& v : volleys) {
      const int fans = CountOf(v.shots, 4);
      if (fans > 0) {
        fan_times.push_back(v.t);
        EXPECT_EQ(static_cast<size_t>(fans), c.fans);
        EXPECT_EQ(v.shots[0].y, v.gun_y[3]);
      }
      const int sweeps = CountOf(v.shots, 7);
      EXPECT_EQ(sweeps, (v.t - 101) % c.sweep == 0 ? static_cast<int>(c.sweep_bullets) : 0);
    }
    EXPECT_EQ(fan_times, (std::vector<int>{101, 101 + c.interval, 101 + 2 * c.interval}));
    // Sweep volley 1 sets the top turret to sin(13) x 60 + 90, cut to 103.
    const auto& second = volleys[1].shots;
    const Shot* sweep = nullptr;
    for (const Shot& s : second)
      if (s.type == 7 && sweep == nullptr) sweep = &s;
    ASSERT_NE(sweep, nullptr);
    EXPECT_NEAR(sweep->angle, 103 - 1.5, 1e-9);
  }
}

TEST_F(Stage4MidBossTest, OutOfTimeItClimbsAwayUnpaidAndLeavesTheGateShut) {
  SpawnToPhase1(2);
  EnemyObject& e = Boss();
  e.mid_boss_timer = 1;
  Frame();
  ASSERT_EQ(e.mid_boss_timer, 0);
  const double y0 = e.y;
  // Phase 1's patterns go on while it climbs.
  auto volleys = Record(60);
  EXPECT_FALSE(volleys.empty());
  EXPECT_EQ(Type110ApproachSpeed(e), -1.0);
  EXPECT_LT(e.y, y0 - 50);
  // Phase 2 fires nothing once the time is out.
  ToPhase2();
  EXPECT_TRUE(Record(50).empty());
  ASSERT_EQ(e.life_state, 3);
  const int frames = RunWhile([] { return true; }, 400);
  EXPECT_LT(frames, 400);
  EXPECT_EQ(e.in_use, 0);
  EXPECT_EQ(GetPlayerScore(), 84000);  // the break's pay only
  EXPECT_EQ(ItemsAlive(), 0);
  EXPECT_EQ(GetMidBossDownFlag(), 0);
  EXPECT_EQ(BossFightFlag(-1), 0);
}

TEST_F(Stage4MidBossTest, ShotDownItPaysDropsOpensTheGateAndLeavesTheMusicOn) {
  SpawnToPhase1(0);
  ToPhase2();
  const int score = GetPlayerScore();
  Boss().phase_hp[1] = 0;
  ASSERT_LT(RunUntilState(8, 3), 3);
  int frames = 0, halts = 0;
  while (Boss().in_use == 1 && frames < 300) {
    Frame();
    halts += static_cast<int>(kesto_fake::CallsNamed("HaltMusic").size());
    ++frames;
  }
  EXPECT_EQ(frames, 131);
  EXPECT_EQ(halts, 0);
  EXPECT_EQ(GetPlayerScore(), score + 60000);
  EXPECT_EQ(ItemsAlive(), 36);
  EXPECT_EQ(GetMidBossDownFlag(), 1);
  EXPECT_EQ(BossFightFlag(-1), 0);
}

// Ending a phase on any frame of its cycle leads on to the mid-boss's
// destruction; the frames cover every step and the wait for the turrets.
TEST_F(Stage4MidBossTest, EndingEachPhaseAtManyFramesAlwaysReachesTheEnd) {
  for (int phase = 1; phase <= 2; ++phase) {
    for (int k = 0; k < 1500; k += phase == 1 ? 23 : 61) {
      SCOPED_TRACE(std::to_string(phase) + "/" + std::to_string(k));
      ResetPools();
      ResetStageObject();
      BossFightFlag(0);
      SpawnToPhase1(k % 3);
      if (phase == 2) ToPhase2();
      RunFrames(k);
      ASSERT_EQ(Boss().life_state, phase == 1 ? 1 : 3);
      Boss().phase_hp[phase - 1] = 0;
      if (phase == 1) {
        ASSERT_LT(RunUntilState(3, 5), 5);
        Boss().phase_hp[1] = 0;
      }
      ASSERT_LT(RunUntilState(8, 5), 5);
      const int frames = RunWhile([] { return true; }, 300);
      EXPECT_EQ(frames, 131);
      EXPECT_EQ(GetMidBossDownFlag(), 1);
    }
  }
}
