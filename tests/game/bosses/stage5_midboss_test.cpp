#include "bosses/stage5_midboss.h"

#include <cmath>
#include <string>

#include "boss_fixture.h"

class Stage5MidBossTest : public BossTest {
 protected:
  void SetUp() override {
    BossTest::SetUp();
    EnableMusic();
  }
  void Spawn(int difficulty) { SpawnAt(120, 540, 100, difficulty); }
  void SpawnToPhase1(int difficulty) {
    Spawn(difficulty);
    ASSERT_LT(RunUntilState(1, 400), 400);
  }
};

TEST_F(Stage5MidBossTest, SlidesInBrakingOnVelocityAloneThenSettlesAtItsPostUnhurt) {
  Spawn(1);
  EnemyObject& e = Boss();
  // The same sums in the same order: the slide ends on the first frame on
  // which vx is no longer below 0, after 80 brakes of 0.15.
  double x = e.x, vx = 0.0;
  int slide_frames = 0;
  for (int frame = 1; frame <= 200 && e.move_state == 0; ++frame) {
    ShotOverBoss(500);
    Frame();
    x += vx;
    vx = frame == 1 ? -12.0 + 0.15 : vx + 0.15;
    slide_frames = frame;
    if (e.move_state == 0) {
      ASSERT_EQ(e.vx, vx) << frame;
      ASSERT_EQ(e.x, x) << frame;
    }
    EXPECT_EQ(e.phase_hp[0], 50000);
  }
  EXPECT_EQ(slide_frames, 81);
  EXPECT_EQ(e.vx, 0.0);
  // Braked to a stop it heads for its post at 3.
  EXPECT_EQ(e.move_state, 20);
  EXPECT_EQ(Type120ApproachSpeed(e), 3);
  int frames = 0;
  while (e.life_state == 0 && frames < 200) {
    ShotOverBoss(500);
    Frame();
    ++frames;
    if (e.life_state == 0) {
      EXPECT_EQ(e.phase_hp[0], 50000);
      EXPECT_LE(std::hypot(e.vx, e.vy), 3.0 + 1e-9);
    }
  }
  ASSERT_EQ(e.life_state, 1);
  EXPECT_EQ(e.x, 320.0);
  EXPECT_EQ(e.y, 100.0);
  EXPECT_EQ(e.move_state, 1);
  EXPECT_EQ(Type120TurretMode(e), 3);
  EXPECT_EQ(e.state_timer, 0);
  // Hit on the very frame the phase begins.
  EXPECT_EQ(e.phase_hp[0], 49500);
  g_player_shots[0].alive = 0;
}

TEST_F(Stage5MidBossTest, PhaseOnePatternASweepsTheTurretTwiceThenFallsSilent) {
  struct Case {
    int difficulty;
    int count;
    double step;
    bool second_fan;
  };
  for (const Case& c : {Case{0, 4, 21, false}, Case{1, 6, 19, false}, Case{2, 6, 19, true}}) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    const auto volleys = Record(280, {0, 10});
    ASSERT_EQ(volleys.size(), 32u);
    double previous = 0.0;  // the turret angle before the first volley
    for (int i = 0; i < 32; ++i) {
      const Volley& v = volleys[i];
      const int s0 = i % 16;
      const double a0 = i < 16 ? 12.0 * s0 : 180.0 - 12.0 * s0;
      EXPECT_EQ(v.t, 61 + 5 * i);
      EXPECT_EQ(v.se81, 1);
      const auto ring = OfType(v.shots, 10);
      ASSERT_EQ(static_cast<int>(ring.size()), c.count) << i;
      EXPECT_NEAR(MeanAngle(ring), a0, 1e-9) << i;
      EXPECT_NEAR(ring[1].angle - ring[0].angle, c.step, 1e-9);
      EXPECT_EQ(ring[0].speed, s0 / 5.0 + 1.0) << i;
      // Fired from the muzzle as it stood when the frame began.
      EXPECT_NEAR(ring[0].x, v.boss_x + 40.0 * CosDeg(previous), 1e-9) << i;
      EXPECT_NEAR(ring[0].y, v.boss_y - 16.0 + 40.0 * SinDeg(previous), 1e-9) << i;
      previous = a0;
      const auto inner = OfType(v.shots, 0);
      EXPECT_EQ(inner.size(), c.second_fan ? 6u : 0u);
      if (c.second_fan) {
        EXPECT_EQ(inner[0].speed, s0 / 5.0 + 2.0);
        EXPECT_NEAR(MeanAngle(inner), a0, 1e-9);
      }
    }
    EXPECT_EQ(Boss().move_state, 20);  // frame 279: back to the post, slowly
    EXPECT_EQ(Type120ApproachSpeed(Boss()), 1);
  }
}

TEST_F(Stage5MidBossTest, TheLungeRunsItsCourseBeforePatternBAndTheTurretRests) {
  SpawnToPhase1(1);
  RunToStep(1, 1);
  EnemyObject& e = Boss();
  EXPECT_EQ(e.move_state, 2);
  EXPECT_EQ(Type120TurretMode(e), 2);
  // vy 3.0 at the start, 0.04 less each frame, to a stop.
  double vy = 3.0;
  int lunge = 0;
  const double y0 = e.y;
  while (BossPatternStep(e, 1) == 1 && lunge < 200) {
    Frame();
    EXPECT_TRUE(TakeShots().empty()) << lunge;
    EXPECT_EQ(e.state_timer, 0);
    ++lunge;
    if (e.move_state == 2) {
      vy -= 0.04;
      ASSERT_EQ(e.vy, vy) << lunge;
    }
  }
  EXPECT_EQ(lunge, 75);
  EXPECT_NEAR(e.y - y0, 111.0, 0.5);
  EXPECT_EQ(Type120TurretMode(e), -2);
  EXPECT_EQ(e.turn_angles[0], 90);
  EXPECT_EQ(e.move_state, 1);
  // Pattern B begins on the very next frame, at the step's frame 0.
  const auto first = Record(1, {4});
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].t, 0);
}

TEST_F(Stage5MidBossTest, PhaseOnePatternBDropsInPairsAndSpraysUpFromAlternateSides) {
  struct Case {
    int difficulty;
    int interval;
    size_t fan0;
    int sprays;
  };
  for (const Case& c : {Case{0, 25, 1, 4}, Case{1, 15, 1, 8}, Case{2, 15, 3, 8}}) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    RunToStep(1, 2);
    const auto volleys = Record(570);
    std::vector<int> drops, sprays;
    std::vector<double> spray_x;
    for (const Volley& v : volleys) {
      if (!OfType(v.shots, 4).empty()) {
        drops.push_back(v.t);
        const auto d = OfType(v.shots, 4);
        ASSERT_EQ(d.size(), 2u);
        EXPECT_EQ(d[0].x, v.boss_x - 112);
        EXPECT_EQ(d[1].x, v.boss_x + 112);
        EXPECT_EQ(d[0].speed, 1.2);
        ASSERT_EQ(OfType(v.shots, 0).size(), 2 * c.fan0);
      }
      for (const Shot& b : OfType(v.shots, 28)) {
        sprays.push_back(v.t);
        spray_x.push_back(b.x - v.boss_x);
        EXPECT_GE(b.angle, 241.0);
        EXPECT_LE(b.angle, 299.0);
        EXPECT_EQ(b.speed, 1.5);
      }
    }
    // Two volleys, two silent beats.
    ASSERT_GE(drops.size(), 4u);
    EXPECT_EQ(drops[0], 0);
    EXPECT_EQ(drops[1], c.interval);
    EXPECT_EQ(drops[2], 4 * c.interval);
    EXPECT_EQ(drops[3], 5 * c.interval);
    // L sprays every 4 frames in beats of 15, from gun 5, then gun 6.
    ASSERT_GT(static_cast<int>(sprays.size()), c.sprays);
    EXPECT_EQ(sprays[c.sprays - 1], 4 * (c.sprays - 1));
    EXPECT_EQ(sprays[c.sprays], 60);
    EXPECT_EQ(spray_x[0], -100.0);
    EXPECT_EQ(spray_x[c.sprays], 100.0);
  }
}

TEST_F(Stage5MidBossTest, PhaseOnePatternCHeavyShotsAlternateAndBurstsFollowTheTurret) {
  SpawnToPhase1(2);
  RunToStep(1, 4);
  EnemyObject& e = Boss();
  EXPECT_EQ(Type120TurretMode(e), 1);
  std::vector<Shot> heavy;
  int bursts = 0;
  for (int i = 0; i < 860; ++i) {
    const int t = e.state_timer;
    Frame();
    const auto shots = TakeShots();
    for (const Shot& b : OfType(shots, 30)) {
      const int n = static_cast<int>(heavy.size());
      heavy.push_back(b);
      EXPECT_EQ(t, 61 + 90 * n);
      EXPECT_EQ(b.x - e.x, n % 2 == 1 ? 112.0 : -112.0);
      EXPECT_EQ(b.param1, n % 2 == 1 ? 0.0 : 1.0);
      EXPECT_EQ(b.param2, 3.0 * n);
      EXPECT_EQ(b.angle, 90.0);
      EXPECT_EQ(b.speed, 2.5);
    }
    const auto fan = OfType(shots, 7);
    if (fan.empty()) continue;
    EXPECT_EQ((t - 61) % 20, 0);
    ASSERT_EQ(fan.size(), 7u);
    // From the turning turret's muzzle, centred on its angle give or take 4.
    const int a0 = e.turn_angles[0];
    EXPECT_EQ(e.gun_angle[0], a0);
    EXPECT_LE(std::fabs(MeanAngle(fan) - a0), 4.0);
    EXPECT_NEAR(fan[0].x, e.pod_x[0] + 40.0 * CosDeg(a0), 1e-9);
    EXPECT_NEAR(fan[1].angle - fan[0].angle, 20.0, 1e-9);
    ++bursts;
  }
  EXPECT_EQ(heavy.size(), 9u);  // 61, 151, ... 781
  EXPECT_EQ(bursts, 37);        // 61, 81, ... 781
  EXPECT_EQ(BossPatternStep(e, 1), 0);
}

TEST_F(Stage5MidBossTest, TheBreakPaysGoesHomeWithTheTurretAtRestThenPhaseTwo) {
  SpawnToPhase1(1);
  RunToStep(1, 4);
  EnemyObject& e = Boss();
  e.turn_angles[0] = 300;  // far from rest: the wait is the turret's
  e.phase_hp[0] = 0;
  ASSERT_LT(RunUntilState(2, 3), 3);
  Frame();
  EXPECT_EQ(GetPlayerScore(), 150000);
  EXPECT_EQ(g_bullet_cancels[0].frames_total, 10);
  EXPECT_EQ(Type120ApproachSpeed(e), 2);
  // The turret still tracked on that frame; from here it turns to rest.
  const int from = e.turn_angles[0];
  ASSERT_GT(from, 270);
  int frames = 1;
  while (e.life_state == 2 && frames < 200) {
    ShotOverBoss(500);
    Frame();
    ++frames;
  }
  g_player_shots[0].alive = 0;
  ASSERT_EQ(e.life_state, 3);
  EXPECT_EQ(e.phase_hp[1], 24000 - 500);  // hit from the phase's first frame only
  // The short way, through 0, by 3 a frame: the wait is the turret's.
  EXPECT_EQ(frames, 1 + (360 - from + 90) / 3);
  EXPECT_EQ(e.turn_angles[0], 90);
  EXPECT_EQ(Type120TurretMode(e), 3);
  EXPECT_EQ(e.move_state, 1);
}

TEST_F(Stage5MidBossTest, PhaseTwoDropsAlternatelyAndTurnsItsRingsWithTheTurret) {
  struct Case {
    int difficulty;
    int drop, ring;
    size_t fives, fours;
    double speed5;
  };
  for (const Case& c :
       {Case{0, 60, 9, 3, 3, 2.0}, Case{1, 50, 5, 4, 4, 3.0}, Case{2, 40, 5, 6, 12, 3.5}}) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    Boss().phase_hp[0] = 0;
    ASSERT_LT(RunUntilState(3, 300), 300);
    const auto volleys = Record(400);
    std::vector<int> drops, rings;
    int turret_before = -1;
    for (const Volley& v : volleys) {
      for (const Shot& b : OfType(v.shots, 29)) {
        EXPECT_EQ(b.x - v.boss_x, drops.size() % 2 == 1 ? 112.0 : -112.0);
        EXPECT_EQ(b.angle, 90.0);
        drops.push_back(v.t);
      }
      const auto fives = OfType(v.shots, 5);
      if (!fives.empty()) {
        const int s10 = static_cast<int>(rings.size());
        ASSERT_EQ(fives.size(), c.fives);
        ASSERT_EQ(OfType(v.shots, 4).size(), c.fours);
        EXPECT_EQ(fives[0].angle, -11.0 * s10 + 45.0);
        EXPECT_EQ(fives[0].speed, c.speed5);
        rings.push_back(v.t);
      }
    }
    ASSERT_GE(drops.size(), 3u);
    EXPECT_EQ(drops[0], 101);
    EXPECT_EQ(drops[1], 101 + c.drop);
    ASSERT_GE(rings.size(), 3u);
    // From the stream's own frame 91, every M.
    EXPECT_EQ(rings[0], 101 + (91 + c.ring - 1) / c.ring * c.ring);
    EXPECT_EQ(rings[1] - rings[0], c.ring);
    // The turret turned 11 with each ring.
    turret_before = Boss().turn_angles[0];
    Record(c.ring);
    EXPECT_EQ((Boss().turn_angles[0] - turret_before + 360) % 360, 11);
  }
}

TEST_F(Stage5MidBossTest, DeathPaysAndOpensTheGateButLeavesTheMusicPlaying) {
  SpawnToPhase1(1);
  Boss().phase_hp[0] = 0;
  ASSERT_LT(RunUntilState(3, 300), 300);
  Boss().phase_hp[1] = 0;
  ASSERT_LT(RunUntilState(8, 3), 3);
  const int score = GetPlayerScore();
  int frames = 0, halts = 0, starts = 0, flashes = 0;
  while (Boss().in_use == 1 && frames < 300) {
    Frame();
    halts += MusicHalts();
    starts += static_cast<int>(MusicStarted().size());
    flashes += CountExplosions(110);
    ++frames;
  }
  EXPECT_EQ(frames, 131);
  EXPECT_EQ(GetPlayerScore() - score, 72000);
  EXPECT_EQ(halts, 0);
  EXPECT_EQ(starts, 0);
  EXPECT_EQ(flashes, 0);
  EXPECT_EQ(GetMidBossDownFlag(), 1);
  EXPECT_EQ(BossFightFlag(-1), 0);
  int items = 0;
  for (const Item& it : g_items) items += it.in_use == 1;
  EXPECT_EQ(items, 36);
}

// The time limit runs from the spawn: after it, the mid-boss climbs away
// unpaid and the gate stays shut.
TEST_F(Stage5MidBossTest, AfterItsTimeLimitItClimbsAwayUnpaidAndTheGateStaysShut) {
  Spawn(1);
  int frames = 0;
  while (Boss().in_use == 1 && Boss().mid_boss_timer > 0 && frames < 4000) {
    Frame();
    ResetAllEnemyBullets();
    ++frames;
  }
  EXPECT_EQ(frames, 3200);
  const int serial = Boss().serial;
  int left = 0;
  while (Boss().in_use == 1 && Boss().serial == serial && left < 2000) {
    Frame();
    ResetAllEnemyBullets();
    ++left;
  }
  EXPECT_LT(left, 2000);
  EXPECT_EQ(Boss().in_use, 0);
  EXPECT_EQ(GetPlayerScore(), 0);
  EXPECT_EQ(GetMidBossDownFlag(), 0);
  int items = 0;
  for (const Item& it : g_items) items += it.in_use == 1;
  EXPECT_EQ(items, 0);
  EXPECT_EQ(BossFightFlag(-1), 0);
}

TEST_F(Stage5MidBossTest, TheClimbWaitsForTheLungeAndTheMoveHomeButAddsUpInWaits) {
  // Timed out mid-lunge: the lunge keeps its own speeds to the end.
  SpawnToPhase1(1);
  RunToStep(1, 1);
  EnemyObject& e = Boss();
  Frame();
  e.mid_boss_timer = 0;
  double vy = e.vy;
  while (e.move_state == 2) {
    Frame();
    if (e.move_state == 2) {
      vy -= 0.04;
      ASSERT_EQ(e.vy, vy);
    }
  }
  EXPECT_EQ(Type120ClimbSpeed(e), -1.0);
  Frame();  // swaying now, one pixel a frame upward on top
  EXPECT_NEAR(e.vy, -1.0, 0.2 + 1e-9);

  // Timed out in the break, where it waits at its post for the turret: the
  // climb is added to a velocity nothing resets, so it grows every frame.
  ResetAllEnemies();
  SpawnToPhase1(1);
  RunToStep(1, 4);
  Boss().turn_angles[0] = 270;
  Boss().phase_hp[0] = 0;
  ASSERT_LT(RunUntilState(2, 3), 3);
  Boss().mid_boss_timer = 0;
  ASSERT_LT(RunUntil([&] { return Boss().move_state == -20; }, 100), 100);
  std::vector<double> vys;
  for (int i = 0; i < 10 && Boss().in_use == 1; ++i) {
    Frame();
    vys.push_back(Boss().vy);
  }
  ASSERT_EQ(vys.size(), 10u);
  for (size_t i = 1; i < vys.size(); ++i) EXPECT_EQ(vys[i] - vys[i - 1], -1.0) << i;
  // Off the top long before the turret rests.
  const int gone = RunUntil([] { return false; }, 200);
  EXPECT_LT(gone, 40);
  EXPECT_EQ(Boss().in_use, 0);
}

// Ending a phase on any frame of its cycle leads through the break and the
// death to the removal.
TEST_F(Stage5MidBossTest, EndingEachPhaseAtManyFramesAlwaysFinishesTheFight) {
  for (int phase = 1; phase <= 2; ++phase) {
    for (int k = 0; k < 2200; k += phase == 1 ? 37 : 97) {
      SCOPED_TRACE(std::to_string(phase) + "/" + std::to_string(k));
      ResetPools();
      SpawnToPhase1(k % 3);
      Boss().mid_boss_timer = 100000;  // the limit is tested on its own
      if (phase == 2) {
        Boss().phase_hp[0] = 0;
        ASSERT_LT(RunUntilState(3, 300), 300);
      }
      RunFrames(k);
      ASSERT_EQ(Boss().life_state, phase == 1 ? 1 : 3);
      Boss().phase_hp[phase - 1] = 0;
      if (phase == 1) {
        ASSERT_LT(RunUntilState(3, 300), 300);
        Boss().phase_hp[1] = 0;
      }
      ASSERT_LT(RunUntilState(8, 3), 3);
      const int frames = RunUntil([] { return false; }, 300);
      EXPECT_EQ(frames, 131);
      EXPECT_EQ(GetMidBossDownFlag(), 1);
    }
  }
}
