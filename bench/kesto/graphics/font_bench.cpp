// A 40-character line of text (Latin and kana) with the default font, its
// glyphs already cached and rendered afresh, next to 40 sprites of the same
// size drawn where the characters go: on the Direct3D device (argument 1)
// and in software (argument 0), into a 640x480 16-bit back buffer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "core/entry_bodies.h"
#include "graphics/color_format.h"
#include "graphics/device3d_services.h"
#include "graphics/font_cache.h"
#include "graphics/font_draw.h"
#include "graphics/font_handles.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "graphics/surface_upload.h"
#include "platform/clock.h"
#include "platform/video/display.h"
#include "platform/video/presenter.h"
#include "platform/video3d/direct3d.h"

namespace {

// Forty different characters: 30 letters and digits, 10 kana.
const char kLine[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"
    "\x82\xA0\x82\xA2\x82\xA4\x82\xA6\x82\xA8\x82\xA9\x82\xAB\x82\xAD\x82\xAF\x82\xB1";

struct Screen2 {
  platform::ManualClock clock{1000000000ull};
  int window = 0;
  int font = -1;
  int sprite = -1;
  std::vector<uint32_t> sprite_pixels;
  explicit Screen2(bool direct3d) {
    platform::video::ResetDisplayForTesting();
    platform::video3d::Reset3DForTesting();
    platform::video3d::Config3D().available = direct3d;
    ResetGraphicsHost();
    platform::SetClockForTesting(&clock);
    clock.on_sleep = [this](uint64_t ns) { clock.Advance(ns ? ns : 50000); };
    platform::video::SetPresenter(std::make_unique<platform::video::NullPresenter>());
    Host().window = &window;
    Host().windowed = false;
    Host().fatal = [](const char*) { std::abort(); };
    Screen().width = 640;
    Screen().height = 480;
    Screen().color_bits = 16;
    StartDirectDraw(Host().window);
    ChooseDrawTargetBody(-2);
    RefreshDefaultFont();
    font = GetDefaultFontHandle();
    // A sprite the size of one glyph cell, round and keyed like a glyph.
    const int cell = GetFontRecord(font)->cell_size;
    ImageRecord image{};
    BuildColorFormatFromMasks(&image.format.header, 32, 0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u);
    sprite_pixels.assign(static_cast<size_t>(cell) * cell, 0);
    for (int y = 0; y < cell; ++y)
      for (int x = 0; x < cell; ++x) {
        const int dx = 2 * x - cell + 1, dy = 2 * y - cell + 1;
        if (dx * dx + dy * dy < cell * cell) sprite_pixels[y * cell + x] = 0xFFFFFFFFu;
      }
    image.width = image.height = cell;
    image.pitch = cell * 4;
    image.pixels = reinterpret_cast<uint8_t*>(sprite_pixels.data());
    sprite = MakeGraphic(cell, cell, 1, 0);
    UploadImagesToGraphic(0, 0, 0, "bench", 0, &image, nullptr, 0, 0, sprite, 0);
  }
  ~Screen2() {
    StopDirectDraw();
    platform::video::SetPresenter(nullptr);
    platform::SetClockForTesting(nullptr);
  }
  void Text() { PrintStringWithFont(10, 200, kLine, PackRgbColorBody(255, 255, 255), font, 0, 0); }
  void Sprites() {
    const int cell = GetFontRecord(font)->cell_size;
    for (int i = 0; i < 40; ++i) BlitGraphicAtBody(10 + i * cell / 2, 200, sprite, 1);
  }
};

void Finish(benchmark::State& state) {
  EndSceneIfBegun();
  state.SetItemsProcessed(state.iterations() * 40);
}

void BM_TextLineCached(benchmark::State& state) {
  Screen2 s(state.range(0) != 0);
  s.Text();
  for (auto _ : state) s.Text();
  FlushCurrentVertexBatch();
  Finish(state);
}
BENCHMARK(BM_TextLineCached)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_TextLineUncached(benchmark::State& state) {
  Screen2 s(state.range(0) != 0);
  for (auto _ : state) {
    ResetFontCache(s.font);
    s.Text();
  }
  FlushCurrentVertexBatch();
  Finish(state);
}
BENCHMARK(BM_TextLineUncached)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FortySprites(benchmark::State& state) {
  Screen2 s(state.range(0) != 0);
  for (auto _ : state) s.Sprites();
  FlushCurrentVertexBatch();
  Finish(state);
}
BENCHMARK(BM_FortySprites)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
