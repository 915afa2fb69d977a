// A headless screen with the back buffer as draw target, and small sprites
// whose pixels and alpha bytes a test sets one by one.
#pragma once

#include <string>
#include <vector>

#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/screen.h"
#include "graphics/software_draw_services.h"
#include "graphics/surface_2d.h"
#include "graphics/surface_record.h"
#include "kesto/graphics/graphics_fixture.h"
#include "kesto/kesto.h"

class RenderTest : public GraphicsTest {
 protected:
  // A window of w x h at the given depth, drawing into the back buffer over
  // its whole area, blend mode 0, no brightness.
  void StartScreen(int bits, int w = 64, int h = 48) {
    platform::video::Config().desktop_bits = bits;
    Start(true, w, h, bits);
    ASSERT_EQ(GetScreenColorBits(), bits);
    ASSERT_EQ(SetDrawTarget(KESTO_BACK_SCREEN), 0);
    ApplyDrawArea(0, 0, w, h);
    SelectBlendMode(0, 255);
    GetDrawState().brightness = -1;
    Back()->Blt(nullptr, nullptr, nullptr, platform::video::kBltColorFill, 0);
    ClearGfxLogLines();
  }
  platform::video::Surface* Back() { return GetBackSurface(); }

  // A graphic without texture; `system_memory` places its surface.
  int MakeSprite(int w, int h, bool alpha = false, bool system_memory = true) {
    GetDrawState().system_memory = system_memory ? 1 : 0;
    const int g = MakeGraphic(w, h, 0, alpha ? 1 : 0);
    GetDrawState().system_memory = 0;
    return g;
  }
  GraphicRecord* Graphic(int g) { return GetGraphicRecord(g); }
  int Part(int g) { return Graphic(g)->parts[0]; }
  SurfaceRecord* Record(int g) {
    return GetSurfaceRecord(GetSurface2D(Part(g))->surface_record);
  }
  platform::video::Surface* SurfaceOf(int g) { return Record(g)->surface; }
  void SetPixel(int g, int x, int y, uint32_t v) {
    const Surface2D* s = GetSurface2D(Part(g));
    SurfaceOf(g)->WritePixel(s->surface_x + x, s->surface_y + y, v);
  }
  void SetAlpha(int g, int x, int y, uint8_t a) {
    const Surface2D* s = GetSurface2D(Part(g));
    SurfaceRecord* r = Record(g);
    r->alpha_buffer[static_cast<size_t>(s->surface_y + y) * r->alpha_pitch + s->surface_x + x] = a;
  }
  // Fills a sprite with pixel (x, y) = fn(x, y).
  template <class Fn>
  void Paint(int g, Fn fn) {
    for (int y = 0; y < Graphic(g)->height; ++y)
      for (int x = 0; x < Graphic(g)->width; ++x) SetPixel(g, x, y, fn(x, y));
  }
  uint32_t At(int x, int y) { return Back()->ReadPixel(x, y); }
  // The whole back buffer, to see that nothing else changed.
  std::vector<uint32_t> Snapshot() {
    std::vector<uint32_t> out;
    for (int y = 0; y < Back()->height(); ++y)
      for (int x = 0; x < Back()->width(); ++x) out.push_back(At(x, y));
    return out;
  }
  std::vector<std::string> Lines() const { return GfxLogLines(); }

  // Holds the destination, the graphic's surface and the second work surface
  // locked in turn: each time `draw` must fail with the one lock line that
  // names that surface and `draw_name`, and leave nothing locked.
  template <class Draw>
  void ExpectLockFailuresLogged(int g, const char* draw_name, Draw draw) {
    const std::string where = std::string(" in ") + draw_name + " ";
    struct Case {
      platform::video::Surface* held;
      std::string line;
    } cases[] = {
        {Back(), "転送先サーフェスのロックに失敗しました" + where},
        {SurfaceOf(g), "転送元サーフェス１のロックに失敗しました" + where},
        {GetWorkSurface(1), "転送元サーフェス２のロックに失敗しました" + where},
    };
    uint8_t* p;
    int pitch;
    for (const Case& c : cases) {
      SCOPED_TRACE(c.line);
      ClearGfxLogLines();
      ASSERT_EQ(c.held->Lock(nullptr, 0, &p, &pitch), platform::video::kOk);
      EXPECT_EQ(draw(), -1);
      c.held->Unlock();
      ASSERT_EQ(Lines().size(), 1u);
      EXPECT_NE(Lines()[0].find(c.line), std::string::npos);
      for (platform::video::Surface* s : {Back(), GetWorkSurface(1), SurfaceOf(g)})
        EXPECT_FALSE(s->locked());
    }
  }
};
