// Per-frame costs of the in-memory display: the windowed present, keyed
// copies and colour fills of a 640x480 screen.
#include <benchmark/benchmark.h>

#include "platform/video/direct_draw.h"
#include "platform/video/presenter.h"

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

// A present at window scale 2 is this copy of the back buffer into the
// window's part of the primary (the nearest-neighbour doubling) followed by
// the presenter's hand-off of that area (BM_NullPresenterCapture for the
// headless presenter).
void BM_StretchedPresentCopy(benchmark::State& state) {
  Screen s(state.range(0) == 16 ? Format565() : FormatX8R8G8B8());
  const Rect dst{0, 0, 1280, 960};
  for (auto _ : state) s.big->Blt(&dst, s.back, nullptr, kBltWait, 0);
  state.SetItemsProcessed(state.iterations() * 1280 * 960);
}
BENCHMARK(BM_StretchedPresentCopy)->Arg(16)->Arg(32);

// What the null presenter does with every shown frame: the visible area
// (640x480, or 1280x960 at window scale 2) turned into RGB.
void BM_NullPresenterCapture(benchmark::State& state) {
  Screen s(Format565());
  const Rect visible{0, 0, static_cast<int>(state.range(0)),
                     static_cast<int>(state.range(0)) * 3 / 4};
  NullPresenter presenter;
  for (auto _ : state) presenter.Show(*s.big, visible);
  state.SetItemsProcessed(state.iterations() * visible.Width() * visible.Height());
}
BENCHMARK(BM_NullPresenterCapture)->Arg(640)->Arg(1280);

// A frame turned into RGB, as the capture hook and a test's look at the
// null presenter's frame do.
void BM_CaptureRect(benchmark::State& state) {
  Screen s(state.range(0) == 16 ? Format565() : FormatX8R8G8B8());
  const Rect visible{0, 0, 640, 480};
  CapturedFrame frame;
  for (auto _ : state) CaptureRectInto(*s.back, visible, &frame);
  state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_CaptureRect)->Arg(16)->Arg(32);

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
