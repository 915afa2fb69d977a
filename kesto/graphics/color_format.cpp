#include "graphics/color_format.h"

#include <cstring>

#include "graphics/graphics_host.h"
#include "graphics/screen.h"

namespace {

ScreenColorFormat g_screen_format;

constexpr uint32_t kShiftMaskRows[4][5] = {
    {0xFFFFFFFFu, 0x7BEF7BEFu, 0x39E739E7u, 0x18E318E3u, 0x08610861u},
    {0xFFFFFFFFu, 0x3DEF3DEFu, 0x1CE71CE7u, 0x0C630C63u, 0x04210421u},
    {0x00FFFFFFu, 0x007F7F7Fu, 0x003F3F3Fu, 0x001F1F1Fu, 0x000F0F0Fu},
    {0, 0, 0, 0, 0}};

void MeasureMask(uint32_t mask, uint8_t* shift, uint8_t* width) {
  *shift = 0;
  *width = 0;
  if (!mask) return;
  int s = 0;
  while (!((mask >> s) & 1u)) ++s;
  int w = 0;
  while (s + w < 32 && ((mask >> (s + w)) & 1u)) ++w;
  *shift = static_cast<uint8_t>(s);
  *width = static_cast<uint8_t>(w);
}

void FinishUnusedMask(ColorFormatHeader* h) {
  const int total = h->red_width + h->green_width + h->blue_width + h->alpha_width;
  if (total == h->color_bits) {
    h->unused_mask = 0;
    return;
  }
  const uint32_t all = h->color_bits >= 32 ? 0xFFFFFFFFu : ((1u << h->color_bits) - 1u);
  h->unused_mask = all & ~(h->red_mask | h->green_mask | h->blue_mask | h->alpha_mask);
}

// A channel's mask shifted right by k, kept inside the channel; twice for
// 16-bit formats (two pixels per 32-bit word).
uint32_t ChannelShiftMask(uint32_t mask, int k, int bits) {
  uint32_t m = (mask >> k) & mask;
  if (bits == 16) m |= m << 16;
  return m;
}

uint32_t PackChannel(int value, int width, int shift) {
  if (width == 0) return 0;
  const uint32_t v = static_cast<uint32_t>(value) & 255u;
  // Channels wider than 8 bits keep the byte in their top bits.
  return width <= 8 ? (v >> (8 - width)) << shift : (v << (width - 8)) << shift;
}

}  // namespace

ScreenColorFormat& ScreenFormat() { return g_screen_format; }

uint32_t ShiftMaskRow(int format_class, int k) {
  if (format_class < 0 || format_class > 3 || k < 0 || k > 4) return 0;
  return kShiftMaskRows[format_class][k];
}

uint32_t PackColorForFormat(const ColorFormatHeader& f, int red, int green, int blue, int alpha) {
  uint32_t v = PackChannel(red, f.red_width, f.red_shift) |
               PackChannel(green, f.green_width, f.green_shift) |
               PackChannel(blue, f.blue_width, f.blue_shift);
  if (f.alpha_width) v |= PackChannel(alpha, f.alpha_width, f.alpha_shift);
  return v;
}

int PackRgbColorBody(int red, int green, int blue) {
  const ColorFormatHeader& f = g_screen_format.block.header;
  if (GetScreenColorBits() != 8) {
    return static_cast<int>(PackColorForFormat(f, red, green, blue, 0) | f.unused_mask);
  }
  const int r = red & 255, g = green & 255, b = blue & 255;
  int best = 0;
  int best_distance = 0xFFFFFF;
  const PaletteColor* pal = g_screen_format.block.palette;
  for (int i = 0; i < 256; ++i) {
    const int dr = pal[i].red - r, dg = pal[i].green - g, db = pal[i].blue - b;
    const int d = dr * dr + dg * dg + db * db;
    if (d < best_distance) {
      best_distance = d;
      best = i;
    }
  }
  return best;
}

int GetColorComponents(int value, int* red, int* green, int* blue) {
  int r, g, b;
  if (GetScreenColorBits() == 8) {
    if (value < 0 || value > 255) return -1;
    const PaletteColor& p = g_screen_format.block.palette[value];
    r = p.red;
    g = p.green;
    b = p.blue;
  } else {
    const ColorFormatHeader& f = g_screen_format.block.header;
    const uint32_t v = static_cast<uint32_t>(value);
    auto channel = [v](uint32_t mask, int shift, int width) -> int {
      if (width == 0) return 0;
      const uint64_t max = (1ull << width) - 1;
      return static_cast<int>(((v & mask) >> shift) * 255ull / max);
    };
    r = channel(f.red_mask, f.red_shift, f.red_width);
    g = channel(f.green_mask, f.green_shift, f.green_width);
    b = channel(f.blue_mask, f.blue_shift, f.blue_width);
  }
  if (red) *red = r;
  if (green) *green = g;
  if (blue) *blue = b;
  return 0;
}

int BuildColorFormatFromMasks(ColorFormatHeader* out, int color_bits, uint32_t red,
                              uint32_t green, uint32_t blue, uint32_t alpha) {
  std::memset(out, 0, sizeof *out);
  out->color_bits = static_cast<uint16_t>(color_bits);
  out->bytes_per_pixel = static_cast<uint16_t>(color_bits / 8);
  out->red_mask = red;
  out->green_mask = green;
  out->blue_mask = blue;
  out->alpha_mask = alpha;
  MeasureMask(red, &out->red_shift, &out->red_width);
  MeasureMask(green, &out->green_shift, &out->green_width);
  MeasureMask(blue, &out->blue_shift, &out->blue_width);
  MeasureMask(alpha, &out->alpha_shift, &out->alpha_width);
  FinishUnusedMask(out);
  return 0;
}

int BuildColorFormatFromPixelFormat(const platform::video::PixelFormat& pf,
                                    ColorFormatHeader* out) {
  return BuildColorFormatFromMasks(out, static_cast<int>(pf.bits), pf.red_mask, pf.green_mask,
                                   pf.blue_mask, pf.alpha_mask);
}

int SetRgb24ColorFormat(ColorFormatHeader* out) {
  BuildColorFormatFromMasks(out, 24, 0xFF0000u, 0xFF00u, 0xFFu, 0);
  out->unused_mask = 0;
  return 0;
}

int SetXrgbPaletteColorFormat(ColorFormatHeader* out) {
  BuildColorFormatFromMasks(out, 8, 0xFF0000u, 0xFF00u, 0xFFu, 0);
  out->bytes_per_pixel = 1;
  out->unused_mask = 0xFF000000u;
  return 0;
}

int SetAlpha8ColorFormat(ColorFormatHeader* out) {
  std::memset(out, 0, sizeof *out);
  out->color_bits = 8;
  out->bytes_per_pixel = 1;
  out->red_width = out->green_width = out->blue_width = out->alpha_width = 8;
  out->red_mask = out->green_mask = out->blue_mask = out->alpha_mask = 0xFF;
  return 0;
}

int IsSameColorFormat(const ColorFormatHeader& a, const ColorFormatHeader& b) {
  return a.color_bits == b.color_bits && a.red_mask == b.red_mask &&
                 a.green_mask == b.green_mask && a.blue_mask == b.blue_mask &&
                 a.alpha_mask == b.alpha_mask
             ? 1
             : 0;
}

int LogScreenColorFormat() {
  platform::video::PixelFormat pf = platform::video::DisplayFormatForBits(16);
  if (platform::video::DirectDraw* dd = GetDirectDrawObject()) dd->GetDisplayMode(nullptr, nullptr, &pf);
  g_screen_format.pixel_format = pf;
  BuildColorFormatFromPixelFormat(pf, &g_screen_format.block.header);
  const ColorFormatHeader& h = g_screen_format.block.header;
  GfxLog("カラー情報\n");
  GfxLogIndent(1);
  GfxLog("A:%08x  B:%08x  G:%08x  B:%08x", h.alpha_mask, h.red_mask, h.green_mask, h.blue_mask);
  GfxLogIndent(-1);
  SetScreenColorBits(static_cast<int>(pf.bits));
  int cls = kFormatOther;
  if (pf.bits == 16 && h.red_mask == 0xF800 && h.green_mask == 0x07E0 && h.blue_mask == 0x1F) {
    cls = kFormat565;
  } else if (pf.bits == 16 && h.red_mask == 0x7C00 && h.green_mask == 0x03E0 &&
             h.blue_mask == 0x1F) {
    cls = kFormat555;
  } else if (pf.bits == 32 && h.red_mask == 0xFF0000 && h.green_mask == 0xFF00 &&
             h.blue_mask == 0xFF) {
    cls = kFormat888;
  }
  g_screen_format.format_class = cls;
  BlendConstants& b = g_screen_format.blend;
  auto above = [](int shift, int width) { return shift + width < 32 ? 1u << (shift + width) : 0u; };
  b.carry_bits = above(h.red_shift, h.red_width) | above(h.green_shift, h.green_width) |
                 above(h.blue_shift, h.blue_width);
  b.channel_bits_without_carries = (h.red_mask | h.green_mask | h.blue_mask) & ~b.carry_bits;
  b.lowest_bits = (1u << h.red_shift) | (1u << h.green_shift) | (1u << h.blue_shift);
  UpdateBlendShiftMasks(0);
  UpdateBrightnessShiftMasks(0, 0, 0);
  return 0;
}

int UpdateBlendShiftMasks(int blend_param) {
  const int cls = g_screen_format.format_class;
  const int q = (blend_param + 1) >> 4;
  const int d = 16 - q;
  BlendConstants& b = g_screen_format.blend;
  const bool src_taken[5] = {q == 16, (q & 8) != 0, (q & 4) != 0, (q & 2) != 0, (q & 1) != 0};
  const bool dst_taken[5] = {(d & 16) != 0, (d & 8) != 0, (d & 4) != 0, (d & 2) != 0,
                             (q & 1) != 0};
  for (int k = 0; k < 5; ++k) {
    b.source_masks[k] = src_taken[k] ? ShiftMaskRow(cls, k) : 0;
    b.dest_masks[k] = dst_taken[k] ? ShiftMaskRow(cls, k) : 0;
  }
  return 0;
}

int UpdateBrightnessShiftMasks(int red, int green, int blue) {
  const ColorFormatHeader& h = g_screen_format.block.header;
  const int cls = g_screen_format.format_class;
  BlendConstants& b = g_screen_format.blend;
  const int bits = h.color_bits;
  const int levels[3] = {(red + 1) >> 4, (green + 1) >> 4, (blue + 1) >> 4};
  const uint32_t masks[3] = {h.red_mask, h.green_mask, h.blue_mask};
  for (int k = 0; k < 5; ++k) {
    uint32_t m = 0;
    if (cls != kFormatOther) {
      const int bit = 16 >> k;
      for (int c = 0; c < 3; ++c) {
        if (levels[c] & bit) m |= ChannelShiftMask(masks[c], k, bits);
      }
    }
    b.brightness_masks[k] = m;
  }
  b.red_max = h.red_width ? (1u << h.red_width) - 1 : 0;
  b.green_max = h.green_width ? (1u << h.green_width) - 1 : 0;
  b.blue_max = h.blue_width ? (1u << h.blue_width) - 1 : 0;
  return 0;
}
