#include "enemy_script_fixture.h"

namespace {

using Stage3LargeTest = EnemyScriptTest;

// ---- type 19 ----

// Spawned on the field and standing (no scroll): life state 0 on frame 0,
// 30 frames of settling, the ring from frame 31 for 89 frames, the hatch
// asked open on frame 150, open after the seventh draw (frame 156), the
// hatch guns from frame 158 for 60 frames, the next ring from frame 218.
constexpr int kFirstRing = 31;
constexpr int kHatchAsked = 150;
constexpr int kHatchOpen = 156;
constexpr int kFirstHatchVolley = 158;
constexpr int kNextRing = 218;

struct Type19Case {
  int mode;
  int ring_every;
  int ring_bullets;
  double ring_speed[2];  // bullet type 5, then 7
  int hatch_volleys;
  int hatch_bullets;
  double hatch_base;  // speed base + shots x per_shot
  double hatch_per_shot;
};

TEST_F(Stage3LargeTest, Type19RingThenHatchCycle) {
  const Type19Case cases[] = {
      {0, 20, 30, {2.0, 2.4}, 4, 6, 3.0, 0.5},
      {1, 20, 36, {3.0, 3.4}, 8, 6, 4.0, 0.5},
      {2, 15, 48, {3.6, 4.0}, 8, 18, 4.0, 1.0},
      {3, 20, 36, {3.0, 3.4}, 8, 6, 4.0, 0.5},
  };
  constexpr int kFrames = 240;
  for (const Type19Case& c : cases) {
    SetUp();
    Spawn(19, 0, 180.0, 200.0, c.mode);
    Run(kFrames);
    std::vector<int> ring, hatch;
    for (int f : VolleyFrames()) {
      const std::vector<FiredBullet> v = BulletsOn(f);
      if (v[0].type == 5) {
        ring.push_back(f);
        EXPECT_EQ(static_cast<int>(v.size()), c.ring_bullets) << c.mode;
        for (size_t i = 0; i < v.size(); ++i) {
          EXPECT_EQ(v[i].type, i % 2 == 0 ? 5 : 7);
          EXPECT_DOUBLE_EQ(v[i].speed, c.ring_speed[i % 2]) << c.mode;
        }
      } else {
        const double shots = static_cast<double>(hatch.size());
        hatch.push_back(f);
        EXPECT_EQ(static_cast<int>(v.size()), c.hatch_bullets) << c.mode;
        for (const FiredBullet& b : v) {
          EXPECT_EQ(b.type, 3);
          EXPECT_DOUBLE_EQ(b.speed, c.hatch_base + shots * c.hatch_per_shot) << c.mode << " " << f;
        }
      }
    }
    const std::vector<int> rings = Join(Steps(c.ring_every, kFirstRing + 89, kFirstRing),
                                        Steps(c.ring_every, kFrames, kNextRing));
    EXPECT_EQ(ring, rings) << c.mode;
    EXPECT_EQ(hatch, Steps(5, kFirstHatchVolley + 5 * c.hatch_volleys, kFirstHatchVolley))
        << c.mode;
    EXPECT_EQ(shot_sounds, VolleyFrames());
  }
}

TEST_F(Stage3LargeTest, Type19HatchHandshakeWithTheDrawing) {
  EnemyObject& e = Spawn(19, 0, 180.0, 200.0, 1);
  Run(kHatchAsked);
  EXPECT_EQ(e.script_words[0], 0);
  std::vector<int> pictures;
  for (int f = kHatchAsked; f <= kHatchOpen; ++f) {
    Frame();
    pictures.push_back(e.form);
    if (f < kHatchOpen) {
      EXPECT_EQ(e.script_words[0], 1) << f;
    }
  }
  EXPECT_EQ(pictures, (std::vector<int>{0, 0, 0, 1, 1, 1, 2}));
  EXPECT_EQ(e.script_words[0], -1);  // open, as the drawing reports
  Run(kFirstHatchVolley - kHatchOpen - 1);
  EXPECT_TRUE(BulletsOn(kFirstHatchVolley - 1).empty());
  Run(1);
  EXPECT_EQ(CountOn(kFirstHatchVolley), 6);
  // Sixty frames of hatch fire, then the script asks it shut and the
  // drawing runs the pictures back.
  Run(kNextRing - 1 - frame);
  EXPECT_EQ(e.script_words[0], -1);
  pictures.clear();
  for (int i = 0; i < 7; ++i) {
    Frame();
    pictures.push_back(e.form);
    if (i < 6) {
      EXPECT_EQ(e.script_words[0], 2) << i;
    }
  }
  EXPECT_EQ(pictures, (std::vector<int>{2, 2, 2, 1, 1, 1, 0}));
  EXPECT_EQ(e.script_words[0], -2);
}

TEST_F(Stage3LargeTest, Type19RingTurnsBySideOfTheScreen) {
  struct Case {
    double field_x;  // 140 is added
    double turn;     // per volley
  } const cases[] = {{179.0, -7.0}, {180.0, 7.0}};
  for (const auto& c : cases) {
    SetUp();
    Spawn(19, 0, c.field_x, 200.0, 1);
    Run(kFirstRing + 41);
    for (int n = 0; n < 3; ++n) {
      const std::vector<FiredBullet> v = BulletsOn(kFirstRing + 20 * n);
      ASSERT_EQ(v.size(), 36u);
      for (int i = 0; i < 18; ++i) {
        EXPECT_DOUBLE_EQ(v[2 * i].angle, 20.0 * i + c.turn * n) << c.field_x << " " << n;
        EXPECT_DOUBLE_EQ(v[2 * i + 1].angle, v[2 * i].angle);
        EXPECT_DOUBLE_EQ(v[2 * i].speed, 3.0);
        EXPECT_DOUBLE_EQ(v[2 * i + 1].speed, 3.4);
      }
    }
  }
}

TEST_F(Stage3LargeTest, Type19HatchGunsAimEachVolleyAndHellPairsNarrow) {
  PlacePlayer(200.0, 440.0);
  EnemyObject& e = Spawn(19, 0, 180.0, 200.0, 2);
  Run(kFirstHatchVolley + 40);
  const double gx[] = {-88, -88, -88, 88, 88, 88};
  const double gy[] = {-32, 0, 32, -32, 0, 32};
  for (int n = 0; n < 8; ++n) {
    const std::vector<FiredBullet> v = BulletsOn(kFirstHatchVolley + 5 * n);
    ASSERT_EQ(v.size(), 18u) << n;
    for (int g = 0; g < 6; ++g) {
      const FiredBullet* s = &v[3 * g];
      const double a = AngleToPlayer(e.x + gx[g], e.y + gy[g]);
      EXPECT_NEAR(s[0].x, e.x + gx[g], 1e-9);
      EXPECT_NEAR(s[0].y, e.y + gy[g], 1e-9);
      EXPECT_DOUBLE_EQ(s[0].angle, a) << n << " " << g;
      EXPECT_DOUBLE_EQ(s[1].angle, a - (50.0 - 4.0 * n)) << n << " " << g;
      EXPECT_NEAR(s[2].angle, a + (50.0 - 4.0 * n), 1e-9) << n << " " << g;
      for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(s[i].speed, n + 4.0);
    }
  }
}

TEST_F(Stage3LargeTest, Type19SettlesOnTheFieldFirstAndIsSilentOnceLow) {
  g_stage.layer1_speed = 1.0;
  EnemyObject& e = Spawn(19, 0, 180.0, -130.0, 2);
  int on_field = -1;
  for (int f = 0; f < 200; ++f) {
    Frame();
    if (on_field < 0 && e.screen_state == 1) on_field = f;
  }
  ASSERT_GT(on_field, 100);
  EXPECT_DOUBLE_EQ(e.vy, 1.0);  // rides the ground
  ASSERT_FALSE(bullets.empty());
  EXPECT_EQ(VolleyFrames().front(), on_field + 31);

  SetUp();
  EnemyObject& low = Spawn(19, 0, 180.0, 360.0, 2);
  Run(400);
  EXPECT_TRUE(bullets.empty());
  EXPECT_EQ(low.in_use, 1);
}

// ---- type 20 ----

// Life state 0 on frame 0; braking from 6 by 0.1 ends on its 62nd alive
// frame (frame 62), and the hover fires from frame 63 for 560 frames.
constexpr int kType20FirstHover = 63;
constexpr int kType20HoverFire = 560;

struct Type20Case {
  int mode;
  int wing_every;
  int wing_bullets;
  double wing_speed;
  int inner_every;
  int inner_bullets;
  double inner_speed;
};

TEST_F(Stage3LargeTest, Type20WingAndInnerSpiralsForItsWholeHover) {
  const Type20Case cases[] = {
      {0, 10, 6, 2.0, 9, 6, 2.4},
      {1, 4, 6, 2.5, 6, 6, 3.0},
      {2, 4, 8, 3.0, 4, 8, 3.3},
      {3, 4, 6, 2.5, 6, 6, 3.0},
  };
  for (const Type20Case& c : cases) {
    SetUp();
    Spawn(20, 0, 180.0, -80.0, c.mode);  // fires before it is on the field
    Run(kType20FirstHover + kType20HoverFire + 60);
    std::vector<int> wings, inner;
    for (int f : VolleyFrames()) {
      int n10 = 0, n1 = 0;
      for (const FiredBullet& b : BulletsOn(f)) {
        n10 += b.type == 10;
        n1 += b.type == 1;
        EXPECT_DOUBLE_EQ(b.speed, b.type == 10 ? c.wing_speed : c.inner_speed) << c.mode;
      }
      EXPECT_EQ(n10 + n1, CountOn(f));
      if (n10 > 0) {
        wings.push_back(f);
        EXPECT_EQ(n10, c.wing_bullets) << c.mode;
      }
      if (n1 > 0) {
        inner.push_back(f);
        EXPECT_EQ(n1, c.inner_bullets) << c.mode;
      }
    }
    const int end = kType20FirstHover + kType20HoverFire;
    EXPECT_EQ(wings, Steps(c.wing_every, end, kType20FirstHover)) << c.mode;
    EXPECT_EQ(inner, Steps(c.inner_every, end, kType20FirstHover)) << c.mode;
    EXPECT_EQ(shot_sounds, wings);
  }
}

TEST_F(Stage3LargeTest, Type20SpiralAngles) {
  struct Case {
    int mode;
    double mirror;
    int steps;
    std::vector<double> inner;  // gun 3's angle on successive inner volleys
  } const cases[] = {
      {1, 90.0, 9, {0, 0, 18, 18, 36, 36, 54, 54, 72, 72, 90, 90, 108, 108, 126, 126, 144, 144, 0}},
      {2, 60.0, 8, {0, 0, 18, 18, 36, 36, 54, 54, 72, 72, 90, 90, 108, 108, 126, 126, 0, 0}},
  };
  for (const auto& c : cases) {
    SetUp();
    Spawn(20, 0, 180.0, -80.0, c.mode);
    Run(kType20FirstHover + 120);
    int wing = 0, in = 0;
    for (int f : VolleyFrames()) {
      std::vector<FiredBullet> w, i;
      for (const FiredBullet& b : BulletsOn(f)) (b.type == 10 ? w : i).push_back(b);
      if (!w.empty()) {
        // Gun 0 from 7 x shots, gun 1 from the mirror the other way; the
        // first bullet of each fan, 120 (3 x 120) or 135 (4 x 90) off.
        const size_t half = w.size() / 2;
        const double first0 = c.mode == 2 ? -135.0 : -120.0;
        EXPECT_DOUBLE_EQ(w[0].angle, 7.0 * wing + first0) << c.mode << " " << wing;
        EXPECT_DOUBLE_EQ(w[half].angle, c.mirror - 7.0 * wing + first0) << c.mode << " " << wing;
        ++wing;
      }
      if (!i.empty() && in < static_cast<int>(c.inner.size())) {
        const size_t half = i.size() / 2;
        const double off = c.mode == 2 ? -40.5 : -30.0;
        EXPECT_DOUBLE_EQ(i[0].angle, 180.0 - c.inner[in] + off) << c.mode << " " << in;
        EXPECT_DOUBLE_EQ(i[half].angle, c.inner[in] + off) << c.mode << " " << in;
        ++in;
      }
    }
    EXPECT_GE(in, static_cast<int>(c.inner.size()));
  }
}

TEST_F(Stage3LargeTest, Type20BrakesHoversInAFigureOfEightAndRises) {
  EnemyObject& e = Spawn(20, 0, 180.0, -80.0, 1);
  Run(2);
  EXPECT_NEAR(e.vy, 5.9, 1e-12);
  Run(kType20FirstHover - 3);  // through alive frame 61: still braking
  EXPECT_GT(e.vy, -0.11);
  EXPECT_LT(e.vy, -0.09);
  Run(1);
  EXPECT_EQ(e.vy, 0.0);
  Run(11);  // hover counter 0-10
  EXPECT_DOUBLE_EQ(e.vx, CosDeg(10) * 0.5);
  EXPECT_DOUBLE_EQ(e.vy, SinDeg(20) * 0.3);
  // The drift of -1 is set on the 602nd alive frame and added from the next.
  Run(603 - frame);  // through frame 602
  const int c = e.script_counters[0] - 1;
  EXPECT_DOUBLE_EQ(e.vy, SinDeg(2.0 * c) * 0.3);
  Run(1);
  EXPECT_DOUBLE_EQ(e.vy, SinDeg(2.0 * (c + 1)) * 0.3 - 1.0);
}

}  // namespace
