// Fonts on a headless 640x480 full screen drawing into the back buffer,
// through the Direct3D stand-in or the software renderer.
#pragma once

#include <string>
#include <vector>

#include "core/entry_bodies.h"
#include "graphics/color_format.h"
#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/font_cache.h"
#include "graphics/font_draw.h"
#include "graphics/font_handles.h"
#include "graphics_fixture.h"

class FontTest : public GraphicsTest {
 protected:
  void StartScreen(bool direct3d, int bits = 16) {
    if (direct3d) {
      StartWith3D(false, 640, 480, bits);
    } else {
      Start(false, 640, 480, bits);
    }
    ASSERT_EQ(ChooseDrawTargetBody(-2), 0);
    Erase();
  }
  static void Erase() { EraseTargetScreenBody(); }
  static int Color(int r, int g, int b) { return PackRgbColorBody(r, g, b); }
  // The back buffer's pixel as 8-bit red, green and blue.
  static uint32_t Rgb(int x, int y) {
    FlushCurrentVertexBatch();
    int r = 0, g = 0, b = 0;
    GetColorComponents(static_cast<int>(GetBackSurface()->ReadPixel(x, y)), &r, &g, &b);
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
  }
  // Every pixel of the back buffer, 8-bit RGB, rows top down.
  static std::vector<uint32_t> Frame() {
    FlushCurrentVertexBatch();
    std::vector<uint32_t> out(640 * 480);
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) out[static_cast<size_t>(y) * 640 + x] = Rgb(x, y);
    return out;
  }
  // The smallest rectangle holding every non-black pixel; empty for none.
  static platform::video::Rect Drawn(const std::vector<uint32_t>& frame) {
    platform::video::Rect r{640, 480, 0, 0};
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x)
        if (frame[static_cast<size_t>(y) * 640 + x]) {
          r.left = std::min(r.left, x);
          r.top = std::min(r.top, y);
          r.right = std::max(r.right, x + 1);
          r.bottom = std::max(r.bottom, y + 1);
        }
    if (r.left >= r.right) return platform::video::Rect{};
    return r;
  }
  static int Count(const std::vector<uint32_t>& frame, uint32_t rgb) {
    int n = 0;
    for (uint32_t v : frame) n += v == rgb;
    return n;
  }
  static int Measure(int font, const char* text, int vertical = 0, int* size = nullptr) {
    return FontCacheStringDraw(0, 0, 0, text, 0, nullptr, nullptr, 0, platform::video::Rect{},
                               GetScreenColorBits(), 1, font, 0, -1, vertical, size);
  }
};
