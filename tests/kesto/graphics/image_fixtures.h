// Small image files made independently of the decoders: BMP, TGA, DDS and
// raw BGRA bytes built by hand, PNG and JPEG written by libpng and libjpeg.
#pragma once

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/surface_upload.h"

namespace fixtures {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes* b, uint32_t v) {
  b->push_back(static_cast<uint8_t>(v));
  b->push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes* b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void Set32(Bytes* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

struct BmpFields {
  uint32_t header_size = 40;
  int32_t width = 0, height = 0;
  uint16_t bits = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB entries
  std::vector<uint32_t> masks;    // written after a 40-byte header, inside a longer one
  uint32_t colors_used = 0;
  uint32_t size_image = 0;
  Bytes data;  // pixel data as stored
};

inline Bytes Bmp(const BmpFields& s) {
  Bytes info;
  Put32(&info, s.header_size);
  Put32(&info, static_cast<uint32_t>(s.width));
  Put32(&info, static_cast<uint32_t>(s.height));
  Put16(&info, 1);
  Put16(&info, s.bits);
  Put32(&info, s.compression);
  Put32(&info, s.size_image ? s.size_image : static_cast<uint32_t>(s.data.size()));
  Put32(&info, 2835);
  Put32(&info, 2835);
  Put32(&info, s.colors_used);
  Put32(&info, 0);
  for (uint32_t m : s.masks) Put32(&info, m);
  while (info.size() < s.header_size) info.push_back(0);
  Bytes pal;
  for (uint32_t c : s.palette) Put32(&pal, c & 0xFFFFFF);
  Bytes file = {'B', 'M'};
  const uint32_t offset = static_cast<uint32_t>(14 + info.size() + pal.size());
  Put32(&file, static_cast<uint32_t>(offset + s.data.size()));
  Put32(&file, 0);
  Put32(&file, offset);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), pal.begin(), pal.end());
  file.insert(file.end(), s.data.begin(), s.data.end());
  return file;
}

// Rows of 0x00RRGGBB pixels as stored 24-bit rows (blue first, padded to 4),
// in file order (bottom up unless top_down).
inline Bytes Rows24(const std::vector<std::vector<uint32_t>>& picture, bool top_down) {
  Bytes out;
  const size_t h = picture.size();
  for (size_t i = 0; i < h; ++i) {
    const auto& row = picture[top_down ? i : h - 1 - i];
    size_t n = 0;
    for (uint32_t c : row) {
      out.push_back(static_cast<uint8_t>(c));
      out.push_back(static_cast<uint8_t>(c >> 8));
      out.push_back(static_cast<uint8_t>(c >> 16));
      n += 3;
    }
    while (n % 4) {
      out.push_back(0);
      ++n;
    }
  }
  return out;
}

struct TgaFields {
  int type = 2;
  int width = 0, height = 0;
  int depth = 24;
  int descriptor = 0;  // bit 5: top down; bit 4: right to left
  int map_type = 0, map_first = 0, map_length = 0, map_entry_bits = 0;
  int id_length = 0;
  int x_origin = 0;
  Bytes map, data;
  int extension_attributes = -1;  // >= 0: write a 2.0 footer and extension area
};

inline Bytes Tga(const TgaFields& s) {
  Bytes f = {static_cast<uint8_t>(s.id_length), static_cast<uint8_t>(s.map_type),
             static_cast<uint8_t>(s.type)};
  Put16(&f, s.map_first);
  Put16(&f, s.map_length);
  f.push_back(static_cast<uint8_t>(s.map_entry_bits));
  Put16(&f, s.x_origin);
  Put16(&f, 0);
  Put16(&f, s.width);
  Put16(&f, s.height);
  f.push_back(static_cast<uint8_t>(s.depth));
  f.push_back(static_cast<uint8_t>(s.descriptor));
  for (int i = 0; i < s.id_length; ++i) f.push_back('i');
  f.insert(f.end(), s.map.begin(), s.map.end());
  f.insert(f.end(), s.data.begin(), s.data.end());
  if (s.extension_attributes >= 0) {
    const uint32_t ext_offset = static_cast<uint32_t>(f.size());
    Bytes ext(495, 0);
    ext[0] = 0xEF;
    ext[1] = 0x01;
    ext[494] = static_cast<uint8_t>(s.extension_attributes);
    f.insert(f.end(), ext.begin(), ext.end());
    Put32(&f, ext_offset);
    Put32(&f, 0);
    const char sig[] = "TRUEVISION-XFILE.";
    f.insert(f.end(), sig, sig + 17);
    f.push_back(0);
  }
  return f;
}

struct DdsFields {
  uint32_t size = 124, pf_size = 32;
  uint32_t flags = 0x1007;  // caps, height, width, pixel format
  uint32_t width = 0, height = 0, pitch = 0;
  uint32_t pf_flags = 0x41;
  uint32_t fourcc = 0;
  uint32_t bits = 32;
  uint32_t masks[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
  Bytes data;
};

inline Bytes Dds(const DdsFields& s) {
  Bytes f = {'D', 'D', 'S', ' '};
  Put32(&f, s.size);
  Put32(&f, s.flags);
  Put32(&f, s.height);
  Put32(&f, s.width);
  Put32(&f, s.pitch);
  for (int i = 0; i < 13; ++i) Put32(&f, 0);  // depth, mip count, 11 reserved
  Put32(&f, s.pf_size);
  Put32(&f, s.pf_flags);
  Put32(&f, s.fourcc);
  Put32(&f, s.bits);
  for (uint32_t m : s.masks) Put32(&f, m);
  for (int i = 0; i < 5; ++i) Put32(&f, 0);  // caps 1-4, reserved
  f.insert(f.end(), s.data.begin(), s.data.end());
  return f;
}

inline Bytes Bgra(uint32_t channels, uint32_t width, uint32_t height, const Bytes& data) {
  Bytes f = {'B', 'G', 'R', 'A'};
  Put32(&f, channels);
  Put32(&f, width);
  Put32(&f, height);
  f.insert(f.end(), data.begin(), data.end());
  return f;
}

// libpng writing to memory: rows of raw samples in the file's own layout.
inline Bytes Png(int width, int height, int color_type, int bit_depth, const Bytes& samples,
                 int interlace = PNG_INTERLACE_NONE, const std::vector<uint32_t>& palette = {},
                 const Bytes& trns = {}, const png_color_16* trns_color = nullptr) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep d, png_size_t n) {
        auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
        o->insert(o->end(), d, d + n);
      },
      nullptr);
  png_set_IHDR(png, info, width, height, bit_depth, color_type, interlace,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> pal;
  for (uint32_t c : palette) {
    pal.push_back({static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                   static_cast<png_byte>(c)});
  }
  if (!pal.empty()) png_set_PLTE(png, info, pal.data(), static_cast<int>(pal.size()));
  if (!trns.empty() || trns_color) {
    png_set_tRNS(png, info, trns.empty() ? nullptr : trns.data(), static_cast<int>(trns.size()),
                 trns_color);
  }
  png_write_info(png, info);
  const size_t row_bytes = samples.size() / height;
  std::vector<png_bytep> rows(height);
  for (int y = 0; y < height; ++y) rows[y] = const_cast<png_bytep>(&samples[y * row_bytes]);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// libjpeg writing to memory: 1 (grey), 3 (RGB) or 4 (CMYK) components.
inline Bytes Jpeg(int width, int height, int components, const Bytes& samples, int quality = 95,
                  bool progressive = false) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = width;
  c.image_height = height;
  c.input_components = components;
  c.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  if (components == 3) {
    // No chroma subsampling, so small pictures keep their colours.
    for (int i = 0; i < 3; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
  }
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&samples[c.next_scanline * width * components]);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  Bytes out(buffer, buffer + size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

// Rewrites a PNG chunk's CRC after a test changed its contents.
inline void FixPngCrc(Bytes* png, size_t chunk_start) {
  const uint32_t length = (uint32_t((*png)[chunk_start]) << 24) |
                          (uint32_t((*png)[chunk_start + 1]) << 16) |
                          (uint32_t((*png)[chunk_start + 2]) << 8) | (*png)[chunk_start + 3];
  const uint32_t crc = static_cast<uint32_t>(crc32(0, &(*png)[chunk_start + 4], length + 4));
  const size_t at = chunk_start + 8 + length;
  for (int i = 0; i < 4; ++i) (*png)[at + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A decoded image's pixel as 0xAARRGGBB, through the converter into
// A8R8G8B8.
inline uint32_t ArgbAt(const ImageRecord& image, int x, int y) {
  ColorFormatBlock argb{};
  BuildColorFormatFromMasks(&argb.header, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u);
  uint32_t out = 0;
  const platform::video::Rect r{x, y, x + 1, y + 1};
  ConvertPixelRect(&out, 4, &argb, image.pixels, image.pitch, &image.format, nullptr, 0, nullptr,
                   0, 0, &r, 0, 0, 0, 0, 1);
  return out;
}

}  // namespace fixtures
