#include "play/enemies.h"
#include "play_fixture.h"

class EnemyHitBoxesTest : public PlayTest {
 protected:
  EnemyObject& Place(int type, double cx, double cy) {
    SpawnEnemy(cx - 140.0, cy, type, 0);
    for (EnemyObject& e : g_enemies)
      if (e.in_use == 1 && e.type == type) return e;
    return g_enemies[0];
  }
  struct Rect {
    double l, t, r, b;
    bool operator==(const Rect&) const = default;
  };
  static Rect BoxOf(const EnemyObject& e, int i) {
    return {e.box_left[i], e.box_top[i], e.box_right[i], e.box_bottom[i]};
  }
};

TEST_F(EnemyHitBoxesTest, FixedLayoutsAroundTheCentre) {
  struct Case {
    int type;
    int box;
    Rect rel;
  };
  const Case cases[] = {
      {0, 0, {-16, -16, 16, 16}},     {15, 0, {-32, -24, 32, 24}},  {3, 2, {16, -13, 48, 3}},
      {8, 4, {-104, 24, -80, 48}},    {17, 3, {60, 28, 84, 52}},    {20, 2, {-24, 36, 24, 52}},
      {33, 0, {-32, -32, 32, 32}},    {120, 5, {-8, 40, 8, 72}},    {202, 1, {-16, 60, 24, 84}},
      {220, 0, {-48, -116, 48, 28}},  {250, 0, {-48, -16, 48, 16}}, {300, 0, {0, 0, 0, 0}},
      {0, 1, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    ResetAllEnemies();
    EnemyObject& e = Place(c.type, 300.0, 200.0);
    UpdateEnemyHitBoxes(e);
    Rect want = c.rel;
    if (!(want == Rect{0, 0, 0, 0})) want = {300 + c.rel.l, 200 + c.rel.t, 300 + c.rel.r, 200 + c.rel.b};
    EXPECT_EQ(BoxOf(e, c.box), want) << "type " << c.type << " box " << c.box;
  }
}

TEST_F(EnemyHitBoxesTest, StateDependentLayouts) {
  EnemyObject& t5 = Place(5, 300, 200);
  t5.work_angles[1] = 90.0;  // pod 3 straight below: (300, 240)
  UpdateEnemyHitBoxes(t5);
  EXPECT_NEAR(t5.box_left[3], 284.0, 1e-4);  // single-precision pi
  EXPECT_NEAR(t5.box_top[3], 224.0, 1e-9);

  EnemyObject& t110 = Place(110, 300, 200);
  UpdateEnemyHitBoxes(t110);
  EXPECT_EQ(BoxOf(t110, 2), (Rect{168, 232, 232, 264}));
  t110.life_state = 2;
  UpdateEnemyHitBoxes(t110);
  EXPECT_EQ(BoxOf(t110, 2), (Rect{0, 0, 0, 0}));

  EnemyObject& t210 = Place(210, 300, 200);
  t210.form = 1;
  UpdateEnemyHitBoxes(t210);
  EXPECT_EQ(BoxOf(t210, 0), (Rect{236, 152, 364, 216}));
  t210.form = 5;
  t210.x = 0;
  UpdateEnemyHitBoxes(t210);
  EXPECT_EQ(BoxOf(t210, 0), (Rect{236, 152, 364, 216}));  // kept

  EnemyObject& t230 = Place(230, 300, 200);
  t230.pod_x[2] = 100;
  t230.pod_y[2] = 50;
  UpdateEnemyHitBoxes(t230);
  EXPECT_EQ(BoxOf(t230, 5), (Rect{0, 0, 0, 0}));
  t230.life_state = 3;
  UpdateEnemyHitBoxes(t230);
  EXPECT_EQ(BoxOf(t230, 5), (Rect{68, 18, 132, 82}));
}

TEST_F(EnemyHitBoxesTest, OverlapIsStrict) {
  EXPECT_FALSE(BoxesOverlap(0, 0, 10, 10, 10, 0, 20, 10));  // right edge on left edge
  EXPECT_FALSE(BoxesOverlap(0, 0, 10, 10, 0, 10, 10, 20));
  EXPECT_TRUE(BoxesOverlap(0, 0, 10, 10, 9.5, 9.5, 20, 20));
  // An unset box sits at the screen origin, where no shot lives.
  EXPECT_FALSE(BoxesOverlap(0, 0, 0, 0, 140, 0, 150, 10));
}

TEST_F(EnemyHitBoxesTest, DamageByClassStateAndPhase) {
  EnemyObject& e = Place(8, 300, 200);  // gauge type
  e.screen_state = 0;
  DamageEnemy(e, 0, 0);
  EXPECT_EQ(e.hit_flash, 5);
  EXPECT_EQ(e.gauge_frames, 60);

  EnemyObject& boss = Place(200, 300, 200);
  struct Case {
    int state;
    int phase;  // -1: no damage
  };
  for (Case c : {Case{0, -1}, Case{1, 0}, Case{2, -1}, Case{3, 1}, Case{5, 2}, Case{7, 3},
                 Case{8, -1}}) {
    for (int k = 0; k < 4; ++k) boss.phase_hp[k] = 100;
    boss.life_state = c.state;
    ApplyEnemyDamage(boss, 30);
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(boss.phase_hp[k], k == c.phase ? 70 : 100) << c.state << "/" << k;
  }
}

// Boss type x life state with that phase's HP gone -> next state and the
// boss-fight flag; overflow damage is lost.
TEST_F(EnemyHitBoxesTest, PhaseTransitionTable) {
  struct Case {
    int type;
    int state;
    int next;
    int fight_flag;
  };
  const Case cases[] = {
      {100, 1, 8, 0}, {110, 1, 2, 1}, {110, 3, 8, 0}, {120, 3, 8, 0}, {200, 3, 8, 0},
      {210, 3, 8, 0}, {220, 3, 4, 1}, {220, 5, 8, 0}, {230, 5, 8, 0}, {240, 5, 8, 0},
      {250, 5, 6, 1}, {250, 7, 8, 0}, {200, 1, 2, 1},
  };
  for (const Case& c : cases) {
    ResetAllEnemies();
    EnemyObject& e = Place(c.type, 300, 200);
    e.collision_class = 0;
    e.life_state = c.state;
    e.state_timer = 9;
    e.phase_hp[(c.state - 1) / 2] = -500;
    CollideEnemyWithShots(e);
    EXPECT_EQ(e.life_state, c.next) << c.type << "/" << c.state;
    EXPECT_EQ(e.state_timer, 0);
    EXPECT_EQ(e.phase_hp[(c.state - 1) / 2], 0);
    EXPECT_EQ(BossFightFlag(-1), c.fight_flag) << c.type << "/" << c.state;
  }
}

TEST_F(EnemyHitBoxesTest, RegularDeathDestroysOrStartsDying) {
  EnemyObject& small = Place(0, 300, 200);
  small.screen_state = 1;
  small.hp = 0;
  CollideEnemyWithShots(small);
  EXPECT_EQ(small.in_use, 0);

  EnemyObject& big = Place(5, 300, 200);
  big.screen_state = 1;
  big.hp = -3;
  CollideEnemyWithShots(big);
  EXPECT_EQ(big.in_use, 1);
  EXPECT_EQ(big.life_state, 8);
}

TEST_F(EnemyHitBoxesTest, EndBossPhaseAfterATimeOut) {
  EnemyObject& e = Place(200, 300, 200);
  e.gun_counter[3] = 7;
  e.gun_x[3] = 11.0;
  e.timed_out = 1;
  e.life_state = 8;
  EndBossPhase(e);
  EXPECT_EQ(e.timed_out, 0);
  EXPECT_EQ(e.items, 0);
  EXPECT_EQ(e.gun_counter[3], 0);
  EXPECT_EQ(e.gun_x[3], 11.0);  // positions stay

  e.timed_out = 1;
  e.life_state = 2;
  e.items = 40;
  EndBossPhase(e);
  EXPECT_EQ(e.items, 40);
}

// Class 1 ends the collision step before the phase checks: a boss left in
// class 1 with its phase hit points gone stays in that phase.
TEST_F(EnemyHitBoxesTest, ClassOneBossSkipsThePhaseChecks) {
  EnemyObject& e = Place(210, 300, 200);
  ASSERT_EQ(e.collision_class, 1);
  e.life_state = 1;
  e.phase_hp[0] = 0;
  EXPECT_EQ(CollideEnemyWithShots(e), -1);
  EXPECT_EQ(e.life_state, 1);
  e.collision_class = 0;
  CollideEnemyWithShots(e);
  EXPECT_EQ(e.life_state, 2);
}
