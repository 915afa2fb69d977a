#include <cmath>
#include <cstring>

#include "enemy_script_fixture.h"
#include "stages/enemy_scripts.h"

namespace {

class Stage4CraftTest : public EnemyScriptTest {
 protected:
  // A dart with its start delay in the first two argument words.
  EnemyObject& SpawnDart(int variant, double delay, double field_x, double y, int mode) {
    g_flags.DifficultyMode = mode;
    uint64_t bits = 0;
    std::memcpy(&bits, &delay, sizeof bits);
    const int32_t serial = EnemySerialCounter;
    EXPECT_EQ(SpawnEnemyWithArgs(field_x, y, 21, variant, static_cast<uint32_t>(bits),
                                 static_cast<uint32_t>(bits >> 32), 0, 0),
              0);
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.serial == serial) return e;
    ADD_FAILURE() << "no dart";
    return g_enemies[0];
  }
};

// ---- type 21 ----

TEST_F(Stage4CraftTest, Type21FliesItsHookAndEndsOnItsCourse) {
  struct Case {
    int variant;
    int start;
    int step;
    int end;
  } const cases[] = {
      {0, 0, 7, 203},   {1, 150, 7, 381},  {2, 200, -7, -24},
      {3, -20, 7, 204}, {4, 180, -7, -23}, {9, 0, 0, 0},  // an unknown variant flies right
  };
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(21, c.variant, 180.0, 200.0);
    for (int f = 0; f < 40; ++f) {
      RunPinned(e, 1, 320.0, 200.0);
      ASSERT_EQ(e.turn_angles[0], c.start) << c.variant << " " << f;
    }
    RunPinned(e, 1, 320.0, 200.0);
    EXPECT_EQ(e.turn_angles[0], c.start + c.step) << c.variant;
    RunPinned(e, 60, 320.0, 200.0);
    EXPECT_EQ(e.turn_angles[0], c.end) << c.variant;
    // The drawing reads the course wrapped into 0-359.
    EXPECT_EQ(e.turn_angles[1], (c.end + 360) % 360) << c.variant;
    EXPECT_DOUBLE_EQ(e.vx, CosDeg(c.end) * 8.0);
    EXPECT_DOUBLE_EQ(e.vy, SinDeg(c.end) * 8.0);
  }
}

TEST_F(Stage4CraftTest, Type21FiresShortBurstsInStepsOfFive) {
  struct Case {
    int mode;
    std::vector<int> frames;
    std::vector<double> speeds;  // one bullet per speed, all on one line
  } const cases[] = {
      {0, {0, 160}, {3.0}},
      {1, {0, 8, 160, 168}, {4.0}},
      {2, {0, 8, 96, 104, 192}, {4.0, 5.2}},
      {3, {0, 8, 160, 168}, {4.0}},  // ACCEL plays ORIGINAL
  };
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(400.0, 440.0);
    EnemyObject& e = Spawn(21, 9, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    RunPinned(e, 200, 320.0, 100.0);
    EXPECT_EQ(VolleyFrames(), c.frames) << c.mode;
    for (int f : VolleyFrames()) {
      std::vector<FiredBullet> v = BulletsOn(f);
      ASSERT_EQ(v.size(), c.speeds.size()) << c.mode << " " << f;
      for (size_t i = 0; i < v.size(); ++i) {
        EXPECT_EQ(v[i].type, 0);
        EXPECT_DOUBLE_EQ(v[i].speed, c.speeds[i]);
        EXPECT_DOUBLE_EQ(v[i].angle, AngleToPlayerInSteps(v[i].x, v[i].y, 5));
        EXPECT_DOUBLE_EQ(v[i].angle, 75.0);
      }
    }
    EXPECT_TRUE(shot_sounds.empty());
  }
}

TEST_F(Stage4CraftTest, Type21HoldsItsFireForTheStartDelayCountedFromItsSpawn) {
  struct Case {
    double delay;
    int on_field_from;  // frames held above the field first
    int first_volley;
  } const cases[] = {
      {20.0, 0, 20},
      {5.0, 0, 5},
      {-11.0, 0, 1},   // on its first frame on the field
      {20.0, 30, 31},  // the delay ran out off the field: its first frame there
  };
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = SpawnDart(0, c.delay, 180.0, -100.0, 1);
    RunPinned(e, c.on_field_from, 320.0, -100.0);
    RunPinned(e, 40, 320.0, 100.0);
    ASSERT_FALSE(bullets.empty()) << c.delay;
    EXPECT_EQ(VolleyFrames().front(), c.first_volley) << c.delay;
  }
}

TEST_F(Stage4CraftTest, Type21HoldsFireWithin56AndFiresAtOnceWhenClear) {
  EnemyObject& e = Spawn(21, 9, 180.0, 100.0, 1);
  e.screen_state = 1;
  RunPinned(e, 1, 320.0, 100.0);
  PlacePlayer(320.0 + 8.0 + 56.0, 100.0);  // the script sees the centre moved by 8
  RunPinned(e, 20, 320.0, 100.0);
  PlacePlayer(320.0, 440.0);
  RunPinned(e, 10, 320.0, 100.0);
  EXPECT_EQ(VolleyFrames(), (std::vector<int>{0, 21, 29}));
}

// ---- revenge burst ----

TEST_F(Stage4CraftTest, Type21RevengeOnlyOnHellAndOnlyFromAfar) {
  struct Case {
    int mode;
    double player_x;  // the dart sits at (320, 100): it has not moved yet
    int bullets;
  } const cases[] = {{2, 400.0, 1}, {2, 370.0, 0}, {3, 400.0, 0}, {1, 400.0, 0}};
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(c.player_x, 100.0);
    EnemyObject& e = Spawn(21, 9, 180.0, 100.0, c.mode);
    e.screen_state = 1;
    RunPinned(e, 1, 320.0, 100.0);
    PlacePlayer(c.player_x, 440.0);
    ResetAllEnemyBullets();
    DestroyEnemy(e);
    std::vector<EnemyBullet> burst = TakePool();
    ASSERT_EQ(static_cast<int>(burst.size()), c.bullets) << c.mode << " " << c.player_x;
    if (c.bullets == 0) continue;
    EXPECT_EQ(burst[0].type, 1);
    EXPECT_DOUBLE_EQ(burst[0].speed, 4.0);
    EXPECT_DOUBLE_EQ(burst[0].centre_x, 320.0);
    EXPECT_DOUBLE_EQ(burst[0].angle, AngleToPlayerInSteps(320.0, 100.0, 5));
    EXPECT_EQ(std::fmod(burst[0].angle, 5.0), 0.0);
  }
}

// ---- type 22 ----

TEST_F(Stage4CraftTest, Type22BrakesThenFiresThreeAimedFansPerVolley) {
  struct Case {
    int mode;
    std::vector<int> offsets;
    double count;
    double steps[3];
    std::vector<double> centre_speeds;  // rising with the shot count, halved as a double
    double side_speed;
  } const cases[] = {
      {0, {0, 5, 60, 65}, 3, {30, 46, 46}, {3.4, 3.9}, 3.4},
      {1, {0, 5, 10, 60, 65, 70}, 3, {24, 43, 43}, {3.4, 3.9, 4.4}, 3.4},
      {2, {0, 4, 8, 12, 48, 52, 56, 60}, 7, {15, 24, 25}, {4.0, 4.8, 5.6, 6.4}, 5.3},
  };
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(22, 0, 180.0, 40.0, c.mode);
    e.screen_state = 1;
    Run(47 + 75);
    ASSERT_FALSE(bullets.empty()) << c.mode;
    // Frame 0 sets vy 5; 45 frames of braking; frame 46 settles at 0.6.
    EXPECT_EQ(VolleyFrames().front(), 47) << c.mode;
    EXPECT_EQ(VolleyOffsets(), c.offsets) << c.mode;
    EXPECT_EQ(shot_sounds, VolleyFrames());
    const size_t n = static_cast<size_t>(c.count);
    for (size_t i = 0; i < c.centre_speeds.size(); ++i) {
      std::vector<FiredBullet> v = BulletsOn(VolleyFrames()[i]);
      ASSERT_EQ(v.size(), 3 * n);
      for (size_t gun = 0; gun < 3; ++gun) {
        const FiredBullet& first = v[gun * n];
        EXPECT_EQ(first.type, 3);
        EXPECT_DOUBLE_EQ(v[gun * n + 1].angle - first.angle, c.steps[gun]) << c.mode << gun;
        EXPECT_DOUBLE_EQ(first.speed, gun == 0 ? c.centre_speeds[i] : c.side_speed)
            << c.mode << " volley " << i << " gun " << gun;
      }
    }
  }
}

TEST_F(Stage4CraftTest, Type22KeepsEachGunsFirstAimForTheBurst) {
  PlacePlayer(200.0, 440.0);
  EnemyObject& e = Spawn(22, 0, 180.0, 40.0, 1);
  e.screen_state = 1;
  Run(48);
  PlacePlayer(450.0, 300.0);
  Run(40);
  std::vector<FiredBullet> first = BulletsOn(47), third = BulletsOn(57);
  ASSERT_EQ(first.size(), 9u);
  ASSERT_EQ(third.size(), 9u);
  for (int gun = 0; gun < 3; ++gun) {
    const FiredBullet& mid = first[3 * gun + 1];
    // Gun 0 at the centre, guns 1 and 2 32 pixels out and 24 up.
    EXPECT_NEAR(mid.x - first[1].x, gun == 0 ? 0.0 : gun == 1 ? -32.0 : 32.0, 1e-9);
    EXPECT_NEAR(mid.y - first[1].y, gun == 0 ? 0.0 : -24.0, 1e-9);
    EXPECT_DOUBLE_EQ(third[3 * gun + 1].angle, mid.angle) << gun;
  }
  (void)e;
}

// ---- type 26 ----

TEST_F(Stage4CraftTest, Type26ScissorsCloseInNineVolleysThenFireStraightAndReaim) {
  struct Case {
    int mode;
    int interval;
    int per_fan;
    double speed;
  } const cases[] = {{0, 9, 2, 2.5}, {1, 6, 2, 3.0}, {2, 5, 4, 3.4}};
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(250.0, 440.0);
    EnemyObject& e = Spawn(26, 0, 180.0, -360.0, c.mode);
    Run(139);
    // Braking from 4.5 by 0.03 to 0.4 takes 137 frames after the first.
    EXPECT_TRUE(bullets.empty());
    // It fires while still entering: its centre is above the field.
    EXPECT_EQ(e.screen_state, 0);
    Run(1 + 8 * c.interval);
    PlacePlayer(400.0, 300.0);  // seen only by the tenth volley's fresh aim
    Run(c.interval);
    std::vector<int> scissors;
    for (const FiredBullet& b : bullets)
      if (b.type == 8 && (scissors.empty() || scissors.back() != b.frame))
        scissors.push_back(b.frame);
    ASSERT_EQ(scissors.size(), 10u) << c.mode;
    for (int k = 0; k < 10; ++k) {
      EXPECT_EQ(scissors[k], 139 + k * c.interval) << c.mode;
      std::vector<FiredBullet> v;
      for (const FiredBullet& b : BulletsOn(scissors[k]))
        if (b.type == 8) v.push_back(b);
      const int fans = 4 * c.per_fan;
      ASSERT_EQ(static_cast<int>(v.size()), k == 8 ? fans + 2 : fans) << c.mode << " " << k;
      const int kk = k % 9;
      const double inner = 180.0 - 20.0 * kk, outer = 220.0 - 20.0 * kk;
      const double spread = c.per_fan - 1.0;
      EXPECT_DOUBLE_EQ(v[c.per_fan - 1].angle - v[0].angle, inner * spread) << k;
      EXPECT_DOUBLE_EQ(v[3 * c.per_fan - 1].angle - v[2 * c.per_fan].angle, outer * spread) << k;
      EXPECT_DOUBLE_EQ(v[0].speed, c.speed);
      // Gun 1 left of gun 2, 96 apart, 72 above the centre.
      EXPECT_NEAR(v[c.per_fan].x - v[0].x, 96.0, 1e-9);
      if (k == 8) {
        // Straight at the aimed point: the middle of each gun's fans.
        const FiredBullet& s1 = v[fans];
        const FiredBullet& s2 = v[fans + 1];
        EXPECT_NEAR(s1.angle, (v[0].angle + v[c.per_fan - 1].angle) / 2.0, 1e-9);
        EXPECT_NEAR(s2.angle, (v[c.per_fan].angle + v[2 * c.per_fan - 1].angle) / 2.0, 1e-9);
        EXPECT_DOUBLE_EQ(s1.speed, 3.0);  // on every difficulty
        EXPECT_DOUBLE_EQ(s2.speed, 3.0);
        EXPECT_LT(s1.x, s2.x);
      }
    }
    // The first nine share the first aim; the tenth takes a fresh one.
    std::vector<FiredBullet> first = BulletsOn(scissors[0]), tenth = BulletsOn(scissors[9]);
    const double mid0 = (first[0].angle + first[c.per_fan - 1].angle) / 2.0;
    const double mid9 = (tenth[0].angle + tenth[c.per_fan - 1].angle) / 2.0;
    EXPECT_NE(mid9, mid0) << c.mode;
    EXPECT_NEAR(mid9, AngleToPlayer(tenth[0].x, tenth[0].y), 1e-9);
    PlacePlayer(250.0, 440.0);
    EXPECT_NEAR(mid0, AngleToPlayer(first[0].x, first[0].y), 1e-9);
    EXPECT_EQ(static_cast<int>(shot_sounds.size()), 10) << c.mode;
  }
}

TEST_F(Stage4CraftTest, Type26DropsShortFansStraightDownOnItsOwnCount) {
  struct Case {
    int mode;
    std::vector<int> offsets;
    std::vector<double> centres;
    double step;
    double speed;
  } const cases[] = {
      {0, {0, 10, 20, 100, 110, 120}, {90.0}, 10.0, 3.0},
      {1, {0, 10, 20, 30, 40, 80, 90, 100, 110, 120}, {90.0}, 10.0, 3.4},
      {2, {0, 10, 20, 30, 40, 80, 90, 100, 110, 120}, {88.0, 92.0}, 15.0, 3.4},
  };
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(26, 0, 180.0, -360.0, c.mode);
    Run(139 + 130);
    std::vector<int> frames;
    std::vector<FiredBullet> drops;
    for (const FiredBullet& b : bullets) {
      if (b.type != 1) continue;
      drops.push_back(b);
      if (frames.empty() || frames.back() != b.frame) frames.push_back(b.frame);
    }
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), 139);
    for (int& f : frames) f -= 139;
    EXPECT_EQ(frames, c.offsets) << c.mode;
    ASSERT_EQ(drops.size(), frames.size() * 3 * c.centres.size());
    for (size_t i = 0; i < c.centres.size(); ++i) {
      EXPECT_DOUBLE_EQ(drops[3 * i + 1].angle, c.centres[i]);
      EXPECT_DOUBLE_EQ(drops[3 * i + 1].angle - drops[3 * i].angle, c.step);
      EXPECT_DOUBLE_EQ(drops[3 * i].speed, c.speed);
    }
    (void)e;
  }
}

// ---- type 35 ----

TEST_F(Stage4CraftTest, Type35CrossesInLoopsAndLeavesTheOtherWay) {
  struct Case {
    int variant;
    double entry_dx;  // over the 110 entry frames
    double exit_vx;
  } const cases[] = {{0, 220.0, -1.0}, {1, -220.0, 1.0}, {5, 0.0, 0.3 * CosDeg(359)}};
  for (const Case& c : cases) {
    SetUp();
    EnemyObject& e = Spawn(35, c.variant, 180.0, 240.0);
    const double x0 = e.x;
    Run(111);
    EXPECT_DOUBLE_EQ(e.x - x0, c.entry_dx) << c.variant;
    EXPECT_NEAR(e.y, 240.0 - 0.3 * 110, 1e-9);
    EXPECT_DOUBLE_EQ(e.vx, 0.0);  // stopped on the 110th frame, still climbing
    EXPECT_DOUBLE_EQ(e.vy, -0.3);
    Run(1);
    EXPECT_DOUBLE_EQ(e.vx, 0.3);  // the loop begins: 0.3 cos 0
    EXPECT_DOUBLE_EQ(e.vy, 0.0);
    Run(100);
    EXPECT_DOUBLE_EQ(e.vx, 0.3 * CosDeg(100));
    EXPECT_DOUBLE_EQ(e.vy, 0.2 * SinDeg(50));  // c / 2 in whole numbers
    Run(259);
    EXPECT_DOUBLE_EQ(e.vy, 0.2 * SinDeg(179));  // kept from the loop's last frame
    Run(1);
    EXPECT_DOUBLE_EQ(e.vx, c.exit_vx) << c.variant;
    EXPECT_DOUBLE_EQ(e.vy, 0.2 * SinDeg(179));
  }
}

TEST_F(Stage4CraftTest, Type35AlternatesItsAimedGunsPerBurstAndItsFanGunsPerVolley) {
  struct Case {
    int mode;
    std::vector<int> aimed;  // frames, over two bursts
    double aimed_count;
    double aimed_speed;
    std::vector<double> fan_counts;
    std::vector<double> fan_speeds;
  } const cases[] = {
      {0, {0, 5, 10, 35, 40, 45}, 1, 3.0, {5, 3}, {3.0, 2.7}},
      {1, {0, 5, 10, 15, 20, 35, 40, 45, 50, 55}, 1, 3.4, {7, 5}, {3.5, 3.2}},
      {2, {0, 5, 10, 15, 20, 35, 40, 45, 50, 55}, 3, 4.5, {9, 7, 5}, {3.8, 3.5, 3.2}},
  };
  for (const Case& c : cases) {
    SetUp();
    PlacePlayer(200.0, 440.0);
    EnemyObject& e = Spawn(35, 0, 180.0, 200.0, c.mode);
    e.screen_state = 1;
    Run(31);
    PlacePlayer(420.0, 400.0);
    Run(30);
    std::vector<int> aimed;
    std::vector<FiredBullet> a;
    for (const FiredBullet& b : bullets) {
      if (b.type != 1) continue;
      a.push_back(b);
      if (aimed.empty() || aimed.back() != b.frame) aimed.push_back(b.frame);
    }
    EXPECT_EQ(aimed, c.aimed) << c.mode;
    const size_t n = static_cast<size_t>(c.aimed_count);
    ASSERT_EQ(a.size(), aimed.size() * n);
    const size_t second = (c.aimed.size() / 2) * n;
    // The first burst from gun 0 (left), the second from gun 1 (right),
    // each along the angle taken at its first volley.
    const FiredBullet& b0 = a[0];
    const FiredBullet& b1 = a[second];
    EXPECT_NEAR(b1.x - b0.x, 48.0 + 2.0 * 35, 1e-9);
    for (size_t i = 0; i < second; i += n) EXPECT_DOUBLE_EQ(a[i].angle, b0.angle) << c.mode << i;
    EXPECT_DOUBLE_EQ(b0.speed, c.aimed_speed);
    if (n == 3) {
      EXPECT_DOUBLE_EQ(a[1].angle - a[0].angle, 2.0);
    }

    // Fans every 30 frames, from gun 2 then gun 3, aimed afresh.
    std::vector<FiredBullet> f0 = BulletsOn(0), f30 = BulletsOn(30);
    std::vector<FiredBullet> fans0, fans30;
    for (const FiredBullet& b : f0)
      if (b.type == 5) fans0.push_back(b);
    for (const FiredBullet& b : f30)
      if (b.type == 5) fans30.push_back(b);
    double total = 0;
    for (double k : c.fan_counts) total += k;
    ASSERT_EQ(fans0.size(), static_cast<size_t>(total)) << c.mode;
    ASSERT_EQ(fans30.size(), static_cast<size_t>(total));
    EXPECT_NEAR(fans30[0].x - fans0[0].x, 128.0 + 2.0 * 30, 1e-9);
    size_t at = 0;
    for (size_t i = 0; i < c.fan_counts.size(); ++i) {
      EXPECT_DOUBLE_EQ(fans0[at].speed, c.fan_speeds[i]) << c.mode << " fan " << i;
      at += static_cast<size_t>(c.fan_counts[i]);
    }
    EXPECT_EQ(shot_sounds, (std::vector<int>{0, 30, 60}));
  }
}

}  // namespace
