// The attract demo through the scene loop: the title left alone starts the
// next demo replay, which plays under its banner until its timer hands over
// to the ranking (or a shot press cuts it short), and the game comes back to
// the title; cycle after cycle without holding on to handles or memory.
#include <malloc.h>

#include <cstring>
#include <vector>

#include "demo_replay_fixture.h"
#include "screens/scenes.h"
#include "shell/game_math.h"
#include "shell/game_play.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own count of the heap in use (malloc's is not kept then).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using namespace demo_replays;

// The demo timer's frames begin after the fighter's entry.
constexpr int kEntryFramesAtMost = 120;
constexpr int kTitleWaitFrames = 400;

size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

struct DemoWatch {
  int play_frames = 0;
  int cut_at = -1;  // play frame from which the live shot is held; -1 never
  bool overlay_checked = false;
  bool overlay_seen = false;
  int demo_mode = -1, playback = -1, fighter = -1;
};
DemoWatch g_watch;
class AttractDemoTest;
AttractDemoTest* g_test = nullptr;
void WatchDemo(const char* step);

struct SceneRun {
  int scene;   // the scene run
  int next;    // the scene it handed over to
  int frames;  // pumps it took
};

class AttractDemoTest : public DemoReplayTest {
 protected:
  void SetUp() override {
    DemoReplayTest::SetUp();
    InstallDemoReplays();
    g_test = this;
    g_watch = DemoWatch{};
    SetFrameStepHook(WatchDemo);
    fake().pad_script = [](int) -> uint32_t {
      return g_flags.CurrentScene == kSceneGamePlay && g_watch.cut_at >= 0 &&
                     g_watch.play_frames >= g_watch.cut_at
                 ? result_scenes::kShot
                 : 0u;
    };
    fake().quit_after_pumps = -1;
    g_flags.CurrentScene = kSceneBoot;
  }
  void TearDown() override {
    g_test = nullptr;
    DemoReplayTest::TearDown();
  }

 public:
  bool DrewText(const std::string& text) const { return Drew(text); }

 protected:

  // The scene loop from the boot reset until it is back at it: one cycle.
  std::vector<SceneRun> RunOneCycle(int cut_at) {
    g_watch = DemoWatch{};
    g_watch.cut_at = cut_at;
    std::vector<SceneRun> runs;
    do {
      const int scene = g_flags.CurrentScene;
      const int pumps_before = fake().pumps;
      RunCurrentScene();
      fake().calls.clear();
      runs.push_back({scene, g_flags.CurrentScene, fake().pumps - pumps_before});
    } while (g_flags.CurrentScene != kSceneBoot && runs.size() < 10);
    std::vector<kesto_fake::Call>().swap(fake().calls);
    return runs;
  }
  static std::vector<int> Handovers(const std::vector<SceneRun>& runs) {
    std::vector<int> next;
    for (const SceneRun& r : runs) next.push_back(r.next);
    return next;
  }
};


void WatchDemo(const char* step) {
  if (std::strcmp(step, "RunStageScript") == 0) {
    ++g_watch.play_frames;
    kesto_fake::state().calls.clear();
    if (g_watch.play_frames == 1) {
      g_watch.demo_mode = g_flags.DemoMode;
      g_watch.playback = g_flags.ReplayPlayback;
      g_watch.fighter = GetPlayerFighter();
    }
  } else if (std::strcmp(step, "DrawFade") == 0 && g_watch.play_frames == 100 &&
             !g_watch.overlay_checked) {
    g_watch.overlay_checked = true;
    g_watch.overlay_seen = g_test->DrewText("PRESS SHOT BUTTON");
  }
}

TEST_F(AttractDemoTest, TheTitleLeftAloneShowsTheNextDemoAndComesBackToTheTitle) {
  g_flags.DemoReplayIndex = 1;
  std::vector<SceneRun> runs = RunOneCycle(-1);
  ASSERT_EQ(Handovers(runs),
            (std::vector<int>{kSceneReplayList, kSceneGamePlay, kSceneRanking, kSceneBoot}));
  EXPECT_EQ(runs[0].frames, kTitleWaitFrames + 1);  // the demo starts on the 401st frame
  EXPECT_EQ(runs[1].frames, 1);  // the list starts it at once: one pump, no frame shown
  EXPECT_GT(g_watch.play_frames, kDemoPlayFrames);
  EXPECT_LT(g_watch.play_frames, kDemoPlayFrames + kEntryFramesAtMost);
  EXPECT_EQ(g_watch.demo_mode, 1);
  EXPECT_EQ(g_watch.playback, 1);
  EXPECT_EQ(g_watch.fighter, kDemoRuns[1].fighter);
  EXPECT_TRUE(g_watch.overlay_seen);
  EXPECT_EQ(g_flags.DemoReplayIndex, 2);

  // Back at the title: the demo is over and the next one waits its turn.
  fake().quit_after_pumps = fake().pumps + 2;
  RunCurrentScene();
  EXPECT_EQ(g_flags.DemoMode, 0);
  EXPECT_EQ(g_flags.ReplayPlayback, 0);
  EXPECT_EQ(g_flags.CurrentScene, kSceneTitle);
  // Watching a demo saves nothing.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("Replay"),
                          std::filesystem::directory_iterator{}),
            kDemoCount);
}

// The whole program, started and left alone at the title, plays a demo
// replay's game under the banner: the first one, unless saved progress was
// found (the progress file's key is the generator's first draw otherwise).
TEST_F(AttractDemoTest, TheProgramLeftAloneAtTheTitlePlaysADemo) {
  struct Case {
    bool progress_saved;
    int demo;
  };
  for (Case k : {Case{false, 0}, Case{true, 1}}) {
    SCOPED_TRACE(k.progress_saved);
    ResetState();
    if (!k.progress_saved) std::filesystem::remove("file/data.dat");
    RandomSeed = 0;  // as at program start
    g_watch = DemoWatch{};
    fake().pumps = 0;
    fake().quit_after_pumps = kTitleWaitFrames + 150;
    EXPECT_EQ(RunProgram(), 0);
    EXPECT_EQ(g_watch.demo_mode, 1);
    EXPECT_EQ(g_watch.playback, 1);
    EXPECT_EQ(g_watch.fighter, kDemoRuns[k.demo].fighter);
    EXPECT_TRUE(g_watch.overlay_seen);
    EXPECT_EQ(g_flags.DemoReplayIndex, k.demo + 1);
  }
}

// A hundred demos in a row, most cut short by a shot press after their first
// second and every twentieth played out to the ranking: the handles and the
// heap stay where the first cycles left them.
TEST_F(AttractDemoTest, AHundredDemoCyclesHoldNoMoreHandlesOrMemory) {
  g_flags.DemoReplayIndex = 0;
  int graphics = -1, sounds = -1;
  size_t heap_after_warm_up = 0;
  int fighters_seen[5] = {};
  for (int cycle = 0; cycle < 100; ++cycle) {
    SCOPED_TRACE(cycle);
    const bool full = cycle % 20 == 0;
    std::vector<SceneRun> runs = RunOneCycle(full ? -1 : 60);
    const std::vector<int> expected =
        full ? std::vector<int>{kSceneReplayList, kSceneGamePlay, kSceneRanking, kSceneBoot}
             : std::vector<int>{kSceneReplayList, kSceneGamePlay, kSceneBoot};
    ASSERT_EQ(Handovers(runs), expected);
    if (!full) {
      EXPECT_EQ(g_watch.play_frames, 60);
    }
    EXPECT_EQ(g_watch.fighter, kDemoRuns[cycle % kDemoCount].fighter);
    ++fighters_seen[g_watch.fighter];
    if (cycle == 2) {
      graphics = kesto_fake::LiveGraphicCount();
      sounds = fake().sounds;
      heap_after_warm_up = HeapInUse();
    } else if (cycle > 2) {
      ASSERT_EQ(kesto_fake::LiveGraphicCount(), graphics);
      ASSERT_EQ(fake().sounds, sounds);
    }
  }
  const size_t heap = HeapInUse();
  const size_t growth = heap > heap_after_warm_up ? heap - heap_after_warm_up : 0;
  EXPECT_LT(growth, 64u * 1024u) << "heap grew by " << growth << " bytes over 97 demo cycles";
  for (int d = 0; d < kDemoCount; ++d) EXPECT_GT(fighters_seen[kDemoRuns[d].fighter], 30);
}

}  // namespace
