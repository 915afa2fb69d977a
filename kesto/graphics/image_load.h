// Image files to graphics: the loader chain over a stream, the "_a" alpha
// companion, mirroring, 24-bit bitmap copies for the bitmap services, and
// the reload of every graphic from its file after the surfaces were lost.
#pragma once

#include <memory>
#include <string>

#include "graphics/image_stream.h"
#include "graphics/surface_upload.h"
#include "platform/gdi/dib.h"

// Tries the loaders in order, each from the start of the stream; 0 when one
// accepted the data (its output checked), -1 when none did.
int RunImageLoaders(ImageStream& stream, ImageRecord* image);

// Decodes a file (path) or a block of memory (memory_flag 1) into a record.
// With mirror_option 1 the pixels are mirrored left to right. With the
// bitmap-info flag the pixels are handed out as 24-bit bitmap rows instead
// (header and pixels; the caller frees the pixels) and out_image is left
// untouched. 0 or -1.
int LoadImageToRecord(const char* path, const void* data, size_t size, int memory_flag,
                      int bitmap_info_flag, int mirror_option, ImageRecord* out_image,
                      platform::gdi::BitmapInfoHeader* out_header, uint8_t** out_pixels);

// The main image and its alpha companion: alpha source 0 reads the file
// named after the path ("x.dat" -> "x_a.dat"), 1 the alpha memory block.
// -1 when the main image failed, 0 with the companion, 1 without.
int LoadImageWithAlphaCompanion(const char* path, const void* data, size_t size, int memory_flag,
                                const void* alpha_data, size_t alpha_size, int alpha_source,
                                ImageRecord* out_image, ImageRecord* out_alpha,
                                int mirror_option);
// The companion's file name: "_a" before the file name's last dot, or at
// its end.
std::string AlphaCompanionName(const std::string& path);

int MakeGraphicFromImages(ImageRecord* image, ImageRecord* alpha, int want_texture, int mirror,
                          int mirror_back);
int MakeGraphicForImage(const ImageRecord* image, const ImageRecord* alpha, int want_texture);

// 24-bit top-down bitmap rows of an image: -1 on failure, 1 when a new
// buffer was made (the caller frees it with FreeImagePixels), else the copy
// flag's value when the image's own pixels are handed out.
int ImageToBitmapInfo(const ImageRecord* image, platform::gdi::BitmapInfoHeader* out_header,
                      uint8_t** out_pixels, int copy_flag);
// A bitmap section holding 24-bit rows (from ImageToBitmapInfo), in the
// colour format given (or 24 bits), mirrored on request; null on failure.
std::unique_ptr<platform::gdi::DibSection> ImageToDibSection(
    const platform::gdi::BitmapInfoHeader& header, const uint8_t* pixels, int mirror,
    ColorFormatHeader* format);

// The whole load of a file into a graphic; the public entry passes
// want-texture 1, mirror 0, movie option 0.
int LoadImageFileToGraphicBody(const char* path, int want_texture, int mirror, int movie_option);
