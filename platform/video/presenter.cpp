#include "platform/video/presenter.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/video/surface.h"

namespace platform::video {
namespace {

std::unique_ptr<Presenter> g_presenter;
uint64_t g_presented = 0;

uint32_t Channel(uint32_t v, uint32_t mask) {
  if (!mask) return 0;
  const int shift = __builtin_ctz(mask);
  const uint32_t max = mask >> shift;
  return ((v & mask) >> shift) * 255u / max;
}

}  // namespace

uint32_t CapturedFrame::PixelRgb(int x, int y) const {
  const size_t i = (static_cast<size_t>(y) * width + x) * 3;
  return (static_cast<uint32_t>(rgb[i]) << 16) | (rgb[i + 1] << 8) | rgb[i + 2];
}

namespace {

// One channel's value to 0-255, as Channel() gives it, by table when the
// channel is at most 8 bits wide.
struct ChannelLookup {
  uint32_t mask = 0;
  int shift = 0;
  bool table = false;
  uint8_t to_byte[256] = {};

  explicit ChannelLookup(uint32_t m) : mask(m) {
    if (!mask) return;
    shift = __builtin_ctz(mask);
    const uint32_t max = mask >> shift;
    if (max > 255) return;
    table = true;
    for (uint32_t c = 0; c <= max; ++c) to_byte[c] = static_cast<uint8_t>(c * 255u / max);
  }
  uint8_t Of(uint32_t v) const {
    if (table) return to_byte[(v & mask) >> shift];
    return static_cast<uint8_t>(Channel(v, mask));
  }
};

template <int kBytes>
uint32_t LoadAt(const uint8_t* p) {
  if constexpr (kBytes == 1) {
    return p[0];
  } else if constexpr (kBytes == 2) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
  } else if constexpr (kBytes == 3) {
    return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
  } else {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  }
}

template <int kBytes>
void ConvertRows(const uint8_t* first, size_t pitch, int width, int height, const PixelFormat& pf,
                 uint8_t* out) {
  const ChannelLookup red(pf.red_mask), green(pf.green_mask), blue(pf.blue_mask);
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = first + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width; ++x, p += kBytes, out += 3) {
      const uint32_t v = LoadAt<kBytes>(p);
      out[0] = red.Of(v);
      out[1] = green.Of(v);
      out[2] = blue.Of(v);
    }
  }
}

// 16-bit pixels through one table of every value's RGB, kept for the last
// format converted (the screen's).
void ConvertRows16(const uint8_t* first, size_t pitch, int width, int height, const PixelFormat& pf,
                   uint8_t* out) {
  thread_local PixelFormat table_format;
  thread_local std::vector<uint8_t> table;  // three bytes a value
  if (table.empty() || !SameFormat(table_format, pf)) {
    const ChannelLookup red(pf.red_mask), green(pf.green_mask), blue(pf.blue_mask);
    table.resize(65536 * 3);
    for (uint32_t v = 0; v < 65536; ++v) {
      table[v * 3] = red.Of(v);
      table[v * 3 + 1] = green.Of(v);
      table[v * 3 + 2] = blue.Of(v);
    }
    table_format = pf;
  }
  const uint8_t* rgb = table.data();
  for (int y = 0; y < height; ++y) {
    const uint8_t* p = first + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width; ++x, p += 2, out += 3) {
      uint16_t v;
      std::memcpy(&v, p, 2);
      std::memcpy(out, rgb + static_cast<size_t>(v) * 3, 3);
    }
  }
}

// Pixels laid out as in a surface (bytes_per_pixel 1 to 4) to RGB.
void ConvertPixels(const uint8_t* first, size_t pitch, int bytes_per_pixel, int width, int height,
                   const PixelFormat& pf, uint8_t* out) {
  if (width <= 0 || height <= 0) return;
  switch (bytes_per_pixel) {
    case 1:
      ConvertRows<1>(first, pitch, width, height, pf, out);
      break;
    case 2:
      ConvertRows16(first, pitch, width, height, pf, out);
      break;
    case 3:
      ConvertRows<3>(first, pitch, width, height, pf, out);
      break;
    default:
      ConvertRows<4>(first, pitch, width, height, pf, out);
      break;
  }
}

const uint8_t* FirstPixel(const Surface& surface, const Rect& r) {
  return surface.Row(r.top) + static_cast<size_t>(r.left) * surface.bytes_per_pixel();
}

}  // namespace

void CaptureRectInto(const Surface& surface, const Rect& visible, CapturedFrame* f) {
  const Rect r = Intersect(visible, Rect{0, 0, surface.width(), surface.height()});
  f->width = r.Width();
  f->height = r.Height();
  f->rgb.resize(static_cast<size_t>(f->width) * f->height * 3);
  if (r.Empty()) return;
  ConvertPixels(FirstPixel(surface, r), static_cast<size_t>(surface.pitch()),
                surface.bytes_per_pixel(), f->width, f->height, surface.format(), f->rgb.data());
}

CapturedFrame CaptureRect(const Surface& surface, const Rect& visible) {
  CapturedFrame f;
  CaptureRectInto(surface, visible, &f);
  return f;
}

bool WritePng(const CapturedFrame& frame, const std::string& path) {
  if (frame.width <= 0 || frame.height <= 0) return false;
  const std::string temp = path + ".part";
  FILE* file = std::fopen(temp.c_str(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  volatile bool ok = false;
  if (png && info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(frame.width),
                 static_cast<png_uint_32>(frame.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < frame.height; ++y) {
      png_write_row(png, frame.rgb.data() + static_cast<size_t>(y) * frame.width * 3);
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  const bool closed = std::fclose(file) == 0;
  ok = closed && ok;
  std::error_code ec;
  if (ok) {
    std::filesystem::rename(temp, path, ec);
    ok = !ec;
  }
  if (!ok) std::filesystem::remove(temp, ec);
  return ok;
}

void NullPresenter::Show(const Surface& surface, const Rect& visible) {
  // Only the pixels are kept; most frames are never looked at, so the RGB
  // conversion waits for last_frame().
  const Rect r = Intersect(visible, Rect{0, 0, surface.width(), surface.height()});
  raw_width_ = r.Width();
  raw_height_ = r.Height();
  raw_bytes_per_pixel_ = surface.bytes_per_pixel();
  raw_format_ = surface.format();
  const size_t row_bytes = static_cast<size_t>(raw_width_) * raw_bytes_per_pixel_;
  raw_.resize(row_bytes * raw_height_);
  for (int y = 0; y < raw_height_; ++y) {
    std::memcpy(raw_.data() + y * row_bytes,
                FirstPixel(surface, r) + static_cast<size_t>(y) * surface.pitch(), row_bytes);
  }
  converted_ = false;
  ++shown_;
}

const CapturedFrame& NullPresenter::last_frame() const {
  if (!converted_) {
    last_.width = raw_width_;
    last_.height = raw_height_;
    last_.rgb.resize(static_cast<size_t>(raw_width_) * raw_height_ * 3);
    ConvertPixels(raw_.data(), static_cast<size_t>(raw_width_) * raw_bytes_per_pixel_,
                  raw_bytes_per_pixel_, raw_width_, raw_height_, raw_format_, last_.rgb.data());
    converted_ = true;
  }
  return last_;
}

Presenter& CurrentPresenter() {
  if (!g_presenter) g_presenter = std::make_unique<NullPresenter>();
  return *g_presenter;
}

void SetPresenter(std::unique_ptr<Presenter> presenter) { g_presenter = std::move(presenter); }

uint64_t PresentedFrameCount() { return g_presented; }

void PresentSurface(const Surface& surface, const Rect& visible) {
  CurrentPresenter().Show(surface, visible);
  ++g_presented;
  const char* dir = std::getenv("KESTO_CAPTURE_DIR");
  if (!dir || !*dir) return;
  long every = 1;
  if (const char* e = std::getenv("KESTO_CAPTURE_EVERY")) every = std::strtol(e, nullptr, 10);
  if (every < 1) every = 1;
  if (g_presented % static_cast<uint64_t>(every) != 0) return;
  char name[64];
  std::snprintf(name, sizeof name, "frame-%06llu.png",
                static_cast<unsigned long long>(g_presented));
  if (!WritePng(CaptureRect(surface, visible), (std::filesystem::path(dir) / name).string())) {
    std::fprintf(stderr, "kesto: could not write captured frame %s to %s\n", name, dir);
  }
}

}  // namespace platform::video
