#include "platform/gdi/text_dc.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gdi/char_codes.h"

namespace platform::gdi {

std::unique_ptr<IndexedDibSection> IndexedDibSection::Create(int width, int height,
                                                             int bit_count, int usage,
                                                             const RgbQuad* colors,
                                                             int color_count) {
  if (width < 1 || width > 65535 || height == 0 || height < -65535 || height > 65535) {
    return nullptr;
  }
  if (bit_count != 1 && bit_count != 8 && bit_count != 16) return nullptr;
  const int rows = height < 0 ? -height : height;
  if (static_cast<uint64_t>(width) * rows > kMaxDibPixels) return nullptr;
  std::unique_ptr<IndexedDibSection> s(new IndexedDibSection());
  s->width_ = width;
  s->height_ = rows;
  s->bit_count_ = bit_count;
  s->usage_ = usage;
  s->top_down_ = height < 0;
  s->pitch_ = ((width * bit_count + 31) / 32) * 4;
  s->bits_.assign(static_cast<size_t>(s->pitch_) * rows, 0);
  if (colors && bit_count <= 8) {
    const int n = std::clamp(color_count, 0, 1 << bit_count);
    s->colors_.assign(colors, colors + n);
  }
  return s;
}

uint8_t* IndexedDibSection::Row(int y) {
  const int row = top_down_ ? y : height_ - 1 - y;
  return bits_.data() + static_cast<size_t>(row) * pitch_;
}

void IndexedDibSection::SetIndex(int x, int y, uint32_t index) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  uint8_t* row = Row(y);
  switch (bit_count_) {
    case 1:
      if (index & 1) {
        row[x >> 3] = static_cast<uint8_t>(row[x >> 3] | (0x80 >> (x & 7)));
      } else {
        row[x >> 3] = static_cast<uint8_t>(row[x >> 3] & ~(0x80 >> (x & 7)));
      }
      break;
    case 8: row[x] = static_cast<uint8_t>(index); break;
    default:
      row[2 * x] = static_cast<uint8_t>(index);
      row[2 * x + 1] = static_cast<uint8_t>(index >> 8);
      break;
  }
}

uint32_t IndexedDibSection::GetIndex(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* row =
      bits_.data() + static_cast<size_t>(top_down_ ? y : height_ - 1 - y) * pitch_;
  switch (bit_count_) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 8: return row[x];
    default: return static_cast<uint32_t>(row[2 * x] | (row[2 * x + 1] << 8));
  }
}

std::unique_ptr<LogicalPalette> LogicalPalette::Create(int version, const PaletteEntry* entries,
                                                       int count) {
  if (version != 0x300 || count < 1 || count > 256 || !entries) return nullptr;
  std::unique_ptr<LogicalPalette> p(new LogicalPalette());
  p->entries_.assign(entries, entries + count);
  return p;
}

std::unique_ptr<DeviceContext> DeviceContext::CreateCompatible() {
  if (GdiFaultsForTesting().fail_dc_creation) return nullptr;
  return std::unique_ptr<DeviceContext>(new DeviceContext());
}

const Font* DeviceContext::SelectFont(const Font* font) { return std::exchange(font_, font); }
IndexedDibSection* DeviceContext::SelectBitmap(IndexedDibSection* bitmap) {
  return std::exchange(bitmap_, bitmap);
}
const LogicalPalette* DeviceContext::SelectPalette(const LogicalPalette* palette, bool) {
  return std::exchange(palette_, palette);
}
uint32_t DeviceContext::SetTextColor(uint32_t color) { return std::exchange(text_color_, color); }
uint32_t DeviceContext::SetBkColor(uint32_t color) { return std::exchange(bk_color_, color); }
int DeviceContext::SetBkMode(int mode) { return std::exchange(bk_mode_, mode); }

void DeviceContext::SetClipRect(const int* r) {
  clipped_ = r != nullptr;
  if (r) std::memcpy(clip_, r, sizeof clip_);
}

bool DeviceContext::GetTextMetrics(TextMetrics* out) const {
  if (!font_ || !out) return false;
  *out = font_->metrics();
  return true;
}

bool DeviceContext::GetTextExtentPoint32(const char* text, int count, TextSize* out) const {
  if (!font_ || !out || count < 0 || (count > 0 && !text)) return false;
  out->cx = font_->TextWidth(text, count);
  out->cy = font_->metrics().height;
  return true;
}

// A palette index stands as it is; a colour on a palette bitmap takes the
// nearest entry of its colour table; on 16 bits it becomes 5-5-5.
uint32_t DeviceContext::ValueOf(uint32_t color) const {
  if ((color >> 24) == 0x01) return color & 0xFFFFu;
  const int r = color & 255, g = (color >> 8) & 255, b = (color >> 16) & 255;
  if (!bitmap_ || bitmap_->bit_count() == 16) {
    return static_cast<uint32_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
  }
  const auto& table = bitmap_->colors();
  uint32_t best = 0;
  int best_d = 1 << 30;
  for (size_t i = 0; i < table.size(); ++i) {
    const int d = (table[i].red - r) * (table[i].red - r) +
                  (table[i].green - g) * (table[i].green - g) +
                  (table[i].blue - b) * (table[i].blue - b);
    if (d < best_d) best_d = d, best = static_cast<uint32_t>(i);
  }
  return best;
}

bool DeviceContext::TextOut(int x, int y, const char* text, int count) {
  if (!font_ || !bitmap_ || count < 0 || (count > 0 && !text)) return false;
  int left = 0, top = 0, right = bitmap_->width(), bottom = bitmap_->height();
  if (clipped_) {
    left = std::max(left, clip_[0]);
    top = std::max(top, clip_[1]);
    right = std::min(right, clip_[2]);
    bottom = std::min(bottom, clip_[3]);
  }
  auto put = [&](int px, int py, uint32_t v) {
    if (px >= left && px < right && py >= top && py < bottom) bitmap_->SetIndex(px, py, v);
  };
  const TextMetrics& m = font_->metrics();
  const int charset = font_->description().charset;
  const uint32_t text_value = ValueOf(text_color_), bk_value = ValueOf(bk_color_);
  int pen = x;
  GlyphImage glyph;
  for (int i = 0; i < count;) {
    const int n = CharLength(charset, text + i, count - i);
    const uint32_t code = CharCodeAt(text + i, n);
    i += n;
    if (!font_->RenderCode(code, true, &glyph)) continue;
    if (bk_mode_ == kOpaque) {
      for (int py = y; py < y + m.height; ++py)
        for (int px = pen; px < pen + glyph.advance; ++px) put(px, py, bk_value);
    }
    const int gx = pen + glyph.left, gy = y + m.ascent - glyph.top;
    for (int row = 0; row < glyph.height; ++row) {
      const uint8_t* c = glyph.coverage.data() + static_cast<size_t>(row) * glyph.width;
      for (int col = 0; col < glyph.width; ++col) {
        if (c[col]) put(gx + col, gy + row, text_value);
      }
    }
    pen += glyph.advance;
  }
  return true;
}

uint32_t DeviceContext::GetGlyphOutline(uint32_t code, uint32_t format, GlyphMetrics* metrics,
                                        uint32_t buffer_size, void* buffer) const {
  if (!font_ || (format != kGgoBitmap && format != kGgoGray4Bitmap && format != kGgoMetrics)) {
    return kGdiError;
  }
  GlyphImage glyph;
  if (!font_->RenderCode(code, format == kGgoBitmap, &glyph)) return kGdiError;
  GlyphMetrics gm;
  const bool empty = glyph.width == 0 || glyph.height == 0;
  gm.black_box_x = empty ? 1u : static_cast<uint32_t>(glyph.width);
  gm.black_box_y = empty ? 1u : static_cast<uint32_t>(glyph.height);
  gm.origin_x = glyph.left;
  gm.origin_y = empty ? 0 : glyph.top;
  gm.cell_inc_x = static_cast<int16_t>(glyph.advance);
  if (metrics) *metrics = gm;
  if (format == kGgoMetrics) return 0;
  const uint32_t pitch = format == kGgoBitmap ? ((gm.black_box_x + 31) / 32) * 4
                                              : ((gm.black_box_x + 3) / 4) * 4;
  const uint32_t size = pitch * gm.black_box_y;
  if (!buffer || buffer_size == 0) return size;
  if (buffer_size < size) return kGdiError;
  auto* out = static_cast<uint8_t*>(buffer);
  std::memset(out, 0, size);
  if (empty) return size;
  for (int y = 0; y < glyph.height; ++y) {
    const uint8_t* c = glyph.coverage.data() + static_cast<size_t>(y) * glyph.width;
    uint8_t* row = out + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < glyph.width; ++x) {
      if (format == kGgoBitmap) {
        if (c[x]) row[x >> 3] = static_cast<uint8_t>(row[x >> 3] | (0x80 >> (x & 7)));
      } else {
        row[x] = static_cast<uint8_t>((c[x] * 16 + 127) / 255);
      }
    }
  }
  return size;
}

}  // namespace platform::gdi
