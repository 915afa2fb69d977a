// Costs of loading images: conversion of a 512x512 sheet into the screen and
// texture layouts on the fast and general paths, and decoding it from PNG
// and BMP bytes.
#include <benchmark/benchmark.h>
#include <png.h>

#include <vector>

#include "graphics/image_decoders.h"
#include "graphics/image_record.h"

namespace {

constexpr int kSide = 512;

std::vector<uint8_t> Sheet24() {
  std::vector<uint8_t> px(static_cast<size_t>(kSide) * kSide * 3);
  for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint8_t>(i * 7 + i / 1536);
  return px;
}

ColorFormatBlock Format(int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  ColorFormatBlock f{};
  BuildColorFormatFromMasks(&f.header, bits, r, g, b, a);
  return f;
}

// range(0): 0 = 565, 1 = A8R8G8B8 keyed, 2 = A4R4G4B4 dithered; range(1): force general path.
void BM_ConvertSheet(benchmark::State& state) {
  const std::vector<uint8_t> src = Sheet24();
  ColorFormatBlock s{};
  SetRgb24ColorFormat(&s.header);
  const int kind = static_cast<int>(state.range(0));
  const ColorFormatBlock d = kind == 0   ? Format(16, 0xF800, 0x07E0, 0x1F, 0)
                             : kind == 1 ? Format(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u)
                                         : Format(16, 0x0F00, 0x00F0, 0x0F, 0xF000);
  const int bytes = d.header.bytes_per_pixel;
  std::vector<uint8_t> dst(static_cast<size_t>(kSide) * kSide * bytes);
  const platform::video::Rect rect{0, 0, kSide, kSide};
  for (auto _ : state) {
    ConvertPixelRect(dst.data(), kSide * bytes, &d, src.data(), kSide * 3, &s, nullptr, 0,
                     nullptr, 0, 0, &rect, 0, kind == 1, 0xFF00FF, kind == 2,
                     static_cast<int>(state.range(1)));
    benchmark::DoNotOptimize(dst.data());
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_ConvertSheet)->ArgsProduct({{0, 1, 2}, {0, 1}});

std::vector<uint8_t> PngSheet() {
  const std::vector<uint8_t> px = Sheet24();
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep d, png_size_t n) {
        auto* o = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
        o->insert(o->end(), d, d + n);
      },
      nullptr);
  png_set_IHDR(png, info, kSide, kSide, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < kSide; ++y) png_write_row(png, px.data() + static_cast<size_t>(y) * kSide * 3);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> BmpSheet() {
  std::vector<uint8_t> f(54, 0);
  const std::vector<uint8_t> px = Sheet24();
  auto put = [&f](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  f[0] = 'B', f[1] = 'M';
  put(10, 54);
  put(14, 40);
  put(18, kSide);
  put(22, kSide);
  f[26] = 1, f[28] = 24;
  f.insert(f.end(), px.begin(), px.end());
  return f;
}

void Decode(benchmark::State& state, ImageLoader loader, const std::vector<uint8_t>& file) {
  for (auto _ : state) {
    auto stream = OpenImageMemoryStream(file.data(), file.size());
    ImageRecord image{};
    if (!stream || loader(*stream, &image) != 0) state.SkipWithError("refused");
    ReleaseImageRecord(&image);
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void BM_DecodePngSheet(benchmark::State& state) { Decode(state, LoadPngImage, PngSheet()); }
void BM_DecodeBmpSheet(benchmark::State& state) { Decode(state, LoadBmpImage, BmpSheet()); }
BENCHMARK(BM_DecodePngSheet);
BENCHMARK(BM_DecodeBmpSheet);

}  // namespace
