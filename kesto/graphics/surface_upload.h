// Putting decoded pixels into a graphic: the source set every upload passes
// along, and the uploads into 2D surfaces and into a whole graphic.
#pragma once

#include <cstdint>

#include "graphics/color_format.h"
#include "platform/video/video_types.h"

// A decoded image as image loading fills it: its layout, size, row pitch
// (rows top to bottom) and pixels.
struct ImageRecord {
  ColorFormatBlock format;
  int32_t width;
  int32_t height;
  int32_t pitch;
  uint8_t* pixels;
};

// The argument group every upload passes through unchanged.
struct UploadSourceSet {
  int conversion_option;
  void* main_bitmap;   // GDI bitmaps: the source when source_kind is 1
  void* alpha_bitmap;
  int source_kind;
  const ImageRecord* main;
  const ImageRecord* alpha;  // null when absent
};

// Converts a rectangle between any two layouts (pixel-format conversion).
int ConvertPixelRect(void* dst, int dst_pitch, const ColorFormatBlock* dst_format,
                     const void* src, int src_pitch, const ColorFormatBlock* src_format,
                     const void* alpha, int alpha_pitch, const ColorFormatBlock* alpha_format,
                     int dst_x, int dst_y, const platform::video::Rect* src_rect, int mirror,
                     int transparent_flag, uint32_t transparent_color, int dither,
                     int force_general);

int UploadImageToSurface2D(const UploadSourceSet& source, const platform::video::Rect& src_rect,
                           int dest_x, int dest_y, int surface2d);
int UploadImageToSurface2DPart(const UploadSourceSet& source, int src_x, int src_y,
                               int surface2d);
int UploadImageToGraphicAt(const UploadSourceSet& source, int src_x, int src_y, int graphic);
int UploadImageToGraphicParts(const UploadSourceSet& source,
                              const platform::video::Rect& src_rect, int dest_x, int dest_y,
                              int graphic);

int UploadImagesToGraphic(int mode0, int mode1, int mode2, const char* file_name,
                          int upload_option, const ImageRecord* image,
                          const ImageRecord* alpha_image, int origin_x, int origin_y, int graphic,
                          int mirror_option);
int UploadImageRectToGraphic(int mode0, int mode1, int mode2, const char* file_name,
                             int upload_option, const ImageRecord* image,
                             const ImageRecord* alpha_image, const platform::video::Rect& rect,
                             int dest_x, int dest_y, int graphic, int mirror_option);
