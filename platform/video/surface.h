// A DirectDraw-like surface held in memory: pixels, format, capabilities,
// colour key, lock, fills, copies, the flip chain and the lost state.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/video/video_types.h"

namespace platform::video {

class Clipper;
class DirectDraw;
struct ObjectLife;

class Surface {
 public:
  Surface(std::shared_ptr<ObjectLife> owner, DirectDraw* object, const SurfaceDesc& desc,
          const PixelFormat& format, int width, int height, uint32_t caps);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  uint32_t AddRef();
  uint32_t Release();

  int width() const { return width_; }
  int height() const { return height_; }
  int pitch() const { return pitch_; }
  uint32_t caps() const { return caps_; }
  uint32_t caps2() const { return caps2_; }
  const PixelFormat& format() const { return format_; }
  int bytes_per_pixel() const { return static_cast<int>(format_.bits / 8); }

  // kErrSurfaceLost when lost or when its DirectDraw object was released.
  Result IsLost() const;
  Result Restore();

  // Locks a rectangle (null: the whole surface). A second lock is refused.
  Result Lock(const Rect* rect, uint32_t flags, uint8_t** pixels, int* pitch);
  Result Unlock();
  bool locked() const { return locked_; }

  Result SetColorKey(uint32_t low, uint32_t high);
  bool has_color_key() const { return has_key_; }
  uint32_t color_key() const { return key_low_; }

  // Colour or depth fill, or a copy from src (null rectangles: whole
  // surfaces), stretched nearest-neighbour when the sizes differ. A primary
  // with a clipper is clipped to its window's client area.
  Result Blt(const Rect* dst_rect, Surface* src, const Rect* src_rect, uint32_t flags,
             uint32_t fill_value);
  // Unscaled copy at (x, y), clipped to this surface, skipping source pixels
  // equal to the source key (under the RGB masks) with kBltFastSrcColorKey.
  Result BltFast(int x, int y, Surface* src, const Rect* src_rect, uint32_t flags);

  // Flip chain: a primary made with a back buffer count has one attached.
  Surface* attached_back_buffer() const { return back_; }
  Result Flip(uint32_t flags);

  Result SetClipper(Clipper* clipper);
  Clipper* clipper() const { return clipper_; }

  // Attached depth surface (one at most).
  Result AddAttachedSurface(Surface* z);
  Result DeleteAttachedSurface(Surface* z);
  Surface* attached_depth() const { return depth_; }

  // Raw access for the presenter, GDI copies and tests.
  uint8_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * pitch_; }
  const uint8_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * pitch_; }
  uint32_t ReadPixel(int x, int y) const;
  void WritePixel(int x, int y, uint32_t value);

  bool in_video_memory() const { return (caps_ & kCapsVideoMemory) != 0; }
  bool is_primary() const { return (caps_ & kCapsPrimary) != 0; }
  // Set by a lock or draw into the primary; the next blank wait shows it.
  bool primary_dirty() const { return dirty_; }
  void set_primary_dirty(bool dirty) { dirty_ = dirty; }

  // Called by the display's lost switch.
  void MarkLost();

 private:
  friend class DirectDraw;
  Result Usable() const;
  size_t ByteSize() const { return pixels_.size(); }
  void ShowIfPrimary();

  std::shared_ptr<ObjectLife> owner_;
  DirectDraw* object_;
  uint32_t refs_ = 1;
  int width_;
  int height_;
  int pitch_;
  uint32_t caps_;
  uint32_t caps2_;
  PixelFormat format_;
  std::vector<uint8_t> pixels_;
  uint32_t video_bytes_ = 0;
  bool locked_ = false;
  bool lost_ = false;
  bool has_key_ = false;
  uint32_t key_low_ = 0;
  uint32_t key_high_ = 0;
  bool dirty_ = false;
  Surface* back_ = nullptr;   // owned reference (primary of a flip chain)
  Surface* front_ = nullptr;  // weak link back from the back buffer
  Surface* depth_ = nullptr;  // owned reference
  Clipper* clipper_ = nullptr;
};

}  // namespace platform::video
