#include "play/score_popups.h"

#include "play_fixture.h"

namespace {

int DrawsUntilFree(ScorePopup& p, int limit = 1000) {
  int n = 0;
  while (p.in_use == 1 && n < limit) {
    DrawScorePopup(p);
    ++n;
  }
  return n;
}

}  // namespace

class ScorePopupsTest : public PlayTest {};

TEST_F(ScorePopupsTest, LifetimesByKindEvenWhilePaused) {
  struct Case {
    int kind;
    int value;
    int draws;
  };
  const Case cases[] = {{0, 0, 142}, {1, 0, 142}, {3, 0, 142}, {4, 0, 142},
                        {5, 500, 51}, {5, 800, 51}, {6, 0, 82}};
  for (int paused = 0; paused <= 1; ++paused) {
    for (const Case& c : cases) {
      ResetAllScorePopups();
      g_flags.GamePaused = paused;
      SpawnScorePopup(300, 200, c.kind, c.value, -90.0, 1.5);
      EXPECT_EQ(DrawsUntilFree(g_score_popups[0]), c.draws) << "kind " << c.kind;
    }
  }
}

TEST_F(ScorePopupsTest, LabelHoldsThenFadesAndItsCellsCycle) {
  SpawnScorePopup(300, 200, 3, 0, -90.0, 1.5);
  ScorePopup& p = g_score_popups[0];
  std::vector<int> alphas;
  while (p.in_use == 1) {
    DrawScorePopup(p);
    if (p.in_use == 1) alphas.push_back(p.alpha);
  }
  ASSERT_EQ(alphas.size(), 141u);
  EXPECT_EQ(alphas[90], 255);
  EXPECT_EQ(alphas[91], 250);
  EXPECT_EQ(alphas[140], 5);
  // Label cell then backdrop; life label column at x 116, backdrop at (16, 0).
  auto s = Sprites();
  EXPECT_EQ(G(s[0].iarg(4)).x, 116);
  EXPECT_EQ(G(s[0].iarg(4)).y, 40);
  EXPECT_EQ(G(s[1].iarg(4)).x, 16);
  EXPECT_EQ(G(s[8].iarg(4)).y, 56);  // fifth draw: cell 1

  // The clearing draw still counted: the next label starts its cycle at 1.
  ClearLog();
  SpawnScorePopup(300, 200, 0, 0, -90.0, 1.5);
  for (int i = 0; i < 4; ++i) DrawScorePopup(p);
  s = Sprites();
  EXPECT_EQ(G(s[0].iarg(4)).y, 40);
  EXPECT_EQ(G(s[4].iarg(4)).y, 40);
  EXPECT_EQ(G(s[6].iarg(4)).y, 56);
}

TEST_F(ScorePopupsTest, NumberStyleAndGrowth) {
  struct Case {
    int value;
    char first_digit;
    int style;
    double max_scale;
  };
  const Case cases[] = {{500, '5', 2, 2.5}, {800, '8', 3, 2.5}, {1500, '1', 2, 3.5}};
  for (const Case& c : cases) {
    ResetAllScorePopups();
    SpawnScorePopup(300, 200, 5, c.value, -90.0, 2.0);
    double top = 0;
    ClearLog();
    while (g_score_popups[0].in_use == 1) {
      DrawScorePopup(g_score_popups[0]);
      top = std::max(top, g_score_popups[0].scale);
    }
    EXPECT_GT(top, c.max_scale - 0.01) << c.value;
    EXPECT_LT(top, c.max_scale + 0.1) << c.value;
    auto s = Sprites();
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s[0].iarg(4), GlyphCell(c.style, c.first_digit)) << c.value;
    EXPECT_EQ(s[0].arg(2), 1.0 + 0.1) << c.value;
  }
}

TEST_F(ScorePopupsTest, MovesOnlyInUpdateAndPoolIsBounded) {
  SpawnScorePopup(300, 200, 0, 0, 90.0, 1.5);  // 120x40 label
  ScorePopup& p = g_score_popups[0];
  EXPECT_DOUBLE_EQ(p.left, 240.0);
  EXPECT_DOUBLE_EQ(p.top, 180.0);
  UpdateScorePopup(p);
  EXPECT_DOUBLE_EQ(p.x, 300.0 + CosDeg(90.0) * 1.5);
  EXPECT_DOUBLE_EQ(p.y, 200.0 + SinDeg(90.0) * 1.5);
  for (int i = 1; i < kScorePopupCount; ++i) ASSERT_EQ(SpawnScorePopup(0, 0, 6, 0, 0, 0), 0);
  EXPECT_EQ(SpawnScorePopup(0, 0, 6, 0, 0, 0), -1);
}
