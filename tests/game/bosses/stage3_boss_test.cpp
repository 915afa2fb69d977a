#include "bosses/stage3_boss.h"

#include <cmath>
#include <map>

#include "boss_fixture.h"
#include "play/items.h"

class Stage3BossTest : public BossTest {
 protected:
  void SetUp() override {
    BossTest::SetUp();
    ParkPlayer(300, 420);
  }
  void SpawnBoss(int difficulty) { SpawnAt(220, 180, -160, difficulty); }
  void SpawnToPhase(int phase, int difficulty) {
    SpawnBoss(difficulty);
    ASSERT_LT(RunUntilState(1, 400), 400);
    for (int p = 1; p < phase; ++p) {
      Boss().phase_hp[p - 1] = 0;
      ASSERT_LT(RunUntilState(2 * p + 1, 600), 600);
    }
  }
  double PivotX() { return Boss().x; }
  double PivotY() { return Boss().y - 64; }
};

TEST_F(Stage3BossTest, EntryDescendsUntouchableTurretDownAndFightsNinetyFramesAfterArriving) {
  SpawnBoss(1);
  EnemyObject& e = Boss();
  EXPECT_EQ(e.collision_class, 2);  // as spawned, before its first frame
  int arrived = -1, phase1 = -1, frame = 0;
  while (phase1 < 0 && frame < 400) {
    ShotOverBoss(500);
    Frame();
    ++frame;
    if (arrived < 0 && e.move_state == -1) {
      arrived = frame;
      EXPECT_EQ(e.x, 320.0);
      EXPECT_EQ(e.y, 160.0);
    }
    if (e.life_state == 1) {
      phase1 = frame;
      EXPECT_EQ(e.collision_class, 2);
      EXPECT_EQ(e.phase_hp[0], 55500);
    } else {
      EXPECT_EQ(e.collision_class, 1) << frame;
      EXPECT_EQ(Type220TurretAngle(e), 90) << frame;
      EXPECT_EQ(e.phase_hp[0], 56000);
    }
  }
  ASSERT_GT(arrived, 100);  // 320 pixels at 3 a frame
  EXPECT_EQ(phase1, arrived + 90);
}

TEST_F(Stage3BossTest, PhaseOneTurretSpinsWhileHeldThenTracksRestsAndHoldsAgain) {
  struct Case {
    int difficulty;
    int spin_every;
    size_t bullets;
    double first_offset;  // of the fan's first bullet from the turret angle
  };
  for (const Case& c : {Case{0, 9, 1, 0}, Case{1, 6, 1, 0}, Case{2, 6, 3, -10}}) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase(1, c.difficulty);
    auto spins = OfType(Record(640), 5);
    ASSERT_EQ(Times(spins), Every(0, c.spin_every, (639 / c.spin_every) + 1));
    for (size_t i = 0; i < spins.size(); ++i) {
      ASSERT_EQ(spins[i].shots.size(), c.bullets);
      // Held: the angle steps by 13 a volley and is kept within 0-359.
      const int angle = (90 + 13 * static_cast<int>(i)) % 360;
      EXPECT_NEAR(spins[i].shots[0].angle, angle + c.first_offset, 1e-9) << i;
    }
    EXPECT_EQ(Type220TurretMode(Boss()), kTurretHold);
    // From T 640 it turns toward the player, 3 degrees a frame at most.
    Frame();
    EXPECT_EQ(Type220TurretMode(Boss()), kTurretTrack);
    int last = Type220TurretAngle(Boss());
    std::vector<Volley> burst;
    for (int t = 641; t <= 719; ++t) {
      auto v = Record(1);
      burst.insert(burst.end(), v.begin(), v.end());
      const int now = Type220TurretAngle(Boss());
      const int turn = std::abs(now - last) % 360;
      EXPECT_TRUE(turn <= 3 || turn >= 357) << t;
      last = now;
    }
    // The burst closes step 0, from guns 4 and 5.
    ASSERT_EQ(burst.size(), 1u);
    EXPECT_EQ(burst[0].t, 719);
    ASSERT_EQ(burst[0].shots.size(), 2u);
    EXPECT_EQ(burst[0].shots[0].type, 26);
    EXPECT_EQ(burst[0].shots[0].angle, 180.0);
    EXPECT_EQ(burst[0].shots[0].x, burst[0].boss_x - 112);
    EXPECT_EQ(burst[0].shots[1].angle, 0.0);
    EXPECT_EQ(burst[0].se81, 1);
    EXPECT_EQ(BossPatternStep(Boss(), 1), 1);
    EXPECT_EQ(Boss().move_state, 1);
  }
  // It tracks through steps 1 and 2, turns to rest on the way home in step
  // 3, and holds once home.
  const int track_frames = RunUntil([this] { return BossPatternStep(Boss(), 1) == 3; });
  EXPECT_EQ(track_frames, 260 + 1600);
  EXPECT_EQ(Type220TurretMode(Boss()), kTurretTrack);
  Frame();
  EXPECT_EQ(Type220TurretMode(Boss()), kTurretRest);
  RunUntil([this] { return BossPatternStep(Boss(), 1) == 0; }, 200);
  EXPECT_EQ(Boss().x, 320.0);
  EXPECT_EQ(Boss().y, 160.0);
  EXPECT_EQ(Type220TurretMode(Boss()), kTurretHold);
}

TEST_F(Stage3BossTest, PhaseOnePatternAAimedFansAndTurningCrosses) {
  struct Case {
    int difficulty;
    int beats;
    size_t even, odd;  // bullets a volley from both guns
    int odd_type;
    int cross_every;
    size_t cross;
  };
  const Case cases[] = {{0, 4, 6, 6, 0, 12, 8}, {1, 8, 6, 6, 0, 6, 8}, {2, 8, 14, 8, 4, 6, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase(1, c.difficulty);
    auto volleys = Record(640);
    std::vector<Volley> fans;
    for (const Volley& v : volleys) {
      Volley f = v;
      f.shots.clear();
      for (const Shot& s : v.shots)
        if ((s.type == 0 || s.type == c.odd_type) && s.y > v.boss_y) f.shots.push_back(s);
      if (!f.shots.empty()) fans.push_back(f);
    }
    std::vector<int> expected;
    for (int b = 0; 6 * b < 640; ++b)
      if (b % 12 < c.beats) expected.push_back(6 * b);
    ASSERT_EQ(Times(fans), expected);
    for (const Volley& v : fans) {
      const bool odd = (v.t / 72) % 2 == 1;
      ASSERT_EQ(v.shots.size(), odd ? c.odd : c.even) << v.t;
      EXPECT_EQ(v.shots[0].type, odd ? c.odd_type : 0);
    }
    // The crosses: from call 121 every P3, silent, turning by 10 a pair one
    // way for 15 pairs and then the other way.
    auto crosses = OfType(volleys, 10);
    int first = 121;
    while (first % c.cross_every != 0) ++first;
    ASSERT_GE(crosses.size(), 31u);
    EXPECT_EQ(crosses[0].t, first);
    for (size_t k : {size_t{1}, size_t{14}, size_t{15}, size_t{30}}) {
      ASSERT_EQ(crosses[k].shots.size(), c.cross);
      const double turn = 10.0 * k * ((k / 15) % 2 == 0 ? -1 : 1);
      const double offset = c.cross == 8 ? 0.0 : -1.5;
      EXPECT_NEAR(crosses[k].shots[0].angle, turn + offset, 1e-9) << k;
    }
  }
}

TEST_F(Stage3BossTest, PhaseOnePatternBTurretSalvosOfAFanAndAWedge) {
  struct Case {
    int difficulty;
    size_t fan, wedge;
    double speed;
  };
  for (const Case& c : {Case{0, 9, 6, 3.0}, Case{1, 11, 15, 3.4}, Case{2, 34, 28, 3.0}}) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase(1, c.difficulty);
    RunToStep(1, 1);
    auto volleys = Record(260);
    ASSERT_EQ(Times(volleys), (std::vector<int>{121, 151, 181}));
    for (size_t n = 0; n < volleys.size(); ++n) {
      ASSERT_EQ(OfType({volleys[n]}, 3)[0].shots.size(), c.fan);
      ASSERT_EQ(OfType({volleys[n]}, 7)[0].shots.size(), c.wedge);
      // The fan speeds up by a whole pixel a volley.
      EXPECT_EQ(OfType({volleys[n]}, 3)[0].shots[0].speed, n + c.speed);
      // From the muzzle, 48 along the turret from the pivot.
      EXPECT_NEAR(std::hypot(volleys[n].shots[0].x - volleys[n].boss_x,
                             volleys[n].shots[0].y - (volleys[n].boss_y - 64)),
                  48.0, 1e-9);
    }
  }
}

TEST_F(Stage3BossTest, PhaseOnePatternCSideWavesAndQuickeningSalvos) {
  struct Case {
    int difficulty;
    int wave_every;
    size_t waves;
    int base;
    size_t salvo;
    double step0;  // of the type 5 fan on salvo 0
  };
  for (const Case& c :
       {Case{0, 13, 22, 80, 11, 27}, Case{1, 8, 22, 60, 15, 23}, Case{2, 6, 32, 60, 38, 23}}) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase(1, c.difficulty);
    RunToStep(1, 2);
    auto volleys = Record(1600);
    auto waves = OfType(volleys, 4);
    ASSERT_EQ(Times(waves), Every(0, c.wave_every, (1599 / c.wave_every) + 1));
    for (size_t n = 0; n < 3; ++n) {
      ASSERT_EQ(waves[n].shots.size(), c.waves);
      // Gun 2's fan of 11, 15 apart, centred on 180 + 20 sin 13n.
      EXPECT_NEAR(waves[n].shots[0].angle, 180 + 20 * SinDeg(13.0 * n) - 75, 1e-9);
    }
    // Salvos: counter above 120 on multiples of the interval, which drops
    // by 15 after salvo 5 and 30 after salvo 10.
    std::vector<int> expected;
    for (int k = 0, v = 0; k < 1600; ++k) {
      const int every = c.base - (v < 5 ? 0 : v < 10 ? 15 : 30);
      if (k > 120 && k % every == 0) {
        expected.push_back(k);
        ++v;
      }
    }
    auto salvos = OfType(volleys, 10);
    ASSERT_EQ(Times(salvos), expected);
    for (size_t v = 0; v < 4; ++v) {
      auto both = volleys[0];
      for (const Volley& x : volleys)
        if (x.t == salvos[v].t) both = x;
      auto wide = OfType({both}, 5)[0].shots;
      ASSERT_EQ(salvos[v].shots.size() + wide.size(), c.salvo);
      ASSERT_GE(wide.size(), 2u);
      EXPECT_NEAR(wide[1].angle - wide[0].angle, c.step0 - 7.0 * v, 1e-9);
    }
  }
}

TEST_F(Stage3BossTest, PhaseTwoToursTheCornersTwiceWithTheBackgroundCrossesOnlyOnTheWay) {
  SpawnToPhase(1, 1);
  ResetAllBulletCancelSlots();
  Boss().phase_hp[0] = 0;
  Frame();
  ASSERT_EQ(Boss().life_state, 2);
  // The break: one blast at the pivot, the bonus, and home.
  ResetAllExplosions();
  const uint32_t seed = RandomSeed;
  Frame();
  EXPECT_EQ(CountSound(20), 1);
  EXPECT_EQ(CountExplosions(52), 1);
  EXPECT_EQ(CountDraws(seed, RandomSeed), 1);
  EXPECT_EQ(GetPlayerScore(), 168000);
  EXPECT_EQ(g_bullet_cancels[0].frames_total, 10);
  const int break_frames = RunUntilState(3, 400) + 1;
  EXPECT_EQ(break_frames, 91);  // home already: T above 90 ends it
  EXPECT_EQ(Boss().x, 320.0);

  struct Leg {
    int step;
    double x, y;
  };
  std::vector<Leg> legs;
  std::vector<int> lengths;
  std::map<int, int> crosses_by_step;  // type 0 bullets at right angles
  int step = BossPatternStep(Boss(), 2), length = 0;
  for (int f = 0; f < 4000 && legs.size() < 10; ++f) {
    const int before = BossPatternStep(Boss(), 2);
    // On the second lap the boss is pulled up as the leg to the bottom-left
    // corner begins: the leg then lasts as long as the way there.
    if (before == 2 && length == 0 && legs.size() == 6) Boss().y = -100;
    Frame();
    for (const Shot& s : TakeShots())
      if (s.type == 0) crosses_by_step[before] += 1;
    ++length;
    if (BossPatternStep(Boss(), 2) != step) {
      legs.push_back({step, Boss().x - 140, Boss().y});
      lengths.push_back(length);
      step = BossPatternStep(Boss(), 2);
      length = 0;
    }
  }
  ASSERT_EQ(legs.size(), 10u);
  const std::vector<int> steps = {0, 1, 2, 3, 4, 5, 2, 3, 4, 10};
  // Where each step ends: TL, then BL, TR, BR, TL, BL, TR, BR, home.
  const double where[10][2] = {{180, 160}, {20, 80},  {20, 440}, {340, 80},  {340, 440},
                               {20, 80},   {20, 440}, {340, 80}, {340, 440}, {180, 160}};
  for (size_t i = 0; i < legs.size(); ++i) {
    EXPECT_EQ(legs[i].step, steps[i]) << i;
    if (i > 0) {
      EXPECT_EQ(legs[i].x, where[i][0]) << i;
      EXPECT_EQ(legs[i].y, where[i][1]) << i;
    }
  }
  EXPECT_EQ(lengths[0], 500);
  // A leg lasts 121 frames, or as long as the way to its corner.
  for (int i : {2, 3, 4, 5, 7, 8}) EXPECT_EQ(lengths[i], 121) << i;
  EXPECT_EQ(lengths[6], 136);  // 540 pixels at 4 a frame
  // Crosses at right angles fire only on the tour's legs, never during
  // pattern A's own stars' step, the wait at the first corner or the way home.
  EXPECT_EQ(crosses_by_step[1], 0);
  EXPECT_EQ(crosses_by_step[10], 0);
  for (int s = 2; s <= 5; ++s) EXPECT_GT(crosses_by_step[s], 0) << s;
}

TEST_F(Stage3BossTest, PhaseTwoPatternARingsQuickenWithTheVolleyAndStarsAlternate) {
  struct Case {
    int difficulty;
    int intervals[3];
    size_t ring;
    double offset;
    int star_every;
    size_t stars;
  };
  const Case cases[] = {{0, {30, 20, 15}, 20, 9, 40, 18},
                        {1, {30, 20, 12}, 24, 7.5, 20, 18},
                        {2, {25, 16, 8}, 36, 5, 15, 36}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase(2, c.difficulty);
    auto volleys = Record(500);
    auto rings = OfType(volleys, 8);
    std::vector<int> expected;
    for (int k = 0, v = 0; k <= 459; ++k) {
      const int every = c.intervals[v <= 4 ? 0 : v <= 10 ? 1 : 2];
      if (k % every == 0) {
        expected.push_back(k);
        ++v;
      }
    }
    ASSERT_EQ(Times(rings), expected);
    for (size_t v = 0; v < rings.size(); ++v) {
      ASSERT_EQ(rings[v].shots.size(), c.ring);
      EXPECT_EQ(rings[v].shots[0].x, rings[v].boss_x);
      EXPECT_EQ(rings[v].shots[0].y, rings[v].boss_y - 64);
    }
    auto stars = OfType(volleys, 0);
    ASSERT_EQ(Times(stars), Every(0, c.star_every, 459 / c.star_every + 1));
    EXPECT_EQ(stars[0].shots.size(), c.stars);
    EXPECT_EQ(stars[1].shots[0].angle, c.difficulty == 2 ? 10.0 : 20.0);
    EXPECT_EQ(stars[2].shots[0].angle, 0.0);
  }
}

TEST_F(Stage3BossTest, PhaseTwoCornerPatternsRingsAndTurningRings) {
  struct Case {
    int difficulty;
    int beats;
    size_t ring_b;
    int d_every;
    size_t ring_d;
  };
  for (const Case& c : {Case{0, 3, 8, 9, 15}, Case{1, 5, 12, 6, 18}, Case{2, 5, 15, 5, 24}}) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase(2, c.difficulty);
    RunToStep(2, 2);
    auto b = OfType(Record(90), 3);
    std::vector<int> expected;
    for (int t = 11; t <= 89; t += 4)
      if (((t - 11) / 4) % 7 < c.beats) expected.push_back(t);
    ASSERT_EQ(Times(b), expected);
    for (size_t i = 0; i < static_cast<size_t>(c.beats); ++i) {
      ASSERT_EQ(b[i].shots.size(), c.ring_b);
      EXPECT_EQ(b[i].shots[0].speed, i / 8.0 + b[0].shots[0].speed);
    }
    RunToStep(2, 3);
    auto d0 = OfType(Record(90), 7);
    ASSERT_EQ(Times(d0), Every(11, c.d_every, (89 - 11) / c.d_every + 1));
    ASSERT_EQ(d0[1].shots.size(), c.ring_d);
    // Side 0 turns the ring on by 11 a volley; side 1 (step 5) back.
    EXPECT_NEAR(d0[1].shots[0].angle, 11.0, 1e-9);
    RunToStep(2, 5);
    auto d1 = OfType(Record(90), 7);
    EXPECT_NEAR(d1[1].shots[0].angle, -11.0, 1e-9);
  }
}

TEST_F(Stage3BossTest, PhaseThreeSpiralsAndHeavyShotsTurnWithTheSide) {
  struct Case {
    int difficulty;
    int spiral_every;
    size_t heavy;
    int heavy_every;
  };
  for (const Case& c : {Case{0, 7, 2, 8}, Case{1, 4, 4, 5}, Case{2, 4, 4, 5}}) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase(3, c.difficulty);
    EXPECT_EQ(Boss().move_state, 20);
    ResetAllBulletCancelSlots();
    auto round0 = Record(500);
    auto spirals = OfType(round0, 34);
    std::vector<int> expected;
    for (int b = 0; 31 + c.spiral_every * b <= 499; ++b)
      if (b % 20 <= 9) expected.push_back(31 + c.spiral_every * b);
    ASSERT_EQ(Times(spirals), expected);
    // Side 0: the spiral turns by -7 a beat (every beat counts).
    ASSERT_EQ(spirals[1].shots.size(), 2u);
    EXPECT_EQ(spirals[1].shots[0].angle, -7.0);
    EXPECT_EQ(spirals[1].shots[1].angle, 173.0);
    EXPECT_EQ(spirals[10].shots[0].angle, -7.0 * 20);
    EXPECT_EQ(spirals[0].shots[0].param1, c.difficulty == 2 ? 2.0 : 0.0);
    auto heavy = OfType(round0, 35);
    ASSERT_EQ(Times(heavy), Every(31, c.heavy_every, (499 - 31) / c.heavy_every + 1));
    ASSERT_EQ(heavy[1].shots.size(), c.heavy);
    EXPECT_EQ(heavy[1].shots[0].angle, 7.0);
    EXPECT_GE(heavy[1].se81, 1);
    // The next round takes side 1.
    auto round1 = OfType(Record(500), 35);
    EXPECT_EQ(round1[1].shots[0].angle, -7.0);
  }
}

TEST_F(Stage3BossTest, DeathGoesHomeExplodingAndLeavesItsWrecks) {
  SpawnToPhase(3, 1);
  EnemyObject& e = Boss();
  ResetAllBulletCancelSlots();
  const int score = GetPlayerScore();
  EXPECT_EQ(score, 168000 + 108000);
  e.x -= 60;  // off its post, so the way home shows
  e.phase_hp[2] = 0;
  Frame();
  ASSERT_EQ(e.life_state, 8);
  int frames = 0, halts = 0;
  while (e.in_use == 1 && frames < 300) {
    Frame();
    TakeShots();
    ++frames;
    halts += static_cast<int>(kesto_fake::CallsNamed("HaltMusic").size());
    if (frames == 1) {
      EXPECT_EQ(GetPlayerScore(), score + 102000);
      EXPECT_EQ(g_bullet_cancels[0].frames_total, 240);
    }
    if (frames == 40) {
      EXPECT_EQ(e.x, 320.0);
      EXPECT_EQ(e.y, 160.0);
    }
  }
  EXPECT_EQ(frames, 240);
  EXPECT_EQ(halts, 1);
  EXPECT_EQ(IsStageClearSequenceActive(), 1);
  int wrecks = 0;
  for (const EnemyObject& w : g_enemies)
    if (w.in_use == 1 && w.type == 302) {
      ++wrecks;
      EXPECT_EQ(w.variant, 1);
    }
  EXPECT_EQ(wrecks, 14);
}

TEST_F(Stage3BossTest, EachPhaseRunsOutOnItsOwnLimitUnpaid) {
  SpawnToPhase(1, 0);
  EXPECT_EQ(RunUntilState(2), 5001);
  ASSERT_LT(RunUntilState(3, 400), 400);
  EXPECT_EQ(RunUntilState(4), 4001);
  ASSERT_LT(RunUntilState(5, 400), 400);
  EXPECT_EQ(RunUntilState(8), 3601);
  RunUntil([] { return false; }, 300);
  EXPECT_EQ(Boss().in_use, 0);
  EXPECT_EQ(GetPlayerScore(), 0);
  EXPECT_EQ(g_bullet_cancels[0].active, 0u);
  EXPECT_EQ(IsStageClearSequenceActive(), 1);
}

// Ending a phase on any frame of its cycle, on every difficulty, leads
// through the breaks and the death to the stage clear.
TEST_F(Stage3BossTest, EndingEachPhaseAtManyFramesAlwaysReachesTheStageClear) {
  const int cycle[3] = {4000, 3000, 500};
  const int stride[3] = {59, 43, 11};
  for (int phase = 1; phase <= 3; ++phase) {
    for (int k = 0; k < cycle[phase - 1]; k += stride[phase - 1]) {
      SCOPED_TRACE(std::to_string(phase) + "/" + std::to_string(k));
      ResetPools();
      SpawnToPhase(phase, k % 3);
      RunUntil([] { return false; }, k);
      ASSERT_EQ(Boss().life_state, 2 * phase - 1);
      for (int p = phase; p <= 3; ++p) {
        Boss().phase_hp[p - 1] = 0;
        ASSERT_LT(RunUntilState(p == 3 ? 8 : 2 * p + 1, 600), 600);
      }
      EXPECT_EQ(RunUntil([] { return false; }, 300), 240);
      EXPECT_EQ(IsStageClearSequenceActive(), 1);
      EXPECT_EQ(BossFightFlag(-1), 0);
    }
  }
}
