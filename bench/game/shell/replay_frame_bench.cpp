// The real game frame: the first stage 1 frames of a recorded replay (the
// attract demo's first, tests/data/demo_replays/replay100.dat) played
// through the program's own game-play loop with the real library, headless
// (SDL's dummy drivers, the null presenter), drawing on, pacing off (no
// 17 ms frame wait, no blank waits). The run directory is generated on first
// use (the stand-in asset generator, into $TMPDIR/kesto_bench_run or
// KESTO_BENCH_RUN_DIR, made again only when the generator changed).
//
// Counters, per frame: update_us (the update steps), stage_us (the stage
// script: its timeline and the scrolling background it draws), present_us
// (the copy to the window and its hand-off to the presenter) and draw_us
// (everything else: the draw steps, the end-of-frame panels, the flush of
// queued sprites, the clear and the message pump). Queued sprites are drawn
// when the library flushes them, in whichever step that falls. frames_per_s
// is frames over the time of the frame loop.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "graphics/present.h"
#include "kesto/kesto.h"
#include "screens/replay.h"
#include "screens/scenes.h"
#include "shell/game_flags.h"
#include "shell/game_play.h"
#include "shell/program.h"
#include "shell/screen_settings.h"

#ifdef KESTO_BENCH_ASSETGEN
#include "run_dir.h"
#include "version.h"
#endif

namespace {

namespace fs = std::filesystem;

constexpr int kReplaySlot = 99;  // Replay/replay100.dat
constexpr int kFrames = 1200;    // 20 seconds of stage 1

uint64_t NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

// Frame-step observer: time between two steps goes to the earlier one.
struct Split {
  uint64_t update_ns = 0;
  uint64_t stage_ns = 0;
  uint64_t other_ns = 0;  // draw steps and the end of the frame
  uint64_t loop_start = 0;
  uint64_t last = 0;
  int last_kind = 0;  // 0 draw and the rest, 1 update, 2 stage script
  int frames = 0;     // frames begun
};
Split g_split;

int KindOf(const char* step) {
  if (std::strcmp(step, "RunStageScript") == 0) return 2;
  const bool update = std::strncmp(step, "Update", 6) == 0 ||
                      std::strcmp(step, "RunContinueScreen") == 0 ||
                      std::strcmp(step, "HandleSystemKeys") == 0;
  return update ? 1 : 0;
}

void OnStep(const char* step) {
  const uint64_t now = NowNs();
  Split& s = g_split;
  if (s.frames == 0 && std::strcmp(step, "RunStageScript") != 0) return;  // before the loop
  if (s.frames == 0) {
    s.loop_start = now;
  } else {
    (s.last_kind == 2 ? s.stage_ns : s.last_kind == 1 ? s.update_ns : s.other_ns) += now - s.last;
  }
  if (std::strcmp(step, "RunStageScript") == 0) ++s.frames;
  // The last frame ends the game: the scene loop moves on after it.
  if (std::strcmp(step, "HandleSystemKeys") == 0 && s.frames >= kFrames + 1) {
    g_flags.CurrentScene = kSceneTitle;
  }
  s.last = now;
  s.last_kind = KindOf(step);
}

fs::path RunDir() {
  if (const char* d = std::getenv("KESTO_BENCH_RUN_DIR"); d && *d) return d;
  const char* tmp = std::getenv("TMPDIR");
  return fs::path(tmp && *tmp ? tmp : "/tmp") / "kesto_bench_run";
}

// The assets, the demo replay and a window without frame pacing; an empty
// string when ready, else why not.
std::string PrepareRunDir(const fs::path& dir) {
  const fs::path replay =
      fs::path(KESTO_SOURCE_DIR_PATH) / "tests" / "data" / "demo_replays" / "replay100.dat";
  if (!fs::exists(replay)) return "no recorded replay at " + replay.string();
  std::fprintf(stderr, "replay benchmark: run directory %s\n", dir.c_str());
#ifdef KESTO_BENCH_ASSETGEN
  const GenerateReport report = GenerateRunDirectory(dir.string(), AllOutputs(), GeneratorStamp());
  if (report.failed > 0) {
    return "the asset generator failed for " + std::to_string(report.failed) + " files";
  }
#else
  if (!fs::is_directory(dir / "bmp")) {
    return "no assets in " + dir.string() +
           " and no asset generator in this build: run scripts/prepare_run_dir.sh there";
  }
#endif
  std::error_code ec;
  fs::create_directories(dir / "Replay", ec);
  fs::create_directories(dir / "file", ec);
  fs::copy_file(replay, dir / "Replay" / "replay100.dat", fs::copy_options::overwrite_existing, ec);
  if (ec) return "cannot copy the replay: " + ec.message();
  std::ofstream(dir / "screen.txt") << "1\n0\n";
  return "";
}

// The program's start (RunProgram up to its scene loop) in the run
// directory, once for the process; the library stays up until it exits.
std::string StartGame() {
  static std::string failure = [] {
    const fs::path dir = RunDir();
    if (std::string why = PrepareRunDir(dir); !why.empty()) return why;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("KESTO_PRESENTER", "null", 1);
    setenv("KESTO_INSTANCE_LOCK", (dir / "bench.lock").c_str(), 1);
    if (chdir(dir.c_str()) != 0) return std::string("cannot enter ") + dir.string();
    ReadScreenSettings();
    SetWindowCaption("HALCYRIS");
    if (StartLibrary() == -1) return std::string("the library did not start");
    ChooseScreenMode(640, 480, 16, -1);
    ChooseDrawTarget(KESTO_BACK_SCREEN);
    ChooseMusicEngine(1);
    LoadBootData();
    // Pacing off: presents do not wait for the blank.
    SetFlipVsyncFlag(0);
    std::atexit([] { StopLibrary(); });
    return std::string();
  }();
  return failure;
}

void BM_ReplayStageOneFrames(benchmark::State& state) {
  if (std::string why = StartGame(); !why.empty()) {
    state.SkipWithError(("replay benchmark skipped: " + why).c_str());
    return;
  }
  uint64_t update = 0, stage = 0, other = 0, present = 0, loop = 0;
  int64_t frames = 0;
  for (auto _ : state) {
    ResetGameObjects();
    ReplayListEntry entry{};
    if (ReadReplayHeader(&entry, kReplaySlot) != 0 ||
        StartReplayPlayback(entry, kReplaySlot) != 0) {
      state.SkipWithError("replay benchmark skipped: the replay does not play");
      return;
    }
    g_split = Split{};
    const uint64_t present_before = GetPresentState().present_work_ns;
    SetFrameStepHook(OnStep);
    RunCurrentScene();
    SetFrameStepHook(nullptr);
    // As the scene loop ends a pass.
    ChooseDrawTarget(KESTO_BACK_SCREEN);
    EraseTargetScreen();
    const Split& s = g_split;
    const int done = s.frames - 1;  // the last frame begun only ended the game
    if (done < kFrames) {
      state.SkipWithError("replay benchmark: the replay ended early");
      return;
    }
    state.SetIterationTime(static_cast<double>(s.last - s.loop_start) * 1e-9);
    update += s.update_ns;
    stage += s.stage_ns;
    other += s.other_ns;
    present += GetPresentState().present_work_ns - present_before;
    loop += s.last - s.loop_start;
    frames += done;
  }
  const double n = static_cast<double>(frames);
  state.counters["frames_per_s"] = n / (static_cast<double>(loop) * 1e-9);
  state.counters["update_us"] = static_cast<double>(update) / n / 1e3;
  state.counters["stage_us"] = static_cast<double>(stage) / n / 1e3;
  state.counters["draw_us"] = static_cast<double>(other - present) / n / 1e3;
  state.counters["present_us"] = static_cast<double>(present) / n / 1e3;
  state.SetItemsProcessed(frames);
}
BENCHMARK(BM_ReplayStageOneFrames)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
