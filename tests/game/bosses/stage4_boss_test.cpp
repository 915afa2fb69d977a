#include "bosses/stage4_boss.h"

#include <cmath>
#include <string>

#include "boss_fixture.h"
#include "play/items.h"
#include "play/stage_clear.h"

class Stage4BossTest : public BossTest {
 protected:
  void SetUp() override {
    BossTest::SetUp();
    ParkPlayer(320, 400);
  }
  void Spawn(int difficulty) { SpawnAt(230, 180, -120, difficulty); }
  void SpawnToPhase1(int difficulty) {
    Spawn(difficulty);
    RunUntilState(1);
    ASSERT_EQ(Boss().life_state, 1);
  }
  void ToPhase2() {
    Boss().phase_hp[0] = 0;
    ASSERT_LT(RunUntilState(3, 400), 400);
  }
  void ToPhase3() {
    Boss().phase_hp[1] = 0;
    ASSERT_LT(RunUntilState(5, 400), 400);
  }
  double PodX(int i) { return Boss().pod_x[i]; }
  double PodY(int i) { return Boss().pod_y[i]; }
};

TEST_F(Stage4BossTest, TheBodyTakesItsPostThenThePodsFlyInFromTheSides) {
  Spawn(1);
  EnemyObject& e = Boss();
  int placed = -1, phase1 = -1, se83 = 0;
  for (int frame = 1; frame <= 400 && phase1 < 0; ++frame) {
    ShotAt(e.x, e.y, 500);
    const double before[4][2] = {
        {PodX(0), PodY(0)}, {PodX(1), PodY(1)}, {PodX(2), PodY(2)}, {PodX(3), PodY(3)}};
    Frame();
    se83 += CountSound(83);
    EXPECT_EQ(e.collision_class, 0);
    if (placed < 0 && BossEntryStep(e) == 1) {
      placed = frame;
      EXPECT_EQ(e.x, 320.0);
      EXPECT_EQ(e.y, 100.0);
      const double start[4][2] = {{0, 20}, {640, 20}, {40, 240}, {600, 240}};
      for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(PodX(i), start[i][0]);
        EXPECT_EQ(PodY(i), start[i][1]);
      }
    } else if (placed > 0 && e.life_state == 0) {
      // Each pod closes on its home at 6 px a frame, or has got there.
      const double home[4][2] = {{-100, -40}, {100, -40}, {-80, 80}, {80, 80}};
      for (int i = 0; i < 4; ++i) {
        const bool home_now = PodX(i) == e.x + home[i][0] && PodY(i) == e.y + home[i][1];
        if (!home_now) {
          EXPECT_NEAR(std::hypot(PodX(i) - before[i][0], PodY(i) - before[i][1]), 6.0, 1e-9);
        }
      }
    }
    if (e.life_state == 1) {
      phase1 = frame;
      EXPECT_EQ(CountSound(83), 1);
      EXPECT_EQ(e.state_timer, 0);
      EXPECT_EQ(e.move_state, 1);
      const double home[4][2] = {{-100, -40}, {100, -40}, {-80, 80}, {80, 80}};
      for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(PodX(i), e.x + home[i][0]);
        EXPECT_EQ(PodY(i), e.y + home[i][1]);
      }
      // Hit on the very frame the phase begins.
      EXPECT_EQ(e.phase_hp[0], 55500);
    } else {
      EXPECT_EQ(e.phase_hp[0], 56000) << frame;
    }
  }
  // 220 px at 3 a frame from the second frame on, the last 4 snapped.
  EXPECT_EQ(placed, 73);
  ASSERT_GT(phase1, placed);
  EXPECT_EQ(se83, 1);
}

TEST_F(Stage4BossTest, PhaseOnePatternAAimsFromTheBodyAndEachPodInTurn) {
  struct Case {
    int difficulty;
    size_t fan7, fan10;
    double v;
    int pod_interval;
    size_t pod_fan;
  };
  const Case cases[] = {{0, 9, 3, 2.5, 20, 3}, {1, 11, 5, 3.0, 15, 3}, {2, 26, 7, 3.0, 12, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    auto volleys = Record(720);
    EXPECT_EQ(BossPatternStep(Boss(), 1), 1);
    EXPECT_EQ(Boss().move_state, 20);
    std::vector<int> body, pods;
    for (const Volley& v : volleys) {
      EXPECT_GE(v.t, 121);
      EXPECT_LE(v.t, 639);
      const auto f7 = OfType(v.shots, 7);
      if (!f7.empty()) {
        const int n = static_cast<int>(body.size());
        body.push_back(v.t);
        ASSERT_EQ(f7.size(), c.fan7);
        EXPECT_EQ(OfType(v.shots, 10).size(), c.fan10);
        EXPECT_EQ(f7[0].x, v.gun_x[4]);
        // A quarter faster every volley.
        EXPECT_EQ(f7[0].speed, c.v + n / 4.0);
        if (c.difficulty == 2) {
          EXPECT_EQ(f7[13].speed, 3.3 + n / 4.0);
        }
      }
      const auto f9 = OfType(v.shots, 9);
      if (!f9.empty()) {
        const int m = static_cast<int>(pods.size());
        pods.push_back(v.t);
        ASSERT_EQ(f9.size(), c.pod_fan);
        const int g = m % 4;
        EXPECT_EQ(f9[0].x, v.gun_x[g]) << m;
        EXPECT_EQ(f9[0].y, v.gun_y[g]) << m;
      }
    }
    ASSERT_EQ(body.size(), 13u);
    EXPECT_EQ(body[1] - body[0], 40);
    EXPECT_EQ(pods.front(), 121);
    EXPECT_EQ(pods[1] - pods[0], c.pod_interval);
    EXPECT_EQ(static_cast<int>(pods.size()), (639 - 121) / c.pod_interval + 1);
  }
}

TEST_F(Stage4BossTest, PatternBLastsAsLongAsThePodsFlightToTheCorners) {
  struct Run {
    std::vector<Volley> volleys;
    std::vector<int> se81;  // frames of the step with sound 81
    int frames = 0;
  };
  auto fly = [this](int shot_se) {
    ResetAllEnemies();
    ResetStageObject();
    RandomSeed = 10;
    g_config.enemy_shot_se = shot_se;
    SpawnToPhase1(1);
    RunWhile([&] { return BossPatternStep(Boss(), 1) == 0; });
    Run run;
    while (BossPatternStep(Boss(), 1) == 1 && run.frames < 1000) {
      EXPECT_EQ(Boss().state_timer, 0);
      auto v = Record(1);
      if (CountSound(81) > 0) run.se81.push_back(run.frames);
      if (!v.empty()) run.volleys.push_back(v[0]);
      ++run.frames;
    }
    return run;
  };
  const Run run = fly(1);
  // The slowest pod, from beside the body down to (180, 440), at 2 a frame.
  EXPECT_GT(run.frames, 120);
  EXPECT_LT(run.frames, 200);
  EXPECT_EQ(BossPatternStep(Boss(), 1), 2);
  EXPECT_EQ(Boss().move_state, 2);
  const double corner[4][2] = {{180, 40}, {460, 40}, {180, 440}, {460, 440}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(PodX(i), corner[i][0]);
    EXPECT_EQ(PodY(i), corner[i][1]);
  }
  // Original: rings of 30 from each upper pod every 20 frames, with fans of
  // 4 from the lower pods; columns from the body every 5 frames, 10 of them.
  int rings = 0, columns = 0;
  for (const Volley& v : run.volleys) {
    const auto ring = OfType(v.shots, 5);
    if (!ring.empty()) {
      ++rings;
      ASSERT_EQ(ring.size(), 60u);
      EXPECT_EQ(OfType(v.shots, 1).size(), 8u);
      EXPECT_NEAR(ring[2].angle - ring[0].angle, 12.0, 1e-9);
      EXPECT_NEAR(ring[0].angle, AngleToPlayer(v.gun_x[0], v.gun_y[0]) + 6, 1e-9);
    }
    const auto column = OfType(v.shots, 4);
    if (!column.empty()) {
      ++columns;
      EXPECT_EQ(column.size(), 7u);
      EXPECT_EQ(column[0].x, v.gun_x[4]);
    }
  }
  EXPECT_EQ(rings, (run.frames - 1) / 20 + 1);
  EXPECT_EQ(columns, 10);
  // The beat sounds on every 5 frames after the columns have run out.
  EXPECT_EQ(static_cast<int>(run.se81.size()), (run.frames - 1) / 5 + 1);
  for (int f : run.se81) EXPECT_EQ(f % 5, 0);

  // Without the enemy-shot sound only the sound changes.
  const Run quiet = fly(0);
  EXPECT_TRUE(quiet.se81.empty());
  EXPECT_EQ(quiet.frames, run.frames);
  ASSERT_EQ(quiet.volleys.size(), run.volleys.size());
  for (size_t i = 0; i < run.volleys.size(); ++i) {
    ASSERT_EQ(quiet.volleys[i].shots.size(), run.volleys[i].shots.size());
    EXPECT_EQ(quiet.volleys[i].shots[0].angle, run.volleys[i].shots[0].angle);
  }
}

TEST_F(Stage4BossTest, PatternCFiresFromTheCornersAndTheBodySpirals) {
  struct Case {
    int difficulty;
    int pod_interval, pod_volleys;
    size_t per_pod;
    int spiral_interval;
    size_t spiral;  // bullets of a spiral volley
    int aimed;      // aimed volleys a burst
  };
  const Case cases[] = {{0, 5, 2, 1, 18, 4, 4}, {1, 3, 3, 1, 12, 6, 8}, {2, 3, 3, 2, 12, 8, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    RunWhile([&] { return BossPatternStep(Boss(), 1) != 2; });
    auto volleys = Record(1160);
    EXPECT_EQ(BossPatternStep(Boss(), 1), 3);
    std::vector<int> pod_times, spiral_times, aimed_times;
    for (const Volley& v : volleys) {
      EXPECT_GE(v.t, 101);
      EXPECT_LE(v.t, 1079);
      const auto spiral = OfType(v.shots, 5);
      if (!spiral.empty()) {
        const int n = static_cast<int>(spiral_times.size());
        spiral_times.push_back(v.t);
        ASSERT_EQ(spiral.size(), c.spiral);
        // Counts of 1.2 and 1.5 put two bullets on one line.
        EXPECT_EQ(spiral[0].angle, spiral[1].angle);
        EXPECT_EQ(spiral[0].speed, 1.0);
        // -9 a volley for 40 volleys, then +9 a volley.
        const int turn = n < 40 ? -9 * n : 9 * n;
        if (n < 80) {
          EXPECT_EQ(spiral[0].angle, turn) << n;
        }
      }
      const auto zero = OfType(v.shots, 0);
      size_t from_pods = 0;
      for (const Shot& s : zero) {
        const bool pod = s.y == 40.0 - 16 || s.y == 440.0 - 16;
        from_pods += pod ? 1 : 0;
      }
      if (from_pods > 0) {
        pod_times.push_back(v.t);
        EXPECT_EQ(from_pods, 4 * c.per_pod);
        // Each pod fires into the field, about its inward diagonal.
        EXPECT_NEAR(zero[0].angle, 45, 60 + 1e-9);
      }
      if (zero.size() > from_pods) {
        aimed_times.push_back(v.t);
        EXPECT_EQ(zero.back().y, v.gun_y[5]);
      }
    }
    ASSERT_FALSE(pod_times.empty());
    EXPECT_EQ(pod_times[0], 101);
    EXPECT_EQ(pod_times[1], 101 + c.pod_interval);
    // Of every 6 beats the first pod_volleys fire.
    EXPECT_EQ(pod_times[c.pod_volleys], 101 + 6 * c.pod_interval);
    EXPECT_EQ(spiral_times[0], 101);
    EXPECT_EQ(spiral_times[1], 101 + c.spiral_interval);
    ASSERT_FALSE(aimed_times.empty());
    EXPECT_EQ(aimed_times[0], 101 + 124);
    EXPECT_EQ(aimed_times[c.aimed], 101 + 124 + 48);

    // Then home at 3 a frame, and the loop starts over.
    int guard = 0;
    while (BossPatternStep(Boss(), 1) == 3 && guard++ < 400) {
      Frame();
      TakeShots();
      if (BossPatternStep(Boss(), 1) == 0) {
        EXPECT_EQ(CountSound(84), 1);
      }
    }
    EXPECT_EQ(BossPatternStep(Boss(), 1), 0);
    EXPECT_EQ(Boss().move_state, 1);
    EXPECT_EQ(Boss().state_timer, 0);
  }
}

TEST_F(Stage4BossTest, BreakOneGathersThePodsAndWaitsForTheBodyAtItsPost) {
  SpawnToPhase1(1);
  RunWhile([&] { return BossPatternStep(Boss(), 1) != 2; });
  Record(200);
  EnemyObject& e = Boss();
  e.phase_hp[0] = 0;
  Frame();
  ASSERT_EQ(e.life_state, 2);
  // Off its post, so the body's way back outlasts the pods' flight.
  e.x += 150;
  int frames = 0, gathered_for = 0;
  double last_distance = 1e9;
  while (e.life_state == 2 && frames < 400) {
    Frame();
    ++frames;
    if (frames == 1) {
      EXPECT_EQ(GetPlayerScore(), 168000);
      EXPECT_EQ(g_bullet_cancels[0].frames_total, 10);
    }
    if (e.life_state != 2) break;
    EXPECT_EQ(e.move_state, 20);
    // Pulled from the corner straight at the body, 6 a frame.
    const double d = std::hypot(PodX(2) - e.x, PodY(2) - e.y);
    if (d > 7.0) {
      EXPECT_LT(d, last_distance);
    }
    last_distance = d;
    bool all = true;
    for (int i = 0; i < 4; ++i) all = all && Type230PodArrived(e, i) == 1;
    gathered_for += all ? 1 : 0;
  }
  // The pods were in long before the body reached its post.
  EXPECT_GT(gathered_for, 50);
  EXPECT_GT(frames, 150);
  EXPECT_EQ(e.x, 320.0);
  EXPECT_EQ(e.y, 100.0);
  EXPECT_EQ(e.move_state, 1);
  EXPECT_EQ(e.state_timer, 0);
  EXPECT_EQ(Type230PodMode(e), kType230RingClockwise);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(PodX(i), e.x);
    EXPECT_EQ(PodY(i), e.y);
  }
}

TEST_F(Stage4BossTest, TheRingOpensInSixtyFramesAndTurnsTheOtherWayAfterEachReturn) {
  SpawnToPhase1(1);
  ToPhase2();
  EnemyObject& e = Boss();
  // The break's last frame lays the ring out at radius 0 on the centre.
  ASSERT_EQ(Type230PodMode(e), kType230RingClockwise);
  EXPECT_EQ(PodX(3), e.x);
  EXPECT_EQ(PodY(3), e.y);
  std::vector<int> radii{Type230RingRadius(e)};
  for (int f = 0; f < 70; ++f) {
    const int ring = Type230RingAngle(e);
    const int r = Type230RingRadius(e);
    Frame();
    TakeShots();
    radii.push_back(Type230RingRadius(e));
    // Clockwise: pod i at 90 i + ring angle, its gun along the same angle.
    EXPECT_NEAR(PodX(1), e.x + CosDeg(90 + ring) * r, 1e-9) << f;
    EXPECT_NEAR(PodY(1), e.y + SinDeg(90 + ring) * r, 1e-9) << f;
    EXPECT_EQ(e.gun_angle[1], 90 + ring);
    EXPECT_EQ(Type230RingAngle(e), ring + 1);
  }
  EXPECT_EQ(radii[0], 2);
  EXPECT_EQ(radii[58], 118);
  EXPECT_EQ(radii[59], 120);  // sixty frames after the ring began
  EXPECT_EQ(radii[70], 120);

  // The first return: the pods close in, sound 84, and the next ring turns
  // counter-clockwise.
  RunWhile([&] { return BossPatternStep(e, 2) != 2; });
  int guard = 0, se84 = 0;
  while (BossPatternStep(e, 2) == 2 && guard++ < 200) {
    Frame();
    TakeShots();
    se84 += CountSound(84);
  }
  EXPECT_EQ(se84, 1);
  EXPECT_EQ(Type230RingTurns(e), 1);
  EXPECT_EQ(Type230PodMode(e), kType230RingCounterClockwise);
  for (int f = 0; f < 20; ++f) {
    Frame();
    TakeShots();
  }
  // Pod i sits at 90 i - ring angle, but its gun keeps the clockwise angle
  // 90 i + ring angle: the ring's shots are not radial while it turns back.
  const int ring = Type230RingAngle(e) - 1;
  EXPECT_EQ(ring, 20);
  const double r = Type230RingRadius(e) - 2;
  EXPECT_NEAR(PodX(1), e.x + CosDeg(90 - ring) * r, 1e-9);
  EXPECT_NEAR(PodY(1), e.y + SinDeg(90 - ring) * r, 1e-9);
  EXPECT_EQ(e.gun_angle[1], 90 + ring);
  EXPECT_EQ(e.gun_angle[3], 270 + ring);

  // The second return turns it clockwise again.
  RunWhile([&] { return BossPatternStep(e, 2) != 2; });
  RunWhile([&] { return BossPatternStep(e, 2) == 2; });
  EXPECT_EQ(Type230RingTurns(e), 2);
  EXPECT_EQ(Type230PodMode(e), kType230RingClockwise);
}

TEST_F(Stage4BossTest, PhaseTwoPatternsFireFromTheOrbitingPods) {
  struct Case {
    int difficulty;
    int pair_volleys;
    size_t pair;  // type-1 bullets a volley
    int column_volleys;
    size_t column;  // type-10 bullets a volley of pattern A
    int ring_interval;
    size_t ring;  // type-10 bullets a volley of pattern B (4 pods)
    double ring_step;
    int outer_interval;
    size_t outer;
  };
  const Case cases[] = {{0, 5, 4, 3, 1, 15, 12, 20, 14, 4},
                        {1, 8, 4, 5, 1, 8, 12, 18, 7, 4},
                        {2, 8, 6, 5, 3, 7, 20, 15, 7, 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    ToPhase2();
    auto a = Record(390);
    ASSERT_EQ(BossPatternStep(Boss(), 2), 1);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a[0].t, 31);
    // Beats of 3 frames in cycles of 8, one pod a cycle.
    std::vector<int> pair_times;
    for (const Volley& v : a) {
      const auto pair = OfType(v.shots, 1);
      const auto column = OfType(v.shots, 10);
      if (!pair.empty()) {
        pair_times.push_back(v.t);
        ASSERT_EQ(pair.size(), c.pair);
        // The far pair goes out sideways, at 0 and 180.
        EXPECT_NEAR(pair[pair.size() - 2].angle, 0.0, 1e-9);
        EXPECT_NEAR(pair.back().angle, 180.0, 1e-9);
        const int beat = ((v.t - 31) / 3) % 8;
        EXPECT_NEAR(pair[1].angle - pair[0].angle, beat * 15 + 10, 1e-9);
        const int g = ((v.t - 31) / 24) % 4;
        EXPECT_EQ(pair[0].x, v.gun_x[g]);
      }
      if (!column.empty()) {
        const int beat = ((v.t - 31) / 3) % 8;
        EXPECT_LT(beat, c.column_volleys);
        ASSERT_EQ(column.size(), c.column);
        EXPECT_EQ(column[0].speed, 2.0 + beat / 4.0);
      }
    }
    EXPECT_EQ(pair_times[0], 31);
    EXPECT_EQ(pair_times[c.pair_volleys], 31 + 24);

    // Pattern B from frame 91.
    std::vector<int> rings, outers, aimed;
    for (int f = 0; f < 640; ++f) {
      const int t = Boss().state_timer;
      const int ring_angle = Type230RingAngle(Boss());
      Frame();
      const auto shots = TakeShots();
      const auto ring = OfType(shots, 10);
      if (!ring.empty()) {
        rings.push_back(t);
        ASSERT_EQ(ring.size(), c.ring);
        // Along the ring's gun angle less 90, wobbled from the second volley.
        if (rings.size() <= 2) {
          const double half = (static_cast<double>(c.ring / 4) - 1) * c.ring_step / 2;
          EXPECT_NEAR(ring[0].angle, ring_angle - 1 - 90 - half, 1e-9);
        }
      }
      const auto outer = OfType(shots, 5);
      if (!outer.empty()) {
        outers.push_back(t);
        ASSERT_EQ(outer.size(), c.outer);
      }
      if (!OfType(shots, 0).empty()) aimed.push_back(t);
    }
    EXPECT_EQ(BossPatternStep(Boss(), 2), 2);
    ASSERT_GE(rings.size(), 2u);
    EXPECT_EQ(rings[0], 91);
    EXPECT_EQ(rings[1], 91 + c.ring_interval);
    EXPECT_EQ(outers[0], 91);
    EXPECT_EQ(outers[1], 91 + c.outer_interval);
    ASSERT_FALSE(aimed.empty());
    EXPECT_EQ(aimed[0], 91 + 125);
  }
}

TEST_F(Stage4BossTest, BreakTwoBlowsUpThePodsAndPhaseThreeFightsTheBodyAlone) {
  SpawnToPhase1(2);
  ToPhase2();
  Record(200);
  EnemyObject& e = Boss();
  e.phase_hp[1] = 0;
  Frame();
  ASSERT_EQ(e.life_state, 4);
  ResetAllExplosions();
  const double pods[4][2] = {
      {PodX(0), PodY(0)}, {PodX(1), PodY(1)}, {PodX(2), PodY(2)}, {PodX(3), PodY(3)}};
  const uint32_t seed = RandomSeed;
  Frame();
  EXPECT_EQ(CountSound(20), 1);
  EXPECT_EQ(GetPlayerScore(), 168000 + 120000);
  EXPECT_EQ(e.move_state, 20);
  EXPECT_EQ(CountExplosions(52), 4);
  EXPECT_EQ(CountExplosions(122), 24);
  EXPECT_EQ(DrawsBetween(seed, RandomSeed), 48);
  int tenths = 0;
  for (const Explosion& x : g_explosions) {
    if (x.in_use != 1) continue;
    if (x.kind == 122) {
      EXPECT_EQ(x.param1, 0.0);  // plain debris, drawn at scale 1
      // RandomInt(40) / 10 + 1 divides as reals.
      const double speed = std::hypot(x.vx, x.vy);
      tenths += std::abs(speed - std::round(speed)) > 0.05 ? 1 : 0;
    }
    bool near_a_pod = false;
    for (const auto& p : pods) near_a_pod = near_a_pod || std::hypot(x.x - p[0], x.y - p[1]) < 33;
    EXPECT_TRUE(near_a_pod);
  }
  EXPECT_GT(tenths, 12);
  const int frames = RunUntilState(5, 400);
  EXPECT_LT(frames, 400);
  EXPECT_EQ(e.move_state, 3);
  EXPECT_EQ(e.state_timer, 0);
  // A pod's place takes no shots now; the body does.
  Frame();
  ShotAt(e.pod_x[0], e.pod_y[0], 100);
  Frame();
  EXPECT_EQ(e.phase_hp[2], 36000);
  ShotAt(e.x, e.y, 100);
  Frame();
  EXPECT_EQ(e.phase_hp[2], 36000 - 100);
  NoShot();
}

TEST_F(Stage4BossTest, PhaseThreeQuickensItsRingsAfterTenAndTwentyFiveVolleys) {
  struct Case {
    int difficulty;
    int intervals[3];
    size_t ring10, ring5;
    int aimed;
    size_t aimed_fan;
  };
  const Case cases[] = {{0, {28, 18, 12}, 20, 0, 12, 5},
                        {1, {22, 12, 8}, 24, 0, 18, 7},
                        {2, {19, 11, 7}, 20, 15, 18, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetAllEnemies();
    SpawnToPhase1(c.difficulty);
    ToPhase2();
    ToPhase3();
    std::vector<int> ring_times, aimed_times;
    for (const Volley& v : Record(61 + 600)) {
      const auto ring = OfType(v.shots, 10);
      if (!ring.empty()) {
        const size_t n = ring_times.size();
        ring_times.push_back(v.t);
        ASSERT_EQ(ring.size(), c.ring10);
        EXPECT_EQ(OfType(v.shots, 5).size(), c.ring5);
        // Guns 5 and 6 by turns.
        EXPECT_EQ(ring[0].x, v.gun_x[n % 2 == 0 ? 5 : 6]) << n;
      }
      const auto aimed = OfType(v.shots, 2);
      if (!aimed.empty()) {
        aimed_times.push_back(v.t);
        EXPECT_EQ(aimed.size(), c.aimed_fan);
        EXPECT_EQ(aimed[0].x, v.gun_x[4]);
      }
    }
    ASSERT_GT(ring_times.size(), 27u);
    EXPECT_EQ(ring_times[0], 61);
    for (size_t n = 1; n < 27; ++n) {
      const int interval = n <= 9 ? c.intervals[0] : n <= 24 ? c.intervals[1] : c.intervals[2];
      // The counter only meets the new interval's multiples.
      EXPECT_EQ((ring_times[n] - 61) % interval, 0) << n;
      EXPECT_LE(ring_times[n] - ring_times[n - 1], interval) << n;
    }
    EXPECT_EQ(ring_times[1] - ring_times[0], c.intervals[0]);
    EXPECT_EQ(Type230VolleyInterval(Boss()), c.intervals[2]);
    ASSERT_GT(aimed_times.size(), static_cast<size_t>(c.aimed));
    EXPECT_EQ(aimed_times[0], 61 + 126);
    EXPECT_EQ(aimed_times[c.aimed - 1], 61 + 126 + 6 * (c.aimed - 1));
    EXPECT_EQ(aimed_times[c.aimed], 61 + 126 + 120);
  }
}

// The ring stream's interval lives in the record, where a fresh boss or a
// gun reset leaves 0: its first frame must not divide by it.
TEST_F(Stage4BossTest, PhaseThreePatternsFirstFrameRightAfterAGunResetFires) {
  for (auto pattern : {FireType230Phase3PatternAHeaven, FireType230Phase3PatternAOriginal,
                       FireType230Phase3PatternAHell}) {
    ResetPools();
    Spawn(1);
    EnemyObject& e = Boss();
    Type230VolleyInterval(e) = 0;
    ResetEnemyGuns(e);
    ClearLog();
    pattern(e);
    const auto shots = TakeShots();
    EXPECT_GE(Type230VolleyInterval(e), 7);
    EXPECT_GE(shots.size(), 20u);
    EXPECT_EQ(CountSound(81), 1);
  }
}

TEST_F(Stage4BossTest, ShotDownItStopsPaysHaltsTheMusicAndClearsTheStage) {
  SpawnToPhase1(0);
  ToPhase2();
  ToPhase3();
  EnemyObject& e = Boss();
  Record(30);
  const int score = GetPlayerScore();
  e.phase_hp[2] = 0;
  Frame();
  ASSERT_EQ(e.life_state, 8);
  int frames = 0, halts = 0;
  while (e.in_use == 1 && frames < 300) {
    Frame();
    halts += static_cast<int>(kesto_fake::CallsNamed("HaltMusic").size());
    ++frames;
    if (frames == 1) {
      EXPECT_EQ(e.move_state, 30);
      EXPECT_EQ(e.collision_class, 1);
      EXPECT_EQ(GetPlayerScore(), score + 108000);
    }
    if (frames == 2) {
      EXPECT_EQ(e.vx, 0.0);
      EXPECT_EQ(e.vy, 0.0);
    }
  }
  EXPECT_EQ(frames, 240);
  EXPECT_EQ(halts, 1);
  EXPECT_EQ(ItemsAlive(), 40);
  EXPECT_EQ(IsStageClearSequenceActive(), 1);
  EXPECT_EQ(BossFightFlag(-1), 0);
}

TEST_F(Stage4BossTest, TimedOutPhasesPayNothingAndAShotDownOnePays) {
  SpawnToPhase1(1);
  EnemyObject& e = Boss();
  // Phase 1 runs out of time: no bonus, no cancel.
  EXPECT_EQ(RunUntilState(2), 4001);
  EXPECT_EQ(e.timed_out, 1);
  Frame();
  EXPECT_EQ(GetPlayerScore(), 0);
  EXPECT_EQ(g_bullet_cancels[0].active, 0u);
  RunUntilState(3, 400);
  ToPhase3();
  EXPECT_EQ(GetPlayerScore(), 120000);
  // Phase 3 runs out too: the death pays nothing and drops nothing.
  EXPECT_EQ(RunUntilState(8), 3601);
  RunWhile([] { return true; }, 300);
  EXPECT_EQ(e.in_use, 0);
  EXPECT_EQ(GetPlayerScore(), 120000);
  EXPECT_EQ(ItemsAlive(), 0);
  EXPECT_EQ(IsStageClearSequenceActive(), 1);
}

// Ending a phase on any frame of its cycle leads through the breaks and the
// death to the stage clear.
TEST_F(Stage4BossTest, EndingEachPhaseAtManyFramesAlwaysReachesTheStageClear) {
  for (int phase = 1; phase <= 3; ++phase) {
    const int span = phase == 1 ? 2600 : phase == 2 ? 1200 : 600;
    const int stride = phase == 1 ? 47 : phase == 2 ? 29 : 31;
    for (int k = 0; k < span; k += stride) {
      SCOPED_TRACE(std::to_string(phase) + "/" + std::to_string(k));
      ResetPools();
      SpawnToPhase1(k % 3);
      if (phase >= 2) ToPhase2();
      if (phase == 3) ToPhase3();
      RunFrames(k);
      ASSERT_EQ(Boss().life_state, 2 * phase - 1);
      for (int p = phase; p <= 3; ++p) {
        Boss().phase_hp[p - 1] = 0;
        ASSERT_LT(RunUntilState(p == 3 ? 8 : 2 * p + 1, 600), 600);
      }
      const int frames = RunWhile([] { return true; }, 300);
      EXPECT_EQ(frames, 240);
      EXPECT_EQ(IsStageClearSequenceActive(), 1);
      EXPECT_EQ(BossFightFlag(-1), 0);
    }
  }
}
