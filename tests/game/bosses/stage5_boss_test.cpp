#include "bosses/stage5_boss.h"

#include <cmath>
#include <string>

#include "boss_fixture.h"
#include "screens/save_data.h"

class Stage5BossTest : public BossTest {
 protected:
  void SetUp() override {
    BossTest::SetUp();
    EnableMusic();
  }
  // At rest where the ride ends, the scroll already stopped.
  void SpawnToPhase1(int difficulty) {
    g_stage.layer1_speed = 0.0;
    SpawnAt(240, 180, 80, difficulty);
    ASSERT_LT(RunUntilState(1, 200), 200);
  }
  // Ends the phases before `phase` and runs to its first frame.
  void SpawnToPhase(int difficulty, int phase) {
    SpawnToPhase1(difficulty);
    for (int p = 1; p < phase; ++p) {
      Boss().phase_hp[p - 1] = 0;
      ASSERT_LT(RunUntilState(2 * p + 1, 100), 100);
    }
  }
};

TEST_F(Stage5BossTest, RidesTheScrollAndStartsItsMusicAndFightTimedFromTheStop) {
  g_stage.layer1_speed = 0.8;
  SpawnAt(240, 180, -240, 1);
  EnemyObject& e = Boss();
  // The timeline stops the scroll 400 frames after the spawn.
  double y = e.y;
  for (int i = 0; i < 400; ++i) {
    ShotOverBoss(500);
    Frame();
    y += i == 0 ? 0.0 : 0.8;  // the velocity is taken up after the first move
    ASSERT_EQ(e.vy, 0.8);
    ASSERT_NEAR(e.y, y, 1e-9);
    ASSERT_EQ(e.collision_class, 1);
    ASSERT_TRUE(MusicStarted().empty());
  }
  EXPECT_NEAR(e.y, 79.2, 1e-9);
  g_stage.layer1_speed = 0.0;
  int music = -1, hittable = -1;
  for (int f = 0; f <= 130; ++f) {
    ShotOverBoss(500);
    Frame();
    if (!MusicStarted().empty()) {
      EXPECT_EQ(music, -1);
      EXPECT_EQ(MusicStarted()[0], "bgm/mp3_end_point.mp3");
      music = f;
    }
    if (hittable < 0 && e.phase_hp[0] < 56000) hittable = f;
    if (f < 120) {
      EXPECT_EQ(e.life_state, 0) << f;
      EXPECT_EQ(e.collision_class, 1) << f;
    }
  }
  g_player_shots[0].alive = 0;
  // Frame 0 is the first to read the stopped scroll.
  EXPECT_EQ(music, 60);
  EXPECT_EQ(hittable, 120);
  EXPECT_EQ(e.collision_class, 0);
  EXPECT_EQ(e.move_state, 0);  // standing still through phase 1
  EXPECT_NEAR(e.y, 79.2 + 0.8, 1e-9);
}

TEST_F(Stage5BossTest, PhaseOneStepsRunTheirWindowsAndLoop) {
  SpawnToPhase1(1);
  EnemyObject& e = Boss();
  std::vector<int> ends;
  int previous = 0;
  for (int i = 0; i < 660 + 180 + 2060 + 670; ++i) {  // inside the 5000-frame limit
    const int t = e.state_timer;
    Frame();
    TakeShots();
    if (BossPatternStep(e, 1) != previous) {
      ends.push_back(t);
      previous = BossPatternStep(e, 1);
    }
  }
  EXPECT_EQ(ends, (std::vector<int>{659, 179, 2059, 659}));
  EXPECT_EQ(e.move_state, 0);
}

TEST_F(Stage5BossTest, PhaseOnePatternABurstsQuickenAfterTheFifthAndSidesFireAimedFans) {
  struct Case {
    int difficulty;
    size_t burst_bullets;
    int side_interval;
    size_t side_bullets;  // per gun
  };
  for (const Case& c : {Case{0, 13, 130, 32}, Case{1, 17, 130, 32}, Case{2, 33, 120, 55}}) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    const auto volleys = Record(660);
    std::vector<int> bursts, sides;
    for (const Volley& v : volleys) {
      const auto four = OfType(v.shots, 4);
      if (!four.empty()) {
        ASSERT_EQ(four.size(), c.burst_bullets);
        EXPECT_EQ(four[0].x, v.boss_x);
        EXPECT_EQ(four[0].y, v.boss_y - 16);
        bursts.push_back(v.t);
      }
      if (!OfType(v.shots, 7).empty()) {
        ASSERT_EQ(v.shots.size() - four.size(), 2 * c.side_bullets);
        EXPECT_EQ(OfType(v.shots, 7)[0].x, v.boss_x - 96);
        EXPECT_EQ(v.shots.back().x, v.boss_x + 96);
        sides.push_back(v.t);
      }
      EXPECT_EQ(v.se81, (four.empty() ? 0 : 1) + (OfType(v.shots, 7).empty() ? 0 : 1));
    }
    // Two volleys a burst; bursts every 60 frames, from the sixth every 30.
    std::vector<int> expected;
    for (int b = 0, start = 61; start <= 599; start += b < 5 ? 60 : 30, ++b) {
      expected.push_back(start);
      if (start + 5 <= 599) expected.push_back(start + 5);
    }
    EXPECT_EQ(bursts, expected);
    std::vector<int> side_expected;
    // From the stream's own frame 121 on: HELL's first is at 240, not 120.
    for (int c10 = (120 / c.side_interval + 1) * c.side_interval; 61 + c10 <= 599;
         c10 += c.side_interval)
      side_expected.push_back(61 + c10);
    EXPECT_EQ(sides, side_expected);
  }
}

TEST_F(Stage5BossTest, PhaseOnePatternBFiresOneVolleyOfHeavyShots) {
  for (int d : {1, 2}) {
    SCOPED_TRACE(d);
    ResetAllEnemies();
    SpawnToPhase1(d);
    RunToStep(1, 1);
    const auto volleys = Record(180);
    ASSERT_EQ(volleys.size(), 1u);
    EXPECT_EQ(volleys[0].t, 61);
    const auto heavy = OfType(volleys[0].shots, 31);
    ASSERT_EQ(heavy.size(), d == 2 ? 4u : 2u);
    EXPECT_EQ(heavy[0].x - volleys[0].boss_x, d == 2 ? -96.0 : -56.0);
    EXPECT_EQ(heavy.back().x - volleys[0].boss_x, 56.0);
    EXPECT_EQ(heavy[0].angle, 90.0);
    EXPECT_EQ(heavy[0].speed, 2.5);
  }
}

TEST_F(Stage5BossTest, PhaseOnePatternCPairsCloseThenWave) {
  SpawnToPhase1(2);
  RunToStep(1, 2);
  const auto volleys = Record(2060, {0});
  // Stream 1 every 4 from frame 61: each volley 4 pairs, twice on HELL.
  std::vector<Volley> pairs;
  for (const Volley& v : volleys)
    if ((v.t - 61) % 4 == 0) pairs.push_back(v);
  ASSERT_GE(pairs.size(), 60u);
  for (int n = 0; n < 60; ++n) {
    const auto& s = pairs[n].shots;
    ASSERT_GE(s.size(), 16u) << n;
    const int s1 = n < 45 ? n : 45;
    const int s2 = n < 45 ? 0 : n - 45;
    const double w = SinDeg(2.0 * s2) * 30.0;
    // The first pair, from gun 1, centred on 75 + w, d apart.
    EXPECT_NEAR((s[0].angle + s[1].angle) / 2, 75 + w, 1e-9) << n;
    EXPECT_NEAR(s[1].angle - s[0].angle, 180 - 3 * s1, 1e-9) << n;
    EXPECT_NEAR(s[9].angle - s[8].angle, 170 - 3 * s1, 1e-9) << n;
    EXPECT_EQ(s[0].speed, 8.0);
  }
}

TEST_F(Stage5BossTest, TheFirstBreakPaysRestartsTheScrollAndSwaysForSixtyFrames) {
  SpawnToPhase1(1);
  EnemyObject& e = Boss();
  g_stage.scroll_mode = 1;
  e.phase_hp[0] = 0;
  ASSERT_LT(RunUntilState(2, 3), 3);
  int frames = 0;
  while (e.life_state == 2 && frames < 100) {
    ShotOverBoss(500);
    Frame();
    ++frames;
    if (frames == 1) {
      EXPECT_EQ(GetPlayerScore(), 168000);
      EXPECT_EQ(g_bullet_cancels[0].frames_total, 10);
      EXPECT_EQ(g_stage.scroll_mode, 3);
      EXPECT_EQ(e.move_state, 1);
    }
    if (e.life_state == 2) {
      EXPECT_EQ(e.phase_hp[1], 76000);
    }
  }
  g_player_shots[0].alive = 0;
  EXPECT_EQ(frames, 60);
  EXPECT_EQ(e.state_timer, 0);
  EXPECT_EQ(BossMoveTimer(e), 59);  // swaying from the break's second frame
}

TEST_F(Stage5BossTest, PhaseTwoPatternAFiresThreeGrowingBurstsThenFallsSilent) {
  struct Case {
    int difficulty;
    size_t per_gun;
    double speed;
  };
  for (const Case& c : {Case{0, 9, 4.5}, Case{1, 11, 4.5}, Case{2, 15, 4.7}}) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase(c.difficulty, 2);
    const auto volleys = Record(360);
    std::vector<int> times;
    int se = 0;
    for (const Volley& v : volleys) {
      ASSERT_EQ(v.shots.size(), 5 * c.per_gun);
      times.push_back(v.t);
      se += v.se81;
      const int burst = times.size() <= 3 ? 0 : times.size() <= 9 ? 1 : 2;
      EXPECT_EQ(v.shots[0].speed, c.speed + burst);
      EXPECT_EQ(v.shots[0].type, 3);
    }
    std::vector<int> expected;
    int t = 61;
    for (int s1 = 0; s1 < 3; ++s1)
      for (int s0 = 0; s0 < 3 * s1 + 8; ++s0, t += 8)
        if (s0 < 3 * s1 + 3) expected.push_back(t);
    EXPECT_EQ(times, expected);
    EXPECT_EQ(se, 18);
    EXPECT_LT(times.back(), 300);
  }
}

TEST_F(Stage5BossTest, PhaseTwoPatternBWavesItsFansByGunAndHellAddsAimedStreams) {
  for (int d : {1, 2}) {
    SCOPED_TRACE(d);
    ResetAllEnemies();
    SpawnToPhase(d, 2);
    RunToStep(2, 1);
    const auto volleys = Record(400);
    int waves = 0, streams = 0;
    for (const Volley& v : volleys) {
      const auto zeros = OfType(v.shots, 0);
      const auto nines = OfType(v.shots, 9);
      if (!zeros.empty()) {
        EXPECT_EQ(v.t % (d == 2 ? 40 : 50), 0);
        EXPECT_EQ(zeros.size(), 5u * (d == 2 ? 13 : 11));
        EXPECT_EQ(nines.size(), 5u * (d == 2 ? 12 : 10));
        ++waves;
      }
      const auto tens = OfType(v.shots, 10);
      if (!tens.empty()) {
        EXPECT_EQ(tens.size(), 25u);
        EXPECT_GE(v.t, 141);
        ++streams;
      }
    }
    EXPECT_EQ(waves, 400 / (d == 2 ? 40 : 50));
    // HELL: from frame 144 every 4, ten volleys in cycles of thirty beats.
    EXPECT_EQ(streams, d == 2 ? 10 + 10 + 4 : 0);
  }
}

TEST_F(Stage5BossTest, PhaseTwoPatternCTriplesRingsAndCrossesStartOnTheirOwnFrames) {
  struct Case {
    int difficulty;
    int triples;
    size_t triple_bullets;
    int ring_first;
    size_t ring_bullets;
    int cross_first;
    size_t cross_bullets;
  };
  for (const Case& c : {Case{0, 3, 6, 300, 13, 130, 6}, Case{1, 5, 6, 270, 17, 124, 6},
                        Case{2, 5, 12, 240, 38, 124, 12}}) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase(c.difficulty, 2);
    RunToStep(2, 2);
    const auto volleys = Record(400);
    std::vector<int> triples;
    int ring = -1, cross = -1;
    for (const Volley& v : volleys) {
      const auto sevens = OfType(v.shots, 7);
      if (!sevens.empty()) {
        ASSERT_EQ(sevens.size(), c.triple_bullets);
        // Turning by 2 a beat, silent beats included.
        EXPECT_NEAR(MeanAngle({sevens[0], sevens[1], sevens[2]}), 180 + 2 * (v.t / 4), 1e-9);
        if (v.t < 36) triples.push_back(v.t);
      }
      const auto tens = OfType(v.shots, 10);
      if (!tens.empty() && ring < 0) {
        ring = v.t;
        EXPECT_EQ(tens.size(), c.ring_bullets);
      }
      const auto nines = OfType(v.shots, 9);
      if (!nines.empty() && cross < 0) {
        cross = v.t;
        EXPECT_EQ(nines.size(), c.cross_bullets);
      }
    }
    EXPECT_EQ(static_cast<int>(triples.size()), c.triples);
    EXPECT_EQ(ring, c.ring_first);
    EXPECT_EQ(cross, c.cross_first);
  }
}

TEST_F(Stage5BossTest, TheSecondBreakIsOneFrameAndPhaseThreeWaitsUntilFrame121) {
  SpawnToPhase(1, 2);
  EnemyObject& e = Boss();
  g_stage.scroll_mode = 3;
  e.phase_hp[1] = 0;
  ASSERT_LT(RunUntilState(4, 3), 3);
  const int score = GetPlayerScore();
  Frame();
  EXPECT_EQ(e.life_state, 5);
  EXPECT_EQ(g_stage.scroll_mode, 2);
  EXPECT_EQ(GetPlayerScore() - score, 228000);
  EXPECT_EQ(e.move_state, 1);  // still swaying
  const auto volleys = Record(300);
  ASSERT_FALSE(volleys.empty());
  EXPECT_EQ(volleys[0].t, 121);
  EXPECT_EQ(volleys[0].state, 5);
}

TEST_F(Stage5BossTest, PhaseThreeCrossesTurnAndReverseEveryThirtyVolleys) {
  SpawnToPhase(1, 3);
  const auto volleys = Record(121 + 30 * 62, {32});
  ASSERT_GE(volleys.size(), 62u);
  for (int n = 0; n < 62; ++n) {
    const auto& s = volleys[n].shots;
    ASSERT_EQ(s.size(), 8u);
    EXPECT_EQ(volleys[n].t, 121 + 30 * n);
    const int sigma = (n / 30) % 2 == 1 ? 1 : -1;
    EXPECT_EQ(s[0].angle, sigma * n * 7 + 45.0) << n;
    EXPECT_EQ(s[0].param1, 0.0);
    EXPECT_EQ(s[0].x - volleys[n].boss_x, -96.0);
    EXPECT_EQ(s[1].angle, -sigma * n * 7.0) << n;
    EXPECT_EQ(s[1].param1, 1.0);
    EXPECT_EQ(s[1].x - volleys[n].boss_x, 96.0);
  }
}

TEST_F(Stage5BossTest, DeathKeepsTheScrollAndTheSwayStopsTheMusicAndEndsOnFrame239) {
  SpawnToPhase(1, 3);
  EnemyObject& e = Boss();
  g_stage.scroll_mode = 2;
  e.phase_hp[2] = 0;
  ASSERT_LT(RunUntilState(8, 3), 3);
  const int score = GetPlayerScore();
  int frames = 0, halts = 0;
  while (e.in_use == 1 && frames < 300) {
    Frame();
    if (frames == 0) {
      EXPECT_EQ(e.collision_class, 1);
      EXPECT_EQ(GetPlayerScore() - score, 168000);
    }
    halts += MusicHalts();
    if (e.in_use == 1) {
      EXPECT_EQ(e.move_state, 1);
    }
    ++frames;
  }
  EXPECT_EQ(frames, 240);  // frames 0 to 239
  EXPECT_EQ(halts, 1);
  EXPECT_EQ(g_stage.scroll_mode, 2);
  EXPECT_EQ(IsStageClearSequenceActive(), 1);
}

// The hidden boss comes out only when the fifth boss falls on HELL, in
// stage 5 proper, in a game without a continue.
TEST_F(Stage5BossTest, OnHellWithoutAContinueTheHiddenBossComesOutInsteadOfTheClear) {
  struct Case {
    int mode;
    int stage;
    int continues;
    bool hidden;
  };
  const Case cases[] = {{2, 5, 0, true},  {2, 5, 1, false}, {2, 20, 0, false},
                        {1, 5, 0, false}, {3, 5, 0, false}, {0, 5, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + "/" + std::to_string(c.stage) + "/" +
                 std::to_string(c.continues));
    ResetPools();
    ResetStageObject();
    g_save_data.secret_stage_flag = 0;
    g_flags.StageNumber = c.stage;
    g_player.continues = c.continues;
    SpawnToPhase(c.mode, 3);
    Boss().phase_hp[2] = 0;
    ASSERT_LT(RunUntilState(8, 3), 3);
    double x = 0, y = 0;
    RunUntil(
        [&] {
          x = Boss().x;
          y = Boss().y;
          return false;
        },
        300);
    EXPECT_EQ(IsStageClearSequenceActive(), c.hidden ? 0 : 1);
    EXPECT_EQ(CountEnemies(250), c.hidden ? 1 : 0);
    EXPECT_EQ(SecretBossFlag(-1), c.hidden ? 1 : 0);
    EXPECT_EQ(g_save_data.secret_stage_flag, c.hidden ? 1 : 0);
    if (c.hidden) {
      for (const EnemyObject& h : g_enemies) {
        if (h.in_use != 1 || h.type != 250) continue;
        // 180 below where the boss died, at the last moved centre.
        EXPECT_NEAR(h.x, x, 0.5);
        EXPECT_NEAR(h.y, y + 180, 0.5);
        EXPECT_EQ(h.life_state, 0);
      }
    }
  }
}

TEST_F(Stage5BossTest, EndingEachPhaseAtManyFramesAlwaysReachesTheStageClear) {
  for (int phase = 1; phase <= 3; ++phase) {
    const int span = phase == 1 ? 2900 : phase == 2 ? 2820 : 600;
    for (int k = 0; k < span; k += phase == 3 ? 29 : 71) {
      SCOPED_TRACE(std::to_string(phase) + "/" + std::to_string(k));
      ResetPools();
      SpawnToPhase(k % 3, phase);
      RunFrames(k);
      ASSERT_EQ(Boss().life_state, 2 * phase - 1);
      for (int p = phase; p <= 3; ++p) {
        Boss().phase_hp[p - 1] = 0;
        ASSERT_LT(RunUntilState(p == 3 ? 8 : 2 * p + 1, 100), 100);
      }
      EXPECT_EQ(RunUntil([] { return false; }, 300), 240);
      EXPECT_EQ(IsStageClearSequenceActive(), 1);
      EXPECT_EQ(BossFightFlag(-1), 0);
    }
  }
}
