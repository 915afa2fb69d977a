// A replay is 200,051 lines of text: saving one, opening the replay list
// (99 header reads) and loading one for playback should each stay well
// below a noticeable pause.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "screens/replay.h"

namespace {

// Runs the benchmark inside a fresh folder, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "replay-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    path_ = pattern;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    if (!previous_.empty()) std::filesystem::current_path(previous_, ec);
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }

 private:
  std::filesystem::path path_, previous_;
};

void FillBuffer() {
  ClearReplayBuffer();
  int32_t* w = g_replay_buffer.header.words;
  w[kReplayWordMode] = 1;
  w[kReplayWordStage] = 3;
  w[kReplayWordShotMask] = 16;
  w[kReplayWordBombMask] = 32;
  w[kReplayWordFullAutoMask] = 64;
  for (int i = 0; i < kReplayInputWords; ++i) g_replay_buffer.inputs[i] = static_cast<uint32_t>((i * 37) & 0x3FFF);
  SetReplayName("ABC");
}

void BM_WriteReplayFile(benchmark::State& state) {
  TempFolder folder;
  FillBuffer();
  for (auto _ : state) benchmark::DoNotOptimize(WriteReplayFile(g_replay_buffer, 0));
}
BENCHMARK(BM_WriteReplayFile)->Unit(benchmark::kMillisecond);

void BM_ReadReplayFile(benchmark::State& state) {
  TempFolder folder;
  FillBuffer();
  WriteReplayFile(g_replay_buffer, 0);
  std::vector<uint32_t> inputs(kReplayInputWords);
  for (auto _ : state) benchmark::DoNotOptimize(ReadReplayFile(inputs.data(), 0));
}
BENCHMARK(BM_ReadReplayFile)->Unit(benchmark::kMillisecond);

void BM_ReadReplayList(benchmark::State& state) {
  TempFolder folder;
  FillBuffer();
  for (int slot = 0; slot < kReplaySlots; slot += 2) WriteReplayFile(g_replay_buffer, slot);
  ReplayListEntry entry;
  for (auto _ : state) {
    for (int slot = 0; slot < kReplaySlots; ++slot) benchmark::DoNotOptimize(ReadReplayHeader(&entry, slot));
  }
}
BENCHMARK(BM_ReadReplayList)->Unit(benchmark::kMillisecond);

}  // namespace
