#include "platform/video/surface.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "platform/clock.h"
#include "platform/video/direct_draw.h"
#include "platform/video/display.h"
#include "platform/video/display_registry.h"
#include "platform/video/presenter.h"

namespace platform::video {
namespace {

uint32_t LoadPixel(const uint8_t* p, int bpp) {
  switch (bpp) {
    case 1:
      return p[0];
    case 2: {
      uint16_t v;
      std::memcpy(&v, p, 2);
      return v;
    }
    case 3:
      return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
    default: {
      uint32_t v;
      std::memcpy(&v, p, 4);
      return v;
    }
  }
}

void StorePixel(uint8_t* p, int bpp, uint32_t v) {
  switch (bpp) {
    case 1:
      p[0] = static_cast<uint8_t>(v);
      break;
    case 2: {
      const uint16_t w = static_cast<uint16_t>(v);
      std::memcpy(p, &w, 2);
      break;
    }
    case 3:
      p[0] = static_cast<uint8_t>(v);
      p[1] = static_cast<uint8_t>(v >> 8);
      p[2] = static_cast<uint8_t>(v >> 16);
      break;
    default:
      std::memcpy(p, &v, 4);
      break;
  }
}

template <class Px>
void KeyedRow(uint8_t* drow, const uint8_t* srow, int w, uint32_t mask, uint32_t key) {
  for (int col = 0; col < w; ++col) {
    Px v, d;
    std::memcpy(&v, srow + static_cast<size_t>(col) * sizeof(Px), sizeof(Px));
    std::memcpy(&d, drow + static_cast<size_t>(col) * sizeof(Px), sizeof(Px));
    const Px keep = static_cast<Px>(0u - static_cast<uint32_t>((v & mask) == key));
    const Px out = static_cast<Px>((d & keep) | (v & static_cast<Px>(~keep)));
    std::memcpy(drow + static_cast<size_t>(col) * sizeof(Px), &out, sizeof(Px));
  }
}

uint32_t RgbMask(const PixelFormat& f) {
  const uint32_t m = f.red_mask | f.green_mask | f.blue_mask;
  if (m) return m;
  return f.bits >= 32 ? 0xFFFFFFFFu : ((1u << f.bits) - 1u);
}

// One destination row of a nearest-neighbour copy: the source column of
// destination x is s.left + (x - dst.left) * s.Width() / dst.Width(). The
// unscaled and whole-factor enlargements have their own loops; any other
// ratio goes through a table of source columns.
class RowStretch {
 public:
  RowStretch(const Rect& s, const Rect& dst, const Rect& target, int bpp)
      : bpp_(bpp), count_(target.Width()) {
    const int first = target.left - dst.left;  // destination column within dst
    if (s.Width() == dst.Width()) {
      kind_ = kUnscaled;
      first_source_ = s.left + first;
    } else if (dst.Width() % s.Width() == 0 && (bpp == 2 || bpp == 4)) {
      kind_ = kWhole;
      factor_ = dst.Width() / s.Width();
      first_source_ = s.left + first / factor_;
      lead_ = std::min(count_, (factor_ - first % factor_) % factor_);
    } else {
      kind_ = kTable;
      columns_.reserve(static_cast<size_t>(count_));
      for (int i = 0; i < count_; ++i) {
        columns_.push_back(
            s.left + static_cast<int>(static_cast<int64_t>(first + i) * s.Width() / dst.Width()));
      }
    }
  }

  void Run(uint8_t* drow, const uint8_t* srow) const {
    switch (kind_) {
      case kUnscaled:
        std::memcpy(drow, srow + static_cast<size_t>(first_source_) * bpp_,
                    static_cast<size_t>(count_) * bpp_);
        return;
      case kWhole:
        if (bpp_ == 2) {
          Whole<uint16_t>(drow, srow);
        } else {
          Whole<uint32_t>(drow, srow);
        }
        return;
      case kTable:
        if (bpp_ == 2) {
          Table<2>(drow, srow);
        } else if (bpp_ == 4) {
          Table<4>(drow, srow);
        } else {
          for (size_t i = 0; i < columns_.size(); ++i) {
            std::memcpy(drow + i * bpp_, srow + static_cast<size_t>(columns_[i]) * bpp_,
                        static_cast<size_t>(bpp_));
          }
        }
        return;
    }
  }

 private:
  enum Kind { kUnscaled, kWhole, kTable };

  template <size_t kBytes>
  void Table(uint8_t* drow, const uint8_t* srow) const {
    for (size_t i = 0; i < columns_.size(); ++i) {
      std::memcpy(drow + i * kBytes, srow + static_cast<size_t>(columns_[i]) * kBytes, kBytes);
    }
  }

  // Each source pixel repeated factor_ times; the row may start part-way
  // into a repeat (lead_ copies of the first source pixel).
  template <typename T>
  void Whole(uint8_t* drow, const uint8_t* srow) const {
    const uint8_t* from = srow + static_cast<size_t>(first_source_) * sizeof(T);
    int left = count_;
    auto put = [&drow](T v) {
      std::memcpy(drow, &v, sizeof(T));
      drow += sizeof(T);
    };
    if (lead_ > 0) {
      T v;
      std::memcpy(&v, from, sizeof(T));
      for (int i = 0; i < lead_; ++i) put(v);
      from += sizeof(T);
      left -= lead_;
    }
    const int full = left / factor_;
    if (factor_ == 2) {
      DoubleRun<T>(drow, from, full);
      drow += static_cast<size_t>(full) * 2 * sizeof(T);
    } else {
      for (int p = 0; p < full; ++p) {
        T v;
        std::memcpy(&v, from + static_cast<size_t>(p) * sizeof(T), sizeof(T));
        for (int i = 0; i < factor_; ++i) put(v);
      }
    }
    from += static_cast<size_t>(full) * sizeof(T);
    const int tail = left - full * factor_;
    if (tail > 0) {
      T v;
      std::memcpy(&v, from, sizeof(T));
      for (int i = 0; i < tail; ++i) put(v);
    }
  }

  // The common window scale: every pixel twice, written as one wider word
  // so the compiler can vectorise the loop.
  template <typename T>
  static void DoubleRun(uint8_t* drow, const uint8_t* from, int count) {
    using Wide = std::conditional_t<sizeof(T) == 2, uint32_t, uint64_t>;
    for (int p = 0; p < count; ++p) {
      T v;
      std::memcpy(&v, from + static_cast<size_t>(p) * sizeof(T), sizeof(T));
      const Wide w = static_cast<Wide>(v) | (static_cast<Wide>(v) << (8 * sizeof(T)));
      std::memcpy(drow + static_cast<size_t>(p) * sizeof(Wide), &w, sizeof(Wide));
    }
  }

  int bpp_;
  int count_;
  Kind kind_ = kTable;
  int factor_ = 1;
  int first_source_ = 0;
  int lead_ = 0;
  std::vector<int> columns_;
};

}  // namespace

Surface::Surface(std::shared_ptr<ObjectLife> owner, DirectDraw* object, const SurfaceDesc& desc,
                 const PixelFormat& format, int width, int height, uint32_t caps)
    : owner_(std::move(owner)),
      object_(object),
      width_(width),
      height_(height),
      caps_(caps),
      caps2_(desc.caps2),
      format_(format) {
  const int bpp = std::max(1, static_cast<int>(format.bits / 8));
  pitch_ = (width * bpp + 3) & ~3;
  pixels_.assign(static_cast<size_t>(pitch_) * static_cast<size_t>(height), 0);
  if ((caps_ & kCapsVideoMemory) && !(caps2_ & kCaps2TextureManage)) {
    video_bytes_ = static_cast<uint32_t>(pixels_.size());
  }
  RegisterSurface(this, video_bytes_);
}

Surface::~Surface() {
  UnregisterSurface(this, video_bytes_);
  if (back_) {
    back_->front_ = nullptr;
    back_->Release();
  }
  if (front_ && front_->back_ == this) front_->back_ = nullptr;
  if (depth_) depth_->Release();
  if (clipper_) clipper_->Release();
  if (object_ && !owner_->released) object_->ForgetPrimary(this);
}

uint32_t Surface::AddRef() { return ++refs_; }

uint32_t Surface::Release() {
  const uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

Result Surface::Usable() const {
  if (owner_->released || lost_) return kErrSurfaceLost;
  return kOk;
}

Result Surface::IsLost() const { return Usable(); }

Result Surface::Restore() {
  if (owner_->released) return kErrSurfaceLost;
  if (!lost_) return kOk;
  if (IsDisplayLost()) return kErrWrongMode;
  lost_ = false;  // the pixels keep the marker until redrawn
  if (back_) back_->lost_ = false;
  return kOk;
}

void Surface::MarkLost() {
  if (!(caps_ & kCapsVideoMemory) || (caps2_ & kCaps2TextureManage)) return;
  lost_ = true;
  std::fill(pixels_.begin(), pixels_.end(), kLostMarkerByte);
}

Result Surface::Lock(const Rect* rect, uint32_t flags, uint8_t** pixels, int* pitch) {
  if (Result r = Usable(); Failed(r)) return r;
  if (locked_) return kErrSurfaceBusy;
  Rect whole{0, 0, width_, height_};
  Rect area = rect ? *rect : whole;
  if (area.left < 0 || area.top < 0 || area.right > width_ || area.bottom > height_ ||
      area.Empty()) {
    return kErrInvalidParams;
  }
  locked_ = true;
  if (is_primary() && !(flags & kLockReadOnly)) dirty_ = true;
  if (pixels) *pixels = Row(area.top) + static_cast<size_t>(area.left) * bytes_per_pixel();
  if (pitch) *pitch = pitch_;
  return kOk;
}

Result Surface::Unlock() {
  if (owner_->released) return kErrSurfaceLost;
  if (!locked_) return kErrNotLocked;
  locked_ = false;
  return kOk;
}

Result Surface::SetColorKey(uint32_t low, uint32_t high) {
  if (owner_->released) return kErrSurfaceLost;
  has_key_ = true;
  key_low_ = low;
  key_high_ = high;
  return kOk;
}

uint32_t Surface::ReadPixel(int x, int y) const {
  return LoadPixel(Row(y) + static_cast<size_t>(x) * bytes_per_pixel(), bytes_per_pixel());
}

void Surface::WritePixel(int x, int y, uint32_t value) {
  StorePixel(Row(y) + static_cast<size_t>(x) * bytes_per_pixel(), bytes_per_pixel(), value);
}

void Surface::ShowIfPrimary() {
  if (!is_primary()) return;
  dirty_ = false;
  Rect visible{0, 0, width_, height_};
  if (object_ && !owner_->released && !object_->full_screen()) {
    visible = Intersect(visible,
                        ClientRectOf(clipper_ && clipper_->bound() ? clipper_->window() : nullptr));
  }
  PresentSurface(*this, visible);
}

Result Surface::Blt(const Rect* dst_rect, Surface* src, const Rect* src_rect, uint32_t flags,
                    uint32_t fill_value) {
  if (Result r = Usable(); Failed(r)) return r;
  if (locked_) return kErrSurfaceBusy;
  const Rect whole{0, 0, width_, height_};
  Rect dst = dst_rect ? *dst_rect : whole;
  Rect clip = whole;
  if (is_primary() && clipper_ && clipper_->bound()) {
    clip = Intersect(clip, ClientRectOf(clipper_->window()));
  }
  const Rect target = Intersect(dst, clip);

  if (flags & kBltDepthFill) return (format_.flags & kPfZBuffer) ? kOk : kErrInvalidParams;
  if (flags & kBltColorFill) {
    const uint32_t bits_mask = format_.bits >= 32 ? 0xFFFFFFFFu : ((1u << format_.bits) - 1u);
    if (!target.Empty()) {
      // One row pixel by pixel, the others copied from it.
      for (int x = target.left; x < target.right; ++x) {
        WritePixel(x, target.top, fill_value & bits_mask);
      }
      const size_t offset = static_cast<size_t>(target.left) * bytes_per_pixel();
      const size_t bytes = static_cast<size_t>(target.Width()) * bytes_per_pixel();
      for (int y = target.top + 1; y < target.bottom; ++y) {
        std::memcpy(Row(y) + offset, Row(target.top) + offset, bytes);
      }
    }
    ShowIfPrimary();
    return kOk;
  }
  if (!src) return kErrInvalidParams;
  if (Result r = src->Usable(); Failed(r)) return r;
  if (src->locked_) return kErrSurfaceBusy;
  if (!SameFormat(format_, src->format_)) return kErrInvalidParams;
  const Rect src_whole{0, 0, src->width_, src->height_};
  const Rect s = src_rect ? *src_rect : src_whole;
  if (s.Empty() || dst.Empty() || s.left < 0 || s.top < 0 || s.right > src->width_ ||
      s.bottom > src->height_) {
    return kErrInvalidParams;
  }
  // Nearest neighbour over the full destination rectangle; only the clipped
  // part is written. A copy onto itself reads from a snapshot.
  std::vector<uint8_t> snapshot;
  if (src == this) snapshot = pixels_;
  const int bpp = bytes_per_pixel();
  const RowStretch stretch(s, dst, target, bpp);
  const size_t row_bytes = static_cast<size_t>(target.Width()) * bpp;
  int last_sy = -1;
  for (int y = target.top; y < target.bottom; ++y) {
    const int sy =
        s.top + static_cast<int>(static_cast<int64_t>(y - dst.top) * s.Height() / dst.Height());
    uint8_t* drow = Row(y) + static_cast<size_t>(target.left) * bpp;
    if (sy == last_sy) {
      // An enlarged row repeats the one above it.
      std::memcpy(drow, drow - pitch_, row_bytes);
      continue;
    }
    last_sy = sy;
    const uint8_t* srow =
        src == this ? snapshot.data() + static_cast<size_t>(sy) * pitch_ : src->Row(sy);
    stretch.Run(drow, srow);
  }
  ShowIfPrimary();
  return kOk;
}

Result Surface::BltFast(int x, int y, Surface* src, const Rect* src_rect, uint32_t flags) {
  if (Result r = Usable(); Failed(r)) return r;
  if (!src) return kErrInvalidParams;
  if (Result r = src->Usable(); Failed(r)) return r;
  if (locked_ || src->locked_) return kErrSurfaceBusy;
  if (!SameFormat(format_, src->format_)) return kErrInvalidParams;
  const Rect src_whole{0, 0, src->width_, src->height_};
  Rect s = src_rect ? Intersect(*src_rect, src_whole) : src_whole;
  // Clip the destination, moving the source along.
  int dx = x, dy = y;
  if (dx < 0) {
    s.left -= dx;
    dx = 0;
  }
  if (dy < 0) {
    s.top -= dy;
    dy = 0;
  }
  const int w = std::min(s.Width(), width_ - dx);
  const int h = std::min(s.Height(), height_ - dy);
  if (w <= 0 || h <= 0) return kOk;
  const bool keyed = (flags & kBltFastSrcColorKey) && src->has_key_;
  const uint32_t mask = RgbMask(format_);
  const uint32_t key = src->key_low_ & mask;
  const int bpp = bytes_per_pixel();
  std::vector<uint8_t> snapshot;
  if (src == this) snapshot = pixels_;
  for (int row = 0; row < h; ++row) {
    const uint8_t* srow = (src == this ? snapshot.data() + static_cast<size_t>(s.top + row) * pitch_
                                       : src->Row(s.top + row)) +
                          static_cast<size_t>(s.left) * bpp;
    uint8_t* drow = Row(dy + row) + static_cast<size_t>(dx) * bpp;
    if (!keyed) {
      std::memmove(drow, srow, static_cast<size_t>(w) * bpp);
      continue;
    }
    // Keyed pixels keep the destination through a select, not a branch
    // (keys fall in no pattern the processor can predict); the fixed sizes
    // vectorise.
    if (bpp == 2 && src != this) {
      KeyedRow<uint16_t>(drow, srow, w, mask, key);
    } else if (bpp == 4 && src != this) {
      KeyedRow<uint32_t>(drow, srow, w, mask, key);
    } else {
      for (int col = 0; col < w; ++col) {
        const uint32_t v = LoadPixel(srow + static_cast<size_t>(col) * bpp, bpp);
        if ((v & mask) != key) StorePixel(drow + static_cast<size_t>(col) * bpp, bpp, v);
      }
    }
  }
  ShowIfPrimary();
  return kOk;
}

Result Surface::Flip(uint32_t flags) {
  if (Result r = Usable(); Failed(r)) return r;
  if (!back_) return kErrInvalidParams;
  if (Result r = back_->Usable(); Failed(r)) return r;
  if (locked_ || back_->locked_) return kErrSurfaceBusy;
  if ((flags & kFlipWait) && !(flags & kFlipNoVsync) && object_) {
    CurrentClock().SleepNanoseconds(NanosecondsToNextBlank(object_->visible_height()));
  }
  pixels_.swap(back_->pixels_);
  ShowIfPrimary();
  return kOk;
}

Result Surface::SetClipper(Clipper* clipper) {
  if (owner_->released) return kErrSurfaceLost;
  if (clipper) clipper->AddRef();
  if (clipper_) clipper_->Release();
  clipper_ = clipper;
  return kOk;
}

Result Surface::AddAttachedSurface(Surface* z) {
  if (Result r = Usable(); Failed(r)) return r;
  if (!z || !(z->caps_ & kCapsZBuffer) || depth_) return kErrInvalidParams;
  if (z->width_ != width_ || z->height_ != height_) return kErrInvalidParams;
  z->AddRef();
  depth_ = z;
  return kOk;
}

Result Surface::DeleteAttachedSurface(Surface* z) {
  if (!depth_ || (z && z != depth_)) return kErrInvalidParams;
  depth_->Release();
  depth_ = nullptr;
  return kOk;
}

}  // namespace platform::video
