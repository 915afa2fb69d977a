// PNG through libpng: a read callback over the image stream, errors that
// jump back here, the library's messages in the log. Pictures come out as
// 8-bit grey, blue-green-red, or blue-green-red-alpha, whatever their colour
// type, bit depth, transparency chunk or interlacing.
#include <png.h>

#include <cstring>

#include "graphics/graphics_host.h"
#include "graphics/image_decoders.h"
#include "graphics/image_record.h"

namespace {

void ReadFromStream(png_structp png, png_bytep data, png_size_t length) {
  ImageStream* stream = static_cast<ImageStream*>(png_get_io_ptr(png));
  if (stream->Read(data, length) != length) png_error(png, "Read Error");
}

void OnError(png_structp png, png_const_charp message) {
  GfxLog("PNG: %s\n", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp message) { GfxLog("PNG: %s\n", message); }

// What must survive a jump back lives here, outside the frame that calls
// setjmp; the frame itself keeps only plain data.
struct PngJob {
  png_structp png;
  png_infop info;
  uint8_t* pixels;
  png_bytep* rows;
};

void FreeJob(PngJob* job) {
  png_destroy_read_struct(&job->png, job->info ? &job->info : nullptr, nullptr);
  FreeImagePixels(job->pixels);
  FreeImagePixels(job->rows);
  job->pixels = nullptr;
  job->rows = nullptr;
}

int Decode(ImageStream& stream, ImageRecord* image, PngJob* job) {
  // The installed library's own version: older version strings are refused.
  job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!job->png) return -1;
  job->info = png_create_info_struct(job->png);
  if (!job->info) {
    FreeJob(job);
    return -1;
  }
  if (setjmp(png_jmpbuf(job->png))) {
    FreeJob(job);
    return -1;
  }
  png_structp png = job->png;
  png_infop info = job->info;
  png_set_read_fn(png, &stream, ReadFromStream);
  png_set_user_limits(png, static_cast<png_uint_32>(kMaxImageSide),
                      static_cast<png_uint_32>(kMaxImageSide));
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const int color_type = png_get_color_type(png, info);
  const bool has_trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  png_set_strip_16(png);
  png_set_packing(png);
  png_set_packswap(png);
  if (color_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (color_type == PNG_COLOR_TYPE_GRAY) png_set_expand_gray_1_2_4_to_8(png);
  if (has_trns) png_set_tRNS_to_alpha(png);
  // Grey with alpha (its own channel or a transparency chunk) becomes
  // colour with alpha: the grey layout has no room for a second channel.
  if ((color_type & PNG_COLOR_MASK_COLOR) == 0 &&
      ((color_type & PNG_COLOR_MASK_ALPHA) || has_trns)) {
    png_set_gray_to_rgb(png);
  }
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  // The layout is taken from what the transformations give, not from the
  // file's colour type.
  const int channels = png_get_channels(png, info);
  const size_t row_bytes = png_get_rowbytes(png, info);
  if ((channels != 1 && channels != 3 && channels != 4) ||
      row_bytes != static_cast<size_t>(width) * channels ||
      !ImageSizeAllowed(width, height, static_cast<int64_t>(row_bytes))) {
    FreeJob(job);
    return -1;
  }
  job->pixels = AllocImagePixels(static_cast<uint64_t>(row_bytes) * height, kClibSource);
  job->rows = static_cast<png_bytep*>(
      static_cast<void*>(AllocImagePixels(sizeof(png_bytep) * height, kClibSource)));
  if (!job->pixels || !job->rows) {
    FreeJob(job);
    return -1;
  }
  for (png_uint_32 y = 0; y < height; ++y) job->rows[y] = job->pixels + row_bytes * y;
  png_read_image(png, job->rows);
  png_read_end(png, nullptr);
  image->width = static_cast<int>(width);
  image->height = static_cast<int>(height);
  image->pitch = static_cast<int>(row_bytes);
  if (channels == 1) {
    SetGreyImageFormat(&image->format.header);
  } else if (channels == 4) {
    SetArgb32ImageFormat(&image->format.header);
  } else {
    SetRgb24ColorFormat(&image->format.header);
  }
  image->pixels = job->pixels;
  job->pixels = nullptr;
  FreeJob(job);
  return 0;
}

}  // namespace

int LoadPngImage(ImageStream& stream, ImageRecord* image) {
  // Only data with the signature reaches the library, so the formats tried
  // after this loader leave no message behind.
  png_byte signature[8];
  if (!stream.ReadExact(signature, 8) || png_sig_cmp(signature, 0, 8) != 0 || !stream.Seek(0, 0)) {
    return -1;
  }
  PngJob job{};
  return Decode(stream, image, &job);
}
