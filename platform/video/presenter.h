// Shows the visible part of the primary surface: the SDL presenter in a real
// window, the null presenter in tests. Every presented frame may also be
// written as a PNG (KESTO_CAPTURE_DIR, KESTO_CAPTURE_EVERY).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/video/video_types.h"

namespace platform::video {

class Surface;

// One frame as 8-bit RGB, top row first.
struct CapturedFrame {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  uint32_t PixelRgb(int x, int y) const;
};

class Presenter {
 public:
  virtual ~Presenter() = default;
  // Shows the rectangle of the surface (clipped to it).
  virtual void Show(const Surface& surface, const Rect& visible) = 0;
};

class NullPresenter : public Presenter {
 public:
  void Show(const Surface& surface, const Rect& visible) override;
  // The last frame shown, as RGB (empty before the first).
  const CapturedFrame& last_frame() const;
  uint64_t shown() const { return shown_; }

 private:
  // The shown pixels in the surface's own layout, rows packed.
  std::vector<uint8_t> raw_;
  int raw_width_ = 0;
  int raw_height_ = 0;
  int raw_bytes_per_pixel_ = 2;
  PixelFormat raw_format_;
  mutable CapturedFrame last_;
  mutable bool converted_ = true;
  uint64_t shown_ = 0;
};

// Converts a rectangle of a surface to RGB.
CapturedFrame CaptureRect(const Surface& surface, const Rect& visible);
// The same into `frame`, reusing its buffer.
void CaptureRectInto(const Surface& surface, const Rect& visible, CapturedFrame* frame);
// Writes an RGB frame as a PNG; false (and nothing left behind) on failure.
bool WritePng(const CapturedFrame& frame, const std::string& path);

// The presenter in use (a null presenter until one is installed) and the
// count of frames shown through it.
Presenter& CurrentPresenter();
void SetPresenter(std::unique_ptr<Presenter> presenter);
uint64_t PresentedFrameCount();
// Shows a frame through the presenter and the capture hook.
void PresentSurface(const Surface& surface, const Rect& visible);

}  // namespace platform::video
