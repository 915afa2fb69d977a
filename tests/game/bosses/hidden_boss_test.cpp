#include "bosses/hidden_boss.h"

#include <cmath>
#include <string>

#include "boss_fixture.h"

class HiddenBossTest : public BossTest {
 protected:
  void SetUp() override {
    BossTest::SetUp();
    EnableMusic();
    g_player.guard = 0;  // the shield is tested on its own
  }
  // Where the extra stage places it.
  void Spawn(int difficulty) { SpawnAt(250, 180, 240, difficulty); }
  void SpawnToPhase(int difficulty, int phase) {
    Spawn(difficulty);
    ASSERT_LT(RunUntilState(1, 600), 600);
    for (int p = 1; p < phase; ++p) {
      Boss().phase_hp[p - 1] = 0;
      ASSERT_LT(RunUntilState(2 * p + 1, 400), 400);
    }
  }
};

TEST_F(HiddenBossTest, EntryWaitsMovesToItsPostStartsItsMusicAndTakesNoDamage) {
  Spawn(1);
  EnemyObject& e = Boss();
  g_stage.scroll_mode = 20;
  ShotOverBoss(500);
  Frame();
  EXPECT_EQ(g_stage.scroll_mode, 4);
  EXPECT_EQ(CountExplosions(111), 1);
  int moved = -1, arrived = -1, music = -1, phase1 = -1;
  for (int f = 2; f <= 600 && phase1 < 0; ++f) {
    ShotOverBoss(500);
    Frame();
    if (moved < 0 && e.move_state == 1) moved = f;
    if (arrived < 0 && e.move_state == -1) arrived = f;
    if (!MusicStarted().empty()) {
      EXPECT_EQ(MusicStarted()[0], "bgm/mp3_energy.mp3");
      music = f;
    }
    if (e.life_state == 1) {
      phase1 = f;
    } else {
      EXPECT_EQ(e.collision_class, 1) << f;
      EXPECT_EQ(e.phase_hp[0], 48000) << f;
    }
  }
  g_player_shots[0].alive = 0;
  EXPECT_EQ(moved, 121);  // after 120 frames of its own
  ASSERT_GT(arrived, moved);
  EXPECT_NEAR(arrived - moved, 140 / 2, 2);  // 140 px at 2
  EXPECT_EQ(music, arrived);
  EXPECT_EQ(phase1, arrived + 120);
  EXPECT_EQ(e.collision_class, 0);
  EXPECT_EQ(e.move_state, 2);
  EXPECT_EQ(e.phase_hp[0], 47500);  // hit from the phase's first frame
}

TEST_F(HiddenBossTest, ItShieldsItselfWhileThePlayerIsInvulnerable) {
  SpawnToPhase(1, 1);
  EnemyObject& e = Boss();
  for (int guard : {120, 0, 1, 0}) {
    SCOPED_TRACE(guard);
    g_player.guard = guard;
    const int hp = e.phase_hp[0];
    ShotOverBoss(300);
    Frame();
    TakeShots();
    EXPECT_EQ(e.collision_class, guard > 0 ? 3 : 0);
    EXPECT_EQ(e.script_words[1], guard > 0 ? 1 : 0);  // the shielded look
    EXPECT_EQ(e.phase_hp[0], guard > 0 ? hp : hp - 300);
  }
  // A break keeps whatever class it has.
  g_player_shots[0].alive = 0;
  g_player.guard = 50;
  e.phase_hp[0] = 0;
  ASSERT_LT(RunUntilState(2, 3), 3);
  g_player.guard = 0;
  Frame();
  EXPECT_EQ(e.collision_class, 3);
}

TEST_F(HiddenBossTest, EveryDifficultyFiresTheSamePatterns) {
  std::vector<std::vector<Shot>> runs;
  for (int d = 0; d < 3; ++d) {
    ResetAllEnemies();
    RandomSeed = 10;
    SpawnToPhase(d, 1);
    std::vector<Shot> all;
    for (const Volley& v : Record(1200))
      for (const Shot& b : v.shots) all.push_back(b);
    runs.push_back(all);
  }
  ASSERT_GT(runs[0].size(), 1000u);
  for (int d = 1; d < 3; ++d) {
    ASSERT_EQ(runs[d].size(), runs[0].size()) << d;
    for (size_t i = 0; i < runs[0].size(); ++i) {
      ASSERT_EQ(runs[d][i].type, runs[0][i].type);
      ASSERT_EQ(runs[d][i].angle, runs[0][i].angle);
      ASSERT_EQ(runs[d][i].x, runs[0][i].x);
    }
  }
}

TEST_F(HiddenBossTest, PhaseOnePatternARingsComeFasterOnMultiplesOfTheirInterval) {
  SpawnToPhase(1, 1);
  const auto volleys = Record(520);
  std::vector<int> expected;
  for (int c = 0, n = 0; c <= 499; ++c)
    if (c % (n < 5 ? 20 : n < 12 ? 12 : 8) == 0) {
      expected.push_back(c);
      ++n;
    }
  ASSERT_EQ(Times(volleys), expected);
  EXPECT_EQ(expected[5], 84);  // the first of interval 12 after 80
  EXPECT_EQ(expected[12], 160);
  for (size_t n = 0; n < volleys.size(); ++n) {
    const Volley& v = volleys[n];
    ASSERT_EQ(v.shots.size(), 36u);
    EXPECT_EQ(v.se81, 1);
    const int i = static_cast<int>(n);
    const Shot& b = v.shots[3];  // a = 30
    EXPECT_NEAR(b.x, v.boss_x + 24 * CosDeg(10 * i + 30), 1e-9);
    EXPECT_NEAR(b.y, v.boss_y - 40 + 16 * SinDeg(10 * i + 30), 1e-9);
    EXPECT_NEAR(b.angle - v.shots[0].angle, 30.0, 1e-9);
    EXPECT_EQ(b.speed, 6.0);
    EXPECT_EQ(b.type, 10);
  }
}

TEST_F(HiddenBossTest, PhaseOneLoopsThroughItsStepsAndMotions) {
  SpawnToPhase(1, 1);
  EnemyObject& e = Boss();
  std::vector<int> steps{0};
  std::vector<int> moves{2};
  for (int i = 0; i < 520 + 460 + 2060 + 200; ++i) {
    Frame();
    TakeShots();
    if (BossPatternStep(e, 1) != steps.back()) steps.push_back(BossPatternStep(e, 1));
    if (e.move_state != moves.back()) moves.push_back(e.move_state);
  }
  EXPECT_EQ(steps, (std::vector<int>{0, 1, 3, 4, 5, 0}));
  // Each arrival (-50) is taken up by the step on the frame it comes.
  EXPECT_EQ(moves, (std::vector<int>{2, 50, 3, 50, 2}));
}

TEST_F(HiddenBossTest, PhaseOnePatternsBAndC) {
  SpawnToPhase(1, 1);
  RunToStep(1, 1);
  auto b = Record(460);
  ASSERT_EQ(b.size(), 67u);  // every 6 frames over 0-399
  for (size_t n = 0; n < b.size(); ++n) {
    ASSERT_EQ(b[n].shots.size(), 60u);
    EXPECT_EQ(b[n].t, 6 * static_cast<int>(n));
    EXPECT_EQ(b[n].shots[0].type, 0);
  }
  // Before the first re-aim the aim is 0 and the ring turns by -n.
  EXPECT_EQ(b[1].shots[0].angle, -1.0);
  EXPECT_EQ(b[9].shots[0].angle, -9.0);

  RunToStep(1, 4);
  auto c = Record(2060);
  std::vector<int> drops, rings;
  for (const Volley& v : c) {
    if (!OfType(v.shots, 40).empty()) drops.push_back(v.t);
    const auto ring = OfType(v.shots, 41);
    if (!ring.empty()) {
      ASSERT_EQ(ring.size(), 40u);
      rings.push_back(v.t);
    }
  }
  // Drops from the part's own frame 181 on, first on 200.
  ASSERT_GE(drops.size(), 21u);
  EXPECT_EQ(drops[0] - 61, 200);
  EXPECT_EQ(drops[1] - drops[0], 40);
  EXPECT_EQ(drops[11] - drops[10], 30);
  EXPECT_EQ(drops[21] - drops[20], 20);
  // Rings every 7 frames on six beats of eight.
  ASSERT_GE(rings.size(), 7u);
  EXPECT_EQ(rings[5] - rings[0], 35);
  EXPECT_EQ(rings[6] - rings[5], 21);
}

TEST_F(HiddenBossTest, PhaseTwoDrawsItsSideOnceAndTurnsThatWay) {
  std::set<int> sides;
  for (int run = 0; run < 6; ++run) {
    SCOPED_TRACE(run);
    ResetAllEnemies();
    RandomSeed = 1000 + 7919 * run;
    SpawnToPhase(1, 2);
    const uint32_t before = RandomSeed;
    Frame();
    EXPECT_EQ(DrawsBetween(before, RandomSeed), 1);
    const int side = Type250Phase2Side(Boss());
    sides.insert(side);
    const auto volleys = Record(100, {7});
    ASSERT_GE(volleys.size(), 3u);
    EXPECT_EQ(volleys[0].t, 61);
    ASSERT_EQ(volleys[0].shots.size(), 44u);
    // Four fans of 11, a quarter turn apart, turning 11 a volley by side.
    const double turn = MeanAngle({volleys[1].shots.begin(), volleys[1].shots.begin() + 11}) -
                        MeanAngle({volleys[0].shots.begin(), volleys[0].shots.begin() + 11});
    EXPECT_NEAR(turn, side == 1 ? 11.0 : -11.0, 1e-9);
  }
  EXPECT_EQ(sides, (std::set<int>{0, 1}));
}

TEST_F(HiddenBossTest, PhaseThreeLeavesTheAnchorAtTheLowPointFiringWhileTheBossGoesHome) {
  SpawnToPhase(1, 3);
  EnemyObject& e = Boss();
  Frame();
  EXPECT_EQ(e.move_state, 4);
  ASSERT_LT(RunUntil([&] { return e.move_state == -4; }, 200), 200);
  EXPECT_EQ(e.x, 320.0);
  EXPECT_EQ(e.y, 360.0);
  EXPECT_EQ(BossAnchorShown(e), 1);
  EXPECT_EQ(Type250AnchorHeld(e), 1);
  RunToStep(3, 2);
  EXPECT_EQ(e.x, 320.0);
  EXPECT_EQ(e.y, 100.0);
  const auto volleys = Record(200, {43});
  ASSERT_FALSE(volleys.empty());
  EXPECT_EQ(volleys[0].t, 21);
  for (const Volley& v : volleys) {
    ASSERT_EQ(v.shots.size(), 4u);
    for (const Shot& b : v.shots) {
      EXPECT_EQ(b.x, 320.0);  // field (180, 340)
      EXPECT_EQ(b.y, 340.0);
      EXPECT_GE(b.param1, 251.0);
      EXPECT_LE(b.param1, 289.0);
    }
    EXPECT_LT(v.boss_y, 125.0);  // swaying at its post, far above the anchor
  }
  e.phase_hp[2] = 0;
  ASSERT_LT(RunUntilState(6, 3), 3);
  Frame();
  EXPECT_EQ(BossAnchorShown(e), 0);
  ASSERT_LT(RunUntilState(7, 400), 400);
  EXPECT_EQ(e.move_state, 5);
}

TEST_F(HiddenBossTest, PhaseFourEndsOnItsTimeLimitUnpaidAndTheStageStillClears) {
  SpawnToPhase(1, 4);
  EnemyObject& e = Boss();
  // Counted already on the frame the break handed over, as every phase's.
  EXPECT_EQ(e.phase_limits[3], 6000 - 1);
  const auto first = Record(200, {44});
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first[0].t, 121);
  EXPECT_EQ(first[0].shots.size(), 15u);
  EXPECT_EQ(first[0].shots[0].param1, 0.0);   // no aim yet
  EXPECT_EQ(first[0].shots[0].param2, -1.0);  // SignOf(0)
  const int frames = 200 + RunUntilState(8, 7000);
  EXPECT_EQ(frames, 6001);
  EXPECT_EQ(e.timed_out, 1);
  const int score = GetPlayerScore();
  EXPECT_EQ(RunUntil([] { return false; }, 300), 240);
  EXPECT_EQ(GetPlayerScore(), score);
  int items = 0;
  for (const Item& it : g_items) items += it.in_use == 1;
  EXPECT_EQ(items, 0);
  EXPECT_EQ(IsStageClearSequenceActive(), 1);
}

TEST_F(HiddenBossTest, DeathStopsTheMusicRestoresTheBackgroundAndPays) {
  SpawnToPhase(1, 4);
  EnemyObject& e = Boss();
  e.phase_hp[3] = 0;
  ASSERT_LT(RunUntilState(8, 3), 3);
  const int score = GetPlayerScore();
  Frame();
  EXPECT_EQ(e.move_state, 51);
  EXPECT_EQ(MusicHalts(), 1);
  EXPECT_EQ(g_stage.scroll_mode, 5);
  EXPECT_EQ(e.collision_class, 1);
  EXPECT_EQ(GetPlayerScore() - score, 144000);
  EXPECT_GE(CountExplosions(111), 1);
  EXPECT_EQ(1 + RunUntil([] { return false; }, 300), 240);
  EXPECT_EQ(IsStageClearSequenceActive(), 1);
}

TEST_F(HiddenBossTest, EndingEachPhaseAtManyFramesAlwaysReachesTheStageClear) {
  for (int phase = 1; phase <= 4; ++phase) {
    const int span = phase == 1 ? 3100 : 900;
    for (int k = 0; k < span; k += phase == 1 ? 61 : 43) {
      SCOPED_TRACE(std::to_string(phase) + "/" + std::to_string(k));
      ResetPools();
      SpawnToPhase(k % 3, phase);
      g_player.guard = (k / 7) % 2 == 0 ? 0 : 30;  // shielded or not, it must not stick
      RunFrames(k);
      ASSERT_EQ(Boss().life_state, 2 * phase - 1);
      for (int p = phase; p <= 4; ++p) {
        Boss().phase_hp[p - 1] = 0;
        ASSERT_LT(RunUntilState(p == 4 ? 8 : 2 * p + 1, 400), 400);
      }
      EXPECT_EQ(RunUntil([] { return false; }, 300), 240);
      EXPECT_EQ(IsStageClearSequenceActive(), 1);
    }
  }
}
