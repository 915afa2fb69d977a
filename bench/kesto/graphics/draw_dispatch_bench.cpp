// A dense game frame through the public draw bodies on the Direct3D device:
// two 360x480 background layers, the 640x480 side-panel wall, 60 enemies of
// 80x80, 800 turned 16x16 bullets and 150 player shots of 32x32, alpha
// blending on, into a 640x480 16-bit back buffer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "core/entry_bodies.h"
#include "graphics/color_format.h"
#include "graphics/device3d.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "graphics/surface_upload.h"
#include "platform/clock.h"
#include "platform/video/display.h"
#include "platform/video/presenter.h"
#include "platform/video3d/direct3d.h"

namespace {

struct Sprite {
  std::vector<uint32_t> pixels;
  ImageRecord record{};
  int graphic = -1;
};

// Images with transparent corners (and a transparent play-field hole for the
// wall), loaded as the game loads its sheets.
std::unique_ptr<Sprite> MakeSprite(int w, int h, bool hole = false) {
  auto s = std::make_unique<Sprite>();
  BuildColorFormatFromMasks(&s->record.format.header, 32, 0xFF0000u, 0xFF00u, 0xFFu,
                            0xFF000000u);
  s->pixels.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int dx = 2 * x - w + 1, dy = 2 * y - h + 1;
      bool opaque = dx * dx + dy * dy < w * h;
      if (hole) opaque = x < 140 || x >= 500;
      s->pixels[static_cast<size_t>(y) * w + x] =
          opaque ? 0xFF000000u | static_cast<uint32_t>((x * 7) << 16 | (y * 5) << 8 | 0x40) : 0;
    }
  s->record.width = w;
  s->record.height = h;
  s->record.pitch = w * 4;
  s->record.pixels = reinterpret_cast<uint8_t*>(s->pixels.data());
  s->graphic = MakeGraphic(w, h, 1, 0);
  UploadImagesToGraphic(0, 0, 0, "bench", 0, &s->record, nullptr, 0, 0, s->graphic, 0);
  return s;
}

struct Game {
  platform::ManualClock clock{1000000000ull};
  int window = 0;
  std::unique_ptr<Sprite> bg1, bg2, wall, enemy, bullet, shot;
  Game() {
    platform::video::ResetDisplayForTesting();
    platform::video3d::Reset3DForTesting();
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
    bg1 = MakeSprite(360, 480);
    bg2 = MakeSprite(360, 480);
    wall = MakeSprite(640, 480, true);
    enemy = MakeSprite(80, 80);
    bullet = MakeSprite(16, 16);
    shot = MakeSprite(32, 32);
    ChooseBlendModeBody(1, 255);
  }
  ~Game() {
    StopDirectDraw();
    platform::video::SetPresenter(nullptr);
    platform::SetClockForTesting(nullptr);
  }
  void Bullets(int count, int frame) { Turned(count, frame, bullet->graphic); }
  void Turned(int count, int frame, int graphic) {
    for (int i = 0; i < count; ++i) {
      const int x = 140 + (i * 37 + frame) % 360, y = (i * 53 + frame * 3) % 480;
      BlitGraphicScaledRotatedBody(x, y, 1.0, 0.01 * i, graphic, 1, 0);
    }
  }
  void Frame(int frame) {
    BlitGraphicAtBody(140, 0, bg1->graphic, 1);
    BlitGraphicAtBody(140, 0, bg2->graphic, 1);
    for (int i = 0; i < 60; ++i) {
      BlitGraphicScaledRotatedBody(150 + (i * 41) % 340, 40 + (i * 67 + frame) % 400, 1.0, 0.0,
                                   enemy->graphic, 1, 0);
    }
    Bullets(800, frame);
    for (int i = 0; i < 150; ++i) {
      BlitGraphicScaledRotatedBody(160 + (i * 13) % 320, (i * 29 + frame * 8) % 480, 1.0, 0.0,
                                   shot->graphic, 1, 0);
    }
    BlitGraphicAtBody(0, 0, wall->graphic, 1);
    EndSceneIfBegun();
  }
};

void BM_DenseGameFrame(benchmark::State& state) {
  Game game;
  int frame = 0;
  platform::video3d::ResetStats3D();
  for (auto _ : state) game.Frame(frame++);
  const double pixels = static_cast<double>(platform::video3d::Stats3D().pixels);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
  state.counters["Mpixel/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsRate);
  state.counters["pixels/frame"] = pixels / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DenseGameFrame)->Unit(benchmark::kMillisecond);

// The cost of one turned 16x16 sprite, queue and rasterising included.
void BM_TurnedBullet(benchmark::State& state) {
  Game game;
  int frame = 0;
  for (auto _ : state) {
    game.Bullets(800, frame++);
    EndSceneIfBegun();
  }
  state.SetItemsProcessed(state.iterations() * 800);
}
BENCHMARK(BM_TurnedBullet)->Unit(benchmark::kMicrosecond);

// Turned square sprites of several sizes, 800 a pass, as the bullets above:
// how a sprite's cost splits into what every sprite pays (queueing, set-up,
// rows) and what each of its pixels adds.
void BM_TurnedSpriteBySize(benchmark::State& state) {
  Game game;
  const int side = static_cast<int>(state.range(0));
  const std::unique_ptr<Sprite> sprite = MakeSprite(side, side);
  int frame = 0;
  for (auto _ : state) {
    game.Turned(800, frame++, sprite->graphic);
    EndSceneIfBegun();
  }
  state.SetItemsProcessed(state.iterations() * 800);
}
BENCHMARK(BM_TurnedSpriteBySize)->Arg(2)->Arg(8)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

}  // namespace
