#include "play/player_firing.h"

#include <vector>

#include "play/player.h"
#include "play/player_shots.h"
#include "player_fixture.h"

namespace {

class FiringTest : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    ResetAllPlayerShots();
    g_player.control = 1;
    g_player.active = 1;
    PlaceAt(250, 300);
  }
  static std::vector<int> Types() {
    std::vector<int> t;
    for (const PlayerShot& s : g_player_shots)
      if (s.alive) t.push_back(s.type);
    return t;
  }
  static std::vector<double> Angles() {
    std::vector<double> a;
    for (const PlayerShot& s : g_player_shots)
      if (s.alive) a.push_back(s.angle);
    return a;
  }
};

TEST_F(FiringTest, ATapFiresFiveVolleys) {
  std::vector<int> volley_frames;
  for (int frame = 1; frame <= 30; ++frame) {
    g_player.in_shot = frame == 1 ? 1 : 0;
    g_player.firing = 0;
    FirePlayerShots();
    if (g_player.firing) volley_frames.push_back(frame);
  }
  EXPECT_EQ(volley_frames, (std::vector<int>{3, 6, 9, 12, 15}));
  EXPECT_EQ(g_player.shot_volley_counter, 2);
  EXPECT_EQ(Types(), std::vector<int>(25, 0));
}

TEST_F(FiringTest, FullAutoWaitsForTheHoldOver) {
  std::vector<int> volley_frames;
  for (int frame = 1; frame <= 26; ++frame) {
    g_player.in_shot = frame == 1 ? 1 : 0;
    g_player.in_full_auto = 1;
    g_player.firing = 0;
    FirePlayerShots();
    if (g_player.firing) volley_frames.push_back(frame);
  }
  // The hold-over runs out on frame 18; full auto counts from there.
  EXPECT_EQ(volley_frames, (std::vector<int>{3, 6, 9, 12, 15, 20, 23, 26}));
}

TEST_F(FiringTest, NoVolleysDuringBombsThatStopThem) {
  struct Case {
    int fighter, focused_bomb;
    bool fires;
  } cases[] = {{0, 0, true}, {0, 1, false}, {2, 1, false}, {3, 0, false}, {4, 0, false}};
  for (const Case& c : cases) {
    ResetAllPlayerShots();
    g_player.fighter = c.fighter;
    g_player.bomb_active = 1;
    g_player.focused_bomb = c.focused_bomb;
    g_player.in_shot = 1;
    for (int i = 0; i < 3; ++i) FirePlayerShots();
    EXPECT_EQ(!Types().empty(), c.fires) << c.fighter;
  }
}

TEST_F(FiringTest, VolleyTable) {
  struct Case {
    int fighter, focus, power;
    bool options_up;
    std::vector<int> types;
    std::vector<double> angles;
  } cases[] = {
      {0, 0, 1, true, {0, 0, 0, 0, 0}, {262, 270, 278, 250, 290}},
      {0, 1, 5, true, {9, 9, 9, 9}, {270, 270, 250, 290}},
      {1, 0, 3, true, {22, 22, 22, 22}, {270, 270, 270, 270}},
      {1, 1, 5, true, {24, 24, 29, 29}, {270, 270, 270, 270}},
      {1, 1, 2, false, {21, 21}, {270, 270}},
      {2, 0, 2, true, {41, 41, 41, 41, 41, 41}, {270, 270, 270, 270, 270, 270}},
      {2, 0, 2, false, {41, 41, 41, 41}, {270, 270, 270, 270}},
      {2, 1, 4, false, {48, 48, 48, 48, 48, 48}, {240, 260, 280, 300, 230, 310}},
      {3, 0, 1, true, {60, 60, 60, 60, 65, 65, 65, 65}, {260, 270, 270, 280, 270, 270, 270, 270}},
      {4, 1, 5, true, {64, 64, 64, 64, 69, 69, 69, 69}, {260, 270, 270, 280, 270, 270, 270, 270}},
  };
  for (const Case& c : cases) {
    ResetAllPlayerShots();
    g_player.fighter = c.fighter;
    g_player.focus = c.focus;
    g_player.power = c.power;
    g_player.opt_angle[0] = c.options_up ? 270 : (c.focus ? 230 : 250);
    g_player.opt_angle[1] = c.options_up ? 270 : (c.focus ? 310 : 290);
    if (c.fighter == 0) {
      g_player.opt_angle[0] = 250;
      g_player.opt_angle[1] = 290;
    }
    kesto_fake::Reset();
    switch (c.fighter) {
      case 0: FireVolleyFighter0(); break;
      case 1: FireVolleyFighter1(); break;
      case 2: FireVolleyFighter2(); break;
      default: FireVolleyFighter34(); break;
    }
    EXPECT_EQ(Types(), c.types) << c.fighter << "/" << c.focus << "/" << c.power;
    EXPECT_EQ(Angles(), c.angles) << c.fighter << "/" << c.focus << "/" << c.power;
  }
}

TEST_F(FiringTest, LasersKeepTheirOptionsParam) {
  g_player.fighter = 1;
  g_player.focus = 1;
  g_player.power = 5;
  g_player.opt_angle[0] = g_player.opt_angle[1] = 270;
  g_player.muzzle_y[0] = g_player.muzzle_y[1] = 200;
  FireVolleyFighter1();
  EXPECT_EQ(g_player_shots[2].param, 0);
  EXPECT_EQ(g_player_shots[3].param, 1);
  EXPECT_EQ(g_player_shots[3].centre_y, 196.0);  // raised by 4 at power 5
  EXPECT_EQ(g_player_shots[3].speed, 12.0);
}

}  // namespace
