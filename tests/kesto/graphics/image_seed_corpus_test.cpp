// The fuzzers' committed seeds: one tiny file per variant a loader knows
// ("ok_") and damaged ones it must refuse ("bad_"). The test checks that
// every committed seed still is what its name says. Run it with
// KESTO_WRITE_IMAGE_SEEDS=1 to write the seeds made below into the source
// tree first.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "graphics/image_decoders.h"
#include "graphics/image_load.h"
#include "graphics/image_record.h"
#include "image_fixtures.h"
#include "platform/gdi/dib.h"

// Seed field lists name only the fields a seed changes.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using fixtures::Bytes;
using Seeds = std::map<std::string, Bytes>;

Bytes Ramp(int n, int step = 9) {
  Bytes b(n);
  for (int i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * step);
  return b;
}

Seeds BmpSeeds() {
  Seeds s;
  const std::vector<uint32_t> pal = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  s["ok_24_bottom_up"] = fixtures::Bmp({.width = 3, .height = 2, .bits = 24, .data = Ramp(24)});
  s["ok_24_top_down_v5"] = fixtures::Bmp(
      {.header_size = 124, .width = 3, .height = -2, .bits = 24, .data = Ramp(24)});
  s["ok_8_palette"] = fixtures::Bmp(
      {.width = 3, .height = 2, .bits = 8, .palette = pal, .colors_used = 4,
       .data = {0, 1, 2, 0, 3, 2, 1, 0}});
  s["ok_4_palette"] = fixtures::Bmp(
      {.width = 3, .height = 2, .bits = 4, .palette = pal, .colors_used = 4,
       .data = {0x01, 0x20, 0, 0, 0x32, 0x10, 0, 0}});
  s["ok_1_bit"] = fixtures::Bmp(
      {.width = 9, .height = 2, .bits = 1, .palette = {0, 0xFFFFFF}, .data = Ramp(8, 77)});
  s["ok_16_555"] = fixtures::Bmp({.width = 2, .height = 2, .bits = 16, .data = Ramp(8, 31)});
  s["ok_16_bitfields_565"] =
      fixtures::Bmp({.width = 2, .height = 2, .bits = 16, .compression = 3,
                     .masks = {0xF800, 0x07E0, 0x1F}, .data = Ramp(8, 31)});
  s["ok_32_bitfields_v4"] =
      fixtures::Bmp({.header_size = 108, .width = 2, .height = 2, .bits = 32, .compression = 3,
                     .masks = {0xFF, 0xFF00, 0xFF0000, 0xFF000000u}, .data = Ramp(16, 13)});
  s["ok_rle8"] = fixtures::Bmp({.width = 4, .height = 3, .bits = 8, .compression = 1,
                                .palette = pal, .colors_used = 4,
                                .data = {2, 1, 0, 2, 1, 1, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}});
  s["ok_rle4"] = fixtures::Bmp({.width = 4, .height = 2, .bits = 4, .compression = 2,
                                .palette = pal, .colors_used = 4,
                                .data = {4, 0x12, 0, 0, 0, 3, 0x30, 0x10, 0, 1}});
  s["bad_short_pixels"] = fixtures::Bmp({.width = 3, .height = 2, .bits = 24, .data = Ramp(20)});
  s["bad_top_down_rle"] = fixtures::Bmp({.width = 2, .height = -2, .bits = 8, .compression = 1,
                                         .palette = pal, .colors_used = 4, .data = {2, 1, 0, 1}});
  s["bad_huge"] = fixtures::Bmp({.width = 60000, .height = 60000, .bits = 32, .data = Ramp(16)});
  s["bad_os2_header"] = fixtures::Bmp({.header_size = 12, .width = 1, .height = 1, .data = Ramp(4)});
  return s;
}

Seeds JpegSeeds() {
  Seeds s;
  s["ok_rgb"] = fixtures::Jpeg(8, 8, 3, Ramp(192, 5), 80);
  s["ok_grey"] = fixtures::Jpeg(8, 8, 1, Ramp(64, 3), 80);
  s["ok_progressive"] = fixtures::Jpeg(16, 8, 3, Ramp(384, 7), 80, true);
  Bytes cut = fixtures::Jpeg(16, 16, 3, Ramp(768, 11), 80);
  cut.resize(cut.size() * 3 / 4);
  s["ok_truncated"] = cut;
  s["bad_cmyk"] = fixtures::Jpeg(8, 8, 4, Ramp(256, 5), 80);
  Bytes header = fixtures::Jpeg(8, 8, 3, Ramp(192, 5), 80);
  header.resize(150);
  s["bad_header_only"] = header;
  return s;
}

Seeds PngSeeds() {
  Seeds s;
  png_color_16 key{};
  key.gray = 0x0909;
  s["ok_rgb"] = fixtures::Png(2, 2, PNG_COLOR_TYPE_RGB, 8, Ramp(12));
  s["ok_rgba"] = fixtures::Png(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8, Ramp(16));
  s["ok_palette_trns"] = fixtures::Png(3, 1, PNG_COLOR_TYPE_PALETTE, 4, {0x01, 0x20},
                                       PNG_INTERLACE_NONE, {0x102030, 0x405060, 0x708090}, {0, 128});
  s["ok_grey"] = fixtures::Png(2, 2, PNG_COLOR_TYPE_GRAY, 8, Ramp(4, 60));
  s["ok_grey_alpha"] = fixtures::Png(2, 2, PNG_COLOR_TYPE_GRAY_ALPHA, 8, Ramp(8, 30));
  s["ok_grey16_trns"] = fixtures::Png(2, 1, PNG_COLOR_TYPE_GRAY, 16, Ramp(4, 9),
                                      PNG_INTERLACE_NONE, {}, {}, &key);
  s["ok_interlaced"] = fixtures::Png(5, 5, PNG_COLOR_TYPE_RGB, 8, Ramp(75), PNG_INTERLACE_ADAM7);
  Bytes crc = s["ok_rgb"];
  crc[20] ^= 1;
  s["bad_header_crc"] = crc;
  Bytes cut = s["ok_rgb"];
  cut.resize(cut.size() - 20);
  s["bad_truncated"] = cut;
  return s;
}

Seeds BgraSeeds() {
  Seeds s;
  s["ok_8"] = fixtures::Bgra(0x08080808, 2, 2, Ramp(16));
  s["ok_16"] = fixtures::Bgra(0x10101010, 2, 1, Ramp(16));
  s["bad_short"] = fixtures::Bgra(0x08080808, 2, 2, Ramp(15));
  s["bad_overflow"] = fixtures::Bgra(0x08080808, 0x10000, 0x10000, Ramp(16));
  return s;
}

Seeds TgaSeeds() {
  Seeds s;
  s["ok_24_bottom_up"] = fixtures::Tga({.type = 2, .width = 2, .height = 2, .depth = 24,
                                        .data = Ramp(12)});
  s["ok_32_top_down"] = fixtures::Tga({.type = 2, .width = 2, .height = 1, .depth = 32,
                                       .descriptor = 0x28, .data = Ramp(8)});
  s["ok_16_right_to_left_ext"] =
      fixtures::Tga({.type = 2, .width = 2, .height = 1, .depth = 16, .descriptor = 0x30,
                     .data = Ramp(4, 70), .extension_attributes = 3});
  s["ok_rle"] = fixtures::Tga({.type = 10, .width = 3, .height = 2, .depth = 24,
                               .data = {0x83, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}});
  s["ok_mapped"] = fixtures::Tga({.type = 1, .width = 2, .height = 2, .depth = 8, .map_type = 1,
                                  .map_first = 0, .map_length = 3, .map_entry_bits = 24,
                                  .map = Ramp(9, 29), .data = {0, 1, 2, 1}});
  s["ok_mapped_rle"] = fixtures::Tga({.type = 9, .width = 2, .height = 2, .depth = 8,
                                      .map_type = 1, .map_length = 2, .map_entry_bits = 16,
                                      .map = Ramp(4, 50), .data = {0x81, 1, 0x01, 0, 1}});
  s["bad_map_overflow"] = fixtures::Tga({.type = 1, .width = 1, .height = 1, .depth = 8,
                                         .map_type = 1, .map_first = 250, .map_length = 10,
                                         .map_entry_bits = 24, .map = Ramp(30), .data = {0}});
  s["bad_rle_short"] = fixtures::Tga({.type = 10, .width = 2, .height = 2, .depth = 24,
                                      .data = {0x82, 1, 2, 3}});
  return s;
}

Seeds DdsSeeds() {
  Seeds s;
  fixtures::DdsFields pitched{.width = 2, .height = 2, .pitch = 12, .data = Ramp(24)};
  pitched.flags |= 8;
  s["ok_8888_pitch"] = fixtures::Dds(pitched);
  s["ok_1555"] = fixtures::Dds({.width = 2, .height = 1, .bits = 16,
                                .masks = {0x7C00, 0x3E0, 0x1F, 0x8000}, .data = Ramp(4, 77)});
  s["bad_fourcc"] = fixtures::Dds({.width = 4, .height = 4, .pf_flags = 4, .fourcc = 0x31545844,
                                   .data = Ramp(8)});
  fixtures::DdsFields narrow{.width = 2, .height = 2, .pitch = 4, .data = Ramp(16)};
  narrow.flags |= 8;
  s["bad_pitch"] = fixtures::Dds(narrow);
  return s;
}

// Packed bitmaps are bitmap files without their 14-byte file header.
Seeds PackedDibSeeds() {
  Seeds s;
  for (const auto& [name, file] : BmpSeeds()) {
    s[name] = Bytes(file.begin() + 14, file.end());
  }
  Bytes hostile = s["ok_rle8"];
  // Runs and moves that leave the picture: drawn clipped.
  const Bytes runs = {250, 1, 0, 2, 255, 255, 0, 9, 1};
  hostile.resize(hostile.size() - 16);
  hostile.insert(hostile.end(), runs.begin(), runs.end());
  s["ok_rle8_hostile"] = hostile;
  return s;
}

struct Target {
  const char* name;
  Seeds (*seeds)();
  bool (*accepts)(const Bytes&);
};

template <ImageLoader L>
bool Accepts(const Bytes& b) {
  auto stream = OpenImageMemoryStream(b.data(), b.size());
  ImageRecord image{};
  const bool ok = stream && L(*stream, &image) == 0 && IsImageRecordUsable(image);
  ReleaseImageRecord(&image);
  return ok;
}

bool ChainAccepts(const Bytes& b) {
  ImageRecord image{};
  const bool ok = LoadImageToRecord(nullptr, b.data(), b.size(), 1, 0, 0, &image, nullptr,
                                    nullptr) == 0;
  ReleaseImageRecord(&image);
  return ok;
}

bool DibAccepts(const Bytes& b) {
  platform::gdi::PackedDib dib;
  std::vector<uint32_t> px;
  return platform::gdi::ReadPackedDib(b.data(), b.size(), &dib) &&
         platform::gdi::DecodePackedDib(dib, &px);
}

Seeds ChainSeeds() {
  Seeds s;
  const std::pair<const char*, Seeds (*)()> formats[] = {
      {"bmp", BmpSeeds}, {"jpeg", JpegSeeds}, {"png", PngSeeds},
      {"bgra", BgraSeeds}, {"tga", TgaSeeds}, {"dds", DdsSeeds}};
  for (const auto& [format, make] : formats) {
    for (const auto& [name, file] : make()) {
      if (name.rfind("ok_", 0) == 0) s["ok_" + std::string(format) + name.substr(2)] = file;
    }
  }
  s["bad_text"] = Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
  return s;
}

const Target kTargets[] = {
    {"bmp_loader", BmpSeeds, Accepts<LoadBmpImage>},
    {"jpeg_loader", JpegSeeds, Accepts<LoadJpegImage>},
    {"png_loader", PngSeeds, Accepts<LoadPngImage>},
    {"bgra_loader", BgraSeeds, Accepts<LoadBgraImage>},
    {"tga_loader", TgaSeeds, Accepts<LoadTgaImage>},
    {"dds_loader", DdsSeeds, Accepts<LoadDdsImage>},
    {"image_chain", ChainSeeds, ChainAccepts},
    {"packed_dib", PackedDibSeeds, DibAccepts},
};

Bytes ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ImageSeedCorpus, EverySeedIsWhatItsNameSays) {
  // The source tree: from the environment, else the one the build names.
  const char* source = std::getenv("KESTO_SOURCE_DIR");
  const std::filesystem::path root = std::filesystem::path(source ? source : KESTO_SOURCE_DIR_PATH);
  const std::filesystem::path corpus = root / "fuzz" / "corpus";
  for (const Target& t : kTargets) {
    const std::filesystem::path dir = corpus / t.name;
    if (std::getenv("KESTO_WRITE_IMAGE_SEEDS")) {
      std::filesystem::create_directories(dir);
      for (const auto& [name, bytes] : t.seeds()) fixtures::WriteFile((dir / name).string(), bytes);
    }
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int seeds = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      const std::string name = entry.path().filename().string();
      const bool ok = name.rfind("ok_", 0) == 0, bad = name.rfind("bad_", 0) == 0;
      if (!ok && !bad) continue;  // inputs a fuzzer found are replayed by the corpus tests
      ++seeds;
      EXPECT_EQ(t.accepts(ReadAll(entry.path())), ok) << t.name << "/" << name;
    }
    EXPECT_GT(seeds, 0) << t.name;
  }
}

}  // namespace
