#include <vector>

#include "graphics/graphic_table.h"
#include "graphics/surface_2d.h"
#include "graphics/surface_upload.h"
#include "graphics_fixture.h"

namespace {

using namespace platform::video;
using UploadTest = GraphicsTest;

// A 24-bit image whose pixel (x, y) is (x * 16, y * 16, 0x80).
struct Image24 {
  std::vector<uint8_t> pixels;
  ImageRecord record{};
  Image24(int w, int h, int grey = -1) {
    SetRgb24ColorFormat(&record.format.header);
    record.width = w;
    record.height = h;
    record.pitch = w * 3 + 1;  // rows need not be packed
    pixels.assign(static_cast<size_t>(record.pitch) * h, 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8_t* p = &pixels[static_cast<size_t>(y) * record.pitch + x * 3];
        p[0] = grey >= 0 ? static_cast<uint8_t>(grey + x) : 0x80;  // blue
        p[1] = static_cast<uint8_t>(y * 16);
        p[2] = static_cast<uint8_t>(x * 16);
      }
    record.pixels = pixels.data();
  }
};

SurfaceRecord* RecordOf(int graphic) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  return GetSurfaceRecord(GetSurface2D(g->parts[0])->surface_record);
}

TEST_F(UploadTest, ImagePixelsLandInTheScreenFormatFromTheOrigin) {
  Config().desktop_bits = 32;
  Start(true);
  Image24 image(8, 8);
  const int g = MakeGraphic(4, 4, 1, 0);
  ASSERT_EQ(UploadImagesToGraphic(0, 0, 0, "bmp/x.dat", 0, &image.record, nullptr, 2, 3, g, 0),
            0);
  Surface* s = RecordOf(g)->surface;
  EXPECT_EQ(s->ReadPixel(0, 0) & 0xFFFFFF, 0x203080u);  // image (2, 3)
  EXPECT_EQ(s->ReadPixel(3, 3) & 0xFFFFFF, 0x506080u);  // image (5, 6)
  EXPECT_STREQ(GetGraphicRecord(g)->name, "bmp/x.dat");
  EXPECT_EQ(GetGraphicRecord(g)->origin_x, 2);
  // A cut-out's surface is shared: uploading at its origin rewrites its part only.
  const int cut = CreateSubGraphic(1, 1, 2, 2, g);
  Image24 other(8, 8, 0);
  ASSERT_EQ(UploadImagesToGraphic(0, 0, 0, nullptr, 0, &other.record, nullptr, 0, 0, cut, 0), 0);
  EXPECT_EQ(s->ReadPixel(1, 1) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(s->ReadPixel(2, 2) & 0xFFFFFF, 0x101001u);
  EXPECT_EQ(s->ReadPixel(3, 3) & 0xFFFFFF, 0x506080u);
}

TEST_F(UploadTest, ImagesTooSmallForTheGraphicAreRefusedWithoutWriting) {
  Config().desktop_bits = 16;
  Start(true);
  Image24 image(4, 4);
  const int g = MakeGraphic(4, 4, 1, 0);
  FillGraphic(g, 255, 255, 255, 255);
  EXPECT_EQ(UploadImagesToGraphic(0, 0, 0, nullptr, 0, &image.record, nullptr, 1, 0, g, 0), -1);
  EXPECT_EQ(RecordOf(g)->surface->ReadPixel(0, 0), 0xFFFFu);
  EXPECT_EQ(UploadImagesToGraphic(0, 0, 0, nullptr, 0, nullptr, nullptr, 0, 0, g, 0), -1);
  EXPECT_EQ(UploadImagesToGraphic(0, 0, 0, nullptr, 0, &image.record, nullptr, 0, 0, g + 1, 0),
            -1);
}

TEST_F(UploadTest, AlphaChannelComesFromTheCompanionOrTheImage) {
  Start(true);
  Image24 image(4, 4);
  Image24 companion(4, 4, 100);  // blue byte 100 + x
  const int g = MakeGraphic(4, 4, 1, 1);
  ASSERT_NE(RecordOf(g)->alpha_buffer, nullptr);
  ASSERT_EQ(UploadImagesToGraphic(0, 0, 0, nullptr, 0, &image.record, &companion.record, 0, 0, g,
                                  0),
            0);
  const SurfaceRecord* r = RecordOf(g);
  EXPECT_EQ(r->alpha_buffer[0], 100);
  EXPECT_EQ(r->alpha_buffer[3 * r->alpha_pitch + 3], 103);
  // An image with its own alpha channel.
  std::vector<uint32_t> argb(16, 0x40FF0000u);
  ImageRecord own{};
  BuildColorFormatFromMasks(&own.format.header, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u);
  own.width = own.height = 4;
  own.pitch = 16;
  own.pixels = reinterpret_cast<uint8_t*>(argb.data());
  ASSERT_EQ(UploadImagesToGraphic(0, 0, 0, nullptr, 0, &own, nullptr, 0, 0, g, 0), 0);
  EXPECT_EQ(r->alpha_buffer[5], 0x40);
}

}  // namespace
