#include "play/bullet_cancel.h"
#include "overlays_fixture.h"
#include "screens/ranking.h"

namespace {

constexpr uint32_t kDown = 1, kShot = 16;

class ContinueScreenTest : public OverlaysTest {
 protected:
  void SetUp() override {
    OverlaysTest::SetUp();
    ResetAllBulletCancelSlots();
  }
  void Frame(uint32_t pad) {
    HoldPad(pad);
    RunContinueScreen();
  }
  // The last life is lost; the 90 frames before the menu pass.
  void LoseLastLife() {
    g_continue_screen.active = 1;
    for (int i = 0; i < 90; ++i) Frame(0);
  }
  // In the menu: moves down `downs` times and waits out the shot guard.
  void MenuAt(int downs) {
    int frames = 0;
    for (int d = 0; d < downs; ++d) {
      Frame(kDown);
      Frame(kDown);
      for (int i = 0; i < 8; ++i) Frame(0);
      frames += 10;
    }
    while (frames < 31) {
      Frame(0);
      ++frames;
    }
  }
  // Frames until the scene changes, at most `limit`.
  int FramesUntilSceneChanges(int limit) {
    int frames = 0;
    while (g_flags.CurrentScene == kSceneGamePlay && frames < limit) {
      Frame(0);
      ++frames;
    }
    return frames;
  }
};

TEST_F(ContinueScreenTest, InactiveDoesNothing) {
  Frame(kShot);
  EXPECT_TRUE(fake().calls.empty());
  EXPECT_EQ(g_continue_screen.frame_counter, 0);
}

TEST_F(ContinueScreenTest, MenuComesAfterNinetyFramesUnlessThereIsNothingToChoose) {
  struct Case {
    const char* what;
    int playback, sel_flag, credits;
    int phase_after;
  };
  const Case cases[] = {{"arcade with credits", 0, 0, 2, 1},
                        {"stage select without credits", 0, 1, 0, 1},
                        {"arcade without credits", 0, 0, 0, 20},
                        {"playback", 1, 0, 5, 20}};
  for (const Case& c : cases) {
    SetUp();
    g_flags.ReplayPlayback = c.playback;
    g_flags.sel_flag = c.sel_flag;
    SetPlayerCredits(c.credits);
    g_continue_screen.active = 1;
    for (int i = 0; i < 89; ++i) Frame(0);
    EXPECT_EQ(g_flags.GamePaused, 0) << c.what;  // play goes on meanwhile
    Frame(0);
    EXPECT_EQ(g_flags.GamePaused, 1) << c.what;
    EXPECT_EQ(g_continue_screen.phase, c.phase_after) << c.what;
  }
}

TEST_F(ContinueScreenTest, GivingUpFadesToBlackThenGameOver) {
  // Playback: no menu; from alpha 0 by 2 a frame to 255 (128 frames), then
  // one more frame leaves.
  g_flags.ReplayPlayback = 1;
  LoseLastLife();
  ClearLog();
  EXPECT_EQ(FramesUntilSceneChanges(500), 129);
  EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver);
  EXPECT_EQ(g_flags.GamePaused, 0);
  EXPECT_EQ(g_continue_screen.active, 0);
  EXPECT_EQ(Count("HaltMusic"), 128 + 1);  // each fading frame, and once more in playback

  // NO from the menu: the fade goes on from the menu's darkness.
  SetUp();
  SetPlayerCredits(1);
  LoseLastLife();
  MenuAt(1);
  ClearLog();
  Frame(kShot);
  EXPECT_EQ(SoundsPlayed(), std::vector<int>{1});
  EXPECT_EQ(g_continue_screen.phase, 20);
  const int darkness = g_continue_screen.darkness_alpha;
  EXPECT_EQ(darkness, 64);  // the menu's 32 frames
  EXPECT_EQ(FramesUntilSceneChanges(500), (255 - darkness + 1) / 2 + 1);
  EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver);
}

TEST_F(ContinueScreenTest, YesGivesANewPlayerThatKeepsTheGamesCounts) {
  struct Case {
    const char* what;
    int sel_flag;
    int continues_before;
    int credits_after;
    int score_after;
  };
  const Case cases[] = {{"arcade, first continue", 0, 0, 2, 1},
                        {"arcade, tenth continue", 0, 9, 2, 9},
                        {"stage select spends no credit", 1, 0, 3, 1}};
  for (const Case& c : cases) {
    SetUp();
    g_flags.sel_flag = c.sel_flag;
    g_flags.DifficultyMode = 2;
    SetPlayerFighter(2, 1);
    SetPlayerCredits(3);
    SetPlayerTotalMisses(4);
    SetPlayerStageMisses(2);
    AddPlayerContinues(c.continues_before);
    AddScore(123450);
    g_player.lives = 0;
    LoseLastLife();
    MenuAt(0);
    ClearLog();
    Frame(kShot);  // YES
    EXPECT_EQ(g_continue_screen.phase, 10) << c.what;
    Frame(0);
    EXPECT_EQ(SoundsPlayed(), std::vector<int>{2}) << c.what;
    EXPECT_EQ(GetPlayerCredits(), c.credits_after) << c.what;
    EXPECT_EQ(GetPlayerContinues(), c.continues_before + 1) << c.what;
    EXPECT_EQ(GetPlayerScore(), c.score_after) << c.what;
    EXPECT_EQ(GetPlayerHiScore(), GetTopScore(2)) << c.what;
    EXPECT_EQ(GetPlayerFighter(), 2) << c.what;
    EXPECT_EQ(GetPlayerVariant(), 1) << c.what;
    EXPECT_EQ(GetPlayerTotalMisses(), 4) << c.what;
    // Kept, then cleared again by the stage restart of the new player.
    EXPECT_EQ(GetPlayerStageMisses(), 0) << c.what;
    EXPECT_EQ(g_player.lives, 2) << c.what;
    EXPECT_EQ(g_flags.GamePaused, 0) << c.what;
    EXPECT_EQ(g_flags.CurrentScene, kSceneGamePlay) << c.what;
    const auto cleared = ContinueScreenState{};
    EXPECT_EQ(std::memcmp(&g_continue_screen, &cleared, sizeof cleared), 0) << c.what;
    EXPECT_EQ(g_bullet_cancels[0].active, 1u) << c.what;
    EXPECT_EQ(g_bullet_cancels[0].frames_total, 240) << c.what;
  }
}

TEST_F(ContinueScreenTest, RetryIsOfferedInStageSelectPlayOnly) {
  for (int sel_flag : {0, 1}) {
    SetUp();
    g_flags.sel_flag = sel_flag;
    SetPlayerCredits(1);
    SetStageFrame(700);
    LoseLastLife();
    MenuAt(2);  // wraps to YES when RETRY is not offered
    Frame(kShot);
    Frame(0);
    if (sel_flag == 1) {
      EXPECT_EQ(g_flags.CurrentScene, kSceneBoot);
      EXPECT_EQ(g_flags.RetryRequested, 1);
      EXPECT_EQ(g_flags.GamePaused, 0);
      EXPECT_EQ(g_continue_screen.active, 0);
      EXPECT_EQ(GetStageFrame(), 0);
    } else {
      EXPECT_EQ(g_flags.CurrentScene, kSceneGamePlay);
      EXPECT_EQ(GetPlayerContinues(), 1);  // YES was chosen
    }
  }
}

TEST_F(ContinueScreenTest, ShotStillHeldOrMashedFromPlayIsIgnoredAtFirst) {
  SetPlayerCredits(1);
  LoseLastLife();
  // Pressed on the menu's first frame and on every other frame after.
  for (int i = 0; i < 31; ++i) Frame(i % 2 == 0 ? kShot : 0);
  EXPECT_EQ(g_continue_screen.phase, 1);
  EXPECT_EQ(GetPlayerCredits(), 1);
  Frame(0);
  Frame(kShot);
  EXPECT_EQ(g_continue_screen.phase, 10);
}

TEST_F(ContinueScreenTest, MenuDrawsItsItemsAndTheCreditsInArcadePlay) {
  for (int sel_flag : {0, 1}) {
    SetUp();
    g_flags.sel_flag = sel_flag;
    SetPlayerCredits(12);
    LoseLastLife();
    ClearLog();
    Frame(0);
    EXPECT_EQ(kesto_fake::CallsNamed("ChooseBlendMode").at(0).iarg(1), 2);  // darkening grows
    EXPECT_TRUE(Drew("CONTINUE?", 126, 120, true));
    EXPECT_TRUE(Drew("YES", 156, 180, true));
    EXPECT_TRUE(Drew("NO", 156, 220, true));
    EXPECT_EQ(Drew("RETRY", 156, 260, true), sel_flag == 1);
    EXPECT_EQ(Drew("CREDIT", 144, 464, true), sel_flag == 0);
    EXPECT_EQ(Drew("12", 260, 464, false), sel_flag == 0);
  }
}

}  // namespace
