#include "platform/video/sdl_presenter.h"

#include <cstdlib>
#include <cstring>

#include "platform/video/surface.h"

namespace platform::video {
namespace {

uint32_t SdlFormatOf(const PixelFormat& f) {
  if (SameFormat(f, Format565())) return SDL_PIXELFORMAT_RGB565;
  if (SameFormat(f, Format555())) return SDL_PIXELFORMAT_RGB555;
  if (SameFormat(f, FormatX8R8G8B8())) return SDL_PIXELFORMAT_RGB888;
  return SDL_PIXELFORMAT_RGB24;  // anything else goes through an RGB copy
}

}  // namespace

SdlPresenter::SdlPresenter(SDL_Window* window) : window_(window) {
  // No vsync: the stand-in's simulated blank already paces presents.
  if (window_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (!renderer_ && window_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
}

SdlPresenter::~SdlPresenter() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
}

void SdlPresenter::Show(const Surface& surface, const Rect& visible) {
  if (!renderer_) return;
  const Rect r = Intersect(visible, Rect{0, 0, surface.width(), surface.height()});
  if (r.Empty()) return;
  const uint32_t format = SdlFormatOf(surface.format());
  if (!texture_ || format != texture_format_ || r.Width() != texture_w_ ||
      r.Height() != texture_h_) {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, r.Width(),
                                 r.Height());
    texture_format_ = format;
    texture_w_ = r.Width();
    texture_h_ = r.Height();
    if (!texture_) return;
    // Full screen shows the mode letterboxed on the desktop-sized window.
    SDL_RenderSetLogicalSize(renderer_, r.Width(), r.Height());
  }
  if (format == SDL_PIXELFORMAT_RGB24) {
    const CapturedFrame f = CaptureRect(surface, r);
    SDL_UpdateTexture(texture_, nullptr, f.rgb.data(), f.width * 3);
  } else {
    const uint8_t* first = surface.Row(r.top) + static_cast<size_t>(r.left) *
                                                    static_cast<size_t>(surface.bytes_per_pixel());
    SDL_UpdateTexture(texture_, nullptr, first, surface.pitch());
  }
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

void InstallPresenterForWindow(SDL_Window* window) {
  const char* choice = std::getenv("KESTO_PRESENTER");
  if (window && !(choice && std::strcmp(choice, "null") == 0)) {
    auto sdl = std::make_unique<SdlPresenter>(window);
    if (sdl->ok()) {
      SetPresenter(std::move(sdl));
      return;
    }
  }
  SetPresenter(std::make_unique<NullPresenter>());
}

}  // namespace platform::video
