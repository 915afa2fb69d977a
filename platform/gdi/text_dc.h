// The text side of GDI as the font cache calls it: memory device contexts
// with a font, a bitmap and a palette selected, text metrics and extents,
// text output into palette bitmaps, glyph bitmaps in 1 bit and in 17 grey
// levels, and the 1-, 8- and 16-bit bitmap sections and logical palettes
// that text is written into.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/dib.h"
#include "platform/gdi/font.h"

namespace platform::gdi {

// Colour-table use of a bitmap section.
constexpr int kDibRgbColors = 0;
constexpr int kDibPalColors = 1;

// A bitmap section of 1 or 8 bits (palette indices) or 16 bits (raw
// words), rows padded to 4 bytes, zeroed at creation.
class IndexedDibSection {
 public:
  // Null for a width outside 1..65535, a height of 0 or beyond 65535
  // (negative: rows top down), another bit count, or more than
  // kMaxDibPixels pixels.
  static std::unique_ptr<IndexedDibSection> Create(int width, int height, int bit_count,
                                                   int usage, const RgbQuad* colors,
                                                   int color_count);
  int width() const { return width_; }
  int height() const { return height_; }
  int bit_count() const { return bit_count_; }
  bool top_down() const { return top_down_; }
  // Bytes per row in memory.
  int pitch() const { return pitch_; }
  // The bitmap's row bytes as an object query reports them: padded to 2
  // bytes only, so callers that address rows pad them to 4 themselves.
  int width_bytes() const { return ((width_ * bit_count_ + 15) / 16) * 2; }
  uint8_t* bits() { return bits_.data(); }
  const uint8_t* bits() const { return bits_.data(); }
  uint8_t* Row(int y);
  const std::vector<RgbQuad>& colors() const { return colors_; }

  // Writes a palette index at (x, y) from the top; outside is ignored.
  void SetIndex(int x, int y, uint32_t index);
  uint32_t GetIndex(int x, int y) const;

 private:
  IndexedDibSection() = default;
  int width_ = 0, height_ = 0, bit_count_ = 0, pitch_ = 0, usage_ = 0;
  bool top_down_ = false;
  std::vector<RgbQuad> colors_;
  std::vector<uint8_t> bits_;
};

struct PaletteEntry {
  uint8_t red, green, blue, flags;
};
constexpr uint8_t kPcExplicit = 2;

class LogicalPalette {
 public:
  // Null for a version other than 0x300 or a count outside 1..256.
  static std::unique_ptr<LogicalPalette> Create(int version, const PaletteEntry* entries,
                                                int count);
  const std::vector<PaletteEntry>& entries() const { return entries_; }

 private:
  LogicalPalette() = default;
  std::vector<PaletteEntry> entries_;
};

// Colour references: an RGB value, or an index into the selected palette.
constexpr uint32_t PaletteIndex(uint16_t index) { return 0x01000000u | index; }

// Background modes.
constexpr int kTransparent = 1;
constexpr int kOpaque = 2;

// Glyph outline formats and the failure result.
constexpr uint32_t kGgoMetrics = 0;
constexpr uint32_t kGgoBitmap = 1;
constexpr uint32_t kGgoGray4Bitmap = 5;
constexpr uint32_t kGdiError = 0xFFFFFFFFu;

struct GlyphMetrics {
  uint32_t black_box_x = 0;
  uint32_t black_box_y = 0;
  int origin_x = 0;  // left edge from the pen
  int origin_y = 0;  // top edge above the baseline
  int16_t cell_inc_x = 0;
  int16_t cell_inc_y = 0;
};

struct TextSize {
  int cx = 0;
  int cy = 0;
};

class DeviceContext {
 public:
  // A memory context compatible with the screen; null only when made to
  // fail for a test.
  static std::unique_ptr<DeviceContext> CreateCompatible();

  // Each returns what was selected before.
  const Font* SelectFont(const Font* font);
  IndexedDibSection* SelectBitmap(IndexedDibSection* bitmap);
  const LogicalPalette* SelectPalette(const LogicalPalette* palette, bool force_background);
  uint32_t SetTextColor(uint32_t color);
  uint32_t SetBkColor(uint32_t color);
  int SetBkMode(int mode);
  // Limits text output to a rectangle of the bitmap (null: the whole one).
  void SetClipRect(const int* left_top_right_bottom);

  // False without a font.
  bool GetTextMetrics(TextMetrics* out) const;
  // The width of the characters and the cell height.
  bool GetTextExtentPoint32(const char* text, int count, TextSize* out) const;
  // Writes the characters with their top-left at (x, y): with an opaque
  // background the text's box first gets the background value, then every
  // covered mono pixel the text value. Palette bitmaps take palette indices.
  bool TextOut(int x, int y, const char* text, int count);
  // A glyph as mono (kGgoBitmap: 1 bit per pixel, most significant first)
  // or grey (kGgoGray4Bitmap: levels 0..16 in a byte) rows padded to 4
  // bytes. Without a buffer, or with size 0, it gives the buffer size the
  // glyph needs; with one, it writes the bitmap when the size suffices. An
  // empty glyph reports a 1 x 1 black box. kGdiError without a font, for
  // another format, or for a buffer too small.
  uint32_t GetGlyphOutline(uint32_t code, uint32_t format, GlyphMetrics* metrics,
                           uint32_t buffer_size, void* buffer) const;

 private:
  DeviceContext() = default;
  uint32_t ValueOf(uint32_t color) const;

  const Font* font_ = nullptr;
  IndexedDibSection* bitmap_ = nullptr;
  const LogicalPalette* palette_ = nullptr;
  uint32_t text_color_ = 0;
  uint32_t bk_color_ = 0xFFFFFF;
  int bk_mode_ = kOpaque;
  bool clipped_ = false;
  int clip_[4] = {0, 0, 0, 0};
};

}  // namespace platform::gdi
