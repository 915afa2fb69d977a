#include "graphics/surface_upload.h"

#include <algorithm>

#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/screen.h"
#include "graphics/surface_2d.h"
#include "graphics/texture_part.h"

using platform::video::Rect;

namespace {

bool Inside(const Rect& r, int width, int height) {
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && !r.Empty();
}

uint32_t LoadPixel(const uint8_t* p, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  return v;
}

// One alpha byte per pixel from a channel of an image.
void CopyChannel(uint8_t* dst, int dst_pitch, const ImageRecord& image, const Rect& r,
                 uint32_t mask, int shift, int width) {
  const int bytes = image.format.header.bytes_per_pixel;
  const uint32_t max = width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u);
  for (int y = r.top; y < r.bottom; ++y) {
    const uint8_t* row = image.pixels + static_cast<size_t>(y) * image.pitch;
    uint8_t* out = dst + static_cast<size_t>(y - r.top) * dst_pitch;
    for (int x = r.left; x < r.right; ++x) {
      const uint32_t v = LoadPixel(row + static_cast<size_t>(x) * bytes, bytes);
      out[x - r.left] = static_cast<uint8_t>(((v & mask) >> shift) * 255u / max);
    }
  }
}

void FillAlphaBuffer(SurfaceRecord& record, int x, int y, const UploadSourceSet& source,
                     const Rect& src_rect) {
  uint8_t* dst = record.alpha_buffer + static_cast<size_t>(y) * record.alpha_pitch + x;
  const ImageRecord* alpha = source.alpha;
  if (alpha && Inside(src_rect, alpha->width, alpha->height)) {
    const ColorFormatHeader& h = alpha->format.header;
    if (h.color_bits == 24) {
      // A grey companion: any one of its three bytes is the alpha.
      ExtractEveryThirdByte(dst, static_cast<int>(record.alpha_pitch),
                            alpha->pixels + static_cast<size_t>(src_rect.top) * alpha->pitch +
                                static_cast<size_t>(src_rect.left) * 3,
                            alpha->pitch, src_rect.Width(), src_rect.Height());
      // ExtractEveryThirdByte writes rows of width bytes; move them to the pitch.
      if (record.alpha_pitch != static_cast<uint32_t>(src_rect.Width())) {
        for (int row = src_rect.Height() - 1; row > 0; --row) {
          std::copy_n(dst + static_cast<size_t>(row) * src_rect.Width(), src_rect.Width(),
                      dst + static_cast<size_t>(row) * record.alpha_pitch);
        }
      }
    } else if (h.color_bits == 8 && h.bytes_per_pixel == 1 && h.unused_mask == 0xFF000000u) {
      for (int row = 0; row < src_rect.Height(); ++row) {
        const uint8_t* s = alpha->pixels + static_cast<size_t>(src_rect.top + row) * alpha->pitch;
        for (int col = 0; col < src_rect.Width(); ++col) {
          dst[static_cast<size_t>(row) * record.alpha_pitch + col] =
              alpha->format.palette[s[src_rect.left + col]].red;
        }
      }
    } else {
      CopyChannel(dst, static_cast<int>(record.alpha_pitch), *alpha, src_rect, h.red_mask,
                  h.red_shift, h.red_width);
    }
    return;
  }
  const ColorFormatHeader& h = source.main->format.header;
  if (h.alpha_width) {
    CopyChannel(dst, static_cast<int>(record.alpha_pitch), *source.main, src_rect, h.alpha_mask,
                h.alpha_shift, h.alpha_width);
  }
}

}  // namespace

int UploadImageToSurface2D(const UploadSourceSet& source, const Rect& src_rect, int dest_x,
                           int dest_y, int surface2d) {
  if (!GetDirectDrawObject()) return -1;
  if (GetDrawState().suspended) return 0;
  Surface2D* part = GetSurface2D(surface2d);
  SurfaceRecord* record = part ? GetSurfaceRecord(part->surface_record) : nullptr;
  if (!record || !record->surface) return -1;
  if (GetScreenColorBits() == 8 || source.source_kind == 1) {
    // Bitmap sources belong to 8-bit screens, which this display never sets.
    GfxLog("GraphImage を BMP に変換する処理が失敗しました");
    return -1;
  }
  const ImageRecord* image = source.main;
  const Rect dst{part->surface_x + dest_x, part->surface_y + dest_y,
                 part->surface_x + dest_x + src_rect.Width(),
                 part->surface_y + dest_y + src_rect.Height()};
  if (!image || !image->pixels || !Inside(src_rect, image->width, image->height) ||
      !Inside(dst, record->width, record->height)) {
    return -1;
  }
  int pitch = 0;
  uint8_t* pixels = nullptr;
  const int locked = LockSurfaceRecord(part->surface_record, &pitch, &pixels, &dst, 1);
  if (locked == -1) {
    GfxLog("２Ｄサーフェスのロックに失敗しました");
    return -1;
  }
  if (locked == -2) {
    // Already locked for the whole surface: address the rectangle in it.
    pixels += static_cast<size_t>(dst.top) * pitch +
              static_cast<size_t>(dst.left) * record->surface->bytes_per_pixel();
  }
  ConvertPixelRect(pixels, pitch, GetScreenColorFormat(), image->pixels, image->pitch,
                   &image->format, nullptr, 0, nullptr, 0, 0, &src_rect,
                   source.conversion_option & 1, 0, 0, 0, 0);
  UnlockSurfaceRecord(part->surface_record, &dst);
  if (record->alpha_buffer) FillAlphaBuffer(*record, dst.left, dst.top, source, src_rect);
  SetSurfaceColorKey(part->surface_record);
  return 0;
}

int UploadImageToSurface2DPart(const UploadSourceSet& source, int src_x, int src_y,
                               int surface2d) {
  const Surface2D* part = GetSurface2D(surface2d);
  if (!part) return -1;
  const Rect r{src_x, src_y, src_x + part->width, src_y + part->height};
  return UploadImageToSurface2D(source, r, 0, 0, surface2d);
}

int UploadImageToGraphicAt(const UploadSourceSet& source, int src_x, int src_y, int graphic) {
  if (!GetDirectDrawObject()) return -1;
  const GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  for (int i = 0; i < g->part_count; ++i) {
    const Surface2D* part = GetSurface2D(g->parts[i]);
    if (!part) return -1;
    if (UploadImageToSurface2DPart(source, part->part_x + src_x, part->part_y + src_y,
                                   g->parts[i]) != 0) {
      return -1;
    }
  }
  return 0;
}

int UploadImageToGraphicParts(const UploadSourceSet& source, const Rect& src_rect, int dest_x,
                              int dest_y, int graphic) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g) return -1;
  const Rect placed{dest_x, dest_y, dest_x + src_rect.Width(), dest_y + src_rect.Height()};
  for (int i = 0; i < g->part_count; ++i) {
    const Surface2D* part = GetSurface2D(g->parts[i]);
    if (!part) return -1;
    const Rect area{part->part_x, part->part_y, part->part_x + part->width,
                    part->part_y + part->height};
    const Rect o = platform::video::Intersect(placed, area);
    if (o.Empty()) continue;
    const Rect from{src_rect.left + o.left - dest_x, src_rect.top + o.top - dest_y,
                    src_rect.left + o.right - dest_x, src_rect.top + o.bottom - dest_y};
    if (UploadImageToSurface2D(source, from, o.left - part->part_x, o.top - part->part_y,
                               g->parts[i]) != 0) {
      return -1;
    }
  }
  return 0;
}

int UploadImagesToGraphic(int, int, int, const char* file_name, int upload_option,
                          const ImageRecord* image, const ImageRecord* alpha_image, int origin_x,
                          int origin_y, int graphic, int mirror_option) {
  GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g || !image) return -1;
  SetGraphicFileName(graphic, file_name);
  g->mirror_option = mirror_option;
  g->origin_x = static_cast<uint16_t>(origin_x);
  g->origin_y = static_cast<uint16_t>(origin_y);
  const UploadSourceSet source{upload_option, nullptr, nullptr, 0, image, alpha_image};
  if (g->texture) return UploadImageToTextureParts(source, origin_x, origin_y, graphic);
  return UploadImageToGraphicAt(source, origin_x, origin_y, graphic);
}

int UploadImageRectToGraphic(int, int, int, const char* file_name, int upload_option,
                             const ImageRecord* image, const ImageRecord* alpha_image,
                             const Rect& rect, int dest_x, int dest_y, int graphic,
                             int mirror_option) {
  GraphicRecord* g = GetGraphicRecord(graphic);
  if (!g || !image) return -1;
  SetGraphicFileName(graphic, file_name);
  g->mirror_option = mirror_option;
  // The origin comes from the rectangle's first and third fields, as the
  // font cache (its only caller) fills them.
  g->origin_x = static_cast<uint16_t>(rect.left);
  g->origin_y = static_cast<uint16_t>(rect.right);
  const UploadSourceSet source{upload_option, nullptr, nullptr, 0, image, alpha_image};
  if (g->texture) return UploadImageRectToTextureParts(source, rect, dest_x, dest_y, graphic);
  return UploadImageToGraphicParts(source, rect, dest_x, dest_y, graphic);
}
