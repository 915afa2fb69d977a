// The software renderer against pixman and SDL2's blitter on the same work:
// the same 640x480 RGB565 target memory, the same sprite memory, equal pixel
// counts. Items are destination pixels, so the rates compare directly.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "graphics/software_draw_services.h"
#include "graphics/surface_2d.h"
#include "graphics/surface_record.h"
#include "platform/video/display.h"
#include "platform/video/presenter.h"

#if defined(KESTO_BENCH_PIXMAN)
#include <pixman.h>
#endif

namespace {

using namespace platform::video;

// A 640x480 screen at 16 bits, drawing into a system-memory graphic of the
// screen's size (so blends read it directly, as they do a system-memory
// back buffer).
class Stage {
 public:
  static Stage& Get() {
    static Stage stage;
    return stage;
  }
  int target = -1;
  Surface* target_surface = nullptr;

  // A sprite of w x h with a fixed pseudo-random sheet (30% key-coloured
  // texels) and an alpha plane.
  int Sprite(int w, int h) {
    GetDrawState().system_memory = 1;
    const int g = MakeGraphic(w, h, 0, 1);
    GetDrawState().system_memory = 0;
    SurfaceRecord* r = Record(g);
    uint32_t seed = 12345;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        seed = seed * 1103515245u + 12345u;
        const uint32_t v = (seed >> 16) % 10 < 3 ? 0u : (seed >> 8) & 0xFFFF;
        r->surface->WritePixel(x, y, v);
        r->alpha_buffer[static_cast<size_t>(y) * r->alpha_pitch + x] =
            static_cast<uint8_t>(seed >> 24);
      }
    return g;
  }
  static SurfaceRecord* Record(int g) {
    return GetSurfaceRecord(GetSurface2D(GetGraphicRecord(g)->parts[0])->surface_record);
  }
  void Settings(int mode, int param) {
    SelectBlendMode(mode, param);
    GetDrawState().brightness = -1;
  }

 private:
  Stage() {
    ResetDisplayForTesting();
    ResetGraphicsHost();
    SetPresenter(std::make_unique<NullPresenter>());
    static int window_tag = 0;
    Host().window = &window_tag;
    Host().windowed = true;
    Config().desktop_bits = 16;
    Screen().width = 640;
    Screen().height = 480;
    Screen().color_bits = 16;
    StartDirectDraw(Host().window);
    GetDrawState().system_memory = 1;
    target = MakeGraphic(640, 480, 0, 0);
    GetDrawState().system_memory = 0;
    SetDrawTarget(target);
    ApplyDrawArea(0, 0, 640, 480);
    target_surface = Record(target)->surface;
  }
};

// Sprites are drawn at positions that walk over the screen.
struct Walk {
  int i = 0;
  int x(int w) { return (i * 37) % (640 - w); }
  int y(int h) { return (i * 23) % (480 - h); }
  void Next() { ++i; }
};

// ---- Kesto ----

void BM_Kesto_ConstAlpha64(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(64, 64);
  Stage::Record(g)->settings.alpha_channel = 0;  // constant alpha only
  s.Settings(1, 128);
  DDState().cpu_probe_flag = state.range(0) != 0;
  Walk w;
  for (auto _ : state) {
    G_DDraw_DrawGraph(w.x(64), w.y(64), GetGraphicRecord(g)->parts[0], 0);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * 64 * 64);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Kesto_ConstAlpha64)->Arg(0)->Arg(1);

void BM_Kesto_PixelAlpha64(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(64, 64);
  s.Settings(0, 0);
  Walk w;
  for (auto _ : state) {
    G_DDraw_DrawGraph(w.x(64), w.y(64), GetGraphicRecord(g)->parts[0], 0);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * 64 * 64);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Kesto_PixelAlpha64);

void BM_Kesto_Additive64(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(64, 64);
  Stage::Record(g)->settings.alpha_channel = 0;
  s.Settings(2, 255);
  DDState().cpu_probe_flag = true;
  Walk w;
  for (auto _ : state) {
    G_DDraw_DrawGraph(w.x(64), w.y(64), GetGraphicRecord(g)->parts[0], 0);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * 64 * 64);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Kesto_Additive64);

// 32x32 at 30 degrees and scale 1.5: the inverse mapping walks its box.
constexpr double kAngle = M_PI / 6;
constexpr double kScale = 1.5;
constexpr int kRotBox = 72;  // about (32 * 1.5 * (cos + sin)) + 6

void BM_Kesto_Rotated32(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(32, 32);
  Stage::Record(g)->settings.alpha_channel = 0;
  s.Settings(0, 0);
  Walk w;
  for (auto _ : state) {
    G_DDraw_DrawRotaGraph(w.x(kRotBox) + kRotBox / 2, w.y(kRotBox) + kRotBox / 2, kScale, kAngle,
                          GetGraphicRecord(g), 1, 0);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * kRotBox * kRotBox);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Kesto_Rotated32);

void BM_Kesto_Stretch2x(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(160, 120);
  Stage::Record(g)->settings.alpha_channel = 0;
  s.Settings(0, 0);
  Walk w;
  for (auto _ : state) {
    const int x = w.x(320), y = w.y(240);
    G_DDraw_DrawExtendGraph(x, y, x + 320, y + 240, GetGraphicRecord(g), 0);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * 320 * 240);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Kesto_Stretch2x);

void BM_Kesto_OpaqueCopy360(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(360, 480);
  Stage::Record(g)->settings.alpha_channel = 0;
  s.Settings(0, 0);
  int i = 0;
  for (auto _ : state) G_DDraw_DrawGraph((i++ * 7) % 280, 0, GetGraphicRecord(g)->parts[0], 0);
  state.SetItemsProcessed(state.iterations() * 360 * 480);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Kesto_OpaqueCopy360);

void BM_Kesto_AlphaFillBox(benchmark::State& state) {
  Stage& s = Stage::Get();
  s.Settings(1, 128);
  const int colour = PackRgbColorBody(40, 80, 160);
  for (auto _ : state) G_DDraw_DrawFillBox(0, 0, 640, 480, colour);
  state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_Kesto_AlphaFillBox);

// A busy frame: two full-screen backgrounds, 300 keyed sprites, 1,500 turned
// bullets, 50 additive explosions, 200 glyph quads and one fade box.
void BM_Kesto_BusyFrame(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int bg = s.Sprite(640, 480), sprite = s.Sprite(32, 32), bullet = s.Sprite(16, 16);
  const int blast = s.Sprite(64, 64), glyph = s.Sprite(16, 16);
  for (int g : {bg, sprite, bullet, blast, glyph}) Stage::Record(g)->settings.alpha_channel = 0;
  DDState().cpu_probe_flag = true;
  const int fade = PackRgbColorBody(0, 0, 0);
  for (auto _ : state) {
    s.Settings(0, 0);
    G_DDraw_DrawGraph(0, 0, GetGraphicRecord(bg)->parts[0], 0);
    G_DDraw_DrawGraph(0, 0, GetGraphicRecord(bg)->parts[0], 1);
    for (int i = 0; i < 300; ++i) {
      G_DDraw_DrawGraph((i * 37) % 608, (i * 53) % 448, GetGraphicRecord(sprite)->parts[0], 1);
    }
    for (int i = 0; i < 1500; ++i) {
      G_DDraw_DrawRotaGraph((i * 41) % 640, (i * 29) % 480, 1.0, i * 0.01,
                            GetGraphicRecord(bullet), 1, 0);
    }
    s.Settings(2, 255);
    for (int i = 0; i < 50; ++i) {
      G_DDraw_DrawGraph((i * 97) % 576, (i * 61) % 416, GetGraphicRecord(blast)->parts[0], 1);
    }
    s.Settings(0, 0);
    for (int i = 0; i < 200; ++i) {
      const int x = (i % 40) * 16, y = 8 + (i / 40) * 16;
      G_DDraw_DrawModiGraph(x, y, x + 16, y, x, y + 16, x + 16, y + 16, GetGraphicRecord(glyph),
                            1);
    }
    s.Settings(1, 128);
    G_DDraw_DrawFillBox(0, 0, 640, 480, fade);
  }
  for (int g : {bg, sprite, bullet, blast, glyph}) DeleteGraphic(g, 0);
}
BENCHMARK(BM_Kesto_BusyFrame)->Unit(benchmark::kMillisecond);

// ---- SDL2's blitter on the same memory ----

struct SdlPair {
  SDL_Surface* dst = nullptr;
  SDL_Surface* src = nullptr;
  SdlPair(Surface* target, Surface* sprite, int w, int h) {
    dst = SDL_CreateRGBSurfaceWithFormatFrom(target->Row(0), 640, 480, 16, target->pitch(),
                                             SDL_PIXELFORMAT_RGB565);
    src = SDL_CreateRGBSurfaceWithFormatFrom(sprite->Row(0), w, h, 16, sprite->pitch(),
                                             SDL_PIXELFORMAT_RGB565);
  }
  ~SdlPair() {
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
  }
};

void BM_Sdl_ConstAlpha64(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(64, 64);
  SdlPair p(s.target_surface, Stage::Record(g)->surface, 64, 64);
  SDL_SetSurfaceBlendMode(p.src, SDL_BLENDMODE_BLEND);
  SDL_SetSurfaceAlphaMod(p.src, 128);
  Walk w;
  for (auto _ : state) {
    SDL_Rect r{w.x(64), w.y(64), 64, 64};
    SDL_BlitSurface(p.src, nullptr, p.dst, &r);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * 64 * 64);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Sdl_ConstAlpha64);

void BM_Sdl_Additive64(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(64, 64);
  SdlPair p(s.target_surface, Stage::Record(g)->surface, 64, 64);
  SDL_SetSurfaceBlendMode(p.src, SDL_BLENDMODE_ADD);
  Walk w;
  for (auto _ : state) {
    SDL_Rect r{w.x(64), w.y(64), 64, 64};
    SDL_BlitSurface(p.src, nullptr, p.dst, &r);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * 64 * 64);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Sdl_Additive64);

void BM_Sdl_Stretch2x(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(160, 120);
  SdlPair p(s.target_surface, Stage::Record(g)->surface, 160, 120);
  SDL_SetSurfaceBlendMode(p.src, SDL_BLENDMODE_NONE);
  Walk w;
  for (auto _ : state) {
    SDL_Rect r{w.x(320), w.y(240), 320, 240};
    SDL_BlitScaled(p.src, nullptr, p.dst, &r);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * 320 * 240);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Sdl_Stretch2x);

void BM_Sdl_OpaqueCopy360(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(360, 480);
  SdlPair p(s.target_surface, Stage::Record(g)->surface, 360, 480);
  SDL_SetSurfaceBlendMode(p.src, SDL_BLENDMODE_NONE);
  int i = 0;
  for (auto _ : state) {
    SDL_Rect r{(i++ * 7) % 280, 0, 360, 480};
    SDL_BlitSurface(p.src, nullptr, p.dst, &r);
  }
  state.SetItemsProcessed(state.iterations() * 360 * 480);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Sdl_OpaqueCopy360);

#if defined(KESTO_BENCH_PIXMAN)
// ---- pixman on the same memory ----

struct PixmanPair {
  pixman_image_t* dst = nullptr;
  pixman_image_t* src = nullptr;
  pixman_image_t* alpha = nullptr;
  PixmanPair(Surface* target, SurfaceRecord* sprite, int w, int h) {
    dst = pixman_image_create_bits(PIXMAN_r5g6b5, 640, 480,
                                   reinterpret_cast<uint32_t*>(target->Row(0)), target->pitch());
    src = pixman_image_create_bits(PIXMAN_r5g6b5, w, h,
                                   reinterpret_cast<uint32_t*>(sprite->surface->Row(0)),
                                   sprite->surface->pitch());
    if (sprite->alpha_buffer) {
      alpha = pixman_image_create_bits(PIXMAN_a8, w, h,
                                       reinterpret_cast<uint32_t*>(sprite->alpha_buffer),
                                       static_cast<int>(sprite->alpha_pitch));
    }
  }
  ~PixmanPair() {
    if (alpha) pixman_image_unref(alpha);
    pixman_image_unref(src);
    pixman_image_unref(dst);
  }
};

void BM_Pixman_ConstAlpha64(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(64, 64);
  PixmanPair p(s.target_surface, Stage::Record(g), 64, 64);
  const pixman_color_t half{0, 0, 0, 0x8080};
  pixman_image_t* mask = pixman_image_create_solid_fill(&half);
  Walk w;
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, p.src, mask, p.dst, 0, 0, 0, 0, w.x(64), w.y(64),
                             64, 64);
    w.Next();
  }
  pixman_image_unref(mask);
  state.SetItemsProcessed(state.iterations() * 64 * 64);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Pixman_ConstAlpha64);

void BM_Pixman_PixelAlpha64(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(64, 64);
  PixmanPair p(s.target_surface, Stage::Record(g), 64, 64);
  Walk w;
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, p.src, p.alpha, p.dst, 0, 0, 0, 0, w.x(64),
                             w.y(64), 64, 64);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * 64 * 64);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Pixman_PixelAlpha64);

void BM_Pixman_Additive64(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(64, 64);
  PixmanPair p(s.target_surface, Stage::Record(g), 64, 64);
  Walk w;
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_ADD, p.src, nullptr, p.dst, 0, 0, 0, 0, w.x(64), w.y(64),
                             64, 64);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * 64 * 64);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Pixman_Additive64);

void BM_Pixman_Rotated32(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(32, 32);
  PixmanPair p(s.target_surface, Stage::Record(g), 32, 32);
  pixman_image_set_filter(p.src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  // Destination box pixel -> source texel: about the box centre, unscaled, unturned.
  pixman_f_transform f;
  pixman_f_transform_init_translate(&f, -kRotBox / 2.0, -kRotBox / 2.0);
  pixman_f_transform_scale(&f, nullptr, 1 / kScale, 1 / kScale);
  pixman_f_transform_rotate(&f, nullptr, std::cos(-kAngle), std::sin(-kAngle));
  pixman_f_transform_translate(&f, nullptr, 16, 16);
  pixman_transform t;
  pixman_transform_from_pixman_f_transform(&t, &f);
  pixman_image_set_transform(p.src, &t);
  Walk w;
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, p.src, nullptr, p.dst, 0, 0, 0, 0, w.x(kRotBox),
                             w.y(kRotBox), kRotBox, kRotBox);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * kRotBox * kRotBox);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Pixman_Rotated32);

void BM_Pixman_Stretch2x(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(160, 120);
  PixmanPair p(s.target_surface, Stage::Record(g), 160, 120);
  pixman_image_set_filter(p.src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  pixman_transform t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
  pixman_image_set_transform(p.src, &t);
  Walk w;
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, p.src, nullptr, p.dst, 0, 0, 0, 0, w.x(320),
                             w.y(240), 320, 240);
    w.Next();
  }
  state.SetItemsProcessed(state.iterations() * 320 * 240);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Pixman_Stretch2x);

void BM_Pixman_OpaqueCopy360(benchmark::State& state) {
  Stage& s = Stage::Get();
  const int g = s.Sprite(360, 480);
  PixmanPair p(s.target_surface, Stage::Record(g), 360, 480);
  int i = 0;
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, p.src, nullptr, p.dst, 0, 0, 0, 0, (i++ * 7) % 280,
                             0, 360, 480);
  }
  state.SetItemsProcessed(state.iterations() * 360 * 480);
  DeleteGraphic(g, 0);
}
BENCHMARK(BM_Pixman_OpaqueCopy360);

void BM_Pixman_AlphaFillBox(benchmark::State& state) {
  Stage& s = Stage::Get();
  PixmanPair p(s.target_surface, Stage::Record(s.target), 640, 480);
  const pixman_color_t colour{0x2828, 0x5050, 0xA0A0, 0x8080};
  const pixman_rectangle16_t box{0, 0, 640, 480};
  for (auto _ : state) pixman_image_fill_rectangles(PIXMAN_OP_OVER, p.dst, &colour, 1, &box);
  state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_Pixman_AlphaFillBox);
#endif

}  // namespace
