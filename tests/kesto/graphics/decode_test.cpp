#include <gtest/gtest.h>

// Fixture field lists name only the fields a case changes; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/graphics_host.h"
#include "graphics/image_load.h"
#include "graphics/image_record.h"
#include "image_fixtures.h"

namespace {

using fixtures::Bytes;
using Picture = std::vector<std::vector<uint32_t>>;  // 0xAARRGGBB, rows top down

// The whole loader chain over memory, the record released afterwards.
struct Decoded {
  int result;
  ImageRecord image{};
  explicit Decoded(const Bytes& file) {
    result = LoadImageToRecord(nullptr, file.data(), file.size(), 1, 0, 0, &image, nullptr, nullptr);
  }
  ~Decoded() { ReleaseImageRecord(&image); }
  Picture Argb() const {
    Picture p(image.height, std::vector<uint32_t>(image.width));
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) p[y][x] = fixtures::ArgbAt(image, x, y);
    return p;
  }
};

std::string Show(const Picture& p) {
  std::string s;
  char buf[16];
  for (const auto& row : p) {
    for (uint32_t c : row) {
      std::snprintf(buf, sizeof buf, "%08X ", c);
      s += buf;
    }
    s += "/ ";
  }
  return s;
}

constexpr uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF,
                   K = 0xFF000000, Y = 0xFFFFFF00;
const Picture kRgb = {{R, G, B}, {W, K, Y}};
const std::vector<uint32_t> kPalette6 = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFFFF00};

Bytes Pack16(const Picture& p, bool top_down, uint16_t (*pack)(uint32_t), int bytes = 2) {
  Bytes out;
  const size_t h = p.size();
  for (size_t i = 0; i < h; ++i) {
    size_t n = 0;
    for (uint32_t c : p[top_down ? i : h - 1 - i]) {
      const uint32_t v = pack(c);
      for (int b = 0; b < bytes; ++b) out.push_back(static_cast<uint8_t>(v >> (8 * b)));
      n += bytes;
    }
    while (n % 4) out.push_back(0), ++n;
  }
  return out;
}

TEST(ImageDecoders, BitmapsOfEveryKindGiveTheirPixels) {
  struct Case {
    const char* name;
    Bytes file;
    Picture want;
    int bits;  // layout the loader hands out
  };
  std::vector<Case> cases;
  {
    fixtures::BmpFields s{.width = 3, .height = 2, .bits = 24};
    s.data = fixtures::Rows24({{0xFF0000, 0xFF00, 0xFF}, {0xFFFFFF, 0, 0xFFFF00}}, false);
    cases.push_back({"24-bit bottom-up", fixtures::Bmp(s), kRgb, 24});
    s.height = -2;
    s.data = fixtures::Rows24({{0xFF0000, 0xFF00, 0xFF}, {0xFFFFFF, 0, 0xFFFF00}}, true);
    cases.push_back({"24-bit top-down", fixtures::Bmp(s), kRgb, 24});
    s.header_size = 124;  // later header versions: the palette and data follow the longer header
    cases.push_back({"24-bit, 124-byte header", fixtures::Bmp(s), kRgb, 24});
  }
  {
    fixtures::BmpFields s{.width = 3, .height = 2, .bits = 8, .palette = kPalette6,
                        .colors_used = 6};
    s.data = {3, 4, 5, 0, 0, 1, 2, 0};  // bottom row first
    cases.push_back({"8-bit palette", fixtures::Bmp(s), kRgb, 8});
    s.bits = 4;
    s.colors_used = 0;
    s.palette.resize(16, 0);
    s.data = {0x34, 0x50, 0, 0, 0x01, 0x20, 0, 0};
    cases.push_back({"4-bit palette", fixtures::Bmp(s), kRgb, 8});
  }
  {
    fixtures::BmpFields s{.width = 3, .height = 2, .bits = 1, .palette = {0x000000, 0xFFFFFF}};
    s.data = {0x40, 0, 0, 0, 0xA0, 0, 0, 0};  // bottom: K W K; top: W K W
    cases.push_back({"1-bit", fixtures::Bmp(s), {{W, K, W}, {K, W, K}}, 24});
  }
  {
    fixtures::BmpFields s{.width = 3, .height = 2, .bits = 16};
    s.data = Pack16(kRgb, false, [](uint32_t c) -> uint16_t {
      return ((c >> 9) & 0x7C00) | ((c >> 6) & 0x03E0) | ((c >> 3) & 0x1F);
    });
    cases.push_back({"16-bit 5-5-5", fixtures::Bmp(s), kRgb, 24});
    s.compression = 3;
    s.masks = {0xF800, 0x07E0, 0x001F};
    s.data = Pack16(kRgb, false, [](uint32_t c) -> uint16_t {
      return ((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x1F);
    });
    cases.push_back({"16-bit bit fields 5-6-5", fixtures::Bmp(s), kRgb, 24});
  }
  {
    fixtures::BmpFields s{.width = 3, .height = 2, .bits = 32};
    for (const auto& row : {kRgb[1], kRgb[0]})
      for (uint32_t c : row) fixtures::Put32(&s.data, c & 0xFFFFFF);
    cases.push_back({"32-bit", fixtures::Bmp(s), kRgb, 24});
    // Blue in the high byte; the masks sit inside the 124-byte header.
    s.header_size = 124;
    s.compression = 3;
    s.masks = {0xFF, 0xFF00, 0xFF0000};
    s.data.clear();
    for (const auto& row : {kRgb[1], kRgb[0]})
      for (uint32_t c : row)
        fixtures::Put32(&s.data, ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
    cases.push_back({"32-bit bit fields, 124-byte header", fixtures::Bmp(s), kRgb, 24});
  }
  {
    fixtures::BmpFields s{.width = 3, .height = 2, .bits = 8, .compression = 1,
                        .palette = kPalette6, .colors_used = 6};
    // Bottom row: three one-pixel runs, end of line; top row: an absolute run
    // of three (padded to 16 bits), end of bitmap.
    s.data = {1, 3, 1, 4, 1, 5, 0, 0, 0, 3, 0, 1, 2, 0, 0, 1};
    cases.push_back({"8-bit run-length", fixtures::Bmp(s), kRgb, 24});
    s.bits = 4;
    s.compression = 2;
    // Bottom row: a run of three alternating 3 and 4; top row: absolute 0, 1, 2.
    s.data = {3, 0x34, 0, 0, 0, 3, 0x01, 0x20, 0, 1};
    cases.push_back({"4-bit run-length", fixtures::Bmp(s), {{R, G, B}, {W, K, W}}, 24});
  }
  for (const Case& c : cases) {
    Decoded d(c.file);
    ASSERT_EQ(d.result, 0) << c.name;
    EXPECT_EQ(d.image.format.header.color_bits, c.bits) << c.name;
    EXPECT_EQ(Show(d.Argb()), Show(c.want)) << c.name;
    // Rows are padded to four bytes, top row first.
    EXPECT_EQ(d.image.pitch % 4, 0) << c.name;
  }
  // A 4-bit bitmap keeps 16 palette entries and zeroes the other 240.
  Decoded four(cases[4].file);
  EXPECT_EQ(four.image.pitch, 4);
  for (int i = 16; i < 256; ++i) {
    const PaletteColor& p = four.image.format.palette[i];
    ASSERT_EQ(p.red | p.green | p.blue | p.reserved, 0) << i;
  }
}

Bytes Gradient(int w, int h, int components) {
  Bytes s;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < components; ++c) s.push_back(static_cast<uint8_t>(x * 8 + c * 40 + y * 4));
  return s;
}

TEST(ImageDecoders, JpegDecodesWithinToleranceAndRefusesCmyk) {
  const int w = 16, h = 8;
  const Bytes rgb = Gradient(w, h, 3);
  Decoded colour(fixtures::Jpeg(w, h, 3, rgb));
  ASSERT_EQ(colour.result, 0);
  EXPECT_EQ(colour.image.format.header.color_bits, 24);
  EXPECT_EQ(colour.image.pitch, w * 3);  // not rounded up
  int worst = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t c = fixtures::ArgbAt(colour.image, x, y);
      for (int k = 0; k < 3; ++k) {
        const int got = (c >> (16 - 8 * k)) & 255;
        worst = std::max(worst, std::abs(got - rgb[(y * w + x) * 3 + k]));
      }
    }
  EXPECT_LE(worst, 8);  // quality 95, no subsampling

  const Bytes grey = Gradient(w, h, 1);
  Decoded g(fixtures::Jpeg(w, h, 1, grey));
  ASSERT_EQ(g.result, 0);
  EXPECT_EQ(g.image.format.header.bytes_per_pixel, 1);
  EXPECT_EQ(g.image.pitch, w);
  EXPECT_NEAR(g.image.pixels[3 * w + 5], grey[3 * w + 5], 8);

  // Four components (CMYK) have no layout here.
  EXPECT_EQ(Decoded(fixtures::Jpeg(w, h, 4, Gradient(w, h, 4))).result, -1);

  // A truncated file ends as a partial picture, with the library's warning in the log.
  ClearGfxLogLines();
  Bytes cut = fixtures::Jpeg(64, 64, 3, Gradient(64, 64, 3));
  cut.resize(cut.size() * 2 / 3);
  Decoded partial(cut);
  EXPECT_EQ(partial.result, 0);
  EXPECT_EQ(partial.image.width, 64);
  const auto& lines = GfxLogLines();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [](const std::string& l) { return l.find("JPEG: ") != std::string::npos; }));
}

TEST(ImageDecoders, PngOfEveryColourTypeComesOutAsGreyColourOrColourWithAlpha) {
  struct Case {
    const char* name;
    Bytes file;
    int bits;
    std::vector<uint32_t> want;  // first row
  };
  png_color_16 grey_key{};
  grey_key.gray = 0x1234;
  const std::vector<Case> cases = {
      {"rgb", fixtures::Png(2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 200, 100, 50}), 24,
       {0xFF0A141E, 0xFFC86432}},
      {"rgba", fixtures::Png(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 0, 1, 2, 3, 0x80}),
       32, {0x000A141E, 0x80010203}},
      {"rgb 16-bit", fixtures::Png(1, 1, PNG_COLOR_TYPE_RGB, 16, {0xAB, 1, 0xCD, 2, 0xEF, 3}), 24,
       {0xFFABCDEF}},
      {"palette with transparency",
       fixtures::Png(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, PNG_INTERLACE_NONE,
                     {0x112233, 0x445566}, {0}),
       32, {0x00112233, 0xFF445566}},
      {"palette 2-bit", fixtures::Png(3, 1, PNG_COLOR_TYPE_PALETTE, 2, {0x24}, PNG_INTERLACE_NONE,
                                      {0x112233, 0x445566, 0x778899}),
       24, {0xFF112233, 0xFF778899, 0xFF445566}},
      {"grey: colour and alpha alike", fixtures::Png(2, 1, PNG_COLOR_TYPE_GRAY, 8, {0x40, 0xFF}),
       8, {0x40404040, 0xFFFFFFFF}},
      {"grey 1-bit", fixtures::Png(2, 1, PNG_COLOR_TYPE_GRAY, 1, {0x80}), 8,
       {0xFFFFFFFF, 0x00000000}},
      {"grey with alpha", fixtures::Png(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x40, 0x80, 0x10, 0xFF}),
       32, {0x80404040, 0xFF101010}},
      {"grey 16-bit with transparency",
       fixtures::Png(2, 1, PNG_COLOR_TYPE_GRAY, 16, {0x12, 0x34, 0x56, 0x78}, PNG_INTERLACE_NONE,
                     {}, {}, &grey_key),
       32, {0x00121212, 0xFF565656}},
  };
  for (const Case& c : cases) {
    Decoded d(c.file);
    ASSERT_EQ(d.result, 0) << c.name;
    EXPECT_EQ(d.image.format.header.color_bits, c.bits) << c.name;
    EXPECT_EQ(d.image.pitch, d.image.width * c.bits / 8) << c.name;
    EXPECT_EQ(Show({d.Argb()[0]}), Show({c.want})) << c.name;
  }
  // Interlaced pictures come out whole.
  Bytes samples;
  for (int i = 0; i < 9 * 9; ++i) {
    samples.push_back(static_cast<uint8_t>(i));
    samples.push_back(static_cast<uint8_t>(255 - i));
    samples.push_back(7);
  }
  Decoded interlaced(fixtures::Png(9, 9, PNG_COLOR_TYPE_RGB, 8, samples, PNG_INTERLACE_ADAM7));
  ASSERT_EQ(interlaced.result, 0);
  for (int i = 0; i < 81; ++i) {
    ASSERT_EQ(fixtures::ArgbAt(interlaced.image, i % 9, i / 9),
              0xFF000007u | (uint32_t(i) << 16) | (uint32_t(255 - i) << 8))
        << i;
  }
}

TEST(ImageDecoders, RawBgraTgaAndDdsGiveTheirPixels) {
  struct Case {
    const char* name;
    Bytes file;
    Picture want;
    int bits;
  };
  const Bytes bgra_px = {0x30, 0x20, 0x10, 0x80, 1, 2, 3, 4};
  const Bytes bgra16_px = {0, 0x30, 0, 0x20, 0xFF, 0x10, 0x7F, 0x80, 0, 1, 0, 2, 0, 3, 0, 4};
  // Two rows of three: red green blue / white black yellow as 24-bit pixels.
  auto px24 = [](std::initializer_list<uint32_t> colours) {
    Bytes b;
    for (uint32_t c : colours) {
      b.push_back(static_cast<uint8_t>(c));
      b.push_back(static_cast<uint8_t>(c >> 8));
      b.push_back(static_cast<uint8_t>(c >> 16));
    }
    return b;
  };
  const Bytes top = px24({0xFF0000, 0xFF00, 0xFF}), bottom = px24({0xFFFFFF, 0, 0xFFFF00});
  auto cat = [](Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  std::vector<Case> cases = {
      {"bgra 8-bit", fixtures::Bgra(0x08080808, 2, 1, bgra_px), {{0x80102030, 0x04030201}}, 32},
      {"bgra 16-bit keeps high bytes", fixtures::Bgra(0x10101010, 2, 1, bgra16_px),
       {{0x80102030, 0x04030201}}, 32},
  };
  {
    fixtures::TgaFields s{.type = 2, .width = 3, .height = 2, .depth = 24};
    s.data = cat(bottom, top);  // bottom up by default
    cases.push_back({"tga 24-bit bottom-up", fixtures::Tga(s), kRgb, 24});
    s.map_type = 1;  // a colour map before true-colour pixels is skipped
    s.map_length = 2;
    s.map_entry_bits = 24;
    s.map = Bytes(6, 0xEE);
    cases.push_back({"tga 24-bit after an unused colour map", fixtures::Tga(s), kRgb, 24});
  }
  {
    fixtures::TgaFields s{.type = 2, .width = 2, .height = 1, .depth = 32, .descriptor = 0x20};
    s.data = {0x30, 0x20, 0x10, 0x80, 1, 2, 3, 0};
    cases.push_back({"tga 32-bit keeps alpha", fixtures::Tga(s), {{0x80102030, 0x00030201}}, 32});
    s.extension_attributes = 0;  // the extension area says the fourth byte is no alpha
    cases.push_back({"tga 32-bit, no alpha by extension", fixtures::Tga(s),
                     {{0xFF102030, 0xFF030201}}, 32});
  }
  {
    // Right to left, top down; 5-5-5 with the top bit alpha by the extension area.
    fixtures::TgaFields s{.type = 2, .width = 2, .height = 1, .depth = 16, .descriptor = 0x30,
                        .extension_attributes = 3};
    s.data = {0x1F, 0x80, 0x00, 0x7C};  // stored: blue with alpha, then red without
    cases.push_back({"tga 16-bit right to left", fixtures::Tga(s), {{0x00FF0000, 0xFF0000FF}}, 16});
  }
  {
    // Run-length: four reds cross the row end, then a raw packet of green, blue.
    fixtures::TgaFields s{.type = 10, .width = 3, .height = 2, .depth = 24, .descriptor = 0x20};
    s.data = cat(cat({0x83}, px24({0xFF0000})), cat({0x01}, px24({0xFF00, 0xFF})));
    cases.push_back({"tga run-length across rows", fixtures::Tga(s), {{R, R, R}, {R, G, B}}, 24});
  }
  {
    fixtures::TgaFields s{.type = 1, .width = 3, .height = 2, .depth = 8, .descriptor = 0x20,
                        .map_type = 1, .map_first = 1, .map_length = 6, .map_entry_bits = 24};
    s.map = cat(top, bottom);
    s.data = {1, 2, 3, 4, 5, 6};
    cases.push_back({"tga colour-mapped", fixtures::Tga(s), kRgb, 24});
    s.type = 9;
    s.data = {0x02, 1, 2, 3, 0x82, 5};  // raw 1 2 3, then three times 5
    cases.push_back({"tga colour-mapped run-length", fixtures::Tga(s), {{R, G, B}, {K, K, K}}, 24});
  }
  {
    fixtures::DdsFields s{.width = 2, .height = 2, .pitch = 12};
    s.flags |= 0x8;  // pitch given: one spare pixel a row
    s.data = {0x30, 0x20, 0x10, 0x80, 1, 2, 3, 4, 9, 9, 9, 9, 0, 0, 0, 0xFF, 4, 3, 2, 1, 9, 9, 9, 9};
    cases.push_back({"dds 8-8-8-8 with pitch", fixtures::Dds(s),
                     {{0x80102030, 0x04030201}, {0xFF000000, 0x01020304}}, 32});
    fixtures::DdsFields f{.width = 2, .height = 1, .bits = 16, .masks = {0x7C00, 0x3E0, 0x1F, 0x8000}};
    f.data = {0x00, 0xFC, 0x1F, 0x00};
    cases.push_back({"dds 1-5-5-5", fixtures::Dds(f), {{0xFFFF0000, 0x000000FF}}, 16});
  }
  for (const Case& c : cases) {
    Decoded d(c.file);
    ASSERT_EQ(d.result, 0) << c.name;
    EXPECT_EQ(d.image.format.header.color_bits, c.bits) << c.name;
    EXPECT_EQ(Show(d.Argb()), Show(c.want)) << c.name;
  }
}

TEST(ImageDecoders, DamagedAndHostileFilesAreRefused) {
  std::vector<std::pair<std::string, Bytes>> cases;
  auto add = [&](const std::string& name, Bytes b) { cases.emplace_back(name, std::move(b)); };
  const fixtures::BmpFields bmp24{.width = 3, .height = 2, .bits = 24,
                                .data = Bytes(24, 0x55)};
  {
    Bytes b = fixtures::Bmp(bmp24);
    add("bmp short header", Bytes(b.begin(), b.begin() + 30));
    add("bmp short pixels", Bytes(b.begin(), b.end() - 1));
    Bytes far = b;
    fixtures::Set32(&far, 10, 0x7FFFFFF0);
    add("bmp pixel offset past the end", far);
  }
  auto bmp = [&](auto change) {
    fixtures::BmpFields s = bmp24;
    change(s);
    return fixtures::Bmp(s);
  };
  add("bmp OS/2 header", bmp([](auto& s) { s.header_size = 12; }));
  add("bmp 7 bits", bmp([](auto& s) { s.bits = 7; }));
  add("bmp zero width", bmp([](auto& s) { s.width = 0; }));
  add("bmp negative width", bmp([](auto& s) { s.width = -3; }));
  add("bmp lowest height", bmp([](auto& s) { s.height = INT32_MIN; }));
  add("bmp 65536 wide", bmp([](auto& s) { s.width = 65536; }));
  add("bmp 4 GiB picture", bmp([](auto& s) { s.width = 65535, s.height = 65535, s.bits = 32; }));
  add("bmp PNG inside", bmp([](auto& s) { s.compression = 5; }));
  add("bmp top-down run-length",
      bmp([](auto& s) {
        s.bits = 8, s.compression = 1, s.height = -2, s.palette = {0}, s.colors_used = 1;
      }));
  add("bmp run-length on 24 bits", bmp([](auto& s) { s.compression = 1; }));

  const Bytes jpeg = fixtures::Jpeg(8, 8, 3, Gradient(8, 8, 3));
  add("jpeg start only", Bytes(jpeg.begin(), jpeg.begin() + 2));
  add("jpeg header only", Bytes(jpeg.begin(), jpeg.begin() + 200));
  {
    // The frame header claims 65500 x 65500.
    Bytes huge = jpeg;
    for (size_t i = 0; i + 9 < huge.size(); ++i) {
      if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
        huge[i + 5] = huge[i + 7] = 0xFF;
        huge[i + 6] = huge[i + 8] = 0xDC;
        break;
      }
    }
    add("jpeg 65500 square", huge);
  }

  const Bytes png = fixtures::Png(2, 2, PNG_COLOR_TYPE_RGB, 8, Bytes(12, 9));
  add("png signature only", Bytes(png.begin(), png.begin() + 8));
  add("png without its end", Bytes(png.begin(), png.end() - 20));
  {
    Bytes wide = png;  // IHDR width 70000, CRC mended so only the size refuses it
    wide[16] = 0, wide[17] = 1, wide[18] = 0x11, wide[19] = 0x70;
    fixtures::FixPngCrc(&wide, 8);
    add("png 70000 wide", wide);
    Bytes crc = png;
    crc[20] ^= 1;
    add("png bad header crc", crc);
  }

  add("bgra unknown channels", fixtures::Bgra(0x08080800, 1, 1, Bytes(4)));
  add("bgra zero width", fixtures::Bgra(0x08080808, 0, 1, Bytes(4)));
  add("bgra product overflows 32 bits", fixtures::Bgra(0x08080808, 0x10000, 0x10000, Bytes(64)));
  add("bgra 16 GiB", fixtures::Bgra(0x10101010, 65535, 65535, Bytes(64)));
  add("bgra short", fixtures::Bgra(0x08080808, 2, 2, Bytes(15)));

  auto tga = [&](auto change) {
    fixtures::TgaFields s{.type = 2, .width = 2, .height = 2, .depth = 24, .data = Bytes(12, 1)};
    change(s);
    return fixtures::Tga(s);
  };
  add("tga image id", tga([](auto& s) { s.id_length = 3; }));
  add("tga origin", tga([](auto& s) { s.x_origin = 1; }));
  add("tga 4096 wide", tga([](auto& s) { s.width = 4096; }));
  add("tga zero height", tga([](auto& s) { s.height = 0; }));
  add("tga type 3", tga([](auto& s) { s.type = 3; }));
  add("tga 15 bits", tga([](auto& s) { s.depth = 15; }));
  add("tga short", tga([](auto& s) { s.data.resize(11); }));
  add("tga alpha on 24 bits", tga([](auto& s) { s.extension_attributes = 3; }));
  add("tga colour map past 256", tga([](auto& s) {
        s.type = 1, s.depth = 8, s.map_type = 1, s.map_first = 200, s.map_length = 100,
        s.map_entry_bits = 24, s.map = Bytes(300, 0), s.data = Bytes(4, 0);
      }));
  add("tga 16-bit indices", tga([](auto& s) {
        s.type = 1, s.depth = 16, s.map_type = 1, s.map_length = 2, s.map_entry_bits = 24,
        s.map = Bytes(6, 0), s.data = Bytes(8, 0);
      }));
  add("tga run-length ends early", tga([](auto& s) { s.type = 10, s.data = {0x82, 1, 2, 3}; }));
  add("tga raw packet past the data", tga([](auto& s) { s.type = 10, s.data = {0x03, 1, 2}; }));
  {
    Bytes b = tga([](auto& s) { s.extension_attributes = 0; });
    fixtures::Set32(&b, b.size() - 26, 0x7FFFFFFF);  // extension area far outside
    add("tga extension area outside", b);
  }

  auto dds = [&](auto change) {
    fixtures::DdsFields s{.width = 2, .height = 2, .data = Bytes(16, 1)};
    change(s);
    return fixtures::Dds(s);
  };
  add("dds wrong description size", dds([](auto& s) { s.size = 100; }));
  add("dds wrong pixel-format size", dds([](auto& s) { s.pf_size = 0; }));
  add("dds four-character code", dds([](auto& s) { s.pf_flags = 0x4, s.fourcc = 0x31545844; }));
  add("dds rgb without alpha pixels", dds([](auto& s) { s.pf_flags = 0x40; }));
  add("dds 24 bits", dds([](auto& s) { s.bits = 24; }));
  add("dds 0 bits", dds([](auto& s) { s.bits = 0; }));
  add("dds pitch below a row", dds([](auto& s) { s.flags |= 8, s.pitch = 4; }));
  add("dds huge pitch", dds([](auto& s) { s.flags |= 8, s.pitch = 0x7FFFFFFF; }));
  add("dds mask with a gap", dds([](auto& s) { s.masks[0] = 0x00F0F000; }));
  add("dds mask outside 16 bits", dds([](auto& s) { s.bits = 16, s.masks[0] = 0x10000; }));
  add("dds zero width", dds([](auto& s) { s.width = 0; }));
  add("dds short", dds([](auto& s) { s.data.resize(15); }));

  add("empty", {});
  add("text", Bytes{'h', 'e', 'l', 'l', 'o'});
  for (const auto& [name, file] : cases) {
    EXPECT_EQ(Decoded(file).result, -1) << name;
  }
}

}  // namespace
