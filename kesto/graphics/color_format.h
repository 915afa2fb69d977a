// Pixel layouts and colour values: the colour-format header shared by the
// screen, surfaces, textures and images; packing and unpacking for the
// screen; the shift masks the software blitters blend with.
#pragma once

#include <cstdint>

#include "platform/video/video_types.h"

struct ColorFormatHeader {
  uint16_t color_bits;
  uint16_t bytes_per_pixel;
  uint8_t red_width, green_width, blue_width, alpha_width;
  uint8_t red_shift, green_shift, blue_shift, alpha_shift;
  uint32_t red_mask, green_mask, blue_mask, alpha_mask;
  uint32_t unused_mask;
};

struct PaletteColor {
  uint8_t blue, green, red, reserved;
};

struct ColorFormatBlock {
  ColorFormatHeader header;
  PaletteColor palette[256];
};

// The screen's format class.
enum ScreenFormatClass { kFormat565 = 0, kFormat555 = 1, kFormat888 = 2, kFormatOther = 3 };

// Software-blend constants of the screen's format.
struct BlendConstants {
  uint32_t red_max, green_max, blue_max;
  uint32_t carry_bits;
  uint32_t channel_bits_without_carries;
  uint32_t lowest_bits;
  uint32_t source_masks[5];
  uint32_t dest_masks[5];
  uint32_t brightness_masks[5];
};

struct ScreenColorFormat {
  ColorFormatBlock block;
  platform::video::PixelFormat pixel_format;
  int format_class;
  BlendConstants blend;
};

ScreenColorFormat& ScreenFormat();

int PackRgbColorBody(int red, int green, int blue);
int GetColorComponents(int value, int* red, int* green, int* blue);
uint32_t PackColorForFormat(const ColorFormatHeader& format, int red, int green, int blue,
                            int alpha);
int BuildColorFormatFromPixelFormat(const platform::video::PixelFormat& pf,
                                    ColorFormatHeader* out);
int BuildColorFormatFromMasks(ColorFormatHeader* out, int color_bits, uint32_t red,
                              uint32_t green, uint32_t blue, uint32_t alpha);
int SetRgb24ColorFormat(ColorFormatHeader* out);
int SetXrgbPaletteColorFormat(ColorFormatHeader* out);
int SetAlpha8ColorFormat(ColorFormatHeader* out);
int IsSameColorFormat(const ColorFormatHeader& a, const ColorFormatHeader& b);
int LogScreenColorFormat();
// Rebuilds the blend masks for a blend parameter (the draw state's).
int UpdateBlendShiftMasks(int blend_param);
int UpdateBrightnessShiftMasks(int red, int green, int blue);

// Shift-mask table row entry k of a format class.
uint32_t ShiftMaskRow(int format_class, int k);
