// The attract demo's replays: what each one plays (mode, fighter and the
// scripted pad of its run), where the kept copies live, and a fixture that
// boots the game as the program does, inside a fresh working directory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "play/player.h"
#include "result_scenes_fixture.h"
#include "shell/game_play.h"
#include "shell/program.h"

namespace demo_replays {

inline constexpr int kDemoCount = 3;
inline constexpr int kFirstDemoFile = 100;  // Replay/replay100.dat .. replay102.dat
// The demo timer ends a demo after 2500 frames of the fighter under control;
// a demo replay lasts longer, so the timer, not the replay, ends it.
inline constexpr int kDemoPlayFrames = 2500;
inline constexpr char kRerecordHint[] =
    "the demo replays no longer match the game: record them again with "
    "scripts/record_demo_replays.sh";

struct DemoRun {
  int mode;  // 0 HEAVEN, 1 ORIGINAL, 2 HELL
  int fighter;
  int variant;
  // Pad word of play frame n (1-based). Never 0, so the last non-zero word
  // of the record marks where the recorded game ended.
  uint32_t (*pad)(int n);
};

// A steady weave with the shot held, drifting up to meet the enemies.
inline uint32_t WeaveAndShoot(int n) {
  uint32_t word = result_scenes::kShot;
  int phase = n % 240;
  if (phase < 60 || phase >= 180) {
    word |= result_scenes::kLeft;
  } else {
    word |= result_scenes::kRight;
  }
  if (n % 400 < 40) word |= result_scenes::kUp;
  if (n % 400 >= 200 && n % 400 < 230) word |= result_scenes::kDown;
  return word;
}

// Full auto with wide sweeps, and a bomb now and then.
inline uint32_t SweepWithFullAuto(int n) {
  uint32_t word = 64;  // full auto
  int phase = n % 360;
  if (phase < 90) {
    word |= result_scenes::kRight;
  } else if (phase >= 180 && phase < 270) {
    word |= result_scenes::kLeft;
  }
  if (n % 300 < 25) word |= result_scenes::kUp;
  if (n % 1200 == 600) word |= result_scenes::kBomb;
  return word;
}

// Short darts in the lower half, shot held.
inline uint32_t DartLow(int n) {
  uint32_t word = result_scenes::kShot;
  int phase = n % 150;
  if (phase < 20) {
    word |= result_scenes::kLeft | result_scenes::kUp;
  } else if (phase >= 50 && phase < 70) {
    word |= result_scenes::kRight;
  } else if (phase >= 100 && phase < 120) {
    word |= result_scenes::kRight | result_scenes::kDown;
  }
  return word;
}

inline constexpr DemoRun kDemoRuns[kDemoCount] = {
    {1, 0, 0, WeaveAndShoot},
    {0, 1, 0, SweepWithFullAuto},
    {2, 2, 1, DartLow},
};

inline std::filesystem::path KeptDemoReplayDir() {
  return std::filesystem::path(KESTO_SOURCE_DIR_PATH) / "tests" / "data" / "demo_replays";
}
inline std::string DemoFileName(int demo) {
  return "replay" + std::to_string(kFirstDemoFile + demo) + ".dat";
}

class DemoReplayTest : public result_scenes::ResultScenesTest {
 protected:
  void SetUp() override {
    ResultScenesTest::SetUp();
    SetFrameStepHook(nullptr);
    // The program's boot, in this directory: saved files made afresh.
    LoadBootData();
    ResetGameObjects();
    fake().calls.clear();
  }
  void TearDown() override {
    SetFrameStepHook(nullptr);
    ResultScenesTest::TearDown();
  }
  // Copies the kept demo replays into this directory's Replay/.
  void InstallDemoReplays() {
    for (int d = 0; d < kDemoCount; ++d) {
      std::filesystem::copy_file(KeptDemoReplayDir() / DemoFileName(d),
                                 std::filesystem::path("Replay") / DemoFileName(d),
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }
};

// Words up to and including the last non-zero one: the frames the recorded
// game read the pad.
inline int RecordedFrames(const uint32_t* inputs) {
  int n = kReplayInputWords;
  while (n > 0 && inputs[n - 1] == 0) --n;
  return n;
}

}  // namespace demo_replays
