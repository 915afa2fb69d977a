// Graphics with the Direct3D device up, as the game runs them: a 640x480
// 16-bit full screen drawing into the back buffer, and sprites loaded from
// in-memory 32-bit images.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "core/entry_bodies.h"
#include "graphics/color_format.h"
#include "graphics/device3d.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/surface_upload.h"
#include "graphics/texture_part.h"
#include "graphics_fixture.h"

class Direct3DGraphicsTest : public GraphicsTest {
 protected:
  // An ARGB image whose pixels come from `pixel(x, y)`.
  struct Image {
    std::vector<uint32_t> pixels;
    ImageRecord record{};
  };
  static std::unique_ptr<Image> MakeImage(int w, int h,
                                          const std::function<uint32_t(int, int)>& pixel) {
    auto image = std::make_unique<Image>();
    BuildColorFormatFromMasks(&image->record.format.header, 32, 0xFF0000u, 0xFF00u, 0xFFu,
                              0xFF000000u);
    image->pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) image->pixels[static_cast<size_t>(y) * w + x] = pixel(x, y);
    image->record.width = w;
    image->record.height = h;
    image->record.pitch = w * 4;
    image->record.pixels = reinterpret_cast<uint8_t*>(image->pixels.data());
    return image;
  }
  // A texture graphic holding the image.
  int Load(const Image& image) {
    const int g = MakeGraphic(image.record.width, image.record.height, 1, 0);
    EXPECT_EQ(UploadImagesToGraphic(0, 0, 0, "sprite", 0, &image.record, nullptr, 0, 0, g, 0), 0);
    return g;
  }
  void StartGame(int bits = 16) {
    StartWith3D(false, 640, 480, bits);
    ASSERT_GE(GetCurrentDevice3D(), 0);
    ASSERT_EQ(ChooseDrawTargetBody(-2), 0);
    ASSERT_EQ(EraseTargetScreenBody(), 0);
  }
  // The back buffer's pixel as 8-bit red, green and blue.
  static uint32_t BackRgb(int x, int y) {
    int r = 0, g = 0, b = 0;
    FlushCurrentVertexBatch();
    GetColorComponents(static_cast<int>(GetBackSurface()->ReadPixel(x, y)), &r, &g, &b);
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
  }
  static uint32_t Screen(int r, int g, int b) {
    uint32_t out = 0;
    int rr = 0, gg = 0, bb = 0;
    GetColorComponents(PackRgbColorBody(r, g, b), &rr, &gg, &bb);
    out = static_cast<uint32_t>(rr << 16 | gg << 8 | bb);
    return out;
  }
};
