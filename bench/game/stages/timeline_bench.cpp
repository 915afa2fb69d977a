// The stage script asks its timeline for events on every frame: the lookup
// must stay cheap on empty frames and on the busiest ones.
#include <benchmark/benchmark.h>

#include "play/stage.h"
#include "shell/game_flags.h"
#include "stages/timeline.h"
#include "stages/timelines.h"

namespace {

class NullSink final : public TimelineSink {
 public:
  void Spawn(double, double, int, int) override {}
  void SpawnWithArgs(double, double, int, int, uint32_t, uint32_t, uint32_t, uint32_t) override {}
  void StartStageTitle() override {}
  void StartBossWarning() override {}
  void SetScrollMode(int) override {}
  void SetMidBossDownFlag(int) override {}
};

// A whole stage 5, frame by frame, gate open.
void BM_Stage5WholeRun(benchmark::State& state) {
  NullSink sink;
  TimelineSink* previous = SetTimelineSinkForTesting(&sink);
  g_flags.GamePaused = 0;
  SetMidBossDownFlag(1);
  for (auto _ : state) {
    for (int f = 0; f <= 12000; ++f) benchmark::DoNotOptimize(RunStage5Timeline(f));
  }
  SetTimelineSinkForTesting(previous);
}
BENCHMARK(BM_Stage5WholeRun);

// Eighteen spawns on one frame.
void BM_Stage5BusiestFrame(benchmark::State& state) {
  NullSink sink;
  TimelineSink* previous = SetTimelineSinkForTesting(&sink);
  g_flags.GamePaused = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RunStage5Timeline(1270));
  SetTimelineSinkForTesting(previous);
}
BENCHMARK(BM_Stage5BusiestFrame);

}  // namespace
