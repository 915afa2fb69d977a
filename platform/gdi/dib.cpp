#include "platform/gdi/dib.h"

#include <algorithm>
#include <cstdlib>

namespace platform::gdi {

namespace {

constexpr int kMaxSide = 65535;

struct MaskChannel {
  uint32_t mask = 0;
  int shift = 0;
  int width = 0;
};

MaskChannel Measure(uint32_t mask) {
  MaskChannel c;
  c.mask = mask;
  if (!mask) return c;
  while (!((mask >> c.shift) & 1u)) ++c.shift;
  while (c.shift + c.width < 32 && ((mask >> (c.shift + c.width)) & 1u)) ++c.width;
  return c;
}

// A channel's value scaled to 8 bits: wide channels keep their top bits,
// narrow ones repeat theirs. Bits of a broken (non-contiguous) mask above
// its first run are ignored.
uint32_t To8(uint32_t v, const MaskChannel& c) {
  if (!c.width) return 0;
  const uint32_t max = c.width >= 32 ? 0xFFFFFFFFu : ((1u << c.width) - 1u);
  const uint32_t raw = (v >> c.shift) & max;
  if (c.width >= 8) return raw >> (c.width - 8);
  uint32_t out = 0;
  int left = 8;
  while (left > 0) {
    if (left >= c.width) {
      out |= raw << (left - c.width);
      left -= c.width;
    } else {
      out |= raw >> (c.width - left);
      left = 0;
    }
  }
  return out & 255u;
}

uint32_t From8(uint32_t v8, const MaskChannel& c) {
  if (!c.width) return 0;
  const uint32_t value = c.width >= 8 ? (v8 << (c.width - 8)) : (v8 >> (8 - c.width));
  return static_cast<uint32_t>((static_cast<uint64_t>(value) << c.shift) & c.mask);
}

uint32_t Load(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  return v;
}

void Store(uint8_t* p, int bytes, uint32_t v) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t PaletteColor(const PackedDib& dib, uint32_t index) {
  if (!dib.colors || index >= static_cast<uint32_t>(std::max(dib.color_count, 0))) return 0;
  const RgbQuad& q = dib.colors[index];
  return (static_cast<uint32_t>(q.red) << 16) | (static_cast<uint32_t>(q.green) << 8) | q.blue;
}

bool KindAllowed(const BitmapInfoHeader& h) {
  switch (h.compression) {
    case kBiRgb:
      return h.bit_count == 1 || h.bit_count == 4 || h.bit_count == 8 || h.bit_count == 16 ||
             h.bit_count == 24 || h.bit_count == 32;
    case kBiRle8: return h.bit_count == 8 && h.height > 0;  // run-length rows run bottom up only
    case kBiRle4: return h.bit_count == 4 && h.height > 0;
    case kBiBitfields: return h.bit_count == 16 || h.bit_count == 32;
    default: return false;  // JPEG or PNG inside a bitmap, and unknown kinds
  }
}

// Every decoder hands its pixels to a sink: put(x, y, rgb) with y counted
// from the top, x and y inside the picture.
template <typename Put>
void DecodeUncompressed(const PackedDib& dib, int width, int height, bool top_down,
                        uint64_t stride, Put put) {
  const BitmapInfoHeader& h = dib.header;
  MaskChannel r, g, b;
  if (h.compression == kBiBitfields) {
    r = Measure(dib.masks[0]);
    g = Measure(dib.masks[1]);
    b = Measure(dib.masks[2]);
  } else if (h.bit_count == 16) {
    r = Measure(0x7C00);
    g = Measure(0x03E0);
    b = Measure(0x001F);
  } else {
    r = Measure(0xFF0000);
    g = Measure(0xFF00);
    b = Measure(0xFF);
  }
  const int bits = h.bit_count;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = dib.bits + (top_down ? y : height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      uint32_t c;
      if (bits <= 8) {
        const uint64_t bit = static_cast<uint64_t>(x) * bits;
        const uint32_t byte = row[bit / 8];
        const int shift = 8 - bits - static_cast<int>(bit % 8);
        c = PaletteColor(dib, (byte >> shift) & ((1u << bits) - 1u));
      } else if (bits == 24) {
        c = Load(row + static_cast<size_t>(x) * 3, 3);
      } else {
        const uint32_t v = Load(row + static_cast<size_t>(x) * (bits / 8), bits / 8);
        c = (To8(v, r) << 16) | (To8(v, g) << 8) | To8(v, b);
      }
      put(x, y, c);
    }
  }
}

// Run-length data: rows bottom up, escapes for end of line, end of bitmap,
// a move, and absolute runs padded to 16 bits. Every write is clipped and
// the decoding stops at the end of the data.
template <typename Put>
void DecodeRunLength(const PackedDib& dib, int width, int height, Put put_pixel) {
  const bool four = dib.header.compression == kBiRle4;
  const uint8_t* p = dib.bits;
  const size_t size = dib.bits_size;
  size_t pos = 0;
  int64_t x = 0, y = 0;
  auto put = [&](uint32_t index) {
    if (x < width && y < height) {
      put_pixel(static_cast<int>(x), static_cast<int>(height - 1 - y), PaletteColor(dib, index));
    }
    if (x < width) ++x;  // past the row nothing shows; stop counting there
  };
  while (pos + 2 <= size && y < height) {
    const uint8_t count = p[pos], value = p[pos + 1];
    pos += 2;
    if (count) {
      for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? (value & 15u) : (value >> 4)) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // move right and up
      if (pos + 2 > size) break;
      x = std::min<int64_t>(x + p[pos], width);
      y += p[pos + 1];
      pos += 2;
    } else {  // absolute run of `value` pixels
      const size_t bytes = four ? (value + 1u) / 2u : value;
      if (pos + bytes > size) break;
      for (int i = 0; i < value; ++i) {
        const uint8_t byte = p[pos + (four ? i / 2 : i)];
        put(four ? ((i & 1) ? (byte & 15u) : (byte >> 4)) : byte);
      }
      pos += bytes + (bytes & 1u);
    }
  }
}

}  // namespace

std::unique_ptr<DibSection> DibSection::Create(int width, int height, int bit_count,
                                               const uint32_t* masks) {
  const int64_t h = std::abs(static_cast<int64_t>(height));
  if (width < 1 || width > kMaxSide || h < 1 || h > kMaxSide) return nullptr;
  if (bit_count != 16 && bit_count != 24 && bit_count != 32) return nullptr;
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(h) > kMaxDibPixels) return nullptr;
  std::unique_ptr<DibSection> s(new DibSection);
  s->width_ = width;
  s->height_ = static_cast<int>(h);
  s->top_down_ = height < 0;
  s->bit_count_ = bit_count;
  s->pitch_ = static_cast<int>(((static_cast<int64_t>(width) * bit_count + 31) / 32) * 4);
  if (bit_count == 16) {
    const uint32_t d[3] = {0x7C00, 0x03E0, 0x001F};
    std::copy_n(masks ? masks : d, 3, s->masks_);
  } else if (bit_count == 32) {
    const uint32_t d[3] = {0xFF0000, 0xFF00, 0xFF};
    std::copy_n(masks ? masks : d, 3, s->masks_);
  }
  for (int i = 0; i < 3; ++i) {
    const MaskChannel c = Measure(s->masks_[i]);
    s->shifts_[i] = static_cast<uint8_t>(c.shift);
    s->widths_[i] = static_cast<uint8_t>(c.width);
  }
  s->bits_.assign(static_cast<size_t>(s->pitch_) * s->height_, 0);
  return s;
}

uint8_t* DibSection::Row(int y) {
  return bits_.data() + static_cast<size_t>(top_down_ ? y : height_ - 1 - y) * pitch_;
}

void DibSection::SetPixel(int x, int y, uint32_t rgb) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint8_t* p = Row(y) + static_cast<size_t>(x) * (bit_count_ / 8);
  if (bit_count_ == 24) {
    Store(p, 3, rgb);
    return;
  }
  const uint32_t v = From8((rgb >> 16) & 255u, {masks_[0], shifts_[0], widths_[0]}) |
                     From8((rgb >> 8) & 255u, {masks_[1], shifts_[1], widths_[1]}) |
                     From8(rgb & 255u, {masks_[2], shifts_[2], widths_[2]});
  Store(p, bit_count_ / 8, v);
}

uint32_t DibSection::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* p =
      bits_.data() + static_cast<size_t>(top_down_ ? y : height_ - 1 - y) * pitch_ +
      static_cast<size_t>(x) * (bit_count_ / 8);
  if (bit_count_ == 24) return Load(p, 3);
  const uint32_t v = Load(p, bit_count_ / 8);
  return (To8(v, {masks_[0], shifts_[0], widths_[0]}) << 16) |
         (To8(v, {masks_[1], shifts_[1], widths_[1]}) << 8) |
         To8(v, {masks_[2], shifts_[2], widths_[2]});
}

bool ReadPackedDib(const uint8_t* data, size_t size, PackedDib* out) {
  auto le32 = [data](size_t at) {
    return static_cast<uint32_t>(data[at]) | (static_cast<uint32_t>(data[at + 1]) << 8) |
           (static_cast<uint32_t>(data[at + 2]) << 16) | (static_cast<uint32_t>(data[at + 3]) << 24);
  };
  if (!data || size < 40) return false;
  const uint32_t header_size = le32(0);
  if (header_size < 40 || header_size > 124 || header_size > size) return false;
  PackedDib d;
  BitmapInfoHeader& h = d.header;
  h.size = header_size;
  h.width = static_cast<int32_t>(le32(4));
  h.height = static_cast<int32_t>(le32(8));
  h.planes = static_cast<uint16_t>(data[12] | (data[13] << 8));
  h.bit_count = static_cast<uint16_t>(data[14] | (data[15] << 8));
  h.compression = le32(16);
  h.size_image = le32(20);
  h.colors_used = le32(32);
  size_t pos = header_size;
  if (h.compression == kBiBitfields) {
    if (header_size == 40) {
      if (size - pos < 12) return false;
      pos += 12;
    } else if (header_size < 52) {
      return false;
    }
    for (int i = 0; i < 3; ++i) d.masks[i] = le32(40 + 4 * static_cast<size_t>(i));
  }
  uint32_t colors = 0;
  if (h.bit_count <= 8 && h.bit_count > 0) {
    const uint32_t full = 1u << h.bit_count;
    colors = h.colors_used ? std::min(h.colors_used, full) : full;
  }
  if ((size - pos) / 4 < colors) return false;
  d.colors = reinterpret_cast<const RgbQuad*>(data + pos);
  d.color_count = static_cast<int>(colors);
  pos += static_cast<size_t>(colors) * 4;
  d.bits = data + pos;
  d.bits_size = size - pos;
  *out = d;
  return true;
}

namespace {

// Checks a packed bitmap and gives its width and height; false when it
// cannot be drawn.
bool CheckDib(const PackedDib& dib, int* width, int* height, uint64_t* stride) {
  const BitmapInfoHeader& h = dib.header;
  const int64_t rows = std::abs(static_cast<int64_t>(h.height));
  if (h.width < 1 || h.width > kMaxSide || rows < 1 || rows > kMaxSide) return false;
  if (static_cast<uint64_t>(h.width) * static_cast<uint64_t>(rows) > kMaxDibPixels) return false;
  if (!KindAllowed(h) || !dib.bits) return false;
  *width = h.width;
  *height = static_cast<int>(rows);
  *stride = ((static_cast<uint64_t>(h.width) * h.bit_count + 31) / 32) * 4;
  const bool run_length = h.compression == kBiRle8 || h.compression == kBiRle4;
  return run_length || dib.bits_size >= *stride * static_cast<uint64_t>(rows);
}

template <typename Put>
void DecodeChecked(const PackedDib& dib, int width, int height, uint64_t stride, Put put) {
  if (dib.header.compression == kBiRle8 || dib.header.compression == kBiRle4) {
    DecodeRunLength(dib, width, height, put);
  } else {
    DecodeUncompressed(dib, width, height, dib.header.height < 0, stride, put);
  }
}

}  // namespace

bool DecodePackedDib(const PackedDib& dib, std::vector<uint32_t>* pixels) {
  int width = 0, height = 0;
  uint64_t stride = 0;
  if (!CheckDib(dib, &width, &height, &stride)) return false;
  pixels->assign(static_cast<size_t>(width) * height, 0);
  uint32_t* out = pixels->data();
  DecodeChecked(dib, width, height, stride, [out, width](int x, int y, uint32_t c) {
    out[static_cast<size_t>(y) * width + x] = c;
  });
  return true;
}

int StretchDibToSection(DibSection* section, int dst_x, int dst_y, int dst_width, int dst_height,
                        int src_x, int src_y, int src_width, int src_height,
                        const PackedDib& dib) {
  if (!section || dst_width == 0 || dst_height <= 0 || src_width <= 0 || src_height <= 0) {
    return 0;
  }
  int pw = 0, ph = 0;
  uint64_t stride = 0;
  if (!CheckDib(dib, &pw, &ph, &stride)) return 0;
  const int64_t w = pw, h = ph;
  if (src_x < 0 || src_y < 0 || src_x + static_cast<int64_t>(src_width) > w ||
      src_y + static_cast<int64_t>(src_height) > h) {
    return 0;
  }
  // The whole picture unscaled goes straight into the section.
  if (src_x == 0 && src_y == 0 && src_width == w && src_height == h && dst_width == w &&
      dst_height == h) {
    DecodeChecked(dib, pw, ph, stride, [section, dst_x, dst_y](int x, int y, uint32_t c) {
      section->SetPixel(dst_x + x, dst_y + y, c);
    });
    return dst_height;
  }
  std::vector<uint32_t> pixels;
  if (!DecodePackedDib(dib, &pixels)) return 0;
  const bool mirror = dst_width < 0;
  const int64_t width = mirror ? -static_cast<int64_t>(dst_width) : dst_width;
  // Only the part inside the section is visited.
  const int64_t y0 = std::max<int64_t>(0, -static_cast<int64_t>(dst_y));
  const int64_t y1 = std::min<int64_t>(dst_height, section->height() - static_cast<int64_t>(dst_y));
  const int64_t x0 = std::max<int64_t>(0, -static_cast<int64_t>(dst_x));
  const int64_t x1 = std::min<int64_t>(width, section->width() - static_cast<int64_t>(dst_x));
  for (int64_t j = y0; j < y1; ++j) {
    const int64_t sy = src_y + j * src_height / dst_height;
    for (int64_t i = x0; i < x1; ++i) {
      const int64_t step = mirror ? width - 1 - i : i;
      const int64_t sx = src_x + step * src_width / width;
      section->SetPixel(static_cast<int>(dst_x + i), static_cast<int>(dst_y + j),
                        pixels[static_cast<size_t>(sy * w + sx)]);
    }
  }
  return dst_height;
}

int SetDibToSection(DibSection* section, const PackedDib& dib) {
  const int h = static_cast<int>(std::min<int64_t>(std::abs(static_cast<int64_t>(dib.header.height)), kMaxSide));
  return StretchDibToSection(section, 0, 0, dib.header.width, h, 0, 0, dib.header.width, h, dib);
}

}  // namespace platform::gdi
