#include <cmath>
#include <map>

#include "enemy_script_fixture.h"

namespace {

using Stage5CraftTest = EnemyScriptTest;

std::vector<int> Series(int first, int step, int n) {
  std::vector<int> out;
  for (int i = 0; i < n; ++i) out.push_back(first + i * step);
  return out;
}

// ---- type 28 ----

TEST_F(Stage5CraftTest, Type28TurretsFireLockedBurstsInTurn) {
  struct Fan {
    size_t count;
    double step;
    double base;  // speed s / 2 + base
  };
  struct Case {
    int mode;
    int volleys;  // per burst, six frames apart
    std::vector<Fan> fans;
  } const cases[] = {
      {0, 5, {{5, 25, 2.5}}},
      {1, 8, {{5, 20, 3.0}}},
      {2, 8, {{4, 30, 3.5}, {5, 30, 4.0}}},
  };
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(320.0, 440.0);
    EnemyObject& e = Spawn(28, 0, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    std::vector<int> t0, t1;
    for (int f = 0; f < 90; ++f) {
      Frame();
      t0.push_back(e.turn_angles[0]);
      t1.push_back(e.turn_angles[1]);
    }
    // The drawing puts the turrets on the two pivots.
    EXPECT_DOUBLE_EQ(e.pod_x[0], e.x - 48.0);
    EXPECT_DOUBLE_EQ(e.pod_x[1], e.x + 48.0);
    EXPECT_DOUBLE_EQ(e.pod_y[1], e.y - 12.0);
    std::vector<FiredBullet> shots = OfType(0);
    EXPECT_EQ(FramesOf(shots), Join(Series(0, 6, c.volleys), Series(60, 6, 5))) << c.mode;
    // Both turrets stand still from the first volley until the count
    // reaches 8 (on frame 42), then turn again.
    for (int f = 1; f <= 42; ++f) {
      ASSERT_EQ(t0[f], t0[0]) << c.mode << " " << f;
      ASSERT_EQ(t1[f], t1[0]) << c.mode << " " << f;
    }
    EXPECT_EQ(t0[43], t0[42] + 3);
    EXPECT_EQ(t1[43], t1[42] + 3);
    size_t per = 0;
    for (const Fan& fan : c.fans) per += fan.count;
    for (int s = 0; s < c.volleys; ++s) {
      std::vector<FiredBullet> v = OfType(0, 6 * s);
      ASSERT_EQ(v.size(), per);
      size_t at = 0;
      for (const Fan& fan : c.fans) {
        // Along the left turret's angle as it was at the burst's first volley.
        EXPECT_DOUBLE_EQ(v[at].angle, t0[0] - fan.step * (fan.count - 1) / 2.0) << c.mode << s;
        EXPECT_DOUBLE_EQ(v[at].speed, s / 2.0 + fan.base) << c.mode << " " << s;
        at += fan.count;
      }
    }
    // The second burst from the right turret at its angle of frame 60.
    std::vector<FiredBullet> right = OfType(0, 60);
    EXPECT_DOUBLE_EQ(right[0].angle, t1[60] - c.fans[0].step * (c.fans[0].count - 1) / 2.0);
    EXPECT_GT(right[0].x, shots[0].x + 60.0);
  }
}

TEST_F(Stage5CraftTest, Type28CentreGunOpensOnItsCount44) {
  struct Case {
    int mode;
    int volleys;
    std::vector<double> adds;   // fan steps 16s + add
    std::vector<double> bases;  // speeds s / 5 + base
  } const cases[] = {
      {0, 5, {4, 6, 8}, {2.6, 2.4, 2.2}},
      {1, 8, {4, 6, 8}, {3.0, 2.8, 2.6}},
      {2, 8, {2, 4, 6, 8}, {3.8, 3.4, 3.0, 2.6}},
  };
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(250.0, 440.0);
    EnemyObject& e = Spawn(28, 0, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    Run(45);
    PlacePlayer(400.0, 440.0);  // after the first volley: not seen by the burst
    Run(125 - 45);
    std::vector<FiredBullet> centre = OfType(7);
    EXPECT_EQ(FramesOf(centre), Join(Series(44, 4, c.volleys), {124})) << c.mode;
    EXPECT_EQ(shot_sounds.size(), FramesOf(OfType(0)).size() + FramesOf(centre).size());
    const double aim = (OfType(7, 44)[0].angle + OfType(7, 44)[1].angle) / 2.0;
    for (int s = 0; s < c.volleys; ++s) {
      std::vector<FiredBullet> v = OfType(7, 44 + 4 * s);
      ASSERT_EQ(v.size(), 2 * c.adds.size());
      for (size_t i = 0; i < c.adds.size(); ++i) {
        EXPECT_NEAR(v[2 * i + 1].angle - v[2 * i].angle, 16.0 * s + c.adds[i], 1e-9);
        EXPECT_NEAR((v[2 * i + 1].angle + v[2 * i].angle) / 2.0, aim, 1e-9);
        EXPECT_DOUBLE_EQ(v[2 * i].speed, s / 5.0 + c.bases[i]) << c.mode << " " << s;
        EXPECT_NEAR(v[2 * i].x, e.x, 1e-9);  // gun 2, on the centre line
      }
    }
  }
}

// ---- type 29 ----

TEST_F(Stage5CraftTest, Type29BrakesFor121FramesThenStopsAndClimbsTo305) {
  struct Case {
    int variant;
    double entry_vx;
    int braking;  // frames after the first before it stops
  } const cases[] = {{0, 6.0, 121}, {1, -6.0, 121}, {3, 0.0, 1}};
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(29, c.variant, c.variant == 1 ? 300.0 : 60.0, 240.0);
    Run(1);
    EXPECT_DOUBLE_EQ(e.vx, c.entry_vx);
    Run(c.braking - 1);
    if (c.braking > 1) {
      EXPECT_NE(e.vx, 0.0) << c.variant;
      EXPECT_DOUBLE_EQ(e.vy, 0.0);
    }
    Run(1);
    EXPECT_DOUBLE_EQ(e.vx, 0.0) << c.variant;
    EXPECT_DOUBLE_EQ(e.vy, 1.0);
    Run(80);
    EXPECT_GT(e.vy, -3.0);
    Run(1);
    EXPECT_NEAR(e.vy, -3.05, 1e-12) << c.variant;
    Run(5);
    EXPECT_NEAR(e.vy, -3.05, 1e-12);
  }
}

TEST_F(Stage5CraftTest, Type29FiresAimedFansFromBothGunsThatWidenInTheBurst) {
  struct Case {
    int mode;
    std::vector<int> frames;
    size_t count;
    double add;  // fan step 10s + add
    double speed;
  } const cases[] = {
      {0, {0, 30, 150, 180}, 3, 30, 2.4},
      {1, {0, 24, 48, 120, 144, 168}, 3, 10, 3.0},
      {2, {0, 20, 40, 80, 100, 120, 160, 180}, 5, 10, 3.5},
  };
  for (const Case& c : cases) {
    SetUp();
    // It sweeps about 360 pixels to the right before it stops.
    EnemyObject& e = Spawn(29, 0, -60.0, 200.0, c.mode);
    e.screen_state = 1;
    Run(181);
    EXPECT_EQ(VolleyFrames(), c.frames) << c.mode;
    for (size_t i = 0; i < c.frames.size(); ++i) {
      std::vector<FiredBullet> v = BulletsOn(c.frames[i]);
      ASSERT_EQ(v.size(), 2 * c.count);
      const int s = static_cast<int>(i) % (c.mode == 2 ? 3 : c.mode == 1 ? 3 : 2);
      for (size_t gun = 0; gun < 2; ++gun) {
        const FiredBullet& first = v[gun * c.count];
        const FiredBullet& mid = v[gun * c.count + c.count / 2];
        EXPECT_EQ(first.type, 1);
        EXPECT_DOUBLE_EQ(first.speed, c.speed);
        EXPECT_NEAR(v[gun * c.count + 1].angle - first.angle, 10.0 * s + c.add, 1e-9)
            << c.mode << i;
        EXPECT_NEAR(mid.angle, AngleToPlayer(mid.x, mid.y), 1e-9);  // each gun, each volley
      }
      EXPECT_NEAR(v[c.count].x - v[0].x, 80.0, 1e-9);
    }
    EXPECT_TRUE(shot_sounds.empty());
  }
}

TEST_F(Stage5CraftTest, Type29And31HoldFireWithinTheirLimits) {
  struct Case {
    int type;
    double limit;
  } const cases[] = {{29, 64.0}, {31, 48.0}};
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(c.type, 0, 180.0, 100.0, 1);
    e.screen_state = 1;
    for (int f = 0; f < 20; ++f) {
      // Just inside the limit of where the script will see the craft.
      PlacePlayer(e.x + e.vx, e.y + e.vy + c.limit - 0.01);
      Frame();
    }
    EXPECT_TRUE(bullets.empty()) << c.type;
    PlacePlayer(320.0, 440.0);
    Run(1);
    EXPECT_EQ(VolleyFrames(), (std::vector<int>{20})) << c.type;  // at once, counter 0
  }
}

// ---- type 31 ----

TEST_F(Stage5CraftTest, Type31FliesItsTableOfCourses) {
  struct Leg {
    int course;
    int frames;
  };
  struct Case {
    int variant;
    std::vector<Leg> legs;  // the last is kept
  } const cases[] = {
      {0, {{180, 130}, {125, 120}, {90, 90}, {50, 90}, {0, 20}}},
      {1, {{180, 100}, {125, 100}, {90, 50}, {50, 50}, {0, 20}}},
      {2, {{0, 130}, {55, 120}, {90, 90}, {130, 90}, {180, 20}}},
      {3, {{0, 100}, {55, 100}, {90, 50}, {130, 50}, {180, 20}}},
      {6, {{0, 40}}},  // an unknown variant keeps course 0
  };
  for (const Case& c : cases) {
    SetUp();
    g_stage.layer1_speed = 0.8;
    EnemyObject& e = Spawn(31, c.variant, 180.0, 100.0);
    int f = 0;
    for (const Leg& leg : c.legs) {
      for (int i = 0; i < leg.frames; ++i, ++f) {
        RunPinned(e, 1, 320.0, 100.0);
        ASSERT_EQ(e.turn_angles[2], leg.course) << c.variant << " frame " << f;
      }
      EXPECT_DOUBLE_EQ(e.vx, CosDeg(leg.course) * 1.2);
      EXPECT_DOUBLE_EQ(e.vy, SinDeg(leg.course) * 1.2 + 0.8);  // with the ground
    }
  }
}

TEST_F(Stage5CraftTest, Type31FiresShortBurstsAimedAtTheFirstVolley) {
  struct Case {
    int mode;
    std::vector<int> frames;
    double speed;
  } const cases[] = {
      {0, {0, 5, 30, 35}, 2.6},
      {1, {0, 5, 10, 30, 35, 40}, 3.0},
      {2, {0, 5, 10, 25, 30, 35}, 4.4},
      {3, {0, 5, 10, 30, 35, 40}, 3.0},
  };
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(250.0, 440.0);
    EnemyObject& e = Spawn(31, 0, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    RunPinned(e, 3, 320.0, 100.0);
    PlacePlayer(400.0, 440.0);  // the burst keeps its first aim
    RunPinned(e, 39, 320.0, 100.0);
    EXPECT_EQ(VolleyFrames(), c.frames) << c.mode;
    for (const FiredBullet& b : bullets) {
      EXPECT_EQ(b.type, 0);
      EXPECT_DOUBLE_EQ(b.speed, c.speed);
    }
    EXPECT_DOUBLE_EQ(bullets[1].angle, bullets[0].angle);
    EXPECT_NE(BulletsOn(c.frames[c.frames.size() / 2])[0].angle, bullets[0].angle);
  }
}

TEST_F(Stage5CraftTest, Type31RevengeIsAimedFromGunZeroAndFiredFromTheCentre) {
  struct Case {
    int mode;
    double player_y;  // the craft's pattern last ran at (320, 100)
    int bullets;
  } const cases[] = {{2, 440.0, 1}, {2, 148.0, 0}, {3, 440.0, 0}, {0, 440.0, 0}};
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(320.0, c.player_y);
    EnemyObject& e = Spawn(31, 6, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    // Frame 0: no velocity yet, so the pattern places gun 0 at (320, 100).
    Frame();
    e.x = 250.0;  // moved since, without its pattern running
    ResetAllEnemyBullets();
    PlacePlayer(400.0, 440.0);
    DestroyEnemy(e);
    std::vector<EnemyBullet> burst = TakePool();
    ASSERT_EQ(static_cast<int>(burst.size()), c.bullets) << c.mode << " " << c.player_y;
    if (c.bullets == 0) continue;
    EXPECT_EQ(burst[0].type, 0);
    EXPECT_DOUBLE_EQ(burst[0].speed, 3.0);
    EXPECT_DOUBLE_EQ(burst[0].centre_x, 250.0);
    EXPECT_DOUBLE_EQ(burst[0].angle, AngleToPlayer(320.0, 100.0));
  }
}

// ---- type 36 ----

TEST_F(Stage5CraftTest, Type36DivesInBrakesSwaysAndClimbsAway) {
  EnemyObject& e = Spawn(36, 0, 180.0, -400.0, 1);
  Run(1);
  EXPECT_EQ(e.life_state, 1);
  EXPECT_DOUBLE_EQ(e.vy, 0.0);
  Run(1);
  EXPECT_DOUBLE_EQ(e.vy, 6.0);  // its first alive frame
  Run(1);
  EXPECT_DOUBLE_EQ(e.vy, 6.0 - 0.08);
  Run(74);
  // Frames 2 to 76 brake by 0.08; on frame 76 it stops and settles.
  EXPECT_DOUBLE_EQ(e.vy, 0.0);
  EXPECT_TRUE(bullets.empty());
  Run(1);
  ASSERT_FALSE(bullets.empty());
  EXPECT_EQ(VolleyFrames().front(), 77);
  EXPECT_EQ(e.screen_state, 0);  // it fires even while above the field
  EXPECT_DOUBLE_EQ(e.vx, 0.5);
  Run(500);
  EXPECT_DOUBLE_EQ(e.vx, CosDeg(500) * 0.5);
  EXPECT_DOUBLE_EQ(e.vy, SinDeg(1000) * 0.3);
  Run(1);
  // The 501st settled frame raised the drift: it climbs at 1 plus its sway.
  EXPECT_DOUBLE_EQ(e.vy, SinDeg(1002) * 0.3 - 1.0);
}

TEST_F(Stage5CraftTest, Type36PatternASwingsDownFansAndThrowsUpFans) {
  struct Case {
    int mode;
    int interval;
    size_t count;
    double step;
    double speed;
  } const cases[] = {{0, 12, 3, 20, 2.2}, {1, 5, 5, 15, 3.0}, {2, 5, 7, 15, 3.0}};
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(36, 0, 180.0, -120.0, c.mode);
    Run(77);
    std::map<int, double> cx;
    for (int f = 77; f < 77 + 8 * c.interval + 1; ++f) {
      Frame();
      cx[f] = e.x;
    }
    std::vector<FiredBullet> down = OfType(5), up = OfType(2);
    const int n = c.interval;
    EXPECT_EQ(FramesOf(down), (std::vector<int>{77, 77 + n, 77 + 4 * n, 77 + 5 * n, 77 + 8 * n}));
    EXPECT_EQ(FramesOf(up), FramesOf(down));
    for (int j = 0; j < 3; ++j) {
      const int f = 77 + 4 * n * j;
      std::vector<FiredBullet> d = OfType(5, f), u = OfType(2, f);
      ASSERT_EQ(d.size(), 2 * c.count);
      ASSERT_EQ(u.size(), 10u);
      // Gun 0's fan, then gun 1's, both about 90 + 30 sin(37j).
      const double a = 90.0 + 30.0 * SinDeg(37.0 * j);
      EXPECT_NEAR(d[c.count / 2].angle, a, 1e-9) << c.mode << " " << j;
      EXPECT_NEAR(d[c.count + c.count / 2].angle, a, 1e-9);
      EXPECT_NEAR(d[1].angle - d[0].angle, c.step, 1e-9);
      EXPECT_DOUBLE_EQ(d[0].speed, c.speed);
      EXPECT_NEAR(d[0].x, cx[f] - 104.0, 1e-9);
      EXPECT_NEAR(d[c.count].x, cx[f] + 104.0, 1e-9);
      EXPECT_DOUBLE_EQ(u[2].angle, 270.0);
      EXPECT_DOUBLE_EQ(u[1].angle - u[0].angle, 40.0);
      EXPECT_DOUBLE_EQ(u[0].speed, 5.5);
      EXPECT_NEAR(u[5].x, cx[f] + 104.0, 1e-9);
    }
  }
}

TEST_F(Stage5CraftTest, Type36PatternBWalksItsThreeGunsOneWayThenBack) {
  struct Case {
    int mode;
    int wrap;
    double step_base;
    double speed_base;
    int fans;
  } const cases[] = {{0, 15, 18, 2.0, 1}, {1, 12, 13, 3.0, 1}, {2, 12, 17, 3.0, 3}};
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(36, 0, 180.0, -120.0, c.mode);
    Run(77);
    const int first = 77 + 64;  // counting from 0 on its first settled frame
    std::map<int, double> cx;
    for (int f = 77; f <= first + 4 * c.wrap + 12; ++f) {
      Frame();
      cx[f] = e.x;
    }
    std::vector<FiredBullet> b = OfType(10);
    const int second = first + 4 * c.wrap;
    EXPECT_EQ(FramesOf(b), Join(Series(first, 4, 4), Series(second, 4, 4))) << c.mode;
    const double offsets[2][4] = {{-24, 0, 24, -24}, {24, 0, -24, 24}};
    for (int m = 0; m < 2; ++m) {
      for (int s = 0; s < 4; ++s) {
        const int f = (m == 0 ? first : second) + 4 * s;
        std::vector<FiredBullet> v = OfType(10, f);
        ASSERT_EQ(v.size(), 7u * c.fans);
        EXPECT_NEAR(v[0].x, cx[f] + offsets[m][s], 1e-9) << c.mode << " " << m << s;
        EXPECT_NEAR(v[1].angle - v[0].angle, c.step_base - 2.0 * s, 1e-9);
        EXPECT_DOUBLE_EQ(v[0].speed, s / 2.0 + c.speed_base);
        const double aim = AngleToPlayer(v[3].x, v[3].y);
        EXPECT_NEAR(v[3].angle, c.fans == 3 ? aim - 1.0 : aim, 1e-9);
        if (c.fans == 3) {
          EXPECT_NEAR(v[10].angle, aim, 1e-9);
          EXPECT_NEAR(v[17].angle, aim + 1.0, 1e-9);
        }
      }
    }
  }
}

// ---- dying sequences ----

TEST_F(Stage5CraftTest, DyingSequencesOfTheFortressAndTheGunship) {
  struct Case {
    int type;
    int kind_near;
    int removal_frame;  // 0-based dying frame on which DestroyEnemy runs
    bool rides_ground;
    int wrecks_302;
    int containers;
  } const cases[] = {{27, 50, 90, true, 1, 1}, {36, 52, 89, false, 0, 0}};
  for (const Case& c : cases) {
    SetUp();
    g_stage.layer1_speed = 1.0;
    EnemyObject& e = Spawn(c.type, 0, 180.0, 200.0, 1);
    e.screen_state = 1;
    Run(3);
    e.vx = 0.25;  // the gunship's wreck keeps its last velocity
    e.vy = 0.5;
    e.hp = 0;
    e.life_state = 8;
    e.state_timer = 0;
    bullets.clear();
    ResetAllExplosions();
    int blast_frames = 0;
    for (int t = 0; t <= c.removal_frame; ++t) {
      ASSERT_EQ(e.in_use, 1) << c.type << " " << t;
      const double cx = e.x + e.vx, cy = e.y + e.vy;
      const uint32_t before = RandomSeed;
      Frame();
      if (t == c.removal_frame) break;
      std::vector<Explosion> made = TakeExplosions();
      EXPECT_EQ(e.collision_class, 1);
      EXPECT_DOUBLE_EQ(e.vx, 0.25);
      EXPECT_DOUBLE_EQ(e.vy, c.rides_ground ? 1.0 : 0.5);
      if (t % 2 == 1 || t >= 60) {
        EXPECT_TRUE(made.empty()) << t;
        EXPECT_EQ(RandomSeed, before) << t;
        continue;
      }
      ++blast_frames;
      ASSERT_NO_FATAL_FAILURE(ExpectDyingBlast(made, before, e, cx, cy, c.kind_near, true))
          << c.type << " " << t;
    }
    EXPECT_EQ(blast_frames, 30);
    EXPECT_EQ(e.in_use, 0) << c.type;
    EXPECT_TRUE(bullets.empty());
    EXPECT_EQ(CountAlive(302), c.wrecks_302) << c.type;
    EXPECT_EQ(CountAlive(32), c.containers) << c.type;
  }
}

}  // namespace
