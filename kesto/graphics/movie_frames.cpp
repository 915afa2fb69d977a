// A movie's decoded frame into the graphic that shows it: into its 2D
// surfaces, or into its texture parts.
#include <algorithm>

#include "graphics/graphic_table.h"
#include "graphics/graphics_host.h"
#include "graphics/movies.h"
#include "graphics/screen.h"
#include "graphics/surface_2d.h"
#include "graphics/texture_part.h"

using namespace platform::video;

namespace {

// The sample surface locked for reading, described as an image.
class LockedFrame {
 public:
  explicit LockedFrame(MovieRecord* m) : surface_(m->sample_surface) {
    uint8_t* pixels = nullptr;
    int pitch = 0;
    if (!surface_ || Failed(surface_->Lock(nullptr, kLockWait | kLockReadOnly, &pixels, &pitch))) {
      surface_ = nullptr;
      return;
    }
    image_.format.header = m->frame_format;
    image_.width = m->frame_rect.Width();
    image_.height = m->frame_rect.Height();
    image_.pitch = pitch;
    image_.pixels = pixels + static_cast<size_t>(m->frame_rect.top) * pitch +
                    static_cast<size_t>(m->frame_rect.left) * m->frame_format.bytes_per_pixel;
  }
  ~LockedFrame() {
    if (surface_) surface_->Unlock();
  }
  bool ok() const { return surface_ != nullptr; }
  const ImageRecord& image() const { return image_; }

 private:
  Surface* surface_;
  ImageRecord image_{};
};

}  // namespace

int CopyMovieFrameToSurface2D(MovieRecord* m, int graphic) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  if (!m || !g) return -1;
  LockedFrame frame(m);
  if (!frame.ok()) {
    GfxLog("ムービーグラフィックサーフェスのロックに失敗しました");
    return -1;
  }
  const ImageRecord& image = frame.image();
  for (int i = 0; i < g->part_count; ++i) {
    const Surface2D* part = GetSurface2D(g->parts[i]);
    SurfaceRecord* record = part ? GetSurfaceRecord(part->surface_record) : nullptr;
    if (!record || !record->surface) return -1;
    // A cut-out shows the frame from its own place in it.
    const int sx = g->origin_x + part->part_x, sy = g->origin_y + part->part_y;
    const Rect from{sx, sy, std::min(sx + part->width, image.width),
                    std::min(sy + part->height, image.height)};
    if (from.Empty()) continue;
    const Rect to{part->surface_x, part->surface_y, part->surface_x + from.Width(),
                  part->surface_y + from.Height()};
    int pitch = 0;
    uint8_t* pixels = nullptr;
    const int locked = LockSurfaceRecord(part->surface_record, &pitch, &pixels, &to, 1);
    if (locked == -1) {
      GfxLog("ムービーグラフィック転送先サーフェスのロックに失敗しました");
      return -1;
    }
    if (locked == -2) {
      pixels += static_cast<size_t>(to.top) * pitch +
                static_cast<size_t>(to.left) * record->surface->bytes_per_pixel();
    }
    ConvertPixelRect(pixels, pitch, GetScreenColorFormat(), image.pixels, image.pitch,
                     &image.format, nullptr, 0, nullptr, 0, 0, &from, 0, 0, 0, 0, 0);
    UnlockSurfaceRecord(part->surface_record, &to);
  }
  return 0;
}

int CopyMovieFrameToTextureParts(MovieRecord* m, int graphic) {
  const GraphicRecord* g = GetGraphicRecord(graphic);
  if (!m || !g) return -1;
  LockedFrame frame(m);
  if (!frame.ok()) return -1;
  const UploadSourceSet source{0, nullptr, nullptr, 0, &frame.image(), nullptr};
  for (int i = 0; i < g->part_count; ++i) {
    const TexturePartRecord* p = GetTexturePartRecord(g->parts[i]);
    if (!p) return -1;
    const Rect from{p->source_x, p->source_y, std::min(p->source_x + p->width, frame.image().width),
                    std::min(p->source_y + p->height, frame.image().height)};
    if (from.Empty()) continue;
    if (TransferImageToTexturePart(source, from, p->texture_x, p->texture_y, g->parts[i]) != 0)
      return -1;
  }
  return 0;
}
