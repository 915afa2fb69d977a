// The attract demo's replays (tests/data/demo_replays) are recorded from
// scripted play of this build; when the rules change they stop matching, and
// scripts/record_demo_replays.sh records them again.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo_replay_fixture.h"
#include "play/player.h"
#include "screens/scenes.h"
#include "shell/game_play.h"

namespace {

using namespace demo_replays;
namespace fs = std::filesystem;

// Keeps the call log small: a game draws thousands of sprites a frame.
void ClearCallLogEachFrame(const char* step) {
  if (std::strcmp(step, "RunStageScript") == 0) kesto_fake::state().calls.clear();
}

struct GameEnd {
  int score = -1, stage = -1, misses = -1, continues = -1, frames = -1;
  int stage_scores[5] = {};
};
GameEnd g_end;

// The state as the game ends, before the reset after it.
void NoteGameEnd(const char* step) {
  ClearCallLogEachFrame(step);
  if (std::strcmp(step, "ResetStageObject") != 0) return;
  g_end.score = GetPlayerScore();
  g_end.stage = g_flags.StageNumber;
  g_end.misses = GetPlayerTotalMisses();
  g_end.continues = GetPlayerContinues();
  g_end.frames = g_player.frame_index;
  for (int s = 1; s <= 5; ++s) g_end.stage_scores[s - 1] = GetPlayerStageScore(s);
}

// Not a check: the recorder behind scripts/record_demo_replays.sh, which runs
// it with HALCYRIS_DEMO_REPLAY_OUT naming the folder to write to.
TEST_F(DemoReplayTest, DISABLED_RecordDemoReplays) {
  const char* out_env = std::getenv("HALCYRIS_DEMO_REPLAY_OUT");
  const fs::path out = out_env != nullptr && *out_env != '\0' ? fs::path(out_env) : KeptDemoReplayDir();
  fs::create_directories(out);
  for (int d = 0; d < kDemoCount; ++d) {
    ResetState();
    LoadBootData();
    ResetGameObjects();
    const DemoRun& run = kDemoRuns[d];
    // With no credit the game ends at its first game over without the
    // continue menu, exactly as playback ends it.
    g_save_data.credits = 0;
    g_flags.DifficultyMode = run.mode;
    g_flags.sel_flag = 0;
    SetPlayerFighter(run.fighter, run.variant);
    fake().pumps = 0;
    fake().pad_script = [pad = run.pad](int pump) -> uint32_t { return pad(pump); };
    fake().quit_after_pumps = kReplayInputWords;
    SetFrameStepHook(ClearCallLogEachFrame);
    g_flags.CurrentScene = kSceneGamePlay;
    RunGamePlayScene();
    SetFrameStepHook(nullptr);
    ASSERT_EQ(g_flags.CurrentScene, kSceneGameOver) << "demo " << d << ": the scripted game did not end";
    SetReplayName("DEM");
    ASSERT_EQ(WriteReplayFile(g_replay_buffer, kFirstDemoFile - 1 + d), 0);
    fs::copy_file(fs::path("Replay") / DemoFileName(d), out / DemoFileName(d),
                  fs::copy_options::overwrite_existing);
    ASSERT_GT(RecordedFrames(g_replay_buffer.inputs), kDemoPlayFrames + 200)
        << "demo " << d << " ends before the demo timer: change its pad script";
    const int32_t* w = g_replay_buffer.header.words;
    std::printf("%s: mode %d fighter %d.%d score %d stage %d misses %d, %d frames\n",
                (out / DemoFileName(d)).c_str(), w[kReplayWordMode], w[kReplayWordFighter],
                w[kReplayWordVariant], w[kReplayWordScore], w[kReplayWordStage],
                w[kReplayWordMisses], RecordedFrames(g_replay_buffer.inputs));
  }
}

TEST_F(DemoReplayTest, EachDemoReplayPlaysBackToTheEndItRecorded) {
  InstallDemoReplays();
  static uint32_t inputs[kReplayInputWords];
  for (int d = 0; d < kDemoCount; ++d) {
    SCOPED_TRACE(DemoFileName(d));
    ResetState();
    ResetGameObjects();
    const int slot = kFirstDemoFile - 1 + d;
    ReplayListEntry entry{};
    ASSERT_EQ(ReadReplayHeader(&entry, slot), 0);
    ASSERT_EQ(entry.valid, 1);
    ASSERT_EQ(ReadReplayFile(inputs, slot), 0);
    const int32_t* w = entry.header.words;
    EXPECT_EQ(w[kReplayWordMode], kDemoRuns[d].mode);
    EXPECT_EQ(w[kReplayWordFighter], kDemoRuns[d].fighter);
    EXPECT_EQ(w[kReplayWordVariant], kDemoRuns[d].variant);
    EXPECT_EQ(w[kReplayWordStageSelect], 0);

    g_end = GameEnd{};
    ASSERT_EQ(StartReplayPlayback(entry, slot), 0);
    fake().pumps = 0;
    fake().quit_after_pumps = kReplayInputWords + 2000;
    SetFrameStepHook(NoteGameEnd);
    RunGamePlayScene();
    SetFrameStepHook(nullptr);

    EXPECT_EQ(g_flags.CurrentScene, kSceneGameOver) << kRerecordHint;
    EXPECT_EQ(g_end.frames, RecordedFrames(inputs)) << kRerecordHint;
    EXPECT_EQ(g_end.score, w[kReplayWordScore]) << kRerecordHint;
    EXPECT_EQ(g_end.stage, w[kReplayWordStage]) << kRerecordHint;
    EXPECT_EQ(g_end.misses, w[kReplayWordMisses]) << kRerecordHint;
    EXPECT_EQ(g_end.continues, w[kReplayWordContinues]) << kRerecordHint;
    for (int s = 0; s < 5; ++s)
      EXPECT_EQ(g_end.stage_scores[s], w[kReplayWordStageScore1 + s]) << "stage " << s + 1;
  }
}

}  // namespace
