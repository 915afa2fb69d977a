#include "bosses/stage2_midboss.h"

#include <algorithm>
#include <cmath>

#include "boss_fixture.h"
#include "play/items.h"

class Stage2MidBossTest : public BossTest {
 protected:
  void SetUp() override {
    BossTest::SetUp();
    ParkPlayer(300, 420);
  }
  void SpawnMidBoss(int difficulty) { SpawnAt(100, 180, -120, difficulty); }
  void SpawnToPhase1(int difficulty) {
    SpawnMidBoss(difficulty);
    ASSERT_LT(RunUntilState(1, 200), 200);
  }
  EnemyObject* Pod(int k) {
    EnemyObject& pod = g_enemies[Boss().message[k]];
    return pod.in_use == 1 && pod.type == 101 && pod.part_index == k ? &pod : nullptr;
  }
};

TEST_F(Stage2MidBossTest, DescentRunsAtTwiceItsSpeedSnapsToThePostAndOpensThePods) {
  SpawnMidBoss(1);
  EnemyObject& e = Boss();
  double speed = 4.0;
  int frames = 0;
  while (CountEnemies(101) == 0 && frames < 200) {
    ShotOverBoss(500);
    Frame();
    ++frames;
    if (CountEnemies(101) != 0) break;
    // The motion's own speed toward the post, and the acceleration again.
    EXPECT_EQ(Type100Acceleration(e), speed) << frames;
    EXPECT_NEAR(e.vy, 2 * speed, 1e-9) << frames;
    speed -= 0.07;
    if (speed <= 0.5) speed = 0.5;
  }
  // Arrived: snapped to the post, at rest, and the sway to come.
  EXPECT_EQ(e.x, 320.0);
  EXPECT_EQ(e.y, 100.0);
  EXPECT_EQ(e.vx, 0.0);
  EXPECT_EQ(e.vy, 0.0);
  EXPECT_EQ(Type100Acceleration(e), 0.0);
  EXPECT_EQ(e.move_state, 1);
  // The pods come out on the arrival frame, at the centre, in index order.
  ASSERT_EQ(CountEnemies(101), 4);
  for (int k = 0; k < 4; ++k) {
    ASSERT_NE(Pod(k), nullptr) << k;
    EXPECT_EQ(Pod(k)->x, 320.0);
    EXPECT_EQ(Pod(k)->y, 100.0);
    if (k > 0) {
      EXPECT_GT(Boss().message[k], Boss().message[k - 1]);
    }
  }
  EXPECT_EQ(e.life_state, 0);
  EXPECT_EQ(e.phase_hp[0], 22000);  // no damage while it came down

  // Phase 1 on the next frame; the ring opens by 2 a frame from 0 to 96.
  ShotOverBoss(500);
  Frame();
  EXPECT_EQ(e.life_state, 1);
  EXPECT_EQ(e.phase_hp[0], 21500);
  NoShot();
  EXPECT_EQ(Pod(0)->x, e.x);
  EXPECT_EQ(Pod(0)->y, e.y + 48);
  for (int i = 0; i < 60; ++i) Frame();
  EXPECT_EQ(Type100RingRadius(e), 96.0);
  const double r = 96.0;
  EXPECT_EQ(Pod(0)->x, e.x - 1.2 * r);
  EXPECT_EQ(Pod(3)->x, e.x + 1.2 * r);
  EXPECT_EQ(Pod(3)->y, e.y + 48);
  EXPECT_EQ(Pod(1)->x, e.x + r * CosDeg(120));
  EXPECT_EQ(Pod(1)->y, e.y + r * SinDeg(120));
  EXPECT_EQ(Pod(2)->x, e.x + r * CosDeg(60));
  // Each pod faces the player, and its gun sits 24 toward the player.
  for (int k = 0; k < 4; ++k) {
    const EnemyObject& p = *Pod(k);
    const int facing = TruncToInt(WrapAngleInt(TruncToInt(AngleToPlayer(p.x, p.y)) - 90));
    EXPECT_EQ(p.turn_angles[0], facing);
    EXPECT_NEAR(std::hypot(e.gun_x[k] - p.x, e.gun_y[k] - p.y), 24.0, 1e-9);
    EXPECT_LT(std::hypot(e.gun_x[k] - 300, e.gun_y[k] - 420), std::hypot(p.x - 300, p.y - 420));
  }
}

TEST_F(Stage2MidBossTest, PatternAFiresFromEachPodInTurnAndGrowsItsBodyFans) {
  struct Case {
    int difficulty;
    int pod_beats;
    size_t pod_bullets;
    int body_extra;
    size_t body_fans;
    double body_speed;
    int body_count;
  };
  const Case cases[] = {{0, 3, 1, 2, 1, 2.0, 5}, {1, 5, 1, 3, 1, 3.0, 7}, {2, 5, 3, 3, 2, 3.1, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase1(c.difficulty);
    auto pods = Record(380, {1});
    std::vector<int> expected;
    for (int t = 0; t < 380; t += 5)
      if ((t / 5) % 6 < c.pod_beats) expected.push_back(t);
    ASSERT_EQ(Times(pods), expected);
    for (const Volley& v : pods) {
      ASSERT_EQ(v.shots.size(), c.pod_bullets) << v.t;
      // the pods fire silently
      if (v.t < 70) {
        EXPECT_EQ(v.se81, 0);
      }
    }
    // Cycle k fires from pod k mod 4: once the ring is open, pods 0 to 3
    // stand left to right about 115 and 48 either side of the centre.
    const double pod_dx[4] = {-115.2, -48, 48, 115.2};
    for (const Volley& v : pods) {
      if (v.t < 60) continue;
      EXPECT_NEAR(v.shots[0].x - v.boss_x, pod_dx[(v.t / 30) % 4], 30.0) << v.t;
    }

    ResetPools();
    SpawnToPhase1(c.difficulty);
    auto body = Record(380, {7});
    expected.clear();
    std::vector<int> cycles, beats;
    for (int t = 70, j = 0, cyc = 0; t < 380; t += 10) {
      if (j < cyc + c.body_extra) {
        expected.push_back(t);
        cycles.push_back(cyc);
        beats.push_back(j);
      }
      if (++j >= cyc + 5) {
        j = 0;
        ++cyc;
      }
    }
    ASSERT_EQ(Times(body), expected);
    for (size_t i = 0; i < body.size(); ++i) {
      const int cyc = cycles[i], j = beats[i];
      const size_t first_fan = static_cast<size_t>(c.body_count + j);
      ASSERT_EQ(body[i].shots.size(), c.body_fans == 1 ? first_fan : first_fan + first_fan - 1)
          << i;
      // Real division: half a pixel a frame faster with every cycle.
      EXPECT_EQ(body[i].shots[0].speed, cyc / 2.0 + c.body_speed) << i;
      EXPECT_EQ(body[i].se81, 1);
      // Even cycles from gun 4, odd ones from gun 5.
      EXPECT_EQ(body[i].shots[0].x, body[i].boss_x + (cyc % 2 == 0 ? -40 : 40)) << i;
    }
  }
}

TEST_F(Stage2MidBossTest, APodShotDownLosesItsTurnsAndItsReusedSlotIsLeftAlone) {
  SpawnToPhase1(1);
  const int slot = Boss().message[1];
  EnemyObject& pod = g_enemies[slot];
  EXPECT_EQ(pod.kill_score, 5400);
  EXPECT_EQ(pod.items, 6);
  pod.hp = 0;
  Frame();
  TakeShots();
  EXPECT_EQ(pod.in_use, 0);
  EXPECT_EQ(GetPlayerScore(), 5400);
  ASSERT_EQ(SpawnEnemy(10, 400, 300, 0), 0);
  ASSERT_EQ(g_enemies[slot].type, 300);
  auto pods = Record(360, {1});
  // Cycles 1, 5 and 9 belonged to pod 1: nothing in them.
  for (const Volley& v : pods) EXPECT_NE((v.t / 30) % 4, 1) << v.t;
  EXPECT_EQ(pods.size(), 9u * 5u);
  EXPECT_EQ(g_enemies[slot].x, 150.0);
  EXPECT_EQ(g_enemies[slot].y, 400.0);
  EXPECT_EQ(Type100PodInUse(Boss(), 1), 0);
  EXPECT_EQ(Type100PodInUse(Boss(), 2), 1);
}

TEST_F(Stage2MidBossTest, PatternBSpraysTwentyVolleysOfRandomSpreadGettingFaster) {
  struct Case {
    int difficulty;
    size_t bullets;
    int draws;
    double base;
    size_t finish;  // extra type 10 bullets on the last volley
  };
  for (const Case& c : {Case{0, 2, 2, 1.0, 0}, Case{1, 4, 4, 1.0, 0}, Case{2, 8, 4, 1.5, 68}}) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase1(c.difficulty);
    RunToStep(1, 1);
    std::vector<Volley> volleys;
    std::vector<int> draws;
    for (int i = 0; i < 160; ++i) {
      const uint32_t seed = RandomSeed;
      auto v = Record(1);
      if (v.empty()) continue;
      volleys.push_back(v[0]);
      draws.push_back(DrawsBetween(seed, RandomSeed));
    }
    ASSERT_EQ(Times(volleys), Every(61, 2, 20));
    for (size_t n = 0; n < volleys.size(); ++n) {
      const auto& shots = volleys[n].shots;
      const size_t extra = n == 19 ? c.finish : 0;
      ASSERT_EQ(shots.size(), c.bullets + extra) << n;
      EXPECT_EQ(draws[n], c.draws);
      EXPECT_EQ(shots[0].type, 0);
      EXPECT_EQ(shots[0].speed, n / 4.0 + c.base);
      if (extra > 0) {
        EXPECT_EQ(shots.back().type, 10);
        EXPECT_EQ(shots.back().speed, 3.8);
      }
    }
  }
}

TEST_F(Stage2MidBossTest, PatternCTurnsItsRingsAndAimsShotsFromTheCentre) {
  struct Case {
    int difficulty;
    int interval;
    size_t ring;
    int ring_type;
    int aimed;
    size_t aimed_bullets;
  };
  const Case cases[] = {{0, 30, 20, 4, 3, 1}, {1, 20, 24, 4, 5, 1}, {2, 16, 24, 36, 5, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.difficulty);
    ResetPools();
    SpawnToPhase1(c.difficulty);
    RunToStep(1, 2);
    auto volleys = Record(800);
    std::vector<int> ring_times, aimed_times;
    std::vector<const Volley*> rings;
    for (const Volley& v : volleys) {
      if (v.shots[0].type == c.ring_type) {
        ring_times.push_back(v.t);
        rings.push_back(&v);
      }
      if (v.shots.back().type == 3) aimed_times.push_back(v.t);
    }
    std::vector<int> expected;
    for (int t = 61; t < 800; t += c.interval) expected.push_back(t);
    ASSERT_EQ(ring_times, expected);
    for (size_t n = 0; n < rings.size(); ++n) {
      EXPECT_EQ(rings[n]->shots[0].angle, 17.0 * n);
      EXPECT_EQ(rings[n]->shots[1].angle, 17.0 * n);  // both guns alike
      size_t ring_bullets = 0;
      for (const Shot& s : rings[n]->shots) ring_bullets += s.type == c.ring_type;
      EXPECT_EQ(ring_bullets, c.ring);
    }
    // Aimed shots from the call counted 124, the first multiple of 4 from
    // 121 (T 185): beats every 4 in cycles of 18.
    expected.clear();
    for (int t = 185; t < 800; t += 4)
      if (((t - 185) / 4) % 18 < c.aimed) expected.push_back(t);
    ASSERT_EQ(aimed_times, expected);
    const Volley& first =
        *std::find_if(volleys.begin(), volleys.end(), [](const Volley& v) { return v.t == 189; });
    std::vector<Shot> aimed;
    for (const Shot& s : first.shots)
      if (s.type == 3) aimed.push_back(s);
    ASSERT_EQ(aimed.size(), c.aimed_bullets);
    EXPECT_EQ(aimed[0].speed, 0.25 + (c.difficulty == 0 ? 2.5 : c.difficulty == 1 ? 3.0 : 3.4));
    EXPECT_EQ(aimed[0].x, first.boss_x);
  }
}

TEST_F(Stage2MidBossTest, ShotDownItPaysTakesItsPodsSinksAndOpensTheGate) {
  SpawnToPhase1(1);
  RunUntil([] { return false; }, 100);
  Boss().phase_hp[0] = 0;
  Frame();
  ASSERT_EQ(Boss().life_state, 8);
  EXPECT_EQ(BossFightFlag(-1), 0);
  const int score = GetPlayerScore();
  ResetAllExplosions();
  Frame();
  // The death bonus, a long cancel and the pods gone in flames, unpaid.
  EXPECT_EQ(GetPlayerScore(), score + 66000);
  EXPECT_EQ(g_bullet_cancels[0].frames_total, 240);
  EXPECT_EQ(CountEnemies(101), 0);
  EXPECT_GE(CountExplosions(57), 4);  // one burst on each pod
  EXPECT_EQ(Boss().collision_class, 1);
  Frame();
  int frames = 2;
  double y = Boss().y;
  while (Boss().in_use == 1 && frames < 300) {
    Frame();
    TakeShots();
    ++frames;
    if (Boss().in_use == 1) {
      EXPECT_NEAR(Boss().y - y, 0.4, 1e-9);
      y = Boss().y;
    }
    EXPECT_TRUE(kesto_fake::CallsNamed("HaltMusic").empty()) << frames;
  }
  EXPECT_EQ(frames, 131);
  EXPECT_EQ(GetMidBossDownFlag(), 1);
  EXPECT_EQ(ItemsAlive(), 36);
  EXPECT_EQ(GetPlayerScore(), score + 66000);
  EXPECT_EQ(IsStageClearSequenceActive(), 0);
}

TEST_F(Stage2MidBossTest, OutOfTimeItClimbsOffStillFiringAndLeavesUnpaidWithItsPods) {
  SpawnToPhase1(2);
  const int spawned_frames = Boss().mid_boss_timer;  // 1600 less the entry
  RunUntil([this] { return Boss().mid_boss_timer == 0; }, 1700);
  EXPECT_GT(spawned_frames, 1500);
  ASSERT_EQ(Boss().life_state, 1);
  const double y0 = Boss().y;
  int fired = 0, frames = 0;
  while (Boss().in_use == 1 && frames < 600) {
    Frame();
    fired += static_cast<int>(TakeShots().size());
    ++frames;
  }
  EXPECT_EQ(Boss().in_use, 0);
  EXPECT_LT(frames, 400);
  EXPECT_GT(fired, 0);
  EXPECT_LT(y0, 200);
  // Gone off the top: no pay, no items, its pods with it, the gate shut.
  EXPECT_EQ(GetPlayerScore(), 0);
  EXPECT_EQ(ItemsAlive(), 0);
  EXPECT_EQ(CountEnemies(101), 0);
  EXPECT_EQ(GetMidBossDownFlag(), 0);
  EXPECT_EQ(BossFightFlag(-1), 0);
  EXPECT_EQ(g_bullet_cancels[0].active, 0u);
}

// Shot down on any frame of its cycle, on every difficulty, it always dies
// on time and takes its pods.
TEST_F(Stage2MidBossTest, ShotDownAtManyFramesItAlwaysDiesOnTime) {
  for (int k = 0; k < 1500; k += 37) {
    SCOPED_TRACE(k);
    ResetPools();
    SpawnToPhase1(k % 3);
    RunFrames(k);
    Boss().phase_hp[0] = 0;
    ASSERT_LT(RunUntilState(8, 3), 3);
    const int frames = RunUntil([] { return false; }, 300);
    EXPECT_EQ(frames, 131);
    EXPECT_EQ(CountEnemies(101), 0);
    EXPECT_EQ(GetMidBossDownFlag(), 1);
  }
}
