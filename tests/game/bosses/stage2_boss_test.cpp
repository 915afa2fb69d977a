#include "bosses/stage2_boss.h"

#include <cmath>
#include <map>

#include "boss_fixture.h"
#include "play/items.h"
#include "play/stage.h"

class Stage2BossTest : public BossTest {
 protected:
  void SetUp() override {
    BossTest::SetUp();
    ParkPlayer(300, 420);
  }
  void SpawnBoss(int difficulty) { SpawnAt(210, 180, 580, difficulty); }
  void SpawnToPhase1(int difficulty) {
    SpawnBoss(difficulty);
    ASSERT_LT(RunUntilState(1, 400), 400);
  }
  void SpawnToPhase2(int difficulty) {
    SpawnToPhase1(difficulty);
    Boss().phase_hp[0] = 0;
    ASSERT_LT(RunUntilState(3, 400), 400);
  }
};

TEST_F(Stage2BossTest, EntryRisesToItsPostWaitsGrowsAndOnlyThenTakesHits) {
  SpawnBoss(1);
  EnemyObject& e = Boss();
  EXPECT_EQ(e.collision_class, 1);
  int arrived = -1, phase1 = -1, grow_frames = 0, frame = 0;
  double scale = 0.0;
  while (phase1 < 0 && frame < 400) {
    ShotOverBoss(500);
    Frame();
    ++frame;
    if (frame == 1) {
      EXPECT_EQ(e.draw_scale, 0.5);
      scale = e.draw_scale;
    }
    if (arrived < 0 && e.move_state == 1) {
      arrived = frame;
      EXPECT_EQ(e.x, 320.0);
      EXPECT_EQ(e.y, 120.0);
    }
    if (e.draw_scale > scale) {
      ++grow_frames;
      // Growth starts only once it has waited 60 frames at the post.
      EXPECT_GT(frame, arrived + 60);
    }
    scale = e.draw_scale;
    if (e.life_state == 1) {
      phase1 = frame;
      EXPECT_EQ(e.draw_scale, 1.0);
      EXPECT_EQ(e.collision_class, 0);
      EXPECT_EQ(e.state_timer, 0);
      EXPECT_EQ(e.phase_hp[0], 63500);  // hit on its first frame
    } else {
      EXPECT_EQ(e.collision_class, 1) << frame;
      EXPECT_EQ(e.phase_hp[0], 64000) << frame;
    }
  }
  ASSERT_GT(arrived, 100);  // 460 pixels at 4 a frame
  EXPECT_EQ(grow_frames, 50);
  // 60 frames of waiting, 50 of growth, and the frame it ends.
  EXPECT_EQ(phase1, arrived + 111);
  // Phase 1 sways: vx = 0.3 cos 2t, vy = 0.2 sin t.
  NoShot();
  Frame();
  EXPECT_EQ(e.move_state, 1);
  EXPECT_NEAR(e.vx, 0.3 * CosDeg(2.0 * (BossMoveTimer(e) - 1)), 1e-12);
}

TEST_F(Stage2BossTest, PhaseOnePatternAAimedSinglesAndOffsetRings) {
  struct Case {
    int difficulty;
    int beats;
    size_t singles;  // type 0 bullets a volley
    double speed;
    int ring_every;
    size_t ring;  // type 7 bullets a ring, as many of type 5
    double offset;
  };
  const Case cases[] = {
      {0, 5, 1, 3.0, 24, 15, 12}, {1, 9, 1, 4.0, 24, 20, 9}, {2, 9, 3, 4.5, 15, 30, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase1(c.difficulty);
    auto volleys = Record(500);
    auto singles = OfType(volleys, 0);
    std::vector<int> expected;
    for (int n = 0; 101 + 4 * n <= 419; ++n)
      if (n % 9 < c.beats) expected.push_back(101 + 4 * n);
    ASSERT_EQ(Times(singles), expected);
    for (const Volley& v : singles) {
      ASSERT_EQ(v.shots.size(), c.singles);
      EXPECT_EQ(v.shots[0].speed, c.speed);
      // Even cycles from gun 0, odd ones from gun 1.
      const int cycle = (v.t - 101) / 36;
      EXPECT_EQ(v.shots[0].x, v.boss_x + (cycle % 2 == 0 ? -32 : 32)) << v.t;
    }
    // Rings from call 121 on, every Q calls, from gun 2 then gun 3.
    auto rings = OfType(volleys, 7);
    expected.clear();
    for (int k = 121; k <= 318; ++k)
      if (k % c.ring_every == 0) expected.push_back(101 + k);
    ASSERT_EQ(Times(rings), expected);
    auto fives = OfType(volleys, 5);
    ASSERT_EQ(fives.size(), rings.size());
    for (size_t i = 0; i < rings.size(); ++i) {
      ASSERT_EQ(rings[i].shots.size(), c.ring);
      ASSERT_EQ(fives[i].shots.size(), c.ring);
      EXPECT_NEAR(fives[i].shots[0].angle - rings[i].shots[0].angle, c.offset, 1e-9);
      EXPECT_EQ(rings[i].shots[0].x, rings[i].boss_x + (i % 2 == 0 ? -108 : 108));
    }
  }
}

TEST_F(Stage2BossTest, PhaseOnePatternBFansQuickenByHalvesOverTwoCycles) {
  struct Case {
    int difficulty;
    int beats;
    size_t even, odd;  // bullets a volley
    double even_base;
  };
  for (const Case& c :
       {Case{0, 15, 4, 10, 2.4}, Case{1, 20, 4, 14, 3.4}, Case{2, 20, 8, 38, 3.7}}) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase1(c.difficulty);
    RunToStep(1, 1);
    auto volleys = Record(120);
    std::vector<int> expected;
    for (int b = 0; b < 40; ++b)
      if (b % 20 < c.beats) expected.push_back(3 * b);
    ASSERT_EQ(Times(volleys), expected);
    for (const Volley& v : volleys) {
      const int b = (v.t / 3) % 20;
      const bool odd = v.t >= 60;
      ASSERT_EQ(v.shots.size(), odd ? c.odd : c.even) << v.t;
      EXPECT_EQ(v.se81, 1);
      if (!odd) {
        EXPECT_EQ(v.shots[0].speed, b / 2.0 + c.even_base);
      }
    }
  }
}

TEST_F(Stage2BossTest, PhaseOnePatternCSilentDropsUnderStillRings) {
  struct Case {
    int difficulty;
    int drop_every;
    size_t drops;
    int ring_every;
    size_t ring;
  };
  for (const Case& c : {Case{0, 20, 1, 45, 72}, Case{1, 12, 1, 45, 120}, Case{2, 12, 2, 35, 144}}) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase1(c.difficulty);
    RunToStep(1, 2);
    auto volleys = Record(480);
    auto drops = OfType(volleys, 22);
    std::vector<int> expected;
    for (int k = 0; 91 + k <= 469; k += c.drop_every)
      if ((k / c.drop_every) % 8 <= 6) expected.push_back(91 + k);
    ASSERT_EQ(Times(drops), expected);
    for (const Volley& v : drops) {
      ASSERT_EQ(v.shots.size(), c.drops);
      EXPECT_EQ(v.shots[0].x, v.boss_x);
    }
    EXPECT_EQ(drops[0].shots[0].angle, c.drops == 1 ? 90.0 : 60.0);
    auto rings = OfType(volleys, 7);
    expected.clear();
    for (int k = 0; 91 + k <= 469; k += c.ring_every) expected.push_back(91 + k);
    ASSERT_EQ(Times(rings), expected);
    for (const Volley& v : rings) {
      ASSERT_EQ(v.shots.size() * 2, c.ring);  // as many of type 5
      EXPECT_EQ(v.se81, 1);
    }
    // A drop on its own frame plays nothing.
    for (const Volley& v : volleys)
      if (v.shots[0].type == 22 && v.shots.size() == c.drops) {
        EXPECT_EQ(v.se81, 0) << v.t;
      }
  }
}

TEST_F(Stage2BossTest, PhaseOnePatternDHomingDropsCrossesAndNeedles) {
  struct Case {
    int difficulty;
    int drop_every, cross_every;
    size_t cross;
    int needles;
    int needle_type;
  };
  const Case cases[] = {{0, 22, 18, 8, 3, 8}, {1, 12, 12, 8, 5, 8}, {2, 12, 9, 16, 5, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase1(c.difficulty);
    RunToStep(1, 3);
    auto volleys = Record(500);
    auto drops = OfType(volleys, 23);
    ASSERT_GE(drops.size(), 3u);
    for (size_t m = 0; m < drops.size(); ++m) {
      EXPECT_EQ(drops[m].t, 91 + c.drop_every * static_cast<int>(m));
      // The homing drop carries its volley number and its turn.
      EXPECT_EQ(drops[m].shots[0].param1, static_cast<double>(m));
      if (c.difficulty == 2) {
        ASSERT_EQ(drops[m].shots.size(), 2u);
        EXPECT_EQ(drops[m].shots[0].angle, 70.0);
        EXPECT_EQ(drops[m].shots[1].angle, 110.0);
      }
    }
    auto crosses = OfType(volleys, 7);
    ASSERT_GE(crosses.size(), 2u);
    int first = 121;
    while (first % c.cross_every != 0) ++first;
    EXPECT_EQ(crosses[0].t, 91 + first);
    EXPECT_EQ(crosses[1].t - crosses[0].t, c.cross_every);
    ASSERT_EQ(crosses[1].shots.size(), c.cross);
    // Gun 2 turns back by 7 a volley, gun 3 on by 7.
    EXPECT_NEAR(crosses[1].shots[0].angle, 30 - 7, 1e-9);
    EXPECT_NEAR(crosses[1].shots[1].angle, 60 + 7, 1e-9);
    auto needles = OfType(volleys, c.needle_type);
    // From the call counted 64, the first multiple of 4 from 61.
    ASSERT_GE(needles.size(), static_cast<size_t>(c.needles + 1));
    EXPECT_EQ(needles[0].t, 91 + 64);
    EXPECT_EQ(needles[c.needles - 1].t, 91 + 64 + 4 * (c.needles - 1));
    EXPECT_EQ(needles[c.needles].t, 91 + 64 + 48);
    EXPECT_EQ(needles[0].shots.size(), c.difficulty == 2 ? 3u : 1u);
  }
}

TEST_F(Stage2BossTest, BreakIsOneFrameOfFireThenTheDamagedFormForGood) {
  SpawnToPhase1(1);
  EnemyObject& e = Boss();
  g_stage.layer1_speed = 1.25;
  e.phase_hp[0] = 0;
  Frame();
  ASSERT_EQ(e.life_state, 2);
  ResetAllExplosions();
  const uint32_t seed = RandomSeed;
  Frame();
  EXPECT_EQ(e.form, 1);
  EXPECT_EQ(e.script_words[1], 1);
  EXPECT_EQ(CountSound(21), 1);
  EXPECT_EQ(GetPlayerScore(), 192000);
  EXPECT_EQ(g_bullet_cancels[0].frames_total, 10);
  // 18 blasts round the engines, 2 drifting with the ground, 30 debris.
  EXPECT_EQ(CountExplosions(52), 20);
  EXPECT_EQ(CountExplosions(122), 30);
  int drifting = 0;
  for (const Explosion& x : g_explosions)
    if (x.in_use == 1 && x.kind == 52 && x.angle == 90.0 && x.y == e.y) {
      ++drifting;
      EXPECT_EQ(x.vy, SinDeg(90.0) * 1.25);
    }
  EXPECT_EQ(drifting, 2);
  EXPECT_EQ(CountDraws(seed, RandomSeed), 120);
  EXPECT_EQ(e.move_state, 0);
  // Back to the post, then phase 2 with its own sway.
  ASSERT_LT(RunUntilState(3, 200), 200);
  EXPECT_EQ(e.move_state, 2);
  EXPECT_EQ(e.state_timer, 0);
  RunUntil([] { return false; }, 500);
  EXPECT_EQ(e.form, 1);
  e.phase_hp[1] = 0;
  RunUntilState(8, 3);
  Frame();
  EXPECT_EQ(e.form, 1);
}

TEST_F(Stage2BossTest, PhaseTwoPatternAStreamsFromAlternateGuns) {
  struct Case {
    int difficulty;
    int beats;
    size_t bullets;  // type 1 a volley
  };
  for (const Case& c : {Case{0, 7, 1}, Case{1, 9, 3}, Case{2, 9, 5}}) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase2(c.difficulty);
    auto volleys = Record(320);
    auto streams = OfType(volleys, 1);
    std::vector<int> expected;
    for (int b = 0; 101 + 2 * b <= 279; ++b)
      if (b % 9 < c.beats) expected.push_back(101 + 2 * b);
    ASSERT_EQ(Times(streams), expected);
    for (const Volley& v : streams) {
      const int b = ((v.t - 101) / 2) % 9;
      const int cycle = (v.t - 101) / 18;
      ASSERT_EQ(v.shots.size(), c.bullets);
      // A third faster each beat, not a whole step every third beat.
      EXPECT_EQ(v.shots[0].speed, b / 3.0 + (c.difficulty == 0 ? 2.5 : 3.5)) << v.t;
      EXPECT_EQ(v.shots[0].x, v.boss_x + (cycle % 2 == 0 ? -32 : 32));
    }
    if (c.difficulty == 1) {
      auto extra = OfType(volleys, 7);
      ASSERT_FALSE(extra.empty());
      EXPECT_EQ((extra[0].t - 101) / 2 % 9, 8);
      EXPECT_EQ(extra[0].shots.size(), 4u);
    }
    if (c.difficulty == 2) {
      auto extra = OfType(volleys, 37);
      ASSERT_GE(extra.size(), 3u);
      EXPECT_EQ((extra[0].t - 101) / 2 % 9, 1);
      EXPECT_EQ(extra[0].shots[0].param1, -1.0);
      EXPECT_EQ(extra[1].shots[0].param1, 1.0);
      EXPECT_EQ(extra[2].shots[0].param1, -1.0);
    }
  }
}

TEST_F(Stage2BossTest, PhaseTwoPatternBHeavyBulletsOnItsFirstFrameOnly) {
  for (int d : {0, 2}) {
    SCOPED_TRACE(d);
    ResetPools();
    SpawnToPhase2(d);
    RunToStep(2, 1);
    auto volleys = Record(240);
    ASSERT_EQ(Times(volleys), (std::vector<int>{0}));
    const auto& shots = volleys[0].shots;
    ASSERT_EQ(shots.size(), d == 2 ? 2u : 1u);
    EXPECT_EQ(shots[0].type, 33);
    EXPECT_EQ(shots[0].angle, d == 2 ? 130.0 : 90.0);
    EXPECT_EQ(shots[0].speed, 4.0);
    EXPECT_EQ(volleys[0].se81, 1);
  }
}

// Its first frame comes straight after the guns are cleared, which also
// clears the interval it tests the counter against.
TEST_F(Stage2BossTest, PhaseTwoPatternCFiresOnItsFirstFrameAfterTheGunsAreCleared) {
  using Pattern = void (*)(EnemyObject&);
  const Pattern sets[3] = {FireType210Phase2PatternCHeaven, FireType210Phase2PatternCOriginal,
                           FireType210Phase2PatternCHell};
  for (int d = 0; d < 3; ++d) {
    SCOPED_TRACE(d);
    ResetPools();
    SpawnToPhase2(d);
    ResetEnemyGuns(Boss());
    ASSERT_EQ(Boss().gun_aux[4], 0.0);
    sets[d](Boss());
    auto shots = TakeShots();
    ASSERT_EQ(shots.size(), d == 2 ? 6u : 4u);
    EXPECT_EQ(shots[0].type, 24);
    EXPECT_EQ(shots[0].angle, d == 2 ? 0.0 : 45.0);
    EXPECT_EQ(shots[0].param1, 0.0);
  }
}

TEST_F(Stage2BossTest, PhaseTwoPatternCAlternatesRingsAndHeavySinglesEverFaster) {
  struct Case {
    int difficulty;
    int intervals[3];
  };
  for (const Case& c : {Case{0, {65, 55, 45}}, Case{1, {50, 40, 30}}}) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase2(c.difficulty);
    RunToStep(2, 2);
    auto volleys = Record(1600);
    // The counter is tested against the interval of the volley to come.
    std::vector<int> expected;
    for (int k = 0, n = 0; k < 1600; ++k) {
      const int every = c.intervals[n < 5 ? 0 : n < 10 ? 1 : 2];
      if (k % every == 0) {
        expected.push_back(k);
        ++n;
      }
    }
    ASSERT_EQ(Times(volleys), expected);
    int heavy = 0;
    for (size_t n = 0; n < volleys.size(); ++n) {
      const auto& shots = volleys[n].shots;
      if (n % 2 == 0) {
        ASSERT_EQ(shots.size(), 4u);
        EXPECT_EQ(shots[0].type, 24);
        EXPECT_EQ(shots[0].param1, static_cast<double>(volleys[n].t));
      } else {
        ASSERT_EQ(shots.size(), 1u);
        EXPECT_EQ(shots[0].type, 25);
        // 60 first, then 120, and so on.
        EXPECT_EQ(shots[0].angle, heavy % 2 == 0 ? 60.0 : 120.0);
        ++heavy;
      }
    }
  }
}

TEST_F(Stage2BossTest, DeathSinksHaltsTheMusicPaysAndStartsTheStageClear) {
  SpawnToPhase2(1);
  EnemyObject& e = Boss();
  const int score = GetPlayerScore();
  ResetAllBulletCancelSlots();
  e.phase_hp[1] = 0;
  Frame();
  ASSERT_EQ(e.life_state, 8);
  int frames = 0, halts = 0;
  double y = 0.0;
  while (e.in_use == 1 && frames < 300) {
    Frame();
    TakeShots();
    ++frames;
    halts += static_cast<int>(kesto_fake::CallsNamed("HaltMusic").size());
    if (frames == 1) {
      EXPECT_EQ(GetPlayerScore(), score + 120000);
      EXPECT_EQ(g_bullet_cancels[0].frames_total, 240);
      EXPECT_EQ(e.collision_class, 1);
    }
    if (frames > 2 && e.in_use == 1) {
      EXPECT_NEAR(e.y - y, 0.2, 1e-9) << frames;
    }
    if (e.in_use == 1) {
      y = e.y;
      EXPECT_EQ(e.form, 1);
    }
  }
  // Counted before the test: gone on its 240th frame.
  EXPECT_EQ(frames, 240);
  EXPECT_EQ(halts, 1);
  EXPECT_EQ(IsStageClearSequenceActive(), 1);
  EXPECT_EQ(ItemsAlive(), 40);
  EXPECT_EQ(GetPlayerScore(), score + 120000);
}

TEST_F(Stage2BossTest, EachPhaseRunsOutOnItsOwnLimitUnpaid) {
  SpawnToPhase1(2);
  EXPECT_EQ(RunUntilState(2), 5001);
  EXPECT_EQ(Boss().timed_out, 1);
  Frame();
  EXPECT_EQ(GetPlayerScore(), 0);
  EXPECT_EQ(g_bullet_cancels[0].active, 0u);
  EXPECT_EQ(Boss().form, 1);  // the break runs all the same
  ASSERT_LT(RunUntilState(3, 200), 200);
  EXPECT_EQ(RunUntilState(8), 4001);
  RunUntil([] { return false; }, 300);
  EXPECT_EQ(Boss().in_use, 0);
  EXPECT_EQ(GetPlayerScore(), 0);
  EXPECT_EQ(ItemsAlive(), 0);
  EXPECT_EQ(IsStageClearSequenceActive(), 1);
}

// Ending a phase on any frame of its cycle, on every difficulty, leads
// through the break and the death to the stage clear.
TEST_F(Stage2BossTest, EndingEachPhaseAtManyFramesAlwaysReachesTheStageClear) {
  for (int phase = 1; phase <= 2; ++phase) {
    for (int k = 0; k < (phase == 1 ? 2500 : 2160); k += phase == 1 ? 47 : 43) {
      SCOPED_TRACE(std::to_string(phase) + "/" + std::to_string(k));
      ResetPools();
      if (phase == 1)
        SpawnToPhase1(k % 3);
      else
        SpawnToPhase2(k % 3);
      RunUntil([] { return false; }, k);
      ASSERT_EQ(Boss().life_state, 2 * phase - 1);
      Boss().phase_hp[phase - 1] = 0;
      if (phase == 1) {
        ASSERT_LT(RunUntilState(3, 300), 300);
        Boss().phase_hp[1] = 0;
      }
      ASSERT_LT(RunUntilState(8, 3), 3);
      EXPECT_EQ(RunUntil([] { return false; }, 300), 240);
      EXPECT_EQ(IsStageClearSequenceActive(), 1);
      EXPECT_EQ(BossFightFlag(-1), 0);
    }
  }
}
