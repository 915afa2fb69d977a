// Presents into a real SDL window: one streaming texture in the surface's
// own pixel format, scaled with letterboxing to the window, no vsync (the
// stand-in's blank does the pacing).
#pragma once

#include <SDL.h>

#include "platform/video/presenter.h"

namespace platform::video {

class SdlPresenter : public Presenter {
 public:
  explicit SdlPresenter(SDL_Window* window);
  ~SdlPresenter() override;
  bool ok() const { return renderer_ != nullptr; }
  void Show(const Surface& surface, const Rect& visible) override;

 private:
  SDL_Window* window_;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  uint32_t texture_format_ = 0;
  int texture_w_ = 0;
  int texture_h_ = 0;
};

// Installs the presenter for the program's window: the SDL presenter, or
// the null presenter when KESTO_PRESENTER=null, without a window, or when
// the window has no usable renderer.
void InstallPresenterForWindow(SDL_Window* window);

}  // namespace platform::video
