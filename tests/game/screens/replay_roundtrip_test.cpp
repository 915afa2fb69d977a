// A whole arcade game played through the scene loop with the real game play
// and stage 1, one pad word per frame: it ends in game over, its replay is
// saved from the replay-save screen, and playing that replay from the list
// must reach the same game over with the same score and the same play state.
#include <cstdio>
#include <map>
#include <string>

#include "game/play/determinism_harness.h"
#include "play/player.h"
#include "result_scenes_fixture.h"
#include "screens/overlays.h"
#include "screens/ranking.h"
#include "screens/replay.h"
#include "screens/scenes.h"
#include "scripted_player.h"
#include "shell/game_play.h"
#include "shell/program.h"

namespace {

using namespace result_scenes;

// What the game-play scene left when a game ended, taken as it tidies up
// (before the play objects are reset).
struct GameEnd {
  int games = 0;
  int scene = -1;  // where the game was leaving for
  int playback = 0;
  int score = 0;
  int misses = 0;
  int input_frames = 0;
  uint64_t digest = 0;
  int unshown_frames = 0;  // counted over all games: frames fast-forward did not show
};
GameEnd g_end;

// The play state's digest, less what is not play: the credits, the shown
// high score and the replay's recorded score differ between a game and its
// replay (the game itself added a credit and entered the ranking).
uint64_t PlayDigest() {
  PlayerObject& p = g_player;
  const int32_t credits = p.credits, hi_score = p.shown_hi_score, replay_score = p.replay_score;
  p.credits = p.shown_hi_score = p.replay_score = 0;
  const uint64_t digest = DigestPlayState();
  p.credits = credits;
  p.shown_hi_score = hi_score;
  p.replay_score = replay_score;
  return digest;
}

void OnGameStep(const char* step) {
  // The counter the last frame end left: not 0 when it showed no frame.
  if (std::string(step) == "RunStageScript" && g_frame_clock.skip_counter != 0)
    ++g_end.unshown_frames;
  if (std::string(step) != "ResetStageObject") return;
  ++g_end.games;
  g_end.scene = g_flags.CurrentScene;
  g_end.playback = g_flags.ReplayPlayback;
  g_end.score = GetPlayerScore();
  g_end.misses = GetPlayerTotalMisses();
  g_end.input_frames = g_player.frame_index;
  g_end.digest = PlayDigest();
}

class ReplayRoundTripTest : public ResultScenesTest {
 protected:
  void SetUp() override {
    ResultScenesTest::SetUp();
    LoadBootData();
    g_end = GameEnd{};
    SetFrameStepHook(OnGameStep);
    int last_pump = 0;
    fake().pad_script = [this, last_pump](int pump) mutable {
      // One frame's calls at a time: a whole game logs millions.
      if (pump != last_pump) fake().calls.clear();
      last_pump = pump;
      return player_.Word(pump);
    };
    fake().quit_after_pumps = kMaxFrames;
  }
  void TearDown() override {
    SetFrameStepHook(nullptr);
    ResultScenesTest::TearDown();
  }

  // Runs scenes until `until` holds after one, or the frame budget is spent.
  template <typename Until>
  bool RunUntil(Until until) {
    while (fake().pumps < kMaxFrames) {
      RunCurrentScene();
      scenes_.push_back(g_flags.CurrentScene);
      if (until()) return true;
    }
    return false;
  }

  static constexpr int kMaxFrames = 60000;
  Player player_;
  std::vector<int> scenes_;  // the scene after each pass of the loop
};

TEST_F(ReplayRoundTripTest, SavedReplayReplaysToTheSameGameOver) {
  g_flags.CurrentScene = kSceneBoot;

  // Live: title, menus, an arcade game lost to the end, name entry, the save
  // screen, then the ranking back to the title.
  ASSERT_TRUE(RunUntil([] { return g_end.games == 1; })) << "the live game never ended";
  const GameEnd live = g_end;
  EXPECT_EQ(live.scene, kSceneGameOver);
  EXPECT_EQ(live.playback, 0);
  EXPECT_EQ(g_replay_buffer.header.words[kReplayWordScore], live.score);

  ASSERT_TRUE(RunUntil([this] { return player_.visits(kSceneTitle) == 2; }));
  EXPECT_EQ(scenes_,
            (std::vector<int>{kSceneMainMenu, kSceneModeSelect, kSceneFighterSelect, kSceneGamePlay,
                              kSceneGameOver, kSceneNameEntry, kSceneReplaySave, kSceneRanking,
                              kSceneBoot, kSceneMainMenu}));

  ReplayListEntry saved{};
  ASSERT_EQ(ReadReplayHeader(&saved, 4), 0) << "slot 5 was not written";
  EXPECT_EQ(saved.valid, 1);
  EXPECT_STREQ(saved.name, "BCD");
  EXPECT_EQ(saved.header.words[kReplayWordScore], live.score);
  EXPECT_EQ(saved.header.words[kReplayWordMode], 1);
  for (int slot = 0; slot < kReplaySlots; ++slot) {
    if (slot == 4) continue;
    ReplayListEntry other{};
    EXPECT_EQ(ReadReplayHeader(&other, slot), -1) << "slot " << slot + 1 << " was written";
  }
  EXPECT_EQ(g_ranking.records[1][0].score, live.score) << "the game did not enter the ranking";

  // Playback: the main menu's REPLAY, slot 5, to the end of the game and
  // back to the list.
  ASSERT_TRUE(RunUntil([] { return g_end.games == 2; })) << "the replay never ended";
  const GameEnd played = g_end;
  EXPECT_EQ(played.playback, 1);
  EXPECT_EQ(played.scene, kSceneGameOver);
  EXPECT_EQ(played.score, live.score);
  EXPECT_EQ(played.misses, live.misses);
  EXPECT_EQ(played.input_frames, live.input_frames);
  EXPECT_EQ(played.digest, live.digest);
  EXPECT_EQ(played.unshown_frames, 0);
  RunCurrentScene();  // the game-over scene hands the replay back to its list
  EXPECT_EQ(g_flags.CurrentScene, kSceneReplayList);

  // Fast-forward skips only the showing of frames, never a frame of play.
  ASSERT_TRUE(RunUntil([] { return g_end.games == 3; })) << "the fast-forwarded replay never ended";
  EXPECT_EQ(g_end.playback, 1);
  EXPECT_EQ(g_end.score, live.score);
  EXPECT_EQ(g_end.input_frames, live.input_frames);
  EXPECT_EQ(g_end.digest, live.digest);
  EXPECT_GT(g_end.unshown_frames, 0) << "the replay was not fast-forwarded";

  // A pause while watching holds the game, and the game goes on as recorded.
  RunCurrentScene();
  ASSERT_TRUE(RunUntil([] { return g_end.games == 4; })) << "the paused replay never ended";
  EXPECT_EQ(g_end.playback, 1);
  EXPECT_EQ(g_end.score, live.score);
  EXPECT_EQ(g_end.input_frames, live.input_frames);
  EXPECT_EQ(g_end.digest, live.digest);
  EXPECT_EQ(g_flags.PausedThisGame, 1);
}

TEST_F(ReplayRoundTripTest, BossPracticeReplayStartsWhereTheGameDid) {
  player_.boss_practice = true;
  g_flags.CurrentScene = kSceneBoot;

  ASSERT_TRUE(RunUntil([] { return g_end.games == 1; })) << "the live game never ended";
  const GameEnd live = g_end;
  EXPECT_EQ(live.scene, kSceneGameOver);

  // Name entry, the save screen, back to stage select, its RETURN, the main
  // menu's REPLAY, slot 5.
  ASSERT_TRUE(RunUntil([] { return g_end.games == 2; })) << "the replay never ended";
  ReplayListEntry saved{};
  ASSERT_EQ(ReadReplayHeader(&saved, 4), 0) << "slot 5 was not written";
  EXPECT_EQ(saved.header.words[kReplayWordStageSelect], 1);
  EXPECT_EQ(saved.header.words[kReplayWordStage], 16);
  EXPECT_EQ(player_.visits(kSceneStageSelect), 2);
  EXPECT_EQ(g_end.playback, 1);
  EXPECT_EQ(g_end.scene, kSceneGameOver);
  EXPECT_EQ(g_end.score, live.score);
  EXPECT_EQ(g_end.input_frames, live.input_frames);
  EXPECT_EQ(g_end.digest, live.digest);
}

}  // namespace
