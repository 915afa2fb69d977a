#include "platform/video/presenter.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

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

CapturedFrame CaptureRect(const Surface& surface, const Rect& visible) {
  const Rect r = Intersect(visible, Rect{0, 0, surface.width(), surface.height()});
  CapturedFrame f;
  f.width = r.Width();
  f.height = r.Height();
  f.rgb.resize(static_cast<size_t>(f.width) * f.height * 3);
  const PixelFormat& pf = surface.format();
  size_t i = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const uint32_t v = surface.ReadPixel(x, y);
      f.rgb[i++] = static_cast<uint8_t>(Channel(v, pf.red_mask));
      f.rgb[i++] = static_cast<uint8_t>(Channel(v, pf.green_mask));
      f.rgb[i++] = static_cast<uint8_t>(Channel(v, pf.blue_mask));
    }
  }
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
                 static_cast<png_uint_32>(frame.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
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
  last_ = CaptureRect(surface, visible);
  ++shown_;
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
