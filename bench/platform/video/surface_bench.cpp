// Per-frame costs of the in-memory display: the windowed present (a stretched
// copy), keyed copies and colour fills of a 640x480 screen.
#include <benchmark/benchmark.h>

#include "platform/video/direct_draw.h"

namespace {

using namespace platform::video;

struct Screen {
  DirectDraw* dd = nullptr;
  Surface* back = nullptr;
  Surface* big = nullptr;
  explicit Screen(const PixelFormat& f) {
    CreateDirectDraw(&dd);
    dd->Initialize();
    SurfaceDesc d;
    d.caps = kCapsOffscreenPlain | kCapsSystemMemory;
    d.has_format = true;
    d.format = f;
    d.width = 640;
    d.height = 480;
    dd->CreateSurface(d, &back);
    d.width = 1280;
    d.height = 960;
    dd->CreateSurface(d, &big);
  }
  ~Screen() {
    back->Release();
    big->Release();
    dd->Release();
  }
};

void BM_StretchedPresentCopy(benchmark::State& state) {
  Screen s(state.range(0) == 16 ? Format565() : FormatX8R8G8B8());
  const Rect dst{0, 0, 1280, 960};
  for (auto _ : state) s.big->Blt(&dst, s.back, nullptr, kBltWait, 0);
  state.SetItemsProcessed(state.iterations() * 1280 * 960);
}
BENCHMARK(BM_StretchedPresentCopy)->Arg(16)->Arg(32);

void BM_KeyedBltFast(benchmark::State& state) {
  Screen s(Format565());
  s.back->SetColorKey(0, 0);
  for (auto _ : state) s.big->BltFast(0, 0, s.back, nullptr, kBltFastSrcColorKey);
  state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_KeyedBltFast);

void BM_ColorFill(benchmark::State& state) {
  Screen s(Format565());
  for (auto _ : state) s.back->Blt(nullptr, nullptr, nullptr, kBltColorFill, 0);
  state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_ColorFill);

}  // namespace
