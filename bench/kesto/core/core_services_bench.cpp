// Costs of the core services every loader and every log line pays.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/app_log.h"
#include "core/data_stream.h"
#include "core/tracked_memory.h"

namespace {

void BM_TrackedAllocFree(benchmark::State& state) {
  const auto size = static_cast<uint32_t>(state.range(0));
  for (auto _ : state) {
    auto* p = static_cast<char*>(AllocTracked(size, "KsGraphics", __LINE__));
    p[0] = 1;
    benchmark::ClobberMemory();
    FreeTracked(p);
  }
}
BENCHMARK(BM_TrackedAllocFree)->Arg(16)->Arg(4096)->Arg(1 << 20);

// Freeing from the middle of a long list costs the same as from the head.
void BM_TrackedFreeAmongMany(benchmark::State& state) {
  std::vector<void*> live;
  for (int i = 0; i < state.range(0); ++i) live.push_back(AllocTracked(64, "KsDraw", __LINE__));
  for (auto _ : state) {
    void* p = AllocTracked(64, "KsDraw", __LINE__);
    FreeTracked(p);
  }
  for (void* p : live) FreeTracked(p);
}
BENCHMARK(BM_TrackedFreeAmongMany)->Arg(10)->Arg(10000);

void BM_MemoryStreamRead(benchmark::State& state) {
  std::vector<uint8_t> data(1 << 20, 7);
  std::vector<uint8_t> dest(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    void* s = OpenMemoryStream(data.data(), static_cast<uint32_t>(data.size()));
    while (MemoryStreamRead(dest.data(), 1, dest.size(), s) != 0) {
    }
    CloseMemoryStream(s);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_MemoryStreamRead)->Arg(4096);

// One message: open, append and close of AppLog.txt.
void BM_WriteLogLine(benchmark::State& state) {
  char dir[] = "/tmp/kesto-bench-XXXXXX";
  if (!mkdtemp(dir)) {
    state.SkipWithError("no temporary directory");
    return;
  }
  SetLogFolderPath(dir);
  InitAppLog();
  for (auto _ : state) WriteLog("グラフィックの読み込みに失敗しました\n");
  SetLogFolderPath("");
  unlink((std::string(dir) + "/AppLog.txt").c_str());
  rmdir(dir);
}
BENCHMARK(BM_WriteLogLine);

}  // namespace
