// TGA: colour-mapped (8-bit indices) and true-colour pictures of 16, 24 or
// 32 bits, raw or run-length, in any of the four row and pixel orders, with
// the alpha rule of the 2.0 extension area. TGA has no magic, so the header
// checks are all that tells it from other data.
#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/decode_bytes.h"
#include "graphics/image_decoders.h"
#include "graphics/image_record.h"

namespace {

constexpr int kFooterBytes = 26;
constexpr int kExtensionBytes = 495;
constexpr int kMaxTgaSide = 4096;

enum class ExtensionAlpha { kNone, kYes, kNo };

// The footer's extension area, when there is one, says whether the alpha
// bits are alpha. Returns false when the area cannot be read.
bool ReadExtensionAlpha(ImageStream& s, int64_t size, ExtensionAlpha* alpha, int64_t* data_end) {
  *alpha = ExtensionAlpha::kNone;
  *data_end = size;
  if (size < 18 + kFooterBytes) return true;
  uint8_t footer[kFooterBytes];
  if (!s.Seek(size - kFooterBytes, 0) || !s.ReadExact(footer, kFooterBytes)) return true;
  if (std::memcmp(footer + 8, "TRUEVISION-XFILE", 16) != 0) return true;
  *data_end = size - kFooterBytes;
  const uint32_t offset = ReadLe32(footer);
  if (offset == 0) return true;
  uint8_t ext[kExtensionBytes];
  if (static_cast<int64_t>(offset) + kExtensionBytes > size || !s.Seek(offset, 0) ||
      !s.ReadExact(ext, kExtensionBytes)) {
    return false;
  }
  *alpha = ext[494] == 3 ? ExtensionAlpha::kYes : ExtensionAlpha::kNo;
  return true;
}

// Decodes run-length packets of `unit`-byte elements until `count` elements
// exist; packets are cut at the end of the picture. False when the data
// ends first.
bool DecodeRunLength(const uint8_t* in, size_t in_size, uint8_t* out, size_t count, int unit) {
  size_t pos = 0, done = 0;
  while (done < count) {
    if (pos >= in_size) return false;
    const uint8_t packet = in[pos++];
    const size_t n = std::min<size_t>((packet & 0x7Fu) + 1u, count - done);
    if (packet & 0x80u) {
      if (in_size - pos < static_cast<size_t>(unit)) return false;
      for (size_t i = 0; i < n; ++i) std::memcpy(out + (done + i) * unit, in + pos, unit);
      pos += unit;
    } else {
      const size_t bytes = n * unit;
      if (in_size - pos < bytes) return false;
      std::memcpy(out + done * unit, in + pos, bytes);
      pos += bytes;
      // Elements of a raw packet cut at the picture's end are skipped.
      pos += (((packet & 0x7Fu) + 1u) - n) * unit;
    }
    done += n;
  }
  return true;
}

void ReorderRows(uint8_t* pixels, int width, int height, int bpp, bool bottom_up,
                 bool right_to_left) {
  const size_t pitch = static_cast<size_t>(width) * bpp;
  if (bottom_up) {
    for (int y = 0; y < height / 2; ++y) {
      std::swap_ranges(pixels + y * pitch, pixels + (y + 1) * pitch,
                       pixels + (height - 1 - y) * pitch);
    }
  }
  if (right_to_left) {
    for (int y = 0; y < height; ++y) {
      uint8_t* row = pixels + y * pitch;
      for (int i = 0; i < width / 2; ++i) {
        std::swap_ranges(row + i * bpp, row + (i + 1) * bpp, row + (width - 1 - i) * bpp);
      }
    }
  }
}

void SetTgaFormat(ColorFormatHeader* f, int bits, bool alpha) {
  if (bits == 24) {
    SetRgb24ColorFormat(f);
  } else if (bits == 16) {
    BuildColorFormatFromMasks(f, 16, 0x7C00, 0x03E0, 0x001F, alpha ? 0x8000 : 0);
  } else {
    BuildColorFormatFromMasks(f, 32, 0xFF0000, 0xFF00, 0xFF, alpha ? 0xFF000000u : 0);
  }
}

}  // namespace

int LoadTgaImage(ImageStream& s, ImageRecord* image) {
  const int64_t size = s.Size();
  ExtensionAlpha ext_alpha;
  int64_t data_end;
  if (!ReadExtensionAlpha(s, size, &ext_alpha, &data_end)) return -1;
  uint8_t h[18];
  if (!s.Seek(0, 0) || !s.ReadExact(h, 18)) return -1;
  const int id_length = h[0], map_type = h[1], type = h[2];
  const int map_first = ReadLe16(h + 3), map_length = ReadLe16(h + 5), map_entry_bits = h[7];
  const int width = ReadLe16(h + 12), height = ReadLe16(h + 14);
  const int depth = h[16], descriptor = h[17];
  if (id_length != 0) return -1;
  if (type != 1 && type != 2 && type != 9 && type != 10) return -1;
  if (ReadLe16(h + 8) != 0 || ReadLe16(h + 10) != 0) return -1;
  if (width == 0 || height == 0 || width >= kMaxTgaSide || height >= kMaxTgaSide) return -1;
  const bool mapped = type == 1 || type == 9;
  const bool run_length = type == 9 || type == 10;
  // Colour-mapped pictures have 8-bit indices into at most 256 entries.
  if (mapped && (map_type != 1 || depth != 8 || map_length == 0 || map_first + map_length > 256)) {
    return -1;
  }
  const int bits = mapped ? map_entry_bits : depth;
  if (bits != 16 && bits != 24 && bits != 32) return -1;
  if (bits == 24 && ext_alpha == ExtensionAlpha::kYes) return -1;
  const bool alpha = ext_alpha == ExtensionAlpha::kNone ? bits == 32 : ext_alpha == ExtensionAlpha::kYes;
  const int bpp = bits / 8;
  const size_t count = static_cast<size_t>(width) * height;
  const int unit = mapped ? 1 : bpp;

  // Pixel data starts after the colour map, whatever the image type.
  const int64_t map_bytes = map_type == 1 ? static_cast<int64_t>(map_length) * ((map_entry_bits + 7) / 8) : 0;
  std::vector<uint8_t> table;
  if (mapped) {
    table.assign(256 * static_cast<size_t>(bpp), 0);
    if (!s.ReadExact(table.data() + static_cast<size_t>(map_first) * bpp,
                     static_cast<size_t>(map_length) * bpp)) {
      return -1;
    }
  } else if (map_bytes && !s.Seek(18 + map_bytes, 0)) {
    return -1;
  }
  const int64_t data_start = 18 + map_bytes;
  const int64_t available = std::min(data_end, size) - data_start;
  if (available <= 0) return -1;
  std::vector<uint8_t> elements;
  if (run_length) {
    std::vector<uint8_t> packed(static_cast<size_t>(std::min<int64_t>(available, kMaxImageBytes)));
    if (!s.ReadExact(packed.data(), packed.size())) return -1;
    elements.resize(count * unit);
    if (!DecodeRunLength(packed.data(), packed.size(), elements.data(), count, unit)) return -1;
  } else {
    if (static_cast<uint64_t>(available) < count * unit) return -1;
    elements.resize(count * unit);
    if (!s.ReadExact(elements.data(), elements.size())) return -1;
  }

  uint8_t* pixels = AllocImagePixels(static_cast<uint64_t>(count) * bpp, kGraphicsSource);
  if (!pixels) return -1;
  if (mapped) {
    for (size_t i = 0; i < count; ++i) {
      std::memcpy(pixels + i * bpp, table.data() + static_cast<size_t>(elements[i]) * bpp, bpp);
    }
  } else {
    std::memcpy(pixels, elements.data(), elements.size());
  }
  ReorderRows(pixels, width, height, bpp, !(descriptor & 0x20), (descriptor & 0x10) != 0);
  SetTgaFormat(&image->format.header, bits, alpha);
  image->width = width;
  image->height = height;
  image->pitch = width * bpp;
  image->pixels = pixels;
  return 0;
}
