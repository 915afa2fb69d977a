#include "overlays_fixture.h"

namespace {

class HudTest : public OverlaysTest {
 protected:
  // Sprites cut from `sheet` at (x, y) of its picture, as drawn.
  std::vector<kesto_fake::Call> SpritesCutAt(const std::string& sheet, int x, int y) {
    std::vector<kesto_fake::Call> out;
    for (const auto& c : Sprites()) {
      const auto& g = G(c.iarg(4));
      const auto& parent = G(g.parent);
      if (parent.path == sheet && g.x == x && g.y == y) out.push_back(c);
    }
    return out;
  }
  // The gauge after `frames` draws with these hit points.
  void DrawGaugeFrames(int frames, int hp, int max_hp, int type = 200) {
    for (int i = 0; i < frames; ++i) {
      ClearLog();
      DrawBossGauge(hp, max_hp, type);
    }
  }
  int BarColumnsDrawn() { return Count("BlitGraphicAt"); }
};

TEST_F(HudTest, PlayerHudShowsModeScoreLivesBombsAndItems) {
  struct Case {
    const char* what;
    int mode, score, lives, bombs, auto_guard, items;
    const char* mode_text;
    const char* items_text;
  };
  const Case cases[] = {
      {"new game", 1, 0, 2, 3, 1, 0, "ORIGINAL", "0"},
      {"late game", 2, 123456780, 5, 1, 0, 4321, "HELL", "4321"},
      {"no bombs, gauge over the cap", 3, 999999990, 0, 0, 1, 123456, "ACCEL", "99999"},
  };
  for (const Case& c : cases) {
    SetUp();
    g_flags.DifficultyMode = c.mode;
    g_config.auto_guard = c.auto_guard;
    g_player.score = c.score;
    g_player.lives = c.lives;
    g_player.bombs = c.bombs;
    g_player.item_gauge = c.items;
    ClearLog();
    DrawPlayerHud();
    EXPECT_TRUE(Drew(c.mode_text, 243, 0, true)) << c.what;
    EXPECT_TRUE(Drew("SCORE", 52, 0, true)) << c.what;
    EXPECT_TRUE(Drew(std::to_string(c.score), 112, 16, false)) << c.what;
    EXPECT_TRUE(Drew(c.items_text, 340, 72, false)) << c.what;
    const auto lives = SpritesCutAt("bmp/life.dat", 0, 0);
    ASSERT_EQ(static_cast<int>(lives.size()), c.lives) << c.what;
    for (int i = 0; i < c.lives; ++i) {
      EXPECT_EQ(lives[static_cast<size_t>(i)].iarg(0), 140 + 12 + 32 * i) << c.what;
      EXPECT_EQ(lives[static_cast<size_t>(i)].iarg(1), 48) << c.what;
    }
    const auto bombs = SpritesCutAt("bmp/etc1.dat", 136, 0);
    ASSERT_EQ(static_cast<int>(bombs.size()), c.bombs) << c.what;
    for (int i = 0; i < c.bombs; ++i)
      EXPECT_EQ(bombs[static_cast<size_t>(i)].iarg(0), 140 + 12 + 24 * i) << c.what;
    // The AUTO GUARD mark only while a bomb can be spent for it.
    const auto mark = SpritesCutAt("bmp/start.dat", 160, 160);
    EXPECT_EQ(mark.size(), c.auto_guard == 1 && c.bombs > 0 ? 1u : 0u) << c.what;
    EXPECT_EQ(SpritesCutAt("bmp/item_score2.dat", 0, 0).size(), 1u) << c.what;
  }
}

TEST_F(HudTest, IconsAnimateAtTheirOwnPace) {
  // Life icons change frame every 4 draws, the item icon every 6.
  for (int i = 0; i < 8; ++i) {
    ClearLog();
    DrawLifeIcons(1);
    DrawItemCounter(0);
  }
  const auto sprites = Sprites();
  ASSERT_EQ(sprites.size(), 3u);  // life, AUTO GUARD mark, item
  EXPECT_EQ(G(sprites[0].iarg(4)).x, 32);  // frame 7 / 4 = 1
  EXPECT_EQ(G(sprites[2].iarg(4)).x, 56);  // frame 7 / 6 = 1
}

TEST_F(HudTest, DemoShowsNoHudPieces) {
  g_flags.DemoMode = 1;
  BossGaugeShown = 1;
  ClearLog();
  DrawModeName();
  DrawScore(100);
  DrawLifeIcons(3);
  DrawBombIcons(3, 0);
  DrawItemCounter(10);
  DrawBossGauge(100, 100, 200);
  EXPECT_TRUE(fake().calls.empty());
}

TEST_F(HudTest, UnknownModeDrawsNoName) {
  for (int mode : {-1, 4, 1000}) {
    g_flags.DifficultyMode = mode;
    ClearLog();
    DrawModeName();
    EXPECT_TRUE(fake().calls.empty()) << mode;
  }
}

TEST_F(HudTest, ScoreSlidesUpWhileABossGaugeShowsAndBombsSlideDownNearTheBottom) {
  BossGaugeShown = 1;
  for (int i = 0; i < 20; ++i) DrawScore(5);
  EXPECT_EQ(g_hud.score_slide, 16);
  ClearLog();
  DrawScore(5);
  EXPECT_TRUE(Drew("SCORE", 52, -16, true));
  EXPECT_TRUE(Drew("5", 112, 0, false));
  BossGaugeShown = 0;
  for (int i = 0; i < 10; ++i) DrawScore(5);
  EXPECT_EQ(g_hud.score_slide, 6);

  for (int i = 0; i < 20; ++i) DrawBombIcons(1, 1);
  EXPECT_EQ(g_hud.bomb_slide, 12);
  ClearLog();
  DrawBombIcons(1, 0);
  EXPECT_EQ(Sprites().at(0).iarg(1), 468 + 12);
  EXPECT_EQ(g_hud.bomb_slide, 11);
}

TEST_F(HudTest, BossGaugeBarIsHitPointsOverThreeHundredTwentyFourPixels) {
  struct Case {
    int hp, max_hp, bar;
  };
  const Case cases[] = {{100000, 100000, 324}, {50000, 100000, 162}, {22000, 22000, 324},
                        {11000, 22000, 162},   {1, 250000, 0},       {-5, 100, 0},
                        {300, 100, 324}};
  for (const Case& c : cases) {
    SetUp();
    BossGaugeShown = 1;
    DrawGaugeFrames(100, c.hp, c.max_hp);
    EXPECT_EQ(g_hud.gauge_bar_length, c.bar) << c.hp << "/" << c.max_hp;
    if (c.hp > 0) {
      EXPECT_EQ(BarColumnsDrawn(), c.bar) << c.hp << "/" << c.max_hp;
    }
  }
  SetUp();
  BossGaugeShown = 1;
  DrawGaugeFrames(5, 0, 0);
  EXPECT_TRUE(fake().calls.empty());
  EXPECT_EQ(g_hud.gauge_counter, 0);
}

TEST_F(HudTest, BossGaugeSlidesInFillsFollowsAndSlidesOut) {
  BossGaugeShown = 1;
  int frames = 0;
  while (g_hud.gauge_phase == 0 && frames < 100) {
    DrawBossGauge(60000, 60000, 230);
    ++frames;
  }
  EXPECT_EQ(frames, 30);  // 10 a frame to 300
  EXPECT_EQ(Sprites().back().iarg(0), 140 + 180);  // the plate at rest
  frames = 0;
  while (g_hud.gauge_phase == 1 && frames < 100) {
    DrawBossGauge(60000, 60000, 230);
    ++frames;
  }
  EXPECT_EQ(frames, 33);  // to 324 by 10
  // Following: the bar is the hit points at once, with the phase marks.
  DrawGaugeFrames(1, 30000, 60000, 230);
  EXPECT_EQ(g_hud.gauge_bar_length, 162);
  const auto sprites = Sprites();
  ASSERT_EQ(sprites.size(), 3u);  // plate, two marks
  EXPECT_EQ(sprites[1].iarg(0), 140 + 203);
  EXPECT_EQ(sprites[2].iarg(0), 140 + 105);
  // Emptied: slides out and gives up the flag.
  frames = 0;
  while (BossGaugeShown == 1 && frames < 100) {
    DrawBossGauge(0, 60000, 230);
    ++frames;
  }
  EXPECT_EQ(frames, 31);  // one frame to notice, then 30 frames out
  EXPECT_EQ(g_hud.gauge_phase, 0);
  EXPECT_EQ(g_hud.gauge_plate_offset, 0);
}

TEST_F(HudTest, AGaugeLeftFullByAMidBossThatFlewOffStartsOverForTheNextBoss) {
  BossGaugeShown = 1;
  DrawGaugeFrames(80, 48000, 48000, 110);
  ASSERT_EQ(g_hud.gauge_phase, 2);
  // Its time ran out and it left the field: removed with its gauge flag.
  BossGaugeShown = 0;
  DrawScore(0);
  // The next boss's gauge slides in from the start.
  BossGaugeShown = 1;
  DrawScore(0);
  DrawGaugeFrames(1, 56000, 56000, 220);
  EXPECT_EQ(g_hud.gauge_phase, 0);
  EXPECT_EQ(g_hud.gauge_plate_offset, 10);
  EXPECT_EQ(BarColumnsDrawn(), 0);
}

TEST_F(HudTest, ResetClearsTheRecordAndTheGaugeFlag) {
  BossGaugeShown = 1;
  DrawGaugeFrames(50, 10, 10);
  DrawLifeIcons(2);
  ResetHud();
  const auto cleared = HudState{};
  EXPECT_EQ(std::memcmp(&g_hud, &cleared, sizeof cleared), 0);
  EXPECT_EQ(BossGaugeShown, 0);
}

}  // namespace
