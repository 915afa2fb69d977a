// Windows bitmaps: 4, 8 and 24-bit uncompressed pictures are taken directly;
// every other kind (1 bit, 16 and 32 bits, bit fields, run-length data) is
// drawn by the bitmap services into a 24-bit top-down section.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/decode_bytes.h"
#include "graphics/graphics_host.h"
#include "graphics/image_decoders.h"
#include "graphics/image_record.h"
#include "platform/gdi/dib.h"

namespace {

using platform::gdi::kBiBitfields;
using platform::gdi::kBiRgb;
using platform::gdi::kBiRle4;
using platform::gdi::kBiRle8;

struct BmpHeader {
  uint32_t pixel_offset;
  platform::gdi::BitmapInfoHeader info;
  uint32_t masks[3];
  platform::gdi::RgbQuad palette[256];
  int palette_count;
};

bool HeaderSizeKnown(uint32_t size) {
  // The 40-byte header and its later versions; the 12-byte OS/2 header is not read.
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool KindKnown(const platform::gdi::BitmapInfoHeader& h) {
  switch (h.compression) {
    case kBiRgb:
      return h.bit_count == 1 || h.bit_count == 4 || h.bit_count == 8 || h.bit_count == 16 ||
             h.bit_count == 24 || h.bit_count == 32;
    case kBiRle8: return h.bit_count == 8;
    case kBiRle4: return h.bit_count == 4;
    case kBiBitfields: return h.bit_count == 16 || h.bit_count == 32;
    default: return false;
  }
}

bool ReadHeader(ImageStream& s, BmpHeader* out) {
  uint8_t file[14];
  if (!s.ReadExact(file, 14) || file[0] != 'B' || file[1] != 'M') return false;
  out->pixel_offset = ReadLe32(file + 10);
  uint8_t info[124 + 12] = {};
  if (!s.ReadExact(info, 4)) return false;
  const uint32_t size = ReadLe32(info);
  if (!HeaderSizeKnown(size) || !s.ReadExact(info + 4, size - 4)) return false;
  platform::gdi::BitmapInfoHeader& h = out->info;
  h.size = size;
  h.width = static_cast<int32_t>(ReadLe32(info + 4));
  h.height = static_cast<int32_t>(ReadLe32(info + 8));
  h.planes = ReadLe16(info + 12);
  h.bit_count = ReadLe16(info + 14);
  h.compression = ReadLe32(info + 16);
  h.size_image = ReadLe32(info + 20);
  h.colors_used = ReadLe32(info + 32);
  if (!KindKnown(h)) return false;
  // The three masks follow a 40-byte header; later headers hold them.
  if (h.compression == kBiBitfields && size == 40 && !s.ReadExact(info + 40, 12)) return false;
  for (int i = 0; i < 3; ++i) out->masks[i] = ReadLe32(info + 40 + 4 * i);
  out->palette_count = 0;
  std::memset(out->palette, 0, sizeof out->palette);
  if (h.bit_count <= 8) {
    const uint32_t full = 1u << h.bit_count;
    const uint32_t count = h.colors_used ? std::min(h.colors_used, full) : full;
    if (!s.ReadExact(out->palette, count * 4)) return false;
    out->palette_count = static_cast<int>(count);
  }
  return true;
}

// 4-bit rows become one index per byte, top to bottom, stride rounded up to 4.
uint8_t* ExpandNibbles(const uint8_t* data, uint64_t stride, int width, int height, bool top_down,
                       int* pitch) {
  const int out_pitch = (width + 3) & ~3;
  uint8_t* out = AllocImagePixels(static_cast<uint64_t>(out_pitch) * height, kGraphicsSource);
  if (!out) return nullptr;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = data + (top_down ? y : height - 1 - y) * stride;
    uint8_t* dst = out + static_cast<size_t>(y) * out_pitch;
    for (int x = 0; x < width; ++x) {
      const uint8_t byte = row[x / 2];
      dst[x] = (x & 1) ? (byte & 15u) : (byte >> 4);
    }
  }
  *pitch = out_pitch;
  return out;
}

// Rows in file order into a top-down buffer of the same stride.
uint8_t* CopyRows(const uint8_t* data, uint64_t stride, int height, bool top_down) {
  uint8_t* out = AllocImagePixels(stride * height, kGraphicsSource);
  if (!out) return nullptr;
  for (int y = 0; y < height; ++y) {
    std::memcpy(out + y * stride, data + (top_down ? y : height - 1 - y) * stride, stride);
  }
  return out;
}

int DrawThroughBitmapServices(const BmpHeader& bmp, const std::vector<uint8_t>& data, int width,
                              int height, ImageRecord* image) {
  auto section = platform::gdi::DibSection::Create(width, -height, 24, nullptr);
  if (!section) {
    GfxLog("ＤＩＢの作成に失敗しました3\n");
    return -1;
  }
  platform::gdi::PackedDib dib;
  dib.header = bmp.info;
  std::copy_n(bmp.masks, 3, dib.masks);
  dib.colors = bmp.palette;
  dib.color_count = bmp.palette_count;
  dib.bits = data.data();
  dib.bits_size = data.size();
  if (!platform::gdi::SetDibToSection(section.get(), dib)) return -1;
  const int pitch = section->pitch();
  uint8_t* out = AllocImagePixels(static_cast<uint64_t>(pitch) * height, kGraphicsSource);
  if (!out) {
    GfxLog("２４ビットカラー化したグラフィックを格納するメモリ領域の確保に失敗しました\n");
    return -1;
  }
  std::memcpy(out, section->bits(), static_cast<size_t>(pitch) * height);
  SetRgb24ColorFormat(&image->format.header);
  image->pitch = pitch;
  image->pixels = out;
  return 0;
}

}  // namespace

int LoadBmpImage(ImageStream& s, ImageRecord* image) {
  BmpHeader bmp{};
  if (!ReadHeader(s, &bmp)) return -1;
  const platform::gdi::BitmapInfoHeader& h = bmp.info;
  const int64_t width = h.width;
  const int64_t height = std::abs(static_cast<int64_t>(h.height));
  const bool top_down = h.height < 0;
  const bool run_length = h.compression == kBiRle8 || h.compression == kBiRle4;
  const uint64_t stride = ((static_cast<uint64_t>(std::max<int64_t>(width, 0)) * h.bit_count + 31) / 32) * 4;
  if (!ImageSizeAllowed(width, height, static_cast<int64_t>(stride)) ||
      !ImageSizeAllowed(width, height, (width * 3 + 3) & ~3ll)) {
    return -1;
  }
  if (run_length && top_down) return -1;
  const int64_t file_size = s.Size();
  if (static_cast<int64_t>(bmp.pixel_offset) > file_size || !s.Seek(bmp.pixel_offset, 0)) return -1;
  std::vector<uint8_t> data;
  if (run_length) {
    // Run-length data has no row size: read what the header claims, within the file.
    uint64_t bytes = static_cast<uint64_t>(file_size - bmp.pixel_offset);
    if (h.size_image) bytes = std::min<uint64_t>(bytes, h.size_image);
    data.resize(static_cast<size_t>(std::min<uint64_t>(bytes, kMaxImageBytes)));
  } else {
    // A file too short for its picture is refused before anything is allocated.
    if (static_cast<uint64_t>(file_size - bmp.pixel_offset) < stride * height) return -1;
    data.resize(static_cast<size_t>(stride * height));
  }
  if (!s.ReadExact(data.data(), data.size())) return -1;

  const int w = static_cast<int>(width), ht = static_cast<int>(height);
  image->width = w;
  image->height = ht;
  if (h.compression == kBiRgb && (h.bit_count == 4 || h.bit_count == 8)) {
    int pitch = static_cast<int>(stride);
    uint8_t* pixels = h.bit_count == 4 ? ExpandNibbles(data.data(), stride, w, ht, top_down, &pitch)
                                       : CopyRows(data.data(), stride, ht, top_down);
    if (!pixels) return -1;
    SetXrgbPaletteColorFormat(&image->format.header);
    for (int i = 0; i < 256; ++i) {
      image->format.palette[i] = {bmp.palette[i].blue, bmp.palette[i].green, bmp.palette[i].red, 0};
    }
    image->pitch = pitch;
    image->pixels = pixels;
    return 0;
  }
  if (h.compression == kBiRgb && h.bit_count == 24) {
    uint8_t* pixels = CopyRows(data.data(), stride, ht, top_down);
    if (!pixels) return -1;
    SetRgb24ColorFormat(&image->format.header);
    image->pitch = static_cast<int>(stride);
    image->pixels = pixels;
    return 0;
  }
  return DrawThroughBitmapServices(bmp, data, w, ht, image);
}
