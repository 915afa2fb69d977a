// The per-frame cost of the message queue: a burst of posted messages taken
// and dispatched, and the empty peek every pump pass makes.
#include <benchmark/benchmark.h>

#include "platform/window/message_queue.h"

namespace pw = platform::window;

namespace {

intptr_t Proc(pw::WindowHandle w, uint32_t id, uintptr_t wp, intptr_t lp) {
  return pw::DefaultWindowProc(w, id, wp, lp);
}

pw::WindowHandle FreshWindow() {
  pw::ResetWindowSystemForTesting();
  pw::RegisterWindowClass("Bench", Proc);
  return pw::CreateWindow("Bench", pw::WindowParams{});
}

void BM_PostPeekDispatch(benchmark::State& state) {
  pw::WindowHandle w = FreshWindow();
  const pw::PeekFilter only{pw::PeekFilter::kWindowOnly, w, 0, 0};
  for (auto _ : state) {
    for (int i = 0; i < state.range(0); ++i) pw::PostMessage(w, pw::kMsgUser, i, 0);
    pw::Message m;
    while (pw::PeekMessage(&m, only, true)) pw::DispatchMessage(m);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  pw::ResetWindowSystemForTesting();
}
BENCHMARK(BM_PostPeekDispatch)->Arg(6)->Arg(100);

void BM_EmptyPeek(benchmark::State& state) {
  pw::WindowHandle w = FreshWindow();
  const pw::PeekFilter only{pw::PeekFilter::kWindowOnly, w, 0, 0};
  pw::Message m;
  for (auto _ : state) benchmark::DoNotOptimize(pw::PeekMessage(&m, only, true));
  pw::ResetWindowSystemForTesting();
}
BENCHMARK(BM_EmptyPeek);

}  // namespace
