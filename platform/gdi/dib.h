// Device-independent bitmaps: sections that hold pixels in memory, and the
// drawing of a packed bitmap (header, colour masks or table, bits) into one,
// straight or stretched and mirrored. Packed bitmaps come from files, so the
// drawing checks every size and clips every write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform::gdi {

// Compression kinds of a bitmap header.
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;

// The 40-byte bitmap-info header.
struct BitmapInfoHeader {
  uint32_t size = 40;
  int32_t width = 0;
  int32_t height = 0;  // negative: rows run top down
  uint16_t planes = 1;
  uint16_t bit_count = 0;
  uint32_t compression = kBiRgb;
  uint32_t size_image = 0;
  int32_t x_pels_per_meter = 0;
  int32_t y_pels_per_meter = 0;
  uint32_t colors_used = 0;
  uint32_t colors_important = 0;
};

struct RgbQuad {
  uint8_t blue, green, red, reserved;
};

// A packed bitmap as a caller hands it over. The masks count for bit-field
// compression; the colour table for 1, 4 and 8 bits.
struct PackedDib {
  BitmapInfoHeader header;
  uint32_t masks[3] = {0, 0, 0};
  const RgbQuad* colors = nullptr;
  int color_count = 0;
  const uint8_t* bits = nullptr;
  size_t bits_size = 0;
};

// Reads a packed bitmap from memory: the bitmap-info header (40 bytes or a
// later version), the three masks after a 40-byte header with bit fields,
// the colour table (the colours used, else the full table for 1, 4 and 8
// bits), then the bits to the end. The result points into the data. False
// when the data is too short for its header, masks or table.
bool ReadPackedDib(const uint8_t* data, size_t size, PackedDib* out);

// Largest bitmap decoded, in pixels (4096 x 4096).
constexpr uint64_t kMaxDibPixels = 1ull << 24;

// A bitmap section: 16 bits with masks, 24 bits, or 32 bits with masks;
// rows DWORD-aligned, zeroed at creation.
class DibSection {
 public:
  // Null for a size outside 1..65535 (height negative for top-down rows), a
  // bit count other than 16, 24 or 32, or more than kMaxDibPixels pixels.
  // Masks (red, green, blue) apply to 16 and 32 bits; null gives 5-5-5 and
  // 8-8-8.
  static std::unique_ptr<DibSection> Create(int width, int height, int bit_count,
                                            const uint32_t* masks);

  int width() const { return width_; }
  int height() const { return height_; }
  bool top_down() const { return top_down_; }
  int bit_count() const { return bit_count_; }
  int pitch() const { return pitch_; }
  const uint32_t* masks() const { return masks_; }
  uint8_t* bits() { return bits_.data(); }
  const uint8_t* bits() const { return bits_.data(); }
  // Row y counted from the top of the picture, whatever the memory order.
  uint8_t* Row(int y);
  // Writes one 0x00RRGGBB colour at (x, y) from the top; outside is ignored.
  void SetPixel(int x, int y, uint32_t rgb);
  uint32_t GetPixel(int x, int y) const;

 private:
  DibSection() = default;
  int width_ = 0, height_ = 0, bit_count_ = 0, pitch_ = 0;
  bool top_down_ = false;
  uint32_t masks_[3] = {0, 0, 0};
  // Where the masks' channels sit, measured once.
  uint8_t shifts_[3] = {0, 0, 0};
  uint8_t widths_[3] = {0, 0, 0};
  std::vector<uint8_t> bits_;
};

// Decodes a packed bitmap into 0x00RRGGBB pixels, rows top to bottom.
// Refused (false): sizes outside 1..65535 or above kMaxDibPixels, bit counts
// and compressions that do not go together, top-down run-length data,
// uncompressed bits shorter than the picture. Run-length data is decoded as
// far as it goes; pixels it never reaches stay black.
bool DecodePackedDib(const PackedDib& dib, std::vector<uint32_t>* pixels);

// Draws a packed bitmap into the section: the source rectangle (x, y from
// the top, width, height) onto the destination rectangle, nearest pixel when
// the sizes differ, mirrored when the destination width is negative (drawn
// from its last column to its first). Returns the rows drawn, 0 on refusal.
int StretchDibToSection(DibSection* section, int dst_x, int dst_y, int dst_width, int dst_height,
                        int src_x, int src_y, int src_width, int src_height,
                        const PackedDib& dib);
// The whole bitmap at (0, 0), unscaled.
int SetDibToSection(DibSection* section, const PackedDib& dib);

}  // namespace platform::gdi
