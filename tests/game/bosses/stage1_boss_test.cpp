#include <cmath>
#include <map>
#include <set>

#include "boss_fixture.h"
#include "play/stage_clear.h"

class Stage1BossTest : public BossTest {
 protected:
  void Spawn(int difficulty) { SpawnAt(200, -132, 100, difficulty); }
  void SpawnToPhase1(int difficulty) {
    Spawn(difficulty);
    RunUntilState(1);
    ASSERT_EQ(Boss().life_state, 1);
    TakeShots();
  }
};

TEST_F(Stage1BossTest, EntryArrivesGrowsPullsInItsPartsAndTakesNoDamage) {
  Spawn(1);
  EnemyObject& e = Boss();
  EXPECT_EQ(BossFightFlag(-1), 1);
  Frame();
  EXPECT_EQ(e.collision_class, 1);
  EXPECT_EQ(e.draw_scale, 0.5);

  int arrived = -1, parts = -1, phase1 = -1, grow_frames = 0, se83 = 0;
  double last_scale = e.draw_scale;
  std::vector<double> offsets;
  for (int frame = 2; frame <= 400 && phase1 < 0; ++frame) {
    ShotOverBoss(500);
    Frame();
    se83 += CountSound(83);
    if (arrived < 0 && e.move_state == -1) {
      arrived = frame;
      EXPECT_EQ(e.x, 320.0);
      EXPECT_EQ(e.y, 120.0);
    }
    if (e.draw_scale > last_scale) ++grow_frames;
    last_scale = e.draw_scale;
    if (parts < 0 && CountEnemies(201) == 1) {
      parts = frame;
      EXPECT_EQ(grow_frames, 50);
      EXPECT_EQ(e.draw_scale, 1.0);
      EXPECT_EQ(CountEnemies(202), 1);
      const EnemyObject& left = g_enemies[e.message[0]];
      const EnemyObject& right = g_enemies[e.message[1]];
      EXPECT_EQ(left.type, 201);
      EXPECT_EQ(right.type, 202);
      EXPECT_EQ(left.x, e.x - 300);
      EXPECT_EQ(right.x, e.x + 300);
      EXPECT_EQ(left.y, e.y + 40);
    }
    if (parts > 0 && frame > parts) offsets.push_back(e.x - g_enemies[e.message[0]].x);
    if (e.life_state == 1) {
      phase1 = frame;
      // Hit on the very frame the phase begins.
      EXPECT_EQ(e.phase_hp[0], 35500);
      EXPECT_EQ(CountSound(83), 1);
      EXPECT_EQ(e.collision_class, 0);
      EXPECT_EQ(e.state_timer, 0);
    } else {
      EXPECT_EQ(e.collision_class, 1) << frame;
      EXPECT_EQ(e.phase_hp[0], 36000) << frame;
    }
  }
  ASSERT_GT(arrived, 0);
  // Growth starts on the arrival frame: the move script runs first.
  EXPECT_EQ(parts, arrived + 50);
  // The parts are laid out before the offset shrinks: 300, 292, ..., 124.
  ASSERT_EQ(phase1, parts + 22);
  EXPECT_EQ(offsets.front(), 300.0);
  EXPECT_EQ(offsets[1], 292.0);
  EXPECT_EQ(se83, 1);
  Frame();
  EXPECT_EQ(e.x - g_enemies[e.message[0]].x, 124.0);
  EXPECT_EQ(g_enemies[e.message[1]].x - e.x, 124.0);
}

TEST_F(Stage1BossTest, PhaseOnePatternAFansWidenWithTheCycleAndSpeedUpByHalves) {
  struct Case {
    int difficulty;
    int volleys;
    std::vector<int> counts;  // per fan: cycles 0 and 1
    double speed;
    double step1;  // angle step of cycle 1
  };
  const Case cases[] = {{0, 3, {3, 4}, 2.5, 28}, {1, 5, {3, 4}, 3.0, 24}, {2, 5, {8, 9}, 4.0, 21}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    auto volleys = Record(180, {5});
    std::vector<int> expected;
    for (int cycle = 0; cycle < 2; ++cycle)
      for (int b = 0; b < c.volleys; ++b) expected.push_back(101 + 40 * cycle + 5 * b);
    ASSERT_EQ(Times(volleys), expected);
    for (size_t i = 0; i < volleys.size(); ++i) {
      const int cycle = static_cast<int>(i) / c.volleys;
      const int b = static_cast<int>(i) % c.volleys;
      const auto& shots = volleys[i].shots;
      ASSERT_EQ(static_cast<int>(shots.size()), 2 * c.counts[cycle]);
      for (const Shot& s : shots) EXPECT_EQ(s.speed, c.speed + b / 2.0) << i;
      // Both fans keep the aim taken on the cycle's first beat.
      EXPECT_EQ(shots[0].angle, volleys[cycle * c.volleys].shots[0].angle);
      if (cycle == 1) {
        EXPECT_EQ(shots[1].angle - shots[0].angle, c.step1);
      }
    }
  }
}

TEST_F(Stage1BossTest, PhaseOnePatternBSidesMirrorEachOther) {
  for (int d : {1, 2}) {
    SCOPED_TRACE(d);
    ResetAllEnemies();
    SpawnToPhase1(d);
    Record(500, {});
    ASSERT_EQ(BossPatternStep(Boss(), 1), 1);
    auto volleys = Record(300, {0, 7});
    ASSERT_EQ(volleys.size(), 50u);
    EXPECT_EQ(volleys[0].t, 101);
    EXPECT_EQ(volleys[24].t, 197);
    EXPECT_EQ(volleys[25].t, 201);
    for (int n = 0; n < 25; ++n) {
      const auto& a = volleys[n].shots;
      const auto& b = volleys[25 + n].shots;
      ASSERT_EQ(a.size(), d == 2 ? 24u : 10u);
      ASSERT_EQ(a.size(), b.size());
      for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].type, b[i].type);
        EXPECT_EQ(a[i].speed, b[i].speed);
        // Fans of two are symmetric, so the mirrored fan lists its bullets in
        // the other order: compare the fans' centres.
      }
      // The first fan (type 7, count 2.4, step 180) starts 126 below its
      // centre: side 1 turns +10 a volley, side 0 -10.
      const double centre_a = a[0].angle + 126;
      const double centre_b = b[0].angle + 126;
      EXPECT_NEAR(centre_b, 10.0 * n, 1e-9) << n;
      EXPECT_NEAR(centre_a, -10.0 * n, 1e-9) << n;
      EXPECT_NEAR(a[2].angle - a[0].angle, 360.0, 1e-9);  // two on one heading
    }
  }
}

TEST_F(Stage1BossTest, PhaseTwoSpraysThreeVolleysOfRealRandomSpeeds) {
  struct Case {
    int difficulty;
    size_t bullets;
  };
  for (const Case& c : {Case{0, 41}, Case{1, 21}}) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    Boss().phase_hp[0] = 0;
    RunUntilState(3);
    // The rise, then step 1.
    const double y0 = Boss().y;
    int guard = 0;
    while (BossPatternStep(Boss(), 2) == 0 && guard++ < 200) Frame();
    EXPECT_NEAR(y0 - Boss().y, 112.5, 4.0);
    TakeShots();
    auto volleys = Record(120, {21});
    ASSERT_EQ(Times(volleys), (std::vector<int>{0, 30, 60}));
    std::set<double> speeds;
    for (size_t v = 0; v < volleys.size(); ++v) {
      const auto& shots = volleys[v].shots;
      ASSERT_EQ(shots.size(), c.bullets);
      EXPECT_EQ(shots.front().angle, 50.0);
      EXPECT_EQ(shots.back().angle, 130.0);
      EXPECT_EQ(shots[0].x, volleys[v].boss_x + (v % 2 == 0 ? -48 : 48));
      for (const Shot& s : shots) {
        EXPECT_GE(s.speed, 1.0);
        EXPECT_LE(s.speed, 2.9 + 1e-12);
        speeds.insert(s.speed);
      }
    }
    // Real division: tenths between the whole numbers occur.
    EXPECT_GT(speeds.size(), 5u);
  }
}

TEST_F(Stage1BossTest, PhaseTwoRingsTurnAwayFromTheAimAndAlternateSides) {
  SpawnToPhase1(1);
  Boss().phase_hp[0] = 0;
  RunUntilState(3);
  int guard = 0;
  while (BossPatternStep(Boss(), 2) != 3 && guard++ < 400) Frame();
  TakeShots();
  auto round0 = Record(400, {20});
  // Original: a beat every 8 frames in cycles of 6, rings on beats 0-3.
  ASSERT_GE(round0.size(), 4u);
  const int t0 = round0[0].t;
  EXPECT_EQ(round0[1].t - t0, 8);
  EXPECT_EQ(round0[3].t - t0, 24);
  EXPECT_EQ(round0[4].t - t0, 48);
  for (int b = 0; b < 4; ++b) {
    const auto& ring = round0[b].shots;
    ASSERT_EQ(ring.size(), 12u);
    EXPECT_EQ(ring[0].param1, 10.0 * b);
    EXPECT_EQ(ring[1].angle - ring[0].angle, 30.0);
    // Side 0 fires from gun 3 and turns by -7 a beat.
    EXPECT_EQ(ring[0].y, round0[b].boss_y + 12);
    EXPECT_NEAR(ring[0].angle - round0[0].shots[0].angle, -7.0 * b, 1e-9);
  }
  EXPECT_EQ(BossSideCounter(Boss(), 2), 1);
  // The next round fires from gun 2.
  guard = 0;
  while (BossPatternStep(Boss(), 2) != 3 && guard++ < 400) Frame();
  TakeShots();
  auto round1 = Record(60, {20});
  ASSERT_FALSE(round1.empty());
  EXPECT_EQ(round1[0].shots[0].y, round1[0].boss_y - 32);
}

TEST_F(Stage1BossTest, PartPatternAlternatesSidesAndSkipsADeadPart) {
  SpawnToPhase1(1);
  auto volleys = Record(300, {1});
  // Original: every 30 frames from counter 150; left, right, left, ...
  ASSERT_EQ(Times(volleys), (std::vector<int>{150, 180, 210, 240, 270}));
  EXPECT_EQ(volleys[0].shots.size(), 3u);
  EXPECT_EQ(volleys[0].shots[1].x, volleys[0].boss_x - 124 - 16);
  EXPECT_EQ(volleys[1].shots[1].x, volleys[1].boss_x + 124 + 16);
  EXPECT_EQ(volleys[0].shots[1].angle, 90.0);

  // The left part is shot down and a wreck takes its slot: only the right
  // part fires, at the same beats, and the wreck is left where it lies.
  ResetPools();
  SpawnToPhase1(1);
  const int left = Boss().message[0];
  g_enemies[left].screen_state = 1;
  DestroyEnemy(g_enemies[left]);
  ASSERT_EQ(SpawnEnemy(10, 400, 300, 0), 0);
  ASSERT_EQ(g_enemies[left].type, 300);
  volleys = Record(300, {1});
  ASSERT_EQ(Times(volleys), (std::vector<int>{180, 240}));
  EXPECT_EQ(g_enemies[left].x, 150.0);
  EXPECT_EQ(g_enemies[left].y, 400.0);
}

TEST_F(Stage1BossTest, PhaseOnePatternCColumnsThenAimedBursts) {
  SpawnToPhase1(1);
  Record(800, {});  // steps 0 and 1
  int guard = 0;
  while (BossPatternStep(Boss(), 1) != 3 && guard++ < 200) Frame();
  TakeShots();
  auto columns = Record(140, {4});
  // Original: cycles of 4 beats of 5 frames, volleys on beats 0 and 1.
  ASSERT_GE(columns.size(), 4u);
  EXPECT_EQ(Times(columns)[0], 101);
  EXPECT_EQ(Times(columns)[1], 106);
  EXPECT_EQ(Times(columns)[2], 121);
  EXPECT_EQ(columns[0].shots[0].x, columns[0].boss_x - 48);
  EXPECT_EQ(columns[2].shots[0].x, columns[2].boss_x + 48);
  auto bursts = Record(300, {3, 10});
  // The first burst: the 181st call on is counted from T 101; every 48.
  ASSERT_GE(bursts.size(), 3u);
  EXPECT_EQ(bursts[0].t, 101 + 192);
  EXPECT_EQ(bursts[1].t, 101 + 240);
  EXPECT_EQ(bursts[0].shots.size(), 10u + 3u);
  EXPECT_EQ(bursts[0].shots[10].speed, 3.2);
  EXPECT_EQ(bursts[0].shots[11].speed, 3.7);
  EXPECT_EQ(bursts[2].shots.size(), 2u * 2u * 11u);
  EXPECT_EQ(bursts[2].shots[0].type, 10);
}

TEST_F(Stage1BossTest, RulesHitPointsLimitsBonusesAndParts) {
  SpawnToPhase1(1);
  EnemyObject& e = Boss();
  EXPECT_EQ(e.phase_hp[0], 36000);
  EXPECT_EQ(e.phase_hp[1], 24000);
  EXPECT_EQ(e.phase_limits[1], 3000);
  const int left = e.message[0];
  EXPECT_EQ(g_enemies[left].hp, 4000);
  EXPECT_EQ(g_enemies[left].kill_score, 12000);

  // A part shot down pays its kill score and starts a 60-frame cancel.
  g_enemies[left].screen_state = 1;
  g_enemies[left].hp = 0;
  Frame();
  EXPECT_EQ(g_enemies[left].in_use, 0);
  EXPECT_EQ(GetPlayerScore(), 12000);
  EXPECT_EQ(g_bullet_cancels[0].frames_total, 60);

  // Phase 1 shot out: the break pays 108000 and a 10-frame cancel.
  ResetAllBulletCancelSlots();
  e.phase_hp[0] = 0;
  RunUntilState(2, 3);
  Frame();
  EXPECT_EQ(GetPlayerScore(), 12000 + 108000);
  EXPECT_EQ(g_bullet_cancels[0].frames_total, 10);
  // Breaks take no damage (the boss is put off its post so that the move
  // home lasts).
  e.x -= 100;
  ShotOverBoss(1000);
  Frame();
  EXPECT_EQ(e.phase_hp[1], 24000);
  g_player_shots[0].alive = 0;
  RunUntilState(3);
  EXPECT_EQ(e.state_timer, 0);

  // Phase 2 runs out of time: the death pays nothing and drops nothing.
  const int frames = RunUntilState(8, 4000);
  EXPECT_EQ(frames, 3001);
  EXPECT_EQ(e.timed_out, 1);
  const int score = GetPlayerScore();
  Frame();
  EXPECT_EQ(GetPlayerScore(), score);
  EXPECT_EQ(e.items, 0);
  EXPECT_EQ(CountEnemies(202), 0);  // the surviving part went with effects
}

TEST_F(Stage1BossTest, PhaseOneTimeLimitEndsItUnpaid) {
  SpawnToPhase1(2);
  const int frames = RunUntilState(2, 5000);
  EXPECT_EQ(frames, 4001);
  EXPECT_EQ(Boss().timed_out, 1);
  Frame();
  EXPECT_EQ(GetPlayerScore(), 0);
  EXPECT_EQ(g_bullet_cancels[0].active, 0u);
  EXPECT_EQ(Boss().timed_out, 0);
}

// Ending a phase on any frame of its cycle leads through the break and the
// death to the stage clear.
TEST_F(Stage1BossTest, EndingEachPhaseAtManyFramesAlwaysReachesTheStageClear) {
  for (int phase = 1; phase <= 2; ++phase) {
    for (int k = 0; k < 2900; k += phase == 1 ? 53 : 41) {
      SCOPED_TRACE(std::to_string(phase) + "/" + std::to_string(k));
      ResetPools();
      const int d = k % 3;
      SpawnToPhase1(d);
      if (phase == 2) {
        Boss().phase_hp[0] = 0;
        ASSERT_LT(RunUntilState(3, 1000), 1000);
      }
      RunFrames(k);
      ASSERT_EQ(Boss().life_state, phase == 1 ? 1 : 3);
      Boss().phase_hp[phase - 1] = 0;
      if (phase == 1) {
        ASSERT_LT(RunUntilState(3, 1000), 1000);
        Boss().phase_hp[1] = 0;
      }
      ASSERT_LT(RunUntilState(8, 5), 5);
      int frames = 0;
      while (Boss().in_use == 1 && frames < 300) {
        Frame();
        TakeShots();
        ++frames;
      }
      EXPECT_EQ(frames, 241);
      EXPECT_EQ(IsStageClearSequenceActive(), 1);
      EXPECT_EQ(CountEnemies(201) + CountEnemies(202), 0);
      EXPECT_EQ(BossFightFlag(-1), 0);
    }
  }
}
