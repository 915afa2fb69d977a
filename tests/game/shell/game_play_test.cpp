#include <functional>

#include "play/player.h"
#include "play/stage.h"
#include "shell/program.h"
#include "shell_fixture.h"
#include "support/scoped_temp_dir.h"

namespace {

// The steps of the frames, and a hook tests use to act at a given step.
std::vector<std::string> g_steps;
std::function<void(const std::string&)> g_on_step;

void RecordStep(const char* step) {
  g_steps.push_back(step);
  if (g_on_step) g_on_step(step);
}

const std::vector<std::string> kUnpausedFrame = {
    "RunStageScript",     "UpdateEnemies",     "UpdatePlayerShots",   "UpdateExplosions",
    "UpdateItems",        "UpdateScorePopups", "UpdatePlayer",        "UpdateBulletCancel",
    "UpdateEnemyBullets", "UpdateSlowMotion",  "UpdatePauseMenu",     "UpdateFade",
    "UpdateStageTitle",   "UpdateBossWarning", "DrawPlayField",       "DrawAllEnemies",
    "DrawAllPlayerShots", "DrawAllExplosions", "DrawAllItems",        "DrawAllScorePopups",
    "DrawPlayer",         "DrawAllEnemyBullets", "DrawStageClearPanel", "DrawPlayerHud",
    "DrawAllEnemyGauges", "DrawBossWarning",   "DrawStageTitle",      "DrawDemoOverlay",
    "DrawFade",           "DrawPauseMenu",     "UpdateStageClear",    "RunContinueScreen",
    "DrawWallOverlay",    "HandleSystemKeys",  "EndFrame"};

uint64_t Mix(uint64_t h, uint64_t v) { return (h ^ v) * 1099511628211ull; }

}  // namespace

class GamePlayTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    g_steps.clear();
    g_on_step = nullptr;
    SetFrameStepHook(RecordStep);
    LoadAllImages();
    fake().calls.clear();
  }
  void TearDown() override {
    g_on_step = nullptr;
    ShellTest::TearDown();
  }
  // Runs scene 8 for `frames` frames, then the pump reports quit.
  void RunFrames(int frames) {
    fake().pumps = 0;
    fake().quit_after_pumps = frames + 1;
    g_flags.CurrentScene = kSceneGamePlay;
    RunGamePlayScene();
  }
  // Frames of the last run: RunStageScript to EndFrame (or to the last step
  // before the after-loop work).
  std::vector<std::vector<std::string>> Frames() {
    std::vector<std::vector<std::string>> out;
    bool open = false;
    for (const std::string& s : g_steps) {
      if (s == "RunStageScript") {
        out.emplace_back();
        open = true;
      }
      if (s == "FillReplayHeader" || s == "ResetStageObject") open = false;
      if (open) out.back().push_back(s);
      if (s == "EndFrame") open = false;
    }
    return out;
  }
  ScopedTempDir dir_{true};
};

TEST_F(GamePlayTest, SixHundredFramesRunInTheFixedOrder) {
  fake().pad_script = [](int pump) { return (pump / 30) % 2 ? 16u | 8u : 4u; };
  RunFrames(600);
  auto frames = Frames();
  ASSERT_EQ(frames.size(), 600u);
  for (size_t i = 0; i < frames.size(); ++i) ASSERT_EQ(frames[i], kUnpausedFrame) << "frame " << i;
  EXPECT_EQ(kesto_fake::CallsNamed("PresentBackScreen").size(), 600u);
  // Each shown frame: present, back buffer, clear, in that order.
  auto shown = kesto_fake::CallNames({"PresentBackScreen", "ChooseDrawTarget", "EraseTargetScreen"});
  for (size_t i = 0; i + 2 < shown.size(); i += 3)
    ASSERT_EQ(std::vector<std::string>(shown.begin() + i, shown.begin() + i + 3),
              (std::vector<std::string>{"PresentBackScreen", "ChooseDrawTarget",
                                        "EraseTargetScreen"}));
}

TEST_F(GamePlayTest, PausedFramesSkipOnlyTheUpdates) {
  g_on_step = [](const std::string& s) {
    if (s == "UpdatePauseMenu") g_flags.GamePaused = 1;  // as the pause menu does
  };
  RunFrames(2);
  auto frames = Frames();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], kUnpausedFrame);
  std::vector<std::string> paused = kUnpausedFrame;
  paused.erase(paused.begin() + 1, paused.begin() + 10);
  EXPECT_EQ(frames[1], paused);  // the draw pass still runs
}

// A game replays exactly: the same input gives the same state, and a retry
// starts exactly as the first game did.
TEST_F(GamePlayTest, SameRunAndRetryGiveTheSameStateDigest) {
  static uint64_t digest;
  static int frame;
  static int retry_at;
  auto digest_hook = [](const std::string& s) {
    if (s == "RunStageScript") ++frame;
    if (s == "UpdatePauseMenu" && frame == retry_at) {
      g_flags.RetryRequested = 1;
      g_flags.CurrentScene = kSceneBoot;
    }
    // Stands in for the draws of explosions and items, which take random
    // numbers in the draw pass.
    if (s == "DrawAllExplosions") digest = Mix(digest, uint32_t(RandomInt(360)));
    if (s != "EndFrame") return;
    // State the next frame depends on, after this frame's work.
    uint64_t h = Mix(digest, RandomSeed);
    const int32_t* flags = reinterpret_cast<const int32_t*>(&g_flags);
    for (size_t i = 0; i < sizeof g_flags / sizeof(int32_t); ++i) h = Mix(h, uint32_t(flags[i]));
    h = Mix(h, uint32_t(GetStageFrame()));
    h = Mix(h, uint32_t(g_slow_motion.frames_left));
    h = Mix(h, uint32_t(g_input.shot) << 8 | uint32_t(g_input.pause));
    digest = Mix(h, uint32_t(IsPlayerActive()));
  };
  auto run = [&](int retry_frame) {
    SetUp();
    digest = 14695981039346656037ull;
    frame = 0;
    retry_at = retry_frame;
    ResetGameObjects();  // as scene 0 does before every game
    g_on_step = digest_hook;
    g_flags.DifficultyMode = 2;
    // Every button but pause: an open pause menu would freeze the game.
    fake().pad_script = [](int pump) { return uint32_t(pump * 2654435761u) & 0x7Fu; };
    RunFrames(600);
    if (retry_frame > 0) {
      // The retried game: the scene loop runs scene 8 again at once.
      EXPECT_EQ(g_flags.CurrentScene, kSceneGamePlay);
      EXPECT_EQ(g_flags.RetryRequested, 0);
      digest = 14695981039346656037ull;
      frame = 0;
      retry_at = 0;
      RunFrames(600);
    }
    return digest;
  };
  uint64_t first = run(0);
  EXPECT_EQ(run(0), first);
  EXPECT_EQ(run(100), first);
}

TEST_F(GamePlayTest, SetUpTakesTheStartFrameFromTheStageNumber) {
  struct Case {
    int sel_flag, stage, frame, stage_after;
  };
  const Case cases[] = {{1, 18, 6240, 18}, {1, 21, 0, 21},   {1, 16, 4940, 16},
                        {1, 20, 11100, 20}, {1, 9, 0, 9},    {1, 2, 0, 2},
                        {0, 18, 0, 1}};
  for (const Case& c : cases) {
    static int seen_frame;
    static uint32_t seen_seed;
    g_on_step = [](const std::string& s) {
      if (s == "RunStageScript") {
        seen_frame = GetStageFrame();
        seen_seed = RandomSeed;
      }
    };
    RandomSeed = 77;
    g_flags.sel_flag = c.sel_flag;
    g_flags.StageNumber = c.stage;
    RunFrames(1);
    EXPECT_EQ(seen_frame, c.frame) << c.stage;
    EXPECT_EQ(seen_seed, 10u) << c.stage;
    EXPECT_EQ(g_flags.StageNumber, c.stage_after) << c.stage;
  }
}

TEST_F(GamePlayTest, LeavingTheSceneSkipsTheLastEndFrameAndReloadsBulletColour) {
  g_on_step = [](const std::string& s) {
    if (s == "HandleSystemKeys" && std::count(g_steps.begin(), g_steps.end(), "EndFrame") == 4) {
      kesto_fake::state().keys_held = {57};  // Space
      g_config.bullet_color = 3;
    }
  };
  RunFrames(100);
  EXPECT_EQ(std::count(g_steps.begin(), g_steps.end(), "RunStageScript"), 5);
  EXPECT_EQ(std::count(g_steps.begin(), g_steps.end(), "EndFrame"), 4);
  EXPECT_EQ(kesto_fake::CallsNamed("PresentBackScreen").size(), 4u);
  EXPECT_EQ(g_flags.CurrentScene, kSceneBoot);
  EXPECT_EQ(fake().graphics[static_cast<size_t>(EnemyBulletCell(0, 0))].path, "bmp/eb4.dat");
}

TEST_F(GamePlayTest, AfterTheLoopTheGameIsRecordedUnlessItWasAPlayback) {
  const std::vector<std::string> tidy = {"FillReplayHeader", "ResetStageObject",
                                         "ResetPlayObjects", "ResetHud", "LoadEnemyBulletImages"};
  for (int playback : {0, 1}) {
    g_steps.clear();
    g_flags.ReplayPlayback = playback;
    RunFrames(3);
    std::vector<std::string> tail(g_steps.end() - (playback ? 4 : 5), g_steps.end());
    EXPECT_EQ(tail, std::vector<std::string>(tidy.begin() + playback, tidy.end()));
    EXPECT_EQ(g_steps[g_steps.size() - tail.size() - 1], "EndFrame");
  }
}

TEST_F(GamePlayTest, RetryKeepsAStageSelectStage) {
  for (int sel : {0, 1}) {
    g_on_step = [](const std::string& s) {
      if (s == "UpdatePauseMenu") {
        g_flags.RetryRequested = 1;
        g_flags.CurrentScene = kSceneBoot;
      }
    };
    g_flags.sel_flag = sel;
    g_flags.StageNumber = 3;
    g_flags.PausedThisGame = 1;
    SetPlayerFighter(4, 1);
    RunFrames(10);
    EXPECT_EQ(g_flags.CurrentScene, kSceneGamePlay);
    EXPECT_EQ(g_flags.StageNumber, sel ? 3 : 1);
    EXPECT_EQ(g_flags.PausedThisGame, 0);
    EXPECT_EQ(GetPlayerFighter(), 4);
    EXPECT_EQ(GetPlayerVariant(), 1);
  }
}

TEST_F(GamePlayTest, FastForwardShowsOneFrameInEight) {
  g_flags.ReplayPlayback = 1;
  HoldPad(16);
  std::vector<int> shown;
  for (int k = 1; k <= 47; ++k) {
    size_t before = kesto_fake::CallsNamed("PresentBackScreen").size();
    EndFrame(g_frame_clock);
    if (kesto_fake::CallsNamed("PresentBackScreen").size() > before) shown.push_back(k);
  }
  std::vector<int> expected;
  for (int k = 1; k <= 31; ++k) expected.push_back(k);
  expected.push_back(39);
  expected.push_back(47);
  EXPECT_EQ(shown, expected);
  HoldPad(0);
  EndFrame(g_frame_clock);  // released: shown at once
  EXPECT_EQ(g_frame_clock.skip_counter, 0);
  EXPECT_EQ(g_frame_clock.shot_held, 0);
  g_flags.ReplayPlayback = 0;
  HoldPad(16);
  for (int k = 0; k < 40; ++k) EndFrame(g_frame_clock);
  EXPECT_EQ(kesto_fake::CallsNamed("PresentBackScreen").size(), shown.size() + 41);
}

TEST_F(GamePlayTest, PacingWaitsSeventeenMillisecondsAcrossTheClockWrap) {
  struct Case {
    uint32_t clock, last;
    int wait;
    int32_t last_after;
    size_t reads;
  };
  const Case cases[] = {
      {5, 0, 1, 18, 14},            // FPS read at 5, waits on 6..17, fresh read 18
      {100, 0, 1, 102, 3},          // already late: one check, one fresh read
      {5, 0, 2, 0, 1},              // no pacing: last frame never written
      {0x7FFFFFF8u, 0x7FFFFFF0u, 1, int32_t(0x80000002u), 11},
      {0xFFFFFFFEu, 0xFFFFFFF0u, 1, 2, 5},
  };
  for (const Case& c : cases) {
    fake().calls.clear();
    fake().clock_ms = c.clock;
    g_frame_clock = FrameClock{};
    g_frame_clock.fps_start = int32_t(c.clock);
    g_frame_clock.last_frame = int32_t(c.last);
    g_frame_clock.frame_wait = c.wait;
    EndFrame(g_frame_clock);
    EXPECT_EQ(g_frame_clock.last_frame, c.last_after) << c.clock;
    EXPECT_EQ(kesto_fake::CallsNamed("ReadMillisecondClock").size(), c.reads) << c.clock;
  }
}

TEST_F(GamePlayTest, FpsCountsPerSecondAndDrawsInTheRightPanel) {
  fake().clock_step_ms = 0;
  for (int i = 0; i < 58; ++i) DrawFps(g_frame_clock);
  EXPECT_EQ(g_frame_clock.fps_shown, 0);  // 0 during the first second
  fake().clock_ms = 1001;
  fake().calls.clear();
  DrawFps(g_frame_clock);
  EXPECT_EQ(g_frame_clock.fps_shown, 59);
  EXPECT_EQ(g_frame_clock.fps_count, 0);
  EXPECT_EQ(g_frame_clock.fps_start, 1001);
  auto blits = kesto_fake::CallsNamed("BlitGraphicAt");
  ASSERT_EQ(blits.size(), 2u + 3u);  // "59", then "FPS " (the blank draws nothing)
  EXPECT_EQ(blits[0].iarg(0), 440 + 140 - 24);
  EXPECT_EQ(blits[1].iarg(0), 440 + 140 - 12);
  EXPECT_EQ(blits[0].iarg(2), GlyphCell(0, '5'));
  EXPECT_EQ(blits[2].iarg(0), 368 + 140);
  EXPECT_EQ(blits[2].iarg(1), 460);
}

TEST_F(GamePlayTest, SlowMotion) {
  InitPlayerForGame();
  StartSlowMotion(70);
  StartSlowMotion(60);
  EXPECT_EQ(g_slow_motion.frames_left, 70);
  ResetSlowMotion();
  StartSlowMotion(10);
  StartSlowMotion(60);
  EXPECT_EQ(g_slow_motion.frames_left, 60);
  ResetSlowMotion();
  StartSlowMotion(2);
  for (int i = 0; i < 3; ++i) UpdateSlowMotion();
  EXPECT_EQ(g_slow_motion.active, 0);
  auto sleeps = kesto_fake::CallsNamed("SleepWithPump");
  ASSERT_EQ(sleeps.size(), 2u);
  EXPECT_EQ(sleeps[0].iarg(0), 15);
}
