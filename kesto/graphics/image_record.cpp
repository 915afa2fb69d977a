#include "graphics/image_record.h"

#include <algorithm>
#include <cstring>

#include "graphics/graphics_host.h"

bool ImageSizeAllowed(int64_t width, int64_t height, int64_t pitch) {
  if (width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide) return false;
  if (pitch < 1) return false;
  return static_cast<uint64_t>(pitch) * static_cast<uint64_t>(height) <= kMaxImageBytes;
}

uint8_t* AllocImagePixels(uint64_t bytes, const char* source) {
  if (bytes == 0 || bytes > kMaxImageBytes) return nullptr;
  return static_cast<uint8_t*>(GfxAlloc(static_cast<size_t>(bytes), source, __LINE__));
}

void FreeImagePixels(void* pixels) {
  if (pixels) GfxFree(pixels);
}

namespace {

bool ChannelFits(uint32_t mask, int shift, int width, uint32_t pixel_bits) {
  if (width == 0) return mask == 0;
  if (width > 32 || shift > 31 || shift + width > 32) return false;
  const uint64_t expect = ((width == 32 ? 0xFFFFFFFFull : ((1ull << width) - 1)) << shift);
  return static_cast<uint64_t>(mask) == expect && (mask & ~pixel_bits) == 0;
}

}  // namespace

bool IsImageRecordUsable(const ImageRecord& image) {
  const ColorFormatHeader& h = image.format.header;
  if (h.color_bits != 8 && h.color_bits != 16 && h.color_bits != 24 && h.color_bits != 32) {
    return false;
  }
  if (h.bytes_per_pixel != h.color_bits / 8 || !image.pixels) return false;
  if (!ImageSizeAllowed(image.width, image.height, image.pitch)) return false;
  if (static_cast<int64_t>(image.pitch) < static_cast<int64_t>(image.width) * h.bytes_per_pixel) {
    return false;
  }
  const bool palette = h.color_bits == 8 && ((h.red_mask | h.green_mask | h.blue_mask) & ~0xFFu);
  const uint32_t bits = palette ? 0xFFFFFFu : h.color_bits == 32 ? 0xFFFFFFFFu
                                                                  : ((1u << h.color_bits) - 1u);
  if (palette && h.alpha_width) return false;
  return ChannelFits(h.red_mask, h.red_shift, h.red_width, bits) &&
         ChannelFits(h.green_mask, h.green_shift, h.green_width, bits) &&
         ChannelFits(h.blue_mask, h.blue_shift, h.blue_width, bits) &&
         ChannelFits(h.alpha_mask, h.alpha_shift, h.alpha_width, bits);
}

void CompleteImageFormat(ColorFormatHeader* f) {
  // Palette images keep their mask of the palette entry's fourth byte.
  if (f->color_bits == 8 && ((f->red_mask | f->green_mask | f->blue_mask) & ~0xFFu)) return;
  if (f->red_width + f->green_width + f->blue_width + f->alpha_width == f->color_bits) {
    f->unused_mask = 0;
    return;
  }
  const uint32_t all = f->color_bits >= 32 ? 0xFFFFFFFFu : ((1u << f->color_bits) - 1u);
  f->unused_mask = all & ~(f->red_mask | f->green_mask | f->blue_mask | f->alpha_mask);
}

int ReleaseImageRecord(ImageRecord* image) {
  if (!image) return 0;
  FreeImagePixels(image->pixels);
  std::memset(image, 0, sizeof *image);
  return 0;
}

int MirrorImageRows(ImageRecord* image) {
  if (!image || image->width <= 0 || image->height <= 0) return -1;
  const int bytes = image->format.header.bytes_per_pixel;
  if (bytes < 1 || bytes > 4 || !image->pixels) return 0;
  for (int y = 0; y < image->height; ++y) {
    uint8_t* row = image->pixels + static_cast<size_t>(y) * image->pitch;
    for (int i = 0; i < image->width / 2; ++i) {
      uint8_t* a = row + static_cast<size_t>(i) * bytes;
      uint8_t* b = row + static_cast<size_t>(image->width - 1 - i) * bytes;
      std::swap_ranges(a, a + bytes, b);
    }
  }
  return 0;
}

void SetGreyImageFormat(ColorFormatHeader* format) { SetAlpha8ColorFormat(format); }

void SetArgb32ImageFormat(ColorFormatHeader* format) {
  BuildColorFormatFromMasks(format, 32, 0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u);
}
