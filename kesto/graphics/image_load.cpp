#include "graphics/image_load.h"

#include <cstring>

#include "core/entry_bodies.h"
#include "graphics/device3d_services.h"
#include "graphics/draw_state.h"
#include "graphics/graphic_table.h"
#include "graphics/graphics_manager.h"
#include "graphics/graphics_host.h"
#include "graphics/image_decoders.h"
#include "graphics/image_record.h"
#include "graphics/movies.h"
#include "graphics/screen.h"

using platform::video::Rect;

namespace {

// Loaders a program registers ahead of the built-in ones. Nothing registers
// any in this program; the table is consulted all the same.
constexpr int kMaxUserLoaders = 10;
ImageLoader g_user_loaders[kMaxUserLoaders];
int g_user_loader_count = 0;

bool TryLoader(ImageLoader loader, ImageStream& stream, ImageRecord* image) {
  if (!stream.Seek(0, 0)) return false;
  ImageRecord candidate{};
  if (loader(stream, &candidate) != 0) return false;
  // A loader's output is checked before anything converts it.
  if (!IsImageRecordUsable(candidate)) {
    ReleaseImageRecord(&candidate);
    return false;
  }
  *image = candidate;
  return true;
}

bool IsStandard24(const ColorFormatHeader& h) {
  return h.color_bits == 24 && h.bytes_per_pixel == 3 && h.red_mask == 0xFF0000u &&
         h.green_mask == 0xFF00u && h.blue_mask == 0xFFu && h.alpha_mask == 0;
}

// The same layout, mirrored left to right, into a new buffer.
bool MirrorIntoNewBuffer(ImageRecord* image) {
  uint8_t* mirrored = AllocImagePixels(
      static_cast<uint64_t>(image->pitch) * static_cast<uint64_t>(image->height),
      kGraphicsSource);
  if (!mirrored) return false;
  const Rect whole{0, 0, image->width, image->height};
  ConvertPixelRect(mirrored, image->pitch, &image->format, image->pixels, image->pitch,
                   &image->format, nullptr, 0, nullptr, 0, 0, &whole, 1, 0, 0, 0, 0);
  FreeImagePixels(image->pixels);
  image->pixels = mirrored;
  return true;
}

std::unique_ptr<ImageStream> OpenSource(const char* path, const void* data, size_t size,
                                        int memory_flag) {
  if (memory_flag) return data ? OpenImageMemoryStream(data, size) : nullptr;
  return OpenImageFileStream(path);
}

}  // namespace

const ImageLoader kImageLoaderTable[7] = {LoadBmpImage, LoadJpegImage, LoadPngImage,
                                          LoadBgraImage, LoadTgaImage, LoadDdsImage, nullptr};

int RunImageLoaders(ImageStream& stream, ImageRecord* image) {
  for (int i = 0; i < g_user_loader_count; ++i) {
    if (TryLoader(g_user_loaders[i], stream, image)) return 0;
  }
  for (const ImageLoader* loader = kImageLoaderTable; *loader; ++loader) {
    if (TryLoader(*loader, stream, image)) return 0;
  }
  return -1;
}

int LoadImageToRecord(const char* path, const void* data, size_t size, int memory_flag,
                      int bitmap_info_flag, int mirror_option, ImageRecord* out_image,
                      platform::gdi::BitmapInfoHeader* out_header, uint8_t** out_pixels) {
  std::unique_ptr<ImageStream> stream = OpenSource(path, data, size, memory_flag);
  if (!stream) return -1;
  ImageRecord image{};
  if (RunImageLoaders(*stream, &image) != 0) return -1;
  stream.reset();
  if (mirror_option == 1 && !MirrorIntoNewBuffer(&image)) {
    ReleaseImageRecord(&image);
    return -1;
  }
  if (bitmap_info_flag) {
    if (!out_header || !out_pixels) {
      ReleaseImageRecord(&image);
      return -1;
    }
    const int made = ImageToBitmapInfo(&image, out_header, out_pixels, 0);
    if (made == -1 || made == 1) {
      ReleaseImageRecord(&image);  // a new buffer replaced the image's own pixels
    }
    return made == -1 ? -1 : 0;
  }
  if (!out_image) {
    ReleaseImageRecord(&image);
    return -1;
  }
  *out_image = image;
  return 0;
}

std::string AlphaCompanionName(const std::string& path) {
  // Only a dot in the file name counts: one in a directory name ("./bmp/logo")
  // is not an extension.
  const size_t name_start = path.find_last_of("/\\");
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (name_start != std::string::npos && dot < name_start)) {
    return path + "_a";
  }
  return path.substr(0, dot) + "_a" + path.substr(dot);
}

int LoadImageWithAlphaCompanion(const char* path, const void* data, size_t size, int memory_flag,
                                const void* alpha_data, size_t alpha_size, int alpha_source,
                                ImageRecord* out_image, ImageRecord* out_alpha,
                                int mirror_option) {
  if (LoadImageToRecord(path, data, size, memory_flag, 0, mirror_option, out_image, nullptr,
                        nullptr) != 0) {
    return -1;
  }
  if (alpha_source == 0) {
    if (!path) return 1;
    const std::string companion = AlphaCompanionName(path);
    return LoadImageToRecord(companion.c_str(), nullptr, 0, 0, 0, mirror_option, out_alpha,
                             nullptr, nullptr) == 0
               ? 0
               : 1;
  }
  if (alpha_source == 1 && alpha_data) {
    return LoadImageToRecord(nullptr, alpha_data, alpha_size, 1, 0, mirror_option, out_alpha,
                             nullptr, nullptr) == 0
               ? 0
               : 1;
  }
  return 1;
}

int MakeGraphicForImage(const ImageRecord* image, const ImageRecord* alpha, int want_texture) {
  EndSceneIfBegun();
  WaitWhileWindowInactive();
  if (!image) return -1;
  if (alpha && (alpha->width != image->width || alpha->height != image->height)) return -1;
  const int alpha_channel = (image->format.header.alpha_width || alpha) ? 1 : 0;
  return MakeGraphic(image->width, image->height, want_texture, alpha_channel);
}

int MakeGraphicFromImages(ImageRecord* image, ImageRecord* alpha, int want_texture, int mirror,
                          int mirror_back) {
  if (!image) return -1;
  CompleteImageFormat(&image->format.header);
  if (alpha) CompleteImageFormat(&alpha->format.header);
  EndSceneIfBegun();
  const bool both = mirror == 1 && mirror_back == 1;
  if (both) {
    MirrorImageRows(image);
    if (alpha) MirrorImageRows(alpha);
  }
  const int handle = MakeGraphicForImage(image, alpha, want_texture);
  if (handle != -1) {
    UploadImagesToGraphic(0, 0, 0, nullptr, 0, image, alpha, 0, 0, handle, 0);
  }
  if (both) {
    MirrorImageRows(image);
    if (alpha) MirrorImageRows(alpha);
  }
  return handle;
}

int ImageToBitmapInfo(const ImageRecord* image, platform::gdi::BitmapInfoHeader* out_header,
                      uint8_t** out_pixels, int copy_flag) {
  if (!image || !out_header || !out_pixels || !image->pixels) return -1;
  const int64_t stride = ((static_cast<int64_t>(image->width) + 1) * 3) & ~3ll;
  if (!ImageSizeAllowed(image->width, image->height, stride)) return -1;
  *out_header = platform::gdi::BitmapInfoHeader{};
  out_header->width = image->width;
  out_header->height = -image->height;
  out_header->planes = 1;
  out_header->bit_count = 24;
  const ColorFormatHeader& h = image->format.header;
  if (IsStandard24(h) && image->pitch == stride && copy_flag != 1) {
    *out_pixels = image->pixels;
    return copy_flag;
  }
  uint8_t* rows = AllocImagePixels(static_cast<uint64_t>(stride) * image->height, kGraphicsSource);
  if (!rows) return -1;
  if (IsStandard24(h)) {
    for (int y = 0; y < image->height; ++y) {
      std::memcpy(rows + y * stride, image->pixels + static_cast<size_t>(y) * image->pitch,
                  static_cast<size_t>(image->width) * 3);
    }
  } else {
    ColorFormatBlock rgb24{};
    SetRgb24ColorFormat(&rgb24.header);
    const Rect whole{0, 0, image->width, image->height};
    ConvertPixelRect(rows, static_cast<int>(stride), &rgb24, image->pixels, image->pitch,
                     &image->format, nullptr, 0, nullptr, 0, 0, &whole, 0, 0, 0, 0, 0);
  }
  *out_pixels = rows;
  return 1;
}

std::unique_ptr<platform::gdi::DibSection> ImageToDibSection(
    const platform::gdi::BitmapInfoHeader& header, const uint8_t* pixels, int mirror,
    ColorFormatHeader* format) {
  if (!pixels) return nullptr;
  const int height = header.height < 0 ? -header.height : header.height;
  int bits = 24;
  const uint32_t* masks = nullptr;
  uint32_t format_masks[3];
  if (format) {
    if (format->color_bits == 16 || (format->color_bits > 24 && header.bit_count != 24)) {
      bits = format->color_bits;
      format_masks[0] = format->red_mask;
      format_masks[1] = format->green_mask;
      format_masks[2] = format->blue_mask;
      masks = format_masks;
    } else {
      if (format->color_bits == 32) SetRgb24ColorFormat(format);
      bits = format->color_bits;
    }
  }
  auto section = platform::gdi::DibSection::Create(header.width, -height, bits, masks);
  if (!section) return nullptr;
  platform::gdi::PackedDib dib;
  dib.header = header;
  dib.bits = pixels;
  dib.bits_size = static_cast<size_t>(((static_cast<uint64_t>(header.width) * header.bit_count + 31) / 32) * 4 *
                                      static_cast<uint64_t>(height));
  const int drawn =
      mirror ? platform::gdi::StretchDibToSection(section.get(), 0, 0, -header.width, height, 0,
                                                  0, header.width, height, dib)
             : platform::gdi::SetDibToSection(section.get(), dib);
  return drawn ? std::move(section) : nullptr;
}

int LoadImageFileToGraphicBody(const char* path, int want_texture, int mirror, int movie_option) {
  EndSceneIfBegun();
  WaitWhileWindowInactive();
  ImageRecord image{}, alpha{};
  const int loaded =
      LoadImageWithAlphaCompanion(path, nullptr, 0, 0, nullptr, 0, 0, &image, &alpha, 0);
  if (loaded != -1) {
    if (mirror) {
      MirrorImageRows(&image);
      if (loaded == 0) MirrorImageRows(&alpha);
    }
    const int handle =
        MakeGraphicFromImages(&image, loaded == 0 ? &alpha : nullptr, want_texture, mirror, 0);
    if (handle != -1) SetGraphicFileName(handle, path);
    ReleaseImageRecord(&image);
    if (loaded == 0) ReleaseImageRecord(&alpha);
    return handle;
  }
  // No image loader took the file: it may be a movie.
  DrawState& s = GetDrawState();
  const int kept_depth = s.color_depth, kept_alpha = s.alpha_channel, kept_system = s.system_memory;
  const int usable_3d = (s.use_3d && GraphicsManager().usable_3d && !IsSystemMemoryOnly() &&
                         GetCurrentDevice3D() >= 0)
                            ? 1
                            : 0;
  if (!OpenImageFileStream(path)) {
    GfxLog("グラフィックファイル %s がありません", path ? path : "");
    return -1;
  }
  int width = 0, height = 0;
  const int movie = OpenMovieToGraph(path, &width, &height, movie_option);
  if (movie == -1) {
    GfxLog("右記のグラフィックファイルのロードに失敗しました：%s \n", path);
    return -1;
  }
  const MovieRecord* m = GetMovieRecord(movie);
  // An overlay shows itself: its graphic is a plain 2D one.
  if (m && m->surface_mode == 1) s.use_3d = 0;
  s.color_depth = GetScreenColorBits();
  s.alpha_channel = 0;
  s.system_memory = 1;
  const int handle = MakeGraphic(width, height, want_texture, 0);
  if (handle == -1) GfxLog("右記のグラフィックファイルの格納用グラフィック領域の作成に失敗しました：%s", path);
  s.color_depth = kept_depth;
  s.alpha_channel = kept_alpha;
  s.system_memory = kept_system;
  s.use_3d = usable_3d;
  if (handle == -1) return -1;
  GetGraphicRecord(handle)->movie = movie;
  SetMovieOwner(movie, handle);
  // A movie loaded while the window is active plays at once; otherwise it
  // starts when the window becomes active.
  if (!Host().window_active || Host().window_active()) ResumeMovie(handle);
  return handle;
}

int LoadImageFileToGraphicBody(const char* path) {
  return LoadImageFileToGraphicBody(path, 1, 0, 0);
}
