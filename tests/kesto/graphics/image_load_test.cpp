#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/entry_bodies.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_manager.h"
#include "graphics/image_load.h"
#include "graphics/image_record.h"
#include "graphics/surface_2d.h"
#include "graphics_fixture.h"
#include "image_fixtures.h"
#include "support/scoped_temp_dir.h"

namespace {

using fixtures::Bytes;

class ImageLoadTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    std::filesystem::create_directory("bmp");
    platform::video::Config().desktop_bits = 32;
    Start(true);
    ClearGfxLogLines();
  }
  ScopedTempDir dir_{true};
};

// A PNG of w x h whose pixel (x, y) is red x*40, green y*40, blue 0x80.
Bytes PatternPng(int w, int h) {
  Bytes s;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      s.push_back(static_cast<uint8_t>(x * 40));
      s.push_back(static_cast<uint8_t>(y * 40));
      s.push_back(0x80);
    }
  return fixtures::Png(w, h, PNG_COLOR_TYPE_RGB, 8, s);
}
uint32_t Pattern(int x, int y) { return (uint32_t(x * 40) << 16) | (uint32_t(y * 40) << 8) | 0x80; }

// A grey PNG companion whose pixel (x, y) is 10 + x + 16 y.
Bytes CompanionPng(int w, int h) {
  Bytes s;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.push_back(static_cast<uint8_t>(10 + x + 16 * y));
  return fixtures::Png(w, h, PNG_COLOR_TYPE_GRAY, 8, s);
}

SurfaceRecord* RecordOf(int graphic) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  return GetSurfaceRecord(GetSurface2D(g->parts[0])->surface_record);
}
uint32_t PixelOf(int graphic, int x, int y) {
  const Surface2D* part = GetSurface2D(GetGraphicRecord(graphic)->parts[0]);
  return RecordOf(graphic)->surface->ReadPixel(part->surface_x + x, part->surface_y + y) &
         0xFFFFFF;
}
uint8_t AlphaOf(int graphic, int x, int y) {
  const Surface2D* part = GetSurface2D(GetGraphicRecord(graphic)->parts[0]);
  const SurfaceRecord* r = RecordOf(graphic);
  return r->alpha_buffer[(part->surface_y + y) * r->alpha_pitch + part->surface_x + x];
}

TEST_F(ImageLoadTest, FileContentDecidesTheFormatAndTheGraphicKeepsItsName) {
  fixtures::WriteFile("bmp/pic.dat", PatternPng(4, 3));
  const int g = LoadImageFileToGraphicBody("bmp/pic.dat");
  ASSERT_NE(g, -1);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelOf(g, x, y), Pattern(x, y)) << x << "," << y;
  const GraphicRecord* r = GetGraphicRecord(g);
  EXPECT_STREQ(r->name, "bmp/pic.dat");
  EXPECT_EQ(std::filesystem::path(r->path), std::filesystem::current_path());
  EXPECT_EQ(r->alpha_channel, 0);
}

TEST_F(ImageLoadTest, AlphaCompanionGivesTheAlphaChannelAndMirrorsWithTheImage) {
  fixtures::WriteFile("bmp/title_logo.dat", PatternPng(4, 2));
  fixtures::WriteFile("bmp/title_logo_a.dat", CompanionPng(4, 2));
  const int g = LoadImageFileToGraphicBody("bmp/title_logo.dat");
  ASSERT_NE(g, -1);
  EXPECT_EQ(GetGraphicRecord(g)->alpha_channel, 1);
  EXPECT_EQ(AlphaOf(g, 0, 0), 10);
  EXPECT_EQ(AlphaOf(g, 3, 1), 29);

  const int mirrored = LoadImageFileToGraphicBody("bmp/title_logo.dat", 1, 1, 0);
  ASSERT_NE(mirrored, -1);
  EXPECT_EQ(PixelOf(mirrored, 0, 1), Pattern(3, 1));
  EXPECT_EQ(PixelOf(mirrored, 3, 0), Pattern(0, 0));
  EXPECT_EQ(AlphaOf(mirrored, 0, 1), 29);
  EXPECT_EQ(AlphaOf(mirrored, 3, 0), 10);

  // A companion of another size: no graphic.
  fixtures::WriteFile("bmp/title_logo_a.dat", CompanionPng(4, 3));
  EXPECT_EQ(LoadImageFileToGraphicBody("bmp/title_logo.dat"), -1);
  // A damaged companion is ignored.
  fixtures::WriteFile("bmp/title_logo_a.dat", Bytes{'x'});
  const int plain = LoadImageFileToGraphicBody("bmp/title_logo.dat");
  ASSERT_NE(plain, -1);
  EXPECT_EQ(GetGraphicRecord(plain)->alpha_channel, 0);
}

TEST(AlphaCompanionName, GoesBeforeTheFileNamesLastDot) {
  const std::pair<const char*, const char*> cases[] = {
      {"bmp/title_logo.dat", "bmp/title_logo_a.dat"},
      {"bmp/logo", "bmp/logo_a"},
      {"./bmp/logo", "./bmp/logo_a"},  // a dot in a directory is no extension
      {"a.b/c.d.e", "a.b/c.d_a.e"},
      {"logo", "logo_a"},
  };
  for (const auto& [path, want] : cases) EXPECT_EQ(AlphaCompanionName(path), want) << path;
}

TEST_F(ImageLoadTest, MissingAndUnreadableFilesAreLoggedAndRefused) {
  EXPECT_EQ(LoadImageFileToGraphicBody("bmp/none.dat"), -1);
  EXPECT_TRUE(Logged("グラフィックファイル bmp/none.dat がありません"));
  fixtures::WriteFile("bmp/junk.dat", Bytes{'j', 'u', 'n', 'k', 0, 1, 2});
  EXPECT_EQ(LoadImageFileToGraphicBody("bmp/junk.dat"), -1);
  EXPECT_TRUE(Logged("右記のグラフィックファイルのロードに失敗しました：bmp/junk.dat"));
  EXPECT_EQ(LoadImageFileToGraphicBody(nullptr), -1);
}

TEST_F(ImageLoadTest, LostSurfacesAreRefilledFromTheirFilesDecodingEachFileOnce) {
  fixtures::WriteFile("bmp/sheet.dat", PatternPng(4, 3));
  fixtures::WriteFile("bmp/other.dat", PatternPng(2, 2));
  const int sheet = LoadImageFileToGraphicBody("bmp/sheet.dat");
  const int cut = CreateSubGraphic(1, 1, 2, 2, sheet);
  const int other = LoadImageFileToGraphicBody("bmp/other.dat");
  ASSERT_NE(cut, -1);
  ASSERT_NE(other, -1);
  FillGraphic(sheet, 0, 0, 0, 0);
  FillGraphic(other, 0, 0, 0, 0);
  // The run starts somewhere else; the graphics' own directory is used.
  const std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::current_path("bmp");
  ClearGfxLogLines();
  FlagGraphicsForRestore();
  EXPECT_EQ(std::filesystem::current_path(), home / "bmp");
  EXPECT_EQ(PixelOf(sheet, 3, 2), Pattern(3, 2));
  EXPECT_EQ(PixelOf(cut, 0, 0), Pattern(1, 1));
  EXPECT_EQ(PixelOf(other, 1, 1), Pattern(1, 1));
  EXPECT_TRUE(Logged("グラフィックを復帰します"));
  int loads = 0;
  for (const std::string& line : GfxLogLines()) loads += line.find("をロードします") != std::string::npos;
  EXPECT_EQ(loads, 2);  // the sheet and its cut-out share one decode
  EXPECT_EQ(GetGraphicRecord(cut)->restore_flag, 0);

  // A file gone meanwhile: logged, and the graphic keeps its pixels.
  std::filesystem::current_path(home);
  std::filesystem::remove("bmp/other.dat");
  FillGraphic(other, 255, 255, 255, 255);
  ClearGfxLogLines();
  FlagGraphicsForRestore();
  EXPECT_TRUE(Logged("ファイル:bmp/other.dat がロードできませんでした"));
  EXPECT_EQ(PixelOf(other, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(PixelOf(sheet, 0, 0), Pattern(0, 0));
}

TEST_F(ImageLoadTest, RecordsMirrorAndTurnIntoBitmapRows) {
  const Bytes png = PatternPng(3, 2);
  ImageRecord mirrored{};
  ASSERT_EQ(LoadImageToRecord(nullptr, png.data(), png.size(), 1, 0, 1, &mirrored, nullptr,
                              nullptr),
            0);
  EXPECT_EQ(fixtures::ArgbAt(mirrored, 0, 1) & 0xFFFFFF, Pattern(2, 1));
  EXPECT_EQ(fixtures::ArgbAt(mirrored, 2, 0) & 0xFFFFFF, Pattern(0, 0));

  // Bitmap rows: 24-bit top-down, DWORD-aligned stride, a new buffer.
  platform::gdi::BitmapInfoHeader header;
  uint8_t* rows = nullptr;
  ASSERT_EQ(ImageToBitmapInfo(&mirrored, &header, &rows, 0), 1);
  EXPECT_EQ(header.width, 3);
  EXPECT_EQ(header.height, -2);
  EXPECT_EQ(header.bit_count, 24);
  EXPECT_EQ(rows[12 + 2], static_cast<uint8_t>(Pattern(2, 1) >> 16));

  // A standard 24-bit image whose pitch is the stride is handed out as it is.
  ImageRecord rgb{};
  SetRgb24ColorFormat(&rgb.format.header);
  rgb.width = 3, rgb.height = 2, rgb.pitch = 12;
  std::vector<uint8_t> own(24, 7);
  rgb.pixels = own.data();
  uint8_t* same = nullptr;
  EXPECT_EQ(ImageToBitmapInfo(&rgb, &header, &same, 0), 0);
  EXPECT_EQ(same, own.data());
  uint8_t* copy = nullptr;
  EXPECT_EQ(ImageToBitmapInfo(&rgb, &header, &copy, 1), 1);
  EXPECT_NE(copy, own.data());
  FreeImagePixels(copy);

  // The section for a 16-bit screen format, mirrored.
  ColorFormatHeader f565;
  BuildColorFormatFromMasks(&f565, 16, 0xF800, 0x07E0, 0x1F, 0);
  auto section = ImageToDibSection(header, rows, 1, &f565);
  ASSERT_TRUE(section);
  EXPECT_EQ(section->bit_count(), 16);
  EXPECT_EQ(section->GetPixel(0, 0) & 0xF8F8F8, Pattern(0, 0) & 0xF8F8F8);  // mirrored back
  FreeImagePixels(rows);
  ReleaseImageRecord(&mirrored);

  // With the bitmap-info flag the record is not handed out.
  uint8_t* flag_rows = nullptr;
  ImageRecord untouched{};
  ASSERT_EQ(LoadImageToRecord(nullptr, png.data(), png.size(), 1, 1, 0, &untouched, &header,
                              &flag_rows),
            0);
  EXPECT_EQ(untouched.pixels, nullptr);
  EXPECT_EQ(flag_rows[3 + 2], static_cast<uint8_t>(Pattern(1, 0) >> 16));
  FreeImagePixels(flag_rows);
}

}  // namespace
