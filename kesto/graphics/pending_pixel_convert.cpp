// Stand-in for the pixel-format converter until it is built: the general
// per-pixel path through the channel masks, without alpha merge, transparent
// colour or dithering.
#include <cstring>

#include "graphics/surface_upload.h"

namespace {
uint32_t Load(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  return v;
}
void Store(uint8_t* p, int bytes, uint32_t v) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
int Expand(uint32_t v, uint32_t mask, int shift, int width) {
  if (!width) return 255;
  const uint32_t max = (width >= 32) ? 0xFFFFFFFFu : ((1u << width) - 1u);
  return static_cast<int>(((v & mask) >> shift) * 255u / max);
}
}  // namespace

int ConvertPixelRect(void* dst, int dst_pitch, const ColorFormatBlock* dst_format,
                     const void* src, int src_pitch, const ColorFormatBlock* src_format,
                     const void*, int, const ColorFormatBlock*, int dst_x, int dst_y,
                     const platform::video::Rect* src_rect, int mirror, int, uint32_t, int,
                     int) {
  const ColorFormatHeader& d = dst_format->header;
  const ColorFormatHeader& s = src_format->header;
  const int db = d.bytes_per_pixel, sb = s.bytes_per_pixel;
  if (db < 1 || db > 4 || sb < 1 || sb > 4) return 0;
  const int w = src_rect->Width();
  for (int y = src_rect->top; y < src_rect->bottom; ++y) {
    const uint8_t* srow = static_cast<const uint8_t*>(src) + static_cast<size_t>(y) * src_pitch;
    uint8_t* drow = static_cast<uint8_t*>(dst) +
                    static_cast<size_t>(dst_y + y - src_rect->top) * dst_pitch;
    for (int i = 0; i < w; ++i) {
      const uint32_t v = Load(srow + static_cast<size_t>(src_rect->left + i) * sb, sb);
      int r, g, b, a;
      if (s.color_bits == 8 && s.red_width == 8 && s.red_shift == 16) {
        const PaletteColor& p = src_format->palette[v & 255];
        r = p.red, g = p.green, b = p.blue, a = 255;
      } else {
        r = Expand(v, s.red_mask, s.red_shift, s.red_width);
        g = Expand(v, s.green_mask, s.green_shift, s.green_width);
        b = Expand(v, s.blue_mask, s.blue_shift, s.blue_width);
        a = Expand(v, s.alpha_mask, s.alpha_shift, s.alpha_width);
      }
      const int x = dst_x + (mirror ? w - 1 - i : i);
      Store(drow + static_cast<size_t>(x) * db, db,
            PackColorForFormat(d, r, g, b, a) | d.unused_mask);
    }
  }
  return 0;
}
